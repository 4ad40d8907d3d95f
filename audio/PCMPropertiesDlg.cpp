#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/StdCtrls.h"

#include "audio/PCMPropertiesDlg.h"

namespace tarvola {

namespace {

// clang-format off
const TFormLayout PCMParamsLayout{
    {{"Caption", "PCM Audio Properties"}, {"BorderStyle", "bsDialog"}, {"ClientWidth", "264"},
     {"ClientHeight", "218"}},
    {
        {"TLabel", "Lbl_SmplRate", "", 16, 20, 100, 13, {{"Caption", "Sampling Rate:"}}},
        {"TSpinEdit", "SpEd_SmplRate", "", 136, 16, 112, 22, {{"MinValue", "1"}, {"MaxValue", "200000"}, {"Value", "44100"}}},
        {"TLabel", "Lbl_BitsPSmpl", "", 16, 52, 100, 13, {{"Caption", "Bits Per Sample:"}}},
        {"TSpinEdit", "SpEd_BitsPSmpl", "", 136, 48, 112, 22, {{"MinValue", "1"}, {"MaxValue", "32"}, {"Value", "16"}}},
        {"TLabel", "Lbl_Chnls", "", 16, 84, 100, 13, {{"Caption", "Nmbr of Channels:"}}},
        {"TSpinEdit", "SpEd_Chnls", "", 136, 80, 112, 22, {{"MinValue", "1"}, {"MaxValue", "2"}, {"Value", "1"}}},
        {"TRadioGroup", "RdGp_Order", "", 16, 114, 232, 60,
         {{"Caption", "Data Ordering"}, {"Items", ".wav / low byte to high byte|.aiff / high byte to low byte"},
          {"ItemIndex", "0"}}},
        {"TButton", "Btn_OK", "", 48, 184, 75, 25, {{"Caption", "OK"}, {"Default", "True"}}},
        {"TButton", "Btn_Cancel", "", 140, 184, 75, 25,
         {{"Caption", "Cancel"}, {"Cancel", "True"}}},
    }};
// clang-format on

} // namespace

TobjPCMParamsDlg::TobjPCMParamsDlg(TComponent* owner) : TForm(owner) {
    LoadLayout(PCMParamsLayout);
    SpEd_SmplRate = &Find<TSpinEdit>("SpEd_SmplRate");
    SpEd_BitsPSmpl = &Find<TSpinEdit>("SpEd_BitsPSmpl");
    SpEd_Chnls = &Find<TSpinEdit>("SpEd_Chnls");
    RdGp_Order = &Find<TRadioGroup>("RdGp_Order");
    Btn_OK = &Find<TButton>("Btn_OK");
    Btn_Cancel = &Find<TButton>("Btn_Cancel");
    Bind(Btn_OK->OnClick, this, &TobjPCMParamsDlg::OK_Click);
    Bind(Btn_Cancel->OnClick, this, &TobjPCMParamsDlg::Cancel_Click);
}

void TobjPCMParamsDlg::OK_Click(TObject&) {
    Cancelled = false;
    Bits = SpEd_BitsPSmpl->Value();
    Rate = SpEd_SmplRate->Value();
    Channels = SpEd_Chnls->Value();
    BytesPerSample = Bits / 8 + (Bits % 8 != 0 ? 1 : 0);
    Order = RdGp_Order->ItemIndex();
    Close();
}

void TobjPCMParamsDlg::Cancel_Click(TObject&) {
    Cancelled = true;
    Close();
}

} // namespace tarvola
