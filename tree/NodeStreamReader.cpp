// Reading node chunks: the reader's loop over staged nodes, the base reading hook, and how the nodes read
// join the tree (into an existing node or under the root) with their selection.
#include "tree/NodeStreamReader.h"

#include "audio/Streams.h"
#include "base/ByteOrder.h"
#include "base/Numerics.h"
#include "tree/VirtualTreeError.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tarvola {

TNodeStreamReader::TNodeStreamReader(TBaseVirtualTree& tree, TStream& stream, int version)
    : tree_(tree), stream_(stream), version_(version), streamSize_(stream.Size()) {
    holder_.Parent = reinterpret_cast<PVirtualNode>(&tree);
    holder_.PrevSibling = &holder_;
    holder_.NextSibling = &holder_;
}

TNodeStreamReader::~TNodeStreamReader() {
    FreeStaged();
}

PVirtualNode TNodeStreamReader::ReadStaged(PVirtualNode hookNode) {
    PVirtualNode top = NewStagedNode();
    top->Parent = &holder_;
    staged_.push_back(top);
    // A top that stands for another node (the root) was never shown to the owner: it goes without OnFreeNode.
    auto quietTop = [&] {
        if (hookNode != nullptr)
            top->States &= ~(nsInitialized | nsInitialUserData);
    };
    try {
        OpenNodeChunk(top, hookNode != nullptr ? hookNode : top, streamSize_);
        while (!frames_.empty())
            Step();
    } catch (const StreamError&) {
        // A hook read past the stream's end.
        frames_.clear();
        quietTop();
        RaiseVirtualTreeError(vteStreamTooShort);
    } catch (const OverflowError&) {
        // Totals beyond 32 bits: no tree holds that many rows.
        frames_.clear();
        quietTop();
        RaiseVirtualTreeError(vteStreamDataAfterNode);
    } catch (...) {
        frames_.clear();
        quietTop();
        throw;
    }
    return top;
}

std::vector<PVirtualNode> TNodeStreamReader::Release() {
    for (PVirtualNode top : staged_)
        top->Parent = nullptr;
    return std::exchange(staged_, {});
}

void TNodeStreamReader::FreeStaged() noexcept {
    for (PVirtualNode top : staged_)
        FreeSubtree(top);
    staged_.clear();
}

PVirtualNode TNodeStreamReader::NewStagedNode() {
    return tree_.MakeNewNode();
}

void TNodeStreamReader::LinkStagedChild(PVirtualNode parent, PVirtualNode child) {
    child->Index = parent->LastChild != nullptr ? parent->LastChild->Index + 1 : 0;
    child->Parent = parent;
    child->PrevSibling = parent->LastChild;
    if (parent->LastChild != nullptr)
        parent->LastChild->NextSibling = child;
    else
        parent->FirstChild = child;
    parent->LastChild = child;
    parent->ChildCount = CheckedAdd(parent->ChildCount, std::uint32_t{1});
}

// One step: open the next child, close a base chunk's children, read a sub-chunk, or close a node chunk.
void TNodeStreamReader::Step() {
    Frame& frame = frames_.back();
    if (frame.childrenEnd >= 0) {
        if (frame.childrenDue > 0) {
            if (frames_.size() >= MaxNodeStreamDepth)
                RaiseVirtualTreeError(vteStreamNodeMissing);
            --frame.childrenDue;
            const std::int64_t childrenEnd = frame.childrenEnd;
            PVirtualNode child = NewStagedNode();
            LinkStagedChild(frame.node, child);
            OpenNodeChunk(child, child, childrenEnd); // frame is no longer valid after this
            return;
        }
        // The base chunk holds its announced children and nothing else.
        if (stream_.Position() != frame.childrenEnd)
            RaiseVirtualTreeError(vteStreamDataAfterNode);
        frame.childrenEnd = -1;
        return;
    }
    if (stream_.Position() < frame.end) {
        ReadSubChunk(frame);
        return;
    }
    if (stream_.Position() != frame.end)
        RaiseVirtualTreeError(vteStreamDataAfterNode);
    FinishStagedNode(frame.node);
    frames_.pop_back();
}

void TNodeStreamReader::OpenNodeChunk(PVirtualNode node, PVirtualNode hookNode, std::int64_t enclosingEnd) {
    const ChunkHeader header = ReadChunkHeader(enclosingEnd);
    if (header.type != NodeChunk)
        RaiseVirtualTreeError(vteStreamNodeMissing);
    frames_.push_back({node, hookNode, stream_.Position() + header.size, -1, 0});
}

