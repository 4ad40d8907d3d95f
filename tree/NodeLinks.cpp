// Linking and unlinking nodes: connect, disconnect, delete, clear and move, with the all-children-hidden
// flag that these keep.
#include "tree/TreeGuards.h"
#include "tree/VirtualTrees.h"

#include "base/Numerics.h"

#include <algorithm>
#include <cstring>

namespace tarvola {

namespace {

void RenumberFrom(PVirtualNode node, std::uint32_t index) {
    for (; node != nullptr; node = node->NextSibling)
        node->Index = index++;
}

} // namespace

void TBaseVirtualTree::ConnectNode(PVirtualNode node, PVirtualNode destination, TBaseVirtualTree& target,
                                   TVTNodeAttachMode mode) {
    node->States &= ~(nsChecking | nsCutOrCopy | nsDeleting | nsClearing);
    PVirtualNode parent = nullptr;
    switch (mode) {
    case TVTNodeAttachMode::amNoWhere:
        return;
    case TVTNodeAttachMode::amInsertBefore:
        parent = destination->Parent;
        node->PrevSibling = destination->PrevSibling;
        node->NextSibling = destination;
        if (destination->PrevSibling != nullptr)
            destination->PrevSibling->NextSibling = node;
        else
            parent->FirstChild = node;
        destination->PrevSibling = node;
        RenumberFrom(node, destination->Index);
        break;
    case TVTNodeAttachMode::amInsertAfter:
        parent = destination->Parent;
        node->PrevSibling = destination;
        node->NextSibling = destination->NextSibling;
        if (destination->NextSibling != nullptr)
            destination->NextSibling->PrevSibling = node;
        else
            parent->LastChild = node;
        destination->NextSibling = node;
        RenumberFrom(node, destination->Index + 1);
        break;
    case TVTNodeAttachMode::amAddChildFirst:
        parent = destination;
        node->PrevSibling = nullptr;
        node->NextSibling = destination->FirstChild;
        if (destination->FirstChild != nullptr)
            destination->FirstChild->PrevSibling = node;
        else
            destination->LastChild = node;
        destination->FirstChild = node;
        RenumberFrom(node, 0);
        break;
    case TVTNodeAttachMode::amAddChildLast:
        parent = destination;
        node->Index = destination->LastChild != nullptr ? destination->LastChild->Index + 1 : 0;
        node->PrevSibling = destination->LastChild;
        node->NextSibling = nullptr;
        if (destination->LastChild != nullptr)
            destination->LastChild->NextSibling = node;
        else
            destination->FirstChild = node;
        destination->LastChild = node;
        break;
    }
    node->Parent = parent;
    parent->ChildCount = CheckedAdd(parent->ChildCount, std::uint32_t{1});
    parent->States |= nsHasChildren;
    const bool visible = (node->States & nsVisible) != 0;
    target.AdjustTotalCount(parent, node->TotalCount, true);
    if ((parent->States & nsExpanded) != 0 && visible)
        target.AdjustTotalHeight(parent, node->TotalHeight, true);
    if (target.root_ == TreeFromNodeOrNull(parent) && target.FullyVisible(node))
        target.visibleCount_ = CheckedAdd(target.visibleCount_, 1 + target.CountVisibleChildren(node));
    if (parent == target.root_)
        return;
    if (visible)
        parent->States &= ~nsAllChildrenHidden;
    else if (parent->ChildCount == 1)
        parent->States |= nsAllChildrenHidden;
}

// The root a node hangs under, or null for a node of a detached subtree.
PVirtualNode TBaseVirtualTree::TreeFromNodeOrNull(PVirtualNode node) {
    while (node != nullptr && node->NextSibling != node)
        node = node->Parent;
    return node;
}

void TBaseVirtualTree::DisconnectNode(PVirtualNode node, bool keepFocus, bool reindex) {
    TreeAssert(node != nullptr && node != root_, "Node must neither be nil nor the root node.");
    if (!keepFocus && node == focusedNode_) {
        focusedNode_ = nullptr;
        DoFocusChanged(nullptr, NoColumn);
    }
    if (node == rangeAnchor_)
        rangeAnchor_ = nullptr;
    if ((node->States & nsDeleting) != 0)
        return;
    PVirtualNode parent = node->Parent;
    const bool wasFullyVisible = FullyVisible(node);
    const bool visible = (node->States & nsVisible) != 0;
    node->States &= ~nsChecking;
    bool takeHeight = (parent->States & nsExpanded) != 0 && visible;
    parent->ChildCount = CheckedSub(parent->ChildCount, std::uint32_t{1});
    if (parent->ChildCount == 0) {
        parent->States &= ~(nsAllChildrenHidden | nsHasChildren);
        if (parent != root_ && (parent->States & nsExpanded) != 0) {
            parent->States &= ~nsExpanded;
            takeHeight = visible;
        }
    }
    if (wasFullyVisible)
        visibleCount_ = CheckedSub(visibleCount_, 1 + CountVisibleChildren(node));
    AdjustTotalCount(parent, -static_cast<std::int64_t>(node->TotalCount), true);
    if (takeHeight)
        AdjustTotalHeight(parent, -static_cast<std::int64_t>(node->TotalHeight), true);
    if (node->PrevSibling != nullptr)
        node->PrevSibling->NextSibling = node->NextSibling;
    else
        parent->FirstChild = node->NextSibling;
    if (node->NextSibling != nullptr)
        node->NextSibling->PrevSibling = node->PrevSibling;
    else
        parent->LastChild = node->PrevSibling;
    if (reindex)
        RenumberFrom(node->NextSibling, node->Index);
    node->PrevSibling = nullptr;
    node->NextSibling = nullptr;
    node->Parent = nullptr;
    // Decided only now that the node is out of the list, so that the flag describes the children left.
    if (parent != root_ && (parent->States & nsClearing) == 0) {
        if (updateCount_ > 0)
            states_.Set(TreeStates() | TVirtualTreeStates{TreeState::tsUpdateHiddenChildrenNeeded});
        else
            DetermineHiddenChildrenFlag(parent);
    }
}

void TBaseVirtualTree::DeleteChildren(PVirtualNode node, bool resetHasChildren) {
    node = node == nullptr ? root_ : node;
    if (node->ChildCount == 0 && node->FirstChild == nullptr)
        return;
    if (Options.ReadOnly && !destroying_)
        return;
    TreeAssert(!InState(TreeState::tsIterating),
               "Deleting nodes during tree iteration leads to invalid pointers.");
    InterruptValidation();
    const int oldX = offsetX_;
    const int oldY = offsetY_;
    {
        UpdateCountGuard count(updateCount_);
        const bool childrenVisible =
            node == root_ || (FullyVisible(node) && (node->States & nsExpanded) != 0);
        node->States |= nsClearing;
        for (PVirtualNode child = node->LastChild; child != nullptr;) {
            PVirtualNode previous = child->PrevSibling;
            if (childrenVisible && (child->States & nsVisible) != 0)
                visibleCount_ = CheckedSub(visibleCount_, std::uint32_t{1});
            child->States |= nsDeleting;
            if (previous != nullptr)
                previous->NextSibling = nullptr;
            node->LastChild = previous;
            DeleteNode(child, true);
            child = previous;
        }
        node->States &= ~nsClearing;
        if (resetHasChildren)
            node->States &= ~nsHasChildren;
        if (node != root_)
            node->States &= ~nsExpanded;
        node->ChildCount = 0;
        node->FirstChild = nullptr;
        node->LastChild = nullptr;
        if (node == root_ || (node->States & nsDeleting) != 0) {
            node->TotalHeight = node->NodeHeight;
            node->TotalCount = 1;
        } else {
            AdjustTotalHeight(node, node->NodeHeight, false);
            AdjustTotalCount(node, 1, false);
            DetermineHiddenChildrenFlag(node);
        }
        InvalidateCache();
    }
    if (updateCount_ == 0) {
        PackSelection();
        ValidateCache();
        Host().UpdateScrollBars(true);
        if (oldX == offsetX_ && oldY == offsetY_)
            InvalidateToBottom(node);
        else
            Host().InvalidateAll();
    }
    NotifyStructureChange(node, TChangeReason::crChildDeleted);
}

void TBaseVirtualTree::DeleteNode(PVirtualNode node, bool reindex) {
    if (node == nullptr || node == root_ || (Options.ReadOnly && !destroying_))
        return;
    TreeAssert(!InState(TreeState::tsIterating),
               "Deleting nodes during tree iteration leads to invalid pointers.");
    // A handler fired below may ask to delete this very node again: that request is already being served.
    if (std::find(nodesBeingDeleted_.begin(), nodesBeingDeleted_.end(), node) != nodesBeingDeleted_.end())
        return;
    nodesBeingDeleted_.push_back(node);
    struct Forget {
        std::vector<PVirtualNode>& list;
        ~Forget() { list.pop_back(); }
    } forget{nodesBeingDeleted_};

    InterruptValidation();
    PVirtualNode parent = node->Parent;
    const bool parentClearing = (parent->States & nsClearing) != 0;
    const int oldX = offsetX_;
    const int oldY = offsetY_;
    if (!parentClearing)
        NotifyStructureChange(parent, TChangeReason::crChildDeleted);
    if ((node->States & nsSelected) != 0) {
        if (updateCount_ == 0) {
            const bool synch = InState(TreeState::tsSynchMode);
            DoStateChange({TreeState::tsSynchMode});
            try {
                RemoveFromSelection(node);
            } catch (...) {
                if (!synch)
                    DoStateChange({}, {TreeState::tsSynchMode});
                throw;
            }
            if (!synch)
                DoStateChange({}, {TreeState::tsSynchMode});
            InvalidateToBottom(parent);
        } else {
            InternalRemoveFromSelection(node);
        }
    } else {
        InvalidateToBottom(parent);
    }
    if (InState(TreeState::tsHint))
        DoStateChange({}, {TreeState::tsHint});
    DeleteChildren(node);
    DisconnectNode(node, false, reindex);
    DoFreeNode(node);
    if (!parentClearing) {
        DetermineHiddenChildrenFlag(parent);
        InvalidateCache();
        if (updateCount_ == 0) {
            ValidateCache();
            Host().UpdateScrollBars(true);
            if (oldX != offsetX_ || oldY != offsetY_)
                Host().InvalidateAll();
        }
    }
}

void TBaseVirtualTree::DoFreeNode(PVirtualNode node) {
    if (node == hotNode_)
        hotNode_ = nullptr;
    // A delayed notification must not name a node that no longer exists.
    if (node == lastChangedNode_)
        lastChangedNode_ = nullptr;
    if (node == lastStructureChangeNode_)
        lastStructureChangeNode_ = nullptr;
    if (node == dropTargetNode_)
        dropTargetNode_ = nullptr;
    if (node == focusedNode_)
        focusedNode_ = nullptr;
    KeyboardForgetNode(node);
    selection_.Mark(node);
    handedOut_.erase(node);
    if ((node->States & (nsInitialized | nsInitialUserData)) != 0 && OnFreeNode)
        OnFreeNode(*this, node);
    FreeNodeMemory(node);
}

void TBaseVirtualTree::DeleteSelectedNodes() {
    if (selectionCount_ == 0 || Options.ReadOnly)
        return;
    UpdateGuard update(*this);
    const std::vector<PVirtualNode> nodes = GetSortedSelection(true);
    for (std::size_t i = nodes.size(); i-- > 0;) {
        const bool reindex = i == 0 || nodes[i - 1]->Parent != nodes[i]->Parent;
        DeleteNode(nodes[i], reindex);
    }
}

void TBaseVirtualTree::Clear() {
    if (Options.ReadOnly && !destroying_)
        return;
    if (!destroying_)
        CancelEditNode();
    UpdateGuard update(*this);
    InterruptValidation();
    if (InState(TreeState::tsCopyPending) || InState(TreeState::tsCutPending))
        DoStateChange({}, {TreeState::tsCopyPending, TreeState::tsCutPending});
    ClearSelection();
    focusedNode_ = nullptr;
    hotNode_ = nullptr;
    dropTargetNode_ = nullptr;
    rangeAnchor_ = nullptr;
    lastChangedNode_ = nullptr;
    DeleteChildren(root_, true);
    visibleCount_ = 0;
    offsetX_ = 0;
    offsetY_ = 0;
}

void TBaseVirtualTree::DetermineHiddenChildrenFlag(PVirtualNode node) {
    bool allHidden;
    if (node->FirstChild != nullptr) {
        allHidden = true;
        for (PVirtualNode child = node->FirstChild; child != nullptr && allHidden; child = child->NextSibling)
            allHidden = (child->States & nsVisible) == 0;
    } else {
        allHidden = (node->States & nsHasChildren) == 0;
    }
    if (allHidden)
        node->States |= nsAllChildrenHidden;
    else
        node->States &= ~nsAllChildrenHidden;
}

void TBaseVirtualTree::DetermineHiddenChildrenFlagAllNodes() {
    for (PVirtualNode node = GetFirstNoInit(); node != nullptr; node = GetNextNoInit(node))
        DetermineHiddenChildrenFlag(node);
}

} // namespace tarvola
