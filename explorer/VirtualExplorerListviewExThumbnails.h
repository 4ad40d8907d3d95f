// The extended list's thumbnail style fed by the thumbnail thread. The list owns its thumbnail options,
// cache options and cache (TListThumbnailOptions) from the start; the first time the thumbnail style is
// entered it makes a TListThumbnailAdapter over them: the list's thumbnail source port over a
// TListThumbnails, and the painter of the shadow list's items in that style (their boxes at the options'
// size, the pictures from the cache, borders and icons). Windows only.
#pragma once

#include "explorer/ThumbsCacheOptions.h"
#include "explorer/ThumbsDrawWin32.h"
#include "explorer/ThumbsListStoreWin32.h"
#include "explorer/ThumbsOptions.h"
#include "explorer/VirtualExplorerListviewExPorts.h"

#include <commctrl.h>

#include <functional>

namespace tarvola {

class TListThumbnailAdapter;

// What the shadow list knows of an item it draws in the thumbnail style.
struct TShadowThumbnailItem {
    RECT IconRect{}; // the list's icon rectangle of the item
    int LargeImage = -1;
    int SmallImage = -1;
    bool Selected = false;
    bool Focused = false;
    bool ListFocused = false;
    COLORREF Background = RGB(255, 255, 255);
    // The item's size and date as lines ("\r" between them) for the details under its thumbnail; asked
    // for only when the options show details.
    std::function<WideString()> DetailsText;
};

// The thumbnail style's look as the shadow list asks for it (a thumbnail source may offer it too).
class IListThumbnailPainter {
public:
    virtual ~IListThumbnailPainter() = default;
    // The large image list of the style: empty, of the size that makes the list's icon rectangles the
    // thumbnails' boxes.
    virtual HIMAGELIST ThumbnailImages() = 0;
    // The distance between items; false leaves the list's own.
    virtual bool ThumbnailSpacing(int& width, int& height) const = 0;
    virtual void PaintItem(HDC dc, const TItemIDList& pidl, const TShadowThumbnailItem& item) = 0;
};

// The places of an item's parts: the box of the options' size centred in the icon rectangle, the border
// round it, the picture's place inside it above the details, and the details' place.
TThumbnailItemPaint ThumbnailItemPlaces(const TThumbsOptions& options, const RECT& iconRect);

// The details under a thumbnail, whose lines are the picture's size, the file's size and its date: the
// item's text comes with the first line empty, and gets the source picture's "WxH" when it is known.
WideString DetailsWithPictureSize(const WideString& details, int width, int height);

// The list's thumbnail options and the cache options with their cache. The cache file of the folder shown
// is written when the list leaves it (AutoSave) and read when it enters it (AutoLoad).
class TListThumbnailOptions final : public IThumbsCacheHost {
public:
    TListThumbnailOptions();
    // Saves with AutoSave.
    ~TListThumbnailOptions() override;
    TListThumbnailOptions(const TListThumbnailOptions&) = delete;
    TListThumbnailOptions& operator=(const TListThumbnailOptions&) = delete;

    TThumbsOptions Options;
    TThumbsCacheOptions& CacheOptions() { return cacheOptions_; }
    TThumbsCache& Cache() { return cacheOptions_.ThumbsCache(); }
    // What the thumbnail thread copies.
    TThumbnailSettings ThreadSettings() const;

    // The list shows the folder now (empty: none in the file system). With AutoSave the old folder's
    // thumbnails are written to its cache file first and then leave the cache, so that each file holds
    // its own folder's; with AutoLoad the new folder's file is read.
    void FolderChanged(const WideString& folder);
    // The store that makes the thumbnails, once the style was entered (nullptr: none).
    void Attach(TListThumbnailAdapter* store) { store_ = store; }

    // --- IThumbsCacheHost
    bool DoThumbsCacheLoad(TThumbsCache&, const WideString&, TWideStringList&) override { return true; }
    bool DoThumbsCacheSave(TThumbsCache&, const WideString&, TWideStringList&) override { return true; }
    std::vector<WideString> ThumbnailNamesInUse() const override;
    TThumbSize ThumbnailSize() const override { return {Options.Width, Options.Height}; }
    bool RootIsBrowsedFolder() const override { return true; }
    void RebuildThumbnails() override;

private:
    TThumbsCacheOptions cacheOptions_;
    TListThumbnailAdapter* store_ = nullptr;
};

class TListThumbnailAdapter final : public IListThumbnailSource, public IListThumbnailPainter {
public:
    // repaint is called with the index of an item whose thumbnail arrived (or failed), and with -1 when
    // every item is to be painted again.
    TListThumbnailAdapter(const TPIDLManager& manager, TListThumbnailOptions& options,
                          std::function<void(int itemIndex)> repaint);
    ~TListThumbnailAdapter() override;
    TListThumbnailAdapter(const TListThumbnailAdapter&) = delete;
    TListThumbnailAdapter& operator=(const TListThumbnailAdapter&) = delete;

    // --- IListThumbnailSource
    void RequestThumbnail(const TItemIDList& pidl, int index) override;
    std::optional<std::uintptr_t> Thumbnail(const TItemIDList& pidl) override;

    // --- IListThumbnailPainter
    HIMAGELIST ThumbnailImages() override;
    bool ThumbnailSpacing(int& width, int& height) const override;
    void PaintItem(HDC dc, const TItemIDList& pidl, const TShadowThumbnailItem& item) override;

    // The list's items went: their outstanding requests are withdrawn.
    void ItemsGone() { thumbnails_.ForgetItems(); }
    // The options changed: the thumbnails are made again at their size.
    void OptionsChanged();
    TListThumbnails& Thumbnails() { return thumbnails_; }
    TThumbsCache& Cache() { return options_.Cache(); }

private:
    void DrawIcon(HDC dc, const RECT& imageRect, const TShadowThumbnailItem& item) const;
    void DrawSmallIcon(HDC dc, const RECT& imageRect, int image) const;
    // The details text with the source picture's size in front when its cache entry tells it.
    WideString DetailsOf(const TShadowThumbnailItem& item, const TThumbnailItemPaint& paint) const;

    TListThumbnailOptions& options_;
    std::function<void(int itemIndex)> repaint_;
    TListThumbnails thumbnails_;
    HIMAGELIST images_ = nullptr;
    TThumbSpacing imagesSize_;
};

} // namespace tarvola
