#include "kernel/designers/EchoDesigner.h"

#include "base/NumberText.h"
#include "base/Numerics.h"
#include "base/PackedRecord.h"
#include "kernel/designers/TapDesignerSettings.h"
#include "kernel/designers/X87PrecisionGuard.h"

#include <algorithm>
#include <cmath>

namespace tarvola {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// ---- The tap filter. The block is computed on its own, so its centre is simply index N div 2: blocks that
// overlap in the kernel, or a target far from 0, can never make one block's steps touch another's records.

// Blackman window with divisor N (the end taps are not zero).
std::vector<long double> BlackmanBlock(std::int32_t order) {
    const std::int32_t half = order / 2;
    std::vector<long double> values(static_cast<std::size_t>(order));
    for (std::int32_t i = 0; i < order; ++i) {
        const long double x = 2.0L * kPi * (i - half) / order;
        values[static_cast<std::size_t>(i)] = 0.42L + 0.5L * std::cos(x) + 0.08L * std::cos(2.0L * x);
    }
    return values;
}

// The outer taps are negated; the centre becomes minus their negated sum, so the block sums to zero.
void TapHighPass(std::vector<long double>& block, std::size_t centre) {
    long double negatedSum = 0.0L;
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (i == centre)
            continue;
        block[i] = -block[i];
        negatedSum += block[i];
    }
    block[centre] = -negatedSum;
}

// From the centre on (for an even order from the tap before it) the taps are negated and the centre takes
// the designer's band-pass value; the taps before keep their window values.
void TapBandPass(std::vector<long double>& block, std::size_t centre, long double centreValue) {
    const std::size_t order = block.size();
    std::size_t start = order / 2 - 1;
    if (order % 2 == 1)
        ++start;
    for (std::size_t i = start; i < order; ++i)
        block[i] = i == centre ? centreValue : -block[i];
}

// The outer taps shrink by the mix level, and what they lose goes to the centre, which also takes its own
// value once more. A band pass sums magnitudes.
void TapMix(std::vector<long double>& block, std::size_t centre, long double mix, TPassBand timbre) {
    if (mix == 1.0L)
        return;
    const bool magnitudes = timbre == TPassBand::BandPass;
    auto term = [magnitudes](long double v) { return magnitudes ? std::fabs(v) : v; };
    long double before = 0.0L;
    long double after = 0.0L;
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (i == centre)
            continue;
        before += term(block[i]);
        block[i] *= mix;
        after += term(block[i]);
    }
    before += block[centre];
    block[centre] = (before - after) + block[centre];
}

long double NormalisingSum(const std::vector<long double>& block, std::size_t centre,
                           const TTapFilter& filter) {
    long double sum = 0.0L;
    switch (filter.timbre) {
    case TPassBand::LowPass:
        for (long double v : block)
            sum += v;
        return sum;
    case TPassBand::HighPass:
        for (std::size_t i = 0; i < block.size(); ++i)
            if (i != centre)
                sum += filter.normalise == TTapNormalise::Echo ? std::fabs(block[i]) : -block[i];
        // The resonance measures the outer taps by their negation, which keeps the block's sign: its
        // centre stays positive for a positive strength, as the echo's does.
        return filter.normalise == TTapNormalise::Echo ? sum : sum / 0.92L;
    case TPassBand::BandPass:
        if (filter.normalise == TTapNormalise::Resonance) {
            for (long double v : block)
                sum += std::fabs(v);
            return sum / 1.55L;
        }
        for (std::size_t i = 0; i <= (block.size() - 1) / 2; ++i)
            if (i != centre)
                sum += std::fabs(block[i]);
        return sum;
    }
    throw RangeError("Unknown timbre");
}

constexpr const char* kNothingToNormaliseText =
    "The tap filter leaves nothing to normalise: with this timbre a mix level of 0 % silences\r"
    "the filtered taps. Choose a higher mix level.";

