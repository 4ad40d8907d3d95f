#include "app/TarvolaController.h"

#include "base/ByteOrder.h"
#include "base/Numerics.h"
#include "base/WholeFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tarvola {

namespace {

const char* const kApplicationTitle = "Tarvola";
const char* const kTitleSeparator = "  -  ";

bool FolderExists(const std::string& folder) {
    std::error_code error;
    return !folder.empty() && std::filesystem::is_directory(folder, error);
}

// General decimal text of up to 15 significant digits, as the duration label shows it.
std::string GeneralText(long double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15Lg", value);
    return text;
}

} // namespace

TTrackBarGeometry TrackBarGeometryFor(std::int32_t designerWidth) {
    TTrackBarGeometry g;
    g.Frequency = (designerWidth - 12) / 12;
    g.Width = g.Frequency * 12;
    g.Left = 6;
    g.Min = 1;
    g.Max = g.Width - g.Min;
    g.PageSize = 2 * g.Frequency;
    return g;
}

std::vector<std::uint8_t> EncodePlayerPersist(const TPlayerPersist& persist) {
    std::vector<std::uint8_t> bytes(TPlayerPersist::FileBytes, 0);
    PutLE(bytes.data(), persist.Top);
    PutLE(bytes.data() + 4, persist.Left);
    // One length byte and at most 254 characters: the length never claims a character that is not stored.
    const std::size_t length = std::min<std::size_t>(persist.LastDir.size(), TPlayerPersist::StoredDirChars);
    bytes[8] = static_cast<std::uint8_t>(length);
    std::copy_n(persist.LastDir.begin(), length, bytes.begin() + 9);
    return bytes;
}

std::optional<TPlayerPersist> DecodePlayerPersist(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < static_cast<std::size_t>(TPlayerPersist::FileBytes))
        return std::nullopt;
    TPlayerPersist persist;
    persist.Top = GetLE<std::int32_t>(bytes.data());
    persist.Left = GetLE<std::int32_t>(bytes.data() + 4);
    const std::size_t length = std::min<std::size_t>(bytes[8], TPlayerPersist::StoredDirChars);
    persist.LastDir.assign(bytes.begin() + 9, bytes.begin() + 9 + static_cast<std::ptrdiff_t>(length));
    return persist;
}

std::string FolderPartOf(const std::string& path) {
    const std::size_t last = path.find_last_of("\\:/");
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

TarvolaController::TarvolaController(const std::string& appDir, IMainWindowServices& services,
                                     IAudioFilePrompts& filePrompts, IAudioFileSystem& files,
                                     TobjPlaySound& player, IProcessDesigner* designer)
    : appDir_(appDir), services_(services), filePrompts_(filePrompts), files_(files), player_(player),
      designer_(designer) {
    processData_.SetMaxBlockBytes(TobjProcessData::DefaultMaxBlockBytes);
    InitMainState(true);
}

// ---- State

void TarvolaController::InitMainState(bool constructing) {
    if (!constructing) {
        player_.Close();
        audioInfo_.Clear();
        fileIOData_.Clear();
        outputView_.Clear();
        signalView_.Clear();
        // Close releases every buffer: the signal, the output and the undo level.
        signalBuffer_.reset();
        outputBuffer_.reset();
        undoBuffer_.reset();
        trailer_.clear();
        trailerFromRiffWave_ = false;
    }
    persistPath_ = appDir_ + "User" + kPathSeparator + "PlayerPersist.dat";
    LoadPersist();
    services_.SetTimerEnabled(false);
    trackBar_ = TrackBarGeometryFor(WindowWidth);
    SetLoadedState(false);
}

void TarvolaController::LoadPersist() {
    TPlayerPersist loaded;
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = ReadWholeFile(persistPath_);
    } catch (const std::exception&) {
        bytes.reset();
    }
    if (bytes) {
        if (const auto decoded = DecodePlayerPersist(*bytes)) {
            loaded.Top = decoded->Top;
            loaded.Left = decoded->Left;
            const std::string folder = FolderPartOf(decoded->LastDir);
            if (FolderExists(folder))
                loaded.LastDir = folder;
        }
    }
    persist_ = loaded;
}

