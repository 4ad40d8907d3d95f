#include "base/PackedRecord.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tarvola {
namespace {

// A record of every field kind in file order: 1 + 2 + 2 + 4 + 8 + 10 bytes, no gaps.
constexpr std::size_t kRecordBytes = 27;

struct Fields {
    std::uint8_t byte = 0;
    std::uint16_t word = 0;
    std::int16_t smallInt = 0;
    std::int32_t int32 = 0;
    double real = 0;
    long double extended = 0;
};

std::array<std::uint8_t, kRecordBytes> Write(const Fields& f) {
    std::array<std::uint8_t, kRecordBytes> bytes{};
    PackedWriter w(bytes.data());
    w.Byte(f.byte);
    w.Word(f.word);
    w.SmallInt(f.smallInt);
    w.Int32(f.int32);
    w.Double(f.real);
    w.Extended(f.extended);
    EXPECT_EQ(w.Offset(), kRecordBytes);
    return bytes;
}

Fields Read(const std::uint8_t* bytes, bool& ok) {
    PackedReader r(bytes);
    Fields f;
    f.byte = r.Byte();
    f.word = r.Word();
    f.smallInt = r.SmallInt();
    f.int32 = r.Int32();
    f.real = r.Double();
    f.extended = r.Extended();
    EXPECT_EQ(r.Offset(), kRecordBytes);
    ok = r.Ok();
    return f;
}

TEST(PackedRecord, FieldsLandAtTheirOffsetsLittleEndian) {
    const auto bytes = Write({0x11, 0x2233, -2, 0x44556677, 1.0, 1.0L});
    const std::array<std::uint8_t, kRecordBytes> expected = {
        0x11, 0x33, 0x22, 0xFE, 0xFF, 0x77, 0x66, 0x55, 0x44,        // byte, word, small int, int32
        0,    0,    0,    0,    0,    0,    0xF0, 0x3F,              // double 1.0
        0,    0,    0,    0,    0,    0,    0,    0x80, 0xFF, 0x3F}; // extended 1.0
    EXPECT_EQ(bytes, expected);
}

TEST(PackedRecord, ReadsBackWhatWasWritten) {
    const Fields written{0xFF, 0xFFFF, -32768, INT32_MIN, -0.25, 1.0L / 3.0L};
    bool ok = false;
    const Fields read = Read(Write(written).data(), ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(read.byte, written.byte);
    EXPECT_EQ(read.word, written.word);
    EXPECT_EQ(read.smallInt, written.smallInt);
    EXPECT_EQ(read.int32, written.int32);
    EXPECT_EQ(read.real, written.real);
    EXPECT_EQ(read.extended, written.extended);
}

TEST(PackedRecord, NonFiniteFloatFieldsMakeTheRecordUnusable) {
    const struct {
        const char* name;
        double real;
        long double extended;
    } cases[] = {
        {"double infinity", std::numeric_limits<double>::infinity(), 0},
        {"double NaN", std::nan(""), 0},
        {"extended infinity", 0, std::numeric_limits<long double>::infinity()},
        {"extended NaN", 0, std::nanl("")},
    };
    for (const auto& c : cases) {
        Fields written;
        written.int32 = 7;
        written.real = c.real;
        written.extended = c.extended;
        bool ok = true;
        const Fields read = Read(Write(written).data(), ok);
        EXPECT_FALSE(ok) << c.name;
        EXPECT_EQ(read.int32, 7) << c.name << ": the fields around it are still read";
        EXPECT_EQ(read.real, std::isfinite(c.real) ? c.real : 0.0) << c.name;
        EXPECT_EQ(read.extended, std::isfinite(c.extended) ? c.extended : 0.0L) << c.name;
    }
}

} // namespace
} // namespace tarvola
