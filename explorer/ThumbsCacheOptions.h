// TThumbsCacheOptions: where the list view keeps its thumbnail cache on disk (one file per browsed folder,
// or one per folder in a central folder indexed by "CacheList.txt"), and loading and saving it as the view
// browses. The view answers what only it knows through IThumbsCacheHost.
#pragma once

#include "explorer/ThumbsCache.h"
#include "explorer/ThumbsCacheList.h"

namespace tarvola {

enum class TThumbsCacheStorage { tcsCentral, tcsPerFolder };
enum class TThumbsCacheProcessing { tcpAscending, tcpDescending };

// What the cache options need of the list view.
class IThumbsCacheHost {
public:
    virtual ~IThumbsCacheHost() = default;
    // The view's handler may load the cache itself and answer false; true loads it as usual.
    virtual bool DoThumbsCacheLoad(TThumbsCache& cache, const WideString& fileName,
                                   TWideStringList& comments) = 0;
    // False keeps the file from being written.
    virtual bool DoThumbsCacheSave(TThumbsCache& cache, const WideString& fileName,
                                   TWideStringList& comments) = 0;
    // The parse names of the items whose thumbnails are requested or made: a load does not replace them.
    virtual std::vector<WideString> ThumbnailNamesInUse() const = 0;
    // The size thumbnails are made at; a cache of another size is not loaded.
    virtual TThumbSize ThumbnailSize() const = 0;
    // Whether the view shows the browsed folder.
    virtual bool RootIsBrowsedFolder() const = 0;
    // Forgets the view's thumbnails and makes them again.
    virtual void RebuildThumbnails() = 0;
};

class TThumbsCacheOptions {
public:
    TThumbsCacheOptions(IThumbsCacheHost& host, IThumbsCacheFiles& files,
                        const TWideTextServices& text = PlatformText());
    // Saves the cache with AutoSave; the host must still be there.
    ~TThumbsCacheOptions();
    TThumbsCacheOptions(const TThumbsCacheOptions&) = delete;
    TThumbsCacheOptions& operator=(const TThumbsCacheOptions&) = delete;

    bool AutoSave = false;
    bool AutoLoad = false;
    TThumbsCacheStorage StorageType = TThumbsCacheStorage::tcsCentral;
    WideString DefaultFilename = u"Thumbnails.Cache";
    TThumbsCacheProcessing CacheProcessing = TThumbsCacheProcessing::tcpDescending;

    bool Compressed() const { return compressed_; }
    // A change clears the folder's thumbnails and makes them again.
    void SetCompressed(bool compressed);
    const WideString& CentralFolder() const { return cacheList_.CentralFolder(); }
    // Also loads the central folder's index.
    void SetCentralFolder(const WideString& folder);
    const WideString& BrowsingFolder() const { return browsingFolder_; }
    // Also the cache's folder.
    void SetBrowsingFolder(const WideString& folder);

    TThumbsCache& ThumbsCache() { return cache_; }
    TCacheList& CacheList() { return cacheList_; }

    // The browsed folder's cache file; empty when it has none.
    WideString CacheFileName() const;
    // Takes the browsed folder's cache file into the cache, leaving the view's thumbnails (unless skipMerge).
    void LoadCache(bool skipMerge = false);
    // Writes a cache with entries for a folder that exists; false when nothing was written.
    bool SaveCache();
    // Only while the view shows the browsed folder: empties the cache (deleting its files too with
    // deleteFiles) and has the view make its thumbnails again.
    void ClearCache(bool deleteFiles);

private:
    WideString PerFolderFileName() const;

    IThumbsCacheHost& host_;
    IThumbsCacheFiles& files_;
    TThumbsCache cache_;
    TCacheList cacheList_;
    WideString browsingFolder_;
    bool compressed_ = false;
};

} // namespace tarvola
