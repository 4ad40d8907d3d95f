#include "kernel/KernelDesignerController.h"

#include "base/Numerics.h"
#include "audio/TextOperations.h"
#include "kernel/FloatText.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace tarvola {

namespace {

// The undo descriptions of the Edit items by tag; Copy changes nothing and has none.
constexpr std::array<const char*, 12> kOperationUndo = {
    nullptr,   nullptr,  "Cut",    "Clear",   "Paste Overwrite", "Paste Mix",
    "Reverse", "Mirror", "Invert", "Amplify", "Block Adjust",    "Harmonize"};

constexpr const char* kEnterDatumUndo = "Enter Datum Value";
constexpr const char* kSetSourceUndo = "Set Audio Source";
constexpr const char* kShiftZeroUndo = "Shift Impulse Zero";
constexpr const char* kResetUndo = "Reset Kernel";

// Sets a kernel's Notify for the life of the object and puts the old value back, also on an error.
class NotifyOff {
public:
    explicit NotifyOff(TobjHistData& kernel) : kernel_(kernel), old_(kernel.Notify) { kernel.Notify = false; }
    ~NotifyOff() { kernel_.Notify = old_; }
    NotifyOff(const NotifyOff&) = delete;
    NotifyOff& operator=(const NotifyOff&) = delete;

private:
    TobjHistData& kernel_;
    bool old_;
};

// The records of a kernel from First to Last (none when First is -1).
std::vector<TImpulseRec> RecordsOf(const TobjHistData& kernel, std::int32_t first, std::int32_t last) {
    std::vector<TImpulseRec> records;
    if (first < 0 || last < first)
        return records;
    CheckIndex(last, kernel.Count());
    for (std::int32_t i = first; i <= last; ++i)
        records.push_back(kernel.Record(i));
    return records;
}

// The time read-out: seconds with thousands separators, up to 8 decimals.
std::string TimeText(std::int32_t impulse, std::int32_t sampleRate) {
    if (sampleRate < 1)
        return "0";
    const long double seconds = static_cast<long double>(impulse) / sampleRate;
    return FloatToStrF(seconds, TFloatFormat::ffNumber, 10, 8);
}

// Where the Mirror puts a copy of the record at Impulse; nothing when it leaves the impulse domain.
std::optional<std::int32_t> MirroredImpulse(const TMirrorResult& mirror, std::int32_t impulse,
                                            std::int32_t low, std::int32_t high) {
    const std::int64_t r = mirror.ReflectorImpulse;
    std::int64_t mirrored = 0;
    switch (mirror.Reflector) {
    case TReflector::ImpulseZero:
        mirrored = -std::int64_t{impulse};
        break;
    case TReflector::EditorLow:
    case TReflector::EditorLowMinus1:
        mirrored = r - 1 - (std::int64_t{impulse} - low);
        break;
    case TReflector::EditorHigh:
    case TReflector::EditorHighPlus1:
        mirrored = r + 1 - (std::int64_t{impulse} - high);
        break;
    default:
        throw RangeError("Unknown reflector (" + std::to_string(static_cast<std::int32_t>(mirror.Reflector)) +
                         ")");
    }
    if (!ImpulseInDomain(mirrored))
        return std::nullopt;
    return static_cast<std::int32_t>(mirrored);
}

} // namespace

// Mutes the controller's own spin handlers while it sets the controls itself.
class KernelDesignerController::Mute {
public:
    explicit Mute(KernelDesignerController& controller) : controller_(controller) { ++controller_.muted_; }
    ~Mute() { --controller_.muted_; }
    Mute(const Mute&) = delete;
    Mute& operator=(const Mute&) = delete;

private:
    KernelDesignerController& controller_;
};

KernelDesignerController::KernelDesignerController(KernelModel& model, TImpulseClipboard& clipboard,
                                                   TobjHistData& workingList, IKernelDesignerWindow& window)
    : model_(model), clipboard_(clipboard), working_(workingList), window_(window) {
    working_.Notify = false;
    model_.SelectChannel(1);
    model_.ResetToDefaults();
    model_.LeftKernel.OnChange = [this] { window_.ResetEditorRange(); };
    model_.RightKernel.OnChange = [this] { window_.ResetEditorRange(); };
    SelectEditorRange();
}

