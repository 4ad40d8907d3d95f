#include "explorer/VirtualExplorerComboboxDropDown.h"

#include "forms/Application.h"
#include "forms/Form.h"

#include <uxtheme.h>
#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>

namespace tarvola {

namespace {

TComboRect ScreenRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
}

bool EndsWithoutSelection(UINT message) {
    switch (message) {
    case WM_CANCELMODE:
    case WM_SYSKEYDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

} // namespace

// ---- TSizeGrabber

TSizeGrabber::TSizeGrabber(TComponent* owner, TDropDownWnd& dropDown)
    : TCustomControl(owner), dropDown_(dropDown) {
    SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYVSCROLL));
}

// The grip's corner: bottom right below the owner and top left above it slant one way, the others the
// other way.
bool TSizeGrabber::CornerIsNWSE() const {
    const bool above = (dropDown_.State() & dsAbove) != 0;
    const bool left = (dropDown_.State() & dsRightToLeft) != 0;
    return above == left;
}

LRESULT TSizeGrabber::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        ::SetCursor(LoadCursorA(nullptr, CornerIsNWSE() ? IDC_SIZENWSE : IDC_SIZENESW));
        return TRUE;
    case WM_LBUTTONDOWN:
        StartResize();
        return 0;
    case WM_MOUSEMOVE:
        if (resizing_) {
            POINT cursor{};
            GetCursorPos(&cursor);
            ResizeTo(cursor);
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (resizing_) {
            resizing_ = false;
            if (message == WM_LBUTTONUP && GetCapture() == Handle())
                ReleaseCapture();
        }
        return 0;
    default:
        return TCustomControl::WndProc(message, wParam, lParam);
    }
}

void TSizeGrabber::StartResize() {
    GetCursorPos(&start_);
    startBounds_ = ScreenRectOf(dropDown_.Handle());
    resizing_ = true;
    SetCapture(Handle());
}

void TSizeGrabber::ResizeTo(POINT cursor) {
    const std::uint16_t state = dropDown_.State();
    const int minSide = 2 * GetSystemMetrics(SM_CYVSCROLL) + 4;
    const TComboRect bounds =
        ResizeByGrip(startBounds_, cursor.x - start_.x, cursor.y - start_.y, (state & dsAbove) != 0,
                     (state & dsRightToLeft) != 0, minSide, minSide);
    MoveWindow(dropDown_.Handle(), bounds.Left, bounds.Top, bounds.Width(), bounds.Height(), TRUE);
    UpdateWindow(dropDown_.Handle());
}

