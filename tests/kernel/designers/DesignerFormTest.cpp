#include "forms/Dialogs.h"
#include "kernel/designers/DesignerForm.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WindowDriver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <fstream>
#include <string>
#include <vector>

namespace tarvola {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCaption = "Test Designer";
constexpr const char* kFileName = "TestPersist.dat";
const DesignerSettingsTexts kTexts{"no test file", "test file unreadable", "test file not saved"};

// The smallest designer: a one-byte settings record (the last target's low byte), the export rules and a
// Generate button that writes one record at the target.
class TobjTestDesigner : public TobjEffectDesigner {
public:
    explicit TobjTestDesigner(TComponent* owner) : TobjEffectDesigner(owner) {
        std::vector<TComponentRow> rows = ExportRulesRows("", 8, 8, "Target Impulse #");
        rows.push_back({"TButton", "Btn_Generate", "", 8, 130, 100, 25, {{"Caption", "Generate"}}});
        LoadLayout(TFormLayout{{{"Caption", kCaption},
                                {"BorderStyle", "bsDialog"},
                                {"ClientWidth", "250"},
                                {"ClientHeight", "165"}},
                               rows});
        BindExportRules();
        Btn_Generate = &Find<TButton>("Btn_Generate");
        Bind(Btn_Generate->OnClick, this, &TobjTestDesigner::Generate_Click);
    }

    bool SaveSettings() override {
        const std::uint8_t record[1] = {record_};
        return SaveDesignerSettings(SettingsPath(kFileName), record, kTexts, Warnings());
    }

    TButton* Btn_Generate = nullptr;
    std::uint8_t record_ = 0;
    int shownRecord_ = -1;

protected:
    void LoadSettings() override {
        LoadDesignerSettings(
            SettingsPath(kFileName), 1,
            [this](const std::uint8_t* bytes) {
                record_ = bytes[0];
                return true;
            },
            kTexts, Warnings());
    }
    void SettingsToControls() override { shownRecord_ = record_; }

private:
    void Generate_Click(TObject&) {
        const TExportRules rules = ExportRulesFromControls();
        record_ = static_cast<std::uint8_t>(rules.targetImpulse);
        TImpulseRec rec = InputTemplate;
        try {
            rec.Impulse = DesignerImpulse(rules.targetImpulse, 0);
        } catch (const std::exception& error) {
            Warn(error.what());
            return;
        }
        rec.Value = 0.5L;
        ExportToKernels({rec}, TImpulseSpan{rec.Impulse - 1, rec.Impulse + 1}, rules, LeftKernel(),
                        RightKernel());
        Close();
    }
};

class EffectDesignerDialog : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / (std::string("tarvola-designer-form-") + info->name() + "-" +
                                               std::to_string(std::random_device{}()));
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "User");
        programFolder_ = folder_.string() + "\\";
        for (TobjHistData* kernel : {&model_.LeftKernel, &model_.RightKernel}) {
            TImpulseRec rec = InputTemplate;
            rec.Impulse = 6;
            rec.Value = 1;
            kernel->LoadRecords({rec});
        }
    }
    void TearDown() override {
        test::CancelPendingActions();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const TMessageRequest& request : prompts_.Messages) {
            EXPECT_EQ(request.type, TMsgDlgType::mtWarning);
            EXPECT_EQ(request.buttons, mbOK);
            texts.push_back(request.text);
        }
        return texts;
    }
    std::string SavedFile() const {
        std::ifstream file(folder_ / "User" / kFileName, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    fs::path folder_;
    std::string programFolder_;
    KernelModel model_;
    test::TScriptedPrompts prompts_;
};

TEST_F(EffectDesignerDialog, SetupLoadsTheSettingsAndShowsTheTarget) {
    TobjTestDesigner designer(nullptr);
    designer.Setup(22050, -40, programFolder_, model_);
    EXPECT_EQ(Texts(), std::vector<std::string>{"no test file"});
    EXPECT_EQ(designer.SampleRate(), 22050);
    EXPECT_EQ(designer.Spn_TargetImpls->Value(), -40);
    EXPECT_TRUE(designer.RadBtn_Overwrite->Checked());
    EXPECT_FALSE(designer.RadBtn_MixInto->Checked());
    EXPECT_TRUE(designer.ChBx_LeftChnl->Checked());
    EXPECT_TRUE(designer.ChBx_RightChnl->Checked());

    std::ofstream(folder_ / "User" / kFileName).put('\x2A');
    prompts_.Messages.clear();
    TobjTestDesigner again(nullptr);
    again.Setup(22050, 0, programFolder_, model_);
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(again.shownRecord_, 42);
}

TEST_F(EffectDesignerDialog, ExportRuleControlsKeepTheirRules) {
    TobjTestDesigner d(nullptr);
    d.Setup(44100, 0, programFolder_, model_);
    // (control clicked) -> overwrite, mix, left, right afterwards
    const struct {
        const char* click;
        bool overwrite, mix, left, right;
    } steps[] = {
        {"ChBx_LeftChnl", true, false, false, true},    {"ChBx_RightChnl", true, false, false, true},
        {"ChBx_LeftChnl", true, false, true, true},     {"ChBx_RightChnl", true, false, true, false},
        {"ChBx_LeftChnl", true, false, true, false},    {"RadBtn_MixInto", false, true, true, false},
        {"RadBtn_Overwrite", true, false, true, false},
    };
    for (const auto& step : steps) {
        test::ClickButton(d.Find<TWinControl>(step.click).Handle());
        EXPECT_EQ(d.RadBtn_Overwrite->Checked(), step.overwrite) << step.click;
        EXPECT_EQ(d.RadBtn_MixInto->Checked(), step.mix) << step.click;
        EXPECT_EQ(d.ChBx_LeftChnl->Checked(), step.left) << step.click;
        EXPECT_EQ(d.ChBx_RightChnl->Checked(), step.right) << step.click;
    }
}

TEST_F(EffectDesignerDialog, TheModalRunWritesThenSavesInItsOwnStep) {
    test::WhenWindowShows(kCaption, [](HWND window) {
        auto& d = dynamic_cast<TobjTestDesigner&>(*TWinControl::FromHandle(window));
        test::ClickButton(d.RadBtn_MixInto->Handle());
        test::ClickButton(d.ChBx_LeftChnl->Handle());
        test::ClickButton(d.Btn_Generate->Handle());
    });
    RunEffectDesigner<TobjTestDesigner>(nullptr, 44100, 6, programFolder_, model_);
    EXPECT_EQ(model_.LeftKernel.Value(0), 1.0L);
    EXPECT_EQ(model_.RightKernel.Value(0), 1.5L) << "mixed into the right kernel only";
    EXPECT_EQ(SavedFile(), std::string(1, '\x06'));
    EXPECT_EQ(Texts(), std::vector<std::string>{"no test file"});
}

TEST_F(EffectDesignerDialog, AnImpossibleTargetWarnsAndLeavesTheDialogOpen) {
    bool open = false;
    test::WhenWindowShows(kCaption, [&](HWND window) {
        auto& d = dynamic_cast<TobjTestDesigner&>(*TWinControl::FromHandle(window));
        test::ClickButton(d.Btn_Generate->Handle());
        open = IsWindowVisible(window) != FALSE;
        d.Close();
    });
    RunEffectDesigner<TobjTestDesigner>(nullptr, 44100, -100000000, programFolder_, model_);
    EXPECT_TRUE(open);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"no test file", kImpulseOutOfRangeText}));
    EXPECT_EQ(model_.LeftKernel.Count(), 1);
}

} // namespace
} // namespace tarvola
