// Writing node streams, the chunk helpers of descendants, and loading a whole stream or file.
#include "tree/NodeStream.h"

#include "audio/Streams.h"
#include "base/ByteOrder.h"
#include "base/Numerics.h"
#include "tree/NodeStreamReader.h"
#include "tree/TreeGuards.h"
#include "tree/VirtualTreeError.h"
#include "tree/VirtualTrees.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

namespace tarvola {

namespace {

constexpr std::uint16_t HeaderUnits[6] = {0x2045, u'V', u'T', NodeStreamVersion, u' ', 0x2046};

void WriteU32(TStream& stream, std::uint32_t value) {
    std::uint8_t bytes[4];
    PutLE<std::uint32_t>(bytes, value);
    stream.WriteBuffer(bytes, 4);
}

void WriteStreamHeader(TStream& stream) {
    std::uint8_t bytes[NodeStreamHeaderSize];
    for (int i = 0; i < 6; ++i)
        PutLE<std::uint16_t>(bytes + 2 * i, HeaderUnits[i]);
    stream.WriteBuffer(bytes, NodeStreamHeaderSize);
}

// The header's version; unit 4 may hold anything.
int ReadStreamHeader(TStream& stream) {
    if (stream.Size() - stream.Position() < NodeStreamHeaderSize)
        RaiseVirtualTreeError(vteStreamTooShort);
    std::uint8_t bytes[NodeStreamHeaderSize];
    stream.ReadBuffer(bytes, NodeStreamHeaderSize);
    for (int i : {0, 1, 2, 5})
        if (GetLE<std::uint16_t>(bytes + 2 * i) != HeaderUnits[i])
            RaiseVirtualTreeError(vteStreamFormat);
    const int version = GetLE<std::uint16_t>(bytes + 6);
    if (version > NodeStreamVersion)
        RaiseVirtualTreeError(vteStreamVersion);
    return version;
}

std::uint32_t ReadTopLevelCount(TStream& stream, int version) {
    if (version < 2)
        return std::numeric_limits<std::int32_t>::max(); // up to the end of the stream
    if (stream.Size() - stream.Position() < 4)
        RaiseVirtualTreeError(vteStreamTooShort);
    std::uint8_t bytes[4];
    stream.ReadBuffer(bytes, 4);
    return GetLE<std::uint32_t>(bytes);
}

// A UTF-16 name as a path: native on Windows; elsewhere the wide units are code points, handed over as UTF-8.
std::filesystem::path PathOf(const std::wstring& fileName) {
#ifdef _WIN32
    return std::filesystem::path(fileName);
#else
    std::u8string utf8;
    for (wchar_t unit : fileName) {
        const auto code = static_cast<std::uint32_t>(unit);
        auto put = [&](std::uint32_t bits) { utf8.push_back(static_cast<char8_t>(bits)); };
        if (code < 0x80) {
            put(code);
        } else if (code < 0x800) {
            put(0xC0 | (code >> 6));
            put(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            put(0xE0 | (code >> 12));
            put(0x80 | ((code >> 6) & 0x3F));
            put(0x80 | (code & 0x3F));
        } else {
            put(0xF0 | (code >> 18));
            put(0x80 | ((code >> 12) & 0x3F));
            put(0x80 | ((code >> 6) & 0x3F));
            put(0x80 | (code & 0x3F));
        }
    }
    return std::filesystem::path(utf8);
#endif
}

} // namespace

void WriteChunkHeader(TStream& stream, std::int32_t chunkType, std::int32_t chunkSize) {
    std::uint8_t bytes[ChunkHeaderSize];
    PutLE<std::int32_t>(bytes, chunkType);
    PutLE<std::int32_t>(bytes + 4, chunkSize);
    stream.WriteBuffer(bytes, ChunkHeaderSize);
}

void WriteCaptionChunk(TStream& stream, const std::wstring& text) {
    if (text.empty())
        return;
    const std::int32_t size = CheckedCast<std::int32_t>(CheckedMul<std::uint64_t>(text.size(), 2));
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    for (std::size_t i = 0; i < text.size(); ++i)
        PutLE<std::uint16_t>(bytes.data() + 2 * i, static_cast<std::uint16_t>(text[i]));
    WriteChunkHeader(stream, CaptionChunk, size);
    stream.WriteBuffer(bytes.data(), size);
}

std::wstring ReadCaptionText(TStream& stream, std::int32_t chunkSize) {
    if (chunkSize < 2)
        return {};
    const std::size_t units = static_cast<std::size_t>(chunkSize) / 2;
    if (stream.Size() - stream.Position() < static_cast<std::int64_t>(units * 2))
        RaiseVirtualTreeError(vteStreamTooShort);
    std::vector<std::uint8_t> bytes(units * 2);
    stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    std::wstring text(units, L'\0');
    for (std::size_t i = 0; i < units; ++i)
        text[i] = static_cast<wchar_t>(GetLE<std::uint16_t>(bytes.data() + 2 * i));
    return text;
}

// --- Writing

// The count goes in last, so that it always matches the node chunks written, whatever initialising them
// did to the tree.
void TBaseVirtualTree::SaveToStream(TStream& stream, PVirtualNode node) {
    WriteStreamHeader(stream);
    const std::int64_t countPosition = stream.Position();
    WriteU32(stream, 0);
    std::uint32_t written = 0;
    if (node != nullptr && node != root_) {
        WriteNode(stream, node);
        written = 1;
    } else {
        for (PVirtualNode child = root_->FirstChild; child != nullptr; child = child->NextSibling) {
            WriteNode(stream, child);
            ++written;
        }
    }
    const std::int64_t end = stream.Position();
    stream.SetPosition(countPosition);
    WriteU32(stream, written);
    stream.SetPosition(end);
}

void TBaseVirtualTree::WriteNode(TStream& stream, PVirtualNode node) {
    TreeAssert(node != nullptr, "Node must not be nil.");
    if (Options.InitOnSave) {
        if ((node->States & nsInitialized) == 0)
            InitNode(node);
        if ((node->States & nsHasChildren) != 0 && node->ChildCount == 0)
            InitChildren(node);
    }
    const std::int64_t start = stream.Position();
    WriteChunkHeader(stream, NodeChunk, 0);
    WriteChunks(stream, node);
    FinishChunkHeader(stream, start, stream.Position());
}

// The base chunk's child count is the number of child chunks it holds: an uninitialised node's children
// are not written, so it says 0 (a count without its chunks would make a reader take the following nodes
// for children).
void TBaseVirtualTree::WriteChunks(TStream& stream, PVirtualNode node) {
    const std::int64_t start = stream.Position();
    WriteChunkHeader(stream, BaseChunk, 0);
    std::uint8_t body[BaseChunkBodySize] = {};
    PutLE<std::uint32_t>(body + 4, node->NodeHeight);
    PutLE<std::uint16_t>(body + 8, static_cast<std::uint16_t>(node->States & ~NodeStreamWriteMask));
    body[10] = node->Align;
    body[11] = node->CheckState;
    body[12] = node->CheckType;
    stream.WriteBuffer(body, BaseChunkBodySize);
    std::uint32_t children = 0;
    if ((node->States & nsInitialized) != 0)
        for (PVirtualNode child = node->FirstChild; child != nullptr; child = child->NextSibling) {
            WriteNode(stream, child);
            ++children;
        }
    const std::int64_t end = stream.Position();
    stream.SetPosition(start + ChunkHeaderSize);
    WriteU32(stream, children);
    FinishChunkHeader(stream, start, end);

    // The owner writes into a stream of its own, so that nothing of an empty user chunk is left behind.
    TMemoryStream user;
    DoSaveNode(node, user);
    if (user.Size() > 0) {
        WriteChunkHeader(stream, UserChunk, CheckedCast<std::int32_t>(user.Size()));
        stream.WriteBuffer(user.Memory(), user.Size());
    }
}

void TBaseVirtualTree::FinishChunkHeader(TStream& stream, std::int64_t startPos, std::int64_t endPos) {
    const std::int32_t size = CheckedCast<std::int32_t>(endPos - startPos - ChunkHeaderSize);
    stream.SetPosition(startPos + 4);
    std::uint8_t bytes[4];
    PutLE<std::int32_t>(bytes, size);
    stream.WriteBuffer(bytes, 4);
    stream.SetPosition(endPos);
}

void TBaseVirtualTree::DoSaveNode(PVirtualNode node, TStream& stream) {
    if (OnSaveNode)
        OnSaveNode(*this, Published(node), stream);
}

// --- Loading

// The whole stream is read before the tree changes, so that a stream that cannot be read leaves the nodes
// the tree had.
void TBaseVirtualTree::LoadFromStream(TStream& stream) {
    if (Options.ReadOnly)
        return;
    UpdateGuard update(*this);
    const int version = ReadStreamHeader(stream);
    std::uint32_t count = ReadTopLevelCount(stream, version);
    TNodeStreamReader reader(*this, stream, version);
    while (stream.Position() < stream.Size() && count > 0) {
        --count;
        reader.ReadStaged();
    }
    Clear();
    const std::vector<PVirtualNode> tops = reader.Release();
    for (PVirtualNode top : tops)
        ConnectNode(top, root_, *this, TVTNodeAttachMode::amAddChildLast);
    InvalidateCache();
    MergeLoadedSelection(tops);
    DoNodeCopied(nullptr);
}

// The file is read whole before it is parsed, so that a writer elsewhere cannot change it under the reader.
void TBaseVirtualTree::LoadFromFile(const std::wstring& fileName) {
    if (Options.ReadOnly)
        return;
    const std::filesystem::path path = PathOf(fileName);
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::error_code error;
        throw FileOpenError("The tree file cannot be opened.", !std::filesystem::exists(path, error));
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad())
        throw StreamError("The tree file cannot be read.");
    TMemoryStream stream;
    if (!bytes.empty())
        stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    LoadFromStream(stream);
}

} // namespace tarvola
