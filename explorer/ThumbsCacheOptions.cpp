#include "explorer/ThumbsCacheOptions.h"

#include "shell/VirtualUtilities.h"

namespace tarvola {

TThumbsCacheOptions::TThumbsCacheOptions(IThumbsCacheHost& host, IThumbsCacheFiles& files,
                                         const TWideTextServices& text)
    : host_(host), files_(files), cache_(files, text), cacheList_(files, text) {}

TThumbsCacheOptions::~TThumbsCacheOptions() {
    if (!AutoSave)
        return;
    try {
        SaveCache();
    } catch (...) {
        // Nothing may leave a destructor; the cache can be made again.
    }
}

void TThumbsCacheOptions::SetCompressed(bool compressed) {
    if (compressed == compressed_)
        return;
    compressed_ = compressed;
    ClearCache(false);
}

void TThumbsCacheOptions::SetCentralFolder(const WideString& folder) {
    cacheList_.SetCentralFolder(folder);
    cacheList_.Load();
}

void TThumbsCacheOptions::SetBrowsingFolder(const WideString& folder) {
    browsingFolder_ = folder;
    cache_.Folder = folder;
}

WideString TThumbsCacheOptions::PerFolderFileName() const {
    if (DefaultFilename.empty() || browsingFolder_.empty())
        return {};
    return WideIncludeTrailingBackslash(browsingFolder_) + DefaultFilename;
}

WideString TThumbsCacheOptions::CacheFileName() const {
    return StorageType == TThumbsCacheStorage::tcsCentral ? cacheList_.FindCacheFileName(browsingFolder_)
                                                          : PerFolderFileName();
}

void TThumbsCacheOptions::LoadCache(bool skipMerge) {
    const WideString fileName = CacheFileName();
    if (fileName.empty())
        return;
    if (!host_.DoThumbsCacheLoad(cache_, fileName, cache_.Comments)) {
        cache_.Loaded = true;
        return;
    }
    if (!files_.FileExists(fileName))
        return;
    const std::vector<WideString> inUse = skipMerge ? std::vector<WideString>() : host_.ThumbnailNamesInUse();
    cache_.MergeFromFile(fileName, inUse, host_.ThumbnailSize());
    cache_.Folder = browsingFolder_;
}

bool TThumbsCacheOptions::SaveCache() {
    if (cache_.Count() == 0 || !files_.DirectoryExists(browsingFolder_))
        return false;
    const TThumbSize size = host_.ThumbnailSize();
    cache_.ThumbWidth = size.Width;
    cache_.ThumbHeight = size.Height;
    cache_.Folder = browsingFolder_;
    if (StorageType == TThumbsCacheStorage::tcsPerFolder) {
        const WideString fileName = PerFolderFileName();
        return !fileName.empty() && host_.DoThumbsCacheSave(cache_, fileName, cache_.Comments) &&
               cache_.WriteToFile(fileName);
    }
    const WideString central = cacheList_.CentralFolder();
    // A central folder that cannot be made disables saving.
    if (central.empty() || (!files_.DirectoryExists(central) && !files_.MakeDirectory(central)))
        return false;
    const WideString fileName = cacheList_.MakeCacheFileName(browsingFolder_);
    const bool written =
        host_.DoThumbsCacheSave(cache_, fileName, cache_.Comments) && cache_.WriteToFile(fileName);
    cacheList_.Save();
    return written;
}

void TThumbsCacheOptions::ClearCache(bool deleteFiles) {
    if (!host_.RootIsBrowsedFolder())
        return;
    if (deleteFiles) {
        if (StorageType == TThumbsCacheStorage::tcsCentral)
            cacheList_.DeleteAll();
        else if (const WideString fileName = PerFolderFileName(); !fileName.empty())
            files_.RemoveFile(fileName);
    }
    cache_.Clear();
    cache_.Folder = browsingFolder_;
    host_.RebuildThumbnails();
}

} // namespace tarvola
