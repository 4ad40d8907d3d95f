#include "forms/Hints.h"

#include "forms/Application.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>
#include <unordered_set>

namespace tarvola {

namespace {

constexpr wchar_t kHintWindowClass[] = L"TarvolaHintWindow";
// The identity of the layer's own hint window class.
constexpr char kOwnHintWindow = 0;
// How far below the cursor's hot spot a hint starts, so that the cursor does not cover it.
constexpr int kCursorMargin = 20;

std::unordered_set<THintController*>& LiveControllers() {
    static std::unordered_set<THintController*> controllers;
    return controllers;
}

THintController*& ActiveController() {
    static THintController* active = nullptr;
    return active;
}

void RegisterHintWindowClass(WNDPROC procedure) {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSW windowClass{};
    windowClass.style = CS_SAVEBITS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = kHintWindowClass;
    registered = RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool IsClosingMouseMessage(UINT message) {
    return message > WM_MOUSEMOVE && message <= WM_MOUSELAST;
}

bool IsNonClientButtonMessage(UINT message) {
    return message >= WM_NCLBUTTONDOWN && message <= WM_NCMBUTTONDBLCLK;
}

} // namespace

std::wstring GetShortHint(const std::wstring& hint) {
    const std::size_t bar = hint.find(L'|');
    return bar == std::wstring::npos ? hint : hint.substr(0, bar);
}

HFONT HintFont() {
    static HFONT font = [] {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
            if (HFONT made = CreateFontIndirectW(&metrics.lfStatusFont))
                return made;
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }();
    return font;
}

// ---- THintWindow

THintWindow::THintWindow() = default;

THintWindow::~THintWindow() {
    DestroyHandle();
}

void THintWindow::CreateParams(TParams& params) {
    params.Style = WS_POPUP | WS_BORDER;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
}

void THintWindow::HandleNeeded() {
    if (handle_ != nullptr)
        return;
    RegisterHintWindowClass(&THintWindow::WindowProc);
    TParams params;
    CreateParams(params);
    params.Style &= ~static_cast<DWORD>(WS_VISIBLE);
    HWND window = CreateWindowExW(params.ExStyle, kHintWindowClass, L"", params.Style, 0, 0, 0, 0, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), this);
    if (window == nullptr)
        throw std::runtime_error("Cannot create the hint window");
}

void THintWindow::DestroyHandle() {
    if (handle_ == nullptr)
        return;
    HWND window = handle_;
    handle_ = nullptr;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
}

bool THintWindow::Visible() const {
    return handle_ != nullptr && IsWindowVisible(handle_);
}

void THintWindow::ReleaseHint() {
    if (Visible())
        ShowWindow(handle_, SW_HIDE);
}

TRect THintWindow::BoundsRect() const {
    RECT r{};
    if (handle_ != nullptr)
        GetWindowRect(handle_, &r);
    return TRect{r.left, r.top, r.right, r.bottom};
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::wstring& hint, void*) {
    RECT r{0, 0, maxWidth, 0};
    HDC dc = GetDC(nullptr);
    if (dc == nullptr)
        return {};
    const HGDIOBJ previous = SelectObject(dc, HintFont());
    DrawTextW(dc, hint.c_str(), static_cast<int>(hint.size()), &r,
              DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    // Room for the border and a small margin around the text.
    return TRect{0, 0, r.right + 6, r.bottom + 4};
}

void THintWindow::ActivateHint(TRect rect, const std::wstring& hint) {
    caption_ = hint;
    HandleNeeded();
    SetWindowPos(handle_, HWND_TOPMOST, rect.Left, rect.Top, rect.Width(), rect.Height(),
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    InvalidateRect(handle_, nullptr, FALSE);
}

bool THintWindow::IsHintMsg(const MSG& message) {
    if (!Visible())
        return false;
    const UINT m = message.message;
    return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || IsClosingMouseMessage(m) || IsNonClientButtonMessage(m) ||
           m == WM_NCMOUSEMOVE || m == WM_COMMAND || m == WM_SYSCOMMAND || m == WM_ACTIVATE ||
           m == WM_ACTIVATEAPP;
}

void THintWindow::Paint(HDC dc) {
    RECT client{};
    GetClientRect(handle_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_INFOBK));
    const HGDIOBJ previous = SelectObject(dc, HintFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    RECT text{client.left + 2, client.top + 1, client.right - 2, client.bottom - 1};
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text,
              DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
}

LRESULT THintWindow::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT THintWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(handle_, &paint);
        if (dc != nullptr) {
            Paint(dc);
            EndPaint(handle_, &paint);
        }
        return 0;
    }
    case WM_NCHITTEST:
        // The mouse goes through the hint to what lies below it.
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefaultHandler(message, wParam, lParam);
    }
}

LRESULT CALLBACK THintWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* hint = static_cast<THintWindow*>(create->lpCreateParams);
        hint->handle_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(hint));
    }
    auto* hint = reinterpret_cast<THintWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (hint == nullptr || hint->handle_ != window)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        hint->handle_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return hint->WndProc(message, wParam, lParam);
    } catch (...) {
        Application().HandleException(std::current_exception());
        return 0;
    }
}

// ---- THintController

THintController::THintController(HWND control, std::function<std::wstring()> defaultHint)
    : control_(control), defaultHint_(std::move(defaultHint)) {
    LiveControllers().insert(this);
}

THintController::~THintController() {
    *alive_ = false;
    StopTimer();
    if (ActiveController() == this)
        ActiveController() = nullptr;
    LiveControllers().erase(this);
}

THintController* THintController::Active() {
    return ActiveController();
}

bool THintController::HintShowing() const {
    return showing_ && window_ != nullptr && window_->Visible();
}

