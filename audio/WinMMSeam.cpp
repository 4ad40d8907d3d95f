// The tables over winmm.
#include <windows.h>
#include <mmsystem.h>

#include "audio/WinMMSeam.h"

#include <cstddef>

namespace tarvola {
namespace {

static_assert(MMNoError == MMSYSERR_NOERROR);
static_assert(WaveErrStillPlaying == WAVERR_STILLPLAYING);
static_assert(WaveMapper == static_cast<std::uint32_t>(WAVE_MAPPER));
static_assert(WaveFormatPcm == WAVE_FORMAT_PCM);
static_assert(sizeof(WaveOutHandle) == sizeof(HWAVEOUT));

// WaveHeader is handed to winmm in place of a WAVEHDR.
static_assert(sizeof(WaveHeader) == sizeof(WAVEHDR));
static_assert(offsetof(WaveHeader, Data) == offsetof(WAVEHDR, lpData));
static_assert(offsetof(WaveHeader, BufferLength) == offsetof(WAVEHDR, dwBufferLength));
static_assert(offsetof(WaveHeader, BytesRecorded) == offsetof(WAVEHDR, dwBytesRecorded));
static_assert(offsetof(WaveHeader, User) == offsetof(WAVEHDR, dwUser));
static_assert(offsetof(WaveHeader, Flags) == offsetof(WAVEHDR, dwFlags));
static_assert(offsetof(WaveHeader, Loops) == offsetof(WAVEHDR, dwLoops));
static_assert(offsetof(WaveHeader, Next) == offsetof(WAVEHDR, lpNext));
static_assert(offsetof(WaveHeader, Reserved) == offsetof(WAVEHDR, reserved));

HWAVEOUT AsWaveOut(WaveOutHandle handle) {
    return static_cast<HWAVEOUT>(handle);
}

WAVEHDR* AsWaveHdr(WaveHeader& header) {
    return reinterpret_cast<WAVEHDR*>(&header);
}

MMResult OpenWaveOut(WaveOutHandle& handle, std::uint32_t deviceId, const WaveFormatEx& format,
                     WaveOpenMode mode) {
    WAVEFORMATEX platformFormat{};
    platformFormat.wFormatTag = format.FormatTag;
    platformFormat.nChannels = format.Channels;
    platformFormat.nSamplesPerSec = format.SamplesPerSec;
    platformFormat.nAvgBytesPerSec = format.AvgBytesPerSec;
    platformFormat.nBlockAlign = format.BlockAlign;
    platformFormat.wBitsPerSample = format.BitsPerSample;
    platformFormat.cbSize = format.ExtraSize;
    const DWORD flags = mode == WaveOpenMode::QueryFormat ? WAVE_FORMAT_QUERY : CALLBACK_NULL;
    HWAVEOUT opened = nullptr;
    // A format query opens nothing; winmm accepts a null handle pointer then.
    const MMRESULT result = waveOutOpen(mode == WaveOpenMode::QueryFormat ? nullptr : &opened, deviceId,
                                        &platformFormat, 0, 0, flags);
    if (mode == WaveOpenMode::OpenWithoutCallback && result == MMSYSERR_NOERROR)
        handle = opened;
    return result;
}

// Runs on the platform's timer thread: posting the tick is all it does, so nothing can be thrown here.
void CALLBACK PostTick(UINT timerId, UINT, DWORD_PTR window, DWORD_PTR, DWORD_PTR) noexcept {
    PostMessageA(reinterpret_cast<HWND>(window), WM_TIMER, static_cast<WPARAM>(timerId), 0);
}

} // namespace

WaveOutApi WinMMWaveOut() {
    WaveOutApi api;
    api.Open = OpenWaveOut;
    api.PrepareHeader = [](WaveOutHandle handle, WaveHeader& header) -> MMResult {
        return waveOutPrepareHeader(AsWaveOut(handle), AsWaveHdr(header), sizeof(WAVEHDR));
    };
    api.Write = [](WaveOutHandle handle, WaveHeader& header) -> MMResult {
        return waveOutWrite(AsWaveOut(handle), AsWaveHdr(header), sizeof(WAVEHDR));
    };
    api.Pause = [](WaveOutHandle handle) -> MMResult { return waveOutPause(AsWaveOut(handle)); };
    api.Restart = [](WaveOutHandle handle) -> MMResult { return waveOutRestart(AsWaveOut(handle)); };
    api.Reset = [](WaveOutHandle handle) -> MMResult { return waveOutReset(AsWaveOut(handle)); };
    api.UnprepareHeader = [](WaveOutHandle handle, WaveHeader& header) -> MMResult {
        return waveOutUnprepareHeader(AsWaveOut(handle), AsWaveHdr(header), sizeof(WAVEHDR));
    };
    api.Close = [](WaveOutHandle handle) -> MMResult { return waveOutClose(AsWaveOut(handle)); };
    api.ShowMessage = [](const std::string& text) {
        MessageBoxA(GetActiveWindow(), text.c_str(), "Tarvola", MB_OK);
    };
    return api;
}

PeriodicTimerApi WinMMPeriodicTimer() {
    PeriodicTimerApi api;
    api.GetDevCaps = [](TimerCaps& caps) -> MMResult {
        TIMECAPS platformCaps{};
        const MMRESULT result = timeGetDevCaps(&platformCaps, sizeof(platformCaps));
        caps.PeriodMin = platformCaps.wPeriodMin;
        caps.PeriodMax = platformCaps.wPeriodMax;
        return result;
    };
    api.BeginPeriod = [](std::uint32_t period) -> MMResult { return timeBeginPeriod(period); };
    api.EndPeriod = [](std::uint32_t period) -> MMResult { return timeEndPeriod(period); };
    api.SetEvent = [](std::uint32_t delay, std::uint32_t resolution, std::uintptr_t window) -> std::uint32_t {
        // TIME_KILL_SYNCHRONOUS: once timeKillEvent returns, no tick of that timer is still on its way.
        return timeSetEvent(delay, resolution, PostTick, static_cast<DWORD_PTR>(window),
                            TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    };
    api.KillEvent = [](std::uint32_t timerId) -> MMResult { return timeKillEvent(timerId); };
    return api;
}

} // namespace tarvola
