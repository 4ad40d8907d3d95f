// The designer base form: set-up, the dialog buttons and the end of the form.
#include "kernel/CustomDSP.h"

#include "audio/AudioInfoStructures.h"
#include "audio/Streams.h"
#include "forms/Dialogs.h"
#include "tests/kernel/KernelTestFolder.h"
#include "explorer/VirtualExplorerListviewExControl.h"
#include "tests/support/ScriptedPrompts.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvola {
namespace {

namespace fs = std::filesystem;

// Records the protocol operations called, with what the form held at each.
class TobjRecordingDesigner : public TobjCustomDSP {
public:
    explicit TobjRecordingDesigner(TComponent* owner, std::vector<std::string>& calls)
        : TobjCustomDSP(owner), calls_(calls) {}
    ~TobjRecordingDesigner() override { FormDestroy(); }

    bool failSaveState = false;
    std::string statePathAtLoad;
    bool foldersAtLoad = false;
    int columnHeightAtLoad = 0;

    void LoadPreset(const std::string&) override { calls_.push_back("LoadPreset"); }
    bool DeletePreset(const std::string&) override { return false; }
    bool SavePreset(const std::string&) override { return false; }
    void LoadState() override {
        calls_.push_back("LoadState");
        statePathAtLoad = StatePath;
        foldersAtLoad =
            fs::is_directory(ProgramFolder + "User\\Presets") && fs::is_directory(ProgramFolder + "Undo");
        columnHeightAtLoad = Bvl_TxtBoxes->Height();
    }
    void SaveState() override {
        calls_.push_back("SaveState");
        if (failSaveState)
            throw std::runtime_error("state not written");
    }
    void AcceptSettings() override { calls_.push_back("AcceptSettings"); }
    void PrepareProcess() override { calls_.push_back("PrepareProcess"); }
    void Process() override {
        calls_.push_back("Process");
        SetProcessOK(true);
    }

private:
    std::vector<std::string>& calls_;
};

class CustomDSP : public ::testing::Test {
protected:
    CustomDSP() : designer(std::make_unique<TobjRecordingDesigner>(nullptr, calls)) {}

    void SetUp(bool showButtons, bool embedded, int topOffset = 0) {
        designer->ShowButtons = showButtons;
        designer->Embedded = embedded;
        designer->Setup(&format, &signal, &output, folder.Path(), topOffset);
        calls.clear();
    }
    int Count(const std::string& call) const {
        int n = 0;
        for (const std::string& c : calls)
            n += c == call;
        return n;
    }

