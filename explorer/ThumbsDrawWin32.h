// Drawing for the list view's thumbnail style: the picture of a cache entry centred in an item's image
// rectangle, the border around the item, and the parts of an item the thumbnail style paints (the list
// draws the icons, check box and details, which need its image lists and node). Win32 only.
#pragma once

#include "explorer/ThumbsCache.h"
#include "explorer/ThumbsOptions.h"

#include <windows.h>

#include <functional>

namespace tarvola {

// Nothing for tbNone; a frame of the button-face colour for tbFramed; the matching edge for the others.
void DrawThumbBorder(HDC dc, TThumbnailBorder border, const RECT& rect);
// Draws the pixels unscaled with their top left corner at (x, y).
void DrawPixelImage(HDC dc, const TPixelImage& image, int x, int y);
// The rectangle of a picture of that size centred in the box (it may overhang a smaller box).
RECT CenteredRect(const RECT& box, int width, int height);

struct TThumbnailItemPaint {
    RECT Bounds{};      // the item's box: the border goes round it
    RECT ImageRect{};   // the thumbnail's place: the item's icon rectangle less the details below it
    RECT DetailsRect{}; // below the picture with the options' Details, else empty
    WideString Details; // its lines parted by carriage returns
    std::uint8_t State = tsNone;
    int CacheIndex = -1;
    bool Selected = false; // and its caption is not being edited
    bool Focused = false;  // the list's focused item
    bool ListFocused = false;
    COLORREF Background = RGB(255, 255, 255); // the list's colour
    COLORREF SelectionColor = RGB(0, 0, 128); // the tree's focused or unfocused selection colour
};

// Paints the item's thumbnail: its image rectangle filled (in the selection colour when selected) when the
// thumbnail is done or the options frame all files; the cached picture centred in it when done, else
// drawIcon's icon; the details text centred in its rectangle with the options' Details; then a focus
// rectangle for the focused item of a focused list, else the border. Answers whether a picture was drawn: a
// cache entry that cannot be read draws none (the list remakes it).
bool PaintThumbnailItem(HDC dc, const TThumbsOptions& options, TThumbsCache& cache,
                        const TThumbnailItemPaint& item,
                        const std::function<void(HDC dc, const RECT& imageRect)>& drawIcon = {});

} // namespace tarvola
