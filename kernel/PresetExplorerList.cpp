#include "kernel/PresetExplorerList.h"

#include "explorer/VirtualExplorerListviewExControl.h"
#include "shell/VirtualWideStrings.h"

namespace tarvola {

namespace {

WideString ToWide(const std::string& text) {
    return PlatformText().FromCodePage(text);
}

std::string FromWide(const WideString& text) {
    return PlatformText().ToCodePage(text);
}

// Sets a flag for its lifetime.
class TMoving {
public:
    explicit TMoving(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~TMoving() { flag_ = was_; }
    TMoving(const TMoving&) = delete;
    TMoving& operator=(const TMoving&) = delete;

private:
    bool& flag_;
    bool was_;
};

} // namespace

TPresetExplorerList::TPresetExplorerList(TVirtualExplorerListviewEx& list, TFolderTest isFolder)
    : list_(list), isFolder_(std::move(isFolder)) {
    // A double-click in the list only reaches the browser: nothing is opened through the shell.
    ShellExecuteEnabled = false;
    Bind(list_.OnRootChange, this, &TPresetExplorerList::RootChanged);
}

TPresetExplorerList::~TPresetExplorerList() {
    list_.OnRootChange = nullptr;
}

void TPresetExplorerList::RootChanged(TObject&) {
    if (!moving_ && OnBrowsed)
        OnBrowsed();
}

// The list shows the folder's sub-folders and files (hidden ones stay hidden) and never browses above it;
// the limit is set before the root, so the list never stands anywhere else first.
void TPresetExplorerList::SetRootFolder(const std::string& folder) {
    const TMoving moving(moving_);
    const WideString path = ToWide(folder);
    list_.SetFileObjects(TFileObjects{TFileObject::foFolders, TFileObject::foNonFolders});
    list_.MiscOptions() = list_.MiscOptions().With(TVETMiscOption::toListviewLimitBrowseToRoot);
    list_.SetBrowseLimitPath(path);
    list_.SetRootFolderCustomPath(path);
}

std::optional<TPresetListItem> TPresetExplorerList::SelectedItem() const {
    const std::string path = FromWide(list_.GetSelectedPath());
    if (path.empty())
        return std::nullopt;
    return TPresetListItem{FromWide(list_.GetSelectedFileName()), path, isFolder_(path)};
}

void TPresetExplorerList::BrowseToPath(const std::string& folder) {
    const TMoving moving(moving_);
    list_.BrowseToPath(ToWide(folder), true, false, false, false);
}

std::string TPresetExplorerList::ShownFolder() const {
    return FromWide(list_.RootPath());
}

void TPresetExplorerList::RefreshTree() {
    const TMoving moving(moving_);
    list_.RefreshTree(false);
}

void TPresetExplorerList::RebuildTree() {
    const TMoving moving(moving_);
    list_.RebuildTree();
}

} // namespace tarvola
