// Moving a node, or only its children, within this tree or into another one.
#include "tree/TreeClipboard.h"
#include "tree/TreeGuards.h"
#include "tree/VirtualTrees.h"

#include <algorithm>
#include <cstring>

namespace tarvola {

void TBaseVirtualTree::MoveTo(PVirtualNode source, PVirtualNode target, TVTNodeAttachMode mode,
                              bool childrenOnly) {
    if (source != nullptr && source != root_)
        TreeAssert(TreeFromNode(source) == this, "The source tree must contain the source node.");
    const bool besideItself = childrenOnly && (mode == TVTNodeAttachMode::amInsertBefore ||
                                               mode == TVTNodeAttachMode::amInsertAfter);
    if ((target == source && !besideItself) || mode == TVTNodeAttachMode::amNoWhere || source == nullptr ||
        source == root_ || Options.ReadOnly)
        return;
    InterruptValidation();
    TBaseVirtualTree* targetTree = this;
    if (target == nullptr) {
        target = root_;
        mode = TVTNodeAttachMode::amAddChildFirst;
    } else {
        targetTree = TreeFromNode(target);
    }
    if (targetTree != this)
        targetTree->InterruptValidation();
    if (target == targetTree->root_) {
        if (mode == TVTNodeAttachMode::amInsertBefore)
            mode = TVTNodeAttachMode::amAddChildFirst;
        else if (mode == TVTNodeAttachMode::amInsertAfter)
            mode = TVTNodeAttachMode::amAddChildLast;
    }
    if ((target->States & nsInitialized) == 0)
        targetTree->InitNode(target);
    else if ((target->States & nsHasChildren) != 0 && target->ChildCount == 0)
        targetTree->InitChildren(target);

    // The closing notification names the source; after a move into another tree the source is gone, and
    // its former parent (nil for a top-level node) stands for it.
    PVirtualNode reported = source;
    const bool allowed = DoNodeMoving(source, targetTree->Published(target));
    if (allowed) {
        // A node moved during its own drag must not be deleted again when the drag ends as a move.
        if (clipboard_ && InState(TreeState::tsOLEDragging))
            clipboard_->NoteNodeMoved(source);
        if (targetTree == this) {
            MoveWithinTree(source, target, mode, childrenOnly);
        } else {
            if (!childrenOnly)
                reported = source->Parent;
            MoveToOtherTree(source, *targetTree, target, mode, childrenOnly);
        }
    }
    InvalidateCache();
    if (updateCount_ == 0 && allowed) {
        ValidateCache();
        Host().UpdateScrollBars(true);
        Host().InvalidateAll();
        if (targetTree != this)
            targetTree->Host().InvalidateAll();
    }
    NotifyStructureChange(reported, TChangeReason::crNodeMoved);
}

void TBaseVirtualTree::MoveWithinTree(PVirtualNode source, PVirtualNode target, TVTNodeAttachMode mode,
                                      bool childrenOnly) {
    if (HasAsAncestor(target, source))
        throw EVirtualTreeError(2001, "Target node cannot be a child node of the node to be moved.");
    if (!childrenOnly) {
        DisconnectNode(source, true, true);
        ConnectNode(source, target, *this, mode);
        DoNodeMoved(source);
        return;
    }
    const bool backwards = mode == TVTNodeAttachMode::amAddChildFirst;
    PVirtualNode child = backwards ? source->LastChild : source->FirstChild;
    while (child != nullptr) {
        PVirtualNode following = backwards ? child->PrevSibling : child->NextSibling;
        DisconnectNode(child, true, false);
        ConnectNode(child, target, *this, mode);
        DoNodeMoved(child);
        child = following;
    }
}

void TBaseVirtualTree::MoveToOtherTree(PVirtualNode source, TBaseVirtualTree& targetTree, PVirtualNode target,
                                       TVTNodeAttachMode mode, bool childrenOnly) {
    std::vector<PVirtualNode> moving;
    if (childrenOnly)
        for (PVirtualNode child = source->FirstChild; child != nullptr; child = child->NextSibling)
            moving.push_back(child);
    else
        moving.push_back(source);
    // Children put first one by one would come out reversed; put them last-first to keep their order.
    if (mode == TVTNodeAttachMode::amAddChildFirst)
        std::reverse(moving.begin(), moving.end());
    {
        UpdateGuard targetUpdate(targetTree);
        for (PVirtualNode node : moving) {
            PVirtualNode copy = targetTree.MakeNewNode();
            try {
                targetTree.CopySubtreeFrom(*this, node, copy);
            } catch (...) {
                targetTree.FreeSubtreeMemory(copy);
                throw;
            }
            targetTree.ConnectNode(copy, target, targetTree, mode);
            targetTree.DoNodeMoved(copy);
        }
    }
    // The source goes only after every copy has arrived.
    UpdateGuard update(*this);
    if (childrenOnly)
        DeleteChildren(source);
    else
        DeleteNode(source, true);
}

// Builds a detached copy: the node's own fields and data areas, then its children linked behind it.
void TBaseVirtualTree::CopySubtreeFrom(TBaseVirtualTree& sourceTree, PVirtualNode source,
                                       PVirtualNode destination) {
    destination->NodeHeight = source->NodeHeight;
    destination->States = source->States & ~(nsSelected | nsCutOrCopy | nsDeleting | nsClearing);
    destination->Align = source->Align;
    destination->CheckState = source->CheckState;
    destination->CheckType = source->CheckType;
    const std::size_t internal = std::min(internalDataSize_, sourceTree.internalDataSize_);
    std::memcpy(reinterpret_cast<std::byte*>(destination) + HeaderSize(),
                reinterpret_cast<std::byte*>(source) + sourceTree.HeaderSize(), internal);
    if (nodeDataSize_ > 0 && sourceTree.nodeDataSize_ > 0)
        std::memcpy(GetNodeData(destination), sourceTree.GetNodeData(source),
                    static_cast<std::size_t>(std::min(nodeDataSize_, sourceTree.nodeDataSize_)));
    destination->TotalHeight = destination->NodeHeight;
    for (PVirtualNode child = source->FirstChild; child != nullptr; child = child->NextSibling) {
        PVirtualNode copy = MakeNewNode();
        try {
            CopySubtreeFrom(sourceTree, child, copy);
        } catch (...) {
            FreeSubtreeMemory(copy);
            throw;
        }
        ConnectNode(copy, destination, *this, TVTNodeAttachMode::amAddChildLast);
    }
    if (source->FirstChild == nullptr)
        destination->ChildCount = 0;
}

void TBaseVirtualTree::FreeSubtreeMemory(PVirtualNode node) {
    for (PVirtualNode child = node->FirstChild; child != nullptr;) {
        PVirtualNode next = child->NextSibling;
        FreeSubtreeMemory(child);
        child = next;
    }
    FreeNodeMemory(node);
}

} // namespace tarvola
