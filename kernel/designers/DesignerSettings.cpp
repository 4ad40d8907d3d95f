#include "kernel/designers/DesignerSettings.h"

#include "base/Numerics.h"
#include "base/WholeFile.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace tarvola {

namespace fs = std::filesystem;

std::string DesignerSettingsPath(const std::string& programFolder, const std::string& fileName) {
    return (fs::path(programFolder) / "User" / fileName).string();
}

SettingsReadResult ReadSettingsRecord(const std::string& path, std::span<std::uint8_t> record) {
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const FileError&) {
        return SettingsReadResult::Short;
    }
    if (!bytes)
        return SettingsReadResult::Missing;
    if (bytes->size() < record.size())
        return SettingsReadResult::Short;
    std::copy_n(bytes->begin(), record.size(), record.begin());
    return SettingsReadResult::Read;
}

bool WriteSettingsRecord(const std::string& path, std::span<const std::uint8_t> bytes) {
    const fs::path target(path);
    std::error_code error;
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), error);
    try {
        WriteWholeFile(path, bytes);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool LoadDesignerSettings(const std::string& path, std::size_t recordSize,
                          const std::function<bool(const std::uint8_t* bytes)>& decode,
                          const DesignerSettingsTexts& texts, const WarningSink& warn) {
    std::vector<std::uint8_t> record(recordSize);
    switch (ReadSettingsRecord(path, record)) {
    case SettingsReadResult::Missing:
        warn(texts.missing);
        return false;
    case SettingsReadResult::Short:
        warn(texts.readError);
        return false;
    case SettingsReadResult::Read:
        break;
    }
    if (!decode(record.data())) {
        warn(texts.readError);
        return false;
    }
    return true;
}

bool SaveDesignerSettings(const std::string& path, std::span<const std::uint8_t> bytes,
                          const DesignerSettingsTexts& texts, const WarningSink& warn) {
    if (WriteSettingsRecord(path, bytes))
        return true;
    warn(texts.saveError);
    return false;
}

bool FitsControlPosition(long double value, long double scale) {
    const long double rounded = RoundHalfEven(value * scale);
    return std::isfinite(rounded) && rounded >= -2147483648.0L && rounded <= 2147483647.0L;
}

} // namespace tarvola
