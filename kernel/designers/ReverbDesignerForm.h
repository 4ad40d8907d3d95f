// The reverb designer window ("Reverb Designer v1.03"): four pages over the reverb engine. "Designer p1"
// sets the space type, size and strength of the early reflections and of the general reverberation,
// "Designer p2" the channel separation and the mellowing, "Regenerators" shows and edits one regenerator
// of each bank, "Final" sets the wet:dry mix and the export rules and generates the kernel. Every control
// writes the settings or the current regenerators at once; Generate recomputes both banks from the
// settings, so edits on the "Regenerators" page never reach the kernel.
#pragma once

#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/StdCtrls.h"
#include "kernel/KrnlDsgnTypes.h"
#include "kernel/designers/DesignerForm.h"
#include "kernel/designers/ReverbControls.h"
#include "kernel/designers/ReverbDesigner.h"

#include <array>
#include <memory>
#include <string>

namespace tarvola {

class TDesignerPages;

class TobjReverbDesigner : public TobjEffectDesigner {
public:
    explicit TobjReverbDesigner(TComponent* owner);
    ~TobjReverbDesigner() override;

    // Takes the rate (1 .. 99,999,999, else 44100 stays), the target and the model's current kernels, loads
    // "ReverbPersist.dat" from the program folder's "User\" (or the defaults, with a warning), and shows the
    // settings, the mix in force and the first regenerator of each bank.
    void Setup(std::int32_t sampleRate, std::int32_t targetImpulse, const std::string& programFolder,
               KernelModel& model);
    // Writes the settings, the write mode, the mix and both banks as they stand.
    bool SaveSettings() override;

    ReverbState& State() { return *state_; }
    int CurrentERIndex() const { return erIndex_; }
    int CurrentGRIndex() const { return grIndex_; }
    // The page shown (0 .. 3), and showing another one as a click on its tab would.
    int PageIndex() const;
    void SelectPage(int index);

    // Controls, for the window's own code and for tests.
    TRadioGroup* RdGp_ERType;
    TTrackBar* TkBr_ERSize;
    TTrackBar* TkBr_ERStrength;
    TRadioGroup* RdGp_GRType;
    TTrackBar* TkBr_GRSize;
    TTrackBar* TkBr_GRTime;
    TTrackBar* TkBr_ERSeprtn;
    TTrackBar* TkBr_GRSeprtn;
    TLabel* Lbl_ERSeprtn;
    TLabel* Lbl_GRSeprtn;
    TTrackBar* TkBr_Filtration;
    TLabel* Lbl_Filtration;
    TSpinEdit* Spn_ERNmbr;
    TTrackBar* TkBr_ER_Level;
    TLabel* Lbl_ER_Level;
    TTrackBar* TkBr_ER_Filter;
    TLabel* Lbl_ER_Filter;
    TTrackBar* TkBr_ER_Pan;
    TCheckBox* ChBx_ER_Active;
    TEdit* Edt_ER_Delay;
    TSpinEdit* Spn_GRNmbr;
    TTrackBar* TkBr_GR_Level;
    TLabel* Lbl_GR_Level;
    TTrackBar* TkBr_GR_Filter;
    TLabel* Lbl_GR_Filter;
    TTrackBar* TkBr_GR_Pan;
    TCheckBox* ChBx_GR_Active;
    TEdit* Edt_GR_Delay;
    TTrackBar* TkBar_MixLvl_Left;
    TTrackBar* TkBr_MixLvl_Right;
    TLabel* Lbl_PcentL;
    TLabel* Lbl_PcentR;
    TLabel* Lbl_SmplRate;
    TButton* Btn_Generate;
    TButton* Btn_Cancel;

    // Event handlers, bound in BindEvents.
    void ERType_Click(TObject& sender);
    void ERSize_Change(TObject& sender);
    void ERStrength_Change(TObject& sender);
    void GRType_Click(TObject& sender);
    void GRSize_Change(TObject& sender);
    void GRTime_Change(TObject& sender);
    void ERSeprtn_Change(TObject& sender);
    void GRSeprtn_Change(TObject& sender);
    void Filtration_Change(TObject& sender);
    void ERNmbr_Change(TObject& sender);
    void ERLevel_Change(TObject& sender);
    void ERFilter_Change(TObject& sender);
    void ERPan_Change(TObject& sender);
    void ERActive_Click(TObject& sender);
    void ERDelay_Change(TObject& sender);
    void GRNmbr_Change(TObject& sender);
    void GRLevel_Change(TObject& sender);
    void GRFilter_Change(TObject& sender);
    void GRPan_Change(TObject& sender);
    void GRActive_Change(TObject& sender);
    void GRDelay_Change(TObject& sender);
    void MixLevel_Change(TObject& sender);
    void ReverbOverwrite_Click(TObject& sender);
    void ReverbMixInto_Click(TObject& sender);
    void Generate_Click(TObject& sender);
    void Cancel_Click(TObject& sender);
    void PageCtrl_Change(TObject& sender);

    void SettingsToControls() override;
    void ShowERRegen(int index);
    void ShowGRRegen(int index);
    void ReadTarget();

protected:
    void LoadSettings() override;

private:
    void BindEvents();
    void ShowRegen(RegenBank bank, int index);

    std::unique_ptr<ReverbState> state_ = MakeReverbState();
    TDesignerPages* pages_ = nullptr;
    int erIndex_ = 0;
    int grIndex_ = 0;
};

} // namespace tarvola
