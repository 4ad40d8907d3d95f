#include "kernel/Convolution.h"

#include "base/ByteOrder.h"
#include "base/Numerics.h"
#include "kernel/TransformConvolution.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace tarvola {
namespace {

// The 80-bit products and sums must be rounded to the 64-bit significand and to nearest whatever the
// thread's x87 control word says (Windows' default for a new thread is 53 bits; a library may change it).
// Restores the control word.
class ExtendedPrecisionScope {
public:
    ExtendedPrecisionScope() {
#if defined(__i386__) || defined(__x86_64__)
        asm volatile("fnstcw %0" : "=m"(saved_));
        const std::uint16_t extendedToNearest = static_cast<std::uint16_t>((saved_ & ~0x0F00u) | 0x0300u);
        asm volatile("fldcw %0" : : "m"(extendedToNearest));
#endif
    }
    ~ExtendedPrecisionScope() {
#if defined(__i386__) || defined(__x86_64__)
        asm volatile("fldcw %0" : : "m"(saved_));
#endif
    }
    ExtendedPrecisionScope(const ExtendedPrecisionScope&) = delete;
    ExtendedPrecisionScope& operator=(const ExtendedPrecisionScope&) = delete;

private:
    std::uint16_t saved_ = 0;
};

// Sample containers: load to and store from a 32-bit integer.
struct UnsignedByteSample {
    static constexpr int Bytes = 1;
    static std::int32_t Load(const std::uint8_t* p) { return *p; }
    static void Store(std::uint8_t* p, std::int64_t v) { *p = static_cast<std::uint8_t>(v); }
};

struct WordSample {
    static constexpr int Bytes = 2;
    static std::int32_t Load(const std::uint8_t* p) { return GetLE<std::int16_t>(p); }
    static void Store(std::uint8_t* p, std::int64_t v) {
        PutUnsigned(p, static_cast<std::uint64_t>(v), Bytes);
    }
};

struct TripleSample {
    static constexpr int Bytes = 3;
    static std::int32_t Load(const std::uint8_t* p) {
        const auto raw = static_cast<std::uint32_t>(GetUnsigned(p, Bytes));
        return static_cast<std::int32_t>(raw << 8) >> 8; // sign-extends bit 23
    }
    static void Store(std::uint8_t* p, std::int64_t v) {
        PutUnsigned(p, static_cast<std::uint64_t>(v), Bytes);
    }
};

struct LongSample {
    static constexpr int Bytes = 4;
    static std::int32_t Load(const std::uint8_t* p) { return GetLE<std::int32_t>(p); }
    static void Store(std::uint8_t* p, std::int64_t v) {
        PutUnsigned(p, static_cast<std::uint64_t>(v), Bytes);
    }
};

// One step of the sum: the product with the 80-bit value, added in 80-bit precision, kept as a double.
inline double AddProduct(double accumulator, std::int32_t sample, long double value) {
    return static_cast<double>(sample * value + accumulator);
}

void CheckChannelArguments(int channels, int channelIndex, std::int64_t sampleLimit) {
    if (channels < 1 || channels > 2 || channelIndex < 0 || channelIndex >= channels || sampleLimit < 0)
        throw std::invalid_argument("Convolution: bad channel arguments");
}

template <typename Sample>
void ConvolveChannel(const std::uint8_t* in, std::uint8_t* out, int channels, int channelIndex,
                     std::int64_t sampleLimit, std::span<const ConvolutionRecord> kernel) {
    CheckChannelArguments(channels, channelIndex, sampleLimit);
    const ExtendedPrecisionScope precision;
    const SampleRange range = ContainerRange(Sample::Bytes);
    const std::int64_t frameLimit = sampleLimit / channels;
    std::int64_t outPos = channelIndex;
    for (std::int64_t frame = 0; frame < frameLimit; ++frame) {
        double acc = 0;
        for (const ConvolutionRecord& record : kernel) {
            const std::int64_t tapPos = outPos - std::int64_t{channels} * record.impulse;
            if (tapPos < 0 || tapPos >= sampleLimit)
                continue;
            if (record.kind == TSourceKind::Input)
                acc = AddProduct(acc, Sample::Load(in + tapPos * Sample::Bytes), record.value);
            else if (record.kind == TSourceKind::Output)
                acc = AddProduct(acc, Sample::Load(out + tapPos * Sample::Bytes), record.value);
        }
        Sample::Store(out + outPos * Sample::Bytes, RoundAndClip(acc, range));
        outPos += channels;
    }
}

template <typename Sample>
void ConvolveSignal(const ConvolutionSignal& signal, std::span<const ConvolutionRecord> left,
                    std::span<const ConvolutionRecord> right) {
    const std::int64_t sampleLimit = ProcessedSamples(signal);
    ConvolveChannel<Sample>(signal.input, signal.output, signal.channels, 0, sampleLimit, left);
    if (signal.channels == 2)
        ConvolveChannel<Sample>(signal.input, signal.output, signal.channels, 1, sampleLimit, right);
}

// Calls f with the sample container of the signal.
template <typename F>
void WithSampleType(int bytesPerSample, F&& f) {
    switch (bytesPerSample) {
    case 1:
        f(UnsignedByteSample{});
        break;
    case 2:
        f(WordSample{});
        break;
    case 3:
        f(TripleSample{});
        break;
    case 4:
        f(LongSample{});
        break;
    default:
        throw std::invalid_argument("Convolution: unsupported sample size");
    }
}

// Loads of the samples that taps read: 16- and 32-bit integers, which the 80-bit unit reads directly.
struct ReadWord {
    static constexpr int Bytes = 2;
    static std::int16_t Load(const std::uint8_t* p) {
        std::int16_t value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
};

struct ReadLong {
    static constexpr int Bytes = 4;
    static std::int32_t Load(const std::uint8_t* p) {
        std::int32_t value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
};

// The many-samples-at-once step: one tap added into a run of accumulators. The accumulators are
// independent, so the processor overlaps the 80-bit operations that a single sum would serialise.
template <typename Read>
void AccumulateTap(const std::uint8_t* samples, std::int64_t stride, long double value, double* accumulators,
                   std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i, samples += stride)
        accumulators[i] = AddProduct(accumulators[i], Read::Load(samples), value);
}

// Frames of one block: a block's accumulators stay in the first-level cache.
constexpr std::int64_t MaxBlockFrames = 512;

} // namespace

std::vector<ConvolutionRecord> ConvolutionRecords(const TobjHistData& kernel) {
    std::vector<ConvolutionRecord> records(static_cast<std::size_t>(kernel.Count()));
    for (std::int32_t i = 0; i < kernel.Count(); ++i)
        records[static_cast<std::size_t>(i)] = {kernel.Value(i), kernel.Impulse(i), kernel.Kind(i)};
    return records;
}

SampleRange ContainerRange(int bytesPerSample) {
    switch (bytesPerSample) {
    case 1:
        return {0, 255};
    case 2:
        return {-32768, 32767};
    case 3:
        return {-8388608, 8388607};
    case 4:
        return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
    default:
        throw std::invalid_argument("Convolution: unsupported sample size");
    }
}

void CheckSignal(const ConvolutionSignal& signal) {
    ContainerRange(signal.bytesPerSample);
    if (signal.channels < 1 || signal.channels > 2)
        throw std::invalid_argument("Convolution: unsupported channel count");
    if (signal.bytes == 0)
        return;
    if (signal.input == nullptr || signal.output == nullptr)
        throw std::invalid_argument("Convolution: missing signal buffer");
    // Input taps read the input while the output is written: the two must not share memory.
    const auto in = reinterpret_cast<std::uintptr_t>(signal.input);
    const auto out = reinterpret_cast<std::uintptr_t>(signal.output);
    if (in < out + signal.bytes && out < in + signal.bytes)
        throw std::invalid_argument("Convolution: input and output overlap");
}

std::int64_t ProcessedSamples(const ConvolutionSignal& signal) {
    CheckSignal(signal);
    const auto samples =
        static_cast<std::uint64_t>(signal.bytes / static_cast<unsigned>(signal.bytesPerSample));
    return static_cast<std::int64_t>(std::min<std::uint64_t>(samples, MaxProcessedSamples));
}

std::int64_t RoundAndClip(double accumulator, SampleRange range) {
    if (std::isnan(accumulator))
        accumulator = 0;
    if (accumulator <= static_cast<double>(range.min))
        return range.min;
    if (accumulator >= static_cast<double>(range.max))
        return range.max;
    return static_cast<std::int64_t>(std::nearbyint(accumulator));
}

void ConvolveBytes(const std::uint8_t* in, std::uint8_t* out, int channels, int channelIndex,
                   std::int64_t sampleLimit, std::span<const ConvolutionRecord> kernel) {
    ConvolveChannel<UnsignedByteSample>(in, out, channels, channelIndex, sampleLimit, kernel);
}

void ConvolveWords(const std::uint8_t* in, std::uint8_t* out, int channels, int channelIndex,
                   std::int64_t sampleLimit, std::span<const ConvolutionRecord> kernel) {
    ConvolveChannel<WordSample>(in, out, channels, channelIndex, sampleLimit, kernel);
}

void ConvolveTriples(const std::uint8_t* in, std::uint8_t* out, int channels, int channelIndex,
                     std::int64_t sampleLimit, std::span<const ConvolutionRecord> kernel) {
    ConvolveChannel<TripleSample>(in, out, channels, channelIndex, sampleLimit, kernel);
}

void ConvolveLongs(const std::uint8_t* in, std::uint8_t* out, int channels, int channelIndex,
                   std::int64_t sampleLimit, std::span<const ConvolutionRecord> kernel) {
    ConvolveChannel<LongSample>(in, out, channels, channelIndex, sampleLimit, kernel);
}

void ConvolveReference(const ConvolutionSignal& signal, std::span<const ConvolutionRecord> left,
                       std::span<const ConvolutionRecord> right) {
    CheckSignal(signal);
    if (signal.bytes > 0)
        std::memcpy(signal.output, signal.input, signal.bytes);
    WithSampleType(signal.bytesPerSample,
                   [&](auto sample) { ConvolveSignal<decltype(sample)>(signal, left, right); });
}

// ---------------------------------------------------------------------------------------------------------
// The engine

ConvolutionEngine::ConvolutionEngine(const ConvolutionSignal& signal, std::span<const ConvolutionRecord> left,
                                     std::span<const ConvolutionRecord> right)
    : signal_(signal), range_(ContainerRange(signal.bytesPerSample)), sampleLimit_(ProcessedSamples(signal)),
      frameLimit_(sampleLimit_ / signal.channels) {
    PlanChannel(0, left);
    if (signal_.channels == 2)
        PlanChannel(1, right);
}

ConvolutionEngine::~ConvolutionEngine() = default;

void ConvolutionEngine::PlanChannel(int channelIndex, std::span<const ConvolutionRecord> kernel) {
    ChannelPlan& plan = channels_[channelIndex];
    // A tap reads sample channelIndex + channels * frame, which must lie below the sample limit; with an
    // odd limit the left channel may read one frame more than are processed.
    plan.readableFrames = (sampleLimit_ - channelIndex + signal_.channels - 1) / signal_.channels;
    plan.interiorFirst = 0;
    plan.interiorEnd = frameLimit_;
    for (const ConvolutionRecord& record : kernel) {
        if (record.kind != TSourceKind::Input && record.kind != TSourceKind::Output)
            continue;
        const std::int64_t delay = record.impulse;
        // A tap that reads no processed frame for any output frame never counts.
        if (delay >= frameLimit_ || delay <= -plan.readableFrames)
            continue;
        // The output is a copy of the input until a frame is computed, so a feedback tap at delay 0 or
        // below reads exactly the input.
        const bool feedback = record.kind == TSourceKind::Output && delay > 0;
        plan.taps.push_back({record.value, delay, feedback ? 1 : 0});
        if (feedback)
            plan.shortestFeedback = std::min(plan.shortestFeedback, delay);
        plan.interiorFirst = std::max(plan.interiorFirst, delay);
        plan.interiorEnd = std::min(plan.interiorEnd, plan.readableFrames + delay);
    }
}

std::int64_t ConvolutionEngine::ShortestFeedbackDelay(int channelIndex) const {
    CheckIndex(channelIndex, signal_.channels);
    return channels_[channelIndex].shortestFeedback;
}

ConvolutionEngine::TransformSamples ConvolutionEngine::TransformUse(int channelIndex) const {
    CheckIndex(channelIndex, signal_.channels);
    const TransformChannel* transform = channels_[channelIndex].transform.get();
    if (!transform)
        return {};
    return {true, transform->BlockFrames(), transform->SettledSamples(), transform->ExactSamples()};
}

std::int64_t ConvolutionEngine::BlockFrames(int channelIndex) const {
    return std::min(MaxBlockFrames, channels_[channelIndex].shortestFeedback);
}

void ConvolutionEngine::BeginOutput() {
    // Every processed sample is written by the run; the samples after them keep the input's.
    const auto processedBytes =
        static_cast<std::size_t>(frameLimit_ * signal_.channels * signal_.bytesPerSample);
    if (signal_.bytes > processedBytes)
        std::memcpy(signal_.output + processedBytes, signal_.input + processedBytes,
                    signal_.bytes - processedBytes);
    const bool inPlace = signal_.bytesPerSample == 2 || signal_.bytesPerSample == 4;
    for (int c = 0; c < signal_.channels; ++c) {
        ChannelPlan& plan = channels_[c];
        const std::int64_t frames = plan.readableFrames;
        if (inPlace) {
            plan.bases[0] = signal_.input + c * signal_.bytesPerSample;
            plan.bases[1] = signal_.output + c * signal_.bytesPerSample;
            plan.frameStride = std::int64_t{signal_.channels} * signal_.bytesPerSample;
            continue;
        }
        // Only the input half needs filling: feedback taps read output frames already computed.
        plan.planes.reset(new std::int32_t[static_cast<std::size_t>(2 * frames)]);
        std::int32_t* input = plan.planes.get();
        const std::uint8_t* sample = signal_.input + c * signal_.bytesPerSample;
        const std::int64_t stride = std::int64_t{signal_.channels} * signal_.bytesPerSample;
        for (std::int64_t frame = 0; frame < frames; ++frame, sample += stride)
            input[frame] =
                signal_.bytesPerSample == 1 ? UnsignedByteSample::Load(sample) : TripleSample::Load(sample);
        plan.bases[0] = reinterpret_cast<const std::uint8_t*>(input);
        plan.bases[1] = reinterpret_cast<const std::uint8_t*>(input + frames);
        plan.frameStride = sizeof(std::int32_t);
    }
    begun_ = true;
}

template <typename Read, typename Sample>
void ConvolutionEngine::ComputeBlockAs(int channelIndex, std::int64_t first, std::int64_t end,
                                       double* accumulators) {
    ChannelPlan& plan = channels_[channelIndex];
    const std::int64_t stride = plan.frameStride;
    std::fill(accumulators, accumulators + (end - first), 0.0);
    if (first >= plan.interiorFirst && end <= plan.interiorEnd) {
        // Every tap reads inside the signal for every frame of the block: no range checks at all.
        for (const Tap& tap : plan.taps)
            AccumulateTap<Read>(plan.bases[tap.source] + (first - tap.delay) * stride, stride, tap.value,
                                accumulators, end - first);
    } else {
        for (const Tap& tap : plan.taps) {
            // The frames of the block for which the tap reads a frame inside 0..readableFrames - 1.
            const std::int64_t low = std::max(first, tap.delay);
            const std::int64_t high = std::min(end, plan.readableFrames + tap.delay);
            if (low < high)
                AccumulateTap<Read>(plan.bases[tap.source] + (low - tap.delay) * stride, stride, tap.value,
                                    accumulators + (low - first), high - low);
        }
    }
    std::uint8_t* out = signal_.output + (first * signal_.channels + channelIndex) * Sample::Bytes;
    const std::int64_t outStride = std::int64_t{signal_.channels} * Sample::Bytes;
    std::int32_t* outputPlane = plan.planes ? plan.planes.get() + plan.readableFrames : nullptr;
    for (std::int64_t frame = first; frame < end; ++frame, out += outStride) {
        const std::int64_t value = RoundAndClip(accumulators[frame - first], range_);
        Sample::Store(out, value);
        if (outputPlane)
            outputPlane[frame] = static_cast<std::int32_t>(value);
    }
}

void ConvolutionEngine::ComputeBlock(int channelIndex, std::int64_t first, std::int64_t end,
                                     double* accumulators) {
    switch (signal_.bytesPerSample) {
    case 1:
        return ComputeBlockAs<ReadLong, UnsignedByteSample>(channelIndex, first, end, accumulators);
    case 2:
        return ComputeBlockAs<ReadWord, WordSample>(channelIndex, first, end, accumulators);
    case 3:
        return ComputeBlockAs<ReadLong, TripleSample>(channelIndex, first, end, accumulators);
    default:
        return ComputeBlockAs<ReadLong, LongSample>(channelIndex, first, end, accumulators);
    }
}

void ConvolutionEngine::ComputeFrames(int channelIndex, std::int64_t firstFrame, std::int64_t endFrame) {
    CheckIndex(channelIndex, signal_.channels);
    if (firstFrame < 0 || endFrame > frameLimit_ || firstFrame > endFrame)
        throw RangeError("Convolution: frame range out of bounds");
    if (!begun_)
        throw std::logic_error("Convolution: output not begun");
    const ExtendedPrecisionScope precision;
    const std::int64_t block = BlockFrames(channelIndex);
    std::vector<double> accumulators(static_cast<std::size_t>(block));
    for (std::int64_t first = firstFrame; first < endFrame; first += block)
        ComputeBlock(channelIndex, first, std::min(endFrame, first + block), accumulators.data());
}

void ConvolutionEngine::ReadFrames(int channelIndex, bool output, std::int64_t first, std::int64_t count,
                                   double* into) const {
    const ChannelPlan& plan = channels_[channelIndex];
    // Output frames are only read once final, all of them below the processed frames.
    const std::int64_t readable = output ? frameLimit_ : plan.readableFrames;
    const std::int64_t low = std::clamp<std::int64_t>(-first, 0, count);
    const std::int64_t high = std::clamp<std::int64_t>(readable - first, low, count);
    std::fill(into, into + low, 0.0);
    std::fill(into + high, into + count, 0.0);
    const std::uint8_t* sample = plan.bases[output ? 1 : 0] + (first + low) * plan.frameStride;
    const bool words = signal_.bytesPerSample == 2;
    for (std::int64_t i = low; i < high; ++i, sample += plan.frameStride)
        into[i] = words ? ReadWord::Load(sample) : ReadLong::Load(sample);
}

void ConvolutionEngine::StoreFrame(int channelIndex, std::int64_t frame, std::int64_t value) {
    ChannelPlan& plan = channels_[channelIndex];
    std::uint8_t* out =
        signal_.output + (frame * signal_.channels + channelIndex) * std::int64_t{signal_.bytesPerSample};
    WithSampleType(signal_.bytesPerSample, [&](auto sample) { decltype(sample)::Store(out, value); });
    if (plan.planes)
        plan.planes[static_cast<std::size_t>(plan.readableFrames + frame)] = static_cast<std::int32_t>(value);
}

// The transform method's view of one channel of the engine.
class ConvolutionEngine::FramesOfChannel : public ChannelFrames {
public:
    FramesOfChannel(ConvolutionEngine& engine, int channelIndex) : engine_(engine), channel_(channelIndex) {}
    void Read(bool output, std::int64_t first, std::int64_t count, double* into) const override {
        engine_.ReadFrames(channel_, output, first, count, into);
    }
    void Store(std::int64_t frame, std::int64_t sample) override {
        engine_.StoreFrame(channel_, frame, sample);
    }
    std::int64_t ComputeExactly(std::int64_t frame) override {
        engine_.ComputeFrames(channel_, frame, frame + 1);
        double value = 0;
        engine_.ReadFrames(channel_, true, frame, 1, &value);
        return static_cast<std::int64_t>(value);
    }

private:
    ConvolutionEngine& engine_;
    int channel_;
};

double ConvolutionEngine::InputMagnitude(int channelIndex) const {
    const ChannelPlan& plan = channels_[channelIndex];
    double largest = 0;
    std::vector<double> frames(4096);
    for (std::int64_t first = 0; first < plan.readableFrames; first += 4096) {
        const std::int64_t count = std::min<std::int64_t>(4096, plan.readableFrames - first);
        ReadFrames(channelIndex, false, first, count, frames.data());
        for (std::int64_t i = 0; i < count; ++i)
            largest = std::max(largest, std::fabs(frames[static_cast<std::size_t>(i)]));
    }
    return largest;
}

void ConvolutionEngine::ChooseMethods(unsigned threads, const ConvolutionTuning& tuning) {
    for (int c = 0; c < signal_.channels; ++c) {
        ChannelPlan& plan = channels_[c];
        plan.transform.reset();
        plan.transformHelpers = 0;
        if (tuning.method == ConvolutionMethod::Direct || plan.taps.empty() || frameLimit_ == 0)
            continue;
        std::vector<TransformTap> taps;
        taps.reserve(plan.taps.size());
        for (const Tap& tap : plan.taps)
            taps.push_back({tap.value, tap.delay, tap.source == 1});
        const TransformChannelShape shape{frameLimit_, range_, InputMagnitude(c)};
        // Values whose sums the bounds cannot hold stay with the direct engine, whatever was asked.
        if (!TransformApplies(taps, shape))
            continue;
        const MethodEstimate estimate =
            EstimateMethods(taps, shape, std::max(1u, threads / static_cast<unsigned>(signal_.channels)));
        if (tuning.method == ConvolutionMethod::Transform || estimate.transform()) {
            plan.transformHelpers = TransformHelpers(c, threads);
            plan.transform = std::make_unique<TransformChannel>(
                taps, shape, tuning.transformBlock > 0 ? tuning.transformBlock : estimate.blockFrames,
                plan.transformHelpers > 0);
        }
    }
}

// Jobs of a transform channel: the whole channel when feedback keeps its blocks in order; otherwise whole
// blocks, few enough per thread that the windows each job transforms first stay a small part of it.
std::int64_t ConvolutionEngine::TransformJobFrames(int channelIndex, unsigned threads) const {
    const TransformChannel& transform = *channels_[channelIndex].transform;
    if (transform.HasFeedback())
        return std::max<std::int64_t>(1, frameLimit_);
    const std::int64_t blocks = transform.Blocks();
    const std::int64_t jobs = std::clamp<std::int64_t>(
        blocks / 8, 1, std::min<std::int64_t>(std::max(1u, threads), transform.WorkersInMemory()));
    return (blocks + jobs - 1) / jobs * transform.BlockFrames();
}

// A channel with feedback runs its transform on one thread; the threads to spare beside one per channel
// are shared out among the channels as helpers, which compute the long levels of its transform.
unsigned ConvolutionEngine::TransformHelpers(int channelIndex, unsigned threads) const {
    if (channels_[channelIndex].shortestFeedback == NoFeedback)
        return 0;
    const unsigned channels = static_cast<unsigned>(signal_.channels);
    return threads / channels > 1 ? threads / channels - 1 : 0;
}

std::vector<ConvolutionEngine::Job> ConvolutionEngine::MakeJobs(unsigned& threads,
                                                                const ConvolutionTuning& tuning) const {
    std::int64_t jobFrames[2] = {0, 0};
    std::int64_t usefulThreads = 0;
    std::int64_t totalWork = 0;
    for (int c = 0; c < signal_.channels; ++c) {
        const ChannelPlan& plan = channels_[c];
        const std::int64_t taps = std::max<std::int64_t>(1, static_cast<std::int64_t>(plan.taps.size()));
        totalWork += taps * frameLimit_;
        std::int64_t frames = std::clamp<std::int64_t>(
            tuning.jobWork / taps, 1, std::max<std::int64_t>(1, frameLimit_ / tuning.minJobsPerChannel));
        // Whole blocks: a short block at a job's end would pay the per-tap cost for few frames.
        if (frames > MaxBlockFrames)
            frames -= frames % MaxBlockFrames;
        if (plan.transform) {
            frames = TransformJobFrames(c, threads);
            usefulThreads += plan.transform->HasFeedback() ? 1 : (frameLimit_ + frames - 1) / frames;
        } else if (plan.shortestFeedback == NoFeedback) {
            usefulThreads += threads;
        } else {
            // Jobs of a channel with feedback overlap only when each is shorter than the shortest feedback
            // delay; below a certain size the hand-over between threads costs more than it gains, and the
            // channel's jobs run one after the other.
            const std::int64_t sharers = std::max<std::int64_t>(1, threads / signal_.channels);
            const std::int64_t shared = plan.shortestFeedback / sharers;
            if (sharers > 1 && shared * taps >= tuning.minSharedJobWork) {
                frames = std::min(frames, shared);
                usefulThreads += sharers;
            } else {
                // One job for the whole channel keeps it on one thread, without hand-overs.
                frames = frameLimit_;
                usefulThreads += 1;
            }
        }
        jobFrames[c] = frames;
    }
    // Each thread should have a fair share of work to be worth starting.
    usefulThreads = std::min(usefulThreads, std::max<std::int64_t>(1, totalWork / tuning.minSharedJobWork));
    threads = static_cast<unsigned>(std::clamp<std::int64_t>(usefulThreads, 1, threads));

    // Both channels advance side by side, so that each channel's earliest jobs come first.
    std::vector<Job> jobs;
    std::int64_t next[2] = {0, signal_.channels == 2 ? 0 : frameLimit_};
    while (next[0] < frameLimit_ || next[1] < frameLimit_) {
        const int c = (next[1] < frameLimit_ && (next[0] >= frameLimit_ || next[1] < next[0])) ? 1 : 0;
        const std::int64_t end = std::min(frameLimit_, next[c] + jobFrames[c]);
        jobs.push_back({c, next[c], end});
        next[c] = end;
    }
    return jobs;
}

// Hands out the jobs in order and keeps, per channel, how many frames from the start are final, which
// blocks reading feedback wait for.
class ConvolutionEngine::Scheduler {
public:
    Scheduler(ConvolutionEngine& engine, std::vector<Job> jobs)
        : engine_(engine), jobs_(std::move(jobs)), done_(new std::atomic<bool>[jobs_.size()]) {
        for (std::size_t i = 0; i < jobs_.size(); ++i) {
            done_[i].store(false);
            channelJobs_[jobs_[i].channel].push_back(i);
        }
    }

