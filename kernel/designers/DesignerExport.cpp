#include "kernel/designers/DesignerExport.h"

#include "base/Numerics.h"

namespace tarvola {

namespace {

// Deletes the kernel's records inside the span, when there are any.
void ClearSpan(TobjHistData& kernel, TImpulseSpan span) {
    std::int32_t first = 0;
    std::int32_t last = 0;
    if (kernel.FindRange(span.low, span.high, first, last) == TRangeResult::Inside)
        kernel.Delete(first, CheckedAdd(CheckedSub(last, first), 1));
}

void MergeRecords(TobjHistData& kernel, const std::vector<TImpulseRec>& records, TMergeMode mode) {
    for (const TImpulseRec& record : records) {
        TImpulseRec copy = record; // AddOrMerge may turn a negative Output record into Input
        kernel.AddOrMerge(copy, mode);
    }
}

} // namespace

std::int32_t DesignerImpulse(std::int32_t target, std::int64_t offset) {
    std::int64_t impulse = 0;
    if (__builtin_add_overflow(static_cast<std::int64_t>(target), offset, &impulse) ||
        !ImpulseInDomain(impulse))
        throw RangeError(kImpulseOutOfRangeText);
    return static_cast<std::int32_t>(impulse);
}

bool ChannelBoxAfterClick(bool clickedNowChecked, bool otherChecked) {
    return clickedNowChecked || !otherChecked;
}

KernelNotifySuspension::KernelNotifySuspension(TobjHistData& left, TobjHistData& right)
    : left_(left), right_(right), leftWas_(left.Notify), rightWas_(right.Notify) {
    left_.Notify = false;
    right_.Notify = false;
}

KernelNotifySuspension::~KernelNotifySuspension() {
    left_.Notify = leftWas_;
    right_.Notify = rightWas_;
}

void ExportToKernels(const std::vector<TImpulseRec>& records, TImpulseSpan span, const TExportRules& rules,
                     TobjHistData& leftKernel, TobjHistData& rightKernel) {
    KernelNotifySuspension quiet(leftKernel, rightKernel);
    TobjHistData* const chosen[] = {rules.left ? &leftKernel : nullptr, rules.right ? &rightKernel : nullptr};
    const bool overwrite = rules.mode == TExportMode::Overwrite;
    if (overwrite)
        for (TobjHistData* kernel : chosen)
            if (kernel)
                ClearSpan(*kernel, span);
    for (TobjHistData* kernel : chosen)
        if (kernel)
            MergeRecords(*kernel, records, overwrite ? TMergeMode::Overwrite : TMergeMode::Mix);
}

} // namespace tarvola
