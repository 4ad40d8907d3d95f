// Reading audio files into the format records and a memory buffer, and writing a buffer out as a file.
// Three formats: RIFF WAVE (little-endian), AIFF (big-endian) and headerless PCM. An object lives for one
// open or one save: the main window makes a reader with CreateAudioFileByMagic, calls Open and then
// ReadBlock until the data is in memory; for saving it makes a writer with CreateAudioFileByExtension and
// calls SaveToFile.
//
// Samples in memory are always in the layout of a RIFF WAVE file: low byte first, 8-bit samples unsigned.
// AIFF samples are converted on the way in and out (byte order, and the sign of 8-bit samples), so a file
// round-trips through either format unchanged in sound.
//
// Everything the user has to see or answer (error boxes, the header report, the raw-PCM parameters) goes
// through IAudioFilePrompts, and every file access through IAudioFileSystem, so this unit is portable and
// its tests run on files kept in memory.
#pragma once

#include "audio/AudioInfoStructures.h"
#include "audio/Streams.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarvola {

// ---- Seams

// The raw-PCM parameters the user gives for a headerless file. Order 0: low byte first; 1: high byte first.
struct TRawPCMParams {
    std::int32_t Bits = 16;
    std::int32_t Rate = 44100;
    std::int32_t Channels = 1;
    std::int32_t BytesPerSample = 2;
    std::int32_t Order = 0;
};

enum class THeaderReportChoice { Abort, Ignore };

class IAudioFilePrompts {
public:
    virtual ~IAudioFilePrompts() = default;
    // An error box with an OK button.
    virtual void ShowError(const std::string& text) = 0;
    // An error box with the buttons Abort and Ignore (the header report).
    virtual THeaderReportChoice AskAbortOrIgnore(const std::string& text) = 0;
    // A plain message box with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // The raw-PCM parameters dialog. False when the user cancelled it; params then stay as they were.
    virtual bool AskRawPCMParams(TRawPCMParams& params) = 0;
};

// Whole-file operations and streams. OpenRead opens an existing file read-only, shared with other
// readers and writers; Create makes a new empty file (or empties an existing one) for writing. Both raise
// FileOpenError when the file cannot be opened.
class IAudioFileSystem {
public:
    virtual ~IAudioFileSystem() = default;
    virtual bool Exists(const std::string& fileName) = 0;
    virtual std::unique_ptr<TStream> OpenRead(const std::string& fileName) = 0;
    virtual std::unique_ptr<TStream> Create(const std::string& fileName) = 0;
    // Moves `from` over `to`, replacing `to` when it exists; on failure `to` is left as it was.
    virtual bool Replace(const std::string& from, const std::string& to) = 0;
    // Deletes the file when it exists; failures are ignored.
    virtual void Remove(const std::string& fileName) = 0;
};

// Files through the C library (TFileStream). Replace is atomic where the platform's rename is (POSIX); the
// Windows program uses the system's own file system from RWAudioFileWin32.
IAudioFileSystem& PortableAudioFileSystem();

// ---- Message texts

extern const char* const CouldNotOpenFileText;
extern const char* const UnableToWriteFormatText;

// The text of the header report for the given flags (the flags' lines in their fixed order).
struct THeaderFlags {
    bool ChunkIDsMissing = false;
    bool BadDataSize = false;
    bool NotPCM = false;
    bool BadChannels = false;
    bool BadRate = false;
    bool BadBits = false;
    bool Unidentified = false;

    bool Any() const {
        return ChunkIDsMissing || BadDataSize || NotPCM || BadChannels || BadRate || BadBits || Unidentified;
    }
};
std::string HeaderReportText(const THeaderFlags& flags);
// "<written> signal data bytes out of <dataBytes> saved.\rYou may wish to ..."
std::string ShortWriteText(std::int64_t written, std::int64_t dataBytes);

// ---- The audio file classes

class TobjAudioFile {
public:
    TobjAudioFile(IAudioFilePrompts& prompts, IAudioFileSystem& files);
    TobjAudioFile(const TobjAudioFile&) = delete;
    TobjAudioFile& operator=(const TobjAudioFile&) = delete;
    virtual ~TobjAudioFile();

