// EchoDesigner: the arithmetic of the echo designer, free of any window, and the tap engine it shares with
// the resonance designer.
//
// An echo is written in one of two ways:
//   - recursive: one feedback tap (Output) per channel at the delay, so each pass of the signal through the
//     delay returns at the given strength;
//   - convolution: 1 to 500 Input taps per channel whose delays and strengths are graduated from an initial
//     to a final value.
// Either can be filtered: each tap is then replaced by a Blackman block of N taps centred on it, shaped as a
// low, high or band pass and normalised to the tap's strength.
//
// Placement: every tap lands at target + delay, and every filter block is centred there, so moving the
// target shifts the whole generation unchanged. Each channel's records are computed whole before anything
// is written; an overwrite clears only the span they occupy (lowest to highest generated impulse), so
// records outside it, the dry record at impulse 0 among them, survive.
//
// Everything is computed in 80-bit long double under an X87PrecisionGuard.
#pragma once

#include "kernel/KrnlDsgnTypes.h"
#include "kernel/designers/DesignerExport.h"
#include "kernel/designers/DesignerSettings.h"
#include "kernel/designers/FilterDesigner.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvola {

// ---- The tap engine shared by the echo and resonance designers

enum class TRecrsStrategy : std::uint8_t { Once = 0, Recursive = 1 };

// How the tap filter's steps differ between the designers.
enum class TTapNormalise : std::uint8_t {
    // Low pass: the block's sum; high pass: the magnitudes of the outer taps; band pass: the magnitudes of
    // the first half's outer taps.
    Echo,
    // Low pass: the block's sum; high pass: the outer taps' magnitudes over 0.92; band pass: the magnitudes
    // of the whole block over 1.55.
    Resonance,
};

struct TTapFilter {
    std::int32_t order = 11; // N, 5..1023
    TPassBand timbre = TPassBand::LowPass;
    long double mix = 1.0L;            // the outer taps are scaled by it, the centre takes the rest
    long double bandPassCentre = 0.1L; // value of the centre tap of a band pass before normalising
    TTapNormalise normalise = TTapNormalise::Echo;
};

// A stored timbre byte (0 Low Pass, 1 High Pass, 2 Band Pass); RangeError for another value.
TPassBand TimbreFromByte(std::uint8_t timbre);

// One tap: its delay in sample frames (from the target) and its strength.
struct TTap {
    std::int32_t delayFrames = 0;
    long double strength = 0.0L;
};

struct TTapSet {
    std::vector<TTap> taps;
    // Feedback taps (recursive echo or resonance): an unfiltered tap is an Output record; in a filtered
    // block the records below impulse 1 are Input, the others Output (strategy Recursive) or only the
    // centre Output (strategy Once). Otherwise every record is Input.
    bool feedback = false;
    TRecrsStrategy strategy = TRecrsStrategy::Recursive;
    std::optional<TTapFilter> filter;
};

// A filtered tap's block: N values, the centre (the tap itself) at index N div 2. Raises RangeError for an
// order outside 5..1023 and FloatError when the normalising sum is zero or the values are not finite (for
// example a mix level of 0 % with a high or band pass, which leaves nothing to normalise).
std::vector<long double> FilteredTapBlock(const TTapFilter& filter, long double strength);

// The records of one channel's taps at the target, in the order they are merged: tap by tap, each filtered
// block in ascending impulse order. Raises RangeError (before anything is written) when an impulse would
// leave the kernel's range.
std::vector<TImpulseRec> TapRecords(const TTapSet& set, std::int32_t targetImpulse);

// What a designer generated: the records of the left (index 0) and right (index 1) channel.
struct TDesignRecords {
    std::array<std::vector<TImpulseRec>, 2> channels;
};

// What a write left out: per channel, the records that found no room in a full kernel.
struct TDesignWriteResult {
    std::array<std::int32_t, 2> dropped{0, 0};
    std::int32_t TotalDropped() const { return dropped[0] + dropped[1]; }
};

// What Generate gives a tap designer: the settings as it read them from the controls, and what a full
// kernel left out.
template <class Settings>
struct TTapGenerateResult {
    Settings settings;
    TDesignWriteResult written;
};

