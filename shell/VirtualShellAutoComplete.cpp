#include "shell/VirtualShellAutoComplete.h"

#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualUtilities.h"

namespace tarvola {

using enum TAutoCompleteContent;

TVirtualShellAutoComplete::TVirtualShellAutoComplete()
    : contents_{accCurrentDir, accMyComputer, accFileSysDirs, accFileSysFiles} {}

void TVirtualShellAutoComplete::SetCurrentDir(const WideString& folder) {
    if (folder == currentDir_ || !WideDirectoryExists(folder))
        return;
    currentDir_ = folder;
    dirty_ = true;
}

void TVirtualShellAutoComplete::SetContents(TAutoCompleteContents contents) {
    if (contents == contents_)
        return;
    contents_ = contents;
    dirty_ = true;
}

void TVirtualShellAutoComplete::Refresh() {
    if (!dirty_)
        return;
    dirty_ = false;
    items_.Clear();
    currentFolder_.reset();
    const TShellLayer& layer = TShellLayer::Get();
    bool going = true;
    if (contents_.Has(accCurrentDir) && WideDirectoryExists(currentDir_)) {
        currentFolder_ = TNamespace::CreateFromFileName(currentDir_);
        going = Collect(*currentFolder_);
    }
    const std::pair<TAutoCompleteContent, TSpecialFolder> specials[] = {
        {accDesktop, TSpecialFolder::Desktop},
        {accFavorites, TSpecialFolder::Favorites},
        {accMyComputer, TSpecialFolder::MyComputer},
    };
    for (const auto& [content, folder] : specials)
        if (going && contents_.Has(content))
            if (TNamespace* special = layer.Special(folder))
                going = Collect(*special);
}

bool TVirtualShellAutoComplete::Collect(TNamespace& folder) {
    bool going = true;
    folder.EnumerateFolder(contents_.Has(accFileSysDirs), contents_.Has(accFileSysFiles),
                           contents_.Has(accHidden),
                           [&](PItemIDList child, TNamespace& parent, bool& terminate) {
                               // The item asks its questions through the folder it was found in, which
                               // lives as long as the items (the current folder is kept, the special
                               // folders are the layer's, a recursed folder is an item itself): a
                               // parentless item would bind its folder again for each answer, which
                               // makes a large folder's listing quadratic.
                               going = Consider(std::make_unique<TNamespace>(child, &parent));
                               terminate = !going;
                               return true;
                           });
    return going;
}

bool TVirtualShellAutoComplete::Consider(std::unique_ptr<TNamespace> item) {
    if (item->Hidden() && !contents_.Has(accHidden))
        return true;
    if (!item->FileSystem() && contents_.Has(accFileSysOnly))
        return true;
    if (contents_.Has(accRecursive) && item->Folder() && !Collect(*item))
        return false;
    bool allow = true;
    bool terminate = false;
    if (OnAutoCompleteAddItem)
        OnAutoCompleteAddItem(*this, *item, allow, terminate);
    if (allow)
        items_.Add(item.release());
    return !terminate;
}

const TWideStringList& TVirtualShellAutoComplete::Strings() {
    strings_.SetSorted(false);
    strings_.Clear();
    for (TNamespace* item : items_)
        strings_.Add(item->NameParseAddress());
    if (contents_.Has(accSortList))
        strings_.Sort();
    return strings_;
}

} // namespace tarvola
