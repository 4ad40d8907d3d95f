#include "kernel/designers/DesignerSettings.h"

#include "base/Extended80.h"
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

std::optional<long double> DecodeStoredExtended(const std::uint8_t* tenBytes) {
    const bool integerBit = (tenBytes[7] & 0x80) != 0;
    const int exponent = (tenBytes[8] | (tenBytes[9] << 8)) & 0x7FFF;
    if (exponent == 0x7FFF)
        return std::nullopt; // infinity or NaN
    if (exponent != 0 && !integerBit)
        return std::nullopt; // unnormal
    if (exponent == 0 && integerBit)
        return std::nullopt; // pseudo-denormal
    const long double value = DecodeExtendedLE(tenBytes);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace tarvola
