#include "tree/HintWindowRules.h"

#include "base/Numerics.h"

#include <algorithm>
#include <cstring>

namespace tarvola {

namespace {

TTreeRect Inflated(TTreeRect r, int by) {
    return {r.Left - by, r.Top - by, r.Right + by, r.Bottom + by};
}

// The window's frame lies one pixel around the text: the rectangle starts at (-1, -1).
TTreeRect FramedAtOrigin(const TTreeRect& text) {
    const TTreeRect framed = Inflated(text, 1);
    return {-1, -1, framed.Right - framed.Left - 1, framed.Bottom - framed.Top - 1};
}

TTreeRect WithShadowRoom(TTreeRect r, int shadow) {
    r.Right += shadow;
    r.Bottom += shadow;
    return r;
}

void CopyPixels(const TPixelBuffer& from, const TPixelBuffer& to) {
    const int width = std::min(from.Width, to.Width);
    const int height = std::min(from.Height, to.Height);
    if (from.Empty() || to.Empty())
        return;
    for (int y = 0; y < height; ++y)
        std::memcpy(to.Row(y), from.Row(y), static_cast<std::size_t>(width) * 4);
}

void DarkenStrip(const TPixelBuffer& picture, const TTreeRect& strip, int alpha) {
    AlphaBlendPixels(picture, picture, strip, strip.Left, strip.Top, TBlendMode::bmConstantAlphaAndColor,
                     alpha, 0);
}

// The picture's part without the shadow strip.
TTreeRect HintArea(const TPixelBuffer& picture, int shadow) {
    return {0, 0, picture.Width - shadow, picture.Height - shadow};
}

} // namespace

int HintShadowFor(bool mmx) {
    return mmx ? HintShadowSize : 0;
}

TTreeRect HintRectFromMeasure(const TTreeRect& measured, int textMargin, int shadow) {
    TTreeRect r = measured;
    r.Bottom = CheckedAdd(r.Bottom, 6);
    r.Right = CheckedAdd(r.Right, CheckedAdd(CheckedMul(2, textMargin), 2));
    return WithShadowRoom(r, shadow);
}

TTreeRect SingleLineTooltipRect(TTreeRect text, bool horizontalGridLines, int shadow) {
    if (horizontalGridLines)
        --text.Bottom;
    return WithShadowRoom(FramedAtOrigin(text), shadow);
}

TTreeRect MultilineTooltipRect(const TMultilineTooltip& tooltip, int shadow) {
    TTreeRect r = tooltip.Text;
    if (tooltip.RightToLeft)
        r.Left = tooltip.Measured.Left - tooltip.TextMargin + 1;
    else
        r.Right = tooltip.Measured.Right + tooltip.TextMargin;
    r.Bottom = tooltip.Measured.Bottom;
    r.Right += 1;
    const bool fits = tooltip.NodeHeight + 2 >= r.Bottom - r.Top && r.Left >= 0 && r.Top >= 0 &&
                      r.Right <= tooltip.ClientWidth + 3 && r.Bottom <= tooltip.ClientHeight + 3;
    if (fits)
        return {};
    return WithShadowRoom(FramedAtOrigin(r), shadow);
}

TTreeRect KeepOnDesktop(TTreeRect r, const TTreeRect& desktop) {
    const int width = r.Right - r.Left;
    const int height = r.Bottom - r.Top;
    if (r.Bottom > desktop.Bottom)
        r.Top = desktop.Bottom - height;
    if (r.Left + width > desktop.Right)
        r.Left = desktop.Right - width;
    if (r.Top < desktop.Top)
        r.Top = desktop.Top;
    if (r.Left < desktop.Left)
        r.Left = desktop.Left;
    r.Right = r.Left + width;
    r.Bottom = r.Top + height;
    return r;
}

void DrawShadow(const TPixelBuffer& picture, int size) {
    if (picture.Empty() || size <= 0)
        return;
    const int w = picture.Width;
    const int h = picture.Height;
    TTreeRect bottom{size, h - size, w, h};
    TTreeRect right{w - size, size, w, h - size};
    for (const int alpha : HintShadowAlphas) {
        DarkenStrip(picture, bottom, alpha);
        DarkenStrip(picture, right, alpha);
        ++bottom.Left;
        --bottom.Right;
        --bottom.Bottom;
        ++right.Top;
        --right.Right;
    }
}

int FadeAlpha(std::uint32_t step) {
    return static_cast<int>((static_cast<std::uint64_t>(step) * 256 + 127) / 255);
}

void ComposeFadeStep(const TPixelBuffer& background, const TPixelBuffer& hint, const TPixelBuffer& blend,
                     std::uint32_t step, int shadow) {
    CopyPixels(background, blend);
    AlphaBlendPixels(hint, blend, HintArea(blend, shadow), 0, 0, TBlendMode::bmConstantAlpha, FadeAlpha(step),
                     0);
    if (shadow > 0)
        DrawShadow(blend, shadow);
}

void ComposeShadowedHint(const TPixelBuffer& background, const TPixelBuffer& hint, const TPixelBuffer& blend,
                         int shadow) {
    if (blend.Empty() || hint.Empty())
        return;
    CopyPixels(background, blend);
    const TTreeRect area = HintArea(blend, shadow);
    const int rows = std::min(area.Bottom, hint.Height);
    const int columns = std::max(0, std::min(area.Right, hint.Width));
    for (int y = 0; y < rows; ++y)
        std::memcpy(blend.Row(y), hint.Row(y), static_cast<std::size_t>(columns) * 4);
    DrawShadow(blend, shadow);
}

bool HintAnimationMayContinue(const THintAnimationLife& life, bool windowDestroyedFlag,
                              const std::function<bool()>& windowShown,
                              const std::function<bool()>& cancelled) {
    if (windowDestroyedFlag || life.Window.expired() || life.Tree.expired())
        return false;
    return windowShown() && !cancelled();
}

} // namespace tarvola
