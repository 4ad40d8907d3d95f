#include "kernel/PresetBrowserController.h"

#include "audio/General.h"
#include "audio/TextOperations.h"
#include "kernel/KernelStateFile.h"

#include <algorithm>
#include <cstddef>

namespace tarvola {

namespace {

char FoldCase(char ch) {
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

bool StartsWithIgnoringCase(const std::string& s, const std::string& prefix) {
    return prefix.size() <= s.size() && std::equal(prefix.begin(), prefix.end(), s.begin(),
                                                   [](char a, char b) { return FoldCase(a) == FoldCase(b); });
}

bool EndsWithIgnoringCase(const std::string& s, const std::string& suffix) {
    return suffix.size() <= s.size() &&
           std::equal(suffix.begin(), suffix.end(), s.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) { return FoldCase(a) == FoldCase(b); });
}

std::string LastComponent(const std::string& path) {
    const std::size_t separator = path.find_last_of('\\');
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string WithTrailingBackslash(const std::string& folder) {
    return folder.empty() || folder.back() == '\\' ? folder : folder + '\\';
}

// The first Count characters of UTF-8 text, never cutting a character in two.
std::string FirstCharacters(const std::string& text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t characters = 0; end < text.size() && characters < count; ++characters) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
    }
    return text.substr(0, end);
}

std::size_t CharacterCount(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char ch) { return (static_cast<unsigned char>(ch) & 0xC0) != 0x80; }));
}

} // namespace

// ---- Names

bool IsPresetFileName(const std::string& name) {
    const std::string extension = kPresetExtension;
    return name.size() > extension.size() && EndsWithIgnoringCase(name, extension);
}

std::string PresetTitleOf(const std::string& path) {
    const std::string name = LastComponent(path);
    const std::string extension = kPresetExtension;
    return EndsWithIgnoringCase(name, extension) ? name.substr(0, name.size() - extension.size()) : name;
}

bool IsAcceptablePresetName(const std::string& name) {
    return IsUsableFileName(name) && CharacterCount(name) <= kMaxPresetNameLength;
}

bool IsWithinFolder(const std::string& folder, const std::string& root) {
    const std::string path = WithTrailingBackslash(folder);
    if (root.empty() || !StartsWithIgnoringCase(path, root))
        return false;
    // "x\..\.." begins with the root and yet names a folder above it.
    for (std::size_t start = root.size(); start < path.size();) {
        const std::size_t end = path.find('\\', start);
        const std::string component = path.substr(start, end - start);
        if (component.empty() || component == "." || component == "..")
            return false;
        start = end + 1;
    }
    return true;
}

std::string CollectionCaptionOf(const std::string& folder) {
    return FirstCharacters(ExtractLastFolderName(folder), kMaxCollectionCaptionLength);
}

TNewFolderCheck CheckNewFolderName(const std::string& parentFolder, const std::string& name,
                                   const std::function<bool(const std::string&)>& folderExists) {
    if (parentFolder.empty())
        return {};
    if (name.empty())
        return {"", kFolderExistsMessage};
    if (!IsUsableFileName(name))
        return {"", kFolderNameCharsMessage};
    const std::string path = WithTrailingBackslash(parentFolder) + name + "\\";
    if (folderExists(path))
        return {"", kFolderExistsMessage};
    return {path, ""};
}

// ---- The browser

void PresetBrowserController::Start(const std::string& programFolder) {
    const std::string user = programFolder + "User\\";
    root_ = user + "Presets\\";
    host_.EnsureFolder(user);
    host_.EnsureFolder(root_);
    list_.SetRootFolder(root_);
    EnterFolder(root_);
}

void PresetBrowserController::PrstEntry_Change() {
    UpdatePresetButtons();
}

void PresetBrowserController::UpdatePresetButtons() {
    const bool named = !host_.EntryText().empty();
    host_.EnablePresetButtons(named, named);
}

void PresetBrowserController::Presets_Click() {
    const std::optional<TPresetListItem> item = list_.SelectedItem();
    if (!item || item->IsFolder || !IsPresetFileName(item->Name))
        return;
    host_.SetEntryText(PresetTitleOf(item->Name));
    UpdatePresetButtons();
}

void PresetBrowserController::Presets_DblClick() {
    const std::optional<TPresetListItem> item = list_.SelectedItem();
    if (!item)
        return;
    if (item->IsFolder) {
        // The list may have entered the folder already; browsing there again changes nothing.
        list_.BrowseToPath(WithTrailingBackslash(item->Path));
        FollowList();
    } else if (IsPresetFileName(item->Name)) {
        host_.LoadPreset(item->Path);
    }
}

void PresetBrowserController::ListBrowsed() {
    FollowList();
}

void PresetBrowserController::Add_Click() {
    const std::string name = host_.EntryText();
    if (name.empty()) {
        host_.ShowMessage(kPresetNeedsNameMessage);
        return;
    }
    if (!IsAcceptablePresetName(name)) {
        host_.ShowMessage(kPresetNameCharsMessage);
        return;
    }
    // The text stays in the edit, so the user can change the name.
    if (!host_.SavePreset(name)) {
        host_.ShowMessage(kPresetNotUniqueMessage);
        return;
    }
    list_.RebuildTree();
    FollowList();
    host_.SetCaption("Kernel: " + name);
    host_.SetEntryText("");
    UpdatePresetButtons();
}

void PresetBrowserController::Del_Click() {
    const std::string name = host_.EntryText();
    if (name.empty())
        return;
    // A name that reaches outside the folder shown (a separator, "..", a device) deletes nothing.
    if (!IsAcceptablePresetName(name)) {
        host_.ShowMessage(kPresetNameCharsMessage);
        return;
    }
    if (!host_.DeletePreset(name)) {
        host_.ShowMessage(kPresetMissingMessage);
        return;
    }
    list_.RebuildTree();
    FollowList();
}

void PresetBrowserController::UpFolder_Click() {
    const std::string parent = ExtractParentFolder(currentFolder_, 1);
    if (parent == currentFolder_ || !IsWithinFolder(parent, root_))
        return;
    list_.BrowseToPath(parent);
    FollowList();
}

void PresetBrowserController::PrstRoot_Click() {
    list_.BrowseToPath(root_);
    FollowList();
}

void PresetBrowserController::NewFolder_Click() {
    const std::optional<std::string> folder = host_.AskNewFolder(currentFolder_);
    if (!folder)
        return;
    // A name that would leave the folder shown never reaches the disk.
    if (!IsWithinFolder(*folder, currentFolder_) || *folder == currentFolder_)
        return;
    if (!host_.CreateFolder(*folder)) {
        host_.ShowMessage(kFolderNotCreatedMessage);
        return;
    }
    list_.RefreshTree();
}

void PresetBrowserController::FollowList() {
    const std::string shown = WithTrailingBackslash(list_.ShownFolder());
    if (IsWithinFolder(shown, root_)) {
        EnterFolder(shown);
        return;
    }
    list_.BrowseToPath(root_);
    EnterFolder(root_);
}

void PresetBrowserController::EnterFolder(const std::string& folder) {
    // Folder lies within the root, so the same length means the root, perhaps in another letter case.
    const bool atRoot = folder.size() == root_.size();
    currentFolder_ = atRoot ? root_ : folder;
    collectionCaption_ = atRoot ? std::string(kPresetsCaption) : CollectionCaptionOf(currentFolder_);
    host_.SetCurrentFolder(currentFolder_);
    host_.ShowCollectionCaption(collectionCaption_);
}

} // namespace tarvola
