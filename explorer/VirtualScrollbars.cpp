#include "explorer/VirtualScrollbars.h"

#include <uxtheme.h>
#include <windowsx.h>
#include <vssym32.h>

#include <algorithm>

namespace tarvola {

namespace {

// Parts and states of the style's "SCROLLBAR" class.
constexpr int ThemeArrowPart = SBP_ARROWBTN;
constexpr int ThemeThumbPart = SBP_THUMBBTNVERT;
constexpr int ThemeLowerTrackPart = SBP_LOWERTRACKVERT;
constexpr int ThemeUpperTrackPart = SBP_UPPERTRACKVERT;
constexpr int ThemeGripperPart = SBP_GRIPPERVERT;

int ThemeStateIndex(TScrollPaintState state) {
    switch (state) {
    case TScrollPaintState::spsHot:
        return 1;
    case TScrollPaintState::spsPressed:
        return 2;
    case TScrollPaintState::spsDisabled:
        return 3;
    case TScrollPaintState::spsNormal:
        break;
    }
    return 0;
}

TScrollbarMetrics SystemMetrics() {
    return TScrollbarMetrics{GetSystemMetrics(SM_CYVSCROLL), GetSystemMetrics(SM_CYVTHUMB)};
}

} // namespace

// ---- TScrollBarColors

void TScrollBarColors::SetThumbButton(TColor value) {
    thumbButton_ = value;
    owner_.ColorsChanged();
}

void TScrollBarColors::SetBackground(TColor value) {
    background_ = value;
    owner_.ColorsChanged();
}

void TScrollBarColors::SetBackgroundBlend(TColor value) {
    backgroundBlend_ = value;
    owner_.ColorsChanged();
}

// ---- TCustomOwnerDrawScrollbar

TCustomOwnerDrawScrollbar::TCustomOwnerDrawScrollbar(TComponent* owner)
    : TCustomControl(owner), colors_(*this) {
    SetColor(clScrollBar);
    SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), 200);
}

TCustomOwnerDrawScrollbar::~TCustomOwnerDrawScrollbar() {
    CloseTheme();
    if (trackBrush_ != nullptr)
        DeleteObject(trackBrush_);
}

void TCustomOwnerDrawScrollbar::SetMin(int value) {
    values_.SetMin(value);
    Invalidate();
}

void TCustomOwnerDrawScrollbar::SetMax(int value) {
    values_.SetMax(value);
    Invalidate();
}

void TCustomOwnerDrawScrollbar::SetPageSize(int value) {
    values_.SetPageSize(value);
    Invalidate();
}

void TCustomOwnerDrawScrollbar::SetPosition(int value) {
    if (value == values_.Position())
        return;
    values_.SetPosition(value);
    if (HandleAllocated()) {
        InvalidateSpan(Layout().Track);
        UpdateWindow(Handle());
    }
}

void TCustomOwnerDrawScrollbar::SetFlat(bool value) {
    flat_ = value;
    Invalidate();
}

void TCustomOwnerDrawScrollbar::SetOptions(TScrollOptions value) {
    options_ = value;
    Invalidate();
}

bool TCustomOwnerDrawScrollbar::Themed() const {
    return (states_ & sbThemed) != 0 && (options_ & soThemeAware) != 0;
}

void TCustomOwnerDrawScrollbar::SetBounds(int left, int top, int, int height) {
    TCustomControl::SetBounds(left, top, GetSystemMetrics(SM_CXVSCROLL), height);
}

void TCustomOwnerDrawScrollbar::SetMetrics(const TScrollbarMetrics& metrics) {
    metrics_ = metrics;
    metricsSet_ = true;
    Invalidate();
}

TScrollbarLayout TCustomOwnerDrawScrollbar::Layout() const {
    return ComputeScrollbarLayout(ClientHeight(), metricsSet_ ? metrics_ : SystemMetrics(), values_);
}

void TCustomOwnerDrawScrollbar::ColorsChanged() {
    RebuildTrackBrush();
    Invalidate();
}