    KernelTestFolder folder;
    test::TScriptedPrompts prompts;
    std::vector<std::string> calls;
    TobjAudioInfo format;
    TobjMultiMemStrm signal;
    TobjMultiMemStrm output;
    std::unique_ptr<TobjRecordingDesigner> designer;
};

TEST_F(CustomDSP, ConstructionLaysOutTheFormAndSetsTheBrowsersRightEdge) {
    TobjRecordingDesigner fresh(nullptr, calls);
    EXPECT_EQ(fresh.BrowserRight(), 181);
    EXPECT_EQ(fresh.ClientWidth(), 469);
    EXPECT_EQ(fresh.ClientHeight(), 349);
    EXPECT_EQ(fresh.Font().Name(), "Small Fonts");
    EXPECT_EQ(fresh.Btn_OK->Caption(), "OK");
    EXPECT_EQ(fresh.Btn_Help->Top(), 316);
    EXPECT_TRUE(calls.empty()); // nothing happens until Setup
}

TEST_F(CustomDSP, SetupStoresThePathsMakesTheFoldersAndEndsWithLoadState) {
    designer->ShowButtons = false;
    designer->Setup(&format, &signal, &output, folder.Path(), 0);
    EXPECT_EQ(calls, std::vector<std::string>{"LoadState"});
    EXPECT_EQ(designer->statePathAtLoad, folder.Path() + "User\\KrnlPersist.dat");
    EXPECT_TRUE(designer->foldersAtLoad);
    EXPECT_EQ(designer->columnHeightAtLoad, 349 - 8);
    EXPECT_EQ(designer->CurrentFolder, folder.Path() + "User\\Presets\\");
    EXPECT_EQ(designer->FormatFields, &format);
    EXPECT_EQ(designer->SignalView, &signal);
    EXPECT_EQ(designer->OutputView, &output);
    EXPECT_FALSE(designer->ProcessOK());
}

TEST_F(CustomDSP, TheBrowsersControlsStandInTheLeftColumn) {
    TobjRecordingDesigner fresh(nullptr, calls);
    struct Box {
        const TControl* control;
        const char* caption;
        int left, top, width, height;
    };
    for (const Box& b :
         {Box{fresh.Lbl_Presets, "Folder:", 10, 10, -1, -1},
          Box{fresh.Rpt_CllctName, "Presets", 42, 10, -1, -1},
          Box{fresh.ShlVw_Presets, nullptr, 10, 24, 160, 221}, Box{fresh.Edt_PrstEntry, "", 10, 249, 160, -1},
          Box{fresh.Btn_Add, "Add", 10, 275, 24, 22}, Box{fresh.Btn_Del, "Del", 36, 275, 24, 22},
          Box{fresh.BtBtn_UpFolder, "", 73, 275, 24, 22}, Box{fresh.BtBtn_PrstRoot, "", 99, 275, 45, 22},
          Box{fresh.BtBtn_NewFolder, "", 146, 275, 24, 22}}) {
        ASSERT_NE(b.control, nullptr);
        SCOPED_TRACE(b.control->Name());
        if (b.caption != nullptr) {
            EXPECT_EQ(b.control->Caption(), b.caption);
        }
        EXPECT_EQ(b.control->Left(), b.left);
        EXPECT_EQ(b.control->Top(), b.top);
        if (b.width >= 0) {
            EXPECT_EQ(b.control->Width(), b.width);
        }
        if (b.height >= 0) {
            EXPECT_EQ(b.control->Height(), b.height);
        }
    }
    EXPECT_EQ(fresh.Edt_PrstEntry->MaxLength(), 50);
    EXPECT_FALSE(fresh.Btn_Add->Enabled());
    EXPECT_FALSE(fresh.Btn_Del->Enabled());
    for (const TBitBtn* glyphButton : {fresh.BtBtn_UpFolder, fresh.BtBtn_PrstRoot, fresh.BtBtn_NewFolder})
        EXPECT_TRUE(glyphButton->HasGlyph()) << glyphButton->Name();
}

TEST_F(CustomDSP, TheLeftColumnFillsTheClientHeightAndLeavesTheTopOffsetFree) {
    SetUp(false, true);
    const int column = 349 - 8;
    const int buttonsTop = column - 24;
    const int editTop = buttonsTop - (designer->Edt_PrstEntry->Height() + 8);
    EXPECT_EQ(designer->Bvl_TxtBoxes->Height(), column);
    for (const TControl* button : std::initializer_list<const TControl*>{
             designer->Btn_Add, designer->Btn_Del, designer->BtBtn_UpFolder, designer->BtBtn_PrstRoot,
             designer->BtBtn_NewFolder})
        EXPECT_EQ(button->Top(), buttonsTop) << button->Name();
    EXPECT_EQ(designer->Edt_PrstEntry->Top(), editTop);
    EXPECT_EQ(designer->ShlVw_Presets->Top(), 24);
    EXPECT_EQ(designer->ShlVw_Presets->Height(), editTop - 29);

    designer = std::make_unique<TobjRecordingDesigner>(nullptr, calls);
    SetUp(false, true, 40);
    EXPECT_EQ(designer->Bvl_TxtBoxes->Top(), 40);
    EXPECT_EQ(designer->Bvl_TxtBoxes->Height(), column - 40);
    EXPECT_EQ(designer->Lbl_Presets->Top(), 45);
    EXPECT_EQ(designer->Rpt_CllctName->Top(), 45);
    EXPECT_EQ(designer->ShlVw_Presets->Top(), 59);
    EXPECT_EQ(designer->ShlVw_Presets->Height(), editTop - 29 - 40);
    // The edit and the buttons keep their place at the foot of the column.
    EXPECT_EQ(designer->Edt_PrstEntry->Top(), editTop);
    EXPECT_EQ(designer->Btn_Add->Top(), buttonsTop);
}

TEST_F(CustomDSP, WithoutButtonsTheStateIsSavedOnlyAtTheEnd) {
    SetUp(false, true);
    EXPECT_EQ(designer->Btn_OK, nullptr);
    EXPECT_EQ(designer->Bvl_Buttons, nullptr);
    EXPECT_EQ(designer->FindComponent("Btn_Close"), nullptr);
    designer->PrepareProcess();
    designer->Process();
    EXPECT_EQ(Count("SaveState"), 0);
    designer.reset();
    EXPECT_EQ(Count("SaveState"), 1);
}

TEST_F(CustomDSP, TheButtonsActAsTheVariantSays) {
    const struct {
        bool embedded;
        const char* button;
        std::vector<std::string> calls;
        bool visibleAfter;
    } cases[] = {
        {false, "Btn_OK", {"SaveState", "AcceptSettings", "PrepareProcess", "Process"}, false},
        {true, "Btn_OK", {"AcceptSettings", "PrepareProcess", "Process"}, true},
        {false, "Btn_Close", {"SaveState"}, false},
        {false, "Btn_Cancel", {}, false},
        {false, "Btn_Help", {}, true},
    };
    for (const auto& c : cases) {
        designer = std::make_unique<TobjRecordingDesigner>(nullptr, calls);
        SetUp(true, c.embedded);
        designer->Show();
        EXPECT_EQ(designer->Bvl_Buttons->Top(), designer->Height() - (37 + 34));
        EXPECT_EQ(designer->Btn_Cancel->Top(), designer->Bvl_Buttons->Top() + 8);
        designer->Find<TButton>(c.button).Click();
        EXPECT_EQ(calls, c.calls) << c.button << " embedded " << c.embedded;
        EXPECT_EQ(designer->Visible(), c.visibleAfter) << c.button;
        EXPECT_EQ(designer->OutputView == nullptr, std::string(c.button) == "Btn_Cancel");
    }
}

TEST_F(CustomDSP, TheEndRemovesOnlyPlainUndoSnapshots) {
    SetUp(false, true);
    const std::string undo = folder.Path() + "Undo\\";
    const struct {
        const char* name;
        DWORD attributes;
        bool survives;
    } files[] = {
        {"00Initial Data.und", FILE_ATTRIBUTE_NORMAL, false},
        {"01Change Column Value.und", FILE_ATTRIBUTE_ARCHIVE, false},
        {"02Upper.UND", FILE_ATTRIBUTE_NORMAL, false},
        {"03Read only.und", FILE_ATTRIBUTE_READONLY, true},
        {"hidden.und", FILE_ATTRIBUTE_HIDDEN, true},
        {"system.und", FILE_ATTRIBUTE_SYSTEM, true},
        {"notes.undo", FILE_ATTRIBUTE_NORMAL, true}, // its short name ends in .UND
        {"keep.txt", FILE_ATTRIBUTE_NORMAL, true},
    };
    for (const auto& f : files) {
        KernelTestFolder::Write(undo + f.name, {1, 2, 3});
        SetFileAttributesA((undo + f.name).c_str(), f.attributes);
    }
    fs::create_directory(undo + "folder.und");
    designer.reset();
    for (const auto& f : files) {
        EXPECT_EQ(fs::exists(undo + f.name), f.survives) << f.name;
        SetFileAttributesA((undo + f.name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_TRUE(fs::is_directory(undo + "folder.und"));
}

TEST_F(CustomDSP, AFailingStateSaveIsShownAndTheEndGoesOn) {
    SetUp(false, true);
    designer->failSaveState = true;
    const std::string snapshot = folder.Path() + "Undo\\00Initial Data.und";
    KernelTestFolder::Write(snapshot, {1});
    designer->FormDestroy();
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_NE(prompts.Messages[0].text.find("state not written"), std::string::npos);
    EXPECT_FALSE(fs::exists(snapshot));
    EXPECT_EQ(designer->SignalView, nullptr);
    designer.reset(); // once only
    EXPECT_EQ(Count("SaveState"), 1);
}

} // namespace
} // namespace tarvola
