// Message dialogs: the system's boxes and our own Abort + Ignore box, driven like a user.
#include "forms/Application.h"
#include "forms/Dialogs.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WindowDriver.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarvola {
namespace {

TEST(Dialogs, AbortIgnoreBoxReturnsEachAnswer) {
    struct TCase {
        const char* what;
        std::function<void(HWND)> act;
        TModalResult expected;
    };
    const TCase cases[] = {
        {"Abort button", [](HWND box) { test::ClickButton(test::FindChildWithText(box, "&Abort")); },
         mrAbort},
        {"Ignore button", [](HWND box) { test::ClickButton(test::FindChildWithText(box, "&Ignore")); },
         mrIgnore},
        {"Esc", [](HWND box) { PostMessageA(GetFocus() ? GetFocus() : box, WM_KEYDOWN, VK_ESCAPE, 1); },
         mrAbort},
        {"close box", [](HWND box) { PostMessageA(box, WM_CLOSE, 0, 0); }, mrAbort},
    };
    for (const TCase& c : cases) {
        bool onlyTwoButtons = false;
        std::string text;
        test::WhenWindowShows("Error", [&](HWND box) {
            onlyTwoButtons = test::FindChildWithText(box, "&Retry") == nullptr &&
                             test::FindChildWithText(box, "OK") == nullptr &&
                             test::FindChildWithText(box, "&Abort") != nullptr &&
                             test::FindChildWithText(box, "&Ignore") != nullptr;
            c.act(box);
        });
        const TModalResult answer = RunMessageBox(TMessageRequest{
            "Error", "The header is damaged.\rContinue?", TMsgDlgType::mtError, mbAbort | mbIgnore});
        EXPECT_EQ(answer, c.expected) << c.what;
        EXPECT_TRUE(onlyTwoButtons) << c.what;
        EXPECT_FALSE(test::ActionsPending()) << c.what;
        test::CancelPendingActions();
    }
}

TEST(Dialogs, SystemBoxesReturnTheChosenButton) {
    struct TCase {
        TMsgDlgButtons buttons;
        const char* press;
        TModalResult expected;
    };
    const TCase cases[] = {
        {mbOK, "OK", mrOk},
        {mbYes | mbNo, "&No", mrNo},
        {mbYes | mbNo, "&Yes", mrYes},
    };
    for (const TCase& c : cases) {
        test::WhenWindowShows("Warning", [&](HWND box) {
            HWND button = test::FindChildWithText(box, c.press);
            if (button != nullptr) {
                test::ClickButton(button);
            } else {
                PostMessageA(box, WM_CLOSE, 0, 0);
            }
        });
        const TModalResult answer =
            RunMessageBox(TMessageRequest{"Warning", "Proceed?", TMsgDlgType::mtWarning, c.buttons});
        EXPECT_EQ(answer, c.expected) << c.press;
        test::CancelPendingActions();
    }
}

TEST(Dialogs, MessageDlgTitlesByType) {
    test::TScriptedPrompts prompts;
    prompts.Answers = {mrNo};
    EXPECT_EQ(MessageDlg("Do you wish to halt processing?", TMsgDlgType::mtConfirmation, mbYes | mbNo), mrNo);
    EXPECT_EQ(MessageDlg("Could not open file or create new file.", TMsgDlgType::mtError, mbOK), mrOk);
    EXPECT_EQ(MessageDlg("Header check", TMsgDlgType::mtError, mbAbort | mbIgnore), mrAbort);
    ASSERT_EQ(prompts.Messages.size(), 3u);
    EXPECT_EQ(prompts.Messages[0].caption, "Confirm");
    EXPECT_EQ(prompts.Messages[1].caption, "Error");
    EXPECT_EQ(prompts.Messages[2].buttons, mbAbort | mbIgnore);
}

} // namespace
} // namespace tarvola