void TCustomOwnerDrawScrollbar::InitializeHandle() {
    TCustomControl::InitializeHandle();
    RebuildTrackBrush();
    SendMessageW(Handle(), WM_THEMECHANGED, 0, 0);
}

LRESULT TCustomOwnerDrawScrollbar::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ButtonDown(GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        ButtonUp();
        return 0;
    case WM_MOUSEMOVE:
        PointerMoved(GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_CAPTURECHANGED:
        // Losing the mouse to someone else ends a press as a release would, so no repeat runs on.
        if (reinterpret_cast<HWND>(lParam) != Handle() && (states_ & sbLeftButtonDown) != 0)
            ButtonUp();
        return 0;
    case WM_SYSCOLORCHANGE:
        RebuildTrackBrush();
        Invalidate();
        return 0;
    case WM_THEMECHANGED:
        CloseTheme();
        OpenTheme();
        Invalidate();
        return 0;
    case WM_TIMER:
        TimerFired(wParam);
        return 0;
    default:
        return TCustomControl::WndProc(message, wParam, lParam);
    }
}

// ---- Input

void TCustomOwnerDrawScrollbar::ButtonDown(int y) {
    const TScrollbarLayout layout = Layout();
    std::uint16_t pressed = 0;
    switch (layout.ElementAt(y)) {
    case TScrollbarElement::seUpArrow:
        pressed = sbUpPressed;
        break;
    case TScrollbarElement::seDownArrow:
        pressed = sbDownPressed;
        break;
    case TScrollbarElement::seThumb:
        pressed = sbThumbPressed;
        break;
    case TScrollbarElement::sePageUp:
        pressed = sbPageUpPressed;
        break;
    case TScrollbarElement::sePageDown:
        pressed = sbPageDownPressed;
        break;
    case TScrollbarElement::seNone:
        return;
    }
    SetCapture(Handle());
    SetStates(static_cast<std::uint16_t>(
        (states_ & ~(sbThumbPressed | sbDownPressed | sbUpPressed | sbPageDownPressed | sbPageUpPressed)) |
        pressed | sbLeftButtonDown | sbPointerInPressed));
    if (pressed != sbThumbPressed)
        StepPressedElement();
    SetTimer(Handle(), ScrollFirstDelayTimer, ScrollFirstDelay, nullptr);
}

void TCustomOwnerDrawScrollbar::ButtonUp() {
    const bool wasDragging = (states_ & sbThumbPressed) != 0;
    StopRepeat();
    SetStates(static_cast<std::uint16_t>(states_ &
                                         ~(sbThumbPressed | sbDownPressed | sbUpPressed | sbPageDownPressed |
                                           sbPageUpPressed | sbLeftButtonDown | sbPointerInPressed)));
    if (GetCapture() == Handle())
        ReleaseCapture();
    if (wasDragging)
        Step(ScrollEnd);
}

void TCustomOwnerDrawScrollbar::PointerMoved(int y) {
    if (!hotTimerRunning_) {
        SetTimer(Handle(), ScrollHotTimer, ScrollHotInterval, nullptr);
        hotTimerRunning_ = true;
    }
    const TScrollbarLayout layout = Layout();
    const TScrollbarElement element = layout.ElementAt(y);
    std::uint16_t states = static_cast<std::uint16_t>(states_ & ~(sbUpHot | sbDownHot | sbThumbHot));
    if (element == TScrollbarElement::seUpArrow)
        states |= sbUpHot;
    else if (element == TScrollbarElement::seDownArrow)
        states |= sbDownHot;
    else if (element == TScrollbarElement::seThumb)
        states |= sbThumbHot;
    SetStates(states);

    if ((states_ & sbThumbPressed) != 0 && (states_ & sbLeftButtonDown) != 0) {
        SetPosition(ScrollbarPositionAt(layout, values_, y));
        Step(ScrollThumbTrack);
    }
}

