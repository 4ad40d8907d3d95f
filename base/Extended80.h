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
// A stored little-endian field: its value when it is a finite number in an encoding the x87 loads as
// such (normalised, a true zero or a denormal); nothing for infinities, NaNs, unnormals and
// pseudo-denormals.
std::optional<long double> DecodeStoredExtended(const std::uint8_t* tenBytes);

// Big-endian, as the AIFF COMM chunk holds its sample rate.
Extended80Bytes EncodeExtendedBE(long double value);
long double DecodeExtendedBE(const std::uint8_t* bytes);

} // namespace tarvola
