// Where a header cell's glyph, caption and sort glyph go, and how a caption too wide for its place is
// shortened. Both measure text through an injected function, so they run without a device context.
#pragma once

#include "tree/HeaderPaintTypes.h"

#include <functional>
#include <string>
#include <string_view>

namespace tarvola {

// The extent of a text in the header font.
using THeaderTextExtent = std::function<THeaderSize(std::wstring_view)>;

struct THeaderLayoutInput {
    TTreeRect Client; // the cell's content rectangle
    std::wstring_view Caption;
    bool UseHeaderGlyph = false;
    THeaderSize GlyphSize; // the header image list's image size
    bool UseSortGlyph = false;
    THeaderSize SortGlyphSize; // the utility image size
    THeaderGlyphLayout Layout = THeaderGlyphLayout::blGlyphLeft;
    THeaderAlignment Alignment = THeaderAlignment::taLeftJustify;
    int Margin = 4;
    int Spacing = 4;
    bool RightToLeft = false;
};

struct THeaderLayout {
    THeaderPoint HeaderGlyphPos;
    THeaderPoint SortGlyphPos;
    TTreeRect TextBounds;
    bool operator==(const THeaderLayout&) const = default;
};

// Places glyph, text and sort glyph in the content rectangle by alignment (mirrored for a right-to-left
// column), glyph layout and reading order, keeping them inside the margins. With nothing to place the
// result is all zero.
THeaderLayout ComputeHeaderLayout(const THeaderLayoutInput& input, const THeaderTextExtent& extent);

// The caption cut to fit Width with an ellipsis: the start kept for left-to-right text, the end for
// right-to-left text. Empty when not even the ellipsis fits; the ellipsis alone when no character fits
// beside it. Measures widths only (ShortenString with the extent's width).
std::wstring ShortenHeaderCaption(std::wstring_view text, int width, bool rightToLeft,
                                  const THeaderTextExtent& extent);

} // namespace tarvola
