#include "tree/HeaderPaint.h"

#include "base/Numerics.h"

#include <algorithm>

namespace tarvola {
namespace {

namespace bits = header_paint_bits;

RECT ToRect(const TTreeRect& r) {
    return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

TTreeRect Intersection(const TTreeRect& a, const TTreeRect& b) {
    return TTreeRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                     std::min(a.Bottom, b.Bottom)};
}

THeaderSize ImageSize(HIMAGELIST images) {
    int width = 0;
    int height = 0;
    if (images != nullptr)
        ImageList_GetIconSize(images, &width, &height);
    return {width, height};
}

THeaderPoint Moved(THeaderPoint p, int dx, int dy) {
    return {p.X + dx, p.Y + dy};
}

// Selects an object into the buffer for the paint and puts the previous one back, also when an owner
// event throws.
class TSelection {
public:
    TSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~TSelection() { SelectObject(dc_, previous_); }
    TSelection(const TSelection&) = delete;
    TSelection& operator=(const TSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Owner drawing runs with the device context's state saved around it.
class TSavedState {
public:
    explicit TSavedState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~TSavedState() { RestoreDC(dc_, saved_); }
    TSavedState(const TSavedState&) = delete;
    TSavedState& operator=(const TSavedState&) = delete;

private:
    HDC dc_;
    int saved_;
};

class TClipToCell {
public:
    TClipToCell(HDC dc, const TTreeRect& clip) : dc_(dc) {
        HRGN region = CreateRectRgn(clip.Left, clip.Top, clip.Right, clip.Bottom);
        SelectClipRgn(dc, region);
        DeleteObject(region);
    }
    ~TClipToCell() { SelectClipRgn(dc_, nullptr); }
    TClipToCell(const TClipToCell&) = delete;
    TClipToCell& operator=(const TClipToCell&) = delete;

private:
    HDC dc_;
};

} // namespace

struct THeaderPainter::TPaintPass {
    HDC Dc;
    TCanvas& Canvas;
    const THeaderPaintRecord& Header;
    const std::vector<THeaderPaintColumn>& Columns;
    TTreeRect Area;
    bool OwnerDraw = false;
    bool Advanced = false;
    HIMAGELIST Images = nullptr;
    HIMAGELIST Utility = nullptr;
    THeaderSize GlyphSize;
    THeaderSize UtilitySize;
    THeaderTextColors TextColors;
};

void THeaderPainter::PaintHeader(HDC target, const TTreeRect& requested, const THeaderPaintRecord& header,
                                 const std::vector<THeaderPaintColumn>& columns) {
    // The buffer shares the target's coordinates; nothing left of or above its origin is painted.
    const TTreeRect area{std::max(requested.Left, 0), std::max(requested.Top, 0), requested.Right,
                         requested.Bottom};
    if (area.Empty())
        return;
    const int width = std::max({header.HeaderRect.Right, area.Right, bitmap_.Width()});
    const int height = std::max({header.HeaderRect.Bottom, area.Bottom, bitmap_.Height()});
    if (width != bitmap_.Width() || height != bitmap_.Height())
        bitmap_.SetSize(width, height);

    HDC dc = bitmap_.DC();
    // The font goes in before the owner's canvas, so the canvas hands it back and this puts back the
    // buffer's own font last.
    const TSelection font(dc, header.Font != nullptr ? static_cast<HGDIOBJ>(header.Font->Handle())
                                                     : GetStockObject(DEFAULT_GUI_FONT));
    TCanvas canvas(dc);
    if (header.Font != nullptr)
        canvas.Font.Assign(*header.Font);
    canvas.Brush.Color = header.Background;

    TPaintPass pass{dc, canvas, header, columns, area};
    const bool ownerDrawOption = (header.Options & bits::hoOwnerDraw) != 0;
    pass.Advanced = ownerDrawOption && Events.OnHeaderDrawQueryElements && Events.OnAdvancedHeaderDraw;
    pass.OwnerDraw = ownerDrawOption && Events.OnHeaderDraw && !pass.Advanced;
    pass.Images = static_cast<HIMAGELIST>(header.Images);
    pass.Utility = static_cast<HIMAGELIST>(header.UtilityImages);
    pass.GlyphSize = ImageSize(pass.Images);
    pass.UtilitySize = ImageSize(pass.Utility);
    pass.TextColors.Normal = ColorToRGB(header.Font != nullptr ? header.Font->Color() : clWindowText);
    pass.TextColors.Hot = ColorToRGB(header.HotColor);

    // Right to left, the columns end where the vertical scroll bar begins.
    int hOffset = header.HOffset;
    if (header.RightToLeft && header.VerticalScrollBarShown)
        hOffset += GetSystemMetrics(SM_CXVSCROLL);

    PaintBackground(pass);
    for (const THeaderCell& cell : HeaderCellsInArea(columns, header.HeaderRect, hOffset, area))
        PaintCell(pass, cell);
    GdiFlush();
    BitBlt(target, area.Left, area.Top, area.Right - area.Left, area.Bottom - area.Top, dc, area.Left,
           area.Top, SRCCOPY);
}

void THeaderPainter::PaintBackground(TPaintPass& pass) {
    if (pass.Advanced) {
        THeaderPaintInfo info;
        info.TargetCanvas = &pass.Canvas;
        info.PaintRectangle = pass.Area;
        THeaderPaintElements elements = 0;
        Events.OnHeaderDrawQueryElements(info, elements);
        if ((elements & hpeBackground) != 0) {
            const TSavedState saved(pass.Dc);
            Events.OnAdvancedHeaderDraw(info, hpeBackground);
            return;
        }
    }
    const RECT r = ToRect(pass.Area);
    if (pass.Header.Theme != nullptr) {
        pass.Header.Theme->DrawHeaderBackground(pass.Dc, r);
    } else if (pass.Header.Style == THeaderFaceStyle::hsXPStyle) {
        DrawXPButton(pass.Dc, r, false, false, false, pass.Utility);
    } else {
        const COLORREF previous = SetDCBrushColor(pass.Dc, ColorToRGB(pass.Header.Background));
        FillRect(pass.Dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        SetDCBrushColor(pass.Dc, previous);
    }
}

void THeaderPainter::PaintCell(TPaintPass& pass, const THeaderCell& cell) {
    const THeaderPaintColumn& column = pass.Columns[cell.Column];
    const THeaderCellState state = ResolveHeaderCell(pass.Header, column);
    const bool drawnByOwner = column.OwnerDraw && pass.OwnerDraw;

    THeaderPaintInfo info;
    info.TargetCanvas = &pass.Canvas;
    info.PaintRectangle = cell.Bounds;
    info.Column = &column;
    info.IsHoverIndex = state.Hover;
    info.IsDownIndex = state.Pressed;
    info.ShowHeaderGlyph = state.ShowHeaderGlyph;
    info.ShowSortGlyph = state.ShowSortGlyph;
    info.ShowRightBorder = state.ShowRightBorder;
    info.DropMark = state.DropMark;

    THeaderPaintElements ownerElements = 0;
    if (!drawnByOwner) {
        if (pass.Advanced)
            Events.OnHeaderDrawQueryElements(info, ownerElements);
        if ((ownerElements & hpeBackground) != 0) {
            const TSavedState saved(pass.Dc);
            Events.OnAdvancedHeaderDraw(info, hpeBackground);
        } else {
            PaintFace(pass, column, state, cell.Bounds);
        }
    }

    const TClipToCell clip(pass.Dc, Intersection(cell.Bounds, pass.Area));
    if (drawnByOwner)
        Events.OnHeaderDraw(pass.Canvas, column, cell.Bounds, state.Hover, state.Pressed, state.DropMark);
    else
        PaintContent(pass, info, state, static_cast<THeaderPaintElements>(ownerElements & ~hpeBackground));
}

void THeaderPainter::PaintFace(TPaintPass& pass, const THeaderPaintColumn& column,
                               const THeaderCellState& state, const TTreeRect& bounds) {
    RECT r = ToRect(bounds);
    if (pass.Header.Theme != nullptr) {
        const THeaderItemState item = state.Pressed ? THeaderItemState::Pressed
                                      : state.Hover ? THeaderItemState::Hot
                                                    : THeaderItemState::Normal;
        pass.Header.Theme->DrawHeaderItem(pass.Dc, r, item);
    } else if (pass.Header.Style == THeaderFaceStyle::hsXPStyle) {
        DrawXPButton(pass.Dc, r, state.Hover, state.Pressed, state.ShowRightBorder, pass.Utility);
    } else {
        const bool clickable = (column.Options & bits::coAllowClick) != 0 && state.Enabled;
        const THeaderEdge edge =
            HeaderEdgeFor(pass.Header.Style, state.Pressed, state.Hover, clickable, state.ShowRightBorder);
        DrawEdge(pass.Dc, &r, edge.Edge, edge.Flags);
    }
}

void THeaderPainter::PaintContent(TPaintPass& pass, THeaderPaintInfo& info, const THeaderCellState& state,
                                  THeaderPaintElements ownerElements) {
    const THeaderPaintColumn& column = *info.Column;
    const TTreeRect& cell = info.PaintRectangle;
    HDC dc = pass.Dc;

    THeaderLayoutInput input;
    input.Client = TTreeRect{cell.Left + 2, cell.Top + 2, cell.Right - 2, cell.Bottom - 2};
    input.Caption = column.Text;
    input.UseHeaderGlyph = state.ShowHeaderGlyph;
    input.GlyphSize = pass.GlyphSize;
    input.UseSortGlyph = state.ShowSortGlyph;
    input.SortGlyphSize = pass.UtilitySize;
    input.Layout = column.Layout;
    input.Alignment = column.Alignment;
    input.Margin = column.Margin;
    input.Spacing = column.Spacing;
    input.RightToLeft = column.RightToLeft;
    THeaderLayout layout = ComputeHeaderLayout(input, [dc](std::wstring_view text) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.data(), CheckedCast<int>(text.size()), &size);
        return THeaderSize{size.cx, size.cy};
    });
    if (state.Pressed) {
        layout.HeaderGlyphPos = Moved(layout.HeaderGlyphPos, 1, 1);
        layout.SortGlyphPos = Moved(layout.SortGlyphPos, 1, 1);
        const TTreeRect& t = layout.TextBounds;
        layout.TextBounds = TTreeRect{t.Left + 1, t.Top + 1, t.Right + 1, t.Bottom + 1};
    }
    info.GlyphPos = layout.HeaderGlyphPos;
    info.SortGlyphPos = layout.SortGlyphPos;
    info.TextRectangle = layout.TextBounds;

