// Small random edits of a valid file, for the deterministic fuzz smoke runs that every test run makes under
// the sanitizers: bytes changed or bit-flipped, the data cut short, or bytes inserted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace tarvola::test {

struct TByteMutation {
    std::size_t KeepPrefix = 0;  // leading bytes left alone (a fuzz target's selector byte)
    bool SaturateFields = false; // also set single bytes to FF: a size or count turned large or negative
    unsigned MaxInsert = 64;     // at most this many bytes inserted by one edit (fewer than this)
};

inline std::vector<std::uint8_t> MutatedBytes(std::vector<std::uint8_t> bytes, std::mt19937& random,
                                              const TByteMutation& how = {}) {
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < edits && bytes.size() > how.KeepPrefix; ++i) {
        const std::size_t at = how.KeepPrefix + random() % (bytes.size() - how.KeepPrefix);
        switch (random() % (how.SaturateFields ? 5 : 4)) {
        case 0:
            bytes[at] = static_cast<std::uint8_t>(random());
            break;
        case 1:
            bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
            break;
        case 2:
            bytes.resize(at);
            break;
        case 4:
            bytes[at] = 0xFF;
            break;
        default:
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), random() % how.MaxInsert,
                         static_cast<std::uint8_t>(random()));
            break;
        }
    }
    return bytes;
}

} // namespace tarvola::test
