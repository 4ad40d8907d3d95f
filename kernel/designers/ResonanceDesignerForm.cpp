#include "kernel/designers/ResonanceDesignerForm.h"

#include "forms/Layout.h"

#include <exception>
#include <string>
#include <vector>

namespace tarvola {

namespace {

constexpr const char* kFinalText =
    "IMPORTANT: The frequencies of resonant artefacts will be affected by the Target Impulse. If it is not "
    "already set to zero, and you have no reason to alter the effect from prior specifications, then set it "
    "to zero now.";
constexpr const char* kTimbreItems = "Low Pass|High Pass|Band Pass";
constexpr const char* kPages = "PgCtl_Resonance";

std::vector<TComponentRow> ResonanceDesignerRows() {
    std::vector<TComponentRow> rows = {
        {"TDesignerPages", kPages, "", 4, 4, 493, 230, {}},

        PageRow("TbSht_Recrs1", kPages),
        {"TCheckBox",
         "ChBx_UseRecursive",
         "TbSht_Recrs1",
         12,
         10,
         200,
         17,
         {{"Caption", "Use Recursive Resonance"}, {"Checked", "True"}, {"OnClick", "UseRecursive_Click"}}},
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
         {{"Min", "100"},
          {"Max", "999"},
          {"Frequency", "100"},
          {"PageSize", "10"},
          {"Position", "700"},
          {"OnChange", "RecrsValue_Change"}}},
        {"TCheckBox",
         "ChBx_NegStrength",
         "TbSht_Recrs1",
         12,
         146,
         160,
         17,
         {{"Caption", "Negative Strength"}, {"OnClick", "Neg_Click"}}},
        LabelRow("Lbl_Recrs_Stereo", "TbSht_Recrs1", 320, 10, 90, "Stereo Detune"),
        VerticalBarRow("TkBr_Recrs_Stereo", "TbSht_Recrs1", 340, 28, "100", "10", "100"),

        PageRow("TbSht_Recrs2", kPages),
        LabelRow("Lbl_Recrs_MixLvl", "TbSht_Recrs2", 8, 6, 60, "Mix Level"),
        VerticalBarRow("TkBr_Recrs_MixLvl", "TbSht_Recrs2", 14, 24, "100", "10", "0"),
        LabelRow("Lbl_Recrs_FltrOrder", "TbSht_Recrs2", 80, 12, 70, "Filter Order"),
        FilterOrderRow("SpEd_Recrs_FltrOrder", "TbSht_Recrs2", 160, 8),
        {"TRadioGroup",
         "RdGp_Recrs_Timbre",
         "TbSht_Recrs2",
         80,
         44,
         120,
         84,
         {{"Caption", "Timbre"}, {"Items", kTimbreItems}, {"ItemIndex", "0"}}},
        {"TCheckBox",
         "ChBx_Recrs_Filter",
         "TbSht_Recrs2",
         80,
         140,
         160,
         17,
         {{"Caption", "Filter Resonance"}, {"OnClick", "RecrsUseFltr_Click"}}},

        PageRow("TbSht_Conv1", kPages),
        {"TCheckBox",
         "ChBx_UseConvolution",
         "TbSht_Conv1",
         12,
         10,
         200,
         17,
         {{"Caption", "Use Convolution Resonance"}, {"OnClick", "UseConvolution_Click"}}},
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
        {"TTrackBar",
         "TkBr_Conv_Stereo",
         "TbSht_Conv1",
         116,
         146,
         300,
         34,
         {{"Min", "0"}, {"Max", "100"}, {"Frequency", "10"}, {"PageSize", "10"}, {"Position", "0"}}},

        PageRow("TbSht_Conv2", kPages),
        LabelRow("Lbl_Conv_MixLvl", "TbSht_Conv2", 8, 6, 60, "Mix Level"),
        VerticalBarRow("TkBr_Conv_MixLvl", "TbSht_Conv2", 14, 24, "100", "10", "0"),
        LabelRow("Lbl_Conv_FltrOrder", "TbSht_Conv2", 80, 12, 70, "Filter Order"),
        FilterOrderRow("SpEd_Conv_FltrOrder", "TbSht_Conv2", 160, 8),
        {"TRadioGroup",
         "RdGp_Conv_Timbre",
         "TbSht_Conv2",
         80,
         44,
         120,
         84,
         {{"Caption", "Timbre"}, {"Items", kTimbreItems}, {"ItemIndex", "0"}}},
        {"TCheckBox",
         "ChBx_Conv_Filter",
         "TbSht_Conv2",
         80,
         140,
         160,
         17,
         {{"Caption", "Filter Resonance"}, {"OnClick", "ConvUseFltr_Click"}}},

        PageRow("TbSht_Final", kPages),
        {"TLabel",
         "Lbl_Important",
         "TbSht_Final",
         8,
         6,
         230,
         100,
         {{"AutoSize", "False"}, {"WordWrap", "True"}, {"Caption", kFinalText}}},
        LabelRow("Lbl_SmplRateText", "TbSht_Final", 8, 118, 210, "Kernel calculated for a sampling rate of"),
        {"TLabel",
         "Lbl_SmplRate",
         "TbSht_Final",
         8,
         136,
         60,
         13,
         {{"AutoSize", "False"}, {"Alignment", "taRightJustify"}, {"Caption", "44100"}}},
        LabelRow("Lbl_SmplRateHz", "TbSht_Final", 72, 136, 20, "Hz"),
        {"TButton",
         "Btn_Generate",
         "TbSht_Final",
         262,
         160,
         106,
         25,
         {{"Caption", "Generate Kernel"}, {"OnClick", "Generate_Click"}}},
        {"TButton",
         "Btn_Cancel",
         "TbSht_Final",
         378,
         160,
         81,
         25,
         {{"Caption", "Cancel"}, {"Cancel", "True"}, {"OnClick", "Cancel_Click"}}},
    };
    for (TComponentRow& row : TobjEffectDesigner::ExportRulesRows("TbSht_Final", 242, 6, "Target Impulse #"))
        rows.push_back(std::move(row));
    return rows;
}

const TFormLayout& ResonanceDesignerLayout() {
    static const TFormLayout layout{{{"Caption", "Resonance Designer v1.02"},
                                     {"BorderStyle", "bsDialog"},
                                     {"BorderIcons", "biSystemMenu"},
                                     {"Position", "poOwnerFormCenter"},
                                     {"ClientWidth", "501"},
                                     {"ClientHeight", "238"}},
                                    ResonanceDesignerRows()};
    return layout;
}

} // namespace

