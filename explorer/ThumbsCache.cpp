#include "explorer/ThumbsCache.h"

#include "audio/Streams.h"
#include "base/ByteOrder.h"
#include "base/Numerics.h"
#include "explorer/BitmapFile.h"
#include "explorer/JpegCodec.h"

#include <algorithm>
#include <bit>
#include <unordered_set>

namespace tarvola {

namespace {

constexpr int kJpegQuality = 60;
// The fewest bytes an entry takes: four empty texts, the date, the sizes, the flag and an empty thumbnail.
constexpr std::size_t kSmallestEntry = 4 + 4 + 8 + 4 + 4 + 4 + 4 + 4 + 4;

// A count, length or name the file cannot hold.
struct TDamagedFile {};

// Fields read from a cache file's bytes; each is checked against the bytes left before anything is taken.
class TCacheReader {
public:
    explicit TCacheReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Left() const { return bytes_.size() - position_; }

    std::int32_t Int32() { return GetLE<std::int32_t>(Take(4)); }
    double Double() { return std::bit_cast<double>(GetLE<std::uint64_t>(Take(8))); }

    WideString Wide() {
        const std::int32_t length = Int32();
        if (length < 0 || static_cast<std::uint64_t>(length) * 2 > Left())
            throw TDamagedFile{};
        const std::uint8_t* units = Take(static_cast<std::size_t>(length) * 2);
        WideString text(static_cast<std::size_t>(length), u'\0');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<char16_t>(GetLE<std::uint16_t>(units + 2 * i));
        return text;
    }

    // A size below 1 holds nothing.
    std::vector<std::uint8_t> Stream() {
        const std::int32_t size = Int32();
        if (size < 1)
            return {};
        if (static_cast<std::size_t>(size) > Left())
            throw TDamagedFile{};
        const std::uint8_t* data = Take(static_cast<std::size_t>(size));
        return std::vector<std::uint8_t>(data, data + size);
    }

