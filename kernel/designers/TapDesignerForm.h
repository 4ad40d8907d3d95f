// TapDesignerForm: what the echo and resonance dialogs (EchoDesignerForm, ResonanceDesignerForm) share.
//
// Both lay out five pages alike: the recursive kind and its filter, the convolution kind and its filter,
// and "Final" with the notice, the sample rate, Generate, Cancel and the export rules. The two kinds are
// exclusive, each filter box enables its group, and Generate refuses a number field holding a number too
// large for 32 bits before anything is designed.
//
// A tap dialog derives from TobjTapDesigner<its settings record, its control values>. Its constructor
// loads its layout (built from the rows here), calls BindTapControls (which binds the shared controls'
// events), finds its own controls, binds their events and names its four control groups and its checked
// number fields. It implements the
// hooks below for what only it has; everything else is here.
//
// Also here: TCheckedSpinEdit, the number field both dialogs use. When the user leaves it holding a number
// too large for 32 bits, the spin edit puts its minimum in its place; this one remembers the text, so that
// Generate refuses it instead of designing with the minimum.
#pragma once

#include "kernel/designers/DesignerForm.h"
#include "kernel/designers/DesignerPages.h"
#include "kernel/designers/ResonanceDesigner.h" // both records' SettingsToControls, for the template

#include <array>
#include <exception>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvola {

class TCheckedSpinEdit : public TSpinEdit {
public:
    explicit TCheckedSpinEdit(TComponent* owner) : TSpinEdit(owner) {}

    // The refusal of the text the field holds, or of the one it held when the user left it.
    std::optional<std::string> Refusal(std::string_view fieldCaption) const;
    void ForgetRefusal() { leftText_.reset(); }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::optional<std::string> leftText_;
};

// Makes "TCheckedSpinEdit" known to layout tables (safe to call more than once).
void RegisterCheckedSpinEdit();

// Layout rows both tap designers use: a label, a typeable number field (a TCheckedSpinEdit; min = max means
// no limits), a filter order field (5..1023, step 2, not typeable), a vertical track bar from 0 with ticks on
// both sides, and a page of the page control.
TComponentRow LabelRow(std::string_view name, std::string_view parent, int left, int top, int width,
                       std::string_view caption);
TComponentRow NumberFieldRow(std::string_view name, std::string_view parent, int left, int top,
                             std::string_view min, std::string_view max, std::string_view value);
TComponentRow FilterOrderRow(std::string_view name, std::string_view parent, int left, int top);
TComponentRow VerticalBarRow(std::string_view name, std::string_view parent, int left, int top,
                             std::string_view max, std::string_view frequency, std::string_view position);
TComponentRow PageRow(std::string_view name, std::string_view pages);

// The pages and controls of both dialogs share their names: "TbSht_Recrs1" .. "TbSht_Conv2" and
// "TbSht_Final", ChBx_UseRecursive, TkBr_Conv_MixLvl and so on. Captions, limits and the page control's
// name are the caller's (string views of literals: a layout keeps them).
enum class TTapKind { Recursive, Convolution };

// The box that chooses the kind, on the kind's first page: ChBx_UseRecursive (checked) or
// ChBx_UseConvolution.
TComponentRow UseKindRow(TTapKind kind, int width, std::string_view caption);
// The convolution's horizontal stereo bar TkBr_Conv_Stereo, on its first page.
TComponentRow ConvolutionStereoRow(std::string_view max, std::string_view frequency,
                                   std::string_view position);
// The kind's filter page: the mix level bar, the filter order, the rows the dialog adds there, the timbre
// group at that left edge and the filter box.
std::vector<TComponentRow> FilterPageRows(TTapKind kind, std::string_view pages,
                                          std::vector<TComponentRow> ownRows, int timbreLeft,
                                          std::string_view filterCaption);
// The "Final" page: the notice, the sample rate, Generate, Cancel and the export rules.
std::vector<TComponentRow> FinalPageRows(std::string_view pages, std::string_view notice);

// Adds the rows at the end of the table, in their order (the order of the rows is the tab order).
void AppendRows(std::vector<TComponentRow>& rows, std::vector<TComponentRow> more);

