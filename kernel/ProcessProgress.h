// The arithmetic of a processing run's progress, apart from any window: the time-left estimate the
// progress window shows, its strict hover test, the pacing of its steps, and a convolution run that steps
// it from the engine's progress reports.
//
// A run takes about a hundred steps: one each time another hundredth of the processed samples (over all
// channels) is finished. At each step the window is first asked whether the user halts (CheckHover), then
// stepped. Runs of fewer than 100 samples take no step at all.
#pragma once

#include "audio/General.h"
#include "kernel/Convolution.h"

#include <cstdint>
#include <span>
#include <string>

namespace tarvola {

// Steps of a whole run: the progress bar's range.
inline constexpr int kProgressSteps = 100;

// The time-left estimate: Start with the run's units of work, then one Step per hundredth done.
class TProgressEstimate {
public:
    // Clock readings are seconds of a monotonic clock.
    void Start(std::int64_t total, double now);
    void Step(double now);

    std::int64_t Total() const { return total_; }
    std::int64_t StepSize() const { return stepSize_; }
    std::int64_t Done() const { return done_; }
    std::int64_t Remaining() const { return remaining_; }
    double Elapsed() const { return elapsed_; }
    double TimeLeft() const { return timeLeft_; }
    // The last positive estimate, as "H:MM:SS" ("0:00:00" before there is one).
    const THMS& TimeLeftHMS() const { return timeLeftHMS_; }
    std::string TimeLeftText() const { return HMSToText(timeLeftHMS_); }

private:
    std::int64_t total_ = 0;
    std::int64_t stepSize_ = 0;
    std::int64_t done_ = 0;
    std::int64_t remaining_ = 0;
    double start_ = 0;
    double elapsed_ = 0;
    double timeLeft_ = 0;
    THMS timeLeftHMS_{};
};

// A screen rectangle, right and bottom exclusive as Win32 has them.
struct TScreenRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// True when the point lies strictly inside: a point on any edge is outside.
bool StrictlyInside(const TScreenRect& rect, int x, int y);

// Turns the samples finished so far into the steps due now.
class TStepPacer {
public:
    // The samples a run processes over all channels; the interval is a hundredth of them.
    explicit TStepPacer(std::int64_t totalSamples) : interval_(totalSamples / kProgressSteps) {}

    std::int64_t Interval() const { return interval_; }
    std::int64_t StepsTaken() const { return taken_; }
    // The steps to take now that `samplesDone` are finished (0 while the interval is 0), counted as taken.
    std::int64_t StepsDue(std::int64_t samplesDone);

private:
    std::int64_t interval_;
    std::int64_t taken_ = 0;
};

// What a run needs of the progress window.
class IRunProgress {
public:
    virtual ~IRunProgress() = default;
    // Asks the user to halt when the pointer rests on the hover area; true when it did.
    virtual bool CheckHover() = 0;
    virtual void Step() = 0;
    // True once the user chose to halt.
    virtual bool Halted() const = 0;
};

// Runs the engine over the signal (the output starts as a copy of the input) and paces the progress
// window from its reports on the calling thread: at each due step CheckHover, then Step. A halt stops the
// run at the next report; the output is then partly written. `threads` 0: one per core.
ConvolutionOutcome RunConvolution(const ConvolutionSignal& signal, std::span<const ConvolutionRecord> left,
                                  std::span<const ConvolutionRecord> right, IRunProgress& progress,
                                  unsigned threads = 0);

} // namespace tarvola
