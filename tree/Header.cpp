// The header's settings with their side effects, its geometry in the tree's client coordinates, the resize
// border detection, fitting columns to their content, and copying another header.
#include "tree/Header.h"

#include <algorithm>

namespace tarvola {

TVTHeader::TVTHeader(IHeaderTree& tree)
    : tree_(&tree), columns_(std::make_unique<TVirtualTreeColumns>(*this)) {}

TVTHeader::~TVTHeader() = default;

void TVTHeader::SetOptions(TVTHeaderOptions value) {
    if (value == options_)
        return;
    const TVTHeaderOptions changed = value ^ options_;
    const TVTHeaderOptions added = value & ~options_;
    options_ = value;
    if ((changed & hoAutoResize) != 0 && columns_->Count() > 0) {
        columns_->AdjustAutoSize(InvalidColumn);
        tree_->UpdateHorizontalScrollBar();
        if ((added & hoAutoResize) != 0)
            tree_->InvalidateTree();
    }
    if (!tree_->Loading() && tree_->HasWindow()) {
        if ((changed & hoVisible) != 0)
            tree_->RecalculateHeader();
        Invalidate(NoColumn);
        tree_->InvalidateTree();
    }
}

void TVTHeader::SetHeight(int value) {
    value = std::max(value, 0);
    if (value == height_)
        return;
    height_ = value;
    if (!tree_->Loading())
        tree_->RecalculateHeader();
}

void TVTHeader::SetStyle(TVTHeaderStyle value) {
    if (value == style_)
        return;
    style_ = value;
    Invalidate(NoColumn);
}

void TVTHeader::SetBackground(TVTColor value) {
    if (value == background_)
        return;
    background_ = value;
    Invalidate(NoColumn);
}

void TVTHeader::SetFont(const THeaderFont& value) {
    parentFont_ = false;
    if (value == font_)
        return;
    font_ = value;
    Invalidate(NoColumn);
}

void TVTHeader::SetParentFont(bool value) {
    parentFont_ = value;
    if (!value || !treeFont_ || *treeFont_ == font_)
        return;
    font_ = *treeFont_;
    Invalidate(NoColumn);
}

void TVTHeader::TreeFontChanged(const THeaderFont& treeFont) {
    treeFont_ = treeFont;
    if (parentFont_)
        SetParentFont(true);
}

TColumnIndex TVTHeader::MainColumn() const {
    return columns_->Count() > 0 ? mainColumn_ : NoColumn;
}

void TVTHeader::SetMainColumn(TColumnIndex value) {
    if (tree_->Loading()) {
        mainColumn_ = value;
        return;
    }
    const int count = columns_->Count();
    value = count > 0 ? std::clamp(value, 0, count - 1) : NoColumn;
    if (value == mainColumn_)
        return;
    mainColumn_ = value;
    tree_->MainColumnChanged();
    if (!tree_->ExtendedFocus())
        tree_->SetFocusedColumn(value);
    tree_->InvalidateTree();
}

void TVTHeader::SetSortColumn(TColumnIndex value) {
    if (!tree_->Loading())
        value = std::clamp(value, NoColumn, columns_->Count() - 1);
    if (value == sortColumn_)
        return;
    const TColumnIndex old = sortColumn_;
    sortColumn_ = value;
    if (tree_->Loading() || (states_ & hsLoading) != 0)
        return;
    if (columns_->IsValidColumn(old))
        Invalidate(old);
    if (columns_->IsValidColumn(value))
        Invalidate(value);
    if (tree_->AutoSort() && !tree_->Updating())
        tree_->SortTree(sortColumn_, sortDirection_);
}

void TVTHeader::SetSortDirection(TSortDirection value) {
    if (value == sortDirection_)
        return;
    sortDirection_ = value;
    Invalidate(NoColumn);
    if (!tree_->Loading() && (states_ & hsLoading) == 0 && tree_->AutoSort() && !tree_->Updating())
        tree_->SortTree(sortColumn_, sortDirection_);
}

void TVTHeader::SetAutoSizeIndex(TColumnIndex value) {
    if (value == autoSizeIndex_)
        return;
    autoSizeIndex_ = value;
    if (Has(hoAutoResize))
        columns_->AdjustAutoSize(InvalidColumn);
}

bool TVTHeader::InHeader(TVTPoint p) const {
    return Has(hoVisible) && p.X >= 0 && p.X < tree_->HeaderWidth() && p.Y >= -height_ && p.Y < 0;
}

bool TVTHeader::DetectResizeColumn(TVTPoint p) {
    TVirtualTreeColumns& columns = *columns_;
    columns.TrackIndex = NoColumn;
    int right = tree_->OffsetX() + columns.TotalWidth();
    const auto& order = columns.PositionToIndex();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const TVirtualTreeColumn& column = columns[*it];
        if (!column.Has(coVisible))
            continue;
        // The grip reaches 3 pixels into the column and 4 beyond its border.
        if (p.X > right - 3 && p.X < right + 5) {
            if (!column.Has(coResizable))
                return false;
            columns.TrackIndex = *it;
            trackLeft_ = right - column.Width();
            return true;
        }
        right -= column.Width();
    }
    return false;
}

void TVTHeader::Invalidate(TColumnIndex column, bool expandToBorder) {
    if (!Has(hoVisible) || !tree_->HasWindow())
        return;
    if (!columns_->IsValidColumn(column)) {
        tree_->InvalidateHeader(0, tree_->HeaderWidth());
        return;
    }
    const int left = (*columns_)[column].GetLeft();
    const int right = expandToBorder ? tree_->HeaderWidth() : left + (*columns_)[column].Width();
    tree_->InvalidateHeader(left, right);
}

void TVTHeader::AutoFitColumns(bool animated) {
    for (TColumnIndex column : columns_->PositionToIndex()) {
        TVirtualTreeColumn& item = (*columns_)[column];
        if (!item.Has(coVisible | coResizable))
            continue;
        const int width = tree_->GetMaxColumnWidth(column);
        if (animated)
            columns_->AnimatedResize(column, width);
        else
            item.SetWidth(width);
    }
}

void TVTHeader::RestoreColumns() {
    const std::vector<TColumnIndex> order = columns_->PositionToIndex();
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        if ((*columns_)[*it].Has(coVisible | coResizable))
            (*columns_)[*it].RestoreLastWidth();
}

void TVTHeader::Assign(const TVTHeader& source) {
    SetAutoSizeIndex(source.autoSizeIndex_);
    SetBackground(source.background_);
    columns_->Assign(*source.columns_);
    SetFont(source.font_);
    SetHeight(source.height_);
    SetMainColumn(source.mainColumn_);
    SetOptions(source.options_);
    SetParentFont(source.parentFont_);
    PopupMenu = source.PopupMenu;
    SetSortColumn(source.sortColumn_);
    SetSortDirection(source.sortDirection_);
    SetStyle(source.style_);
}

} // namespace tarvola
