// Applying the two kernels to a signal in memory: a sparse time-domain convolution per channel, where each
// kernel record is one tap. Input taps read the input signal, Output taps read output samples already
// computed (feedback).
//
// The result is defined to the bit by the reference loops (ConvolveBytes, ConvolveWords and their 24- and
// 32-bit siblings): per channel and output sample, every record in list order, the product of the sample
// and the record's 80-bit value formed in 80-bit precision and added into a 64-bit accumulator; the sum is
// rounded halves-to-even and clipped. ConvolutionEngine gives exactly the same bytes, faster: it drops Pass
// records, hoists the range checks out of the loops, computes many output samples per pass over the taps
// (each sample still sees its taps in list order) and spreads independent blocks over several threads.
// For a long kernel a cost model may hand a channel to the transform method (TransformConvolution.h),
// which takes each sample from a block transform where its error bounds prove it equal to the reference's
// and computes the others by the direct engine above.
#pragma once

#include "kernel/KrnlDsgnTypes.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <span>
#include <vector>

namespace tarvola {

// The source kind of a tap, as the kernel records store it.
using TapKind = TSourceKind;

// One kernel record as the convolution sees it.
struct ConvolutionRecord {
    long double value = 0;
    std::int32_t impulse = 0; // delay in frames; may be negative
    TSourceKind kind = TSourceKind::Pass;
};

// The records of a kernel of the model, in list order. The model itself is left as it is: an Output
// record at impulse 0 or below is taken as Input by the run.
std::vector<ConvolutionRecord> ConvolutionRecords(const TobjHistData& kernel);

// The signal a run reads and the buffer it writes, both interleaved, `bytes` long. Samples of one byte
// are unsigned (0..255, no offset removed); wider samples are signed little-endian integers.
struct ConvolutionSignal {
    const std::uint8_t* input = nullptr;
    std::uint8_t* output = nullptr;
    std::size_t bytes = 0;
    int bytesPerSample = 2; // 1 to 4
    int channels = 1;       // 1 or 2
};

// Samples (over all channels) one run processes at most; the output keeps the input's samples after them.
inline constexpr std::int64_t MaxProcessedSamples = 4194304;

// The range an output sample is clipped to: the full range of its container.
struct SampleRange {
    std::int64_t min = 0;
    std::int64_t max = 0;
};
SampleRange ContainerRange(int bytesPerSample);

// Raises std::invalid_argument unless the signal is one the convolution handles.
void CheckSignal(const ConvolutionSignal& signal);

// Samples processed over all channels: the signal's samples, at most MaxProcessedSamples.
std::int64_t ProcessedSamples(const ConvolutionSignal& signal);

// The accumulator as an output sample: Round (halves to even), then clipped. A NaN gives 0 and infinities
// the range's ends, so no accumulator can fail the conversion.
std::int64_t RoundAndClip(double accumulator, SampleRange range);

// The reference loops: one channel (channelIndex 0 or 1) of an interleaved signal, computed in place into
// `out` sample by sample, exactly as the result is defined. `out` must already hold what Output taps may
// read beyond the samples written so far (a run starts it as a copy of the input).
void ConvolveBytes(const std::uint8_t* in, std::uint8_t* out, int channels, int channelIndex,
                   std::int64_t sampleLimit, std::span<const ConvolutionRecord> kernel);
void ConvolveWords(const std::uint8_t* in, std::uint8_t* out, int channels, int channelIndex,
                   std::int64_t sampleLimit, std::span<const ConvolutionRecord> kernel);
void ConvolveTriples(const std::uint8_t* in, std::uint8_t* out, int channels, int channelIndex,
                     std::int64_t sampleLimit, std::span<const ConvolutionRecord> kernel);
void ConvolveLongs(const std::uint8_t* in, std::uint8_t* out, int channels, int channelIndex,
                   std::int64_t sampleLimit, std::span<const ConvolutionRecord> kernel);

// A whole run by the reference loops: the output starts as a copy of the input, then the left kernel
// convolves channel 0 and (for stereo) the right kernel channel 1.
void ConvolveReference(const ConvolutionSignal& signal, std::span<const ConvolutionRecord> left,
                       std::span<const ConvolutionRecord> right);

enum class ConvolutionOutcome { Completed, Halted };

// Called on the thread that runs the engine, between blocks of work, with the output samples finished
// so far and the run's total; returns false to halt the run.
using ConvolutionProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// How a run computes a channel: the direct engine, the transform method (TransformConvolution.h; a
// channel whose values it cannot bound stays direct), or the one the cost model expects to be faster.
enum class ConvolutionMethod { Chosen, Direct, Transform };

// How a run shares its work among threads; work is counted in taps times frames.
struct ConvolutionTuning {
    ConvolutionMethod method = ConvolutionMethod::Chosen;
    std::int64_t transformBlock =
        0; // frames of a transform block (a power of two); 0: the cost model's choice
    std::int64_t jobWork = std::int64_t{1} << 21; // of one job: keeps scheduling cheap, still shared out
    std::int64_t minJobsPerChannel = 200;         // so that the threads share the work out evenly
    // Of one job below which a channel with feedback is not split among threads, as the hand-over between
    // them would cost more than it gains; also the least work worth starting a thread for.
    std::int64_t minSharedJobWork = std::int64_t{1} << 19;
};

class TransformChannel;

// The fast engine. Prepared from the signal and the two kernels (the records are copied; the kernels
// may change afterwards); Run then fills the output buffer.
class ConvolutionEngine {
public:
    ConvolutionEngine(const ConvolutionSignal& signal, std::span<const ConvolutionRecord> left,
                      std::span<const ConvolutionRecord> right);
    ~ConvolutionEngine();
    ConvolutionEngine(const ConvolutionEngine&) = delete;
    ConvolutionEngine& operator=(const ConvolutionEngine&) = delete;

