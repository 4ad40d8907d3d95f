// The node transfer of clipboard and drag formats built on the tree's node stream: node chunks without the
// stream header and count, read as version 2.
#pragma once

#include "tree/TreeClipboard.h"

namespace tarvola {

class TNodeStreamTransfer : public ITreeNodeTransfer {
public:
    // Appends the node's chunk (the tree's WriteNode).
    void WriteNode(TBaseVirtualTree& tree, PVirtualNode node, std::vector<std::uint8_t>& out) override;
    // Reads the node chunk at the start of data into node (the tree's AddNodesFromStream); raises
    // EVirtualTreeError on a malformed chunk.
    std::size_t ReadNode(TBaseVirtualTree& tree, std::span<const std::uint8_t> data,
                         PVirtualNode node) override;
};

} // namespace tarvola
