// The header's Win32 side over a window whose non-client area holds the header.
#include "tree/HeaderWindow.h"

#include <windowsx.h>

namespace tarvola {

namespace {

TShiftState KeyboardShift() {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    return shift;
}

TShiftState ShiftFromKeys(WPARAM keys) {
    TShiftState shift = 0;
    if ((keys & MK_SHIFT) != 0)
        shift |= ssShift;
    if ((keys & MK_CONTROL) != 0)
        shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    return shift;
}

// The client area's origin in window coordinates (the frame and the header lie before it).
POINT ClientOriginInWindow(HWND window) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT bounds{};
    GetWindowRect(window, &bounds);
    return POINT{origin.x - bounds.left, origin.y - bounds.top};
}

} // namespace

THeaderWindowAdapter::THeaderWindowAdapter(HWND window, TVTHeader& header)
    : window_(window), header_(header), controller_(header, *this) {}

void THeaderWindowAdapter::FromScreen(LPARAM lParam, THeaderInput& input) const {
    input.Screen = TVTPoint{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    POINT p{input.Screen.X, input.Screen.Y};
    ScreenToClient(window_, &p);
    input.Client = TVTPoint{p.x, p.y};
}

void THeaderWindowAdapter::FromClient(LPARAM lParam, THeaderInput& input) const {
    input.Client = TVTPoint{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    POINT p{input.Client.X, input.Client.Y};
    ClientToScreen(window_, &p);
    input.Screen = TVTPoint{p.x, p.y};
}

bool THeaderWindowAdapter::Decode(UINT message, WPARAM wParam, LPARAM lParam, THeaderInput& input) const {
    auto nc = [&](THeaderMessage kind, TMouseButton button) {
        input.Message = kind;
        input.Button = button;
        input.Shift = KeyboardShift();
        FromScreen(lParam, input);
        return true;
    };
    switch (message) {
    case WM_NCLBUTTONDOWN:
        return nc(THeaderMessage::NCButtonDown, TMouseButton::mbLeft);
    case WM_NCRBUTTONDOWN:
        return nc(THeaderMessage::NCButtonDown, TMouseButton::mbRight);
    case WM_NCMBUTTONDOWN:
        return nc(THeaderMessage::NCButtonDown, TMouseButton::mbMiddle);
    case WM_NCLBUTTONUP:
        return nc(THeaderMessage::NCButtonUp, TMouseButton::mbLeft);
    case WM_NCRBUTTONUP:
        return nc(THeaderMessage::NCButtonUp, TMouseButton::mbRight);
    case WM_NCMBUTTONUP:
        return nc(THeaderMessage::NCButtonUp, TMouseButton::mbMiddle);
    case WM_NCLBUTTONDBLCLK:
        return nc(THeaderMessage::NCDblClick, TMouseButton::mbLeft);
    case WM_NCRBUTTONDBLCLK:
        return nc(THeaderMessage::NCDblClick, TMouseButton::mbRight);
    case WM_NCMBUTTONDBLCLK:
        return nc(THeaderMessage::NCDblClick, TMouseButton::mbMiddle);
    case WM_NCMOUSEMOVE:
        return nc(THeaderMessage::NCMouseMove, TMouseButton::mbLeft);
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        input.Message = message == WM_MOUSEMOVE ? THeaderMessage::MouseMove : THeaderMessage::ButtonUp;
        input.Shift = ShiftFromKeys(wParam);
        FromClient(lParam, input);
        return true;
    case WM_SETCURSOR: {
        POINT p{};
        GetCursorPos(&p);
        input.Message = THeaderMessage::SetCursor;
        FromScreen(MAKELPARAM(p.x, p.y), input);
        return true;
    }
    case WM_TIMER:
        input.Message = THeaderMessage::Timer;
        input.TimerId = static_cast<unsigned>(wParam);
        return true;
    case WM_SIZE:
        input.Message = THeaderMessage::Size;
        return true;
    case WM_KEYDOWN:
        input.Message = THeaderMessage::CancelKey;
        return wParam == VK_ESCAPE;
    case WM_KILLFOCUS:
        input.Message = THeaderMessage::KillFocus;
        return true;
    default:
        return false;
    }
}

bool THeaderWindowAdapter::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    THeaderInput input;
    if (!Decode(message, wParam, lParam, input))
        return false;
    const THeaderAnswer answer = controller_.Handle(input);
    if (answer.Handled)
        result = answer.Result;
    return answer.Handled;
}

void THeaderWindowAdapter::SetCapture() {
    ::SetCapture(window_);
}

void THeaderWindowAdapter::ReleaseCapture() {
    if (GetCapture() == window_)
        ::ReleaseCapture();
}

void THeaderWindowAdapter::SetCursor(THeaderCursor cursor) {
    ::SetCursor(cursor == THeaderCursor::Split ? HeaderSplitCursor() : LoadCursorA(nullptr, IDC_ARROW));
}

void THeaderWindowAdapter::StartTimer(unsigned id, unsigned milliseconds) {
    SetTimer(window_, id, milliseconds, nullptr);
}

void THeaderWindowAdapter::StopTimer(unsigned id) {
    KillTimer(window_, id);
}

bool THeaderWindowAdapter::ScreenPointInWindow(TVTPoint screen) const {
    RECT bounds{};
    GetWindowRect(window_, &bounds);
    return PtInRect(&bounds, POINT{screen.X, screen.Y}) != FALSE;
}

bool THeaderWindowAdapter::MouseInHeader() const {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(window_, &p);
    return header_.InHeader(TVTPoint{p.x, p.y});
}

TVTPoint THeaderWindowAdapter::DragThreshold() const {
    return TVTPoint{GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG)};
}

