// The plain records that describe a PCM signal: its format in memory (TobjAudioInfo), a frame range of it
// cut into blocks (TobjProcessData), and the layout of the audio file it came from (TobjFileIOData).
// Setters take the raw figures and leave the record unchanged when an argument is out of range or a
// derived figure would not fit its field; nothing is reported, callers check the fields they need.
#pragma once

#include "audio/Streams.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

namespace tarvola {

// ---- Channel masks: one byte per channel (left, right), 1 = present, 0 = absent.

using TChannelMask = std::array<std::uint8_t, 2>;

TChannelMask EmptyChannelMask();
// Byte 1 is set when Channels >= 1, byte 2 when Channels >= 2.
TChannelMask ChannelMaskOf(int channels);
// The number of non-zero bytes of the mask.
int ChannelCountOf(const TChannelMask& mask);

// ---- The PCM format of a signal in memory.
//
// The ten fields form the format record handed to the kernel designer, which reads them by their place:
// their order is fixed (see the static_asserts below). Pass the whole record, not a pointer to a field.
struct TobjAudioInfo {
    std::int32_t SampleRate = 0;     // frames per second, at least 6000
    std::int32_t BitsPerSample = 0;  // 8 to 32
    std::int32_t Channels = 0;       // 1 or 2
    std::int32_t Frames = 0;         // DataBytes div FrameBytes
    std::int32_t BytesPerSample = 0; // 1 to 4
    std::int32_t FrameBytes = 0;     // BytesPerSample * Channels
    std::int32_t BlockAlign = 0;     // equal to FrameBytes
    std::int32_t BytesPerSecond = 0; // BlockAlign * SampleRate
    std::int32_t SampleCount = 0;    // DataBytes div BytesPerSample (samples of all channels)
    std::int32_t DataBytes = 0;      // size of the signal data in bytes

    // Nothing happens unless DataBytes > 0, Channels is 1 or 2, SampleRate >= 6000, BitsPerSample is 8 to 32
    // and BytesPerSecond fits 32 bits. BytesPerSample is taken when it lies in 1..4, else derived as
    // ceil(BitsPerSample / 8).
    void SetFormat(std::int32_t dataBytes, std::int32_t channels, std::int32_t sampleRate,
                   std::int32_t bitsPerSample, std::int32_t bytesPerSample);
    // All ten fields 0.
    void Clear();

    bool operator==(const TobjAudioInfo&) const = default;
};

static_assert(std::is_standard_layout_v<TobjAudioInfo>);
static_assert(sizeof(TobjAudioInfo) == 40);
static_assert(offsetof(TobjAudioInfo, SampleRate) == 0);
static_assert(offsetof(TobjAudioInfo, BitsPerSample) == 4);
static_assert(offsetof(TobjAudioInfo, Channels) == 8);
static_assert(offsetof(TobjAudioInfo, Frames) == 12);
static_assert(offsetof(TobjAudioInfo, BytesPerSample) == 16);
static_assert(offsetof(TobjAudioInfo, FrameBytes) == 20);
static_assert(offsetof(TobjAudioInfo, BlockAlign) == 24);
static_assert(offsetof(TobjAudioInfo, BytesPerSecond) == 28);
static_assert(offsetof(TobjAudioInfo, SampleCount) == 32);
static_assert(offsetof(TobjAudioInfo, DataBytes) == 36);

// ---- A frame range of the signal, cut into blocks of whole frames.
class TobjProcessData {
public:
    static constexpr std::int32_t DefaultMaxBlockBytes = 4194304;
    static constexpr std::int32_t MinMaxBlockBytes = 524288;
    static constexpr std::int32_t MaxMaxBlockBytes = 8388608;

    std::int32_t MaxBlockBytes = DefaultMaxBlockBytes; // largest block
    std::int32_t BlockBytes = 0;      // bytes of each block but the last: FramesPerBlock whole frames
    std::int32_t SamplesPerBlock = 0; // BlockBytes div bytes per sample
    std::int32_t FramesPerBlock = 0;  // MaxBlockBytes div frame bytes
    std::int32_t BlockCount = 0;
    std::int32_t LastBlockBytes = 0;
    std::int32_t FirstFrame = 0; // inclusive
    std::int32_t LastFrame = 0;  // inclusive
    std::int32_t FrameCount = 0;
    std::int32_t SampleCount = 0; // FrameCount * ChannelCount
    std::int32_t LengthBytes = 0; // SampleCount * bytes per sample
    std::int32_t ChannelCount = 0;
    TChannelMask ChannelMask = EmptyChannelMask();

    // Accepted only within MinMaxBlockBytes..MaxMaxBlockBytes; otherwise the old value stays.
    void SetMaxBlockBytes(std::int32_t bytes);
    // Nothing happens unless 0 <= FirstFrame <= LastFrame, 1 <= BytesPerSample <= 4, the mask holds a channel
    // and LengthBytes fits 32 bits. Blocks hold whole frames, so a sample never straddles two blocks.
    void SetRange(std::int32_t firstFrame, std::int32_t lastFrame, std::int32_t bytesPerSample,
                  const TChannelMask& channelMask);
};

// ---- The file-side layout of an audio file, with the header and trailing bytes kept from it.
class TobjFileIOData {
public:
    std::string FileName; // full path
    std::string Name;     // file name with extension, without folder
    std::string Path;     // folder, ending in a backslash (or a colon)
    std::string Ext;      // extension with its point, lower case
    std::int32_t FileSize = 0;
    long double Duration = 0; // DataBytes / BytesPerSecond, seconds (80-bit in memory only)
    bool HasTrailer = false;
    std::int32_t TrailerPos = 0;    // first byte after the data, 0 without a trailer
    std::int32_t TrailerBytes = 0;  // FileSize - DataEnd when positive, else 0
    std::int32_t FormatTag = 0;     // 1 = linear PCM
    std::int32_t RiffSize = 0;      // FileSize - 8
    std::int32_t FmtChunkPos = 0;   // RIFF: right after "fmt "; AIFF: right after "COMM"
    std::uint16_t DataChunkPos = 0; // offset of the "data" or "SSND" identifier
    std::int32_t DataOffset = 0;    // first data byte
    std::int32_t DataBytes = 0;
    std::uint32_t Frames = 0; // DataBytes div frame bytes
    std::int32_t DataEnd = 0; // DataOffset + DataBytes
    std::int32_t SsndOffset = 0;
    std::int32_t SsndBlockSize = 0;
    // Both usually view memory owned by someone else (the reader's header window, the main window's
    // trailer); Clear and the destructor never free viewed memory.
    TobjFlexMemoryStream HeaderStream;
    TobjFlexMemoryStream TrailerStream;

    // FileName := fileName; Name, Ext (lower case) and Path (up to and including the last backslash or
    // colon) are split from it. True when Path is not empty.
    bool SetFileName(const std::string& fileName);
    // Nothing happens unless DataBytes >= 0, DataOffset >= 0, 1 <= BytesPerSample <= 4,
    // BytesPerSecond >= BytesPerSample * 6000, FormatTag >= 1, FrameBytes >= 1 and DataEnd, RiffSize and
    // TrailerBytes fit 32 bits.
    void SetLayout(std::int32_t dataBytes, std::int32_t dataOffset, std::int32_t fileSize,
                   std::int32_t bytesPerSample, std::int32_t bytesPerSecond, std::int32_t formatTag,
                   std::int32_t frameBytes);
    // Both streams cleared, every other field 0 or empty.
    void Clear();
};

} // namespace tarvola