void TarvolaController::SavePersist(std::int32_t top, std::int32_t left) const {
    TPlayerPersist persist = persist_;
    persist.Top = top;
    persist.Left = left;
    const std::vector<std::uint8_t> bytes = EncodePlayerPersist(persist);
    try {
        std::error_code ignored;
        std::filesystem::create_directories(FolderPartOf(persistPath_), ignored);
        WriteWholeFile(persistPath_, bytes);
    } catch (const std::exception&) {
        // Leaving the program must never stop on a settings file.
    }
}

void TarvolaController::SetLoadedState(bool loaded) {
    loaded_ = loaded;
    TMainViewState& v = view_;
    if (loaded) {
        services_.SetTimerEnabled(false);
        if (fileIOData_.Name.empty())
            fileIOData_.SetFileName("Untitled");
        UpdateCaption();
        UpdateStepTime();
        positionMs_ = 0;
        playState_ = PlayStateIdle;
        v.TrackBarEnabled = true;
        v.LoadSaveCaption = "Save";
        v.LoadSaveEnabled = true;
        v.PlayStopCaption = "Play";
        v.PlayStopEnabled = true;
        v.PauseResumeCaption = "Pause";
        v.PauseResumeEnabled = true;
        v.CloseEnabled = true;
        v.ProcessEnabled = designer_ != nullptr;
        v.MnItmSaveAs = true;
        v.MnItmClose = true;
        v.MnItmProcess = designer_ != nullptr;
        v.MnItmPlay = true;
        v.SubMenuEdit = true;
        v.MnItmOpen = false;
        ShowPosition();
        channelMask_ = ChannelMaskOf(audioInfo_.Channels);
        return;
    }
    durationMs_ = 0;
    positionMs_ = 0;
    v.Caption = kApplicationTitle;
    playState_ = PlayStateIdle;
    v.LoadSaveCaption = "Open";
    v.LoadSaveEnabled = true;
    v.MnItmSaveAs = false;
    v.MnItmOpen = true;
    v.PlayStopCaption = "Play";
    v.PlayStopEnabled = false;
    v.TrackBarEnabled = false;
    v.PauseResumeCaption = "Pause";
    v.PauseResumeEnabled = false;
    v.CloseEnabled = false;
    v.ProcessEnabled = false;
    v.MnItmClose = false;
    v.SubMenuEdit = false;
    v.MnItmProcess = false;
    v.MnItmPlay = false;
    v.MnItmStop = false;
    v.MnItmPause = false;
    v.MnItmResume = false;
    v.Parameters.fill("");
    msPerStep_ = 1000.0f / static_cast<float>(trackBar_.Max - trackBar_.Min);
    ShowPosition();
    channelMask_ = EmptyChannelMask();
    undoAvailable_ = false;
    v.UndoEnabled = false;
    v.MnItmUndo = false;
}

void TarvolaController::UpdateCaption() {
    view_.Caption = fileIOData_.Name + kTitleSeparator + kApplicationTitle;
}

// The track bar's first position is the start of the signal, its last the end.
void TarvolaController::UpdateStepTime() {
    msPerStep_ = static_cast<float>(fileIOData_.Duration * 1000.0L /
                                    static_cast<long double>(trackBar_.Max - trackBar_.Min));
}

std::int32_t TarvolaController::PositionToMs(std::int32_t position) const {
    return Round32(static_cast<long double>(position - trackBar_.Min) * msPerStep_);
}

void TarvolaController::ShowPosition() {
    TMinSecTenths time = MsToTime(positionMs_);
    view_.PositionText = TimeToText(time);
    std::int32_t position = trackBar_.Min;
    if (msPerStep_ > 0)
        position = Round32(static_cast<long double>(positionMs_) / msPerStep_) + trackBar_.Min;
    view_.TrackBarPosition = std::clamp(position, trackBar_.Min, trackBar_.Max);
}

void TarvolaController::ShowAudioParameters() {
    auto& p = view_.Parameters;
    p[0] = std::to_string(audioInfo_.SampleRate);
    p[1] = std::to_string(audioInfo_.BitsPerSample);
    p[2] = std::to_string(audioInfo_.Channels);
    p[3] = std::to_string(audioInfo_.Frames);
    p[4] = std::to_string(audioInfo_.DataBytes);
    p[5] = GeneralText(RoundHalfEven(fileIOData_.Duration * 1000000.0L) / 1000000.0L);
}

