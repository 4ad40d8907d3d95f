// Where on a node's cell a point falls: the expand button, the check area, the state or normal image, the
// text, or left or right of the text. A pure function of the cell's layout, so the window's hit test only
// gathers the layout. How the window calls it: for the node and column under the point, fill a
// TCellHitLayout from the options (toShowRoot, toShowButtons, toReportMode, toCheckSupport with a check
// image list), the node's level and check type, the widths of its state and normal images (0 when the cell
// shows none) and GetNodeWidth; then pass the point's x relative to the cell's left edge and the cell's
// width to the LTR or RTL form by the column's bidi mode, and add the result to hpOnItem.
#pragma once

#include "tree/TreeProperties.h"
#include "tree/TreeMouse.h"

#include <cstdint>

namespace tarvola {

enum : std::uint16_t {
    hpAbove = 0x0001,
    hpBelow = 0x0002,
    hpNowhere = 0x0004,
    hpOnItem = 0x0008,
    hpOnItemButton = 0x0010,
    hpOnItemCheckbox = 0x0020,
    hpOnItemIndent = 0x0040, // part of the set; the hit test does not report it
    hpOnItemLabel = 0x0080,
    hpOnItemLeft = 0x0100,
    hpOnItemRight = 0x0200,
    hpOnNormalIcon = 0x0400,
    hpOnStateIcon = 0x0800,
    hpToLeft = 0x1000,
    hpToRight = 0x2000,
};
using THitPositions = std::uint16_t;

struct TCellHitLayout {
    bool MainColumn = true;
    int Level = 0; // ancestors below the hidden root
    int Indent = 18;
    int Margin = 4;
    bool ShowRoot = true;
    bool ShowButtons = true;
    bool HasChildren = false;
    bool ReportMode = false;
    // A check image is drawn: check support, a check image list and a node with a check type.
    bool CheckShown = false;
    int CheckImageWidth = 0;
    int StateImageWidth = 0;  // 0: the cell shows no state image
    int NormalImageWidth = 0; // 0: the cell shows no normal image
    int TextWidth = 0;
    TAlignment Alignment = TAlignment::taLeftJustify;
};

// offset: the point's x from the cell's left edge; right: the cell's width. The result always holds hpOnItem.
THitPositions DetermineHitPositionLTR(const TCellHitLayout& cell, int offset, int right);
THitPositions DetermineHitPositionRTL(const TCellHitLayout& cell, int offset, int right);

} // namespace tarvola
