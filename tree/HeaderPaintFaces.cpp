// The XP-style button face and the caption drawing of the header painter.
#include "base/Numerics.h"
#include "tree/HeaderPaint.h"

#include <algorithm>
#include <string>

namespace tarvola {
namespace {

constexpr COLORREF XPFaceColor = RGB(235, 234, 219);
constexpr COLORREF XPHoverColor = RGB(250, 248, 243);
constexpr COLORREF XPDownColor = RGB(222, 223, 216);
constexpr COLORREF XPSplitterColor = RGB(199, 197, 178);
constexpr COLORREF XPDownFrameColor = RGB(165, 165, 151);
constexpr COLORREF XPDownInnerDarkColor = RGB(193, 194, 184);
constexpr COLORREF XPDownInnerLightColor = RGB(208, 209, 201);
constexpr COLORREF XPLastBottomLineColor = RGB(203, 199, 184);
// The underline pieces are bands this high at the bottom of their square images.
constexpr int UnderlineHeight = 3;
constexpr int UnderlinePiece = 16;

void FillSolid(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    if (right <= left || bottom <= top)
        return;
    const RECT r{left, top, right, bottom};
    const COLORREF previous = SetDCBrushColor(dc, color);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, previous);
}

void HorizontalLine(HDC dc, int left, int right, int y, COLORREF color) {
    FillSolid(dc, left, y, right, y + 1, color);
}

void VerticalLine(HDC dc, int x, int top, int bottom, COLORREF color) {
    FillSolid(dc, x, top, x + 1, bottom, color);
}

// Each step darker by 11 in red and 12 in green and blue.
COLORREF ShadedLineColor(COLORREF color) {
    return RGB(std::max(GetRValue(color) - 11, 0), std::max(GetGValue(color) - 12, 0),
               std::max(GetBValue(color) - 12, 0));
}

void DrawUnderlinePiece(HDC dc, HIMAGELIST images, int index, int x, int bottom) {
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(images, &width, &height);
    ImageList_Draw(images, index, dc, x, bottom - height, ILD_TRANSPARENT);
}

// Image lists do not stretch: the piece is drawn into a scratch bitmap and its band stretched from there.
void DrawStretchedUnderlinePiece(HDC dc, HIMAGELIST images, int index, int x, int bottom, int width) {
    int pieceWidth = 0;
    int pieceHeight = 0;
    ImageList_GetIconSize(images, &pieceWidth, &pieceHeight);
    if (width <= 0 || pieceWidth <= 0 || pieceHeight < UnderlineHeight)
        return;
    HDC scratch = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, pieceWidth, pieceHeight);
    HGDIOBJ original = SelectObject(scratch, bitmap);
    FillSolid(scratch, 0, 0, pieceWidth, pieceHeight, XPHoverColor);
    ImageList_Draw(images, index, scratch, 0, 0, ILD_TRANSPARENT);
    StretchBlt(dc, x, bottom - UnderlineHeight, width, UnderlineHeight, scratch, 0,
               pieceHeight - UnderlineHeight, pieceWidth, UnderlineHeight, SRCCOPY);
    SelectObject(scratch, original);
    DeleteObject(bitmap);
    DeleteDC(scratch);
}

void DrawHotUnderline(HDC dc, const RECT& r, HIMAGELIST images) {
    if (images == nullptr)
        return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    const int width = r.right - r.left;
    if (width < 2 * UnderlinePiece + 1) {
        DrawUnderlinePiece(dc, images, UnderlineRightImage, r.right - UnderlinePiece, r.bottom);
        DrawStretchedUnderlinePiece(dc, images, UnderlineLeftImage, r.left, r.bottom, width / 2);
    } else {
        DrawUnderlinePiece(dc, images, UnderlineLeftImage, r.left, r.bottom);
        for (int x = r.left + UnderlinePiece; x < r.right - UnderlinePiece; x += UnderlinePiece)
            DrawUnderlinePiece(dc, images, UnderlineMiddleImage, x, r.bottom);
        DrawUnderlinePiece(dc, images, UnderlineRightImage, r.right - UnderlinePiece, r.bottom);
    }
    RestoreDC(dc, saved);
}

void DrawPressedFrame(HDC dc, const RECT& r) {
    VerticalLine(dc, r.left, r.top, r.bottom, XPDownFrameColor);
    HorizontalLine(dc, r.left, r.right, r.bottom - 1, XPDownFrameColor);
    VerticalLine(dc, r.right - 1, r.top, r.bottom, XPDownFrameColor);
    VerticalLine(dc, r.left + 1, r.top, r.bottom - 1, XPDownInnerDarkColor);
    HorizontalLine(dc, r.left + 1, r.right - 1, r.top, XPDownInnerDarkColor);
    VerticalLine(dc, r.left + 2, r.top + 1, r.bottom - 1, XPDownInnerLightColor);
    HorizontalLine(dc, r.left + 2, r.right - 1, r.top + 1, XPDownInnerLightColor);
}

void DrawShadedBottom(HDC dc, const RECT& r) {
    const COLORREF first = ShadedLineColor(XPFaceColor);
    HorizontalLine(dc, r.left, r.right, r.bottom - 3, first);
    HorizontalLine(dc, r.left, r.right, r.bottom - 2, ShadedLineColor(first));
    HorizontalLine(dc, r.left, r.right, r.bottom - 1, XPLastBottomLineColor);
}

void DrawTextLine(HDC dc, const std::wstring& text, RECT bounds, UINT format) {
    DrawTextW(dc, text.c_str(), CheckedCast<int>(text.size()), &bounds, format);
}

} // namespace

void DrawXPButton(HDC dc, const RECT& bounds, bool hover, bool down, bool drawSplitter,
                  HIMAGELIST utilityImages) {
    const COLORREF face = down ? XPDownColor : hover ? XPHoverColor : XPFaceColor;
    FillSolid(dc, bounds.left, bounds.top, bounds.right, bounds.bottom, face);
    if (drawSplitter && !hover && !down) {
        VerticalLine(dc, bounds.right - 2, bounds.top + 3, bounds.bottom - 5, XPSplitterColor);
        VerticalLine(dc, bounds.right - 1, bounds.top + 3, bounds.bottom - 5, RGB(255, 255, 255));
    }
    if (down)
        DrawPressedFrame(dc, bounds);
    else if (hover)
        DrawHotUnderline(dc, bounds, utilityImages);
    else
        DrawShadedBottom(dc, bounds);
}

void DrawButtonText(HDC dc, std::wstring_view caption, RECT bounds, bool enabled, bool hot, UINT drawFormat,
                    const THeaderTextColors& colors) {
    const auto extent = [dc](std::wstring_view text) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.data(), CheckedCast<int>(text.size()), &size);
        return THeaderSize{size.cx, size.cy};
    };
    std::wstring text(caption);
    const int width = bounds.right - bounds.left;
    if (extent(caption).Width > width)
        text = ShortenHeaderCaption(caption, width, (drawFormat & DT_RTLREADING) != 0, extent);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColor = GetTextColor(dc);
    if (enabled) {
        SetTextColor(dc, hot ? colors.Hot : colors.Normal);
        DrawTextLine(dc, text, bounds, drawFormat);
    } else {
        // Embossed: a highlight one pixel down and right under the shadow.
        OffsetRect(&bounds, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextLine(dc, text, bounds, drawFormat);
        OffsetRect(&bounds, -1, -1);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
        DrawTextLine(dc, text, bounds, drawFormat);
    }
    SetTextColor(dc, previousColor);
    SetBkMode(dc, previousMode);
}

} // namespace tarvola
