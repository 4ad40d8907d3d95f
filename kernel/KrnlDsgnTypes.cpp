#include "kernel/KrnlDsgnTypes.h"

#include "base/ByteOrder.h"
#include "base/Extended80.h"
#include "base/Numerics.h"

#include <algorithm>

namespace tarvola {

namespace {

// The fields of the 32-byte record.
constexpr std::size_t kValueOffset = 0;
constexpr std::size_t kImpulseOffset = 10;
constexpr std::size_t kKindOffset = 14;
constexpr std::size_t kBarOffset = 15;
constexpr std::size_t kSelectedOffset = 31;

// An x87 refuses to compute with an unnormal (exponent set, integer bit clear), a pseudo-infinity or a
// pseudo-NaN, and NaN and infinity are no gain either: such a stored value is read as 0.
bool IsSoundExtended(const std::uint8_t* bytes) {
    const Extended80Encoding encoding = ClassifyExtendedLE(bytes);
    return encoding == Extended80Encoding::Number || encoding == Extended80Encoding::PseudoDenormal;
}

// The fields of TViewBounds and TChannelStats in stored order.
template <typename Record, std::size_t N>
using FieldList = std::array<std::int32_t Record::*, N>;

constexpr FieldList<TViewBounds, 17> kViewBoundsFields = {
    &TViewBounds::RelLow,     &TViewBounds::LowIndex,   &TViewBounds::LowImpulse,
    &TViewBounds::RelHigh,    &TViewBounds::HighIndex,  &TViewBounds::HighImpulse,
    &TViewBounds::FirstRel,   &TViewBounds::FirstIndex, &TViewBounds::FirstImpulse,
    &TViewBounds::LastRel,    &TViewBounds::LastIndex,  &TViewBounds::LastImpulse,
    &TViewBounds::ZeroColumn, &TViewBounds::ZeroIndex,  &TViewBounds::Reserved,
    &TViewBounds::Width,      &TViewBounds::Count};

constexpr FieldList<TChannelStats, 6> kChannelStatsFields = {
    &TChannelStats::Count,      &TChannelStats::Lowest,    &TChannelStats::Highest,
    &TChannelStats::ZeroColumn, &TChannelStats::ZeroIndex, &TChannelStats::Reserved};

template <typename Record, std::size_t N>
std::array<std::uint8_t, 4 * N> EncodeFields(const Record& record, const FieldList<Record, N>& fields) {
    std::array<std::uint8_t, 4 * N> out{};
    for (std::size_t i = 0; i < N; ++i)
        PutLE<std::int32_t>(out.data() + 4 * i, record.*fields[i]);
    return out;
}

template <typename Record, std::size_t N>
Record DecodeFields(const std::uint8_t* bytes, const FieldList<Record, N>& fields) {
    Record record{};
    for (std::size_t i = 0; i < N; ++i)
        record.*fields[i] = GetLE<std::int32_t>(bytes + 4 * i);
    return record;
}

std::int32_t SpanWidth(std::int32_t low, std::int32_t high) {
    return CheckedAdd(CheckedSub(high, low), 1);
}

// True when hint is the first record at or above low, so that the search can be skipped.
bool IsFirstAtOrAbove(const TobjHistData& kernel, std::int32_t hint, std::int32_t low) {
    if (hint < 0 || hint >= kernel.Count() || kernel.Impulse(hint) < low)
        return false;
    return hint == 0 || kernel.Impulse(hint - 1) < low;
}

void SetZeroIndexOf(TViewArray& views, std::int32_t index) {
    for (TViewBounds& view : views) {
        view.ZeroIndex = index;
        view.ZeroColumn = CheckedSub(0, view.LowImpulse);
    }
}

} // namespace

// ---- Record codecs -------------------------------------------------------------------------------------

ImpulseRecBytes EncodeImpulseRec(const TImpulseRec& rec) {
    ImpulseRecBytes out{};
    const Extended80Bytes value = EncodeExtendedLE(rec.Value);
    std::copy(value.begin(), value.end(), out.begin() + kValueOffset);
    PutLE<std::int32_t>(out.data() + kImpulseOffset, rec.Impulse);
    out[kKindOffset] = static_cast<std::uint8_t>(rec.Kind);
    PutLE<std::int32_t>(out.data() + kBarOffset, rec.Bar.Left);
    PutLE<std::int32_t>(out.data() + kBarOffset + 4, rec.Bar.Top);
    PutLE<std::int32_t>(out.data() + kBarOffset + 8, rec.Bar.Right);
    PutLE<std::int32_t>(out.data() + kBarOffset + 12, rec.Bar.Bottom);
    out[kSelectedOffset] = rec.Selected ? 1 : 0;
    return out;
}

TImpulseRec DecodeImpulseRec(const std::uint8_t* bytes) {
    TImpulseRec rec;
    const std::uint8_t* value = bytes + kValueOffset;
    rec.Value = IsSoundExtended(value) ? DecodeExtendedLE(value) : 0.0L;
    rec.Impulse = GetLE<std::int32_t>(bytes + kImpulseOffset);
    const std::uint8_t kind = bytes[kKindOffset];
    rec.Kind = kind <= 2 ? static_cast<TSourceKind>(kind) : TSourceKind::Pass;
    rec.Bar.Left = GetLE<std::int32_t>(bytes + kBarOffset);
    rec.Bar.Top = GetLE<std::int32_t>(bytes + kBarOffset + 4);
    rec.Bar.Right = GetLE<std::int32_t>(bytes + kBarOffset + 8);
    rec.Bar.Bottom = GetLE<std::int32_t>(bytes + kBarOffset + 12);
    rec.Selected = bytes[kSelectedOffset] != 0;
    return rec;
}

ViewBoundsBytes EncodeViewBounds(const TViewBounds& bounds) {
    return EncodeFields(bounds, kViewBoundsFields);
}

TViewBounds DecodeViewBounds(const std::uint8_t* bytes) {
    return DecodeFields(bytes, kViewBoundsFields);
}

ChannelStatsBytes EncodeChannelStats(const TChannelStats& stats) {
    return EncodeFields(stats, kChannelStatsFields);
}

TChannelStats DecodeChannelStats(const std::uint8_t* bytes) {
    return DecodeFields(bytes, kChannelStatsFields);
}

// ---- TobjHistData --------------------------------------------------------------------------------------

TobjHistData::TobjHistData(KernelModel& model)
    : TobjMemoryList(static_cast<int>(kImpulseRecSize)), model_(model) {}

std::int32_t TobjHistData::Impulse(std::int32_t index) const {
    return GetLE<std::int32_t>(Slot(index) + kImpulseOffset);
}

long double TobjHistData::Value(std::int32_t index) const {
    return DecodeExtendedLE(Slot(index) + kValueOffset);
}

TSourceKind TobjHistData::Kind(std::int32_t index) const {
    return static_cast<TSourceKind>(Slot(index)[kKindOffset]);
}

TImpulseRec TobjHistData::Record(std::int32_t index) const {
    return DecodeImpulseRec(Slot(index));
}

std::vector<TImpulseRec> TobjHistData::Records() const {
    std::vector<TImpulseRec> out;
    out.reserve(static_cast<std::size_t>(Count()));
    for (std::int32_t i = 0; i < Count(); ++i)
        out.push_back(Record(i));
    return out;
}

// The records ascend strictly, so each mode is a binary search; its result is the record the scan
// described for each mode stops at, sentinels included: no impulse at or beyond +-100,000,000 is found.
std::int32_t TobjHistData::Find(std::int32_t impulse, std::int32_t startIndex, TFindMode mode) const {
    if (Count() == 0)
        return -1;
    if (startIndex < 0)
        throw RangeError("List index out of bounds (" + std::to_string(startIndex) + ")");
    if (startIndex > LastIndex())
        return -1;
    // The first position from startIndex whose impulse is at least (or, with orAbove, above) the impulse.
    const auto boundary = [&](bool strictlyAbove) {
        std::int32_t lo = startIndex, hi = Count();
        while (lo < hi) {
            const std::int32_t mid = lo + (hi - lo) / 2;
            const std::int32_t at = Impulse(mid);
            if (at < impulse || (strictlyAbove && at == impulse))
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    };
    switch (mode) {
    case TFindMode::Exact: {
        const std::int32_t i = boundary(false);
        return i < Count() && Impulse(i) == impulse ? i : -1;
    }
    case TFindMode::FirstAtOrAbove: {
        if (impulse <= -kImpulseLimit)
            return -1;
        const std::int32_t i = boundary(false);
        return i < Count() ? i : -1;
    }
    case TFindMode::LastAtOrBelow: {
        if (impulse >= kImpulseLimit)
            return -1;
        const std::int32_t i = boundary(true);
        return i > startIndex ? i - 1 : -1;
    }
    }
    throw RangeError("Unknown search mode");
}

TRangeResult TobjHistData::FindRange(std::int32_t low, std::int32_t high, std::int32_t& first,
                                     std::int32_t& last) const {
    if (Count() == 0)
        return TRangeResult::Empty;
    first = Find(low, 0, TFindMode::FirstAtOrAbove);
    if (first == -1) {
        first = Count();
        last = -1;
        return TRangeResult::NoneAbove;
    }
    last = Find(high, 0, TFindMode::LastAtOrBelow);
    if (last == -1) {
        last = 0;
        first = -1;
        return TRangeResult::NoneBelow;
    }
    if (first > last) {
        last = first;
        return TRangeResult::NoneInside;
    }
    return TRangeResult::Inside;
}

void TobjHistData::SetValue(std::int32_t index, long double value) {
    const Extended80Bytes bytes = EncodeExtendedLE(value);
    std::copy(bytes.begin(), bytes.end(), Slot(index) + kValueOffset);
}

void TobjHistData::SetKind(std::int32_t index, TSourceKind kind) {
    Slot(index)[kKindOffset] = static_cast<std::uint8_t>(kind);
}

void TobjHistData::SetSelected(std::int32_t index, bool selected) {
    Slot(index)[kSelectedOffset] = selected ? 1 : 0;
}

void TobjHistData::SetBar(std::int32_t index, const TBarRect& bar) {
    std::uint8_t* slot = Slot(index);
    PutLE<std::int32_t>(slot + kBarOffset, bar.Left);
    PutLE<std::int32_t>(slot + kBarOffset + 4, bar.Top);
    PutLE<std::int32_t>(slot + kBarOffset + 8, bar.Right);
    PutLE<std::int32_t>(slot + kBarOffset + 12, bar.Bottom);
}

void TobjHistData::SetRecord(std::int32_t index, const TImpulseRec& rec) {
    TobjMemoryList::PutRecord(EncodeImpulseRec(rec).data(), index);
}

void TobjHistData::LoadRecords(const std::vector<TImpulseRec>& records) {
    if (records.size() > static_cast<std::size_t>(kMaxKernelRecords))
        throw RangeError("Too many kernel records (" + std::to_string(records.size()) + ")");
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!ImpulseInDomain(records[i].Impulse) || (i > 0 && records[i - 1].Impulse >= records[i].Impulse))
            throw RangeError("Kernel records out of order at " + std::to_string(i));
    }
    Clear();
    for (const TImpulseRec& rec : records)
        TobjMemoryList::Add(EncodeImpulseRec(rec).data());
}

