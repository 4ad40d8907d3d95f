// Browsing, finding and refreshing in the explorer tree over an in-memory namespace.
#include "tests/explorer/VirtualExplorerTreeFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>

namespace tarvola::test {
namespace {

using Names = std::vector<std::string>;

std::string FileName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "f%04d.ker", i);
    return name;
}

// The path of a name in the big folder (built by appending: the Windows compilers warn wrongly about a
// literal joined with a string).
std::string InBig(const std::string& name) {
    std::string path("\\big\\");
    path.append(name);
    return path;
}

class ExplorerBrowseTest : public testing::Test {
protected:
    ExplorerBrowseTest() {
        ns.Add("\\root\\a\\b\\deep.ker");
        ns.Add("\\root\\a\\x.ker");
        ns.Add("\\root\\c\\");
        ns.Add("\\root\\top.ker");
        tree.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
    }

    void Root(bool hideRoot) {
        tree.SetFolderOptions(hideRoot ? TVETFolderOptions{TVETFolderOption::toHideRootFolder,
                                                           TVETFolderOption::toFoldersExpandable}
                                       : TVETFolderOptions{TVETFolderOption::toFoldersExpandable});
        tree.SetRootFolderCustomPath(u"\\root");
        tree.SetActive(true);
    }

    TMemoryNamespace ns;
    TVirtualExplorerTree tree{ns};
};

