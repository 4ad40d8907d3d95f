#include "shell/VirtualShellNotifyEvents.h"

#include <array>

namespace tarvola {

using enum TVirtualShellNotifyEvent;

WideString ShellNotifyEventText(TVirtualShellNotifyEvent kind) {
    static constexpr std::array<const char16_t*, kShellNotifyEventCount> kTexts = {
        u"Assocciation Changed", u"Attributes",        u"Item Create",
        u"Item Delete",          u"Drive Add",         u"Drive Add GUI",
        u"Drive Removed",        u"Free Space",        u"Media Inserted",
        u"Media Removed",        u"Make Directory",    u"Network Share",
        u"Network Unshare",      u"Folder Rename",     u"Item Rename",
        u"Remove Directory",     u"Server Disconnect", u"Update Directory",
        u"Update Image",         u"Update Item",
    };
    return kTexts.at(static_cast<std::size_t>(kind));
}

std::optional<TVirtualShellNotifyEvent> ShellNotifyEventOf(std::uint32_t shcneEvent) {
    struct Entry {
        std::uint32_t bit;
        TVirtualShellNotifyEvent kind;
    };
    static constexpr Entry kTable[] = {
        {0x1, vsneRenameItem},
        {0x2, vsneCreate},
        {0x4, vsneDelete},
        {0x8, vsneMkDir},
        {0x10, vsneRmDir},
        {0x20, vsneMediaInserted},
        {0x40, vsneMediaRemoved},
        {0x80, vsneDriveRemoved},
        {0x100, vsneDriveAdd},
        {0x200, vsneNetShare},
        {0x400, vsneNetUnShare},
        {0x800, vsneAttributes},
        {0x1000, vsneUpdateDir},
        {0x2000, vsneUpdateItem},
        {0x4000, vsneServerDisconnect},
        {0x8000, vsneUpdateImage},
        {0x10000, vsneDriveAddGUI},
        {0x20000, vsneRenameFolder},
        {0x40000, vsneFreeSpace},
        {0x8000000, vsneAssociationChanged},
    };
    for (const Entry& entry : kTable)
        if (entry.bit == shcneEvent)
            return entry.kind;
    return std::nullopt;
}

bool CarriesDwordItems(TVirtualShellNotifyEvent kind) {
    return kind == vsneUpdateImage || kind == vsneFreeSpace;
}

void DwordItemsOf(PCItemIDList pidl, std::uint32_t& item1, std::uint32_t& item2) {
    item1 = 0;
    item2 = 0;
    if (pidl == nullptr || TPIDLManager::GetPIDLSize(pidl) < 12) // one record of 10 bytes and a terminator
        return;
    auto dword = [pidl](int at) {
        return static_cast<std::uint32_t>(pidl[at]) | static_cast<std::uint32_t>(pidl[at + 1]) << 8 |
               static_cast<std::uint32_t>(pidl[at + 2]) << 16 |
               static_cast<std::uint32_t>(pidl[at + 3]) << 24;
    };
    const std::uint16_t firstRecord = static_cast<std::uint16_t>(pidl[0] | pidl[1] << 8);
    if (firstRecord < 10)
        return;
    item1 = dword(2);
    item2 = dword(6);
}

TVirtualShellEvent::TVirtualShellEvent(const TPIDLManager& manager, TVirtualShellNotifyEvent kind,
                                       PCItemIDList pidl1, PCItemIDList pidl2, std::uint32_t item1,
                                       std::uint32_t item2)
    : manager_(manager), kind_(kind), item1_(item1), item2_(item2) {
    pidl1_ = pidl1 ? manager_.CopyPIDL(pidl1) : nullptr;
    pidl2_ = pidl2 ? manager_.CopyPIDL(pidl2) : nullptr;
    parentPIDL1_ = ParentCopy(pidl1);
    parentPIDL2_ = ParentCopy(pidl2);
}

TVirtualShellEvent::~TVirtualShellEvent() {
    manager_.FreePIDL(pidl1_);
    manager_.FreePIDL(pidl2_);
    manager_.FreePIDL(parentPIDL1_);
    manager_.FreePIDL(parentPIDL2_);
}

PItemIDList TVirtualShellEvent::ParentCopy(PCItemIDList pidl) const {
    if (pidl == nullptr)
        return nullptr;
    return TPIDLManager::StripLastID(manager_.CopyPIDL(pidl));
}

TVirtualShellEventList::TVirtualShellEventList(std::vector<TShellEventPtr> events)
    : events_(std::move(events)) {}

TVirtualShellEventList::~TVirtualShellEventList() {
    std::lock_guard guard(lock_);
    events_.clear();
}

void TVirtualShellEventList::Release() {
    if (refCount_.fetch_sub(1) <= 1)
        delete this;
}

} // namespace tarvola
