// The owner-drawn scroll bar's values and layout, apart from any window: the range with its clamping rules,
// where the arrows, track, thumb and page areas lie for a given height, and which position a point of the
// track stands for. The window (VirtualScrollbars.h) draws and hit-tests from these.
#pragma once

namespace tarvola {

// Min, Max, PageSize and Position of a vertical scroll bar, kept consistent on every change: Max above Min,
// PageSize within 1 .. Max - Min, Position within Min .. Max - PageSize.
class TScrollbarValues {
public:
    int Min() const { return min_; }
    int Max() const { return max_; }
    int PageSize() const { return pageSize_; }
    int Position() const { return position_; }
    // The position at which the page's end meets Max.
    int LargestPosition() const { return max_ - pageSize_; }

    // Max <= Min moves Max to Min + 1; Min >= Max moves Min to Max - 1. Page size and position follow.
    void SetMin(int value);
    void SetMax(int value);
    void SetPageSize(int value);
    void SetPosition(int value);

private:
    void Reclamp();

    int min_ = 0;
    int max_ = 100;
    int pageSize_ = 1;
    int position_ = 0;
};

// A vertical span of the bar in client coordinates, bottom exclusive.
struct TScrollbarSpan {
    int Top = 0;
    int Bottom = 0;
    int Height() const { return Bottom - Top; }
    bool Contains(int y) const { return y >= Top && y < Bottom; }
    bool operator==(const TScrollbarSpan&) const = default;
};

// The system sizes the layout depends on: the arrow button's height and the thumb's (SM_CYVSCROLL,
// SM_CYVTHUMB).
struct TScrollbarMetrics {
    int ArrowHeight = 17;
    int ThumbHeight = 17;
};

enum class TScrollbarElement { seNone, seUpArrow, seDownArrow, seThumb, sePageUp, sePageDown };

struct TScrollbarLayout {
    TScrollbarSpan UpArrow;
    TScrollbarSpan DownArrow;
    TScrollbarSpan Track;
    TScrollbarSpan Thumb; // empty when no thumb fits the track
    TScrollbarSpan PageUp;
    TScrollbarSpan PageDown;
    // The track shrunk by half a thumb at each end: the span the thumb's centre travels.
    TScrollbarSpan CentreTravel;

    TScrollbarElement ElementAt(int y) const;
};

TScrollbarLayout ComputeScrollbarLayout(int height, const TScrollbarMetrics& metrics,
                                        const TScrollbarValues& values);

// The position whose thumb centre lies at y: Min above the travel, the largest position below it.
int ScrollbarPositionAt(const TScrollbarLayout& layout, const TScrollbarValues& values, int y);

} // namespace tarvola
