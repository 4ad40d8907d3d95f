// DesignerSettings: the settings files that the effect designers (filter, echo, resonance, reverb) share.
//
// Each designer keeps one fixed-size record in a file of its own, ProgramFolder + "User\" + file name
// (DesignerSettingsPath). How to use it from a designer:
//
//   1. Set-up: LoadDesignerSettings(path, recordSize, decode, texts, warn). It reads the file and hands its
//      first record-size bytes to `decode`, the designer's own codec, which says whether they make a
//      record it can show (finite 80-bit values in a valid encoding, see DecodeStoredExtended in base/,
//      within their controls' ranges; enumeration bytes in range). A missing file shows texts.missing; a
//      short, unreadable or refused one shows texts.readError. In both cases the result is false and the
//      designer uses its defaults. A longer file is fine: only the first record-size bytes count.
//   2. Close: SaveDesignerSettings(path, bytes, texts, warn), called from the dialog's explicit close step
//      (never from a destructor). It creates "User\" when missing and writes the record whole or not at
//      all (temporary file, then replace); on any failure it shows texts.saveError and returns false.
//
// Warnings go through `warn`, a sink the dialog binds to its warning message box (and tests to a
// recorder), so nothing here blocks or needs a window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvola {

// A warning for the user ('\r' breaks lines), shown as a warning box with a single OK button.
using WarningSink = std::function<void(const std::string& text)>;

struct DesignerSettingsTexts {
    std::string missing;   // no settings file
    std::string readError; // fewer bytes than the record, or content that cannot be shown
    std::string saveError; // the record could not be written whole
};

// ProgramFolder + "User\" + fileName (with the platform's separator).
std::string DesignerSettingsPath(const std::string& programFolder, const std::string& fileName);

enum class SettingsReadResult { Read, Missing, Short };

// Reads the first record.size() bytes of the file into record. Short covers a file that exists but gives
// fewer bytes (or cannot be opened or read at all).
SettingsReadResult ReadSettingsRecord(const std::string& path, std::span<std::uint8_t> record);

// Writes the bytes as the whole file, creating the folder when missing, through a temporary file that
// then replaces the old one. False when that failed; the old file is then left as it was.
bool WriteSettingsRecord(const std::string& path, std::span<const std::uint8_t> bytes);

// Step 1 above. `decode` gets exactly recordSize bytes and returns false to refuse them.
bool LoadDesignerSettings(const std::string& path, std::size_t recordSize,
                          const std::function<bool(const std::uint8_t* bytes)>& decode,
                          const DesignerSettingsTexts& texts, const WarningSink& warn);

// Step 2 above.
bool SaveDesignerSettings(const std::string& path, std::span<const std::uint8_t> bytes,
                          const DesignerSettingsTexts& texts, const WarningSink& warn);

// True when Round(value * scale) fits a 32-bit control position.
bool FitsControlPosition(long double value, long double scale);

// True for a flag byte: 0 or 1.
constexpr bool IsFlagByte(std::uint8_t value) {
    return value <= 1;
}

} // namespace tarvola
