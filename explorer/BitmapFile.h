// BMP file images for the thumbnails and their cache: a thumbnail is stored as the image a bitmap file holds
// (file header, info header, pixel rows). Writing gives 24-bit rows, bottom-up; reading takes the depths a
// folder's pictures and older caches hold: 1, 4 and 8 bits with a palette, 24 bits, and 32 bits (plain or
// with the usual colour masks), rows bottom-up or top-down. Every size and offset is checked against the
// bytes before it is used, so a damaged image raises EBitmapError and never reads outside them.
#pragma once

#include "explorer/PixelImage.h"

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace tarvola {

class EBitmapError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest picture DecodeBmp accepts, in pixels.
constexpr std::int64_t MaxBitmapPixels = std::int64_t{1} << 26;

// The image of a 24-bit bitmap file of the pixels (the unused byte of each pixel is dropped).
std::vector<std::uint8_t> EncodeBmp(const TPixelImage& image);

// The pixels of a bitmap file image. Raises EBitmapError for a damaged or unsupported image.
TPixelImage DecodeBmp(std::span<const std::uint8_t> data);

} // namespace tarvola
