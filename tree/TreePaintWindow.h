// The tree window's way to its painter without the column declarations: making the painter, painting a
// rectangle of the tree into a device context, and the header and border of the non-client area.
#pragma once

#include "tree/TreePaintEnvironment.h"

#include <windows.h>

#include <cstdint>
#include <memory>

namespace tarvola {

class TTreePainter;

std::shared_ptr<TTreePainter> MakeTreePainter(TBaseVirtualTree& tree);
void RebuildPainterButtons(TTreePainter& painter);
void RebuildPainterLines(TTreePainter& painter);

// Paints window (tree coordinates) into dc with window's top-left at target, with the options of a paint
// run (tree/TreePaintLayout.h), in the device's pixel format.
void PaintTreeIntoDC(TTreePainter& painter, HDC dc, const TTreeRect& window, POINT target,
                     std::uint8_t options, const TTreePaintEnvironment& environment);

// The visible header right above the client area (clientRect in window coordinates), where the frame
// reserves room for it. The header row reaches to innerRight, the frame's inner edge: the part above a
// vertical scroll bar is filled as the header's empty space.
void PaintTreeHeader(TBaseVirtualTree& tree, HDC windowDC, const RECT& clientRect, int innerRight);

} // namespace tarvola
