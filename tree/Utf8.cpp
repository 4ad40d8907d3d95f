#include "tree/Utf8.h"

#include "base/Utf8.h"

#include <cstdint>

namespace tarvola {

std::string EncodeUTF8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto unit = static_cast<std::uint32_t>(text[i]);
        if (IsHighSurrogate(unit)) {
            if (i + 1 < text.size() && IsLowSurrogate(static_cast<std::uint32_t>(text[i + 1]))) {
                const auto low = static_cast<std::uint32_t>(text[i + 1]);
                AppendUtf8(out, CombineSurrogates(unit, low));
                ++i;
            }
            continue; // an unpaired high surrogate has no code point
        }
        if (IsLowSurrogate(unit) || unit > 0x10FFFF)
            continue;
        AppendUtf8(out, unit);
    }
    return out;
}

} // namespace tarvola
