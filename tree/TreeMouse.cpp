// The tree's mouse rules: what a press, a release and a double click do with the expand button, the check
// box, the selection, the focus and the edit start; the rubber band's start and moves; the drag threshold;
// and hot tracking. The window decodes its messages and calls in here with the hit under the mouse.
#include "forms/Events.h"
#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/HitTest.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"
#include "tree/VirtualTrees.h"

#include "base/Numerics.h"

#include <algorithm>
#include <cstdlib>

namespace tarvola {

namespace {

constexpr unsigned ExpandTimer = 1;
constexpr unsigned HeaderTimerId = 3;

TTreeRect Ordered(const TTreeRect& rect) {
    return TTreeRect{std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
                     std::max(rect.Left, rect.Right), std::max(rect.Top, rect.Bottom)};
}

ITreeMousePort& NullMousePort() {
    static ITreeMousePort port;
    return port;
}

bool WheelStateSet(const TBaseVirtualTree& tree) {
    return tree.InState(TreeState::tsWheelPanning) || tree.InState(TreeState::tsWheelScrolling);
}

} // namespace

// What a press means, gathered once from the hit, the modifiers and the options.
struct TBaseVirtualTree::TClickFacts {
    TTreeShiftState Shift = 0; // Shift and Ctrl; Alt is taken out
    bool AltPressed = false;
    bool ShiftEmpty = true;
    bool IsHit = false;     // on the text or the normal image
    bool IsCellHit = false; // elsewhere on the row with full-row select or grid extensions
    bool IsAnyHit = false;
    bool MultiSelect = false;
    bool NodeSelected = false;
    bool FullRowDrag = false;
    bool AutoDrag = false;
    bool ColumnChange = false;
    bool NodeChange = false;
    TColumnIndex NewColumn = NoColumn;
};

void TBaseVirtualTree::SetMousePort(ITreeMousePort* port) {
    mousePort_ = port;
}

ITreeMousePort& TBaseVirtualTree::MousePort() const {
    return mousePort_ != nullptr ? *mousePort_ : NullMousePort();
}

void TBaseVirtualTree::DoColumnClick(TColumnIndex column, TTreeShiftState shift) {
    if (OnColumnClick)
        OnColumnClick(*this, column, shift);
}

void TBaseVirtualTree::DoColumnDblClick(TColumnIndex column, TTreeShiftState shift) {
    if (OnColumnDblClick)
        OnColumnDblClick(*this, column, shift);
}

int TBaseVirtualTree::DoGetCursor(int cursor) {
    if (OnGetCursor)
        OnGetCursor(*this, cursor);
    return cursor;
}

bool TBaseVirtualTree::HasPopupMenu(PVirtualNode node, TColumnIndex column, TTreeMousePoint position) {
    return MousePort().HasControlPopupMenu() || MousePort().HasNodePopupMenu(node, column, position);
}

void TBaseVirtualTree::ShowNodePopupMenu(PVirtualNode node, TColumnIndex column, TTreeMousePoint position) {
    if (!MousePort().HasNodePopupMenu(node, column, position))
        return;
    DoStateChange({TreeState::tsPopupMenuShown});
    Host().StopTimer(EditTimer);
    MousePort().ShowNodePopupMenu(node, column, position);
}

bool TBaseVirtualTree::HeaderBusy() const {
    return headerBridge_ && Header().States() != 0;
}

bool TBaseVirtualTree::PointInVisibleHeader(TTreeMousePoint client) const {
    return headerBridge_ && Header().InHeader(TVTPoint{client.X, client.Y});
}

void TBaseVirtualTree::InvalidateColumn(TColumnIndex column) {
    if (updateCount_ > 0 || !Host().HasWindow() || !headerBridge_ ||
        !Header().Columns().IsValidColumn(column))
        return;
    int left = 0;
    int right = 0;
    Header().Columns().GetColumnBounds(column, left, right);
    if (!MousePort().InvalidateClientRect(left, 0, right, Host().ClientHeight()))
        Host().InvalidateAll();
}

void TBaseVirtualTree::BeginDrag(bool immediate, int threshold) {
    const TTreeMousePoint system = MousePort().DragThreshold();
    oleDragThreshold_ = threshold < 0 ? system : TTreeMousePoint{threshold, threshold};
    if (immediate)
        StartOleDragFromTree();
    else
        DoStateChange({TreeState::tsOLEDragPending});
}

// A drag started: the deferred clearing is the drag's business now.
void TBaseVirtualTree::StartOleDragFromTree() {
    DoStateChange({TreeState::tsOLEDragging}, {TreeState::tsOLEDragPending, TreeState::tsClearPending});
    MousePort().StartOleDrag(lastClickPos_);
    DoStateChange({}, {TreeState::tsOLEDragging});
}

// ---- Button down

TBaseVirtualTree::TClickFacts TBaseVirtualTree::GatherClickFacts(const TTreeMouseMessage& message,
                                                                 const THitInfo& hit) {
    const TCustomVirtualTreeOptions& options = TreeOptions();
    const bool fullRowSelect = options.SelectionOptions().Has(TVTSelectionOption::toFullRowSelect);
    const bool gridExtensions = options.MiscOptions().Has(TVTMiscOption::toGridExtensions);
    TClickFacts facts;
    if (hit.Has(hpOnItemLabel) || fullRowSelect || gridExtensions) {
        facts.ColumnChange = hit.HitColumn != focusedColumn_;
        facts.NewColumn = options.SelectionOptions().Has(TVTSelectionOption::toExtendedFocus)
                              ? hit.HitColumn
                              : (headerBridge_ ? Header().MainColumn() : NoColumn);
    } else {
        facts.NewColumn = focusedColumn_;
    }
    facts.NodeChange = hit.HitNode != focusedNode_;
    facts.AltPressed = (message.Shift & ssAlt) != 0;
    facts.Shift = message.Shift & (ssShift | ssCtrl);
    facts.ShiftEmpty = facts.Shift == 0;
    facts.IsHit = !facts.AltPressed && hit.Has(hpOnItemLabel | hpOnNormalIcon);
    facts.IsCellHit = !facts.AltPressed && !facts.IsHit && hit.HitNode != nullptr &&
                      !hit.Has(hpOnItemButton | hpOnItemCheckbox) && (fullRowSelect || gridExtensions);
    facts.IsAnyHit = facts.IsHit || facts.IsCellHit;
    facts.MultiSelect = options.SelectionOptions().Has(TVTSelectionOption::toMultiSelect);
    facts.NodeSelected = facts.IsAnyHit && Selected(hit.HitNode);
    facts.FullRowDrag = options.MiscOptions().Has(TVTMiscOption::toFullRowDrag);
    const bool dragging = InState(TreeState::tsOLEDragging);
    facts.AutoDrag = (DragModeAutomatic || dragging) && (!facts.IsCellHit || facts.FullRowDrag);
    if (hit.HitNode != nullptr && !facts.AutoDrag && !DragModeAutomatic)
        facts.AutoDrag =
            DoDragAllowed(hit.HitNode, facts.NewColumn) && (!facts.IsCellHit || facts.FullRowDrag);
    return facts;
}

void TBaseVirtualTree::PressCheckBox(PVirtualNode node) {
    if (InState(TreeState::tsKeyCheckPending) || InState(TreeState::tsMouseCheckPending) ||
        (node->States & nsDisabled) != 0)
        return;
    TCheckState newState = DetermineNextCheckState(CheckType(node), CheckState(node));
    if (!DoChecking(node, newState))
        return;
    // The release may come outside the window; the capture makes sure it comes here.
    MousePort().CaptureMouse();
    DoStateChange({TreeState::tsMouseCheckPending});
    checkNode_ = node;
    pendingCheckState_ = newState;
    node->CheckState = static_cast<std::uint8_t>(PressedCheckState(CheckState(node)));
    InvalidateNode(node);
}

void TBaseVirtualTree::ClearSelectionForClick(const TClickFacts& facts, const THitInfo& hit) {
    const bool needChange = !facts.AutoDrag && !(InState(TreeState::tsRightButtonDown) &&
                                                 HasPopupMenu(hit.HitNode, hit.HitColumn, lastClickPos_));
    const bool clearNow =
        (facts.MultiSelect && facts.ShiftEmpty && !facts.IsAnyHit && !facts.FullRowDrag) ||
        (facts.IsAnyHit && (!facts.NodeSelected || needChange) && (facts.ShiftEmpty || !facts.MultiSelect));
    if (!clearNow)
        return;
    TreeAssert(!InState(TreeState::tsClearPending), "Pending and direct clearance are mutual exclusive!");
    const bool mainColumn = !headerBridge_ || hit.HitColumn == Header().MainColumn();
    if (facts.NodeSelected || (facts.AltPressed && hit.HitNode != nullptr && mainColumn)) {
        const std::uint32_t before = selectionCount_;
        InternalClearSelection();
        InternalAddToSelection(hit.HitNode, true);
        if (before > 1) {
            if (Host().HasWindow())
                Host().InvalidateAll();
            Change(nullptr);
        }
    } else {
        ClearSelection();
    }
}

void TBaseVirtualTree::StartRubberBand(const TTreeMouseMessage& message, TTreeShiftState shift) {
    MousePort().CaptureMouse();
    DoStateChange({TreeState::tsDrawSelPending});
    drawSelShiftState_ = shift;
    const int x = CheckedSub(message.X, offsetX_);
    const int y = CheckedSub(message.Y, offsetY_);
    newSelectionRect_ = TTreeRect{x, y, x, y};
    lastSelRect_ = TTreeRect{};
}

void TBaseVirtualTree::MoveFocusForClick(const TClickFacts& facts, const THitInfo& hit) {
    if (!DoFocusChanging(focusedNode_, hit.HitNode, focusedColumn_, facts.NewColumn))
        return;
    if (facts.ColumnChange) {
        InvalidateColumn(focusedColumn_);
        InvalidateColumn(facts.NewColumn);
        focusedColumn_ = facts.NewColumn;
    }
    if (facts.NodeChange || facts.ColumnChange)
        InternalSetFocusedNode(hit.HitNode, false);
    if (facts.MultiSelect && !facts.ShiftEmpty) {
        HandleClickSelection(hit.HitNode, (facts.Shift & ssCtrl) != 0, (facts.Shift & ssShift) != 0,
                             facts.AutoDrag);
    } else {
        if (facts.ShiftEmpty)
            rangeAnchor_ = hit.HitNode;
        if (!facts.NodeSelected)
            AddToSelection(hit.HitNode);
    }
    if (facts.NodeChange || facts.ColumnChange)
        DoFocusChanged(focusedNode_, focusedColumn_);
}

void TBaseVirtualTree::EndEditPendingByMouse() {
    if (InState(TreeState::tsEditPending)) {
        Host().StopTimer(EditTimer);
        DoStateChange({}, {TreeState::tsEditPending});
    }
}

void TBaseVirtualTree::HandleMouseDown(const TTreeMouseMessage& message, const THitInfo& hit) {
    if (WheelStateSet(*this)) {
        MousePort().StopWheelPanning();
        return;
    }
    EndEditPendingByMouse();
    if (InState(TreeState::tsEditing) && !DoEndEdit())
        return;
    if (!MousePort().Focused())
        MousePort().TakeFocus();
    if (headerBridge_)
        Header().Columns().ClickIndex = hit.HitColumn;

    const TClickFacts facts = GatherClickFacts(message, hit);
    if (hit.Has(hpOnItemButton) && hit.HitNode != nullptr && (hit.HitNode->States & nsHasChildren) != 0) {
        ToggleNode(hit.HitNode);
        return;
    }
    if (hit.Has(hpOnItemCheckbox) && hit.HitNode != nullptr) {
        PressCheckBox(hit.HitNode);
        return;
    }
    if ((root_->ChildCount > 0 && facts.ShiftEmpty) || selectionCount_ == 0) {
        PVirtualNode levelNode = hit.HitNode != nullptr ? hit.HitNode : GetLastVisibleNoInit();
        lastSelectionLevel_ = levelNode != nullptr ? static_cast<int>(GetNodeLevel(levelNode)) : -1;
    }
    if (facts.MultiSelect && facts.ShiftEmpty && facts.IsHit && facts.AutoDrag && facts.NodeSelected)
        DoStateChange({TreeState::tsClearPending});
    lastClickPos_ = TTreeMousePoint{message.X, message.Y};
    ClearSelectionForClick(facts, hit);

    const bool gridExtensions = TreeOptions().MiscOptions().Has(TVTMiscOption::toGridExtensions);
    if (MousePort().Focused() && (hit.Has(hpOnItemLabel) || (gridExtensions && hit.Has(hpOnItem))) &&
        facts.NodeSelected && !facts.ColumnChange && facts.ShiftEmpty)
        DoStateChange({TreeState::tsEditPending});

    if (!TreeOptions().SelectionOptions().Has(TVTSelectionOption::toDisableDrawSelection) && !facts.IsHit &&
        !facts.FullRowDrag && facts.MultiSelect) {
        StartRubberBand(message, facts.Shift);
        if (!facts.IsCellHit)
            return;
    }
    if (facts.IsAnyHit)
        MoveFocusForClick(facts, hit);
    if (facts.AutoDrag && facts.IsAnyHit &&
        (InState(TreeState::tsLeftButtonDown) || InState(TreeState::tsMiddleButtonDown) ||
         InState(TreeState::tsRightButtonDown)))
        BeginDrag(false);
}

// ---- Button up and double click

void TBaseVirtualTree::RestorePressedCheck() {
    if (checkNode_ == nullptr)
        return;
    checkNode_->CheckState = static_cast<std::uint8_t>(NormalCheckState(CheckState(checkNode_)));
    InvalidateNode(checkNode_);
    checkNode_ = nullptr;
}

// A press completes where it is released on the same row; anywhere else the box only looks normal again.
void TBaseVirtualTree::ReleaseCheckBox(const THitInfo& hit) {
    DoStateChange({}, {TreeState::tsMouseCheckPending});
    if (checkNode_ == nullptr)
        return;
    if (hit.HitNode == checkNode_ && hit.Has(hpOnItem)) {
        PVirtualNode node = checkNode_;
        checkNode_ = nullptr;
        ApplyCheckState(node, pendingCheckState_);
        // A refused change leaves the pressed form behind.
        node->CheckState = static_cast<std::uint8_t>(NormalCheckState(CheckState(node)));
        InvalidateNode(node);
        return;
    }
    RestorePressedCheck();
}

void TBaseVirtualTree::EndRubberBand() {
    DoStateChange(
        {}, {TreeState::tsDrawSelPending, TreeState::tsDrawSelecting, TreeState::tsToggleFocusedSelection});
    if (Host().HasWindow())
        Host().InvalidateAll();
}

void TBaseVirtualTree::HandleMouseUp(const TTreeMouseMessage& message, const THitInfo& hit) {
    MousePort().ReleaseMouse();
    if (InState(TreeState::tsFrameworkDragPending))
        return;
    if (IsRubberBandActive())
        EndRubberBand();
    if (InState(TreeState::tsClearPending)) {
        PVirtualNode focused = focusedNode_;
        const bool wasSelected = Selected(focused);
        ClearSelection();
        DoStateChange({}, {TreeState::tsClearPending});
        if (wasSelected)
            AddToSelection(focused);
    }
    if (InState(TreeState::tsToggleFocusedSelection) && hit.HitNode != nullptr &&
        hit.HitNode == focusedNode_) {
        if (Selected(hit.HitNode))
            RemoveFromSelection(hit.HitNode);
        else
            AddToSelection(hit.HitNode);
        InvalidateNode(hit.HitNode);
    }
    // Auto-scroll ends with the button (and the next stay in a zone waits the full delay again).
    StopAutoScroll();
    DoStateChange({}, {TreeState::tsToggleFocusedSelection, TreeState::tsClearPending,
                       TreeState::tsDrawSelPending, TreeState::tsOLEDragging, TreeState::tsOLEDragPending,
                       TreeState::tsScrolling, TreeState::tsScrollPending});
    Host().StopTimer(ScrollTimer);
    if (InState(TreeState::tsMouseCheckPending))
        ReleaseCheckBox(hit);
    if (headerBridge_) {
        const TColumnIndex clicked = Header().Columns().ClickIndex;
        if (clicked >= 0 && clicked == hit.HitColumn)
            DoColumnClick(hit.HitColumn, message.Shift);
    }
    if (InState(TreeState::tsEditPending)) {
        if (hit.HitNode != nullptr && hit.HitNode == focusedNode_ && hit.Has(hpOnItem) &&
            CanEdit(focusedNode_, hit.HitColumn))
            ArmEdit(focusedColumn_);
        else
            DoStateChange({}, {TreeState::tsEditPending});
    }
}

void TBaseVirtualTree::HandleMouseDblClick(const TTreeMouseMessage& message, const THitInfo& hit) {
    EndEditPendingByMouse();
    if (InState(TreeState::tsEditing) && !DoEndEdit())
        return;
    if (headerBridge_ && hit.HitColumn == Header().Columns().ClickIndex)
        DoColumnDblClick(hit.HitColumn, message.Shift);
    if (hit.HitNode == nullptr)
        return;
    if (hit.Has(hpOnItemCheckbox)) {
        PressCheckBox(hit.HitNode);
        return;
    }
    if (hit.Has(hpOnItemButton)) {
        ToggleNode(hit.HitNode);
        return;
    }
    if (!TreeOptions().MiscOptions().Has(TVTMiscOption::toToggleOnDblClick))
        return;
    const bool onNodeParts = hit.Has(hpOnItemButton | hpOnItemLabel | hpOnNormalIcon | hpOnStateIcon);
    if (onNodeParts || TreeOptions().SelectionOptions().Has(TVTSelectionOption::toFullRowSelect))
        ToggleNode(hit.HitNode);
}

// ---- Moves, hot tracking and the end of mouse work

bool TBaseVirtualTree::BeyondThreshold(TTreeMousePoint point, TTreeMousePoint threshold) const {
    const std::int64_t dx = std::llabs(std::int64_t{point.X} - lastClickPos_.X);
    const std::int64_t dy = std::llabs(std::int64_t{point.Y} - lastClickPos_.Y);
    return dx >= threshold.X || dy >= threshold.Y;
}

void TBaseVirtualTree::RepaintBandArea() {
    const TTreeRect band = Ordered(newSelectionRect_);
    // Before the band draws, the last band is no rectangle on screen.
    const TTreeRect last = IsRubberBandActive() ? Ordered(lastSelRect_) : band;
    const TTreeRect area{std::min(band.Left, last.Left), std::min(band.Top, last.Top),
                         std::max(band.Right, last.Right), std::max(band.Bottom, last.Bottom)};
    // One pixel more on each side: the band's frame is drawn on its edges.
    if (!MousePort().InvalidateClientRect(area.Left + offsetX_ - 1, area.Top + offsetY_ - 1,
                                          area.Right + offsetX_ + 1, area.Bottom + offsetY_ + 1) &&
        Host().HasWindow())
        Host().InvalidateAll();
}

// The band is pending until the mouse passes the drag threshold; then it selects.
bool TBaseVirtualTree::DrawSelectionMove(int x, int y) {
    if (!UpdateSelectionRect(x, y))
        return false;
    RepaintBandArea();
    const TTreeMousePoint threshold = MousePort().DragThreshold();
    const TTreeRect band = Ordered(newSelectionRect_);
    if (band.Right - band.Left <= threshold.X && band.Bottom - band.Top <= threshold.Y)
        return false;
    if (InState(TreeState::tsClearPending)) {
        DoStateChange({}, {TreeState::tsClearPending});
        ClearSelection();
    }
    DoStateChange({TreeState::tsDrawSelecting}, {TreeState::tsDrawSelPending});
    if (headerBridge_ && Header().UseColumns())
        SetFocusedColumn(Header().MainColumn());
    if (HandleDrawSelection() && Host().HasWindow())
        Host().InvalidateAll();
    return false;
}

bool TBaseVirtualTree::HandleMouseMove(TTreeShiftState, int x, int y) {
    if (InState(TreeState::tsDrawSelPending))
        return DrawSelectionMove(x, y);
    const TTreeMousePoint point{x, y};
    if (InState(TreeState::tsWheelPanning) && InState(TreeState::tsWheelScrolling) &&
        BeyondThreshold(point, MousePort().DragThreshold()))
        DoStateChange({}, {TreeState::tsWheelScrolling});
    if (InState(TreeState::tsOLEDragPending) && BeyondThreshold(point, oleDragThreshold_)) {
        StartOleDragFromTree();
        return false;
    }
    if (MousePort().CanAutoScroll())
        MousePort().UpdateAutoScroll(x, y);
    if (WheelStateSet(*this))
        MousePort().SetWheelPanningCursor(x, y);
    if (!IsRubberBandActive()) {
        HandleHotTrack(x, y);
        return true;
    }
    if (!InState(TreeState::tsScrolling) && UpdateSelectionRect(x, y)) {
        if (HandleDrawSelection()) {
            if (Host().HasWindow())
                Host().InvalidateAll();
        } else {
            RepaintBandArea();
        }
        MousePort().UpdateNow();
    }
    return false;
}

void TBaseVirtualTree::HandleHotTrack(int x, int y) {
    const THitInfo hit = GetHitTestInfoAt(x, y, true);
    const bool fullRowSelect = TreeOptions().SelectionOptions().Has(TVTSelectionOption::toFullRowSelect);
    PVirtualNode newHot = hit.Has(hpOnItemLabel | hpOnItemCheckbox) || fullRowSelect ? hit.HitNode : nullptr;
    if (newHot == hotNode_)
        return;
    PVirtualNode oldHot = hotNode_;
    hotNode_ = newHot;
    DoHotChange(oldHot, newHot);
    if (TreeOptions().PaintOptions().Has(TVTPaintOption::toHotTrack) ||
        TreeOptions().MiscOptions().Has(TVTMiscOption::toCheckSupport)) {
        InvalidateNode(oldHot);
        InvalidateNode(newHot);
    }
}

void TBaseVirtualTree::HandleMouseLeave() {
    DoStateChange({}, {TreeState::tsHint});
    if (!WheelStateSet(*this)) {
        Host().StopTimer(ScrollTimer);
        DoStateChange({}, {TreeState::tsScrolling, TreeState::tsScrollPending});
    }
    if (hotNode_ != nullptr) {
        PVirtualNode oldHot = hotNode_;
        hotNode_ = nullptr;
        DoHotChange(oldHot, nullptr);
        InvalidateNode(oldHot);
    }
}

void TBaseVirtualTree::HandleCancelMode() {
    for (unsigned timer : {ExpandTimer, EditTimer, HeaderTimerId, ScrollTimer, SearchTimer})
        Host().StopTimer(timer);
    // The next typed character starts a new search.
    EndIncrementalSearch();
    const bool banding = InState(TreeState::tsDrawSelPending) || IsRubberBandActive();
    DoStateChange({}, {TreeState::tsClearPending, TreeState::tsDrawSelPending, TreeState::tsDrawSelecting,
                       TreeState::tsEditPending, TreeState::tsIncrementalSearching,
                       TreeState::tsOLEDragPending, TreeState::tsFrameworkDragPending});
    // A pressed check box would otherwise stay pressed and block every later check.
    if (InState(TreeState::tsMouseCheckPending)) {
        DoStateChange({}, {TreeState::tsMouseCheckPending});
        RestorePressedCheck();
    }
    if (banding && Host().HasWindow())
        Host().InvalidateAll();
}

void TBaseVirtualTree::HandleContextMenuRequest() {
    EndEditPendingByMouse();
    DoStateChange(
        {}, {TreeState::tsClearPending, TreeState::tsOLEDragPending, TreeState::tsFrameworkDragPending});
}

void TBaseVirtualTree::HandleCaptureLost() {
    EndEditPendingByMouse();
    if (InState(TreeState::tsDrawSelPending) || IsRubberBandActive())
        EndRubberBand();
    DoStateChange({}, {TreeState::tsClearPending, TreeState::tsToggleFocusedSelection,
                       TreeState::tsOLEDragPending, TreeState::tsLeftButtonDown, TreeState::tsRightButtonDown,
                       TreeState::tsMiddleButtonDown});
    if (InState(TreeState::tsMouseCheckPending)) {
        DoStateChange({}, {TreeState::tsMouseCheckPending});
        RestorePressedCheck();
    }
}

} // namespace tarvola
