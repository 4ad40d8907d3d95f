#include "tree/Utf8.h"

#include <cstdint>

namespace tarvola {
namespace {

bool IsHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendCodePoint(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::string EncodeUTF8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto unit = static_cast<std::uint32_t>(text[i]);
        if (IsHighSurrogate(unit)) {
            if (i + 1 < text.size() && IsLowSurrogate(static_cast<std::uint32_t>(text[i + 1]))) {
                const auto low = static_cast<std::uint32_t>(text[i + 1]);
                AppendCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
            }
            continue; // an unpaired high surrogate has no code point
        }
        if (IsLowSurrogate(unit) || unit > 0x10FFFF)
            continue;
        AppendCodePoint(out, unit);
    }
    return out;
}

} // namespace tarvola
