// The tree as a drop target.
#include "tree/DropTarget.h"

#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/HitTest.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"
#include "tree/VirtualTrees.h"

namespace tarvola {

namespace {

constexpr std::int32_t ResultSuccess = 0;
constexpr std::int32_t ResultRefused = static_cast<std::int32_t>(0x80004005);    // E_FAIL
constexpr std::int32_t ResultUnexpected = static_cast<std::int32_t>(0x8000FFFF); // E_UNEXPECTED

} // namespace

TTreeDropTarget::TTreeDropTarget(TBaseVirtualTree& tree) : tree_(tree) {}

TShiftState TTreeDropTarget::Shift(std::uint32_t keyState) const {
    TShiftState held = 0;
    if (tree_.InState(TreeState::tsLeftButtonDown))
        held |= ssLeft;
    if (tree_.InState(TreeState::tsMiddleButtonDown))
        held |= ssMiddle;
    if (tree_.InState(TreeState::tsRightButtonDown))
        held |= ssRight;
    return ShiftFromKeyState(keyState, held);
}

TDropHit TTreeDropTarget::Hit(TDropPoint point, PVirtualNode& node) {
    if (HitTest)
        return HitTest(point, node);
    TDropHit hit;
    int top = 0;
    node = point.Y < 0 ? nullptr : tree_.GetNodeAt(point.X, point.Y, true, top);
    if (node != nullptr) {
        hit.OnNode = true;
        hit.RowTop = top;
        hit.RowBottom = top + static_cast<int>(tree_.NodeHeight(node));
    }
    return hit;
}

void TTreeDropTarget::FollowTree() {
    followsTree_ = true;
    HitTest = [this](TDropPoint point, PVirtualNode& node) { return TreeHit(point, node); };
    TakeTreeSettings();
}

void TTreeDropTarget::TakeTreeSettings() {
    const TCustomVirtualTreeOptions& options = tree_.TreeOptions();
    ShowDropmark = options.PaintOptions().Has(TVTPaintOption::toShowDropmark);
    ReportMode = options.MiscOptions().Has(TVTMiscOption::toReportMode);
    AutoDropExpand = options.AutoOptions().Has(TVTAutoOption::toAutoDropExpand);
    AutoExpandDelay = tree_.Properties().AutoExpandDelay;
}

TDropHit TTreeDropTarget::TreeHit(TDropPoint point, PVirtualNode& node) {
    const THitInfo info = tree_.GetHitTestInfoAt(point.X, point.Y, true);
    node = info.HitNode;
    TDropHit hit;
    if (node == nullptr)
        return hit;
    hit.OnNode = true;
    hit.OnLabelOrImage = (info.HitPositions & (hpOnItemLabel | hpOnNormalIcon | hpOnStateIcon)) != 0;
    hit.InMainColumn = !tree_.Header().UseColumns() || info.HitColumn == tree_.Header().MainColumn();
    const TTreeRect row = tree_.GetDisplayRect(node, NoColumn, false);
    hit.RowTop = row.Top;
    hit.RowBottom = row.Bottom;
    return hit;
}

bool TTreeDropTarget::DoDragOver(TBaseVirtualTree* source, TShiftState shift, TDragState state,
                                 TDropPoint point, TDropMode mode, std::uint32_t& effect) {
    bool accept = false;
    if (OnDragOver)
        OnDragOver(tree_, source, shift, state, point, mode, effect, accept);
    return accept;
}

void TTreeDropTarget::DoDragDrop(TBaseVirtualTree* source, IDataObject* dataObject,
                                 const std::vector<std::uint16_t>& formats, TShiftState shift,
                                 TDropPoint point, std::uint32_t& effect, TDropMode mode) {
    if (OnDragDrop)
        OnDragDrop(tree_, source, dataObject, formats, shift, point, effect, mode);
}

std::int32_t TTreeDropTarget::DragEnter(TBaseVirtualTree* source, std::uint32_t keyState, TDropPoint point,
                                        std::uint32_t& effect) {
    try {
        if (followsTree_)
            TakeTreeSettings();
        // Each drag waits the full delay before it scrolls.
        tree_.ResetAutoScrollStart();
        const TShiftState shift = Shift(keyState);
        effect = SuggestDropEffect(source == &tree_, shift, effect);
        if (!DoDragOver(source, shift, TDragState::dsDragEnter, point, lastDropMode_, effect)) {
            effect = DropEffectNone;
            return ResultSuccess;
        }
        PVirtualNode node = nullptr;
        const TDropHit hit = Hit(point, node);
        lastDropMode_ = DropModeFor(hit, point.Y, ShowDropmark, ReportMode);
        if (lastDropMode_ == TDropMode::dmNowhere)
            node = nullptr;
        tree_.SetDropTargetNode(node);
        tree_.InvalidateNode(node);
        // The pointer may rest on the node it entered over: that node expands after the delay too.
        if (AutoDropExpand && node != nullptr && (node->States & nsHasChildren) != 0)
            tree_.Host().StartTimer(ExpandTimer, AutoExpandDelay);
        return ResultSuccess;
    } catch (...) {
        return ResultUnexpected;
    }
}

std::int32_t TTreeDropTarget::DragOver(TBaseVirtualTree* source, std::uint32_t keyState, TDragState state,
                                       TDropPoint point, std::uint32_t& effect) {
    try {
        // The drop itself lands on the row the user sees: it never scrolls first.
        const bool scrolled = !dropping_ && tree_.DragOverAutoScroll(point.X, point.Y);
        const TShiftState shift = Shift(keyState);
        PVirtualNode node = nullptr;
        const TDropHit hit = Hit(point, node);
        const TDropMode mode = DropModeFor(hit, point.Y, ShowDropmark, ReportMode);
        if (mode == TDropMode::dmNowhere)
            node = nullptr;
        const PVirtualNode old = tree_.DropTargetNode();
        if (scrolled && tree_.Host().HasWindow())
            tree_.Host().InvalidateAll();
        if (node != old || mode != lastDropMode_) {
            lastDropMode_ = mode;
            if (node != old) {
                tree_.Host().StopTimer(ExpandTimer);
                tree_.SetDropTargetNode(node);
                if (tree_.FocusedColumn() <= NoColumn)
                    tree_.SetFocusedColumn(0);
                tree_.InvalidateNode(old);
                if (AutoDropExpand && node != nullptr && (node->States & nsHasChildren) != 0)
                    tree_.Host().StartTimer(ExpandTimer, AutoExpandDelay);
            }
            tree_.InvalidateNode(node);
        }
        effect = SuggestDropEffect(source == &tree_, shift, effect);
        if (!DoDragOver(source, shift, state, point, lastDropMode_, effect))
            effect = DropEffectNone;
        if (scrolled)
            effect |= DropEffectScroll;
        return ResultSuccess;
    } catch (...) {
        return ResultUnexpected;
    }
}

void TTreeDropTarget::ClearDropTarget() {
    PVirtualNode old = tree_.DropTargetNode();
    tree_.SetDropTargetNode(nullptr);
    tree_.InvalidateNode(old);
}

void TTreeDropTarget::DragLeave() {
    try {
        tree_.Host().StopTimer(ExpandTimer);
        ClearDropTarget();
        std::uint32_t effect = DropEffectNone;
        DoDragOver(nullptr, 0, TDragState::dsDragLeave, TDropPoint{}, lastDropMode_, effect);
    } catch (...) {
        // The platform's call cannot take an error; the drag has left anyway.
    }
}

std::int32_t TTreeDropTarget::DragDrop(TBaseVirtualTree* source, IDataObject* dataObject,
                                       const std::vector<std::uint16_t>& formats, std::uint32_t keyState,
                                       TDropPoint point, std::uint32_t& effect) {
    std::int32_t result = ResultSuccess;
    try {
        tree_.Host().StopTimer(ExpandTimer);
        tree_.StopAutoScroll();
        dropping_ = true;
        const std::int32_t over = DragOver(source, keyState, TDragState::dsDragMove, point, effect);
        dropping_ = false;
        if (over != ResultSuccess || (effect & ~DropEffectScroll) == DropEffectNone) {
            result = ResultRefused;
        } else {
            DoDragDrop(source, dataObject, formats, Shift(keyState), point, effect, lastDropMode_);
        }
    } catch (...) {
        result = ResultUnexpected;
    }
    try {
        ClearDropTarget();
    } catch (...) {
        result = ResultUnexpected;
    }
    return result;
}

void TTreeDropTarget::AutoExpandDropTarget() {
    tree_.Host().StopTimer(ExpandTimer);
    PVirtualNode node = tree_.DropTargetNode();
    if (node != nullptr && (node->States & nsHasChildren) != 0 && (node->States & nsExpanded) == 0)
        tree_.ToggleNode(node);
}

} // namespace tarvola
