#include "tree/NodeStreamTransfer.h"

#include "audio/Streams.h"
#include "base/ByteOrder.h"
#include "tree/NodeStream.h"
#include "tree/VirtualTrees.h"

#include <algorithm>

namespace tarvola {

void TNodeStreamTransfer::WriteNode(TBaseVirtualTree& tree, PVirtualNode node,
                                    std::vector<std::uint8_t>& out) {
    TMemoryStream stream;
    tree.WriteNode(stream, node);
    out.insert(out.end(), stream.Memory(), stream.Memory() + stream.Size());
}

// Only the first chunk is copied into the stream the reader reads, so that a transfer of many nodes is not
// copied once per node. A header that claims more than data holds is copied with what there is, and the
// reader reports the short stream.
std::size_t TNodeStreamTransfer::ReadNode(TBaseVirtualTree& tree, std::span<const std::uint8_t> data,
                                          PVirtualNode node) {
    std::size_t length = data.size();
    if (data.size() >= static_cast<std::size_t>(ChunkHeaderSize)) {
        const std::int32_t size = GetLE<std::int32_t>(data.data() + 4);
        if (size >= 0)
            length =
                std::min(length, static_cast<std::size_t>(ChunkHeaderSize) + static_cast<std::size_t>(size));
    }
    TMemoryStream stream;
    stream.WriteBuffer(data.data(), static_cast<std::int64_t>(length));
    stream.SetPosition(0);
    tree.AddNodesFromStream(stream, NodeStreamVersion, node);
    return static_cast<std::size_t>(stream.Position());
}

} // namespace tarvola
