#include "app/uTarvola_Application.h"

#include "app/Tarvola_AboutBox.h"
#include "app/Tarvola_BugReports.h"
#include "audio/RWAudioFileWin32.h"
#include "audio/WinMMSeam.h"
#include "forms/Application.h"
#include "forms/ComCtrls.h"
#include "forms/Dialogs.h"
#include "forms/ExtCtrls.h"
#include "forms/Layout.h"
#include "forms/Menus.h"
#include "forms/Shell.h"
#include "forms/StdCtrls.h"
#include "kernel/KernelDesigner.h"

#include <windows.h>

namespace tarvola {

const char* const SupportMailAddress = "support@tarvola.example";
const char* const WebSiteAddress = "https://tarvola.example/";

namespace {

constexpr TColor kSupportPanelAtRest = 0x00EFEFEF;
constexpr TColor kSupportPanelHover = 0x00F0FFFF;

const char* const kParameterLabelNames[6] = {"Lbl_SmplRate", "Lbl_BitsPSmpl", "Lbl_Channels",
                                             "Lbl_SmplFrms", "Lbl_SgnlBytes", "Lbl_Durtn"};

// The window's layout; the client area is what is left of 1020 by 164 pixels.
const TFormLayout kMainLayout{
    {{"BorderStyle", "bsSingle"}, {"BorderIcons", "biSystemMenu biMinimize"}, {"Menu", "MainMenu1"}},
    {
        {"TMainMenu", "MainMenu1", "", 0, 0, 0, 0, {}},
        {"TMenuItem", "SubMenu_File", "MainMenu1", 0, 0, 0, 0, {{"Caption", "&File"}}},
        {"TMenuItem",
         "MnItm_Open",
         "SubMenu_File",
         0,
         0,
         0,
         0,
         {{"Caption", "Open"}, {"ShortCut", "Ctrl+O"}}},
        {"TMenuItem",
         "MnItm_SaveAs",
         "SubMenu_File",
         0,
         0,
         0,
         0,
         {{"Caption", "Save As"}, {"ShortCut", "Ctrl+S"}, {"Enabled", "False"}}},
        {"TMenuItem",
         "MnItm_Close",
         "SubMenu_File",
         0,
         0,
         0,
         0,
         {{"Caption", "Close"}, {"ShortCut", "Ctrl+Q"}, {"Enabled", "False"}}},
        {"TMenuItem", "MnItm_Exit", "SubMenu_File", 0, 0, 0, 0, {{"Caption", "Exit"}}},
        {"TMenuItem",
         "SubMenu_Edit",
         "MainMenu1",
         0,
         0,
         0,
         0,
         {{"Caption", "&Edit/Play"}, {"Enabled", "False"}}},
        {"TMenuItem",
         "MnItm_Process",
         "SubMenu_Edit",
         0,
         0,
         0,
         0,
         {{"Caption", "Process"}, {"Enabled", "False"}}},
        {"TMenuItem", "MnItm_Undo", "SubMenu_Edit", 0, 0, 0, 0, {{"Caption", "Undo"}, {"Enabled", "False"}}},
        {"TMenuItem", "N1", "SubMenu_Edit", 0, 0, 0, 0, {{"Caption", "-"}}},
        {"TMenuItem",
         "MnItm_Play",
         "SubMenu_Edit",
         0,
         0,
         0,
         0,
         {{"Caption", "Play"}, {"ShortCut", "Ctrl+Alt+P"}, {"Enabled", "False"}}},
        {"TMenuItem",
         "MnItm_Stop",
         "SubMenu_Edit",
         0,
         0,
         0,
         0,
         {{"Caption", "Stop"}, {"ShortCut", "Ctrl+Alt+S"}, {"Enabled", "False"}}},
        {"TMenuItem",
         "MnItm_Pause",
         "SubMenu_Edit",
         0,
         0,
         0,
         0,
         {{"Caption", "Pause"}, {"ShortCut", "Ctrl+Alt+A"}, {"Enabled", "False"}}},
        {"TMenuItem",
         "MnItm_Resume",
         "SubMenu_Edit",
         0,
         0,
         0,
         0,
         {{"Caption", "Resume"}, {"ShortCut", "Ctrl+Alt+B"}, {"Enabled", "False"}}},
        {"TMenuItem", "SubMenu_Help", "MainMenu1", 0, 0, 0, 0, {{"Caption", "Help"}}},
        {"TMenuItem", "MnItm_Intro", "SubMenu_Help", 0, 0, 0, 0, {{"Caption", "Introduction"}}},
        {"TMenuItem", "MnItm_Overview", "SubMenu_Help", 0, 0, 0, 0, {{"Caption", "Overview"}}},
        {"TMenuItem", "N2", "SubMenu_Help", 0, 0, 0, 0, {{"Caption", "-"}}},
        {"TMenuItem", "MnItm_About", "SubMenu_Help", 0, 0, 0, 0, {{"Caption", "About"}}},
        {"TMenuItem", "MnItm_Bugs", "SubMenu_Help", 0, 0, 0, 0, {{"Caption", "Bugs && Comments"}}},

        {"TTrackBar",
         "PosnIndctr",
         "",
         6,
         0,
         1008,
         32,
         {{"Min", "1"}, {"TickMarks", "tmTopLeft"}, {"Enabled", "False"}, {"Cursor", "crHandPoint"}}},
        {"TBevel", "Bevel1", "", 6, 36, 170, 58, {{"Style", "bsRaised"}}},
        {"TLabel",
         "Txt_Position",
         "",
         10,
         42,
         162,
         46,
         {{"Caption", "00:00.0"}, {"Alignment", "taCenter"}, {"Font.Name", "Arial"}, {"Font.Height", "-40"}}},
        {"TButton", "Btn_LoadSave", "", 184, 38, 75, 25, {{"Caption", "Open"}}},
        {"TButton", "Btn_PlayStop", "", 264, 38, 75, 25, {{"Caption", "Play"}}},
        {"TButton", "Btn_PauseResume", "", 344, 38, 75, 25, {{"Caption", "Pause"}}},
        {"TButton", "Btn_Close", "", 184, 68, 75, 25, {{"Caption", "Close"}}},
        {"TButton", "Btn_Process", "", 264, 68, 75, 25, {{"Caption", "Process"}, {"Enabled", "False"}}},
        {"TButton", "Btn_Undo", "", 344, 68, 75, 25, {{"Caption", "Undo"}}},

        {"TGroupBox",
         "GroupBox1",
         "",
         426,
         32,
         468,
         64,
         {{"Caption", "Audio Parameters"}, {"Font.Style", "Bold"}}},
        {"TLabel",
         "Label1",
         "GroupBox1",
         8,
         20,
         90,
         14,
         {{"Caption", "Sample Rate :"}, {"Alignment", "taRightJustify"}}},
        {"TLabel", "Lbl_SmplRate", "GroupBox1", 100, 20, 54, 14, {{"Caption", ""}}},
        {"TLabel",
         "Label2",
         "GroupBox1",
         8,
         40,
         90,
         14,
         {{"Caption", "Bits Per Sample :"}, {"Alignment", "taRightJustify"}}},
        {"TLabel", "Lbl_BitsPSmpl", "GroupBox1", 100, 40, 54, 14, {{"Caption", ""}}},
        {"TLabel",
         "Label3",
         "GroupBox1",
         160,
         20,
         90,
         14,
         {{"Caption", "Channels :"}, {"Alignment", "taRightJustify"}}},
        {"TLabel", "Lbl_Channels", "GroupBox1", 252, 20, 54, 14, {{"Caption", ""}}},
        {"TLabel",
         "Label4",
         "GroupBox1",
         160,
         40,
         90,
         14,
         {{"Caption", "Sample Frames :"}, {"Alignment", "taRightJustify"}}},
        {"TLabel", "Lbl_SmplFrms", "GroupBox1", 252, 40, 60, 14, {{"Caption", ""}}},
        {"TLabel",
         "Label5",
         "GroupBox1",
         312,
         20,
         86,
         14,
         {{"Caption", "Signal Bytes :"}, {"Alignment", "taRightJustify"}}},
        {"TLabel", "Lbl_SgnlBytes", "GroupBox1", 400, 20, 64, 14, {{"Caption", ""}}},
        {"TLabel",
         "Label6",
         "GroupBox1",
         312,
         40,
         86,
         14,
         {{"Caption", "Duration (Secs) :"}, {"Alignment", "taRightJustify"}}},
        {"TLabel", "Lbl_Durtn", "GroupBox1", 400, 40, 64, 14, {{"Caption", ""}}},

        {"TPanel",
         "Pnl_MailSupport",
         "",
         900,
         38,
         108,
         56,
         {{"Color", "$EFEFEF"},
          {"BevelOuter", "bvLowered"},
          {"Hint", "Launch default e-mail client"},
          {"ShowHint", "True"}}},
        {"TLabel",
         "Lbl_TalkToUs",
         "Pnl_MailSupport",
         1,
         8,
         106,
         16,
         {{"Caption", "Talk to us!"}, {"Alignment", "taCenter"}, {"Font.Style", "Bold"}}},
        {"TLabel",
         "Lbl_Bugs",
         "Pnl_MailSupport",
         1,
         30,
         106,
         16,
         {{"Caption", "Bugs, email support"}, {"Alignment", "taCenter"}}},

        {"TOpenDialog",
         "OpenDialog1",
         "",
         0,
         0,
         0,
         0,
         {{"Title", "Open Audio File"},
          {"Filter", "RIFF Wave|*.wav|Audio Interchange|*.aif;*.aiff|Raw PCM|*.pcm;|All Files|*.*"},
          {"Options", "ofHideReadOnly ofPathMustExist ofFileMustExist"}}},
        {"TSaveDialog",
         "SaveDialog1",
         "",
         0,
         0,
         0,
         0,
         {{"Title", "Save Audio File"},
          {"Filter", "RIFF Wave|*.wav|AudioInterchange|*.aif|Raw PCM|*.pcm"},
          {"Options", "ofHideReadOnly ofOverwritePrompt"}}},
    }};

std::string ProgramFolder() {
    const std::string exe = Application().ExeName();
    return exe.substr(0, exe.find_last_of("\\/") + 1);
}

// The name with the extension of the chosen save filter: replaced, or added when it has none.
std::string WithFilterExtension(const std::string& name, int filterIndex) {
    static const char* const extensions[] = {".wav", ".aiff", ".pcm"};
    if (filterIndex < 1 || filterIndex > 3)
        return name;
    const std::size_t folderEnd = name.find_last_of("\\:/");
    const std::size_t point = name.find_last_of('.');
    const bool hasExtension =
        point != std::string::npos && (folderEnd == std::string::npos || point > folderEnd);
    return (hasExtension ? name.substr(0, point) : name) + extensions[filterIndex - 1];
}

} // namespace

TobjTarvola::TobjTarvola(TComponent* owner, std::string appDir)
    : TForm(owner), appDir_(appDir.empty() ? ProgramFolder() : std::move(appDir)) {
    LoadLayout(kMainLayout);

    PosnIndctr = &Find<TTrackBar>("PosnIndctr");
    Txt_Position = &Find<TLabel>("Txt_Position");
    Btn_LoadSave = &Find<TButton>("Btn_LoadSave");
    Btn_PlayStop = &Find<TButton>("Btn_PlayStop");
    Btn_PauseResume = &Find<TButton>("Btn_PauseResume");
    Btn_Close = &Find<TButton>("Btn_Close");
    Btn_Process = &Find<TButton>("Btn_Process");
    Btn_Undo = &Find<TButton>("Btn_Undo");
    for (int i = 0; i < 6; ++i)
        ParameterLabels[i] = &Find<TLabel>(kParameterLabelNames[i]);
    Pnl_MailSupport = &Find<TPanel>("Pnl_MailSupport");
    OpenDialog1 = &Find<TOpenDialog>("OpenDialog1");
    SaveDialog1 = &Find<TSaveDialog>("SaveDialog1");
    MnItm_Open = &Find<TMenuItem>("MnItm_Open");
    MnItm_SaveAs = &Find<TMenuItem>("MnItm_SaveAs");
    MnItm_Close = &Find<TMenuItem>("MnItm_Close");
    SubMenu_Edit = &Find<TMenuItem>("SubMenu_Edit");
    MnItm_Process = &Find<TMenuItem>("MnItm_Process");
    MnItm_Undo = &Find<TMenuItem>("MnItm_Undo");
    MnItm_Play = &Find<TMenuItem>("MnItm_Play");
    MnItm_Stop = &Find<TMenuItem>("MnItm_Stop");
    MnItm_Pause = &Find<TMenuItem>("MnItm_Pause");
    MnItm_Resume = &Find<TMenuItem>("MnItm_Resume");
    BindEvents();

    Application().SetTitle("Tarvola");
    timer_ = std::make_unique<TobjHiTimer>(WinMMPeriodicTimer());
    timer_->SetExceptionHandler([](std::exception_ptr error) { Application().HandleException(error); });
    timer_->SetOnTimer([this](TobjHiTimer&) { Act([this] { controller_->TimerTick(); }); });
    timer_->SetInterval(TarvolaController::TimerIntervalMs);
    WaveOutApi waveOut = WinMMWaveOut();
    waveOut.ShowMessage = [](const std::string& text) { tarvola::ShowMessage(text); };
    player_ = std::make_unique<TobjPlaySound>(std::move(waveOut));
    designer_ = std::make_unique<TobjKernelDesigner>(nullptr);
    controller_ = std::make_unique<TarvolaController>(appDir_, static_cast<IMainWindowServices&>(*this),
                                                      Win32AudioFilePrompts(), Win32AudioFileSystem(),
                                                      *player_, static_cast<IProcessDesigner*>(this));
    const TTrackBarGeometry& g = controller_->TrackBar();
    PosnIndctr->SetBounds(g.Left, PosnIndctr->Top(), g.Width, PosnIndctr->Height());
    PosnIndctr->SetMin(g.Min);
    PosnIndctr->SetMax(g.Max);
    PosnIndctr->SetFrequency(g.Frequency);
    PosnIndctr->SetPageSize(g.PageSize);
    PlaceWindow();
    ShowState();
    SetUpDesigner();
}

// The first initialisation's part of the designer: embedded, no file yet, its session set up (it loads
// its state), placed below this window and shown; from then on its controls react.
void TobjTarvola::SetUpDesigner() {
    TobjKernelDesigner& designer = *designer_;
    designer.ShowButtons = false;
    designer.Embedded = true;
    designer.SetSampleRate(0);
    designer.SetupSession(&controller_->AudioInfo(), &controller_->SignalView(), &controller_->OutputView(),
                          appDir_, 0);
    designer.Viewer->UpdateDisplay();
    designer.Editor->UpdateDisplay();
    designer.SetBounds(Left(), Top() + Height() + kDesignerGap, kDesignerWidth, kDesignerHeight);
    designer.Show();
    designer.ClearFirstTime();
    designer.UpdateEditorRuler();
}

void TobjTarvola::BindEvents() {
    Bind(OnMouseMove, this, &TobjTarvola::Main_MouseMove);
    Bind(PosnIndctr->OnChange, this, &TobjTarvola::SetPlayPos);
    Bind(Btn_LoadSave->OnClick, this, &TobjTarvola::OpenSaveClick);
    Bind(Btn_PlayStop->OnClick, this, &TobjTarvola::PlayStopClick);
    Bind(Btn_PauseResume->OnClick, this, &TobjTarvola::PauseResumeClick);
    Bind(Btn_Close->OnClick, this, &TobjTarvola::CloseNewClick);
    Bind(Btn_Process->OnClick, this, &TobjTarvola::Process_Click);
    Bind(Btn_Undo->OnClick, this, &TobjTarvola::Undo_Click);
    for (const char* name : {"Pnl_MailSupport", "Lbl_TalkToUs", "Lbl_Bugs"}) {
        auto& support = Find<TControl>(name);
        Bind(support.OnClick, this, &TobjTarvola::Support_SendEmail);
        Bind(support.OnMouseMove, this, &TobjTarvola::Support_MouseMove);
    }
    Bind(SaveDialog1->OnTypeChange, this, &TobjTarvola::SaveDlg_TypeChange);
    Bind(MnItm_Open->OnClick, this, &TobjTarvola::MnItm_OpenClick);
    Bind(MnItm_SaveAs->OnClick, this, &TobjTarvola::MnItm_SaveAsClick);
    Bind(MnItm_Close->OnClick, this, &TobjTarvola::CloseNewClick);
    Bind(Find<TMenuItem>("MnItm_Exit").OnClick, this, &TobjTarvola::MnItm_ExitClick);
    Bind(MnItm_Process->OnClick, this, &TobjTarvola::Process_Click);
    Bind(MnItm_Undo->OnClick, this, &TobjTarvola::Undo_Click);
    Bind(MnItm_Play->OnClick, this, &TobjTarvola::MnItm_PlayClick);
    Bind(MnItm_Stop->OnClick, this, &TobjTarvola::MnItm_StopClick);
    Bind(MnItm_Pause->OnClick, this, &TobjTarvola::MnItm_PauseClick);
    Bind(MnItm_Resume->OnClick, this, &TobjTarvola::MnItm_ResumeClick);
    Bind(Find<TMenuItem>("MnItm_Intro").OnClick, this, &TobjTarvola::MnItm_IntroClick);
    Bind(Find<TMenuItem>("MnItm_Overview").OnClick, this, &TobjTarvola::MnItm_OverviewClick);
    Bind(Find<TMenuItem>("MnItm_About").OnClick, this, &TobjTarvola::MnItm_AboutClick);
    Bind(Find<TMenuItem>("MnItm_Bugs").OnClick, this, &TobjTarvola::MnItm_BugsClick);
}

TobjTarvola::~TobjTarvola() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    // The restored position, also when the window was closed minimised.
    if (Handle() && GetWindowPlacement(Handle(), &placement))
        controller_->SavePersist(placement.rcNormalPosition.top, placement.rcNormalPosition.left);
    timer_->SetEnabled(false);
    player_->Close();
    designer_.reset();
}

