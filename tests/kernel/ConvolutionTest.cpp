#include "kernel/Convolution.h"

#include "base/Numerics.h"
#include "kernel/KrnlDsgnTypes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace tarvola {
namespace {

using Kernel = std::vector<ConvolutionRecord>;

constexpr TSourceKind Pass = TSourceKind::Pass;
constexpr TSourceKind In = TSourceKind::Input;
constexpr TSourceKind Out = TSourceKind::Output;

// Interleaved little-endian samples of the given container size.
std::vector<std::uint8_t> Encode(const std::vector<std::int64_t>& samples, int bytesPerSample) {
    std::vector<std::uint8_t> bytes;
    for (std::int64_t sample : samples)
        for (int b = 0; b < bytesPerSample; ++b)
            bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(sample) >> (8 * b)));
    return bytes;
}

std::vector<std::int64_t> Decode(const std::vector<std::uint8_t>& bytes, int bytesPerSample) {
    std::vector<std::int64_t> samples;
    for (std::size_t i = 0; i + bytesPerSample <= bytes.size(); i += bytesPerSample) {
        std::uint64_t raw = 0;
        for (int b = 0; b < bytesPerSample; ++b)
            raw |= static_cast<std::uint64_t>(bytes[i + b]) << (8 * b);
        std::int64_t value = static_cast<std::int64_t>(raw);
        if (bytesPerSample > 1 && (raw >> (8 * bytesPerSample - 1)) != 0)
            value -= std::int64_t{1} << (8 * bytesPerSample);
        samples.push_back(value);
    }
    return samples;
}

struct TestSignal {
    std::vector<std::uint8_t> input;
    int bytesPerSample;
    int channels;

    ConvolutionSignal Signal(std::vector<std::uint8_t>& output) const {
        output.assign(input.size(), 0xA5);
        return {input.data(), output.data(), input.size(), bytesPerSample, channels};
    }
    std::vector<std::uint8_t> Reference(const Kernel& left, const Kernel& right) const {
        std::vector<std::uint8_t> output;
        ConvolveReference(Signal(output), left, right);
        return output;
    }
    std::vector<std::uint8_t> Engine(const Kernel& left, const Kernel& right, unsigned threads) const {
        std::vector<std::uint8_t> output;
        ConvolutionEngine engine(Signal(output), left, right);
        EXPECT_EQ(engine.Run({}, threads), ConvolutionOutcome::Completed);
        return output;
    }
    // By the transform method on blocks of `block` frames; adds the samples it settled and those it
    // computed exactly to `use`.
    std::vector<std::uint8_t> Transform(const Kernel& left, const Kernel& right, unsigned threads,
                                        std::int64_t block, ConvolutionEngine::TransformSamples& use) const {
        std::vector<std::uint8_t> output;
        ConvolutionEngine engine(Signal(output), left, right);
        const ConvolutionTuning tuning{.method = ConvolutionMethod::Transform, .transformBlock = block};
        EXPECT_EQ(engine.Run({}, threads, tuning), ConvolutionOutcome::Completed);
        for (int c = 0; c < channels; ++c) {
            const ConvolutionEngine::TransformSamples channel = engine.TransformUse(c);
            use.used = use.used || channel.used;
            use.settled += channel.settled;
            use.exact += channel.exact;
        }
        return output;
    }
};

