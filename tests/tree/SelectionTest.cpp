// Selection and focus: merging into the address-sorted array, the constraints, the range operations and the
// range anchor, packing after an update, and moving the focus with its veto and auto-expansion.
#include "tests/tree/TreeTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace tarvola::test {
namespace {

using Log = std::vector<std::string>;
using Names = std::vector<std::string>;

//  A (expanded): A0, A1, A2
//  B (collapsed): B0, B1
//  C, D
struct SelectionTree {
    TBaseVirtualTree tree;
    NodeNames names;
    std::map<std::string, PVirtualNode> n;
    Log changes;

    PVirtualNode Add(PVirtualNode parent, const std::string& name) {
        PVirtualNode node = tree.AddChild(parent);
        names.Set(node, name);
        n[name] = node;
        return node;
    }
    void Changed(TBaseVirtualTree&, PVirtualNode node) { changes.push_back("Change " + names(node)); }

    SelectionTree() {
        PVirtualNode a = Add(nullptr, "A");
        for (const char* name : {"A0", "A1", "A2"})
            Add(a, name);
        PVirtualNode b = Add(nullptr, "B");
        for (const char* name : {"B0", "B1"})
            Add(b, name);
        Add(nullptr, "C");
        Add(nullptr, "D");
        tree.SetExpanded(a, true);
        tree.OnChange = TVTNodeEvent::Bind<&SelectionTree::Changed>(this);
    }
    ~SelectionTree() { tree.OnChange.Reset(); }

