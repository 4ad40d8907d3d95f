// The header's width rules: the auto-size column that takes the remaining client width, spring columns that
// share the header's width changes, and the animated resize.
#include "tree/Columns.h"

#include "tree/Header.h"

#include <algorithm>
#include <cmath>

namespace tarvola {

void TVirtualTreeColumns::AdjustAutoSize(TColumnIndex currentIndex, bool force) {
    if (Count() == 0)
        return;
    TColumnIndex autoSize = header_.AutoSizeIndex();
    if (!IsValidColumn(autoSize))
        autoSize = Count() - 1;
    // A column resized at or right of the auto-size column hands that role to its right neighbour.
    if (IsValidColumn(currentIndex) && Items(currentIndex).position_ >= Items(autoSize).position_) {
        autoSize = GetNextVisibleColumn(currentIndex);
        if (!IsValidColumn(autoSize))
            return;
    }
    int rest = Tree().ClientWidth();
    for (const auto& column : items_)
        if (column->index_ != autoSize && column->Has(coVisible))
            rest -= column->width_;
    TVirtualTreeColumn& target = Items(autoSize);
    const int newWidth = std::max(target.minWidth_, std::min(target.maxWidth_, rest));
    if (newWidth == target.width_ && !force)
        return;
    target.lastWidth_ = target.width_;
    target.width_ = newWidth;
    UpdatePositions(true);
    Tree().DoColumnResize(autoSize);
}

void TVirtualTreeColumns::UpdateSpringColumns() {
    const int headerWidth = Tree().HeaderWidth();
    double difference = headerWidth - header_.lastSpringWidth_;
    if (header_.Has(hoAutoSpring) && header_.lastSpringWidth_ != 0 && difference != 0) {
        const int sign = difference > 0 ? 1 : -1;
        difference = std::abs(difference);
        const auto springs = std::count_if(items_.begin(), items_.end(), [](const auto& column) {
            return column->Has(coVisible | coAutoSpring);
        });
        if (springs > 0) {
            const double share = difference / static_cast<double>(springs);
            for (const auto& column : items_) {
                if (!column->Has(coVisible | coAutoSpring))
                    continue;
                const double sum = column->springRest_ + sign * share;
                // Whole pixels are paid toward zero; the guard keeps 2.9999999 from paying only 2.
                const int paid = static_cast<int>(std::trunc(sum + (sum >= 0 ? 1e-9 : -1e-9)));
                if (paid != 0)
                    column->SetWidth(column->width_ + paid);
                column->springRest_ = sum - paid;
                difference -= share;
                if (difference < -1e-9)
                    break;
            }
        }
    }
    header_.lastSpringWidth_ = headerWidth;
}

void TVirtualTreeColumns::AnimatedResize(TColumnIndex column, int newWidth) {
    TVirtualTreeColumn& item = Items(column);
    newWidth = std::clamp(newWidth, item.minWidth_, item.maxWidth_);
    if (newWidth == item.width_)
        return;
    if (Tree().HasWindow() && item.Has(coVisible))
        Tree().AnimateColumnResize(column, newWidth);
    item.SetWidth(newWidth);
}

} // namespace tarvola
