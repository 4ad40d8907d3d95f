// The tree's header: created with the first use, answered by the tree, its events fired as the tree's.
#include "tree/HeaderTreeBridge.h"
#include "tree/TextExport.h"

#include "tree/VirtualTrees.h"

#include <algorithm>

namespace tarvola {

TTreeHeaderBridge& TBaseVirtualTree::HeaderBridge() const {
    if (!headerBridge_)
        headerBridge_ = std::make_shared<TTreeHeaderBridge>(const_cast<TBaseVirtualTree&>(*this));
    return *headerBridge_;
}

TVTHeader& TBaseVirtualTree::Header() const {
    return HeaderBridge().Header();
}

TVTHeaderEvents& TBaseVirtualTree::HeaderEvents() const {
    return HeaderBridge().Events;
}

int TBaseVirtualTree::GetMaxColumnWidth(TColumnIndex column) {
    const TColumnFitMetrics& metrics = ColumnFitMetrics;
    const TColumnIndex main = Header().MainColumn();
    const bool isMain = column == main || main == NoColumn;
    int widest = 0;
    for (PVirtualNode node = GetFirstVisible(); node != nullptr; node = GetNextVisible(node)) {
        int width = Margin;
        if (isMain) {
            width += (static_cast<int>(GetNodeLevel(node)) + (Options.ShowRoot ? 1 : 0)) * Indent;
            if (metrics.CheckSupport && metrics.CheckImageWidth > 0 &&
                static_cast<TCheckType>(node->CheckType) != TCheckType::ctNone)
                width += metrics.CheckImageWidth + 2;
        }
        bool ghosted = false;
        if (metrics.ImageWidth > 0 && DoGetImageIndex(node, TVTImageKind::ikNormal, column, ghosted, -1) > -1)
            width += metrics.ImageWidth + 2;
        if (metrics.StateImageWidth > 0 &&
            DoGetImageIndex(node, TVTImageKind::ikState, column, ghosted, -1) > -1)
            width += metrics.StateImageWidth + 2;
        width += GetNodeWidth(node, column);
        widest = std::max(widest, width);
    }
    return widest + (metrics.ShowVertGridLines ? 1 : 0);
}

void TBaseVirtualTree::TreeFontChanged(const TTextFont& font) {
    THeaderFont headerFont;
    headerFont.Color = font.Color;
    headerFont.Height = font.Height;
    headerFont.Name = font.Name;
    headerFont.Style = static_cast<std::int32_t>(font.Style);
    Header().TreeFontChanged(headerFont);
}

TTreeHeaderBridge::TTreeHeaderBridge(TBaseVirtualTree& tree) : tree_(tree), header_(*this) {}

bool TTreeHeaderBridge::HasWindow() const {
    return tree_.Host().HasWindow();
}
int TTreeHeaderBridge::ClientWidth() const {
    return tree_.Host().ClientWidth();
}
int TTreeHeaderBridge::OffsetX() const {
    return tree_.OffsetX();
}
bool TTreeHeaderBridge::Updating() const {
    return tree_.UpdateCount() > 0;
}
bool TTreeHeaderBridge::ExtendedFocus() const {
    return tree_.Options.ExtendedFocus;
}
bool TTreeHeaderBridge::AutoSort() const {
    return tree_.Options.AutoSort;
}

void TTreeHeaderBridge::InvalidateTree() {
    if (HasWindow() && !Updating())
        tree_.Host().InvalidateAll();
}

void TTreeHeaderBridge::InvalidateHeader(int left, int right) {
    if (OnInvalidateHeader)
        OnInvalidateHeader(left, right);
}

void TTreeHeaderBridge::UpdateHorizontalScrollBar() {
    if (HasWindow())
        tree_.Host().UpdateScrollBars(true);
}

void TTreeHeaderBridge::RecalculateHeader() {
    if (OnRecalculateHeader)
        OnRecalculateHeader();
}

void TTreeHeaderBridge::SetFocusedColumn(TColumnIndex column) {
    tree_.SetFocusedColumn(column);
}

void TTreeHeaderBridge::CancelEditNode() {
    tree_.CancelEditNode();
}

void TTreeHeaderBridge::MainColumnChanged() {
    tree_.DoCancelEdit();
    tree_.MainColumnChanged();
}

void TTreeHeaderBridge::SortTree(TColumnIndex column, TSortDirection direction) {
    tree_.SortTree(column, direction, true);
}

int TTreeHeaderBridge::GetMaxColumnWidth(TColumnIndex column) {
    return tree_.GetMaxColumnWidth(column);
}

void TTreeHeaderBridge::AnimateColumnResize(TColumnIndex column, int newWidth) {
    if (OnAnimateColumnResize)
        OnAnimateColumnResize(column, newWidth);
}

void TTreeHeaderBridge::DoColumnResize(TColumnIndex column) {
    if (Events.OnColumnResize)
        Events.OnColumnResize(tree_, column);
}

void TTreeHeaderBridge::DoHeaderClick(TColumnIndex column, TMouseButton button, TShiftState shift, int x,
                                      int y) {
    if (Events.OnHeaderClick)
        Events.OnHeaderClick(tree_, column, button, shift, x, y);
}

void TTreeHeaderBridge::DoHeaderDblClick(TColumnIndex column, TMouseButton button, TShiftState shift, int x,
                                         int y) {
    if (Events.OnHeaderDblClick)
        Events.OnHeaderDblClick(tree_, column, button, shift, x, y);
}

void TTreeHeaderBridge::DoHeaderMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (Events.OnHeaderMouseDown)
        Events.OnHeaderMouseDown(tree_, button, shift, x, y);
}

void TTreeHeaderBridge::DoHeaderMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (Events.OnHeaderMouseUp)
        Events.OnHeaderMouseUp(tree_, button, shift, x, y);
}

void TTreeHeaderBridge::DoHeaderMouseMove(TShiftState shift, int x, int y) {
    if (Events.OnHeaderMouseMove)
        Events.OnHeaderMouseMove(tree_, shift, x, y);
}

bool TTreeHeaderBridge::DoHeaderDragging(TColumnIndex column) {
    bool allowed = true;
    if (Events.OnHeaderDragging)
        Events.OnHeaderDragging(tree_, column, allowed);
    return allowed;
}

void TTreeHeaderBridge::DoHeaderDragged(TColumnIndex column, int oldPosition) {
    if (Events.OnHeaderDragged)
        Events.OnHeaderDragged(tree_, column, oldPosition);
}

void TTreeHeaderBridge::DoHeaderDraggedOut(TColumnIndex column, TVTPoint screen) {
    if (Events.OnHeaderDraggedOut)
        Events.OnHeaderDraggedOut(tree_, column, screen);
}

} // namespace tarvola