TEST_F(ExplorerBrowseTest, BrowseToPathFindsExpandsAndSelects) {
    struct Case {
        bool hideRoot;
        std::u16string path;
        bool found;
        std::string selected;
    };
    const Case cases[] = {
        {false, u"\\root", true, "root"},
        {true, u"\\root", true, "<none>"},
        {false, u"\\root\\a\\b\\deep.ker", true, "deep.ker"},
        {true, u"\\root\\a\\b\\deep.ker", true, "deep.ker"},
        {true, u"\\root\\a\\b\\", true, "b"},
        {true, u"\\root\\missing.ker", false, "<none>"},
        {true, u"\\other\\deep.ker", false, "<none>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << Narrow(c.path) << (c.hideRoot ? " (list)" : " (tree)"));
        TMemoryNamespace shell;
        shell.Add("\\root\\a\\b\\deep.ker");
        shell.Add("\\root\\c\\");
        shell.Add("\\other\\deep.ker");
        TVirtualExplorerTree t{shell};
        t.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
        t.SetFolderOptions(c.hideRoot ? TVETFolderOptions{TVETFolderOption::toHideRootFolder,
                                                          TVETFolderOption::toFoldersExpandable}
                                      : TVETFolderOptions{TVETFolderOption::toFoldersExpandable});
        t.SetRootFolderCustomPath(u"\\root");
        t.SetActive(true);
        const std::uint32_t countBefore = t.TotalCount();
        EXPECT_EQ(t.BrowseToPath(c.path, false, true, false, false), c.found);
        const PVirtualNode selected = t.GetFirstSelected();
        EXPECT_EQ(selected == nullptr ? "<none>" : Narrow(t.NodeItem(selected)->NameNormal()), c.selected);
        if (c.selected == "deep.ker") {
            EXPECT_TRUE(t.Expanded(t.GetFirstSelected()->Parent)) << "the path was not expanded";
        }
        if (!c.found) {
            EXPECT_EQ(t.TotalCount(), countBefore) << "a failed browse changed the tree";
        }
    }
}

TEST_F(ExplorerBrowseTest, FindLoadedNodeNeverLoadsAFolder) {
    Root(true);
    const TItemIDList deep = ListOf({"root", "a", "b", "deep.ker"});
    const TItemIDList copy = deep;
    const PVirtualNode a = ChildNamed(tree, tree.RootNode(), "a");
    EXPECT_EQ(tree.FindLoadedNode(deep), nullptr);
    EXPECT_FALSE(tree.Expanded(a));
    EXPECT_EQ(tree.ChildCount(a), 0u);
    EXPECT_EQ(deep, copy);
    EXPECT_EQ(tree.FindLoadedNode(ListOf({"root", "a"})), a);
    EXPECT_EQ(tree.FindLoadedNode(ListOf({"root"})), tree.RootNode());
    EXPECT_EQ(tree.FindNodeByPIDL(deep, false, true, false, true),
              ChildNamed(tree, ChildNamed(tree, a, "b"), "deep.ker"));
    EXPECT_EQ(deep, copy) << "the walk wrote into the caller's list";
}

class ExplorerRefreshTest : public testing::Test {
protected:
    ExplorerRefreshTest() {
        for (int i = 0; i < 1000; i += 2)
            ns.Add(InBig(FileName(i)));
        ns.Add("\\big\\sub\\");
        tree.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
        tree.SetFolderOptions({TVETFolderOption::toHideRootFolder});
        tree.SetRootFolderCustomPath(u"\\big");
        tree.SetActive(true);
    }
    std::string NameOfFocused() {
        const PVirtualNode node = tree.FocusedNode();
        return node == nullptr ? "<none>" : Narrow(tree.NodeItem(node)->NameNormal());
    }
    std::vector<PVirtualNode> Nodes() {
        std::vector<PVirtualNode> nodes;
        for (PVirtualNode node = tree.GetFirstChild(tree.RootNode()); node; node = tree.GetNextSibling(node))
            nodes.push_back(node);
        return nodes;
    }

    TMemoryNamespace ns;
    TVirtualExplorerTree tree{ns};
};

TEST_F(ExplorerRefreshTest, MergeAddsAndRemovesExactlyTheChangedItems) {
    struct Case {
        std::string name;
        std::vector<std::string> create, remove;
    };
    const Case cases[] = {
        {"one new file", {FileName(501)}, {}},
        {"one file gone", {}, {FileName(500)}},
        {"first and last", {FileName(1000), "a.ker"}, {FileName(0)}},
        {"one file replaced by another", {FileName(601)}, {FileName(600)}},
        {"nothing", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::string& name : c.create)
            ns.Add(InBig(name));
        for (const std::string& name : c.remove)
            ns.Remove(InBig(name));
        const std::vector<PVirtualNode> before = Nodes();
        std::map<std::string, PVirtualNode> nodeOf;
        for (PVirtualNode node : before)
            nodeOf[Narrow(tree.NodeItem(node)->NameNormal())] = node;
        for (const std::string& name : c.remove)
            nodeOf.erase(name);
        std::vector<std::pair<std::string, TNamespaceStructureChange>> changes;
        auto record = [&](TCustomVirtualExplorerTree&, PVirtualNode, IExplorerItem* item,
                          TNamespaceStructureChange change) {
            changes.push_back({Narrow(item->NameNormal()), change});
        };
        tree.OnNamespaceStructureChange = TVETStructureChangeEvent::Bind(record);
        tree.RefreshNodeChildren(tree.RootNode());
        tree.OnNamespaceStructureChange.Reset();

        std::vector<std::pair<std::string, TNamespaceStructureChange>> expected;
        for (const std::string& name : c.remove)
            expected.push_back({name, TNamespaceStructureChange::nscDelete});
        for (const std::string& name : c.create)
            expected.push_back({name, TNamespaceStructureChange::nscAdd});
        std::sort(changes.begin(), changes.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(changes, expected);

        // The order is still the folder's, and nodes of items that stayed are the same nodes.
        const std::vector<PVirtualNode> after = Nodes();
        Names shown = ChildNames(tree, tree.RootNode());
        Names sorted = shown;
        std::stable_sort(sorted.begin() + 1, sorted.end(), [](const std::string& a, const std::string& b) {
            return PlatformText().CompareText(Wide(a), Wide(b)) < 0;
        });
        EXPECT_EQ(shown, sorted);
        EXPECT_EQ(shown.front(), "sub");
        for (const auto& [name, node] : nodeOf)
            EXPECT_EQ(ChildNamed(tree, tree.RootNode(), name), node) << name << " got a new node";
        EXPECT_EQ(after.size(), before.size() + c.create.size() - c.remove.size());
    }
}

TEST_F(ExplorerRefreshTest, AWatchedFolderIsListedAgainOnlyAfterAChange) {
    ns.Watches = true;
    tree.WatchedListingMinimum = 0;
    tree.RebuildTree();
    const PVirtualNode kept = ChildNamed(tree, tree.RootNode(), FileName(2));
    struct Case {
        std::string name;
        std::function<void()> change;
        bool listedAgain;
        Names shown, gone;
    };
    const Case cases[] = {
        {"nothing", [] {}, false, {FileName(10)}, {}},
        {"a file made", [&] { ns.Add(InBig("new.ker")); }, true, {"new.ker"}, {}},
        {"a file renamed",
         [&] {
             ns.Remove(InBig("new.ker"));
             ns.Add(InBig("renamed.ker"));
         },
         true,
         {"renamed.ker"},
         {"new.ker"}},
        {"a file's node deleted by the tree",
         [&] { tree.DeleteNode(ChildNamed(tree, tree.RootNode(), FileName(10))); },
         true,
         {FileName(10)},
         {}},
        {"nothing since", [] {}, false, {FileName(10), "renamed.ker"}, {"new.ker"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.change();
        const int listings = ns.Enumerations["\\big"];
        tree.RefreshNodeChildren(tree.RootNode());
        EXPECT_EQ(ns.Enumerations["\\big"] != listings, c.listedAgain);
        for (const std::string& name : c.shown)
            EXPECT_NE(ChildNamed(tree, tree.RootNode(), name), nullptr) << name;
        for (const std::string& name : c.gone)
            EXPECT_EQ(ChildNamed(tree, tree.RootNode(), name), nullptr) << name;
        EXPECT_EQ(ChildNamed(tree, tree.RootNode(), FileName(2)), kept);
    }
    // A folder with fewer children than the tree watches is listed on every refresh.
    tree.WatchedListingMinimum = 1000;
    tree.RebuildTree();
    const int listings = ns.Enumerations["\\big"];
    tree.RefreshNodeChildren(tree.RootNode());
    EXPECT_NE(ns.Enumerations["\\big"], listings);
}

TEST_F(ExplorerRefreshTest, SelectionAndFocusSurviveAndPassOnFromDeletedNodes) {
    tree.TreeOptions().SetSelectionOptions({TVTSelectionOption::toMultiSelect});
    PVirtualNode kept = ChildNamed(tree, tree.RootNode(), FileName(10));
    PVirtualNode doomed = ChildNamed(tree, tree.RootNode(), FileName(20));
    tree.SetSelected(kept, true);
    tree.SetFocusedNode(doomed);
    ns.Add(InBig(FileName(11)));
    ns.Remove(InBig(FileName(20)));
    tree.RefreshNodeChildren(tree.RootNode());
    EXPECT_TRUE(tree.Selected(kept));
    EXPECT_EQ(NameOfFocused(), FileName(22)) << "focus goes to the next sibling";

    // The last child gone in a list: no focus at all.
    PVirtualNode last = ChildNamed(tree, tree.RootNode(), FileName(998));
    tree.SetFocusedNode(last);
    ns.Remove(InBig(FileName(998)));
    tree.RefreshNodeChildren(tree.RootNode());
    EXPECT_EQ(tree.FocusedNode(), nullptr);
}

TEST_F(ExplorerRefreshTest, FailedComparisonsNeverCostANode) {
    ns.FailCompare = true;
    const std::size_t count = Nodes().size();
    tree.RefreshNodeChildren(tree.RootNode());
    EXPECT_EQ(Nodes().size(), count);
}

TEST_F(ExplorerRefreshTest, RefreshTreeShowsNewFoldersAndKeepsTheSelection) {
    tree.SetSelected(ChildNamed(tree, tree.RootNode(), FileName(4)), true);
    ns.Add("\\big\\new folder\\");
    tree.RefreshTree(false);
    EXPECT_NE(ChildNamed(tree, tree.RootNode(), "new folder"), nullptr);
    ASSERT_NE(tree.GetFirstSelected(), nullptr);
    EXPECT_EQ(Narrow(tree.NodeItem(tree.GetFirstSelected())->NameNormal()), FileName(4));
}

TEST_F(ExplorerRefreshTest, RefreshOfAListRootedByItemListShowsTheFoldersContent) {
    // Browsing into a sub-folder roots the list at its item list; a new folder made there must show.
    tree.SetRootFolderCustomPIDL(ListOf({"big", "sub"}));
    EXPECT_EQ(tree.RootNodeCount(), 0u);
    ns.Add("\\big\\sub\\New Folder\\");
    tree.RefreshTree(false);
    EXPECT_EQ(ChildNames(tree, tree.RootNode()), (Names{"New Folder"}));
    EXPECT_EQ(tree.RootFolder(), TRootFolder::rfCustomPIDL);
}

TEST_F(ExplorerRefreshTest, ReenumerateNodeReadsTheFolderAgain) {
    ns.Add("\\big\\zz.ker");
    ns.Remove(InBig(FileName(0)));
    tree.ReenumerateNode(tree.RootNode());
    EXPECT_NE(ChildNamed(tree, tree.RootNode(), "zz.ker"), nullptr);
    EXPECT_EQ(ChildNamed(tree, tree.RootNode(), FileName(0)), nullptr);
}

} // namespace
} // namespace tarvola::test
