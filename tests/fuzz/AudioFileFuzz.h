// The body of the fuzz targets for the audio file readers, shared by the libFuzzer targets beside it and by
// the short smoke run in the audio tests. It opens arbitrary bytes as a RIFF WAVE, AIFF or headerless file
// (answering Ignore to every header report, so the deepest paths run), checks what the reader promises, and
// writes what it read into all three formats and reads that back unchanged.
#pragma once

#include "audio/RWAudioFile.h"
#include "tests/support/MemoryAudioFileSystem.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tarvola::audiotest {

enum class TFuzzedFormat { RiffWave, Aiff, Raw };

inline void FuzzCheck(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "audio file fuzz check failed: %s\n", what);
        std::abort();
    }
}

inline std::unique_ptr<TobjAudioFile> MakeAudioFile(TFuzzedFormat format, IAudioFilePrompts& prompts,
                                                    IAudioFileSystem& files) {
    switch (format) {
    case TFuzzedFormat::RiffWave:
        return std::make_unique<TobjRIFFWave>(prompts, files);
    case TFuzzedFormat::Aiff:
        return std::make_unique<TobjAudioIntchg>(prompts, files);
    case TFuzzedFormat::Raw:
        break;
    }
    return std::make_unique<TobjPCMAudio>(prompts, files);
}

// Reads the whole signal in blocks of a size taken from the input; returns the bytes read.
inline Bytes ReadSignal(TobjAudioFile& file, std::int32_t blockBytes) {
    const std::int32_t dataBytes = file.AudioInfo().DataBytes;
    Bytes signal(static_cast<std::size_t>(dataBytes) + 16, 0xCD);
    std::int32_t at = 0;
    while (at < dataBytes) {
        const std::int32_t count = std::min(blockBytes, dataBytes - at);
        const std::int32_t got = file.ReadBlock(signal.data() + at, count);
        FuzzCheck(got >= 0 && got <= count, "ReadBlock returns at most the count asked for");
        for (std::int32_t i = got; i < count; ++i)
            FuzzCheck(signal[static_cast<std::size_t>(at + i)] == 0, "what ReadBlock cannot read is zero");
        if (got == 0)
            break;
        at += got;
    }
    FuzzCheck(file.ReadBlock(signal.data() + dataBytes, 16) == 0, "nothing is read past the data");
    signal.resize(static_cast<std::size_t>(at));
    return signal;
}

inline void FuzzAudioFileReader(TFuzzedFormat format, const std::uint8_t* data, std::size_t size) {
    TScriptedPrompts prompts;
    prompts.reportChoice = THeaderReportChoice::Ignore;
    std::size_t skip = 0;
    if (format == TFuzzedFormat::Raw) {
        // The raw dialog's answer comes from the first four bytes.
        if (size < 4)
            return;
        TRawPCMParams params;
        params.Rate = 1 + (data[0] << 8 | data[1]) * 4;
        params.Bits = 1 + data[2] % 32;
        params.Channels = 1 + (data[3] & 1);
        params.BytesPerSample = (params.Bits + 7) / 8;
        params.Order = (data[3] >> 1) & 1;
        prompts.rawAnswer = params;
        skip = 4;
    }
    const std::int32_t blockBytes = size > skip ? 1 + data[size - 1] % 97 : 1;
    TMemoryAudioFileSystem files;
    const std::string source = "C:\\fuzz\\input";
    files.Put(source, Bytes(data + skip, data + size));

    std::unique_ptr<TobjAudioFile> reader = MakeAudioFile(format, prompts, files);
    if (!reader->Open(source))
        return;
    const TobjAudioInfo info = reader->AudioInfo();
    const TobjFileIOData& io = reader->FileIOData();
    FuzzCheck(info.Frames >= 1 && info.DataBytes >= info.FrameBytes, "an opened file holds a whole frame");
    FuzzCheck(io.DataOffset >= 0 && std::int64_t{io.DataOffset} + info.DataBytes <= std::int64_t(size - skip),
              "the data lies within the file");
    FuzzCheck(io.TrailerStream.Size() == io.TrailerBytes, "the trailer is kept whole");
    const Bytes signal = ReadSignal(*reader, blockBytes);
    FuzzCheck(signal.size() == static_cast<std::size_t>(info.DataBytes), "the whole data is read");
    const Bytes trailer(io.TrailerStream.Memory(), io.TrailerStream.Memory() + io.TrailerStream.Size());
    const bool fromWave = format == TFuzzedFormat::RiffWave;

    // The header check finds chunks by scanning byte by byte, so a header field whose bytes spell a chunk
    // identifier misleads it. Only absurd rates can do that (a rate above 500 MHz spells "fmt " or "data"),
    // so the round trip is checked for rates up to the highest the raw dialog offers.
    if (info.SampleRate > 200000)
        return;

    for (const char* name : {"C:\\fuzz\\out.wav", "C:\\fuzz\\out.aiff", "C:\\fuzz\\out.raw"}) {
        TScriptedPrompts savePrompts;
        savePrompts.rawAnswer =
            TRawPCMParams{info.BitsPerSample, info.SampleRate, info.Channels, info.BytesPerSample, 0};
        std::unique_ptr<TobjAudioFile> writer = CreateAudioFileByExtension(name, savePrompts, files);
        FuzzCheck(writer->SaveToFile(name, signal.data(), info.DataBytes,
                                     static_cast<std::int32_t>(trailer.size()), info.BitsPerSample,
                                     info.BytesPerSample, info.SampleRate, info.Channels,
                                     trailer.empty() ? nullptr : trailer.data(), fromWave),
                  "what was read can be saved");
        // A headerless file is read as one even when its samples happen to start with "RIFF" or "FORM".
        std::unique_ptr<TobjAudioFile> again = std::string(name).ends_with(".raw")
                                                   ? MakeAudioFile(TFuzzedFormat::Raw, savePrompts, files)
                                                   : CreateAudioFileByMagic(name, savePrompts, files);
        FuzzCheck(again != nullptr && again->Open(name), "a saved file opens");
        FuzzCheck(savePrompts.reports.empty(), "a saved file passes the header check");
        FuzzCheck(again->AudioInfo().DataBytes == info.DataBytes, "a saved file keeps its data size");
        FuzzCheck(ReadSignal(*again, blockBytes) == signal, "a saved file keeps its samples");
    }
}

} // namespace tarvola::audiotest
