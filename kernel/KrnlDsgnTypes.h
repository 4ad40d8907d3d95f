// The kernel designer's data model: per stereo channel a sparse kernel of impulse records kept in ascending
// order of impulse (TobjHistData), ten saved views of each channel's kernel, the span the editor shows,
// per-channel statistics and the current selection, all held in one KernelModel (the kernel designer window
// owns the program's; its controller is the model's only writer).
//
// Reading a kernel (the convolution, the histograms):
//   const TobjHistData& k = *model.CurrentKernel;     // or model.LeftKernel / RightKernel
//   k.Count()                                         // records, at most 10,240
//   k.Impulse(i), k.Value(i), k.Kind(i)               // record i (0 .. Count() - 1): its delay in frames
//                                                     // (may be negative), its gain as long double and its
//                                                     // source kind (Pass, Input, Output)
//   k.Record(i)                                       // the whole record as a TImpulseRec
//   k.Records()                                       // every record, in order, in one vector
// Records ascend strictly by Impulse, and every impulse lies in the domain |impulse| < 100,000,000
// (ImpulseInDomain). A position outside the list raises RangeError. Records change in place with
// SetValue, SetKind, SetSelected, SetBar and SetRecord (no notification; SetRecord must keep the order).
//
// Each record is held as its 32-byte file image (EncodeImpulseRec / DecodeImpulseRec): the value as a
// 10-byte x87 extended field, then the impulse, the kind, the cached bar rectangle and the selected byte,
// all little-endian and unaligned; RecordBytes(i) gives that image. TViewBounds and TChannelStats are
// stored as 17 and 6 little-endian 32-bit fields.
#pragma once

#include "audio/MemList.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace tarvola {

// ---- Limits and record layouts -------------------------------------------------------------------------

constexpr std::int32_t kMaxKernelRecords = 10240;
// The Find sentinels; an impulse must lie strictly between them to be found, so it is the impulse domain.
constexpr std::int32_t kImpulseLimit = 100000000;
constexpr int kViewCount = 10;

constexpr std::size_t kImpulseRecSize = 32;
constexpr std::size_t kViewBoundsSize = 68;
constexpr std::size_t kChannelStatsSize = 24;

// True when an impulse can be stored in a kernel and found again: |impulse| < 100,000,000.
constexpr bool ImpulseInDomain(std::int64_t impulse) {
    return impulse > -kImpulseLimit && impulse < kImpulseLimit;
}

enum class TSourceKind : std::uint8_t {
    Pass = 0,   // ignored by processing
    Input = 1,  // a tap on the input signal
    Output = 2, // a feedback tap on the processed signal
};

// The bar last drawn for a record on screen (cached by the histograms).
struct TBarRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    bool operator==(const TBarRect&) const = default;
};

struct TImpulseRec {
    long double Value = 0;
    std::int32_t Impulse = 0;
    TSourceKind Kind = TSourceKind::Pass;
    TBarRect Bar;
    bool Selected = false;
    bool operator==(const TImpulseRec&) const = default;
};

using ImpulseRecBytes = std::array<std::uint8_t, kImpulseRecSize>;

ImpulseRecBytes EncodeImpulseRec(const TImpulseRec& rec);
// Reads 32 bytes. Bytes no record of ours holds are read as the nearest sound record: a kind above 2 as
// Pass, a value that is not a finite number (NaN, infinity, or an unnormal an x87 refuses) as 0, and any
// non-zero selected byte as selected.
TImpulseRec DecodeImpulseRec(const std::uint8_t* bytes);

// A column of a histogram and the record standing at it: (relative position, record index, impulse).
struct TColumnTriple {
    std::int32_t Column;
    std::int32_t Index;
    std::int32_t Impulse;
    bool operator==(const TColumnTriple&) const = default;
};
constexpr TColumnTriple NoRecord{-1, -1, 0};

// A span of impulses of one channel's kernel. "Rel" positions count columns from the current view's
// LowImpulse. Stored raw in the state and preset files, in this field order.
struct TViewBounds {
    std::int32_t RelLow = 0;
    std::int32_t LowIndex = 0;   // record exactly at LowImpulse, else -1
    std::int32_t LowImpulse = 0; // first impulse of the span
    std::int32_t RelHigh = 0;
    std::int32_t HighIndex = 0; // record exactly at HighImpulse, else -1
    std::int32_t HighImpulse = 0;
    std::int32_t FirstRel = 0;
    std::int32_t FirstIndex = 0; // first record inside, -1 when none
    std::int32_t FirstImpulse = 0;
    std::int32_t LastRel = 0;
    std::int32_t LastIndex = 0; // last record inside, -1 when none
    std::int32_t LastImpulse = 0;
    std::int32_t ZeroColumn = 0; // -LowImpulse
    std::int32_t ZeroIndex = 0;  // record at impulse 0, -1 when none
    std::int32_t Reserved = 0;
    std::int32_t Width = 0; // HighImpulse - LowImpulse + 1
    std::int32_t Count = 0; // records inside
    bool operator==(const TViewBounds&) const = default;
};
using TViewArray = std::array<TViewBounds, kViewCount>;