void TCustomOwnerDrawScrollbar::TimerFired(UINT_PTR id) {
    switch (id) {
    case ScrollFirstDelayTimer:
        // The first delay is one-shot: it hands over to the repeat timer.
        KillTimer(Handle(), ScrollFirstDelayTimer);
        SetTimer(Handle(), ScrollRepeatTimer, static_cast<UINT>(std::max(repeatInterval_, 1)), nullptr);
        break;
    case ScrollRepeatTimer:
        StepPressedElement();
        break;
    case ScrollHotTimer: {
        POINT point{};
        GetCursorPos(&point);
        RECT window{};
        GetWindowRect(Handle(), &window);
        if (!PtInRect(&window, point)) {
            KillTimer(Handle(), ScrollHotTimer);
            hotTimerRunning_ = false;
            SetStates(static_cast<std::uint16_t>(states_ & ~(sbUpHot | sbDownHot | sbThumbHot)));
        }
        break;
    }
    default:
        break;
    }
}

// One step of the pressed arrow or page area; a page area steps only while the pointer is inside it.
void TCustomOwnerDrawScrollbar::StepPressedElement() {
    if ((states_ & sbUpPressed) != 0) {
        Step(ScrollLineUp);
        return;
    }
    if ((states_ & sbDownPressed) != 0) {
        Step(ScrollLineDown);
        return;
    }
    if ((states_ & (sbPageUpPressed | sbPageDownPressed)) == 0)
        return;
    POINT point{};
    GetCursorPos(&point);
    ::ScreenToClient(Handle(), &point);
    const TScrollbarLayout layout = Layout();
    const bool pageUp = (states_ & sbPageUpPressed) != 0;
    const TScrollbarSpan& area = pageUp ? layout.PageUp : layout.PageDown;
    // The first step comes from the click itself, before any pointer read could disagree with it.
    const bool inside = (states_ & sbPointerInPressed) != 0 ||
                        (area.Contains(point.y) && point.x >= 0 && point.x < ClientWidth());
    SetStates(static_cast<std::uint16_t>(states_ & ~sbPointerInPressed));
    if (inside)
        Step(pageUp ? ScrollPageUp : ScrollPageDown);
}

// With a target, the step goes to it as WM_VSCROLL (followed by an end-scroll unless it is a thumb track)
// and the target decides the position; without one, the bar moves itself.
void TCustomOwnerDrawScrollbar::Step(WORD code) {
    if (target_ != nullptr && target_->HandleAllocated()) {
        const WPARAM position = static_cast<WORD>(values_.Position());
        SendMessageW(target_->Handle(), WM_VSCROLL, MAKEWPARAM(code, position),
                     reinterpret_cast<LPARAM>(Handle()));
        if (code != ScrollThumbTrack && code != ScrollEnd)
            SendMessageW(target_->Handle(), WM_VSCROLL, MAKEWPARAM(ScrollEnd, position),
                         reinterpret_cast<LPARAM>(Handle()));
        return;
    }
    if (target_ != nullptr)
        return;
    const int position = values_.Position();
    switch (code) {
    case ScrollLineUp:
        SetPosition(position - std::min(smallChange_, position - values_.Min()));
        break;
    case ScrollLineDown:
        SetPosition(position + std::min(smallChange_, values_.LargestPosition() - position));
        break;
    case ScrollPageUp:
        SetPosition(position - std::min(largeChange_, position - values_.Min()));
        break;
    case ScrollPageDown:
        SetPosition(position + std::min(largeChange_, values_.LargestPosition() - position));
        break;
    default:
        break;
    }
}

void TCustomOwnerDrawScrollbar::StopRepeat() {
    if (!HandleAllocated())
        return;
    KillTimer(Handle(), ScrollFirstDelayTimer);
    KillTimer(Handle(), ScrollRepeatTimer);
}

// ---- State and invalidation

void TCustomOwnerDrawScrollbar::SetStates(std::uint16_t states) {
    const std::uint16_t before = states_;
    states_ = states;
    if (before != states && HandleAllocated()) {
        InvalidateChanged(before, states);
        UpdateWindow(Handle());
    }
}

