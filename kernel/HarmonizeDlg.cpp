#include "kernel/HarmonizeDlg.h"

#include "forms/Dialogs.h"
#include "forms/Layout.h"
#include "kernel/EditDialogValues.h"

#include <optional>

namespace tarvola {

namespace {

const TFormLayout kHarmonizeLayout{
    {{"Caption", "Harmonize"},
     {"BorderStyle", "bsDialog"},
     {"BorderIcons", "biSystemMenu"},
     {"ClientWidth", "271"},
     {"ClientHeight", "297"}},
    {
        {"TLabel",
         "Lbl_Explain",
         "",
         8,
         8,
         255,
         70,
         {{"AutoSize", "False"},
          {"WordWrap", "True"},
          {"Caption", "Define the harmonic relationship to the editor contents and to impulse zero, and the "
                      "relative strength of the harmonic. Tarvola will then copy the editor contents move "
                      "them as a block."}}},
        {"TTrackBar",
         "TkBr_Level",
         "",
         16,
         84,
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
        {"TLabel", "Lbl_Level", "", 64, 146, 60, 13, {{"Caption", "Level"}}},
        {"TEdit", "Edt_Level", "", 64, 162, 64, 21, {{"Text", "1.00"}, {"OnKeyPress", "Edit_KeyPress"}}},
        {"TRadioGroup",
         "RdGp_Harmonic",
         "",
         140,
         84,
         123,
         124,
         {{"Caption", "Harmonic Number"},
          {"Items", "2.0  &&  2.0|3.0  &&  1.5|4.0  &&  1.33|5.0  &&  1.25|6.0  &&  1.2"},
          {"ItemIndex", "0"}}},
        {"TButton", "Btn_OK", "", 52, 264, 75, 25, {{"Caption", "OK"}, {"OnClick", "OK_Click"}}},
        {"TButton",
         "Btn_Cancel",
         "",
         144,
         264,
         75,
         25,
         {{"Caption", "Cancel"}, {"Cancel", "True"}, {"OnClick", "Cancel_Click"}}},
    }};

} // namespace

TobjHarmonize::TobjHarmonize(TComponent* owner) : TobjEditOperationDlg(owner) {
    LoadLayout(kHarmonizeLayout);
    RdGp_Harmonic = &Find<TRadioGroup>("RdGp_Harmonic");
    MakeRadioButtons(*RdGp_Harmonic);
    Couple("TkBr_Level", "Edt_Level", 3);
}

// The level must be a number: a text that is not is refused with a message, and the dialog stays open.
bool TobjHarmonize::Accept() {
    const std::optional<long double> level = TypedNumber(Edit().Text());
    if (!level) {
        MessageDlg("'" + Edit().Text() + "' is not a valid floating point value", TMsgDlgType::mtError, mbOK);
        Edit().SetFocus();
        return false;
    }
    TargetImpulse = HarmonicTarget(LowImpulse, RdGp_Harmonic->ItemIndex());
    Level = *level;
    return true;
}

void TobjHarmonize::Reject() {
    Level = 0.0L;
}

} // namespace tarvola
