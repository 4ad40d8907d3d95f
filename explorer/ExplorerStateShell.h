// What the explorer's saved state and its refresh ask of the shell, behind one narrow seam so that the
// storage tree, the stream reader and the child merge run natively against an in-memory namespace.
//
// The explorer tree hands an IStateShell over shell folders (ExplorerStateShellWin32.cpp) to its snapshot
// and its refresh; tests hand a scripted one. Item lists are passed by value (TItemIDList), so nothing here
// ever writes into memory the caller holds.
#pragma once

#include "shell/VirtualPIDLTools.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace tarvola {

class IStateShell {
public:
    virtual ~IStateShell() = default;
    // The order of two children of the folder at folderPIDL (absolute), given as lists of one record each:
    // negative, zero or positive; nullopt when the shell could not compare them (callers fall back to
    // an order of their own and never treat a failure as an answer).
    virtual std::optional<int> CompareIDs(const TItemIDList& folderPIDL, const TItemIDList& a,
                                          const TItemIDList& b) = 0;
    // Whether the item still exists (asked of its parent folder with validation).
    virtual bool ItemExists(const TItemIDList& absolutePIDL) = 0;
};

// The order IShellFolder::CompareIDs answers: its code word as a signed 16-bit number, read only when the
// call succeeded; nullopt for a failed call (its code word is an error code, not an order).
std::optional<int> CompareIDsOrder(std::int32_t hr);

// The byte order of two lists: a fixed, total order for the places where the shell cannot tell.
int CompareBytes(const TItemIDList& a, const TItemIDList& b);

// A stable merge sort that stays within the range whatever the comparison answers (a comparison backed by
// the shell need not be consistent, and the standard sorts may then run past the range's ends).
template <typename T, typename Less>
void StableSortWithin(std::vector<T>& items, Less less) {
    const std::size_t n = items.size();
    if (n < 2)
        return;
    std::vector<T> buffer;
    buffer.reserve(n);
    for (std::size_t width = 1; width < n; width *= 2) {
        buffer.clear();
        for (std::size_t low = 0; low < n; low += 2 * width) {
            const std::size_t mid = std::min(low + width, n);
            const std::size_t high = std::min(low + 2 * width, n);
            std::size_t i = low;
            std::size_t j = mid;
            while (i < mid && j < high)
                buffer.push_back(less(items[j], items[i]) ? std::move(items[j++]) : std::move(items[i++]));
            while (i < mid)
                buffer.push_back(std::move(items[i++]));
            while (j < high)
                buffer.push_back(std::move(items[j++]));
        }
        items.swap(buffer);
    }
}

} // namespace tarvola
