#include "forms/Dialogs.h"
#include "kernel/designers/EchoDesignerForm.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WindowDriver.h"
#include "TapDesignTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace tarvola {
namespace {

constexpr const char* kCaption = "Echo Designer v1.02";
using K = TSourceKind;

void SetText(TControl& control, const char* text) {
    SendMessageA(static_cast<TWinControl&>(control).Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// Kernels holding the dry record, a program folder of the test's own, and the user's answers.
class EchoDesignerDialog : public DesignerKernels {
protected:
    void TearDown() override { test::CancelPendingActions(); }

    // What the kernel designer window does from its Designers menu.
    void Run(std::int32_t sampleRate, std::int32_t target, std::function<void(TobjEchoDesigner&)> user) {
        bool acted = false;
        test::WhenWindowShows(kCaption, [&](HWND window) {
            user(dynamic_cast<TobjEchoDesigner&>(*TWinControl::FromHandle(window)));
            acted = true;
        });
        RunEffectDesigner<TobjEchoDesigner>(nullptr, sampleRate, target, folder_.Path(), model_);
        EXPECT_TRUE(acted);
    }

    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const TMessageRequest& request : prompts_.Messages)
            texts.push_back(request.text);
        return texts;
    }

    DesignerProgramFolder folder_;
    test::TScriptedPrompts prompts_;
};

void ExpectKernel(const TobjHistData& kernel, const std::vector<TImpulseRec>& expected) {
    ASSERT_EQ(Impulses(kernel.Records()), Impulses(expected));
    for (std::int32_t i = 0; i < kernel.Count(); ++i) {
        EXPECT_NEAR(static_cast<double>(kernel.Value(i)),
                    static_cast<double>(expected[static_cast<std::size_t>(i)].Value), 1e-15);
        EXPECT_EQ(kernel.Kind(i), expected[static_cast<std::size_t>(i)].Kind);
    }
}

TEST_F(EchoDesignerDialog, ScriptedRunsReproduceTheDefaultKernels) {
    const TImpulseRec dry = Rec(0, 1);
    Run(44100, 0, [](TobjEchoDesigner& d) { test::ClickButton(d.Btn_Generate->Handle()); });
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{kEchoSettingsMissingText});
    ExpectKernel(model_.LeftKernel, {dry, Rec(13230, 0.6L, K::Output)});
    ExpectKernel(model_.RightKernel, {dry, Rec(13892, 0.6L, K::Output)});
    EXPECT_TRUE(model_.LeftKernel.Notify);

    // The settings Generate read were saved, derived fields included.
    prompts_.Messages.clear();
    const TEchoSettings saved = LoadEchoSettings(folder_.Path(), [](const std::string&) {});
    EXPECT_EQ(saved.RecrsDelaySmpls, 13230);
    EXPECT_EQ(saved.RecrsDelayRSmpls, 13892);

    SetUp();
    Run(44100, 0, [](TobjEchoDesigner& d) {
        test::ClickButton(d.ChBx_UseConvolution->Handle());
        EXPECT_FALSE(d.ChBx_UseRecursive->Checked());
        test::ClickButton(d.Btn_Generate->Handle());
    });
    EXPECT_TRUE(prompts_.Messages.empty());
    const std::vector<long double> v = {0.75L, 0.66L, 0.57L, 0.48L, 0.39L};
    ExpectKernel(model_.LeftKernel, {dry, Rec(15435, v[0]), Rec(29988, v[1]), Rec(43659, v[2]),
                                     Rec(56448, v[3]), Rec(68355, v[4])});
    ExpectKernel(model_.RightKernel, {dry, Rec(15656, v[0]), Rec(30429, v[1]), Rec(44320, v[2]),
                                      Rec(57330, v[3]), Rec(69458, v[4])});
    EXPECT_EQ(LoadEchoSettings(folder_.Path(), [](const std::string&) {}).Mode, 1);
}

TEST_F(EchoDesignerDialog, TheTargetShiftsTheEcho) {
    Run(44100, 5000, [](TobjEchoDesigner& d) {
        test::ClickButton(d.ChBx_Recrs_Filter->Handle());
        test::ClickButton(d.Btn_Generate->Handle());
    });
    const std::vector<TImpulseRec> left = model_.LeftKernel.Records();
    ASSERT_EQ(left.size(), 12u);
    EXPECT_EQ(left[1].Impulse, 5000 + 13230 - 5);
    EXPECT_EQ(left.back().Impulse, 5000 + 13230 + 5);
}

