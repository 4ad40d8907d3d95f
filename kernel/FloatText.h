// Texts of 80-bit floating-point values, as the designer shows them in rulers, edits and read-outs.
//
// FloatToStrF(Value, Format, Precision, Digits):
//   ffGeneral  the shortest text of at most Precision significant digits, without trailing zeros; fixed
//              point unless the value has more than Precision integer digits or lies below 0.00001, then
//              scientific ("1.5E20", "2.5E-7"). Digits is not used.
//   ffFixed    "-ddd.ddd" with exactly Digits digits after the point and at least one before it.
//   ffNumber   as ffFixed, with "," between the groups of three integer digits ("1,234,567.00").
// The value is first taken to 18 significant digits (halves to even), then rounded to at most Precision
// significant digits and, in ffFixed and ffNumber, at most Digits decimals, halves away from zero. A
// fixed or number value with more than Precision integer digits is written as ffGeneral writes it.
// Precision is used within 1..18 and Digits within 0..18. A value that rounds to zero has no sign.
// NaN gives "NAN", the infinities "INF" and "-INF".
#pragma once

#include <string>

namespace tarvola {

enum class TFloatFormat { ffGeneral, ffFixed, ffNumber };

std::string FloatToStrF(long double value, TFloatFormat format, int precision, int digits);

} // namespace tarvola
