// Item lists made from path texts and an allocator that counts its live blocks, for the tests of the
// change and icon queues: every test ends by checking that nothing it queued is left allocated.
#pragma once

#include "shell/VirtualPIDLTools.h"

#include <atomic>
#include <string>
#include <vector>

namespace tarvola::testing_queues {

class TCountingAllocator final : public IShellAllocator {
public:
    void* Alloc(std::size_t size) override {
        ++live;
        return MallocAllocator().Alloc(size);
    }
    void Free(void* block) override {
        if (block != nullptr)
            --live;
        MallocAllocator().Free(block);
    }
    std::atomic<int> live{0};
};

// "a/b/c" gives a list of the records "a", "b", "c"; "" gives the desktop.
inline TItemIDList Path(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::size_t cb = end - start + 2;
        bytes.push_back(static_cast<std::uint8_t>(cb));
        bytes.push_back(0);
        bytes.insert(bytes.end(), path.begin() + static_cast<std::ptrdiff_t>(start),
                     path.begin() + static_cast<std::ptrdiff_t>(end));
        start = end + 1;
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return TItemIDList::FromBytes(bytes);
}

} // namespace tarvola::testing_queues
