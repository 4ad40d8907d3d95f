#include "forms/Controls.h"

#include "forms/Application.h"
#include "forms/ControlRegistry.h"
#include "forms/Form.h"
#include "forms/Menus.h"
#include "forms/Win32Procs.h"
#include "forms/WindowCreation.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tarvola {

namespace {

// The key handlers speak the code page. A typed character it cannot spell reaches them as this stand-in;
// left alone, it goes on to the window as it was typed.
constexpr char kKeyStandIn = static_cast<char>(0xFF);

char CodePageCharOf(wchar_t typed) {
    if (typed < 0x80) {
        return static_cast<char>(typed);
    }
    char bytes[2] = {};
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &typed, 1, bytes, sizeof bytes,
                                         nullptr, &usedDefault);
    return size == 1 && !usedDefault ? bytes[0] : kKeyStandIn;
}

WPARAM WideCharOf(char key) {
    wchar_t wide = 0;
    if (MultiByteToWideChar(CP_ACP, 0, &key, 1, &wide, 1) == 1) {
        return wide;
    }
    return static_cast<unsigned char>(key);
}

TMouseButton ButtonOf(UINT message) {
    switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return TMouseButton::mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        return TMouseButton::mbMiddle;
    default:
        return TMouseButton::mbLeft;
    }
}

} // namespace

TShiftState ShiftStateFromKeys(WPARAM mouseKeys) {
    TShiftState shift = 0;
    if ((mouseKeys & MK_SHIFT) != 0) {
        shift |= ssShift;
    }
    if ((mouseKeys & MK_CONTROL) != 0) {
        shift |= ssCtrl;
    }
    if ((mouseKeys & MK_LBUTTON) != 0) {
        shift |= ssLeft;
    }
    if ((mouseKeys & MK_RBUTTON) != 0) {
        shift |= ssRight;
    }
    if ((mouseKeys & MK_MBUTTON) != 0) {
        shift |= ssMiddle;
    }
    if (GetKeyState(VK_MENU) < 0) {
        shift |= ssAlt;
    }
    return shift;
}

TShiftState CurrentShiftState() {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) {
        shift |= ssShift;
    }
    if (GetKeyState(VK_CONTROL) < 0) {
        shift |= ssCtrl;
    }
    if (GetKeyState(VK_MENU) < 0) {
        shift |= ssAlt;
    }
    return shift;
}

HCURSOR CursorHandle(TCursor cursor) {
    const char* id = IDC_ARROW;
    switch (cursor) {
    case TCursor::crHandPoint:
        id = IDC_HAND;
        break;
    case TCursor::crIBeam:
        id = IDC_IBEAM;
        break;
    case TCursor::crHourGlass:
        id = IDC_WAIT;
        break;
    case TCursor::crCross:
        id = IDC_CROSS;
        break;
    case TCursor::crSizeWE:
        id = IDC_SIZEWE;
        break;
    case TCursor::crSizeNS:
        id = IDC_SIZENS;
        break;
    case TCursor::crNo:
        id = IDC_NO;
        break;
    case TCursor::crDefault:
    case TCursor::crArrow:
        break;
    }
    return LoadCursorA(nullptr, id);
}

TCursor PropCursor(std::string_view value, std::string_view property) {
    return PropChoice<TCursor>(value, property,
                               {{"crDefault", TCursor::crDefault},
                                {"crArrow", TCursor::crArrow},
                                {"crHandPoint", TCursor::crHandPoint},
                                {"crIBeam", TCursor::crIBeam},
                                {"crHourGlass", TCursor::crHourGlass},
                                {"crCross", TCursor::crCross},
                                {"crSizeWE", TCursor::crSizeWE},
                                {"crSizeNS", TCursor::crSizeNS},
                                {"crNo", TCursor::crNo}});
}

// ---- TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {
    font_.OnChange = [this] {
        if (!adoptingFont_) {
            parentFont_ = false;
        }
        FontChanged();
    };
}

TControl::~TControl() {
    font_.OnChange = nullptr;
    if (parent_ != nullptr) {
        auto& siblings = parent_->controls_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        if (parent_->hotChild_ == this) {
            parent_->hotChild_ = nullptr;
        }
        if (parent_->captureTarget_ == this) {
            parent_->captureTarget_ = nullptr;
        }
        parent_ = nullptr;
    }
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) {
        return;
    }
    if (parent_ != nullptr) {
        auto& siblings = parent_->controls_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        if (parent_->hotChild_ == this) {
            parent_->hotChild_ = nullptr;
        }
        if (parent_->captureTarget_ == this) {
            parent_->captureTarget_ = nullptr;
        }
    }
    parent_ = parent;
    if (parent_ != nullptr) {
        parent_->controls_.push_back(this);
        AdoptParentFont();
        AdoptParentColor();
    }
    ParentChanged();
}