KernelDesignerController::~KernelDesignerController() {
    model_.LeftKernel.OnChange = nullptr;
    model_.RightKernel.OnChange = nullptr;
}

void KernelDesignerController::StartSession(const std::string& programFolder) {
    undoer_ = std::make_unique<TobjKernelUndoer>(programFolder);
    RecordUndo(kInitialDataUndo);
}

// ---- Shared refresh steps ------------------------------------------------------------------------------

void KernelDesignerController::RecomputeViewAndEditor() {
    model_.RecomputeBounds(model_.CurrentView(), -1);
    model_.RecomputeBounds(EditorBounds(), -1);
}

void KernelDesignerController::SelectEditorRange() {
    model_.SelectImpulses(EditorBounds().LowImpulse, EditorBounds().HighImpulse, false);
}

// ---- The editor's gestures

std::optional<TEditorGrab> KernelDesignerController::CreateColumn(std::int32_t impulse) {
    TImpulseRec rec = InputTemplate;
    rec.Impulse = impulse;
    rec.Selected = true;
    // Each list keeps a record it holds already at the impulse, and names it through LastKeptIndex.
    const auto add = [this, &rec](TobjHistData& list) {
        TImpulseRec added = rec;
        const std::int32_t index = list.AddOrMerge(added, TMergeMode::Keep);
        return index == -1 ? model_.LastKeptIndex : index;
    };
    TEditorGrab grab;
    grab.Kernel = add(*model_.CurrentKernel);
    if (grab.Kernel < 0)
        return std::nullopt; // the kernel is full
    grab.Working = add(working_);
    if (grab.Working < 0)
        return std::nullopt;
    window_.ResetEditorRange();
    SelectEditorRange();
    ShowCounts();
    gesture_.created = true;
    return grab;
}

void KernelDesignerController::DeleteColumn(const TEditorGrab& grab) {
    // Pending before the views update, so that the working list is not rebuilt until the release.
    gesture_.deleted = true;
    working_.Delete(grab.Working, 1);
    if (grab.Kernel >= 0)
        model_.CurrentKernel->Delete(grab.Kernel, 1);
    window_.ResetEditorRange();
    const TSelectionRec selection = model_.Selection;
    model_.SelectImpulses(selection.LowImpulse, selection.HighImpulse, false);
    window_.UpdateEditor();
    window_.UpdateViewer(false);
    ShowCounts();
}

bool KernelDesignerController::StartDrag(std::int32_t workingIndex) {
    clipboard_.FreeClipboard();
    return working_.Kind(workingIndex) != TSourceKind::Pass;
}

void KernelDesignerController::DragValue(const TEditorGrab& grab, long double value) {
    gesture_.changed = !gesture_.created;
    working_.SetValue(grab.Working, value);
    TobjHistData& kernel = *model_.CurrentKernel;
    if (grab.Kernel >= 0 && grab.Kernel < kernel.Count())
        kernel.SetValue(grab.Kernel, value);
}

void KernelDesignerController::EndGesture() {
    const Gesture done = std::exchange(gesture_, Gesture{});
    if (done.created)
        RecordUndo(kCreateColumnUndo);
    if (done.deleted)
        RecordUndo(kDeleteColumnUndo);
    if (done.changed)
        RecordUndo(kChangeValueUndo);
}

// ---- The editor range chosen in the histograms

void KernelDesignerController::ChooseEditorRange(const TColumnTriple& low, const TColumnTriple& high) {
    TViewBounds& editor = EditorBounds();
    editor.RelLow = low.Column;
    editor.LowIndex = low.Index;
    editor.LowImpulse = low.Impulse;
    editor.RelHigh = high.Column;
    editor.HighIndex = high.Index;
    editor.HighImpulse = high.Impulse;
    editor.Width = high.Column - low.Column + 1;
    editor.ZeroColumn = CheckedSub(0, low.Impulse);
    model_.RecomputeBounds(editor, -1);
    model_.SelectImpulses(low.Impulse, high.Impulse, false);
}

