#include "tree/AutoScroll.h"

#include <algorithm>

namespace tarvola {

TScrollDirections EdgeZoneDirections(TMotionPoint point, const TScrollArea& area, int zoneSize) {
    TScrollDirections directions = 0;
    if (point.X < zoneSize && !area.AtLeftEnd())
        directions |= sdLeft;
    if (area.MoreRight() && point.X > area.ClientWidth - zoneSize)
        directions |= sdRight;
    if (point.Y < zoneSize && !area.AtTopEnd())
        directions |= sdUp;
    if (area.MoreBelow() && point.Y > area.ClientHeight - zoneSize)
        directions |= sdDown;
    return directions;
}

TScrollDirections PanningDirections(TMotionPoint point, TMotionPoint origin) {
    const std::int64_t dx = static_cast<std::int64_t>(point.X) - origin.X;
    const std::int64_t dy = static_cast<std::int64_t>(point.Y) - origin.Y;
    TScrollDirections directions = 0;
    if (dx < -PanningDeadZone)
        directions |= sdLeft;
    if (dx > PanningDeadZone)
        directions |= sdRight;
    if (dy < -PanningDeadZone)
        directions |= sdUp;
    if (dy > PanningDeadZone)
        directions |= sdDown;
    return directions;
}

bool TAutoScrollDelay::Elapsed(std::uint32_t now, std::uint32_t delay) {
    if (!start_)
        start_ = now;
    // Unsigned subtraction measures the wait across the clock's wrap.
    return now - *start_ >= delay;
}

namespace {

bool Inside(TMotionPoint point, const TScrollArea& area) {
    return point.X >= 0 && point.X < area.ClientWidth && point.Y >= 0 && point.Y < area.ClientHeight;
}

// Pixels beyond an edge, at least one: a pointer outside the window beside a zone (not beyond its edge)
// still scrolls the way the zone asks, never back.
std::int64_t Beyond(std::int64_t distance) {
    return std::max<std::int64_t>(1, distance);
}

} // namespace

TAutoScrollMove AutoScrollDeltas(const TAutoScrollTick& tick, const TScrollArea& area) {
    const TMotionPoint p = tick.Pointer;
    const bool inside = Inside(p, area);
    const std::int64_t vStep = std::min(tick.VerticalIncrement, std::max(0, area.ClientHeight));
    const std::int64_t hStep = tick.HorizontalIncrement;
    const std::int64_t fromOriginX = static_cast<std::int64_t>(tick.PanningOrigin.X) - p.X;
    const std::int64_t fromOriginY = static_cast<std::int64_t>(tick.PanningOrigin.Y) - p.Y;
    TAutoScrollMove move;
    move.Remaining = tick.Directions;
    if ((tick.Directions & sdUp) != 0) {
        move.DY = tick.Panning ? fromOriginY - PanningDeadZone : inside ? vStep : vStep * Beyond(-p.Y);
        if (area.AtTopEnd())
            move.Remaining &= ~sdUp;
    }
    if ((tick.Directions & sdDown) != 0) {
        move.DY = tick.Panning ? fromOriginY + PanningDeadZone
                  : inside     ? -vStep
                               : -vStep * Beyond(static_cast<std::int64_t>(p.Y) - area.ClientHeight);
        if (area.AtBottomEnd())
            move.Remaining &= ~sdDown;
    }
    if ((tick.Directions & sdLeft) != 0) {
        move.DX = tick.Panning ? fromOriginX - PanningDeadZone : inside ? hStep : hStep * Beyond(-p.X);
        if (area.AtLeftEnd())
            move.Remaining &= ~sdLeft;
    }
    if ((tick.Directions & sdRight) != 0) {
        move.DX = tick.Panning ? fromOriginX + PanningDeadZone
                  : inside     ? -hStep
                               : -hStep * Beyond(static_cast<std::int64_t>(p.X) - area.ClientWidth);
        if (area.AtRightEnd())
            move.Remaining &= ~sdRight;
    }
    return move;
}

const wchar_t* PanningResourceName(TPanningCursor cursor) {
    switch (cursor) {
    case TPanningCursor::MoveAll:
        return L"VT_MOVEALL";
    case TPanningCursor::MoveEW:
        return L"VT_MOVEEW";
    case TPanningCursor::MoveNS:
        return L"VT_MOVENS";
    case TPanningCursor::MoveN:
        return L"VT_MOVEN";
    case TPanningCursor::MoveNE:
        return L"VT_MOVENE";
    case TPanningCursor::MoveE:
        return L"VT_MOVEE";
    case TPanningCursor::MoveSE:
        return L"VT_MOVESE";
    case TPanningCursor::MoveS:
        return L"VT_MOVES";
    case TPanningCursor::MoveSW:
        return L"VT_MOVESW";
    case TPanningCursor::MoveW:
        return L"VT_MOVEW";
    case TPanningCursor::MoveNW:
        return L"VT_MOVENW";
    }
    return L"VT_MOVEALL";
}

TPanningCursor PanningImageFor(bool wider, bool higher) {
    if (wider && higher)
        return TPanningCursor::MoveAll;
    return wider ? TPanningCursor::MoveEW : TPanningCursor::MoveNS;
}

TPanningCursor PanningCursorFor(TMotionPoint point, TMotionPoint origin, bool wider, bool higher) {
    const std::int64_t dx = static_cast<std::int64_t>(point.X) - origin.X;
    const std::int64_t dy = static_cast<std::int64_t>(point.Y) - origin.Y;
    if (dx > -PanningDeadZone && dx < PanningDeadZone && dy > -PanningDeadZone && dy < PanningDeadZone)
        return PanningImageFor(wider, higher);
    if (wider && higher) {
        if (dx < -PanningDeadZone)
            return dy < -PanningDeadZone  ? TPanningCursor::MoveNW
                   : dy > PanningDeadZone ? TPanningCursor::MoveSW
                                          : TPanningCursor::MoveW;
        if (dx > PanningDeadZone)
            return dy < -PanningDeadZone   ? TPanningCursor::MoveNE
                   : dy <= PanningDeadZone ? TPanningCursor::MoveE
                                           : TPanningCursor::MoveSE;
        return dy < 0 ? TPanningCursor::MoveN : TPanningCursor::MoveS;
    }
    if (higher || !wider)
        return dy < 0 ? TPanningCursor::MoveN : TPanningCursor::MoveS;
    return dx >= 0 ? TPanningCursor::MoveE : TPanningCursor::MoveW;
}

std::int64_t TWheelRemainder::Take(std::int64_t amount, Kind kind) {
    if (kind != kind_ || (rest_ < 0 && amount > 0) || (rest_ > 0 && amount < 0))
        rest_ = 0;
    kind_ = kind;
    const std::int64_t total = rest_ + amount;
    const std::int64_t whole = total / WheelDeltaPerNotch;
    rest_ = total - whole * WheelDeltaPerNotch;
    return whole;
}

TWheelScroll WheelScrollDelta(const TWheelInput& input, TWheelRemainder& remainder) {
    TWheelScroll scroll;
    using Kind = TWheelRemainder::Kind;
    if (input.ClientHeight >= input.RangeY) {
        // Every row is in view: the wheel moves the content sideways.
        const std::int64_t notches = remainder.Take(input.WheelDelta, Kind::Notches);
        scroll.DX = notches * (input.Ctrl ? std::max(0, input.ClientWidth) : input.Indent);
        return scroll;
    }
    const std::int64_t rowHeight = std::max(1, input.DefaultNodeHeight);
    std::int64_t lines = 0;
    if (input.Ctrl || input.ScrollLines == WheelPageScroll) {
        const std::int64_t notches = remainder.Take(input.WheelDelta, Kind::Notches);
        lines = std::max(0, input.ClientHeight) / rowHeight * notches;
    } else {
        lines = remainder.Take(static_cast<std::int64_t>(input.WheelDelta) * input.ScrollLines, Kind::Lines);
    }
    scroll.DY = lines * rowHeight;
    return scroll;
}

std::vector<TPixelRun> OpaqueRuns(const std::uint32_t* row, int width, std::uint32_t transparent) {
    std::vector<TPixelRun> runs;
    constexpr std::uint32_t ColorBits = 0x00FFFFFF;
    int x = 0;
    while (x < width) {
        while (x < width && (row[x] & ColorBits) == (transparent & ColorBits))
            ++x;
        const int begin = x;
        while (x < width && (row[x] & ColorBits) != (transparent & ColorBits))
            ++x;
        if (x > begin)
            runs.push_back({begin, x});
    }
    return runs;
}

} // namespace tarvola