// A chunk header whose chunk lies within enclosingEnd: data cut off by the stream's end gives 2004, sizes
// that are negative or pass the enclosing chunk give 2006.
TNodeStreamReader::ChunkHeader TNodeStreamReader::ReadChunkHeader(std::int64_t enclosingEnd) {
    const std::int64_t position = stream_.Position();
    if (position + ChunkHeaderSize > streamSize_)
        RaiseVirtualTreeError(vteStreamTooShort);
    if (position + ChunkHeaderSize > enclosingEnd)
        RaiseVirtualTreeError(vteStreamDataAfterNode);
    std::uint8_t bytes[ChunkHeaderSize];
    ReadExactly(bytes, ChunkHeaderSize);
    const ChunkHeader header{GetLE<std::int32_t>(bytes), GetLE<std::int32_t>(bytes + 4)};
    const std::int64_t end = position + ChunkHeaderSize + header.size;
    if (header.size < 0)
        RaiseVirtualTreeError(vteStreamDataAfterNode);
    if (end > streamSize_)
        RaiseVirtualTreeError(vteStreamTooShort);
    if (end > enclosingEnd)
        RaiseVirtualTreeError(vteStreamDataAfterNode);
    return header;
}

void TNodeStreamReader::ReadSubChunk(Frame& frame) {
    const ChunkHeader header = ReadChunkHeader(frame.end);
    if (header.type == BaseChunk)
        ReadBaseChunk(frame, header.size);
    else
        ReadHookChunk(frame, header);
}

void TNodeStreamReader::ReadBaseChunk(Frame& frame, std::int64_t size) {
    const std::int64_t end = stream_.Position() + size;
    const std::int64_t bodySize = version_ >= 2 ? BaseChunkBodySize : OldBaseChunkBodySize;
    if (size < bodySize)
        RaiseVirtualTreeError(vteStreamDataAfterNode);
    std::uint8_t body[BaseChunkBodySize] = {};
    ReadExactly(body, bodySize);
    const std::uint32_t childCount = GetLE<std::uint32_t>(body);
    const std::uint32_t height = GetLE<std::uint32_t>(body + 4);
    std::uint16_t states;
    const std::uint8_t* rest;
    if (version_ >= 2) {
        states = GetLE<std::uint16_t>(body + 8);
        rest = body + 10;
    } else {
        // The old state byte: its top bit was the selection; every node of those streams is visible.
        states = body[8];
        states |= (body[8] & 0x80) != 0 ? nsSelected : nsVisible;
        rest = body + 9;
    }
    const std::uint8_t align = rest[0];
    const std::uint8_t checkState = rest[1];
    const std::uint8_t checkType = rest[2];
    // Every child needs a chunk header at least, so a count the chunk cannot hold is refused before any
    // child is made.
    if (height > 0xFFFF || checkState > static_cast<std::uint8_t>(TCheckState::csMixedPressed) ||
        checkType > static_cast<std::uint8_t>(TCheckType::ctButton) ||
        childCount > static_cast<std::uint64_t>(size - bodySize) / ChunkHeaderSize)
        RaiseVirtualTreeError(vteStreamDataAfterNode);
    PVirtualNode node = frame.node;
    node->States = static_cast<std::uint16_t>(states & ~NodeStreamReadMask);
    node->NodeHeight = static_cast<std::uint16_t>(height);
    node->Align = align;
    node->CheckState = checkState;
    node->CheckType = checkType;
    frame.childrenEnd = end;
    frame.childrenDue = childCount;
}

// A chunk for the hooks: whatever they read, the reader goes on at the chunk's end.
void TNodeStreamReader::ReadHookChunk(const Frame& frame, const ChunkHeader& header) {
    const std::int64_t end = stream_.Position() + header.size;
    tree_.ReadChunk(stream_, version_, frame.hookNode, header.type, header.size);
    stream_.SetPosition(end);
}

void TNodeStreamReader::ReadExactly(void* buffer, std::int64_t count) {
    if (stream_.Read(buffer, count) != count)
        RaiseVirtualTreeError(vteStreamTooShort);
}