    // Writes every processed sample of the output, on `threads` threads (0: one per core), and copies the
    // input's samples after them. The calling thread calls `progress` between blocks (it may be empty) and
    // joins the workers. A halt stops the run at the next block; the output is then partly written.
    ConvolutionOutcome Run(const ConvolutionProgress& progress, unsigned threads = 0,
                           const ConvolutionTuning& tuning = {});

    // Step by step, as Run does it: BeginOutput prepares the run (the output after the processed samples,
    // the samples the taps read); ComputeFrames then computes the output frames [firstFrame, endFrame) of
    // one channel exactly, once every frame of the channel before firstFrame has been computed.
    void BeginOutput();
    void ComputeFrames(int channelIndex, std::int64_t firstFrame, std::int64_t endFrame);

    int Channels() const { return signal_.channels; }
    std::int64_t FramesPerChannel() const { return frameLimit_; }
    std::int64_t TotalSamples() const { return frameLimit_ * signal_.channels; }

    // The shortest delay of the channel's feedback taps, or NoFeedback.
    static constexpr std::int64_t NoFeedback = std::numeric_limits<std::int64_t>::max();
    std::int64_t ShortestFeedbackDelay(int channelIndex) const;

    // After Run: whether the channel went through the transform method, and how many of its samples
    // were taken from the transform and how many computed exactly because they lay too near a boundary.
    struct TransformSamples {
        bool used = false;
        std::int64_t blockFrames = 0;
        std::int64_t settled = 0;
        std::int64_t exact = 0;
    };
    TransformSamples TransformUse(int channelIndex) const;

private:
    // A record that takes part in the run: Pass records are gone and feedback taps that would read the
    // sample being computed or a later one read the input instead.
    struct Tap {
        long double value;
        std::int64_t delay;
        int source; // 0 the input, 1 the output
    };
    struct ChannelPlan {
        std::vector<Tap> taps;
        std::int64_t readableFrames = 0; // frames a tap may read: 0 <= frame < readableFrames
        std::int64_t shortestFeedback = NoFeedback;
        std::int64_t interiorFirst = 0; // output frames for which every tap reads inside the signal
        std::int64_t interiorEnd = 0;
        // Where taps read: the input and the output, frameStride bytes apart from frame to frame. Samples
        // of 2 and 4 bytes are read in place; 1- and 3-byte samples through 32-bit copies in `planes`.
        const std::uint8_t* bases[2] = {nullptr, nullptr};
        std::int64_t frameStride = 0;
        std::unique_ptr<std::int32_t[]> planes;
        std::unique_ptr<TransformChannel> transform; // when the run computes the channel by transform
        unsigned transformHelpers = 0; // threads the transform of a channel with feedback may start
    };
    struct Job {
        int channel;
        std::int64_t first;
        std::int64_t end;
    };
    class Scheduler;
    class FramesOfChannel;

    void PlanChannel(int channelIndex, std::span<const ConvolutionRecord> kernel);
    void FillChannelPlanes();
    std::int64_t BlockFrames(int channelIndex) const;
    void ComputeBlock(int channelIndex, std::int64_t first, std::int64_t end, double* accumulators);
    template <typename Read, typename Sample>
    void ComputeBlockAs(int channelIndex, std::int64_t first, std::int64_t end, double* accumulators);
    std::vector<Job> MakeJobs(unsigned& threads, const ConvolutionTuning& tuning) const;
    unsigned TransformHelpers(int channelIndex, unsigned threads) const;
    std::int64_t TransformJobFrames(int channelIndex, unsigned threads) const;
    void ChooseMethods(unsigned threads, const ConvolutionTuning& tuning);
    double InputMagnitude(int channelIndex) const;
    // Frames [first, first + count) of the channel's input or output as doubles, 0 outside the frames
    // taps may read; and one output sample written as the direct engine writes it.
    void ReadFrames(int channelIndex, bool output, std::int64_t first, std::int64_t count,
                    double* into) const;
    void StoreFrame(int channelIndex, std::int64_t frame, std::int64_t value);

    ConvolutionSignal signal_;
    SampleRange range_;
    std::int64_t sampleLimit_ = 0;
    std::int64_t frameLimit_ = 0;
    bool begun_ = false;
    ChannelPlan channels_[2];
};

} // namespace tarvola
