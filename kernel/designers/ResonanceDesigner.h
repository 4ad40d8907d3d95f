// ResonanceDesigner: the arithmetic of the resonance designer, free of any window. A resonance is a comb of
// taps spaced by the period of a frequency, so that the signal rings at that pitch; it is the echo designer
// with delays given as frequencies, and it writes through the same tap engine (EchoDesigner.h):
//   - recursive: one feedback tap (Output) per channel at the period, strength 0.1..0.999 or negated;
//   - convolution: 3 to 100 Input taps per channel, the gap moving from the initial to the final period.
// Periods are computed in 80-bit and kept as doubles, as the settings file stores them.
#pragma once

#include "kernel/designers/EchoDesigner.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvola {

struct TResonanceSettings {
    std::uint8_t Mode = 0; // 0 recursive, 1 convolution
    long double RecrsMixLvl = 1.0L;
    std::int32_t RecrsFltrOrder = 11;   // 1 when filtering is off
    std::uint8_t RecrsTimbre = 0;       // TPassBand
    std::uint16_t RecrsFreq = 200;      // left frequency, Hz
    std::uint16_t RecrsFreqR = 0;       // the fields marked "derived" are recomputed at every Generate
    double RecrsPeriod = 0;             // derived, ms
    std::int32_t RecrsPeriodSmpls = 0;  // derived
    double RecrsPeriodR = 0;            // derived
    std::int32_t RecrsPeriodRSmpls = 0; // derived
    long double RecrsValue = 0.6L;      // -0.999 .. -0.1 or 0.1 .. 0.999
    long double RecrsStereo = 1.05L;    // detune, 1.0 .. 1.1
    std::uint8_t RecrsFilter = 0;
    long double ConvMixLvl = 1.0L;
    std::int32_t ConvFltrOrder = 15; // 1 when filtering is off
    std::uint8_t ConvTimbre = 0;
    std::int32_t ConvNmbrTaps = 10;
    std::int16_t ConvInitFreq = 100;
    std::int16_t ConvInitFreqR = 0; // derived
    std::int16_t ConvFinalFreq = 110;
    std::int16_t ConvFinalFreqR = 0;        // derived
    double ConvInitPeriod = 0;              // derived
    std::int32_t ConvInitPeriodSmpls = 0;   // derived
    double ConvInitPeriodR = 0;             // derived
    std::int32_t ConvInitPeriodRSmpls = 0;  // derived
    double ConvFinalPeriod = 0;             // derived
    std::int32_t ConvFinalPeriodSmpls = 0;  // derived
    double ConvFinalPeriodR = 0;            // derived
    std::int32_t ConvFinalPeriodRSmpls = 0; // derived
    long double ConvInitValue = 0.9L;
    long double ConvFinalValue = 0.9L;
    long double ConvStereo = 1.05L; // detune, 1.0 .. 1.1
    std::uint8_t ConvFilter = 0;

    bool operator==(const TResonanceSettings&) const = default;
};

constexpr const char* kResonanceSettingsFileName = "ResncePersist.dat";
constexpr std::size_t kResonanceSettingsSize = 171;
using TResonanceSettingsBytes = std::array<std::uint8_t, kResonanceSettingsSize>;

// The packed little-endian image (Mode @0 .. ConvFilter @170, no gaps).
TResonanceSettingsBytes EncodeResonanceSettings(const TResonanceSettings& settings);
// The record in the first 171 bytes, or nothing when it cannot be shown: an 80-bit field that is not a
// finite number in a valid encoding or whose control position does not fit, a period that is not a finite
// double, a mode or timbre byte out of range, a flag other than 0 or 1.
std::optional<TResonanceSettings> DecodeResonanceSettings(const std::uint8_t* bytes);

// "ResncePersist.dat" in ProgramFolder\User\, with the echo designer's warnings.
TResonanceSettings LoadResonanceSettings(const std::string& programFolder, const WarningSink& warn);
bool SaveResonanceSettings(const std::string& programFolder, const TResonanceSettings& settings,
                           const WarningSink& warn);

