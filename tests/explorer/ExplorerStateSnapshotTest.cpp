#include "explorer/ExplorerStateSnapshot.h"

#include "tests/explorer/ExplorerStateFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <set>

namespace tarvola {
namespace {

using test::Item;
using test::NameOf;
using test::Path;

// An explorer tree over an in-memory disk. Rerooting rebuilds every node (the old ones are freed), and a
// folder's children are read when it is expanded.
class TMemoryStateTree final : public IExplorerStateTree {
public:
    struct TNode {
        TItemIDList pidl;
        TNode* parent = nullptr;
        std::vector<TNode*> children;
        bool loaded = false;
        bool expanded = false;
        bool selected = false;
    };

    std::map<TItemIDList, std::vector<std::string>, test::TListOrder> disk;
    bool hideRoot = false;
    std::optional<TItemIDList> customRoot;
    int rebuilds = 0;
    int rootEnumerations = 0;
    TNode* focused = nullptr;
    TNode* top = nullptr;

    explicit TMemoryStateTree(bool hidden) : hideRoot(hidden) {
        disk[TItemIDList()] = {"c", "d"};
        disk[Item("c")] = {"docs", "music"};
        disk[Path({"c", "docs"})] = {"a.txt", "b.txt", "c.txt", "old"};
        disk[Path({"c", "docs", "old"})] = {"x.txt"};
        disk[Path({"c", "music"})] = {"song"};
        Rebuild();
    }

    TNode* Node(TExplorerNodeRef ref) const { return const_cast<TNode*>(static_cast<const TNode*>(ref)); }
    TNode* At(const TItemIDList& pidl) { return Node(FindNode(pidl)); }
    void Rebuild() {
        nodes_.clear();
        focused = top = nullptr;
        ++rebuilds;
        nodes_.push_back({customRoot.value_or(TItemIDList())});
        root_ = &nodes_.back();
        if (hideRoot)
            Load(*root_);
    }
    void Load(TNode& node) {
        if (node.loaded)
            return;
        node.loaded = true;
        for (const std::string& name : disk[node.pidl]) {
            nodes_.push_back({node.pidl.Append(Item(name)), &node});
            node.children.push_back(&nodes_.back());
        }
    }
    std::vector<std::string> ExpandedNames() {
        std::vector<std::string> names;
        for (TNode& node : nodes_)
            if (node.expanded && &node != root_)
                names.push_back(NameOf(node.pidl.LastItem()));
        return names;
    }
    std::vector<std::string> SelectedNames() {
        std::vector<std::string> names;
        for (TExplorerNodeRef node : SelectedNodes())
            names.push_back(Node(node)->pidl.IsDesktop() ? "desktop" : NameOf(Node(node)->pidl.LastItem()));
        return names;
    }

    TExplorerNodeRef StartNode() override { return root_; }
    bool IsHiddenRoot(TExplorerNodeRef node) override { return hideRoot && node == root_; }
    TExplorerNodeRef FirstNode() override {
        if (!hideRoot)
            return root_;
        return root_->children.empty() ? nullptr : root_->children.front();
    }
    std::optional<TItemIDList> NodePIDL(TExplorerNodeRef node) override { return Node(node)->pidl; }
    std::vector<TExplorerNodeRef> Children(TExplorerNodeRef node) override {
        return {Node(node)->children.begin(), Node(node)->children.end()};
    }
    bool Expanded(TExplorerNodeRef node) override { return Node(node)->expanded; }
    void SetExpanded(TExplorerNodeRef node, bool expanded) override {
        if (expanded)
            Load(*Node(node));
        Node(node)->expanded = expanded;
    }
    void EnumerateRootChildren() override {
        ++rootEnumerations;
        Load(*root_);
    }
    void InitializeExistingNodes() override {}
    TExplorerNodeRef FindNode(const TItemIDList& pidl) override {
        if (pidl == root_->pidl)
            return root_;
        if (!root_->pidl.IsParentOf(pidl, false))
            return nullptr;
        for (TNode* current = root_;;) {
            TItemIDList level = pidl;
            while (level.Count() > current->pidl.Count() + 1)
                level = level.Parent();
            SetExpanded(current, true);
            TNode* next = nullptr;
            for (TNode* child : current->children)
                if (child->pidl == level)
                    next = child;
            if (next == nullptr || next->pidl == pidl)
                return next;
            current = next;
        }
    }
    std::vector<TExplorerNodeRef> SelectedNodes() override {
        std::vector<TExplorerNodeRef> selected;
        Walk(root_, [&](TNode& node) {
            if (node.selected)
                selected.push_back(&node);
        });
        return selected;
    }
    void ClearSelection() override {
        for (TNode& node : nodes_)
            node.selected = false;
    }
    void Select(TExplorerNodeRef node) override { Node(node)->selected = true; }
    TExplorerNodeRef FocusedNode() override { return focused; }
    void SetFocusedNode(TExplorerNodeRef node) override { focused = Node(node); }
    TExplorerNodeRef TopNode() override { return top; }
    void SetTopNode(TExplorerNodeRef node) override { top = Node(node); }
    void BeginUpdate() override { ++updates_; }
    void EndUpdate() override { --updates_; }
    std::optional<TItemIDList> CustomRoot() override { return customRoot; }
    WideString CustomPath() override { return u""; }
    std::uint8_t RootFolder() override { return 0; }
    void Reroot(const std::optional<TItemIDList>& root, const WideString&, std::uint8_t) override {
        customRoot = root;
        Rebuild();
    }

    int OpenUpdates() const { return updates_; }

private:
    template <typename F>
    void Walk(TNode* node, F visit) {
        visit(*node);
        for (TNode* child : node->children)
            Walk(child, visit);
    }

