#include "kernel/ProcessProgress.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvola {
namespace {

TEST(ProgressEstimate, EachStepAddsAHundredthOfTheTotal) {
    TProgressEstimate estimate;
    estimate.Start(1000000, 0.0);
    EXPECT_EQ(estimate.StepSize(), 10000);
    for (int step = 1; step <= 3; ++step) {
        estimate.Step(step);
        EXPECT_EQ(estimate.Done(), 10000 * step);
        EXPECT_EQ(estimate.Remaining(), 1000000 - 10000 * step);
    }
}

TEST(ProgressEstimate, TimeLeftIsElapsedPerUnitTimesTheUnitsLeft) {
    // Total 100: after 50 steps as much is left as is done, so the time left equals the time elapsed.
    const struct {
        double elapsed;
        const char* text;
    } cases[] = {{3725.0, "1:02:05"}, {59.0, "0:00:59"}, {59.9, "0:00:59"}, {1e9, "255:59:59"}};
    for (const auto& c : cases) {
        TProgressEstimate estimate;
        estimate.Start(100, 1000.0);
        for (int step = 1; step <= 50; ++step)
            estimate.Step(1000.0 + c.elapsed);
        EXPECT_NEAR(estimate.TimeLeft(), c.elapsed, 1e-6);
        EXPECT_EQ(estimate.TimeLeftText(), c.text) << c.elapsed;
    }
}

TEST(ProgressEstimate, FallsAtAConstantRateAndKeepsTheLastEstimateAtTheEnd) {
    TProgressEstimate estimate;
    estimate.Start(100000, 0.0);
    double previous = 1e300;
    for (int step = 1; step < 100; ++step) {
        estimate.Step(step * 10.0); // 10 s per hundredth
        EXPECT_LT(estimate.TimeLeft(), previous);
        previous = estimate.TimeLeft();
    }
    EXPECT_EQ(estimate.TimeLeftText(), "0:00:10");
    estimate.Step(1000.0);
    EXPECT_EQ(estimate.Remaining(), 0);
    EXPECT_EQ(estimate.TimeLeftText(), "0:00:10"); // no time left is no estimate
}

TEST(ProgressEstimate, ARunOfLessThanAHundredUnitsNeverDividesByZero) {
    TProgressEstimate estimate;
    estimate.Start(99, 0.0);
    EXPECT_EQ(estimate.StepSize(), 0);
    estimate.Step(5.0);
    EXPECT_EQ(estimate.Done(), 0);
    EXPECT_EQ(estimate.TimeLeftText(), "0:00:00");
}

TEST(HoverArea, OnlyPointsStrictlyInsideCount) {
    const TScreenRect panel{100, 200, 237, 226};
    const struct {
        int x, y;
        bool inside;
    } cases[] = {{101, 201, true},  {236, 225, true},  {150, 210, true}, {100, 210, false}, {237, 210, false},
                 {150, 200, false}, {150, 226, false}, {99, 199, false}, {300, 210, false}};
    for (const auto& c : cases)
        EXPECT_EQ(StrictlyInside(panel, c.x, c.y), c.inside) << c.x << "," << c.y;
}

TEST(StepPacer, StepsOnceForEveryHundredthOfTheSamples) {
    const struct {
        std::int64_t total;
        std::int64_t steps;
    } cases[] = {{0, 0}, {99, 0}, {100, 100}, {1000, 100}, {1050, 105}, {1099, 109}};
    for (const auto& c : cases) {
        TStepPacer pacer(c.total);
        std::int64_t steps = 0;
        for (std::int64_t done = 0; done <= c.total; done += 7)
            steps += pacer.StepsDue(done);
        steps += pacer.StepsDue(c.total);
        EXPECT_EQ(steps, c.steps) << c.total;
        EXPECT_EQ(pacer.StepsTaken(), c.steps);
    }
}

TEST(StepPacer, AReportOfManyHundredthsBringsThemAllAtOnce) {
    TStepPacer pacer(10000);
    EXPECT_EQ(pacer.StepsDue(99), 0);
    EXPECT_EQ(pacer.StepsDue(100), 1);
    EXPECT_EQ(pacer.StepsDue(100), 0);
    EXPECT_EQ(pacer.StepsDue(2550), 24);
    EXPECT_EQ(pacer.StepsDue(10000), 75);
}

// ---- A run paced from the engine's reports

// Plays the progress window: counts the questions and steps, and halts when told to at a question.
class FakeProgress : public IRunProgress {
public:
    int haltAtQuestion = 0; // 0: never
    bool throwAtQuestion = false;
    int questions = 0;
    int steps = 0;
    bool halted = false;

