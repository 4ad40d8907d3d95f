// Header cell layout by alignment, glyph layout and reading order with its clipping rules, caption
// shortening, and the painter's per-cell decisions, all with a fixed-width fake font.
#include "tree/HeaderPaintLayout.h"
#include "tree/HeaderPaintRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvola::test {
namespace {

namespace bits = header_paint_bits;

// Every character is 6 pixels wide and 13 high.
THeaderSize FixedExtent(std::wstring_view text) {
    return {static_cast<int>(text.size()) * 6, 13};
}

using L = THeaderGlyphLayout;
using A = THeaderAlignment;

struct LayoutCase {
    const char* name;
    TTreeRect client;
    const wchar_t* caption;
    bool glyph;
    bool sort;
    L layout;
    A alignment;
    bool rightToLeft;
    THeaderLayout expected;
};

// Content 100 x 20 at (10, 2) unless stated; glyphs 16 x 16; margin and spacing 4; "Abc" is 20 wide
// (18 plus 2) and 13 high, so it sits at y 3 and the glyphs at y 2.
const TTreeRect kRow{10, 2, 110, 22};
const LayoutCase kLayoutCases[] = {
    {"left: glyph, text, then the sort glyph",
     kRow,
     L"Abc",
     true,
     true,
     L::blGlyphLeft,
     A::taLeftJustify,
     false,
     {{14, 4}, {58, 4}, {34, 5, 54, 18}}},
    {"left mirrors to right for right-to-left: sort glyph leftmost",
     kRow,
     L"Abc",
     true,
     true,
     L::blGlyphLeft,
     A::taLeftJustify,
     true,
     {{66, 4}, {46, 4}, {86, 5, 106, 18}}},
    {"right justified, glyph right: sort glyph rightmost",
     kRow,
     L"Abc",
     true,
     true,
     L::blGlyphRight,
     A::taRightJustify,
     false,
     {{70, 4}, {90, 4}, {46, 5, 66, 18}}},
    {"right mirrors to left for right-to-left",
     kRow,
     L"Abc",
     true,
     true,
     L::blGlyphLeft,
     A::taRightJustify,
     true,
     {{34, 4}, {14, 4}, {54, 5, 74, 18}}},
    {"centred row, sort glyph after it",
     kRow,
     L"Abc",
     true,
     true,
     L::blGlyphLeft,
     A::taCenter,
     false,
     {{40, 4}, {84, 4}, {60, 5, 80, 18}}},
    {"glyph on top: block centred, text moved left by half the sort glyph",
     TTreeRect{10, 2, 110, 42},
     L"Abc",
     true,
     true,
     L::blGlyphTop,
     A::taCenter,
     false,
     {{52, 5}, {66, 14}, {42, 25, 62, 38}}},
    {"glyph below the text",
     TTreeRect{10, 2, 110, 42},
     L"Abc",
     true,
     false,
     L::blGlyphBottom,
     A::taLeftJustify,
     false,
     {{52, 22}, {10, 2}, {14, 5, 34, 18}}},
    {"sort glyph alone is centred",
     kRow,
     L"",
     false,
     true,
     L::blGlyphLeft,
     A::taLeftJustify,
     false,
     {{10, 2}, {52, 4}, {10, 2, 10, 2}}},
    {"glyph alone, right of an empty text",
     kRow,
     L"",
     true,
     false,
     L::blGlyphRight,
     A::taCenter,
     false,
     {{52, 4}, {10, 2}, {52, 12, 52, 12}}},
    {"a long caption is cut at the right margin",
     kRow,
     L"A caption far too long",
     false,
     false,
     L::blGlyphLeft,
     A::taLeftJustify,
     false,
     {{10, 2}, {10, 2}, {14, 5, 106, 18}}},
    {"narrow cell: sort glyph pulled in, text squeezed to nothing",
     TTreeRect{0, 0, 40, 20},
     L"Abc",
     true,
     true,
     L::blGlyphLeft,
     A::taLeftJustify,
     false,
     {{4, 2}, {20, 2}, {24, 3, 24, 16}}},
    {"nothing to place", kRow, L"", false, false, L::blGlyphLeft, A::taCenter, false, {}},
};

TEST(HeaderLayout, PlacesGlyphTextAndSortGlyph) {
    for (const LayoutCase& c : kLayoutCases) {
        THeaderLayoutInput input;
        input.Client = c.client;
        input.Caption = c.caption;
        input.UseHeaderGlyph = c.glyph;
        input.GlyphSize = {16, 16};
        input.UseSortGlyph = c.sort;
        input.SortGlyphSize = {16, 16};
        input.Layout = c.layout;
        input.Alignment = c.alignment;
        input.RightToLeft = c.rightToLeft;
        const THeaderLayout got = ComputeHeaderLayout(input, FixedExtent);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(got.HeaderGlyphPos, c.expected.HeaderGlyphPos);
        EXPECT_EQ(got.SortGlyphPos, c.expected.SortGlyphPos);
        EXPECT_EQ(got.TextBounds, c.expected.TextBounds);
    }
}

TEST(HeaderLayout, NoGlyphEverLeftOfTheMargin) {
    THeaderLayoutInput input;
    input.Client = {0, 0, 20, 20};
    input.Caption = L"Abc";
    input.UseHeaderGlyph = true;
    input.GlyphSize = {16, 16};
    input.UseSortGlyph = true;
    input.SortGlyphSize = {16, 16};
    for (A alignment : {A::taLeftJustify, A::taRightJustify, A::taCenter})
        for (L layout : {L::blGlyphLeft, L::blGlyphRight, L::blGlyphTop, L::blGlyphBottom})
            for (bool rtl : {false, true}) {
                input.Alignment = alignment;
                input.Layout = layout;
                input.RightToLeft = rtl;
                const THeaderLayout got = ComputeHeaderLayout(input, FixedExtent);
                EXPECT_GE(got.HeaderGlyphPos.X, 4);
                EXPECT_GE(got.SortGlyphPos.X, 4);
                EXPECT_LE(got.TextBounds.Left, got.TextBounds.Right);
            }
}

struct ShortenCase {
    const wchar_t* text;
    int width;
    bool rightToLeft;
    const wchar_t* expected;
};

// "..." is 18 pixels wide.
const ShortenCase kShortenCases[] = {
    {L"", 100, false, L""},
    {L"abc", 0, false, L""},
    {L"abcdef", 18, false, L""},
    {L"abcdef", 18, true, L""},
    {L"abcdef", 20, false, L"..."},
    // Right to left the ellipsis alone too, not "...f" (24 pixels in a width of 20).
    {L"abcdef", 20, true, L"..."},
    {L"abcdef", 30, false, L"ab..."},
    {L"abcdef", 30, true, L"...ef"},
    {L"abcdef", 35, false, L"ab..."},
    {L"abcdef", 35, true, L"...ef"},
    {L"abcdef", 41, false, L"abc..."},
};

TEST(HeaderLayout, ShortensCaptionsWithAnEllipsis) {
    for (const ShortenCase& c : kShortenCases) {
        EXPECT_EQ(ShortenHeaderCaption(c.text, c.width, c.rightToLeft, FixedExtent), c.expected)
            << "width " << c.width << (c.rightToLeft ? " rtl" : " ltr");
    }
}

TEST(HeaderPaintRules, CellsReachingIntoTheArea) {
    std::vector<THeaderPaintColumn> columns(3);
    columns[0].Width = 50;
    columns[1].Width = 30;
    columns[2].Width = 40;
    const TTreeRect header{2, 0, 300, 17};
    using Cells = std::vector<THeaderCell>;
    EXPECT_EQ(HeaderCellsInArea(columns, header, -10, header),
              (Cells{{0, {-8, 0, 42, 17}}, {1, {42, 0, 72, 17}}, {2, {72, 0, 112, 17}}}));
    // A cell ending at the area's left edge is skipped; the walk stops at the first cell beyond its right.
    EXPECT_EQ(HeaderCellsInArea(columns, header, -10, TTreeRect{42, 0, 60, 17}),
              (Cells{{1, {42, 0, 72, 17}}}));
    EXPECT_EQ(HeaderCellsInArea(columns, header, -10, TTreeRect{45, 5, 71, 10}),
              (Cells{{1, {42, 0, 72, 17}}}));
}

TEST(HeaderPaintRules, CellStateFromTheHeaderIndexes) {
    THeaderPaintRecord header;
    header.Options = bits::hoHotTrack | bits::hoShowImages | bits::hoShowSortGlyphs;
    int images = 0;
    header.Images = &images;
    THeaderPaintColumn column;
    column.IsHoverIndex = true;
    column.IsSortColumn = true;
    column.ImageIndex = 0;
    column.IsDropTarget = true;
    column.DropBefore = true;
    THeaderCellState state = ResolveHeaderCell(header, column);
    EXPECT_TRUE(state.Hover);
    EXPECT_TRUE(state.ShowSortGlyph);
    EXPECT_TRUE(state.ShowHeaderGlyph);
    EXPECT_EQ(state.DropMark, TVTDropMarkMode::dmmLeft);

    column.DropBefore = false;
    EXPECT_EQ(ResolveHeaderCell(header, column).DropMark, TVTDropMarkMode::dmmRight);
    column.IsDragIndex = true; // no drop mark on the dragged column itself
    EXPECT_EQ(ResolveHeaderCell(header, column).DropMark, TVTDropMarkMode::dmmNone);

    column.Options &= static_cast<std::uint16_t>(~bits::coEnabled);
    state = ResolveHeaderCell(header, column);
    EXPECT_FALSE(state.Hover);
    EXPECT_FALSE(state.Enabled);

    column.Options = 0xFF;
    header.Enabled = false;
    EXPECT_FALSE(ResolveHeaderCell(header, column).Enabled);

    header.Options = 0;
    header.Images = nullptr;
    state = ResolveHeaderCell(header, column);
    EXPECT_FALSE(state.Hover);
    EXPECT_FALSE(state.ShowSortGlyph);
    EXPECT_FALSE(state.ShowHeaderGlyph);
}

TEST(HeaderPaintRules, LastCellDropsItsRightBorderOnlyWithAutoResizeBevelAndNoThickButtons) {
    THeaderPaintRecord header;
    header.Options = bits::hoAutoResize;
    header.HasBevel = true;
    header.Style = THeaderFaceStyle::hsXPStyle;
    THeaderPaintColumn column;
    column.AtLastPosition = true;
    EXPECT_FALSE(ResolveHeaderCell(header, column).ShowRightBorder);
    header.Style = THeaderFaceStyle::hsThickButtons;
    EXPECT_TRUE(ResolveHeaderCell(header, column).ShowRightBorder);
    header.Style = THeaderFaceStyle::hsPlates;
    header.HasBevel = false;
    EXPECT_TRUE(ResolveHeaderCell(header, column).ShowRightBorder);
    header.HasBevel = true;
    column.AtLastPosition = false;
    EXPECT_TRUE(ResolveHeaderCell(header, column).ShowRightBorder);
}

TEST(HeaderPaintRules, EdgeTable) {
    using S = THeaderFaceStyle;
    struct EdgeCase {
        S style;
        bool pressed, hover, clickable, rightBorder;
        THeaderEdge expected;
    };
    const EdgeCase cases[] = {
        {S::hsThickButtons, false, false, true, true, {5, 0x380F}},
        {S::hsThickButtons, false, true, true, false, {5, 0x380B}},
        {S::hsThickButtons, true, false, true, false, {5, 0x780F}},
        {S::hsFlatButtons, false, false, true, true, {4, 0x280F}},
        {S::hsFlatButtons, true, false, true, false, {2, 0x280F}},
        {S::hsPlates, false, false, true, false, {4, 0x380F}},
        {S::hsPlates, false, true, true, false, {4, 0x280B}},
        {S::hsPlates, false, true, true, true, {4, 0x280F}},
        {S::hsPlates, false, true, false, false, {4, 0x380F}},
        {S::hsPlates, true, true, true, true, {2, 0x280F}},
    };
    for (const EdgeCase& c : cases)
        EXPECT_EQ(HeaderEdgeFor(c.style, c.pressed, c.hover, c.clickable, c.rightBorder), c.expected)
            << static_cast<int>(c.style) << c.pressed << c.hover << c.clickable << c.rightBorder;
}

TEST(HeaderPaintRules, SortGlyphImages) {
    EXPECT_EQ(SortGlyphImageIndex(TSortDirection::sdAscending, false), 3);
    EXPECT_EQ(SortGlyphImageIndex(TSortDirection::sdDescending, false), 2);
    EXPECT_EQ(SortGlyphImageIndex(TSortDirection::sdAscending, true), 5);
    EXPECT_EQ(SortGlyphImageIndex(TSortDirection::sdDescending, true), 4);
}

TEST(HeaderPaintRules, HeaderGlyphRightOfTheTextStaysBesideASortGlyph) {
    THeaderPaintColumn column;
    column.Layout = L::blGlyphRight;
    // Right of the text and clear of the sort glyph: drawn (ending past the text's right edge is normal).
    EXPECT_TRUE(HeaderGlyphFits(column, true, {60, 2}, 16, {80, 2}));
    // Running into the sort glyph in a cell too narrow for both: left out.
    EXPECT_FALSE(HeaderGlyphFits(column, true, {4, 2}, 16, {10, 2}));
    column.RightToLeft = true;
    EXPECT_TRUE(HeaderGlyphFits(column, true, {4, 2}, 16, {10, 2}));
    column.RightToLeft = false;
    EXPECT_TRUE(HeaderGlyphFits(column, false, {4, 2}, 16, {10, 2}));
}

} // namespace
} // namespace tarvola::test