void TobjHistData::CopyRange(const TobjHistData& source, std::int32_t firstIndex, std::int32_t lastIndex) {
    std::vector<ImpulseRecBytes> copies;
    if (firstIndex >= 0 && firstIndex <= lastIndex) {
        CheckIndex(lastIndex, source.Count());
        for (std::int32_t i = firstIndex; i <= lastIndex; ++i) {
            copies.emplace_back();
            std::copy_n(source.Slot(i), kImpulseRecSize, copies.back().begin());
        }
    }
    Clear();
    for (const ImpulseRecBytes& bytes : copies) {
        TobjMemoryList::Add(bytes.data());
        Changed(LastIndex(), -1);
    }
}

void TobjHistData::PutRecord(const TImpulseRec& rec, std::int32_t index) {
    TobjMemoryList::PutRecord(EncodeImpulseRec(rec).data(), index);
    Changed(index, -1);
}

bool TobjHistData::Insert(const TImpulseRec& rec, std::int32_t index) {
    if (!TobjMemoryList::Insert(EncodeImpulseRec(rec).data(), index))
        return false;
    Changed(index, -1);
    return true;
}

void TobjHistData::Delete(std::int32_t index, std::int32_t count) {
    if (count == 0)
        return;
    TobjMemoryList::Delete(index, count);
    Changed(index - 1, -1);
}

