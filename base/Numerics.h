// Numeric rules every unit shares: Round is halves-to-even, integer overflow and out-of-range indexes
// are errors (typed exceptions), and a floating-point value is converted to an integer only when it fits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace tarvola {

// An integer result that does not fit its type.
class OverflowError : public std::overflow_error {
public:
    using std::overflow_error::overflow_error;
};

// An index or count outside the object it addresses.
class RangeError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

// A floating-point operation that has no finite result (invalid operation, division by zero, overflow).
class FloatError : public std::domain_error {
public:
    using std::domain_error::domain_error;
};

template <typename T>
T CheckedAdd(T a, T b) {
    static_assert(std::is_integral_v<T>);
    T result;
    if (__builtin_add_overflow(a, b, &result))
        throw OverflowError("Integer overflow");
    return result;
}

template <typename T>
T CheckedSub(T a, T b) {
    static_assert(std::is_integral_v<T>);
    T result;
    if (__builtin_sub_overflow(a, b, &result))
        throw OverflowError("Integer overflow");
    return result;
}

template <typename T>
T CheckedMul(T a, T b) {
    static_assert(std::is_integral_v<T>);
    T result;
    if (__builtin_mul_overflow(a, b, &result))
        throw OverflowError("Integer overflow");
    return result;
}

// Converts between integer types, raising when the value does not fit the target.
template <typename To, typename From>
To CheckedCast(From value) {
    static_assert(std::is_integral_v<To> && std::is_integral_v<From>);
    To result;
    if (__builtin_add_overflow(value, From{0}, &result))
        throw OverflowError("Integer overflow");
    return result;
}

// Raises unless 0 <= index < count.
template <typename I, typename C>
void CheckIndex(I index, C count) {
    if (index < 0 ||
        static_cast<std::make_unsigned_t<std::common_type_t<I, C>>>(index) >=
            static_cast<std::make_unsigned_t<std::common_type_t<I, C>>>(count) ||
        count < 0)
        throw RangeError("List index out of bounds (" + std::to_string(index) + ")");
}

// Round: nearest integer, halves to even, as a floating-point value (no range check).
long double RoundHalfEven(long double value);

// Round and Trunc to a signed 32- or 64-bit integer; a value that is not finite or does not fit raises
// FloatError.
std::int32_t Round32(long double value);
std::int64_t Round64(long double value);
std::int32_t Trunc32(long double value);
std::int64_t Trunc64(long double value);

// Raises FloatError when value is NaN or infinite; returns it otherwise.
long double CheckFinite(long double value);

} // namespace tarvola