// The behaviours a user sees, checked on both the reference loops and the engine.
TEST(Convolution, SmallSignalsGiveTheDefinedSamples) {
    const long double tiny = std::ldexp(0.75L, -54);
    struct Case {
        std::string name;
        int bytesPerSample;
        int channels;
        std::vector<std::int64_t> input;
        Kernel left;
        Kernel right;
        std::vector<std::int64_t> expected;
    };
    const Case cases[] = {
        {"identity", 2, 1, {5, -7, 32767, -32768}, {{1.0L, 0, In}}, {}, {5, -7, 32767, -32768}},
        {"delay of 3 frames", 2, 1, {1, 2, 3, 4, 5}, {{1.0L, 3, In}}, {}, {0, 0, 0, 1, 2}},
        {"stereo isolation",
         2,
         2,
         {1, 10, 2, 20, 3, 30},
         {{1.0L, 1, In}},
         {{0.5L, 0, In}},
         {0, 5, 1, 10, 2, 15}},
        {"feedback halves to even",
         2,
         1,
         {1000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         {{1.0L, 0, In}, {0.5L, 1, Out}},
         {},
         {1000, 500, 250, 125, 62, 31, 16, 8, 4, 2, 1, 0}},
        {"8-bit clips at 255, keeps the stored value's scale",
         1,
         1,
         {150, 200},
         {{2.0L, 0, In}},
         {},
         {255, 255}},
        {"8-bit gain applies to the stored value", 1, 1, {200, 128}, {{0.5L, 0, In}}, {}, {100, 64}},
        {"16-bit clips at -32768", 2, 1, {-20000}, {{2.0L, 0, In}}, {}, {-32768}},
        {"2-byte samples clip to the container", 2, 1, {20000, -20000}, {{1.5L, 0, In}}, {}, {30000, -30000}},
        {"24-bit", 3, 2, {8000000, -3, 100, 5}, {{1.5L, 0, In}}, {{-1.0L, 0, In}}, {8388607, 3, 150, -5}},
        {"32-bit", 4, 1, {2000000000, -2000000000, 7}, {{1.25L, 0, In}}, {}, {2147483647, -2147483648LL, 9}},
        {"output tap at impulse 0 reads the input", 2, 1, {3, 4}, {{1.0L, 0, Out}}, {}, {3, 4}},
        {"output tap at a negative impulse reads the input",
         2,
         1,
         {3, 4, 5},
         {{1.0L, -1, Out}},
         {},
         {4, 5, 0}},
        {"pass records are ignored", 2, 1, {3, 4}, {{9.0L, 0, Pass}, {1.0L, 0, In}}, {}, {3, 4}},
        {"product rounds to a double before Round",
         2,
         1,
         {1},
         {{0.5L + std::ldexp(1.0L, -62), 0, In}},
         {},
         {0}},
        {"sum is a double after each record",
         2,
         1,
         {1, 1, 1, 1},
         {{0.5L, 0, In}, {tiny, 1, In}, {tiny, 2, In}},
         {},
         {0, 0, 0, 0}},
        {"records are summed in list order",
         2,
         1,
         {1, 1, 1, 1},
         {{1e20L, 0, In}, {1.0L, 1, In}, {-1e20L, 2, In}},
         {},
         {32767, 32767, 0, 0}},
        {"NaN gives silence",
         2,
         1,
         {1, 0},
         {{std::numeric_limits<long double>::quiet_NaN(), 0, In}},
         {},
         {0, 0}},
        {"infinity clips",
         2,
         1,
         {1, -1},
         {{std::numeric_limits<long double>::infinity(), 0, In}},
         {},
         {32767, -32768}},
        {"huge value clips", 1, 1, {1}, {{1e4000L, 0, In}}, {}, {255}},
    };
    for (const Case& c : cases) {
        const TestSignal run{Encode(c.input, c.bytesPerSample), c.bytesPerSample, c.channels};
        EXPECT_EQ(Decode(run.Reference(c.left, c.right), c.bytesPerSample), c.expected)
            << c.name << ", reference";
        for (unsigned threads : {1u, 3u})
            EXPECT_EQ(Decode(run.Engine(c.left, c.right, threads), c.bytesPerSample), c.expected)
                << c.name << ", engine on " << threads << " threads";
    }
}

TEST(Convolution, SamplesBeyondTheProcessedOnesKeepTheInput) {
    std::vector<std::uint8_t> input(static_cast<std::size_t>(MaxProcessedSamples) + 5);
    for (std::size_t i = 0; i < input.size(); ++i)
        input[i] = static_cast<std::uint8_t>(i * 7);
    const TestSignal run{input, 1, 1};
    const Kernel gain = {{0.5L, 0, In}};
    const std::vector<std::uint8_t> reference = run.Reference(gain, {});
    EXPECT_EQ(reference[100], input[100] / 2);
    EXPECT_EQ(reference[MaxProcessedSamples - 1],
              static_cast<std::uint8_t>(input[MaxProcessedSamples - 1] / 2));
    for (std::size_t i = MaxProcessedSamples; i < input.size(); ++i)
        EXPECT_EQ(reference[i], input[i]);
    EXPECT_TRUE(run.Engine(gain, {}, 0) == reference);
}

TEST(Convolution, OddLastSampleOfAStereoSignalIsCopiedAndReadable) {
    // Five samples: two frames and a lone left sample, which a left tap of negative impulse still reads.
    const TestSignal run{Encode({1, 2, 3, 4, 5}, 2), 2, 2};
    const Kernel left = {{1.0L, -1, In}}, right = {{1.0L, 0, In}};
    EXPECT_EQ(Decode(run.Reference(left, right), 2), (std::vector<std::int64_t>{3, 2, 5, 4, 5}));
    EXPECT_EQ(Decode(run.Engine(left, right, 2), 2), (std::vector<std::int64_t>{3, 2, 5, 4, 5}));
}

TEST(Convolution, RefusesSignalsItCannotHandle) {
    std::vector<std::uint8_t> bytes(16);
    std::vector<std::uint8_t> output(16);
    const ConvolutionSignal fiveBytes{bytes.data(), output.data(), bytes.size(), 5, 1};
    const ConvolutionSignal threeChannels{bytes.data(), output.data(), bytes.size(), 2, 3};
    const ConvolutionSignal noOutput{bytes.data(), nullptr, bytes.size(), 2, 1};
    const ConvolutionSignal overlapping{bytes.data(), bytes.data() + 2, bytes.size() - 2, 2, 1};
    for (const ConvolutionSignal& signal : {fiveBytes, threeChannels, noOutput, overlapping}) {
        EXPECT_THROW(ConvolveReference(signal, {}, {}), std::invalid_argument);
        EXPECT_THROW(ConvolutionEngine(signal, {}, {}), std::invalid_argument);
    }
}

TEST(Convolution, RunsOnTheModelsKernelsWithoutChangingThem) {
    KernelModel model;
    model.LeftKernel.LoadRecords({{0.25L, -2, Out, {}, false},
                                  {1.0L, 0, Out, {}, false},
                                  {0.5L, 1, Out, {}, false},
                                  {9.0L, 3, Pass, {}, true}});
    model.RightKernel.LoadRecords({{-1.0L, 0, In, {}, false}});
    const Kernel left = ConvolutionRecords(model.LeftKernel);
    ASSERT_EQ(left.size(), 4u);
    EXPECT_EQ(left[1].value, 1.0L);
    EXPECT_EQ(left[1].impulse, 0);
    EXPECT_EQ(left[1].kind, Out);
    EXPECT_EQ(left[3].kind, Pass);

    // Left: the Output records at -2 and 0 read the input, the one at 1 the output (265.5 rounds to 266).
    const TestSignal run{Encode({0, 10, 0, 20, 1000, 30, 0, 40, 0, 50}, 2), 2, 2};
    const std::vector<std::int64_t> expected = {250, -10, 125, -20, 1062, -30, 531, -40, 266, -50};
    const Kernel right = ConvolutionRecords(model.RightKernel);
    EXPECT_EQ(Decode(run.Reference(left, right), 2), expected);
    EXPECT_EQ(Decode(run.Engine(left, right, 2), 2), expected);
    EXPECT_EQ(model.LeftKernel.Kind(1), Out);
    EXPECT_EQ(model.LeftKernel.Kind(0), Out);
}

// ---------------------------------------------------------------------------------------------------------
// Engine against reference

std::vector<std::int64_t> RandomSamples(std::mt19937_64& random, std::size_t count, int bytesPerSample) {
    const SampleRange range = ContainerRange(bytesPerSample);
    std::uniform_int_distribution<std::int64_t> full(range.min, range.max);
    std::uniform_int_distribution<std::int64_t> quiet(-100, 100);
    std::vector<std::int64_t> samples(count);
    for (std::int64_t& sample : samples)
        sample = bytesPerSample == 1 ? full(random) : (random() % 4 == 0 ? full(random) : quiet(random));
    return samples;
}

// Values of every kind the kernels hold: full 64-bit significands, dyadic values whose sums land on exact
// halves, large gains that clip, and their negatives.
long double RandomValue(std::mt19937_64& random) {
    switch (random() % 4) {
    case 0:
        return std::ldexp(static_cast<long double>(random() >> 1), -63) * ((random() & 1) ? 1 : -1);
    case 1:
        return static_cast<long double>(static_cast<int>(random() % 17) - 8) / 4;
    case 2:
        return std::ldexp(static_cast<long double>(random()), -70);
    default:
        return static_cast<long double>(static_cast<int>(random() % 2001) - 1000);
    }
}

Kernel RandomKernel(std::mt19937_64& random, int lowImpulse, int highImpulse) {
    Kernel kernel(random() % 40);
    std::uniform_int_distribution<int> impulse(lowImpulse, highImpulse);
    for (ConvolutionRecord& record : kernel)
        record = {RandomValue(random), impulse(random), static_cast<TSourceKind>(random() % 3)};
    return kernel;
}

struct Layout {
    int bytesPerSample;
    int channels;
};
constexpr Layout Layouts[] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 2}, {4, 1}};

