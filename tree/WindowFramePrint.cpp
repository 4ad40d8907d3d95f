// A window's frame drawn into any device context, for copies of a whole window: the system draws the frame
// of a window only on the window itself.
#include "tree/WindowFramePrint.h"

#include <algorithm>
#include <cstdint>

namespace tarvola {

namespace {

// The thumb takes the page's share of the track, at least an arrow's size, placed by the position.
void PrintThumb(HDC dc, const SCROLLINFO& info, bool vertical, const RECT& track, int arrow) {
    const int length = vertical ? track.bottom - track.top : track.right - track.left;
    const std::int64_t range = static_cast<std::int64_t>(info.nMax) - info.nMin + 1;
    const std::int64_t page = info.nPage;
    const int thumb = static_cast<int>(
        std::clamp<std::int64_t>(page > 0 ? length * page / range : arrow, std::min(arrow, length), length));
    const std::int64_t travel = std::max<std::int64_t>(range - std::max<std::int64_t>(page, 1), 1);
    const std::int64_t position =
        std::clamp<std::int64_t>(static_cast<std::int64_t>(info.nPos) - info.nMin, 0, travel);
    const int at = static_cast<int>((length - thumb) * position / travel);
    RECT thumbRect = track;
    if (vertical) {
        thumbRect.top += at;
        thumbRect.bottom = thumbRect.top + thumb;
    } else {
        thumbRect.left += at;
        thumbRect.right = thumbRect.left + thumb;
    }
    FillRect(dc, &thumbRect, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &thumbRect, EDGE_RAISED, BF_RECT);
}

// A scroll bar in area: its arrows, its track and, while it can scroll, its thumb.
void PrintScrollBar(HDC dc, HWND window, int bar, const RECT& area) {
    if (IsRectEmpty(&area))
        return;
    const bool vertical = bar == SB_VERT;
    FillRect(dc, &area, GetSysColorBrush(COLOR_SCROLLBAR));
    const int length = vertical ? area.bottom - area.top : area.right - area.left;
    // Arrows of the system's size, or half the bar each when it is shorter.
    const int arrow =
        std::min(vertical ? GetSystemMetrics(SM_CYVSCROLL) : GetSystemMetrics(SM_CXHSCROLL), length / 2);
    RECT first = area;
    RECT second = area;
    if (vertical) {
        first.bottom = first.top + arrow;
        second.top = second.bottom - arrow;
    } else {
        first.right = first.left + arrow;
        second.left = second.right - arrow;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    const bool known = GetScrollInfo(window, bar, &info) != FALSE;
    const bool enabled =
        known && info.nMax > info.nMin && static_cast<int>(info.nPage) <= info.nMax - info.nMin;
    const UINT inactive = enabled ? 0 : DFCS_INACTIVE;
    DrawFrameControl(dc, &first, DFC_SCROLL, (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive);
    DrawFrameControl(dc, &second, DFC_SCROLL, (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive);
    RECT track = area;
    if (vertical) {
        track.top = first.bottom;
        track.bottom = second.top;
    } else {
        track.left = first.right;
        track.right = second.left;
    }
    if (enabled && !IsRectEmpty(&track))
        PrintThumb(dc, info, vertical, track, arrow);
}

} // namespace

void PrintWindowFrame(HDC dc, HWND window, const RECT& bounds, const RECT& client) {
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    RECT inner = bounds;
    if ((exStyle & WS_EX_CLIENTEDGE) != 0) {
        DrawEdge(dc, &inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    } else if ((style & WS_BORDER) != 0) {
        FrameRect(dc, &inner, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&inner, -1, -1);
    }
    // The bars lie between the border and the client area (the header's row is painted by the header).
    const bool vertical = (style & WS_VSCROLL) != 0;
    const bool horizontal = (style & WS_HSCROLL) != 0;
    const bool leftBar = (exStyle & WS_EX_LEFTSCROLLBAR) != 0;
    if (vertical)
        PrintScrollBar(dc, window, SB_VERT,
                       leftBar ? RECT{inner.left, client.top, client.left, client.bottom}
                               : RECT{client.right, client.top, inner.right, client.bottom});
    if (horizontal)
        PrintScrollBar(dc, window, SB_HORZ, RECT{client.left, client.bottom, client.right, inner.bottom});
    if (vertical && horizontal) {
        const RECT corner = leftBar ? RECT{inner.left, client.bottom, client.left, inner.bottom}
                                    : RECT{client.right, client.bottom, inner.right, inner.bottom};
        FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
    }
}

} // namespace tarvola
