// The reverb designer window under Wine: its controls driven through the form layer, its handlers called
// as the controls call them, without entering the modal loop.
#include "kernel/designers/ReverbDesignerForm.h"

#include "forms/Application.h"
#include "forms/Graphics.h"
#include "kernel/designers/ReverbExport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace tarvola {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class ReverbDesignerWindow : public testing::Test {
protected:
    void SetUp() override {
        Application().Initialize();
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::temp_directory_path() / (std::string("tarvola-reverb-window-") + info->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        form = std::make_unique<TobjReverbDesigner>(nullptr);
    }
    void TearDown() override {
        form.reset();
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    void SetUpForm(std::int32_t rate = 44100, std::int32_t target = 100) {
        form->Setup(rate, target, folder.string(), model);
    }
    ReverbState& State() { return form->State(); }

    static std::vector<std::uint8_t> Image(const TobjHistData& kernel) {
        std::vector<std::uint8_t> bytes;
        for (std::int32_t i = 0; i < kernel.Count(); ++i)
            bytes.insert(bytes.end(), kernel.RecordBytes(i), kernel.RecordBytes(i) + kImpulseRecSize);
        return bytes;
    }
    static int CountKind(const TobjHistData& kernel, TSourceKind kind) {
        int n = 0;
        for (std::int32_t i = 0; i < kernel.Count(); ++i)
            n += kernel.Kind(i) == kind ? 1 : 0;
        return n;
    }

    test::TScriptedPrompts prompts;
    fs::path folder;
    KernelModel model;
    std::unique_ptr<TobjReverbDesigner> form;
};

TEST_F(ReverbDesignerWindow, ShowsTheDefaultsAtFirstUse) {
    SetUpForm(0);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].text, kReverbMissingSettingsText);
    EXPECT_EQ(prompts.Messages[0].type, TMsgDlgType::mtWarning);
    EXPECT_EQ(form->Caption(), "Reverb Designer v1.03");
    EXPECT_EQ(form->ClientWidth(), 499);
    EXPECT_EQ(form->ClientHeight(), 271);
    EXPECT_EQ(State().SampleRate, 44100);
    EXPECT_EQ(form->Lbl_SmplRate->Caption(), "44100");
    EXPECT_EQ(form->TkBr_ERStrength->Position(), 25);
    EXPECT_EQ(form->TkBr_ERSize->Position(), 0);
    EXPECT_EQ(form->TkBr_GRTime->Position(), 3300);
    EXPECT_EQ(form->TkBr_GRSize->Position(), 0);
    EXPECT_EQ(form->TkBr_Filtration->Position(), 50);
    EXPECT_EQ(form->Lbl_Filtration->Caption(), "0.50");
    EXPECT_EQ(form->TkBr_ERSeprtn->Position(), 1050);
    EXPECT_EQ(form->Lbl_ERSeprtn->Caption(), "1.050");
    EXPECT_EQ(form->TkBr_GRSeprtn->Position(), 1100);
    EXPECT_EQ(form->Lbl_GRSeprtn->Caption(), "1.100");
    EXPECT_TRUE(form->RadBtn_Overwrite->Checked());
    EXPECT_FALSE(form->RadBtn_MixInto->Checked());
    EXPECT_EQ(form->TkBar_MixLvl_Left->Position(), 50);
    EXPECT_EQ(form->TkBr_MixLvl_Right->Position(), 50);
    EXPECT_EQ(form->Lbl_PcentL->Caption(), "50");
    EXPECT_EQ(form->Spn_TargetImpls->Value(), 100);
    EXPECT_EQ(form->PageIndex(), 0);
    EXPECT_TRUE(form->RdGp_ERType->Buttons(4).HandleAllocated());
    EXPECT_TRUE(form->RdGp_ERType->Buttons(0).Checked());
    EXPECT_EQ(State().Settings.ERStrength, 0.75L);
    EXPECT_EQ(State().Settings.GRTime, 700);
}

