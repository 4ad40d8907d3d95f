// EchoDesignerForm: the modal dialog "Echo Designer v1.02" over the echo arithmetic of EchoDesigner.
//
// Five pages: "Recursion Echo p1" and "p2" (the recursive echo and its regeneration filter), "Convolution
// Echo p1" and "p2" (the convolution echo and its tap filter), and "Final" with the export rules, the sample
// rate and the Generate and Cancel buttons. The two kinds are exclusive (ShowMode). What it shares with the
// resonance dialog is in TapDesignerForm.
//
// The settings record changes at set-up (loaded or defaults), when a filter box is clicked (its flag) and at
// a successful Generate; SaveSettings writes it to "EchoPersist.dat". Run it with
// RunEffectDesigner<TobjEchoDesigner>; the caller records "Design Echo".
#pragma once

#include "kernel/designers/EchoDesigner.h"
#include "kernel/designers/TapDesignerForm.h"

namespace tarvola {

class TobjEchoDesigner : public TobjTapDesigner<TEchoSettings, EchoControlValues> {
public:
    explicit TobjEchoDesigner(TComponent* owner);

    TDesignerPages* PgCtl_Echo = nullptr;
    TCheckedSpinEdit* SpEd_Recrs_Delay = nullptr;
    TCheckedSpinEdit* SpEd_Recrs_Value = nullptr;
    TRadioGroup* RdGp_Recrs_Strategy = nullptr;
    TCheckedSpinEdit* SpEd_Conv_InitDelay = nullptr;
    TCheckedSpinEdit* SpEd_Conv_FinalDelay = nullptr;

protected:
    TEchoSettings LoadSettingsFile() const override;
    bool SaveSettingsFile() const override;
    EchoGenerateResult GenerateFromControls(const EchoControlValues& controls) override;
    void ShowOwnRecursiveControls(const EchoControlValues& controls) override;
    void ShowOwnConvolutionControls(const EchoControlValues& controls) override;
    void ReadOwnControls(EchoControlValues& controls) const override;
};

} // namespace tarvola
