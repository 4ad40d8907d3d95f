#include "kernel/KernelStateFile.h"

#include "base/ByteOrder.h"
#include "base/Numerics.h"
#include "audio/SafeFile.h"
#include "audio/Streams.h"
#include "audio/TextOperations.h"
#include "base/WholeFile.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <system_error>

namespace tarvola {

namespace {

constexpr std::array<std::uint8_t, 4> kTag = {'V', 'E', 'R', '1'};

// ---- Writing

// Fills an image of known size from the front.
class Writer {
public:
    explicit Writer(std::size_t size) : bytes_(size) {}

    void Put(const std::uint8_t* bytes, std::size_t size) {
        std::copy_n(bytes, size, bytes_.begin() + static_cast<std::ptrdiff_t>(position_));
        position_ += size;
    }
    template <std::size_t N>
    void Put(const std::array<std::uint8_t, N>& bytes) {
        Put(bytes.data(), N);
    }
    void Int32(std::int32_t value) {
        std::array<std::uint8_t, 4> bytes{};
        PutLE(bytes.data(), value);
        Put(bytes);
    }
    void Stats(TChannelStats stats, const TobjHistData& kernel) {
        stats.Count = kernel.Count();
        Put(EncodeChannelStats(stats));
    }
    void Views(const TViewArray& views) {
        for (const TViewBounds& view : views)
            Put(EncodeViewBounds(view));
    }
    void Records(const TobjHistData& kernel) {
        for (std::int32_t i = 0; i < kernel.Count(); ++i)
            Put(kernel.RecordBytes(i), kImpulseRecSize);
    }
    std::vector<std::uint8_t> Image() && { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// ---- Reading

// A cursor over the image; the fixed fields are known to be there before it is used.
class Reader {
public:
    Reader(const std::vector<std::uint8_t>& bytes, std::size_t position)
        : bytes_(bytes), position_(position) {}

    const std::uint8_t* Take(std::size_t size) {
        const std::uint8_t* at = bytes_.data() + position_;
        position_ += size;
        return at;
    }
    std::int32_t Int32() { return GetLE<std::int32_t>(Take(4)); }
    TViewArray Views() {
        TViewArray views;
        for (TViewBounds& view : views)
            view = DecodeViewBounds(Take(kViewBoundsSize));
        return views;
    }
    std::size_t WholeRecordsLeft() const { return (bytes_.size() - position_) / kImpulseRecSize; }

    // Up to Count records, as many as are there in whole, made into a sound kernel.
    std::vector<TImpulseRec> Kernel(std::int32_t count) {
        const std::size_t wanted = static_cast<std::size_t>(std::clamp(count, 0, kMaxKernelRecords));
        const std::size_t n = std::min(wanted, WholeRecordsLeft());
        std::vector<TImpulseRec> records;
        records.reserve(n);
        for (std::size_t i = 0; i < n; ++i) {
            const TImpulseRec rec = DecodeImpulseRec(Take(kImpulseRecSize));
            if (ImpulseInDomain(rec.Impulse))
                records.push_back(rec);
        }
        std::stable_sort(records.begin(), records.end(),
                         [](const TImpulseRec& a, const TImpulseRec& b) { return a.Impulse < b.Impulse; });
        records.erase(
            std::unique(records.begin(), records.end(),
                        [](const TImpulseRec& a, const TImpulseRec& b) { return a.Impulse == b.Impulse; }),
            records.end());
        return records;
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t position_;
};

struct ChannelImage {
    TChannelStats stats;
    TViewArray views;
    TViewBounds editor;
    std::vector<TImpulseRec> records;
};

bool IsSoundSpan(const TViewBounds& b) {
    const std::int64_t width = std::int64_t{b.HighImpulse} - b.LowImpulse + 1;
    return ImpulseInDomain(b.LowImpulse) && ImpulseInDomain(b.HighImpulse) && width == b.Width &&
           width >= 1 && width <= kMaxColumns;
}

void RepairSpans(ChannelImage& channel) {
    for (TViewBounds& view : channel.views) {
        if (!IsSoundSpan(view))
            view = KernelModel::DefaultViewBounds();
    }
    if (!IsSoundSpan(channel.editor))
        channel.editor = KernelModel::DefaultEditorBounds();
}

// Every index and position follows from the kernel and the spans; the statistics' count and impulse-zero
// index from the kernel. Lowest and Highest (informational) keep what they reached unless that is
// impossible; then they are taken from the kernel.
void Recompute(KernelModel& model, std::int32_t channel) {
    TobjHistData& kernel = model.KernelOf(channel);
    TViewArray& views = model.ViewsOf(channel);
    const std::int32_t viewLow = views[static_cast<std::size_t>(model.ViewNumber - 1)].LowImpulse;
    for (TViewBounds& view : views)
        KernelModel::RecomputeBoundsFor(kernel, viewLow, view, -1);
    KernelModel::RecomputeBoundsFor(kernel, viewLow, model.EditorBoundsOf(channel), -1);

    TChannelStats& s = model.StatsOf(channel);
    s.Count = kernel.Count();
    if (!ImpulseInDomain(s.Lowest) || !ImpulseInDomain(s.Highest) || s.Lowest > s.Highest) {
        s.Lowest = kernel.Count() > 0 ? std::min(0, kernel.Impulse(0)) : 0;
        s.Highest = kernel.Count() > 0 ? std::max(0, kernel.Impulse(kernel.LastIndex())) : 0;
    }
    if (!ImpulseInDomain(s.ZeroColumn))
        s.ZeroColumn = 1 - s.Lowest;
    s.ZeroIndex = kernel.Find(0, 0, TFindMode::Exact);
}

std::string PresetFileText(const std::string& fileName) {
    return PresetTitle(fileName) + ".ker";
}

} // namespace

// ---- The layout

std::vector<std::uint8_t> WriteKernelState(const KernelModel& model) {
    const std::size_t records =
        static_cast<std::size_t>(model.LeftKernel.Count() + model.RightKernel.Count());
    Writer out(kKernelStateFixedSize + kImpulseRecSize * records);
    out.Put(kTag);
    out.Stats(model.LeftStats, model.LeftKernel);
    out.Stats(model.RightStats, model.RightKernel);
    out.Views(model.LeftViews);
    out.Views(model.RightViews);
    out.Int32(model.ViewNumber);
    out.Put(EncodeViewBounds(model.LeftEditorBounds));
    out.Put(EncodeViewBounds(model.RightEditorBounds));
    out.Records(model.LeftKernel);
    out.Records(model.RightKernel);
    return std::move(out).Image();
}

bool ReadKernelState(const std::vector<std::uint8_t>& bytes, KernelModel& model) {
    const bool tagged = bytes.size() >= kTag.size() && std::equal(kTag.begin(), kTag.end(), bytes.begin());
    const std::size_t start = tagged ? kTag.size() : 0;
    if (bytes.size() < start + kKernelStateFixedSize - kTag.size())
        return false;

    Reader reader(bytes, start);
    ChannelImage left, right;
    left.stats = DecodeChannelStats(reader.Take(kChannelStatsSize));
    right.stats = DecodeChannelStats(reader.Take(kChannelStatsSize));
    left.views = reader.Views();
    right.views = reader.Views();
    std::int32_t viewNumber = reader.Int32();
    left.editor = DecodeViewBounds(reader.Take(kViewBoundsSize));
    right.editor = DecodeViewBounds(reader.Take(kViewBoundsSize));
    left.records = reader.Kernel(left.stats.Count);
    right.records = reader.Kernel(right.stats.Count);

    if (viewNumber < 1 || viewNumber > kViewCount)
        viewNumber = 1;
    RepairSpans(left);
    RepairSpans(right);

    model.ViewNumber = viewNumber;
    for (std::int32_t channel = 1; channel <= 2; ++channel) {
        ChannelImage& image = channel == 1 ? left : right;
        model.KernelOf(channel).LoadRecords(image.records);
        model.ViewsOf(channel) = image.views;
        model.EditorBoundsOf(channel) = image.editor;
        model.StatsOf(channel) = image.stats;
        Recompute(model, channel);
    }
    return true;
}

// ---- The state file

bool LoadStateFile(KernelModel& model, const std::string& statePath) {
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = ReadWholeFile(statePath);
    } catch (const FileError&) {
        // an unreadable state file is no worse than a missing one: the kernel starts from its defaults
    }
    const bool loaded = bytes && ReadKernelState(*bytes, model);
    const TViewBounds& editor = *model.CurrentEditorBounds;
    model.SelectImpulses(editor.LowImpulse, editor.HighImpulse, false);
    return loaded;
}

void SaveStateFile(const KernelModel& model, const std::string& statePath) {
    const std::vector<std::uint8_t> bytes = WriteKernelState(model);
    SaveFileWhole(statePath, [&](TStream& stream) {
        stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    });
}

// ---- Presets

std::string PresetPath(const std::string& currentFolder, const std::string& name) {
    if (!IsUsableFileName(name) || name.size() > kMaxPresetNameLength)
        throw PresetNameError("\"" + name + "\" cannot be the name of a preset.");
    return currentFolder + name + ".ker";
}

std::string PresetTitle(const std::string& fileName) {
    const std::size_t separator = fileName.find_last_of(std::string("\\") + kPathSeparator);
    const std::string last = separator == std::string::npos ? fileName : fileName.substr(separator + 1);
    return last.substr(0, last.find('.'));
}

TPresetLoadResult LoadPresetFile(KernelModel& model, const std::string& fileName) {
    TPresetLoadResult result;
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = ReadWholeFile(fileName);
        if (!bytes) {
            result.Message = "The preset data file, " + PresetFileText(fileName) + ", does not exist.";
            return result;
        }
    } catch (const FileError&) {
    }
    if (!bytes || !ReadKernelState(*bytes, model)) {
        result.Message = "The preset data file, " + PresetFileText(fileName) + ", cannot be read.";
        return result;
    }
    const TViewBounds& editor = *model.CurrentEditorBounds;
    model.SelectImpulses(editor.LowImpulse, editor.HighImpulse, false);
    result.Loaded = true;
    result.Caption = "Kernel: " + PresetTitle(fileName);
    return result;
}

bool SavePresetFile(const KernelModel& model, const std::string& currentFolder, const std::string& name) {
    const std::string path = PresetPath(currentFolder, name);
    std::error_code error;
    if (std::filesystem::exists(path, error) || error)
        return false;
    SaveStateFile(model, path);
    return true;
}

bool DeletePresetFile(const std::string& currentFolder, const std::string& name) {
    const std::string path = PresetPath(currentFolder, name);
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && std::filesystem::remove(path, error);
}

} // namespace tarvola
