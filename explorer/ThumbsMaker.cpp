#include "explorer/ThumbsMaker.h"

#include "base/Numerics.h"
#include "explorer/BitmapFile.h"
#include "explorer/JpegCodec.h"
#include "shell/VirtualUtilities.h"

#include <algorithm>

namespace tarvola {

namespace {

constexpr int kJpegQuality = 60;

int Channel(std::uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

// The source pixels [first, last) that target pixel i of count covers among size; at least one.
void Span(int i, int count, int size, int& first, int& last) {
    first = static_cast<int>(std::int64_t{i} * size / count);
    last = static_cast<int>(std::int64_t{i + 1} * size / count);
    if (last <= first)
        last = std::min(first + 1, size);
}

std::uint32_t Average(const TPixelImage& picture, int x0, int x1, int y0, int y1) {
    std::int64_t sums[3] = {0, 0, 0};
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint32_t pixel = picture.Pixels[static_cast<std::size_t>(y) * picture.Width + x];
            sums[0] += Channel(pixel, 16);
            sums[1] += Channel(pixel, 8);
            sums[2] += Channel(pixel, 0);
        }
    const std::int64_t count = std::int64_t{x1 - x0} * (y1 - y0);
    const auto mean = [count](std::int64_t sum) {
        return static_cast<std::uint32_t>((sum + count / 2) / count);
    };
    return mean(sums[0]) << 16 | mean(sums[1]) << 8 | mean(sums[2]);
}

std::uint32_t Mean(const std::uint64_t* sums, std::uint64_t count) {
    const auto mean = [count](std::uint64_t sum) {
        return static_cast<std::uint32_t>((sum + count / 2) / count);
    };
    return mean(sums[0]) << 16 | mean(sums[1]) << 8 | mean(sums[2]);
}

// Draws a decode's rows into the thumbnail as they come, to the same pixels DrawThumbnail gives for the whole
// picture, when each pixel of the rectangle has source pixels of its own (the picture is at least as large
// as the rectangle both ways): a photo's decoded picture is then never held whole, nor read twice.
class TRowThumbnail final : public IJpegRowSink {
public:
    TRowThumbnail(TPixelImage& bitmap, const TThumbRect& rect, bool useSubsampling, int width, int height)
        : bitmap_(bitmap), rect_(rect), subsampling_(useSubsampling), width_(width), height_(height),
          targetOfColumn_(static_cast<std::size_t>(width), -1),
          columnCount_(static_cast<std::size_t>(rect.Width()), 0),
          sums_(CheckedMul<std::size_t>(static_cast<std::size_t>(rect.Width()), 3), 0) {
        for (int x = 0; x < rect.Width(); ++x) {
            int x0, x1;
            Span(x, rect.Width(), width, x0, x1);
            if (!subsampling_)
                x1 = x0 + 1;
            for (int column = x0; column < x1; ++column)
                targetOfColumn_[static_cast<std::size_t>(column)] = x;
            columnCount_[static_cast<std::size_t>(x)] = x1 - x0;
        }
        StartTargetRow();
    }

    static bool Fits(int width, int height, const TThumbRect& rect) {
        return rect.Width() >= 1 && rect.Height() >= 1 && width >= rect.Width() && height >= rect.Height();
    }

    bool Begin(int width, int height) noexcept override { return width == width_ && height == height_; }

    void Row(int y, const std::uint32_t* pixels) noexcept override {
        if (targetRow_ >= rect_.Height() || y < firstRow_ || y >= lastRow_)
            return;
        for (int x = 0; x < width_; ++x) {
            const int target = targetOfColumn_[static_cast<std::size_t>(x)];
            if (target < 0)
                continue;
            std::uint64_t* sums = &sums_[static_cast<std::size_t>(target) * 3];
            sums[0] += Channel(pixels[x], 16);
            sums[1] += Channel(pixels[x], 8);
            sums[2] += Channel(pixels[x], 0);
        }
        if (y + 1 == lastRow_)
            FinishTargetRow();
    }

private:
    void StartTargetRow() {
        Span(targetRow_, rect_.Height(), height_, firstRow_, lastRow_);
        if (!subsampling_)
            lastRow_ = firstRow_ + 1;
    }

