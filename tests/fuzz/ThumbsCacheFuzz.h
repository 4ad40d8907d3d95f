// The thumbnail cache fuzz check, shared by the libFuzzer target and the smoke test: arbitrary bytes read as
// a thumbnail cache file and as the central cache index. Nothing may crash, read outside the bytes, leak or
// allocate more than the bytes can hold. A file that loads must write back to a file that loads to the same
// entries and writes the same bytes again; a file that does not load leaves the cache empty. Every loaded
// thumbnail is decoded as painting would.
#pragma once

#include "explorer/ThumbsCache.h"
#include "explorer/ThumbsCacheList.h"

#include <cstdlib>
#include <map>

namespace tarvola::thumbsfuzz {

// Every picture exists except those whose name ends in "~", so that some entries are dropped on load.
class TFuzzFiles final : public IThumbsCacheFiles {
public:
    bool FileExists(const WideString& path) const override {
        return files.contains(path) || (!path.empty() && path.back() != u'~');
    }
    bool DirectoryExists(const WideString& path) const override { return path.size() % 2 == 0; }
    bool MakeDirectory(const WideString&) override { return true; }
    bool RemoveFile(const WideString& path) override { return files.erase(path) > 0; }
    std::optional<std::vector<std::uint8_t>> ReadWhole(const WideString& path) const override {
        const auto found = files.find(path);
        if (found == files.end())
            return std::nullopt;
        return found->second;
    }
    bool WriteWhole(const WideString& path, std::span<const std::uint8_t> bytes) override {
        files[path] = std::vector<std::uint8_t>(bytes.begin(), bytes.end());
        return true;
    }
    std::map<WideString, std::vector<std::uint8_t>> files;
};

inline void Check(bool condition) {
    if (!condition)
        std::abort();
}

inline void FuzzCache(TFuzzFiles& files) {
    TThumbsCache cache(files);
    const TThumbsCacheLoad result = cache.ReadFromFile(u"C:\\in.cache");
    if (result != TThumbsCacheLoad::Loaded) {
        Check(cache.Count() == 0 && !cache.Loaded);
        return;
    }
    const std::vector<std::uint8_t> written = cache.SaveToBytes();
    files.files[u"C:\\out.cache"] = written;
    TThumbsCache again(files);
    Check(again.ReadFromFile(u"C:\\out.cache") == TThumbsCacheLoad::Loaded);
    Check(again.Count() == cache.Count() && again.InvalidCount() == 0);
    Check(again.SaveToBytes() == written);

    TPixelImage bitmap;
    for (int i = 0; i < cache.Count(); ++i)
        if (cache.ReadBitmap(i, bitmap))
            Check(bitmap.Width > 0 &&
                  bitmap.Pixels.size() == static_cast<std::size_t>(bitmap.Width) * bitmap.Height);
    Check(cache.BufferCount() <= TThumbsCache::BufferSize);

    // Merging the file into a cache of its own, without the first entry.
    const TThumbsCacheItem* first = nullptr;
    if (cache.Read(0, first)) {
        TThumbsCache merged(files);
        merged.AddStream(u"C:\\own.bmp", 1, {}, false, 1, 1);
        Check(merged.MergeFromFile(u"C:\\out.cache", {first->FileName}) == TThumbsCacheLoad::Loaded);
        Check(merged.IndexOf(first->FileName) < 0 && merged.IndexOf(u"C:\\own.bmp") == 0);
    }
}

inline void FuzzIndex(TFuzzFiles& files) {
    TCacheList list(files);
    list.SetCentralFolder(u"C:\\Central");
    files.files[list.IndexPath()] = files.files.at(u"C:\\in.cache");
    list.Load();
    for (int i = 0; i < list.Count() && i < 8; ++i) {
        const WideString folder = TCacheList::FolderPart(list.Get(i));
        const WideString made = list.MakeCacheFileName(folder);
        Check(made.empty() || list.FindCacheFileName(folder) == made);
    }
    list.MakeCacheFileName(u"C:\\New\\Folder");
    Check(list.Save());
    list.DeleteAll();
    Check(list.Count() == 0);
}

// The whole check for one input: read as a cache file, then as the central index.
inline void FuzzThumbsCacheInput(std::span<const std::uint8_t> bytes) {
    TFuzzFiles files;
    files.files[u"C:\\in.cache"] = std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    FuzzCache(files);
    FuzzIndex(files);
}

} // namespace tarvola::thumbsfuzz
