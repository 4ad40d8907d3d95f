// Controls: TControl (position, caption, font, colour, cursor, hint, mouse events), TGraphicControl (no
// window; painted by its parent), TWinControl (owns a window; our own class or a native one subclassed) and
// TCustomControl (our own window that paints through a canvas over a back buffer).
//
// A windowed control gets its window when it is given a parent (forms make theirs at construction). Every
// window procedure catches what a handler throws and hands it to Application().HandleException.
#pragma once

#include "forms/Alignment.h"
#include "forms/Component.h"
#include "forms/Graphics.h"
#include "forms/WindowCreation.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvola {

class TWinControl;
class TForm;

enum class TCursor {
    crDefault,
    crArrow,
    crHandPoint,
    crIBeam,
    crHourGlass,
    crCross,
    crSizeWE,
    crSizeNS,
    crNo
};
HCURSOR CursorHandle(TCursor cursor);
TCursor PropCursor(std::string_view value, std::string_view property);

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    void SetParentComponent(TComponent& parent) override;
    // The form this control stands on (a form answers itself); nullptr while it has no parent.
    TForm* ParentForm() const;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetTop(int top) { SetBounds(left_, top, width_, height_); }
    void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
    void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return TRect{left_, top_, left_ + width_, top_ + height_}; }
    virtual int ClientWidth() const { return width_; }
    virtual int ClientHeight() const { return height_; }
    TRect ClientRect() const { return TRect{0, 0, ClientWidth(), ClientHeight()}; }
    TPoint ClientToScreen(TPoint point) const;
    TPoint ScreenToClient(TPoint point) const;

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string_view caption);
    // Edits call their caption Text.
    const std::string& Text() const { return Caption(); }
    void SetText(std::string_view text) { SetCaption(text); }

    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool parentColor);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string hint);
    // Whether the hint shows: the control's own setting, or its parent's while ParentShowHint.
    bool ShowHint() const;
    void SetShowHint(bool showHint);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    virtual void Invalidate() = 0;
    // Paints what is invalid now.
    virtual void Update() = 0;
    void Repaint() {
        Invalidate();
        Update();
    }
    void Refresh() { Repaint(); }

    // Input, as the window procedures deliver it (coordinates in this control's client area). Tests and
    // descendants may call them too.
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseEnter();
    virtual void MouseLeave();

    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    virtual void BoundsChanged() {}
    virtual void VisibleChanged() {}
    virtual void EnabledChanged() {}
    virtual void TextChanged() {}
    virtual void FontChanged() {}
    virtual void ColorChanged() {}
    virtual void ParentChanged() {}
    virtual void CursorChanged() {}
    virtual void HintChanged() {}
    // Records a position the window took by itself (a moved or resized window).
    void StoreBounds(int left, int top, int width, int height);
    // Records a caption the window took by itself (typed text).
    void StoreCaption(std::string caption) { caption_ = std::move(caption); }
    // A parent's font or colour changed: follow it when ParentFont / ParentColor.
    void AdoptParentFont();
    void AdoptParentColor();

private:
    friend class TWinControl;

    TWinControl* parent_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    std::string caption_;
    TFont font_;
    bool parentFont_ = true;
    bool adoptingFont_ = false;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    TCursor cursor_ = TCursor::crDefault;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
};

// A control without a window of its own: its parent paints it and hands it the mouse.
class TGraphicControl : public TControl {
public:
    using TControl::TControl;
    ~TGraphicControl() override;

    // Paints the control; the canvas origin is the control's top left corner and drawing is clipped to it.
    virtual void Paint(TCanvas& canvas) = 0;
    void Invalidate() override;
    void Update() override;

protected:
    void BoundsChanged() override;
    void VisibleChanged() override { InvalidateParentArea(); }
    void EnabledChanged() override { Invalidate(); }
    void TextChanged() override { Invalidate(); }
    void FontChanged() override { Invalidate(); }
    void ColorChanged() override { Invalidate(); }

private:
    void InvalidateParentArea();
    TRect paintedBounds_;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    // The control that a window belongs to, or nullptr.
    static TWinControl* FromHandle(HWND window);

    void SetParent(TWinControl* parent) override;
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl& Controls(int index) const;
    // The topmost visible graphic child at a client point, or nullptr.
    TGraphicControl* GraphicControlAt(int x, int y) const;

