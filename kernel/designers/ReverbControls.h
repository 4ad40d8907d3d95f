// What the reverb designer window's controls mean: the rule that turns each bar position into a stored
// value and each value back into a position (the controls hold their values on their grids), the labels,
// and the edits of one regenerator on the "Regenerators" page. The window only moves controls and calls
// these; everything here is plain computation on a ReverbState.
#pragma once

#include "kernel/designers/ReverbDesigner.h"

#include <cstdint>
#include <string>

namespace tarvola {

struct BarRange {
    int min;
    int max;
};

inline constexpr BarRange kERSizeBar{-50, 50};
inline constexpr BarRange kERStrengthBar{0, 100};
inline constexpr BarRange kGRSizeBar{-50, 50};
inline constexpr BarRange kGRTimeBar{0, 4000};
inline constexpr BarRange kSeparationBar{1000, 1200};
inline constexpr BarRange kFiltrationBar{0, 100};
inline constexpr BarRange kMixBar{0, 100};
inline constexpr BarRange kERLevelBar{-100, 100};
inline constexpr BarRange kGRLevelBar{-200, 200};
inline constexpr BarRange kRegenFilterBar{-100, 100};
inline constexpr BarRange kPanBar{-45, 45};
inline constexpr int kERNumberMax = 8;   // Spn_ERNmbr 1 .. 8
inline constexpr int kGRNumberMax = 300; // Spn_GRNmbr 1 .. 300: only the first 300 are shown

// A value as a bar position: rounded (halves to even) and clamped to the bar, as a bar clamps what it is
// given; values beyond the bar never overflow.
int BarPosition(long double value, BarRange bar);

// Fixed notation with the given decimals and a point, whatever the machine's locale ("0.50", "1.050"), as
// the designer writes every number it shows.
std::string FixedText(long double value, int decimals);

// ---- "Designer p1", "Designer p2" and the mix bars: positions of the settings (SettingsToControls)

struct SettingsPositions {
    int erType, erSize, erStrength;
    int grType, grSize, grTime;
    int filtration, erSeparation, grSeparation;
    bool overwrite;
};
SettingsPositions PositionsOfSettings(const TReverbSettings& settings);

// The bar handlers: each stores the value of a position.
void ERSizeChanged(ReverbState& state, int position);     // also recomputes the ER dimensions
void ERStrengthChanged(ReverbState& state, int position); //
void GRSizeChanged(ReverbState& state, int position);     // also recomputes the GR dimensions
void GRTimeChanged(ReverbState& state, int position);
void FiltrationChanged(ReverbState& state, int position);
void ERSeparationChanged(ReverbState& state, int position);
void GRSeparationChanged(ReverbState& state, int position);
// The type and size controls of a bank are enabled exactly while the bank has strength.
bool ERControlsEnabled(const TReverbSettings& settings);
bool GRControlsEnabled(const TReverbSettings& settings);
std::string FiltrationLabel(const TReverbSettings& settings); // 2 decimals
std::string SeparationLabel(long double separation);          // 3 decimals

// The mix bar of a channel (0 left, 1 right): the top is all wet. The position that shows a wet share, and
// the handler that stores a position's wet and dry shares and gives the per-cent label.
int MixPosition(long double wet);
std::string MixChanged(ReverbState& state, int c, int position);

// ---- "Regenerators": one regenerator of a bank at a time, the left one shown, the right one following

enum class RegenBank { EarlyReflections, GeneralReverberation };

struct RegenPositions {
    int level;
    int filter;
    int pan;
    std::string delayText;
    bool active;
};
// The positions that show the left regenerator at index (ShowERRegen / ShowGRRegen).
RegenPositions PositionsOfRegenerator(const ReverbState& state, RegenBank bank, int index);

// The handlers; each returns its value label where the control has one. The right regenerator of the same
// index takes the level, the filtration, the gains and the active state, and its delay by the separation.
std::string RegenLevelChanged(ReverbState& state, RegenBank bank, int index, int position);  // 3 decimals
std::string RegenFilterChanged(ReverbState& state, RegenBank bank, int index, int position); // 1 decimal
void RegenPanChanged(ReverbState& state, RegenBank bank, int index, int position);
void RegenActiveChanged(ReverbState& state, RegenBank bank, int index, bool active);
// A delay text: changes nothing and returns false unless it is a number that converts completely. The
// delay is stored first; a frame count that does not fit raises FloatError with DelaySmpls unchanged.
bool RegenDelayChanged(ReverbState& state, RegenBank bank, int index, const std::string& text);

// Gains of a pan angle in degrees: GainL = (cos a + sin a) * 0.707107, GainR = (cos a - sin a) * 0.707107.
void PanGains(int degrees, long double& gainL, long double& gainR);

// A regenerator number typed into a spin edit, clamped to 1 .. max, as an index.
int RegenIndexOfNumber(std::int64_t number, int max);

} // namespace tarvola
