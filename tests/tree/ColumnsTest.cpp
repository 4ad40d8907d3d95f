// The column model: the position array through adds, deletions, moves and index changes; the column indexes
// held elsewhere after a deletion; width limits; the auto-size column; spring columns; navigation and the
// column under a point.
#include "tests/tree/HeaderTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarvola::test {
namespace {

using Ints = std::vector<int>;

TEST(ColumnPositions, AddMoveDeleteAndIndexChangesKeepThePositionArrayAndLeftEdges) {
    struct Case {
        const char* name;
        std::function<void(TVirtualTreeColumns&)> act;
        Ints positionToIndex;
        Ints lefts; // by column index
    };
    // Columns 0, 1, 2 of widths 10, 20, 30.
    const Case cases[] = {
        {"three added", [](TVirtualTreeColumns&) {}, {0, 1, 2}, {0, 10, 30}},
        {"fourth added", [](TVirtualTreeColumns& c) { c.Add().SetWidth(40); }, {0, 1, 2, 3}, {0, 10, 30, 60}},
        {"last moved first", [](TVirtualTreeColumns& c) { c[2].SetPosition(0); }, {2, 0, 1}, {30, 40, 0}},
        {"first moved past the end",
         [](TVirtualTreeColumns& c) { c[0].SetPosition(9); },
         {1, 2, 0},
         {50, 0, 20}},
        {"hidden column takes no width",
         [](TVirtualTreeColumns& c) { c[0].SetOptions(c[0].Options() & ~coVisible); },
         {0, 1, 2},
         {0, 0, 20}},
        {"delete at position 0", [](TVirtualTreeColumns& c) { c.Delete(0); }, {0, 1}, {0, 20}},
        {"delete in the middle", [](TVirtualTreeColumns& c) { c.Delete(1); }, {0, 1}, {0, 10}},
        {"delete the last", [](TVirtualTreeColumns& c) { c.Delete(2); }, {0, 1}, {0, 10}},
        {"delete a moved column",
         [](TVirtualTreeColumns& c) {
             c[2].SetPosition(0);
             c.Delete(0);
         },
         {1, 0},
         {30, 0}},
        {"index change moves the column, not its place",
         [](TVirtualTreeColumns& c) { c.SetColumnIndex(0, 2); },
         {2, 0, 1},
         {10, 30, 0}},
    };
    for (const Case& testCase : cases) {
        HeaderFixture f({10, 20, 30});
        testCase.act(f.columns);
        EXPECT_EQ(f.columns.PositionToIndex(), testCase.positionToIndex) << testCase.name;
        EXPECT_EQ(f.Lefts(), testCase.lefts) << testCase.name;
        for (int position = 0; position < f.columns.Count(); ++position)
            EXPECT_EQ(f.columns[f.columns.PositionToIndex()[position]].Position(), position) << testCase.name;
    }
}

TEST(ColumnPositions, DeletionShiftsEveryHeldIndexAndKeepsTheMainColumnOnAColumn) {
    struct Case {
        TColumnIndex deleted;
        TColumnIndex held; // hover, down, track, click, auto-size, sort and main before
        TColumnIndex expected;
        TColumnIndex expectedMain;
    };
    const Case cases[] = {
        {1, 0, 0, 0}, {1, 1, NoColumn, 0}, {1, 2, 1, 1}, {0, 0, NoColumn, 0}, {2, 2, NoColumn, 0},
    };
    for (const Case& c : cases) {
        HeaderFixture f({10, 20, 30});
        f.header.SetMainColumn(c.held);
        f.header.SetSortColumn(c.held);
        f.header.SetAutoSizeIndex(c.held);
        f.columns.HoverIndex = f.columns.DownIndex = f.columns.TrackIndex = f.columns.ClickIndex = c.held;
        f.columns.Delete(c.deleted);
        for (TColumnIndex index : {f.columns.HoverIndex, f.columns.DownIndex, f.columns.TrackIndex,
                                   f.columns.ClickIndex, f.header.SortColumn(), f.header.AutoSizeIndex()})
            EXPECT_EQ(index, c.expected) << "deleted " << c.deleted << " held " << c.held;
        EXPECT_EQ(f.header.MainColumn(), c.expectedMain) << "deleted " << c.deleted << " held " << c.held;
    }
    HeaderFixture last({10});
    last.columns.Delete(0);
    EXPECT_EQ(last.header.MainColumn(), NoColumn);
    EXPECT_THROW(last.columns.Delete(0), std::out_of_range);
}

TEST(ColumnPositions, PositionsStoredWhileTheTreeLoadsAreFixedAfterwards) {
    HeaderFixture f;
    f.tree.loading = true;
    for (int width : {10, 20, 30, 40})
        f.columns.Add().SetWidth(width);
    EXPECT_TRUE(f.columns.NeedPositionsFix());
    // Stored positions as a form layout gives them, one clashing and one out of range.
    for (auto [column, position] : {std::pair{0, 2}, {1, 0}, {2, 0}, {3, 9}})
        f.columns[column].SetPosition(position);
    f.tree.loading = false;
    f.columns.FixPositions();
    EXPECT_FALSE(f.columns.NeedPositionsFix());
    EXPECT_EQ(f.columns.PositionToIndex(), (Ints{1, 2, 0, 3})); // the unplaced take the free slots in order
    EXPECT_EQ(f.Lefts(), (Ints{50, 0, 20, 60}));
}

TEST(ColumnWidths, ClampedToTheLimitsWithTheOldWidthRemembered) {
    HeaderFixture f({100});
    TVirtualTreeColumn& column = f.columns[0];
    column.SetWidth(5);
    EXPECT_EQ(column.Width(), 10);
    EXPECT_EQ(column.LastWidth(), 100);
    column.SetMaxWidth(60);
    column.SetWidth(200);
    EXPECT_EQ(column.Width(), 60);
    column.SetMinWidth(80); // above the maximum: the minimum stops at the maximum
    EXPECT_EQ(column.MinWidth(), 60);
    EXPECT_EQ(f.tree.log, (std::vector<std::string>{"Resize 0", "Resize 0"}));
}

TEST(ColumnWidths, TheAutoSizeColumnTakesTheRestOfTheClientWidth) {
    HeaderFixture f({100, 100, 100});
    f.header.SetOptions(f.header.Options() | hoAutoResize);
    EXPECT_EQ(f.Widths(), (Ints{300, 100, 100})); // AutoSizeIndex is 0 by default
    f.header.SetAutoSizeIndex(NoColumn);          // no valid index: the last column
    EXPECT_EQ(f.Widths(), (Ints{300, 100, 100}));
    f.columns[0].SetWidth(100);
    EXPECT_EQ(f.Widths(), (Ints{100, 100, 300}));
    // A column resized right of the auto-size column hands the rest to its right neighbour: none here.
    f.tree.clientWidth = 600;
    f.columns.AdjustAutoSize(2);
    EXPECT_EQ(f.Widths(), (Ints{100, 100, 300}));
    f.columns.AdjustAutoSize(InvalidColumn);
    EXPECT_EQ(f.Widths(), (Ints{100, 100, 400}));
    f.tree.clientWidth = 150; // the rest is below the minimum
    f.columns.AdjustAutoSize(InvalidColumn);
    EXPECT_EQ(f.Widths(), (Ints{100, 100, 10}));
}

struct SpringFixture : HeaderFixture {
    SpringFixture() : HeaderFixture({100, 100, 100, 100}) {
        for (int i = 0; i < 3; ++i)
            columns[i].SetOptions(columns[i].Options() | coAutoSpring);
        header.SetOptions(header.Options() | hoAutoSpring);
        Resize(300); // remembers the first width
    }
    void Resize(int width) {
        tree.clientWidth = width;
        columns.UpdateSpringColumns();
    }
};

TEST(ColumnWidths, ResizesBelowOnePixelPerAnimationStepAreNotAnimated) {
    for (int delta : {0, 1, 31, -31})
        EXPECT_FALSE(ColumnResizeIsAnimated(delta)) << delta;
    for (int delta : {32, -32, 500})
        EXPECT_TRUE(ColumnResizeIsAnimated(delta)) << delta;
}

TEST(SpringColumns, ShareGrowthAndOweTheFractions) {
    SpringFixture f;
    f.Resize(310);
    EXPECT_EQ(f.Widths(), (Ints{103, 103, 103, 100}));
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(f.columns[i].SpringRest(), 1.0 / 3, 1e-6);
    f.Resize(320);
    f.Resize(330); // three thirds owed are paid
    EXPECT_EQ(f.Widths(), (Ints{110, 110, 110, 100}));
}

TEST(SpringColumns, GrowThenShrinkReturnsTheOriginalWidths) {
    for (int step : {10, 7, 1, 31}) {
        SpringFixture f;
        f.Resize(300 + step);
        f.Resize(300);
        EXPECT_EQ(f.Widths(), (Ints{100, 100, 100, 100})) << step;
        f.Resize(300 - step);
        f.Resize(300);
        EXPECT_EQ(f.Widths(), (Ints{100, 100, 100, 100})) << step;
    }
}

TEST(ColumnNavigation, ByPositionWithHiddenColumnsSkipped) {
    HeaderFixture f({10, 20, 30, 40});
    f.columns[3].SetPosition(0); // order 3, 0, 1, 2
    f.columns[0].SetOptions(f.columns[0].Options() & ~coVisible);
    EXPECT_EQ(f.columns.GetFirstVisibleColumn(), 3);
    EXPECT_EQ(f.columns.GetLastVisibleColumn(), 2);
    EXPECT_EQ(f.columns.GetNextColumn(3), 0);
    EXPECT_EQ(f.columns.GetNextVisibleColumn(3), 1);
    EXPECT_EQ(f.columns.GetPreviousVisibleColumn(1), 3);
    EXPECT_EQ(f.columns.GetPreviousColumn(3), InvalidColumn);
    EXPECT_EQ(f.columns.GetNextVisibleColumn(2), InvalidColumn);
    EXPECT_EQ(f.columns.GetNextVisibleColumn(7), InvalidColumn);
    EXPECT_EQ(f.columns.GetVisibleColumns(), (Ints{3, 1, 2}));
    EXPECT_EQ(f.columns.ColumnFromPosition(1), 0);
    EXPECT_EQ(f.columns.ColumnFromPosition(4), NoColumn);
    EXPECT_EQ(f.columns.TotalWidth(), 90);
}

TEST(ColumnNavigation, TheColumnUnderAPointFollowsTheScrollOffset) {
    HeaderFixture f({10, 20, 30});
    struct Case {
        int offsetX, x;
        TColumnIndex column;
        int left, right;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 10},
        {0, 9, 0, 0, 10},
        {0, 10, 1, 10, 30},
        {0, 59, 2, 30, 60},
        {0, 60, InvalidColumn, 0, 0},
        {-15, 0, 1, -5, 15},
        {-15, 44, 2, 15, 45},
    };
    for (const Case& c : cases) {
        f.tree.offsetX = c.offsetX;
        int left = 0, right = 0;
        const TColumnIndex column = f.columns.GetColumnAndBounds(TVTPoint{c.x, 5}, left, right);
        EXPECT_EQ(column, c.column) << c.offsetX << " " << c.x;
        if (column >= 0) {
            EXPECT_EQ(left, c.left) << c.x;
            EXPECT_EQ(right, c.right) << c.x;
        }
    }
    EXPECT_EQ(f.columns.ColumnFromPosition(TVTPoint{-1, 5}), InvalidColumn);
    EXPECT_EQ(f.columns.ColumnFromPosition(TVTPoint{5, -1}), InvalidColumn);
}

TEST(ColumnItem, DisplayNameAndParentColour) {
    HeaderFixture f({10, 20, 30});
    f.columns[2].SetText(L"Size");
    EXPECT_EQ(f.columns[2].GetDisplayName(), L"Size");
    f.columns[2].SetText(std::wstring(L"Gr") + wchar_t(0x0394));
    EXPECT_EQ(f.columns[2].GetDisplayName(), L"Column 2");
    f.columns[1].SetColor(0x123456);
    EXPECT_FALSE(f.columns[1].Has(coParentColor));
    f.columns[1].SetOptions(f.columns[1].Options() | coParentColor);
    EXPECT_EQ(f.columns[1].Color(), VTclWindow);
}

} // namespace
} // namespace tarvola::test
