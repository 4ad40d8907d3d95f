// libFuzzer target for the JPEG decoder wrapper (see JpegDecoderFuzz.h).
#include "tests/fuzz/JpegDecoderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarvola::jpegfuzz::FuzzJpegDecoderInput(std::span<const std::uint8_t>(data, size));
    return 0;
}
