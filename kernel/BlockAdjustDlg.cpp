#include "kernel/BlockAdjustDlg.h"

#include "forms/Layout.h"

namespace tarvola {

namespace {

const TEditOperationLayout kBlockAdjustLayout{
    .caption = "Block Value Adjust",
    .clientWidth = 213,
    .clientHeight = 273,
    .explanation = "Set an amount to add uniformly to the value of every column in the editor panel.",
    .explanationHeight = 52,
    .trackName = "TkBr_Adjust",
    .trackLeft = 16,
    .trackTop = 64,
    .trackMin = "-100",
    .trackMax = "100",
    .trackFrequency = "20",
    .trackPosition = "0",
    .labelName = "Lbl_Adjust",
    .labelCaption = "Adjustment Amount",
    .labelWidth = 120,
    .editName = "Edt_Adjust",
    .editText = "0.00",
    .valueLeft = 72,
    .editTop = 138,
    .editWidth = 80,
    .decimals = 2,
    .okLeft = 24,
    .cancelLeft = 114,
    .buttonsTop = 240,
};

} // namespace

TobjBlockAdjust::TobjBlockAdjust(TComponent* owner) : TobjEditOperationDlg(owner) {
    LoadEditLayout(kBlockAdjustLayout);
}

bool TobjBlockAdjust::Accept() {
    Amount = ShownValue();
    return true;
}

void TobjBlockAdjust::Reject() {
    Amount = 0.0L;
}

} // namespace tarvola
