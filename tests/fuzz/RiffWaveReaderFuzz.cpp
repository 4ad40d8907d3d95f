// libFuzzer target: arbitrary bytes opened as a RIFF WAVE file.
#include "tests/fuzz/AudioFileFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarvola::audiotest::FuzzAudioFileReader(tarvola::audiotest::TFuzzedFormat::RiffWave, data, size);
    return 0;
}