std::int32_t TobjHistData::Add(const TImpulseRec& rec) {
    const std::int32_t index = TobjMemoryList::Add(EncodeImpulseRec(rec).data());
    if (index != -1)
        Changed(index, -1);
    return index;
}

void TobjHistData::Reverse(std::int32_t firstIndex, std::int32_t lastIndex) {
    if (lastIndex < firstIndex)
        return;
    TobjMemoryList::Reverse(firstIndex, lastIndex);
    Changed(firstIndex, 0);
}

std::int32_t TobjHistData::AddOrMerge(TImpulseRec& rec, TMergeMode mode) {
    model_.LastKeptIndex = -1;
    if (!ImpulseInDomain(rec.Impulse))
        throw RangeError("Impulse out of range (" + std::to_string(rec.Impulse) + ")");
    if (rec.Impulse < 0 && rec.Kind == TSourceKind::Output)
        rec.Kind = TSourceKind::Input;
    const std::int32_t i = Find(rec.Impulse, 0, TFindMode::FirstAtOrAbove);
    if (i == -1) {
        const std::int32_t added = Add(rec);
        return added == -1 ? kMergeRefused : added;
    }
    if (Impulse(i) != rec.Impulse)
        return Insert(rec, i) ? i : kMergeRefused;

    switch (mode) {
    case TMergeMode::Keep:
        model_.LastKeptIndex = i;
        return -1;
    case TMergeMode::Overwrite:
        SetValue(i, rec.Value);
        SetKind(i, rec.Kind);
        return i;
    case TMergeMode::Mix:
        if (rec.Kind == TSourceKind::Pass)
            return -1;
        if (Kind(i) == TSourceKind::Pass) {
            SetRecord(i, rec);
            return -1;
        }
        SetValue(i, Value(i) + rec.Value);
        if (Kind(i) == TSourceKind::Input)
            SetKind(i, rec.Kind);
        return i;
    }
    throw RangeError("Unknown merge mode");
}

