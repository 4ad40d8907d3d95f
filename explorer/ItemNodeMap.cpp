#include "explorer/ItemNodeMap.h"

#include "explorer/ExplorerStateShell.h"

namespace tarvola {

// ---- TItemNodeMap

bool TItemNodeMap::TByteOrder::operator()(const TItemIDList& a, const TItemIDList& b) const {
    return CompareBytes(a, b) < 0;
}

void TItemNodeMap::Add(const TItemIDList& pidl, TExplorerNodeRef node) {
    nodes_[pidl] = node;
}

void TItemNodeMap::Remove(const TItemIDList& pidl, TExplorerNodeRef node) {
    const auto found = nodes_.find(pidl);
    if (found != nodes_.end() && found->second == node)
        nodes_.erase(found);
}

TExplorerNodeRef TItemNodeMap::Find(const TItemIDList& pidl) const {
    const auto found = nodes_.find(pidl);
    return found == nodes_.end() ? nullptr : found->second;
}

// ---- ApplyShellChanges

namespace {

using Kind = TVirtualShellNotifyEvent;

TExplorerNodeRef LoadedNodeOf(IShellChangeTarget& tree, const std::optional<TItemIDList>& pidl) {
    return pidl ? tree.FindLoadedNode(*pidl) : nullptr;
}

void ApplyShellChange(const TShellChange& event, IShellChangeTarget& tree,
                      const std::optional<TItemIDList>& myComputer) {
    switch (event.Kind) {
    case Kind::vsneAssociationChanged:
        tree.RefreshIconSize();
        return;
    case Kind::vsneAttributes:
    case Kind::vsneFreeSpace:
        if (TExplorerNodeRef node =
                LoadedNodeOf(tree, event.Kind == Kind::vsneAttributes ? event.ParentPIDL1 : myComputer))
            tree.InvalidateChildren(node);
        return;
    case Kind::vsneCreate: // the folder's update-dir event follows each of these
    case Kind::vsneDelete:
    case Kind::vsneMkDir:
    case Kind::vsneRmDir:
        return;
    case Kind::vsneDriveAdd:
    case Kind::vsneDriveAddGUI:
    case Kind::vsneDriveRemoved:
    case Kind::vsneRenameFolder:
    case Kind::vsneRenameItem:
        if (TExplorerNodeRef node = LoadedNodeOf(tree, event.ParentPIDL1))
            tree.RefreshNodeChildren(node);
        return;
    case Kind::vsneMediaInserted:
    case Kind::vsneMediaRemoved:
        if (event.PIDL1)
            tree.MediaChanged(*event.PIDL1, tree.FindLoadedNode(*event.PIDL1));
        return;
    case Kind::vsneNetShare:
    case Kind::vsneNetUnShare:
    case Kind::vsneServerDisconnect:
    case Kind::vsneUpdateItem:
        if (TExplorerNodeRef node = LoadedNodeOf(tree, event.PIDL1))
            tree.ReloadItem(node);
        return;
    case Kind::vsneUpdateDir:
        if (!event.PIDL1)
            return;
        if (event.PIDL1->IsDesktop())
            tree.RefreshTree();
        else if (TExplorerNodeRef node = tree.FindLoadedNode(*event.PIDL1))
            tree.RefreshNodeChildren(node);
        return;
    case Kind::vsneUpdateImage:
        tree.UpdateImages(event.Item1);
        return;
    }
}

} // namespace

void ApplyShellChanges(const std::vector<TShellChange>& events, IShellChangeTarget& tree,
                       const std::optional<TItemIDList>& myComputer, bool editActive) {
    for (const TShellChange& event : events)
        if (!event.Ignored && !editActive)
            ApplyShellChange(event, tree, myComputer);
}

} // namespace tarvola
