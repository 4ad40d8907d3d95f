// libFuzzer target: arbitrary bytes opened as a headerless PCM file (format from the first four bytes).
#include "tests/fuzz/AudioFileFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarvola::audiotest::FuzzAudioFileReader(tarvola::audiotest::TFuzzedFormat::Raw, data, size);
    return 0;
}
