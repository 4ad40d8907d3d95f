#include "kernel/designers/FilterDesigner.h"

#include "base/ByteOrder.h"
#include "base/Extended80.h"
#include "base/Numerics.h"
#include "kernel/designers/DesignerExport.h"
#include "kernel/designers/DesignerSettings.h"
#include "kernel/designers/X87PrecisionGuard.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tarvola {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// File offsets of the settings record.
constexpr std::size_t kMixOffset = 0;
constexpr std::size_t kAmplitudeOffset = 12;
constexpr std::size_t kOrderOffset = 24;
constexpr std::size_t kFunctionOffset = 28;
constexpr std::size_t kPassBandOffset = 29;

constexpr int kFunctionCount = 5;
constexpr int kPassBandCount = 3;

// Round of a stored fraction times a scale, as a position; nothing when it has no integer value at all.
std::optional<long double> Scaled(long double value, long double scale) {
    const long double rounded = RoundHalfEven(value * scale);
    if (!std::isfinite(rounded))
        return std::nullopt;
    return rounded;
}

bool InRange(long double value, int low, int high) {
    return value >= low && value <= high;
}

// ---- The design steps. The centre tap is the one at T, i.e. index N div 2.

long double CosineWindow(TFirFunction function, int n, int order) {
    const long double x = 2.0L * kPi * n / order;
    switch (function) {
    case TFirFunction::Blackman:
        return 0.42L + 0.5L * std::cos(x) + 0.08L * std::cos(2.0L * x);
    case TFirFunction::Hamming:
        return 0.54L + 0.46L * std::cos(x);
    case TFirFunction::Hanning:
        return 0.5L + 0.5L * std::cos(x);
    default:
        throw RangeError("Invalid FIR function");
    }
}

void BuildWindow(TFirBlock& block, TFirFunction function, int order) {
    const int half = order / 2;
    block.values.assign(static_cast<std::size_t>(order), 0.0L);
    switch (function) {
    case TFirFunction::Triangular: {
        // A running value that climbs by 1/(3N) up to the centre tap and falls from there on.
        long double step = 1.0L / (3.0L * order);
        long double value = step;
        for (std::size_t i = 0; i < block.values.size(); ++i) {
            block.values[i] = value;
            if (i == block.centreIndex)
                step = -step;
            value += step;
        }
        return;
    }
    case TFirFunction::Rectangular:
        std::fill(block.values.begin(), block.values.end(), 1.0L / order);
        return;
    default:
        // The divisor is N, not N - 1: the end taps of these windows are not zero.
        for (int i = 0; i < order; ++i)
            block.values[static_cast<std::size_t>(i)] = CosineWindow(function, i - half, order);
        return;
    }
}

// Negates the outer taps; the centre becomes the sum of their old values, so the taps sum to zero.
void MakeHighPass(TFirBlock& block) {
    long double negatedSum = 0.0L;
    for (std::size_t i = 0; i < block.values.size(); ++i) {
        if (i == block.centreIndex)
            continue;
        block.values[i] = -block.values[i];
        negatedSum += block.values[i];
    }
    block.values[block.centreIndex] = -negatedSum;
}

// From the centre on (for an even order: from the tap before it), the taps are negated and the centre
// becomes 0.1; the taps before keep their window values.
void MakeBandPass(TFirBlock& block) {
    const std::size_t order = block.values.size();
    std::size_t start = order / 2 - 1;
    if (order % 2 == 1)
        ++start;
    for (std::size_t i = start; i < order; ++i)
        block.values[i] = i == block.centreIndex ? 0.1L : -block.values[i];
}

