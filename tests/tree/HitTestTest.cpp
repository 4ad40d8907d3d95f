// Hit positions on one cell layout, left to right and right to left. The row: level 1 with the root shown
// (36 px indentation, the button in 18..35), a 4 px margin, a 16 px check image (+2), 16 px state and
// normal images (+2 each) and 50 px of text in a 200 px cell: left to right the check area spans 36..57, the
// state image 58..75, the normal image 76..93 and a left-justified text 94..143.
#include "tree/HitTest.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvola {
namespace {

TCellHitLayout FullRow() {
    TCellHitLayout cell;
    cell.Level = 1;
    cell.HasChildren = true;
    cell.CheckShown = true;
    cell.CheckImageWidth = 16;
    cell.StateImageWidth = 16;
    cell.NormalImageWidth = 16;
    cell.TextWidth = 50;
    return cell;
}

struct HitCase {
    const char* what;
    void (*adjust)(TCellHitLayout&);
    int offset;
    THitPositions expected;
};

void Plain(TCellHitLayout&) {}
void NoButtons(TCellHitLayout& c) {
    c.ShowButtons = false;
}
void Leaf(TCellHitLayout& c) {
    c.HasChildren = false;
}
void NoCheckImage(TCellHitLayout& c) {
    c.CheckShown = false;
}
void RightJustified(TCellHitLayout& c) {
    c.Alignment = TAlignment::taRightJustify;
}
void Centered(TCellHitLayout& c) {
    c.Alignment = TAlignment::taCenter;
}
void WideText(TCellHitLayout& c) {
    c.TextWidth = 120;
    c.Alignment = TAlignment::taRightJustify;
}
void ReportColumn(TCellHitLayout& c) {
    c.MainColumn = false;
    c.ReportMode = true;
}
void OtherColumn(TCellHitLayout& c) {
    c.MainColumn = false;
    c.StateImageWidth = c.NormalImageWidth = 0;
}

constexpr int CellWidth = 200;

void RunTable(const std::vector<HitCase>& cases,
              THitPositions (*determine)(const TCellHitLayout&, int, int)) {
    for (const HitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.what << " at " << c.offset);
        TCellHitLayout cell = FullRow();
        c.adjust(cell);
        EXPECT_EQ(determine(cell, c.offset, CellWidth), c.expected);
    }
}

TEST(HitPositionTest, LeftToRight) {
    RunTable(
        {
            {"first indentation step", Plain, 0, hpOnItem},
            {"before the button step", Plain, 17, hpOnItem},
            {"button step", Plain, 18, hpOnItem | hpOnItemButton},
            {"button step end", Plain, 35, hpOnItem | hpOnItemButton},
            {"no buttons", NoButtons, 20, hpOnItem},
            {"leaf has no button", Leaf, 20, hpOnItem},
            {"margin before the check image", Plain, 36, hpOnItem | hpOnItemCheckbox},
            {"check image end", Plain, 57, hpOnItem | hpOnItemCheckbox},
            {"margin without a check image", NoCheckImage, 38, hpOnItem},
            {"no check image moves the images left", NoCheckImage, 45, hpOnItem | hpOnStateIcon},
            {"state image", Plain, 58, hpOnItem | hpOnStateIcon},
            {"state image end", Plain, 75, hpOnItem | hpOnStateIcon},
            {"normal image", Plain, 76, hpOnItem | hpOnNormalIcon},
            {"normal image end", Plain, 93, hpOnItem | hpOnNormalIcon},
            {"text start", Plain, 94, hpOnItem | hpOnItemLabel},
            {"text end", Plain, 143, hpOnItem | hpOnItemLabel},
            {"right of the text", Plain, 144, hpOnItem | hpOnItemRight},
            {"right-justified: left of the text", RightJustified, 149, hpOnItem | hpOnItemLeft},
            {"right-justified: text start", RightJustified, 150, hpOnItem | hpOnItemLabel},
            {"centred: left of the text", Centered, 121, hpOnItem | hpOnItemLeft},
            {"centred: text start", Centered, 122, hpOnItem | hpOnItemLabel},
            {"centred: text end", Centered, 171, hpOnItem | hpOnItemLabel},
            {"centred: right of the text", Centered, 172, hpOnItem | hpOnItemRight},
            {"text wider than the room is all label", WideText, 95, hpOnItem | hpOnItemLabel},
            {"report mode, other column", ReportColumn, 50, hpOnItem},
            {"other column: no indentation or check area", OtherColumn, 2, hpOnItem | hpOnItemLabel},
            {"other column: right of the text", OtherColumn, 60, hpOnItem | hpOnItemRight},
        },
        DetermineHitPositionLTR);
}

// Mirrored: indentation 164..199 (button 164..182), check area 143..163, state image 125..142, normal image
// 107..124, and 106 px left for the text.
TEST(HitPositionTest, RightToLeft) {
    RunTable(
        {
            {"outer indentation step", Plain, 199, hpOnItem},
            {"button step", Plain, 170, hpOnItem | hpOnItemButton},
            {"button step edge", Plain, 182, hpOnItem | hpOnItemButton},
            {"past the button step", Plain, 183, hpOnItem},
            {"leaf has no button", Leaf, 170, hpOnItem},
            {"check area", Plain, 150, hpOnItem | hpOnItemCheckbox},
            {"margin without a check image", NoCheckImage, 161, hpOnItem},
            {"state image", Plain, 130, hpOnItem | hpOnStateIcon},
            {"normal image", Plain, 110, hpOnItem | hpOnNormalIcon},
            {"left-justified sits right: text start", Plain, 56, hpOnItem | hpOnItemLabel},
            {"left-justified sits right: left of it", Plain, 55, hpOnItem | hpOnItemLeft},
            {"right-justified sits left: text", RightJustified, 50, hpOnItem | hpOnItemLabel},
            {"right-justified sits left: right of it", RightJustified, 51, hpOnItem | hpOnItemRight},
            {"centred: left of the text", Centered, 27, hpOnItem | hpOnItemLeft},
            {"centred: text", Centered, 28, hpOnItem | hpOnItemLabel},
            {"centred: text end", Centered, 77, hpOnItem | hpOnItemLabel},
            {"centred: right of the text", Centered, 78, hpOnItem | hpOnItemRight},
            {"report mode, other column", ReportColumn, 50, hpOnItem},
        },
        DetermineHitPositionRTL);
}

} // namespace
} // namespace tarvola
