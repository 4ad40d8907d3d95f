// TNamespace: rename, running the item, drops onto the item and its thumbnail extractor.
#include "shell/VirtualNamespaceCache.h"
#include "shell/VirtualShellLink.h"
#include "shell/VirtualShellOperations.h"
#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualUnicodeDefines.h"
#include "shell/VirtualUtilities.h"

namespace tarvola {

namespace {

// The hourglass while the shell works, and the cursor before it afterwards.
class TWaitCursor {
public:
    TWaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)))) {} // IDC_WAIT
    ~TWaitCursor() { SetCursor(previous_); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
    HCURSOR previous_;
};

} // namespace

// ---- Rename

bool TNamespace::SetNameOf(const WideString& newName) {
    IShellFolder* folder = ParentShellFolder();
    if (folder == nullptr || !CanRename())
        return false;
    const TPIDLManager& manager = Manager();
    LPITEMIDLIST renamed = nullptr;
    HRESULT hr = E_FAIL;
    {
        const TWaitCursor wait;
        // The folder gets a copy: the item's own list must stay whole whatever the folder does with it.
        PItemIDList relative = manager.CopyPIDL(relativePIDL_);
        if (relative == nullptr)
            return false;
        // The name as typed in the folder: the name shown for editing, not a path.
        hr = folder->SetNameOf(nullptr, AsItemIDList(relative), AsW(newName),
                               SHGDN_INFOLDER | SHGDN_FOREDITING, &renamed);
        manager.FreePIDL(relative);
    }
    if (FAILED(hr)) {
        manager.FreePIDL(FromItemIDList(renamed));
        return false;
    }
    if (renamed == nullptr)
        return true;
    PItemIDList parentPart = manager.CopyPIDL(absolutePIDL_);
    PItemIDList fresh = nullptr;
    if (parentPart != nullptr) {
        TPIDLManager::StripLastID(parentPart);
        fresh = manager.AppendPIDL(parentPart, FromItemIDList(renamed));
        manager.FreePIDL(parentPart);
    }
    manager.FreePIDL(FromItemIDList(renamed));
    if (fresh == nullptr)
        return true; // renamed on disk; the item keeps its old list for want of memory
    if (freePIDL_)
        manager.FreePIDL(absolutePIDL_);
    freePIDL_ = true;
    absolutePIDL_ = fresh;
    relativePIDL_ =
        (parent_ != nullptr && parent_->IsDesktop()) ? absolutePIDL_ : TPIDLManager::GetLastID(absolutePIDL_);
    // Names, icon and the bound folder belong to the old name.
    InvalidateNamespace(true);
    return true;
}

// ---- Execute

bool TNamespace::ShellExecuteNamespace(const WideString& workingDir, const WideString& cmdLineArgument,
                                       bool execFolder, bool execFolderShortcut) {
    if (Link()) {
        if (!execFolderShortcut) {
            TVirtualShellLink link;
            link.FileName = NameParseAddress();
            if (link.ReadLink() && !link.TargetPath().empty() && WideDirectoryExists(link.TargetPath()))
                return false;
        }
    } else if (Folder() && !execFolder) {
        return false;
    }
    const WideString directory = !workingDir.empty() && WideDirectoryExists(workingDir)
                                     ? workingDir
                                     : WideExtractFileDir(NameParseAddress());
    TShellOperationsPlatform& platform = ShellOperationsPlatform();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = platform.OwnerWindow();
    info.nShow = SW_SHOWNORMAL;
    info.lpIDList = AsItemIDList(absolutePIDL_);
    info.lpParameters = cmdLineArgument.empty() ? nullptr : AsW(cmdLineArgument);
    info.lpDirectory = directory.empty() ? nullptr : AsW(directory);
    const bool started = platform.ShellExecute(info) != FALSE;
    // The process runs on by itself; its handle is only ours to give back.
    if (info.hProcess != nullptr)
        CloseHandle(info.hProcess);
    return started;
}

// ---- Drops

IDropTarget* TNamespace::BoundDropTarget() {
    if (dropTarget_)
        return dropTarget_.Get();
    if (!DropTarget())
        return nullptr;
    TNamespace* desktopDirectory = TShellLayer::Get().Special(TSpecialFolder::DesktopDirectory);
    if (IsDesktop())
        return desktopDirectory != nullptr && desktopDirectory != this ? desktopDirectory->BoundDropTarget()
                                                                       : nullptr;
    LPCITEMIDLIST items[1] = {AsItemIDList(static_cast<PCItemIDList>(relativePIDL_))};
    if (IShellFolder* folder = ParentShellFolder())
        if (FAILED(folder->GetUIObjectOf(nullptr, 1, items, IID_IDropTarget, nullptr, dropTarget_.PutVoid())))
            dropTarget_.Reset();
    // A file on the desktop lives in the desktop directory, whose folder knows it.
    if (!dropTarget_ && TPIDLManager::CountIDs(absolutePIDL_) == 1 && desktopDirectory != nullptr)
        if (IShellFolder* folder = desktopDirectory->ShellFolder())
            if (FAILED(folder->GetUIObjectOf(nullptr, 1, items, IID_IDropTarget, nullptr,
                                             dropTarget_.PutVoid())))
                dropTarget_.Reset();
    return dropTarget_.Get();
}

HRESULT TNamespace::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD& effect) {
    if (IDropTarget* target = BoundDropTarget())
        return target->DragEnter(data, keyState, point, &effect);
    effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT TNamespace::DragOver(DWORD keyState, POINTL point, DWORD& effect) {
    if (IDropTarget* target = BoundDropTarget())
        return target->DragOver(keyState, point, &effect);
    effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT TNamespace::DragLeave() {
    if (IDropTarget* target = BoundDropTarget())
        return target->DragLeave();
    return S_OK;
}

HRESULT TNamespace::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD& effect) {
    if (IDropTarget* target = BoundDropTarget())
        return target->Drop(data, keyState, point, &effect);
    effect = DROPEFFECT_NONE;
    return S_OK;
}

// ---- Thumbnail extractor

IExtractImage* TExtractImage::GetExtractImageInterface() {
    if (extractImage_)
        return extractImage_.Get();
    LPCITEMIDLIST items[1] = {AsItemIDList(static_cast<PCItemIDList>(owner_.RelativePIDL()))};
    if (IShellFolder* folder = owner_.ParentShellFolder())
        if (FAILED(folder->GetUIObjectOf(nullptr, 1, items, IID_IExtractImage, nullptr,
                                         extractImage_.PutVoid())))
            extractImage_.Reset();
    if (!extractImage_)
        if (IShellFolder* folder = owner_.ShellFolder())
            if (FAILED(folder->CreateViewObject(nullptr, IID_IExtractImage, extractImage_.PutVoid())))
                extractImage_.Reset();
    return extractImage_.Get();
}

TExtractImage* TNamespace::GetExtractImage() {
    if (!extractImage_)
        extractImage_ = std::make_unique<TExtractImage>(*this);
    return extractImage_.get();
}

} // namespace tarvola
