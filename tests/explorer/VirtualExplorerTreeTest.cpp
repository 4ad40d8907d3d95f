// The explorer tree over an in-memory namespace: its root shapes, custom roots, enumeration by object
// filters and the shell's order, texts, threaded icons, the wait cursor and the selected item's path.
#include "tests/explorer/VirtualExplorerTreeFixture.h"

#include <gtest/gtest.h>

namespace tarvola::test {
namespace {

using Names = std::vector<std::string>;

class ExplorerTreeTest : public testing::Test {
protected:
    ExplorerTreeTest() {
        ns.Add("\\presets\\");
        ns.Add("\\presets\\Zeta.ker", 10);
        ns.Add("\\presets\\alpha.ker", 2048);
        ns.Add("\\presets\\Beta\\");
        ns.Add("\\presets\\beta.ker", 1);
        ns.Add("\\presets\\hidden.ker", 1, true);
        ns.Add("\\presets\\Beta\\inner.ker");
        ns.Add("\\presets\\empty\\");
        ns.Add("\\other\\");
    }

    // A list rooted at the presets folder, as the preset browser shows it.
    void RootAtPresets(TFileObjects objects = {TFileObject::foFolders, TFileObject::foNonFolders}) {
        tree.SetFolderOptions({TVETFolderOption::toHideRootFolder});
        tree.SetFileObjects(objects);
        tree.SetRootFolderCustomPath(u"\\presets");
        tree.SetActive(true);
    }

    TMemoryNamespace ns;
    TVirtualExplorerTree tree{ns};
};

TEST_F(ExplorerTreeTest, RootShapeFollowsHideRootAndFoldersExpandable) {
    struct Case {
        bool hideRoot, foldersExpandable;
        Names topLevel;
        bool firstExpanded, firstFolderHasButton;
    };
    const Case cases[] = {
        {false, false, {"presets"}, true, false},
        {false, true, {"presets"}, true, true},
        {true, false, {"Beta", "empty", "alpha.ker", "beta.ker", "Zeta.ker"}, false, false},
        {true, true, {"Beta", "empty", "alpha.ker", "beta.ker", "Zeta.ker"}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "hideRoot " << c.hideRoot << " expandable " << c.foldersExpandable);
        TMemoryNamespace shell;
        shell.Add("\\presets\\Beta\\inner.ker");
        shell.Add("\\presets\\empty\\");
        shell.Add("\\presets\\Zeta.ker");
        shell.Add("\\presets\\alpha.ker");
        shell.Add("\\presets\\beta.ker");
        TVirtualExplorerTree t{shell};
        TVETFolderOptions folderOptions;
        if (c.hideRoot)
            folderOptions = folderOptions.With(TVETFolderOption::toHideRootFolder);
        if (c.foldersExpandable)
            folderOptions = folderOptions.With(TVETFolderOption::toFoldersExpandable);
        t.SetFolderOptions(folderOptions);
        t.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
        t.SetRootFolderCustomPath(u"\\presets");
        t.SetActive(true);
        EXPECT_EQ(ChildNames(t, t.RootNode()), c.topLevel);
        const PVirtualNode first = t.GetFirstChild(t.RootNode());
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(t.Expanded(first), c.firstExpanded);
        const PVirtualNode folder = c.hideRoot ? first : t.GetFirstChild(first);
        ASSERT_NE(folder, nullptr);
        EXPECT_EQ(t.HasChildren(folder), c.firstFolderHasButton);
    }
}

TEST_F(ExplorerTreeTest, FileObjectsChooseWhatIsListedInTheShellsOrder) {
    struct Case {
        TFileObjects objects;
        Names listed;
    };
    const Case cases[] = {
        {{TFileObject::foFolders}, {"Beta", "empty"}},
        {{TFileObject::foFolders, TFileObject::foNonFolders},
         {"Beta", "empty", "alpha.ker", "beta.ker", "Zeta.ker"}},
        {{TFileObject::foFolders, TFileObject::foNonFolders, TFileObject::foHidden},
         {"Beta", "empty", "alpha.ker", "beta.ker", "hidden.ker", "Zeta.ker"}},
        {{TFileObject::foNonFolders}, {"alpha.ker", "beta.ker", "Zeta.ker"}},
    };
    RootAtPresets({TFileObject::foFolders, TFileObject::foHidden});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "objects " << c.objects.Bits());
        const int before = ns.Enumerations["\\presets"];
        tree.SetFileObjects(c.objects);
        EXPECT_EQ(ChildNames(tree, tree.RootNode()), c.listed);
        // Each change rebuilds: the folder is listed again.
        EXPECT_EQ(ns.Enumerations["\\presets"], before + 1);
    }
}