    // Runs jobs until none is left or the run stops; `betweenBlocks` (may be empty) is called after each
    // block.
    void Work(const std::function<void()>& betweenBlocks) {
        try {
            const ExtendedPrecisionScope precision;
            std::vector<double> accumulators(static_cast<std::size_t>(MaxBlockFrames));
            while (!stop_.load(std::memory_order_relaxed)) {
                const std::size_t index = next_.fetch_add(1);
                if (index >= jobs_.size())
                    break;
                if (!RunJob(jobs_[index], accumulators.data(), betweenBlocks))
                    break;
                Complete(index);
            }
        } catch (...) {
            {
                std::lock_guard lock(errorMutex_);
                if (!error_)
                    error_ = std::current_exception();
            }
            Stop();
        }
    }

    void Stop() {
        stop_ = true;
        for (int channel = 0; channel < 2; ++channel) {
            std::lock_guard lock(channelMutex_[channel]);
            advanced_[channel].notify_all();
        }
    }
    bool Stopped() const { return stop_.load(); }
    std::int64_t SamplesDone() const { return samplesDone_.load(std::memory_order_relaxed); }
    void RethrowError() {
        if (error_)
            std::rethrow_exception(error_);
    }

private:
    bool RunJob(const Job& job, double* accumulators, const std::function<void()>& betweenBlocks) {
        if (engine_.channels_[job.channel].transform)
            return RunTransformJob(job, betweenBlocks);
        const std::int64_t delay = engine_.channels_[job.channel].shortestFeedback;
        const std::int64_t block = engine_.BlockFrames(job.channel);
        for (std::int64_t first = job.first; first < job.end; first += block) {
            const std::int64_t end = std::min(job.end, first + block);
            // Feedback taps read frames up to end - 1 - delay; those before the job must be final.
            if (delay != NoFeedback && !WaitForFrames(job.channel, std::min(job.first, end - delay)))
                return false;
            if (stop_.load(std::memory_order_relaxed))
                return false;
            engine_.ComputeBlock(job.channel, first, end, accumulators);
            samplesDone_.fetch_add(end - first, std::memory_order_relaxed);
            if (betweenBlocks)
                betweenBlocks();
        }
        return true;
    }