// The controls each kind's box and filter box switch.
struct TTapControlGroups {
    std::vector<TControl*> recursive;         // with ChBx_UseRecursive (its filter box among them)
    std::vector<TControl*> recursiveFilter;   // with ChBx_Recrs_Filter
    std::vector<TControl*> convolution;       // with ChBx_UseConvolution (its filter box among them)
    std::vector<TControl*> convolutionFilter; // with ChBx_Conv_Filter
};

// A number field Generate checks, with its caption for the refusal.
using TCheckedField = std::pair<TCheckedSpinEdit*, const char*>;

// The refusal of the first field whose text cannot be held (which then forgets it), else of the target.
std::optional<std::string> RefusedFieldText(const std::vector<TCheckedField>& fields,
                                            std::string_view targetText);

void EnableControls(const std::vector<TControl*>& controls, bool enabled);

template <class TSettings, class TControls>
class TobjTapDesigner : public TobjEffectDesigner {
public:
    bool SaveSettings() override;
    const TSettings& Settings() const { return settings_; }
    // The rate the kernel is calculated for: the one given at set-up when it is usable, else 44100.
    std::int32_t DesignRate() const { return rate_; }

    TCheckBox* ChBx_UseRecursive = nullptr;
    TTrackBar* TkBr_Recrs_Stereo = nullptr;
    TTrackBar* TkBr_Recrs_MixLvl = nullptr;
    TSpinEdit* SpEd_Recrs_FltrOrder = nullptr;
    TRadioGroup* RdGp_Recrs_Timbre = nullptr;
    TCheckBox* ChBx_Recrs_Filter = nullptr;
    TCheckBox* ChBx_UseConvolution = nullptr;
    TCheckedSpinEdit* SpEd_Conv_InitValue = nullptr;
    TCheckedSpinEdit* SpEd_Conv_FinalValue = nullptr;
    TCheckedSpinEdit* SpEd_Conv_NmbrTaps = nullptr;
    TTrackBar* TkBr_Conv_Stereo = nullptr;
    TSpinEdit* SpEd_Conv_FltrOrder = nullptr;
    TTrackBar* TkBr_Conv_MixLvl = nullptr;
    TRadioGroup* RdGp_Conv_Timbre = nullptr;
    TCheckBox* ChBx_Conv_Filter = nullptr;
    TLabel* Lbl_SmplRate = nullptr;
    TButton* Btn_Generate = nullptr;
    TButton* Btn_Cancel = nullptr;

protected:
    explicit TobjTapDesigner(TComponent* owner);

    // After LoadLayout: binds the export rules, hands the five pages to the page control under these tab
    // captions and finds the controls above.
    TDesignerPages& BindTapControls(std::string_view pagesName, const std::array<const char*, 4>& kindPages);

    void LoadSettings() override;
    void SettingsToControls() override;

    // ---- What each dialog adds
    virtual TSettings LoadSettingsFile() const = 0;
    virtual bool SaveSettingsFile() const = 0;
    virtual TTapGenerateResult<TSettings> GenerateFromControls(const TControls& controls) = 0;
    // Setting the controls runs in the order of the pages: the dialog's own recursive controls come after
    // the recursive timbre, its own convolution controls after the tap count. Reading takes them all.
    virtual void ShowOwnRecursiveControls(const TControls& controls) = 0;
    virtual void ShowOwnConvolutionControls(const TControls& controls) = 0;
    virtual void ReadOwnControls(TControls& controls) const = 0;

    TTapControlGroups groups_;
    std::vector<TCheckedField> checkedFields_; // in the order Generate checks them

private:
    void ShowMode(int mode);
    TControls ControlValues() const;

    void UseRecursive_Click(TObject& sender);
    void UseConvolution_Click(TObject& sender);
    void RecrsUseFltr_Click(TObject& sender);
    void ConvUseFltr_Click(TObject& sender);
    void Generate_Click(TObject& sender);
    void Cancel_Click(TObject& sender);

    TSettings settings_;
    std::int32_t rate_ = kDefaultDesignerSampleRate;
    bool showingMode_ = false;
};

