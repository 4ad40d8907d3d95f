// The explorer tree's side of the change links: dispatching what it shows, suspending that while it
// updates, and following a partner it is linked to.
#include "explorer/VirtualExplorerTree.h"

#include "tree/TreeGuards.h"

namespace tarvola {

void TCustomVirtualExplorerTree::DoChange(PVirtualNode node) {
    TCustomVirtualStringTree::DoChange(node);
    // A right click that selects for the shell's menu is not a change to follow.
    if (!ContextMenuManager().NodeMenuPending)
        DispatchChangeLink();
}

void TCustomVirtualExplorerTree::DispatchChangeLink() {
    if (changeLinkSuspended_ || IsRubberBandActive())
        return;
    PVirtualNode node = GetFirstSelected();
    if (node == nullptr)
        node = FocusedNode();
    if (IExplorerItem* item = NodeItem(node))
        VETChangeDispatch().DispatchChange(ChangeLinkId(), item->AbsolutePIDL());
}

void TCustomVirtualExplorerTree::BeginChangeLinkSuspend() {
    changeLinkSuspended_ = true;
    ++changeLinkSuspendCount_;
}

void TCustomVirtualExplorerTree::EndChangeLinkSuspend() {
    changeLinkSuspended_ = false;
    if (changeLinkSuspendCount_ > 0) {
        changeLinkSuspendCount_ = 0;
        DispatchChangeLink();
    }
}

IExplorerItem* TCustomVirtualExplorerTree::ChangeLinkOwnItem() {
    return NodeItem(GetFirstSelected());
}

void TCustomVirtualExplorerTree::ChangeLinkChangeProc(const void* server, const TItemIDList& pidl) {
    (void)server; // every server is followed the same way
    if (inSync_)
        return;
    inSync_ = true;
    ScopeExit synced([this] { inSync_ = false; });
    IExplorerItem* own = ChangeLinkOwnItem();
    if (own != nullptr && shell_.SameItem(own->AbsolutePIDL(), pidl))
        return;
    BrowseToPIDL(pidl, SyncOptions.Has(TVETSyncOption::toExpandTarget),
                 SyncOptions.Has(TVETSyncOption::toSelectTarget), false,
                 SyncOptions.Has(TVETSyncOption::toCollapseTargetFirst), true);
}

void TCustomVirtualExplorerTree::ChangeLinkFreeProc(IVETChangeLink&) {}

void TCustomVirtualExplorerTree::RelinkChangeLink(const void* oldPartner, const void* newPartner) {
    TVETChangeDispatch& dispatch = VETChangeDispatch();
    if (oldPartner != nullptr)
        dispatch.UnRegisterChangeLink(oldPartner, ChangeLinkId(), TVETUnregisterMode::umBoth);
    if (newPartner != nullptr)
        dispatch.RegisterChangeLink(
            newPartner, ChangeLinkId(),
            [this](const void* server, const TItemIDList& pidl) { ChangeLinkChangeProc(server, pidl); },
            [this](IVETChangeLink& link) { ChangeLinkFreeProc(link); });
}

// ---- the published tree

TVirtualExplorerTree::~TVirtualExplorerTree() {
    // Released while this class still clears its own link property.
    VETChangeDispatch().UnRegisterChangeLink(ChangeLinkId(), ChangeLinkId(), TVETUnregisterMode::umEither);
}

void TVirtualExplorerTree::SetVirtualExplorerTree(TCustomVirtualExplorerTree* tree) {
    if (tree == virtualExplorerTree_)
        return;
    RelinkChangeLink(virtualExplorerTree_ != nullptr ? virtualExplorerTree_->ChangeLinkId() : nullptr,
                     nullptr);
    virtualExplorerTree_ = tree;
    RelinkChangeLink(nullptr, tree != nullptr ? tree->ChangeLinkId() : nullptr);
}

void TVirtualExplorerTree::ChangeLinkFreeProc(IVETChangeLink& link) {
    if (link.Client() != ChangeLinkId())
        return;
    if (virtualExplorerTree_ != nullptr && link.Server() == virtualExplorerTree_->ChangeLinkId())
        virtualExplorerTree_ = nullptr;
    TCustomVirtualExplorerTree::ChangeLinkFreeProc(link);
}

} // namespace tarvola
