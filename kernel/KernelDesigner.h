// The kernel designer's two histograms of the current channel's kernel: the overview (TobjKernelViewer)
// shows the current view, and a drag across it chooses the editor range; the editor (TobjKernelEditor)
// shows that range from its own working copy of the records, where single columns are created (a click
// near the zero line), deleted (Ctrl + click) and dragged to a new value.
//
// Each histogram draws into its own back buffer and shows it whole when painted; a single column changed
// by the mouse is drawn into the buffer and copied to the screen at once, so nothing flickers or is lost
// when windows overlap. The arithmetic (columns, bars, hit tests, gesture rules) is in HistogramLayout.
#pragma once

#include "kernel/CustomDSP.h"
#include "kernel/HistogramLayout.h"
#include "kernel/KernelDesignerController.h"
#include "kernel/KrnlDsgnTypes.h"
#include "kernel/PaintPanel.h"
#include "kernel/TarvolaProcess.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tarvola {

class TobjGraphAxis;
class TobjAxisFiller;
class TImpulseClipboard;
class TComboBox;
class TLabeledEdit;
class TMenuItem;
class TSpinEdit;
class TobjStatsForm;

class TobjCustomHistogram : public TobjPaintPanel {
public:
    explicit TobjCustomHistogram(TComponent* owner);

    // The list drawn.
    TobjHistData* Kernel = nullptr;
    // True in the viewer: its bounds are the current view; False in the editor: the editor bounds.
    bool IsOverview = false;
    // The column under the last press; NoRecord when none.
    TColumnTriple HitColumn = NoRecord;

    // The bounds this histogram shows.
    TViewBounds& Bounds() const;
    // Column, record index in Kernel and impulse under a pointer x.
    TColumnTriple HitTest(int x) const;
    void ComputeScale();
    void LayoutColumns();
    // Stores the bar of Kernel's record Index when its impulse lies in the bounds.
    void ComputeBar(std::int32_t index);
    const HistogramGeometry& Geometry() const { return geometry_; }

    // Draws everything into the back buffer again and shows it.
    void RepaintAll();
    // The back buffer as last drawn.
    const TBitmap& BackBuffer() const { return buffer_; }

protected:
    void Paint() override;
    void BoundsChanged() override;
    virtual float BarFraction() const = 0;
    // Bars, zero line and highlights over the cleared plot.
    virtual void DrawContent(TCanvas& canvas) = 0;

    // The column of an impulse when it lies in the bounds and is laid out, else -1.
    std::int32_t ColumnOf(std::int32_t impulse) const;
    bool BarSelected(const TImpulseRec& rec) const { return IsOverview && rec.Selected; }
    void DrawBar(TCanvas& canvas, std::int32_t index);
    void DrawZeroLine(TCanvas& canvas, bool full, int x1, int x2);
    // The column's cell in the background (highlighted or not), its record's bar, and the zero line.
    void DrawColumnBackground(TCanvas& canvas, std::int32_t column, bool highlighted, std::int32_t index);
    void Fill(TCanvas& canvas, const TBarRect& rect, std::uint32_t colour);
    TBarRect CellOf(std::int32_t column) const;
    // The back buffer's canvas, drawn whole first when it is not current.
    TCanvas& BufferCanvas();
    // Shows an area of the back buffer on the screen now.
    void ShowArea(const TBarRect& area);
    void ShowColumns(std::int32_t firstColumn, std::int32_t lastColumn);

    HistogramGeometry geometry_;

private:
    void Render();

    TBitmap buffer_;
    bool bufferCurrent_ = false;
};

class TobjKernelViewer : public TobjCustomHistogram {
public:
    // Kernel is the current kernel.
    explicit TobjKernelViewer(TComponent* owner);

    // Fired after a drag chose the editor range: the editor's UpdateDisplay, then the designer's ruler.
    std::function<void()> OnRangeChosen;
    std::function<void()> OnRangeChosen2;

