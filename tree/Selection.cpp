// The selection: the nsSelected flag of each node and the address-sorted array of the same nodes, kept in
// step; the range anchor; the level and sibling constraints; and the range operations.
#include "tree/TreeGuards.h"
#include "tree/VirtualTrees.h"

#include "base/Numerics.h"

#include <algorithm>

namespace tarvola {

void TBaseVirtualTree::SetSelected(PVirtualNode node, bool value) {
    if (node == nullptr || node == root_ || Selected(node) == value)
        return;
    if (value) {
        if (selectionCount_ == 0)
            rangeAnchor_ = node;
        else if (!Options.MultiSelect)
            ClearSelection();
        AddToSelection(node);
        EnsureVisibleFocusedColumn();
        if (rangeAnchor_ == nullptr)
            rangeAnchor_ = node;
    } else {
        RemoveFromSelection(node);
        if (selectionCount_ == 0)
            ResetRangeAnchor();
    }
    InvalidateNode(node);
}

bool TBaseVirtualTree::InternalAddToSelection(std::vector<PVirtualNode>& items, bool forceInsert) {
    if (items.empty())
        return false;
    StopWorkerReads();
    std::vector<PVirtualNode> added;
    added.reserve(items.size());
    if (forceInsert) {
        // No check of state or constraints; but a node listed twice, or one in the array already, would
        // leave a second entry behind, which outlives the node when it is deleted.
        added = items;
        std::sort(added.begin(), added.end(), TSelectionArray::AddressLess);
        added.erase(std::unique(added.begin(), added.end()), added.end());
        std::erase_if(added, [this](PVirtualNode node) {
            std::size_t index = 0;
            return selection_.Find(node, index);
        });
        for (PVirtualNode node : added)
            node->States |= nsSelected;
    } else {
        if (Options.LevelSelectConstraint && lastSelectionLevel_ < 0)
            lastSelectionLevel_ = static_cast<int>(GetNodeLevel(items.front()));
        if (Options.SiblingSelectConstraint && rangeAnchor_ == nullptr)
            rangeAnchor_ = items.front();
        for (PVirtualNode node : items) {
            // A node listed twice finds itself selected at its second entry.
            if ((node->States & (nsSelected | nsDisabled)) != 0)
                continue;
            if (Options.LevelSelectConstraint && static_cast<int>(GetNodeLevel(node)) != lastSelectionLevel_)
                continue;
            if (Options.SiblingSelectConstraint && node->Parent != rangeAnchor_->Parent)
                continue;
            node->States |= nsSelected;
            added.push_back(node);
        }
    }
    std::sort(added.begin(), added.end(), TSelectionArray::AddressLess);
    items = added;
    if (added.empty())
        return false;
    selection_.Merge(added);
    selectionCount_ = CheckedAdd(selectionCount_, static_cast<std::uint32_t>(added.size()));
    return true;
}

bool TBaseVirtualTree::InternalAddToSelection(PVirtualNode node, bool forceInsert) {
    TreeAssert(node != nullptr, "Node must not be nil!");
    std::vector<PVirtualNode> items{node};
    return InternalAddToSelection(items, forceInsert);
}

void TBaseVirtualTree::AddToSelection(PVirtualNode node) {
    TreeAssert(node != nullptr, "Node must not be nil!");
    if (node == root_ || !InternalAddToSelection(node, false))
        return;
    InvalidateNode(node);
    Change(node);
}

void TBaseVirtualTree::AddArrayToSelection(std::vector<PVirtualNode> items, bool forceInsert) {
    if (!InternalAddToSelection(items, forceInsert))
        return;
    if (items.size() == 1) {
        InvalidateNode(items.front());
        Change(items.front());
    } else {
        if (Host().HasWindow())
            Host().InvalidateAll();
        Change(nullptr);
    }
}

void TBaseVirtualTree::RemoveFromSelection(PVirtualNode node) {
    TreeAssert(node != nullptr, "Node must not be nil!");
    if ((node->States & nsSelected) == 0)
        return;
    StopWorkerReads();
    node->States &= ~nsSelected;
    if (selection_.Remove(node))
        selectionCount_ = CheckedSub(selectionCount_, std::uint32_t{1});
    if (selectionCount_ == 0)
        ResetRangeAnchor();
    Change(node);
}

// Marks the node's entry; the count stays until the array is packed.
void TBaseVirtualTree::InternalRemoveFromSelection(PVirtualNode node) {
    if (node == nullptr || (node->States & nsSelected) == 0)
        return;
    StopWorkerReads();
    if (selection_.Mark(node))
        node->States &= ~nsSelected;
}

void TBaseVirtualTree::PackSelection() {
    selectionCount_ = static_cast<std::uint32_t>(selection_.Pack());
}

// Only live entries are written: a marked entry may stand for a node already freed.
void TBaseVirtualTree::InternalClearSelection() {
    if (!selection_.Empty())
        StopWorkerReads();
    for (PVirtualNode node : selection_.Nodes())
        node->States &= ~nsSelected;
    selection_.Clear();
    selectionCount_ = 0;
    ResetRangeAnchor();
    if (InState(TreeState::tsClearPending))
        DoStateChange({}, {TreeState::tsClearPending});
}

void TBaseVirtualTree::ClearSelection() {
    if (selectionCount_ == 0 || destroying_)
        return;
    if (updateCount_ == 0 && Host().HasWindow())
        InvalidateNodesInRowOrder(selection_.Nodes());
    InternalClearSelection();
    Change(nullptr);
}

void TBaseVirtualTree::ResetRangeAnchor() {
    rangeAnchor_ = focusedNode_;
    lastSelectionLevel_ = -1;
}

// A missing start is the first top-level node; a hidden one its previous visible node.
static PVirtualNode RangeStart(TBaseVirtualTree& tree, PVirtualNode start) {
    if (start == nullptr)
        return tree.GetFirst();
    if (!tree.FullyVisible(start)) {
        PVirtualNode previous = tree.GetPreviousVisible(start);
        return previous != nullptr ? previous : tree.GetFirst();
    }
    return start;
}

void TBaseVirtualTree::SelectNodes(PVirtualNode startNode, PVirtualNode endNode, bool addOnly) {
    TreeAssert(endNode != nullptr, "EndNode must not be nil!");
    startNode = RangeStart(*this, startNode);
    if (startNode == nullptr)
        return;
    if (CompareNodePositions(startNode, endNode) > 0)
        std::swap(startNode, endNode);
    PVirtualNode anchor = rangeAnchor_;
    if (!addOnly)
        InternalClearSelection();
    std::vector<PVirtualNode> items;
    for (PVirtualNode node = startNode; node != nullptr; node = GetNextVisible(node)) {
        items.push_back(node);
        if (node == endNode)
            break;
    }
    AddArrayToSelection(std::move(items), false);
    if (Selected(anchor))
        rangeAnchor_ = anchor;
}

void TBaseVirtualTree::UnselectNodes(PVirtualNode startNode, PVirtualNode endNode) {
    TreeAssert(endNode != nullptr, "EndNode must not be nil!");
    startNode = RangeStart(*this, startNode);
    if (startNode == nullptr)
        return;
    if (CompareNodePositions(startNode, endNode) > 0)
        std::swap(startNode, endNode);
    for (PVirtualNode node = startNode; node != nullptr; node = GetNextVisible(node)) {
        InternalRemoveFromSelection(node);
        if (node == endNode)
            break;
    }
    PackSelection();
}

void TBaseVirtualTree::ToggleSelection(PVirtualNode startNode, PVirtualNode endNode) {
    TreeAssert(endNode != nullptr, "EndNode must not be nil!");
    startNode = RangeStart(*this, startNode);
    if (startNode == nullptr || CompareNodePositions(startNode, endNode) == 0)
        return;
    PVirtualNode first = startNode, last = endNode;
    if (CompareNodePositions(first, last) > 0)
        std::swap(first, last);
    std::vector<PVirtualNode> toAdd;
    auto toggle = [&](PVirtualNode node) {
        if (Selected(node))
            InternalRemoveFromSelection(node);
        else
            toAdd.push_back(node);
    };
    // The anchor end of the range stays as it is.
    if (rangeAnchor_ == nullptr || CompareNodePositions(first, rangeAnchor_) < 0)
        toggle(first);
    for (PVirtualNode node = GetNextVisible(first); node != nullptr && node != last;
         node = GetNextVisible(node))
        toggle(node);
    if (rangeAnchor_ == nullptr || CompareNodePositions(last, rangeAnchor_) > 0)
        toggle(last);
    PackSelection();
    if (rangeAnchor_ != nullptr && !Selected(rangeAnchor_))
        toAdd.push_back(rangeAnchor_);
    if (!toAdd.empty())
        AddArrayToSelection(std::move(toAdd), false);
}

void TBaseVirtualTree::SelectAll(bool visibleOnly) {
    if (!Options.MultiSelect)
        return;
    std::vector<PVirtualNode> items;
    for (PVirtualNode node = visibleOnly ? GetFirstVisible() : GetFirst(); node != nullptr;
         node = visibleOnly ? GetNextVisible(node) : GetNext(node))
        if (!Selected(node))
            items.push_back(node);
    if (!items.empty())
        AddArrayToSelection(std::move(items), false);
    if (Host().HasWindow())
        Host().InvalidateAll();
}

void TBaseVirtualTree::InvertSelection(bool visibleOnly) {
    if (!Options.MultiSelect)
        return;
    std::vector<PVirtualNode> items;
    for (PVirtualNode node = visibleOnly ? GetFirstVisibleNoInit() : GetFirstNoInit(); node != nullptr;
         node = visibleOnly ? GetNextVisibleNoInit(node) : GetNextNoInit(node)) {
        if (Selected(node))
            InternalRemoveFromSelection(node);
        else
            items.push_back(node);
    }
    PackSelection();
    if (!items.empty())
        InternalAddToSelection(items, false);
    if (Host().HasWindow())
        Host().InvalidateAll();
    Change(nullptr);
}

void TBaseVirtualTree::HandleClickSelection(PVirtualNode newNode, bool ctrl, bool shift, bool dragPending) {
    if (ctrl && shift) {
        SelectNodes(rangeAnchor_, newNode, true);
        if (Host().HasWindow())
            Host().InvalidateAll();
    } else if (ctrl) {
        if (!Options.SiblingSelectConstraint)
            rangeAnchor_ = newNode;
        if (dragPending)
            DoStateChange({TreeState::tsToggleFocusedSelection});
        else if (Selected(newNode))
            RemoveFromSelection(newNode);
        else
            AddToSelection(newNode);
    } else if (shift) {
        if (rangeAnchor_ == nullptr)
            rangeAnchor_ = GetFirst();
        if (rangeAnchor_ == nullptr)
            return;
        SelectNodes(rangeAnchor_, newNode, false);
        if (Host().HasWindow())
            Host().InvalidateAll();
    } else {
        if (!Selected(newNode))
            AddToSelection(newNode);
        rangeAnchor_ = newNode;
    }
}

} // namespace tarvola
