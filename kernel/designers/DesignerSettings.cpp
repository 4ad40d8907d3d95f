#include "kernel/designers/DesignerSettings.h"

#include "base/Numerics.h"
#include "audio/SafeFile.h"
#include "audio/Streams.h"

#include <cmath>
#include <filesystem>
#include <system_error>

namespace tarvola {

namespace fs = std::filesystem;

std::string DesignerSettingsPath(const std::string& programFolder, const std::string& fileName) {
    return (fs::path(programFolder) / "User" / fileName).string();
}

SettingsReadResult ReadSettingsRecord(const std::string& path, std::span<std::uint8_t> record) {
    try {
        TFileStream file(path, TFileStream::Mode::OpenRead);
        const std::int64_t wanted = static_cast<std::int64_t>(record.size());
        return file.Read(record.data(), wanted) == wanted ? SettingsReadResult::Read
                                                          : SettingsReadResult::Short;
    } catch (const FileOpenError& error) {
        return error.NotFound() ? SettingsReadResult::Missing : SettingsReadResult::Short;
    } catch (const StreamError&) {
        return SettingsReadResult::Short;
    }
}

bool WriteSettingsRecord(const std::string& path, std::span<const std::uint8_t> bytes) {
    const fs::path target(path);
    std::error_code error;
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), error);
    try {
        SaveFileWhole(path, [&](TStream& stream) {
            stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        });
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
