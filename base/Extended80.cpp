#include "base/Extended80.h"

#include "base/ByteOrder.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarvola {

namespace {

constexpr int kExponentBias = 16383;

// Splits a value into sign, biased exponent and 64-bit significand without relying on the memory layout
// of long double, so the codec is the same on every compiler.
Extended80Bytes Encode(long double value) {
    Extended80Bytes out{};
    std::uint16_t signExponent = 0;
    std::uint64_t significand = 0;
    if (std::signbit(value))
        signExponent = 0x8000;
    if (std::isnan(value)) {
        signExponent |= 0x7FFF;
        significand = 0xC000000000000000ULL;
    } else if (std::isinf(value)) {
        signExponent |= 0x7FFF;
        significand = 0x8000000000000000ULL;
    } else if (value != 0) {
        int exponent = 0;
        long double fraction = std::frexp(std::fabs(value), &exponent); // [0.5, 1)
        int biased = exponent - 1 + kExponentBias;
        if (biased <= 0) {
            // Denormal: the exponent field is 0 and the significand carries the scale.
            fraction = std::ldexp(fraction, biased - 1);
            biased = 0;
        }
        significand = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
        signExponent |= static_cast<std::uint16_t>(biased);
    }
    PutLE(out.data(), significand);
    PutLE(out.data() + 8, signExponent);
    return out;
}

long double Decode(const std::uint8_t* le) {
    const auto significand = GetLE<std::uint64_t>(le);
    const auto signExponent = GetLE<std::uint16_t>(le + 8);
    const bool negative = (signExponent & 0x8000) != 0;
    const int biased = signExponent & 0x7FFF;
    long double magnitude;
    if (biased == 0x7FFF) {
        const bool infinite = (significand << 1) == 0;
        magnitude = infinite ? std::numeric_limits<long double>::infinity()
                             : std::numeric_limits<long double>::quiet_NaN();
    } else {
        const int exponent = (biased == 0 ? 1 : biased) - kExponentBias - 63;
        magnitude = std::ldexp(static_cast<long double>(significand), exponent);
    }
    return negative ? -magnitude : magnitude;
}

} // namespace

Extended80Bytes EncodeExtendedLE(long double value) {
    return Encode(value);
}

long double DecodeExtendedLE(const std::uint8_t* bytes) {
    return Decode(bytes);
}

Extended80Encoding ClassifyExtendedLE(const std::uint8_t* bytes) {
    const bool integerBit = (bytes[7] & 0x80) != 0;
    const int biasedExponent = GetLE<std::uint16_t>(bytes + 8) & 0x7FFF;
    if (biasedExponent == 0x7FFF)
        return Extended80Encoding::NotFinite;
    if (biasedExponent == 0)
        return integerBit ? Extended80Encoding::PseudoDenormal : Extended80Encoding::Number;
    return integerBit ? Extended80Encoding::Number : Extended80Encoding::Unnormal;
}

std::optional<long double> DecodeStoredExtended(const std::uint8_t* tenBytes) {
    if (ClassifyExtendedLE(tenBytes) != Extended80Encoding::Number)
        return std::nullopt;
    const long double value = Decode(tenBytes);
    if (!std::isfinite(value))
        return std::nullopt; // a long double narrower than the stored field
    return value;
}

Extended80Bytes EncodeExtendedBE(long double value) {
    Extended80Bytes bytes = Encode(value);
    std::reverse(bytes.begin(), bytes.end());
    return bytes;
}

long double DecodeExtendedBE(const std::uint8_t* bytes) {
    Extended80Bytes le;
    std::reverse_copy(bytes, bytes + 10, le.begin());
    return Decode(le.data());
}

} // namespace tarvola
