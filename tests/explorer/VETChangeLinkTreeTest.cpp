// Explorer trees linked through change links over an in-memory namespace: following a partner without
// echo, suspension while updating, link properties cleared when a partner goes, the folder tree's defaults,
// and a folder tree with the list that follows it.
#include "explorer/VirtualExplorerListview.h"
#include "explorer/VirtualExplorerTreeview.h"

#include "tests/explorer/VirtualExplorerTreeFixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace tarvola::test {
namespace {

// A tree that counts the browses its links cause.
class TCountingTree : public TVirtualExplorerTree {
public:
    using TVirtualExplorerTree::TVirtualExplorerTree;
    bool BrowseToPIDL(const TItemIDList& pidl, bool expandTarget, bool selectTarget, bool setFocus,
                      bool collapseAllFirst, bool expandPath) override {
        ++Browses;
        return TVirtualExplorerTree::BrowseToPIDL(pidl, expandTarget, selectTarget, setFocus,
                                                  collapseAllFirst, expandPath);
    }
    int Browses = 0;
};

std::string SelectedName(TCustomVirtualExplorerTree& tree) {
    IExplorerItem* item = tree.NodeItem(tree.GetFirstSelected());
    return item != nullptr ? Narrow(item->NameNormal()) : "<none>";
}

class ChangeLinkTreeTest : public testing::Test {
protected:
    ChangeLinkTreeTest() {
        ns.Add("\\root\\a\\b\\deep.ker");
        ns.Add("\\root\\c\\");
        for (TCustomVirtualExplorerTree* tree : {&left, &right}) {
            tree->SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
            tree->SetRootFolderCustomPath(u"\\root");
            tree->SetActive(true);
        }
    }

    // Records what the tree dispatches.
    void Record(TCustomVirtualExplorerTree& tree) {
        VETChangeDispatch().RegisterChangeLink(
            tree.ChangeLinkId(), &recorded,
            [this](const void*, const TItemIDList& pidl) { recorded.push_back(pidl); }, nullptr);
    }
    void TearDown() override {
        VETChangeDispatch().UnRegisterChangeLink(&recorded, &recorded, TVETUnregisterMode::umEither);
    }

    TMemoryNamespace ns;
    TCountingTree left{ns};
    TCountingTree right{ns};
    std::vector<TItemIDList> recorded;
};

TEST_F(ChangeLinkTreeTest, MutuallyLinkedTreesFollowEachOtherWithoutEcho) {
    left.SetVirtualExplorerTree(&right);
    right.SetVirtualExplorerTree(&left);
    ASSERT_TRUE(left.BrowseToPath(u"\\root\\a\\b", false, true, false, false));
    EXPECT_EQ(SelectedName(left), "b");
    EXPECT_EQ(SelectedName(right), "b");
    EXPECT_EQ(left.Browses, 1); // its own browse only: the partner's reaction did not come back
    EXPECT_EQ(right.Browses, 1);

    // A partner that shows the item already does not browse again.
    right.BrowseToPath(u"\\root\\a\\b", false, true, false, false);
    EXPECT_EQ(left.Browses, 1);
    EXPECT_EQ(right.Browses, 2);

    ASSERT_TRUE(right.BrowseToPath(u"\\root\\c", false, true, false, false));
    EXPECT_EQ(SelectedName(left), "c");
    EXPECT_EQ(left.Browses, 2);
    EXPECT_EQ(right.Browses, 3);
}

TEST_F(ChangeLinkTreeTest, AnUpdateDispatchesOnceAtItsEnd) {
    Record(left);
    PVirtualNode root = left.GetFirst();
    left.BeginUpdate();
    left.BeginUpdate();
    for (PVirtualNode child = left.GetFirstChild(root); child != nullptr;
         child = left.GetNextSibling(child)) {
        left.ClearSelection();
        left.SetSelected(child, true);
    }
    left.EndUpdate();
    EXPECT_TRUE(recorded.empty());
    EXPECT_TRUE(left.ChangeLinkSuspended());
    left.EndUpdate();
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0], left.NodeItem(left.GetFirstSelected())->AbsolutePIDL());
    EXPECT_FALSE(left.ChangeLinkSuspended());
}

