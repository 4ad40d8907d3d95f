// The tree's side of painting: the paint events with their dispatchers, the overridable steps the painter
// calls per cell, and repainting one node's row.
#include "tree/CheckImages.h"
#include "tree/Columns.h"
#include "tree/Header.h"
#include "tree/TreeControlPort.h"
#include "tree/TreePaintLayout.h"
#include "tree/VirtualTrees.h"

namespace tarvola {

void TBaseVirtualTree::RepaintNode(PVirtualNode node) {
    if (node == nullptr || node == root_ || !Host().HasWindow() || !FullyVisible(node))
        return;
    const TTreeRect rect = GetDisplayRect(node, NoColumn, false, true);
    Host().InvalidateRows(rect.Top, rect.Bottom);
    ControlPort().UpdateWindow();
}

void TBaseVirtualTree::PaintNodeContent(TVTPaintInfo&) {}

void TBaseVirtualTree::AdjustPaintCellRect(TVTPaintInfo& paintInfo, TColumnIndex& nextNonEmpty) {
    const TVirtualTreeColumns& columns = Header().Columns();
    nextNonEmpty = columns.IsValidColumn(paintInfo.Column) ? columns.GetNextVisibleColumn(paintInfo.Column)
                                                           : InvalidColumn;
    if (!columns.IsValidColumn(nextNonEmpty))
        nextNonEmpty = InvalidColumn;
}

int TBaseVirtualTree::GetImageIndex(PVirtualNode node, TVTImageKind kind, TColumnIndex column,
                                    bool& ghosted) {
    ghosted = false;
    return DoGetImageIndex(node, kind, column, ghosted, -1);
}

int TBaseVirtualTree::GetCheckImageIndex(PVirtualNode node) {
    const bool enabled = (node->States & nsDisabled) == 0 && ControlEnabled;
    return tarvola::GetCheckImageIndex(CheckType(node), CheckState(node), enabled, node == hotNode_);
}

void TBaseVirtualTree::DoBeforePaint(TCanvas* canvas) {
    if (OnBeforePaint)
        OnBeforePaint(*this, canvas);
}

void TBaseVirtualTree::DoAfterPaint(TCanvas* canvas) {
    if (OnAfterPaint)
        OnAfterPaint(*this, canvas);
}

void TBaseVirtualTree::DoBeforeItemErase(TCanvas* canvas, PVirtualNode node, const TTreeRect& r,
                                         std::uint32_t& color, TItemEraseAction& eraseAction) {
    if (OnBeforeItemErase)
        OnBeforeItemErase(*this, canvas, Published(node), r, color, eraseAction);
}

void TBaseVirtualTree::DoAfterItemErase(TCanvas* canvas, PVirtualNode node, const TTreeRect& r) {
    if (OnAfterItemErase)
        OnAfterItemErase(*this, canvas, Published(node), r);
}

bool TBaseVirtualTree::DoBeforeItemPaint(TCanvas* canvas, PVirtualNode node, const TTreeRect& itemRect) {
    bool customDraw = false;
    if (OnBeforeItemPaint)
        OnBeforeItemPaint(*this, canvas, Published(node), itemRect, customDraw);
    return customDraw;
}

void TBaseVirtualTree::DoAfterItemPaint(TCanvas* canvas, PVirtualNode node, const TTreeRect& itemRect) {
    if (OnAfterItemPaint)
        OnAfterItemPaint(*this, canvas, Published(node), itemRect);
}

void TBaseVirtualTree::DoBeforeCellPaint(TCanvas* canvas, PVirtualNode node, TColumnIndex column,
                                         const TTreeRect& cellRect) {
    if (OnBeforeCellPaint)
        OnBeforeCellPaint(*this, canvas, Published(node), column, cellRect);
}

void TBaseVirtualTree::DoAfterCellPaint(TCanvas* canvas, PVirtualNode node, TColumnIndex column,
                                        const TTreeRect& cellRect) {
    if (OnAfterCellPaint)
        OnAfterCellPaint(*this, canvas, Published(node), column, cellRect);
}

bool TBaseVirtualTree::DoPaintBackground(TCanvas* canvas, const TTreeRect& r) {
    bool handled = false;
    if (OnPaintBackground)
        OnPaintBackground(*this, canvas, r, handled);
    return handled;
}

} // namespace tarvola