// Only the current kernel's positions are what the current views describe; another list's indexes mean
// nothing there. Each kernel keeps its own channel's statistics.
void TobjHistData::Changed(std::int32_t viewHint, std::int32_t editorHint) {
    if (!Notify)
        return;
    if (this == model_.CurrentKernel) {
        model_.RecomputeBounds(model_.CurrentView(), viewHint);
        model_.RecomputeBounds(*model_.CurrentEditorBounds, editorHint);
    }
    if (OnChange)
        OnChange();
    if (const std::int32_t channel = model_.ChannelOf(*this); channel != 0)
        model_.UpdateChannelStats(channel);
}

// ---- KernelModel ---------------------------------------------------------------------------------------

KernelModel::KernelModel()
    : LeftKernel(*this), RightKernel(*this), CurrentKernel(&LeftKernel), CurrentViews(&LeftViews),
      CurrentEditorBounds(&LeftEditorBounds), CurrentStats(&LeftStats) {}

void KernelModel::SelectChannel(std::int32_t channel) {
    CurrentKernel = &KernelOf(channel);
    CurrentViews = &ViewsOf(channel);
    CurrentEditorBounds = &EditorBoundsOf(channel);
    CurrentStats = &StatsOf(channel);
    Channel = channel;
}

namespace {
void CheckChannel(std::int32_t channel) {
    if (channel != 1 && channel != 2)
        throw RangeError("Channel out of range (" + std::to_string(channel) + ")");
}
} // namespace

