// The header's interaction rules over decoded messages: the resize grip, resizing through captured moves,
// double-click fitting, clicks, column drags with their drop positions, drag-out, cancelling, the cursor
// and the hot-tracking timer.
#include "tests/tree/HeaderTestSupport.h"

#include "tree/HeaderController.h"

#include <gtest/gtest.h>

namespace tarvola::test {
namespace {

using Ints = std::vector<int>;
using Log = std::vector<std::string>;

class FakeHeaderPort : public IHeaderPort {
public:
    Log log;
    bool inWindow = true;
    bool mouseInHeader = true;
    void SetCapture() override { log.push_back("capture"); }
    void ReleaseCapture() override { log.push_back("release"); }
    void SetCursor(THeaderCursor cursor) override {
        log.push_back(cursor == THeaderCursor::Split ? "cursor split" : "cursor default");
    }
    void StartTimer(unsigned id, unsigned ms) override {
        log.push_back("timer " + std::to_string(id) + " " + std::to_string(ms));
    }
    void StopTimer(unsigned id) override { log.push_back("stop " + std::to_string(id)); }
    bool ScreenPointInWindow(TVTPoint) const override { return inWindow; }
    bool MouseInHeader() const override { return mouseInHeader; }
};

// Columns of 100, 100 and 100 pixels; the header is 17 pixels high above the client area (client y -17..-1).
struct ControllerFixture : HeaderFixture {
    FakeHeaderPort port;
    THeaderController controller{header, port};

