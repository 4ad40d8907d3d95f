#include "kernel/TransformConvolution.h"

#include "base/Numerics.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace tarvola {

// ---------------------------------------------------------------------------------------------------------
// Error bounds
//
// u = 2^-53 is the unit roundoff of double precision. The reference loop forms each product in 80-bit
// precision (relative error <= 2^-64), adds it in 80-bit precision (<= 2^-64) and rounds the sum to a double
// (<= 2^-53): each step multiplies by at most (1 + u') with u' = 2^-53 + 2^-63, which also covers the
// product. A term that enters at step i passes through at most m + 1 such factors (m terms), so the
// standard bound for recursive summation gives |reference - exact| <= gamma(m + 1) * sum |v * x|, with
// gamma(n) = n u' / (1 - n u') (SummationBound). Underflow adds at most 2^-1074 per operation, which the
// absolute slack kTiny covers many times over for any signal and kernel this program handles.
//
// The transform. Let F be the DFT of N = 2L points, ||F x|| = sqrt(N) ||x|| (2-norms). We take FFTW's real
// transforms of a power-of-two size to satisfy the normwise bound ||computed - exact|| <= a ||exact|| with
// a = 32 log2(N) u: the classical bound for radix-2 Cooley-Tukey with accurate twiddle factors is about
// 6.7 log2(N) u, and the constant leaves room for the other factorisations FFTW chooses. Block j of the
// output is the inverse transform of S = sum over partitions k of X_{j-k} o H_k, where X_i is the spectrum
// of input window i (2L samples w_i) and H_k that of kernel partition k (L coefficients h_k, scaled by 1/N
// exactly as N is a power of two). With the computed spectra X^ = X + E, H^ = H + G and
// ||H||_inf <= ||h||_1, ||X||_inf <= ||w||_1:
//   ||E o H^|| <= a sqrt(N) ||w||_2 ||h||_1 (1 + a sqrt(N)),   ||X o G|| <= ||w||_1 a sqrt(N) ||h||_2,
// the complex products and their accumulation over K terms add at most b = gamma_u(K + 3) of
// sum ||X^|| ||H^||_inf <= sqrt(N) ||w||_2 ||h||_1 (1 + a)(1 + a sqrt(N)), and the inverse transform
// (|| || of a real signal from a half spectrum <= sqrt(2N) times the half spectrum's) adds a of its
// result. With the 1/N scaling folded back into h, every output sample of the block is within
//   E_j = 1.5 sum_k [ (2a + b) ||w_{j-k}||_2 ||h_k||_1 + a ||w_{j-k}||_1 ||h_k||_2 ]
// of the exact sum of the block's taps (1.5 > sqrt(2) times the factors 1 + O(a sqrt(N)) above).
// The bound holds whatever the order of the accumulation, so a block's products may be summed in two
// parts (one of them on a helper thread) and then added. Each level of block L' gives its frames such a
// sum and bound; the frames of a base block gather the sums of the n levels, which rounds at most n - 1
// times by u of a partial sum, each no larger than the sum over the levels of their largest magnitudes
// (bounded by gamma_u(n) times that sum), and the bounds add up.
// The coefficients themselves are the record values rounded to doubles (after summing the c records of the
// same delay): each is within gamma_u(c + 1) of the sum of |v| at its delay; times the largest sample
// magnitude this adds coefficientBound_ to every output sample.
// The short feedback taps are summed in double precision: gamma_u(m + 2) sum |v| |y| with the values'
// rounding to double included; adding the two partial sums errs by at most u' of their magnitudes.
//
// The sample is settled when every value within the total bound of the computed sum rounds and clips to
// the same sample (SettledSample): the reference's accumulator lies within that distance too.

