// The node stream reader's fuzz entry, shared by the libFuzzer target and the corrupt-stream tests. The first
// byte chooses the tree's options and the entry point (a whole load, or one node chunk read into a connected
// node in a given format version); the rest is the stream. Whatever is read must leave a sound tree; a stream
// refused must leave it as it was; a stream accepted must save and read back the same.
#pragma once

#include "tests/tree/NodeStreamTestSupport.h"
#include "tests/tree/TreeTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tarvola::test {

[[noreturn]] inline void FuzzFailure(const std::string& what) {
    std::fprintf(stderr, "node stream fuzz: %s\n", what.c_str());
    std::abort();
}

inline void FuzzNodeStreamReader(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return;
    const std::uint8_t mode = data[0];
    CaptionTree tree;
    tree.Options.MultiSelect = (mode & 1) != 0;
    PVirtualNode first = tree.Add(nullptr, 1);
    tree.Add(first, 2);
    tree.SetExpanded(first, (mode & 2) != 0);
    const bool intoNode = (mode & 4) != 0;
    PVirtualNode fresh = intoNode ? tree.Add(first, 3) : nullptr;
    const std::string before = Describe(tree);
    TMemoryStream stream;
    if (size > 1)
        stream.WriteBuffer(data + 1, static_cast<std::int64_t>(size - 1));
    stream.SetPosition(0);
    bool accepted = true;
    try {
        if (intoNode)
            tree.AddNodesFromStream(stream, (mode >> 3) % 3, fresh);
        else
            tree.LoadFromStream(stream);
    } catch (const EVirtualTreeError&) {
        accepted = false;
    }
    const std::string broken = TreeInvariantChecker::Check(tree);
    if (!broken.empty())
        FuzzFailure("the tree read is broken: " + broken);
    if (!accepted) {
        if (Describe(tree) != before)
            FuzzFailure("a refused stream changed the tree:\n" + before + "became\n" + Describe(tree));
        return;
    }
    TMemoryStream again;
    tree.SaveToStream(again);
    again.SetPosition(0);
    CaptionTree copy;
    copy.Options.MultiSelect = tree.Options.MultiSelect;
    copy.LoadFromStream(again);
    if (Describe(copy) != Describe(tree))
        FuzzFailure("the tree read back differs:\n" + Describe(tree) + "became\n" + Describe(copy));
    if (copy.DescribeCaptions() != tree.DescribeCaptions())
        FuzzFailure("the captions read back differ");
    if (!TreeInvariantChecker::Check(copy).empty())
        FuzzFailure("the tree read back is broken: " + TreeInvariantChecker::Check(copy));
}

} // namespace tarvola::test
