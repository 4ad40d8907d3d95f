// The main window's logic without its window: which buffer each signal view shows, what is enabled in
// each state, the track-bar arithmetic, playback counting, and "PlayerPersist.dat". The main window
// (TobjTarvola) turns clicks into calls here and shows the resulting TMainViewState.
//
// Buffers: the signal, output and undo buffers are held by shared ownership. The stream views only view
// them, so a buffer is released exactly when neither view nor the undo slot refers to it any more.
#pragma once

#include "audio/AudioInfoStructures.h"
#include "audio/General.h"
#include "audio/RWAudioFile.h"
#include "audio/SimpleWaveIO.h"
#include "audio/Streams.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvola {

// What the main window shows: captions, enabled states, the position and the six audio parameters.
struct TMainViewState {
    std::string Caption;
    std::string LoadSaveCaption = "Open";
    std::string PlayStopCaption = "Play";
    std::string PauseResumeCaption = "Pause";
    bool LoadSaveEnabled = true;
    bool PlayStopEnabled = false;
    bool PauseResumeEnabled = false;
    bool CloseEnabled = false;
    bool ProcessEnabled = false;
    bool UndoEnabled = false;
    bool TrackBarEnabled = false;
    bool MnItmOpen = true;
    bool MnItmSaveAs = false;
    bool MnItmClose = false;
    bool SubMenuEdit = false;
    bool MnItmProcess = false;
    bool MnItmUndo = false;
    bool MnItmPlay = false;
    bool MnItmStop = false;
    bool MnItmPause = false;
    bool MnItmResume = false;
    std::string PositionText = "00:00.0";
    std::int32_t TrackBarPosition = 1;
    // Sample rate, bits per sample, channels, sample frames, signal bytes, duration.
    std::array<std::string, 6> Parameters;
    bool operator==(const TMainViewState&) const = default;
};

// The track bar across the top of the window: one position per pixel of a 1020-pixel-wide window.
struct TTrackBarGeometry {
    std::int32_t Frequency = 0;
    std::int32_t Width = 0;
    std::int32_t Left = 6;
    std::int32_t Min = 1;
    std::int32_t Max = 0;
    std::int32_t PageSize = 0;
};
TTrackBarGeometry TrackBarGeometryFor(std::int32_t designerWidth);

// What the main window asks of the platform and the user.
class IMainWindowServices {
public:
    virtual ~IMainWindowServices() = default;
    // A plain message box with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // The open dialog; false when cancelled.
    virtual bool RunOpenDialog(const std::string& initialDir, std::string& fileName) = 0;
    // The save dialog, starting at fileName in initialDir; false when cancelled.
    virtual bool RunSaveDialog(const std::string& initialDir, std::string& fileName) = 0;
    // Runs or stops the 100 ms position timer.
    virtual void SetTimerEnabled(bool enabled) = 0;
};

// The kernel designer as the main window uses it to process the signal.
class IProcessDesigner {
public:
    virtual ~IProcessDesigner() = default;
    virtual void SetSampleRate(std::int32_t sampleRate) = 0;
    virtual void PrepareProcess() = 0;
    // Reads SignalView and writes OutputView.
    virtual void Process() = 0;
    virtual bool ProcessOK() const = 0;
};

// "PlayerPersist.dat": the window position and the last folder.
struct TPlayerPersist {
    static constexpr std::int32_t FileBytes = 263;
    static constexpr std::int32_t StoredDirChars = 254;
    std::int32_t Top = 10;
    std::int32_t Left = 10;
    std::string LastDir = "E:\\";
};
std::vector<std::uint8_t> EncodePlayerPersist(const TPlayerPersist& persist);
// Nothing when the bytes are fewer than the file's size (a short file counts as missing).
std::optional<TPlayerPersist> DecodePlayerPersist(const std::vector<std::uint8_t>& bytes);
// The folder part of a path: up to and including its last backslash or colon.
std::string FolderPartOf(const std::string& path);

class TarvolaController {
public:
    static constexpr std::int32_t PlayStateIdle = 0;
    static constexpr std::int32_t PlayStatePaused = 2;
    static constexpr std::int32_t PlayStatePlaying = 3;
    static constexpr std::int32_t WindowWidth = 1020;
    static constexpr std::int32_t WindowHeight = 164;
    static constexpr std::int32_t TimerIntervalMs = 100;

