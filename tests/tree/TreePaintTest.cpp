// The painter under Wine, into 32-bit DIB sections: pixel probes of selection, hidden selection, full-row
// select, column colours, the space below and grid lines; a sliced or scrolled render equals a full one; only
// selected subtrees with poSelectedOnly; a custom-drawn row; the edited cell without content; and a run
// that fails halfway still ends cleanly.
#include "tests/tree/TreeTestSupport.h"

#include "forms/Graphics.h"
#include "tests/support/DibSurface.h"
#include "tree/Header.h"
#include "tree/StringTree.h"
#include "tree/TreeOptions.h"
#include "tree/TreePainter.h"
#include "tree/TreeProperties.h"
#include "tree/TreeResources.h"
#include "tree/TreeSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvola {
namespace {

constexpr COLORREF Sentinel = RGB(1, 2, 3);
constexpr COLORREF TreeColor = RGB(250, 250, 240);
constexpr COLORREF Focused = RGB(0, 0, 200);
constexpr COLORREF Unfocused = RGB(100, 100, 100);
constexpr COLORREF Grid = RGB(200, 0, 0);
constexpr COLORREF Lines = RGB(0, 128, 0);
constexpr COLORREF ColumnColor = RGB(128, 128, 0);
constexpr COLORREF Content = RGB(0, 200, 200);
constexpr COLORREF Custom = RGB(255, 0, 255);
constexpr COLORREF Band = RGB(0, 90, 0);
constexpr int Width = 260;
constexpr int Height = 140;

// A sentinel-filled surface the tree paints into.
class Surface : public test::DibSurface {
public:
    Surface(int width, int height) : test::DibSurface(width, height, Sentinel) {}
};

// Content 50 pixels wide, drawn as a 6-pixel block at the content's leading edge.
class ProbeTree : public TBaseVirtualTree {
public:
    using TBaseVirtualTree::TBaseVirtualTree;
    std::vector<PVirtualNode> contentCalls;
    int GetNodeWidth(PVirtualNode, TColumnIndex) override { return 50; }
    void PaintNodeContent(TVTPaintInfo& info) override {
        contentCalls.push_back(info.Node);
        HBRUSH brush = CreateSolidBrush(Content);
        const RECT block{info.ContentRect.Left, info.ContentRect.Top + 2, info.ContentRect.Left + 6,
                         info.ContentRect.Top + 8};
        FillRect(info.Canvas->Handle(), &block, brush);
        DeleteObject(brush);
    }
    void StartEditingState() { DoStateChange({TreeState::tsEditing}); }
};

//  A (expanded): A0, A1;  B;  C;  D  -- rows of 18 pixels: A 0, A0 18, A1 36, B 54, C 72, D 90; space from
//  108.
struct PaintFixture {
    TTreeResourcesUse resources;
    test::RecordingHost host;
    ProbeTree tree{&host};
    TTreePainter painter{tree};
    TTreePaintEnvironment environment;
    PVirtualNode a, a0, a1, b, c, d;

