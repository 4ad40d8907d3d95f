// The preset browser in the designer window under Wine, driven as a user: the list over a fixture presets
// folder, clicks and double-clicks in the native list, the name edit, the buttons, the New Folder dialog,
// the Presets menu and the list's own keys.
#include "forms/Application.h"
#include "forms/Menus.h"
#include "kernel/KernelDesigner.h"
#include "kernel/KernelStateFile.h"
#include "kernel/KernelUndoer.h"
#include "kernel/NewFolderDlg.h"
#include "tests/kernel/KernelTestFolder.h"
#include "tests/support/FileTimes.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WindowDriver.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace tarvola {
namespace {

namespace fs = std::filesystem;
using test::PumpPending;

TImpulseRec Rec(std::int32_t impulse, long double value) {
    return {value, impulse, TSourceKind::Input, {}, false};
}

// A designer set up as the main window sets it up, over a program folder whose presets folder holds
// Hall.ker (two impulses), a.b.ker, LOUD.KER, notes.txt and the folder Rooms\; "User\Keep.ker" lies
// outside the presets folder.
class PresetBrowserWindow : public ::testing::Test {
protected:
    PresetBrowserWindow() {
        fs::create_directories(Presets() + "Rooms");
        KernelModel fixture;
        fixture.LeftKernel.LoadRecords({Rec(0, 1.0L), Rec(9, 0.25L)});
        fixture.UpdateChannelStats(1);
        SavePresetFile(fixture, Presets(), "Hall");
        SavePresetFile(fixture, Presets(), "a.b");
        SavePresetFile(fixture, folder.Path() + "User\\", "Keep");
        KernelTestFolder::Write(Presets() + "LOUD.KER", KernelTestFolder::Read(Presets() + "Hall.ker"));
        KernelTestFolder::Write(Presets() + "notes.txt", {'n'});

        Application().Initialize();
        designer = std::make_unique<TobjKernelDesigner>(nullptr);
        designer->ShowButtons = false;
        designer->Embedded = true;
        designer->SetupSession(nullptr, nullptr, nullptr, folder.Path(), 0);
        designer->Show();
        designer->ClearFirstTime();
        PumpPending();
    }
    ~PresetBrowserWindow() override {
        test::CancelPendingActions();
        designer.reset();
    }

    std::string Presets() const { return folder.Path() + "User\\Presets\\"; }
    // Moves the presets folder's write time a day back, as any change inside it moves it on: the list must
    // still know the folder for the one it was limited to.
    void ChangePresetsFolderTime() { EXPECT_TRUE(test::MoveWriteTimeBack(Presets())); }
    HWND List() const { return test::FindChildOfClass(designer->Handle(), "SysListView32"); }

