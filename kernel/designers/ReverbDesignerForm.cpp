#include "kernel/designers/ReverbDesignerForm.h"

#include "forms/Layout.h"
#include "kernel/designers/DesignerPages.h"
#include "kernel/designers/ReverbExport.h"

#include <exception>
#include <string>
#include <vector>

namespace tarvola {

namespace {

constexpr const char* kPageNames[] = {"Page_Designer1", "Page_Designer2", "Page_Regenerators", "Page_Final"};
constexpr const char* kPageCaptions[] = {"Designer p1", "Designer p2", "Regenerators", "Final"};
constexpr int kRegeneratorsPage = 2;

constexpr const char* kERText =
    "What should the initial effect - the immediate surroundings of the source - be "
    "like? Specify the space type, its size, and the strength of the effect.";
constexpr const char* kGRText =
    "How do you want the general reverberation to sound? Provide the type of space you "
    "want to mimic, the size relative to the type of space, and the duration or power "
    "of the effect.";
constexpr const char* kSeparationText =
    "How strong a stereo effect do you require?  Provide a factor to differentiate the timing of left and "
    "right "
    "channels for the regenerators. Lage factors may interfere with some GR algorithms.";
constexpr const char* kSeparationNote =
    "(NB: This has nothing to do with the \"Pan\" controls in the regenerator parameters that follow).";
constexpr const char* kTonalityText =
    "Each regenerator can be turned into a filter, becomming mellower or sharper "
    "with each regeneration. Filtering may sound more natural, but will multiply "
    "computation time.";

// Rows of one vertical bar with ticks on both sides.
TComponentRow VerticalBar(std::string_view name, std::string_view parent, int left, int top, int height,
                          std::string_view min, std::string_view max, std::string_view frequency,
                          std::string_view position) {
    return {"TTrackBar",
            name,
            parent,
            left,
            top,
            34,
            height,
            {{"Orientation", "trVertical"},
             {"TickMarks", "tmBoth"},
             {"Min", min},
             {"Max", max},
             {"PageSize", "10"},
             {"Frequency", frequency},
             {"Position", position}}};
}

TComponentRow HorizontalBar(std::string_view name, std::string_view parent, int left, int top, int width,
                            std::string_view min, std::string_view max, std::string_view frequency,
                            std::string_view marks, std::string_view position) {
    return {"TTrackBar",
            name,
            parent,
            left,
            top,
            width,
            30,
            {{"Orientation", "trHorizontal"},
             {"TickMarks", marks},
             {"Min", min},
             {"Max", max},
             {"Frequency", frequency},
             {"Position", position}}};
}

TComponentRow Text(std::string_view name, std::string_view parent, int left, int top,
                   std::string_view caption) {
    return {"TLabel", name, parent, left, top, 0, 13, {{"Caption", caption}}};
}

TComponentRow Heading(std::string_view name, std::string_view parent, int left, int top,
                      std::string_view caption) {
    return {"TLabel", name, parent, left, top, 0, 13, {{"Caption", caption}, {"Font.Style", "Bold"}}};
}

TComponentRow Wrapped(std::string_view name, std::string_view parent, int left, int top, int width,
                      int height, std::string_view caption) {
    return {"TLabel", name,  parent, left,
            top,      width, height, {{"AutoSize", "False"}, {"WordWrap", "True"}, {"Caption", caption}}};
}

// One group of the "Regenerators" page; the two are laid out alike.
void AddRegeneratorGroup(std::vector<TComponentRow>& rows, std::string_view group, bool early) {
    const std::string_view p = group;
    if (early) {
        rows.push_back(Text("Lbl_ER_LevelTitle", p, 10, 18, "Level"));
        rows.push_back(Text("Lbl_ER_Level", p, 10, 34, "0.000"));
        rows.push_back(VerticalBar("TkBr_ER_Level", p, 12, 50, 120, "-100", "100", "10", "0"));
        rows.push_back(Text("Lbl_ER_FilterTitle", p, 62, 18, "Filtration"));
        rows.push_back(Text("Lbl_ER_Filter", p, 62, 34, "0.0"));
        rows.push_back(VerticalBar("TkBr_ER_Filter", p, 64, 50, 120, "-100", "100", "20", "0"));
        rows.push_back(Text("Lbl_ER_Nmbr", p, 122, 22, "Regen #:"));
        rows.push_back({"TSpinEdit",
                        "Spn_ERNmbr",
                        p,
                        122,
                        38,
                        60,
                        22,
                        {{"MinValue", "1"}, {"MaxValue", "8"}, {"Value", "1"}, {"EditorEnabled", "False"}}});
        rows.push_back({"TCheckBox", "ChBx_ER_Active", p, 122, 70, 90, 17, {{"Caption", "Active"}}});
        rows.push_back(Text("Lbl_ER_DelayTitle", p, 122, 98, "Delay (ms)"));
        rows.push_back({"TEdit", "Edt_ER_Delay", p, 122, 114, 80, 21, {{"Text", "40"}}});
        rows.push_back(Text("Lbl_ER_Left", p, 8, 190, "Left"));
        rows.push_back(HorizontalBar("TkBr_ER_Pan", p, 36, 180, 160, "-45", "45", "10", "tmTopLeft", "0"));
        rows.push_back(Text("Lbl_ER_Right", p, 200, 190, "Right"));
        return;
    }
    rows.push_back(Text("Lbl_GR_LevelTitle", p, 10, 18, "Level"));
    rows.push_back(Text("Lbl_GR_Level", p, 10, 34, "0.000"));
    rows.push_back(VerticalBar("TkBr_GR_Level", p, 12, 50, 120, "-200", "200", "25", "0"));
    rows.push_back(Text("Lbl_GR_FilterTitle", p, 62, 18, "Filtration"));
    rows.push_back(Text("Lbl_GR_Filter", p, 62, 34, "0.0"));
    rows.push_back(VerticalBar("TkBr_GR_Filter", p, 64, 50, 120, "-100", "100", "20", "0"));
    rows.push_back(Text("Lbl_GR_Nmbr", p, 122, 22, "Regen #:"));
    rows.push_back({"TSpinEdit",
                    "Spn_GRNmbr",
                    p,
                    122,
                    38,
                    60,
                    22,
                    {{"MinValue", "1"}, {"MaxValue", "300"}, {"Value", "1"}}});
    rows.push_back({"TCheckBox", "ChBx_GR_Active", p, 122, 70, 90, 17, {{"Caption", "Active"}}});
    rows.push_back(Text("Lbl_GR_DelayTitle", p, 122, 98, "Delay (ms)"));
    rows.push_back({"TEdit", "Edt_GR_Delay", p, 122, 114, 80, 21, {{"Text", "130"}}});
    rows.push_back(Text("Lbl_GR_Left", p, 8, 190, "Left"));
    rows.push_back(HorizontalBar("TkBr_GR_Pan", p, 36, 180, 160, "-45", "45", "10", "tmTopLeft", "0"));
    rows.push_back(Text("Lbl_GR_Right", p, 200, 190, "Right"));
}

TFormLayout MakeLayout() {
    TFormLayout layout;
    layout.form = {{"Caption", "Reverb Designer v1.03"},
                   {"BorderStyle", "bsDialog"},
                   {"BorderIcons", "biSystemMenu"},
                   {"ClientWidth", "499"},
                   {"ClientHeight", "271"},
                   {"Position", "poOwnerFormCenter"}};
    std::vector<TComponentRow>& r = layout.components;
    r.push_back({"TDesignerPages", "PageCtrl", "", 0, 0, 499, 271, {}});
    for (const char* page : kPageNames)
        r.push_back({"TPanel", page, "PageCtrl", 0, 0, 0, 0, {{"BevelOuter", "bvNone"}}});

    // "Designer p1": early reflections on the left half, general reverberation on the right half.
    const std::string_view p1 = kPageNames[0];
    r.push_back(Heading("Lbl_ERHeading", p1, 8, 6, "Early Reflections"));
    r.push_back(Wrapped("Lbl_ERText", p1, 8, 24, 232, 56, kERText));
    r.push_back({"TRadioGroup",
                 "RdGp_ERType",
                 p1,
                 8,
                 84,
                 110,
                 134,
                 {{"Caption", "ER Algorithm"},
                  {"Items", "Square|Rectangle|Sphere|Complex 1|Complex 2"},
                  {"ItemIndex", "0"}}});
    r.push_back(Text("Lbl_ERSize", p1, 132, 84, "Size"));
    r.push_back(VerticalBar("TkBr_ERSize", p1, 130, 100, 120, "-50", "50", "10", "0"));
    r.push_back(Text("Lbl_ERStrength", p1, 178, 84, "Strength"));
    r.push_back(VerticalBar("TkBr_ERStrength", p1, 184, 100, 120, "0", "100", "10", "50"));
    r.push_back(Heading("Lbl_GRHeading", p1, 252, 6, "General Reverberation"));
    r.push_back(Wrapped("Lbl_GRText", p1, 252, 24, 232, 56, kGRText));
    r.push_back({"TRadioGroup",
                 "RdGp_GRType",
                 p1,
                 252,
                 84,
                 110,
                 134,
                 {{"Caption", "GR Algorithm"},
                  {"Items", "Room|Hall|Auditorium|Chamber|Cavern"},
                  {"ItemIndex", "0"}}});
    r.push_back(Text("Lbl_GRSize", p1, 376, 84, "Size"));
    r.push_back(VerticalBar("TkBr_GRSize", p1, 374, 100, 120, "-50", "50", "10", "0"));
    r.push_back(Text("Lbl_GRTime", p1, 422, 84, "Strength"));
    r.push_back({"TTrackBar",
                 "TkBr_GRTime",
                 p1,
                 428,
                 100,
                 34,
                 120,
                 {{"Orientation", "trVertical"},
                  {"TickMarks", "tmBoth"},
                  {"Min", "0"},
                  {"Max", "4000"},
                  {"PageSize", "10"},
                  {"Frequency", "500"},
                  {"Position", "1000"}}});

    // "Designer p2": channel separation and mellowing.
    const std::string_view p2 = kPageNames[1];
    r.push_back(Heading("Lbl_SeparationHeading", p2, 8, 6, "Channel Separation"));
    r.push_back(Wrapped("Lbl_SeparationText", p2, 8, 22, 476, 28, kSeparationText));
    r.push_back(Wrapped("Lbl_SeparationNote", p2, 8, 52, 476, 14, kSeparationNote));
    r.push_back(Text("Lbl_ERSeprtnTitle", p2, 12, 72, "Early Reflections"));
    r.push_back(
        HorizontalBar("TkBr_ERSeprtn", p2, 8, 88, 220, "1000", "1200", "20", "tmBottomRight", "1050"));
    r.push_back(Text("Lbl_ERSeprtnFactor", p2, 12, 120, "Separation factor ="));
    r.push_back(Text("Lbl_ERSeprtn", p2, 114, 120, "1.050"));
    r.push_back(Text("Lbl_GRSeprtnTitle", p2, 258, 72, "General Reverberation"));
    r.push_back(
        HorizontalBar("TkBr_GRSeprtn", p2, 254, 88, 220, "1000", "1200", "20", "tmBottomRight", "1100"));
    r.push_back(Text("Lbl_GRSeprtnFactor", p2, 258, 120, "Separation factor ="));
    r.push_back(Text("Lbl_GRSeprtn", p2, 360, 120, "1.100"));
    r.push_back(Heading("Lbl_TonalityHeading", p2, 8, 144, "Tonality"));
    r.push_back(Wrapped("Lbl_TonalityText", p2, 8, 160, 476, 28, kTonalityText));
    r.push_back(Text("Lbl_Mellowing", p2, 8, 204, "Mellowing"));
    r.push_back(HorizontalBar("TkBr_Filtration", p2, 64, 196, 330, "0", "100", "10", "tmBottomRight", "100"));
    r.push_back(Text("Lbl_FiltrationEquals", p2, 398, 204, " = "));
    r.push_back(Text("Lbl_Filtration", p2, 414, 204, "0.00"));

    // "Regenerators": one regenerator of each bank.
    const std::string_view p3 = kPageNames[2];
    r.push_back({"TGroupBox", "GpBx_Regen1", p3, 4, 2, 238, 236, {{"Caption", "Early Reflections"}}});
    AddRegeneratorGroup(r, "GpBx_Regen1", true);
    r.push_back({"TGroupBox", "GroupBox1", p3, 248, 2, 238, 236, {{"Caption", "General Reverberation"}}});
    AddRegeneratorGroup(r, "GroupBox1", false);

    // "Final": the mix, the export rules, the rate and the buttons.
    const std::string_view p4 = kPageNames[3];
    r.push_back(Heading("Lbl_MixHeading", p4, 8, 6, "Wet:Dry Mix"));
    r.push_back(Text("Lbl_PcentL", p4, 16, 26, "50"));
    r.push_back(Text("Lbl_PcentLSign", p4, 34, 26, "%"));
    r.push_back({"TTrackBar",
                 "TkBar_MixLvl_Left",
                 p4,
                 12,
                 42,
                 34,
                 150,
                 {{"Orientation", "trVertical"},
                  {"TickMarks", "tmBoth"},
                  {"Min", "0"},
                  {"Max", "100"},
                  {"PageSize", "10"},
                  {"Frequency", "10"},
                  {"Position", "50"},
                  {"Tag", "1"}}});
    r.push_back(Text("Lbl_MixLeft", p4, 16, 196, "Left"));
    r.push_back(Text("Lbl_PcentR", p4, 70, 26, "50"));
    r.push_back(Text("Lbl_PcentRSign", p4, 88, 26, "%"));
    r.push_back({"TTrackBar",
                 "TkBr_MixLvl_Right",
                 p4,
                 66,
                 42,
                 34,
                 150,
                 {{"Orientation", "trVertical"},
                  {"TickMarks", "tmBoth"},
                  {"Min", "0"},
                  {"Max", "100"},
                  {"PageSize", "10"},
                  {"Frequency", "10"},
                  {"Position", "50"},
                  {"Tag", "2"}}});
    r.push_back(Text("Lbl_MixRight", p4, 68, 196, "Right"));
    for (TComponentRow& row : TobjEffectDesigner::ExportRulesRows(p4, 126, 6, "Target impulse"))
        r.push_back(row);
    r.push_back(Text("Lbl_RateText", p4, 126, 132, "Kernel calculated for a sampling rate of"));
    r.push_back(Text("Lbl_SmplRate", p4, 126, 150, "44100"));
    r.push_back(Text("Lbl_RateUnit", p4, 180, 150, "Hz"));
    r.push_back({"TButton", "Btn_Generate", p4, 370, 150, 114, 25, {{"Caption", "Generate Kernel"}}});
    r.push_back(
        {"TButton", "Btn_Cancel", p4, 370, 184, 114, 25, {{"Caption", "Cancel"}, {"Cancel", "True"}}});
    return layout;
}

} // namespace

TobjReverbDesigner::TobjReverbDesigner(TComponent* owner) : TobjEffectDesigner(owner) {
    LoadLayout(MakeLayout());
    BindExportRules();
    pages_ = &Find<TDesignerPages>("PageCtrl");
    RdGp_ERType = &Find<TRadioGroup>("RdGp_ERType");
    TkBr_ERSize = &Find<TTrackBar>("TkBr_ERSize");
    TkBr_ERStrength = &Find<TTrackBar>("TkBr_ERStrength");
    RdGp_GRType = &Find<TRadioGroup>("RdGp_GRType");
    TkBr_GRSize = &Find<TTrackBar>("TkBr_GRSize");
    TkBr_GRTime = &Find<TTrackBar>("TkBr_GRTime");
    TkBr_ERSeprtn = &Find<TTrackBar>("TkBr_ERSeprtn");
    TkBr_GRSeprtn = &Find<TTrackBar>("TkBr_GRSeprtn");
    Lbl_ERSeprtn = &Find<TLabel>("Lbl_ERSeprtn");
    Lbl_GRSeprtn = &Find<TLabel>("Lbl_GRSeprtn");
    TkBr_Filtration = &Find<TTrackBar>("TkBr_Filtration");
    Lbl_Filtration = &Find<TLabel>("Lbl_Filtration");
    Spn_ERNmbr = &Find<TSpinEdit>("Spn_ERNmbr");
    TkBr_ER_Level = &Find<TTrackBar>("TkBr_ER_Level");
    Lbl_ER_Level = &Find<TLabel>("Lbl_ER_Level");
    TkBr_ER_Filter = &Find<TTrackBar>("TkBr_ER_Filter");
    Lbl_ER_Filter = &Find<TLabel>("Lbl_ER_Filter");
    TkBr_ER_Pan = &Find<TTrackBar>("TkBr_ER_Pan");
    ChBx_ER_Active = &Find<TCheckBox>("ChBx_ER_Active");
    Edt_ER_Delay = &Find<TEdit>("Edt_ER_Delay");
    Spn_GRNmbr = &Find<TSpinEdit>("Spn_GRNmbr");
    TkBr_GR_Level = &Find<TTrackBar>("TkBr_GR_Level");
    Lbl_GR_Level = &Find<TLabel>("Lbl_GR_Level");
    TkBr_GR_Filter = &Find<TTrackBar>("TkBr_GR_Filter");
    Lbl_GR_Filter = &Find<TLabel>("Lbl_GR_Filter");
    TkBr_GR_Pan = &Find<TTrackBar>("TkBr_GR_Pan");
    ChBx_GR_Active = &Find<TCheckBox>("ChBx_GR_Active");
    Edt_GR_Delay = &Find<TEdit>("Edt_GR_Delay");
    TkBar_MixLvl_Left = &Find<TTrackBar>("TkBar_MixLvl_Left");
    TkBr_MixLvl_Right = &Find<TTrackBar>("TkBr_MixLvl_Right");
    Lbl_PcentL = &Find<TLabel>("Lbl_PcentL");
    Lbl_PcentR = &Find<TLabel>("Lbl_PcentR");
    Lbl_SmplRate = &Find<TLabel>("Lbl_SmplRate");
    Btn_Generate = &Find<TButton>("Btn_Generate");
    Btn_Cancel = &Find<TButton>("Btn_Cancel");
    BindEvents();
    for (int i = 0; i < 4; ++i)
        pages_->AddPage(Find<TPanel>(kPageNames[i]), kPageCaptions[i]);
}

void TobjReverbDesigner::BindEvents() {
    Bind(RdGp_ERType->OnClick, this, &TobjReverbDesigner::ERType_Click);
    Bind(TkBr_ERSize->OnChange, this, &TobjReverbDesigner::ERSize_Change);
    Bind(TkBr_ERStrength->OnChange, this, &TobjReverbDesigner::ERStrength_Change);
    Bind(RdGp_GRType->OnClick, this, &TobjReverbDesigner::GRType_Click);
    Bind(TkBr_GRSize->OnChange, this, &TobjReverbDesigner::GRSize_Change);
    Bind(TkBr_GRTime->OnChange, this, &TobjReverbDesigner::GRTime_Change);
    Bind(TkBr_ERSeprtn->OnChange, this, &TobjReverbDesigner::ERSeprtn_Change);
    Bind(TkBr_GRSeprtn->OnChange, this, &TobjReverbDesigner::GRSeprtn_Change);
    Bind(TkBr_Filtration->OnChange, this, &TobjReverbDesigner::Filtration_Change);
    Bind(Spn_ERNmbr->OnChange, this, &TobjReverbDesigner::ERNmbr_Change);
    Bind(TkBr_ER_Level->OnChange, this, &TobjReverbDesigner::ERLevel_Change);
    Bind(TkBr_ER_Filter->OnChange, this, &TobjReverbDesigner::ERFilter_Change);
    Bind(TkBr_ER_Pan->OnChange, this, &TobjReverbDesigner::ERPan_Change);
    Bind(ChBx_ER_Active->OnClick, this, &TobjReverbDesigner::ERActive_Click);
    Bind(Edt_ER_Delay->OnChange, this, &TobjReverbDesigner::ERDelay_Change);
    Bind(Spn_GRNmbr->OnChange, this, &TobjReverbDesigner::GRNmbr_Change);
    Bind(TkBr_GR_Level->OnChange, this, &TobjReverbDesigner::GRLevel_Change);
    Bind(TkBr_GR_Filter->OnChange, this, &TobjReverbDesigner::GRFilter_Change);
    Bind(TkBr_GR_Pan->OnChange, this, &TobjReverbDesigner::GRPan_Change);
    Bind(ChBx_GR_Active->OnClick, this, &TobjReverbDesigner::GRActive_Change);
    Bind(Edt_GR_Delay->OnChange, this, &TobjReverbDesigner::GRDelay_Change);
    Bind(TkBar_MixLvl_Left->OnChange, this, &TobjReverbDesigner::MixLevel_Change);
    Bind(TkBr_MixLvl_Right->OnChange, this, &TobjReverbDesigner::MixLevel_Change);
    // The reverb designer keeps the write mode in its settings from the click on.
    Bind(RadBtn_Overwrite->OnClick, this, &TobjReverbDesigner::ReverbOverwrite_Click);
    Bind(RadBtn_MixInto->OnClick, this, &TobjReverbDesigner::ReverbMixInto_Click);
    Bind(pages_->OnChange, this, &TobjReverbDesigner::PageCtrl_Change);
    Bind(Btn_Generate->OnClick, this, &TobjReverbDesigner::Generate_Click);
    Bind(Btn_Cancel->OnClick, this, &TobjReverbDesigner::Cancel_Click);
}

TobjReverbDesigner::~TobjReverbDesigner() = default;

void TobjReverbDesigner::Setup(std::int32_t sampleRate, std::int32_t targetImpulse,
                               const std::string& programFolder, KernelModel& model) {
    TobjEffectDesigner::Setup(sampleRate, targetImpulse, programFolder, model);
    state_->ChannelOn = {true, true};
    erIndex_ = 0;
    grIndex_ = 0;
    ShowERRegen(0);
    ShowGRRegen(0);
    state_->M = ReverbState::MellowingCoefficients();
    // The mix bars show the wet shares that are in force, and their handlers put them on the bars' grid.
    TkBar_MixLvl_Left->SetPosition(MixPosition(state_->Settings.WetL));
    TkBr_MixLvl_Right->SetPosition(MixPosition(state_->Settings.WetR));
    MixLevel_Change(*TkBar_MixLvl_Left);
    MixLevel_Change(*TkBr_MixLvl_Right);
}

void TobjReverbDesigner::LoadSettings() {
    if (SampleRate() >= 1 && SampleRate() <= 99999999)
        state_->SampleRate = SampleRate();
    Lbl_SmplRate->SetCaption(std::to_string(state_->SampleRate));
    LoadReverbSettings(*state_, ProgramFolder(), Warnings());
}

bool TobjReverbDesigner::SaveSettings() {
    return SaveReverbSettings(*state_, ProgramFolder(), Warnings());
}

int TobjReverbDesigner::PageIndex() const {
    return pages_->ActivePageIndex();
}

void TobjReverbDesigner::SelectPage(int index) {
    pages_->SetActivePageIndex(index);
}

void TobjReverbDesigner::SettingsToControls() {
    const SettingsPositions p = PositionsOfSettings(state_->Settings);
    RdGp_ERType->SetItemIndex(p.erType);
    TkBr_ERSize->SetPosition(p.erSize);
    TkBr_ERStrength->SetPosition(p.erStrength);
    RdGp_GRType->SetItemIndex(p.grType);
    TkBr_GRSize->SetPosition(p.grSize);
    TkBr_GRTime->SetPosition(p.grTime);
    TkBr_Filtration->SetPosition(p.filtration);
    TkBr_ERSeprtn->SetPosition(p.erSeparation);
    TkBr_GRSeprtn->SetPosition(p.grSeparation);
    RadBtn_Overwrite->SetChecked(p.overwrite);
    RadBtn_MixInto->SetChecked(!p.overwrite);
}

void TobjReverbDesigner::ShowRegen(RegenBank bank, int index) {
    const RegenPositions p = PositionsOfRegenerator(*state_, bank, index);
    const bool early = bank == RegenBank::EarlyReflections;
    (early ? TkBr_ER_Level : TkBr_GR_Level)->SetPosition(p.level);
    (early ? TkBr_ER_Filter : TkBr_GR_Filter)->SetPosition(p.filter);
    (early ? Edt_ER_Delay : Edt_GR_Delay)->SetText(p.delayText);
    (early ? TkBr_ER_Pan : TkBr_GR_Pan)->SetPosition(p.pan);
    (early ? ChBx_ER_Active : ChBx_GR_Active)->SetChecked(p.active);
}

void TobjReverbDesigner::ShowERRegen(int index) {
    ShowRegen(RegenBank::EarlyReflections, index);
}

void TobjReverbDesigner::ShowGRRegen(int index) {
    ShowRegen(RegenBank::GeneralReverberation, index);
}

void TobjReverbDesigner::ReadTarget() {
    state_->TargetImpulse = Spn_TargetImpls->Value();
}

void TobjReverbDesigner::ERType_Click(TObject&) {
    if (RdGp_ERType->ItemIndex() >= 0)
        state_->Settings.ERType = static_cast<std::uint8_t>(RdGp_ERType->ItemIndex());
}

void TobjReverbDesigner::ERSize_Change(TObject&) {
    ERSizeChanged(*state_, TkBr_ERSize->Position());
}

void TobjReverbDesigner::ERStrength_Change(TObject&) {
    ERStrengthChanged(*state_, TkBr_ERStrength->Position());
    const bool enabled = ERControlsEnabled(state_->Settings);
    RdGp_ERType->SetEnabled(enabled);
    TkBr_ERSize->SetEnabled(enabled);
}

void TobjReverbDesigner::GRType_Click(TObject&) {
    if (RdGp_GRType->ItemIndex() >= 0)
        state_->Settings.GRType = static_cast<std::uint8_t>(RdGp_GRType->ItemIndex());
}

void TobjReverbDesigner::GRSize_Change(TObject&) {
    GRSizeChanged(*state_, TkBr_GRSize->Position());
}

void TobjReverbDesigner::GRTime_Change(TObject&) {
    GRTimeChanged(*state_, TkBr_GRTime->Position());
    const bool enabled = GRControlsEnabled(state_->Settings);
    RdGp_GRType->SetEnabled(enabled);
    TkBr_GRSize->SetEnabled(enabled);
}

void TobjReverbDesigner::ERSeprtn_Change(TObject&) {
    ERSeparationChanged(*state_, TkBr_ERSeprtn->Position());
    Lbl_ERSeprtn->SetCaption(SeparationLabel(state_->Settings.ERSeparation));
}

void TobjReverbDesigner::GRSeprtn_Change(TObject&) {
    GRSeparationChanged(*state_, TkBr_GRSeprtn->Position());
    Lbl_GRSeprtn->SetCaption(SeparationLabel(state_->Settings.GRSeparation));
}

void TobjReverbDesigner::Filtration_Change(TObject&) {
    FiltrationChanged(*state_, TkBr_Filtration->Position());
    Lbl_Filtration->SetCaption(FiltrationLabel(state_->Settings));
}

void TobjReverbDesigner::ERNmbr_Change(TObject&) {
    erIndex_ = RegenIndexOfNumber(Spn_ERNmbr->Value(), kERNumberMax);
    ShowERRegen(erIndex_);
}

void TobjReverbDesigner::ERLevel_Change(TObject&) {
    Lbl_ER_Level->SetCaption(
        RegenLevelChanged(*state_, RegenBank::EarlyReflections, erIndex_, TkBr_ER_Level->Position()));
}

void TobjReverbDesigner::ERFilter_Change(TObject&) {
    Lbl_ER_Filter->SetCaption(
        RegenFilterChanged(*state_, RegenBank::EarlyReflections, erIndex_, TkBr_ER_Filter->Position()));
}

void TobjReverbDesigner::ERPan_Change(TObject&) {
    RegenPanChanged(*state_, RegenBank::EarlyReflections, erIndex_, TkBr_ER_Pan->Position());
}

void TobjReverbDesigner::ERActive_Click(TObject&) {
    RegenActiveChanged(*state_, RegenBank::EarlyReflections, erIndex_, ChBx_ER_Active->Checked());
}

void TobjReverbDesigner::ERDelay_Change(TObject&) {
    RegenDelayChanged(*state_, RegenBank::EarlyReflections, erIndex_, Edt_ER_Delay->Text());
}

void TobjReverbDesigner::GRNmbr_Change(TObject&) {
    grIndex_ = RegenIndexOfNumber(Spn_GRNmbr->Value(), kGRNumberMax);
    ShowGRRegen(grIndex_);
}

void TobjReverbDesigner::GRLevel_Change(TObject&) {
    Lbl_GR_Level->SetCaption(
        RegenLevelChanged(*state_, RegenBank::GeneralReverberation, grIndex_, TkBr_GR_Level->Position()));
}

void TobjReverbDesigner::GRFilter_Change(TObject&) {
    Lbl_GR_Filter->SetCaption(
        RegenFilterChanged(*state_, RegenBank::GeneralReverberation, grIndex_, TkBr_GR_Filter->Position()));
}

void TobjReverbDesigner::GRPan_Change(TObject&) {
    RegenPanChanged(*state_, RegenBank::GeneralReverberation, grIndex_, TkBr_GR_Pan->Position());
}

void TobjReverbDesigner::GRActive_Change(TObject&) {
    RegenActiveChanged(*state_, RegenBank::GeneralReverberation, grIndex_, ChBx_GR_Active->Checked());
}

void TobjReverbDesigner::GRDelay_Change(TObject&) {
    RegenDelayChanged(*state_, RegenBank::GeneralReverberation, grIndex_, Edt_GR_Delay->Text());
}

void TobjReverbDesigner::MixLevel_Change(TObject& sender) {
    auto& bar = dynamic_cast<TTrackBar&>(sender);
    const int channel = bar.Tag() == 1 ? 0 : 1;
    const std::string percent = MixChanged(*state_, channel, bar.Position());
    (channel == 0 ? Lbl_PcentL : Lbl_PcentR)->SetCaption(percent);
}

void TobjReverbDesigner::ReverbOverwrite_Click(TObject& sender) {
    Overwrite_Click(sender);
    if (RadBtn_Overwrite->Checked())
        state_->Settings.WriteMode = kWriteOverwrite;
}

void TobjReverbDesigner::ReverbMixInto_Click(TObject& sender) {
    MixInto_Click(sender);
    if (RadBtn_MixInto->Checked())
        state_->Settings.WriteMode = kWriteMix;
}

void TobjReverbDesigner::PageCtrl_Change(TObject&) {
    if (PageIndex() != kRegeneratorsPage)
        return;
    ReadTarget();
    ComputeERRegens(*state_);
    erIndex_ = 0;
    Spn_ERNmbr->SetValue(1);
    ShowERRegen(0);
    ComputeGRRegens(*state_);
    grIndex_ = 0;
    Spn_GRNmbr->SetValue(1);
    ShowGRRegen(0);
}

void TobjReverbDesigner::Generate_Click(TObject&) {
    ReadTarget();
    const TExportRules rules = ExportRulesFromControls();
    state_->ChannelOn = {rules.left, rules.right};
    try {
        GenerateReverb(*state_, LeftKernel(), RightKernel(), Warnings());
    } catch (const std::exception& error) {
        // Every record is made and checked before the first is written: the kernels are as they were.
        Warn(error.what());
        return;
    }
    Close();
}

void TobjReverbDesigner::Cancel_Click(TObject&) {
    Close();
}

} // namespace tarvola