    PaintFixture() {
        host.window = true;
        host.tree = &tree; // the worker's state messages reach the tree
        host.clientWidth = Width;
        host.clientHeight = Height;
        tree.SetRootNodeCount(4);
        a = tree.RootNode()->FirstChild;
        b = a->NextSibling;
        c = b->NextSibling;
        d = c->NextSibling;
        tree.SetChildCount(a, 2);
        a0 = a->FirstChild;
        a1 = a0->NextSibling;
        tree.SetExpanded(a, true);
        TVTColors& colors = tree.Colors();
        colors.SetColor(TVTColorIndex::FocusedSelectionColor, Focused);
        colors.SetColor(TVTColorIndex::FocusedSelectionBorderColor, Focused);
        colors.SetColor(TVTColorIndex::UnfocusedSelectionColor, Unfocused);
        colors.SetColor(TVTColorIndex::UnfocusedSelectionBorderColor, Unfocused);
        colors.SetColor(TVTColorIndex::GridLineColor, Grid);
        colors.SetColor(TVTColorIndex::TreeLineColor, Lines);
        tree.Properties().SetButtonStyle(TVTButtonStyle::bsTriangle);
        environment.TreeColor = TreeColor;
        environment.ClientWidth = Width;
        environment.Focused = true;
    }
    void SetPaintOption(TVTPaintOption option, bool on = true) {
        const TVTPaintOptions options = tree.TreeOptions().PaintOptions();
        tree.TreeOptions().SetPaintOptions(on ? options.With(option) : options.Without(option));
    }
    void SetSelectionOption(TVTSelectionOption option) {
        tree.TreeOptions().SetSelectionOptions(tree.TreeOptions().SelectionOptions().With(option));
    }
    // Two columns, 100 and 120 wide; the second has its own colour.
    void AddColumns() {
        TVirtualTreeColumns& columns = tree.Header().Columns();
        columns.Add().SetWidth(100);
        TVirtualTreeColumn& second = columns.Add();
        second.SetWidth(120);
        second.SetOptions(second.Options() & ~coParentColor);
        second.SetColor(ColumnColor);
    }
    void Paint(Surface& surface, const TTreeRect& window, POINT target,
               TVTInternalPaintOptions options = WindowPaintOptions) {
        TCanvas canvas(surface.dc());
        painter.PaintTree(canvas, window, target, options, TPixelFormat::pfDevice, environment);
    }
    void PaintAll(Surface& surface, TVTInternalPaintOptions options = WindowPaintOptions) {
        Paint(surface, {0, 0, surface.width(), surface.height()}, {0, 0}, options);
    }
};

TEST(TreePaint, PixelProbes) {
    struct Probe {
        int x, y;
        COLORREF expected;
    };
    struct Case {
        const char* name;
        std::function<void(PaintFixture&)> setup;
        std::vector<Probe> probes;
    };
    // Row A: the content starts after the margin (4) and one indent (18) at x 22 and is 50 wide.
    const Case cases[] = {
        {"focused selection",
         [](PaintFixture& f) { f.tree.AddToSelection(f.a); },
         {{40, 9, Focused}, {100, 9, TreeColor}}},
        {"unfocused selection",
         [](PaintFixture& f) {
             f.tree.AddToSelection(f.a);
             f.environment.Focused = false;
         },
         {{40, 9, Unfocused}}},
        {"hide selection without focus",
         [](PaintFixture& f) {
             f.tree.AddToSelection(f.a);
             f.SetPaintOption(TVTPaintOption::toHideSelection);
             f.environment.Focused = false;
         },
         {{40, 9, TreeColor}}},
        {"hide selection with focus",
         [](PaintFixture& f) {
             f.tree.AddToSelection(f.a);
             f.SetPaintOption(TVTPaintOption::toHideSelection);
         },
         {{40, 9, Focused}}},
        {"always hide selection",
         [](PaintFixture& f) {
             f.tree.AddToSelection(f.a);
             f.SetPaintOption(TVTPaintOption::toAlwaysHideSelection);
         },
         {{40, 9, TreeColor}}},
        {"full-row select",
         [](PaintFixture& f) {
             f.tree.AddToSelection(f.b);
             f.SetSelectionOption(TVTSelectionOption::toFullRowSelect);
         },
         {{150, 63, Focused}, {250, 63, Focused}, {150, 45, TreeColor}}},
        {"column colour strips and the space below",
         [](PaintFixture& f) { f.AddColumns(); },
         {{150, 63, ColumnColor},
          {50, 63, TreeColor},
          {150, 120, ColumnColor},
          {50, 120, TreeColor},
          {240, 120, TreeColor},
          {240, 63, TreeColor}}},
        {"space below in the tree colour",
         [](PaintFixture&) {},
         {{100, 110, TreeColor}, {259, 139, TreeColor}}},
        {"tree lines and content",
         [](PaintFixture& f) { f.tree.Properties().SetLineStyle(TVTLineStyle::lsSolid); },
         {{9, 30, Lines}, {15, 63, Lines}, {9, 63, Lines}, {24, 6, Content}, {42, 24, Content}}},
        {"full-height vertical grid lines",
         [](PaintFixture& f) {
             f.AddColumns();
             f.tree.Properties().SetLineStyle(TVTLineStyle::lsSolid);
             f.SetPaintOption(TVTPaintOption::toShowVertGridLines);
             f.SetPaintOption(TVTPaintOption::toFullVertGridLines);
         },
         {{99, 5, Grid}, {99, 120, Grid}, {219, 5, Grid}, {219, 120, Grid}, {98, 120, TreeColor}}},
        {"no grid line on the last column with auto-resize",
         [](PaintFixture& f) {
             f.AddColumns();
             f.tree.Header().SetAutoSizeIndex(1); // the second column fills the client width: 100 to 260
             f.tree.Header().SetOptions(f.tree.Header().Options() | hoAutoResize);
             f.tree.Properties().SetLineStyle(TVTLineStyle::lsSolid);
             f.SetPaintOption(TVTPaintOption::toShowVertGridLines);
             f.SetPaintOption(TVTPaintOption::toFullVertGridLines);
         },
         {{99, 5, Grid}, {99, 120, Grid}, {259, 5, ColumnColor}, {259, 120, ColumnColor}}},
        {"horizontal grid lines",
         [](PaintFixture& f) {
             f.tree.Properties().SetLineStyle(TVTLineStyle::lsSolid);
             f.SetPaintOption(TVTPaintOption::toShowHorzGridLines);
         },
         {{150, 17, Grid}, {150, 16, TreeColor}, {150, 107, Grid}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PaintFixture fixture;
        c.setup(fixture);
        Surface surface(Width, Height);
        fixture.PaintAll(surface);
        for (const Probe& probe : c.probes)
            EXPECT_EQ(surface.At(probe.x, probe.y), probe.expected) << probe.x << "," << probe.y;
    }
}

// Everything the rows show at once: columns, grid lines, tree lines, buttons, check boxes, selection and
// focus.
void DressForInvariance(PaintFixture& f) {
    f.AddColumns();
    f.SetPaintOption(TVTPaintOption::toShowHorzGridLines);
    f.SetPaintOption(TVTPaintOption::toShowVertGridLines);
    f.SetPaintOption(TVTPaintOption::toFullVertGridLines);
    f.tree.TreeOptions().SetMiscOptions(
        f.tree.TreeOptions().MiscOptions().With(TVTMiscOption::toCheckSupport));
    f.tree.SetCheckType(f.a0, TCheckType::ctCheckBox);
    f.tree.SetCheckType(f.c, TCheckType::ctRadioButton);
    f.tree.SetChildCount(f.c, 1); // a collapsed node with a button
    f.tree.AddToSelection(f.a1);
    f.tree.SetFocusedNode(f.a1);
    // A blended rubber band reaching from the rows into the space below.
    f.tree.Properties().DrawSelectionMode = TVTDrawSelectionMode::smBlendedRectangle;
    f.tree.Colors().SetColor(TVTColorIndex::SelectionRectangleBorderColor, Band);
    f.environment.RubberBand = TTreeRect{150, 125, 40, 30}; // corners in any order
}

TEST(TreePaint, SlicedRendersEqualTheFullRender) {
    PaintFixture fixture;
    DressForInvariance(fixture);
    Surface full(Width, Height);
    fixture.PaintAll(full);
    // The band's border, in a row and in the space below.
    EXPECT_EQ(full.At(40, 50), Band);
    EXPECT_EQ(full.At(149, 115), Band);
    EXPECT_EQ(full.At(100, 124), Band);
    const std::vector<std::vector<TTreeRect>> slicings = {
        {{0, 0, Width, 36}, {0, 36, Width, 90}, {0, 90, Width, Height}}, // row-aligned bands
        {{0, 0, Width, 25}, {0, 25, Width, 61}, {0, 61, Width, Height}}, // bands through rows
        {{0, 0, 97, Height}, {97, 0, Width, Height}},                    // columns, odd split
        {{0, 0, 33, 47}, {33, 0, Width, 47}, {0, 47, 151, Height}, {151, 47, Width, Height}}, // tiles
    };
    for (std::size_t i = 0; i < slicings.size(); ++i) {
        SCOPED_TRACE(i);
        Surface sliced(Width, Height);
        for (const TTreeRect& slice : slicings[i])
            fixture.Paint(sliced, slice, {slice.Left, slice.Top});
        int differences = 0;
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                if (sliced.At(x, y) != full.At(x, y) && differences++ < 5)
                    ADD_FAILURE() << "pixel " << x << "," << y;
    }
}

TEST(TreePaint, ARenderScrolledByWholeRowsEqualsTheFullRender) {
    PaintFixture fixture;
    DressForInvariance(fixture);
    Surface full(Width, Height + 54);
    fixture.PaintAll(full);
    for (int rows : {1, 3}) {
        SCOPED_TRACE(rows);
        const int scroll = rows * 18;
        Surface scrolled(Width, Height);
        fixture.Paint(scrolled, {0, scroll, Width, scroll + Height}, {0, 0});
        int differences = 0;
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                if (scrolled.At(x, y) != full.At(x, y + scroll) && differences++ < 5)
                    ADD_FAILURE() << "pixel " << x << "," << y;
    }
}

TEST(TreePaint, SelectedOnlyPaintsSelectedSubtreesAndLeavesTheRestUntouched) {
    PaintFixture fixture;
    fixture.tree.AddToSelection(fixture.a);
    Surface surface(Width, Height);
    fixture.PaintAll(surface, WindowPaintOptions | poSelectedOnly);
    EXPECT_EQ(surface.At(150, 9), TreeColor);   // A, selected
    EXPECT_EQ(surface.At(150, 27), TreeColor);  // A0, an unselected child of a selected node
    EXPECT_EQ(surface.At(150, 63), Sentinel);   // B: skipped
    EXPECT_EQ(surface.At(150, 99), Sentinel);   // D: skipped
    EXPECT_EQ(surface.At(150, 120), TreeColor); // the space below is still filled
}

TEST(TreePaint, ACustomDrawnRowKeepsTheHandlersPixels) {
    PaintFixture fixture;
    fixture.tree.AddToSelection(fixture.b);
    std::vector<PVirtualNode> afterItem;
    auto before = [&](TBaseVirtualTree&, TCanvas* canvas, PVirtualNode node, const TTreeRect& itemRect,
                      bool& customDraw) {
        if (node != fixture.b)
            return;
        customDraw = true;
        HBRUSH brush = CreateSolidBrush(Custom);
        const RECT all{itemRect.Left, itemRect.Top, itemRect.Right, itemRect.Bottom};
        FillRect(canvas->Handle(), &all, brush);
        DeleteObject(brush);
    };
    auto after = [&](TBaseVirtualTree&, TCanvas*, PVirtualNode node, const TTreeRect&) {
        afterItem.push_back(node);
    };
    fixture.tree.OnBeforeItemPaint = TBaseVirtualTree::TVTBeforeItemPaintEvent::Bind(before);
    fixture.tree.OnAfterItemPaint = TBaseVirtualTree::TVTAfterItemPaintEvent::Bind(after);
    Surface surface(Width, Height);
    fixture.PaintAll(surface);
    for (int x : {0, 9, 27, 40, 150, 259})
        EXPECT_EQ(surface.At(x, 63), Custom) << x;
    EXPECT_EQ(std::count(afterItem.begin(), afterItem.end(), fixture.b), 0);
    EXPECT_EQ(std::count(fixture.tree.contentCalls.begin(), fixture.tree.contentCalls.end(), fixture.b), 0);
}

TEST(TreePaint, TheEditedCellGetsBackgroundAndSelectionButNoContent) {
    PaintFixture fixture;
    fixture.SetSelectionOption(TVTSelectionOption::toFullRowSelect);
    fixture.tree.AddToSelection(fixture.b);
    fixture.tree.SetFocusedNode(fixture.b);
    fixture.tree.StartEditingState();
    Surface surface(Width, Height);
    fixture.PaintAll(surface);
    const auto& calls = fixture.tree.contentCalls;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), fixture.b), 0);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), fixture.c), 1);
    EXPECT_EQ(surface.At(150, 63), Focused);
    EXPECT_EQ(surface.At(42, 63), Focused); // no content block where the text would start
}