TEST_F(ReverbDesignerWindow, ShowsTheLoadedWetShareAndSavesAtClose) {
    auto stored = MakeReverbState();
    stored->Settings.WetL = 0.8L;
    stored->Settings.DryL = 0.2L;
    stored->Settings.WriteMode = kWriteMix;
    stored->Settings.GRType = GRCavern;
    stored->Settings.Filtration = 0.25L;
    ASSERT_TRUE(SaveReverbSettings(*stored, folder.string(), [](const std::string&) {}));
    SetUpForm();
    EXPECT_TRUE(prompts.Messages.empty());
    EXPECT_EQ(form->TkBar_MixLvl_Left->Position(), 20);
    EXPECT_EQ(form->Lbl_PcentL->Caption(), "80");
    EXPECT_EQ(State().Settings.WetL, 0.8L);
    EXPECT_EQ(State().Settings.DryL, 1 - 0.8L);
    EXPECT_TRUE(form->RadBtn_MixInto->Checked());
    EXPECT_FALSE(form->RadBtn_Overwrite->Checked());
    EXPECT_EQ(form->RdGp_GRType->ItemIndex(), GRCavern);
    EXPECT_EQ(form->Lbl_Filtration->Caption(), "0.25");

    form->RadBtn_Overwrite->SetChecked(true); // a click stores the write mode at once
    EXPECT_EQ(State().Settings.WriteMode, kWriteOverwrite);
    EXPECT_FALSE(form->RadBtn_MixInto->Checked());
    form->Cancel_Click(*form->Btn_Cancel);
    ASSERT_TRUE(form->SaveSettings());
    auto reloaded = MakeReverbState();
    ASSERT_TRUE(LoadReverbSettings(*reloaded, folder.string(), [](const std::string&) {}));
    EXPECT_EQ(reloaded->Settings, State().Settings);
    EXPECT_EQ(reloaded->Settings.WriteMode, kWriteOverwrite);
}

TEST_F(ReverbDesignerWindow, DelayTypedForARegenerator) {
    SetUpForm();
    form->SelectPage(2);
    ASSERT_EQ(form->PageIndex(), 2);
    form->Spn_ERNmbr->SetValue(2);
    ASSERT_EQ(form->CurrentERIndex(), 1);
    form->Edt_ER_Delay->SetText("10");
    EXPECT_EQ(State().Banks.ER[0][1].DelaySmpls, 441);
    EXPECT_EQ(State().Banks.ER[1][1].Delay, 10.5L);
    EXPECT_EQ(State().Banks.ER[1][1].DelaySmpls, 463);

    form->Spn_ERNmbr->SetValue(1);
    form->Edt_ER_Delay->SetText("10");
    EXPECT_NEAR(static_cast<double>(State().Banks.ER[1][0].Delay), 9.5238095, 1e-7);
    EXPECT_EQ(State().Banks.ER[1][0].DelaySmpls, 420);

    const ReverbBanks before = State().Banks;
    for (const char* text : {"abc", "+-", "-.", "1.5e"})
        form->Edt_ER_Delay->SetText(text);
    EXPECT_TRUE(State().Banks == before);
}

TEST_F(ReverbDesignerWindow, ShowingRegeneratorsPutsThemOnTheGrids) {
    SetUpForm();
    form->SelectPage(2);
    State().Banks.GR[0][4].Level = 0.0452L;
    form->Spn_GRNmbr->SetValue(5);
    EXPECT_EQ(form->TkBr_GR_Level->Position(), -45);
    EXPECT_EQ(State().Banks.GR[0][4].Level, 0.045L);
    EXPECT_EQ(form->Lbl_GR_Level->Caption(), "0.045");

    // Only a bar that moves fires its handler: regenerator 3 (0.6) stands between two of 0.75.
    form->Spn_ERNmbr->SetValue(3);
    State().Banks.ER[0][3].Level = 0.753L;
    form->Spn_ERNmbr->SetValue(4);
    EXPECT_EQ(form->TkBr_ER_Level->Position(), -75);
    EXPECT_EQ(State().Banks.ER[0][3].Level, 0.75L);

    form->Spn_GRNmbr->SetText("500");
    EXPECT_EQ(form->CurrentGRIndex(), 299);

    // Complex 1 sets pan bytes of 64: shown at 45, with the gains of 45 degrees.
    form->RdGp_ERType->SetItemIndex(ERComplex1);
    form->SelectPage(3);
    form->SelectPage(2);
    form->Spn_ERNmbr->SetValue(7);
    EXPECT_EQ(form->TkBr_ER_Pan->Position(), 45);
    EXPECT_EQ(State().Banks.ER[0][6].Pan, 45);
    EXPECT_NEAR(static_cast<double>(State().Banks.ER[0][6].GainL), 1.0000003, 1e-7);
}

TEST_F(ReverbDesignerWindow, AGenerationThatCannotBeWrittenWarnsAndWritesNothing) {
    SetUpForm(44100, kImpulseLimit - 1000);
    prompts.Messages.clear();
    form->Generate_Click(*form->Btn_Generate);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].text, kImpulseOutOfRangeText);
    EXPECT_EQ(model.LeftKernel.Count(), 0);
    EXPECT_EQ(model.RightKernel.Count(), 0);
}

