#include "kernel/designers/TapDesignerSettings.h"

namespace tarvola {

const DesignerSettingsTexts& TapSettingsTexts() {
    static const DesignerSettingsTexts texts{kEchoSettingsMissingText, kEchoSettingsReadErrorText,
                                             kEchoSettingsSaveErrorText};
    return texts;
}

bool SaveTapSettings(const std::string& programFolder, const char* fileName,
                     std::span<const std::uint8_t> bytes, const WarningSink& warn) {
    return SaveDesignerSettings(DesignerSettingsPath(programFolder, fileName), bytes, TapSettingsTexts(),
                                warn);
}

std::vector<long double> GraduatedStrengths(long double initial, long double final, std::int32_t n) {
    const long double step = (final - initial) / n;
    std::vector<long double> strengths{initial};
    for (std::int32_t t = 1; t < n; ++t)
        strengths.push_back(strengths.back() + step);
    return strengths;
}

TDesignRecords DesignRecursiveTaps(TTapSet set, const std::array<std::int32_t, 2>& delayFrames,
                                   long double strength, std::int32_t targetImpulse) {
    TDesignRecords design;
    for (std::size_t c = 0; c < 2; ++c) {
        set.taps = {TTap{delayFrames[c], strength}};
        design.channels[c] = TapRecords(set, targetImpulse);
    }
    return design;
}

} // namespace tarvola
