#include "explorer/ExplorerStateShellWin32.h"

namespace tarvola {

namespace {

PCUIDLIST_RELATIVE Relative(const TItemIDList& pidl) {
    return reinterpret_cast<PCUIDLIST_RELATIVE>(pidl.Data());
}

} // namespace

IShellFolder* TShellStateShell::Folder(const TItemIDList& pidl) {
    if (!desktop_ && FAILED(SHGetDesktopFolder(desktop_.Put())))
        return nullptr;
    if (pidl.IsDesktop())
        return desktop_.Get();
    if (lastFolder_ && lastPIDL_ == pidl)
        return lastFolder_.Get();
    TComPtr<IShellFolder> folder;
    if (FAILED(desktop_->BindToObject(Relative(pidl), nullptr, IID_IShellFolder, folder.PutVoid())) ||
        !folder)
        return nullptr;
    lastPIDL_ = pidl;
    lastFolder_ = folder;
    return lastFolder_.Get();
}

std::optional<int> TShellStateShell::CompareIDs(const TItemIDList& folderPIDL, const TItemIDList& a,
                                                const TItemIDList& b) {
    IShellFolder* folder = Folder(folderPIDL);
    if (folder == nullptr)
        return std::nullopt;
    return CompareIDsOrder(folder->CompareIDs(0, Relative(a), Relative(b)));
}

bool TShellStateShell::ItemExists(const TItemIDList& absolutePIDL) {
    if (absolutePIDL.IsDesktop())
        return true;
    IShellFolder* folder = Folder(absolutePIDL.Parent());
    if (folder == nullptr)
        return false;
    const TItemIDList last = absolutePIDL.LastItem();
    PCUITEMID_CHILD child = reinterpret_cast<PCUITEMID_CHILD>(last.Data());
    SFGAOF attributes = SFGAO_FOLDER | SFGAO_VALIDATE;
    if (FAILED(folder->GetAttributesOf(1, &child, &attributes)))
        return false;
    // Wine's file-system folder answers for items that are gone; a file-system item must be on disk too.
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(absolutePIDL.Data()), path) || path[0] == 0)
        return true;
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

} // namespace tarvola
