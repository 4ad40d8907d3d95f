#include "explorer/ExplorerStateStorage.h"

#include "tests/explorer/ExplorerStateFixture.h"

#include <gtest/gtest.h>

namespace tarvola {
namespace {

using test::Item;
using test::NameOf;
using test::Path;

class StorageTest : public ::testing::Test {
protected:
    test::TFakeStateShell shell;
    TStorageUserDataRegistry registry;
    TRootNodeStorage root{shell, registry};

    std::vector<std::string> ChildNames(const TNodeStorage& node) {
        std::vector<std::string> names;
        for (const auto& child : node.Children())
            names.push_back(NameOf(child->RelativePIDL()));
        return names;
    }
};

TEST_F(StorageTest, ProvidedNodesAreKeptInTheFolderOrderAndFoundAgain) {
    for (const char* name : {"m", "c", "x", "a"})
        root.ProvideStorage(Path({"d", name}), kStoreCheck);
    const TNodeStorage* folder = root.FindStorage(Item("d"), false);
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(ChildNames(*folder), (std::vector<std::string>{"a", "c", "m", "x"}));
    EXPECT_EQ(folder->Flags, 0); // only a way to the items below it
    EXPECT_EQ(root.FindStorage(Path({"d", "m"}), false)->AbsolutePIDL(), Path({"d", "m"}));
    EXPECT_EQ(root.FindStorage(Path({"d", "q"}), false), nullptr);
    EXPECT_EQ(root.FindStorage(TItemIDList(), false), &root);
}

TEST_F(StorageTest, RemovingFlagsKeepsOrDropsTheNode) {
    struct Case {
        std::uint8_t provided, removed;
        bool force, kept;
        std::uint8_t left;
    } cases[] = {
        {kStoreCheck, kStoreCheck, false, false, 0},
        {kStoreCheck | kStoreColumns, kStoreCheck, false, true, kStoreColumns},
        {kStoreCheck | kStoreColumns, kStoreCheck, true, false, 0},
        {kStoreColumns, kStoreCheck, false, true, kStoreColumns},
        {kStoreCheck | kStoreColumns | kStoreUserData, kStoreCheck | kStoreColumns, false, true,
         kStoreUserData},
        {kStoreUserData, kStoreUserData, false, false, 0},
    };
    for (const Case& c : cases) {
        root.Clear(true);
        TNodeStorage* node = root.ProvideStorage(Path({"f", "n"}), c.provided);
        node->Columns.Widths = {40, 80};
        root.RemoveStorageFlags(Path({"f", "n"}), c.removed, true, c.force);
        const TNodeStorage* found = root.FindStorage(Path({"f", "n"}), false);
        EXPECT_EQ(found != nullptr, c.kept) << int(c.provided) << " less " << int(c.removed);
        if (found != nullptr) {
            EXPECT_EQ(found->Flags, c.left);
            EXPECT_EQ(found->Columns.Widths, (std::vector<std::uint16_t>{40, 80}));
        } else {
            EXPECT_EQ(root.FindStorage(Item("f"), false), nullptr)
                << "the folder that led only to it goes too";
        }
    }
}

TEST_F(StorageTest, FindingWithFlagsNeedsOneOfTheBits) {
    root.ProvideStorage(Item("a"), kStoreColumns);
    EXPECT_EQ(root.FindStorageWithFlags(Item("a"), kStoreCheck), nullptr);
    EXPECT_NE(root.FindStorageWithFlags(Item("a"), kStoreCheck | kStoreColumns), nullptr);
    EXPECT_EQ(root.FindStorageWithFlags(Item("b"), kStoreColumns), nullptr);
    EXPECT_EQ(root.FindStorage(Item("b"), false), nullptr) << "finding never creates";
}

TEST_F(StorageTest, TheCacheNeverOutlivesTheNodeItNames) {
    root.ProvideStorage(Path({"a", "b", "c"}), kStoreCheck);
    root.ProvideStorage(Path({"a", "b", "d"}), kStoreCheck);
    ASSERT_NE(root.Cache(), nullptr);
    EXPECT_EQ(root.Cache()->AbsolutePIDL(), Path({"a", "b"}));
    // Forcing the folder away frees the cached node along with its children.
    root.ProvideStorage(Path({"a", "b"}), kStoreColumns);
    root.RemoveStorageFlags(Path({"a", "b"}), kStoreColumns, false, true);
    EXPECT_EQ(root.Cache(), nullptr);
    EXPECT_EQ(root.FindStorage(Path({"a", "b", "c"}), false), nullptr);
    root.ProvideStorage(Path({"a", "b", "e"}), kStoreCheck);
    root.Clear(true);
    EXPECT_EQ(root.Cache(), nullptr);
    EXPECT_EQ(root.FindStorage(Path({"a", "b", "e"}), false), nullptr);
}

TEST_F(StorageTest, TriStateRootMarksTheFoldersOnTheWayMixed) {
    root.CheckType = kCheckTypeTriState;
    root.ProvideStorage(Path({"a", "b", "c"}), kStoreCheck)->CheckState = 2;
    for (const TItemIDList& folder : {Item("a"), Path({"a", "b"})}) {
        const TNodeStorage* node = root.FindStorage(folder, false);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->Flags, kStoreCheck);
        EXPECT_EQ(node->CheckState, kCheckMixedNormal);
        EXPECT_EQ(node->CheckType, kCheckTypeTriState);
    }
}

TEST_F(StorageTest, RemovingTheRootsFlagsUnchecksIt) {
    root.ProvideStorage(TItemIDList(), kStoreCheck)->CheckState = 2;
    root.RemoveStorageFlags(TItemIDList(), kStoreCheck, false, true);
    EXPECT_EQ(root.Flags, 0);
    EXPECT_EQ(root.CheckState, kCheckUncheckedNormal);
    EXPECT_EQ(root.FindStorage(TItemIDList(), false), &root);
}

TEST_F(StorageTest, AFailingShellOrderFallsBackToTheBytes) {
    shell.Fails = true;
    for (const char* name : {"k", "b", "z", "a"})
        root.ProvideStorage(Item(name), kStoreCheck);
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"a", "b", "k", "z"}));
    for (const char* name : {"k", "b", "z", "a"})
        EXPECT_NE(root.FindStorage(Item(name), false), nullptr) << name;
}

