// The state of the kernel statistics window that needs no window: the two impulse counts with their total,
// and the self-hiding ("stealth") that keeps the window out of the way.
//
// Stealth: a master timer polls the pointer. While the pointer is over the window (or its menu loop is
// open) the window shows; once the pointer has been over it and leaves, a delay timer hides it after Delay
// milliseconds unless the pointer came back meanwhile. Before the pointer has first entered, the window
// never hides. Child windows of the statistics window (when ChildEvents) switch stealth off while any
// exists. The host (the window, or a test) supplies the pointer, the bounds, showing and hiding, and the
// two timers.
#pragma once

#include <cstdint>
#include <string>

namespace tarvola {

// ---- Counts

class TStatsCounts {
public:
    std::int32_t Left() const { return left_; }
    std::int32_t Right() const { return right_; }
    void SetLeft(std::int32_t count);
    void SetRight(std::int32_t count);
    // Left + Right; a sum beyond 32 bits is an OverflowError when set.
    std::int32_t Total() const { return total_; }

private:
    std::int32_t left_ = 1;
    std::int32_t right_ = 1;
    std::int32_t total_ = 2;
};

// ---- Stealth

struct TScreenPoint {
    int x = 0;
    int y = 0;
};

// Right = left + width and bottom = top + height; a point on them counts as inside.
struct TScreenBounds {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class TStealthHost {
public:
    virtual ~TStealthHost() = default;
    virtual TScreenPoint CursorPos() = 0;
    virtual TScreenBounds WindowBounds() = 0;
    virtual bool Showing() = 0;
    // Shows the window without activating it: the designer keeps the keyboard.
    virtual void ShowQuietly() = 0;
    virtual void HideWindow() = 0;
    // Starts (or restarts) a timer with that interval in milliseconds.
    virtual void StartMasterTimer(unsigned interval) = 0;
    virtual void StopMasterTimer() = 0;
    virtual void StartDelayTimer(unsigned interval) = 0;
    virtual void StopDelayTimer() = 0;
};

class TStatsStealth {
public:
    static constexpr unsigned kMasterInterval = 75;
    // The master timer made again when stealth comes back on.
    static constexpr unsigned kRestartInterval = 50;
    static constexpr unsigned kDefaultDelay = 300;

    explicit TStatsStealth(TStealthHost& host) : host_(host) {}

    // Reads the bounds and starts polling.
    void Start();
    // The master timer's tick: show on entry, start the delay on leaving.
    void MasterTick();
    // The delay timer's tick: hide unless the pointer came back.
    void DelayTick();
    // Reads the window's bounds again (it may have moved).
    void UpdateBounds() { bounds_ = host_.WindowBounds(); }
    // The window's menu loop opened or closed: while open, the pointer counts as inside.
    void MenuLoop(bool open) { menuOpen_ = open; }
    // A child window of the statistics window came (true) or went. Returns whether it was counted (only
    // while ChildEvents); then Stealth is on exactly when no child is left.
    bool ChildChanged(bool created);
    // The window closed: both timers stop for good.
    void Close();

    bool Stealth() const { return stealth_; }
    // Off stops polling and a pending hide; on restarts polling. Either way a hidden window shows.
    void SetStealth(bool stealth);
    bool ChildEvents() const { return childEvents_; }
    void SetChildEvents(bool childEvents) { childEvents_ = childEvents; }
    unsigned Delay() const { return delay_; }
    // A pending hide takes the new delay.
    void SetDelay(unsigned delay);

    int ChildCount() const { return childCount_; }
    bool PointerInside() const { return pointerInside_; }
    bool MenuOpen() const { return menuOpen_; }
    bool NotYetEntered() const { return notYetEntered_; }
    bool HidePending() const { return delayRunning_; }

private:
    bool MouseInside();
    void StopDelay();

    TStealthHost& host_;
    TScreenBounds bounds_;
    unsigned delay_ = kDefaultDelay;
    int childCount_ = 0;
    bool stealth_ = true;
    bool childEvents_ = true;
    bool pointerInside_ = false;
    bool menuOpen_ = false;
    bool notYetEntered_ = true;
    bool masterRunning_ = false;
    bool delayRunning_ = false;
    bool closed_ = false;
};

} // namespace tarvola
