#include "tree/NodeDecorations.h"

#include "tree/DrawingHelpers.h"
#include "tree/DrawingHelpersWin32.h"
#include "tree/ThemeServices.h"
#include "tree/TreeResources.h"

#include <algorithm>
#include <utility>

namespace tarvola {
namespace {

constexpr DWORD KeepDestination = 0x00AA0029;
constexpr DWORD PaintWhereSourceClear = 0x00B8074A; // brush where the source is 0, destination elsewhere

// A memory device context with a bitmap selected, restored on destruction.
class TSelectedBitmap {
public:
    TSelectedBitmap(HDC compatible, HBITMAP bitmap)
        : dc_(CreateCompatibleDC(compatible)), original_(SelectObject(dc_, bitmap)) {}
    ~TSelectedBitmap() {
        SelectObject(dc_, original_);
        DeleteDC(dc_);
    }
    TSelectedBitmap(const TSelectedBitmap&) = delete;
    TSelectedBitmap& operator=(const TSelectedBitmap&) = delete;
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ original_;
};

void FillSolid(HDC dc, const RECT& r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// Copies W x H from (SX, SY) of Bitmap to (X, Y), leaving out the pixels of TransparentColor.
void BlitTransparent(HDC dc, int x, int y, int w, int h, HBITMAP bitmap, int sx, int sy,
                     COLORREF transparentColor) {
    TSelectedBitmap source(dc, bitmap);
    HBITMAP maskBitmap = CreateBitmap(w, h, 1, 1, nullptr);
    {
        TSelectedBitmap mask(dc, maskBitmap);
        SetBkColor(source.dc(), transparentColor); // pixels of the background colour become 1 bits
        BitBlt(mask.dc(), 0, 0, w, h, source.dc(), sx, sy, SRCCOPY);
    }
    // Mask bit 1 keeps the destination, 0 copies the source.
    MaskBlt(dc, x, y, w, h, source.dc(), sx, sy, maskBitmap, 0, 0, MAKEROP4(KeepDestination, SRCCOPY));
    DeleteObject(maskBitmap);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0)
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

HBITMAP CreateButtonBitmap() {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, TNodeButtonBitmaps::Size, TNodeButtonBitmaps::Size);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

void DrawButtonFace(HDC dc, bool plus, const TButtonBitmapStyle& style) {
    constexpr int w = TNodeButtonBitmaps::Size;
    const RECT all{0, 0, w, w};
    FillSolid(dc, all, ButtonTransparentColor);
    if (style.Style == TVTButtonStyle::bsTriangle) {
        HGDIOBJ pen = SelectObject(dc, GetStockObject(BLACK_PEN));
        HGDIOBJ brush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
        const POINT minus[] = {{0, 2}, {8, 2}, {4, 6}};
        const POINT plusShape[] = {{2, 0}, {6, 4}, {2, 8}};
        Polygon(dc, plus ? plusShape : minus, 3);
        SelectObject(dc, brush);
        SelectObject(dc, pen);
    } else if (style.FillMode == TVTButtonFillMode::fmShaded) {
        HBITMAP shaded = LoadInternalBitmap(plus ? L"VT_XPBUTTONPLUS" : L"VT_XPBUTTONMINUS", false);
        if (shaded != nullptr) {
            TSelectedBitmap source(dc, shaded);
            BitBlt(dc, 0, 0, w, w, source.dc(), 0, 0, SRCCOPY);
        }
        DeleteObject(shaded);
    } else {
        const COLORREF fill = style.FillMode == TVTButtonFillMode::fmTreeColor     ? style.TreeColor
                              : style.FillMode == TVTButtonFillMode::fmWindowColor ? style.WindowColor
                                                                                   : ButtonTransparentColor;
        HBRUSH brush = CreateSolidBrush(fill);
        HPEN framePen = CreatePen(PS_SOLID, 1, style.TreeLineColor);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        HGDIOBJ oldPen = SelectObject(dc, framePen);
        Rectangle(dc, 0, 0, w, w);
        HPEN signPen = CreatePen(PS_SOLID, 1, style.FontColor);
        SelectObject(dc, signPen);
        MoveToEx(dc, 2, w / 2, nullptr);
        LineTo(dc, w - 2, w / 2);
        if (plus) {
            MoveToEx(dc, w / 2, 2, nullptr);
            LineTo(dc, w / 2, w - 2);
        }
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(signPen);
        DeleteObject(framePen);
        DeleteObject(brush);
    }
    if (style.Theme != nullptr)
        style.Theme->DrawElement(
            dc, GetElementDetails(TThemedElement::teTreeview, plus ? ttGlyphClosed : ttGlyphOpened), all);
}

void DrawSegment(HDC dc, HBRUSH dotted, const TLineSegment& segment) {
    if (segment.Horizontal)
        DrawDottedHLine(dc, dotted, segment.From, segment.To, segment.At);
    else
        DrawDottedVLine(dc, dotted, segment.From, segment.To, segment.At);
}

void DrawImage(HDC dc, const TNodeImagePaint& image, int index, UINT style) {
    ImageList_DrawEx(image.Images, index, dc, image.XPos, image.YPos, 0, 0,
                     ImageList_GetBkColor(image.Images), image.Foreground, style);
}

// The image's shape (with the overlay of OverlayMask) in the highlight colour one pixel down and right,
// then in the shadow colour.
void DrawDisabledShape(HDC dc, HIMAGELIST images, int index, int x, int y, UINT overlayMask) {
    int w = 0;
    int h = 0;
    if (images == nullptr || !ImageList_GetIconSize(images, &w, &h) || w <= 0 || h <= 0)
        return;
    // The image drawn over a key colour tells its shape: key pixels become 1 bits, the image's 0 bits.
    constexpr COLORREF Key = RGB(1, 254, 3);
    HDC screen = GetDC(nullptr);
    HBITMAP scratchBitmap = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HBITMAP shapeBitmap = CreateBitmap(w, h, 1, 1, nullptr);
    {
        TSelectedBitmap scratch(dc, scratchBitmap);
        TSelectedBitmap shape(dc, shapeBitmap);
        FillSolid(scratch.dc(), RECT{0, 0, w, h}, Key);
        ImageList_Draw(images, index, scratch.dc(), 0, 0, ILD_TRANSPARENT | overlayMask);
        SetBkColor(scratch.dc(), Key);
        BitBlt(shape.dc(), 0, 0, w, h, scratch.dc(), 0, 0, SRCCOPY);
        // Mono to colour: 0 bits take the text colour (black: the brush shows), 1 bits the background
        // colour (white: the destination stays).
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
        for (const auto& [offset, color] :
             {std::pair{1, COLOR_BTNHIGHLIGHT}, std::pair{0, COLOR_BTNSHADOW}}) {
            HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(color));
            BitBlt(dc, x + offset, y + offset, w, h, shape.dc(), 0, 0, PaintWhereSourceClear);
            SelectObject(dc, oldBrush);
        }
        SetBkColor(dc, oldBack);
        SetTextColor(dc, oldText);
    }
    DeleteObject(shapeBitmap);
    DeleteObject(scratchBitmap);
}

} // namespace

TNodeButtonBitmaps::~TNodeButtonBitmaps() {
    Release();
}

void TNodeButtonBitmaps::Release() {
    if (plus_ != nullptr)
        DeleteObject(plus_);
    if (minus_ != nullptr)
        DeleteObject(minus_);
    plus_ = minus_ = nullptr;
}

void TNodeButtonBitmaps::Prepare(const TButtonBitmapStyle& style) {
    Release();
    plus_ = CreateButtonBitmap();
    minus_ = CreateButtonBitmap();
    for (bool plus : {true, false}) {
        TSelectedBitmap target(nullptr, plus ? plus_ : minus_);
        DrawButtonFace(target.dc(), plus, style);
    }
}

TDottedBrush::TDottedBrush(const TLinePattern& pattern) {
    pattern_ = CreateBitmap(8, 8, 1, 1, pattern.data()); // rows of one 16-bit word
    brush_ = CreatePatternBrush(pattern_);
}

TDottedBrush::~TDottedBrush() {
    DeleteObject(brush_);
    DeleteObject(pattern_);
}

void DrawTransparentBitmap(HDC dc, int x, int y, HBITMAP bitmap, COLORREF transparentColor) {
    const SIZE size = BitmapSize(bitmap);
    if (size.cx > 0 && size.cy > 0)
        BlitTransparent(dc, x, y, size.cx, size.cy, bitmap, 0, 0, transparentColor);
}

void DrawDottedHLine(HDC dc, HBRUSH dotted, int left, int right, int top) {
    const RECT r{std::min(left, right), top, std::max(left, right) + 1, top + 1};
    FillRect(dc, &r, dotted);
}

void DrawDottedVLine(HDC dc, HBRUSH dotted, int top, int bottom, int left) {
    const RECT r{left, std::min(top, bottom), left + 1, std::max(top, bottom) + 1};
    FillRect(dc, &r, dotted);
}

void PaintNodeButton(HDC dc, const TNodeButtonBitmaps& bitmaps, bool expanded, const RECT& r, int buttonX,
                     int buttonY, bool rightToLeft) {
    HBITMAP bitmap = expanded ? bitmaps.Minus() : bitmaps.Plus();
    const int x = rightToLeft ? r.right - buttonX - TNodeButtonBitmaps::Size : r.left + buttonX;
    DrawTransparentBitmap(dc, x, r.top + buttonY, bitmap, ButtonTransparentColor);
}

void PaintCheckImage(HDC dc, const TCheckImagePaint& check) {
    if (check.Index < 0)
        return;
    if (check.Theme != nullptr) {
        // Button parts: 1 push button, 2 radio button, 3 check box.
        TThemedElementDetails details{TThemedElement::teButton, 0, 0};
        if (check.Index >= 1 && check.Index <= 8)
            details = {TThemedElement::teButton, 2, check.Index};
        else if (check.Index >= 9 && check.Index <= 20)
            details = {TThemedElement::teButton, 3, check.Index - 8};
        else if (check.Index >= 21 && check.Index <= 24)
            details = {TThemedElement::teButton, 1, check.Index - 20};
        const RECT r{check.XPos - 1, check.YPos, check.XPos + 16, check.YPos + 16};
        check.Theme->DrawElement(dc, details, r);
        if (check.Index >= 21 && check.UtilityImages != nullptr)
            ImageList_Draw(check.UtilityImages, 4, dc, check.XPos - 1, check.YPos, ILD_TRANSPARENT);
        return;
    }
    if (check.Images == nullptr)
        return;
    ImageList_DrawEx(check.Images, check.Index, dc, check.XPos, check.YPos, 0, 0,
                     ImageList_GetBkColor(check.Images), check.Foreground, ILD_TRANSPARENT);
}

void DrawDisabledImage(HDC dc, HIMAGELIST images, int index, int x, int y) {
    DrawDisabledShape(dc, images, index, x, y, 0);
}

void PaintNodeImage(HDC dc, const TNodeImagePaint& image) {
    if (image.Images == nullptr || image.Index < 0)
        return;
    if (!image.Enabled) {
        // Only overlay slots 0-3 come with a disabled image; higher ones are left out.
        const UINT overlay = image.Overlay >= 0 && image.Overlay <= 3
                                 ? static_cast<UINT>(INDEXTOOVERLAYMASK(image.Overlay + 1))
                                 : 0;
        DrawDisabledShape(dc, image.Images, image.Index, image.XPos, image.YPos, overlay);
        return;
    }
    UINT style = ILD_TRANSPARENT;
    if (image.Overlay >= 0 && image.Overlay <= 14)
        style |= INDEXTOOVERLAYMASK(image.Overlay + 1) & ILD_OVERLAYMASK;
    if (image.Blend)
        style |= ILD_BLEND50;
    DrawImage(dc, image, image.Index, style);
    if (image.Overlay >= 15)
        DrawImage(dc, image, image.Overlay, style);
}

void PaintTreeLines(HDC dc, HBRUSH dotted, const TTreeLinesPaint& lines) {
    std::vector<TVTLineType> styles = lines.LineImage;
    int height = lines.NodeHeight;
    COLORREF color = lines.TreeLineColor;
    if (lines.LineMode == TVTLineMode::lmBands) {
        if (!lines.GridLines || lines.NodeHeight == 0)
            return;
        styles = DeriveBandStyles(lines.LineImage, lines.ExpandedWithVisibleChildren);
        height = lines.NodeHeight - 1;
        color = lines.GridLineColor;
    }
    const COLORREF oldText = SetTextColor(dc, color);
    const COLORREF oldBack = SetBkColor(dc, lines.TreeColor);
    POINT oldOrigin{};
    SetBrushOrgEx(dc, lines.BrushOrigin.x, lines.BrushOrigin.y, &oldOrigin);
    int x = lines.RightToLeft ? lines.CellRect.right - lines.Indent : lines.CellRect.left;
    const int step = lines.RightToLeft ? -lines.Indent : lines.Indent;
    for (TVTLineType style : styles) {
        for (const TLineSegment& segment : LineImageSegments(x, lines.CellRect.top, height, lines.VAlign,
                                                             lines.Indent, style, lines.RightToLeft))
            DrawSegment(dc, dotted, segment);
        x += step;
    }
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

void PaintDropMark(HDC dc, const RECT& r, bool above, COLORREF color) {
    const auto shape = DropMarkPolygon({r.left, r.top, r.right, r.bottom}, above);
    POINT points[6];
    for (std::size_t i = 0; i < shape.size(); ++i)
        points[i] = POINT{shape[i].X, shape[i].Y};
    HBRUSH brush = CreateSolidBrush(color);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Polygon(dc, points, 6);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
}

void PaintSelectionRectangle(HDC target, const TSelectionRectanglePaint& selection) {
    const TTreeRect ordered = OrderRect({selection.SelectionRect.left, selection.SelectionRect.top,
                                         selection.SelectionRect.right, selection.SelectionRect.bottom});
    const RECT band{ordered.Left, ordered.Top, ordered.Right, ordered.Bottom};
    if (!selection.Blended) {
        const COLORREF oldText = SetTextColor(target, RGB(255, 255, 255));
        const COLORREF oldBack = SetBkColor(target, RGB(0, 0, 0));
        DrawFocusRect(target, &band);
        SetBkColor(target, oldBack);
        SetTextColor(target, oldText);
        return;
    }
    RECT targetRect = selection.TargetRect;
    OffsetRect(&targetRect, selection.WindowOrgX, 0);
    RECT blended{};
    if (IntersectRect(&blended, &band, &targetRect)) {
        OffsetRect(&blended, -selection.WindowOrgX, 0);
        AlphaBlendRect(nullptr, target, blended, POINT{0, 0}, TBlendMode::bmConstantAlphaAndColor,
                       selection.BlendFactor, static_cast<int>(selection.BlendColor));
    }
    HBRUSH border = CreateSolidBrush(selection.BorderColor);
    FrameRect(target, &band, border);
    DeleteObject(border);
}

void TileBackground(HDC target, const TBackgroundPaint& background) {
    const SIZE size = BitmapSize(background.Picture);
    const auto tiles =
        TileBackgroundPlan({background.R.left, background.R.top, background.R.right, background.R.bottom},
                           {background.Offset.x, background.Offset.y},
                           {background.BackgroundOffset.x, background.BackgroundOffset.y}, size.cx, size.cy);
    if (tiles.empty())
        return;
    TSelectedBitmap source(target, background.Picture);
    for (const TBackgroundTile& tile : tiles)
        BitBlt(target, tile.Target.Left, tile.Target.Top, tile.Target.Right - tile.Target.Left,
               tile.Target.Bottom - tile.Target.Top, source.dc(), tile.SourceX, tile.SourceY, SRCCOPY);
}

void DrawStaticBackground(HDC target, const TBackgroundPaint& background) {
    FillSolid(target, background.R, background.TreeColor);
    const SIZE size = BitmapSize(background.Picture);
    const int left = background.BackgroundOffset.x - background.Offset.x;
    const int top = background.BackgroundOffset.y - background.Offset.y;
    const RECT picture{left, top, left + size.cx, top + size.cy};
    RECT visible{};
    if (!IntersectRect(&visible, &picture, &background.R))
        return;
    const int w = visible.right - visible.left;
    const int h = visible.bottom - visible.top;
    const int sx = visible.left - left;
    const int sy = visible.top - top;
    if (background.Transparent) {
        BlitTransparent(target, visible.left, visible.top, w, h, background.Picture, sx, sy,
                        background.TransparentColor);
    } else {
        TSelectedBitmap source(target, background.Picture);
        BitBlt(target, visible.left, visible.top, w, h, source.dc(), sx, sy, SRCCOPY);
    }
}

void PaintNonClientArea(HDC dc, const TNonClientPaint& frame) {
    if (frame.BevelKind == TBevelKind::bkNone && frame.BorderWidth == 0)
        return;
    RECT rc{0, 0, frame.Width, frame.Height};
    InflateRect(&rc, frame.BorderDimensions.X, frame.BorderDimensions.Y);
    const int saved = SaveDC(dc);
    if (frame.BevelKind != TBevelKind::bkNone) {
        UINT edge = 0;
        edge |= frame.BevelInner == TBevelCut::bvLowered ? BDR_SUNKENINNER : 0;
        edge |= frame.BevelInner == TBevelCut::bvRaised ? BDR_RAISEDINNER : 0;
        edge |= frame.BevelOuter == TBevelCut::bvLowered ? BDR_SUNKENOUTER : 0;
        edge |= frame.BevelOuter == TBevelCut::bvRaised ? BDR_RAISEDOUTER : 0;
        UINT flags = frame.BevelEdges;
        if (frame.BevelKind == TBevelKind::bkSoft)
            flags |= BF_SOFT;
        else if (frame.BevelKind == TBevelKind::bkFlat)
            flags |= BF_FLAT;
        if (!frame.Ctl3D)
            flags |= BF_MONO;
        DrawEdge(dc, &rc, edge, flags);
        const int bevels =
            (frame.BevelInner != TBevelCut::bvNone ? 1 : 0) + (frame.BevelOuter != TBevelCut::bvNone ? 1 : 0);
        const int inset = bevels * frame.BevelWidth;
        if ((frame.BevelEdges & BF_LEFT) != 0)
            rc.left += inset;
        if ((frame.BevelEdges & BF_TOP) != 0)
            rc.top += inset;
        if ((frame.BevelEdges & BF_RIGHT) != 0)
            rc.right -= inset;
        if ((frame.BevelEdges & BF_BOTTOM) != 0)
            rc.bottom -= inset;
    }
    IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
    RECT inner = rc;
    InflateRect(&inner, -frame.BorderWidth, -frame.BorderWidth);
    ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    FillSolid(dc, rc, frame.BorderColor);
    RestoreDC(dc, saved);
}

void PaintRowDecorations(HDC dc, const TRowDecorations& row, const TDecorationResources& resources) {
    if (row.ShowLines && resources.Dotted != nullptr)
        PaintTreeLines(dc, resources.Dotted, row.Lines);
    if (row.ShowButton && resources.Buttons != nullptr)
        PaintNodeButton(dc, *resources.Buttons, row.Expanded, row.ButtonRect, row.ButtonX, row.ButtonY,
                        row.Lines.RightToLeft);
    PaintCheckImage(dc, row.Check);
    PaintNodeImage(dc, row.StateImage);
    PaintNodeImage(dc, row.Image);
}

} // namespace tarvola
