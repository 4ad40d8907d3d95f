// What the kernel designer window does to the model, apart from any window: the Edit menu's eleven
// operations, the editor's gestures (create, drag and delete a column), the column read-out and its value
// and source edits, the channel switch, the view number, the viewer bounds and width edits, the
// impulse-zero shift, Duplicate, Reset, Undo and Redo, and the undo entries that go with them.
//
// The window (TobjKernelDesigner) owns the controls, the histograms and the editor's working list, and
// turns each handler into one call here. The controller changes the model, records the one undo entry of
// the edit (through TobjKernelUndoer, both kernels) and asks the window, through IKernelDesignerWindow, to
// refresh what it shows and to run the edit dialogs. Every call runs on the GUI thread; errors
// (UndoSnapshotError, FloatError, RangeError) reach the caller, which shows them.
//
// Typical wiring in the window:
//   controller = std::make_unique<KernelDesignerController>(model, clipboard, Editor->WorkingList(), *this);
//   ... Setup (which loads the state) ...
//   controller->StartSession(ProgramFolder);              // records "Initial Data"
//   void Operation_Select(tag)  { controller->Operation(tag); }
//   void Time0Impls_Change()    { controller->ShiftImpulseZero(Spn_ZeroImpls value); }
//   Editor->Controller = controller.get();                 // the editor's presses, drags and releases
#pragma once

#include "kernel/HistogramLayout.h"
#include "kernel/ImpulseClipboard.h"
#include "kernel/KernelUndoer.h"
#include "kernel/KrnlDsgnTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvola {

// ---- Dialog results (the window copies the edit dialogs' fields into these) ----------------------------

struct TAmplifyResult {
    bool Cancelled = true;
    long double Factor = 1.0L;
};

struct TBlockAdjustResult {
    bool Cancelled = true;
    long double Amount = 0.0L;
};

struct THarmonizeResult {
    bool Cancelled = true;
    std::int32_t TargetImpulse = 0; // where the range's low impulse lands
    long double Level = 0.0L;       // the copies' gain
};

// The Mirror dialog's reflectors, in the order of its radio group.
enum class TReflector : std::int32_t {
    ImpulseZero = 0,     // new impulse = -impulse
    EditorLow = 1,       // R = low:      R - 1 - (impulse - low)
    EditorLowMinus1 = 2, // R = low - 1:  R - 1 - (impulse - low)
    EditorHigh = 3,      // R = high:     R + 1 - (impulse - high)
    EditorHighPlus1 = 4, // R = high + 1: R + 1 - (impulse - high)
};

struct TMirrorResult {
    bool Cancelled = true;
    TReflector Reflector = TReflector::ImpulseZero;
    std::int32_t ReflectorImpulse = 0; // R
    long double Level = 0.0L;          // the copies' gain
};

// ---- Texts and values the window shows ----------------------------------------------------------------

// The Edit menu items' tags.
enum class TEditOperation : std::int32_t {
    Copy = 1,
    Cut = 2,
    Clear = 3,
    PasteOverwrite = 4,
    PasteMix = 5,
    Reverse = 6,
    Mirror = 7,
    Invert = 8,
    Amplify = 9,
    BlockAdjust = 10,
    Harmonize = 11,
};

constexpr const char* kResetQuestion =
    "All impulse data in BOTH channels will be cleared.\rDo you wish to proceed?";
constexpr const char* kUntitledCaption = "Kernel: Untitled";
constexpr const char* kMirrorZeroRefusal = "Cannot include Impulse #0 in this type of mirroring operation.";
constexpr const char* kKernelFullMessage =
    "The kernel is full (10,240 impulses): some impulses of this operation could not be placed.";
constexpr const char* kDatumError = "Error";
constexpr const char* kInitialDataUndo = "Initial Data";

// The records a press in the editor holds: in the working list and in the current kernel (-1: none).
struct TEditorGrab {
    std::int32_t Working = -1;
    std::int32_t Kernel = -1;
    bool operator==(const TEditorGrab&) const = default;
};

// The channel panels: the current channel's panel is active.
constexpr std::uint32_t kActivePanelColour = RgbColor(240, 240, 192);
constexpr std::uint32_t kInactivePanelColour = RgbColor(192, 192, 160);

