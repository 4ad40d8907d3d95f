// A short, deterministic run of the audio file fuzz targets: canonical files with bytes changed, cut short
// or grown, so that every test run passes the readers some hostile input under the sanitizers. The
// libFuzzer targets themselves are in tests/fuzz (run.sh builds and runs them).
#include "tests/support/AudioFileBytes.h"
#include "tests/fuzz/AudioFileFuzz.h"
#include "tests/support/ByteMutation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace tarvola {
namespace {

using namespace audiotest;

TEST(RWAudioFileFuzzSmoke, ReadersSurviveMutatedFiles) {
    struct Seed {
        TFuzzedFormat format;
        Bytes bytes;
    };
    const Bytes samples = Pattern(60);
    const Seed seeds[] = {
        {TFuzzedFormat::RiffWave, CanonicalWave(2, 8000, 16, samples)},
        {TFuzzedFormat::RiffWave, CanonicalWave(1, 8000, 24, samples)},
        {TFuzzedFormat::Aiff, CanonicalAiff(2, 16, 8000.0L, samples)},
        {TFuzzedFormat::Aiff, CanonicalAiff(1, 8, 11025.5L, samples)},
        {TFuzzedFormat::Raw, Join({Bytes{0x07, 0xD0, 15, 3}, samples})},
    };
    std::mt19937 random(20261210);
    for (const Seed& seed : seeds) {
        FuzzAudioFileReader(seed.format, seed.bytes.data(), seed.bytes.size());
        for (int i = 0; i < 1500; ++i) {
            const Bytes input = test::MutatedBytes(seed.bytes, random);
            FuzzAudioFileReader(seed.format, input.data(), input.size());
        }
    }
}

} // namespace
} // namespace tarvola