void TapNormalise(std::vector<long double>& block, std::size_t centre, const TTapFilter& filter,
                  long double strength) {
    const long double sum = NormalisingSum(block, centre, filter);
    if (sum == 0.0L || !std::isfinite(sum))
        throw FloatError(kNothingToNormaliseText);
    for (long double& v : block) {
        v = CheckFinite(v * strength / sum);
        if (v == 0.0L)
            v = 0.0L; // no -0
    }
}

TSourceKind FilteredKind(const TTapSet& set, std::int32_t impulse, bool isCentre) {
    if (!set.feedback || impulse < 1)
        return TSourceKind::Input;
    if (set.strategy == TRecrsStrategy::Recursive || isCentre)
        return TSourceKind::Output;
    return TSourceKind::Input;
}

TImpulseRec Record(std::int32_t impulse, long double value, TSourceKind kind) {
    TImpulseRec rec = InputTemplate;
    rec.Impulse = impulse;
    rec.Value = value;
    rec.Kind = kind;
    return rec;
}

void CheckFilterOrder(std::int32_t order) {
    if (order < kMinFilterOrder || order > kMaxFilterOrder)
        throw RangeError("Filter order out of range (" + std::to_string(order) + ")");
}

// ---- Controls to settings

// Round(ms * R / 1000), the product formed in 32-bit arithmetic.
std::int32_t MsToFrames(std::int32_t ms, std::int32_t sampleRate) {
    return Round32(CheckedMul(ms, sampleRate) / 1000.0L);
}

TTapSet EchoTapSet(const TEchoSettings& s) {
    CheckIndex(s.RecrsStrategy, 2);
    return TapSetOf(s, static_cast<TRecrsStrategy>(s.RecrsStrategy), 0.1L, TTapNormalise::Echo);
}

constexpr TapControlLimits kEchoControlLimits{kStereoPositionMax, 1, kMaxEchoTaps};

} // namespace

// ---- The tap engine

TPassBand TimbreFromByte(std::uint8_t timbre) {
    CheckIndex(timbre, 3);
    return static_cast<TPassBand>(timbre);
}

std::vector<long double> FilteredTapBlock(const TTapFilter& filter, long double strength) {
    CheckFilterOrder(filter.order);
    std::vector<long double> block = BlackmanBlock(filter.order);
    const auto centre = static_cast<std::size_t>(filter.order / 2);
    if (filter.timbre == TPassBand::HighPass)
        TapHighPass(block, centre);
    else if (filter.timbre == TPassBand::BandPass)
        TapBandPass(block, centre, filter.bandPassCentre);
    TapMix(block, centre, filter.mix, filter.timbre);
    TapNormalise(block, centre, filter, strength);
    return block;
}

std::vector<TImpulseRec> TapRecords(const TTapSet& set, std::int32_t targetImpulse) {
    X87PrecisionGuard precision;
    std::vector<TImpulseRec> records;
    for (const TTap& tap : set.taps) {
        if (!set.filter) {
            records.push_back(Record(DesignerImpulse(targetImpulse, tap.delayFrames), tap.strength,
                                     set.feedback ? TSourceKind::Output : TSourceKind::Input));
            continue;
        }
        const std::vector<long double> block = FilteredTapBlock(*set.filter, tap.strength);
        const std::int64_t half = set.filter->order / 2;
        for (std::size_t i = 0; i < block.size(); ++i) {
            const std::int64_t offset =
                static_cast<std::int64_t>(tap.delayFrames) - half + static_cast<std::int64_t>(i);
            const std::int32_t impulse = DesignerImpulse(targetImpulse, offset);
            const bool isCentre = static_cast<std::int64_t>(i) == half;
            records.push_back(Record(impulse, block[i], FilteredKind(set, impulse, isCentre)));
        }
    }
    return records;
}

