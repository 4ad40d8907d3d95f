#include "kernel/TransformConvolution.h"

#include "base/Numerics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace tarvola {
namespace {

constexpr SampleRange Words{-32768, 32767};

TEST(SettledSample, SettlesOnlyWhenTheWholeIntervalGivesOneSample) {
    struct Case {
        std::string name;
        double value;
        double bound;
        bool settled;
        std::int64_t sample;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"inside a step", 2.3, 0.1, true, 2},
        {"negative", -7.8, 0.2, true, -8},
        {"exact half", 2.5, 1e-12, false, 0},
        {"reaches a half", 2.49, 0.02, false, 0},
        {"just clear of a half", 2.49, 0.009, true, 2},
        {"a half with no bound is still unsettled", 3.5, 0, false, 0},
        {"far above the top clips", 40000, 100, true, 32767},
        {"far below the bottom clips", -40000, 100, true, -32768},
        {"straddles the top, clips either way", 32767.4, 0.2, true, 32767},
        {"straddles a half below the top", 32766.5, 0.01, false, 0},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), 0, false, 0},
        {"unbounded", 1.0, inf, false, 0},
        {"negative bound", 1.0, -1, false, 0},
    };
    for (const Case& c : cases) {
        std::int64_t sample = 0;
        EXPECT_EQ(SettledSample(c.value, c.bound, Words, sample), c.settled) << c.name;
        if (c.settled) {
            EXPECT_EQ(sample, c.sample) << c.name;
        }
    }
}

TEST(SummationBound, GrowsWithTheTermsAndTheMagnitudes) {
    EXPECT_NEAR(SummationBound(1, 1.0), 2 * (0x1p-53 + 0x1p-63), 1e-30);
    EXPECT_GT(SummationBound(10240, 65536.0), 10240 * 65536.0 * 0x1p-53);
    EXPECT_LT(SummationBound(10240, 65536.0), 1e-7);
    EXPECT_TRUE(std::isinf(SummationBound(std::int64_t{1} << 53, 1.0)));
}

// A channel whose frames live in plain vectors; the output is the exact reference result the test
// computes beforehand, so feedback windows read what the engine would have written.
class VectorFrames : public ChannelFrames {
public:
    std::vector<double> input, output;
    void Read(bool fromOutput, std::int64_t first, std::int64_t count, double* into) const override {
        const std::vector<double>& source = fromOutput ? output : input;
        for (std::int64_t i = 0; i < count; ++i) {
            const std::int64_t frame = first + i;
            into[i] = frame >= 0 && frame < static_cast<std::int64_t>(source.size())
                          ? source[static_cast<std::size_t>(frame)]
                          : 0.0;
        }
    }
    void Store(std::int64_t, std::int64_t) override {}
    std::int64_t ComputeExactly(std::int64_t) override { return 0; }
};

// The transform's sums against sums in 80-bit precision (far closer to the exact ones than the bound):
// the bound holds for every frame and stays small enough to settle nearly every sample.
// The transform's buffers refuse indexes outside them: a stretch in every build, a single element where
// the sanitizer build checks elements.
TEST(AlignedBuffer, RefusesIndexesOutsideIt) {
    SampleBuffer buffer(8);
    EXPECT_EQ(buffer.Window(0, 8), buffer.data());
    EXPECT_EQ(buffer.Window(8, 0), buffer.data() + 8);
    EXPECT_EQ(buffer.Window(3, 5), buffer.data() + 3);
    EXPECT_THROW(buffer.Window(4, 5), RangeError);
    EXPECT_THROW(buffer.Window(9, 0), RangeError);
    EXPECT_THROW(buffer.Window(1, std::numeric_limits<std::size_t>::max()), RangeError);
    buffer[7] = 1.5;
    EXPECT_EQ(buffer.data()[7], 1.5);
    if (kCheckedBufferIndexes) {
        EXPECT_THROW(static_cast<void>(buffer[8]), RangeError);
        const SpectrumBuffer spectrum(3);
        EXPECT_THROW(static_cast<void>(spectrum[3]), RangeError);
    }
}

