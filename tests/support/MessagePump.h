// Message pumping for tests that drive real windows: messages go through the application's loop (short cuts
// and dialog keys included) until a condition holds or a deadline passes. A watcher, when given, sees each
// message this thread takes from its queue meanwhile, before it is handled.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

namespace tarvola::test {

using namespace std::chrono_literals;

// Looks at a message taken from the queue, before it is handled.
using MessageWatcher = std::function<void(const MSG& message)>;

// Handles messages until the condition holds (true) or the deadline passes (false).
bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = 5s,
               const MessageWatcher& watch = nullptr);
// Handles messages for a while.
void PumpFor(std::chrono::milliseconds duration, const MessageWatcher& watch = nullptr);
// Handles the messages waiting now.
void PumpPending(const MessageWatcher& watch = nullptr);

} // namespace tarvola::test
