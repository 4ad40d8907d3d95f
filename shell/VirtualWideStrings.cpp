#include "shell/VirtualWideStrings.h"

#include "base/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace tarvola {

std::size_t StrLenW(const char16_t* s) {
    return static_cast<std::size_t>(StrEndW(s) - s);
}

const char16_t* StrEndW(const char16_t* s) {
    while (*s != 0)
        ++s;
    return s;
}

char16_t* StrMoveW(char16_t* dest, const char16_t* source, std::size_t count) {
    if (count > 0)
        std::memmove(dest, source, count * sizeof(char16_t)); // memmove copies backwards when it must
    return dest;
}

char16_t* StrLCopyW(char16_t* dest, const char16_t* source, std::size_t maxLen) {
    std::size_t i = 0;
    for (; i < maxLen && source[i] != 0; ++i)
        dest[i] = source[i];
    dest[i] = 0;
    return dest;
}

namespace {

// Moves surrogates above the private-use and compatibility area so that code units compare in the order
// of the code points they belong to.
int CodePointOrderKey(char16_t unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF)
        return unit + 0x2000;
    if (unit >= 0xE000)
        return unit - 0x800;
    return unit;
}

} // namespace

int StrCompW(const char16_t* s1, const char16_t* s2) {
    while (*s1 != 0 && *s1 == *s2) {
        ++s1;
        ++s2;
    }
    return CodePointOrderKey(*s1) - CodePointOrderKey(*s2);
}

const char16_t* StrScanW(const char16_t* s, char16_t c) {
    for (; *s != 0; ++s)
        if (*s == c)
            return s;
    return c == 0 ? s : nullptr;
}

const char16_t* StrRScanW(const char16_t* s, char16_t c) {
    const char16_t* found = nullptr;
    for (; *s != 0; ++s)
        if (*s == c)
            found = s;
    return c == 0 ? s : found;
}

const char16_t* StrPosW(const char16_t* s, const char16_t* sub) {
    if (s == nullptr || sub == nullptr || *sub == 0)
        return nullptr;
    const std::u16string_view text(s);
    const auto at = text.find(std::u16string_view(sub));
    return at == std::u16string_view::npos ? nullptr : s + at;
}

void StrSwapByteOrderW(char16_t* s) {
    for (; *s != 0; ++s)
        *s = static_cast<char16_t>((*s << 8) | (*s >> 8));
}

WideString WideExtractQuotedStr(const char16_t*& p, char16_t quote) {
    WideString result;
    if (p == nullptr || *p != quote)
        return result;
    const char16_t* at = p + 1;
    while (*at != 0) {
        if (*at == quote) {
            if (at[1] != quote) {
                ++at; // past the closing quote
                p = at;
                return result;
            }
            ++at; // a doubled quote stands for one
        }
        result += *at++;
    }
    p = at;
    return result;
}

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t FoldUpper(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<char16_t>(c - 0x20);
    switch (c) {
    case 0xFF:
        return 0x0178;
    case 0x0161:
        return 0x0160;
    case 0x0153:
        return 0x0152;
    case 0x017E:
        return 0x017D;
    default:
        return c;
    }
}

char16_t FoldLower(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<char16_t>(c + 0x20);
    switch (c) {
    case 0x0178:
        return 0xFF;
    case 0x0160:
        return 0x0161;
    case 0x0152:
        return 0x0153;
    case 0x017D:
        return 0x017E;
    default:
        return c;
    }
}

class TCodePage1252Text final : public TWideTextServices {
public:
    int CompareText(std::u16string_view a, std::u16string_view b) const override {
        const std::size_t common = std::min(a.size(), b.size());
        for (std::size_t i = 0; i < common; ++i) {
            const int diff = int(FoldLower(a[i])) - int(FoldLower(b[i]));
            if (diff != 0)
                return diff;
        }
        return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
    }
    WideString FromCodePage(std::string_view bytes) const override {
        WideString out;
        out.reserve(bytes.size());
        for (const char ch : bytes) {
            const auto byte = static_cast<unsigned char>(ch);
            out += (byte >= 0x80 && byte <= 0x9F) ? kCp1252High[byte - 0x80] : char16_t(byte);
        }
        return out;
    }
    std::string ToCodePage(std::u16string_view text) const override {
        std::string out;
        out.reserve(text.size());
        for (const char16_t c : text)
            out += static_cast<char>(ToByte(c));
        return out;
    }
    WideString LowerCase(std::u16string_view text) const override {
        WideString out(text);
        for (char16_t& c : out)
            c = FoldLower(c);
        return out;
    }
    WideString UpperCase(std::u16string_view text) const override {
        WideString out(text);
        for (char16_t& c : out)
            c = FoldUpper(c);
        return out;
    }

private:
    static unsigned char ToByte(char16_t c) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
            return static_cast<unsigned char>(c);
        for (std::size_t i = 0; i < kCp1252High.size(); ++i)
            if (kCp1252High[i] == c)
                return static_cast<unsigned char>(0x80 + i);
        return '?';
    }
};

} // namespace

const TWideTextServices& CodePage1252Text() {
    static const TCodePage1252Text services; // stateless: nothing to order at start-up or exit
    return services;
}

#ifndef _WIN32
const TWideTextServices& PlatformText() {
    return CodePage1252Text();
}
#endif

void StrLowerW(char16_t* s, const TWideTextServices& text) {
    const WideString lower = text.LowerCase(std::u16string_view(s));
    std::copy(lower.begin(), lower.end(), s);
}

void StrUpperW(char16_t* s, const TWideTextServices& text) {
    const WideString upper = text.UpperCase(std::u16string_view(s));
    std::copy(upper.begin(), upper.end(), s);
}

WideString WideLowerCase(std::u16string_view s, const TWideTextServices& text) {
    return text.LowerCase(s);
}

int StrICompW(const char16_t* s1, const char16_t* s2, const TWideTextServices& text) {
    return text.CompareText(std::u16string_view(s1), std::u16string_view(s2));
}

WideString Utf8ToWide(std::string_view utf8) {
    WideString out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int extra = lead < 0x80         ? 0
                          : (lead >> 5) == 6  ? 1
                          : (lead >> 4) == 14 ? 2
                          : (lead >> 3) == 30 ? 3
                                              : -1;
        char32_t cp = extra == 0   ? lead
                      : extra == 1 ? (lead & 0x1F)
                      : extra == 2 ? (lead & 0x0F)
                                   : (lead & 0x07);
        bool valid = extra >= 0 && i + extra < utf8.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += char16_t(0xFFFD);
            ++i;
            continue;
        }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

std::string WideToUtf8(std::u16string_view wide) {
    std::string out;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        std::uint32_t cp = wide[i];
        if (IsHighSurrogate(cp) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) {
            cp = CombineSurrogates(cp, wide[i + 1]);
            ++i;
        } else if (IsHighSurrogate(cp) || IsLowSurrogate(cp)) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

} // namespace tarvola
