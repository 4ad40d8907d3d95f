#include "tree/HeaderPaintRules.h"

namespace tarvola {
namespace {

namespace bits = header_paint_bits;

bool Has(std::uint16_t options, std::uint16_t bit) {
    return (options & bit) != 0;
}

// DrawEdge values.
constexpr unsigned EdgeRaised = 5;    // BDR_RAISEDOUTER | BDR_RAISEDINNER
constexpr unsigned EdgeRaisedIn = 4;  // BDR_RAISEDINNER
constexpr unsigned EdgeSunkenOut = 2; // BDR_SUNKENOUTER
constexpr unsigned BorderRight = 4;   // BF_RIGHT

} // namespace

std::vector<THeaderCell> HeaderCellsInArea(const std::vector<THeaderPaintColumn>& columns,
                                           const TTreeRect& headerRect, int hOffset, const TTreeRect& area) {
    std::vector<THeaderCell> cells;
    int x = headerRect.Left + hOffset;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int left = x;
        x += columns[i].Width;
        if (left > area.Right)
            break;
        if (x <= area.Left)
            continue;
        cells.push_back({i, TTreeRect{left, headerRect.Top, x, headerRect.Bottom}});
    }
    return cells;
}

THeaderCellState ResolveHeaderCell(const THeaderPaintRecord& header, const THeaderPaintColumn& column) {
    THeaderCellState state;
    const bool columnEnabled = Has(column.Options, bits::coEnabled);
    state.Hover = column.IsHoverIndex && Has(header.Options, bits::hoHotTrack) && columnEnabled;
    state.Pressed = column.IsDownIndex;
    if (Has(column.Options, bits::coShowDropMark) && column.IsDropTarget && !column.IsDragIndex)
        state.DropMark = column.DropBefore ? TVTDropMarkMode::dmmLeft : TVTDropMarkMode::dmmRight;
    state.Enabled = columnEnabled && header.Enabled;
    state.ShowHeaderGlyph =
        Has(header.Options, bits::hoShowImages) && header.Images != nullptr && column.ImageIndex >= 0;
    state.ShowSortGlyph = column.IsSortColumn && Has(header.Options, bits::hoShowSortGlyphs);
    state.ShowRightBorder = !(column.AtLastPosition && header.Style != THeaderFaceStyle::hsThickButtons &&
                              Has(header.Options, bits::hoAutoResize) && header.HasBevel);
    return state;
}

THeaderEdge HeaderEdgeFor(THeaderFaceStyle style, bool pressed, bool hover, bool clickable,
                          bool rightBorder) {
    const unsigned right = rightBorder ? BorderRight : 0;
    switch (style) {
    case THeaderFaceStyle::hsThickButtons:
        return pressed ? THeaderEdge{EdgeRaised, 0x780F} : THeaderEdge{EdgeRaised, 0x380B | right};
    case THeaderFaceStyle::hsFlatButtons:
        return pressed ? THeaderEdge{EdgeSunkenOut, 0x280F} : THeaderEdge{EdgeRaisedIn, 0x280B | right};
    case THeaderFaceStyle::hsPlates:
        if (pressed)
            return THeaderEdge{EdgeSunkenOut, 0x280F};
        if (hover && clickable)
            return THeaderEdge{EdgeRaisedIn, 0x280B | right};
        return THeaderEdge{EdgeRaisedIn, 0x380F | right};
    case THeaderFaceStyle::hsXPStyle:
        break;
    }
    return {};
}

int SortGlyphImageIndex(TSortDirection direction, bool themed) {
    const int index = direction == TSortDirection::sdAscending ? 3 : 2;
    return themed ? index + 2 : index;
}

bool HeaderGlyphFits(const THeaderPaintColumn& column, bool showSortGlyph, THeaderPoint glyphPos,
                     int glyphWidth, THeaderPoint sortGlyphPos) {
    if (!showSortGlyph || column.RightToLeft)
        return true;
    // Measured against the sort glyph, not the text: a glyph right of the text always ends beyond it, and one
    // left of it never does once the text is cut.
    return glyphPos.X + glyphWidth <= sortGlyphPos.X;
}

} // namespace tarvola
