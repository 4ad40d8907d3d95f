#include "kernel/GraphAxisLayout.h"

#include "base/Numerics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace tarvola {
namespace {

// Left pixels of Count columns across a plot from x = 1 that is PlotWidth wide, column 0 at the right.
std::vector<std::int32_t> ColumnLefts(int count, int plotWidth) {
    std::vector<std::int32_t> lefts(kMaxHistogramColumns, 0);
    const long double pitch = static_cast<long double>(plotWidth) / count;
    for (int k = 0; k < count; ++k)
        lefts[static_cast<std::size_t>(k)] = 1 + Round32((count - 1 - k) * pitch);
    return lefts;
}

TTextExtent FixedWidthText(const std::string& text) {
    return {static_cast<int>(text.size()) * 6, 8};
}

TEST(GraphAxisLabels, CountIsCappedAndSpreadAlongTheRuler) {
    GraphAxisLayout axis;
    axis.EndLabels = true;
    axis.SetLength(400);
    axis.SetLabelCount(30, 0);
    EXPECT_EQ(axis.LabelCount(), 25);
    EXPECT_EQ(axis.LabelPos(24), 400);

    axis.SetLabelCount(5, 7);
    const int expected[] = {0, 100, 200, 300, 400};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(axis.LabelPos(i), expected[i]);

    axis.SetLabelCount(1, 0); // one label: no division by zero
    EXPECT_EQ(axis.LabelCount(), 1);
    EXPECT_EQ(axis.LabelPos(0), 0);

    axis.EndLabels = false; // without end labels the offset shifts them
    axis.SetLabelCount(3, 5);
    EXPECT_EQ(axis.LabelPos(0), 5);
    EXPECT_EQ(axis.LabelPos(2), 405);
}

TEST(GraphAxisLabels, ValueRangeAndCaptions) {
    struct Case {
        int decimals;
        bool endLabels;
        int count;
        long double low, high;
        std::vector<const char*> captions;
    };
    const Case cases[] = {
        {0, true, 4, 0, 10, {"0", "3", "6", "9"}},
        {4, true, 5, -2, 2, {"-2.0000", "-1.0000", "0.0000", "1.0000", "2.0000"}},
        {2, true, 3, -0.5L, 0.25L, {"-0.50", "-0.13", "0.25"}},
        {1, false, 4, 0, 10, {"0.0", "2.5", "5.0", "7.5"}},
        {0, true, 2, 1e30L, 3e30L, {"1E30", "3E30"}}, // huge values: no integer rounding overflow
    };
    for (const auto& c : cases) {
        GraphAxisLayout axis;
        axis.Decimals = c.decimals;
        axis.EndLabels = c.endLabels;
        axis.SetLength(200);
        axis.SetLabelCount(c.count, 0);
        axis.SetValueRange(c.low, c.high);
        ASSERT_EQ(axis.LabelCount(), static_cast<int>(c.captions.size()));
        for (int i = 0; i < axis.LabelCount(); ++i)
            EXPECT_EQ(axis.LabelCaption(i), c.captions[static_cast<std::size_t>(i)]) << "label " << i;
    }
}

TEST(GraphAxisColumns, LabelsStandOnExistingColumnsOnly) {
    struct Case {
        int count;
        int step;
        std::vector<int> labelColumns; // first, second, last
        int labels;
    };
    const Case cases[] = {
        {801, 32, {16, 48, 784}, 25},
        {60, 4, {2, 6, 58}, 15},
        {21, 1, {0, 1, 20}, 21}, // the editor's default width: no label beyond the last column
        {25, 1, {0, 1, 24}, 25},
        {26, 3, {1, 4, 25}, 9}, // 26 labels at step 1 are too many: step 1 + 1 + 1
        {2, 1, {0, 1, 1}, 2},
    };
    const int plotWidth = 800;
    const std::int32_t low = -10;
    for (const auto& c : cases) {
        GraphAxisLayout axis;
        axis.Horizontal = true;
        axis.Decimals = 0;
        axis.SetLength(plotWidth + 2);
        axis.SetColumnPitch(static_cast<long double>(plotWidth) / c.count);
        const auto lefts = ColumnLefts(c.count, plotWidth);
        const int offset = axis.ColumnWidth() / 2;
        axis.SetColumns(lefts, low, low + c.count - 1, c.count, offset);
        SCOPED_TRACE(c.count);
        EXPECT_EQ(axis.ColumnLabelStep(), c.step);
        ASSERT_EQ(axis.LabelCount(), c.labels);
        const int firstColumn = c.labelColumns[0];
        const int secondColumn = c.labelColumns[1];
        const int lastColumn = c.labelColumns[2];
        EXPECT_EQ(axis.LabelValue(0), low + firstColumn);
        EXPECT_EQ(axis.LabelValue(1), low + secondColumn);
        EXPECT_EQ(axis.LabelValue(c.labels - 1), low + lastColumn);
        EXPECT_EQ(axis.LabelPos(c.labels - 1), lefts[static_cast<std::size_t>(lastColumn)] + offset);
        EXPECT_LE(axis.LabelValue(c.labels - 1), low + c.count - 1);
        // The table runs from the last column to the first, so its entries go left to right.
        EXPECT_EQ(axis.Column(0).Left, 1);
        EXPECT_EQ(axis.Column(c.count - 1).Left, lefts[0]);
        EXPECT_EQ(axis.Column(c.count - 1 - lastColumn).Label, c.labels - 1);
    }
}

TEST(GraphAxisColumns, ColumnCountBeyondTheTableIsAnError) {
    GraphAxisLayout axis;
    axis.Horizontal = true;
    const std::vector<std::int32_t> lefts(10, 0);
    EXPECT_THROW(axis.SetColumns(lefts, 0, 10, 11, 0), RangeError);
    axis.SetColumns(lefts, 0, -1, 0, 0);
    EXPECT_EQ(axis.LabelCount(), 0);
}

TEST(GraphAxisColumns, RelabelAfterAScrollKeepsThePlaces) {
    GraphAxisLayout axis;
    axis.Horizontal = true;
    axis.SetColumnPitch(800.0L / 60);
    axis.SetColumns(ColumnLefts(60, 800), 100, 159, 60, 0);
    const int pos = axis.LabelPos(3);
    axis.LowValue = 130;
    axis.SetColumnLabelValues();
    EXPECT_EQ(axis.LabelValue(0), 132);
    EXPECT_EQ(axis.LabelValue(3), 144);
    EXPECT_EQ(axis.LabelPos(3), pos);
}

TEST(GraphAxisLabels, BoxesStayInsideTheRuler) {
    GraphAxisLayout value;
    value.EndLabels = true;
    value.ReverseLabels = true;
    value.Decimals = 4;
    value.SetThickness(35);
    value.SetLength(300);
    value.SetLabelCount(5, 0);
    value.SetValueRange(-2, 2);
    value.LayoutLabels(FixedWidthText);
    const auto& boxes = value.LabelBoxes();
    ASSERT_EQ(boxes.size(), 5u);
    // The lowest value at the bottom, kept inside; the highest at the top.
    EXPECT_EQ(boxes[0].Caption, "-2.0000");
    EXPECT_EQ(boxes[0].Top + boxes[0].Height, 300);
    EXPECT_EQ(boxes[4].Top, 0);
    EXPECT_EQ(boxes[2].Top, 150 - 4);
    EXPECT_EQ(boxes[2].Left, 35 - (6 * 6 + 3)); // "0.0000"

    GraphAxisLayout impulses;
    impulses.Horizontal = true;
    impulses.Decimals = 0;
    impulses.SetLength(802);
    impulses.SetColumnPitch(800.0L / 21);
    impulses.SetColumns(ColumnLefts(21, 800), -10, 10, 21, impulses.ColumnWidth() / 2);
    impulses.LayoutLabels(FixedWidthText);
    for (const auto& box : impulses.LabelBoxes()) {
        EXPECT_GE(box.Left, 0) << box.Caption;
        EXPECT_LE(box.Left + box.Width, 802) << box.Caption;
        EXPECT_EQ(box.Top, 3);
    }
    // Impulses run from right to left.
    EXPECT_EQ(impulses.LabelBoxes().front().Caption, "-10");
    EXPECT_EQ(impulses.LabelBoxes().back().Caption, "10");
    EXPECT_LT(impulses.LabelBoxes().back().Left, impulses.LabelBoxes().front().Left);
}

// The callbacks a ruler made.
struct Calls {
    std::vector<std::pair<std::int32_t, std::int32_t>> spans;
    std::vector<std::pair<long double, long double>> ranges;
};

GraphAxisLayout ValueRuler(Calls& calls) {
    GraphAxisLayout axis;
    axis.EndLabels = true;
    axis.ReverseLabels = true;
    axis.Decimals = 4;
    axis.SetThickness(35);
    axis.SetLength(400);
    axis.SetLabelCount(5, 0);
    axis.SetValueRange(-2, 2);
    axis.OnRangeSelect = [&calls](long double high, long double low) {
        calls.ranges.emplace_back(high, low);
    };
    return axis;
}

GraphAxisLayout ImpulseRuler(Calls& calls, std::int32_t low, std::int32_t high) {
    GraphAxisLayout axis;
    axis.Horizontal = true;
    axis.Decimals = 0;
    axis.SetThickness(35);
    axis.SetLength(802);
    const int count = high - low + 1;
    axis.SetColumnPitch(800.0L / count);
    axis.SetColumns(ColumnLefts(count, 800), low, high, count, axis.ColumnWidth() / 2);
    axis.OnSpanSelect = [&calls](std::int32_t l, std::int32_t h) { calls.spans.emplace_back(l, h); };
    return axis;
}

TEST(GraphAxisMouse, ValueRulerClicksAndDrags) {
    struct Step {
        enum Kind { Down, Move, Up } kind;
        TAxisButton button;
        int y;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<std::pair<long double, long double>> ranges;
    };
    using B = TAxisButton;
    const Case cases[] = {
        {"left click zooms in", {{Step::Down, B::Left, 200}, {Step::Up, B::Left, 200}}, {{1, -1}}},
        {"right click zooms out", {{Step::Down, B::Right, 50}, {Step::Up, B::Right, 50}}, {{4, -4}}},
        {"a move to the same place is no drag",
         {{Step::Down, B::Left, 200}, {Step::Move, B::Left, 200}, {Step::Up, B::Left, 200}},
         {{1, -1}}},
        {"left drag scrolls by the distance",
         {{Step::Down, B::Left, 200}, {Step::Move, B::Left, 300}, {Step::Up, B::Left, 300}},
         {{3, -1}}},
        {"right band selects upper then lower",
         {{Step::Down, B::Right, 100},
          {Step::Move, B::Right, 250},
          {Step::Move, B::Right, 300},
          {Step::Up, B::Right, 300}},
         {{1, -1}}},
        {"band dragged upwards and past the end",
         {{Step::Down, B::Right, 200}, {Step::Move, B::Right, -50}, {Step::Up, B::Right, -50}},
         {{2, 0}}},
        {"middle button does nothing", {{Step::Down, B::Middle, 10}, {Step::Up, B::Middle, 10}}, {}},
    };
    for (const auto& c : cases) {
        Calls calls;
        auto axis = ValueRuler(calls);
        for (const auto& s : c.steps) {
            if (s.kind == Step::Down)
                axis.MouseDown(s.button, 10, s.y);
            else if (s.kind == Step::Move)
                axis.MouseMove(10, s.y);
            else
                axis.MouseUp(s.button, 10, s.y);
        }
        EXPECT_EQ(calls.ranges, c.ranges) << c.name;
        EXPECT_FALSE(axis.DragPending()) << c.name;
    }
}

TEST(GraphAxisMouse, ValueBandIsClippedAndLightsItsLabels) {
    Calls calls;
    auto axis = ValueRuler(calls);
    axis.LayoutLabels(FixedWidthText);
    axis.MouseDown(TAxisButton::Right, 10, 150);
    EXPECT_FALSE(axis.BandShown());
    axis.MouseMove(10, 500);
    EXPECT_TRUE(axis.DragPending());
    EXPECT_TRUE(axis.BandShown());
    EXPECT_EQ(axis.BandTop(), 150);
    EXPECT_EQ(axis.BandBottom(), 398);
    // Slots 200 and 300 lie in the band: labels 2 and 1 (reversed).
    EXPECT_FALSE(axis.LabelHighlighted(0));
    EXPECT_TRUE(axis.LabelHighlighted(1));
    EXPECT_TRUE(axis.LabelHighlighted(2));
    EXPECT_FALSE(axis.LabelHighlighted(3));
    axis.CancelDrag();
    EXPECT_FALSE(axis.DragPending());
    EXPECT_FALSE(axis.BandShown());
    ASSERT_EQ(calls.ranges.size(), 1u);
    EXPECT_EQ(calls.ranges[0].first, 0.5L);
    EXPECT_EQ(calls.ranges[0].second, -2);
}

TEST(GraphAxisMouse, ImpulseRulerClicksAndBands) {
    {
        Calls calls; // a right click on a one-column span widens it by one on each side
        auto axis = ImpulseRuler(calls, 5, 5);
        axis.MouseDown(TAxisButton::Right, 400, 10);
        axis.MouseUp(TAxisButton::Right, 400, 10);
        EXPECT_EQ(calls.spans, (decltype(calls.spans){{4, 6}}));
    }
    {
        Calls calls; // a left click zooms in by a quarter of the span on each side
        auto axis = ImpulseRuler(calls, -400, 400);
        axis.MouseDown(TAxisButton::Left, 400, 10);
        axis.MouseUp(TAxisButton::Left, 400, 10);
        EXPECT_EQ(calls.spans, (decltype(calls.spans){{-200, 200}}));
    }
    {
        Calls calls; // a left click on a narrow span still narrows by one column each side
        auto axis = ImpulseRuler(calls, 0, 2);
        axis.MouseDown(TAxisButton::Left, 400, 10);
        axis.MouseUp(TAxisButton::Left, 400, 10);
        EXPECT_EQ(calls.spans, (decltype(calls.spans){{1, 1}}));
    }
    {
        Calls calls; // a band from the third column from the left to the sixth: impulses of its ends
        auto axis = ImpulseRuler(calls, -10, 10);
        const int third = axis.Column(2).Left + 3;
        const int sixth = axis.Column(5).Left + 3;
        axis.MouseDown(TAxisButton::Right, sixth, 10);
        axis.MouseMove(sixth - 20, 10);
        axis.MouseMove(third, 10);
        EXPECT_TRUE(axis.Column(2).Highlighted);
        EXPECT_TRUE(axis.Column(5).Highlighted);
        EXPECT_FALSE(axis.Column(6).Highlighted);
        axis.MouseMove(axis.Column(4).Left + 3, 10); // turning back restores the columns left behind
        EXPECT_FALSE(axis.Column(2).Highlighted);
        EXPECT_FALSE(axis.Column(3).Highlighted);
        axis.MouseMove(third, 10);
        axis.MouseUp(TAxisButton::Right, third, 10);
        EXPECT_EQ(calls.spans, (decltype(calls.spans){{5, 8}}));
        for (int j = 0; j < axis.ColumnCount(); ++j)
            EXPECT_FALSE(axis.Column(j).Highlighted);
    }
    {
        Calls calls; // a left drag scrolls by whole columns and moves the labels with it
        auto axis = ImpulseRuler(calls, 0, 99);
        const long double firstLabel = axis.LabelValue(0);
        axis.MouseDown(TAxisButton::Left, 104, 10); // pitch 8: column 13
        axis.MouseMove(128, 10);                    // column 16
        axis.MouseMove(130, 10);                    // still 16
        axis.MouseUp(TAxisButton::Left, 130, 10);
        EXPECT_EQ(calls.spans, (decltype(calls.spans){{3, 102}}));
        EXPECT_EQ(axis.LabelValue(0), firstLabel + 3);
    }
}

} // namespace
} // namespace tarvola