// The exact sum of a frame's taps, in 80-bit precision.
long double ExactSum(const VectorFrames& channel, const std::vector<TransformTap>& taps, std::int64_t frame) {
    long double exact = 0;
    for (const TransformTap& tap : taps) {
        const std::int64_t read = frame - tap.delay;
        const std::vector<double>& source = tap.feedback ? channel.output : channel.input;
        if (read >= 0 && read < static_cast<std::int64_t>(source.size()))
            exact += tap.value * static_cast<long double>(source[static_cast<std::size_t>(read)]);
    }
    return exact;
}

// Every block's sums lie within its bound of the exact sums, and the bound stays small.
void ExpectWithinTheBound(const TransformChannel& transform, const VectorFrames& channel,
                          const std::vector<TransformTap>& taps) {
    const std::int64_t block = transform.BlockFrames();
    for (std::int64_t b = 0; b < transform.Blocks(); ++b) {
        const TransformChannel::BlockResult result = transform.TransformBlock(channel, b);
        EXPECT_LT(result.bound, 1e-5) << "block " << block;
        for (std::size_t i = 0; i < result.sums.size(); ++i) {
            const std::int64_t frame = b * block + static_cast<std::int64_t>(i);
            ASSERT_LE(std::fabs(result.sums[i] - static_cast<double>(ExactSum(channel, taps, frame))),
                      result.bound)
                << "block " << block << ", frame " << frame;
        }
    }
}

VectorFrames RandomFrames(std::mt19937_64& random, std::int64_t frames) {
    std::uniform_real_distribution<double> unit(-1, 1);
    VectorFrames channel;
    for (std::int64_t i = 0; i < frames; ++i) {
        channel.input.push_back(std::round(32767 * unit(random)));
        channel.output.push_back(std::round(32767 * unit(random)));
    }
    return channel;
}

TEST(TransformChannel, TheErrorBoundHoldsForEveryFrame) {
    std::mt19937_64 random(44);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (const std::int64_t block : {2, 16, 256, 4096}) {
        const std::int64_t frames = 3 * block + 17;
        const VectorFrames channel = RandomFrames(random, frames);
        std::vector<TransformTap> taps;
        for (int i = 0; i < 400; ++i) {
            const bool feedback = i % 3 == 0;
            const std::int64_t reach = 4 * block;
            const std::int64_t delay = feedback ? block + static_cast<std::int64_t>(random() % reach)
                                                : static_cast<std::int64_t>(random() % reach) - block / 2;
            taps.push_back({static_cast<long double>(unit(random)) / 100, delay, feedback});
        }
        taps.push_back({std::ldexp(0.7L, -40), 3, false}); // a value far below the others
        const TransformChannelShape shape{frames, Words, 32767};
        const TransformChannel transform(taps, shape, block);
        ExpectWithinTheBound(transform, channel, taps);
    }
}

// Feedback delays from one base block to hundreds of them go through levels of longer blocks, each
// adding its sums and its bound to the frames of the base block.
TEST(TransformChannel, LongFeedbackGoesThroughLongerBlocksWithinTheBound) {
    std::mt19937_64 random(45);
    std::uniform_real_distribution<double> unit(-1, 1);
    const std::int64_t frames = 7000;
    const VectorFrames channel = RandomFrames(random, frames);
    std::vector<TransformTap> taps = {{0.3L, 16, true}, {-0.2L, 127, true}, {0.1L, 128, true}};
    for (int i = 0; i < 300; ++i) {
        const bool feedback = i % 2 == 0;
        const std::int64_t delay = static_cast<std::int64_t>(random() % 6000) + (feedback ? 16 : -50);
        taps.push_back({static_cast<long double>(unit(random)) / 200, delay, feedback});
    }
    const TransformChannel transform(taps, {frames, Words, 32767}, 16);
    EXPECT_EQ(transform.LevelBlocks(), (std::vector<std::int64_t>{16, 128, 1024}));
    EXPECT_TRUE(transform.HasFeedback());
    ExpectWithinTheBound(transform, channel, taps);
}

