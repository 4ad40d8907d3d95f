// Bitmap file images of the thumbnails: the 24-bit writer's exact layout, the reader over every depth and row
// order it takes, and damaged images refused before any byte outside them is read.
#include "explorer/BitmapFile.h"

#include "base/ByteOrder.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace tarvola {
namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU32(Bytes& bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutU16(Bytes& bytes, std::uint32_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

// A bitmap file as other programs write them: the headers, masks and palette, then the rows as given.
struct BmpSpec {
    std::uint32_t headerSize = 40;
    std::int32_t width = 2;
    std::int32_t height = 2;
    int bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> masks;
    std::vector<std::uint32_t> palette;
    Bytes rows;
};

Bytes Build(const BmpSpec& spec) {
    Bytes info;
    PutU32(info, spec.headerSize);
    if (spec.headerSize == 12) {
        PutU16(info, static_cast<std::uint32_t>(spec.width));
        PutU16(info, static_cast<std::uint32_t>(spec.height));
        PutU16(info, 1);
        PutU16(info, static_cast<std::uint32_t>(spec.bits));
    } else {
        PutU32(info, static_cast<std::uint32_t>(spec.width));
        PutU32(info, static_cast<std::uint32_t>(spec.height));
        PutU16(info, 1);
        PutU16(info, static_cast<std::uint32_t>(spec.bits));
        PutU32(info, spec.compression);
        PutU32(info, static_cast<std::uint32_t>(spec.rows.size()));
        PutU32(info, 0);
        PutU32(info, 0);
        PutU32(info, spec.colorsUsed);
        PutU32(info, 0);
        info.resize(spec.headerSize, 0);
    }
    for (std::uint32_t mask : spec.masks)
        PutU32(info, mask);
    for (std::uint32_t colour : spec.palette) {
        info.push_back(static_cast<std::uint8_t>(colour));
        info.push_back(static_cast<std::uint8_t>(colour >> 8));
        info.push_back(static_cast<std::uint8_t>(colour >> 16));
        if (spec.headerSize != 12)
            info.push_back(0);
    }
    Bytes file = {'B', 'M'};
    PutU32(file, static_cast<std::uint32_t>(14 + info.size() + spec.rows.size()));
    PutU32(file, 0);
    PutU32(file, static_cast<std::uint32_t>(14 + info.size()));
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), spec.rows.begin(), spec.rows.end());
    return file;
}

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

TEST(BitmapFile, WritesA24BitBottomUpFile) {
    // clang-format off
    const Bytes expected = {
        'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,            // file of 78 bytes, rows at 54
        40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,          // 3 x 2, one plane, 24 bits
        0, 0, 0, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,           // plain rows of 24 bytes, no resolution
        0, 0, 0, 0, 0, 0, 0, 0,                                    // no palette
        0x33, 0x22, 0x11, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0,      // bottom row, padded to 12 bytes
        0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0,               // top row
    };
    // clang-format on
    const TPixelImage image{3, 2, {kRed, kGreen, kBlue, 0x112233, 0, kWhite}};
    EXPECT_EQ(EncodeBmp(image), expected);
    EXPECT_THROW(EncodeBmp(TPixelImage{2, 2, {kRed}}), std::invalid_argument);
    EXPECT_THROW(EncodeBmp(TPixelImage{}), std::invalid_argument);
}

TEST(BitmapFile, RoundTripKeepsEveryWidthsPadding) {
    for (int width = 1; width <= 6; ++width) {
        TPixelImage image{width, 3, {}};
        for (int i = 0; i < width * 3; ++i)
            image.Pixels.push_back(static_cast<std::uint32_t>(i * 0x0A1B2C) & 0xFFFFFF);
        const TPixelImage decoded = DecodeBmp(EncodeBmp(image));
        EXPECT_EQ(decoded.Width, width);
        EXPECT_EQ(decoded.Height, 3);
        EXPECT_EQ(decoded.Pixels, image.Pixels) << width;
    }
}

