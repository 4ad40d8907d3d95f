// Walks over children and siblings, in tree order, over marked nodes, and the relations between nodes.
// The plain walks initialise the nodes they return and count children before stepping into them; the
// NoInit walks follow the existing links and fire nothing.
#include "tree/VirtualTrees.h"

namespace tarvola {

namespace {

constexpr const char* NotTheRoot = "Node must not be the hidden root node.";

bool IsRootRecord(PVirtualNode node) {
    return node->NextSibling == node;
}

// The node after node's whole subtree in tree order (nil at the end).
PVirtualNode NextAfterSubtree(PVirtualNode node) {
    while (!IsRootRecord(node) && node->NextSibling == nullptr)
        node = node->Parent;
    return IsRootRecord(node) ? nullptr : node->NextSibling;
}

} // namespace

PVirtualNode TBaseVirtualTree::InitIfNeeded(PVirtualNode node) {
    if (node != nullptr && (node->States & nsInitialized) == 0)
        InitNode(node);
    return node;
}

void TBaseVirtualTree::CountChildrenIfNeeded(PVirtualNode node) {
    if ((node->States & nsHasChildren) != 0 && node->ChildCount == 0)
        InitChildren(node);
}

PVirtualNode TBaseVirtualTree::GetFirst() {
    return InitIfNeeded(root_->FirstChild);
}

PVirtualNode TBaseVirtualTree::GetFirstNoInit() const {
    return root_->FirstChild;
}

PVirtualNode TBaseVirtualTree::GetFirstChild(PVirtualNode node) {
    if (node == nullptr || node == root_)
        return InitIfNeeded(root_->FirstChild);
    InitIfNeeded(node);
    if ((node->States & nsHasChildren) == 0)
        return nullptr;
    CountChildrenIfNeeded(node);
    return InitIfNeeded(node->FirstChild);
}

PVirtualNode TBaseVirtualTree::GetLastChild(PVirtualNode node) {
    if (node == nullptr || node == root_)
        return InitIfNeeded(root_->LastChild);
    InitIfNeeded(node);
    if ((node->States & nsHasChildren) == 0)
        return nullptr;
    CountChildrenIfNeeded(node);
    return InitIfNeeded(node->LastChild);
}

PVirtualNode TBaseVirtualTree::GetLastChildNoInit(PVirtualNode node) const {
    if (node == nullptr || node == root_)
        return root_->LastChild;
    return (node->States & nsHasChildren) != 0 ? node->LastChild : nullptr;
}

PVirtualNode TBaseVirtualTree::GetNextSibling(PVirtualNode node) {
    TreeAssert(node != root_, NotTheRoot);
    return node == nullptr ? nullptr : InitIfNeeded(node->NextSibling);
}

PVirtualNode TBaseVirtualTree::GetPreviousSibling(PVirtualNode node) {
    TreeAssert(node != root_, NotTheRoot);
    return node == nullptr ? nullptr : InitIfNeeded(node->PrevSibling);
}

PVirtualNode TBaseVirtualTree::GetNextVisibleSibling(PVirtualNode node) {
    TreeAssert(node != nullptr && node != root_, "Invalid parameter.");
    for (node = node->NextSibling; node != nullptr; node = node->NextSibling)
        if ((InitIfNeeded(node)->States & nsVisible) != 0)
            return node;
    return nullptr;
}

PVirtualNode TBaseVirtualTree::GetPreviousVisibleSibling(PVirtualNode node) {
    TreeAssert(node != nullptr && node != root_, "Invalid parameter.");
    for (node = node->PrevSibling; node != nullptr; node = node->PrevSibling)
        if ((InitIfNeeded(node)->States & nsVisible) != 0)
            return node;
    return nullptr;
}

PVirtualNode TBaseVirtualTree::GetPreviousVisibleSiblingNoInit(PVirtualNode node) const {
    TreeAssert(node != nullptr && node != root_, "Invalid parameter.");
    for (node = node->PrevSibling; node != nullptr; node = node->PrevSibling)
        if ((node->States & nsVisible) != 0)
            return node;
    return nullptr;
}

PVirtualNode TBaseVirtualTree::GetFirstVisibleChild(PVirtualNode node) {
    PVirtualNode result = GetFirstChild(node);
    if (result != nullptr && (result->States & nsVisible) == 0)
        result = GetNextVisibleSibling(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetNext(PVirtualNode node) {
    if (node == nullptr)
        return nullptr;
    TreeAssert(node != root_, NotTheRoot);
    CountChildrenIfNeeded(node);
    return InitIfNeeded(node->FirstChild != nullptr ? node->FirstChild : NextAfterSubtree(node));
}

PVirtualNode TBaseVirtualTree::GetNextNoInit(PVirtualNode node) const {
    if (node == nullptr)
        return nullptr;
    TreeAssert(node != root_, NotTheRoot);
    return node->FirstChild != nullptr ? node->FirstChild : NextAfterSubtree(node);
}

PVirtualNode TBaseVirtualTree::GetPrevious(PVirtualNode node) {
    if (node == nullptr)
        return nullptr;
    TreeAssert((node->States & nsInitialized) != 0, "Node must already be initialized.");
    TreeAssert(node != root_, NotTheRoot);
    PVirtualNode previous = node->PrevSibling;
    if (previous == nullptr)
        return node->Parent == root_ ? nullptr : node->Parent;
    InitIfNeeded(previous);
    PVirtualNode last = GetLast(previous);
    return InitIfNeeded(last != nullptr ? last : previous);
}

PVirtualNode TBaseVirtualTree::GetPreviousNoInit(PVirtualNode node) const {
    if (node == nullptr)
        return nullptr;
    TreeAssert(node != root_, NotTheRoot);
    PVirtualNode previous = node->PrevSibling;
    if (previous == nullptr)
        return node->Parent == root_ ? nullptr : node->Parent;
    PVirtualNode last = GetLastNoInit(previous);
    return last != nullptr ? last : previous;
}

PVirtualNode TBaseVirtualTree::GetLast(PVirtualNode node) {
    node = node == nullptr ? root_ : node;
    PVirtualNode result = nullptr;
    for (PVirtualNode child = GetLastChild(node); child != nullptr; child = GetLastChild(child))
        result = child;
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastNoInit(PVirtualNode node) const {
    node = node == nullptr ? root_ : node;
    PVirtualNode result = nullptr;
    for (PVirtualNode child = GetLastChildNoInit(node); child != nullptr; child = GetLastChildNoInit(child))
        result = child;
    return result;
}

PVirtualNode TBaseVirtualTree::GetFirstInitialized() const {
    PVirtualNode node = root_->FirstChild;
    if (node != nullptr && (node->States & nsInitialized) == 0)
        node = GetNextInitialized(node);
    return node;
}

PVirtualNode TBaseVirtualTree::GetNextInitialized(PVirtualNode node) const {
    do
        node = GetNextNoInit(node);
    while (node != nullptr && (node->States & nsInitialized) == 0);
    return node;
}

// The first node carrying flag at or after start (nil: from the first node), or after start itself.
PVirtualNode TBaseVirtualTree::NextMarked(PVirtualNode node, std::uint16_t flag) {
    node = node == nullptr || node == root_ ? root_->FirstChild : GetNextNoInit(node);
    while (node != nullptr && (node->States & flag) == 0)
        node = GetNextNoInit(node);
    return InitIfNeeded(node);
}

PVirtualNode TBaseVirtualTree::GetFirstSelected() {
    return GetNextSelected(nullptr);
}

PVirtualNode TBaseVirtualTree::GetNextSelected(PVirtualNode node) {
    return selectionCount_ == 0 ? nullptr : NextMarked(node, nsSelected);
}

PVirtualNode TBaseVirtualTree::GetFirstCutCopy() {
    return GetNextCutCopy(nullptr);
}

PVirtualNode TBaseVirtualTree::GetNextCutCopy(PVirtualNode node) {
    if (!InState(TreeState::tsCopyPending) && !InState(TreeState::tsCutPending))
        return nullptr;
    return NextMarked(node, nsCutOrCopy);
}

std::vector<PVirtualNode> TBaseVirtualTree::SortedMarked(std::uint16_t flag, std::uint32_t sizeHint,
                                                         bool resolve) const {
    std::vector<PVirtualNode> result;
    result.reserve(sizeHint);
    PVirtualNode node = root_->FirstChild;
    while (node != nullptr) {
        if ((node->States & flag) != 0) {
            result.push_back(node);
            if (resolve) {
                node = NextAfterSubtree(node);
                continue;
            }
        }
        node = GetNextNoInit(node);
    }
    return result;
}

std::vector<PVirtualNode> TBaseVirtualTree::GetSortedSelection(bool resolve) const {
    if (selectionCount_ == 0)
        return {};
    return SortedMarked(nsSelected, selectionCount_, resolve);
}

std::vector<PVirtualNode> TBaseVirtualTree::GetSortedCutCopySet(bool resolve) const {
    return SortedMarked(nsCutOrCopy, 100, resolve);
}

std::uint32_t TBaseVirtualTree::GetNodeLevel(PVirtualNode node) {
    std::uint32_t level = 0;
    if (node == nullptr || IsRootRecord(node))
        return 0;
    for (PVirtualNode parent = node->Parent; parent != nullptr && !IsRootRecord(parent);
         parent = parent->Parent)
        ++level;
    return level;
}

int TBaseVirtualTree::GetLevelDifference(PVirtualNode node1, PVirtualNode node2) const {
    TreeAssert(node1 != nullptr && node2 != nullptr, "Both nodes must be Assigned.");
    return static_cast<int>(GetNodeLevel(node2)) - static_cast<int>(GetNodeLevel(node1));
}

bool TBaseVirtualTree::HasAsAncestor(PVirtualNode node, PVirtualNode candidate) {
    if (node == nullptr || candidate == nullptr || node == candidate || IsRootRecord(node))
        return false;
    for (PVirtualNode parent = node->Parent; parent != nullptr; parent = parent->Parent) {
        if (parent == candidate)
            return true;
        if (IsRootRecord(parent))
            break;
    }
    return false;
}

} // namespace tarvola
