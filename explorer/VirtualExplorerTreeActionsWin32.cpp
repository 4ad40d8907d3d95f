#include "explorer/VirtualExplorerTreeActionsWin32.h"

#include "explorer/VirtualExplorerTreeShell.h"
#include "shell/VirtualShellLink.h"
#include "shell/VirtualShellOperations.h"
#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualSysImages.h"
#include "shell/VirtualUtilities.h"
#include "tree/TreeClipboard.h"

namespace tarvola {

namespace {

TNamespace* NamespaceOf(IExplorerItem& item) {
    auto* shellItem = dynamic_cast<TShellExplorerItem*>(&item);
    return shellItem != nullptr ? &shellItem->Namespace() : nullptr;
}

TNamespaceArray NamespacesOf(const TExplorerItems& items) {
    TNamespaceArray result;
    for (IExplorerItem* item : items)
        if (TNamespace* ns = item != nullptr ? NamespaceOf(*item) : nullptr)
            result.push_back(ns);
    return result;
}

bool IsSeparator(HMENU menu, int position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info) &&
           (info.fType & MFT_SEPARATOR) != 0;
}

} // namespace

void RemoveShortcutCommand(HMENU menu, const std::function<WideString(UINT id)>& verbOf) {
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        const UINT id = GetMenuItemID(menu, position);
        if (id == static_cast<UINT>(-1) || IsSeparator(menu, position))
            continue;
        WideString verb = verbOf(id);
        for (char16_t& c : verb)
            if (c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c + 32);
        if (verb != u"link")
            continue;
        DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
        // A separator left at the top, at the bottom or next to another one goes too.
        const int left = GetMenuItemCount(menu);
        const bool before = position > 0 && IsSeparator(menu, position - 1);
        const bool after = position < left && IsSeparator(menu, position);
        if (after && (position == 0 || before))
            DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
        else if (before && position == left)
            DeleteMenu(menu, static_cast<UINT>(position - 1), MF_BYPOSITION);
        return;
    }
}

bool TShellExplorerPort::ShowContextMenu(IExplorerItem& item, const TExplorerItems& items,
                                         TTreeMousePoint screen, bool removeShortcut,
                                         const TShellMenuRequest& request) {
    TNamespace* ns = NamespaceOf(item);
    if (ns == nullptr)
        return false;
    TContextMenuCallbacks callbacks;
    callbacks.OnShow = [&](TNamespace& shown, HMENU menu, bool& allow) {
        if (removeShortcut)
            RemoveShortcutCommand(menu, [&](UINT id) { return shown.GetContextMenuVerb(id); });
        if (request.OnShow)
            request.OnShow(allow);
    };
    callbacks.OnCommand = [&](TNamespace&, const WideString& verb, UINT id, bool& handled) {
        if (request.OnCommand)
            request.OnCommand(verb, id, handled);
    };
    callbacks.OnAfterCommand = [&](TNamespace&, const WideString& verb, UINT id, bool successful) {
        if (request.OnAfterCommand)
            request.OnAfterCommand(verb, id, successful);
    };
    const POINT at{screen.X, screen.Y};
    menuItem_ = ns;
    const struct TMenuDone {
        TNamespace*& item;
        ~TMenuDone() { item = nullptr; }
    } done{menuItem_};
    if (items.size() > 1)
        return ns->ShowContextMenuMulti(owner_, NamespacesOf(items), callbacks, &at);
    return ns->ShowContextMenu(owner_, callbacks, &at);
}

bool TShellExplorerPort::Copy(IExplorerItem& item, const TExplorerItems& items) {
    TNamespace* ns = NamespaceOf(item);
    return ns != nullptr && ns->Copy(NamespacesOf(items));
}

bool TShellExplorerPort::Cut(IExplorerItem& item, const TExplorerItems& items) {
    TNamespace* ns = NamespaceOf(item);
    return ns != nullptr && ns->Cut(NamespacesOf(items));
}

bool TShellExplorerPort::Paste(IExplorerItem& item, const TExplorerItems& items) {
    TNamespace* ns = NamespaceOf(item);
    return ns != nullptr && ns->Paste(NamespacesOf(items));
}

