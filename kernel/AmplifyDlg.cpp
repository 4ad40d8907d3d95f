#include "kernel/AmplifyDlg.h"

#include "forms/Layout.h"

namespace tarvola {

namespace {

const TEditOperationLayout kAmplifyLayout{
    .caption = "Amplify",
    .clientWidth = 213,
    .clientHeight = 273,
    .explanation =
        "Set an amplification factor to apply to ALL impulse values that appear in the editor panel.",
    .explanationHeight = 52,
    .trackName = "TkBr_Amplify",
    .trackLeft = 16,
    .trackTop = 64,
    .trackMin = "-200",
    .trackMax = "200",
    .trackFrequency = "25",
    .trackPosition = "-100",
    .labelName = "Lbl_Amplify",
    .labelCaption = "Amplification Factor",
    .labelWidth = 120,
    .editName = "Edt_Amplify",
    .editText = "1.00",
    .valueLeft = 72,
    .editTop = 138,
    .editWidth = 80,
    .decimals = 2,
    .okLeft = 24,
    .cancelLeft = 114,
    .buttonsTop = 240,
};

} // namespace

TobjAmplifyDlg::TobjAmplifyDlg(TComponent* owner) : TobjEditOperationDlg(owner) {
    LoadEditLayout(kAmplifyLayout);
}

bool TobjAmplifyDlg::Accept() {
    Factor = ShownValue();
    return true;
}

void TobjAmplifyDlg::Reject() {
    Factor = 1.0L;
}

} // namespace tarvola
