// How a text sits in its box. One declaration for the form layer's controls and the tree's columns, nodes and
// hints; the values are the ones stored in header streams.
#pragma once

#include <cstdint>
#include <string_view>

namespace tarvola {

enum class TAlignment : std::uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

// A layout table's alignment value ("taLeftJustify", "taRightJustify", "taCenter").
TAlignment PropAlignment(std::string_view value, std::string_view property);

} // namespace tarvola
