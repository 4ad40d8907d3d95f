// TNamespace: the in-folder names of a folder's many children found together.
#include "shell/VirtualNamespace.h"

#include "shell/VirtualNamesInFolder.h"
#include "shell/VirtualNamespaceCache.h"
#include "shell/VirtualUtilities.h"

#include <map>

namespace tarvola {

namespace {

// Whether the folder names its children by their file names, less the extensions the system hides.
bool NamesChildrenByFileName(TNamespace& folder) {
    if (folder.IsDesktop() || !folder.Folder() || !folder.FileSystem())
        return false;
    const WideString path = folder.NameForParsing();
    return !path.empty() && !WideFileExists(WideIncludeTrailingBackslash(path) + u"desktop.ini");
}

} // namespace

void TNamespace::PrepareNamesInFolder(std::span<TNamespace* const> items) {
    std::map<TNamespace*, std::vector<TNamespace*>> byParent;
    for (TNamespace* item : items)
        if (item != nullptr && !item->IsDesktop() && !item->Cache().nameInFolder)
            byParent[item->ParentItem()].push_back(item);
    for (auto& [parent, children] : byParent) {
        if (parent == nullptr || !NamesChildrenByFileName(*parent))
            continue;
        std::vector<TNamespace*> named;
        std::vector<TInFolderNameRequest> requests;
        for (TNamespace* child : children) {
            if (!child->FileSystem())
                continue;
            WideString fileName = child->GetDisplayNameOf(SHGDN_INFOLDER | SHGDN_FORPARSING);
            if (fileName.empty())
                continue;
            requests.push_back({std::move(fileName), child->Folder()});
            named.push_back(child);
        }
        const std::vector<WideString> names = NamesInFolder(
            requests, [&](std::size_t i) { return named[i]->GetDisplayNameOf(SHGDN_INFOLDER); });
        for (std::size_t i = 0; i < named.size(); ++i)
            named[i]->Cache().nameInFolder = names[i];
    }
}

} // namespace tarvola
