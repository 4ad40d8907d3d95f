// Expanding and collapsing: one node with its events, lazy children and freeing on collapse, and whole
// subtrees inside one update. The slide animation belongs to the window.
#include "tree/TreeGuards.h"
#include "tree/VirtualTrees.h"

#include "base/Numerics.h"

namespace tarvola {

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