bool KernelDesignerController::SelectEditorSpan(std::int32_t low, std::int32_t high) {
    TViewBounds& editor = EditorBounds();
    const bool sameWidth = std::int64_t{high} - low + 1 == editor.Width;
    editor.LowImpulse = low;
    editor.HighImpulse = high;
    model_.RecomputeBounds(editor, -1);
    window_.ResetEditorRange();
    model_.SelectImpulses(low, high, false);
    return sameWidth;
}

void KernelDesignerController::ShowCounts() {
    window_.ShowStats(model_.LeftKernel.Count(), model_.RightKernel.Count());
}

void KernelDesignerController::RefreshAfterKernelChange(bool highlightEditorRange) {
    RecomputeViewAndEditor();
    model_.UpdateChannelStats(model_.Channel);
    window_.ResetEditorRange();
    SelectEditorRange();
    window_.UpdateViewer(highlightEditorRange);
    window_.UpdateEditor();
    ShowCounts();
}

void KernelDesignerController::RefreshAll() {
    RecomputeViewAndEditor();
    window_.ResetEditorRange();
    model_.UpdateChannelStats(1);
    model_.UpdateChannelStats(2);
    SelectEditorRange();
    window_.UpdateEditor();
    window_.UpdateViewer(false);
    window_.UpdateEditorRuler();
    ShowCounts();
}

void KernelDesignerController::ShowUndoCaptions() {
    if (!undoer_)
        return;
    const bool canUndo = undoer_->Previous() > -1 && undoer_->Current() <= undoer_->LastIndex();
    const bool canRedo = undoer_->Next() <= undoer_->LastIndex();
    window_.ShowUndoCaptions(undoer_->UndoCaption(), canUndo, undoer_->RedoCaption(), canRedo);
}

void KernelDesignerController::RecordUndo(const std::string& description) {
    if (!undoer_)
        return;
    undoer_->Record(description, model_.LeftKernel, model_.RightKernel);
    ShowUndoCaptions();
}

std::string KernelDesignerController::UndoCaption() const {
    return undoer_ ? undoer_->UndoCaption() : "Can't Undo";
}

std::string KernelDesignerController::RedoCaption() const {
    return undoer_ ? undoer_->RedoCaption() : "Can't Redo";
}

// ---- Edit menu -----------------------------------------------------------------------------------------

void KernelDesignerController::Operation(std::int32_t tag) {
    if (tag < 1 || tag > 11)
        throw RangeError("Unknown edit operation (" + std::to_string(tag) + ")");
    const auto operation = static_cast<TEditOperation>(tag);
    // The range is the editor bounds' records; the clipboard works on the selection, so both are made to
    // agree first.
    RecomputeViewAndEditor();
    SelectEditorRange();
    {
        NotifyOff quiet(*model_.CurrentKernel);
        switch (operation) {
        case TEditOperation::Copy:
            CopyRange();
            break;
        case TEditOperation::Cut:
            CopyRange();
            ClearRange();
            break;
        case TEditOperation::Clear:
            ClearRange();
            break;
        case TEditOperation::PasteOverwrite:
            PasteOverwrite();
            break;
        case TEditOperation::PasteMix:
            PasteMix();
            break;
        case TEditOperation::Reverse:
            ReverseRange();
            break;
        case TEditOperation::Mirror:
            MirrorRange();
            break;
        case TEditOperation::Invert:
            InvertRange();
            break;
        case TEditOperation::Amplify:
            AmplifyRange();
            break;
        case TEditOperation::BlockAdjust:
            BlockAdjustRange();
            break;
        case TEditOperation::Harmonize:
            HarmonizeRange();
            break;
        }
    }
    const bool highlight = operation == TEditOperation::Mirror || operation == TEditOperation::Harmonize;
    RefreshAfterKernelChange(highlight);
    if (const char* description = kOperationUndo[static_cast<std::size_t>(tag)])
        RecordUndo(description);
}

void KernelDesignerController::CopyRange() {
    clipboard_.CopySelection();
}