TDesignWriteResult WriteDesignRecords(const TDesignRecords& design, const TExportRules& rules,
                                      TobjHistData& leftKernel, TobjHistData& rightKernel) {
    KernelNotifySuspension quiet(leftKernel, rightKernel);
    TDesignWriteResult result;
    const bool chosen[2] = {rules.left, rules.right};
    TobjHistData* kernels[2] = {&leftKernel, &rightKernel};
    for (int c = 0; c < 2; ++c) {
        const std::vector<TImpulseRec>& records = design.channels[static_cast<std::size_t>(c)];
        if (!chosen[c] || records.empty())
            continue;
        const auto [low, high] = std::minmax_element(
            records.begin(), records.end(),
            [](const TImpulseRec& a, const TImpulseRec& b) { return a.Impulse < b.Impulse; });
        TExportRules one = rules;
        one.left = c == 0;
        one.right = c == 1;
        ExportToKernels(records, TImpulseSpan{low->Impulse, high->Impulse}, one, leftKernel, rightKernel);
        // A record finds no room only in a full kernel, and the kernel stays full from then on, so a
        // generated impulse that is missing afterwards was dropped.
        TobjHistData& kernel = *kernels[c];
        for (const TImpulseRec& rec : records)
            if (kernel.Find(rec.Impulse, 0, TFindMode::Exact) < 0)
                ++result.dropped[static_cast<std::size_t>(c)];
    }
    return result;
}

std::string KernelFullText(std::int32_t dropped) {
    return "The kernel is full (" + std::to_string(kMaxKernelRecords) +
           " records): " + std::to_string(dropped) + " generated impulses could not be written.";
}

std::optional<std::string> RefusedNumberText(std::string_view fieldCaption, std::string_view text) {
    if (!IsDecimalInteger(text) || Int32FromText(text))
        return std::nullopt;
    return "The number " + std::string(text) + " in \"" + std::string(fieldCaption) +
           "\" is too large for the field.\rNothing was written: correct it and generate again.";
}

std::int32_t AcceptedSampleRate(std::int32_t requested, std::int32_t previous) {
    return requested >= 1 && requested < 100000000 ? requested : previous;
}

// ---- The echo settings file

TEchoSettingsBytes EncodeEchoSettings(const TEchoSettings& s) {
    TEchoSettingsBytes bytes{};
    PackedWriter w(bytes.data());
    w.Byte(s.Mode);
    w.Extended(s.RecrsMixLvl);
    w.Int32(s.RecrsFltrOrder);
    w.Byte(s.RecrsTimbre);
    w.Byte(s.RecrsStrategy);
    w.Int32(s.RecrsDelay);
    w.Int32(s.RecrsDelaySmpls);
    w.Int32(s.RecrsDelayR);
    w.Int32(s.RecrsDelayRSmpls);
    w.Extended(s.RecrsValue);
    w.Extended(s.RecrsStereo);
    w.Byte(s.RecrsFilter);
    w.Extended(s.ConvMixLvl);
    w.Int32(s.ConvFltrOrder);
    w.Byte(s.ConvTimbre);
    w.Int32(s.ConvNmbrTaps);
    w.Int32(s.ConvInitDelay);
    w.Int32(s.ConvInitDelaySmpls);
    w.Int32(s.ConvInitDelayR);
    w.Int32(s.ConvInitDelayRSmpls);
    w.Int32(s.ConvFinalDelay);
    w.Int32(s.ConvFinalDelaySmpls);
    w.Int32(s.ConvFinalDelayR);
    w.Int32(s.ConvFinalDelayRSmpls);
    w.Extended(s.ConvInitValue);
    w.Extended(s.ConvFinalValue);
    w.Extended(s.ConvStereo);
    w.Byte(s.ConvFilter);
    if (w.Offset() != kEchoSettingsSize)
        throw RangeError("Echo settings layout");
    return bytes;
}