void TControl::SetParentComponent(TComponent& parent) {
    auto* window = dynamic_cast<TWinControl*>(&parent);
    if (window == nullptr) {
        TComponent::SetParentComponent(parent);
    }
    SetParent(window);
}

TForm* TControl::ParentForm() const {
    const TControl* control = this;
    while (control != nullptr) {
        if (auto* form = dynamic_cast<TForm*>(const_cast<TControl*>(control))) {
            return form;
        }
        control = control->parent_;
    }
    return nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == left_ && top == top_ && width == width_ && height == height_) {
        return;
    }
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    BoundsChanged();
}

void TControl::StoreBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

TPoint TControl::ClientToScreen(TPoint point) const {
    const TControl* control = this;
    while (control != nullptr) {
        if (auto* window = dynamic_cast<const TWinControl*>(control); window && window->HandleAllocated()) {
            POINT p{point.X, point.Y};
            ::ClientToScreen(window->Handle(), &p);
            return TPoint{p.x, p.y};
        }
        point.X += control->left_;
        point.Y += control->top_;
        control = control->parent_;
    }
    return point;
}

TPoint TControl::ScreenToClient(TPoint point) const {
    const TPoint origin = ClientToScreen(TPoint{0, 0});
    return TPoint{point.X - origin.X, point.Y - origin.Y};
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) {
        return;
    }
    visible_ = visible;
    VisibleChanged();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    EnabledChanged();
}

void TControl::SetCaption(std::string_view caption) {
    if (caption == caption_) {
        return;
    }
    caption_ = std::string(caption);
    TextChanged();
}

void TControl::SetParentFont(bool parentFont) {
    parentFont_ = parentFont;
    if (parentFont_) {
        AdoptParentFont();
    }
}

void TControl::AdoptParentFont() {
    if (!parentFont_ || parent_ == nullptr) {
        return;
    }
    const TFont& source = parent_->FontForChildren();
    if (source.SameAs(font_)) {
        return;
    }
    adoptingFont_ = true;
    font_.Assign(source);
    adoptingFont_ = false;
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    if (color == color_) {
        return;
    }
    color_ = color;
    ColorChanged();
}

void TControl::SetParentColor(bool parentColor) {
    parentColor_ = parentColor;
    AdoptParentColor();
}

void TControl::AdoptParentColor() {
    if (!parentColor_ || parent_ == nullptr || parent_->Color() == color_) {
        return;
    }
    color_ = parent_->Color();
    ColorChanged();
}

void TControl::SetCursor(TCursor cursor) {
    cursor_ = cursor;
    CursorChanged();
}

void TControl::SetHint(std::string hint) {
    hint_ = std::move(hint);
    HintChanged();
}

bool TControl::ShowHint() const {
    if (parentShowHint_ && parent_ != nullptr) {
        return parent_->ShowHint();
    }
    return showHint_;
}

void TControl::SetShowHint(bool showHint) {
    showHint_ = showHint;
    parentShowHint_ = false;
    HintChanged();
}

void TControl::Click() {
    if (OnClick) {
        OnClick(*this);
    }
}

void TControl::DblClick() {
    if (OnDblClick) {
        OnDblClick(*this);
    }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) {
        OnMouseDown(*this, button, shift, x, y);
    }
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) {
        OnMouseUp(*this, button, shift, x, y);
    }
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) {
        OnMouseMove(*this, shift, x, y);
    }
}

void TControl::MouseEnter() {
    if (OnMouseEnter) {
        OnMouseEnter(*this);
    }
}

void TControl::MouseLeave() {
    if (OnMouseLeave) {
        OnMouseLeave(*this);
    }
}

