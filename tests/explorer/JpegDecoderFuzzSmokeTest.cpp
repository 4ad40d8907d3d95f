// A short, deterministic run of the JPEG decoder's fuzz check: small JPEGs of the kinds a folder holds
// (colour pictures of ordinary and odd sizes), with bytes changed, cut short or grown, at
// every scale, so that each test run passes the decoder some hostile input under the sanitizers. The
// libFuzzer target itself is in tests/fuzz (run.sh builds and runs it).
#include "tests/fuzz/JpegDecoderFuzz.h"

#include "tests/explorer/ThumbsFixtureFolder.h"
#include "tests/support/ByteMutation.h"

#include <gtest/gtest.h>

#include <random>

namespace tarvola {
namespace {

TEST(JpegDecoderFuzzSmoke, DecoderSurvivesMutatedFiles) {
    std::vector<std::vector<std::uint8_t>> seeds;
    for (const auto& [width, height] : {std::pair(48, 32), std::pair(17, 9), std::pair(1, 1)}) {
        std::vector<std::uint8_t> seed{static_cast<std::uint8_t>(seeds.size() * 5)};
        const std::vector<std::uint8_t> jpeg = EncodeJpeg(thumbstest::RampPicture(width, height), 60);
        seed.insert(seed.end(), jpeg.begin(), jpeg.end());
        seeds.push_back(seed);
    }
    std::mt19937 random(33);
    for (const auto& seed : seeds) {
        jpegfuzz::FuzzJpegDecoderInput(seed);
        for (int i = 0; i < 400; ++i) {
            std::vector<std::uint8_t> input = test::MutatedBytes(seed, random, {.SaturateFields = true});
            input[0] = static_cast<std::uint8_t>(i);
            jpegfuzz::FuzzJpegDecoderInput(input);
        }
    }
}

} // namespace
} // namespace tarvola
