#include "tree/DrawingHelpersWin32.h"

#include "base/Numerics.h"
#include "tree/DrawingHelpers.h"
#include "tree/TreeTypes.h"

#include <algorithm>

namespace tarvola {
namespace {

// The pixels of the DIB section selected into a device context; empty without one.
TPixelBuffer SelectedPixels(HDC dc) {
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    DIBSECTION dib{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof dib, &dib) != static_cast<int>(sizeof dib) ||
        dib.dsBm.bmBits == nullptr)
        return {};
    TreeAssert(dib.dsBmih.biBitCount == 32, "Alpha blending error: bitmap must use 32 bpp.");
    return TPixelBuffer{static_cast<std::uint8_t*>(dib.dsBm.bmBits), dib.dsBm.bmWidth, dib.dsBm.bmHeight,
                        dib.dsBmih.biHeight > 0};
}

} // namespace

COLORREF GetRGBColor(TColor value) {
    if (value == clNone)
        return CLR_NONE;
    if (value == clDefault)
        return CLR_DEFAULT;
    return ColorToRGB(value);
}

int UnicodeDrawText(HDC dc, std::wstring_view text, RECT& r, UINT format, bool adjustRight) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int lineHeight = metrics.tmHeight;
    UINT options = (format & DT_NOCLIP) != 0 ? 0 : ETO_CLIPPED;
    if ((format & DT_RTLREADING) != 0)
        options |= ETO_RTLREADING;
    const bool measuring = (format & DT_CALCRECT) != 0;
    int x = r.left;
    UINT align = TA_LEFT;
    if ((format & DT_RIGHT) != 0) {
        align = TA_RIGHT;
        x = r.right;
    } else if ((format & DT_CENTER) != 0) {
        align = TA_CENTER;
        x = (r.left + r.right) / 2;
    }
    const int y = (format & DT_VCENTER) != 0 ? (r.top + r.bottom - lineHeight) / 2 : r.top;
    const UINT previousAlign = SetTextAlign(dc, align);

    std::vector<std::wstring_view> lines;
    if ((format & DT_SINGLELINE) != 0)
        lines.push_back(text.substr(0, std::min(text.size(), text.find(L'\0'))));
    else
        lines = SplitTextLines(text);
    int widest = 0;
    int lineTop = y;
    for (std::wstring_view line : lines) {
        if (!measuring && lineTop >= r.bottom)
            break;
        const int length = CheckedCast<int>(line.size());
        if (measuring) {
            SIZE size{};
            GetTextExtentPoint32W(dc, line.data(), length, &size);
            widest = std::max<int>(widest, size.cx);
        } else {
            const RECT lineRect{r.left, lineTop, r.right, lineTop + lineHeight};
            ExtTextOutW(dc, x, lineTop, options, &lineRect, line.data(), static_cast<UINT>(length), nullptr);
        }
        lineTop += lineHeight;
    }
    SetTextAlign(dc, previousAlign);
    if (measuring) {
        if (adjustRight)
            r.right = r.left + widest;
        r.bottom = lineTop;
    }
    return lineHeight;
}

void AlphaBlendRect(HDC source, HDC destination, const RECT& r, POINT target, TBlendMode mode,
                    int constantAlpha, int bias) {
    if (IsRectEmpty(&r))
        return;
    const TPixelBuffer to = SelectedPixels(destination);
    if (to.Empty())
        return;
    TPixelBuffer from;
    if (mode != TBlendMode::bmConstantAlphaAndColor) {
        from = SelectedPixels(source);
        if (from.Empty())
            return;
    }
    GdiFlush(); // drawing still queued must reach the bits first
    AlphaBlendPixels(from, to, TTreeRect{r.left, r.top, r.right, r.bottom}, target.x, target.y, mode,
                     constantAlpha, bias);
}

std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    const int rows =
        GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height)
        pixels.clear();
    return pixels;
}

} // namespace tarvola
