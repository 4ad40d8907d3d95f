// Taking and applying a snapshot of an explorer tree's view (TVETPersistent): the expanded leaf folders,
// the selection, the focus, the top row and the root. The tree's RefreshTree stores and restores its own
// snapshot around a rebuild, ReenumerateNode stores and restores the leaves around re-reading a folder,
// and named views store and show snapshots by name.
//
// The algorithms work over IExplorerStateTree, which the explorer tree implements over its nodes (tests
// use an in-memory tree). Items are compared in their folder's order through the snapshot's shell seam.
#pragma once

#include "explorer/ExplorerRefresh.h"
#include "explorer/ExplorerStateViews.h"

#include <optional>
#include <vector>

namespace tarvola {

class IExplorerStateTree {
public:
    virtual ~IExplorerStateTree() = default;
    // The node snapshots start from: the hidden root when the root folder is hidden, else the first
    // top-level node; nullptr for an empty tree.
    virtual TExplorerNodeRef StartNode() = 0;
    virtual bool IsHiddenRoot(TExplorerNodeRef node) = 0;
    // The first visible node (the first top-level one); nullptr for an empty tree.
    virtual TExplorerNodeRef FirstNode() = 0;
    // The node's absolute item list; nullopt for a node without an item.
    virtual std::optional<TItemIDList> NodePIDL(TExplorerNodeRef node) = 0;
    // The children that exist, in tree order (nothing is loaded).
    virtual std::vector<TExplorerNodeRef> Children(TExplorerNodeRef node) = 0;
    virtual bool Expanded(TExplorerNodeRef node) = 0;
    virtual void SetExpanded(TExplorerNodeRef node, bool expanded) = 0;
    // Reads the root's children when they are not there yet (the hidden root's leaf).
    virtual void EnumerateRootChildren() = 0;
    // Initialises every node that exists and is not initialised yet (no children are made).
    virtual void InitializeExistingNodes() = 0;
    // The node of the item, loading and expanding the folders on the way; nullptr when not found.
    virtual TExplorerNodeRef FindNode(const TItemIDList& pidl) = 0;
    virtual std::vector<TExplorerNodeRef> SelectedNodes() = 0; // tree order
    virtual void ClearSelection() = 0;
    virtual void Select(TExplorerNodeRef node) = 0;
    virtual TExplorerNodeRef FocusedNode() = 0;
    virtual void SetFocusedNode(TExplorerNodeRef node) = 0;
    virtual TExplorerNodeRef TopNode() = 0;
    virtual void SetTopNode(TExplorerNodeRef node) = 0;
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    // The tree's root: its custom root list, its custom path and its root folder.
    virtual std::optional<TItemIDList> CustomRoot() = 0;
    virtual WideString CustomPath() = 0;
    virtual std::uint8_t RootFolder() = 0;
    // Roots the tree at the custom list when there is one, else at the path when it is not empty, else at
    // the root folder, and rebuilds it even when the root stays the same (so a refresh always shows the
    // folder's current content).
    virtual void Reroot(const std::optional<TItemIDList>& customRoot, const WideString& customPath,
                        std::uint8_t rootFolder) = 0;
};

// Records the expanded leaf folders below node (and with storeSelection the selection).
void StoreLeaves(TVETPersistent& state, IExplorerStateTree& tree, TExplorerNodeRef node, bool storeSelection);
// Expands the stored leaves again (and with restoreSelection selects the stored items).
void RestoreLeaves(TVETPersistent& state, IExplorerStateTree& tree, bool restoreSelection);
// The whole view: top row, focus, leaves, selection and root.
void StoreTreeState(TVETPersistent& state, IExplorerStateTree& tree, bool storeSelection, bool storeFocus);
// Re-roots (and so rebuilds) the tree, then expands, selects, focuses and scrolls as stored. Parts whose
// items cannot be found are left as they come.
void RestoreTreeState(TVETPersistent& state, IExplorerStateTree& tree, bool restoreSelection,
                      bool restoreTopNode, bool restoreFocus);

// Named views: StoreView keeps the tree's view under the name (replacing a view of that name, else
// appending one); ShowView applies the view of the name (nothing for an unknown name).
void StoreView(TViewManager& manager, const WideString& viewName, IExplorerStateTree& tree);
void ShowView(TViewManager& manager, const WideString& viewName, IExplorerStateTree& tree);

} // namespace tarvola
