#include "base/NumberText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace tarvola {
namespace {

TEST(NumberText, Int32TakesWholeTextsThatFit) {
    const struct {
        const char* text;
        bool decimal;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"0", true, 0},
        {"+7", true, 7},
        {"-0", true, 0},
        {"000123", true, 123},
        {"2147483647", true, INT32_MAX},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", true, std::nullopt},
        {"-2147483649", true, std::nullopt},
        {"99999999999999999999999", true, std::nullopt}, // beyond any 64-bit value
        {"", false, std::nullopt},
        {"-", false, std::nullopt},
        {"+-5", false, std::nullopt},
        {"--5", false, std::nullopt},
        {" 5", false, std::nullopt},
        {"5 ", false, std::nullopt},
        {"1.0", false, std::nullopt},
        {"0x10", false, std::nullopt},
        {"12a", false, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsDecimalInteger(c.text), c.decimal) << '"' << c.text << '"';
        EXPECT_EQ(Int32FromText(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(NumberText, DoubleTakesWholeFiniteDecimalTexts) {
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"1.5e-3", 1.5e-3},
        {"-2.25", -2.25},
        {"+7", 7.0},
        {"1E3", 1000.0},
        {".5", 0.5},
        {"1e-400", 0.0}, // too small: the nearest double
        {"1e400", std::nullopt},
        {"-1e400", std::nullopt},
        {"", std::nullopt},
        {".", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1e", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"0x1p3", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DoubleFromText(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumberText, TextNeedNotBeTerminated) {
    const std::string line = "12345";
    EXPECT_EQ(Int32FromText(std::string_view(line).substr(0, 2)), 12);
    EXPECT_EQ(DoubleFromText(std::string_view(line).substr(1, 2)), 23.0);
}

} // namespace
} // namespace tarvola
