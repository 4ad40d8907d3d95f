#include "tree/TreeWorker.h"

#include "tree/VirtualTrees.h"

#include <algorithm>
#include <atomic>

namespace tarvola {

namespace {

std::mutex registryMutex;
std::weak_ptr<TWorkerThread> runningWorker;
std::atomic<unsigned> startedWorkers{0};

} // namespace

std::shared_ptr<TWorkerThread> TWorkerThread::Acquire() {
    std::lock_guard lock(registryMutex);
    std::shared_ptr<TWorkerThread> worker = runningWorker.lock();
    if (!worker) {
        worker = std::make_shared<TWorkerThread>();
        runningWorker = worker;
    }
    return worker;
}

unsigned TWorkerThread::StartedCount() {
    return startedWorkers.load();
}

bool TWorkerThread::Running() {
    std::lock_guard lock(registryMutex);
    return !runningWorker.expired();
}

TWorkerThread::TWorkerThread() {
    thread_ = std::thread([this] { Execute(); });
    ++startedWorkers;
}

TWorkerThread::~TWorkerThread() {
    {
        std::lock_guard lock(mutex_);
        terminated_ = true;
        signaled_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void TWorkerThread::AddTree(TBaseVirtualTree* tree) {
    {
        std::lock_guard lock(mutex_);
        if (std::find(queue_.begin(), queue_.end(), tree) == queue_.end())
            queue_.push_back(tree);
        signaled_ = true;
    }
    wake_.notify_one();
}

bool TWorkerThread::RemoveTree(TBaseVirtualTree* tree) {
    std::lock_guard lock(mutex_);
    queue_.erase(std::remove(queue_.begin(), queue_.end(), tree), queue_.end());
    return current_ == tree;
}

bool TWorkerThread::IsCurrent(const TBaseVirtualTree* tree) {
    std::lock_guard lock(mutex_);
    return current_ == tree;
}

bool TWorkerThread::IsQueuedOrCurrent(const TBaseVirtualTree* tree) {
    std::lock_guard lock(mutex_);
    return current_ == tree || std::find(queue_.begin(), queue_.end(), tree) != queue_.end();
}

// Waits for the event, then takes the first queued tree as the current one, under the lock; re-arms the
// event while more trees wait.
TBaseVirtualTree* TWorkerThread::TakeNext() {
    std::unique_lock lock(mutex_);
    current_ = nullptr;
    wake_.wait(lock, [this] { return signaled_; });
    signaled_ = false;
    if (terminated_ || queue_.empty())
        return nullptr;
    current_ = queue_.front();
    queue_.pop_front();
    if (!queue_.empty())
        signaled_ = true;
    return current_;
}

void TWorkerThread::Execute() {
    for (;;) {
        TBaseVirtualTree* tree = TakeNext();
        {
            std::lock_guard lock(mutex_);
            if (terminated_) {
                current_ = nullptr;
                return;
            }
        }
        if (tree != nullptr)
            tree->RunValidation();
    }
}

} // namespace tarvola
