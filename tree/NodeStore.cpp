// Node memory and counting: making and freeing node blocks, the data areas, child counts, AddChild, and the
// lazy initialisation of nodes and their children.
#include "tree/TreeGuards.h"
#include "tree/TreeWorker.h"
#include "tree/VirtualTrees.h"

#include "base/Numerics.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace tarvola {

namespace {

constexpr std::size_t RoundUp(std::size_t value, std::size_t step) {
    return (value + step - 1) / step * step;
}

PVirtualNode AllocateZeroed(std::size_t size) {
    void* memory = std::calloc(1, size);
    if (memory == nullptr)
        throw std::bad_alloc();
    return new (memory) TVirtualNode{};
}

} // namespace

TBaseVirtualTree::TBaseVirtualTree(ITreeViewHost* host) : host_(host) {
    static NullTreeViewHost noWindow;
    if (host_ == nullptr)
        host_ = &noWindow;
    root_ = AllocateZeroed(UserDataOffset());
    root_->Parent = reinterpret_cast<PVirtualNode>(this);
    root_->PrevSibling = root_;
    root_->NextSibling = root_;
    root_->States = nsInitialized | nsExpanded | nsHasChildren | nsVisible;
    root_->TotalCount = 1;
    root_->NodeHeight = static_cast<std::uint16_t>(defaultNodeHeight_);
    root_->TotalHeight = defaultNodeHeight_;
    root_->Align = 50;
    worker_ = TWorkerThread::Acquire();
}

TBaseVirtualTree::~TBaseVirtualTree() {
    destroying_ = true;
    DropEditLink();
    try {
        Clear();
    } catch (...) {
        // An owner's handler that throws while the tree goes must not stop the tree from going.
    }
    InterruptValidation();
    worker_.reset();
    std::free(root_);
}

std::size_t TBaseVirtualTree::HeaderSize() const {
    return RoundUp(sizeof(TVirtualNode), 8);
}

// Rounded to 8 so that user records holding doubles or 64-bit integers are aligned.
std::size_t TBaseVirtualTree::UserDataOffset() const {
    return RoundUp(HeaderSize() + internalDataSize_, 8);
}

TBaseVirtualTree* TBaseVirtualTree::TreeFromNode(PVirtualNode node) {
    TreeAssert(node != nullptr, "Node must not be nil.");
    while (node->NextSibling != node)
        node = node->Parent;
    return reinterpret_cast<TBaseVirtualTree*>(node->Parent);
}

std::size_t TBaseVirtualTree::AllocateInternalDataArea(std::size_t size) {
    TreeAssert(root_->FirstChild == nullptr,
               "Internal data allocation must be done before any node is created.");
    const std::size_t offset = HeaderSize() + internalDataSize_;
    internalDataSize_ = CheckedAdd(internalDataSize_, RoundUp(size, 4));
    PVirtualNode root = AllocateZeroed(UserDataOffset());
    std::memcpy(static_cast<void*>(root), root_, sizeof(TVirtualNode));
    root->PrevSibling = root;
    root->NextSibling = root;
    std::free(root_);
    root_ = root;
    return offset;
}

void* TBaseVirtualTree::GetNodeData(PVirtualNode node) const {
    TreeAssert(nodeDataSize_ >= 1, "NodeDataSize not initialized.");
    if (node == nullptr || node == root_)
        return nullptr;
    return reinterpret_cast<std::byte*>(node) + UserDataOffset();
}

void TBaseVirtualTree::SetNodeDataSize(int value) {
    value = std::max(value, -1);
    if (value == nodeDataSize_)
        return;
    const std::uint32_t rootCount = root_->ChildCount;
    nodeDataSize_ = value;
    Clear();
    SetRootNodeCount(rootCount);
}

PVirtualNode TBaseVirtualTree::MakeNewNode() {
    if (nodeDataSize_ == -1)
        nodeDataSize_ = std::max(DoGetNodeDataSize(), 0);
    PVirtualNode node = AllocateZeroed(UserDataOffset() + static_cast<std::size_t>(nodeDataSize_));
    node->TotalCount = 1;
    node->NodeHeight = static_cast<std::uint16_t>(defaultNodeHeight_);
    node->TotalHeight = defaultNodeHeight_;
    node->States = nsVisible;
    node->Align = 50;
    return node;
}

void TBaseVirtualTree::FreeNodeMemory(PVirtualNode node) {
    std::free(node);
}

void TBaseVirtualTree::SetRootNodeCount(std::uint32_t value) {
    if (value == root_->ChildCount)
        return;
    UpdateGuard update(*this);
    InterruptValidation();
    SetChildCount(root_, value);
}

