// The tree window's header under Wine with the mouse itself: synthetic input over the header in the
// window's frame goes through the system's hit test to the header, which clicks, resizes and moves columns.
#include "tests/support/MessagePump.h"

#include "forms/Form.h"
#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/TreeControl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvola {
namespace {

using namespace std::chrono_literals;

// A point of the header row: client coordinates, the header lying above the client area.
constexpr int HeaderY = -DefaultHeaderHeight / 2;

struct TreeHeaderWindow : ::testing::Test {
    TForm form{nullptr};
    TVirtualTreeControl* control = nullptr;
    TBaseVirtualTree* tree = nullptr;
    std::vector<std::string> clicks;
    POINT savedCursor{};

    void SetUp() override {
        GetCursorPos(&savedCursor);
        form.SetBounds(40, 40, 440, 320);
        control = &form.Create<TVirtualTreeControl>();
        control->SetParent(&form);
        control->SetBounds(0, 0, 400, 240);
        tree = &control->Tree();
        TVTHeader& header = tree->Header();
        for (int i = 0; i < 3; ++i)
            header.Columns().Add().SetWidth(100);
        header.SetOptions(header.Options() | hoVisible);
        tree->SetRootNodeCount(5);
        tree->HeaderEvents().OnHeaderClick = TVTHeaderClickEvent::Bind(onClick);
        form.Show();
        SetForegroundWindow(form.Handle());
        test::PumpFor(100ms);
    }
    void TearDown() override {
        tree->HeaderEvents().OnHeaderClick = {};
        SetCursorPos(savedCursor.x, savedCursor.y);
    }

    std::function<void(TBaseVirtualTree&, TColumnIndex, TMouseButton, TShiftState, int, int)> onClick =
        [this](TBaseVirtualTree&, TColumnIndex column, TMouseButton button, TShiftState, int, int) {
            clicks.push_back(std::to_string(column) + (button == TMouseButton::mbLeft ? " left" : " other"));
        };

    enum class TAction { Move, Down, Up };
    // Moves the mouse to a client point of the tree (pressing or releasing the left button there) and lets
    // the messages it makes arrive.
    void Mouse(TAction action, int x, int y) {
        POINT screen{x, y};
        ClientToScreen(control->Handle(), &screen);
        INPUT input{};
        input.type = INPUT_MOUSE;
        // The middle of the pixel, so that the scaling to the absolute range lands on it.
        input.mi.dx = MulDiv(2 * screen.x + 1, 65536, 2 * GetSystemMetrics(SM_CXSCREEN));
        input.mi.dy = MulDiv(2 * screen.y + 1, 65536, 2 * GetSystemMetrics(SM_CYSCREEN));
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        if (action == TAction::Down)
            input.mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
        else if (action == TAction::Up)
            input.mi.dwFlags |= MOUSEEVENTF_LEFTUP;
        ASSERT_EQ(SendInput(1, &input, sizeof(input)), 1u);
        test::PumpFor(60ms);
    }
    // Where the mouse is now, in client coordinates.
    POINT CursorInClient() const {
        POINT cursor{};
        GetCursorPos(&cursor);
        ScreenToClient(control->Handle(), &cursor);
        return cursor;
    }
    TVirtualTreeColumns& Columns() const { return tree->Header().Columns(); }
};

TEST_F(TreeHeaderWindow, AClickOnAColumnRaisesTheHeaderClick) {
    // With and without column dragging: the release comes captured (client) or through the frame.
    const TVTHeaderOptions dragOptions[] = {hoDrag, 0};
    for (const TVTHeaderOptions drag : dragOptions) {
        SCOPED_TRACE(drag == hoDrag ? "drag" : "no drag");
        TVTHeader& header = tree->Header();
        header.SetOptions(static_cast<TVTHeaderOptions>((header.Options() & ~hoDrag) | drag));
        clicks.clear();
        Mouse(TAction::Move, 150, HeaderY);
        Mouse(TAction::Down, 150, HeaderY);
        Mouse(TAction::Up, 150, HeaderY);
        EXPECT_EQ(clicks, std::vector<std::string>{"1 left"});
        EXPECT_NE(GetCapture(), control->Handle());
        EXPECT_EQ(header.States(), 0);
    }
}

TEST_F(TreeHeaderWindow, DraggingADividerChangesTheColumnWidth) {
    Mouse(TAction::Move, 101, HeaderY);
    Mouse(TAction::Down, 101, HeaderY);
    EXPECT_EQ(GetCapture(), control->Handle());
    Mouse(TAction::Move, 130, HeaderY);
    Mouse(TAction::Move, 170, 60); // the resize follows the mouse below the header too
    Mouse(TAction::Up, 170, 60);
    EXPECT_NE(GetCapture(), control->Handle());
    EXPECT_EQ(Columns()[0].Width(), CursorInClient().x);
    EXPECT_EQ(Columns()[1].Left(), Columns()[0].Width());
    EXPECT_TRUE(clicks.empty());
    // The tree's rows took no part in it.
    EXPECT_EQ(tree->GetFirstSelected(), nullptr);
}

TEST_F(TreeHeaderWindow, DraggingAColumnMovesIt) {
    Mouse(TAction::Move, 40, HeaderY);
    Mouse(TAction::Down, 40, HeaderY);
    Mouse(TAction::Move, 60, HeaderY); // past the drag distance
    EXPECT_EQ(tree->Header().States(), hsDragging);
    Mouse(TAction::Move, 270, HeaderY); // the right half of the last column
    Mouse(TAction::Up, 270, HeaderY);
    EXPECT_EQ(Columns()[0].Position(), 2);
    EXPECT_EQ(tree->Header().States(), 0);
    EXPECT_TRUE(clicks.empty());
}

} // namespace
} // namespace tarvola
