#include "kernel/BlockAdjustDlg.h"

#include "forms/Layout.h"

namespace tarvola {

namespace {

const TFormLayout kBlockAdjustLayout{
    {{"Caption", "Block Value Adjust"},
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
          {"Caption", "Set an amount to add uniformly to the value of every column in the editor panel."}}},
        {"TTrackBar",
         "TkBr_Adjust",
         "",
         16,
         64,
         40,
         168,
         {{"Orientation", "trVertical"},
          {"ThumbLength", "15"},
          {"TickMarks", "tmBottomRight"},
          {"Min", "-100"},
          {"Max", "100"},
          {"Frequency", "20"},
          {"Position", "0"},
          {"OnChange", "Track_Change"}}},
        {"TLabel", "Lbl_Adjust", "", 72, 122, 120, 13, {{"Caption", "Adjustment Amount"}}},
        {"TEdit", "Edt_Adjust", "", 72, 138, 80, 21, {{"Text", "0.00"}, {"OnKeyPress", "Edit_KeyPress"}}},
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

TobjBlockAdjust::TobjBlockAdjust(TComponent* owner) : TobjEditOperationDlg(owner) {
    LoadLayout(kBlockAdjustLayout);
    Couple("TkBr_Adjust", "Edt_Adjust", 2);
}

bool TobjBlockAdjust::Accept() {
    Amount = ShownValue();
    return true;
}

void TobjBlockAdjust::Reject() {
    Amount = 0.0L;
}

} // namespace tarvola
