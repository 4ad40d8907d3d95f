// DesignerForm: what the four effect designer dialogs (filter, echo, resonance, reverb) share on screen.
//
// A designer dialog derives from TobjEffectDesigner and
//   - may lay its pages out on a TDesignerPages (DesignerPages; registered for layouts here);
//   - adds ExportRulesRows(...) to its layout table: the group "Export Rules" with the radio buttons
//     RadBtn_Overwrite ("Overwrite kernel", checked) and RadBtn_MixInto ("Mix into kernel"), the target
//     spin edit Spn_TargetImpls (no limits) with its label, and the check boxes ChBx_LeftChnl and
//     ChBx_RightChnl (both checked). Their handlers (Overwrite_Click, MixInto_Click, LeftChnl_Click,
//     RightChnl_Click: one channel box always stays checked) are bound by BindExportRules(), which the
//     derived constructor calls after LoadLayout;
//   - implements LoadSettings (load the settings file, or defaults), SettingsToControls and SaveSettings
//     (write the settings file, warning on failure; use Warnings() as the sink of DesignerSettings);
//   - reads ExportRulesFromControls() in its Generate handler, writes with ExportToKernels (or its own
//     helper on top of it) into LeftKernel()/RightKernel(), and closes. On a generation error it calls
//     Warn(message), writes nothing and stays open.
//
// The caller (the kernel designer window's Designers menu) runs a designer with RunEffectDesigner: make,
// Setup, modal run, the explicit settings save, free. It then refreshes its views and records its undo
// entry, after Cancel too.
#pragma once

#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/Form.h"
#include "forms/Layout.h"
#include "forms/StdCtrls.h"
#include "kernel/KrnlDsgnTypes.h"
#include "kernel/designers/DesignerExport.h"
#include "kernel/designers/DesignerSettings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvola {

class TobjEffectDesigner : public TForm {
public:
    explicit TobjEffectDesigner(TComponent* owner);

    // The set-up before the modal run: remembers the sample rate and the program folder (the settings file
    // lies in its "User\" folder), puts the target into Spn_TargetImpls, takes the model's left and right
    // kernels, then LoadSettings and SettingsToControls.
    void Setup(std::int32_t sampleRate, std::int32_t targetImpulse, const std::string& programFolder,
               KernelModel& model);

    // The explicit save step once the dialog has closed; false (after its warning) when it failed.
    virtual bool SaveSettings() = 0;

    std::int32_t SampleRate() const { return sampleRate_; }
    const std::string& ProgramFolder() const { return programFolder_; }
    // The settings file of that name in the program's "User\" folder.
    std::string SettingsPath(std::string_view fileName) const;

    // Shows a warning box with a single OK button.
    void Warn(const std::string& text) const;
    WarningSink Warnings() const;

    // Rows of the "Export Rules" group at (left, top) on the parent, with the target's label caption.
    static std::vector<TComponentRow> ExportRulesRows(std::string_view parent, int left, int top,
                                                      std::string_view targetCaption);
    static constexpr int kExportRulesWidth = 233;
    static constexpr int kExportRulesHeight = 111;
    // Rows of the buttons Btn_Generate ("Generate Kernel") and Btn_Cancel ("Cancel", the dialog's cancel
    // button) at their place in the lower right of the parent; the dialog binds their clicks.
    static std::vector<TComponentRow> GenerateCancelRows(std::string_view parent);
    // The form properties of a designer dialog 501 pixels wide: dialog border, system menu only, centred
    // on its owner.
    static std::vector<TProp> DialogProperties(std::string_view caption, std::string_view clientHeight);

    TRadioButton* RadBtn_Overwrite = nullptr;
    TRadioButton* RadBtn_MixInto = nullptr;
    TSpinEdit* Spn_TargetImpls = nullptr;
    TCheckBox* ChBx_LeftChnl = nullptr;
    TCheckBox* ChBx_RightChnl = nullptr;

protected:
    virtual void LoadSettings() = 0;
    virtual void SettingsToControls() = 0;

    // Finds the export rule controls after LoadLayout and binds their clicks.
    void BindExportRules();
    // Mode, target and channels as the controls hold them.
    TExportRules ExportRulesFromControls() const;

    TobjHistData& LeftKernel() const;
    TobjHistData& RightKernel() const;

    void Overwrite_Click(TObject& sender);
    void MixInto_Click(TObject& sender);
    void LeftChnl_Click(TObject& sender);
    void RightChnl_Click(TObject& sender);

private:
    std::int32_t sampleRate_ = 0;
    std::string programFolder_;
    TobjHistData* leftKernel_ = nullptr;
    TobjHistData* rightKernel_ = nullptr;
};

// Runs a designer as the Designers menu does: makes it with its owner, Setup, shows it modally, saves its
// settings in the explicit step, frees it.
template <class Designer>
void RunEffectDesigner(TComponent* owner, std::int32_t sampleRate, std::int32_t targetImpulse,
                       const std::string& programFolder, KernelModel& model) {
    Designer designer(owner);
    designer.Setup(sampleRate, targetImpulse, programFolder, model);
    designer.ShowModal();
    designer.SaveSettings();
}

} // namespace tarvola
