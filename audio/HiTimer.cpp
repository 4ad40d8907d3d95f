#include <windows.h>

#include "audio/HiTimer.h"

#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>

namespace tarvola {
namespace {

constexpr char WindowClassName[] = "TarvolaHiTimerWindow";
constexpr std::uint16_t DefaultInterval = 1000;
// The id of the window timer that stands in when no multimedia timer can be made.
constexpr std::uint32_t WindowTimerId = 1;

// Sets a flag for the lifetime of the guard, so that neither a return nor an exception can leave it set.
class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : Flag_(flag) { Flag_ = true; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;
    ~FlagGuard() { Flag_ = false; }

private:
    bool& Flag_;
};

void ShowExceptionMessage(std::exception_ptr error) {
    std::string text = "Unknown exception.";
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
    }
    MessageBoxA(GetActiveWindow(), text.c_str(), "Tarvola", MB_OK | MB_ICONERROR);
}

} // namespace

// The hidden window's class and message handler.
struct HiTimerWindow {
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_TIMER) {
            if (auto* timer = reinterpret_cast<TobjHiTimer*>(GetWindowLongPtrA(window, GWLP_USERDATA)))
                timer->HandleTick(static_cast<std::uintptr_t>(wParam));
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    static void RegisterClassOnce() {
        static std::once_flag registered;
        std::call_once(registered, [] {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = WindowProc;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = WindowClassName;
            if (RegisterClassA(&windowClass) == 0)
                throw std::runtime_error("Unable to register the timer's window class.");
        });
    }

    static HWND Create(TobjHiTimer* timer) {
        RegisterClassOnce();
        // A message-only window: never shown, but it receives the posted ticks on the thread that made it.
        HWND window = CreateWindowExA(0, WindowClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        if (window == nullptr)
            throw std::runtime_error("Unable to create the timer's window.");
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(timer));
        return window;
    }
};

TobjHiTimer::TobjHiTimer(PeriodicTimerApi api) : Api_(std::move(api)) {
    TimerCaps caps;
    Api_.GetDevCaps(caps);
    PeriodMin_ = caps.PeriodMin;
    PeriodMax_ = caps.PeriodMax;
    Window_ = HiTimerWindow::Create(this);
    Api_.BeginPeriod(PeriodMin_);
}

TobjHiTimer::~TobjHiTimer() {
    OnTimer_ = nullptr;
    Enabled_ = false;
    Api_.EndPeriod(PeriodMin_);
    UpdateTimer();
    SetWindowLongPtrA(Window_, GWLP_USERDATA, 0);
    DestroyWindow(Window_);
}

void TobjHiTimer::SetEnabled(bool enabled) {
    if (enabled == Enabled_)
        return;
    Enabled_ = enabled;
    UpdateTimer();
}

void TobjHiTimer::SetInterval(std::uint16_t interval) {
    if (interval == Interval_)
        return;
    if (interval < PeriodMin_ || interval > PeriodMax_)
        interval = DefaultInterval;
    Interval_ = interval;
    UpdateTimer();
}

void TobjHiTimer::SetOnTimer(TimerEvent onTimer) {
    OnTimer_ = std::move(onTimer);
    UpdateTimer();
}

void TobjHiTimer::SetExceptionHandler(ExceptionHandler handler) {
    OnException_ = std::move(handler);
}

void TobjHiTimer::Timer() {
    if (OnTimer_)
        OnTimer_(*this);
}

void TobjHiTimer::UpdateTimer() {
    StopRunningTimer();
    if (Interval_ != 0 && Enabled_ && OnTimer_)
        StartTimer();
}

// The id is forgotten with the timer, so a tick it posted before it died no longer matches.
void TobjHiTimer::StopRunningTimer() {
    if (TimerID_ == 0)
        return;
    if (UsingWindowTimer_)
        KillTimer(Window_, TimerID_);
    else
        Api_.KillEvent(TimerID_);
    TimerID_ = 0;
    UsingWindowTimer_ = false;
}

// When the multimedia timer cannot be made, a window timer with the same interval ticks instead, so whoever
// counts on the ticks (a playback that ends by them) is not left waiting.
void TobjHiTimer::StartTimer() {
    TimerID_ = Api_.SetEvent(Interval_, Interval_, reinterpret_cast<std::uintptr_t>(Window_));
    if (TimerID_ != 0)
        return;
    if (SetTimer(Window_, WindowTimerId, Interval_, nullptr) != 0) {
        TimerID_ = WindowTimerId;
        UsingWindowTimer_ = true;
    }
}

void TobjHiTimer::HandleTick(std::uintptr_t timerId) noexcept {
    if (timerId == 0 || timerId != TimerID_ || !Enabled_ || InTimer_)
        return;
    // InTimer stays set while the error is shown, so that a failing handler does not stack up message boxes.
    FlagGuard inTimer(InTimer_);
    try {
        Timer();
    } catch (...) {
        ReportException(std::current_exception());
    }
}

void TobjHiTimer::ReportException(std::exception_ptr error) noexcept {
    try {
        if (OnException_)
            OnException_(error);
        else
            ShowExceptionMessage(error);
    } catch (...) {
        // The handler failed as well; nothing may leave the window procedure.
    }
}

} // namespace tarvola
