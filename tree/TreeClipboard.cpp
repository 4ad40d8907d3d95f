// The portable side of a tree's clipboard and drag transfers: offered formats, cut/copy marking, the nodes
// a transfer carries and their insertion.
#include "tree/TreeClipboard.h"

#include "tree/DropRules.h"
#include "tree/NodeStreamTransfer.h"

#include "tree/TreeGuards.h"
#include "tree/VirtualTrees.h"

#include <algorithm>

namespace tarvola {

namespace {

// Every tree with a clipboard side, so that a tree key read from a reference is only used while the tree
// lives (GUI thread only).
std::vector<TBaseVirtualTree*>& LiveTrees() {
    static std::vector<TBaseVirtualTree*> trees;
    return trees;
}

std::uint32_t KeyOf(const TBaseVirtualTree* tree) {
    // The tree's address, which is all of it in the 32-bit program.
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(tree));
}

} // namespace

const TTreeClass& TBaseVirtualTree::TreeClass() const {
    return BaseVirtualTreeClass();
}

TTreeClipboard& TBaseVirtualTree::Clipboard() const {
    if (!clipboard_)
        clipboard_ = std::make_shared<TTreeClipboard>(const_cast<TBaseVirtualTree&>(*this));
    return *clipboard_;
}

TTreeClipboard::TTreeClipboard(TBaseVirtualTree& tree)
    : tree_(tree), streamTransfer_(std::make_unique<TNodeStreamTransfer>()), formats_(tree.TreeClass()),
      link_(std::make_shared<TTreeLink>()) {
    NodeTransfer = streamTransfer_.get();
    link_->Tree = &tree;
    LiveTrees().push_back(&tree);
}

TTreeClipboard::~TTreeClipboard() {
    link_->Tree = nullptr;
    std::erase(LiveTrees(), &tree_);
    if (link_->ClipboardObject != nullptr && link_->ReleaseClipboardObject != nullptr)
        link_->ReleaseClipboardObject(link_->ClipboardObject);
}

std::uint32_t TTreeClipboard::ReferenceKey() const {
    return KeyOf(&tree_);
}

TBaseVirtualTree* TTreeClipboard::LiveTreeByKey(std::uint32_t key) {
    TBaseVirtualTree* found = nullptr;
    for (TBaseVirtualTree* tree : LiveTrees()) {
        if (KeyOf(tree) != key)
            continue;
        if (found != nullptr)
            return nullptr;
        found = tree;
    }
    return found;
}

TFormatEtcArray TTreeClipboard::GetNativeClipboardFormats() {
    TFormatEtcArray formats;
    TClipboardFormatList::Global().CollectFormats(tree_.TreeClass(), formats,
                                                  formats_.Count() > 0 ? &formats_ : nullptr);
    if (OnGetUserClipboardFormats)
        OnGetUserClipboardFormats(tree_, formats);
    return formats;
}

std::vector<PVirtualNode> TTreeClipboard::TransferNodes(bool forClipboard) const {
    return forClipboard ? tree_.GetSortedCutCopySet(true) : tree_.GetSortedSelection(true);
}

std::vector<std::uint8_t> TTreeClipboard::RenderNodeChunks(bool forClipboard) {
    std::vector<std::uint8_t> chunks;
    if (NodeTransfer == nullptr)
        return chunks;
    for (PVirtualNode node : TransferNodes(forClipboard))
        NodeTransfer->WriteNode(tree_, node, chunks);
    return chunks;
}

void TTreeClipboard::MarkCutCopyNodes() {
    tree_.StopWorkerReads();
    for (PVirtualNode node : tree_.GetSortedSelection(false))
        if ((node->States & nsDisabled) == 0)
            node->States |= nsCutOrCopy;
}

void TTreeClipboard::CancelCutOrCopy() {
    if (!tree_.InState(TreeState::tsCopyPending) && !tree_.InState(TreeState::tsCutPending))
        return;
    tree_.StopWorkerReads();
    for (PVirtualNode node : tree_.GetSortedCutCopySet(false))
        node->States &= ~nsCutOrCopy;
    tree_.DoStateChange({}, {TreeState::tsCopyPending, TreeState::tsCutPending});
    tree_.Host().InvalidateAll();
}

void TTreeClipboard::FinishCutOrCopy() {
    if (!tree_.InState(TreeState::tsCutPending))
        return;
    {
        // Topmost nodes only: a marked node inside a deleted subtree goes with it.
        UpdateGuard update(tree_);
        for (PVirtualNode node : tree_.GetSortedCutCopySet(true))
            tree_.DeleteNode(node, true);
    }
    tree_.DoStateChange({}, {TreeState::tsCutPending});
}

void TTreeClipboard::EnterCutOrCopy(bool cut) {
    MarkCutCopyNodes();
    if (cut)
        tree_.DoStateChange({TreeState::tsCutPending}, {TreeState::tsCopyPending});
    else
        tree_.DoStateChange({TreeState::tsCopyPending});
    tree_.Host().InvalidateAll();
}

void TTreeClipboard::LeaveCutPending() {
    tree_.DoStateChange({}, {TreeState::tsCutPending});
}

