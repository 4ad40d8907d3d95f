// TThumbsOptions: how the list view's thumbnail style looks and what its thumbnails are made from, with the
// sizes the style lays its items out by. The cache options live with the cache (ThumbsCacheOptions).
#pragma once

#include "explorer/ThumbsMaker.h"

#include <cstdint>

namespace tarvola {

enum class TThumbnailBorder {
    tbNone,
    tbRaised,
    tbDoubleRaised,
    tbSunken,
    tbDoubleSunken,
    tbBumped,
    tbEtched,
    tbFramed
};
enum class TThumbnailHighlight { thNone, thSingleColor, thMultipleColors };

struct TThumbSpacing {
    int Width = 0;
    int Height = 0;
    bool operator==(const TThumbSpacing&) const = default;
};

class TThumbsOptions {
public:
    TThumbnailBorder Border = TThumbnailBorder::tbFramed;
    bool BorderOnFiles = false;
    int Width = 120;
    int Height = 120;
    std::uint16_t SpaceWidth = 40;
    std::uint16_t SpaceHeight = 40;
    bool DetailedHints = false;
    bool Details = false;
    int DetailsHeight = 40;
    bool HideCaptions = false;
    TThumbnailHighlight Highlight = TThumbnailHighlight::thMultipleColors;
    std::uint32_t HighlightColor = 0xEFD3D3;
    bool LoadAllAtOnce = false;
    bool ShowSmallIcon = true;
    bool ShowXLIcons = true;
    bool UseShellExtraction = true;
    bool UseSubsampling = true;
    bool Stretch = false;

    int BorderSize() const { return borderSize_; }
    // A negative size is none.
    void SetBorderSize(int size) { borderSize_ = size < 0 ? 0 : size; }

    // An item's box: the thumbnail with its border on each side, and the details below it when shown.
    TThumbSpacing BoxSize() const;
    // The size of the list's image list in this style.
    TThumbSpacing ImageListSize() const;
    // The icon spacing: the box and the space between boxes; nothing when it does not fit 16 bits.
    bool IconSpacing(TThumbSpacing& spacing) const;
    // What the thumbnail thread copies: the size and drawing, compression from the cache options, and the
    // list's background colour.
    TThumbnailSettings ThreadSettings(bool compressed, std::uint32_t backColor) const;

private:
    int borderSize_ = 4;
};

} // namespace tarvola