// At the stored position when that meets a monitor, else at 10, 10; always 1020 by 164.
void TobjTarvola::PlaceWindow() {
    int top = controller_->Persist().Top;
    int left = controller_->Persist().Left;
    const RECT wanted{left, top, left + TarvolaController::WindowWidth,
                      top + TarvolaController::WindowHeight};
    if (!MonitorFromRect(&wanted, MONITOR_DEFAULTTONULL)) {
        top = 10;
        left = 10;
    }
    SetBounds(left, top, TarvolaController::WindowWidth, TarvolaController::WindowHeight);
}

template <class Action>
void TobjTarvola::Act(Action&& action) {
    try {
        action();
    } catch (...) {
        ShowState();
        throw;
    }
    ShowState();
}

void TobjTarvola::ShowState() {
    const TMainViewState& v = controller_->View();
    showingState_ = true;
    SetCaption(v.Caption);
    Btn_LoadSave->SetCaption(v.LoadSaveCaption);
    Btn_LoadSave->SetEnabled(v.LoadSaveEnabled);
    Btn_PlayStop->SetCaption(v.PlayStopCaption);
    Btn_PlayStop->SetEnabled(v.PlayStopEnabled);
    Btn_PauseResume->SetCaption(v.PauseResumeCaption);
    Btn_PauseResume->SetEnabled(v.PauseResumeEnabled);
    Btn_Close->SetEnabled(v.CloseEnabled);
    Btn_Process->SetEnabled(v.ProcessEnabled);
    Btn_Undo->SetEnabled(v.UndoEnabled);
    PosnIndctr->SetEnabled(v.TrackBarEnabled);
    PosnIndctr->SetPosition(v.TrackBarPosition);
    Txt_Position->SetCaption(v.PositionText);
    for (int i = 0; i < 6; ++i)
        ParameterLabels[i]->SetCaption(v.Parameters[i]);
    MnItm_Open->SetEnabled(v.MnItmOpen);
    MnItm_SaveAs->SetEnabled(v.MnItmSaveAs);
    MnItm_Close->SetEnabled(v.MnItmClose);
    SubMenu_Edit->SetEnabled(v.SubMenuEdit);
    MnItm_Process->SetEnabled(v.MnItmProcess);
    MnItm_Undo->SetEnabled(v.MnItmUndo);
    MnItm_Play->SetEnabled(v.MnItmPlay);
    MnItm_Stop->SetEnabled(v.MnItmStop);
    MnItm_Pause->SetEnabled(v.MnItmPause);
    MnItm_Resume->SetEnabled(v.MnItmResume);
    showingState_ = false;
    if (Handle())
        UpdateWindow(Handle());
}

