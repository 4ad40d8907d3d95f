// The thumbnails of a list's items, as the list's thumbnail style asks for them: a request per item
// (repeating it changes nothing) and the bitmap of a made thumbnail. A thumbnail comes from the cache when it
// holds the item's file, else from the thumbnail thread, whose results go into the cache with the file's
// last-write date; the list is told which item to repaint. A cached thumbnail of a file written since is
// shown once and made again, its entry replaced in place. The list adapts this to its thumbnail source
// port. Win32 only.
#pragma once

#include "explorer/ThumbsCache.h"
#include "explorer/ThumbsThreadWin32.h"
#include "forms/UtilityWindow.h"

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace tarvola {

class TListThumbnails {
public:
    using TRepaint = std::function<void(int itemIndex)>;

    TListThumbnails(const TPIDLManager& manager, TThumbsCache& cache, const TThumbnailSettings& settings,
                    TRepaint repaint);
    // Withdraws the requests, releases what was posted and frees the bitmaps.
    ~TListThumbnails();
    TListThumbnails(const TListThumbnails&) = delete;
    TListThumbnails& operator=(const TListThumbnails&) = delete;

    // Asks for the thumbnail of the item (an absolute list) shown at itemIndex.
    void RequestThumbnail(const TItemIDList& pidl, int itemIndex);
    // The made thumbnail's bitmap (an HBITMAP the store keeps), or nothing.
    std::optional<std::uintptr_t> Thumbnail(const TItemIDList& pidl);
    // A made thumbnail whose cache entry cannot be read is as good as missing: it is asked of the thread
    // again, its entry replaced when it comes. Answers whether a request went out.
    bool RemakeThumbnail(const TItemIDList& pidl);
    // tsNone for an item never asked for.
    std::uint8_t State(const TItemIDList& pidl) const;
    // The item's cache entry, or -1.
    int CacheIndex(const TItemIDList& pidl) const;
    // The paths of the items whose thumbnails are requested or made.
    std::vector<WideString> PathsInUse() const;
    // Forgets every thumbnail and request; the next requests are made with the settings.
    void ResetThumbnails(const TThumbnailSettings& settings);
    // The list's items went (another folder shows): their requests are withdrawn and what was posted is
    // released; the cache keeps the thumbnails made so far.
    void ForgetItems();

    TThumbnailRequests& Requests() { return requests_; }

    // New requests are served after the ones before them, rather than newest first.
    bool ServeInOrder = false;

private:
    struct TEntry {
        WideString Path;
        std::uint8_t State = tsNone;
        int CacheIndex = -1;
        int ItemIndex = -1;
        HBITMAP Bitmap = nullptr;
        bool Replacing = false; // the cached thumbnail is shown while it is made again
    };

    // From the cache when it holds the file; false when the thread is to make it.
    bool TakeFromCache(TEntry& entry);
    void Queue(const TItemIDList& pidl, TEntry& entry);
    void Received(TImageThreadItem* item);
    void FreeBitmaps();

    TThumbsCache& cache_;
    TRepaint repaint_;
    TThumbnailRequests requests_;
    std::map<std::string, TEntry> entries_; // by the item's list bytes; nodes stay put
    TUtilityWindow window_;
};

} // namespace tarvola
