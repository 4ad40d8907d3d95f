#include "forms/Dialogs.h"
#include "kernel/designers/ResonanceDesignerForm.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WindowDriver.h"
#include "TapDesignTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace tarvola {
namespace {

constexpr const char* kCaption = "Resonance Designer v1.02";
using K = TSourceKind;

class ResonanceDesignerDialog : public DesignerKernels {
protected:
    void TearDown() override { test::CancelPendingActions(); }

    // What the kernel designer window does from its Designers menu.
    void Run(std::int32_t target, std::function<void(TobjResnceDesigner&)> user) {
        bool acted = false;
        test::WhenWindowShows(kCaption, [&](HWND window) {
            user(dynamic_cast<TobjResnceDesigner&>(*TWinControl::FromHandle(window)));
            acted = true;
        });
        RunEffectDesigner<TobjResnceDesigner>(nullptr, 44100, target, folder_.Path(), model_);
        EXPECT_TRUE(acted);
    }

    DesignerProgramFolder folder_;
    test::TScriptedPrompts prompts_;
};

TEST_F(ResonanceDesignerDialog, ScriptedRunsReproduceTheDefaultKernels) {
    Run(0, [](TobjResnceDesigner& d) { test::ClickButton(d.Btn_Generate->Handle()); });
    ASSERT_EQ(prompts_.Messages.size(), 1u);
    EXPECT_EQ(prompts_.Messages[0].text, kEchoSettingsMissingText);
    EXPECT_EQ(model_.LeftKernel.Records(), (std::vector<TImpulseRec>{Rec(0, 1), Rec(220, 0.6L, K::Output)}));
    EXPECT_EQ(model_.RightKernel.Records(), (std::vector<TImpulseRec>{Rec(0, 1), Rec(210, 0.6L, K::Output)}));

    SetUp();
    prompts_.Messages.clear();
    Run(0, [](TobjResnceDesigner& d) {
        test::ClickButton(d.ChBx_UseConvolution->Handle());
        test::ClickButton(d.Btn_Generate->Handle());
    });
    EXPECT_TRUE(prompts_.Messages.empty());
    EXPECT_EQ(Impulses(model_.LeftKernel.Records()),
              (std::vector<std::int32_t>{0, 441, 878, 1310, 1737, 2160, 2579, 2993, 3403, 3809, 4210}));
    EXPECT_EQ(Impulses(model_.RightKernel.Records()),
              (std::vector<std::int32_t>{0, 420, 836, 1248, 1656, 2059, 2459, 2855, 3246, 3634, 4017}));
    for (std::int32_t i = 1; i < model_.LeftKernel.Count(); ++i)
        EXPECT_NEAR(static_cast<double>(model_.LeftKernel.Value(i)), 0.9, 1e-15);
}

TEST_F(ResonanceDesignerDialog, NegativeStrengthMirrorsTheBarAndSurvivesTheSettingsFile) {
    {
        TobjResnceDesigner d(nullptr);
        d.Setup(44100, 0, folder_.Path(), model_);
        d.TkBr_Recrs_Value->SetPosition(700);
        EXPECT_EQ(d.Lbl_Strength->Caption(), "70.0");
        test::ClickButton(d.ChBx_NegStrength->Handle());
        EXPECT_EQ(d.TkBr_Recrs_Value->Min(), -999);
        EXPECT_EQ(d.TkBr_Recrs_Value->Max(), -100);
        EXPECT_EQ(d.TkBr_Recrs_Value->Position(), -700);
        EXPECT_EQ(d.Lbl_Strength->Caption(), "-70.0");
        test::ClickButton(d.ChBx_NegStrength->Handle());
        EXPECT_EQ(d.TkBr_Recrs_Value->Min(), 100);
        EXPECT_EQ(d.TkBr_Recrs_Value->Max(), 999);
        EXPECT_EQ(d.TkBr_Recrs_Value->Position(), 700);
    }

    Run(0, [](TobjResnceDesigner& d) {
        test::ClickButton(d.ChBx_NegStrength->Handle()); // 60.0 % becomes -60.0 %
        test::ClickButton(d.Btn_Generate->Handle());
    });
    EXPECT_EQ(model_.LeftKernel.Records()[1], Rec(220, -0.6L, K::Output));

    // The saved negative strength comes back ticked and negative, and a plain Generate keeps it.
    SetUp();
    Run(0, [](TobjResnceDesigner& d) {
        EXPECT_TRUE(d.ChBx_NegStrength->Checked());
        EXPECT_EQ(d.TkBr_Recrs_Value->Position(), -600);
        test::ClickButton(d.Btn_Generate->Handle());
    });
    EXPECT_EQ(model_.LeftKernel.Records()[1], Rec(220, -0.6L, K::Output));
    EXPECT_EQ(LoadResonanceSettings(folder_.Path(), [](const std::string&) {}).RecrsValue, -0.6L);
}

TEST_F(ResonanceDesignerDialog, FailedGenerationsWarnWriteNothingAndStayOpen) {
    const std::vector<TImpulseRec> left = model_.LeftKernel.Records();
    const std::vector<TImpulseRec> right = model_.RightKernel.Records();
    const struct {
        const char* name;
        std::function<void(TobjResnceDesigner&)> edit;
    } cases[] = {
        {"convolution frequency 0",
         [](TobjResnceDesigner& d) {
             test::ClickButton(d.ChBx_UseConvolution->Handle());
             d.SpEd_Conv_InitFreq->SetValue(0);
         }},
        {"right frequency brought to 0 by the detune",
         [](TobjResnceDesigner& d) {
             test::ClickButton(d.ChBx_UseConvolution->Handle());
             d.SpEd_Conv_InitFreq->SetValue(-5);
             d.TkBr_Conv_Stereo->SetPosition(50);
         }},
        {"high pass at mix 0 %",
         [](TobjResnceDesigner& d) {
             test::ClickButton(d.ChBx_Recrs_Filter->Handle());
             test::ClickButton(d.RdGp_Recrs_Timbre->Buttons(1).Handle());
             d.TkBr_Recrs_MixLvl->SetPosition(100);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_.Messages.clear();
        bool stillOpen = false;
        Run(0, [&](TobjResnceDesigner& d) {
            c.edit(d);
            test::ClickButton(d.Btn_Generate->Handle());
            stillOpen = IsWindowVisible(d.Handle()) != FALSE;
            test::ClickButton(d.Btn_Cancel->Handle());
        });
        EXPECT_TRUE(stillOpen);
        ASSERT_FALSE(prompts_.Messages.empty());
        EXPECT_EQ(prompts_.Messages.back().type, TMsgDlgType::mtWarning);
        ExpectUntouched(left, right);
    }
}

TEST_F(ResonanceDesignerDialog, TheTapFieldOffersNoMoreThanTheDesignHolds) {
    TResonanceSettings stored;
    stored.ConvNmbrTaps = 500;
    ASSERT_TRUE(SaveResonanceSettings(folder_.Path(), stored, [](const std::string&) {}));
    TobjResnceDesigner d(nullptr);
    d.Setup(44100, 0, folder_.Path(), model_);
    EXPECT_EQ(d.SpEd_Conv_NmbrTaps->Value(), 100);
    d.SpEd_Conv_NmbrTaps->SetValue(101);
    EXPECT_EQ(d.SpEd_Conv_NmbrTaps->Value(), 100);
}

// Set TARVOLA_SCREENSHOT_SECONDS to keep the dialog on screen for a screenshot of the display, and
// TARVOLA_SCREENSHOT_PAGE to choose the page shown.
TEST_F(ResonanceDesignerDialog, StaysOnScreenForAScreenshotWhenAsked) {
    const char* seconds = std::getenv("TARVOLA_SCREENSHOT_SECONDS");
    if (seconds == nullptr)
        GTEST_SKIP() << "no screenshot asked for";
    const char* page = std::getenv("TARVOLA_SCREENSHOT_PAGE");
    TobjResnceDesigner d(nullptr);
    d.Setup(44100, 0, folder_.Path(), model_);
    d.PgCtl_Resonance->SetActivePageIndex(page ? std::atoi(page) : 0);
    d.Show();
    test::PumpFor(std::chrono::seconds(std::atoi(seconds)));
}

} // namespace
} // namespace tarvola
