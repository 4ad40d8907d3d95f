#include "kernel/designers/ReverbControls.h"

#include "base/Numerics.h"
#include "audio/TextOperations.h"
#include "kernel/FloatText.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvola {

namespace {

int ClampToBar(std::int64_t position, BarRange bar) {
    return static_cast<int>(std::clamp<std::int64_t>(position, bar.min, bar.max));
}

TRegeneratorRec& LeftRegen(ReverbState& state, RegenBank bank, int index) {
    if (bank == RegenBank::EarlyReflections) {
        CheckIndex(index, kERRegenCount);
        return state.Banks.ER[0][index];
    }
    CheckIndex(index, kGRRegenCount);
    return state.Banks.GR[0][index];
}

TRegeneratorRec& RightRegen(ReverbState& state, RegenBank bank, int index) {
    LeftRegen(state, bank, index); // checks the index
    return bank == RegenBank::EarlyReflections ? state.Banks.ER[1][index] : state.Banks.GR[1][index];
}

long double LevelScale(RegenBank bank) {
    return bank == RegenBank::EarlyReflections ? 100 : 1000;
}

} // namespace

int BarPosition(long double value, BarRange bar) {
    if (std::isnan(value))
        return bar.min;
    // Clamping before rounding keeps any value, however large, convertible.
    const long double clamped = std::clamp<long double>(value, bar.min - 1.0L, bar.max + 1.0L);
    return ClampToBar(Round64(clamped), bar);
}

std::string FixedText(long double value, int decimals) {
    return FloatToStrF(value, TFloatFormat::ffFixed, 18, decimals);
}

SettingsPositions PositionsOfSettings(const TReverbSettings& s) {
    SettingsPositions p;
    p.erType = s.ERType;
    p.erSize = BarPosition(-RoundHalfEven(s.ERSize * 100), kERSizeBar);
    p.erStrength = BarPosition((1 - s.ERStrength) * 100, kERStrengthBar);
    p.grType = s.GRType;
    p.grSize = BarPosition(-RoundHalfEven(s.GRSize * 100), kGRSizeBar);
    p.grTime = BarPosition(std::trunc(kGRTimeBar.max - s.GRTime), kGRTimeBar);
    p.filtration =
        BarPosition(kFiltrationBar.max - RoundHalfEven(kFiltrationBar.max * s.Filtration), kFiltrationBar);
    p.erSeparation = BarPosition(s.ERSeparation * 1000, kSeparationBar);
    p.grSeparation = BarPosition(s.GRSeparation * 1000, kSeparationBar);
    p.overwrite = s.WriteMode == kWriteOverwrite;
    return p;
}

void ERSizeChanged(ReverbState& state, int position) {
    state.Settings.ERSize = -position / 100.0L;
    ComputeERDimensions(state);
}

void ERStrengthChanged(ReverbState& state, int position) {
    state.Settings.ERStrength =
        (kERStrengthBar.max - position) / static_cast<long double>(kERStrengthBar.max);
}

void GRSizeChanged(ReverbState& state, int position) {
    state.Settings.GRSize = -position / 100.0L;
    ComputeGRDimensions(state);
}

void GRTimeChanged(ReverbState& state, int position) {
    state.Settings.GRTime = kGRTimeBar.max - position;
}

void FiltrationChanged(ReverbState& state, int position) {
    state.Settings.Filtration =
        (kFiltrationBar.max - position) / static_cast<long double>(kFiltrationBar.max);
}

void ERSeparationChanged(ReverbState& state, int position) {
    state.Settings.ERSeparation = position / 1000.0L;
}

void GRSeparationChanged(ReverbState& state, int position) {
    state.Settings.GRSeparation = position / 1000.0L;
}

bool ERControlsEnabled(const TReverbSettings& settings) {
    return settings.ERStrength != 0;
}

bool GRControlsEnabled(const TReverbSettings& settings) {
    return settings.GRTime != 0;
}

std::string FiltrationLabel(const TReverbSettings& settings) {
    return FixedText(settings.Filtration, 2);
}

std::string SeparationLabel(long double separation) {
    return FixedText(separation, 3);
}

