// JPEG pictures for the thumbnails: decoding a file's bytes to 32-bit pixels, at full size or scaled down
// by 1/2, 1/4 or 1/8 as the library does it during decoding, and encoding pixels as JPEG for the thumbnail
// cache. Any library error becomes EJpegError with the text "JPEG error #<code>", the code being the
// library's message code.
#pragma once

#include "explorer/PixelImage.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace tarvola {

class EJpegError : public std::runtime_error {
public:
    explicit EJpegError(int code);
    int Code() const { return code_; }

private:
    int code_;
};

// True for the errors of an unsupported marker (68), too little data (67), an unsupported process (60) and
// too many colours to quantize (57).
bool IsJPEGError(const std::exception& error);

struct TJpegSize {
    int Width = 0;
    int Height = 0;
};

// The size of the picture a JPEG holds, from its header.
TJpegSize ReadJpegSize(std::span<const std::uint8_t> data);

// The size the library decodes to at 1/denominator (it rounds up).
TJpegSize ScaledJpegSize(TJpegSize size, int denominator);

// The scale for a thumbnail box: from full size, halve while the picture is larger than the box and the
// scale is above 1/8; then one step back unless at full size, so the picture is drawn down, never up,
// unless even full size is smaller than the box. Answers the denominator: 1, 2, 4 or 8.
int ChooseJpegScale(TJpegSize size, int maxWidth, int maxHeight);

// Decodes at 1/denominator; fast trades quality for speed (integer transform, no fancy upsampling or
// block smoothing). Grey pictures come out grey in all three channels; CMYK ones (as Adobe writes them) are
// converted. A picture of more than MaxJpegPixels pixels is refused.
TPixelImage DecodeJpeg(std::span<const std::uint8_t> data, int denominator = 1, bool fast = false);
constexpr std::int64_t MaxJpegPixels = std::int64_t{1} << 26;
// The most the library may allocate for one decode besides the picture itself.
constexpr long MaxJpegWorkingMemory = 256L << 20;

// Takes a decode's rows top to bottom in place of a whole picture. Neither call may raise: both run inside
// the library's frames.
class IJpegRowSink {
public:
    virtual ~IJpegRowSink() = default;
    // The decoded size, before the first row; false ends the decode with the library's out-of-memory error.
    virtual bool Begin(int width, int height) noexcept = 0;
    // Row y of the decoded picture, its pixels as a TPixelImage holds them; valid during the call only.
    virtual void Row(int y, const std::uint32_t* pixels) noexcept = 0;
};

// Decodes as DecodeJpeg does, handing each row to the sink: the picture is never held whole.
void DecodeJpegRows(std::span<const std::uint8_t> data, int denominator, bool fast, IJpegRowSink& sink);

// Encodes the pixels as a baseline JPEG of the given quality (0-100).
std::vector<std::uint8_t> EncodeJpeg(const TPixelImage& image, int quality);

} // namespace tarvola
