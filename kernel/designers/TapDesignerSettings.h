// TapDesignerSettings: what the echo and resonance designers share over their two settings records.
//
// Both records name their common fields alike (Mode, RecrsFilter, RecrsMixLvl, RecrsFltrOrder,
// RecrsTimbre, RecrsStereo, the Conv... twins, ConvNmbrTaps, ConvInitValue, ConvFinalValue), and so do
// their control values (useRecursive, recrsMixPosition, ..., convFinalValue). The templates here hold the
// rules those fields follow in both designers; each designer adds what its own fields mean (delays or
// frequencies, strategy or negative strength) and calls them from its SettingsToControls,
// ControlsToSettings and design.
#pragma once

#include "base/Numerics.h"
#include "kernel/designers/EchoDesigner.h"
#include "kernel/designers/FilterDesigner.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvola {

// ---- The settings file

// The warnings of both settings files (the two designers share their texts).
const DesignerSettingsTexts& TapSettingsTexts();

// Reads fileName from ProgramFolder\User\ through the record's decoder; on failure warns and gives the
// defaults.
template <class Settings, class Decoder>
Settings LoadTapSettings(const std::string& programFolder, const char* fileName, std::size_t recordSize,
                         Decoder decode, const WarningSink& warn) {
    Settings settings;
    LoadDesignerSettings(
        DesignerSettingsPath(programFolder, fileName), recordSize,
        [&settings, &decode](const std::uint8_t* bytes) {
            const std::optional<Settings> decoded = decode(bytes);
            if (decoded)
                settings = *decoded;
            return decoded.has_value();
        },
        TapSettingsTexts(), warn);
    return settings;
}

// Writes the encoded record whole (or not at all, with the save warning).
bool SaveTapSettings(const std::string& programFolder, const char* fileName,
                     std::span<const std::uint8_t> bytes, const WarningSink& warn);

// ---- Settings and controls

// Where the two designers' common controls differ: the stereo bars' length and the tap field's limits.
struct TapControlLimits {
    int stereoPositionMax = 0;
    std::int32_t minTaps = 0;
    std::int32_t maxTaps = 0;
};

// The common controls as the settings leave them, each clamped to its control's limits. The recursive
// stereo bar runs from the top (largest factor) down, the convolution one from the left (factor 1) on.
template <class Settings, class Controls>
void CommonSettingsToControls(const Settings& s, const TapControlLimits& limits, Controls& c) {
    c.useRecursive = s.Mode == 0;
    c.useConvolution = s.Mode == 1;
    c.recrsMixPosition = MixToPosition(s.RecrsMixLvl);
    c.recrsOrder = std::clamp(s.RecrsFltrOrder, kMinFilterOrder, kMaxFilterOrder);
    c.recrsTimbre = std::clamp<int>(s.RecrsTimbre, 0, 2);
    c.recrsStereoPosition =
        std::clamp(CheckedSub(limits.stereoPositionMax, Round32((s.RecrsStereo - 1.0L) * 1000.0L)), 0,
                   limits.stereoPositionMax);
    c.recrsFilter = s.RecrsFilter != 0;
    c.convMixPosition = MixToPosition(s.ConvMixLvl);
    c.convOrder = std::clamp(s.ConvFltrOrder, kMinFilterOrder, kMaxFilterOrder);
    c.convTimbre = std::clamp<int>(s.ConvTimbre, 0, 2);
    c.convTaps = std::clamp(s.ConvNmbrTaps, limits.minTaps, limits.maxTaps);
    c.convStereoPosition = std::clamp(Round32((s.ConvStereo - 1.0L) * 1000.0L), 0, limits.stereoPositionMax);
    c.convFilter = s.ConvFilter != 0;
}

