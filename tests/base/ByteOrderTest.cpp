#include "base/ByteOrder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace tarvola {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ByteOrder, FieldsOfEveryWidthInBothOrders) {
    const struct {
        std::uint64_t value;
        std::size_t width;
        Bytes little, big;
    } cases[] = {
        {0xAB, 1, {0xAB}, {0xAB}},
        {0x1234, 2, {0x34, 0x12}, {0x12, 0x34}},
        {0x563412, 3, {0x12, 0x34, 0x56}, {0x56, 0x34, 0x12}},
        {0xFFFFFFFE, 4, {0xFE, 0xFF, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF, 0xFE}},
        {0x0102030405060708, 8, {8, 7, 6, 5, 4, 3, 2, 1}, {1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const auto& c : cases) {
        Bytes out(c.width);
        PutUnsigned(out.data(), c.value, c.width);
        EXPECT_EQ(out, c.little) << c.width;
        EXPECT_EQ(GetUnsigned(c.little.data(), c.width), c.value) << c.width;
        PutUnsigned(out.data(), c.value, c.width, Endian::Big);
        EXPECT_EQ(out, c.big) << c.width;
        EXPECT_EQ(GetUnsigned(c.big.data(), c.width, Endian::Big), c.value) << c.width;
    }
}

TEST(ByteOrder, SignedFieldsAreTwosComplement) {
    std::array<std::uint8_t, 4> out{};
    PutLE<std::int32_t>(out.data(), -2);
    EXPECT_EQ(out, (std::array<std::uint8_t, 4>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(GetLE<std::int32_t>(out.data()), -2);

    const std::uint8_t extremes[] = {0x00, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_EQ(GetLE<std::int32_t>(extremes), INT32_MIN);
    EXPECT_EQ(GetLE<std::int32_t>(extremes + 4), INT32_MAX);
    EXPECT_EQ(GetLE<std::int16_t>(extremes + 2), -32768);
    EXPECT_EQ(GetLE<std::int16_t>(extremes + 3), -128);
}

TEST(ByteOrder, FieldsAtOddOffsetsLeaveTheirNeighboursAlone) {
    Bytes record(7, 0xEE);
    PutUnsigned(record.data() + 1, 0x01020304, 4, Endian::Big);
    EXPECT_EQ(record, (Bytes{0xEE, 1, 2, 3, 4, 0xEE, 0xEE}));
    EXPECT_EQ(GetLE<std::uint16_t>(record.data() + 3), 0x0403);
}

TEST(ByteOrder, ReversesEachItem) {
    const struct {
        std::size_t count, size;
        Bytes expected;
    } cases[] = {
        {2, 3, {3, 2, 1, 6, 5, 4}}, {3, 2, {2, 1, 4, 3, 6, 5}}, {1, 6, {6, 5, 4, 3, 2, 1}},
        {6, 1, {1, 2, 3, 4, 5, 6}}, {0, 4, {1, 2, 3, 4, 5, 6}},
    };
    for (const auto& c : cases) {
        Bytes bytes = {1, 2, 3, 4, 5, 6};
        ReverseEachItem(bytes.data(), c.count, c.size);
        EXPECT_EQ(bytes, c.expected) << c.count << " x " << c.size;
    }
}

} // namespace
} // namespace tarvola
