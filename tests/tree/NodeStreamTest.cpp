// Node streams: round trips of both format versions, the exact layout, the header and version errors, the
// user chunk and caption hooks, reading into an existing node, and the error table.
#include "tests/tree/NodeStreamTestSupport.h"
#include "tests/tree/TreeTestSupport.h"

#include "tree/TreeOptions.h"
#include "tree/VirtualTreeError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace tarvola::test {
namespace {

int ErrorCode(const std::function<void()>& action) {
    try {
        action();
    } catch (const EVirtualTreeError& error) {
        return error.Code();
    }
    return 0;
}

Bytes Saved(IdTree& tree, PVirtualNode node = nullptr) {
    TMemoryStream stream;
    tree.SaveToStream(stream, node);
    return Content(stream);
}

TEST(NodeStream, RoundTripKeepsStructureStatesHeightsChecksSelectionAndUserData) {
    IdTree source;
    BuildFixture(source);
    TMemoryStream stream; // initialises the uninitialised node on the way (InitOnSave)
    Fill(stream, Saved(source));
    IdTree target;
    target.Options.MultiSelect = true;
    target.Add(nullptr, 99); // replaced by the load
    target.LoadFromStream(stream);
    EXPECT_EQ(Describe(target), Describe(source));
    EXPECT_EQ(target.SelectedCount(), 2u);
    EXPECT_EQ(target.VisibleCount(), source.VisibleCount());
    EXPECT_EQ(target.RangeHeight(), source.RangeHeight());
    EXPECT_EQ(target.copiedNil, 1);
    EXPECT_EQ(TreeInvariantChecker::Check(target), "");
}

TEST(NodeStream, UninitialisedNodeIsSavedWithoutChildrenAndAClaimOfNone) {
    IdTree source;
    source.TreeOptions().SetMiscOptions(
        source.TreeOptions().MiscOptions().Without(TVTMiscOption::toInitOnSave));
    PVirtualNode lazy = source.Add(nullptr, 7);
    source.SetChildCount(lazy, 3); // children exist, but the node was never initialised
    ASSERT_EQ(lazy->States & nsInitialized, 0);
    source.Add(nullptr, 8);
    TMemoryStream stream;
    Fill(stream, Saved(source));
    IdTree target;
    target.LoadFromStream(stream);
    EXPECT_EQ(Describe(target), "id=7 s=00c0 h=18 a=50 c=0/0 n=0\n"
                                "id=8 s=0080 h=18 a=50 c=0/0 n=0\n");
    EXPECT_EQ(TreeInvariantChecker::Check(target), "");
}

TEST(NodeStream, LayoutOfAnEmptyTreeAndOfOneNode) {
    IdTree tree;
    TMemoryStream empty;
    Fill(empty, Saved(tree));
    EXPECT_EQ(Content(empty), StreamHeader(2, 0));
    EXPECT_EQ(Content(empty).size(), 16u);
    tree.LoadFromStream(empty);
    EXPECT_EQ(tree.TotalCount(), 0u);
    EXPECT_EQ(tree.copiedNil, 1);

    PVirtualNode node = tree.Add(nullptr, 0x11223344);
    tree.ValidateNode(node, false);
    node->States |= nsCutOrCopy | nsHeightMeasured; // internal bits stay out of the stream
    const Bytes expected =
        Join({StreamHeader(2, 1), NodeChunkOf({Chunk(BaseChunk, Base2(0, 18, nsVisible | nsInitialized)),
                                               Chunk(UserChunk, Bytes{0x44, 0x33, 0x22, 0x11})})});
    EXPECT_EQ(Saved(tree), expected);
    // No handler, no user chunk.
    tree.OnSaveNode.Reset();
    EXPECT_EQ(Saved(tree), Join({StreamHeader(2, 1),
                                 NodeChunkOf({Chunk(BaseChunk, Base2(0, 18, nsVisible | nsInitialized))})}));
}

TEST(NodeStream, SavingOneNodeWritesCountOneAndItsSubtreeOnly) {
    IdTree source;
    BuildFixture(source);
    PVirtualNode a2 = source.GetFirstNoInit()->LastChild;
    IdTree target;
    TMemoryStream stream;
    Fill(stream, Saved(source, a2));
    EXPECT_EQ(Content(stream)[12], 1);
    target.LoadFromStream(stream);
    // Saving initialised the child (InitOnSave).
    EXPECT_EQ(Describe(target), "id=3 s=00c1 h=18 a=50 c=0/0 n=1\n"
                                "  id=4 s=0081 h=18 a=50 c=0/0 n=0\n");
    EXPECT_EQ(target.SelectedCount(), 0u); // no multi-selection here: the mark is dropped
    EXPECT_EQ(TreeInvariantChecker::Check(target), "");
}

TEST(NodeStream, HeaderFaultsRaiseTheirCodesAndLeaveTheNodes) {
    struct Case {
        const char* name;
        Bytes bytes;
        int code;
    };
    Bytes wrongV = StreamHeader(2, 0);
    wrongV[2] = 'W';
    const Case cases[] = {
        {"empty", {}, vteStreamTooShort},
        {"eleven bytes", Cut(StreamHeader(2), 1), vteStreamTooShort},
        {"W for V", wrongV, vteStreamFormat},
        {"last unit", Join({Cut(StreamHeader(2), 2), U16(0x2047)}), vteStreamFormat},
        {"version 3", StreamHeader(3, 0), vteStreamVersion},
        {"version 2 without count", StreamHeader(2), vteStreamTooShort},
        {"fifth unit is free", Join({StreamHeader(2, 1, u'X'), LeafNode()}), 0},
    };
    for (const Case& c : cases) {
        IdTree tree;
        tree.Add(nullptr, 5);
        TMemoryStream stream;
        Fill(stream, c.bytes);
        EXPECT_EQ(ErrorCode([&] { tree.LoadFromStream(stream); }), c.code) << c.name;
        EXPECT_EQ(tree.TotalCount(), 1u) << c.name;
        if (c.code != 0) {
            EXPECT_EQ(tree.Id(tree.GetFirstNoInit()), 5u) << c.name;
        }
    }
}

TEST(NodeStream, VersionOneReadsToTheEndAndTurnsTheOldSelectionBitIntoTheSelection) {
    const Bytes nodes =
        Join({NodeChunkOf({Chunk(BaseChunk, Base1(0, 20, 0x80 | nsInitialized))}),
              NodeChunkOf({Chunk(BaseChunk, Base1(1, 18, nsExpanded | nsInitialized,
                                                  NodeChunkOf({Chunk(BaseChunk, Base1(0, 18, 0))})))}),
              NodeChunkOf({Chunk(BaseChunk, Base1(0, 18, 0))})});
    for (std::uint16_t version : {0, 1}) {
        IdTree tree;
        tree.Options.MultiSelect = true;
        TMemoryStream stream;
        Fill(stream, Join({StreamHeader(version), nodes}));
        tree.LoadFromStream(stream);
        EXPECT_EQ(Describe(tree), "id=0 s=0181 h=20 a=50 c=0/0 n=0\n"
                                  "id=0 s=00e1 h=18 a=50 c=0/0 n=1\n"
                                  "  id=0 s=0080 h=18 a=50 c=0/0 n=0\n"
                                  "id=0 s=0080 h=18 a=50 c=0/0 n=0\n")
            << version;
        EXPECT_EQ(tree.SelectedCount(), 1u);
        EXPECT_EQ(tree.VisibleCount(), 4u);
        EXPECT_EQ(TreeInvariantChecker::Check(tree), "");
    }
}

TEST(NodeStream, VersionTwoCountSmallerThanTheChunksStopsEarly) {
    IdTree tree;
    TMemoryStream stream;
    Fill(stream, Join({StreamHeader(2, 2), LeafNode(), LeafNode(), LeafNode()}));
    tree.LoadFromStream(stream);
    EXPECT_EQ(tree.RootNodeCount(), 2u);
    EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(16 + 2 * 33));
}

