// libFuzzer target: arbitrary bytes read as the explorer's saved state (a view manager, a snapshot, a
// named view or a storage tree), with or without version words and at any version. A stream that is
// accepted must write back and read again to the same bytes; nothing may read outside the bytes, allocate
// beyond them or leak.
#include "tests/fuzz/ExplorerStateFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarvola::fuzz::FuzzExplorerState(data, size);
    return 0;
}
