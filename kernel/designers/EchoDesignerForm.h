// EchoDesignerForm: the modal dialog "Echo Designer v1.02" over the echo arithmetic of EchoDesigner.
//
// Five pages: "Recursion Echo p1" and "p2" (the recursive echo and its regeneration filter), "Convolution
// Echo p1" and "p2" (the convolution echo and its tap filter), and "Final" with the export rules, the sample
// rate and the Generate and Cancel buttons. The two kinds are exclusive (ShowMode).
//
// The settings record changes at set-up (loaded or defaults), when a filter box is clicked (its flag) and at
// a successful Generate; SaveSettings writes it to "EchoPersist.dat". Run it with
// RunEffectDesigner<TobjEchoDesigner>; the caller records "Design Echo".
//
// Also here: TCheckedSpinEdit, the number field both tap designers use. When the user leaves it holding a
// number too large for 32 bits, the spin edit puts its minimum in its place; this one remembers the text,
// so that Generate refuses it instead of designing with the minimum.
#pragma once

#include "kernel/designers/DesignerForm.h"
#include "kernel/designers/DesignerPages.h"
#include "kernel/designers/EchoDesigner.h"

#include <optional>
#include <string>

namespace tarvola {

class TCheckedSpinEdit : public TSpinEdit {
public:
    explicit TCheckedSpinEdit(TComponent* owner) : TSpinEdit(owner) {}

    // The refusal of the text the field holds, or of the one it held when the user left it.
    std::optional<std::string> Refusal(std::string_view fieldCaption) const;
    void ForgetRefusal() { leftText_.reset(); }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::optional<std::string> leftText_;
};

// Makes "TCheckedSpinEdit" known to layout tables (safe to call more than once).
void RegisterCheckedSpinEdit();

// Layout rows both tap designers use: a label, a typeable number field (a TCheckedSpinEdit; min = max means
// no limits), a filter order field (5..1023, step 2, not typeable), a vertical track bar from 0 with ticks on
// both sides, and a page of the page control.
TComponentRow LabelRow(std::string_view name, std::string_view parent, int left, int top, int width,
                       std::string_view caption);
TComponentRow NumberFieldRow(std::string_view name, std::string_view parent, int left, int top,
                             std::string_view min, std::string_view max, std::string_view value);
TComponentRow FilterOrderRow(std::string_view name, std::string_view parent, int left, int top);
TComponentRow VerticalBarRow(std::string_view name, std::string_view parent, int left, int top,
                             std::string_view max, std::string_view frequency, std::string_view position);
TComponentRow PageRow(std::string_view name, std::string_view pages);

class TobjEchoDesigner : public TobjEffectDesigner {
public:
    explicit TobjEchoDesigner(TComponent* owner);

    bool SaveSettings() override;
    const TEchoSettings& Settings() const { return settings_; }
    // The rate the kernel is calculated for: the one given at set-up when it is usable, else 44100.
    std::int32_t DesignRate() const { return rate_; }

    TDesignerPages* PgCtl_Echo = nullptr;
    TCheckBox* ChBx_UseRecursive = nullptr;
    TCheckedSpinEdit* SpEd_Recrs_Delay = nullptr;
    TCheckedSpinEdit* SpEd_Recrs_Value = nullptr;
    TTrackBar* TkBr_Recrs_Stereo = nullptr;
    TTrackBar* TkBr_Recrs_MixLvl = nullptr;
    TSpinEdit* SpEd_Recrs_FltrOrder = nullptr;
    TRadioGroup* RdGp_Recrs_Strategy = nullptr;
    TRadioGroup* RdGp_Recrs_Timbre = nullptr;
    TCheckBox* ChBx_Recrs_Filter = nullptr;
    TCheckBox* ChBx_UseConvolution = nullptr;
    TCheckedSpinEdit* SpEd_Conv_InitDelay = nullptr;
    TCheckedSpinEdit* SpEd_Conv_InitValue = nullptr;
    TCheckedSpinEdit* SpEd_Conv_FinalDelay = nullptr;
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
    EchoControlValues ControlValues() const;
    // The refusal of the first number field whose text cannot be held, if any.
    std::optional<std::string> RefusedText();

    void UseRecursive_Click(TObject& sender);
    void UseConvolution_Click(TObject& sender);
    void RecrsUseFltr_Click(TObject& sender);
    void ConvUseFltr_Click(TObject& sender);
    void Generate_Click(TObject& sender);
    void Cancel_Click(TObject& sender);

    TEchoSettings settings_;
    std::int32_t rate_ = kDefaultDesignerSampleRate;
    bool showingMode_ = false;
};

} // namespace tarvola