TEST_F(ExplorerTreeTest, CustomPathBeforeActivationListsOnlyThatFolder) {
    RootAtPresets();
    EXPECT_EQ(tree.RootFolderCustomPath(), u"\\presets\\");
    EXPECT_EQ(tree.RootFolder(), TRootFolder::rfCustom);
    EXPECT_EQ(ns.Enumerations.count(""), 0u) << "the desktop was listed before the custom root";
    EXPECT_EQ(ns.Enumerations["\\presets"], 1);
}

TEST_F(ExplorerTreeTest, RebuildsWaitWhileSuspended) {
    RootAtPresets();
    tree.BeginRebuildSuspend();
    tree.RebuildTree();
    tree.SetFileObjects({TFileObject::foFolders});
    EXPECT_EQ(ns.Enumerations["\\presets"], 1);
    tree.EndRebuildSuspend();
    EXPECT_EQ(ns.Enumerations["\\presets"], 2);
    EXPECT_EQ(ChildNames(tree, tree.RootNode()), (Names{"Beta", "empty"}));
}

TEST_F(ExplorerTreeTest, MissingCustomFolderShowsAnEmptyViewUntilItExists) {
    RootAtPresets();
    tree.SetRootFolderCustomPath(u"\\User\\Presets");
    EXPECT_EQ(tree.RootNodeCount(), 0u) << "the old root is still shown";
    EXPECT_EQ(tree.RootItem(), nullptr);
    EXPECT_EQ(tree.RootFolderCustomPath(), u"\\User\\Presets\\");
    ns.Add("\\User\\Presets\\first.ker");
    tree.RebuildTree();
    EXPECT_EQ(ChildNames(tree, tree.RootNode()), (Names{"first.ker"}));
}

TEST_F(ExplorerTreeTest, RootChangingVetoChangesNothing) {
    RootAtPresets();
    bool asked = false;
    auto veto = [&](TCustomVirtualExplorerTree&, TRootFolder value, IExplorerItem* current,
                    IExplorerItem* next, bool& allow) {
        asked = true;
        EXPECT_EQ(value, TRootFolder::rfCustom);
        EXPECT_EQ(Narrow(current->NameNormal()), "presets");
        EXPECT_EQ(Narrow(next->NameNormal()), "other");
        allow = false;
    };
    tree.OnRootChanging = TVETRootChangingEvent::Bind(veto);
    tree.SetRootFolderCustomPath(u"\\other");
    EXPECT_TRUE(asked);
    EXPECT_EQ(tree.RootFolderCustomPath(), u"\\presets\\");
    EXPECT_EQ(ChildNames(tree, tree.RootNode()).size(), 5u);
}

TEST_F(ExplorerTreeTest, EnumerationFiltersDropItemsButTheMergeAsksOnlyTheEvent) {
    ns.Add("\\presets\\Recycled\\").RecycleBin = true;
    bool vetoZeta = true;
    auto filter = [&](TCustomVirtualExplorerTree&, IExplorerItem& item, bool& allow) {
        allow = !(vetoZeta && Narrow(item.NameNormal()) == "Zeta.ker");
    };
    tree.OnEnumFolder = TVETEnumFolderEvent::Bind(filter);
    tree.SetFolderOptions({TVETFolderOption::toHideRootFolder, TVETFolderOption::toForceHideRecycleBin});
    tree.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
    tree.SetRootFolderCustomPath(u"\\presets");
    tree.SetActive(true);
    EXPECT_EQ(ChildNames(tree, tree.RootNode()), (Names{"Beta", "empty", "alpha.ker", "beta.ker"}));
    vetoZeta = false;
    tree.RefreshNodeChildren(tree.RootNode());
    EXPECT_EQ(ChildNames(tree, tree.RootNode()),
              (Names{"Beta", "empty", "Recycled", "alpha.ker", "beta.ker", "Zeta.ker"}));
}