std::uint32_t TBaseVirtualTree::ChildCount(PVirtualNode node) const {
    return node == nullptr ? root_->ChildCount : node->ChildCount;
}

bool TBaseVirtualTree::HasChildren(PVirtualNode node) const {
    return ((node == nullptr ? root_ : node)->States & nsHasChildren) != 0;
}

bool TBaseVirtualTree::ChildrenInitialized(PVirtualNode node) const {
    node = node == nullptr ? root_ : node;
    return !((node->States & nsHasChildren) != 0 && node->ChildCount == 0);
}

void TBaseVirtualTree::SetHasChildren(PVirtualNode node, bool value) {
    if (node == nullptr || Options.ReadOnly)
        return;
    StopWorkerReads();
    if (value) {
        node->States |= nsHasChildren;
        if (node != root_ && node->ChildCount == 0)
            node->States &= ~nsAllChildrenHidden;
        return;
    }
    node->States &= ~nsHasChildren;
    DeleteChildren(node);
}

// Appends count new nodes behind the node's last child and carries counts and heights up.
void TBaseVirtualTree::LinkNewChildren(PVirtualNode node, std::uint32_t count) {
    const std::uint32_t newCount = CheckedAdd(node->ChildCount, count);
    std::uint32_t index = node->LastChild != nullptr ? node->LastChild->Index + 1 : 0;
    if (node->LastChild == nullptr)
        node->States |= nsHasChildren;
    node->States &= ~nsAllChildrenHidden;
    const bool expanded = (node->States & nsExpanded) != 0;
    const bool rowsShown = expanded && (node == root_ || FullyVisible(node));
    // Counted and raised before any node is linked, so that an overflow leaves the tree as it was.
    std::uint64_t heights = std::uint64_t{count} * defaultNodeHeight_;
    if (expanded)
        AdjustTotalHeight(node, static_cast<std::int64_t>(heights), true);
    AdjustTotalCount(node, count, true);
    if (rowsShown)
        visibleCount_ = CheckedAdd(visibleCount_, count);
    PVirtualNode first = nullptr;
    for (std::uint32_t i = 0; i < count; ++i) {
        PVirtualNode child = MakeNewNode();
        child->Index = index++;
        child->Parent = node;
        child->PrevSibling = node->LastChild;
        if (node->LastChild != nullptr)
            node->LastChild->NextSibling = child;
        else
            node->FirstChild = child;
        node->LastChild = child;
        node->ChildCount++;
        if (first == nullptr)
            first = child;
    }
    node->ChildCount = newCount;
    if (Options.VariableNodeHeight)
        for (PVirtualNode child = first; child != nullptr; child = child->NextSibling)
            MeasureItemHeight(child);
}

void TBaseVirtualTree::SetChildCount(PVirtualNode node, std::uint32_t newCount) {
    if (Options.ReadOnly)
        return;
    node = node == nullptr ? root_ : node;
    if (newCount == 0) {
        DeleteChildren(node);
        return;
    }
    if (newCount == node->ChildCount)
        return;
    InterruptValidation();
    const bool growing = newCount > node->ChildCount;
    if (growing) {
        LinkNewChildren(node, newCount - node->ChildCount);
        if (updateCount_ == 0 && Options.AutoSort && SortColumn > InvalidColumn)
            Sort(node, SortColumn, SortDirection, true);
        InvalidateCache();
    } else {
        while (node->ChildCount > newCount && node->LastChild != nullptr)
            DeleteNode(node->LastChild, true);
    }
    // A decrease reports a deletion: listeners do the fuller work for it.
    const TChangeReason reason = growing ? TChangeReason::crChildAdded : TChangeReason::crChildDeleted;
    if (updateCount_ == 0) {
        ValidateCache();
        Host().UpdateScrollBars(true);
        Host().InvalidateAll();
    }
    NotifyStructureChange(node, reason);
}

