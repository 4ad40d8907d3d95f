// Refreshing a folder in place: the folder's fresh enumeration is merged into the node's existing children.
// Children whose items are still there keep their nodes (and so their expansion, selection and check
// state), new items get nodes at their place in the folder's order, and nodes of items that are gone are
// deleted. The cost is two sorts and one linear pass; an unchanged folder changes no node.
//
// The merge works over IRefreshFolder, which the explorer tree implements over its nodes and the folder's
// shell items (tests use an in-memory folder):
// - the order is the shell's (CompareIDs on the children's last records); where the shell cannot compare
//   two items their names decide, and then the merge never deletes a node whose name is still listed: a
//   failed comparison never costs a node;
// - the merge never moves an existing node; a new node goes in before the first existing node that
//   follows it in the folder's order, so children that were in that order stay in it without a sort. A
//   tree that shows another order sorts once after a merge that added something; when the result reports
//   a failed comparison it should not, since the shell cannot order the children then.
#pragma once

#include "shell/VirtualPIDLTools.h"
#include "shell/VirtualWideStrings.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tarvola {

// A node of the explorer tree, as the tree hands it out; the merge only compares and passes it back.
using TExplorerNodeRef = const void*;

struct TRefreshItem {
    // The item's last record (a list of one record).
    TItemIDList RelativePIDL;
    // Its normal display name: the order where the shell cannot compare.
    WideString Name;
};

struct TRefreshChild {
    TExplorerNodeRef Node = nullptr;
    TRefreshItem Item;
};

class IRefreshFolder {
public:
    virtual ~IRefreshFolder() = default;
    // The folder's order of two children's last records; nullopt when the shell cannot compare them.
    virtual std::optional<int> CompareIDs(const TItemIDList& a, const TItemIDList& b) = 0;
    // The node's children as they are now, in tree order.
    virtual std::vector<TRefreshChild> Children() = 0;
    // Makes a node for a new item, in front of before (nullptr: after the last child). False when the tree
    // turned the item down (its enumeration filter).
    virtual bool AddChild(const TRefreshItem& item, TExplorerNodeRef before) = 0;
    // Deletes a child's node with what the tree keeps for it (its stored check state, its structure-change
    // event). The merge has moved the focus off it first.
    virtual void DeleteChild(TExplorerNodeRef child) = 0;
    // The focused node when it is one of the children, else nullptr.
    virtual TExplorerNodeRef FocusedChild() = 0;
    // The child after child in tree order, nullptr for the last.
    virtual TExplorerNodeRef NextSibling(TExplorerNodeRef child) = 0;
    // Focuses and selects a child; nullptr passes the focus to the folder's node, which for the hidden root
    // of a list means no focus at all.
    virtual void FocusChild(TExplorerNodeRef child) = 0;
};

struct TRefreshResult {
    int Kept = 0;
    int Added = 0;
    int Removed = 0;
    // Some comparison failed and names stood in: the children may not be in the shell's order.
    bool ShellOrderFailed = false;
};

// Merges the fresh enumeration (in any order) into the folder node's children.
TRefreshResult MergeChildren(IRefreshFolder& folder, std::vector<TRefreshItem> fresh);

// What an enumeration of a folder gave: items to merge, nothing at all (S_FALSE, possibly without an
// enumerator: the folder is empty), or a failure (the node is then read again from scratch).
enum class TEnumerationOutcome { Items, Empty, Failed };
TEnumerationOutcome EnumerationOutcome(std::int32_t hr, bool hasEnumerator);

} // namespace tarvola
