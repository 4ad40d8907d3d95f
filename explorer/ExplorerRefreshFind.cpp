#include "explorer/ExplorerRefreshFind.h"

namespace tarvola {

namespace {

TExplorerNodeRef ChildOfLevel(IExplorerNodeWalk& tree, TExplorerNodeRef node, const TItemIDList& level) {
    for (TExplorerNodeRef child = tree.FirstChild(node); child != nullptr; child = tree.NextSibling(child)) {
        const std::optional<TItemIDList> pidl = tree.NodePIDL(child);
        if (pidl && tree.SameItem(*pidl, level))
            return child;
    }
    return tree.AddUnlistedChild(node, level);
}

} // namespace

TExplorerNodeRef FindNodeOfPIDL(IExplorerNodeWalk& tree, const TItemIDList& target) {
    const TExplorerNodeRef start = tree.StartNode();
    if (start == nullptr)
        return nullptr;
    const std::optional<TItemIDList> startPIDL = tree.NodePIDL(start);
    if (!startPIDL)
        return nullptr;
    const auto levels = LevelsBelow(
        *startPIDL, target, [&](const TItemIDList& a, const TItemIDList& b) { return tree.SameItem(a, b); });
    if (!levels)
        return nullptr;
    TExplorerNodeRef current = start;
    for (const TItemIDList& level : *levels) {
        tree.EnterLevel(current, level);
        current = ChildOfLevel(tree, current, level);
        if (current == nullptr)
            return nullptr;
    }
    return current;
}

} // namespace tarvola
