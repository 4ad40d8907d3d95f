// FilterDesigner: the arithmetic of the FIR filter designer, free of any window.
//
// The designer generates a block of N Input taps centred on a target impulse T: a windowed moving average
// (there is no cutoff; the sample rate plays no part), shaped by the window function, the order N, the
// response type (low, high or band pass), the output mix and the amplitude. Tap i (0 <= i < N) lies at
// impulse T + i - N div 2. Everything is computed in 80-bit long double.
//
// Also here: the settings record TFilterSettings with its 32-byte file image ("FilterPersist.dat"), and
// the conversions between the settings and the positions the dialog's controls hold.
#pragma once

#include "kernel/KrnlDsgnTypes.h"
#include "kernel/designers/DesignerExport.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tarvola {

enum class TFirFunction : std::uint8_t {
    Blackman = 0,
    Hamming = 1,
    Hanning = 2,
    Triangular = 3,
    Rectangular = 4
};
enum class TPassBand : std::uint8_t { LowPass = 0, HighPass = 1, BandPass = 2 };

// Limits of the order spin edits.
constexpr std::int32_t kMinFilterOrder = 5;
constexpr std::int32_t kMaxFilterOrder = 1023;

struct TFilterSettings {
    long double Mix = 1.0L;       // output mix as a fraction, 1.0 = 100 %
    long double Amplitude = 1.0L; // target tap sum, 1.0 = 100 %
    std::int32_t Order = 21;      // number of taps
    TFirFunction FIRFunction = TFirFunction::Blackman;
    TPassBand PassBand = TPassBand::LowPass;

    bool operator==(const TFilterSettings&) const = default;
};

// ---- The settings file

constexpr const char* kFilterSettingsFileName = "FilterPersist.dat";
constexpr std::size_t kFilterSettingsSize = 32;
using TFilterSettingsBytes = std::array<std::uint8_t, kFilterSettingsSize>;

// Warnings of the settings file, verbatim ('\r' breaks the line in the message box).
constexpr const char* kFilterSettingsMissingText =
    "No file containing the settings from the last Filter "
    "Wizzard\rsession can be found. Defaults will be used instead.";
constexpr const char* kFilterSettingsReadErrorText =
    "An error has occurred while reading the settings from the\r"
    "last Filter Wizzard session. Defaults will be used instead.";
constexpr const char* kFilterSettingsSaveErrorText = "An error has occurred while saving the settings from "
                                                     "this filter Wizzard\rsession. Either defaults or prior "
                                                     "settings will be used next time.";

// Little-endian image: Mix @0 (10 bytes), Amplitude @12 (10), Order @24 (i32), FIRFunction @28,
// PassBand @29; the gaps are zero.
TFilterSettingsBytes EncodeFilterSettings(const TFilterSettings& settings);

// The record in the first 32 bytes, or nothing when it cannot be shown: Mix or Amplitude not a finite
// number in a valid 80-bit encoding, or outside what its control can hold (mix 0..100 %, amplitude
// -200..200 % after Round), or an enumeration byte out of range. An order outside 5..1023 is accepted: the
// order controls clamp it when the settings are shown.
std::optional<TFilterSettings> DecodeFilterSettings(const std::uint8_t* bytes);

// ---- Controls

// What the controls of the "All Parameters" page hold; the guided pages' twins follow them.
struct FilterControlValues {
    int mixPosition = 0;          // mix track bar, 0..100; percent = 100 - position
    int amplitudePosition = -100; // amplitude track bar, -200..200; percent = -position
    int function = 0;             // FIR function radio group, 0..4
    int passBand = 0;             // response type radio group, 0..2
    int order = 21;               // order spin edit, 5..1023

    bool operator==(const FilterControlValues&) const = default;
};

constexpr int kMixPositionMin = 0;
constexpr int kMixPositionMax = 100;
constexpr int kAmplitudePositionMin = -200;
constexpr int kAmplitudePositionMax = 200;

// Grid rules of the two track bars: a position gives its stored fraction, and a fraction goes back to a
// position with Round (halves to even), clamped to the bar like the control clamps what it is given.
long double MixFromPosition(int position);
long double AmplitudeFromPosition(int position); // 0 (not -0) at position 0
int MixToPosition(long double mix);
int AmplitudeToPosition(long double amplitude);

// The controls as the settings leave them (each value clamped to its control's limits), and back.
FilterControlValues SettingsToControls(const TFilterSettings& settings);
TFilterSettings ControlsToSettings(const FilterControlValues& controls);

// ---- The design

struct TFirBlock {
    std::int32_t firstImpulse = 0;   // T - N div 2
    std::vector<long double> values; // tap i lies at firstImpulse + i
    std::size_t centreIndex = 0;     // N div 2: the tap at T

    std::int32_t LastImpulse() const;
};

// Designs the block for the settings at target impulse T. Raises RangeError for an order outside 5..1023
// or a block reaching beyond the kernel's impulse range (see DesignerExport), FloatError when the
// normalisation has no finite result. Runs under an X87PrecisionGuard.
TFirBlock DesignFirBlock(const TFilterSettings& settings, std::int32_t targetImpulse);

// The block as kernel records, ascending: copies of InputTemplate with each tap's impulse and value.
std::vector<TImpulseRec> FirBlockRecords(const TFirBlock& block);

// Generate: designs the block at rules.targetImpulse and writes it into the kernels by the export rules,
// the span being the block's own impulses. Nothing is written when the design fails.
void GenerateFilter(const TFilterSettings& settings, const TExportRules& rules, TobjHistData& leftKernel,
                    TobjHistData& rightKernel);

} // namespace tarvola
