// The column settings dialog's list without a window: check boxes, reordering by dropping, the width edit
// kept in step with the focused column, and the width line's layout.
#include "explorer/ColumnFormTree.h"

#include <gtest/gtest.h>

namespace tarvola::test {
namespace {

// Four columns, the first and third visible; the edit is a string.
struct TFourColumns {
    TFourColumns() {
        for (int i = 0; i < 4; ++i)
            nodes.push_back(tree.AddColumn({titles[i], i % 2 == 0, 100 + i, i}));
        tree.Hooks.TypedWidth = [this] { return ColumnWidthFromText(edit); };
        tree.Hooks.ShowWidth = [this](int width) { edit = std::to_string(width); };
        tree.Hooks.LiveUpdate = [this] { ++updates; };
    }
    std::vector<std::wstring> Order() {
        std::vector<std::wstring> order;
        for (const TColumnData& column : tree.Columns())
            order.push_back(column.Title);
        return order;
    }

    const wchar_t* titles[4] = {L"Name", L"Size", L"Type", L"Modified"};
    TColumnSettingsTree tree;
    std::vector<PVirtualNode> nodes;
    std::string edit;
    int updates = 0;
};

class ColumnFormTreeTest : public testing::Test, public TFourColumns {};

TEST_F(ColumnFormTreeTest, NodesStartCheckedAsTheirColumnsAreVisible) {
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(tree.CheckType(nodes[i]), TCheckType::ctCheckBox);
        EXPECT_EQ(tree.CheckState(nodes[i]),
                  i % 2 == 0 ? TCheckState::csCheckedNormal : TCheckState::csUncheckedNormal);
        EXPECT_EQ(tree.GetText(nodes[i], NoColumn), titles[i]);
    }
}

TEST_F(ColumnFormTreeTest, CheckingSetsEnabledAndUpdatesLive) {
    tree.SetCheckState(nodes[1], TCheckState::csCheckedNormal);
    EXPECT_TRUE(tree.ColumnOf(nodes[1])->Enabled);
    EXPECT_EQ(updates, 1);
    tree.SetCheckState(nodes[0], TCheckState::csUncheckedNormal);
    EXPECT_FALSE(tree.ColumnOf(nodes[0])->Enabled);
    EXPECT_EQ(updates, 2);
}

TEST_F(ColumnFormTreeTest, DropsReorder) {
    using Order = std::vector<std::wstring>;
    struct Case {
        int dragged;
        int target; // -1: the empty space below the rows
        Order expected;
    };
    const Case cases[] = {
        {2, 0, {L"Type", L"Name", L"Size", L"Modified"}},  {0, 2, {L"Size", L"Type", L"Name", L"Modified"}},
        {1, 1, {L"Name", L"Size", L"Type", L"Modified"}},  {0, -1, {L"Size", L"Type", L"Modified", L"Name"}},
        {3, -1, {L"Name", L"Size", L"Type", L"Modified"}},
    };
    for (const Case& c : cases) {
        TFourColumns fresh;
        ASSERT_TRUE(fresh.tree.DragAllowed(fresh.nodes[c.dragged]));
        EXPECT_TRUE(fresh.tree.DropOnto(c.target < 0 ? nullptr : fresh.nodes[c.target]));
        EXPECT_EQ(fresh.Order(), c.expected) << c.dragged << " onto " << c.target;
        EXPECT_EQ(fresh.tree.DragNode(), nullptr);
    }
}

TEST_F(ColumnFormTreeTest, ForeignDragsAreRefused) {
    TColumnSettingsTree other;
    EXPECT_FALSE(tree.AcceptsDrag(&tree)); // no drag of ours under way
    EXPECT_FALSE(tree.DropOnto(nodes[0]));
    tree.DragAllowed(nodes[1]);
    EXPECT_FALSE(tree.AcceptsDrag(&other));
    EXPECT_FALSE(tree.AcceptsDrag(nullptr));
    EXPECT_TRUE(tree.AcceptsDrag(&tree));
}

TEST_F(ColumnFormTreeTest, FocusChangeStoresTheEditIntoTheNodeLosingItAndShowsTheNext) {
    edit = "777"; // typed before any node had the focus: stored nowhere
    tree.SetFocusedNode(nodes[0]);
    EXPECT_EQ(tree.ColumnOf(nodes[0])->Width, 100);
    EXPECT_EQ(edit, "100");
    edit = "250";
    tree.SetFocusedNode(nodes[2]);
    EXPECT_EQ(tree.ColumnOf(nodes[0])->Width, 250);
    EXPECT_EQ(edit, "102");
    edit = "";
    tree.SetFocusedNode(nodes[1]);
    EXPECT_EQ(tree.ColumnOf(nodes[2])->Width, 102); // an empty edit keeps the width
}

TEST_F(ColumnFormTreeTest, StoringTheFocusedWidthUpdatesLiveAndNeedsANode) {
    edit = "55";
    tree.StoreFocusedWidth();
    EXPECT_EQ(updates, 0);
    tree.SetFocusedNode(nodes[3]);
    edit = "55";
    tree.StoreFocusedWidth();
    EXPECT_EQ(tree.ColumnOf(nodes[3])->Width, 55);
    EXPECT_EQ(updates, 1);
}

TEST(ColumnWidthText, OnlyPlainNumbersInRange) {
    struct Case {
        const char* text;
        std::optional<int> width;
    };
    const Case cases[] = {
        {"120", 120},         {"0", 0},         {"", std::nullopt},      {"12a", std::nullopt},
        {"-5", std::nullopt}, {"65535", 65535}, {"65536", std::nullopt}, {"99999999999", std::nullopt},
        {" 12", std::nullopt}};
    for (const Case& c : cases)
        EXPECT_EQ(ColumnWidthFromText(c.text), c.width) << c.text;
}

TEST(ColumnWidthLine, IsCentredInTheForm) {
    const TWidthLineLayout layout = WidthLineLayout(295, 150, 40, 60);
    EXPECT_EQ(layout.Label2Left, (295 - 250) / 2 - 8);
    EXPECT_EQ(layout.EditLeft, layout.Label2Left + 154);
    EXPECT_EQ(layout.Label3Left, layout.EditLeft + 44);
    EXPECT_EQ(layout.CheckBoxLeft, layout.Label2Left);
}

} // namespace
} // namespace tarvola::test
