// Expanding and collapsing: one node with its events, lazy children and freeing on collapse, and whole
// subtrees inside one update, and the slide of the rows below a toggled node (the window moves the pixels).
#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/TreeControlPort.h"
#include "tree/TreeGuards.h"
#include "tree/TreeSettings.h"
#include "tree/VirtualTrees.h"

#include "base/Numerics.h"

#include <algorithm>

namespace tarvola {

namespace {

// The strip a slide uncovers, part by part: each visible column from the one at the area's left edge until
// the client width is passed, in its own colour unless it takes the tree's; without columns the whole width.
std::vector<TToggleSlide::Fill> StripFills(TBaseVirtualTree& tree, const TTreeRect& area, int clientWidth) {
    if (!tree.Header().UseColumns())
        return {{area.Left, area.Right, std::nullopt}};
    std::vector<TToggleSlide::Fill> fills;
    const TVirtualTreeColumns& columns = tree.Header().Columns();
    for (TColumnIndex column : columns.GetVisibleColumns()) {
        int left = 0, right = 0;
        columns.GetColumnBounds(column, left, right); // client coordinates
        if (right <= area.Left)
            continue;
        if (left >= clientWidth)
            break;
        const TVirtualTreeColumn& item = columns[column];
        fills.push_back(
            {std::max(left, area.Left), right,
             item.Has(coParentColor) ? std::nullopt : std::optional<std::uint32_t>(item.Color())});
    }
    return fills;
}

// Runs the slide of the rows below node over the animation duration.
void Slide(TBaseVirtualTree& tree, ITreeControlPort& port, TToggleSlide slide, std::uint32_t steps,
           int clientWidth) {
    slide.Fills = StripFills(tree, slide.Area, clientWidth);
    port.UpdateWindow();
    tree.Animate(steps, tree.Properties().AnimationDuration(),
                 [&](std::uint32_t step, std::uint32_t stepSize) {
                     port.SlideStep(slide, step, stepSize);
                     return true;
                 });
}

} // namespace

bool TBaseVirtualTree::SlidesOnToggle() const {
    return updateCount_ == 0 && host_->HasWindow() && settings_ &&
           TreeOptions().AnimationOptions().Has(TVTAnimationOption::toAnimatedToggle);
}

void TBaseVirtualTree::SlideCollapse(PVirtualNode node) {
    const TTreeRect row = GetDisplayRect(node, NoColumn, false);
    const TTreeRect area{row.Left, row.Bottom, row.Right, Host().ClientHeight()};
    if (area.Empty())
        return;
    const std::uint32_t steps = std::min<std::uint32_t>(
        node->TotalHeight - node->NodeHeight, static_cast<std::uint32_t>(area.Bottom - area.Top + 1));
    Slide(*this, ControlPort(), {area, false, {}}, steps, Host().ClientWidth());
}

void TBaseVirtualTree::SlideExpand(PVirtualNode node, std::int64_t gain) {
    if (InState(TreeState::tsExpanding) || InState(TreeState::tsPainting) ||
        GetNextVisibleNoInit(node) == nullptr)
        return;
    const TTreeRect row = GetDisplayRect(node, NoColumn, false);
    const int clientHeight = Host().ClientHeight();
    const TTreeRect area{row.Left, row.Bottom, row.Right, clientHeight};
    if (row.Bottom >= clientHeight || area.Empty())
        return;
    const std::uint32_t steps =
        static_cast<std::uint32_t>(std::min<std::int64_t>(clientHeight - area.Top + 1, gain));
    Slide(*this, ControlPort(), {area, true, {}}, steps, Host().ClientWidth());
}

void TBaseVirtualTree::ToggleNode(PVirtualNode node) {
    TreeAssert(node != nullptr, "Node must not be nil.");
    if (node == root_ || (node->States & (nsToggling | nsDeleting)) != 0)
        return;
    InterruptValidation(); // heights change below
    node->States |= nsToggling;
    ScopeExit toggled([node] { node->States &= ~nsToggling; });
    bool changed = false;
    if ((node->States & nsExpanded) != 0) {
        if (DoCollapsing(node)) {
            changed = true;
            if (SlidesOnToggle() && !InState(TreeState::tsCollapsing))
                SlideCollapse(node);
            if (FullyVisible(node))
                visibleCount_ = CheckedSub(visibleCount_, CountVisibleChildren(node));
            AdjustTotalHeight(node, node->NodeHeight, false);
            node->States &= ~nsExpanded;
            DoCollapsed(node);
            // The children go; nsHasChildren stays, so the next expansion asks for them again.
            if (Options.AutoFreeOnCollapse && node->FirstChild != nullptr)
                DeleteChildren(node, false);
        }
    } else if (DoExpanding(node)) {
        changed = true;
        InitIfNeeded(node);
        CountChildrenIfNeeded(node);
        if (node->FirstChild != nullptr) {
            std::int64_t gain = 0;
            for (PVirtualNode child = node->FirstChild; child != nullptr; child = child->NextSibling)
                if ((child->States & nsVisible) != 0)
                    gain += child->TotalHeight;
            if (SlidesOnToggle())
                SlideExpand(node, gain);
            node->States |= nsExpanded;
            AdjustTotalHeight(node, gain, true);
            if (FullyVisible(node))
                visibleCount_ = CheckedAdd(visibleCount_, CountVisibleChildren(node));
            DoExpanded(node);
        }
    }
    if (!changed)
        return;
    InvalidateCache();
    if (updateCount_ > 0)
        return;
    ValidateCache();
    if ((node->States & nsHasChildren) != 0) {
        Host().UpdateScrollBars(true);
        InvalidateToBottom(node);
    } else {
        InvalidateNode(node);
    }
}

namespace {

// Where a walk over node's subtree ends: the next sibling of the node or of its nearest ancestor that has
// one.
PVirtualNode AfterSubtree(PVirtualNode node, PVirtualNode root) {
    while (node != root && node->NextSibling == nullptr)
        node = node->Parent;
    return node == root ? nullptr : node->NextSibling;
}

} // namespace

void TBaseVirtualTree::FullExpand(PVirtualNode node) {
    if (root_->TotalCount < 2)
        return;
    DoStateChange({TreeState::tsExpanding});
    ScopeExit leave([this] { DoStateChange({}, {TreeState::tsExpanding}); });
    UpdateGuard update(*this);
    PVirtualNode stop = nullptr;
    if (node == nullptr || node == root_) {
        node = GetFirst();
    } else {
        stop = AfterSubtree(node, root_);
        InitIfNeeded(node);
    }
    for (; node != nullptr && node != stop; node = GetNext(node))
        if ((node->States & nsExpanded) == 0)
            ToggleNode(node);
}

void TBaseVirtualTree::FullCollapse(PVirtualNode node) {
    if (root_->TotalCount < 2)
        return;
    DoStateChange({TreeState::tsCollapsing});
    ScopeExit leave([this] { DoStateChange({}, {TreeState::tsCollapsing}); });
    UpdateGuard update(*this);
    if (node == root_)
        node = nullptr;
    const std::uint16_t open = nsExpanded | nsHasChildren;
    for (PVirtualNode walk = GetLastVisibleNoInit(node); walk != nullptr && walk != node;
         walk = GetPreviousNoInit(walk))
        if ((walk->States & open) == open)
            ToggleNode(walk);
    if (node != nullptr && (node->States & open) == open)
        ToggleNode(node);
}

} // namespace tarvola
