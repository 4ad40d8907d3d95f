// The 80-bit extended floating-point format as it stands in files: 10 bytes, little-endian (records on
// disk) or big-endian (the AIFF sample rate). long double is this type on both x86 targets, but 12 bytes
// wide on i686 and 16 on x86-64, so values are always encoded and decoded field by field here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace tarvola {

using Extended80Bytes = std::array<std::uint8_t, 10>;

// Little-endian: 8 bytes of significand (explicit integer bit), then sign and 15-bit exponent.
Extended80Bytes EncodeExtendedLE(long double value);
long double DecodeExtendedLE(const std::uint8_t* bytes);

// What ten stored little-endian bytes are to an x87.
enum class Extended80Encoding {
    Number,         // normalised, a true zero or a denormal
    PseudoDenormal, // exponent 0 with the integer bit set: loaded as the value it stands for
    Unnormal,       // exponent set, integer bit clear: the x87 refuses to compute with it
    NotFinite,      // infinity or NaN, pseudo-infinity or pseudo-NaN included
};
Extended80Encoding ClassifyExtendedLE(const std::uint8_t* bytes);

// A stored little-endian field: its value when it is a Number; nothing for any other encoding.
std::optional<long double> DecodeStoredExtended(const std::uint8_t* tenBytes);

// Big-endian, as the AIFF COMM chunk holds its sample rate.
Extended80Bytes EncodeExtendedBE(long double value);
long double DecodeExtendedBE(const std::uint8_t* bytes);

} // namespace tarvola