// The owner's handler reads 0 to 8 of the 4 bytes it wrote; the next node loads whatever it did, and an
// unknown chunk type is skipped.
TEST(NodeStream, UserChunkHandlersThatReadTooLittleOrTooMuchAndUnknownChunksAreSteppedOver) {
    for (int reads : {0, 2, 4, 8}) {
        IdTree tree;
        std::function<void(TBaseVirtualTree&, PVirtualNode, TStream&)> load =
            [&](TBaseVirtualTree&, PVirtualNode, TStream& stream) {
                std::uint8_t buffer[8];
                stream.Read(buffer, reads);
            };
        tree.OnLoadNode = TVTSaveNodeEvent::Bind(load);
        TMemoryStream stream;
        Fill(stream,
             Join({StreamHeader(2, 2),
                   NodeChunkOf({Chunk(BaseChunk, Base2(0, 18, nsVisible)), Chunk(5, Bytes(6, 0xEE)),
                                Chunk(UserChunk, U32(1))}),
                   NodeChunkOf({Chunk(UserChunk, U32(2)), Chunk(BaseChunk, Base2(0, 25, nsVisible))})}));
        tree.LoadFromStream(stream);
        ASSERT_EQ(tree.RootNodeCount(), 2u) << reads;
        EXPECT_EQ(tree.GetFirstNoInit()->NextSibling->NodeHeight, 25u) << reads;
    }
}

