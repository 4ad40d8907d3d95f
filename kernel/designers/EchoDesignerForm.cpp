#include "kernel/designers/EchoDesignerForm.h"

#include "forms/Layout.h"

#include <vector>

namespace tarvola {

namespace {

constexpr const char* kFinalText =
    "IMPORTANT: The timing of echoes will be calculated from the Target Impulse. If it is not already set to "
    "zero, and you have no reason to delay or advance the echo, in addition to the timing you have "
    "specified, "
    "then set it to zero now.";
constexpr const char* kPages = "PgCtl_Echo";

std::vector<TComponentRow> EchoDesignerRows() {
    std::vector<TComponentRow> rows = {
        {"TDesignerPages", kPages, "", 4, 4, 493, 229, {}},

        PageRow("TbSht_Recrs1", kPages),
        UseKindRow(TTapKind::Recursive, 180, "Use Recursive Echo"),
        LabelRow("Lbl_Recrs_Delay", "TbSht_Recrs1", 12, 46, 90, "Delay ms"),
        NumberFieldRow("SpEd_Recrs_Delay", "TbSht_Recrs1", 110, 42, "0", "0", "100"),
        LabelRow("Lbl_Recrs_Value", "TbSht_Recrs1", 12, 80, 90, "Strength %"),
        NumberFieldRow("SpEd_Recrs_Value", "TbSht_Recrs1", 110, 76, "0", "0", "60"),
        LabelRow("Lbl_Recrs_Stereo", "TbSht_Recrs1", 300, 10, 90, "Stereo Effect"),
        VerticalBarRow("TkBr_Recrs_Stereo", "TbSht_Recrs1", 320, 28, "200", "20", "150"),
    };
    AppendRows(rows,
               FilterPageRows(TTapKind::Recursive, kPages,
                              {{"TRadioGroup",
                                "RdGp_Recrs_Strategy",
                                "TbSht_Recrs2",
                                80,
                                44,
                                120,
                                64,
                                {{"Caption", "Strategy"}, {"Items", "Once|Recursive"}, {"ItemIndex", "1"}}}},
                              210, "Filter Regenerations"));
    AppendRows(rows, {
                         PageRow("TbSht_Conv1", kPages),
                         UseKindRow(TTapKind::Convolution, 180, "Use Convolution Echo"),
                         LabelRow("Lbl_Conv_InitDelay", "TbSht_Conv1", 12, 46, 100, "Initial Delay ms"),
                         NumberFieldRow("SpEd_Conv_InitDelay", "TbSht_Conv1", 120, 42, "0", "0", "100"),
                         LabelRow("Lbl_Conv_InitValue", "TbSht_Conv1", 230, 46, 100, "Inital Strength %"),
                         NumberFieldRow("SpEd_Conv_InitValue", "TbSht_Conv1", 340, 42, "0", "0", "60"),
                         LabelRow("Lbl_Conv_FinalDelay", "TbSht_Conv1", 12, 80, 100, "Final Delay ms"),
                         NumberFieldRow("SpEd_Conv_FinalDelay", "TbSht_Conv1", 120, 76, "0", "0", "100"),
                         LabelRow("Lbl_Conv_FinalValue", "TbSht_Conv1", 230, 80, 100, "Final Strength %"),
                         NumberFieldRow("SpEd_Conv_FinalValue", "TbSht_Conv1", 340, 76, "0", "0", "60"),
                         LabelRow("Lbl_Conv_NmbrTaps", "TbSht_Conv1", 12, 114, 100, "Number of Taps"),
                         NumberFieldRow("SpEd_Conv_NmbrTaps", "TbSht_Conv1", 120, 110, "1", "500", "6"),
                         LabelRow("Lbl_Conv_Stereo", "TbSht_Conv1", 12, 154, 100, "Stereo Effect"),
                         ConvolutionStereoRow("200", "20", "100"),
                     });
    AppendRows(rows, FilterPageRows(TTapKind::Convolution, kPages, {}, 80, "Filter Regenerations"));
    AppendRows(rows, FinalPageRows(kPages, kFinalText));
    return rows;
}

const TFormLayout& EchoDesignerLayout() {
    static const TFormLayout layout{TobjEffectDesigner::DialogProperties("Echo Designer v1.02", "237"),
                                    EchoDesignerRows()};
    return layout;
}

} // namespace

TobjEchoDesigner::TobjEchoDesigner(TComponent* owner) : TobjTapDesigner(owner) {
    LoadLayout(EchoDesignerLayout());
    PgCtl_Echo = &BindTapControls(
        kPages, {"Recursion Echo p1", "Recursion Echo p2", "Convolution Echo p1", "Convolution Echo p2"});
    SpEd_Recrs_Delay = &Find<TCheckedSpinEdit>("SpEd_Recrs_Delay");
    SpEd_Recrs_Value = &Find<TCheckedSpinEdit>("SpEd_Recrs_Value");
    RdGp_Recrs_Strategy = &Find<TRadioGroup>("RdGp_Recrs_Strategy");
    SpEd_Conv_InitDelay = &Find<TCheckedSpinEdit>("SpEd_Conv_InitDelay");
    SpEd_Conv_FinalDelay = &Find<TCheckedSpinEdit>("SpEd_Conv_FinalDelay");
    groups_.recursive = {ChBx_Recrs_Filter, SpEd_Recrs_Delay, SpEd_Recrs_Value, TkBr_Recrs_Stereo};
    groups_.recursiveFilter = {RdGp_Recrs_Timbre, RdGp_Recrs_Strategy, SpEd_Recrs_FltrOrder,
                               TkBr_Recrs_MixLvl};
    groups_.convolution = {ChBx_Conv_Filter,    SpEd_Conv_NmbrTaps,   TkBr_Conv_Stereo,
                           SpEd_Conv_InitDelay, SpEd_Conv_FinalDelay, SpEd_Conv_InitValue,
                           SpEd_Conv_FinalValue};
    groups_.convolutionFilter = {RdGp_Conv_Timbre, SpEd_Conv_FltrOrder, TkBr_Conv_MixLvl};
    checkedFields_ = {{SpEd_Recrs_Delay, "Delay ms"},
                      {SpEd_Recrs_Value, "Strength %"},
                      {SpEd_Conv_InitDelay, "Initial Delay ms"},
                      {SpEd_Conv_InitValue, "Inital Strength %"},
                      {SpEd_Conv_FinalDelay, "Final Delay ms"},
                      {SpEd_Conv_FinalValue, "Final Strength %"},
                      {SpEd_Conv_NmbrTaps, "Number of Taps"}};
}

TEchoSettings TobjEchoDesigner::LoadSettingsFile() const {
    return LoadEchoSettings(ProgramFolder(), Warnings());
}

bool TobjEchoDesigner::SaveSettingsFile() const {
    return SaveEchoSettings(ProgramFolder(), Settings(), Warnings());
}

EchoGenerateResult TobjEchoDesigner::GenerateFromControls(const EchoControlValues& controls) {
    return GenerateEcho(controls, Settings(), DesignRate(), ExportRulesFromControls(), LeftKernel(),
                        RightKernel());
}

void TobjEchoDesigner::ShowOwnRecursiveControls(const EchoControlValues& c) {
    RdGp_Recrs_Strategy->SetItemIndex(c.recrsStrategy);
    SpEd_Recrs_Delay->SetValue(c.recrsDelay);
    SpEd_Recrs_Value->SetValue(c.recrsValue);
}

void TobjEchoDesigner::ShowOwnConvolutionControls(const EchoControlValues& c) {
    SpEd_Conv_InitDelay->SetValue(c.convInitDelay);
    SpEd_Conv_FinalDelay->SetValue(c.convFinalDelay);
}

void TobjEchoDesigner::ReadOwnControls(EchoControlValues& c) const {
    c.recrsStrategy = RdGp_Recrs_Strategy->ItemIndex();
    c.recrsDelay = SpEd_Recrs_Delay->Value();
    c.recrsValue = SpEd_Recrs_Value->Value();
    c.convInitDelay = SpEd_Conv_InitDelay->Value();
    c.convFinalDelay = SpEd_Conv_FinalDelay->Value();
}

} // namespace tarvola