    // Reads the header (or asks for the raw format) and positions the file at the data. True when the file
    // can be read.
    bool Open(const std::string& fileName);
    // Reads up to Count bytes of signal data into Buffer (never past the data's end) and returns the bytes
    // read. The part of the Count bytes that the file could not fill is set to zero.
    virtual std::int32_t ReadBlock(void* buffer, std::int32_t count) = 0;
    // Writes a whole file: header, data and (RIFF WAVE only) the trailer. The file is written under a
    // temporary name beside FileName and moved over it only when everything was written, so a failed save
    // leaves an existing file untouched. trailerFromRiffWave tells whether the trailer bytes came from a
    // RIFF WAVE file: only such a trailer is written back, and only to a RIFF WAVE file.
    virtual bool SaveToFile(const std::string& fileName, const void* data, std::int32_t dataBytes,
                            std::int32_t trailerBytes, std::int32_t bitsPerSample,
                            std::int32_t bytesPerSample, std::int32_t sampleRate, std::int32_t channels,
                            const void* trailer, bool trailerFromRiffWave) = 0;
    // Closes the file and clears both records.
    void Close();

    TobjAudioInfo& AudioInfo() { return audioInfo_; }
    TobjFileIOData& FileIOData() { return fileIOData_; }
    const std::string& FileName() const { return fileName_; }

    bool HasHeader() const { return hasHeader_; }
    bool IsRaw() const { return isRaw_; }
    bool RawParamsSet() const { return rawParamsSet_; }
    bool Aborted() const { return aborted_; }
    bool IsNewFile() const { return isNewFile_; }
    bool NameOK() const { return nameOK_; }
    bool OpenForRead() const { return openForRead_; }
    bool OpenForWrite() const { return openForWrite_; }
    std::uint8_t ByteOrder() const { return byteOrder_; }
    const THeaderFlags& HeaderFlags() const { return flags_; }

protected:
    virtual bool WriteHeader() = 0;
    virtual void ReadHeader() = 0;
    virtual bool OpenForReading() = 0;
    virtual bool OpenForWriting() = 0;
    virtual bool WriteTrailer() = 0;
    virtual std::int32_t WriteBlock(const void* buffer, std::int32_t count) = 0;

    // Opens FileName for reading (shared) or, while Writing, creates the temporary file of the save.
    void OpenFile(const std::string& fileName);
    // Positions the stream at DataOffset (kept within DataOffset..DataEnd).
    void PositionAtData();
    // The header window: the first min(4096, file size) bytes. False when the file cannot be read or is
    // 2 GB or larger.
    bool ReadHeaderWindow();
    // Shows the report when a flag is set; Abort closes the object.
    void ReportHeader();
    // Reads the bytes after the data into the object's trailer buffer, viewed by the trailer stream.
    void ReadTrailer();
    // The whole save, with the header size and layout figures of the class.
    bool SaveWhole(const std::string& fileName, const void* data, std::int32_t dataBytes,
                   std::int32_t trailerBytes, std::int32_t bitsPerSample, std::int32_t bytesPerSample,
                   std::int32_t sampleRate, std::int32_t channels, const void* trailer,
                   std::int32_t headerSize);
    // Closes the file stream.
    void ReleaseStream();
    // Seeks and writes all bytes; raises StreamError otherwise.
    void WriteAt(std::int64_t position, const void* bytes, std::int64_t count);

    IAudioFilePrompts& prompts_;
    IAudioFileSystem& files_;
    TobjAudioInfo audioInfo_;
    TobjFileIOData fileIOData_;
    std::unique_ptr<TStream> stream_;
    std::vector<std::uint8_t> headerBuffer_;
    std::vector<std::uint8_t> trailerBuffer_;
    std::string fileName_;
    std::string tempFileName_; // the file a save writes before it replaces fileName_
    std::int64_t realFileSize_ = 0;