void TControl::SetProperty(std::string_view name, std::string_view value) {
    if (font_.SetFontProperty(name, value)) {
        return;
    }
    if (name == "Left") {
        SetLeft(PropInteger(value, name));
    } else if (name == "Top") {
        SetTop(PropInteger(value, name));
    } else if (name == "Width") {
        SetWidth(PropInteger(value, name));
    } else if (name == "Height") {
        SetHeight(PropInteger(value, name));
    } else if (name == "Caption" || name == "Text") {
        SetCaption(value);
    } else if (name == "Visible") {
        SetVisible(PropBoolean(value, name));
    } else if (name == "Enabled") {
        SetEnabled(PropBoolean(value, name));
    } else if (name == "Color") {
        SetColor(PropColor(value, name));
    } else if (name == "ParentColor") {
        SetParentColor(PropBoolean(value, name));
    } else if (name == "ParentFont") {
        SetParentFont(PropBoolean(value, name));
    } else if (name == "Cursor") {
        SetCursor(PropCursor(value, name));
    } else if (name == "Hint") {
        SetHint(std::string(value));
    } else if (name == "ShowHint") {
        SetShowHint(PropBoolean(value, name));
    } else {
        TComponent::SetProperty(name, value);
    }
}

// ---- TGraphicControl

TGraphicControl::~TGraphicControl() {
    if (Parent() != nullptr && Visible()) {
        InvalidateParentArea();
    }
}

void TGraphicControl::InvalidateParentArea() {
    TWinControl* parent = Parent();
    if (parent == nullptr || !parent->HandleAllocated()) {
        return;
    }
    RECT old = paintedBounds_.ToRECT();
    InvalidateRect(parent->Handle(), &old, TRUE);
    RECT now = BoundsRect().ToRECT();
    InvalidateRect(parent->Handle(), &now, TRUE);
    paintedBounds_ = BoundsRect();
}

void TGraphicControl::Invalidate() {
    if (Visible()) {
        InvalidateParentArea();
    }
}

void TGraphicControl::Update() {
    if (Parent() != nullptr) {
        Parent()->Update();
    }
}

void TGraphicControl::BoundsChanged() {
    InvalidateParentArea();
}

// ---- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    // The owned components go first, while this window still stands.
    DestroyComponents();
    for (TControl* child : controls_) {
        child->parent_ = nullptr;
    }
    controls_.clear();
    DestroyHandle();
    if (colorBrush_ != nullptr) {
        DeleteObject(colorBrush_);
    }
}

TWinControl* TWinControl::FromHandle(HWND window) {
    if (window == nullptr) {
        return nullptr;
    }
    return ControlRegistry().Find(window);
}

TControl& TWinControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount()) {
        throw EComponentError("Control index out of range");
    }
    return *controls_[static_cast<std::size_t>(index)];
}

TGraphicControl* TWinControl::GraphicControlAt(int x, int y) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        auto* graphic = dynamic_cast<TGraphicControl*>(*it);
        if (graphic != nullptr && graphic->Visible() && graphic->BoundsRect().Contains(x, y)) {
            return graphic;
        }
    }
    return nullptr;
}

void TWinControl::SetParent(TWinControl* parent) {
    if (parent == Parent()) {
        return;
    }
    TControl::SetParent(parent);
    if (parent == nullptr) {
        DestroyHandle();
    } else if (parent->HandleAllocated()) {
        if (HandleAllocated()) {
            ::SetParent(handle_, parent->Handle());
        } else {
            CreateHandle();
        }
    }
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_GROUP;
    params.exStyle = WS_EX_CONTROLPARENT;
    if (Parent() != nullptr) {
        params.parentWindow = Parent()->Handle();
    }
}

