// A short, deterministic run of the saved-state fuzz target: the writer's own streams with bytes changed,
// cut short or grown, so that every test run passes the reader some hostile input under the sanitizers.
// The libFuzzer target itself is in tests/fuzz (run.sh builds and runs it).
#include "tests/fuzz/ExplorerStateFuzz.h"

#include <gtest/gtest.h>

#include <random>

namespace tarvola {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Mutated(Bytes bytes, std::mt19937& random) {
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < edits && bytes.size() > 1; ++i) {
        const std::size_t at = 1 + random() % (bytes.size() - 1); // the selector stays
        switch (random() % 4) {
        case 0:
            bytes[at] = static_cast<std::uint8_t>(random());
            break;
        case 1:
            bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
            break;
        case 2:
            bytes.resize(at);
            break;
        default:
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), random() % 16,
                         static_cast<std::uint8_t>(random()));
            break;
        }
    }
    return bytes;
}

TEST(ExplorerStateFuzzSmoke, TheReaderSurvivesMutatedStreams) {
    std::mt19937 random(20261211);
    for (const auto& [name, seed] : fuzz::ExplorerStateSeeds()) {
        fuzz::FuzzExplorerState(seed.data(), seed.size());
        for (int i = 0; i < 250; ++i) {
            const Bytes input = Mutated(seed, random);
            fuzz::FuzzExplorerState(input.data(), input.size());
        }
    }
}

} // namespace
} // namespace tarvola
