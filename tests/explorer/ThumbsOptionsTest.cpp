// The thumbnail style's sizes from its options: an item's box, the image list and the icon spacing, and
// what the thumbnail thread copies.
#include "explorer/ThumbsOptions.h"

#include <gtest/gtest.h>

namespace tarvola {
namespace {

TEST(ThumbsOptions, SizesOfTheThumbnailStyle) {
    struct Case {
        const char* what;
        int width, height, border;
        bool details;
        TThumbSpacing box, imageList, spacing;
        bool spacingFits;
    };
    const Case cases[] = {
        {"defaults", 120, 120, 4, false, {128, 128}, {112, 124}, {168, 168}, true},
        {"details below", 120, 120, 4, true, {128, 168}, {112, 164}, {168, 208}, true},
        {"negative border is none", 96, 72, -3, false, {96, 72}, {80, 68}, {136, 112}, true},
        {"spacing past 16 bits", 65500, 100, 0, false, {65500, 100}, {65484, 96}, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TThumbsOptions options;
        options.Width = c.width;
        options.Height = c.height;
        options.SetBorderSize(c.border);
        options.Details = c.details;
        EXPECT_EQ(options.BoxSize(), c.box);
        EXPECT_EQ(options.ImageListSize(), c.imageList);
        TThumbSpacing spacing;
        EXPECT_EQ(options.IconSpacing(spacing), c.spacingFits);
        if (c.spacingFits) {
            EXPECT_EQ(spacing, c.spacing);
        }
    }
}

TEST(ThumbsOptions, TheThreadCopiesSizeDrawingCompressionAndBackground) {
    TThumbsOptions options;
    EXPECT_EQ(options.Border, TThumbnailBorder::tbFramed);
    EXPECT_EQ(options.HighlightColor, 0xEFD3D3u);
    options.Width = 200;
    options.Height = 150;
    options.Stretch = true;
    options.UseSubsampling = false;
    const TThumbnailSettings settings = options.ThreadSettings(true, 0x123456);
    EXPECT_EQ(settings.Width, 200);
    EXPECT_EQ(settings.Height, 150);
    EXPECT_TRUE(settings.Stretch);
    EXPECT_FALSE(settings.UseSubsampling);
    EXPECT_TRUE(settings.Compressed);
    EXPECT_EQ(settings.BackColor, 0x123456u);
}

} // namespace
} // namespace tarvola
