// The tree control's wheel panning, wheel and timers through real window messages under Wine: the panning
// window with its shape, its two modes and their ends, the wheel's notches, and the delayed change events
// riding on the window's timers.
#include "tests/support/MessagePump.h"

#include "forms/Form.h"
#include "tree/TreeControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tarvola {
namespace {

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

// A wheel message's wParam: the turn in its high word.
WPARAM Turn(int delta) {
    return MAKEWPARAM(0, static_cast<WORD>(static_cast<SHORT>(delta)));
}

struct WheelPanningTest : ::testing::Test {
    TForm form{nullptr};
    TVirtualTreeControl& control = form.Create<TVirtualTreeControl>();
    TBaseVirtualTree& tree = control.Tree();
    HWND window = nullptr;

    WheelPanningTest() {
        control.SetParent(&form);
        window = control.Handle();
        tree.SetRootNodeCount(100); // 1800 pixels of rows in a 100-pixel control
    }
    ~WheelPanningTest() override { ReleaseCapture(); }
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
        return SendMessageW(window, message, wParam, lParam);
    }
    HWND PanningWindow() { return control.Motion().PanningWindow(); }
};

TEST_F(WheelPanningTest, MiddleButtonShowsTheShapedPanningWindow) {
    Send(WM_MBUTTONDOWN, MK_MBUTTON, At(50, 40));
    HWND panning = PanningWindow();
    ASSERT_NE(panning, nullptr);
    EXPECT_TRUE(tree.InState(TreeState::tsWheelPanning));
    EXPECT_TRUE(tree.InState(TreeState::tsWheelScrolling));
    wchar_t className[64]{};
    GetClassNameW(panning, className, 64);
    EXPECT_EQ(std::wstring(className), L"VTPanningWindow");
    EXPECT_TRUE(IsWindowVisible(panning));
    // A child cannot own a popup: the system hands ownership to the tree's top-level window.
    EXPECT_EQ(GetWindow(panning, GW_OWNER), GetAncestor(window, GA_ROOT));
    EXPECT_NE(GetWindowLongW(panning, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    RECT bounds{};
    GetWindowRect(panning, &bounds);
    POINT centre{50, 40};
    ClientToScreen(window, &centre);
    EXPECT_EQ(bounds.left, centre.x - 16);
    EXPECT_EQ(bounds.top, centre.y - 16);
    EXPECT_EQ(bounds.right - bounds.left, 32);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(panning, region);
    EXPECT_TRUE(kind == SIMPLEREGION || kind == COMPLEXREGION) << kind;
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_GE(box.left, 0);
    EXPECT_GE(box.top, 0);
    EXPECT_LE(box.right, 32);
    EXPECT_LE(box.bottom, 32);
    EXPECT_FALSE(IsRectEmpty(&box));
    DeleteObject(region);
    EXPECT_EQ(GetCapture(), window);
    test::PumpPending(); // the window paints its image
}

TEST_F(WheelPanningTest, ReleasedAtOnceItGoesOnUntilTheNextPress) {
    Send(WM_MBUTTONDOWN, MK_MBUTTON, At(50, 40));
    Send(WM_MBUTTONUP, 0, At(50, 40));
    ASSERT_NE(PanningWindow(), nullptr);
    EXPECT_FALSE(tree.InState(TreeState::tsWheelPanning));
    EXPECT_TRUE(tree.InState(TreeState::tsWheelScrolling));
    // The pointer goes below the origin and the timer ticks: the rows move up by the distance less 8.
    control.Motion().Pointer = [] { return TMotionPoint{50, 80}; };
    Send(WM_MOUSEMOVE, 0, At(50, 80));
    Send(WM_TIMER, ScrollTimer, 0);
    EXPECT_EQ(tree.OffsetY(), -32);
    HWND panning = PanningWindow();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(50, 80));
    EXPECT_EQ(PanningWindow(), nullptr);
    EXPECT_FALSE(IsWindow(panning));
    EXPECT_FALSE(tree.WheelPanningActive());
    EXPECT_NE(GetCapture(), window);
}

TEST_F(WheelPanningTest, ThePointerPicksTheCursorAndTheSharedCursorsSurvive) {
    TTreeMotionWindow& motion = control.Motion();
    Send(WM_MBUTTONDOWN, MK_MBUTTON, At(50, 40));
    EXPECT_EQ(motion.ShownCursor(), TPanningCursor::MoveNS); // rows only: the content is no wider
    EXPECT_EQ(GetCursor(), motion.ShownCursorHandle());
    Send(WM_MOUSEMOVE, MK_MBUTTON, At(52, 80));
    EXPECT_EQ(motion.ShownCursor(), TPanningCursor::MoveS);
    HCURSOR south = motion.ShownCursorHandle();
    ASSERT_NE(south, nullptr);
    EXPECT_EQ(GetCursor(), south);
    Send(WM_MBUTTONUP, 0, At(52, 80));
    EXPECT_FALSE(motion.ShownCursor().has_value());
    EXPECT_NE(GetCursor(), south);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(south, &info)); // a shared cursor: not destroyed with the panning
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
}