TobjResnceDesigner::TobjResnceDesigner(TComponent* owner) : TobjEffectDesigner(owner) {
    RegisterCheckedSpinEdit();
    Publish("UseRecursive_Click", &TobjResnceDesigner::UseRecursive_Click);
    Publish("UseConvolution_Click", &TobjResnceDesigner::UseConvolution_Click);
    Publish("RecrsUseFltr_Click", &TobjResnceDesigner::RecrsUseFltr_Click);
    Publish("ConvUseFltr_Click", &TobjResnceDesigner::ConvUseFltr_Click);
    Publish("RecrsValue_Change", &TobjResnceDesigner::RecrsValue_Change);
    Publish("Neg_Click", &TobjResnceDesigner::Neg_Click);
    Publish("Generate_Click", &TobjResnceDesigner::Generate_Click);
    Publish("Cancel_Click", &TobjResnceDesigner::Cancel_Click);
    LoadLayout(ResonanceDesignerLayout());
    BindExportRules();
    auto& pages = Find<TDesignerPages>(kPages);
    pages.AddPage(Find<TPanel>("TbSht_Recrs1"), "Recursion Res p1");
    pages.AddPage(Find<TPanel>("TbSht_Recrs2"), "Recursion Res p2");
    pages.AddPage(Find<TPanel>("TbSht_Conv1"), "Convolution Res p1");
    pages.AddPage(Find<TPanel>("TbSht_Conv2"), "Convolution Res p2");
    pages.AddPage(Find<TPanel>("TbSht_Final"), "Final");
    PgCtl_Resonance = &pages;
    ChBx_UseRecursive = &Find<TCheckBox>("ChBx_UseRecursive");
    SpEd_Recrs_Freq = &Find<TCheckedSpinEdit>("SpEd_Recrs_Freq");
    TkBr_Recrs_Value = &Find<TTrackBar>("TkBr_Recrs_Value");
    Lbl_Strength = &Find<TLabel>("Lbl_Strength");
    ChBx_NegStrength = &Find<TCheckBox>("ChBx_NegStrength");
    TkBr_Recrs_Stereo = &Find<TTrackBar>("TkBr_Recrs_Stereo");
    TkBr_Recrs_MixLvl = &Find<TTrackBar>("TkBr_Recrs_MixLvl");
    SpEd_Recrs_FltrOrder = &Find<TSpinEdit>("SpEd_Recrs_FltrOrder");
    RdGp_Recrs_Timbre = &Find<TRadioGroup>("RdGp_Recrs_Timbre");
    ChBx_Recrs_Filter = &Find<TCheckBox>("ChBx_Recrs_Filter");
    ChBx_UseConvolution = &Find<TCheckBox>("ChBx_UseConvolution");
    SpEd_Conv_InitFreq = &Find<TCheckedSpinEdit>("SpEd_Conv_InitFreq");
    SpEd_Conv_FinalFreq = &Find<TCheckedSpinEdit>("SpEd_Conv_FinalFreq");
    SpEd_Conv_InitValue = &Find<TCheckedSpinEdit>("SpEd_Conv_InitValue");
    SpEd_Conv_FinalValue = &Find<TCheckedSpinEdit>("SpEd_Conv_FinalValue");
    SpEd_Conv_NmbrTaps = &Find<TCheckedSpinEdit>("SpEd_Conv_NmbrTaps");
    TkBr_Conv_Stereo = &Find<TTrackBar>("TkBr_Conv_Stereo");
    SpEd_Conv_FltrOrder = &Find<TSpinEdit>("SpEd_Conv_FltrOrder");
    TkBr_Conv_MixLvl = &Find<TTrackBar>("TkBr_Conv_MixLvl");
    RdGp_Conv_Timbre = &Find<TRadioGroup>("RdGp_Conv_Timbre");
    ChBx_Conv_Filter = &Find<TCheckBox>("ChBx_Conv_Filter");
    Lbl_SmplRate = &Find<TLabel>("Lbl_SmplRate");
    Btn_Generate = &Find<TButton>("Btn_Generate");
    Btn_Cancel = &Find<TButton>("Btn_Cancel");
    // The radio groups made their buttons before they had windows of their own; making them again now
    // places them (as the filter designer does until the form layer places them itself).
    for (TRadioGroup* group : {RdGp_Recrs_Timbre, RdGp_Conv_Timbre}) {
        const int index = group->ItemIndex();
        group->SetItems(group->Items());
        group->SetItemIndex(index);
    }
}

