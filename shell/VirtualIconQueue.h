// The icon thread's queue of requests: the newest request is served first (the items the user scrolled to
// last get their icons first); a second request of a control for the same data replaces the first; a
// control withdraws its requests before it frees what they point at. Each request carries an id given by
// the queue, and a result is accepted only for the id that was taken: a request that was withdrawn while its
// icon was being found, and whose memory went to a new request meanwhile, cannot receive the wrong icon.
#pragma once

#include "shell/VirtualPIDLTools.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

namespace tarvola {

// Posted to the requesting control with the request in wParam; the control calls ReleaseItem once it has
// read the result.
constexpr std::uint32_t WM_ICONTHREADRESULT = 0x8034;

// The requesting control, as the queue tells controls apart (on Windows, its window).
using TImageRequestControl = std::uintptr_t;

struct TImageThreadItem {
    std::uint64_t Id = 0;
    PItemIDList PIDL = nullptr; // the queue's own absolute copy
    std::int32_t ImageIndex = 0;
    std::uint8_t Flag = 0;
    TImageRequestControl Control = 0;
    void* Data = nullptr;         // the caller's (a tree node)
    void* ResultRecord = nullptr; // a descendant thread's result; none for icons
    std::int32_t Extra = 0;
    std::uint32_t MessageId = WM_ICONTHREADRESULT;
    // Frees ResultRecord with the request (set by the thread that attached it).
    void (*ReleaseResult)(void* record) = nullptr;
};

// What AddNewItem and InsertNewItem take of a request; the list is copied.
struct TImageRequest {
    TImageRequestControl Control = 0;
    std::uint32_t MessageId = WM_ICONTHREADRESULT;
    PCItemIDList PIDL = nullptr;
    std::uint8_t Flag = 0;
    void* Data = nullptr;
    std::int32_t Extra = 0;
};

// Frees a request and its list.
void ReleaseImageThreadItem(TImageThreadItem* item, const TPIDLManager& manager);

struct TImageItemRelease {
    const TPIDLManager* manager = nullptr;
    void operator()(TImageThreadItem* item) const { ReleaseImageThreadItem(item, *manager); }
};
using TImageItemPtr = std::unique_ptr<TImageThreadItem, TImageItemRelease>;

// The request being worked on: its id and a private copy of its list (freed by the taker).
struct TImageWork {
    std::uint64_t Id = 0;
    PItemIDList PIDL = nullptr;
};

class TImageRequestQueue {
public:
    explicit TImageRequestQueue(const TPIDLManager& manager) : manager_(manager) {}
    TImageRequestQueue(const TImageRequestQueue&) = delete;
    TImageRequestQueue& operator=(const TImageRequestQueue&) = delete;
    ~TImageRequestQueue();

    // Queued as the newest (served next). Returns the request's id.
    std::uint64_t AddNewItem(const TImageRequest& request);
    // Queued as the oldest (served after all others).
    std::uint64_t InsertNewItem(const TImageRequest& request);
    // Release every queued request of the control for that message (and, below, that data only). Returns how
    // many were released.
    int ClearPendingItems(TImageRequestControl control, std::uint32_t messageId);
    int ClearPendingItem(TImageRequestControl control, void* data, std::uint32_t messageId);
    int Count() const;
    // Runs work under the request lock, so the thread takes no request and stores no result meanwhile. The
    // work must not call the queue again, nor wait for the thread (which may be waiting for this lock).
    template <typename Work>
    decltype(auto) Locked(Work&& work) const {
        std::lock_guard guard(lock_);
        return work();
    }
    // ClearPendingItems and then work, under one hold of the lock (the same rules for work as in Locked).
    template <typename Work>
    int ClearPendingItemsAnd(TImageRequestControl control, std::uint32_t messageId, Work&& work) {
        std::lock_guard guard(lock_);
        const int released = ReleasePendingOf(control, messageId);
        work();
        return released;
    }

    // The newest request, which stays queued while its icon is found; none when the queue is empty.
    std::optional<TImageWork> TakeNewest();
    // Removes and hands back the request taken under id with its result stored; nullptr when it was
    // withdrawn or replaced meanwhile (the result is to be discarded).
    TImageItemPtr Complete(std::uint64_t id, std::int32_t imageIndex);

    // Blocks until a request is queued or Terminate; false on termination.
    bool WaitForWork();
    void Terminate();
    bool Terminated() const;
    // Waiting works again after a Terminate (a new thread serves the queue).
    void Restart();

    const TPIDLManager& Manager() const { return manager_; }

private:
    enum class TEnd { Newest, Oldest };
    std::uint64_t Queue(const TImageRequest& request, TEnd end);
    template <typename Pred>
    int ReleaseWhere(Pred pred);
    int ReleasePendingOf(TImageRequestControl control, std::uint32_t messageId);

    const TPIDLManager& manager_;
    mutable std::mutex lock_;
    std::condition_variable work_;
    bool terminated_ = false;
    std::uint64_t lastId_ = 0;
    std::deque<TImageItemPtr> items_; // oldest first
};

} // namespace tarvola
