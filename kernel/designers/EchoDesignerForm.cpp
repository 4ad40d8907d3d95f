#include "kernel/designers/EchoDesignerForm.h"

#include "forms/Layout.h"

#include <exception>
#include <string>
#include <vector>

namespace tarvola {

// ---- The checked number field

std::optional<std::string> TCheckedSpinEdit::Refusal(std::string_view fieldCaption) const {
    if (std::optional<std::string> now = RefusedNumberText(fieldCaption, Text()))
        return now;
    if (leftText_)
        return RefusedNumberText(fieldCaption, *leftText_);
    return std::nullopt;
}

LRESULT TCheckedSpinEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KILLFOCUS && RefusedNumberText("", Text()))
        leftText_ = Text(); // the spin edit is about to put its minimum in its place
    else if (message == WM_SETFOCUS)
        leftText_.reset(); // the user sees what the field holds now
    return TSpinEdit::WndProc(message, wParam, lParam);
}

void RegisterCheckedSpinEdit() {
    RegisterComponentClass<TCheckedSpinEdit>("TCheckedSpinEdit");
}

// ---- Layout rows both tap designers use

TComponentRow LabelRow(std::string_view name, std::string_view parent, int left, int top, int width,
                       std::string_view caption) {
    return {"TLabel", name, parent, left, top, width, 13, {{"Caption", caption}}};
}

TComponentRow NumberFieldRow(std::string_view name, std::string_view parent, int left, int top,
                             std::string_view min, std::string_view max, std::string_view value) {
    return {"TCheckedSpinEdit",
            name,
            parent,
            left,
            top,
            80,
            22,
            {{"MinValue", min}, {"MaxValue", max}, {"Value", value}}};
}

TComponentRow FilterOrderRow(std::string_view name, std::string_view parent, int left, int top) {
    return {"TSpinEdit",
            name,
            parent,
            left,
            top,
            70,
            22,
            {{"MinValue", "5"},
             {"MaxValue", "1023"},
             {"Increment", "2"},
             {"Value", "11"},
             {"EditorEnabled", "False"}}};
}

TComponentRow VerticalBarRow(std::string_view name, std::string_view parent, int left, int top,
                             std::string_view max, std::string_view frequency, std::string_view position) {
    return {"TTrackBar",
            name,
            parent,
            left,
            top,
            38,
            150,
            {{"Orientation", "trVertical"},
             {"Min", "0"},
             {"Max", max},
             {"Frequency", frequency},
             {"PageSize", "10"},
             {"TickMarks", "tmBoth"},
             {"Position", position}}};
}

TComponentRow PageRow(std::string_view name, std::string_view pages) {
    return {"TPanel", name, pages, 0, 0, 0, 0, {{"BevelOuter", "bvNone"}}};
}

// ---- The echo dialog

