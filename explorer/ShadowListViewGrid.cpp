#include "explorer/ShadowListViewGrid.h"

#include "base/Numerics.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <tuple>

namespace tarvola {

namespace {

// How far an item lies in the direction (the main axis) and beside it; nothing when it is not that way.
bool Offsets(const TGridItem& item, int x, int y, TGridDirection direction, std::int64_t& along,
             std::int64_t& across) {
    const std::int64_t dx = static_cast<std::int64_t>(item.X) - x;
    const std::int64_t dy = static_cast<std::int64_t>(item.Y) - y;
    switch (direction) {
    case TGridDirection::Left:
        along = -dx;
        across = dy;
        break;
    case TGridDirection::Right:
        along = dx;
        across = dy;
        break;
    case TGridDirection::Up:
        along = -dy;
        across = dx;
        break;
    case TGridDirection::Down:
        along = dy;
        across = dx;
        break;
    }
    across = across < 0 ? -across : across;
    return along > 0;
}

} // namespace

int NearestItemInDirection(const std::vector<TGridItem>& items, int x, int y, TGridDirection direction) {
    int best = -1;
    auto bestKey = std::make_tuple(std::numeric_limits<std::int64_t>::max(), std::int64_t{0}, 0);
    for (const TGridItem& item : items) {
        std::int64_t along = 0;
        std::int64_t across = 0;
        if (!Offsets(item, x, y, direction, along, across))
            continue;
        const auto key = std::make_tuple(CheckedAdd(CheckedMul(along, along), CheckedMul(across, across)),
                                         across, item.Index);
        if (best < 0 || key < bestKey) {
            best = item.Index;
            bestKey = key;
        }
    }
    return best;
}

std::vector<int> ItemsInSpannedRectangle(const std::vector<TGridItem>& items, const TGridItem& corner,
                                         const TGridItem& opposite) {
    const int left = std::min(corner.X, opposite.X);
    const int right = std::max(corner.X, opposite.X);
    const int top = std::min(corner.Y, opposite.Y);
    const int bottom = std::max(corner.Y, opposite.Y);
    std::vector<int> inside;
    for (const TGridItem& item : items)
        if (item.X >= left && item.X <= right && item.Y >= top && item.Y <= bottom)
            inside.push_back(item.Index);
    std::sort(inside.begin(), inside.end());
    inside.erase(std::unique(inside.begin(), inside.end()), inside.end());
    return inside;
}

int RectangleAnchor(int selectedCount, int onlySelected, int lastClicked, int itemCount) {
    if (selectedCount == 1 && onlySelected >= 0 && onlySelected < itemCount)
        return onlySelected;
    return lastClicked >= 0 && lastClicked < itemCount ? lastClicked : -1;
}

} // namespace tarvola