void TCustomOwnerDrawScrollbar::InvalidateChanged(std::uint16_t before, std::uint16_t after) {
    const std::uint16_t changed = static_cast<std::uint16_t>(before ^ after);
    const TScrollbarLayout layout = Layout();
    if ((changed & (sbUpPressed | sbUpHot)) != 0)
        InvalidateSpan(layout.UpArrow);
    if ((changed & (sbDownPressed | sbDownHot)) != 0)
        InvalidateSpan(layout.DownArrow);
    if ((changed & (sbThumbPressed | sbThumbHot | sbPageUpPressed | sbPageDownPressed)) != 0)
        InvalidateSpan(layout.Track);
}

void TCustomOwnerDrawScrollbar::InvalidateSpan(const TScrollbarSpan& span) {
    const RECT rect = RectOf(span).ToRECT();
    InvalidateRect(Handle(), &rect, FALSE);
}

TRect TCustomOwnerDrawScrollbar::RectOf(const TScrollbarSpan& span) const {
    return TRect{0, span.Top, ClientWidth(), span.Bottom};
}

// ---- Painting

void TCustomOwnerDrawScrollbar::Paint() {
    PaintTo(Canvas());
}

void TCustomOwnerDrawScrollbar::PaintTo(TCanvas& canvas) {
    const TScrollbarLayout layout = Layout();
    PaintElement(canvas, TScrollPaintCycle::spcPageUp, layout.PageUp);
    PaintElement(canvas, TScrollPaintCycle::spcPageDown, layout.PageDown);
    PaintElement(canvas, TScrollPaintCycle::spcUpArrow, layout.UpArrow);
    PaintElement(canvas, TScrollPaintCycle::spcDownArrow, layout.DownArrow);
    PaintElement(canvas, TScrollPaintCycle::spcThumb, layout.Thumb);
}

TScrollPaintState TCustomOwnerDrawScrollbar::StateOf(TScrollPaintCycle cycle) const {
    if (!Enabled())
        return TScrollPaintState::spsDisabled;
    std::uint16_t pressed = 0, hot = 0;
    switch (cycle) {
    case TScrollPaintCycle::spcUpArrow:
        pressed = sbUpPressed;
        hot = sbUpHot;
        break;
    case TScrollPaintCycle::spcDownArrow:
        pressed = sbDownPressed;
        hot = sbDownHot;
        break;
    case TScrollPaintCycle::spcThumb:
        pressed = sbThumbPressed;
        hot = sbThumbHot;
        break;
    case TScrollPaintCycle::spcPageUp:
        pressed = sbPageUpPressed;
        break;
    case TScrollPaintCycle::spcPageDown:
        pressed = sbPageDownPressed;
        break;
    }
    if ((states_ & pressed) != 0)
        return TScrollPaintState::spsPressed;
    if ((states_ & hot) != 0)
        return TScrollPaintState::spsHot;
    return TScrollPaintState::spsNormal;
}

void TCustomOwnerDrawScrollbar::PaintElement(TCanvas& canvas, TScrollPaintCycle cycle,
                                             const TScrollbarSpan& span) {
    if (span.Height() <= 0)
        return;
    const TRect rect = RectOf(span);
    const TScrollPaintState state = StateOf(cycle);
    bool handled = false;
    if (OnScrollCustomPaint)
        OnScrollCustomPaint(*this, cycle, state, rect, canvas, handled);
    if (handled)
        return;
    if (Themed() && PaintThemed(canvas, cycle, state, rect))
        return;
    PaintClassic(canvas, cycle, state, rect);
}

