// libFuzzer target for the reader of the preset and state files: any bytes must either be refused with the
// model left alone, or load a consistent model whose image reads back to the same model. Build and run
// from the repository root:
//
//   clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I. \
//       fuzz/KernelStateFuzz.cpp kernel/KernelStateFile.cpp kernel/KrnlDsgnTypes.cpp base/WholeFile.cpp \
//       audio/MemList.cpp audio/Streams.cpp audio/SafeFile.cpp base/ByteOrder.cpp base/Extended80.cpp \
//       base/NumberText.cpp base/Numerics.cpp audio/TextOperations.cpp -o build/kernel_state_fuzz
//   build/kernel_state_fuzz -max_total_time=600 -max_len=4096 build/kernel_state_corpus
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