TEST_F(StorageTest, AssignCopiesDeeply) {
    TNodeStorage* node = root.ProvideStorage(Path({"a", "b"}), kStoreCheck | kStoreColumns);
    node->CheckState = 2;
    node->Columns.Visible = {1, 0};
    TRootNodeStorage copy(shell, registry);
    copy.Assign(root);
    root.Clear(true);
    const TNodeStorage* copied = copy.FindStorage(Path({"a", "b"}), false);
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->CheckState, 2);
    EXPECT_EQ(copied->Columns.Visible, (std::vector<std::uint8_t>{1, 0}));
    EXPECT_EQ(copied->Parent()->Parent(), &copy);
}

TEST(StateShellTest, CompareIDsIsReadOnlyFromASucceededCall) {
    struct Case {
        std::int32_t hr;
        std::optional<int> order;
    } cases[] = {
        {0, 0},
        {1, 1},
        {0xFFFF, -1},                                          // -1 in the code word
        {0x00FF, 1},                                           // beyond a signed byte
        {0xFF00, -1},                                          // a negative code word whose low byte is zero
        {static_cast<std::int32_t>(0x80070057), std::nullopt}, // E_INVALIDARG
        {static_cast<std::int32_t>(0x80004005), std::nullopt}, // E_FAIL
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareIDsOrder(c.hr), c.order) << std::hex << c.hr;
}

TEST(StateShellTest, TheSortStaysWithinItsRangeWhateverTheComparisonSays) {
    std::vector<int> items(100);
    for (int i = 0; i < 100; ++i)
        items[static_cast<std::size_t>(i)] = i;
    int calls = 0;
    StableSortWithin(items, [&](int, int) { return (++calls % 3) == 0; }); // no order at all
    std::vector<int> sorted = items;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(sorted[static_cast<std::size_t>(i)], i) << "an item was lost or doubled";
    std::vector<std::pair<int, int>> pairs{{2, 0}, {1, 1}, {2, 2}, {1, 3}, {0, 4}};
    StableSortWithin(pairs, [](const auto& a, const auto& b) { return a.first < b.first; });
    EXPECT_EQ(pairs, (std::vector<std::pair<int, int>>{{0, 4}, {1, 1}, {1, 3}, {2, 0}, {2, 2}}));
}

} // namespace
} // namespace tarvola
