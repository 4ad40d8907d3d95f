// Which window has the keyboard: the main window and its kernel designer share short cuts with different
// meanings (Ctrl+S is Save As in one and Block Adjust in the other), so every window that comes and goes
// over them - the progress window, the raw-format dialog, message boxes, the edit dialogs and the effect
// designers - must leave the window the user worked in active. Real windows and real modal runs under
// Wine; only the file dialogs and the shell are scripted.
#include "app/uTarvola_Application.h"
#include "forms/Application.h"
#include "forms/Dialogs.h"
#include "forms/Menus.h"
#include "forms/StdCtrls.h"
#include "kernel/KernelDesigner.h"
#include "kernel/KernelUndoer.h"
#include "kernel/TarvolaProcess.h"
#include "kernel/designers/DesignerForm.h"

#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "tests/support/ScriptedShell.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowDriver.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace tarvola {
namespace {

using namespace std::chrono_literals;
using test::PumpPending;

// A mono 16-bit headerless file: the raw-format dialog asks for its format.
std::string RawSamples(std::size_t frames) {
    std::string data;
    for (std::size_t i = 0; i < frames; ++i) {
        const auto sample = static_cast<std::uint16_t>(i * 997 % 20000);
        data.push_back(static_cast<char>(sample & 0xFF));
        data.push_back(static_cast<char>(sample >> 8));
    }
    return data;
}

std::string Describe(HWND window) {
    if (window == nullptr)
        return "(none)";
    const std::string caption = test::WindowText(window);
    return caption.empty() ? "(untitled designer)" : caption;
}

class Activation : public ::testing::Test {
protected:
    Activation() {
        Application().Initialize();
        pcmPath_ = folder_.Write("in.pcm", RawSamples(4000)).string();
        window_ = std::make_unique<TobjTarvola>(nullptr, folder_.Folder());
        window_->Show();
        // The progress window asks to halt only while the pointer rests on its panel: the pointer stays
        // away unless a case puts it there.
        Designer().ProcessRun().OnMeterMade = [this](TobjProgressMeter& meter) {
            meter.CursorPosition = [this, &meter] {
                if (hoverChecks_ > 0) {
                    --hoverChecks_;
                    const TScreenRect& r = meter.HoverRect();
                    return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
                }
                return POINT{-10000, -10000};
            };
        };
        PumpPending();
    }
    ~Activation() override {
        test::CancelPendingActions();
        window_.reset();
    }

    TobjKernelDesigner& Designer() { return window_->Designer(); }
    HWND Main() { return window_->Handle(); }
    HWND DesignerWindow() { return Designer().Handle(); }

    // The user clicks a window: it becomes the active and the foreground window.
    void ActivateByUser(HWND window) {
        SetForegroundWindow(window);
        SetActiveWindow(window);
        PumpPending();
    }
    void Click(const char* button) { test::ClickButton(window_->Find<TButton>(button).Handle()); }
    void DesignerMenu(const char* item) {
        SendMessageA(DesignerWindow(), WM_COMMAND, Designer().Find<TMenuItem>(item).Command(), 0);
    }
    // Answers the next window of that caption with one of its buttons.
    static void Answer(const char* caption, const char* button) {
        test::WhenWindowShows(caption, [button](HWND window) {
            HWND found = test::FindChildWithText(window, button);
            if (found != nullptr)
                test::ClickButton(found);
            else
                PostMessageA(window, WM_CLOSE, 0, 0);
        });
    }
    void OpenRawFile() {
        dialogs_.Choices.push_back({true, pcmPath_, 0});
        Answer("PCM Audio Properties", "OK");
        Click("Btn_LoadSave");
        PumpPending();
    }
    std::string UndoDescription() {
        const TobjKernelUndoer& undoer = *Designer().Controller().Undoer();
        return undoer.Entry(undoer.Current()).Description;
    }

