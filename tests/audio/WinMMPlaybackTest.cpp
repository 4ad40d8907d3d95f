#include <windows.h>

// Real playback and real ticks, on the machine's wave-out device and multimedia timer. The test environment's
// sound card writes what it plays to the file named by TARVOLA_SOUND_CAPTURE.
#include "audio/HiTimer.h"
#include "audio/SimpleWaveIO.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tarvola {
namespace {

using test::PumpFor;
using test::PumpPending;
using test::PumpUntil;
using namespace std::chrono_literals;

// The capture file's Linux path, as Wine's Z: drive shows it; empty when the sound card does not capture.
std::string CapturePath() {
    const char* path = std::getenv("TARVOLA_SOUND_CAPTURE");
    if (path == nullptr || path[0] != '/')
        return {};
    std::string windowsPath = std::string("Z:") + path;
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    return windowsPath;
}

std::uint64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Bytes that never repeat within the signal, so that the played part can be found in the capture only at its
// own place.
std::vector<std::uint8_t> NoiseBytes(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    std::uint32_t state = 0x12345678u;
    for (std::uint8_t& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

bool AllZero(std::vector<std::uint8_t>::const_iterator first,
             std::vector<std::uint8_t>::const_iterator last) {
    return std::all_of(first, last, [](std::uint8_t byte) { return byte == 0; });
}

TEST(WinMMPlayback, PlaysTheRangeIntoTheDeviceWhileTheTimerTicksOnTheGuiThread) {
    const std::string capture = CapturePath();
    if (capture.empty())
        GTEST_SKIP() << "TARVOLA_SOUND_CAPTURE names no capture file";
    // The capture may hold an earlier run's sound.
    std::ofstream(capture, std::ios::binary | std::ios::trunc).close();
    ASSERT_EQ(FileSize(capture), 0u);
    PumpPending();

    // 1.25 s of 16-bit stereo at 44100 Hz, played from 0.25 s on: exactly one second.
    constexpr int SampleRate = 44100;
    constexpr int FirstFrame = SampleRate / 4;
    const int frames = SampleRate + FirstFrame;
    TobjAudioInfo format;
    format.SetFormat(frames * 4, 2, SampleRate, 16, 2);
    TobjProcessData range;
    range.SetRange(FirstFrame, format.Frames - 1, format.BytesPerSample, ChannelMaskOf(2));
    ASSERT_EQ(range.LengthBytes, SampleRate * 4);
    const std::vector<std::uint8_t> signal = NoiseBytes(static_cast<std::size_t>(format.DataBytes));
    const auto played = signal.begin() + FirstFrame * 4;

    std::vector<std::string> messages;
    WaveOutApi waveOut = WinMMWaveOut();
    waveOut.ShowMessage = [&](const std::string& text) { messages.push_back(text); };
    TobjPlaySound player(waveOut);

    const DWORD guiThread = GetCurrentThreadId();
    int ticks = 0;
    int ticksOffTheGuiThread = 0;
    TobjHiTimer timer(WinMMPeriodicTimer());
    timer.SetInterval(100);
    timer.SetOnTimer([&](TobjHiTimer&) {
        ++ticks;
        if (GetCurrentThreadId() != guiThread)
            ++ticksOffTheGuiThread;
    });
    int timerMessages = 0;
    const auto countTimerMessages = [&](const MSG& message) {
        if (message.message == WM_TIMER && message.hwnd == timer.Window()) {
            ++timerMessages;
            EXPECT_EQ(message.lParam, 0) << "a non-zero lParam would be called as a timer procedure";
        }
    };

    ASSERT_TRUE(player.Open(format, range));
    ASSERT_TRUE(player.Write(&*played));
    timer.SetEnabled(true);
    ASSERT_NE(timer.TimerID(), 0u);
    const std::uint64_t wanted = static_cast<std::uint64_t>(range.LengthBytes);
    EXPECT_TRUE(PumpUntil([&] { return FileSize(capture) >= wanted && ticks >= 3; }, 30s, countTimerMessages))
        << "captured " << FileSize(capture) << " bytes, " << ticks << " ticks";
    EXPECT_EQ(player.State(), TobjSimpleWaveIO::StatePlaying);
    EXPECT_EQ(ticksOffTheGuiThread, 0);
    EXPECT_GE(timerMessages, ticks);

    timer.SetEnabled(false);
    const int ticksWhenDisabled = ticks;
    PumpPending(); // ticks posted before the timer died
    timerMessages = 0;
    PumpFor(500ms, countTimerMessages);
    EXPECT_EQ(timerMessages, 0) << "ticks posted after the timer was disabled";
    EXPECT_EQ(ticks, ticksWhenDisabled);

    EXPECT_TRUE(player.Reset());
    EXPECT_TRUE(player.Close());
    EXPECT_TRUE(messages.empty()) << messages.front();

    // The sink holds the played second exactly, with nothing but silence of its own framing around it.
    const std::vector<std::uint8_t> sink = ReadFile(capture);
    const auto found = std::search(sink.begin(), sink.end(), played, signal.end());
    ASSERT_NE(found, sink.end()) << "the played bytes are not in the " << sink.size() << "-byte capture";
    EXPECT_TRUE(AllZero(sink.begin(), found)) << "before the played bytes";
    EXPECT_TRUE(AllZero(found + range.LengthBytes, sink.end())) << "after the played bytes";
}

} // namespace
} // namespace tarvola
