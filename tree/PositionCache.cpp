// The position cache: queueing a tree for the worker, interrupting a build, the build itself (on the worker
// thread) and the two cache lookups.
#include "tree/TreeWorker.h"
#include "tree/VirtualTrees.h"

#include <algorithm>

namespace tarvola {

void TBaseVirtualTree::InvalidateCache() {
    rowTopHint_.Node = nullptr;
    DoStateChange({TreeState::tsValidationNeeded}, {TreeState::tsUseCache});
}

// Trees without a window are never queued: their lookups walk from the first row, which is correct, only
// slower.
void TBaseVirtualTree::ValidateCache() {
    if (worker_ && worker_->IsQueuedOrCurrent(this))
        InterruptValidation();
    if (!InState(TreeState::tsValidationNeeded) || !worker_ || !Host().HasWindow() || destroying_)
        return;
    DoStateChange({}, {TreeState::tsStopValidation});
    stopValidation_.store(false, std::memory_order_release);
    worker_->AddTree(this);
}

// Stops the worker for this tree before anything of it changes: out of the queue, or, when the worker
// builds for it right now, a wait (handling only the worker's sent messages) until it has left the tree.
void TBaseVirtualTree::InterruptValidation() {
    rowTopHint_.Node = nullptr;
    const bool hadCache = InState(TreeState::tsUseCache);
    stopValidation_.store(true, std::memory_order_release);
    DoStateChange({TreeState::tsStopValidation}, {TreeState::tsUseCache});
    if (!worker_)
        return;
    const bool building = worker_->RemoveTree(this);
    if (building)
        Host().WaitForWorker([this] { return worker_->IsCurrent(this); });
    // A cache dropped here, or a build cut short, has to be made again.
    if (building || hadCache || InState(TreeState::tsUseCache))
        DoStateChange({TreeState::tsValidationNeeded}, {TreeState::tsUseCache});
}

bool TBaseVirtualTree::ValidationPending() const {
    return worker_ && worker_->IsQueuedOrCurrent(this);
}

// Worker thread: announces the build, builds into the private vector, hands the result over.
void TBaseVirtualTree::RunValidation() {
    bool built = false;
    try {
        Host().SendStateMessage(StateBitValidating, StateBitUseCache);
        if (!stopValidation_.load(std::memory_order_acquire))
            built = BuildPositionCache();
    } catch (...) {
        built = false;
    }
    try {
        if (built)
            Host().SendStateMessage(StateBitUseCache,
                                    StateBitStopValidation | StateBitValidating | StateBitValidationNeeded);
        else
            Host().SendStateMessage(0, StateBitStopValidation | StateBitValidating);
    } catch (...) {
    }
}

// Worker thread. Reads the links and heights as they are (it never measures: that is owner code, which
// runs on the GUI thread) and stops as soon as the GUI thread asks.
bool TBaseVirtualTree::BuildPositionCache() {
    if (stopValidation_.load(std::memory_order_acquire))
        return false;
    pendingCache_.clear();
    if (visibleCount_ <= CacheThreshold)
        return false;
    const std::size_t slots = (visibleCount_ + CacheThreshold - 1) / CacheThreshold;
    pendingCache_.reserve(slots);
    std::uint64_t top = 0;
    std::uint32_t counter = 0;
    for (PVirtualNode node = GetFirstVisibleNoInit(); node != nullptr; node = GetNextVisibleNoInit(node)) {
        if (stopValidation_.load(std::memory_order_relaxed))
            break;
        if (counter % CacheThreshold == 0) {
            pendingCache_.push_back({node, static_cast<std::uint32_t>(top)});
            if (pendingCache_.size() == slots) {
                ++counter;
                break;
            }
        }
        top += node->NodeHeight;
        ++counter;
    }
    return counter > 0 && !stopValidation_.load(std::memory_order_acquire);
}

bool TBaseVirtualTree::FindInCacheByPosition(std::uint32_t position, PVirtualNode& node,
                                             std::uint32_t& top) const {
    auto after = std::upper_bound(
        cache_.begin(), cache_.end(), position,
        [](std::uint32_t value, const TCacheEntry& entry) { return value < entry.AbsoluteTop; });
    if (after == cache_.begin())
        return false;
    --after;
    node = after->Node;
    top = after->AbsoluteTop;
    return true;
}

bool TBaseVirtualTree::FindInCacheByNode(PVirtualNode wanted, PVirtualNode& node, std::uint32_t& top) const {
    auto after = std::upper_bound(cache_.begin(), cache_.end(), wanted,
                                  [](PVirtualNode value, const TCacheEntry& entry) {
                                      return CompareNodePositions(entry.Node, value) > 0;
                                  });
    if (after == cache_.begin())
        return false;
    --after;
    node = after->Node;
    top = after->AbsoluteTop;
    return true;
}

} // namespace tarvola
