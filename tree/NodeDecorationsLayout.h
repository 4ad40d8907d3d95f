// The geometry of a row's decorations, without a device context: the vertical alignment of images and
// buttons, image positions, tree line segments (normal and band mode), the line brush pattern, the drop
// mark polygon, background tiles and the border dimensions.
#pragma once

#include "tree/DecorationKinds.h"
#include "tree/VirtualTrees.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tarvola {

// The tree line a level of a row shows.
enum class TVTLineType : std::uint8_t {
    ltNone,
    ltBottomRight,
    ltTopDown,
    ltTopDownRight,
    ltRight,
    ltTopRight,
    ltLeft,
    ltLeftBottom,
};

struct TDecorationPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TDecorationPoint&) const = default;
};

struct TVerticalAlignment {
    int VAlign = 0;       // the row's reference line, from its top
    int VButtonAlign = 0; // the top of the expand button
    bool operator==(const TVerticalAlignment&) const = default;
};

struct TAlignmentInput {
    TVTNodeAlignment Alignment = TVTNodeAlignment::naProportional;
    int NodeHeight = 0;
    int Align = 50;      // the node's Align byte
    int ImageHeight = 0; // the shown image list's height; 0 when no images are shown
    bool ShowButtons = false;
    int ButtonHeight = 9; // the plus bitmap's height
};

// naFromBottom with Align above the node height is a range error (std::out_of_range).
TVerticalAlignment DetermineVerticalAlignment(const TAlignmentInput& input);

// Where an image of the given size goes in R (left to right at its left, right to left at its right), and
// R with the image and a gap of 2 taken off.
struct TImagePlacement {
    TDecorationPoint Pos;
    TTreeRect Remaining;
    bool operator==(const TImagePlacement&) const = default;
};
TImagePlacement AdjustImageBorder(int imageWidth, int imageHeight, bool rightToLeft, int vAlign,
                                  const TTreeRect& r);

// A dotted line: horizontal from (From, At) to (To, At), or vertical from (At, From) to (At, To); both
// ends included.
struct TLineSegment {
    bool Horizontal = false;
    int At = 0;
    int From = 0;
    int To = 0;
    bool operator==(const TLineSegment&) const = default;
};

// The lines of one level's line image in the Indent-wide column at X of a row at Y of height H.
std::vector<TLineSegment> LineImageSegments(int x, int y, int h, int vAlign, int indent, TVTLineType style,
                                            bool rightToLeft);

// Band mode: the band style of each level (innermost last) from the row's line images.
std::vector<TVTLineType> DeriveBandStyles(const std::vector<TVTLineType>& lineImage,
                                          bool expandedWithVisibleChildren);

// The 8 x 8 line brush pattern: 0 bits take the line colour, 1 bits the gap colour.
using TLinePattern = std::array<std::uint16_t, 8>;
TLinePattern LineStylePattern(TVTLineStyle style);

// The drop mark above or below the item rectangle R.
std::array<TDecorationPoint, 6> DropMarkPolygon(const TTreeRect& r, bool above);

// One tile of a background picture: Target in the target's coordinates, from (SourceX, SourceY) of the
// picture.
struct TBackgroundTile {
    TTreeRect Target;
    int SourceX = 0;
    int SourceY = 0;
    bool operator==(const TBackgroundTile&) const = default;
};
// The tiles covering R with the picture repeated from the phase (R's corner + Offset + BackgroundOffset)
// modulo the picture size. An empty picture gives no tiles.
std::vector<TBackgroundTile> TileBackgroundPlan(const TTreeRect& r, TDecorationPoint offset,
                                                TDecorationPoint backgroundOffset, int pictureWidth,
                                                int pictureHeight);

// The negative border size: 1 for WS_BORDER, the dialog frame for WS_THICKFRAME, the edge for
// WS_EX_CLIENTEDGE, summed.
struct TBorderMetrics {
    bool Border = false;
    bool ThickFrame = false;
    bool ClientEdge = false;
    int DlgFrameX = 0, DlgFrameY = 0;
    int EdgeX = 0, EdgeY = 0;
};
TDecorationPoint GetBorderDimensions(const TBorderMetrics& metrics);

} // namespace tarvola
