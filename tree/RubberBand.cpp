// The rubber band: a rectangle dragged over empty space selects the nodes whose text it touches. Each step
// walks only the rows the old or the new band covers and changes only the nodes whose membership differs
// between the two. A band that covers no row (the one before the first step) holds no node, so the first
// step selects everything it already covers.
#include "forms/Events.h"
#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"
#include "tree/VirtualTrees.h"

#include "base/Numerics.h"

#include <algorithm>

namespace tarvola {

namespace {

TTreeRect Ordered(const TTreeRect& rect) {
    return TTreeRect{std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
                     std::max(rect.Left, rect.Right), std::max(rect.Top, rect.Bottom)};
}

bool CoversRows(const TTreeRect& rect) {
    return rect.Bottom > rect.Top;
}

// Where a cell's text sits: at the left edge, at the right edge or centred between the two.
enum class TTextAnchor { Left, Right, Center };

TTextAnchor AnchorOf(TAlignment alignment, bool rightToLeft) {
    switch (alignment) {
    case TAlignment::taCenter:
        return TTextAnchor::Center;
    case TAlignment::taRightJustify:
        return rightToLeft ? TTextAnchor::Left : TTextAnchor::Right;
    case TAlignment::taLeftJustify:
        break;
    }
    return rightToLeft ? TTextAnchor::Right : TTextAnchor::Left;
}

} // namespace

struct TBaseVirtualTree::TBandWalk {
    TColumnIndex MainColumn = NoColumn;
    bool RightToLeft = false;
    // The main column's edges in tree coordinates; the indentation grows from the reading side.
    int ColumnLeft = 0;
    int ColumnRight = 0;
    TTextAnchor Anchor = TTextAnchor::Left;
    TTreeRect NewRect;
    TTreeRect OldRect;
    bool Toggle = false;
    bool Simple = false;
    bool CheckSupport = false;
    bool ShowRoot = true;
    bool AutoSpan = false;
};

std::optional<TTreeRect> TBaseVirtualTree::RubberBandRect() const {
    if (!IsRubberBandActive())
        return std::nullopt;
    return Ordered(newSelectionRect_);
}

TTreeMousePoint TBaseVirtualTree::ClampToTree(int x, int y) const {
    const std::int64_t maxX = std::max(Host().ClientWidth(), RangeWidth);
    const std::int64_t maxY = std::max<std::int64_t>(Host().ClientHeight(), RangeHeight());
    const std::int64_t treeX = std::clamp<std::int64_t>(std::int64_t{x} - offsetX_, 0, maxX);
    const std::int64_t treeY = std::clamp<std::int64_t>(std::int64_t{y} - offsetY_, 0, maxY);
    return TTreeMousePoint{CheckedCast<int>(treeX), CheckedCast<int>(treeY)};
}

bool TBaseVirtualTree::UpdateSelectionRect(int x, int y) {
    if (InState(TreeState::tsDrawSelecting))
        lastSelRect_ = newSelectionRect_;
    const TTreeMousePoint corner = ClampToTree(x, y);
    newSelectionRect_.Right = corner.X;
    newSelectionRect_.Bottom = corner.Y;
    return !(lastSelRect_ == newSelectionRect_);
}

bool TBaseVirtualTree::HandleDrawSelection() {
    if (root_->TotalCount <= 1 || !InState(TreeState::tsDrawSelecting))
        return false;
    const TTreeRect oldRect = Ordered(lastSelRect_);
    const TTreeRect newRect = Ordered(newSelectionRect_);
    ClearNodeCache();

    TColumnIndex mainColumn = NoColumn;
    TAlignment alignment = Properties().Alignment();
    bool rightToLeft = false;
    int nodeLeft = 0;
    int maxX = Host().ClientWidth();
    if (headerBridge_ && Header().UseColumns()) {
        mainColumn = Header().MainColumn();
        const TVirtualTreeColumn& column = Header().Columns()[mainColumn];
        alignment = column.Alignment();
        rightToLeft = column.BiDiMode() != TBiDiMode::bdLeftToRight;
        nodeLeft = CheckedSub(column.GetLeft(), offsetX_);
        maxX = CheckedAdd(nodeLeft, column.Width());
    }
    const bool changed =
        rightToLeft ? CollectSelectedNodesRTL(mainColumn, nodeLeft, maxX, alignment, newRect, oldRect)
                    : CollectSelectedNodesLTR(mainColumn, nodeLeft, maxX, alignment, newRect, oldRect);
    if (changed) {
        PackSelection();
        std::vector<PVirtualNode> added = nodeCache_;
        ClearNodeCache();
        if (!added.empty())
            InternalAddToSelection(added, false);
        Change(nullptr);
    }
    return changed;
}

bool TBaseVirtualTree::CollectSelectedNodesLTR(TColumnIndex mainColumn, int nodeLeft, int maxX,
                                               TAlignment alignment, const TTreeRect& newRect,
                                               const TTreeRect& oldRect) {
    TBandWalk walk;
    walk.MainColumn = mainColumn;
    walk.ColumnLeft = nodeLeft;
    walk.ColumnRight = maxX;
    walk.Anchor = AnchorOf(alignment, false);
    walk.NewRect = newRect;
    walk.OldRect = oldRect;
    return CollectSelectedNodes(walk);
}

bool TBaseVirtualTree::CollectSelectedNodesRTL(TColumnIndex mainColumn, int nodeLeft, int maxX,
                                               TAlignment alignment, const TTreeRect& newRect,
                                               const TTreeRect& oldRect) {
    TBandWalk walk;
    walk.MainColumn = mainColumn;
    walk.RightToLeft = true;
    walk.ColumnLeft = nodeLeft;
    walk.ColumnRight = maxX;
    walk.Anchor = AnchorOf(alignment, true);
    walk.NewRect = newRect;
    walk.OldRect = oldRect;
    return CollectSelectedNodes(walk);
}

// The main column's text may run on over the empty cells that follow it in reading order.
void TBaseVirtualTree::SpanOverEmptyCells(const TBandWalk& walk, PVirtualNode node, std::int64_t& left,
                                          std::int64_t& right) {
    const TVirtualTreeColumns& columns = Header().Columns();
    for (TColumnIndex column = walk.RightToLeft ? columns.GetPreviousVisibleColumn(walk.MainColumn)
                                                : columns.GetNextVisibleColumn(walk.MainColumn);
         column >= 0; column = walk.RightToLeft ? columns.GetPreviousVisibleColumn(column)
                                                : columns.GetNextVisibleColumn(column)) {
        const bool sameReading = (columns[column].BiDiMode() != TBiDiMode::bdLeftToRight) == walk.RightToLeft;
        if (!sameReading || !DoGetCellIsEmpty(node, column))
            break;
        if (walk.RightToLeft)
            left -= columns[column].Width();
        else
            right += columns[column].Width();
    }
}

// Whether a row lies in the old and in the new band: by its text extent, or by the row alone in the simple
// mode. The text is measured only when the band's edges do not settle the question without it.
void TBaseVirtualTree::BandMembership(const TBandWalk& walk, PVirtualNode node, int nodeTop, int nextTop,
                                      int level, bool& inOld, bool& inNew) {
    const TTreeRect& o = walk.OldRect;
    const TTreeRect& n = walk.NewRect;
    const bool rowInOld = nextTop > o.Top && nodeTop < o.Bottom;
    const bool rowInNew = nextTop > n.Top && nodeTop < n.Bottom;
    if (walk.Simple) {
        inOld = rowInOld;
        inNew = rowInNew;
        return;
    }

    std::int64_t decoration = std::int64_t{level + (walk.ShowRoot ? 1 : 0)} * Indent + Margin;
    if (walk.CheckSupport && ColumnFitMetrics.CheckImageWidth > 0 && CheckType(node) != TCheckType::ctNone)
        decoration += ColumnFitMetrics.CheckImageWidth + 2;
    bool ghosted = false;
    if (ColumnFitMetrics.ImageWidth > 0 &&
        DoGetImageIndex(node, TVTImageKind::ikNormal, walk.MainColumn, ghosted, -1) > -1)
        decoration += ColumnFitMetrics.ImageWidth + 2;
    if (ColumnFitMetrics.StateImageWidth > 0 &&
        DoGetImageIndex(node, TVTImageKind::ikState, walk.MainColumn, ghosted, -1) > -1)
        decoration += ColumnFitMetrics.StateImageWidth + 2;

    std::int64_t textLeft = walk.ColumnLeft;
    std::int64_t textRight = walk.ColumnRight;
    if (walk.AutoSpan)
        SpanOverEmptyCells(walk, node, textLeft, textRight);
    if (walk.RightToLeft)
        textRight -= decoration;
    else
        textLeft += decoration;

    bool measure = true;
    if (walk.Anchor == TTextAnchor::Left && textLeft >= n.Left && textLeft >= o.Left)
        measure = false; // both bands begin left of the text: its width cannot matter
    if (walk.Anchor == TTextAnchor::Right && textRight <= n.Right && textRight <= o.Right)
        measure = false;
    if (measure) {
        const std::int64_t width = GetNodeWidth(node, walk.MainColumn);
        if (width < textRight - textLeft) {
            switch (walk.Anchor) {
            case TTextAnchor::Left:
                textRight = textLeft + width;
                break;
            case TTextAnchor::Right:
                textLeft = textRight - width;
                break;
            case TTextAnchor::Center:
                textLeft = (textLeft + textRight - width) / 2;
                textRight = textLeft + width;
                break;
            }
        }
    }
    inOld = rowInOld && textRight >= o.Left && o.Right >= textLeft;
    inNew = rowInNew && textRight >= n.Left && n.Right >= textLeft;
}

bool TBaseVirtualTree::CollectSelectedNodes(const TBandWalk& given) {
    TBandWalk walk = given;
    walk.Toggle = (drawSelShiftState_ & ssCtrl) != 0;
    walk.Simple = TreeOptions().SelectionOptions().Has(TVTSelectionOption::toSimpleDrawSelection);
    walk.CheckSupport = TreeOptions().MiscOptions().Has(TVTMiscOption::toCheckSupport);
    walk.ShowRoot = TreeOptions().PaintOptions().Has(TVTPaintOption::toShowRoot);
    walk.AutoSpan = walk.MainColumn >= 0 && TreeOptions().AutoOptions().Has(TVTAutoOption::toAutoSpanColumns);

    // Only rows covered by one of the bands can change; a band without height covers none.
    const bool oldRows = CoversRows(walk.OldRect);
    const bool newRows = CoversRows(walk.NewRect);
    if (!oldRows && !newRows)
        return false;
    const int top = !oldRows   ? walk.NewRect.Top
                    : !newRows ? walk.OldRect.Top
                               : std::min(walk.OldRect.Top, walk.NewRect.Top);
    const int bottom = !oldRows   ? walk.NewRect.Bottom
                       : !newRows ? walk.OldRect.Bottom
                                  : std::max(walk.OldRect.Bottom, walk.NewRect.Bottom);

    int nodeTop = 0;
    PVirtualNode node = GetNodeAt(0, top, false, nodeTop);
    bool changed = false;
    while (node != nullptr) {
        const int nextTop = CheckedAdd(nodeTop, static_cast<int>(NodeHeight(node)));
        bool inOld = false;
        bool inNew = false;
        BandMembership(walk, node, nodeTop, nextTop, static_cast<int>(GetNodeLevel(node)), inOld, inNew);
        if (inOld != inNew) {
            const bool select = walk.Toggle ? !Selected(node) : inNew;
            if (select)
                AddToNodeCache(node);
            else
                InternalRemoveFromSelection(node);
            changed = true;
        }
        nodeTop = nextTop;
        if (nodeTop > bottom)
            break;
        node = GetNextVisibleNoInit(node);
    }
    return changed;
}

} // namespace tarvola
