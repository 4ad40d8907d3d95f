// The explorer tree over the real shell under Wine: a tree rooted at a fixture folder lists exactly the
// expected names in the shell's order for each set of object filters, names the selected item's path and
// file name, browses to a file and takes a new file in at its place on refresh.
#include "explorer/VirtualExplorerTree.h"
#include "explorer/VirtualExplorerTreeShell.h"
#include "tests/shell/ShellLayerFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace tarvola::test {
namespace {

using Names = std::vector<std::string>;

class ExplorerShellTreeTest : public ShellLayerTest {
protected:
    void SetUp() override {
        MakeTree();
        folder.Write("Zed.txt", "z");
        folder.Write("alpha.ker", "a");
        std::filesystem::create_directory(folder.Path() / "Beta");
    }
    // The names of the top level of a list rooted at the fixture folder.
    Names Listed(TVirtualExplorerTree& tree) {
        Names names;
        for (PVirtualNode node = tree.GetFirstChild(tree.RootNode()); node; node = tree.GetNextSibling(node))
            names.push_back(WideToUtf8(tree.NodeItem(node)->NameParseAddressInFolder()));
        return names;
    }
    void RootList(TVirtualExplorerTree& tree, TFileObjects objects) {
        tree.SetFolderOptions({TVETFolderOption::toHideRootFolder, TVETFolderOption::toFoldersExpandable});
        tree.SetFileObjects(objects);
        tree.SetRootFolderCustomPath(WidePath(folder.Path()));
        tree.SetActive(true);
    }
    PVirtualNode Named(TVirtualExplorerTree& tree, PVirtualNode parent, const std::string& name) {
        for (PVirtualNode node = tree.GetFirstChild(parent); node; node = tree.GetNextSibling(node))
            if (WideToUtf8(tree.NodeItem(node)->NameParseAddressInFolder()) == name)
                return node;
        return nullptr;
    }