// Writes each chosen channel's records into its kernel by the export rules: overwrite clears that channel's
// span (lowest to highest generated impulse) first. Both kernels' notification is off during the write and
// back as it was afterwards, without firing.
TDesignWriteResult WriteDesignRecords(const TDesignRecords& design, const TExportRules& rules,
                                      TobjHistData& leftKernel, TobjHistData& rightKernel);

// The warning shown when a full kernel left generated records out.
std::string KernelFullText(std::int32_t dropped);

// The sample rate a designer keeps at set-up: the requested one when 1 <= rate < 100,000,000, else the
// previous one.
std::int32_t AcceptedSampleRate(std::int32_t requested, std::int32_t previous);

constexpr std::int32_t kDefaultDesignerSampleRate = 44100;

// A number field's text that looks like a whole number (an optional sign, then digits) but does not fit 32
// bits: the field would read it as its minimum, so Generate refuses it with the text returned. Nothing for
// any other text (a text that is no number at all reads as the field's minimum).
std::optional<std::string> RefusedNumberText(std::string_view fieldCaption, std::string_view text);

// Warnings of the echo and resonance settings files, verbatim ('\r' breaks the line in the message box).
constexpr const char* kEchoSettingsMissingText =
    "No file containing the settings from the last Filter "
    "Wizard\rsession can be found. Defaults will be used instead.";
constexpr const char* kEchoSettingsReadErrorText =
    "An error has occurred while reading the settings from the\r"
    "last Filter Wizard session. Defaults will be used instead.";
constexpr const char* kEchoSettingsSaveErrorText =
    "An error has occurred while saving the settings from this "
    "filter Wizard\rsession. Either defaults or prior settings "
    "will be used next time.";

// ---- The echo settings

struct TEchoSettings {
    std::uint8_t Mode = 0; // 0 recursive echo, 1 convolution echo
    long double RecrsMixLvl = 1.0L;
    std::int32_t RecrsFltrOrder = 11;  // 1 when filtering is off
    std::uint8_t RecrsTimbre = 0;      // TPassBand
    std::uint8_t RecrsStrategy = 1;    // TRecrsStrategy
    std::int32_t RecrsDelay = 300;     // left delay, ms
    std::int32_t RecrsDelaySmpls = 0;  // the fields marked "derived" are recomputed at every Generate
    std::int32_t RecrsDelayR = 0;      // derived
    std::int32_t RecrsDelayRSmpls = 0; // derived
    long double RecrsValue = 0.6L;
    long double RecrsStereo = 1.05L; // 1.0 .. 1.2
    std::uint8_t RecrsFilter = 0;
    long double ConvMixLvl = 1.0L;
    std::int32_t ConvFltrOrder = 15; // 1 when filtering is off
    std::uint8_t ConvTimbre = 0;
    std::int32_t ConvNmbrTaps = 5;
    std::int32_t ConvInitDelay = 350;
    std::int32_t ConvInitDelaySmpls = 0;  // derived
    std::int32_t ConvInitDelayR = 0;      // derived
    std::int32_t ConvInitDelayRSmpls = 0; // derived
    std::int32_t ConvFinalDelay = 250;
    std::int32_t ConvFinalDelaySmpls = 0;  // derived
    std::int32_t ConvFinalDelayR = 0;      // derived
    std::int32_t ConvFinalDelayRSmpls = 0; // derived
    long double ConvInitValue = 0.75L;
    long double ConvFinalValue = 0.3L;
    long double ConvStereo = 1.05L; // 1.0 .. 1.2
    std::uint8_t ConvFilter = 0;

    bool operator==(const TEchoSettings&) const = default;
};

constexpr const char* kEchoSettingsFileName = "EchoPersist.dat";
constexpr std::size_t kEchoSettingsSize = 136;
using TEchoSettingsBytes = std::array<std::uint8_t, kEchoSettingsSize>;

