#include "shell/VirtualIconQueue.h"

#include <algorithm>

namespace tarvola {

void ReleaseImageThreadItem(TImageThreadItem* item, const TPIDLManager& manager) {
    if (item == nullptr)
        return;
    manager.FreePIDL(item->PIDL);
    if (item->ReleaseResult != nullptr)
        item->ReleaseResult(item->ResultRecord);
    delete item;
}

TImageRequestQueue::~TImageRequestQueue() {
    items_.clear();
}

std::uint64_t TImageRequestQueue::AddNewItem(const TImageRequest& request) {
    return Queue(request, TEnd::Newest);
}

std::uint64_t TImageRequestQueue::InsertNewItem(const TImageRequest& request) {
    return Queue(request, TEnd::Oldest);
}

std::uint64_t TImageRequestQueue::Queue(const TImageRequest& request, TEnd end) {
    TImageItemPtr item(new TImageThreadItem, TImageItemRelease{&manager_});
    item->PIDL = manager_.CopyPIDL(request.PIDL);
    item->Flag = request.Flag;
    item->Control = request.Control;
    item->Data = request.Data;
    item->Extra = request.Extra;
    item->MessageId = request.MessageId;
    std::uint64_t id = 0;
    {
        std::lock_guard guard(lock_);
        // One node needs one answer: an older request for it gives way.
        ReleaseWhere([&](const TImageThreadItem& queued) {
            return queued.Control == request.Control && queued.Data == request.Data &&
                   queued.MessageId == request.MessageId;
        });
        id = item->Id = ++lastId_;
        if (end == TEnd::Newest)
            items_.push_back(std::move(item));
        else
            items_.push_front(std::move(item));
    }
    work_.notify_all();
    return id;
}

template <typename Pred>
int TImageRequestQueue::ReleaseWhere(Pred pred) {
    const auto released =
        std::ranges::remove_if(items_, [&](const TImageItemPtr& item) { return pred(*item); });
    const int count = static_cast<int>(released.size());
    items_.erase(released.begin(), released.end());
    return count;
}

int TImageRequestQueue::ClearPendingItems(TImageRequestControl control, std::uint32_t messageId) {
    std::lock_guard guard(lock_);
    return ReleasePendingOf(control, messageId);
}

int TImageRequestQueue::ReleasePendingOf(TImageRequestControl control, std::uint32_t messageId) {
    return ReleaseWhere(
        [&](const TImageThreadItem& item) { return item.Control == control && item.MessageId == messageId; });
}

int TImageRequestQueue::ClearPendingItem(TImageRequestControl control, void* data, std::uint32_t messageId) {
    std::lock_guard guard(lock_);
    return ReleaseWhere([&](const TImageThreadItem& item) {
        return item.Control == control && item.Data == data && item.MessageId == messageId;
    });
}

int TImageRequestQueue::Count() const {
    std::lock_guard guard(lock_);
    return static_cast<int>(items_.size());
}

std::optional<TImageWork> TImageRequestQueue::TakeNewest() {
    std::lock_guard guard(lock_);
    if (items_.empty())
        return std::nullopt;
    const TImageThreadItem& newest = *items_.back();
    return TImageWork{newest.Id, manager_.CopyPIDL(newest.PIDL)};
}

TImageItemPtr TImageRequestQueue::Complete(std::uint64_t id, std::int32_t imageIndex) {
    std::lock_guard guard(lock_);
    const auto found =
        std::ranges::find_if(items_, [id](const TImageItemPtr& item) { return item->Id == id; });
    if (found == items_.end())
        return TImageItemPtr(nullptr, TImageItemRelease{&manager_});
    TImageItemPtr item = std::move(*found);
    items_.erase(found);
    item->ImageIndex = imageIndex;
    return item;
}

bool TImageRequestQueue::WaitForWork() {
    std::unique_lock guard(lock_);
    work_.wait(guard, [this] { return terminated_ || !items_.empty(); });
    return !terminated_;
}

void TImageRequestQueue::Terminate() {
    {
        std::lock_guard guard(lock_);
        terminated_ = true;
    }
    work_.notify_all();
}

void TImageRequestQueue::Restart() {
    std::lock_guard guard(lock_);
    terminated_ = false;
}

bool TImageRequestQueue::Terminated() const {
    std::lock_guard guard(lock_);
    return terminated_;
}

} // namespace tarvola
