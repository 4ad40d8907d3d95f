// The shell's context menu as the menu engine's port, and the platform calls of the item operations.
#include "forms/Application.h"
#include "forms/Form.h"
#include "shell/VirtualShellOperations.h"
#include "shell/VirtualUnicodeDefines.h"

namespace tarvola {

// ---- Platform

HWND TShellOperationsPlatform::OwnerWindow() {
    TForm* main = Application().MainForm();
    return main != nullptr ? main->Handle() : nullptr;
}

BOOL TShellOperationsPlatform::ShellExecute(SHELLEXECUTEINFOW& info) {
    return ShellExecuteExW(&info);
}

UINT TShellOperationsPlatform::TrackPopupMenu(HMENU menu, UINT flags, POINT position, HWND owner) {
    return static_cast<UINT>(TrackPopupMenuEx(menu, flags, position.x, position.y, owner, nullptr));
}

bool TShellOperationsPlatform::ShiftDown() {
    return GetKeyState(VK_SHIFT) < 0;
}

TShellOperationsPlatform::TMultiFileProperties TShellOperationsPlatform::MultiFileProperties() {
    const HMODULE shell32 = GetModuleHandleW(L"shell32.dll");
    if (shell32 == nullptr)
        return nullptr;
    FARPROC entry = GetProcAddress(shell32, "SHMultiFileProperties");
    if (entry == nullptr)
        entry = GetProcAddress(shell32, MAKEINTRESOURCEA(716));
    return reinterpret_cast<TMultiFileProperties>(reinterpret_cast<void*>(entry));
}

namespace {

TShellOperationsPlatform& SystemPlatform() {
    static TShellOperationsPlatform system;
    return system;
}

TShellOperationsPlatform*& CurrentPlatform() {
    static TShellOperationsPlatform* current = &SystemPlatform();
    return current;
}

} // namespace

TShellOperationsPlatform* SetShellOperationsPlatform(TShellOperationsPlatform* platform) {
    TShellOperationsPlatform* previous = CurrentPlatform();
    CurrentPlatform() = platform != nullptr ? platform : &SystemPlatform();
    return previous;
}

TShellOperationsPlatform& ShellOperationsPlatform() {
    return *CurrentPlatform();
}

// ---- Verbs

std::optional<WideString> ContextMenuVerb(IContextMenu& menu, UINT offset) {
    constexpr UINT kVerbLength = 128;
    wchar_t wide[kVerbLength + 1] = {};
    if (SUCCEEDED(
            menu.GetCommandString(offset, GCS_VERBW, nullptr, reinterpret_cast<LPSTR>(wide), kVerbLength))) {
        wide[kVerbLength] = 0;
        if (wide[0] != 0)
            return FromW(wide);
    }
    char single[kVerbLength + 1] = {};
    if (SUCCEEDED(menu.GetCommandString(offset, GCS_VERBA, nullptr, single, kVerbLength))) {
        single[kVerbLength] = 0;
        if (single[0] != 0)
            return PlatformText().FromCodePage(single);
    }
    return std::nullopt;
}

// ---- Port

TShellContextMenuPort::TShellContextMenuPort(TComPtr<IContextMenu> menu, HWND owner, POINT position)
    : contextMenu_(std::move(menu)), owner_(owner), position_(position), menu_(CreatePopupMenu()) {
    contextMenu2_ = contextMenu_.As<IContextMenu2>(IID_IContextMenu2);
    contextMenu3_ = contextMenu_.As<IContextMenu3>(IID_IContextMenu3);
}

TShellContextMenuPort::~TShellContextMenuPort() {
    if (menu_ != nullptr)
        DestroyMenu(menu_);
}

bool TShellContextMenuPort::QueryContextMenu(std::uint32_t flags) {
    if (menu_ == nullptr || !contextMenu_)
        return false;
    IContextMenu* highest = contextMenu3_   ? contextMenu3_.Get()
                            : contextMenu2_ ? static_cast<IContextMenu*>(contextMenu2_.Get())
                                            : contextMenu_.Get();
    return SUCCEEDED(highest->QueryContextMenu(menu_, 0, kShellFirstCommandId, kShellLastCommandId, flags));
}

std::vector<TShellMenuEntry> TShellContextMenuPort::TopLevelEntries() {
    std::vector<TShellMenuEntry> entries;
    const int count = GetMenuItemCount(menu_);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_SUBMENU;
        if (!GetMenuItemInfoW(menu_, static_cast<UINT>(i), TRUE, &info))
            continue;
        entries.push_back(
            TShellMenuEntry{info.wID, (info.fType & MFT_SEPARATOR) != 0, info.hSubMenu != nullptr});
    }
    return entries;
}

