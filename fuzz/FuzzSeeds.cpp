// Writes the seed corpora of the fuzz targets from files the program's own code writes, so that a run
// starts past the files' first checks. tests/fuzz/run.sh builds and runs it before the targets.
//
// Usage: FuzzSeeds FOLDER   (makes FOLDER/<target>.seeds/ for every target)
//
//   KernelStateFuzz     state images: the defaults, both kernels emptied, a few records of every kind with
//                       moved views, and a full left channel (10,240 records)
//   RiffWaveReaderFuzz  RIFF WAVE files of 8, 16, 24 and 32 bits, mono and stereo, and one with a trailer
//   AiffReaderFuzz      the same as AIFF
//   RawReaderFuzz       the same as headerless files, after the four bytes that answer the raw dialog
//   ItemIDListFuzz      stored lists of item identifier lists: empty, one desktop list, nested paths
//   NodeStreamFuzz      node streams of a nested tree with user data and captions, whole and as one node
//                       chunk, an empty tree, and a version-1 stream (after the target's selector byte)
//   ExplorerStateFuzz   the explorer's saved state: an empty view manager, a snapshot, a named view with
//                       node storage and user data, a storage tree, with and without version words
//   ThumbsCacheFuzz     thumbnail cache files: empty, BMP and JPEG thumbnails with comments, and an index
#include "audio/RWAudioFile.h"
#include "explorer/ThumbsCache.h"
#include "explorer/ThumbsCacheList.h"
#include "kernel/KernelStateFile.h"
#include "shell/VirtualPIDLTools.h"
#include "tests/fuzz/ExplorerStateFuzz.h"
#include "tests/explorer/ThumbsTestFiles.h"
#include "tests/support/MemoryAudioFileSystem.h"
#include "tests/tree/NodeStreamTestSupport.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace tarvola;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

void WriteSeed(const fs::path& folder, const std::string& name, const Bytes& bytes) {
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + (folder / name).string());
}

// The image the program writes for a model after it has read one: the reader recomputes the views and
// statistics, as a loaded preset has them.
Bytes AsWritten(const KernelModel& model) {
    KernelModel loaded;
    loaded.ResetToDefaults();
    if (!ReadKernelState(WriteKernelState(model), loaded))
        throw std::logic_error("a written state does not read back");
    return WriteKernelState(loaded);
}

TImpulseRec Record(std::int32_t impulse, long double value, TSourceKind kind) {
    TImpulseRec rec;
    rec.Impulse = impulse;
    rec.Value = value;
    rec.Kind = kind;
    return rec;
}

void KernelStateSeeds(const fs::path& folder) {
    KernelModel model;
    model.ResetToDefaults();
    WriteSeed(folder, "defaults.ker", AsWritten(model));

    model.LeftKernel.LoadRecords({});
    model.RightKernel.LoadRecords({});
    WriteSeed(folder, "empty.ker", AsWritten(model));

    model.ResetToDefaults();
    model.LeftKernel.LoadRecords({Record(-30, 0.25L, TSourceKind::Input), Record(0, 1.0L, TSourceKind::Input),
                                  Record(7, -0.5L, TSourceKind::Output),
                                  Record(441, 0.125L, TSourceKind::Pass)});
    model.RightKernel.LoadRecords({Record(0, 0.75L, TSourceKind::Input), Record(3, 0.3L, TSourceKind::Output),
                                   Record(2000, -1.5L, TSourceKind::Input)});
    model.ViewNumber = 3;
    for (TViewBounds& view : model.ViewsOf(1)) {
        view.LowImpulse += 200;
        view.HighImpulse += 200;
    }
    WriteSeed(folder, "few.ker", AsWritten(model));

    model.ResetToDefaults();
    std::vector<TImpulseRec> full;
    for (std::int32_t i = 0; i < kMaxKernelRecords; ++i)
        full.push_back(Record(i * 3 - 5000, (i % 7 - 3) * 0.0625L,
                              i * 3 - 5000 >= 1 && i % 5 == 0 ? TSourceKind::Output : TSourceKind::Input));
    model.LeftKernel.LoadRecords(full);
    WriteSeed(folder, "fullchannel.ker", AsWritten(model));
}

