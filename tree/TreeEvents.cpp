#include "tree/TreeEvents.h"

#include "tree/VirtualTrees.h"

namespace tarvola {

TBaseVirtualTree& TVirtualTreeEvents::Sender() {
    return static_cast<TBaseVirtualTree&>(*this);
}

PVirtualNode TVirtualTreeEvents::Published(PVirtualNode node) const {
    const auto& tree = static_cast<const TBaseVirtualTree&>(*this);
    return node == tree.RootNode() ? nullptr : node;
}

void TVirtualTreeEvents::DoInitNode(PVirtualNode parent, PVirtualNode node,
                                    TVirtualNodeInitStates& initStates) {
    if (OnInitNode)
        OnInitNode(Sender(), Published(parent), node, initStates);
}

std::uint32_t TVirtualTreeEvents::DoInitChildren(PVirtualNode node, std::uint32_t childCount) {
    if (OnInitChildren)
        OnInitChildren(Sender(), node, childCount);
    return childCount;
}

void TVirtualTreeEvents::DoResetNode(PVirtualNode node) {
    if (OnResetNode)
        OnResetNode(Sender(), node);
}

int TVirtualTreeEvents::DoGetNodeDataSize() {
    int size = 0;
    if (OnGetNodeDataSize)
        OnGetNodeDataSize(Sender(), size);
    return size;
}

void TVirtualTreeEvents::DoUpdating(TVTUpdateState state) {
    if (OnUpdating)
        OnUpdating(Sender(), state);
}

int TVirtualTreeEvents::DoMeasureItem(TCanvas* canvas, PVirtualNode node, int nodeHeight) {
    if (OnMeasureItem)
        OnMeasureItem(Sender(), canvas, node, nodeHeight);
    return nodeHeight;
}

bool TVirtualTreeEvents::DoNodeMoving(PVirtualNode node, PVirtualNode target) {
    bool allowed = true;
    if (OnNodeMoving)
        OnNodeMoving(Sender(), node, target, allowed);
    return allowed;
}

void TVirtualTreeEvents::DoNodeMoved(PVirtualNode node) {
    if (OnNodeMoved)
        OnNodeMoved(Sender(), node);
}

bool TVirtualTreeEvents::DoNodeCopying(PVirtualNode node, PVirtualNode target) {
    bool allowed = true;
    if (OnNodeCopying)
        OnNodeCopying(Sender(), node, target, allowed);
    return allowed;
}

void TVirtualTreeEvents::DoNodeCopied(PVirtualNode node) {
    if (OnNodeCopied)
        OnNodeCopied(Sender(), node);
}

int TVirtualTreeEvents::DoCompareNodes(PVirtualNode node1, PVirtualNode node2, TColumnIndex column) {
    int result = 0;
    if (OnCompareNodes)
        OnCompareNodes(Sender(), node1, node2, column, result);
    return result;
}

bool TVirtualTreeEvents::DoExpanding(PVirtualNode node) {
    bool allowed = true;
    if (OnExpanding)
        OnExpanding(Sender(), node, allowed);
    return allowed;
}

void TVirtualTreeEvents::DoExpanded(PVirtualNode node) {
    if (OnExpanded)
        OnExpanded(Sender(), node);
}

bool TVirtualTreeEvents::DoCollapsing(PVirtualNode node) {
    bool allowed = true;
    if (OnCollapsing)
        OnCollapsing(Sender(), node, allowed);
    return allowed;
}

void TVirtualTreeEvents::DoCollapsed(PVirtualNode node) {
    if (OnCollapsed)
        OnCollapsed(Sender(), node);
}

bool TVirtualTreeEvents::DoChecking(PVirtualNode node, TCheckState& newState) {
    if (ReadOnlyForEvents())
        return false;
    bool allowed = true;
    if (OnChecking)
        OnChecking(Sender(), node, newState, allowed);
    return allowed;
}

void TVirtualTreeEvents::DoChecked(PVirtualNode node) {
    if (OnChecked)
        OnChecked(Sender(), node);
}

bool TVirtualTreeEvents::DoFocusChanging(PVirtualNode oldNode, PVirtualNode newNode, TColumnIndex oldColumn,
                                         TColumnIndex newColumn) {
    bool allowed = true;
    if (OnFocusChanging)
        OnFocusChanging(Sender(), oldNode, newNode, oldColumn, newColumn, allowed);
    return allowed;
}

void TVirtualTreeEvents::DoFocusChanged(PVirtualNode node, TColumnIndex column) {
    if (OnFocusChanged)
        OnFocusChanged(Sender(), node, column);
}

void TVirtualTreeEvents::DoHotChange(PVirtualNode oldNode, PVirtualNode newNode) {
    if (OnHotChange)
        OnHotChange(Sender(), oldNode, newNode);
}

int TVirtualTreeEvents::DoGetImageIndex(PVirtualNode node, TVTImageKind kind, TColumnIndex column,
                                        bool& ghosted, int imageIndex) {
    if (OnGetImageIndex)
        OnGetImageIndex(Sender(), node, kind, column, ghosted, imageIndex);
    return imageIndex;
}

bool TVirtualTreeEvents::DoEditing(PVirtualNode node, TColumnIndex column, bool allowed) {
    if (OnEditing)
        OnEditing(Sender(), node, column, allowed);
    return allowed;
}

bool TVirtualTreeEvents::DoDragAllowed(PVirtualNode node, TColumnIndex column) {
    bool allowed = false;
    if (OnDragAllowed)
        OnDragAllowed(Sender(), node, column, allowed);
    return allowed;
}

std::shared_ptr<IVTEditLink> TVirtualTreeEvents::DoCreateEditor(PVirtualNode node, TColumnIndex column) {
    std::shared_ptr<IVTEditLink> link;
    if (OnCreateEditor) {
        OnCreateEditor(Sender(), node, column, link);
        if (!link)
            throw EVirtualTreeError(2000, "Edit link must not be nil.");
    }
    return link;
}

int TVirtualTreeEvents::DoIncrementalSearch(PVirtualNode node, const std::wstring& text) {
    int result = 0;
    if (OnIncrementalSearch)
        OnIncrementalSearch(Sender(), node, text, result);
    return result;
}

bool TVirtualTreeEvents::DoGetCellIsEmpty(PVirtualNode node, TColumnIndex column) {
    bool isEmpty = true;
    if (OnGetCellIsEmpty)
        OnGetCellIsEmpty(Sender(), node, column, isEmpty);
    return isEmpty;
}

void TVirtualTreeEvents::DoScroll(int deltaX, int deltaY) {
    if (OnScroll)
        OnScroll(Sender(), deltaX, deltaY);
}

const char* ChangeReasonName(TChangeReason reason) {
    switch (reason) {
    case TChangeReason::crIgnore:
        return "crIgnore";
    case TChangeReason::crAccumulated:
        return "crAccumulated";
    case TChangeReason::crChildAdded:
        return "crChildAdded";
    case TChangeReason::crChildDeleted:
        return "crChildDeleted";
    case TChangeReason::crNodeAdded:
        return "crNodeAdded";
    case TChangeReason::crNodeCopied:
        return "crNodeCopied";
    case TChangeReason::crNodeMoved:
        return "crNodeMoved";
    }
    return "?";
}

} // namespace tarvola
