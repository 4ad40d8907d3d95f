// A picture in memory as a 32-bit DIB holds it, shared by the JPEG and bitmap codecs and the thumbnail cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvola {

// Rows top to bottom, each pixel 0x00RRGGBB (bytes B, G, R, unused).
struct TPixelImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;
    std::uint32_t At(int x, int y) const { return Pixels.at(static_cast<std::size_t>(y) * Width + x); }
};

} // namespace tarvola