    if (state.ShowHeaderGlyph && (ownerElements & hpeHeaderGlyph) == 0 &&
        HeaderGlyphFits(column, state.ShowSortGlyph, layout.HeaderGlyphPos, pass.GlyphSize.Width,
                        layout.SortGlyphPos)) {
        const UINT style = ILD_TRANSPARENT | (state.Enabled ? 0 : ILD_BLEND50);
        ImageList_DrawEx(pass.Images, column.ImageIndex, dc, layout.HeaderGlyphPos.X, layout.HeaderGlyphPos.Y,
                         0, 0, CLR_NONE, CLR_NONE, style);
    }
    if (!column.Text.empty() && (ownerElements & hpeText) == 0) {
        const UINT format = DT_NOPREFIX | (column.RightToLeft ? DT_RTLREADING : 0);
        const bool hot = state.Hover && pass.Header.Theme == nullptr;
        DrawButtonText(dc, column.Text, ToRect(layout.TextBounds), state.Enabled, hot, format,
                       pass.TextColors);
    }
    if (state.ShowSortGlyph && pass.Utility != nullptr && (ownerElements & hpeSortGlyph) == 0) {
        const int index = SortGlyphImageIndex(pass.Header.SortDirection, pass.Header.Theme != nullptr);
        ImageList_Draw(pass.Utility, index, dc, layout.SortGlyphPos.X, layout.SortGlyphPos.Y,
                       ILD_TRANSPARENT);
    }
    if (state.DropMark != TVTDropMarkMode::dmmNone && pass.Utility != nullptr &&
        (ownerElements & hpeDropMark) == 0) {
        const bool left = state.DropMark == TVTDropMarkMode::dmmLeft;
        const int x = left ? cell.Left : cell.Right - pass.UtilitySize.Width;
        const int y = cell.Top + (cell.Bottom - cell.Top - pass.UtilitySize.Height) / 2;
        ImageList_Draw(pass.Utility, left ? LeftDropMarkImage : RightDropMarkImage, dc, x, y,
                       ILD_TRANSPARENT);
    }
    if (ownerElements != 0) {
        const TSavedState saved(dc);
        Events.OnAdvancedHeaderDraw(info, ownerElements);
    }
}

} // namespace tarvola
