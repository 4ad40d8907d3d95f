// The kernel designer window: lays out the histograms, rulers and controls, and relays their events to the
// KernelDesignerController, the only writer of the model it shows.
#pragma once

#include "kernel/CustomDSP.h"
#include "kernel/HistogramLayout.h"
#include "kernel/KernelHistograms.h"
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

// What the designer window shows and edits. A base of the window, so that it is made before the window's
// components and goes after them.
struct TKernelDesignerData {
    KernelModel model;
    TImpulseClipboard clipboard{model};
    THistogramDisplay display;
};

// The kernel designer window. It stands below the main window for the program's whole run: the preset
// browser's column on the left (the base form's), the viewer over the editor with
// their two rulers, and along the bottom the read-out of the editor's column and the view's controls. Every
// handler hands its work to the KernelDesignerController, which asks back through IKernelDesignerWindow for
// the redraws, dialogs and messages; the window itself only lays out, draws and relays.
//
//   designer.ShowButtons = false; designer.Embedded = true; designer.SetSampleRate(0);
//   designer.SetupSession(&audioInfo, &signalView, &outputView, appDir, 0);   // state, "Initial Data"
//   ... place and show it, then designer.ClearFirstTime();
class TobjKernelDesigner : private TKernelDesignerData, public TobjCustomDSP, private IKernelDesignerWindow {
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
    // The model the window shows; the controller is its only writer.
    KernelModel& Model() { return model; }
    TImpulseClipboard& Clipboard() { return clipboard; }
    THistogramDisplay& HistogramDisplay() { return display; }
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
