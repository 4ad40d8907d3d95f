#include "audio/SimpleWaveIO.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tarvola {
namespace {

constexpr char FormatNotSupported[] = "Audio format not supported by the wave out device.";
constexpr char UnableToOpen[] = "Unable to open wave out device.";
constexpr char UnableToPrepare[] = "Unable to prepare wave out header.";
constexpr char UnableToSend[] = "Unable to send data to wave out device.";

using Log = std::vector<std::string>;

// A wave-out device that answers as the test scripts it and logs every call and message box in order.
struct ScriptedWaveOut {
    Log Calls;
    std::map<std::string, std::deque<MMResult>> Answers; // per call; MMNoError once the script runs out
    std::vector<std::uint32_t> DeviceIds;                // of every open and query
    std::vector<WaveFormatEx> Formats;                   // of every open and query
    std::vector<WaveHeader> Headers;                     // as prepared
    std::vector<WaveOutHandle> ClosedHandles;
    std::uintptr_t NextHandle = 0x100;

    void Script(const std::string& call, std::deque<MMResult> answers) { Answers[call] = std::move(answers); }

    MMResult Answer(const std::string& call) {
        Calls.push_back(call);
        auto& answers = Answers[call];
        if (answers.empty())
            return MMNoError;
        const MMResult result = answers.front();
        answers.pop_front();
        return result;
    }

    WaveOutApi Api() {
        WaveOutApi api;
        api.Open = [this](WaveOutHandle& handle, std::uint32_t deviceId, const WaveFormatEx& format,
                          WaveOpenMode mode) {
            DeviceIds.push_back(deviceId);
            Formats.push_back(format);
            const bool query = mode == WaveOpenMode::QueryFormat;
            const MMResult result = Answer(query ? "query" : "open");
            if (!query && result == MMNoError)
                handle = reinterpret_cast<WaveOutHandle>(NextHandle++);
            return result;
        };
        api.PrepareHeader = [this](WaveOutHandle, WaveHeader& header) {
            Headers.push_back(header);
            return Answer("prepare");
        };
        api.Write = [this](WaveOutHandle, WaveHeader&) { return Answer("write"); };
        api.Pause = [this](WaveOutHandle) { return Answer("pause"); };
        api.Restart = [this](WaveOutHandle) { return Answer("restart"); };
        api.Reset = [this](WaveOutHandle) { return Answer("reset"); };
        api.UnprepareHeader = [this](WaveOutHandle, WaveHeader&) { return Answer("unprepare"); };
        api.Close = [this](WaveOutHandle handle) {
            const MMResult result = Answer("close");
            if (result == MMNoError)
                ClosedHandles.push_back(handle);
            return result;
        };
        api.ShowMessage = [this](const std::string& text) { Calls.push_back("message: " + text); };
        return api;
    }
};

std::string Message(const char* text) {
    return std::string("message: ") + text;
}

class SimpleWaveIOTest : public testing::Test {
protected:
    SimpleWaveIOTest() {
        SetSignal(2, 44100, 16);
        Signal.assign(static_cast<std::size_t>(Format.DataBytes), 0x5A);
    }

    // A one-second signal; the range runs from `firstFrame` to its end.
    void SetSignal(int channels, int sampleRate, int bits, int firstFrame = 0) {
        const int bytesPerSample = (bits + 7) / 8;
        Format.SetFormat(sampleRate * channels * bytesPerSample, channels, sampleRate, bits, 0);
        Range.SetRange(firstFrame, Format.Frames - 1, Format.BytesPerSample, ChannelMaskOf(channels));
    }

    // The player, opened and playing; the log starts empty after that.
    void StartPlaying() {
        ASSERT_TRUE(Player->Open(Format, Range));
        ASSERT_TRUE(Player->Write(Signal.data()));
        Device.Calls.clear();
    }