// ---- Services the controller asks for

void TobjTarvola::ShowMessage(const std::string& text) {
    tarvola::ShowMessage(text);
}

bool TobjTarvola::RunOpenDialog(const std::string& initialDir, std::string& fileName) {
    OpenDialog1->SetInitialDir(initialDir);
    if (!OpenDialog1->Execute())
        return false;
    fileName = OpenDialog1->FileName();
    return true;
}

bool TobjTarvola::RunSaveDialog(const std::string& initialDir, std::string& fileName) {
    SaveDialog1->SetInitialDir(initialDir);
    SaveDialog1->SetFileName(fileName);
    if (!SaveDialog1->Execute())
        return false;
    fileName = SaveDialog1->FileName();
    return true;
}

void TobjTarvola::SetTimerEnabled(bool enabled) {
    timer_->SetEnabled(enabled);
}

void TobjTarvola::SetSampleRate(std::int32_t sampleRate) {
    designer_->SetSampleRate(sampleRate);
}
void TobjTarvola::PrepareProcess() {
    designer_->PrepareProcess();
}
void TobjTarvola::Process() {
    designer_->Process();
}
bool TobjTarvola::ProcessOK() const {
    return designer_->ProcessOK();
}

// ---- Handlers

void TobjTarvola::OpenSaveClick(TObject&) {
    Act([this] { controller_->OpenSaveClick(); });
}
void TobjTarvola::PlayStopClick(TObject&) {
    Act([this] { controller_->PlayStopClick(); });
}
void TobjTarvola::PauseResumeClick(TObject&) {
    Act([this] { controller_->PauseResumeClick(); });
}
void TobjTarvola::CloseNewClick(TObject&) {
    Act([this] { controller_->CloseNewClick(); });
    PlaceWindow();
}
void TobjTarvola::SetPlayPos(TObject&) {
    if (showingState_)
        return;
    Act([this] { controller_->SetPlayPos(PosnIndctr->Position()); });
}
void TobjTarvola::Process_Click(TObject&) {
    Act([this] { controller_->ProcessClick(); });
}
void TobjTarvola::Undo_Click(TObject&) {
    Act([this] { controller_->UndoClick(); });
}
void TobjTarvola::SaveDlg_TypeChange(TObject&) {
    SaveDialog1->SetFileName(WithFilterExtension(SaveDialog1->FileName(), SaveDialog1->FilterIndex()));
}
void TobjTarvola::MnItm_OpenClick(TObject&) {
    if (!controller_->Loaded())
        Act([this] { controller_->OpenAudioFile(); });
}
void TobjTarvola::MnItm_SaveAsClick(TObject&) {
    if (controller_->Loaded())
        Act([this] { controller_->SaveAudioFileAs(); });
}
void TobjTarvola::MnItm_ExitClick(TObject&) {
    Application().Terminate();
}
void TobjTarvola::MnItm_PlayClick(TObject&) {
    Act([this] { controller_->MnItmPlayClick(); });
}
void TobjTarvola::MnItm_StopClick(TObject&) {
    Act([this] { controller_->MnItmStopClick(); });
}
void TobjTarvola::MnItm_PauseClick(TObject&) {
    Act([this] { controller_->MnItmPauseClick(); });
}
void TobjTarvola::MnItm_ResumeClick(TObject&) {
    Act([this] { controller_->MnItmResumeClick(); });
}

void TobjTarvola::MnItm_IntroClick(TObject&) {
    const std::string folder = appDir_ + "Help\\";
    ShellOpen(folder + "Introduction.doc", folder);
}
void TobjTarvola::MnItm_OverviewClick(TObject&) {
    const std::string folder = appDir_ + "help\\";
    ShellOpen(folder + "Overview.doc", folder);
}
void TobjTarvola::MnItm_AboutClick(TObject&) {
    TobjAboutBox box(this);
    box.ShowModal();
}
void TobjTarvola::MnItm_BugsClick(TObject&) {
    TobjBugReports box(this);
    box.ShowModal();
}
void TobjTarvola::Support_SendEmail(TObject&) {
    ShellOpen(std::string("mailto:") + SupportMailAddress + "?subject=Support");
}
void TobjTarvola::Support_MouseMove(TObject&, TShiftState, int, int) {
    Pnl_MailSupport->SetCursor(TCursor::crHandPoint);
    Pnl_MailSupport->SetColor(kSupportPanelHover);
}
void TobjTarvola::Main_MouseMove(TObject&, TShiftState, int, int) {
    SetCursor(TCursor::crDefault);
    Pnl_MailSupport->SetColor(kSupportPanelAtRest);
}

} // namespace tarvola