template <class S, class C>
TobjTapDesigner<S, C>::TobjTapDesigner(TComponent* owner) : TobjEffectDesigner(owner) {
    RegisterCheckedSpinEdit();
}

template <class S, class C>
TDesignerPages& TobjTapDesigner<S, C>::BindTapControls(std::string_view pagesName,
                                                       const std::array<const char*, 4>& kindPages) {
    BindExportRules();
    ChBx_UseRecursive = &Find<TCheckBox>("ChBx_UseRecursive");
    TkBr_Recrs_Stereo = &Find<TTrackBar>("TkBr_Recrs_Stereo");
    TkBr_Recrs_MixLvl = &Find<TTrackBar>("TkBr_Recrs_MixLvl");
    SpEd_Recrs_FltrOrder = &Find<TSpinEdit>("SpEd_Recrs_FltrOrder");
    RdGp_Recrs_Timbre = &Find<TRadioGroup>("RdGp_Recrs_Timbre");
    ChBx_Recrs_Filter = &Find<TCheckBox>("ChBx_Recrs_Filter");
    ChBx_UseConvolution = &Find<TCheckBox>("ChBx_UseConvolution");
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
    Bind(ChBx_UseRecursive->OnClick, this, &TobjTapDesigner::UseRecursive_Click);
    Bind(ChBx_UseConvolution->OnClick, this, &TobjTapDesigner::UseConvolution_Click);
    Bind(ChBx_Recrs_Filter->OnClick, this, &TobjTapDesigner::RecrsUseFltr_Click);
    Bind(ChBx_Conv_Filter->OnClick, this, &TobjTapDesigner::ConvUseFltr_Click);
    Bind(Btn_Generate->OnClick, this, &TobjTapDesigner::Generate_Click);
    Bind(Btn_Cancel->OnClick, this, &TobjTapDesigner::Cancel_Click);
    auto& pages = Find<TDesignerPages>(pagesName);
    pages.AddPage(Find<TPanel>("TbSht_Recrs1"), kindPages[0]);
    pages.AddPage(Find<TPanel>("TbSht_Recrs2"), kindPages[1]);
    pages.AddPage(Find<TPanel>("TbSht_Conv1"), kindPages[2]);
    pages.AddPage(Find<TPanel>("TbSht_Conv2"), kindPages[3]);
    pages.AddPage(Find<TPanel>("TbSht_Final"), "Final");
    return pages;
}

template <class S, class C>
void TobjTapDesigner<S, C>::LoadSettings() {
    // Set-up has just taken the caller's rate; an unusable one leaves the previous rate.
    rate_ = AcceptedSampleRate(SampleRate(), rate_);
    Lbl_SmplRate->SetCaption(std::to_string(rate_));
    settings_ = LoadSettingsFile();
}

template <class S, class C>
bool TobjTapDesigner<S, C>::SaveSettings() {
    if (ProgramFolder().empty())
        return false; // never set up: there is no settings file to write
    return SaveSettingsFile();
}

// The two kinds are exclusive. A filter group is switched only when its kind is left, or when its filter is
// on; the filter boxes' own handlers decide the rest.
template <class S, class C>
void TobjTapDesigner<S, C>::ShowMode(int mode) {
    showingMode_ = true;
    const bool recursive = mode == 0;
    ChBx_UseRecursive->SetChecked(recursive);
    EnableControls(groups_.recursive, recursive);
    if (!recursive || settings_.RecrsFilter)
        EnableControls(groups_.recursiveFilter, recursive);
    ChBx_UseConvolution->SetChecked(!recursive);
    EnableControls(groups_.convolution, !recursive);
    if (recursive || settings_.ConvFilter)
        EnableControls(groups_.convolutionFilter, !recursive);
    showingMode_ = false;
}

