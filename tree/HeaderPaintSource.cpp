#include "tree/HeaderPaintSource.h"

#include "tree/Header.h"

namespace tarvola {

namespace {

// The painter's enums copy the model's ordinals.
static_assert(static_cast<int>(THeaderGlyphLayout::blGlyphBottom) ==
              static_cast<int>(TVTHeaderColumnLayout::blGlyphBottom));
static_assert(static_cast<int>(THeaderAlignment::taCenter) == static_cast<int>(TAlignment::taCenter));
static_assert(static_cast<int>(THeaderFaceStyle::hsXPStyle) == static_cast<int>(TVTHeaderStyle::hsXPStyle));

THeaderPaintColumn PaintColumnOf(const TVTHeader& header, const TVirtualTreeColumn& column) {
    const TVirtualTreeColumns& columns = header.Columns();
    THeaderPaintColumn paint;
    paint.Index = column.Index();
    paint.Width = column.Width();
    paint.Text = column.Text();
    paint.ImageIndex = column.ImageIndex();
    paint.Layout = static_cast<THeaderGlyphLayout>(column.Layout());
    paint.Alignment = static_cast<THeaderAlignment>(column.Alignment());
    paint.Margin = column.Margin();
    paint.Spacing = column.Spacing();
    paint.RightToLeft = column.BiDiMode() != TBiDiMode::bdLeftToRight;
    paint.OwnerDraw = column.Style() == TVirtualTreeColumnStyle::vsOwnerDraw;
    paint.Options = column.Options();
    paint.AtLastPosition = column.Position() == columns.Count() - 1;
    paint.IsHoverIndex = column.Index() == columns.HoverIndex;
    paint.IsDownIndex = column.Index() == columns.DownIndex;
    paint.IsSortColumn = column.Index() == header.SortColumn();
    paint.IsDropTarget = column.Index() == columns.DropTarget;
    paint.IsDragIndex = column.Index() == columns.DragIndex;
    paint.DropBefore = columns.DropBefore;
    return paint;
}

} // namespace

std::vector<THeaderPaintColumn> HeaderPaintColumns(const TVTHeader& header) {
    std::vector<THeaderPaintColumn> result;
    const TVirtualTreeColumns& columns = header.Columns();
    for (TColumnIndex index : columns.GetVisibleColumns())
        result.push_back(PaintColumnOf(header, columns[index]));
    return result;
}

void FillHeaderPaintRecord(const TVTHeader& header, THeaderPaintRecord& record) {
    record.Options = header.Options();
    record.Style = static_cast<THeaderFaceStyle>(header.Style());
    record.Background = header.Background();
    record.SortDirection = header.SortDirection();
}

} // namespace tarvola
