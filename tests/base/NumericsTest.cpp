#include "base/Extended80.h"
#include "base/Numerics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace tarvola {
namespace {

TEST(Extended80, EncodesKnownValuesLittleEndian) {
    struct Case {
        long double value;
        Extended80Bytes bytes;
    };
    const Case cases[] = {
        {1.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}}, {-2.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}},
        {0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},          {0.5L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x3F}},
        {3.0L, {0, 0, 0, 0, 0, 0, 0, 0xC0, 0x00, 0x40}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeExtendedLE(c.value), c.bytes) << static_cast<double>(c.value);
        EXPECT_EQ(DecodeExtendedLE(c.bytes.data()), c.value);
    }
}

TEST(Extended80, AiffSampleRateFieldIsBigEndian) {
    const Extended80Bytes rate44100 = {0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(EncodeExtendedBE(44100.0L), rate44100);
    EXPECT_EQ(DecodeExtendedBE(rate44100.data()), 44100.0L);
    const Extended80Bytes rate8000 = {0x40, 0x0B, 0xFA, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(DecodeExtendedBE(rate8000.data()), 8000.0L);
}

TEST(Extended80, RoundTripsEveryBitOfTheSignificand) {
    const long double values[] = {1.0L / 3.0L,
                                  -1e-300L,
                                  12345.6789L,
                                  std::numeric_limits<long double>::max(),
                                  std::numeric_limits<long double>::denorm_min(),
                                  std::numeric_limits<long double>::min(),
                                  -0.0L};
    for (long double v : values) {
        const long double back = DecodeExtendedLE(EncodeExtendedLE(v).data());
        EXPECT_EQ(back, v);
        EXPECT_EQ(std::signbit(back), std::signbit(v));
    }
    EXPECT_TRUE(std::isinf(DecodeExtendedLE(EncodeExtendedLE(-INFINITY).data())));
    EXPECT_TRUE(std::isnan(DecodeExtendedLE(EncodeExtendedLE(NAN).data())));
}

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
