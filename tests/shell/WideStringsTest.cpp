#include "shell/VirtualWideStrings.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvola {
namespace {

int Sign(int v) {
    return (v > 0) - (v < 0);
}

TEST(WideStrings, StrCompWOrdersByCodePoint) {
    struct Case {
        std::u16string a, b;
        int sign;
    };
    const std::vector<Case> cases = {
        {u"a", u"b", -1},
        {u"b", u"a", 1},
        {u"abc", u"abc", 0},
        {u"ab", u"abc", -1}, // a prefix sorts first
        {u"", u"a", -1},
        {u"A", u"a", -1},
        {u"\uE000", u"\xD800\xDC00", -1}, // private use before a surrogate pair (U+10000)
        {u"\uFFFD", u"\xD83D\xDE00", -1},
        {u"\u00E9", u"\uE000", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sign(StrCompW(c.a.c_str(), c.b.c_str())), c.sign)
            << WideToUtf8(c.a) << " vs " << WideToUtf8(c.b);
}

TEST(WideStrings, ScanPosMoveAndCopy) {
    const char16_t* s = u"a\\b\\c";
    EXPECT_EQ(StrLenW(s), 5u);
    EXPECT_EQ(StrEndW(s), s + 5);
    EXPECT_EQ(StrScanW(s, u'\\'), s + 1);
    EXPECT_EQ(StrRScanW(s, u'\\'), s + 3);
    EXPECT_EQ(StrScanW(s, u'x'), nullptr);
    EXPECT_EQ(StrPosW(s, u"b\\c"), s + 2);
    EXPECT_EQ(StrPosW(s, u""), nullptr);
    EXPECT_EQ(StrPosW(s, nullptr), nullptr);
    EXPECT_EQ(StrPosW(s, u"cc"), nullptr);

    char16_t buffer[8] = u"abcdef";
    StrMoveW(buffer + 1, buffer, 4); // overlapping, forwards
    EXPECT_EQ(std::u16string(buffer), u"aabcdf");
    StrMoveW(buffer, buffer + 2, 3); // overlapping, backwards
    EXPECT_EQ(std::u16string(buffer), u"bcdcdf");

    char16_t copy[4];
    StrLCopyW(copy, u"abcdef", 3);
    EXPECT_EQ(std::u16string(copy), u"abc");
}

TEST(WideStrings, SwapByteOrderAndCase) {
    char16_t s[] = u"\x4100\x4200";
    StrSwapByteOrderW(s);
    EXPECT_EQ(std::u16string(s), u"AB");

    char16_t mixed[] = u"Abc\u00C9\u0160";
    StrLowerW(mixed, CodePage1252Text());
    EXPECT_EQ(std::u16string(mixed), u"abc\u00E9\u0161");
    StrUpperW(mixed, CodePage1252Text());
    EXPECT_EQ(std::u16string(mixed), u"ABC\u00C9\u0160");
    EXPECT_EQ(StrICompW(u"Name", u"NAME", CodePage1252Text()), 0);
    EXPECT_LT(StrICompW(u"a", u"B", CodePage1252Text()), 0);
}

TEST(WideStrings, ExtractQuotedText) {
    struct Case {
        std::u16string input, text, rest;
    };
    const std::vector<Case> cases = {
        {u"\"abc\" rest", u"abc", u" rest"},
        {u"\"a\"\"b\",x", u"a\"b", u",x"},
        {u"\"open", u"open", u""},
        {u"plain", u"", u"plain"},
    };
    for (const Case& c : cases) {
        const char16_t* p = c.input.c_str();
        EXPECT_EQ(WideExtractQuotedStr(p, u'"'), c.text) << WideToUtf8(c.input);
        EXPECT_EQ(std::u16string(p), c.rest) << WideToUtf8(c.input);
    }
}

TEST(WideStrings, CodePage1252RoundTripsItsBytes) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const std::u16string wide = CodePage1252Text().FromCodePage(all);
    EXPECT_EQ(wide[0x80 - 1], u'\u20AC');
    EXPECT_EQ(CodePage1252Text().ToCodePage(wide), all);
    EXPECT_EQ(CodePage1252Text().ToCodePage(u"\u4E2D"), "?");
}

TEST(WideStrings, Utf8Conversion) {
    EXPECT_EQ(Utf8ToWide("a\xC3\xA9\xF0\x9F\x98\x80"), u"a\u00E9\xD83D\xDE00");
    EXPECT_EQ(WideToUtf8(u"a\u00E9\xD83D\xDE00"), "a\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToWide("\xC3"), u"\uFFFD");
}

} // namespace
} // namespace tarvola
