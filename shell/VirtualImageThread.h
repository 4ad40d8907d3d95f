// The body of the icon thread: it serves the request queue newest first, finds each item's image index
// outside the queue's lock and posts the finished request back to its control (which releases it after
// reading it). A result for a request that was withdrawn meanwhile is discarded. Finding the index is the
// descendant's (the shell's icon on Windows, a fake in tests); posting is the post function's, which on
// Windows posts the request's message to the control's window and never calls into a view.
#pragma once

#include "shell/VirtualIconQueue.h"

#include <exception>
#include <functional>
#include <thread>

namespace tarvola {

// A control whose queue stays full for this many tries gives up the result.
constexpr int kImagePostTries = 20;

class TVirtualImageThread {
public:
    // One try at posting; false when the control has no window or the post failed.
    using TPost = std::function<bool(TImageThreadItem*)>;
    using TOnError = std::function<void(std::exception_ptr)>;

    TVirtualImageThread(TImageRequestQueue& queue, TPost post, TOnError onError);
    TVirtualImageThread(const TVirtualImageThread&) = delete;
    TVirtualImageThread& operator=(const TVirtualImageThread&) = delete;
    // A descendant calls Stop in its own destructor, before its part is gone.
    virtual ~TVirtualImageThread();

    void Start();
    // Ends the wait, finishes the request in hand and joins. Requests still queued stay in the queue.
    void Stop();

protected:
    // The image index of the item (a private copy of the request's list).
    virtual std::int32_t ExtractInfo(PCItemIDList pidl) = 0;
    // The result of a withdrawn request is dropped.
    virtual void DiscardInfo(std::uint64_t /*requestId*/) {}
    // Attaches what ExtractInfo made to the finished request before it is posted; the request is the
    // thread's alone here (out of the queue, not yet posted).
    virtual void StoreInfo(TImageThreadItem& /*item*/) {}

private:
    void Execute();
    void ServeNewest();
    void Deliver(TImageItemPtr item);

    TImageRequestQueue& queue_;
    TPost post_;
    TOnError onError_;
    std::thread thread_;
};

} // namespace tarvola