void TSizeGrabber::Paint() {
    TCanvas& canvas = Canvas();
    const bool above = (dropDown_.State() & dsAbove) != 0;
    const bool left = (dropDown_.State() & dsRightToLeft) != 0;
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    FillRect(canvas.Handle(), &r, GetSysColorBrush(COLOR_BTNFACE));
    // Drawn the right way up into a bitmap of its own, then flipped when the grip stands at the top.
    HDC dc = CreateCompatibleDC(canvas.Handle());
    HBITMAP bitmap = CreateCompatibleBitmap(canvas.Handle(), r.right, r.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    bool drawn = false;
    if ((dropDown_.Options() & poThemeAware) != 0 && IsThemeActive()) {
        if (HTHEME theme = OpenThemeData(Handle(), L"SCROLLBAR")) {
            drawn = SUCCEEDED(DrawThemeBackground(theme, dc, SBP_SIZEBOX,
                                                  left ? SZB_LEFTALIGN : SZB_RIGHTALIGN, &r, nullptr));
            CloseThemeData(theme);
        }
    }
    if (!drawn) {
        DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        if (left)
            StretchBlt(dc, r.right - 1, 0, -r.right, r.bottom, dc, 0, 0, r.right, r.bottom, SRCCOPY);
    }
    if (above)
        StretchBlt(canvas.Handle(), 0, r.bottom - 1, r.right, -r.bottom, dc, 0, 0, r.right, r.bottom,
                   SRCCOPY);
    else
        BitBlt(canvas.Handle(), 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// ---- TDropDownWnd

TDropDownWnd::TDropDownWnd(TComponent* owner)
    : TCustomControl(owner), scrollbar_(Create<TOwnerDrawScrollbar>()), grip_(Create<TSizeGrabber>(*this)) {
    SetVisible(false);
    SetColor(clWindow);
    SetBounds(0, 0, 200, 150);
    scrollbar_.SetParent(this);
    grip_.SetParent(this);
}

TDropDownWnd::~TDropDownWnd() {
    state_ = static_cast<std::uint16_t>(state_ & ~dsRolledDown);
}

void TDropDownWnd::SetOptions(TPopupOptions options) {
    options_ = options;
    scrollbar_.SetOptions((options & poThemeAware) != 0 ? TScrollOptions{soThemeAware} : TScrollOptions{0});
    if (HandleAllocated())
        Realign();
}

void TDropDownWnd::SetContent(TWinControl& content) {
    content_ = &content;
    content.SetParent(this);
}

void TDropDownWnd::CreateParams(TCreateParams& params) {
    params.className.clear();
    params.style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
    params.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOPARENTNOTIFY;
    // Owned by the owner's top-level window: it goes with it and never has a taskbar button.
    params.parentWindow =
        owner_ != nullptr && owner_->HandleAllocated() ? GetAncestor(owner_->Handle(), GA_ROOT) : nullptr;
}

void TDropDownWnd::EnsureWindow() {
    if (HandleAllocated())
        return;
    CreateHandle();
    scrollbar_.SetTargetControl(this);
    if ((GetWindowLongPtrA(Handle(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0)
        state_ |= dsRightToLeft;
}

void TDropDownWnd::DoRollDown(bool& allow) {
    if (OnRollDown)
        OnRollDown(*this, allow);
}

void TDropDownWnd::DoRollUp(bool selected) {
    StopAutoScroll();
    if (OnRollUp)
        OnRollUp(*this, selected);
}

TComboRect TDropDownWnd::MonitorWorkArea(const TComboRect& area) const {
    if (WorkArea)
        return *WorkArea;
    const RECT r{area.Left, area.Top, area.Right, area.Bottom};
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info))
        return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void TDropDownWnd::RollDown(TWinControl* owner, TWinControl* alignTo, std::optional<SIZE> size) {
    if (owner == nullptr || (options_ & poEnabled) == 0 || RolledDown() || !owner->HandleAllocated())
        return;
    bool allow = true;
    DoRollDown(allow);
    if (!allow)
        return;
    owner_ = owner;
    EnsureWindow();
    state_ = static_cast<std::uint16_t>((state_ | dsRolledDown) & ~(dsAbove | dsBelow));
    if (alignTo == nullptr || !alignTo->HandleAllocated())
        alignTo = owner;

    const HCURSOR cursor = ::SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    int width = Width();
    int height = Height();
    if ((options_ & poPersistentSizing) == 0 || (state_ & dsShownOnce) == 0) {
        width = size && size->cx > 0 ? size->cx : alignTo->Width();
        height = size && size->cy > 0
                     ? size->cy
                     : GetSystemMetrics(SM_CYFRAME) + RowHeight() * static_cast<int>(DropDownCount);
    }
    const TComboRect aligned = ScreenRectOf(alignTo->Handle());
    const TDropDownPlacement placement = PlaceDropDown(aligned, width, height, MonitorWorkArea(aligned));
    state_ |= placement.Above ? dsAbove : dsBelow;
    SetBounds(placement.Bounds.Left, placement.Bounds.Top, placement.Bounds.Width(),
              placement.Bounds.Height());
    Realign();
    DoRollDownInit();
    Show(placement.Above);
    state_ |= dsShownOnce;
    ::SetCursor(cursor);
    RunLoop();
}

void TDropDownWnd::Show(bool above) {
    bool animate = (options_ & poAnimated) != 0 && AnimationSpeed > 0;
    if (animate && (options_ & poRespectSysAnimationFlag) != 0) {
        BOOL systemAnimates = FALSE;
        SystemParametersInfoW(SPI_GETCOMBOBOXANIMATION, 0, &systemAnimates, 0);
        animate = systemAnimates != FALSE;
    }
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!animate || !AnimateWindow(Handle(), static_cast<DWORD>(AnimationSpeed),
                                   AW_SLIDE | (above ? AW_VER_NEGATIVE : AW_VER_POSITIVE)))
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetVisible(true);
    UpdateWindow(Handle());
}

void TDropDownWnd::RollUp(bool selected) {
    if (!RolledDown())
        return;
    if (HWND capture = GetCapture();
        capture != nullptr && (capture == Handle() || IsChild(Handle(), capture)))
        ReleaseCapture();
    state_ = static_cast<std::uint16_t>(state_ & ~dsRolledDown);
    ShowWindow(Handle(), SW_HIDE);
    SetVisible(false);
    if (owner_ != nullptr && owner_->HandleAllocated()) {
        if (TForm* form = owner_->ParentForm(); form != nullptr && form->HandleAllocated())
            UpdateWindow(form->Handle());
        if (owner_->CanFocus())
            owner_->SetFocus();
    }
    DoRollUp(selected);
    StopAutoScroll();
}

void TDropDownWnd::RunLoop() {
    MSG message{};
    while (RolledDown()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // The application is ending: roll up and leave the quit for the loop that owns it.
            RollUp(false);
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got == -1) {
            RollUp(false);
            return;
        }
        LoopMessage(message);
    }
}

void TDropDownWnd::LoopMessage(MSG& message) {
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_CHAR: {
        bool handled = false;
        DoKey(message, handled);
        if (handled || !RolledDown())
            return;
        if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
            RollUp(true);
            return;
        }
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
            RollUp(false);
            return;
        }
        break;
    }
    case WM_MOUSEWHEEL:
        if (content_ != nullptr && content_->HandleAllocated())
            message.hwnd = content_->Handle();
        DispatchMessageW(&message);
        UpdateScrollbar();
        return;
    default:
        if (EndsWithoutSelection(message.message)) {
            RollUp(false);
            return;
        }
        if (IsButtonDown(message.message) && OutsideClick(message)) {
            if (IsOwnerWindow(message.hwnd))
                break; // the owner decides what its own click does
            RollUp(false);
            return; // swallowed: the click only closes the drop-down
        }
        break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool TDropDownWnd::OutsideClick(const MSG& message) {
    POINT screen{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
    ::ClientToScreen(message.hwnd, &screen);
    RECT client{};
    GetClientRect(Handle(), &client);
    MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    return PtInRect(&client, screen) == FALSE;
}

LRESULT TDropDownWnd::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ACTIVATE:
        // The owner's caption stays active while the popup shows.
        if (LOWORD(wParam) != WA_INACTIVE && lParam != 0)
            SendMessageW(reinterpret_cast<HWND>(lParam), WM_NCACTIVATE, TRUE, 0);
        break;
    case WM_ACTIVATEAPP:
        if (wParam == FALSE)
            RollUp(false);
        return 0;
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lParam) == scrollbar_.Handle()) {
            ScrollContent(LOWORD(wParam));
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == DropDownAutoScrollTimer) {
            AutoScrollTick();
            return 0;
        }
        break;
    default:
        break;
    }
    return TCustomControl::WndProc(message, wParam, lParam);
}