// The widths a view may have, in columns.
constexpr std::int32_t kMinViewWidth = 11;
constexpr std::int32_t kMaxViewWidth = 801;

// What the view controls show: Spn_ViewNmbr, Edt_LastColImpls (the high impulse), Edt_NmbrVwrCols and
// Spn_ZeroImpls.
struct TViewControls {
    std::int32_t ViewNumber = 1;
    std::int32_t HighImpulse = 0;
    std::int32_t Width = 0;
    std::int32_t ZeroColumn = 0;
    bool operator==(const TViewControls&) const = default;
};

// The "Editor Column" read-out of a press in the editor, and the value and source controls.
struct TReadOut {
    std::string Impulse;                    // Lbl_ImplsNmbr
    std::string Datum;                      // Lbl_DatumNmbr: the kernel index
    std::string Time;                       // Lbl_Time: seconds, "1,234.56789012"
    std::string Value;                      // Edt_Value
    TSourceKind Source = TSourceKind::Pass; // CmBx_Source
};

// ---- What the controller asks of the window -----------------------------------------------------------

class IKernelDesignerWindow {
public:
    virtual ~IKernelDesignerWindow() = default;

    // The editor's ResetRange (its shown records := the editor bounds' records). Both kernels' OnChange.
    virtual void ResetEditorRange() = 0;
    // The editor's UpdateDisplay: copies the selection's records into the working list and redraws.
    virtual void UpdateEditor() = 0;
    // The viewer's UpdateDisplay (lays out the current view's columns, recomputes the bars, repaints); with
    // HighlightEditorRange the editor range is drawn highlighted (HighlightRange(true)).
    virtual void UpdateViewer(bool highlightEditorRange) = 0;
    // The viewer draws this channel's kernel (1 left, 2 right).
    virtual void ShowViewerKernel(std::int32_t channel) = 0;
    virtual void UpdateEditorRuler() = 0;
    // One record's value or kind changed: the editor redraws working record WorkingIndex and the viewer
    // kernel record KernelIndex (with Value).
    virtual void RedrawColumn(std::int32_t workingIndex, std::int32_t kernelIndex, long double value) = 0;
    // The statistics window's counts, when it is open.
    virtual void ShowStats(std::int32_t leftCount, std::int32_t rightCount) = 0;
    virtual void ShowUndoCaptions(const std::string& undo, bool undoEnabled, const std::string& redo,
                                  bool redoEnabled) = 0;
    // The four view controls; the spin handlers this fires are ignored by the controller while it runs.
    virtual void ShowViewControls(const TViewControls& controls) = 0;
    // The current channel: its panel active, the other inactive, and Btn_CopyAll's caption.
    virtual void ShowChannel(std::int32_t channel, const std::string& copyAllCaption) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    // The value scale back to -2.0..2.0 (the editor's RangeSelected(2.0, -2.0)).
    virtual void ResetValueScale() = 0;

    // The edit dialogs, shown modally and centred over the window.
    virtual TAmplifyResult RunAmplify() = 0;
    virtual TBlockAdjustResult RunBlockAdjust() = 0;
    virtual THarmonizeResult RunHarmonize(std::int32_t lowImpulse) = 0;
    virtual TMirrorResult RunMirror(std::int32_t lowImpulse, std::int32_t highImpulse) = 0;
    // A message box with an OK button.
    virtual void ShowError(const std::string& text) = 0;
    // A warning box with Yes and No; true for Yes.
    virtual bool ConfirmReset(const std::string& text) = 0;
};

// ---- The controller -----------------------------------------------------------------------------------

class KernelDesignerController {
public:
    // Construct once the window's histograms exist. Puts the model in its start state (left channel, each
    // kernel holding only 1.0 Input at impulse 0, view -400..400, editor -10..10) and makes both kernels'
    // OnChange the window's ResetEditorRange. WorkingList is the editor's working copy (Notify off).
    KernelDesignerController(KernelModel& model, TImpulseClipboard& clipboard, TobjHistData& workingList,
                             IKernelDesignerWindow& window);
    KernelDesignerController(const KernelDesignerController&) = delete;
    KernelDesignerController& operator=(const KernelDesignerController&) = delete;
    ~KernelDesignerController();

    // After the state is loaded: creates the undo history in ProgramFolder's "Undo" folder (ProgramFolder
    // ends in its separator), records "Initial Data" and shows the captions ("Can't Undo", "Can't Redo").
    void StartSession(const std::string& programFolder);

