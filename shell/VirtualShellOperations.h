// What a user does to shell items through the shell's own objects, apart from the items themselves: the
// platform calls that show something or start something (behind a seam, so that tests run them without a
// user), the shell's context menu as the menu engine's port, and the item's thumbnail extractor. The verbs,
// the context menu, rename, execute and drop forwarding are TNamespace's (VirtualShellOperations.cpp,
// VirtualShellItemActions.cpp). Win32 sources only.
#pragma once

#include "shell/VirtualNamespace.h"
#include "shell/VirtualShellMenu.h"

#include <shlobj.h>

#include <functional>

namespace tarvola {

// The caller's callbacks around a context menu of shell items.
struct TContextMenuCallbacks {
    // Allow is preset to true; false shows no menu.
    std::function<void(TNamespace& item, HMENU menu, bool& allow)> OnShow;
    // Handled is preset to false; true keeps the shell from running the command.
    std::function<void(TNamespace& item, const WideString& verb, UINT menuItemId, bool& handled)> OnCommand;
    std::function<void(TNamespace& item, const WideString& verb, UINT menuItemId, bool successful)>
        OnAfterCommand;
};

// The platform calls of the item operations that show a window, wait for the user or start a program. The
// program uses the system's; a test installs its own.
class TShellOperationsPlatform {
public:
    using TMultiFileProperties = HRESULT(WINAPI*)(IDataObject* items, DWORD flags);

    virtual ~TShellOperationsPlatform() = default;
    // The owner of messages and of the shell's commands: the program's main window (nullptr before it).
    virtual HWND OwnerWindow();
    virtual BOOL ShellExecute(SHELLEXECUTEINFOW& info);
    // TrackPopupMenuEx: the chosen command with TPM_RETURNCMD.
    virtual UINT TrackPopupMenu(HMENU menu, UINT flags, POINT position, HWND owner);
    virtual bool ShiftDown();
    // The shell's multi-item property sheet, looked up by name and then by ordinal 716; nullptr when the
    // shell has neither, and the caller falls back to the "properties" verb (as it does when the entry
    // point fails: Wine names it but shows nothing).
    virtual TMultiFileProperties MultiFileProperties();
};

// Installs a platform (nullptr: the system's again) and returns the one it replaces.
TShellOperationsPlatform* SetShellOperationsPlatform(TShellOperationsPlatform* platform);
TShellOperationsPlatform& ShellOperationsPlatform();

// The menu engine's port over a shell context menu and the popup menu it fills; destroys the popup menu.
class TShellContextMenuPort final : public IShellMenuPort {
public:
    TShellContextMenuPort(TComPtr<IContextMenu> menu, HWND owner, POINT position);
    ~TShellContextMenuPort() override;
    TShellContextMenuPort(const TShellContextMenuPort&) = delete;
    TShellContextMenuPort& operator=(const TShellContextMenuPort&) = delete;

    HMENU Menu() const { return menu_; }

    bool QueryContextMenu(std::uint32_t flags) override;
    std::vector<TShellMenuEntry> TopLevelEntries() override;
    std::optional<WideString> CanonicalVerb(std::uint32_t offset) override;
    bool InvokeCommand(std::uint32_t offset) override;
    void AppendCustomSubMenu(const TCustomSubMenu& menu, const std::vector<std::uint32_t>& ids) override;
    std::uint32_t Track() override;

private:
    TComPtr<IContextMenu> contextMenu_;
    TComPtr<IContextMenu2> contextMenu2_;
    TComPtr<IContextMenu3> contextMenu3_;
    HWND owner_;
    POINT position_;
    HMENU menu_;
};

// The canonical verb of a command offset of a shell menu (wide, then single-byte); none when the handler
// names none.
std::optional<WideString> ContextMenuVerb(IContextMenu& menu, UINT offset);

// The thumbnail extractor of an item, bound on first use. The four settings are kept for callers; the
// explorer asks only whether an item has an extractor.
class TExtractImage {
public:
    explicit TExtractImage(TNamespace& owner) : owner_(owner) {}
    // nullptr when the item offers none.
    IExtractImage* GetExtractImageInterface();

    int Width = 200;
    int Height = 200;
    int ColorDepth = 32;
    DWORD Flags = 32;

private:
    TNamespace& owner_;
    TComPtr<IExtractImage> extractImage_;
};

} // namespace tarvola
