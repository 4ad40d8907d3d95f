// The header's interaction rules over decoded messages.
#include "tree/HeaderController.h"

#include <algorithm>
#include <cstdlib>

namespace tarvola {

namespace {
constexpr THeaderAnswer NotHandled{};
constexpr THeaderAnswer HandledWith0{true, 0};
constexpr THeaderAnswer HandledWith1{true, 1};
} // namespace

THeaderAnswer THeaderController::Handle(const THeaderInput& input) {
    switch (input.Message) {
    case THeaderMessage::NCButtonDown:
        return ButtonDown(input);
    case THeaderMessage::NCButtonUp:
        return input.Button == TMouseButton::mbLeft ? ButtonUp(input) : RightOrMiddleUp(input);
    case THeaderMessage::ButtonUp:
        return ButtonUp(input);
    case THeaderMessage::NCDblClick:
        return DblClick(input);
    case THeaderMessage::NCMouseMove:
        return NCMouseMove(input);
    case THeaderMessage::MouseMove:
        return CapturedMouseMove(input);
    case THeaderMessage::SetCursor:
        return SetCursor(input);
    case THeaderMessage::Timer:
        return Timer(input);
    case THeaderMessage::Size:
        if (header_.Has(hoAutoResize)) {
            Columns().AdjustAutoSize(InvalidColumn);
            header_.Invalidate(NoColumn);
        }
        Columns().UpdateSpringColumns();
        return NotHandled;
    case THeaderMessage::CancelKey:
    case THeaderMessage::KillFocus:
        return Cancel();
    }
    return NotHandled;
}

THeaderAnswer THeaderController::ButtonDown(const THeaderInput& input) {
    const TVTPoint p = input.Client;
    const TVTPoint h = InHeaderCoordinates(p);
    if (input.Button != TMouseButton::mbLeft) {
        if (header_.InHeader(p))
            header_.Tree().DoHeaderMouseDown(input.Button, input.Shift, h.X, h.Y);
        return NotHandled;
    }
    port_.CancelTreeMouseWork();
    header_.dragStart_ = input.Screen;
    if (!header_.InHeader(p))
        return NotHandled;
    header_.Tree().DoHeaderMouseDown(TMouseButton::mbLeft, input.Shift, h.X, h.Y);
    if (header_.Has(hoColumnResize) && header_.DetectResizeColumn(p)) {
        Columns().HoverIndex = NoColumn;
        header_.trackStart_ = p;
        Enter(hsTrackPending);
        port_.SetCapture();
        return HandledWith0;
    }
    const TColumnIndex column = Columns().AdjustDownColumn(p);
    if (header_.Has(hoDrag) && Columns().IsValidColumn(column) && Columns()[column].Has(coDraggable)) {
        Enter(hsDragPending);
        port_.SetCapture();
        return HandledWith0;
    }
    return NotHandled;
}

int THeaderController::DropPosition(int oldPosition, int targetPosition, bool dropBefore) {
    if (dropBefore)
        return oldPosition > targetPosition ? targetPosition : std::max(targetPosition - 1, 0);
    return oldPosition > targetPosition ? targetPosition + 1 : targetPosition;
}

void THeaderController::FinishDrag(const THeaderInput& input) {
    port_.EndDragImage();
    TVirtualTreeColumns& columns = Columns();
    const TColumnIndex dragged = columns.DragIndex;
    const TColumnIndex target = columns.DropTarget;
    // Only a release outside the window drags the column out; one inside without a drop target (back onto
    // the column itself, or past the last column) leaves everything as it was.
    if (columns.IsValidColumn(dragged)) {
        if (!port_.ScreenPointInWindow(input.Screen)) {
            header_.Tree().DoHeaderDraggedOut(dragged, input.Screen);
        } else if (columns.IsValidColumn(target) && target != dragged) {
            const int oldPosition = columns[dragged].Position();
            columns[dragged].SetPosition(
                DropPosition(oldPosition, columns[target].Position(), columns.DropBefore));
            header_.Tree().DoHeaderDragged(dragged, oldPosition);
        }
    }
    columns.DropTarget = NoColumn;
    header_.Invalidate(NoColumn);
}

THeaderAnswer THeaderController::ButtonUp(const THeaderInput& input) {
    TVirtualTreeColumns& columns = Columns();
    const bool wasBusy = header_.Busy();
    const TVTPoint h = InHeaderCoordinates(input.Client);
    if (wasBusy) {
        port_.ReleaseCapture();
        if (In(hsDragging))
            FinishDrag(input);
    }
    if (input.Message == THeaderMessage::NCButtonUp) {
        columns.HandleClick(input.Client, TMouseButton::mbLeft, false, false, input.Shift);
        header_.Tree().DoHeaderMouseUp(TMouseButton::mbLeft, input.Shift, h.X, h.Y);
    } else {
        if (columns.IsValidColumn(columns.DownIndex))
            columns.HandleClick(input.Client, TMouseButton::mbLeft, false, false, input.Shift);
        if (wasBusy)
            header_.Tree().DoHeaderMouseUp(TMouseButton::mbLeft, input.Shift, h.X, h.Y);
    }
    for (TColumnIndex* index : {&columns.TrackIndex, &columns.DownIndex}) {
        if (columns.IsValidColumn(*index))
            header_.Invalidate(*index);
        *index = NoColumn;
    }
    Leave(hsDragging | hsDragPending | hsTracking | hsTrackPending);
    // A release that ends the header's own press, resize or drag is the header's alone.
    return wasBusy ? HandledWith0 : NotHandled;
}

THeaderAnswer THeaderController::RightOrMiddleUp(const THeaderInput& input) {
    if (!header_.InHeader(input.Client))
        return NotHandled;
    TVirtualTreeColumns& columns = Columns();
    const TVTPoint h = InHeaderCoordinates(input.Client);
    columns.HandleClick(input.Client, input.Button, false, false, input.Shift);
    header_.Tree().DoHeaderMouseUp(input.Button, input.Shift, h.X, h.Y);
    columns.DownIndex = NoColumn;
    if (input.Button != TMouseButton::mbRight)
        return NotHandled;
    columns.TrackIndex = NoColumn;
    if (!header_.PopupMenu)
        return NotHandled;
    port_.StopTimer(HeaderTimer);
    columns.HoverIndex = NoColumn;
    port_.CancelTreeMouseWork();
    header_.PopupMenu(input.Screen);
    return HandledWith0;
}

THeaderAnswer THeaderController::DblClick(const THeaderInput& input) {
    if (!header_.InHeader(input.Client))
        return NotHandled;
    TVirtualTreeColumns& columns = Columns();
    if (header_.Has(hoDblClickResize) && header_.DetectResizeColumn(input.Client)) {
        const TColumnIndex column = columns.TrackIndex;
        const int widest = header_.Tree().GetMaxColumnWidth(column);
        columns.AnimatedResize(column, std::max(columns[column].MinWidth(), widest));
        columns.TrackIndex = NoColumn;
    } else {
        columns.HandleClick(input.Client, input.Button, true, true, input.Shift);
    }
    if (columns.IsValidColumn(columns.ClickIndex)) {
        const TVTPoint h = InHeaderCoordinates(input.Client);
        header_.Tree().DoHeaderDblClick(columns.ClickIndex, input.Button, input.Shift | ssDouble, h.X, h.Y);
    }
    return HandledWith0;
}

THeaderAnswer THeaderController::NCMouseMove(const THeaderInput& input) {
    const TVTPoint h = InHeaderCoordinates(input.Client);
    header_.Tree().DoHeaderMouseMove(input.Shift, h.X, h.Y);
    if (!header_.InHeader(input.Client))
        return NotHandled;
    TVirtualTreeColumns& columns = Columns();
    const bool hoverChanged = columns.AdjustHoverColumn(input.Client);
    if (hoverChanged ||
        (columns.IsValidColumn(columns.DownIndex) && columns.DownIndex != columns.HoverIndex)) {
        port_.StopTimer(HeaderTimer);
        port_.StartTimer(HeaderTimer, HeaderTimerInterval);
    }
    return NotHandled;
}

bool THeaderController::BeyondDragThreshold(TVTPoint screen) const {
    const TVTPoint threshold = port_.DragThreshold();
    return std::abs(screen.X - header_.dragStart_.X) > threshold.X ||
           std::abs(screen.Y - header_.dragStart_.Y) > threshold.Y;
}

THeaderAnswer THeaderController::CapturedMouseMove(const THeaderInput& input) {
    TVirtualTreeColumns& columns = Columns();
    if (In(hsTrackPending)) {
        port_.StopTimer(HeaderTimer);
        Leave(hsTrackPending);
        Enter(hsTracking);
        return HandledWith0;
    }
    if (In(hsTracking)) {
        if (columns.IsValidColumn(columns.TrackIndex))
            columns[columns.TrackIndex].SetWidth(input.Client.X - header_.trackLeft_);
        return HandledWith0;
    }
    if (In(hsDragPending)) {
        if (!header_.Has(hoDrag) || !BeyondDragThreshold(input.Screen) ||
            !header_.Tree().DoHeaderDragging(columns.DownIndex))
            return NotHandled;
        port_.StopTimer(HeaderTimer);
        const TColumnIndex pressed = columns.DownIndex;
        if (columns.IsValidColumn(pressed))
            header_.Invalidate(pressed);
        columns.DownIndex = NoColumn;
        columns.HoverIndex = NoColumn;
        PrepareDrag(pressed, input.Client, header_.dragStart_);
        Leave(hsDragPending);
        Enter(hsDragging);
        return HandledWith0;
    }
    if (In(hsDragging)) {
        DragTo(input.Client, input.Screen);
        return HandledWith0;
    }
    return NotHandled;
}

// The dragged column is the one that was pressed; the pointer may already have crossed into a neighbour.
void THeaderController::PrepareDrag(TColumnIndex pressed, TVTPoint client, TVTPoint start) {
    TVirtualTreeColumns& columns = Columns();
    columns.DropTarget = NoColumn;
    columns.DragIndex =
        columns.IsValidColumn(pressed) ? pressed : columns.ColumnFromPosition(InHeaderCoordinates(client));
    port_.ShowDragImage(columns.DragIndex, start);
}

void THeaderController::DragTo(TVTPoint client, TVTPoint screen) {
    TVirtualTreeColumns& columns = Columns();
    const TColumnIndex column = columns.ColumnFromPosition(InHeaderCoordinates(client));
    bool needRepaint = column != InvalidColumn && column != columns.DropTarget;
    if (columns.IsValidColumn(column)) {
        int left = 0, right = 0;
        columns.GetColumnBounds(column, left, right);
        const bool before = client.X < (left + right) / 2;
        if (before != columns.DropBefore) {
            columns.DropBefore = before;
            needRepaint = true;
        }
    }
    if (needRepaint) {
        if (columns.IsValidColumn(columns.DropTarget))
            header_.Invalidate(columns.DropTarget);
        columns.DropTarget = NoColumn;
        if (columns.IsValidColumn(column) && column != columns.DragIndex) {
            columns.DropTarget = column;
            header_.Invalidate(column);
        }
    }
    port_.MoveDragImage(screen);
}

THeaderAnswer THeaderController::SetCursor(const THeaderInput& input) {
    if (header_.Busy())
        return HandledWith1;
    if (!header_.InHeader(input.Client))
        return NotHandled;
    if (header_.Has(hoColumnResize) && header_.DetectResizeColumn(input.Client)) {
        port_.SetCursor(THeaderCursor::Split);
        return HandledWith1;
    }
    return NotHandled;
}

THeaderAnswer THeaderController::Timer(const THeaderInput& input) {
    if (input.TimerId != HeaderTimer)
        return NotHandled;
    TVirtualTreeColumns& columns = Columns();
    const bool pressedIsHot = columns.DownIndex == NoColumn || columns.DownIndex == columns.HoverIndex;
    if (port_.MouseInHeader() && pressedIsHot)
        return HandledWith0;
    port_.StopTimer(HeaderTimer);
    columns.HoverIndex = columns.ClickIndex = columns.DownIndex = NoColumn;
    header_.Invalidate(NoColumn);
    return HandledWith0;
}

// Escape and focus loss end a drag or resize; a press still waiting for its first move ends as well, since
// the capture it waits with is gone.
THeaderAnswer THeaderController::Cancel() {
    if (In(hsDragging | hsDragPending)) {
        port_.ReleaseCapture();
        if (In(hsDragging))
            port_.EndDragImage();
        Leave(hsDragging | hsDragPending);
        Columns().DropTarget = NoColumn;
        Columns().DownIndex = NoColumn;
        header_.Invalidate(NoColumn);
        return HandledWith0;
    }
    if (In(hsTracking | hsTrackPending)) {
        port_.ReleaseCapture();
        Leave(hsTracking | hsTrackPending);
        Columns().TrackIndex = NoColumn;
        return HandledWith0;
    }
    return NotHandled;
}

} // namespace tarvola
