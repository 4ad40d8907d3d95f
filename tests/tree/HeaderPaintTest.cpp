// The header painter under Wine, classic mode, into 32-bit DIB sections: XP faces at their fixed colours,
// pressed offsets, sort glyphs and drop marks from a utility list of distinct solid images, partial
// repaints and owner drawing. Only non-text pixels are compared (no captions are painted here).
#include "tree/HeaderPaint.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace tarvola::test {
namespace {

namespace bits = header_paint_bits;

constexpr COLORREF MaskColor = RGB(255, 0, 255);
constexpr COLORREF Sentinel = RGB(1, 2, 3);

// Utility image i is a solid square of its own colour; the underline pieces 6-8 are bands in the bottom
// three rows of their squares.
COLORREF UtilityColor(int index) {
    return RGB(20 + index * 25, 180 - index * 15, 40 + index * 20);
}
constexpr COLORREF GlyphColor = RGB(200, 30, 30);

HBITMAP SolidImage(int size, const std::function<COLORREF(int x, int y)>& pixel) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const COLORREF c = pixel(x, y);
            pixels[y * size + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    return bitmap;
}

struct ImageList {
    HIMAGELIST handle = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 9, 0);
    ~ImageList() { ImageList_Destroy(handle); }
    void Add(const std::function<COLORREF(int x, int y)>& pixel) {
        HBITMAP image = SolidImage(16, pixel);
        ImageList_AddMasked(handle, image, MaskColor);
        DeleteObject(image);
    }
};

// A theme that paints items and background in one flat colour each, so themed cells are easy to tell.
struct FlatTheme : IHeaderTheme {
    static constexpr COLORREF Item = RGB(90, 90, 200);
    void DrawHeaderBackground(HDC dc, const RECT& bounds) override { Fill(dc, bounds, RGB(60, 60, 60)); }
    void DrawHeaderItem(HDC dc, const RECT& bounds, THeaderItemState) override { Fill(dc, bounds, Item); }
    static void Fill(HDC dc, const RECT& r, COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
};

struct HeaderPaintFixture : ::testing::Test {
    ImageList utility;
    ImageList glyphs;
    THeaderPainter painter;
    THeaderPaintRecord header;
    std::vector<THeaderPaintColumn> columns;
    TBitmap target{220, 24};

    HeaderPaintFixture() {
        for (int i = 0; i < 9; ++i) {
            const bool band = i >= UnderlineLeftImage;
            utility.Add([=](int, int y) { return !band || y >= 13 ? UtilityColor(i) : MaskColor; });
        }
        glyphs.Add([](int, int) { return GlyphColor; });
        header.HeaderRect = {0, 0, 200, 20};
        header.Style = THeaderFaceStyle::hsXPStyle;
        header.UtilityImages = utility.handle;
        header.Images = glyphs.handle;
        for (int i = 0; i < 3; ++i) {
            THeaderPaintColumn column;
            column.Index = i;
            column.Width = 60;
            columns.push_back(column);
        }
        columns.back().AtLastPosition = true;
        Fill(Sentinel);
    }

    void Fill(COLORREF color) {
        FlatTheme::Fill(target.DC(), RECT{0, 0, target.Width(), target.Height()}, color);
    }
    void Paint(const TTreeRect& area) { painter.PaintHeader(target.DC(), area, header, columns); }
    void PaintAll() { Paint(header.HeaderRect); }
    COLORREF At(int x, int y) const { return target.Pixel(x, y); }