std::optional<WideString> TShellContextMenuPort::CanonicalVerb(std::uint32_t offset) {
    return ContextMenuVerb(*contextMenu_.Get(), offset);
}

bool TShellContextMenuPort::InvokeCommand(std::uint32_t offset) {
    CMINVOKECOMMANDINFOEX info{};
    info.cbSize = sizeof(info);
    info.fMask = CMIC_MASK_UNICODE;
    info.hwnd = owner_;
    info.lpVerb = MAKEINTRESOURCEA(offset);
    info.lpVerbW = MAKEINTRESOURCEW(offset);
    info.nShow = SW_SHOWNORMAL;
    IContextMenu* highest = contextMenu3_   ? contextMenu3_.Get()
                            : contextMenu2_ ? static_cast<IContextMenu*>(contextMenu2_.Get())
                                            : contextMenu_.Get();
    return SUCCEEDED(highest->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info)));
}

namespace {

void InsertCustomItem(HMENU popup, const TCustomMenuItem& item, std::uint32_t id, bool rightToLeft) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_FTYPE | MIIM_STRING;
    info.wID = id;
    if (item.Caption == u"-") {
        info.fType = MFT_SEPARATOR;
        info.fMask &= ~static_cast<UINT>(MIIM_STRING);
    } else {
        info.dwTypeData = const_cast<wchar_t*>(AsW(item.Caption));
    }
    if (item.Radio)
        info.fType |= MFT_RADIOCHECK;
    if (rightToLeft)
        info.fType |= MFT_RIGHTJUSTIFY;
    if (item.Break == TCustomMenuBreak::Break)
        info.fType |= MFT_MENUBREAK;
    else if (item.Break == TCustomMenuBreak::BarBreak)
        info.fType |= MFT_MENUBARBREAK;
    if (item.Checked)
        info.fState |= MFS_CHECKED;
    if (item.Default)
        info.fState |= MFS_DEFAULT;
    if (!item.Enabled)
        info.fState |= MFS_DISABLED | MFS_GRAYED;
    InsertMenuItemW(popup, static_cast<UINT>(GetMenuItemCount(popup)), TRUE, &info);
}

} // namespace

void TShellContextMenuPort::AppendCustomSubMenu(const TCustomSubMenu& menu,
                                                const std::vector<std::uint32_t>& ids) {
    const HMENU popup = CreatePopupMenu();
    if (popup == nullptr)
        return;
    for (std::size_t i = 0; i < menu.Items.size() && i < ids.size(); ++i)
        InsertCustomItem(popup, menu.Items[i], ids[i], menu.RightToLeft);

    MENUITEMINFOW separator{};
    separator.cbSize = sizeof(separator);
    separator.fMask = MIIM_FTYPE;
    separator.fType = MFT_SEPARATOR;
    InsertMenuItemW(menu_, static_cast<UINT>(GetMenuItemCount(menu_)), TRUE, &separator);

    MENUITEMINFOW opener{};
    opener.cbSize = sizeof(opener);
    opener.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
    opener.fType = MFT_STRING;
    opener.dwTypeData = const_cast<wchar_t*>(AsW(menu.Caption));
    opener.hSubMenu = popup; // destroyed with the menu
    if (!InsertMenuItemW(menu_, static_cast<UINT>(GetMenuItemCount(menu_)), TRUE, &opener))
        DestroyMenu(popup);
}

std::uint32_t TShellContextMenuPort::Track() {
    return ShellOperationsPlatform().TrackPopupMenu(menu_, TPM_RETURNCMD | TPM_RIGHTBUTTON, position_,
                                                    owner_);
}

} // namespace tarvola