    Names Selection() {
        Names result;
        for (PVirtualNode node : tree.GetSortedSelection(false))
            result.push_back(names(node));
        return result;
    }
    std::string Sound() { return TreeInvariantChecker::Check(tree); }
};

struct SelectionFixture : ::testing::Test, SelectionTree {};

// The nodes named by the rank of their address, so that cases can place new nodes above, below or between
// the selected ones.
TEST(SelectionMerge, MergeTable) {
    struct Case {
        const char* name;
        std::vector<int> before, add, disabled;
        bool force, added;
        std::vector<int> after;
    };
    const Case cases[] = {
        {"into an empty selection", {}, {5, 2}, {}, false, true, {2, 5}},
        {"all above the old ones", {0, 1}, {6, 5}, {}, false, true, {0, 1, 5, 6}},
        {"one below all", {3, 4, 5}, {0}, {}, false, true, {0, 3, 4, 5}},
        {"interleaved", {1, 3, 5}, {6, 0, 4, 2}, {}, false, true, {0, 1, 2, 3, 4, 5, 6}},
        {"a node listed twice", {}, {2, 2, 3}, {}, false, true, {2, 3}},
        {"already selected", {1}, {1}, {}, false, false, {1}},
        {"disabled", {1}, {7}, {7}, false, false, {1}},
        {"disabled among others", {}, {7, 6}, {7}, false, true, {6}},
        {"forced, disabled", {1}, {7}, {7}, true, true, {1, 7}},
        {"forced, listed twice and one selected already", {1}, {4, 1, 4}, {}, true, true, {1, 4}},
        {"forced, all selected already", {1, 2}, {2, 1}, {}, true, false, {1, 2}},
        {"nothing", {1}, {}, {}, false, false, {1}},
    };
    for (const Case& c : cases) {
        SelectionTree fixture;
        auto& tree = fixture.tree;
        std::vector<PVirtualNode> byAddress;
        for (PVirtualNode node = tree.GetFirst(); node != nullptr; node = tree.GetNext(node))
            byAddress.push_back(node);
        std::sort(byAddress.begin(), byAddress.end(), TSelectionArray::AddressLess);
        for (int rank : c.disabled)
            byAddress[rank]->States |= nsDisabled;
        std::vector<PVirtualNode> items;
        for (int rank : c.before)
            items.push_back(byAddress[rank]);
        tree.AddArrayToSelection(items, false);
        items.clear();
        for (int rank : c.add)
            items.push_back(byAddress[rank]);
        fixture.changes.clear();
        tree.AddArrayToSelection(items, c.force);
        std::vector<int> after;
        for (int rank = 0; rank < static_cast<int>(byAddress.size()); ++rank)
            if (tree.Selected(byAddress[rank]))
                after.push_back(rank);
        EXPECT_EQ(after, c.after) << c.name;
        EXPECT_EQ(tree.SelectedCount(), c.after.size()) << c.name;
        EXPECT_EQ(fixture.changes.size(), c.added ? 1u : 0u) << c.name;
        EXPECT_EQ(fixture.Sound(), "") << c.name;
    }
}

TEST_F(SelectionFixture, WithoutMultiSelectASecondNodeReplacesTheFirst) {
    tree.SetSelected(n["A0"], true);
    tree.SetSelected(n["C"], true);
    EXPECT_EQ(Selection(), (Names{"C"}));
    tree.Options.MultiSelect = true;
    tree.SetSelected(n["D"], true);
    EXPECT_EQ(Selection(), (Names{"C", "D"}));
    EXPECT_EQ(Sound(), "");
}

TEST_F(SelectionFixture, ClearingAnEmptySelectionReportsNoChange) {
    tree.ClearSelection();
    EXPECT_EQ(changes, Log{});
    tree.AddToSelection(n["C"]);
    changes.clear();
    tree.ClearSelection();
    EXPECT_EQ(changes, (Log{"Change nil"}));
    EXPECT_EQ(tree.SelectedCount(), 0u);
}

TEST_F(SelectionFixture, ARangeTakesOnlyVisibleNodesAndKeepsTheAnchor) {
    tree.Options.MultiSelect = true;
    tree.HandleClickSelection(n["A1"], false, false, false);
    tree.HandleClickSelection(n["C"], false, true, false); // Shift: from the anchor, B's children hidden
    EXPECT_EQ(Selection(), (Names{"A1", "A2", "B", "C"}));
    EXPECT_EQ(tree.RangeAnchor(), n["A1"]);
    tree.HandleClickSelection(n["A"], false, true, false); // backwards from the same anchor
    EXPECT_EQ(Selection(), (Names{"A", "A0", "A1"}));
    tree.HandleClickSelection(n["D"], true, true, false); // Ctrl+Shift adds
    EXPECT_EQ(Selection(), (Names{"A", "A0", "A1", "A2", "B", "C", "D"}));
    EXPECT_EQ(Sound(), "");
}

TEST_F(SelectionFixture, ToggleSelectionKeepsTheAnchorSelected) {
    tree.Options.MultiSelect = true;
    tree.HandleClickSelection(n["A1"], false, false, false);
    tree.AddToSelection(n["B"]);
    tree.ToggleSelection(n["A1"], n["C"]);
    EXPECT_EQ(Selection(), (Names{"A1", "A2", "C"}));
    EXPECT_EQ(Sound(), "");
}

TEST_F(SelectionFixture, TheLevelConstraintKeepsARangeOnTheFirstNodesLevel) {
    tree.Options.MultiSelect = true;
    tree.Options.LevelSelectConstraint = true;
    tree.HandleClickSelection(n["A0"], false, false, false);
    tree.HandleClickSelection(n["C"], false, true, false);
    EXPECT_EQ(Selection(), (Names{"A0", "A1", "A2"}));
    EXPECT_EQ(Sound(), "");
}

TEST_F(SelectionFixture, TheSiblingConstraintKeepsTheAnchorAndRefusesOtherParents) {
    tree.Options.MultiSelect = true;
    tree.Options.SiblingSelectConstraint = true;
    tree.HandleClickSelection(n["A0"], false, false, false);
    tree.HandleClickSelection(n["A2"], true, false, false);
    EXPECT_EQ(tree.RangeAnchor(), n["A0"]);
    tree.HandleClickSelection(n["C"], true, false, false);
    EXPECT_EQ(Selection(), (Names{"A0", "A2"}));
}

TEST_F(SelectionFixture, ACtrlClickWithADragPendingWaitsForTheRelease) {
    tree.HandleClickSelection(n["C"], true, false, true);
    EXPECT_TRUE(tree.InState(TreeState::tsToggleFocusedSelection));
    EXPECT_EQ(Selection(), Names{});
    tree.HandleClickSelection(n["C"], true, false, false);
    tree.HandleClickSelection(n["C"], true, false, false); // a second Ctrl click takes it off again
    EXPECT_EQ(Selection(), Names{});
}

TEST_F(SelectionFixture, RemovalsDuringAnUpdatePackToTheRightCount) {
    tree.Options.MultiSelect = true;
    tree.SelectAll(false);
    EXPECT_EQ(tree.SelectedCount(), 9u);
    tree.BeginUpdate();
    tree.UnselectNodes(nullptr, n["D"]); // every visible node
    tree.EndUpdate();
    EXPECT_EQ(Selection(), (Names{"B0", "B1"}));
    tree.BeginUpdate();
    tree.DeleteNode(n["B"]);
    tree.EndUpdate();
    EXPECT_EQ(tree.SelectedCount(), 0u); // nothing left: zero, not a wrapped count
    EXPECT_EQ(Sound(), "");
}

TEST_F(SelectionFixture, AFreedSelectedNodesEntryDoesNotShadowANewNodeAtItsAddress) {
    tree.AddToSelection(n["C"]);
    tree.BeginUpdate();
    tree.DeleteNode(n["C"]);
    PVirtualNode fresh = tree.AddChild(nullptr); // may reuse the freed record
    tree.AddToSelection(fresh);
    tree.RemoveFromSelection(fresh);
    tree.AddToSelection(fresh);
    tree.EndUpdate();
    EXPECT_EQ(tree.SelectedCount(), 1u);
    EXPECT_TRUE(tree.Selected(fresh));
    EXPECT_EQ(Sound(), "");
}

TEST_F(SelectionFixture, InvertSelectionSwapsEveryNode) {
    tree.Options.MultiSelect = true;
    tree.AddToSelection(n["A0"]);
    changes.clear();
    tree.InvertSelection(true);
    EXPECT_EQ(Selection(), (Names{"A", "A1", "A2", "B", "C", "D"}));
    EXPECT_EQ(changes, (Log{"Change nil"}));
    EXPECT_EQ(Sound(), "");
}

struct FocusTree : TBaseVirtualTree {
    bool editEnds = true;
    bool EndEditNode() override { return editEnds; }
    void StartEditing() { DoStateChange({TreeState::tsEditing}); }
};

TEST(Focus, VetoesAndAnEditThatCannotEndKeepTheFocus) {
    FocusTree tree;
    PVirtualNode a = tree.AddChild(nullptr), b = tree.AddChild(nullptr);
    Log log;
    bool allow = true;
    auto changing = [&](TBaseVirtualTree&, PVirtualNode, PVirtualNode, TColumnIndex, TColumnIndex,
                        bool& allowed) { allowed = allow; };
    auto changed = [&](TBaseVirtualTree&, PVirtualNode node, TColumnIndex column) {
        log.push_back(std::string(node == a ? "a" : node == b ? "b" : "nil") + " " + std::to_string(column));
    };
    tree.OnFocusChanging = TVTFocusChangingEvent::Bind(changing);
    tree.OnFocusChanged = TVTFocusChangeEvent::Bind(changed);
    tree.SetFocusedNode(a);
    allow = false;
    tree.SetFocusedNode(b);
    tree.SetFocusedColumn(2);
    EXPECT_EQ(tree.FocusedNode(), a);
    EXPECT_EQ(tree.FocusedColumn(), NoColumn);
    allow = true;
    tree.StartEditing();
    tree.editEnds = false;
    tree.SetFocusedNode(b);
    EXPECT_EQ(tree.FocusedNode(), a);
    tree.editEnds = true;
    tree.SetFocusedNode(b);
    tree.SetFocusedColumn(1);
    tree.SetFocusedNode(tree.RootNode()); // the root counts as no node
    EXPECT_EQ(log, (Log{"a -1", "b -1", "b 1", "nil 1"}));
    tree.OnFocusChanging.Reset();
    tree.OnFocusChanged.Reset();
}

TEST_F(SelectionFixture, WithAutoExpandTheFocusOpensAndClosesSiblings) {
    tree.Options.AutoExpand = true;
    tree.SetFocusedNode(n["A"]);
    tree.SetFocusedNode(n["B"]);
    EXPECT_FALSE(tree.Expanded(n["A"]));
    EXPECT_TRUE(tree.Expanded(n["B"]));
    tree.SetFocusedNode(n["B0"]); // a child: its parent stays open
    EXPECT_TRUE(tree.Expanded(n["B"]));
    EXPECT_EQ(Sound(), "");
}

// Clearing repaints exactly the rows of the selected nodes that are shown, whatever order the selection
// holds them in and whether or not the position cache is built. The fixture: 3000 rows of mixed heights
// (a cache entry every CacheThreshold rows), every 100th with five children, every other such parent
// expanded, scrolled down a little.
TEST(ClearSelectionRepaint, InvalidatesTheRowsOfTheShownSelectedNodes) {
    struct Case {
        const char* name;
        bool cache;
        std::vector<unsigned> rows; // root indexes; a selected parent brings its children along
    };
    const Case cases[] = {
        {"one row", false, {7}},
        {"rows across the whole tree", false, {0, 1, 99, 100, 101, 1500, 2998, 2999}},
        {"every row", false, {}},
        {"one row, cached", true, {2500}},
        {"rows on both sides of cache entries, cached", true, {0, 1999, 2000, 2001, 2100, 2999}},
        {"every row, cached", true, {}},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        host.window = true;
        TBaseVirtualTree tree(&host);
        host.tree = &tree;
        tree.Options.MultiSelect = true;
        tree.BeginUpdate();
        tree.SetRootNodeCount(3000);
        for (PVirtualNode node = tree.GetFirst(); node != nullptr; node = tree.GetNextSibling(node)) {
            tree.SetNodeHeight(node, 16 + node->Index % 7);
            if (node->Index % 100 == 0) {
                tree.SetChildCount(node, 5);
                if (node->Index % 200 == 0)
                    tree.SetExpanded(node, true);
            }
        }
        tree.EndUpdate();
        FakeGuiThread::Instance().WaitWhile([&] { return tree.ValidationPending(); });
        if (!c.cache)
            tree.InvalidateCache();
        ASSERT_EQ(tree.InState(TreeState::tsUseCache), c.cache) << c.name;
        tree.SetOffsetY(-250);

        std::vector<PVirtualNode> chosen;
        for (PVirtualNode node = tree.GetFirst(); node != nullptr; node = tree.GetNext(node)) {
            const PVirtualNode row = node->Parent == tree.RootNode() ? node : node->Parent;
            if (c.rows.empty() || std::count(c.rows.begin(), c.rows.end(), row->Index) > 0)
                chosen.push_back(node);
        }
        tree.AddArrayToSelection(chosen, false);
        std::multiset<std::string> expected;
        for (PVirtualNode node : chosen)
            if (tree.FullyVisible(node)) {
                const TTreeRect rect = tree.GetDisplayRect(node, NoColumn, false, true);
                expected.insert("InvalidateRows " + std::to_string(rect.Top) + " " +
                                std::to_string(rect.Bottom));
            }
        host.log.clear();
        tree.ClearSelection();
        std::multiset<std::string> invalidated(host.log.begin(), host.log.end());
        EXPECT_EQ(invalidated, expected) << c.name;
        EXPECT_EQ(tree.SelectedCount(), 0u) << c.name;
        // The walk leaves nothing behind: a later lookup still measures from the cache or the first row.
        PVirtualNode last = tree.GetLast();
        EXPECT_EQ(tree.GetDisplayRect(last, NoColumn, false).Bottom,
                  tree.OffsetY() + static_cast<int>(tree.RangeHeight()))
            << c.name;
        FakeGuiThread::Instance().WaitWhile([&] { return tree.ValidationPending(); });
    }
}

} // namespace
} // namespace tarvola::test