    test::TTempFolder folder_;
    test::TScriptedFileDialogs dialogs_;
    test::TScriptedShell shell_;
    std::string pcmPath_;
    std::unique_ptr<TobjTarvola> window_;
    int hoverChecks_ = 0;
};

TEST_F(Activation, EveryWindowThatComesAndGoesLeavesTheUsersWindowActive) {
    struct Case {
        const char* path;
        bool fromDesigner; // else from the main window
        std::function<void()> act;
    };
    const std::vector<Case> cases = {
        {"open a .pcm file through the raw-format dialog", false, [&] { OpenRawFile(); }},
        {"Process", false, [&] { Click("Btn_Process"); }},
        {"Process, halt question answered No", false,
         [&] {
             hoverChecks_ = 1;
             Answer("Confirm", "&No");
             Click("Btn_Process");
         }},
        {"Undo in the main window", false, [&] { Click("Btn_Undo"); }},
        {"a message box", false,
         [&] {
             Answer("Tarvola", "OK");
             ShowMessage("A note for the user.");
         }},
        {"About box", false,
         [&] {
             Answer("About", "OK");
             SendMessageA(Main(), WM_COMMAND, window_->Find<TMenuItem>("MnItm_About").Command(), 0);
         }},
        {"Block Adjust confirmed", true,
         [&] {
             Answer("Block Value Adjust", "OK");
             DesignerMenu("MnItm_BlockAdjust");
         }},
        {"designer Undo", true, [&] { DesignerMenu("MnItm_Undo"); }},
        {"Amplify cancelled", true,
         [&] {
             Answer("Amplify", "Cancel");
             DesignerMenu("MnItm_Amplify");
         }},
        {"Harmonize cancelled", true,
         [&] {
             Answer("Harmonize", "Cancel");
             DesignerMenu("MnItm_Harmonize");
         }},
        {"Mirror cancelled", true,
         [&] {
             Answer("Mirror", "Cancel");
             DesignerMenu("MnItm_Mirror");
         }},
        {"Reset All answered No", true,
         [&] {
             Answer("Warning", "&No");
             DesignerMenu("MnItm_Reset");
         }},
        {"Filter designer cancelled", true,
         [&] {
             // The first run finds no settings file and says so.
             Answer("Warning", "OK");
             Answer("Filter Designer v1.02", "Cancel");
             DesignerMenu("MnItm_Filter");
         }},
        {"Echo designer cancelled", true,
         [&] {
             // The first run finds no settings file and says so.
             Answer("Warning", "OK");
             Answer("Echo Designer v1.02", "Cancel");
             DesignerMenu("MnItm_Echo");
         }},
        {"Resonance designer cancelled", true,
         [&] {
             // The first run finds no settings file and says so.
             Answer("Warning", "OK");
             Answer("Resonance Designer v1.02", "Cancel");
             DesignerMenu("MnItm_Resonance");
         }},
        {"Reverb designer cancelled", true,
         [&] {
             // The first run finds no settings file and says so.
             Answer("Warning", "OK");
             Answer("Reverb Designer v1.03", "Cancel");
             DesignerMenu("MnItm_Reverb");
         }},
        {"statistics window shown", true, [&] { DesignerMenu("MnItm_AbleStats"); }},
        {"Process after the designer's dialogs", false, [&] { Click("Btn_Process"); }},
    };

    std::string table =
        "\n  path                                               before -> active / foreground after\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        HWND user = c.fromDesigner ? DesignerWindow() : Main();
        ActivateByUser(user);
        ASSERT_EQ(GetActiveWindow(), user);
        c.act();
        PumpPending();
        const HWND active = GetActiveWindow();
        const HWND foreground = GetForegroundWindow();
        char line[256];
        std::snprintf(line, sizeof line, "  %-50s %s -> %s / %s\n", c.path, Describe(user).c_str(),
                      Describe(active).c_str(), Describe(foreground).c_str());
        table += line;
        EXPECT_EQ(active, user);
        EXPECT_EQ(foreground, user);
        EXPECT_FALSE(test::ActionsPending()) << "a dialog that was to be answered did not show";
        test::CancelPendingActions();
        EXPECT_TRUE(IsWindowEnabled(Main()));
        EXPECT_TRUE(IsWindowEnabled(DesignerWindow()));
    }
    std::printf("%s", table.c_str());
    EXPECT_TRUE(window_->Controller().Loaded());
    EXPECT_TRUE(Designer().ProcessOK());
}

