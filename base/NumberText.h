// Checked conversions of decimal text to numbers: a text gives a value only when all of it is a decimal
// number and the value fits the type; otherwise nothing. No white space, no hexadecimal, no "inf" or "nan".
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvola {

// True for an optional sign ('+' or '-') followed by one or more digits, and nothing else.
bool IsDecimalInteger(std::string_view text);

// The value of a decimal integer text that fits 32 bits.
std::optional<std::int32_t> Int32FromText(std::string_view text);

// The finite value of a decimal number text (signs, digits, a point, an exponent with 'e' or 'E'). A value
// too small for a double reads as the nearest one the double holds; one too large gives nothing.
std::optional<double> DoubleFromText(std::string_view text);

} // namespace tarvola
