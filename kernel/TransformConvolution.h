// The convolution of one channel at transform speed, still exact to the bit.
//
// The sum of every output sample is computed approximately, in double precision, by partitioned transform
// convolutions (overlap-save) on levels of growing block lengths: the smallest, the base block of L frames,
// then 8 L, 64 L, ... Input taps read the input through one level; a feedback (Output) tap of delay d
// reads output blocks already final through the level of the largest block not above d, and the few
// feedback taps shorter than L are summed directly. Long feedback delays thus cost the little per frame
// of long transforms, while the span summed directly stays below one base block. Along with that value
// goes a rigorous bound on its distance from the exact sum, and one on the distance of the reference
// loop's own accumulator from the exact sum. When every value within both bounds of the approximation
// rounds and clips to the same sample, that sample is the reference's; otherwise the sample is computed
// exactly by the direct engine. The bounds are derived in TransformConvolution.cpp.
#pragma once

#include "kernel/Convolution.h"
#include "kernel/FourierTransform.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace tarvola {

// One tap of a channel: Input taps (feedback false) read input frames, feedback taps (delay >= 1) read
// output frames.
struct TransformTap {
    long double value = 0;
    std::int64_t delay = 0;
    bool feedback = false;
};

// What the method reads and writes of its channel.
class ChannelFrames {
public:
    virtual ~ChannelFrames() = default;
    // Frames [first, first + count) of the channel's input, or of its output, as doubles; 0 for frames
    // outside the signal. Output frames read are final.
    virtual void Read(bool output, std::int64_t first, std::int64_t count, double* into) const = 0;
    // Writes a final output sample.
    virtual void Store(std::int64_t frame, std::int64_t sample) = 0;
    // Computes an output sample exactly as the reference does (every frame before it is final), writes
    // it and returns it.
    virtual std::int64_t ComputeExactly(std::int64_t frame) = 0;
};

// The facts of a channel the method and its cost model need.
struct TransformChannelShape {
    std::int64_t frames = 0;   // output frames
    SampleRange range;         // of the output samples
    double inputMagnitude = 0; // the largest magnitude of an input sample the taps may read
};

// Largest block the cost model considers: transforms of 65,536 points.
inline constexpr std::int64_t MaxTransformBlock = std::int64_t{1} << 15;

// Memory the transform of one channel may take for its kernel's spectra and its workers' windows: about
// 16 bytes per frame of the kernel's span per worker, which a 32-bit process must keep within reason.
inline constexpr std::int64_t TransformChannelMemory = std::int64_t{96} << 20;

// True when the transform's bounds can be trusted for these taps: every value finite, and no partial
// sum anywhere near the double range. Otherwise only the direct engine is certain to be exact.
bool TransformApplies(std::span<const TransformTap> taps, const TransformChannelShape& shape);

// The cost model's verdict for a channel: estimated seconds of the direct engine and of the transform
// at its best block size, each over the threads it can use.
struct MethodEstimate {
    double directSeconds = 0;
    double transformSeconds = 0;
    std::int64_t blockFrames = 0; // the best block for the transform
    bool transform() const { return transformSeconds < directSeconds; }
};
MethodEstimate EstimateMethods(std::span<const TransformTap> taps, const TransformChannelShape& shape,
                               unsigned threadsForChannel);

// Rounding-error bound of a sum of `terms` products, each the product of a record value and a sample
// whose magnitudes sum to at most `magnitudes`, accumulated one by one in double precision (or better):
// the bound on the reference loop's deviation from the exact sum.
double SummationBound(std::int64_t terms, double magnitudes);

// When every value within `bound` of `value` rounds (halves to even) and clips to the same sample, sets
// `sample` to it and returns true.
bool SettledSample(double value, double bound, SampleRange range, std::int64_t& sample);

class TransformChannel {
public:
    // `blockFrames`, the base block, is a power of two from 2 to MaxTransformBlock. Makes the kernel's
    // spectra. `helped` lays the levels out for runs with helper threads: the long levels then take
    // only feedback taps of at least two of their blocks, so that helpers can compute them a block ahead.
    TransformChannel(std::span<const TransformTap> taps, const TransformChannelShape& shape,
                     std::int64_t blockFrames, bool helped = false);
    ~TransformChannel();
    TransformChannel(const TransformChannel&) = delete;
    TransformChannel& operator=(const TransformChannel&) = delete;

    std::int64_t BlockFrames() const { return block_; }
    std::int64_t Blocks() const { return (shape_.frames + block_ - 1) / block_; }
    // A channel with feedback runs its blocks in order from the first; one without may run any range
    // of blocks on any thread.
    bool HasFeedback() const;
    // Workers that may run at once within TransformChannelMemory (at least 1).
    std::int64_t WorkersInMemory() const;
    // The block lengths of the levels that hold taps, ascending.
    std::vector<std::int64_t> LevelBlocks() const;

    // Computes the output frames of blocks [firstBlock, endBlock), in order; calls `afterBlock` with the
    // frames of each block finished and stops when it returns false. Returns false when stopped. Safe to
    // call on several threads at once for disjoint ranges of a channel without feedback. `helpers` lets
    // the run start up to that many more threads, which compute the long levels laid out for them (see
    // the constructor) a block ahead while the calling thread settles the frames before them (`frames`
    // is then read on several threads: Read of final frames must be safe beside Store of later ones).
    bool Run(ChannelFrames& frames, std::int64_t firstBlock, std::int64_t endBlock,
             const std::function<bool(std::int64_t)>& afterBlock, unsigned helpers = 0) const;

    // Samples taken from the transform and samples computed exactly, since construction.
    std::int64_t SettledSamples() const { return settled_.load(); }
    std::int64_t ExactSamples() const { return exact_.load(); }

    // The bound on the transform's error for every output frame of a block: exposed for the tests,
    // which hold it against the error the transform actually makes.
    struct BlockResult {
        std::vector<double> sums; // the block's sums over every tap but the short feedback ones
        double bound = 0;         // their distance from the exact sums is at most this
    };
    BlockResult TransformBlock(const ChannelFrames& frames, std::int64_t block) const;

private:
    struct Part;
    struct Level;
    class LevelWorker;
    class Worker;

    Part MakePart(const Level& level, const std::vector<TransformTap>& sorted, bool output) const;
    void AddPartition(const Level& level, Part& part, std::int64_t index,
                      const std::vector<long double>& coefficients, SampleBuffer& samples) const;

    std::int64_t block_;
    TransformChannelShape shape_;
    std::vector<Level> levels_;
    std::vector<TransformTap> shortFeedback_;
    double coefficientBound_ = 0; // of the coefficients' rounding to doubles
    double sampleBound_ = 0;      // the bounds that hold for every sample alike
    mutable std::atomic<std::int64_t> settled_{0};
    mutable std::atomic<std::int64_t> exact_{0};
};

} // namespace tarvola