// Each effect designer opens centred over the kernel designer window, its owner.
TEST_F(Activation, TheFourDesignersOpenCentredOverTheKernelDesigner) {
    RECT owner{};
    GetWindowRect(DesignerWindow(), &owner);
    const int ownerWidth = owner.right - owner.left;
    const int ownerHeight = owner.bottom - owner.top;
    struct Case {
        const char* item;
        const char* caption;
    };
    const Case cases[] = {{"MnItm_Filter", "Filter Designer v1.02"},
                          {"MnItm_Echo", "Echo Designer v1.02"},
                          {"MnItm_Resonance", "Resonance Designer v1.02"},
                          {"MnItm_Reverb", "Reverb Designer v1.03"}};
    std::printf("\n  kernel designer at (%ld,%ld), %d by %d\n", owner.left, owner.top, ownerWidth,
                ownerHeight);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        RECT shown{};
        Answer("Warning", "OK"); // no settings file yet
        test::WhenWindowShows(c.caption, [&](HWND dialog) {
            GetWindowRect(dialog, &shown);
            test::ClickButton(test::FindChildWithText(dialog, "Cancel"));
        });
        DesignerMenu(c.item);
        PumpPending();
        EXPECT_FALSE(test::ActionsPending());
        test::CancelPendingActions();
        const int width = shown.right - shown.left;
        const int height = shown.bottom - shown.top;
        ASSERT_GT(width, 0);
        std::printf("  %-26s at (%ld,%ld), %d by %d\n", c.caption, shown.left, shown.top, width, height);
        EXPECT_EQ(shown.left, owner.left + ownerWidth / 2 - width / 2);
        EXPECT_EQ(shown.top, owner.top + ownerHeight / 2 - height / 2);
    }
}

// The user's very next key after Process: Ctrl+S is the main window's Save As, not the designer's Block
// Adjust (which would change the kernel and record an undo entry).
TEST_F(Activation, CtrlSRightAfterProcessReachesTheMainWindowsSaveAs) {
    OpenRawFile();
    // A Block Adjust in the designer and its undo, then Process in the main window.
    ActivateByUser(DesignerWindow());
    Answer("Block Value Adjust", "OK");
    DesignerMenu("MnItm_BlockAdjust");
    DesignerMenu("MnItm_Undo");
    PumpPending();
    ActivateByUser(Main());
    ASSERT_EQ(GetActiveWindow(), Main());
    const std::string undoBefore = UndoDescription();
    bool blockAdjustShown = false;
    test::WhenWindowShows("Block Value Adjust", [&](HWND dialog) {
        blockAdjustShown = true;
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    Click("Btn_Process");
    PumpPending();
    ASSERT_TRUE(Designer().ProcessOK());

    const std::size_t runsBefore = dialogs_.Runs.size();
    dialogs_.Choices.push_back({false, "", 0}); // the user cancels the save dialog
    {
        test::TKeysDown ctrl({VK_CONTROL});
        HWND keyboard = GetFocus() != nullptr ? GetFocus() : GetActiveWindow();
        test::PostKey(keyboard, 'S');
        test::PumpUntil([&] { return dialogs_.Runs.size() > runsBefore || blockAdjustShown; }, 2s);
    }
    PumpPending();
    ASSERT_EQ(dialogs_.Runs.size(), runsBefore + 1);
    EXPECT_TRUE(dialogs_.Runs.back().save);
    EXPECT_EQ(dialogs_.Runs.back().title, "Save Audio File");
    EXPECT_FALSE(blockAdjustShown);
    EXPECT_EQ(UndoDescription(), undoBefore);
    test::CancelPendingActions();
}

} // namespace
} // namespace tarvola
