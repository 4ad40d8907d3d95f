// The thumbnail cache: the thumbnails of a browsed folder's pictures in memory, kept by the pictures' full
// paths, with a small buffer of decoded bitmaps for painting, stored as one cache file.
//
// The file (all little-endian; a wide string is an Int32 count of UTF-16 units and the units, a stream an
// Int32 size and the bytes): the folder, the entry count, the version 11, the thumbnail width and height,
// the entries in case-insensitive name order, then the comments as a UTF-16 text to the end. An entry: its
// version "1.4", the picture's path, its date (a binary64 date-time), the picture's width and height, two
// texts, a compressed flag (Int32 0/1) and the thumbnail (a BMP file image, or JPEG data when compressed).
//
// A file is read whole and every count, length and name is checked against the bytes left, so a damaged or
// foreign file never allocates more than it holds; such a file loads as an empty cache rather than part of
// one. A file is written whole or not at all.
#pragma once

#include "explorer/PixelImage.h"
#include "shell/VirtualWideStringList.h"
#include "shell/VirtualWideStrings.h"

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace tarvola {

// What the cache and its index need of the file system, so they are built and tested apart from it.
class IThumbsCacheFiles {
public:
    virtual ~IThumbsCacheFiles() = default;
    virtual bool FileExists(const WideString& path) const = 0;
    virtual bool DirectoryExists(const WideString& path) const = 0;
    // False when the folder cannot be made.
    virtual bool MakeDirectory(const WideString& path) = 0;
    // False when the file is not there or cannot be removed.
    virtual bool RemoveFile(const WideString& path) = 0;
    // The file's bytes; nothing when it is missing or cannot be read.
    virtual std::optional<std::vector<std::uint8_t>> ReadWhole(const WideString& path) const = 0;
    // Writes the file whole or leaves the old one as it was; false when it cannot.
    virtual bool WriteWhole(const WideString& path, std::span<const std::uint8_t> bytes) = 0;
};

// The platform's files (Windows only).
IThumbsCacheFiles& PlatformThumbsCacheFiles();

// One cache entry.
struct TThumbsCacheItem {
    WideString ItemVersion = u"1.4";
    WideString FileName; // the picture's full path: the entry's key
    double FileDate = 0; // the picture's last-write date-time when the thumbnail was made
    std::int32_t ImageWidth = 0;
    std::int32_t ImageHeight = 0;
    WideString Text1;
    WideString Text2;
    bool Compressed = false;             // the thumbnail is JPEG data rather than a BMP file image
    std::vector<std::uint8_t> Thumbnail; // empty: no picture
    // In memory only: the thumbnail did not decode, so the entry is to be made again (and is not written).
    bool Damaged = false;
};

// How a read of a cache file went.
enum class TThumbsCacheLoad {
    Loaded,
    Missing, // no such file, or it cannot be read
    Foreign, // another version, or thumbnails of another size
    Damaged, // a count, length or name the file cannot hold
};

struct TThumbSize {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

class TThumbsCache {
public:
    static constexpr std::int32_t GetVersion() { return 11; }
    static WideString GetItemVersion() { return u"1.4"; }
    // Decoded bitmaps kept for painting.
    static constexpr int BufferSize = 50;
    // Thumbnails of pictures larger than this in both directions may be stored as JPEG.
    static constexpr int CompressAbove = 200;

    explicit TThumbsCache(IThumbsCacheFiles& files, const TWideTextServices& text = PlatformText());
    TThumbsCache(const TThumbsCache&) = delete;
    TThumbsCache& operator=(const TThumbsCache&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    // The entry for the path (compared case-insensitively), or -1.
    int IndexOf(const WideString& fileName) const;
    // The entry at index; false outside the range.
    bool Read(int index, const TThumbsCacheItem*& item) const;

    // Adds the entry under fileName; an entry already there for that path is replaced in place, keeping its
    // index. Answers the index.
    int Add(const WideString& fileName, TThumbsCacheItem item);
    // A new entry for the bitmap: a BMP file image, re-encoded as JPEG of quality 60 when compressed.
    int AddThumbnail(const WideString& fileName, double fileDate, const TPixelImage& bitmap, bool compressed,
                     std::int32_t imageWidth, std::int32_t imageHeight);
    // The same from a ready thumbnail.
    int AddStream(const WideString& fileName, double fileDate, std::vector<std::uint8_t> thumbnail,
                  bool compressed, std::int32_t imageWidth, std::int32_t imageHeight);

    // The entry's thumbnail decoded, from the buffer when it is there. False without an entry or picture,
    // and for a thumbnail that does not decode: that entry is marked Damaged, to be made again.
    bool ReadBitmap(int index, TPixelImage& bitmap);
    int BufferCount() const { return static_cast<int>(buffer_.size()); }
    bool IsBuffered(const WideString& fileName) const { return buffered_.contains(KeyOf(fileName)); }

    void Clear();

    // Replaces the cache with the file's. With an expected size, a file of thumbnails of another size is
    // foreign. Anything but Loaded leaves the cache empty and not loaded.
    TThumbsCacheLoad ReadFromFile(const WideString& fileName, std::optional<TThumbSize> expected = {});
    // Takes the file's entries whose paths are not in exclude (compared case-insensitively) into this cache,
    // leaving its comments. With nothing to exclude, ReadFromFile. A file that does not load leaves this
    // cache as it was.
    TThumbsCacheLoad MergeFromFile(const WideString& fileName, const std::vector<WideString>& exclude,
                                   std::optional<TThumbSize> expected = {});
    // The file image of the cache, and writing it whole (false when it cannot be written).
    std::vector<std::uint8_t> SaveToBytes() const;
    bool WriteToFile(const WideString& fileName) const;

    WideString Folder;
    bool Loaded = false;
    std::int32_t Version = GetVersion();
    std::int32_t ThumbWidth = 0;
    std::int32_t ThumbHeight = 0;
    TWideStringList Comments;

    // The bytes of all thumbnails.
    std::int64_t TotalStreamSize() const { return totalStreamSize_; }
    // Entries of the last read that could not be taken (no path, or a path already read).
    int InvalidCount() const { return invalidCount_; }

private:
    struct TBuffered {
        WideString Key;
        TPixelImage Bitmap;
    };

    WideString KeyOf(const WideString& fileName) const;
    TThumbsCacheLoad Parse(std::span<const std::uint8_t> bytes, std::optional<TThumbSize> expected);
    void DropBuffered(const WideString& key);

    IThumbsCacheFiles& files_;
    const TWideTextServices& text_;
    std::vector<TThumbsCacheItem> items_;
    std::unordered_map<WideString, int> index_; // lower-cased path -> entry
    // Most recently read first.
    std::list<TBuffered> buffer_;
    std::unordered_map<WideString, std::list<TBuffered>::iterator> buffered_;
    std::int64_t totalStreamSize_ = 0;
    int invalidCount_ = 0;
};

} // namespace tarvola
