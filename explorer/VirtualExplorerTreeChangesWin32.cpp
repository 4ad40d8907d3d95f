// The explorer tree control's side of the shell: the messages of the right button, the shell's menus, the
// Alt key, double clicks, renaming again, change notifications and the session's end, each handed to the
// tree; and the registrations with the change notifier and OLE that last as long as the window.
#include "explorer/VirtualExplorerTreeControl.h"

#include "explorer/ContextMenuManager.h"
#include "explorer/VETDataObject.h"
#include "tree/HitTest.h"
#include "shell/VirtualNamespace.h"
#include "shell/VirtualShellNotifierWin32.h"

#include <windowsx.h>

namespace tarvola {

void TVirtualExplorerTreeControl::SetChangeNotifier(TVirtualChangeNotifier* notifier) {
    if (notifier == notifier_)
        return;
    UnregisterChangeNotify(false);
    notifier_ = notifier;
    if (HandleAllocated() && ExplorerTracksChanges(Tree()))
        RegisterChangeNotify();
}

void TVirtualExplorerTreeControl::SetChangeNotifierEnabled(bool value) {
    if (value == notifierRegistered_)
        return;
    if (value)
        RegisterChangeNotify();
    else
        UnregisterChangeNotify(true);
}

void TVirtualExplorerTreeControl::RegisterChangeNotify() {
    if (notifier_ == nullptr || !HandleAllocated() || notifierRegistered_)
        return;
    notifierRegistered_ = notifier_->RegisterShellChangeNotify(Handle());
}

void TVirtualExplorerTreeControl::UnregisterChangeNotify(bool applyQueued) {
    if (!notifierRegistered_)
        return;
    notifierRegistered_ = false;
    if (HandleAllocated()) {
        // At run time what came already is applied; a window on its way out only gives the lists back.
        if (applyQueued)
            DispatchQueuedShellNotifies();
        else
            ReleasePendingShellNotifies(Handle());
    }
    if (notifier_ != nullptr && HandleAllocated())
        notifier_->UnRegisterShellChangeNotify(Handle());
}

void TVirtualExplorerTreeControl::DispatchQueuedShellNotifies() {
    if (!HandleAllocated())
        return;
    MSG message;
    while (PeekMessageW(&message, Handle(), WM_SHELLNOTIFY, WM_SHELLNOTIFY, PM_REMOVE))
        ExplorerShellNotify(Tree(), reinterpret_cast<void*>(message.wParam));
}

void TVirtualExplorerTreeControl::InitializeHandle() {
    TVirtualTreeControl::InitializeHandle();
    // The header's columns are built for the new window.
    explorer_.RebuildHeaderColumns(explorer_.RootItem());
    shellPort_.SetOwner(Handle());
    // A drag out of the tree carries the shell's data object of the selection.
    TTreeClipboard& clipboard = Tree().Clipboard();
    clipboard.OnCreateDataObject =
        TVTCreateDataObjectEvent::Bind<&TVirtualExplorerTreeControl::CreateDataObject>(this);
    clipboard.OnGetUserClipboardFormats =
        TVTGetUserClipboardFormatsEvent::Bind<&TVirtualExplorerTreeControl::AddShellFormats>(this);
    if (ExplorerTracksChanges(Tree()))
        RegisterChangeNotify();
}

void TVirtualExplorerTreeControl::RegisterDropTarget() {
    if (!HandleAllocated() || explorerDropRegistered_)
        return;
    if (explorerDrop_ == nullptr)
        explorerDrop_ = new TExplorerDropTarget(Tree().Clipboard().Link(), Handle());
    const HRESULT result = RegisterDragDrop(Handle(), explorerDrop_);
    if (FAILED(result))
        throw std::runtime_error("Cannot register the explorer tree window as a drop target (error " +
                                 std::to_string(static_cast<unsigned long>(result)) + ")");
    explorerDropRegistered_ = true;
}

void TVirtualExplorerTreeControl::RevokeDropTarget() {
    if (explorerDropRegistered_ && HandleAllocated())
        RevokeDragDrop(Handle());
    explorerDropRegistered_ = false;
    if (explorerDrop_ != nullptr) {
        explorerDrop_->Release();
        explorerDrop_ = nullptr;
    }
}

void TVirtualExplorerTreeControl::CreateDataObject(TBaseVirtualTree& tree, IDataObject*& dataObject) {
    selectionData_.Reset();
    const TExplorerItems items = ExplorerSelectedItems(tree);
    auto* first = items.empty() ? nullptr : dynamic_cast<TShellExplorerItem*>(items.front());
    if (first == nullptr)
        return;
    TNamespaceArray namespaces;
    for (IExplorerItem* item : items)
        if (auto* shellItem = dynamic_cast<TShellExplorerItem*>(item))
            namespaces.push_back(&shellItem->Namespace());
    selectionData_ = first->Namespace().GetDataObjectOf(namespaces);
    if (!selectionData_)
        return;
    // The tree's object takes its formats now, the shell's among them.
    dataObject = new TVETDataObject(tree.Clipboard().Link(), false, selectionData_.Get());
}

void TVirtualExplorerTreeControl::AddShellFormats(TBaseVirtualTree&, TFormatEtcArray& formats) {
    for (const TFormatEtc& format : EnumeratedFormats(selectionData_.Get()))
        formats.push_back(format);
}

LRESULT TVirtualExplorerTreeControl::ButtonMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    TBaseVirtualTree& tree = Tree();
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    SetExplorerExpandButtonClick(tree, tree.GetHitTestInfoAt(x, y, true).Has(hpOnItemButton));
    LRESULT result = 0;
    try {
        result = TVirtualTreeControl::WndProc(message, wParam, lParam);
    } catch (...) {
        SetExplorerExpandButtonClick(tree, false);
        throw;
    }
    SetExplorerExpandButtonClick(tree, false);
    if (message == WM_LBUTTONDBLCLK)
        ExplorerDoubleClick(tree, x, y);
    return result;
}

