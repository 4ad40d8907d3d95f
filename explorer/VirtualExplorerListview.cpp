#include "explorer/VirtualExplorerListview.h"

#include "shell/VirtualUtilities.h"
#include "tree/TreeGuards.h"
#include "tree/TreeKeyboard.h"

namespace tarvola {

namespace {

constexpr std::uint16_t kEnterKey = 0x0D;
constexpr std::uint16_t kKeyV = 0x56;

} // namespace

TCustomVirtualExplorerListview::TCustomVirtualExplorerListview(IExplorerNamespace& shell, ITreeViewHost* host)
    : TCustomVirtualExplorerTree(shell, host) {
    // The base constructor set the tree's defaults: a list has its own.
    BeginRebuildSuspend();
    SetDefaultOptions();
    EndRebuildSuspend();
}

TCustomVirtualExplorerListview::~TCustomVirtualExplorerListview() {
    // Released while this class still clears its own link property.
    VETChangeDispatch().UnRegisterChangeLink(ChangeLinkId(), ChangeLinkId(), TVETUnregisterMode::umEither);
}

void TCustomVirtualExplorerListview::SetDefaultOptions() {
    TCustomVirtualExplorerTree::SetDefaultOptions();
    TreeOptions().SetAutoOptions({TVTAutoOption::toAutoScroll});
    TreeOptions().SetMiscOptions({TVTMiscOption::toAcceptOLEDrop, TVTMiscOption::toEditable,
                                  TVTMiscOption::toReportMode, TVTMiscOption::toToggleOnDblClick});
    TreeOptions().SetPaintOptions({TVTPaintOption::toShowTreeLines, TVTPaintOption::toUseBlendedImages,
                                   TVTPaintOption::toGhostedIfUnfocused});
    TreeOptions().SetSelectionOptions({TVTSelectionOption::toMultiSelect,
                                       TVTSelectionOption::toRightClickSelect,
                                       TVTSelectionOption::toSiblingSelectConstraint});
    SetFolderOptions({TVETFolderOption::toHideRootFolder});
    SetImageOptions(
        {TVETImageOption::toImages, TVETImageOption::toThreadedImages, TVETImageOption::toMarkCutAndCopy});
    ShellOptions = {TVETShellOption::toRightAlignSizeColumn, TVETShellOption::toContextMenus,
                    TVETShellOption::toShellColumnMenu};
    MiscOptions = {TVETMiscOption::toBrowseExecuteFolder, TVETMiscOption::toBrowseExecuteFolderShortcut,
                   TVETMiscOption::toBrowseExecuteZipFolder, TVETMiscOption::toChangeNotifierThread,
                   TVETMiscOption::toExecuteOnDblClk};
    SyncOptions = {TVETSyncOption::toCollapseTargetFirst, TVETSyncOption::toExpandTarget,
                   TVETSyncOption::toSelectTarget};
    SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders, TFileObject::foHidden});
    ColumnDetails = TColumnDetailType::cdShellColumns;
}

// ---- roots and the browse limit

std::optional<TItemIDList> TCustomVirtualExplorerListview::RootPIDL() const {
    IExplorerItem* root = RootItem();
    return root != nullptr ? std::optional<TItemIDList>(root->AbsolutePIDL()) : std::nullopt;
}

void TCustomVirtualExplorerListview::SetRootFolderCustomPath(const WideString& path) {
    TCustomVirtualExplorerTree::SetRootFolderCustomPath(path);
    if (RootFolder() == TRootFolder::rfCustom && RootItem() != nullptr)
        hostRoot_ = RootPIDL();
}

void TCustomVirtualExplorerListview::SetRootFolderCustomPIDL(const TItemIDList& pidl) {
    TCustomVirtualExplorerTree::SetRootFolderCustomPIDL(pidl);
    if (RootFolder() == TRootFolder::rfCustomPIDL && RootItem() != nullptr)
        hostRoot_ = RootPIDL();
}

void TCustomVirtualExplorerListview::SetBrowseLimitPath(const WideString& path) {
    if (path.empty()) {
        namedLimit_.reset();
        return;
    }
    const TExplorerItemPtr item = Shell().ItemFromPath(path);
    namedLimit_ = item != nullptr ? std::optional<TItemIDList>(item->AbsolutePIDL()) : std::nullopt;
}

std::optional<TItemIDList> TCustomVirtualExplorerListview::BrowseLimit() const {
    if (!MiscOptions.Has(TVETMiscOption::toListviewLimitBrowseToRoot))
        return std::nullopt;
    if (namedLimit_)
        return namedLimit_;
    // A folder tree the list follows bounds it by its own root; one without a root bounds nothing.
    if (treeview_ != nullptr) {
        IExplorerItem* root = treeview_->RootItem();
        return root != nullptr ? std::optional<TItemIDList>(root->AbsolutePIDL()) : std::nullopt;
    }
    return hostRoot_;
}

bool TCustomVirtualExplorerListview::CanBrowseToPIDL(const TItemIDList& pidl) {
    const std::optional<TItemIDList> limit = BrowseLimit();
    if (!limit)
        return true;
    // Each level of the target is compared with the limit through the shell, never by bytes: a folder's ID
    // may carry its times, and the limit's was taken before anything was made inside it.
    for (TItemIDList level = pidl; level.Count() >= limit->Count(); level = level.Parent()) {
        if (Shell().SameItem(*limit, level))
            return true;
        if (level.IsDesktop())
            break;
    }
    return false;
}

