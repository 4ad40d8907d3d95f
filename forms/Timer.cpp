#include "forms/Timer.h"

namespace tarvola {

namespace {

constexpr UINT_PTR kTimerId = 1;

} // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    window_ = std::make_unique<TUtilityWindow>(
        [this](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (message != WM_TIMER || wParam != kTimerId) {
                return std::nullopt;
            }
            if (OnTimer) {
                OnTimer(*this);
            }
            return 0;
        });
    Restart();
}

TTimer::~TTimer() {
    if (running_) {
        KillTimer(window_->Handle(), kTimerId);
    }
}

void TTimer::Restart() {
    if (running_) {
        KillTimer(window_->Handle(), kTimerId);
        running_ = false;
    }
    if (enabled_ && interval_ > 0) {
        running_ = SetTimer(window_->Handle(), kTimerId, interval_, nullptr) != 0;
        if (!running_) {
            throw EComponentError("Not enough timers available");
        }
    }
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        Restart();
    }
}

void TTimer::SetInterval(unsigned interval) {
    if (interval != interval_) {
        interval_ = interval;
        Restart();
    }
}

void TTimer::SetProperty(std::string_view name, std::string_view value) {
    if (name == "Enabled") {
        SetEnabled(PropBoolean(value, name));
    } else if (name == "Interval") {
        const std::int32_t interval = PropInteger(value, name);
        if (interval < 0) {
            throw EPropertyError("Bad value for property Interval of " + Name());
        }
        SetInterval(static_cast<unsigned>(interval));
    } else {
        TComponent::SetProperty(name, value);
    }
}

} // namespace tarvola
