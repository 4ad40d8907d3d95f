#include "explorer/ExplorerStateSnapshot.h"

namespace tarvola {

namespace {

// Under the tree's update bracket for the length of a scope.
class TUpdateScope {
public:
    explicit TUpdateScope(IExplorerStateTree& tree) : tree_(tree) { tree_.BeginUpdate(); }
    ~TUpdateScope() { tree_.EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    IExplorerStateTree& tree_;
};

// Adds the expanded nodes below node that have no expanded child, depth first, each after its subtree.
void CollectLeaves(IExplorerStateTree& tree, TExplorerNodeRef node, TLeafNodeList& leaves) {
    for (TExplorerNodeRef child : tree.Children(node)) {
        if (!tree.Expanded(child))
            continue;
        CollectLeaves(tree, child, leaves);
        bool childExpanded = false;
        for (TExplorerNodeRef grandchild : tree.Children(child))
            childExpanded = childExpanded || tree.Expanded(grandchild);
        if (!childExpanded)
            if (const std::optional<TItemIDList> pidl = tree.NodePIDL(child))
                leaves.AddLeaf(*pidl, true);
    }
}

void StoreSelection(TVETPersistent& state, IExplorerStateTree& tree) {
    state.Selection.clear();
    state.SelectionFolder.reset();
    const std::vector<TExplorerNodeRef> selected = tree.SelectedNodes();
    if (!selected.empty())
        if (const std::optional<TItemIDList> first = tree.NodePIDL(selected.front());
            first && !first->IsDesktop())
            state.SelectionFolder = first->Parent();
    for (TExplorerNodeRef node : selected)
        if (const std::optional<TItemIDList> pidl = tree.NodePIDL(node))
            state.Selection.push_back(pidl->LastItem());
}

void StoreLeavesOf(TVETPersistent& state, IExplorerStateTree& tree, TExplorerNodeRef node,
                   bool storeSelection) {
    if (storeSelection)
        StoreSelection(state, tree);
    state.Leaves.Clear();
    if (node == nullptr)
        return;
    CollectLeaves(tree, node, state.Leaves);
    if (state.Leaves.Leaves.empty())
        if (const std::optional<TItemIDList> pidl = tree.NodePIDL(node))
            state.Leaves.AddLeaf(*pidl, tree.Expanded(node));
}

// Selects the children of the selection folder whose last records equal stored ones: both sides sorted
// in the folder's order and walked together once, so a stored item that is gone is only passed over.
void RestoreSelection(TVETPersistent& state, IExplorerStateTree& tree) {
    tree.ClearSelection();
    tree.SetFocusedNode(nullptr);
    {
        TUpdateScope update(tree);
        if (state.Selection.empty())
            return;
        if (!state.SelectionFolder) {
            if (TExplorerNodeRef first = tree.FirstNode())
                tree.Select(first);
        } else if (TExplorerNodeRef folder = tree.FindNode(*state.SelectionFolder)) {
            const TItemIDList folderPIDL = *state.SelectionFolder;
            IStateShell& shell = state.Storage.Shell();
            const auto order = [&](const TItemIDList& a, const TItemIDList& b) {
                const std::optional<int> shellOrder = shell.CompareIDs(folderPIDL, a, b);
                return shellOrder ? *shellOrder : CompareBytes(a, b);
            };
            std::vector<std::pair<TItemIDList, TExplorerNodeRef>> children;
            for (TExplorerNodeRef child : tree.Children(folder))
                if (const std::optional<TItemIDList> pidl = tree.NodePIDL(child))
                    children.emplace_back(pidl->LastItem(), child);
            std::vector<TItemIDList> stored = state.Selection;
            StableSortWithin(children,
                             [&](const auto& a, const auto& b) { return order(a.first, b.first) < 0; });
            StableSortWithin(stored,
                             [&](const TItemIDList& a, const TItemIDList& b) { return order(a, b) < 0; });
            std::size_t i = 0;
            std::size_t j = 0;
            while (i < children.size() && j < stored.size()) {
                const int c = order(children[i].first, stored[j]);
                if (c == 0) {
                    tree.Select(children[i].second);
                    ++i;
                    ++j;
                } else if (c < 0) {
                    ++i;
                } else {
                    ++j;
                }
            }
        }
    }
    const std::vector<TExplorerNodeRef> selected = tree.SelectedNodes();
    tree.SetFocusedNode(selected.empty() ? nullptr : selected.front());
}

TExplorerNodeRef FindStored(IExplorerStateTree& tree, const std::optional<TItemIDList>& pidl) {
    return pidl ? tree.FindNode(*pidl) : nullptr;
}

} // namespace

void StoreLeaves(TVETPersistent& state, IExplorerStateTree& tree, TExplorerNodeRef node,
                 bool storeSelection) {
    tree.InitializeExistingNodes();
    StoreLeavesOf(state, tree, node, storeSelection);
}

void RestoreLeaves(TVETPersistent& state, IExplorerStateTree& tree, bool restoreSelection) {
    {
        TUpdateScope update(tree);
        for (const TLeafNode& leaf : state.Leaves.Leaves) {
            if (!leaf.PIDL)
                continue;
            TExplorerNodeRef node = tree.FindNode(*leaf.PIDL);
            if (node != nullptr && !tree.IsHiddenRoot(node))
                tree.SetExpanded(node, leaf.Expanded);
            else if (leaf.Expanded)
                tree.EnumerateRootChildren();
        }
    }
    if (restoreSelection)
        RestoreSelection(state, tree);
}

void StoreTreeState(TVETPersistent& state, IExplorerStateTree& tree, bool storeSelection, bool storeFocus) {
    tree.InitializeExistingNodes();
    const TExplorerNodeRef top = tree.TopNode();
    const std::optional<TItemIDList> topPIDL = top ? tree.NodePIDL(top) : std::nullopt;
    state.TopNodeExact = topPIDL;
    if (storeFocus) {
        const TExplorerNodeRef focused = tree.FocusedNode();
        state.FocusedNode = focused ? tree.NodePIDL(focused) : std::nullopt;
    }
    StoreLeavesOf(state, tree, tree.StartNode(), storeSelection);
    state.TopNode = topPIDL;
    state.CustomRoot = tree.CustomRoot();
    state.CustomPath = tree.CustomPath();
    state.RootFolder = tree.RootFolder();
}

void RestoreTreeState(TVETPersistent& state, IExplorerStateTree& tree, bool restoreSelection,
                      bool restoreTopNode, bool restoreFocus) {
    TExplorerNodeRef top = nullptr;
    {
        TUpdateScope update(tree);
        tree.ClearSelection();
        tree.Reroot(state.CustomRoot, state.CustomPath, state.RootFolder);
        RestoreLeaves(state, tree, restoreSelection);
        top = FindStored(tree, state.TopNode);
        if (restoreFocus) {
            top = FindStored(tree, state.FocusedNode);
            tree.SetFocusedNode(top);
        }
    }
    if (restoreTopNode && state.TopNodeExact) {
        const TExplorerNodeRef exact = tree.FindNode(*state.TopNodeExact);
        if (exact != nullptr && !tree.IsHiddenRoot(exact))
            tree.SetTopNode(exact);
        return;
    }
    if (top != nullptr && !tree.IsHiddenRoot(top))
        tree.SetTopNode(top);
}

void StoreView(TViewManager& manager, const WideString& viewName, IExplorerStateTree& tree) {
    TView* view = manager.FindView(viewName);
    if (view == nullptr)
        view = &manager.Views.Add(viewName);
    StoreTreeState(*view, tree, true, true);
}

void ShowView(TViewManager& manager, const WideString& viewName, IExplorerStateTree& tree) {
    if (TView* view = manager.FindView(viewName))
        RestoreTreeState(*view, tree, true, false, true);
}

} // namespace tarvola
