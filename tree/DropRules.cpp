// Drag and drop rules.
#include "tree/DropRules.h"

#include "base/Numerics.h"

#include <algorithm>
#include <cmath>

namespace tarvola {

namespace {

// The platform's key state bits.
enum : std::uint32_t {
    KeyLeftButton = 0x01,
    KeyRightButton = 0x02,
    KeyShift = 0x04,
    KeyControl = 0x08,
    KeyMiddleButton = 0x10,
    KeyAlt = 0x20,
};

} // namespace

std::uint32_t AllowedDropEffects(TDragOperations operations) {
    std::uint32_t effects = 0;
    if ((operations & doCopy) != 0)
        effects |= DropEffectCopy;
    if ((operations & doMove) != 0)
        effects |= DropEffectMove;
    if ((operations & doLink) != 0)
        effects |= DropEffectLink;
    return effects == 0 ? DropEffectCopy | DropEffectMove | DropEffectLink : effects;
}

TShiftState ShiftFromKeyState(std::uint32_t keyState, TShiftState heldButtons) {
    TShiftState shift = heldButtons & (ssLeft | ssRight | ssMiddle);
    if ((keyState & KeyShift) != 0)
        shift |= ssShift;
    if ((keyState & KeyControl) != 0)
        shift |= ssCtrl;
    if ((keyState & KeyAlt) != 0)
        shift |= ssAlt;
    if ((keyState & KeyLeftButton) != 0)
        shift |= ssLeft;
    if ((keyState & KeyRightButton) != 0)
        shift |= ssRight;
    if ((keyState & KeyMiddleButton) != 0)
        shift |= ssMiddle;
    return shift;
}

std::uint32_t SuggestDropEffect(bool sourceIsThisTree, TShiftState shift, std::uint32_t allowed) {
    std::uint32_t effect = allowed;
    if (sourceIsThisTree && (allowed & DropEffectMove) != 0)
        effect = DropEffectMove;
    else if (!sourceIsThisTree && (allowed & DropEffectCopy) != 0)
        effect = DropEffectCopy;
    const TShiftState keys = shift & (ssShift | ssCtrl | ssAlt);
    std::uint32_t asked = DropEffectNone;
    if (keys == ssShift)
        asked = DropEffectMove;
    else if (keys == ssCtrl)
        asked = DropEffectCopy;
    else if (keys == (ssCtrl | ssShift) || keys == ssAlt)
        asked = DropEffectLink;
    if (asked != DropEffectNone && (allowed & asked) != 0)
        effect = asked;
    return effect;
}

TDropMode DropModeFor(const TDropHit& hit, int y, bool showDropmark, bool reportMode) {
    if (!hit.OnNode || (reportMode && (!hit.InMainColumn || !hit.OnLabelOrImage)))
        return TDropMode::dmNowhere;
    if (hit.OnLabelOrImage || !showDropmark)
        return TDropMode::dmOnNode;
    const int middle = hit.RowTop + (hit.RowBottom - hit.RowTop) / 2;
    return middle > y ? TDropMode::dmAbove : TDropMode::dmBelow;
}

TDragContinuation QueryContinueDrag(bool escapePressed, std::uint32_t keyState) {
    const bool left = (keyState & KeyLeftButton) != 0;
    const bool right = (keyState & KeyRightButton) != 0;
    if (escapePressed || (left && right))
        return TDragContinuation::Cancel;
    if (left || right)
        return TDragContinuation::Continue;
    return TDragContinuation::Drop;
}

void BuildAlphaChannel(std::span<std::uint32_t> pixels, int width, int height, std::int64_t colorKey) {
    if (width <= 0 || height <= 0)
        return;
    CheckIndex(CheckedMul<std::int64_t>(width, height) - 1, static_cast<std::int64_t>(pixels.size()));
    const double side = std::max(width, height);
    const int centreX = width / 2;
    const int centreY = height / 2;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t& pixel = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                          static_cast<std::size_t>(x)];
            std::uint32_t alpha = 0;
            if (colorKey < 0 || (pixel & 0xFFFFFFu) != static_cast<std::uint32_t>(colorKey & 0xFFFFFF)) {
                const double dx = (x - centreX) / side;
                const double dy = (y - centreY) / side;
                alpha =
                    static_cast<std::uint32_t>(std::nearbyint(255.0 * std::exp(-8.0 * std::hypot(dx, dy))));
            }
            pixel = (pixel & 0xFFFFFFu) | (alpha << 24);
        }
    }
}

} // namespace tarvola