// The totals and the hidden-children flag from the node's children, once they are all read.
void TNodeStreamReader::FinishStagedNode(PVirtualNode node) {
    std::uint32_t count = 1;
    std::uint32_t height = node->NodeHeight;
    const bool expanded = (node->States & nsExpanded) != 0;
    for (PVirtualNode child = node->FirstChild; child != nullptr; child = child->NextSibling) {
        count = CheckedAdd(count, child->TotalCount);
        if (expanded && (child->States & nsVisible) != 0)
            height = CheckedAdd(height, child->TotalHeight);
    }
    node->TotalCount = count;
    node->TotalHeight = height;
    if (node->FirstChild != nullptr)
        node->States |= nsHasChildren;
    tree_.DetermineHiddenChildrenFlag(node);
}

// Frees a staged subtree leaves first, without recursion.
void TNodeStreamReader::FreeSubtree(PVirtualNode top) noexcept {
    PVirtualNode node = top;
    for (;;) {
        while (node->FirstChild != nullptr)
            node = node->FirstChild;
        PVirtualNode parent = node == top ? nullptr : node->Parent;
        PVirtualNode next = nullptr;
        if (parent != nullptr) {
            parent->FirstChild = node->NextSibling;
            if (node->NextSibling == nullptr)
                parent->LastChild = nullptr;
            next = node->NextSibling != nullptr ? node->NextSibling : parent;
        }
        node->Parent = nullptr;
        node->NextSibling = nullptr;
        try {
            tree_.DoFreeNode(node);
        } catch (...) {
            // The read's own error is the one to report.
        }
        if (next == nullptr)
            return;
        node = next;
    }
}

// --- The tree's side

bool TBaseVirtualTree::ReadChunk(TStream& stream, int, PVirtualNode node, std::int32_t chunkType,
                                 std::int32_t chunkSize) {
    if (chunkType != UserChunk) {
        if (chunkSize > 0)
            stream.SetPosition(stream.Position() + chunkSize);
        return false;
    }
    if (chunkSize < 1)
        return true;
    const std::int64_t start = stream.Position();
    DoLoadNode(node, stream);
    const bool advanced = stream.Position() > start;
    if (stream.Position() != start + chunkSize)
        stream.SetPosition(start + chunkSize);
    return advanced;
}

void TBaseVirtualTree::DoLoadNode(PVirtualNode node, TStream& stream) {
    if (OnLoadNode)
        OnLoadNode(*this, Published(node), stream);
}

void TBaseVirtualTree::ReadNode(TStream& stream, int version, PVirtualNode node) {
    if (version < 0 || version > NodeStreamVersion)
        RaiseVirtualTreeError(vteStreamVersion);
    node = node == nullptr ? root_ : node;
    TNodeStreamReader reader(*this, stream, version);
    PVirtualNode staged = reader.ReadStaged(node == root_ ? root_ : nullptr);
    reader.Release();
    AdoptStagedNode(staged, node);
}

void TBaseVirtualTree::AddNodesFromStream(TStream& stream, int version, PVirtualNode node) {
    node = node == nullptr ? root_ : node;
    PVirtualNode lastBefore = node->LastChild;
    ReadNode(stream, version, node);
    std::vector<PVirtualNode> tops;
    if (node == root_) {
        for (PVirtualNode child = lastBefore != nullptr ? lastBefore->NextSibling : root_->FirstChild;
             child != nullptr; child = child->NextSibling)
            tops.push_back(child);
    } else {
        tops.push_back(node);
    }
    InvalidateCache();
    MergeLoadedSelection(tops);
    if (updateCount_ == 0) {
        ValidateCache();
        Host().UpdateScrollBars(true);
        Host().InvalidateAll();
    }
}

void TBaseVirtualTree::SkipNode(TStream& stream) {
    const std::int64_t rest = stream.Size() - stream.Position();
    if (rest < ChunkHeaderSize)
        RaiseVirtualTreeError(vteStreamTooShort);
    std::uint8_t bytes[ChunkHeaderSize];
    stream.ReadBuffer(bytes, ChunkHeaderSize);
    if (GetLE<std::int32_t>(bytes) != NodeChunk)
        RaiseVirtualTreeError(vteStreamNodeMissing);
    const std::int32_t size = GetLE<std::int32_t>(bytes + 4);
    if (size < 0)
        RaiseVirtualTreeError(vteStreamDataAfterNode);
    if (size > rest - ChunkHeaderSize)
        RaiseVirtualTreeError(vteStreamTooShort);
    stream.SetPosition(stream.Position() + size);
}