// ---- browsing

bool TCustomVirtualExplorerListview::BrowseToPIDL(const TItemIDList& pidl, bool, bool selectTarget, bool,
                                                  bool, bool expandPath) {
    if (!CanBrowseToPIDL(pidl))
        return false;
    const TExplorerItemPtr item = Shell().ItemFromPIDL(pidl);
    if (item == nullptr)
        return false;
    const bool folder = item->Folder();
    const TItemIDList target = folder ? pidl : pidl.Parent();
    TCustomVirtualExplorerTree::SetRootFolderCustomPIDL(target);
    const bool rooted = RootFolder() == TRootFolder::rfCustomPIDL && RootFolderCustomPIDL() == target;
    if (!rooted)
        return false;
    if (!folder && selectTarget)
        FindNodeByPIDL(pidl, true, expandPath, false, false);
    return true;
}

bool TCustomVirtualExplorerListview::BrowseToParent() {
    const std::optional<TItemIDList> root = RootPIDL();
    if (!root || root->IsDesktop())
        return false;
    return BrowseToPIDL(root->Parent(), false, true, false, false, false);
}

bool TCustomVirtualExplorerListview::BrowseExecute(PVirtualNode node) {
    IExplorerItem* item = NodeItem(node);
    if (item == nullptr || !MiscOptions.Has(TVETMiscOption::toBrowseExecuteFolder) || !item->Folder())
        return false;
    // Only the exact ".zip" needs the option; other spellings are browsed like any folder.
    const bool zip = WideExtractFileExt(item->NameParseAddressInFolder()) == u".zip";
    if (zip && !MiscOptions.Has(TVETMiscOption::toBrowseExecuteZipFolder))
        return false;
    // Browsing frees the node: take the list first.
    const TItemIDList pidl = item->AbsolutePIDL();
    return BrowseToPIDL(pidl, false, true, false, false, false);
}

void TCustomVirtualExplorerListview::DoShellExecute(PVirtualNode node) {
    if (!BrowseExecute(node))
        TCustomVirtualExplorerTree::DoShellExecute(node);
}

bool TCustomVirtualExplorerListview::PasteFromClipboard() {
    IExplorerItem* root = NodeItem(RootNode());
    if (MiscOptions.Has(TVETMiscOption::toVETReadOnly) || root == nullptr || ShellPort() == nullptr)
        return false;
    return ShellPort()->Paste(*root, {root});
}

void TCustomVirtualExplorerListview::RefreshNodeChildren(PVirtualNode node) {
    if (node == RootNode())
        TCustomVirtualExplorerTree::RefreshNodeChildren(node);
}

bool TCustomVirtualExplorerListview::DoKeyAction(std::uint16_t& charCode, TKeyModifiers& shift) {
    switch (charCode) {
    case vkey::Back:
        BrowseToParent();
        return false;
    case kEnterKey:
        if (SelectedCount() == 1) {
            // The folder tree may show the folder about to change: it reads it again first.
            if (treeview_ != nullptr && treeview_->FocusedNode() != nullptr)
                treeview_->ReenumerateNode(treeview_->FocusedNode());
            const bool result = TCustomVirtualExplorerTree::DoKeyAction(charCode, shift);
            DoShellExecute(GetFirstSelected());
            return result;
        }
        break;
    case kKeyV:
        if ((shift & keymod::Ctrl) != 0) {
            SetWaitCursor(true);
            ScopeExit cursor([this] { SetWaitCursor(false); });
            PasteFromClipboard();
            return false;
        }
        break;
    default:
        break;
    }
    return TCustomVirtualExplorerTree::DoKeyAction(charCode, shift);
}

int TCustomVirtualExplorerListview::DoGetImageIndex(PVirtualNode node, TVTImageKind kind, TColumnIndex column,
                                                    bool& ghosted, int imageIndex) {
    // A selected folder never shows the open folder.
    if (kind == TVTImageKind::ikSelected)
        kind = TVTImageKind::ikNormal;
    return TCustomVirtualExplorerTree::DoGetImageIndex(node, kind, column, ghosted, imageIndex);
}

void TCustomVirtualExplorerListview::DoRebuildTree() {
    ++rebuildCount_;
    TCustomVirtualExplorerTree::DoRebuildTree();
}

// ---- change links

void TCustomVirtualExplorerListview::SetVirtualExplorerTreeview(TVirtualExplorerTreeview* treeview) {
    if (treeview == treeview_)
        return;
    RelinkChangeLink(treeview_ != nullptr ? treeview_->ChangeLinkId() : nullptr, nullptr);
    treeview_ = treeview;
    RelinkChangeLink(nullptr, treeview != nullptr ? treeview->ChangeLinkId() : nullptr);
}

void TCustomVirtualExplorerListview::DispatchChangeLink() {
    if (IExplorerItem* root = ChangeLinkOwnItem())
        VETChangeDispatch().DispatchChange(ChangeLinkId(), root->AbsolutePIDL());
}

IExplorerItem* TCustomVirtualExplorerListview::ChangeLinkOwnItem() {
    return NodeItem(RootNode());
}

void TCustomVirtualExplorerListview::ChangeLinkFreeProc(IVETChangeLink& link) {
    TCustomVirtualExplorerTree::ChangeLinkFreeProc(link);
    if (link.Client() == ChangeLinkId() && treeview_ != nullptr && link.Server() == treeview_->ChangeLinkId())
        treeview_ = nullptr;
}

} // namespace tarvola
