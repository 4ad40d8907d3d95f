#include "tree/CheckImages.h"
#include "tree/NodeDecorationsLayout.h"
#include "tree/ThemeServicesDetails.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarvola {
namespace {

using CS = TCheckState;
using CT = TCheckType;
using LT = TVTLineType;

TEST(NodeDecorations, CheckImageIndexTable) {
    struct Case {
        CT type;
        CS state;
        int normal, hot, disabled;
    };
    const Case cases[] = {
        {CT::ctCheckBox, CS::csUncheckedNormal, 9, 10, 12},
        {CT::ctCheckBox, CS::csUncheckedPressed, 11, 11, 12},
        {CT::ctCheckBox, CS::csCheckedNormal, 13, 14, 16},
        {CT::ctCheckBox, CS::csCheckedPressed, 15, 15, 16},
        {CT::ctTriStateCheckBox, CS::csCheckedNormal, 13, 14, 16},
        {CT::ctTriStateCheckBox, CS::csMixedNormal, 17, 18, 20},
        {CT::ctCheckBox, CS::csMixedPressed, 19, 19, 20},
        {CT::ctRadioButton, CS::csUncheckedNormal, 1, 2, 4},
        {CT::ctRadioButton, CS::csUncheckedPressed, 3, 3, 4},
        {CT::ctRadioButton, CS::csCheckedNormal, 5, 6, 8},
        {CT::ctRadioButton, CS::csCheckedPressed, 7, 7, 8},
        {CT::ctRadioButton, CS::csMixedNormal, 17, 18, 20},
        {CT::ctButton, CS::csUncheckedNormal, 21, 22, 24},
        {CT::ctButton, CS::csCheckedNormal, 21, 22, 24},
        {CT::ctButton, CS::csCheckedPressed, 23, 23, 24},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetCheckImageIndex(c.type, c.state, true, false), c.normal) << int(c.type) << int(c.state);
        EXPECT_EQ(GetCheckImageIndex(c.type, c.state, true, true), c.hot) << int(c.type) << int(c.state);
        EXPECT_EQ(GetCheckImageIndex(c.type, c.state, false, true), c.disabled)
            << int(c.type) << int(c.state);
    }
    EXPECT_EQ(GetCheckImageIndex(CT::ctNone, CS::csCheckedNormal, true, false), -1);
    EXPECT_EQ(GetCheckImageIndex(CT::ctCheckBox, static_cast<CS>(9), true, false), -1);
}

TEST(NodeDecorations, VerticalAlignmentTable) {
    using NA = TVTNodeAlignment;
    struct Case {
        TAlignmentInput input;
        TVerticalAlignment expected;
    };
    const Case cases[] = {
        {{NA::naFromTop, 20, 7, 16, true, 9}, {7, 3}},
        {{NA::naFromBottom, 20, 7, 16, true, 9}, {13, 9}},
        {{NA::naFromBottom, 20, 20, 0, false, 9}, {0, -4}},
        // Proportional: by the image height, else the button height, else the node height.
        {{NA::naProportional, 20, 50, 16, true, 9}, {10, 6}},
        {{NA::naProportional, 21, 50, 16, false, 9}, {11, 7}}, // 2.5 rounds away from zero
        {{NA::naProportional, 20, 50, 0, true, 9}, {10, 6}},
        {{NA::naProportional, 18, 100, 0, true, 9}, {13, 9}},
        {{NA::naProportional, 15, 50, 0, false, 9}, {8, 4}},
        {{NA::naProportional, 10, 50, 16, false, 9}, {5, 1}}, // an image higher than the row
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetermineVerticalAlignment(c.input), c.expected)
            << int(c.input.Alignment) << " h " << c.input.NodeHeight << " align " << c.input.Align;
    EXPECT_THROW(DetermineVerticalAlignment({NA::naFromBottom, 10, 11, 0, false, 9}), std::out_of_range);
}

TEST(NodeDecorations, ImageBorderBothDirections) {
    const TTreeRect r{10, 20, 110, 38};
    EXPECT_EQ(AdjustImageBorder(16, 16, false, 9, r), (TImagePlacement{{10, 21}, {28, 20, 110, 38}}));
    EXPECT_EQ(AdjustImageBorder(16, 16, true, 9, r), (TImagePlacement{{94, 21}, {10, 20, 92, 38}}));
}

TEST(NodeDecorations, LineImageSegmentsTable) {
    using S = std::vector<TLineSegment>;
    // A column at x 100 of an 18-pixel indent, row at y 40 of height 20, reference line at 10.
    const auto at = [](LT style, bool rtl) { return LineImageSegments(100, 40, 20, 10, 18, style, rtl); };
    const TLineSegment branch{true, 50, 109, 118};
    EXPECT_EQ(at(LT::ltNone, false), S{});
    EXPECT_EQ(at(LT::ltBottomRight, false), (S{{false, 109, 50, 60}, branch}));
    EXPECT_EQ(at(LT::ltTopDown, false), (S{{false, 109, 40, 60}}));
    EXPECT_EQ(at(LT::ltTopDownRight, false), (S{{false, 109, 40, 60}, branch}));
    EXPECT_EQ(at(LT::ltRight, false), (S{branch}));
    EXPECT_EQ(at(LT::ltTopRight, false), (S{{false, 109, 40, 50}, branch}));
    EXPECT_EQ(at(LT::ltLeft, false), (S{{false, 100, 40, 60}}));
    EXPECT_EQ(at(LT::ltLeftBottom, false), (S{{false, 100, 40, 60}, {true, 60, 100, 118}}));
    // Right to left the branch runs to the column's left and the band line sits at its right.
    EXPECT_EQ(at(LT::ltRight, true), (S{{true, 50, 109, 100}}));
    EXPECT_EQ(at(LT::ltLeft, true), (S{{false, 118, 40, 60}}));
}

