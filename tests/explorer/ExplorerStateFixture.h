// An in-memory namespace for the saved-state and refresh tests: items named by paths of short names, an
// order of records that can be turned around (as another shell version might sort) or made to fail, and a
// set of items that are gone.
#pragma once

#include "explorer/ExplorerStateShell.h"

#include <cstdint>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

namespace tarvola::test {

// Lists in byte order, as map keys.
struct TListOrder {
    bool operator()(const TItemIDList& a, const TItemIDList& b) const { return CompareBytes(a, b) < 0; }
};

// A list of one record per name: {cb, 0, name bytes}.
inline TItemIDList Path(std::initializer_list<std::string> names) {
    // Sized first and filled by index: growing the vector by inserts trips a bogus bounds warning of the
    // Windows compilers.
    std::size_t size = 2;
    for (const std::string& name : names)
        size += name.size() + 2;
    std::vector<std::uint8_t> bytes(size, 0);
    std::size_t at = 0;
    for (const std::string& name : names) {
        bytes[at] = static_cast<std::uint8_t>(name.size() + 2);
        for (std::size_t i = 0; i < name.size(); ++i)
            bytes[at + 2 + i] = static_cast<std::uint8_t>(name[i]);
        at += name.size() + 2;
    }
    return TItemIDList::FromBytes(bytes);
}

inline TItemIDList Item(const std::string& name) {
    return Path({name});
}

// The name held by a list of one record.
inline std::string NameOf(const TItemIDList& relative) {
    const auto& bytes = relative.Bytes();
    return std::string(bytes.begin() + 2, bytes.begin() + bytes[0]);
}

class TFakeStateShell : public IStateShell {
public:
    bool Reversed = false;
    bool Fails = false;
    std::set<TItemIDList, bool (*)(const TItemIDList&, const TItemIDList&)> Gone{
        [](const TItemIDList& a, const TItemIDList& b) { return CompareBytes(a, b) < 0; }};
    int Compares = 0;

    std::optional<int> CompareIDs(const TItemIDList&, const TItemIDList& a, const TItemIDList& b) override {
        ++Compares;
        if (Fails)
            return std::nullopt;
        const int order = NameOf(a).compare(NameOf(b));
        const int sign = order < 0 ? -1 : (order > 0 ? 1 : 0);
        return Reversed ? -sign : sign;
    }
    bool ItemExists(const TItemIDList& absolutePIDL) override { return Gone.count(absolutePIDL) == 0; }
};

} // namespace tarvola::test
