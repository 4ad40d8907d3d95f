// The node stream's reader: reads node chunks into detached nodes ("staged" nodes) without recursion,
// checking every size against the chunk that encloses it. The tree takes the staged nodes only when the read
// succeeded; until then the reader owns them and frees them (through OnFreeNode) when it is dropped.
#pragma once

#include "tree/VirtualTrees.h"

#include <cstdint>
#include <vector>

namespace tarvola {

class TStream;

class TNodeStreamReader {
public:
    TNodeStreamReader(TBaseVirtualTree& tree, TStream& stream, int version);
    ~TNodeStreamReader();
    TNodeStreamReader(const TNodeStreamReader&) = delete;
    TNodeStreamReader& operator=(const TNodeStreamReader&) = delete;

    // Reads one node chunk into a new staged node and gives it. The hooks see hookNode for the chunk's own
    // node (the root, when the chunk is read into the root), or the staged node itself when hookNode is nil.
    // Raises EVirtualTreeError 2004 to 2006 (or what a hook raises).
    PVirtualNode ReadStaged(PVirtualNode hookNode = nullptr);
    // Hands the staged nodes over; the reader then owns none.
    std::vector<PVirtualNode> Release();
    // Frees the staged nodes now (firing OnFreeNode for initialised ones); what a handler raises is dropped.
    void FreeStaged() noexcept;

private:
    struct Frame {
        PVirtualNode node;
        PVirtualNode hookNode;
        std::int64_t end;          // the end of the node chunk
        std::int64_t childrenEnd;  // the end of the base chunk while its children are read, else -1
        std::uint32_t childrenDue; // children the base chunk announced and that are still to come
    };
    struct ChunkHeader {
        std::int32_t type;
        std::int32_t size;
    };

    PVirtualNode NewStagedNode();
    void LinkStagedChild(PVirtualNode parent, PVirtualNode child);
    void OpenNodeChunk(PVirtualNode node, PVirtualNode hookNode, std::int64_t enclosingEnd);
    ChunkHeader ReadChunkHeader(std::int64_t enclosingEnd);
    void ReadSubChunk(Frame& frame);
    void ReadBaseChunk(Frame& frame, std::int64_t size);
    void ReadHookChunk(const Frame& frame, const ChunkHeader& header);
    void ReadExactly(void* buffer, std::int64_t count);
    void FinishStagedNode(PVirtualNode node);
    void Step(); // one step of the reading loop
    void FreeSubtree(PVirtualNode node) noexcept;

    TBaseVirtualTree& tree_;
    TStream& stream_;
    int version_;
    std::int64_t streamSize_;
    // The record the staged top nodes hang under: a root record of this tree that is neither visible nor
    // expanded, so that walks up from a staged node end on it.
    TVirtualNode holder_{};
    std::vector<PVirtualNode> staged_;
    std::vector<Frame> frames_;
};

} // namespace tarvola
