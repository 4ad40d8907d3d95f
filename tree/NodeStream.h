// The node stream: the tree's nodes, or one node with its subtree, as nested little-endian chunks.
//
// Layout. A stream starts with a 12-byte header of six UTF-16LE units, U+2045 "V" "T" <version> <any unit>
// U+2046; version 2 adds a u32 count of top-level node chunks, versions 0 and 1 read node chunks up to the
// end of the stream. Every chunk is an i32 type and an i32 size (the bytes that follow the 8-byte chunk
// header):
//   1 node chunk     the node's sub-chunks, in any order
//   2 base chunk     the node's record (17 bytes in version 2, 12 in versions 0 and 1), then its children's
//                    node chunks, nested inside the base chunk
//   3 caption chunk  the node's main-column text as UTF-16LE units, no terminator (written by the string
//   tree) 4 user chunk     what the owner's OnSaveNode handler wrote; read back by its OnLoadNode handler
// Writers put the base chunk first, then the user chunk (only when the owner wrote something), then the
// caption. Readers skip chunk types they do not handle. The clipboard and drag format carries the same node
// chunks without the header and count, read as version 2.
//
// Streams arrive from other programs, so the reader trusts no number in them: every size must fit the chunk
// that encloses it, a base chunk must hold exactly the children it announces, nesting is bounded by
// MaxNodeStreamDepth and is read without recursion, and internal state bits are cleared. Whatever is wrong
// raises EVirtualTreeError (2004 to 2006) and leaves the tree as it was: a stream is read into detached nodes
// first, and they join the tree only once the whole stream (or node chunk) has been read.
//
// Extending the format (the string tree's caption, for example). A descendant overrides the two hooks of
// TBaseVirtualTree:
//   - WriteChunks(stream, node): call the inherited WriteChunks first (it writes the base chunk with the
//     children, and the user chunk), then append own chunks; WriteCaptionChunk writes a caption chunk.
//   - ReadChunk(stream, version, node, chunkType, chunkSize): handle own chunk types and return true, and
//     hand every other type to the inherited ReadChunk. When it is called, the chunk's chunkSize bytes
//     (chunkSize >= 0) lie within the stream and the enclosing chunk, and the stream stands at their start.
//     The reader moves to the chunk's end afterwards, however much the hook read; ReadCaptionText reads a
//     caption chunk's text (an odd last byte is ignored). The base chunk never reaches ReadChunk: the reader
//     handles it itself, since it carries the nesting.
// While a stream is read, the node the hooks (ReadChunk, OnLoadNode, and through them OnNewText) receive is
// still detached: it belongs to this tree (TreeFromNode works, GetNodeLevel counts from the future top), is
// invisible, and is not yet linked where it will go. A hook keeps what it learns in the node's data areas;
// the data of a node chunk read into an existing node (AddNodesFromStream) is copied into that node on
// success, so a hook must not remember the node's address. When the read fails, the detached nodes are freed
// through OnFreeNode like any other node.
#pragma once

#include "tree/Delegate.h"
#include "tree/TreeTypes.h"

#include <cstdint>
#include <string>

namespace tarvola {

class TStream;

// OnSaveNode writes the owner's bytes for a node (nil for the root) into the stream it is given, which
// becomes the user chunk's body; OnLoadNode reads them back from the stream, which stands at the user
// chunk's body. A handler that reads too little or too much does no harm: the reader moves on to the chunk's
// end.
using TVTSaveNodeEvent = Delegate<void(TBaseVirtualTree&, PVirtualNode, TStream&)>;

// The format version written, and the highest one read.
constexpr std::uint16_t NodeStreamVersion = 2;

// Chunk types.
enum : std::int32_t {
    NodeChunk = 1,
    BaseChunk = 2,
    CaptionChunk = 3,
    UserChunk = 4,
};

constexpr std::int64_t NodeStreamHeaderSize = 12;
constexpr std::int64_t ChunkHeaderSize = 8;
// The base chunk's record before the children: version 2, and versions 0 and 1.
constexpr std::int64_t BaseChunkBodySize = 17;
constexpr std::int64_t OldBaseChunkBodySize = 12;

// Node state bits that describe an operation in progress, not the node: cleared on writing (the stored
// layout) and on reading (with the two transient bits the stored layout never had set).
constexpr std::uint16_t NodeStreamWriteMask =
    nsChecking | nsCutOrCopy | nsDeleting | nsInitialUserData | nsHeightMeasured;
constexpr std::uint16_t NodeStreamReadMask = NodeStreamWriteMask | nsClearing | nsToggling;

// The deepest nesting a stream may hold, counted from the node chunk read (1) down. Far beyond any folder
// hierarchy (a path of 260 characters holds at most 130 levels), and shallow enough that the tree's own
// recursive walks over the loaded nodes (deletion, counting) stay well within a thread's stack.
constexpr std::uint32_t MaxNodeStreamDepth = 1000;

// Writes a chunk header.
void WriteChunkHeader(TStream& stream, std::int32_t chunkType, std::int32_t chunkSize);

// Writes a caption chunk holding text; nothing for an empty text.
void WriteCaptionChunk(TStream& stream, const std::wstring& text);

// Reads the text of a caption chunk of chunkSize bytes standing at the stream's position: chunkSize div 2
// code units. Raises EVirtualTreeError 2004 when the stream holds fewer bytes.
std::wstring ReadCaptionText(TStream& stream, std::int32_t chunkSize);

} // namespace tarvola