namespace {

constexpr double kUnit = 0x1p-53;
constexpr double kUnitWithExtended = 0x1p-53 + 0x1p-63;
constexpr double kTiny = 1e-200;                    // covers every underflow
constexpr double kNormInflation = 1 + 0x1p-20;      // norms computed in double, of up to 2^30 terms
constexpr double kTransformLevelError = 32 * kUnit; // per radix-2 level of FFTW's transforms
constexpr double kLargestSum = 0x1p900;             // far from the double range

double Gamma(double n, double unit) {
    const double nu = n * unit;
    return nu < 0.5 ? nu / (1 - nu) : std::numeric_limits<double>::infinity();
}

double OutputMagnitude(SampleRange range) {
    return std::max(std::fabs(static_cast<double>(range.min)), std::fabs(static_cast<double>(range.max)));
}

int Log2(std::int64_t powerOfTwo) {
    int bits = 0;
    while ((std::int64_t{1} << bits) < powerOfTwo)
        ++bits;
    return bits;
}

bool IsPowerOfTwo(std::int64_t n) {
    return n >= 1 && (n & (n - 1)) == 0;
}

// Element i of a vector that a hot loop indexes: checked where the buffers' elements are (see
// kCheckedBufferIndexes); the loops' comments say why the index is in range in every build.
template <typename V>
auto& Element(V& values, std::size_t i) {
    if constexpr (kCheckedBufferIndexes)
        CheckIndex(i, values.size());
    return values[i];
}

// The first `count` of a stretch, checked in every build.
std::span<const double> Leading(std::span<const double> values, std::int64_t count) {
    if (count < 0 || static_cast<std::uint64_t>(count) > values.size())
        throw RangeError("TransformChannel: more frames than the block's sums");
    return values.first(static_cast<std::size_t>(count));
}

// ---- cost model: seconds per unit of work on one core (bench_convolution measures the real thing)
constexpr double kDirectTapFrame = 0.35e-9; // the direct engine, per tap and frame
constexpr double kTransformPoint = 0.3e-9;  // one transform, per N log2 N
constexpr double kPartitionBin = 1.0e-9;    // one complex multiply-add of a partition's spectrum
constexpr double kTransformFrame = 6e-9;    // windows, bounds and stores, per frame
constexpr double kShortTapFrame = 1.2e-9;   // a feedback tap summed directly, per frame
constexpr double kLevelFrame = 0.5e-9;      // adding a level's sums, per frame
// A channel with feedback shares the direct engine's work among threads only when its shortest feedback
// delay leaves room for whole jobs.
constexpr std::int64_t kSharedFeedbackDelay = 2048;

// Levels of at least this block may be computed on helper threads: the hand-over between the threads then
// comes seldom enough to cost little.
constexpr std::int64_t kHelpedLevelBlock = 1024;

// How long a thread watches for a hand-over between the run and a helper before it sleeps.
constexpr std::chrono::microseconds kHandOverWatch{250};

void PauseProcessor() {
#if defined(__i386__) || defined(__x86_64__)
    __builtin_ia32_pause();
#endif
}

// Blocks of successive levels grow by this factor: the feedback taps of a level then span at most this
// many of its partitions, and a frame's sum gathers few levels.
constexpr std::int64_t kLevelGrowth = 8;

// The taps one level transforms, through partitions of the level's block.
struct LevelTaps {
    std::int64_t block = 0;
    std::vector<TransformTap> input, feedback;
};

// A channel's taps shared among levels of growing blocks, the smallest the base block. A feedback tap of
// delay d goes to the level of the largest block b <= d: the windows that level transforms for the frames
// [m b, (m + 1) b) then read only output frames before m b, final by the time it needs them. Long delays
// thus take long blocks, whose transforms cost less per frame, and only the feedback taps shorter than the
// base block are summed directly. Input taps read no output: a channel without feedback keeps them on the
// base block (its blocks may then run on any thread); with feedback they go to the level where they cost
// least per frame.
// A run with helper threads gives long levels a block of slack: their feedback taps are at least two of
// their blocks long, so a level's block m reads only output frames before block m - 1, and a helper can
// compute it while the frames of block m - 1 are settled.
struct TapPlan {
    std::vector<LevelTaps> levels; // ascending blocks, each with at least one tap
    std::vector<TransformTap> shortFeedback;
};

std::int64_t PowerOfTwoAtLeast(std::int64_t n) {
    std::int64_t power = 1;
    while (power < n && power <= std::numeric_limits<std::int64_t>::max() / 2)
        power *= 2;
    return power;
}

// The blocks of the levels for a base block: no block beyond the transform's limit, nor beyond what
// the channel's frames fill.
std::vector<std::int64_t> LevelBlocks(std::int64_t base, std::int64_t frames) {
    const std::int64_t largest = std::max(base, std::min(MaxTransformBlock, PowerOfTwoAtLeast(frames)));
    std::vector<std::int64_t> blocks = {base};
    while (blocks.back() <= largest / kLevelGrowth)
        blocks.push_back(blocks.back() * kLevelGrowth);
    return blocks;
}

// Whether a feedback tap of `delay` may read through a level of `block`: its windows read only output
// frames before the block's, and with `slack` those of a long level lie a whole block further back.
bool FitsLevel(std::int64_t block, std::int64_t delay, bool slack) {
    return slack && block >= kHelpedLevelBlock ? delay / 2 >= block : delay >= block;
}

// The last level a feedback tap of `delay` fits (the first when none does); with `slack`, long levels
// take only delays of two of their blocks or more.
std::size_t LevelReaching(const std::vector<std::int64_t>& blocks, std::int64_t delay, bool slack) {
    std::size_t level = 0;
    while (level + 1 < blocks.size() && FitsLevel(blocks[level + 1], delay, slack))
        ++level;
    return level;
}

// Partitions of `block` frames that hold at least one tap, counted from the smallest delay.
std::int64_t OccupiedPartitions(const std::vector<TransformTap>& taps, std::int64_t block) {
    if (taps.empty())
        return 0;
    std::int64_t shift = taps.front().delay;
    for (const TransformTap& tap : taps)
        shift = std::min(shift, tap.delay);
    std::vector<std::int64_t> indices;
    indices.reserve(taps.size());
    for (const TransformTap& tap : taps)
        indices.push_back((tap.delay - shift) / block);
    std::sort(indices.begin(), indices.end());
    return std::unique(indices.begin(), indices.end()) - indices.begin();
}

double TransformSeconds(std::int64_t points) {
    return kTransformPoint * static_cast<double>(points) * Log2(points);
}

// Partitions from the first occupied one to the last: the windows a worker keeps.
std::int64_t SpannedPartitions(const std::vector<TransformTap>& taps, std::int64_t block) {
    if (taps.empty())
        return 0;
    const auto [low, high] =
        std::minmax_element(taps.begin(), taps.end(),
                            [](const TransformTap& a, const TransformTap& b) { return a.delay < b.delay; });
    return (high->delay - low->delay) / block + 1;
}

std::int64_t SpectrumBytes(std::int64_t block) {
    return (block + 1) * static_cast<std::int64_t>(sizeof(std::complex<double>));
}

// Workers of a channel without feedback that fit in the memory beside the kernel's spectra; 0: none.
std::int64_t WorkersWithin(std::int64_t kernelBytes, std::int64_t workerBytes) {
    const std::int64_t left = TransformChannelMemory - kernelBytes;
    return left < workerBytes ? 0 : left / std::max<std::int64_t>(1, workerBytes);
}

// The level for Input taps, when the channel has feedback: the one whose transforms and partitions cost
// least per frame. Its inverse transform is shared with its feedback taps, if it has any.
std::size_t InputLevel(const std::vector<LevelTaps>& levels, const std::vector<TransformTap>& input) {
    std::size_t best = 0;
    double bestSeconds = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const std::int64_t block = levels[i].block;
        const double transforms = levels[i].feedback.empty() ? 2 : 1;
        const double seconds =
            (transforms * TransformSeconds(2 * block) +
             static_cast<double>(OccupiedPartitions(input, block) * (block + 1)) * kPartitionBin) /
            static_cast<double>(block);
        if (seconds < bestSeconds) {
            bestSeconds = seconds;
            best = i;
        }
    }
    return best;
}