template <class S, class C>
void TobjTapDesigner<S, C>::SettingsToControls() {
    const C c = tarvola::SettingsToControls(settings_);
    ShowMode(settings_.Mode);
    TkBr_Recrs_MixLvl->SetPosition(c.recrsMixPosition);
    SpEd_Recrs_FltrOrder->SetValue(c.recrsOrder);
    RdGp_Recrs_Timbre->SetItemIndex(c.recrsTimbre);
    ShowOwnRecursiveControls(c);
    TkBr_Recrs_Stereo->SetPosition(c.recrsStereoPosition);
    ChBx_Recrs_Filter->SetChecked(c.recrsFilter);
    TkBr_Conv_MixLvl->SetPosition(c.convMixPosition);
    SpEd_Conv_FltrOrder->SetValue(c.convOrder);
    RdGp_Conv_Timbre->SetItemIndex(c.convTimbre);
    SpEd_Conv_NmbrTaps->SetValue(c.convTaps);
    ShowOwnConvolutionControls(c);
    SpEd_Conv_InitValue->SetValue(c.convInitValue);
    SpEd_Conv_FinalValue->SetValue(c.convFinalValue);
    TkBr_Conv_Stereo->SetPosition(c.convStereoPosition);
    ChBx_Conv_Filter->SetChecked(c.convFilter);
    RecrsUseFltr_Click(*ChBx_Recrs_Filter);
    ConvUseFltr_Click(*ChBx_Conv_Filter);
}

template <class S, class C>
C TobjTapDesigner<S, C>::ControlValues() const {
    C c;
    c.useRecursive = ChBx_UseRecursive->Checked();
    c.useConvolution = ChBx_UseConvolution->Checked();
    c.recrsMixPosition = TkBr_Recrs_MixLvl->Position();
    c.recrsOrder = SpEd_Recrs_FltrOrder->Value();
    c.recrsTimbre = RdGp_Recrs_Timbre->ItemIndex();
    c.recrsFilter = ChBx_Recrs_Filter->Checked();
    c.recrsStereoPosition = TkBr_Recrs_Stereo->Position();
    c.convMixPosition = TkBr_Conv_MixLvl->Position();
    c.convOrder = SpEd_Conv_FltrOrder->Value();
    c.convTimbre = RdGp_Conv_Timbre->ItemIndex();
    c.convFilter = ChBx_Conv_Filter->Checked();
    c.convTaps = SpEd_Conv_NmbrTaps->Value();
    c.convInitValue = SpEd_Conv_InitValue->Value();
    c.convFinalValue = SpEd_Conv_FinalValue->Value();
    c.convStereoPosition = TkBr_Conv_Stereo->Position();
    ReadOwnControls(c);
    return c;
}

template <class S, class C>
void TobjTapDesigner<S, C>::UseRecursive_Click(TObject&) {
    if (!showingMode_)
        ShowMode(ChBx_UseRecursive->Checked() ? 0 : 1);
}

template <class S, class C>
void TobjTapDesigner<S, C>::UseConvolution_Click(TObject&) {
    if (!showingMode_)
        ShowMode(ChBx_UseConvolution->Checked() ? 1 : 0);
}

template <class S, class C>
void TobjTapDesigner<S, C>::RecrsUseFltr_Click(TObject&) {
    settings_.RecrsFilter = ChBx_Recrs_Filter->Checked() ? 1 : 0;
    EnableControls(groups_.recursiveFilter, settings_.RecrsFilter != 0);
}

template <class S, class C>
void TobjTapDesigner<S, C>::ConvUseFltr_Click(TObject&) {
    settings_.ConvFilter = ChBx_Conv_Filter->Checked() ? 1 : 0;
    EnableControls(groups_.convolutionFilter, settings_.ConvFilter != 0);
}

// Every error is found before a kernel is touched: it is shown, nothing is written and the dialog stays
// open with the settings as they were.
template <class S, class C>
void TobjTapDesigner<S, C>::Generate_Click(TObject&) {
    if (std::optional<std::string> refusal = RefusedFieldText(checkedFields_, Spn_TargetImpls->Text())) {
        Warn(*refusal);
        return;
    }
    try {
        const TTapGenerateResult<S> result = GenerateFromControls(ControlValues());
        settings_ = result.settings;
        if (result.written.TotalDropped() > 0)
            Warn(KernelFullText(result.written.TotalDropped()));
    } catch (const std::exception& error) {
        Warn(error.what());
        return;
    }
    Close();
}

template <class S, class C>
void TobjTapDesigner<S, C>::Cancel_Click(TObject&) {
    Close();
}

} // namespace tarvola
