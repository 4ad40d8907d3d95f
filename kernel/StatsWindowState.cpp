#include "kernel/StatsWindowState.h"

#include "base/Numerics.h"

namespace tarvola {

// ---- Counts

void TStatsCounts::SetLeft(std::int32_t count) {
    total_ = CheckedAdd(count, right_);
    left_ = count;
}

void TStatsCounts::SetRight(std::int32_t count) {
    total_ = CheckedAdd(left_, count);
    right_ = count;
}

// ---- Stealth

void TStatsStealth::Start() {
    UpdateBounds();
    host_.StartMasterTimer(kMasterInterval);
    masterRunning_ = true;
}

bool TStatsStealth::MouseInside() {
    const TScreenPoint p = host_.CursorPos();
    bool inside = bounds_.left <= p.x && p.x <= bounds_.right && bounds_.top <= p.y && p.y <= bounds_.bottom;
    if (menuOpen_)
        inside = true;
    if (notYetEntered_)
        notYetEntered_ = !inside;
    return inside;
}

void TStatsStealth::MasterTick() {
    if (closed_ || !masterRunning_)
        return;
    pointerInside_ = MouseInside();
    if (pointerInside_) {
        if (!host_.Showing())
            host_.ShowQuietly();
    } else if (host_.Showing() && !notYetEntered_ && !delayRunning_) {
        host_.StartDelayTimer(delay_);
        delayRunning_ = true;
    }
    UpdateBounds();
}

void TStatsStealth::DelayTick() {
    if (!delayRunning_)
        return;
    StopDelay();
    if (!pointerInside_)
        host_.HideWindow();
}

void TStatsStealth::StopDelay() {
    if (delayRunning_) {
        host_.StopDelayTimer();
        delayRunning_ = false;
    }
}

bool TStatsStealth::ChildChanged(bool created) {
    if (!childEvents_)
        return false;
    // A window that went without our having seen it come must not leave the count below zero.
    childCount_ = created ? CheckedAdd(childCount_, 1) : (childCount_ > 0 ? childCount_ - 1 : 0);
    SetStealth(childCount_ < 1);
    return true;
}

void TStatsStealth::SetStealth(bool stealth) {
    stealth_ = stealth;
    if (closed_)
        return; // a closed window stays closed, its timers stopped
    if (!stealth) {
        if (masterRunning_) {
            host_.StopMasterTimer();
            masterRunning_ = false;
        }
        StopDelay();
    } else if (!masterRunning_) {
        host_.StartMasterTimer(kRestartInterval);
        masterRunning_ = true;
    }
    if (!host_.Showing())
        host_.ShowQuietly();
}

void TStatsStealth::SetDelay(unsigned delay) {
    delay_ = delay;
    if (delayRunning_)
        host_.StartDelayTimer(delay_);
}

void TStatsStealth::Close() {
    closed_ = true;
    if (masterRunning_) {
        host_.StopMasterTimer();
        masterRunning_ = false;
    }
    StopDelay();
}

} // namespace tarvola
