// TobjCustomDSP: the base form of the kernel designer window. It holds what does not depend on what is
// designed: the persistence paths, the borrowed views of the signal the designer processes, the designer
// protocol through which the form (and the main window) drive the designer, the left column where the
// preset browser stands, and OK, Close, Cancel and Help buttons for a designer shown as a dialog of its
// own. The main window asks for the embedded variant without buttons:
//
//   designer.ShowButtons = false;  designer.Embedded = true;
//   designer.Setup(&audioInfo, &signalView, &outputView, appDir, 0);   // ends with LoadState
//   designer.PrepareProcess(); designer.Process(); if (designer.ProcessOK()) ...
//
// A derived designer implements the protocol's abstract operations, and its destructor calls FormDestroy()
// first, while its own overrides still answer: that saves the state and removes the undo snapshots.
#pragma once

#include "forms/Buttons.h"
#include "forms/ExtCtrls.h"
#include "forms/Form.h"
#include "forms/StdCtrls.h"

#include <memory>
#include <string>

namespace tarvola {

struct TobjAudioInfo;
class TobjMultiMemStrm;
class PresetBrowserController;
class TPresetBrowserHost;
class TPresetExplorerList;
class TVirtualExplorerListviewEx;

class TobjCustomDSP : public TForm {
public:
    explicit TobjCustomDSP(TComponent* owner);
    // Removes the undo snapshots when FormDestroy has not run (the state cannot be saved any more).
    ~TobjCustomDSP() override;

    // ---- The designer protocol, in its slot order.
    virtual void LoadPreset(const std::string& fileName) = 0;
    // True when the file was deleted.
    virtual bool DeletePreset(const std::string& name) = 0;
    // False when a preset of that name exists in CurrentFolder already.
    virtual bool SavePreset(const std::string& name) = 0;
    virtual void LoadState() = 0;
    virtual void SaveState() = 0;
    virtual void AcceptSettings() = 0;
    // Stores the paths and views, creates the program's "User\", "User\Presets\" and "Undo\" folders when
    // they are missing, roots the preset browser at "User\Presets\", places or frees the dialog buttons,
    // lays out the left column (TopOffset is the room left free above it), then LoadState.
    virtual void Setup(TobjAudioInfo* formatFields, TobjMultiMemStrm* signalView,
                       TobjMultiMemStrm* outputView, const std::string& programFolder, int topOffset);
    virtual void PrepareProcess() = 0;
    // Reads SignalView, writes OutputView, sets ProcessOK.
    virtual void Process() = 0;
    // True when the last Process ran to its end; the main window reads it.
    bool ProcessOK() const { return processOK_; }
    // The left edge of the design area, right of the left column that the preset browser takes.
    int BrowserRight() const { return browserRight_; }

    // ---- Fields
    TobjAudioInfo* FormatFields = nullptr;  // the signal's format, the main window's
    TobjMultiMemStrm* SignalView = nullptr; // borrowed: the signal Process reads
    TobjMultiMemStrm* OutputView = nullptr; // borrowed: where Process writes
    std::string ProgramFolder;              // ends in a backslash
    std::string StatePath;                  // ProgramFolder + "User\KrnlPersist.dat"
    std::string CurrentFolder;              // the preset folder shown, ends in a backslash
    bool ShowButtons = true;                // False: Setup frees the dialog buttons and their bevel
    bool Embedded = false;                  // True: OK neither saves the state nor closes the form

    TBevel* Bvl_TxtBoxes = nullptr;
    // ---- The preset browser, in the left column's frame
    TLabel* Lbl_Presets = nullptr;
    TLabel* Rpt_CllctName = nullptr; // the collection caption: the shown folder's own name
    TVirtualExplorerListviewEx* ShlVw_Presets = nullptr;
    TEdit* Edt_PrstEntry = nullptr;
    TButton* Btn_Add = nullptr;
    TButton* Btn_Del = nullptr;
    TBitBtn* BtBtn_UpFolder = nullptr;
    TBitBtn* BtBtn_PrstRoot = nullptr;
    TBitBtn* BtBtn_NewFolder = nullptr;
    // The shown folder's own name ("Presets" at the root), at most 50 characters.
    const std::string& CollectionCaption() const;

    TBevel* Bvl_Buttons = nullptr;
    TButton* Btn_OK = nullptr;
    TButton* Btn_Close = nullptr;
    TButton* Btn_Cancel = nullptr;
    TButton* Btn_Help = nullptr;

    // The form's end: SaveState (an error is shown, and the clean-up goes on), then every "*.und" file in
    // ProgramFolder + "Undo\" that is neither hidden, system nor a folder is deleted. Runs once; the
    // borrowed views are forgotten.
    void FormDestroy();

    static constexpr int kClientWidth = 469;
    static constexpr int kClientHeight = 349;
    // The most characters a preset name can have.
    static constexpr int kPresetNameLength = 50;
    // The list's text colours (TColor, blue-green-red): folders RGB 0,64,64, files RGB 64,0,64.
    static constexpr TColor kFolderTextColour = 4210688;
    static constexpr TColor kFileTextColour = 4194368;

    // ---- The preset browser's handlers (the designer's Presets menu uses them too)
    void PrstEntry_Change(TObject& sender);
    void Presets_Click(TObject& sender);
    void Presets_DblClick(TObject& sender);
    void Add_Click(TObject& sender);
    void Del_Click(TObject& sender);
    void UpFolder_Click(TObject& sender);
    void PrstRoot_Click(TObject& sender);
    void NewFolder_Click(TObject& sender);

protected:
    void SetProcessOK(bool ok) { processOK_ = ok; }

    void OK_Click(TObject& sender);
    void Close_Click(TObject& sender);
    void Cancel_Click(TObject& sender);
    void Help_Click(TObject& sender);

private:
    void PlaceButtons();
    void LayOutLeftColumn(int topOffset);
    void DeleteUndoSnapshots() const;
    // Makes the browser's list and glyphs, its host and controller, and binds its events
    // (CustomDSPBrowser.cpp).
    void MakeBrowser();
    void BindBrowserEvents();

    bool processOK_ = false;
    int browserRight_ = 0;
    bool destroyed_ = false;
    // They go before the components they use (the form frees its components after its members).
    std::unique_ptr<TPresetBrowserHost> browserHost_;
    std::unique_ptr<TPresetExplorerList> presetList_;
    std::unique_ptr<PresetBrowserController> browser_;
};

// Creates a folder whose parent exists, when it is missing; raises when it cannot.
void EnsureFolder(const std::string& folder);

// Deletes the undo snapshots in a folder (ending in a backslash): the files whose long name ends in
// ".und" (any case) and that are neither hidden, system nor folders. The number deleted.
int DeleteUndoFiles(const std::string& undoFolder);

} // namespace tarvola
