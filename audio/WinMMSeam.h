// The Windows multimedia calls of the wave-out player and the periodic timer, as tables of functions, so that
// tests can script the device's answers (refusals, results, timer ids). The product uses the tables that call
// winmm itself (WinMMWaveOut, WinMMPeriodicTimer; Windows builds only).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tarvola {

// winmm's result codes and the constants the player relies on.
using MMResult = std::uint32_t;
inline constexpr MMResult MMNoError = 0;                 // MMSYSERR_NOERROR
inline constexpr MMResult WaveErrStillPlaying = 33;      // WAVERR_STILLPLAYING
inline constexpr std::uint32_t WaveMapper = 0xFFFFFFFFu; // WAVE_MAPPER
inline constexpr std::uint16_t WaveFormatPcm = 1;        // WAVE_FORMAT_PCM

// How waveOutOpen is asked: only whether the format is supported (WAVE_FORMAT_QUERY), or to open the device
// without any callback (CALLBACK_NULL).
enum class WaveOpenMode { QueryFormat, OpenWithoutCallback };

using WaveOutHandle = void*; // HWAVEOUT

// WAVEFORMATEX.
struct WaveFormatEx {
    std::uint16_t FormatTag = 0;
    std::uint16_t Channels = 0;
    std::uint32_t SamplesPerSec = 0;
    std::uint32_t AvgBytesPerSec = 0;
    std::uint16_t BlockAlign = 0;
    std::uint16_t BitsPerSample = 0;
    std::uint16_t ExtraSize = 0;

    friend bool operator==(const WaveFormatEx&, const WaveFormatEx&) = default;
};

// WAVEHDR, field for field: the device keeps a pointer to this very record from prepare to unprepare and
// writes its flags, so the real table hands it to winmm in place (the layouts are checked there).
struct WaveHeader {
    char* Data = nullptr;
    std::uint32_t BufferLength = 0;
    std::uint32_t BytesRecorded = 0;
    std::uintptr_t User = 0;
    std::uint32_t Flags = 0;
    std::uint32_t Loops = 0;
    WaveHeader* Next = nullptr;
    std::uintptr_t Reserved = 0;
};

// The wave-out calls of the player, and the plain message box it reports its failures with.
struct WaveOutApi {
    std::function<MMResult(WaveOutHandle& handle, std::uint32_t deviceId, const WaveFormatEx& format,
                           WaveOpenMode mode)>
        Open;
    std::function<MMResult(WaveOutHandle handle, WaveHeader& header)> PrepareHeader;
    std::function<MMResult(WaveOutHandle handle, WaveHeader& header)> Write;
    std::function<MMResult(WaveOutHandle handle)> Pause;
    std::function<MMResult(WaveOutHandle handle)> Restart;
    std::function<MMResult(WaveOutHandle handle)> Reset;
    std::function<MMResult(WaveOutHandle handle, WaveHeader& header)> UnprepareHeader;
    std::function<MMResult(WaveOutHandle handle)> Close;
    std::function<void(const std::string& text)> ShowMessage;
};

// timeGetDevCaps' answer.
struct TimerCaps {
    std::uint32_t PeriodMin = 0;
    std::uint32_t PeriodMax = 0;
};

// The periodic multimedia timer. SetEvent starts a periodic timer whose every tick, on the platform's timer
// thread, does nothing but post WM_TIMER (wParam the timer's id, lParam 0) to the given window; it answers
// the timer's id, 0 when no timer could be made.
struct PeriodicTimerApi {
    std::function<MMResult(TimerCaps& caps)> GetDevCaps;
    std::function<MMResult(std::uint32_t period)> BeginPeriod;
    std::function<MMResult(std::uint32_t period)> EndPeriod;
    std::function<std::uint32_t(std::uint32_t delay, std::uint32_t resolution, std::uintptr_t window)>
        SetEvent;
    std::function<MMResult(std::uint32_t timerId)> KillEvent;
};

// The tables over winmm (Windows builds only). The wave-out table's message box is a plain one with an OK
// button.
WaveOutApi WinMMWaveOut();
PeriodicTimerApi WinMMPeriodicTimer();

} // namespace tarvola
