// TNamespace: the shell's verbs on siblings, their objects (data object, context menu), the property sheet
// and the context menu with the caller's items and callbacks.
#include "shell/VirtualShellOperations.h"

#include "shell/VirtualNamespaceCache.h"
#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualUnicodeDefines.h"

#include <algorithm>

namespace tarvola {

namespace {

std::vector<LPCITEMIDLIST> ShellList(const TPIDLArray& pidls) {
    std::vector<LPCITEMIDLIST> list;
    list.reserve(pidls.size());
    for (PItemIDList pidl : pidls)
        list.push_back(AsItemIDList(static_cast<PCItemIDList>(pidl)));
    return list;
}

template <typename T>
TComPtr<T> UIObjectOf(IShellFolder* folder, const TPIDLArray& pidls, REFIID iid) {
    TComPtr<T> object;
    if (folder == nullptr || pidls.empty())
        return object;
    std::vector<LPCITEMIDLIST> list = ShellList(pidls);
    if (FAILED(folder->GetUIObjectOf(nullptr, static_cast<UINT>(list.size()), list.data(), iid, nullptr,
                                     object.PutVoid())))
        object.Reset();
    return object;
}

template <typename T>
TComPtr<T> ViewObjectOf(IShellFolder* folder, REFIID iid) {
    TComPtr<T> object;
    if (folder != nullptr && FAILED(folder->CreateViewObject(nullptr, iid, object.PutVoid())))
        object.Reset();
    return object;
}

TComPtr<IShellFolder> DesktopFolder() {
    TComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.Put())))
        desktop.Reset();
    return desktop;
}

} // namespace

// ---- The shell's objects of siblings

TComPtr<IDataObject> TNamespace::GetDataObjectOf(const TNamespaceArray& items) {
    const TPIDLArray pidls = items.empty() ? TPIDLArray{relativePIDL_} : NamespaceToRelativePIDLs(items);
    TComPtr<IDataObject> data = UIObjectOf<IDataObject>(ParentShellFolder(), pidls, IID_IDataObject);
    if (!data && pidls.size() == 1)
        data = ViewObjectOf<IDataObject>(ShellFolder(), IID_IDataObject);
    return data;
}

TComPtr<IContextMenu> TNamespace::ContextMenuOfPIDLs(const TPIDLArray& pidls, bool absolute) {
    if (absolute) {
        const TComPtr<IShellFolder> desktop = DesktopFolder();
        return UIObjectOf<IContextMenu>(desktop.Get(), pidls, IID_IContextMenu);
    }
    const TPIDLArray list = pidls.empty() ? TPIDLArray{relativePIDL_} : pidls;
    TComPtr<IContextMenu> menu = UIObjectOf<IContextMenu>(ParentShellFolder(), list, IID_IContextMenu);
    if (!menu && list.size() == 1)
        menu = ViewObjectOf<IContextMenu>(ShellFolder(), IID_IContextMenu);
    return menu;
}

TComPtr<IContextMenu> TNamespace::GetContextMenuOf(const TNamespaceArray& items) {
    return ContextMenuOfPIDLs(NamespaceToRelativePIDLs(items), false);
}

// ---- Verbs

bool TNamespace::CheckSiblings(const TNamespaceArray& items) {
    bool siblings = false;
    if (TNamespace* parent = ParentItem()) {
        const TPIDLIdentity& identity = TShellLayer::Get().Identity();
        siblings = std::all_of(items.begin(), items.end(), [&](TNamespace* item) {
            return identity.IsParent(parent->AbsolutePIDL(), item->AbsolutePIDL(), true);
        });
    } else {
        siblings = items.size() == 1 && items.front()->IsDesktop();
    }
    if (!siblings && !IsDesktop())
        WideMessageBox(ShellOperationsPlatform().OwnerWindow(), u"Error",
                       u"PIDLs to operate on are not siblings of the Namespace doing the operation.");
    return siblings;
}

bool TNamespace::InvokeVerb(const WideString& verb, const TPIDLArray& relativePIDLs) {
    TComPtr<IContextMenu> menu = ContextMenuOfPIDLs(relativePIDLs, false);
    if (!menu)
        return false;
    TShellContextMenuPort port(std::move(menu), ShellOperationsPlatform().OwnerWindow(), POINT{0, 0});
    return InvokeShellVerb(port, verb);
}

bool TNamespace::Copy(const TNamespaceArray& items) {
    return CheckSiblings(items) && InvokeVerb(u"copy", NamespaceToRelativePIDLs(items));
}

bool TNamespace::Cut(const TNamespaceArray& items) {
    return AllCanDelete(items) && CheckSiblings(items) && InvokeVerb(u"cut", NamespaceToRelativePIDLs(items));
}

bool TNamespace::Delete(const TNamespaceArray& items) {
    return AllCanDelete(items) && CheckSiblings(items) &&
           InvokeVerb(u"delete", NamespaceToRelativePIDLs(items));
}

