// What a tree offers as a drag source: a set of operations (copy, move, link). The tree's settings hold the
// set; the drop rules turn it into the platform's drop effects.
#pragma once

#include <cstdint>

namespace tarvola {

enum : std::uint8_t { doCopy = 0x01, doMove = 0x02, doLink = 0x04 };
using TDragOperations = std::uint8_t;

} // namespace tarvola
