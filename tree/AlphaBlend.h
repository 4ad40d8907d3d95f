// Alpha blending of 32-bit pixels (bytes B, G, R and a fourth byte) in four modes, on plain pixel
// buffers. The Win32 wrapper hands it the bits of the DIB sections selected into two device contexts.
#pragma once

#include "tree/VirtualTrees.h"

#include <cstdint>

namespace tarvola {

enum class TBlendMode : std::uint8_t {
    bmConstantAlpha = 0,         // one alpha for every pixel, plus a bias
    bmPerPixelAlpha = 1,         // the source pixel's fourth byte, plus a bias
    bmMasterAlpha = 2,           // the source pixel's fourth byte scaled by the constant alpha, plus a bias
    bmConstantAlphaAndColor = 3, // the destination alone, mixed with a colour
};

// A 32-bit pixel buffer of Width x Height pixels, rows of Width x 4 bytes, stored bottom-up (as a DIB with
// a positive height) or top-down.
struct TPixelBuffer {
    std::uint8_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    bool BottomUp = true;
    bool Empty() const { return Bits == nullptr || Width <= 0 || Height <= 0; }
    // Row y counted from the top.
    std::uint8_t* Row(int y) const;
};

// One blended channel: D x (256 - Alpha) + S x Alpha, divided by 256, plus Bias, saturated to a byte.
std::uint8_t BlendChannel(std::uint8_t s, std::uint8_t d, int alpha, int bias);

// Blends Count pixels of Source over Destination.
void BlendLine(const std::uint8_t* source, std::uint8_t* destination, int count, TBlendMode mode,
               int constantAlpha, int bias);
// Mixes Count destination pixels with Color (a COLORREF, 0x00BBGGRR); the fourth byte mixes with 0.
void BlendLineWithColor(std::uint8_t* destination, int count, int constantAlpha, std::uint32_t color);

// Blends the source's R onto the destination at Target (bmConstantAlphaAndColor: mixes the destination's
// R with the colour Bias, and Source is not read). R and the target area are clipped to both buffers, so
// nothing outside either is read or written. ConstantAlpha is kept to 0..255.
void AlphaBlendPixels(const TPixelBuffer& source, const TPixelBuffer& destination, TTreeRect r, int targetX,
                      int targetY, TBlendMode mode, int constantAlpha, int bias);

} // namespace tarvola