TEST(NodeStream, ReadOnlyTreeIgnoresLoadingButSaves) {
    IdTree tree;
    tree.Add(nullptr, 1);
    tree.Options.ReadOnly = true;
    TMemoryStream stream;
    Fill(stream, Saved(tree));
    EXPECT_EQ(Content(stream).size(), 16u + 33u + 12u);
    TMemoryStream other;
    Fill(other, Join({StreamHeader(2, 2), LeafNode(), LeafNode()}));
    tree.LoadFromStream(other);
    tree.LoadFromFile(L"/nonexistent/tree.vt");
    EXPECT_EQ(tree.RootNodeCount(), 1u);
    EXPECT_EQ(tree.copiedNil, 0);
}

TEST(NodeStream, CaptionChunkFollowsTheUserChunkAndReadsBack) {
    CaptionTree source;
    source.SetCaption(source.Add(nullptr, 1), L"Hall");
    source.SetCaption(source.Add(nullptr, 2), L"");
    TMemoryStream stream;
    Fill(stream, Saved(source));
    const Bytes bytes = Content(stream);
    const Bytes firstNode =
        NodeChunkOf({Chunk(BaseChunk, Base2(0, 18, nsVisible | nsInitialized)), Chunk(UserChunk, U32(1)),
                     Chunk(CaptionChunk, Join({U16('H'), U16('a'), U16('l'), U16('l')}))});
    ASSERT_GE(bytes.size(), 16 + firstNode.size());
    EXPECT_EQ(Bytes(bytes.begin() + 16, bytes.begin() + 16 + static_cast<std::ptrdiff_t>(firstNode.size())),
              firstNode);
    CaptionTree target;
    target.LoadFromStream(stream);
    EXPECT_EQ(target.Caption(target.GetFirstNoInit()), L"Hall");
    EXPECT_EQ(stream.Size(), static_cast<std::int64_t>(16 + firstNode.size() + 33 + 12)); // no empty caption
}

TEST(NodeStream, OddSizedCaptionReadsWholeUnitsAndTheNextChunkStillLoads) {
    CaptionTree tree;
    TMemoryStream stream;
    Fill(stream, Join({StreamHeader(2, 1),
                       NodeChunkOf({Chunk(UserChunk, U32(3)), Chunk(CaptionChunk, Bytes{'a', 0, 'b', 0, 'c'}),
                                    Chunk(BaseChunk, Base2(0, 21, nsVisible))})}));
    tree.LoadFromStream(stream);
    EXPECT_EQ(tree.Caption(tree.GetFirstNoInit()), L"ab");
    EXPECT_EQ(tree.GetFirstNoInit()->NodeHeight, 21u);
}

