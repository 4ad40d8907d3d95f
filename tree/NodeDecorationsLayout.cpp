#include "tree/NodeDecorationsLayout.h"

#include "base/Numerics.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace tarvola {
namespace {

// a x b / c rounded to the nearest, halves away from zero, as the platform's MulDiv.
int MulDivRound(int a, int b, int c) {
    const std::int64_t product = std::int64_t{a} * b;
    const std::int64_t half = c / 2;
    const std::int64_t rounded = product >= 0 ? (product + half) / c : (product - half) / c;
    return CheckedCast<int>(rounded);
}

int PositiveModulo(std::int64_t value, int modulus) {
    const std::int64_t rest = value % modulus;
    return static_cast<int>(rest < 0 ? rest + modulus : rest);
}

bool EndsWithBranchRight(TVTLineType line) {
    return line == TVTLineType::ltBottomRight || line == TVTLineType::ltTopDownRight ||
           line == TVTLineType::ltRight || line == TVTLineType::ltTopRight;
}

} // namespace

TVerticalAlignment DetermineVerticalAlignment(const TAlignmentInput& input) {
    int vAlign = 0;
    switch (input.Alignment) {
    case TVTNodeAlignment::naFromBottom:
        vAlign = input.NodeHeight - input.Align;
        if (vAlign < 0)
            throw std::out_of_range("Node alignment from the bottom lies above the node");
        break;
    case TVTNodeAlignment::naFromTop:
        vAlign = input.Align;
        break;
    case TVTNodeAlignment::naProportional:
        if (input.ImageHeight > 0)
            vAlign =
                MulDivRound(input.NodeHeight - input.ImageHeight, input.Align, 100) + input.ImageHeight / 2;
        else if (input.ShowButtons)
            vAlign =
                MulDivRound(input.NodeHeight - input.ButtonHeight, input.Align, 100) + input.ButtonHeight / 2;
        else
            vAlign = MulDivRound(input.NodeHeight, input.Align, 100);
        break;
    }
    return TVerticalAlignment{vAlign, vAlign - input.ButtonHeight / 2};
}

TImagePlacement AdjustImageBorder(int imageWidth, int imageHeight, bool rightToLeft, int vAlign,
                                  const TTreeRect& r) {
    TImagePlacement placement;
    placement.Remaining = r;
    placement.Pos.Y = r.Top + vAlign - imageHeight / 2;
    if (rightToLeft) {
        placement.Pos.X = r.Right - imageWidth;
        placement.Remaining.Right = r.Right - (imageWidth + 2);
    } else {
        placement.Pos.X = r.Left;
        placement.Remaining.Left = r.Left + imageWidth + 2;
    }
    return placement;
}

std::vector<TLineSegment> LineImageSegments(int x, int y, int h, int vAlign, int indent, TVTLineType style,
                                            bool rightToLeft) {
    const int half = indent / 2;
    const int targetX = rightToLeft ? 0 : indent;
    const TLineSegment branch{true, y + vAlign, x + half, x + targetX};
    const int leftX = rightToLeft ? x + indent : x;
    switch (style) {
    case TVTLineType::ltNone:
        return {};
    case TVTLineType::ltBottomRight:
        return {{false, x + half, y + vAlign, y + h}, branch};
    case TVTLineType::ltTopDown:
        return {{false, x + half, y, y + h}};
    case TVTLineType::ltTopDownRight:
        return {{false, x + half, y, y + h}, branch};
    case TVTLineType::ltRight:
        return {branch};
    case TVTLineType::ltTopRight:
        return {{false, x + half, y, y + vAlign}, branch};
    case TVTLineType::ltLeft:
        return {{false, leftX, y, y + h}};
    case TVTLineType::ltLeftBottom:
        return {{false, leftX, y, y + h}, {true, y + h, x, x + indent}};
    }
    return {};
}

std::vector<TVTLineType> DeriveBandStyles(const std::vector<TVTLineType>& lineImage,
                                          bool expandedWithVisibleChildren) {
    std::vector<TVTLineType> bands(lineImage.size(), TVTLineType::ltNone);
    if (expandedWithVisibleChildren) {
        std::fill(bands.begin(), bands.end(), TVTLineType::ltLeft);
        return bands;
    }
    for (std::size_t i = lineImage.size(); i-- > 0;) {
        const TVTLineType line = lineImage[i];
        if (EndsWithBranchRight(line)) {
            bands[i] = TVTLineType::ltLeftBottom;
        } else if (line == TVTLineType::ltNone || line == TVTLineType::ltTopDown) {
            const bool hasInner = i + 1 < lineImage.size();
            const bool innerOpen = hasInner && (lineImage[i + 1] == TVTLineType::ltNone ||
                                                lineImage[i + 1] == TVTLineType::ltTopRight);
            bands[i] = innerOpen ? bands[i + 1] : TVTLineType::ltLeft;
        }
    }
    return bands;
}

TLinePattern LineStylePattern(TVTLineStyle style) {
    TLinePattern pattern{};
    if (style == TVTLineStyle::lsSolid)
        return pattern;
    for (std::size_t row = 0; row < pattern.size(); ++row)
        pattern[row] = row % 2 == 0 ? 0x55 : 0xAA;
    return pattern;
}

std::array<TDecorationPoint, 6> DropMarkPolygon(const TTreeRect& r, bool above) {
    const int l = r.Left, t = r.Top, rt = r.Right, b = r.Bottom;
    if (above)
        return {{{l + 2, t}, {rt - 2, t}, {rt - 2, t + 6}, {rt - 6, t + 2}, {l + 6, t + 2}, {l + 2, t + 6}}};
    return {
        {{l + 2, b - 1}, {rt - 2, b - 1}, {rt - 2, b - 8}, {rt - 7, b - 3}, {l + 7, b - 3}, {l + 2, b - 8}}};
}

std::vector<TBackgroundTile> TileBackgroundPlan(const TTreeRect& r, TDecorationPoint offset,
                                                TDecorationPoint backgroundOffset, int pictureWidth,
                                                int pictureHeight) {
    std::vector<TBackgroundTile> tiles;
    // An empty picture is no background picture (and no division by its size).
    if (pictureWidth <= 0 || pictureHeight <= 0 || r.Empty())
        return tiles;
    const int phaseX = PositiveModulo(std::int64_t{r.Left} + offset.X + backgroundOffset.X, pictureWidth);
    const int phaseY = PositiveModulo(std::int64_t{r.Top} + offset.Y + backgroundOffset.Y, pictureHeight);
    for (int y = r.Top, sourceY = phaseY; y < r.Bottom; sourceY = 0) {
        const int height = std::min(pictureHeight - sourceY, r.Bottom - y);
        for (int x = r.Left, sourceX = phaseX; x < r.Right; sourceX = 0) {
            const int width = std::min(pictureWidth - sourceX, r.Right - x);
            tiles.push_back({{x, y, x + width, y + height}, sourceX, sourceY});
            x += width;
        }
        y += height;
    }
    return tiles;
}

TDecorationPoint GetBorderDimensions(const TBorderMetrics& metrics) {
    TDecorationPoint size;
    if (metrics.Border) {
        size.X -= 1;
        size.Y -= 1;
    }
    if (metrics.ThickFrame) {
        size.X -= metrics.DlgFrameX;
        size.Y -= metrics.DlgFrameY;
    }
    if (metrics.ClientEdge) {
        size.X -= metrics.EdgeX;
        size.Y -= metrics.EdgeY;
    }
    return size;
}

} // namespace tarvola