void KernelDesignerController::ClearRange() {
    TobjHistData& kernel = *model_.CurrentKernel;
    working_.Clear();
    const TSelectionRec& range = model_.Selection;
    if (range.FirstIndex >= 0 && range.LastIndex >= range.FirstIndex)
        kernel.Delete(range.FirstIndex, range.LastIndex - range.FirstIndex + 1);
    SelectEditorRange();
    model_.CurrentStats->Count = kernel.Count();
    EditorBounds().LowIndex = -1;
    EditorBounds().HighIndex = -1;
    window_.ResetEditorRange();
}

void KernelDesignerController::PasteOverwrite() {
    if (!clipboard_.PasteOverwrite())
        window_.ShowError(kKernelFullMessage);
}

void KernelDesignerController::PasteMix() {
    if (!clipboard_.PasteMix(working_))
        window_.ShowError(kKernelFullMessage);
}

void KernelDesignerController::MixIn(const std::vector<TImpulseRec>& copies) {
    for (TImpulseRec copy : copies) {
        if (model_.CurrentKernel->AddOrMerge(copy, TMergeMode::Mix) == kMergeRefused) {
            window_.ShowError(kKernelFullMessage);
            return;
        }
    }
}

void KernelDesignerController::ChangeRangeValues(const std::function<long double(long double)>& change) {
    TobjHistData& kernel = *model_.CurrentKernel;
    const TSelectionRec& range = model_.Selection;
    if (range.FirstIndex < 0)
        return;
    std::vector<long double> values;
    for (std::int32_t i = range.FirstIndex; i <= range.LastIndex; ++i)
        values.push_back(CheckFinite(change(kernel.Value(i))));
    for (std::int32_t i = range.FirstIndex; i <= range.LastIndex; ++i)
        kernel.SetValue(i, values[static_cast<std::size_t>(i - range.FirstIndex)]);
}

// Each record of the range takes the place mirrored inside the range, so the range's order is reversed;
// reversing the records keeps the kernel sorted.
void KernelDesignerController::ReverseRange() {
    TobjHistData& kernel = *model_.CurrentKernel;
    const TSelectionRec& range = model_.Selection;
    if (range.FirstIndex < 0 || range.LastIndex < range.FirstIndex)
        return;
    for (std::int32_t i = range.FirstIndex; i <= range.LastIndex; ++i) {
        TImpulseRec rec = kernel.Record(i);
        rec.Impulse = range.HighImpulse - (rec.Impulse - range.LowImpulse);
        kernel.SetRecord(i, rec);
    }
    kernel.Reverse(range.FirstIndex, range.LastIndex);
    working_.CopyRange(kernel, range.FirstIndex, range.LastIndex);
}

void KernelDesignerController::MirrorRange() {
    const std::int32_t low = EditorBounds().LowImpulse;
    const std::int32_t high = EditorBounds().HighImpulse;
    const TMirrorResult mirror = window_.RunMirror(low, high);
    if (mirror.Cancelled)
        return;
    const TSelectionRec& range = model_.Selection;
    if (mirror.Reflector == TReflector::ImpulseZero && range.LowImpulse < 1 && range.HighImpulse >= 0) {
        window_.ShowError(kMirrorZeroRefusal);
        return;
    }
    // The copies are made from the range as it stands, before any of them is merged.
    std::vector<TImpulseRec> copies;
    for (TImpulseRec rec : RecordsOf(*model_.CurrentKernel, range.FirstIndex, range.LastIndex)) {
        const std::optional<std::int32_t> impulse = MirroredImpulse(mirror, rec.Impulse, low, high);
        if (!impulse)
            continue;
        rec.Impulse = *impulse;
        rec.Selected = false;
        rec.Value = CheckFinite(rec.Value * mirror.Level);
        if (rec.Impulse < 1)
            rec.Kind = TSourceKind::Input;
        copies.push_back(rec);
    }
    // The copies descend; they are merged in ascending order.
    std::reverse(copies.begin(), copies.end());
    model_.MirrorInProgress = true;
    MixIn(copies);
    model_.MirrorInProgress = false;
}

void KernelDesignerController::InvertRange() {
    TobjHistData& kernel = *model_.CurrentKernel;
    const TSelectionRec& range = model_.Selection;
    if (range.FirstIndex < 0)
        return;
    for (std::int32_t i = range.FirstIndex; i <= range.LastIndex; ++i) {
        kernel.SetValue(i, -kernel.Value(i));
        const std::int32_t w = working_.Find(kernel.Impulse(i), 0, TFindMode::Exact);
        if (w != -1)
            working_.SetValue(w, kernel.Value(i));
    }
}