TapPlan PlanTaps(std::span<const TransformTap> taps, std::int64_t base, std::int64_t frames, bool slack) {
    const std::vector<std::int64_t> blocks = LevelBlocks(base, frames);
    std::vector<LevelTaps> levels(blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i)
        levels[i].block = blocks[i];
    TapPlan plan;
    std::vector<TransformTap> input;
    bool feedback = false;
    for (const TransformTap& tap : taps) {
        feedback = feedback || tap.feedback;
        if (!tap.feedback)
            input.push_back(tap);
        else if (tap.delay < base)
            plan.shortFeedback.push_back(tap);
        else
            levels[LevelReaching(blocks, tap.delay, slack)].feedback.push_back(tap);
    }
    if (!input.empty()) {
        const std::size_t level = feedback ? InputLevel(levels, input) : 0;
        levels[level].input = std::move(input);
    }
    for (LevelTaps& level : levels)
        if (!level.input.empty() || !level.feedback.empty())
            plan.levels.push_back(std::move(level));
    return plan;
}

// What the levels of a plan cost: seconds per frame and for the kernel's spectra, and the memory of the
// spectra and of one worker's windows.
struct LevelCosts {
    double perFrame = kTransformFrame;
    double setup = 0;
    std::int64_t kernelBytes = 0;
    std::int64_t workerBytes = 0;
};

LevelCosts CostsOf(const TapPlan& plan) {
    LevelCosts costs;
    for (const LevelTaps& level : plan.levels) {
        const double block = static_cast<double>(level.block);
        const std::int64_t partitions =
            OccupiedPartitions(level.input, level.block) + OccupiedPartitions(level.feedback, level.block);
        const double forwardTransforms = (level.input.empty() ? 0 : 1) + (level.feedback.empty() ? 0 : 1);
        const double transform = TransformSeconds(2 * level.block);
        costs.perFrame += ((forwardTransforms + 1) * transform +
                           static_cast<double>(partitions) * (block + 1) * kPartitionBin) /
                              block +
                          kLevelFrame;
        costs.setup += static_cast<double>(partitions) * transform;
        costs.kernelBytes += partitions * SpectrumBytes(level.block);
        costs.workerBytes += (SpannedPartitions(level.input, level.block) +
                              SpannedPartitions(level.feedback, level.block) + 8) *
                             SpectrumBytes(level.block);
    }
    return costs;
}

} // namespace

double SummationBound(std::int64_t terms, double magnitudes) {
    return Gamma(static_cast<double>(terms) + 1, kUnitWithExtended) * magnitudes + kTiny;
}

bool SettledSample(double value, double bound, SampleRange range, std::int64_t& sample) {
    if (!std::isfinite(value) || !std::isfinite(bound) || bound < 0)
        return false;
    // The common case first, without library calls: the nearest integer by the usual addition and
    // subtraction of 1.5 * 2^52 (ties to even), inside the clip range, with every value within the bound
    // strictly nearer to it than half a step. value - nearest is exact; 0.5 - |value - nearest| errs by
    // less than 2^-54 of itself, which the small factor and term on the bound cover.
    if (std::fabs(value) < 0x1p51) {
        const double nearest = (value + 0x1.8p52) - 0x1.8p52;
        const double margin = 0.5 - std::fabs(value - nearest);
        if (margin > bound * (1 + 0x1p-40) + 0x1p-60 && nearest > static_cast<double>(range.min) &&
            nearest < static_cast<double>(range.max)) {
            sample = static_cast<std::int64_t>(nearest);
            return true;
        }
    }
    // One step outwards covers the rounding of the subtraction and the addition.
    const double low = std::nextafter(value - bound, -std::numeric_limits<double>::infinity());
    const double high = std::nextafter(value + bound, std::numeric_limits<double>::infinity());
    // Round and clip is monotonic, so the two ends decide for everything between them.
    const std::int64_t lowSample = RoundAndClip(low, range);
    if (RoundAndClip(high, range) != lowSample)
        return false;
    sample = lowSample;
    return true;
}

bool TransformApplies(std::span<const TransformTap> taps, const TransformChannelShape& shape) {
    const long double magnitude = std::max<long double>(shape.inputMagnitude, OutputMagnitude(shape.range));
    long double sum = 0;
    for (const TransformTap& tap : taps) {
        if (!std::isfinite(tap.value))
            return false;
        sum += std::fabs(tap.value);
    }
    return std::isfinite(sum) && sum * magnitude < kLargestSum;
}

MethodEstimate EstimateMethods(std::span<const TransformTap> taps, const TransformChannelShape& shape,
                               unsigned threadsForChannel) {
    const double frames = static_cast<double>(shape.frames);
    const double threads = std::max(1u, threadsForChannel);
    std::int64_t shortestFeedback = std::numeric_limits<std::int64_t>::max();
    for (const TransformTap& tap : taps)
        if (tap.feedback)
            shortestFeedback = std::min(shortestFeedback, tap.delay);
    const bool sharedDirect = shortestFeedback >= kSharedFeedbackDelay;

    MethodEstimate estimate;
    estimate.directSeconds =
        kDirectTapFrame * static_cast<double>(taps.size()) * frames / (sharedDirect ? threads : 1);
    estimate.transformSeconds = std::numeric_limits<double>::infinity();
    for (std::int64_t block = 16; block <= MaxTransformBlock; block *= 2) {
        const TapPlan plan = PlanTaps(taps, block, shape.frames, false);
        const LevelCosts costs = CostsOf(plan);
        const std::int64_t workers = WorkersWithin(costs.kernelBytes, costs.workerBytes);
        if (workers == 0)
            continue;
        const bool feedback = shortestFeedback != std::numeric_limits<std::int64_t>::max();
        // Parallel jobs each start with the windows of the partitions before their first block.
        const double jobs = feedback ? 1 : std::min(threads, static_cast<double>(workers));
        const double perFrame =
            costs.perFrame + static_cast<double>(plan.shortFeedback.size()) * kShortTapFrame;
        const double seconds = (frames * perFrame + (1 + jobs) * costs.setup) / jobs;
        if (seconds < estimate.transformSeconds) {
            estimate.transformSeconds = seconds;
            estimate.blockFrames = block;
        }
    }
    if (!TransformApplies(taps, shape))
        estimate.transformSeconds = std::numeric_limits<double>::infinity();
    return estimate;
}

// ---------------------------------------------------------------------------------------------------------
// The channel

