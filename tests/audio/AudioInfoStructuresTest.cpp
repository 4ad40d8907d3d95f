#include "audio/AudioInfoStructures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace tarvola {
namespace {

constexpr std::int32_t Int32Max = std::numeric_limits<std::int32_t>::max();

TEST(ChannelMask, MasksAndCounts) {
    EXPECT_EQ(EmptyChannelMask(), (TChannelMask{0, 0}));
    const struct {
        int channels;
        TChannelMask mask;
        int count;
    } cases[] = {{0, {0, 0}, 0}, {1, {1, 0}, 1}, {2, {1, 1}, 2}, {3, {1, 1}, 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(ChannelMaskOf(c.channels), c.mask) << c.channels;
        EXPECT_EQ(ChannelCountOf(c.mask), c.count) << c.channels;
    }
    EXPECT_EQ(ChannelCountOf({0, 1}), 1); // the right channel alone
}

TEST(AudioInfo, SetFormatDerivesTheFigures) {
    const struct {
        std::int32_t dataBytes, channels, rate, bits, bytesPerSample;
        std::int32_t wantBytesPerSample, wantFrameBytes, wantBytesPerSecond, wantSampleCount, wantFrames;
    } cases[] = {
        {1200, 2, 44100, 24, 0, 3, 6, 264600, 400, 200}, // derived from the bits
        {1200, 1, 8000, 12, 0, 2, 2, 16000, 600, 600},   // 12 bits need 2 bytes
        {1200, 2, 48000, 32, 3, 3, 6, 288000, 400, 200}, // a given size wins
        {1201, 2, 6000, 16, 5, 2, 4, 24000, 600, 300},   // 5 is no size: derived
        {7, 2, 22050, 8, 0, 1, 2, 44100, 7, 3},
    };
    for (const auto& c : cases) {
        TobjAudioInfo info;
        info.SetFormat(c.dataBytes, c.channels, c.rate, c.bits, c.bytesPerSample);
        SCOPED_TRACE(c.bits);
        EXPECT_EQ(info.DataBytes, c.dataBytes);
        EXPECT_EQ(info.Channels, c.channels);
        EXPECT_EQ(info.SampleRate, c.rate);
        EXPECT_EQ(info.BitsPerSample, c.bits);
        EXPECT_EQ(info.BytesPerSample, c.wantBytesPerSample);
        EXPECT_EQ(info.FrameBytes, c.wantFrameBytes);
        EXPECT_EQ(info.BlockAlign, c.wantFrameBytes);
        EXPECT_EQ(info.BytesPerSecond, c.wantBytesPerSecond);
        EXPECT_EQ(info.SampleCount, c.wantSampleCount);
        EXPECT_EQ(info.Frames, c.wantFrames);
    }
}

TEST(AudioInfo, SetFormatWithBadArgumentsLeavesTheRecordUnchanged) {
    const struct {
        const char* what;
        std::int32_t dataBytes, channels, rate, bits;
    } cases[] = {
        {"rate 5999", 100, 2, 5999, 16},
        {"3 channels", 100, 3, 44100, 16},
        {"0 channels", 100, 0, 44100, 16},
        {"7 bits", 100, 2, 44100, 7},
        {"33 bits", 100, 2, 44100, 33},
        {"no data", 0, 2, 44100, 16},
        {"negative data", -4, 2, 44100, 16},
        {"byte rate overflows", 100, 2, 300000000, 32}, // 8 * 3e8 > INT32_MAX
    };
    for (const auto& c : cases) {
        TobjAudioInfo info;
        info.SetFormat(400, 1, 11025, 8, 0);
        const TobjAudioInfo before = info;
        info.SetFormat(c.dataBytes, c.channels, c.rate, c.bits, 0);
        EXPECT_EQ(info, before) << c.what;
    }
}

TEST(AudioInfo, ClearZeroesEveryField) {
    TobjAudioInfo info;
    info.SetFormat(400, 2, 44100, 16, 2);
    info.Clear();
    EXPECT_EQ(info, TobjAudioInfo{});
}

TEST(ProcessData, SetRangeCutsTheRangeIntoBlocksOfWholeFrames) {
    const TChannelMask stereo = ChannelMaskOf(2);
    const TChannelMask mono = ChannelMaskOf(1);
    const struct {
        const char* what;
        std::int32_t first, last, bytesPerSample;
        TChannelMask mask;
        std::int32_t wantLength, wantBlockBytes, wantBlockCount, wantLastBlockBytes;
    } cases[] = {
        {"two full 16-bit stereo blocks", 0, 2097151, 2, stereo, 8388608, 4194304, 2, 4194304},
        {"10 frames", 0, 9, 2, stereo, 40, 4194304, 1, 40},
        {"one channel, 100 frames", 100, 199, 2, mono, 200, 4194304, 1, 200},
        {"right channel only", 0, 99, 2, {0, 1}, 200, 4194304, 1, 200},
        {"24-bit stereo", 0, 999999, 3, stereo, 6000000, 4194300, 2, 1805700},
        {"24-bit stereo, exactly one block", 5, 699054, 3, stereo, 4194300, 4194300, 1, 4194300},
        {"24-bit mono", 0, 1398101, 3, mono, 4194306, 4194303, 2, 3},
        {"32-bit stereo", 0, 1048576, 4, stereo, 8388616, 4194304, 3, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TobjProcessData range;
        range.SetRange(c.first, c.last, c.bytesPerSample, c.mask);
        const std::int32_t frameBytes = c.bytesPerSample * ChannelCountOf(c.mask);
        EXPECT_EQ(range.FirstFrame, c.first);
        EXPECT_EQ(range.LastFrame, c.last);
        EXPECT_EQ(range.FrameCount, c.last - c.first + 1);
        EXPECT_EQ(range.ChannelMask, c.mask);
        EXPECT_EQ(range.SampleCount, range.FrameCount * ChannelCountOf(c.mask));
        EXPECT_EQ(range.LengthBytes, c.wantLength);
        EXPECT_EQ(range.BlockBytes, c.wantBlockBytes);
        EXPECT_EQ(range.BlockCount, c.wantBlockCount);
        EXPECT_EQ(range.LastBlockBytes, c.wantLastBlockBytes);
        EXPECT_EQ(range.FramesPerBlock * frameBytes, range.BlockBytes);
        EXPECT_EQ(range.SamplesPerBlock * c.bytesPerSample, range.BlockBytes);
        EXPECT_EQ(range.LastBlockBytes % frameBytes, 0);
        EXPECT_EQ(std::int64_t{range.BlockCount - 1} * range.BlockBytes + range.LastBlockBytes,
                  range.LengthBytes);
    }
}

TEST(ProcessData, SetRangeWithBadArgumentsLeavesTheRecordUnchanged) {
    const struct {
        const char* what;
        std::int32_t first, last, bytesPerSample;
        TChannelMask mask;
    } cases[] = {
        {"negative first", -1, 10, 2, ChannelMaskOf(2)},
        {"last before first", 10, 9, 2, ChannelMaskOf(2)},
        {"0 bytes per sample", 0, 9, 0, ChannelMaskOf(2)},
        {"5 bytes per sample", 0, 9, 5, ChannelMaskOf(2)},
        {"no channel", 0, 9, 2, EmptyChannelMask()},
        {"length overflows", 0, Int32Max - 1, 4, ChannelMaskOf(2)},
        {"frame count overflows", 0, Int32Max, 1, ChannelMaskOf(1)},
    };
    for (const auto& c : cases) {
        TobjProcessData range;
        range.SetRange(3, 12, 2, ChannelMaskOf(1));
        range.SetRange(c.first, c.last, c.bytesPerSample, c.mask);
        EXPECT_EQ(range.FirstFrame, 3) << c.what;
        EXPECT_EQ(range.LengthBytes, 20) << c.what;
        EXPECT_EQ(range.ChannelCount, 1) << c.what;
    }
}

TEST(ProcessData, MaxBlockBytesStaysWithinItsLimits) {
    const struct {
        std::int32_t bytes, want;
    } cases[] = {{524287, 4194304}, {8388609, 4194304}, {524288, 524288}, {8388608, 8388608}, {-1, 4194304}};
    for (const auto& c : cases) {
        TobjProcessData range;
        EXPECT_EQ(range.MaxBlockBytes, 4194304);
        range.SetMaxBlockBytes(c.bytes);
        EXPECT_EQ(range.MaxBlockBytes, c.want) << c.bytes;
    }
}

TEST(FileIOData, SetFileNameSplitsThePath) {
    const struct {
        const char* fileName;
        const char* name;
        const char* path;
        const char* ext;
        bool ok;
    } cases[] = {
        {"D:\\music\\Song.WAV", "Song.WAV", "D:\\music\\", ".wav", true},
        {"D:\\a.b\\take.2.aiff", "take.2.aiff", "D:\\a.b\\", ".aiff", true},
        {"D:\\a.b\\noext", "noext", "D:\\a.b\\", "", true},
        {"C:drive.raw", "drive.raw", "C:", ".raw", true},
        {"bare.wav", "bare.wav", "", ".wav", false},
        {"", "", "", "", false},
    };
    for (const auto& c : cases) {
        TobjFileIOData io;
        EXPECT_EQ(io.SetFileName(c.fileName), c.ok) << c.fileName;
        EXPECT_EQ(io.FileName, c.fileName);
        EXPECT_EQ(io.Name, c.name) << c.fileName;
        EXPECT_EQ(io.Path, c.path) << c.fileName;
        EXPECT_EQ(io.Ext, c.ext) << c.fileName;
    }
}

TEST(FileIOData, SetLayoutPlacesTheTrailer) {
    const struct {
        std::int32_t fileSize;
        bool hasTrailer;
        std::int32_t trailerPos, trailerBytes;
    } cases[] = {
        {1044, false, 0, 0},   // ends right after its data
        {1045, true, 1044, 1}, // one trailing byte
        {1000, false, 0, 0},   // cut short: negative trailer
    };
    for (const auto& c : cases) {
        TobjFileIOData io;
        io.SetLayout(1000, 44, c.fileSize, 2, 176400, 1, 4);
        SCOPED_TRACE(c.fileSize);
        EXPECT_EQ(io.FileSize, c.fileSize);
        EXPECT_EQ(io.DataBytes, 1000);
        EXPECT_EQ(io.DataOffset, 44);
        EXPECT_EQ(io.DataEnd, 1044);
        EXPECT_EQ(io.RiffSize, c.fileSize - 8);
        EXPECT_EQ(io.Frames, 250u);
        EXPECT_EQ(io.FormatTag, 1);
        EXPECT_EQ(io.HasTrailer, c.hasTrailer);
        EXPECT_EQ(io.TrailerPos, c.trailerPos);
        EXPECT_EQ(io.TrailerBytes, c.trailerBytes);
        EXPECT_EQ(io.Duration, 1000.0L / 176400.0L);
    }
}

TEST(FileIOData, SetLayoutWithBadArgumentsLeavesTheRecordUnchanged) {
    const struct {
        const char* what;
        std::int32_t dataBytes, dataOffset, fileSize, bytesPerSample, bytesPerSecond, formatTag, frameBytes;
    } cases[] = {
        {"negative data", -1, 44, 1044, 2, 176400, 1, 4},
        {"negative offset", 1000, -1, 1044, 2, 176400, 1, 4},
        {"0 bytes per sample", 1000, 44, 1044, 0, 176400, 1, 4},
        {"5 bytes per sample", 1000, 44, 1044, 5, 176400, 1, 4},
        {"byte rate below 6000 samples", 1000, 44, 1044, 2, 11999, 1, 4},
        {"format tag 0", 1000, 44, 1044, 2, 176400, 0, 4},
        {"frame bytes 0", 1000, 44, 1044, 2, 176400, 1, 0},
        {"data end overflows", Int32Max, 44, 1044, 2, 176400, 1, 4},
        {"trailer overflows", 1000, 44, std::numeric_limits<std::int32_t>::min(), 2, 176400, 1, 4},
    };
    for (const auto& c : cases) {
        TobjFileIOData io;
        io.SetLayout(500, 12, 600, 1, 8000, 1, 1);
        io.SetLayout(c.dataBytes, c.dataOffset, c.fileSize, c.bytesPerSample, c.bytesPerSecond, c.formatTag,
                     c.frameBytes);
        EXPECT_EQ(io.DataBytes, 500) << c.what;
        EXPECT_EQ(io.DataEnd, 512) << c.what;
        EXPECT_EQ(io.TrailerBytes, 88) << c.what;
    }
}

// Under AddressSanitizer freeing the foreign buffers, or reading them afterwards, ends the test.
TEST(FileIOData, ClearAndDestructionNeverFreeViewedStreams) {
    std::vector<std::uint8_t> header(64, 7);
    auto trailer = std::make_unique<std::uint8_t[]>(8);
    trailer[7] = 9;
    {
        TobjFileIOData io;
        io.SetFileName("D:\\x.wav");
        io.SetLayout(1000, 44, 1052, 2, 176400, 1, 4);
        io.HeaderStream.SetPointer(header.data(), 64);
        io.TrailerStream.SetPointer(trailer.get(), 8);
        io.Clear();
        EXPECT_EQ(io.HeaderStream.Size(), 0);
        EXPECT_EQ(io.TrailerStream.Size(), 0);
        EXPECT_EQ(io.FileName, "");
        EXPECT_EQ(io.DataEnd, 0);
        EXPECT_EQ(io.Duration, 0);
        io.TrailerStream.SetPointer(trailer.get(), 8);
    }
    EXPECT_EQ(header[63], 7);
    EXPECT_EQ(trailer[7], 9);
}

} // namespace
} // namespace tarvola
