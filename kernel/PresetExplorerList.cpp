#include "kernel/PresetExplorerList.h"

#include "explorer/VirtualExplorerTree.h"
#include "shell/VirtualWideStrings.h"

#include <stdexcept>

namespace tarvola {

namespace {

TCustomVirtualExplorerTree& ExplorerTreeOf(TBaseVirtualTree& list) {
    auto* tree = dynamic_cast<TCustomVirtualExplorerTree*>(&list);
    if (tree == nullptr)
        throw std::invalid_argument("The preset list needs an explorer list.");
    return *tree;
}

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

TPresetExplorerList::TPresetExplorerList(TBaseVirtualTree& list, TFolderTest isFolder)
    : list_(ExplorerTreeOf(list)), isFolder_(std::move(isFolder)) {
    // A double-click in the list only reaches the browser: nothing is opened through the shell.
    ShellExecuteEnabled = false;
    list_.OnRootChange = TVETNotifyEvent::Bind<&TPresetExplorerList::RootChanged>(this);
}

TPresetExplorerList::~TPresetExplorerList() {
    list_.OnRootChange.Reset();
}

void TPresetExplorerList::RootChanged(TCustomVirtualExplorerTree&) {
    if (!moving_ && OnBrowsed)
        OnBrowsed();
}

// The list shows the folder's sub-folders and files (hidden ones stay hidden), with no node for the folder
// itself; it is rooted before it is activated, so it never lists any other folder first.
void TPresetExplorerList::SetRootFolder(const std::string& folder) {
    const TMoving moving(moving_);
    list_.BeginRebuildSuspend();
    list_.SetFolderOptions(list_.FolderOptions().With(TVETFolderOption::toHideRootFolder));
    list_.SetFileObjects(TFileObjects{TFileObject::foFolders, TFileObject::foNonFolders});
    list_.SetRootFolderCustomPath(ToWide(folder));
    list_.SetActive(true);
    list_.EndRebuildSuspend();
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
    IExplorerItem* root = list_.RootItem();
    return root != nullptr ? FromWide(root->NameForParsing()) : std::string();
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
