#include "audio/RWAudioFile.h"

#include "audio/AudioInfoStructures.h"
#include "tests/support/AudioFileBytes.h"
#include "tests/support/MemoryAudioFileSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace tarvola {
namespace {

using namespace audiotest;

const std::string SourceName = "C:\\audio\\source.dat";

// What the main window takes from a reader after Open: the records, the samples read block by block,
// the trailer, and what the user was shown.
struct TLoaded {
    bool opened = false;
    TobjAudioInfo info;
    std::int32_t dataOffset = 0;
    std::int32_t dataChunkPos = 0;
    std::int32_t fmtChunkPos = 0;
    std::int32_t fileSize = 0;
    std::int32_t trailerBytes = 0;
    Bytes samples;
    Bytes trailer;
    std::vector<std::string> reportLines;
    TScriptedPrompts prompts;
};

// The " - " lines of a header report.
std::vector<std::string> ReportLines(const std::string& report) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while ((at = report.find("\r - ", at)) != std::string::npos) {
        at += 4;
        const std::size_t end = report.find('\r', at);
        lines.push_back(report.substr(at, end - at));
    }
    return lines;
}

// Reads the whole signal as the main window does: in blocks of the process record.
Bytes ReadInBlocks(TobjAudioFile& file, std::int32_t maxBlockBytes) {
    const TobjAudioInfo& info = file.AudioInfo();
    TobjProcessData blocks;
    blocks.SetMaxBlockBytes(maxBlockBytes);
    blocks.SetRange(0, info.Frames - 1, info.BytesPerSample, ChannelMaskOf(info.Channels));
    Bytes samples(static_cast<std::size_t>(info.DataBytes), 0xCD);
    std::size_t at = 0;
    for (std::int32_t block = 1; block <= blocks.BlockCount; ++block) {
        const std::int32_t count = block < blocks.BlockCount ? blocks.BlockBytes : blocks.LastBlockBytes;
        EXPECT_EQ(file.ReadBlock(samples.data() + at, count), count);
        at += static_cast<std::size_t>(count);
    }
    samples.resize(at);
    return samples;
}

TLoaded Load(const Bytes& bytes, THeaderReportChoice choice = THeaderReportChoice::Ignore,
             std::optional<TRawPCMParams> raw = std::nullopt,
             std::int32_t maxBlockBytes = TobjProcessData::DefaultMaxBlockBytes) {
    TLoaded loaded;
    loaded.prompts.reportChoice = choice;
    loaded.prompts.rawAnswer = raw;
    TMemoryAudioFileSystem files;
    files.Put(SourceName, bytes);
    std::unique_ptr<TobjAudioFile> file = CreateAudioFileByMagic(SourceName, loaded.prompts, files);
    EXPECT_NE(file, nullptr);
    loaded.opened = file->Open(SourceName);
    loaded.info = file->AudioInfo();
    const TobjFileIOData& io = file->FileIOData();
    loaded.dataOffset = io.DataOffset;
    loaded.dataChunkPos = io.DataChunkPos;
    loaded.fmtChunkPos = io.FmtChunkPos;
    loaded.fileSize = io.FileSize;
    loaded.trailerBytes = io.TrailerBytes;
    if (loaded.opened) {
        loaded.samples = ReadInBlocks(*file, maxBlockBytes);
        const std::uint8_t* trailer = io.TrailerStream.Memory();
        loaded.trailer.assign(trailer, trailer + io.TrailerStream.Size());
    }
    if (!loaded.prompts.reports.empty())
        loaded.reportLines = ReportLines(loaded.prompts.reports.front());
    return loaded;
}