// The output mix: the outer taps shrink by f = 1 - (1 - Mix)/(N - 1), and what they lose goes to the
// centre, which also takes its own value once more. Band pass sums magnitudes.
void MixDry(TFirBlock& block, long double mix, TPassBand passBand) {
    if (mix == 1.0L)
        return;
    const std::size_t order = block.values.size();
    const long double factor = 1.0L - (1.0L - mix) / static_cast<long double>(order - 1);
    const bool magnitudes = passBand == TPassBand::BandPass;
    auto term = [magnitudes](long double v) { return magnitudes ? std::fabs(v) : v; };
    long double before = 0.0L;
    long double after = 0.0L;
    for (std::size_t i = 0; i < order; ++i) {
        if (i == block.centreIndex)
            continue;
        before += term(block.values[i]);
        block.values[i] *= factor;
        after += term(block.values[i]);
    }
    long double& centre = block.values[block.centreIndex];
    before += centre;
    centre = (before - after) + centre;
}

long double NormalisationSum(const TFirBlock& block, TPassBand passBand) {
    long double sum = 0.0L;
    switch (passBand) {
    case TPassBand::LowPass:
        for (long double v : block.values)
            sum += v;
        break;
    case TPassBand::HighPass:
        for (std::size_t i = 0; i < block.values.size(); ++i)
            if (i != block.centreIndex)
                sum += std::fabs(block.values[i]);
        break;
    case TPassBand::BandPass: {
        const std::size_t lastOfFirstHalf = (block.values.size() - 1) / 2;
        for (std::size_t i = 0; i <= lastOfFirstHalf; ++i)
            if (i != block.centreIndex)
                sum += std::fabs(block.values[i]);
        break;
    }
    }
    return sum;
}

// Scales the block so that its pass band's measure equals the amplitude.
void Normalise(TFirBlock& block, long double amplitude, TPassBand passBand) {
    const long double sum = NormalisationSum(block, passBand);
    if (sum == 0.0L)
        throw FloatError("Floating point division by zero");
    const long double factor = CheckFinite(amplitude / sum);
    for (long double& v : block.values) {
        v = CheckFinite(v * factor);
        if (v == 0.0L)
            v = 0.0L; // no -0: an amplitude of 0 % would otherwise show "-0" values
    }
}

} // namespace

// ---- Settings file

TFilterSettingsBytes EncodeFilterSettings(const TFilterSettings& settings) {
    TFilterSettingsBytes bytes{};
    const Extended80Bytes mix = EncodeExtendedLE(settings.Mix);
    const Extended80Bytes amplitude = EncodeExtendedLE(settings.Amplitude);
    std::memcpy(bytes.data() + kMixOffset, mix.data(), mix.size());
    std::memcpy(bytes.data() + kAmplitudeOffset, amplitude.data(), amplitude.size());
    PutLE<std::int32_t>(bytes.data() + kOrderOffset, settings.Order);
    bytes[kFunctionOffset] = static_cast<std::uint8_t>(settings.FIRFunction);
    bytes[kPassBandOffset] = static_cast<std::uint8_t>(settings.PassBand);
    return bytes;
}

std::optional<TFilterSettings> DecodeFilterSettings(const std::uint8_t* bytes) {
    X87PrecisionGuard precision; // the range checks round
    const std::optional<long double> mix = DecodeStoredExtended(bytes + kMixOffset);
    const std::optional<long double> amplitude = DecodeStoredExtended(bytes + kAmplitudeOffset);
    if (!mix || !amplitude)
        return std::nullopt;
    const std::optional<long double> mixPercent = Scaled(*mix, 100.0L);
    const std::optional<long double> amplitudePosition = Scaled(*amplitude, -100.0L);
    if (!mixPercent || !InRange(*mixPercent, 100 - kMixPositionMax, 100 - kMixPositionMin))
        return std::nullopt;
    if (!amplitudePosition || !InRange(*amplitudePosition, kAmplitudePositionMin, kAmplitudePositionMax))
        return std::nullopt;
    const std::uint8_t function = bytes[kFunctionOffset];
    const std::uint8_t passBand = bytes[kPassBandOffset];
    if (function >= kFunctionCount || passBand >= kPassBandCount)
        return std::nullopt;

    TFilterSettings settings;
    settings.Mix = *mix;
    settings.Amplitude = *amplitude;
    settings.Order = GetLE<std::int32_t>(bytes + kOrderOffset);
    settings.FIRFunction = static_cast<TFirFunction>(function);
    settings.PassBand = static_cast<TPassBand>(passBand);
    return settings;
}

