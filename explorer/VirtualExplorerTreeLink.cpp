#include "explorer/VirtualExplorerTreeLink.h"

#include "explorer/VirtualExplorerTree.h"

namespace tarvola {

namespace {

TCustomVirtualExplorerTree& Explorer(TBaseVirtualTree& tree) {
    return dynamic_cast<TCustomVirtualExplorerTree&>(tree);
}

} // namespace

std::unique_ptr<TBaseVirtualTree> MakeExplorerTree(IExplorerNamespace& shell, ITreeViewHost* host) {
    return std::make_unique<TVirtualExplorerTree>(shell, host);
}

void SetExplorerTreePorts(TBaseVirtualTree& tree, IExplorerIconPort* icons, IExplorerCursorPort* cursor) {
    TCustomVirtualExplorerTree& explorer = Explorer(tree);
    explorer.SetIconPort(icons);
    if (icons != nullptr)
        explorer.SetImageOptions(explorer.ImageOptions().With(TVETImageOption::toThreadedImages));
    explorer.SetCursorPort(cursor);
}

bool DeliverExplorerIcon(TBaseVirtualTree& tree, const void* node, std::uint64_t requestId, int imageIndex) {
    return Explorer(tree).DeliverIcon(const_cast<PVirtualNode>(static_cast<const TVirtualNode*>(node)),
                                      requestId, imageIndex);
}

void RootExplorerTreeAt(TBaseVirtualTree& tree, const WideString& path, TFileObjects objects, bool hideRoot) {
    TCustomVirtualExplorerTree& explorer = Explorer(tree);
    TVETFolderOptions folders = explorer.FolderOptions();
    folders = hideRoot ? folders.With(TVETFolderOption::toHideRootFolder)
                       : folders.Without(TVETFolderOption::toHideRootFolder);
    explorer.BeginRebuildSuspend();
    explorer.SetFolderOptions(folders);
    explorer.SetFileObjects(objects);
    explorer.SetRootFolderCustomPath(path);
    explorer.SetActive(true);
    explorer.EndRebuildSuspend();
}

std::size_t PendingExplorerIcons(TBaseVirtualTree& tree) {
    return Explorer(tree).PendingIconRequests();
}

void SetExplorerColumnDetails(TBaseVirtualTree& tree, TColumnDetailType mode) {
    Explorer(tree).SetColumnDetails(mode);
}

void RebuildExplorerHeader(TBaseVirtualTree& tree) {
    TCustomVirtualExplorerTree& explorer = Explorer(tree);
    explorer.RebuildHeaderColumns(explorer.RootItem());
}

} // namespace tarvola
