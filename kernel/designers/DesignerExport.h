// DesignerExport: how the effect designers (filter, echo, resonance, reverb) write what they generated
// into the kernel model. A designer only computes its records and its span; this unit does the rest.
//
//   - Placing: DesignerImpulse(T, offset) is T + offset, checked. Every generated impulse must lie within
//     the kernel's impulse domain, strictly between -100,000,000 and 100,000,000 (the sentinels the
//     kernel's searches use); beyond it, or on overflow, it raises RangeError with a text for the user, so a
//     designer fails before it writes anything.
//   - Export rules (TExportRules): overwrite or mix, at the target impulse, into the left channel, the right
//     channel or both. The dialog's "Overwrite kernel"/"Mix into kernel" radio buttons give the mode, the
//     "Left Channel"/"Right Channel" boxes the channels; ChannelBoxAfterClick keeps one box checked.
//   - Writing: ExportToKernels(records, span, rules, left kernel, right kernel). For each chosen kernel,
//     left (channel 1) first: overwrite deletes the kernel's records inside the designer's span and then
//     merges every record with AddOrMerge in overwrite mode; mix merges in mix mode and deletes nothing.
//     Records are merged in the order given. A record that no longer fits a full kernel (10,240 records)
//     is dropped without a message. Both kernels' change notification is off while they are written and
//     is put back afterwards, on every exit path, without firing: the caller refreshes its views and
//     records its undo entry once the dialog has closed.
#pragma once

#include "kernel/KrnlDsgnTypes.h"

#include <cstdint>
#include <vector>

namespace tarvola {

// Text of the RangeError raised by DesignerImpulse.
constexpr const char* kImpulseOutOfRangeText = "The generated impulses would lie outside the kernel's range\r"
                                               "(-99999999 to 99999999). Choose another target impulse.";

// Target + offset; raises RangeError (kImpulseOutOfRangeText) when it lies outside the impulse domain.
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

// The impulses an overwrite clears: low..high, both included.
struct TImpulseSpan {
    std::int32_t low = 0;
    std::int32_t high = 0;
};

// Switches the change notification of both kernels off, and back to what it was when the guard goes.
class KernelNotifySuspension {
public:
    KernelNotifySuspension(TobjHistData& left, TobjHistData& right);
    ~KernelNotifySuspension();
    KernelNotifySuspension(const KernelNotifySuspension&) = delete;
    KernelNotifySuspension& operator=(const KernelNotifySuspension&) = delete;

private:
    TobjHistData& left_;
    TobjHistData& right_;
    bool leftWas_;
    bool rightWas_;
};

// Writes the records into the kernels the rules choose (see the top of this file). The records' impulses
// are expected in the domain (DesignerImpulse); AddOrMerge raises RangeError otherwise.
void ExportToKernels(const std::vector<TImpulseRec>& records, TImpulseSpan span, const TExportRules& rules,
                     TobjHistData& leftKernel, TobjHistData& rightKernel);

} // namespace tarvola
