#include "explorer/ExplorerStateCodec.h"
#include "explorer/ExplorerStateViews.h"

#include "tests/explorer/ExplorerStateFixture.h"

#include <gtest/gtest.h>

namespace tarvola {
namespace {

using test::Item;
using test::NameOf;
using test::Path;
using Bytes = std::vector<std::uint8_t>;

// Assembles expected streams field by field.
struct TBytes {
    Bytes bytes;
    TBytes& U8(std::uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    TBytes& I32(std::int32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
        return *this;
    }
    TBytes& PIDL(const TItemIDList& pidl) {
        I32(static_cast<std::int32_t>(pidl.Size()));
        bytes.insert(bytes.end(), pidl.Bytes().begin(), pidl.Bytes().end());
        return *this;
    }
    TBytes& Raw(const Bytes& raw) {
        bytes.insert(bytes.end(), raw.begin(), raw.end());
        return *this;
    }
    TBytes& Wide(const std::u16string& text) {
        I32(static_cast<std::int32_t>(text.size()));
        for (const char16_t unit : text)
            U8(static_cast<std::uint8_t>(unit)).U8(static_cast<std::uint8_t>(unit >> 8));
        return *this;
    }
    // Flags, check state (and type from version 2), three empty column arrays, and from version 1 no user
    // data.
    TBytes& NodeTail(int version, std::uint8_t flags, std::uint8_t state) {
        U8(flags).U8(state);
        if (version >= 2)
            U8(0);
        I32(0).I32(0).I32(0);
        if (version >= 1)
            U8(0);
        return *this;
    }
};

Bytes Saved(TStreamableClass& object, std::int32_t version, bool flagged) {
    TMemoryStream stream;
    object.SaveToStream(stream, version, flagged);
    return Bytes(stream.Memory(), stream.Memory() + stream.Size());
}

void Load(TStreamableClass& object, const Bytes& bytes, std::int32_t version, bool flagged) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    object.LoadFromStream(stream, version, flagged);
    EXPECT_EQ(stream.Position(), stream.Size()) << "the reader left bytes behind";
}

class TTestUserData final : public TStorageUserData {
public:
    std::int32_t Value = 0;
    std::string ClassName() const override { return "TTestUserData"; }
    std::unique_ptr<TStorageUserData> Clone() const override {
        return std::make_unique<TTestUserData>(*this);
    }
    void LoadFromStream(TStream& stream, std::int32_t version, bool readVer) override {
        TStreamableClass::LoadFromStream(stream, version, readVer);
        Value = ReadStateInt32(stream);
    }
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVer) override {
        TStreamableClass::SaveToStream(stream, version, writeVer);
        WriteStateInt32(stream, Value);
    }
};

class StateStreamTest : public ::testing::Test {
protected:
    test::TFakeStateShell shell;
    TStorageUserDataRegistry registry;

    // One leaf, two selected items, a top row, a focus, a root folder byte and the custom path "C:\x".
    void FillSmall(TVETPersistent& state) {
        state.Leaves.AddLeaf(Item("d"), true);
        state.SelectionFolder = Item("d");
        state.Selection = {Item("a"), Item("b")};
        state.TopNode = Path({"d", "a"});
        state.FocusedNode = Path({"d", "b"});
        state.RootFolder = 0x11;
        state.CustomPath = u"C:\\x";
    }

