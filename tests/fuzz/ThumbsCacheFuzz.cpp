// libFuzzer target for the thumbnail cache reader and its central index (see ThumbsCacheFuzz.h).
#include "tests/fuzz/ThumbsCacheFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarvola::thumbsfuzz::FuzzThumbsCacheInput(std::span<const std::uint8_t>(data, size));
    return 0;
}