    TShellExplorerNamespace shell;
};

TEST_F(ExplorerShellTreeTest, ListsTheFolderInTheShellsOrderForEachFilterSet) {
    struct Case {
        TFileObjects objects;
        Names listed;
    };
    const Case cases[] = {
        {{TFileObject::foFolders}, {"Beta", "empty", "sub"}},
        {{TFileObject::foFolders, TFileObject::foNonFolders},
         {"Beta", "empty", "sub", "a.txt", "alpha.ker", "b.ker", "c.bin", "readonly.txt", "Zed.txt"}},
        {{TFileObject::foFolders, TFileObject::foNonFolders, TFileObject::foHidden},
         {"Beta", "empty", "sub", "a.txt", "alpha.ker", "b.ker", "c.bin", "hidden.txt", "readonly.txt",
          "Zed.txt"}},
        {{TFileObject::foNonFolders}, {"a.txt", "alpha.ker", "b.ker", "c.bin", "readonly.txt", "Zed.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "objects " << c.objects.Bits());
        TVirtualExplorerTree tree{shell};
        RootList(tree, c.objects);
        EXPECT_EQ(Listed(tree), c.listed);
        // The records-only listing that an unchanged refresh settles on names the same children.
        const std::uint32_t flags = EnumerationFlags(c.objects);
        const TFolderIDs ids = tree.RootItem()->EnumerateIDs(flags);
        std::vector<TItemIDList> full;
        for (const TExplorerItemPtr& child : tree.RootItem()->Enumerate(flags).Children)
            full.push_back(child->RelativePIDL());
        EXPECT_EQ(ids.Outcome, TEnumerationOutcome::Items);
        EXPECT_EQ(ids.Children, full);
    }
}

TEST_F(ExplorerShellTreeTest, AnEmptyFolderListsNothing) {
    TVirtualExplorerTree tree{shell};
    tree.SetFolderOptions({TVETFolderOption::toHideRootFolder});
    tree.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders, TFileObject::foHidden});
    tree.SetRootFolderCustomPath(Path("empty"));
    tree.SetActive(true);
    EXPECT_EQ(tree.RootNodeCount(), 0u);
    EXPECT_EQ(tree.RootItem()->Enumerate(EnumerationFlags(tree.FileObjects())).Outcome,
              TEnumerationOutcome::Empty);
    EXPECT_EQ(tree.RootItem()->EnumerateIDs(EnumerationFlags(tree.FileObjects())).Outcome,
              TEnumerationOutcome::Empty);
}

TEST_F(ExplorerShellTreeTest, SelectedPathAndFileNameAreTheSelectedFiles) {
    TVirtualExplorerTree tree{shell};
    RootList(tree, {TFileObject::foFolders, TFileObject::foNonFolders});
    const PVirtualNode file = Named(tree, tree.RootNode(), "b.ker");
    ASSERT_NE(file, nullptr);
    tree.SetSelected(file, true);
    EXPECT_EQ(WideToUtf8(tree.GetSelectedFileName()), "b.ker");
    EXPECT_EQ(tree.GetSelectedPath(), Path("b.ker"));
}

TEST_F(ExplorerShellTreeTest, BrowsesToAFileBelowTheRoot) {
    TVirtualExplorerTree tree{shell};
    RootList(tree, {TFileObject::foFolders, TFileObject::foNonFolders});
    EXPECT_TRUE(tree.BrowseToPath(Path("sub\\inner.dat"), false, true, false, false));
    EXPECT_EQ(tree.GetSelectedPath(), Path("sub\\inner.dat"));
    EXPECT_FALSE(tree.BrowseToPath(Path("sub\\missing.dat"), false, true, false, false));
}

TEST_F(ExplorerShellTreeTest, AWatchedFolderShowsEveryChangeOnRefresh) {
    TVirtualExplorerTree tree{shell};
    tree.WatchedListingMinimum = 0;
    RootList(tree, {TFileObject::foFolders, TFileObject::foNonFolders});
    const PVirtualNode kept = Named(tree, tree.RootNode(), "c.bin");
    struct Case {
        std::string name;
        std::function<void()> change;
        Names shown, gone;
    };
    const std::filesystem::path dir = folder.Path();
    const Case cases[] = {
        {"nothing", [] {}, {"alpha.ker", "Zed.txt"}, {}},
        {"a file made", [&] { folder.Write("made.ker", "m"); }, {"made.ker"}, {}},
        {"a file renamed",
         [&] { std::filesystem::rename(dir / "made.ker", dir / "renamed.ker"); },
         {"renamed.ker"},
         {"made.ker"}},
        {"a file hidden",
         [&] { SetFileAttributesW((dir / "renamed.ker").c_str(), FILE_ATTRIBUTE_HIDDEN); },
         {},
         {"renamed.ker"}},
        {"a folder made", [&] { std::filesystem::create_directory(dir / "Made"); }, {"Made"}, {}},
        {"a file removed", [&] { std::filesystem::remove(dir / "alpha.ker"); }, {}, {"alpha.ker"}},
        {"nothing since", [] {}, {"Made", "Zed.txt"}, {"alpha.ker", "renamed.ker"}},
    };
    const auto shows = [&](const Case& c) {
        const auto listed = [&](const std::string& name) {
            return Named(tree, tree.RootNode(), name) != nullptr;
        };
        return std::all_of(c.shown.begin(), c.shown.end(), listed) &&
               std::none_of(c.gone.begin(), c.gone.end(), listed);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.change();
        tree.RefreshNodeChildren(tree.RootNode());
        // The system reports a change to the watch in its own time (under Wine through its server, a little
        // later on a busy machine): a refresh shows the change once it has been reported.
        for (int wait = 0; wait < 100 && !shows(c); ++wait) {
            Sleep(20);
            tree.RefreshNodeChildren(tree.RootNode());
        }
        for (const std::string& name : c.shown)
            EXPECT_NE(Named(tree, tree.RootNode(), name), nullptr) << name;
        for (const std::string& name : c.gone)
            EXPECT_EQ(Named(tree, tree.RootNode(), name), nullptr) << name;
        EXPECT_EQ(Named(tree, tree.RootNode(), "c.bin"), kept);
    }
    SetFileAttributesW((dir / "renamed.ker").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ExplorerShellTreeTest, RefreshTakesANewFileInAtItsPlace) {
    TVirtualExplorerTree tree{shell};
    RootList(tree, {TFileObject::foFolders, TFileObject::foNonFolders});
    const PVirtualNode kept = Named(tree, tree.RootNode(), "c.bin");
    folder.Write("b2.ker", "x");
    std::filesystem::remove(folder.Path() / "a.txt");
    tree.RefreshNodeChildren(tree.RootNode());
    EXPECT_EQ(Listed(tree), (Names{"Beta", "empty", "sub", "alpha.ker", "b.ker", "b2.ker", "c.bin",
                                   "readonly.txt", "Zed.txt"}));
    EXPECT_EQ(Named(tree, tree.RootNode(), "c.bin"), kept);
    std::filesystem::create_directory(folder.Path() / "New Folder");
    tree.RefreshTree(false);
    EXPECT_NE(Named(tree, tree.RootNode(), "New Folder"), nullptr);
}

} // namespace
} // namespace tarvola::test