TEST(NodeDecorations, BandStylesFromLineImages) {
    using V = std::vector<LT>;
    EXPECT_EQ(DeriveBandStyles({LT::ltTopDown, LT::ltRight}, true), (V{LT::ltLeft, LT::ltLeft}));
    EXPECT_EQ(DeriveBandStyles({LT::ltTopDown, LT::ltTopDownRight}, false),
              (V{LT::ltLeft, LT::ltLeftBottom}));
    // An outer open level takes the band of an inner level that ends there.
    EXPECT_EQ(DeriveBandStyles({LT::ltNone, LT::ltTopRight}, false), (V{LT::ltLeftBottom, LT::ltLeftBottom}));
    EXPECT_EQ(DeriveBandStyles({LT::ltNone, LT::ltNone}, false), (V{LT::ltLeft, LT::ltLeft}));
    EXPECT_EQ(DeriveBandStyles({LT::ltLeft, LT::ltBottomRight}, false), (V{LT::ltNone, LT::ltLeftBottom}));
    EXPECT_EQ(DeriveBandStyles({}, false), V{});
}

TEST(NodeDecorations, LinePatterns) {
    const TLinePattern dotted = LineStylePattern(TVTLineStyle::lsDotted);
    EXPECT_EQ(dotted[0], 0x55);
    EXPECT_EQ(dotted[1], 0xAA);
    EXPECT_EQ(dotted[7], 0xAA);
    EXPECT_EQ(LineStylePattern(TVTLineStyle::lsCustomStyle), dotted);
    EXPECT_EQ(LineStylePattern(TVTLineStyle::lsSolid), TLinePattern{});
}

TEST(NodeDecorations, DropMarkPolygons) {
    using P = std::array<TDecorationPoint, 6>;
    const TTreeRect r{10, 100, 110, 118};
    EXPECT_EQ(DropMarkPolygon(r, true),
              (P{{{12, 100}, {108, 100}, {108, 106}, {104, 102}, {16, 102}, {12, 106}}}));
    EXPECT_EQ(DropMarkPolygon(r, false),
              (P{{{12, 117}, {108, 117}, {108, 110}, {103, 115}, {17, 115}, {12, 110}}}));
}

TEST(NodeDecorations, BackgroundTilesFollowThePhase) {
    using T = std::vector<TBackgroundTile>;
    // A 10 x 8 picture over (0, 0, 15, 8) with the phase at x 7.
    EXPECT_EQ(TileBackgroundPlan({0, 0, 15, 8}, {2, 0}, {5, 0}, 10, 8),
              (T{{{0, 0, 3, 8}, 7, 0}, {{3, 0, 13, 8}, 0, 0}, {{13, 0, 15, 8}, 0, 0}}));
    // Negative offsets wrap to a non-negative phase.
    EXPECT_EQ(TileBackgroundPlan({0, 0, 4, 4}, {-3, -13}, {0, 0}, 10, 8),
              (T{{{0, 0, 3, 4}, 7, 3}, {{3, 0, 4, 4}, 0, 3}}));
    // An empty picture is no picture: no division by its size.
    EXPECT_EQ(TileBackgroundPlan({0, 0, 4, 4}, {1, 1}, {0, 0}, 0, 8), T{});
    EXPECT_EQ(TileBackgroundPlan({0, 0, 4, 4}, {1, 1}, {0, 0}, 10, 0), T{});
}

TEST(NodeDecorations, BorderDimensionsAddUp) {
    EXPECT_EQ(GetBorderDimensions({}), (TDecorationPoint{0, 0}));
    EXPECT_EQ(GetBorderDimensions({true, true, true, 3, 4, 2, 2}), (TDecorationPoint{-6, -7}));
    EXPECT_EQ(GetBorderDimensions({false, false, true, 3, 4, 2, 2}), (TDecorationPoint{-2, -2}));
}

TEST(ThemeServices, ElementDetailsTable) {
    using E = TThemedElement;
    struct Case {
        E element;
        int detail, part, state;
    };
    const Case cases[] = {
        {E::teEdit, 2, 1, 1},
        {E::teEdit, 8, 1, 7},
        {E::teEdit, 9, 2, 1},
        {E::teHeader, 2, 1, 1},
        {E::teHeader, 4, 1, 3},
        {E::teHeader, 5, 2, 1},
        {E::teHeader, 10, 3, 3},
        {E::teHeader, 11, 4, 1},
        {E::teHeader, 12, 4, 2},
        {E::teTreeview, 2, 1, 1},
        {E::teTreeview, 6, 1, 5},
        {E::teTreeview, 7, 2, 1},
        {E::teTreeview, 8, 2, 2},
        {E::teTreeview, 9, 3, 1},
        // Outside the tables: part 0, state Detail + 1.
        {E::teHeader, 13, 0, 14},
        {E::teTreeview, 1, 0, 2},
        {E::teButton, 5, 0, 6},
        {E::teEdit, 0, 0, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetElementDetails(c.element, c.detail), (TThemedElementDetails{c.element, c.part, c.state}))
            << int(c.element) << " detail " << c.detail;
    EXPECT_STREQ(ThemedElementClassName(E::teTreeview), L"treeview");
    EXPECT_STREQ(ThemedElementClassName(E::teWindow), L"window");
    EXPECT_STREQ(ThemedElementClassName(E::teHeader), L"header");
}

} // namespace
} // namespace tarvola