    // A transform job's frames are whole transform blocks; one with feedback is its channel's only job.
    bool RunTransformJob(const Job& job, const std::function<void()>& betweenBlocks) {
        const TransformChannel& transform = *engine_.channels_[job.channel].transform;
        const std::int64_t block = transform.BlockFrames();
        FramesOfChannel frames(engine_, job.channel);
        return transform.Run(
            frames, job.first / block, (job.end + block - 1) / block,
            [&](std::int64_t done) {
                samplesDone_.fetch_add(done, std::memory_order_relaxed);
                if (betweenBlocks)
                    betweenBlocks();
                return !stop_.load(std::memory_order_relaxed);
            },
            engine_.channels_[job.channel].transformHelpers);
    }

    bool WaitForFrames(int channel, std::int64_t frames) {
        // A short spin first: the job before is usually about to finish.
        for (int spins = 0; spins < 1000; ++spins)
            if (final_[channel].load(std::memory_order_acquire) >= frames)
                return true;
        std::unique_lock lock(channelMutex_[channel]);
        advanced_[channel].wait(
            lock, [&] { return stop_.load() || final_[channel].load(std::memory_order_acquire) >= frames; });
        return !stop_.load();
    }

    void Complete(std::size_t index) {
        const int channel = jobs_[index].channel;
        std::lock_guard lock(channelMutex_[channel]);
        done_[index].store(true, std::memory_order_relaxed);
        std::size_t& pending = firstPending_[channel];
        const std::vector<std::size_t>& order = channelJobs_[channel];
        std::int64_t frames = final_[channel].load(std::memory_order_relaxed);
        while (pending < order.size() && done_[order[pending]].load(std::memory_order_relaxed))
            frames = jobs_[order[pending++]].end;
        if (frames != final_[channel].load(std::memory_order_relaxed)) {
            final_[channel].store(frames, std::memory_order_release);
            advanced_[channel].notify_all();
        }
    }