int TarvolaController::LiveBufferCount() const {
    std::vector<const void*> distinct;
    for (const Buffer* b : {&signalBuffer_, &outputBuffer_, &undoBuffer_})
        if (*b && std::find(distinct.begin(), distinct.end(), b->get()) == distinct.end())
            distinct.push_back(b->get());
    return static_cast<int>(distinct.size());
}

void TarvolaController::ShowBuffers(const Buffer& signal, const Buffer& output) {
    signalBuffer_ = signal;
    outputBuffer_ = output;
    signalView_.Clear();
    outputView_.Clear();
    if (signal)
        signalView_.SetPointer(signal->data(), static_cast<std::int64_t>(signal->size()));
    if (output)
        outputView_.SetPointer(output->data(), static_cast<std::int64_t>(output->size()));
}

// ---- Open, save, close

void TarvolaController::OpenSaveClick() {
    if (view_.LoadSaveCaption == "Open" && !loaded_)
        OpenAudioFile();
    else if (view_.LoadSaveCaption == "Save" && loaded_)
        SaveAudioFileAs();
}

bool TarvolaController::ReadSignal(TobjAudioFile& reader) {
    const std::int32_t dataBytes = reader.AudioInfo().DataBytes;
    // Zero-filled, so no byte of the signal is ever left unwritten.
    auto buffer = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(dataBytes), 0);
    std::int64_t at = 0;
    for (std::int32_t block = 1; block <= processData_.BlockCount; ++block) {
        const std::int32_t bytes =
            block == processData_.BlockCount ? processData_.LastBlockBytes : processData_.BlockBytes;
        const std::int32_t wanted = static_cast<std::int32_t>(std::min<std::int64_t>(bytes, dataBytes - at));
        if (wanted <= 0)
            break;
        if (reader.ReadBlock(buffer->data() + at, wanted) != wanted)
            return false;
        at += wanted;
    }
    ShowBuffers(buffer, buffer);
    return true;
}

void TarvolaController::OpenAudioFile() {
    std::string fileName;
    if (!services_.RunOpenDialog(persist_.LastDir, fileName))
        return;
    fileIOData_.SetFileName(fileName);
    bool opened = false;
    if (auto reader = CreateAudioFileByMagic(fileName, filePrompts_, files_)) {

        if (reader->Open(fileName)) {
            persist_.LastDir = fileIOData_.Path.substr(0, 255);
            audioInfo_ = reader->AudioInfo();
            const TobjFileIOData& read = reader->FileIOData();
            fileIOData_.Clear();
            fileIOData_.SetFileName(fileName);
            fileIOData_.Duration = read.Duration;
            fileIOData_.FileSize = read.FileSize;
            fileIOData_.HasTrailer = read.HasTrailer;
            fileIOData_.TrailerPos = read.TrailerPos;
            fileIOData_.TrailerBytes = read.TrailerBytes;
            fileIOData_.FormatTag = read.FormatTag;
            fileIOData_.RiffSize = read.RiffSize;
            fileIOData_.FmtChunkPos = read.FmtChunkPos;
            fileIOData_.DataChunkPos = read.DataChunkPos;
            fileIOData_.DataOffset = read.DataOffset;
            fileIOData_.DataBytes = read.DataBytes;
            fileIOData_.Frames = read.Frames;
            fileIOData_.DataEnd = read.DataEnd;
            fileIOData_.SsndOffset = read.SsndOffset;
            fileIOData_.SsndBlockSize = read.SsndBlockSize;
            // The trailer's bytes are copied: the reader's memory dies with the reader.
            const TobjFlexMemoryStream& trailer = read.TrailerStream;
            trailer_.assign(trailer.Memory(), trailer.Memory() + trailer.Size());
            trailerFromRiffWave_ = dynamic_cast<TobjRIFFWave*>(reader.get()) != nullptr;
            if (designer_)
                designer_->SetSampleRate(audioInfo_.SampleRate);
            channelMask_ = ChannelMaskOf(audioInfo_.Channels);
            processData_.SetRange(0, audioInfo_.Frames - 1, audioInfo_.BytesPerSample, channelMask_);
            durationMs_ = Round32(fileIOData_.Duration * 1000.0L);
            opened = ReadSignal(*reader);
        }
        reader->Close();
    }
    if (!opened) {
        audioInfo_.Clear();
        fileIOData_.Clear();
        trailer_.clear();
        ShowBuffers(nullptr, nullptr);
        SetLoadedState(false);
        services_.ShowMessage("Error opening file, \"" + fileName + "\".");
        return;
    }
    undoBuffer_.reset();
    SetLoadedState(true);
    ShowAudioParameters();
}