struct TChannelStats {
    std::int32_t Count = 0;   // records in the channel's kernel
    std::int32_t Lowest = 0;  // lowest impulse reached (informational)
    std::int32_t Highest = 0; // highest impulse reached (informational)
    std::int32_t ZeroColumn = 0;
    std::int32_t ZeroIndex = 0; // index of the impulse-zero record, -1 when none
    std::int32_t Reserved = 0;
    bool operator==(const TChannelStats&) const = default;
};

struct TSelectionRec {
    std::int32_t LowImpulse;
    std::int32_t HighImpulse;
    std::int32_t FirstIndex; // first record at or above LowImpulse, -1 when none
    std::int32_t LastIndex;  // last record inside, -1 when none
    std::int32_t Count;      // records inside
    std::int32_t ByteSize;   // Count * 32
    std::int32_t Width;      // HighImpulse - LowImpulse + 1
    bool operator==(const TSelectionRec&) const = default;
};

constexpr TSelectionRec EmptySelection{-kImpulseLimit, kImpulseLimit, -1, -1, 0, 0, 0};
constexpr TImpulseRec InputTemplate{0, 0, TSourceKind::Input, {}, false};

using ViewBoundsBytes = std::array<std::uint8_t, kViewBoundsSize>;
using ChannelStatsBytes = std::array<std::uint8_t, kChannelStatsSize>;
ViewBoundsBytes EncodeViewBounds(const TViewBounds& bounds);
TViewBounds DecodeViewBounds(const std::uint8_t* bytes);
ChannelStatsBytes EncodeChannelStats(const TChannelStats& stats);
TChannelStats DecodeChannelStats(const std::uint8_t* bytes);

// ---- The kernel list -----------------------------------------------------------------------------------

class KernelModel;

enum class TFindMode : std::uint8_t {
    Exact = 0,          // the first record from StartIndex upward at exactly the impulse
    FirstAtOrAbove = 1, // the first record from StartIndex upward at or above the impulse
    LastAtOrBelow = 2,  // the last record at or below the impulse, not below StartIndex
};

// Result codes of FindRange.
enum class TRangeResult : std::uint8_t {
    Inside = 0,     // records lie inside: First..Last
    NoneInside = 1, // records on both sides, none inside: First = Last = the first record above
    NoneAbove = 2,  // no record at or above Low: First = Count, Last = -1
    NoneBelow = 3,  // no record at or below High: First = -1, Last = 0
    Empty = 4,      // empty list: First and Last unchanged
};

enum class TMergeMode : std::uint8_t { Keep = 0, Overwrite = 1, Mix = 2 };

// AddOrMerge's result when the record needed a new place and the kernel is full.
constexpr std::int32_t kMergeRefused = -2;

// One channel's kernel: at most 10,240 records in strictly ascending order of impulse. The operations
// marked "notifying" recompute the model's bounds and statistics and fire OnChange when Notify is set.
class TobjHistData : private TobjMemoryList {
public:
    explicit TobjHistData(KernelModel& model);

    bool Notify = true;
    std::function<void()> OnChange;

    std::int32_t Count() const { return TobjMemoryList::Count(); }
    std::int32_t LastIndex() const { return TobjMemoryList::LastIndex(); }
    bool IsFull() const { return Count() >= kMaxKernelRecords; }

    std::int32_t Impulse(std::int32_t index) const;
    long double Value(std::int32_t index) const;
    TSourceKind Kind(std::int32_t index) const;
    TImpulseRec Record(std::int32_t index) const;
    std::vector<TImpulseRec> Records() const;
    const std::uint8_t* RecordBytes(std::int32_t index) const { return Slot(index); }

    std::int32_t Find(std::int32_t impulse, std::int32_t startIndex, TFindMode mode) const;
    TRangeResult FindRange(std::int32_t low, std::int32_t high, std::int32_t& first,
                           std::int32_t& last) const;

    // In-place changes, without notification.
    void SetValue(std::int32_t index, long double value);
    void SetKind(std::int32_t index, TSourceKind kind);
    void SetSelected(std::int32_t index, bool selected);
    void SetBar(std::int32_t index, const TBarRect& bar);
    void SetRecord(std::int32_t index, const TImpulseRec& rec); // the caller keeps the order
    // Empties the list, without notification.
    using TobjMemoryList::Clear;
    // Replaces every record (at most 10,240, ascending), without notification.
    void LoadRecords(const std::vector<TImpulseRec>& records);