    bool hasHeader_ = false;
    bool isRaw_ = false;
    bool rawParamsSet_ = false;
    bool aborted_ = false;
    bool isNewFile_ = false;
    bool nameOK_ = false;
    bool writing_ = false;
    bool openForRead_ = false;
    bool openForWrite_ = false;
    bool closing_ = false;
    std::uint8_t byteOrder_ = 0;
    // 8-bit samples are stored signed in the file (AIFF) and converted to and from unsigned in memory.
    bool signedBytes_ = false;
    std::int32_t scanPos_ = 0;
    THeaderFlags flags_;
    // Bytes the save writes after the data and the trailer: a pad byte for chunks of odd length.
    std::int32_t padBytes_ = 0;
    // Whether the trailer handed to SaveToFile may be written to this format.
    bool writeTrailer_ = false;

private:
    bool OpenHeadered(const std::string& fileName);
    bool OpenRaw(const std::string& fileName, const TRawPCMParams& params);
    void SetRawParams(std::int32_t dataBytes, const TRawPCMParams& params);
    void DiscardTemporaryFile();
};

// Headerless PCM: the samples alone, in the byte order the user chose when reading, low byte first when
// writing.
class TobjPCMAudio : public TobjAudioFile {
public:
    TobjPCMAudio(IAudioFilePrompts& prompts, IAudioFileSystem& files);

    std::int32_t ReadBlock(void* buffer, std::int32_t count) override;
    bool SaveToFile(const std::string& fileName, const void* data, std::int32_t dataBytes,
                    std::int32_t trailerBytes, std::int32_t bitsPerSample, std::int32_t bytesPerSample,
                    std::int32_t sampleRate, std::int32_t channels, const void* trailer,
                    bool trailerFromRiffWave) override;

protected:
    bool WriteHeader() override;
    void ReadHeader() override;
    bool OpenForReading() override;
    bool OpenForWriting() override;
    bool WriteTrailer() override;
    std::int32_t WriteBlock(const void* buffer, std::int32_t count) override;

private:
    // Reads [position, position + count) of the data into buffer, converting whole samples.
    std::int64_t ReadConverted(std::uint8_t* buffer, std::int64_t position, std::int64_t count);
    void ConvertSamples(std::uint8_t* bytes, std::int64_t count) const;
};

// RIFF WAVE: 44-byte header, little-endian, the trailing chunks kept and written back.
class TobjRIFFWave : public TobjPCMAudio {
public:
    TobjRIFFWave(IAudioFilePrompts& prompts, IAudioFileSystem& files);

    bool SaveToFile(const std::string& fileName, const void* data, std::int32_t dataBytes,
                    std::int32_t trailerBytes, std::int32_t bitsPerSample, std::int32_t bytesPerSample,
                    std::int32_t sampleRate, std::int32_t channels, const void* trailer,
                    bool trailerFromRiffWave) override;

protected:
    bool WriteHeader() override;
    void ReadHeader() override;
    bool WriteTrailer() override;
};

// AIFF: 54-byte header, big-endian, signed 8-bit samples; no trailer is written.
class TobjAudioIntchg : public TobjPCMAudio {
public:
    TobjAudioIntchg(IAudioFilePrompts& prompts, IAudioFileSystem& files);

    bool SaveToFile(const std::string& fileName, const void* data, std::int32_t dataBytes,
                    std::int32_t trailerBytes, std::int32_t bitsPerSample, std::int32_t bytesPerSample,
                    std::int32_t sampleRate, std::int32_t channels, const void* trailer,
                    bool trailerFromRiffWave) override;

protected:
    bool WriteHeader() override;
    void ReadHeader() override;
};

// By the first four bytes of an existing file: "RIFF" a RIFF WAVE reader, "FORM" an AIFF reader, anything
// else (also a file shorter than four bytes) a headerless PCM reader. None when the file does not exist or
// cannot be read.
std::unique_ptr<TobjAudioFile> CreateAudioFileByMagic(const std::string& fileName, IAudioFilePrompts& prompts,
                                                      IAudioFileSystem& files);
// By the lower-case extension: ".wav" RIFF WAVE; ".aif", ".aiff" AIFF; none, ".", ".pcm", ".raw" headerless
// PCM; anything else none.
std::unique_ptr<TobjAudioFile>
CreateAudioFileByExtension(const std::string& fileName, IAudioFilePrompts& prompts, IAudioFileSystem& files);

} // namespace tarvola
