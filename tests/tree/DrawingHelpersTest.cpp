#include "tree/DrawingHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

namespace tarvola {
namespace {

// Every character is 6 pixels wide, so "..." is 18.
int FixedWidth(std::wstring_view text) {
    return static_cast<int>(text.size()) * 6;
}

struct ShortenCase {
    const wchar_t* text;
    int width;
    bool rightToLeft;
    int ellipsisWidth;
    const wchar_t* expected;
};

const ShortenCase kShortenCases[] = {
    {L"", 100, false, 0, L""},
    {L"abc", 0, false, 0, L""},
    {L"abc", -5, true, 0, L""},
    {L"abcdef", 18, false, 0, L""},
    {L"abcdef", 20, false, 0, L"..."},
    {L"abcdef", 20, true, 0, L"..."},
    {L"abcdef", 30, false, 0, L"ab..."},
    {L"abcdef", 30, true, 0, L"...ef"},
    // A given ellipsis width is used as it stands.
    {L"abcdef", 20, false, 8, L"ab..."},
    {L"abcdef", 20, true, 8, L"...ef"},
    {L"abcdef", 8, false, 8, L""},
};

TEST(DrawingHelpers, ShortenStringTable) {
    for (const ShortenCase& c : kShortenCases)
        EXPECT_EQ(ShortenString(c.text, c.width, c.rightToLeft, FixedWidth, c.ellipsisWidth), c.expected)
            << "text '" << std::wstring(c.text).size() << "' width " << c.width
            << (c.rightToLeft ? " rtl" : "");
}

TEST(DrawingHelpers, ShortenStringMeasuresTheEllipsisOnlyWhenNotGiven) {
    int calls = 0;
    const auto counting = [&](std::wstring_view text) {
        ++calls;
        EXPECT_NE(text, L"...");
        return FixedWidth(text);
    };
    ShortenString(L"abcdefgh", 30, false, counting, 18);
    EXPECT_GT(calls, 0);
}

TEST(DrawingHelpers, SplitTextLinesAtEveryLineEnd) {
    using Lines = std::vector<std::wstring_view>;
    EXPECT_EQ(SplitTextLines(L""), Lines{});
    EXPECT_EQ(SplitTextLines(L"one"), (Lines{L"one"}));
    EXPECT_EQ(SplitTextLines(L"a\r\nb\nc\rd"), (Lines{L"a", L"b", L"c", L"d"}));
    EXPECT_EQ(SplitTextLines(std::wstring_view(L"a\x2028\nb\x2028"
                                               L"c")),
              (Lines{L"a", L"b", L"c"}));
    // LF then CR are two line ends: the CR starts an empty line.
    EXPECT_EQ(SplitTextLines(L"a\n\rb"), (Lines{L"a", L"", L"b"}));
    EXPECT_EQ(SplitTextLines(L"a\n\nb"), (Lines{L"a", L"", L"b"}));
    EXPECT_EQ(SplitTextLines(std::wstring_view(L"a\0b", 3)), (Lines{L"a"}));
    EXPECT_EQ(SplitTextLines(L"a\n"), (Lines{L"a"}));
}

TEST(DrawingHelpers, OrderRectSwapsReversedEdges) {
    EXPECT_EQ(OrderRect({10, 20, 0, 5}), (TTreeRect{0, 5, 10, 20}));
    EXPECT_EQ(OrderRect({0, 5, 10, 20}), (TTreeRect{0, 5, 10, 20}));
}

TEST(DrawingHelpers, QuickSortNodesOrdersByAddressWithDuplicates) {
    std::vector<TVirtualNode> nodes(40);
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<PVirtualNode> array(random() % 60);
        for (PVirtualNode& p : array)
            p = &nodes[random() % nodes.size()];
        std::vector<PVirtualNode> expected = array;
        std::sort(expected.begin(), expected.end(), [](PVirtualNode a, PVirtualNode b) {
            return reinterpret_cast<std::uintptr_t>(a) < reinterpret_cast<std::uintptr_t>(b);
        });
        QuickSortNodes(array, 0, static_cast<int>(array.size()) - 1);
        EXPECT_EQ(array, expected);
    }
}

TEST(DrawingHelpers, QuickSortNodesSortsOnlyTheRangeAndRefusesOneOutside) {
    std::vector<TVirtualNode> nodes(4);
    std::vector<PVirtualNode> array{&nodes[3], &nodes[2], &nodes[1], &nodes[0]};
    QuickSortNodes(array, 1, 2);
    EXPECT_EQ(array, (std::vector<PVirtualNode>{&nodes[3], &nodes[1], &nodes[2], &nodes[0]}));
    EXPECT_THROW(QuickSortNodes(array, 0, 4), std::out_of_range);
}

TEST(DrawingHelpers, UpdateRectsOfAMovingImage) {
    using S = TImageStripe;
    // Right and down by (3, 2) in a 10 x 8 image.
    EXPECT_EQ(GetUpdateRects(10, 8, 3, 2), (std::array<S, 6>{S{0, 0, 10, 8}, S{0, 0, 7, 6}, S{0, 0, 3, 8},
                                                             S{3, 0, 7, 2}, S{7, 0, 3, 8}, S{0, 6, 7, 2}}));
    // Left and up: the mirror image.
    EXPECT_EQ(GetUpdateRects(10, 8, -3, -2), (std::array<S, 6>{S{0, 0, 10, 8}, S{3, 2, 7, 6}, S{7, 0, 3, 8},
                                                               S{0, 6, 7, 2}, S{0, 0, 3, 8}, S{3, 0, 7, 2}}));
    // No move: the overlap is everything, the stripes are empty.
    const auto still = GetUpdateRects(10, 8, 0, 0);
    EXPECT_EQ(still[1], (S{0, 0, 10, 8}));
    for (std::size_t i = 2; i < still.size(); ++i)
        EXPECT_TRUE(still[i].Width == 0 || still[i].Height == 0) << i;
}

} // namespace
} // namespace tarvola
