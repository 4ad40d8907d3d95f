// The selected nodes as an array sorted by address, so that membership is a binary search and a batch of new
// nodes joins in one merge. A removal while the tree is updating only marks its entry (the low address bit,
// free since node records are aligned); the marked entry keeps its place in the order until Pack.
#pragma once

#include "tree/TreeTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvola {

class TSelectionArray {
public:
    // Entries in use, marked ones included until the next Pack.
    std::size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    // The node of an entry, whether marked or not.
    PVirtualNode At(std::size_t index) const;
    bool IsMarked(std::size_t index) const { return (entries_.at(index) & MarkBit) != 0; }
    // Binary search: true and the entry's index when found, else false and the insertion point.
    bool Find(PVirtualNode node, std::size_t& index) const;
    // Marks the node's entry for removal; false when it has none (or it is marked already).
    bool Mark(PVirtualNode node);
    // Removes the node's entry now; false when it has none.
    bool Remove(PVirtualNode node);
    // Drops the marked entries, keeping the order; gives the count left (0 for an empty array).
    std::size_t Pack();
    // Merges nodes that are distinct, sorted by address and not in the array yet.
    void Merge(const std::vector<PVirtualNode>& sortedNew);
    void Clear() { entries_.clear(); }
    // The unmarked nodes in address order.
    std::vector<PVirtualNode> Nodes() const;

    static bool AddressLess(PVirtualNode a, PVirtualNode b) { return Key(a) < Key(b); }

private:
    static constexpr std::uintptr_t MarkBit = 1;
    static std::uintptr_t Key(PVirtualNode node) { return reinterpret_cast<std::uintptr_t>(node); }
    std::vector<std::uintptr_t> entries_;
};

} // namespace tarvola