void KernelDesignerController::AmplifyRange() {
    const TAmplifyResult amplify = window_.RunAmplify();
    if (amplify.Cancelled)
        return;
    ChangeRangeValues([factor = amplify.Factor](long double value) { return value * factor; });
}

void KernelDesignerController::BlockAdjustRange() {
    const TBlockAdjustResult adjust = window_.RunBlockAdjust();
    if (adjust.Cancelled)
        return;
    ChangeRangeValues([amount = adjust.Amount](long double value) { return value + amount; });
}

// The copies are taken from the range before the first is merged, so a copy that lands inside or before
// the range is neither visited again nor makes a record of the range be skipped.
void KernelDesignerController::HarmonizeRange() {
    const std::int32_t low = EditorBounds().LowImpulse;
    const THarmonizeResult harmonize = window_.RunHarmonize(low);
    const TSelectionRec& range = model_.Selection;
    if (harmonize.Cancelled || range.FirstIndex < 0)
        return;
    const std::int64_t shift = std::int64_t{harmonize.TargetImpulse} - low;
    std::vector<TImpulseRec> copies;
    for (TImpulseRec rec : RecordsOf(*model_.CurrentKernel, range.FirstIndex, range.LastIndex)) {
        const std::int64_t impulse = rec.Impulse + shift;
        if (!ImpulseInDomain(impulse))
            continue;
        rec.Impulse = static_cast<std::int32_t>(impulse);
        rec.Selected = false;
        rec.Value = CheckFinite(rec.Value * harmonize.Level);
        copies.push_back(rec);
    }
    MixIn(copies);
}

// ---- The column controls -------------------------------------------------------------------------------

TReadOut KernelDesignerController::ReadOut(const TColumnTriple& hit, std::int32_t grabbedKernelIndex) const {
    TReadOut out;
    out.Impulse = std::to_string(hit.Impulse);
    out.Datum = std::to_string(hit.Index);
    out.Time = TimeText(hit.Impulse, SampleRate);
    const bool grabbed = grabbedKernelIndex >= 0;
    const TImpulseRec rec = grabbed ? model_.CurrentKernel->Record(grabbedKernelIndex) : TImpulseRec{};
    out.Value = grabbed ? FloatToStrF(rec.Value, TFloatFormat::ffGeneral, 18, 0) : std::string(1, '0');
    out.Source = grabbed ? rec.Kind : TSourceKind::Pass;
    return out;
}

std::optional<std::string> KernelDesignerController::DatumValueEnter(const std::string& text,
                                                                     std::int32_t grabbedWorkingIndex) {
    if (grabbedWorkingIndex < 0)
        return std::nullopt;
    const std::optional<double> value = NumberValue(text);
    if (!value)
        return std::string(kDatumError);
    TobjHistData& kernel = *model_.CurrentKernel;
    working_.SetValue(grabbedWorkingIndex, *value);
    const std::int32_t kernelIndex = kernel.Find(working_.Impulse(grabbedWorkingIndex), 0, TFindMode::Exact);
    if (kernelIndex != -1)
        kernel.SetValue(kernelIndex, *value);
    window_.RedrawColumn(grabbedWorkingIndex, kernelIndex, *value);
    RecordUndo(kEnterDatumUndo);
    return std::nullopt;
}

TSourceKind KernelDesignerController::SourceSelect(TSourceKind chosen, std::int32_t grabbedWorkingIndex) {
    if (grabbedWorkingIndex < 0)
        return chosen;
    const std::int32_t impulse = working_.Impulse(grabbedWorkingIndex);
    // Refused: the box goes back to the record's own kind (Input, unless the record is Pass or an
    // Output tap at impulse zero).
    if (chosen == TSourceKind::Output && impulse < 1)
        return working_.Kind(grabbedWorkingIndex);
    TobjHistData& kernel = *model_.CurrentKernel;
    working_.SetKind(grabbedWorkingIndex, chosen);
    const std::int32_t kernelIndex = kernel.Find(impulse, 0, TFindMode::Exact);
    if (kernelIndex != -1)
        kernel.SetKind(kernelIndex, chosen);
    window_.RedrawColumn(grabbedWorkingIndex, kernelIndex, working_.Value(grabbedWorkingIndex));
    RecordUndo(kSetSourceUndo);
    return chosen;
}

