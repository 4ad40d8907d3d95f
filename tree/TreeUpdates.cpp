// The state set and its one writer, update batching, and the coalesced change notifications.
#include "tree/VirtualTrees.h"

#include <exception>

namespace tarvola {

namespace {

// Turns the window back on at the end of an update even when a handler throws on the way.
class RedrawOnExit {
public:
    explicit RedrawOnExit(ITreeViewHost& host) : host_(host) {}
    ~RedrawOnExit() {
        if (!host_.HasWindow())
            return;
        try {
            host_.SetRedraw(true);
            host_.InvalidateAll();
        } catch (...) {
        }
    }

private:
    ITreeViewHost& host_;
};

TVirtualTreeStates FromMessageBits(std::uint32_t bits) {
    TVirtualTreeStates states;
    if (bits & StateBitStopValidation)
        states = states | TVirtualTreeStates{TreeState::tsStopValidation};
    if (bits & StateBitUseCache)
        states = states | TVirtualTreeStates{TreeState::tsUseCache};
    if (bits & StateBitValidating)
        states = states | TVirtualTreeStates{TreeState::tsValidating};
    if (bits & StateBitValidationNeeded)
        states = states | TVirtualTreeStates{TreeState::tsValidationNeeded};
    return states;
}

} // namespace

void TBaseVirtualTree::DoStateChange(TVirtualTreeStates enter, TVirtualTreeStates leave) {
    const TVirtualTreeStates current = states_.Get();
    if (OnStateChange) {
        const TVirtualTreeStates actual = (enter - current) | (current & leave);
        if (!actual.Empty())
            OnStateChange(*this, enter, leave);
    }
    states_.Set((states_.Get() | enter) - leave);
}

void TBaseVirtualTree::BeginUpdate() {
    if (!destroying_) {
        if (updateCount_ == 0) {
            DoUpdating(TVTUpdateState::usBegin);
            if (Host().HasWindow())
                Host().SetRedraw(false);
        } else {
            DoUpdating(TVTUpdateState::usUpdate);
        }
    }
    ++updateCount_;
    DoStateChange({TreeState::tsUpdating});
}

void TBaseVirtualTree::EndUpdate() {
    if (updateCount_ > 0)
        --updateCount_;
    if (destroying_)
        return;
    if (updateCount_ == 0 && InState(TreeState::tsUpdating)) {
        RedrawOnExit redraw(Host());
        if (InState(TreeState::tsUpdateHiddenChildrenNeeded)) {
            DetermineHiddenChildrenFlagAllNodes();
            DoStateChange({}, {TreeState::tsUpdateHiddenChildrenNeeded});
        }
        DoStateChange({}, {TreeState::tsUpdating});
        PackSelection();
        ValidateCache();
        if (Host().HasWindow())
            Host().UpdateScrollBars(false);
        if (InState(TreeState::tsStructureChangePending))
            DoStructureChange(lastStructureChangeNode_, lastStructureChangeReason_);
        if (InState(TreeState::tsChangePending))
            DoChange(lastChangedNode_);
        if (Options.AutoSort)
            SortTree(SortColumn, SortDirection, true);
    }
    DoUpdating(updateCount_ == 0 ? TVTUpdateState::usEnd : TVTUpdateState::usUpdate);
}

void TBaseVirtualTree::AdviseChangeEvent(bool structureChange, PVirtualNode node, TChangeReason reason) {
    if (structureChange) {
        if (InState(TreeState::tsStructureChangePending))
            Host().StopTimer(StructureChangeTimer);
        else
            DoStateChange({TreeState::tsStructureChangePending});
        lastStructureChangeNode_ = node;
        // A repeated reason stays that reason; only different reasons fold into crAccumulated.
        if (lastStructureChangeReason_ == TChangeReason::crIgnore)
            lastStructureChangeReason_ = reason;
        else if (reason != TChangeReason::crIgnore && reason != lastStructureChangeReason_)
            lastStructureChangeReason_ = TChangeReason::crAccumulated;
        return;
    }
    if (InState(TreeState::tsChangePending))
        Host().StopTimer(ChangeTimer);
    else
        DoStateChange({TreeState::tsChangePending});
    lastChangedNode_ = node;
}

void TBaseVirtualTree::Change(PVirtualNode node) {
    AdviseChangeEvent(false, node, TChangeReason::crIgnore);
    if (updateCount_ > 0)
        return;
    if (ChangeDelay > 0 && !InState(TreeState::tsSynchMode))
        Host().StartTimer(ChangeTimer, ChangeDelay);
    else
        DoChange(node);
}

void TBaseVirtualTree::NotifyStructureChange(PVirtualNode node, TChangeReason reason) {
    AdviseChangeEvent(true, node, reason);
    if (updateCount_ > 0)
        return;
    if (ChangeDelay > 0 && !InState(TreeState::tsSynchMode))
        Host().StartTimer(StructureChangeTimer, ChangeDelay);
    else
        DoStructureChange(node, reason);
}

// The pending state is dropped before the event fires, so that a change the handler makes is recorded
// afresh, and a throwing handler does not leave a stale notification behind.
void TBaseVirtualTree::DoChange(PVirtualNode node) {
    Host().StopTimer(ChangeTimer);
    DoStateChange({}, {TreeState::tsChangePending});
    lastChangedNode_ = nullptr;
    if (OnChange)
        OnChange(*this, Published(node));
}

void TBaseVirtualTree::DoStructureChange(PVirtualNode node, TChangeReason reason) {
    Host().StopTimer(StructureChangeTimer);
    DoStateChange({}, {TreeState::tsStructureChangePending});
    lastStructureChangeNode_ = nullptr;
    lastStructureChangeReason_ = TChangeReason::crIgnore;
    if (OnStructureChange)
        OnStructureChange(*this, Published(node), reason);
}

void TBaseVirtualTree::HandleChangeTimer(unsigned id) {
    if (id == ChangeTimer)
        DoChange(lastChangedNode_);
    else if (id == StructureChangeTimer)
        DoStructureChange(lastStructureChangeNode_, lastStructureChangeReason_);
}

// The worker's hand-off. A cache is installed only when nobody asked the worker to stop since it began:
// a build that finished while the GUI thread was already interrupting it describes the old tree.
void TBaseVirtualTree::HandleStateMessage(std::uint32_t enter, std::uint32_t leave) {
    TVirtualTreeStates entering = FromMessageBits(enter);
    const TVirtualTreeStates leaving = FromMessageBits(leave);
    if (entering.Has(TreeState::tsUseCache)) {
        if (stopValidation_.load(std::memory_order_acquire)) {
            entering = (entering - TVirtualTreeStates{TreeState::tsUseCache}) |
                       TVirtualTreeStates{TreeState::tsValidationNeeded};
            DoStateChange(entering, leaving - TVirtualTreeStates{TreeState::tsValidationNeeded});
            return;
        }
        cache_.swap(pendingCache_);
        pendingCache_.clear();
    }
    DoStateChange(entering, leaving);
}

} // namespace tarvola