TEST_F(ExplorerTreeTest, DriveWithoutMediumLosesItsButton) {
    ns.Add("\\C:\\file.ker");
    ns.Add("\\A:\\file.ker");
    ns.EmptyDrives.push_back(u'A');
    tree.SetFolderOptions({TVETFolderOption::toHideRootFolder, TVETFolderOption::toFoldersExpandable});
    tree.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
    tree.SetRootFolder(TRootFolder::rfDesktop);
    tree.SetActive(true);
    const PVirtualNode a = ChildNamed(tree, tree.RootNode(), "A:");
    const PVirtualNode c = ChildNamed(tree, tree.RootNode(), "C:");
    tree.SetExpanded(a, true);
    tree.SetExpanded(c, true);
    EXPECT_FALSE(tree.HasChildren(a));
    EXPECT_EQ(tree.ChildCount(a), 0u);
    EXPECT_EQ(ns.Enumerations.count("\\A:"), 0u) << "a drive without a medium was read";
    EXPECT_EQ(ChildNames(tree, c), (Names{"file.ker"}));
}

TEST_F(ExplorerTreeTest, CollapsingAFolderTakesTheSelectionFromInside) {
    tree.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
    tree.SetRootFolderCustomPath(u"\\presets");
    tree.SetActive(true);
    const PVirtualNode beta = ChildNamed(tree, tree.GetFirstChild(tree.RootNode()), "Beta");
    tree.SetExpanded(beta, true);
    const PVirtualNode inner = ChildNamed(tree, beta, "inner.ker");
    tree.SetSelected(inner, true);
    tree.SetFocusedNode(inner);
    tree.SetExpanded(beta, false);
    EXPECT_TRUE(tree.Selected(beta));
    EXPECT_EQ(tree.FocusedNode(), beta);
}

TEST_F(ExplorerTreeTest, EmptyFolderIsAnEmptyResult) {
    tree.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
    tree.SetRootFolderCustomPath(u"\\presets\\empty");
    tree.SetActive(true);
    const PVirtualNode root = tree.GetFirstChild(tree.RootNode());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(tree.ChildCount(root), 0u);
    EXPECT_EQ(tree.RootItem()->Enumerate(EnumerationFlags(tree.FileObjects())).Outcome,
              TEnumerationOutcome::Empty);
}

TEST_F(ExplorerTreeTest, FailedComparisonsFallBackToNamesAndKeepEveryNode) {
    ns.FailCompare = true;
    RootAtPresets();
    // Without the shell's order the names decide (and the folders lose their lead): nothing is lost.
    EXPECT_EQ(ChildNames(tree, tree.RootNode()),
              (Names{"alpha.ker", "Beta", "beta.ker", "empty", "Zeta.ker"}));
}