// The taps of one source (input or output) of a level as partitions of the level's block, and their
// spectra.
struct TransformChannel::Part {
    bool output = false;
    std::int64_t shift = 0; // delay of each partition's first coefficient, less k L
    std::int64_t span = 0;  // partitions from the first to the last occupied one
    struct Partition {
        std::int64_t index;
        SampleBuffer spectrum; // split: the real parts of the bins, then their imaginary parts
        double norm1;          // of the unscaled coefficients
        double norm2;
    };
    std::vector<Partition> partitions;
};

// A uniformly partitioned transform convolution of blocks of its own length.
struct TransformChannel::Level {
    std::int64_t block = 0;
    std::unique_ptr<RealTransform> transform;
    std::vector<Part> parts;
    // Every window of block m reads output frames before block m - 1 only (feedback taps of two blocks
    // or more): a helper thread may compute block m while the frames of block m - 1 are settled.
    bool ahead = false;
};

namespace {

std::vector<TransformTap> SortedByDelay(std::vector<TransformTap> taps) {
    std::stable_sort(taps.begin(), taps.end(),
                     [](const TransformTap& a, const TransformTap& b) { return a.delay < b.delay; });
    return taps;
}

long double ValueMagnitudes(const std::vector<TransformTap>& taps) {
    long double sum = 0;
    for (const TransformTap& tap : taps)
        sum += std::fabs(tap.value);
    return sum;
}

// The most records that share one delay, of taps sorted by delay.
std::int64_t MostAtOneDelay(const std::vector<TransformTap>& sorted) {
    std::int64_t run = 0, most = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        run = i > 0 && sorted[i].delay == sorted[i - 1].delay ? run + 1 : 1;
        most = std::max(most, run);
    }
    return most;
}

// `count` values from `first` of a stretch, checked in every build.
std::span<const double> Stretch(std::span<const double> values, std::int64_t first, std::int64_t count) {
    if (first < 0 || count < 0 || static_cast<std::uint64_t>(first) > values.size() ||
        static_cast<std::uint64_t>(count) > values.size() - static_cast<std::size_t>(first))
        throw RangeError("TransformChannel: frames outside a level's sums");
    return values.subspan(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
}

// Spectra are kept split, every real part and then every imaginary part, so that the products of
// spectra run over plain arrays of doubles, which the compiler vectorises well. The arithmetic is the
// same as on interleaved complex values.
void SplitSpectrum(const std::complex<double>* spectrum, double* split, std::size_t bins) {
    for (std::size_t i = 0; i < bins; ++i) {
        split[i] = spectrum[i].real();
        split[bins + i] = spectrum[i].imag();
    }
}

void JoinSpectrum(const double* split, std::complex<double>* spectrum, std::size_t bins) {
    for (std::size_t i = 0; i < bins; ++i)
        spectrum[i] = {split[i], split[bins + i]};
}

// For runs with helper threads: a long level's input and feedback taps become two levels of the same
// block, so that two helpers share the level's work; the products of both are summed apart and then
// added, as the levels' sums always are.
std::vector<LevelTaps> SplitLongLevels(const std::vector<LevelTaps>& levels) {
    std::vector<LevelTaps> split;
    for (const LevelTaps& level : levels) {
        if (level.block < kHelpedLevelBlock || level.input.empty() || level.feedback.empty()) {
            split.push_back(level);
            continue;
        }
        split.push_back({level.block, level.input, {}});
        split.push_back({level.block, {}, level.feedback});
    }
    return split;
}

} // namespace

TransformChannel::TransformChannel(std::span<const TransformTap> taps, const TransformChannelShape& shape,
                                   std::int64_t blockFrames, bool helped)
    : block_(blockFrames), shape_(shape) {
    if (!IsPowerOfTwo(blockFrames) || blockFrames < 2 || blockFrames > MaxTransformBlock)
        throw std::invalid_argument("TransformChannel: block must be a power of two");
    if (!TransformApplies(taps, shape))
        throw std::invalid_argument("TransformChannel: the taps need the direct engine");
    const TapPlan plan = PlanTaps(taps, block_, shape.frames, helped);
    const double outputMagnitude = OutputMagnitude(shape.range);
    long double referenceMagnitudes = 0;
    for (const LevelTaps& levelTaps : helped ? SplitLongLevels(plan.levels) : plan.levels) {
        Level level;
        level.block = levelTaps.block;
        level.transform = std::make_unique<RealTransform>(2 * level.block);
        for (const bool output : {false, true}) {
            const std::vector<TransformTap> sorted =
                SortedByDelay(output ? levelTaps.feedback : levelTaps.input);
            if (sorted.empty())
                continue;
            const long double magnitudes =
                ValueMagnitudes(sorted) * (output ? outputMagnitude : shape.inputMagnitude);
            referenceMagnitudes += magnitudes;
            // Each coefficient passes through at most one rounding per record at its delay and one to
            // double, each of at most u whatever the 80-bit unit's precision setting.
            coefficientBound_ += static_cast<double>(magnitudes) *
                                 Gamma(static_cast<double>(MostAtOneDelay(sorted)) + 1, kUnit) *
                                 kNormInflation;
            Part part = MakePart(level, sorted, output);
            if (!part.partitions.empty())
                level.parts.push_back(std::move(part));
        }
        level.ahead = std::all_of(level.parts.begin(), level.parts.end(), [&](const Part& part) {
            return !part.output || part.shift / 2 >= level.block;
        });
        if (!level.parts.empty())
            levels_.push_back(std::move(level));
    }

    shortFeedback_ = plan.shortFeedback;
    const long double shortMagnitudes = ValueMagnitudes(shortFeedback_) * outputMagnitude;
    referenceMagnitudes += shortMagnitudes;
    const double shortBound =
        Gamma(static_cast<double>(shortFeedback_.size()) + 2, kUnit) * static_cast<double>(shortMagnitudes);
    const std::int64_t terms = static_cast<std::int64_t>(taps.size());
    sampleBound_ = SummationBound(terms, static_cast<double>(referenceMagnitudes) * kNormInflation) +
                   coefficientBound_ + shortBound * kNormInflation + kTiny;
}