    std::deque<TNode> nodes_;
    TNode* root_ = nullptr;
    int updates_ = 0;
};

class SnapshotTest : public ::testing::Test {
protected:
    test::TFakeStateShell shell;
    TStorageUserDataRegistry registry;
    TVETPersistent state{shell, registry};
};

TEST_F(SnapshotTest, NothingExpandedRecordsTheStartNodeCollapsed) {
    TMemoryStateTree tree(false);
    StoreTreeState(state, tree, true, true);
    ASSERT_EQ(state.Leaves.Leaves.size(), 1u);
    EXPECT_FALSE(state.Leaves.Leaves[0].Expanded);
    EXPECT_EQ(state.Leaves.Leaves[0].PIDL, TItemIDList());
    RestoreTreeState(state, tree, true, false, true);
    EXPECT_TRUE(tree.ExpandedNames().empty());
    EXPECT_EQ(tree.OpenUpdates(), 0);
}

TEST_F(SnapshotTest, ARefreshComesBackExpandedSelectedAndFocused) {
    for (const bool hidden : {false, true}) {
        TMemoryStateTree tree(hidden);
        tree.SetExpanded(tree.At(Path({"c", "docs", "old"})), true);
        tree.SetExpanded(tree.At(Path({"c", "music"})), true);
        tree.Select(tree.At(Path({"c", "docs", "c.txt"})));
        tree.Select(tree.At(Path({"c", "docs", "a.txt"})));
        tree.SetFocusedNode(tree.At(Path({"c", "docs", "c.txt"})));
        tree.SetTopNode(tree.At(Path({"c", "docs"})));
        StoreTreeState(state, tree, true, true);
        EXPECT_EQ(state.Leaves.Leaves.size(), 2u) << "only the innermost expanded folders";
        EXPECT_EQ(state.SelectionFolder, Path({"c", "docs"}));

        tree.disk[Path({"c", "docs"})].push_back("new");
        const int rebuilds = tree.rebuilds;
        RestoreTreeState(state, tree, true, true, true);
        EXPECT_EQ(tree.rebuilds, rebuilds + 1) << "a refresh always rebuilds";
        std::vector<std::string> expanded = tree.ExpandedNames();
        std::sort(expanded.begin(), expanded.end());
        EXPECT_EQ(expanded, (std::vector<std::string>{"c", "docs", "music", "old"}));
        EXPECT_NE(tree.At(Path({"c", "docs", "new"})), nullptr);
        EXPECT_EQ(tree.SelectedNames(), (std::vector<std::string>{"a.txt", "c.txt"}));
        ASSERT_NE(tree.focused, nullptr);
        EXPECT_EQ(tree.focused->pidl, Path({"c", "docs", "c.txt"}));
        ASSERT_NE(tree.top, nullptr);
        EXPECT_EQ(tree.top->pidl, Path({"c", "docs"})) << "the exact top row";
        EXPECT_EQ(tree.OpenUpdates(), 0);
    }
}

TEST_F(SnapshotTest, AGoneSelectedItemDoesNotCostTheOthers) {
    TMemoryStateTree tree(true);
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        tree.Select(tree.At(Path({"c", "docs", name})));
    StoreTreeState(state, tree, true, true);
    auto& docs = tree.disk[Path({"c", "docs"})];
    docs.erase(std::find(docs.begin(), docs.end(), "b.txt"));
    shell.Reversed = true; // and the shell sorts the other way today
    RestoreTreeState(state, tree, true, false, true);
    EXPECT_EQ(tree.SelectedNames(), (std::vector<std::string>{"a.txt", "c.txt"}));
}

TEST_F(SnapshotTest, ADesktopFirstSelectionStoresNoFolderAndSelectsTheFirstNode) {
    TMemoryStateTree tree(false);
    tree.Select(tree.StartNode());
    StoreTreeState(state, tree, true, true);
    EXPECT_FALSE(state.SelectionFolder);
    RestoreTreeState(state, tree, true, false, true);
    EXPECT_EQ(tree.SelectedNames(), std::vector<std::string>{"desktop"});
}

TEST_F(SnapshotTest, TheHiddenRootsLeafReadsTheRootAgain) {
    TMemoryStateTree tree(true);
    state.Leaves.AddLeaf(TItemIDList(), true);
    RestoreLeaves(state, tree, false);
    EXPECT_EQ(tree.rootEnumerations, 1);
    EXPECT_TRUE(tree.ExpandedNames().empty());
}

TEST_F(SnapshotTest, NamedViewsAreKeptAndShownByName) {
    TViewManager manager(shell, registry);
    TMemoryStateTree tree(false);
    tree.SetExpanded(tree.At(Path({"c", "music"})), true);
    StoreView(manager, u"Music", tree);
    tree.SetExpanded(tree.At(Path({"c", "music"})), false);
    tree.SetExpanded(tree.At(Path({"c", "docs"})), true);
    StoreView(manager, u"MUSIC", tree); // the same name: replaces
    StoreView(manager, u"Other", tree);
    EXPECT_EQ(manager.Views.Views.size(), 2u);

    TMemoryStateTree fresh(false);
    ShowView(manager, u"nothing", fresh);
    EXPECT_TRUE(fresh.ExpandedNames().empty());
    ShowView(manager, u"music", fresh);
    std::vector<std::string> expanded = fresh.ExpandedNames();
    std::sort(expanded.begin(), expanded.end());
    EXPECT_EQ(expanded, (std::vector<std::string>{"c", "docs"}));
}

} // namespace
} // namespace tarvola
