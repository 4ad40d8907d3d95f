// The header painter's decisions that need no device context: which cells an area touches, how a cell
// shows (hover, pressed, drop mark, glyphs, right border), the button face per style, and which utility
// images stand for sort glyphs and drop marks.
#pragma once

#include "tree/HeaderPaintTypes.h"

#include <cstddef>
#include <vector>

namespace tarvola {

// A visible column's cell within the painted area: the column's place in the paint list and its bounds.
struct THeaderCell {
    std::size_t Column = 0;
    TTreeRect Bounds;
    bool operator==(const THeaderCell&) const = default;
};

// The cells of the visible columns (in position order) that reach into Area. Cells run from
// HeaderRect.Left + HOffset over each column's width and span the header's height.
std::vector<THeaderCell> HeaderCellsInArea(const std::vector<THeaderPaintColumn>& columns,
                                           const TTreeRect& headerRect, int hOffset, const TTreeRect& area);

struct THeaderCellState {
    bool Hover = false;
    bool Pressed = false;
    bool Enabled = true;
    bool ShowHeaderGlyph = false;
    bool ShowSortGlyph = false;
    bool ShowRightBorder = true;
    TVTDropMarkMode DropMark = TVTDropMarkMode::dmmNone;
    bool operator==(const THeaderCellState&) const = default;
};

THeaderCellState ResolveHeaderCell(const THeaderPaintRecord& header, const THeaderPaintColumn& column);

// A classic button face: DrawEdge's edge and flags.
struct THeaderEdge {
    unsigned Edge = 0;
    unsigned Flags = 0;
    bool operator==(const THeaderEdge&) const = default;
};

// The face of a cell in one of the three DrawEdge styles (not hsXPStyle). clickable: the column takes
// clicks and is enabled.
THeaderEdge HeaderEdgeFor(THeaderFaceStyle style, bool pressed, bool hover, bool clickable, bool rightBorder);

// Utility image indexes.
int SortGlyphImageIndex(TSortDirection direction, bool themed);
constexpr int LeftDropMarkImage = 0;
constexpr int RightDropMarkImage = 1;
constexpr int UnderlineLeftImage = 6;
constexpr int UnderlineMiddleImage = 7;
constexpr int UnderlineRightImage = 8;

// Whether the header glyph is drawn: in a left-to-right column with a sort glyph, a glyph that would run
// into the sort glyph (a cell too narrow for both) is left out.
bool HeaderGlyphFits(const THeaderPaintColumn& column, bool showSortGlyph, THeaderPoint glyphPos,
                     int glyphWidth, THeaderPoint sortGlyphPos);

} // namespace tarvola
