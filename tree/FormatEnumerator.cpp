// The format enumerator's walk.
#include "tree/FormatEnumerator.h"

#include <algorithm>

namespace tarvola {

TResultCode TFormatCursor::Next(std::uint32_t count, TFormatEtc* out, std::uint32_t& fetched) {
    const std::size_t available = std::min<std::size_t>(count, formats_.size() - index_);
    std::copy_n(formats_.begin() + static_cast<std::ptrdiff_t>(index_), available, out);
    index_ += available;
    fetched = static_cast<std::uint32_t>(available);
    return available == count ? ResultOk : ResultFalse;
}

TResultCode TFormatCursor::Skip(std::uint32_t count) {
    const std::size_t available = std::min<std::size_t>(count, formats_.size() - index_);
    index_ += available;
    return available == count ? ResultOk : ResultFalse;
}

} // namespace tarvola
