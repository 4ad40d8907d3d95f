#include "kernel/ImpulseClipboard.h"

#include "base/Numerics.h"

#include <algorithm>

namespace tarvola {

TImpulseClipboard::TImpulseClipboard(KernelModel& model) : model_(model) {}

void TImpulseClipboard::FreeClipboard() {
    clipList_.reset();
}

void TImpulseClipboard::NewClipboard() {
    FreeClipboard();
    clipList_ = std::make_unique<TobjMemoryList>(static_cast<int>(kImpulseRecSize));
}

void TImpulseClipboard::CopySelection() {
    NewClipboard();
    CopyToClipboard(*model_.CurrentKernel, model_.Selection.FirstIndex, model_.Selection.LastIndex);
}

void TImpulseClipboard::CopyToClipboard(const TobjHistData& list, std::int32_t first, std::int32_t last) {
    if (!clipList_)
        NewClipboard();
    clipList_->Clear();
    if (first != -1 && last != -1 && first <= last) {
        CheckIndex(first, list.Count());
        CheckIndex(last, list.Count());
        for (std::int32_t i = first; i <= last; ++i)
            clipList_->Add(list.RecordBytes(i));
    }
    clipLow_ = model_.Selection.LowImpulse;
    clipHigh_ = model_.Selection.HighImpulse;
}

TImpulseRec TImpulseClipboard::Record(std::int32_t index) const {
    CheckIndex(index, ClipCount());
    return DecodeImpulseRec(clipList_->Slot(index));
}

bool TImpulseClipboard::Moved(std::int32_t index, std::int64_t delta, TImpulseRec& rec) const {
    rec = Record(index);
    const std::int64_t impulse = std::int64_t{rec.Impulse} + delta;
    if (!ImpulseInDomain(impulse))
        return false;
    rec.Impulse = static_cast<std::int32_t>(impulse);
    return true;
}

// A moved clipboard spans its lowest to its highest moved record; one that stays in place keeps the copied
// selection's ends.
TImpulseClipboard::Placement TImpulseClipboard::PlaceAtSelection(bool move) const {
    Placement placement{0, clipLow_, clipHigh_};
    if (!move)
        return placement;
    placement.delta = std::int64_t{model_.Selection.LowImpulse} - clipLow_;
    if (placement.delta == 0)
        return placement;
    bool any = false;
    for (std::int32_t i = 0; i < ClipCount(); ++i) {
        TImpulseRec rec;
        if (!Moved(i, placement.delta, rec))
            continue;
        placement.low = any ? std::min(placement.low, rec.Impulse) : rec.Impulse;
        placement.high = any ? std::max(placement.high, rec.Impulse) : rec.Impulse;
        any = true;
    }
    return placement;
}

std::int32_t TImpulseClipboard::LastPasted() const {
    return static_cast<std::int32_t>(
        std::min(std::int64_t{model_.Selection.Width} - 1, std::int64_t{ClipLastIndex()}));
}

bool TImpulseClipboard::PasteOverwrite() {
    if (ClipCount() < 1)
        return true;
    TobjHistData& kernel = *model_.CurrentKernel;
    const Placement placement = PlaceAtSelection(!model_.MirrorInProgress);
    bool placed = true;
    for (std::int32_t i = 0; i <= LastPasted(); ++i) {
        TImpulseRec rec;
        if (!Moved(i, placement.delta, rec))
            continue;
        if (rec.Impulse > model_.CurrentEditorBounds->HighImpulse)
            break;
        std::int32_t at = kernel.AddOrMerge(rec, TMergeMode::Keep);
        if (at == kMergeRefused) {
            placed = false;
            break;
        }
        if (at == -1) {
            at = model_.LastKeptIndex;
            kernel.PutRecord(rec, at);
        }
        if (kernel.Impulse(at) < 0 && kernel.Kind(at) == TSourceKind::Output)
            kernel.SetKind(at, TSourceKind::Input);
    }
    if (model_.Selection.FirstIndex == -1)
        model_.Selection.FirstIndex = kernel.Find(placement.low, 0, TFindMode::Exact);
    if (model_.Selection.LastIndex == -1)
        model_.Selection.LastIndex = kernel.Find(placement.high, 0, TFindMode::Exact);
    return placed;
}

bool TImpulseClipboard::PasteMix(TobjHistData& workingList) {
    if (ClipBytes() < static_cast<std::int32_t>(kImpulseRecSize))
        return true;
    TobjHistData& kernel = *model_.CurrentKernel;
    const Placement placement = PlaceAtSelection(true);
    for (std::int32_t i = 0; i <= LastPasted(); ++i) {
        TImpulseRec rec;
        if (!Moved(i, placement.delta, rec))
            continue;
        if (rec.Impulse < 0 && rec.Kind == TSourceKind::Output)
            rec.Kind = TSourceKind::Input;
        TImpulseRec working = rec;
        if (kernel.AddOrMerge(rec, TMergeMode::Mix) == kMergeRefused)
            return false;
        workingList.AddOrMerge(working, TMergeMode::Mix);
    }
    return true;
}

} // namespace tarvola
