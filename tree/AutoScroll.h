// The tree's motion rules: which edges a pointer asks to scroll towards (auto-scroll and wheel panning), how
// far one tick of the scroll timer moves, which panning cursor and image fit, and how far a wheel turn
// scrolls. The rules are plain functions of their inputs; the tree applies them (AutoScrollTree.cpp,
// WheelPanningTree.cpp) and reaches the pointer, the clock and the panning window through ITreeMotionPort.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tarvola {

// The tree's window timer of auto-scroll and wheel panning.
constexpr unsigned ScrollTimer = 4;
// The scroll timer's period while wheel panning.
constexpr unsigned PanningInterval = 20;
// Around the panning origin the pointer scrolls nothing.
constexpr int PanningDeadZone = 8;
constexpr int WheelDeltaPerNotch = 120;
// The system's wheel setting that asks for a page per notch.
constexpr unsigned WheelPageScroll = 0xFFFFFFFFu;

enum : std::uint8_t { sdLeft = 1, sdUp = 2, sdRight = 4, sdDown = 8 };
using TScrollDirections = std::uint8_t;

struct TMotionPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TMotionPoint&) const = default;
};

// What the rules need to know about the visible part of the tree and its content.
struct TScrollArea {
    int ClientWidth = 0;
    int ClientHeight = 0;
    int OffsetX = 0; // 0 or negative
    int OffsetY = 0;
    int RangeX = 0; // content width
    int RangeY = 0; // content height
    // The content does not fit the client area.
    bool ContentWider() const { return RangeX > ClientWidth; }
    bool ContentHigher() const { return RangeY > ClientHeight; }
    // More content lies beyond the right or bottom edge.
    bool MoreRight() const { return static_cast<std::int64_t>(ClientWidth) - OffsetX < RangeX; }
    bool MoreBelow() const { return static_cast<std::int64_t>(ClientHeight) - OffsetY < RangeY; }
    bool AtLeftEnd() const { return OffsetX >= 0; }
    bool AtTopEnd() const { return OffsetY >= 0; }
    bool AtRightEnd() const { return !MoreRight(); }
    bool AtBottomEnd() const { return !MoreBelow(); }
};

// The edges a client point lies near: bands of zoneSize pixels along the edges, each only where the content
// can still move that way.
TScrollDirections EdgeZoneDirections(TMotionPoint point, const TScrollArea& area, int zoneSize);
// The directions a point asks for while wheel panning: beyond the dead zone around origin.
TScrollDirections PanningDirections(TMotionPoint point, TMotionPoint origin);

// The wait before auto-scrolling starts: it runs from the first time the pointer stands in a zone, on a
// wrapping millisecond clock, and starts afresh after Reset.
class TAutoScrollDelay {
public:
    // True once delay milliseconds passed since the first call after a reset.
    bool Elapsed(std::uint32_t now, std::uint32_t delay);
    void Reset() { start_.reset(); }
    std::optional<std::uint32_t> StartTime() const { return start_; }

private:
    std::optional<std::uint32_t> start_;
};

// One tick of the scroll timer.
struct TAutoScrollTick {
    TScrollDirections Directions = 0;
    TMotionPoint Pointer;       // client coordinates
    bool Panning = false;       // a wheel state is set
    TMotionPoint PanningOrigin; // client coordinates
    int HorizontalIncrement = 20;
    int VerticalIncrement = 20;
};
struct TAutoScrollMove {
    std::int64_t DX = 0;
    std::int64_t DY = 0;
    TScrollDirections Remaining = 0; // the directions left after dropping those at their end
};
// How far one tick moves the offsets: while panning by the distance beyond the dead zone; with the pointer
// inside by one increment; outside by an increment per pixel beyond the edge.
TAutoScrollMove AutoScrollDeltas(const TAutoScrollTick& tick, const TScrollArea& area);