void TBaseVirtualTree::MoveStagedChildren(PVirtualNode staged, PVirtualNode node) {
    // Checked before anything moves, so that an overflow leaves both sides whole.
    const std::uint32_t childCount = CheckedAdd(node->ChildCount, staged->ChildCount);
    AdjustTotalCount(node, static_cast<std::int64_t>(staged->TotalCount) - 1, true);
    std::uint32_t index = node->LastChild != nullptr ? node->LastChild->Index + 1 : 0;
    for (PVirtualNode child = staged->FirstChild; child != nullptr;) {
        PVirtualNode next = child->NextSibling;
        child->Index = index++;
        child->Parent = node;
        child->PrevSibling = node->LastChild;
        child->NextSibling = nullptr;
        if (node->LastChild != nullptr)
            node->LastChild->NextSibling = child;
        else
            node->FirstChild = child;
        node->LastChild = child;
        child = next;
    }
    node->ChildCount = childCount;
    if (node->FirstChild != nullptr)
        node->States |= nsHasChildren;
    staged->FirstChild = nullptr;
    staged->LastChild = nullptr;
    staged->ChildCount = 0;
    staged->TotalCount = 1;
}

void TBaseVirtualTree::AdoptStagedNode(PVirtualNode staged, PVirtualNode node) {
    InterruptValidation();
    if (node == root_) {
        PVirtualNode first = staged->FirstChild;
        MoveStagedChildren(staged, root_);
        std::int64_t height = 0;
        std::uint32_t rows = 0;
        for (PVirtualNode child = first; child != nullptr; child = child->NextSibling)
            if ((child->States & nsVisible) != 0) {
                height += child->TotalHeight;
                rows = CheckedAdd(rows, 1 + CountVisibleChildren(child));
            }
        AdjustTotalHeight(root_, height, true);
        visibleCount_ = CheckedAdd(visibleCount_, rows);
        FreeNodeMemory(staged);
        return;
    }
    const std::uint32_t rowsBefore = FullyVisible(node) ? 1 + CountVisibleChildren(node) : 0;
    // The node's rows leave its ancestors' totals, and come back below with its new visibility and height.
    AdjustTotalHeight(node, 0, false);
    const std::uint16_t kept = node->States & (nsSelected | nsCutOrCopy);
    node->States = static_cast<std::uint16_t>(staged->States | kept);
    node->NodeHeight = staged->NodeHeight;
    node->Align = staged->Align;
    node->CheckState = staged->CheckState;
    node->CheckType = staged->CheckType;
    std::memcpy(reinterpret_cast<std::byte*>(node) + HeaderSize(),
                reinterpret_cast<std::byte*>(staged) + HeaderSize(),
                UserDataOffset() - HeaderSize() + static_cast<std::size_t>(std::max(nodeDataSize_, 0)));
    MoveStagedChildren(staged, node);
    FreeNodeMemory(staged);
    std::int64_t height = node->NodeHeight;
    if ((node->States & nsExpanded) != 0)
        for (PVirtualNode child = node->FirstChild; child != nullptr; child = child->NextSibling)
            if ((child->States & nsVisible) != 0)
                height += child->TotalHeight;
    AdjustTotalHeight(node, height, false);
    const std::uint32_t rowsAfter = FullyVisible(node) ? 1 + CountVisibleChildren(node) : 0;
    visibleCount_ = CheckedAdd(CheckedSub(visibleCount_, rowsBefore), rowsAfter);
    DetermineHiddenChildrenFlag(node);
    if (node->Parent != nullptr && node->Parent != root_)
        DetermineHiddenChildrenFlag(node->Parent);
}

void TBaseVirtualTree::MergeLoadedSelection(const std::vector<PVirtualNode>& tops) {
    std::vector<PVirtualNode> selected;
    for (PVirtualNode top : tops) {
        for (PVirtualNode node = top; node != nullptr;) {
            std::size_t index;
            if ((node->States & nsSelected) != 0 && !selection_.Find(node, index)) {
                if (Options.MultiSelect)
                    selected.push_back(node);
                else
                    node->States &= ~nsSelected;
            }
            if (node->FirstChild != nullptr) {
                node = node->FirstChild;
                continue;
            }
            while (node != top && node->NextSibling == nullptr)
                node = node->Parent;
            node = node == top ? nullptr : node->NextSibling;
        }
    }
    if (!selected.empty())
        AddArrayToSelection(std::move(selected), true);
}

} // namespace tarvola