    // The captions the list shows, top to bottom.
    std::vector<std::string> Shown() const {
        PumpPending();
        std::vector<std::string> names;
        const int count = static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[260] = {};
            LVITEMW item{};
            item.iSubItem = 0;
            item.pszText = text;
            item.cchTextMax = 260;
            SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            std::string name;
            for (const wchar_t* c = text; *c != 0; ++c)
                name.push_back(static_cast<char>(*c));
            names.push_back(name);
        }
        return names;
    }
    int IndexOf(const std::string& caption) const {
        const std::vector<std::string> names = Shown();
        const auto found = std::find(names.begin(), names.end(), caption);
        return found == names.end() ? -1 : static_cast<int>(found - names.begin());
    }
    LPARAM PointOf(const std::string& caption) const {
        const int index = IndexOf(caption);
        EXPECT_GE(index, 0) << caption << " is not shown";
        RECT rect{};
        rect.left = LVIR_LABEL;
        SendMessageW(List(), LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
        return MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
    void Click(const std::string& caption) {
        const LPARAM at = PointOf(caption);
        SendMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(List(), WM_LBUTTONUP, 0, at);
        PumpPending();
    }
    void DoubleClickAt(LPARAM at) {
        SendMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(List(), WM_LBUTTONUP, 0, at);
        SendMessageW(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageW(List(), WM_LBUTTONUP, 0, at);
        PumpPending();
    }
    void DoubleClick(const std::string& caption) { DoubleClickAt(PointOf(caption)); }
    // Below the last item: empty space.
    void DoubleClickEmptySpace() {
        RECT client{};
        GetClientRect(List(), &client);
        DoubleClickAt(MAKELPARAM(client.right - 4, client.bottom - 4));
    }
    void Key(WORD key) {
        test::PostKey(List(), key);
        PumpPending();
    }
    void Type(const std::string& text) {
        SetWindowTextA(designer->Edt_PrstEntry->Handle(), text.c_str());
        PumpPending();
    }
    void Press(TButton* button) {
        test::ClickButton(button->Handle());
        PumpPending();
    }
    void Menu(const char* item) {
        SendMessageA(designer->Handle(), WM_COMMAND, designer->Find<TMenuItem>(item).Command(), 0);
        PumpPending();
    }
    void ExpectIn(const std::string& folderPath, const std::string& caption) {
        EXPECT_EQ(designer->CurrentFolder, folderPath);
        EXPECT_EQ(designer->Rpt_CllctName->Caption(), caption);
    }
    std::string LastMessage() const { return prompts.Messages.empty() ? "" : prompts.Messages.back().text; }
    std::string UndoDescription() const {
        const TobjKernelUndoer& undoer = *designer->Controller().Undoer();
        return undoer.Entry(undoer.Current()).Description;
    }

    KernelTestFolder folder;
    test::TScriptedPrompts prompts;
    std::unique_ptr<TobjKernelDesigner> designer;
};

TEST_F(PresetBrowserWindow, ListsThePresetsFolderInItsColumn) {
    ASSERT_NE(List(), nullptr);
    EXPECT_TRUE(IsWindowVisible(List()));
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Rooms", "a.b.ker", "Hall.ker", "LOUD.KER", "notes.txt"}));
    ExpectIn(Presets(), "Presets");
}

TEST_F(PresetBrowserWindow, AddSavesTheKernelClickNamesItAndDoubleClickLoadsIt) {
    designer->Model().LeftKernel.LoadRecords({Rec(0, 0.5L), Rec(3, 0.75L), Rec(4, -0.5L)});
    designer->Model().UpdateChannelStats(1);
    Type("Chapel");
    EXPECT_TRUE(designer->Btn_Add->Enabled());
    EXPECT_TRUE(designer->Btn_Del->Enabled());
    Press(designer->Btn_Add);
    EXPECT_TRUE(prompts.Messages.empty()) << LastMessage();
    EXPECT_TRUE(fs::exists(Presets() + "Chapel.ker"));
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Rooms", "a.b.ker", "Chapel.ker", "Hall.ker", "LOUD.KER",
                                                 "notes.txt"}));
    EXPECT_EQ(designer->Caption(), "Kernel: Chapel");
    EXPECT_EQ(designer->Edt_PrstEntry->Text(), "");
    EXPECT_FALSE(designer->Btn_Add->Enabled());

    // A click names the preset, whatever the case of its extension and however many dots it has.
    for (const auto& [item, title] : {std::pair<std::string, std::string>{"Hall.ker", "Hall"},
                                      {"a.b.ker", "a.b"},
                                      {"LOUD.KER", "LOUD"}}) {
        Click(item);
        EXPECT_EQ(designer->Edt_PrstEntry->Text(), title) << item;
    }
    Type("");
    Click("notes.txt");
    EXPECT_EQ(designer->Edt_PrstEntry->Text(), "");

    const int undoBefore = designer->Controller().Undoer()->Count();
    DoubleClick("Hall.ker");
    EXPECT_EQ(designer->Caption(), "Kernel: Hall");
    EXPECT_EQ(UndoDescription(), "Load Preset");
    EXPECT_EQ(designer->Controller().Undoer()->Count(), undoBefore + 1);
    ASSERT_EQ(designer->Model().LeftKernel.Count(), 2);
    EXPECT_EQ(designer->Model().LeftKernel.Impulse(1), 9);
    ExpectIn(Presets(), "Presets");
}

TEST_F(PresetBrowserWindow, NewFolderBrowseInAddThereUpFolderAndPresetsRoot) {
    prompts.OnShowModal = [](TForm& form) {
        auto& dialog = dynamic_cast<TobjNewFolderDlg&>(form);
        dialog.Edit1->SetText("Halls");
        test::ClickButton(dialog.Button1->Handle());
        return form.ModalResult();
    };
    Press(designer->BtBtn_NewFolder);
    EXPECT_TRUE(fs::is_directory(Presets() + "Halls"));
    EXPECT_EQ(Shown().at(0), "Halls");
    EXPECT_EQ(Shown().at(1), "Rooms");

    ChangePresetsFolderTime();
    DoubleClick("Halls");
    ExpectIn(Presets() + "Halls\\", "Halls");
    EXPECT_TRUE(Shown().empty());
    Type("Small");
    Press(designer->Btn_Add);
    EXPECT_TRUE(fs::exists(Presets() + "Halls\\Small.ker"));
    EXPECT_EQ(Shown(), std::vector<std::string>{"Small.ker"});

    Press(designer->BtBtn_UpFolder);
    ExpectIn(Presets(), "Presets");
    EXPECT_EQ(Shown().at(0), "Halls");
    // At the root Up Folder stays.
    Press(designer->BtBtn_UpFolder);
    ExpectIn(Presets(), "Presets");

    DoubleClick("Rooms");
    ExpectIn(Presets() + "Rooms\\", "Rooms");
    Press(designer->BtBtn_PrstRoot);
    ExpectIn(Presets(), "Presets");
    EXPECT_EQ(IndexOf("Hall.ker") >= 0, true);
    EXPECT_TRUE(prompts.Messages.empty()) << LastMessage();
}