void ReserveHeaderInFrame(const TVTHeader& header, RECT& proposedClient) {
    proposedClient.top += header.VisibleHeight();
    if (proposedClient.top > proposedClient.bottom)
        proposedClient.top = proposedClient.bottom;
}

void InvalidateHeaderArea(HWND window, const TVTHeader& header, int left, int right) {
    if (header.VisibleHeight() == 0 || right <= left)
        return;
    // Client coordinates: the header lies above the client area, and RDW_FRAME lets the redraw reach it.
    RECT area{left, -header.VisibleHeight(), right, 0};
    RedrawWindow(window, &area, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN);
}

HCURSOR HeaderSplitCursor() {
    static const HCURSOR cursor = [] {
        HCURSOR own = LoadCursorW(GetModuleHandleW(nullptr), L"VT_HEADERSPLIT");
        return own != nullptr ? own : LoadCursorA(nullptr, IDC_SIZEWE);
    }();
    return cursor;
}

void AnimateColumnResize(HWND window, int headerHeight, int columnRight, int delta, COLORREF treeColor) {
    if (!ColumnResizeIsAnimated(delta))
        return;
    constexpr int Steps = 32;
    const int step = delta / Steps;
    RECT client{};
    GetClientRect(window, &client);
    const POINT origin = ClientOriginInWindow(window);
    const int edge = origin.x + columnRight;
    const int left = step < 0 ? edge + step : edge;
    RECT headerStrip{left, origin.y - headerHeight, origin.x + client.right, origin.y};
    RECT clientStrip{left, origin.y, origin.x + client.right, origin.y + client.bottom};
    HDC dc = GetWindowDC(window);
    if (dc == nullptr)
        return;
    if (step > 0) {
        RECT uncovered{edge, origin.y, edge + step, origin.y + client.bottom};
        HBRUSH brush = CreateSolidBrush(treeColor);
        FillRect(dc, &uncovered, brush);
        DeleteObject(brush);
    }
    for (int i = 0; i < Steps; ++i) {
        ScrollDC(dc, step, 0, &headerStrip, &headerStrip, nullptr, nullptr);
        ScrollDC(dc, step, 0, &clientStrip, &clientStrip, nullptr, nullptr);
        headerStrip.left += step;
        clientStrip.left += step;
        Sleep(1);
    }
    ReleaseDC(window, dc);
}

} // namespace tarvola
