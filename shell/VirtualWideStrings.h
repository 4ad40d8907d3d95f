// Zero-terminated UTF-16 routines and the text services the wide string list is built on.
//
// The shell layer keeps names and paths as UTF-16 (char16_t, std::u16string). The routines here need no
// platform call; what does (a case-insensitive comparison that follows the system's rules, conversion to
// and from the system's code page, case change) comes through TWideTextServices, so the portable core is
// tested natively with a Windows-1252 stand-in and the product uses the platform's own on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvola {

using WideString = std::u16string;

// Code units before the terminating zero.
std::size_t StrLenW(const char16_t* s);
// The terminating zero.
const char16_t* StrEndW(const char16_t* s);
// Copies count code units; overlapping areas are handled (backwards when dest lies after source).
char16_t* StrMoveW(char16_t* dest, const char16_t* source, std::size_t count);
// Copies at most maxLen code units and terminates: dest must hold maxLen + 1 units.
char16_t* StrLCopyW(char16_t* dest, const char16_t* source, std::size_t maxLen);
// Ordinal comparison in code-point order: surrogates (D800-DFFF) sort after E000-FFFF, as the characters
// they encode lie above U+FFFF. Negative, zero or positive.
int StrCompW(const char16_t* s1, const char16_t* s2);
// First / last occurrence of a code unit; nullptr when there is none.
const char16_t* StrScanW(const char16_t* s, char16_t c);
const char16_t* StrRScanW(const char16_t* s, char16_t c);
// First occurrence of sub; nullptr for a null or empty sub.
const char16_t* StrPosW(const char16_t* s, const char16_t* sub);
// Swaps the two bytes of every code unit up to the terminator, in place.
void StrSwapByteOrderW(char16_t* s);
// When p starts with quote: the text up to the closing quote with doubled quotes made single, and p moved
// past the closing quote (or to the end when none follows). Otherwise empty and p unchanged.
WideString WideExtractQuotedStr(const char16_t*& p, char16_t quote);

// What the wide string list needs of the platform.
class TWideTextServices {
public:
    virtual ~TWideTextServices() = default;
    // Case-insensitive comparison with the system's rules: negative, zero or positive.
    virtual int CompareText(std::u16string_view a, std::u16string_view b) const = 0;
    // Single-byte text of the system's code page to UTF-16, and back.
    virtual WideString FromCodePage(std::string_view bytes) const = 0;
    virtual std::string ToCodePage(std::u16string_view text) const = 0;
    virtual WideString LowerCase(std::u16string_view text) const = 0;
    virtual WideString UpperCase(std::u16string_view text) const = 0;
};

// Windows-1252 conversion with case rules for the characters that code page holds (the rest compares by
// code unit); the native stand-in for the platform's services.
const TWideTextServices& CodePage1252Text();
// The platform's services: the system's own on Windows, CodePage1252Text() natively.
const TWideTextServices& PlatformText();

// In-place case change of a zero-terminated string, and the same on a copy.
void StrLowerW(char16_t* s, const TWideTextServices& text = PlatformText());
void StrUpperW(char16_t* s, const TWideTextServices& text = PlatformText());
WideString WideLowerCase(std::u16string_view s, const TWideTextServices& text = PlatformText());
int StrICompW(const char16_t* s1, const char16_t* s2, const TWideTextServices& text = PlatformText());

// UTF-8 <-> UTF-16 for messages and tests (invalid sequences become U+FFFD).
WideString Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::u16string_view wide);

} // namespace tarvola
