#include "audio/SimpleWaveIO.h"

#include "base/Numerics.h"

#include <utility>

namespace tarvola {
namespace {

constexpr char FormatNotSupported[] = "Audio format not supported by the wave out device.";
constexpr char UnableToOpen[] = "Unable to open wave out device.";
constexpr char UnableToPrepare[] = "Unable to prepare wave out header.";
constexpr char UnableToSend[] = "Unable to send data to wave out device.";

} // namespace

TobjSimpleWaveIO::TobjSimpleWaveIO(WaveOutApi api) : TobjSimpleWaveIO(std::move(api), false) {}

TobjSimpleWaveIO::TobjSimpleWaveIO(WaveOutApi api, bool isPlayer)
    : Api_(std::move(api)), IsPlayer_(isPlayer) {
    ClearFields(Cleanup::Constructing);
}

TobjSimpleWaveIO::~TobjSimpleWaveIO() {
    if (State_ > StateOpen)
        ResetDevice();
    Close();
    ClearFields(Cleanup::Destroying);
}

bool TobjSimpleWaveIO::Open(const TobjAudioInfo& format, const TobjProcessData& range) {
    Format_ = &format;
    Range_ = &range;
    // Opening over a device that is still open would lose its handle, and the device with it.
    if (State_ != StateClosed && !Close()) {
        ShowMessage(UnableToOpen);
        return false;
    }
    WaveFormat_.FormatTag = WaveFormatPcm;
    WaveFormat_.Channels = CheckedCast<std::uint16_t>(range.ChannelCount);
    WaveFormat_.SamplesPerSec = CheckedCast<std::uint32_t>(format.SampleRate);
    WaveFormat_.AvgBytesPerSec = CheckedCast<std::uint32_t>(format.BytesPerSecond);
    WaveFormat_.BlockAlign = CheckedCast<std::uint16_t>(format.BlockAlign);
    WaveFormat_.BitsPerSample = CheckedCast<std::uint16_t>(format.BitsPerSample);
    WaveFormat_.ExtraSize = 0;

    LastResult_ = Api_.Open(Handle_, DeviceID_, WaveFormat_, WaveOpenMode::QueryFormat);
    if (LastResult_ != MMNoError) {
        ShowMessage(FormatNotSupported);
        Close();
    } else {
        LastResult_ = Api_.Open(Handle_, DeviceID_, WaveFormat_, WaveOpenMode::OpenWithoutCallback);
        if (LastResult_ == MMNoError) {
            State_ = StateOpen;
            Opened_ = true;
            return true;
        }
    }
    ShowMessage(UnableToOpen);
    Close();
    return false;
}

bool TobjSimpleWaveIO::Write(const void* data) {
    // A header the device still holds must not be touched.
    if (!Opened_ || HeaderPrepared_)
        return false;
    Header_ = WaveHeader{};
    Header_.BufferLength = CheckedCast<std::uint32_t>(Range_->LengthBytes);
    // The device only reads the buffer.
    Header_.Data = static_cast<char*>(const_cast<void*>(data));
    HeaderSize_ = sizeof(WaveHeader);
    State_ = StatePlaying;

    LastResult_ = Api_.PrepareHeader(Handle_, Header_);
    if (LastResult_ != MMNoError) {
        Close();
        ShowMessage(UnableToPrepare);
        return false;
    }
    HeaderPrepared_ = true;
    LastResult_ = Api_.Write(Handle_, Header_);
    if (LastResult_ != MMNoError) {
        Close();
        ShowMessage(UnableToSend);
        return false;
    }
    return true;
}

bool TobjSimpleWaveIO::Pause() {
    if (State_ != StatePlaying && State_ != StateRunning)
        return false;
    LastResult_ = Api_.Pause(Handle_);
    if (LastResult_ != MMNoError)
        return false;
    State_ = StatePaused;
    return true;
}

bool TobjSimpleWaveIO::Restart() {
    if (State_ != StatePaused)
        return false;
    LastResult_ = Api_.Restart(Handle_);
    if (LastResult_ != MMNoError)
        return false;
    State_ = IsPlayer_ ? StatePlaying : StateRunning;
    return true;
}

bool TobjSimpleWaveIO::ResetDevice() {
    bool reset = true;
    if (State_ != StateClosed && State_ != StateOpen) {
        LastResult_ = Api_.Reset(Handle_);
        reset = LastResult_ == MMNoError;
    }
    ClearFields(Cleanup::Resetting);
    // A closed device stays closed.
    if (reset && State_ != StateClosed)
        State_ = StateOpen;
    return reset;
}

bool TobjSimpleWaveIO::Reset() {
    const bool reset = ResetDevice();
    UnprepareHeaderIfPrepared();
    ClearFields(Cleanup::Resetting);
    return reset;
}

bool TobjSimpleWaveIO::Close() {
    if (State_ == StateClosed)
        return true;
    // A header left prepared would stay locked after the device is gone.
    UnprepareHeaderIfPrepared();
    LastResult_ = Api_.Close(Handle_);
    if (LastResult_ == WaveErrStillPlaying) {
        ResetDevice();
        UnprepareHeaderIfPrepared();
        LastResult_ = Api_.Close(Handle_);
    }
    if (LastResult_ != MMNoError)
        return false;
    State_ = StateClosed;
    Handle_ = nullptr;
    ClearFields(Cleanup::Closing);
    return true;
}

// A header still in the device's queue stays prepared (the device answers that it is still playing).
void TobjSimpleWaveIO::UnprepareHeaderIfPrepared() {
    if (!HeaderPrepared_)
        return;
    LastResult_ = Api_.UnprepareHeader(Handle_, Header_);
    if (LastResult_ == MMNoError)
        HeaderPrepared_ = false;
}

void TobjSimpleWaveIO::ClearFields(Cleanup cleanup) {
    // The data pointer goes with the buffer, but not while the header that carries it is still prepared.
    if (!HeaderPrepared_)
        Header_.Data = nullptr;
    switch (cleanup) {
    case Cleanup::Closing:
        DeviceID_ = 0; // later opens address device 0
        WaveFormat_ = WaveFormatEx{};
        HeaderSize_ = 0;
        break;
    case Cleanup::Constructing:
        DeviceID_ = WaveMapper;
        State_ = StateClosed;
        break;
    case Cleanup::Resetting:
    case Cleanup::Destroying:
        break;
    }
}

void TobjSimpleWaveIO::ShowMessage(const char* text) {
    if (Api_.ShowMessage)
        Api_.ShowMessage(text);
}

TobjPlaySound::TobjPlaySound(WaveOutApi api) : TobjSimpleWaveIO(std::move(api), true) {}

} // namespace tarvola
