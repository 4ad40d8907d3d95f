// A periodic timer on the multimedia timer whose event runs on the GUI thread: the platform's timer thread
// only posts WM_TIMER to a hidden window of the timer, and OnTimer runs in that window's message handler.
#pragma once

#include "audio/WinMMSeam.h"

#include <cstdint>
#include <exception>
#include <functional>

struct HWND__; // the platform's window handle type (HWND)

namespace tarvola {

class TobjHiTimer {
public:
    using TimerEvent = std::function<void(TobjHiTimer& sender)>;
    // Receives what OnTimer threw; it runs on the GUI thread, inside the hidden window's message handler.
    using ExceptionHandler = std::function<void(std::exception_ptr error)>;

    // Reads the timer capabilities, makes the hidden window on the calling (GUI) thread and asks for the
    // finest timer period. Disabled, with an interval of 1000 ms.
    explicit TobjHiTimer(PeriodicTimerApi api);
    TobjHiTimer(const TobjHiTimer&) = delete;
    TobjHiTimer& operator=(const TobjHiTimer&) = delete;
    virtual ~TobjHiTimer();

    bool Enabled() const { return Enabled_; }
    void SetEnabled(bool enabled);

    // Milliseconds. A value outside the device's [PeriodMin, PeriodMax] becomes 1000.
    std::uint16_t Interval() const { return Interval_; }
    void SetInterval(std::uint16_t interval);

    const TimerEvent& OnTimer() const { return OnTimer_; }
    void SetOnTimer(TimerEvent onTimer);

    // Without a handler of its own the timer shows the error's text in a message box.
    void SetExceptionHandler(ExceptionHandler handler);

    // The running timer's id (a fallback window timer's id when the multimedia timer could not be made); 0
    // when none runs.
    std::uint32_t TimerID() const { return TimerID_; }
    bool InTimer() const { return InTimer_; }
    std::uint32_t PeriodMin() const { return PeriodMin_; }
    std::uint32_t PeriodMax() const { return PeriodMax_; }
    HWND__* Window() const { return Window_; }

protected:
    // One tick: calls OnTimer when a handler is set.
    virtual void Timer();

private:
    friend struct HiTimerWindow;

    void UpdateTimer();
    void StopRunningTimer();
    void StartTimer();
    void HandleTick(std::uintptr_t timerId) noexcept;
    void ReportException(std::exception_ptr error) noexcept;

    PeriodicTimerApi Api_;
    bool Enabled_ = false;
    bool InTimer_ = false;
    std::uint16_t Interval_ = 1000;
    std::uint32_t TimerID_ = 0;
    bool UsingWindowTimer_ = false;
    std::uint32_t PeriodMin_ = 0;
    std::uint32_t PeriodMax_ = 0;
    TimerEvent OnTimer_;
    ExceptionHandler OnException_;
    HWND__* Window_ = nullptr;
};

} // namespace tarvola
