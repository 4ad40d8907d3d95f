#include "base/Numerics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace tarvola {
namespace {

TEST(Numerics, RoundIsHalvesToEven) {
    const struct {
        long double in;
        std::int32_t out;
    } cases[] = {{0.5L, 0},   {1.5L, 2},   {2.5L, 2},    {-0.5L, 0},
                 {-1.5L, -2}, {-2.5L, -2}, {2.4999L, 2}, {2.5001L, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(Round32(c.in), c.out) << static_cast<double>(c.in);
}

TEST(Numerics, ConversionsOutOfRangeRaise) {
    EXPECT_EQ(Round32(2147483647.4L), 2147483647);
    EXPECT_THROW(Round32(2147483647.5L), FloatError);
    EXPECT_EQ(Trunc32(-2147483648.9L), -2147483647 - 1);
    EXPECT_THROW(Trunc32(-2147483649.0L), FloatError);
    EXPECT_THROW(Round64(NAN), FloatError);
    EXPECT_THROW(Trunc64(INFINITY), FloatError);
}

TEST(Numerics, CheckedArithmeticRaisesOnOverflow) {
    EXPECT_EQ(CheckedAdd<std::int32_t>(2147483646, 1), 2147483647);
    EXPECT_THROW(CheckedAdd<std::int32_t>(2147483647, 1), OverflowError);
    EXPECT_THROW(CheckedSub<std::int32_t>(-2147483647 - 1, 1), OverflowError);
    EXPECT_THROW(CheckedMul<std::int32_t>(65536, 32768), OverflowError);
    EXPECT_THROW(CheckedCast<std::uint16_t>(70000), OverflowError);
    EXPECT_THROW(CheckedCast<std::uint32_t>(-1), OverflowError);
    EXPECT_EQ(CheckedCast<std::int32_t>(std::int64_t{-5}), -5);
}

TEST(Numerics, CheckIndexRefusesOutsideTheList) {
    EXPECT_NO_THROW(CheckIndex(0, 1));
    EXPECT_THROW(CheckIndex(1, 1), RangeError);
    EXPECT_THROW(CheckIndex(-1, 5), RangeError);
    EXPECT_THROW(CheckIndex(0, 0), RangeError);
}

} // namespace
} // namespace tarvola
