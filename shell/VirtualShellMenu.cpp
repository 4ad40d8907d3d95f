#include "shell/VirtualShellMenu.h"

#include <algorithm>

namespace tarvola {

namespace {

bool IsShellCommand(const TShellMenuEntry& entry) {
    return !entry.Separator && !entry.SubMenu && entry.Id >= kShellFirstCommandId &&
           entry.Id <= kShellLastCommandId;
}

WideString VerbOf(IShellMenuPort& port, std::uint32_t commandId) {
    if (commandId < kShellFirstCommandId || commandId > kShellLastCommandId)
        return kUnknownCommandVerb;
    std::optional<WideString> verb = port.CanonicalVerb(commandId - kShellFirstCommandId);
    return verb ? *verb : kUnknownCommandVerb;
}

} // namespace

std::optional<std::uint32_t> FindVerbCommand(IShellMenuPort& port, const WideString& verb) {
    for (const TShellMenuEntry& entry : port.TopLevelEntries()) {
        if (!IsShellCommand(entry))
            continue;
        const std::optional<WideString> canonical = port.CanonicalVerb(entry.Id - kShellFirstCommandId);
        if (canonical && PlatformText().CompareText(*canonical, verb) == 0)
            return entry.Id;
    }
    return std::nullopt;
}

bool InvokeShellVerb(IShellMenuPort& port, const WideString& verb) {
    if (!port.QueryContextMenu(kMenuQueryExplore))
        return false;
    const std::optional<std::uint32_t> id = FindVerbCommand(port, verb);
    return id && port.InvokeCommand(*id - kShellFirstCommandId);
}

std::uint32_t ContextMenuQueryFlags(const TShellMenuRequest& request) {
    std::uint32_t flags = kMenuQueryExplore;
    // Only a caller that hears of the commands can start an in-place rename of one item.
    if (request.OnCommand && request.ItemCount == 1)
        flags |= kMenuQueryCanRename;
    if (request.ShiftDown)
        flags |= kMenuQueryExtendedVerbs;
    return flags;
}

std::vector<std::uint32_t> CustomCommandIds(std::size_t count) {
    std::vector<std::uint32_t> ids(count);
    for (std::size_t i = 0; i < count; ++i)
        ids[i] = kFirstCustomCommandId + static_cast<std::uint32_t>(i);
    return ids;
}

bool RunShellContextMenu(IShellMenuPort& port, const TShellMenuRequest& request) {
    if (!port.QueryContextMenu(ContextMenuQueryFlags(request)))
        return false;
    std::vector<std::uint32_t> customIds;
    if (request.CustomSubMenu != nullptr && !request.CustomSubMenu->Items.empty()) {
        customIds = CustomCommandIds(request.CustomSubMenu->Items.size());
        port.AppendCustomSubMenu(*request.CustomSubMenu, customIds);
    }
    bool allow = true;
    if (request.OnShow)
        request.OnShow(allow);
    if (!allow)
        return false;
    const std::uint32_t commandId = port.Track();
    if (commandId == 0)
        return false;

    const auto custom = std::find(customIds.begin(), customIds.end(), commandId);
    if (custom != customIds.end()) {
        const TCustomMenuItem& item =
            request.CustomSubMenu->Items[static_cast<std::size_t>(custom - customIds.begin())];
        if (item.OnClick)
            item.OnClick();
        return true;
    }

    const WideString verb = VerbOf(port, commandId);
    bool handled = false;
    if (request.OnCommand)
        request.OnCommand(verb, commandId, handled);
    if (handled)
        return true;
    const bool successful = commandId >= kShellFirstCommandId && commandId <= kShellLastCommandId &&
                            port.InvokeCommand(commandId - kShellFirstCommandId);
    if (request.OnAfterCommand)
        request.OnAfterCommand(verb, commandId, successful);
    return true;
}

} // namespace tarvola
