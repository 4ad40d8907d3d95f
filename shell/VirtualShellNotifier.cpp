#include "shell/VirtualShellNotifier.h"

namespace tarvola {

using enum TVirtualShellNotifyEvent;

TMilliseconds SteadyMilliseconds() {
    return std::chrono::duration_cast<TMilliseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

TChangeDispatchQueue::TChangeDispatchQueue(const TPIDLManager& manager, TDispatchClock clock)
    : manager_(manager), clock_(std::move(clock)), recycleBins_(manager) {}

void TChangeDispatchQueue::SetRecycleBinFolders(std::span<const PCItemIDList> folders) {
    std::lock_guard guard(lock_);
    recycleBins_.Clear();
    for (PCItemIDList folder : folders)
        if (folder != nullptr)
            recycleBins_.CopyAdd(folder);
}

void TChangeDispatchQueue::SetFilterEvents(bool value) {
    std::lock_guard guard(lock_);
    filterEvents_ = value;
}

bool TChangeDispatchQueue::FilterEvents() const {
    std::lock_guard guard(lock_);
    return filterEvents_;
}

void TChangeDispatchQueue::Add(TVirtualShellNotifyEvent kind, PCItemIDList pidl1, PCItemIDList pidl2,
                               std::uint32_t item1, std::uint32_t item2) {
    {
        std::lock_guard guard(lock_);
        if (filterEvents_)
            Filter(kind, pidl1, pidl2, item1, item2);
        else
            Append(kind, pidl1, pidl2, item1, item2);
        // Even a dropped repeat restarts the quiet period: the burst is not over yet.
        lastEvent_ = clock_();
    }
    wake_.notify_all();
}

void TChangeDispatchQueue::Filter(TVirtualShellNotifyEvent kind, PCItemIDList pidl1, PCItemIDList pidl2,
                                  std::uint32_t item1, std::uint32_t item2) {
    switch (kind) {
    case vsneRenameFolder:
    case vsneRenameItem: {
        TVirtualShellEvent rename(manager_, kind, pidl1, pidl2);
        AppendUpdateDir(rename.ParentPIDL1());
        if (rename.ParentPIDL2() != nullptr && !SameItem(rename.ParentPIDL1(), rename.ParentPIDL2()))
            AppendUpdateDir(rename.ParentPIDL2());
        return;
    }
    case vsneCreate:
    case vsneDelete:
    case vsneMkDir:
    case vsneRmDir: {
        TVirtualShellEvent change(manager_, kind, pidl1, nullptr);
        AppendUpdateDir(change.ParentPIDL1());
        return;
    }
    case vsneUpdateDir:
        if (PCItemIDList recycleBin = RecycleBinFolderOf(pidl1)) {
            AppendUpdateDir(recycleBin);
            AppendUpdateDir(recycleBins_.Get(0));
            return;
        }
        break;
    case vsneUpdateItem:
        if (RecycleBinFolderOf(pidl1) != nullptr)
            return;
        break;
    default:
        break;
    }
    if (!IsPending(kind, pidl1, item1))
        Append(kind, pidl1, pidl2, item1, item2);
}

void TChangeDispatchQueue::Append(TVirtualShellNotifyEvent kind, PCItemIDList pidl1, PCItemIDList pidl2,
                                  std::uint32_t item1, std::uint32_t item2) {
    pending_.push_back(std::make_unique<TVirtualShellEvent>(manager_, kind, pidl1, pidl2, item1, item2));
}

void TChangeDispatchQueue::AppendUnique(TVirtualShellNotifyEvent kind, PCItemIDList pidl1,
                                        std::uint32_t item1) {
    if (!IsPending(kind, pidl1, item1))
        Append(kind, pidl1, nullptr, item1, 0);
}

void TChangeDispatchQueue::AppendUpdateDir(PCItemIDList folder) {
    if (folder != nullptr)
        AppendUnique(vsneUpdateDir, folder);
}

bool TChangeDispatchQueue::IsPending(TVirtualShellNotifyEvent kind, PCItemIDList pidl1,
                                     std::uint32_t item1) const {
    for (const TShellEventPtr& event : pending_) {
        if (event->Kind() != kind)
            continue;
        if (kind == vsneFreeSpace ? event->Item1() == item1 : SameItem(event->PIDL1(), pidl1))
            return true;
    }
    return false;
}

bool TChangeDispatchQueue::SameItem(PCItemIDList a, PCItemIDList b) const {
    if (a == nullptr || b == nullptr)
        return a == b;
    return manager_.Identity().Equal(a, b);
}

PCItemIDList TChangeDispatchQueue::RecycleBinFolderOf(PCItemIDList pidl) const {
    if (pidl == nullptr)
        return nullptr;
    for (int i = 0; i < recycleBins_.Count(); ++i) {
        PCItemIDList folder = recycleBins_.Get(i);
        if (SameItem(folder, pidl) || manager_.Identity().IsParent(folder, pidl, false))
            return folder;
    }
    return nullptr;
}

int TChangeDispatchQueue::PendingCount() const {
    std::lock_guard guard(lock_);
    return static_cast<int>(pending_.size());
}

std::optional<TMilliseconds> TChangeDispatchQueue::DueTime() const {
    std::lock_guard guard(lock_);
    if (pending_.empty())
        return std::nullopt;
    return lastEvent_ + kShellNotifyQuietTime;
}

TVirtualShellEventList* TChangeDispatchQueue::TakeDueBatch() {
    std::lock_guard guard(lock_);
    return TakeDueBatchLocked();
}

TVirtualShellEventList* TChangeDispatchQueue::TakeDueBatchLocked() {
    if (pending_.empty() || clock_() < lastEvent_ + kShellNotifyQuietTime)
        return nullptr;
    auto* list = new TVirtualShellEventList(std::move(pending_));
    pending_.clear();
    return list;
}

TVirtualShellEventList* TChangeDispatchQueue::WaitForBatch() {
    std::unique_lock guard(lock_);
    while (!terminated_) {
        if (TVirtualShellEventList* list = TakeDueBatchLocked())
            return list;
        if (pending_.empty())
            wake_.wait(guard);
        else
            wake_.wait_for(guard, lastEvent_ + kShellNotifyQuietTime - clock_());
    }
    return nullptr;
}

void TChangeDispatchQueue::Terminate() {
    {
        std::lock_guard guard(lock_);
        terminated_ = true;
    }
    wake_.notify_all();
}

TChangeDispatchThread::TChangeDispatchThread(TChangeDispatchQueue& queue, TPost post, TOnError onError)
    : queue_(queue), post_(std::move(post)), onError_(std::move(onError)), thread_([this] { Execute(); }) {}

void TChangeDispatchThread::Stop() {
    queue_.Terminate();
    if (thread_.joinable())
        thread_.join();
}

void TChangeDispatchThread::Execute() {
    while (TVirtualShellEventList* list = queue_.WaitForBatch()) {
        bool posted = false;
        try {
            posted = post_(list);
        } catch (...) {
            onError_(std::current_exception());
        }
        if (!posted)
            list->Release();
    }
}

void DeliverShellEventList(TVirtualShellEventList* list, std::span<const TChangeTarget> targets,
                           const std::function<bool(std::uintptr_t window, TVirtualShellEventList*)>& post) {
    list->AddRef(static_cast<std::int32_t>(targets.size()));
    for (const TChangeTarget& target : targets)
        if (target.window == 0 || !post(target.window, list))
            list->Release();
    list->Release();
}

} // namespace tarvola
