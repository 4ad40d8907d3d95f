// Message pumping for the Windows tests of this folder: the GUI thread's queue, drained or pumped until a
// condition holds (with a generous deadline, never a timing expectation).
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

namespace tarvola::testing_support {

// Looks at each message before it is dispatched.
using MessageWatcher = std::function<void(const MSG& message)>;

// Dispatches every message already queued for this thread.
inline void DrainMessages(const MessageWatcher& watch = nullptr) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (watch)
            watch(message);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Dispatches messages until `done` holds or `deadline` passes; answers `done`.
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline,
                      const MessageWatcher& watch = nullptr) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done() && std::chrono::steady_clock::now() < end) {
        DrainMessages(watch);
        if (!done())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return done();
}

// Dispatches messages for the whole of `period`.
inline void PumpFor(std::chrono::milliseconds period, const MessageWatcher& watch = nullptr) {
    PumpUntil([] { return false; }, period, watch);
}

} // namespace tarvola::testing_support
