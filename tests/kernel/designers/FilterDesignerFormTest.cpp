#include "forms/Dialogs.h"
#include "kernel/KernelUndoer.h"
#include "kernel/designers/FilterDesignerForm.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WindowDriver.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace tarvola {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCaption = "Filter Designer v1.02";

TImpulseRec Rec(std::int32_t impulse, long double value) {
    TImpulseRec rec = InputTemplate;
    rec.Impulse = impulse;
    rec.Value = value;
    return rec;
}

std::vector<std::uint8_t> Bytes(const TFilterSettings& s) {
    const TFilterSettingsBytes bytes = EncodeFilterSettings(s);
    return {bytes.begin(), bytes.end()};
}

TFilterSettings Saved() {
    TFilterSettings s;
    s.Mix = .3L;
    s.Amplitude = -.5L;
    s.Order = 101;
    s.FIRFunction = TFirFunction::Hanning;
    s.PassBand = TPassBand::HighPass;
    return s;
}

// Drives a track bar like the user's mouse: the control moves, then tells its parent.
void DragTrackBar(TTrackBar& bar, int position) {
    SendMessageA(bar.Handle(), TBM_SETPOS, TRUE, position);
    SendMessageA(GetParent(bar.Handle()), WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(bar.Handle()));
}

// A program folder with its own settings file, kernels holding records at -10, 998, 1000, 1010, and the
// caller's undo history.
class FilterDesignerDialog : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / (std::string("tarvola-filter-dialog-") + info->name() + "-" +
                                               std::to_string(std::random_device{}()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        programFolder_ = folder_.string() + "\\";
        settingsPath_ = (folder_ / "User" / "FilterPersist.dat").string();
        kernelBefore_ = {Rec(-10, 1), Rec(998, .5L), Rec(1000, 1), Rec(1010, 2)};
        model_.LeftKernel.LoadRecords(kernelBefore_);
        model_.RightKernel.LoadRecords(kernelBefore_);
        undo_.emplace(programFolder_);
    }
    void TearDown() override {
        test::CancelPendingActions();
        undo_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    void WriteSettingsFile(const std::vector<std::uint8_t>& bytes) {
        fs::create_directories(folder_ / "User");
        std::ofstream file(settingsPath_, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::uint8_t> SettingsFile() const {
        std::ifstream file(settingsPath_, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    // What the kernel designer window does from its Designers menu.
    void RunFromDesignersMenu(std::int32_t target) {
        RunEffectDesigner<TobjFilterDesigner>(nullptr, 44100, target, programFolder_, model_);
        undo_->Record("Design FIR Filter", model_.LeftKernel, model_.RightKernel);
    }

    std::vector<std::string> WarningTexts() const {
        std::vector<std::string> texts;
        for (const TMessageRequest& request : prompts_.Messages) {
            EXPECT_EQ(request.type, TMsgDlgType::mtWarning);
            EXPECT_EQ(request.buttons, mbOK);
            texts.push_back(request.text);
        }
        return texts;
    }

    fs::path folder_;
    std::string programFolder_;
    std::string settingsPath_;
    KernelModel model_;
    std::vector<TImpulseRec> kernelBefore_;
    test::TScriptedPrompts prompts_;
    std::optional<TobjKernelUndoer> undo_;
};

struct ShownControls {
    int mixBar, mixSpin, amplitudeBar, function, assistFunction, passBand, assistPassBand, order, wizardOrder;
    std::string percent, amps;
};

ShownControls Shown(const TobjFilterDesigner& d) {
    return {d.TkBar_MixLevel->Position(),
            d.SpEd_Asst_MixLevel->Value(),
            d.TkBr_Amplitude->Position(),
            d.RadGp_Function->ItemIndex(),
            d.RdGp_Asst_Function->ItemIndex(),
            d.RadGp_PassBand->ItemIndex(),
            d.RaGp_Asst_PassBand->ItemIndex(),
            d.Spn_Order->Value(),
            d.SpEd_Wzd_Order->Value(),
            d.Lbl_Pcent->Caption(),
            d.Lbl_Amps->Caption()};
}

void ExpectShown(const TobjFilterDesigner& d, const ShownControls& e) {
    const ShownControls s = Shown(d);
    EXPECT_EQ(s.mixBar, e.mixBar);
    EXPECT_EQ(s.mixSpin, e.mixSpin);
    EXPECT_EQ(s.amplitudeBar, e.amplitudeBar);
    EXPECT_EQ(s.function, e.function);
    EXPECT_EQ(s.assistFunction, e.assistFunction);
    EXPECT_EQ(s.passBand, e.passBand);
    EXPECT_EQ(s.assistPassBand, e.assistPassBand);
    EXPECT_EQ(s.order, e.order);
    EXPECT_EQ(s.wizardOrder, e.wizardOrder);
    EXPECT_EQ(s.percent, e.percent);
    EXPECT_EQ(s.amps, e.amps);
}

const ShownControls kDefaultsShown{0, 100, -100, 0, 0, 0, 0, 21, 21, "100", "100"};

TEST_F(FilterDesignerDialog, SetUpShowsWhatTheSettingsFileHolds) {
    std::vector<std::uint8_t> shortFile = Bytes(Saved());
    shortFile.pop_back();
    std::vector<std::uint8_t> longFile = Bytes(Saved());
    longFile.push_back(7);
    TFilterSettings evenOrder = Saved();
    evenOrder.Order = 20;
    TFilterSettings tooSmall = Saved();
    tooSmall.Order = 3;
    const ShownControls savedShown{70, 30, 50, 2, 2, 1, 1, 101, 101, "30", "-50"};

    const struct {
        const char* name;
        bool present;
        std::vector<std::uint8_t> bytes;
        const char* warning;
        ShownControls shown;
    } cases[] = {
        {"no file", false, {}, kFilterSettingsMissingText, kDefaultsShown},
        {"31 bytes", true, shortFile, kFilterSettingsReadErrorText, kDefaultsShown},
        {"32 bytes", true, Bytes(Saved()), nullptr, savedShown},
        {"33 bytes", true, longFile, nullptr, savedShown},
        {"even order", true, Bytes(evenOrder), nullptr, {70, 30, 50, 2, 2, 1, 1, 20, 20, "30", "-50"}},
        {"order below the limit",
         true,
         Bytes(tooSmall),
         nullptr,
         {70, 30, 50, 2, 2, 1, 1, 5, 5, "30", "-50"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder_ / "User");
        if (c.present)
            WriteSettingsFile(c.bytes);
        prompts_.Messages.clear();
        TobjFilterDesigner designer(nullptr);
        designer.Setup(44100, 1000, programFolder_, model_);
        if (c.warning)
            EXPECT_EQ(WarningTexts(), std::vector<std::string>{c.warning});
        else
            EXPECT_TRUE(WarningTexts().empty());
        ExpectShown(designer, c.shown);
        EXPECT_EQ(designer.Spn_TargetImpls->Value(), 1000);
    }
}

TEST_F(FilterDesignerDialog, TwinControlsFollowEachOther) {
    TobjFilterDesigner d(nullptr);
    d.Setup(44100, 0, programFolder_, model_);

    test::ClickButton(d.RdGp_Asst_Function->Buttons(3).Handle());
    EXPECT_EQ(d.RadGp_Function->ItemIndex(), 3);
    test::ClickButton(d.RadGp_Function->Buttons(1).Handle());
    EXPECT_EQ(d.RdGp_Asst_Function->ItemIndex(), 1);
    test::ClickButton(d.RadGp_PassBand->Buttons(2).Handle());
    EXPECT_EQ(d.RaGp_Asst_PassBand->ItemIndex(), 2);
    test::ClickButton(d.RaGp_Asst_PassBand->Buttons(1).Handle());
    EXPECT_EQ(d.RadGp_PassBand->ItemIndex(), 1);

    d.SpEd_Wzd_Order->SetValue(51);
    EXPECT_EQ(d.Spn_Order->Value(), 51);
    d.Spn_Order->SetValue(2000);
    EXPECT_EQ(d.SpEd_Wzd_Order->Value(), 1023);

    d.SpEd_Asst_MixLevel->SetValue(30);
    EXPECT_EQ(d.TkBar_MixLevel->Position(), 70);
    EXPECT_EQ(d.Lbl_Pcent->Caption(), "30");
    DragTrackBar(*d.TkBar_MixLevel, 100);
    EXPECT_EQ(d.SpEd_Asst_MixLevel->Value(), 0);
    EXPECT_EQ(d.Lbl_Pcent->Caption(), "0");

    DragTrackBar(*d.TkBr_Amplitude, 0);
    EXPECT_EQ(d.Lbl_Amps->Caption(), "0");
    EXPECT_EQ(d.Settings().Amplitude, 0.0L);
    EXPECT_FALSE(std::signbit(d.Settings().Amplitude));
    DragTrackBar(*d.TkBr_Amplitude, 200);
    EXPECT_EQ(d.Lbl_Amps->Caption(), "-200");
    EXPECT_EQ(d.Settings().Amplitude, -2.0L) << "the amplitude reaches the settings at once";
}

TEST_F(FilterDesignerDialog, TheTabsSwitchThePages) {
    TobjFilterDesigner d(nullptr);
    d.Setup(44100, 0, programFolder_, model_);
    TDesignerPages& pages = *d.PgCtl_Designer;
    ASSERT_EQ(pages.PageCount(), 3);
    EXPECT_EQ(pages.ActivePageIndex(), 0) << "the first page shows when the dialog opens";
    int changes = 0;
    pages.OnChange = [&](TObject&) { ++changes; };

    for (int tab : {2, 1, 1, 0}) {
        RECT r{};
        SendMessageA(pages.Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&r));
        const LPARAM point = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(pages.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageA(pages.Handle(), WM_LBUTTONUP, 0, point);
        EXPECT_EQ(pages.ActivePageIndex(), tab);
        for (int page = 0; page < 3; ++page)
            EXPECT_EQ(pages.Page(page).Visible(), page == tab) << "tab " << tab << ", page " << page;
    }
    EXPECT_EQ(changes, 3);
}

TEST_F(FilterDesignerDialog, OneChannelBoxStaysChecked) {
    TobjFilterDesigner d(nullptr);
    d.Setup(44100, 0, programFolder_, model_);
    test::ClickButton(d.ChBx_LeftChnl->Handle());
    EXPECT_FALSE(d.ChBx_LeftChnl->Checked());
    EXPECT_TRUE(d.ChBx_RightChnl->Checked());
    test::ClickButton(d.ChBx_RightChnl->Handle());
    EXPECT_FALSE(d.ChBx_LeftChnl->Checked());
    EXPECT_TRUE(d.ChBx_RightChnl->Checked()) << "unticking the last channel ticks it again";

    test::ClickButton(d.RadBtn_MixInto->Handle());
    EXPECT_TRUE(d.RadBtn_MixInto->Checked());
    EXPECT_FALSE(d.RadBtn_Overwrite->Checked());
    test::ClickButton(d.RadBtn_Overwrite->Handle());
    EXPECT_FALSE(d.RadBtn_MixInto->Checked());
}

TEST_F(FilterDesignerDialog, GenerateWritesTheBlockAndTheCallerRecordsOneEntry) {
    WriteSettingsFile(Bytes(TFilterSettings{}));
    bool acted = false;
    test::WhenWindowShows(kCaption, [&](HWND window) {
        auto& d = dynamic_cast<TobjFilterDesigner&>(*TWinControl::FromHandle(window));
        test::ClickButton(d.RadGp_Function->Buttons(4).Handle()); // Rectangular
        d.SpEd_Wzd_Order->SetValue(5);
        test::ClickButton(d.ChBx_RightChnl->Handle()); // left channel only
        test::ClickButton(d.Btn_Generate->Handle());
        acted = true;
    });
    const std::int32_t entriesBefore = undo_->Count();
    RunFromDesignersMenu(1000);
    ASSERT_TRUE(acted);

    const std::vector<TImpulseRec> expected = {Rec(-10, 1),    Rec(998, .2L),  Rec(999, .2L), Rec(1000, .2L),
                                               Rec(1001, .2L), Rec(1002, .2L), Rec(1010, 2)};
    ASSERT_EQ(model_.LeftKernel.Count(), static_cast<std::int32_t>(expected.size()));
    for (std::int32_t i = 0; i < model_.LeftKernel.Count(); ++i) {
        EXPECT_EQ(model_.LeftKernel.Impulse(i), expected[i].Impulse);
        EXPECT_NEAR(static_cast<double>(model_.LeftKernel.Value(i)), static_cast<double>(expected[i].Value),
                    1e-15);
        EXPECT_EQ(model_.LeftKernel.Kind(i), TSourceKind::Input);
    }
    EXPECT_EQ(model_.RightKernel.Records(), kernelBefore_);
    EXPECT_EQ(undo_->Count(), entriesBefore + 1);
    EXPECT_EQ(undo_->Entry(undo_->Current()).Description, "Design FIR Filter");

    TFilterSettings generated;
    generated.Order = 5;
    generated.FIRFunction = TFirFunction::Rectangular;
    EXPECT_EQ(SettingsFile(), Bytes(generated)) << "Generate saves every setting";
    EXPECT_TRUE(prompts_.Messages.empty());
}

TEST_F(FilterDesignerDialog, CancelWritesNothingButKeepsTheAmplitude) {
    WriteSettingsFile(Bytes(Saved()));
    test::WhenWindowShows(kCaption, [&](HWND window) {
        auto& d = dynamic_cast<TobjFilterDesigner&>(*TWinControl::FromHandle(window));
        test::ClickButton(d.RadGp_Function->Buttons(4).Handle());
        d.Spn_Order->SetValue(7);
        DragTrackBar(*d.TkBar_MixLevel, 0);
        DragTrackBar(*d.TkBr_Amplitude, -150);
        test::ClickButton(d.Btn_Cancel->Handle());
    });
    const std::int32_t entriesBefore = undo_->Count();
    RunFromDesignersMenu(1000);

    EXPECT_EQ(model_.LeftKernel.Records(), kernelBefore_);
    EXPECT_EQ(model_.RightKernel.Records(), kernelBefore_);
    EXPECT_EQ(undo_->Count(), entriesBefore + 1) << "a cancelled designer still records its entry";
    TFilterSettings kept = Saved();
    kept.Amplitude = 1.5L;
    EXPECT_EQ(SettingsFile(), Bytes(kept));
}

TEST_F(FilterDesignerDialog, AFailedGenerationWarnsAndStaysOpen) {
    WriteSettingsFile(Bytes(TFilterSettings{}));
    bool stillOpen = false;
    test::WhenWindowShows(kCaption, [&](HWND window) {
        auto& d = dynamic_cast<TobjFilterDesigner&>(*TWinControl::FromHandle(window));
        SendMessageA(d.Spn_TargetImpls->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("99999995"));
        test::ClickButton(d.Btn_Generate->Handle());
        stillOpen = IsWindowVisible(window) != FALSE;
        test::ClickButton(d.Btn_Cancel->Handle());
    });
    RunFromDesignersMenu(0);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(WarningTexts(), std::vector<std::string>{kImpulseOutOfRangeText});
    EXPECT_EQ(model_.LeftKernel.Records(), kernelBefore_);
    EXPECT_EQ(model_.RightKernel.Records(), kernelBefore_);
}

TEST_F(FilterDesignerDialog, ATargetThatIsNoNumberReadsAsZero) {
    WriteSettingsFile(Bytes(TFilterSettings{}));
    test::WhenWindowShows(kCaption, [&](HWND window) {
        auto& d = dynamic_cast<TobjFilterDesigner&>(*TWinControl::FromHandle(window));
        test::ClickButton(d.RadGp_Function->Buttons(4).Handle());
        d.Spn_Order->SetValue(5);
        SendMessageA(d.Spn_TargetImpls->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("twelve"));
        test::ClickButton(d.Btn_Generate->Handle());
    });
    RunFromDesignersMenu(1000);
    EXPECT_EQ(model_.LeftKernel.Find(-2, 0, TFindMode::Exact), 1);
    EXPECT_EQ(model_.LeftKernel.Find(2, 0, TFindMode::Exact), 5);
}

TEST_F(FilterDesignerDialog, ASettingsFileThatCannotBeWrittenWarnsOnce) {
    std::ofstream(folder_ / "User").put('x'); // "User" is a file: no folder can be made there
    TobjFilterDesigner d(nullptr);
    d.Setup(44100, 0, programFolder_, model_);
    prompts_.Messages.clear();
    EXPECT_FALSE(d.SaveSettings());
    EXPECT_EQ(WarningTexts(), std::vector<std::string>{kFilterSettingsSaveErrorText});
}

// Set TARVOLA_SCREENSHOT_SECONDS to have each page stay on screen that long, for screenshots of the display.
TEST_F(FilterDesignerDialog, StaysOnScreenForScreenshotsWhenAsked) {
    const char* seconds = std::getenv("TARVOLA_SCREENSHOT_SECONDS");
    if (seconds == nullptr)
        GTEST_SKIP() << "no screenshot asked for";
    WriteSettingsFile(Bytes(Saved()));
    TobjFilterDesigner d(nullptr);
    d.Setup(44100, 0, programFolder_, model_);
    d.Show();
    for (int page = 0; page < d.PgCtl_Designer->PageCount(); ++page) {
        d.PgCtl_Designer->SetActivePageIndex(page);
        test::PumpFor(std::chrono::seconds(std::atoi(seconds)));
    }
}

} // namespace
} // namespace tarvola
