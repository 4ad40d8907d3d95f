// The portable part of the tree's hint window: the rectangles it measures, the desktop clamp, the pictures
// it composes for its fade, slide and soft shadow (on plain 32-bit pixel buffers), and the check that lets a
// running hint animation go on. The window (tree/HintWindow.h) supplies the text measures and the pixels.
#pragma once

#include "tree/AlphaBlend.h"
#include "tree/VirtualTrees.h"

#include <functional>
#include <memory>

namespace tarvola {

// The soft shadow's width where the blending is available.
constexpr int HintShadowSize = 5;
// The darkening passes of the shadow, from the outer strip to the inner one.
constexpr int HintShadowAlphas[] = {5, 10, 20, 35, 50};

int HintShadowFor(bool mmx);

// A hint's rectangle from its measured text (DT_CALCRECT from (0, 0, maxWidth, line height)): room for the
// frame and the margins on both sides, plus the shadow.
TTreeRect HintRectFromMeasure(const TTreeRect& measured, int textMargin, int shadow);

// A single-line tooltip's rectangle from the cell's text rectangle: one pixel of frame around the text, with
// the window's origin at (-1, -1) so the text stays where the cell shows it, plus the shadow.
TTreeRect SingleLineTooltipRect(TTreeRect text, bool horizontalGridLines, int shadow);

// A multi-line tooltip's rectangle from the cell's clipped text rectangle and the wrapped text's measure;
// empty when the whole text already shows in the cell.
struct TMultilineTooltip {
    TTreeRect Text;     // the cell's text rectangle (clipped)
    TTreeRect Measured; // the text measured with word breaks, from Text
    bool RightToLeft = false;
    int TextMargin = 4;
    int NodeHeight = 0;
    int ClientWidth = 0;
    int ClientHeight = 0;
};
TTreeRect MultilineTooltipRect(const TMultilineTooltip& tooltip, int shadow);

// Moves r inside the desktop: up and left when it crosses the bottom or right edge, then down and right when
// it lies above or left of it (a rectangle larger than the desktop keeps its top left corner on it).
TTreeRect KeepOnDesktop(TTreeRect r, const TTreeRect& desktop);

// Darkens the bottom and right edges of a W x H picture in five passes; the top right and bottom left
// corners stay untouched by size pixels.
void DrawShadow(const TPixelBuffer& picture, int size);

// The alpha of fade step: MulDiv(step, 256, 255) (rounded to nearest).
int FadeAlpha(std::uint32_t step);

// One fade step: blend := background, then the hint picture (without the shadow strip) blended over it at
// the step's alpha, then the shadow. All three buffers have the window's size.
void ComposeFadeStep(const TPixelBuffer& background, const TPixelBuffer& hint, const TPixelBuffer& blend,
                     std::uint32_t step, int shadow);

// The static picture with a shadow: blend := background, the hint (without the shadow strip) copied over it,
// then darkened. The background stays as captured, so a repaint gives the same picture.
void ComposeShadowedHint(const TPixelBuffer& background, const TPixelBuffer& hint, const TPixelBuffer& blend,
                         int shadow);

// Whether a hint animation step may run: the window and the tree still live, the window is shown, no newer
// hint took over and the hint window was not destroyed.
struct THintAnimationLife {
    std::weak_ptr<bool> Window;
    std::weak_ptr<bool> Tree;
};
bool HintAnimationMayContinue(const THintAnimationLife& life, bool windowDestroyedFlag,
                              const std::function<bool()>& windowShown,
                              const std::function<bool()>& cancelled);

} // namespace tarvola