TEST(TreePaint, AFailingHandlerEndsTheRunCleanlyAndTheNextPaintWorks) {
    PaintFixture fixture;
    bool fail = true;
    int afterPaint = 0;
    auto cell = [&](TBaseVirtualTree&, TCanvas*, PVirtualNode node, TColumnIndex, const TTreeRect&) {
        if (fail && node == fixture.b)
            throw std::runtime_error("handler failed");
    };
    auto done = [&](TBaseVirtualTree& tree, TCanvas*) {
        ++afterPaint;
        EXPECT_TRUE(tree.InState(TreeState::tsPainting));
    };
    fixture.tree.OnAfterCellPaint = TBaseVirtualTree::TVTCellPaintEvent::Bind(cell);
    fixture.tree.OnAfterPaint = TBaseVirtualTree::TVTPaintEvent::Bind(done);
    Surface first(Width, Height);
    EXPECT_THROW(fixture.PaintAll(first), std::runtime_error);
    EXPECT_EQ(afterPaint, 1);
    EXPECT_FALSE(fixture.tree.InState(TreeState::tsPainting));

    fail = false;
    Surface second(Width, Height);
    fixture.PaintAll(second);
    EXPECT_EQ(afterPaint, 2);
    EXPECT_FALSE(fixture.tree.InState(TreeState::tsPainting));
    EXPECT_EQ(second.At(150, 63), TreeColor);
    EXPECT_EQ(second.At(150, 120), TreeColor);
}

