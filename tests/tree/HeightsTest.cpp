// Heights, totals and the position cache: the cache's entries, and lookups with and without it against a
// brute-force walk over the rows.
#include "tests/tree/TreeTestSupport.h"

#include "base/Numerics.h"
#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/TreeOptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace tarvola::test {
namespace {

struct Row {
    PVirtualNode node;
    std::int64_t top;
    std::int64_t height;
};

std::vector<Row> BruteRows(const TBaseVirtualTree& tree) {
    std::vector<Row> rows;
    std::int64_t top = 0;
    for (PVirtualNode node = tree.GetFirstNoInit(); node != nullptr; node = tree.GetNextNoInit(node))
        if (tree.FullyVisible(node)) {
            rows.push_back({node, top, node->NodeHeight});
            top += node->NodeHeight;
        }
    return rows;
}

PVirtualNode BruteNodeAt(const std::vector<Row>& rows, std::int64_t y) {
    for (const Row& row : rows)
        if (y >= row.top && y < row.top + row.height)
            return row.node;
    return nullptr;
}

TEST(PositionCache, HasOneEntryForEvery2000thRowAboveTheThreshold) {
    struct Case {
        std::uint32_t rows;
        std::vector<std::uint32_t> entryIndexes;
    };
    const Case cases[] = {{1999, {}}, {2000, {}}, {2001, {0, 2000}}, {4001, {0, 2000, 4000}}};
    for (const Case& c : cases) {
        WindowedTree windowed;
        TBaseVirtualTree& tree = windowed.tree;
        tree.SetRootNodeCount(c.rows);
        // Mixed heights so that the tops are not a plain multiple.
        for (PVirtualNode node = tree.GetFirstNoInit(); node != nullptr; node = node->NextSibling)
            if (node->Index % 7 == 0)
                tree.SetNodeHeight(node, 30);
        windowed.SettleCache();
        const std::vector<Row> rows = BruteRows(tree);
        const TCache& cache = tree.PositionCache();
        ASSERT_EQ(cache.size(), c.entryIndexes.size()) << c.rows;
        EXPECT_EQ(tree.InState(TreeState::tsUseCache), !c.entryIndexes.empty()) << c.rows;
        for (std::size_t i = 0; i < cache.size(); ++i) {
            EXPECT_EQ(cache[i].Node, rows[c.entryIndexes[i]].node) << c.rows << " entry " << i;
            EXPECT_EQ(cache[i].AbsoluteTop, rows[c.entryIndexes[i]].top) << c.rows << " entry " << i;
        }
    }
}

// A random tree: nested children, mixed heights, collapsed branches and hidden nodes.
void GrowRandomTree(TBaseVirtualTree& tree, std::mt19937& random, std::uint32_t nodes) {
    tree.BeginUpdate();
    std::vector<PVirtualNode> all;
    while (all.size() < nodes) {
        PVirtualNode parent = all.empty() || random() % 3 == 0 ? nullptr : all[random() % all.size()];
        PVirtualNode node = tree.AddChild(parent);
        all.push_back(node);
        if (random() % 4 == 0)
            tree.SetNodeHeight(node, 5 + random() % 60);
    }
    for (PVirtualNode node : all) {
        if (node->FirstChild != nullptr && random() % 5 != 0)
            tree.ToggleNode(node);
        if (random() % 17 == 0)
            tree.SetVisible(node, false);
    }
    tree.EndUpdate();
}

TEST(PositionCache, LookupsAgreeWithAndWithoutTheCacheAndWithABruteWalk) {
    const std::uint32_t sizes[] = {300, 2500, 12000, 50000};
    std::mt19937 random(17);
    for (std::uint32_t size : sizes) {
        WindowedTree windowed;
        TBaseVirtualTree& tree = windowed.tree;
        GrowRandomTree(tree, random, size);
        windowed.SettleCache();
        ASSERT_EQ(TreeInvariantChecker::Check(tree), "");
        const std::vector<Row> rows = BruteRows(tree);
        ASSERT_EQ(rows.size(), tree.VisibleCount());
        const bool cached = tree.InState(TreeState::tsUseCache);
        EXPECT_EQ(cached, rows.size() > CacheThreshold) << size;
        const std::int64_t bottom = rows.empty() ? 0 : rows.back().top + rows.back().height;
        EXPECT_EQ(bottom, tree.RangeHeight());

        std::vector<std::int64_t> positions = {0, bottom - 1, bottom, bottom + 1000};
        for (int i = 0; i < 300; ++i)
            positions.push_back(static_cast<std::int64_t>(random() % (bottom + 1)));
        std::vector<PVirtualNode> probes;
        for (int i = 0; i < 60; ++i)
            probes.push_back(rows[random() % rows.size()].node);
        probes.push_back(rows.back().node);

        auto check = [&](const char* how) {
            for (std::int64_t y : positions) {
                int top = -1;
                PVirtualNode found = tree.GetNodeAt(0, static_cast<int>(y), false, top);
                ASSERT_EQ(found, BruteNodeAt(rows, y)) << how << " size " << size << " y " << y;
            }
            for (PVirtualNode node : probes) {
                const auto row =
                    std::find_if(rows.begin(), rows.end(), [&](const Row& r) { return r.node == node; });
                const TTreeRect rect = tree.GetDisplayRect(node, NoColumn, false, true);
                ASSERT_EQ(rect.Top, row->top) << how << " size " << size;
                ASSERT_EQ(rect.Bottom, row->top + row->height) << how << " size " << size;
            }
        };
        check("with the cache");
        tree.InvalidateCache();
        ASSERT_FALSE(tree.InState(TreeState::tsUseCache));
        check("without the cache");
    }
}

TEST(PositionCache, CollapsingDropsTheCacheAtOnceAndLookupsStayRight) {
    WindowedTree windowed;
    TBaseVirtualTree& tree = windowed.tree;
    PVirtualNode parent = tree.AddChild(nullptr);
    tree.SetChildCount(parent, 3000);
    tree.ToggleNode(parent);
    tree.AddChild(nullptr);
    windowed.SettleCache();
    ASSERT_TRUE(tree.InState(TreeState::tsUseCache));
    tree.ToggleNode(parent);
    EXPECT_FALSE(tree.InState(TreeState::tsUseCache));
    int top = 0;
    EXPECT_EQ(tree.GetNodeAt(0, 18, false, top), parent->NextSibling);
    // A node inside the collapsed branch has no rectangle.
    EXPECT_TRUE(tree.GetDisplayRect(parent->FirstChild, NoColumn, false).Empty());
    windowed.SettleCache();
}

TEST(NodeHeights, DefaultHeightChangesKeepNodesAndMoveTheRootTotal) {
    TBaseVirtualTree tree;
    tree.SetRootNodeCount(3);
    const std::uint32_t rootTotal = tree.RootNode()->TotalHeight;
    tree.SetDefaultNodeHeight(30);
    EXPECT_EQ(tree.RootNode()->TotalHeight, rootTotal + 12);
    EXPECT_EQ(tree.GetFirstNoInit()->NodeHeight, 18u);
    EXPECT_TRUE(tree.InState(TreeState::tsNeedScale));
    tree.AddChild(nullptr);
    EXPECT_EQ(tree.RootNode()->LastChild->NodeHeight, 30u);
    tree.SetDefaultNodeHeight(0);
    EXPECT_EQ(tree.DefaultNodeHeight(), 18u);
    EXPECT_EQ(TreeInvariantChecker::Check(tree), "");
    EXPECT_EQ(tree.RangeHeight(), 3u * 18 + 30);
}

TEST(NodeHeights, OutOfRangeHeightsAndTotalsAreErrorsThatChangeNothing) {
    TBaseVirtualTree tree;
    tree.SetRootNodeCount(2);
    PVirtualNode node = tree.GetFirstNoInit();
    EXPECT_THROW(tree.SetNodeHeight(node, 65536), RangeError);
    EXPECT_EQ(node->NodeHeight, 18u);
    // About 66k rows of the highest height reach the 32-bit total.
    PVirtualNode parent = tree.GetFirstNoInit()->NextSibling;
    tree.SetChildCount(parent, 1); // only a node with children expands
    tree.ToggleNode(parent);
    tree.BeginUpdate();
    tree.SetDefaultNodeHeight(65535);
    EXPECT_THROW(tree.SetChildCount(parent, 70000), OverflowError);
    tree.EndUpdate();
    EXPECT_EQ(parent->ChildCount, 1u);
    EXPECT_EQ(TreeInvariantChecker::Check(tree), "");
}

TEST(NodeHeights, MeasuredHeightsCarryUpAndAreAskedOnce) {
    TBaseVirtualTree tree;
    tree.Options.VariableNodeHeight = true;
    int asked = 0;
    auto measure = [&](TBaseVirtualTree&, TCanvas*, PVirtualNode node, int& height) {
        ++asked;
        height = 10 + static_cast<int>(node->Index);
    };
    tree.OnMeasureItem = TVTMeasureItemEvent::Bind(measure);
    tree.SetRootNodeCount(4);
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(tree.NodeHeight(tree.GetFirstNoInit()->NextSibling), 11u);
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(tree.RangeHeight(), 10u + 11 + 12 + 13);
    EXPECT_EQ(TreeInvariantChecker::Check(tree), "");
}

TEST(NodeHeights, TopNodeScrollsItsRowToTheTopAndExpandsItsParents) {
    RecordingHost host;
    host.window = true;
    host.tree = nullptr;
    TBaseVirtualTree tree(&host);
    host.tree = &tree;
    tree.SetRootNodeCount(50);
    PVirtualNode parent = tree.GetFirstNoInit()->NextSibling->NextSibling; // row 2
    tree.SetChildCount(parent, 5);
    PVirtualNode inner = parent->LastChild;
    tree.SetTopNode(inner);
    EXPECT_TRUE(parent->States & nsExpanded);
    EXPECT_EQ(tree.OffsetY(), -(3 + 4) * 18);
    EXPECT_EQ(tree.TopNode(), inner);
    EXPECT_EQ(tree.GetDisplayRect(inner, NoColumn, false).Top, 0);
    const TTreeRect whole = tree.GetTreeRect();
    EXPECT_EQ(whole.Bottom, 55 * 18);
    EXPECT_EQ(whole.Right, host.clientWidth);
    // Repainting from a row down: from its top to the bottom of the client area.
    host.log.clear();
    tree.SetNodeHeight(inner, 30);
    EXPECT_NE(std::find(host.log.begin(), host.log.end(), "InvalidateRows 0 400"), host.log.end());
    FakeGuiThread::Instance().WaitWhile([&] { return tree.ValidationPending(); });
}

TEST(NodeHeights, CompareNodePositionsFollowsTreeOrder) {
    TBaseVirtualTree tree;
    PVirtualNode a = tree.AddChild(nullptr);
    PVirtualNode a1 = tree.AddChild(a);
    PVirtualNode a2 = tree.AddChild(a);
    PVirtualNode b = tree.AddChild(nullptr);
    EXPECT_EQ(TBaseVirtualTree::CompareNodePositions(a, a), 0);
    EXPECT_GT(TBaseVirtualTree::CompareNodePositions(a1, a), 0);
    EXPECT_LT(TBaseVirtualTree::CompareNodePositions(a, a2), 0);
    EXPECT_LT(TBaseVirtualTree::CompareNodePositions(a2, b), 0);
    EXPECT_GT(TBaseVirtualTree::CompareNodePositions(b, a1), 0);
    EXPECT_THROW(TBaseVirtualTree::CompareNodePositions(nullptr, a), EVirtualTreeAssertion);
}

// The text part of a row or cell: after the margin, the indent (main column), the check image and the
// images, as wide as the text and placed by the alignment, mirrored for right-to-left reading. The fixture:
// a 300 px client, text 50 px wide (500 for a long one), columns 0..149 and 150..299 when shown.
struct TextRectFixture {
    class TextTree : public TBaseVirtualTree {
    public:
        using TBaseVirtualTree::TBaseVirtualTree;
        int textWidth = 50;
        int GetNodeWidth(PVirtualNode, TColumnIndex) override { return textWidth; }
    };
    RecordingHost host;
    TextTree tree{&host};
    PVirtualNode top = nullptr;
    PVirtualNode child = nullptr;
    bool normalImage = false;
    TextRectFixture() {
        host.tree = &tree;
        host.window = true;
        host.clientWidth = 300;
        tree.SetRootNodeCount(1);
        top = tree.GetFirst();
        tree.SetChildCount(top, 1);
        tree.SetExpanded(top, true);
        child = tree.GetFirstChild(top);
        tree.OnGetImageIndex = TVTGetImageEvent::Bind(imageIndex);
    }
    std::function<void(TBaseVirtualTree&, PVirtualNode, TVTImageKind kind, TColumnIndex, bool&, int& index)>
        imageIndex =
            [this](TBaseVirtualTree&, PVirtualNode, TVTImageKind kind, TColumnIndex, bool&, int& index) {
                if (normalImage && kind == TVTImageKind::ikNormal)
                    index = 0;
            };
    void ShowColumns(TAlignment secondAlignment, TBiDiMode secondReading) {
        for (int i = 0; i < 2; ++i)
            tree.Header().Columns().Add().SetWidth(150);
        tree.Header().Columns()[1].SetAlignment(secondAlignment);
        tree.Header().Columns()[1].SetBiDiMode(secondReading);
    }
    void ShowCheckBoxes() {
        TCustomVirtualTreeOptions& options = tree.TreeOptions();
        options.SetMiscOptions(options.MiscOptions().With(TVTMiscOption::toCheckSupport));
        tree.ColumnFitMetrics.CheckImageWidth = 16;
        tree.SetCheckType(top, TCheckType::ctCheckBox);
    }
};

TEST(DisplayRect, TheTextPartFollowsTheCellLayout) {
    using F = TextRectFixture;
    struct Case {
        const char* what;
        void (*arrange)(F&);
        bool child;
        TColumnIndex column;
        bool unclipped;
        int left, right;
    };
    auto none = [](F&) {};
    auto images = [](F& f) {
        f.tree.ColumnFitMetrics.ImageWidth = 16;
        f.normalImage = true;
    };
    auto checks = [](F& f) { f.ShowCheckBoxes(); };
    auto longText = [](F& f) { f.tree.textWidth = 500; };
    auto centred = [](F& f) { f.ShowColumns(TAlignment::taCenter, TBiDiMode::bdLeftToRight); };
    auto rightJustified = [](F& f) { f.ShowColumns(TAlignment::taRightJustify, TBiDiMode::bdLeftToRight); };
    auto rightToLeft = [](F& f) { f.ShowColumns(TAlignment::taLeftJustify, TBiDiMode::bdRightToLeft); };
    auto columnImages = [](F& f) {
        f.ShowColumns(TAlignment::taLeftJustify, TBiDiMode::bdLeftToRight);
        f.ShowCheckBoxes();
        f.tree.ColumnFitMetrics.ImageWidth = 16;
        f.normalImage = true;
    };
    const Case cases[] = {
        {"margin and the root's indent", none, false, NoColumn, false, 22, 72},
        {"a child one indent further", none, true, NoColumn, false, 40, 90},
        {"after the normal image", images, false, NoColumn, false, 40, 90},
        {"after the check image", checks, false, NoColumn, false, 40, 90},
        {"images without an image list take no room", [](F& f) { f.normalImage = true; }, false, NoColumn,
         false, 22, 72},
        {"a text wider than the row stays in the row", longText, false, NoColumn, false, 22, 300},
        {"unclipped the whole text", longText, false, NoColumn, true, 22, 522},
        {"unclipped a short text keeps the row", none, false, NoColumn, true, 22, 300},
        {"main column", centred, true, 0, false, 40, 90},
        {"centred in another column, no indent", centred, true, 1, false, 201, 251},
        {"right-justified", rightJustified, false, 1, false, 249, 299},
        {"right to left: from the right, alignment mirrored", rightToLeft, false, 1, false, 245, 295},
        {"no check image outside the main column", columnImages, false, 1, false, 172, 222},
        {"the main column has both", columnImages, false, 0, false, 58, 108},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        F f;
        c.arrange(f);
        const TTreeRect text = f.tree.GetDisplayRect(c.child ? f.child : f.top, c.column, true, c.unclipped);
        EXPECT_EQ(text.Left, c.left);
        EXPECT_EQ(text.Right, c.right);
        EXPECT_EQ(text.Top, c.child ? 18 : 0);
    }
}

} // namespace
} // namespace tarvola::test