void TWinControl::CreateHandle() {
    if (handle_ != nullptr) {
        return;
    }
    TCreateParams params;
    CreateParams(params);
    if (Visible()) {
        params.style |= WS_VISIBLE;
    }
    if (!Enabled()) {
        params.style |= WS_DISABLED;
    }
    if (tabStop_) {
        params.style |= WS_TABSTOP;
    }
    const bool own = params.className.empty();
    if (own) {
        RegisterOwnWindowClass(&TWinControl::WindowProc);
    }
    creating_ = true;
    windowWidth_ = Width();
    windowHeight_ = Height();
    HWND window = CreateControlWindow(params, Caption(), BoundsRect(), this);
    creating_ = false;
    if (window == nullptr) {
        throw std::runtime_error("Cannot create the window of " + Name());
    }
    if (!own) {
        handle_ = window;
        ControlRegistry().Enter(window, this);
        nativeProc_ = ReplaceWindowProc(window, &TWinControl::WindowProc);
    }
    if ((params.style & WS_CHILD) != 0) {
        // Creation order is the order of tabbing and of overlap: later siblings go below earlier ones.
        SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    InitializeHandle();
    // Children given to this control before it had a window get theirs now, in order.
    for (TControl* child : controls_) {
        if (auto* window = dynamic_cast<TWinControl*>(child); window && !window->HandleAllocated()) {
            window->CreateHandle();
        }
    }
}

void TWinControl::InitializeHandle() {
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
    UpdateToolTip();
}

void TWinControl::DestroyHandle() {
    if (handle_ == nullptr) {
        return;
    }
    HWND window = handle_;
    DestroyWindow(window);
    // WM_NCDESTROY has detached us; a window of another thread or a failed destroy is detached here.
    if (handle_ == window) {
        Detach(window);
    }
}

void TWinControl::Detach(HWND window) {
    ControlRegistry().Remove(window);
    if (nativeProc_ != nullptr) {
        ReplaceWindowProc(window, nativeProc_);
        nativeProc_ = nullptr;
    }
    // A linked window destroyed before this one leaves its entry too.
    for (HWND linked : linkedWindows_) {
        ControlRegistry().Remove(linked);
    }
    linkedWindows_.clear();
    handle_ = nullptr;
    captureTarget_ = nullptr;
    hotChild_ = nullptr;
    mouseInside_ = false;
}

void TWinControl::RecreateWnd() {
    if (handle_ == nullptr) {
        return;
    }
    const bool hadFocus = Focused();
    DestroyHandle();
    CreateHandle();
    if (hadFocus) {
        SetFocus();
    }
}

void TWinControl::ChangeStyle(DWORD add, DWORD remove) {
    if (handle_ == nullptr) {
        return;
    }
    const LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
    SetWindowLongPtrA(handle_, GWL_STYLE,
                      (style & ~static_cast<LONG_PTR>(remove)) | static_cast<LONG_PTR>(add));
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::LinkWindow(HWND window) {
    ControlRegistry().Enter(window, this);
    linkedWindows_.push_back(window);
}

int TWinControl::ClientWidth() const {
    if (handle_ == nullptr) {
        return Width();
    }
    RECT client{};
    GetClientRect(handle_, &client);
    return client.right;
}

int TWinControl::ClientHeight() const {
    if (handle_ == nullptr) {
        return Height();
    }
    RECT client{};
    GetClientRect(handle_, &client);
    return client.bottom;
}

bool TWinControl::Focused() const {
    return handle_ != nullptr && GetFocus() == handle_;
}

bool TWinControl::CanFocus() const {
    for (const TControl* control = this; control != nullptr; control = control->Parent()) {
        if (!control->Visible() || !control->Enabled()) {
            return false;
        }
    }
    return handle_ != nullptr;
}

void TWinControl::SetFocus() {
    if (handle_ != nullptr) {
        ::SetFocus(handle_);
    }
}

void TWinControl::SetTabStop(bool tabStop) {
    tabStop_ = tabStop;
    if (tabStop) {
        ChangeStyle(WS_TABSTOP, 0);
    } else {
        ChangeStyle(0, WS_TABSTOP);
    }
}

void TWinControl::Invalidate() {
    if (handle_ != nullptr) {
        InvalidateRect(handle_, nullptr, TRUE);
    }
}

void TWinControl::Update() {
    if (handle_ != nullptr) {
        UpdateWindow(handle_);
    }
}

LRESULT TWinControl::Perform(UINT message, WPARAM wParam, LPARAM lParam) {
    return handle_ != nullptr ? SendMessageA(handle_, message, wParam, lParam) : 0;
}

void TWinControl::BoundsChanged() {
    if (handle_ != nullptr) {
        SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TWinControl::VisibleChanged() {
    if (handle_ != nullptr) {
        ShowWindow(handle_, Visible() ? SW_SHOWNA : SW_HIDE);
    }
}

void TWinControl::EnabledChanged() {
    if (handle_ != nullptr) {
        EnableWindow(handle_, Enabled());
        InvalidateRect(handle_, nullptr, TRUE);
    }
}

void TWinControl::TextChanged() {
    if (handle_ != nullptr) {
        SetWindowTextA(handle_, Caption().c_str());
        if (IsOwnWindow()) {
            Invalidate();
        }
    }
}

void TWinControl::FontChanged() {
    if (handle_ != nullptr) {
        SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
        Invalidate();
    }
    for (TControl* child : controls_) {
        child->AdoptParentFont();
    }
}

void TWinControl::ColorChanged() {
    Invalidate();
    for (TControl* child : controls_) {
        child->AdoptParentColor();
    }
}

void TWinControl::HintChanged() {
    UpdateToolTip();
    // Children that follow this control's ShowHint follow its change.
    for (TControl* child : controls_) {
        if (child->parentShowHint_) {
            child->HintChanged();
        }
    }
}

void TWinControl::UpdateToolTip() {
    if (handle_ == nullptr) {
        return;
    }
    HWND tip = Application().HintWindow();
    if (tip == nullptr) {
        return;
    }
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(handle_) != nullptr ? GetParent(handle_) : handle_;
    tool.uId = reinterpret_cast<UINT_PTR>(handle_);
    SendMessageA(tip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    if (ShowHint() && !Hint().empty() && !HasOwnHints()) {
        tool.lpszText = const_cast<char*>(Hint().c_str());
        SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

HBRUSH TWinControl::ColorBrush() {
    if (colorBrush_ == nullptr || brushColor_ != Color()) {
        if (colorBrush_ != nullptr) {
            DeleteObject(colorBrush_);
        }
        colorBrush_ = CreateSolidBrush(ColorToRGB(Color()));
        brushColor_ = Color();
    }
    return colorBrush_;
}

HBRUSH TWinControl::CtlColor(HDC dc) {
    SetTextColor(dc, ColorToRGB(Enabled() ? Font().Color() : clGrayText));
    SetBkColor(dc, ColorToRGB(Color()));
    return ColorBrush();
}

void TWinControl::Resize() {
    if (OnResize) {
        OnResize(*this);
    }
}

void TWinControl::PaintWindow(TCanvas& canvas) {
    canvas.Brush.Color = Color();
    canvas.Brush.Style = TBrushStyle::bsSolid;
    canvas.FillRect(ClientRect());
}

void TWinControl::PaintGraphicChildren(HDC dc, const RECT& area) {
    for (TControl* child : controls_) {
        auto* graphic = dynamic_cast<TGraphicControl*>(child);
        if (graphic == nullptr || !graphic->Visible()) {
            continue;
        }
        RECT bounds = graphic->BoundsRect().ToRECT();
        RECT overlap{};
        if (!IntersectRect(&overlap, &bounds, &area)) {
            continue;
        }
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
        POINT origin{};
        GetViewportOrgEx(dc, &origin);
        SetViewportOrgEx(dc, origin.x + bounds.left, origin.y + bounds.top, nullptr);
        {
            TCanvas canvas(dc);
            graphic->Paint(canvas);
        }
        RestoreDC(dc, saved);
    }
}

void TWinControl::PaintOwnWindow(HDC dc) {
    {
        TCanvas canvas(dc);
        PaintWindow(canvas);
    }
    RECT all{0, 0, ClientWidth(), ClientHeight()};
    PaintGraphicChildren(dc, all);
}

void TWinControl::HandlePaint() {
    PAINTSTRUCT paint{};
    HDC screen = BeginPaint(handle_, &paint);
    const int width = std::max(ClientWidth(), 1);
    const int height = std::max(ClientHeight(), 1);
    try {
        TBitmap buffer(width, height);
        PaintOwnWindow(buffer.DC());
        BitBlt(screen, 0, 0, width, height, buffer.DC(), 0, 0, SRCCOPY);
    } catch (...) {
        EndPaint(handle_, &paint);
        throw;
    }
    EndPaint(handle_, &paint);
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
    if (handle_ == nullptr || !Visible()) {
        return;
    }
    const int saved = SaveDC(dc);
    POINT origin{};
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x + x, origin.y + y, nullptr);
    IntersectClipRect(dc, 0, 0, Width(), Height());
    if (IsOwnWindow()) {
        PaintOwnWindow(dc);
    } else {
        SendMessageA(handle_, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                     PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    }
    RestoreDC(dc, saved);
    for (TControl* child : controls_) {
        if (auto* window = dynamic_cast<TWinControl*>(child)) {
            window->PaintTo(dc, x + window->Left(), y + window->Top());
        }
    }
}

void TWinControl::WindowMoved() {
    // A minimised window keeps the position it returns to (the one a program saves at exit).
    if (IsIconic(handle_)) {
        return;
    }
    RECT window{};
    GetWindowRect(handle_, &window);
    HWND parent = GetParent(handle_);
    if (parent != nullptr && (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD) != 0) {
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
    }
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const bool resized = width != windowWidth_ || height != windowHeight_;
    windowWidth_ = width;
    windowHeight_ = height;
    StoreBounds(window.left, window.top, width, height);
    if (resized) {
        Resize();
    }
}

bool TWinControl::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        if (lParam != 0) {
            TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam));
            if (child != nullptr && child != this && child->CommandNotify(HIWORD(wParam))) {
                result = 0;
                return true;
            }
        } else if (HIWORD(wParam) == 0 && DispatchMenuCommand(LOWORD(wParam))) {
            result = 0;
            return true;
        }
        return false;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        TWinControl* child = FromHandle(header->hwndFrom);
        return child != nullptr && child != this && child->NotifyNotify(*header, result);
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
        TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam));
        if (lParam == 0 || child == nullptr || child == this) {
            return false;
        }
        child->ScrollNotify(LOWORD(wParam));
        result = 0;
        return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
        TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam));
        if (child == nullptr || child == this) {
            return false;
        }
        HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(wParam));
        result = reinterpret_cast<LRESULT>(brush);
        return brush != nullptr;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType == ODT_MENU) {
            return false;
        }
        TWinControl* child = FromHandle(item->hwndItem);
        if (child != nullptr && child != this && child->DrawItem(*item)) {
            result = TRUE;
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

void TWinControl::HandleMouseMove(TShiftState shift, int x, int y) {
    if (!mouseInside_) {
        mouseInside_ = true;
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = handle_;
        TrackMouseEvent(&track);
        MouseEnter();
    }
    if (captureTarget_ != nullptr) {
        TControl* target = captureTarget_;
        if (target == this) {
            MouseMove(shift, x, y);
        } else {
            target->MouseMove(shift, x - target->Left(), y - target->Top());
        }
        return;
    }
    TControl* hot = GraphicControlAt(x, y);
    if (hot != hotChild_) {
        TControl* previous = hotChild_;
        hotChild_ = hot;
        if (previous != nullptr) {
            previous->MouseLeave();
        }
        if (hot != nullptr) {
            hot->MouseEnter();
        }
    }
    if (hot != nullptr) {
        hot->MouseMove(shift, x - hot->Left(), y - hot->Top());
    } else {
        MouseMove(shift, x, y);
    }
}

void TWinControl::HandleMouseLeave() {
    mouseInside_ = false;
    if (hotChild_ != nullptr) {
        TControl* previous = hotChild_;
        hotChild_ = nullptr;
        previous->MouseLeave();
    }
    MouseLeave();
}

bool TWinControl::HandleMouse(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    TShiftState shift = ShiftStateFromKeys(wParam);
    switch (message) {
    case WM_MOUSEMOVE:
        HandleMouseMove(shift, x, y);
        return false;
    case WM_MOUSELEAVE:
        HandleMouseLeave();
        return false;
    default:
        break;
    }
    const TMouseButton button = ButtonOf(message);
    const bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
    const bool twice =
        message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
    if (!IsOwnWindow()) {
        // Native controls click by themselves; they only report the mouse.
        if (down || twice) {
            MouseDown(button, shift | (twice ? ssDouble : 0), x, y);
            if (twice) {
                DblClick();
            }
        } else {
            MouseUp(button, shift, x, y);
        }
        return false;
    }
    if (down || twice) {
        TControl* target = GraphicControlAt(x, y);
        if (target == nullptr || !target->Enabled()) {
            target = this;
        }
        captureTarget_ = target;
        captureButton_ = button;
        SetCapture(handle_);
        const int localX = target == this ? x : x - target->Left();
        const int localY = target == this ? y : y - target->Top();
        if (twice) {
            target->DblClick();
        }
        target->MouseDown(button, shift | (twice ? ssDouble : 0), localX, localY);
        return true;
    }
    TControl* target = captureTarget_ != nullptr ? captureTarget_ : this;
    const bool clicked =
        captureTarget_ != nullptr && button == captureButton_ && button == TMouseButton::mbLeft;
    captureTarget_ = nullptr;
    if (GetCapture() == handle_) {
        ReleaseCapture();
    }
    const int localX = target == this ? x : x - target->Left();
    const int localY = target == this ? y : y - target->Top();
    const bool inside = localX >= 0 && localY >= 0 && localX < target->Width() && localY < target->Height();
    target->MouseUp(button, shift, localX, localY);
    if (clicked && inside) {
        target->Click();
    }
    return true;
}

bool TWinControl::HandleSetCursor(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(wParam) != handle_ || LOWORD(lParam) != HTCLIENT) {
        return false;
    }
    POINT point{};
    GetCursorPos(&point);
    ::ScreenToClient(handle_, &point);
    TCursor cursor = Cursor();
    if (TGraphicControl* graphic = GraphicControlAt(point.x, point.y)) {
        if (graphic->Cursor() != TCursor::crDefault) {
            cursor = graphic->Cursor();
        }
    }
    if (cursor == TCursor::crDefault && !IsOwnWindow()) {
        return false;
    }
    ::SetCursor(CursorHandle(cursor));
    return true;
}