    void FinishTargetRow() noexcept {
        const int targetY = rect_.Top + targetRow_;
        const std::uint64_t rows = static_cast<std::uint64_t>(lastRow_ - firstRow_);
        for (int x = 0; x < rect_.Width(); ++x) {
            const int targetX = rect_.Left + x;
            std::uint64_t* sums = &sums_[static_cast<std::size_t>(x) * 3];
            if (targetY >= 0 && targetY < bitmap_.Height && targetX >= 0 && targetX < bitmap_.Width)
                bitmap_.Pixels[static_cast<std::size_t>(targetY) * bitmap_.Width + targetX] =
                    Mean(sums, rows * static_cast<std::uint64_t>(columnCount_[static_cast<std::size_t>(x)]));
            sums[0] = sums[1] = sums[2] = 0;
        }
        ++targetRow_;
        if (targetRow_ < rect_.Height())
            StartTargetRow();
    }

    TPixelImage& bitmap_;
    TThumbRect rect_;
    bool subsampling_;
    int width_;
    int height_;
    std::vector<int> targetOfColumn_; // -1: a column no pixel of the rectangle takes
    std::vector<int> columnCount_;    // the source columns each target column averages
    std::vector<std::uint64_t> sums_; // red, green and blue of each target column of the row being made
    int targetRow_ = 0;
    int firstRow_ = 0;
    int lastRow_ = 0;
};

TThumbnailResult ResultOf(const TPixelImage& bitmap, int imageWidth, int imageHeight,
                          const TThumbnailSettings& settings) {
    TThumbnailResult result;
    result.Width = imageWidth;
    result.Height = imageHeight;
    result.Compressed = settings.Compressed && IsLargeImage(imageWidth, imageHeight);
    result.Stream = result.Compressed ? EncodeJpeg(bitmap, kJpegQuality) : EncodeBmp(bitmap);
    result.State = tsDone;
    return result;
}

TPixelImage BackgroundBitmap(const TThumbRect& rect, int maxWidth, int maxHeight, std::uint32_t backColor,
                             bool center) {
    TPixelImage bitmap;
    bitmap.Width = std::max(center ? maxWidth : rect.Right, 0);
    bitmap.Height = std::max(center ? maxHeight : rect.Bottom, 0);
    bitmap.Pixels.assign(CheckedMul<std::size_t>(static_cast<std::size_t>(bitmap.Width),
                                                 static_cast<std::size_t>(bitmap.Height)),
                         backColor & 0xFFFFFF);
    return bitmap;
}

// A JPEG's thumbnail drawn from its rows as they are decoded, where that gives the same pixels; nothing
// where the whole picture is needed.
std::optional<TThumbnailResult> JpegThumbnailByRows(std::span<const std::uint8_t> bytes,
                                                    const TThumbnailSettings& settings) {
    const TJpegSize size = ReadJpegSize(bytes);
    const int denominator = ChooseJpegScale(size, settings.Width, settings.Height);
    const TJpegSize scaled = ScaledJpegSize(size, denominator);
    const TThumbRect rect =
        CalcThumbRect(size.Width, size.Height, settings.Width, settings.Height, settings.Stretch, false);
    if (!TRowThumbnail::Fits(scaled.Width, scaled.Height, rect) ||
        static_cast<std::int64_t>(scaled.Width) * scaled.Height > MaxJpegPixels)
        return std::nullopt;
    TPixelImage bitmap = BackgroundBitmap(rect, settings.Width, settings.Height, settings.BackColor, false);
    TRowThumbnail rows(bitmap, rect, settings.UseSubsampling, scaled.Width, scaled.Height);
    DecodeJpegRows(bytes, denominator, true, rows);
    return ResultOf(bitmap, size.Width, size.Height, settings);
}

} // namespace

TGraphicClass GraphicClassOfFile(const WideString& fileName) {
    const WideString extension = WideLowerCase(PathElementExtension(fileName));
    if (extension == u".jpg" || extension == u".jpeg" || extension == u".jif")
        return TGraphicClass::Jpeg;
    if (extension == u".bmp")
        return TGraphicClass::Bitmap;
    if (extension == u".wmf" || extension == u".emf")
        return TGraphicClass::Metafile;
    if (extension == u".ico")
        return TGraphicClass::Icon;
    return TGraphicClass::None;
}

bool IsThumbnailDone(int state) {
    return state == tsRequested || state == tsDone;
}

// The products are taken in 64 bits: a large picture times a large box does not fit 32.
TThumbRect CalcThumbRect(int imageWidth, int imageHeight, int maxWidth, int maxHeight, bool stretch,
                         bool center) {
    TThumbRect rect;
    if (imageWidth < 1 || imageHeight < 1)
        return rect;
    std::int64_t width = imageWidth;
    std::int64_t height = imageHeight;
    if (imageWidth > maxWidth || imageHeight > maxHeight || stretch) {
        width = std::int64_t{maxHeight} * imageWidth / imageHeight;
        if (width > maxWidth) {
            width = maxWidth;
            height = std::int64_t{maxWidth} * imageHeight / imageWidth;
        } else {
            height = maxHeight;
        }
    }
    rect.Right = static_cast<int>(width);
    rect.Bottom = static_cast<int>(height);
    if (center) {
        rect.Left = static_cast<int>((maxWidth - width) / 2);
        rect.Top = static_cast<int>((maxHeight - height) / 2);
        rect.Right += rect.Left;
        rect.Bottom += rect.Top;
    }
    rect.Right = std::max(rect.Right, 2);
    rect.Bottom = std::max(rect.Bottom, 2);
    return rect;
}

bool IsLargeImage(int imageWidth, int imageHeight) {
    return imageWidth > kLargeImageSide && imageHeight > kLargeImageSide;
}

std::optional<TThumbnailPicture> LoadThumbnailPicture(TGraphicClass graphic,
                                                      std::span<const std::uint8_t> bytes, int maxWidth,
                                                      int maxHeight) {
    TThumbnailPicture picture;
    switch (graphic) {
    case TGraphicClass::Jpeg: {
        const TJpegSize size = ReadJpegSize(bytes);
        picture.ImageWidth = size.Width;
        picture.ImageHeight = size.Height;
        picture.Pixels = DecodeJpeg(bytes, ChooseJpegScale(size, maxWidth, maxHeight), true);
        return picture;
    }
    case TGraphicClass::Bitmap:
        picture.Pixels = DecodeBmp(bytes);
        picture.ImageWidth = picture.Pixels.Width;
        picture.ImageHeight = picture.Pixels.Height;
        return picture;
    default:
        return std::nullopt;
    }
}

TPixelImage DrawThumbnail(const TPixelImage& picture, const TThumbRect& rect, int maxWidth, int maxHeight,
                          bool useSubsampling, std::uint32_t backColor, bool center) {
    TPixelImage bitmap = BackgroundBitmap(rect, maxWidth, maxHeight, backColor, center);
    if (picture.Width < 1 || picture.Height < 1 || rect.Width() < 1 || rect.Height() < 1)
        return bitmap;
    for (int y = 0; y < rect.Height(); ++y) {
        const int targetY = rect.Top + y;
        if (targetY < 0 || targetY >= bitmap.Height)
            continue;
        int y0, y1;
        Span(y, rect.Height(), picture.Height, y0, y1);
        for (int x = 0; x < rect.Width(); ++x) {
            const int targetX = rect.Left + x;
            if (targetX < 0 || targetX >= bitmap.Width)
                continue;
            int x0, x1;
            Span(x, rect.Width(), picture.Width, x0, x1);
            if (!useSubsampling) {
                x1 = x0 + 1;
                y1 = y0 + 1;
            }
            bitmap.Pixels[static_cast<std::size_t>(targetY) * bitmap.Width + targetX] =
                Average(picture, x0, x1, y0, y1);
        }
    }
    return bitmap;
}

TThumbnailResult MakeThumbnailFromPicture(const TThumbnailPicture& picture,
                                          const TThumbnailSettings& settings) noexcept {
    try {
        const TThumbRect rect = CalcThumbRect(picture.ImageWidth, picture.ImageHeight, settings.Width,
                                              settings.Height, settings.Stretch, false);
        const TPixelImage bitmap = DrawThumbnail(picture.Pixels, rect, settings.Width, settings.Height,
                                                 settings.UseSubsampling, settings.BackColor, false);
        return ResultOf(bitmap, picture.ImageWidth, picture.ImageHeight, settings);
    } catch (...) {
        // Any failure while drawing or storing affects this request only.
        return {};
    }
}

TThumbnailResult MakeThumbnailResult(const WideString& fileName, std::span<const std::uint8_t> bytes,
                                     const TThumbnailSettings& settings) noexcept {
    try {
        const TGraphicClass graphic = GraphicClassOfFile(fileName);
        if (graphic == TGraphicClass::Jpeg)
            if (std::optional<TThumbnailResult> result = JpegThumbnailByRows(bytes, settings))
                return std::move(*result);
        const std::optional<TThumbnailPicture> picture =
            LoadThumbnailPicture(graphic, bytes, settings.Width, settings.Height);
        if (!picture)
            return {};
        return MakeThumbnailFromPicture(*picture, settings);
    } catch (...) {
        // A file that does not decode affects this request only.
        return {};
    }
}

} // namespace tarvola