// The panning cursors, named as their resources; the first three are the panning images too.
enum class TPanningCursor : std::uint8_t {
    MoveAll,
    MoveEW,
    MoveNS,
    MoveN,
    MoveNE,
    MoveE,
    MoveSE,
    MoveS,
    MoveSW,
    MoveW,
    MoveNW,
};
const wchar_t* PanningResourceName(TPanningCursor cursor);
// The image of the panning window: all directions, east-west or north-south.
TPanningCursor PanningImageFor(bool wider, bool higher);
// The cursor for a pointer at point while panning from origin.
TPanningCursor PanningCursorFor(TMotionPoint point, TMotionPoint origin, bool wider, bool higher);

// One wheel message, with the tree's measures.
struct TWheelInput {
    int WheelDelta = 0;
    bool Ctrl = false;
    unsigned ScrollLines = 3; // the system setting; WheelPageScroll for a page per notch
    int ClientWidth = 0;
    int ClientHeight = 0;
    int RangeY = 0;
    int DefaultNodeHeight = 18;
    int Indent = 18;
};
struct TWheelScroll {
    std::int64_t DX = 0;
    std::int64_t DY = 0;
};
// Turns of less than a notch (from fine-grained wheels) add up until they make whole steps. Amounts are
// counted in 1/120 of a step; a turn the other way, or of another kind, starts afresh.
class TWheelRemainder {
public:
    enum class Kind : std::uint8_t { Lines, Notches };
    // The whole steps of amount plus what was kept; the rest is kept.
    std::int64_t Take(std::int64_t amount, Kind kind);
    void Reset() { rest_ = 0; }

private:
    std::int64_t rest_ = 0;
    Kind kind_ = Kind::Lines;
};
// How far a wheel message scrolls: rows by the system's line setting, pages with Ctrl or the page setting,
// and sideways when all rows fit (by Indent per notch, a client width per notch with Ctrl).
TWheelScroll WheelScrollDelta(const TWheelInput& input, TWheelRemainder& remainder);

// The window side of auto-scroll and wheel panning: the pointer, the clock, the system's settings, the
// panning window with its cursors, and the mouse capture. Points are client coordinates.
class ITreeMotionPort {
public:
    virtual ~ITreeMotionPort() = default;
    // Milliseconds on a wrapping 32-bit clock.
    virtual std::uint32_t Now() = 0;
    virtual TMotionPoint CursorPos() = 0;
    // Whether the window under a point is the tree itself (not another control the pointer moved to).
    virtual bool TreeUnderPoint(TMotionPoint point) = 0;
    // The system's wheel setting: lines per notch, or WheelPageScroll.
    virtual unsigned WheelScrollLines() = 0;
    // How far the pointer moves before a press counts as a drag.
    virtual TMotionPoint DragThreshold() = 0;
    // Shows the panning window with its image, centred on centre.
    virtual void ShowPanningWindow(TMotionPoint centre, TPanningCursor image) = 0;
    virtual void HidePanningWindow() = 0;
    virtual void SetPanningCursor(TPanningCursor cursor) = 0;
    // Back to the control's own cursor.
    virtual void RestoreCursor() = 0;
    // Focuses the tree and captures the mouse for it.
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouse() = 0;
    // Paints what scrolling invalidated, now.
    virtual void UpdateWindow() = 0;
};

// The port of a tree without a window: no pointer, no panning window.
class TNullMotionPort : public ITreeMotionPort {
public:
    std::uint32_t Now() override { return 0; }
    TMotionPoint CursorPos() override { return {}; }
    bool TreeUnderPoint(TMotionPoint) override { return false; }
    unsigned WheelScrollLines() override { return 3; }
    TMotionPoint DragThreshold() override { return {4, 4}; }
    void ShowPanningWindow(TMotionPoint, TPanningCursor) override {}
    void HidePanningWindow() override {}
    void SetPanningCursor(TPanningCursor) override {}
    void RestoreCursor() override {}
    void CaptureMouse() override {}
    void ReleaseMouse() override {}
    void UpdateWindow() override {}
};

// The runs [Begin, End) of one pixel row that are not of the transparent colour: the panning window's
// shape is made of them.
struct TPixelRun {
    int Begin = 0;
    int End = 0;
    bool operator==(const TPixelRun&) const = default;
};
std::vector<TPixelRun> OpaqueRuns(const std::uint32_t* row, int width, std::uint32_t transparent);

} // namespace tarvola
