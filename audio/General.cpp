#include "audio/General.h"

#include "base/ByteOrder.h"
#include "base/Numerics.h"

#include <algorithm>
#include <cmath>

namespace tarvola {

namespace {

void CheckItems(std::int64_t n, int size) {
    if (n < 0 || size < 1)
        throw RangeError("Invalid item count or size (" + std::to_string(n) + ", " + std::to_string(size) +
                         ")");
    CheckedMul<std::int64_t>(n, size); // the span must be addressable
}

// The number with "0" in front when it has one digit.
std::string TwoDigits(int value) {
    std::string text = std::to_string(value);
    return text.size() == 1 ? "0" + text : text;
}

// Path without one trailing backslash.
std::string WithoutTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '\\')
        return path.substr(0, path.size() - 1);
    return path;
}

std::string LastComponent(const std::string& path) {
    const std::size_t separator = path.find_last_of('\\');
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

} // namespace

// ---- Byte order

void Swap32(std::uint8_t* p) {
    ReverseBytes(p, 4);
}

void Swap24(std::uint8_t* p) {
    ReverseBytes(p, 3);
}

void SwapWords(std::uint8_t* p, std::int64_t n) {
    SwapSamples(p, n, 2);
}

void SwapSamples(std::uint8_t* p, std::int64_t n, int size) {
    CheckItems(n, size);
    ReverseEachItem(p, CheckedCast<std::size_t>(n), static_cast<std::size_t>(size));
}

// ---- Position text

TMinSecTenths MsToTime(std::int32_t ms) {
    // Integer arithmetic: through 32-bit floats 300 ms came out as 0.2 s.
    const std::int32_t position = std::max<std::int32_t>(ms, 0);
    return {position / 60000, position / 1000 % 60, position / 100 % 10};
}

std::string TimeToText(TMinSecTenths& t) {
    if (t.Minutes > 99)
        t.Minutes = 99;
    return TwoDigits(t.Minutes) + ":" + TwoDigits(t.Seconds) + "." + std::to_string(t.Tenths);
}

// ---- Time-left text

THMS SecondsToHMS(double seconds) {
    constexpr double Limit = 256.0 * 3600.0;
    if (std::isnan(seconds) || seconds <= 0)
        return {};
    if (seconds >= Limit)
        return {255, 59, 59};
    const std::int64_t whole = Trunc64(seconds);
    return {static_cast<std::uint8_t>(whole / 3600), static_cast<std::uint8_t>(whole / 60 % 60),
            static_cast<std::uint8_t>(whole % 60)};
}

std::string HMSToText(const THMS& h) {
    return std::to_string(h.Hours) + ":" + TwoDigits(h.Minutes) + ":" + TwoDigits(h.Seconds);
}

// ---- Path parts

std::string ExtractFileTitle(const std::string& path) {
    const std::string name = LastComponent(path);
    return name.substr(0, name.find('.'));
}

std::string ExtractLastFolderName(const std::string& path) {
    return LastComponent(WithoutTrailingBackslash(path));
}

std::string ExtractParentFolder(const std::string& path, int levels) {
    if (levels < 1)
        return path;
    const std::string trimmed = WithoutTrailingBackslash(path);
    std::size_t end = trimmed.size();
    for (int level = 0; level < levels; ++level) {
        if (end == 0)
            return path;
        const std::size_t separator = trimmed.find_last_of('\\', end - 1);
        if (separator == std::string::npos)
            return path;
        end = separator;
    }
    return trimmed.substr(0, end + 1);
}

bool HasProperPrefix(const std::string& s, const std::string& prefix) {
    return prefix.size() < s.size() && s.compare(0, prefix.size(), prefix) == 0;
}

} // namespace tarvola