    ConvolutionEngine& engine_;
    std::vector<Job> jobs_;
    std::unique_ptr<std::atomic<bool>[]> done_;
    std::vector<std::size_t> channelJobs_[2];
    std::size_t firstPending_[2] = {0, 0};
    std::mutex channelMutex_[2];
    std::condition_variable advanced_[2];
    std::atomic<std::int64_t> final_[2] = {0, 0};
    std::atomic<std::size_t> next_{0};
    std::atomic<std::int64_t> samplesDone_{0};
    std::atomic<bool> stop_{false};
    std::mutex errorMutex_;
    std::exception_ptr error_;
};

ConvolutionOutcome ConvolutionEngine::Run(const ConvolutionProgress& progress, unsigned threads,
                                          const ConvolutionTuning& tuning) {
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    BeginOutput();
    ChooseMethods(threads, tuning);
    const std::int64_t total = TotalSamples();
    std::vector<Job> jobs = MakeJobs(threads, tuning);
    Scheduler scheduler(*this, std::move(jobs));
    bool halted = false;
    auto report = [&] {
        if (progress && !halted && !progress(scheduler.SamplesDone(), total)) {
            halted = true;
            scheduler.Stop();
        }
    };

    if (threads == 1) {
        // Blocks can be short: the caller hears of every 1/256 of the run.
        const std::int64_t step = std::max<std::int64_t>(1, total / 256);
        std::int64_t nextReport = step;
        scheduler.Work([&] {
            if (scheduler.SamplesDone() >= nextReport) {
                nextReport = scheduler.SamplesDone() + step;
                report();
            }
        });
    } else {
        std::mutex mutex;
        std::condition_variable finished;
        unsigned running = threads;
        std::vector<std::thread> workers;
        try {
            for (unsigned i = 0; i < threads; ++i)
                workers.emplace_back([&] {
                    scheduler.Work({});
                    std::lock_guard lock(mutex);
                    --running;
                    finished.notify_all();
                });
        } catch (...) {
            scheduler.Stop();
            for (std::thread& worker : workers)
                worker.join();
            throw;
        }
        // The calling thread keeps the caller's progress display alive while the workers compute. A progress
        // callback that throws stops the workers first: a thread left running would end the program.
        try {
            for (;;) {
                std::unique_lock lock(mutex);
                if (finished.wait_for(lock, std::chrono::milliseconds(10), [&] { return running == 0; }))
                    break;
                lock.unlock();
                report();
            }
        } catch (...) {
            scheduler.Stop();
            for (std::thread& worker : workers)
                worker.join();
            throw;
        }
        for (std::thread& worker : workers)
            worker.join();
    }
    scheduler.RethrowError();
    if (!halted && !scheduler.Stopped())
        report();
    return halted || scheduler.Stopped() ? ConvolutionOutcome::Halted : ConvolutionOutcome::Completed;
}

} // namespace tarvola