    // Set until the main window's set-up is complete: the view-number and impulse-zero spins do nothing.
    bool FirstTime = true;
    // Set by the window while it loads a state or preset: the impulse-zero spin does nothing.
    bool Loading = false;
    // The signal's sample rate (0 until a file is opened), for the time read-out.
    std::int32_t SampleRate = 0;

    // ---- Edit menu

    // Runs the Edit item of that tag (1..11, RangeError otherwise) over the editor range, refreshes the
    // views and records its one undo entry ("Cut", "Clear", ...; Copy records none). A cancelled dialog
    // changes nothing but still records its entry.
    void Operation(std::int32_t tag);
    void Operation(TEditOperation operation) { Operation(static_cast<std::int32_t>(operation)); }

    // ---- The column controls

    // The read-out of a press on the editor: Hit is (column, kernel index, impulse); GrabbedKernelIndex
    // the kernel record grabbed by the press, -1 when none.
    TReadOut ReadOut(const TColumnTriple& hit, std::int32_t grabbedKernelIndex) const;
    // Enter in Edt_Value with working record GrabbedWorkingIndex grabbed (-1 none): a valid number becomes
    // the value of that record and of the kernel record at its impulse, and "Enter Datum Value" is
    // recorded. Returns the text the edit shows instead ("Error" for an invalid number), if any. Nothing
    // happens, and nothing is recorded, without a grabbed column.
    std::optional<std::string> DatumValueEnter(const std::string& text, std::int32_t grabbedWorkingIndex);
    // CmBx_Source chose a kind for the grabbed working record (-1 none). Returns the kind the box shows:
    // Output for a record at an impulse below 1 is refused (nothing changes, the box shows the record's
    // own kind);
    // otherwise both records take the kind and "Set Audio Source" is recorded.
    TSourceKind SourceSelect(TSourceKind chosen, std::int32_t grabbedWorkingIndex);

    // ---- The editor's gestures: a press creates, deletes or grabs a column, a drag moves the grabbed value,
    // and the release (or a lost capture) ends the gesture and records its entries, in the order
    // "Create Single Column", "Delete Single Column", "Change Column Value".

    // A press on an empty column of the editor at Impulse: an Input record of value 0 joins the current
    // kernel and the working list (a record already there is kept and taken), and the editor range is
    // selected again. Nothing when a full list refused it.
    std::optional<TEditorGrab> CreateColumn(std::int32_t impulse);
    // Ctrl+press on a working record (Grab.Kernel: its kernel record, -1 none): both go and the views show
    // it; the editor keeps its working list as it is (ColumnDeletePending) until the gesture ends.
    void DeleteColumn(const TEditorGrab& grab);
    // The first move of a drag: the clipboard is emptied; true when the grabbed working record can be
    // dragged (its kind is not Pass).
    bool StartDrag(std::int32_t workingIndex);
    // A drag: the grabbed records take Value (a kernel index out of range is left alone).
    void DragValue(const TEditorGrab& grab, long double value);
    // The release: records the entries of what the gesture did.
    void EndGesture();
    bool ColumnDeletePending() const { return gesture_.deleted; }

    // ---- The editor range chosen in the histograms

    // A drag across the viewer from Low to High (view columns with their kernel indexes and impulses): the
    // editor bounds take that span and the records in it are selected.
    void ChooseEditorRange(const TColumnTriple& low, const TColumnTriple& high);
    // The impulse ruler's span Low..High (checked by the caller): the editor bounds take it, the editor's
    // shown records follow and the records in it are selected. True when the width stayed the same.
    bool SelectEditorSpan(std::int32_t low, std::int32_t high);

    // ---- Channels and views

