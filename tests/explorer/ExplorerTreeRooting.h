// Roots an explorer tree at a fixture folder, as the window tests start from.
#pragma once

#include "explorer/VirtualExplorerTree.h"

namespace tarvola::test {

// Roots the tree at a folder path, listing objects, and makes it active.
inline void RootExplorerTreeAt(TCustomVirtualExplorerTree& tree, const WideString& path, TFileObjects objects,
                               bool hideRoot) {
    TVETFolderOptions folders = tree.FolderOptions();
    folders = hideRoot ? folders.With(TVETFolderOption::toHideRootFolder)
                       : folders.Without(TVETFolderOption::toHideRootFolder);
    tree.BeginRebuildSuspend();
    tree.SetFolderOptions(folders);
    tree.SetFileObjects(objects);
    tree.SetRootFolderCustomPath(path);
    tree.SetActive(true);
    tree.EndRebuildSuspend();
}

} // namespace tarvola::test
