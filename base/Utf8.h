// The UTF-8 form of one code point, shared by every encoder of the program (each decides for itself what to
// do with a surrogate that has no partner).
#pragma once

#include <cstdint>
#include <string>

namespace tarvola {

constexpr bool IsHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

constexpr bool IsLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The code point of a high and a low surrogate.
constexpr std::uint32_t CombineSurrogates(std::uint32_t high, std::uint32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// Appends the one to four bytes of a code point; one outside 0..10FFFF or a lone surrogate is refused with
// std::invalid_argument, so nothing that is not UTF-8 ever leaves here.
void AppendUtf8(std::string& out, std::uint32_t codePoint);

} // namespace tarvola