Bytes WithSize(Bytes file, std::size_t at, std::uint32_t value, bool bigEndian) {
    const Bytes field = bigEndian ? BE(value, 4) : LE(value, 4);
    std::copy(field.begin(), field.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
    return file;
}

Bytes Cut(Bytes file, std::size_t size) {
    file.resize(size);
    return file;
}

TRawPCMParams Raw(std::int32_t rate, std::int32_t bits, std::int32_t channels, std::int32_t order = 0) {
    return TRawPCMParams{bits, rate, channels, (bits + 7) / 8, order};
}

const char* const Missing = "Chunck ID's not found.";
const char* const BadSize = "Implausible value for signal data size.";
const char* const NotPCM = "An encoding format other than linear PCM is used.";
const char* const BadChannels = "Number of channels unsupported or not allowed.";
const char* const BadRate = "Sampling rate unsupported or not allowed.";
const char* const BadBits = "Bits per sample ratio unsupported or not allowed.";
const char* const Unidentified = "An unidentified error occurred.";

// A WAVE_FORMAT_EXTENSIBLE "fmt " payload for 16-bit stereo with the given sub-format code.
Bytes Extensible(std::uint8_t subFormat) {
    const Bytes guidTail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                            0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    return Join(
        {FmtPayload(0xFFFE, 2, 44100, 16), LE(22, 2), LE(16, 2), LE(3, 4), LE(subFormat, 2), guidTail});
}

constexpr std::int32_t Any = -1;
constexpr auto Abort = THeaderReportChoice::Abort;
constexpr auto Ignore = THeaderReportChoice::Ignore;

struct ReadCase {
    const char* name;
    Bytes file;
    THeaderReportChoice choice;
    std::optional<TRawPCMParams> raw;
    bool opens;
    std::vector<std::string> lines; // the report's lines; none: no report
    std::int32_t rate = Any;
    std::int32_t dataBytes = Any;
    std::int32_t dataOffset = Any;
    std::int32_t dataChunkPos = Any;
    std::int32_t fmtChunkPos = Any;
    std::int32_t trailerBytes = Any;
    Bytes samples = {}; // the samples in memory, when given
};

TEST(RWAudioFile, ReadsTheRecordsAndReportsTheHeaderFaults) {
    const Bytes data = Pattern(40); // 10 stereo 16-bit frames
    const Bytes wave = CanonicalWave(2, 44100, 16, data);
    const Bytes fmt = RiffChunk("fmt ", FmtPayload(1, 2, 44100, 16));
    const Bytes aiffSamples = Swapped(data, 2);
    const Bytes comm = AiffChunk("COMM", CommPayload(2, 10, 16, 44100.0L));
    const Bytes aiff = CanonicalAiff(2, 16, 44100.0L, aiffSamples);
    const Bytes mark = AiffChunk("MARK", BE(0, 2));
    const Bytes list = RiffChunk("LIST", Pattern(18, 5));

    const ReadCase cases[] = {
        // clang-format off
        {"canonical wave", wave, Ignore, {}, true, {}, 44100, 40, 44, 36, 16, 0, data},
        {"wave with a 26-byte chunk after the data", RiffFile(Join({fmt, RiffChunk("data", data), list})), Ignore, {}, true, {}, 44100, 40, 44, 36, 16, 26, data},
        {"odd data size: the pad byte is the trailer", CanonicalWave(1, 8000, 8, Pattern(5)), Ignore, {}, true, {}, 8000, 5, 44, 36, 16, 1, Pattern(5)},
        {"fmt chunk not at 12", RiffFile(Join({RiffChunk("JUNK", Bytes(4)), fmt, RiffChunk("data", data)})), Abort, {}, false, {Missing, NotPCM, BadChannels, BadBits}},
        {"data identifier beyond the header window", RiffFile(Join({fmt, RiffChunk("JUNK", Bytes(5000)), RiffChunk("data", data)})), Abort, {}, false, {Missing}},
        {"float wave, Abort", RiffFile(Join({RiffChunk("fmt ", FmtPayload(3, 1, 8000, 32)), RiffChunk("data", data)})), Abort, {}, false, {NotPCM}},
        {"float wave, Ignore: 32-bit integers", RiffFile(Join({RiffChunk("fmt ", FmtPayload(3, 1, 8000, 32)), RiffChunk("data", data)})), Ignore, {}, true, {NotPCM}, 8000, 40, 44, 36, 16, 0, data},
        {"extensible wave with the PCM sub-format", RiffFile(Join({RiffChunk("fmt ", Extensible(0x01)), RiffChunk("fact", LE(10, 4)), RiffChunk("data", data)})), Ignore, {}, true, {}, 44100, 40, 80, 72, 16, 0, data},
        {"extensible wave with the float sub-format", RiffFile(Join({RiffChunk("fmt ", Extensible(0x03)), RiffChunk("data", data)})), Abort, {}, false, {NotPCM}},
        {"format tag 0, Ignore: refused by the layout record", RiffFile(Join({RiffChunk("fmt ", FmtPayload(0, 1, 8000, 8)), RiffChunk("data", data)})), Ignore, {}, false, {NotPCM}},
        {"data size 2 with 4-byte frames", CanonicalWave(2, 44100, 16, Bytes{1, 2}), Ignore, {}, false, {}},
        {"3 channels, Ignore", CanonicalWave(3, 44100, 16, Pattern(36)), Ignore, {}, false, {BadChannels}},
        {"rate below 6000, Ignore", CanonicalWave(1, 5999, 16, data), Ignore, {}, false, {BadRate}},
        {"40 bits, Ignore", CanonicalWave(1, 8000, 40, data), Ignore, {}, false, {BadBits}},
        {"wave shorter than 36 bytes", Cut(wave, 30), Ignore, {}, false, {Missing, BadSize, BadBits}},
        {"data size field beyond the end", Cut(wave, 42), Ignore, {}, false, {Missing, BadSize}},
        {"shorter than its data size, Abort", Cut(wave, 44 + 22), Abort, {}, false, {BadSize}},
        {"shorter than its data size, Ignore: the data ends with the file", Cut(wave, 44 + 22), Ignore, {}, true, {BadSize}, 44100, 22, 44, 36, 16, 0, Bytes(data.begin(), data.begin() + 20)},
        {"oversize data size, Ignore", WithSize(wave, 40, 0x7FFFFFF0, false), Ignore, {}, true, {BadSize}, 44100, 40, 44, 36, 16, 0, data},
        {"data size -1, Ignore", WithSize(wave, 40, 0xFFFFFFFF, false), Ignore, {}, false, {BadSize}},
        {"canonical aiff", aiff, Ignore, {}, true, {}, 44100, 40, 54, 38, 16, 0, data},
        {"aiff at 22050.5 Hz", CanonicalAiff(2, 16, 22050.5L, aiffSamples), Ignore, {}, true, {}, 22050, 40, 54},
        {"aiff with a chunk before the sound data", FormFile(Join({comm, AiffChunk("ANNO", Text("hello")), AiffChunk("SSND", SsndPayload(aiffSamples))})), Ignore, {}, true, {}, 44100, 40, 68, 52, 16, 0, data},
        {"aiff with a chunk before COMM", FormFile(Join({AiffChunk("FVER", BE(0xA2805140, 4)), comm, AiffChunk("SSND", SsndPayload(aiffSamples))})), Ignore, {}, true, {}, 44100, 40, 66, 50, 28, 0, data},
        {"aiff with an SSND offset", FormFile(Join({comm, AiffChunk("SSND", SsndPayload(aiffSamples, 4))})), Ignore, {}, true, {}, 44100, 40, 58, 38, 16, 0, data},
        {"aiff with a chunk after the sound data", FormFile(Join({comm, AiffChunk("SSND", SsndPayload(aiffSamples)), mark})), Ignore, {}, true, {}, 44100, 40, 54, 38, 16, 10, data},
        {"aiff of the earlier writer: SSND size without its 8 bytes", WithSize(aiff, 42, 40, true), Ignore, {}, true, {}, 44100, 40, 54, 38, 16, 0, data},
        {"8-bit aiff samples are signed", CanonicalAiff(1, 8, 8000.0L, Bytes{0x00, 0x7F, 0x80, 0xFF}), Ignore, {}, true, {}, 8000, 4, 54, 38, 16, 0, Bytes{0x80, 0xFF, 0x00, 0x7F}},
        {"aiff rate infinite", CanonicalAiff(2, 16, std::numeric_limits<long double>::infinity(), aiffSamples), Ignore, {}, false, {Unidentified}},
        {"aiff rate beyond 32 bits", CanonicalAiff(2, 16, 1e12L, aiffSamples), Ignore, {}, false, {Unidentified}},
        {"aiff rate not a number", CanonicalAiff(2, 16, std::numeric_limits<long double>::quiet_NaN(), aiffSamples), Ignore, {}, false, {BadRate}},
        {"aifc", FormFile(Join({comm, AiffChunk("SSND", SsndPayload(aiffSamples))}), "AIFC"), Abort, {}, false, {NotPCM}},
        {"aiff shorter than 38 bytes", Cut(aiff, 30), Ignore, {}, false, {Missing, BadSize, BadRate}},
        {"aiff shorter than its data size, Ignore", Cut(aiff, 54 + 22), Ignore, {}, true, {BadSize}, 44100, 22, 54, 38, 16, 0, Bytes(data.begin(), data.begin() + 20)},
        {"aiff SSND offset beyond the file", FormFile(Join({comm, AiffChunk("SSND", Join({BE(0x7FFFFFFF, 4), BE(0, 4), aiffSamples}))})), Ignore, {}, false, {BadSize}},
        {"aiff SSND offset beyond its chunk", FormFile(Join({comm, AiffChunk("SSND", Join({BE(0x82DF4DBB, 4), BE(0, 4), aiffSamples}))})), Ignore, {}, false, {BadSize}},
        {"raw at 1000 Hz", Pattern(10), Ignore, Raw(1000, 16, 1), false, {}},
        {"raw at 44100 Hz", Pattern(10), Ignore, Raw(44100, 16, 1), true, {}, 44100, 10, 0, Any, 0, 0, Pattern(10)},
        {"raw with a partial last frame", Pattern(5), Ignore, Raw(44100, 16, 1), true, {}, 44100, 5, 0, Any, 0, 0, Pattern(4)},
        {"raw, high byte first", Pattern(8), Ignore, Raw(8000, 16, 2, 1), true, {}, 8000, 8, 0, Any, 0, 0, Swapped(Pattern(8), 2)},
        {"raw with 4 bits", Pattern(8), Ignore, Raw(8000, 4, 1), false, {}},
        {"raw, dialog cancelled", Pattern(8), Ignore, std::nullopt, false, {}},
        // clang-format on
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TLoaded loaded = Load(c.file, c.choice, c.raw);
        EXPECT_EQ(loaded.opened, c.opens);
        EXPECT_EQ(loaded.reportLines, c.lines);
        EXPECT_LE(loaded.prompts.reports.size(), 1u);
        EXPECT_TRUE(loaded.prompts.errors.empty());
        if (!c.opens) {
            EXPECT_EQ(loaded.info.DataBytes, 0) << "a failed open leaves the records empty";
            continue;
        }
        const auto check = [](std::int32_t expected, std::int32_t actual, const char* what) {
            if (expected != Any) {
                EXPECT_EQ(actual, expected) << what;
            }
        };
        check(c.rate, loaded.info.SampleRate, "SampleRate");
        check(c.dataBytes, loaded.info.DataBytes, "DataBytes");
        check(c.dataOffset, loaded.dataOffset, "DataOffset");
        check(c.dataChunkPos, loaded.dataChunkPos, "DataChunkPos");
        check(c.fmtChunkPos, loaded.fmtChunkPos, "FmtChunkPos");
        check(c.trailerBytes, loaded.trailerBytes, "TrailerBytes");
        EXPECT_EQ(loaded.fileSize, static_cast<std::int32_t>(c.file.size()));
        if (!c.samples.empty()) {
            EXPECT_EQ(loaded.samples, c.samples);
        }
    }
}

TEST(RWAudioFile, FilesOf2GBOrMoreAreRefused) {
    const Bytes data = Pattern(40);
    struct Case {
        Bytes file;
        std::vector<std::string> reportLines; // a headerless file has no report
    };
    const Case cases[] = {{CanonicalWave(2, 44100, 16, data), {Unidentified}},
                          {CanonicalAiff(2, 16, 44100.0L, data), {Unidentified}},
                          {data, {}}};
    for (const Case& c : cases) {
        TScriptedPrompts prompts;
        prompts.rawAnswer = Raw(44100, 16, 2);
        TMemoryAudioFileSystem files;
        files.Put(SourceName, c.file);
        files.reportedSizes[SourceName] = std::int64_t{1} << 31;
        auto reader = CreateAudioFileByMagic(SourceName, prompts, files);
        EXPECT_FALSE(reader->Open(SourceName));
        EXPECT_EQ(reader->AudioInfo().DataBytes, 0);
        EXPECT_EQ(prompts.reports.empty() ? std::vector<std::string>{} : ReportLines(prompts.reports[0]),
                  c.reportLines);
    }
}

TEST(RWAudioFile, KeepsTheTrailingBytesOfAWave) {
    const Bytes list = RiffChunk("LIST", Pattern(18, 5));
    const TLoaded loaded = Load(
        RiffFile(Join({RiffChunk("fmt ", FmtPayload(1, 1, 8000, 16)), RiffChunk("data", Pattern(8)), list})));
    ASSERT_TRUE(loaded.opened);
    EXPECT_EQ(loaded.trailer, list);
}

TEST(RWAudioFile, HeaderReportTextAndLineOrder) {
    THeaderFlags all;
    all.ChunkIDsMissing = all.BadDataSize = all.NotPCM = all.BadChannels = all.BadRate = all.BadBits =
        all.Unidentified = true;
    EXPECT_EQ(HeaderReportText(all),
              "The file being opened cannot be read under the format pertaining to its\r"
              "header chunk ID. The following errors were detected...\r"
              "\r - Chunck ID's not found."
              "\r - Implausible value for signal data size."
              "\r - An encoding format other than linear PCM is used."
              "\r - Number of channels unsupported or not allowed."
              "\r - Sampling rate unsupported or not allowed."
              "\r - Bits per sample ratio unsupported or not allowed."
              "\r - An unidentified error occurred."
              "\r\rClick Abort to close the file, or Ignore to load the file as unformatted\rPCM data.");
    EXPECT_EQ(
        ShortWriteText(0, 1234),
        "0 signal data bytes out of 1234 saved.\rYou may wish to try saving again to a different drive.");
}

TEST(RWAudioFile, FactoriesChooseTheFormat) {
    TScriptedPrompts prompts;
    TMemoryAudioFileSystem files;
    files.Put("C:\\a\\riff", Text("RIFFxxxx"));
    files.Put("C:\\a\\form", Text("FORM"));
    files.Put("C:\\a\\other", Text("RIFX1234"));
    files.Put("C:\\a\\short", Text("RIF"));
    struct MagicCase {
        const char* name;
        const char* kind; // nullptr: no object
    };
    const MagicCase magic[] = {{"C:\\a\\riff", "riff"},
                               {"C:\\a\\form", "aiff"},
                               {"C:\\a\\other", "raw"},
                               {"C:\\a\\short", "raw"},
                               {"C:\\a\\missing", nullptr}};
    const auto kindOf = [](const TobjAudioFile* file) -> std::string {
        if (file == nullptr)
            return "none";
        if (dynamic_cast<const TobjRIFFWave*>(file))
            return "riff";
        if (dynamic_cast<const TobjAudioIntchg*>(file))
            return "aiff";
        return "raw";
    };
    for (const MagicCase& c : magic)
        EXPECT_EQ(kindOf(CreateAudioFileByMagic(c.name, prompts, files).get()), c.kind ? c.kind : "none")
            << c.name;

    const MagicCase extensions[] = {
        {"C:\\a\\b.wav", "riff"},  {"C:\\a\\b.WAV", "riff"},     {"C:\\a\\b.aif", "aiff"},
        {"C:\\a\\b.AIFF", "aiff"}, {"C:\\a\\b", "raw"},          {"C:\\a\\b.", "raw"},
        {"C:\\a\\b.pcm", "raw"},   {"C:\\a\\b.Raw", "raw"},      {"C:\\a\\b.mp3", nullptr},
        {"C:\\a.d\\b", "raw"},     {"C:\\a\\b.wav.txt", nullptr}};
    for (const MagicCase& c : extensions)
        EXPECT_EQ(kindOf(CreateAudioFileByExtension(c.name, prompts, files).get()), c.kind ? c.kind : "none")
            << c.name;
}

// ---- Writing

enum class Format { Wave, Aiff, Raw };

// The file the writer must produce, laid out from the header tables.
Bytes ExpectedFile(Format format, std::uint32_t channels, std::uint32_t rate, std::uint32_t bits,
                   const Bytes& samples, const Bytes& trailer = {}) {
    const std::uint32_t sampleBytes = (bits + 7) / 8;
    const auto n = static_cast<std::uint32_t>(samples.size());
    const Bytes pad(trailer.empty() ? n % 2 : 0, 0);
    switch (format) {
    case Format::Wave:
        return Join({Text("RIFF"), LE(36 + n + static_cast<std::uint32_t>(pad.size() + trailer.size()), 4),
                     Text("WAVE"), Text("fmt "), LE(16, 4), LE(1, 2), LE(channels, 2), LE(rate, 4),
                     LE(rate * channels * sampleBytes, 4), LE(channels * sampleBytes, 2), LE(bits, 2),
                     Text("data"), LE(n, 4), samples, trailer, pad});
    case Format::Aiff: {
        const Extended80Bytes rate80 = EncodeExtendedBE(rate);
        return Join({Text("FORM"), BE(46 + n + static_cast<std::uint32_t>(pad.size()), 4), Text("AIFF"),
                     Text("COMM"), BE(18, 4), BE(channels, 2), BE(n / (channels * sampleBytes), 4),
                     BE(bits, 2), Bytes(rate80.begin(), rate80.end()), Text("SSND"), BE(n + 8, 4), BE(0, 4),
                     BE(0, 4), Swapped(samples, sampleBytes), pad});
    }
    case Format::Raw:
        return samples;
    }
    return {};
}

const char* NameOf(Format format) {
    return format == Format::Wave   ? "C:\\out\\saved.wav"
           : format == Format::Aiff ? "C:\\out\\saved.aiff"
                                    : "C:\\out\\saved.raw";
}

TEST(RWAudioFile, WriteThenReadRoundTripsByteExact) {
    for (Format format : {Format::Wave, Format::Aiff, Format::Raw})
        for (std::int32_t bits : {8, 16, 24, 32})
            for (std::int32_t channels : {1, 2}) {
                const std::int32_t sampleBytes = bits / 8;
                const std::int32_t rate = 22050;
                const Bytes samples =
                    Pattern(static_cast<std::size_t>(7 * sampleBytes * channels), bits + channels);
                SCOPED_TRACE(std::string(NameOf(format)) + " " + std::to_string(bits) + " bits, " +
                             std::to_string(channels) + " channels");
                TScriptedPrompts prompts;
                TMemoryAudioFileSystem files;
                auto writer = CreateAudioFileByExtension(NameOf(format), prompts, files);
                ASSERT_NE(writer, nullptr);
                ASSERT_TRUE(writer->SaveToFile(NameOf(format), samples.data(),
                                               static_cast<std::int32_t>(samples.size()), 0, bits,
                                               sampleBytes, rate, channels, nullptr, false));
                EXPECT_EQ(files.Get(NameOf(format)), ExpectedFile(format, channels, rate, bits, samples));
                EXPECT_EQ(files.Names(), std::vector<std::string>{NameOf(format)})
                    << "no temporary file is left";
                EXPECT_EQ(writer->AudioInfo().Frames, 7);
                EXPECT_EQ(writer->FileIOData().TrailerBytes, 0);
                EXPECT_TRUE(prompts.errors.empty() && prompts.messages.empty());

                const TLoaded loaded = Load(files.Get(NameOf(format)), Ignore, Raw(rate, bits, channels));
                ASSERT_TRUE(loaded.opened);
                EXPECT_TRUE(loaded.prompts.reports.empty());
                EXPECT_EQ(loaded.samples, samples);
                EXPECT_EQ(loaded.info.SampleRate, rate);
                EXPECT_EQ(loaded.info.Channels, channels);
                EXPECT_EQ(loaded.info.BitsPerSample, bits);
            }
}

TEST(RWAudioFile, TrailerIsWrittenBackOnlyToWaveAndOnlyWhenItCameFromWave) {
    const Bytes samples = Pattern(16);
    const Bytes trailer = RiffChunk("LIST", Pattern(10, 3));
    struct Case {
        Format format;
        bool fromWave;
        bool written;
    };
    for (const Case c : {Case{Format::Wave, true, true}, Case{Format::Wave, false, false},
                         Case{Format::Aiff, true, false}, Case{Format::Raw, true, false}}) {
        SCOPED_TRACE(std::string(NameOf(c.format)) + (c.fromWave ? " from wave" : " from aiff"));
        TScriptedPrompts prompts;
        TMemoryAudioFileSystem files;
        auto writer = CreateAudioFileByExtension(NameOf(c.format), prompts, files);
        ASSERT_TRUE(writer->SaveToFile(NameOf(c.format), samples.data(), 16,
                                       static_cast<std::int32_t>(trailer.size()), 16, 2, 44100, 2,
                                       trailer.data(), c.fromWave));
        EXPECT_EQ(files.Get(NameOf(c.format)),
                  ExpectedFile(c.format, 2, 44100, 16, samples, c.written ? trailer : Bytes{}));
        EXPECT_EQ(writer->FileIOData().TrailerBytes,
                  c.written ? static_cast<std::int32_t>(trailer.size()) : 0);
    }
}

TEST(RWAudioFile, SavingOverALongerFileLeavesExactlyTheNewFile) {
    TScriptedPrompts prompts;
    TMemoryAudioFileSystem files;
    files.Put("C:\\out\\saved.wav", Pattern(100000));
    const Bytes samples = Pattern(64);
    auto writer = CreateAudioFileByExtension("C:\\out\\saved.wav", prompts, files);
    ASSERT_TRUE(
        writer->SaveToFile("C:\\out\\saved.wav", samples.data(), 64, 0, 16, 2, 44100, 2, nullptr, false));
    EXPECT_EQ(files.Get("C:\\out\\saved.wav"), ExpectedFile(Format::Wave, 2, 44100, 16, samples));
}

TEST(RWAudioFile, FailedSavesReportAndLeaveTheExistingFileAlone) {
    const std::string target = "C:\\out\\saved.wav";
    const Bytes original = Pattern(300, 9);
    const Bytes samples = Pattern(100);
    const std::string shortWrite0 = ShortWriteText(0, 100);
    struct Case {
        const char* name;
        bool failCreate;
        std::int64_t writeLimit;
        bool failReplace;
        std::vector<std::string> errors;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"target cannot be created", true, -1, false, {CouldNotOpenFileText}, {shortWrite0}},
        {"header cannot be written", false, 0, false, {UnableToWriteFormatText}, {shortWrite0}},
        {"data written in part", false, 44 + 10, false, {}, {ShortWriteText(10, 100)}},
        {"target cannot be replaced", false, -1, true, {CouldNotOpenFileText}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TScriptedPrompts prompts;
        TMemoryAudioFileSystem files;
        files.Put(target, original);
        files.failCreate = c.failCreate;
        files.writeLimit = c.writeLimit;
        files.failReplace = c.failReplace;
        auto writer = CreateAudioFileByExtension(target, prompts, files);
        EXPECT_FALSE(writer->SaveToFile(target, samples.data(), 100, 0, 16, 2, 44100, 2, nullptr, false));
        EXPECT_EQ(prompts.errors, c.errors);
        EXPECT_EQ(prompts.messages, c.messages);
        EXPECT_EQ(files.Get(target), original);
        EXPECT_EQ(files.Names(), std::vector<std::string>{target}) << "the temporary file is removed";
    }
}

TEST(RWAudioFile, SaveWithoutDataOrFolderFails) {
    TScriptedPrompts prompts;
    TMemoryAudioFileSystem files;
    const Bytes samples = Pattern(8);
    auto writer = CreateAudioFileByExtension("C:\\out\\a.wav", prompts, files);
    EXPECT_FALSE(writer->SaveToFile("C:\\out\\a.wav", nullptr, 8, 0, 16, 2, 44100, 1, nullptr, false));
    EXPECT_FALSE(writer->SaveToFile("C:\\out\\a.wav", samples.data(), 0, 0, 16, 2, 44100, 1, nullptr, false));
    EXPECT_TRUE(files.Names().empty());
    auto noFolder = CreateAudioFileByExtension("a.wav", prompts, files);
    EXPECT_FALSE(noFolder->SaveToFile("a.wav", samples.data(), 8, 0, 16, 2, 44100, 1, nullptr, false));
    EXPECT_TRUE(files.Names().empty());
}

TEST(RWAudioFile, LongTwentyFourBitAiffReadsTheSameInBlocksAsInOne) {
    // About 1.5 MB of 3-byte stereo samples: blocks of 524288 bytes are no multiple of the sample size.
    const Bytes data = Pattern(6 * 262145, 7);
    const Bytes file = CanonicalAiff(2, 24, 48000.0L, Swapped(data, 3));
    const TLoaded inBlocks = Load(file, Ignore, std::nullopt, TobjProcessData::MinMaxBlockBytes);
    const TLoaded inOne = Load(file, Ignore, std::nullopt, TobjProcessData::MaxMaxBlockBytes);
    ASSERT_TRUE(inBlocks.opened && inOne.opened);
    EXPECT_EQ(inBlocks.samples, data);
    EXPECT_EQ(inOne.samples, data);

    // Blocks that start and end inside a sample are read as the same bytes too.
    TScriptedPrompts prompts;
    TMemoryAudioFileSystem files;
    files.Put(SourceName, file);
    auto reader = CreateAudioFileByMagic(SourceName, prompts, files);
    ASSERT_TRUE(reader->Open(SourceName));
    Bytes odd(data.size());
    for (std::size_t at = 0; at < odd.size(); at += 100001) {
        const auto count = static_cast<std::int32_t>(std::min<std::size_t>(100001, odd.size() - at));
        ASSERT_EQ(reader->ReadBlock(odd.data() + at, count), count);
    }
    EXPECT_EQ(odd, data);
}

TEST(RWAudioFile, ReadBlockStopsAtTheDataEndAndZeroFills) {
    TScriptedPrompts prompts;
    TMemoryAudioFileSystem files;
    const Bytes data = Pattern(8);
    const Bytes trailer = RiffChunk("LIST", Pattern(6));
    files.Put(SourceName, RiffFile(Join({RiffChunk("fmt ", FmtPayload(1, 1, 8000, 16)),
                                         RiffChunk("data", data), trailer})));
    auto reader = CreateAudioFileByMagic(SourceName, prompts, files);
    ASSERT_TRUE(reader->Open(SourceName));
    Bytes buffer(20, 0xCD);
    EXPECT_EQ(reader->ReadBlock(buffer.data(), 6), 6);
    EXPECT_EQ(reader->ReadBlock(buffer.data() + 6, 14), 2) << "never past the data into the trailer";
    EXPECT_EQ(buffer, Join({data, Bytes(12, 0)}));
    EXPECT_EQ(reader->ReadBlock(buffer.data(), 4), 0);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 4), Bytes(4, 0));
    EXPECT_EQ(reader->ReadBlock(buffer.data(), -5), 0);
}

