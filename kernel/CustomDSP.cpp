#include "kernel/CustomDSP.h"

#include "explorer/VirtualExplorerListviewExControl.h"
#include "forms/Application.h"
#include "forms/Layout.h"
#include "kernel/PresetBrowserController.h"
#include "kernel/PresetBrowserHost.h"
#include "kernel/PresetExplorerList.h"

#include <windows.h>

#include <cctype>
#include <exception>
#include <initializer_list>
#include <stdexcept>
#include <string>

namespace tarvola {
namespace {

const TFormLayout kCustomDSPLayout{
    {{"BorderStyle", "bsDialog"},
     {"ClientWidth", "469"},
     {"ClientHeight", "349"},
     {"Font.Name", "Small Fonts"},
     {"Font.Height", "-9"}},
    {
        {"TBevel", "Bvl_TxtBoxes", "", 4, 5, 173, 300, {{"Shape", "bsFrame"}}},
        // Inside the frame: the preset browser (its list is made in code, between the caption and the edit).
        {"TLabel", "Lbl_Presets", "", 10, 10, 30, 11, {{"Caption", "Folder:"}}},
        {"TLabel", "Rpt_CllctName", "", 42, 10, 128, 11, {{"AutoSize", "False"}, {"Caption", "Presets"}}},
        {"TEdit", "Edt_PrstEntry", "", 10, 249, 160, 18, {{"MaxLength", "50"}}},
        {"TButton", "Btn_Add", "", 10, 275, 24, 22, {{"Caption", "Add"}, {"Enabled", "False"}}},
        {"TButton", "Btn_Del", "", 36, 275, 24, 22, {{"Caption", "Del"}, {"Enabled", "False"}}},
        {"TBitBtn", "BtBtn_UpFolder", "", 73, 275, 24, 22, {{"Hint", "Up Folder"}, {"ShowHint", "True"}}},
        {"TBitBtn", "BtBtn_PrstRoot", "", 99, 275, 45, 22, {{"Hint", "Presets Root"}, {"ShowHint", "True"}}},
        {"TBitBtn", "BtBtn_NewFolder", "", 146, 275, 24, 22, {{"Hint", "New Folder"}, {"ShowHint", "True"}}},
        {"TBevel", "Bvl_Buttons", "", 4, 308, 173, 37, {{"Shape", "bsFrame"}}},
        {"TButton", "Btn_OK", "", 9, 316, 38, 21, {{"Caption", "OK"}}},
        {"TButton", "Btn_Close", "", 51, 316, 38, 21, {{"Caption", "Close"}}},
        {"TButton", "Btn_Cancel", "", 93, 316, 38, 21, {{"Caption", "Cancel"}}},
        {"TButton", "Btn_Help", "", 135, 316, 38, 21, {{"Caption", "Help"}}},
    }};

bool HasUndoExtension(const std::string& name) {
    static constexpr char kExtension[] = ".und";
    constexpr std::size_t length = sizeof(kExtension) - 1;
    if (name.size() < length)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(name[name.size() - length + i])) != kExtension[i])
            return false;
    return true;
}

} // namespace

void EnsureFolder(const std::string& folder) {
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("The folder " + folder + " could not be created.");
}

TobjCustomDSP::TobjCustomDSP(TComponent* owner) : TForm(owner) {
    LoadLayout(kCustomDSPLayout);
    Bvl_TxtBoxes = &Find<TBevel>("Bvl_TxtBoxes");
    Lbl_Presets = &Find<TLabel>("Lbl_Presets");
    Rpt_CllctName = &Find<TLabel>("Rpt_CllctName");
    Edt_PrstEntry = &Find<TEdit>("Edt_PrstEntry");
    Btn_Add = &Find<TButton>("Btn_Add");
    Btn_Del = &Find<TButton>("Btn_Del");
    BtBtn_UpFolder = &Find<TBitBtn>("BtBtn_UpFolder");
    BtBtn_PrstRoot = &Find<TBitBtn>("BtBtn_PrstRoot");
    BtBtn_NewFolder = &Find<TBitBtn>("BtBtn_NewFolder");
    Bvl_Buttons = &Find<TBevel>("Bvl_Buttons");
    Btn_OK = &Find<TButton>("Btn_OK");
    Btn_Close = &Find<TButton>("Btn_Close");
    Btn_Cancel = &Find<TButton>("Btn_Cancel");
    Btn_Help = &Find<TButton>("Btn_Help");
    browserRight_ = Bvl_TxtBoxes->Left() + Bvl_TxtBoxes->Width() + 4;
    Bind(Btn_OK->OnClick, this, &TobjCustomDSP::OK_Click);
    Bind(Btn_Close->OnClick, this, &TobjCustomDSP::Close_Click);
    Bind(Btn_Cancel->OnClick, this, &TobjCustomDSP::Cancel_Click);
    Bind(Btn_Help->OnClick, this, &TobjCustomDSP::Help_Click);
    MakeBrowser();
}