bool TShellExplorerPort::Delete(IExplorerItem& item, const TExplorerItems& items) {
    TNamespace* ns = NamespaceOf(item);
    return ns != nullptr && ns->Delete(NamespacesOf(items));
}

bool TShellExplorerPort::ShowProperties(IExplorerItem& item, const TExplorerItems& items) {
    TNamespace* ns = NamespaceOf(item);
    return ns != nullptr && ns->ShowPropertySheetMulti(NamespacesOf(items));
}

bool TShellExplorerPort::SetNameOf(IExplorerItem& item, const WideString& newName) {
    TNamespace* ns = NamespaceOf(item);
    return ns != nullptr && ns->SetNameOf(newName);
}

bool TShellExplorerPort::Execute(IExplorerItem& item, const WideString& workingDir,
                                 const WideString& arguments, bool execFolder, bool execFolderShortcut) {
    TNamespace* ns = NamespaceOf(item);
    return ns != nullptr && ns->ShellExecuteNamespace(workingDir, arguments, execFolder, execFolderShortcut);
}

bool TShellExplorerPort::MakeDirectory(const WideString& path) {
    return WideCreateDir(path);
}

// Wine's file-system folder answers GetUIObjectOf(IID_IDropTarget) for a child folder with its own drop
// target, so that a drop on a subfolder's node would go to the folder above it (and a drag of that folder's
// own files would be refused). A folder's view object is its own drop target on Windows as on Wine.
IDropTarget* TShellExplorerPort::FolderDropTarget(IExplorerItem& item, bool bind) {
    if (!bind)
        return folderTargetItem_ == &item ? folderTarget_.Get() : nullptr;
    folderTarget_.Reset();
    folderTargetItem_ = nullptr;
    TNamespace* ns = NamespaceOf(item);
    if (ns == nullptr || !ns->Folder() || !ns->FileSystem() || !ns->DropTarget())
        return nullptr;
    IShellFolder* folder = ns->ShellFolder();
    if (folder == nullptr ||
        FAILED(folder->CreateViewObject(owner_, IID_IDropTarget, folderTarget_.PutVoid()))) {
        folderTarget_.Reset();
        return nullptr;
    }
    folderTargetItem_ = &item;
    return folderTarget_.Get();
}

std::int32_t TShellExplorerPort::DragEnter(IExplorerItem& item, IDataObject* data, std::uint32_t keyState,
                                           TTreeMousePoint screen, std::uint32_t& effect) {
    TNamespace* ns = NamespaceOf(item);
    DWORD answer = effect;
    const POINTL at{screen.X, screen.Y};
    HRESULT hr = S_OK;
    if (IDropTarget* target = FolderDropTarget(item, true))
        hr = target->DragEnter(data, keyState, at, &answer);
    else if (ns != nullptr)
        hr = ns->DragEnter(data, keyState, at, answer);
    effect = ns != nullptr ? answer : DROPEFFECT_NONE;
    return hr;
}

std::int32_t TShellExplorerPort::DragOver(IExplorerItem& item, std::uint32_t keyState, TTreeMousePoint screen,
                                          std::uint32_t& effect) {
    TNamespace* ns = NamespaceOf(item);
    DWORD answer = effect;
    const POINTL at{screen.X, screen.Y};
    HRESULT hr = S_OK;
    if (IDropTarget* target = FolderDropTarget(item, false))
        hr = target->DragOver(keyState, at, &answer);
    else if (ns != nullptr)
        hr = ns->DragOver(keyState, at, answer);
    effect = ns != nullptr ? answer : DROPEFFECT_NONE;
    return hr;
}

std::int32_t TShellExplorerPort::DragLeave(IExplorerItem& item) {
    TNamespace* ns = NamespaceOf(item);
    HRESULT hr = S_OK;
    if (IDropTarget* target = FolderDropTarget(item, false)) {
        hr = target->DragLeave();
        folderTarget_.Reset();
        folderTargetItem_ = nullptr;
    } else if (ns != nullptr) {
        hr = ns->DragLeave();
    }
    return hr;
}