    // A snapshot with something in every field, nested storage and user data.
    void FillRich(TVETPersistent& state) {
        FillSmall(state);
        state.Leaves.AddLeaf(Path({"d", "e"}), false);
        state.CustomRoot = Path({"d", "e"});
        TNodeStorage* node = state.Storage.ProvideStorage(Path({"d", "e", "f"}), kStoreCheck | kStoreColumns);
        node->CheckState = 2;
        node->CheckType = 2;
        node->Columns = {{100, 60}, {1, 0}, {1, 1}};
        auto data = std::make_unique<TTestUserData>();
        data->Value = 77;
        state.Storage.ProvideStorage(Item("z"), kStoreUserData)->UserData = std::move(data);
    }
};

TEST_F(StateStreamTest, AnEmptyGlobalViewManagerIsTwelveBytes) {
    TGlobalViewManager manager(shell, registry);
    EXPECT_EQ(Saved(manager, 0, false), TBytes().I32(3).I32(3).I32(0).bytes);
    manager.Views.Add(u"x");
    Load(manager, TBytes().I32(3).I32(3).I32(0).bytes, -1, false);
    EXPECT_TRUE(manager.Views.Views.empty());
}

TEST_F(StateStreamTest, ASmallSnapshotHasItsGoldenBytes) {
    TVETPersistent state(shell, registry);
    FillSmall(state);
    const Bytes expected = TBytes()
                               .I32(3) // snapshot
                               .I32(3)
                               .I32(1) // leaf list
                               .I32(3)
                               .U8(1)
                               .PIDL(Item("d")) // leaf
                               .PIDL(Item("d")) // selection folder
                               .I32(2)
                               .PIDL(Item("a"))
                               .PIDL(Item("b"))
                               .I32(0)                 // no custom root
                               .PIDL(Path({"d", "a"})) // top row
                               .PIDL(Path({"d", "b"})) // focus
                               .U8(0x11)
                               .Wide(u"C:\\x")
                               .I32(3)
                               .PIDL(TItemIDList())
                               .U8(1) // storage root
                               .I32(3)
                               .I32(0) // its empty child list
                               .NodeTail(3, 0, 0)
                               .bytes;
    EXPECT_EQ(Saved(state, 3, true), expected);

    TVETPersistent loaded(shell, registry);
    Load(loaded, expected, 0, true);
    ASSERT_EQ(loaded.Leaves.Leaves.size(), 1u);
    EXPECT_TRUE(loaded.Leaves.Leaves[0].Expanded);
    EXPECT_EQ(loaded.Leaves.Leaves[0].PIDL, Item("d"));
    EXPECT_EQ(loaded.Selection, (std::vector<TItemIDList>{Item("a"), Item("b")}));
    EXPECT_EQ(loaded.SelectionFolder, Item("d"));
    EXPECT_FALSE(loaded.CustomRoot);
    EXPECT_EQ(loaded.TopNode, Path({"d", "a"}));
    EXPECT_EQ(loaded.FocusedNode, Path({"d", "b"}));
    EXPECT_EQ(loaded.RootFolder, 0x11);
    EXPECT_EQ(loaded.CustomPath, u"C:\\x");
}

TEST_F(StateStreamTest, RoundTripsWithAndWithoutVersionWords) {
    registry.Register("TTestUserData", [] { return std::make_unique<TTestUserData>(); });
    TView view(shell, registry);
    FillRich(view);
    view.ViewName = u"Mine";
    struct Case {
        bool flagged;
        std::int32_t readAs;
    } cases[] = {{true, 0}, {false, 3}, {false, -1}};
    for (const Case& c : cases) {
        const Bytes bytes = Saved(view, 3, c.flagged);
        TView loaded(shell, registry);
        Load(loaded, bytes, c.readAs, c.flagged);
        EXPECT_EQ(Saved(loaded, 3, c.flagged), bytes) << c.flagged << " " << c.readAs;
        EXPECT_EQ(loaded.ViewName, u"Mine");
        const TNodeStorage* node = loaded.Storage.FindStorage(Path({"d", "e", "f"}), false);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->Columns, (TColumnStorage{{100, 60}, {1, 0}, {1, 1}}));
        EXPECT_EQ(node->CheckType, 2);
        const auto* data =
            dynamic_cast<const TTestUserData*>(loaded.Storage.FindStorage(Item("z"), false)->UserData.get());
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->Value, 77);
    }
}

TEST_F(StateStreamTest, TheWriterWritesOnlyWhatItsReaderCanTell) {
    TVETPersistent state(shell, registry);
    FillSmall(state);
    // Asked for an older version without version words it would write a layout its reader misreads.
    for (const std::int32_t version : {0, 1, 2})
        EXPECT_THROW(Saved(state, version, false), EStateStreamError) << version;
    // With version words it writes and labels the current version whatever it is asked.
    const Bytes labelled = Saved(state, 1, true);
    EXPECT_EQ(Bytes(labelled.begin(), labelled.begin() + 4), TBytes().I32(3).bytes);
    EXPECT_EQ(labelled, Saved(state, 3, true));
}

TEST_F(StateStreamTest, OlderVersionsDecode) {
    // Version 1: one check byte per node; version 0 without words: no user-data byte either.
    for (const int version : {0, 1, 2}) {
        const bool flagged = version != 0;
        TBytes stream;
        if (flagged)
            stream.I32(version);
        stream.PIDL(TItemIDList()).U8(1);
        if (flagged)
            stream.I32(version);
        stream.I32(2);
        for (const char* name : {"a", "b"}) {
            if (flagged)
                stream.I32(version);
            stream.PIDL(Item(name)).U8(0).NodeTail(version, kStoreCheck, 2);
        }
        stream.NodeTail(version, 0, 0);
        TRootNodeStorage root(shell, registry);
        Load(root, stream.bytes, version, flagged);
        for (const char* name : {"a", "b"}) {
            const TNodeStorage* node = root.FindStorageWithFlags(Item(name), kStoreCheck);
            ASSERT_NE(node, nullptr) << version << name;
            EXPECT_EQ(node->CheckState, 2);
            EXPECT_EQ(node->CheckType, 0);
        }
    }
}

