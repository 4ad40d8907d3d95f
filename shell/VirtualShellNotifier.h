// The portable core of the change notifier: the dispatch queue that turns incoming shell events into the
// updates the views need (dropping repeats) and hands them out as one list once no new event has come for
// a quiet period; the thread that waits for those batches and posts them; and the listener's fan-out of a
// batch to every registered control. Nothing here calls into a view: a batch leaves only through the post
// function, which on Windows posts WM_SHELLNOTIFY.
#pragma once

#include "shell/VirtualShellNotifyEvents.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <span>
#include <thread>

namespace tarvola {

using TMilliseconds = std::chrono::milliseconds;
// The queue's time; a steady clock by default, a scripted one in tests.
using TDispatchClock = std::function<TMilliseconds()>;
TMilliseconds SteadyMilliseconds();

constexpr TMilliseconds kShellNotifyQuietTime{750};

class TChangeDispatchQueue {
public:
    explicit TChangeDispatchQueue(const TPIDLManager& manager, TDispatchClock clock = SteadyMilliseconds);
    TChangeDispatchQueue(const TChangeDispatchQueue&) = delete;
    TChangeDispatchQueue& operator=(const TChangeDispatchQueue&) = delete;

    // The Recycle Bin folders (copied): the namespace's Recycle Bin first, then the drives' own folders.
    // Nil entries (a path that did not parse) are skipped.
    void SetRecycleBinFolders(std::span<const PCItemIDList> folders);
    // With filtering off every event is kept as it comes.
    void SetFilterEvents(bool value);
    bool FilterEvents() const;

    // From any thread; the lists are copied.
    void Add(TVirtualShellNotifyEvent kind, PCItemIDList pidl1, PCItemIDList pidl2, std::uint32_t item1 = 0,
             std::uint32_t item2 = 0);
    int PendingCount() const;
    // When the pending events fall due (the last one's time plus the quiet time); none without events.
    std::optional<TMilliseconds> DueTime() const;
    // The pending events as a list with one reference when they are due, else nullptr (never an empty list).
    TVirtualShellEventList* TakeDueBatch();

    // Blocks until a batch is due (and returns it) or until Terminate (and returns nullptr).
    TVirtualShellEventList* WaitForBatch();
    void Terminate();

private:
    void Append(TVirtualShellNotifyEvent kind, PCItemIDList pidl1, PCItemIDList pidl2, std::uint32_t item1,
                std::uint32_t item2);
    void AppendUnique(TVirtualShellNotifyEvent kind, PCItemIDList pidl1, std::uint32_t item1 = 0);
    // Nothing for a missing folder: an update of no folder tells a view nothing.
    void AppendUpdateDir(PCItemIDList folder);
    bool IsPending(TVirtualShellNotifyEvent kind, PCItemIDList pidl1, std::uint32_t item1) const;
    bool SameItem(PCItemIDList a, PCItemIDList b) const;
    // The Recycle Bin folder that holds pidl (or is it); nullptr when none does.
    PCItemIDList RecycleBinFolderOf(PCItemIDList pidl) const;
    void Filter(TVirtualShellNotifyEvent kind, PCItemIDList pidl1, PCItemIDList pidl2, std::uint32_t item1,
                std::uint32_t item2);
    TVirtualShellEventList* TakeDueBatchLocked();

    const TPIDLManager& manager_;
    TDispatchClock clock_;
    mutable std::mutex lock_;
    std::condition_variable wake_;
    bool terminated_ = false;
    bool filterEvents_ = true;
    TMilliseconds lastEvent_{0};
    std::vector<TShellEventPtr> pending_;
    TPIDLList recycleBins_;
};

// Hands a batch to the post function (which on Windows posts it to the listener); a batch that cannot be
// posted is released. Stops within one wake-up of Stop, also in the middle of a quiet period. An error of
// the post function goes to onError and the thread goes on.
class TChangeDispatchThread {
public:
    using TPost = std::function<bool(TVirtualShellEventList*)>;
    using TOnError = std::function<void(std::exception_ptr)>;

    TChangeDispatchThread(TChangeDispatchQueue& queue, TPost post, TOnError onError);
    TChangeDispatchThread(const TChangeDispatchThread&) = delete;
    TChangeDispatchThread& operator=(const TChangeDispatchThread&) = delete;
    ~TChangeDispatchThread() { Stop(); }

    void Stop();

private:
    void Execute();

    TChangeDispatchQueue& queue_;
    TPost post_;
    TOnError onError_;
    std::thread thread_;
};

// One registered control as the listener sees it: its window (0 when it has none).
struct TChangeTarget {
    std::uintptr_t window = 0;
};

// Gives every target one reference of list and posts it to the target's window; a target without a window
// or a failed post gives its reference back at once. Then drops the caller's own reference. The caller holds
// the control list's lock.
void DeliverShellEventList(TVirtualShellEventList* list, std::span<const TChangeTarget> targets,
                           const std::function<bool(std::uintptr_t window, TVirtualShellEventList*)>& post);

} // namespace tarvola