TobjHistData& KernelModel::KernelOf(std::int32_t channel) {
    CheckChannel(channel);
    return channel == 1 ? LeftKernel : RightKernel;
}

TViewArray& KernelModel::ViewsOf(std::int32_t channel) {
    CheckChannel(channel);
    return channel == 1 ? LeftViews : RightViews;
}

TViewBounds& KernelModel::EditorBoundsOf(std::int32_t channel) {
    CheckChannel(channel);
    return channel == 1 ? LeftEditorBounds : RightEditorBounds;
}

TChannelStats& KernelModel::StatsOf(std::int32_t channel) {
    CheckChannel(channel);
    return channel == 1 ? LeftStats : RightStats;
}

std::int32_t KernelModel::ChannelOf(const TobjHistData& list) const {
    if (&list == &LeftKernel)
        return 1;
    if (&list == &RightKernel)
        return 2;
    return 0;
}

TViewBounds& KernelModel::CurrentView() {
    CheckIndex(ViewNumber - 1, kViewCount);
    return (*CurrentViews)[static_cast<std::size_t>(ViewNumber - 1)];
}

void KernelModel::SetZeroIndex(std::int32_t index) {
    SetZeroIndexOf(*CurrentViews, index);
}

void KernelModel::SelectImpulses(std::int32_t low, std::int32_t high, bool reset) {
    TobjHistData& kernel = *CurrentKernel;
    TSelectionRec& s = Selection;
    if (reset) {
        s = EmptySelection;
    } else {
        s.LowImpulse = low;
        s.HighImpulse = high;
        s.FirstIndex = kernel.Find(low, 0, TFindMode::FirstAtOrAbove);
        if (s.FirstIndex == -1 || kernel.Impulse(s.FirstIndex) > high) {
            s.LastIndex = -1;
            s.Count = 0;
        } else {
            s.LastIndex = kernel.Find(high, s.FirstIndex, TFindMode::LastAtOrBelow);
            if (s.LastIndex == -1)
                s.LastIndex = s.FirstIndex;
            s.Count = s.LastIndex - s.FirstIndex + 1;
        }
        s.ByteSize = CheckedMul(s.Count, static_cast<std::int32_t>(kImpulseRecSize));
        s.Width = SpanWidth(low, high);
    }
    for (std::int32_t i = 0; i < s.FirstIndex && i < kernel.Count(); ++i)
        kernel.SetSelected(i, false);
    const std::int32_t firstAfter = s.LastIndex == -1 ? 0 : s.LastIndex + 1;
    for (std::int32_t i = firstAfter; i < kernel.Count(); ++i)
        kernel.SetSelected(i, false);
}

std::int32_t KernelModel::RecomputeBounds(TViewBounds& bounds, std::int32_t firstIndexHint) {
    return RecomputeBoundsFor(*CurrentKernel, CurrentView().LowImpulse, bounds, firstIndexHint);
}

