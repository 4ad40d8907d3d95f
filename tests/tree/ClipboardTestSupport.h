// A stand-in for the node stream in clipboard tests: each node travels as a chunk holding its number (the
// node's data) and its children's chunks. Trees are built from and shown as text like "1(2,3),4".
#pragma once

#include "base/ByteOrder.h"
#include "tree/TreeClipboard.h"
#include "tree/VirtualTrees.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace tarvola::test {

// Chunk: u32 size of what follows, u32 number, u32 child count, the children's chunks.
class FakeNodeTransfer : public ITreeNodeTransfer {
public:
    void WriteNode(TBaseVirtualTree& tree, PVirtualNode node, std::vector<std::uint8_t>& out) override {
        const std::size_t start = out.size();
        out.resize(start + 12);
        PutLE<std::uint32_t>(out.data() + start + 4, static_cast<std::uint32_t>(Number(tree, node)));
        PutLE<std::uint32_t>(out.data() + start + 8, tree.ChildCount(node));
        for (PVirtualNode child = tree.GetFirstChild(node); child != nullptr;
             child = tree.GetNextSibling(child))
            WriteNode(tree, child, out);
        PutLE<std::uint32_t>(out.data() + start, static_cast<std::uint32_t>(out.size() - start - 4));
    }
    std::size_t ReadNode(TBaseVirtualTree& tree, std::span<const std::uint8_t> data,
                         PVirtualNode node) override {
        if (data.size() < 12)
            throw std::runtime_error("short chunk");
        const std::size_t size = GetLE<std::uint32_t>(data.data());
        if (size < 8 || size > data.size() - 4)
            throw std::runtime_error("bad chunk size");
        node->States |= nsInitialized;
        SetNumber(tree, node, static_cast<int>(GetLE<std::uint32_t>(data.data() + 4)));
        const std::uint32_t children = GetLE<std::uint32_t>(data.data() + 8);
        std::size_t offset = 12;
        for (std::uint32_t i = 0; i < children; ++i) {
            PVirtualNode child = tree.AddChild(node);
            child->States |= nsInitialized;
            offset += ReadNode(tree, data.subspan(offset, size + 4 - offset), child);
        }
        return size + 4;
    }

    static int Number(TBaseVirtualTree& tree, PVirtualNode node) {
        int value = 0;
        std::memcpy(&value, tree.GetNodeData(node), sizeof value);
        return value;
    }
    static void SetNumber(TBaseVirtualTree& tree, PVirtualNode node, int value) {
        std::memcpy(tree.GetNodeData(node), &value, sizeof value);
    }
};

// Adds a numbered node.
inline PVirtualNode AddNumbered(TBaseVirtualTree& tree, PVirtualNode parent, int number) {
    PVirtualNode node = tree.AddChild(parent);
    FakeNodeTransfer::SetNumber(tree, node, number);
    return node;
}

// The tree's numbers in tree order, children in parentheses: "1(2,3),4".
inline std::string Shape(TBaseVirtualTree& tree, PVirtualNode parent = nullptr) {
    std::string text;
    for (PVirtualNode node = tree.GetFirstChild(parent == nullptr ? tree.RootNode() : parent);
         node != nullptr; node = tree.GetNextSibling(node)) {
        if (!text.empty())
            text += ',';
        text += std::to_string(FakeNodeTransfer::Number(tree, node));
        if (tree.ChildCount(node) > 0)
            text += '(' + Shape(tree, node) + ')';
    }
    return text;
}

// A tree of numbered nodes with the fake transfer.
struct NumberedTree {
    FakeNodeTransfer transfer;
    TBaseVirtualTree tree;
    explicit NumberedTree(ITreeViewHost* host = nullptr) : tree(host) {
        tree.SetNodeDataSize(sizeof(int));
        tree.Clipboard().NodeTransfer = &transfer;
    }
    // Finds the node with a number.
    PVirtualNode Find(int number) {
        for (PVirtualNode node = tree.GetFirst(); node != nullptr; node = tree.GetNext(node))
            if (FakeNodeTransfer::Number(tree, node) == number)
                return node;
        return nullptr;
    }
};

} // namespace tarvola::test
