#include "kernel/designers/ResonanceDesignerForm.h"

#include "forms/Layout.h"

#include <string>
#include <vector>

namespace tarvola {

namespace {

constexpr const char* kFinalText =
    "IMPORTANT: The frequencies of resonant artefacts will be affected by the Target Impulse. If it is not "
    "already set to zero, and you have no reason to alter the effect from prior specifications, then set it "
    "to zero now.";
constexpr const char* kPages = "PgCtl_Resonance";

std::vector<TComponentRow> ResonanceDesignerRows() {
    std::vector<TComponentRow> rows = {
        {"TDesignerPages", kPages, "", 4, 4, 493, 230, {}},

        PageRow("TbSht_Recrs1", kPages),
        UseKindRow(TTapKind::Recursive, 200, "Use Recursive Resonance"),
        LabelRow("Lbl_Recrs_Freq", "TbSht_Recrs1", 12, 46, 90, "Frequency"),
        NumberFieldRow("SpEd_Recrs_Freq", "TbSht_Recrs1", 110, 42, "20", "10000", "100"),
        LabelRow("Lbl_Recrs_Value", "TbSht_Recrs1", 12, 84, 64, "Strength ="),
        {"TLabel",
         "Lbl_Strength",
         "TbSht_Recrs1",
         80,
         84,
         40,
         13,
         {{"AutoSize", "False"}, {"Alignment", "taRightJustify"}, {"Caption", "70.0"}}},
        LabelRow("Lbl_StrengthPercent", "TbSht_Recrs1", 124, 84, 12, "%"),
        {"TTrackBar",
         "TkBr_Recrs_Value",
         "TbSht_Recrs1",
         8,
         104,
         280,
         34,
         {{"Min", "100"}, {"Max", "999"}, {"Frequency", "100"}, {"PageSize", "10"}, {"Position", "700"}}},
        {"TCheckBox",
         "ChBx_NegStrength",
         "TbSht_Recrs1",
         12,
         146,
         160,
         17,
         {{"Caption", "Negative Strength"}}},
        LabelRow("Lbl_Recrs_Stereo", "TbSht_Recrs1", 320, 10, 90, "Stereo Detune"),
        VerticalBarRow("TkBr_Recrs_Stereo", "TbSht_Recrs1", 340, 28, "100", "10", "100"),
    };
    AppendRows(rows, FilterPageRows(TTapKind::Recursive, kPages, {}, 80, "Filter Resonance"));
    AppendRows(rows,
               {
                   PageRow("TbSht_Conv1", kPages),
                   UseKindRow(TTapKind::Convolution, 200, "Use Convolution Resonance"),
                   LabelRow("Lbl_Conv_InitFreq", "TbSht_Conv1", 12, 46, 100, "Initial Frequency"),
                   NumberFieldRow("SpEd_Conv_InitFreq", "TbSht_Conv1", 120, 42, "-10000", "10000", "200"),
                   LabelRow("Lbl_Conv_InitValue", "TbSht_Conv1", 230, 46, 100, "Inital Strength %"),
                   NumberFieldRow("SpEd_Conv_InitValue", "TbSht_Conv1", 340, 42, "-99", "99", "95"),
                   LabelRow("Lbl_Conv_FinalFreq", "TbSht_Conv1", 12, 80, 100, "Final Frequency"),
                   NumberFieldRow("SpEd_Conv_FinalFreq", "TbSht_Conv1", 120, 76, "-10000", "10000", "400"),
                   LabelRow("Lbl_Conv_FinalValue", "TbSht_Conv1", 230, 80, 100, "Final Strength %"),
                   NumberFieldRow("SpEd_Conv_FinalValue", "TbSht_Conv1", 340, 76, "-99", "99", "10"),
                   LabelRow("Lbl_Conv_NmbrTaps", "TbSht_Conv1", 12, 114, 100, "Number of Taps"),
                   NumberFieldRow("SpEd_Conv_NmbrTaps", "TbSht_Conv1", 120, 110, "3", "100", "20"),
                   LabelRow("Lbl_Conv_Stereo", "TbSht_Conv1", 12, 154, 100, "Stereo Detune"),
                   ConvolutionStereoRow("100", "10", "0"),
               });
    AppendRows(rows, FilterPageRows(TTapKind::Convolution, kPages, {}, 80, "Filter Resonance"));
    AppendRows(rows, FinalPageRows(kPages, kFinalText));
    return rows;
}

const TFormLayout& ResonanceDesignerLayout() {
    static const TFormLayout layout{TobjEffectDesigner::DialogProperties("Resonance Designer v1.02", "238"),
                                    ResonanceDesignerRows()};
    return layout;
}

} // namespace

TobjResnceDesigner::TobjResnceDesigner(TComponent* owner) : TobjTapDesigner(owner) {
    LoadLayout(ResonanceDesignerLayout());
    PgCtl_Resonance = &BindTapControls(
        kPages, {"Recursion Res p1", "Recursion Res p2", "Convolution Res p1", "Convolution Res p2"});
    SpEd_Recrs_Freq = &Find<TCheckedSpinEdit>("SpEd_Recrs_Freq");
    TkBr_Recrs_Value = &Find<TTrackBar>("TkBr_Recrs_Value");
    Lbl_Strength = &Find<TLabel>("Lbl_Strength");
    ChBx_NegStrength = &Find<TCheckBox>("ChBx_NegStrength");
    SpEd_Conv_InitFreq = &Find<TCheckedSpinEdit>("SpEd_Conv_InitFreq");
    SpEd_Conv_FinalFreq = &Find<TCheckedSpinEdit>("SpEd_Conv_FinalFreq");
    Bind(TkBr_Recrs_Value->OnChange, this, &TobjResnceDesigner::RecrsValue_Change);
    Bind(ChBx_NegStrength->OnClick, this, &TobjResnceDesigner::Neg_Click);
    // "Negative Strength" stays enabled in both kinds; there is no strategy.
    groups_.recursive = {ChBx_Recrs_Filter, SpEd_Recrs_Freq, TkBr_Recrs_Value, TkBr_Recrs_Stereo};
    groups_.recursiveFilter = {RdGp_Recrs_Timbre, SpEd_Recrs_FltrOrder, TkBr_Recrs_MixLvl};
    groups_.convolution = {ChBx_Conv_Filter,    SpEd_Conv_NmbrTaps,  TkBr_Conv_Stereo,    SpEd_Conv_InitFreq,
                           SpEd_Conv_FinalFreq, SpEd_Conv_InitValue, SpEd_Conv_FinalValue};
    groups_.convolutionFilter = {RdGp_Conv_Timbre, SpEd_Conv_FltrOrder, TkBr_Conv_MixLvl};
    checkedFields_ = {{SpEd_Recrs_Freq, "Frequency"},
                      {SpEd_Conv_InitFreq, "Initial Frequency"},
                      {SpEd_Conv_FinalFreq, "Final Frequency"},
                      {SpEd_Conv_InitValue, "Inital Strength %"},
                      {SpEd_Conv_FinalValue, "Final Strength %"},
                      {SpEd_Conv_NmbrTaps, "Number of Taps"}};
}

TResonanceSettings TobjResnceDesigner::LoadSettingsFile() const {
    return LoadResonanceSettings(ProgramFolder(), Warnings());
}

bool TobjResnceDesigner::SaveSettingsFile() const {
    return SaveResonanceSettings(ProgramFolder(), Settings(), Warnings());
}

ResonanceGenerateResult TobjResnceDesigner::GenerateFromControls(const ResonanceControlValues& controls) {
    return GenerateResonance(controls, Settings(), DesignRate(), ExportRulesFromControls(), LeftKernel(),
                             RightKernel());
}

void TobjResnceDesigner::ShowOwnRecursiveControls(const ResonanceControlValues& c) {
    SpEd_Recrs_Freq->SetValue(c.recrsFreq);
    // Ticking "Negative Strength" mirrors the bar first, so a negative strength keeps its sign.
    ChBx_NegStrength->SetChecked(c.negativeStrength);
    TkBr_Recrs_Value->SetPosition(c.recrsValue.position);
    RecrsValue_Change(*TkBr_Recrs_Value); // the label follows even when the position did not move
}

void TobjResnceDesigner::ShowOwnConvolutionControls(const ResonanceControlValues& c) {
    SpEd_Conv_InitFreq->SetValue(c.convInitFreq);
    SpEd_Conv_FinalFreq->SetValue(c.convFinalFreq);
}

void TobjResnceDesigner::ReadOwnControls(ResonanceControlValues& c) const {
    c.recrsFreq = SpEd_Recrs_Freq->Value();
    c.recrsValue =
        StrengthBar{TkBr_Recrs_Value->Min(), TkBr_Recrs_Value->Max(), TkBr_Recrs_Value->Position()};
    c.negativeStrength = ChBx_NegStrength->Checked();
    c.convInitFreq = SpEd_Conv_InitFreq->Value();
    c.convFinalFreq = SpEd_Conv_FinalFreq->Value();
}

void TobjResnceDesigner::RecrsValue_Change(TObject&) {
    Lbl_Strength->SetCaption(StrengthLabel(TkBr_Recrs_Value->Position()));
}

// Mirrors the strength bar in the order the control allows: widened first, so that neither limit ever
// passes the other, then narrowed to the mirrored range, then the mirrored position.
void TobjResnceDesigner::Neg_Click(TObject&) {
    const StrengthBar mirrored = MirroredStrengthBar(
        StrengthBar{TkBr_Recrs_Value->Min(), TkBr_Recrs_Value->Max(), TkBr_Recrs_Value->Position()});
    TkBr_Recrs_Value->SetMax(999);
    TkBr_Recrs_Value->SetMin(-999);
    TkBr_Recrs_Value->SetMin(mirrored.min);
    TkBr_Recrs_Value->SetMax(mirrored.max);
    TkBr_Recrs_Value->SetPosition(mirrored.position);
}

} // namespace tarvola