PVirtualNode TBaseVirtualTree::AddChild(PVirtualNode parent, void* userData) {
    if (Options.ReadOnly)
        return nullptr;
    CancelEditNode();
    InterruptValidation();
    parent = parent == nullptr ? root_ : parent;
    if ((parent->States & nsInitialized) == 0)
        InitNode(parent);
    if (userData != nullptr) {
        // Checked before anything is added, so that a refusal changes nothing.
        if (nodeDataSize_ == -1)
            nodeDataSize_ = std::max(DoGetNodeDataSize(), 0);
        if (nodeDataSize_ < static_cast<int>(sizeof(void*)))
            throw EVirtualTreeError(2008, "Cannot set initial user data because there is not enough user "
                                          "data space allocated.");
    }
    PVirtualNode child;
    {
        UpdateCountGuard count(updateCount_);
        SetChildCount(parent, parent->ChildCount + 1);
        parent->States &= ~nsAllChildrenHidden;
        child = parent->LastChild;
    }
    if (userData != nullptr) {
        std::memcpy(GetNodeData(child), &userData, sizeof(void*));
        child->States |= nsInitialUserData;
    }
    if (updateCount_ == 0) {
        ValidateCache();
        if (InState(TreeState::tsStructureChangePending))
            DoStructureChange(parent, TChangeReason::crChildAdded);
        if (Options.AutoSort && SortColumn > InvalidColumn)
            Sort(parent, SortColumn, SortDirection, true);
        InvalidateToBottom(parent);
        Host().UpdateScrollBars(true);
    }
    return child;
}

void TBaseVirtualTree::InitNode(PVirtualNode node) {
    StopWorkerReads();
    node->States |= nsInitialized;
    TVirtualNodeInitStates initStates = 0;
    DoInitNode(node->Parent, node, initStates);
    if (initStates & insDisabled)
        node->States |= nsDisabled;
    if ((initStates & insHasChildren) && (node->States & nsHasChildren) == 0) {
        node->States |= nsHasChildren;
        if (node->FirstChild == nullptr)
            node->States &= ~nsAllChildrenHidden; // children are to come
    }
    if (initStates & insSelected)
        AddToSelection(node);
    if (initStates & insMultiline)
        node->States |= nsMultiline;
    const bool wantsExpanded = (initStates & insExpanded) != 0;
    const bool isExpanded = (node->States & nsExpanded) != 0;
    if (wantsExpanded != isExpanded) {
        if (wantsExpanded)
            ToggleNode(node);
    } else if (isExpanded && (node->States & nsHasChildren) != 0) {
        InitChildren(node);
    }
}

void TBaseVirtualTree::InitChildren(PVirtualNode node) {
    if (node == nullptr || node == root_ || (node->States & nsHasChildren) == 0)
        return;
    const std::uint32_t count = DoInitChildren(node, node->ChildCount);
    if (count == 0) {
        DeleteChildren(node);
        node->States &= ~nsHasChildren;
    } else {
        SetChildCount(node, count);
    }
}

void TBaseVirtualTree::ValidateNode(PVirtualNode node, bool recursive) {
    node = node == nullptr ? root_ : node;
    if ((node->States & nsInitialized) == 0)
        InitNode(node);
    if (!recursive)
        return;
    if ((node->States & nsHasChildren) != 0 && node->ChildCount == 0)
        InitChildren(node);
    for (PVirtualNode child = node->FirstChild; child != nullptr; child = child->NextSibling)
        ValidateNode(child, true);
}

void TBaseVirtualTree::ValidateChildren(PVirtualNode node, bool recursive) {
    node = node == nullptr ? root_ : node;
    if ((node->States & nsHasChildren) != 0 && node->ChildCount == 0)
        InitChildren(node);
    for (PVirtualNode child = node->FirstChild; child != nullptr; child = child->NextSibling)
        ValidateNode(child, recursive);
}

void TBaseVirtualTree::ReinitNode(PVirtualNode node, bool recursive) {
    if (node == nullptr || node == root_)
        return;
    StopWorkerReads();
    node->States &= ~(nsChecking | nsCutOrCopy | nsDeleting | nsHeightMeasured);
    InitNode(node);
    if (recursive)
        ReinitChildren(node, true);
}

void TBaseVirtualTree::ReinitChildren(PVirtualNode node, bool recursive) {
    node = node == nullptr ? root_ : node;
    InitChildren(node);
    for (PVirtualNode child = node->FirstChild; child != nullptr; child = child->NextSibling)
        ReinitNode(child, recursive);
}

void TBaseVirtualTree::ResetNode(PVirtualNode node) {
    if (node == nullptr || node == root_) {
        Clear();
        return;
    }
    StopWorkerReads();
    DoResetNode(node);
    DeleteChildren(node);
    node->States &= ~(nsInitialized | nsChecking | nsCutOrCopy | nsDeleting | nsExpanded | nsHasChildren |
                      nsHeightMeasured);
    InvalidateNode(node);
}

void TBaseVirtualTree::AddToNodeCache(PVirtualNode node) {
    if (nodeCache_.size() == nodeCache_.capacity())
        nodeCache_.reserve(nodeCache_.size() < 100 ? 100 : nodeCache_.size() + nodeCache_.size() / 10);
    nodeCache_.push_back(node);
}

void TBaseVirtualTree::ClearNodeCache() {
    nodeCache_.clear();
}

} // namespace tarvola
