#include "kernel/designers/DesignerForm.h"

#include "forms/Dialogs.h"
#include "kernel/designers/DesignerPages.h"

namespace tarvola {

TobjEffectDesigner::TobjEffectDesigner(TComponent* owner) : TForm(owner) {
    RegisterDesignerPages();
}

void TobjEffectDesigner::Setup(std::int32_t sampleRate, std::int32_t targetImpulse,
                               const std::string& programFolder, KernelModel& model) {
    if (Spn_TargetImpls == nullptr)
        throw EComponentError("The designer's export rules are not bound");
    sampleRate_ = sampleRate;
    programFolder_ = programFolder;
    Spn_TargetImpls->SetValue(targetImpulse);
    leftKernel_ = &model.LeftKernel;
    rightKernel_ = &model.RightKernel;
    LoadSettings();
    SettingsToControls();
}

std::string TobjEffectDesigner::SettingsPath(std::string_view fileName) const {
    return DesignerSettingsPath(programFolder_, std::string(fileName));
}

void TobjEffectDesigner::Warn(const std::string& text) const {
    MessageDlg(text, TMsgDlgType::mtWarning, mbOK);
}

WarningSink TobjEffectDesigner::Warnings() const {
    return [this](const std::string& text) { Warn(text); };
}

std::vector<TComponentRow> TobjEffectDesigner::GenerateCancelRows(std::string_view parent) {
    return {
        {"TButton", "Btn_Generate", parent, 262, 160, 106, 25, {{"Caption", "Generate Kernel"}}},
        {"TButton", "Btn_Cancel", parent, 378, 160, 81, 25, {{"Caption", "Cancel"}, {"Cancel", "True"}}},
    };
}

std::vector<TProp> TobjEffectDesigner::DialogProperties(std::string_view caption,
                                                        std::string_view clientHeight) {
    return {{"Caption", caption},
            {"BorderStyle", "bsDialog"},
            {"BorderIcons", "biSystemMenu"},
            {"Position", "poOwnerFormCenter"},
            {"ClientWidth", "501"},
            {"ClientHeight", clientHeight}};
}

std::vector<TComponentRow> TobjEffectDesigner::ExportRulesRows(std::string_view parent, int left, int top,
                                                               std::string_view targetCaption) {
    return {
        {"TGroupBox",
         "GrpBx_ExportRules",
         parent,
         left,
         top,
         kExportRulesWidth,
         kExportRulesHeight,
         {{"Caption", "Export Rules"}}},
        {"TRadioButton",
         "RadBtn_Overwrite",
         "GrpBx_ExportRules",
         10,
         18,
         110,
         17,
         {{"Caption", "Overwrite kernel"}, {"Checked", "True"}}},
        {"TRadioButton",
         "RadBtn_MixInto",
         "GrpBx_ExportRules",
         122,
         18,
         104,
         17,
         {{"Caption", "Mix into kernel"}}},
        {"TLabel", "Lbl_TargetImpls", "GrpBx_ExportRules", 10, 49, 104, 13, {{"Caption", targetCaption}}},
        {"TSpinEdit",
         "Spn_TargetImpls",
         "GrpBx_ExportRules",
         122,
         45,
         100,
         22,
         {{"MinValue", "0"}, {"MaxValue", "0"}, {"Value", "0"}}},
        {"TCheckBox",
         "ChBx_LeftChnl",
         "GrpBx_ExportRules",
         10,
         80,
         104,
         17,
         {{"Caption", "Left Channel"}, {"Checked", "True"}}},
        {"TCheckBox",
         "ChBx_RightChnl",
         "GrpBx_ExportRules",
         122,
         80,
         104,
         17,
         {{"Caption", "Right Channel"}, {"Checked", "True"}}},
    };
}

void TobjEffectDesigner::BindExportRules() {
    RadBtn_Overwrite = &Find<TRadioButton>("RadBtn_Overwrite");
    RadBtn_MixInto = &Find<TRadioButton>("RadBtn_MixInto");
    Spn_TargetImpls = &Find<TSpinEdit>("Spn_TargetImpls");
    ChBx_LeftChnl = &Find<TCheckBox>("ChBx_LeftChnl");
    ChBx_RightChnl = &Find<TCheckBox>("ChBx_RightChnl");
    Bind(RadBtn_Overwrite->OnClick, this, &TobjEffectDesigner::Overwrite_Click);
    Bind(RadBtn_MixInto->OnClick, this, &TobjEffectDesigner::MixInto_Click);
    Bind(ChBx_LeftChnl->OnClick, this, &TobjEffectDesigner::LeftChnl_Click);
    Bind(ChBx_RightChnl->OnClick, this, &TobjEffectDesigner::RightChnl_Click);
}

TExportRules TobjEffectDesigner::ExportRulesFromControls() const {
    TExportRules rules;
    rules.mode = RadBtn_Overwrite->Checked() ? TExportMode::Overwrite : TExportMode::Mix;
    rules.targetImpulse = Spn_TargetImpls->Value();
    rules.left = ChBx_LeftChnl->Checked();
    rules.right = ChBx_RightChnl->Checked();
    return rules;
}

TobjHistData& TobjEffectDesigner::LeftKernel() const {
    if (leftKernel_ == nullptr)
        throw EComponentError("The designer has not been set up");
    return *leftKernel_;
}

TobjHistData& TobjEffectDesigner::RightKernel() const {
    if (rightKernel_ == nullptr)
        throw EComponentError("The designer has not been set up");
    return *rightKernel_;
}

void TobjEffectDesigner::Overwrite_Click(TObject&) {
    if (RadBtn_Overwrite->Checked())
        RadBtn_MixInto->SetChecked(false);
}

void TobjEffectDesigner::MixInto_Click(TObject&) {
    if (RadBtn_MixInto->Checked())
        RadBtn_Overwrite->SetChecked(false);
}

// Setting the box from code clicks it again; by then both rules hold and nothing more happens.
void TobjEffectDesigner::LeftChnl_Click(TObject&) {
    if (ChannelBoxAfterClick(ChBx_LeftChnl->Checked(), ChBx_RightChnl->Checked()))
        ChBx_LeftChnl->SetChecked(true);
}

void TobjEffectDesigner::RightChnl_Click(TObject&) {
    if (ChannelBoxAfterClick(ChBx_RightChnl->Checked(), ChBx_LeftChnl->Checked()))
        ChBx_RightChnl->SetChecked(true);
}

} // namespace tarvola
