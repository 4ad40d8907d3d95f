// Making a thumbnail from a picture file, apart from the thread that asks for it: which files are pictures,
// where a picture goes in its box, the picture decoded at the scale the box needs, drawn into a bitmap of the
// background colour, and stored as a BMP file image or, for a large picture with compression on, as JPEG.
#pragma once

#include "explorer/PixelImage.h"
#include "shell/VirtualWideStrings.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tarvola {

// The graphic a file holds, by its extension: "jpg", "jpeg", "jif"; "bmp"; "wmf", "emf"; "ico".
enum class TGraphicClass { None, Jpeg, Bitmap, Metafile, Icon };
TGraphicClass GraphicClassOfFile(const WideString& fileName);

// A list item's thumbnail state.
enum TThumbState : std::uint8_t {
    tsNone = 0,
    tsRequested = 1,
    tsDone = 2,
    tsNoThumbnail = 3, // the picture could not be made
};
// Requested or done.
bool IsThumbnailDone(int state);

struct TThumbRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TThumbRect&) const = default;
};

// Where a picture goes in a box of maxWidth x maxHeight: its own size when it fits (unless stretch), else
// the largest size of its proportions that fits; moved to the box's centre with center. Empty for a picture
// without pixels; otherwise right and bottom are at least 2.
TThumbRect CalcThumbRect(int imageWidth, int imageHeight, int maxWidth, int maxHeight, bool stretch,
                         bool center);

// Thumbnails of pictures larger than this in both directions are stored as JPEG when compression is on.
constexpr int kLargeImageSide = 200;
bool IsLargeImage(int imageWidth, int imageHeight);

// A picture decoded for a thumbnail, with the size of the picture the file holds.
struct TThumbnailPicture {
    TPixelImage Pixels;
    int ImageWidth = 0;
    int ImageHeight = 0;
};

// The picture of a JPEG (at the smallest scale that still covers the box, decoded for speed) or BMP file;
// nothing for the graphics this code does not decode. Raises EJpegError or EBitmapError for a damaged file.
std::optional<TThumbnailPicture>
LoadThumbnailPicture(TGraphicClass graphic, std::span<const std::uint8_t> bytes, int maxWidth, int maxHeight);

// The thumbnail bitmap: maxWidth x maxHeight with center, else as large as the picture's rectangle, filled
// with the background colour, the picture drawn into its rectangle (averaging the pixels each target pixel
// covers with subsampling, else taking the nearest).
TPixelImage DrawThumbnail(const TPixelImage& picture, const TThumbRect& rect, int maxWidth, int maxHeight,
                          bool useSubsampling, std::uint32_t backColor, bool center);

// What the thumbnail thread works from: the options copied under its request lock.
struct TThumbnailSettings {
    int Width = 120;
    int Height = 120;
    bool Stretch = false;
    bool UseSubsampling = true;
    bool Compressed = false;
    std::uint32_t BackColor = 0xFFFFFF;
};

// A request's result: the picture's size, the state, and the thumbnail's bytes.
struct TThumbnailResult {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::uint8_t State = tsNoThumbnail;
    std::vector<std::uint8_t> Stream; // a BMP file image, or JPEG data when Compressed
    bool Compressed = false;
};

// The thumbnail of a decoded picture. Any failure gives the state "no thumbnail" and no stream, and raises
// nothing.
TThumbnailResult MakeThumbnailFromPicture(const TThumbnailPicture& picture,
                                          const TThumbnailSettings& settings) noexcept;

// The thumbnail of a file from its bytes. Any failure gives the state "no thumbnail" and no stream, and
// raises nothing.
TThumbnailResult MakeThumbnailResult(const WideString& fileName, std::span<const std::uint8_t> bytes,
                                     const TThumbnailSettings& settings) noexcept;

} // namespace tarvola
