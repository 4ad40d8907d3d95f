#include "kernel/PresetBrowserController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tarvola {
namespace {

const std::string kProgram = "C:\\Tarvola\\";
const std::string kRoot = kProgram + "User\\Presets\\";

// Folders (ending in a backslash) and files of an in-memory disk, as full paths.
struct FakeDisk {
    std::set<std::string> folders;
    std::set<std::string> files;

    bool IsFolder(const std::string& path) const { return folders.count(path) != 0; }
};

// The list over the disk: it shows one folder, selects items by name, and browses as told. Its own
// Backspace goes to the parent whatever the root, so the browser's limit shows.
class FakeList : public IPresetList {
public:
    explicit FakeList(FakeDisk& disk) : disk_(disk) {}

    void SetRootFolder(const std::string& folder) override {
        root = folder;
        shown = folder;
    }
    std::optional<TPresetListItem> SelectedItem() const override {
        if (selected.empty())
            return std::nullopt;
        const std::string path = shown + selected;
        return TPresetListItem{selected, path, disk_.IsFolder(path + "\\")};
    }
    void BrowseToPath(const std::string& folder) override {
        browses.push_back(folder);
        shown = folder;
        selected.clear();
    }
    std::string ShownFolder() const override { return shown; }
    void RefreshTree() override { ++refreshes; }
    void RebuildTree() override { ++rebuilds; }

    void Backspace() {
        shown = shown.substr(0, shown.find_last_of('\\', shown.size() - 2) + 1);
        selected.clear();
    }

    std::string root;
    std::string shown;
    std::string selected;
    std::vector<std::string> browses;
    int refreshes = 0;
    int rebuilds = 0;

private:
    FakeDisk& disk_;
};

// The designer window: its presets live on the disk in CurrentFolder; it records what it was asked.
class FakeHost : public IPresetBrowserHost {
public:
    explicit FakeHost(FakeDisk& disk) : disk_(disk) {}

    void LoadPreset(const std::string& fileName) override { loaded.push_back(fileName); }
    bool SavePreset(const std::string& name) override {
        saved.push_back(name);
        return disk_.files.insert(currentFolder + name + ".ker").second;
    }
    bool DeletePreset(const std::string& name) override {
        deleted.push_back(name);
        return disk_.files.erase(currentFolder + name + ".ker") != 0;
    }
    void SetCurrentFolder(const std::string& folder) override { currentFolder = folder; }
    std::string EntryText() const override { return entry; }
    void SetEntryText(const std::string& text) override { entry = text; }
    void EnablePresetButtons(bool add, bool del) override {
        addEnabled = add;
        delEnabled = del;
    }
    void ShowCollectionCaption(const std::string& caption) override { collectionCaption = caption; }
    void SetCaption(const std::string& text) override { caption = text; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void EnsureFolder(const std::string& folder) override { disk_.folders.insert(folder); }
    std::optional<std::string> AskNewFolder(const std::string& parentFolder) override {
        askedIn = parentFolder;
        return newFolderAnswer;
    }
    bool CreateFolder(const std::string& folder) override {
        created.push_back(folder);
        return folderCreationWorks && disk_.folders.insert(folder).second;
    }

    std::string currentFolder;
    std::string entry;
    bool addEnabled = false;
    bool delEnabled = false;
    std::string collectionCaption;
    std::string caption;
    std::vector<std::string> messages;
    std::vector<std::string> loaded;
    std::vector<std::string> saved;
    std::vector<std::string> deleted;
    std::string askedIn;
    std::optional<std::string> newFolderAnswer;
    bool folderCreationWorks = true;
    std::vector<std::string> created;

private:
    FakeDisk& disk_;
};

// A presets root holding Hall.ker, a.b.ker, LOUD.KER, notes.txt, the folders Rooms\ (with Small\ in it)
// and Odd.ker\; the browser started on it.
class PresetBrowserTest : public testing::Test {
protected:
    PresetBrowserTest() {
        disk.folders = {kRoot + "Rooms\\", kRoot + "Rooms\\Small\\", kRoot + "Odd.ker\\"};
        disk.files = {kRoot + "Hall.ker", kRoot + "a.b.ker", kRoot + "LOUD.KER", kRoot + "notes.txt",
                      kProgram + "User\\Keep.ker"};
        browser.Start(kProgram);
    }