    ScriptedWaveOut Device;
    TobjAudioInfo Format;
    TobjProcessData Range;
    std::vector<std::uint8_t> Signal;
    std::unique_ptr<TobjPlaySound> Player = std::make_unique<TobjPlaySound>(Device.Api());
};

TEST_F(SimpleWaveIOTest, HandsTheSignalFormatToTheDevice) {
    struct Case {
        int Channels, SampleRate, Bits;
        WaveFormatEx Expected;
    };
    const Case cases[] = {
        {1, 11025, 8, {WaveFormatPcm, 1, 11025, 11025, 1, 8, 0}},
        {2, 44100, 16, {WaveFormatPcm, 2, 44100, 176400, 4, 16, 0}},
        {2, 48000, 24, {WaveFormatPcm, 2, 48000, 288000, 6, 24, 0}},
        {1, 22050, 12, {WaveFormatPcm, 1, 22050, 44100, 2, 12, 0}},
    };
    for (const Case& c : cases) {
        Device.Formats.clear();
        SetSignal(c.Channels, c.SampleRate, c.Bits);
        TobjPlaySound player(Device.Api());
        ASSERT_TRUE(player.Open(Format, Range)) << c.Bits;
        ASSERT_EQ(Device.Formats.size(), 2u);
        EXPECT_EQ(Device.Formats[0], c.Expected) << "query, " << c.Bits << " bits";
        EXPECT_EQ(Device.Formats[1], c.Expected) << "open, " << c.Bits << " bits";
        EXPECT_EQ(player.WaveFormat(), c.Expected);
    }
}

TEST_F(SimpleWaveIOTest, OpensAfterAskingTheDevice) {
    EXPECT_TRUE(Player->Open(Format, Range));
    EXPECT_EQ(Device.Calls, (Log{"query", "open"}));
    EXPECT_EQ(Player->State(), TobjSimpleWaveIO::StateOpen);
    EXPECT_TRUE(Player->Opened());
}

TEST_F(SimpleWaveIOTest, RefusedOpenShowsItsMessagesAndStaysClosed) {
    struct Case {
        const char* Name;
        const char* RefusedCall;
        Log Expected;
    };
    const Case cases[] = {
        {"format refused", "query", {"query", Message(FormatNotSupported), Message(UnableToOpen)}},
        {"open failed", "open", {"query", "open", Message(UnableToOpen)}},
    };
    for (const Case& c : cases) {
        ScriptedWaveOut device;
        device.Script(c.RefusedCall, {32});
        TobjPlaySound player(device.Api());
        EXPECT_FALSE(player.Open(Format, Range)) << c.Name;
        EXPECT_EQ(device.Calls, c.Expected) << c.Name;
        EXPECT_EQ(player.State(), TobjSimpleWaveIO::StateClosed) << c.Name;
        EXPECT_FALSE(player.Opened()) << c.Name;
        EXPECT_FALSE(player.Write(Signal.data())) << c.Name << ": nothing to play on";
        EXPECT_EQ(player.LastResult(), 32u) << c.Name;
    }
}

TEST_F(SimpleWaveIOTest, FirstOpenAddressesTheMapperLaterOnesDeviceZero) {
    Device.Script("query", {32});
    EXPECT_FALSE(Player->Open(Format, Range));
    EXPECT_EQ(Player->DeviceID(), WaveMapper) << "a refused open closes nothing";

    ASSERT_TRUE(Player->Open(Format, Range));
    ASSERT_TRUE(Player->Close());
    EXPECT_EQ(Player->DeviceID(), 0u);
    ASSERT_TRUE(Player->Open(Format, Range));
    EXPECT_EQ(Device.DeviceIds, (std::vector<std::uint32_t>{WaveMapper, WaveMapper, WaveMapper, 0, 0}));
}

TEST_F(SimpleWaveIOTest, WritePlaysTheRangeFromTheGivenAddress) {
    SetSignal(2, 44100, 16, 1000);
    ASSERT_TRUE(Player->Open(Format, Range));
    const std::uint8_t* start = Signal.data() + 1000 * 4;
    EXPECT_TRUE(Player->Write(start));
    EXPECT_EQ(Device.Calls, (Log{"query", "open", "prepare", "write"}));
    ASSERT_EQ(Device.Headers.size(), 1u);
    EXPECT_EQ(Device.Headers[0].Data, reinterpret_cast<const char*>(start));
    EXPECT_EQ(Device.Headers[0].BufferLength, static_cast<std::uint32_t>(44100 - 1000) * 4);
    EXPECT_EQ(Device.Headers[0].Flags, 0u);
    EXPECT_EQ(Player->HeaderSize(), sizeof(WaveHeader));
    EXPECT_EQ(Player->State(), TobjSimpleWaveIO::StatePlaying);
}

TEST_F(SimpleWaveIOTest, WriteIsRefusedBeforeOpenAndWhileTheDeviceHoldsTheBuffer) {
    EXPECT_FALSE(Player->Write(Signal.data()));
    EXPECT_TRUE(Device.Calls.empty());
    StartPlaying();
    EXPECT_FALSE(Player->Write(Signal.data()));
    EXPECT_TRUE(Device.Calls.empty());
    EXPECT_EQ(Player->State(), TobjSimpleWaveIO::StatePlaying);
}

TEST_F(SimpleWaveIOTest, FailedWriteShowsItsMessageAndClosesTheDevice) {
    struct Case {
        const char* FailingCall;
        Log Expected;
    };
    const Case cases[] = {
        {"prepare", {"prepare", "close", Message(UnableToPrepare)}},
        // The prepared header is handed back before the device closes.
        {"write", {"prepare", "write", "unprepare", "close", Message(UnableToSend)}},
    };
    for (const Case& c : cases) {
        ScriptedWaveOut device;
        device.Script(c.FailingCall, {11});
        TobjPlaySound player(device.Api());
        ASSERT_TRUE(player.Open(Format, Range));
        device.Calls.clear();
        EXPECT_FALSE(player.Write(Signal.data())) << c.FailingCall;
        EXPECT_EQ(device.Calls, c.Expected) << c.FailingCall;
        EXPECT_EQ(player.State(), TobjSimpleWaveIO::StateClosed) << c.FailingCall;
    }
}

TEST_F(SimpleWaveIOTest, PauseAndRestartOnlyWhereTheyApply) {
    ASSERT_TRUE(Player->Open(Format, Range));
    Device.Calls.clear();
    EXPECT_FALSE(Player->Pause()) << "open, not playing";
    EXPECT_FALSE(Player->Restart()) << "not paused";
    EXPECT_TRUE(Device.Calls.empty());
    EXPECT_EQ(Player->State(), TobjSimpleWaveIO::StateOpen);

    ASSERT_TRUE(Player->Write(Signal.data()));
    EXPECT_FALSE(Player->Restart()) << "playing, not paused";
    EXPECT_TRUE(Player->Pause());
    EXPECT_EQ(Player->State(), TobjSimpleWaveIO::StatePaused);
    EXPECT_FALSE(Player->Pause()) << "already paused";
    EXPECT_TRUE(Player->Restart());
    EXPECT_EQ(Player->State(), TobjSimpleWaveIO::StatePlaying);
}

TEST_F(SimpleWaveIOTest, RefusedPauseOrRestartKeepsTheState) {
    StartPlaying();
    Device.Script("pause", {1});
    EXPECT_FALSE(Player->Pause());
    EXPECT_EQ(Player->State(), TobjSimpleWaveIO::StatePlaying);
    ASSERT_TRUE(Player->Pause());
    Device.Script("restart", {1});
    EXPECT_FALSE(Player->Restart());
    EXPECT_EQ(Player->State(), TobjSimpleWaveIO::StatePaused);
    EXPECT_EQ(Player->LastResult(), 1u);
}

TEST_F(SimpleWaveIOTest, RestartedDeviceOfANonPlayerIsRunning) {
    TobjSimpleWaveIO waveOut(Device.Api());
    ASSERT_TRUE(waveOut.Open(Format, Range));
    ASSERT_TRUE(waveOut.Write(Signal.data()));
    ASSERT_TRUE(waveOut.Pause());
    ASSERT_TRUE(waveOut.Restart());
    EXPECT_EQ(waveOut.State(), TobjSimpleWaveIO::StateRunning);
    EXPECT_TRUE(waveOut.Pause()) << "a running device pauses too";
}

TEST_F(SimpleWaveIOTest, ResetReturnsToOpenAndHandsTheBufferBack) {
    for (const bool paused : {false, true}) {
        StartPlaying();
        if (paused) {
            ASSERT_TRUE(Player->Pause());
        }
        Device.Calls.clear();
        EXPECT_TRUE(Player->Reset()) << paused;
        EXPECT_EQ(Device.Calls, (Log{"reset", "unprepare"})) << paused;
        EXPECT_EQ(Player->State(), TobjSimpleWaveIO::StateOpen) << paused;
        EXPECT_EQ(Player->Header().Data, nullptr) << paused;
        ASSERT_TRUE(Player->Close());
        Device.Calls.clear();
    }
}

TEST_F(SimpleWaveIOTest, FailedResetKeepsTheState) {
    StartPlaying();
    Device.Script("reset", {1});
    Device.Script("unprepare", {WaveErrStillPlaying});
    EXPECT_FALSE(Player->Reset());
    EXPECT_EQ(Player->State(), TobjSimpleWaveIO::StatePlaying);
    EXPECT_NE(Player->Header().Data, nullptr) << "the device still holds the buffer";
}

TEST_F(SimpleWaveIOTest, ResetOfAClosedDeviceLeavesItClosed) {
    EXPECT_TRUE(Player->Reset());
    EXPECT_TRUE(Device.Calls.empty());
    EXPECT_EQ(Player->State(), TobjSimpleWaveIO::StateClosed);
}

TEST_F(SimpleWaveIOTest, CloseOfADeviceStillPlayingResetsAndClosesAgain) {
    StartPlaying();
    Device.Script("unprepare", {WaveErrStillPlaying});
    Device.Script("close", {WaveErrStillPlaying});
    EXPECT_TRUE(Player->Close());
    EXPECT_EQ(Device.Calls, (Log{"unprepare", "close", "reset", "unprepare", "close"}));
    EXPECT_EQ(Player->State(), TobjSimpleWaveIO::StateClosed);
    EXPECT_EQ(Player->HeaderSize(), 0u);
    EXPECT_EQ(Player->WaveFormat(), WaveFormatEx{});
    EXPECT_EQ(Player->Header().Data, nullptr);
}

TEST_F(SimpleWaveIOTest, FailedCloseKeepsTheState) {
    ASSERT_TRUE(Player->Open(Format, Range));
    Device.Script("close", {5});
    EXPECT_FALSE(Player->Close());
    EXPECT_EQ(Player->State(), TobjSimpleWaveIO::StateOpen);
    EXPECT_EQ(Player->DeviceID(), WaveMapper);
    EXPECT_TRUE(Player->Close()) << "closed on the next try";
}

TEST_F(SimpleWaveIOTest, OpenOverAnOpenDeviceClosesItFirst) {
    ASSERT_TRUE(Player->Open(Format, Range));
    Device.Script("close", {5});
    ASSERT_FALSE(Player->Close()); // left open, as by a stop whose close failed

    Device.Script("close", {5});
    EXPECT_FALSE(Player->Open(Format, Range)) << "the old device could not be closed";
    EXPECT_EQ(Device.Calls.back(), Message(UnableToOpen));
    EXPECT_EQ(Player->State(), TobjSimpleWaveIO::StateOpen);

    Device.Calls.clear();
    EXPECT_TRUE(Player->Open(Format, Range));
    EXPECT_EQ(Device.Calls, (Log{"close", "query", "open"}));
    EXPECT_EQ(Device.ClosedHandles.size(), 1u) << "the first handle is not lost";
}

TEST_F(SimpleWaveIOTest, DestroyingAPlayingPlayerStopsAndClosesTheDevice) {
    StartPlaying();
    Player.reset();
    EXPECT_EQ(Device.Calls, (Log{"reset", "unprepare", "close"}));
}

TEST_F(SimpleWaveIOTest, DestroyingAClosedPlayerTouchesNoDevice) {
    Player.reset();
    EXPECT_TRUE(Device.Calls.empty());
}

} // namespace
} // namespace tarvola
