// The column collection: adding and deleting columns (with every column index held elsewhere kept in range),
// the position array that maps display positions to columns, the left edges, and navigation by position.
#include "tree/Columns.h"

#include "tree/Header.h"

#include <algorithm>
#include <stdexcept>

namespace tarvola {

TVirtualTreeColumns::TVirtualTreeColumns(TVTHeader& header) : header_(header) {}

TVirtualTreeColumns::~TVirtualTreeColumns() = default;

IHeaderTree& TVirtualTreeColumns::Tree() const {
    return header_.Tree();
}

TVirtualTreeColumn& TVirtualTreeColumns::Items(TColumnIndex index) const {
    if (!IsValidColumn(index))
        throw std::out_of_range("column index out of range");
    return *items_[static_cast<std::size_t>(index)];
}

TVirtualTreeColumn& TVirtualTreeColumns::Add() {
    items_.push_back(ColumnFactory ? ColumnFactory(*this) : std::make_unique<TVirtualTreeColumn>(*this));
    TVirtualTreeColumn& column = *items_.back();
    column.index_ = Count() - 1;
    InitializePositionArray();
    column.position_ = Count() - 1;
    Update(nullptr);
    return column;
}

void TVirtualTreeColumns::Delete(TColumnIndex index) {
    Items(index); // range check
    if (!clearingColumns_) {
        IndexChanged(index, NoColumn);
        ShiftIndexesAfterDeletion(index);
    }
    items_.erase(items_.begin() + index);
    Renumber();
    Update(nullptr);
}

// Every column index held outside the collection follows the deletion: one naming the deleted column is
// reset, one above it moves down. The main column must keep naming a column while there are columns.
void TVirtualTreeColumns::ShiftIndexesAfterDeletion(TColumnIndex deleted) {
    auto shift = [deleted](TColumnIndex& index) {
        if (index == deleted)
            index = NoColumn;
        else if (index > deleted)
            --index;
    };
    for (TColumnIndex* index : {&HoverIndex, &DownIndex, &TrackIndex, &ClickIndex, &DragIndex, &DropTarget})
        shift(*index);
    shift(header_.autoSizeIndex_);
    shift(header_.sortColumn_);
    if (header_.mainColumn_ == deleted)
        header_.mainColumn_ = Count() > 1 ? 0 : NoColumn;
    else if (header_.mainColumn_ > deleted)
        --header_.mainColumn_;
}

void TVirtualTreeColumns::Clear() {
    clearingColumns_ = true;
    HoverIndex = DownIndex = TrackIndex = ClickIndex = DragIndex = DropTarget = NoColumn;
    if ((header_.states_ & hsLoading) == 0) {
        header_.autoSizeIndex_ = NoColumn;
        header_.mainColumn_ = NoColumn;
        header_.sortColumn_ = NoColumn;
    }
    items_.clear();
    positionToIndex_.clear();
    clearingColumns_ = false;
    Update(nullptr);
}

void TVirtualTreeColumns::SetColumnIndex(TColumnIndex column, TColumnIndex newIndex) {
    Items(column);
    newIndex = std::clamp(newIndex, 0, Count() - 1);
    if (newIndex == column)
        return;
    auto moved = std::move(items_[static_cast<std::size_t>(column)]);
    items_.erase(items_.begin() + column);
    items_.insert(items_.begin() + newIndex, std::move(moved));
    Renumber();
    IndexChanged(column, newIndex);
    Update(nullptr);
}

void TVirtualTreeColumns::Renumber() {
    for (std::size_t i = 0; i < items_.size(); ++i)
        items_[i]->index_ = static_cast<TColumnIndex>(i);
}

void TVirtualTreeColumns::EndUpdate() {
    if (updateCount_ == 0)
        return;
    if (--updateCount_ == 0 && updatePending_) {
        updatePending_ = false;
        Update(nullptr);
    }
}

void TVirtualTreeColumns::InitializePositionArray() {
    const auto count = static_cast<std::size_t>(Count());
    if (positionToIndex_.size() > count) {
        // Entries naming removed columns are lowered until every entry names an existing column.
        positionToIndex_.resize(count);
        for (TColumnIndex& entry : positionToIndex_)
            while (entry >= Count())
                --entry;
    }
    for (std::size_t slot = positionToIndex_.size(); slot < count; ++slot)
        positionToIndex_.push_back(static_cast<TColumnIndex>(slot));
}

void TVirtualTreeColumns::AdjustPosition(TColumnIndex column, int newPosition) {
    auto found = std::find(positionToIndex_.begin(), positionToIndex_.end(), column);
    if (found == positionToIndex_.end())
        return;
    positionToIndex_.erase(found);
    newPosition = std::clamp(newPosition, 0, static_cast<int>(positionToIndex_.size()));
    positionToIndex_.insert(positionToIndex_.begin() + newPosition, column);
}

void TVirtualTreeColumns::IndexChanged(TColumnIndex oldIndex, TColumnIndex newIndex) {
    if (newIndex == NoColumn) {
        std::erase(positionToIndex_, oldIndex);
        for (TColumnIndex& entry : positionToIndex_)
            if (entry > oldIndex)
                --entry;
        return;
    }
    const TColumnIndex low = std::min(oldIndex, newIndex);
    const TColumnIndex high = std::max(oldIndex, newIndex);
    const int towardsOld = oldIndex < newIndex ? -1 : 1;
    for (TColumnIndex& entry : positionToIndex_) {
        if (entry == oldIndex)
            entry = newIndex;
        else if (entry >= low && entry <= high)
            entry += towardsOld;
    }
}

void TVirtualTreeColumns::UpdatePositions(bool force) {
    if (needPositionsFix_ || (!force && updateCount_ > 0))
        return;
    int left = 0;
    for (std::size_t slot = 0; slot < positionToIndex_.size(); ++slot) {
        TVirtualTreeColumn& column = Items(positionToIndex_[slot]);
        column.position_ = static_cast<int>(slot);
        column.left_ = left;
        if (column.Has(coVisible))
            left += column.width_;
    }
}

void TVirtualTreeColumns::FixPositions() {
    std::vector<TColumnIndex> byPosition(static_cast<std::size_t>(Count()), NoColumn);
    std::vector<TColumnIndex> unplaced;
    for (const auto& column : items_) {
        const int position = column->position_;
        if (position >= 0 && position < Count() && byPosition[static_cast<std::size_t>(position)] == NoColumn)
            byPosition[static_cast<std::size_t>(position)] = column->index_;
        else
            unplaced.push_back(column->index_);
    }
    // Columns with clashing or impossible stored positions take the free slots in index order.
    auto next = unplaced.begin();
    for (TColumnIndex& slot : byPosition)
        if (slot == NoColumn && next != unplaced.end())
            slot = *next++;
    positionToIndex_ = std::move(byPosition);
    needPositionsFix_ = false;
    UpdatePositions(true);
}

void TVirtualTreeColumns::Update(TVirtualTreeColumn* item) {
    if (updateCount_ > 0) {
        updatePending_ = true;
        return;
    }
    InitializePositionArray();
    if (Tree().Loading())
        needPositionsFix_ = true;
    else
        UpdatePositions();
    if (Count() > 0 && header_.mainColumn_ < 0)
        header_.mainColumn_ = 0;
    if (Tree().Loading() || (header_.states_ & hsLoading) != 0)
        return;
    if (header_.Has(hoAutoResize))
        AdjustAutoSize(InvalidColumn);
    if (item == nullptr) {
        if (Tree().HasWindow()) {
            Tree().UpdateHorizontalScrollBar();
            header_.Invalidate(NoColumn);
            Tree().InvalidateTree();
        }
    } else {
        header_.Invalidate(item->index_);
    }
}

TColumnIndex TVirtualTreeColumns::ColumnFromPosition(int positionIndex) const {
    if (positionIndex < 0 || positionIndex >= static_cast<int>(positionToIndex_.size()))
        return NoColumn;
    return positionToIndex_[static_cast<std::size_t>(positionIndex)];
}

TColumnIndex TVirtualTreeColumns::StepVisible(TColumnIndex column, int direction) const {
    if (!IsValidColumn(column))
        return InvalidColumn;
    for (int position = Items(column).position_ + direction;
         position >= 0 && position < static_cast<int>(positionToIndex_.size()); position += direction) {
        const TColumnIndex candidate = positionToIndex_[static_cast<std::size_t>(position)];
        if (Items(candidate).Has(coVisible))
            return candidate;
    }
    return InvalidColumn;
}

TColumnIndex TVirtualTreeColumns::GetFirstVisibleColumn() const {
    for (TColumnIndex column : positionToIndex_)
        if (Items(column).Has(coVisible))
            return column;
    return InvalidColumn;
}

TColumnIndex TVirtualTreeColumns::GetLastVisibleColumn() const {
    for (auto it = positionToIndex_.rbegin(); it != positionToIndex_.rend(); ++it)
        if (Items(*it).Has(coVisible))
            return *it;
    return InvalidColumn;
}

TColumnIndex TVirtualTreeColumns::GetNextColumn(TColumnIndex column) const {
    if (!IsValidColumn(column))
        return InvalidColumn;
    const TColumnIndex next = ColumnFromPosition(Items(column).position_ + 1);
    return next == NoColumn ? InvalidColumn : next;
}

TColumnIndex TVirtualTreeColumns::GetPreviousColumn(TColumnIndex column) const {
    if (!IsValidColumn(column))
        return InvalidColumn;
    const TColumnIndex previous = ColumnFromPosition(Items(column).position_ - 1);
    return previous == NoColumn ? InvalidColumn : previous;
}

TColumnIndex TVirtualTreeColumns::GetNextVisibleColumn(TColumnIndex column) const {
    return StepVisible(column, 1);
}

TColumnIndex TVirtualTreeColumns::GetPreviousVisibleColumn(TColumnIndex column) const {
    return StepVisible(column, -1);
}

std::vector<TColumnIndex> TVirtualTreeColumns::GetVisibleColumns() const {
    std::vector<TColumnIndex> result;
    for (TColumnIndex column : positionToIndex_)
        if (Items(column).Has(coVisible))
            result.push_back(column);
    return result;
}

TColumnIndex TVirtualTreeColumns::ColumnFromPosition(TVTPoint p, bool relative) const {
    int left = 0, right = 0;
    return GetColumnAndBounds(p, left, right, relative);
}

TColumnIndex TVirtualTreeColumns::GetColumnAndBounds(TVTPoint p, int& left, int& right, bool relative) const {
    if (p.X < 0 || p.Y < 0 || p.Y > Tree().WindowHeight())
        return InvalidColumn;
    right = relative ? Tree().OffsetX() : 0;
    for (TColumnIndex column : positionToIndex_) {
        const TVirtualTreeColumn& item = Items(column);
        if (!item.Has(coVisible))
            continue;
        left = right;
        right += item.width_;
        if (p.X < right)
            return column;
    }
    return InvalidColumn;
}

void TVirtualTreeColumns::GetColumnBounds(TColumnIndex column, int& left, int& right) const {
    if (column == NoColumn) {
        left = 0;
        right = Tree().ClientWidth();
        return;
    }
    left = Items(column).GetLeft();
    right = left + Items(column).width_;
}

int TVirtualTreeColumns::TotalWidth() const {
    const TColumnIndex last = GetLastVisibleColumn();
    if (last < 0)
        return 0;
    return Items(last).left_ + Items(last).width_;
}

void TVirtualTreeColumns::InvalidateCell(TColumnIndex column) const {
    if (IsValidColumn(column))
        header_.Invalidate(column);
}

bool TVirtualTreeColumns::AdjustHoverColumn(TVTPoint p) {
    TColumnIndex column = ColumnFromPosition(TVTPoint{p.X, p.Y + header_.height_});
    column = column < 0 ? NoColumn : column;
    if (column == HoverIndex)
        return false;
    InvalidateCell(HoverIndex);
    InvalidateCell(column);
    HoverIndex = column;
    return true;
}

TColumnIndex TVirtualTreeColumns::AdjustDownColumn(TVTPoint p) {
    const TColumnIndex column = ColumnFromPosition(TVTPoint{p.X, p.Y + header_.height_});
    if (IsValidColumn(column) && column != DownIndex && Items(column).Has(coAllowClick | coEnabled)) {
        InvalidateCell(DownIndex);
        DownIndex = column;
        InvalidateCell(column);
    }
    return column;
}

void TVirtualTreeColumns::HandleClick(TVTPoint p, TMouseButton button, bool force, bool dblClick,
                                      TShiftState shift) {
    const TColumnIndex previous = ClickIndex;
    const TVTPoint inHeader{p.X, p.Y + header_.height_};
    const TColumnIndex column = ColumnFromPosition(inHeader);
    if (IsValidColumn(column) && Items(column).Has(coAllowClick) && (column == DownIndex || force)) {
        ClickIndex = column;
        Tree().DoHeaderClick(column, button, dblClick ? shift | ssDouble : shift, inHeader.X, inHeader.Y);
        InvalidateCell(column);
    } else {
        ClickIndex = NoColumn;
    }
    if (previous != ClickIndex)
        InvalidateCell(previous);
}

bool TVirtualTreeColumns::Equals(const TVirtualTreeColumns& other) const {
    if (Count() != other.Count() || positionToIndex_ != other.positionToIndex_)
        return false;
    for (int i = 0; i < Count(); ++i)
        if (!Items(i).Equals(other.Items(i)))
            return false;
    return true;
}

void TVirtualTreeColumns::Assign(const TVirtualTreeColumns& source) {
    BeginUpdate();
    Clear();
    for (int i = 0; i < source.Count(); ++i)
        Add().Assign(source.Items(i));
    positionToIndex_ = source.positionToIndex_;
    EndUpdate();
    UpdatePositions(true);
}

} // namespace tarvola
