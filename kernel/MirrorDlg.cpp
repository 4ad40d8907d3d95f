#include "kernel/MirrorDlg.h"

#include "forms/Layout.h"
#include "kernel/EditDialogValues.h"

namespace tarvola {

namespace {

const TFormLayout kMirrorLayout{
    {{"Caption", "Mirror"},
     {"BorderStyle", "bsDialog"},
     {"BorderIcons", "biSystemMenu"},
     {"ClientWidth", "261"},
     {"ClientHeight", "276"}},
    {
        {"TLabel",
         "Lbl_Explain",
         "",
         8,
         8,
         245,
         56,
         {{"AutoSize", "False"},
          {"WordWrap", "True"},
          {"Caption", "Create a mirror image of the editor contents, either reflected around impulse zero or "
                      "the editor boundaries, or around the next impulse outside the editor."}}},
        {"TTrackBar",
         "TkBr_Level",
         "",
         8,
         68,
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
        {"TLabel", "Lbl_Level", "", 54, 130, 50, 13, {{"Caption", "Level"}}},
        {"TEdit", "Edt_Level", "", 54, 146, 54, 21, {{"Text", "1.00"}, {"OnKeyPress", "Edit_KeyPress"}}},
        {"TRadioGroup",
         "RdGp_Reflector",
         "",
         116,
         68,
         137,
         124,
         {{"Caption", "Reflector"},
          {"Items", "Impulse Zero|Editor Low Impulse|Editor Low -1|Editor High Impulse|Editor High + 1"},
          {"ItemIndex", "0"}}},
        {"TButton", "Btn_OK", "", 46, 243, 75, 25, {{"Caption", "OK"}, {"OnClick", "OK_Click"}}},
        {"TButton",
         "Btn_Cancel",
         "",
         140,
         243,
         75,
         25,
         {{"Caption", "Cancel"}, {"Cancel", "True"}, {"OnClick", "Cancel_Click"}}},
    }};

} // namespace

TobjMirror::TobjMirror(TComponent* owner) : TobjEditOperationDlg(owner) {
    LoadLayout(kMirrorLayout);
    RdGp_Reflector = &Find<TRadioGroup>("RdGp_Reflector");
    MakeRadioButtons(*RdGp_Reflector);
    Couple("TkBr_Level", "Edt_Level", 2);
}

void TobjMirror::SetRange(std::int32_t lowImpulse, std::int32_t highImpulse) {
    LowImpulse = lowImpulse;
    HighImpulse = highImpulse;
}

bool TobjMirror::Accept() {
    Level = TypedNumber(Edit().Text()).value_or(1.0L);
    Reflector = RdGp_Reflector->ItemIndex();
    ReflectorImpulse = tarvola::ReflectorImpulse(Reflector, LowImpulse, HighImpulse);
    return true;
}

void TobjMirror::Reject() {
    Level = 0.0L;
    Reflector = 0;
    ReflectorImpulse = 0;
}

} // namespace tarvola