TEST_F(StateStreamTest, AnOlderCustomPathReadsAsNoPath) {
    TBytes stream;
    stream.I32(2)
        .I32(2)
        .I32(0) // snapshot, empty leaf list
        .I32(0)
        .I32(0)
        .I32(0)
        .I32(0)
        .I32(0)
        .U8(4) // no items, root folder 4
        .I32(3)
        .Raw({'C', ':', '\\'}) // the old path form
        .I32(2)
        .PIDL(TItemIDList())
        .U8(0)
        .NodeTail(2, 0, 0);
    TVETPersistent state(shell, registry);
    Load(state, stream.bytes, 0, true);
    EXPECT_EQ(state.CustomPath, u"");
    EXPECT_EQ(state.RootFolder, 4);
}

TEST_F(StateStreamTest, LoadingDropsGoneItemsWithTheirSubtrees) {
    TRootNodeStorage root(shell, registry);
    root.ProvideStorage(Path({"a", "b", "c"}), kStoreCheck);
    root.ProvideStorage(Item("a"), kStoreColumns);
    root.ProvideStorage(Path({"x", "y"}), kStoreCheck);
    root.ProvideStorage(Path({"x", "w"}), kStoreCheck);
    const Bytes bytes = Saved(root, 3, true);
    shell.Gone.insert(Item("a"));
    shell.Gone.insert(Path({"x", "w"}));
    TRootNodeStorage loaded(shell, registry);
    Load(loaded, bytes, 0, true);
    EXPECT_EQ(loaded.FindStorage(Item("a"), false), nullptr);
    EXPECT_EQ(loaded.FindStorage(Path({"x", "w"}), false), nullptr);
    EXPECT_NE(loaded.FindStorageWithFlags(Path({"x", "y"}), kStoreCheck), nullptr);
    EXPECT_EQ(loaded.Children().size(), 1u);
}

TEST_F(StateStreamTest, LoadedListsAreSortedInTodaysOrderAndEqualEntriesMerged) {
    TRootNodeStorage root(shell, registry);
    for (const char* name : {"a", "b", "c", "d", "e", "f", "g"})
        root.ProvideStorage(Path({"p", name}), kStoreCheck);
    const Bytes bytes = Saved(root, 3, true);
    shell.Reversed = true; // another shell orders the names the other way round
    TRootNodeStorage loaded(shell, registry);
    Load(loaded, bytes, 0, true);
    for (const char* name : {"a", "b", "c", "d", "e", "f", "g"})
        EXPECT_NE(loaded.FindStorage(Path({"p", name}), false), nullptr) << name;
    loaded.ProvideStorage(Path({"p", "c"}), kStoreColumns);
    EXPECT_EQ(loaded.FindStorage(Item("p"), false)->Children().size(), 7u) << "no duplicate was made";

    // The same item stored twice comes back once, with what both entries held.
    TBytes twice;
    twice.PIDL(TItemIDList()).U8(1).I32(2);
    twice.PIDL(Item("q")).U8(0).NodeTail(3, kStoreCheck, 2);
    twice.PIDL(Item("q")).U8(0).U8(kStoreColumns).U8(0).U8(0).I32(1).U8(50).U8(0).I32(0).I32(0).U8(0);
    twice.NodeTail(3, 0, 0);
    TRootNodeStorage merged(shell, registry);
    Load(merged, twice.bytes, 3, false);
    ASSERT_EQ(merged.Children().size(), 1u);
    EXPECT_EQ(merged.Children()[0]->Flags, kStoreCheck | kStoreColumns);
    EXPECT_EQ(merged.Children()[0]->CheckState, 2);
    EXPECT_EQ(merged.Children()[0]->Columns.Widths, (std::vector<std::uint16_t>{50}));
}

TEST_F(StateStreamTest, EveryShortenedStreamFailsCleanly) {
    registry.Register("TTestUserData", [] { return std::make_unique<TTestUserData>(); });
    TView view(shell, registry);
    FillRich(view);
    const Bytes full = Saved(view, 3, true);
    for (std::size_t size = 0; size < full.size(); ++size) {
        TView loaded(shell, registry);
        EXPECT_THROW(
            Load(loaded, Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size)), 0, true),
            StreamError)
            << size;
        EXPECT_TRUE(loaded.Leaves.Leaves.empty() && loaded.Selection.empty() &&
                    loaded.Storage.Children().empty())
            << size;
    }
}

