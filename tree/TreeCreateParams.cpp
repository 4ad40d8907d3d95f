#include "tree/TreeCreateParams.h"

namespace tarvola {

namespace {

std::uint32_t ScrollBarStyles(TScrollStyle scrollBars) {
    switch (scrollBars) {
    case TScrollStyle::ssNone:
        return 0;
    case TScrollStyle::ssHorizontal:
        return treestyle::HScroll;
    case TScrollStyle::ssVertical:
        return treestyle::VScroll;
    case TScrollStyle::ssBoth:
        break;
    }
    return treestyle::HScroll | treestyle::VScroll;
}

} // namespace

TTreeWindowStyles TreeCreateParams(TTreeWindowStyles base, const TTreeStyleSettings& settings) {
    TTreeWindowStyles result = base;
    result.Style |= treestyle::ClipChildren | treestyle::ClipSiblings | ScrollBarStyles(settings.ScrollBars);
    const std::uint32_t redraw = treestyle::ClassHRedraw | treestyle::ClassVRedraw;
    result.ClassStyle =
        settings.FullRepaintOnResize ? result.ClassStyle | redraw : result.ClassStyle & ~redraw;
    if (settings.BorderStyle == TVTBorderStyle::bsSingle) {
        if (settings.Ctl3D) {
            result.ExStyle |= treestyle::ClientEdge;
            result.Style &= ~treestyle::Border;
        } else {
            result.Style |= treestyle::Border;
        }
    } else {
        result.Style &= ~treestyle::Border;
    }
    if (settings.RightToLeft)
        result.ExStyle |= treestyle::LeftScrollBar;
    return result;
}

} // namespace tarvola