// ---- Controls

long double MixFromPosition(int position) {
    return (100 - position) / 100.0L;
}

long double AmplitudeFromPosition(int position) {
    const int percent = -position;
    return percent == 0 ? 0.0L : percent / 100.0L;
}

int MixToPosition(long double mix) {
    X87PrecisionGuard precision;
    const std::int32_t percent = Round32(mix * 100.0L);
    return std::clamp(CheckedSub<std::int32_t>(100, percent), kMixPositionMin, kMixPositionMax);
}

int AmplitudeToPosition(long double amplitude) {
    X87PrecisionGuard precision;
    return std::clamp(Round32(amplitude * -100.0L), kAmplitudePositionMin, kAmplitudePositionMax);
}

FilterControlValues SettingsToControls(const TFilterSettings& settings) {
    FilterControlValues controls;
    controls.mixPosition = MixToPosition(settings.Mix);
    controls.amplitudePosition = AmplitudeToPosition(settings.Amplitude);
    controls.function = std::clamp(static_cast<int>(settings.FIRFunction), 0, kFunctionCount - 1);
    controls.passBand = std::clamp(static_cast<int>(settings.PassBand), 0, kPassBandCount - 1);
    controls.order = std::clamp(settings.Order, kMinFilterOrder, kMaxFilterOrder);
    return controls;
}

TFilterSettings ControlsToSettings(const FilterControlValues& controls) {
    CheckIndex(controls.function, kFunctionCount);
    CheckIndex(controls.passBand, kPassBandCount);
    TFilterSettings settings;
    settings.Mix = MixFromPosition(controls.mixPosition);
    settings.Amplitude = AmplitudeFromPosition(controls.amplitudePosition);
    settings.Order = controls.order;
    settings.FIRFunction = static_cast<TFirFunction>(controls.function);
    settings.PassBand = static_cast<TPassBand>(controls.passBand);
    return settings;
}

// ---- The design

std::int32_t TFirBlock::LastImpulse() const {
    return CheckedAdd(firstImpulse, CheckedCast<std::int32_t>(values.size()) - 1);
}

TFirBlock DesignFirBlock(const TFilterSettings& settings, std::int32_t targetImpulse) {
    const std::int32_t order = settings.Order;
    if (order < kMinFilterOrder || order > kMaxFilterOrder)
        throw RangeError("Filter order out of range (" + std::to_string(order) + ")");
    X87PrecisionGuard precision;
    const std::int32_t half = order / 2;

    TFirBlock block;
    block.firstImpulse = DesignerImpulse(targetImpulse, -half);
    DesignerImpulse(targetImpulse, order - 1 - half); // the last tap must fit as well
    block.centreIndex = static_cast<std::size_t>(half);

    BuildWindow(block, settings.FIRFunction, order);
    if (settings.PassBand == TPassBand::HighPass)
        MakeHighPass(block);
    else if (settings.PassBand == TPassBand::BandPass)
        MakeBandPass(block);
    MixDry(block, settings.Mix, settings.PassBand);
    Normalise(block, settings.Amplitude, settings.PassBand);
    return block;
}

std::vector<TImpulseRec> FirBlockRecords(const TFirBlock& block) {
    std::vector<TImpulseRec> records;
    records.reserve(block.values.size());
    std::int32_t impulse = block.firstImpulse;
    for (long double value : block.values) {
        TImpulseRec record = InputTemplate;
        record.Impulse = impulse;
        record.Value = value;
        records.push_back(record);
        impulse = CheckedAdd(impulse, 1);
    }
    return records;
}

void GenerateFilter(const TFilterSettings& settings, const TExportRules& rules, TobjHistData& leftKernel,
                    TobjHistData& rightKernel) {
    const TFirBlock block = DesignFirBlock(settings, rules.targetImpulse);
    ExportToKernels(FirBlockRecords(block), TImpulseSpan{block.firstImpulse, block.LastImpulse()}, rules,
                    leftKernel, rightKernel);
}

} // namespace tarvola
