#include "tests/shell/ShellLayerFixture.h"

#include "shell/VirtualShellAutoComplete.h"
#include "shell/VirtualUtilities.h"

#include <algorithm>
#include <iostream>
#include <set>
#include <vector>

namespace tarvola::test {
namespace {

TEST(ShellLayerLifecycle, StartsAfterComAndStopsBeforeIt) {
    EXPECT_FALSE(TShellLayer::Started());
    EXPECT_THROW(TShellLayer::Get(), std::logic_error);
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    TShellLayer::Startup();
    EXPECT_THROW(TShellLayer::Startup(), std::logic_error);
    EXPECT_TRUE(TShellLayer::Started());
    TShellLayer::Shutdown();
    EXPECT_FALSE(TShellLayer::Started());
    TShellLayer::Shutdown(); // a second stop is harmless
    OleUninitialize();
}

class ShellUtilitiesTest : public ShellLayerTest {
protected:
    void SetUp() override { MakeTree(); }
};

TEST_F(ShellUtilitiesTest, SpecialFoldersResolveOrStayAbsent) {
    const TShellLayer& layer = TShellLayer::Get();
    const std::pair<TSpecialFolder, const char*> folders[] = {
        {TSpecialFolder::Desktop, "Desktop"},
        {TSpecialFolder::RecycleBin, "RecycleBin"},
        {TSpecialFolder::DesktopDirectory, "DesktopDirectory"},
        {TSpecialFolder::MyComputer, "MyComputer"},
        {TSpecialFolder::Printers, "Printers"},
        {TSpecialFolder::History, "History"},
        {TSpecialFolder::ControlPanel, "ControlPanel"},
        {TSpecialFolder::Network, "Network"},
        {TSpecialFolder::Templates, "Templates"},
        {TSpecialFolder::MyDocuments, "MyDocuments"},
        {TSpecialFolder::Favorites, "Favorites"},
    };
    for (const auto& [folder, name] : folders) {
        TNamespace* item = layer.Special(folder);
        if (item == nullptr) {
            std::cout << "  special folder " << name << ": absent\n";
            continue;
        }
        std::cout << "  special folder " << name << ": " << WideToUtf8(item->NameNormal()) << "\n";
        EXPECT_FALSE(item->NameNormal().empty()) << name;
    }
    ASSERT_NE(layer.Special(TSpecialFolder::Desktop), nullptr);
    EXPECT_TRUE(layer.Special(TSpecialFolder::Desktop)->IsDesktop());
    ASSERT_NE(layer.Special(TSpecialFolder::DesktopDirectory), nullptr);
    EXPECT_TRUE(layer.Special(TSpecialFolder::DesktopDirectory)->FileSystem());
    ASSERT_NE(layer.Special(TSpecialFolder::MyComputer), nullptr);
    EXPECT_TRUE(layer.Special(TSpecialFolder::MyComputer)->IsMyComputer());
    // Items answer the questions that consult absent folders with false.
    const auto file = Item("a.txt");
    EXPECT_FALSE(file->IsRecycleBin());
    EXPECT_FALSE(file->IsControlPanel());
    EXPECT_FALSE(file->IsNetworkNeighborhood());
    EXPECT_FALSE(file->IsNetworkNeighborhoodChild());
}

TEST_F(ShellUtilitiesTest, ClipboardFormatsAreRegisteredByName) {
    const TShellClipboardFormats& formats = TShellLayer::Get().ClipboardFormats();
    const std::pair<std::uint16_t, const wchar_t*> cases[] = {
        {formats.ShellIDList, L"Shell IDList Array"},
        {formats.LogicalPerformedDropEffect, L"Logical Performed DropEffect"},
        {formats.PreferredDropEffect, L"Preferred DropEffect"},
        {formats.FileContents, L"FileContents"},
        {formats.FileGroupDescriptorA, L"FileGroupDescriptor"},
        {formats.FileGroupDescriptorW, L"FileGroupDescriptorW"},
    };
    std::set<std::uint16_t> distinct;
    for (const auto& [id, name] : cases) {
        EXPECT_GE(id, 0xC000u);
        EXPECT_EQ(id, RegisterClipboardFormatW(name));
        distinct.insert(id);
    }
    EXPECT_EQ(distinct.size(), 6u);
}

TEST_F(ShellUtilitiesTest, PathsAndItemLists) {
    PItemIDList pidl = PathToPIDL(Path("a.txt"));
    ASSERT_NE(pidl, nullptr);
    EXPECT_EQ(PlatformText().CompareText(PIDLToPath(pidl), Path("a.txt")), 0);
    TShellLayer::Get().PIDLMgr().FreePIDL(pidl);
    EXPECT_EQ(PathToPIDL(Path("none\\x.txt")), nullptr);
    EXPECT_EQ(PIDLToPath(nullptr), u"");

    EXPECT_GE(DefaultSystemImageIndex(TDefaultSystemImage::ClosedFolder), 0);
    EXPECT_GE(DefaultSystemImageIndex(TDefaultSystemImage::OpenFolder), 0);
    EXPECT_GE(DefaultSystemImageIndex(TDefaultSystemImage::UnknownFile), 0);
    EXPECT_EQ(DefaultSystemImageIndex(TDefaultSystemImage::FixedIndex29), 29);
    EXPECT_GE(DefaultSystemImageIndex(TDefaultSystemImage::MyDocuments), 0);
}

TEST_F(ShellUtilitiesTest, FileSystemQuestions) {
    EXPECT_TRUE(WideFileExists(Path("a.txt")));
    EXPECT_TRUE(WideFileExists(Path("sub")));
    EXPECT_FALSE(WideFileExists(Path("a*"))); // no wildcard match
    EXPECT_FALSE(WideFileExists(Path("?.txt")));
    EXPECT_FALSE(WideFileExists(Path("none.txt")));
    EXPECT_FALSE(WideFileExists(u""));
    EXPECT_TRUE(WideDirectoryExists(Path("sub")));
    EXPECT_FALSE(WideDirectoryExists(Path("a.txt")));
    EXPECT_FALSE(WideDirectoryExists(u""));

    const WideString root = WidePath(folder.Path());
    EXPECT_EQ(UniqueDirName(root), root + u"\\New Folder");
    EXPECT_TRUE(WideCreateDir(UniqueDirName(root)));
    EXPECT_FALSE(WideCreateDir(root + u"\\New Folder"));
    EXPECT_EQ(UniqueDirName(root + u"\\"), root + u"\\New Folder (1)");
    EXPECT_TRUE(WideDirectoryExists(root + u"\\New Folder"));

    EXPECT_TRUE(DiskInDrive(u'C'));
    EXPECT_TRUE(DiskInDrive(u'c'));
    EXPECT_FALSE(DiskInDrive(u'1'));
}

TEST_F(ShellUtilitiesTest, NameSpaceListShowsEachChangeWhileTheItemLives) {
    std::vector<std::u16string> heard;
    {
        TVirtualNameSpaceList list;
        EXPECT_TRUE(list.OwnsObjects());
        list.OnNotify = [&heard](TVirtualNameSpaceList&, TNamespace* item, TListNotification action) {
            const char16_t* names[] = {u"added ", u"extracted ", u"deleted "};
            heard.push_back(names[static_cast<int>(action)] + item->NameInFolder());
        };
        list.Add(Item("a.txt").release());
        list.Add(Item("b.ker").release());
        TNamespace* c = Item("c.bin").release();
        list.Add(c);
        const std::unique_ptr<TNamespace> extracted(list.Extract(c));
        EXPECT_EQ(extracted->NameInFolder(), u"c.bin") << "an extracted item is the caller's";
        list.Delete(0);
    } // b.ker goes with the list
    const std::vector<std::u16string> expected = {u"added a.txt",     u"added b.ker",   u"added c.bin",
                                                  u"extracted c.bin", u"deleted a.txt", u"deleted b.ker"};
    EXPECT_EQ(heard, expected);
}

class AutoCompleteTest : public ShellUtilitiesTest {
protected:
    // The collected names relative to the tree, sorted.
    std::vector<std::u16string> Found(TVirtualShellAutoComplete& complete) {
        complete.Refresh();
        std::vector<std::u16string> names;
        const TWideStringList& strings = complete.Strings();
        const WideString prefix = WidePath(folder.Path()) + u"\\";
        for (int i = 0; i < strings.Count(); ++i) {
            const WideString name = strings.Get(i);
            EXPECT_EQ(PlatformText().CompareText(name.substr(0, prefix.size()), prefix), 0)
                << WideToUtf8(name);
            names.push_back(name.substr(std::min(prefix.size(), name.size())));
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

using enum TAutoCompleteContent;

TEST_F(AutoCompleteTest, ListsAFolderByItsContents) {
    struct Case {
        const char* what;
        TAutoCompleteContents contents;
        std::vector<std::u16string> names;
    };
    const std::vector<Case> cases = {
        {"folders and files",
         {accCurrentDir, accFileSysDirs, accFileSysFiles},
         {u"a.txt", u"b.ker", u"c.bin", u"empty", u"readonly.txt", u"sub"}},
        {"folders", {accCurrentDir, accFileSysDirs}, {u"empty", u"sub"}},
        {"files",
         {accCurrentDir, accFileSysFiles, accFileSysOnly},
         {u"a.txt", u"b.ker", u"c.bin", u"readonly.txt"}},
        {"hidden too",
         {accCurrentDir, accFileSysFiles, accHidden},
         {u"a.txt", u"b.ker", u"c.bin", u"hidden.txt", u"readonly.txt"}},
        {"recursive",
         {accCurrentDir, accFileSysDirs, accFileSysFiles, accRecursive},
         {u"a.txt", u"b.ker", u"c.bin", u"empty", u"readonly.txt", u"sub", u"sub\\inner.dat"}},
    };
    for (const Case& c : cases) {
        TVirtualShellAutoComplete complete;
        complete.SetContents(c.contents);
        complete.SetCurrentDir(WidePath(folder.Path()));
        EXPECT_EQ(Found(complete), c.names) << c.what;
    }
}

TEST_F(AutoCompleteTest, SortsAndHonoursTheAddItemEvent) {
    TVirtualShellAutoComplete complete;
    complete.SetContents({accCurrentDir, accFileSysFiles, accSortList});
    complete.SetCurrentDir(WidePath(folder.Path()));
    complete.OnAutoCompleteAddItem = [](TVirtualShellAutoComplete&, TNamespace& item, bool& allow, bool&) {
        allow = item.Extension() != u".ker";
    };
    complete.Refresh();
    const TWideStringList& sorted = complete.Strings();
    ASSERT_EQ(sorted.Count(), 3);
    for (int i = 1; i < sorted.Count(); ++i)
        EXPECT_LT(PlatformText().CompareText(sorted.Get(i - 1), sorted.Get(i)), 0);

    int offered = 0;
    TVirtualShellAutoComplete first;
    first.SetContents({accCurrentDir, accFileSysDirs, accFileSysFiles, accRecursive});
    first.SetCurrentDir(WidePath(folder.Path()));
    first.OnAutoCompleteAddItem = [&](TVirtualShellAutoComplete&, TNamespace&, bool&, bool& terminate) {
        terminate = ++offered == 2;
    };
    first.Refresh();
    EXPECT_EQ(offered, 2);
    EXPECT_EQ(first.Items().Count(), 2);
}

TEST_F(AutoCompleteTest, KeepsOnlyExistingFolders) {
    TVirtualShellAutoComplete complete;
    complete.SetCurrentDir(Path("none"));
    EXPECT_EQ(complete.CurrentDir(), u"");
    complete.SetCurrentDir(Path("sub"));
    EXPECT_EQ(complete.CurrentDir(), Path("sub"));
    complete.SetContents({accCurrentDir, accFileSysFiles});
    EXPECT_EQ(Found(complete), std::vector<std::u16string>{u"sub\\inner.dat"});
}

TEST_F(AutoCompleteTest, MyComputerListsTheDrives) {
    TVirtualShellAutoComplete complete; // the default: current folder and My Computer, folders and files
    complete.Refresh();
    const TWideStringList& strings = complete.Strings();
    bool driveC = false;
    for (int i = 0; i < strings.Count(); ++i)
        driveC = driveC || PlatformText().CompareText(strings.Get(i), u"C:\\") == 0;
    EXPECT_TRUE(driveC);
}

} // namespace
} // namespace tarvola::test
