#include "kernel/PresetGlyphs.h"

#include <array>
#include <span>
#include <string_view>

namespace tarvola {

namespace {

// A shape is painted over what lies below it, from its top row down: '.' leaves a pixel as it is, '_'
// clears it to transparent, and a colour letter paints it ('k' outline, 'y' folder face, 'd' folder
// shade, 'b' arrow, 'g' spark).
struct TShape {
    int top;
    std::span<const std::string_view> rows;
};

constexpr std::string_view kFolderRows[] = {
    ".kkkk...........", //
    "kyyyyk..........", //
    "kyyyyykkkkkkkk..", //
    "kyyyyyyyyyyyyyk.", //
    "kyyyyyyyyyyyyyk.", //
    "kyyyyyyyyyyyyyk.", //
    "kyyyyyyyyyyyyyk.", //
    "kddddddddddddyk.", //
    "kddddddddddddyk.", //
    ".kkkkkkkkkkkkk..", //
};
constexpr TShape kFolder{5, kFolderRows};

// An arrow up, its shaft bent into the folder's top edge.
constexpr std::string_view kArrowRows[] = {
    "......bb........", //
    ".....bbbb.......", //
    "....bbbbbb......", //
    "......bb........", //
    "......bb........", //
    ".......bb.......", //
    "........b.......", //
};
constexpr TShape kArrow{1, kArrowRows};

// The bar the arrow points to: the top of the presets.
constexpr std::string_view kBarRows[] = {
    "...bbbbbbbb.....", //
};
constexpr TShape kBar{0, kBarRows};

// A spark whose rays cut through the folder's top edge.
constexpr std::string_view kSparkRows[] = {
    "...........g....", //
    "........g..g..g.", //
    ".........g.g.g..", //
    "..........ggg...", //
    "........ggggggg.", //
    "..........ggg...", //
    ".........g.g.g..", //
    "........g__g__g.", //
    "...........g....", //
};
constexpr TShape kSpark{0, kSparkRows};

// The shapes of each glyph, bottom first.
constexpr TShape kUpFolderShapes[] = {kFolder, kArrow};
constexpr TShape kPresetsRootShapes[] = {kFolder, kArrow, kBar};
constexpr TShape kNewFolderShapes[] = {kFolder, kSpark};

std::span<const TShape> ShapesOf(TPresetGlyph glyph) {
    switch (glyph) {
    case TPresetGlyph::UpFolder:
        return kUpFolderShapes;
    case TPresetGlyph::PresetsRoot:
        return kPresetsRootShapes;
    case TPresetGlyph::NewFolder:
        break;
    }
    return kNewFolderShapes;
}

// A colour that the pictures do not use.
constexpr TColor kTransparent = 0xFF00FF;

TColor ColourOf(char pixel) {
    switch (pixel) {
    case 'k':
        return 0x000000;
    case 'y':
        return 0x40E0F8; // warm yellow
    case 'd':
        return 0x2090C0; // its shade
    case 'b':
        return 0x800000; // navy
    case 'g':
        return 0x00A000; // green
    default:
        return kTransparent;
    }
}

void PaintShape(TCanvas& canvas, const TShape& shape) {
    for (std::size_t row = 0; row < shape.rows.size(); ++row) {
        const std::string_view pixels = shape.rows[row];
        for (std::size_t x = 0; x < pixels.size(); ++x) {
            if (pixels[x] != '.')
                canvas.SetPixel(static_cast<int>(x), shape.top + static_cast<int>(row), ColourOf(pixels[x]));
        }
    }
}

} // namespace

std::unique_ptr<TBitmap> MakePresetGlyph(TPresetGlyph glyph) {
    auto bitmap = std::make_unique<TBitmap>(kPresetGlyphSize, kPresetGlyphSize);
    TCanvas& canvas = bitmap->Canvas();
    for (int y = 0; y < kPresetGlyphSize; ++y) {
        for (int x = 0; x < kPresetGlyphSize; ++x)
            canvas.SetPixel(x, y, kTransparent);
    }
    for (const TShape& shape : ShapesOf(glyph))
        PaintShape(canvas, shape);
    return bitmap;
}

} // namespace tarvola