    bool CheckHover() override {
        ++questions;
        if (throwAtQuestion)
            throw std::runtime_error("the window failed");
        if (questions == haltAtQuestion)
            halted = true;
        return questions == haltAtQuestion;
    }
    void Step() override {
        EXPECT_GT(questions, 0) << "a question comes before the first step";
        ++steps;
    }
    bool Halted() const override { return halted; }
};

struct RunSignal {
    std::vector<std::uint8_t> input;
    std::vector<std::uint8_t> output;
    int bytesPerSample;
    int channels;

    RunSignal(std::size_t samples, int bytes, int chans) : bytesPerSample(bytes), channels(chans) {
        std::mt19937 random(42);
        input.resize(samples * static_cast<std::size_t>(bytes));
        for (std::uint8_t& b : input)
            b = static_cast<std::uint8_t>(random());
        output.assign(input.size(), 0);
    }
    ConvolutionSignal Signal() {
        return {input.data(), output.data(), input.size(), bytesPerSample, channels};
    }
    std::vector<std::uint8_t> Reference(const std::vector<ConvolutionRecord>& left,
                                        const std::vector<ConvolutionRecord>& right) {
        std::vector<std::uint8_t> expected(input.size());
        ConvolveReference({input.data(), expected.data(), input.size(), bytesPerSample, channels}, left,
                          right);
        return expected;
    }
};

const std::vector<ConvolutionRecord> kLeft{{0.5L, 0, TSourceKind::Input},
                                           {0.25L, 3, TSourceKind::Output},
                                           {-0.125L, 40, TSourceKind::Input},
                                           {0.75L, 41, TSourceKind::Pass}};
const std::vector<ConvolutionRecord> kRight{{1.0L, 1, TSourceKind::Input}, {0.5L, 0, TSourceKind::Output}};

TEST(RunConvolution, AFullRunStepsAHundredTimesAndGivesTheReferenceBytes) {
    for (unsigned threads : {1u, 4u}) {
        RunSignal signal(20000, 2, 2);
        FakeProgress progress;
        EXPECT_EQ(RunConvolution(signal.Signal(), kLeft, kRight, progress, threads),
                  ConvolutionOutcome::Completed);
        EXPECT_EQ(progress.steps, 100) << threads;
        EXPECT_LE(progress.questions, progress.steps);
        EXPECT_EQ(signal.output, signal.Reference(kLeft, kRight)) << threads;
    }
}

TEST(RunConvolution, ASignalOfLessThanAHundredSamplesTakesNoStep) {
    RunSignal signal(99, 1, 1);
    FakeProgress progress;
    EXPECT_EQ(RunConvolution(signal.Signal(), kLeft, {}, progress, 1), ConvolutionOutcome::Completed);
    EXPECT_EQ(progress.steps, 0);
    EXPECT_EQ(progress.questions, 0);
    EXPECT_EQ(signal.output, signal.Reference(kLeft, {}));
}

TEST(RunConvolution, AHaltAtAQuestionStopsTheRunWithoutAnotherStep) {
    for (unsigned threads : {1u, 4u}) {
        RunSignal signal(400000, 2, 2);
        FakeProgress progress;
        progress.haltAtQuestion = 1;
        EXPECT_EQ(RunConvolution(signal.Signal(), kLeft, kRight, progress, threads),
                  ConvolutionOutcome::Halted);
        EXPECT_EQ(progress.questions, 1) << threads;
        EXPECT_EQ(progress.steps, 0) << threads;
    }
}

TEST(RunConvolution, AFailingWindowStopsTheRunAndItsErrorComesOutAfterIt) {
    for (unsigned threads : {1u, 4u}) {
        RunSignal signal(400000, 2, 1);
        FakeProgress progress;
        progress.throwAtQuestion = true;
        EXPECT_THROW(RunConvolution(signal.Signal(), kLeft, {}, progress, threads), std::runtime_error);
        EXPECT_EQ(progress.questions, 1) << threads;
    }
}

} // namespace
} // namespace tarvola
