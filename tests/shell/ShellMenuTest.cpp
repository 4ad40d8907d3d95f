// The context-menu engine over a scripted shell menu: the flags it asks with, where our own items go, which
// command a verb finds, and the callbacks around the chosen command.
#include "shell/VirtualShellMenu.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tarvola::test {
namespace {

class TScriptedMenu final : public IShellMenuPort {
public:
    // Script.
    bool queryResult = true;
    std::vector<TShellMenuEntry> entries;
    std::map<std::uint32_t, WideString> verbs; // by offset; an offset missing here names no verb
    std::uint32_t chosen = 0;
    bool invokeResult = true;
    // Record.
    std::uint32_t queriedFlags = 0;
    std::vector<std::uint32_t> verbOffsetsAsked;
    std::vector<std::uint32_t> invoked;
    std::vector<std::uint32_t> customIds;
    bool tracked = false;

    bool QueryContextMenu(std::uint32_t flags) override {
        queriedFlags = flags;
        return queryResult;
    }
    std::vector<TShellMenuEntry> TopLevelEntries() override { return entries; }
    std::optional<WideString> CanonicalVerb(std::uint32_t offset) override {
        verbOffsetsAsked.push_back(offset);
        const auto verb = verbs.find(offset);
        if (verb == verbs.end())
            return std::nullopt;
        return verb->second;
    }
    bool InvokeCommand(std::uint32_t offset) override {
        invoked.push_back(offset);
        return invokeResult;
    }
    void AppendCustomSubMenu(const TCustomSubMenu&, const std::vector<std::uint32_t>& ids) override {
        customIds = ids;
    }
    std::uint32_t Track() override {
        tracked = true;
        return chosen;
    }
};

// A menu as the shell fills it: open (1), a separator (id 0), "Send To" (a submenu whose own commands are
// 0x20 up), copy (3), delete (4).
TScriptedMenu ShellLikeMenu() {
    TScriptedMenu menu;
    menu.entries = {
        {1, false, false}, {0, true, false}, {0x20, false, true}, {3, false, false}, {4, false, false}};
    menu.verbs = {{0, u"open"}, {2, u"copy"}, {3, u"delete"}, {0x21, u"sendto-mail"}};
    return menu;
}

TEST(ShellMenuTest, VerbsAreFoundIgnoringCaseAndOnlyAmongCommands) {
    struct Case {
        const char16_t* verb;
        std::optional<std::uint32_t> id;
    };
    const Case cases[] = {{u"copy", 3}, {u"DELETE", 4}, {u"Open", 1}, {u"paste", std::nullopt}};
    for (const Case& c : cases) {
        TScriptedMenu menu = ShellLikeMenu();
        EXPECT_EQ(FindVerbCommand(menu, c.verb), c.id) << WideToUtf8(c.verb);
        // Neither the separator (offset -1) nor the submenu is asked for a verb.
        for (std::uint32_t offset : menu.verbOffsetsAsked)
            EXPECT_TRUE(offset == 0 || offset == 2 || offset == 3) << offset;
    }
}

TEST(ShellMenuTest, InvokeVerbRunsTheCommandAtItsOffset) {
    TScriptedMenu menu = ShellLikeMenu();
    EXPECT_TRUE(InvokeShellVerb(menu, u"copy"));
    EXPECT_EQ(menu.queriedFlags, kMenuQueryExplore);
    EXPECT_EQ(menu.invoked, std::vector<std::uint32_t>{2});

    TScriptedMenu missing = ShellLikeMenu();
    EXPECT_FALSE(InvokeShellVerb(missing, u"paste"));
    EXPECT_TRUE(missing.invoked.empty());

    TScriptedMenu failing = ShellLikeMenu();
    failing.invokeResult = false;
    EXPECT_FALSE(InvokeShellVerb(failing, u"delete"));

    TScriptedMenu empty = ShellLikeMenu();
    empty.queryResult = false;
    EXPECT_FALSE(InvokeShellVerb(empty, u"copy"));
    EXPECT_TRUE(empty.verbOffsetsAsked.empty());
}

TEST(ShellMenuTest, QueryFlags) {
    struct Case {
        bool onCommand;
        int items;
        bool shift;
        std::uint32_t flags;
    };
    const Case cases[] = {
        {false, 1, false, 0x4},  {true, 1, false, 0x14}, {true, 2, false, 0x4},
        {false, 1, true, 0x104}, {true, 1, true, 0x114},
    };
    for (const Case& c : cases) {
        TShellMenuRequest request;
        request.ItemCount = c.items;
        request.ShiftDown = c.shift;
        if (c.onCommand)
            request.OnCommand = [](const WideString&, std::uint32_t, bool&) {};
        EXPECT_EQ(ContextMenuQueryFlags(request), c.flags) << c.onCommand << c.items << c.shift;
    }
}

// What the callbacks saw of one run of the menu.
struct TRun {
    std::vector<std::string> calls;
    TShellMenuRequest request;
    TRun() {
        request.OnShow = [this](bool&) { calls.push_back("show"); };
        request.OnCommand = [this](const WideString& verb, std::uint32_t id, bool&) {
            calls.push_back("command " + WideToUtf8(verb) + " " + std::to_string(id));
        };
        request.OnAfterCommand = [this](const WideString& verb, std::uint32_t id, bool ok) {
            calls.push_back("after " + WideToUtf8(verb) + " " + std::to_string(id) +
                            (ok ? " ok" : " failed"));
        };
    }
};

TEST(ShellMenuTest, ChosenCommandRunsBetweenTheCallbacks) {
    TScriptedMenu menu = ShellLikeMenu();
    menu.chosen = 3;
    TRun run;
    EXPECT_TRUE(RunShellContextMenu(menu, run.request));
    EXPECT_EQ(run.calls, (std::vector<std::string>{"show", "command copy 3", "after copy 3 ok"}));
    EXPECT_EQ(menu.invoked, std::vector<std::uint32_t>{2});
}

TEST(ShellMenuTest, ShowVetoRunsNothing) {
    TScriptedMenu menu = ShellLikeMenu();
    menu.chosen = 3;
    TRun run;
    run.request.OnShow = [&](bool& allow) { allow = false; };
    EXPECT_FALSE(RunShellContextMenu(menu, run.request));
    EXPECT_FALSE(menu.tracked);
    EXPECT_TRUE(run.calls.empty());
    EXPECT_TRUE(menu.invoked.empty());
}

TEST(ShellMenuTest, NoChoiceRunsNothing) {
    TScriptedMenu menu = ShellLikeMenu();
    TRun run;
    EXPECT_FALSE(RunShellContextMenu(menu, run.request));
    EXPECT_EQ(run.calls, std::vector<std::string>{"show"});
}

TEST(ShellMenuTest, CommandWithoutVerbIsUnknown) {
    TScriptedMenu menu = ShellLikeMenu();
    menu.chosen = 0x23; // inside "Send To": the handler names no verb for it
    menu.invokeResult = false;
    TRun run;
    RunShellContextMenu(menu, run.request);
    EXPECT_EQ(run.calls, (std::vector<std::string>{"show", "command Unknown Command 35",
                                                   "after Unknown Command 35 failed"}));
}

TEST(ShellMenuTest, HandledCommandIsNotInvoked) {
    TScriptedMenu menu = ShellLikeMenu();
    menu.chosen = 4;
    TRun run;
    run.request.OnCommand = [&](const WideString&, std::uint32_t, bool& handled) { handled = true; };
    EXPECT_TRUE(RunShellContextMenu(menu, run.request));
    EXPECT_TRUE(menu.invoked.empty());
    EXPECT_EQ(run.calls, std::vector<std::string>{"show"}); // no after-command either
}

TEST(ShellMenuTest, CustomItemsRunTheirOwnClickAndNeverShareAShellId) {
    TCustomSubMenu custom;
    custom.Caption = u"Tarvola";
    std::vector<int> clicks;
    for (int i = 0; i < 3; ++i)
        custom.Items.push_back(TCustomMenuItem{u"item", false, false, false, true, TCustomMenuBreak::None,
                                               [&clicks, i] { clicks.push_back(i); }});

    TScriptedMenu menu = ShellLikeMenu();
    TRun run;
    run.request.CustomSubMenu = &custom;
    // Every merged id lies above the whole range handed to the shell, submenus included.
    RunShellContextMenu(menu, run.request);
    ASSERT_EQ(menu.customIds.size(), 3u);
    for (std::uint32_t id : menu.customIds)
        EXPECT_GT(id, kShellLastCommandId);

    menu.chosen = menu.customIds[1];
    run.calls.clear();
    EXPECT_TRUE(RunShellContextMenu(menu, run.request));
    EXPECT_EQ(clicks, std::vector<int>{1});
    EXPECT_EQ(run.calls, std::vector<std::string>{"show"});
    EXPECT_TRUE(menu.invoked.empty());

    // A shell command whose id a merged item would have taken under the old counting runs the shell's.
    menu.chosen = 0x21;
    clicks.clear();
    RunShellContextMenu(menu, run.request);
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(menu.invoked, std::vector<std::uint32_t>{0x20});
}

} // namespace
} // namespace tarvola::test
