#include "base/Extended80.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

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

TEST(Extended80, StoredFieldsAreOnlyFiniteEncodingsTheX87Loads) {
    const struct {
        const char* name;
        std::uint8_t bytes[10];
        bool accepted;
        long double value;
    } cases[] = {
        {"one", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}, true, 1.0L},
        {"minus two", {0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}, true, -2.0L},
        {"zero", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true, 0.0L},
        {"denormal", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true, std::numeric_limits<long double>::denorm_min()},
        {"infinity", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}, false, 0},
        {"NaN", {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0xFF}, false, 0},
        {"pseudo-infinity", {0, 0, 0, 0, 0, 0, 0, 0x00, 0xFF, 0x7F}, false, 0},
        {"unnormal", {0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F}, false, 0},
        {"pseudo-denormal", {0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0}, false, 0},
    };
    for (const auto& c : cases) {
        const std::optional<long double> value = DecodeStoredExtended(c.bytes);
        ASSERT_EQ(value.has_value(), c.accepted) << c.name;
        if (value) {
            EXPECT_EQ(*value, c.value) << c.name;
        }
    }
}

TEST(Extended80, ClassifiesEncodingsAsTheX87TakesThem) {
    const struct {
        const char* name;
        std::uint8_t bytes[10];
        Extended80Encoding encoding;
    } cases[] = {
        {"one", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}, Extended80Encoding::Number},
        {"zero", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, Extended80Encoding::Number},
        {"negative denormal", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}, Extended80Encoding::Number},
        {"largest", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x7F}, Extended80Encoding::Number},
        {"pseudo-denormal", {0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0}, Extended80Encoding::PseudoDenormal},
        {"unnormal", {0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F}, Extended80Encoding::Unnormal},
        {"infinity", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}, Extended80Encoding::NotFinite},
        {"pseudo-NaN", {1, 0, 0, 0, 0, 0, 0, 0x00, 0xFF, 0xFF}, Extended80Encoding::NotFinite},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyExtendedLE(c.bytes), c.encoding) << c.name;
}

} // namespace
} // namespace tarvola