Kernel Spread(std::initializer_list<std::pair<int, TSourceKind>> taps, long double value) {
    Kernel kernel;
    for (auto [impulse, kind] : taps)
        kernel.push_back({value, impulse, kind});
    return kernel;
}

TEST(ConvolutionEngine, EqualsTheReferenceOnTheKernelTable) {
    struct Case {
        std::string name;
        Kernel left;
        Kernel right;
    };
    const Case cases[] = {
        {"input only", Spread({{0, In}, {3, In}, {700, In}, {1500, In}}, 0.3L),
         Spread({{1, In}, {2, In}}, -0.7L)},
        {"with pass", Spread({{0, In}, {1, Pass}, {5, In}, {9, Pass}}, 0.45L), Spread({{0, Pass}}, 1.0L)},
        {"feedback at delay 1", Spread({{0, In}, {1, Out}}, 0.6L),
         Spread({{1, Out}, {0, In}, {2, Out}}, 0.3L)},
        {"feedback beyond a block", Spread({{0, In}, {600, Out}, {1300, Out}}, 0.55L),
         Spread({{700, Out}}, 0.9L)},
        {"feedback mixed with input, out of order",
         Spread({{40, Out}, {0, In}, {-3, In}, {90, In}, {41, Out}}, 0.25L),
         Spread({{3, In}, {17, Out}}, -0.5L)},
        {"negative delays", Spread({{-5, In}, {-2, Out}, {0, Out}, {-900, In}}, 0.4L),
         Spread({{-1, In}}, 1.0L)},
        {"clipping", Spread({{0, In}, {1, In}, {2, Out}}, 3.0L), Spread({{0, In}}, -2.5L)},
        {"beyond the signal", Spread({{5000, In}, {-5000, In}, {4000, Out}, {0, In}}, 1.0L), {}},
        {"empty", {}, {}},
    };
    std::mt19937_64 random(8);
    for (const Layout& layout : Layouts) {
        const std::size_t frames = 2600 + random() % 3;
        const TestSignal run{
            Encode(RandomSamples(random, frames * layout.channels + 1, layout.bytesPerSample),
                   layout.bytesPerSample),
            layout.bytesPerSample, layout.channels};
        for (const Case& c : cases) {
            const std::vector<std::uint8_t> reference = run.Reference(c.left, c.right);
            for (unsigned threads : {1u, 4u})
                EXPECT_TRUE(run.Engine(c.left, c.right, threads) == reference)
                    << c.name << ", " << layout.bytesPerSample << " bytes, " << layout.channels
                    << " channels, " << threads << " threads";
        }
    }
}

