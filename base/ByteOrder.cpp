#include "base/ByteOrder.h"

#include <algorithm>

namespace tarvola {

void ReverseBytes(std::uint8_t* p, std::size_t size) {
    std::reverse(p, p + size);
}

void ReverseEachItem(std::uint8_t* p, std::size_t count, std::size_t size) {
    if (size < 2)
        return;
    for (std::size_t i = 0; i < count; ++i, p += size)
        ReverseBytes(p, size);
}

} // namespace tarvola