    ControllerFixture() : HeaderFixture({100, 100, 100}) {
        header.SetOptions(header.Options() | hoVisible | hoDblClickResize);
        tree.log.clear();
    }
    THeaderAnswer Send(THeaderMessage message, int x, int y, TMouseButton button = TMouseButton::mbLeft) {
        THeaderInput input;
        input.Message = message;
        input.Button = button;
        input.Client = TVTPoint{x, y};
        input.Screen = TVTPoint{x + 1000, y + 500};
        return controller.Handle(input);
    }
};

TEST(HeaderResizeGrip, ReachesThreePixelsIntoTheColumnAndFourBeyondItsBorder) {
    struct Case {
        int x;
        TColumnIndex track;
    };
    // Borders at 100, 200 and 300.
    const Case cases[] = {{97, NoColumn}, {98, 0},  {100, 0},        {104, 0},      {105, NoColumn},
                          {198, 1},       {304, 2}, {305, NoColumn}, {50, NoColumn}};
    for (const Case& c : cases) {
        ControllerFixture f;
        EXPECT_EQ(f.header.DetectResizeColumn(TVTPoint{c.x, -5}), c.track != NoColumn) << c.x;
        EXPECT_EQ(f.columns.TrackIndex, c.track) << c.x;
        if (c.track != NoColumn) {
            EXPECT_EQ(f.header.TrackLeft(), c.track * 100) << c.x;
        }
    }
    ControllerFixture fixed;
    fixed.columns[1].SetOptions(fixed.columns[1].Options() & ~coResizable);
    EXPECT_FALSE(fixed.header.DetectResizeColumn(TVTPoint{202, -5}));
    EXPECT_EQ(fixed.columns.TrackIndex, NoColumn);
    fixed.tree.offsetX = -40; // scrolled: the borders move left
    EXPECT_TRUE(fixed.header.DetectResizeColumn(TVTPoint{61, -5}));
    EXPECT_EQ(fixed.columns.TrackIndex, 0);
}

TEST(HeaderResize, CapturedMovesChangeTheWidthWithinItsLimits) {
    ControllerFixture f;
    EXPECT_EQ(f.Send(THeaderMessage::NCButtonDown, 202, -5), (THeaderAnswer{true, 0}));
    EXPECT_EQ(f.header.States(), hsTrackPending);
    f.Send(THeaderMessage::MouseMove, 210, -5); // the first move only starts tracking
    EXPECT_EQ(f.header.States(), hsTracking);
    EXPECT_EQ(f.Send(THeaderMessage::MouseMove, 250, 40), (THeaderAnswer{true, 0}));
    EXPECT_EQ(f.columns[1].Width(), 150);
    f.Send(THeaderMessage::MouseMove, 90, 40);
    EXPECT_EQ(f.columns[1].Width(), 10);
    EXPECT_EQ(f.Send(THeaderMessage::SetCursor, 90, -5), (THeaderAnswer{true, 1})); // busy keeps the cursor
    EXPECT_EQ(f.Send(THeaderMessage::ButtonUp, 90, 40), (THeaderAnswer{true, 0}));
    EXPECT_EQ(f.header.States(), 0);
    EXPECT_EQ(f.columns.TrackIndex, NoColumn);
    EXPECT_EQ(f.port.log, (Log{"capture", "stop 3", "release"}));
    EXPECT_EQ(f.tree.log, (Log{"Resize 1", "Resize 1"}));
    EXPECT_EQ(f.Widths(), (Ints{100, 10, 100}));
}

TEST(HeaderResize, EscapeEndsTrackingAndTheCursorShowsTheGrip) {
    ControllerFixture f;
    EXPECT_EQ(f.Send(THeaderMessage::SetCursor, 101, -5), (THeaderAnswer{true, 1}));
    EXPECT_EQ(f.Send(THeaderMessage::SetCursor, 50, -5), THeaderAnswer{});
    f.Send(THeaderMessage::NCButtonDown, 101, -5);
    f.Send(THeaderMessage::MouseMove, 120, -5);
    EXPECT_EQ(f.Send(THeaderMessage::CancelKey, 0, 0), (THeaderAnswer{true, 0}));
    EXPECT_EQ(f.header.States(), 0);
    EXPECT_EQ(f.port.log, (Log{"cursor split", "capture", "stop 3", "release"}));
    EXPECT_EQ(f.Send(THeaderMessage::KillFocus, 0, 0), THeaderAnswer{});
}

TEST(HeaderClick, PressAndReleaseOnOneColumnClicksIt) {
    ControllerFixture f;
    f.header.SetOptions(f.header.Options() & ~hoDrag); // no drag: the press is not captured
    EXPECT_EQ(f.Send(THeaderMessage::NCButtonDown, 150, -5), THeaderAnswer{});
    EXPECT_EQ(f.columns.DownIndex, 1);
    f.Send(THeaderMessage::NCButtonUp, 160, -5);
    EXPECT_EQ(f.columns.ClickIndex, 1);
    EXPECT_EQ(f.columns.DownIndex, NoColumn);
    EXPECT_EQ(f.tree.log, (Log{"Click 1 at 160,12"}));
    // A release over another column than the pressed one clicks nothing.
    f.tree.log.clear();
    f.Send(THeaderMessage::NCButtonDown, 150, -5);
    f.Send(THeaderMessage::NCButtonUp, 250, -5);
    EXPECT_EQ(f.columns.ClickIndex, NoColumn);
    EXPECT_TRUE(f.tree.log.empty());
}

TEST(HeaderClick, DoubleClickOnABorderFitsTheColumnNeverBelowItsMinimum) {
    ControllerFixture f;
    f.tree.widest[1] = 163;
    f.Send(THeaderMessage::NCDblClick, 201, -5);
    EXPECT_EQ(f.columns[1].Width(), 163);
    f.columns[1].SetMinWidth(40);
    f.tree.widest[1] = 12;
    f.Send(THeaderMessage::NCDblClick, 201 + 63, -5);
    EXPECT_EQ(f.columns[1].Width(), 40);
    // Inside a column a double click is a forced click with the double-click flag.
    f.tree.log.clear();
    f.Send(THeaderMessage::NCDblClick, 20, -5);
    EXPECT_EQ(f.tree.log, (Log{"Click 0 at 20,12 double", "DblClick 0 at 20,12"}));
}

TEST(HeaderDrag, DropPositionTable) {
    struct Case {
        int oldPosition, target;
        bool before;
        int expected;
    };
    const Case cases[] = {
        {3, 1, false, 2}, // right half of a column to the left: just behind it
        {3, 1, true, 1},  // left half of a column to the left: its place
        {0, 2, true, 1},  // left half of a column to the right: just before it
        {0, 2, false, 2}, // right half of a column to the right: its place
        {1, 0, true, 0},  {0, 1, true, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(THeaderController::DropPosition(c.oldPosition, c.target, c.before), c.expected)
            << c.oldPosition << "->" << c.target << (c.before ? " before" : " after");
}

struct DragFixture : ControllerFixture {
    // Presses column 0 and drags it beyond the threshold to x.
    void DragTo(int x) {
        Send(THeaderMessage::NCButtonDown, 30, -5);
        Send(THeaderMessage::MouseMove, 36, -5);
        Send(THeaderMessage::MouseMove, x, -5);
    }
};

TEST(HeaderDrag, DroppingMovesTheColumnAndReportsTheOldPosition) {
    struct Case {
        int x;
        Ints order;
        Log events;
    };
    const Log dragged{"Dragged 0 from 0"};
    const Case cases[] = {
        {210, {1, 0, 2}, dragged},
        {260, {1, 2, 0}, dragged},
        {120, {0, 1, 2}, dragged}, // the left half of the right neighbour is the column's own place
        {60, {0, 1, 2}, {}},       // dropped on itself: no drop target, and not dragged out either
    };
    for (const Case& c : cases) {
        DragFixture f;
        f.DragTo(c.x);
        EXPECT_EQ(f.header.States(), hsDragging) << c.x;
        EXPECT_EQ(f.columns.DragIndex, 0);
        EXPECT_EQ(f.Send(THeaderMessage::ButtonUp, c.x, -5), (THeaderAnswer{true, 0}));
        EXPECT_EQ(f.columns.PositionToIndex(), c.order) << c.x;
        EXPECT_EQ(f.header.States(), 0);
        EXPECT_EQ(f.columns.DropTarget, NoColumn);
        EXPECT_EQ(f.tree.log, c.events) << c.x;
    }
}

TEST(HeaderDrag, ReleaseOutsideTheWindowOrEscapeLeavesThePositions) {
    DragFixture out;
    out.DragTo(260);
    out.port.inWindow = false;
    out.Send(THeaderMessage::ButtonUp, 260, -5);
    EXPECT_EQ(out.columns.PositionToIndex(), (Ints{0, 1, 2}));
    EXPECT_EQ(out.tree.log, (Log{"DraggedOut 0"}));

    DragFixture escaped;
    escaped.DragTo(260);
    EXPECT_EQ(escaped.Send(THeaderMessage::CancelKey, 0, 0), (THeaderAnswer{true, 0}));
    EXPECT_EQ(escaped.header.States(), 0);
    escaped.Send(THeaderMessage::ButtonUp, 260, -5);
    EXPECT_EQ(escaped.columns.PositionToIndex(), (Ints{0, 1, 2}));
    EXPECT_TRUE(escaped.tree.log.empty());

    DragFixture small; // a move within the threshold does not start a drag
    small.Send(THeaderMessage::NCButtonDown, 30, -5);
    EXPECT_EQ(small.Send(THeaderMessage::MouseMove, 34, -1), THeaderAnswer{});
    EXPECT_EQ(small.header.States(), hsDragPending);
}

TEST(HeaderHover, TheTimerClearsHotAndPressedCellsOnceTheMouseLeaves) {
    ControllerFixture f;
    f.Send(THeaderMessage::NCMouseMove, 150, -5);
    EXPECT_EQ(f.columns.HoverIndex, 1);
    EXPECT_EQ(f.port.log, (Log{"stop 3", "timer 3 50"}));
    THeaderInput timer;
    timer.Message = THeaderMessage::Timer;
    timer.TimerId = HeaderTimer;
    f.controller.Handle(timer);
    EXPECT_EQ(f.columns.HoverIndex, 1); // still over the header
    f.port.mouseInHeader = false;
    EXPECT_EQ(f.controller.Handle(timer), (THeaderAnswer{true, 0}));
    EXPECT_EQ(f.columns.HoverIndex, NoColumn);
    EXPECT_EQ(f.port.log.back(), "stop 3");
}

TEST(HeaderMenu, RightReleaseInTheHeaderShowsTheHookedMenu) {
    ControllerFixture f;
    TVTPoint shownAt{};
    f.header.PopupMenu = [&](TVTPoint screen) {
        shownAt = screen;
        return true;
    };
    EXPECT_EQ(f.Send(THeaderMessage::NCButtonUp, 40, -3, TMouseButton::mbRight), (THeaderAnswer{true, 0}));
    EXPECT_EQ(shownAt, (TVTPoint{1040, 497}));
    EXPECT_EQ(f.Send(THeaderMessage::NCButtonUp, 40, 30, TMouseButton::mbRight), THeaderAnswer{});
}

} // namespace
} // namespace tarvola::test