namespace {

// The root takes nodes only as children.
TVTNodeAttachMode ModeAtRoot(TVTNodeAttachMode mode) {
    if (mode == TVTNodeAttachMode::amInsertBefore)
        return TVTNodeAttachMode::amAddChildFirst;
    if (mode == TVTNodeAttachMode::amInsertAfter)
        return TVTNodeAttachMode::amAddChildLast;
    return mode;
}

// Modes that put each node in front of the one before it; the nodes are taken in reverse for these.
bool ReversingMode(TVTNodeAttachMode mode) {
    return mode == TVTNodeAttachMode::amInsertAfter || mode == TVTNodeAttachMode::amAddChildFirst;
}

} // namespace

bool TTreeClipboard::InsertNodeChunks(const TBaseVirtualTree* source, std::span<const std::uint8_t> chunks,
                                      PVirtualNode target, TVTNodeAttachMode mode) {
    TBaseVirtualTree& tree = tree_;
    if (tree.Options.ReadOnly || mode == TVTNodeAttachMode::amNoWhere)
        return false;
    if (!chunks.empty() && NodeTransfer == nullptr)
        return false;
    UpdateGuard update(tree);
    tree.InterruptValidation();
    if (target == nullptr)
        target = tree.root_;
    if (target == tree.root_)
        mode = ModeAtRoot(mode);
    else if ((target->States & nsInitialized) == 0)
        tree.InitNode(target);
    const PVirtualNode published = tree.Published(target);
    const TChangeReason reason = source == &tree ? TChangeReason::crNodeCopied : TChangeReason::crNodeAdded;
    // The nodes keep their order: in the modes that would reverse it, each goes after the one before.
    PVirtualNode anchor = target;
    TVTNodeAttachMode anchorMode = mode;
    std::size_t offset = 0;
    while (offset < chunks.size()) {
        PVirtualNode node = tree.MakeNewNode();
        tree.ConnectNode(node, anchor, tree, anchorMode);
        std::size_t taken = 0;
        try {
            taken = NodeTransfer->ReadNode(tree, chunks.subspan(offset), node);
            if (taken == 0 || taken > chunks.size() - offset)
                throw EVirtualTreeError(2006, "Invalid or unknown chunk in stream.");
        } catch (...) {
            tree.DeleteNode(node, true);
            tree.InvalidateCache();
            throw;
        }
        offset += taken;
        if (!tree.DoNodeCopying(node, published)) {
            tree.DeleteNode(node, true);
            continue;
        }
        tree.DoNodeCopied(node);
        if (ReversingMode(mode)) {
            anchor = node;
            anchorMode = TVTNodeAttachMode::amInsertAfter;
        }
        tree.NotifyStructureChange(node, reason);
    }
    tree.InvalidateCache();
    return true;
}

bool TTreeClipboard::MoveNodesFrom(TBaseVirtualTree& source, PVirtualNode target, TVTNodeAttachMode mode) {
    std::vector<PVirtualNode> nodes = source.InState(TreeState::tsOLEDragging)
                                          ? source.Clipboard().DragSelection
                                          : source.GetSortedCutCopySet(true);
    if (target == nullptr)
        target = tree_.root_;
    const bool reverse = target == tree_.root_ ? ReversingMode(ModeAtRoot(mode)) : ReversingMode(mode);
    if (reverse)
        std::reverse(nodes.begin(), nodes.end());
    UpdateGuard update(tree_);
    for (PVirtualNode node : nodes) {
        if (TBaseVirtualTree::HasAsAncestor(target, node))
            continue;
        source.MoveTo(node, target, mode, false);
    }
    return true;
}

void TTreeClipboard::BeginOleDrag() {
    DragSelection = tree_.GetSortedSelection(true);
    movedDuringDrag_.clear();
    // Handed out so that the end of the drag can tell the nodes that still live.
    for (PVirtualNode node : DragSelection)
        tree_.HandOut(node);
    tree_.DoStateChange({TreeState::tsOLEDragging}, {TreeState::tsOLEDragPending, TreeState::tsClearPending});
}

void TTreeClipboard::NoteNodeMoved(PVirtualNode node) {
    if (std::find(DragSelection.begin(), DragSelection.end(), node) != DragSelection.end())
        movedDuringDrag_.push_back(node);
}

void TTreeClipboard::EndOleDrag(std::uint32_t effect, bool autoDelete) {
    ScopeExit leave([this] {
        DragSelection.clear();
        movedDuringDrag_.clear();
        tree_.DoStateChange({}, {TreeState::tsOLEDragging});
    });
    if ((effect & ~DropEffectScroll) != DropEffectMove || !autoDelete)
        return;
    UpdateGuard update(tree_);
    for (PVirtualNode node : DragSelection) {
        const bool moved =
            std::find(movedDuringDrag_.begin(), movedDuringDrag_.end(), node) != movedDuringDrag_.end();
        if (!moved && tree_.NodeFromHandle(reinterpret_cast<std::uintptr_t>(node)) == node)
            tree_.DeleteNode(node, true);
    }
}

} // namespace tarvola