int MixPosition(long double wet) {
    return BarPosition(kMixBar.max - RoundHalfEven(wet * kMixBar.max), kMixBar);
}

std::string MixChanged(ReverbState& state, int c, int position) {
    CheckIndex(c, kChannelCount);
    const long double wet = (kMixBar.max - position) / static_cast<long double>(kMixBar.max);
    (c == 0 ? state.Settings.WetL : state.Settings.WetR) = wet;
    (c == 0 ? state.Settings.DryL : state.Settings.DryR) = 1 - wet;
    return std::to_string(kMixBar.max - position);
}

RegenPositions PositionsOfRegenerator(const ReverbState& state, RegenBank bank, int index) {
    const TRegeneratorRec& g = LeftRegen(const_cast<ReverbState&>(state), bank, index);
    const BarRange levelBar = bank == RegenBank::EarlyReflections ? kERLevelBar : kGRLevelBar;
    RegenPositions p;
    p.level = BarPosition(-RoundHalfEven(std::clamp<long double>(g.Level * LevelScale(bank), -1e9L, 1e9L)),
                          levelBar);
    p.filter = BarPosition(-RoundHalfEven(std::clamp<long double>(g.Filtration * 100, -1e9L, 1e9L)),
                           kRegenFilterBar);
    p.delayText = FixedText(g.Delay, 2);
    p.pan = ClampToBar(g.Pan, kPanBar);
    p.active = g.Active != 0;
    return p;
}

std::string RegenLevelChanged(ReverbState& state, RegenBank bank, int index, int position) {
    const long double level = -position / LevelScale(bank);
    LeftRegen(state, bank, index).Level = level;
    RightRegen(state, bank, index).Level = level;
    return FixedText(level, 3);
}

std::string RegenFilterChanged(ReverbState& state, RegenBank bank, int index, int position) {
    const long double filtration = RoundHalfEven(-position / 10.0L) / 10;
    LeftRegen(state, bank, index).Filtration = filtration;
    RightRegen(state, bank, index).Filtration = filtration;
    return FixedText(filtration, 1);
}

void PanGains(int degrees, long double& gainL, long double& gainR) {
    const long double a = degrees * std::numbers::pi_v<long double> / 180;
    gainL = (std::cos(a) + std::sin(a)) * kCentredPanGain;
    gainR = (std::cos(-a) + std::sin(-a)) * kCentredPanGain;
}

void RegenPanChanged(ReverbState& state, RegenBank bank, int index, int position) {
    TRegeneratorRec& left = LeftRegen(state, bank, index);
    const int degrees = ClampToBar(position, kPanBar);
    left.Pan = static_cast<std::int8_t>(degrees);
    PanGains(degrees, left.GainL, left.GainR);
    TRegeneratorRec& right = RightRegen(state, bank, index);
    right.GainL = left.GainL;
    right.GainR = left.GainR;
}

void RegenActiveChanged(ReverbState& state, RegenBank bank, int index, bool active) {
    LeftRegen(state, bank, index).Active = active ? 1 : 0;
    RightRegen(state, bank, index).Active = active ? 1 : 0;
}

bool RegenDelayChanged(ReverbState& state, RegenBank bank, int index, const std::string& text) {
    const std::optional<double> value = NumberValue(text);
    if (!value)
        return false;
    TRegeneratorRec& left = LeftRegen(state, bank, index);
    left.Delay = *value;
    left.DelaySmpls = DelayFrames(state.SampleRate, left.Delay);
    const long double separation =
        bank == RegenBank::EarlyReflections ? state.Settings.ERSeparation : state.Settings.GRSeparation;
    TRegeneratorRec& right = RightRegen(state, bank, index);
    right.Delay = index % 2 == 1 ? left.Delay * separation : left.Delay / separation;
    right.DelaySmpls = DelayFrames(state.SampleRate, right.Delay);
    return true;
}

int RegenIndexOfNumber(std::int64_t number, int max) {
    return static_cast<int>(std::clamp<std::int64_t>(number, 1, max)) - 1;
}

} // namespace tarvola