    // Btn_CopyAll: the current channel's kernel and statistics become copies of the other channel's
    // ("Duplicate Right to Left" on the left channel, "Duplicate Left to Right" on the right).
    void CopyAll();
    // Pnl_Left (1) / Pnl_Right (2): makes the channel current and shows it; nothing for the current one.
    void SwitchChannel(std::int32_t channel);
    // Spn_ViewNmbr (1..10): shows that view; the editor keeps its impulses.
    void ChangeView(std::int32_t viewNumber);
    // Enter in Edt_LastColImpls: the view's high impulse := the integer typed, its width kept. Invalid
    // text is ignored; a bound that would put the view outside the impulse domain is refused and the
    // returned text (the high impulse in effect) is shown instead.
    std::optional<std::string> LastColImplsEnter(const std::string& text);
    // Enter in Edt_NmbrVwrCols: the view's width := the integer typed (11..801), its high impulse kept.
    // 802 or more returns "801" and 11 less returns "11", changing nothing; invalid text is ignored.
    std::optional<std::string> NmbrVwrColsEnter(const std::string& text);
    // Spn_ZeroImpls: the current view's impulse zero moves to NewZeroColumn, so every record of the current
    // kernel, the view and the editor bounds move by Delta = old zero column - NewZeroColumn; the picture
    // stays, the impulse numbers under it change ("Shift Impulse Zero"). The other nine views are not
    // moved. A shift that would take a record or a bound outside the impulse domain is refused: nothing
    // changes and the spin shows the old column again.
    void ShiftImpulseZero(std::int32_t newZeroColumn);
    // What the view controls show for the current view.
    TViewControls ViewControls() const;
    // Btn_CopyAll's caption on a channel: "Copy all from Right" (1), "Copy all from Left" (2).
    static std::string CopyAllCaption(std::int32_t channel);

    // ---- Designers, Reset, Undo and Redo

    // The target impulse the effect designers start from: editor low + editor width div 2.
    std::int32_t DesignerTargetImpulse() const;
    // After a designer dialog closed (also after Cancel): refreshes everything and records its entry
    // ("Design FIR Filter", "Design Reverberation", "Design Echo", "Design Resonance").
    void DesignerClosed(const std::string& undoDescription);
    // Kernel, Reset All: asks first; on Yes both channels go back to the start state ("Reset Kernel").
    void Reset();
    void Undo();
    void Redo();
    // Records an entry of both kernels and shows the captions; the editor's own edits use it too. Nothing
    // is recorded before StartSession.
    void RecordUndo(const std::string& description);
    std::string UndoCaption() const;
    std::string RedoCaption() const;
    // Shows the Undo and Redo captions, each enabled when there is an entry to undo or redo.
    void ShowUndoCaptions();
    // The history; nullptr before StartSession.
    TobjKernelUndoer* Undoer() { return undoer_.get(); }
    const TobjKernelUndoer* Undoer() const { return undoer_.get(); }

private:
    class Mute;

    // The operations of the Edit menu, each over the editor range First..Last (First -1: no record).
    void CopyRange();
    void ClearRange();
    void PasteOverwrite();
    void PasteMix();
    void ReverseRange();
    void MirrorRange();
    void InvertRange();
    void AmplifyRange();
    void BlockAdjustRange();
    void HarmonizeRange();
    // Mixes the copies into the current kernel in their order, stopping at the first a full kernel refuses
    // (then the user is told).
    void MixIn(const std::vector<TImpulseRec>& copies);
    // Every kernel record of the range takes Change(value). All new values are checked before the first is
    // stored, so an overflow raises FloatError and changes nothing.
    void ChangeRangeValues(const std::function<long double(long double)>& change);

    TViewBounds& EditorBounds() { return *model_.CurrentEditorBounds; }
    // The current view and the editor bounds found again against the current kernel.
    void RecomputeViewAndEditor();
    void SelectEditorRange();
    // Bounds, statistics and selection after the kernel changed, then the histograms.
    void RefreshAfterKernelChange(bool highlightEditorRange);
    // As RefreshAfterKernelChange, for both channels' statistics and the ruler too.
    void RefreshAll();
    void ShowCounts();
    void ShowCurrentViewControls();
    // Takes a typed view span when it lies in the impulse domain; false changes nothing.
    bool SetViewSpan(std::int64_t low, std::int64_t high);
    bool Muted() const { return muted_ > 0; }

    KernelModel& model_;
    TImpulseClipboard& clipboard_;
    TobjHistData& working_;
    IKernelDesignerWindow& window_;
    std::unique_ptr<TobjKernelUndoer> undoer_;
    int muted_ = 0;
    // What the editor's gesture did so far.
    struct Gesture {
        bool created = false;
        bool deleted = false;
        bool changed = false;
    } gesture_;
};

} // namespace tarvola
