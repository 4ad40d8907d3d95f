// Hit testing through the tree (points outside, the check area's conditions, scrolled rows, columns with
// their alignment, reading order and spanning) and the rubber band's steps on small fixtures: rows whose
// text the band crosses are selected (from the first step on), shrinking deselects, Ctrl toggles, the simple
// mode counts rows only, and each step measures only the rows the bands span.
#include "tests/tree/TreeTestSupport.h"

#include "forms/Events.h"
#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/HitTest.h"
#include "tree/TreeOptions.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvola::test {
namespace {

// Appends a word to a space-separated list.
void AppendWord(std::string& list, const std::string& word) {
    if (!list.empty())
        list += ' ';
    list += word;
}

// Every row is 18 px high; a top-level node's text starts at 22 (18 indentation with the root shown, 4
// margin) and is 50 px wide, so it spans x 22..71 of the 200 px wide client area.
class MeasuredTree : public TBaseVirtualTree {
public:
    using TBaseVirtualTree::TBaseVirtualTree;
    int textWidth = 50;
    int widthCalls = 0;
    int GetNodeWidth(PVirtualNode, TColumnIndex) override {
        ++widthCalls;
        return textWidth;
    }
};

struct Rows {
    RecordingHost host;
    MeasuredTree tree{&host};
    explicit Rows(std::uint32_t count) {
        host.tree = &tree;
        host.window = true;
        tree.SetRootNodeCount(count);
        tree.ValidateCache();
        FakeGuiThread::Instance().WaitWhile([this] { return tree.ValidationPending(); });
    }
    PVirtualNode Row(std::uint32_t index) {
        PVirtualNode node = tree.GetFirst();
        for (std::uint32_t i = 0; i < index && node != nullptr; ++i)
            node = tree.GetNext(node);
        return node;
    }
    std::string Selected() {
        std::string rows;
        for (PVirtualNode node = tree.GetFirst(); node != nullptr; node = tree.GetNext(node))
            if (tree.Selected(node))
                AppendWord(rows, std::to_string(node->Index));
        return rows;
    }
    void SelectionOptions(TVTSelectionOptions options) { tree.TreeOptions().SetSelectionOptions(options); }
    void Press(int x, int y, TTreeShiftState shift = 0) {
        tree.HandleMouseDown(TTreeMouseMessage{shift, x, y}, tree.GetHitTestInfoAt(x, y, true));
    }
    void Move(int x, int y) { tree.HandleMouseMove(0, x, y); }
    void Release(int x, int y) {
        tree.HandleMouseUp(TTreeMouseMessage{0, x, y}, tree.GetHitTestInfoAt(x, y, true));
    }
};

constexpr int RowMiddle(int row) {
    return row * 18 + 5;
}

// ---- Hit testing

struct HitCase {
    const char* what;
    void (*setup)(Rows&);
    int x, y;
    int node; // row index, -1: none
    THitPositions positions;
    TColumnIndex column;
};

void NoSetup(Rows&) {}
void CheckBoxes(Rows& r) {
    r.tree.TreeOptions().SetMiscOptions(
        r.tree.TreeOptions().MiscOptions().With(TVTMiscOption::toCheckSupport));
    r.tree.ColumnFitMetrics.CheckImageWidth = 16;
    r.tree.SetCheckType(r.Row(0), TCheckType::ctCheckBox);
}
void CheckTypeWithoutSupport(Rows& r) {
    r.tree.ColumnFitMetrics.CheckImageWidth = 16;
    r.tree.SetCheckType(r.Row(0), TCheckType::ctCheckBox);
}
void CheckSupportWithoutImages(Rows& r) {
    r.tree.TreeOptions().SetMiscOptions(
        r.tree.TreeOptions().MiscOptions().With(TVTMiscOption::toCheckSupport));
    r.tree.SetCheckType(r.Row(0), TCheckType::ctCheckBox);
}
void ScrolledOneRow(Rows& r) {
    r.host.clientHeight = 100; // less than the rows: they can scroll
    r.tree.SetOffsetY(-18);
}
void Children(Rows& r) {
    r.tree.SetChildCount(r.Row(0), 2);
}
void TwoColumns(Rows& r) {
    TVirtualTreeColumns& columns = r.tree.Header().Columns();
    columns.Add().SetWidth(100);
    columns.Add().SetWidth(100);
    r.tree.Header().SetMainColumn(0);
}
void ReportMode(Rows& r) {
    TwoColumns(r);
    r.tree.TreeOptions().SetMiscOptions(r.tree.TreeOptions().MiscOptions().With(TVTMiscOption::toReportMode));
}
void RightToLeftMain(Rows& r) {
    TwoColumns(r);
    r.tree.Header().Columns()[0].SetBiDiMode(TBiDiMode::bdRightToLeft);
}
void RightAlignedSecond(Rows& r) {
    TwoColumns(r);
    r.tree.Header().Columns()[1].SetAlignment(TAlignment::taRightJustify);
}
void SpanningColumns(Rows& r) {
    TwoColumns(r);
    r.tree.Header().Columns().Add().SetWidth(100);
    r.tree.RangeWidth = 300; // the columns' total width
    r.tree.TreeOptions().SetAutoOptions(
        r.tree.TreeOptions().AutoOptions().With(TVTAutoOption::toAutoSpanColumns));
    // Only the second column's cells are empty.
    static auto secondIsEmpty = [](TBaseVirtualTree&, PVirtualNode, TColumnIndex column, bool& isEmpty) {
        isEmpty = column == 1;
    };
    r.tree.OnGetCellIsEmpty = TVTGetCellIsEmptyEvent::Bind(secondIsEmpty);
}

TEST(HitTestInfo, PointsOnAndAroundTheRows) {
    const HitCase cases[] = {
        {"text", NoSetup, 30, RowMiddle(0), 0, hpOnItem | hpOnItemLabel, NoColumn},
        {"second row's text", NoSetup, 71, RowMiddle(1), 1, hpOnItem | hpOnItemLabel, NoColumn},
        {"right of the text", NoSetup, 72, RowMiddle(1), 1, hpOnItem | hpOnItemRight, NoColumn},
        {"indentation of a leaf", NoSetup, 5, RowMiddle(0), 0, hpOnItem, NoColumn},
        {"the button of a parent", Children, 5, RowMiddle(0), 0, hpOnItem | hpOnItemButton, NoColumn},
        {"margin of a leaf without check image", NoSetup, 19, RowMiddle(0), 0, hpOnItem, NoColumn},
        {"above the client area", NoSetup, 30, -1, -1, hpAbove, NoColumn},
        {"left of the client area", NoSetup, -1, RowMiddle(0), -1, hpToLeft, NoColumn},
        {"right of the client area", NoSetup, 201, RowMiddle(0), -1, hpToRight, NoColumn},
        {"below the client area", NoSetup, 30, 401, -1, hpBelow, NoColumn},
        {"in the client area below the rows", NoSetup, 30, RowMiddle(10), -1, hpNowhere, NoColumn},
        {"scrolled by a row", ScrolledOneRow, 30, RowMiddle(0), 1, hpOnItem | hpOnItemLabel, NoColumn},
        {"margin before a check image", CheckBoxes, 19, RowMiddle(0), 0, hpOnItem | hpOnItemCheckbox,
         NoColumn},
        {"check image", CheckBoxes, 39, RowMiddle(0), 0, hpOnItem | hpOnItemCheckbox, NoColumn},
        {"text after a check image", CheckBoxes, 40, RowMiddle(0), 0, hpOnItem | hpOnItemLabel, NoColumn},
        {"row without a check type", CheckBoxes, 19, RowMiddle(1), 1, hpOnItem, NoColumn},
        {"check type without check support", CheckTypeWithoutSupport, 19, RowMiddle(0), 0, hpOnItem,
         NoColumn},
        {"check support without check images", CheckSupportWithoutImages, 19, RowMiddle(0), 0, hpOnItem,
         NoColumn},
        {"main column's text", TwoColumns, 30, RowMiddle(0), 0, hpOnItem | hpOnItemLabel, 0},
        {"second column's text", TwoColumns, 104, RowMiddle(0), 0, hpOnItem | hpOnItemLabel, 1},
        {"right of the second column's text", TwoColumns, 154, RowMiddle(0), 0, hpOnItem | hpOnItemRight, 1},
        {"right of the columns", TwoColumns, 200, RowMiddle(0), 0, hpNowhere, InvalidColumn},
        {"report mode: other column's text", ReportMode, 110, RowMiddle(0), 0, hpOnItem, 1},
        {"right-justified second column: text", RightAlignedSecond, 150, RowMiddle(0), 0,
         hpOnItem | hpOnItemLabel, 1},
        {"right-justified second column: left of it", RightAlignedSecond, 149, RowMiddle(0), 0,
         hpOnItem | hpOnItemLeft, 1},
        {"right to left: indentation on the right", RightToLeftMain, 90, RowMiddle(0), 0, hpOnItem, 0},
        {"right to left: text ends at the margin", RightToLeftMain, 77, RowMiddle(0), 0,
         hpOnItem | hpOnItemLabel, 0},
        {"right to left: text starts", RightToLeftMain, 28, RowMiddle(0), 0, hpOnItem | hpOnItemLabel, 0},
        {"right to left: left of the text", RightToLeftMain, 27, RowMiddle(0), 0, hpOnItem | hpOnItemLeft, 0},
        {"an empty cell belongs to the filled one on its left", SpanningColumns, 150, RowMiddle(0), 0,
         hpOnItem | hpOnItemRight, 0},
        {"a filled cell keeps its column", SpanningColumns, 260, RowMiddle(0), 0, hpOnItem | hpOnItemRight,
         2},
    };
    for (const HitCase& c : cases) {
        SCOPED_TRACE(c.what);
        Rows rows(10);
        c.setup(rows);
        const THitInfo hit = rows.tree.GetHitTestInfoAt(c.x, c.y, true);
        EXPECT_EQ(hit.HitNode, c.node < 0 ? nullptr : rows.Row(static_cast<std::uint32_t>(c.node)));
        EXPECT_EQ(hit.HitPositions, c.positions);
        EXPECT_EQ(hit.HitColumn, c.column);
    }
}

// ---- Rubber band

TEST(RubberBand, DraggingDownSelectsTheRowsWhoseTextItCrossesAndShrinkingDeselects) {
    Rows rows(10);
    rows.SelectionOptions({TVTSelectionOption::toMultiSelect});
    rows.Press(100, RowMiddle(0));
    EXPECT_TRUE(rows.tree.InState(TreeState::tsDrawSelPending));
    rows.Move(102, RowMiddle(0) + 2); // within the drag threshold: nothing yet
    EXPECT_EQ(rows.Selected(), "");
    EXPECT_FALSE(rows.tree.RubberBandRect().has_value());
    // The first step already selects the start row, which the band covered before the threshold.
    rows.Move(60, RowMiddle(3));
    EXPECT_TRUE(rows.tree.IsRubberBandActive());
    EXPECT_EQ(rows.Selected(), "0 1 2 3");
    EXPECT_EQ(rows.tree.RubberBandRect(), (TTreeRect{60, RowMiddle(0), 100, RowMiddle(3)}));
    rows.Move(60, RowMiddle(1));
    EXPECT_EQ(rows.Selected(), "0 1");
    rows.Move(80, RowMiddle(1)); // the band no longer reaches the text
    EXPECT_EQ(rows.Selected(), "");
    rows.Move(60, RowMiddle(5));
    EXPECT_EQ(rows.Selected(), "0 1 2 3 4 5");
    EXPECT_EQ(rows.tree.SelectedCount(), 6u);
    rows.Release(60, RowMiddle(5));
    EXPECT_FALSE(rows.tree.IsRubberBandActive());
    EXPECT_EQ(rows.Selected(), "0 1 2 3 4 5");
}

TEST(RubberBand, DraggingUpwardsFromBelowTheRows) {
    Rows rows(10);
    rows.SelectionOptions({TVTSelectionOption::toMultiSelect});
    rows.Press(30, RowMiddle(12)); // empty space below the last row
    rows.Move(30, RowMiddle(7));   // no width, but it crosses the text of rows 7 to 9
    EXPECT_EQ(rows.Selected(), "7 8 9");
}

TEST(RubberBand, CtrlAtTheStartTogglesTheCrossedRows) {
    Rows rows(10);
    rows.SelectionOptions({TVTSelectionOption::toMultiSelect});
    rows.tree.AddToSelection(rows.Row(1));
    rows.tree.AddToSelection(rows.Row(5));
    rows.Press(100, RowMiddle(0), ssCtrl);
    EXPECT_EQ(rows.Selected(), "1 5"); // Ctrl keeps the selection
    rows.Move(60, RowMiddle(3));
    EXPECT_EQ(rows.Selected(), "0 2 3 5");
    rows.Move(60, RowMiddle(1)); // rows 2 and 3 leave the band and toggle back
    EXPECT_EQ(rows.Selected(), "0 5");
}

TEST(RubberBand, SimpleModeCountsRowsOnly) {
    for (const bool simple : {false, true}) {
        SCOPED_TRACE(simple ? "simple" : "text extent");
        Rows rows(10);
        TVTSelectionOptions options{TVTSelectionOption::toMultiSelect};
        if (simple)
            options = options.With(TVTSelectionOption::toSimpleDrawSelection);
        rows.SelectionOptions(options);
        rows.Press(150, RowMiddle(2));
        rows.Move(120, RowMiddle(4)); // right of every text
        EXPECT_EQ(rows.Selected(), simple ? "2 3 4" : "");
    }
}

TEST(RubberBand, AnEmptyTreeIgnoresTheBandAndOneNodeIsEnough) {
    for (const std::uint32_t count : {0u, 1u}) {
        SCOPED_TRACE(count);
        Rows rows(count);
        rows.SelectionOptions({TVTSelectionOption::toMultiSelect});
        rows.Press(100, RowMiddle(0));
        rows.Move(30, RowMiddle(2));
        EXPECT_EQ(rows.Selected(), count == 0 ? "" : "0");
        EXPECT_EQ(rows.tree.SelectedCount(), count);
    }
}

TEST(RubberBand, RightJustifiedAndCentredTextIsFoundWhereItIsDrawn) {
    struct Case {
        TAlignment alignment;
        int from, to; // the band's x range over rows 0..1
        const char* selected;
    };
    // The text's extent counts both its edges: left-justified 22..72, right-justified 150..200, centred
    // (22 + 200 - 50) / 2 = 86..136.
    const Case cases[] = {
        {TAlignment::taRightJustify, 140, 149, ""}, {TAlignment::taRightJustify, 140, 150, "0 1"},
        {TAlignment::taCenter, 75, 85, ""},         {TAlignment::taCenter, 75, 86, "0 1"},
        {TAlignment::taCenter, 137, 146, ""},       {TAlignment::taCenter, 136, 146, "0 1"},
        {TAlignment::taLeftJustify, 73, 82, ""},    {TAlignment::taLeftJustify, 72, 82, "0 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.alignment) << " " << c.from << ".." << c.to);
        Rows rows(4);
        rows.SelectionOptions({TVTSelectionOption::toMultiSelect});
        rows.tree.Properties().SetAlignment(c.alignment);
        rows.tree.HandleDrawSelection(); // not drawing: nothing happens
        rows.Press(c.from, RowMiddle(0));
        rows.Move(c.to, RowMiddle(1));
        EXPECT_EQ(rows.Selected(), c.selected);
    }
}

TEST(RubberBand, ColumnsMirrorTheTextAndLetItSpanEmptyCells) {
    struct Case {
        const char* what;
        bool rightToLeft, span;
        TAlignment alignment;
        int from, to; // the band's x range over rows 0..2
        const char* selected;
    };
    // Two columns of 100 px, the first the main one. Mirrored, a left-justified text sits at the right:
    // 100 - 22 - 50 = 28..78. Spanning the empty second column, a right-justified text sits at 150..200.
    const Case cases[] = {
        {"mirrored: left of the text", true, false, TAlignment::taLeftJustify, 10, 27, ""},
        {"mirrored: the text's left edge", true, false, TAlignment::taLeftJustify, 10, 28, "0 1 2"},
        {"mirrored: right of the text", true, false, TAlignment::taLeftJustify, 79, 95, ""},
        {"right-justified in its own cell", false, false, TAlignment::taRightJustify, 160, 170, ""},
        {"right-justified over the empty cell", false, true, TAlignment::taRightJustify, 140, 160, "0 1 2"},
        {"left of the spanned text", false, true, TAlignment::taRightJustify, 110, 149, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rows rows(4);
        rows.SelectionOptions({TVTSelectionOption::toMultiSelect});
        TVirtualTreeColumns& columns = rows.tree.Header().Columns();
        columns.Add().SetWidth(100);
        columns.Add().SetWidth(100);
        rows.tree.Header().SetMainColumn(0);
        columns[0].SetAlignment(c.alignment);
        if (c.rightToLeft)
            columns[0].SetBiDiMode(TBiDiMode::bdRightToLeft);
        if (c.span)
            rows.tree.TreeOptions().SetAutoOptions(
                rows.tree.TreeOptions().AutoOptions().With(TVTAutoOption::toAutoSpanColumns));
        static auto secondIsEmpty = [](TBaseVirtualTree&, PVirtualNode, TColumnIndex column, bool& isEmpty) {
            isEmpty = column == 1;
        };
        rows.tree.OnGetCellIsEmpty = TVTGetCellIsEmptyEvent::Bind(secondIsEmpty);
        rows.Press(c.from, RowMiddle(0));
        rows.Move(c.to, RowMiddle(2));
        EXPECT_EQ(rows.Selected(), c.selected);
    }
}

TEST(RubberBand, EachStepMeasuresOnlyTheRowsTheBandsSpan) {
    Rows rows(10000);
    rows.SelectionOptions({TVTSelectionOption::toMultiSelect});
    rows.tree.SetOffsetY(-5000 * 18);
    rows.Press(100, RowMiddle(0)); // row 5000
    rows.tree.widthCalls = 0;
    rows.Move(60, RowMiddle(3)); // rows 5000..5003
    EXPECT_EQ(rows.tree.widthCalls, 4);
    EXPECT_EQ(rows.Selected(), "5000 5001 5002 5003");
    rows.tree.widthCalls = 0;
    rows.Move(60, RowMiddle(5)); // old and new band together span rows 5000..5005
    EXPECT_EQ(rows.tree.widthCalls, 6);
    EXPECT_EQ(rows.tree.SelectedCount(), 6u);
}

} // namespace
} // namespace tarvola::test
