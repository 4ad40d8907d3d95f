// The tree's auto-scroll and wheel scrolling: the directions the pointer asks for, the scroll timer's ticks
// and the wheel's steps, applied to the scroll offsets.
#include "tree/Header.h"
#include "tree/TreeColors.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"
#include "tree/VirtualTrees.h"

#include <algorithm>
#include <climits>

namespace tarvola {

namespace {

TNullMotionPort& NullMotionPort() {
    static TNullMotionPort port;
    return port;
}

int ClampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

} // namespace

ITreeMotionPort& TBaseVirtualTree::MotionPort() const {
    return motionPort_ != nullptr ? *motionPort_ : NullMotionPort();
}

TScrollArea TBaseVirtualTree::MotionArea() const {
    TScrollArea area;
    area.ClientWidth = Host().ClientWidth();
    area.ClientHeight = Host().ClientHeight();
    area.OffsetX = offsetX_;
    area.OffsetY = offsetY_;
    area.RangeX = RangeWidth;
    area.RangeY = ClampToInt(RangeHeight());
    return area;
}

void TBaseVirtualTree::ScrollOffsetsBy(std::int64_t dx, std::int64_t dy) {
    SetScrollOffsets(offsetX_ + dx, offsetY_ + dy, AllScrollUpdateOptions);
}

bool TBaseVirtualTree::WheelPanningActive() const {
    return InState(TreeState::tsWheelPanning) || InState(TreeState::tsWheelScrolling);
}

bool TBaseVirtualTree::CanAutoScroll() const {
    const bool wheel = WheelPanningActive();
    if (!wheel && !TreeOptions().AutoOptions().Has(TVTAutoOption::toAutoScroll))
        return false;
    if (Header().Busy())
        return false;
    return InState(TreeState::tsDrawSelPending) || InState(TreeState::tsDrawSelecting) ||
           OleDropTargetNow() || InState(TreeState::tsFrameworkDragging) || wheel;
}

TScrollDirections TBaseVirtualTree::DetermineScrollDirections(int x, int y) {
    if (!CanAutoScroll())
        return 0;
    const TMotionPoint point{x, y};
    if (WheelPanningActive())
        return PanningDirections(point, panningOrigin_);
    const int zone = static_cast<int>(std::min<std::uint32_t>(DefaultNodeHeight(), INT_MAX));
    const TScrollDirections directions = EdgeZoneDirections(point, MotionArea(), zone);
    if (directions == 0) {
        // Leaving the zones ends the wait: the next stay waits the full delay again.
        autoScrollDelay_.Reset();
        return 0;
    }
    // Outside the tree (over another control) scrolling starts at once.
    if (!OleDropTargetNow() && !MotionPort().TreeUnderPoint(point))
        return directions;
    return autoScrollDelay_.Elapsed(MotionPort().Now(), Properties().AutoScrollDelay) ? directions : 0;
}

void TBaseVirtualTree::UpdateAutoScroll(int x, int y) {
    scrollDirections_ = DetermineScrollDirections(x, y);
    if (WheelPanningActive())
        return;
    const bool running = InState(TreeState::tsScrollPending) || InState(TreeState::tsScrolling);
    if (scrollDirections_ != 0 && !running) {
        DoStateChange({TreeState::tsScrollPending});
        Host().StartTimer(ScrollTimer, Properties().AutoScrollDelay);
    } else if (scrollDirections_ == 0 && running) {
        Host().StopTimer(ScrollTimer);
        DoStateChange({}, {TreeState::tsScrollPending, TreeState::tsScrolling});
    }
}

void TBaseVirtualTree::StopAutoScroll() {
    autoScrollDelay_.Reset();
    if (WheelPanningActive())
        return;
    scrollDirections_ = 0;
    if (InState(TreeState::tsScrollPending) || InState(TreeState::tsScrolling)) {
        Host().StopTimer(ScrollTimer);
        DoStateChange({}, {TreeState::tsScrollPending, TreeState::tsScrolling});
    }
}

bool TBaseVirtualTree::DragOverAutoScroll(int x, int y) {
    const TScrollDirections directions = DetermineScrollDirections(x, y);
    if (directions == 0)
        return false;
    const TScrollArea area = MotionArea();
    const std::int64_t vertical =
        std::min<std::int64_t>(area.ClientHeight, ScrollBarOptions().VerticalIncrement);
    const std::int64_t horizontal = ScrollBarOptions().HorizontalIncrement;
    // A direction counts only while the tree can still go that way.
    std::int64_t dx = 0;
    std::int64_t dy = 0;
    if ((directions & sdUp) != 0 && offsetY_ < 0)
        dy = vertical;
    else if ((directions & sdDown) != 0 &&
             offsetY_ > static_cast<std::int64_t>(area.ClientHeight) - area.RangeY)
        dy = -vertical;
    if ((directions & sdLeft) != 0 && offsetX_ < 0)
        dx = horizontal;
    else if ((directions & sdRight) != 0 &&
             offsetX_ > static_cast<std::int64_t>(area.ClientWidth) - area.RangeX)
        dx = -horizontal;
    if (dx == 0 && dy == 0)
        return false;
    return SetScrollOffsets(offsetX_ + dx, offsetY_ + dy, AllScrollUpdateOptions);
}

bool TBaseVirtualTree::HandleAutoScrollMove(int x, int y) {
    if (WheelPanningActive()) {
        // A move of at least the drag distance with the button held: releasing it ends the panning.
        if (InState(TreeState::tsWheelPanning) && InState(TreeState::tsWheelScrolling) &&
            MovedBeyondDragThreshold(x, y))
            DoStateChange({}, {TreeState::tsWheelScrolling});
        SetWheelPanningCursor(x, y);
        UpdateAutoScroll(x, y);
        return true;
    }
    if (CanAutoScroll())
        UpdateAutoScroll(x, y);
    return false;
}

void TBaseVirtualTree::HandleScrollTimer() {
    if (InState(TreeState::tsScrollPending)) {
        if (CancelPendingHint)
            CancelPendingHint();
        Host().StartTimer(ScrollTimer, std::clamp<std::uint32_t>(Properties().AutoScrollInterval, 1, 1000));
        DoStateChange({TreeState::tsScrolling}, {TreeState::tsScrollPending});
    }
    AutoScrollStep();
}

void TBaseVirtualTree::AutoScrollStep() {
    const TScrollArea area = MotionArea();
    const TMotionPoint pointer = MotionPort().CursorPos();
    const bool inside =
        pointer.X >= 0 && pointer.X < area.ClientWidth && pointer.Y >= 0 && pointer.Y < area.ClientHeight;
    const bool panning = WheelPanningActive();
    const bool band = InState(TreeState::tsDrawSelecting);
    if (!band && !inside && !panning)
        return;
    TAutoScrollTick tick;
    tick.Directions = scrollDirections_;
    tick.Pointer = pointer;
    tick.Panning = panning;
    tick.PanningOrigin = panningOrigin_;
    tick.HorizontalIncrement = ScrollBarOptions().HorizontalIncrement;
    tick.VerticalIncrement = ScrollBarOptions().VerticalIncrement;
    const TAutoScrollMove move = AutoScrollDeltas(tick, area);
    scrollDirections_ = move.Remaining;
    if (band) {
        ScrollOffsetsBy(move.DX, move.DY);
        if (OnAutoScrollBandStep)
            OnAutoScrollBandStep(pointer.X, pointer.Y);
    } else if (!OleDropTargetNow() && (move.DX != 0 || move.DY != 0)) {
        // As a drop target, the drag-over handling scrolls.
        ScrollOffsetsBy(move.DX, move.DY);
    }
    MotionPort().UpdateWindow();
    if (scrollDirections_ == 0 && !panning) {
        Host().StopTimer(ScrollTimer);
        DoStateChange({}, {TreeState::tsScrolling, TreeState::tsScrollPending});
        autoScrollDelay_.Reset();
    }
}

bool TBaseVirtualTree::HandleMouseWheel(int wheelDelta, bool ctrl) {
    StopWheelPanning();
    TWheelInput input;
    input.WheelDelta = wheelDelta;
    input.Ctrl = ctrl;
    input.ScrollLines = MotionPort().WheelScrollLines();
    const TScrollArea area = MotionArea();
    input.ClientWidth = area.ClientWidth;
    input.ClientHeight = area.ClientHeight;
    input.RangeY = area.RangeY;
    input.DefaultNodeHeight = static_cast<int>(std::min<std::uint32_t>(DefaultNodeHeight(), INT_MAX));
    input.Indent = Indent;
    const TWheelScroll scroll = WheelScrollDelta(input, wheelRemainder_);
    if (scroll.DX != 0 || scroll.DY != 0)
        ScrollOffsetsBy(scroll.DX, scroll.DY);
    return true;
}

} // namespace tarvola
