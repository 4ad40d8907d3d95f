#include "kernel/EditDialogValues.h"

#include "base/Numerics.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tarvola {
namespace {

TEST(EditDialogValues, TrackPositionsStandForValues) {
    const struct {
        int position;
        const char* text2;
        const char* text3;
    } cases[] = {
        {-200, "2.00", "2.000"}, // thumb at the top
        {200, "-2.00", "-2.000"}, {0, "0.00", "0.000"},    {-100, "1.00", "1.000"},
        {-50, "0.50", "0.500"},   {37, "-0.37", "-0.370"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(ValueText(TrackValue(c.position), 2), c.text2);
        EXPECT_EQ(ValueText(TrackValue(c.position), 3), c.text3);
    }
}

TEST(EditDialogValues, TypedValuesMoveTheThumbWithinTheBar) {
    const struct {
        long double value;
        int min, max;
        int position;
    } cases[] = {
        {0.5L, -200, 200, -50},    {-1.0L, -200, 200, 100},
        {0.0L, -200, 200, 0},      {0.125L, -200, 200, -12},  // -12.5: halves to even
        {0.375L, -200, 200, -38},                             // -37.5
        {0.004L, -200, 200, 0},    {5.0L, -200, 200, -200},   // typed values are not limited, the thumb is
        {-5.0L, -100, 100, 100},   {1e300L, -200, 200, -200}, // far beyond any integer
        {-1e300L, -200, 200, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<double>(c.value));
        EXPECT_EQ(TrackPosition(c.value, c.min, c.max), c.position);
    }
}

TEST(EditDialogValues, OnlyNumbersAreTaken) {
    EXPECT_EQ(TypedNumber("0.5"), std::optional<long double>(0.5L));
    EXPECT_EQ(TypedNumber("-2.25"), std::optional<long double>(-2.25L));
    EXPECT_EQ(TypedNumber("+7"), std::optional<long double>(7.0L));
    EXPECT_EQ(TypedNumber("1.5e-3"), std::optional<long double>(static_cast<long double>(1.5e-3)));
    for (const char* text : {"", "abc", "0,5", "1e5", "1.5e", "-", ".", "1.2.3", " 1", "1.0e5000"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(TypedNumber(text).has_value());
    }
}

TEST(EditDialogValues, HarmonicTargetsRoundHalvesToEven) {
    const struct {
        std::int32_t low;
        int item;
        std::int32_t target;
    } cases[] = {
        {100, 0, 50},  {101, 1, 34},                 // 33.66633
        {5, 0, 2},     {7, 0, 4},                    // 2.5 and 3.5
        {-5, 0, -2},   {120, 2, 30},   {101, 3, 20}, // 20.2
        {600, 4, 100},                               // 99.996
        {0, 1, 0},     {-101, 1, -34},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.low) + " item " + std::to_string(c.item));
        EXPECT_EQ(HarmonicTarget(c.low, c.item), c.target);
    }
    EXPECT_THROW(HarmonicTarget(100, -1), RangeError);
    EXPECT_THROW(HarmonicTarget(100, kHarmonicCount), RangeError);
}

TEST(EditDialogValues, ReflectorImpulsesOfTheFiveItems) {
    const std::int32_t expected[kReflectorCount] = {0, 5, 4, 7, 8};
    for (int item = 0; item < kReflectorCount; ++item)
        EXPECT_EQ(ReflectorImpulse(item, 5, 7), expected[item]) << item;
    EXPECT_THROW(ReflectorImpulse(kReflectorCount, 5, 7), RangeError);
    EXPECT_THROW(ReflectorImpulse(4, 5, INT32_MAX), OverflowError);
}

TEST(EditDialogValues, CenteredOverTheOwner) {
    EXPECT_EQ(CenteredOrigin(100, 1020, 219), 100 + 510 - 109);
    EXPECT_EQ(CenteredOrigin(0, 101, 51), 50 - 25);
    EXPECT_EQ(CenteredOrigin(-30, 40, 100), -30 + 20 - 50);
}

} // namespace
} // namespace tarvola
