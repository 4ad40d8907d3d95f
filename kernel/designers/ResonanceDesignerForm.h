// ResonanceDesignerForm: the modal dialog "Resonance Designer v1.02" over the resonance arithmetic of
// ResonanceDesigner: the echo designer's dialog with delays given as frequencies (what the two share is in
// TapDesignerForm).
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

#include "kernel/designers/ResonanceDesigner.h"
#include "kernel/designers/TapDesignerForm.h"

namespace tarvola {

class TobjResnceDesigner : public TobjTapDesigner<TResonanceSettings, ResonanceControlValues> {
public:
    explicit TobjResnceDesigner(TComponent* owner);

    TDesignerPages* PgCtl_Resonance = nullptr;
    TCheckedSpinEdit* SpEd_Recrs_Freq = nullptr;
    TTrackBar* TkBr_Recrs_Value = nullptr;
    TLabel* Lbl_Strength = nullptr;
    TCheckBox* ChBx_NegStrength = nullptr;
    TCheckedSpinEdit* SpEd_Conv_InitFreq = nullptr;
    TCheckedSpinEdit* SpEd_Conv_FinalFreq = nullptr;

protected:
    TResonanceSettings LoadSettingsFile() const override;
    bool SaveSettingsFile() const override;
    ResonanceGenerateResult GenerateFromControls(const ResonanceControlValues& controls) override;
    void ShowOwnRecursiveControls(const ResonanceControlValues& controls) override;
    void ShowOwnConvolutionControls(const ResonanceControlValues& controls) override;
    void ReadOwnControls(ResonanceControlValues& controls) const override;

private:
    void RecrsValue_Change(TObject& sender);
    void Neg_Click(TObject& sender);
};

} // namespace tarvola