namespace {

constexpr const char* kFinalText =
    "IMPORTANT: The timing of echoes will be calculated from the Target Impulse. If it is not already set to "
    "zero, and you have no reason to delay or advance the echo, in addition to the timing you have "
    "specified, "
    "then set it to zero now.";
constexpr const char* kTimbreItems = "Low Pass|High Pass|Band Pass";

std::vector<TComponentRow> EchoDesignerRows() {
    std::vector<TComponentRow> rows = {
        {"TDesignerPages", "PgCtl_Echo", "", 4, 4, 493, 229, {}},

        PageRow("TbSht_Recrs1", "PgCtl_Echo"),
        {"TCheckBox",
         "ChBx_UseRecursive",
         "TbSht_Recrs1",
         12,
         10,
         180,
         17,
         {{"Caption", "Use Recursive Echo"}, {"Checked", "True"}, {"OnClick", "UseRecursive_Click"}}},
        LabelRow("Lbl_Recrs_Delay", "TbSht_Recrs1", 12, 46, 90, "Delay ms"),
        NumberFieldRow("SpEd_Recrs_Delay", "TbSht_Recrs1", 110, 42, "0", "0", "100"),
        LabelRow("Lbl_Recrs_Value", "TbSht_Recrs1", 12, 80, 90, "Strength %"),
        NumberFieldRow("SpEd_Recrs_Value", "TbSht_Recrs1", 110, 76, "0", "0", "60"),
        LabelRow("Lbl_Recrs_Stereo", "TbSht_Recrs1", 300, 10, 90, "Stereo Effect"),
        VerticalBarRow("TkBr_Recrs_Stereo", "TbSht_Recrs1", 320, 28, "200", "20", "150"),

        PageRow("TbSht_Recrs2", "PgCtl_Echo"),
        LabelRow("Lbl_Recrs_MixLvl", "TbSht_Recrs2", 8, 6, 60, "Mix Level"),
        VerticalBarRow("TkBr_Recrs_MixLvl", "TbSht_Recrs2", 14, 24, "100", "10", "0"),
        LabelRow("Lbl_Recrs_FltrOrder", "TbSht_Recrs2", 80, 12, 70, "Filter Order"),
        FilterOrderRow("SpEd_Recrs_FltrOrder", "TbSht_Recrs2", 160, 8),
        {"TRadioGroup",
         "RdGp_Recrs_Strategy",
         "TbSht_Recrs2",
         80,
         44,
         120,
         64,
         {{"Caption", "Strategy"}, {"Items", "Once|Recursive"}, {"ItemIndex", "1"}}},
        {"TRadioGroup",
         "RdGp_Recrs_Timbre",
         "TbSht_Recrs2",
         210,
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
         {{"Caption", "Filter Regenerations"}, {"OnClick", "RecrsUseFltr_Click"}}},

        PageRow("TbSht_Conv1", "PgCtl_Echo"),
        {"TCheckBox",
         "ChBx_UseConvolution",
         "TbSht_Conv1",
         12,
         10,
         180,
         17,
         {{"Caption", "Use Convolution Echo"}, {"OnClick", "UseConvolution_Click"}}},
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
        {"TTrackBar",
         "TkBr_Conv_Stereo",
         "TbSht_Conv1",
         116,
         146,
         300,
         34,
         {{"Min", "0"}, {"Max", "200"}, {"Frequency", "20"}, {"PageSize", "10"}, {"Position", "100"}}},

        PageRow("TbSht_Conv2", "PgCtl_Echo"),
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
         {{"Caption", "Filter Regenerations"}, {"OnClick", "ConvUseFltr_Click"}}},

        PageRow("TbSht_Final", "PgCtl_Echo"),
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

const TFormLayout& EchoDesignerLayout() {
    static const TFormLayout layout{{{"Caption", "Echo Designer v1.02"},
                                     {"BorderStyle", "bsDialog"},
                                     {"BorderIcons", "biSystemMenu"},
                                     {"Position", "poOwnerFormCenter"},
                                     {"ClientWidth", "501"},
                                     {"ClientHeight", "237"}},
                                    EchoDesignerRows()};
    return layout;
}

const DesignerSettingsTexts kEchoTexts{kEchoSettingsMissingText, kEchoSettingsReadErrorText,
                                       kEchoSettingsSaveErrorText};

} // namespace

TobjEchoDesigner::TobjEchoDesigner(TComponent* owner) : TobjEffectDesigner(owner) {
    RegisterCheckedSpinEdit();
    Publish("UseRecursive_Click", &TobjEchoDesigner::UseRecursive_Click);
    Publish("UseConvolution_Click", &TobjEchoDesigner::UseConvolution_Click);
    Publish("RecrsUseFltr_Click", &TobjEchoDesigner::RecrsUseFltr_Click);
    Publish("ConvUseFltr_Click", &TobjEchoDesigner::ConvUseFltr_Click);
    Publish("Generate_Click", &TobjEchoDesigner::Generate_Click);
    Publish("Cancel_Click", &TobjEchoDesigner::Cancel_Click);
    LoadLayout(EchoDesignerLayout());
    BindExportRules();
    auto& pages = Find<TDesignerPages>("PgCtl_Echo");
    pages.AddPage(Find<TPanel>("TbSht_Recrs1"), "Recursion Echo p1");
    pages.AddPage(Find<TPanel>("TbSht_Recrs2"), "Recursion Echo p2");
    pages.AddPage(Find<TPanel>("TbSht_Conv1"), "Convolution Echo p1");
    pages.AddPage(Find<TPanel>("TbSht_Conv2"), "Convolution Echo p2");
    pages.AddPage(Find<TPanel>("TbSht_Final"), "Final");
    PgCtl_Echo = &pages;
    ChBx_UseRecursive = &Find<TCheckBox>("ChBx_UseRecursive");
    SpEd_Recrs_Delay = &Find<TCheckedSpinEdit>("SpEd_Recrs_Delay");
    SpEd_Recrs_Value = &Find<TCheckedSpinEdit>("SpEd_Recrs_Value");
    TkBr_Recrs_Stereo = &Find<TTrackBar>("TkBr_Recrs_Stereo");
    TkBr_Recrs_MixLvl = &Find<TTrackBar>("TkBr_Recrs_MixLvl");
    SpEd_Recrs_FltrOrder = &Find<TSpinEdit>("SpEd_Recrs_FltrOrder");
    RdGp_Recrs_Strategy = &Find<TRadioGroup>("RdGp_Recrs_Strategy");
    RdGp_Recrs_Timbre = &Find<TRadioGroup>("RdGp_Recrs_Timbre");
    ChBx_Recrs_Filter = &Find<TCheckBox>("ChBx_Recrs_Filter");
    ChBx_UseConvolution = &Find<TCheckBox>("ChBx_UseConvolution");
    SpEd_Conv_InitDelay = &Find<TCheckedSpinEdit>("SpEd_Conv_InitDelay");
    SpEd_Conv_InitValue = &Find<TCheckedSpinEdit>("SpEd_Conv_InitValue");
    SpEd_Conv_FinalDelay = &Find<TCheckedSpinEdit>("SpEd_Conv_FinalDelay");
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
    for (TRadioGroup* group : {RdGp_Recrs_Strategy, RdGp_Recrs_Timbre, RdGp_Conv_Timbre}) {
        const int index = group->ItemIndex();
        group->SetItems(group->Items());
        group->SetItemIndex(index);
    }
}

void TobjEchoDesigner::LoadSettings() {
    // Set-up has just taken the caller's rate; an unusable one leaves the previous rate.
    rate_ = AcceptedSampleRate(SampleRate(), rate_);
    Lbl_SmplRate->SetCaption(std::to_string(rate_));
    settings_ = LoadEchoSettings(ProgramFolder(), Warnings());
}

bool TobjEchoDesigner::SaveSettings() {
    if (ProgramFolder().empty())
        return false; // never set up: there is no settings file to write
    return SaveEchoSettings(ProgramFolder(), settings_, Warnings());
}

// The two kinds are exclusive. A filter group is switched only when its mode is left, or when its filter is
// on; the filter boxes' own handlers decide the rest.
void TobjEchoDesigner::ShowMode(int mode) {
    showingMode_ = true;
    const bool recursive = mode == 0;
    ChBx_UseRecursive->SetChecked(recursive);
    for (TControl* c : std::initializer_list<TControl*>{ChBx_Recrs_Filter, SpEd_Recrs_Delay, SpEd_Recrs_Value,
                                                        TkBr_Recrs_Stereo})
        c->SetEnabled(recursive);
    if (!recursive || settings_.RecrsFilter)
        for (TControl* c : std::initializer_list<TControl*>{RdGp_Recrs_Timbre, RdGp_Recrs_Strategy,
                                                            SpEd_Recrs_FltrOrder, TkBr_Recrs_MixLvl})
            c->SetEnabled(recursive);
    ChBx_UseConvolution->SetChecked(!recursive);
    for (TControl* c : std::initializer_list<TControl*>{
             ChBx_Conv_Filter, SpEd_Conv_NmbrTaps, TkBr_Conv_Stereo, SpEd_Conv_InitDelay,
             SpEd_Conv_FinalDelay, SpEd_Conv_InitValue, SpEd_Conv_FinalValue})
        c->SetEnabled(!recursive);
    if (recursive || settings_.ConvFilter)
        for (TControl* c :
             std::initializer_list<TControl*>{RdGp_Conv_Timbre, SpEd_Conv_FltrOrder, TkBr_Conv_MixLvl})
            c->SetEnabled(!recursive);
    showingMode_ = false;
}

void TobjEchoDesigner::SettingsToControls() {
    const EchoControlValues c = tarvola::SettingsToControls(settings_);
    ShowMode(settings_.Mode);
    TkBr_Recrs_MixLvl->SetPosition(c.recrsMixPosition);
    SpEd_Recrs_FltrOrder->SetValue(c.recrsOrder);
    RdGp_Recrs_Timbre->SetItemIndex(c.recrsTimbre);
    RdGp_Recrs_Strategy->SetItemIndex(c.recrsStrategy);
    SpEd_Recrs_Delay->SetValue(c.recrsDelay);
    SpEd_Recrs_Value->SetValue(c.recrsValue);
    TkBr_Recrs_Stereo->SetPosition(c.recrsStereoPosition);
    ChBx_Recrs_Filter->SetChecked(c.recrsFilter);
    TkBr_Conv_MixLvl->SetPosition(c.convMixPosition);
    SpEd_Conv_FltrOrder->SetValue(c.convOrder);
    RdGp_Conv_Timbre->SetItemIndex(c.convTimbre);
    SpEd_Conv_NmbrTaps->SetValue(c.convTaps);
    SpEd_Conv_InitDelay->SetValue(c.convInitDelay);
    SpEd_Conv_InitValue->SetValue(c.convInitValue);
    SpEd_Conv_FinalDelay->SetValue(c.convFinalDelay);
    SpEd_Conv_FinalValue->SetValue(c.convFinalValue);
    TkBr_Conv_Stereo->SetPosition(c.convStereoPosition);
    ChBx_Conv_Filter->SetChecked(c.convFilter);
    RecrsUseFltr_Click(*ChBx_Recrs_Filter);
    ConvUseFltr_Click(*ChBx_Conv_Filter);
}

EchoControlValues TobjEchoDesigner::ControlValues() const {
    EchoControlValues c;
    c.useRecursive = ChBx_UseRecursive->Checked();
    c.useConvolution = ChBx_UseConvolution->Checked();
    c.recrsMixPosition = TkBr_Recrs_MixLvl->Position();
    c.recrsOrder = SpEd_Recrs_FltrOrder->Value();
    c.recrsTimbre = RdGp_Recrs_Timbre->ItemIndex();
    c.recrsStrategy = RdGp_Recrs_Strategy->ItemIndex();
    c.recrsFilter = ChBx_Recrs_Filter->Checked();
    c.recrsDelay = SpEd_Recrs_Delay->Value();
    c.recrsValue = SpEd_Recrs_Value->Value();
    c.recrsStereoPosition = TkBr_Recrs_Stereo->Position();
    c.convMixPosition = TkBr_Conv_MixLvl->Position();
    c.convOrder = SpEd_Conv_FltrOrder->Value();
    c.convTimbre = RdGp_Conv_Timbre->ItemIndex();
    c.convFilter = ChBx_Conv_Filter->Checked();
    c.convTaps = SpEd_Conv_NmbrTaps->Value();
    c.convInitDelay = SpEd_Conv_InitDelay->Value();
    c.convFinalDelay = SpEd_Conv_FinalDelay->Value();
    c.convInitValue = SpEd_Conv_InitValue->Value();
    c.convFinalValue = SpEd_Conv_FinalValue->Value();
    c.convStereoPosition = TkBr_Conv_Stereo->Position();
    return c;
}

std::optional<std::string> TobjEchoDesigner::RefusedText() {
    const std::pair<TCheckedSpinEdit*, const char*> fields[] = {{SpEd_Recrs_Delay, "Delay ms"},
                                                                {SpEd_Recrs_Value, "Strength %"},
                                                                {SpEd_Conv_InitDelay, "Initial Delay ms"},
                                                                {SpEd_Conv_InitValue, "Inital Strength %"},
                                                                {SpEd_Conv_FinalDelay, "Final Delay ms"},
                                                                {SpEd_Conv_FinalValue, "Final Strength %"},
                                                                {SpEd_Conv_NmbrTaps, "Number of Taps"}};
    for (const auto& [field, caption] : fields)
        if (std::optional<std::string> refusal = field->Refusal(caption)) {
            field->ForgetRefusal();
            return refusal;
        }
    return RefusedNumberText("Target Impulse #", Spn_TargetImpls->Text());
}

void TobjEchoDesigner::UseRecursive_Click(TObject&) {
    if (!showingMode_)
        ShowMode(ChBx_UseRecursive->Checked() ? 0 : 1);
}

void TobjEchoDesigner::UseConvolution_Click(TObject&) {
    if (!showingMode_)
        ShowMode(ChBx_UseConvolution->Checked() ? 1 : 0);
}

void TobjEchoDesigner::RecrsUseFltr_Click(TObject&) {
    settings_.RecrsFilter = ChBx_Recrs_Filter->Checked() ? 1 : 0;
    for (TControl* c : std::initializer_list<TControl*>{RdGp_Recrs_Timbre, RdGp_Recrs_Strategy,
                                                        SpEd_Recrs_FltrOrder, TkBr_Recrs_MixLvl})
        c->SetEnabled(settings_.RecrsFilter != 0);
}

void TobjEchoDesigner::ConvUseFltr_Click(TObject&) {
    settings_.ConvFilter = ChBx_Conv_Filter->Checked() ? 1 : 0;
    for (TControl* c :
         std::initializer_list<TControl*>{RdGp_Conv_Timbre, SpEd_Conv_FltrOrder, TkBr_Conv_MixLvl})
        c->SetEnabled(settings_.ConvFilter != 0);
}

// Every error is found before a kernel is touched: it is shown, nothing is written and the dialog stays
// open with the settings as they were.
void TobjEchoDesigner::Generate_Click(TObject&) {
    if (std::optional<std::string> refusal = RefusedText()) {
        Warn(*refusal);
        return;
    }
    try {
        const EchoGenerateResult result = GenerateEcho(
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

void TobjEchoDesigner::Cancel_Click(TObject&) {
    Close();
}

} // namespace tarvola
