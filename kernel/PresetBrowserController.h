// What the preset browser in the designer's left column does, apart from any window: which items are
// presets, what a click and a double-click mean, Add and Del with their checks and messages, Up Folder and
// Presets Root, and the folder the browser stands in (CurrentFolder of the designer), which never leaves
// the presets root "User\Presets\" under the program's folder.
//
// The list of folders and presets stands behind IPresetList; the designer window (the host) answers
// IPresetBrowserHost: the name edit, the buttons, the caption, messages, folder creation and the
// designer's LoadPreset, SavePreset and DeletePreset. Every call runs on the GUI thread; errors raised by
// the host or the list (a preset that cannot be written, a folder that cannot be created) reach the
// caller, which shows them.
//
// Typical wiring in the window:
//   browser = std::make_unique<PresetBrowserController>(*presetList, *this);
//   browser->Start(ProgramFolder);                    // creates and roots the list, before it is shown
//   void Presets_Click()    { browser->Presets_Click(); }
//   void Presets_DblClick() { browser->Presets_DblClick(); }
//   the list's own Enter and Backspace:      browser->ListBrowsed();
//
// Folder paths are full paths ending in a backslash. Paths compare as Windows compares names: letter case
// is ignored (ASCII letters; other bytes compare exactly).
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tarvola {

// The texts the browser shows.
constexpr const char* kPresetNeedsNameMessage =
    "You need to name the preset before\radding it to the collection.";
constexpr const char* kPresetNameCharsMessage =
    "Preset names can only contain characters\rthat are valid in a file name.";
constexpr const char* kPresetNotUniqueMessage = "The preset name must be unique in this collection.";
constexpr const char* kPresetMissingMessage = "That preset does not exist in this folder.";
constexpr const char* kFolderNameCharsMessage =
    "The folder name must contain only valid filename characters.";
constexpr const char* kFolderExistsMessage = "A sub-folder with that name already exists in this folder.";
constexpr const char* kFolderNotCreatedMessage = "Unable to create this sub-folder at this location.";
constexpr const char* kPresetsCaption = "Presets";
constexpr const char* kPresetExtension = ".ker";
// The longest collection caption, in characters.
constexpr std::size_t kMaxCollectionCaptionLength = 50;

// One item of the list: its name with extension, its full path, and whether it is a folder (from its
// attributes, not from its name).
struct TPresetListItem {
    std::string Name;
    std::string Path;
    bool IsFolder = false;
};

// The list of the folders and files of one folder under the presets root.
class IPresetList {
public:
    virtual ~IPresetList() = default;

    // The list shows this folder's contents and never browses above it.
    virtual void SetRootFolder(const std::string& folder) = 0;
    // The first selected item; nothing when no item is selected.
    virtual std::optional<TPresetListItem> SelectedItem() const = 0;
    // The list shows the contents of Folder.
    virtual void BrowseToPath(const std::string& folder) = 0;
    // The folder whose contents the list shows now.
    virtual std::string ShownFolder() const = 0;
    // Re-reads the folder shown (a new sub-folder appears).
    virtual void RefreshTree() = 0;
    // Builds the list again (after a preset was written or deleted).
    virtual void RebuildTree() = 0;
};

// What the browser asks of the designer window.
class IPresetBrowserHost {
public:
    virtual ~IPresetBrowserHost() = default;

    // ---- The designer protocol (presets are saved into and deleted from CurrentFolder).
    virtual void LoadPreset(const std::string& fileName) = 0;
    // False when a preset of that name exists in CurrentFolder already.
    virtual bool SavePreset(const std::string& name) = 0;
    // True when the file was deleted.
    virtual bool DeletePreset(const std::string& name) = 0;
    // The designer's CurrentFolder follows the browser.
    virtual void SetCurrentFolder(const std::string& folder) = 0;

    // ---- The column's controls.
    virtual std::string EntryText() const = 0;
    virtual void SetEntryText(const std::string& text) = 0;
    virtual void EnablePresetButtons(bool add, bool del) = 0;
    virtual void ShowCollectionCaption(const std::string& caption) = 0;
    // The designer window's caption.
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void ShowMessage(const std::string& text) = 0;

    // Creates the folder when it is missing (its parent exists); raises when it cannot.
    virtual void EnsureFolder(const std::string& folder) = 0;
    // The New Folder dialog on ParentFolder (its OK button checks the name with CheckNewFolderName): the
    // new folder's path, or nothing when the user closed it any other way.
    virtual std::optional<std::string> AskNewFolder(const std::string& parentFolder) = 0;
    // Creates the folder; false when it could not be created.
    virtual bool CreateFolder(const std::string& folder) = 0;
};

// ---- Names

// True when Name ends in ".ker" in any letter case and has a title before it.
bool IsPresetFileName(const std::string& name);
// The preset's title: the last component of the path without its trailing ".ker" (any case); a name
// without that extension is returned whole. "C:\P\a.b.ker" gives "a.b".
std::string PresetTitleOf(const std::string& path);
// True when the name can be a preset in the folder shown: a usable file name (no separators, no "..",
// no device name such as CON or COM1, not blank) of at most 50 characters.
bool IsAcceptablePresetName(const std::string& name);
// True when Folder is Root or lies below it; letter case is ignored, and a "." or ".." component or an
// empty one below the root makes it false. Root ends in a backslash.
bool IsWithinFolder(const std::string& folder, const std::string& root);
// Folder's own name, cut to 50 characters: the collection caption.
std::string CollectionCaptionOf(const std::string& folder);

// What the New Folder dialog's OK button makes of a name: the path of the folder to create (ending in a
// backslash), or the message to show while the dialog stays open. Neither when ParentFolder is empty.
struct TNewFolderCheck {
    std::string Path;
    std::string Message;
};
// An empty name names the parent itself, which exists; a name that is not a usable file name (a
// separator, "..", a device name) is refused. FolderExists answers for a full folder path.
TNewFolderCheck CheckNewFolderName(const std::string& parentFolder, const std::string& name,
                                   const std::function<bool(const std::string&)>& folderExists);

// ---- The browser

class PresetBrowserController {
public:
    PresetBrowserController(IPresetList& list, IPresetBrowserHost& host) : list_(list), host_(host) {}

    // The presets root is ProgramFolder + "User\Presets\" (ProgramFolder ends in a backslash): created
    // when missing, the list is rooted there and the browser stands in it.
    void Start(const std::string& programFolder);

    const std::string& Root() const { return root_; }
    const std::string& CurrentFolder() const { return currentFolder_; }
    const std::string& CollectionCaption() const { return collectionCaption_; }

    // The name edit changed: Add and Del are enabled exactly when it holds text.
    void PrstEntry_Change();
    // A click on a preset puts its title in the name edit; other items change nothing.
    void Presets_Click();
    // A double-click on a preset loads it; on a folder it enters it; on any other file or on empty
    // space nothing happens.
    void Presets_DblClick();
    // The list browsed by itself (Enter on a folder, Backspace): the browser takes its folder from it.
    void ListBrowsed();
    void Add_Click();
    void Del_Click();
    // To the parent folder, but never above the presets root.
    void UpFolder_Click();
    void PrstRoot_Click();
    // Asks for a name and creates the sub-folder in the folder shown; the list then shows it.
    void NewFolder_Click();

private:
    // Takes the folder from the list; a list that went above the root is brought back to it.
    void FollowList();
    void EnterFolder(const std::string& folder);
    void UpdatePresetButtons();

    IPresetList& list_;
    IPresetBrowserHost& host_;
    std::string root_;
    std::string currentFolder_;
    std::string collectionCaption_;
};

} // namespace tarvola
