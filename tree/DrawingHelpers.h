// Free drawing helpers of the tree control that need no device context: shortening a text with an
// ellipsis, splitting a text into the lines the wide text output draws, ordering a rectangle, the node
// address sort and the stripes a moving drag image uncovers and covers. Text widths come through an
// injected function, so all of it runs natively.
#pragma once

#include "tree/TreeTypes.h"
#include "tree/VirtualTrees.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvola {

// The width of a text in the font that draws it.
using TTextWidthFunction = std::function<int(std::wstring_view)>;

// S cut to fit Width with an ellipsis ("..."): the start kept left to right, the end right to left.
// Empty for an empty text, a Width below 1 or a Width that cannot hold the ellipsis; the ellipsis alone
// when not one character fits beside it. EllipsisWidth 0 measures the ellipsis.
std::wstring ShortenString(std::wstring_view s, int width, bool rightToLeft,
                           const TTextWidthFunction& measure, int ellipsisWidth = 0);

// The lines of a text as the wide text output draws them: a line ends at NUL, LF, CR or U+2028; after a
// CR or U+2028 one LF is skipped with it. A NUL ends the text.
std::vector<std::wstring_view> SplitTextLines(std::wstring_view text);

// Left <= Right and Top <= Bottom.
TTreeRect OrderRect(const TTreeRect& r);

// Sorts Nodes[L..R] by address as unsigned numbers (the order the selection keeps).
void QuickSortNodes(std::vector<PVirtualNode>& nodes, int l, int r);

// An (x, y, width, height) piece of a drag image.
struct TImageStripe {
    int X = 0, Y = 0, Width = 0, Height = 0;
    bool operator==(const TImageStripe&) const = default;
};

// What a W x H image moving by (DX, DY) touches: [0] the whole image, [1] the overlap of the old and the
// new area, [2] and [3] the vertical and horizontal stripes the move uncovers (old image coordinates),
// [4] and [5] the vertical and horizontal stripes it newly covers (new image coordinates). A zero delta
// gives empty stripes in that direction.
std::array<TImageStripe, 6> GetUpdateRects(int w, int h, int dx, int dy);

} // namespace tarvola