TEST_F(PresetBrowserWindow, TheListsOwnKeysMoveTheFolderButNeverAboveThePresets) {
    Click("Rooms");
    Key(VK_RETURN);
    ExpectIn(Presets() + "Rooms\\", "Rooms");
    Key(VK_BACK);
    ExpectIn(Presets(), "Presets");
    Key(VK_BACK);
    ExpectIn(Presets(), "Presets");
    EXPECT_EQ(IndexOf("Hall.ker"), 2);

    // A file that is no preset, or empty space, changes no folder.
    DoubleClick("notes.txt");
    ExpectIn(Presets(), "Presets");
    DoubleClickEmptySpace();
    ExpectIn(Presets(), "Presets");
    EXPECT_EQ(IndexOf("Hall.ker"), 2);
}

TEST_F(PresetBrowserWindow, DelRemovesTheNamedPresetAndRefusalsChangeNothing) {
    Click("a.b.ker");
    Press(designer->Btn_Del);
    EXPECT_TRUE(prompts.Messages.empty()) << LastMessage();
    EXPECT_FALSE(fs::exists(Presets() + "a.b.ker"));
    EXPECT_EQ(IndexOf("a.b.ker"), -1);

    Type("Missing");
    Press(designer->Btn_Del);
    EXPECT_EQ(LastMessage(), "That preset does not exist in this folder.");

    // A duplicate name keeps its text.
    Type("Hall");
    Press(designer->Btn_Add);
    EXPECT_EQ(LastMessage(), "The preset name must be unique in this collection.");
    EXPECT_EQ(designer->Edt_PrstEntry->Text(), "Hall");

    // Names that leave the folder are refused, and nothing outside it changes.
    const auto before = fs::last_write_time(folder.Path() + "User\\Keep.ker");
    for (const char* name : {"..\\Keep", "..\\..\\User\\Keep", "..", "NUL"}) {
        SCOPED_TRACE(name);
        prompts.Messages.clear();
        Type(name);
        Press(designer->Btn_Del);
        EXPECT_EQ(LastMessage(), "Preset names can only contain characters\rthat are valid in a file name.");
        prompts.Messages.clear();
        Press(designer->Btn_Add);
        EXPECT_EQ(LastMessage(), "Preset names can only contain characters\rthat are valid in a file name.");
    }
    EXPECT_TRUE(fs::exists(folder.Path() + "User\\Keep.ker"));
    EXPECT_EQ(fs::last_write_time(folder.Path() + "User\\Keep.ker"), before);
    EXPECT_FALSE(fs::exists(folder.Path() + "User\\Presets.ker"));
    EXPECT_FALSE(fs::exists(folder.Path() + "Keep.ker.ker"));
}

TEST_F(PresetBrowserWindow, ThePresetsMenuDoesWhatTheButtonsDo) {
    DoubleClick("Rooms");
    Menu("MnItm_UpFolder");
    ExpectIn(Presets(), "Presets");
    DoubleClick("Rooms");
    Menu("MnItm_PresetsRoot");
    ExpectIn(Presets(), "Presets");

    // Add with an empty name says what is missing.
    Menu("MnItm_AddPreset");
    EXPECT_EQ(LastMessage(), "You need to name the preset before\radding it to the collection.");
    Type("Crypt");
    Menu("MnItm_AddPreset");
    EXPECT_TRUE(fs::exists(Presets() + "Crypt.ker"));
    Type("Crypt");
    Menu("MnItm_DeletePreset");
    EXPECT_FALSE(fs::exists(Presets() + "Crypt.ker"));
}

TEST_F(PresetBrowserWindow, SetUpMakesAMissingPresetsFolderAndRootsTheListThere) {
    KernelTestFolder fresh;
    TobjKernelDesigner other(nullptr);
    other.ShowButtons = false;
    other.Embedded = true;
    other.SetupSession(nullptr, nullptr, nullptr, fresh.Path(), 0);
    EXPECT_TRUE(fs::is_directory(fresh.Path() + "User\\Presets"));
    EXPECT_EQ(other.CurrentFolder, fresh.Path() + "User\\Presets\\");
    EXPECT_EQ(other.Rpt_CllctName->Caption(), "Presets");
}

} // namespace
} // namespace tarvola
