#include "kernel/AmplifyDlg.h"

#include "forms/Layout.h"

namespace tarvola {

namespace {

const TFormLayout kAmplifyLayout{
    {{"Caption", "Amplify"},
     {"BorderStyle", "bsDialog"},
     {"BorderIcons", "biSystemMenu"},
     {"ClientWidth", "213"},
     {"ClientHeight", "273"}},
    {
        {"TLabel",
         "Lbl_Explain",
         "",
         8,
         8,
         197,
         52,
         {{"AutoSize", "False"},
          {"WordWrap", "True"},
          {"Caption", "Set an amplification factor to apply to ALL impulse values that appear in the editor "
                      "panel."}}},
        {"TTrackBar",
         "TkBr_Amplify",
         "",
         16,
         64,
         40,
         168,
         {{"Orientation", "trVertical"},
          {"ThumbLength", "15"},
          {"TickMarks", "tmBottomRight"},
          {"Min", "-200"},
          {"Max", "200"},
          {"Frequency", "25"},
          {"Position", "-100"},
          {"OnChange", "Track_Change"}}},
        {"TLabel", "Lbl_Amplify", "", 72, 122, 120, 13, {{"Caption", "Amplification Factor"}}},
        {"TEdit", "Edt_Amplify", "", 72, 138, 80, 21, {{"Text", "1.00"}, {"OnKeyPress", "Edit_KeyPress"}}},
        {"TButton", "Btn_OK", "", 24, 240, 75, 25, {{"Caption", "OK"}, {"OnClick", "OK_Click"}}},
        {"TButton",
         "Btn_Cancel",
         "",
         114,
         240,
         75,
         25,
         {{"Caption", "Cancel"}, {"Cancel", "True"}, {"OnClick", "Cancel_Click"}}},
    }};

} // namespace

TobjAmplifyDlg::TobjAmplifyDlg(TComponent* owner) : TobjEditOperationDlg(owner) {
    LoadLayout(kAmplifyLayout);
    Couple("TkBr_Amplify", "Edt_Amplify", 2);
}

bool TobjAmplifyDlg::Accept() {
    Factor = ShownValue();
    return true;
}

void TobjAmplifyDlg::Reject() {
    Factor = 1.0L;
}

} // namespace tarvola
