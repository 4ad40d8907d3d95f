#include "audio/AudioInfoStructures.h"

#include <cstdint>
#include <limits>

namespace tarvola {

namespace {

constexpr std::int64_t MinSampleRate = 6000;

bool FitsInt32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

std::int32_t DerivedBytesPerSample(std::int32_t bitsPerSample, std::int32_t given) {
    if (given >= 1 && given <= 4)
        return given;
    return bitsPerSample / 8 + (bitsPerSample % 8 != 0 ? 1 : 0);
}

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

// ---- Channel masks

TChannelMask EmptyChannelMask() {
    return {0, 0};
}

TChannelMask ChannelMaskOf(int channels) {
    return {static_cast<std::uint8_t>(channels >= 1 ? 1 : 0),
            static_cast<std::uint8_t>(channels >= 2 ? 1 : 0)};
}

int ChannelCountOf(const TChannelMask& mask) {
    return (mask[0] != 0 ? 1 : 0) + (mask[1] != 0 ? 1 : 0);
}

// ---- TobjAudioInfo

void TobjAudioInfo::SetFormat(std::int32_t dataBytes, std::int32_t channels, std::int32_t sampleRate,
                              std::int32_t bitsPerSample, std::int32_t bytesPerSample) {
    if (dataBytes <= 0 || (channels != 1 && channels != 2) || sampleRate < MinSampleRate ||
        bitsPerSample < 8 || bitsPerSample > 32)
        return;
    const std::int32_t sampleBytes = DerivedBytesPerSample(bitsPerSample, bytesPerSample);
    const std::int32_t frameBytes = sampleBytes * channels;
    // A rate taken from a file header can make the byte rate overflow 32 bits.
    const std::int64_t bytesPerSecond = std::int64_t{frameBytes} * sampleRate;
    if (!FitsInt32(bytesPerSecond))
        return;

    DataBytes = dataBytes;
    Channels = channels;
    SampleRate = sampleRate;
    BitsPerSample = bitsPerSample;
    BytesPerSample = sampleBytes;
    FrameBytes = frameBytes;
    BlockAlign = frameBytes;
    BytesPerSecond = static_cast<std::int32_t>(bytesPerSecond);
    SampleCount = dataBytes / sampleBytes;
    Frames = dataBytes / frameBytes;
}

void TobjAudioInfo::Clear() {
    *this = TobjAudioInfo{};
}

// ---- TobjProcessData

void TobjProcessData::SetMaxBlockBytes(std::int32_t bytes) {
    if (bytes >= MinMaxBlockBytes && bytes <= MaxMaxBlockBytes)
        MaxBlockBytes = bytes;
}

void TobjProcessData::SetRange(std::int32_t firstFrame, std::int32_t lastFrame, std::int32_t bytesPerSample,
                               const TChannelMask& channelMask) {
    const std::int32_t channels = ChannelCountOf(channelMask);
    if (firstFrame < 0 || lastFrame < firstFrame || bytesPerSample < 1 || bytesPerSample > 4 || channels == 0)
        return;
    const std::int64_t frameCount = std::int64_t{lastFrame} - firstFrame + 1;
    const std::int64_t sampleCount = frameCount * channels;
    const std::int64_t lengthBytes = sampleCount * bytesPerSample;
    if (!FitsInt32(frameCount) || !FitsInt32(lengthBytes))
        return;

    ChannelMask = channelMask;
    ChannelCount = channels;
    FirstFrame = firstFrame;
    LastFrame = lastFrame;
    FrameCount = static_cast<std::int32_t>(frameCount);
    SampleCount = static_cast<std::int32_t>(sampleCount);
    LengthBytes = static_cast<std::int32_t>(lengthBytes);

    // Whole frames per block: with 3-byte samples MaxBlockBytes is no multiple of the frame size, and a
    // block cut at MaxBlockBytes would start in the middle of a sample.
    const std::int32_t frameBytes = bytesPerSample * channels;
    FramesPerBlock = MaxBlockBytes / frameBytes;
    BlockBytes = FramesPerBlock * frameBytes;
    SamplesPerBlock = BlockBytes / bytesPerSample;

    BlockCount = SampleCount / SamplesPerBlock;
    const std::int32_t remainingSamples = SampleCount - BlockCount * SamplesPerBlock;
    if (remainingSamples >= 1) {
        BlockCount += 1;
        LastBlockBytes = remainingSamples * bytesPerSample;
    } else {
        LastBlockBytes = BlockBytes;
    }
}

// ---- TobjFileIOData

bool TobjFileIOData::SetFileName(const std::string& fileName) {
    FileName = fileName;
    // A slash separates folders too: Windows accepts it, and the portable build uses it.
    const std::size_t folderEnd = fileName.find_last_of("\\:/");
    Path = folderEnd == std::string::npos ? std::string() : fileName.substr(0, folderEnd + 1);
    Name = folderEnd == std::string::npos ? fileName : fileName.substr(folderEnd + 1);
    const std::size_t point = Name.find_last_of('.');
    Ext = point == std::string::npos ? std::string() : LowerAscii(Name.substr(point));
    return !Path.empty();
}

void TobjFileIOData::SetLayout(std::int32_t dataBytes, std::int32_t dataOffset, std::int32_t fileSize,
                               std::int32_t bytesPerSample, std::int32_t bytesPerSecond,
                               std::int32_t formatTag, std::int32_t frameBytes) {
    if (dataBytes < 0 || dataOffset < 0 || bytesPerSample < 1 || bytesPerSample > 4 ||
        std::int64_t{bytesPerSecond} < std::int64_t{bytesPerSample} * MinSampleRate || formatTag < 1 ||
        frameBytes < 1)
        return;
    const std::int64_t dataEnd = std::int64_t{dataOffset} + dataBytes;
    const std::int64_t riffSize = std::int64_t{fileSize} - 8;
    const std::int64_t trailerBytes = std::int64_t{fileSize} - dataEnd;
    if (!FitsInt32(dataEnd) || !FitsInt32(riffSize) || !FitsInt32(trailerBytes))
        return;

    FormatTag = formatTag;
    DataBytes = dataBytes;
    DataOffset = dataOffset;
    FileSize = fileSize;
    Frames = static_cast<std::uint32_t>(dataBytes / frameBytes);
    DataEnd = static_cast<std::int32_t>(dataEnd);
    RiffSize = static_cast<std::int32_t>(riffSize);

    HasTrailer = trailerBytes >= 1;
    TrailerBytes = HasTrailer ? static_cast<std::int32_t>(trailerBytes) : 0;
    TrailerPos = HasTrailer ? DataEnd : 0;

    Duration = static_cast<long double>(dataBytes) / static_cast<long double>(bytesPerSecond);
}

void TobjFileIOData::Clear() {
    HeaderStream.Clear();
    TrailerStream.Clear();
    FileName.clear();
    Name.clear();
    Path.clear();
    Ext.clear();
    FileSize = 0;
    Duration = 0;
    HasTrailer = false;
    TrailerPos = 0;
    TrailerBytes = 0;
    FormatTag = 0;
    RiffSize = 0;
    FmtChunkPos = 0;
    DataChunkPos = 0;
    DataOffset = 0;
    DataBytes = 0;
    Frames = 0;
    DataEnd = 0;
    SsndOffset = 0;
    SsndBlockSize = 0;
}

} // namespace tarvola