// ---- Channels and views --------------------------------------------------------------------------------

std::string KernelDesignerController::CopyAllCaption(std::int32_t channel) {
    return channel == 1 ? "Copy all from Right" : "Copy all from Left";
}

TViewControls KernelDesignerController::ViewControls() const {
    CheckIndex(model_.ViewNumber - 1, kViewCount);
    const TViewBounds& view = (*model_.CurrentViews)[static_cast<std::size_t>(model_.ViewNumber - 1)];
    return {model_.ViewNumber, view.HighImpulse, view.Width, view.ZeroColumn};
}

void KernelDesignerController::ShowCurrentViewControls() {
    Mute mute(*this);
    window_.ShowViewControls(ViewControls());
}

void KernelDesignerController::CopyAll() {
    const std::int32_t channel = model_.Channel;
    const std::int32_t other = channel == 1 ? 2 : 1;
    model_.KernelOf(channel).LoadRecords(model_.KernelOf(other).Records());
    model_.StatsOf(channel) = model_.StatsOf(other);
    // Each view is found again relative to its own low impulse, as a view stands when it is shown.
    for (TViewBounds& view : *model_.CurrentViews)
        KernelModel::RecomputeBoundsFor(*model_.CurrentKernel, view.LowImpulse, view, -1);
    model_.RecomputeBounds(EditorBounds(), -1);
    model_.SetZeroIndex(model_.CurrentKernel->Find(0, 0, TFindMode::Exact));
    window_.ResetEditorRange();
    SelectEditorRange();
    ShowCounts();
    window_.UpdateEditor();
    window_.UpdateViewer(false);
    RecordUndo(channel == 1 ? "Duplicate Right to Left" : "Duplicate Left to Right");
}

void KernelDesignerController::SwitchChannel(std::int32_t channel) {
    if (channel == model_.Channel)
        return;
    Mute mute(*this);
    model_.SelectChannel(channel);
    window_.ShowChannel(channel, CopyAllCaption(channel));
    window_.ShowViewerKernel(channel);
    RecomputeViewAndEditor();
    ShowCurrentViewControls();
    model_.UpdateChannelStats(channel);
    window_.ResetEditorRange();
    SelectEditorRange();
    window_.UpdateEditor();
    window_.UpdateViewer(false);
    window_.UpdateEditorRuler();
}

void KernelDesignerController::ChangeView(std::int32_t viewNumber) {
    if (FirstTime || Muted() || viewNumber == model_.ViewNumber)
        return;
    CheckIndex(viewNumber - 1, kViewCount);
    Mute mute(*this);
    model_.ViewNumber = viewNumber;
    // RecomputeBounds measures the editor's relative positions from the new view's low impulse, which is
    // what moving them by (old low - new low) gives.
    RecomputeViewAndEditor();
    ShowCurrentViewControls();
    model_.UpdateChannelStats(model_.Channel);
    SelectEditorRange();
    window_.UpdateViewer(false);
}

bool KernelDesignerController::SetViewSpan(std::int64_t low, std::int64_t high) {
    if (!ImpulseInDomain(low) || !ImpulseInDomain(high))
        return false;
    TViewBounds& view = model_.CurrentView();
    view.LowImpulse = static_cast<std::int32_t>(low);
    view.HighImpulse = static_cast<std::int32_t>(high);
    RecomputeViewAndEditor();
    ShowCurrentViewControls();
    model_.UpdateChannelStats(model_.Channel);
    SelectEditorRange();
    return true;
}

std::optional<std::string> KernelDesignerController::LastColImplsEnter(const std::string& text) {
    Mute mute(*this);
    std::optional<std::string> shown;
    if (const std::optional<std::int32_t> high = IntegerValue(text)) {
        const std::int64_t low = std::int64_t{*high} - model_.CurrentView().Width + 1;
        if (!SetViewSpan(low, *high))
            shown = std::to_string(model_.CurrentView().HighImpulse);
    }
    window_.UpdateViewer(true);
    return shown;
}

