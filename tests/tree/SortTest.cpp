// Sorting sibling lists: stability in both directions, links and indexes after a sort, and what keeps a
// sort from running.
#include "tests/tree/TreeTestSupport.h"

#include <gtest/gtest.h>

namespace tarvola::test {
namespace {

using Keys = std::vector<int>;

// Top-level nodes carrying a sort key and their original position as user data.
struct KeyedTree : TBaseVirtualTree {
    bool editEnds = true;
    bool EndEditNode() override { return editEnds; }
    void StartEditing() { DoStateChange({TreeState::tsEditing}); }

    KeyedTree() { SetNodeDataSize(2 * sizeof(int)); }
    int* Data(PVirtualNode node) { return static_cast<int*>(GetNodeData(node)); }
    void AddKeys(const Keys& keys) {
        int position = 0;
        for (int key : keys) {
            PVirtualNode node = AddChild(nullptr);
            Data(node)[0] = key;
            Data(node)[1] = position++;
        }
    }
    // key.position of each top-level node in list order
    std::vector<std::string> Order() {
        std::vector<std::string> order;
        for (PVirtualNode node = GetFirstNoInit(); node != nullptr; node = node->NextSibling)
            order.push_back(std::to_string(Data(node)[0]) + "." + std::to_string(Data(node)[1]));
        return order;
    }
};

struct SortFixture : ::testing::Test {
    KeyedTree tree;
    int compared = 0;
    void Compare(TBaseVirtualTree&, PVirtualNode a, PVirtualNode b, TColumnIndex, int& result) {
        ++compared;
        result = tree.Data(a)[0] - tree.Data(b)[0];
    }
    SortFixture() { tree.OnCompareNodes = TVTCompareEvent::Bind<&SortFixture::Compare>(this); }
    ~SortFixture() override { tree.OnCompareNodes.Reset(); }
};

TEST_F(SortFixture, StabilityTable) {
    using Order = std::vector<std::string>;
    struct Case {
        Keys keys;
        TSortDirection direction;
        Order order;
    };
    const TSortDirection up = TSortDirection::sdAscending, down = TSortDirection::sdDescending;
    const Case cases[] = {
        {{1, 0, 1}, up, {"0.1", "1.0", "1.2"}},
        {{1, 0, 1}, down, {"1.0", "1.2", "0.1"}},
        {{5, 5, 5, 5}, up, {"5.0", "5.1", "5.2", "5.3"}},
        {{5, 5, 5, 5}, down, {"5.0", "5.1", "5.2", "5.3"}},
        {{3, 1, 2, 1, 3, 2}, up, {"1.1", "1.3", "2.2", "2.5", "3.0", "3.4"}},
        {{3, 1, 2, 1, 3, 2}, down, {"3.0", "3.4", "2.2", "2.5", "1.1", "1.3"}},
    };
    for (const Case& c : cases) {
        tree.Clear();
        tree.AddKeys(c.keys);
        tree.Sort(nullptr, 0, c.direction);
        EXPECT_EQ(tree.Order(), c.order);
        EXPECT_EQ(TreeInvariantChecker::Check(tree), ""); // indexes, previous and last links
    }
}

TEST_F(SortFixture, AnEditThatCannotEndKeepsTheOrder) {
    tree.AddKeys({2, 1});
    tree.StartEditing();
    tree.editEnds = false;
    tree.Sort(nullptr, 0, TSortDirection::sdAscending);
    EXPECT_EQ(tree.Order(), (std::vector<std::string>{"2.0", "1.1"}));
    tree.editEnds = true;
    tree.Sort(nullptr, 0, TSortDirection::sdAscending);
    EXPECT_EQ(tree.Order(), (std::vector<std::string>{"1.1", "2.0"}));
}

TEST_F(SortFixture, UncountedChildrenAreSortedOnlyWhenInitialisationIsAllowed) {
    PVirtualNode parent = tree.AddChild(nullptr);
    tree.SetHasChildren(parent, true);
    int asked = 0;
    auto children = [&](TBaseVirtualTree&, PVirtualNode, std::uint32_t& count) {
        ++asked;
        count = 3;
    };
    tree.OnInitChildren = TVTInitChildrenEvent::Bind(children);
    tree.Sort(parent, 0, TSortDirection::sdAscending, false);
    EXPECT_EQ(parent->ChildCount, 0u);
    EXPECT_EQ(asked, 0);
    tree.Sort(parent, 0, TSortDirection::sdAscending, true);
    EXPECT_EQ(parent->ChildCount, 3u);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(TreeInvariantChecker::Check(tree), "");
    tree.OnInitChildren.Reset();
}

TEST_F(SortFixture, SortTreeWithoutAValidColumnComparesNothing) {
    tree.AddKeys({2, 1});
    tree.SortTree(InvalidColumn, TSortDirection::sdAscending);
    EXPECT_EQ(compared, 0);
    EXPECT_EQ(tree.Order(), (std::vector<std::string>{"2.0", "1.1"}));
    tree.SortTree(NoColumn, TSortDirection::sdAscending);
    EXPECT_EQ(tree.Order(), (std::vector<std::string>{"1.1", "2.0"}));
}

} // namespace
} // namespace tarvola::test
