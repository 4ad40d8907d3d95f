#include "base/Utf8.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarvola {
namespace {

TEST(Utf8Test, EncodesEachLengthAtItsBoundaries) {
    struct Case {
        std::uint32_t codePoint;
        std::string bytes;
    };
    const Case cases[] = {
        {0x0, std::string(1, '\0')},
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0xFFFD, "\xEF\xBF\xBD"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
    };
    for (const Case& c : cases) {
        std::string out;
        AppendUtf8(out, c.codePoint);
        EXPECT_EQ(out, c.bytes) << std::hex << c.codePoint;
    }
}

TEST(Utf8Test, RefusesSurrogatesAndValuesBeyondUnicode) {
    for (std::uint32_t cp : {0xD800u, 0xDBFFu, 0xDC00u, 0xDFFFu, 0x110000u}) {
        std::string out = "x";
        EXPECT_THROW(AppendUtf8(out, cp), std::invalid_argument) << std::hex << cp;
        EXPECT_EQ(out, "x");
    }
    EXPECT_EQ(CombineSurrogates(0xD83D, 0xDE00), 0x1F600u);
}

} // namespace
} // namespace tarvola
