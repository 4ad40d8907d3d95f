#include "tree/SelectionArray.h"

#include <algorithm>

namespace tarvola {

PVirtualNode TSelectionArray::At(std::size_t index) const {
    return reinterpret_cast<PVirtualNode>(entries_.at(index) & ~MarkBit);
}

bool TSelectionArray::Find(PVirtualNode node, std::size_t& index) const {
    const std::uintptr_t key = Key(node);
    auto found = std::lower_bound(
        entries_.begin(), entries_.end(), key,
        [](std::uintptr_t entry, std::uintptr_t wanted) { return (entry & ~MarkBit) < wanted; });
    index = static_cast<std::size_t>(found - entries_.begin());
    // A marked entry of a freed node may share its address with a node added since: the live one counts.
    for (std::size_t i = index; i < entries_.size() && (entries_[i] & ~MarkBit) == key; ++i)
        if (!IsMarked(i)) {
            index = i;
            return true;
        }
    return false;
}

bool TSelectionArray::Mark(PVirtualNode node) {
    std::size_t index = 0;
    if (!Find(node, index) || IsMarked(index))
        return false;
    entries_[index] |= MarkBit;
    return true;
}

bool TSelectionArray::Remove(PVirtualNode node) {
    std::size_t index = 0;
    if (!Find(node, index))
        return false;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

std::size_t TSelectionArray::Pack() {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [](std::uintptr_t entry) { return (entry & MarkBit) != 0; }),
                   entries_.end());
    return entries_.size();
}

void TSelectionArray::Merge(const std::vector<PVirtualNode>& sortedNew) {
    const auto middle = static_cast<std::ptrdiff_t>(entries_.size());
    for (PVirtualNode node : sortedNew)
        entries_.push_back(Key(node));
    std::inplace_merge(entries_.begin(), entries_.begin() + middle, entries_.end(),
                       [](std::uintptr_t a, std::uintptr_t b) { return (a & ~MarkBit) < (b & ~MarkBit); });
}

std::vector<PVirtualNode> TSelectionArray::Nodes() const {
    std::vector<PVirtualNode> nodes;
    nodes.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (!IsMarked(i))
            nodes.push_back(At(i));
    return nodes;
}

} // namespace tarvola
