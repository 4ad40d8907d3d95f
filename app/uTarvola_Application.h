// The main window: a player and processor for one audio file at a time. Its logic lives in
// TarvolaController; this form shows the controller's state and turns clicks, menu commands, the track bar
// and the position timer into calls on it. It makes and owns the kernel designer window, sets it up once,
// places it below itself and processes the signal through it.
#pragma once

#include "app/TarvolaController.h"
#include "audio/HiTimer.h"
#include "forms/FileDialogs.h"
#include "forms/Form.h"

#include <memory>

namespace tarvola {

class TButton;
class TLabel;
class TGroupBox;
class TPanel;
class TTrackBar;
class TMenuItem;
class TobjKernelDesigner;

class TobjTarvola : public TForm, public IMainWindowServices, private IProcessDesigner {
public:
    // appDir: the program's folder, ending in a backslash; empty: the folder of the program file.
    explicit TobjTarvola(TComponent* owner, std::string appDir = {});
    // Saves the window's place, then frees the designer (which saves its state).
    ~TobjTarvola() override;

    TarvolaController& Controller() { return *controller_; }
    TobjHiTimer& Timer() { return *timer_; }
    TobjKernelDesigner& Designer() { return *designer_; }

    // The designer window's place: 5 pixels below this window, as wide as it, 538 high.
    static constexpr int kDesignerGap = 5;
    static constexpr int kDesignerWidth = 1020;
    static constexpr int kDesignerHeight = 538;

    // Event handlers, bound in BindEvents.
    void OpenSaveClick(TObject&);
    void PlayStopClick(TObject&);
    void PauseResumeClick(TObject&);
    void CloseNewClick(TObject&);
    void SetPlayPos(TObject&);
    void Process_Click(TObject&);
    void Undo_Click(TObject&);
    void SaveDlg_TypeChange(TObject&);
    void MnItm_OpenClick(TObject&);
    void MnItm_SaveAsClick(TObject&);
    void MnItm_ExitClick(TObject&);
    void MnItm_PlayClick(TObject&);
    void MnItm_StopClick(TObject&);
    void MnItm_PauseClick(TObject&);
    void MnItm_ResumeClick(TObject&);
    void MnItm_IntroClick(TObject&);
    void MnItm_OverviewClick(TObject&);
    void MnItm_AboutClick(TObject&);
    void MnItm_BugsClick(TObject&);
    void Support_SendEmail(TObject&);
    void Support_MouseMove(TObject&, TShiftState, int, int);
    void Main_MouseMove(TObject&, TShiftState, int, int);

private:
    // IMainWindowServices
    void ShowMessage(const std::string& text) override;
    bool RunOpenDialog(const std::string& initialDir, std::string& fileName) override;
    bool RunSaveDialog(const std::string& initialDir, std::string& fileName) override;
    void SetTimerEnabled(bool enabled) override;
    // IProcessDesigner: the designer window.
    void SetSampleRate(std::int32_t sampleRate) override;
    void PrepareProcess() override;
    void Process() override;
    bool ProcessOK() const override;

    void BindEvents();
    void SetUpDesigner();

    // Runs a controller action and shows the state it leaves, also when it fails.
    template <class Action>
    void Act(Action&& action);
    void ShowState();
    void PlaceWindow();

    std::string appDir_;
    std::unique_ptr<TobjHiTimer> timer_;
    std::unique_ptr<TobjPlaySound> player_;
    std::unique_ptr<TobjKernelDesigner> designer_;
    std::unique_ptr<TarvolaController> controller_;
    bool showingState_ = false;

    TTrackBar* PosnIndctr = nullptr;
    TLabel* Txt_Position = nullptr;
    TButton* Btn_LoadSave = nullptr;
    TButton* Btn_PlayStop = nullptr;
    TButton* Btn_PauseResume = nullptr;
    TButton* Btn_Close = nullptr;
    TButton* Btn_Process = nullptr;
    TButton* Btn_Undo = nullptr;
    TLabel* ParameterLabels[6] = {};
    TPanel* Pnl_MailSupport = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TMenuItem* MnItm_Open = nullptr;
    TMenuItem* MnItm_SaveAs = nullptr;
    TMenuItem* MnItm_Close = nullptr;
    TMenuItem* SubMenu_Edit = nullptr;
    TMenuItem* MnItm_Process = nullptr;
    TMenuItem* MnItm_Undo = nullptr;
    TMenuItem* MnItm_Play = nullptr;
    TMenuItem* MnItm_Stop = nullptr;
    TMenuItem* MnItm_Pause = nullptr;
    TMenuItem* MnItm_Resume = nullptr;
};

// The support address and web site shown and opened by the program.
extern const char* const SupportMailAddress;
extern const char* const WebSiteAddress;

} // namespace tarvola