    std::span<const std::uint8_t> Rest() {
        const std::span<const std::uint8_t> rest = bytes_.subspan(position_);
        position_ = bytes_.size();
        return rest;
    }

private:
    const std::uint8_t* Take(std::size_t count) {
        if (count > Left())
            throw TDamagedFile{};
        const std::uint8_t* at = bytes_.data() + position_;
        position_ += count;
        return at;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

class TCacheWriter {
public:
    void Int32(std::int32_t value) {
        std::uint8_t field[4];
        PutLE<std::int32_t>(field, value);
        bytes_.insert(bytes_.end(), field, field + 4);
    }
    void Double(double value) {
        std::uint8_t field[8];
        PutLE<std::uint64_t>(field, std::bit_cast<std::uint64_t>(value));
        bytes_.insert(bytes_.end(), field, field + 8);
    }
    void Wide(const WideString& text) {
        Int32(CheckedCast<std::int32_t>(text.size()));
        for (const char16_t unit : text) {
            bytes_.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            bytes_.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
    }
    void Stream(const std::vector<std::uint8_t>& data) {
        Int32(CheckedCast<std::int32_t>(data.size()));
        Raw(data);
    }
    void Raw(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

TThumbsCacheItem ReadItem(TCacheReader& reader) {
    TThumbsCacheItem item;
    item.ItemVersion = reader.Wide();
    item.FileName = reader.Wide();
    item.FileDate = reader.Double();
    item.ImageWidth = reader.Int32();
    item.ImageHeight = reader.Int32();
    item.Text1 = reader.Wide();
    item.Text2 = reader.Wide();
    item.Compressed = reader.Int32() != 0;
    item.Thumbnail = reader.Stream();
    return item;
}

void WriteItem(TCacheWriter& writer, const TThumbsCacheItem& item) {
    writer.Wide(item.ItemVersion);
    writer.Wide(item.FileName);
    writer.Double(item.FileDate);
    writer.Int32(item.ImageWidth);
    writer.Int32(item.ImageHeight);
    writer.Wide(item.Text1);
    writer.Wide(item.Text2);
    writer.Int32(item.Compressed ? 1 : 0);
    writer.Stream(item.Thumbnail);
}

// What a cache file holds, read completely before any of it is taken.
struct TCacheFileContent {
    WideString Folder;
    TThumbSize Size;
    std::vector<TThumbsCacheItem> Items;
    std::span<const std::uint8_t> Comments;
};

TThumbsCacheLoad ReadContent(std::span<const std::uint8_t> bytes, std::optional<TThumbSize> expected,
                             TCacheFileContent& content) {
    try {
        TCacheReader reader(bytes);
        content.Folder = reader.Wide();
        const std::int32_t count = reader.Int32();
        if (reader.Int32() != TThumbsCache::GetVersion())
            return TThumbsCacheLoad::Foreign;
        content.Size.Width = reader.Int32();
        content.Size.Height = reader.Int32();
        if (expected && (expected->Width != content.Size.Width || expected->Height != content.Size.Height))
            return TThumbsCacheLoad::Foreign;
        if (count < 0 || static_cast<std::size_t>(count) > reader.Left() / kSmallestEntry)
            return TThumbsCacheLoad::Damaged;
        content.Items.reserve(static_cast<std::size_t>(count));
        for (std::int32_t i = 0; i < count; ++i)
            content.Items.push_back(ReadItem(reader));
        content.Comments = reader.Rest();
    } catch (const TDamagedFile&) {
        return TThumbsCacheLoad::Damaged;
    }
    return TThumbsCacheLoad::Loaded;
}

TPixelImage DecodeThumbnail(const TThumbsCacheItem& item) {
    return item.Compressed ? DecodeJpeg(item.Thumbnail) : DecodeBmp(item.Thumbnail);
}

} // namespace

TThumbsCache::TThumbsCache(IThumbsCacheFiles& files, const TWideTextServices& text)
    : Comments(text), files_(files), text_(text) {}

WideString TThumbsCache::KeyOf(const WideString& fileName) const {
    return text_.LowerCase(fileName);
}

int TThumbsCache::IndexOf(const WideString& fileName) const {
    const auto found = index_.find(KeyOf(fileName));
    return found == index_.end() ? -1 : found->second;
}

bool TThumbsCache::Read(int index, const TThumbsCacheItem*& item) const {
    if (index < 0 || index >= Count())
        return false;
    item = &items_[static_cast<std::size_t>(index)];
    return true;
}

int TThumbsCache::Add(const WideString& fileName, TThumbsCacheItem item) {
    item.FileName = fileName;
    const std::int64_t size = static_cast<std::int64_t>(item.Thumbnail.size());
    const WideString key = KeyOf(fileName);
    const auto found = index_.find(key);
    if (found != index_.end()) {
        TThumbsCacheItem& old = items_[static_cast<std::size_t>(found->second)];
        totalStreamSize_ = CheckedSub(totalStreamSize_, static_cast<std::int64_t>(old.Thumbnail.size()));
        old = std::move(item);
        // The buffered bitmap shows the old thumbnail.
        DropBuffered(key);
        totalStreamSize_ = CheckedAdd(totalStreamSize_, size);
        return found->second;
    }
    const int index = Count();
    items_.push_back(std::move(item));
    index_.emplace(key, index);
    totalStreamSize_ = CheckedAdd(totalStreamSize_, size);
    return index;
}

int TThumbsCache::AddThumbnail(const WideString& fileName, double fileDate, const TPixelImage& bitmap,
                               bool compressed, std::int32_t imageWidth, std::int32_t imageHeight) {
    return AddStream(fileName, fileDate, compressed ? EncodeJpeg(bitmap, kJpegQuality) : EncodeBmp(bitmap),
                     compressed, imageWidth, imageHeight);
}

int TThumbsCache::AddStream(const WideString& fileName, double fileDate, std::vector<std::uint8_t> thumbnail,
                            bool compressed, std::int32_t imageWidth, std::int32_t imageHeight) {
    TThumbsCacheItem item;
    item.ItemVersion = GetItemVersion();
    item.FileDate = fileDate;
    item.ImageWidth = imageWidth;
    item.ImageHeight = imageHeight;
    item.Compressed = compressed;
    item.Thumbnail = std::move(thumbnail);
    return Add(fileName, std::move(item));
}

void TThumbsCache::DropBuffered(const WideString& key) {
    const auto found = buffered_.find(key);
    if (found == buffered_.end())
        return;
    buffer_.erase(found->second);
    buffered_.erase(found);
}

// Runs while the list paints: a thumbnail that does not decode answers false (nothing is drawn) instead of
// raising on every repaint, and is marked so that the view makes it again.
bool TThumbsCache::ReadBitmap(int index, TPixelImage& bitmap) {
    if (index < 0 || index >= Count())
        return false;
    TThumbsCacheItem& item = items_[static_cast<std::size_t>(index)];
    if (item.Thumbnail.empty() || item.Damaged)
        return false;
    const WideString key = KeyOf(item.FileName);
    const auto found = buffered_.find(key);
    if (found != buffered_.end()) {
        buffer_.splice(buffer_.begin(), buffer_, found->second);
        bitmap = found->second->Bitmap;
        return true;
    }
    try {
        bitmap = DecodeThumbnail(item);
    } catch (const std::exception&) {
        item.Damaged = true;
        return false;
    }
    buffer_.push_front(TBuffered{key, bitmap});
    buffered_[key] = buffer_.begin();
    // The least recently drawn go first, so a bitmap just read is never the one dropped.
    while (buffer_.size() > static_cast<std::size_t>(BufferSize)) {
        buffered_.erase(buffer_.back().Key);
        buffer_.pop_back();
    }
    return true;
}

void TThumbsCache::Clear() {
    items_.clear();
    index_.clear();
    buffer_.clear();
    buffered_.clear();
    Comments.Clear();
    Version = GetVersion();
    Loaded = false;
    Folder.clear();
    totalStreamSize_ = 0;
    invalidCount_ = 0;
    ThumbWidth = 0;
    ThumbHeight = 0;
}

TThumbsCacheLoad TThumbsCache::ReadFromFile(const WideString& fileName, std::optional<TThumbSize> expected) {
    Clear();
    const std::optional<std::vector<std::uint8_t>> bytes = files_.ReadWhole(fileName);
    if (!bytes)
        return TThumbsCacheLoad::Missing;
    return Parse(*bytes, expected);
}

TThumbsCacheLoad TThumbsCache::Parse(std::span<const std::uint8_t> bytes,
                                     std::optional<TThumbSize> expected) {
    TCacheFileContent content;
    const TThumbsCacheLoad result = ReadContent(bytes, expected, content);
    if (result != TThumbsCacheLoad::Loaded)
        return result;
    Folder = content.Folder;
    ThumbWidth = content.Size.Width;
    ThumbHeight = content.Size.Height;
    int invalid = 0;
    for (TThumbsCacheItem& item : content.Items) {
        if (item.FileName.empty() || IndexOf(item.FileName) >= 0) {
            ++invalid; // the first entry for a path is kept
            continue;
        }
        // The picture was deleted since.
        if (!files_.FileExists(item.FileName))
            continue;
        const WideString name = item.FileName;
        Add(name, std::move(item));
    }
    invalidCount_ = invalid;
    TMemoryStream comments;
    comments.WriteBuffer(content.Comments.data(), static_cast<std::int64_t>(content.Comments.size()));
    comments.SetPosition(0);
    Comments.LoadFromStream(comments);
    Loaded = true;
    return TThumbsCacheLoad::Loaded;
}

TThumbsCacheLoad TThumbsCache::MergeFromFile(const WideString& fileName,
                                             const std::vector<WideString>& exclude,
                                             std::optional<TThumbSize> expected) {
    if (exclude.empty())
        return ReadFromFile(fileName, expected);
    TThumbsCache other(files_, text_);
    const TThumbsCacheLoad result = other.ReadFromFile(fileName, expected);
    if (result != TThumbsCacheLoad::Loaded)
        return result;
    std::unordered_set<WideString> excluded;
    for (const WideString& name : exclude)
        excluded.insert(KeyOf(name));
    for (TThumbsCacheItem& item : other.items_) {
        if (excluded.contains(KeyOf(item.FileName)))
            continue;
        const WideString name = item.FileName;
        Add(name, std::move(item));
    }
    invalidCount_ = other.invalidCount_;
    Loaded = true;
    return result;
}

std::vector<std::uint8_t> TThumbsCache::SaveToBytes() const {
    // The entries go out in name order through a permutation: the live order stays, as the view keeps
    // indexes into it.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (!items_[i].FileName.empty() && !items_[i].Damaged)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return text_.CompareText(items_[a].FileName, items_[b].FileName) < 0;
    });
    TCacheWriter writer;
    writer.Wide(Folder);
    writer.Int32(CheckedCast<std::int32_t>(order.size()));
    writer.Int32(GetVersion());
    writer.Int32(ThumbWidth);
    writer.Int32(ThumbHeight);
    for (const std::size_t i : order)
        WriteItem(writer, items_[i]);
    TMemoryStream comments;
    Comments.SaveToStream(comments);
    writer.Raw(std::span<const std::uint8_t>(comments.Memory(), static_cast<std::size_t>(comments.Size())));
    return writer.Take();
}

bool TThumbsCache::WriteToFile(const WideString& fileName) const {
    const std::vector<std::uint8_t> bytes = SaveToBytes();
    return files_.WriteWhole(fileName, bytes);
}

} // namespace tarvola
