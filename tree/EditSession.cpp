// The tree's side of in-place editing: whether a cell may be edited, the start through the edit timer or
// at once, the editor's placement, and ending or cancelling through the editor's link.
#include "tree/EditSession.h"

#include "tree/Header.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"

#include <algorithm>

namespace tarvola {

TTreeRect EditorBounds(TTreeRect bounds, TAlignment alignment, int clientWidth) {
    bounds.Left = std::max(bounds.Left, 0);
    if (bounds.Right - bounds.Left < MinimumEditorWidth) {
        if (alignment == TAlignment::taRightJustify) {
            bounds.Left = bounds.Right - MinimumEditorWidth;
            // A right-justified cell at the client's left edge cannot grow further left: it grows right.
            if (bounds.Left < 0) {
                bounds.Left = 0;
                bounds.Right = MinimumEditorWidth;
            }
        } else {
            bounds.Right = bounds.Left + MinimumEditorWidth;
        }
    }
    bounds.Right = std::min(bounds.Right, clientWidth);
    return bounds;
}

TEditKeyResult EditKeyDown(unsigned key, bool ctrl, bool multiline) {
    switch (key) {
    case EditVkReturn:
        if (!multiline || ctrl)
            return {TEditKeyAction::EndEdit, key};
        break;
    case EditVkEscape:
        return {TEditKeyAction::CancelEdit, key};
    case EditVkUp:
        if (!multiline)
            return {TEditKeyAction::PassOn, EditVkLeft};
        break;
    case EditVkDown:
        if (!multiline)
            return {TEditKeyAction::PassOn, EditVkRight};
        break;
    default:
        break;
    }
    return {TEditKeyAction::PassOn, key};
}

bool EditCharSwallowed(wchar_t ch) {
    return ch == L'\t' || ch == L'\x1B';
}

bool TBaseVirtualTree::CanEdit(PVirtualNode node, TColumnIndex column) {
    const bool allowed =
        TreeOptions().MiscOptions().Has(TVTMiscOption::toEditable) && ControlEnabled && !Options.ReadOnly;
    return DoEditing(node, column, allowed);
}

bool TBaseVirtualTree::EditNode(PVirtualNode node, TColumnIndex column) {
    TreeAssert(node != nullptr, "Node must not be nil.");
    TreeAssert(column >= NoColumn && column < Header().Columns().Count(),
               "Column must be a valid column index (-1 if no header is shown).");
    if (IsEditing())
        return true;
    if (Options.ReadOnly)
        return false;
    SetFocusedNode(node);
    if (FocusedNode() != node || !CanEdit(node, column))
        return false;
    editColumn_ = column;
    if ((node->States & nsInitialized) == 0)
        InitNode(node);
    StartEditing();
    return IsEditing();
}

bool TBaseVirtualTree::EndEditNode() {
    if (InState(TreeState::tsEditing) || InState(TreeState::tsEditPending))
        return DoEndEdit();
    return true;
}

bool TBaseVirtualTree::CancelEditNode() {
    if (Host().HasWindow() && (InState(TreeState::tsEditing) || InState(TreeState::tsEditPending)))
        return DoCancelEdit();
    return true;
}

void TBaseVirtualTree::ArmEdit(TColumnIndex column) {
    editColumn_ = column;
    DoStateChange({TreeState::tsEditPending});
    Host().StartTimer(EditTimer, Properties().EditDelay);
}

void TBaseVirtualTree::StartEditing() {
    constexpr unsigned AutoScrollTimer = 4;
    Host().StopTimer(AutoScrollTimer);
    Host().StopTimer(EditTimer);
    DoStateChange({}, {TreeState::tsEditPending});
    PVirtualNode node = FocusedNode();
    if (node == nullptr || (node->States & nsDisabled) != 0 || Options.ReadOnly || editLink_)
        return;
    editLink_ = DoCreateEditor(node, editColumn_);
    if (!editLink_)
        return;
    // Hold the link here: a handler below may end the edit and drop the tree's reference.
    const std::shared_ptr<IVTEditLink> link = editLink_;
    DoStateChange({TreeState::tsEditing},
                  {TreeState::tsToggleFocusedSelection, TreeState::tsClearPending,
                   TreeState::tsDrawSelPending, TreeState::tsDrawSelecting, TreeState::tsMouseCheckPending,
                   TreeState::tsOLEDragging, TreeState::tsOLEDragPending, TreeState::tsScrolling,
                   TreeState::tsScrollPending});
    try {
        if (link->PrepareEdit(*this, node, editColumn_)) {
            UpdateEditBounds();
            InvalidateNode(node);
            if (!link->BeginEdit())
                DoStateChange({}, {TreeState::tsEditing});
        } else {
            DoStateChange({}, {TreeState::tsEditing});
        }
    } catch (...) {
        DoStateChange({}, {TreeState::tsEditing});
        editLink_.reset();
        throw;
    }
    if (!IsEditing())
        editLink_.reset();
}

void TBaseVirtualTree::UpdateEditBounds() {
    if (!IsEditing() || !editLink_ || FocusedNode() == nullptr)
        return;
    PVirtualNode node = FocusedNode();
    const bool multiline = (node->States & nsMultiline) != 0;
    TTreeRect bounds = GetDisplayRect(node, editColumn_, !multiline, true);
    TVirtualTreeColumns& columns = Header().Columns();
    if (TreeOptions().MiscOptions().Has(TVTMiscOption::toGridExtensions) &&
        columns.IsValidColumn(editColumn_)) {
        const TVirtualTreeColumn& column = columns[editColumn_];
        TAlignment alignment = column.Alignment();
        if (column.BiDiMode() != TBiDiMode::bdLeftToRight && alignment != TAlignment::taCenter)
            alignment = alignment == TAlignment::taLeftJustify ? TAlignment::taRightJustify
                                                               : TAlignment::taLeftJustify;
        if (alignment == TAlignment::taLeftJustify)
            bounds.Right = column.GetLeft() + column.Width();
        else
            bounds.Left = column.GetLeft();
    }
    if (TreeOptions().PaintOptions().Has(TVTPaintOption::toShowHorzGridLines))
        --bounds.Bottom;
    editLink_->SetBounds(bounds);
}

bool TBaseVirtualTree::DoEndEdit() {
    Host().StopTimer(EditTimer);
    bool result = false;
    if (IsEditing() && editLink_) {
        const std::shared_ptr<IVTEditLink> link = editLink_;
        result = link->EndEdit();
        if (result) {
            DoStateChange({}, {TreeState::tsEditing});
            editLink_.reset();
            DoEdited(FocusedNode(), editColumn_);
        }
    }
    DoStateChange({}, {TreeState::tsEditPending});
    return result;
}

bool TBaseVirtualTree::DoCancelEdit() {
    Host().StopTimer(EditTimer);
    DoStateChange({}, {TreeState::tsEditPending});
    bool result = false;
    if (IsEditing() && editLink_) {
        const std::shared_ptr<IVTEditLink> link = editLink_;
        result = link->CancelEdit();
        if (result) {
            DoStateChange({}, {TreeState::tsEditing});
            DoEditCancelled(editColumn_);
            if (!destroying_)
                editLink_.reset();
        }
    }
    return result;
}

void TBaseVirtualTree::DoEdited(PVirtualNode node, TColumnIndex column) {
    if (OnEdited)
        OnEdited(*this, node, column);
}

void TBaseVirtualTree::DoEditCancelled(TColumnIndex column) {
    if (OnEditCancelled)
        OnEditCancelled(*this, column);
}

void TBaseVirtualTree::DropEditLink() {
    if (InState(TreeState::tsEditing))
        DoStateChange({}, {TreeState::tsEditing});
    editLink_.reset();
}

} // namespace tarvola
