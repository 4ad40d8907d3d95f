// Incremental search: characters typed into the tree collect into a search text, and the first node whose
// text matches it (the tree's DoIncrementalSearch) is focused and selected. The search ends when no key
// arrives within IncrementalSearchTimeout, on focus loss, or when the tree is destroyed.
//
// How the window drives it (one instance per tree, living as long as the tree):
// - WM_KEYDOWN enters tsIncrementalSearchPending for a search character; WM_CHAR then calls HandleChar with
//   wParam as received (a UTF-16 code unit of a Unicode window) and leaves that state.
// - WM_TIMER with SearchTimer (7) calls EndSearch; WM_KILLFOCUS calls EndSearch as well.
// - The tree's DoFreeNode calls ForgetNode before the node's memory goes.
// The beep is the window's MessageBeep(0); the clock is GetTickCount. Both are injected so tests run
// without a window and without waiting.
#pragma once

#include "tree/TreeTypes.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tarvola {

class TBaseVirtualTree;

class TIncrementalSearch {
public:
    using TClock = std::function<std::uint32_t()>; // milliseconds, may wrap
    using TBeep = std::function<void()>;

    TIncrementalSearch(TBaseVirtualTree& tree, TClock clock, TBeep beep);
    TIncrementalSearch(const TIncrementalSearch&) = delete;
    TIncrementalSearch& operator=(const TIncrementalSearch&) = delete;

    // One typed character (8 is Backspace). Does nothing while the tree's search mode is isNone.
    void HandleChar(wchar_t charCode);
    // The search timed out or the tree lost the focus: the next character starts a new search.
    void EndSearch();
    // The node is about to be freed: it must not stay the start of the next search.
    void ForgetNode(PVirtualNode node);

    const std::wstring& SearchBuffer() const { return searchBuffer_; }
    PVirtualNode LastSearchNode() const { return lastSearchNode_; }

private:
    bool TimedOut() const;
    PVirtualNode StartNode() const;
    PVirtualNode Advance(PVirtualNode node, bool forward) const;
    PVirtualNode FirstOfPass(bool forward) const;
    bool Matches(PVirtualNode node, const std::wstring& text) const;
    void Search(wchar_t newChar);

    TBaseVirtualTree& tree_;
    TClock clock_;
    TBeep beep_;
    std::wstring searchBuffer_;
    PVirtualNode lastSearchNode_ = nullptr;
    std::uint32_t lastKeyTime_ = 0;
};

} // namespace tarvola
