// The explorer combo box's decisions apart from any window: drop-down placement and layout, the grip's
// resizing, typed paths, the completion filter, and what the pick tree lists.
#include "explorer/VirtualExplorerComboboxRules.h"
#include "explorer/VirtualExplorerComboboxTrees.h"
#include "tests/explorer/VirtualExplorerTreeFixture.h"

#include <gtest/gtest.h>

#include <set>

namespace tarvola::test {
namespace {

TEST(ComboboxPlacement, BelowAboveOrTheLargerSideCut) {
    struct Case {
        const char* what;
        TComboRect alignTo;
        int height;
        TComboRect work;
        TDropDownPlacement expected;
    };
    const TComboRect screen{0, 0, 1024, 768};
    const Case cases[] = {
        {"fits below", {100, 100, 400, 123}, 150, screen, {{100, 123, 400, 273}, false}},
        {"ends exactly at the bottom", {100, 595, 400, 618}, 150, screen, {{100, 618, 400, 768}, false}},
        {"no room below, room above", {100, 700, 400, 723}, 150, screen, {{100, 550, 400, 700}, true}},
        {"neither side fits, below larger", {100, 300, 400, 323}, 600, screen, {{100, 323, 400, 768}, false}},
        {"neither side fits, above larger", {100, 500, 400, 523}, 600, screen, {{100, 0, 400, 500}, true}},
        {"equal sides prefer below", {100, 372, 400, 396}, 600, screen, {{100, 396, 400, 768}, false}},
        // A second monitor above the first: its work area starts at a negative y.
        {"work area of another monitor",
         {10, -60, 310, -37},
         150,
         {0, -768, 1024, -40},
         {{10, -210, 310, -60}, true}},
        {"owner below the work area", {10, 800, 310, 823}, 150, screen, {{10, 650, 310, 800}, true}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceDropDown(c.alignTo, c.alignTo.Width(), c.height, c.work), c.expected) << c.what;
}

TEST(ComboboxPlacement, LayoutOfGripScrollbarAndContent) {
    struct Case {
        const char* what;
        TDropDownLayoutInput input;
        TDropDownLayout expected;
    };
    // A 300 by 150 window with 17-pixel system scroll sizes: a 298 by 148 client area.
    auto input = [](bool above, bool rtl, bool sizeable, bool shown) {
        TDropDownLayoutInput in;
        in.Width = 300;
        in.Height = 150;
        in.Above = above;
        in.RightToLeft = rtl;
        in.Sizeable = sizeable;
        in.ScrollbarShown = shown;
        return in;
    };
    const Case cases[] = {
        {"below, grip bottom right",
         input(false, false, true, true),
         {{281, 131, 298, 148}, {281, 0, 298, 131}, {0, 0, 281, 148}}},
        {"above, grip top right",
         input(true, false, true, true),
         {{281, -1, 298, 16}, {281, 16, 298, 148}, {0, 0, 281, 148}}},
        {"right-to-left puts both on the left",
         input(false, true, true, true),
         {{0, 131, 17, 148}, {0, 0, 17, 131}, {17, 0, 298, 148}}},
        {"not sizeable: no grip height",
         input(false, false, false, true),
         {{281, 148, 298, 148}, {281, 0, 298, 148}, {0, 0, 281, 148}}},
        {"bar hidden: the content takes the width",
         input(false, false, true, false),
         {{281, 131, 298, 148}, {281, 0, 298, 131}, {0, 0, 298, 148}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LayoutDropDown(c.input), c.expected) << c.what;
}

TEST(ComboboxPlacement, GripMovesItsCornerAndKeepsAMinimum) {
    const TComboRect start{100, 200, 400, 350};
    struct Case {
        const char* what;
        int dx, dy;
        bool above, left;
        TComboRect expected;
    };
    const Case cases[] = {
        {"below, right", 20, 30, false, false, {100, 200, 420, 380}},
        {"below, left", 20, 30, false, true, {120, 200, 400, 380}},
        {"above, right", 20, 30, true, false, {100, 230, 420, 350}},
        {"above, left", -20, -30, true, true, {80, 170, 400, 350}},
        {"shrunk past the minimum keeps the owner's edges", -500, -500, false, false, {100, 200, 140, 240}},
        {"above and left past the minimum", 500, 500, true, true, {360, 310, 400, 350}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResizeByGrip(start, c.dx, c.dy, c.above, c.left, 40, 40), c.expected) << c.what;
}

TEST(ComboboxTypedText, NormalisedDrivesAndTheFirstMissingFolder) {
    EXPECT_EQ(NormalizeTypedPath(u"C"), u"C:\\");
    EXPECT_EQ(NormalizeTypedPath(u"C:"), u"C:\\");
    EXPECT_EQ(NormalizeTypedPath(u"C:\\x"), u"C:\\x");
    EXPECT_EQ(NormalizeTypedPath(u""), u"");

    const std::set<WideString> folders{u"C:\\", u"C:\\Windows\\", u"\\\\server\\share\\"};
    const auto exists = [&](const WideString& path) { return folders.count(path) != 0; };
    struct Case {
        const char16_t* text;
        std::size_t start;
    };
    const Case cases[] = {
        {u"C:\\Windows\\Nope\\deeper", 11},  {u"C:\\Nope", 3},       {u"Q:\\x\\y", 0}, {u"nothing", 0},
        {u"\\\\server\\share\\missing", 15}, {u"C:\\Windows\\", 11},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstMissingComponent(c.text, exists), c.start) << Narrow(c.text);
}

TEST(ComboboxCompletion, FolderPartOfTheTypedText) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"C", u"C:\\"},
        {u"C:", u"C:\\"},
        {u"C:\\Win", u"C:\\"},
        {u"C:\\Windows\\sys", u"C:\\Windows\\"},
        {u"C:\\Windows\\", u"C:\\Windows\\"},
        {u"abc", u""},
        {u"", u""},
    };
    for (const auto& [text, folder] : cases)
        EXPECT_EQ(CompletionFolderOf(text), folder) << Narrow(text);
}

class ComboboxFilterTest : public testing::Test {
protected:
    ComboboxFilterTest()
        : filter(
              [this](const WideString& folder) {
                  listed.push_back(folder);
                  // Folder names ignore case, as the file system's do.
                  auto found = folders.find(CodePage1252Text().LowerCase(folder));
                  return found == folders.end() ? std::vector<WideString>{} : found->second;
              },
              CodePage1252Text()) {
        folders[u"c:\\data\\"] = {u"C:\\data\\Alpha.ker", u"C:\\data\\alpine", u"C:\\data\\beta.ker"};
        folders[u"c:\\"] = {u"C:\\data", u"C:\\docs"};
    }
    std::vector<WideString> Shown() const {
        std::vector<WideString> shown;
        for (std::size_t i : filter.Matches())
            shown.push_back(filter.Entries()[i]);
        return shown;
    }

    std::map<WideString, std::vector<WideString>> folders;
    std::vector<WideString> listed;
    TCompletionFilter filter;
};

TEST_F(ComboboxFilterTest, ListsAFolderOnceWhileTypingWithinIt) {
    filter.Update(u"C:\\data\\a");
    filter.Update(u"C:\\data\\al");
    filter.Update(u"C:\\data\\alp");
    EXPECT_EQ(filter.Listings(), 1) << "keystrokes within one folder filter the list it has";
    EXPECT_EQ(Shown(), (std::vector<WideString>{u"C:\\data\\Alpha.ker", u"C:\\data\\alpine"}));
    filter.Update(u"C:\\d");
    EXPECT_EQ(filter.Listings(), 2);
    EXPECT_EQ(Shown(), (std::vector<WideString>{u"C:\\data", u"C:\\docs"}));
    filter.Update(u"C:\\data\\");
    EXPECT_EQ(filter.Listings(), 3);
    filter.Invalidate();
    filter.Update(u"C:\\data\\");
    EXPECT_EQ(filter.Listings(), 4) << "an invalidated filter lists again";
}

TEST_F(ComboboxFilterTest, MatchesIgnoreCaseAndABackslashListsEveryEntryOnce) {
    EXPECT_EQ(filter.Update(u"c:\\DATA\\AL").size(), 2u);
    // "C:\data\" also begins every entry: each still shows once.
    filter.Update(u"C:\\data\\");
    EXPECT_EQ(Shown(), folders[u"c:\\data\\"]);
    EXPECT_TRUE(filter.Update(u"C:\\data\\zz").empty());
    EXPECT_TRUE(filter.Update(u"C:\\missing\\").empty()) << "a folder that is not there lists nothing";
    EXPECT_TRUE(filter.Update(u"plain").empty()) << "text without a folder part completes nothing";
    EXPECT_EQ(listed.back(), u"C:\\missing\\") << "no folder part asks for no listing";
}

// The pick tree lists the top of the namespace, the folders on the way to its target, and in the enhanced
// look every folder.
TEST(ComboboxPickTree, ListsTheTopAndThePathToTheTarget) {
    TMemoryNamespace ns;
    ns.Add("\\root\\a\\b\\c\\deep.ker");
    ns.Add("\\root\\a\\side\\");
    ns.Add("\\root\\other\\");
    auto tree = MakePopupExplorerTree(ns, nullptr);
    auto names = [&](PVirtualNode parent) {
        std::vector<std::string> result;
        auto& explorer = dynamic_cast<TCustomVirtualExplorerTree&>(*tree);
        for (PVirtualNode node = tree->GetFirstChild(parent); node; node = tree->GetNextSibling(node))
            result.push_back(Narrow(explorer.NodeItem(node)->NameNormal()));
        std::sort(result.begin(), result.end());
        return result;
    };
    auto find = [&](const std::vector<std::string>& path) {
        return dynamic_cast<TCustomVirtualExplorerTree&>(*tree).FindLoadedNode(ListOf(path));
    };
    SetPopupExplorerTarget(*tree, ListOf({"root", "a", "b"}));
    PreparePopupExplorer(*tree, true);
    ASSERT_NE(find({"root", "a"}), nullptr);
    EXPECT_EQ(names(find({"root", "a"})), (std::vector<std::string>{"b"})) << "only the way to the target";
    EXPECT_EQ(names(find({"root"})), (std::vector<std::string>{"a", "other"})) << "two records: always";
    EXPECT_EQ(PopupExplorerSelection(*tree), ListOf({"root", "a", "b"}));

    DeactivatePopupExplorer(*tree);
    SetPopupExplorerStyle(*tree, TPopupComboBoxStyle::cbsVETEnhanced);
    PreparePopupExplorer(*tree, true);
    EXPECT_EQ(names(find({"root", "a"})), (std::vector<std::string>{"b", "side"}));
}

} // namespace
} // namespace tarvola::test