TEST_F(ReverbDesignerWindow, BarsAtTheirExtremes) {
    SetUpForm();
    form->TkBr_ERStrength->SetPosition(100);
    EXPECT_EQ(State().Settings.ERStrength, 0);
    EXPECT_FALSE(form->RdGp_ERType->Enabled());
    EXPECT_FALSE(form->TkBr_ERSize->Enabled());
    form->TkBr_GRTime->SetPosition(4000);
    EXPECT_EQ(State().Settings.GRTime, 0);
    EXPECT_FALSE(form->RdGp_GRType->Enabled());
    EXPECT_FALSE(form->TkBr_GRSize->Enabled());
    form->TkBar_MixLvl_Left->SetPosition(0);
    EXPECT_EQ(form->Lbl_PcentL->Caption(), "100");
    form->Generate_Click(*form->Btn_Generate);
    // Neither bank writes anything; the dry record at the target stays, with the left dry share 0.
    ASSERT_EQ(model.LeftKernel.Count(), 1);
    EXPECT_EQ(model.LeftKernel.Impulse(0), 100);
    EXPECT_EQ(model.LeftKernel.Value(0), 0);
    ASSERT_EQ(model.RightKernel.Count(), 1);
    EXPECT_EQ(model.RightKernel.Value(0), 0.5L);

    form->TkBr_ERStrength->SetPosition(99);
    EXPECT_TRUE(form->RdGp_ERType->Enabled());
}

TEST_F(ReverbDesignerWindow, OneChannelBoxStaysChecked) {
    SetUpForm();
    form->ChBx_RightChnl->SetChecked(false);
    form->ChBx_LeftChnl->SetChecked(false);
    EXPECT_TRUE(form->ChBx_LeftChnl->Checked());
    form->Generate_Click(*form->Btn_Generate);
    EXPECT_TRUE(State().ChannelOn[0]);
    EXPECT_FALSE(State().ChannelOn[1]);
    EXPECT_GT(model.LeftKernel.Count(), 100);
    EXPECT_EQ(model.RightKernel.Count(), 0);
}

TEST_F(ReverbDesignerWindow, GenerateWritesTheSettingsReverbWhateverWasEdited) {
    SetUpForm(48000, 250);
    form->RdGp_GRType->SetItemIndex(GRHall);
    form->TkBr_ERSize->SetPosition(-20);
    // The engine's own result for these settings, rate and target.
    auto reference = MakeReverbState();
    reference->Settings = State().Settings;
    reference->SampleRate = 48000;
    reference->TargetImpulse = 250;
    KernelModel expected;
    GenerateReverb(*reference, expected.LeftKernel, expected.RightKernel, [](const std::string&) {});

    form->SelectPage(2); // edits on the regenerators page
    form->TkBr_ER_Level->SetPosition(-30);
    form->Edt_GR_Delay->SetText("77");
    form->ChBx_GR_Active->SetChecked(false);
    form->Generate_Click(*form->Btn_Generate);
    EXPECT_EQ(Image(model.LeftKernel), Image(expected.LeftKernel));
    EXPECT_EQ(Image(model.RightKernel), Image(expected.RightKernel));
    EXPECT_GT(CountKind(model.LeftKernel, TSourceKind::Output), 100);
}

// Paints every page into a bitmap file when TARVOLA_REVERB_SHOTS names a folder, for a look at the layout.
TEST_F(ReverbDesignerWindow, PaintsItsPages) {
    SetUpForm();
    form->Show();
    test::PumpFor(100ms);
    const char* shots = std::getenv("TARVOLA_REVERB_SHOTS");
    for (int page = 0; page < 4; ++page) {
        form->SelectPage(page);
        test::PumpFor(50ms);
        TBitmap bitmap(499, 271);
        form->PaintTo(bitmap.DC(), 0, 0);
        if (shots != nullptr) { // what the screen shows, to look at
            HDC screen = GetDC(form->Handle());
            BitBlt(bitmap.DC(), 0, 0, 499, 271, screen, 0, 0, SRCCOPY);
            ReleaseDC(form->Handle(), screen);
        }
        // Something is drawn besides the background.
        int changes = 0;
        for (int x = 1; x < 499; ++x)
            changes += bitmap.Pixel(x, 60) != bitmap.Pixel(x - 1, 60) ? 1 : 0;
        EXPECT_GT(changes, 4) << page;
        if (shots == nullptr)
            continue;
        // The name is appended piece by piece: GCC 12 misreads "..." + std::to_string(...) as an
        // overlapping copy (-Wrestrict) on i686.
        std::string name = "reverb-page";
        name += std::to_string(page);
        name += ".ppm";
        std::ofstream out(fs::path(shots) / name, std::ios::binary);
        out << "P6\n499 271\n255\n";
        for (int y = 0; y < 271; ++y)
            for (int x = 0; x < 499; ++x) {
                const COLORREF c = bitmap.Pixel(x, y);
                out.put(static_cast<char>(GetRValue(c)));
                out.put(static_cast<char>(GetGValue(c)));
                out.put(static_cast<char>(GetBValue(c)));
            }
    }
    form->Hide();
}

} // namespace
} // namespace tarvola
