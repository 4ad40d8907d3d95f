#include "kernel/designers/ReverbSettings.h"

#include "base/ByteOrder.h"
#include "base/Extended80.h"
#include "kernel/designers/DesignerSettings.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace tarvola {

namespace {

// Field offsets of the settings record; the gaps between them are zero padding.
namespace settings_at {
constexpr std::size_t WriteMode = 0, WetL = 4, WetR = 14, DryL = 24, DryR = 34, GRSeparation = 44,
                      ERSeparation = 56, Reserved = 66, GRType = 67, ERType = 68, ERSize = 72, GRSize = 84,
                      GRTime = 96, ERStrength = 108, Filtration = 120;
}

// Field offsets of the regenerator record.
namespace regen_at {
constexpr std::size_t Level = 0, Filtration = 12, Delay = 24, DelaySmpls = 36, Active = 40, Pan = 41,
                      GainL = 44, GainR = 54;
}

void PutExtended(std::uint8_t* record, std::size_t offset, long double value) {
    const Extended80Bytes bytes = EncodeExtendedLE(value);
    std::copy(bytes.begin(), bytes.end(), record + offset);
}

bool GetExtended(const std::uint8_t* record, std::size_t offset, long double& out) {
    const std::optional<long double> value = DecodeStoredExtended(record + offset);
    if (!value)
        return false;
    out = *value;
    return true;
}

bool GetExtendedIn(const std::uint8_t* record, std::size_t offset, long double low, long double high,
                   long double& out) {
    return GetExtended(record, offset, out) && out >= low && out <= high;
}

} // namespace

std::array<std::uint8_t, kReverbSettingsBytes> EncodeReverbSettings(const TReverbSettings& s) {
    std::array<std::uint8_t, kReverbSettingsBytes> out{};
    std::uint8_t* r = out.data();
    r[settings_at::WriteMode] = s.WriteMode;
    PutExtended(r, settings_at::WetL, s.WetL);
    PutExtended(r, settings_at::WetR, s.WetR);
    PutExtended(r, settings_at::DryL, s.DryL);
    PutExtended(r, settings_at::DryR, s.DryR);
    PutExtended(r, settings_at::GRSeparation, s.GRSeparation);
    PutExtended(r, settings_at::ERSeparation, s.ERSeparation);
    r[settings_at::Reserved] = s.Reserved;
    r[settings_at::GRType] = s.GRType;
    r[settings_at::ERType] = s.ERType;
    PutExtended(r, settings_at::ERSize, s.ERSize);
    PutExtended(r, settings_at::GRSize, s.GRSize);
    PutExtended(r, settings_at::GRTime, s.GRTime);
    PutExtended(r, settings_at::ERStrength, s.ERStrength);
    PutExtended(r, settings_at::Filtration, s.Filtration);
    return out;
}

bool DecodeReverbSettings(std::span<const std::uint8_t, kReverbSettingsBytes> bytes, TReverbSettings& out) {
    const std::uint8_t* r = bytes.data();
    TReverbSettings s;
    s.WriteMode = r[settings_at::WriteMode];
    s.Reserved = r[settings_at::Reserved];
    s.GRType = r[settings_at::GRType];
    s.ERType = r[settings_at::ERType];
    if (s.WriteMode > kWriteMix || s.GRType >= GRSpaceCount || s.ERType >= ERShapeCount)
        return false;
    // The ranges are those the designer's controls offer; the engine relies on them (a size of -1 makes
    // a space of no extent, a huge reverberation time overflows the time bar).
    const bool valid = GetExtendedIn(r, settings_at::WetL, 0, 1, s.WetL) &&
                       GetExtendedIn(r, settings_at::WetR, 0, 1, s.WetR) &&
                       GetExtendedIn(r, settings_at::DryL, 0, 1, s.DryL) &&
                       GetExtendedIn(r, settings_at::DryR, 0, 1, s.DryR) &&
                       GetExtendedIn(r, settings_at::GRSeparation, 1, 1.2L, s.GRSeparation) &&
                       GetExtendedIn(r, settings_at::ERSeparation, 1, 1.2L, s.ERSeparation) &&
                       GetExtendedIn(r, settings_at::ERSize, -0.5L, 0.5L, s.ERSize) &&
                       GetExtendedIn(r, settings_at::GRSize, -0.5L, 0.5L, s.GRSize) &&
                       GetExtendedIn(r, settings_at::GRTime, 0, 4000, s.GRTime) &&
                       GetExtendedIn(r, settings_at::ERStrength, 0, 1, s.ERStrength) &&
                       GetExtendedIn(r, settings_at::Filtration, 0, 1, s.Filtration);
    if (!valid)
        return false;
    out = s;
    return true;
}