// The partitions of a level's taps sorted by delay: records of the same delay are summed in long double
// before the rounding to double, one partition at a time.
TransformChannel::Part TransformChannel::MakePart(const Level& level, const std::vector<TransformTap>& sorted,
                                                  bool output) const {
    Part part;
    part.output = output;
    part.shift = sorted.front().delay;
    SampleBuffer samples(static_cast<std::size_t>(2 * level.block));
    std::vector<long double> coefficients(static_cast<std::size_t>(level.block));
    for (std::size_t first = 0; first < sorted.size();) {
        const std::int64_t index = (sorted[first].delay - part.shift) / level.block;
        std::fill(coefficients.begin(), coefficients.end(), 0.0L);
        // Sorted delays are at least the shift, so every offset lies in 0 .. block - 1.
        for (; first < sorted.size() && (sorted[first].delay - part.shift) / level.block == index; ++first) {
            const std::int64_t offset = (sorted[first].delay - part.shift) % level.block;
            CheckIndex(offset, level.block);
            coefficients[static_cast<std::size_t>(offset)] += sorted[first].value;
        }
        AddPartition(level, part, index, coefficients, samples);
    }
    return part;
}

// Partition `index` from its coefficients, unless they are all zero; `samples` is the transform's buffer.
void TransformChannel::AddPartition(const Level& level, Part& part, std::int64_t index,
                                    const std::vector<long double>& coefficients,
                                    SampleBuffer& samples) const {
    // Scaling by 1/N, a power of two, is exact: the inverse transform needs no normalising pass.
    const double scale = 1.0 / static_cast<double>(2 * level.block);
    const std::size_t count = static_cast<std::size_t>(level.block);
    CheckIndex(count - 1, coefficients.size());
    double* lowHalf = samples.Window(0, count);
    double norm1 = 0, squares = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double c = static_cast<double>(coefficients[i]);
        lowHalf[i] = c * scale;
        norm1 += std::fabs(c);
        squares += c * c;
    }
    if (norm1 == 0)
        return;
    const RealTransform& transform = *level.transform;
    const std::size_t bins = static_cast<std::size_t>(transform.Bins());
    Part::Partition partition{index, SampleBuffer(2 * bins), norm1 * kNormInflation,
                              std::sqrt(squares) * kNormInflation};
    SpectrumBuffer spectrum(bins);
    transform.Forward(samples.Window(0, static_cast<std::size_t>(transform.Size())),
                      spectrum.Window(0, bins));
    SplitSpectrum(spectrum.Window(0, bins), partition.spectrum.Window(0, 2 * bins), bins);
    part.partitions.push_back(std::move(partition));
    part.span = index + 1;
}

TransformChannel::~TransformChannel() = default;

bool TransformChannel::HasFeedback() const {
    if (!shortFeedback_.empty())
        return true;
    return std::any_of(levels_.begin(), levels_.end(), [](const Level& level) {
        return std::any_of(level.parts.begin(), level.parts.end(),
                           [](const Part& part) { return part.output; });
    });
}

std::int64_t TransformChannel::WorkersInMemory() const {
    std::int64_t kernelBytes = 0, workerBytes = 0;
    for (const Level& level : levels_) {
        workerBytes += 8 * SpectrumBytes(level.block);
        for (const Part& part : level.parts) {
            kernelBytes += static_cast<std::int64_t>(part.partitions.size()) * SpectrumBytes(level.block);
            workerBytes += part.span * SpectrumBytes(level.block);
        }
    }
    return std::max<std::int64_t>(1, WorkersWithin(kernelBytes, workerBytes));
}

std::vector<std::int64_t> TransformChannel::LevelBlocks() const {
    std::vector<std::int64_t> blocks;
    for (const Level& level : levels_)
        blocks.push_back(level.block);
    return blocks;
}

// The state of one level in a run over a range of blocks: the spectra of the windows the partitions
// still need, the buffers of the transforms, and the sums of the last block computed.
class TransformChannel::LevelWorker {
public:
    explicit LevelWorker(const Level& level)
        : level_(level), points_(2 * level.block), window_(static_cast<std::size_t>(points_)),
          sums_(static_cast<std::size_t>(2 * points_)),
          accumulator_(2 * static_cast<std::size_t>(level.transform->Bins())),
          spectrum_(static_cast<std::size_t>(level.transform->Bins())) {
        const std::size_t bins = static_cast<std::size_t>(level.transform->Bins());
        for (const Part& part : level.parts) {
            Ring ring;
            ring.spectra = SampleBuffer(2 * bins * static_cast<std::size_t>(part.span));
            ring.norm1.assign(static_cast<std::size_t>(part.span), 0);
            ring.norm2.assign(static_cast<std::size_t>(part.span), 0);
            rings_.push_back(std::move(ring));
        }
    }

    // The windows of the level's blocks before `firstBlock` that its partitions read.
    void Prepare(const ChannelFrames& frames, std::int64_t firstBlock) {
        for (std::size_t p = 0; p < level_.parts.size(); ++p)
            for (std::int64_t i = firstBlock - level_.parts[p].span + 1; i < firstBlock; ++i)
                MakeWindow(frames, p, i);
    }

    // The sums of the level's block j (Sums(j)), their error bound (Bound(j)) and their largest magnitude
    // (Largest(j)); the windows of blocks before j must be made, and every output frame that the block's
    // windows read must be final. The results of the two blocks computed last are held, so that a helper
    // thread can compute block j + 1 while the frames of block j read its sums.
    void Transform(const ChannelFrames& frames, std::int64_t block) {
        for (std::size_t p = 0; p < level_.parts.size(); ++p)
            MakeWindow(frames, p, block);
        const std::size_t bins = static_cast<std::size_t>(level_.transform->Bins());
        double* sum = accumulator_.Window(0, 2 * bins);
        std::fill(sum, sum + 2 * bins, 0.0);
        weighted2_ = weighted1_ = 0;
        terms_ = 0;
        for (std::size_t p = 0; p < level_.parts.size(); ++p)
            for (const Part::Partition& partition : level_.parts[p].partitions)
                AddProducts(p, partition, block);
        Held& held = held_[HeldSlot(block)];
        held.block = block;
        double* sums = sums_.Window(HeldSlot(block) * static_cast<std::size_t>(points_),
                                    static_cast<std::size_t>(points_));
        if (terms_ == 0) {
            std::fill(sums, sums + points_, 0.0);
            held.bound = held.largest = 0;
            return;
        }
        JoinSpectrum(accumulator_.Window(0, 2 * bins), spectrum_.Window(0, bins), bins);
        level_.transform->Inverse(spectrum_.Window(0, bins), sums);
        const double a = kTransformLevelError * Log2(points_);
        const double b = Gamma(static_cast<double>(terms_) + 3, kUnit);
        held.bound = 1.5 * ((2 * a + b) * weighted2_ + a * weighted1_) * kNormInflation;
        held.largest = 0;
        for (const double value : Sums(block))
            held.largest = std::max(held.largest, std::fabs(value));
    }

