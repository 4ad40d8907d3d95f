// The one process-wide worker thread that builds the trees' position caches, shared by every living tree
// (the last tree to go ends it; a later tree starts a fresh one). Trees queue themselves; the worker takes
// one at a time, recording under the queue's lock which tree it works on, so that a tree about to change
// or go can wait for exactly that.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace tarvola {

class TBaseVirtualTree;

class TWorkerThread {
public:
    // The running worker, started when none runs.
    static std::shared_ptr<TWorkerThread> Acquire();
    // How many workers have been started in this process (a new one after the last tree went).
    static unsigned StartedCount();
    // Whether a worker runs now.
    static bool Running();

    TWorkerThread();
    // Tells the thread to end, wakes it and waits for it. Every tree has left it by then.
    ~TWorkerThread();
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    // Queues the tree (once) and wakes the worker.
    void AddTree(TBaseVirtualTree* tree);
    // Takes the tree out of the queue; true when the worker is building for it right now.
    bool RemoveTree(TBaseVirtualTree* tree);
    bool IsCurrent(const TBaseVirtualTree* tree);
    bool IsQueuedOrCurrent(const TBaseVirtualTree* tree);

private:
    void Execute();
    TBaseVirtualTree* TakeNext();

    std::mutex mutex_;
    std::condition_variable wake_;
    bool signaled_ = false; // the auto-reset event
    bool terminated_ = false;
    std::deque<TBaseVirtualTree*> queue_;
    TBaseVirtualTree* current_ = nullptr;
    std::thread thread_;
};

} // namespace tarvola
