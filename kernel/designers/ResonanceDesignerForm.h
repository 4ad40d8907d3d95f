// ResonanceDesignerForm: the modal dialog "Resonance Designer v1.02" over the resonance arithmetic of
// ResonanceDesigner: the echo designer's dialog with delays given as frequencies.
//
// Five pages: "Recursion Res p1" and "p2" (the recursive resonance and its filter), "Convolution Res p1" and
// "p2" (the convolution resonance and its tap filter), and "Final" with the export rules, the sample rate
// and the Generate and Cancel buttons. "Negative Strength" mirrors the strength bar to negative values; a
// negative strength from the settings file ticks it, so the strength keeps its sign.
//
// The settings record changes at set-up, when a filter box is clicked (its flag) and at a successful
// Generate; SaveSettings writes it to "ResncePersist.dat". Run it with RunEffectDesigner<TobjResnceDesigner>;
// the caller records "Design Resonance".
#pragma once

#include "kernel/designers/EchoDesignerForm.h"
#include "kernel/designers/ResonanceDesigner.h"

namespace tarvola {

class TobjResnceDesigner : public TobjEffectDesigner {
public:
    explicit TobjResnceDesigner(TComponent* owner);

    bool SaveSettings() override;
    const TResonanceSettings& Settings() const { return settings_; }
    std::int32_t DesignRate() const { return rate_; }

    TDesignerPages* PgCtl_Resonance = nullptr;
    TCheckBox* ChBx_UseRecursive = nullptr;
    TCheckedSpinEdit* SpEd_Recrs_Freq = nullptr;
    TTrackBar* TkBr_Recrs_Value = nullptr;
    TLabel* Lbl_Strength = nullptr;
    TCheckBox* ChBx_NegStrength = nullptr;
    TTrackBar* TkBr_Recrs_Stereo = nullptr;
    TTrackBar* TkBr_Recrs_MixLvl = nullptr;
    TSpinEdit* SpEd_Recrs_FltrOrder = nullptr;
    TRadioGroup* RdGp_Recrs_Timbre = nullptr;
    TCheckBox* ChBx_Recrs_Filter = nullptr;
    TCheckBox* ChBx_UseConvolution = nullptr;
    TCheckedSpinEdit* SpEd_Conv_InitFreq = nullptr;
    TCheckedSpinEdit* SpEd_Conv_FinalFreq = nullptr;
    TCheckedSpinEdit* SpEd_Conv_InitValue = nullptr;
    TCheckedSpinEdit* SpEd_Conv_FinalValue = nullptr;
    TCheckedSpinEdit* SpEd_Conv_NmbrTaps = nullptr;
    TTrackBar* TkBr_Conv_Stereo = nullptr;
    TSpinEdit* SpEd_Conv_FltrOrder = nullptr;
    TTrackBar* TkBr_Conv_MixLvl = nullptr;
    TRadioGroup* RdGp_Conv_Timbre = nullptr;
    TCheckBox* ChBx_Conv_Filter = nullptr;
    TLabel* Lbl_SmplRate = nullptr;
    TButton* Btn_Generate = nullptr;
    TButton* Btn_Cancel = nullptr;

protected:
    void LoadSettings() override;
    void SettingsToControls() override;

private:
    void ShowMode(int mode);
    ResonanceControlValues ControlValues() const;
    std::optional<std::string> RefusedText();

    void UseRecursive_Click(TObject& sender);
    void UseConvolution_Click(TObject& sender);
    void RecrsUseFltr_Click(TObject& sender);
    void ConvUseFltr_Click(TObject& sender);
    void RecrsValue_Change(TObject& sender);
    void Neg_Click(TObject& sender);
    void Generate_Click(TObject& sender);
    void Cancel_Click(TObject& sender);

    TResonanceSettings settings_;
    std::int32_t rate_ = kDefaultDesignerSampleRate;
    bool showingMode_ = false;
};

} // namespace tarvola
