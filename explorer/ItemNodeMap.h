// Shell change events applied to an explorer tree: the nodes of the loaded items by their item lists, and
// what each kind of change event does to them.
//
// TItemNodeMap is the tree's index of its loaded nodes: the tree adds a node when it gets its item and
// removes it before the node is freed, so a lookup never hands out a freed node. Lists are keyed by their
// bytes; where the shell calls two different lists the same item, the tree's path walk
// (ExplorerRefreshFind.h) is the fallback.
//
// ApplyShellChanges runs a batch of events in order over IShellChangeTarget, looking each node up only when
// its event comes, since an earlier event's refresh may have freed nodes found before it.
#pragma once

#include "explorer/ExplorerRefresh.h"
#include "shell/VirtualShellNotifyEvents.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace tarvola {

class TItemNodeMap {
public:
    // A node for the item; a node already there for the same list is replaced.
    void Add(const TItemIDList& pidl, TExplorerNodeRef node);
    // Forgets the item when it maps to node (another node of the same list stays).
    void Remove(const TItemIDList& pidl, TExplorerNodeRef node);
    // nullptr when no loaded node has the list.
    TExplorerNodeRef Find(const TItemIDList& pidl) const;
    void Clear() { nodes_.clear(); }
    std::size_t Count() const { return nodes_.size(); }

private:
    struct TByteOrder {
        bool operator()(const TItemIDList& a, const TItemIDList& b) const;
    };
    std::map<TItemIDList, TExplorerNodeRef, TByteOrder> nodes_;
};

// One event as the tree receives it.
struct TShellChange {
    TVirtualShellNotifyEvent Kind = TVirtualShellNotifyEvent::vsneUpdateDir;
    std::optional<TItemIDList> PIDL1;
    std::optional<TItemIDList> ParentPIDL1;
    // The image index of an update-image event.
    std::uint32_t Item1 = 0;
    // Receivers are told to leave the event alone.
    bool Ignored = false;
};

// What the events do to a tree; the tree carries each out at once.
class IShellChangeTarget {
public:
    virtual ~IShellChangeTarget() = default;
    // The loaded node of the item (nothing is loaded or expanded); nullptr when there is none.
    virtual TExplorerNodeRef FindLoadedNode(const TItemIDList& pidl) = 0;
    // The shell's icons changed size: the tree rebuilds the image lists and refreshes.
    virtual void RefreshIconSize() = 0;
    // Every child of node: its item's cached facts dropped (not the icon), the node repainted.
    virtual void InvalidateChildren(TExplorerNodeRef node) = 0;
    // The folder node's children merged with a fresh enumeration.
    virtual void RefreshNodeChildren(TExplorerNodeRef node) = 0;
    // The whole tree rebuilt from its snapshot.
    virtual void RefreshTree() = 0;
    // A medium came or went in the drive of pidl; node is its loaded node or nullptr.
    virtual void MediaChanged(const TItemIDList& pidl, TExplorerNodeRef node) = 0;
    // The node's item reads its own list again from its folder and the node is repainted.
    virtual void ReloadItem(TExplorerNodeRef node) = 0;
    // The nodes whose items show the system image index get their items refreshed.
    virtual void UpdateImages(std::uint32_t imageIndex) = 0;
};

// Applies the events in order. Events to be ignored, and every event while the tree's editor is open, are
// passed over; myComputer is the item whose children free-space events invalidate.
void ApplyShellChanges(const std::vector<TShellChange>& events, IShellChangeTarget& tree,
                       const std::optional<TItemIDList>& myComputer, bool editActive);

} // namespace tarvola
