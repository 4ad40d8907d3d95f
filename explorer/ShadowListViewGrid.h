// Moving through the items of an icon style as through a grid: the item nearest to a point in the
// direction of an arrow key, by the items' positions. The native list asks its owner for this when it
// holds no items of its own. Shift with a click or an arrow key selects the items of a rectangle, which
// the list works out here too. Portable.
#pragma once

#include <vector>

namespace tarvola {

enum class TGridDirection { Left, Up, Right, Down };

struct TGridItem {
    int Index = 0;
    int X = 0;
    int Y = 0;
};

// Among the items lying past the point in the direction (strictly, on that axis), the nearest one; a tie
// goes to the one nearer on the other axis, then to the lower index. -1 when none lies that way.
int NearestItemInDirection(const std::vector<TGridItem>& items, int x, int y, TGridDirection direction);

// The indexes of the items whose position lies in the rectangle spanned by two corner positions (edges
// included), ascending.
std::vector<int> ItemsInSpannedRectangle(const std::vector<TGridItem>& items, const TGridItem& corner,
                                         const TGridItem& opposite);

// The item a rectangle selection spans from: the only selected item, else the item clicked last while
// the list still holds it; -1 for none. selectedCount and onlySelected are the list's (onlySelected
// counts only when one item is selected).
int RectangleAnchor(int selectedCount, int onlySelected, int lastClicked, int itemCount);

} // namespace tarvola