// A run that stops, or whose frames cannot be read on the helper thread, ends with the helper stopped:
// it returns false, or raises the helper's error, rather than waiting for the helper for ever.
TEST(TransformChannel, AHelpedRunStopsAndPassesOnErrors) {
    std::mt19937_64 random(46);
    const std::int64_t frames = 40000;
    std::vector<TransformTap> taps = {{0.5L, 0, false}, {0.1L, 9000, false}};
    for (std::int64_t delay = 64; delay < 20000; delay += 997)
        taps.push_back({0.01L, delay, true});
    const TransformChannel transform(taps, {frames, Words, 32767}, 64);
    ASSERT_GE(transform.LevelBlocks().back(), 4096);

    VectorFrames channel = RandomFrames(random, frames);
    std::int64_t blocks = 0;
    EXPECT_FALSE(transform.Run(
        channel, 0, transform.Blocks(), [&](std::int64_t) { return ++blocks < 100; }, true));
    EXPECT_EQ(blocks, 100);

    struct FailingFrames : VectorFrames {
        void Read(bool fromOutput, std::int64_t first, std::int64_t count, double* into) const override {
            if (!fromOutput && first > 20000)
                throw RangeError("input gone");
            VectorFrames::Read(fromOutput, first, count, into);
        }
    };
    FailingFrames failing;
    failing.input = channel.input;
    failing.output = channel.output;
    EXPECT_THROW(transform.Run(failing, 0, transform.Blocks(), {}, true), RangeError);
}

// A channel whose output the run writes: each stored frame becomes final in order, an unsettled frame is
// computed exactly from the taps, and every read of output frames not yet final is recorded (helpers
// read the output on their own threads while the run stores later frames).
class FinalFrames : public ChannelFrames {
public:
    FinalFrames(std::vector<double> input, std::vector<TransformTap> taps)
        : input_(std::move(input)), output_(input_.size(), 0.0), taps_(std::move(taps)) {}

    void Read(bool fromOutput, std::int64_t first, std::int64_t count, double* into) const override {
        const std::int64_t frames = static_cast<std::int64_t>(input_.size());
        if (fromOutput && std::min(first + count, frames) > final_.load(std::memory_order_acquire))
            earlyReads_.fetch_add(1);
        const std::vector<double>& source = fromOutput ? output_ : input_;
        for (std::int64_t i = 0; i < count; ++i) {
            const std::int64_t frame = first + i;
            into[i] = frame >= 0 && frame < frames ? source[static_cast<std::size_t>(frame)] : 0.0;
        }
    }
    void Store(std::int64_t frame, std::int64_t sample) override {
        output_[static_cast<std::size_t>(frame)] = static_cast<double>(sample);
        final_.store(frame + 1, std::memory_order_release);
    }
    std::int64_t ComputeExactly(std::int64_t frame) override {
        long double sum = 0;
        for (const TransformTap& tap : taps_) {
            const std::int64_t read = frame - tap.delay;
            const std::vector<double>& source = tap.feedback ? output_ : input_;
            if (read >= 0 && read < static_cast<std::int64_t>(source.size()))
                sum += tap.value * static_cast<long double>(source[static_cast<std::size_t>(read)]);
        }
        const auto sample = static_cast<std::int64_t>(std::clamp(std::nearbyint(static_cast<double>(sum)),
                                                                 static_cast<double>(Words.min),
                                                                 static_cast<double>(Words.max)));
        Store(frame, sample);
        return sample;
    }

    const std::vector<double>& Output() const { return output_; }
    std::int64_t EarlyReads() const { return earlyReads_.load(); }

private:
    std::vector<double> input_, output_;
    std::vector<TransformTap> taps_;
    std::atomic<std::int64_t> final_{0};
    mutable std::atomic<std::int64_t> earlyReads_{0};
};