// A little of a sine-like pattern in every byte of every sample.
Bytes Samples(std::int32_t frames, std::int32_t channels, std::int32_t bytesPerSample) {
    Bytes samples;
    for (std::int32_t i = 0; i < frames * channels * bytesPerSample; ++i)
        samples.push_back(static_cast<std::uint8_t>(i * 37 + (i / bytesPerSample) * 11));
    return samples;
}

struct AudioSeed {
    std::string name;
    Bytes bytes;
    std::int32_t bits, channels;
};

// The file the program writes under that name (its extension chooses the writer).
Bytes Written(const std::string& extension, std::int32_t bits, std::int32_t channels, const Bytes& trailer) {
    audiotest::TMemoryAudioFileSystem files;
    audiotest::TScriptedPrompts prompts;
    const std::string name = "C:\\seeds\\seed" + extension;
    const std::int32_t bytesPerSample = (bits + 7) / 8;
    prompts.rawAnswer = TRawPCMParams{bits, 8000, channels, bytesPerSample, 0};
    const Bytes samples = Samples(24, channels, bytesPerSample);
    std::unique_ptr<TobjAudioFile> writer = CreateAudioFileByExtension(name, prompts, files);
    if (!writer || !writer->SaveToFile(name, samples.data(), static_cast<std::int32_t>(samples.size()),
                                       static_cast<std::int32_t>(trailer.size()), bits, bytesPerSample, 8000,
                                       channels, trailer.empty() ? nullptr : trailer.data(), true))
        throw std::runtime_error("the program did not write " + name);
    return files.Get(name);
}

void AudioSeeds(const fs::path& root) {
    for (const std::int32_t bits : {8, 16, 24, 32}) {
        for (const std::int32_t channels : {1, 2}) {
            const std::string stem =
                "written" + std::to_string(bits) + "bit" + std::to_string(channels) + "ch";
            WriteSeed(root / "RiffWaveReaderFuzz.seeds", stem + ".wav", Written(".wav", bits, channels, {}));
            WriteSeed(root / "AiffReaderFuzz.seeds", stem + ".aiff", Written(".aiff", bits, channels, {}));
            // The raw target takes its dialog's answer from the first four bytes: rate 1 + 4 * 1999 = 7997,
            // the bits, the channels and the byte order.
            Bytes raw = {0x07, 0xCF, static_cast<std::uint8_t>(bits - 1),
                         static_cast<std::uint8_t>(channels - 1)};
            const Bytes samples = Written(".pcm", bits, channels, {});
            raw.insert(raw.end(), samples.begin(), samples.end());
            WriteSeed(root / "RawReaderFuzz.seeds", stem + ".raw", raw);
        }
    }
    // A chunk after the data, which the program keeps when it saves a RIFF WAVE file again.
    const Bytes list = {'L', 'I', 'S', 'T', 12, 0, 0, 0, 'I', 'N', 'F', 'O', 'I', 'C', 'M', 'T', 0, 0, 0, 0};
    WriteSeed(root / "RiffWaveReaderFuzz.seeds", "written16bit2ch-trailer.wav", Written(".wav", 16, 2, list));
}

} // namespace