TEST(ConvolutionEngine, EqualsTheReferenceOnRandomKernels) {
    std::mt19937_64 random(14);
    for (int round = 0; round < 60; ++round) {
        const Layout layout = Layouts[round % std::size(Layouts)];
        const std::size_t samples = 1 + random() % 3000;
        const TestSignal run{
            Encode(RandomSamples(random, samples, layout.bytesPerSample), layout.bytesPerSample),
            layout.bytesPerSample, layout.channels};
        const int reach = 1 + static_cast<int>(random() % 1200);
        const Kernel left = RandomKernel(random, -reach / 4, reach);
        const Kernel right = RandomKernel(random, -reach / 4, reach);
        const std::vector<std::uint8_t> reference = run.Reference(left, right);
        const unsigned threads = 1 + static_cast<unsigned>(round % 5);
        EXPECT_TRUE(run.Engine(left, right, threads) == reference)
            << "round " << round << ", " << samples << " samples, " << threads << " threads";
    }
}

// A channel with feedback shared among threads: every block waits for the frames its feedback taps read,
// which the jobs just before it are still computing. Tiny jobs make the waits frequent.
TEST(ConvolutionEngine, SharesAFeedbackChannelAmongThreadsExactly) {
    std::mt19937_64 random(21);
    const Kernel kernel = Spread({{0, In}, {48, Out}, {-3, In}, {50, Out}, {200, In}, {49, Pass}}, 0.3L);
    const TestSignal run{Encode(RandomSamples(random, 2 * 20000 + 1, 2), 2), 2, 2};
    const std::vector<std::uint8_t> reference = run.Reference(kernel, kernel);
    const ConvolutionTuning tiny{.jobWork = 64, .minJobsPerChannel = 1, .minSharedJobWork = 1};
    for (unsigned threads : {4u, 8u, 16u}) {
        std::vector<std::uint8_t> output;
        ConvolutionEngine engine(run.Signal(output), kernel, kernel);
        EXPECT_EQ(engine.Run({}, threads, tiny), ConvolutionOutcome::Completed);
        EXPECT_TRUE(output == reference) << threads << " threads";
    }
    std::vector<std::uint8_t> output;
    ConvolutionEngine halting(run.Signal(output), kernel, kernel);
    EXPECT_EQ(halting.Run([](std::int64_t, std::int64_t) { return false; }, 8, tiny),
              ConvolutionOutcome::Halted);
}

