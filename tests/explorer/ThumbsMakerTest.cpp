// Thumbnails made from picture files: the picture's rectangle in its box, the graphic classes and the
// extension lists, the scale a JPEG is decoded at, when a thumbnail is stored as JPEG, and damaged files
// ending in "no thumbnail" without raising.
#include "explorer/ThumbsMaker.h"

#include "base/Numerics.h"
#include "explorer/BitmapFile.h"
#include "explorer/JpegCodec.h"
#include "explorer/ThumbsExtensions.h"

#include <gtest/gtest.h>

namespace tarvola {
namespace {

using Bytes = std::vector<std::uint8_t>;

TPixelImage Solid(int width, int height, std::uint32_t colour) {
    return TPixelImage{width, height,
                       std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, colour)};
}

TEST(ThumbRect, FitsThePictureToItsBox) {
    struct Case {
        int width, height;
        bool stretch, center;
        TThumbRect rect;
    };
    const Case cases[] = {
        {50, 40, false, false, {0, 0, 50, 40}},
        {50, 40, true, false, {0, 0, 120, 96}},
        {1600, 1200, false, false, {0, 0, 120, 90}},
        {1200, 1600, false, false, {0, 0, 90, 120}},
        {120, 120, false, false, {0, 0, 120, 120}},
        {0, 100, false, false, {}},
        {100, -1, true, true, {}},
        {50, 40, false, true, {35, 40, 85, 80}},
        {1600, 1200, false, true, {0, 15, 120, 105}},
        {1, 1, false, false, {0, 0, 2, 2}},            // right and bottom at least 2
        {1000, 1, false, false, {0, 0, 120, 2}},       // 0 high at this scale
        {2000000000, 3, false, false, {0, 0, 120, 2}}, // the products do not fit 32 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(CalcThumbRect(c.width, c.height, 120, 120, c.stretch, c.center), c.rect)
            << c.width << "x" << c.height << " stretch " << c.stretch << " center " << c.center;
}

TEST(ThumbFiles, GraphicClassesAndStates) {
    struct Case {
        const char16_t* name;
        TGraphicClass graphic;
    };
    const Case cases[] = {
        {u"C:\\a\\b.JPG", TGraphicClass::Jpeg}, {u"b.jpeg", TGraphicClass::Jpeg},
        {u"b.Jif", TGraphicClass::Jpeg},        {u"b.bmp", TGraphicClass::Bitmap},
        {u"b.WMF", TGraphicClass::Metafile},    {u"b.emf", TGraphicClass::Metafile},
        {u"b.ico", TGraphicClass::Icon},        {u"b.png", TGraphicClass::None},
        {u"C:\\a.jpg\\b", TGraphicClass::None}, {u"jpg", TGraphicClass::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GraphicClassOfFile(c.name), c.graphic) << WideToUtf8(c.name);
    EXPECT_FALSE(IsThumbnailDone(tsNone));
    EXPECT_TRUE(IsThumbnailDone(tsRequested));
    EXPECT_TRUE(IsThumbnailDone(tsDone));
    EXPECT_FALSE(IsThumbnailDone(tsNoThumbnail));
}

TEST(ThumbFiles, ExtensionListsAddTheDotAndIgnoreCase) {
    TExtensionsList list;
    list.AddCommaText(u".jpg, .jpeg, .jif, .bmp, .emf, .wmf");
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(list.Get(0), u".bmp");
    EXPECT_EQ(list.Add(u"JPG"), list.IndexOf(u".jpg"));
    EXPECT_EQ(list.Count(), 6);
    const int png = list.Add(u"PNG");
    EXPECT_EQ(list.Get(png), u".png");
    EXPECT_GE(list.IndexOf(u"Jif"), 0);
    EXPECT_EQ(list.IndexOf(u"gif"), -1);

    EXPECT_EQ(list.GetColor(u".png"), TExtensionsList::NoColor);
    EXPECT_EQ(list.GetColor(u".gif"), TExtensionsList::NoColor);
    list.SetColor(png, 0); // black is a colour
    EXPECT_EQ(list.GetColor(u"png"), 0u);
    list.SetColor(list.IndexOf(u"png"), 0xEFD3D3);
    EXPECT_EQ(list.GetColor(u".PNG"), 0xEFD3D3u);
    EXPECT_THROW(list.SetColor(list.Count(), 1), RangeError);

    EXPECT_TRUE(list.DeleteString(u"PNG"));
    EXPECT_FALSE(list.DeleteString(u".png"));
    EXPECT_EQ(list.Count(), 6);
}

// A 1600 x 1200 photo in a 120 x 120 box: decoded at 1/4 (400 x 300), drawn 120 x 90.
TEST(ThumbMaker, DecodesAJpegJustAboveTheBox) {
    TPixelImage photo{1600, 1200, {}};
    for (int y = 0; y < 1200; ++y)
        for (int x = 0; x < 1600; ++x)
            photo.Pixels.push_back(static_cast<std::uint32_t>((x * 255 / 1600) << 16 | (y * 255 / 1200)));
    const Bytes jpeg = EncodeJpeg(photo, 90);
    const std::optional<TThumbnailPicture> picture =
        LoadThumbnailPicture(TGraphicClass::Jpeg, jpeg, 120, 120);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->Pixels.Width, 400);
    EXPECT_EQ(picture->Pixels.Height, 300);
    EXPECT_EQ(picture->ImageWidth, 1600);

    const TThumbnailResult result = MakeThumbnailResult(u"C:\\photo.JPG", jpeg, TThumbnailSettings{});
    ASSERT_EQ(result.State, tsDone);
    EXPECT_EQ(result.Width, 1600);
    EXPECT_EQ(result.Height, 1200);
    EXPECT_FALSE(result.Compressed);
    const TPixelImage thumbnail = DecodeBmp(result.Stream);
    EXPECT_EQ(thumbnail.Width, 120);
    EXPECT_EQ(thumbnail.Height, 90);
    // Not blank: the gradient runs from left to right.
    EXPECT_LT(thumbnail.At(2, 45) >> 16, thumbnail.At(117, 45) >> 16);
}

TEST(ThumbMaker, OnlyLargePicturesAreStoredAsJpeg) {
    struct Case {
        int width, height;
        bool compressed, jpeg;
    };
    const Case cases[] = {
        {300, 300, true, true},  {150, 300, true, false},  {201, 201, true, true},
        {200, 300, true, false}, {300, 300, false, false},
    };
    for (const Case& c : cases) {
        TThumbnailSettings settings;
        settings.Compressed = c.compressed;
        const TThumbnailResult result =
            MakeThumbnailResult(u"a.bmp", EncodeBmp(Solid(c.width, c.height, 0x336699)), settings);
        ASSERT_EQ(result.State, tsDone) << c.width << "x" << c.height;
        EXPECT_EQ(result.Compressed, c.jpeg) << c.width << "x" << c.height;
        const TPixelImage thumbnail = c.jpeg ? DecodeJpeg(result.Stream) : DecodeBmp(result.Stream);
        const TThumbRect rect = CalcThumbRect(c.width, c.height, 120, 120, false, false);
        EXPECT_EQ(thumbnail.Width, rect.Right) << c.width << "x" << c.height;
        EXPECT_EQ(thumbnail.Height, rect.Bottom) << c.width << "x" << c.height;
    }
}

TEST(ThumbMaker, FilesThatDoNotDecodeGiveNoThumbnail) {
    const Bytes jpeg = EncodeJpeg(Solid(64, 48, 0x808080), 60);
    const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0x0D, 'I', 'H', 'D', 'R'};
    // The start marker, then its first segments overwritten.
    Bytes corrupt(jpeg.begin(), jpeg.begin() + 2);
    corrupt.insert(corrupt.end(), 38, 0xA5);
    corrupt.insert(corrupt.end(), jpeg.begin() + 40, jpeg.end());
    struct Case {
        const char16_t* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {u"corrupt.jpg", corrupt},  {u"cut-in-header.jpg", Bytes(jpeg.begin(), jpeg.begin() + 30)},
        {u"really-a-png.jpg", png}, {u"empty.jpg", {}},
        {u"empty.bmp", {}},         {u"a-jpeg.bmp", jpeg},
        {u"picture.png", png},      {u"drawing.emf", jpeg}, // metafiles are drawn by the platform, not here
    };
    for (const Case& c : cases) {
        const TThumbnailResult result = MakeThumbnailResult(c.name, c.bytes, TThumbnailSettings{});
        EXPECT_EQ(result.State, tsNoThumbnail) << WideToUtf8(c.name);
        EXPECT_TRUE(result.Stream.empty()) << WideToUtf8(c.name);
    }
    // The next request is served as usual.
    EXPECT_EQ(MakeThumbnailResult(u"good.jpg", jpeg, TThumbnailSettings{}).State, tsDone);
}

TEST(ThumbMaker, DrawsIntoTheBackgroundAveragingOrTakingTheNearestPixel) {
    const TPixelImage checker{2, 2, {0xFFFFFF, 0x000000, 0x000000, 0xFFFFFF}};
    const TThumbRect one{0, 0, 1, 1};
    EXPECT_EQ(DrawThumbnail(checker, one, 1, 1, true, 0, false).Pixels, std::vector<std::uint32_t>{0x808080});
    EXPECT_EQ(DrawThumbnail(checker, one, 1, 1, false, 0, false).Pixels,
              std::vector<std::uint32_t>{0xFFFFFF});

    const TPixelImage red = Solid(50, 40, 0xFF0000);
    const TThumbRect centred = CalcThumbRect(50, 40, 120, 120, false, true);
    const TPixelImage bitmap = DrawThumbnail(red, centred, 120, 120, true, 0x00FF00, true);
    EXPECT_EQ(bitmap.Width, 120);
    EXPECT_EQ(bitmap.Height, 120);
    EXPECT_EQ(bitmap.At(0, 0), 0x00FF00u);
    EXPECT_EQ(bitmap.At(34, 60), 0x00FF00u);
    EXPECT_EQ(bitmap.At(35, 40), 0xFF0000u);
    EXPECT_EQ(bitmap.At(84, 79), 0xFF0000u);
    EXPECT_EQ(bitmap.At(85, 79), 0x00FF00u);
}

// A photo's thumbnail is drawn from the decoded rows as they come; it must be the thumbnail of the whole
// decoded picture, pixel for pixel, whatever the sizes, stretching and subsampling.
TEST(ThumbMaker, AJpegDrawnRowByRowEqualsItsWholePictureDrawn) {
    struct Case {
        int width, height, box;
        bool stretch, subsampling;
    };
    const Case cases[] = {
        {1600, 1200, 120, false, true},                                 // 1/4: 400 x 300 into 120 x 90
        {1600, 1200, 120, false, false}, {1203, 907, 120, false, true}, // sizes the scale does not divide
        {300, 1000, 120, false, true},   {130, 97, 120, false, true},   // full size, a little above the box
        {640, 480, 200, true, true},     {90, 60, 120, true, true},     // stretched up: the whole picture
        {50, 40, 120, false, true},      {1, 700, 120, false, true},    // smaller than the box; a line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.width << "x" << c.height << " in " << c.box << (c.stretch ? " stretched" : "")
                     << (c.subsampling ? "" : " nearest"));
        TPixelImage picture{c.width, c.height, {}};
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                picture.Pixels.push_back(static_cast<std::uint32_t>(
                    (x * 7 % 256) << 16 | (y * 255 / c.height) << 8 | ((x + y) % 256)));
        const Bytes jpeg = EncodeJpeg(picture, 90);
        TThumbnailSettings settings;
        settings.Width = settings.Height = c.box;
        settings.Stretch = c.stretch;
        settings.UseSubsampling = c.subsampling;
        settings.BackColor = 0x123456;
        const TThumbnailResult byRows = MakeThumbnailResult(u"p.jpg", jpeg, settings);
        const std::optional<TThumbnailPicture> whole =
            LoadThumbnailPicture(TGraphicClass::Jpeg, jpeg, c.box, c.box);
        ASSERT_TRUE(whole.has_value());
        const TThumbnailResult fromWhole = MakeThumbnailFromPicture(*whole, settings);
        ASSERT_EQ(byRows.State, tsDone);
        EXPECT_EQ(byRows.Width, c.width);
        EXPECT_EQ(byRows.Height, c.height);
        EXPECT_TRUE(byRows.Stream == fromWhole.Stream);
    }
}

} // namespace
} // namespace tarvola
