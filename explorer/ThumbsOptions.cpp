#include "explorer/ThumbsOptions.h"

#include "base/Numerics.h"

namespace tarvola {

TThumbSpacing TThumbsOptions::BoxSize() const {
    const int border = CheckedMul(borderSize_, 2);
    return {CheckedAdd(Width, border), CheckedAdd(CheckedAdd(Height, border), Details ? DetailsHeight : 0)};
}

TThumbSpacing TThumbsOptions::ImageListSize() const {
    const int border = CheckedMul(borderSize_, 2);
    return {CheckedAdd(CheckedSub(Width, 16), border),
            CheckedAdd(CheckedAdd(CheckedSub(Height, 4), border), Details ? DetailsHeight : 0)};
}

bool TThumbsOptions::IconSpacing(TThumbSpacing& spacing) const {
    const TThumbSpacing box = BoxSize();
    const std::int64_t width = std::int64_t{box.Width} + SpaceWidth;
    const std::int64_t height = std::int64_t{box.Height} + SpaceHeight;
    if (width < 0 || height < 0 || width >= 65536 || height >= 65536)
        return false;
    spacing = {static_cast<int>(width), static_cast<int>(height)};
    return true;
}

TThumbnailSettings TThumbsOptions::ThreadSettings(bool compressed, std::uint32_t backColor) const {
    TThumbnailSettings settings;
    settings.Width = Width;
    settings.Height = Height;
    settings.Stretch = Stretch;
    settings.UseSubsampling = UseSubsampling;
    settings.Compressed = compressed;
    settings.BackColor = backColor;
    return settings;
}

} // namespace tarvola
