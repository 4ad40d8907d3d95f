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
    const TShellLayer& layer = TShellLayer::Get();
    bool going = true;
    if (contents_.Has(accCurrentDir) && WideDirectoryExists(currentDir_)) {
        const auto current = TNamespace::CreateFromFileName(currentDir_);
        going = Collect(*current);
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
    const TPIDLManager& manager = TShellLayer::Get().PIDLMgr();
    folder.EnumerateFolder(contents_.Has(accFileSysDirs), contents_.Has(accFileSysFiles),
                           contents_.Has(accHidden),
                           [&](PItemIDList child, TNamespace& parent, bool& terminate) {
                               // A parentless item: it outlives the folder object it was found in.
                               PItemIDList absolute = manager.AppendPIDL(parent.AbsolutePIDL(), child);
                               manager.FreePIDL(child);
                               if (absolute == nullptr)
                                   return false;
                               going = Consider(std::make_unique<TNamespace>(absolute, nullptr));
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
