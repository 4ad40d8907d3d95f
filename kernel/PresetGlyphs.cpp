#include "kernel/PresetGlyphs.h"

#include <array>
#include <string_view>

namespace tarvola {

namespace {

using TPixelRows = std::array<std::string_view, kPresetGlyphSize>;

// '.' transparent, 'k' outline, 'y' folder face, 'd' folder shade, 'b' arrow, 'g' spark.
constexpr TPixelRows kUpFolder = {
    "................", //
    "......bb........", //
    ".....bbbb.......", //
    "....bbbbbb......", //
    "......bb........", //
    ".kkkk.bb........", //
    "kyyyyk.bb.......", //
    "kyyyyykkbkkkkk..", //
    "kyyyyyyyyyyyyyk.", //
    "kyyyyyyyyyyyyyk.", //
    "kyyyyyyyyyyyyyk.", //
    "kyyyyyyyyyyyyyk.", //
    "kddddddddddddyk.", //
    "kddddddddddddyk.", //
    ".kkkkkkkkkkkkk..", //
    "................", //
};

constexpr TPixelRows kPresetsRoot = {
    "...bbbbbbbb.....", //
    "......bb........", //
    ".....bbbb.......", //
    "....bbbbbb......", //
    "......bb........", //
    ".kkkk.bb........", //
    "kyyyyk.bb.......", //
    "kyyyyykkbkkkkk..", //
    "kyyyyyyyyyyyyyk.", //
    "kyyyyyyyyyyyyyk.", //
    "kyyyyyyyyyyyyyk.", //
    "kyyyyyyyyyyyyyk.", //
    "kddddddddddddyk.", //
    "kddddddddddddyk.", //
    ".kkkkkkkkkkkkk..", //
    "................", //
};

constexpr TPixelRows kNewFolder = {
    "...........g....", //
    "........g..g..g.", //
    ".........g.g.g..", //
    "..........ggg...", //
    "........ggggggg.", //
    ".kkkk.....ggg...", //
    "kyyyyk...g.g.g..", //
    "kyyyyykkg..g..g.", //
    "kyyyyyyyyyygyyk.", //
    "kyyyyyyyyyyyyyk.", //
    "kyyyyyyyyyyyyyk.", //
    "kyyyyyyyyyyyyyk.", //
    "kddddddddddddyk.", //
    "kddddddddddddyk.", //
    ".kkkkkkkkkkkkk..", //
    "................", //
};

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

const TPixelRows& RowsOf(TPresetGlyph glyph) {
    switch (glyph) {
    case TPresetGlyph::UpFolder:
        return kUpFolder;
    case TPresetGlyph::PresetsRoot:
        return kPresetsRoot;
    case TPresetGlyph::NewFolder:
        break;
    }
    return kNewFolder;
}

} // namespace

std::unique_ptr<TBitmap> MakePresetGlyph(TPresetGlyph glyph) {
    auto bitmap = std::make_unique<TBitmap>(kPresetGlyphSize, kPresetGlyphSize);
    TCanvas& canvas = bitmap->Canvas();
    const TPixelRows& rows = RowsOf(glyph);
    for (int y = 0; y < kPresetGlyphSize; ++y) {
        for (int x = 0; x < kPresetGlyphSize; ++x)
            canvas.SetPixel(x, y,
                            ColourOf(rows.at(static_cast<std::size_t>(y)).at(static_cast<std::size_t>(x))));
    }
    return bitmap;
}

} // namespace tarvola