std::array<std::uint8_t, kRegeneratorBytes> EncodeRegenerator(const TRegeneratorRec& g) {
    std::array<std::uint8_t, kRegeneratorBytes> out{};
    std::uint8_t* r = out.data();
    PutExtended(r, regen_at::Level, g.Level);
    PutExtended(r, regen_at::Filtration, g.Filtration);
    PutExtended(r, regen_at::Delay, g.Delay);
    PutLE<std::int32_t>(r + regen_at::DelaySmpls, g.DelaySmpls);
    r[regen_at::Active] = g.Active;
    r[regen_at::Pan] = static_cast<std::uint8_t>(g.Pan);
    PutExtended(r, regen_at::GainL, g.GainL);
    PutExtended(r, regen_at::GainR, g.GainR);
    return out;
}

bool DecodeRegenerator(std::span<const std::uint8_t, kRegeneratorBytes> bytes, TRegeneratorRec& out) {
    const std::uint8_t* r = bytes.data();
    TRegeneratorRec g;
    g.DelaySmpls = GetLE<std::int32_t>(r + regen_at::DelaySmpls);
    g.Active = r[regen_at::Active];
    g.Pan = static_cast<std::int8_t>(r[regen_at::Pan]);
    const bool valid = g.Active <= 1 && GetExtended(r, regen_at::Level, g.Level) &&
                       GetExtended(r, regen_at::Filtration, g.Filtration) &&
                       GetExtended(r, regen_at::Delay, g.Delay) && GetExtended(r, regen_at::GainL, g.GainL) &&
                       GetExtended(r, regen_at::GainR, g.GainR);
    if (!valid)
        return false;
    out = g;
    return true;
}

std::vector<std::uint8_t> EncodeReverbFile(const TReverbSettings& settings, const ReverbBanks& banks) {
    std::vector<std::uint8_t> out;
    out.reserve(kReverbFileBytes);
    const auto settingsBytes = EncodeReverbSettings(settings);
    out.insert(out.end(), settingsBytes.begin(), settingsBytes.end());
    auto appendBank = [&out](const auto& bank) {
        for (const TRegeneratorRec& g : bank) {
            const auto regenBytes = EncodeRegenerator(g);
            out.insert(out.end(), regenBytes.begin(), regenBytes.end());
        }
    };
    for (const ERBank& bank : banks.ER)
        appendBank(bank);
    for (const GRBank& bank : banks.GR)
        appendBank(bank);
    return out;
}

bool DecodeReverbFile(std::span<const std::uint8_t> bytes, TReverbSettings& settings, ReverbBanks& banks) {
    if (bytes.size() < kReverbFileBytes)
        return false;
    TReverbSettings newSettings;
    if (!DecodeReverbSettings(bytes.first<kReverbSettingsBytes>(), newSettings))
        return false;
    // The banks are decoded off to the side (they are too large for the stack) and committed only whole.
    auto newBanks = std::make_unique<ReverbBanks>();
    std::size_t offset = kReverbSettingsBytes;
    auto decodeBank = [&bytes, &offset](auto& bank) {
        for (TRegeneratorRec& g : bank) {
            if (!DecodeRegenerator(bytes.subspan(offset).first<kRegeneratorBytes>(), g))
                return false;
            offset += kRegeneratorBytes;
        }
        return true;
    };
    for (ERBank& bank : newBanks->ER)
        if (!decodeBank(bank))
            return false;
    for (GRBank& bank : newBanks->GR)
        if (!decodeBank(bank))
            return false;
    settings = newSettings;
    banks = *newBanks;
    return true;
}

} // namespace tarvola
