// Auto-scroll, wheel and wheel panning on a tree with a recording window and a fake motion port: the scroll
// zones and their delay on a fake clock, the steps of the scroll timer, the panning cursors and modes, the
// wheel's amounts, the shape of the panning image and the timer dispatch.
#include "tree/AutoScroll.h"

#include "tests/tree/TreeTestSupport.h"
#include "tree/TreeColors.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace tarvola::test {
namespace {

// The drag and drop expand timer's identifier.
constexpr unsigned ExpandTimer = 1;

class FakeMotionPort : public ITreeMotionPort {
public:
    std::uint32_t now = 10000;
    TMotionPoint pointer;
    bool treeUnderPointer = true;
    unsigned wheelLines = 3;
    std::vector<std::string> log;

    std::uint32_t Now() override { return now; }
    TMotionPoint CursorPos() override { return pointer; }
    bool TreeUnderPoint(TMotionPoint) override { return treeUnderPointer; }
    unsigned WheelScrollLines() override { return wheelLines; }
    TMotionPoint DragThreshold() override { return {4, 4}; }
    bool imageMissing = false;
    void ShowPanningWindow(TMotionPoint centre, TPanningCursor image) override {
        TreeAssert(!imageMissing, "Invalid wheel panning image.");
        log.push_back("Show " + std::to_string(centre.X) + "," + std::to_string(centre.Y) + " " +
                      Name(PanningResourceName(image)));
    }
    void HidePanningWindow() override { log.push_back("Hide"); }
    void SetPanningCursor(TPanningCursor cursor) override {
        log.push_back("Cursor " + Name(PanningResourceName(cursor)));
    }
    void RestoreCursor() override { log.push_back("RestoreCursor"); }
    void CaptureMouse() override { log.push_back("Capture"); }
    void ReleaseMouse() override { log.push_back("Release"); }
    void UpdateWindow() override {}
    std::vector<std::string> Take() { return std::exchange(log, {}); }

private:
    static std::string Name(const wchar_t* wide) { return std::string(wide, wide + std::wcslen(wide)); }
};

// A tree whose states a test may set, as the mouse handling would.
class MotionTree : public TBaseVirtualTree {
public:
    using TBaseVirtualTree::DoStateChange;
    using TBaseVirtualTree::TBaseVirtualTree;
    // The content's width as the scroll bars measure it.
    int contentWidth = 0;
    int GetMaxRightExtent() override { return contentWidth; }
};

// 200 x 400 client area over 100 rows of 18 pixels (1800 high) and content 500 wide.
struct MotionFixture : ::testing::Test {
    RecordingHost host;
    MotionTree tree{&host};
    FakeMotionPort port;