bool TNamespace::Paste(const TNamespaceArray& items) {
    if (!AnyItems(items))
        return false;
    TNamespace* desktopDirectory = TShellLayer::Get().Special(TSpecialFolder::DesktopDirectory);
    if (IsDesktop() && desktopDirectory != nullptr && desktopDirectory != this) {
        // The desktop's own folder takes no paste: its files live in the desktop directory.
        std::vector<std::unique_ptr<TNamespace>> targets;
        TNamespaceArray targetItems;
        for (TNamespace* item : items) {
            PItemIDList pidl = PathToPIDL(item->NameForParsing());
            if (pidl == nullptr)
                return false;
            targets.push_back(std::make_unique<TNamespace>(pidl, nullptr));
            targetItems.push_back(targets.back().get());
        }
        return desktopDirectory->Paste(targetItems);
    }
    return CheckSiblings(items) && InvokeVerb(u"paste", NamespaceToRelativePIDLs(items));
}

bool TNamespace::ShowPropertySheetMulti(const TNamespaceArray& items) {
    if (!AllHavePropSheet(items))
        return false;
    if (const auto multiFileProperties = ShellOperationsPlatform().MultiFileProperties()) {
        const TComPtr<IShellFolder> desktop = DesktopFolder();
        const TComPtr<IDataObject> data =
            UIObjectOf<IDataObject>(desktop.Get(), NamespaceToAbsolutePIDLs(items), IID_IDataObject);
        if (!data)
            return false;
        // A shell that names the entry point without showing a sheet (Wine's stub) gets the verb instead.
        if (SUCCEEDED(multiFileProperties(data.Get(), 0)))
            return true;
    }
    return CheckSiblings(items) && InvokeVerb(u"properties", NamespaceToRelativePIDLs(items));
}

// ---- Context menu

bool TNamespace::ShowContextMenu(HWND owner, const TContextMenuCallbacks& callbacks, const POINT* position,
                                 const TCustomSubMenu* custom) {
    return ShowContextMenuEx(owner, TPIDLArray{relativePIDL_}, false, callbacks, position, custom);
}

bool TNamespace::ShowContextMenuMulti(HWND owner, const TNamespaceArray& items,
                                      const TContextMenuCallbacks& callbacks, const POINT* position,
                                      const TCustomSubMenu* custom) {
    return ShowContextMenuEx(owner, NamespaceToRelativePIDLs(items), false, callbacks, position, custom);
}

namespace {

// Keeps the shown menu reachable from the item while it is up, and lets it go on every way out.
class TShownMenu {
public:
    TShownMenu(TComPtr<IContextMenu>& menu, TComPtr<IContextMenu2>& menu2, const TComPtr<IContextMenu>& shown)
        : menu_(menu), menu2_(menu2) {
        menu_ = shown;
        menu2_ = shown.As<IContextMenu2>(IID_IContextMenu2);
    }
    ~TShownMenu() {
        menu2_.Reset();
        menu_.Reset();
    }
    TShownMenu(const TShownMenu&) = delete;
    TShownMenu& operator=(const TShownMenu&) = delete;

private:
    TComPtr<IContextMenu>& menu_;
    TComPtr<IContextMenu2>& menu2_;
};

} // namespace

bool TNamespace::ShowContextMenuEx(HWND owner, const TPIDLArray& pidls, bool absolute,
                                   const TContextMenuCallbacks& callbacks, const POINT* position,
                                   const TCustomSubMenu* custom) {
    TShellOperationsPlatform& platform = ShellOperationsPlatform();
    POINT at{0, 0};
    if (position != nullptr)
        at = *position;
    else
        GetCursorPos(&at);
    TErrorModeGuard quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const TComPtr<IContextMenu> menu = ContextMenuOfPIDLs(pidls, absolute);
    if (!menu)
        return false;
    const TShownMenu shown(contextMenu_, contextMenu2_, menu);
    TShellContextMenuPort port(menu, owner, at);

    TShellMenuRequest request;
    request.ItemCount = static_cast<int>(std::max<std::size_t>(pidls.size(), 1));
    request.ShiftDown = platform.ShiftDown();
    request.CustomSubMenu = custom;
    if (callbacks.OnShow)
        request.OnShow = [&](bool& allow) { callbacks.OnShow(*this, port.Menu(), allow); };
    if (callbacks.OnCommand)
        request.OnCommand = [&](const WideString& verb, std::uint32_t id, bool& handled) {
            callbacks.OnCommand(*this, verb, id, handled);
        };
    if (callbacks.OnAfterCommand)
        request.OnAfterCommand = [&](const WideString& verb, std::uint32_t id, bool successful) {
            callbacks.OnAfterCommand(*this, verb, id, successful);
        };
    return RunShellContextMenu(port, request);
}

bool TNamespace::HandleContextMenuMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!contextMenu2_)
        return false;
    if (const TComPtr<IContextMenu3> menu3 = contextMenu2_.As<IContextMenu3>(IID_IContextMenu3))
        return SUCCEEDED(menu3->HandleMenuMsg2(message, wParam, lParam, &result));
    result = 0;
    return SUCCEEDED(contextMenu2_->HandleMenuMsg(message, wParam, lParam));
}

WideString TNamespace::GetContextMenuVerb(UINT menuItemId) {
    if (!contextMenu_ || menuItemId < kShellFirstCommandId || menuItemId > kShellLastCommandId)
        return {};
    return ContextMenuVerb(*contextMenu_.Get(), menuItemId - kShellFirstCommandId).value_or(WideString());
}

} // namespace tarvola
