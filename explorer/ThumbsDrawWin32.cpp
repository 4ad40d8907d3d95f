#include "explorer/ThumbsDrawWin32.h"

#include <algorithm>
#include <climits>

namespace tarvola {

namespace {

UINT EdgeOf(TThumbnailBorder border) {
    switch (border) {
    case TThumbnailBorder::tbRaised:
        return BDR_RAISEDINNER;
    case TThumbnailBorder::tbDoubleRaised:
        return EDGE_RAISED;
    case TThumbnailBorder::tbSunken:
        return BDR_SUNKENINNER;
    case TThumbnailBorder::tbDoubleSunken:
        return EDGE_SUNKEN;
    case TThumbnailBorder::tbBumped:
        return EDGE_BUMP;
    case TThumbnailBorder::tbEtched:
        return EDGE_ETCHED;
    default:
        return 0;
    }
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    const HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// The details under a thumbnail: each line centred, the block centred in the rectangle, in a small font.
void DrawDetails(HDC dc, const TThumbnailItemPaint& item) {
    if (item.Details.empty() || IsRectEmpty(&item.DetailsRect))
        return;
    const int height = -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72);
    const HFONT font =
        CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Shell Dlg");
    const HGDIOBJ oldFont = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
    const bool highlighted = item.Selected && item.ListFocused;
    const COLORREF oldText =
        SetTextColor(dc, GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const auto* text = reinterpret_cast<LPCWSTR>(item.Details.c_str());
    const auto length = static_cast<int>(std::min<std::size_t>(item.Details.size(), INT_MAX));
    RECT measured = item.DetailsRect;
    DrawTextW(dc, text, length, &measured, DT_CENTER | DT_NOPREFIX | DT_CALCRECT);
    const int textHeight =
        std::min(measured.bottom - measured.top, item.DetailsRect.bottom - item.DetailsRect.top);
    RECT place = item.DetailsRect;
    place.top += (item.DetailsRect.bottom - item.DetailsRect.top - textHeight) / 2;
    place.bottom = place.top + textHeight;
    if (highlighted)
        FillSolid(dc, place, GetSysColor(COLOR_HIGHLIGHT));
    DrawTextW(dc, text, length, &place, DT_CENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);
    SelectObject(dc, oldFont);
    if (font != nullptr)
        DeleteObject(font);
}

} // namespace

void DrawThumbBorder(HDC dc, TThumbnailBorder border, const RECT& rect) {
    RECT edge = rect;
    if (border == TThumbnailBorder::tbFramed)
        FrameRect(dc, &edge, GetSysColorBrush(COLOR_BTNFACE));
    else if (const UINT kind = EdgeOf(border); kind != 0)
        DrawEdge(dc, &edge, kind, BF_RECT);
}

void DrawPixelImage(HDC dc, const TPixelImage& image, int x, int y) {
    if (image.Width < 1 || image.Height < 1 ||
        image.Pixels.size() != static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height))
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.Width;
    info.bmiHeader.biHeight = -image.Height; // rows top to bottom, as the picture holds them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(image.Width), static_cast<DWORD>(image.Height), 0, 0, 0,
                      static_cast<UINT>(image.Height), image.Pixels.data(), &info, DIB_RGB_COLORS);
}

RECT CenteredRect(const RECT& box, int width, int height) {
    const int left = box.left + (box.right - box.left - width) / 2;
    const int top = box.top + (box.bottom - box.top - height) / 2;
    return RECT{left, top, left + width, top + height};
}

bool PaintThumbnailItem(HDC dc, const TThumbsOptions& options, TThumbsCache& cache,
                        const TThumbnailItemPaint& item,
                        const std::function<void(HDC dc, const RECT& imageRect)>& drawIcon) {
    const bool done = item.State == tsDone;
    const bool framed = done || options.BorderOnFiles;
    if (framed)
        FillSolid(dc, item.ImageRect, item.Selected ? item.SelectionColor : item.Background);
    if (options.Details)
        DrawDetails(dc, item);
    bool drawn = false;
    if (done) {
        TPixelImage picture;
        if (item.CacheIndex >= 0 && cache.ReadBitmap(item.CacheIndex, picture)) {
            const RECT at = CenteredRect(item.ImageRect, picture.Width, picture.Height);
            DrawPixelImage(dc, picture, at.left, at.top);
            drawn = true;
        }
    } else if (drawIcon) {
        drawIcon(dc, item.ImageRect);
    }
    if (framed) {
        if (item.Focused && item.ListFocused) {
            const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
            const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
            DrawFocusRect(dc, &item.Bounds);
            SetTextColor(dc, text);
            SetBkColor(dc, back);
        } else {
            DrawThumbBorder(dc, options.Border, item.Bounds);
        }
    }
    return drawn;
}

} // namespace tarvola
