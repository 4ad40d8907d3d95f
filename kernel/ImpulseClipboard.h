// The kernel designer's own clipboard of impulse records (not the system clipboard). Copy takes the
// records of the current selection of the current kernel; Paste Overwrite and Paste Mix put them into the
// current kernel at the current selection. It survives channel and view changes; a drag in the editor
// empties it.
//
// The clipboard keeps the records as they were copied, with the low end of the copied selection as their
// origin (ClipLow). Each paste moves a copy of them so that this origin lands on the selection's low
// impulse: the same clipboard pasted twice keeps the same gaps. Records that would land outside the
// impulse domain are skipped.
#pragma once

#include "audio/MemList.h"
#include "kernel/KrnlDsgnTypes.h"

#include <cstdint>
#include <memory>

namespace tarvola {

class TImpulseClipboard {
public:
    explicit TImpulseClipboard(KernelModel& model);

    // Drops the list: both pastes do nothing until the next copy.
    void FreeClipboard();
    // A new, empty list.
    void NewClipboard();
    // NewClipboard, then CopyToClipboard of the current kernel's selected records.
    void CopySelection();
    // The clipboard := List's records First..Last (none when either is -1), with the selection's low and
    // high impulse as its origin and end.
    void CopyToClipboard(const TobjHistData& list, std::int32_t first, std::int32_t last);

    // Puts the records, at most Selection.Width of them, into the current kernel in keep mode, replacing a
    // record at the same impulse whole; stops at the first record beyond the editor's high impulse. False
    // when the kernel was full and a record could not be placed (the paste stops there).
    bool PasteOverwrite();
    // Mixes the records, at most Selection.Width of them, into the current kernel and into the editor's
    // working list. False when the kernel was full and a record could not be placed (the paste stops there).
    bool PasteMix(TobjHistData& workingList);

    bool HasList() const { return clipList_ != nullptr; }
    std::int32_t ClipCount() const { return clipList_ ? clipList_->Count() : 0; }
    std::int32_t ClipLastIndex() const { return ClipCount() - 1; }
    std::int32_t ClipBytes() const { return ClipCount() * static_cast<std::int32_t>(kImpulseRecSize); }
    std::int32_t ClipLow() const { return clipLow_; }
    std::int32_t ClipHigh() const { return clipHigh_; }
    // Clipboard record Index as copied.
    TImpulseRec Record(std::int32_t index) const;

private:
    // How far a paste moves the records, and the impulses the moved records span.
    struct Placement {
        std::int64_t delta;
        std::int32_t low, high;
    };
    Placement PlaceAtSelection(bool move) const;
    // Clipboard record Index moved by Delta, or false when it would leave the impulse domain.
    bool Moved(std::int32_t index, std::int64_t delta, TImpulseRec& rec) const;
    // The clipboard records a paste visits: at most Selection.Width of them.
    std::int32_t LastPasted() const;

    KernelModel& model_;
    std::unique_ptr<TobjMemoryList> clipList_;
    std::int32_t clipLow_ = 0;
    std::int32_t clipHigh_ = 0;
};

} // namespace tarvola
