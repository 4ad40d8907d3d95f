// The header's Win32 side under Wine, on a plain window that reserves the header in its frame: resizing,
// dragging and clicking driven by the messages a mouse would send, cancelling with Escape, and the cursor.
#include "tests/tree/HeaderTestSupport.h"

#include "forms/Application.h"
#include "tree/HeaderWindow.h"

#include <gtest/gtest.h>

#include <memory>

namespace tarvola::test {
namespace {

constexpr int WindowLeft = 100, WindowTop = 100;

// A tree stand-in with a real window: widths from the window, repaints through the non-client area.
class WindowHeaderTree : public FakeHeaderTree {
public:
    HWND handle = nullptr;
    const TVTHeader* header = nullptr;
    int ClientWidth() const override {
        RECT client{};
        GetClientRect(handle, &client);
        return client.right;
    }
    void InvalidateHeader(int left, int right) override {
        if (handle != nullptr && header != nullptr)
            InvalidateHeaderArea(handle, *header, left, right);
    }
};

struct HeaderWindow {
    WindowHeaderTree tree;
    TVTHeader header{tree};
    TVirtualTreeColumns& columns = header.Columns();
    std::unique_ptr<THeaderWindowAdapter> adapter;
    HWND window = nullptr;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        LRESULT result = 0;
        bool handled = false;
        GuardCallback([&] {
            auto* self = reinterpret_cast<HeaderWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
            if (self == nullptr)
                return;
            // Either form of the message starts with the proposed client rectangle.
            if (message == WM_NCCALCSIZE) {
                result = DefWindowProcW(window, message, wParam, lParam);
                ReserveHeaderInFrame(self->header, *reinterpret_cast<RECT*>(lParam));
                handled = true;
            } else if (self->adapter) {
                handled = self->adapter->HandleMessage(message, wParam, lParam, result);
            }
        });
        return handled ? result : DefWindowProcW(window, message, wParam, lParam);
    }

    HeaderWindow() {
        static const ATOM windowClass = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &HeaderWindow::Procedure;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"TarvolaHeaderTestWindow";
            wc.style = CS_DBLCLKS;
            return RegisterClassW(&wc);
        }();
        EXPECT_NE(windowClass, 0);
        for (int width : {100, 100, 100})
            columns.Add().SetWidth(width);
        header.SetOptions(header.Options() | hoVisible | hoDblClickResize);
        window = CreateWindowExW(0, L"TarvolaHeaderTestWindow", L"", WS_POPUP, WindowLeft, WindowTop, 400,
                                 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        tree.handle = window;
        tree.header = &header;
        adapter = std::make_unique<THeaderWindowAdapter>(window, header);
        // The frame is computed again now that the window knows its header.
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                         SWP_SHOWWINDOW);
        tree.log.clear();
    }
    ~HeaderWindow() {
        if (GetCapture() == window)
            ReleaseCapture();
        DestroyWindow(window);
    }
    HeaderWindow(const HeaderWindow&) = delete;
    HeaderWindow& operator=(const HeaderWindow&) = delete;

