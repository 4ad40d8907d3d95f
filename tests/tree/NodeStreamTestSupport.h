// Helpers of the node stream tests and the reader's fuzz target: hand-built streams, a tree whose owner keeps
// a 4-byte id per node and stores it in user chunks, and a text description of a tree to compare trees by.
#pragma once

#include "audio/Streams.h"
#include "tree/VirtualTrees.h"

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace tarvola::test {

using Bytes = std::vector<std::uint8_t>;

Bytes Join(std::initializer_list<Bytes> parts);
Bytes U16(std::uint16_t value);
Bytes U32(std::uint32_t value);
// The stream header (with a count for version 2 and above when count is not negative).
Bytes StreamHeader(std::uint16_t version, std::int64_t count = -1, std::uint16_t fifthUnit = u' ');
// A chunk with its size taken from the body, or the given size.
Bytes Chunk(std::int32_t type, const Bytes& body);
Bytes ChunkSized(std::int32_t type, std::int32_t size, const Bytes& body);
// Base chunk bodies: version 2 (17 bytes) and versions 0 and 1 (12 bytes), children appended.
Bytes Base2(std::uint32_t childCount, std::uint32_t height, std::uint16_t states, const Bytes& children = {},
            std::uint8_t checkState = 0, std::uint8_t checkType = 0);
Bytes Base1(std::uint32_t childCount, std::uint32_t height, std::uint8_t states, const Bytes& children = {});
// A node chunk holding the sub-chunks.
Bytes NodeChunkOf(std::initializer_list<Bytes> subChunks);
// A node chunk with a version-2 base chunk and no children.
Bytes LeafNode(std::uint16_t states = nsVisible | nsInitialized, std::uint32_t height = 18);

Bytes Cut(Bytes bytes, std::size_t count); // without its last count bytes
void Fill(TMemoryStream& stream, const Bytes& bytes);
Bytes Content(const TMemoryStream& stream);

// A tree whose nodes carry a 4-byte id, saved in user chunks and read back from them. Nodes freed while
// initialised are counted.
class IdTree : public TBaseVirtualTree {
public:
    IdTree();
    ~IdTree() override;
    std::uint32_t& Id(PVirtualNode node) { return *static_cast<std::uint32_t*>(GetNodeData(node)); }
    PVirtualNode Add(PVirtualNode parent, std::uint32_t id);
    int freed = 0;
    int copiedNil = 0;

private:
    void Save(TBaseVirtualTree&, PVirtualNode node, TStream& stream);
    void Load(TBaseVirtualTree&, PVirtualNode node, TStream& stream);
    void Free(TBaseVirtualTree&, PVirtualNode) { ++freed; }
    void Copied(TBaseVirtualTree&, PVirtualNode node) { copiedNil += node == nullptr; }
};

// A descendant with a caption chunk, through the hooks the string tree uses. A node's caption lives in its
// data (a slot number after the id), as an owner keeps what it reads.
class CaptionTree : public IdTree {
public:
    CaptionTree() { SetNodeDataSize(8); }
    std::wstring Caption(PVirtualNode node);
    void SetCaption(PVirtualNode node, const std::wstring& text);
    // One caption per node in tree order.
    std::string DescribeCaptions();

protected:
    void WriteChunks(TStream& stream, PVirtualNode node) override;
    bool ReadChunk(TStream& stream, int version, PVirtualNode node, std::int32_t chunkType,
                   std::int32_t chunkSize) override;

private:
    std::uint32_t& Slot(PVirtualNode node) { return static_cast<std::uint32_t*>(GetNodeData(node))[1]; }
    std::vector<std::wstring> texts_;
};

// One line per node in tree order: level, id, states, height, align, check state and type, child count.
std::string Describe(IdTree& tree);

// The fixture tree of the round trips: nested, collapsed and expanded, an uninitialised node, a hidden node,
// a checked node with its own height, and two selected nodes.
void BuildFixture(IdTree& tree);

} // namespace tarvola::test