    // appDir ends in the path separator. The designer may be null (Process then stays disabled).
    TarvolaController(const std::string& appDir, IMainWindowServices& services,
                      IAudioFilePrompts& filePrompts, IAudioFileSystem& files, TobjPlaySound& player,
                      IProcessDesigner* designer);

    // The state made by the constructor and by Close: no file, persisted position and folder re-read.
    void InitMainState(bool constructing);
    void LoadPersist();
    // Writes "PlayerPersist.dat" whole; failures are ignored, so leaving the program never blocks.
    void SavePersist(std::int32_t top, std::int32_t left) const;

    // Handlers.
    void OpenSaveClick();
    void OpenAudioFile();
    void SaveAudioFileAs();
    void CloseNewClick();
    void PlayStopClick();
    void PauseResumeClick(); // the button: also disables the track bar while paused
    void MnItmPlayClick();
    void MnItmStopClick();
    void MnItmPauseClick();
    void MnItmResumeClick();
    void SetPlayPos(std::int32_t position);
    void TimerTick();
    void ProcessClick();
    void UndoClick();

    const TMainViewState& View() const { return view_; }
    const TTrackBarGeometry& TrackBar() const { return trackBar_; }
    const TPlayerPersist& Persist() const { return persist_; }
    const std::string& PersistPath() const { return persistPath_; }
    const std::string& LastDir() const { return persist_.LastDir; }
    bool Loaded() const { return loaded_; }
    bool UndoAvailable() const { return undoAvailable_; }
    std::int32_t PlayState() const { return playState_; }
    std::int32_t PositionMs() const { return positionMs_; }
    std::int32_t DurationMs() const { return durationMs_; }
    float MsPerStep() const { return msPerStep_; }
    std::int32_t StartFrame() const { return startFrame_; }
    std::int32_t StartByte() const { return startByte_; }
    const TobjAudioInfo& AudioInfo() const { return audioInfo_; }
    TobjAudioInfo& AudioInfo() { return audioInfo_; }
    const TobjFileIOData& FileIOData() const { return fileIOData_; }
    TobjProcessData& ProcessData() { return processData_; }
    TobjMultiMemStrm& SignalView() { return signalView_; }
    TobjMultiMemStrm& OutputView() { return outputView_; }
    // The memory the undo slot holds (null when there is none), for tests of buffer ownership.
    const std::uint8_t* UndoMemory() const { return undoBuffer_ ? undoBuffer_->data() : nullptr; }
    // How many buffers are alive (held by a view or the undo slot).
    int LiveBufferCount() const;

private:
    using Buffer = std::shared_ptr<std::vector<std::uint8_t>>;

    void SetLoadedState(bool loaded);
    void UpdateStepTime();
    void ShowPosition();
    void ShowAudioParameters();
    void UpdateCaption();
    void StartPlayback();
    void StopPlayback();
    void PauseDevice(bool fromButton);
    void ResumeDevice(bool fromButton);
    bool ReadSignal(TobjAudioFile& reader);
    void ShowBuffers(const Buffer& signal, const Buffer& output);
    void ProcessSignal();
    std::int32_t PositionToMs(std::int32_t position) const;

    std::string appDir_;
    std::string persistPath_;
    IMainWindowServices& services_;
    IAudioFilePrompts& filePrompts_;
    IAudioFileSystem& files_;
    TobjPlaySound& player_;
    IProcessDesigner* designer_;

    TobjAudioInfo audioInfo_;
    TobjProcessData processData_;
    TobjFileIOData fileIOData_;
    TobjMultiMemStrm signalView_;
    TobjMultiMemStrm outputView_;
    std::vector<std::uint8_t> trailer_;
    bool trailerFromRiffWave_ = false;
    Buffer signalBuffer_;
    Buffer outputBuffer_;
    Buffer undoBuffer_;

    TMainViewState view_;
    TTrackBarGeometry trackBar_;
    TPlayerPersist persist_;
    TChannelMask channelMask_ = EmptyChannelMask();
    float msPerStep_ = 0;
    std::int32_t playState_ = PlayStateIdle;
    bool loaded_ = false;
    bool undoAvailable_ = false;
    std::int32_t positionMs_ = 0;
    std::int32_t durationMs_ = 0;
    std::int32_t startFrame_ = 0;
    std::int32_t startByte_ = 0;
};

} // namespace tarvola
