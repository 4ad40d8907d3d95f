#include "kernel/designers/FilterDesignerForm.h"

#include "forms/Layout.h"

#include <exception>
#include <string>

namespace tarvola {

namespace {

constexpr const char* kResponseText =
    "Do you want to remove higher frequencies for a fatter sound (ie: low pass filter), or lower frequencies "
    "for a thinner sound (ie: high pass filter) , or both (ie: band pass)?";
constexpr const char* kMixText =
    "How intense do you want the effect to be? Choose 0% for no effect and 100% for "
    "maximum intensity. (This is the same as the wet:dry signal ratio).";
constexpr const char* kQualityText = "These windowing functions shape non-recursive (FIR) filters. They are "
                                     "listed from best to worst.";
constexpr const char* kOrderText =
    "The filter order is the number of coefficients of the moving average. A higher order gives a steeper "
    "transition band, and so a sharper perceived cutoff.";

constexpr const char* kPassBandItems = "Low Pass|High Pass|Band Pass";
constexpr const char* kFunctionItems = "Blackman|Hamming|Hanning|Triangular|Rectangular";

std::vector<TComponentRow> FilterDesignerRows() {
    std::vector<TComponentRow> rows = {
        {"TDesignerPages", "PgCtl_Designer", "", 4, 4, 493, 229, {}},

        {"TPanel", "TbSht_Asst_Response", "PgCtl_Designer", 0, 0, 0, 0, {{"BevelOuter", "bvNone"}}},
        {"TRadioGroup",
         "RaGp_Asst_PassBand",
         "TbSht_Asst_Response",
         8,
         8,
         130,
         84,
         {{"Caption", "Response Type"}, {"Items", kPassBandItems}, {"ItemIndex", "0"}}},
        {"TLabel",
         "Lbl_Asst_Response",
         "TbSht_Asst_Response",
         150,
         8,
         320,
         13,
         {{"Caption", "Frequency Response"}, {"Font.Style", "Bold"}}},
        {"TLabel",
         "Lbl_Asst_ResponseText",
         "TbSht_Asst_Response",
         150,
         26,
         325,
         56,
         {{"AutoSize", "False"}, {"WordWrap", "True"}, {"Caption", kResponseText}}},
        {"TLabel",
         "Lbl_Asst_Mix",
         "TbSht_Asst_Response",
         150,
         104,
         320,
         13,
         {{"Caption", "Output Mix"}, {"Font.Style", "Bold"}}},
        {"TLabel",
         "Lbl_Asst_MixText",
         "TbSht_Asst_Response",
         150,
         122,
         325,
         56,
         {{"AutoSize", "False"}, {"WordWrap", "True"}, {"Caption", kMixText}}},
        {"TSpinEdit",
         "SpEd_Asst_MixLevel",
         "TbSht_Asst_Response",
         8,
         122,
         60,
         22,
         {{"MinValue", "0"}, {"MaxValue", "100"}, {"Value", "100"}, {"EditorEnabled", "False"}}},
        {"TLabel", "Lbl_Asst_MixPercent", "TbSht_Asst_Response", 72, 126, 12, 13, {{"Caption", "%"}}},

        {"TPanel", "TbSht_Asst_Quality", "PgCtl_Designer", 0, 0, 0, 0, {{"BevelOuter", "bvNone"}}},
        {"TRadioGroup",
         "RdGp_Asst_Function",
         "TbSht_Asst_Quality",
         8,
         8,
         130,
         112,
         {{"Caption", "FIR Function"}, {"Items", kFunctionItems}, {"ItemIndex", "0"}}},
        {"TLabel",
         "Lbl_Asst_Quality",
         "TbSht_Asst_Quality",
         150,
         8,
         320,
         13,
         {{"Caption", "Quality"}, {"Font.Style", "Bold"}}},
        {"TLabel",
         "Lbl_Asst_QualityText",
         "TbSht_Asst_Quality",
         150,
         26,
         325,
         42,
         {{"AutoSize", "False"}, {"WordWrap", "True"}, {"Caption", kQualityText}}},
        {"TLabel",
         "Lbl_Asst_Order",
         "TbSht_Asst_Quality",
         150,
         84,
         320,
         13,
         {{"Caption", "Filter Order"}, {"Font.Style", "Bold"}}},
        {"TLabel",
         "Lbl_Asst_OrderText",
         "TbSht_Asst_Quality",
         150,
         102,
         325,
         56,
         {{"AutoSize", "False"}, {"WordWrap", "True"}, {"Caption", kOrderText}}},
        {"TLabel", "Lbl_Wzd_Order", "TbSht_Asst_Quality", 8, 132, 80, 13, {{"Caption", "Filter order"}}},
        {"TSpinEdit",
         "SpEd_Wzd_Order",
         "TbSht_Asst_Quality",
         8,
         148,
         70,
         22,
         {{"MinValue", "5"},
          {"MaxValue", "1023"},
          {"Increment", "2"},
          {"Value", "21"},
          {"EditorEnabled", "False"}}},

        {"TPanel", "TbSht_AllParameters", "PgCtl_Designer", 0, 0, 0, 0, {{"BevelOuter", "bvNone"}}},
        {"TLabel",
         "Lbl_OutMix",
         "TbSht_AllParameters",
         6,
         4,
         46,
         13,
         {{"AutoSize", "False"}, {"Alignment", "taCenter"}, {"Caption", "Out Mix"}}},
        {"TTrackBar",
         "TkBar_MixLevel",
         "TbSht_AllParameters",
         10,
         20,
         38,
         152,
         {{"Orientation", "trVertical"},
          {"Min", "0"},
          {"Max", "100"},
          {"PageSize", "10"},
          {"Frequency", "10"},
          {"TickMarks", "tmBoth"},
          {"Position", "0"}}},
        {"TLabel",
         "Lbl_Pcent",
         "TbSht_AllParameters",
         4,
         178,
         28,
         13,
         {{"AutoSize", "False"}, {"Alignment", "taRightJustify"}, {"Caption", "100"}}},
        {"TLabel", "Lbl_PcentSign", "TbSht_AllParameters", 34, 178, 12, 13, {{"Caption", "%"}}},
        {"TLabel",
         "Lbl_Ampltd",
         "TbSht_AllParameters",
         54,
         4,
         46,
         13,
         {{"AutoSize", "False"}, {"Alignment", "taCenter"}, {"Caption", "Ampltd"}}},
        {"TTrackBar",
         "TkBr_Amplitude",
         "TbSht_AllParameters",
         58,
         20,
         38,
         152,
         {{"Orientation", "trVertical"},
          {"Min", "-200"},
          {"Max", "200"},
          {"PageSize", "10"},
          {"Frequency", "25"},
          {"TickMarks", "tmBoth"},
          {"Position", "-100"}}},
        {"TLabel",
         "Lbl_Amps",
         "TbSht_AllParameters",
         52,
         178,
         28,
         13,
         {{"AutoSize", "False"}, {"Alignment", "taRightJustify"}, {"Caption", "100"}}},
        {"TLabel", "Lbl_AmpsSign", "TbSht_AllParameters", 82, 178, 12, 13, {{"Caption", "%"}}},
        {"TRadioGroup",
         "RadGp_Function",
         "TbSht_AllParameters",
         104,
         4,
         112,
         108,
         {{"Caption", "FIR Function"}, {"Items", kFunctionItems}, {"ItemIndex", "0"}}},
        {"TRadioGroup",
         "RadGp_PassBand",
         "TbSht_AllParameters",
         104,
         116,
         112,
         78,
         {{"Caption", "Response Type"}, {"Items", kPassBandItems}, {"ItemIndex", "0"}}},
        {"TLabel", "Lbl_Order", "TbSht_AllParameters", 228, 10, 70, 13, {{"Caption", "Filter order"}}},
        {"TSpinEdit",
         "Spn_Order",
         "TbSht_AllParameters",
         300,
         6,
         70,
         22,
         {{"MinValue", "5"},
          {"MaxValue", "1023"},
          {"Increment", "2"},
          {"Value", "21"},
          {"EditorEnabled", "False"}}},
    };
    for (const std::vector<TComponentRow>& more :
         {TobjEffectDesigner::GenerateCancelRows("TbSht_AllParameters"),
          TobjEffectDesigner::ExportRulesRows("TbSht_AllParameters", 226, 36, "Paste at impulse #")})
        rows.insert(rows.end(), more.begin(), more.end());
    return rows;
}

const TFormLayout& FilterDesignerLayout() {
    static const TFormLayout layout{TobjEffectDesigner::DialogProperties("Filter Designer v1.02", "237"),
                                    FilterDesignerRows()};
    return layout;
}

DesignerSettingsTexts FilterSettingsTexts() {
    return {kFilterSettingsMissingText, kFilterSettingsReadErrorText, kFilterSettingsSaveErrorText};
}

} // namespace

TobjFilterDesigner::TobjFilterDesigner(TComponent* owner) : TobjEffectDesigner(owner) {
    LoadLayout(FilterDesignerLayout());
    BindExportRules();
    RaGp_Asst_PassBand = &Find<TRadioGroup>("RaGp_Asst_PassBand");
    SpEd_Asst_MixLevel = &Find<TSpinEdit>("SpEd_Asst_MixLevel");
    RdGp_Asst_Function = &Find<TRadioGroup>("RdGp_Asst_Function");
    SpEd_Wzd_Order = &Find<TSpinEdit>("SpEd_Wzd_Order");
    TkBar_MixLevel = &Find<TTrackBar>("TkBar_MixLevel");
    Lbl_Pcent = &Find<TLabel>("Lbl_Pcent");
    TkBr_Amplitude = &Find<TTrackBar>("TkBr_Amplitude");
    Lbl_Amps = &Find<TLabel>("Lbl_Amps");
    RadGp_Function = &Find<TRadioGroup>("RadGp_Function");
    RadGp_PassBand = &Find<TRadioGroup>("RadGp_PassBand");
    Spn_Order = &Find<TSpinEdit>("Spn_Order");
    Btn_Generate = &Find<TButton>("Btn_Generate");
    Btn_Cancel = &Find<TButton>("Btn_Cancel");
    Bind(RaGp_Asst_PassBand->OnClick, this, &TobjFilterDesigner::Asst_PassBand_Click);
    Bind(SpEd_Asst_MixLevel->OnChange, this, &TobjFilterDesigner::Asst_MixLevel_Change);
    Bind(RdGp_Asst_Function->OnClick, this, &TobjFilterDesigner::Asst_Function_Click);
    Bind(SpEd_Wzd_Order->OnChange, this, &TobjFilterDesigner::Wzd_Order_Change);
    Bind(TkBar_MixLevel->OnChange, this, &TobjFilterDesigner::MixLevel_Change);
    Bind(TkBr_Amplitude->OnChange, this, &TobjFilterDesigner::Amplitude_Change);
    Bind(RadGp_Function->OnClick, this, &TobjFilterDesigner::Function_Click);
    Bind(RadGp_PassBand->OnClick, this, &TobjFilterDesigner::PassBand_Click);
    Bind(Spn_Order->OnChange, this, &TobjFilterDesigner::Order_Changed);
    Bind(Btn_Generate->OnClick, this, &TobjFilterDesigner::Generate_Click);
    Bind(Btn_Cancel->OnClick, this, &TobjFilterDesigner::Cancel_Click);
    auto& pages = Find<TDesignerPages>("PgCtl_Designer");
    pages.AddPage(Find<TPanel>("TbSht_Asst_Response"), "Designer p1");
    pages.AddPage(Find<TPanel>("TbSht_Asst_Quality"), "Designer p2");
    pages.AddPage(Find<TPanel>("TbSht_AllParameters"), "All Parameters");
    PgCtl_Designer = &pages;
}

void TobjFilterDesigner::LoadSettings() {
    settings_ = TFilterSettings{};
    LoadDesignerSettings(
        SettingsPath(kFilterSettingsFileName), kFilterSettingsSize,
        [this](const std::uint8_t* bytes) {
            const std::optional<TFilterSettings> loaded = DecodeFilterSettings(bytes);
            if (loaded)
                settings_ = *loaded;
            return loaded.has_value();
        },
        FilterSettingsTexts(), Warnings());
}

bool TobjFilterDesigner::SaveSettings() {
    if (ProgramFolder().empty())
        return false; // never set up: there is no settings file to write
    const TFilterSettingsBytes bytes = EncodeFilterSettings(settings_);
    return SaveDesignerSettings(SettingsPath(kFilterSettingsFileName), bytes, FilterSettingsTexts(),
                                Warnings());
}

// Each control set here fires its change handler when its value changes, so the twins and labels follow.
void TobjFilterDesigner::SettingsToControls() {
    const FilterControlValues controls = tarvola::SettingsToControls(settings_);
    TkBar_MixLevel->SetPosition(controls.mixPosition);
    SpEd_Asst_MixLevel->SetValue(100 - controls.mixPosition);
    TkBr_Amplitude->SetPosition(controls.amplitudePosition);
    RadGp_Function->SetItemIndex(controls.function);
    RdGp_Asst_Function->SetItemIndex(RadGp_Function->ItemIndex());
    RadGp_PassBand->SetItemIndex(controls.passBand);
    RaGp_Asst_PassBand->SetItemIndex(RadGp_PassBand->ItemIndex());
    Spn_Order->SetValue(settings_.Order);
    SpEd_Wzd_Order->SetValue(Spn_Order->Value());
}

FilterControlValues TobjFilterDesigner::ControlValues() const {
    FilterControlValues controls;
    controls.mixPosition = TkBar_MixLevel->Position();
    controls.amplitudePosition = TkBr_Amplitude->Position();
    controls.function = RadGp_Function->ItemIndex();
    controls.passBand = RadGp_PassBand->ItemIndex();
    controls.order = Spn_Order->Value();
    return controls;
}

void TobjFilterDesigner::Asst_PassBand_Click(TObject&) {
    RadGp_PassBand->SetItemIndex(RaGp_Asst_PassBand->ItemIndex());
}

void TobjFilterDesigner::PassBand_Click(TObject&) {
    RaGp_Asst_PassBand->SetItemIndex(RadGp_PassBand->ItemIndex());
}

void TobjFilterDesigner::Asst_Function_Click(TObject&) {
    RadGp_Function->SetItemIndex(RdGp_Asst_Function->ItemIndex());
}

void TobjFilterDesigner::Function_Click(TObject&) {
    RdGp_Asst_Function->SetItemIndex(RadGp_Function->ItemIndex());
}

void TobjFilterDesigner::Wzd_Order_Change(TObject&) {
    Spn_Order->SetValue(SpEd_Wzd_Order->Value());
}

void TobjFilterDesigner::Order_Changed(TObject&) {
    SpEd_Wzd_Order->SetValue(Spn_Order->Value());
}

void TobjFilterDesigner::Asst_MixLevel_Change(TObject&) {
    TkBar_MixLevel->SetPosition(100 - SpEd_Asst_MixLevel->Value());
}

void TobjFilterDesigner::MixLevel_Change(TObject&) {
    const int percent = 100 - TkBar_MixLevel->Position();
    Lbl_Pcent->SetCaption(std::to_string(percent));
    SpEd_Asst_MixLevel->SetValue(percent);
}

// The amplitude reaches the settings record at once, so even Cancel keeps it.
void TobjFilterDesigner::Amplitude_Change(TObject&) {
    const int position = TkBr_Amplitude->Position();
    settings_.Amplitude = AmplitudeFromPosition(position);
    Lbl_Amps->SetCaption(std::to_string(-position));
}

void TobjFilterDesigner::Generate_Click(TObject&) {
    try {
        settings_ = ControlsToSettings(ControlValues());
        GenerateFilter(settings_, ExportRulesFromControls(), LeftKernel(), RightKernel());
    } catch (const std::exception& error) {
        // Nothing has been written; the user can change the settings and try again.
        Warn(error.what());
        return;
    }
    Close();
}

void TobjFilterDesigner::Cancel_Click(TObject&) {
    Close();
}

} // namespace tarvola