    // Client coordinates in, screen coordinates for the non-client messages.
    LRESULT NonClient(UINT message, int x, int y) {
        POINT p{x, y};
        ClientToScreen(window, &p);
        return SendMessageW(window, message, HTBORDER, MAKELPARAM(p.x, p.y));
    }
    LRESULT Client(UINT message, int x, int y, WPARAM keys = 0) {
        return SendMessageW(window, message, keys, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
};

TEST(HeaderWindow, TheFrameReservesTheHeaderAboveTheClientArea) {
    HeaderWindow w;
    RECT client{};
    GetClientRect(w.window, &client);
    EXPECT_EQ(client.bottom, 300 - DefaultHeaderHeight);
    POINT origin{0, 0};
    ClientToScreen(w.window, &origin);
    EXPECT_EQ(origin.y, WindowTop + DefaultHeaderHeight);
}

TEST(HeaderWindow, DraggingABorderResizesTheColumnUnderCapture) {
    HeaderWindow w;
    EXPECT_EQ(w.NonClient(WM_NCLBUTTONDOWN, 202, -5), 0);
    EXPECT_EQ(GetCapture(), w.window);
    w.Client(WM_MOUSEMOVE, 210, -5, MK_LBUTTON);
    w.Client(WM_MOUSEMOVE, 260, 40, MK_LBUTTON);
    EXPECT_EQ(w.columns[1].Width(), 160);
    w.Client(WM_MOUSEMOVE, 50, 40, MK_LBUTTON); // below the minimum
    EXPECT_EQ(w.columns[1].Width(), 10);
    w.Client(WM_MOUSEMOVE, 180, 40, MK_LBUTTON);
    w.Client(WM_LBUTTONUP, 180, 40);
    EXPECT_NE(GetCapture(), w.window);
    EXPECT_EQ(w.header.States(), 0);
    EXPECT_EQ(w.columns[1].Width(), 80);
    EXPECT_EQ(w.columns[2].Left(), 180);
}

TEST(HeaderWindow, EscapeEndsAResizeAndReleasesTheMouse) {
    HeaderWindow w;
    w.NonClient(WM_NCLBUTTONDOWN, 101, -5);
    w.Client(WM_MOUSEMOVE, 110, -5, MK_LBUTTON);
    w.Client(WM_MOUSEMOVE, 140, -5, MK_LBUTTON);
    SendMessageW(w.window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_NE(GetCapture(), w.window);
    EXPECT_EQ(w.header.States(), 0);
    w.Client(WM_MOUSEMOVE, 190, -5);
    EXPECT_EQ(w.columns[0].Width(), 140);
}

TEST(HeaderWindow, DraggingAColumnMovesItToTheDropPosition) {
    HeaderWindow w;
    w.NonClient(WM_NCLBUTTONDOWN, 30, -5);
    EXPECT_EQ(GetCapture(), w.window);
    w.Client(WM_MOUSEMOVE, 45, -5, MK_LBUTTON); // beyond the drag threshold
    EXPECT_EQ(w.header.States(), hsDragging);
    w.Client(WM_MOUSEMOVE, 260, -5, MK_LBUTTON); // right half of the last column
    EXPECT_EQ(w.columns.DropTarget, 2);
    w.Client(WM_LBUTTONUP, 260, -5);
    EXPECT_NE(GetCapture(), w.window);
    EXPECT_EQ(w.columns.PositionToIndex(), (std::vector<TColumnIndex>{1, 2, 0}));
    EXPECT_EQ(w.tree.log, (std::vector<std::string>{"Dragged 0 from 0"}));

    // Released outside the window: dragged out, nothing moves.
    w.tree.log.clear();
    w.NonClient(WM_NCLBUTTONDOWN, 30, -5); // column 1 now
    w.Client(WM_MOUSEMOVE, 45, -5, MK_LBUTTON);
    w.Client(WM_MOUSEMOVE, 150, -5, MK_LBUTTON);
    w.Client(WM_LBUTTONUP, 150, -200);
    EXPECT_EQ(w.columns.PositionToIndex(), (std::vector<TColumnIndex>{1, 2, 0}));
    EXPECT_EQ(w.tree.log, (std::vector<std::string>{"DraggedOut 1"}));
}

TEST(HeaderWindow, PressAndReleaseClickTheColumn) {
    HeaderWindow w;
    // With dragging allowed the press is captured and the release comes to the client area.
    w.NonClient(WM_NCLBUTTONDOWN, 150, -5);
    w.Client(WM_LBUTTONUP, 151, -5);
    EXPECT_EQ(w.tree.log, (std::vector<std::string>{"Click 1 at 151,12"}));
    // Without dragging nothing is captured: the release is a non-client one.
    w.tree.log.clear();
    w.header.SetOptions(w.header.Options() & ~hoDrag);
    w.NonClient(WM_NCLBUTTONDOWN, 250, -5);
    EXPECT_NE(GetCapture(), w.window);
    w.NonClient(WM_NCLBUTTONUP, 250, -5);
    EXPECT_EQ(w.tree.log, (std::vector<std::string>{"Click 2 at 250,12"}));
    EXPECT_EQ(w.columns.ClickIndex, 2);
}

TEST(HeaderWindow, DoubleClickOnABorderFitsTheColumn) {
    HeaderWindow w;
    w.tree.widest[0] = 180;
    w.NonClient(WM_NCLBUTTONDBLCLK, 101, -5);
    EXPECT_EQ(w.columns[0].Width(), 180);
}

TEST(HeaderWindow, TheSplitCursorLoads) {
    EXPECT_NE(HeaderSplitCursor(), nullptr);
}

} // namespace
} // namespace tarvola::test