std::int32_t TShellExplorerPort::Drop(IExplorerItem& item, IDataObject* data, std::uint32_t keyState,
                                      TTreeMousePoint screen, std::uint32_t& effect) {
    TNamespace* ns = NamespaceOf(item);
    DWORD answer = effect;
    const POINTL at{screen.X, screen.Y};
    HRESULT hr = S_OK;
    IDropTarget* target = FolderDropTarget(item, false);
    if (target == nullptr)
        target = FolderDropTarget(item, true);
    if (target != nullptr)
        hr = target->Drop(data, keyState, at, &answer);
    else if (ns != nullptr)
        hr = ns->Drop(data, keyState, at, answer);
    folderTarget_.Reset();
    folderTargetItem_ = nullptr;
    effect = ns != nullptr ? answer : DROPEFFECT_NONE;
    return hr;
}

void TShellExplorerPort::Beep() {
    MessageBeep(0);
}

void TShellExplorerPort::RefreshSystemImages() {
    // Binding the lists again and initialising the icon cache makes the shell rebuild it; the user's
    // "Shell Icon Size" setting is never written for it.
    RefreshSysImageLists();
    InitShellIconCache(true);
}

void TShellExplorerPort::Revalidate(IExplorerItem& item) {
    if (TNamespace* ns = NamespaceOf(item))
        ns->TestAttributes(SFGAO_VALIDATE, true);
}

bool TShellExplorerPort::IsRemoteDrive(const WideString& root) {
    return GetDriveTypeW(reinterpret_cast<LPCWSTR>(root.c_str())) == DRIVE_REMOTE;
}

std::optional<WideString> TShellExplorerPort::ShortcutTarget(IExplorerItem& item) {
    TNamespace* ns = NamespaceOf(item);
    if (ns == nullptr)
        return std::nullopt;
    TVirtualShellLink link;
    link.FileName = ns->NameParseAddress();
    if (!link.ReadLink())
        return std::nullopt;
    return link.TargetPath();
}

// ---- TExplorerDropTarget

TExplorerDropTarget::TExplorerDropTarget(std::shared_ptr<TTreeLink> tree, HWND window)
    : tree_(std::move(tree)), window_(window) {}

TTreeMousePoint TExplorerDropTarget::Client(POINTL pt) const {
    POINT point{pt.x, pt.y};
    if (window_ != nullptr)
        ScreenToClient(window_, &point);
    return {point.x, point.y};
}

// Exceptions stay on this side of OLE: a failed call refuses the drop.
HRESULT STDMETHODCALLTYPE TExplorerDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL pt,
                                                         DWORD* effect) {
    if (effect == nullptr)
        return E_INVALIDARG;
    try {
        if (tree_->Tree == nullptr) {
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        std::uint32_t answer = *effect;
        const HRESULT hr = ExplorerDragEnter(*tree_->Tree, data, keyState, Client(pt), {pt.x, pt.y}, answer);
        *effect = answer;
        return hr;
    } catch (...) {
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE TExplorerDropTarget::DragOver(DWORD keyState, POINTL pt, DWORD* effect) {
    if (effect == nullptr)
        return E_INVALIDARG;
    try {
        if (tree_->Tree == nullptr) {
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        std::uint32_t answer = *effect;
        const HRESULT hr = ExplorerDragOver(*tree_->Tree, keyState, Client(pt), {pt.x, pt.y}, answer);
        *effect = answer;
        return hr;
    } catch (...) {
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE TExplorerDropTarget::DragLeave() {
    try {
        if (tree_->Tree != nullptr)
            ExplorerDragLeave(*tree_->Tree);
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE TExplorerDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL pt,
                                                    DWORD* effect) {
    if (effect == nullptr)
        return E_INVALIDARG;
    try {
        if (tree_->Tree == nullptr) {
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        std::uint32_t answer = *effect;
        const HRESULT hr = ExplorerDragDrop(*tree_->Tree, data, keyState, Client(pt), {pt.x, pt.y}, answer);
        *effect = answer;
        return hr;
    } catch (...) {
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

} // namespace tarvola
