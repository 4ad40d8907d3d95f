// The combo box's drop-down window: a top-most tool popup under (or above) its owner with a content
// control, the owner-drawn scroll bar and a size grip. While it is down it runs its own message loop, so
// RollDown returns only once it is rolled up again: Enter rolls it up selected, Escape, a click outside it,
// a cancel-mode or system key, an application switch or a quit message roll it up unselected (a quit is
// posted again for the loop outside). The popup never takes the focus: keys reach it through the loop.
#pragma once

#include "explorer/VirtualExplorerComboboxRules.h"
#include "explorer/VirtualScrollbars.h"
#include "forms/Controls.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace tarvola {

class TDropDownWnd;

enum TPopupOption : unsigned {
    poAnimated = 1,
    poEnabled = 2,
    poPersistentSizing = 4,
    poSizeable = 8,
    poRespectSysAnimationFlag = 16,
    poThemeAware = 32,
};
using TPopupOptions = unsigned;

using TOnPopupRollDown = std::function<void(TDropDownWnd& sender, bool& allow)>;
using TOnPopupRollUp = std::function<void(TDropDownWnd& sender, bool selected)>;

// The grip in the drop-down's corner away from its owner: dragging it resizes the drop-down.
class TSizeGrabber : public TCustomControl {
public:
    TSizeGrabber(TComponent* owner, TDropDownWnd& dropDown);
    bool Resizing() const { return resizing_; }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint() override;

private:
    void StartResize();
    void ResizeTo(POINT cursor);
    bool CornerIsNWSE() const;

    TDropDownWnd& dropDown_;
    bool resizing_ = false;
    POINT start_{};
    TComboRect startBounds_;
};

class TDropDownWnd : public TCustomControl {
public:
    explicit TDropDownWnd(TComponent* owner);
    ~TDropDownWnd() override;

    TPopupOptions Options() const { return options_; }
    void SetOptions(TPopupOptions options);
    int AnimationSpeed = 200;
    unsigned DropDownCount = 8;
    int AutoScrollTimeSlow = 200;
    int AutoScrollTimeFast = 10;
    TOnPopupRollDown OnRollDown;
    TOnPopupRollUp OnRollUp;

    // Shows the drop-down under alignTo (nullptr: the owner), sized by size (nullopt or a side of 0:
    // computed), and runs its loop until it is rolled up. Nothing without an owner, without poEnabled or
    // while already down.
    void RollDown(TWinControl* owner, TWinControl* alignTo = nullptr,
                  std::optional<SIZE> size = std::nullopt);
    void RollUp(bool selected);
    bool RolledDown() const { return (state_ & dsRolledDown) != 0; }
    std::uint16_t State() const { return state_; }
    TWinControl* OwnerControl() const { return owner_; }
    TOwnerDrawScrollbar& Scrollbar() { return scrollbar_; }
    TSizeGrabber& Grip() { return grip_; }
    TWinControl* Content() const { return content_; }
    // The area placement keeps to; nullopt (the default) takes the work area of the owner's monitor.
    std::optional<TComboRect> WorkArea;
    // Lays out content, scroll bar and grip for the window's present size.
    void Realign() { RealignChildren(Width(), Height()); }

    // Auto-scroll of the content while the pointer is above or below it (client y of the content).
    void AutoScrollFor(int y);
    void StopAutoScroll();

    virtual void UpdateScrollbar() {}
    virtual int RowHeight() { return 17; }

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint() override;
    void Resize() override;

    // Whether a click on that window belongs to the owner (it is handed on rather than rolling up).
    virtual bool IsOwnerWindow(HWND) { return false; }
    virtual void DoRollDown(bool& allow);
    virtual void DoRollDownInit() {}
    virtual void DoRollUp(bool selected);
    virtual void DoKey(MSG& keyMessage, bool& handled) {
        (void)keyMessage;
        handled = false;
    }
    virtual void RealignChildren(int width, int height);
    void SetContent(TWinControl& content);
    // A step of the scroll bar: moves the content (the bar's position, not the 16-bit one in the message,
    // which cannot hold tall contents).
    virtual void ScrollContent(WORD code);

private:
    friend class TSizeGrabber;
    void EnsureWindow();
    TComboRect MonitorWorkArea(const TComboRect& area) const;
    void Show(bool above);
    void RunLoop();
    // What the loop does with a message; false when it ended the loop.
    void LoopMessage(MSG& message);
    bool OutsideClick(const MSG& message);
    void AutoScrollTick();

    TPopupOptions options_ = poEnabled | poRespectSysAnimationFlag | poThemeAware;
    std::uint16_t state_ = 0;
    TWinControl* owner_ = nullptr;
    TWinControl* content_ = nullptr;
    TOwnerDrawScrollbar& scrollbar_;
    TSizeGrabber& grip_;
    bool autoScrolling_ = false;
};

// The timer of the content's auto-scroll.
constexpr UINT_PTR DropDownAutoScrollTimer = 100;
// Within this distance of the content's edge the auto-scroll runs slowly.
constexpr int DropDownAutoScrollZone = 20;

} // namespace tarvola