TEST_F(ChangeLinkTreeTest, DestroyingEitherPartnerClearsTheOthersLink) {
    for (const bool destroyFollower : {false, true}) {
        auto follower = std::make_unique<TVirtualExplorerTree>(ns);
        auto followed = std::make_unique<TVirtualExplorerTree>(ns);
        follower->SetVirtualExplorerTree(followed.get());
        followed->SetVirtualExplorerTree(follower.get());
        const std::size_t links = VETChangeDispatch().Count();
        if (destroyFollower) {
            follower.reset();
            EXPECT_EQ(followed->VirtualExplorerTree(), nullptr);
        } else {
            followed.reset();
            EXPECT_EQ(follower->VirtualExplorerTree(), nullptr);
        }
        EXPECT_EQ(VETChangeDispatch().Count(), links - 2);
    }
}

TEST_F(ChangeLinkTreeTest, ChangingTheLinkPropertyMovesTheLink) {
    TVirtualExplorerTree third{ns};
    third.SetRootFolderCustomPath(u"\\root");
    third.SetActive(true);
    const std::size_t links = VETChangeDispatch().Count();
    third.SetVirtualExplorerTree(&left);
    third.SetVirtualExplorerTree(&right);
    EXPECT_EQ(VETChangeDispatch().Count(), links + 1);
    ASSERT_TRUE(right.BrowseToPath(u"\\root\\c", false, true, false, false));
    EXPECT_EQ(SelectedName(third), "c");
    left.BrowseToPath(u"\\root\\a", false, true, false, false);
    EXPECT_EQ(SelectedName(third), "c");
    third.SetVirtualExplorerTree(nullptr);
    EXPECT_EQ(VETChangeDispatch().Count(), links);
}

TEST(ExplorerTreeviewTest, AFolderTreeListsFoldersWithItsOwnDefaults) {
    TMemoryNamespace ns;
    ns.Add("\\root\\a\\x.ker");
    ns.Add("\\root\\b\\");
    TVirtualExplorerTreeview treeview{ns};
    EXPECT_EQ(treeview.FileObjects(), (TFileObjects{TFileObject::foFolders, TFileObject::foHidden}));
    EXPECT_EQ(treeview.FolderOptions(), TVETFolderOptions{TVETFolderOption::toFoldersExpandable});
    EXPECT_TRUE(treeview.ImageOptions().Has(TVETImageOption::toThreadedImages));
    EXPECT_EQ(treeview.ShellOptions, TVETShellOptions{TVETShellOption::toContextMenus});
    EXPECT_TRUE(treeview.MiscOptions.Has(TVETMiscOption::toRemoveContextMenuShortCut));
    EXPECT_FALSE(treeview.MiscOptions.Has(TVETMiscOption::toExecuteOnDblClk));
    EXPECT_EQ(treeview.TreeOptions().AutoOptions(), TVTAutoOptions{TVTAutoOption::toAutoScroll});
    EXPECT_TRUE(treeview.TreeOptions().SelectionOptions().Has(TVTSelectionOption::toSiblingSelectConstraint));
    EXPECT_FALSE(treeview.TreeOptions().MiscOptions().Has(TVTMiscOption::toReportMode));
    treeview.SetRootFolderCustomPath(u"\\root");
    treeview.SetActive(true);
    EXPECT_EQ(ChildNames(treeview, ChildNamed(treeview, treeview.RootNode(), "root")),
              (std::vector<std::string>{"a", "b"}));
}

TEST(ExplorerTreeviewTest, ItsListLinkGoesWithTheList) {
    TMemoryNamespace ns;
    TVirtualExplorerTreeview treeview{ns};
    auto list = std::make_unique<TVirtualExplorerTree>(ns);
    treeview.SetVirtualExplorerListview(list.get());
    list->SetVirtualExplorerTree(&treeview);
    list.reset();
    EXPECT_EQ(treeview.VirtualExplorerListview(), nullptr);
}

// The browses a flavour's links cause.
template <class TFlavour>
class TCounting : public TFlavour {
public:
    using TFlavour::TFlavour;
    bool BrowseToPIDL(const TItemIDList& pidl, bool expandTarget, bool selectTarget, bool setFocus,
                      bool collapseAllFirst, bool expandPath) override {
        ++Browses;
        return TFlavour::BrowseToPIDL(pidl, expandTarget, selectTarget, setFocus, collapseAllFirst,
                                      expandPath);
    }
    int Browses = 0;
};

class TreeAndListLinkTest : public testing::Test {
protected:
    TreeAndListLinkTest() {
        ns.Add("\\root\\a\\b\\deep.ker");
        ns.Add("\\root\\c\\");
        for (TCustomVirtualExplorerTree* view : {static_cast<TCustomVirtualExplorerTree*>(&treeview),
                                                 static_cast<TCustomVirtualExplorerTree*>(&list)}) {
            view->SetRootFolderCustomPath(u"\\root");
            view->SetActive(true);
        }
    }
    void LinkBothWays() {
        treeview.SetVirtualExplorerListview(&list);
        list.SetVirtualExplorerTreeview(&treeview);
    }
    std::string ListRoot() { return TMemoryNamespace::PathOf(list.RootItem()->AbsolutePIDL()); }
    static TItemIDList PIDL(const std::string& path) { return ListOf(SplitPath(path)); }

