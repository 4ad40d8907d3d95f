// Moving the focus with the keyboard: backspace to the parent, Tab across cells, page and Home/End jumps,
// the arrows (Ctrl scrolls instead), and Shift ranges that grow from and shrink back towards RangeAnchor.
#include "base/Numerics.h"
#include "tree/Header.h"
#include "tree/TreeKeyboard.h"
#include "tree/TreeOptions.h"
#include "tree/VirtualTrees.h"

#include <limits>

namespace tarvola {

// What one navigation key decided before it moved anything, and what it asks of the selection afterwards.
struct TBaseVirtualTree::TKeyNavigation {
    bool ExtendSelection = false;
    bool RangeKeyToggle = false;
    bool RepaintAll = false;
    bool ClearFirst = true;
    PVirtualNode OldFocus = nullptr;
    PVirtualNode LastFocused = nullptr;
};

namespace {

bool IsRangeKey(std::uint16_t key) {
    return key == vkey::Prior || key == vkey::Next || key == vkey::End || key == vkey::Home;
}

// The most negative horizontal offset: the setter brings it to the right end of the content.
constexpr int FarRightOffset = -std::numeric_limits<int>::max();

} // namespace

void TBaseVirtualTree::NavigateByKey(std::uint16_t key, TKeyModifiers shift) {
    const bool shiftHeld = (shift & keymod::Shift) != 0;
    const bool ctrl = (shift & keymod::Ctrl) != 0;
    const bool modifiers = (shift & (keymod::Shift | keymod::Ctrl | keymod::Alt)) != 0;
    const bool grid = TreeOptions().MiscOptions().Has(TVTMiscOption::toGridExtensions);
    const bool multiSelect = Options.MultiSelect;

    TKeyNavigation nav;
    nav.ExtendSelection = shiftHeld && multiSelect && !IsEditing();
    nav.RangeKeyToggle = IsRangeKey(key) && nav.ExtendSelection;
    nav.RepaintAll = nav.RangeKeyToggle || selectionCount_ > 1;
    // Where modifiers keep the selection (Shift ranges, Ctrl moves), only backspace and Tab clear it.
    if (modifiers && ((grid && shiftHeld && multiSelect) || (!grid && multiSelect)))
        nav.ClearFirst = key == vkey::Back || key == vkey::Tab;
    nav.OldFocus = focusedNode_;
    nav.LastFocused = focusedNode_ != nullptr ? focusedNode_ : (modifiers ? GetFirstVisible() : nullptr);
    if (rangeAnchor_ == nullptr) {
        rangeAnchor_ = GetFirstSelected();
        if (rangeAnchor_ == nullptr)
            rangeAnchor_ = GetFirst();
    }

    switch (key) {
    case vkey::Back:
        if (InState(TreeState::tsIncrementalSearching))
            DoStateChange({TreeState::tsIncrementalSearchPending});
        else if (focusedNode_ != nullptr && focusedNode_->Parent != root_)
            SetFocusedNode(focusedNode_->Parent);
        break;
    case vkey::Tab:
        if (TreeOptions().SelectionOptions().Has(TVTSelectionOption::toExtendedFocus) &&
            Header().UseColumns())
            NavigateTab(shiftHeld);
        break;
    case vkey::Prior:
    case vkey::Next:
        NavigatePage(key == vkey::Next, ctrl);
        break;
    case vkey::Home:
    case vkey::End:
        NavigateHomeEnd(key == vkey::Home, shift);
        break;
    case vkey::Left:
        NavigateLeft(nav, ctrl, modifiers);
        break;
    case vkey::Right:
        NavigateRight(nav, ctrl, modifiers);
        break;
    case vkey::Up:
    case vkey::Down:
        NavigateUpDown(nav, key == vkey::Down, ctrl);
        break;
    default:
        return;
    }
    FinishNavigation(nav, modifiers);
}

void TBaseVirtualTree::ScrollByKey(std::int64_t deltaX, std::int64_t deltaY) {
    // Wide sums: a far offset plus a step cannot overflow; the setter clamps them to the content.
    SetScrollOffsets(offsetX_ + deltaX, offsetY_ + deltaY, AllScrollUpdateOptions);
}

void TBaseVirtualTree::NavigateTab(bool backward) {
    const TVirtualTreeColumns& columns = Header().Columns();
    auto following = [&](TColumnIndex column) {
        return backward ? columns.GetPreviousVisibleColumn(column) : columns.GetNextVisibleColumn(column);
    };
    auto rowStart = [&] {
        return backward ? columns.GetLastVisibleColumn() : columns.GetFirstVisibleColumn();
    };

    PVirtualNode candidate = focusedNode_;
    TColumnIndex column = InvalidColumn;
    if (candidate == nullptr) {
        candidate = backward ? GetLastVisible() : GetFirstVisible();
        column = rowStart();
    } else {
        column = columns.IsValidColumn(focusedColumn_) ? following(focusedColumn_) : rowStart();
    }
    // Cell by cell, row by row, until the owner accepts a cell or the tree ends.
    while (candidate != nullptr) {
        while (column >= 0 && !DoFocusChanging(focusedNode_, candidate, focusedColumn_, column))
            column = following(column);
        if (column >= 0)
            break;
        candidate = backward ? GetPreviousVisible(candidate) : GetNextVisible(candidate);
        column = rowStart();
    }
    if (candidate != nullptr)
        SetFocusedNodeAndColumn(candidate, column);
}

void TBaseVirtualTree::NavigatePage(bool down, bool ctrl) {
    const std::int64_t clientHeight = Host().ClientHeight();
    if (ctrl) {
        ScrollByKey(0, down ? -clientHeight : clientHeight);
        return;
    }
    PVirtualNode node = focusedNode_;
    if (node == nullptr) {
        SetFocusedNode(down ? GetLastVisible() : GetFirstVisible());
        return;
    }
    // As far as the rows passed fill the client area.
    std::int64_t passed = 0;
    for (;;) {
        PVirtualNode neighbour = down ? GetNextVisible(node) : GetPreviousVisible(node);
        if (neighbour == nullptr || passed + NodeHeight(node) >= clientHeight)
            break;
        if (down)
            passed += NodeHeight(node);
        node = neighbour;
        if (!down)
            passed += NodeHeight(node);
    }
    SetFocusedNode(node);
}

void TBaseVirtualTree::NavigateHomeEnd(bool home, TKeyModifiers shift) {
    PVirtualNode candidate = home ? GetFirstVisible() : GetLastVisible();
    TColumnIndex column = NoColumn;
    if (Header().UseColumns()) {
        const TVirtualTreeColumns& columns = Header().Columns();
        column = home ? columns.GetFirstVisibleColumn() : columns.GetLastVisibleColumn();
        while (column >= 0 && !DoFocusChanging(focusedNode_, candidate, focusedColumn_, column))
            column = home ? columns.GetNextVisibleColumn(column) : columns.GetPreviousVisibleColumn(column);
        if (column < 0)
            return;
    }
    const bool ctrl = (shift & keymod::Ctrl) != 0;
    const bool onlyCtrl = (shift & (keymod::Shift | keymod::Ctrl | keymod::Alt)) == keymod::Ctrl;
    const bool grid = TreeOptions().MiscOptions().Has(TVTMiscOption::toGridExtensions);
    const bool fullRow = TreeOptions().SelectionOptions().Has(TVTSelectionOption::toFullRowSelect);
    if (onlyCtrl && !grid) {
        // Ctrl scrolls to the start or the end and leaves the focus where it is.
        if (candidate != nullptr) {
            const bool center =
                TreeOptions().SelectionOptions().Has(TVTSelectionOption::toCenterScrollIntoView);
            const bool horizontally =
                !TreeOptions().AutoOptions().Has(TVTAutoOption::toDisableAutoscrollOnFocus);
            ScrollIntoView(candidate, center, horizontally);
        }
        SetOffsetX(home ? 0 : FarRightOffset);
        return;
    }
    if (grid && !ctrl) {
        if (!fullRow)
            SetFocusedColumn(column);
        return;
    }
    if (candidate == nullptr)
        return;
    if (grid && !fullRow)
        SetFocusedNodeAndColumn(candidate, column);
    else
        SetFocusedNode(candidate);
}

void TBaseVirtualTree::NavigateLeft(TKeyNavigation& nav, bool ctrl, bool modifiers) {
    if (ctrl) {
        ScrollByKey(Indent, 0);
        return;
    }
    if (TreeOptions().SelectionOptions().Has(TVTSelectionOption::toExtendedFocus) &&
        TreeOptions().MiscOptions().Has(TVTMiscOption::toGridExtensions)) {
        const TVirtualTreeColumns& columns = Header().Columns();
        if (columns.IsValidColumn(focusedColumn_)) {
            const TColumnIndex previous = columns.GetPreviousVisibleColumn(focusedColumn_);
            if (previous >= 0)
                SetFocusedColumn(previous);
        }
        return;
    }
    PVirtualNode node = focusedNode_;
    if (node == nullptr) {
        SetFocusedNode(GetFirstVisible());
        return;
    }
    if (!modifiers && (node->States & nsExpanded) != 0 && HasChildren(node)) {
        ToggleNode(node);
        return;
    }
    PVirtualNode parent = node->Parent;
    if (parent == root_)
        return;
    if (nav.ExtendSelection) {
        // Moving up out of the first child goes back towards an anchor above: the child leaves the range.
        if (node->Index != 0)
            nav.RangeKeyToggle = true;
        else if (rangeAnchor_ != nullptr && CompareNodePositions(parent, rangeAnchor_) > 0)
            RemoveFromSelection(node);
    }
    SetFocusedNode(parent);
}

void TBaseVirtualTree::NavigateRight(TKeyNavigation& nav, bool ctrl, bool modifiers) {
    if (ctrl) {
        ScrollByKey(-static_cast<std::int64_t>(Indent), 0);
        return;
    }
    if (TreeOptions().SelectionOptions().Has(TVTSelectionOption::toExtendedFocus) &&
        TreeOptions().MiscOptions().Has(TVTMiscOption::toGridExtensions)) {
        const TVirtualTreeColumns& columns = Header().Columns();
        if (columns.IsValidColumn(focusedColumn_)) {
            const TColumnIndex next = columns.GetNextVisibleColumn(focusedColumn_);
            if (next >= 0)
                SetFocusedColumn(next);
        }
        return;
    }
    PVirtualNode node = focusedNode_;
    if (node == nullptr) {
        SetFocusedNode(GetFirstVisible());
        return;
    }
    const bool expanded = (node->States & nsExpanded) != 0;
    if (!modifiers && !expanded && HasChildren(node)) {
        ToggleNode(node);
        return;
    }
    // The children of a collapsed node have no row to move to.
    if (!expanded)
        return;
    PVirtualNode child = GetFirstVisibleChild(node);
    if (child == nullptr)
        return;
    if (nav.ExtendSelection && rangeAnchor_ != nullptr && CompareNodePositions(child, rangeAnchor_) < 0)
        RemoveFromSelection(node);
    SetFocusedNode(child);
}

void TBaseVirtualTree::NavigateUpDown(TKeyNavigation& nav, bool down, bool ctrl) {
    if (ctrl) {
        const std::int64_t step = DefaultNodeHeight();
        ScrollByKey(0, down ? -step : step);
        return;
    }
    PVirtualNode candidate = nullptr;
    if (focusedNode_ != nullptr)
        candidate = down ? GetNextVisible(focusedNode_) : GetPreviousVisible(focusedNode_);
    else
        candidate = down ? GetFirstVisible() : GetLastVisible();
    if (candidate == nullptr) {
        InvalidateNode(focusedNode_);
        return;
    }
    EndEditNode();
    if (nav.ExtendSelection && nav.LastFocused != nullptr && rangeAnchor_ != nullptr &&
        focusedNode_ != nullptr) {
        // Moving back towards the anchor shrinks the range: the node left behind is unselected.
        const int side = CompareNodePositions(nav.LastFocused, rangeAnchor_);
        if (down ? side < 0 : side > 0)
            RemoveFromSelection(focusedNode_);
    }
    if (focusedColumn_ == NoColumn && Header().UseColumns())
        focusedColumn_ = Header().MainColumn();
    SetFocusedNode(candidate);
}

void TBaseVirtualTree::FinishNavigation(const TKeyNavigation& nav, bool modifiers) {
    const bool moved = focusedNode_ != nav.OldFocus;
    bool cleared = false;
    if (nav.ClearFirst && (moved || selectionCount_ != 1)) {
        ClearSelection();
        cleared = true;
    }
    if (!modifiers) {
        rangeAnchor_ = focusedNode_;
        lastSelectionLevel_ = focusedNode_ != nullptr ? CheckedCast<int>(GetNodeLevel(focusedNode_)) : -1;
    }
    if (nav.RangeKeyToggle && nav.LastFocused != nullptr && focusedNode_ != nullptr)
        ToggleSelection(nav.LastFocused, focusedNode_);
    if (focusedNode_ != nullptr && (cleared || moved))
        AddToSelection(focusedNode_);
    if (nav.RepaintAll)
        Host().InvalidateAll();
}

} // namespace tarvola
