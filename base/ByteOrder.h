// Byte order of values in files and records: little-endian (our own records, RIFF WAVE) and big-endian
// (AIFF). Values are put and got byte by byte, so neither the machine's own order nor the alignment of the
// bytes matters, and every codec in the program reads a field the same way.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>

namespace tarvola {

// ---- Fields of any width up to 8 bytes

// Writes the low `width` bytes of value at out, least significant first.
constexpr void PutUnsignedLE(std::uint8_t* out, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Reads `width` bytes at in, least significant first.
constexpr std::uint64_t GetUnsignedLE(const std::uint8_t* in, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;)
        value = (value << 8) | in[i];
    return value;
}

// Writes the low `width` bytes of value at out, most significant first.
constexpr void PutUnsignedBE(std::uint8_t* out, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        out[width - 1 - i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Reads `width` bytes at in, most significant first.
constexpr std::uint64_t GetUnsignedBE(const std::uint8_t* in, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value = (value << 8) | in[i];
    return value;
}

// ---- Integer fields of their type's width (signed ones in two's complement)

template <std::integral T>
constexpr void PutLE(std::uint8_t* out, T value) {
    PutUnsignedLE(out, static_cast<std::make_unsigned_t<T>>(value), sizeof(T));
}

template <std::integral T>
constexpr T GetLE(const std::uint8_t* in) {
    return static_cast<T>(static_cast<std::make_unsigned_t<T>>(GetUnsignedLE(in, sizeof(T))));
}

template <std::integral T>
constexpr void PutBE(std::uint8_t* out, T value) {
    PutUnsignedBE(out, static_cast<std::make_unsigned_t<T>>(value), sizeof(T));
}

template <std::integral T>
constexpr T GetBE(const std::uint8_t* in) {
    return static_cast<T>(static_cast<std::make_unsigned_t<T>>(GetUnsignedBE(in, sizeof(T))));
}

// ---- Turning stored items around (in place)

// Reverses the order of `size` bytes at p.
void ReverseBytes(std::uint8_t* p, std::size_t size);
// Reverses the bytes of each of `count` consecutive items of `size` bytes.
void ReverseEachItem(std::uint8_t* p, std::size_t count, std::size_t size);

} // namespace tarvola
