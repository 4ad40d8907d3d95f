#include "explorer/ExplorerStateShell.h"

#include <algorithm>

namespace tarvola {

std::optional<int> CompareIDsOrder(std::int32_t hr) {
    if (hr < 0)
        return std::nullopt;
    const auto code = static_cast<std::int16_t>(static_cast<std::uint32_t>(hr) & 0xFFFFu);
    return code < 0 ? -1 : (code > 0 ? 1 : 0);
}

int CompareBytes(const TItemIDList& a, const TItemIDList& b) {
    // A plain loop: the library's byte comparison trips a bogus object-size warning of the i686 compiler.
    const std::size_t common = std::min(a.Size(), b.Size());
    for (std::size_t i = 0; i < common; ++i)
        if (a.Data()[i] != b.Data()[i])
            return a.Data()[i] < b.Data()[i] ? -1 : 1;
    return a.Size() == b.Size() ? 0 : (a.Size() < b.Size() ? -1 : 1);
}

} // namespace tarvola
