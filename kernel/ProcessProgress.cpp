#include "kernel/ProcessProgress.h"

#include <algorithm>
#include <exception>

namespace tarvola {

void TProgressEstimate::Start(std::int64_t total, double now) {
    total_ = std::max<std::int64_t>(total, 0);
    stepSize_ = total_ / kProgressSteps;
    done_ = 0;
    remaining_ = total_;
    start_ = now;
    elapsed_ = 0;
    timeLeft_ = 0;
    timeLeftHMS_ = {};
}

void TProgressEstimate::Step(double now) {
    done_ = std::min(done_ + stepSize_, total_);
    remaining_ = total_ - done_;
    elapsed_ = now - start_;
    // Nothing done yet gives no rate to estimate from; the previous estimate stays.
    if (done_ <= 0)
        return;
    timeLeft_ = elapsed_ / static_cast<double>(done_) * static_cast<double>(remaining_);
    if (timeLeft_ > 0)
        timeLeftHMS_ = SecondsToHMS(timeLeft_);
}

bool StrictlyInside(const TScreenRect& rect, int x, int y) {
    return rect.Left < x && x < rect.Right && rect.Top < y && y < rect.Bottom;
}

std::int64_t TStepPacer::StepsDue(std::int64_t samplesDone) {
    if (interval_ <= 0)
        return 0;
    const std::int64_t due = std::max<std::int64_t>(samplesDone / interval_ - taken_, 0);
    taken_ += due;
    return due;
}

ConvolutionOutcome RunConvolution(const ConvolutionSignal& signal, std::span<const ConvolutionRecord> left,
                                  std::span<const ConvolutionRecord> right, IRunProgress& progress,
                                  unsigned threads) {
    ConvolutionEngine engine(signal, left, right);
    TStepPacer pacer(engine.TotalSamples());
    // The engine's workers must be joined before an error leaves: a failing window stops the run, and
    // its error is raised once the engine is done.
    std::exception_ptr error;
    const auto report = [&](std::int64_t done, std::int64_t) {
        try {
            const std::int64_t due = pacer.StepsDue(done);
            if (due > 0) {
                // One question per report, however many steps it brings.
                progress.CheckHover();
                if (progress.Halted())
                    return false;
                for (std::int64_t i = 0; i < due; ++i)
                    progress.Step();
            }
            return !progress.Halted();
        } catch (...) {
            error = std::current_exception();
            return false;
        }
    };
    const ConvolutionOutcome outcome = engine.Run(report, threads);
    if (error)
        std::rethrow_exception(error);
    return outcome;
}

} // namespace tarvola