void TobjResnceDesigner::LoadSettings() {
    rate_ = AcceptedSampleRate(SampleRate(), rate_);
    Lbl_SmplRate->SetCaption(std::to_string(rate_));
    settings_ = LoadResonanceSettings(ProgramFolder(), Warnings());
}

bool TobjResnceDesigner::SaveSettings() {
    if (ProgramFolder().empty())
        return false; // never set up: there is no settings file to write
    return SaveResonanceSettings(ProgramFolder(), settings_, Warnings());
}

// The two kinds are exclusive, as in the echo designer; "Negative Strength" stays enabled in both.
void TobjResnceDesigner::ShowMode(int mode) {
    showingMode_ = true;
    const bool recursive = mode == 0;
    ChBx_UseRecursive->SetChecked(recursive);
    for (TControl* c : std::initializer_list<TControl*>{ChBx_Recrs_Filter, SpEd_Recrs_Freq, TkBr_Recrs_Value,
                                                        TkBr_Recrs_Stereo})
        c->SetEnabled(recursive);
    if (!recursive || settings_.RecrsFilter)
        for (TControl* c :
             std::initializer_list<TControl*>{RdGp_Recrs_Timbre, SpEd_Recrs_FltrOrder, TkBr_Recrs_MixLvl})
            c->SetEnabled(recursive);
    ChBx_UseConvolution->SetChecked(!recursive);
    for (TControl* c : std::initializer_list<TControl*>{
             ChBx_Conv_Filter, SpEd_Conv_NmbrTaps, TkBr_Conv_Stereo, SpEd_Conv_InitFreq, SpEd_Conv_FinalFreq,
             SpEd_Conv_InitValue, SpEd_Conv_FinalValue})
        c->SetEnabled(!recursive);
    if (recursive || settings_.ConvFilter)
        for (TControl* c :
             std::initializer_list<TControl*>{RdGp_Conv_Timbre, SpEd_Conv_FltrOrder, TkBr_Conv_MixLvl})
            c->SetEnabled(!recursive);
    showingMode_ = false;
}

