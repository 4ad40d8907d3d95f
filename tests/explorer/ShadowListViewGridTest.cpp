// The arrow keys of the icon styles: the item nearest in the key's direction, over a grid of three columns
// with a short last row.
#include "explorer/ShadowListViewGrid.h"

#include <gtest/gtest.h>

namespace tarvola::test {
namespace {

// 0 1 2
// 3 4 5
// 6 7
std::vector<TGridItem> Grid() {
    std::vector<TGridItem> items;
    for (int index = 0; index < 8; ++index)
        items.push_back({index, (index % 3) * 75, (index / 3) * 70});
    return items;
}

TEST(ShadowListViewGridTest, TheNearestItemInTheKeysDirection) {
    struct TCase {
        int From;
        TGridDirection Direction;
        int Found;
    };
    const TCase cases[] = {
        {4, TGridDirection::Left, 3},   {4, TGridDirection::Right, 5}, {4, TGridDirection::Up, 1},
        {4, TGridDirection::Down, 7},   {0, TGridDirection::Left, -1}, {0, TGridDirection::Up, -1},
        {2, TGridDirection::Right, -1}, {5, TGridDirection::Down, 7},  {7, TGridDirection::Down, -1},
        {6, TGridDirection::Right, 7},  {3, TGridDirection::Up, 0},
    };
    const std::vector<TGridItem> items = Grid();
    for (const TCase& c : cases) {
        const TGridItem& from = items[static_cast<std::size_t>(c.From)];
        std::vector<TGridItem> others;
        for (const TGridItem& item : items)
            if (item.Index != c.From)
                others.push_back(item);
        EXPECT_EQ(NearestItemInDirection(others, from.X, from.Y, c.Direction), c.Found)
            << c.From << " " << static_cast<int>(c.Direction);
    }
    EXPECT_EQ(NearestItemInDirection({}, 0, 0, TGridDirection::Down), -1);
}

} // namespace
} // namespace tarvola::test
