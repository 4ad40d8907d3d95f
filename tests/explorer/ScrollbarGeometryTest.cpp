// The owner-drawn scroll bar's range rules and layout, apart from any window.
#include "explorer/VirtualScrollbarsGeometry.h"

#include <gtest/gtest.h>

namespace tarvola {
namespace {

TScrollbarValues Values(int min, int max, int pageSize, int position) {
    TScrollbarValues values;
    values.SetMax(max);
    values.SetMin(min);
    values.SetPageSize(pageSize);
    values.SetPosition(position);
    return values;
}

TEST(ScrollbarValues, ClampAfterEveryChange) {
    struct Case {
        const char* what;
        TScrollbarValues values;
        int min, max, pageSize, position;
    };
    TScrollbarValues maxBelowMin;
    maxBelowMin.SetMin(40);
    maxBelowMin.SetMax(10);
    TScrollbarValues minAboveMax;
    minAboveMax.SetMin(100);
    TScrollbarValues pageThenShrink = Values(0, 100, 50, 50);
    pageThenShrink.SetMax(30);
    const Case cases[] = {
        {"page larger than the range", Values(0, 100, 200, 0), 0, 100, 100, 0},
        {"position past the largest", Values(0, 100, 10, 150), 0, 100, 10, 90},
        {"position below min", Values(20, 100, 10, 5), 20, 100, 10, 20},
        {"max at or below min", maxBelowMin, 40, 41, 1, 40},
        {"min at or above max", minAboveMax, 99, 100, 1, 99},
        {"shrinking the range reclamps page and position", pageThenShrink, 0, 30, 30, 0},
        {"zero page becomes one", Values(0, 100, 0, 0), 0, 100, 1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.values.Min(), c.min) << c.what;
        EXPECT_EQ(c.values.Max(), c.max) << c.what;
        EXPECT_EQ(c.values.PageSize(), c.pageSize) << c.what;
        EXPECT_EQ(c.values.Position(), c.position) << c.what;
    }
}

TEST(ScrollbarLayout, ArrowsTrackAndThumb) {
    const TScrollbarMetrics metrics{17, 17};
    // 200 high: a 166-pixel track; a page of 10 in 100 gives a 17-pixel thumb (16.6 rounded).
    TScrollbarLayout atMin = ComputeScrollbarLayout(200, metrics, Values(0, 100, 10, 0));
    EXPECT_EQ(atMin.UpArrow, (TScrollbarSpan{0, 17}));
    EXPECT_EQ(atMin.DownArrow, (TScrollbarSpan{183, 200}));
    EXPECT_EQ(atMin.Track, (TScrollbarSpan{17, 183}));
    EXPECT_EQ(atMin.Thumb, (TScrollbarSpan{17, 34}));
    EXPECT_EQ(atMin.PageUp.Height(), 0);
    EXPECT_EQ(atMin.PageDown, (TScrollbarSpan{34, 183}));

    TScrollbarLayout atLargest = ComputeScrollbarLayout(200, metrics, Values(0, 100, 10, 90));
    EXPECT_EQ(atLargest.Thumb.Bottom, 183) << "the thumb ends at the track's end, not a pixel beyond";
    EXPECT_EQ(atLargest.PageDown.Height(), 0);

    // A tiny page still gets half the system's thumb height.
    TScrollbarLayout tiny = ComputeScrollbarLayout(200, metrics, Values(0, 100000, 1, 0));
    EXPECT_EQ(tiny.Thumb.Height(), 8);
}

TEST(ScrollbarLayout, ShortBarHasHalfHeightArrowsAndNoTrack) {
    TScrollbarLayout layout = ComputeScrollbarLayout(20, TScrollbarMetrics{17, 17}, Values(0, 100, 10, 50));
    EXPECT_EQ(layout.UpArrow, (TScrollbarSpan{0, 10}));
    EXPECT_EQ(layout.DownArrow, (TScrollbarSpan{10, 20}));
    EXPECT_EQ(layout.Track.Height(), 0);
    EXPECT_EQ(layout.Thumb.Height(), 0);
    EXPECT_EQ(ScrollbarPositionAt(layout, Values(0, 100, 10, 50), 10), 0);
}

// Ranges that start above zero, hold one position only, or leave the thumb no room: the thumb stays in
// the track and the point-to-position mapping neither divides by zero nor leaves the range.
TEST(ScrollbarLayout, AnyRangeKeepsTheThumbInsideTheTrack) {
    const TScrollbarMetrics metrics{17, 17};
    struct Case {
        int height, min, max, pageSize, position;
    };
    const Case cases[] = {
        {200, 50, 150, 10, 50}, {200, 50, 150, 10, 140}, {200, 50, 150, 10, 95}, {200, -100, -20, 5, -60},
        {200, 0, 1, 1, 0},      {200, 7, 8, 1, 7},       {60, 0, 100, 100, 0},   {36, 0, 100, 1, 50},
        {35, 0, 100, 1, 50},    {0, 0, 100, 1, 50},      {201, 0, 3, 1, 2},
    };
    for (const Case& c : cases) {
        const TScrollbarValues values = Values(c.min, c.max, c.pageSize, c.position);
        const TScrollbarLayout layout = ComputeScrollbarLayout(c.height, metrics, values);
        EXPECT_GE(layout.Thumb.Top, layout.Track.Top) << c.height << " " << c.min << ".." << c.max;
        EXPECT_LE(layout.Thumb.Bottom, layout.Track.Bottom) << c.height << " " << c.min << ".." << c.max;
        for (int y = -5; y <= c.height + 5; ++y) {
            const int position = ScrollbarPositionAt(layout, values, y);
            EXPECT_GE(position, values.Min());
            EXPECT_LE(position, values.LargestPosition());
        }
    }
}

TEST(ScrollbarLayout, PointAndPositionAgreeAtBothEndsWithMinAboveZero) {
    const TScrollbarMetrics metrics{17, 17};
    const TScrollbarValues first = Values(50, 150, 10, 50);
    const TScrollbarValues last = Values(50, 150, 10, 140);
    const TScrollbarValues middle = Values(50, 150, 10, 95);
    const TScrollbarLayout atFirst = ComputeScrollbarLayout(200, metrics, first);
    const TScrollbarLayout atLast = ComputeScrollbarLayout(200, metrics, last);
    const TScrollbarLayout atMiddle = ComputeScrollbarLayout(200, metrics, middle);
    EXPECT_EQ(atFirst.Thumb.Top, atFirst.Track.Top);
    EXPECT_EQ(atLast.Thumb.Bottom, atLast.Track.Bottom);
    // Halfway through the positions puts the thumb halfway down the track.
    EXPECT_NEAR((atMiddle.Thumb.Top + atMiddle.Thumb.Bottom) / 2.0, 100.0, 1.0);
    const int centre = (atMiddle.Thumb.Top + atMiddle.Thumb.Bottom) / 2;
    EXPECT_NEAR(ScrollbarPositionAt(atMiddle, middle, centre), 95, 1);
    EXPECT_EQ(ScrollbarPositionAt(atFirst, first, -10), 50) << "above the track is Min, not 0";
    EXPECT_EQ(ScrollbarPositionAt(atFirst, first, 500), 140);
}

TEST(ScrollbarLayout, ElementsUnderPoints) {
    const TScrollbarLayout layout =
        ComputeScrollbarLayout(200, TScrollbarMetrics{17, 17}, Values(0, 100, 10, 50));
    EXPECT_EQ(layout.ElementAt(0), TScrollbarElement::seUpArrow);
    EXPECT_EQ(layout.ElementAt(199), TScrollbarElement::seDownArrow);
    EXPECT_EQ(layout.ElementAt(layout.Thumb.Top), TScrollbarElement::seThumb);
    EXPECT_EQ(layout.ElementAt(layout.Thumb.Top - 1), TScrollbarElement::sePageUp);
    EXPECT_EQ(layout.ElementAt(layout.Thumb.Bottom), TScrollbarElement::sePageDown);
    EXPECT_EQ(layout.ElementAt(200), TScrollbarElement::seNone);
}

} // namespace
} // namespace tarvola
