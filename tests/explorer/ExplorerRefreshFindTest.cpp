#include "explorer/ExplorerRefreshFind.h"

#include "tests/explorer/ExplorerStateFixture.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

namespace tarvola {
namespace {

using test::Item;
using test::Path;

// A tree of nodes over an in-memory disk: a node's children exist once it was expanded.
class TMemoryTree final : public IExplorerNodeWalk {
public:
    struct TNode {
        TItemIDList pidl;
        std::vector<TNode*> children;
        bool expanded = false;
    };

    std::deque<TNode> nodes;
    TNode* start = nullptr;
    // What each folder holds on disk, by its list's bytes.
    std::map<TItemIDList, std::vector<std::string>, test::TListOrder> disk;
    bool expandOnEnter = false;
    std::vector<TItemIDList> entered;
    // Items below this one are listed by no enumeration (network shares).
    std::optional<TItemIDList> unlistedBelow;

    TNode* Make(const TItemIDList& pidl) {
        nodes.push_back({pidl, {}, false});
        return &nodes.back();
    }
    void Expand(TNode& node) {
        if (node.expanded)
            return;
        node.expanded = true;
        for (const std::string& name : disk[node.pidl])
            node.children.push_back(Make(node.pidl.Append(Item(name))));
    }
    TNode* Node(TExplorerNodeRef ref) { return const_cast<TNode*>(static_cast<const TNode*>(ref)); }

    TExplorerNodeRef StartNode() override { return start; }
    std::optional<TItemIDList> NodePIDL(TExplorerNodeRef node) override { return Node(node)->pidl; }
    TExplorerNodeRef FirstChild(TExplorerNodeRef node) override {
        return Node(node)->children.empty() ? nullptr : Node(node)->children.front();
    }
    TExplorerNodeRef NextSibling(TExplorerNodeRef node) override {
        for (TNode& parent : nodes)
            for (std::size_t i = 0; i + 1 < parent.children.size(); ++i)
                if (parent.children[i] == node)
                    return parent.children[i + 1];
        return nullptr;
    }
    bool SameItem(const TItemIDList& a, const TItemIDList& b) override { return a == b; }
    void EnterLevel(TExplorerNodeRef node, const TItemIDList& level) override {
        entered.push_back(level);
        if (expandOnEnter)
            Expand(*Node(node));
    }
    TExplorerNodeRef AddUnlistedChild(TExplorerNodeRef node, const TItemIDList& level) override {
        if (!unlistedBelow || !unlistedBelow->IsParentOf(level, false))
            return nullptr;
        TNode* child = Make(level);
        Node(node)->children.push_back(child);
        return child;
    }
};

class FindNodeTest : public ::testing::Test {
protected:
    TMemoryTree tree;
    void SetUp() override {
        tree.disk[Item("root")] = {"a", "b", "net"};
        tree.disk[Path({"root", "a"})] = {"x", "y"};
        tree.disk[Path({"root", "a", "y"})] = {"deep.ker"};
        tree.start = tree.Make(Item("root"));
        tree.Expand(*tree.start);
    }
};

TEST_F(FindNodeTest, WalksThePathFromTheStartNode) {
    tree.expandOnEnter = true;
    struct Case {
        TItemIDList target;
        bool found;
    } cases[] = {
        {Item("root"), true},
        {Path({"root", "b"}), true},
        {Path({"root", "a", "y", "deep.ker"}), true},
        {Path({"root", "a", "q"}), false},
        {Path({"root", "a", "q", "r"}), false},
        {Item("other"), false},
        {Path({"other", "a"}), false},
        {TItemIDList(), false}, // the desktop lies above the start
    };
    for (const Case& c : cases) {
        const TExplorerNodeRef node = FindNodeOfPIDL(tree, c.target);
        EXPECT_EQ(node != nullptr, c.found) << c.target.Count();
        if (node != nullptr) {
            EXPECT_EQ(*tree.NodePIDL(node), c.target);
        }
    }
    EXPECT_EQ(FindNodeOfPIDL(tree, Item("root")), tree.start);
}

TEST_F(FindNodeTest, ALoadedLookupNeverLoadsAFolder) {
    EXPECT_NE(FindNodeOfPIDL(tree, Path({"root", "a"})), nullptr);
    EXPECT_EQ(FindNodeOfPIDL(tree, Path({"root", "a", "x"})), nullptr);
    EXPECT_FALSE(tree.Node(FindNodeOfPIDL(tree, Path({"root", "a"})))->expanded);
    // With the levels loaded on the way (as the browsing lookup does) it is found.
    tree.expandOnEnter = true;
    EXPECT_NE(FindNodeOfPIDL(tree, Path({"root", "a", "x"})), nullptr);
    EXPECT_EQ(tree.entered.back(), Path({"root", "a", "x"}));
}

TEST_F(FindNodeTest, UnlistedNetworkItemsGetNodesOnTheWay) {
    tree.unlistedBelow = Path({"root", "net"});
    const TExplorerNodeRef share = FindNodeOfPIDL(tree, Path({"root", "net", "server", "share"}));
    ASSERT_NE(share, nullptr);
    EXPECT_EQ(*tree.NodePIDL(share), Path({"root", "net", "server", "share"}));
    EXPECT_EQ(FindNodeOfPIDL(tree, Path({"root", "net", "server", "share"})), share) << "made once";
    EXPECT_EQ(FindNodeOfPIDL(tree, Path({"root", "b", "c"})), nullptr);
}

TEST(LevelsBelowTest, CutsTheTargetAfterEachRecordPastTheAncestor) {
    const auto same = [](const TItemIDList& a, const TItemIDList& b) { return a == b; };
    EXPECT_EQ(LevelsBelow(Item("a"), Path({"a", "b", "c"}), same),
              (std::vector<TItemIDList>{Path({"a", "b"}), Path({"a", "b", "c"})}));
    EXPECT_EQ(LevelsBelow(TItemIDList(), Item("a"), same), (std::vector<TItemIDList>{Item("a")}));
    EXPECT_EQ(LevelsBelow(Item("a"), Item("a"), same), std::vector<TItemIDList>{});
    EXPECT_EQ(LevelsBelow(Item("a"), Path({"b", "c"}), same), std::nullopt);
    EXPECT_EQ(LevelsBelow(Path({"a", "b"}), Item("a"), same), std::nullopt);
}

} // namespace
} // namespace tarvola
