// The graphics the platform draws for thumbnails: enhanced and Windows metafiles (a placeable header gives a
// Windows metafile its size) and icons (the largest image of the file), rendered into a picture of their own
// size on a background colour. Win32 only.
#pragma once

#include "explorer/ThumbsMaker.h"

#include <optional>
#include <span>

namespace tarvola {

// A picture larger than this on either side is not rendered.
constexpr int kMaxRenderedSide = 4096;

// The rendered picture of a metafile or icon file; nothing for another graphic or a file that does not load.
std::optional<TThumbnailPicture>
RenderPlatformGraphic(TGraphicClass graphic, std::span<const std::uint8_t> bytes, std::uint32_t backColor);

} // namespace tarvola
