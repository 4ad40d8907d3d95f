#include "explorer/VirtualExplorerListviewEx.h"

#include "tree/TreeGuards.h"

namespace tarvola {

class TCustomVirtualExplorerListviewEx::TUpdating {
public:
    explicit TUpdating(TCustomVirtualExplorerListviewEx& list) : list_(list) { ++list_.updating_; }
    ~TUpdating() { --list_.updating_; }
    TUpdating(const TUpdating&) = delete;
    TUpdating& operator=(const TUpdating&) = delete;

private:
    TCustomVirtualExplorerListviewEx& list_;
};

std::unique_ptr<TBaseVirtualTree> MakeExplorerListviewEx(IExplorerNamespace& shell, ITreeViewHost* host) {
    return std::make_unique<TVirtualExplorerListviewExCore>(shell, host);
}

TCustomVirtualExplorerListviewEx::TCustomVirtualExplorerListviewEx(IExplorerNamespace& shell,
                                                                   ITreeViewHost* host)
    : TCustomVirtualExplorerListview(shell, host) {
    FillExtensionsLists(true);
}

TCustomVirtualExplorerListviewEx::~TCustomVirtualExplorerListviewEx() {
    // The nodes go with the base destructor; nothing may reach the native list meanwhile.
    port_ = nullptr;
    indexCache_ = nullptr;
}

// ---- styles

bool TCustomVirtualExplorerListviewEx::ShadowShown() const {
    return port_ != nullptr && !ReportStyle() && port_->ShadowHasWindow();
}

void TCustomVirtualExplorerListviewEx::SetShadowPort(IShadowListPort* port) {
    port_ = port;
    if (!ShadowShown())
        return;
    port_->ShadowApplyStyle(viewStyle_);
    SyncItemCount();
    SyncSelection(true);
    port_->ShadowUpdateColumnWidth();
}

void TCustomVirtualExplorerListviewEx::SetViewStyle(TViewStyleEx style) {
    if (style == viewStyle_)
        return;
    const bool wasReport = ReportStyle();
    viewStyle_ = style;
    if (port_ == nullptr || !port_->ShadowHasWindow())
        return;
    // A list that takes a style laid out by captions measures them all at once.
    PrepareItemCaptions();
    if (wasReport && !ReportStyle()) {
        port_->ShadowApplyStyle(style);
        SyncItemCount();
        SyncSelection(true);
    } else if (!wasReport && ReportStyle()) {
        // The tree takes over: it gets what the list had selected.
        SyncSelection(false);
        return;
    } else {
        // Between two list styles the native list keeps its items, selection and focus.
        port_->ShadowApplyStyle(style);
    }
    if (style != TViewStyleEx::vsxThumbs)
        port_->ShadowUpdateColumnWidth();
}

// ---- item count and the index cache

int TCustomVirtualExplorerListviewEx::ItemCount() const {
    return static_cast<int>(RootNode()->ChildCount);
}

void TCustomVirtualExplorerListviewEx::SyncItemCount() {
    if (port_ == nullptr || !port_->ShadowHasWindow())
        return;
    // The native list measures every caption once it has the count.
    PrepareItemCaptions();
    port_->ShadowSetItemCount(ItemCount());
}

PVirtualNode TCustomVirtualExplorerListviewEx::GetNodeByIndex(int index) {
    const PVirtualNode parent = RootNode();
    if (index < 0 || static_cast<std::uint32_t>(index) >= parent->ChildCount)
        return nullptr;
    const auto wanted = static_cast<std::uint32_t>(index);
    PVirtualNode node = nullptr;
    if (indexCache_ != nullptr && indexCache_->Parent == parent) {
        node = indexCache_;
        if (wanted < node->Index) {
            while (node != nullptr && node->Index != wanted)
                node = node->PrevSibling;
        } else {
            while (node != nullptr && node->Index != wanted)
                node = node->NextSibling;
        }
    } else if (wanted > parent->ChildCount / 2) {
        for (node = parent->LastChild; node != nullptr && node->Index != wanted; node = node->PrevSibling) {
        }
    } else {
        for (node = parent->FirstChild; node != nullptr && node->Index != wanted; node = node->NextSibling) {
        }
    }
    indexCache_ = node;
    return node;
}

void TCustomVirtualExplorerListviewEx::DoFreeNode(PVirtualNode node) {
    // A paint or a posted result handled while the node is freed must not find it in the cache.
    if (node == indexCache_)
        indexCache_ = nullptr;
    TCustomVirtualExplorerListview::DoFreeNode(node);
}

// ---- selection both ways

void TCustomVirtualExplorerListviewEx::SyncSelection(bool treeToList) {
    if (port_ == nullptr || !port_->ShadowHasWindow())
        return;
    if (!treeToList) {
        TFromList fromList(*this);
        ClearSelection();
        for (int index : port_->ShadowSelectedItems())
            if (const PVirtualNode node = GetNodeByIndex(index))
                SetSelected(node, true);
        SetFocusedNode(GetNodeByIndex(port_->ShadowFocusedItem()));
        return;
    }
    {
        syncing_ = true;
        ScopeExit synced([this] { syncing_ = false; });
        port_->ShadowClearSelection();
        for (PVirtualNode node = GetFirstSelected(); node != nullptr; node = GetNextSelected(node))
            if (node->Parent == RootNode())
                port_->ShadowSelectItem(static_cast<int>(node->Index), true);
        const PVirtualNode focused = FocusedNode();
        if (focused != nullptr && focused->Parent == RootNode())
            port_->ShadowFocusItem(static_cast<int>(focused->Index));
    }
}

void TCustomVirtualExplorerListviewEx::FocusLastWhenNone() {
    if (port_->ShadowFocusedItem() < 0 && ItemCount() > 0)
        port_->ShadowFocusItem(ItemCount() - 1);
}

// ---- rebuilding and re-rooting

bool TCustomVirtualExplorerListviewEx::DoRootChanging(TRootFolder newValue, IExplorerItem* newItem) {
    ++updating_;
    ResetNodeByIndexCache();
    const bool allow = TCustomVirtualExplorerListview::DoRootChanging(newValue, newItem);
    if (!allow)
        --updating_;
    else
        ++pendingRootChanges_;
    return allow;
}

void TCustomVirtualExplorerListviewEx::AfterRootAttempt() {
    // An allowed change that rebuilt nothing (a folder that is missing, an inactive list) must not leave
    // the native list muted.
    updating_ -= pendingRootChanges_;
    pendingRootChanges_ = 0;
    if (updating_ < 0)
        updating_ = 0;
}

void TCustomVirtualExplorerListviewEx::DoRootChange() {
    AfterRootAttempt();
    TCustomVirtualExplorerListview::DoRootChange();
    if (RootChanged)
        RootChanged();
}

void TCustomVirtualExplorerListviewEx::SetRootFolderCustomPath(const WideString& path) {
    ScopeExit done([this] { AfterRootAttempt(); });
    TCustomVirtualExplorerListview::SetRootFolderCustomPath(path);
}

bool TCustomVirtualExplorerListviewEx::BrowseToPIDL(const TItemIDList& pidl, bool expandTarget,
                                                    bool selectTarget, bool setFocus, bool collapseAllFirst,
                                                    bool expandPath) {
    bool result = false;
    {
        ScopeExit done([this] { AfterRootAttempt(); });
        result = TCustomVirtualExplorerListview::BrowseToPIDL(pidl, expandTarget, selectTarget, setFocus,
                                                              collapseAllFirst, expandPath);
    }
    if (!ReportStyle())
        SyncSelection(true);
    return result;
}

void TCustomVirtualExplorerListviewEx::DoRebuildTree() {
    {
        TUpdating updating(*this);
        ResetNodeByIndexCache();
        TCustomVirtualExplorerListview::DoRebuildTree();
        ResetNodeByIndexCache();
        if (port_ != nullptr && port_->ShadowHasWindow()) {
            SyncItemCount();
            port_->ShadowClearSelection();
            port_->ShadowFocusItem(ItemCount() > 0 ? 0 : -1);
        }
    }
    if (ShadowShown())
        port_->ShadowUpdateColumnWidth();
}

void TCustomVirtualExplorerListviewEx::RefreshTree(bool restoreTopNode) {
    if (!ReportStyle())
        SyncSelection(false);
    TCustomVirtualExplorerListview::RefreshTree(restoreTopNode);
    if (!ReportStyle())
        SyncSelection(true);
}

void TCustomVirtualExplorerListviewEx::RefreshNodeChildren(PVirtualNode node) {
    refreshingChildren_ = true;
    ScopeExit done([this] { refreshingChildren_ = false; });
    TCustomVirtualExplorerListview::RefreshNodeChildren(node);
}

void TCustomVirtualExplorerListviewEx::DoStructureChange(PVirtualNode node, TChangeReason reason) {
    TCustomVirtualExplorerListview::DoStructureChange(node, reason);
    ResetNodeByIndexCache();
    if (!ShadowShown() || updating_ > 0)
        return;
    switch (reason) {
    case TChangeReason::crAccumulated:
        SyncItemCount();
        SyncSelection(true);
        if (refreshingChildren_)
            FocusLastWhenNone();
        port_->ShadowRepaint();
        break;
    case TChangeReason::crChildAdded:
        SyncItemCount();
        SyncSelection(true);
        break;
    case TChangeReason::crChildDeleted:
        SyncItemCount();
        SyncSelection(true);
        if (node != RootNode()) {
            FocusLastWhenNone();
            port_->ShadowRepaint();
        }
        break;
    default:
        break;
    }
}

void TCustomVirtualExplorerListviewEx::InvalidateNode(PVirtualNode node) {
    // The list's own selection and focus, copied into the tree, are drawn already where they show; the
    // tree's window is hidden, and finding a row in it costs a walk over the rows above (clearing a
    // select-all of many items did that for every item).
    if (fromList_ > 0 && ShadowShown())
        return;
    TCustomVirtualExplorerListview::InvalidateNode(node);
    if (node != nullptr && node->Parent == RootNode() && ShadowShown())
        port_->ShadowInvalidateItem(static_cast<int>(node->Index));
}

// ---- the host's calls

WideString TCustomVirtualExplorerListviewEx::GetSelectedFileName() {
    if (!ReportStyle())
        SyncSelection(false);
    return TCustomVirtualExplorerListview::GetSelectedFileName();
}

WideString TCustomVirtualExplorerListviewEx::GetSelectedPath() {
    if (!ReportStyle())
        SyncSelection(false);
    return TCustomVirtualExplorerListview::GetSelectedPath();
}

WideString TCustomVirtualExplorerListviewEx::RootPath() {
    IExplorerItem* root = RootItem();
    return root != nullptr ? root->NameForParsing() : WideString();
}

// ---- verbs on the native list's selection

bool TCustomVirtualExplorerListviewEx::CopyToClipboard() {
    if (!ReportStyle())
        SyncSelection(false);
    return TCustomVirtualExplorerListview::CopyToClipboard();
}

bool TCustomVirtualExplorerListviewEx::CutToClipboard() {
    if (!ReportStyle())
        SyncSelection(false);
    return TCustomVirtualExplorerListview::CutToClipboard();
}

bool TCustomVirtualExplorerListviewEx::PasteFromClipboard() {
    if (!ReportStyle())
        SyncSelection(false);
    return TCustomVirtualExplorerListview::PasteFromClipboard();
}

void TCustomVirtualExplorerListviewEx::DeleteSelected() {
    if (!ReportStyle())
        SyncSelection(false);
    TCustomVirtualExplorerListview::DeleteSelected();
}

} // namespace tarvola