bool TCustomOwnerDrawScrollbar::PaintThemed(TCanvas& canvas, TScrollPaintCycle cycle, TScrollPaintState state,
                                            const TRect& rect) {
    if (theme_ == nullptr)
        return false;
    const int offset = ThemeStateIndex(state);
    int part = 0, themeState = 0;
    switch (cycle) {
    case TScrollPaintCycle::spcUpArrow:
        part = ThemeArrowPart;
        themeState = ABS_UPNORMAL + offset;
        break;
    case TScrollPaintCycle::spcDownArrow:
        part = ThemeArrowPart;
        themeState = ABS_DOWNNORMAL + offset;
        break;
    case TScrollPaintCycle::spcThumb:
        part = ThemeThumbPart;
        themeState = SCRBS_NORMAL + offset;
        break;
    case TScrollPaintCycle::spcPageUp:
        part = ThemeUpperTrackPart;
        themeState = SCRBS_NORMAL + offset;
        break;
    case TScrollPaintCycle::spcPageDown:
        part = ThemeLowerTrackPart;
        themeState = SCRBS_NORMAL + offset;
        break;
    }
    const RECT r = rect.ToRECT();
    if (FAILED(DrawThemeBackground(theme_, canvas.Handle(), part, themeState, &r, nullptr)))
        return false;
    if (cycle == TScrollPaintCycle::spcThumb)
        DrawThemeBackground(theme_, canvas.Handle(), ThemeGripperPart, themeState, &r, nullptr);
    return true;
}

void TCustomOwnerDrawScrollbar::PaintClassic(TCanvas& canvas, TScrollPaintCycle cycle,
                                             TScrollPaintState state, const TRect& rect) {
    RECT r = rect.ToRECT();
    HDC dc = canvas.Handle();
    switch (cycle) {
    case TScrollPaintCycle::spcPageUp:
    case TScrollPaintCycle::spcPageDown:
        if (state == TScrollPaintState::spsPressed) {
            HBRUSH hot = CreateSolidBrush(ColorToRGB(colors_.PageScrollHot()));
            FillRect(dc, &r, hot);
            DeleteObject(hot);
        } else {
            if (trackBrush_ == nullptr)
                RebuildTrackBrush();
            SetBrushOrgEx(dc, 0, 0, nullptr);
            FillRect(dc, &r, trackBrush_);
        }
        break;
    case TScrollPaintCycle::spcUpArrow:
    case TScrollPaintCycle::spcDownArrow: {
        UINT flags = cycle == TScrollPaintCycle::spcUpArrow ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
        if (flat_)
            flags |= DFCS_FLAT;
        if (state == TScrollPaintState::spsPressed)
            flags |= DFCS_PUSHED | (flat_ ? 0 : DFCS_FLAT);
        if (state == TScrollPaintState::spsDisabled)
            flags |= DFCS_INACTIVE;
        DrawFrameControl(dc, &r, DFC_SCROLL, flags);
        break;
    }
    case TScrollPaintCycle::spcThumb: {
        HBRUSH face = CreateSolidBrush(ColorToRGB(colors_.ThumbButton()));
        FillRect(dc, &r, face);
        DeleteObject(face);
        if (flat_)
            FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        else
            DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
        break;
    }
    }
}

// The classic track: an 8 by 8 pattern in which a pixel whose x + y is odd takes Background and the others
// BackgroundBlend.
void TCustomOwnerDrawScrollbar::RebuildTrackBrush() {
    if (trackBrush_ != nullptr) {
        DeleteObject(trackBrush_);
        trackBrush_ = nullptr;
    }
    const COLORREF background = ColorToRGB(colors_.Background());
    const COLORREF blend = ColorToRGB(colors_.BackgroundBlend());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 8;
    info.bmiHeader.biHeight = -8;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    DWORD pixels[64];
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const COLORREF c = (x + y) % 2 == 1 ? background : blend;
            pixels[y * 8 + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    }
    HDC screen = GetDC(nullptr);
    HBITMAP pattern = CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, pixels, &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    trackBrush_ = CreatePatternBrush(pattern);
    DeleteObject(pattern);
}

// ---- Theme

void TCustomOwnerDrawScrollbar::OpenTheme() {
    states_ = static_cast<std::uint16_t>(states_ & ~sbThemed);
    if (!HandleAllocated() || !IsThemeActive())
        return;
    theme_ = OpenThemeData(Handle(), L"SCROLLBAR");
    if (theme_ != nullptr)
        states_ |= sbThemed;
}

void TCustomOwnerDrawScrollbar::CloseTheme() {
    if (theme_ != nullptr) {
        CloseThemeData(theme_);
        theme_ = nullptr;
    }
    states_ = static_cast<std::uint16_t>(states_ & ~sbThemed);
}

} // namespace tarvola
