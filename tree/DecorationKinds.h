// The kinds of the tree's decorations that are both published settings (TVirtualTreeProperties) and inputs
// of the drawing code (check images, buttons, tree lines, node alignment), defined once for both.
#pragma once

#include <cstdint>

namespace tarvola {

// The tree's CheckImageKind property.
enum class TCheckImageKind : std::uint8_t {
    ckLightCheck = 0,
    ckDarkCheck = 1,
    ckLightTick = 2,
    ckDarkTick = 3,
    ckFlat = 4,
    ckXP = 5,
    ckCustom = 6,
    ckSystem = 7,
    ckSystemFlat = 8,
};

enum class TVTButtonStyle : std::uint8_t { bsRectangle = 0, bsTriangle = 1 };
enum class TVTButtonFillMode : std::uint8_t {
    fmTreeColor = 0,
    fmWindowColor = 1,
    fmShaded = 2,
    fmTransparent = 3
};

enum class TVTLineStyle : std::uint8_t { lsCustomStyle = 0, lsDotted = 1, lsSolid = 2 };
enum class TVTLineMode : std::uint8_t { lmNormal = 0, lmBands = 1 };

// The tree's NodeAlignment property.
enum class TVTNodeAlignment : std::uint8_t { naFromBottom = 0, naFromTop = 1, naProportional = 2 };

} // namespace tarvola