void TarvolaController::SaveAudioFileAs() {
    std::string fileName = fileIOData_.FileName;
    if (!services_.RunSaveDialog(fileIOData_.Path, fileName))
        return;
    bool saved = false;
    if (auto writer = CreateAudioFileByExtension(fileName, filePrompts_, files_)) {
        saved = writer->SaveToFile(fileName, outputView_.Memory(), audioInfo_.DataBytes,
                                   static_cast<std::int32_t>(trailer_.size()), audioInfo_.BitsPerSample,
                                   audioInfo_.BytesPerSample, audioInfo_.SampleRate, audioInfo_.Channels,
                                   trailer_.empty() ? nullptr : trailer_.data(), trailerFromRiffWave_);
        if (saved) {
            fileIOData_.SetFileName(fileName);
            UpdateCaption();
            ShowAudioParameters();
        }
        writer->Close();
    }
    if (!saved)
        services_.ShowMessage("Error saving file, \"" + fileName + "\".");
}

void TarvolaController::CloseNewClick() {
    if (playState_ == PlayStatePaused || playState_ == PlayStatePlaying)
        StopPlayback();
    if (playState_ != PlayStateIdle && !player_.Close()) {
        services_.ShowMessage("Unable to close the output device.");
        return;
    }
    InitMainState(false);
}

// ---- Playback

void TarvolaController::StartPlayback() {
    positionMs_ = PositionToMs(view_.TrackBarPosition);
    const long double frame = RoundHalfEven(positionMs_ / 1000.0L * audioInfo_.SampleRate);
    startFrame_ = static_cast<std::int32_t>(std::min<long double>(frame, audioInfo_.Frames - 1));
    startByte_ = CheckedMul(startFrame_, audioInfo_.FrameBytes);
    processData_.SetRange(startFrame_, audioInfo_.Frames - 1, audioInfo_.BytesPerSample, channelMask_);
    if (!player_.Open(audioInfo_, processData_))
        return;
    if (!player_.Write(outputView_.Memory() + startByte_))
        return;
    services_.SetTimerEnabled(true);
    playState_ = PlayStatePlaying;
    TMainViewState& v = view_;
    v.PlayStopCaption = "Stop";
    v.PauseResumeCaption = "Pause";
    v.PauseResumeEnabled = true;
    v.ProcessEnabled = false;
    v.UndoEnabled = false;
    v.MnItmPause = true;
    v.MnItmStop = true;
    v.MnItmResume = false;
    v.MnItmPlay = false;
    v.MnItmProcess = false;
    v.MnItmUndo = false;
    ShowPosition();
}

void TarvolaController::StopPlayback() {
    if (!player_.Reset()) {
        services_.ShowMessage("Unable to reset the output device.");
        return;
    }
    player_.Close();
    playState_ = PlayStateIdle;
    services_.SetTimerEnabled(false);
    SetLoadedState(true);
    TMainViewState& v = view_;
    v.PauseResumeEnabled = false;
    v.MnItmPause = false;
    v.MnItmResume = false;
    v.MnItmStop = false;
    v.MnItmPlay = true;
    v.ProcessEnabled = designer_ != nullptr;
    v.MnItmProcess = designer_ != nullptr;
    v.UndoEnabled = undoAvailable_;
    v.MnItmUndo = undoAvailable_;
}

void TarvolaController::TimerTick() {
    if (playState_ != PlayStatePlaying)
        return;
    positionMs_ = CheckedAdd(positionMs_, TimerIntervalMs);
    ShowPosition();
    if (positionMs_ >= durationMs_)
        StopPlayback();
}

void TarvolaController::SetPlayPos(std::int32_t position) {
    if (player_.State() == TobjPlaySound::StatePlaying)
        return;
    view_.TrackBarPosition = position;
    positionMs_ = PositionToMs(position);
    TMinSecTenths time = MsToTime(positionMs_);
    view_.PositionText = TimeToText(time);
}

