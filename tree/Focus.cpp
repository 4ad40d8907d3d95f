// The focused node and column: moving the focus with its veto, the auto-expansion that follows the focus
// between siblings, and the focused column, which must name a visible column while the header has columns.
#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/TreeOptions.h"
#include "tree/VirtualTrees.h"

namespace tarvola {

void TBaseVirtualTree::SetFocusedNode(PVirtualNode node) {
    if (node == root_)
        node = nullptr;
    if (node == focusedNode_)
        return;
    if (InternalSetFocusedNode(node, true))
        DoFocusChanged(focusedNode_, focusedColumn_);
}

bool TBaseVirtualTree::InternalSetFocusedNode(PVirtualNode node, bool ask) {
    if (InState(TreeState::tsEditing) && !EndEditNode())
        return false;
    if (node == root_)
        node = nullptr;
    bool moved = false;
    if (node != focusedNode_ &&
        (!ask || DoFocusChanging(focusedNode_, node, focusedColumn_, focusedColumn_))) {
        PVirtualNode old = focusedNode_;
        if (old != nullptr && Options.AutoExpand && node != nullptr && old->Parent == node->Parent &&
            (old->States & nsExpanded) != 0)
            ToggleNode(old);
        else
            InvalidateNode(old);
        focusedNode_ = node;
        moved = true;
    }
    if (focusedNode_ != nullptr) {
        if (focusedColumn_ < 0)
            EnsureVisibleFocusedColumn();
        if (Options.AutoExpand && (focusedNode_->States & (nsExpanded | nsHasChildren)) == nsHasChildren)
            ToggleNode(focusedNode_);
        InvalidateNode(focusedNode_);
        ScrollFocusedIntoView();
    }
    if (selectionCount_ == 0)
        ResetRangeAnchor();
    return moved;
}

// The focus is where the user looks next: outside an update its row (and cell) comes into view, centred
// on request unless a mouse button is down (a click must not move the row away from the pointer).
void TBaseVirtualTree::ScrollFocusedIntoView() {
    if (focusedNode_ == nullptr || updateCount_ > 0 || !Host().HasWindow())
        return;
    const bool buttonDown = InState(TreeState::tsLeftButtonDown) || InState(TreeState::tsMiddleButtonDown) ||
                            InState(TreeState::tsRightButtonDown);
    const bool center =
        TreeOptions().SelectionOptions().Has(TVTSelectionOption::toCenterScrollIntoView) && !buttonDown;
    const bool horizontally = !TreeOptions().AutoOptions().Has(TVTAutoOption::toDisableAutoscrollOnFocus);
    ScrollIntoView(focusedNode_, center, horizontally);
}

bool TBaseVirtualTree::IsFocusableColumn(TColumnIndex column) const {
    if (!headerBridge_ || !Header().UseColumns())
        return true;
    const TVirtualTreeColumns& columns = Header().Columns();
    return columns.IsValidColumn(column) && columns[column].Has(coVisible);
}

void TBaseVirtualTree::EnsureVisibleFocusedColumn() {
    if (!headerBridge_ || !Header().UseColumns() ||
        (focusedColumn_ >= 0 && IsFocusableColumn(focusedColumn_)))
        return;
    const TColumnIndex main = Header().MainColumn();
    const TColumnIndex column = IsFocusableColumn(main) ? main : Header().Columns().GetFirstVisibleColumn();
    focusedColumn_ = column >= 0 ? column : NoColumn;
}

void TBaseVirtualTree::SetFocusedColumn(TColumnIndex column) {
    if (column == focusedColumn_ || !IsFocusableColumn(column) ||
        !DoFocusChanging(focusedNode_, focusedNode_, focusedColumn_, column))
        return;
    // The editor sits over the old column's cell.
    CancelEditNode();
    focusedColumn_ = column;
    ScrollFocusedIntoView();
    InvalidateNode(focusedNode_);
    InvalidateNode(dropTargetNode_);
    DoFocusChanged(focusedNode_, focusedColumn_);
}

void TBaseVirtualTree::SetFocusedNodeAndColumn(PVirtualNode node, TColumnIndex column) {
    if (node == root_)
        node = nullptr;
    const PVirtualNode oldNode = focusedNode_;
    const TColumnIndex oldColumn = focusedColumn_;
    // The column goes first, so that the focus change is asked about and shown with it.
    if (IsFocusableColumn(column))
        focusedColumn_ = column;
    InternalSetFocusedNode(node, true);
    if (focusedNode_ != node) {
        focusedColumn_ = oldColumn;
        return;
    }
    if (focusedNode_ != oldNode || focusedColumn_ != oldColumn)
        DoFocusChanged(focusedNode_, focusedColumn_);
}

} // namespace tarvola