void TobjResnceDesigner::SettingsToControls() {
    const ResonanceControlValues c = tarvola::SettingsToControls(settings_);
    ShowMode(settings_.Mode);
    TkBr_Recrs_MixLvl->SetPosition(c.recrsMixPosition);
    SpEd_Recrs_FltrOrder->SetValue(c.recrsOrder);
    RdGp_Recrs_Timbre->SetItemIndex(c.recrsTimbre);
    SpEd_Recrs_Freq->SetValue(c.recrsFreq);
    // Ticking "Negative Strength" mirrors the bar first, so a negative strength keeps its sign.
    ChBx_NegStrength->SetChecked(c.negativeStrength);
    TkBr_Recrs_Value->SetPosition(c.recrsValue.position);
    TkBr_Recrs_Stereo->SetPosition(c.recrsStereoPosition);
    ChBx_Recrs_Filter->SetChecked(c.recrsFilter);
    TkBr_Conv_MixLvl->SetPosition(c.convMixPosition);
    SpEd_Conv_FltrOrder->SetValue(c.convOrder);
    RdGp_Conv_Timbre->SetItemIndex(c.convTimbre);
    SpEd_Conv_NmbrTaps->SetValue(c.convTaps);
    SpEd_Conv_InitFreq->SetValue(c.convInitFreq);
    SpEd_Conv_InitValue->SetValue(c.convInitValue);
    SpEd_Conv_FinalFreq->SetValue(c.convFinalFreq);
    SpEd_Conv_FinalValue->SetValue(c.convFinalValue);
    TkBr_Conv_Stereo->SetPosition(c.convStereoPosition);
    ChBx_Conv_Filter->SetChecked(c.convFilter);
    RecrsUseFltr_Click(*ChBx_Recrs_Filter);
    ConvUseFltr_Click(*ChBx_Conv_Filter);
    RecrsValue_Change(*TkBr_Recrs_Value);
}

