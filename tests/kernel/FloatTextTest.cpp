#include "kernel/FloatText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarvola {
namespace {

struct FloatTextCase {
    long double value;
    TFloatFormat format;
    int precision;
    int digits;
    const char* text;
};

constexpr auto F = TFloatFormat::ffFixed;
constexpr auto G = TFloatFormat::ffGeneral;
constexpr auto N = TFloatFormat::ffNumber;

TEST(FloatText, FormatsAsTheTableSays) {
    const FloatTextCase cases[] = {
        // Fixed: exactly Digits decimals, at most Precision significant digits.
        {0, F, 7, 4, "0.0000"},
        {-2, F, 7, 4, "-2.0000"},
        {1, F, 7, 0, "1"},
        {0.5L, F, 7, 4, "0.5000"},
        {-1.5L, F, 7, 0, "-2"},
        {2.5L, F, 7, 0, "3"},
        {0.125L, F, 7, 2, "0.13"},
        {1.0L / 3, F, 7, 4, "0.3333"},
        {2.0L / 3, F, 7, 8, "0.66666670"},
        {1234567.891L, F, 7, 2, "1234568.00"},
        {0.006L, F, 7, 2, "0.01"},
        {0.004L, F, 7, 2, "0.00"},
        {-0.004L, F, 7, 2, "0.00"},
        {9.99999L, F, 7, 4, "10.0000"},
        {-400, F, 7, 0, "-400"},
        // More integer digits than Precision: written as general.
        {12345678, F, 7, 2, "1.234568E7"},
        {1e30L, F, 7, 4, "1E30"},
        // Number: thousands separators.
        {1234567.5L, N, 10, 2, "1,234,567.50"},
        {-999.25L, N, 10, 1, "-999.3"},
        {1000, N, 10, 0, "1,000"},
        {0.5L, N, 10, 3, "0.500"},
        // General: shortest text.
        {0.1L, G, 18, 0, "0.1"},
        {0.1L, G, 15, 0, "0.1"},
        {1.0L / 3, G, 18, 0, "0.333333333333333333"},
        {100, G, 18, 0, "100"},
        {1e20L, G, 18, 0, "1E20"},
        {-1.5e-7L, G, 15, 0, "-1.5E-7"},
        {0.00001L, G, 15, 0, "0.00001"},
        {0, G, 15, 0, "0"},
        {std::numeric_limits<long double>::denorm_min(), G, 3, 0, "3.65E-4951"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits), c.text)
            << "value " << static_cast<double>(c.value) << " precision " << c.precision << " digits "
            << c.digits;
}

TEST(FloatText, NonFiniteValuesHaveNames) {
    EXPECT_EQ(FloatToStrF(std::numeric_limits<long double>::quiet_NaN(), F, 7, 2), "NAN");
    EXPECT_EQ(FloatToStrF(std::numeric_limits<long double>::infinity(), G, 15, 0), "INF");
    EXPECT_EQ(FloatToStrF(-std::numeric_limits<long double>::infinity(), N, 15, 2), "-INF");
}

} // namespace
} // namespace tarvola
