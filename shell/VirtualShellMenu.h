// The engine behind a shell item's context menu and its verbs: which flags the shell is asked with, where our
// own items are merged in, which command a verb names, and the order of the caller's callbacks around the
// chosen command. The shell's menu and the popup menu it fills are reached through IShellMenuPort: the
// shell's IContextMenu and a Win32 popup menu on Windows, a script in tests.
#pragma once

#include "shell/VirtualWideStrings.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tarvola {

// QueryContextMenu flags.
constexpr std::uint32_t kMenuQueryExplore = 0x4;         // CMF_EXPLORE
constexpr std::uint32_t kMenuQueryCanRename = 0x10;      // CMF_CANRENAME
constexpr std::uint32_t kMenuQueryExtendedVerbs = 0x100; // CMF_EXTENDEDVERBS

// The command ids handed to the shell's menu; its commands, those in its submenus included, stay inside.
constexpr std::uint32_t kShellFirstCommandId = 1;
constexpr std::uint32_t kShellLastCommandId = 0x7FFF;
// Our own merged items count up from here, so that none of them can equal a shell command.
constexpr std::uint32_t kFirstCustomCommandId = 0x8000;

// The verb reported for a command whose handler names none.
inline const WideString kUnknownCommandVerb = u"Unknown Command";

// One top-level item of the filled menu.
struct TShellMenuEntry {
    std::uint32_t Id = 0;
    bool Separator = false;
    bool SubMenu = false;
};

enum class TCustomMenuBreak { None, Break, BarBreak };

// One of the caller's own items merged into the menu.
struct TCustomMenuItem {
    WideString Caption; // "-" is a separator
    bool Radio = false;
    bool Checked = false;
    bool Default = false;
    bool Enabled = true;
    TCustomMenuBreak Break = TCustomMenuBreak::None;
    std::function<void()> OnClick;
};

// The caller's items, shown in a popup of their own at the end of the menu.
struct TCustomSubMenu {
    WideString Caption;
    bool RightToLeft = false;
    std::vector<TCustomMenuItem> Items;
};

class IShellMenuPort {
public:
    virtual ~IShellMenuPort() = default;
    // Fills the menu: QueryContextMenu(menu, 0, kShellFirstCommandId, kShellLastCommandId, flags) on the
    // highest version of the shell's menu present. False when the shell fails.
    virtual bool QueryContextMenu(std::uint32_t flags) = 0;
    virtual std::vector<TShellMenuEntry> TopLevelEntries() = 0;
    // The canonical verb of the command at offset (its id - kShellFirstCommandId); none when the handler
    // names none.
    virtual std::optional<WideString> CanonicalVerb(std::uint32_t offset) = 0;
    virtual bool InvokeCommand(std::uint32_t offset) = 0;
    // Appends a separator and a popup of the items, each under the id of the same index.
    virtual void AppendCustomSubMenu(const TCustomSubMenu& menu, const std::vector<std::uint32_t>& ids) = 0;
    // Shows the menu and waits for the user: the chosen command id, 0 for none.
    virtual std::uint32_t Track() = 0;
};

// The command id of the first top-level command whose canonical verb equals verb (ignoring case).
// Separators and submenus are not asked: their ids are no command of the handler's.
std::optional<std::uint32_t> FindVerbCommand(IShellMenuPort& port, const WideString& verb);
// Fills the menu for exploring and invokes the command of verb; false when there is none or it fails.
bool InvokeShellVerb(IShellMenuPort& port, const WideString& verb);

struct TShellMenuRequest {
    int ItemCount = 1;
    bool ShiftDown = false;
    const TCustomSubMenu* CustomSubMenu = nullptr;
    // Allow is preset to true; false shows no menu.
    std::function<void(bool& allow)> OnShow;
    // Handled is preset to false; true keeps the shell from running the command.
    std::function<void(const WideString& verb, std::uint32_t commandId, bool& handled)> OnCommand;
    std::function<void(const WideString& verb, std::uint32_t commandId, bool successful)> OnAfterCommand;
};

// The flags the menu is filled with for the request.
std::uint32_t ContextMenuQueryFlags(const TShellMenuRequest& request);
// The ids of count merged items.
std::vector<std::uint32_t> CustomCommandIds(std::size_t count);

// Fills, shows and runs the menu. True when a command was chosen (and ran or was handled).
bool RunShellContextMenu(IShellMenuPort& port, const TShellMenuRequest& request);

} // namespace tarvola
