// The owner-drawn scroll bar driven through its window: steps with and without a target, the press-and-hold
// repeat, the thumb drag, and the classic look.
#include "explorer/VirtualScrollbars.h"
#include "forms/Form.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvola {
namespace {

using namespace std::chrono_literals;

// A control that records the WM_VSCROLL messages it receives.
class TScrollTarget : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    struct Received {
        WORD code;
        WORD position;
        HWND bar;
    };
    std::vector<Received> received;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_VSCROLL) {
            received.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
            return 0;
        }
        return TCustomControl::WndProc(message, wParam, lParam);
    }
};

class ScrollbarTest : public ::testing::Test {
protected:
    ScrollbarTest() : form(nullptr), bar(form.Create<TOwnerDrawScrollbar>()) {
        form.SetClientSize(200, 300);
        bar.SetBounds(10, 10, 0, 200);
        bar.SetParent(&form);
        bar.SetMetrics(TScrollbarMetrics{17, 17});
        bar.SetPageSize(10);
    }
    ~ScrollbarTest() override { ReleaseCapture(); }

    void Press(int y) { SendMessageW(bar.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, y)); }
    void Release(int y) { SendMessageW(bar.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, y)); }
    void Move(int y) { SendMessageW(bar.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, y)); }
    TScrollTarget& MakeTarget() {
        auto& target = form.Create<TScrollTarget>();
        target.SetBounds(40, 10, 100, 100);
        target.SetParent(&form);
        bar.SetTargetControl(&target);
        return target;
    }

    TForm form;
    TOwnerDrawScrollbar& bar;
};

TEST_F(ScrollbarTest, WidthIsTheSystemsAndAClickNeverActivates) {
    EXPECT_EQ(bar.Width(), GetSystemMetrics(SM_CXVSCROLL));
    bar.SetWidth(50);
    EXPECT_EQ(bar.Width(), GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(SendMessageW(bar.Handle(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(form.Handle()), 0),
              MA_NOACTIVATE);
}

TEST_F(ScrollbarTest, WithoutATargetTheBarMovesByItsChanges) {
    bar.SetSmallChange(3);
    bar.SetLargeChange(20);
    Press(190); // down arrow
    Release(190);
    EXPECT_EQ(bar.Position(), 3);
    const TScrollbarLayout layout = bar.Layout();
    Press(layout.PageDown.Top + 1);
    Release(layout.PageDown.Top + 1);
    EXPECT_EQ(bar.Position(), 23);
    Press(5); // up arrow
    Release(5);
    EXPECT_EQ(bar.Position(), 20);
}

TEST_F(ScrollbarTest, WithATargetAnArrowSendsItsCodeThenEndScrollAndLeavesThePosition) {
    TScrollTarget& target = MakeTarget();
    bar.SetPosition(40);
    Press(190);
    Release(190);
    ASSERT_EQ(target.received.size(), 2u);
    EXPECT_EQ(target.received[0].code, SB_LINEDOWN);
    EXPECT_EQ(target.received[0].position, 40);
    EXPECT_EQ(target.received[0].bar, bar.Handle());
    EXPECT_EQ(target.received[1].code, SB_ENDSCROLL);
    EXPECT_EQ(bar.Position(), 40);
}

TEST_F(ScrollbarTest, HoldingAnArrowRepeatsUntilRelease) {
    TScrollTarget& target = MakeTarget();
    bar.SetRepeatInterval(20);
    Press(190);
    ASSERT_EQ(target.received.size(), 2u) << "the press steps once";
    // The first delay is half a second; a timer never fires early, so nothing repeats within 300 ms.
    test::PumpFor(300ms);
    EXPECT_EQ(target.received.size(), 2u) << "no repeat before the first delay";
    ASSERT_TRUE(test::PumpUntil([&] { return target.received.size() >= 6; }, 5s))
        << "the arrow repeats after the first delay";
    Release(190);
    const std::size_t afterRelease = target.received.size();
    test::PumpFor(150ms);
    EXPECT_EQ(target.received.size(), afterRelease) << "the repeat stops with the button";
}

TEST_F(ScrollbarTest, DraggingTheThumbTracksThenEndsTheScroll) {
    TScrollTarget& target = MakeTarget();
    const TScrollbarLayout layout = bar.Layout();
    const int grab = (layout.Thumb.Top + layout.Thumb.Bottom) / 2;
    Press(grab);
    EXPECT_TRUE(target.received.empty()) << "grabbing the thumb sends nothing yet";
    Move(100);
    Move(layout.Track.Bottom + 20);
    Release(layout.Track.Bottom + 20);
    ASSERT_EQ(target.received.size(), 3u);
    EXPECT_EQ(target.received[0].code, SB_THUMBTRACK);
    EXPECT_EQ(target.received[1].code, SB_THUMBTRACK);
    EXPECT_EQ(target.received[1].position, 90) << "past the track's end is the largest position";
    EXPECT_EQ(target.received[2].code, SB_ENDSCROLL);
    EXPECT_EQ(bar.Position(), 90);
}

TEST_F(ScrollbarTest, ClassicTrackIsDitheredAndCustomPaintCanTakeAnElement) {
    bar.SetOptions(0);
    bar.Colors().SetBackground(RGB(255, 0, 0));
    bar.Colors().SetBackgroundBlend(RGB(0, 0, 255));
    bar.SetPosition(0);
    int thumbPaints = 0;
    bar.OnScrollCustomPaint = [&](TCustomOwnerDrawScrollbar&, TScrollPaintCycle cycle, TScrollPaintState,
                                  const TRect& rect, TCanvas& canvas, bool& handled) {
        if (cycle != TScrollPaintCycle::spcThumb)
            return;
        ++thumbPaints;
        HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
        RECT r = rect.ToRECT();
        FillRect(canvas.Handle(), &r, green);
        DeleteObject(green);
        handled = true;
    };
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, bar.Width(), bar.Height());
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(bar.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const TScrollbarLayout layout = bar.Layout();
    const int y = layout.PageDown.Top + 10;
    const COLORREF a = GetPixel(dc, 4, y);
    const COLORREF b = GetPixel(dc, 5, y);
    EXPECT_NE(a, b) << "neighbouring track pixels alternate";
    EXPECT_TRUE((a == RGB(255, 0, 0) && b == RGB(0, 0, 255)) || (a == RGB(0, 0, 255) && b == RGB(255, 0, 0)));
    EXPECT_EQ(GetPixel(dc, 5, (layout.Thumb.Top + layout.Thumb.Bottom) / 2), RGB(0, 255, 0));
    EXPECT_EQ(thumbPaints, 1);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

} // namespace
} // namespace tarvola
