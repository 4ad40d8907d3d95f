#include "kernel/designers/ResonanceDesigner.h"

#include "base/Numerics.h"
#include "base/PackedRecord.h"
#include "kernel/designers/TapDesignerSettings.h"
#include "kernel/designers/X87PrecisionGuard.h"

#include <algorithm>
#include <cstdlib>

namespace tarvola {

namespace {

constexpr int kStrengthBarLimit = 999;
constexpr int kStrengthBarLow = 100;
constexpr int kDetunePositionMax = 100;

constexpr TapControlLimits kResonanceControlLimits{kDetunePositionMax, kMinResonanceTaps, kMaxResonanceTaps};

// The period of a frequency in ms, computed in 80-bit and kept as the double the settings store.
double PeriodMs(std::int32_t frequency) {
    if (frequency == 0)
        throw FloatError("Floating point division by zero: a frequency of 0 Hz has no period.");
    return static_cast<double>(1000.0L / frequency);
}

std::int32_t PeriodFrames(std::int32_t sampleRate, double periodMs) {
    return Round32(sampleRate * static_cast<long double>(periodMs) / 1000.0L);
}

template <typename Field>
Field FrequencyField(long double frequency) {
    return CheckedCast<Field>(Round32(frequency));
}

// Every block record from impulse 1 on feeds back: the resonance has no strategy.
TTapSet ResonanceTapSet(const TResonanceSettings& s) {
    return TapSetOf(s, TRecrsStrategy::Recursive, 0.5L, TTapNormalise::Resonance);
}

} // namespace

// ---- The settings file

TResonanceSettingsBytes EncodeResonanceSettings(const TResonanceSettings& s) {
    TResonanceSettingsBytes bytes{};
    PackedWriter w(bytes.data());
    w.Byte(s.Mode);
    w.Extended(s.RecrsMixLvl);
    w.Int32(s.RecrsFltrOrder);
    w.Byte(s.RecrsTimbre);
    w.Word(s.RecrsFreq);
    w.Word(s.RecrsFreqR);
    w.Double(s.RecrsPeriod);
    w.Int32(s.RecrsPeriodSmpls);
    w.Double(s.RecrsPeriodR);
    w.Int32(s.RecrsPeriodRSmpls);
    w.Extended(s.RecrsValue);
    w.Extended(s.RecrsStereo);
    w.Byte(s.RecrsFilter);
    w.Extended(s.ConvMixLvl);
    w.Int32(s.ConvFltrOrder);
    w.Byte(s.ConvTimbre);
    w.Int32(s.ConvNmbrTaps);
    w.SmallInt(s.ConvInitFreq);
    w.SmallInt(s.ConvInitFreqR);
    w.SmallInt(s.ConvFinalFreq);
    w.SmallInt(s.ConvFinalFreqR);
    w.Double(s.ConvInitPeriod);
    w.Int32(s.ConvInitPeriodSmpls);
    w.Double(s.ConvInitPeriodR);
    w.Int32(s.ConvInitPeriodRSmpls);
    w.Double(s.ConvFinalPeriod);
    w.Int32(s.ConvFinalPeriodSmpls);
    w.Double(s.ConvFinalPeriodR);
    w.Int32(s.ConvFinalPeriodRSmpls);
    w.Extended(s.ConvInitValue);
    w.Extended(s.ConvFinalValue);
    w.Extended(s.ConvStereo);
    w.Byte(s.ConvFilter);
    if (w.Offset() != kResonanceSettingsSize)
        throw RangeError("Resonance settings layout");
    return bytes;
}

std::optional<TResonanceSettings> DecodeResonanceSettings(const std::uint8_t* bytes) {
    PackedReader r(bytes);
    TResonanceSettings s;
    s.Mode = r.Byte();
    s.RecrsMixLvl = r.Extended();
    s.RecrsFltrOrder = r.Int32();
    s.RecrsTimbre = r.Byte();
    s.RecrsFreq = r.Word();
    s.RecrsFreqR = r.Word();
    s.RecrsPeriod = r.Double();
    s.RecrsPeriodSmpls = r.Int32();
    s.RecrsPeriodR = r.Double();
    s.RecrsPeriodRSmpls = r.Int32();
    s.RecrsValue = r.Extended();
    s.RecrsStereo = r.Extended();
    s.RecrsFilter = r.Byte();
    s.ConvMixLvl = r.Extended();
    s.ConvFltrOrder = r.Int32();
    s.ConvTimbre = r.Byte();
    s.ConvNmbrTaps = r.Int32();
    s.ConvInitFreq = r.SmallInt();
    s.ConvInitFreqR = r.SmallInt();
    s.ConvFinalFreq = r.SmallInt();
    s.ConvFinalFreqR = r.SmallInt();
    s.ConvInitPeriod = r.Double();
    s.ConvInitPeriodSmpls = r.Int32();
    s.ConvInitPeriodR = r.Double();
    s.ConvInitPeriodRSmpls = r.Int32();
    s.ConvFinalPeriod = r.Double();
    s.ConvFinalPeriodSmpls = r.Int32();
    s.ConvFinalPeriodR = r.Double();
    s.ConvFinalPeriodRSmpls = r.Int32();
    s.ConvInitValue = r.Extended();
    s.ConvFinalValue = r.Extended();
    s.ConvStereo = r.Extended();
    s.ConvFilter = r.Byte();
    if (!r.Ok() || r.Offset() != kResonanceSettingsSize)
        return std::nullopt;
    if (!IsFlagByte(s.Mode) || s.RecrsTimbre > 2 || !IsFlagByte(s.RecrsFilter) || s.ConvTimbre > 2 ||
        !IsFlagByte(s.ConvFilter))
        return std::nullopt;
    const bool shown = FitsControlPosition(s.RecrsMixLvl, 100) && FitsControlPosition(s.RecrsValue, 1000) &&
                       FitsControlPosition(s.RecrsStereo - 1, 1000) &&
                       FitsControlPosition(s.ConvMixLvl, 100) && FitsControlPosition(s.ConvInitValue, 100) &&
                       FitsControlPosition(s.ConvFinalValue, 100) &&
                       FitsControlPosition(s.ConvStereo - 1, 1000);
    if (!shown)
        return std::nullopt;
    return s;
}

TResonanceSettings LoadResonanceSettings(const std::string& programFolder, const WarningSink& warn) {
    return LoadTapSettings<TResonanceSettings>(programFolder, kResonanceSettingsFileName,
                                               kResonanceSettingsSize, DecodeResonanceSettings, warn);
}

bool SaveResonanceSettings(const std::string& programFolder, const TResonanceSettings& settings,
                           const WarningSink& warn) {
    return SaveTapSettings(programFolder, kResonanceSettingsFileName, EncodeResonanceSettings(settings),
                           warn);
}

// ---- Controls

StrengthBar MirroredStrengthBar(const StrengthBar& bar) {
    const int oldMin = bar.min;
    const int oldMax = bar.max;
    const int oldPosition = bar.position;
    StrengthBar mirrored{-kStrengthBarLimit, kStrengthBarLimit, oldPosition};
    mirrored.min = -oldMax;
    mirrored.position = std::max(mirrored.position, mirrored.min);
    mirrored.max = -oldMin;
    mirrored.position = std::min(mirrored.position, mirrored.max);
    mirrored.position = std::clamp(-oldPosition, mirrored.min, mirrored.max);
    return mirrored;
}

std::string StrengthLabel(int position) {
    const int magnitude = std::abs(position);
    std::string label = position < 0 ? "-" : "";
    label += std::to_string(magnitude / 10);
    label += '.';
    label += std::to_string(magnitude % 10);
    return label;
}

ResonanceControlValues SettingsToControls(const TResonanceSettings& s) {
    ResonanceControlValues c;
    CommonSettingsToControls(s, kResonanceControlLimits, c);
    c.recrsFreq = std::clamp<std::int32_t>(s.RecrsFreq, kMinRecrsFreq, kMaxRecrsFreq);
    // A negative strength ticks "Negative Strength" and shows on the mirrored bar.
    c.negativeStrength = s.RecrsValue < 0;
    if (c.negativeStrength)
        c.recrsValue = StrengthBar{-kStrengthBarLimit, -kStrengthBarLow, -kStrengthBarLow};
    c.recrsValue.position = std::clamp(Round32(s.RecrsValue * 1000.0L), c.recrsValue.min, c.recrsValue.max);
    c.convInitFreq = std::clamp<std::int32_t>(s.ConvInitFreq, -kConvFreqLimit, kConvFreqLimit);
    c.convInitValue = std::clamp(Round32(s.ConvInitValue * 100.0L), -kConvValueLimit, kConvValueLimit);
    c.convFinalFreq = std::clamp<std::int32_t>(s.ConvFinalFreq, -kConvFreqLimit, kConvFreqLimit);
    c.convFinalValue = std::clamp(Round32(s.ConvFinalValue * 100.0L), -kConvValueLimit, kConvValueLimit);
    return c;
}

TResonanceSettings ControlsToSettings(const ResonanceControlValues& c, const TResonanceSettings& previous,
                                      std::int32_t sampleRate) {
    X87PrecisionGuard precision;
    const std::int32_t R = sampleRate;
    TResonanceSettings s = previous;
    CommonControlsToSettings(c, kResonanceControlLimits, s);

    s.RecrsFreq = CheckedCast<std::uint16_t>(c.recrsFreq);
    s.RecrsPeriod = PeriodMs(s.RecrsFreq);
    s.RecrsPeriodSmpls = PeriodFrames(R, s.RecrsPeriod);
    s.RecrsFreqR = FrequencyField<std::uint16_t>(s.RecrsFreq * s.RecrsStereo);
    s.RecrsPeriodR = PeriodMs(s.RecrsFreqR);
    s.RecrsPeriodRSmpls = PeriodFrames(R, s.RecrsPeriodR);
    s.RecrsValue = c.recrsValue.position / 1000.0L;

    s.ConvInitFreq = CheckedCast<std::int16_t>(c.convInitFreq);
    s.ConvFinalFreq = CheckedCast<std::int16_t>(c.convFinalFreq);
    s.ConvInitPeriod = PeriodMs(s.ConvInitFreq);
    s.ConvInitPeriodSmpls = PeriodFrames(R, s.ConvInitPeriod);
    s.ConvFinalPeriod = PeriodMs(s.ConvFinalFreq);
    s.ConvFinalPeriodSmpls = PeriodFrames(R, s.ConvFinalPeriod);
    // The right channel is 0 to 10 Hz higher.
    const long double detuneHz = (s.ConvStereo - 1.0L) * 100.0L;
    s.ConvInitFreqR = FrequencyField<std::int16_t>(detuneHz + s.ConvInitFreq);
    s.ConvFinalFreqR = FrequencyField<std::int16_t>(detuneHz + s.ConvFinalFreq);
    s.ConvInitPeriodR = PeriodMs(s.ConvInitFreqR);
    s.ConvInitPeriodRSmpls = PeriodFrames(R, s.ConvInitPeriodR);
    s.ConvFinalPeriodR = PeriodMs(s.ConvFinalFreqR);
    s.ConvFinalPeriodRSmpls = PeriodFrames(R, s.ConvFinalPeriodR);
    return s;
}

// ---- The design

TResonanceConvTaps ComputeResonanceConvTaps(const TResonanceSettings& s, std::int32_t sampleRate) {
    const std::int32_t n = s.ConvNmbrTaps;
    if (n < kMinResonanceTaps || n > kMaxResonanceTaps)
        throw RangeError("A convolution resonance has " + std::to_string(kMinResonanceTaps) + " to " +
                         std::to_string(kMaxResonanceTaps) + " taps (" + std::to_string(n) + " asked for).");
    X87PrecisionGuard precision;
    const long double framesPerMs = sampleRate / 1000.0L;
    TResonanceConvTaps result;
    result.strengths = GraduatedStrengths(s.ConvInitValue, s.ConvFinalValue, n);

    const TResonanceTap first[2] = {{s.ConvInitPeriod, s.ConvInitPeriodSmpls},
                                    {s.ConvInitPeriodR, s.ConvInitPeriodRSmpls}};
    const double finalPeriod[2] = {s.ConvFinalPeriod, s.ConvFinalPeriodR};
    for (std::size_t c = 0; c < 2; ++c) {
        const long double initial = first[c].periodMs;
        const long double step = (finalPeriod[c] - initial) / (n - 1);
        long double gapExtra = step; // the gap to repeat t is the initial period + t * step
        std::vector<TResonanceTap>& taps = result.channels[c];
        taps.push_back(first[c]);
        for (std::int32_t t = 1; t < n; ++t) {
            const auto period = static_cast<double>(taps.back().periodMs + initial + gapExtra);
            taps.push_back({period, Round32(framesPerMs * period)});
            gapExtra += step;
        }
    }
    return result;
}

TDesignRecords DesignResonance(const TResonanceSettings& s, std::int32_t sampleRate,
                               std::int32_t targetImpulse) {
    const TTapSet set = ResonanceTapSet(s);
    if (s.Mode == 0)
        return DesignRecursiveTaps(set, {s.RecrsPeriodSmpls, s.RecrsPeriodRSmpls}, s.RecrsValue,
                                   targetImpulse);
    return DesignConvolutionTaps(set, ComputeResonanceConvTaps(s, sampleRate), targetImpulse);
}

ResonanceGenerateResult GenerateResonance(const ResonanceControlValues& controls,
                                          const TResonanceSettings& previous, std::int32_t sampleRate,
                                          const TExportRules& rules, TobjHistData& leftKernel,
                                          TobjHistData& rightKernel) {
    return GenerateTapDesign(controls, previous, sampleRate, rules, leftKernel, rightKernel, DesignResonance);
}

} // namespace tarvola
