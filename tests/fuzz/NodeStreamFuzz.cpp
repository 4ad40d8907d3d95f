// libFuzzer target: arbitrary bytes read as a node stream, whole or as one node chunk (see NodeStreamFuzz.h).
#include "tests/fuzz/NodeStreamFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarvola::test::FuzzNodeStreamReader(data, size);
    return 0;
}
