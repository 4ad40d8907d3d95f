// The system's open and save dialogs, driven like a user: the filter choice, the type-change event that
// rewrites the name, and the chosen file.
#include "forms/FileDialogs.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowDriver.h"

#include <dlgs.h>
#include <gtest/gtest.h>

namespace tarvola {
namespace {

std::string WithExtension(const std::string& name, const std::string& extension) {
    const std::size_t slash = name.find_last_of("\\/");
    const std::size_t dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? name.substr(0, dot) : name) + extension;
}

class SaveDialogTest : public ::testing::Test {
protected:
    SaveDialogTest() : dialog(nullptr) {
        dialog.SetTitle("Save Audio File");
        dialog.SetFilter("RIFF Wave|*.wav|AudioInterchange|*.aif|Raw PCM|*.pcm");
        dialog.SetOptions(ofOverwritePrompt | ofHideReadOnly);
        dialog.SetInitialDir(folder.Path().string());
        dialog.SetFileName("b.wav");
        dialog.OnTypeChange = [this](TObject&) {
            static const char* extensions[] = {".wav", ".aiff", ".pcm"};
            const int index = dialog.FilterIndex();
            ASSERT_TRUE(index >= 1 && index <= 3);
            dialog.SetFileName(WithExtension(dialog.FileName(), extensions[index - 1]));
        };
    }
    ~SaveDialogTest() override { test::CancelPendingActions(); }

    // Chooses the filter at that position (0-based) as the user does, and returns the name shown then.
    static std::string ChooseFilter(HWND box, int position) {
        HWND types = GetDlgItem(box, cmb1);
        SendMessageA(types, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
        SendMessageA(box, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
        SendMessageA(box, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
        HWND name = GetDlgItem(box, edt1) != nullptr ? GetDlgItem(box, edt1) : GetDlgItem(box, cmb13);
        return test::WindowText(name);
    }

    test::TTempFolder folder;
    TSaveDialog dialog;
};

TEST_F(SaveDialogTest, TypeChangeRewritesTheNameInTheOpenDialog) {
    std::string shown;
    int changes = 0;
    auto rewrite = dialog.OnTypeChange;
    dialog.OnTypeChange = [&](TObject& sender) {
        ++changes;
        rewrite(sender);
    };
    test::WhenWindowShows("Save Audio File", [&](HWND box) {
        shown = ChooseFilter(box, 1);
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(shown, "b.aiff");
}

TEST_F(SaveDialogTest, ChosenNameAndFilterComeBack) {
    test::WhenWindowShows("Save Audio File", [&](HWND box) {
        ChooseFilter(box, 2);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FilterIndex(), 3);
    const std::string name = dialog.FileName();
    ASSERT_GE(name.size(), 6u);
    EXPECT_EQ(name.substr(name.size() - 6), "\\b.pcm");
    EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST_F(SaveDialogTest, NameWithoutExtensionStaysWithoutOne) {
    dialog.SetFileName("raw");
    test::WhenWindowShows("Save Audio File", [&](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
    ASSERT_TRUE(dialog.Execute());
    const std::string name = dialog.FileName();
    ASSERT_GE(name.size(), 4u);
    EXPECT_EQ(name.substr(name.size() - 4), "\\raw");
}

TEST(OpenDialog, OpensAnExistingFileAndCancelAnswersFalse) {
    test::TTempFolder folder;
    folder.Write("a.wav", "RIFF");
    TOpenDialog dialog(nullptr);
    dialog.SetTitle("Open Audio File");
    dialog.SetFilter("RIFF Wave|*.wav|All Files|*.*");
    dialog.SetOptions(ofPathMustExist | ofFileMustExist | ofHideReadOnly | ofNoChangeDir);
    dialog.SetInitialDir(folder.Path().string());
    dialog.SetFileName("a.wav");
    test::WhenWindowShows("Open Audio File", [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName().substr(dialog.FileName().size() - 6), "\\a.wav");

    test::WhenWindowShows("Open Audio File", [](HWND box) { PostMessageA(box, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_FALSE(dialog.Execute());
    test::CancelPendingActions();
}

} // namespace
} // namespace tarvola
