#include "kernel/MirrorDlg.h"

#include "forms/Layout.h"
#include "kernel/EditDialogValues.h"

namespace tarvola {

namespace {

const TEditOperationLayout kMirrorLayout{
    .caption = "Mirror",
    .clientWidth = 261,
    .clientHeight = 276,
    .explanation =
        "Create a mirror image of the editor contents, either reflected around impulse zero or the "
        "editor boundaries, or around the next impulse outside the editor.",
    .explanationHeight = 56,
    .trackName = "TkBr_Level",
    .trackLeft = 8,
    .trackTop = 68,
    .trackMin = "-200",
    .trackMax = "200",
    .trackFrequency = "25",
    .trackPosition = "-100",
    .labelName = "Lbl_Level",
    .labelCaption = "Level",
    .labelWidth = 50,
    .editName = "Edt_Level",
    .editText = "1.00",
    .valueLeft = 54,
    .editTop = 146,
    .editWidth = 54,
    .decimals = 2,
    .okLeft = 46,
    .cancelLeft = 140,
    .buttonsTop = 243,
};

const std::vector<TComponentRow> kReflectorRows{
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
};

} // namespace

TobjMirror::TobjMirror(TComponent* owner) : TobjEditOperationDlg(owner) {
    LoadEditLayout(kMirrorLayout, kReflectorRows);
    RdGp_Reflector = &Find<TRadioGroup>("RdGp_Reflector");
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
