#include "explorer/VirtualExplorerTreeview.h"

namespace tarvola {

TVirtualExplorerTreeview::TVirtualExplorerTreeview(IExplorerNamespace& shell, ITreeViewHost* host)
    : TVirtualExplorerViews(shell, host) {
    // The base constructor set the tree's own defaults; these replace them before anything is shown.
    BeginRebuildSuspend();
    SetDefaultOptions();
    EndRebuildSuspend();
}

TVirtualExplorerTreeview::~TVirtualExplorerTreeview() {
    // Released while this class still clears its own link property.
    VETChangeDispatch().UnRegisterChangeLink(ChangeLinkId(), ChangeLinkId(), TVETUnregisterMode::umEither);
}

void TVirtualExplorerTreeview::SetDefaultOptions() {
    TreeOptions().SetAutoOptions({TVTAutoOption::toAutoScroll});
    TreeOptions().SetMiscOptions(
        {TVTMiscOption::toAcceptOLEDrop, TVTMiscOption::toEditable, TVTMiscOption::toToggleOnDblClick});
    TreeOptions().SetPaintOptions({TVTPaintOption::toShowButtons, TVTPaintOption::toShowTreeLines,
                                   TVTPaintOption::toUseBlendedImages, TVTPaintOption::toGhostedIfUnfocused});
    TreeOptions().SetSelectionOptions(
        {TVTSelectionOption::toMultiSelect, TVTSelectionOption::toSiblingSelectConstraint});
    SetFolderOptions({TVETFolderOption::toFoldersExpandable});
    SetImageOptions(
        {TVETImageOption::toImages, TVETImageOption::toThreadedImages, TVETImageOption::toMarkCutAndCopy});
    ShellOptions = {TVETShellOption::toContextMenus};
    MiscOptions = {TVETMiscOption::toBrowseExecuteFolder, TVETMiscOption::toBrowseExecuteFolderShortcut,
                   TVETMiscOption::toBrowseExecuteZipFolder, TVETMiscOption::toChangeNotifierThread,
                   TVETMiscOption::toRemoveContextMenuShortCut};
    SyncOptions = {TVETSyncOption::toCollapseTargetFirst, TVETSyncOption::toExpandTarget,
                   TVETSyncOption::toSelectTarget};
    SetFileObjects({TFileObject::foFolders, TFileObject::foHidden});
}

void TVirtualExplorerTreeview::SetVirtualExplorerListview(TCustomVirtualExplorerTree* listview) {
    if (listview == listview_)
        return;
    RelinkChangeLink(listview_ != nullptr ? listview_->ChangeLinkId() : nullptr, nullptr);
    listview_ = listview;
    RelinkChangeLink(nullptr, listview != nullptr ? listview->ChangeLinkId() : nullptr);
}

void TVirtualExplorerTreeview::ChangeLinkFreeProc(IVETChangeLink& link) {
    TVirtualExplorerViews::ChangeLinkFreeProc(link);
    if (link.Client() == ChangeLinkId() && listview_ != nullptr && link.Server() == listview_->ChangeLinkId())
        listview_ = nullptr;
}

} // namespace tarvola