std::int32_t KernelModel::RecomputeBoundsFor(const TobjHistData& kernel, std::int32_t viewLowImpulse,
                                             TViewBounds& b, std::int32_t firstIndexHint) {
    const std::int32_t low = b.LowImpulse;
    const std::int32_t high = b.HighImpulse;
    b.Width = SpanWidth(low, high);
    b.RelLow = CheckedSub(low, viewLowImpulse);
    b.RelHigh = CheckedSub(CheckedAdd(b.RelLow, b.Width), 1);
    b.LowIndex = kernel.Find(low, 0, TFindMode::Exact);
    b.HighIndex = kernel.Find(high, 0, TFindMode::Exact);
    b.ZeroColumn = CheckedSub(0, low);
    b.ZeroIndex = kernel.Find(0, 0, TFindMode::Exact);

    const std::int32_t first = IsFirstAtOrAbove(kernel, firstIndexHint, low)
                                   ? firstIndexHint
                                   : kernel.Find(low, 0, TFindMode::FirstAtOrAbove);
    if (first != -1 && kernel.Impulse(first) <= high) {
        b.FirstIndex = first;
        b.FirstImpulse = kernel.Impulse(first);
        b.FirstRel = CheckedAdd(CheckedSub(b.FirstImpulse, low), b.RelLow);
    } else {
        b.FirstRel = NoRecord.Column;
        b.FirstIndex = NoRecord.Index;
        b.FirstImpulse = NoRecord.Impulse;
    }
    if (b.FirstIndex != -1) {
        b.LastIndex = kernel.Find(high, b.FirstIndex, TFindMode::LastAtOrBelow);
        b.LastImpulse = kernel.Impulse(b.LastIndex);
        b.LastRel = CheckedAdd(CheckedSub(b.LastImpulse, low), b.RelLow);
    } else {
        b.LastRel = NoRecord.Column;
        b.LastIndex = NoRecord.Index;
        b.LastImpulse = NoRecord.Impulse;
    }
    b.Count = b.FirstIndex != -1 && b.LastIndex != -1 ? b.LastIndex - b.FirstIndex + 1 : 0;
    return b.Count;
}

// Lowest and Highest only ever widen, from the channel's current view; they are informational. The
// impulse-zero index is always found again, since processing turns that very record into an input tap.
std::int32_t KernelModel::UpdateChannelStats(std::int32_t channel) {
    TChannelStats& s = StatsOf(channel);
    const TobjHistData& kernel = KernelOf(channel);
    CheckIndex(ViewNumber - 1, kViewCount);
    TViewArray& views = ViewsOf(channel);
    const TViewBounds& v = views[static_cast<std::size_t>(ViewNumber - 1)];
    if (v.LastImpulse > s.Highest)
        s.Highest = v.LastImpulse;
    else if (v.FirstImpulse < s.Lowest)
        s.Lowest = v.FirstImpulse;
    s.ZeroIndex = kernel.Find(0, 0, TFindMode::Exact);
    if (v.FirstImpulse < 1)
        s.ZeroColumn = CheckedSub(1, s.Lowest);
    SetZeroIndexOf(views, s.ZeroIndex);
    s.Count = kernel.Count();
    return s.Count;
}

TViewBounds KernelModel::DefaultViewBounds() {
    TViewBounds b;
    b.LowImpulse = -400;
    b.HighImpulse = 400;
    b.Width = 801;
    b.ZeroColumn = 400;
    return b;
}

TViewBounds KernelModel::DefaultEditorBounds() {
    TViewBounds b;
    b.LowImpulse = -10;
    b.HighImpulse = 10;
    b.Width = 21;
    b.RelLow = 390;
    b.RelHigh = 410;
    b.ZeroColumn = 10;
    return b;
}

TChannelStats KernelModel::DefaultStats() {
    TChannelStats s;
    s.Count = 1;
    s.ZeroColumn = 400;
    return s;
}

void KernelModel::ResetToDefaults() {
    TImpulseRec zero = InputTemplate;
    zero.Value = 1.0L;
    ViewNumber = 1;
    for (std::int32_t channel = 1; channel <= 2; ++channel) {
        TobjHistData& kernel = KernelOf(channel);
        kernel.LoadRecords({zero});
        TViewArray& views = ViewsOf(channel);
        views.fill(DefaultViewBounds());
        for (TViewBounds& view : views)
            RecomputeBoundsFor(kernel, views[0].LowImpulse, view, -1);
        EditorBoundsOf(channel) = DefaultEditorBounds();
        RecomputeBoundsFor(kernel, views[0].LowImpulse, EditorBoundsOf(channel), -1);
        StatsOf(channel) = DefaultStats();
    }
}

} // namespace tarvola