    // Places the viewer across the top of its parent, right of the preset browser.
    void SetupViewer(int topArea, int browserRight);
    void UpdateDisplay();
    // Draws the editor range highlighted (On) or plain and marks its records selected or not.
    void HighlightRange(bool on);
    // Draws one kernel record again for a new value.
    void RedrawRecord(std::int32_t index, long double value);

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
    float BarFraction() const override { return HistogramDisplay().ViewerBarFraction; }
    void DrawContent(TCanvas& canvas) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The press is over (released, or its capture lost): a drag chooses the editor range.
    void EndPress();
    void SetBand(std::int32_t low, std::int32_t high);
    void MarkColumn(TCanvas& canvas, std::int32_t column, bool on);

    bool buttonDown_ = false;
    bool selecting_ = false;
    int lastX_ = 0;
    int lastY_ = 0;
    TColumnTriple start_ = NoRecord;
    TColumnTriple last_ = NoRecord;
    std::int32_t bandLow_ = -1;
    std::int32_t bandHigh_ = -2;
};

class TobjKernelEditor : public TobjCustomHistogram {
public:
    // Creates the working list (no change notification).
    explicit TobjKernelEditor(TComponent* owner);

    TobjHistData& WorkingList() { return working_; }
    // First and last record index of the range in the working list; -1 when it is empty.
    std::int32_t FirstShown = -1;
    std::int32_t LastShown = -1;
    // Set when the impulse ruler moved the range without changing its width.
    bool SameWidth = false;

    // The designer's read-out of the column under a press.
    std::function<void(const TColumnTriple&)> OnHover;
    // The viewer's single-record redraw (kernel index, value).
    std::function<void(std::int32_t index, long double value)> RedrawViewerRecord;
    // The value of a dragged bar, for the designer's value edit.
    std::function<void(long double value)> OnValueDragged;
    // The designer's refit of the impulse ruler to the editor range.
    std::function<void()> OnRulerUpdate;
    // The other parts of the designer this editor works with (each may be nullptr).
    TobjKernelViewer* Viewer = nullptr;
    TobjGraphAxis* ImpulseRuler = nullptr;
    TobjGraphAxis* ValueRuler = nullptr;
    // The model's writer: the presses, drags and releases go through it (none: they change nothing).
    KernelDesignerController* Controller = nullptr;

    // Places the editor below the viewer (at Top + 1) and binds the viewer's redraw and the read-out.
    void SetupEditor(int top, int topArea, int browserRight,
                     std::function<void(std::int32_t, long double)> redrawViewerRecord,
                     std::function<void(const TColumnTriple&)> onHover);
    // The editor bounds' records: FirstShown..LastShown. Both kernels' OnChange.
    void ResetRange();
    void CopyRange(const TobjHistData& source, std::int32_t first, std::int32_t last);
    void UpdateDisplay();
    // The impulse ruler's request: taken for 2 to 802 columns.
    void SpanSelected(std::int32_t low, std::int32_t high);
    // The value ruler's request: taken when High > Low.
    void RangeSelected(long double high, long double low);
    // Draws one working record again.
    void RedrawRecord(std::int32_t index);

    // The records grabbed by the last press (-1 none): in the working list and in the kernel. A rebuilt
    // working list ends the grab.
    std::int32_t GrabbedWorkingIndex() const { return grabbedWorking_; }
    std::int32_t GrabbedKernelIndex() const { return grabbedKernel_; }
    bool Dragging() const { return dragging_; }

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
    float BarFraction() const override { return HistogramDisplay().EditorBarFraction; }
    void DrawContent(TCanvas& canvas) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The press is over (released, or its capture lost): its undo entries are recorded.
    void EndPress();
    void DeleteColumn(const TColumnTriple& hit, const TColumnTriple& kernelHit);
    void CreateColumn(const TColumnTriple& hit, TColumnTriple& kernelHit);
    void Grab(std::int32_t workingIndex, std::int32_t kernelIndex);
    void StartDrag();
    void DragTo(int y);
    void MarkCaptionChanged();
    void CancelRulerDrags();
    void ComputeAllBars();
    bool ColumnDeletePending() const { return Controller != nullptr && Controller->ColumnDeletePending(); }