// ---- Controls

constexpr std::int32_t kMinResonanceTaps = 3;
constexpr std::int32_t kMaxResonanceTaps = 100; // the form offers no more than the design can hold
constexpr std::int32_t kMinRecrsFreq = 20;
constexpr std::int32_t kMaxRecrsFreq = 10000;
constexpr std::int32_t kConvFreqLimit = 10000; // -10000 .. 10000
constexpr std::int32_t kConvValueLimit = 99;   // -99 .. 99 %

// The strength track bar: 100..999 (per mille), or -999..-100 while "Negative Strength" is ticked.
struct StrengthBar {
    int min = 100;
    int max = 999;
    int position = 700;
    bool operator==(const StrengthBar&) const = default;
};

// A click on "Negative Strength": the bar is widened to -999..999, then its minimum becomes -max and its
// maximum -min, and its position -position, each step clamping the position as the control does.
StrengthBar MirroredStrengthBar(const StrengthBar& bar);

// The strength label: position / 10 with one decimal ("70.0", "-70.0").
std::string StrengthLabel(int position);

struct ResonanceControlValues {
    bool useRecursive = true;
    bool useConvolution = false;
    std::int32_t recrsFreq = 100; // 20..10000
    StrengthBar recrsValue;       // position / 1000 is the strength
    bool negativeStrength = false;
    int recrsStereoPosition = 100; // 0..100, detune 1 + (100 - position) / 1000
    int recrsMixPosition = 0;      // 0..100
    int recrsOrder = 11;           // 5..1023
    int recrsTimbre = 0;
    bool recrsFilter = false;
    std::int32_t convInitFreq = 200; // -10000..10000
    std::int32_t convFinalFreq = 400;
    std::int32_t convInitValue = 95; // -99..99 %
    std::int32_t convFinalValue = 10;
    std::int32_t convTaps = 20; // 3..100
    int convStereoPosition = 0; // 0..100, detune 1 + position / 1000
    int convOrder = 11;
    int convMixPosition = 0;
    int convTimbre = 0;
    bool convFilter = false;

    bool operator==(const ResonanceControlValues&) const = default;
};

// The controls as the settings leave them, each clamped to its control's limits. A negative strength ticks
// "Negative Strength" and shows on the mirrored bar, so it survives the next Generate.
ResonanceControlValues SettingsToControls(const TResonanceSettings& settings);
// The settings the controls give at Generate, derived fields included. A frequency of 0 (or one the detune
// brings to 0) raises FloatError; a frequency that does not fit its field raises OverflowError.
TResonanceSettings ControlsToSettings(const ResonanceControlValues& controls,
                                      const TResonanceSettings& previous, std::int32_t sampleRate);

struct TResonanceTap {
    double periodMs = 0;
    std::int32_t frames = 0;
};
struct TResonanceConvTaps {
    std::array<std::vector<TResonanceTap>, 2> channels;
    std::vector<long double> strengths;
};

// The convolution taps: the gap between repeat t-1 and t is the initial period + t * step, step =
// (final period - initial period) / (n - 1); the strength steps by (final - initial) / n. Raises RangeError
// for a tap count outside 3..100.
TResonanceConvTaps ComputeResonanceConvTaps(const TResonanceSettings& settings, std::int32_t sampleRate);

TDesignRecords DesignResonance(const TResonanceSettings& settings, std::int32_t sampleRate,
                               std::int32_t targetImpulse);

using ResonanceGenerateResult = TTapGenerateResult<TResonanceSettings>;

// Generate, as GenerateEcho.
ResonanceGenerateResult GenerateResonance(const ResonanceControlValues& controls,
                                          const TResonanceSettings& previous, std::int32_t sampleRate,
                                          const TExportRules& rules, TobjHistData& leftKernel,
                                          TobjHistData& rightKernel);

} // namespace tarvola
