// The explorer list over the in-memory namespace: re-root browsing, Backspace and the browse limit, the
// execution gate and paste into the shown folder.
#include "explorer/VirtualExplorerListview.h"
#include "tests/explorer/ExplorerShellFixture.h"
#include "tests/explorer/VirtualExplorerTreeFixture.h"
#include "tree/TreeKeyboard.h"

#include <gtest/gtest.h>

namespace tarvola::test {
namespace {

// The list with the shell verbs it calls recorded.
class TRecordingList : public TVirtualExplorerListview {
public:
    using TVirtualExplorerListview::TVirtualExplorerListview;
    bool PressKey(std::uint16_t key, TKeyModifiers shift = 0) { return DoKeyAction(key, shift); }
};

class ExplorerListviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell.Add("\\presets\\a.ker");
        shell.Add("\\presets\\b.ker");
        shell.Add("\\presets\\sub\\c.ker");
        shell.Add("\\presets\\pack.zip\\");
        shell.Add("\\presets\\PACK2.ZIP\\");
        shell.Add("\\presets\\empty\\");
        list.SetShellPort(&port);
    }
    void Root(const std::string& path) {
        list.SetRootFolderCustomPath(Wide(path));
        list.SetActive(true);
    }
    std::string RootName() { return TMemoryNamespace::PathOf(list.RootItem()->AbsolutePIDL()); }
    std::vector<std::string> Shown() { return ChildNames(list, list.RootNode()); }
    std::vector<std::string> Selected() {
        std::vector<std::string> names;
        for (PVirtualNode node = list.GetFirstSelected(); node; node = list.GetNextSelected(node))
            names.push_back(Narrow(list.NodeItem(node)->NameNormal()));
        return names;
    }
    TItemIDList PIDL(const std::string& path) { return ListOf(SplitPath(path)); }

    TMemoryNamespace shell;
    TRecordingShellPort port;
    TRecordingList list{shell};
};

TEST_F(ExplorerListviewTest, ShowsOneLevelOfFilesAndFolders) {
    Root("\\presets");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"empty", "pack.zip", "PACK2.ZIP", "sub", "a.ker", "b.ker"}));
    EXPECT_TRUE(list.FolderOptions().Has(TVETFolderOption::toHideRootFolder));
    EXPECT_TRUE(list.FileObjects().Has(TFileObject::foHidden));
    EXPECT_TRUE(list.MiscOptions.Has(TVETMiscOption::toExecuteOnDblClk));
}

TEST_F(ExplorerListviewTest, BrowsingReroots) {
    Root("\\presets");
    // A file: its folder, with the file selected.
    EXPECT_TRUE(list.BrowseToPIDL(PIDL("\\presets\\sub\\c.ker"), false, true, false, false, false));
    EXPECT_EQ(RootName(), "\\presets\\sub");
    EXPECT_EQ(Selected(), std::vector<std::string>{"c.ker"});
    // A folder: the folder, nothing selected.
    EXPECT_TRUE(list.BrowseToPIDL(PIDL("\\presets\\empty"), false, true, false, false, false));
    EXPECT_EQ(RootName(), "\\presets\\empty");
    EXPECT_TRUE(Selected().empty());
    // Refused: false, and the list stays where it was.
    auto veto = [](TCustomVirtualExplorerTree&, TRootFolder, IExplorerItem*, IExplorerItem*, bool& allow) {
        allow = false;
    };
    list.OnRootChanging = TVETRootChangingEvent::Bind(veto);
    EXPECT_FALSE(list.BrowseToPIDL(PIDL("\\presets"), false, true, false, false, false));
    EXPECT_EQ(RootName(), "\\presets\\empty");
    EXPECT_EQ(list.RootFolderCustomPIDL(), PIDL("\\presets\\empty"));
}

TEST_F(ExplorerListviewTest, BackspaceGoesUpAndStopsAtTheDesktop) {
    Root("\\presets\\sub");
    EXPECT_FALSE(list.PressKey(vkey::Back)) << "the tree's own handling is skipped";
    EXPECT_EQ(RootName(), "\\presets");
    list.PressKey(vkey::Back);
    list.PressKey(vkey::Back);
    EXPECT_TRUE(list.RootItem()->AbsolutePIDL().IsDesktop());
    EXPECT_FALSE(list.PressKey(vkey::Back));
    EXPECT_TRUE(list.RootItem()->AbsolutePIDL().IsDesktop());
}

