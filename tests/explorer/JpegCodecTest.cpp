// The JPEG codec behind the thumbnails: the scale choice, sizes as the library rounds them, a quality-60
// round trip, and damaged input ending in "JPEG error #<code>" (or, for a truncated file, in a picture).
#include "explorer/JpegCodec.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tarvola {
namespace {

TPixelImage Gradient(int width, int height) {
    TPixelImage image{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t r = 255u * x / width, g = 255u * y / height, b = 128;
            image.Pixels.push_back((r << 16) | (g << 8) | b);
        }
    return image;
}

int Channel(std::uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

TEST(JpegScale, HalvesWhileTooLargeThenStepsBackOnce) {
    struct Case {
        int width, height, box, denominator;
    };
    const Case cases[] = {
        {1600, 1200, 120, 4}, // 1/8 gives 200 x 150, still too large: decoded at 1/4
        {100, 80, 120, 1},    {240, 240, 120, 1}, {241, 241, 120, 2},
        {50000, 10, 120, 4},  {960, 720, 120, 4}, {961, 720, 120, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseJpegScale(TJpegSize{c.width, c.height}, c.box, c.box), c.denominator)
            << c.width << "x" << c.height;
}

TEST(JpegCodec, DecodesScaledSizesAsTheLibraryRoundsThem) {
    const std::vector<std::uint8_t> jpeg = EncodeJpeg(Gradient(37, 23), 60);
    const TJpegSize size = ReadJpegSize(jpeg);
    EXPECT_EQ(size.Width, 37);
    EXPECT_EQ(size.Height, 23);
    for (int denominator : {1, 2, 4, 8}) {
        const TPixelImage image = DecodeJpeg(jpeg, denominator, true);
        const TJpegSize expected = ScaledJpegSize(size, denominator);
        EXPECT_EQ(image.Width, expected.Width) << denominator;
        EXPECT_EQ(image.Height, expected.Height) << denominator;
        EXPECT_EQ(image.Pixels.size(), static_cast<std::size_t>(image.Width) * image.Height);
    }
    EXPECT_EQ(ScaledJpegSize(TJpegSize{37, 23}, 8).Width, 5);
    EXPECT_THROW(DecodeJpeg(jpeg, 3), std::invalid_argument);
}

TEST(JpegCodec, Quality60RoundTripKeepsThePicture) {
    const TPixelImage original = Gradient(64, 48);
    const std::vector<std::uint8_t> jpeg = EncodeJpeg(original, 60);
    ASSERT_GT(jpeg.size(), 4u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    const TPixelImage decoded = DecodeJpeg(jpeg);
    ASSERT_EQ(decoded.Width, 64);
    ASSERT_EQ(decoded.Height, 48);
    long long error = 0;
    int worst = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            for (int shift : {0, 8, 16}) {
                const int d = std::abs(Channel(decoded.At(x, y), shift) - Channel(original.At(x, y), shift));
                error += d;
                worst = std::max(worst, d);
            }
    EXPECT_LT(error / (64.0 * 48 * 3), 3.0) << "mean error per channel";
    EXPECT_LT(worst, 40);
}

// Damaged input: every case either raises the JPEG error or, where the library only warns (a file cut
// short after its header), gives a picture of the stated size.
TEST(JpegCodec, DamagedInputRaisesTheJpegErrorOrDecodesWhatThereIs) {
    const std::vector<std::uint8_t> good = EncodeJpeg(Gradient(400, 300), 60);
    // Cut inside the entropy-coded data: past the start-of-scan marker.
    std::size_t scan = 0;
    for (std::size_t i = 0; i + 1 < good.size() && scan == 0; ++i)
        if (good[i] == 0xFF && good[i + 1] == 0xDA)
            scan = i;
    ASSERT_GT(scan, 0u);
    ASSERT_GT(good.size(), scan + 200);
    std::vector<std::uint8_t> truncated(good.begin(), good.begin() + (scan + good.size()) / 2);
    std::vector<std::uint8_t> headerCut(good.begin(), good.begin() + 20);
    std::vector<std::uint8_t> notJpeg(200, 0x41);
    std::vector<std::uint8_t> empty;

    EXPECT_THROW(DecodeJpeg(empty), EJpegError);
    EXPECT_THROW(DecodeJpeg(notJpeg), EJpegError);
    EXPECT_THROW(DecodeJpeg(headerCut), EJpegError);
    EXPECT_THROW(ReadJpegSize(notJpeg), EJpegError);
    const TPixelImage partial = DecodeJpeg(truncated);
    EXPECT_EQ(partial.Width, 400);
    EXPECT_EQ(partial.Height, 300);

    try {
        DecodeJpeg(notJpeg);
    } catch (const EJpegError& error) {
        EXPECT_EQ(std::string(error.what()), "JPEG error #" + std::to_string(error.Code()));
        EXPECT_GT(error.Code(), 0);
    }
}

// A header that claims a picture far larger than anything a thumbnail needs is refused before any
// allocation.
TEST(JpegCodec, RefusesAHugeStatedPicture) {
    std::vector<std::uint8_t> jpeg = EncodeJpeg(Gradient(16, 16), 60);
    bool patched = false;
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            // SOF0: length (2), precision (1), height (2), width (2).
            jpeg[i + 5] = 0x75;
            jpeg[i + 6] = 0x30;
            jpeg[i + 7] = 0x75;
            jpeg[i + 8] = 0x30;
            patched = true;
            break;
        }
    ASSERT_TRUE(patched);
    EXPECT_EQ(ReadJpegSize(jpeg).Width, 30000);
    EXPECT_THROW(DecodeJpeg(jpeg), EJpegError);
    EXPECT_NO_THROW(DecodeJpeg(jpeg, 8)) << "at 1/8 the same picture is small enough";
}

TEST(JpegCodec, IsJPEGErrorMatchesItsFourCodes) {
    for (int code : {57, 60, 67, 68})
        EXPECT_TRUE(IsJPEGError(EJpegError(code))) << code;
    for (int code : {1, 56, 61, 69})
        EXPECT_FALSE(IsJPEGError(EJpegError(code))) << code;
    EXPECT_TRUE(IsJPEGError(std::runtime_error("JPEG error #67")));
    EXPECT_FALSE(IsJPEGError(std::runtime_error("JPEG error #67 ")));
}

} // namespace
} // namespace tarvola
