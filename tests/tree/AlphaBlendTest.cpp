#include "tree/AlphaBlend.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace tarvola {
namespace {

using Pixel = std::array<std::uint8_t, 4>; // B, G, R, fourth byte

struct BlendCase {
    TBlendMode mode;
    Pixel source;
    Pixel destination;
    int alpha;
    int bias; // the colour in bmConstantAlphaAndColor
    Pixel expected;
};

constexpr auto Constant = TBlendMode::bmConstantAlpha;
constexpr auto PerPixel = TBlendMode::bmPerPixelAlpha;
constexpr auto Master = TBlendMode::bmMasterAlpha;
constexpr auto WithColor = TBlendMode::bmConstantAlphaAndColor;

const BlendCase kBlendCases[] = {
    // (D x (256 - a) + S x a) shr 8, per byte including the fourth.
    {Constant, {200, 100, 0, 255}, {0, 100, 200, 0}, 128, 0, {100, 100, 100, 127}},
    {Constant, {255, 255, 255, 255}, {0, 0, 0, 0}, 0, 0, {0, 0, 0, 0}},
    {Constant, {255, 255, 255, 255}, {0, 0, 0, 0}, 255, 0, {254, 254, 254, 254}},
    // The bias saturates at both ends.
    {Constant, {250, 10, 128, 0}, {250, 10, 128, 0}, 128, 20, {255, 30, 148, 20}},
    {Constant, {250, 10, 128, 0}, {250, 10, 128, 0}, 128, -50, {200, 0, 78, 0}},
    {Constant, {1, 2, 3, 4}, {1, 2, 3, 4}, 0, 100000, {255, 255, 255, 255}},
    {Constant, {1, 2, 3, 4}, {1, 2, 3, 4}, 0, -100000, {0, 0, 0, 0}},
    // An alpha outside 0..255 is kept to it.
    {Constant, {255, 255, 255, 255}, {0, 0, 0, 0}, 1000, 0, {254, 254, 254, 254}},
    {Constant, {255, 255, 255, 255}, {10, 10, 10, 10}, -5, 0, {10, 10, 10, 10}},
    // The source's fourth byte is the alpha.
    {PerPixel, {200, 200, 200, 64}, {0, 0, 0, 0}, 0, 0, {50, 50, 50, 16}},
    {PerPixel, {200, 200, 200, 0}, {40, 40, 40, 40}, 255, 0, {40, 40, 40, 40}},
    // ... scaled by the master alpha.
    {Master, {200, 200, 200, 128}, {0, 0, 0, 0}, 128, 0, {50, 50, 50, 32}},
    {Master, {200, 200, 200, 255}, {0, 0, 0, 0}, 0, 10, {10, 10, 10, 10}},
    // The colour's channels in B, G, R order; the fourth byte mixes with 0.
    {WithColor, {}, {0, 0, 0, 200}, 128, 0x00FF8040, {127, 64, 32, 100}},
    {WithColor, {}, {100, 100, 100, 100}, 0, 0x00FFFFFF, {100, 100, 100, 100}},
};

TEST(AlphaBlend, KernelTable) {
    for (const BlendCase& c : kBlendCases) {
        Pixel source = c.source;
        Pixel destination = c.destination;
        if (c.mode == WithColor)
            BlendLineWithColor(destination.data(), 1, c.alpha, static_cast<std::uint32_t>(c.bias));
        else
            BlendLine(source.data(), destination.data(), 1, c.mode, c.alpha, c.bias);
        EXPECT_EQ(destination, c.expected)
            << "mode " << int(c.mode) << " alpha " << c.alpha << " bias " << c.bias;
    }
}

// A buffer of W x H pixels with a guard zone of sentinels on both sides.
struct GuardedBuffer {
    static constexpr std::size_t Guard = 64;
    std::vector<std::uint8_t> bytes;
    TPixelBuffer view;
    GuardedBuffer(int w, int h, std::uint8_t fill, bool bottomUp = true)
        : bytes(Guard * 2 + static_cast<std::size_t>(w * h * 4), 0xEE) {
        std::fill(bytes.begin() + Guard, bytes.end() - Guard, fill);
        view = TPixelBuffer{bytes.data() + Guard, w, h, bottomUp};
    }
    bool GuardsIntact() const {
        return std::all_of(bytes.begin(), bytes.begin() + Guard, [](auto b) { return b == 0xEE; }) &&
               std::all_of(bytes.end() - Guard, bytes.end(), [](auto b) { return b == 0xEE; });
    }
    std::uint8_t Blue(int x, int y) const { return view.Row(y)[x * 4]; }
};

TEST(AlphaBlend, RowsFollowTheBufferOrientation) {
    GuardedBuffer bottomUp(2, 3, 0);
    GuardedBuffer topDown(2, 3, 0, false);
    EXPECT_EQ(bottomUp.view.Row(0), bottomUp.view.Bits + 2 * 2 * 4);
    EXPECT_EQ(topDown.view.Row(0), topDown.view.Bits);
}

TEST(AlphaBlend, BlendsTheSourceRectangleAtTheTarget) {
    GuardedBuffer source(4, 4, 200);
    GuardedBuffer destination(4, 4, 0, false);
    AlphaBlendPixels(source.view, destination.view, {1, 1, 3, 2}, 0, 2, Constant, 128, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(destination.Blue(x, y), (y == 2 && x < 2) ? 100 : 0) << x << "," << y;
}

TEST(AlphaBlend, ClipsToBothBuffers) {
    struct Case {
        TTreeRect r;
        int targetX, targetY;
        int blended; // pixels changed in the 4 x 4 destination
    };
    const Case cases[] = {
        {{-2, -2, 6, 6}, -2, -2, 6}, // a source rectangle larger than both
        {{0, 0, 4, 4}, 2, 3, 2},     // hanging over the destination's right and bottom
        {{0, 0, 4, 4}, -1, -1, 2},   // over its left and top
        {{0, 0, 4, 4}, 10, 0, 0},    // wholly outside
        {{1, 1, 9, 9}, 0, 0, 2},     // reaching past the source (3 x 2 source)
    };
    for (const Case& c : cases) {
        GuardedBuffer source(3, 2, 200);
        GuardedBuffer destination(4, 4, 0);
        for (TBlendMode mode : {Constant, PerPixel, Master})
            AlphaBlendPixels(source.view, destination.view, c.r, c.targetX, c.targetY, mode, 255, 1);
        int changed = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                changed += destination.Blue(x, y) != 0;
        EXPECT_EQ(changed, c.blended) << c.targetX << "," << c.targetY;
        EXPECT_TRUE(source.GuardsIntact());
        EXPECT_TRUE(destination.GuardsIntact());
    }
}

TEST(AlphaBlend, ColorModeClipsToTheDestinationAndIgnoresTheSource) {
    GuardedBuffer destination(3, 3, 0);
    AlphaBlendPixels(TPixelBuffer{}, destination.view, {-5, 1, 50, 50}, 0, 0, WithColor, 255, 0x00FFFFFF);
    EXPECT_TRUE(destination.GuardsIntact());
    EXPECT_EQ(destination.Blue(0, 0), 0);
    EXPECT_EQ(destination.Blue(2, 2), 254);
}

TEST(AlphaBlend, EmptyBuffersAndRectanglesDoNothing) {
    GuardedBuffer destination(3, 3, 7);
    GuardedBuffer source(3, 3, 200);
    AlphaBlendPixels(TPixelBuffer{}, destination.view, {0, 0, 3, 3}, 0, 0, Constant, 255, 0);
    AlphaBlendPixels(source.view, TPixelBuffer{nullptr, 0, 0, true}, {0, 0, 3, 3}, 0, 0, Constant, 255, 0);
    AlphaBlendPixels(source.view, destination.view, {2, 2, 2, 3}, 0, 0, Constant, 255, 0);
    AlphaBlendPixels(source.view, destination.view, {3, 3, 0, 0}, 0, 0, Constant, 255, 0);
    EXPECT_EQ(destination.Blue(1, 1), 7);
    EXPECT_TRUE(destination.GuardsIntact());
}

} // namespace
} // namespace tarvola