    std::int64_t Block() const { return level_.block; }
    bool ComputedAhead() const { return level_.ahead; }

    // The overlap-save result of a held block: the second half of the inverse transform.
    std::span<const double> Sums(std::int64_t block) const {
        const std::size_t half = static_cast<std::size_t>(level_.block);
        return {sums_.Window(HeldOf(block) * 2 * half + half, half), half};
    }
    double Bound(std::int64_t block) const { return held_[HeldOf(block)].bound; }
    double Largest(std::int64_t block) const { return held_[HeldOf(block)].largest; }

private:
    struct Ring {
        SampleBuffer spectra; // split spectra (see SplitSpectrum), one slot of 2 bins values per window
        std::vector<double> norm1, norm2; // 0: the window is silent and its spectrum not made
    };
    // What is held of a computed block.
    struct Held {
        std::int64_t block = -1;
        double bound = 0;
        double largest = 0;
    };

    static std::size_t HeldSlot(std::int64_t block) { return static_cast<std::size_t>(block & 1); }

    // The slot of a block whose results are held; asking for any other block is a fault of the caller.
    std::size_t HeldOf(std::int64_t block) const {
        const std::size_t slot = HeldSlot(block);
        if (held_[slot].block != block)
            throw std::logic_error("TransformChannel: a level's block asked for is not held");
        return slot;
    }

    // The products of a partition's spectrum with the window it reads for `block`, into the accumulator.
    void AddProducts(std::size_t p, const Part::Partition& partition, std::int64_t block) {
        const Ring& ring = rings_[p];
        const std::size_t slot = Slot(p, block - partition.index);
        if (Element(ring.norm1, slot) == 0)
            return;
        const std::size_t bins = static_cast<std::size_t>(level_.transform->Bins());
        MultiplyAdd(ring.spectra.Window(slot * 2 * bins, 2 * bins), partition.spectrum.Window(0, 2 * bins),
                    accumulator_.Window(0, 2 * bins), bins);
        weighted2_ += Element(ring.norm2, slot) * partition.norm1;
        weighted1_ += Element(ring.norm1, slot) * partition.norm2;
        ++terms_;
    }

    // In 0 .. span - 1 for any window, before the first block too: a part holds a partition, so its span
    // is at least 1.
    std::size_t Slot(std::size_t part, std::int64_t window) const {
        const std::int64_t span = Element(level_.parts, part).span;
        return static_cast<std::size_t>(((window % span) + span) % span);
    }

    // Window i of a part: the 2L source frames that partition 0 reads for block i.
    void MakeWindow(const ChannelFrames& frames, std::size_t p, std::int64_t index) {
        const Part& part = level_.parts[p];
        Ring& ring = rings_[p];
        const std::size_t slot = Slot(p, index);
        const std::int64_t first = (index - 1) * level_.block - part.shift;
        const std::size_t points = static_cast<std::size_t>(points_);
        double* window = window_.Window(0, points);
        frames.Read(part.output, first, points_, window);
        double norm1 = 0, squares = 0;
        for (std::size_t i = 0; i < points; ++i) {
            const double x = window[i];
            norm1 += std::fabs(x);
            squares += x * x;
        }
        Element(ring.norm1, slot) = norm1 * kNormInflation;
        Element(ring.norm2, slot) = std::sqrt(squares) * kNormInflation;
        const std::size_t bins = static_cast<std::size_t>(level_.transform->Bins());
        if (norm1 != 0) {
            level_.transform->Forward(window, spectrum_.Window(0, bins));
            SplitSpectrum(spectrum_.Window(0, bins), ring.spectra.Window(slot * 2 * bins, 2 * bins), bins);
        }
    }

    // sum += x h over split spectra of `bins` bins each.
    static void MultiplyAdd(const double* x, const double* h, double* sum, std::size_t bins) {
        const double* xr = x;
        const double* xi = x + bins;
        const double* hr = h;
        const double* hi = h + bins;
        double* sr = sum;
        double* si = sum + bins;
        for (std::size_t i = 0; i < bins; ++i) {
            sr[i] += xr[i] * hr[i] - xi[i] * hi[i];
            si[i] += xr[i] * hi[i] + xi[i] * hr[i];
        }
    }

    const Level& level_;
    std::int64_t points_;
    SampleBuffer window_;
    SampleBuffer sums_;
    SampleBuffer accumulator_;             // the split sum of the products
    SpectrumBuffer spectrum_;              // a window's spectrum, then the inverse transform's input
    double weighted2_ = 0, weighted1_ = 0; // the products' terms of the bound
    std::int64_t terms_ = 0;
    std::vector<Ring> rings_;
    Held held_[2];
};

// The state of one run over a range of blocks: a worker per level, and the sums of the block's frames
// gathered from them. With helper threads, the long levels computed a block ahead (Level::ahead) are
// computed on the helpers: block m of such a level as soon as the run has reached the frames of its block
// m - 1, while the run settles those frames.
class TransformChannel::Worker {
public:
    explicit Worker(const TransformChannel& channel) : channel_(channel) {
        levels_.reserve(channel.levels_.size());
        for (const Level& level : channel.levels_)
            levels_.emplace_back(level);
        lanes_ = std::vector<Lane>(levels_.size());
        gathered_.assign(levels_.size(), -1);
        if (!SingleBaseLevel())
            sums_ = SampleBuffer(static_cast<std::size_t>(channel.block_));
    }
    ~Worker() { StopHelpers(); }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // The windows before block `firstBlock` that each level reads.
    void Prepare(const ChannelFrames& frames, std::int64_t firstBlock) {
        for (LevelWorker& level : levels_)
            level.Prepare(frames, LevelBlock(level, firstBlock));
    }