TEST_F(StateStreamTest, BrokenStreamsFailWithoutHugeAllocations) {
    const auto root = [](const Bytes& child) {
        return TBytes().PIDL(TItemIDList()).U8(1).I32(1).Raw(child).NodeTail(3, 0, 0).bytes;
    };
    struct Case {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"a huge list count", TBytes().PIDL(TItemIDList()).U8(1).I32(0x7FFFFFFF).NodeTail(3, 0, 0).bytes},
        {"a negative list count", TBytes().PIDL(TItemIDList()).U8(1).I32(-1).NodeTail(3, 0, 0).bytes},
        {"a huge item list", root(TBytes().I32(0x7FFFFFF0).Raw(Bytes(40, 0)).bytes)},
        {"a record of one byte", root(TBytes().I32(5).Raw({1, 0, 'a', 0, 0}).U8(0).NodeTail(3, 0, 0).bytes)},
        {"a record past the end", root(TBytes().I32(5).Raw({9, 0, 'a', 0, 0}).U8(0).NodeTail(3, 0, 0).bytes)},
        {"no terminator", root(TBytes().I32(5).Raw({3, 0, 'a', 3, 0}).U8(0).NodeTail(3, 0, 0).bytes)},
        {"bytes after the terminator",
         root(TBytes().I32(6).Raw({3, 0, 'a', 0, 0, 7}).U8(0).NodeTail(3, 0, 0).bytes)},
        {"a child not below its parent", root(TBytes().PIDL(Path({"a", "b"})).U8(0).NodeTail(3, 0, 0).bytes)},
        {"a child without an item", root(TBytes().I32(0).U8(0).NodeTail(3, 0, 0).bytes)},
        {"a root that is not the desktop", TBytes().PIDL(Item("a")).U8(0).NodeTail(3, 0, 0).bytes},
        {"a huge width count",
         TBytes().PIDL(TItemIDList()).U8(0).U8(0).U8(0).U8(0).I32(0x40000000).Raw(Bytes(16, 0)).bytes},
        {"a negative width count",
         TBytes().PIDL(TItemIDList()).U8(0).U8(0).U8(0).U8(0).I32(-2).I32(0).I32(0).U8(0).bytes},
        {"an unregistered class", TBytes()
                                      .PIDL(TItemIDList())
                                      .U8(0)
                                      .U8(4)
                                      .U8(0)
                                      .U8(0)
                                      .I32(0)
                                      .I32(0)
                                      .I32(0)
                                      .U8(1)
                                      .I32(5)
                                      .Raw({'T', 'F', 'i', 'l', 'e'})
                                      .bytes},
        {"a long class name", TBytes()
                                  .PIDL(TItemIDList())
                                  .U8(0)
                                  .U8(4)
                                  .U8(0)
                                  .U8(0)
                                  .I32(0)
                                  .I32(0)
                                  .I32(0)
                                  .U8(1)
                                  .I32(300)
                                  .Raw(Bytes(300, 'A'))
                                  .bytes},
    };
    for (const Case& c : cases) {
        TRootNodeStorage loaded(shell, registry);
        EXPECT_THROW(Load(loaded, c.bytes, 3, false), StreamError) << c.what;
    }
    TRootNodeStorage unknownVersion(shell, registry);
    EXPECT_THROW(
        Load(unknownVersion, TBytes().I32(4).PIDL(TItemIDList()).U8(0).NodeTail(3, 0, 0).bytes, 0, true),
        EStateStreamError);
}

TEST_F(StateStreamTest, FindViewIgnoresCaseAndTheLastMatchWins) {
    TViewManager manager(shell, registry);
    manager.Views.Add(u"Alpha").RootFolder = 1;
    manager.Views.Add(u"Beta").RootFolder = 2;
    manager.Views.Add(u"ALPHA").RootFolder = 3;
    ASSERT_NE(manager.FindView(u"alpha"), nullptr);
    EXPECT_EQ(manager.FindView(u"alpha")->RootFolder, 3);
    EXPECT_EQ(manager.FindView(u"beta")->RootFolder, 2);
    EXPECT_EQ(manager.FindView(u"gamma"), nullptr);

    const Bytes bytes = Saved(manager, 3, true);
    TGlobalViewManager global(shell, registry);
    Load(global, bytes, 0, false); // reads with version words whatever it is told
    ASSERT_EQ(global.Views.Views.size(), 3u);
    EXPECT_EQ(global.FindView(u"Alpha")->RootFolder, 3);
    EXPECT_EQ(Saved(global, 0, false), bytes);
}

} // namespace
} // namespace tarvola
