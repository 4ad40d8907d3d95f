// Change events of the shell namespace as the explorer views receive them: the kinds, one event with its
// own copies of the item lists, and the reference-counted list in which a batch of events reaches every
// registered control (each holder calls Release once; the last one frees the list and its events).
#pragma once

#include "shell/VirtualPIDLTools.h"
#include "shell/VirtualWideStrings.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace tarvola {

// Messages of the change notifier; clear of the tree worker's 0x8020.
constexpr std::uint32_t WM_SHELLNOTIFYPOST = 0x8009;
constexpr std::uint32_t WM_SHELLNOTIFY = 0x8033;
constexpr std::uint32_t WM_SHELLTHREADQUIT = 0x8036;
constexpr std::uint32_t WM_SHELLCHANGENOTIFYLOCKED = 0x8037;
constexpr std::uint32_t WM_SHELLCHANGENOTIFY = 0x8038;

enum class TVirtualShellNotifyEvent {
    vsneAssociationChanged,
    vsneAttributes,
    vsneCreate,
    vsneDelete,
    vsneDriveAdd,
    vsneDriveAddGUI,
    vsneDriveRemoved,
    vsneFreeSpace,
    vsneMediaInserted,
    vsneMediaRemoved,
    vsneMkDir,
    vsneNetShare,
    vsneNetUnShare,
    vsneRenameFolder,
    vsneRenameItem,
    vsneRmDir,
    vsneServerDisconnect,
    vsneUpdateDir,
    vsneUpdateImage,
    vsneUpdateItem,
};
constexpr int kShellNotifyEventCount = 20;

WideString ShellNotifyEventText(TVirtualShellNotifyEvent kind);
// The kind of one SHCNE_ event bit; none for the events the views do not follow.
std::optional<TVirtualShellNotifyEvent> ShellNotifyEventOf(std::uint32_t shcneEvent);
// Update-image and free-space events carry two DWORDs in place of the first item list.
bool CarriesDwordItems(TVirtualShellNotifyEvent kind);
// The two DWORDs of such an event (bytes 2-5 and 6-9, little-endian); 0 for a missing or short record.
void DwordItemsOf(PCItemIDList pidl, std::uint32_t& item1, std::uint32_t& item2);

class TVirtualShellEvent {
public:
    // Copies the lists and their parents (nullptr stays nullptr) through the manager's allocator.
    TVirtualShellEvent(const TPIDLManager& manager, TVirtualShellNotifyEvent kind, PCItemIDList pidl1,
                       PCItemIDList pidl2, std::uint32_t item1 = 0, std::uint32_t item2 = 0);
    TVirtualShellEvent(const TVirtualShellEvent&) = delete;
    TVirtualShellEvent& operator=(const TVirtualShellEvent&) = delete;
    ~TVirtualShellEvent();

    TVirtualShellNotifyEvent Kind() const { return kind_; }
    PItemIDList PIDL1() const { return pidl1_; }
    PItemIDList PIDL2() const { return pidl2_; }
    PItemIDList ParentPIDL1() const { return parentPIDL1_; }
    PItemIDList ParentPIDL2() const { return parentPIDL2_; }
    std::uint32_t Item1() const { return item1_; }
    std::uint32_t Item2() const { return item2_; }

private:
    PItemIDList ParentCopy(PCItemIDList pidl) const;

    const TPIDLManager& manager_;
    TVirtualShellNotifyEvent kind_;
    PItemIDList pidl1_ = nullptr;
    PItemIDList pidl2_ = nullptr;
    PItemIDList parentPIDL1_ = nullptr;
    PItemIDList parentPIDL2_ = nullptr;
    std::uint32_t item1_ = 0;
    std::uint32_t item2_ = 0;
};

using TShellEventPtr = std::unique_ptr<TVirtualShellEvent>;

// Created with one reference. Readers lock it while they read; AddRef and Release may come from any thread.
class TVirtualShellEventList {
public:
    explicit TVirtualShellEventList(std::vector<TShellEventPtr> events);
    TVirtualShellEventList(const TVirtualShellEventList&) = delete;
    TVirtualShellEventList& operator=(const TVirtualShellEventList&) = delete;

    void Lock() { lock_.lock(); }
    void Unlock() { lock_.unlock(); }
    int Count() const { return static_cast<int>(events_.size()); }
    const TVirtualShellEvent& Event(int index) const { return *events_.at(static_cast<std::size_t>(index)); }

    void AddRef(std::int32_t count = 1) { refCount_.fetch_add(count); }
    // Drops one reference; the one that drops the last frees the list (it must not be used after).
    void Release();
    std::int32_t RefCount() const { return refCount_.load(); }

private:
    ~TVirtualShellEventList();

    std::mutex lock_;
    std::atomic<std::int32_t> refCount_{1};
    std::vector<TShellEventPtr> events_;
};

} // namespace tarvola
