#include "kernel/designers/TapDesignerForm.h"

#include "forms/Layout.h"

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

std::optional<std::string> RefusedFieldText(const std::vector<TCheckedField>& fields,
                                            std::string_view targetText) {
    for (const auto& [field, caption] : fields)
        if (std::optional<std::string> refusal = field->Refusal(caption)) {
            field->ForgetRefusal();
            return refusal;
        }
    return RefusedNumberText("Target Impulse #", targetText);
}

void EnableControls(const std::vector<TControl*>& controls, bool enabled) {
    for (TControl* control : controls)
        control->SetEnabled(enabled);
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

namespace {

// The names of one kind's pages and controls.
struct TapKindNames {
    const char* firstPage;
    const char* useKindBox;
    const char* filterPage;
    const char* mixLabel;
    const char* mixBar;
    const char* orderLabel;
    const char* orderField;
    const char* timbre;
    const char* filterBox;
};

const TapKindNames& NamesOf(TTapKind kind) {
    static const TapKindNames recursive{"TbSht_Recrs1",         "ChBx_UseRecursive", "TbSht_Recrs2",
                                        "Lbl_Recrs_MixLvl",     "TkBr_Recrs_MixLvl", "Lbl_Recrs_FltrOrder",
                                        "SpEd_Recrs_FltrOrder", "RdGp_Recrs_Timbre", "ChBx_Recrs_Filter"};
    static const TapKindNames convolution{"TbSht_Conv1",         "ChBx_UseConvolution", "TbSht_Conv2",
                                          "Lbl_Conv_MixLvl",     "TkBr_Conv_MixLvl",    "Lbl_Conv_FltrOrder",
                                          "SpEd_Conv_FltrOrder", "RdGp_Conv_Timbre",    "ChBx_Conv_Filter"};
    return kind == TTapKind::Recursive ? recursive : convolution;
}

constexpr const char* kTimbreItems = "Low Pass|High Pass|Band Pass";

} // namespace

TComponentRow UseKindRow(TTapKind kind, int width, std::string_view caption) {
    const TapKindNames& names = NamesOf(kind);
    TComponentRow row{"TCheckBox", names.useKindBox,      names.firstPage, 12, 10, width,
                      17,          {{"Caption", caption}}};
    // The recursive kind is the one chosen until the settings say otherwise.
    if (kind == TTapKind::Recursive)
        row.props.push_back({"Checked", "True"});
    return row;
}

TComponentRow ConvolutionStereoRow(std::string_view max, std::string_view frequency,
                                   std::string_view position) {
    return {
        "TTrackBar",
        "TkBr_Conv_Stereo",
        "TbSht_Conv1",
        116,
        146,
        300,
        34,
        {{"Min", "0"}, {"Max", max}, {"Frequency", frequency}, {"PageSize", "10"}, {"Position", position}}};
}

std::vector<TComponentRow> FilterPageRows(TTapKind kind, std::string_view pages,
                                          std::vector<TComponentRow> ownRows, int timbreLeft,
                                          std::string_view filterCaption) {
    const TapKindNames& names = NamesOf(kind);
    std::vector<TComponentRow> rows = {
        PageRow(names.filterPage, pages),
        LabelRow(names.mixLabel, names.filterPage, 8, 6, 60, "Mix Level"),
        VerticalBarRow(names.mixBar, names.filterPage, 14, 24, "100", "10", "0"),
        LabelRow(names.orderLabel, names.filterPage, 80, 12, 70, "Filter Order"),
        FilterOrderRow(names.orderField, names.filterPage, 160, 8),
    };
    AppendRows(rows, std::move(ownRows));
    rows.push_back({"TRadioGroup",
                    names.timbre,
                    names.filterPage,
                    timbreLeft,
                    44,
                    120,
                    84,
                    {{"Caption", "Timbre"}, {"Items", kTimbreItems}, {"ItemIndex", "0"}}});
    rows.push_back(
        {"TCheckBox", names.filterBox, names.filterPage, 80, 140, 160, 17, {{"Caption", filterCaption}}});
    return rows;
}

std::vector<TComponentRow> FinalPageRows(std::string_view pages, std::string_view notice) {
    std::vector<TComponentRow> rows = {
        PageRow("TbSht_Final", pages),
        {"TLabel",
         "Lbl_Important",
         "TbSht_Final",
         8,
         6,
         230,
         100,
         {{"AutoSize", "False"}, {"WordWrap", "True"}, {"Caption", notice}}},
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
    };
    AppendRows(rows, TobjEffectDesigner::GenerateCancelRows("TbSht_Final"));
    AppendRows(rows, TobjEffectDesigner::ExportRulesRows("TbSht_Final", 242, 6, "Target Impulse #"));
    return rows;
}

void AppendRows(std::vector<TComponentRow>& rows, std::vector<TComponentRow> more) {
    for (TComponentRow& row : more)
        rows.push_back(std::move(row));
}

} // namespace tarvola
