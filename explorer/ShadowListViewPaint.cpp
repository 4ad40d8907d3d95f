#include "explorer/ShadowListViewPaint.h"

#include "explorer/ShadowListView.h"
#include "shell/VirtualSysImages.h"

namespace tarvola {

COLORREF ListBackgroundColor(HWND list) {
    const auto color = static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0));
    return color == CLR_NONE ? GetSysColor(COLOR_WINDOW) : color;
}

void RepaintItemIcon(HWND list, HDC dc, int index, HIMAGELIST images, const TListIconRepaint& what) {
    if (images == nullptr || what.Image < 0)
        return;
    RECT icon{};
    icon.left = LVIR_ICON;
    if (SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&icon)) == 0)
        return;
    const int width = icon.right - icon.left;
    const int height = icon.bottom - icon.top;
    if (width <= 0 || height <= 0)
        return;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    if (memory == nullptr || bitmap == nullptr) {
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        if (memory != nullptr)
            DeleteDC(memory);
        return;
    }
    const HGDIOBJ old = SelectObject(memory, bitmap);
    const COLORREF background = ListBackgroundColor(list);
    HBRUSH brush = CreateSolidBrush(background);
    const RECT whole{0, 0, width, height};
    FillRect(memory, &whole, brush);
    DeleteObject(brush);
    int imageWidth = 0;
    int imageHeight = 0;
    ImageList_GetIconSize(images, &imageWidth, &imageHeight);
    UINT style = ILD_TRANSPARENT;
    COLORREF blend = CLR_NONE;
    if (what.Dimmed) {
        style |= ILD_BLEND50;
        blend = background;
    } else if (what.SelectedFocused) {
        style |= ILD_BLEND50;
        blend = GetSysColor(COLOR_HIGHLIGHT);
    }
    if (what.Overlay >= 0)
        style |= INDEXTOOVERLAYMASK(static_cast<UINT>(what.Overlay + 1));
    ImageList_DrawEx(images, what.Image, memory, (width - imageWidth) / 2, (height - imageHeight) / 2, 0, 0,
                     CLR_NONE, blend, style);
    BitBlt(dc, icon.left, icon.top, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

// ---- the list's after stage

void TShadowListView::AfterItemPaint(const NMLVCUSTOMDRAW& draw) {
    const auto index = static_cast<int>(draw.nmcd.dwItemSpec);
    TListIconRepaint what;
    what.Dimmed = core_.ItemGhosted(index);
    what.Overlay = core_.ItemOverlay(index);
    if (!NeedsIconRepaint(what.Dimmed, what.Overlay))
        return;
    const bool large = style_ == TViewStyleEx::vsxIcon;
    what.Image = core_.ItemImage(index, large);
    what.SelectedFocused =
        ::GetFocus() == Handle() &&
        (SendMessageW(Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED) &
         LVIS_SELECTED) != 0;
    RepaintItemIcon(Handle(), draw.nmcd.hdc, index, (large ? LargeSysImages() : SmallSysImages()).Handle(),
                    what);
}

} // namespace tarvola
