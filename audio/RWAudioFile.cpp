#include "audio/RWAudioFile.h"

#include "base/ByteOrder.h"
#include "base/Extended80.h"
#include "audio/General.h"
#include "base/Numerics.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>

namespace tarvola {

const char* const CouldNotOpenFileText = "Could not open file or create new file.";
const char* const UnableToWriteFormatText = "Unable to write file format information.";

namespace {

constexpr std::int64_t HeaderWindowBytes = 4096;
constexpr std::int64_t LargestFileBytes = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t RiffHeaderBytes = 44;
constexpr std::int32_t AiffHeaderBytes = 54;
constexpr std::int32_t AiffSsndHeaderBytes = 16; // "SSND", size, offset, block size
// AIFF samples are swapped and written through a buffer of this size rather than a copy of the signal.
constexpr std::int64_t ConversionChunkBytes = 1 << 20;

// ---- Byte order

void FlipSignBits(std::uint8_t* bytes, std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i)
        bytes[i] ^= 0x80;
}

void PutID(std::uint8_t* at, const char* id) {
    std::memcpy(at, id, 4);
}

// The first bytes of a file as read for the header check. Every field is read through here, so a field
// that lies outside the window is noticed instead of read past the buffer.
class THeaderWindow {
public:
    explicit THeaderWindow(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    std::int64_t Size() const { return static_cast<std::int64_t>(bytes_.size()); }
    bool Holds(std::int64_t position, std::int64_t count) const {
        return position >= 0 && count >= 0 && position <= Size() - count;
    }
    bool IDAt(std::int64_t position, const char* id) const {
        return Holds(position, 4) && std::memcmp(bytes_.data() + position, id, 4) == 0;
    }
    // Fields outside the window read as 0 and set `missing`.
    std::uint32_t LE(std::int64_t position, int count, bool& missing) const {
        return Field(position, count, Endian::Little, missing);
    }
    std::uint32_t BE(std::int64_t position, int count, bool& missing) const {
        return Field(position, count, Endian::Big, missing);
    }
    const std::uint8_t* At(std::int64_t position) const { return bytes_.data() + position; }

private:
    std::uint32_t Field(std::int64_t position, int count, Endian order, bool& missing) const {
        if (!Holds(position, count)) {
            missing = true;
            return 0;
        }
        return static_cast<std::uint32_t>(GetUnsigned(At(position), static_cast<std::size_t>(count), order));
    }

    const std::vector<std::uint8_t>& bytes_;
};

// WAVE_FORMAT_EXTENSIBLE with the PCM sub-format is linear PCM too (other programs write it for more than
// 16 bits); its fields at 22..36 are those of the plain format.
constexpr std::int32_t ExtensibleTag = 0xFFFE;

bool IsExtensiblePCM(const THeaderWindow& window) {
    static const std::uint8_t pcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                                  0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    bool missing = false;
    const std::uint32_t extraBytes = window.LE(36, 2, missing);
    return !missing && extraBytes >= 22 && window.Holds(44, 16) &&
           std::memcmp(window.At(44), pcmSubFormat, sizeof pcmSubFormat) == 0;
}

std::int32_t AsSigned32(std::uint32_t value) {
    return static_cast<std::int32_t>(value);
}
std::int16_t AsSigned16(std::uint32_t value) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

// The data size loaded when the header claims more bytes than the file holds after the data offset: the
// data then ends where the file ends (like a headerless file, a partial last frame is kept in the size).
std::int64_t SizeWithinFile(std::int64_t claimed, std::int64_t available) {
    return std::min(claimed, std::max<std::int64_t>(available, 0));
}

std::string LowerExtension(const std::string& fileName) {
    const std::size_t folderEnd = fileName.find_last_of("\\/:");
    const std::string name = folderEnd == std::string::npos ? fileName : fileName.substr(folderEnd + 1);
    const std::size_t point = name.find_last_of('.');
    std::string ext = point == std::string::npos ? std::string() : name.substr(point);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

// ---- Files through the C library

class TPortableAudioFileSystem : public IAudioFileSystem {
public:
    bool Exists(const std::string& fileName) override {
        struct stat info {};
        return ::stat(fileName.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFREG;
    }
    std::unique_ptr<TStream> OpenRead(const std::string& fileName) override {
        return std::make_unique<TFileStream>(fileName, TFileStream::Mode::OpenRead);
    }
    std::unique_ptr<TStream> Create(const std::string& fileName) override {
        return std::make_unique<TFileStream>(fileName, TFileStream::Mode::Create);
    }
    bool Replace(const std::string& from, const std::string& to) override {
        return std::rename(from.c_str(), to.c_str()) == 0;
    }
    void Remove(const std::string& fileName) override { std::remove(fileName.c_str()); }
};

} // namespace

IAudioFileSystem& PortableAudioFileSystem() {
    static TPortableAudioFileSystem files;
    return files;
}

// ---- Message texts

std::string HeaderReportText(const THeaderFlags& flags) {
    struct Line {
        bool set;
        const char* text;
    };
    const Line lines[] = {
        {flags.ChunkIDsMissing, "Chunck ID's not found."},
        {flags.BadDataSize, "Implausible value for signal data size."},
        {flags.NotPCM, "An encoding format other than linear PCM is used."},
        {flags.BadChannels, "Number of channels unsupported or not allowed."},
        {flags.BadRate, "Sampling rate unsupported or not allowed."},
        {flags.BadBits, "Bits per sample ratio unsupported or not allowed."},
        {flags.Unidentified, "An unidentified error occurred."},
    };
    std::string text = "The file being opened cannot be read under the format pertaining to its\r"
                       "header chunk ID. The following errors were detected...\r";
    for (const Line& line : lines)
        if (line.set)
            text += std::string("\r - ") + line.text;
    text += "\r\rClick Abort to close the file, or Ignore to load the file as unformatted\rPCM data.";
    return text;
}

std::string ShortWriteText(std::int64_t written, std::int64_t dataBytes) {
    return std::to_string(written) + " signal data bytes out of " + std::to_string(dataBytes) +
           " saved.\rYou may wish to try saving again to a different drive.";
}

// ---- TobjAudioFile

TobjAudioFile::TobjAudioFile(IAudioFilePrompts& prompts, IAudioFileSystem& files)
    : prompts_(prompts), files_(files) {}

TobjAudioFile::~TobjAudioFile() {
    if (!fileName_.empty())
        Close();
    DiscardTemporaryFile();
}

bool TobjAudioFile::Open(const std::string& fileName) {
    if (hasHeader_)
        return OpenHeadered(fileName);
    TRawPCMParams params;
    if (!prompts_.AskRawPCMParams(params))
        return false;
    byteOrder_ = params.Order == 1 ? 1 : 0;
    return OpenRaw(fileName, params);
}

bool TobjAudioFile::OpenHeadered(const std::string& fileName) {
    OpenFile(fileName);
    if (nameOK_)
        ReadHeader();
    if (aborted_ || stream_ == nullptr) {
        Close();
        return false;
    }
    if (audioInfo_.FrameBytes >= 1 && audioInfo_.DataBytes >= audioInfo_.FrameBytes)
        OpenForReading();
    // Both records must have taken the values: a layout refused by its record has no data to read.
    const bool ok = openForRead_ && fileIOData_.FileSize == realFileSize_ && audioInfo_.Frames >= 1 &&
                    fileIOData_.Frames >= 1;
    if (!ok)
        Close();
    return ok;
}

bool TobjAudioFile::OpenRaw(const std::string& fileName, const TRawPCMParams& params) {
    OpenFile(fileName);
    if (nameOK_ && realFileSize_ <= LargestFileBytes)
        SetRawParams(static_cast<std::int32_t>(realFileSize_), params);
    if (audioInfo_.BytesPerSample >= 1 && audioInfo_.DataBytes >= audioInfo_.BytesPerSample)
        OpenForReading();
    const bool ok = stream_ != nullptr && rawParamsSet_ && fileIOData_.DataBytes == realFileSize_ &&
                    audioInfo_.Frames >= 1 && fileIOData_.Frames >= 1;
    if (!ok)
        Close();
    return ok;
}

void TobjAudioFile::SetRawParams(std::int32_t dataBytes, const TRawPCMParams& params) {
    fileIOData_.FmtChunkPos = 0;
    audioInfo_.SetFormat(dataBytes, params.Channels, params.Rate, params.Bits, params.BytesPerSample);
    fileIOData_.SetLayout(dataBytes, 0, dataBytes, audioInfo_.BytesPerSample, audioInfo_.BytesPerSecond, 1,
                          audioInfo_.FrameBytes);
    PositionAtData();
    rawParamsSet_ = true;
}

void TobjAudioFile::OpenFile(const std::string& fileName) {
    nameOK_ = false;
    isNewFile_ = !files_.Exists(fileName);
    if (!fileIOData_.SetFileName(fileName))
        return;
    nameOK_ = true;
    fileName_ = fileName;
    ReleaseStream();
    try {
        if (writing_) {
            // The save goes to a file of its own beside the target, which replaces the target at the end.
            std::string candidate = fileName + ".~tmp";
            for (int n = 1; files_.Exists(candidate); ++n)
                candidate = fileName + ".~tmp" + std::to_string(n);
            tempFileName_ = candidate;
            stream_ = files_.Create(tempFileName_);
        } else {
            stream_ = files_.OpenRead(fileName);
            realFileSize_ = stream_->Size();
        }
    } catch (const std::exception&) {
        stream_.reset();
        tempFileName_.clear();
        prompts_.ShowError(CouldNotOpenFileText);
        nameOK_ = false;
    }
}

void TobjAudioFile::PositionAtData() {
    if (stream_ == nullptr)
        return;
    try {
        stream_->Seek(fileIOData_.DataOffset, SeekOrigin::Beginning);
        if (stream_->Position() > fileIOData_.DataEnd)
            stream_->Seek(fileIOData_.DataEnd, SeekOrigin::Beginning);
        if (stream_->Position() < fileIOData_.DataOffset)
            stream_->Seek(fileIOData_.DataOffset, SeekOrigin::Beginning);
    } catch (const std::exception&) {
        // A stream that cannot seek reads nothing: ReadBlock then hands out zeros and reports 0 bytes.
        ReleaseStream();
    }
}

bool TobjAudioFile::ReadHeaderWindow() {
    try {
        realFileSize_ = stream_->Size();
        // The records hold sizes in 32 bits: larger files are refused.
        if (realFileSize_ > LargestFileBytes)
            return false;
        fileIOData_.FileSize = static_cast<std::int32_t>(realFileSize_);
        headerBuffer_.assign(static_cast<std::size_t>(std::min(HeaderWindowBytes, realFileSize_)), 0);
        stream_->Seek(0, SeekOrigin::Beginning);
        stream_->ReadBuffer(headerBuffer_.data(), static_cast<std::int64_t>(headerBuffer_.size()));
        fileIOData_.HeaderStream.SetPointer(headerBuffer_.data(),
                                            static_cast<std::int64_t>(headerBuffer_.size()));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void TobjAudioFile::ReportHeader() {
    if (!flags_.Any())
        return;
    if (prompts_.AskAbortOrIgnore(HeaderReportText(flags_)) == THeaderReportChoice::Abort) {
        Close();
        aborted_ = true;
    }
}

void TobjAudioFile::ReadTrailer() {
    if (stream_ == nullptr || !fileIOData_.HasTrailer)
        return;
    try {
        trailerBuffer_.assign(static_cast<std::size_t>(fileIOData_.TrailerBytes), 0);
        stream_->Seek(fileIOData_.TrailerPos, SeekOrigin::Beginning);
        stream_->ReadBuffer(trailerBuffer_.data(), fileIOData_.TrailerBytes);
        fileIOData_.TrailerStream.SetPointer(trailerBuffer_.data(), fileIOData_.TrailerBytes);
    } catch (const std::exception&) {
        // A file that cannot give the bytes its size promises is not opened.
        Close();
    }
}

void TobjAudioFile::WriteAt(std::int64_t position, const void* bytes, std::int64_t count) {
    if (stream_ == nullptr)
        throw StreamError("No file is open");
    stream_->Seek(position, SeekOrigin::Beginning);
    stream_->WriteBuffer(bytes, count);
}

bool TobjAudioFile::SaveWhole(const std::string& fileName, const void* data, std::int32_t dataBytes,
                              std::int32_t trailerBytes, std::int32_t bitsPerSample,
                              std::int32_t bytesPerSample, std::int32_t sampleRate, std::int32_t channels,
                              const void* trailer, std::int32_t headerSize) {
    if (data == nullptr || dataBytes < 1)
        return false;
    writing_ = true;
    OpenFile(fileName);

    std::int64_t written = 0;
    if (nameOK_) {
        const std::int32_t trailerToWrite =
            writeTrailer_ && trailer != nullptr && trailerBytes > 0 ? trailerBytes : 0;
        // A chunk of odd length is followed by a pad byte (where no kept trailer follows that has one).
        padBytes_ = hasHeader_ && dataBytes % 2 != 0 && trailerToWrite == 0 ? 1 : 0;
        bool prepared = false;
        try {
            const std::int32_t fileSize = CheckedAdd(CheckedAdd(dataBytes, headerSize), trailerToWrite);
            CheckedAdd(fileSize, padBytes_); // the size fields count the pad byte too
            audioInfo_.SetFormat(dataBytes, channels, sampleRate, bitsPerSample, bytesPerSample);
            fileIOData_.SetLayout(dataBytes, headerSize, fileSize, audioInfo_.BytesPerSample,
                                  audioInfo_.BytesPerSecond, 1, audioInfo_.FrameBytes);
            fileIOData_.TrailerStream.SetPointer(const_cast<void*>(trailer), trailerToWrite);
            if (isRaw_)
                rawParamsSet_ = audioInfo_.DataBytes == dataBytes;
            prepared = true;
        } catch (const std::exception&) {
            prepared = false;
        }
        if (prepared && WriteHeader() && OpenForWriting())
            written = WriteBlock(data, dataBytes);
    }

    bool ok = written == dataBytes;
    if (!ok)
        prompts_.ShowMessage(ShortWriteText(written, dataBytes));
    if (ok)
        ok = WriteTrailer();
    if (ok && padBytes_ > 0) {
        const std::uint8_t pad = 0;
        try {
            WriteAt(std::int64_t{fileIOData_.DataEnd} + fileIOData_.TrailerBytes, &pad, 1);
        } catch (const std::exception&) {
            ok = false;
        }
    }
    if (ok && stream_ != nullptr) {
        try {
            // Closing flushes what the C library still holds: a failed flush is a failed save.
            if (auto* file = dynamic_cast<TFileStream*>(stream_.get()))
                file->Close();
        } catch (const std::exception&) {
            ok = false;
        }
    }
    ReleaseStream();
    openForWrite_ = false;
    if (ok) {
        ok = files_.Replace(tempFileName_, fileName_);
        if (!ok)
            prompts_.ShowError(CouldNotOpenFileText);
    }
    if (ok)
        tempFileName_.clear();
    DiscardTemporaryFile();
    writing_ = false;
    return ok;
}

void TobjAudioFile::Close() {
    closing_ = true;
    openForRead_ = false;
    openForWrite_ = false;
    ReleaseStream();
    nameOK_ = false;
    rawParamsSet_ = false;
    isRaw_ = false;
    audioInfo_.Clear();
    fileIOData_.Clear();
    std::vector<std::uint8_t>().swap(headerBuffer_);
    std::vector<std::uint8_t>().swap(trailerBuffer_);
    realFileSize_ = 0;
    closing_ = false;
}

void TobjAudioFile::ReleaseStream() {
    stream_.reset();
}

void TobjAudioFile::DiscardTemporaryFile() {
    if (tempFileName_.empty())
        return;
    ReleaseStream();
    files_.Remove(tempFileName_);
    tempFileName_.clear();
}

// ---- TobjPCMAudio

TobjPCMAudio::TobjPCMAudio(IAudioFilePrompts& prompts, IAudioFileSystem& files)
    : TobjAudioFile(prompts, files) {
    isRaw_ = true;
    byteOrder_ = 0;
}

bool TobjPCMAudio::WriteHeader() {
    return true;
}

void TobjPCMAudio::ReadHeader() {}

bool TobjPCMAudio::OpenForReading() {
    if (isRaw_ && rawParamsSet_)
        return false; // already open and positioned at the data
    ReleaseStream();
    try {
        stream_ = files_.OpenRead(fileName_);
        realFileSize_ = stream_->Size();
        PositionAtData();
        openForRead_ = stream_ != nullptr;
    } catch (const std::exception&) {
        stream_.reset();
        openForRead_ = false;
    }
    return openForRead_;
}

bool TobjPCMAudio::OpenForWriting() {
    if (isRaw_ && !rawParamsSet_)
        return false;
    // The stream is the save's own temporary file, created by OpenFile: nobody else shares it.
    if (stream_ == nullptr)
        return false;
    try {
        stream_->Seek(fileIOData_.DataOffset, SeekOrigin::Beginning);
        openForWrite_ = true;
    } catch (const std::exception&) {
        openForWrite_ = false;
    }
    return openForWrite_;
}

bool TobjPCMAudio::WriteTrailer() {
    return true;
}

void TobjPCMAudio::ConvertSamples(std::uint8_t* bytes, std::int64_t count) const {
    const std::int32_t sampleBytes = audioInfo_.BytesPerSample;
    if (sampleBytes == 1 && signedBytes_)
        FlipSignBits(bytes, count);
    else if (sampleBytes > 1 && byteOrder_ == 1)
        SwapSamples(bytes, count / sampleBytes, sampleBytes);
}

std::int32_t TobjPCMAudio::ReadBlock(void* buffer, std::int32_t count) {
    if (buffer == nullptr || count <= 0)
        return 0;
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    std::int64_t got = 0;
    if (!closing_ && stream_ != nullptr) {
        try {
            const std::int64_t position = stream_->Position();
            const std::int64_t wanted = std::clamp<std::int64_t>(fileIOData_.DataEnd - position, 0, count);
            got = ReadConverted(bytes, position, wanted);
        } catch (const std::exception&) {
            got = 0;
        }
    }
    std::fill(bytes + got, bytes + count, std::uint8_t{0});
    return static_cast<std::int32_t>(got);
}

std::int64_t TobjPCMAudio::ReadConverted(std::uint8_t* buffer, std::int64_t position, std::int64_t count) {
    if (count <= 0)
        return 0;
    const std::int64_t sampleBytes = std::max(audioInfo_.BytesPerSample, 1);
    const bool swaps = sampleBytes > 1 && byteOrder_ == 1;
    const std::int64_t dataOffset = fileIOData_.DataOffset;
    const std::int64_t head = position >= dataOffset ? (position - dataOffset) % sampleBytes : 0;
    const std::int64_t wholeEnd = dataOffset + fileIOData_.DataBytes / sampleBytes * sampleBytes;
    std::int64_t end = position + count;
    const std::int64_t tail = end >= dataOffset ? (end - dataOffset) % sampleBytes : 0;
    if (tail != 0 && end < wholeEnd)
        end += sampleBytes - tail;

    if (!swaps || (head == 0 && end == position + count)) {
        const std::int64_t got = stream_->Read(buffer, count);
        ConvertSamples(buffer, got);
        return got;
    }
    // A block that starts or ends inside a sample: read the whole samples around it, swap them, and hand
    // out the part asked for.
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(end - (position - head)));
    stream_->Seek(position - head, SeekOrigin::Beginning);
    const std::int64_t got = stream_->Read(samples.data(), static_cast<std::int64_t>(samples.size()));
    ConvertSamples(samples.data(), got);
    const std::int64_t handed = std::clamp<std::int64_t>(got - head, 0, count);
    std::copy_n(samples.data() + head, handed, buffer);
    stream_->Seek(position + handed, SeekOrigin::Beginning);
    return handed;
}

std::int32_t TobjPCMAudio::WriteBlock(const void* buffer, std::int32_t count) {
    if (!openForWrite_ || closing_ || stream_ == nullptr || buffer == nullptr || count <= 0)
        return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    const bool converts = (audioInfo_.BytesPerSample == 1 && signedBytes_) ||
                          (audioInfo_.BytesPerSample > 1 && byteOrder_ == 1);
    try {
        if (!converts)
            return static_cast<std::int32_t>(stream_->Write(bytes, count));
        // Whole samples per chunk, so every sample is swapped in one piece.
        const std::int64_t sampleBytes = std::max(audioInfo_.BytesPerSample, 1);
        const std::int64_t chunkBytes = ConversionChunkBytes / sampleBytes * sampleBytes;
        std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::int64_t>(chunkBytes, count)));
        std::int64_t written = 0;
        while (written < count) {
            const std::int64_t n = std::min<std::int64_t>(chunkBytes, count - written);
            std::copy_n(bytes + written, n, chunk.data());
            ConvertSamples(chunk.data(), n);
            const std::int64_t done = stream_->Write(chunk.data(), n);
            written += done;
            if (done != n)
                break;
        }
        return static_cast<std::int32_t>(written);
    } catch (const std::exception&) {
        return 0;
    }
}

bool TobjPCMAudio::SaveToFile(const std::string& fileName, const void* data, std::int32_t dataBytes,
                              std::int32_t trailerBytes, std::int32_t bitsPerSample,
                              std::int32_t bytesPerSample, std::int32_t sampleRate, std::int32_t channels,
                              const void* trailer, bool /*trailerFromRiffWave*/) {
    // Raw files are written low byte first, with nothing but the samples.
    byteOrder_ = 0;
    writeTrailer_ = false;
    fileIOData_.FmtChunkPos = 0;
    fileIOData_.DataChunkPos = 0;
    return SaveWhole(fileName, data, dataBytes, trailerBytes, bitsPerSample, bytesPerSample, sampleRate,
                     channels, trailer, 0);
}

// ---- TobjRIFFWave

TobjRIFFWave::TobjRIFFWave(IAudioFilePrompts& prompts, IAudioFileSystem& files)
    : TobjPCMAudio(prompts, files) {
    hasHeader_ = true;
    isRaw_ = false;
    byteOrder_ = 0;
}

void TobjRIFFWave::ReadHeader() {
    flags_ = THeaderFlags{};
    if (!ReadHeaderWindow()) {
        ReleaseStream();
        flags_.Unidentified = true;
        ReportHeader();
        return;
    }
    const THeaderWindow window(headerBuffer_);

    std::int64_t dataOffset = 0;
    std::int64_t fmtChunkPos = 0;
    std::int64_t dataChunkPos = 0;
    for (scanPos_ = 0; window.Holds(scanPos_, 4); ++scanPos_) {
        if (window.IDAt(scanPos_, "fmt ")) {
            fmtChunkPos = scanPos_ + 4;
        } else if (window.IDAt(scanPos_, "data")) {
            dataChunkPos = scanPos_;
            dataOffset = scanPos_ + 8;
            break;
        }
    }
    bool missing = !(dataOffset != 0 && fmtChunkPos == 16);
    fileIOData_.FmtChunkPos = static_cast<std::int32_t>(fmtChunkPos);
    fileIOData_.DataChunkPos = static_cast<std::uint16_t>(dataChunkPos);

    try {
        const std::int32_t tag = static_cast<std::int32_t>(window.LE(20, 2, missing));
        const std::int32_t channels = static_cast<std::int32_t>(window.LE(22, 2, missing));
        const std::int32_t rate = AsSigned32(window.LE(24, 4, missing));
        const std::int32_t bits = static_cast<std::int32_t>(window.LE(34, 2, missing));
        const std::int32_t size = AsSigned32(window.LE(dataChunkPos + 4, 4, missing));
        const std::int64_t available = realFileSize_ - dataOffset;

        flags_.ChunkIDsMissing = missing;
        flags_.NotPCM = tag != 1 && !(tag == ExtensibleTag && IsExtensiblePCM(window));
        flags_.BadChannels = channels == 0 || channels > 2;
        flags_.BadRate = rate < 6000;
        flags_.BadBits = bits < 8 || bits > 32;
        flags_.BadDataSize = size > available || size < 1;

        const auto dataBytes = static_cast<std::int32_t>(SizeWithinFile(size, available));
        audioInfo_.SetFormat(dataBytes, channels, rate, bits, 0);
        fileIOData_.SetLayout(dataBytes, static_cast<std::int32_t>(dataOffset), fileIOData_.FileSize,
                              audioInfo_.BytesPerSample, audioInfo_.BytesPerSecond, tag,
                              audioInfo_.FrameBytes);
    } catch (const std::exception&) {
        ReleaseStream();
        flags_.Unidentified = true;
    }

    ReportHeader();
    ReadTrailer();
}

bool TobjRIFFWave::WriteHeader() {
    try {
        if (stream_ == nullptr || audioInfo_.DataBytes < 1)
            throw StreamError("No format to write");
        std::array<std::uint8_t, RiffHeaderBytes> header{};
        PutID(&header[0], "RIFF");
        PutUnsigned(&header[4], static_cast<std::uint32_t>(CheckedAdd(fileIOData_.RiffSize, padBytes_)), 4);
        PutID(&header[8], "WAVE");
        PutID(&header[12], "fmt ");
        PutUnsigned(&header[16], 16, 4);
        PutUnsigned(&header[20], 1, 2);
        PutUnsigned(&header[22], static_cast<std::uint32_t>(audioInfo_.Channels), 2);
        PutUnsigned(&header[24], static_cast<std::uint32_t>(audioInfo_.SampleRate), 4);
        PutUnsigned(&header[28], static_cast<std::uint32_t>(audioInfo_.BytesPerSecond), 4);
        PutUnsigned(&header[32], static_cast<std::uint32_t>(audioInfo_.BlockAlign), 2);
        PutUnsigned(&header[34], static_cast<std::uint32_t>(audioInfo_.BitsPerSample), 2);
        PutID(&header[36], "data");
        PutUnsigned(&header[40], static_cast<std::uint32_t>(audioInfo_.DataBytes), 4);
        WriteAt(0, header.data(), 36);
        WriteAt(fileIOData_.DataChunkPos, &header[36], 8);
        return true;
    } catch (const std::exception&) {
        prompts_.ShowError(UnableToWriteFormatText);
        return false;
    }
}

bool TobjRIFFWave::WriteTrailer() {
    const std::int64_t bytes = fileIOData_.TrailerStream.Size();
    if (bytes == 0)
        return true;
    try {
        WriteAt(fileIOData_.TrailerPos, fileIOData_.TrailerStream.Memory(), bytes);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TobjRIFFWave::SaveToFile(const std::string& fileName, const void* data, std::int32_t dataBytes,
                              std::int32_t trailerBytes, std::int32_t bitsPerSample,
                              std::int32_t bytesPerSample, std::int32_t sampleRate, std::int32_t channels,
                              const void* trailer, bool trailerFromRiffWave) {
    // Another format's trailing chunks would not be RIFF chunks: only a RIFF WAVE trailer is written back.
    writeTrailer_ = trailerFromRiffWave;
    fileIOData_.FmtChunkPos = 16;
    fileIOData_.DataChunkPos = 36;
    return SaveWhole(fileName, data, dataBytes, trailerBytes, bitsPerSample, bytesPerSample, sampleRate,
                     channels, trailer, RiffHeaderBytes);
}

// ---- TobjAudioIntchg

TobjAudioIntchg::TobjAudioIntchg(IAudioFilePrompts& prompts, IAudioFileSystem& files)
    : TobjPCMAudio(prompts, files) {
    hasHeader_ = true;
    isRaw_ = false;
    byteOrder_ = 1;
    signedBytes_ = true;
}

void TobjAudioIntchg::ReadHeader() {
    flags_ = THeaderFlags{};
    if (!ReadHeaderWindow()) {
        ReleaseStream();
        flags_.Unidentified = true;
        ReportHeader();
        return;
    }
    const THeaderWindow window(headerBuffer_);

    std::int64_t commChunkPos = 0; // right after "COMM"
    std::int64_t ssndChunkPos = 0;
    bool ssndFound = false;
    bool missing = false;
    std::uint32_t ssndOffset = 0;
    for (scanPos_ = 0; window.Holds(scanPos_, 4); ++scanPos_) {
        if (window.IDAt(scanPos_, "COMM")) {
            commChunkPos = scanPos_ + 4;
        } else if (window.IDAt(scanPos_, "SSND")) {
            ssndChunkPos = scanPos_;
            ssndFound = true;
            ssndOffset = window.BE(scanPos_ + 8, 4, missing);
            break;
        }
    }
    missing = missing || !ssndFound || commChunkPos == 0;
    fileIOData_.FmtChunkPos = static_cast<std::int32_t>(commChunkPos);
    fileIOData_.DataChunkPos = static_cast<std::uint16_t>(ssndChunkPos);

    try {
        // The samples start after the SSND chunk's header and the offset it gives.
        const std::int64_t dataOffset =
            std::min(ssndFound ? ssndChunkPos + AiffSsndHeaderBytes + ssndOffset : 0, realFileSize_);
        const std::int64_t available = realFileSize_ - dataOffset;

        // The COMM fields are read where the chunk lies (12 in a canonical file).
        const std::int64_t comm = commChunkPos + 4;
        const std::int32_t channels = AsSigned16(window.BE(comm, 2, missing));
        const std::int32_t bits = AsSigned16(window.BE(comm + 6, 2, missing));
        long double rate = 0;
        if (window.Holds(comm + 8, 10))
            rate = DecodeExtendedBE(window.At(comm + 8));
        else
            missing = true;
        const std::int64_t chunkSize = window.BE(ssndChunkPos + 4, 4, missing);
        // The chunk size counts the offset and block-size fields and the offset's bytes; files of our
        // earlier writer hold the sample bytes alone there, which then end exactly at the end of the file.
        const std::int64_t size = chunkSize == available ? chunkSize : chunkSize - 8 - ssndOffset;

        flags_.ChunkIDsMissing = missing;
        flags_.NotPCM = !window.IDAt(8, "AIFF");
        flags_.BadChannels = channels < 1 || channels > 2;
        flags_.BadRate = !(rate >= 6000.0L);
        flags_.BadBits = bits < 8 || bits > 32;
        flags_.BadDataSize = !(size >= 1 && size <= available);
        // A rate beyond 32 bits (or infinite) has no integer value to load.
        flags_.Unidentified = !flags_.BadRate && rate > static_cast<long double>(LargestFileBytes);
        const std::int32_t wholeRate = flags_.BadRate || flags_.Unidentified ? 0 : Trunc32(rate);

        // A negative size (an SSND offset beyond its chunk) loads nothing.
        const std::int64_t dataBytes = std::max<std::int64_t>(SizeWithinFile(size, available), 0);
        if (dataBytes <= LargestFileBytes) {
            audioInfo_.SetFormat(static_cast<std::int32_t>(dataBytes), channels, wholeRate, bits, 0);
            fileIOData_.SetLayout(static_cast<std::int32_t>(dataBytes), static_cast<std::int32_t>(dataOffset),
                                  fileIOData_.FileSize, audioInfo_.BytesPerSample, audioInfo_.BytesPerSecond,
                                  1, audioInfo_.FrameBytes);
        }
    } catch (const std::exception&) {
        ReleaseStream();
        flags_.Unidentified = true;
    }

    ReportHeader();
    if (!aborted_)
        ReadTrailer();
}

bool TobjAudioIntchg::WriteHeader() {
    try {
        if (stream_ == nullptr || audioInfo_.DataBytes < 1)
            throw StreamError("No format to write");
        std::array<std::uint8_t, AiffHeaderBytes> header{};
        PutID(&header[0], "FORM");
        PutUnsigned(&header[4], static_cast<std::uint32_t>(CheckedAdd(fileIOData_.RiffSize, padBytes_)), 4,
                    Endian::Big);
        PutID(&header[8], "AIFF");
        PutID(&header[12], "COMM");
        PutUnsigned(&header[16], 18, 4, Endian::Big);
        PutUnsigned(&header[20], static_cast<std::uint32_t>(audioInfo_.Channels), 2, Endian::Big);
        PutUnsigned(&header[22], static_cast<std::uint32_t>(audioInfo_.Frames), 4, Endian::Big);
        PutUnsigned(&header[26], static_cast<std::uint32_t>(audioInfo_.BitsPerSample), 2, Endian::Big);
        const Extended80Bytes rate = EncodeExtendedBE(static_cast<long double>(audioInfo_.SampleRate));
        std::copy(rate.begin(), rate.end(), &header[28]);
        PutID(&header[38], "SSND");
        // The chunk size counts the offset and block-size fields as well as the samples.
        PutUnsigned(&header[42], static_cast<std::uint32_t>(CheckedAdd(audioInfo_.DataBytes, 8)), 4,
                    Endian::Big);
        PutUnsigned(&header[46], static_cast<std::uint32_t>(fileIOData_.SsndOffset), 4, Endian::Big);
        PutUnsigned(&header[50], static_cast<std::uint32_t>(fileIOData_.SsndBlockSize), 4, Endian::Big);
        WriteAt(0, header.data(), 38);
        WriteAt(fileIOData_.DataChunkPos, &header[38], 16);
        return true;
    } catch (const std::exception&) {
        prompts_.ShowError(UnableToWriteFormatText);
        return false;
    }
}

bool TobjAudioIntchg::SaveToFile(const std::string& fileName, const void* data, std::int32_t dataBytes,
                                 std::int32_t trailerBytes, std::int32_t bitsPerSample,
                                 std::int32_t bytesPerSample, std::int32_t sampleRate, std::int32_t channels,
                                 const void* trailer, bool /*trailerFromRiffWave*/) {
    // No trailer is written to an AIFF file, so the file's size does not count one either.
    writeTrailer_ = false;
    fileIOData_.FmtChunkPos = 16;
    fileIOData_.DataChunkPos = 38;
    return SaveWhole(fileName, data, dataBytes, trailerBytes, bitsPerSample, bytesPerSample, sampleRate,
                     channels, trailer, AiffHeaderBytes);
}

// ---- Factories

std::unique_ptr<TobjAudioFile> CreateAudioFileByMagic(const std::string& fileName, IAudioFilePrompts& prompts,
                                                      IAudioFileSystem& files) {
    if (!files.Exists(fileName))
        return nullptr;
    std::array<char, 4> magic{};
    try {
        std::unique_ptr<TStream> stream = files.OpenRead(fileName);
        if (stream->Read(magic.data(), 4) != 4)
            magic = {};
    } catch (const std::exception&) {
        return nullptr;
    }
    if (std::memcmp(magic.data(), "RIFF", 4) == 0)
        return std::make_unique<TobjRIFFWave>(prompts, files);
    if (std::memcmp(magic.data(), "FORM", 4) == 0)
        return std::make_unique<TobjAudioIntchg>(prompts, files);
    return std::make_unique<TobjPCMAudio>(prompts, files);
}

std::unique_ptr<TobjAudioFile>
CreateAudioFileByExtension(const std::string& fileName, IAudioFilePrompts& prompts, IAudioFileSystem& files) {
    const std::string ext = LowerExtension(fileName);
    if (ext == ".wav")
        return std::make_unique<TobjRIFFWave>(prompts, files);
    if (ext == ".aif" || ext == ".aiff")
        return std::make_unique<TobjAudioIntchg>(prompts, files);
    if (ext.empty() || ext == "." || ext == ".pcm" || ext == ".raw")
        return std::make_unique<TobjPCMAudio>(prompts, files);
    return nullptr;
}

} // namespace tarvola
