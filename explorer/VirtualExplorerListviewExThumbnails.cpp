#include "explorer/VirtualExplorerListviewExThumbnails.h"

namespace tarvola {

TListThumbnailAdapter::TListThumbnailAdapter(const TPIDLManager& manager, const TThumbnailSettings& settings,
                                             std::function<void(int itemIndex)> repaint)
    : cache_(PlatformThumbsCacheFiles()), thumbnails_(manager, cache_, settings, std::move(repaint)) {
    cache_.ThumbWidth = settings.Width;
    cache_.ThumbHeight = settings.Height;
}

void TListThumbnailAdapter::RequestThumbnail(const TItemIDList& pidl, int index) {
    thumbnails_.RequestThumbnail(pidl, index);
}

std::optional<std::uintptr_t> TListThumbnailAdapter::Thumbnail(const TItemIDList& pidl) {
    return thumbnails_.Thumbnail(pidl);
}

} // namespace tarvola
