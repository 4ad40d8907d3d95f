// The walk of a format enumerator over a copy of a format list, with the platform's enumerator contract:
// Next answers success only when it returned every format asked for, Skip only when it skipped them all;
// both move on by as many as there were.
#pragma once

#include "tree/ClipboardFormats.h"

#include <cstddef>
#include <cstdint>

namespace tarvola {

class TFormatCursor {
public:
    explicit TFormatCursor(TFormatEtcArray formats, std::size_t index = 0)
        : formats_(std::move(formats)), index_(std::min(index, formats_.size())) {}

    // Copies up to count formats into out (room for count) and moves on by as many; fetched tells how many.
    TResultCode Next(std::uint32_t count, TFormatEtc* out, std::uint32_t& fetched);
    TResultCode Skip(std::uint32_t count);
    void Reset() { index_ = 0; }
    std::size_t Index() const { return index_; }
    const TFormatEtcArray& Formats() const { return formats_; }

private:
    TFormatEtcArray formats_;
    std::size_t index_;
};

} // namespace tarvola