// ---------------------------------------------------------------------------------------------------------
// The transform method against the reference

TEST(TransformMethod, EqualsTheReferenceOnRandomKernels) {
    std::mt19937_64 random(104);
    ConvolutionEngine::TransformSamples use;
    for (int round = 0; round < 48; ++round) {
        const Layout layout = Layouts[round % std::size(Layouts)];
        const std::size_t samples = 1 + random() % 3000;
        const TestSignal run{
            Encode(RandomSamples(random, samples, layout.bytesPerSample), layout.bytesPerSample),
            layout.bytesPerSample, layout.channels};
        const int reach = 1 + static_cast<int>(random() % 1200);
        const Kernel left = RandomKernel(random, -reach / 4, reach);
        const Kernel right = RandomKernel(random, -reach / 4, reach);
        const std::int64_t block = std::int64_t{2} << (random() % 8);
        const unsigned threads = 1 + static_cast<unsigned>(round % 4);
        EXPECT_TRUE(run.Transform(left, right, threads, block, use) == run.Reference(left, right))
            << "round " << round << ", " << samples << " samples, block " << block << ", " << threads
            << " threads";
    }
    EXPECT_TRUE(use.used);
    EXPECT_GT(use.settled, use.exact) << "most samples come from the transform";
}

// Dyadic values on integer samples sum to quarters: many sums are exact halves, which only the exact
// computation rounds the reference's way; a feedback tap carries each such rounding onwards.
TEST(TransformMethod, ExactHalvesAreComputedExactly) {
    std::mt19937_64 random(2);
    const Kernel left = {{0.5L, 0, In}, {0.25L, 3, In}, {-0.75L, 70, Out}, {0.5L, 9, Out}, {1.0L, 5, Pass}};
    const Kernel right = {{1.5L, 1, In}, {-0.5L, 200, In}, {0.25L, 40, Out}};
    for (const Layout& layout : {Layout{1, 1}, Layout{2, 2}}) {
        const TestSignal run{
            Encode(RandomSamples(random, 2 * 1500, layout.bytesPerSample), layout.bytesPerSample),
            layout.bytesPerSample, layout.channels};
        ConvolutionEngine::TransformSamples use;
        EXPECT_TRUE(run.Transform(left, right, 2, 32, use) == run.Reference(left, right))
            << layout.bytesPerSample << " bytes";
        EXPECT_GT(use.exact, 100) << "halves met";
        EXPECT_GT(use.settled, 100);
    }
}