// The packed little-endian image (no gaps: fields at odd offsets, Mode @0 .. ConvFilter @135).
TEchoSettingsBytes EncodeEchoSettings(const TEchoSettings& settings);
// The record in the first 136 bytes, or nothing when it cannot be shown: an 80-bit field that is not a
// finite number in a valid encoding or whose control position does not fit, a mode, timbre or strategy
// byte out of range, a flag other than 0 or 1. Values outside a control's range are accepted: the control
// clamps them when they are shown.
std::optional<TEchoSettings> DecodeEchoSettings(const std::uint8_t* bytes);

// Reads "EchoPersist.dat" from ProgramFolder\User\; on failure warns and gives the defaults.
TEchoSettings LoadEchoSettings(const std::string& programFolder, const WarningSink& warn);
// Writes it whole (or not at all, with the save warning).
bool SaveEchoSettings(const std::string& programFolder, const TEchoSettings& settings,
                      const WarningSink& warn);

// ---- The echo dialog's controls

constexpr std::int32_t kMaxEchoTaps = 500;

// What the dialog's controls hold. Mix levels show as 100 - position percent; the recursive stereo factor
// is 1 + (200 - position) / 1000, the convolution one 1 + position / 1000.
struct EchoControlValues {
    bool useRecursive = true;
    bool useConvolution = false;
    int recrsMixPosition = 0; // 0..100
    int recrsOrder = 11;      // 5..1023
    int recrsTimbre = 0;      // 0..2
    int recrsStrategy = 1;    // 0..1
    bool recrsFilter = false;
    std::int32_t recrsDelay = 100; // ms, no limits
    std::int32_t recrsValue = 60;  // %, no limits
    int recrsStereoPosition = 150; // 0..200
    int convMixPosition = 0;       // 0..100
    int convOrder = 11;            // 5..1023
    int convTimbre = 0;            // 0..2
    bool convFilter = false;
    std::int32_t convTaps = 6; // 1..500
    std::int32_t convInitDelay = 100;
    std::int32_t convFinalDelay = 100;
    std::int32_t convInitValue = 60;
    std::int32_t convFinalValue = 60;
    int convStereoPosition = 100; // 0..200

    bool operator==(const EchoControlValues&) const = default;
};

constexpr int kStereoPositionMax = 200;

// The controls as the settings leave them, each clamped to its control's limits.
EchoControlValues SettingsToControls(const TEchoSettings& settings);
// The settings the controls give at Generate, derived fields included, for the sample rate R (every product
// of milliseconds and R is formed in 32-bit arithmetic). The mode stays `previous.Mode` when neither kind
// is ticked. Raises OverflowError or FloatError for a delay that leaves the 32-bit range; the caller keeps
// its settings unchanged then.
TEchoSettings ControlsToSettings(const EchoControlValues& controls, const TEchoSettings& previous,
                                 std::int32_t sampleRate);

// A convolution echo's taps: delays in ms and frames per channel, and the strengths both share.
struct TEchoTap {
    std::int32_t ms = 0;
    std::int32_t frames = 0;
};
struct TEchoConvTaps {
    std::array<std::vector<TEchoTap>, 2> channels;
    std::vector<long double> strengths;
};

// The convolution taps of settings whose derived fields are current. Delays are measured from the previous
// repeat: the gaps are I, I + s, I + 2s, ... with s = Round((F - I) / n); the strength steps by
// (final - initial) / n. Raises RangeError for a tap count outside 1..500, OverflowError or FloatError for
// delays that leave the 32-bit range.
TEchoConvTaps ComputeEchoConvTaps(const TEchoSettings& settings, std::int32_t sampleRate);

// The records the settings (derived fields current) generate at the target, per channel.
TDesignRecords DesignEcho(const TEchoSettings& settings, std::int32_t sampleRate, std::int32_t targetImpulse);

using EchoGenerateResult = TTapGenerateResult<TEchoSettings>;

// Generate: reads the settings from the controls, designs both channels and writes the chosen ones by the
// rules. Every error is raised before a kernel is touched; the kernels' notification is as it was after
// any outcome.
EchoGenerateResult GenerateEcho(const EchoControlValues& controls, const TEchoSettings& previous,
                                std::int32_t sampleRate, const TExportRules& rules, TobjHistData& leftKernel,
                                TobjHistData& rightKernel);

} // namespace tarvola
