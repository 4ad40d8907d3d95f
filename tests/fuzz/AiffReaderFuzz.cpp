// libFuzzer target: arbitrary bytes opened as an AIFF file.
#include "tests/fuzz/AudioFileFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarvola::audiotest::FuzzAudioFileReader(tarvola::audiotest::TFuzzedFormat::Aiff, data, size);
    return 0;
}
