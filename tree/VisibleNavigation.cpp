// Walks over the rows the user sees: nodes that are visible and whose every ancestor below the root is
// visible and expanded.
#include "tree/VirtualTrees.h"

namespace tarvola {

namespace {

constexpr const char* NotTheRoot = "Node must not be the hidden root node.";

} // namespace

PVirtualNode TBaseVirtualTree::GetFirstVisible() {
    if ((root_->States & nsHasChildren) == 0)
        return nullptr;
    for (PVirtualNode node = root_->FirstChild; node != nullptr; node = node->NextSibling)
        if ((InitIfNeeded(node)->States & nsVisible) != 0)
            return node;
    return nullptr;
}

PVirtualNode TBaseVirtualTree::GetFirstVisibleNoInit() const {
    if ((root_->States & nsHasChildren) == 0)
        return nullptr;
    for (PVirtualNode node = root_->FirstChild; node != nullptr; node = node->NextSibling)
        if ((node->States & nsVisible) != 0)
            return node;
    return nullptr;
}

// For a node that is not shown: the highest node of its path that is not shown either when that one is
// hidden itself (the walk goes on beside it), or else that node's collapsed parent, the row that stands for
// the whole branch.
namespace {

PVirtualNode StandInRow(const TBaseVirtualTree& tree, PVirtualNode node, bool& hidden) {
    PVirtualNode highest = node;
    for (PVirtualNode run = node; run != tree.RootNode(); run = run->Parent)
        if (!tree.FullyVisible(run))
            highest = run;
    hidden = (highest->States & nsVisible) == 0;
    return hidden ? highest : highest->Parent;
}

} // namespace

template <bool Init>
PVirtualNode TBaseVirtualTree::NextVisibleWalk(PVirtualNode node) {
    if (node == nullptr)
        return nullptr;
    TreeAssert(node != root_, NotTheRoot);
    bool descend = true;
    if (!FullyVisible(node)) {
        bool hidden = false;
        node = StandInRow(*this, node, hidden);
        descend = false;
    }
    if (descend && (node->States & nsExpanded) != 0) {
        if constexpr (Init)
            CountChildrenIfNeeded(node);
        if (node->FirstChild != nullptr) {
            node = node->FirstChild;
            if constexpr (Init)
                InitIfNeeded(node);
            if ((node->States & nsVisible) != 0)
                return node;
        }
    }
    for (;;) {
        while (node->NextSibling == nullptr) {
            node = node->Parent;
            if (node == root_)
                return nullptr;
        }
        node = node->NextSibling;
        if constexpr (Init)
            InitIfNeeded(node);
        if ((node->States & nsVisible) != 0)
            return node;
    }
}

PVirtualNode TBaseVirtualTree::GetNextVisible(PVirtualNode node) {
    return NextVisibleWalk<true>(node);
}

PVirtualNode TBaseVirtualTree::GetNextVisibleNoInit(PVirtualNode node) const {
    return const_cast<TBaseVirtualTree*>(this)->NextVisibleWalk<false>(node);
}

template <bool Init>
PVirtualNode TBaseVirtualTree::PreviousVisibleWalk(PVirtualNode node) {
    if (node == nullptr)
        return nullptr;
    if constexpr (Init)
        TreeAssert((node->States & nsInitialized) != 0, "Node must already be initialized.");
    TreeAssert(node != root_, NotTheRoot);
    if (!FullyVisible(node)) {
        bool hidden = false;
        node = StandInRow(*this, node, hidden);
        if (!hidden)
            return node;
    }
    for (PVirtualNode sibling = node->PrevSibling; sibling != nullptr; sibling = sibling->PrevSibling) {
        if constexpr (Init)
            InitIfNeeded(sibling);
        if ((sibling->States & nsVisible) == 0)
            continue;
        PVirtualNode last = Init ? GetLastVisible(sibling) : GetLastVisibleNoInit(sibling);
        return last != nullptr ? last : sibling;
    }
    return node->Parent == root_ ? nullptr : node->Parent;
}

PVirtualNode TBaseVirtualTree::GetPreviousVisible(PVirtualNode node) {
    return PreviousVisibleWalk<true>(node);
}

PVirtualNode TBaseVirtualTree::GetPreviousVisibleNoInit(PVirtualNode node) const {
    return const_cast<TBaseVirtualTree*>(this)->PreviousVisibleWalk<false>(node);
}

template <bool Init>
PVirtualNode TBaseVirtualTree::LastVisibleChildWalk(PVirtualNode node) {
    PVirtualNode result = nullptr;
    if (node == nullptr || node == root_)
        result = root_->LastChild;
    else if ((node->States & nsExpanded) != 0 && FullyVisible(node))
        result = node->LastChild;
    if (result == nullptr)
        return nullptr;
    if constexpr (Init)
        InitIfNeeded(result);
    if ((result->States & nsVisible) == 0)
        result = Init ? GetPreviousVisibleSibling(result) : GetPreviousVisibleSiblingNoInit(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastVisibleChild(PVirtualNode node) {
    return LastVisibleChildWalk<true>(node);
}

PVirtualNode TBaseVirtualTree::GetLastVisibleChildNoInit(PVirtualNode node) const {
    return const_cast<TBaseVirtualTree*>(this)->LastVisibleChildWalk<false>(node);
}

PVirtualNode TBaseVirtualTree::GetLastVisible(PVirtualNode node) {
    PVirtualNode result = nullptr;
    for (PVirtualNode child = GetLastVisibleChild(node); child != nullptr; child = GetLastVisibleChild(child))
        result = child;
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastVisibleNoInit(PVirtualNode node) const {
    PVirtualNode result = nullptr;
    for (PVirtualNode child = GetLastVisibleChildNoInit(node); child != nullptr;
         child = GetLastVisibleChildNoInit(child))
        result = child;
    return result;
}

PVirtualNode TBaseVirtualTree::GetVisibleParent(PVirtualNode node) const {
    TreeAssert(node != nullptr, "Node must not be nil.");
    PVirtualNode result = node;
    while (result != root_) {
        do
            result = result->Parent;
        while ((result->States & nsExpanded) == 0);
        if (result == root_ || FullyVisible(result))
            break;
        while (result != root_ && (result->Parent->States & nsExpanded) != 0)
            result = result->Parent;
    }
    return result;
}

} // namespace tarvola