std::optional<TEchoSettings> DecodeEchoSettings(const std::uint8_t* bytes) {
    PackedReader r(bytes);
    TEchoSettings s;
    s.Mode = r.Byte();
    s.RecrsMixLvl = r.Extended();
    s.RecrsFltrOrder = r.Int32();
    s.RecrsTimbre = r.Byte();
    s.RecrsStrategy = r.Byte();
    s.RecrsDelay = r.Int32();
    s.RecrsDelaySmpls = r.Int32();
    s.RecrsDelayR = r.Int32();
    s.RecrsDelayRSmpls = r.Int32();
    s.RecrsValue = r.Extended();
    s.RecrsStereo = r.Extended();
    s.RecrsFilter = r.Byte();
    s.ConvMixLvl = r.Extended();
    s.ConvFltrOrder = r.Int32();
    s.ConvTimbre = r.Byte();
    s.ConvNmbrTaps = r.Int32();
    s.ConvInitDelay = r.Int32();
    s.ConvInitDelaySmpls = r.Int32();
    s.ConvInitDelayR = r.Int32();
    s.ConvInitDelayRSmpls = r.Int32();
    s.ConvFinalDelay = r.Int32();
    s.ConvFinalDelaySmpls = r.Int32();
    s.ConvFinalDelayR = r.Int32();
    s.ConvFinalDelayRSmpls = r.Int32();
    s.ConvInitValue = r.Extended();
    s.ConvFinalValue = r.Extended();
    s.ConvStereo = r.Extended();
    s.ConvFilter = r.Byte();
    if (!r.Ok() || r.Offset() != kEchoSettingsSize)
        return std::nullopt;
    if (!IsFlagByte(s.Mode) || s.RecrsTimbre > 2 || !IsFlagByte(s.RecrsStrategy) ||
        !IsFlagByte(s.RecrsFilter) || s.ConvTimbre > 2 || !IsFlagByte(s.ConvFilter))
        return std::nullopt;
    const bool shown = FitsControlPosition(s.RecrsMixLvl, 100) && FitsControlPosition(s.RecrsValue, 100) &&
                       FitsControlPosition(s.RecrsStereo - 1, 1000) &&
                       FitsControlPosition(s.ConvMixLvl, 100) && FitsControlPosition(s.ConvInitValue, 100) &&
                       FitsControlPosition(s.ConvFinalValue, 100) &&
                       FitsControlPosition(s.ConvStereo - 1, 1000);
    if (!shown)
        return std::nullopt;
    return s;
}

TEchoSettings LoadEchoSettings(const std::string& programFolder, const WarningSink& warn) {
    return LoadTapSettings<TEchoSettings>(programFolder, kEchoSettingsFileName, kEchoSettingsSize,
                                          DecodeEchoSettings, warn);
}

bool SaveEchoSettings(const std::string& programFolder, const TEchoSettings& settings,
                      const WarningSink& warn) {
    return SaveTapSettings(programFolder, kEchoSettingsFileName, EncodeEchoSettings(settings), warn);
}

// ---- Controls

EchoControlValues SettingsToControls(const TEchoSettings& s) {
    EchoControlValues c;
    CommonSettingsToControls(s, kEchoControlLimits, c);
    c.recrsStrategy = std::clamp<int>(s.RecrsStrategy, 0, 1);
    c.recrsDelay = s.RecrsDelay;
    c.recrsValue = Round32(s.RecrsValue * 100.0L);
    c.convInitDelay = s.ConvInitDelay;
    c.convInitValue = Round32(s.ConvInitValue * 100.0L);
    c.convFinalDelay = s.ConvFinalDelay;
    c.convFinalValue = Round32(s.ConvFinalValue * 100.0L);
    return c;
}

