// Small helpers shared by the audio program: byte-order reversal of samples and header fields (AIFF is
// big-endian), the position and time-left texts, and path-part extraction for the preset browser.
// Paths are Windows paths in the code page: the separator is the backslash.
#pragma once

#include <cstdint>
#include <string>

namespace tarvola {

// ---- Byte order (in place). A negative count or an item size below 1 raises RangeError.

// Reverses the four bytes at P.
void Swap32(std::uint8_t* p);
// Exchanges the first and the third byte at P.
void Swap24(std::uint8_t* p);
// Exchanges the two bytes of each of N consecutive 16-bit words.
void SwapWords(std::uint8_t* p, std::int64_t n);
// Reverses the bytes of each of N items of Size bytes (Size 1 leaves them as they are). With N = 1 and
// Size 10 it turns the 80-bit AIFF sample rate around.
void SwapSamples(std::uint8_t* p, std::int64_t n, int size);

// ---- Position text "MM:SS.t" of the main window

struct TMinSecTenths {
    std::int32_t Minutes = 0;
    std::int32_t Seconds = 0;
    std::int32_t Tenths = 0;
};

// Splits a position in milliseconds exactly (300 ms is 0, 0, 3); a negative position counts as 0.
TMinSecTenths MsToTime(std::int32_t ms);
// Two-digit minutes, colon, two-digit seconds, point, tenths ("01:05.3"). Minutes above 99 are first
// held at 99 in T itself.
std::string TimeToText(TMinSecTenths& t);

// ---- Time-left text "H:MM:SS" of the progress window

struct THMS {
    std::uint8_t Hours = 0;
    std::uint8_t Minutes = 0;
    std::uint8_t Seconds = 0;
};

// Whole seconds split into hours, minutes and seconds. 256 hours or more give 255:59:59; a negative or
// NaN time gives 0:00:00.
THMS SecondsToHMS(double seconds);
// Hours, then two-digit minutes and seconds, separated by colons ("1:02:05").
std::string HMSToText(const THMS& h);

// ---- Path parts (an empty Path gives empty text)

// The last component of Path up to, not including, its first point: "D:\a\b.c.d" gives "b".
std::string ExtractFileTitle(const std::string& path);
// The last component of Path, one trailing backslash ignored: "D:\a\b\" gives "b".
std::string ExtractLastFolderName(const std::string& path);
// Path up to and including the Levels-th backslash from the end, one trailing backslash ignored:
// "D:\a\b\c\" at level 1 gives "D:\a\b\". The whole Path when it has fewer backslashes or Levels < 1.
std::string ExtractParentFolder(const std::string& path, int levels);
// True when Prefix is shorter than S and S begins with it (byte for byte).
bool HasProperPrefix(const std::string& s, const std::string& prefix);

} // namespace tarvola