TEST_F(ExplorerListviewTest, BrowseLimit) {
    list.MiscOptions = list.MiscOptions.With(TVETMiscOption::toListviewLimitBrowseToRoot);
    // Rooted by the host after the list exists: the limit is that root, not the desktop.
    Root("\\presets");
    list.BrowseToPIDL(PIDL("\\presets\\sub"), false, true, false, false, false);
    EXPECT_EQ(RootName(), "\\presets\\sub");
    EXPECT_TRUE(list.BrowseToParent());
    EXPECT_FALSE(list.BrowseToParent());
    EXPECT_EQ(RootName(), "\\presets");
    EXPECT_FALSE(list.BrowseToPIDL(TItemIDList(), false, true, false, false, false));

    // A named limit holds even when the host roots the list deeper.
    list.SetBrowseLimitPath(u"\\presets");
    Root("\\presets\\sub");
    EXPECT_TRUE(list.BrowseToParent());
    EXPECT_FALSE(list.BrowseToParent());
    EXPECT_EQ(RootName(), "\\presets");

    // Without the option browsing is free.
    list.MiscOptions = list.MiscOptions.Without(TVETMiscOption::toListviewLimitBrowseToRoot);
    EXPECT_TRUE(list.BrowseToParent());
    EXPECT_TRUE(list.RootItem()->AbsolutePIDL().IsDesktop());
}

TEST_F(ExplorerListviewTest, ExecutingBrowsesIntoFoldersOnly) {
    struct TCase {
        std::string Name;
        bool ZipOption;
        bool Browses;
    };
    const TCase cases[] = {
        {"sub", false, true},       {"pack.zip", false, false}, {"pack.zip", true, true},
        {"PACK2.ZIP", false, true}, {"a.ker", true, false},
    };
    for (const TCase& c : cases) {
        Root("\\presets");
        list.MiscOptions = c.ZipOption ? list.MiscOptions.With(TVETMiscOption::toBrowseExecuteZipFolder)
                                       : list.MiscOptions.Without(TVETMiscOption::toBrowseExecuteZipFolder);
        port.Log.clear();
        list.DoShellExecute(ChildNamed(list, list.RootNode(), c.Name));
        EXPECT_EQ(RootName() == "\\presets\\" + c.Name, c.Browses) << c.Name;
        // What is not browsed into goes to the tree's execution, which launches nothing while the shell
        // may not run items.
        EXPECT_TRUE(port.Log.empty()) << c.Name;
    }
}

TEST_F(ExplorerListviewTest, EnterOnOneSelectedFolderBrowsesIn) {
    Root("\\presets");
    list.SetSelected(ChildNamed(list, list.RootNode(), "sub"), true);
    list.PressKey(0x0D);
    EXPECT_EQ(RootName(), "\\presets\\sub");
}

TEST_F(ExplorerListviewTest, PasteGoesIntoTheShownFolderUnlessReadOnly) {
    Root("\\presets");
    list.SetSelected(ChildNamed(list, list.RootNode(), "sub"), true);
    EXPECT_FALSE(list.PressKey(0x56, keymod::Ctrl));
    EXPECT_EQ(port.Log, std::vector<std::string>{"Paste presets:presets"});
    list.MiscOptions = list.MiscOptions.With(TVETMiscOption::toVETReadOnly);
    list.PressKey(0x56, keymod::Ctrl);
    EXPECT_FALSE(list.PasteFromClipboard());
    EXPECT_EQ(port.Log.size(), 1u);
}

TEST_F(ExplorerListviewTest, RefreshesOnlyTheShownLevel) {
    Root("\\presets");
    const PVirtualNode sub = ChildNamed(list, list.RootNode(), "sub");
    shell.Add("\\presets\\new.ker");
    const int before = shell.Enumerations["\\presets\\sub"];
    list.RefreshNodeChildren(sub);
    EXPECT_EQ(shell.Enumerations["\\presets\\sub"], before);
    list.RefreshNodeChildren(list.RootNode());
    EXPECT_EQ(Shown().size(), 7u);
}

} // namespace
} // namespace tarvola::test
