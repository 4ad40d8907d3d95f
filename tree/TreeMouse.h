// The tree's mouse side as the core sees it: a button message with its hit, and the narrow port through
// which the core reaches the window for what a mouse needs (capture, focus, the drag threshold, partial
// repaints, popup menus). Auto-scroll, wheel panning and the OLE drag loop are reached through the same
// port; their defaults do nothing, so a tree without them still clicks, selects and bands.
#pragma once

#include "tree/TreeTypes.h"

namespace tarvola {

// A point in client coordinates.
struct TTreeMousePoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TTreeMousePoint&) const = default;
};

// The modifier keys of a mouse message, as the form layer's shift state bits (ssShift, ssCtrl, ssAlt).
using TTreeShiftState = unsigned;

// What lies under a point: the node (nil: none), where on its cell (the hp... bits of tree/HitTest.h), and
// the column (NoColumn: the tree has no visible columns; InvalidColumn: no column at the point).
struct THitInfo {
    PVirtualNode HitNode = nullptr;
    std::uint16_t HitPositions = 0;
    TColumnIndex HitColumn = NoColumn;
    bool Has(std::uint16_t positions) const { return (HitPositions & positions) != 0; }
};

// One button message: the modifier keys held and the point in client coordinates.
struct TTreeMouseMessage {
    TTreeShiftState Shift = 0;
    int X = 0;
    int Y = 0;
};

class ITreeMousePort {
public:
    virtual ~ITreeMousePort() = default;

    virtual void CaptureMouse() {}
    virtual void ReleaseMouse() {}
    virtual bool Focused() const { return true; }
    // Gives the window the focus when it can take it.
    virtual void TakeFocus() {}
    // How far the mouse must move from the press before a band or a drag starts (either direction).
    virtual TTreeMousePoint DragThreshold() const { return TTreeMousePoint{4, 4}; }
    // Repaints a part of the client area; false: the port cannot, the caller repaints everything.
    virtual bool InvalidateClientRect(int /*left*/, int /*top*/, int /*right*/, int /*bottom*/) {
        return false;
    }
    // Paints what is invalid now.
    virtual void UpdateNow() {}

    // The control's own popup menu, and the node menus the owner gives (client point).
    virtual bool HasControlPopupMenu() const { return false; }
    virtual bool HasNodePopupMenu(PVirtualNode /*node*/, TColumnIndex /*column*/,
                                  TTreeMousePoint /*client*/) {
        return false;
    }
    // Shows the node's menu when the owner gives one; false when there was none.
    virtual bool ShowNodePopupMenu(PVirtualNode /*node*/, TColumnIndex /*column*/,
                                   TTreeMousePoint /*client*/) {
        return false;
    }

    // Auto-scroll while a band or a drag nears the edges.
    virtual bool CanAutoScroll() { return false; }
    virtual void UpdateAutoScroll(int /*x*/, int /*y*/) {}
    // Wheel panning with the middle button.
    virtual void StartWheelPanning(TTreeMousePoint /*client*/) {}
    virtual void StopWheelPanning() {}
    virtual void SetWheelPanningCursor(int /*x*/, int /*y*/) {}
    // Runs the platform's drag loop for the selected nodes, from a client point.
    virtual void StartOleDrag(TTreeMousePoint /*client*/) {}
    // The pending hint is dropped (a button went up).
    virtual void CancelHint() {}
};

} // namespace tarvola
