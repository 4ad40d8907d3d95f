// Message pumping for tests that drive real windows: messages go through the application's loop (short cuts
// and dialog keys included) until a condition holds or a deadline passes.
#pragma once

#include <chrono>
#include <functional>

namespace tarvola::test {

using namespace std::chrono_literals;

// Handles messages until the condition holds (true) or the deadline passes (false).
bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = 5s);
// Handles messages for a while.
void PumpFor(std::chrono::milliseconds duration);
// Handles the messages waiting now.
void PumpPending();

} // namespace tarvola::test