bool TWinControl::HandleKey(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR) {
        if (!OnKeyPress) {
            return false;
        }
        const char typed = CodePageCharOf(static_cast<wchar_t>(wParam & 0xFFFF));
        char key = typed;
        OnKeyPress(*this, key);
        if (key == 0) {
            return true;
        }
        if (key != typed) {
            DefaultHandler(WM_CHAR, WideCharOf(key), lParam);
            return true;
        }
        return false;
    }
    TKeyEvent& event = message == WM_KEYDOWN ? OnKeyDown : OnKeyUp;
    if (!event) {
        return false;
    }
    auto key = static_cast<unsigned short>(wParam);
    event(*this, key, CurrentShiftState());
    return key == 0;
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    if (nativeProc_ != nullptr) {
        return CallWindowProcW(nativeProc_, handle_, message, wParam, lParam);
    }
    return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ReflectToChild(message, wParam, lParam, result)) {
        return result;
    }
    switch (message) {
    case WM_ERASEBKGND:
        if (IsOwnWindow()) {
            return 1;
        }
        break;
    case WM_PAINT:
        if (IsOwnWindow()) {
            HandlePaint();
            return 0;
        }
        break;
    case WM_PRINTCLIENT:
        if (IsOwnWindow()) {
            PaintOwnWindow(reinterpret_cast<HDC>(wParam));
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        if (HandleMouse(message, wParam, lParam)) {
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        captureTarget_ = nullptr;
        break;
    case WM_SETCURSOR:
        if (HandleSetCursor(wParam, lParam)) {
            return TRUE;
        }
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        if (HandleKey(message, wParam, lParam)) {
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (OnEnter) {
            OnEnter(*this);
        }
        break;
    case WM_KILLFOCUS:
        if (OnExit) {
            OnExit(*this);
        }
        break;
    case WM_WINDOWPOSCHANGED: {
        const LRESULT handled = DefaultHandler(message, wParam, lParam);
        WindowMoved();
        return handled;
    }
    default:
        break;
    }
    return DefaultHandler(message, wParam, lParam);
}

LRESULT TWinControl::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        HWND window = handle_;
        const LRESULT result = DefaultHandler(message, wParam, lParam);
        Detach(window);
        return result;
    }
    return WndProc(message, wParam, lParam);
}

