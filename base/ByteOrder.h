// Byte order of values in files and records: little-endian (our own records, RIFF WAVE) and big-endian
// (AIFF). Values are put and got byte by byte, so neither the machine's own order nor the alignment of the
// bytes matters, and every codec in the program reads a field the same way.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>

namespace tarvola {

enum class Endian {
    Little, // least significant byte first: our own records, RIFF WAVE
    Big,    // most significant byte first: AIFF
};

// ---- Fields of any width up to 8 bytes
//
// The loops are unrolled so that a field of constant width compiles to one load or store (with a byte swap
// for the big-endian order): sample conversion reads every sample through here.

// Where the byte of significance `i` (0 = least significant) stands in a field of `width` bytes.
constexpr std::size_t BytePlace(std::size_t i, std::size_t width, Endian order) {
    return order == Endian::Little ? i : width - 1 - i;
}

// Writes the low `width` bytes of value at out.
constexpr void PutUnsigned(std::uint8_t* out, std::uint64_t value, std::size_t width,
                           Endian order = Endian::Little) {
#pragma GCC unroll 8
    for (std::size_t i = 0; i < width; ++i)
        out[BytePlace(i, width, order)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Reads a field of `width` bytes at in.
constexpr std::uint64_t GetUnsigned(const std::uint8_t* in, std::size_t width,
                                    Endian order = Endian::Little) {
    std::uint64_t value = 0;
#pragma GCC unroll 8
    for (std::size_t i = 0; i < width; ++i)
        value |= std::uint64_t{in[BytePlace(i, width, order)]} << (8 * i);
    return value;
}

// ---- Little-endian integer fields of their type's width (signed ones in two's complement)

template <std::integral T>
constexpr void PutLE(std::uint8_t* out, T value) {
    PutUnsigned(out, static_cast<std::make_unsigned_t<T>>(value), sizeof(T));
}

template <std::integral T>
constexpr T GetLE(const std::uint8_t* in) {
    return static_cast<T>(static_cast<std::make_unsigned_t<T>>(GetUnsigned(in, sizeof(T))));
}

// ---- Turning stored items around (in place)

// Reverses the order of `size` bytes at p.
void ReverseBytes(std::uint8_t* p, std::size_t size);
// Reverses the bytes of each of `count` consecutive items of `size` bytes.
void ReverseEachItem(std::uint8_t* p, std::size_t count, std::size_t size);

} // namespace tarvola
