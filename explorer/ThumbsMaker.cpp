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
    TPixelImage bitmap;
    bitmap.Width = std::max(center ? maxWidth : rect.Right, 0);
    bitmap.Height = std::max(center ? maxHeight : rect.Bottom, 0);
    bitmap.Pixels.assign(CheckedMul<std::size_t>(static_cast<std::size_t>(bitmap.Width),
                                                 static_cast<std::size_t>(bitmap.Height)),
                         backColor & 0xFFFFFF);
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
        TThumbnailResult result;
        result.Width = picture.ImageWidth;
        result.Height = picture.ImageHeight;
        result.Compressed = settings.Compressed && IsLargeImage(picture.ImageWidth, picture.ImageHeight);
        result.Stream = result.Compressed ? EncodeJpeg(bitmap, kJpegQuality) : EncodeBmp(bitmap);
        result.State = tsDone;
        return result;
    } catch (...) {
        // Any failure while drawing or storing affects this request only.
        return {};
    }
}

TThumbnailResult MakeThumbnailResult(const WideString& fileName, std::span<const std::uint8_t> bytes,
                                     const TThumbnailSettings& settings) noexcept {
    try {
        const std::optional<TThumbnailPicture> picture =
            LoadThumbnailPicture(GraphicClassOfFile(fileName), bytes, settings.Width, settings.Height);
        if (!picture)
            return {};
        return MakeThumbnailFromPicture(*picture, settings);
    } catch (...) {
        // A file that does not decode affects this request only.
        return {};
    }
}

} // namespace tarvola
