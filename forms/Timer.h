// A window timer as a component: OnTimer runs on the thread that made the timer every Interval
// milliseconds while Enabled.
#pragma once

#include "forms/Component.h"
#include "forms/UtilityWindow.h"

#include <memory>

namespace tarvola {

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Milliseconds; 0 stops the timer.
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned interval);

    TNotifyEvent OnTimer;

    void SetProperty(std::string_view name, std::string_view value) override;

private:
    void Restart();

    bool enabled_ = true;
    unsigned interval_ = 1000;
    bool running_ = false;
    std::unique_ptr<TUtilityWindow> window_;
};

} // namespace tarvola
