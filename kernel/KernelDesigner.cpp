#include "kernel/KernelDesigner.h"

#include "audio/AudioInfoStructures.h"
#include "base/Numerics.h"
#include "forms/ComCtrls.h"
#include "forms/Dialogs.h"
#include "forms/ExtCtrls.h"
#include "forms/Form.h"
#include "forms/Layout.h"
#include "forms/Menus.h"
#include "forms/Shell.h"
#include "forms/StdCtrls.h"
#include "kernel/AmplifyDlg.h"
#include "kernel/BlockAdjustDlg.h"
#include "kernel/FloatText.h"
#include "kernel/GraphAxis.h"
#include "kernel/ImpulseClipboard.h"
#include "kernel/KernelStateFile.h"
#include "kernel/HarmonizeDlg.h"
#include "kernel/KernelUndoer.h"
#include "kernel/MirrorDlg.h"
#include "kernel/StatsForm.h"
#include "kernel/designers/DesignerForm.h"
#include "kernel/designers/EchoDesignerForm.h"
#include "kernel/designers/FilterDesignerForm.h"
#include "kernel/designers/ResonanceDesignerForm.h"
#include "kernel/designers/ReverbDesignerForm.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

// ---- TobjKernelDesigner -------------------------------------------------------------------------------

namespace tarvola {

namespace {

// Sets a flag for its lifetime.
class TFlagOn {
public:
    explicit TFlagOn(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagOn() { flag_ = false; }
    TFlagOn(const TFlagOn&) = delete;
    TFlagOn& operator=(const TFlagOn&) = delete;

private:
    bool& flag_;
};

TComponentRow MenuItem(std::string_view name, std::string_view parent, std::string_view caption,
                       std::string_view shortCut = {}, std::string_view tag = {}) {
    TComponentRow row{"TMenuItem", name, parent, 0, 0, 0, 0, {{"Caption", caption}}};
    if (!shortCut.empty())
        row.props.push_back({"ShortCut", shortCut});
    if (!tag.empty())
        row.props.push_back({"Tag", tag});
    return row;
}

TComponentRow Operation(std::string_view name, std::string_view caption, std::string_view shortCut,
                        std::string_view tag) {
    return MenuItem(name, "MnItm_Edit", caption, shortCut, tag);
}

TComponentRow Caption(std::string_view name, std::string_view parent, int left, int top, int width,
                      std::string_view caption) {
    return {"TLabel", name, parent, left, top, width, 11, {{"Caption", caption}}};
}

TFormLayout DesignerLayout() {
    TFormLayout layout{{{"BorderStyle", "bsSingle"},
                        {"BorderIcons", ""},
                        {"ClientWidth", "1010"},
                        {"ClientHeight", "483"},
                        {"Font.Name", "Small Fonts"},
                        {"Font.Height", "-9"},
                        {"Menu", "MainMenu1"}},
                       {}};
    std::vector<TComponentRow>& rows = layout.components;
    rows = {
        {"TMainMenu", "MainMenu1", "", 0, 0, 0, 0, {}},
        MenuItem("MnItm_Edit", "MainMenu1", "Edit"),
        {"TMenuItem",
         "MnItm_Undo",
         "MnItm_Edit",
         0,
         0,
         0,
         0,
         {{"Caption", "Undo"}, {"ShortCut", "Ctrl+Q"}, {"Enabled", "False"}}},
        {"TMenuItem",
         "MnItm_Redo",
         "MnItm_Edit",
         0,
         0,
         0,
         0,
         {{"Caption", "Redo"}, {"ShortCut", "Ctrl+W"}, {"Enabled", "False"}}},
        MenuItem("N1", "MnItm_Edit", "-"),
        Operation("MnItm_Copy", "Copy", "Ctrl+C", "1"),
        Operation("MnItm_Cut", "Cut", "Ctrl+X", "2"),
        Operation("MnItm_Clear", "Clear", "Ctrl+Del", "3"),
        Operation("MnItm_PasteOverwrite", "Paste Overwrite", "Ctrl+V", "4"),
        Operation("MnItm_PasteMix", "Paste Mix", "Ctrl+B", "5"),
        Operation("MnItm_Reverse", "Reverse", "Ctrl+R", "6"),
        Operation("MnItm_Mirror", "Mirror...", "Ctrl+M", "7"),
        Operation("MnItm_Invert", "Invert", "Ctrl+I", "8"),
        Operation("MnItm_Amplify", "Amplify...", "Ctrl+A", "9"),
        Operation("MnItm_BlockAdjust", "Block Adjust...", "Ctrl+S", "10"),
        Operation("MnItm_Harmonize", "Harmonize...", "Ctrl+H", "11"),
        MenuItem("MnItm_Kernel", "MainMenu1", "Kernel"),
        MenuItem("MnItm_Reset", "MnItm_Kernel", "Reset All", "Ctrl+Alt+A"),
        MenuItem("MnItm_AbleStats", "MnItm_Kernel", "&Enable Stats", "Ctrl+Alt+S"),
        MenuItem("MnItm_Designers", "MainMenu1", "Designers"),
        MenuItem("MnItm_Reverb", "MnItm_Designers", "Reverb", "Ctrl+Alt+R"),
        MenuItem("MnItm_Resonance", "MnItm_Designers", "Resonance", "Ctrl+Alt+Z"),
        MenuItem("MnItm_Echo", "MnItm_Designers", "Echo", "Ctrl+Alt+E"),
        MenuItem("MnItm_Filter", "MnItm_Designers", "Filter", "Ctrl+Alt+F"),
        // The browser's items: Delete leaves Ctrl+Del to Edit > Clear.
        MenuItem("MnItm_Presets", "MainMenu1", "Presets"),
        MenuItem("MnItm_AddPreset", "MnItm_Presets", "Add", "Ctrl+Ins"),
        MenuItem("MnItm_DeletePreset", "MnItm_Presets", "Delete", "Shift+Ctrl+Del"),
        MenuItem("N2", "MnItm_Presets", "-"),
        MenuItem("MnItm_UpFolder", "MnItm_Presets", "Up Folder", "F10"),
        MenuItem("MnItm_PresetsRoot", "MnItm_Presets", "Presets Root", "F11"),
        MenuItem("MnItm_Manage", "MnItm_Presets", "Manage...", "F12"),

        {"TGroupBox", "GroupBox2", "", 182, 424, 116, 60, {{"Caption", "Editor Column"}}},
        Caption("Label1", "GroupBox2", 8, 14, 34, "Impulse:"),
        Caption("Lbl_ImplsNmbr", "GroupBox2", 46, 14, 64, "0"),
        Caption("Label2", "GroupBox2", 8, 28, 34, "Datum:"),
        Caption("Lbl_DatumNmbr", "GroupBox2", 46, 28, 64, "0"),
        Caption("Label3", "GroupBox2", 8, 42, 34, "Time:"),
        Caption("Lbl_Time", "GroupBox2", 46, 42, 64, "0"),

        {"TGroupBox", "GroupBox1", "", 301, 424, 710, 60, {{"Caption", "Controls"}}},
        {"TLabeledEdit",
         "Edt_Value",
         "GroupBox1",
         8,
         28,
         118,
         18,
         {{"EditLabel.Caption", "Datum Value"}, {"Text", "0.000"}}},
        Caption("Label4", "GroupBox1", 134, 14, 60, "Audio Source:"),
        {"TComboBox",
         "CmBx_Source",
         "GroupBox1",
         134,
         28,
         62,
         18,
         {{"Style", "csDropDownList"}, {"Items", "Pass|Input|Output"}, {"Text", "Input"}}},
        Caption("Label5", "GroupBox1", 206, 14, 40, "View #"),
        {"TSpinEdit",
         "Spn_ViewNmbr",
         "GroupBox1",
         206,
         28,
         40,
         18,
         {{"MaxValue", "10"}, {"MinValue", "1"}, {"Value", "1"}, {"EditorEnabled", "False"}}},
        Caption("Label6", "GroupBox1", 258, 14, 110, "Viewer Bounds (Impulse)"),
        Caption("Label7", "GroupBox1", 258, 32, 16, "left"),
        {"TEdit", "Edt_LastColImpls", "GroupBox1", 276, 28, 56, 18, {{"Text", "100"}}},
        Caption("Label8", "GroupBox1", 338, 32, 22, "width"),
        {"TEdit", "Edt_NmbrVwrCols", "GroupBox1", 362, 28, 40, 18, {{"Text", "201"}}},
        Caption("Label9", "GroupBox1", 414, 14, 60, "Impls-0 Col #"),
        {"TSpinEdit",
         "Spn_ZeroImpls",
         "GroupBox1",
         414,
         28,
         56,
         18,
         {{"Value", "400"}, {"EditorEnabled", "False"}, {"MaxLength", "4"}}},
        {"TButton", "Btn_CopyAll", "GroupBox1", 482, 24, 96, 24, {{"Caption", "Copy all from Right"}}},
        {"TPanel", "Pnl_Left", "GroupBox1", 588, 16, 56, 36, {{"Caption", "Left"}, {"Color", "$C0F0F0"}}},
        {"TPanel", "Pnl_Right", "GroupBox1", 648, 16, 56, 36, {{"Caption", "Right"}, {"Color", "$A0C0C0"}}},
    };
    return layout;
}

} // namespace

TobjKernelDesigner::TobjKernelDesigner(TComponent* owner) : TobjCustomDSP(owner) {
    LoadLayout(DesignerLayout());
    FindComponents();
    BindEvents();

    HistogramDisplay() = THistogramDisplay{};
    KernelModel& model = Model();
    model.SelectChannel(1);
    Clipboard().FreeClipboard();
    TopArea = Find<TGroupBox>("GroupBox1").Height();
    MakeHistograms();
    // The controller puts the model in its start state and binds both kernels' OnChange to the editor.
    controller_ = std::make_unique<KernelDesignerController>(model, Clipboard(), Editor->WorkingList(),
                                                             static_cast<IKernelDesignerWindow&>(*this));
    Editor->Controller = controller_.get();
    Viewer->Controller = controller_.get();
    Viewer->Kernel = model.CurrentKernel;
    MakeRulers();
    Pnl_Left->SetColor(static_cast<TColor>(kActivePanelColour));
    Pnl_Right->SetColor(static_cast<TColor>(kInactivePanelColour));
}

TobjKernelDesigner::~TobjKernelDesigner() {
    FormDestroy();
    FreeStatsWindow();
    // The controller goes before the editor's window: a press ending then has nothing to record.
    Editor->Controller = nullptr;
    Viewer->Controller = nullptr;
}

void TobjKernelDesigner::BindEvents() {
    Bind(OnMouseMove, this, &TobjKernelDesigner::Hndl_MouseMove);
    Bind(OnClose, this, &TobjKernelDesigner::Designer_Close);
    Bind(MnItm_Undo->OnClick, this, &TobjKernelDesigner::MnItm_UndoClick);
    Bind(MnItm_Redo->OnClick, this, &TobjKernelDesigner::MnItm_RedoClick);
    for (const char* name :
         {"MnItm_Copy", "MnItm_Cut", "MnItm_Clear", "MnItm_PasteOverwrite", "MnItm_PasteMix", "MnItm_Reverse",
          "MnItm_Mirror", "MnItm_Invert", "MnItm_Amplify", "MnItm_BlockAdjust", "MnItm_Harmonize"})
        Bind(Find<TMenuItem>(name).OnClick, this, &TobjKernelDesigner::Operation_Select);
    Bind(Find<TMenuItem>("MnItm_Reset").OnClick, this, &TobjKernelDesigner::Reset_Click);
    Bind(MnItm_AbleStats->OnClick, this, &TobjKernelDesigner::AbleStats_Click);
    Bind(Find<TMenuItem>("MnItm_Reverb").OnClick, this, &TobjKernelDesigner::Reverb_Click);
    Bind(Find<TMenuItem>("MnItm_Resonance").OnClick, this, &TobjKernelDesigner::Resonance_Click);
    Bind(Find<TMenuItem>("MnItm_Echo").OnClick, this, &TobjKernelDesigner::Echo_Click);
    Bind(Find<TMenuItem>("MnItm_Filter").OnClick, this, &TobjKernelDesigner::Filter_Click);
    Bind(Find<TMenuItem>("MnItm_Manage").OnClick, this, &TobjKernelDesigner::MnItm_ManageClick);
    // The browser's items do what its buttons do; Add also with an empty name edit, and then says that the
    // preset needs a name.
    Bind(Find<TMenuItem>("MnItm_AddPreset").OnClick, this, &TobjKernelDesigner::Add_Click);
    Bind(Find<TMenuItem>("MnItm_DeletePreset").OnClick, this, &TobjKernelDesigner::Del_Click);
    Bind(Find<TMenuItem>("MnItm_UpFolder").OnClick, this, &TobjKernelDesigner::UpFolder_Click);
    Bind(Find<TMenuItem>("MnItm_PresetsRoot").OnClick, this, &TobjKernelDesigner::PrstRoot_Click);
    Bind(Edt_Value->OnKeyPress, this, &TobjKernelDesigner::DatumValue_Enter);
    Bind(CmBx_Source->OnSelect, this, &TobjKernelDesigner::Source_Select);
    Bind(Spn_ViewNmbr->OnChange, this, &TobjKernelDesigner::ViewNmbr_Change);
    Bind(Edt_LastColImpls->OnKeyPress, this, &TobjKernelDesigner::LastColImpls_KeyPress);
    Bind(Edt_NmbrVwrCols->OnKeyPress, this, &TobjKernelDesigner::NmbrVwrCols_KeyPress);
    Bind(Spn_ZeroImpls->OnChange, this, &TobjKernelDesigner::Time0Impls_Change);
    Bind(Btn_CopyAll->OnClick, this, &TobjKernelDesigner::CopyAll_Click);
    Bind(Pnl_Left->OnClick, this, &TobjKernelDesigner::PnlLeft_Click);
    Bind(Pnl_Right->OnClick, this, &TobjKernelDesigner::PnlRight_Click);
}

void TobjKernelDesigner::FindComponents() {
    Lbl_ImplsNmbr = &Find<TLabel>("Lbl_ImplsNmbr");
    Lbl_DatumNmbr = &Find<TLabel>("Lbl_DatumNmbr");
    Lbl_Time = &Find<TLabel>("Lbl_Time");
    Edt_Value = &Find<TLabeledEdit>("Edt_Value");
    CmBx_Source = &Find<TComboBox>("CmBx_Source");
    Spn_ViewNmbr = &Find<TSpinEdit>("Spn_ViewNmbr");
    Edt_LastColImpls = &Find<TEdit>("Edt_LastColImpls");
    Edt_NmbrVwrCols = &Find<TEdit>("Edt_NmbrVwrCols");
    Spn_ZeroImpls = &Find<TSpinEdit>("Spn_ZeroImpls");
    Btn_CopyAll = &Find<TButton>("Btn_CopyAll");
    Pnl_Left = &Find<TPanel>("Pnl_Left");
    Pnl_Right = &Find<TPanel>("Pnl_Right");
    MnItm_Undo = &Find<TMenuItem>("MnItm_Undo");
    MnItm_Redo = &Find<TMenuItem>("MnItm_Redo");
    MnItm_AbleStats = &Find<TMenuItem>("MnItm_AbleStats");
}

void TobjKernelDesigner::MakeHistograms() {
    KernelModel& model = Model();
    Viewer = &Create<TobjKernelViewer>(model, display);
    Viewer->SetParent(this);
    Viewer->Kernel = model.CurrentKernel;
    Editor = &Create<TobjKernelEditor>(model, display);
    Editor->SetParent(this);
    Viewer->OnRangeChosen = [this] { Editor->UpdateDisplay(); };
    Viewer->OnRangeChosen2 = [this] { UpdateEditorRuler(); };
    Viewer->SetupViewer(TopArea, BrowserRight());
    Editor->SetupEditor(
        Viewer->Top() + Viewer->Height(), TopArea, BrowserRight(),
        [this](std::int32_t index, long double value) { Viewer->RedrawRecord(index, value); },
        [this](const TColumnTriple& hit) { ShowReadOut(hit); });
    Editor->Viewer = Viewer;
    Editor->OnRulerUpdate = [this] { UpdateEditorRuler(); };
    Editor->OnValueDragged = [this](long double value) {
        Edt_Value->SetCaption(FloatToStrF(value, TFloatFormat::ffGeneral, 18, 0));
    };
}

void TobjKernelDesigner::MakeRulers() {
    MakeValueRuler();
    MakeImpulseRuler();
    MakeFillers();
}

// Vertical, left of the editor, -2.0 to 2.0 at first; its drags choose the value scale.
void TobjKernelDesigner::MakeValueRuler() {
    ValueRuler = &Create<TobjGraphAxis>();
    ValueRuler->SetParent(this);
    ValueRuler->SetColor(kRulerColour);
    ValueRuler->LabelFont.SetName("Small Fonts");
    ValueRuler->LabelFont.SetSize(6);
    ValueRuler->LabelFont.SetColor(clWhite);
    ValueRuler->SetTop(Viewer->Height() + 1);
    ValueRuler->SetLeft(BrowserRight());
    ValueRuler->SetDecimals(4);
    ValueRuler->SetThickness(kRulerThickness);
    ValueRuler->SetLength(Editor->Height());
    ValueRuler->SetEndLabels(true);
    ValueRuler->SetReverseLabels(true);
    ValueRuler->OnRangeSelect = [this](long double high, long double low) {
        Editor->RangeSelected(high, low);
    };
    ValueRuler->SetLabelCount(5, 0);
    ValueRuler->SetValueRange(-2.0L, 2.0L);
    ValueRuler->CreateLabels();
    ValueRuler->LayoutLabels();
    Editor->ValueRuler = ValueRuler;
}

// Horizontal, below the editor; its drags choose the editor's span.
void TobjKernelDesigner::MakeImpulseRuler() {
    ImpulseRuler = &Create<TobjGraphAxis>();
    ImpulseRuler->SetParent(this);
    ImpulseRuler->SetColor(kRulerColour);
    ImpulseRuler->LabelFont.Assign(ValueRuler->LabelFont);
    ImpulseRuler->SetHorizontal(true);
    ImpulseRuler->SetTop(ValueRuler->Top() + ValueRuler->Height());
    ImpulseRuler->SetLeft(BrowserRight() + ValueRuler->Width());
    ImpulseRuler->SetDecimals(0);
    ImpulseRuler->SetThickness(kRulerThickness);
    ImpulseRuler->SetLength(Editor->Width());
    ImpulseRuler->SetEndLabels(false);
    ImpulseRuler->OnSpanSelect = [this](std::int32_t low, std::int32_t high) {
        Editor->SpanSelected(low, high);
    };
    Editor->ImpulseRuler = ImpulseRuler;
}

// Where the rulers meet, and above the value ruler: a ruler drag that wanders there ends.
void TobjKernelDesigner::MakeFillers() {
    const int left = BrowserRight();
    RulersFiller = &Create<TobjAxisFiller>();
    RulersFiller->SetParent(this);
    RulersFiller->SetBounds(left, ImpulseRuler->Top(), kRulerThickness, ImpulseRuler->Height());
    RulersFiller->SetAxes(ImpulseRuler, ValueRuler);
    ValueFiller = &Create<TobjAxisFiller>();
    ValueFiller->SetParent(this);
    ValueFiller->SetBounds(left, 0, kRulerThickness, ValueRuler->Top());
    ValueFiller->SetAxes(ValueRuler, nullptr);
    for (TobjAxisFiller* filler : {RulersFiller, ValueFiller}) {
        filler->SetCaption("");
        filler->SetColor(kRulerColour);
    }
}

void TobjKernelDesigner::SetupSession(TobjAudioInfo* formatFields, TobjMultiMemStrm* signalView,
                                      TobjMultiMemStrm* outputView, const std::string& programFolder,
                                      int topOffset) {
    Setup(formatFields, signalView, outputView, programFolder, topOffset);
    controller_->StartSession(programFolder);
    UpdateUndoCaptions();
}

void TobjKernelDesigner::UpdateEditorRuler() {
    const TViewBounds& editor = *Model().CurrentEditorBounds;
    ImpulseRuler->SetLowValue(editor.LowImpulse);
    ImpulseRuler->SetHighValue(editor.HighImpulse);
    if (Editor->SameWidth) {
        ImpulseRuler->SetColumnLabelValues();
        ImpulseRuler->UpdateLabelCaptions();
        Editor->SameWidth = false;
        return;
    }
    const HistogramGeometry& geometry = Editor->Geometry();
    ImpulseRuler->SetColumns(geometry.ColumnX(), editor.LowImpulse, editor.HighImpulse, editor.Width,
                             geometry.CellWidth() / 2);
    ImpulseRuler->CreateLabels();
    ImpulseRuler->LayoutLabels();
}

void TobjKernelDesigner::UpdateUndoCaptions() {
    controller_->ShowUndoCaptions();
}

void TobjKernelDesigner::UpdateStats() {
    ShowStats(Model().LeftKernel.Count(), Model().RightKernel.Count());
}

// ---- The designer protocol

void TobjKernelDesigner::LoadState() {
    const TFlagOn loading(controller_->Loading);
    LoadStateFile(Model(), StatePath);
    Editor->ResetRange();
    ShowViewControls(controller_->ViewControls());
}

void TobjKernelDesigner::SaveState() {
    SaveStateFile(Model(), StatePath);
}

void TobjKernelDesigner::LoadPreset(const std::string& fileName) {
    const TPresetLoadResult result = [&] {
        const TFlagOn loading(controller_->Loading);
        return LoadPresetFile(Model(), fileName);
    }();
    if (!result.Loaded) {
        ShowMessage(result.Message);
        return;
    }
    SetCaption(result.Caption);
    Editor->ResetRange();
    // The loaded view number is in force; the spin keeps showing the number it showed.
    TViewControls controls = controller_->ViewControls();
    controls.ViewNumber = Spn_ViewNmbr->Value();
    ShowViewControls(controls);
    Viewer->UpdateDisplay();
    Editor->UpdateDisplay();
    UpdateEditorRuler();
    UpdateStats();
    controller_->RecordUndo("Load Preset");
}

bool TobjKernelDesigner::SavePreset(const std::string& name) {
    return SavePresetFile(Model(), CurrentFolder, name);
}

bool TobjKernelDesigner::DeletePreset(const std::string& name) {
    return DeletePresetFile(CurrentFolder, name);
}

void TobjKernelDesigner::PrepareProcess() {
    if (FormatFields == nullptr || SignalView == nullptr || OutputView == nullptr)
        throw std::logic_error("The designer has no signal to process.");
    run_.Prepare(*this, *FormatFields, *SignalView, *OutputView);
}

void TobjKernelDesigner::Process() {
    SetProcessOK(false);
    SetProcessOK(run_.Run(Model().LeftKernel, Model().RightKernel));
}

// ---- The window side of the controller

void TobjKernelDesigner::ResetEditorRange() {
    Editor->ResetRange();
}

void TobjKernelDesigner::UpdateEditor() {
    Editor->UpdateDisplay();
}

void TobjKernelDesigner::UpdateViewer(bool highlightEditorRange) {
    Viewer->UpdateDisplay();
    if (highlightEditorRange)
        Viewer->HighlightRange(true);
}

void TobjKernelDesigner::ShowViewerKernel(std::int32_t channel) {
    Viewer->Kernel = &Model().KernelOf(channel);
}

void TobjKernelDesigner::RedrawColumn(std::int32_t workingIndex, std::int32_t kernelIndex,
                                      long double value) {
    Editor->RedrawRecord(workingIndex);
    if (kernelIndex >= 0)
        Viewer->RedrawRecord(kernelIndex, value);
}

void TobjKernelDesigner::ShowStats(std::int32_t leftCount, std::int32_t rightCount) {
    if (!stats_)
        return;
    stats_->SetNmbrLeft(leftCount);
    stats_->SetNmbrRight(rightCount);
}

void TobjKernelDesigner::ShowUndoCaptions(const std::string& undo, bool undoEnabled, const std::string& redo,
                                          bool redoEnabled) {
    MnItm_Undo->SetCaption(undo);
    MnItm_Undo->SetEnabled(undoEnabled);
    MnItm_Redo->SetCaption(redo);
    MnItm_Redo->SetEnabled(redoEnabled);
}

void TobjKernelDesigner::ShowViewControls(const TViewControls& controls) {
    const TFlagOn showing(showingControls_);
    Spn_ViewNmbr->SetValue(controls.ViewNumber);
    Edt_LastColImpls->SetCaption(std::to_string(controls.HighImpulse));
    Edt_NmbrVwrCols->SetCaption(std::to_string(controls.Width));
    Spn_ZeroImpls->SetValue(controls.ZeroColumn);
}

void TobjKernelDesigner::ShowChannel(std::int32_t channel, const std::string& copyAllCaption) {
    const bool left = channel == 1;
    Pnl_Left->SetColor(static_cast<TColor>(left ? kActivePanelColour : kInactivePanelColour));
    Pnl_Right->SetColor(static_cast<TColor>(left ? kInactivePanelColour : kActivePanelColour));
    Btn_CopyAll->SetCaption(copyAllCaption);
}

void TobjKernelDesigner::SetCaption(const std::string& caption) {
    TForm::SetCaption(caption);
}

void TobjKernelDesigner::ResetValueScale() {
    Editor->RangeSelected(2.0L, -2.0L);
}

// The dialogs centre themselves over their owner; each is freed when its result is read.
TAmplifyResult TobjKernelDesigner::RunAmplify() {
    TobjAmplifyDlg dialog(this);
    dialog.ShowModal();
    return {dialog.Cancelled, dialog.Factor};
}

TBlockAdjustResult TobjKernelDesigner::RunBlockAdjust() {
    TobjBlockAdjust dialog(this);
    dialog.ShowModal();
    return {dialog.Cancelled, dialog.Amount};
}

THarmonizeResult TobjKernelDesigner::RunHarmonize(std::int32_t lowImpulse) {
    TobjHarmonize dialog(this);
    dialog.LowImpulse = lowImpulse;
    dialog.ShowModal();
    return {dialog.Cancelled, dialog.TargetImpulse, dialog.Level};
}

TMirrorResult TobjKernelDesigner::RunMirror(std::int32_t lowImpulse, std::int32_t highImpulse) {
    TobjMirror dialog(this);
    dialog.SetRange(lowImpulse, highImpulse);
    dialog.ShowModal();
    return {dialog.Cancelled, static_cast<TReflector>(dialog.Reflector), dialog.ReflectorImpulse,
            dialog.Level};
}

void TobjKernelDesigner::ShowError(const std::string& text) {
    MessageDlg(text, TMsgDlgType::mtError, mbOK);
}

bool TobjKernelDesigner::ConfirmReset(const std::string& text) {
    return MessageDlg(text, TMsgDlgType::mtWarning, mbYes | mbNo) == mrYes;
}

// ---- Handlers

void TobjKernelDesigner::ShowReadOut(const TColumnTriple& hit) {
    const TReadOut readOut = controller_->ReadOut(hit, Editor->GrabbedKernelIndex());
    Lbl_ImplsNmbr->SetCaption(readOut.Impulse);
    Lbl_DatumNmbr->SetCaption(readOut.Datum);
    Lbl_Time->SetCaption(readOut.Time);
    Edt_Value->SetCaption(readOut.Value);
    const TFlagOn showing(showingControls_);
    CmBx_Source->SetItemIndex(static_cast<int>(readOut.Source));
}

void TobjKernelDesigner::Hndl_MouseMove(TObject&, TShiftState, int, int) {
    if (++moveCount_ < 5)
        return;
    moveCount_ = 0;
    for (TobjGraphAxis* ruler : {ImpulseRuler, ValueRuler}) {
        if (ruler->DragPending())
            ruler->CancelDrag();
    }
}

void TobjKernelDesigner::DatumValue_Enter(TObject&, char& key) {
    if (key != '\r')
        return;
    key = 0;
    if (const auto shown = controller_->DatumValueEnter(Edt_Value->Caption(), Editor->GrabbedWorkingIndex()))
        Edt_Value->SetCaption(*shown);
}

void TobjKernelDesigner::Source_Select(TObject&) {
    if (showingControls_)
        return;
    const int index = CmBx_Source->ItemIndex();
    if (index < 0)
        return;
    const TSourceKind shown =
        controller_->SourceSelect(static_cast<TSourceKind>(index), Editor->GrabbedWorkingIndex());
    const TFlagOn showing(showingControls_);
    CmBx_Source->SetItemIndex(static_cast<int>(shown));
}

void TobjKernelDesigner::ViewNmbr_Change(TObject&) {
    if (showingControls_)
        return;
    controller_->ChangeView(Spn_ViewNmbr->Value());
}

void TobjKernelDesigner::LastColImpls_KeyPress(TObject&, char& key) {
    if (key != '\r')
        return;
    key = 0;
    if (const auto shown = controller_->LastColImplsEnter(Edt_LastColImpls->Caption()))
        Edt_LastColImpls->SetCaption(*shown);
}

void TobjKernelDesigner::NmbrVwrCols_KeyPress(TObject&, char& key) {
    if (key != '\r')
        return;
    key = 0;
    if (const auto shown = controller_->NmbrVwrColsEnter(Edt_NmbrVwrCols->Caption()))
        Edt_NmbrVwrCols->SetCaption(*shown);
}

void TobjKernelDesigner::Time0Impls_Change(TObject&) {
    if (showingControls_)
        return;
    controller_->ShiftImpulseZero(Spn_ZeroImpls->Value());
}

void TobjKernelDesigner::CopyAll_Click(TObject&) {
    controller_->CopyAll();
}

void TobjKernelDesigner::PnlLeft_Click(TObject&) {
    controller_->SwitchChannel(1);
}

void TobjKernelDesigner::PnlRight_Click(TObject&) {
    controller_->SwitchChannel(2);
}

void TobjKernelDesigner::Operation_Select(TObject& sender) {
    const auto* item = dynamic_cast<const TComponent*>(&sender);
    if (item != nullptr)
        controller_->Operation(item->Tag());
}

void TobjKernelDesigner::MnItm_UndoClick(TObject&) {
    controller_->Undo();
}

void TobjKernelDesigner::MnItm_RedoClick(TObject&) {
    controller_->Redo();
}

void TobjKernelDesigner::Reset_Click(TObject&) {
    controller_->Reset();
}

void TobjKernelDesigner::FreeStatsWindow() {
    stats_.reset();
    if (MnItm_AbleStats != nullptr)
        MnItm_AbleStats->SetCaption("&Enable Stats");
}

void TobjKernelDesigner::AbleStats_Click(TObject&) {
    if (stats_) {
        FreeStatsWindow();
        return;
    }
    stats_ = std::make_unique<TobjStatsForm>(this);
    // Alt+F4 closes it: it goes as if the menu had freed it.
    stats_->OnClosed = [this](TObject&) { FreeStatsWindow(); };
    MnItm_AbleStats->SetCaption("&Disable Stats");
    UpdateStats();
}

template <class Designer>
void TobjKernelDesigner::RunDesigner(const std::string& undoDescription) {
    const std::int32_t rate = FormatFields != nullptr ? FormatFields->SampleRate : SampleRate();
    const std::int32_t target = controller_->DesignerTargetImpulse();
    try {
        RunEffectDesigner<Designer>(this, rate, target, ProgramFolder, Model());
    } catch (...) {
        // What the designer wrote before it failed is still the kernel's: the views and the history follow
        // it.
        controller_->DesignerClosed(undoDescription);
        throw;
    }
    controller_->DesignerClosed(undoDescription);
}

void TobjKernelDesigner::Filter_Click(TObject&) {
    RunDesigner<TobjFilterDesigner>("Design FIR Filter");
}

void TobjKernelDesigner::Reverb_Click(TObject&) {
    RunDesigner<TobjReverbDesigner>("Design Reverberation");
}

void TobjKernelDesigner::Echo_Click(TObject&) {
    RunDesigner<TobjEchoDesigner>("Design Echo");
}

void TobjKernelDesigner::Resonance_Click(TObject&) {
    RunDesigner<TobjResnceDesigner>("Design Resonance");
}

// The system's file explorer on the presets folder. The folder is quoted (it may hold blanks) and given
// without its last separator, which would escape the closing quote.
void TobjKernelDesigner::MnItm_ManageClick(TObject&) {
    std::string folder = ProgramFolder + "User\\Presets";
    ShellRun("Explorer.exe /e,\"" + folder + "\"");
}

// The window stands for the program's whole run; Alt+F4 must not hide it for good.
void TobjKernelDesigner::Designer_Close(TObject&, TCloseAction& action) {
    action = TCloseAction::caNone;
}

} // namespace tarvola
