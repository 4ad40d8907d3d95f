// The node flags that other concerns build on: visibility and expansion with their height bookkeeping, and
// sorting a sibling list.
#include "tree/TreeGuards.h"
#include "tree/VirtualTrees.h"

#include "base/Numerics.h"

#include <algorithm>

namespace tarvola {

bool TBaseVirtualTree::IsVisible(PVirtualNode node) {
    node = node == nullptr ? root_ : node;
    if ((node->States & nsInitialized) == 0)
        InitNode(node);
    return (node->States & nsVisible) != 0;
}

void TBaseVirtualTree::SetVisible(PVirtualNode node, bool value) {
    TreeAssert(node != nullptr && node != root_, "Invalid parameter.");
    if (((node->States & nsVisible) != 0) == value)
        return;
    InterruptValidation();
    PVirtualNode parent = node->Parent;
    const bool parentExpanded = (parent->States & nsExpanded) != 0;
    if (value) {
        node->States |= nsVisible;
        if (parentExpanded)
            AdjustTotalHeight(parent, node->TotalHeight, true);
        if (FullyVisible(node))
            visibleCount_ = CheckedAdd(visibleCount_, 1 + CountVisibleChildren(node));
    } else {
        if (FullyVisible(node))
            visibleCount_ = CheckedSub(visibleCount_, 1 + CountVisibleChildren(node));
        if (parentExpanded)
            AdjustTotalHeight(parent, -static_cast<std::int64_t>(node->TotalHeight), true);
        node->States &= ~nsVisible;
    }
    if (parent != root_) {
        if (updateCount_ > 0)
            states_.Set(TreeStates() | TVirtualTreeStates{TreeState::tsUpdateHiddenChildrenNeeded});
        else
            DetermineHiddenChildrenFlag(parent);
    }
    InvalidateCache();
    if (updateCount_ == 0) {
        ValidateCache();
        Host().UpdateScrollBars(true);
        Host().InvalidateAll();
    }
}

bool TBaseVirtualTree::Expanded(PVirtualNode node) const {
    return ((node == nullptr ? root_ : node)->States & nsExpanded) != 0;
}

void TBaseVirtualTree::SetExpanded(PVirtualNode node, bool value) {
    if (node != nullptr && node != root_ && Expanded(node) != value)
        ToggleNode(node);
}

namespace {

// Top-down merge sort of nodes[first, first + count) into sorted order in out; the first half is the
// first count / 2 nodes. Equal nodes keep their order (the first list's head wins).
template <typename Compare>
void MergeSort(std::vector<PVirtualNode>& nodes, std::size_t first, std::size_t count,
               std::vector<PVirtualNode>& scratch, Compare& before) {
    if (count < 2)
        return;
    const std::size_t half = count / 2;
    MergeSort(nodes, first, half, scratch, before);
    MergeSort(nodes, first + half, count - half, scratch, before);
    std::size_t a = first, b = first + half;
    const std::size_t aEnd = first + half, bEnd = first + count;
    scratch.clear();
    while (a < aEnd && b < bEnd)
        scratch.push_back(before(nodes[b], nodes[a]) ? nodes[b++] : nodes[a++]);
    scratch.insert(scratch.end(), nodes.begin() + a, nodes.begin() + aEnd);
    scratch.insert(scratch.end(), nodes.begin() + b, nodes.begin() + bEnd);
    std::copy(scratch.begin(), scratch.end(), nodes.begin() + first);
}

} // namespace

void TBaseVirtualTree::Sort(PVirtualNode node, TColumnIndex column, TSortDirection direction, bool doInit) {
    InterruptValidation();
    // Rows move under an editor: a pending edit start is dropped, a running edit must end first.
    if (InState(TreeState::tsEditPending))
        DoStateChange({}, {TreeState::tsEditPending});
    if (InState(TreeState::tsEditing) && !EndEditNode())
        return;
    node = node == nullptr ? root_ : node;
    if ((node->States & nsHasChildren) != 0) {
        if (doInit) {
            CountChildrenIfNeeded(node);
            ValidateChildren(node, false);
        }
        if (node->ChildCount > 1) {
            // Sorted in an array and linked only once the comparisons are done, so that a throwing
            // comparison leaves the list as it was.
            std::vector<PVirtualNode> nodes, scratch;
            nodes.reserve(node->ChildCount);
            for (PVirtualNode child = node->FirstChild; child != nullptr; child = child->NextSibling)
                nodes.push_back(child);
            auto before = [&](PVirtualNode second, PVirtualNode firstHead) {
                const int result = DoCompareNodes(firstHead, second, column);
                return direction == TSortDirection::sdAscending ? result > 0 : result < 0;
            };
            MergeSort(nodes, 0, nodes.size(), scratch, before);
            PVirtualNode previous = nullptr;
            std::uint32_t index = 0;
            for (PVirtualNode child : nodes) {
                child->PrevSibling = previous;
                child->Index = index++;
                if (previous != nullptr)
                    previous->NextSibling = child;
                previous = child;
            }
            previous->NextSibling = nullptr;
            node->FirstChild = nodes.front();
            node->LastChild = previous;
            InvalidateCache();
        }
    }
    if (updateCount_ == 0) {
        ValidateCache();
        Host().InvalidateAll();
    }
}

void TBaseVirtualTree::SortTree(TColumnIndex column, TSortDirection direction, bool doInit) {
    {
        UpdateCountGuard count(updateCount_);
        if (column > InvalidColumn) {
            std::vector<PVirtualNode> pending{root_};
            while (!pending.empty()) {
                PVirtualNode node = pending.back();
                pending.pop_back();
                Sort(node, column, direction, doInit);
                for (PVirtualNode child = node->FirstChild; child != nullptr; child = child->NextSibling) {
                    if (doInit && (child->States & nsInitialized) == 0)
                        InitNode(child);
                    if ((child->States & nsInitialized) != 0)
                        pending.push_back(child);
                }
            }
        }
        InvalidateCache();
    }
    if (updateCount_ == 0) {
        ValidateCache();
        Host().InvalidateAll();
    }
}

} // namespace tarvola
