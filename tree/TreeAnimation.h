// The timed loop behind the tree's animations (sliding rows on expand and collapse, hint animations): a
// number of steps spread over a duration, each step handed to a callback, with the clock behind an interface
// so that the step sizes and counts can be checked without waiting.
#pragma once

#include <cstdint>
#include <functional>

namespace tarvola {

// Step (from 0) and its size; answers false to stop. A last call with (0, 0) follows the loop.
using TAnimationCallback = std::function<bool(std::uint32_t step, std::uint32_t stepSize)>;

class IAnimationClock {
public:
    virtual ~IAnimationClock() = default;
    // Milliseconds on a wrapping 32-bit clock.
    virtual std::uint32_t Now() = 0;
    // Returns once Now() has reached time.
    virtual void WaitUntil(std::uint32_t time) = 0;
    // The program is ending: no further steps.
    virtual bool Terminating() const { return false; }
};

// The monotonic clock of the process; waiting polls it and yields the processor between polls.
class TSteadyAnimationClock : public IAnimationClock {
public:
    std::uint32_t Now() override;
    void WaitUntil(std::uint32_t time) override;
};

// Runs Steps over Duration milliseconds (nothing for a Duration of 0). Steps that would get less than a
// millisecond each are merged into larger ones.
void RunAnimation(std::uint32_t steps, std::uint32_t duration, const TAnimationCallback& callback,
                  IAnimationClock& clock);

} // namespace tarvola