    // The top-left pixel of the given colour inside the rectangle; (-1, -1) when there is none.
    POINT Find(COLORREF color, const RECT& r) const {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (At(x, y) == color)
                    return POINT{x, y};
        return POINT{-1, -1};
    }
};

TEST_F(HeaderPaintFixture, XPFacesNormalHotAndPressed) {
    header.Options = bits::hoHotTrack;
    columns[1].IsHoverIndex = true;
    columns[2].IsDownIndex = true;
    PaintAll();

    EXPECT_EQ(At(30, 8), RGB(235, 234, 219));
    EXPECT_EQ(At(90, 8), RGB(250, 248, 243));
    EXPECT_EQ(At(150, 8), RGB(222, 223, 216));

    // Splitter from Top + 3 to Bottom - 5, only on the normal cell.
    EXPECT_EQ(At(58, 3), RGB(199, 197, 178));
    EXPECT_EQ(At(59, 3), RGB(255, 255, 255));
    EXPECT_EQ(At(58, 14), RGB(199, 197, 178));
    EXPECT_EQ(At(58, 2), RGB(235, 234, 219));
    EXPECT_EQ(At(58, 15), RGB(235, 234, 219));
    EXPECT_EQ(At(118, 8), RGB(250, 248, 243));
    EXPECT_EQ(At(119, 8), RGB(250, 248, 243));

    // Shaded bottom lines of the normal cell.
    EXPECT_EQ(At(30, 17), RGB(224, 222, 207));
    EXPECT_EQ(At(30, 18), RGB(213, 210, 195));
    EXPECT_EQ(At(30, 19), RGB(203, 199, 184));

    // Pressed frame: left, bottom and right, then the inner pair along left and top.
    EXPECT_EQ(At(120, 8), RGB(165, 165, 151));
    EXPECT_EQ(At(150, 19), RGB(165, 165, 151));
    EXPECT_EQ(At(179, 8), RGB(165, 165, 151));
    EXPECT_EQ(At(121, 8), RGB(193, 194, 184));
    EXPECT_EQ(At(150, 0), RGB(193, 194, 184));
    EXPECT_EQ(At(122, 8), RGB(208, 209, 201));
    EXPECT_EQ(At(150, 1), RGB(208, 209, 201));

    // Hot underline: left piece, repeated middle piece, right piece, three rows high.
    EXPECT_EQ(At(62, 19), UtilityColor(6));
    EXPECT_EQ(At(85, 17), UtilityColor(7));
    EXPECT_EQ(At(115, 19), UtilityColor(8));
    EXPECT_EQ(At(90, 16), RGB(250, 248, 243));

    // The header beyond the last column: a plain XP face, without a splitter.
    EXPECT_EQ(At(190, 8), RGB(235, 234, 219));
    EXPECT_EQ(At(198, 5), RGB(235, 234, 219));
    EXPECT_EQ(At(190, 19), RGB(203, 199, 184));
    // Nothing outside the header.
    EXPECT_EQ(At(205, 8), Sentinel);
    EXPECT_EQ(At(30, 21), Sentinel);
}

TEST_F(HeaderPaintFixture, NarrowHotCellStretchesTheLeftPiece) {
    header.Options = bits::hoHotTrack;
    columns[0].Width = 30;
    columns[0].IsHoverIndex = true;
    PaintAll();
    // Left half (15 pixels) from piece 6, the right 16 pixels from piece 8.
    EXPECT_EQ(At(0, 19), UtilityColor(6));
    EXPECT_EQ(At(14, 17), UtilityColor(6));
    EXPECT_EQ(At(14, 19), UtilityColor(6));
    EXPECT_EQ(At(20, 19), UtilityColor(8));
    EXPECT_EQ(At(29, 17), UtilityColor(8));
    EXPECT_EQ(At(10, 16), RGB(250, 248, 243));
}

TEST_F(HeaderPaintFixture, PressedCellMovesItsGlyphByOnePixel) {
    header.Style = THeaderFaceStyle::hsThickButtons;
    header.Options = bits::hoShowImages;
    columns[1].ImageIndex = 0;
    PaintAll();
    EXPECT_EQ(At(30, 8), GetSysColor(COLOR_BTNFACE));
    const RECT cell{60, 0, 120, 20};
    const POINT normal = Find(GlyphColor, cell);
    ASSERT_GE(normal.x, 60);

    columns[1].IsDownIndex = true;
    Fill(Sentinel);
    PaintAll();
    const POINT pressed = Find(GlyphColor, cell);
    EXPECT_EQ(pressed.x, normal.x + 1);
    EXPECT_EQ(pressed.y, normal.y + 1);
}

TEST_F(HeaderPaintFixture, SortGlyphByDirectionAndThemeAndDropMarks) {
    struct Case {
        TSortDirection direction;
        bool themed;
        int image;
    };
    const Case cases[] = {{TSortDirection::sdAscending, false, 3},
                          {TSortDirection::sdDescending, false, 2},
                          {TSortDirection::sdAscending, true, 5},
                          {TSortDirection::sdDescending, true, 4}};
    FlatTheme theme;
    header.Options = bits::hoShowSortGlyphs;
    columns[1].IsSortColumn = true;
    columns[1].IsDropTarget = true;
    columns[1].DropBefore = true;
    columns[2].IsDropTarget = true;
    for (const Case& c : cases) {
        header.SortDirection = c.direction;
        header.Theme = c.themed ? &theme : nullptr;
        Fill(Sentinel);
        PaintAll();
        SCOPED_TRACE(c.image);
        // A sort glyph alone is centred in the content (56 x 16 at (62, 2)).
        EXPECT_EQ(At(82, 2), UtilityColor(c.image));
        EXPECT_EQ(At(97, 17), UtilityColor(c.image));
        for (int other = 2; other <= 5; ++other) {
            if (other != c.image) {
                EXPECT_EQ(Find(UtilityColor(other), RECT{0, 0, 200, 20}).x, -1) << other;
            }
        }
        // Drop marks: image 0 at the left edge of a drop-before target, image 1 at the right edge otherwise.
        EXPECT_EQ(At(60, 2), UtilityColor(0));
        EXPECT_EQ(At(75, 17), UtilityColor(0));
        EXPECT_EQ(At(164, 2), UtilityColor(1));
        EXPECT_EQ(At(179, 17), UtilityColor(1));
        if (c.themed) {
            EXPECT_EQ(At(30, 8), FlatTheme::Item);
        }
    }
}

TEST_F(HeaderPaintFixture, PaintingPartOfOneColumnChangesOnlyThatPart) {
    header.Options = bits::hoHotTrack | bits::hoShowImages | bits::hoShowSortGlyphs;
    columns[1].ImageIndex = 0;
    columns[1].IsSortColumn = true;
    columns[1].IsHoverIndex = true;
    columns[1].Alignment = THeaderAlignment::taCenter;

    THeaderPainter reference;
    TBitmap whole(220, 24);
    reference.PaintHeader(whole.DC(), header.HeaderRect, header, columns);

    const TTreeRect area{70, 4, 101, 19};
    Paint(area);
    for (int y = 0; y < target.Height(); ++y)
        for (int x = 0; x < target.Width(); ++x) {
            const bool inside = x >= area.Left && x < area.Right && y >= area.Top && y < area.Bottom;
            ASSERT_EQ(At(x, y), inside ? whole.Pixel(x, y) : Sentinel) << x << "," << y;
        }
    // The area held parts of the glyph and of the sort glyph.
    EXPECT_NE(Find(GlyphColor, RECT{70, 4, 101, 19}).x, -1);
    EXPECT_NE(Find(UtilityColor(3), RECT{70, 4, 101, 19}).x, -1);
}

TEST_F(HeaderPaintFixture, OwnerDrawnColumnsAreDrawnWhollyByTheEvent) {
    constexpr COLORREF OwnerColor = RGB(9, 99, 199);
    struct Call {
        TColumnIndex column;
        TTreeRect cell;
    };
    std::vector<Call> calls;
    auto draw = [&](TCanvas& canvas, const THeaderPaintColumn& column, const TTreeRect& cell, bool, bool,
                    TVTDropMarkMode) {
        calls.push_back({column.Index, cell});
        // The top half of the cell, and a line across the whole header that the clip keeps in the cell.
        FlatTheme::Fill(canvas.Handle(), RECT{cell.Left, cell.Top, cell.Right, cell.Top + 8}, OwnerColor);
        FlatTheme::Fill(canvas.Handle(), RECT{0, 12, 200, 13}, OwnerColor);
    };
    painter.Events.OnHeaderDraw = TVTHeaderPaintEvent::Bind(draw);
    header.Options = bits::hoOwnerDraw;
    columns[1].OwnerDraw = true;
    PaintAll();

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].column, 1);
    EXPECT_EQ(calls[0].cell, (TTreeRect{60, 0, 120, 20}));
    EXPECT_EQ(At(90, 4), OwnerColor);
    EXPECT_EQ(At(90, 12), OwnerColor);
    // No face under the event's drawing: no splitter on the owner-drawn cell, the header background only.
    EXPECT_EQ(At(118, 10), RGB(235, 234, 219));
    // The others are drawn normally, untouched by the event's line.
    EXPECT_EQ(At(58, 10), RGB(199, 197, 178));
    EXPECT_EQ(At(30, 12), RGB(235, 234, 219));
    EXPECT_EQ(At(150, 12), RGB(235, 234, 219));

    // Without hoOwnerDraw the event is not asked and the column gets its face.
    calls.clear();
    header.Options = 0;
    PaintAll();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(At(118, 10), RGB(199, 197, 178));
}