LRESULT TVirtualExplorerTreeControl::ContextMenuMessage(WPARAM wParam, LPARAM lParam) {
    POINT origin{0, 0};
    ::ClientToScreen(Handle(), &origin);
    const TContextMenuAnswer answer = ExplorerContextMenu(Tree()).ContextMenu(
        {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, {origin.x, origin.y});
    if (answer.RunBase)
        TVirtualTreeControl::WndProc(WM_CONTEXTMENU, wParam,
                                     MAKELPARAM(answer.BaseScreenPoint.X, answer.BaseScreenPoint.Y));
    return 0;
}

std::optional<LRESULT> TVirtualExplorerTreeControl::ShellMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    TBaseVirtualTree& tree = Tree();
    switch (message) {
    case WM_SHELLNOTIFY:
        ExplorerShellNotify(tree, reinterpret_cast<void*>(wParam));
        return 0;
    case WM_EDITNODEAGAIN:
        ExplorerEditNodeAgain(tree, reinterpret_cast<const void*>(wParam));
        return 0;
    case WM_QUERYENDSESSION:
        registeredBeforeEndSession_ = notifierRegistered_;
        UnregisterChangeNotify(true);
        return TRUE;
    case WM_ENDSESSION:
        // The end was cancelled: the view goes on following the shell.
        if (wParam == FALSE && registeredBeforeEndSession_)
            RegisterChangeNotify();
        registeredBeforeEndSession_ = false;
        return 0;
    case WM_DESTROY:
        UnregisterChangeNotify(false);
        return std::nullopt;
    case WM_SYSKEYDOWN:
        if ((static_cast<std::uint32_t>(lParam) & kAltKeyDownBit) != 0)
            SetExplorerAltKeyDown(tree, true);
        return std::nullopt;
    case WM_SYSKEYUP:
    case WM_KILLFOCUS:
        SetExplorerAltKeyDown(tree, false);
        return std::nullopt;
    case WM_SYSCHAR:
        if (wParam == VK_RETURN && ExplorerAltKeyDown(tree) && tree.SelectedCount() > 0) {
            ExplorerShowSelectedProperties(tree);
            return 0;
        }
        return std::nullopt;
    case WM_KEYDOWN:
        // The system makes WM_CONTEXTMENU of the key; the tree's own handling stays out of it.
        if (wParam == VK_APPS)
            return DefWindowProcW(Handle(), message, wParam, lParam);
        return std::nullopt;
    case WM_MOUSEMOVE:
        ExplorerMouseMoved(tree);
        return std::nullopt;
    case WM_RBUTTONDOWN: {
        const int x = GET_X_LPARAM(lParam);
        const int y = GET_Y_LPARAM(lParam);
        ExplorerContextMenu(tree).RightClick(x, y, false);
        const LRESULT result = TVirtualTreeControl::WndProc(message, wParam, lParam);
        // Shell items drag with the right button too: the shell then asks what to do at the drop.
        const PVirtualNode node = tree.GetHitTestInfoAt(x, y, true).HitNode;
        if (node != nullptr && (wParam & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON)) != 0 &&
            ExplorerDragAllowed(tree, node))
            tree.BeginDrag(false);
        return result;
    }
    case WM_RBUTTONDBLCLK: {
        const LRESULT result = TVirtualTreeControl::WndProc(message, wParam, lParam);
        ExplorerRightDoubleClick(tree, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return result;
    }
    case WM_LBUTTONDOWN:
        return ButtonMessage(message, wParam, lParam);
    case WM_RBUTTONUP: {
        // The system sends WM_CONTEXTMENU while the base handles the release.
        const LRESULT result = TVirtualTreeControl::WndProc(message, wParam, lParam);
        ExplorerContextMenu(tree).RightClick(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), true);
        ReleaseCapture();
        return result;
    }
    case WM_CONTEXTMENU:
        return ContextMenuMessage(wParam, lParam);
    case WM_LBUTTONDBLCLK:
        if (ExplorerAltKeyDown(tree)) {
            ExplorerShowSelectedProperties(tree);
            return 0;
        }
        return ButtonMessage(message, wParam, lParam);
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_INITMENUPOPUP:
    case WM_MENUCHAR: {
        TNamespace* item = shellPort_.MenuItem();
        if (item == nullptr)
            return std::nullopt;
        LRESULT result = TVirtualTreeControl::WndProc(message, wParam, lParam);
        item->HandleContextMenuMsg(message, wParam, lParam, result);
        return result;
    }
    default:
        return std::nullopt;
    }
}

} // namespace tarvola