// One item identifier list of items named by texts (each item: its size, then the text's bytes).
TItemIDList PathList(const std::vector<std::string>& names) {
    Bytes bytes;
    for (const std::string& name : names) {
        const std::size_t size = name.size() + 2;
        bytes.push_back(static_cast<std::uint8_t>(size & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(size >> 8));
        bytes.insert(bytes.end(), name.begin(), name.end());
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return TItemIDList::FromBytes(bytes);
}

// Stored lists as TPIDLList writes them.
void ItemIDListSeeds(const fs::path& folder) {
    const std::vector<std::vector<std::vector<std::string>>> lists = {
        {}, {{}}, {{"C:\\"}}, {{"C:\\", "User", "Presets"}, {"C:\\", "User"}, {"D:\\", "a.ker"}}};
    int index = 0;
    for (const auto& paths : lists) {
        TPIDLManager manager(MallocAllocator());
        TPIDLList list(manager);
        for (const auto& path : paths)
            list.CopyAdd(PathList(path).Data());
        TMemoryStream stream;
        list.SaveToStream(stream);
        const std::uint8_t* memory = stream.Memory();
        WriteSeed(folder, "list" + std::to_string(index++), Bytes(memory, memory + stream.Size()));
    }
}

// Node streams as the tree writes them, each behind the target's selector byte (bit 0: multi-selection,
// bit 1: an expanded node, bit 2: one node chunk read into a node, bits 3 and 4: its version).
void NodeStreamSeeds(const fs::path& folder) {
    using namespace tarvola::test;
    CaptionTree tree;
    BuildFixture(tree);
    tree.SetCaption(tree.GetFirstNoInit(), L"Presets");
    tree.SetCaption(tree.GetFirstNoInit()->LastChild, L"Hall \u00e4");
    TMemoryStream whole;
    tree.SaveToStream(whole);
    TMemoryStream node;
    tree.WriteNode(node, tree.GetFirstNoInit());
    CaptionTree empty;
    TMemoryStream none;
    empty.SaveToStream(none);
    const Bytes old =
        Join({StreamHeader(1),
              NodeChunkOf({Chunk(BaseChunk, Base1(1, 18, 0x80 | nsExpanded,
                                                  NodeChunkOf({Chunk(BaseChunk, Base1(0, 18, 0))})))}),
              NodeChunkOf({Chunk(BaseChunk, Base1(0, 20, 0))})});
    WriteSeed(folder, "whole", Join({Bytes{0}, Content(whole)}));
    WriteSeed(folder, "whole-multi", Join({Bytes{1 | 2}, Content(whole)}));
    WriteSeed(folder, "node", Join({Bytes{4 | 16}, Content(node)}));
    WriteSeed(folder, "empty", Join({Bytes{0}, Content(none)}));
    WriteSeed(folder, "version1", Join({Bytes{1}, old}));
}

// The explorer's saved state, from its own writer.
void ExplorerStateSeeds(const fs::path& folder) {
    for (const auto& [name, bytes] : tarvola::fuzz::ExplorerStateSeeds())
        WriteSeed(folder, name, bytes);
}

// Cache files as the thumbnail cache writes them, and a central index (the target reads its input as both).
void ThumbsCacheSeeds(const fs::path& folder) {
    thumbstest::TMemoryCacheFiles files;
    TThumbsCache cache(files);
    cache.Folder = u"C:\\Pictures\\";
    cache.ThumbWidth = 120;
    cache.ThumbHeight = 120;
    WriteSeed(folder, "empty.cache", cache.SaveToBytes());

    TPixelImage picture{12, 9, {}};
    for (int i = 0; i < 12 * 9; ++i)
        picture.Pixels.push_back(static_cast<std::uint32_t>(i * 0x020406));
    cache.AddThumbnail(u"C:\\Pictures\\a.bmp", 45000.25, picture, false, 120, 90);
    cache.AddThumbnail(u"C:\\Pictures\\B.jpg", 45001.5, picture, true, 1600, 1200);
    cache.AddStream(u"C:\\Pictures\\none.emf", 45002, {}, false, 0, 0);
    cache.Comments.Add(u"made by the seeds");
    WriteSeed(folder, "two.cache", cache.SaveToBytes());

    TCacheList list(files);
    list.SetCentralFolder(u"C:\\Central");
    for (const char16_t* path : {u"C:\\Pictures", u"D:\\", u"E:\\x=y\\Pictures", u"C:\\ab=c"})
        list.MakeCacheFileName(path);
    TMemoryStream index;
    list.SaveToStream(index);
    const std::uint8_t* memory = index.Memory();
    WriteSeed(folder, "CacheList.txt", Bytes(memory, memory + index.Size()));
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: FuzzSeeds FOLDER\n");
        return 2;
    }
    try {
        const fs::path root = argv[1];
        KernelStateSeeds(root / "KernelStateFuzz.seeds");
        AudioSeeds(root);
        ItemIDListSeeds(root / "ItemIDListFuzz.seeds");
        NodeStreamSeeds(root / "NodeStreamFuzz.seeds");
        ExplorerStateSeeds(root / "ExplorerStateFuzz.seeds");
        ThumbsCacheSeeds(root / "ThumbsCacheFuzz.seeds");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "FuzzSeeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