LRESULT CALLBACK TWinControl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = FromHandle(window);
    if (control == nullptr && message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        control = static_cast<TWinControl*>(create->lpCreateParams);
        if (control != nullptr) {
            control->handle_ = window;
            ControlRegistry().Enter(window, control);
        }
    }
    if (control == nullptr || control->handle_ != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return control->Dispatch(message, wParam, lParam);
    } catch (...) {
        Application().HandleException(std::current_exception());
        return 0;
    }
}

// ---- TCustomControl

TCanvas& TCustomControl::Canvas() {
    if (canvas_ == nullptr) {
        throw std::logic_error("The canvas of " + Name() + " is used outside painting");
    }
    return *canvas_;
}

void TCustomControl::Paint() {
    TWinControl::PaintWindow(Canvas());
}

void TCustomControl::PaintWindow(TCanvas& canvas) {
    canvas_ = &canvas;
    try {
        Paint();
    } catch (...) {
        canvas_ = nullptr;
        throw;
    }
    canvas_ = nullptr;
}

} // namespace tarvola

namespace tarvola {

void TWinControl::SetProperty(std::string_view name, std::string_view value) {
    if (name == "TabStop") {
        SetTabStop(PropBoolean(value, name));
    } else {
        TControl::SetProperty(name, value);
    }
}

} // namespace tarvola