TEST(RWAudioFile, OpenReportsAFileThatCannotBeOpened) {
    TScriptedPrompts prompts;
    TMemoryAudioFileSystem files;
    TobjRIFFWave reader(prompts, files);
    EXPECT_FALSE(reader.Open("C:\\audio\\gone.wav"));
    EXPECT_EQ(prompts.errors, std::vector<std::string>{CouldNotOpenFileText});
    EXPECT_FALSE(reader.Open("no folder.wav"));
    EXPECT_EQ(prompts.errors.size(), 1u);
}

TEST(RWAudioFile, AbortClosesTheObject) {
    TScriptedPrompts prompts;
    prompts.reportChoice = Abort;
    TMemoryAudioFileSystem files;
    files.Put(SourceName, CanonicalWave(3, 44100, 16, Pattern(12)));
    auto reader = CreateAudioFileByMagic(SourceName, prompts, files);
    EXPECT_FALSE(reader->Open(SourceName));
    EXPECT_TRUE(reader->Aborted());
    EXPECT_FALSE(reader->OpenForRead());
    EXPECT_EQ(reader->FileIOData().FileSize, 0);
    Bytes buffer(4, 0xCD);
    EXPECT_EQ(reader->ReadBlock(buffer.data(), 4), 0);
}

} // namespace
} // namespace tarvola
