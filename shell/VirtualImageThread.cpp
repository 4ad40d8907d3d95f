#include "shell/VirtualImageThread.h"

#include <chrono>

namespace tarvola {

TVirtualImageThread::TVirtualImageThread(TImageRequestQueue& queue, TPost post, TOnError onError)
    : queue_(queue), post_(std::move(post)), onError_(std::move(onError)) {}

TVirtualImageThread::~TVirtualImageThread() {
    Stop();
}

void TVirtualImageThread::Start() {
    if (thread_.joinable())
        return;
    queue_.Restart();
    thread_ = std::thread([this] { Execute(); });
}

void TVirtualImageThread::Stop() {
    queue_.Terminate();
    if (thread_.joinable())
        thread_.join();
}

void TVirtualImageThread::Execute() {
    while (queue_.WaitForWork()) {
        try {
            ServeNewest();
        } catch (...) {
            onError_(std::current_exception());
        }
    }
}

void TVirtualImageThread::ServeNewest() {
    std::optional<TImageWork> work = queue_.TakeNewest();
    if (!work)
        return;
    struct TCopy {
        const TPIDLManager& manager;
        PItemIDList pidl;
        ~TCopy() { manager.FreePIDL(pidl); }
    } copy{queue_.Manager(), work->PIDL};
    std::int32_t index = -1;
    try {
        index = ExtractInfo(copy.pidl);
    } catch (...) {
        // Left queued, the request would stay the newest and fail again on every turn of the loop.
        queue_.Complete(work->Id, -1);
        DiscardInfo(work->Id);
        throw;
    }
    TImageItemPtr item = queue_.Complete(work->Id, index);
    if (!item) {
        DiscardInfo(work->Id);
        return;
    }
    StoreInfo(*item);
    Deliver(std::move(item));
}

// Outside the queue's lock: a control whose queue is full does not hold up the views adding requests.
void TVirtualImageThread::Deliver(TImageItemPtr item) {
    for (int tries = 0; tries < kImagePostTries; ++tries) {
        if (tries > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (post_(item.get())) {
            item.release(); // the control's now
            return;
        }
    }
}

} // namespace tarvola
