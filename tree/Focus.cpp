// The focused node and column: moving the focus with its veto, the auto-expansion that follows the focus
// between siblings, and the focused column.
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
        if (Options.AutoExpand && (focusedNode_->States & (nsExpanded | nsHasChildren)) == nsHasChildren)
            ToggleNode(focusedNode_);
        InvalidateNode(focusedNode_);
    }
    if (selectionCount_ == 0)
        ResetRangeAnchor();
    return moved;
}

void TBaseVirtualTree::SetFocusedColumn(TColumnIndex column) {
    if (column == focusedColumn_ || !DoFocusChanging(focusedNode_, focusedNode_, focusedColumn_, column))
        return;
    focusedColumn_ = column;
    InvalidateNode(focusedNode_);
    InvalidateNode(dropTargetNode_);
    DoFocusChanged(focusedNode_, focusedColumn_);
}

} // namespace tarvola
