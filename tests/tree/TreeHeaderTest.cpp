// The tree's side of its header: the focused column names a visible column while there are columns,
// follows the main column where the tree chooses it, and moves together with the node through
// SetFocusedNodeAndColumn (restored when the node's move is refused); the widest content of a column; the
// header events fired as the tree's.
#include "tests/tree/TreeTestSupport.h"

#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/TextExport.h"

#include <gtest/gtest.h>

namespace tarvola::test {
namespace {

using Log = std::vector<std::string>;

struct ColumnsTree {
    TBaseVirtualTree tree;
    PVirtualNode a, b;
    Log events;
    bool allowFocus = true;

    void Changing(TBaseVirtualTree&, PVirtualNode, PVirtualNode, TColumnIndex oldColumn,
                  TColumnIndex newColumn, bool& allowed) {
        events.push_back("Changing " + std::to_string(oldColumn) + "->" + std::to_string(newColumn));
        allowed = allowFocus;
    }
    void Changed(TBaseVirtualTree&, PVirtualNode node, TColumnIndex column) {
        events.push_back(std::string("Changed ") +
                         (node == a   ? "a "
                          : node == b ? "b "
                                      : "nil ") +
                         std::to_string(column));
    }

    explicit ColumnsTree(int columns) {
        for (int i = 0; i < columns; ++i)
            tree.Header().Columns().Add();
        a = tree.AddChild(nullptr);
        b = tree.AddChild(nullptr);
        tree.OnFocusChanging = TVTFocusChangingEvent::Bind<&ColumnsTree::Changing>(this);
        tree.OnFocusChanged = TVTFocusChangeEvent::Bind<&ColumnsTree::Changed>(this);
    }
    void Hide(TColumnIndex column) {
        TVirtualTreeColumn& item = tree.Header().Columns()[column];
        item.SetOptions(item.Options() & ~coVisible);
    }
};

TEST(FocusedColumn, FocusingANodeGivesAVisibleColumnWhenThereIsNone) {
    struct Case {
        int columns;
        std::vector<TColumnIndex> hidden;
        TColumnIndex main;
        TColumnIndex expected;
    };
    const Case cases[] = {
        {0, {}, NoColumn, NoColumn}, // no columns: the focused column stays as it is
        {3, {}, 0, 0},
        {3, {}, 2, 2},
        {3, {2}, 2, 0}, // the main column is hidden: the first visible
        {3, {0, 2}, 2, 1},
        {2, {0, 1}, 0, NoColumn}, // nothing visible to focus
    };
    for (const Case& c : cases) {
        ColumnsTree t(c.columns);
        for (TColumnIndex column : c.hidden)
            t.Hide(column);
        t.tree.Header().SetMainColumn(c.main);
        t.tree.SetFocusedNode(t.a);
        EXPECT_EQ(t.tree.FocusedColumn(), c.expected) << c.columns << " main " << c.main;
    }
}

TEST(FocusedColumn, SelectingMovesAnInvisibleFocusedColumnToAVisibleOne) {
    ColumnsTree t(3);
    t.tree.SetFocusedColumn(2);
    t.Hide(2);
    t.tree.Options.ExtendedFocus = true; // the main column does not take the focus by itself
    t.tree.Header().SetMainColumn(1);
    EXPECT_EQ(t.tree.FocusedColumn(), 2);
    t.tree.SetSelected(t.b, true);
    EXPECT_EQ(t.tree.FocusedColumn(), 1);
}

TEST(FocusedColumn, OnlyVisibleColumnsCanTakeTheFocus) {
    ColumnsTree t(3);
    t.Hide(1);
    t.tree.SetFocusedColumn(2);
    EXPECT_EQ(t.tree.FocusedColumn(), 2);
    for (TColumnIndex refused : {1, 3, NoColumn, InvalidColumn}) {
        t.tree.SetFocusedColumn(refused);
        EXPECT_EQ(t.tree.FocusedColumn(), 2) << refused;
    }
    EXPECT_EQ(t.events, (Log{"Changing -1->2", "Changed nil 2"}));
    ColumnsTree noColumns(0); // without a header's columns any column number is kept as given
    noColumns.tree.SetFocusedColumn(4);
    EXPECT_EQ(noColumns.tree.FocusedColumn(), 4);
}

TEST(FocusedColumn, FollowsTheMainColumnWithoutExtendedFocus) {
    ColumnsTree t(3);
    t.tree.Header().SetMainColumn(2);
    EXPECT_EQ(t.tree.FocusedColumn(), 2);
    t.tree.Options.ExtendedFocus = true;
    t.tree.Header().SetMainColumn(1);
    EXPECT_EQ(t.tree.FocusedColumn(), 2);
}

TEST(SetFocusedNodeAndColumn, MovesBothAndReportsOnce) {
    ColumnsTree t(3);
    t.tree.SetFocusedNodeAndColumn(t.b, 2);
    EXPECT_EQ(t.tree.FocusedNode(), t.b);
    EXPECT_EQ(t.tree.FocusedColumn(), 2);
    EXPECT_EQ(t.events, (Log{"Changing 2->2", "Changed b 2"}));

    t.events.clear();
    t.tree.SetFocusedNodeAndColumn(t.b, 1); // same node, other column
    EXPECT_EQ(t.tree.FocusedColumn(), 1);
    EXPECT_EQ(t.events, (Log{"Changed b 1"}));

    t.events.clear();
    t.tree.SetFocusedNodeAndColumn(t.b, 1); // nothing changes: nothing fires
    EXPECT_TRUE(t.events.empty());
}

TEST(SetFocusedNodeAndColumn, ARefusedMoveRestoresTheColumn) {
    ColumnsTree t(3);
    t.tree.SetFocusedNodeAndColumn(t.a, 0);
    t.allowFocus = false;
    t.events.clear();
    t.tree.SetFocusedNodeAndColumn(t.b, 2);
    EXPECT_EQ(t.tree.FocusedNode(), t.a);
    EXPECT_EQ(t.tree.FocusedColumn(), 0);
    EXPECT_EQ(t.events, (Log{"Changing 2->2"}));
    t.Hide(1);
    t.allowFocus = true;
    t.tree.SetFocusedNodeAndColumn(t.b, 1); // a hidden column is not taken: the node moves alone
    EXPECT_EQ(t.tree.FocusedNode(), t.b);
    EXPECT_EQ(t.tree.FocusedColumn(), 0);
}

// Content widths by node: 30 for every node, 70 for the deep one.
class MeasuredTree : public TBaseVirtualTree {
public:
    PVirtualNode deep = nullptr;
    int GetNodeWidth(PVirtualNode node, TColumnIndex) override { return node == deep ? 70 : 30; }
};

TEST(ColumnFit, TheWidestVisibleContentWithIndentInTheMainColumnOnly) {
    MeasuredTree tree;
    tree.Header().Columns().Add();
    tree.Header().Columns().Add();
    PVirtualNode top = tree.AddChild(nullptr);
    PVirtualNode child = tree.AddChild(top);
    tree.deep = tree.AddChild(child);
    // Collapsed: only the top node counts. Margin 4 + (level 0 + root) * indent 18 + 30.
    EXPECT_EQ(tree.GetMaxColumnWidth(0), 4 + 18 + 30);
    EXPECT_EQ(tree.GetMaxColumnWidth(1), 4 + 30);
    tree.FullExpand();
    EXPECT_EQ(tree.GetMaxColumnWidth(0), 4 + 3 * 18 + 70);
    tree.Options.ShowRoot = false;
    tree.ColumnFitMetrics.ShowVertGridLines = true;
    EXPECT_EQ(tree.GetMaxColumnWidth(0), 4 + 2 * 18 + 70 + 1);
    tree.Header().AutoFitColumns(false);
    EXPECT_EQ(tree.Header().Columns()[1].Width(), 4 + 70 + 1);
}

TEST(HeaderEvents, AreFiredAsTheTreesOwn) {
    TBaseVirtualTree tree;
    tree.Header().Columns().Add();
    std::vector<TColumnIndex> resized;
    auto onResize = [&](TBaseVirtualTree& sender, TColumnIndex column) {
        EXPECT_EQ(&sender, &tree);
        resized.push_back(column);
    };
    tree.HeaderEvents().OnColumnResize = TVTColumnResizeEvent::Bind(onResize);
    tree.Header().Columns()[0].SetWidth(80);
    EXPECT_EQ(resized, (std::vector<TColumnIndex>{0}));
}

// The header follows the tree's font only while ParentFont: a font of its own ends that, and ParentFont set
// again takes the tree's latest font at once.
TEST(HeaderFont, FollowsTheTreesFontWhileParentFont) {
    TBaseVirtualTree tree;
    TVTHeader& header = tree.Header();
    const THeaderFont own = header.Font();
    TTextFont treeFont;
    treeFont.Name = "Arial";
    treeFont.Height = -15;
    treeFont.Style = TextFontBold;
    treeFont.Color = 0x123456;
    tree.TreeFontChanged(treeFont);
    EXPECT_EQ(header.Font(), own); // not ParentFont: its own font stays

    header.SetParentFont(true);
    const THeaderFont expected{0x123456, -15, "Arial", 0, TextFontBold};
    EXPECT_EQ(header.Font(), expected);
    treeFont.Height = -20;
    tree.TreeFontChanged(treeFont);
    EXPECT_EQ(header.Font().Height, -20);

    THeaderFont chosen = own;
    chosen.Name = "Courier New";
    header.SetFont(chosen);
    EXPECT_FALSE(header.ParentFont());
    treeFont.Height = -30;
    tree.TreeFontChanged(treeFont);
    EXPECT_EQ(header.Font(), chosen);
    header.SetParentFont(true);
    EXPECT_EQ(header.Font().Height, -30);
}

} // namespace
} // namespace tarvola::test
