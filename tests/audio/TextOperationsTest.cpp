#include "audio/TextOperations.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace tarvola {
namespace {

TEST(Validators, DigitChars) {
    for (int ch = 0; ch < 256; ++ch)
        EXPECT_EQ(IsDigitChar(static_cast<char>(ch)), ch >= '0' && ch <= '9') << ch;
}

// Texts that pass the grammar but are no number give no value; every accepted value is exact.
TEST(Validators, NumbersAndTheirValues) {
    const struct {
        const char* text;
        bool isNumber;
        std::optional<double> value;
    } cases[] = {
        {"1.5e-3", true, 1.5e-3},
        {"-2.25", true, -2.25},
        {"+7", true, 7.0},
        {"7", true, 7.0},
        {"0.5", true, 0.5},
        {"5.", true, 5.0},
        {".5", true, 0.5},
        {"1.5e+2", true, 150.0},
        {"1e5", false, std::nullopt},
        {"1.2.3", false, std::nullopt},
        {"1.5E3", false, std::nullopt},
        {".", false, std::nullopt},
        {"", false, std::nullopt},
        {"-", false, std::nullopt},
        {"12a", false, std::nullopt},
        {" 1.0", false, std::nullopt},
        {"1.5e-3e", false, std::nullopt},
        // accepted by the grammar, yet no number
        {"-.", true, std::nullopt},
        {"+-", true, std::nullopt},
        {"1.5e", true, std::nullopt},
        {"1.5e+-", true, std::nullopt},
        {"-+5", true, std::nullopt},
        {"1.5e--3", true, std::nullopt},
        {"1.0e999", true, std::nullopt}, // overflows double
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsNumber(c.text), c.isNumber) << '"' << c.text << '"';
        EXPECT_EQ(NumberValue(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(Validators, IntegersAndTheirValues) {
    const struct {
        const char* text;
        bool isInteger;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"12", true, 12},
        {"-3", true, -3},
        {"+3", true, 3},
        {"0", true, 0},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"--5", false, std::nullopt},
        {"5-", false, std::nullopt},
        {"1.0", false, std::nullopt},
        {"", false, std::nullopt},
        // accepted by the grammar, yet no 32-bit integer
        {"-", true, std::nullopt},
        {"+", true, std::nullopt},
        {"+-5", true, std::nullopt},
        {"2147483648", true, std::nullopt},
        {"-99999999999999999999999", true, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsInteger(c.text), c.isInteger) << '"' << c.text << '"';
        EXPECT_EQ(IntegerValue(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(Validators, FileNames) {
    const struct {
        std::string name;
        bool valid, usable;
    } cases[] = {
        {"Hall 2", true, true},
        {"a.b", true, true},
        {"", true, false},
        {"   ", true, false},
        {"name.", true, false},
        {"name ", true, false},
        {std::string("a\tb"), true, false},
        {"con", true, false},
        {"NUL.ker", true, false},
        {"COM1", true, false},
        {"COM0", true, true},
        {"LPT9.txt", true, false},
        {"console", true, true},
        {"a:b", false, false},
        {"a<b", false, false},
        {"a>b", false, false},
        {"a?b", false, false},
        {"a\\b", false, false},
        {"a|b", false, false},
        {"a\"b", false, false},
        {"a*b", false, false},
        {"a/b", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidFileName(c.name), c.valid) << '"' << c.name << '"';
        EXPECT_EQ(IsUsableFileName(c.name), c.usable) << '"' << c.name << '"';
    }
}

} // namespace
} // namespace tarvola
