#include "shell/VirtualResources.h"
#include "shell/VirtualShellTypes.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvola {
namespace {

TEST(ShellTypes, CompareIDsResultReadsTheSignedCodeWord) {
    struct Case {
        std::uint32_t hr;
        int order;
    };
    const std::vector<Case> cases = {
        {0x00000000, 0},  {0x00000001, 1}, {0x0000FFFF, -1},
        {0x00008000, -1}, {0x00000100, 1}, // a low byte of 0 is not a tie
        {0x80070057, 0},                   // E_INVALIDARG: the shell could not tell
        {0x80004005, 0},                   // E_FAIL
        {0x00017FFF, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareIDsResult(static_cast<std::int32_t>(c.hr)), c.order) << std::hex << c.hr;
}

TEST(ShellTypes, AttributeLettersInOrder) {
    EXPECT_EQ(AttributeLetters(0), u"");
    EXPECT_EQ(AttributeLetters(0x2 | 0x1), u"HR");
    EXPECT_EQ(AttributeLetters(0x20 | 0x2 | 0x1 | 0x4 | 0x800 | 0x10), u"AHRSC");
}

TEST(ShellTypes, ColumnStates) {
    TDetailsColumnStates dateShown;
    dateShown.date = true;
    dateShown.onByDefault = true;
    EXPECT_EQ(DetailsColumnStatesOf(0x13), dateShown);
    TDetailsColumnStates slowHiddenInt;
    slowHiddenInt.integer = true;
    slowHiddenInt.slow = true;
    slowHiddenInt.hidden = true;
    EXPECT_EQ(DetailsColumnStatesOf(0x122), slowHiddenInt);
    TDetailsColumnStates strExtendedSecondary;
    strExtendedSecondary.string = true;
    strExtendedSecondary.extended = true;
    strExtendedSecondary.secondaryUI = true;
    EXPECT_EQ(DetailsColumnStatesOf(0xC1), strExtendedSecondary);
}

TEST(ShellTypes, BuiltInColumnTitles) {
    EXPECT_EQ(BuiltInColumnTitle(-1), u"Name");
    EXPECT_EQ(BuiltInColumnTitle(0), u"Name");
    EXPECT_EQ(BuiltInColumnTitle(4), u"Attributes");
    EXPECT_EQ(BuiltInColumnTitle(9), u"Custom");
    EXPECT_EQ(BuiltInColumnTitle(10), u"");
    EXPECT_EQ(BuiltInColumnTitle(-2), u"");
}

} // namespace
} // namespace tarvola
