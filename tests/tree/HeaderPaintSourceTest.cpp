// The header painter's records as the header model gives them: visible columns in position order, with
// the transient indexes and the sort column marked on the right records.
#include "tests/tree/HeaderTestSupport.h"
#include "tree/HeaderPaintSource.h"

#include <gtest/gtest.h>

namespace tarvola {
namespace {

TEST(HeaderPaintSource, VisibleColumnsInPositionOrderWithTheirMarks) {
    test::HeaderFixture fixture({50, 60, 70, 80});
    TVirtualTreeColumns& columns = fixture.columns;
    columns[0].SetText(L"Name");
    columns[2].SetOptions(static_cast<TVTColumnOptions>(columns[2].Options() & ~coVisible));
    columns[3].SetPosition(0);
    columns[1].SetBiDiMode(TBiDiMode::bdRightToLeft);
    columns.HoverIndex = 1;
    columns.DownIndex = 3;
    columns.DropTarget = 0;
    columns.DropBefore = true;
    fixture.header.SetSortColumn(0);
    fixture.header.SetSortDirection(TSortDirection::sdDescending);
    fixture.header.SetStyle(TVTHeaderStyle::hsXPStyle);

    const std::vector<THeaderPaintColumn> paint = HeaderPaintColumns(fixture.header);
    ASSERT_EQ(paint.size(), 3u) << "the hidden column is left out";
    EXPECT_EQ(paint[0].Index, 3);
    EXPECT_EQ(paint[1].Index, 0);
    EXPECT_EQ(paint[2].Index, 1);
    EXPECT_EQ(paint[0].Width, 80);
    EXPECT_TRUE(paint[0].IsDownIndex);
    EXPECT_EQ(paint[1].Text, L"Name");
    EXPECT_TRUE(paint[1].IsSortColumn);
    EXPECT_TRUE(paint[1].IsDropTarget);
    EXPECT_TRUE(paint[1].DropBefore);
    EXPECT_TRUE(paint[2].IsHoverIndex);
    EXPECT_TRUE(paint[2].RightToLeft);
    EXPECT_FALSE(paint[0].AtLastPosition);
    EXPECT_FALSE(paint[2].AtLastPosition) << "the hidden column holds the last position";

    THeaderPaintRecord record;
    FillHeaderPaintRecord(fixture.header, record);
    EXPECT_EQ(record.Style, THeaderFaceStyle::hsXPStyle);
    EXPECT_EQ(record.SortDirection, TSortDirection::sdDescending);
    EXPECT_EQ(record.Options, fixture.header.Options());
}

} // namespace
} // namespace tarvola
