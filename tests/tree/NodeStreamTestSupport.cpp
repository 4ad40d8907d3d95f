#include "tests/tree/NodeStreamTestSupport.h"

#include "base/ByteOrder.h"

#include <cstdio>

namespace tarvola::test {

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes result;
    for (const Bytes& part : parts)
        result.insert(result.end(), part.begin(), part.end());
    return result;
}

Bytes U16(std::uint16_t value) {
    Bytes bytes(2);
    PutLE<std::uint16_t>(bytes.data(), value);
    return bytes;
}

Bytes U32(std::uint32_t value) {
    Bytes bytes(4);
    PutLE<std::uint32_t>(bytes.data(), value);
    return bytes;
}

Bytes StreamHeader(std::uint16_t version, std::int64_t count, std::uint16_t fifthUnit) {
    Bytes header = Join({U16(0x2045), U16(u'V'), U16(u'T'), U16(version), U16(fifthUnit), U16(0x2046)});
    if (count >= 0)
        header = Join({header, U32(static_cast<std::uint32_t>(count))});
    return header;
}

Bytes ChunkSized(std::int32_t type, std::int32_t size, const Bytes& body) {
    return Join({U32(static_cast<std::uint32_t>(type)), U32(static_cast<std::uint32_t>(size)), body});
}

Bytes Chunk(std::int32_t type, const Bytes& body) {
    return ChunkSized(type, static_cast<std::int32_t>(body.size()), body);
}

Bytes Base2(std::uint32_t childCount, std::uint32_t height, std::uint16_t states, const Bytes& children,
            std::uint8_t checkState, std::uint8_t checkType) {
    return Join(
        {U32(childCount), U32(height), U16(states), Bytes{50, checkState, checkType}, U32(0), children});
}

Bytes Base1(std::uint32_t childCount, std::uint32_t height, std::uint8_t states, const Bytes& children) {
    return Join({U32(childCount), U32(height), Bytes{states, 50, 0, 0}, children});
}

Bytes NodeChunkOf(std::initializer_list<Bytes> subChunks) {
    return Chunk(NodeChunk, Join(subChunks));
}

Bytes LeafNode(std::uint16_t states, std::uint32_t height) {
    return NodeChunkOf({Chunk(BaseChunk, Base2(0, height, states))});
}

Bytes Cut(Bytes bytes, std::size_t count) {
    bytes.resize(bytes.size() - count);
    return bytes;
}

void Fill(TMemoryStream& stream, const Bytes& bytes) {
    stream.Clear();
    if (!bytes.empty())
        stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
}

Bytes Content(const TMemoryStream& stream) {
    return Bytes(stream.Memory(), stream.Memory() + stream.Size());
}

IdTree::IdTree() {
    SetNodeDataSize(4);
    OnSaveNode = TVTSaveNodeEvent::Bind<&IdTree::Save>(this);
    OnLoadNode = TVTSaveNodeEvent::Bind<&IdTree::Load>(this);
    OnFreeNode = TVTNodeEvent::Bind<&IdTree::Free>(this);
    OnNodeCopied = TVTNodeEvent::Bind<&IdTree::Copied>(this);
}

// The base tree frees the nodes after this part of the object is gone.
IdTree::~IdTree() {
    OnFreeNode.Reset();
}

PVirtualNode IdTree::Add(PVirtualNode parent, std::uint32_t id) {
    PVirtualNode node = AddChild(parent);
    Id(node) = id;
    return node;
}

void IdTree::Save(TBaseVirtualTree&, PVirtualNode node, TStream& stream) {
    if (node != nullptr && Id(node) != 0)
        stream.WriteBuffer(&Id(node), 4);
}

void IdTree::Load(TBaseVirtualTree&, PVirtualNode node, TStream& stream) {
    if (node != nullptr)
        stream.Read(&Id(node), 4);
}

std::wstring CaptionTree::Caption(PVirtualNode node) {
    const std::uint32_t slot = Slot(node);
    return slot > 0 && slot <= texts_.size() ? texts_[slot - 1] : std::wstring();
}

void CaptionTree::SetCaption(PVirtualNode node, const std::wstring& text) {
    texts_.push_back(text);
    Slot(node) = static_cast<std::uint32_t>(texts_.size());
}

std::string CaptionTree::DescribeCaptions() {
    std::string text;
    for (PVirtualNode node = GetFirstNoInit(); node != nullptr; node = GetNextNoInit(node)) {
        for (wchar_t unit : Caption(node))
            text += std::to_string(static_cast<unsigned>(unit)) + " ";
        text += "\n";
    }
    return text;
}

void CaptionTree::WriteChunks(TStream& stream, PVirtualNode node) {
    IdTree::WriteChunks(stream, node);
    if (node != RootNode())
        WriteCaptionChunk(stream, Caption(node));
}

bool CaptionTree::ReadChunk(TStream& stream, int version, PVirtualNode node, std::int32_t chunkType,
                            std::int32_t chunkSize) {
    if (chunkType != CaptionChunk)
        return IdTree::ReadChunk(stream, version, node, chunkType, chunkSize);
    const std::wstring text = ReadCaptionText(stream, chunkSize);
    if (node != RootNode())
        SetCaption(node, text);
    return true;
}

std::string Describe(IdTree& tree) {
    std::string text;
    for (PVirtualNode node = tree.GetFirstNoInit(); node != nullptr; node = tree.GetNextNoInit(node)) {
        // The all-children-hidden flag means nothing on a node without children to come.
        std::uint16_t states = node->States;
        if ((states & nsHasChildren) == 0)
            states &= ~nsAllChildrenHidden;
        char line[160];
        std::snprintf(line, sizeof line, "%*sid=%u s=%04x h=%u a=%u c=%u/%u n=%u\n",
                      static_cast<int>(2 * TBaseVirtualTree::GetNodeLevel(node)), "",
                      static_cast<unsigned>(tree.Id(node)), static_cast<unsigned>(states),
                      static_cast<unsigned>(node->NodeHeight), static_cast<unsigned>(node->Align),
                      static_cast<unsigned>(node->CheckState), static_cast<unsigned>(node->CheckType),
                      static_cast<unsigned>(node->ChildCount));
        text += line;
    }
    return text;
}

void BuildFixture(IdTree& tree) {
    tree.Options.MultiSelect = true;
    PVirtualNode a = tree.Add(nullptr, 1);
    PVirtualNode a1 = tree.Add(a, 2);
    PVirtualNode a2 = tree.Add(a, 3);
    tree.Add(a2, 4);
    tree.Add(nullptr, 5); // never initialised
    PVirtualNode c = tree.Add(nullptr, 6);
    tree.ValidateNode(a1, false);
    tree.SetExpanded(a, true);
    tree.SetNodeHeight(c, 30);
    tree.SetCheckType(c, TCheckType::ctCheckBox);
    tree.SetCheckState(c, TCheckState::csCheckedNormal);
    tree.ValidateNode(c, false);
    tree.SetVisible(c, false);
    tree.AddToSelection(a1);
    tree.AddToSelection(a2);
}

} // namespace tarvola::test
