// The header painter's records, taken from the header and its columns for one paint: the visible columns
// in position order with what the header's transient indexes say about each, and the header's own
// options, style, background and sort direction. What only the window knows (rectangles, fonts, image
// lists, theme, colours of the tree) it fills in itself.
#pragma once

#include "tree/HeaderPaintTypes.h"

#include <vector>

namespace tarvola {

class TVTHeader;

std::vector<THeaderPaintColumn> HeaderPaintColumns(const TVTHeader& header);
void FillHeaderPaintRecord(const TVTHeader& header, THeaderPaintRecord& record);

} // namespace tarvola
