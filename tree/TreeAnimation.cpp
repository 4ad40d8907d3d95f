#include "tree/TreeAnimation.h"

#include "base/Numerics.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace tarvola {

std::uint32_t TSteadyAnimationClock::Now() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void TSteadyAnimationClock::WaitUntil(std::uint32_t time) {
    // The difference as a signed value copes with the clock wrapping.
    while (static_cast<std::int32_t>(time - Now()) > 0)
        std::this_thread::yield();
}

void RunAnimation(std::uint32_t steps, std::uint32_t duration, const TAnimationCallback& callback,
                  IAnimationClock& clock) {
    if (duration == 0)
        return;
    std::uint32_t stepSize = static_cast<std::uint32_t>(
        Round32(std::max<long double>(1, static_cast<long double>(steps) / duration)));
    std::uint32_t remainingSteps = steps / stepSize;
    std::uint32_t remainingTime = duration;
    std::uint32_t step = 0;
    while (remainingSteps > 0 && remainingTime > 0 && !clock.Terminating()) {
        const std::uint32_t start = clock.Now();
        const std::uint32_t next = start + remainingTime / remainingSteps;
        if (!callback(step, stepSize))
            break;
        clock.WaitUntil(next);
        const std::uint32_t elapsed = clock.Now() - start;
        if (elapsed > remainingTime) {
            remainingTime = 0;
            remainingSteps = 0;
        } else {
            remainingTime -= elapsed;
            --remainingSteps;
        }
        // Less than a millisecond per step is more than the clock can time: take larger steps instead.
        while (remainingSteps > 0 && remainingTime < remainingSteps) {
            ++stepSize;
            remainingSteps = remainingTime / stepSize;
        }
        step = steps - remainingSteps;
    }
    if (!clock.Terminating())
        callback(0, 0);
}

} // namespace tarvola
