// The arrow keys of the icon styles: the item nearest in the key's direction, over a grid of three columns
// with a short last row; the rectangle Shift selects and the item it spans from.
#include "explorer/ShadowListViewGrid.h"

#include <gtest/gtest.h>

#include <algorithm>

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

TEST(ShadowListViewGridTest, TheRectangleSpannedByTwoItems) {
    struct TCase {
        int Corner;
        int Opposite;
        std::vector<int> Inside;
    };
    const TCase cases[] = {
        {0, 0, {0}},
        {0, 4, {0, 1, 3, 4}},
        {4, 0, {0, 1, 3, 4}},
        // Spanned from the top right to the bottom left: the items left of the anchor in its row count.
        {2, 6, {0, 1, 2, 3, 4, 5, 6, 7}},
        {5, 1, {1, 2, 4, 5}},
        {0, 2, {0, 1, 2}},
        {1, 7, {1, 4, 7}},
        // The short last row: nothing is invented where no item lies.
        {5, 7, {4, 5, 7}},
    };
    std::vector<TGridItem> items = Grid();
    for (const TCase& c : cases) {
        const auto corner = items[static_cast<std::size_t>(c.Corner)];
        const auto opposite = items[static_cast<std::size_t>(c.Opposite)];
        EXPECT_EQ(ItemsInSpannedRectangle(items, corner, opposite), c.Inside)
            << c.Corner << " " << c.Opposite;
    }
    // The answer is ascending whatever order the positions came in.
    std::reverse(items.begin(), items.end());
    EXPECT_EQ(ItemsInSpannedRectangle(items, items[7], items[3]), (std::vector<int>{0, 1, 3, 4}));
    EXPECT_TRUE(ItemsInSpannedRectangle({}, {0, 0, 0}, {1, 75, 70}).empty());
}

TEST(ShadowListViewGridTest, TheRectanglesAnchor) {
    struct TCase {
        int SelectedCount;
        int OnlySelected;
        int LastClicked;
        int Anchor;
    };
    const TCase cases[] = {
        {1, 3, 5, 3},                                    // the only selected item wins over the last click
        {2, 3, 5, 5},                                    // several selected: the last click
        {0, -1, 5, 5},                                   // none selected: the last click
        {0, -1, -1, -1}, {3, 0, -1, -1}, {0, -1, 8, -1}, // a click on an item the list no longer holds
        {1, 8, 2, 2},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(RectangleAnchor(c.SelectedCount, c.OnlySelected, c.LastClicked, 8), c.Anchor)
            << c.SelectedCount << " " << c.OnlySelected << " " << c.LastClicked;
}

} // namespace
} // namespace tarvola::test