TEchoSettings ControlsToSettings(const EchoControlValues& c, const TEchoSettings& previous,
                                 std::int32_t sampleRate) {
    X87PrecisionGuard precision;
    CheckIndex(c.recrsStrategy, 2);
    const std::int32_t R = sampleRate;
    TEchoSettings s = previous;
    CommonControlsToSettings(c, kEchoControlLimits, s);

    s.RecrsStrategy = static_cast<std::uint8_t>(c.recrsStrategy);
    s.RecrsDelay = c.recrsDelay;
    s.RecrsDelaySmpls = MsToFrames(s.RecrsDelay, R);
    s.RecrsDelayR = Round32(s.RecrsDelay * s.RecrsStereo);
    s.RecrsDelayRSmpls = MsToFrames(s.RecrsDelayR, R);
    s.RecrsValue = c.recrsValue / 100.0L;

    s.ConvInitDelay = c.convInitDelay;
    s.ConvInitDelaySmpls = MsToFrames(s.ConvInitDelay, R);
    s.ConvFinalDelay = c.convFinalDelay;
    s.ConvFinalDelaySmpls = MsToFrames(s.ConvFinalDelay, R);
    // The right channel starts 0 to 20 ms later and keeps the left channel's span.
    s.ConvInitDelayR = Round32((s.ConvStereo - 1.0L) * 100.0L + s.ConvInitDelay);
    s.ConvFinalDelayR = CheckedAdd(CheckedSub(s.ConvInitDelayR, s.ConvInitDelay), s.ConvFinalDelay);
    s.ConvInitDelayRSmpls = MsToFrames(s.ConvInitDelayR, R);
    s.ConvFinalDelayRSmpls = MsToFrames(s.ConvFinalDelayR, R);
    return s;
}

// ---- The design

TEchoConvTaps ComputeEchoConvTaps(const TEchoSettings& s, std::int32_t sampleRate) {
    const std::int32_t n = s.ConvNmbrTaps;
    if (n < 1 || n > kMaxEchoTaps)
        throw RangeError("Number of taps out of range (" + std::to_string(n) + ")");
    X87PrecisionGuard precision;
    const long double framesPerMs = sampleRate / 1000.0L;
    TEchoConvTaps result;
    result.strengths = GraduatedStrengths(s.ConvInitValue, s.ConvFinalValue, n);

    const TEchoTap first[2] = {{s.ConvInitDelay, s.ConvInitDelaySmpls},
                               {s.ConvInitDelayR, s.ConvInitDelayRSmpls}};
    const std::int32_t finalMs[2] = {s.ConvFinalDelay, s.ConvFinalDelayR};
    for (int c = 0; c < 2; ++c) {
        const std::int32_t initial = first[c].ms;
        const std::int32_t step = Round32(CheckedSub(finalMs[c], initial) / static_cast<long double>(n));
        std::vector<TEchoTap>& taps = result.channels[static_cast<std::size_t>(c)];
        taps.push_back(first[c]);
        for (std::int32_t t = 1; t < n; ++t) {
            // Each delay is measured from the previous repeat.
            const std::int32_t ms = CheckedAdd(CheckedAdd(taps.back().ms, initial), CheckedMul(step, t));
            taps.push_back({ms, Round32(ms * framesPerMs)});
        }
    }
    return result;
}

TDesignRecords DesignEcho(const TEchoSettings& s, std::int32_t sampleRate, std::int32_t targetImpulse) {
    const TTapSet set = EchoTapSet(s);
    if (s.Mode == 0)
        return DesignRecursiveTaps(set, {s.RecrsDelaySmpls, s.RecrsDelayRSmpls}, s.RecrsValue, targetImpulse);
    return DesignConvolutionTaps(set, ComputeEchoConvTaps(s, sampleRate), targetImpulse);
}

EchoGenerateResult GenerateEcho(const EchoControlValues& controls, const TEchoSettings& previous,
                                std::int32_t sampleRate, const TExportRules& rules, TobjHistData& leftKernel,
                                TobjHistData& rightKernel) {
    return GenerateTapDesign(controls, previous, sampleRate, rules, leftKernel, rightKernel, DesignEcho);
}

} // namespace tarvola