void THintController::MessagePassing(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE:
        MouseMoved(TPoint{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return;
    case WM_MOUSELEAVE:
    case WM_DESTROY:
        CancelHint();
        mouseKnown_ = false;
        return;
    default:
        break;
    }
    if (showing_ && window_ != nullptr) {
        MSG passing{};
        passing.hwnd = control_;
        passing.message = message;
        passing.wParam = wParam;
        passing.lParam = lParam;
        if (window_->IsHintMsg(passing))
            CancelHint();
    }
}

void THintController::LoopMessage(const MSG& message) {
    // The control's own messages come through MessagePassing.
    if (message.hwnd == control_ || !showing_ || window_ == nullptr)
        return;
    if (window_->IsHintMsg(message))
        CancelHint();
}

void THintController::CancelHint() {
    StopTimer();
    showing_ = false;
    if (ActiveController() == this)
        ActiveController() = nullptr;
    if (window_ != nullptr)
        window_->ReleaseHint();
}

void THintController::MouseMoved(TPoint client) {
    const bool moved = !mouseKnown_ || client.X != lastPos_.X || client.Y != lastPos_.Y;
    lastPos_ = client;
    mouseKnown_ = true;
    if (!moved)
        return;
    if (showing_) {
        if (cursorRect_.Contains(client.X, client.Y))
            return;
        // Left the area of the hint: it goes, and the next one follows after the short pause.
        CancelHint();
        ArmShowTimer();
        return;
    }
    ArmShowTimer();
}

void THintController::ArmShowTimer() {
    const bool recently = window_ != nullptr && window_->Visible();
    int pause = recently ? HintShortPause : HintPause;
    SendMessageW(control_, CM_HINTSHOWPAUSE, recently ? 1 : 0, reinterpret_cast<LPARAM>(&pause));
    StartTimer(TTimerPurpose::Show, pause);
}

void THintController::StartTimer(TTimerPurpose purpose, int milliseconds) {
    timer_ = purpose;
    SetTimer(control_, reinterpret_cast<UINT_PTR>(this), static_cast<UINT>(std::max(milliseconds, 0)),
             &THintController::TimerProc);
}

void THintController::StopTimer() {
    if (timer_ == TTimerPurpose::None)
        return;
    timer_ = TTimerPurpose::None;
    KillTimer(control_, reinterpret_cast<UINT_PTR>(this));
}

void CALLBACK THintController::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    GuardCallback([id] {
        auto* controller = reinterpret_cast<THintController*>(id);
        // A timer of a controller that is gone may still be queued.
        if (LiveControllers().count(controller) != 0)
            controller->TimerFired();
    });
}

void THintController::TimerFired() {
    const TTimerPurpose purpose = timer_;
    StopTimer();
    if (purpose == TTimerPurpose::Show)
        ActivateHintNow();
    else if (purpose == TTimerPurpose::Hide)
        CancelHint();
}

void THintController::ActivateHintNow() {
    if (!mouseKnown_ || !IsWindow(control_) || !IsWindowVisible(control_))
        return;
    THintInfo info;
    info.HintControl = control_;
    info.CursorPos = lastPos_;
    POINT screen{lastPos_.X, lastPos_.Y};
    ClientToScreen(control_, &screen);
    info.HintPos = TPoint{screen.x, screen.y + kCursorMargin};
    RECT client{};
    GetClientRect(control_, &client);
    info.CursorRect = TRect{client.left, client.top, client.right, client.bottom};
    info.HintMaxWidth = GetSystemMetrics(SM_CXSCREEN);
    info.HideTimeout = HintHidePause;
    if (defaultHint_)
        info.HintStr = GetShortHint(defaultHint_());
    const std::weak_ptr<bool> alive = alive_;
    const LRESULT answer = SendMessageW(control_, CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    if (alive.expired())
        return;
    if (answer != 0 || info.HintStr.empty()) {
        CancelHint();
        return;
    }
    ShowRequested(info);
}

void THintController::ActivateHintAt(TPoint client) {
    StopTimer();
    lastPos_ = client;
    mouseKnown_ = true;
    ActivateHintNow();
}

THintWindow& THintController::WindowFor(const THintWindowClass& windowClass) {
    const void* id = windowClass.Empty() ? &kOwnHintWindow : windowClass.Id;
    if (window_ == nullptr || windowClassId_ != id) {
        window_ = windowClass.Empty() ? std::make_unique<THintWindow>() : windowClass.Make();
        windowClassId_ = window_ != nullptr ? id : nullptr;
        if (window_ == nullptr)
            throw std::runtime_error("The hint window could not be made");
    }
    return *window_;
}

void THintController::ShowRequested(THintInfo& info) {
    THintWindow& window = WindowFor(info.HintWindowClass);
    TRect rect = window.CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    if (rect.Width() <= 0 || rect.Height() <= 0) {
        CancelHint();
        return;
    }
    rect = TRect{rect.Left + info.HintPos.X, rect.Top + info.HintPos.Y, rect.Right + info.HintPos.X,
                 rect.Bottom + info.HintPos.Y};
    if (THintController* other = ActiveController(); other != nullptr && other != this)
        other->CancelHint();
    ActiveController() = this;
    cursorRect_ = info.CursorRect;
    showing_ = true;
    if (info.HideTimeout > 0)
        StartTimer(TTimerPurpose::Hide, info.HideTimeout);
    // The activation may animate and handle messages meanwhile; this controller may be gone when it returns.
    window.ActivateHint(rect, info.HintStr);
}

void HintLoopMessage(const MSG& message) {
    if (THintController* active = THintController::Active())
        active->LoopMessage(message);
}

} // namespace tarvola
