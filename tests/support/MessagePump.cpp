#include "tests/support/MessagePump.h"

#include "forms/Application.h"

#include <windows.h>

namespace tarvola::test {

namespace {

void WaitForMessages(std::chrono::milliseconds longest) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(longest.count()), QS_ALLINPUT);
}

} // namespace

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
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

void PumpFor(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

void PumpPending() {
    Application().ProcessMessages();
}

} // namespace tarvola::test