    // Starts up to `helpers` helper threads for a run of blocks [firstBlock, endBlock), after Prepare;
    // `frames` must outlive the worker. Starts none when no level is long and computed ahead.
    void StartHelpers(const ChannelFrames& frames, std::int64_t firstBlock, std::int64_t endBlock,
                      unsigned helpers) {
        std::size_t helped = 0;
        for (std::size_t k = 0; k < levels_.size(); ++k) {
            Lane& lane = lanes_[k];
            lane.helped = helpers > 0 && endBlock > firstBlock && levels_[k].ComputedAhead() &&
                          levels_[k].Block() >= kHelpedLevelBlock;
            lane.ready = lane.reached = LevelBlock(levels_[k], firstBlock) - 1;
            lane.last = endBlock > firstBlock ? LevelBlock(levels_[k], endBlock - 1) : lane.ready.load();
            if (lane.helped)
                lane.helper = helped++ % helpers;
        }
        const std::size_t count = std::min<std::size_t>(helpers, helped);
        try {
            for (std::size_t h = 0; h < count; ++h)
                helpers_.emplace_back([this, &frames, h] { Help(frames, h); });
        } catch (...) {
            StopHelpers();
            throw;
        }
    }

    // The sums of block j's frames (Sums()) over every tap but the short feedback ones, and their error
    // bound. Each level's block is computed (or, on a helper, waited for) when the first of its frames
    // is asked for: for feedback, every output frame before it must then be final.
    double Transform(const ChannelFrames& frames, std::int64_t block) {
        const std::int64_t count = channel_.block_;
        if (SingleBaseLevel()) {
            // The level's sums are the block's: nothing to gather.
            ReachLevelBlock(frames, 0, block);
            gatheredBlock_ = block;
            return levels_[0].Bound(block);
        }
        double* sums = sums_.Window(0, static_cast<std::size_t>(count));
        std::fill(sums, sums + count, 0.0);
        double bound = 0, magnitudes = 0;
        for (std::size_t k = 0; k < levels_.size(); ++k) {
            LevelWorker& level = levels_[k];
            const std::int64_t levelBlock = LevelBlock(level, block);
            if (gathered_[k] != levelBlock)
                ReachLevelBlock(frames, k, levelBlock);
            const std::int64_t offset = block * count - levelBlock * level.Block();
            const double* levelSums = Stretch(level.Sums(levelBlock), offset, count).data();
            for (std::int64_t i = 0; i < count; ++i)
                sums[i] += levelSums[i];
            bound += level.Bound(levelBlock);
            magnitudes += level.Largest(levelBlock);
        }
        // Each addition of a level's sums rounds by at most u of a partial sum, which is no larger than the
        // levels' magnitudes together.
        return bound + Gamma(static_cast<double>(levels_.size()), kUnit) * magnitudes * kNormInflation;
    }

    // The sums of the block last asked of Transform.
    std::span<const double> Sums() const {
        if (SingleBaseLevel())
            return levels_[0].Sums(gatheredBlock_);
        const std::size_t count = static_cast<std::size_t>(channel_.block_);
        return {sums_.Window(0, count), count};
    }

private:
    // A level's hand-over between the run and a helper: the level block the run has reached (every
    // output frame before it is final) and the last one the helper has computed. The helper computes
    // block m once the run has reached block m - 1: its windows then read only final frames, and the
    // sums it overwrites, those of block m - 2, are no longer read. The run reads block m's sums once
    // the helper has computed them.
    struct Lane {
        bool helped = false;
        std::size_t helper = 0;
        std::atomic<std::int64_t> reached = -1;
        std::atomic<std::int64_t> ready = -1;
        std::int64_t last = -1; // the last block of the run
    };

    // One level, of the base block (as for every channel without feedback): its sums need no copy, and
    // the worker keeps no buffer of its own.
    bool SingleBaseLevel() const { return levels_.size() == 1 && levels_[0].Block() == channel_.block_; }

    // The block of a level that holds block j's frames: level blocks are whole multiples of the base.
    std::int64_t LevelBlock(const LevelWorker& level, std::int64_t block) const {
        return block * channel_.block_ / level.Block();
    }