TEST(NodeStream, AddNodesFromStreamFillsAConnectedNodeOrAddsUnderTheRoot) {
    IdTree source;
    BuildFixture(source);
    PVirtualNode a = source.GetFirstNoInit();
    TMemoryStream chunk;
    source.WriteNode(chunk, a);

    IdTree target;
    target.Options.MultiSelect = true;
    PVirtualNode host = target.Add(nullptr, 50);
    PVirtualNode fresh = target.Add(host, 0);
    target.SetExpanded(host, true);
    chunk.SetPosition(0);
    target.AddNodesFromStream(chunk, 2, fresh);
    EXPECT_EQ(target.Id(fresh), 1u);
    EXPECT_EQ(target.SelectedCount(), 2u);
    EXPECT_EQ(target.VisibleCount(), 1u + 1u + 2u);
    EXPECT_EQ(TreeInvariantChecker::Check(target), "");

    // Into the root: the chunk's children join the root's, the root's own record stays.
    chunk.SetPosition(0);
    target.AddNodesFromStream(chunk, 2, nullptr);
    EXPECT_EQ(target.RootNodeCount(), 3u);
    EXPECT_EQ(target.RootNode()->States & (nsExpanded | nsVisible), nsExpanded | nsVisible);
    EXPECT_EQ(target.SelectedCount(), 4u);
    EXPECT_EQ(TreeInvariantChecker::Check(target), "");
}

TEST(NodeStream, LoadFromFileTakesAWideName) {
    IdTree source;
    BuildFixture(source);
    TMemoryStream stream;
    Fill(stream, Saved(source));
    std::wstring name = std::filesystem::temp_directory_path().wstring();
    name += static_cast<wchar_t>(std::filesystem::path::preferred_separator);
    name += L"B\u00e4ume \u2603 tree.vt";
    const std::filesystem::path path = std::filesystem::temp_directory_path() / u8"B\u00e4ume \u2603 tree.vt";
    {
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(stream.Memory()), stream.Size());
    }
    IdTree target;
    target.Options.MultiSelect = true;
    target.LoadFromFile(name);
    std::filesystem::remove(path);
    EXPECT_EQ(Describe(target), Describe(source));
    try {
        target.LoadFromFile(name);
        ADD_FAILURE() << "a missing file loaded";
    } catch (const FileOpenError& error) {
        EXPECT_TRUE(error.NotFound());
    }
    EXPECT_EQ(Describe(target), Describe(source));
}

TEST(NodeStream, SkipNodeStepsOverOneNodeChunk) {
    IdTree tree;
    TMemoryStream stream;
    Fill(stream, Join({LeafNode(), Chunk(BaseChunk, {})}));
    tree.SkipNode(stream);
    EXPECT_EQ(stream.Position(), 33);
    EXPECT_EQ(ErrorCode([&] { tree.SkipNode(stream); }), vteStreamNodeMissing);
}

TEST(VirtualTreeError, TableGivesEachCodeItsMessage) {
    const std::pair<int, const char*> table[] = {
        {2000, "Edit link must not be nil."},
        {2001, "Target node cannot be a child node of the node to be moved."},
        {2002, "Unable to load tree structure, the format is wrong."},
        {2003, "Unable to load tree structure, the version is unknown."},
        {2004, "Unable to load tree structure, not enough data available."},
        {2005, "Stream data corrupt. A node's anchor chunk is missing."},
        {2006, "Stream data corrupt. Unexpected data after node's end position."},
        {2007, "Clipboard operation failed."},
        {2008, "Cannot set initial user data because there is not enough user data space allocated."},
    };
    for (const auto& [code, message] : table) {
        try {
            RaiseVirtualTreeError(static_cast<TVirtualTreeErrorCode>(code));
        } catch (const EVirtualTreeError& error) {
            EXPECT_EQ(error.Code(), code);
            EXPECT_STREQ(error.what(), message);
        }
    }
    EXPECT_EQ(VirtualTreeErrorMessage(1999), nullptr);
    EXPECT_EQ(VirtualTreeErrorMessage(2009), nullptr);
}

} // namespace
} // namespace tarvola::test