TEST_F(HeaderPaintFixture, AdvancedOwnerDrawTakesChosenElements) {
    constexpr COLORREF OwnerColor = RGB(9, 99, 199);
    header.Options = bits::hoOwnerDraw | bits::hoShowSortGlyphs;
    columns[1].IsSortColumn = true;
    std::vector<THeaderPaintInfo> drawn;
    auto query = [&](THeaderPaintInfo& info, THeaderPaintElements& elements) {
        if (info.Column != nullptr && info.Column->Index == 1)
            elements = hpeSortGlyph;
    };
    auto advanced = [&](THeaderPaintInfo& info, THeaderPaintElements elements) {
        EXPECT_EQ(elements, hpeSortGlyph);
        drawn.push_back(info);
        const THeaderPoint p = info.SortGlyphPos;
        FlatTheme::Fill(info.TargetCanvas->Handle(), RECT{p.X, p.Y, p.X + 4, p.Y + 4}, OwnerColor);
    };
    painter.Events.OnHeaderDrawQueryElements = TVTHeaderPaintQueryElementsEvent::Bind(query);
    painter.Events.OnAdvancedHeaderDraw = TVTAdvancedHeaderPaintEvent::Bind(advanced);
    PaintAll();

    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_TRUE(drawn[0].ShowSortGlyph);
    EXPECT_EQ(drawn[0].SortGlyphPos, (THeaderPoint{82, 2}));
    EXPECT_EQ(At(82, 2), OwnerColor);
    // The owner took the sort glyph: the utility image is not drawn; the face is still the painter's.
    EXPECT_EQ(Find(UtilityColor(3), RECT{0, 0, 200, 20}).x, -1);
    EXPECT_EQ(At(118, 10), RGB(199, 197, 178));
}

