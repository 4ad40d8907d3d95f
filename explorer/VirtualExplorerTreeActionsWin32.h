// The explorer tree's shell verbs over the real shell: each item's TNamespace runs the verb, shows the
// menu or takes the drop. Windows only; on the GUI thread after the shell layer has started.
#pragma once

#include "explorer/VirtualExplorerTreeActions.h"
#include "shell/VirtualShellCom.h"
#include "tree/ComObject.h"
#include "tree/TreeClipboard.h"

#include <windows.h>

#include <ole2.h>

namespace tarvola {

class TNamespace;

class TShellExplorerPort final : public IExplorerShellPort {
public:
    // owner: the window the menus and the shell's messages belong to (may change with the window).
    void SetOwner(HWND owner) { owner_ = owner; }
    // The item whose menu is up (nullptr: none); the owner window hands it the menu's messages.
    TNamespace* MenuItem() const { return menuItem_; }

    bool ShowContextMenu(IExplorerItem& item, const TExplorerItems& items, TTreeMousePoint screen,
                         bool removeShortcut, const TShellMenuRequest& request) override;
    bool Copy(IExplorerItem& item, const TExplorerItems& items) override;
    bool Cut(IExplorerItem& item, const TExplorerItems& items) override;
    bool Paste(IExplorerItem& item, const TExplorerItems& items) override;
    bool Delete(IExplorerItem& item, const TExplorerItems& items) override;
    bool ShowProperties(IExplorerItem& item, const TExplorerItems& items) override;
    bool SetNameOf(IExplorerItem& item, const WideString& newName) override;
    bool Execute(IExplorerItem& item, const WideString& workingDir, const WideString& arguments,
                 bool execFolder, bool execFolderShortcut) override;
    bool MakeDirectory(const WideString& path) override;
    std::int32_t DragEnter(IExplorerItem& item, IDataObject* data, std::uint32_t keyState,
                           TTreeMousePoint screen, std::uint32_t& effect) override;
    std::int32_t DragOver(IExplorerItem& item, std::uint32_t keyState, TTreeMousePoint screen,
                          std::uint32_t& effect) override;
    std::int32_t DragLeave(IExplorerItem& item) override;
    std::int32_t Drop(IExplorerItem& item, IDataObject* data, std::uint32_t keyState, TTreeMousePoint screen,
                      std::uint32_t& effect) override;
    void Beep() override;
    void RefreshSystemImages() override;
    void Revalidate(IExplorerItem& item) override;
    bool IsRemoteDrive(const WideString& root) override;
    std::optional<WideString> ShortcutTarget(IExplorerItem& item) override;

private:
    // The drop target a drag over item talks to: a folder's own (see the .cpp), else none and the item's
    // TNamespace forwards.
    IDropTarget* FolderDropTarget(IExplorerItem& item, bool bind);

    HWND owner_ = nullptr;
    TNamespace* menuItem_ = nullptr;
    IExplorerItem* folderTargetItem_ = nullptr;
    TComPtr<IDropTarget> folderTarget_;
};

// Deletes the menu's "link" command and a separator that its going leaves first, last or doubled.
void RemoveShortcutCommand(HMENU menu, const std::function<WideString(UINT id)>& verbOf);

// The tree's drop target: OLE's calls go to the explorer tree, which hands them to the folder item under
// the pointer. Holds the tree's link, since OLE may keep it longer than the tree lives.
class TExplorerDropTarget final : public TComObject<IDropTarget> {
public:
    // Starts with one reference, the caller's.
    TExplorerDropTarget(std::shared_ptr<TTreeLink> tree, HWND window);

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;

private:
    ~TExplorerDropTarget() override = default;
    TTreeMousePoint Client(POINTL pt) const;

    std::shared_ptr<TTreeLink> tree_;
    HWND window_;
};

} // namespace tarvola
