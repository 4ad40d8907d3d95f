// Scrolling the tree: the options of an offset change, the scroll-bar codes the window passes on, the port
// through which the tree reaches its window's scroll bars and client area, and the stand-in for that port
// that a tree without a window (or a test) uses: two scroll bars kept in memory, clamped as the system
// clamps its own.
#pragma once

#include <cstdint>

namespace tarvola {

struct TTreeRect;

// What an offset change does besides storing the offsets.
using TScrollUpdateOptions = std::uint8_t;
enum : TScrollUpdateOptions {
    soRepaintHeader = 1,
    soRepaintScrollBars = 2,
    soScrollClientArea = 4,
    soUpdateScrollBars = 8,
};
constexpr TScrollUpdateOptions AllScrollUpdateOptions =
    soRepaintHeader | soRepaintScrollBars | soScrollClientArea | soUpdateScrollBars;

enum class TScrollBarKind : std::uint8_t { sbHorizontal, sbVertical };

// The scroll-bar request codes (the values of the system's SB_* codes).
enum : int {
    ScrollLineUp = 0, // left for the horizontal bar
    ScrollLineDown = 1,
    ScrollPageUp = 2,
    ScrollPageDown = 3,
    ScrollThumbPosition = 4,
    ScrollThumbTrack = 5,
    ScrollTop = 6, // left
    ScrollBottom = 7,
    ScrollEnd = 8,
};

struct TScrollBarInfo {
    int Min = 0;
    int Max = 0;
    int Page = 0;
    int Pos = 0;
    bool operator==(const TScrollBarInfo&) const = default;
};

// The window side of scrolling. Positions are what the bars report after the system clamped them.
class ITreeScrollPort {
public:
    virtual ~ITreeScrollPort() = default;
    virtual void ShowScrollBar(TScrollBarKind bar, bool show) = 0;
    // Sets range, page and position; with disableNoScroll a bar that cannot scroll stays shown, disabled.
    virtual void SetScrollInfo(TScrollBarKind bar, const TScrollBarInfo& info, bool disableNoScroll,
                               bool redraw) = 0;
    virtual int ScrollPosition(TScrollBarKind bar) const = 0;
    // The position of the thumb while the user drags it.
    virtual int TrackPosition(TScrollBarKind bar) const = 0;
    // Moves the client area's pixels (and the child windows) by dx, dy inside clip (null: all of it).
    virtual void ScrollClientArea(int dx, int dy, const TTreeRect* clip) = 0;
    // Moves only the child windows (their pixels are repainted by the caller).
    virtual void MoveChildWindows(int dx, int dy) = 0;
    virtual void ShowDragImage(bool show) = 0;
    // The mouse position in client coordinates, when it lies in the client area.
    virtual bool CursorInClient(int& x, int& y) const = 0;
    // The height of a horizontal scroll bar (room a bar takes when it appears).
    virtual int HorizontalScrollBarHeight() const = 0;
    // Repaints the window with its frame (header and bars included), without erasing.
    virtual void RedrawWithFrame() = 0;
};

// The clamped position a system scroll bar keeps: within Min .. Max - (Page - 1).
int ClampScrollBarPosition(const TScrollBarInfo& info);

// The offset an axis may take: 0 at most, and at least client - range (content smaller than the client area
// cannot scroll at all). The bound is kept away from INT_MIN so that -offset (a bar position) stays an int.
int ClampScrollOffset(std::int64_t value, int client, std::int64_t range);

// Scroll bars kept in memory, for a tree whose window has none to offer (tests extend it to log).
class TModelScrollPort : public ITreeScrollPort {
public:
    struct TBar {
        bool Visible = false;
        bool Disabled = false;
        TScrollBarInfo Info;
    };
    TBar Horizontal, Vertical;
    int TrackPos[2] = {0, 0};
    int ScrollBarHeight = 0;
    bool CursorInside = false;
    int CursorX = 0, CursorY = 0;

    TBar& Bar(TScrollBarKind bar) { return bar == TScrollBarKind::sbHorizontal ? Horizontal : Vertical; }
    const TBar& Bar(TScrollBarKind bar) const {
        return bar == TScrollBarKind::sbHorizontal ? Horizontal : Vertical;
    }

    void ShowScrollBar(TScrollBarKind bar, bool show) override;
    void SetScrollInfo(TScrollBarKind bar, const TScrollBarInfo& info, bool disableNoScroll,
                       bool redraw) override;
    int ScrollPosition(TScrollBarKind bar) const override { return Bar(bar).Info.Pos; }
    int TrackPosition(TScrollBarKind bar) const override;
    void ScrollClientArea(int, int, const TTreeRect*) override {}
    void MoveChildWindows(int, int) override {}
    void ShowDragImage(bool) override {}
    bool CursorInClient(int& x, int& y) const override;
    int HorizontalScrollBarHeight() const override { return ScrollBarHeight; }
    void RedrawWithFrame() override {}
};

} // namespace tarvola
