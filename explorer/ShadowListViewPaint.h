// The after stage of painting an item of the explorer list's native list in the icon, small-icon and list
// styles: the icon of a dimmed item (cut, or ghosted like a hidden file) is drawn again half blended with
// the list's colour, and an overlaid one with its overlay, both off-screen and then over the native
// drawing. Windows only.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace tarvola {

struct TListIconRepaint {
    int Image = -1;
    // -1: none; else the overlay image less one.
    int Overlay = -1;
    bool Dimmed = false;
    // A selected item of the focused list: its icon is blended with the selection colour.
    bool SelectedFocused = false;
};

// Whether an item's icon is drawn again after the native list drew it.
inline bool NeedsIconRepaint(bool dimmed, int overlay) {
    return dimmed || overlay >= 0;
}

// Draws the item's icon again into its icon rectangle of dc, from images (the list's image list of the
// style).
void RepaintItemIcon(HWND list, HDC dc, int index, HIMAGELIST images, const TListIconRepaint& what);

// The list's own colour (the window colour when it has none).
COLORREF ListBackgroundColor(HWND list);

} // namespace tarvola