void TarvolaController::PlayStopClick() {
    const auto state = player_.State();
    if (loaded_ && playState_ != PlayStatePlaying && view_.PlayStopCaption == "Play" &&
        (state == TobjPlaySound::StateClosed || state == TobjPlaySound::StateOpen))
        StartPlayback();
    else if ((playState_ == PlayStatePaused || playState_ == PlayStatePlaying) &&
             view_.PlayStopCaption == "Stop" &&
             (state == TobjPlaySound::StatePlaying || state == TobjPlaySound::StatePaused))
        StopPlayback();
}

void TarvolaController::PauseDevice(bool fromButton) {
    if (!player_.Pause())
        return;
    services_.SetTimerEnabled(false);
    playState_ = PlayStatePaused;
    view_.MnItmResume = true;
    view_.MnItmPause = false;
    view_.PauseResumeCaption = "Resume";
    if (fromButton)
        view_.TrackBarEnabled = false;
}

void TarvolaController::ResumeDevice(bool fromButton) {
    if (!player_.Restart())
        return;
    services_.SetTimerEnabled(true);
    playState_ = PlayStatePlaying;
    view_.MnItmResume = false;
    view_.MnItmPause = true;
    view_.PauseResumeCaption = "Pause";
    if (fromButton)
        view_.TrackBarEnabled = true;
}

void TarvolaController::PauseResumeClick() {
    const auto state = player_.State();
    if (state == TobjPlaySound::StatePlaying && view_.PauseResumeCaption == "Pause")
        PauseDevice(true);
    else if (state == TobjPlaySound::StatePaused && view_.PauseResumeCaption == "Resume")
        ResumeDevice(true);
}

void TarvolaController::MnItmPlayClick() {
    const auto state = player_.State();
    if (loaded_ && (state == TobjPlaySound::StateClosed || state == TobjPlaySound::StateOpen))
        StartPlayback();
}

void TarvolaController::MnItmStopClick() {
    const auto state = player_.State();
    if (state == TobjPlaySound::StatePlaying || state == TobjPlaySound::StatePaused)
        StopPlayback();
}

void TarvolaController::MnItmPauseClick() {
    if (player_.State() == TobjPlaySound::StatePlaying)
        PauseDevice(false);
}

void TarvolaController::MnItmResumeClick() {
    if (player_.State() == TobjPlaySound::StatePaused)
        ResumeDevice(false);
}

// ---- Process and undo

void TarvolaController::ProcessClick() {
    if (!loaded_ || !designer_ || playState_ != PlayStateIdle)
        return;
    view_.ProcessEnabled = false;
    view_.MnItmProcess = false;
    // Whatever happens in the designer, the buttons come back.
    struct Reenable {
        TarvolaController& c;
        ~Reenable() {
            if (c.undoAvailable_) {
                c.view_.UndoEnabled = true;
                c.view_.MnItmUndo = true;
            }
            c.view_.ProcessEnabled = true;
            c.view_.MnItmProcess = true;
        }
    } reenable{*this};
    ProcessSignal();
}

void TarvolaController::ProcessSignal() {
    // The output starts as a copy of the signal: samples the designer does not write keep their input.
    const Buffer signal = signalBuffer_;
    const Buffer output = std::make_shared<std::vector<std::uint8_t>>(*signal);
    ShowBuffers(signal, output);
    bool ok = false;
    try {
        designer_->PrepareProcess();
        designer_->Process();
        ok = designer_->ProcessOK();
    } catch (...) {
        // An error is a halt: the signal stays as it was, then the error is shown.
        ShowBuffers(signal, signal);
        throw;
    }
    if (!ok) {
        // Halted: the output is dropped and the user's previous undo level stays.
        ShowBuffers(signal, signal);
        return;
    }
    undoBuffer_ = signal;
    undoAvailable_ = true;
    ShowBuffers(output, output);
}

void TarvolaController::UndoClick() {
    if (!undoAvailable_ || playState_ != PlayStateIdle)
        return;
    const Buffer undo = undoBuffer_;
    undoBuffer_.reset();
    ShowBuffers(undo, undo);
    undoAvailable_ = false;
    view_.UndoEnabled = false;
    view_.MnItmUndo = false;
}

} // namespace tarvola
