// The window's hit test: which node and column lie under a point and on which part of the cell it falls.
// The cell's layout is gathered here; where the point falls on it is the pure DetermineHitPosition.
#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/HitTest.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"
#include "tree/VirtualTrees.h"

#include "base/Numerics.h"

#include <algorithm>

namespace tarvola {

namespace {

bool RightToLeft(TBiDiMode mode) {
    return mode != TBiDiMode::bdLeftToRight;
}

// Points outside the client area and the content. The tests take the point as given, before any
// conversion to tree coordinates.
THitPositions OutsidePositions(int x, int y, int width, int height) {
    THitPositions positions = 0;
    if (x < 0)
        positions |= hpToLeft;
    else if (x > width)
        positions |= hpToRight;
    if (y < 0)
        positions |= hpAbove;
    else if (y > height)
        positions |= hpBelow;
    return positions;
}

} // namespace

TCellHitLayout TBaseVirtualTree::CellLayout(PVirtualNode node, TColumnIndex column, bool mainColumn) {
    const TCustomVirtualTreeOptions& options = TreeOptions();
    TCellHitLayout cell;
    cell.MainColumn = mainColumn;
    cell.Level = static_cast<int>(GetNodeLevel(node));
    cell.Indent = Indent;
    cell.Margin = Margin;
    cell.ShowRoot = options.PaintOptions().Has(TVTPaintOption::toShowRoot);
    cell.ShowButtons = options.PaintOptions().Has(TVTPaintOption::toShowButtons);
    cell.HasChildren = (node->States & nsHasChildren) != 0;
    cell.ReportMode = options.MiscOptions().Has(TVTMiscOption::toReportMode);
    // The check area is reported only where a check image is drawn: with check support, a check image
    // list and a node that has a check type.
    cell.CheckShown = options.MiscOptions().Has(TVTMiscOption::toCheckSupport) &&
                      ColumnFitMetrics.CheckImageWidth > 0 && CheckType(node) != TCheckType::ctNone;
    cell.CheckImageWidth = ColumnFitMetrics.CheckImageWidth;
    bool ghosted = false;
    if (ColumnFitMetrics.StateImageWidth > 0 &&
        DoGetImageIndex(node, TVTImageKind::ikState, column, ghosted, -1) > -1)
        cell.StateImageWidth = ColumnFitMetrics.StateImageWidth;
    if (ColumnFitMetrics.ImageWidth > 0 &&
        DoGetImageIndex(node, TVTImageKind::ikNormal, column, ghosted, -1) > -1)
        cell.NormalImageWidth = ColumnFitMetrics.ImageWidth;
    cell.TextWidth = GetNodeWidth(node, column);
    return cell;
}

// The column under x (tree coordinates) with its edges; with toAutoSpanColumns a cell that is empty gives
// its place to the nearest filled cell on its left, which then reaches over the empty cells on its right.
void TBaseVirtualTree::HitColumnAndBounds(THitInfo& hit, int x, int& left, int& right) {
    const TVirtualTreeColumns& columns = Header().Columns();
    hit.HitColumn = columns.GetColumnAndBounds(TVTPoint{x, 0}, left, right, false);
    if (hit.HitColumn < 0 || !TreeOptions().AutoOptions().Has(TVTAutoOption::toAutoSpanColumns))
        return;
    const TColumnIndex found = hit.HitColumn;
    while (hit.HitColumn >= 0 && DoGetCellIsEmpty(hit.HitNode, hit.HitColumn)) {
        const TColumnIndex previous = columns.GetPreviousVisibleColumn(hit.HitColumn);
        if (previous < 0)
            break;
        hit.HitColumn = previous;
        left = CheckedSub(left, columns[previous].Width());
    }
    for (TColumnIndex next = columns.GetNextVisibleColumn(found);
         next >= 0 && DoGetCellIsEmpty(hit.HitNode, next); next = columns.GetNextVisibleColumn(next))
        right = CheckedAdd(right, columns[next].Width());
}

THitInfo TBaseVirtualTree::GetHitTestInfoAt(int x, int y, bool relative) {
    THitInfo hit;
    const int width = std::max(Host().ClientWidth(), RangeWidth);
    const int height = CheckedCast<int>(
        std::max<std::int64_t>(Host().ClientHeight(), static_cast<std::int64_t>(RangeHeight())));
    hit.HitPositions = OutsidePositions(x, y, width, height);
    if (relative) {
        x = CheckedSub(x, offsetX_);
        y = CheckedSub(y, offsetY_);
    }
    if (hit.HitPositions != 0)
        return hit;

    int nodeTop = 0;
    hit.HitNode = GetNodeAt(x, y, false, nodeTop);
    if (hit.HitNode == nullptr) {
        hit.HitPositions = hpNowhere;
        return hit;
    }
    if ((hit.HitNode->States & nsInitialized) == 0)
        InitNode(hit.HitNode);

    int left = 0;
    int right = width;
    const bool useColumns = headerBridge_ && Header().UseColumns();
    if (useColumns)
        HitColumnAndBounds(hit, x, left, right);
    if (hit.HitColumn == InvalidColumn) {
        hit.HitPositions = hpNowhere;
        return hit;
    }

    TAlignment alignment = Properties().Alignment();
    bool rightToLeft = false;
    bool mainColumn = true;
    if (useColumns) {
        const TVirtualTreeColumn& column = Header().Columns()[hit.HitColumn];
        alignment = column.Alignment();
        rightToLeft = RightToLeft(column.BiDiMode());
        mainColumn = hit.HitColumn == Header().MainColumn();
    }
    TCellHitLayout cell = CellLayout(hit.HitNode, hit.HitColumn, mainColumn);
    cell.Alignment = alignment;
    const int offset = CheckedSub(x, left);
    const int cellWidth = CheckedSub(right, left);
    hit.HitPositions = rightToLeft ? DetermineHitPositionRTL(cell, offset, cellWidth)
                                   : DetermineHitPositionLTR(cell, offset, cellWidth);
    return hit;
}

} // namespace tarvola
