// The main window under Wine: real windows, scripted dialogs, prompts and shell.
#include "app/Tarvola_AboutBox.h"
#include "app/Tarvola_BugReports.h"
#include "app/uTarvola_Application.h"
#include "forms/Application.h"
#include "forms/ComCtrls.h"
#include "forms/StdCtrls.h"

#include "tests/support/AudioFileBytes.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/ScriptedShell.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tarvola {
namespace {

using namespace std::chrono_literals;
using test::PumpFor;
using test::PumpPending;

std::string WaveBytes(std::uint32_t rate, std::uint16_t channels, const std::string& data) {
    const audiotest::Bytes wave =
        audiotest::CanonicalWave(channels, rate, 16, audiotest::Bytes(data.begin(), data.end()));
    return std::string(wave.begin(), wave.end());
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The sound card's capture file as Wine's Z: drive shows it; empty when the card does not capture.
std::string CapturePath() {
    const char* path = std::getenv("TARVOLA_SOUND_CAPTURE");
    if (!path || !*path)
        return {};
    std::string windowsPath = std::string("Z:") + path;
    for (char& c : windowsPath)
        if (c == '/')
            c = '\\';
    return windowsPath;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application().Initialize();
        // Bytes that never repeat in a pattern, so a played stretch can be found in the capture.
        std::string data(44100 * 4, '\0');
        std::uint32_t seed = 12345;
        for (char& byte : data) {
            seed = seed * 1103515245u + 12345u;
            byte = static_cast<char>(seed >> 24);
        }
        wave_ = WaveBytes(44100, 2, data);
        wavePath_ = folder_.Write("b.wav", wave_).string();
        window_ = std::make_unique<TobjTarvola>(nullptr, folder_.Folder());
        window_->Show();
        PumpPending();
    }
    void TearDown() override { window_.reset(); }

    void Open() {
        dialogs_.Choices.push_back({true, wavePath_, 0});
        window_->OpenSaveClick(*window_);
        PumpPending();
    }
    std::string LabelText(const char* name) { return window_->Find<TLabel>(name).Caption(); }

    test::TTempFolder folder_;
    test::TScriptedFileDialogs dialogs_;
    test::TScriptedPrompts prompts_;
    test::TScriptedShell shell_;
    std::string wave_;
    std::string wavePath_;
    std::unique_ptr<TobjTarvola> window_;
};

TEST_F(MainWindowTest, OpeningAFileShowsItsParametersAndName) {
    Open();
    EXPECT_EQ(window_->Caption(), "b.wav  -  Tarvola");
    char caption[128] = {};
    GetWindowTextA(window_->Handle(), caption, sizeof caption);
    EXPECT_STREQ(caption, "b.wav  -  Tarvola");
    EXPECT_EQ(LabelText("Lbl_SmplRate"), "44100");
    EXPECT_EQ(LabelText("Lbl_BitsPSmpl"), "16");
    EXPECT_EQ(LabelText("Lbl_Channels"), "2");
    EXPECT_EQ(LabelText("Lbl_SmplFrms"), "44100");
    EXPECT_EQ(LabelText("Lbl_SgnlBytes"), "176400");
    EXPECT_EQ(LabelText("Lbl_Durtn"), "1");
    EXPECT_EQ(window_->Find<TButton>("Btn_LoadSave").Caption(), "Save");
    ASSERT_EQ(dialogs_.Runs.size(), 1u);
    EXPECT_EQ(dialogs_.Runs[0].title, "Open Audio File");
    if (const char* seconds = std::getenv("TARVOLA_SHOW_MAIN"))
        PumpFor(std::chrono::seconds(std::atoi(seconds)));
}

TEST_F(MainWindowTest, SaveAsWritesEachFormatAndReopensTheSameSignal) {
    Open();
    const std::string data = wave_.substr(44);
    struct Case {
        const char* name;
        std::size_t header;
    };
    for (const Case c : {Case{"copy.wav", 44}, Case{"copy.aiff", 54}, Case{"copy.pcm", 0}}) {
        SCOPED_TRACE(c.name);
        const std::string target = folder_.Folder() + c.name;
        dialogs_.Choices.push_back({true, target, 0});
        window_->OpenSaveClick(*window_);
        const std::string written = ReadAll(target);
        ASSERT_EQ(written.size(), c.header + data.size());
        if (c.header == 44) {
            EXPECT_EQ(written, wave_);
        }
        if (c.header == 0) {
            EXPECT_EQ(written, data);
        }
        EXPECT_EQ(window_->Caption(), std::string(c.name) + "  -  Tarvola");
    }
    EXPECT_TRUE(prompts_.Messages.empty());

    // The AIFF copy opens with the same format and shows the same values.
    window_->CloseNewClick(*window_);
    dialogs_.Choices.push_back({true, folder_.Folder() + "copy.aiff", 0});
    window_->OpenSaveClick(*window_);
    EXPECT_EQ(window_->Caption(), "copy.aiff  -  Tarvola");
    EXPECT_EQ(LabelText("Lbl_SmplRate"), "44100");
    EXPECT_EQ(LabelText("Lbl_Channels"), "2");
    EXPECT_EQ(LabelText("Lbl_SgnlBytes"), "176400");
    const std::string again = folder_.Folder() + "again.wav";
    dialogs_.Choices.push_back({true, again, 0});
    window_->OpenSaveClick(*window_);
    EXPECT_EQ(ReadAll(again), wave_);
}

TEST_F(MainWindowTest, PlaysFromTheTrackBarPositionPausesResumesAndStops) {
    const std::string capture = CapturePath();
    if (capture.empty())
        GTEST_SKIP() << "no capturing sound card";
    std::ofstream(capture, std::ios::binary | std::ios::trunc).close();
    Open();
    TTrackBar& track = window_->Find<TTrackBar>("PosnIndctr");
    track.SetPosition((track.Min() + track.Max()) / 2 + 1);
    TButton& playStop = window_->Find<TButton>("Btn_PlayStop");
    TButton& pauseResume = window_->Find<TButton>("Btn_PauseResume");
    EXPECT_EQ(window_->Find<TLabel>("Txt_Position").Caption(), "00:00.5");
    window_->PlayStopClick(*window_);
    ASSERT_EQ(playStop.Caption(), "Stop");
    TarvolaController& c = window_->Controller();
    const std::int32_t startMs = c.PositionMs();
    EXPECT_TRUE(test::PumpUntil([&] { return c.PositionMs() >= startMs + 200; }, 20s));
    EXPECT_NE(window_->Find<TLabel>("Txt_Position").Caption(), "00:00.5");

    window_->PauseResumeClick(*window_);
    EXPECT_EQ(pauseResume.Caption(), "Resume");
    EXPECT_FALSE(track.Enabled());
    const std::int32_t pausedAt = c.PositionMs();
    test::PumpFor(300ms);
    EXPECT_EQ(c.PositionMs(), pausedAt) << "the position counts on while paused";
    window_->PauseResumeClick(*window_);
    EXPECT_EQ(pauseResume.Caption(), "Pause");
    EXPECT_TRUE(track.Enabled());

    // The signal ends by itself: the player stops and the display returns to the start.
    EXPECT_TRUE(test::PumpUntil([&] { return playStop.Caption() == "Play"; }, 20s));
    EXPECT_EQ(window_->Find<TLabel>("Txt_Position").Caption(), "00:00.0");
    EXPECT_TRUE(prompts_.Messages.empty());

    const std::string sink = ReadAll(capture.substr(2));
    const std::string expected = wave_.substr(44 + static_cast<std::size_t>(c.StartByte()));
    // The middle of the track bar is the middle of the signal, within one track-bar step (about 44 frames).
    EXPECT_NEAR(c.StartByte() / 4, 22050, 50);
    const std::size_t found = sink.find(expected);
    EXPECT_NE(found, std::string::npos)
        << "the rest of the signal from the start position is not in the " << sink.size() << "-byte capture";
}

TEST_F(MainWindowTest, HelpAndSupportReachTheShell) {
    window_->MnItm_IntroClick(*window_);
    window_->MnItm_OverviewClick(*window_);
    window_->Support_SendEmail(*window_);
    ASSERT_EQ(shell_.Opened.size(), 3u);
    EXPECT_NE(shell_.Opened[0].file.find("Help\\Introduction.doc"), std::string::npos);
    EXPECT_NE(shell_.Opened[1].file.find("help\\Overview.doc"), std::string::npos);
    EXPECT_EQ(shell_.Opened[2].file, std::string("mailto:") + SupportMailAddress + "?subject=Support");
}

TEST_F(MainWindowTest, AboutAndBugReportsOpenModally) {
    std::vector<std::string> shown;
    prompts_.OnShowModal = [&](TForm& form) {
        shown.push_back(form.Caption());
        return mrOk;
    };
    window_->MnItm_AboutClick(*window_);
    window_->MnItm_BugsClick(*window_);
    const std::vector<std::string> expected = {"About", "Bugs, Suggestions, Comments"};
    EXPECT_EQ(shown, expected);
}

TEST_F(MainWindowTest, CloseReturnsToTheEmptyWindow) {
    Open();
    window_->CloseNewClick(*window_);
    EXPECT_EQ(window_->Caption(), "Tarvola");
    EXPECT_EQ(LabelText("Lbl_SmplRate"), "");
    EXPECT_FALSE(window_->Find<TButton>("Btn_PlayStop").Enabled());
    RECT r{};
    GetWindowRect(window_->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 1020);
    EXPECT_EQ(r.bottom - r.top, 164);
}

} // namespace
} // namespace tarvola