    TMemoryNamespace ns;
    TCounting<TVirtualExplorerTreeview> treeview{ns};
    TCounting<TVirtualExplorerListview> list{ns};
};

TEST_F(TreeAndListLinkTest, TreeAndListFollowEachOtherWithoutEcho) {
    LinkBothWays();
    ASSERT_TRUE(treeview.BrowseToPath(u"\\root\\a", false, true, false, false));
    EXPECT_EQ(ListRoot(), "\\root\\a");
    EXPECT_EQ(treeview.Browses, 1);
    EXPECT_EQ(list.Browses, 1) << "the list's report of its new folder did not come back to it";

    ASSERT_TRUE(list.BrowseToPIDL(PIDL("\\root\\c"), false, true, false, false, false));
    EXPECT_EQ(SelectedName(treeview), "c");
    EXPECT_EQ(treeview.Browses, 2);
    EXPECT_EQ(list.Browses, 2);

    // The list reports the folder it shows, not a file selected in it: the tree stays on that folder.
    ASSERT_TRUE(list.BrowseToPIDL(PIDL("\\root\\a\\b\\deep.ker"), false, true, false, false, false));
    EXPECT_EQ(ListRoot(), "\\root\\a\\b");
    EXPECT_EQ(SelectedName(list), "deep.ker");
    EXPECT_EQ(SelectedName(treeview), "b");
    EXPECT_EQ(treeview.Browses, 3);
    list.ClearSelection();
    EXPECT_EQ(SelectedName(treeview), "b");
    EXPECT_EQ(treeview.Browses, 3);
}

TEST_F(TreeAndListLinkTest, TheListReportsItsFolderEvenWhileUpdating) {
    std::vector<TItemIDList> recorded;
    VETChangeDispatch().RegisterChangeLink(
        list.ChangeLinkId(), &recorded,
        [&](const void*, const TItemIDList& pidl) { recorded.push_back(pidl); }, nullptr);
    list.BeginChangeLinkSuspend();
    list.DispatchChangeLink();
    list.EndChangeLinkSuspend();
    VETChangeDispatch().UnRegisterChangeLink(&recorded, &recorded, TVETUnregisterMode::umEither);
    ASSERT_FALSE(recorded.empty());
    for (const TItemIDList& pidl : recorded)
        EXPECT_EQ(pidl, PIDL("\\root"));
}

TEST_F(TreeAndListLinkTest, DestroyingEitherPartnerClearsTheOthersLink) {
    for (const bool destroyList : {false, true}) {
        auto ownTree = std::make_unique<TVirtualExplorerTreeview>(ns);
        auto ownList = std::make_unique<TVirtualExplorerListview>(ns);
        ownTree->SetVirtualExplorerListview(ownList.get());
        ownList->SetVirtualExplorerTreeview(ownTree.get());
        const std::size_t links = VETChangeDispatch().Count();
        if (destroyList) {
            ownList.reset();
            EXPECT_EQ(ownTree->VirtualExplorerListview(), nullptr);
        } else {
            ownTree.reset();
            EXPECT_EQ(ownList->VirtualExplorerTreeview(), nullptr);
        }
        EXPECT_EQ(VETChangeDispatch().Count(), links - 2);
    }
}

TEST_F(TreeAndListLinkTest, TheFolderTreeBoundsTheListsBrowsing) {
    list.MiscOptions = list.MiscOptions.With(TVETMiscOption::toListviewLimitBrowseToRoot);
    TVirtualExplorerTreeview unrooted{ns};
    list.SetVirtualExplorerTreeview(&unrooted);
    EXPECT_TRUE(list.CanBrowseToPIDL(TItemIDList())) << "a folder tree without a root bounds nothing";
    list.SetVirtualExplorerTreeview(&treeview);
    treeview.SetRootFolderCustomPath(u"\\root\\a");
    EXPECT_TRUE(list.CanBrowseToPIDL(PIDL("\\root\\a\\b")));
    EXPECT_FALSE(list.CanBrowseToPIDL(PIDL("\\root\\c")));
    list.SetVirtualExplorerTreeview(nullptr);
}

} // namespace
} // namespace tarvola::test
