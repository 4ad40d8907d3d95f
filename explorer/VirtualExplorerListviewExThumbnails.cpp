#include "explorer/VirtualExplorerListviewExThumbnails.h"

#include "shell/VirtualSysImages.h"

#include <string>

namespace tarvola {

namespace {

// The smallest the list's icons may be: an image list of no pixels is refused.
int AtLeastOne(int value) {
    return value < 1 ? 1 : value;
}

} // namespace

TThumbnailItemPaint ThumbnailItemPlaces(const TThumbsOptions& options, const RECT& iconRect) {
    const TThumbSpacing box = options.BoxSize();
    TThumbnailItemPaint places;
    places.Bounds = CenteredRect(iconRect, box.Width, box.Height);
    places.ImageRect = places.Bounds;
    if (options.Details) {
        places.ImageRect.bottom -= options.DetailsHeight;
        places.DetailsRect = places.Bounds;
        places.DetailsRect.top = places.ImageRect.bottom;
    }
    return places;
}

WideString DetailsWithPictureSize(const WideString& details, int width, int height) {
    if (width <= 0 || height <= 0)
        return details;
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    // An empty text stands for three empty lines.
    return WideString(size.begin(), size.end()) + (details.empty() ? WideString(u"\r\r") : details);
}

// ---- the options

TListThumbnailOptions::TListThumbnailOptions() : cacheOptions_(*this, PlatformThumbsCacheFiles()) {
    Cache().ThumbWidth = Options.Width;
    Cache().ThumbHeight = Options.Height;
}

TListThumbnailOptions::~TListThumbnailOptions() {
    // Saved here, while this host is whole, rather than by the cache options as they go.
    if (!cacheOptions_.AutoSave)
        return;
    cacheOptions_.AutoSave = false;
    try {
        cacheOptions_.SaveCache();
    } catch (...) {
        // Nothing may leave a destructor; the thumbnails can be made again.
    }
}

TThumbnailSettings TListThumbnailOptions::ThreadSettings() const {
    return Options.ThreadSettings(cacheOptions_.Compressed(), GetSysColor(COLOR_WINDOW));
}

void TListThumbnailOptions::FolderChanged(const WideString& folder) {
    if (store_ != nullptr)
        store_->ItemsGone();
    if (cacheOptions_.AutoSave) {
        cacheOptions_.SaveCache();
        Cache().Clear();
    }
    cacheOptions_.SetBrowsingFolder(folder);
    Cache().ThumbWidth = Options.Width;
    Cache().ThumbHeight = Options.Height;
    if (cacheOptions_.AutoLoad && !folder.empty())
        cacheOptions_.LoadCache();
}

std::vector<WideString> TListThumbnailOptions::ThumbnailNamesInUse() const {
    return store_ != nullptr ? store_->Thumbnails().PathsInUse() : std::vector<WideString>();
}

void TListThumbnailOptions::RebuildThumbnails() {
    if (store_ != nullptr)
        store_->OptionsChanged();
}

// ---- the adapter

TListThumbnailAdapter::TListThumbnailAdapter(const TPIDLManager& manager, TListThumbnailOptions& options,
                                             std::function<void(int itemIndex)> repaint)
    : options_(options), repaint_(std::move(repaint)),
      thumbnails_(manager, options.Cache(), options.ThreadSettings(), repaint_) {
    options_.Attach(this);
}

TListThumbnailAdapter::~TListThumbnailAdapter() {
    options_.Attach(nullptr);
    if (images_ != nullptr)
        ImageList_Destroy(images_);
}

void TListThumbnailAdapter::RequestThumbnail(const TItemIDList& pidl, int index) {
    TListThumbnailOptions& options = options_;
    thumbnails_.ServeInOrder = options.Options.LoadAllAtOnce ||
                               options.CacheOptions().CacheProcessing == TThumbsCacheProcessing::tcpAscending;
    thumbnails_.RequestThumbnail(pidl, index);
}

std::optional<std::uintptr_t> TListThumbnailAdapter::Thumbnail(const TItemIDList& pidl) {
    return thumbnails_.Thumbnail(pidl);
}

void TListThumbnailAdapter::OptionsChanged() {
    thumbnails_.ResetThumbnails(options_.ThreadSettings());
    if (repaint_)
        repaint_(-1);
}

HIMAGELIST TListThumbnailAdapter::ThumbnailImages() {
    const TThumbSpacing size = options_.Options.ImageListSize();
    if (images_ != nullptr && size == imagesSize_)
        return images_;
    // The list may still hold the old one until it takes this: it goes after.
    const HIMAGELIST old = images_;
    images_ = ImageList_Create(AtLeastOne(size.Width), AtLeastOne(size.Height), ILC_COLOR32, 0, 1);
    imagesSize_ = size;
    if (old != nullptr)
        ImageList_Destroy(old);
    return images_;
}

bool TListThumbnailAdapter::ThumbnailSpacing(int& width, int& height) const {
    TThumbSpacing spacing;
    if (!options_.Options.IconSpacing(spacing))
        return false;
    width = spacing.Width;
    height = spacing.Height;
    return true;
}

void TListThumbnailAdapter::PaintItem(HDC dc, const TItemIDList& pidl, const TShadowThumbnailItem& item) {
    const TThumbsOptions& options = options_.Options;
    TThumbnailItemPaint paint = ThumbnailItemPlaces(options, item.IconRect);
    paint.State = thumbnails_.State(pidl);
    paint.CacheIndex = thumbnails_.CacheIndex(pidl);
    paint.Selected = item.Selected;
    paint.Focused = item.Focused;
    paint.ListFocused = item.ListFocused;
    paint.Background = item.Background;
    paint.SelectionColor = GetSysColor(item.ListFocused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
    if (options.Details)
        paint.Details = DetailsOf(item, paint);
    const bool drawn =
        PaintThumbnailItem(dc, options, Cache(), paint,
                           [&](HDC target, const RECT& imageRect) { DrawIcon(target, imageRect, item); });
    if (drawn && options.ShowSmallIcon)
        DrawSmallIcon(dc, paint.ImageRect, item.SmallImage);
    // A damaged cache entry drew nothing: the thread makes it again rather than leaving the item blank.
    if (!drawn && paint.State == tsDone)
        thumbnails_.RemakeThumbnail(pidl);
}

WideString TListThumbnailAdapter::DetailsOf(const TShadowThumbnailItem& item,
                                            const TThumbnailItemPaint& paint) const {
    WideString text = item.DetailsText ? item.DetailsText() : WideString();
    const TThumbsCacheItem* cached = nullptr;
    if (paint.State != tsDone || !options_.Cache().Read(paint.CacheIndex, cached) ||
        cached->ImageWidth <= 0 || cached->ImageHeight <= 0)
        return text;
    return DetailsWithPictureSize(text, cached->ImageWidth, cached->ImageHeight);
}

void TListThumbnailAdapter::DrawIcon(HDC dc, const RECT& imageRect, const TShadowThumbnailItem& item) const {
    const TThumbsOptions& options = options_.Options;
    const bool extraLarge = options.ShowXLIcons && options.Width >= 48 && options.Height >= 48;
    const HIMAGELIST images = (extraLarge ? ExtraLargeSysImages() : LargeSysImages()).Handle();
    int width = 0;
    int height = 0;
    if (images == nullptr || item.LargeImage < 0 || !ImageList_GetIconSize(images, &width, &height))
        return;
    const RECT at = CenteredRect(imageRect, width, height);
    const bool blend = item.Selected && item.ListFocused && !options.BorderOnFiles;
    ImageList_DrawEx(images, item.LargeImage, dc, at.left, at.top, 0, 0, CLR_NONE,
                     blend ? CLR_DEFAULT : CLR_NONE, ILD_TRANSPARENT | (blend ? ILD_BLEND50 : 0));
}

// In the picture's top right corner, 2 pixels in from its edges: which kind of file the picture is.
void TListThumbnailAdapter::DrawSmallIcon(HDC dc, const RECT& imageRect, int image) const {
    const HIMAGELIST images = SmallSysImages().Handle();
    int width = 0;
    int height = 0;
    if (images == nullptr || image < 0 || !ImageList_GetIconSize(images, &width, &height))
        return;
    ImageList_Draw(images, image, dc, imageRect.right - 2 - width, imageRect.top + 2, ILD_TRANSPARENT);
}

} // namespace tarvola
