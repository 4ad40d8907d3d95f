// A short, deterministic run of the saved-state fuzz target: the writer's own streams with bytes changed,
// cut short or grown, so that every test run passes the reader some hostile input under the sanitizers.
// The libFuzzer target itself is in tests/fuzz (run.sh builds and runs it).
#include "tests/fuzz/ExplorerStateFuzz.h"
#include "tests/support/ByteMutation.h"

#include <gtest/gtest.h>

#include <random>

namespace tarvola {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ExplorerStateFuzzSmoke, TheReaderSurvivesMutatedStreams) {
    std::mt19937 random(20261211);
    for (const auto& [name, seed] : fuzz::ExplorerStateSeeds()) {
        fuzz::FuzzExplorerState(seed.data(), seed.size());
        for (int i = 0; i < 250; ++i) {
            const Bytes input = test::MutatedBytes(seed, random, {.KeepPrefix = 1, .MaxInsert = 16});
            fuzz::FuzzExplorerState(input.data(), input.size());
        }
    }
}

} // namespace
} // namespace tarvola