// Full-scale signals with gains that clip most samples, and a long kernel with feedback taps beyond a
// block and within one, at the block sizes the cost model picks and at small ones.
TEST(TransformMethod, EqualsTheReferenceOnClippingAndLongKernels) {
    std::mt19937_64 random(7);
    Kernel loud = {{1.7L, 0, In}, {-0.9L, 1, In}, {0.8L, 300, Out}, {0.6L, 2, Out}};
    Kernel longKernel;
    std::uniform_real_distribution<double> gain(-1, 1);
    for (int i = 0; i < 300; ++i)
        longKernel.push_back({static_cast<long double>(gain(random)) / 60, static_cast<int>(random() % 6000),
                              i % 5 == 0 ? Out : In});
    longKernel.push_back({0.3L, 1, Out});
    for (const Layout& layout : {Layout{1, 2}, Layout{2, 1}, Layout{2, 2}}) {
        const SampleRange range = ContainerRange(layout.bytesPerSample);
        std::vector<std::int64_t> samples(2 * 12000);
        for (std::int64_t& sample : samples)
            sample =
                random() % 3 == 0 ? range.max : (random() % 2 == 0 ? range.min : (range.min + range.max) / 2);
        const TestSignal run{Encode(samples, layout.bytesPerSample), layout.bytesPerSample, layout.channels};
        for (const std::int64_t block : {0, 64, 1024}) {
            ConvolutionEngine::TransformSamples use;
            EXPECT_TRUE(run.Transform(loud, longKernel, 3, block, use) == run.Reference(loud, longKernel))
                << layout.bytesPerSample << " bytes, " << layout.channels << " channels, block " << block;
            EXPECT_GT(use.settled, 20 * use.exact) << "block " << block;
        }
    }
}

// Feedback delays spread over thousands of frames go through levels of long blocks, which a helper thread
// works ahead on when the run has threads to spare: stereo and mono, on too few threads and on enough.
TEST(TransformMethod, EqualsTheReferenceWithFeedbackThroughLongBlocks) {
    std::mt19937_64 random(9);
    std::uniform_real_distribution<double> gain(-1, 1);
    Kernel kernel = {{0.6L, 0, In}, {0.2L, 3, Out}};
    for (int i = 0; i < 200; ++i)
        kernel.push_back({static_cast<long double>(gain(random)) / 150,
                          1 + static_cast<int>(random() % 20000), i % 2 == 0 ? Out : In});
    for (const Layout& layout : {Layout{2, 2}, Layout{3, 1}}) {
        const TestSignal run{Encode(RandomSamples(random, layout.channels * 40000, layout.bytesPerSample),
                                    layout.bytesPerSample),
                             layout.bytesPerSample, layout.channels};
        const std::vector<std::uint8_t> reference = run.Reference(kernel, kernel);
        for (const unsigned threads : {1u, 2u, 4u}) {
            ConvolutionEngine::TransformSamples use;
            EXPECT_TRUE(run.Transform(kernel, kernel, threads, 128, use) == reference)
                << layout.bytesPerSample << " bytes, " << layout.channels << " channels, " << threads
                << " threads";
            EXPECT_GT(use.settled, 20 * use.exact);
        }
    }
}