// Laid out for helpers, the long levels take only feedback taps of two of their blocks or more, and the
// helpers compute them a block ahead: no helper reads an output frame before it is final, and the output
// equals that of a run without helpers, on one helper and on more helpers than levels.
TEST(TransformChannel, HelpersComputeLongLevelsAheadFromFinalFramesOnly) {
    std::mt19937_64 random(47);
    std::uniform_real_distribution<double> unit(-1, 1);
    const std::int64_t frames = 60000;
    std::vector<TransformTap> taps = {{0.5L, 0, false}, {0.2L, 5, true}};
    for (int i = 0; i < 400; ++i) {
        const bool feedback = i % 2 == 0;
        const std::int64_t delay = static_cast<std::int64_t>(random() % 30000) + (feedback ? 64 : 0);
        taps.push_back({static_cast<long double>(unit(random)) / 300, delay, feedback});
    }
    for (const std::int64_t delay : {1024, 2047, 8192, 16383}) // at the edges of the levels' reach
        taps.push_back({0.05L, delay, true});
    std::vector<double> input;
    for (std::int64_t i = 0; i < frames; ++i)
        input.push_back(std::round(20000 * unit(random)));
    const TransformChannelShape shape{frames, Words, 20000};

    const TransformChannel plain(taps, shape, 64);
    FinalFrames alone(input, taps);
    ASSERT_TRUE(plain.Run(alone, 0, plain.Blocks(), {}));
    const TransformChannel helped(taps, shape, 64, true);
    ASSERT_GE(helped.LevelBlocks().back(), 4096);
    for (const unsigned helpers : {1u, 5u}) {
        FinalFrames shared(input, taps);
        ASSERT_TRUE(helped.Run(shared, 0, helped.Blocks(), {}, helpers));
        EXPECT_EQ(shared.EarlyReads(), 0) << helpers << " helpers";
        EXPECT_TRUE(shared.Output() == alone.Output()) << helpers << " helpers";
    }
    EXPECT_EQ(alone.EarlyReads(), 0);
    EXPECT_GT(helped.SettledSamples(), 50 * helped.ExactSamples());
}

TEST(TransformChannel, RefusesWhatItCannotBound) {
    const TransformChannelShape shape{100, Words, 1000};
    const std::vector<TransformTap> infinite = {{std::numeric_limits<long double>::infinity(), 0, false}};
    const std::vector<TransformTap> enormous = {{1e300L, 0, false}};
    const std::vector<TransformTap> fine = {{0.5L, 0, false}, {0.25L, 3, true}};
    EXPECT_FALSE(TransformApplies(infinite, shape));
    EXPECT_FALSE(TransformApplies(enormous, shape));
    EXPECT_TRUE(TransformApplies(fine, shape));
    EXPECT_THROW(TransformChannel(infinite, shape, 16), std::invalid_argument);
    EXPECT_THROW(TransformChannel(fine, shape, 24), std::invalid_argument);
    EXPECT_FALSE(EstimateMethods(fine, shape, 4).transform()) << "two taps stay direct";
}

// Each worker keeps the spectra of every window its kernel spans: a kernel spread over millions of frames
// would take more memory than a 32-bit process can spare, and stays with the direct engine.
TEST(TransformChannel, TheCostModelKeepsTheMemoryWithinItsShare) {
    const TransformChannelShape shape{4000000, Words, 32767};
    const auto spread = [](std::int64_t reach) {
        std::vector<TransformTap> taps;
        for (std::int64_t i = 0; i < 2000; ++i)
            taps.push_back({0.001L, i * reach / 2000, false});
        return taps;
    };
    const MethodEstimate nearby = EstimateMethods(spread(100000), shape, 4);
    EXPECT_TRUE(nearby.transform());
    EXPECT_GE(nearby.blockFrames, 2);
    EXPECT_FALSE(EstimateMethods(spread(7000000), shape, 4).transform());
}

} // namespace
} // namespace tarvola