    // The run has reached level block `levelBlock` of level k: its sums are computed here, or, for a
    // helped level, handed over by the helper.
    void ReachLevelBlock(const ChannelFrames& frames, std::size_t k, std::int64_t levelBlock) {
        gathered_[k] = levelBlock;
        if (!lanes_[k].helped) {
            levels_[k].Transform(frames, levelBlock);
            return;
        }
        Lane& lane = lanes_[k];
        {
            std::lock_guard lock(mutex_);
            if (levelBlock != lane.reached + 1)
                throw std::logic_error("TransformChannel: a helped level's blocks run in order");
            lane.reached = levelBlock;
        }
        changed_.notify_all();
        const auto handedOver = [&] { return failed_ || lane.ready >= levelBlock; };
        if (!WatchFor(handedOver)) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, handedOver);
        }
        if (failed_) {
            std::exception_ptr error;
            {
                std::lock_guard lock(mutex_);
                error = helperError_;
            }
            std::rethrow_exception(error);
        }
    }

    // A hand-over comes every few dozen microseconds on short levels, about as long as waking a sleeping
    // thread takes: each side watches for it a while before it sleeps. The lanes' counters and the flags
    // change under the mutex (so that a sleeper is always woken) and are read here without it.
    template <typename Condition>
    static bool WatchFor(const Condition& condition) {
        const auto until = std::chrono::steady_clock::now() + kHandOverWatch;
        for (unsigned i = 1;; ++i) {
            if (condition())
                return true;
            PauseProcessor();
            if (i % 64 == 0 && std::chrono::steady_clock::now() >= until)
                return false;
        }
    }

    // Helper h's level whose next block may be computed and is needed soonest, if any.
    bool NextDue(std::size_t h, std::size_t& next) const {
        bool found = false;
        std::int64_t soonest = 0;
        for (std::size_t k = 0; k < lanes_.size(); ++k) {
            const Lane& lane = lanes_[k];
            if (!lane.helped || lane.helper != h || lane.ready >= lane.last || lane.ready > lane.reached)
                continue;
            const std::int64_t frame = (lane.ready + 1) * levels_[k].Block();
            if (!found || frame < soonest) {
                found = true;
                soonest = frame;
                next = k;
            }
        }
        return found;
    }

    void Help(const ChannelFrames& frames, std::size_t h) {
        try {
            for (;;) {
                std::size_t k = 0;
                std::int64_t block = 0;
                const auto due = [&] { return stopping_ || NextDue(h, k); };
                if (!WatchFor(due)) {
                    std::unique_lock lock(mutex_);
                    changed_.wait(lock, due);
                }
                if (stopping_)
                    return;
                block = lanes_[k].ready + 1;
                levels_[k].Transform(frames, block);
                {
                    std::lock_guard lock(mutex_);
                    lanes_[k].ready = block;
                }
                changed_.notify_all();
            }
        } catch (...) {
            {
                std::lock_guard lock(mutex_);
                helperError_ = std::current_exception();
                failed_ = true;
            }
            changed_.notify_all();
        }
    }

    void StopHelpers() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        for (std::thread& helper : helpers_)
            helper.join();
        helpers_.clear();
    }

    const TransformChannel& channel_;
    SampleBuffer sums_;
    std::vector<LevelWorker> levels_;
    std::vector<Lane> lanes_;
    std::vector<std::int64_t> gathered_; // per level, the block whose sums the run gathers
    std::int64_t gatheredBlock_ = -1;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<bool> stopping_ = false;
    std::atomic<bool> failed_ = false; // helperError_ is set
    std::exception_ptr helperError_;
    std::vector<std::thread> helpers_;
};

namespace {

// The feedback taps shorter than a block, summed directly in double precision from the last output
// frames.
class ShortFeedbackSum {
public:
    ShortFeedbackSum(const std::vector<TransformTap>& taps, std::int64_t block)
        : mask_(2 * block - 1), history_(taps.empty() ? 0 : static_cast<std::size_t>(2 * block), 0.0) {
        for (const TransformTap& tap : taps) {
            values_.push_back(static_cast<double>(tap.value));
            delays_.push_back(tap.delay);
        }
    }

    // Every frame before `frame` within a block of it is recorded; frames before 0 read 0. The history
    // holds mask + 1 frames whenever there are taps, so a frame of 0 or more masked is in it.
    double At(std::int64_t frame) const {
        double sum = 0;
        for (std::size_t t = 0; t < values_.size(); ++t) {
            const std::int64_t read = frame - delays_[t];
            if (read >= 0)
                sum += values_[t] * Element(history_, static_cast<std::size_t>(read & mask_));
        }
        return sum;
    }

    void Record(std::int64_t frame, std::int64_t sample) {
        if (!history_.empty())
            Element(history_, static_cast<std::size_t>(frame & mask_)) = static_cast<double>(sample);
    }

private:
    std::int64_t mask_;
    std::vector<double> history_;
    std::vector<double> values_;
    std::vector<std::int64_t> delays_;
};

// Frames [first, end) from their transformed sums (sums[0] is frame first's): each settled sample is
// stored, every other one computed exactly. Returns the samples settled.
std::int64_t SettleFrames(ChannelFrames& frames, std::span<const double> blockSums, std::int64_t first,
                          std::int64_t end, double bound, SampleRange range, ShortFeedbackSum& feedback) {
    // Once for the block: every frame's sum is there.
    const double* sums = Leading(blockSums, end - first).data();
    std::int64_t settled = 0;
    for (std::int64_t frame = first; frame < end; ++frame) {
        const double transformed = sums[frame - first];
        const double fed = feedback.At(frame);
        const double frameBound =
            (bound + 2 * kUnitWithExtended * (std::fabs(transformed) + std::fabs(fed))) * kNormInflation;
        std::int64_t sample = 0;
        if (SettledSample(transformed + fed, frameBound, range, sample)) {
            frames.Store(frame, sample);
            ++settled;
        } else {
            sample = frames.ComputeExactly(frame);
        }
        feedback.Record(frame, sample);
    }
    return settled;
}

} // namespace

bool TransformChannel::Run(ChannelFrames& frames, std::int64_t firstBlock, std::int64_t endBlock,
                           const std::function<bool(std::int64_t)>& afterBlock, unsigned helpers) const {
    if (firstBlock < 0 || endBlock > Blocks() || firstBlock > endBlock)
        throw RangeError("TransformChannel: block range out of bounds");
    if (HasFeedback() && firstBlock != 0 && firstBlock != endBlock)
        throw std::logic_error("TransformChannel: a channel with feedback runs from its first block");
    Worker worker(*this);
    worker.Prepare(frames, firstBlock);
    worker.StartHelpers(frames, firstBlock, endBlock, helpers);
    ShortFeedbackSum feedback(shortFeedback_, block_);
    for (std::int64_t block = firstBlock; block < endBlock; ++block) {
        const double bound = worker.Transform(frames, block) + sampleBound_;
        const std::int64_t first = block * block_;
        const std::int64_t end = std::min(shape_.frames, first + block_);
        const std::int64_t settled =
            SettleFrames(frames, worker.Sums(), first, end, bound, shape_.range, feedback);
        settled_.fetch_add(settled, std::memory_order_relaxed);
        exact_.fetch_add(end - first - settled, std::memory_order_relaxed);
        if (afterBlock && !afterBlock(end - first))
            return false;
    }
    return true;
}

TransformChannel::BlockResult TransformChannel::TransformBlock(const ChannelFrames& frames,
                                                               std::int64_t block) const {
    CheckIndex(block, Blocks());
    Worker worker(*this);
    worker.Prepare(frames, block);
    BlockResult result;
    result.bound = worker.Transform(frames, block) + coefficientBound_;
    const std::span<const double> sums =
        Leading(worker.Sums(), std::min(block_, shape_.frames - block * block_));
    result.sums.assign(sums.begin(), sums.end());
    return result;
}

} // namespace tarvola
