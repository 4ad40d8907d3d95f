#include "base/Numerics.h"

#include <cfenv>
#include <cmath>

namespace tarvola {

namespace {

// Converts an already integral long double to T when it fits.
template <typename T>
T ToIntegerChecked(long double integral) {
    if (!std::isfinite(integral))
        throw FloatError("Invalid floating point operation");
    // The bounds are exact in long double for 32- and 64-bit types: -2^(n-1) and 2^(n-1).
    const long double low = static_cast<long double>(std::numeric_limits<T>::min());
    const long double highExclusive = -low;
    if (integral < low || integral >= highExclusive)
        throw FloatError("Floating point value out of integer range");
    return static_cast<T>(integral);
}

} // namespace

long double RoundHalfEven(long double value) {
    // nearbyintl rounds in the current mode, which this program never changes from to-nearest-even.
    return std::nearbyintl(value);
}

std::int32_t Round32(long double value) {
    return ToIntegerChecked<std::int32_t>(RoundHalfEven(value));
}

std::int64_t Round64(long double value) {
    return ToIntegerChecked<std::int64_t>(RoundHalfEven(value));
}

std::int32_t Trunc32(long double value) {
    return ToIntegerChecked<std::int32_t>(std::truncl(value));
}

std::int64_t Trunc64(long double value) {
    return ToIntegerChecked<std::int64_t>(std::truncl(value));
}

long double CheckFinite(long double value) {
    if (!std::isfinite(value))
        throw FloatError("Invalid floating point operation");
    return value;
}

} // namespace tarvola
