// libFuzzer target for the reader of the preset and state files: any bytes must either be refused with the
// model left alone, or load a consistent model whose image reads back to the same model. tests/fuzz/run.sh
// builds it with the audio readers' targets and runs it from its seed corpus (state images the program
// writes, made by fuzz/FuzzSeeds.cpp):
//
//   tests/fuzz/run.sh 600 KernelStateFuzz
//
// The same property runs on every build as a short smoke test (KernelStateSmoke in tests/kernel).
#include "tests/kernel/KernelStateProperty.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string fault = tarvola::KernelStateFault(data, size);
    if (!fault.empty()) {
        std::fprintf(stderr, "kernel state fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
