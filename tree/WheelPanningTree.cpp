// Wheel panning: the middle button shows the panning window at the click point and the tree scrolls towards
// the pointer until the button is released after a move or, when it was released at once, until the next
// press, wheel turn or focus loss.
#include "tree/TreeOptions.h"
#include "tree/VirtualTrees.h"

#include <cstdlib>

namespace tarvola {

bool TBaseVirtualTree::HandlePanningButtonDown(bool middleButton, int x, int y) {
    if (WheelPanningActive()) {
        StopWheelPanning();
        return true;
    }
    if (!middleButton || !TreeOptions().MiscOptions().Has(TVTMiscOption::toWheelPanning))
        return false;
    const TScrollArea area = MotionArea();
    if (!area.ContentWider() && !area.ContentHigher())
        return false;
    StartWheelPanning(x, y);
    return true;
}

bool TBaseVirtualTree::HandlePanningButtonUp(bool middleButton) {
    if (!middleButton || !WheelPanningActive())
        return false;
    if (InState(TreeState::tsWheelScrolling))
        // Released without a move: panning goes on until the next press.
        DoStateChange({}, {TreeState::tsWheelPanning});
    else
        StopWheelPanning();
    return true;
}

bool TBaseVirtualTree::MovedBeyondDragThreshold(int x, int y) const {
    const TMotionPoint threshold = MotionPort().DragThreshold();
    return std::llabs(static_cast<long long>(x) - panningOrigin_.X) >= threshold.X ||
           std::llabs(static_cast<long long>(y) - panningOrigin_.Y) >= threshold.Y;
}

void TBaseVirtualTree::StartWheelPanning(int x, int y) {
    const TScrollArea area = MotionArea();
    Host().StopTimer(ScrollTimer);
    panningOrigin_ = {x, y};
    // The window comes first: when its image cannot be made, the tree stays as it was.
    MotionPort().ShowPanningWindow(panningOrigin_,
                                   PanningImageFor(area.ContentWider(), area.ContentHigher()));
    DoStateChange({TreeState::tsWheelPanning, TreeState::tsWheelScrolling},
                  {TreeState::tsScrollPending, TreeState::tsScrolling});
    scrollDirections_ = 0;
    MotionPort().CaptureMouse();
    SetWheelPanningCursor(x, y);
    Host().StartTimer(ScrollTimer, PanningInterval);
}

void TBaseVirtualTree::StopWheelPanning() {
    if (!WheelPanningActive())
        return;
    Host().StopTimer(ScrollTimer);
    // The states go first: releasing the capture notifies the window, which must see panning over.
    DoStateChange({}, {TreeState::tsWheelPanning, TreeState::tsWheelScrolling});
    scrollDirections_ = 0;
    MotionPort().HidePanningWindow();
    MotionPort().ReleaseMouse();
    panningCursor_.reset();
    MotionPort().RestoreCursor();
}

void TBaseVirtualTree::SetWheelPanningCursor(int x, int y) {
    const TScrollArea area = MotionArea();
    const TPanningCursor cursor =
        PanningCursorFor({x, y}, panningOrigin_, area.ContentWider(), area.ContentHigher());
    if (panningCursor_ == cursor)
        return;
    panningCursor_ = cursor;
    MotionPort().SetPanningCursor(cursor);
}

} // namespace tarvola
