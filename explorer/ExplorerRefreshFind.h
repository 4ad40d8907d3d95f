// Finding the node of a shell item in an explorer tree by walking the item's path from the tree's start
// node, one level per record. The walks take the item list by value and build each level as a list of its
// own: the caller's list is never written to, not even for a moment.
//
// The explorer tree implements IExplorerNodeWalk over its nodes: FindLoadedNode (the change handler's
// lookup) walks only the children that exist; FindNodeByPIDL walks with a level step that may load or
// expand the children first (the tree's ReinitChildren or Expanded, through the step hook).
#pragma once

#include "explorer/ExplorerRefresh.h"

#include <optional>
#include <vector>

namespace tarvola {

class IExplorerNodeWalk {
public:
    virtual ~IExplorerNodeWalk() = default;
    // The hidden root, or the first top-level node; nullptr for an empty tree.
    virtual TExplorerNodeRef StartNode() = 0;
    // The node's absolute item list; nullopt for a node without an item.
    virtual std::optional<TItemIDList> NodePIDL(TExplorerNodeRef node) = 0;
    // The node's first child and a child's next sibling, among the nodes that exist (nothing is made).
    virtual TExplorerNodeRef FirstChild(TExplorerNodeRef node) = 0;
    virtual TExplorerNodeRef NextSibling(TExplorerNodeRef node) = 0;
    // Whether two lists name the same item (the shell's answer on Windows).
    virtual bool SameItem(const TItemIDList& a, const TItemIDList& b) = 0;
    // Called before the children of node are searched for level (the list of the level's item); a tree
    // loads or expands the node here when asked to.
    virtual void EnterLevel(TExplorerNodeRef node, const TItemIDList& level) {
        (void)node;
        (void)level;
    }
    // A node for an item that enumeration does not list (a network share below the network item); nullptr
    // for other items.
    virtual TExplorerNodeRef AddUnlistedChild(TExplorerNodeRef node, const TItemIDList& level) {
        (void)node;
        (void)level;
        return nullptr;
    }
};

// The lists of the levels of target below ancestor: target cut after each of its records past
// ancestor's, the last being target itself. Empty when target is ancestor; nullopt when ancestor is not
// target's or one of its ancestors (sameItem decides for the leading records).
template <typename SameItem>
std::optional<std::vector<TItemIDList>> LevelsBelow(const TItemIDList& ancestor, const TItemIDList& target,
                                                    SameItem sameItem);

// The node of target: the start node when it is target, else the node reached by walking target's path
// level by level; nullptr when target lies outside the start node or a level has no node.
TExplorerNodeRef FindNodeOfPIDL(IExplorerNodeWalk& tree, const TItemIDList& target);

// ---- template

template <typename SameItem>
std::optional<std::vector<TItemIDList>> LevelsBelow(const TItemIDList& ancestor, const TItemIDList& target,
                                                    SameItem sameItem) {
    std::vector<TItemIDList> levels;
    for (TItemIDList level = target; level.Count() > ancestor.Count(); level = level.Parent())
        levels.push_back(level);
    TItemIDList head = levels.empty() ? target : levels.back().Parent();
    if (!sameItem(head, ancestor))
        return std::nullopt;
    return std::vector<TItemIDList>(levels.rbegin(), levels.rend());
}

} // namespace tarvola
