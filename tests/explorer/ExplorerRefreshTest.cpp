#include "explorer/ExplorerRefresh.h"

#include "tests/explorer/ExplorerStateFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <list>
#include <set>

namespace tarvola {
namespace {

using test::Item;
using test::NameOf;
using Names = std::vector<std::string>;

WideString Wide(const std::string& text) {
    return WideString(text.begin(), text.end());
}

TRefreshItem Entry(const std::string& name) {
    return {Item(name), Wide(name)};
}

std::vector<TRefreshItem> Entries(const Names& names) {
    std::vector<TRefreshItem> items;
    for (const std::string& name : names)
        items.push_back(Entry(name));
    return items;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// A folder node with its children in memory. The shell orders names without regard to case; it can be
// made to fail for some names.
class TMemoryFolder final : public IRefreshFolder {
public:
    struct TNode {
        std::string name;
        bool expanded = false;
        bool selected = false;
        bool checked = false;
    };

    std::list<TNode> children;
    TNode* focused = nullptr;
    bool folderFocused = false;
    std::set<std::string> failing; // comparisons with these names fail
    bool allFail = false;
    bool reversed = false;            // the shell orders names the other way round
    std::set<std::string> turnedDown; // the tree's filter refuses these
    Names deleted;

    explicit TMemoryFolder(const Names& names) {
        for (const std::string& name : names)
            children.push_back({name});
    }

    TNode* Node(const std::string& name) {
        for (TNode& node : children)
            if (node.name == name)
                return &node;
        return nullptr;
    }
    Names ChildNames() const {
        Names names;
        for (const TNode& node : children)
            names.push_back(node.name);
        return names;
    }

    std::optional<int> CompareIDs(const TItemIDList& a, const TItemIDList& b) override {
        const std::string x = NameOf(a);
        const std::string y = NameOf(b);
        if (allFail || failing.count(x) || failing.count(y))
            return std::nullopt;
        const int order = Lower(x).compare(Lower(y));
        return reversed ? -order : order;
    }
    std::vector<TRefreshChild> Children() override {
        std::vector<TRefreshChild> result;
        for (TNode& node : children)
            result.push_back({&node, Entry(node.name)});
        return result;
    }
    bool AddChild(const TRefreshItem& item, TExplorerNodeRef before) override {
        const std::string name = NameOf(item.RelativePIDL);
        if (turnedDown.count(name))
            return false;
        auto at =
            std::find_if(children.begin(), children.end(), [&](const TNode& n) { return &n == before; });
        EXPECT_TRUE(before == nullptr || at != children.end()) << "inserted before a node that is gone";
        children.insert(at, TNode{name});
        return true;
    }
    void DeleteChild(TExplorerNodeRef child) override {
        EXPECT_NE(child, focused) << "the focus was not moved off the deleted node";
        for (auto it = children.begin(); it != children.end(); ++it)
            if (&*it == child) {
                deleted.push_back(it->name);
                children.erase(it);
                return;
            }
        ADD_FAILURE() << "deleted a node that is not a child";
    }
    TExplorerNodeRef FocusedChild() override { return focused; }
    TExplorerNodeRef NextSibling(TExplorerNodeRef child) override {
        for (auto it = children.begin(); it != children.end(); ++it)
            if (&*it == child)
                return std::next(it) == children.end() ? nullptr : &*std::next(it);
        return nullptr;
    }
    void FocusChild(TExplorerNodeRef child) override {
        focused = const_cast<TNode*>(static_cast<const TNode*>(child));
        folderFocused = child == nullptr;
        if (focused != nullptr)
            focused->selected = true;
    }
};

TEST(RefreshMergeTest, AddsAndRemovesExactlyWhatChanged) {
    struct Case {
        Names old, fresh, result;
        int added, removed;
    } cases[] = {
        {{"a", "b", "c"}, {"c", "a", "b"}, {"a", "b", "c"}, 0, 0},
        {{"a", "c", "e"}, {"a", "b", "c", "d", "e"}, {"a", "b", "c", "d", "e"}, 2, 0},
        {{"a", "b", "c"}, {"a", "c"}, {"a", "c"}, 0, 1},
        {{"b", "c"}, {"a", "c", "d"}, {"a", "c", "d"}, 2, 1},
        {{}, {"b", "a"}, {"a", "b"}, 2, 0},
        {{"a", "b"}, {}, {}, 0, 2},
        {{"Apple", "cherry"},
         {"banana", "Apple", "cherry", "Date"},
         {"Apple", "banana", "cherry", "Date"},
         2,
         0},
    };
    for (const Case& c : cases) {
        TMemoryFolder folder(c.old);
        const TRefreshResult result = MergeChildren(folder, Entries(c.fresh));
        EXPECT_EQ(folder.ChildNames(), c.result);
        EXPECT_EQ(result.Kept + result.Removed, static_cast<int>(c.old.size()));
        EXPECT_EQ(result.Added, c.added);
        EXPECT_EQ(result.Removed, c.removed);
        EXPECT_FALSE(result.ShellOrderFailed);
    }
}

TEST(RefreshMergeTest, UnchangedChildrenKeepTheirNodesAndState) {
    TMemoryFolder folder({"a", "b", "d"});
    TMemoryFolder::TNode* b = folder.Node("b");
    b->expanded = b->selected = b->checked = true;
    MergeChildren(folder, Entries({"b", "c", "d", "e"}));
    EXPECT_EQ(folder.ChildNames(), (Names{"b", "c", "d", "e"}));
    EXPECT_EQ(folder.Node("b"), b);
    EXPECT_TRUE(b->expanded && b->selected && b->checked);
}

TEST(RefreshMergeTest, OneNewFileAmongAThousandLandsInItsPlace) {
    Names names;
    for (int i = 0; i < 1000; ++i)
        names.push_back(std::string("f").append(std::to_string(1000 + 2 * i)));
    TMemoryFolder folder(names);
    Names fresh = names;
    fresh.push_back("f1501");
    std::reverse(fresh.begin(), fresh.end());
    const TRefreshResult result = MergeChildren(folder, Entries(fresh));
    EXPECT_EQ(result.Added, 1);
    EXPECT_EQ(result.Kept, 1000);
    EXPECT_EQ(folder.ChildNames()[251], "f1501");
    EXPECT_TRUE(std::is_sorted(folder.children.begin(), folder.children.end(),
                               [](const auto& a, const auto& b) { return a.name < b.name; }));

    fresh.erase(std::find(fresh.begin(), fresh.end(), "f1800"));
    EXPECT_EQ(MergeChildren(folder, Entries(fresh)).Removed, 1);
    EXPECT_EQ(folder.deleted, Names{"f1800"});
}

TEST(RefreshMergeTest, TheFocusLeavesADeletedNodeForItsNextSiblingElseTheFolder) {
    struct Case {
        Names old, fresh;
        std::string focused;
        std::string focusAfter; // "" for the folder's node
    } cases[] = {
        {{"a", "b", "c"}, {"a", "c"}, "b", "c"},
        {{"a", "b", "c"}, {"a", "b"}, "c", ""},
        {{"a", "b", "c", "d"}, {"a", "d"}, "b", "d"}, // the next sibling goes too
        {{"a"}, {}, "a", ""},
        {{"a", "b"}, {"b"}, "b", "b"}, // not deleted: left alone
    };
    for (const Case& c : cases) {
        TMemoryFolder folder(c.old);
        folder.focused = folder.Node(c.focused);
        MergeChildren(folder, Entries(c.fresh));
        if (c.focusAfter.empty()) {
            EXPECT_EQ(folder.focused, nullptr) << c.focused;
            EXPECT_TRUE(folder.folderFocused) << c.focused;
        } else {
            ASSERT_NE(folder.focused, nullptr) << c.focused;
            EXPECT_EQ(folder.focused->name, c.focusAfter);
            EXPECT_EQ(folder.focused->selected, c.focusAfter != c.focused) << "the new focus is selected";
        }
    }
}

TEST(RefreshMergeTest, AFailingShellNeverCostsAnExistingNode) {
    struct Case {
        Names old, fresh;
        std::set<std::string> failing;
        bool allFail;
    } cases[] = {
        {{"a", "b", "c"}, {"a", "b", "c"}, {}, true},
        {{"a", "b", "c"}, {"a", "b", "c", "d"}, {}, true},
        // The shell orders against the names, and fails for some: the orders disagree.
        {{"z", "m", "a"}, {"z", "m", "a", "q"}, {"m"}, false},
        {{"m", "c", "B", "a"}, {"m", "c", "a", "B", "k"}, {"a", "m"}, false},
        {{"a", "B", "c", "m"}, {"m", "c", "a", "B", "k"}, {"c"}, false}, // old children in name order
    };
    for (const Case& c : cases) {
        TMemoryFolder folder(c.old);
        folder.failing = c.failing;
        folder.allFail = c.allFail;
        folder.reversed = !c.allFail;
        std::vector<const TMemoryFolder::TNode*> before;
        for (const std::string& name : c.old)
            before.push_back(folder.Node(name));
        const TRefreshResult result = MergeChildren(folder, Entries(c.fresh));
        EXPECT_TRUE(result.ShellOrderFailed);
        EXPECT_TRUE(folder.deleted.empty()) << c.old.size();
        for (std::size_t i = 0; i < c.old.size(); ++i)
            EXPECT_EQ(folder.Node(c.old[i]), before[i]) << c.old[i] << " lost its node";
        Names names = folder.ChildNames();
        Names fresh = c.fresh;
        std::sort(names.begin(), names.end());
        std::sort(fresh.begin(), fresh.end());
        EXPECT_EQ(names, fresh);
        // Existing nodes keep their order among themselves.
        Names kept;
        for (const std::string& name : folder.ChildNames())
            if (std::find(c.old.begin(), c.old.end(), name) != c.old.end())
                kept.push_back(name);
        EXPECT_EQ(kept, c.old);
    }
}

TEST(RefreshMergeTest, ItemsTheTreeTurnsDownAreNotCounted) {
    TMemoryFolder folder({"a"});
    folder.turnedDown = {"b"};
    const TRefreshResult result = MergeChildren(folder, Entries({"a", "b", "c"}));
    EXPECT_EQ(result.Added, 1);
    EXPECT_EQ(folder.ChildNames(), (Names{"a", "c"}));
}

TEST(RefreshMergeTest, AnEmptyFolderIsAnEmptyResultNotAFailure) {
    struct Case {
        std::int32_t hr;
        bool hasEnumerator;
        TEnumerationOutcome outcome;
    } cases[] = {
        {0, true, TEnumerationOutcome::Items},
        {1, false, TEnumerationOutcome::Empty}, // S_FALSE without an enumerator
        {1, true, TEnumerationOutcome::Empty},
        {0, false, TEnumerationOutcome::Empty},
        {static_cast<std::int32_t>(0x80004005), false, TEnumerationOutcome::Failed},
        {static_cast<std::int32_t>(0x80070005), true, TEnumerationOutcome::Failed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EnumerationOutcome(c.hr, c.hasEnumerator), c.outcome) << std::hex << c.hr;
}

} // namespace
} // namespace tarvola
