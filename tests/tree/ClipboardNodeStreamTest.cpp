// The clipboard's default node transfer, the tree's node stream: nodes copied between trees with their
// subtrees and owner data, and a malformed chunk that leaves the target tree as it was.
#include "tests/tree/NodeStreamTestSupport.h"
#include "tests/tree/TreeTestSupport.h"

#include "base/ByteOrder.h"
#include "tree/NodeStream.h"
#include "tree/TreeClipboard.h"
#include "tree/VirtualTreeError.h"

#include <gtest/gtest.h>

namespace tarvola::test {
namespace {

using Mode = TVTNodeAttachMode;

// The ids in tree order, children in parentheses: "1(2,3),4".
std::string Ids(IdTree& tree, PVirtualNode parent = nullptr) {
    std::string text;
    for (PVirtualNode node = tree.GetFirstChild(parent == nullptr ? tree.RootNode() : parent);
         node != nullptr; node = tree.GetNextSibling(node)) {
        if (!text.empty())
            text += ',';
        text += std::to_string(tree.Id(node));
        if (tree.ChildCount(node) > 0)
            text += '(' + Ids(tree, node) + ')';
    }
    return text;
}

TEST(ClipboardNodeStream, SelectedNodesTravelWithTheirSubtreesAndOwnerData) {
    IdTree source;
    source.Options.MultiSelect = true;
    const PVirtualNode one = source.Add(nullptr, 1);
    source.Add(one, 2);
    source.Add(source.Add(one, 3), 5);
    const PVirtualNode four = source.Add(nullptr, 4);
    source.AddToSelection(one);
    source.AddToSelection(four);
    const std::vector<std::uint8_t> chunks = source.Clipboard().RenderNodeChunks(false);
    ASSERT_GE(chunks.size(), 4u);
    EXPECT_EQ(GetLE<std::int32_t>(chunks.data()), NodeChunk);

    IdTree target;
    const PVirtualNode nine = target.Add(nullptr, 9);
    EXPECT_TRUE(target.Clipboard().InsertNodeChunks(&source, chunks, nine, Mode::amAddChildLast));
    EXPECT_EQ(Ids(target), "9(1(2,3(5)),4)");
    EXPECT_EQ(TreeInvariantChecker::Check(target), "");
}

TEST(ClipboardNodeStream, AMalformedChunkLeavesTheTargetAsItWas) {
    IdTree source;
    source.Add(source.Add(nullptr, 1), 2);
    source.AddToSelection(source.GetFirst());
    const Bytes good = source.Clipboard().RenderNodeChunks(false);
    Bytes wrongType = good;
    wrongType[0] = static_cast<std::uint8_t>(UserChunk);
    Bytes negativeSize = good;
    negativeSize[7] = 0x80;
    struct Case {
        const char* name;
        Bytes chunks;
    };
    const Case cases[] = {
        {"header cut short", Bytes(good.begin(), good.begin() + 5)},
        {"body cut short", Cut(good, 3)},
        {"not a node chunk", wrongType},
        {"negative size", negativeSize},
        {"children claimed but missing",
         NodeChunkOf({Chunk(BaseChunk, Base2(2, 18, nsVisible | nsInitialized))})},
    };
    for (const Case& c : cases) {
        IdTree target;
        target.Add(target.Add(nullptr, 9), 10);
        const PVirtualNode leaf = target.Add(nullptr, 11);
        // A paste initialises its target first, as any walk over the nodes does.
        for (PVirtualNode node = target.GetFirst(); node != nullptr; node = target.GetNext(node)) {
        }
        const std::string before = Describe(target);
        EXPECT_THROW(target.Clipboard().InsertNodeChunks(nullptr, c.chunks, leaf, Mode::amAddChildLast),
                     EVirtualTreeError)
            << c.name;
        EXPECT_EQ(Describe(target), before) << c.name;
        EXPECT_EQ(TreeInvariantChecker::Check(target), "") << c.name;
    }
}

} // namespace
} // namespace tarvola::test
