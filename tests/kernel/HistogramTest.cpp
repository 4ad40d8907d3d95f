#include "kernel/HistogramLayout.h"

#include "base/Numerics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarvola {
namespace {

// A histogram of 802 x 202 pixels: its plot is 800 x 200 from (1, 1).
HistogramGeometry Plot(std::int32_t columns, float fraction = 0.7f, TValueScale scale = {}) {
    HistogramGeometry g;
    g.SetSize(802, 202);
    g.LayoutColumns(columns, fraction);
    g.ComputeScale(scale);
    return g;
}

TEST(HistogramGeometry, ColumnsRunRightToLeft) {
    struct Case {
        std::int32_t columns;
        float fraction;
        int cellWidth, barWidth, barOffset;
        int firstLeft; // column 0, the rightmost
    };
    const Case cases[] = {
        {21, 0.7f, 39, 27, 6, 763},  {801, 0.8f, 1, 1, 0, 800}, {160, 0.7f, 6, 4, 1, 796}, // 6 x 0.7f = 4.2
        {200, 0.7f, 5, 3, 1, 797},   // 5 x 0.7f lies below 3.5: 3, not 4
        {1, 0.7f, 801, 561, 120, 1}, // one column: the bar is centred in the cell
        {1, 0.8f, 801, 641, 80, 1},
    };
    for (const auto& c : cases) {
        const auto g = Plot(c.columns, c.fraction);
        SCOPED_TRACE(c.columns);
        EXPECT_EQ(g.CellWidth(), c.cellWidth);
        EXPECT_EQ(g.BarWidth(), c.barWidth);
        EXPECT_EQ(g.BarOffset(), c.barOffset);
        EXPECT_EQ(g.ColumnLeft(0), c.firstLeft);
        EXPECT_EQ(g.ColumnLeft(c.columns - 1), 1);
        if (c.columns == 1) {
            const TBarRect bar = g.BarRect(0, 1);
            EXPECT_EQ(bar.Left - g.PlotLeft(), g.PlotLeft() + g.CellWidth() - bar.Right);
        }
    }
}

TEST(HistogramGeometry, HitTestCountsFromTheRight) {
    const auto g = Plot(21);
    const struct {
        int x;
        std::int32_t column;
    } cases[] = {{800, 0}, {801, 0}, {2000, 0}, {763, 0}, {762, 1}, {1, 20}, {-500, 20}, {400, 10}};
    for (const auto& c : cases)
        EXPECT_EQ(g.ColumnAt(c.x), c.column) << "x " << c.x;

    KernelModel model;
    TobjHistData kernel(model);
    kernel.Notify = false;
    kernel.LoadRecords({{0.5L, -9, TSourceKind::Input, {}, false}, {1, 0, TSourceKind::Input, {}, false}});
    EXPECT_EQ(HitTest(g, -10, kernel, 800), (TColumnTriple{0, -1, -10}));
    EXPECT_EQ(HitTest(g, -10, kernel, 762), (TColumnTriple{1, 0, -9}));
    EXPECT_EQ(HitTest(g, -10, kernel, 400), (TColumnTriple{10, 1, 0}));
    EXPECT_EQ(HitTest(Plot(0), -10, kernel, 400), NoRecord);
}

TEST(HistogramGeometry, BarsReachThePlotEdgesAndNoFurther) {
    const auto g = Plot(21);
    EXPECT_EQ(g.ZeroY(), 102); // 202 - Round(0.5 x 201), halves to even
    EXPECT_EQ(g.AboveHeight(), 101);
    EXPECT_EQ(g.BelowHeight(), 99);
    constexpr long double huge = std::numeric_limits<long double>::max();
    const struct {
        long double value;
        int top, bottom;
    } cases[] = {
        {2, 1, 102},    {-2, 102, 201},  {1, 52, 102},       {-1, 102, 152}, {0, 102, 102},     {3, 1, 102},
        {-3, 102, 201}, {1e30L, 1, 102}, {-1e30L, 102, 201}, {huge, 1, 102}, {-huge, 102, 201},
    };
    for (const auto& c : cases) {
        const TBarRect bar = g.BarRect(0, c.value);
        EXPECT_EQ(bar.Top, c.top) << static_cast<double>(c.value);
        EXPECT_EQ(bar.Bottom, c.bottom) << static_cast<double>(c.value);
        EXPECT_EQ(bar.Left, 763 + 6);
        EXPECT_EQ(bar.Right, 763 + 6 + 27);
    }
}

TEST(HistogramGeometry, DraggedRowsMapBackToValues) {
    const auto g = Plot(21);
    const struct {
        int y;
        long double value;
    } cases[] = {{102, 0}, {1, 2}, {-40, 2}, {201, -2}, {900, -2}, {52, 100.0L / 101}};
    for (const auto& c : cases)
        EXPECT_EQ(g.ValueAtRow(c.y), c.value) << "y " << c.y;
    const TBarRect drag = g.DragBarRect(3, 300);
    EXPECT_EQ(drag.Top, 102);
    EXPECT_EQ(drag.Bottom, 201);
    EXPECT_EQ(g.DragBarRect(3, 40).Top, 40);
    EXPECT_EQ(g.DragBarRect(3, 40).Bottom, 102);
}

TEST(HistogramGeometry, DegenerateScalesAndSizesStayFinite) {
    const TValueScale scales[] = {
        {0, 2, 0},                // no negative span: the zero line at the bottom
        {-2, 0, 0},               // no positive span: the zero line at the top
        {1, 1, 0},                // no span at all
        {5, 9, 0},                // zero below the scale
        {-1e-4000L, 1e-4000L, 1}, // a tiny span with the zero far off
    };
    for (const auto& scale : scales) {
        const auto g = Plot(21, 0.7f, scale);
        for (int y : {-10, 0, 1, 50, 101, 102, 103, 200, 201, 500}) {
            const long double v = g.ValueAtRow(y);
            EXPECT_TRUE(std::isfinite(v)) << y;
        }
        for (long double v : {-1e30L, -1.0L, 0.0L, 0.5L, 1.0L, 1e30L}) {
            const TBarRect bar = g.BarRect(0, v);
            EXPECT_GE(bar.Top, g.PlotTop());
            EXPECT_LE(bar.Top, bar.Bottom);
            EXPECT_LE(bar.Bottom, g.PlotBottom());
        }
    }
    HistogramGeometry tiny;
    tiny.SetSize(1, 1);
    tiny.LayoutColumns(5, 0.7f);
    tiny.ComputeScale({});
    EXPECT_EQ(tiny.ColumnAt(0), 0);
    EXPECT_TRUE(std::isfinite(tiny.ValueAtRow(0)));
    EXPECT_THROW(Plot(kMaxHistogramColumns + 1), RangeError);
    EXPECT_EQ(Plot(0).ColumnAt(5), -1);
}

TEST(HistogramRules, PressesAndRequests) {
    const TBarRect bar{10, 50, 20, 102};
    EXPECT_FALSE(PressGrabsBar(bar, 46));
    EXPECT_TRUE(PressGrabsBar(bar, 47));
    EXPECT_TRUE(PressGrabsBar(bar, 105));
    EXPECT_FALSE(PressGrabsBar(bar, 106));
    EXPECT_TRUE(PressNearZeroLine(102, 99));
    EXPECT_TRUE(PressNearZeroLine(102, 105));
    EXPECT_FALSE(PressNearZeroLine(102, 98));
    EXPECT_FALSE(PressNearZeroLine(102, 106));

    const struct {
        std::int32_t low, high;
        bool accepted;
    } spans[] = {{0, 801, true}, {0, 802, false}, {5, 6, true},
                 {5, 5, false},  {6, 5, false},   {INT32_MIN, INT32_MAX, false}};
    for (const auto& s : spans)
        EXPECT_EQ(SpanAcceptable(s.low, s.high), s.accepted) << s.low << ".." << s.high;
    EXPECT_TRUE(RangeAcceptable(1, -1));
    EXPECT_FALSE(RangeAcceptable(1, 1));
    EXPECT_FALSE(RangeAcceptable(-1, 1));
    EXPECT_FALSE(RangeAcceptable(std::numeric_limits<long double>::infinity(), 0));

    using P = TEditorPress;
    const struct {
        bool left, ctrl, record;
        int y;
        P press;
    } presses[] = {
        {true, true, true, 500, P::DeleteColumn}, {false, true, true, 500, P::DeleteColumn},
        {true, true, false, 99, P::CreateColumn}, // Ctrl on an empty column: a plain click
        {true, false, false, 98, P::Nothing},     {true, false, true, 60, P::GrabBar},
        {true, false, true, 140, P::Nothing},     {false, false, true, 60, P::RightDown},
        {false, false, false, 102, P::RightDown},
    };
    for (const auto& p : presses)
        EXPECT_EQ(ClassifyEditorPress(p.left, p.ctrl, p.record, bar, 102, p.y), p.press) << p.y;
}

TEST(HistogramRules, BarColours) {
    const THistogramDisplay d;
    using K = TSourceKind;
    const struct {
        K kind;
        std::int32_t impulse;
        bool selected;
        std::uint32_t colour;
    } cases[] = {
        {K::Pass, 3, false, RgbColor(24, 24, 24)},     {K::Pass, 3, true, RgbColor(68, 68, 68)},
        {K::Input, 3, false, RgbColor(32, 160, 27)},   {K::Input, 3, true, RgbColor(96, 224, 91)},
        {K::Output, 3, false, RgbColor(180, 144, 20)}, {K::Output, 3, true, RgbColor(244, 208, 84)},
        {K::Input, 0, false, RgbColor(16, 56, 144)},   {K::Output, 0, true, RgbColor(72, 112, 200)},
        {K::Pass, 0, false, RgbColor(24, 24, 24)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BarColor(d, c.kind, c.impulse, c.selected), c.colour);
    EXPECT_EQ(RgbColor(136, 0, 0), 0x000088u);
}

} // namespace
} // namespace tarvola
