// Paints the tree's header: the background, then per visible column the button face, glyph, caption,
// sort glyph and drop mark, into a 32-bit buffer bitmap that is copied to the target in one block so the
// header never flickers. The owner may draw whole columns (OnHeaderDraw) or chosen elements of each cell
// (OnHeaderDrawQueryElements with OnAdvancedHeaderDraw).
#pragma once

#include "forms/Graphics.h"
#include "tree/HeaderPaintLayout.h"
#include "tree/HeaderPaintRules.h"
#include "tree/HeaderPaintTypes.h"

#include <windows.h>

#include <commctrl.h>

#include <string_view>
#include <vector>

namespace tarvola {

enum class THeaderItemState { Normal, Hot, Pressed };

// The visual-style drawing the painter needs; a header without visual styles passes none.
class IHeaderTheme {
public:
    virtual ~IHeaderTheme() = default;
    virtual void DrawHeaderBackground(HDC dc, const RECT& bounds) = 0;
    virtual void DrawHeaderItem(HDC dc, const RECT& bounds, THeaderItemState state) = 0;
};

class THeaderPainter {
public:
    THeaderPaintEvents Events;

    // Paints Area (target coordinates) of the header described by the records; columns are the visible
    // ones in position order. Only Area of the target changes.
    void PaintHeader(HDC target, const TTreeRect& area, const THeaderPaintRecord& header,
                     const std::vector<THeaderPaintColumn>& columns);

    // The paint buffer; it grows to cover the largest header painted so far.
    const TBitmap& HeaderBitmap() const { return bitmap_; }

private:
    struct TPaintPass;
    void PaintBackground(TPaintPass& pass);
    void PaintCell(TPaintPass& pass, const THeaderCell& cell);
    void PaintFace(TPaintPass& pass, const THeaderPaintColumn& column, const THeaderCellState& state,
                   const TTreeRect& bounds);
    void PaintContent(TPaintPass& pass, THeaderPaintInfo& info, const THeaderCellState& state,
                      THeaderPaintElements ownerElements);

    TBitmap bitmap_;
};

// The face of an XP-style header button with its fixed colours: pressed, hot (an underline from the
// utility images 6, 7 and 8) or normal (shaded bottom lines and, with DrawSplitter, a splitter).
void DrawXPButton(HDC dc, const RECT& bounds, bool hover, bool down, bool drawSplitter,
                  HIMAGELIST utilityImages);

struct THeaderTextColors {
    COLORREF Normal = 0;
    COLORREF Hot = 0;
};

// The caption in Bounds, shortened with an ellipsis when too wide, on a transparent background; embossed
// in the button shadow and highlight colours when disabled.
void DrawButtonText(HDC dc, std::wstring_view caption, RECT bounds, bool enabled, bool hot, UINT drawFormat,
                    const THeaderTextColors& colors);

} // namespace tarvola
