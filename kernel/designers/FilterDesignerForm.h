// FilterDesignerForm: the modal dialog "Filter Designer v1.02" over the FIR arithmetic of FilterDesigner.
//
// Three pages: two guided ones ("Designer p1": response type and output mix; "Designer p2": window
// function and order) and "All Parameters" with every control, the export rules and the Generate and
// Cancel buttons. The twin controls of the guided pages and of "All Parameters" follow each other.
//
// The settings record changes at set-up (loaded or defaults), when the amplitude bar moves, and at
// Generate; SaveSettings writes it to "FilterPersist.dat", so Cancel keeps the loaded values except the
// amplitude. Run it with RunEffectDesigner<TobjFilterDesigner>; the caller records "Design FIR Filter".
#pragma once

#include "kernel/designers/DesignerForm.h"
#include "kernel/designers/DesignerPages.h"
#include "kernel/designers/FilterDesigner.h"

namespace tarvola {

class TobjFilterDesigner : public TobjEffectDesigner {
public:
    explicit TobjFilterDesigner(TComponent* owner);

    bool SaveSettings() override;
    const TFilterSettings& Settings() const { return settings_; }

    TDesignerPages* PgCtl_Designer = nullptr;
    TRadioGroup* RaGp_Asst_PassBand = nullptr;
    TSpinEdit* SpEd_Asst_MixLevel = nullptr;
    TRadioGroup* RdGp_Asst_Function = nullptr;
    TSpinEdit* SpEd_Wzd_Order = nullptr;
    TTrackBar* TkBar_MixLevel = nullptr;
    TLabel* Lbl_Pcent = nullptr;
    TTrackBar* TkBr_Amplitude = nullptr;
    TLabel* Lbl_Amps = nullptr;
    TRadioGroup* RadGp_Function = nullptr;
    TRadioGroup* RadGp_PassBand = nullptr;
    TSpinEdit* Spn_Order = nullptr;
    TButton* Btn_Generate = nullptr;
    TButton* Btn_Cancel = nullptr;

protected:
    void LoadSettings() override;
    void SettingsToControls() override;

private:
    FilterControlValues ControlValues() const;

    void Asst_PassBand_Click(TObject& sender);
    void PassBand_Click(TObject& sender);
    void Asst_Function_Click(TObject& sender);
    void Function_Click(TObject& sender);
    void Wzd_Order_Change(TObject& sender);
    void Order_Changed(TObject& sender);
    void Asst_MixLevel_Change(TObject& sender);
    void MixLevel_Change(TObject& sender);
    void Amplitude_Change(TObject& sender);
    void Generate_Click(TObject& sender);
    void Cancel_Click(TObject& sender);

    TFilterSettings settings_;
};

} // namespace tarvola
