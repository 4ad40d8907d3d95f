#include "kernel/HarmonizeDlg.h"

#include "forms/Dialogs.h"
#include "forms/Layout.h"
#include "kernel/EditDialogValues.h"

#include <optional>

namespace tarvola {

namespace {

const TEditOperationLayout kHarmonizeLayout{
    .caption = "Harmonize",
    .clientWidth = 271,
    .clientHeight = 297,
    .explanation =
        "Define the harmonic relationship to the editor contents and to impulse zero, and the relative "
        "strength of the harmonic. Tarvola will then copy the editor contents move them as a block.",
    .explanationHeight = 70,
    .trackName = "TkBr_Level",
    .trackLeft = 16,
    .trackTop = 84,
    .trackMin = "-200",
    .trackMax = "200",
    .trackFrequency = "25",
    .trackPosition = "-100",
    .labelName = "Lbl_Level",
    .labelCaption = "Level",
    .labelWidth = 60,
    .editName = "Edt_Level",
    .editText = "1.00",
    .valueLeft = 64,
    .editTop = 162,
    .editWidth = 64,
    .decimals = 3,
    .okLeft = 52,
    .cancelLeft = 144,
    .buttonsTop = 264,
};

const std::vector<TComponentRow> kHarmonicRows{
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
};

} // namespace

TobjHarmonize::TobjHarmonize(TComponent* owner) : TobjEditOperationDlg(owner) {
    LoadEditLayout(kHarmonizeLayout, kHarmonicRows);
    RdGp_Harmonic = &Find<TRadioGroup>("RdGp_Harmonic");
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
