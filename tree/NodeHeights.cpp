// Row heights and subtree totals, visibility in the layout sense, and the lookups built on them: the node
// at a position, the rectangle of a node, the top node.
#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/HitTest.h"
#include "tree/TreeProperties.h"
#include "tree/VirtualTrees.h"

#include "base/Numerics.h"

#include <algorithm>
#include <limits>

namespace tarvola {

namespace {

std::uint32_t AddChecked(std::uint32_t value, std::int64_t difference) {
    return CheckedCast<std::uint32_t>(static_cast<std::int64_t>(value) + difference);
}

} // namespace

// The whole chain is checked before anything is written, so that an overflow leaves the totals intact.
void TBaseVirtualTree::AdjustTotalCount(PVirtualNode node, std::int64_t value, bool relative) {
    const std::int64_t difference = relative ? value : value - node->TotalCount;
    if (difference == 0)
        return;
    for (PVirtualNode run = node; run != nullptr; run = run == root_ ? nullptr : run->Parent)
        AddChecked(run->TotalCount, difference);
    for (PVirtualNode run = node; run != nullptr; run = run == root_ ? nullptr : run->Parent)
        run->TotalCount = AddChecked(run->TotalCount, difference);
}

void TBaseVirtualTree::AdjustTotalHeight(PVirtualNode node, std::int64_t value, bool relative) {
    const std::int64_t difference = relative ? value : value - node->TotalHeight;
    if (difference == 0)
        return;
    auto next = [this](PVirtualNode run) -> PVirtualNode {
        if (run == root_ || (run->States & nsVisible) == 0)
            return nullptr;
        PVirtualNode parent = run->Parent;
        return parent != nullptr && (parent->States & nsExpanded) != 0 ? parent : nullptr;
    };
    for (PVirtualNode run = node; run != nullptr; run = next(run))
        AddChecked(run->TotalHeight, difference);
    for (PVirtualNode run = node; run != nullptr; run = next(run))
        run->TotalHeight = AddChecked(run->TotalHeight, difference);
}

std::uint32_t TBaseVirtualTree::NodeHeight(PVirtualNode node) {
    if (node == nullptr || node == root_)
        return 0;
    if (Options.VariableNodeHeight)
        MeasureItemHeight(node);
    return node->NodeHeight;
}

void TBaseVirtualTree::SetNodeHeight(PVirtualNode node, std::uint32_t value) {
    if (node == nullptr || node == root_ || value == node->NodeHeight || Options.ReadOnly)
        return;
    if (value > std::numeric_limits<std::uint16_t>::max())
        throw RangeError("Node height out of range (" + std::to_string(value) + ")");
    // Always stops the worker first: it may be reading this very row.
    InterruptValidation();
    ApplyRowHeightChange(node, static_cast<std::int64_t>(value) - node->NodeHeight);
    if (FullyVisible(node)) {
        InvalidateCache();
        if (updateCount_ == 0) {
            ValidateCache();
            InvalidateToBottom(node);
            Host().UpdateScrollBars(true);
        }
    }
}

void TBaseVirtualTree::ApplyRowHeightChange(PVirtualNode node, std::int64_t difference) {
    AdjustTotalHeight(node, difference, true);
    node->NodeHeight = static_cast<std::uint16_t>(node->NodeHeight + difference);
}

void TBaseVirtualTree::MeasureItemHeight(PVirtualNode node) {
    if ((node->States & nsHeightMeasured) != 0)
        return;
    node->States |= nsHeightMeasured;
    const int height = DoMeasureItem(Host().Canvas(), node, node->NodeHeight);
    if (height < 0)
        throw RangeError("Node height out of range (" + std::to_string(height) + ")");
    if (static_cast<std::uint32_t>(height) != node->NodeHeight)
        SetNodeHeight(node, static_cast<std::uint32_t>(height));
}

void TBaseVirtualTree::SetDefaultNodeHeight(std::uint32_t value) {
    if (value == 0)
        value = DefaultNodeHeightValue;
    if (value > std::numeric_limits<std::uint16_t>::max())
        throw RangeError("Node height out of range (" + std::to_string(value) + ")");
    if (value == defaultNodeHeight_)
        return;
    InterruptValidation();
    DoStateChange({TreeState::tsNeedScale});
    const std::int64_t difference = static_cast<std::int64_t>(value) - defaultNodeHeight_;
    root_->TotalHeight = AddChecked(root_->TotalHeight, difference);
    root_->NodeHeight = static_cast<std::uint16_t>(value);
    defaultNodeHeight_ = value;
    InvalidateCache();
    if (updateCount_ == 0 && Host().HasWindow()) {
        ValidateCache();
        Host().UpdateScrollBars(true);
        Host().InvalidateAll();
    }
}

bool TBaseVirtualTree::FullyVisible(PVirtualNode node) const {
    TreeAssert(node != nullptr, "Invalid parameter.");
    return (node->States & nsVisible) != 0 && (node == root_ || VisiblePath(node));
}

bool TBaseVirtualTree::VisiblePath(PVirtualNode node) const {
    TreeAssert(node != nullptr && node != root_, "Invalid parameters.");
    for (PVirtualNode parent = node->Parent; parent != root_; parent = parent->Parent) {
        if (parent == nullptr)
            return false; // a detached subtree
        if ((parent->States & (nsExpanded | nsVisible)) != (nsExpanded | nsVisible))
            return false;
    }
    return true;
}

std::uint32_t TBaseVirtualTree::CountVisibleChildren(PVirtualNode node) const {
    if ((node->States & nsExpanded) == 0)
        return 0;
    std::uint32_t count = 0;
    for (PVirtualNode child = node->FirstChild; child != nullptr; child = child->NextSibling)
        if ((child->States & nsVisible) != 0)
            count = CheckedAdd(count, 1 + CountVisibleChildren(child));
    return count;
}

int TBaseVirtualTree::CompareNodePositions(PVirtualNode node1, PVirtualNode node2) {
    TreeAssert(node1 != nullptr && node2 != nullptr, "Nodes must never be nil.");
    if (node1 == node2)
        return 0;
    if (HasAsAncestor(node1, node2))
        return 1;
    if (HasAsAncestor(node2, node1))
        return -1;
    std::uint32_t level1 = GetNodeLevel(node1);
    std::uint32_t level2 = GetNodeLevel(node2);
    for (; level1 > level2; --level1)
        node1 = node1->Parent;
    for (; level2 > level1; --level2)
        node2 = node2->Parent;
    while (node1->Parent != node2->Parent) {
        node1 = node1->Parent;
        node2 = node2->Parent;
    }
    return node1->Index < node2->Index ? -1 : node1->Index > node2->Index ? 1 : 0;
}

PVirtualNode TBaseVirtualTree::GetNodeAt(int x, int y) {
    int top = 0;
    return GetNodeAt(x, y, true, top);
}

PVirtualNode TBaseVirtualTree::GetNodeAt(int, int y, bool relative, int& nodeTop) {
    std::int64_t position = std::max(y, 0);
    if (relative)
        position = std::max<std::int64_t>(position - offsetY_, 0);
    PVirtualNode node = nullptr;
    std::uint32_t cacheTop = 0;
    std::int64_t top = 0;
    if (InState(TreeState::tsUseCache) &&
        FindInCacheByPosition(static_cast<std::uint32_t>(std::min<std::int64_t>(position, UINT32_MAX)), node,
                              cacheTop))
        top = cacheTop;
    else
        node = GetFirstVisibleNoInit();
    while (node != nullptr && node != root_) {
        const bool visible = (node->States & nsVisible) != 0;
        if (visible && top + node->TotalHeight > position) {
            if (top + node->NodeHeight > position || node->FirstChild == nullptr ||
                (node->States & nsExpanded) == 0) {
                nodeTop = static_cast<int>(relative ? top + offsetY_ : top);
                return node;
            }
            top += node->NodeHeight;
            node = node->FirstChild;
            continue;
        }
        if (visible)
            top += node->TotalHeight;
        while (node != root_ && node->NextSibling == nullptr)
            node = node->Parent;
        if (node != root_)
            node = node->NextSibling;
    }
    return nullptr;
}

// The top of a fully visible node's row in the whole tree.
std::uint32_t TBaseVirtualTree::NodeTop(PVirtualNode node) {
    PVirtualNode run = nullptr;
    std::uint32_t top = 0;
    if (!InState(TreeState::tsUseCache) || !FindInCacheByNode(node, run, top)) {
        run = GetFirstVisibleNoInit();
        top = 0;
    }
    const TRowTopHint& hint = rowTopHint_;
    if (hint.Active && hint.Node != nullptr && CompareNodePositions(hint.Node, node) <= 0 &&
        (run == nullptr || CompareNodePositions(run, hint.Node) < 0)) {
        run = hint.Node;
        top = hint.Top;
    }
    std::uint64_t sum = top;
    for (; run != nullptr && run != node; run = GetNextVisibleNoInit(run))
        sum = CheckedAdd<std::uint64_t>(sum, run->NodeHeight);
    const std::uint32_t result = CheckedCast<std::uint32_t>(sum);
    if (rowTopHint_.Active && run == node) {
        rowTopHint_.Node = node;
        rowTopHint_.Top = result;
    }
    return result;
}

// Sorted into row order, each node's lookup goes on from the previous one, so that the whole costs one walk
// over the rows rather than one per node.
void TBaseVirtualTree::InvalidateNodesInRowOrder(std::vector<PVirtualNode> nodes) {
    std::sort(nodes.begin(), nodes.end(),
              [](PVirtualNode a, PVirtualNode b) { return CompareNodePositions(a, b) < 0; });
    struct HintScope {
        TRowTopHint& hint;
        explicit HintScope(TRowTopHint& h) : hint(h) { hint = {true, nullptr, 0}; }
        ~HintScope() { hint = {}; }
    } scope(rowTopHint_);
    for (PVirtualNode node : nodes)
        InvalidateNode(node);
}

namespace {

TAlignment MirroredAlignment(TAlignment alignment) {
    if (alignment == TAlignment::taLeftJustify)
        return TAlignment::taRightJustify;
    if (alignment == TAlignment::taRightJustify)
        return TAlignment::taLeftJustify;
    return alignment;
}

// Gives rect the text's width, placed by the alignment.
void FitToText(TTreeRect& rect, int textWidth, TAlignment alignment) {
    switch (alignment) {
    case TAlignment::taLeftJustify:
        rect.Right = CheckedAdd(rect.Left, textWidth);
        break;
    case TAlignment::taRightJustify:
        rect.Left = CheckedSub(rect.Right, textWidth);
        break;
    default:
        rect.Left = CheckedSub(CheckedAdd(rect.Left, rect.Right), textWidth) / 2;
        rect.Right = CheckedAdd(rect.Left, textWidth);
        break;
    }
}

} // namespace

TTreeRect TBaseVirtualTree::GetDisplayRect(PVirtualNode node, TColumnIndex column, bool textOnly,
                                           bool unclipped) {
    TreeAssert(node != nullptr, "Node must not be nil.");
    TreeAssert(node != root_, "Node must not be the hidden root node.");
    if ((node->States & nsInitialized) == 0)
        InitNode(node);
    if ((node->States & nsVisible) == 0)
        return {};
    // Without columns the header's main column is NoColumn, so that a whole row counts as the main column.
    const bool mainColumn = column == (headerBridge_ ? Header().MainColumn() : NoColumn);
    int indent = 0;
    for (PVirtualNode parent = node->Parent; parent != root_; parent = parent->Parent) {
        if ((parent->States & (nsVisible | nsExpanded)) != (nsVisible | nsExpanded))
            return {};
        if (mainColumn)
            indent = CheckedAdd(indent, Indent);
    }
    const std::int64_t top = NodeTop(node);
    TTreeRect rect;
    rect.Top = CheckedCast<int>(top + offsetY_);
    rect.Bottom = CheckedCast<int>(top + offsetY_ + node->NodeHeight);
    rect.Left = 0;
    rect.Right = std::max(Host().ClientWidth(), RangeWidth);
    if (column <= NoColumn) {
        rect.Left = CheckedAdd(rect.Left, offsetX_);
        rect.Right = CheckedAdd(rect.Right, offsetX_);
    } else if (headerBridge_ && Header().UseColumns() && Header().Columns().IsValidColumn(column)) {
        // A cell spans its column, whose borders the header keeps in client coordinates already.
        int left = 0;
        int right = 0;
        Header().Columns().GetColumnBounds(column, left, right);
        rect.Left = left;
        rect.Right = right - 1;
    }
    if (textOnly)
        NarrowToText(rect, node, column, mainColumn, indent, unclipped);
    return rect;
}

void TBaseVirtualTree::NarrowToText(TTreeRect& rect, PVirtualNode node, TColumnIndex column, bool mainColumn,
                                    int indent, bool unclipped) {
    // The text comes after the margin, the indent, the check image and the images, as the painter lays
    // the cell out (the check image and the indent only in the main column).
    const TCellHitLayout cell = CellLayout(node, column, mainColumn);
    int offset = Margin;
    if (mainColumn) {
        offset = CheckedAdd(offset, CheckedAdd(indent, cell.ShowRoot ? Indent : 0));
        if (cell.CheckShown)
            offset = CheckedAdd(offset, cell.CheckImageWidth + 2);
    }
    if (cell.StateImageWidth > 0)
        offset = CheckedAdd(offset, cell.StateImageWidth + 2);
    if (cell.NormalImageWidth > 0)
        offset = CheckedAdd(offset, cell.NormalImageWidth + 2);

    TAlignment alignment = Properties().Alignment();
    bool rightToLeft = false;
    if (column > NoColumn && headerBridge_ && Header().Columns().IsValidColumn(column)) {
        const TVirtualTreeColumn& header = Header().Columns()[column];
        alignment = header.Alignment();
        rightToLeft = header.BiDiMode() != TBiDiMode::bdLeftToRight;
    }
    if (rightToLeft) {
        rect.Right = CheckedSub(rect.Right, offset);
        alignment = MirroredAlignment(alignment);
    } else {
        rect.Left = CheckedAdd(rect.Left, offset);
    }
    const int space = CheckedSub(rect.Right, rect.Left);
    if (!unclipped) {
        if (space > cell.TextWidth)
            FitToText(rect, cell.TextWidth, alignment);
    } else if (space < cell.TextWidth) {
        // The whole text, even where it leaves the cell, from the side the reading starts at.
        FitToText(rect, cell.TextWidth, rightToLeft ? TAlignment::taRightJustify : TAlignment::taLeftJustify);
    }
}

TTreeRect TBaseVirtualTree::GetTreeRect() const {
    return {0, 0, std::max(RangeWidth, Host().ClientWidth()),
            std::max(CheckedCast<int>(RangeHeight()), Host().ClientHeight())};
}

PVirtualNode TBaseVirtualTree::TopNode() {
    int top = 0;
    return GetNodeAt(0, 0, true, top);
}

void TBaseVirtualTree::SetTopNode(PVirtualNode node) {
    if (node == nullptr || node == root_)
        return;
    for (PVirtualNode parent = node->Parent; parent != root_; parent = parent->Parent)
        if ((parent->States & nsExpanded) == 0)
            ToggleNode(parent);
    const TTreeRect rect = GetDisplayRect(node, NoColumn, false, true);
    SetOffsetY(offsetY_ - rect.Top);
}

void TBaseVirtualTree::InvalidateToBottom(PVirtualNode node) {
    if (updateCount_ > 0 || !Host().HasWindow())
        return;
    if (node == nullptr || node == root_) {
        Host().InvalidateAll();
        return;
    }
    if ((node->States & nsInitialized) == 0 || !FullyVisible(node))
        return;
    const TTreeRect rect = GetDisplayRect(node, NoColumn, false, true);
    if (rect.Top < Host().ClientHeight())
        Host().InvalidateRows(rect.Top, Host().ClientHeight());
}

void TBaseVirtualTree::InvalidateNode(PVirtualNode node) {
    if (node == nullptr || node == root_ || !Host().HasWindow() || !FullyVisible(node))
        return;
    const TTreeRect rect = GetDisplayRect(node, NoColumn, false, true);
    Host().InvalidateRows(rect.Top, rect.Bottom);
}

} // namespace tarvola
