#include "explorer/VirtualExplorerTree.h"

#include "base/Numerics.h"
#include "tree/TreeGuards.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <vector>

namespace tarvola {

bool ShellExecuteEnabled = false;

namespace {

constexpr std::array<int, 42> kSpecialFolderCSIDLs{
    48, 29, 26, 10, 47, 30, 35, 25, 46, 31, 23, 22, 24, 45, 3, 33, 0,  16, 17, 6,  20,
    34, 1,  32, 28, 39, 19, 18, 5,  4,  27, 40, 38, 43, 2,  8, 9,  11, 7,  37, 21, 36,
};

WideString WithTrailingBackslash(WideString path) {
    if (!path.empty() && path.back() != u'\\')
        path.push_back(u'\\');
    return path;
}

bool IsDriveRoot(const WideString& name) {
    return name.size() == 3 && name[1] == u':' && name[2] == u'\\';
}

} // namespace

std::optional<int> RootFolderToCSIDL(TRootFolder folder) {
    const auto index = static_cast<std::size_t>(folder);
    if (index >= kSpecialFolderCSIDLs.size())
        return std::nullopt;
    return kSpecialFolderCSIDLs[index];
}

std::optional<TRootFolder> RootFolderFromByte(std::uint8_t value) {
    if (value > static_cast<std::uint8_t>(TRootFolder::rfCustomPIDL))
        return std::nullopt;
    return static_cast<TRootFolder>(value);
}

std::uint32_t EnumerationFlags(TFileObjects objects) {
    std::uint32_t flags = 0;
    if (objects.Has(TFileObject::foFolders))
        flags |= kEnumFolders;
    if (objects.Has(TFileObject::foNonFolders))
        flags |= kEnumNonFolders;
    if (objects.Has(TFileObject::foHidden))
        flags |= kEnumHidden;
    return flags;
}

TCustomVirtualExplorerTree::TCustomVirtualExplorerTree(IExplorerNamespace& shell, ITreeViewHost* host)
    : TCustomVirtualStringTree(host), shell_(shell), state_(shell.StateShell(), userDataClasses_),
      views_(shell.StateShell(), userDataClasses_) {
    dataOffset_ = AllocateInternalDataArea(sizeof(TNodeData*));
    ConnectHeader();
    SetDefaultNodeHeight(17);
    BeginRebuildSuspend();
    SetDefaultOptions();
    --rebuildSuspend_;
    root_ = ItemOfRoot(TRootFolder::rfDesktop);
}

TCustomVirtualExplorerTree::~TCustomVirtualExplorerTree() {
    // Every link naming this tree goes first, so that the partners forget it and no change of the
    // emptying below reaches them.
    VETChangeDispatch().UnRegisterChangeLink(ChangeLinkId(), ChangeLinkId(), TVETUnregisterMode::umEither);
    // Nodes are freed here, while this class's DoFreeNode still runs for them.
    try {
        SetWaitCursorSuppressed(true);
        cursorPort_ = nullptr;
        Clear();
    } catch (...) {
    }
    FreeNodeData(RootNode());
}

void TCustomVirtualExplorerTree::SetDefaultOptions() {
    TreeOptions().SetPaintOptions({TVTPaintOption::toShowButtons, TVTPaintOption::toShowTreeLines,
                                   TVTPaintOption::toUseBlendedImages, TVTPaintOption::toGhostedIfUnfocused});
    SetFolderOptions({TVETFolderOption::toFoldersExpandable});
    ShellOptions = {TVETShellOption::toRightAlignSizeColumn, TVETShellOption::toContextMenus};
    MiscOptions = {TVETMiscOption::toBrowseExecuteFolder, TVETMiscOption::toBrowseExecuteFolderShortcut,
                   TVETMiscOption::toBrowseExecuteZipFolder, TVETMiscOption::toExecuteOnDblClk};
    SetImageOptions({TVETImageOption::toImages, TVETImageOption::toMarkCutAndCopy});
    SyncOptions = {TVETSyncOption::toCollapseTargetFirst, TVETSyncOption::toExpandTarget,
                   TVETSyncOption::toSelectTarget};
}

// ---- node data

TCustomVirtualExplorerTree::TNodeData* TCustomVirtualExplorerTree::DataSlot(PVirtualNode node) const {
    TNodeData* data = nullptr;
    std::memcpy(&data, reinterpret_cast<const char*>(node) + dataOffset_, sizeof data);
    return data;
}

void TCustomVirtualExplorerTree::SetDataSlot(PVirtualNode node, TNodeData* data) {
    std::memcpy(reinterpret_cast<char*>(node) + dataOffset_, &data, sizeof data);
}

IExplorerItem* TCustomVirtualExplorerTree::NodeItem(PVirtualNode node) const {
    if (node == nullptr)
        return nullptr;
    TNodeData* data = DataSlot(node);
    return data == nullptr ? nullptr : data->Item.get();
}

void TCustomVirtualExplorerTree::SetNodeItem(PVirtualNode node, TExplorerItemPtr item) {
    TNodeData* slot = DataSlot(node);
    if (slot == nullptr) {
        slot = new TNodeData;
        SetDataSlot(node, slot);
    } else {
        ForgetLiveNode(node);
    }
    slot->Item = std::move(item);
    slot->IconDelivered = false;
    slot->IconIndex = -1;
    NoteLiveNode(node, slot->Item.get());
}

void TCustomVirtualExplorerTree::FreeNodeData(PVirtualNode node) {
    if (DataSlot(node) != nullptr) {
        ForgetLiveNode(node);
        ++childEdits_;
    }
    delete DataSlot(node);
    SetDataSlot(node, nullptr);
}

void TCustomVirtualExplorerTree::DoFreeNode(PVirtualNode node) {
    // A request still out for the node is withdrawn first, so that no result ever names a freed node.
    if (iconRequests_.erase(node) != 0 && iconPort_ != nullptr)
        iconPort_->WithdrawIcon(node);
    FreeNodeData(node);
    TCustomVirtualStringTree::DoFreeNode(node);
}

void TCustomVirtualExplorerTree::Clear() {
    if (iconPort_ != nullptr && !iconRequests_.empty())
        iconPort_->WithdrawAllIcons();
    iconRequests_.clear();
    ReleaseAllNodeData();
    TCustomVirtualStringTree::Clear();
}

void TCustomVirtualExplorerTree::ReleaseAllNodeData() {
    // The node data go before their nodes, in the order of their addresses: the nodes' order is the sort
    // order, unrelated to the order the items were made in, and freeing thousands of shell items in such
    // a scattered order costs Wine's heap about ten times as much as freeing them as they were allocated.
    std::vector<TNodeData*> data;
    for (PVirtualNode node = GetFirstNoInit(); node != nullptr; node = GetNextNoInit(node)) {
        if (TNodeData* slot = DataSlot(node)) {
            ForgetLiveNode(node);
            data.push_back(slot);
            SetDataSlot(node, nullptr);
        }
    }
    std::sort(data.begin(), data.end(), std::less<TNodeData*>());
    for (TNodeData* slot : data)
        delete slot;
}

// ---- options

void TCustomVirtualExplorerTree::SetFolderOptions(TVETFolderOptions value) {
    const TVETFolderOptions rebuilding{TVETFolderOption::toHideRootFolder,
                                       TVETFolderOption::toForceHideRecycleBin,
                                       TVETFolderOption::toForceShowMyDocuments};
    const bool rebuild = ((folderOptions_.Bits() ^ value.Bits()) & rebuilding.Bits()) != 0;
    folderOptions_ = value;
    if (rebuild)
        DoRebuildTree();
}

void TCustomVirtualExplorerTree::SetImageOptions(TVETImageOptions value) {
    const TVETImageOptions rebuilding{TVETImageOption::toImages, TVETImageOption::toLargeImages};
    const bool rebuild = ((imageOptions_.Bits() ^ value.Bits()) & rebuilding.Bits()) != 0;
    const bool threadedOff =
        imageOptions_.Has(TVETImageOption::toThreadedImages) && !value.Has(TVETImageOption::toThreadedImages);
    imageOptions_ = value;
    if (threadedOff) {
        if (iconPort_ != nullptr)
            iconPort_->WithdrawAllIcons();
        iconRequests_.clear();
    }
    if (rebuild)
        DoRebuildTree();
}

void TCustomVirtualExplorerTree::SetFileObjects(TFileObjects value) {
    if (value == fileObjects_)
        return;
    fileObjects_ = value;
    DoRebuildTree();
}

void TCustomVirtualExplorerTree::SetFileSizeFormat(TFileSizeFormat value) {
    if (value == fileSizeFormat_)
        return;
    fileSizeFormat_ = value;
    Host().InvalidateAll();
}

// ---- root and activation

void TCustomVirtualExplorerTree::SetActive(bool value) {
    active_ = value;
    if (value)
        DoRebuildTree();
    else
        Clear();
}

TExplorerItemPtr TCustomVirtualExplorerTree::ItemOfRoot(TRootFolder value) {
    switch (value) {
    case TRootFolder::rfCustom:
        if (customPath_.empty() || !shell_.DirectoryExists(customPath_))
            return nullptr;
        return shell_.ItemFromPath(customPath_);
    case TRootFolder::rfCustomPIDL:
        return customPIDL_ ? shell_.ItemFromPIDL(*customPIDL_) : nullptr;
    default:
        return shell_.SpecialFolder(*RootFolderToCSIDL(value));
    }
}

bool TCustomVirtualExplorerTree::DoRootChanging(TRootFolder newValue, IExplorerItem* newItem) {
    bool allow = true;
    if (OnRootChanging)
        OnRootChanging(*this, newValue, root_.get(), newItem, allow);
    return allow;
}

void TCustomVirtualExplorerTree::DoRootChange() {
    if (OnRootChange)
        OnRootChange(*this);
}

void TCustomVirtualExplorerTree::DoRootRebuild() {
    if (OnRootRebuild)
        OnRootRebuild(*this);
}

bool TCustomVirtualExplorerTree::ApplyRoot(TRootFolder value, TExplorerItemPtr item) {
    if (!DoRootChanging(value, item.get()))
        return false;
    BeginUpdate();
    {
        ScopeExit end([this] { EndUpdate(); });
        Clear();
        rootFolder_ = value;
        if (value != TRootFolder::rfCustom)
            customPath_.clear();
        if (value != TRootFolder::rfCustomPIDL)
            customPIDL_.reset();
        FreeNodeData(RootNode());
        root_ = std::move(item);
    }
    DoRebuildTree();
    // Shell columns are the root folder's own, with the layout stored for it.
    if (ColumnDetails == TColumnDetailType::cdShellColumns)
        RebuildShellHeader(root_.get());
    DoRootChange();
    return true;
}

void TCustomVirtualExplorerTree::SetRootFolder(TRootFolder value) {
    ApplyRoot(value, ItemOfRoot(value));
}

void TCustomVirtualExplorerTree::SetRootFolderCustomPath(const WideString& path) {
    if (path.empty())
        return;
    const WideString previousPath = customPath_;
    customPath_ = WithTrailingBackslash(path);
    // A path that names no folder roots the tree at nothing: an empty view, never the old root.
    if (!ApplyRoot(TRootFolder::rfCustom, ItemOfRoot(TRootFolder::rfCustom)))
        customPath_ = previousPath;
}

void TCustomVirtualExplorerTree::SetRootFolderCustomPIDL(const TItemIDList& pidl) {
    if (rootFolder_ == TRootFolder::rfCustomPIDL && customPIDL_ == pidl)
        return;
    std::optional<TItemIDList> previous = customPIDL_;
    customPIDL_ = pidl;
    if (!ApplyRoot(TRootFolder::rfCustomPIDL, ItemOfRoot(TRootFolder::rfCustomPIDL)))
        customPIDL_ = std::move(previous);
}

void TCustomVirtualExplorerTree::Reroot(const std::optional<TItemIDList>& customRoot,
                                        const WideString& customPath, std::uint8_t rootFolder) {
    bool applied = false;
    if (customRoot) {
        customPIDL_ = *customRoot;
        applied = ApplyRoot(TRootFolder::rfCustomPIDL, ItemOfRoot(TRootFolder::rfCustomPIDL));
    } else if (!customPath.empty()) {
        customPath_ = WithTrailingBackslash(customPath);
        applied = ApplyRoot(TRootFolder::rfCustom, ItemOfRoot(TRootFolder::rfCustom));
    } else if (const std::optional<TRootFolder> folder = RootFolderFromByte(rootFolder);
               folder && *folder != TRootFolder::rfCustom && *folder != TRootFolder::rfCustomPIDL) {
        applied = ApplyRoot(*folder, ItemOfRoot(*folder));
    }
    // Even without a new root the tree is read again, so that it shows what the folders hold now.
    if (!applied)
        DoRebuildTree();
}

void TCustomVirtualExplorerTree::EndRebuildSuspend() {
    if (rebuildSuspend_ > 0 && --rebuildSuspend_ == 0)
        DoRebuildTree();
}

PVirtualNode TCustomVirtualExplorerTree::StartNode() {
    if (folderOptions_.Has(TVETFolderOption::toHideRootFolder))
        return RootNode();
    return RootNode()->FirstChild;
}

void TCustomVirtualExplorerTree::DoRebuildTree() {
    if (rebuildSuspend_ > 0 || !active_)
        return;
    // A custom folder that was missing may exist by now.
    if (root_ == nullptr && rootFolder_ == TRootFolder::rfCustom)
        root_ = ItemOfRoot(TRootFolder::rfCustom);
    BeginUpdate();
    {
        ScopeExit end([this] { EndUpdate(); });
        Clear();
        FreeNodeData(RootNode());
        if (root_ != nullptr) {
            if (folderOptions_.Has(TVETFolderOption::toHideRootFolder)) {
                SetNodeItem(RootNode(), root_->Clone());
                EnumerateNodeChildren(RootNode());
            } else {
                SetRootNodeCount(1);
            }
        }
    }
    SetFocusedNode(GetFirst());
    DoRootRebuild();
    DispatchChangeLink();
}

// ---- enumeration

bool TCustomVirtualExplorerTree::MayEnumerate(PVirtualNode node) {
    if (node == RootNode() || folderOptions_.Has(TVETFolderOption::toFoldersExpandable))
        return true;
    return node == RootNode()->FirstChild;
}

void TCustomVirtualExplorerTree::DoEnumFolder(IExplorerItem& item, bool& allowAsChild) {
    if (OnEnumFolder)
        OnEnumFolder(*this, item, allowAsChild);
}

void TCustomVirtualExplorerTree::AddMyDocuments(PVirtualNode parent) {
    IExplorerItem* parentItem = NodeItem(parent);
    if (parentItem == nullptr || !parentItem->AbsolutePIDL().IsDesktop() || !parentItem->Folder())
        return;
    TExplorerItemPtr myDocuments = shell_.ItemFromPath(u"::{450d8fba-ad25-11d0-98a8-0800361b1103}");
    if (myDocuments == nullptr)
        return;
    for (PVirtualNode child = parent->FirstChild; child != nullptr; child = child->NextSibling) {
        IExplorerItem* item = NodeItem(child);
        if (item != nullptr && shell_.SameItem(item->AbsolutePIDL(), myDocuments->AbsolutePIDL()))
            return;
    }
    AddCustomNode(parent, std::move(myDocuments),
                  TreeOptions().MiscOptions().Has(TVTMiscOption::toCheckSupport));
}

void TCustomVirtualExplorerTree::DoCustomNamespace(PVirtualNode parent) {
    if (folderOptions_.Has(TVETFolderOption::toForceShowMyDocuments))
        AddMyDocuments(parent);
    if (OnCustomNamespace)
        OnCustomNamespace(*this, Published(parent));
}

bool TCustomVirtualExplorerTree::AcceptsEnumeratedChild(IExplorerItem& child) {
    if (folderOptions_.Has(TVETFolderOption::toForceHideRecycleBin) && child.IsRecycleBin())
        return false;
    bool allow = true;
    DoEnumFolder(child, allow);
    return allow;
}

void TCustomVirtualExplorerTree::AddEnumeratedChildren(PVirtualNode node,
                                                       std::vector<TExplorerItemPtr> listed) {
    std::vector<TExplorerItemPtr> accepted;
    accepted.reserve(listed.size());
    for (TExplorerItemPtr& child : listed)
        if (AcceptsEnumeratedChild(*child))
            accepted.push_back(std::move(child));
    if (accepted.empty() || Options.ReadOnly)
        return;
    // Linked in one go: a node appended on its own costs a stop of the position cache's worker and a
    // walk of the tree's bookkeeping each, which for a folder of many thousand files outweighs the
    // listing itself.
    CancelEditNode();
    if ((node->States & nsInitialized) == 0)
        InitNode(node);
    const PVirtualNode lastBefore = node->LastChild;
    SetChildCount(node, CheckedAdd(node->ChildCount, CheckedCast<std::uint32_t>(accepted.size())));
    PVirtualNode added = lastBefore != nullptr ? lastBefore->NextSibling : node->FirstChild;
    liveNodes_.reserve(liveNodes_.size() + accepted.size());
    for (TExplorerItemPtr& child : accepted) {
        if (added == nullptr)
            break;
        SetNodeItem(added, std::move(child));
        added = added->NextSibling;
    }
}

bool TCustomVirtualExplorerTree::ChildrenInOrder(PVirtualNode node, TColumnIndex column,
                                                 TSortDirection direction) {
    if (node->FirstChild == nullptr)
        return true;
    for (PVirtualNode child = node->FirstChild; child->NextSibling != nullptr; child = child->NextSibling) {
        const int order = DoCompareNodes(child, child->NextSibling, column);
        if (direction == TSortDirection::sdAscending ? order > 0 : order < 0)
            return false;
    }
    return true;
}

int TCustomVirtualExplorerTree::EnumerateNodeChildren(PVirtualNode node) {
    IExplorerItem* item = NodeItem(node);
    if (item == nullptr || !MayEnumerate(node))
        return 0;
    if (const WideString name = item->NameParseAddressInFolder();
        IsDriveRoot(name) && !shell_.DiskInDrive(name[0])) {
        // A drive without a medium loses its button instead of raising the system's error box.
        BeginUpdate();
        SetHasChildren(node, false);
        EndUpdate();
        if (node != RootNode())
            InvalidateNode(node);
        return 0;
    }
    SetWaitCursor(true);
    ScopeExit cursor([this] { SetWaitCursor(false); });
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    if (node->ChildCount == 0) {
        // Begun first: whatever changes while the folder is read shows in the watch.
        TListingWatchPtr watch = item->WatchListing();
        TFolderEnumeration listing = item->Enumerate(EnumerationFlags(fileObjects_));
        AddEnumeratedChildren(node, std::move(listing.Children));
        const std::uint64_t editsBefore = childEdits_;
        DoCustomNamespace(node);
        // A shell commonly lists a folder in the order it sorts it in: one comparison per neighbour pair
        // then settles it, where the sort asks about half of n log n. A sort keeps equal nodes in their
        // listed order, so a listing found in order is what it would leave.
        if (node->ChildCount > 0 && !ChildrenInOrder(node, SortColumn, SortDirection))
            Sort(node, SortColumn, SortDirection, false);
        // Nodes added beside the listing are the merge's to settle on the next refresh.
        if (childEdits_ == editsBefore)
            KeepListingWatch(node, std::move(watch));
    }
    return static_cast<int>(node->ChildCount);
}

PVirtualNode TCustomVirtualExplorerTree::AddCustomNode(PVirtualNode parent, TExplorerItemPtr item,
                                                       bool setCheck) {
    const PVirtualNode node = AddChild(parent);
    if (node == nullptr)
        return nullptr;
    SetNodeItem(node, std::move(item));
    ++childEdits_;
    if (setCheck) {
        SetCheckType(node, TCheckType::ctTriStateCheckBox);
        SetCheckState(node, TCheckState::csUncheckedNormal);
    }
    DoNamespaceStructureChange(node, NodeItem(node), TNamespaceStructureChange::nscAdd);
    return node;
}

void TCustomVirtualExplorerTree::DoNamespaceStructureChange(PVirtualNode node, IExplorerItem* item,
                                                            TNamespaceStructureChange change) {
    if (OnNamespaceStructureChange)
        OnNamespaceStructureChange(*this, Published(node), item, change);
}

// ---- node life

bool TCustomVirtualExplorerTree::ItemHasChildren(IExplorerItem& item, PVirtualNode parent) {
    const bool hideRoot = folderOptions_.Has(TVETFolderOption::toHideRootFolder);
    const bool expandable =
        folderOptions_.Has(TVETFolderOption::toFoldersExpandable) || (parent == RootNode() && !hideRoot);
    if (!expandable)
        return false;
    if (item.IsRecycleBin() || item.HasSubFolder())
        return true;
    const std::uint32_t flags = EnumerationFlags(fileObjects_);
    if (fileObjects_.Has(TFileObject::foFolders) && item.HasChildrenOfKind(flags & ~kEnumNonFolders))
        return true;
    return fileObjects_.Has(TFileObject::foNonFolders) && item.HasChildrenOfKind(flags);
}

void TCustomVirtualExplorerTree::DoInitNode(PVirtualNode parent, PVirtualNode node,
                                            TVirtualNodeInitStates& initStates) {
    if (parent == RootNode() && RootNodeCount() < 2 &&
        !folderOptions_.Has(TVETFolderOption::toHideRootFolder)) {
        // The single top-level node is the root folder itself, shown open. An item it has already stays:
        // the items of its children refer to it.
        if (NodeItem(node) == nullptr)
            SetNodeItem(node, root_ != nullptr ? root_->Clone() : shell_.SpecialFolder(0));
        initStates |= insExpanded;
    }
    if (IExplorerItem* item = NodeItem(node); item != nullptr && ItemHasChildren(*item, parent))
        initStates |= insHasChildren;
    TCustomVirtualStringTree::DoInitNode(parent, node, initStates);
    if (TreeOptions().MiscOptions().Has(TVTMiscOption::toCheckSupport))
        InitCheckState(parent, node);
}

void TCustomVirtualExplorerTree::InitCheckState(PVirtualNode parent, PVirtualNode node) {
    IExplorerItem* item = NodeItem(node);
    if (item == nullptr)
        return;
    const bool tracking = TreeOptions().AutoOptions().Has(TVTAutoOption::toAutoTristateTracking);
    const bool belowTop = parent != RootNode() && parent->Parent != RootNode();
    if (tracking && belowTop && CheckState(parent) == TCheckState::csCheckedNormal) {
        // A child of a checked folder is checked too, and remembered so. States read at initialisation are
        // written directly: they are not the user's changes and must not spread further.
        node->CheckState = static_cast<std::uint8_t>(TCheckState::csCheckedNormal);
        TNodeStorage* storage = state_.Storage.ProvideStorage(item->AbsolutePIDL(), kStoreCheck);
        storage->CheckState = static_cast<std::uint8_t>(TCheckState::csCheckedNormal);
        storage->CheckType = static_cast<std::uint8_t>(CheckType(node));
        return;
    }
    const TNodeStorage* storage = state_.Storage.FindStorageWithFlags(item->AbsolutePIDL(), kStoreCheck);
    if (storage == nullptr)
        return;
    node->CheckType = storage->CheckType;
    node->CheckState = storage->CheckState;
    if (tracking && parent != RootNode() && CheckState(parent) == TCheckState::csUncheckedNormal) {
        for (PVirtualNode ancestor = parent; ancestor != RootNode(); ancestor = ancestor->Parent)
            ancestor->CheckState = static_cast<std::uint8_t>(TCheckState::csMixedNormal);
    }
}

void TCustomVirtualExplorerTree::DoChecked(PVirtualNode node) {
    if (IExplorerItem* item = NodeItem(node)) {
        if (CheckState(node) != TCheckState::csUncheckedNormal) {
            TNodeStorage* storage = state_.Storage.ProvideStorage(item->AbsolutePIDL(), kStoreCheck);
            storage->CheckState = static_cast<std::uint8_t>(CheckState(node));
            storage->CheckType = static_cast<std::uint8_t>(CheckType(node));
        } else {
            state_.Storage.RemoveStorageFlags(item->AbsolutePIDL(), kStoreCheck, false, false);
        }
    }
    TCustomVirtualStringTree::DoChecked(node);
}

std::uint32_t TCustomVirtualExplorerTree::DoInitChildren(PVirtualNode node, std::uint32_t childCount) {
    (void)childCount; // the enumeration decides
    const int count = EnumerateNodeChildren(node);
    return TCustomVirtualStringTree::DoInitChildren(node, count < 0 ? 0u : static_cast<std::uint32_t>(count));
}

bool TCustomVirtualExplorerTree::DoCollapsing(PVirtualNode node) {
    if (!TCustomVirtualStringTree::DoCollapsing(node))
        return false;
    // The selection must not vanish into a closed folder: the folder takes it.
    const PVirtualNode selected = GetFirstSelected();
    if (selected != nullptr && HasAsAncestor(selected, node)) {
        SetFocusedNode(nullptr);
        ClearSelection();
        SetSelected(node, true);
        SetFocusedNode(node);
    }
    return true;
}

void TCustomVirtualExplorerTree::DoCollapsed(PVirtualNode node) {
    TCustomVirtualStringTree::DoCollapsed(node);
    if (imageOptions_.Has(TVETImageOption::toThreadedImages) && !browsing_) {
        if (iconPort_ != nullptr && !iconRequests_.empty())
            iconPort_->WithdrawAllIcons();
        iconRequests_.clear();
    }
}

void TCustomVirtualExplorerTree::DoUpdating(TVTUpdateState state) {
    TCustomVirtualStringTree::DoUpdating(state);
    if (state == TVTUpdateState::usBegin) {
        SetWaitCursor(true);
        BeginChangeLinkSuspend();
    } else if (state == TVTUpdateState::usEnd) {
        SetWaitCursor(false);
        EndChangeLinkSuspend();
    }
}

void TCustomVirtualExplorerTree::SaveToStream(TStream&, PVirtualNode) {
    throw EVirtualTreeAssertion("SaveToStream is not supported in VET. Use the ViewManager Property");
}

void TCustomVirtualExplorerTree::LoadFromStream(TStream&) {
    throw EVirtualTreeAssertion("LoadFromStream is not supported in VET. Use the ViewManager Property");
}

} // namespace tarvola