    void DoubleClick(const std::string& name) {
        list.selected = name;
        browser.Presets_DblClick();
    }
    void Type(const std::string& text) {
        host.entry = text;
        browser.PrstEntry_Change();
    }
    void ExpectAt(const std::string& folder, const std::string& caption) {
        EXPECT_EQ(browser.CurrentFolder(), folder);
        EXPECT_EQ(host.currentFolder, folder);
        EXPECT_EQ(list.shown, folder);
        EXPECT_EQ(host.collectionCaption, caption);
    }

    FakeDisk disk;
    FakeList list{disk};
    FakeHost host{disk};
    PresetBrowserController browser{list, host};
};

// ---- Names

TEST(PresetBrowserNames, PresetsAreRecognisedInAnyCaseAndLoseOnlyTheirExtension) {
    struct Case {
        std::string name;
        bool preset;
        std::string title;
    };
    const Case cases[] = {
        {"Hall.ker", true, "Hall"},        {"a.b.ker", true, "a.b"},          {"LOUD.KER", true, "LOUD"},
        {"Mixed.kEr", true, "Mixed"},      {"x.ker.ker", true, "x.ker"},      {".ker", false, ""},
        {"a.kerx", false, "a.kerx"},       {"a.ker.txt", false, "a.ker.txt"}, {"ker", false, "ker"},
        {"notes.txt", false, "notes.txt"}, {"C:\\P\\a.b.KER", false, "a.b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PresetTitleOf(c.name), c.title);
        if (c.name.find('\\') == std::string::npos) {
            EXPECT_EQ(IsPresetFileName(c.name), c.preset);
        }
    }
}

TEST(PresetBrowserNames, OnlyNamesThatStayInTheFolderAreAccepted) {
    const std::pair<std::string, bool> cases[] = {
        {"Hall", true},
        {"a.b", true},
        {"Big Hall 2", true},
        {std::string(50, 'x'), true},
        {"", false},
        {" ", false},
        {".", false},
        {"..", false},
        {"..\\Keep", false},
        {"a\\b", false},
        {"a/b", false},
        {"C:x", false},
        {"CON", false},
        {"nul", false},
        {"COM1", false},
        {"lpt9.txt", false},
        {"name.", false},
        {"tab\there", false},
        {std::string(51, 'x'), false},
    };
    for (const auto& [name, accepted] : cases)
        EXPECT_EQ(IsAcceptablePresetName(name), accepted) << '"' << name << '"';
}

TEST(PresetBrowserNames, FoldersWithinTheRootIgnoreLetterCase) {
    const std::pair<std::string, bool> cases[] = {
        {kRoot, true},
        {"c:\\tarvola\\user\\presets\\", true},
        {kRoot + "Rooms\\", true},
        {kRoot + "Rooms", true},
        {"C:\\TARVOLA\\USER\\PRESETS\\Rooms\\Small\\", true},
        {kProgram + "User\\", false},
        {kProgram + "User\\PresetsOld\\", false},
        {kRoot + "..\\", false},
        {kRoot + "Rooms\\..\\..\\", false},
        {kRoot + ".\\", false},
        {"", false},
    };
    for (const auto& [folder, within] : cases)
        EXPECT_EQ(IsWithinFolder(folder, kRoot), within) << folder;
}

TEST(PresetBrowserNames, CollectionCaptionIsTheFolderNameCutTo50Characters) {
    EXPECT_EQ(CollectionCaptionOf(kRoot + "Rooms\\"), "Rooms");
    EXPECT_EQ(CollectionCaptionOf(kRoot + std::string(60, 'r') + "\\"), std::string(50, 'r'));
    // Fifty two-byte characters are kept whole.
    std::string wide;
    for (int i = 0; i < 60; ++i)
        wide += "\xC3\xA9";
    EXPECT_EQ(CollectionCaptionOf(kRoot + wide + "\\"), wide.substr(0, 100));
}

TEST(PresetBrowserNames, NewFolderNamesAreCheckedAgainstTheParent) {
    const auto exists = [](const std::string& path) { return path == kRoot || path == kRoot + "Rooms\\"; };
    struct Case {
        std::string parent;
        std::string name;
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {kRoot, "Halls", kRoot + "Halls\\", ""},     {kRoot, "", "", kFolderExistsMessage},
        {kRoot, "Rooms", "", kFolderExistsMessage},  {kRoot, "a:b", "", kFolderNameCharsMessage},
        {kRoot, "..", "", kFolderNameCharsMessage},  {kRoot, "..\\x", "", kFolderNameCharsMessage},
        {kRoot, "AUX", "", kFolderNameCharsMessage}, {"", "Halls", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TNewFolderCheck check = CheckNewFolderName(c.parent, c.name, exists);
        EXPECT_EQ(check.Path, c.path);
        EXPECT_EQ(check.Message, c.message);
    }
}

// ---- The browser

TEST_F(PresetBrowserTest, StartCreatesTheRootAndStandsInIt) {
    EXPECT_TRUE(disk.IsFolder(kProgram + "User\\"));
    EXPECT_TRUE(disk.IsFolder(kRoot));
    EXPECT_EQ(list.root, kRoot);
    EXPECT_EQ(browser.Root(), kRoot);
    ExpectAt(kRoot, "Presets");
}

TEST_F(PresetBrowserTest, ClickPutsOnlyAPresetsTitleInTheEdit) {
    const std::pair<std::string, std::string> cases[] = {
        {"Hall.ker", "Hall"},  {"a.b.ker", "a.b"},      {"LOUD.KER", "LOUD"}, {"Rooms", "before"},
        {"Odd.ker", "before"}, {"notes.txt", "before"}, {"", "before"},
    };
    for (const auto& [item, entry] : cases) {
        SCOPED_TRACE(item);
        host.entry = "before";
        list.selected = item;
        browser.Presets_Click();
        EXPECT_EQ(host.entry, entry);
    }
}

TEST_F(PresetBrowserTest, ClickedPresetWithADotCanBeDeleted) {
    list.selected = "a.b.ker";
    browser.Presets_Click();
    EXPECT_TRUE(host.delEnabled);
    browser.Del_Click();
    EXPECT_EQ(disk.files.count(kRoot + "a.b.ker"), 0u);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(list.rebuilds, 1);
}

TEST_F(PresetBrowserTest, DoubleClickLoadsPresetsEntersFoldersAndIgnoresTheRest) {
    DoubleClick("LOUD.KER");
    DoubleClick("Hall.ker");
    EXPECT_EQ(host.loaded, (std::vector<std::string>{kRoot + "LOUD.KER", kRoot + "Hall.ker"}));
    ExpectAt(kRoot, "Presets");

    // A file of another kind, or empty space, leaves the folder as it is.
    DoubleClick("notes.txt");
    DoubleClick("");
    ExpectAt(kRoot, "Presets");
    EXPECT_EQ(host.loaded.size(), 2u);

    // A folder is entered, whatever its name looks like.
    DoubleClick("Odd.ker");
    ExpectAt(kRoot + "Odd.ker\\", "Odd.ker");
    EXPECT_EQ(host.loaded.size(), 2u);
}

TEST_F(PresetBrowserTest, UpFolderStopsAtTheRoot) {
    browser.UpFolder_Click();
    ExpectAt(kRoot, "Presets");
    EXPECT_TRUE(list.browses.empty());

    DoubleClick("Rooms");
    list.selected = "Small";
    browser.Presets_DblClick();
    ExpectAt(kRoot + "Rooms\\Small\\", "Small");
    browser.UpFolder_Click();
    ExpectAt(kRoot + "Rooms\\", "Rooms");
    browser.UpFolder_Click();
    ExpectAt(kRoot, "Presets");
    browser.UpFolder_Click();
    ExpectAt(kRoot, "Presets");
}

TEST_F(PresetBrowserTest, FolderReportedInAnotherCaseStillGoesUp) {
    list.BrowseToPath("C:\\TARVOLA\\USER\\PRESETS\\ROOMS\\");
    browser.ListBrowsed();
    EXPECT_EQ(host.collectionCaption, "ROOMS");
    browser.UpFolder_Click();
    EXPECT_EQ(browser.CurrentFolder(), kRoot);
    EXPECT_EQ(host.collectionCaption, "Presets");
}

TEST_F(PresetBrowserTest, CurrentFolderFollowsTheListsOwnBrowsingButNotAboveTheRoot) {
    list.BrowseToPath(kRoot + "Rooms\\");
    browser.ListBrowsed();
    ExpectAt(kRoot + "Rooms\\", "Rooms");
    list.Backspace();
    browser.ListBrowsed();
    ExpectAt(kRoot, "Presets");
    list.Backspace();
    browser.ListBrowsed();
    ExpectAt(kRoot, "Presets");
}

TEST_F(PresetBrowserTest, PresetsRootReturnsFromAnyDepth) {
    DoubleClick("Rooms");
    DoubleClick("Small");
    browser.PrstRoot_Click();
    ExpectAt(kRoot, "Presets");
}

TEST_F(PresetBrowserTest, AddSavesIntoTheShownFolder) {
    DoubleClick("Rooms");
    Type("a.b");
    EXPECT_TRUE(host.addEnabled);
    browser.Add_Click();
    EXPECT_EQ(disk.files.count(kRoot + "Rooms\\a.b.ker"), 1u);
    EXPECT_EQ(list.rebuilds, 1);
    EXPECT_EQ(host.caption, "Kernel: a.b");
    EXPECT_EQ(host.entry, "");
    EXPECT_FALSE(host.addEnabled);
    EXPECT_FALSE(host.delEnabled);
    EXPECT_TRUE(host.messages.empty());
    ExpectAt(kRoot + "Rooms\\", "Rooms");
}

TEST_F(PresetBrowserTest, AddRefusalsKeepTheText) {
    const std::pair<std::string, std::string> cases[] = {
        {"", kPresetNeedsNameMessage},    {"a\\b", kPresetNameCharsMessage}, {"..", kPresetNameCharsMessage},
        {"CON", kPresetNameCharsMessage}, {"Hall", kPresetNotUniqueMessage},
    };
    for (const auto& [name, message] : cases) {
        SCOPED_TRACE(name);
        host.messages.clear();
        Type(name);
        browser.Add_Click();
        EXPECT_EQ(host.messages, std::vector<std::string>{message});
        EXPECT_EQ(host.entry, name);
    }
    EXPECT_EQ(host.saved, std::vector<std::string>{"Hall"});
    EXPECT_EQ(list.rebuilds, 0);
    EXPECT_EQ(host.caption, "");
}

TEST_F(PresetBrowserTest, DelRefusesNamesThatLeaveTheFolder) {
    DoubleClick("Rooms");
    const std::set<std::string> before = disk.files;
    for (const std::string name : {"..\\Keep", "..\\..\\Keep", "..", "a/b", "NUL", "com1", " ", "C:Keep"}) {
        SCOPED_TRACE(name);
        host.messages.clear();
        Type(name);
        browser.Del_Click();
        EXPECT_EQ(host.messages, std::vector<std::string>{kPresetNameCharsMessage});
    }
    EXPECT_TRUE(host.deleted.empty());
    EXPECT_EQ(disk.files, before);
}

TEST_F(PresetBrowserTest, DelOfAMissingPresetSaysSoAndAnEmptyNameDoesNothing) {
    Type("");
    browser.Del_Click();
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.deleted.empty());

    Type("a");
    browser.Del_Click();
    EXPECT_EQ(host.messages, std::vector<std::string>{kPresetMissingMessage});
    EXPECT_EQ(list.rebuilds, 0);

    host.messages.clear();
    Type("Hall");
    browser.Del_Click();
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(disk.files.count(kRoot + "Hall.ker"), 0u);
    EXPECT_EQ(list.rebuilds, 1);
}

TEST_F(PresetBrowserTest, NewFolderCreatesTheAnsweredFolderInTheFolderShown) {
    DoubleClick("Rooms");
    browser.NewFolder_Click();
    EXPECT_EQ(host.askedIn, kRoot + "Rooms\\");
    EXPECT_TRUE(host.created.empty());
    EXPECT_EQ(list.refreshes, 0);

    host.newFolderAnswer = kRoot + "Rooms\\Large\\";
    browser.NewFolder_Click();
    EXPECT_TRUE(disk.IsFolder(kRoot + "Rooms\\Large\\"));
    EXPECT_EQ(list.refreshes, 1);
    EXPECT_TRUE(host.messages.empty());

    host.newFolderAnswer = kRoot + "Rooms\\Tall\\";
    host.folderCreationWorks = false;
    browser.NewFolder_Click();
    EXPECT_EQ(host.messages, std::vector<std::string>{kFolderNotCreatedMessage});
    EXPECT_EQ(list.refreshes, 1);

    // An answer outside the folder shown creates nothing.
    host.messages.clear();
    host.created.clear();
    for (const std::string& answer : {kRoot, kRoot + "Rooms\\..\\x\\", kRoot + "Rooms\\"}) {
        host.newFolderAnswer = answer;
        browser.NewFolder_Click();
    }
    EXPECT_TRUE(host.created.empty());
    EXPECT_TRUE(host.messages.empty());
}

} // namespace
} // namespace tarvola
