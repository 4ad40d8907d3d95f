// DesignerExport: how the effect designers (filter, echo, resonance, reverb) write what they generated
// into the kernel model. A designer only computes its records and its span; this unit does the rest.
//
//   - Placing: DesignerImpulse(T, offset) is T + offset, checked. Every generated impulse must lie within
//     the kernel's impulse range [-100,000,000, 100,000,000] (the sentinels the kernel's searches use);
//     beyond it, or on overflow, it raises RangeError with a text for the user, before anything is written.
//   - Export rules (TExportRules): overwrite or mix, at the target impulse, into the left channel, the right
//     channel or both. The dialog's "Overwrite kernel"/"Mix into kernel" radio buttons give the mode, the
//     "Left Channel"/"Right Channel" boxes the channels; ChannelBoxAfterClick keeps one box checked.
#pragma once

#include <cstdint>

namespace tarvola {

constexpr std::int32_t kLowestDesignerImpulse = -100000000;
constexpr std::int32_t kHighestDesignerImpulse = 100000000;

// Text of the RangeError raised by DesignerImpulse.
constexpr const char* kImpulseOutOfRangeText = "The generated impulses would lie outside the kernel's range\r"
                                               "(-100000000 to 100000000). Choose another target impulse.";

// Target + offset; raises RangeError (kImpulseOutOfRangeText) when it lies outside the kernel's range.
std::int32_t DesignerImpulse(std::int32_t target, std::int64_t offset);

enum class TExportMode : std::uint8_t { Overwrite = 0, Mix = 1 };

struct TExportRules {
    TExportMode mode = TExportMode::Overwrite;
    std::int32_t targetImpulse = 0;
    bool left = true;  // channel 1
    bool right = true; // channel 2
};

// A click on one channel box: the box's checked state after the click is `clickedNowChecked`; when that
// leaves both boxes unchecked, the clicked box is checked again. The result is the clicked box's state.
bool ChannelBoxAfterClick(bool clickedNowChecked, bool otherChecked);

} // namespace tarvola