    MotionFixture() {
        host.tree = &tree;
        host.window = true;
        tree.SetMotionPort(&port);
        tree.SetRootNodeCount(100);
        tree.contentWidth = 500;
        tree.RangeWidth = 500;
        tree.TreeOptions().SetAutoOptions(tree.TreeOptions().AutoOptions().With(TVTAutoOption::toAutoScroll));
    }
    void StartBand() { tree.DoStateChange({TreeState::tsDrawSelecting}); }
    bool ScrollTimerRuns() const { return host.runningTimers.count(ScrollTimer) != 0; }
};

TEST(AutoScrollRules, EdgeZonesOnlyWhereTheContentCanMove) {
    struct Case {
        const char* name;
        TMotionPoint point;
        int offsetX, offsetY, rangeX, rangeY;
        TScrollDirections expected;
    };
    const Case cases[] = {
        {"middle", {100, 200}, -50, -50, 500, 1800, 0},
        {"top zone, scrolled", {100, 17}, 0, -50, 200, 1800, sdUp},
        {"top zone, at the top", {100, 17}, 0, 0, 200, 1800, 0},
        {"just below the top zone", {100, 18}, 0, -50, 200, 1800, 0},
        {"above the window", {100, -30}, 0, -50, 200, 1800, sdUp},
        {"bottom zone, more below", {100, 383}, 0, 0, 200, 1800, sdDown},
        {"bottom zone edge", {100, 382}, 0, 0, 200, 1800, 0},
        {"bottom zone, at the end", {100, 390}, 0, -1400, 200, 1800, 0},
        {"bottom zone, rows fit", {100, 390}, 0, 0, 200, 300, 0},
        {"left zone, scrolled", {5, 200}, -10, 0, 500, 300, sdLeft},
        {"left zone, at the left", {5, 200}, 0, 0, 500, 300, 0},
        {"right zone, wider", {190, 200}, 0, 0, 500, 300, sdRight},
        {"right zone, at the right end", {190, 200}, -300, 0, 500, 300, 0},
        {"corner", {195, 395}, 0, 0, 500, 1800, sdRight | sdDown},
    };
    for (const Case& c : cases) {
        const TScrollArea area{200, 400, c.offsetX, c.offsetY, c.rangeX, c.rangeY};
        EXPECT_EQ(EdgeZoneDirections(c.point, area, 18), c.expected) << c.name;
    }
}

TEST(AutoScrollRules, PanningDirectionsBeyondTheDeadZone) {
    struct Case {
        TMotionPoint point;
        TScrollDirections expected;
    };
    const TMotionPoint origin{100, 100};
    const Case cases[] = {
        {{100, 100}, 0},   {{108, 92}, 0},       {{109, 100}, sdRight},        {{91, 100}, sdLeft},
        {{100, 91}, sdUp}, {{100, 109}, sdDown}, {{80, 130}, sdLeft | sdDown}, {{130, 70}, sdRight | sdUp},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PanningDirections(c.point, origin), c.expected) << c.point.X << "," << c.point.Y;
}

TEST(AutoScrollRules, DelayMeasuresAcrossTheClockWrap) {
    struct Case {
        std::uint32_t start, now;
        bool elapsed;
    };
    const Case cases[] = {
        {5000, 5000, false},
        {5000, 5999, false},
        {5000, 6000, true},
        {0xFFFFFE00u, 0xFFFFFFFFu, false},
        {0xFFFFFE00u, 0x000001E8u, true},
        {0xFFFFFE00u, 0x000001E7u, false},
    };
    for (const Case& c : cases) {
        TAutoScrollDelay delay;
        delay.Elapsed(c.start, 1000);
        EXPECT_EQ(delay.Elapsed(c.now, 1000), c.elapsed) << c.start << " " << c.now;
    }
}

TEST_F(MotionFixture, NothingScrollsWithoutABandADragOrPanning) {
    tree.SetOffsetY(-100);
    EXPECT_FALSE(tree.CanAutoScroll());
    EXPECT_EQ(tree.DetermineScrollDirections(100, 5), 0);
}

TEST_F(MotionFixture, ZonesWaitForTheDelayEachTimeThePointerComesBack) {
    StartBand();
    tree.SetOffsetY(-100);
    // Steps of (time, pointer y, expected directions).
    struct Step {
        std::uint32_t now;
        int y;
        TScrollDirections expected;
    };
    const Step steps[] = {
        {10000, 5, 0},    // the wait starts
        {10999, 5, 0},    //
        {11000, 5, sdUp}, // a second later
        {11100, 200, 0},  // out of the zone: the wait ends
        {20000, 5, 0},    // back in: waits again
        {20999, 6, 0},    //
        {21000, 6, sdUp},
    };
    for (const Step& step : steps) {
        port.now = step.now;
        EXPECT_EQ(tree.DetermineScrollDirections(100, step.y), step.expected) << step.now;
    }
}

TEST_F(MotionFixture, OverAnotherControlScrollingStartsAtOnce) {
    StartBand();
    tree.SetOffsetY(-100);
    port.treeUnderPointer = false;
    EXPECT_EQ(tree.DetermineScrollDirections(100, -20), sdUp);
    EXPECT_FALSE(tree.AutoScrollStartTime().has_value());
}

TEST_F(MotionFixture, TheTimerWaitsThenTicksAtTheInterval) {
    StartBand();
    tree.Properties().AutoScrollDelay = 0;
    tree.Properties().AutoScrollInterval = 7;
    tree.UpdateAutoScroll(100, 395);
    EXPECT_EQ(tree.ScrollDirections(), sdDown);
    EXPECT_TRUE(tree.InState(TreeState::tsScrollPending));
    ASSERT_TRUE(ScrollTimerRuns());
    EXPECT_EQ(host.runningTimers[ScrollTimer], 0u);
    port.pointer = {100, 395};
    int hintsCancelled = 0;
    tree.CancelPendingHint = [&] { ++hintsCancelled; };
    EXPECT_TRUE(tree.HandleTimer(ScrollTimer));
    EXPECT_EQ(hintsCancelled, 2) << "the timer's start, then the scroll";
    EXPECT_EQ(host.runningTimers[ScrollTimer], 7u);
    EXPECT_TRUE(tree.InState(TreeState::tsScrolling));
    EXPECT_FALSE(tree.InState(TreeState::tsScrollPending));
    EXPECT_EQ(tree.OffsetY(), -20);
    tree.HandleTimer(ScrollTimer);
    EXPECT_EQ(tree.OffsetY(), -40);
    EXPECT_EQ(hintsCancelled, 3) << "each scroll";
    // The pointer leaves the zone: the timer stops.
    tree.UpdateAutoScroll(100, 200);
    EXPECT_FALSE(ScrollTimerRuns());
    EXPECT_FALSE(tree.InState(TreeState::tsScrolling));
}

TEST(AutoScrollRules, StepDeltas) {
    struct Case {
        const char* name;
        TScrollDirections directions;
        TMotionPoint pointer;
        bool panning;
        std::int64_t dx, dy;
        TScrollDirections remaining;
    };
    // 200 x 100 client area, scrolled to the middle of a 1000 x 1000 content; increments 20 and 30.
    const Case cases[] = {
        {"up inside", sdUp, {50, 5}, false, 0, 30, sdUp},
        {"down inside", sdDown, {50, 95}, false, 0, -30, sdDown},
        {"left inside", sdLeft, {5, 50}, false, 20, 0, sdLeft},
        {"right inside", sdRight, {195, 50}, false, -20, 0, sdRight},
        {"above by 4", sdUp, {50, -4}, false, 0, 120, sdUp},
        {"below by 3", sdDown, {50, 103}, false, 0, -90, sdDown},
        {"left by 2", sdLeft, {-2, 50}, false, 40, 0, sdLeft},
        {"right by 5", sdRight, {205, 50}, false, -100, 0, sdRight},
        {"beside the window in the top zone", sdUp | sdLeft, {-3, 5}, false, 60, 30, sdUp | sdLeft},
        {"on the bottom edge", sdDown, {50, 100}, false, 0, -30, sdDown},
        {"panning up", sdUp, {60, 20}, true, 0, 32, sdUp},
        {"panning down right", sdDown | sdRight, {150, 90}, true, -82, -22, sdDown | sdRight},
    };
    for (const Case& c : cases) {
        TAutoScrollTick tick;
        tick.Directions = c.directions;
        tick.Pointer = c.pointer;
        tick.Panning = c.panning;
        tick.PanningOrigin = {60, 60};
        tick.HorizontalIncrement = 20;
        tick.VerticalIncrement = 30;
        const TAutoScrollMove move = AutoScrollDeltas(tick, {200, 100, -400, -400, 1000, 1000});
        EXPECT_EQ(move.DX, c.dx) << c.name;
        EXPECT_EQ(move.DY, c.dy) << c.name;
        EXPECT_EQ(move.Remaining, c.remaining) << c.name;
    }
}

TEST(AutoScrollRules, StepsAreNoLargerThanTheClientAndDropDirectionsAtTheEnds) {
    TAutoScrollTick tick;
    tick.Directions = sdUp;
    tick.Pointer = {50, 5};
    tick.VerticalIncrement = 500;
    EXPECT_EQ(AutoScrollDeltas(tick, {200, 100, 0, -400, 200, 1000}).DY, 100);
    struct Case {
        TScrollDirections directions;
        int offsetX, offsetY;
        TScrollDirections remaining;
    };
    const Case cases[] = {
        {sdUp, 0, 0, 0},
        {sdDown, 0, -900, 0},
        {sdLeft, 0, -10, 0},
        {sdRight, -800, -10, 0},
        {sdUp | sdRight, -800, -10, sdUp},
        {sdDown | sdLeft, -10, -10, sdDown | sdLeft},
    };
    for (const Case& c : cases) {
        tick.Directions = c.directions;
        tick.VerticalIncrement = 20;
        EXPECT_EQ(AutoScrollDeltas(tick, {200, 100, c.offsetX, c.offsetY, 1000, 1000}).Remaining, c.remaining)
            << int(c.directions) << " " << c.offsetX << "," << c.offsetY;
    }
}

TEST_F(MotionFixture, ScrollingUpStopsAtTheTopAndTheTimerStops) {
    StartBand();
    tree.Properties().AutoScrollDelay = 0;
    tree.SetOffsetY(-50);
    port.pointer = {100, 5};
    tree.UpdateAutoScroll(100, 5);
    std::vector<int> offsets;
    for (int tick = 0; tick < 5 && ScrollTimerRuns(); ++tick) {
        tree.HandleTimer(ScrollTimer);
        offsets.push_back(tree.OffsetY());
    }
    EXPECT_EQ(offsets, (std::vector<int>{-30, -10, 0, 0}));
    EXPECT_FALSE(ScrollTimerRuns());
    EXPECT_EQ(tree.ScrollDirections(), 0);
    EXPECT_FALSE(tree.InState(TreeState::tsScrolling));
    EXPECT_FALSE(tree.AutoScrollStartTime().has_value());
}

TEST_F(MotionFixture, ABandBelowTheWindowScrollsByTheDistanceAndUpdatesTheBand) {
    StartBand();
    tree.Properties().AutoScrollDelay = 0;
    std::vector<std::string> bandSteps;
    tree.OnAutoScrollBandStep = [&](int x, int y) {
        bandSteps.push_back(std::to_string(x) + "," + std::to_string(y) + " at " +
                            std::to_string(tree.OffsetY()));
    };
    port.pointer = {100, 405};
    tree.UpdateAutoScroll(100, 405);
    tree.HandleTimer(ScrollTimer);
    EXPECT_EQ(tree.OffsetY(), -100); // 20 x 5 pixels below
    EXPECT_EQ(bandSteps, (std::vector<std::string>{"100,405 at -100"}));
}

TEST_F(MotionFixture, AsDropTargetTheDragOverScrollsNotTheTimer) {
    tree.IsOleDropTarget = [] { return true; };
    tree.Properties().AutoScrollDelay = 0;
    port.pointer = {100, 395};
    tree.UpdateAutoScroll(100, 395);
    ASSERT_TRUE(ScrollTimerRuns());
    tree.HandleTimer(ScrollTimer);
    EXPECT_EQ(tree.OffsetY(), 0);
}

TEST(AutoScrollRules, PanningCursors) {
    struct Case {
        TMotionPoint point;
        bool wider, higher;
        const wchar_t* expected;
    };
    const TMotionPoint o{100, 100};
    const Case cases[] = {
        {{100, 100}, true, true, L"VT_MOVEALL"}, {{107, 93}, true, false, L"VT_MOVEEW"},
        {{93, 107}, false, true, L"VT_MOVENS"},  {{100, 100}, false, false, L"VT_MOVENS"},
        {{80, 80}, true, true, L"VT_MOVENW"},    {{80, 120}, true, true, L"VT_MOVESW"},
        {{80, 105}, true, true, L"VT_MOVEW"},    {{120, 80}, true, true, L"VT_MOVENE"},
        {{120, 108}, true, true, L"VT_MOVEE"},   {{120, 109}, true, true, L"VT_MOVESE"},
        {{104, 80}, true, true, L"VT_MOVEN"},    {{104, 120}, true, true, L"VT_MOVES"},
        {{150, 80}, false, true, L"VT_MOVEN"},   {{50, 120}, false, true, L"VT_MOVES"},
        {{150, 150}, true, false, L"VT_MOVEE"},  {{50, 50}, true, false, L"VT_MOVEW"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(PanningResourceName(PanningCursorFor(c.point, o, c.wider, c.higher)), c.expected)
            << c.point.X << "," << c.point.Y << " " << c.wider << c.higher;
}

TEST(AutoScrollRules, WheelAmounts) {
    struct Case {
        const char* name;
        int delta;
        bool ctrl;
        unsigned lines;
        int rangeY;
        std::int64_t dx, dy;
    };
    // 300 x 200 client area (11 rows of 18 per page), indent 18.
    const Case cases[] = {
        {"one notch, 3 lines", 120, false, 3, 1800, 0, 54},
        {"one notch back", -120, false, 3, 1800, 0, -54},
        {"two notches, 1 line", 240, false, 1, 1800, 0, 36},
        {"page setting", -120, false, WheelPageScroll, 1800, 0, -198},
        {"ctrl pages", 240, true, 3, 1800, 0, 396},
        {"rows fit: sideways by indent", -120, false, 3, 150, -18, 0},
        {"rows fit, ctrl: a client width per notch", -240, true, 3, 150, -600, 0},
        {"rows fit exactly", 120, false, 3, 200, 18, 0},
    };
    for (const Case& c : cases) {
        TWheelInput input{c.delta, c.ctrl, c.lines, 300, 200, c.rangeY, 18, 18};
        TWheelRemainder remainder;
        const TWheelScroll scroll = WheelScrollDelta(input, remainder);
        EXPECT_EQ(scroll.DX, c.dx) << c.name;
        EXPECT_EQ(scroll.DY, c.dy) << c.name;
    }
}

TEST(AutoScrollRules, FineWheelTurnsAddUpToWholeSteps) {
    // Sideways: steps of 40 make a notch every third message; a turn back starts afresh.
    TWheelRemainder remainder;
    TWheelInput sideways{40, false, 3, 300, 200, 150, 18, 18};
    std::vector<std::int64_t> moves;
    for (int delta : {40, 40, 40, 40, -40, -40, -40}) {
        sideways.WheelDelta = delta;
        moves.push_back(WheelScrollDelta(sideways, remainder).DX);
    }
    EXPECT_EQ(moves, (std::vector<std::int64_t>{0, 0, 18, 0, 0, 0, -18}));
    // By lines: 30 x 3 lines is three quarters of a line.
    remainder.Reset();
    TWheelInput rows{30, false, 3, 300, 200, 1800, 18, 18};
    moves.clear();
    for (int i = 0; i < 4; ++i)
        moves.push_back(WheelScrollDelta(rows, remainder).DY);
    EXPECT_EQ(moves, (std::vector<std::int64_t>{0, 18, 18, 18}));
}

TEST_F(MotionFixture, WheelNotchesMoveTheOffsetAndStopAtTheEnds) {
    struct Step {
        int delta;
        bool ctrl;
        int offsetY;
    };
    const Step steps[] = {{-120, false, -54}, {-240, false, -162}, {120, false, -108},
                          {360, false, 0},    {-120, true, -396},  {-12000, false, -1400}};
    for (const Step& step : steps) {
        EXPECT_TRUE(tree.HandleMouseWheel(step.delta, step.ctrl));
        EXPECT_EQ(tree.OffsetY(), step.offsetY) << step.delta;
    }
}

TEST_F(MotionFixture, PanningLifecycle) {
    tree.SetOffsetY(-500);
    // Released at once: panning goes on without the button until the next press.
    EXPECT_TRUE(tree.HandlePanningButtonDown(true, 50, 60));
    EXPECT_TRUE(tree.InState(TreeState::tsWheelPanning));
    EXPECT_TRUE(tree.InState(TreeState::tsWheelScrolling));
    EXPECT_EQ(host.runningTimers[ScrollTimer], PanningInterval);
    EXPECT_EQ(port.Take(),
              (std::vector<std::string>{"Show 50,60 VT_MOVEALL", "Capture", "Cursor VT_MOVEALL"}));
    EXPECT_TRUE(tree.HandlePanningButtonUp(true));
    EXPECT_FALSE(tree.InState(TreeState::tsWheelPanning));
    EXPECT_TRUE(tree.InState(TreeState::tsWheelScrolling));
    EXPECT_TRUE(tree.HandleAutoScrollMove(50, 160));
    EXPECT_EQ(tree.ScrollDirections(), sdDown);
    EXPECT_EQ(port.Take(), (std::vector<std::string>{"Cursor VT_MOVES"}));
    port.pointer = {50, 160};
    tree.HandleTimer(ScrollTimer);
    EXPECT_EQ(tree.OffsetY(), -592); // 100 - 8 pixels per tick
    EXPECT_TRUE(tree.HandlePanningButtonDown(false, 50, 160));
    EXPECT_FALSE(tree.WheelPanningActive());
    EXPECT_FALSE(ScrollTimerRuns());
    EXPECT_EQ(port.Take(), (std::vector<std::string>{"Hide", "Release", "RestoreCursor"}));
    // Moved with the button held: the release ends it.
    EXPECT_TRUE(tree.HandlePanningButtonDown(true, 50, 60));
    EXPECT_TRUE(tree.HandleAutoScrollMove(50, 62)); // within the drag distance
    EXPECT_TRUE(tree.InState(TreeState::tsWheelScrolling));
    EXPECT_TRUE(tree.HandleAutoScrollMove(50, 64));
    EXPECT_FALSE(tree.InState(TreeState::tsWheelScrolling));
    EXPECT_TRUE(tree.HandlePanningButtonUp(true));
    EXPECT_FALSE(tree.WheelPanningActive());
    // A wheel turn ends panning too.
    EXPECT_TRUE(tree.HandlePanningButtonDown(true, 50, 60));
    tree.HandleMouseWheel(120, false);
    EXPECT_FALSE(tree.WheelPanningActive());
}

TEST_F(MotionFixture, NoPanningWhenEverythingFitsOrTheOptionIsOff) {
    MotionTree small{&host};
    small.SetMotionPort(&port);
    small.SetRootNodeCount(3);
    EXPECT_FALSE(small.HandlePanningButtonDown(true, 50, 60));
    EXPECT_FALSE(small.WheelPanningActive());
    tree.TreeOptions().SetMiscOptions(
        tree.TreeOptions().MiscOptions().Without(TVTMiscOption::toWheelPanning));
    EXPECT_FALSE(tree.HandlePanningButtonDown(true, 50, 60));
    EXPECT_TRUE(port.log.empty());
}

TEST_F(MotionFixture, APanningWindowThatCannotBeMadeLeavesTheTreeAsItWas) {
    port.imageMissing = true;
    EXPECT_THROW(tree.HandlePanningButtonDown(true, 50, 60), EVirtualTreeAssertion);
    EXPECT_FALSE(tree.WheelPanningActive());
    EXPECT_FALSE(ScrollTimerRuns());
    EXPECT_TRUE(port.log.empty());
}

TEST_F(MotionFixture, TheEndOfABandStopsScrollingAndTheNextStayWaitsAgain) {
    StartBand();
    tree.SetOffsetY(-100);
    tree.UpdateAutoScroll(100, 5); // the wait starts
    port.now += 1000;
    tree.UpdateAutoScroll(100, 5);
    ASSERT_TRUE(ScrollTimerRuns());
    tree.DoStateChange({}, {TreeState::tsDrawSelecting});
    tree.StopAutoScroll();
    EXPECT_FALSE(ScrollTimerRuns());
    EXPECT_FALSE(tree.InState(TreeState::tsScrollPending));
    EXPECT_FALSE(tree.AutoScrollStartTime().has_value());
    StartBand();
    EXPECT_EQ(tree.DetermineScrollDirections(100, 5), 0);
}

TEST_F(MotionFixture, TimerDispatch) {
    // The expand timer goes to its handler; without one it stops.
    host.StartTimer(ExpandTimer, 1000);
    EXPECT_TRUE(tree.HandleTimer(ExpandTimer));
    EXPECT_EQ(host.runningTimers.count(ExpandTimer), 0u);
    int expansions = 0;
    tree.OnExpandTimer = [&] { ++expansions; };
    EXPECT_TRUE(tree.HandleTimer(ExpandTimer));
    EXPECT_EQ(expansions, 1);
    // The delayed change notifications.
    std::vector<std::string> events;
    auto changed = [&](TBaseVirtualTree&, PVirtualNode) { events.push_back("Change"); };
    tree.OnChange = TVTNodeEvent::Bind(changed);
    tree.ChangeDelay = 100;
    tree.Change(tree.GetFirst());
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(tree.HandleTimer(ChangeTimer));
    EXPECT_EQ(events, (std::vector<std::string>{"Change"}));
    EXPECT_FALSE(tree.HandleTimer(99));
}

TEST(AutoScrollRules, OpaqueRunsOfARow) {
    constexpr std::uint32_t F = 0xFF00FF, A = 0x000000, B = 0x00FF00FE,
                            T = 0xFFFF00FF; // T: fuchsia with alpha
    struct Case {
        std::vector<std::uint32_t> row;
        std::vector<TPixelRun> expected;
    };
    const Case cases[] = {
        {{F, F, F}, {}},
        {{A, A, A}, {{0, 3}}},
        {{F, A, A, F, B, F}, {{1, 3}, {4, 5}}},
        {{A, F, T, A}, {{0, 1}, {3, 4}}},
        {{}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OpaqueRuns(c.row.data(), static_cast<int>(c.row.size()), F), c.expected);
}

} // namespace
} // namespace tarvola::test