TEST_F(EchoDesignerDialog, KindsAreExclusiveAndFilterBoxesEnableTheirGroups) {
    TobjEchoDesigner d(nullptr);
    d.Setup(44100, 0, folder_.Path(), model_);
    EXPECT_TRUE(d.ChBx_UseRecursive->Checked());
    EXPECT_TRUE(d.SpEd_Recrs_Delay->Enabled());
    EXPECT_FALSE(d.SpEd_Conv_InitDelay->Enabled());
    EXPECT_FALSE(d.RdGp_Recrs_Timbre->Enabled()) << "filter off";

    test::ClickButton(d.ChBx_Recrs_Filter->Handle());
    EXPECT_TRUE(d.RdGp_Recrs_Timbre->Enabled());
    EXPECT_TRUE(d.TkBr_Recrs_MixLvl->Enabled());
    EXPECT_EQ(d.Settings().RecrsFilter, 1);

    test::ClickButton(d.ChBx_UseRecursive->Handle()); // off: the convolution echo takes over
    EXPECT_TRUE(d.ChBx_UseConvolution->Checked());
    EXPECT_FALSE(d.SpEd_Recrs_Delay->Enabled());
    EXPECT_FALSE(d.RdGp_Recrs_Timbre->Enabled());
    EXPECT_TRUE(d.SpEd_Conv_InitDelay->Enabled());
    EXPECT_FALSE(d.SpEd_Conv_FltrOrder->Enabled());
    EXPECT_EQ(d.Lbl_SmplRate->Caption(), "44100");
}

TEST_F(EchoDesignerDialog, FailedGenerationsWarnWriteNothingAndStayOpen) {
    const std::vector<TImpulseRec> left = model_.LeftKernel.Records();
    const std::vector<TImpulseRec> right = model_.RightKernel.Records();
    const struct {
        const char* name;
        std::function<void(TobjEchoDesigner&)> edit;
        std::string warning;
    } cases[] = {
        {"delay overflowing with the rate", [](TobjEchoDesigner& d) { d.SpEd_Recrs_Delay->SetValue(48696); },
         "Integer overflow"},
        {"number too large, left before Generate",
         [](TobjEchoDesigner& d) {
             SetFocus(d.SpEd_Recrs_Value->Handle());
             SetText(*d.SpEd_Recrs_Value, "99999999999");
             SetFocus(d.Btn_Generate->Handle()); // the field puts its minimum in place of the text
             EXPECT_EQ(d.SpEd_Recrs_Value->Text(), "0");
         },
         *RefusedNumberText("Strength %", "99999999999")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_.Messages.clear();
        bool stillOpen = false;
        Run(44100, 0, [&](TobjEchoDesigner& d) {
            c.edit(d);
            test::ClickButton(d.Btn_Generate->Handle());
            stillOpen = IsWindowVisible(d.Handle()) != FALSE;
            test::ClickButton(d.Btn_Cancel->Handle());
        });
        EXPECT_TRUE(stillOpen);
        ASSERT_FALSE(prompts_.Messages.empty());
        EXPECT_EQ(prompts_.Messages.back().text, c.warning);
        EXPECT_EQ(prompts_.Messages.back().type, TMsgDlgType::mtWarning);
        ExpectUntouched(left, right);
    }
}

TEST_F(EchoDesignerDialog, AnUnusableSampleRateKeepsThePreviousOne) {
    TobjEchoDesigner d(nullptr);
    d.Setup(0, 0, folder_.Path(), model_);
    EXPECT_EQ(d.DesignRate(), 44100);
    d.Setup(48000, 0, folder_.Path(), model_);
    EXPECT_EQ(d.DesignRate(), 48000);
    EXPECT_EQ(d.Lbl_SmplRate->Caption(), "48000");
}

// Set TARVOLA_SCREENSHOT_SECONDS to keep the dialog on screen for a screenshot of the display, and
// TARVOLA_SCREENSHOT_PAGE to choose the page shown.
TEST_F(EchoDesignerDialog, StaysOnScreenForAScreenshotWhenAsked) {
    const char* seconds = std::getenv("TARVOLA_SCREENSHOT_SECONDS");
    if (seconds == nullptr)
        GTEST_SKIP() << "no screenshot asked for";
    const char* page = std::getenv("TARVOLA_SCREENSHOT_PAGE");
    TobjEchoDesigner d(nullptr);
    d.Setup(44100, 0, folder_.Path(), model_);
    d.PgCtl_Echo->SetActivePageIndex(page ? std::atoi(page) : 0);
    d.Show();
    test::PumpFor(std::chrono::seconds(std::atoi(seconds)));
}

} // namespace
} // namespace tarvola