TEST_F(HeaderPaintFixture, RightToLeftHeaderMakesRoomForTheScrollBar) {
    header.Options = bits::hoShowSortGlyphs;
    columns[0].IsSortColumn = true;
    header.RightToLeft = true;
    header.VerticalScrollBarShown = true;
    PaintAll();
    const int shift = GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(At(22 + shift, 2), UtilityColor(3));
    EXPECT_EQ(At(58 + shift, 10), RGB(199, 197, 178));
}

TEST_F(HeaderPaintFixture, CaptionStaysWithinItsMarginsEnabledOrNot) {
    constexpr COLORREF Face = RGB(235, 234, 219);
    columns[0].Text = L"A caption far too long for its cell";
    const auto textPixels = [&](int left, int right) {
        int count = 0;
        for (int y = 2; y < 17; ++y)
            for (int x = left; x < right; ++x)
                count += At(x, y) != Face ? 1 : 0;
        return count;
    };
    for (bool enabled : {true, false}) {
        header.Enabled = enabled;
        Fill(Sentinel);
        PaintAll();
        SCOPED_TRACE(enabled);
        // Content 2..58, margin 4: the text runs from 6 and is cut at 54; disabled, its highlight lies one
        // pixel further right and down.
        const int cut = enabled ? 54 : 55;
        EXPECT_GT(textPixels(6, cut), 0);
        EXPECT_EQ(textPixels(2, 6), 0);
        EXPECT_EQ(textPixels(cut, 58), 0);
    }
}

} // namespace
} // namespace tarvola::test
