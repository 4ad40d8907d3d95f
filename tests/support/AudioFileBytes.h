// Builders for the bytes of RIFF WAVE and AIFF files used as fixtures by the tests.
#pragma once

#include "base/ByteOrder.h"
#include "base/Extended80.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tarvola::audiotest {

using Bytes = std::vector<std::uint8_t>;

// A field of `count` bytes in the given order.
inline Bytes Field(std::uint32_t value, int count, Endian order) {
    Bytes bytes(static_cast<std::size_t>(count));
    PutUnsigned(bytes.data(), value, bytes.size(), order);
    return bytes;
}

inline Bytes LE(std::uint32_t value, int count) {
    return Field(value, count, Endian::Little);
}

inline Bytes BE(std::uint32_t value, int count) {
    return Field(value, count, Endian::Big);
}

inline Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A chunk with its identifier and size (little-endian for RIFF, big-endian for AIFF), padded to even length.
inline Bytes RiffChunk(const std::string& id, const Bytes& payload) {
    Bytes chunk = Join({Text(id), LE(static_cast<std::uint32_t>(payload.size()), 4), payload});
    if (payload.size() % 2 != 0)
        chunk.push_back(0);
    return chunk;
}

inline Bytes AiffChunk(const std::string& id, const Bytes& payload) {
    Bytes chunk = Join({Text(id), BE(static_cast<std::uint32_t>(payload.size()), 4), payload});
    if (payload.size() % 2 != 0)
        chunk.push_back(0);
    return chunk;
}

inline Bytes FmtPayload(std::uint32_t tag, std::uint32_t channels, std::uint32_t rate, std::uint32_t bits) {
    const std::uint32_t sampleBytes = (bits + 7) / 8;
    return Join({LE(tag, 2), LE(channels, 2), LE(rate, 4), LE(rate * channels * sampleBytes, 4),
                 LE(channels * sampleBytes, 2), LE(bits, 2)});
}

inline Bytes CommPayload(std::uint32_t channels, std::uint32_t frames, std::uint32_t bits, long double rate) {
    const Extended80Bytes rateBytes = EncodeExtendedBE(rate);
    return Join({BE(channels, 2), BE(frames, 4), BE(bits, 2), Bytes(rateBytes.begin(), rateBytes.end())});
}

inline Bytes SsndPayload(const Bytes& samples, std::uint32_t offset = 0) {
    return Join({BE(offset, 4), BE(0, 4), Bytes(offset, 0xEE), samples});
}

// "RIFF", size, "WAVE" and the chunks; or "FORM", size, the form type and the chunks.
inline Bytes RiffFile(const Bytes& chunks) {
    return Join({Text("RIFF"), LE(static_cast<std::uint32_t>(chunks.size() + 4), 4), Text("WAVE"), chunks});
}

inline Bytes FormFile(const Bytes& chunks, const std::string& type = "AIFF") {
    return Join({Text("FORM"), BE(static_cast<std::uint32_t>(chunks.size() + 4), 4), Text(type), chunks});
}

// A canonical 44-byte-header WAVE file.
inline Bytes CanonicalWave(std::uint32_t channels, std::uint32_t rate, std::uint32_t bits,
                           const Bytes& data) {
    return RiffFile(Join({RiffChunk("fmt ", FmtPayload(1, channels, rate, bits)), RiffChunk("data", data)}));
}

// A canonical 54-byte-header AIFF file; samples are given as they stand in the file.
inline Bytes CanonicalAiff(std::uint32_t channels, std::uint32_t bits, long double rate,
                           const Bytes& samples) {
    const std::uint32_t frameBytes = channels * ((bits + 7) / 8);
    const auto frames = static_cast<std::uint32_t>(samples.size() / frameBytes);
    return FormFile(Join({AiffChunk("COMM", CommPayload(channels, frames, bits, rate)),
                          AiffChunk("SSND", SsndPayload(samples))}));
}

// Bytes that differ from position to position (and from their neighbours' reversal).
inline Bytes Pattern(std::size_t count, unsigned seed = 1) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 37 + seed * 11 + (i >> 8) * 3) & 0xFF);
    return bytes;
}

// Sample bytes in the other byte order (whole samples only) and, for one-byte samples, the other sign.
inline Bytes Swapped(Bytes bytes, std::size_t sampleBytes) {
    if (sampleBytes == 1) {
        for (auto& b : bytes)
            b ^= 0x80;
        return bytes;
    }
    ReverseEachItem(bytes.data(), bytes.size() / sampleBytes, sampleBytes);
    return bytes;
}

} // namespace tarvola::audiotest
