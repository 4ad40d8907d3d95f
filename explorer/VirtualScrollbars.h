// A vertical scroll bar that the program draws itself, for drop-down windows whose native scroll bar cannot
// be used. It draws with the visual style when one is active and otherwise classically, with a dithered
// track; it repeats arrow and page clicks while the button is held, hot-tracks its arrows and thumb, and
// either moves itself or forwards its scroll steps to a target control as WM_VSCROLL. A click never takes
// the focus.
#pragma once

#include "explorer/VirtualScrollbarsGeometry.h"
#include "forms/Controls.h"
#include "forms/Graphics.h"
#include "tree/TreeScroll.h"

#include <cstdint>
#include <functional>

namespace tarvola {

constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;

class TCustomOwnerDrawScrollbar;

// The colours of the classic look. A change of Background, BackgroundBlend or ThumbButton rebuilds the
// track pattern and repaints.
class TScrollBarColors {
public:
    explicit TScrollBarColors(TCustomOwnerDrawScrollbar& owner) : owner_(owner) {}

    TColor ThumbButton() const { return thumbButton_; }
    TColor Background() const { return background_; }
    TColor PageScrollHot() const { return pageScrollHot_; }
    TColor BackgroundBlend() const { return backgroundBlend_; }
    void SetThumbButton(TColor value);
    void SetBackground(TColor value);
    void SetPageScrollHot(TColor value) { pageScrollHot_ = value; }
    void SetBackgroundBlend(TColor value);

private:
    TCustomOwnerDrawScrollbar& owner_;
    TColor thumbButton_ = clScrollBar;
    TColor background_ = clScrollBar;
    TColor pageScrollHot_ = clBlack;
    TColor backgroundBlend_ = clWhite;
};

enum TScrollOption : unsigned { soThemeAware = 1 };
using TScrollOptions = unsigned;

// The element a paint step draws, and how it looks.
enum class TScrollPaintCycle { spcUpArrow, spcDownArrow, spcThumb, spcPageUp, spcPageDown };
enum class TScrollPaintState { spsNormal, spsHot, spsPressed, spsDisabled };

using TOnScrollCustomPaint =
    std::function<void(TCustomOwnerDrawScrollbar& sender, TScrollPaintCycle cycle, TScrollPaintState state,
                       const TRect& paintRect, TCanvas& canvas, bool& handled)>;

// Window timers of the bar.
constexpr UINT_PTR ScrollHotTimer = 201;
constexpr UINT_PTR ScrollRepeatTimer = 202;
constexpr UINT_PTR ScrollFirstDelayTimer = 203;
constexpr UINT ScrollHotInterval = 50;
constexpr UINT ScrollFirstDelay = 500;

class TCustomOwnerDrawScrollbar : public TCustomControl {
public:
    explicit TCustomOwnerDrawScrollbar(TComponent* owner);
    ~TCustomOwnerDrawScrollbar() override;

    int Min() const { return values_.Min(); }
    int Max() const { return values_.Max(); }
    int PageSize() const { return values_.PageSize(); }
    int Position() const { return values_.Position(); }
    void SetMin(int value);
    void SetMax(int value);
    void SetPageSize(int value);
    void SetPosition(int value);
    int SmallChange() const { return smallChange_; }
    int LargeChange() const { return largeChange_; }
    void SetSmallChange(int value) { smallChange_ = value; }
    void SetLargeChange(int value) { largeChange_ = value; }
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    TScrollOptions Options() const { return options_; }
    void SetOptions(TScrollOptions value);
    TScrollBarColors& Colors() { return colors_; }
    int RepeatInterval() const { return repeatInterval_; }
    void SetRepeatInterval(int value) { repeatInterval_ = value; }
    // The control that receives the steps as WM_VSCROLL; with one, the bar leaves its position to it.
    TWinControl* TargetControl() const { return target_; }
    void SetTargetControl(TWinControl* target) { target_ = target; }
    // Whether the bar draws with the visual style now (style active and soThemeAware).
    bool Themed() const;

    TOnScrollCustomPaint OnScrollCustomPaint;

    // The width is always the system's vertical scroll-bar width.
    void SetBounds(int left, int top, int width, int height) override;
    TScrollbarLayout Layout() const;
    // The metrics the layout uses (the system's arrow and thumb heights; tests may set their own).
    void SetMetrics(const TScrollbarMetrics& metrics);

    // Called by the colours when the track pattern must be rebuilt.
    void ColorsChanged();

protected:
    void InitializeHandle() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint() override;

private:
    // The state bits: what is pressed and what is hot.
    enum : std::uint16_t {
        sbThumbPressed = 0x0001,
        sbDownPressed = 0x0002,
        sbUpPressed = 0x0004,
        sbPageDownPressed = 0x0008,
        sbPageUpPressed = 0x0010,
        sbLeftButtonDown = 0x0020,
        sbPointerInPressed = 0x0040,
        sbUpHot = 0x0080,
        sbDownHot = 0x0100,
        sbThumbHot = 0x0200,
        sbThemed = 0x0400,
    };

    void ButtonDown(int y);
    void ButtonUp();
    void PointerMoved(int y);
    void TimerFired(UINT_PTR id);
    void StepPressedElement();
    void Step(WORD code);
    void SetStates(std::uint16_t states);
    void InvalidateChanged(std::uint16_t before, std::uint16_t after);
    void InvalidateSpan(const TScrollbarSpan& span);
    void StopRepeat();
    void PaintTo(TCanvas& canvas);
    void PaintElement(TCanvas& canvas, TScrollPaintCycle cycle, const TScrollbarSpan& span);
    TScrollPaintState StateOf(TScrollPaintCycle cycle) const;
    void PaintClassic(TCanvas& canvas, TScrollPaintCycle cycle, TScrollPaintState state, const TRect& rect);
    bool PaintThemed(TCanvas& canvas, TScrollPaintCycle cycle, TScrollPaintState state, const TRect& rect);
    void RebuildTrackBrush();
    void OpenTheme();
    void CloseTheme();
    TRect RectOf(const TScrollbarSpan& span) const;

    TScrollbarValues values_;
    TScrollbarMetrics metrics_;
    bool metricsSet_ = false;
    int smallChange_ = 1;
    int largeChange_ = 1;
    bool flat_ = false;
    TScrollOptions options_ = soThemeAware;
    TScrollBarColors colors_;
    int repeatInterval_ = 100;
    TWinControl* target_ = nullptr;
    std::uint16_t states_ = 0;
    bool hotTimerRunning_ = false;
    HBRUSH trackBrush_ = nullptr;
    HANDLE theme_ = nullptr;
};

// The bar as forms place it.
class TOwnerDrawScrollbar : public TCustomOwnerDrawScrollbar {
public:
    using TCustomOwnerDrawScrollbar::TCustomOwnerDrawScrollbar;
};

} // namespace tarvola
