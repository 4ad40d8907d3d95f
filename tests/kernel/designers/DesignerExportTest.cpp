#include "kernel/designers/DesignerExport.h"

#include "audio/Numerics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tarvola {
namespace {

TEST(DesignerExport, PlacesImpulsesOnlyInsideTheKernelsRange) {
    const std::int32_t intMax = std::numeric_limits<std::int32_t>::max();
    const struct {
        std::int32_t target;
        std::int64_t offset;
        bool fits;
    } cases[] = {
        {0, 0, true},
        {100, -5, true},
        {100000000, 0, true},
        {99999999, 1, true},
        {99999999, 2, false},
        {-100000000, 0, true},
        {-100000000, -1, false},
        {intMax, 1, false},
        {0, std::numeric_limits<std::int64_t>::max(), false},
        {-1, std::numeric_limits<std::int64_t>::min(), false},
    };
    for (const auto& c : cases) {
        if (c.fits)
            EXPECT_EQ(DesignerImpulse(c.target, c.offset), c.target + c.offset);
        else
            EXPECT_THROW(DesignerImpulse(c.target, c.offset), RangeError) << c.target << " + " << c.offset;
    }
}

TEST(DesignerExport, OneChannelBoxAlwaysStaysChecked) {
    // (clicked box after the click, other box) -> clicked box's final state
    EXPECT_TRUE(ChannelBoxAfterClick(true, true));
    EXPECT_TRUE(ChannelBoxAfterClick(true, false));
    EXPECT_FALSE(ChannelBoxAfterClick(false, true));
    EXPECT_TRUE(ChannelBoxAfterClick(false, false)) << "unticking the last box ticks it again";
}

} // namespace
} // namespace tarvola