std::optional<std::string> KernelDesignerController::NmbrVwrColsEnter(const std::string& text) {
    const std::optional<std::int32_t> width = IntegerValue(text);
    if (width && *width > kMaxViewWidth)
        return std::to_string(kMaxViewWidth);
    if (width && *width < kMinViewWidth)
        return std::to_string(kMinViewWidth);
    Mute mute(*this);
    std::optional<std::string> shown;
    if (width) {
        const std::int32_t high = model_.CurrentView().HighImpulse;
        if (!SetViewSpan(std::int64_t{high} - *width + 1, high))
            shown = std::to_string(model_.CurrentView().Width);
    }
    window_.UpdateViewer(true);
    return shown;
}

void KernelDesignerController::ShiftImpulseZero(std::int32_t newZeroColumn) {
    if (FirstTime || Loading || Muted())
        return;
    TViewBounds& view = model_.CurrentView();
    TViewBounds& editor = EditorBounds();
    TobjHistData& kernel = *model_.CurrentKernel;
    const std::int64_t delta = std::int64_t{view.ZeroColumn} - newZeroColumn;
    if (delta == 0)
        return;
    const auto moves = [delta](std::int32_t impulse) { return ImpulseInDomain(impulse + delta); };
    const bool fits =
        moves(view.LowImpulse) && moves(view.HighImpulse) && moves(editor.LowImpulse) &&
        moves(editor.HighImpulse) &&
        (kernel.Count() == 0 || (moves(kernel.Impulse(0)) && moves(kernel.Impulse(kernel.LastIndex()))));
    if (!fits) {
        ShowCurrentViewControls();
        return;
    }
    const auto shifted = [delta](std::int32_t impulse) { return static_cast<std::int32_t>(impulse + delta); };
    std::vector<TImpulseRec> records = kernel.Records();
    for (TImpulseRec& rec : records)
        rec.Impulse = shifted(rec.Impulse);
    kernel.LoadRecords(records);
    view.LowImpulse = shifted(view.LowImpulse);
    view.HighImpulse = shifted(view.HighImpulse);
    editor.LowImpulse = shifted(editor.LowImpulse);
    editor.HighImpulse = shifted(editor.HighImpulse);
    RecomputeViewAndEditor();
    // The view's high impulse moved with it: the bound edit must not go on showing the old one.
    ShowCurrentViewControls();
    // The impulse-zero record is another one now; processing finds it through the statistics.
    model_.UpdateChannelStats(model_.Channel);
    window_.ResetEditorRange();
    SelectEditorRange();
    window_.UpdateViewer(false);
    window_.UpdateEditor();
    window_.UpdateEditorRuler();
    RecordUndo(kShiftZeroUndo);
}

// ---- Designers, Reset, Undo and Redo -------------------------------------------------------------------

std::int32_t KernelDesignerController::DesignerTargetImpulse() const {
    const TViewBounds& editor = *model_.CurrentEditorBounds;
    return CheckedAdd(editor.LowImpulse, editor.Width / 2);
}

void KernelDesignerController::DesignerClosed(const std::string& undoDescription) {
    RefreshAll();
    RecordUndo(undoDescription);
}

void KernelDesignerController::Reset() {
    if (!window_.ConfirmReset(kResetQuestion))
        return;
    working_.Clear();
    model_.ResetToDefaults();
    model_.SelectChannel(model_.Channel);
    ShowCurrentViewControls();
    window_.ResetValueScale();
    RefreshAll();
    window_.SetCaption(kUntitledCaption);
    RecordUndo(kResetUndo);
}

void KernelDesignerController::Undo() {
    if (!undoer_ || !undoer_->Undo(model_.LeftKernel, model_.RightKernel))
        return;
    RefreshAll();
    ShowUndoCaptions();
}

void KernelDesignerController::Redo() {
    if (!undoer_ || !undoer_->Redo(model_.LeftKernel, model_.RightKernel))
        return;
    RefreshAll();
    ShowUndoCaptions();
}

} // namespace tarvola