void TDropDownWnd::Resize() {
    TCustomControl::Resize();
    Realign();
}

void TDropDownWnd::Paint() {
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    FillRect(Canvas().Handle(), &r, GetSysColorBrush(COLOR_WINDOW));
}

void TDropDownWnd::RealignChildren(int width, int height) {
    TDropDownLayoutInput input;
    input.Width = width;
    input.Height = height;
    input.Above = (state_ & dsAbove) != 0;
    input.RightToLeft = (state_ & dsRightToLeft) != 0;
    input.Sizeable = (options_ & poSizeable) != 0;
    input.ScrollbarShown = scrollbar_.Visible();
    input.ScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    input.ScrollHeight = GetSystemMetrics(SM_CYVSCROLL);
    const TDropDownLayout layout = LayoutDropDown(input);
    grip_.SetVisible(input.Sizeable);
    grip_.SetBounds(layout.Grip.Left, layout.Grip.Top, layout.Grip.Width(), layout.Grip.Height());
    scrollbar_.SetBounds(layout.Scrollbar.Left, layout.Scrollbar.Top, layout.Scrollbar.Width(),
                         layout.Scrollbar.Height());
    if (content_ != nullptr)
        content_->SetBounds(layout.Content.Left, layout.Content.Top, layout.Content.Width(),
                            layout.Content.Height());
    // Without the bar the grip stands over the content's corner.
    if (!input.ScrollbarShown && grip_.HandleAllocated())
        SetWindowPos(grip_.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TDropDownWnd::ScrollContent(WORD code) {
    if (content_ != nullptr && content_->HandleAllocated())
        SendMessageW(content_->Handle(), WM_VSCROLL, MAKEWPARAM(code, 0), 0);
    UpdateScrollbar();
}

void TDropDownWnd::AutoScrollFor(int y) {
    if (content_ == nullptr)
        return;
    const int height = content_->ClientHeight();
    std::uint16_t direction = 0;
    int distance = 0;
    if (y < 0) {
        direction = dsAutoScrollUp;
        distance = -y;
    } else if (y >= height) {
        direction = dsAutoScrollDown;
        distance = y - height + 1;
    }
    if (direction == 0) {
        StopAutoScroll();
        return;
    }
    const std::uint16_t speed = distance <= DropDownAutoScrollZone ? dsAutoScrollSlow : dsAutoScrollFast;
    const std::uint16_t wanted = direction | speed;
    const std::uint16_t mask = dsAutoScrollUp | dsAutoScrollDown | dsAutoScrollFast | dsAutoScrollSlow;
    if (autoScrolling_ && (state_ & mask) == wanted)
        return;
    state_ = static_cast<std::uint16_t>((state_ & ~mask) | wanted);
    autoScrolling_ = true;
    SetTimer(
        Handle(), DropDownAutoScrollTimer,
        static_cast<UINT>(std::max(speed == dsAutoScrollSlow ? AutoScrollTimeSlow : AutoScrollTimeFast, 1)),
        nullptr);
}

void TDropDownWnd::StopAutoScroll() {
    if (!autoScrolling_)
        return;
    autoScrolling_ = false;
    state_ = static_cast<std::uint16_t>(
        state_ & ~(dsAutoScrollUp | dsAutoScrollDown | dsAutoScrollFast | dsAutoScrollSlow));
    if (HandleAllocated())
        KillTimer(Handle(), DropDownAutoScrollTimer);
}

void TDropDownWnd::AutoScrollTick() {
    if (!autoScrolling_ || content_ == nullptr || !content_->HandleAllocated())
        return;
    const WORD code = (state_ & dsAutoScrollUp) != 0 ? SB_LINEUP : SB_LINEDOWN;
    SendMessageW(content_->Handle(), WM_VSCROLL, MAKEWPARAM(code, 0), 0);
    UpdateScrollbar();
}

} // namespace tarvola
