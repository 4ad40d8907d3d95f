#include "tree/IncrementalSearch.h"

#include "tree/TreeProperties.h"
#include "tree/VirtualTrees.h"

#include <utility>

namespace tarvola {

namespace {
constexpr wchar_t Backspace = 8;
} // namespace

TIncrementalSearch::TIncrementalSearch(TBaseVirtualTree& tree, TClock clock, TBeep beep)
    : tree_(tree), clock_(std::move(clock)), beep_(std::move(beep)) {}

void TIncrementalSearch::HandleChar(wchar_t charCode) {
    tree_.Host().StopTimer(SearchTimer);
    const TVirtualTreeProperties& properties = tree_.Properties();
    if (properties.IncrementalSearch() == TVTIncrementalSearch::isNone)
        return;
    // The timer's message is queued behind the keys, so a key typed after a stall may arrive first: the
    // clock decides whether it still belongs to the running search.
    if (TimedOut())
        EndSearch();
    if (charCode != 0) {
        tree_.DoStateChange({TreeState::tsIncrementalSearching});
        Search(charCode);
    }
    lastKeyTime_ = clock_();
    tree_.Host().StartTimer(SearchTimer, properties.IncrementalSearchTimeout);
}

void TIncrementalSearch::EndSearch() {
    tree_.Host().StopTimer(SearchTimer);
    tree_.DoStateChange({}, {TreeState::tsIncrementalSearching});
    searchBuffer_.clear();
    lastSearchNode_ = nullptr;
}

void TIncrementalSearch::ForgetNode(PVirtualNode node) {
    if (node == lastSearchNode_)
        lastSearchNode_ = nullptr;
}

bool TIncrementalSearch::TimedOut() const {
    if (!tree_.InState(TreeState::tsIncrementalSearching))
        return false;
    // Unsigned subtraction stays right when the tick count wraps.
    return clock_() - lastKeyTime_ >= tree_.Properties().IncrementalSearchTimeout;
}

PVirtualNode TIncrementalSearch::StartNode() const {
    const TVirtualTreeProperties& properties = tree_.Properties();
    PVirtualNode start = nullptr;
    switch (properties.IncrementalSearchStart) {
    case TVTSearchStart::ssAlwaysStartOver:
        break;
    case TVTSearchStart::ssLastHit:
        start = lastSearchNode_;
        break;
    case TVTSearchStart::ssFocusedNode:
        start = tree_.FocusedNode();
        break;
    }
    if (start == nullptr)
        return nullptr;
    switch (properties.IncrementalSearch()) {
    case TVTIncrementalSearch::isInitializedOnly:
        return (start->States & nsInitialized) != 0 ? start : nullptr;
    case TVTIncrementalSearch::isVisibleOnly:
        return tree_.FullyVisible(start) ? start : nullptr;
    default:
        return start;
    }
}

PVirtualNode TIncrementalSearch::FirstOfPass(bool forward) const {
    switch (tree_.Properties().IncrementalSearch()) {
    case TVTIncrementalSearch::isInitializedOnly:
        return forward ? tree_.GetFirstNoInit() : tree_.GetLastNoInit();
    case TVTIncrementalSearch::isVisibleOnly:
        return forward ? tree_.GetFirstVisible() : tree_.GetLastVisible();
    default:
        return forward ? tree_.GetFirst() : tree_.GetLast();
    }
}

// The neighbour in the search order, wrapping around at either end.
PVirtualNode TIncrementalSearch::Advance(PVirtualNode node, bool forward) const {
    PVirtualNode next = nullptr;
    switch (tree_.Properties().IncrementalSearch()) {
    case TVTIncrementalSearch::isInitializedOnly:
        next = forward ? tree_.GetNextNoInit(node) : tree_.GetPreviousNoInit(node);
        break;
    case TVTIncrementalSearch::isVisibleOnly:
        next = forward ? tree_.GetNextVisible(node) : tree_.GetPreviousVisible(node);
        break;
    default:
        next = forward ? tree_.GetNext(node) : tree_.GetPrevious(node);
        break;
    }
    return next != nullptr ? next : FirstOfPass(forward);
}

bool TIncrementalSearch::Matches(PVirtualNode node, const std::wstring& text) const {
    // Asking for the text of a node that was never initialised would initialise it behind the mode's back.
    if (tree_.Properties().IncrementalSearch() == TVTIncrementalSearch::isInitializedOnly &&
        (node->States & nsInitialized) == 0)
        return false;
    return tree_.DoIncrementalSearch(node, text) == 0;
}

void TIncrementalSearch::Search(wchar_t newChar) {
    const bool backspace = newChar == Backspace;
    if (backspace && searchBuffer_.size() <= 1)
        return;
    const PVirtualNode start = StartNode();
    bool forward = tree_.Properties().IncrementalSearchDirection == TVTSearchDirection::sdForward;
    if (backspace)
        forward = !forward;

    // The same letter again moves on to the next node starting with it, unless the doubled letter matches.
    bool repeat = searchBuffer_.size() == 1 && !backspace && newChar == searchBuffer_[0];
    if (repeat && start != nullptr && Matches(start, searchBuffer_ + newChar))
        repeat = false;

    std::wstring text;
    if (repeat)
        text = searchBuffer_;
    else if (backspace)
        text = searchBuffer_.substr(0, searchBuffer_.size() - 1);
    else
        text = searchBuffer_ + newChar;

    PVirtualNode node = nullptr;
    if (start == nullptr)
        node = FirstOfPass(forward);
    else if (searchBuffer_.empty() || repeat || backspace)
        node = Advance(start, forward);
    else
        node = start;

    // One pass round the tree: a pass that began after the start node tests the start node last.
    const PVirtualNode firstTested = node;
    PVirtualNode found = nullptr;
    while (node != nullptr) {
        if (Matches(node, text)) {
            found = node;
            break;
        }
        node = Advance(node, forward);
        if (node == firstTested)
            break;
    }

    if (found == nullptr) {
        if (beep_)
            beep_();
        return;
    }
    tree_.ClearSelection();
    searchBuffer_ = text;
    lastSearchNode_ = found;
    tree_.SetFocusedNode(found);
    tree_.SetSelected(found, true);
}

} // namespace tarvola
