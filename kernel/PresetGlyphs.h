// The pictures of the preset browser's three glyph buttons, 16 by 16 pixels each: a folder with an arrow
// up (Up Folder), a folder with an arrow up to a bar (Presets Root) and a folder with a spark (New
// Folder). The bottom left pixel is the transparent colour, as the bitmap button expects.
#pragma once

#include "forms/Graphics.h"

#include <memory>

namespace tarvola {

enum class TPresetGlyph { UpFolder, PresetsRoot, NewFolder };

constexpr int kPresetGlyphSize = 16;

std::unique_ptr<TBitmap> MakePresetGlyph(TPresetGlyph glyph);

} // namespace tarvola
