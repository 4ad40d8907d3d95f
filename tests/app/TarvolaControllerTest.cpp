#include "app/TarvolaController.h"

#include "base/WholeFile.h"
#include "tests/support/AudioFileBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace tarvola {
namespace {

namespace fs = std::filesystem;

// ---- Fixtures: a scripted device, scripted dialogs and a designer that changes, halts or fails.

struct ScriptedDevice {
    std::vector<std::string> messages;
    std::vector<std::uint8_t> written;
    WaveOutApi Api() {
        WaveOutApi api;
        api.Open = [](WaveOutHandle& handle, std::uint32_t, const WaveFormatEx&, WaveOpenMode) {
            handle = reinterpret_cast<WaveOutHandle>(1);
            return MMNoError;
        };
        api.PrepareHeader = [](WaveOutHandle, WaveHeader&) { return MMNoError; };
        api.Write = [this](WaveOutHandle, WaveHeader& header) {
            written.assign(header.Data, header.Data + header.BufferLength);
            return MMNoError;
        };
        api.Pause = [](WaveOutHandle) { return MMNoError; };
        api.Restart = [](WaveOutHandle) { return MMNoError; };
        api.Reset = [](WaveOutHandle) { return MMNoError; };
        api.UnprepareHeader = [](WaveOutHandle, WaveHeader&) { return MMNoError; };
        api.Close = [](WaveOutHandle) { return MMNoError; };
        api.ShowMessage = [this](const std::string& text) { messages.push_back(text); };
        return api;
    }
};

struct ScriptedServices : IMainWindowServices {
    std::vector<std::string> messages;
    std::string openAnswer;
    std::string saveAnswer;
    bool timerEnabled = false;
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool RunOpenDialog(const std::string&, std::string& fileName) override {
        fileName = openAnswer;
        return !openAnswer.empty();
    }
    bool RunSaveDialog(const std::string&, std::string& fileName) override {
        fileName = saveAnswer;
        return !saveAnswer.empty();
    }
    void SetTimerEnabled(bool enabled) override { timerEnabled = enabled; }
};

struct NoPrompts : IAudioFilePrompts {
    void ShowError(const std::string&) override {}
    THeaderReportChoice AskAbortOrIgnore(const std::string&) override { return THeaderReportChoice::Abort; }
    void ShowMessage(const std::string&) override {}
    bool AskRawPCMParams(TRawPCMParams&) override { return false; }
};

// Adds 1 to every byte of the output, then halts or throws when told to.
struct TestDesigner : IProcessDesigner {
    enum class Mode { Change, Halt, Fail } mode = Mode::Change;
    TobjMultiMemStrm* signal = nullptr;
    TobjMultiMemStrm* output = nullptr;
    bool ok = false;
    std::int32_t sampleRate = 0;
    void SetSampleRate(std::int32_t rate) override { sampleRate = rate; }
    void PrepareProcess() override { ok = false; }
    void Process() override {
        for (std::int64_t i = 0; i < output->Size(); ++i)
            output->Memory()[i] = static_cast<std::uint8_t>(signal->Memory()[i] + 1);
        if (mode == Mode::Fail)
            throw std::runtime_error("designer failed");
        ok = mode == Mode::Change;
    }
    bool ProcessOK() const override { return ok; }
};

class TarvolaControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() /
            ("tarvola_main_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
             "_" + std::to_string(std::random_device{}()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        appDir_ = folder_.string() + kPathSeparator;
        player_ = std::make_unique<TobjPlaySound>(device_.Api());
        Make();
    }
    void TearDown() override {
        controller_.reset();
        player_.reset();
        fs::remove_all(folder_);
    }
    void Make() {
        controller_.reset();
        controller_ = std::make_unique<TarvolaController>(appDir_, services_, prompts_,
                                                          PortableAudioFileSystem(), *player_, &designer_);
        designer_.signal = &controller_->SignalView();
        designer_.output = &controller_->OutputView();
    }
    std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    // Opens a one-second 16-bit mono file of 8000 frames whose bytes count up.
    void OpenSignal() {
        std::vector<std::uint8_t> data(16000);
        for (std::size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<std::uint8_t>(i % 251);
        services_.openAnswer = WriteFile("b.wav", audiotest::CanonicalWave(1, 8000, 16, data));
        controller_->OpenSaveClick();
        ASSERT_TRUE(controller_->Loaded());
    }
    std::uint8_t FirstSignalByte() { return controller_->SignalView().Memory()[0]; }

    fs::path folder_;
    std::string appDir_;
    ScriptedDevice device_;
    ScriptedServices services_;
    NoPrompts prompts_;
    TestDesigner designer_;
    std::unique_ptr<TobjPlaySound> player_;
    std::unique_ptr<TarvolaController> controller_;
};

// ---- Buffer life cycle

TEST_F(TarvolaControllerTest, ProcessAndUndoSequencesKeepEachBufferOwnedOnce) {
    using Mode = TestDesigner::Mode;
    struct Step {
        enum { Process, Halt, Undo } action;
    };
    struct Case {
        const char* name;
        std::vector<decltype(Step::action)> steps;
        std::uint8_t firstByte; // the signal's first byte afterwards (the file's is 0)
        bool undoAvailable;
        int liveBuffers;
    };
    const Case cases[] = {
        {"Process", {Step::Process}, 1, true, 2},
        {"Process, Undo", {Step::Process, Step::Undo}, 0, false, 1},
        {"Process, Undo, Process", {Step::Process, Step::Undo, Step::Process}, 1, true, 2},
        {"Process, Process", {Step::Process, Step::Process}, 2, true, 2},
        {"halted Process", {Step::Halt}, 0, false, 1},
        {"Process, halted Process, Undo", {Step::Process, Step::Halt, Step::Undo}, 0, false, 1},
        {"halted Process, Process", {Step::Halt, Step::Process}, 1, true, 2},
        {"Process, halted Process", {Step::Process, Step::Halt}, 1, true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Make();
        OpenSignal();
        for (auto action : c.steps) {
            if (action == Step::Undo) {
                controller_->UndoClick();
                continue;
            }
            designer_.mode = action == Step::Halt ? Mode::Halt : Mode::Change;
            controller_->ProcessClick();
        }
        EXPECT_EQ(FirstSignalByte(), c.firstByte);
        EXPECT_EQ(controller_->SignalView().Memory(), controller_->OutputView().Memory());
        EXPECT_EQ(controller_->UndoAvailable(), c.undoAvailable);
        EXPECT_EQ(controller_->View().UndoEnabled, c.undoAvailable);
        EXPECT_EQ(controller_->LiveBufferCount(), c.liveBuffers);
        EXPECT_TRUE(controller_->View().ProcessEnabled);
        if (c.undoAvailable) {
            EXPECT_EQ(controller_->UndoMemory()[0], c.firstByte - 1);
        }
    }
}

TEST_F(TarvolaControllerTest, AFailingDesignerIsAHaltAndTheErrorReachesTheCaller) {
    OpenSignal();
    designer_.mode = TestDesigner::Mode::Fail;
    EXPECT_THROW(controller_->ProcessClick(), std::runtime_error);
    EXPECT_EQ(FirstSignalByte(), 0);
    EXPECT_EQ(controller_->OutputView().Memory(), controller_->SignalView().Memory());
    EXPECT_FALSE(controller_->UndoAvailable());
    EXPECT_TRUE(controller_->View().ProcessEnabled);
    EXPECT_EQ(controller_->LiveBufferCount(), 1);
}

TEST_F(TarvolaControllerTest, CloseReleasesEveryBufferAndOpenProcessWorksAgain) {
    OpenSignal();
    controller_->ProcessClick();
    controller_->CloseNewClick();
    EXPECT_EQ(controller_->LiveBufferCount(), 0);
    EXPECT_EQ(controller_->SignalView().Memory(), nullptr);
    EXPECT_FALSE(controller_->Loaded());
    OpenSignal();
    controller_->ProcessClick();
    EXPECT_EQ(FirstSignalByte(), 1);
    EXPECT_EQ(controller_->LiveBufferCount(), 2);
}

// ---- Open and state

TEST_F(TarvolaControllerTest, OpeningShowsTheParametersAndCaption) {
    OpenSignal();
    const TMainViewState& v = controller_->View();
    EXPECT_EQ(v.Caption, "b.wav  -  Tarvola");
    const std::array<std::string, 6> expected = {"8000", "16", "1", "8000", "16000", "1"};
    EXPECT_EQ(v.Parameters, expected);
    EXPECT_EQ(designer_.sampleRate, 8000);
    EXPECT_EQ(v.LoadSaveCaption, "Save");
    EXPECT_FALSE(v.MnItmOpen);
}

TEST_F(TarvolaControllerTest, AFailedOpenShowsTheMessageAndLeavesNoFile) {
    services_.openAnswer = WriteFile("bad.wav", {'R', 'I', 'F', 'F', 1, 2});
    controller_->OpenSaveClick();
    ASSERT_EQ(services_.messages.size(), 1u);
    EXPECT_EQ(services_.messages[0], "Error opening file, \"" + services_.openAnswer + "\".");
    EXPECT_FALSE(controller_->Loaded());
    EXPECT_EQ(controller_->View().Caption, "Tarvola");
    EXPECT_EQ(controller_->LiveBufferCount(), 0);
}

TEST_F(TarvolaControllerTest, EnabledStatesFollowNoFileLoadedPlayingAndPaused) {
    struct Expect {
        bool playStop, pauseResume, close, process, trackBar, mnOpen, mnPlay, mnStop, mnPause, mnResume;
        const char* playCaption;
        const char* pauseCaption;
    };
    auto check = [&](const char* state, const Expect& e) {
        SCOPED_TRACE(state);
        const TMainViewState& v = controller_->View();
        EXPECT_EQ(v.PlayStopEnabled, e.playStop);
        EXPECT_EQ(v.PauseResumeEnabled, e.pauseResume);
        EXPECT_EQ(v.CloseEnabled, e.close);
        EXPECT_EQ(v.ProcessEnabled, e.process);
        EXPECT_EQ(v.TrackBarEnabled, e.trackBar);
        EXPECT_EQ(v.MnItmOpen, e.mnOpen);
        EXPECT_EQ(v.MnItmPlay, e.mnPlay);
        EXPECT_EQ(v.MnItmStop, e.mnStop);
        EXPECT_EQ(v.MnItmPause, e.mnPause);
        EXPECT_EQ(v.MnItmResume, e.mnResume);
        EXPECT_EQ(v.PlayStopCaption, e.playCaption);
        EXPECT_EQ(v.PauseResumeCaption, e.pauseCaption);
    };
    check("no file", {false, false, false, false, false, true, false, false, false, false, "Play", "Pause"});
    OpenSignal();
    check("loaded", {true, true, true, true, true, false, true, false, false, false, "Play", "Pause"});
    controller_->PlayStopClick();
    EXPECT_EQ(controller_->PlayState(), TarvolaController::PlayStatePlaying);
    EXPECT_TRUE(services_.timerEnabled);
    check("playing", {true, true, true, false, true, false, false, true, true, false, "Stop", "Pause"});
    controller_->PauseResumeClick();
    EXPECT_FALSE(services_.timerEnabled);
    check("paused", {true, true, true, false, false, false, false, true, false, true, "Stop", "Resume"});
    controller_->PauseResumeClick();
    check("resumed", {true, true, true, false, true, false, false, true, true, false, "Stop", "Pause"});
    controller_->PlayStopClick();
    check("stopped", {true, false, true, true, true, false, true, false, false, false, "Play", "Pause"});
}

// ---- Playback arithmetic

TEST_F(TarvolaControllerTest, TheFirstTrackBarPositionPlaysFromTheStart) {
    OpenSignal();
    controller_->SetPlayPos(controller_->TrackBar().Min);
    EXPECT_EQ(controller_->View().PositionText, "00:00.0");
    controller_->PlayStopClick();
    EXPECT_EQ(controller_->StartFrame(), 0);
    EXPECT_EQ(device_.written.size(), 16000u);
}

TEST_F(TarvolaControllerTest, TheLastPositionHandsTheDeviceOnlyFramesThatExist) {
    OpenSignal();
    controller_->SetPlayPos(controller_->TrackBar().Max);
    EXPECT_EQ(controller_->View().PositionText, "00:01.0");
    controller_->PlayStopClick();
    EXPECT_EQ(controller_->StartFrame(), 7999);
    EXPECT_EQ(device_.written.size(), 2u);
    controller_->TimerTick();
    EXPECT_EQ(controller_->PlayState(), TarvolaController::PlayStateIdle);
    EXPECT_EQ(controller_->View().PositionText, "00:00.0");
    EXPECT_EQ(controller_->View().TrackBarPosition, controller_->TrackBar().Min);
}

TEST_F(TarvolaControllerTest, TicksCountTenthsAndStopAtTheDuration) {
    OpenSignal();
    controller_->PlayStopClick();
    const char* texts[] = {"00:00.1", "00:00.2", "00:00.3", "00:00.4", "00:00.5",
                           "00:00.6", "00:00.7", "00:00.8", "00:00.9"};
    for (const char* text : texts) {
        controller_->TimerTick();
        EXPECT_EQ(controller_->View().PositionText, text);
    }
    controller_->TimerTick();
    EXPECT_EQ(controller_->PlayState(), TarvolaController::PlayStateIdle);
    EXPECT_FALSE(services_.timerEnabled);
}

TEST(TrackBarGeometry, MatchesTheWindowWidth) {
    const TTrackBarGeometry g = TrackBarGeometryFor(1020);
    EXPECT_EQ(g.Frequency, 84);
    EXPECT_EQ(g.Width, 1008);
    EXPECT_EQ(g.Max, 1007);
    EXPECT_EQ(g.PageSize, 168);
}

// ---- Save

TEST_F(TarvolaControllerTest, SaveExtensionsChooseTheWriterOrFailHarmlessly) {
    OpenSignal();
    struct Case {
        const char* name;
        bool saved;
        std::uint64_t size; // header + data
    };
    const Case cases[] = {{"s.wav", true, 44 + 16000},  {"s.aif", true, 54 + 16000},
                          {"s.aiff", true, 54 + 16000}, {"s.pcm", true, 16000},
                          {"s.raw", true, 16000},       {"noext", true, 16000},
                          {"s.mp3", false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        services_.messages.clear();
        services_.saveAnswer = (folder_ / c.name).string();
        controller_->OpenSaveClick();
        EXPECT_EQ(fs::exists(services_.saveAnswer), c.saved);
        if (c.saved) {
            EXPECT_EQ(fs::file_size(services_.saveAnswer), c.size);
            EXPECT_TRUE(services_.messages.empty());
            EXPECT_EQ(controller_->View().Caption, std::string(c.name) + "  -  Tarvola");
        } else {
            ASSERT_EQ(services_.messages.size(), 1u);
            EXPECT_EQ(services_.messages[0], "Error saving file, \"" + services_.saveAnswer + "\".");
        }
    }
}

// ---- PlayerPersist.dat

TEST(PlayerPersist, RoundTripsAndNeverClaimsUnstoredCharacters) {
    TPlayerPersist p;
    p.Top = -5;
    p.Left = 1234;
    p.LastDir = std::string(255, 'x');
    const auto bytes = EncodePlayerPersist(p);
    ASSERT_EQ(bytes.size(), 263u);
    EXPECT_EQ(bytes[8], 254);
    const auto back = DecodePlayerPersist(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Top, -5);
    EXPECT_EQ(back->Left, 1234);
    EXPECT_EQ(back->LastDir, std::string(254, 'x'));
    EXPECT_FALSE(DecodePlayerPersist(std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1)));
}

TEST_F(TarvolaControllerTest, PersistFileIsReadBackAndMissingOrStaleValuesGiveDefaults) {
    EXPECT_EQ(controller_->Persist().Top, 10);
    EXPECT_EQ(controller_->LastDir(), "E:\\");
    OpenSignal();
    controller_->SavePersist(77, 88);
    EXPECT_EQ(fs::file_size(controller_->PersistPath()), 263u);
    Make();
    EXPECT_EQ(controller_->Persist().Top, 77);
    EXPECT_EQ(controller_->Persist().Left, 88);
    EXPECT_EQ(controller_->LastDir(), appDir_);
    // A folder that is gone is ignored.
    fs::path gone = folder_ / "gone";
    TPlayerPersist stale;
    stale.LastDir = gone.string() + kPathSeparator;
    const auto bytes = EncodePlayerPersist(stale);
    std::ofstream(controller_->PersistPath(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    controller_->CloseNewClick();
    EXPECT_EQ(controller_->LastDir(), "E:\\");
}

} // namespace
} // namespace tarvola
