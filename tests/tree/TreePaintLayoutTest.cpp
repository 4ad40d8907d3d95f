// The painter's portable decisions: a row's tree line image and selection level worked out from the node
// alone and carried from row to row (both must agree wherever a paint starts), the expand button's place,
// the options of a run and of a cell, and the part of a cell the selection covers.
#include "tests/tree/TreeTestSupport.h"

#include "tree/TreeOptions.h"
#include "tree/TreePaintLayout.h"
#include "tree/TreeSettings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tarvola {
namespace {

using L = TVTLineType;

//  A (selected, expanded)   B (children, collapsed)   C (expanded)
//    A0, A1, A2 (expanded)                               C0 (selected, expanded)
//              A20                                         C00
//    A3 (hidden)
struct PaintTree {
    TBaseVirtualTree tree;
    std::map<std::string, PVirtualNode> nodes;
    std::vector<std::string> rows{"A", "A0", "A1", "A2", "A20", "B", "C", "C0", "C00"};

    static PVirtualNode Child(PVirtualNode parent, std::uint32_t index) {
        PVirtualNode node = parent->FirstChild;
        while (index-- > 0)
            node = node->NextSibling;
        return node;
    }

    PaintTree() {
        tree.TreeOptions().SetSelectionOptions(TVTSelectionOptions{TVTSelectionOption::toMultiSelect});
        tree.SetRootNodeCount(3);
        nodes["A"] = Child(tree.RootNode(), 0);
        nodes["B"] = Child(tree.RootNode(), 1);
        nodes["C"] = Child(tree.RootNode(), 2);
        tree.SetChildCount(nodes["A"], 4);
        const char* children[] = {"A0", "A1", "A2", "A3"};
        for (std::uint32_t i = 0; i < 4; ++i)
            nodes[children[i]] = Child(nodes["A"], i);
        tree.SetChildCount(nodes["A2"], 1);
        nodes["A20"] = Child(nodes["A2"], 0);
        tree.SetChildCount(nodes["B"], 2);
        tree.SetChildCount(nodes["C"], 1);
        nodes["C0"] = Child(nodes["C"], 0);
        tree.SetChildCount(nodes["C0"], 1);
        nodes["C00"] = Child(nodes["C0"], 0);
        for (const char* name : {"A", "A2", "C", "C0"})
            tree.SetExpanded(nodes[name], true);
        tree.SetVisible(nodes["A3"], false);
        tree.AddToSelection(nodes["A"]);
        tree.AddToSelection(nodes["C0"]);
        tree.SetNodeHeight(nodes["A1"], 30);
    }
};

TEST(TreePaintLayout, LineImageAndSelectLevelFromTheNodeAlone) {
    PaintTree fixture;
    struct Case {
        std::string node;
        TLineImage withRoot;
        int selectedAncestors;
    };
    const Case cases[] = {
        {"A", {L::ltBottomRight}, 0},
        {"A0", {L::ltTopDown, L::ltTopDownRight}, 1},
        {"A1", {L::ltTopDown, L::ltTopDownRight}, 1},
        {"A2", {L::ltTopDown, L::ltTopRight}, 1}, // A3 is hidden: A2 closes the line
        {"A20", {L::ltTopDown, L::ltNone, L::ltTopRight}, 1},
        {"B", {L::ltTopDownRight}, 0},
        {"C", {L::ltTopRight}, 0},
        {"C0", {L::ltNone, L::ltTopRight}, 0},
        {"C00", {L::ltNone, L::ltNone, L::ltTopRight}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.node);
        TLineImage image;
        EXPECT_EQ(DetermineLineImageAndSelectLevel(fixture.nodes[c.node], true, image), c.selectedAncestors);
        EXPECT_EQ(image, c.withRoot);
        // Without the root's level the top level's entry is left out.
        TLineImage withoutRoot;
        EXPECT_EQ(DetermineLineImageAndSelectLevel(fixture.nodes[c.node], false, withoutRoot),
                  c.selectedAncestors);
        EXPECT_EQ(withoutRoot, TLineImage(c.withRoot.begin() + 1, c.withRoot.end()));
    }
}

TEST(TreePaintLayout, AFirstTopLevelNodeAloneStartsNoLineBelow) {
    TBaseVirtualTree tree;
    tree.SetRootNodeCount(2);
    tree.SetVisible(tree.RootNode()->LastChild, false);
    TLineImage image;
    DetermineLineImageAndSelectLevel(tree.RootNode()->FirstChild, true, image);
    EXPECT_EQ(image, TLineImage{L::ltRight});
}

// Wherever a paint starts, the line image carried from row to row equals the one worked out for each row.
TEST(TreePaintLayout, CarriedLineImageMatchesTheWorkedOutOneFromEveryStartRow) {
    PaintTree fixture;
    for (bool showRoot : {true, false}) {
        for (std::size_t start = 0; start < fixture.rows.size(); ++start) {
            SCOPED_TRACE(::testing::Message() << "start " << start << " show root " << showRoot);
            const PVirtualNode first = fixture.nodes[fixture.rows[start]];
            const TTreeRect rect = fixture.tree.GetDisplayRect(first, NoColumn, false, true);
            TPaintRowWalker walker(fixture.tree, rect.Top + 1, 18, 9, showRoot);
            std::size_t index = start;
            std::int64_t top = rect.Top;
            for (; !walker.Done(); walker.Next(), ++index) {
                const TPaintRow& row = walker.Row();
                ASSERT_LT(index, fixture.rows.size());
                EXPECT_EQ(row.Node, fixture.nodes[fixture.rows[index]]) << fixture.rows[index];
                EXPECT_EQ(row.Top, top);
                top += row.Height;
                TLineImage expected;
                const int ancestors = DetermineLineImageAndSelectLevel(row.Node, showRoot, expected);
                ASSERT_EQ(row.IndentSize, static_cast<int>(expected.size()));
                EXPECT_EQ(TLineImage(row.LineImage.begin(), row.LineImage.begin() + row.IndentSize),
                          expected);
                EXPECT_EQ(row.SelectLevel, ancestors + (fixture.tree.Selected(row.Node) ? 1 : 0));
                EXPECT_EQ(row.ButtonX, ButtonXFor(row.IndentSize, 18, 9));
            }
            EXPECT_EQ(index, fixture.rows.size());
        }
    }
}

TEST(TreePaintLayout, WalkStartsAtTheRowCoveringTheWindowTop) {
    PaintTree fixture;
    struct Case {
        int windowTop;
        const char* first; // nullptr: no row
    };
    // Rows: A 0-18, A0 18-36, A1 36-66, A2 66-84, ...; the whole tree is 8 x 18 + 30 = 174 high.
    const Case cases[] = {{-5, "A"},  {0, "A"},     {17, "A"},      {18, "A0"},     {65, "A1"},
                          {66, "A2"}, {173, "C00"}, {174, nullptr}, {1000, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.windowTop);
        TPaintRowWalker walker(fixture.tree, c.windowTop, 18, 9, true);
        if (c.first == nullptr)
            EXPECT_TRUE(walker.Done());
        else
            EXPECT_EQ(walker.Row().Node, fixture.nodes[c.first]);
    }
}

TEST(TreePaintLayout, ButtonSitsCentredInTheNodesIndentColumn) {
    struct Case {
        int indentSize, indent, buttonWidth, expected;
    };
    const Case cases[] = {
        {1, 18, 9, 4},                  // 4.5 rounds to the even 4
        {3, 18, 9, 40},                 // IndentSize x 18 - 14
        {1, 16, 9, 4},                  // 3.5 rounds to 4
        {1, 14, 9, 2},                  // 2.5 rounds to 2
        {0, 18, 9, -14}, {1, 6, 9, -2}, // -1.5 rounds to -2
    };
    for (const Case& c : cases)
        EXPECT_EQ(ButtonXFor(c.indentSize, c.indent, c.buttonWidth), c.expected)
            << c.indentSize << " " << c.indent << " " << c.buttonWidth;
}

TEST(TreePaintLayout, RunAndCellOptions) {
    struct RunCase {
        TRunOptionInputs inputs;
        TVTInternalPaintOptions expected;
    };
    const RunCase runs[] = {
        {{false, false, false, true}, WindowPaintOptions},
        {{false, true, false, true}, WindowPaintOptions},                     // focused: selection stays
        {{false, true, false, false}, WindowPaintOptions & ~poDrawSelection}, // unfocused: hidden
        {{true, false, false, true}, WindowPaintOptions & ~poDrawSelection},
        {{false, true, true, false}, WindowPaintOptions & ~(poDrawSelection | poDrawFocusRect)},
    };
    for (const RunCase& c : runs)
        EXPECT_EQ(RunPaintOptions(WindowPaintOptions, c.inputs), c.expected);

    struct CellCase {
        TVTInternalPaintOptions run;
        TCellOptionInputs inputs;
        TVTInternalPaintOptions expected;
    };
    const CellCase cells[] = {
        {WindowPaintOptions, {false, true, false, false}, WindowPaintOptions},
        {WindowPaintOptions, {true, true, false, false}, WindowPaintOptions & ~poDrawSelection},
        {WindowPaintOptions, {false, false, false, false}, WindowPaintOptions & ~poColumnColor},
        {WindowPaintOptions, {false, true, true, false}, WindowPaintOptions & ~poColumnColor},
        {WindowPaintOptions & ~poDrawSelection,
         {false, true, true, false},
         WindowPaintOptions & ~poDrawSelection},
        {WindowPaintOptions, {false, true, false, true}, WindowPaintOptions & ~poColumnColor},
    };
    for (const CellCase& c : cells)
        EXPECT_EQ(CellPaintOptions(c.run, c.inputs), c.expected);
}

TEST(TreePaintLayout, SelectionCoversTheContentByAlignment) {
    struct Case {
        TAlignment alignment;
        int nodeWidth;
        TTreeRect expected;
    };
    const TTreeRect content{10, 0, 110, 18};
    const Case cases[] = {
        {TAlignment::taLeftJustify, 40, {10, 0, 50, 18}},
        {TAlignment::taLeftJustify, 400, {10, 0, 110, 18}},
        {TAlignment::taRightJustify, 40, {70, 0, 110, 18}},
        {TAlignment::taRightJustify, 400, {10, 0, 110, 18}},
        {TAlignment::taCenter, 40, {40, 0, 80, 18}},
        {TAlignment::taCenter, 41, {39, 0, 80, 18}},
        {TAlignment::taCenter, 400, {10, 0, 110, 18}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SelectionInnerRect(content, c.alignment, c.nodeWidth), c.expected)
            << static_cast<int>(c.alignment) << " " << c.nodeWidth;
    EXPECT_EQ(MirroredAlignment(TAlignment::taLeftJustify, TBiDiMode::bdRightToLeft),
              TAlignment::taRightJustify);
    EXPECT_EQ(MirroredAlignment(TAlignment::taCenter, TBiDiMode::bdRightToLeft), TAlignment::taCenter);
    EXPECT_EQ(MirroredAlignment(TAlignment::taLeftJustify, TBiDiMode::bdLeftToRight),
              TAlignment::taLeftJustify);
}

TEST(TreePaintLayout, RepaintNodeRedrawsTheRowAtOnce) {
    test::RecordingHost host;
    host.window = true;
    test::RecordingControlPort port;
    TBaseVirtualTree tree(&host);
    host.tree = &tree;
    tree.SetControlPort(&port);
    tree.SetRootNodeCount(3);
    const PVirtualNode second = tree.GetFirst()->NextSibling;
    host.log.clear();
    tree.RepaintNode(nullptr);
    tree.RepaintNode(tree.RootNode());
    EXPECT_TRUE(host.log.empty());
    EXPECT_TRUE(port.log.empty());
    tree.RepaintNode(second);
    EXPECT_EQ(host.log, std::vector<std::string>{"InvalidateRows 18 36"});
    EXPECT_EQ(port.log, std::vector<std::string>{"Update"});
    tree.SetControlPort(nullptr);
}

} // namespace
} // namespace tarvola
