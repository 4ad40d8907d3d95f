// The extended list's thumbnail style fed by the thumbnail thread: the list's thumbnail source port over a
// TListThumbnails with a cache of its own. The list control makes one the first time the thumbnail style
// is entered and tells it when its items go. Windows only.
#pragma once

#include "explorer/ThumbsListStoreWin32.h"
#include "explorer/VirtualExplorerListviewExPorts.h"

#include <functional>

namespace tarvola {

class TListThumbnailAdapter final : public IListThumbnailSource {
public:
    // repaint is called with the index of an item whose thumbnail arrived (or failed).
    TListThumbnailAdapter(const TPIDLManager& manager, const TThumbnailSettings& settings,
                          std::function<void(int itemIndex)> repaint);
    TListThumbnailAdapter(const TListThumbnailAdapter&) = delete;
    TListThumbnailAdapter& operator=(const TListThumbnailAdapter&) = delete;

    // --- IListThumbnailSource
    void RequestThumbnail(const TItemIDList& pidl, int index) override;
    std::optional<std::uintptr_t> Thumbnail(const TItemIDList& pidl) override;

    // The list's items went: their outstanding requests are withdrawn.
    void ItemsGone() { thumbnails_.ForgetItems(); }
    TListThumbnails& Thumbnails() { return thumbnails_; }
    TThumbsCache& Cache() { return cache_; }

private:
    TThumbsCache cache_;
    TListThumbnails thumbnails_; // after the cache it fills
};

} // namespace tarvola