    // Empties this list (without notification), then Adds (notifying) Source's records First..Last when
    // 0 <= First <= Last.
    void CopyRange(const TobjHistData& source, std::int32_t firstIndex, std::int32_t lastIndex);

    // Notifying list operations. Add returns the new index, or -1 when the list is full; Insert returns
    // False when the list is full.
    void PutRecord(const TImpulseRec& rec, std::int32_t index);
    bool Insert(const TImpulseRec& rec, std::int32_t index);
    void Delete(std::int32_t index, std::int32_t count);
    std::int32_t Add(const TImpulseRec& rec);
    void Reverse(std::int32_t firstIndex, std::int32_t lastIndex);

    // Places rec by its impulse. A new impulse is added or inserted (notifying): the result is its index,
    // or kMergeRefused when the kernel is full. At an existing impulse (changed in place, not notifying):
    // Keep leaves it, sets the model's LastKeptIndex and gives -1; Overwrite takes rec's value and kind and
    // gives the index; Mix adds rec's value (Output wins over Input; an existing Pass record is replaced
    // whole and gives -1; a Pass rec changes nothing and gives -1). A negative-impulse Output rec becomes
    // Input first. Raises RangeError for an impulse outside the domain.
    std::int32_t AddOrMerge(TImpulseRec& rec, TMergeMode mode);

private:
    void Changed(std::int32_t viewHint, std::int32_t editorHint);

    KernelModel& model_;
};

// ---- The model -----------------------------------------------------------------------------------------

class KernelModel {
public:
    KernelModel();
    KernelModel(const KernelModel&) = delete;
    KernelModel& operator=(const KernelModel&) = delete;

    std::int32_t ViewNumber = 1; // 1 to 10: which view is current
    std::int32_t Channel = 1;    // 1 left, 2 right
    TSelectionRec Selection = EmptySelection;

    TobjHistData LeftKernel;
    TobjHistData RightKernel;
    TobjHistData* CurrentKernel;

    TViewArray LeftViews{};
    TViewArray RightViews{};
    TViewArray* CurrentViews;

    TViewBounds LeftEditorBounds{};
    TViewBounds RightEditorBounds{};
    TViewBounds* CurrentEditorBounds;

    TChannelStats LeftStats{};
    TChannelStats RightStats{};
    TChannelStats* CurrentStats;

    std::int32_t LastKeptIndex = -1;
    bool MirrorInProgress = false;

    // Makes the channel's kernel, views, editor bounds and statistics current (1 left, 2 right).
    void SelectChannel(std::int32_t channel);

    // The channel's own records (1 left, 2 right); RangeError for another number.
    TobjHistData& KernelOf(std::int32_t channel);
    TViewArray& ViewsOf(std::int32_t channel);
    TViewBounds& EditorBoundsOf(std::int32_t channel);
    TChannelStats& StatsOf(std::int32_t channel);
    // The channel of a kernel list: 1, 2, or 0 for a list that is neither kernel.
    std::int32_t ChannelOf(const TobjHistData& list) const;

    // The ViewNumber-th view of CurrentViews (RangeError when ViewNumber is outside 1..10).
    TViewBounds& CurrentView();

    // In all ten current views: ZeroIndex := index, ZeroColumn := -LowImpulse.
    void SetZeroIndex(std::int32_t index);
    // Selection := the records of the current kernel in low..high (or EmptySelection on reset); clears the
    // Selected flag of every record outside it.
    void SelectImpulses(std::int32_t low, std::int32_t high, bool reset);
    // Recomputes a bounds record from its LowImpulse and HighImpulse against the current kernel and view.
    // FirstIndexHint, when it is the first record at or above LowImpulse, saves the search; any other hint
    // is ignored. The result is the number of records inside.
    std::int32_t RecomputeBounds(TViewBounds& bounds, std::int32_t firstIndexHint);
    // The same against a given kernel, relative to a given view.
    static std::int32_t RecomputeBoundsFor(const TobjHistData& kernel, std::int32_t viewLowImpulse,
                                           TViewBounds& bounds, std::int32_t firstIndexHint);
    // Updates the channel's statistics from its own kernel and current view; the result is its count.
    std::int32_t UpdateChannelStats(std::int32_t channel);

    // The designer's start: each kernel holds only its impulse-zero record (value 1.0, Input); view 1 of
    // each channel spans -400..400 and the other views copy it; both editor bounds span -10..10; both
    // statistics name the one record; ViewNumber 1. The current channel is kept.
    void ResetToDefaults();
    // The bounds records of that start, before they are recomputed against a kernel.
    static TViewBounds DefaultViewBounds();
    static TViewBounds DefaultEditorBounds();
    static TChannelStats DefaultStats();
};

} // namespace tarvola