    TobjHistData working_;
    bool leftDown_ = false;
    bool rightDown_ = false;
    bool moved_ = false;
    bool dragging_ = false;
    int lastX_ = 0;
    int lastY_ = 0;
    std::int32_t grabbedWorking_ = -1;
    std::int32_t grabbedKernel_ = -1;
};

// The kernel designer window. It stands below the main window for the program's whole run: the preset
// browser's column on the left (kept free by the base form), the viewer over the editor with their two
// rulers, and along the bottom the read-out of the editor's column and the view's controls. Every handler
// hands its work to the KernelDesignerController, which asks back through IKernelDesignerWindow for the
// redraws, dialogs and messages; the window itself only lays out, draws and relays.
//
//   designer.ShowButtons = false; designer.Embedded = true; designer.SetSampleRate(0);
//   designer.SetupSession(&audioInfo, &signalView, &outputView, appDir, 0);   // state, "Initial Data"
//   ... place and show it, then designer.ClearFirstTime();
class TobjKernelDesigner : public TobjCustomDSP, private IKernelDesignerWindow {
public:
    explicit TobjKernelDesigner(TComponent* owner);
    // Saves the state and removes the undo snapshots first (while the overrides still answer).
    ~TobjKernelDesigner() override;

    // Once, from the main window: Setup (which ends with LoadState), then the undo history with its first
    // entry "Initial Data", and the Undo and Redo captions.
    void SetupSession(TobjAudioInfo* formatFields, TobjMultiMemStrm* signalView, TobjMultiMemStrm* outputView,
                      const std::string& programFolder, int topOffset);
    // Fits the impulse ruler to the editor range.
    void UpdateEditorRuler() override;
    void UpdateUndoCaptions();
    // The statistics window's counts, when it is open.
    void UpdateStats();
    // The progress window's halt request: the run stops at its next check.
    void HaltProcessing() { run_.Halt(); }

    // The signal's sample rate; 0 until a file is open.
    std::int32_t SampleRate() const { return controller_->SampleRate; }
    void SetSampleRate(std::int32_t rate) { controller_->SampleRate = rate; }
    // While set (from construction until the main window's set-up is complete) the spin edits' change
    // handlers do nothing.
    bool FirstTime() const { return controller_->FirstTime; }
    void ClearFirstTime() { controller_->FirstTime = false; }

    // ---- The designer protocol
    void LoadPreset(const std::string& fileName) override;
    bool DeletePreset(const std::string& name) override;
    bool SavePreset(const std::string& name) override;
    void LoadState() override;
    void SaveState() override;
    void AcceptSettings() override {}
    void PrepareProcess() override;
    void Process() override;

    KernelDesignerController& Controller() { return *controller_; }
    TobjProcessRun& ProcessRun() { return run_; }
    // The statistics window while it is open, else nullptr.
    TobjStatsForm* StatsWindow() const { return stats_.get(); }

    // ---- Event handlers, bound in BindEvents
    void Hndl_MouseMove(TObject&, TShiftState, int, int);
    void DatumValue_Enter(TObject&, char& key);
    void Source_Select(TObject&);
    void ViewNmbr_Change(TObject&);
    void LastColImpls_KeyPress(TObject&, char& key);
    void NmbrVwrCols_KeyPress(TObject&, char& key);
    void Time0Impls_Change(TObject&);
    void CopyAll_Click(TObject&);
    void PnlLeft_Click(TObject&);
    void PnlRight_Click(TObject&);
    void Operation_Select(TObject& sender);
    void MnItm_UndoClick(TObject&);
    void MnItm_RedoClick(TObject&);
    void Reset_Click(TObject&);
    void AbleStats_Click(TObject&);
    void Filter_Click(TObject&);
    void Reverb_Click(TObject&);
    void Echo_Click(TObject&);
    void Resonance_Click(TObject&);
    void MnItm_ManageClick(TObject&);
    void Designer_Close(TObject&, TCloseAction& action);