// The common fields the controls give at Generate. The mode stays as it was when neither kind is ticked;
// a filter that is off stores the order 1. Raises RangeError for a timbre index out of range, before any
// field changes.
template <class Controls, class Settings>
void CommonControlsToSettings(const Controls& c, const TapControlLimits& limits, Settings& s) {
    CheckIndex(c.recrsTimbre, 3);
    CheckIndex(c.convTimbre, 3);
    if (c.useRecursive)
        s.Mode = 0;
    else if (c.useConvolution)
        s.Mode = 1;

    s.RecrsFilter = c.recrsFilter ? 1 : 0;
    s.RecrsMixLvl = MixFromPosition(c.recrsMixPosition);
    s.RecrsFltrOrder = c.recrsFilter ? c.recrsOrder : 1;
    s.RecrsTimbre = static_cast<std::uint8_t>(c.recrsTimbre);
    s.RecrsStereo = (limits.stereoPositionMax - c.recrsStereoPosition) / 1000.0L + 1.0L;

    s.ConvFilter = c.convFilter ? 1 : 0;
    s.ConvMixLvl = MixFromPosition(c.convMixPosition);
    s.ConvFltrOrder = c.convFilter ? c.convOrder : 1;
    s.ConvTimbre = static_cast<std::uint8_t>(c.convTimbre);
    s.ConvNmbrTaps = c.convTaps;
    s.ConvStereo = c.convStereoPosition / 1000.0L + 1.0L;
    s.ConvInitValue = c.convInitValue / 100.0L;
    s.ConvFinalValue = c.convFinalValue / 100.0L;
}

// ---- The design

// The tap set of the chosen kind, filtered when its box is ticked. Raises RangeError for a stored timbre
// byte out of range.
template <class Settings>
TTapSet TapSetOf(const Settings& s, TRecrsStrategy strategy, long double bandPassCentre,
                 TTapNormalise normalise) {
    TTapSet set;
    set.feedback = s.Mode == 0;
    set.strategy = strategy;
    const bool filtered = set.feedback ? s.RecrsFilter != 0 : s.ConvFilter != 0;
    if (filtered) {
        TTapFilter filter;
        filter.order = set.feedback ? s.RecrsFltrOrder : s.ConvFltrOrder;
        filter.timbre = TimbreFromByte(set.feedback ? s.RecrsTimbre : s.ConvTimbre);
        filter.mix = set.feedback ? s.RecrsMixLvl : s.ConvMixLvl;
        filter.bandPassCentre = bandPassCentre;
        filter.normalise = normalise;
        set.filter = filter;
    }
    return set;
}

// The n strengths of a convolution: from the initial one by steps of (final - initial) / n, so the last
// tap stops one step short of the final strength. Computed under the caller's X87PrecisionGuard.
std::vector<long double> GraduatedStrengths(long double initial, long double final, std::int32_t n);

// A recursive design: one tap per channel at that channel's delay in frames.
TDesignRecords DesignRecursiveTaps(TTapSet set, const std::array<std::int32_t, 2>& delayFrames,
                                   long double strength, std::int32_t targetImpulse);

// A convolution design: each channel's taps at their frames, with the strengths both channels share.
template <class ConvTaps>
TDesignRecords DesignConvolutionTaps(TTapSet set, const ConvTaps& conv, std::int32_t targetImpulse) {
    TDesignRecords design;
    for (std::size_t c = 0; c < 2; ++c) {
        set.taps.clear();
        for (std::size_t t = 0; t < conv.strengths.size(); ++t)
            set.taps.push_back(TTap{conv.channels[c][t].frames, conv.strengths[t]});
        design.channels[c] = TapRecords(set, targetImpulse);
    }
    return design;
}

// Generate: reads the settings from the controls, designs both channels and writes the chosen ones by the
// rules. Every error is raised before a kernel is touched.
template <class Controls, class Settings, class Design>
TTapGenerateResult<Settings> GenerateTapDesign(const Controls& controls, const Settings& previous,
                                               std::int32_t sampleRate, const TExportRules& rules,
                                               TobjHistData& leftKernel, TobjHistData& rightKernel,
                                               Design design) {
    TTapGenerateResult<Settings> result;
    result.settings = ControlsToSettings(controls, previous, sampleRate);
    const TDesignRecords records = design(result.settings, sampleRate, rules.targetImpulse);
    result.written = WriteDesignRecords(records, rules, leftKernel, rightKernel);
    return result;
}

} // namespace tarvola