// Every case is the 2 x 2 picture red, green over blue, white (or its palette's colours), top row first.
TEST(BitmapFile, ReadsEveryDepthAndRowOrder) {
    const std::vector<std::uint32_t> four = {kRed, kGreen, kBlue, kWhite};
    // A core header has no count of colours used: its palette is whole.
    std::vector<std::uint32_t> whole = four;
    whole.resize(256, 0);
    struct Case {
        const char* name;
        BmpSpec spec;
        std::vector<std::uint32_t> pixels;
    };
    const Case cases[] = {
        {"1 bit",
         {.bits = 1, .palette = {0x112233, 0x445566}, .rows = {0x40, 0, 0, 0, 0x80, 0, 0, 0}},
         {0x445566, 0x112233, 0x112233, 0x445566}},
        {"4 bits",
         {.bits = 4, .colorsUsed = 4, .palette = four, .rows = {0x23, 0, 0, 0, 0x01, 0, 0, 0}},
         four},
        {"8 bits", {.bits = 8, .colorsUsed = 4, .palette = four, .rows = {2, 3, 0, 0, 0, 1, 0, 0}}, four},
        {"8 bits, core header",
         {.headerSize = 12, .bits = 8, .palette = whole, .rows = {2, 3, 0, 0, 0, 1, 0, 0}},
         four},
        {"8 bits, short palette",
         {.bits = 8, .colorsUsed = 2, .palette = {kRed, kGreen}, .rows = {2, 3, 0, 0, 0, 1, 0, 0}},
         {kRed, kGreen, 0, 0}},
        {"24 bits, top-down",
         {.height = -2, .rows = {0, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0}},
         four},
        {"24 bits, last row unpadded",
         {.rows = {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0xFF, 0}},
         four},
        {"32 bits",
         {.bits = 32, .rows = {0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0}},
         four},
        {"32 bits, RGB masks after the header",
         {.bits = 32,
          .compression = 3,
          .masks = {0x000000FF, 0x0000FF00, 0x00FF0000},
          .rows = {0, 0, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0}},
         four},
        {"32 bits, masks in a V4 header",
         {.headerSize = 108,
          .bits = 32,
          .compression = 3,
          .rows = {0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0}},
         four},
    };
    for (const Case& c : cases) {
        BmpSpec spec = c.spec;
        Bytes file = Build(spec);
        if (spec.headerSize == 108) // the masks stand at the 40-byte header's end inside the V4 header
            for (int i = 0; i < 3; ++i)
                PutLE<std::uint32_t>(file.data() + 14 + 40 + 4 * i, std::uint32_t{0xFF0000} >> (8 * i));
        const TPixelImage image = DecodeBmp(file);
        EXPECT_EQ(image.Width, 2) << c.name;
        EXPECT_EQ(image.Height, 2) << c.name;
        EXPECT_EQ(image.Pixels, c.pixels) << c.name;
    }
}

TEST(BitmapFile, RefusesDamagedOrUnsupportedImages) {
    const BmpSpec good{.rows = Bytes(16, 0x80)};
    const Bytes file = Build(good);
    ASSERT_NO_THROW(DecodeBmp(file));
    const auto with = [&file](std::size_t offset, std::uint32_t value) {
        Bytes changed = file;
        PutLE<std::uint32_t>(changed.data() + offset, value);
        return changed;
    };
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"file header only", Bytes(file.begin(), file.begin() + 14)},
        {"not BM",
         [&] {
             Bytes b = file;
             b[0] = 'P';
             return b;
         }()},
        {"rows past the end", with(10, static_cast<std::uint32_t>(file.size()))},
        {"rows offset far out", with(10, 0xFFFFFFF0u)},
        {"a row short", Bytes(file.begin(), file.end() - 3)},
        {"header size 20", with(14, 20)},
        {"header past the end", with(14, 0xFFFFFFFFu)},
        {"width 0", with(18, 0)},
        {"negative width", with(18, 0xFFFFFFFEu)},
        {"height 0", with(22, 0)},
        {"smallest height", with(22, static_cast<std::uint32_t>(INT_MIN))},
        {"too many pixels", with(18, 0x7FFFFFFF)},
        {"16 bits",
         [&] {
             Bytes b = file;
             b[28] = 16;
             return b;
         }()},
        {"run-length rows", with(30, 1)},
        {"8 bits, palette past the end", Build(BmpSpec{.bits = 8, .palette = {}, .rows = {}})},
        {"32 bits, masks past the end",
         Build(BmpSpec{.width = 1, .height = 1, .bits = 32, .compression = 3})},
    };
    for (const Case& c : cases)
        EXPECT_THROW(DecodeBmp(c.bytes), EBitmapError) << c.name;
}

} // namespace
} // namespace tarvola