// However the shell lists a folder, its children end up as a stable sort leaves them: in the folder's
// order, equal ones (here under a case-blind order of the owner's) as listed. The namespace lists in the
// reverse of creation.
TEST_F(ExplorerTreeTest, ListedChildrenEndInTheSortedOrderWhateverTheListingOrder) {
    struct Case {
        const char* what;
        Names created;
        TSortDirection direction;
        bool caseBlind;
        Names shown;
    };
    const auto up = TSortDirection::sdAscending;
    const auto down = TSortDirection::sdDescending;
    const Case cases[] = {
        {"listed in order",
         {"d.ker", "c.ker", "b.ker", "a.ker"},
         up,
         false,
         {"a.ker", "b.ker", "c.ker", "d.ker"}},
        {"listed backwards",
         {"a.ker", "b.ker", "c.ker", "d.ker"},
         up,
         false,
         {"a.ker", "b.ker", "c.ker", "d.ker"}},
        {"only the last pair out",
         {"c.ker", "d.ker", "b.ker", "a.ker"},
         up,
         false,
         {"a.ker", "b.ker", "c.ker", "d.ker"}},
        {"only the first pair out",
         {"d.ker", "c.ker", "a.ker", "b.ker"},
         up,
         false,
         {"a.ker", "b.ker", "c.ker", "d.ker"}},
        {"folders first", {"b\\", "c.ker", "a\\"}, up, false, {"a", "b", "c.ker"}},
        {"descending, listed ascending",
         {"c.ker", "b.ker", "a.ker"},
         down,
         false,
         {"c.ker", "b.ker", "a.ker"}},
        {"descending, listed descending",
         {"a.ker", "b.ker", "c.ker"},
         down,
         false,
         {"c.ker", "b.ker", "a.ker"}},
        {"equal ones stay as listed", {"B.ker", "a.ker", "b.ker"}, up, true, {"a.ker", "b.ker", "B.ker"}},
        {"equal ones stay as listed, other way",
         {"b.ker", "a.ker", "B.ker"},
         up,
         true,
         {"a.ker", "B.ker", "b.ker"}},
        {"equal ones stay as listed, descending",
         {"B.ker", "b.ker", "a.ker"},
         down,
         true,
         {"b.ker", "B.ker", "a.ker"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMemoryNamespace shell;
        shell.Add("\\folder\\");
        for (const std::string& name : c.created)
            shell.Add("\\folder\\" + name);
        TVirtualExplorerTree t{shell};
        auto caseBlind = [&t](TBaseVirtualTree&, PVirtualNode a, PVirtualNode b, TColumnIndex, int& result) {
            result = PlatformText().CompareText(t.NodeItem(a)->NameNormal(), t.NodeItem(b)->NameNormal());
        };
        if (c.caseBlind) {
            t.MiscOptions = t.MiscOptions.With(TVETMiscOption::toUserSort);
            t.OnCompareNodes = TVTCompareEvent::Bind(caseBlind);
        }
        t.SortDirection = c.direction;
        t.SetFolderOptions({TVETFolderOption::toHideRootFolder});
        t.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
        t.SetRootFolderCustomPath(u"\\folder");
        t.SetActive(true);
        EXPECT_EQ(ChildNames(t, t.RootNode()), c.shown);
    }
}

TEST_F(ExplorerTreeTest, SizeTextFollowsTheFileSizeFormat) {
    tree.ColumnDetails = TColumnDetailType::cdVETColumns;
    RootAtPresets();
    const PVirtualNode zeta = ChildNamed(tree, tree.RootNode(), "Zeta.ker");
    ASSERT_NE(zeta, nullptr);
    EXPECT_EQ(tree.GetText(zeta, 1), L"1 KB");
    tree.SetFileSizeFormat(TFileSizeFormat::fsfActual);
    EXPECT_EQ(tree.GetText(zeta, 1), L"10");
    EXPECT_EQ(tree.GetText(zeta, 0), L"Zeta.ker");
}

TEST_F(ExplorerTreeTest, ThreadedIconsShowPlaceholdersAndAskOncePerNode) {
    TRecordingIconPort icons;
    tree.SetIconPort(&icons);
    tree.SetImageOptions({TVETImageOption::toImages, TVETImageOption::toThreadedImages});
    RootAtPresets();
    const PVirtualNode folder = ChildNamed(tree, tree.RootNode(), "Beta");
    const PVirtualNode file = ChildNamed(tree, tree.RootNode(), "alpha.ker");
    for (int repaint = 0; repaint < 3; ++repaint) {
        EXPECT_EQ(tree.ImageIndexFor(folder, TVTImageKind::ikNormal), 0);
        EXPECT_EQ(tree.ImageIndexFor(file, TVTImageKind::ikNormal), 2);
    }
    ASSERT_EQ(icons.Requests.size(), 2u);
    EXPECT_FALSE(tree.DeliverIcon(file, icons.Requests[0].Id, 9)) << "another node's answer";
    EXPECT_TRUE(tree.DeliverIcon(folder, icons.Requests[0].Id, 9));
    EXPECT_EQ(tree.ImageIndexFor(folder, TVTImageKind::ikNormal), 9);
    EXPECT_EQ(icons.Requests.size(), 2u);

    // A rebuild while a request is out withdraws it; its late answer names no node.
    const std::uint64_t outstanding = icons.Requests[1].Id;
    const int withdrawnBefore = icons.Withdrawn;
    tree.RebuildTree();
    EXPECT_GT(icons.Withdrawn, withdrawnBefore);
    for (PVirtualNode node = tree.GetFirst(); node != nullptr; node = tree.GetNext(node))
        EXPECT_FALSE(tree.DeliverIcon(node, outstanding, 5));
}

TEST_F(ExplorerTreeTest, IconsWithoutTheThreadComeFromTheItem) {
    RootAtPresets();
    EXPECT_EQ(tree.ImageIndexFor(ChildNamed(tree, tree.RootNode(), "Beta"), TVTImageKind::ikNormal), 3);
    EXPECT_EQ(tree.ImageIndexFor(ChildNamed(tree, tree.RootNode(), "alpha.ker"), TVTImageKind::ikNormal), 7);
}

TEST_F(ExplorerTreeTest, SelectedPathAndFileNameNameTheFirstSelectedItem) {
    RootAtPresets();
    EXPECT_EQ(tree.GetSelectedPath(), u"");
    tree.SetSelected(ChildNamed(tree, tree.RootNode(), "alpha.ker"), true);
    EXPECT_EQ(tree.GetSelectedPath(), u"\\presets\\alpha.ker");
    EXPECT_EQ(tree.GetSelectedFileName(), u"alpha.ker");
}

TEST_F(ExplorerTreeTest, WaitCursorNestsAndShowsOnceAcrossViews) {
    struct Cursor : IExplorerCursorPort {
        int shown = 0, restored = 0;
        void ShowWait() override { ++shown; }
        void RestoreCursor() override { ++restored; }
    } cursor;
    TVirtualExplorerTree other{ns};
    tree.SetCursorPort(&cursor);
    other.SetCursorPort(&cursor);
    tree.SetWaitCursor(true);
    other.SetWaitCursor(true);
    tree.SetWaitCursor(true);
    tree.SetWaitCursor(false);
    EXPECT_EQ(cursor.restored, 0);
    other.SetWaitCursor(false);
    tree.SetWaitCursor(false);
    EXPECT_EQ(cursor.shown, 1);
    EXPECT_EQ(cursor.restored, 1);
    // A rebuild brackets itself with it.
    RootAtPresets();
    EXPECT_EQ(cursor.shown, cursor.restored);
    tree.SetCursorPort(nullptr);
}

TEST_F(ExplorerTreeTest, CheckStatesOutliveARebuild) {
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions().With(TVTMiscOption::toCheckSupport));
    RootAtPresets();
    PVirtualNode file = ChildNamed(tree, tree.RootNode(), "alpha.ker");
    tree.SetCheckType(file, TCheckType::ctCheckBox);
    tree.SetCheckState(file, TCheckState::csCheckedNormal);
    tree.RebuildTree();
    file = ChildNamed(tree, tree.RootNode(), "alpha.ker");
    EXPECT_EQ(tree.CheckType(file), TCheckType::ctCheckBox);
    EXPECT_EQ(tree.CheckState(file), TCheckState::csCheckedNormal);
    // Unchecking forgets it.
    tree.SetCheckState(file, TCheckState::csUncheckedNormal);
    tree.RebuildTree();
    EXPECT_EQ(tree.CheckState(ChildNamed(tree, tree.RootNode(), "alpha.ker")),
              TCheckState::csUncheckedNormal);
}

TEST_F(ExplorerTreeTest, NamedViewsBringBackExpansionAndSelection) {
    tree.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
    tree.SetRootFolderCustomPath(u"\\presets");
    tree.SetActive(true);
    const PVirtualNode root = tree.GetFirstChild(tree.RootNode());
    tree.SetExpanded(ChildNamed(tree, root, "Beta"), true);
    tree.SetSelected(ChildNamed(tree, root, "alpha.ker"), true);
    tree.StoreView(u"Work");
    tree.SetExpanded(ChildNamed(tree, root, "Beta"), false);
    tree.ClearSelection();
    tree.ShowView(u"WORK");
    const PVirtualNode shownRoot = tree.GetFirstChild(tree.RootNode());
    EXPECT_TRUE(tree.Expanded(ChildNamed(tree, shownRoot, "Beta")));
    EXPECT_TRUE(tree.Selected(ChildNamed(tree, shownRoot, "alpha.ker")));
    EXPECT_EQ(tree.GetSelectedFileName(), u"alpha.ker");
}

TEST_F(ExplorerTreeTest, TreeStreamsPointToTheViewManager) {
    TMemoryStream stream;
    EXPECT_THROW(tree.SaveToStream(stream), EVirtualTreeAssertion);
    EXPECT_THROW(tree.LoadFromStream(stream), EVirtualTreeAssertion);
}

} // namespace
} // namespace tarvola::test
