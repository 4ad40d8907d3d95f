#include "tree/AlphaBlend.h"

#include "base/Numerics.h"

#include <algorithm>
#include <cstddef>

namespace tarvola {
namespace {

int ClampAlpha(int alpha) {
    return std::clamp(alpha, 0, 255);
}

TTreeRect Intersect(const TTreeRect& a, const TTreeRect& b) {
    return TTreeRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                     std::min(a.Bottom, b.Bottom)};
}

TTreeRect Offset(const TTreeRect& r, int dx, int dy) {
    return TTreeRect{CheckedAdd(r.Left, dx), CheckedAdd(r.Top, dy), CheckedAdd(r.Right, dx),
                     CheckedAdd(r.Bottom, dy)};
}

TTreeRect Bounds(const TPixelBuffer& buffer) {
    return TTreeRect{0, 0, buffer.Width, buffer.Height};
}

} // namespace

std::uint8_t* TPixelBuffer::Row(int y) const {
    const int row = BottomUp ? Height - 1 - y : y;
    return Bits + static_cast<std::ptrdiff_t>(row) * Width * 4;
}

std::uint8_t BlendChannel(std::uint8_t s, std::uint8_t d, int alpha, int bias) {
    const int a = ClampAlpha(alpha);
    const long long mixed = (d * (256 - a) + s * a) >> 8;
    return static_cast<std::uint8_t>(std::clamp<long long>(mixed + bias, 0, 255));
}

void BlendLine(const std::uint8_t* source, std::uint8_t* destination, int count, TBlendMode mode,
               int constantAlpha, int bias) {
    const int constant = ClampAlpha(constantAlpha);
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* s = source + static_cast<std::ptrdiff_t>(i) * 4;
        std::uint8_t* d = destination + static_cast<std::ptrdiff_t>(i) * 4;
        int alpha = constant;
        if (mode == TBlendMode::bmPerPixelAlpha)
            alpha = s[3];
        else if (mode == TBlendMode::bmMasterAlpha)
            alpha = (s[3] * constant) >> 8;
        for (int channel = 0; channel < 4; ++channel)
            d[channel] = BlendChannel(s[channel], d[channel], alpha, bias);
    }
}

void BlendLineWithColor(std::uint8_t* destination, int count, int constantAlpha, std::uint32_t color) {
    const int a = ClampAlpha(constantAlpha);
    // COLORREF is R, G, B from the low byte; the pixel holds B, G, R.
    const int k[4] = {static_cast<int>((color >> 16) & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                      static_cast<int>(color & 0xFF), 0};
    for (int i = 0; i < count; ++i) {
        std::uint8_t* d = destination + static_cast<std::ptrdiff_t>(i) * 4;
        for (int channel = 0; channel < 4; ++channel)
            d[channel] = static_cast<std::uint8_t>((d[channel] * (256 - a) + k[channel] * a) >> 8);
    }
}

void AlphaBlendPixels(const TPixelBuffer& source, const TPixelBuffer& destination, TTreeRect r, int targetX,
                      int targetY, TBlendMode mode, int constantAlpha, int bias) {
    if (r.Empty() || destination.Empty())
        return;
    if (mode == TBlendMode::bmConstantAlphaAndColor) {
        const TTreeRect area = Intersect(r, Bounds(destination));
        if (area.Empty())
            return;
        for (int y = area.Top; y < area.Bottom; ++y)
            BlendLineWithColor(destination.Row(y) + static_cast<std::ptrdiff_t>(area.Left) * 4,
                               area.Right - area.Left, constantAlpha, static_cast<std::uint32_t>(bias));
        return;
    }
    if (source.Empty())
        return;
    // Clip in source coordinates: to the source, then to the destination moved back by the offset.
    const int dx = CheckedSub(targetX, r.Left);
    const int dy = CheckedSub(targetY, r.Top);
    const TTreeRect area = Intersect(Intersect(r, Bounds(source)), Offset(Bounds(destination), -dx, -dy));
    if (area.Empty())
        return;
    const int count = area.Right - area.Left;
    for (int y = area.Top; y < area.Bottom; ++y)
        BlendLine(source.Row(y) + static_cast<std::ptrdiff_t>(area.Left) * 4,
                  destination.Row(y + dy) + static_cast<std::ptrdiff_t>(area.Left + dx) * 4, count, mode,
                  constantAlpha, bias);
}

} // namespace tarvola
