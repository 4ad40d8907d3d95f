#include "tests/support/MessagePump.h"

#include "forms/Application.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace tarvola::test {

namespace {

void WaitForMessages(std::chrono::milliseconds longest) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(longest.count()), QS_ALLINPUT);
}

// The watcher of the pump running on this thread, seen by the message hook.
thread_local const MessageWatcher* currentWatcher = nullptr;

LRESULT CALLBACK WatchTakenMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE && currentWatcher != nullptr) {
        try {
            (*currentWatcher)(*reinterpret_cast<const MSG*>(lParam));
        } catch (...) {
            ADD_FAILURE() << "a message watcher raised";
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct HookRemover {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};

// Shows the messages the application's loop takes to the watcher while it lives (nothing without one).
class WatchScope {
public:
    explicit WatchScope(const MessageWatcher& watch) {
        if (!watch)
            return;
        hook_.reset(SetWindowsHookExA(WH_GETMESSAGE, WatchTakenMessage, nullptr, GetCurrentThreadId()));
        EXPECT_NE(hook_, nullptr) << "the message watcher cannot be installed";
        previous_ = currentWatcher;
        currentWatcher = &watch;
    }
    ~WatchScope() {
        if (hook_)
            currentWatcher = previous_;
    }
    WatchScope(const WatchScope&) = delete;
    WatchScope& operator=(const WatchScope&) = delete;

private:
    std::unique_ptr<std::remove_pointer_t<HHOOK>, HookRemover> hook_;
    const MessageWatcher* previous_ = nullptr;
};

} // namespace

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline,
               const MessageWatcher& watch) {
    const WatchScope watching(watch);
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        Application().ProcessMessages();
        if (condition()) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) {
            return false;
        }
        WaitForMessages(std::min(std::chrono::duration_cast<std::chrono::milliseconds>(end - now), 10ms));
    }
}

void PumpFor(std::chrono::milliseconds duration, const MessageWatcher& watch) {
    PumpUntil([] { return false; }, duration, watch);
}

void PumpPending(const MessageWatcher& watch) {
    const WatchScope watching(watch);
    Application().ProcessMessages();
}

} // namespace tarvola::test
