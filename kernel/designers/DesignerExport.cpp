#include "kernel/designers/DesignerExport.h"

#include "audio/Numerics.h"

namespace tarvola {

std::int32_t DesignerImpulse(std::int32_t target, std::int64_t offset) {
    std::int64_t impulse = 0;
    if (__builtin_add_overflow(static_cast<std::int64_t>(target), offset, &impulse) ||
        impulse < kLowestDesignerImpulse || impulse > kHighestDesignerImpulse)
        throw RangeError(kImpulseOutOfRangeText);
    return static_cast<std::int32_t>(impulse);
}

bool ChannelBoxAfterClick(bool clickedNowChecked, bool otherChecked) {
    return clickedNowChecked || !otherChecked;
}

} // namespace tarvola