TobjCustomDSP::~TobjCustomDSP() {
    if (!destroyed_) {
        destroyed_ = true;
        try {
            DeleteUndoSnapshots();
        } catch (...) {
            // A destructor raises nothing; the snapshots left are overwritten by the next run's history.
        }
    }
}

void TobjCustomDSP::Setup(TobjAudioInfo* formatFields, TobjMultiMemStrm* signalView,
                          TobjMultiMemStrm* outputView, const std::string& programFolder, int topOffset) {
    ProgramFolder = programFolder;
    StatePath = ProgramFolder + "User\\KrnlPersist.dat";
    FormatFields = formatFields;
    SignalView = signalView;
    OutputView = outputView;
    processOK_ = false;
    // The state file and the undo snapshots need their folders; the browser makes "User\\Presets\\" and
    // roots its list there (CurrentFolder follows it).
    EnsureFolder(ProgramFolder + "User\\");
    EnsureFolder(ProgramFolder + "Undo\\");
    browser_->Start(ProgramFolder);
    PlaceButtons();
    LayOutLeftColumn(topOffset);
    LoadState();
}

void TobjCustomDSP::PlaceButtons() {
    if (ShowButtons) {
        Bvl_Buttons->SetTop(Height() - (Bvl_Buttons->Height() + 34));
        for (TButton* button : {Btn_OK, Btn_Close, Btn_Cancel, Btn_Help})
            button->SetTop(Bvl_Buttons->Top() + 8);
        return;
    }
    const auto free = [this](auto*& control) {
        if (control != nullptr)
            FreeComponent(*control);
        control = nullptr;
    };
    free(Btn_OK);
    free(Btn_Close);
    free(Btn_Cancel);
    free(Btn_Help);
    free(Bvl_Buttons);
}

// The buttons stand at the foot of the frame, the edit above them and the list fills the rest; room left
// free above the column moves its top edge, the caption and the list's top down.
void TobjCustomDSP::LayOutLeftColumn(int topOffset) {
    Bvl_TxtBoxes->SetHeight(ClientHeight() - 8);
    const int buttonsTop = Bvl_TxtBoxes->Height() - 24;
    for (TButton* button :
         std::initializer_list<TButton*>{Btn_Add, Btn_Del, BtBtn_UpFolder, BtBtn_PrstRoot, BtBtn_NewFolder})
        button->SetTop(buttonsTop);
    Edt_PrstEntry->SetTop(buttonsTop - (Edt_PrstEntry->Height() + 8));
    ShlVw_Presets->SetHeight(Edt_PrstEntry->Top() - 29);
    if (topOffset > 0) {
        Bvl_TxtBoxes->SetHeight(Bvl_TxtBoxes->Height() - topOffset);
        Bvl_TxtBoxes->SetTop(topOffset);
        Lbl_Presets->SetTop(Bvl_TxtBoxes->Top() + 5);
        Rpt_CllctName->SetTop(Bvl_TxtBoxes->Top() + 5);
        ShlVw_Presets->SetHeight(ShlVw_Presets->Height() - topOffset);
        ShlVw_Presets->SetTop(Bvl_TxtBoxes->Top() + 19);
    }
}

void TobjCustomDSP::OK_Click(TObject&) {
    if (!Embedded)
        SaveState();
    AcceptSettings();
    PrepareProcess();
    Process();
    if (!Embedded)
        Close();
}

void TobjCustomDSP::Close_Click(TObject&) {
    SaveState();
    Close();
}

void TobjCustomDSP::Cancel_Click(TObject&) {
    OutputView = nullptr;
    Close();
}

void TobjCustomDSP::Help_Click(TObject&) {}

void TobjCustomDSP::FormDestroy() {
    if (destroyed_)
        return;
    destroyed_ = true;
    try {
        SaveState();
    } catch (...) {
        // The state is lost, but the form still goes and the snapshots are still removed.
        Application().HandleException(std::current_exception());
    }
    try {
        DeleteUndoSnapshots();
    } catch (...) {
        Application().HandleException(std::current_exception());
    }
    FormatFields = nullptr;
    SignalView = nullptr;
    OutputView = nullptr;
}

void TobjCustomDSP::DeleteUndoSnapshots() const {
    if (!ProgramFolder.empty())
        DeleteUndoFiles(ProgramFolder + "Undo\\");
}

int DeleteUndoFiles(const std::string& undoFolder) {
    WIN32_FIND_DATAA found{};
    // The pattern also matches short 8.3 names ("x.undo" is "X~1.UND"): the long name is checked again.
    const HANDLE search = FindFirstFileA((undoFolder + "*.und").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    int deleted = 0;
    do {
        if ((found.dwFileAttributes & kKept) == 0 && HasUndoExtension(found.cFileName) &&
            DeleteFileA((undoFolder + found.cFileName).c_str()))
            ++deleted;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return deleted;
}

} // namespace tarvola