TEST_F(WheelPanningTest, AMissingImageIsRefused) {
    EXPECT_THROW(PanningRegion(nullptr), EVirtualTreeAssertion);
}

TEST_F(WheelPanningTest, TheWindowsOwnTimerKeepsPanning) {
    control.Motion().Pointer = [] { return TMotionPoint{50, 10}; };
    tree.SetOffsetY(-300);
    Send(WM_MBUTTONDOWN, MK_MBUTTON, At(50, 40));
    Send(WM_MBUTTONUP, 0, At(50, 40));
    Send(WM_MOUSEMOVE, 0, At(50, 10));
    // Each tick moves the rows down by 30 - 8 pixels until the top is reached.
    EXPECT_TRUE(test::PumpUntil([&] { return tree.OffsetY() == 0; }));
    EXPECT_TRUE(tree.WheelPanningActive());
    Send(WM_MBUTTONDOWN, MK_MBUTTON, At(50, 10));
    EXPECT_FALSE(tree.WheelPanningActive());
}

TEST_F(WheelPanningTest, MovedWithTheButtonHeldTheReleaseEndsIt) {
    Send(WM_MBUTTONDOWN, MK_MBUTTON, At(50, 40));
    Send(WM_MOUSEMOVE, MK_MBUTTON, At(50, 40 + GetSystemMetrics(SM_CYDRAG) + 1));
    EXPECT_TRUE(tree.InState(TreeState::tsWheelPanning));
    EXPECT_FALSE(tree.InState(TreeState::tsWheelScrolling));
    Send(WM_MBUTTONUP, 0, At(50, 60));
    EXPECT_EQ(PanningWindow(), nullptr);
    EXPECT_FALSE(tree.WheelPanningActive());
}

TEST_F(WheelPanningTest, FocusLossAndTheWheelEndIt) {
    Send(WM_MBUTTONDOWN, MK_MBUTTON, At(50, 40));
    Send(WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(PanningWindow(), nullptr);
    Send(WM_MBUTTONDOWN, MK_MBUTTON, At(50, 40));
    Send(WM_MBUTTONUP, 0, At(50, 40));
    Send(WM_MOUSEWHEEL, Turn(WHEEL_DELTA), 0);
    EXPECT_EQ(PanningWindow(), nullptr);
    EXPECT_FALSE(tree.WheelPanningActive());
}

TEST_F(WheelPanningTest, NoPanningWhenTheRowsFit) {
    tree.SetRootNodeCount(2);
    Send(WM_MBUTTONDOWN, MK_MBUTTON, At(50, 20));
    EXPECT_EQ(PanningWindow(), nullptr);
    EXPECT_FALSE(tree.WheelPanningActive());
    Send(WM_MBUTTONUP, 0, At(50, 20));
}

TEST_F(WheelPanningTest, WheelNotchesMoveTheRowsByTheSystemsLines) {
    UINT lines = 3;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    ASSERT_NE(lines, WHEEL_PAGESCROLL);
    Send(WM_MOUSEWHEEL, Turn(-WHEEL_DELTA), 0);
    EXPECT_EQ(tree.OffsetY(), -static_cast<int>(lines) * 18);
    Send(WM_MOUSEWHEEL, Turn(-2 * WHEEL_DELTA), 0);
    EXPECT_EQ(tree.OffsetY(), -3 * static_cast<int>(lines) * 18);
    Send(WM_MOUSEWHEEL, Turn(3 * WHEEL_DELTA), 0);
    EXPECT_EQ(tree.OffsetY(), 0);
}

TEST_F(WheelPanningTest, ChangeTimersFireTheDelayedEvents) {
    std::vector<std::string> events;
    auto changed = [&](TBaseVirtualTree&, PVirtualNode) { events.push_back("Change"); };
    auto structure = [&](TBaseVirtualTree&, PVirtualNode, TChangeReason) { events.push_back("Structure"); };
    tree.OnChange = TVTNodeEvent::Bind(changed);
    tree.OnStructureChange = TVTStructureChangeEvent::Bind(structure);
    tree.ChangeDelay = 20;
    tree.Change(tree.GetFirst());
    tree.NotifyStructureChange(tree.GetFirst(), TChangeReason::crChildAdded);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(test::PumpUntil([&] { return events.size() == 2; }));
    std::sort(events.begin(), events.end());
    EXPECT_EQ(events, (std::vector<std::string>{"Change", "Structure"}));
}

} // namespace
} // namespace tarvola