// With threads to spare, each channel with feedback shares its long levels among several helper threads,
// which compute them a block ahead of the frames that read them.
TEST(TransformMethod, EqualsTheReferenceWithLongLevelsOnSeveralHelpers) {
    std::mt19937_64 random(10);
    std::uniform_real_distribution<double> gain(-1, 1);
    Kernel kernel = {
        {0.5L, 0, In}, {0.25L, 2, Out}, {0.1L, 1024, Out}, {-0.1L, 2047, Out}, {0.1L, 8192, Out}};
    for (int i = 0; i < 300; ++i)
        kernel.push_back({static_cast<long double>(gain(random)) / 200,
                          1 + static_cast<int>(random() % 30000), i % 2 == 0 ? Out : In});
    for (const Layout& layout : {Layout{2, 2}, Layout{1, 1}}) {
        const TestSignal run{Encode(RandomSamples(random, layout.channels * 50000, layout.bytesPerSample),
                                    layout.bytesPerSample),
                             layout.bytesPerSample, layout.channels};
        const std::vector<std::uint8_t> reference = run.Reference(kernel, kernel);
        for (const unsigned threads : {6u, 8u}) {
            ConvolutionEngine::TransformSamples use;
            EXPECT_TRUE(run.Transform(kernel, kernel, threads, 64, use) == reference)
                << layout.bytesPerSample << " bytes, " << layout.channels << " channels, " << threads
                << " threads";
            EXPECT_GT(use.settled, 20 * use.exact);
        }
    }
}

TEST(TransformMethod, TheCostModelKeepsSmallKernelsDirectAndLongOnesByTransform) {
    std::mt19937_64 random(11);
    const TestSignal run{Encode(RandomSamples(random, 2 * 40000, 2), 2), 2, 2};
    Kernel longKernel;
    for (int i = 0; i < 2000; ++i)
        longKernel.push_back({0.0004L, i * 20, i % 4 == 3 ? Out : In});
    const Kernel small = Spread({{0, In}, {1, Out}, {30, In}}, 0.3L);
    std::vector<std::uint8_t> output;
    ConvolutionEngine engine(run.Signal(output), small, longKernel);
    EXPECT_EQ(engine.Run({}, 2), ConvolutionOutcome::Completed);
    EXPECT_FALSE(engine.TransformUse(0).used);
    EXPECT_TRUE(engine.TransformUse(1).used);
    EXPECT_TRUE(output == run.Reference(small, longKernel));

    // Values whose sums could leave the double range never go through the transform.
    const Kernel huge = {{1e300L, 0, In}, {1.0L, 1, In}};
    ConvolutionEngine forced(run.Signal(output), huge, longKernel);
    EXPECT_EQ(forced.Run({}, 2, {.method = ConvolutionMethod::Transform}), ConvolutionOutcome::Completed);
    EXPECT_FALSE(forced.TransformUse(0).used);
    EXPECT_TRUE(output == run.Reference(huge, longKernel));
}

TEST(TransformMethod, ReportsProgressAndHalts) {
    std::mt19937_64 random(5);
    const TestSignal run{Encode(RandomSamples(random, 2 * 20000, 2), 2), 2, 2};
    Kernel kernel;
    for (int i = 0; i < 50; ++i)
        kernel.push_back({0.01L, i * 37, i % 2 == 0 ? In : Out});
    const ConvolutionTuning tuning{.method = ConvolutionMethod::Transform, .transformBlock = 256};
    for (unsigned threads : {1u, 4u}) {
        std::vector<std::uint8_t> output;
        ConvolutionEngine engine(run.Signal(output), kernel, kernel);
        std::int64_t last = 0;
        EXPECT_EQ(engine.Run(
                      [&](std::int64_t done, std::int64_t) {
                          last = done;
                          return true;
                      },
                      threads, tuning),
                  ConvolutionOutcome::Completed);
        EXPECT_EQ(last, 40000);
        EXPECT_TRUE(engine.TransformUse(0).used);

        // One thread calls back after every block; several threads may finish before the first call.
        const int haltingCall = threads == 1 ? 2 : 1;
        ConvolutionEngine halting(run.Signal(output), kernel, kernel);
        int haltingCalls = 0;
        EXPECT_EQ(halting.Run([&](std::int64_t, std::int64_t) { return ++haltingCalls < haltingCall; },
                              threads, tuning),
                  ConvolutionOutcome::Halted);
        EXPECT_EQ(haltingCalls, haltingCall) << "no call after the halt";
    }
}

