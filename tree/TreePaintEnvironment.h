// What a paint of the tree needs from its window beyond the tree itself: focus and enabled state, the
// tree's colour and reading order, the image lists and background picture, the theme, and the rubber band
// and drop mode of a running mouse or drag operation.
#pragma once

#include "tree/VirtualTrees.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <optional>

namespace tarvola {

class TThemeServices;
enum class TDropMode : std::uint8_t;

struct TTreePaintEnvironment {
    bool Focused = false; // the control has the keyboard focus
    bool Enabled = true;
    bool RightToLeft = false; // the tree's reading order, for a tree without columns
    COLORREF TreeColor = RGB(255, 255, 255);
    // The tree font's colour (the signs on rectangle buttons); none: the system's window text colour.
    std::optional<COLORREF> FontColor;
    int ClientWidth = 0;
    HIMAGELIST Images = nullptr;
    HIMAGELIST StateImages = nullptr;
    HIMAGELIST CustomCheckImages = nullptr; // the check images of ckCustom
    HBITMAP Background = nullptr;           // the background picture (toShowBackground)
    TThemeServices* Theme = nullptr;        // the theme drawing used while the tree paints themed
    // The rubber band (tree coordinates, corners in any order) while one is pending or running.
    std::optional<TTreeRect> RubberBand;
    TDropMode LastDropMode{}; // dmNowhere
};

} // namespace tarvola
