#include "tests/shell/ShellLayerFixture.h"

#include "shell/VirtualResources.h"
#include "shell/VirtualUtilities.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <vector>

namespace tarvola::test {
namespace {

std::uint64_t Ticks(const FILETIME& time) {
    return (std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

class NamespaceTest : public ShellLayerTest {
protected:
    void SetUp() override { MakeTree(); }

    // The children's names in folder, sorted.
    std::vector<std::u16string> Children(TNamespace& parent, bool folders, bool nonFolders, bool hidden) {
        std::vector<std::u16string> names;
        const int counted = parent.EnumerateFolder(folders, nonFolders, hidden,
                                                   [&](PItemIDList child, TNamespace& in, bool&) {
                                                       TNamespace item(child, &in);
                                                       names.push_back(item.NameInFolder());
                                                       return true;
                                                   });
        EXPECT_EQ(counted, static_cast<int>(names.size()));
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(NamespaceTest, DesktopIsTheItemOfNoList) {
    TNamespace desktop(nullptr, nullptr);
    EXPECT_TRUE(desktop.IsDesktop());
    EXPECT_TRUE(desktop.DropTarget());
    TNamespace* desktopDirectory = TShellLayer::Get().Special(TSpecialFolder::DesktopDirectory);
    ASSERT_NE(desktopDirectory, nullptr);
    EXPECT_FALSE(desktop.NameForParsing().empty());
    EXPECT_EQ(desktop.NameForParsing(), desktopDirectory->NameForParsing());
    EXPECT_EQ(desktopDirectory->NameForParsing().find(u":\\"), 1u)
        << WideToUtf8(desktopDirectory->NameForParsing());
    EXPECT_NE(desktop.ShellFolder(), nullptr);
    EXPECT_EQ(desktop.LastWriteDateTime(), 0.0) << "no file data behind the desktop";
}

TEST_F(NamespaceTest, NamesOfFilesAndFolders) {
    const auto file = Item("a.txt");
    EXPECT_EQ(PlatformText().CompareText(file->NameForParsing(), Path("a.txt")), 0)
        << WideToUtf8(file->NameForParsing());
    EXPECT_EQ(file->NameInFolder().rfind(u"a", 0), 0u) << WideToUtf8(file->NameInFolder()); // "a" or "a.txt"
    EXPECT_EQ(file->NameForParsingInFolder(), u"a.txt");
    EXPECT_EQ(file->Extension(), u".txt");
    EXPECT_EQ(file->FileName(), u"a.txt");
    EXPECT_EQ(PIDLToPath(file->AbsolutePIDL()), file->NameForParsing());
    EXPECT_THROW(TNamespace::CreateFromFileName(Path("missing\\nothing.txt")), EVSTInvalidFileName);
}

TEST_F(NamespaceTest, Attributes) {
    struct Case {
        const char* name;
        bool folder, hidden, readOnly;
        std::u16string letters;
    };
    const std::vector<Case> cases = {
        {"a.txt", false, false, false, u""},
        {"sub", true, false, false, u""},
        {"hidden.txt", false, true, false, u"H"},
        {"readonly.txt", false, false, true, u"R"},
    };
    for (const Case& c : cases) {
        const auto item = Item(c.name);
        EXPECT_TRUE(item->FileSystem()) << c.name;
        EXPECT_EQ(item->Folder(), c.folder) << c.name;
        EXPECT_EQ(item->Directory(), c.folder) << c.name;
        EXPECT_EQ(item->Hidden(), c.hidden) << c.name;
        EXPECT_EQ(item->ReadOnlyFile(), c.readOnly) << c.name;
        // The archive bit is the file system's own business; the other letters follow it in order.
        std::u16string letters = item->AttributesString();
        letters.erase(std::remove(letters.begin(), letters.end(), u'A'), letters.end());
        EXPECT_EQ(letters, c.letters) << c.name;
        EXPECT_TRUE(item->CanRename()) << c.name;
        EXPECT_TRUE(item->CanCopy()) << c.name;
    }
}

TEST_F(NamespaceTest, Sizes) {
    const std::u16string sep = ThousandSeparator();
    struct Case {
        const char* name;
        std::uint64_t bytes;
        std::u16string text, kilobytes;
    };
    const std::vector<Case> cases = {
        {"a.txt", 100, u"100", u"1 KB"},
        {"b.ker", 1536, u"1" + sep + u"536", u"1 KB"},
        {"c.bin", 2048, u"2" + sep + u"048", u"2 KB"},
        {"sub", 0, u"", u""},
    };
    for (const Case& c : cases) {
        const auto item = Item(c.name);
        EXPECT_EQ(item->SizeOfFileInt64(), c.bytes) << c.name;
        EXPECT_EQ(item->SizeOfFile(), c.text) << c.name;
        EXPECT_EQ(item->SizeOfFileKB(), c.kilobytes) << c.name;
    }
    const auto file = Item("a.txt");
    EXPECT_FALSE(file->SizeOfFileDiskUsage().empty());
}

TEST_F(NamespaceTest, TimesComeFromTheFileSystem) {
    const WideString path = Path("a.txt");
    SYSTEMTIME when{2020, 3, 0, 14, 12, 30, 45, 0};
    FILETIME written;
    ASSERT_TRUE(SystemTimeToFileTime(&when, &written));
    {
        const HANDLE file =
            CreateFileW(AsW(path), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(SetFileTime(file, &written, nullptr, &written));
        CloseHandle(file);
    }
    const auto item = Item("a.txt");
    // The shell keeps the last-write time in the item's list with the two-second steps of a DOS time.
    const FILETIME lastWrite = item->LastWriteTimeRaw();
    EXPECT_LE(Ticks(written) - Ticks(lastWrite), 20000000u);
    EXPECT_EQ(item->LastWriteTime(), FileTimeToDateTimeStr(lastWrite));
    EXPECT_NE(item->LastWriteTime().find(u"2020"), std::u16string::npos) << WideToUtf8(item->LastWriteTime());
    const FILETIME created = item->CreationTimeRaw();
    EXPECT_EQ(created.dwLowDateTime, written.dwLowDateTime);
    EXPECT_FALSE(item->CreationTime().empty());
    EXPECT_FALSE(item->LastAccessTime().empty());
    EXPECT_EQ(FileTimeToDateTimeStr(FILETIME{}), u"");
    // 14 March 2020 is day 43,904 of the date-time scale; the local offset moves it by under a day.
    EXPECT_EQ(item->LastWriteDateTime(), FileTimeToDateTime(item->LastWriteTimeRaw()));
    EXPECT_GT(item->LastWriteDateTime(), 43904.0 - 1);
    EXPECT_LT(item->LastWriteDateTime(), 43905.0 + 1);
}

TEST_F(NamespaceTest, EnumerationHonoursItsKinds) {
    const auto root = Item("");
    EXPECT_EQ(Children(*root, true, false, false), (std::vector<std::u16string>{u"empty", u"sub"}));
    const auto files = Children(*root, false, true, false);
    EXPECT_EQ(files.size(), 4u); // a, b, c, readonly (names may come without extensions)
    EXPECT_EQ(Children(*root, false, true, true).size(), 5u);

    int seen = 0;
    const int counted =
        root->EnumerateFolder(true, true, true, [&](PItemIDList child, TNamespace&, bool& terminate) {
            TShellLayer::Get().PIDLMgr().FreePIDL(child);
            terminate = ++seen == 2;
            return true;
        });
    EXPECT_EQ(counted, 2);
    EXPECT_EQ(root->EnumerateFolder(true, true, true, nullptr), 0);
    EXPECT_TRUE(root->HasSubItems());
}

TEST_F(NamespaceTest, EmptyMissingAndNonFolderItemsEnumerateToNothing) {
    const auto count = [](TNamespace& item) {
        return item.EnumerateFolder(true, true, true, [](PItemIDList child, TNamespace&, bool&) {
            TShellLayer::Get().PIDLMgr().FreePIDL(child);
            return true;
        });
    };
    const auto empty = Item("empty");
    EXPECT_EQ(count(*empty), 0);
    EXPECT_FALSE(empty->HasSubItems());

    const auto file = Item("a.txt");
    EXPECT_EQ(count(*file), 0);
    EXPECT_FALSE(file->HasSubItems());

    const auto gone = Item("sub");
    std::filesystem::remove_all(folder.Path() / "sub");
    gone->InvalidateNamespace();
    EXPECT_EQ(count(*gone), 0);
    EXPECT_FALSE(gone->HasSubItems());
    EXPECT_EQ(gone->SizeOfFileInt64(), 0u);
}

TEST_F(NamespaceTest, DetailColumnsOfAFolder) {
    const auto root = Item("");
    const int columns = root->DetailsColumnCount();
    ASSERT_GE(columns, 4);
    ASSERT_LT(columns, kMaxDetailsColumns);
    EXPECT_FALSE(root->DetailsColumnTitle(0).empty()); // the shell's own title (Wine says "File")
    EXPECT_EQ(root->DetailsColumnTitle(columns), u"");
    EXPECT_EQ(root->DetailsColumnTitle(-1), u"");
    EXPECT_TRUE(root->DetailsColumnState(0).string);
    EXPECT_EQ(root->DetailsColumnState(columns), TDetailsColumnStates());

    std::map<std::u16string, int> byTitle;
    for (int i = 0; i < columns; ++i)
        byTitle[root->DetailsColumnTitle(i)] = i;
    TNamespace* parent = root.get();
    std::unique_ptr<TNamespace> file;
    root->EnumerateFolder(false, true, false, [&](PItemIDList child, TNamespace& in, bool& terminate) {
        auto item = std::make_unique<TNamespace>(child, &in);
        if (item->FileName() == u"c.bin") {
            file = std::move(item);
            terminate = true;
        }
        return true;
    });
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Parent(), parent);
    EXPECT_EQ(file->DetailsOf(0).rfind(u"c", 0), 0u) << WideToUtf8(file->DetailsOf(0));
    ASSERT_TRUE(byTitle.count(u"Size"));
    EXPECT_NE(file->DetailsOf(byTitle[u"Size"]).find(u"2"), std::u16string::npos)
        << WideToUtf8(file->DetailsOf(byTitle[u"Size"]));
    EXPECT_EQ(file->DetailsOf(columns), u"");
    EXPECT_EQ(file->DetailsDefaultOf(1), u"2 KB");
    EXPECT_EQ(file->DetailsDefaultOf(0), file->NameInFolder());
    EXPECT_EQ(file->DetailsDefaultOf(2), file->FileType());
    EXPECT_EQ(file->DetailsDefaultOf(3), file->LastWriteTime());
}

TEST_F(NamespaceTest, TypeTextAndIcons) {
    const auto ker = Item("b.ker");
    EXPECT_FALSE(ker->FileType().empty());
    std::cout << "  type text of b.ker: " << WideToUtf8(ker->FileType())
              << ", of a.txt: " << WideToUtf8(Item("a.txt")->FileType()) << "\n";
    const auto txt = Item("a.txt");
    const auto sub = Item("sub");
    for (const TIconSize size : {TIconSize::Small, TIconSize::Large}) {
        const int fileIcon = txt->GetIconIndex(false, size, true);
        const int folderIcon = sub->GetIconIndex(false, size, true);
        EXPECT_GE(fileIcon, 0);
        EXPECT_GE(folderIcon, 0);
        EXPECT_GE(sub->GetIconIndex(true, size, true), 0);
        EXPECT_EQ(folderIcon, DefaultSystemImageIndex(TDefaultSystemImage::ClosedFolder));
    }
    // The item finds its icon through its parent folder: the same one the shell names for its path.
    for (const char* name : {"a.txt", "b.ker", "sub"}) {
        SHFILEINFOW info{};
        ASSERT_NE(SHGetFileInfoW(reinterpret_cast<LPCWSTR>(Item(name)->AbsolutePIDL()), 0, &info, sizeof info,
                                 SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON),
                  0u);
        EXPECT_EQ(Item(name)->GetIconIndex(false, TIconSize::Small), info.iIcon) << name;
    }
    EXPECT_LE(txt->OverlayIndex(), 0);
}

TEST_F(NamespaceTest, ComparesSiblingsAndReloads) {
    const auto root = Item("");
    const auto a = Item("a.txt");
    const auto c = Item("c.bin");
    // The given item against this one: a.txt sorts before c.bin.
    EXPECT_LT(c->ComparePIDL(TPIDLManager::GetLastID(a->AbsolutePIDL()), 0), 0);
    EXPECT_GT(a->ComparePIDL(TPIDLManager::GetLastID(c->AbsolutePIDL()), 0), 0);
    EXPECT_EQ(a->ComparePIDL(TPIDLManager::GetLastID(a->AbsolutePIDL()), 0), 0);
    EXPECT_EQ(a->ComparePIDL(nullptr, 0), -1);

    EXPECT_EQ(a->SizeOfFileInt64(), 100u);
    {
        std::ofstream out(folder.Path() / "a.txt", std::ios::app | std::ios::binary);
        out << std::string(50, 'x');
    }
    EXPECT_EQ(a->SizeOfFileInt64(), 100u); // the answer is kept until the item is refreshed
    EXPECT_TRUE(a->ReloadPIDL());
    EXPECT_EQ(a->SizeOfFileInt64(), 150u);
    EXPECT_EQ(a->FileName(), u"a.txt");

    std::filesystem::remove(folder.Path() / "c.bin");
    EXPECT_FALSE(c->ReloadPIDL());
}

TEST_F(NamespaceTest, CloneAndIdentity) {
    const auto a = Item("a.txt");
    const auto clone = a->Clone();
    EXPECT_NE(clone->AbsolutePIDL(), a->AbsolutePIDL());
    EXPECT_TRUE(TShellLayer::Get().Identity().Equal(clone->AbsolutePIDL(), a->AbsolutePIDL()));
    EXPECT_TRUE(TShellLayer::Get().Identity().Complete());
    const auto root = Item("");
    EXPECT_TRUE(TShellLayer::Get().Identity().IsParent(root->AbsolutePIDL(), a->AbsolutePIDL(), true));
    EXPECT_TRUE(TShellLayer::Get().PIDLMgr().IsSubPIDL(a->AbsolutePIDL(), root->AbsolutePIDL()));
    EXPECT_FALSE(a->IsRecycleBin());
    EXPECT_FALSE(a->IsMyComputer());
    EXPECT_FALSE(a->IsNetworkNeighborhoodChild());
}

} // namespace
} // namespace tarvola::test