TEST(ConvolutionEngine, ComputesSingleFramesExactly) {
    std::mt19937_64 random(3);
    const TestSignal run{Encode(RandomSamples(random, 801, 2), 2), 2, 2};
    const Kernel left = Spread({{0, In}, {1, Out}, {7, In}, {-2, In}}, 0.45L);
    const Kernel right = Spread({{3, Out}, {0, In}}, -0.6L);
    const std::vector<std::uint8_t> reference = run.Reference(left, right);

    std::vector<std::uint8_t> output;
    ConvolutionEngine engine(run.Signal(output), left, right);
    EXPECT_EQ(engine.ShortestFeedbackDelay(0), 1);
    EXPECT_EQ(engine.ShortestFeedbackDelay(1), 3);
    engine.BeginOutput();
    for (std::int64_t frame = 0; frame < engine.FramesPerChannel(); ++frame)
        engine.ComputeFrames(0, frame, frame + 1);
    engine.ComputeFrames(1, 0, 150);
    engine.ComputeFrames(1, 150, engine.FramesPerChannel());
    EXPECT_TRUE(output == reference);
    EXPECT_THROW(engine.ComputeFrames(1, 0, engine.FramesPerChannel() + 1), RangeError);
    EXPECT_THROW(engine.ComputeFrames(2, 0, 1), RangeError);
}

TEST(ConvolutionEngine, AThrowingProgressCallbackStopsTheWorkersAndReachesTheCaller) {
    std::mt19937_64 random(9);
    // Long enough that the workers are still running at the first report.
    const TestSignal run{Encode(RandomSamples(random, 2 * 200000, 2), 2), 2, 2};
    Kernel kernel;
    for (int i = 0; i < 400; ++i)
        kernel.push_back({0.001L, i * 3, In});
    std::vector<std::uint8_t> output;
    ConvolutionEngine engine(run.Signal(output), kernel, kernel);
    EXPECT_THROW(
        engine.Run([](std::int64_t, std::int64_t) -> bool { throw std::runtime_error("display gone"); }, 4),
        std::runtime_error);
}

TEST(ConvolutionEngine, ReportsProgressAndHalts) {
    std::mt19937_64 random(5);
    const TestSignal run{Encode(RandomSamples(random, 40000, 2), 2), 2, 2};
    const Kernel kernel = Spread({{0, In}, {1, Out}, {30, In}}, 0.3L);
    for (unsigned threads : {1u, 4u}) {
        std::vector<std::uint8_t> output;
        ConvolutionEngine engine(run.Signal(output), kernel, kernel);
        std::int64_t last = 0;
        bool monotonic = true;
        const auto outcome = engine.Run(
            [&](std::int64_t done, std::int64_t total) {
                monotonic = monotonic && done >= last && total == 40000;
                last = done;
                return true;
            },
            threads);
        EXPECT_EQ(outcome, ConvolutionOutcome::Completed);
        EXPECT_TRUE(monotonic);
        EXPECT_EQ(last, 40000) << threads << " threads";

        // One thread calls back after every job; several threads may finish before the first call.
        const int haltingCall = threads == 1 ? 2 : 1;
        ConvolutionEngine halting(run.Signal(output), kernel, kernel);
        int calls = 0;
        EXPECT_EQ(halting.Run([&](std::int64_t, std::int64_t) { return ++calls < haltingCall; }, threads),
                  ConvolutionOutcome::Halted);
        EXPECT_EQ(calls, haltingCall) << "no call after the halt";
    }
}

} // namespace
} // namespace tarvola