    static constexpr TColor kRulerColour = 0x9B9B9B; // red, green and blue 155
    static constexpr int kRulerThickness = 35;

    TobjKernelViewer* Viewer = nullptr;
    TobjKernelEditor* Editor = nullptr;
    TobjGraphAxis* ImpulseRuler = nullptr;
    TobjGraphAxis* ValueRuler = nullptr;
    TobjAxisFiller* RulersFiller = nullptr; // left of the impulse ruler, for both rulers
    TobjAxisFiller* ValueFiller = nullptr;  // above the value ruler, left of the viewer
    int TopArea = 0;                        // the band left free at the bottom

    TLabel* Lbl_ImplsNmbr = nullptr;
    TLabel* Lbl_DatumNmbr = nullptr;
    TLabel* Lbl_Time = nullptr;
    TLabeledEdit* Edt_Value = nullptr;
    TComboBox* CmBx_Source = nullptr;
    TSpinEdit* Spn_ViewNmbr = nullptr;
    TEdit* Edt_LastColImpls = nullptr;
    TEdit* Edt_NmbrVwrCols = nullptr;
    TSpinEdit* Spn_ZeroImpls = nullptr;
    TButton* Btn_CopyAll = nullptr;
    TPanel* Pnl_Left = nullptr;
    TPanel* Pnl_Right = nullptr;
    TMenuItem* MnItm_Undo = nullptr;
    TMenuItem* MnItm_Redo = nullptr;
    TMenuItem* MnItm_AbleStats = nullptr;

private:
    // ---- IKernelDesignerWindow
    void ResetEditorRange() override;
    void UpdateEditor() override;
    void UpdateViewer(bool highlightEditorRange) override;
    void ShowViewerKernel(std::int32_t channel) override;
    void RedrawColumn(std::int32_t workingIndex, std::int32_t kernelIndex, long double value) override;
    void ShowStats(std::int32_t leftCount, std::int32_t rightCount) override;
    void ShowUndoCaptions(const std::string& undo, bool undoEnabled, const std::string& redo,
                          bool redoEnabled) override;
    void ShowViewControls(const TViewControls& controls) override;
    void ShowChannel(std::int32_t channel, const std::string& copyAllCaption) override;
    void SetCaption(const std::string& caption) override;
    void ResetValueScale() override;
    TAmplifyResult RunAmplify() override;
    TBlockAdjustResult RunBlockAdjust() override;
    THarmonizeResult RunHarmonize(std::int32_t lowImpulse) override;
    TMirrorResult RunMirror(std::int32_t lowImpulse, std::int32_t highImpulse) override;
    void ShowError(const std::string& text) override;
    bool ConfirmReset(const std::string& text) override;

    void BindEvents();
    void FindComponents();
    void MakeHistograms();
    void MakeRulers();
    void MakeValueRuler();
    void MakeImpulseRuler();
    void MakeFillers();
    void ShowReadOut(const TColumnTriple& hit);
    // Runs an effect designer modally and records its undo entry, after Cancel too.
    template <class Designer>
    void RunDesigner(const std::string& undoDescription);
    // Frees the statistics window (also after the user closed it) and offers to open it again.
    void FreeStatsWindow();

    std::unique_ptr<KernelDesignerController> controller_;
    TobjProcessRun run_;
    std::unique_ptr<TobjStatsForm> stats_;
    int moveCount_ = 0;
    bool showingControls_ = false; // mutes the change handlers while the window sets its own controls
};

} // namespace tarvola