    int ClientWidth() const override;
    int ClientHeight() const override;
    // The font that children with ParentFont take (a group box keeps its bold caption font to itself).
    virtual const TFont& FontForChildren() const { return Font(); }

    bool Focused() const;
    // Visible and enabled up to the form, with a window.
    virtual bool CanFocus() const;
    void SetFocus();
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop);

    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TNotifyEvent OnResize;

    void Invalidate() override;
    void Update() override;
    // Paints the control and its children into a device context at (x, y): our own windows through their
    // painting code, native ones through WM_PRINT.
    void PaintTo(HDC dc, int x, int y);
    LRESULT Perform(UINT message, WPARAM wParam, LPARAM lParam);

    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    using TCreateParams = TWindowParams;
    virtual void CreateParams(TCreateParams& params);
    // Makes the window (children: when they get a parent; forms: at construction).
    void CreateHandle();
    // Pushes the control's state into a fresh window.
    virtual void InitializeHandle();
    void DestroyHandle();
    // Makes the window again, for style changes that a window does not take while it lives. Only for
    // controls without windowed children.
    void RecreateWnd();
    // Changes window styles in place.
    void ChangeStyle(DWORD add, DWORD remove);
    // Links another window to this control, so that its parent hands its notifications here.
    void LinkWindow(HWND window);

    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

    // Notifications of the native window that its parent hands on.
    virtual bool CommandNotify(WORD /*code*/) { return false; }
    virtual bool NotifyNotify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
    virtual void ScrollNotify(WORD /*code*/) {}
    virtual HBRUSH CtlColor(HDC dc);
    virtual bool DrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    // The window's size changed, by the user or by code (SetBounds, the client size, alignment).
    virtual void Resize();

    // Our own windows: paints the background (and, in custom controls, the content) on a back buffer.
    virtual void PaintWindow(TCanvas& canvas);
    HBRUSH ColorBrush();

    void BoundsChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void TextChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    void HintChanged() override;
    bool IsOwnWindow() const { return nativeProc_ == nullptr; }
    // A control that shows its hints through its own THintController keeps out of the shared tooltip.
    virtual bool HasOwnHints() const { return false; }

private:
    friend class TControl;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool HandleMouse(UINT message, WPARAM wParam, LPARAM lParam);
    void HandleMouseMove(TShiftState shift, int x, int y);
    void HandleMouseLeave();
    bool HandleSetCursor(WPARAM wParam, LPARAM lParam);
    bool HandleKey(UINT message, WPARAM wParam, LPARAM lParam);
    void HandlePaint();
    void PaintGraphicChildren(HDC dc, const RECT& area);
    void PaintOwnWindow(HDC dc);
    void WindowMoved();
    void UpdateToolTip();
    void Detach(HWND window);

    HWND handle_ = nullptr;
    WNDPROC nativeProc_ = nullptr;
    std::vector<HWND> linkedWindows_;
    std::vector<TControl*> controls_;
    bool tabStop_ = false;
    HBRUSH colorBrush_ = nullptr;
    TColor brushColor_ = clNone;
    // Mouse state of our own windows.
    TControl* captureTarget_ = nullptr;
    TControl* hotChild_ = nullptr;
    bool mouseInside_ = false;
    TMouseButton captureButton_ = TMouseButton::mbLeft;
    bool creating_ = false;
    // The window's size as last seen, to tell a change of size from a move: the stored bounds already
    // hold the new size when SetBounds moves the window.
    int windowWidth_ = 0;
    int windowHeight_ = 0;
};

// A control with its own window that draws itself in Paint through Canvas, flicker-free over a back buffer.
class TCustomControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    // The canvas of the paint under way; throws outside Paint.
    TCanvas& Canvas();

protected:
    // Draws the control; the default fills it with its colour.
    virtual void Paint();
    void PaintWindow(TCanvas& canvas) override;

private:
    TCanvas* canvas_ = nullptr;
};

// Shift state from the key state and the mouse-key flags of a mouse message.
TShiftState ShiftStateFromKeys(WPARAM mouseKeys);
TShiftState CurrentShiftState();

} // namespace tarvola