TEST(TreePaint, RowsOfHeightZeroAreSkipped) {
    PaintFixture fixture;
    fixture.tree.SetNodeHeight(fixture.b, 0);
    Surface surface(Width, Height);
    fixture.PaintAll(surface);
    EXPECT_EQ(std::count(fixture.tree.contentCalls.begin(), fixture.tree.contentCalls.end(), fixture.b), 0);
    EXPECT_EQ(surface.At(24, 56), Content); // C moved up into B's place
}

// Every cell's text is drawn in the tree's font, not only the first one a run draws.
TEST(TreePaint, EveryRowsTextLooksTheSame) {
    TTreeResourcesUse resources;
    test::RecordingHost host;
    host.window = true;
    host.clientWidth = Width;
    TVirtualStringTree tree(&host);
    host.tree = &tree;
    tree.Header().Columns().Add().SetWidth(120);
    tree.Header().Columns().Add().SetWidth(120);
    tree.SetRootNodeCount(3);
    TTreePainter painter(tree);
    TTreePaintEnvironment environment;
    environment.ClientWidth = Width;
    Surface surface(Width, 3 * 18);
    TCanvas canvas(surface.dc());
    painter.PaintTree(canvas, {0, 0, Width, 3 * 18}, {0, 0}, WindowPaintOptions, TPixelFormat::pfDevice,
                      environment);
    int differences = 0;
    for (int y = 0; y < 17; ++y)         // the row without its horizontal grid line
        for (int x = 18; x < Width; ++x) // right of the tree lines, which differ from row to row
            for (int row : {1, 2})
                if (surface.At(x, y) != surface.At(x, y + row * 18) && differences++ < 5)
                    ADD_FAILURE() << "row " << row << " differs at " << x << "," << y;
}

} // namespace
} // namespace tarvola