ResonanceControlValues TobjResnceDesigner::ControlValues() const {
    ResonanceControlValues c;
    c.useRecursive = ChBx_UseRecursive->Checked();
    c.useConvolution = ChBx_UseConvolution->Checked();
    c.recrsFreq = SpEd_Recrs_Freq->Value();
    c.recrsValue =
        StrengthBar{TkBr_Recrs_Value->Min(), TkBr_Recrs_Value->Max(), TkBr_Recrs_Value->Position()};
    c.negativeStrength = ChBx_NegStrength->Checked();
    c.recrsStereoPosition = TkBr_Recrs_Stereo->Position();
    c.recrsMixPosition = TkBr_Recrs_MixLvl->Position();
    c.recrsOrder = SpEd_Recrs_FltrOrder->Value();
    c.recrsTimbre = RdGp_Recrs_Timbre->ItemIndex();
    c.recrsFilter = ChBx_Recrs_Filter->Checked();
    c.convInitFreq = SpEd_Conv_InitFreq->Value();
    c.convFinalFreq = SpEd_Conv_FinalFreq->Value();
    c.convInitValue = SpEd_Conv_InitValue->Value();
    c.convFinalValue = SpEd_Conv_FinalValue->Value();
    c.convTaps = SpEd_Conv_NmbrTaps->Value();
    c.convStereoPosition = TkBr_Conv_Stereo->Position();
    c.convOrder = SpEd_Conv_FltrOrder->Value();
    c.convMixPosition = TkBr_Conv_MixLvl->Position();
    c.convTimbre = RdGp_Conv_Timbre->ItemIndex();
    c.convFilter = ChBx_Conv_Filter->Checked();
    return c;
}

std::optional<std::string> TobjResnceDesigner::RefusedText() {
    const std::pair<TCheckedSpinEdit*, const char*> fields[] = {{SpEd_Recrs_Freq, "Frequency"},
                                                                {SpEd_Conv_InitFreq, "Initial Frequency"},
                                                                {SpEd_Conv_FinalFreq, "Final Frequency"},
                                                                {SpEd_Conv_InitValue, "Inital Strength %"},
                                                                {SpEd_Conv_FinalValue, "Final Strength %"},
                                                                {SpEd_Conv_NmbrTaps, "Number of Taps"}};
    for (const auto& [field, caption] : fields)
        if (std::optional<std::string> refusal = field->Refusal(caption)) {
            field->ForgetRefusal();
            return refusal;
        }
    return RefusedNumberText("Target Impulse #", Spn_TargetImpls->Text());
}

void TobjResnceDesigner::UseRecursive_Click(TObject&) {
    if (!showingMode_)
        ShowMode(ChBx_UseRecursive->Checked() ? 0 : 1);
}

void TobjResnceDesigner::UseConvolution_Click(TObject&) {
    if (!showingMode_)
        ShowMode(ChBx_UseConvolution->Checked() ? 1 : 0);
}

void TobjResnceDesigner::RecrsUseFltr_Click(TObject&) {
    settings_.RecrsFilter = ChBx_Recrs_Filter->Checked() ? 1 : 0;
    for (TControl* c :
         std::initializer_list<TControl*>{RdGp_Recrs_Timbre, SpEd_Recrs_FltrOrder, TkBr_Recrs_MixLvl})
        c->SetEnabled(settings_.RecrsFilter != 0);
}

void TobjResnceDesigner::ConvUseFltr_Click(TObject&) {
    settings_.ConvFilter = ChBx_Conv_Filter->Checked() ? 1 : 0;
    for (TControl* c :
         std::initializer_list<TControl*>{RdGp_Conv_Timbre, SpEd_Conv_FltrOrder, TkBr_Conv_MixLvl})
        c->SetEnabled(settings_.ConvFilter != 0);
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

void TobjResnceDesigner::Generate_Click(TObject&) {
    if (std::optional<std::string> refusal = RefusedText()) {
        Warn(*refusal);
        return;
    }
    try {
        const ResonanceGenerateResult result = GenerateResonance(
            ControlValues(), settings_, rate_, ExportRulesFromControls(), LeftKernel(), RightKernel());
        settings_ = result.settings;
        if (result.written.TotalDropped() > 0)
            Warn(KernelFullText(result.written.TotalDropped()));
    } catch (const std::exception& error) {
        Warn(error.what());
        return;
    }
    Close();
}

void TobjResnceDesigner::Cancel_Click(TObject&) {
    Close();
}

} // namespace tarvola
