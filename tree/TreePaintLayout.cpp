#include "tree/TreePaintLayout.h"

#include "base/Numerics.h"
#include "tree/DrawingHelpers.h"

#include <algorithm>

namespace tarvola {
namespace {

bool IsRootRecord(PVirtualNode node) {
    return node->NextSibling == node;
}

bool IsTopLevel(PVirtualNode node) {
    return node->Parent != nullptr && IsRootRecord(node->Parent);
}

bool HasVisiblePreviousSibling(PVirtualNode node) {
    for (PVirtualNode sibling = node->PrevSibling; sibling != nullptr; sibling = sibling->PrevSibling)
        if ((sibling->States & nsVisible) != 0)
            return true;
    return false;
}

// The tree line of a node's own level.
TVTLineType OwnLineType(PVirtualNode node) {
    const bool continues = HasVisibleNextSibling(node);
    if (IsTopLevel(node) && !HasVisiblePreviousSibling(node))
        return continues ? TVTLineType::ltBottomRight : TVTLineType::ltRight;
    return continues ? TVTLineType::ltTopDownRight : TVTLineType::ltTopRight;
}

// n / 2 rounded to the nearest integer, halves to the even neighbour.
int HalfToEven(int n) {
    const int quotient = n / 2;
    const int remainder = n % 2;
    if (remainder == 0 || quotient % 2 == 0)
        return quotient;
    return quotient + remainder;
}

} // namespace

bool HasVisibleNextSibling(PVirtualNode node) {
    for (PVirtualNode sibling = node->NextSibling; sibling != nullptr && sibling != node;
         sibling = sibling->NextSibling)
        if ((sibling->States & nsVisible) != 0)
            return true;
    return false;
}

int DetermineLineImageAndSelectLevel(PVirtualNode node, bool showRoot, TLineImage& lineImage) {
    std::vector<PVirtualNode> path; // the top-level ancestor first, node last
    for (PVirtualNode run = node; run != nullptr && !IsRootRecord(run); run = run->Parent)
        path.push_back(run);
    std::reverse(path.begin(), path.end());
    int selectLevel = 0;
    for (std::size_t i = 0; i + 1 < path.size(); ++i)
        if ((path[i]->States & nsSelected) != 0)
            ++selectLevel;
    const std::size_t first = showRoot ? 0 : 1;
    lineImage.clear();
    for (std::size_t i = first; i < path.size(); ++i) {
        const bool own = i + 1 == path.size();
        if (own)
            lineImage.push_back(OwnLineType(path[i]));
        else
            lineImage.push_back(HasVisibleNextSibling(path[i]) ? TVTLineType::ltTopDown
                                                               : TVTLineType::ltNone);
    }
    return selectLevel;
}

int ButtonXFor(int indentSize, int indent, int buttonWidth) {
    const int levels = CheckedMul(indentSize, indent);
    return CheckedSub(CheckedAdd(levels, HalfToEven(CheckedSub(indent, buttonWidth))), indent);
}

TPaintRowWalker::TPaintRowWalker(TBaseVirtualTree& tree, int windowTop, int indent, int buttonWidth,
                                 bool showRoot)
    : tree_(tree), indent_(indent) {
    int nodeTop = 0;
    row_.Node = tree_.GetNodeAt(0, windowTop, false, nodeTop);
    if (row_.Node == nullptr)
        return;
    row_.Top = nodeTop;
    row_.SelectLevel = DetermineLineImageAndSelectLevel(row_.Node, showRoot, row_.LineImage);
    row_.IndentSize = static_cast<int>(row_.LineImage.size());
    row_.ButtonX = ButtonXFor(row_.IndentSize, indent, buttonWidth);
    EnterRow();
}

void TPaintRowWalker::EnterRow() {
    const PVirtualNode node = row_.Node;
    if ((node->States & nsInitialized) == 0)
        tree_.InitNode(node);
    if ((node->States & nsSelected) != 0)
        ++row_.SelectLevel;
    tree_.MeasureItemHeight(node);
    row_.Height = static_cast<int>(tree_.NodeHeight(node));
}

void TPaintRowWalker::Next() {
    if (Done())
        return;
    const PVirtualNode next = tree_.GetNextVisible(row_.Node);
    row_.Top = CheckedAdd<std::int64_t>(row_.Top, row_.Height);
    if (next == nullptr) {
        row_.Node = nullptr;
        return;
    }
    StepLineImage(next);
    row_.Node = next;
    EnterRow();
}

void TPaintRowWalker::StepLineImage(PVirtualNode next) {
    PVirtualNode node = row_.Node;
    if (next->Parent == node) {
        if (row_.IndentSize > 0)
            row_.LineImage.at(static_cast<std::size_t>(row_.IndentSize - 1)) =
                HasVisibleNextSibling(node) ? TVTLineType::ltTopDown : TVTLineType::ltNone;
        ++row_.IndentSize;
        if (row_.LineImage.size() <= static_cast<std::size_t>(row_.IndentSize))
            row_.LineImage.resize(static_cast<std::size_t>(row_.IndentSize) + 8, TVTLineType::ltNone);
        row_.ButtonX = CheckedAdd(row_.ButtonX, indent_);
    } else {
        if ((node->States & nsSelected) != 0)
            --row_.SelectLevel;
        while (node->Parent != next->Parent && node->Parent != nullptr && !IsRootRecord(node->Parent)) {
            --row_.IndentSize;
            row_.ButtonX = CheckedSub(row_.ButtonX, indent_);
            node = node->Parent;
            if ((node->States & nsSelected) != 0)
                --row_.SelectLevel;
        }
    }
    if (row_.IndentSize > 0)
        row_.LineImage.at(static_cast<std::size_t>(row_.IndentSize - 1)) =
            HasVisibleNextSibling(next) ? TVTLineType::ltTopDownRight : TVTLineType::ltTopRight;
}

TVTInternalPaintOptions RunPaintOptions(TVTInternalPaintOptions options, const TRunOptionInputs& inputs) {
    if (inputs.AlwaysHideSelection || (!inputs.Focused && inputs.HideSelection))
        options &= static_cast<TVTInternalPaintOptions>(~poDrawSelection);
    if (inputs.HideFocusRect)
        options &= static_cast<TVTInternalPaintOptions>(~poDrawFocusRect);
    return options;
}

TVTInternalPaintOptions CellPaintOptions(TVTInternalPaintOptions run, const TCellOptionInputs& inputs) {
    TVTInternalPaintOptions options = run;
    if (inputs.EditingThisCell)
        options &= static_cast<TVTInternalPaintOptions>(~poDrawSelection);
    const bool fullRowHighlight = inputs.SelectedFullRow && (run & poDrawSelection) != 0;
    if (!inputs.HasColumns || fullRowHighlight || inputs.ParentColor)
        options &= static_cast<TVTInternalPaintOptions>(~poColumnColor);
    return options;
}

TTreeRect SelectionInnerRect(const TTreeRect& content, TAlignment alignment, int nodeWidth) {
    TTreeRect inner = content;
    const int width = inner.Right - inner.Left;
    switch (alignment) {
    case TAlignment::taLeftJustify:
        inner.Right = std::min(CheckedAdd(inner.Left, nodeWidth), inner.Right);
        break;
    case TAlignment::taRightJustify:
        if (nodeWidth < width)
            inner.Left = inner.Right - nodeWidth;
        break;
    case TAlignment::taCenter:
        if (nodeWidth < width) {
            inner.Left = (inner.Left + inner.Right - nodeWidth) / 2;
            inner.Right = inner.Left + nodeWidth;
        }
        break;
    }
    return inner;
}

TAlignment MirroredAlignment(TAlignment alignment, TBiDiMode bidiMode) {
    if (bidiMode == TBiDiMode::bdLeftToRight)
        return alignment;
    if (alignment == TAlignment::taLeftJustify)
        return TAlignment::taRightJustify;
    if (alignment == TAlignment::taRightJustify)
        return TAlignment::taLeftJustify;
    return alignment;
}

TTreeRect OrderedBand(const TTreeRect& band) {
    return OrderRect(band);
}

} // namespace tarvola
