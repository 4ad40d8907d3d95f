// The wave-out player: one device handle, one wave header and one wave format. Playback hands the whole rest
// of the signal to the device in one buffer, without callbacks; the owner stops it by resetting and closing
// the device. Every device failure is reported with a plain message box and closes the device.
#pragma once

#include "audio/AudioInfoStructures.h"
#include "audio/WinMMSeam.h"

#include <cstdint>

namespace tarvola {

class TobjSimpleWaveIO {
public:
    static constexpr std::uint8_t StateClosed = 0;
    static constexpr std::uint8_t StateOpen = 1;
    static constexpr std::uint8_t StatePaused = 2;
    static constexpr std::uint8_t StatePlaying = 3;
    static constexpr std::uint8_t StateRunning = 4; // a restarted device of a descendant that is not a player

    explicit TobjSimpleWaveIO(WaveOutApi api);
    TobjSimpleWaveIO(const TobjSimpleWaveIO&) = delete;
    TobjSimpleWaveIO& operator=(const TobjSimpleWaveIO&) = delete;
    virtual ~TobjSimpleWaveIO();

    // Opens the device for the format of `format` with the channels of `range`; both records are kept and
    // must outlive the playback. A device still open from before is closed first.
    bool Open(const TobjAudioInfo& format, const TobjProcessData& range);
    // Plays range.LengthBytes bytes from `data`, which must stay valid until Reset or Close. False before the
    // first successful Open, and while the device still holds the previous buffer.
    bool Write(const void* data);
    bool Pause();
    bool Restart();
    // Stops the device and hands the buffer back: afterwards the caller may free it.
    bool Reset();
    bool Close();

    std::uint8_t State() const { return State_; }
    std::uint32_t DeviceID() const { return DeviceID_; }
    const WaveFormatEx& WaveFormat() const { return WaveFormat_; }
    const WaveHeader& Header() const { return Header_; }
    std::uint32_t HeaderSize() const { return HeaderSize_; }
    MMResult LastResult() const { return LastResult_; }
    bool Opened() const { return Opened_; }

protected:
    TobjSimpleWaveIO(WaveOutApi api, bool isPlayer);

private:
    enum class Cleanup { Constructing, Resetting, Closing, Destroying };

    bool ResetDevice();
    void UnprepareHeaderIfPrepared();
    void ClearFields(Cleanup cleanup);
    void ShowMessage(const char* text);

    WaveOutApi Api_;
    WaveHeader Header_;
    bool HeaderPrepared_ = false;
    std::uint32_t HeaderSize_ = 0;
    WaveOutHandle Handle_ = nullptr;
    std::uint32_t DeviceID_ = WaveMapper;
    WaveFormatEx WaveFormat_;
    MMResult LastResult_ = MMNoError;
    const TobjAudioInfo* Format_ = nullptr;
    const TobjProcessData* Range_ = nullptr;
    std::uint8_t State_ = StateClosed;
    bool IsPlayer_ = false;
    bool Opened_ = false;
};

// The player the main window owns: a restarted device is playing again.
class TobjPlaySound : public TobjSimpleWaveIO {
public:
    explicit TobjPlaySound(WaveOutApi api);
};

} // namespace tarvola
