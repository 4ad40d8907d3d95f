// The tree's side of its header: the tree answers the header's questions (widths, offsets, options) and
// fires the header events as its own. The window side fills the hooks below once it exists: repainting the
// header in the non-client area, recomputing the frame when the header's height changes, and the animation
// of a column resize.
#pragma once

#include "tree/Delegate.h"
#include "tree/Header.h"

#include <functional>

namespace tarvola {

class TBaseVirtualTree;

using TVTHeaderClickEvent =
    Delegate<void(TBaseVirtualTree&, TColumnIndex, TMouseButton, TShiftState, int x, int y)>;
using TVTHeaderMouseEvent = Delegate<void(TBaseVirtualTree&, TMouseButton, TShiftState, int x, int y)>;
using TVTHeaderMouseMoveEvent = Delegate<void(TBaseVirtualTree&, TShiftState, int x, int y)>;
using TVTHeaderDraggingEvent = Delegate<void(TBaseVirtualTree&, TColumnIndex, bool& allowed)>;
using TVTHeaderDraggedEvent = Delegate<void(TBaseVirtualTree&, TColumnIndex, int oldPosition)>;
using TVTHeaderDraggedOutEvent = Delegate<void(TBaseVirtualTree&, TColumnIndex, TVTPoint screen)>;
using TVTColumnResizeEvent = Delegate<void(TBaseVirtualTree&, TColumnIndex)>;

struct TVTHeaderEvents {
    TVTHeaderClickEvent OnHeaderClick;
    TVTHeaderClickEvent OnHeaderDblClick;
    TVTHeaderMouseEvent OnHeaderMouseDown;
    TVTHeaderMouseEvent OnHeaderMouseUp;
    TVTHeaderMouseMoveEvent OnHeaderMouseMove;
    TVTHeaderDraggingEvent OnHeaderDragging;
    TVTHeaderDraggedEvent OnHeaderDragged;
    TVTHeaderDraggedOutEvent OnHeaderDraggedOut;
    TVTColumnResizeEvent OnColumnResize;
};

class TTreeHeaderBridge : public IHeaderTree {
public:
    explicit TTreeHeaderBridge(TBaseVirtualTree& tree);

    TVTHeader& Header() { return header_; }
    TVTHeaderEvents Events;
    // Window hooks (unset: nothing happens).
    std::function<void(int left, int right)> OnInvalidateHeader;
    std::function<void()> OnRecalculateHeader;
    std::function<void(TColumnIndex, int newWidth)> OnAnimateColumnResize;

    bool HasWindow() const override;
    int ClientWidth() const override;
    int OffsetX() const override;
    bool Updating() const override;
    bool ExtendedFocus() const override;
    bool AutoSort() const override;
    void InvalidateTree() override;
    void InvalidateHeader(int left, int right) override;
    void UpdateHorizontalScrollBar() override;
    void RecalculateHeader() override;
    void SetFocusedColumn(TColumnIndex column) override;
    void MainColumnChanged() override;
    void CancelEditNode() override;
    void SortTree(TColumnIndex column, TSortDirection direction) override;
    int GetMaxColumnWidth(TColumnIndex column) override;
    void AnimateColumnResize(TColumnIndex column, int newWidth) override;

    void DoColumnResize(TColumnIndex column) override;
    void DoHeaderClick(TColumnIndex, TMouseButton, TShiftState, int x, int y) override;
    void DoHeaderDblClick(TColumnIndex, TMouseButton, TShiftState, int x, int y) override;
    void DoHeaderMouseDown(TMouseButton, TShiftState, int x, int y) override;
    void DoHeaderMouseUp(TMouseButton, TShiftState, int x, int y) override;
    void DoHeaderMouseMove(TShiftState, int x, int y) override;
    bool DoHeaderDragging(TColumnIndex column) override;
    void DoHeaderDragged(TColumnIndex column, int oldPosition) override;
    void DoHeaderDraggedOut(TColumnIndex column, TVTPoint screen) override;

private:
    TBaseVirtualTree& tree_;
    TVTHeader header_;
};

} // namespace tarvola
