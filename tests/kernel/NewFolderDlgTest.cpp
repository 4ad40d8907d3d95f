// The New Folder dialog: its layout, what OK accepts, and the ways out that create nothing.
#include "forms/Dialogs.h"
#include "kernel/NewFolderDlg.h"
#include "tests/kernel/KernelTestFolder.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WindowDriver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tarvola {
namespace {

class NewFolderDialog : public testing::Test {
protected:
    NewFolderDialog() {
        std::filesystem::create_directory(folder.Path() + "Rooms");
        dialog.ParentFolder = folder.Path();
    }
    void TearDown() override { test::CancelPendingActions(); }

    // The user types a name and presses OK; the dialog is not shown.
    TModalResult Accept(const std::string& name) {
        prompts.OnShowModal = [&](TForm& form) {
            dialog.Edit1->SetText(name);
            test::ClickButton(dialog.Button1->Handle());
            return form.ModalResult();
        };
        return dialog.ShowModal();
    }

    KernelTestFolder folder;
    test::TScriptedPrompts prompts;
    TobjNewFolderDlg dialog{nullptr};
};

TEST_F(NewFolderDialog, LaysOutItsQuestion) {
    EXPECT_EQ(dialog.Caption(), "New Folder Name");
    EXPECT_EQ(dialog.ClientWidth(), 215);
    EXPECT_EQ(dialog.ClientHeight(), 124);
    EXPECT_EQ(dialog.Label1->Caption(), "Please type a name for the new folder.");
    EXPECT_EQ(dialog.Edit1->Text(), "New Folder");
    EXPECT_EQ(dialog.Edit1->MaxLength(), 50);
    EXPECT_EQ(dialog.Button1->Caption(), "OK");
    EXPECT_EQ(dialog.Button2->Caption(), "Cancel");
    EXPECT_TRUE(dialog.Cancelled);
    EXPECT_EQ(dialog.NewPath, "");
}

TEST_F(NewFolderDialog, OKAcceptsOnlyANewUsableName) {
    const struct {
        const char* name;
        const char* message; // nullptr: accepted
    } cases[] = {
        {"", "A sub-folder with that name already exists in this folder."},
        {"Rooms", "A sub-folder with that name already exists in this folder."},
        {"ROOMS", "A sub-folder with that name already exists in this folder."},
        {"a:b", "The folder name must contain only valid filename characters."},
        {"..", "The folder name must contain only valid filename characters."},
        {"..\\Out", "The folder name must contain only valid filename characters."},
        {"NUL", "The folder name must contain only valid filename characters."},
        {"Halls", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.Messages.clear();
        const TModalResult result = Accept(c.name);
        if (c.message == nullptr) {
            EXPECT_EQ(result, mrOk);
            EXPECT_TRUE(prompts.Messages.empty());
            EXPECT_FALSE(dialog.Cancelled);
            EXPECT_EQ(dialog.NewPath, folder.Path() + c.name + "\\");
        } else {
            EXPECT_EQ(result, mrNone); // the dialog stays open
            ASSERT_EQ(prompts.Messages.size(), 1u);
            EXPECT_EQ(prompts.Messages[0].text, c.message);
            EXPECT_TRUE(dialog.Cancelled);
            EXPECT_EQ(dialog.NewPath, "");
        }
    }
    // The dialog only names the folder.
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "Halls"));
}

TEST_F(NewFolderDialog, WithoutAParentFolderOKDoesNothing) {
    dialog.ParentFolder = "";
    EXPECT_EQ(Accept("Halls"), mrNone);
    EXPECT_TRUE(prompts.Messages.empty());
    EXPECT_TRUE(dialog.Cancelled);
}

TEST_F(NewFolderDialog, CancelEscAndTheCloseBoxReportCancelSilently) {
    const std::vector<std::pair<const char*, std::function<void(HWND)>>> ways = {
        {"Cancel", [&](HWND) { test::ClickButton(dialog.Button2->Handle()); }},
        {"Esc", [&](HWND) { test::PostKey(dialog.Edit1->Handle(), VK_ESCAPE); }},
        {"close box", [](HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& [way, close] : ways) {
        SCOPED_TRACE(way);
        dialog.Edit1->SetText("Halls");
        test::WhenWindowShows("New Folder Name", close);
        EXPECT_NE(dialog.ShowModal(), mrOk);
        EXPECT_FALSE(test::ActionsPending());
        EXPECT_TRUE(dialog.Cancelled);
        EXPECT_EQ(dialog.NewPath, "");
        EXPECT_TRUE(prompts.Messages.empty());
    }
}

} // namespace
} // namespace tarvola
