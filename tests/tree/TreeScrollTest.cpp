// Scrolling the tree without a window: offsets clamped to the content, what an offset change does inside
// and outside an update, the bars' ranges, the scroll-bar requests, the widest row in view, and scrolling
// a node into view. The bars are the in-memory model, which clamps positions as the system's bars do.
#include "tests/tree/TreeTestSupport.h"

#include "tree/Columns.h"
#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/TreeColors.h"
#include "tree/TreeOptions.h"
#include "tree/TreeScroll.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>

namespace tarvola {
namespace {

using test::RecordingControlPort;
using test::RecordingHost;

// A window port whose scroll-bar update reaches the tree, as the tree control's does.
class ScrollingHost : public RecordingHost {
public:
    void UpdateScrollBars(bool doRepaint) override {
        if (tree != nullptr)
            tree->UpdateScrollBars(doRepaint);
    }
};

class LoggingScrollPort : public TModelScrollPort {
public:
    std::vector<std::string> log;
    void ScrollClientArea(int dx, int dy, const TTreeRect* clip) override {
        log.push_back("Scroll " + std::to_string(dx) + " " + std::to_string(dy) + (clip ? " clipped" : ""));
    }
    void MoveChildWindows(int dx, int dy) override {
        log.push_back("MoveChildren " + std::to_string(dx) + " " + std::to_string(dy));
    }
    void ShowDragImage(bool show) override { log.push_back(show ? "DragImage on" : "DragImage off"); }
    void RedrawWithFrame() override { log.push_back("RedrawFrame"); }
};

// Rows 50 pixels wide unless a row is given its own width; logs where hot tracking is redone.
class ScrollTree : public TBaseVirtualTree {
public:
    using TBaseVirtualTree::DoStateChange;
    using TBaseVirtualTree::TBaseVirtualTree;
    std::map<PVirtualNode, int> widths;
    std::vector<std::string> hotTracks;
    int GetNodeWidth(PVirtualNode node, TColumnIndex) override {
        auto found = widths.find(node);
        return found != widths.end() ? found->second : 50;
    }
    void HandleHotTrack(int x, int y) override {
        hotTracks.push_back(std::to_string(x) + "," + std::to_string(y));
        TBaseVirtualTree::HandleHotTrack(x, y);
    }
};

// A tree of rows 18 high in a client area of 200 x 100, with a window and in-memory bars.
struct ScrollFixture {
    ScrollingHost host;
    RecordingControlPort control;
    LoggingScrollPort bars;
    ScrollTree tree{&host};
    explicit ScrollFixture(std::uint32_t rows = 20) {
        host.window = true;
        host.clientWidth = 200;
        host.clientHeight = 100;
        host.tree = &tree;
        tree.SetControlPort(&control);
        tree.SetScrollPort(&bars);
        tree.SetRootNodeCount(rows);
    }
    PVirtualNode Row(std::uint32_t index) {
        PVirtualNode node = tree.GetFirst();
        for (; index > 0; --index)
            node = tree.GetNextSibling(node);
        return node;
    }
    // Makes every row wide: the content is then wider than the client area.
    void WidenRows(int width) {
        for (PVirtualNode node = tree.GetFirst(); node != nullptr; node = tree.GetNext(node))
            tree.widths[node] = width;
        tree.UpdateScrollBars(true);
    }
};

TEST(ScrollOffsets, AreClampedToTheContent) {
    const int intMax = std::numeric_limits<int>::max();
    struct Case {
        const char* name;
        std::int64_t value;
        int client;
        std::int64_t range;
        int expected;
    };
    const Case cases[] = {
        {"positive stores 0", 25, 100, 360, 0},
        {"inside the range", -40, 100, 360, -40},
        {"the lowest offset", -260, 100, 360, -260},
        {"below the bound stores it", -1000, 100, 360, -260},
        {"content smaller than the client area", -10, 100, 60, 0},
        {"content as large as the client area", -1, 100, 100, 0},
        {"an empty client area", -400, 0, 360, -360},
        {"a range beyond 2^31 keeps -offset an int", -5'000'000'000, 100, 4'000'000'000, -intMax},
        {"the lowest wide value", std::numeric_limits<std::int64_t>::min(), 100, 360, -260},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampScrollOffset(c.value, c.client, c.range), c.expected) << c.name;

    // Through the tree: 20 rows (360) in 100 pixels, rows 54 wide + indent 18 + margin 4 in 200 pixels.
    ScrollFixture f;
    f.WidenRows(300);
    ASSERT_EQ(f.tree.RangeWidth, 18 + 300 + 4);
    struct TreeCase {
        std::int64_t x, y;
        int expectedX, expectedY;
    };
    const TreeCase treeCases[] = {
        {10, 10, 0, 0},
        {-50, -30, -50, -30},
        {-1000, -1000, 200 - 322, 100 - 360},
        {std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min(), 0, -260},
    };
    for (const TreeCase& c : treeCases) {
        f.tree.SetScrollOffsets(c.x, c.y, AllScrollUpdateOptions);
        EXPECT_EQ(f.tree.OffsetX(), c.expectedX) << c.x << "," << c.y;
        EXPECT_EQ(f.tree.OffsetY(), c.expectedY) << c.x << "," << c.y;
    }
    ScrollFixture small(3);
    small.tree.SetOffsetY(-10);
    EXPECT_EQ(small.tree.OffsetY(), 0);
}

TEST(ScrollOffsets, ContentTallerThanTheIntRangeStaysWithinWhatTheBarReaches) {
    const int intMax = std::numeric_limits<int>::max();
    ScrollFixture f(0);
    f.tree.SetDefaultNodeHeight(65535);
    f.tree.SetRootNodeCount(33000); // 33000 rows of 65535 pixels: more than 2^31
    test::FakeGuiThread::Instance().WaitWhile([&] { return f.tree.ValidationPending(); });
    ASSERT_GT(f.tree.RangeHeight(), static_cast<std::uint32_t>(intMax));
    f.tree.HandleScrollRequest(TScrollBarKind::sbVertical, ScrollBottom);
    // The bar's range ends at INT_MAX, so the lowest position it can hold is INT_MAX - client.
    EXPECT_EQ(f.bars.Vertical.Info, (TScrollBarInfo{0, intMax, 101, intMax - 100}));
    EXPECT_EQ(f.tree.OffsetY(), -(intMax - 100));
    f.tree.HandleScrollRequest(TScrollBarKind::sbVertical, ScrollPageDown);
    EXPECT_EQ(f.tree.OffsetY(), -(intMax - 100));
    f.tree.HandleScrollRequest(TScrollBarKind::sbVertical, ScrollPageUp);
    EXPECT_EQ(f.tree.OffsetY(), -(intMax - 200));
    EXPECT_EQ(f.bars.Vertical.Info.Pos, intMax - 200);
}

TEST(ScrollOffsets, ScrollTheClientAreaAndKeepTheBarsInStep) {
    ScrollFixture f;
    std::vector<std::string> scrolls;
    auto onScroll = [&](TBaseVirtualTree&, int dx, int dy) {
        scrolls.push_back(std::to_string(dx) + "," + std::to_string(dy));
    };
    f.tree.OnScroll = TVTScrollEvent::Bind(onScroll);
    EXPECT_TRUE(f.tree.SetScrollOffsets(0, -40, AllScrollUpdateOptions));
    EXPECT_FALSE(f.tree.SetScrollOffsets(0, -40, AllScrollUpdateOptions));
    EXPECT_EQ(f.bars.log, (std::vector<std::string>{"Scroll 0 -40"}));
    EXPECT_EQ(scrolls, (std::vector<std::string>{"0,-40"}));
    EXPECT_EQ(f.bars.Vertical.Info, (TScrollBarInfo{0, 360, 101, 40}));
    EXPECT_TRUE(f.bars.Vertical.Visible);

    // Without the scroll option the pixels stay; without the update option the bars stay.
    f.bars.log.clear();
    f.tree.SetScrollOffsets(0, -60, soUpdateScrollBars);
    EXPECT_TRUE(f.bars.log.empty());
    EXPECT_EQ(f.bars.Vertical.Info.Pos, 60);
    f.tree.SetScrollOffsets(0, -80, soScrollClientArea);
    EXPECT_EQ(f.bars.log, (std::vector<std::string>{"Scroll 0 -20"}));
    EXPECT_EQ(f.bars.Vertical.Info.Pos, 60);
    const TTreeRect clip{0, 10, 200, 90};
    f.tree.SetScrollOffsets(0, -70, soScrollClientArea, &clip);
    EXPECT_EQ(f.bars.log.back(), "Scroll 0 10 clipped");
}

TEST(ScrollOffsets, InsideAnUpdateMoveButNeitherScrollNorTouchTheBars) {
    ScrollFixture f;
    f.tree.BeginUpdate();
    f.tree.SetOffsetY(-40);
    f.tree.SetOffsetY(-90);
    EXPECT_EQ(f.tree.OffsetY(), -90);
    EXPECT_TRUE(f.bars.log.empty());
    EXPECT_EQ(f.bars.Vertical.Info.Pos, 0);
    f.tree.EndUpdate();
    EXPECT_EQ(f.bars.Vertical.Info, (TScrollBarInfo{0, 360, 101, 90}));
    EXPECT_TRUE(f.bars.log.empty());
    EXPECT_EQ(f.tree.OffsetY(), -90);
}

TEST(ScrollOffsets, ABitmapBackgroundMovesTheChildrenAndRepaintsAll) {
    ScrollFixture f;
    f.control.backgroundPicture = true;
    f.tree.SetOffsetY(-30); // without toShowBackground the picture is not shown
    EXPECT_EQ(f.bars.log, (std::vector<std::string>{"Scroll 0 -30"}));
    TCustomVirtualTreeOptions& options = f.tree.TreeOptions();
    options.SetPaintOptions(options.PaintOptions().With(TVTPaintOption::toShowBackground));
    f.bars.log.clear();
    f.host.log.clear();
    f.tree.SetOffsetY(-50);
    EXPECT_EQ(f.bars.log, (std::vector<std::string>{"MoveChildren 0 -20"}));
    EXPECT_EQ(f.host.log, (std::vector<std::string>{"InvalidateAll"}));
}

TEST(ScrollOffsets, HideTheDragImageAroundTheScrollAndHotTrackAtTheMouse) {
    ScrollFixture f;
    f.tree.DoStateChange({TreeState::tsFrameworkDragging});
    f.bars.CursorInside = true;
    f.bars.CursorX = 30;
    f.bars.CursorY = 45;
    f.tree.SetOffsetY(-18);
    EXPECT_EQ(f.bars.log, (std::vector<std::string>{"DragImage off", "Scroll 0 -18", "DragImage on"}));
    EXPECT_EQ(f.tree.hotTracks, (std::vector<std::string>{"30,45"}));
    // Hot tracking follows a scroll inside an update too; a mouse outside the client area is left alone.
    f.tree.BeginUpdate();
    f.tree.SetOffsetY(-36);
    f.bars.CursorInside = false;
    f.tree.SetOffsetY(-54);
    f.tree.EndUpdate();
    EXPECT_EQ(f.tree.hotTracks, (std::vector<std::string>{"30,45", "30,45"}));
}

TEST(ScrollOffsets, AScrollMovesTheHotNodeWithTheMouseAndCancelsAWaitingHint) {
    ScrollFixture f;
    f.tree.TreeOptions().SetSelectionOptions(
        f.tree.TreeOptions().SelectionOptions().With(TVTSelectionOption::toFullRowSelect));
    int hintsCancelled = 0;
    f.tree.CancelPendingHint = [&] { ++hintsCancelled; };
    f.bars.CursorInside = true;
    f.bars.CursorX = 30;
    f.bars.CursorY = 45; // row 2
    f.tree.HandleHotTrack(30, 45);
    ASSERT_EQ(f.tree.CurrentHotNode(), f.Row(2));
    f.tree.SetOffsetY(-36); // two rows up: row 4 is under the mouse now
    EXPECT_EQ(f.tree.CurrentHotNode(), f.Row(4));
    EXPECT_EQ(hintsCancelled, 1);
    f.tree.SetOffsetY(-36); // no move, nothing to cancel
    EXPECT_EQ(hintsCancelled, 1);
}

TEST(ScrollBars, ShowTheRangeOrHideOrStayDisabled) {
    struct Case {
        const char* name;
        std::uint32_t rows;
        int rowWidth;
        bool alwaysVisible;
        TScrollStyle style;
        TModelScrollPort::TBar horizontal, vertical;
    };
    const TModelScrollPort::TBar hidden{false, false, {}};
    const Case cases[] = {
        {"both fit", 3, 50, false, TScrollStyle::ssBoth, hidden, hidden},
        {"rows overflow", 20, 50, false, TScrollStyle::ssBoth, hidden, {true, false, {0, 360, 101, 0}}},
        {"wide rows", 3, 300, false, TScrollStyle::ssBoth, {true, false, {0, 322, 201, 0}}, hidden},
        {"always visible, nothing to scroll",
         3,
         50,
         true,
         TScrollStyle::ssBoth,
         {true, true, {0, 72, 201, 0}},
         {true, true, {0, 54, 101, 0}}},
        {"always visible, rows overflow",
         20,
         50,
         true,
         TScrollStyle::ssBoth,
         {true, true, {0, 72, 201, 0}},
         {true, false, {0, 360, 101, 0}}},
        {"vertical only", 20, 300, false, TScrollStyle::ssVertical, hidden, {true, false, {0, 360, 101, 0}}},
        {"none", 20, 300, false, TScrollStyle::ssNone, hidden, hidden},
    };
    for (const Case& c : cases) {
        ScrollFixture f(c.rows);
        f.tree.ScrollBarOptions().SetAlwaysVisible(c.alwaysVisible);
        f.tree.ScrollBarOptions().SetScrollBars(c.style);
        f.WidenRows(c.rowWidth);
        EXPECT_EQ(f.bars.Horizontal.Visible, c.horizontal.Visible) << c.name;
        EXPECT_EQ(f.bars.Horizontal.Disabled, c.horizontal.Disabled) << c.name;
        // A hidden bar's range means nothing.
        if (c.horizontal.Visible) {
            EXPECT_EQ(f.bars.Horizontal.Info, c.horizontal.Info) << c.name;
        }
        EXPECT_EQ(f.bars.Vertical.Visible, c.vertical.Visible) << c.name;
        EXPECT_EQ(f.bars.Vertical.Disabled, c.vertical.Disabled) << c.name;
        if (c.vertical.Visible) {
            EXPECT_EQ(f.bars.Vertical.Info, c.vertical.Info) << c.name;
        }
    }
}

TEST(ScrollBars, AShrinkingTreeClampsTheOffsetsThroughTheBars) {
    ScrollFixture f;
    f.WidenRows(300);
    f.tree.SetScrollOffsets(-100, -250, AllScrollUpdateOptions);
    ASSERT_EQ(f.tree.OffsetY(), -250);
    f.tree.SetRootNodeCount(10); // 180 high now: the lowest offset is -80
    EXPECT_EQ(f.tree.OffsetY(), -80);
    EXPECT_EQ(f.bars.Vertical.Info, (TScrollBarInfo{0, 180, 101, 80}));
    // Without a horizontal bar the offset is re-applied: rows of the standard width fit.
    f.tree.ScrollBarOptions().SetScrollBars(TScrollStyle::ssVertical);
    f.tree.widths.clear();
    f.tree.UpdateScrollBars(true);
    EXPECT_EQ(f.tree.OffsetX(), 0);
    f.tree.Clear();
    EXPECT_EQ(f.tree.OffsetY(), 0);
    EXPECT_FALSE(f.bars.Vertical.Visible);
}

TEST(ScrollBars, TheContentWidthIsTheColumnsOrTheWidestRowInView) {
    ScrollFixture f;
    TCustomVirtualTreeOptions& options = f.tree.TreeOptions();
    options.SetMiscOptions(options.MiscOptions().With(TVTMiscOption::toCheckSupport));
    PVirtualNode row2 = f.Row(2);
    PVirtualNode row12 = f.Row(12);
    f.tree.widths[row12] = 400; // below the client area at first
    f.tree.SetChildCount(row2, 1);
    f.tree.ToggleNode(row2);
    PVirtualNode child = row2->FirstChild;
    f.tree.widths[child] = 90;
    f.tree.SetCheckType(child, TCheckType::ctCheckBox);
    struct Case {
        const char* name;
        TBaseVirtualTree::TColumnFitMetrics metrics;
        int offsetY;
        int expected;
    };
    const Case cases[] = {
        {"indent, width and margin of the child", {}, 0, 2 * 18 + 90 + 4},
        {"images count for every row once their lists are set",
         {0, 16, 12, false, false},
         0,
         2 * 18 + (16 + 2) + (12 + 2) + 90 + 4},
        {"the check image with check support", {13, 0, 0, true, false}, 0, 2 * 18 + (13 + 2) + 90 + 4},
        {"a row scrolled into the client area", {}, -200, 18 + 400 + 4},
    };
    for (const Case& c : cases) {
        f.tree.ColumnFitMetrics = c.metrics;
        f.tree.SetScrollOffsets(0, c.offsetY, 0);
        EXPECT_EQ(f.tree.GetMaxRightExtent(), c.expected) << c.name;
    }
    // A scroll updates the width when there are no columns; with columns their total width is the range.
    f.tree.ColumnFitMetrics = {};
    f.tree.SetOffsetY(0);
    EXPECT_EQ(f.tree.RangeWidth, 2 * 18 + 90 + 4);
    f.tree.SetOffsetY(-200);
    EXPECT_EQ(f.tree.RangeWidth, 18 + 400 + 4);
    f.tree.Header().Columns().Add().SetWidth(120);
    f.tree.Header().Columns().Add().SetWidth(150);
    f.tree.UpdateScrollBars(true);
    EXPECT_EQ(f.tree.RangeWidth, 270);
    EXPECT_EQ(f.bars.Horizontal.Info, (TScrollBarInfo{0, 270, 201, 0}));
}

TEST(ScrollRequests, MoveTheOffsetsByCode) {
    struct Case {
        const char* name;
        TScrollBarKind bar;
        int code;
        int expectedX, expectedY;
    };
    // From (-40, -40): lines of 20, pages of the client extent, ends at the clamped bounds.
    const TScrollBarKind h = TScrollBarKind::sbHorizontal;
    const TScrollBarKind v = TScrollBarKind::sbVertical;
    const Case cases[] = {
        {"line up", v, ScrollLineUp, -40, -20},
        {"line down", v, ScrollLineDown, -40, -60},
        {"page up stops at the top", v, ScrollPageUp, -40, 0},
        {"page down", v, ScrollPageDown, -40, -140},
        {"top", v, ScrollTop, -40, 0},
        {"bottom clamps the total height", v, ScrollBottom, -40, -260},
        {"thumb track", v, ScrollThumbTrack, -40, -123},
        {"thumb position", v, ScrollThumbPosition, -40, -123},
        {"line left", h, ScrollLineUp, -20, -40},
        {"line right", h, ScrollLineDown, -60, -40},
        {"page left", h, ScrollPageUp, 0, -40},
        {"page right clamps", h, ScrollPageDown, -122, -40},
        {"left", h, ScrollTop, 0, -40},
        {"right clamps the range", h, ScrollBottom, -122, -40},
        {"horizontal thumb track", h, ScrollThumbTrack, -77, -40},
        {"an unknown code", v, 99, -40, -40},
    };
    for (const Case& c : cases) {
        ScrollFixture f;
        f.WidenRows(300);
        f.bars.TrackPos[0] = 77;
        f.bars.TrackPos[1] = 123;
        f.tree.SetScrollOffsets(-40, -40, AllScrollUpdateOptions);
        f.tree.HandleScrollRequest(c.bar, c.code);
        EXPECT_EQ(f.tree.OffsetX(), c.expectedX) << c.name;
        EXPECT_EQ(f.tree.OffsetY(), c.expectedY) << c.name;
    }
}

TEST(ScrollRequests, ThumbTrackingLeavesTheVerticalBarAloneUntilTheEnd) {
    ScrollFixture f;
    f.bars.TrackPos[1] = 50;
    f.tree.HandleScrollRequest(TScrollBarKind::sbVertical, ScrollThumbTrack);
    EXPECT_TRUE(f.tree.InState(TreeState::tsThumbTracking));
    EXPECT_EQ(f.tree.OffsetY(), -50);
    EXPECT_EQ(f.bars.Vertical.Info.Pos, 0); // the user drags the thumb: its position is not set
    f.tree.SetOffsetY(-70);
    EXPECT_EQ(f.bars.Vertical.Info.Pos, 0);
    f.bars.log.clear();
    f.tree.HandleScrollRequest(TScrollBarKind::sbVertical, ScrollEnd);
    EXPECT_FALSE(f.tree.InState(TreeState::tsThumbTracking));
    EXPECT_EQ(f.bars.Vertical.Info.Pos, 70);
    EXPECT_EQ(f.bars.log, (std::vector<std::string>{"RedrawFrame"}));
}

TEST(ClientSize, AResizeUpdatesTheBarsOnce) {
    ScrollFixture f;
    f.tree.SetOffsetY(-260);
    f.host.clientHeight = 200; // taller: the lowest offset rises to -160
    f.tree.ClientResized();
    EXPECT_EQ(f.bars.Vertical.Info, (TScrollBarInfo{0, 360, 201, 160}));
    EXPECT_EQ(f.tree.OffsetY(), -160);
    EXPECT_FALSE(f.tree.InState(TreeState::tsSizing));
    // An empty client area (a minimised window) changes nothing.
    f.host.clientHeight = 0;
    f.tree.ClientResized();
    EXPECT_EQ(f.bars.Vertical.Info.Page, 201);
}

TEST(ScrollIntoView, BringsTheNodeIntoTheClientArea) {
    // 20 rows of 18 in 100 pixels; row 15 is wide (400).
    struct Case {
        const char* name;
        int startY;
        int row;
        bool center, horizontally;
        bool result;
        int expectedX, expectedY;
    };
    const Case cases[] = {
        {"visible without center: no move", 0, 2, false, false, false, 0, 0},
        {"below: bottom edge aligned", 0, 10, false, false, true, 0, -(198 - 100)},
        {"above: top edge aligned", -200, 5, false, false, true, 0, -90},
        {"below, centred: bottom at half height", 0, 7, true, false, true, 0, -(144 - 50)},
        {"above, centred: top at half height", -200, 5, true, false, true, 0, -(90 - 50)},
        {"visible, centred moves", 0, 1, true, false, true, 0, 0},
        {"a bar appearing leaves room", 0, 15, false, false, true, 0, -(288 - 100) - 17},
        {"horizontally: the row's middle at the client's", -200, 15, false, true, true, -100, -200},
    };
    for (const Case& c : cases) {
        ScrollFixture f;
        f.bars.ScrollBarHeight = 17;
        f.tree.widths[f.Row(15)] = 400 - 18 - 4;
        f.tree.SetOffsetY(c.startY);
        f.tree.UpdateScrollBars(true);
        EXPECT_EQ(f.tree.ScrollIntoView(f.Row(c.row), c.center, c.horizontally), c.result) << c.name;
        EXPECT_EQ(f.tree.OffsetX(), c.expectedX) << c.name;
        EXPECT_EQ(f.tree.OffsetY(), c.expectedY) << c.name;
    }
}

TEST(ScrollIntoView, ExpandsEveryCollapsedAncestor) {
    ScrollFixture f(10);
    PVirtualNode parent = f.Row(8);
    f.tree.SetChildCount(parent, 1);
    PVirtualNode child = parent->FirstChild;
    f.tree.SetChildCount(child, 1);
    PVirtualNode grandchild = child->FirstChild;
    EXPECT_TRUE(f.tree.ScrollIntoView(grandchild, false));
    EXPECT_TRUE(f.tree.Expanded(parent));
    EXPECT_TRUE(f.tree.Expanded(child));
    // Rows 0-8, the child, then the grandchild from 180 to 198.
    EXPECT_EQ(f.tree.OffsetY(), -(198 - 100));
    EXPECT_EQ(f.tree.GetDisplayRect(grandchild, NoColumn, false).Bottom, 100);
    EXPECT_FALSE(f.tree.ScrollIntoView(nullptr, true));
    EXPECT_FALSE(f.tree.ScrollIntoView(f.tree.RootNode(), true));
}

} // namespace
} // namespace tarvola
