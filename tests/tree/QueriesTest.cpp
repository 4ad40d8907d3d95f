// Outside tools' tree-view queries: relations, rectangles and item fields, only for handles the tree handed
// out, and text copied within the caller's buffer.
#include "tests/tree/TreeTestSupport.h"

#include "tree/TreeViewQueries.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tarvola::test {
namespace {

struct TextTree : TBaseVirtualTree {
    std::wstring text = L"Presets";
    void GetTextInfo(PVirtualNode, TColumnIndex, std::wstring& result) override { result = text; }
};

struct QueriesFixture : ::testing::Test {
    TextTree tree;
    TTreeViewQueries queries{tree};
    PVirtualNode a, a0, b;
    QueriesFixture() {
        a = tree.AddChild(nullptr);
        a0 = tree.AddChild(a);
        b = tree.AddChild(nullptr);
    }
    std::uintptr_t H(PVirtualNode node) { return reinterpret_cast<std::uintptr_t>(node); }
};

TEST_F(QueriesFixture, RelationsAnswerOnlyForHandedOutHandles) {
    // Nothing handed out yet: even a real node's address is refused.
    EXPECT_EQ(queries.GetNextItem(1, H(a)), 0u);
    EXPECT_EQ(queries.GetNextItem(0, 0), H(a));
    EXPECT_EQ(queries.GetNextItem(1, H(a)), H(b));
    EXPECT_EQ(queries.GetNextItem(3, H(b)), 0u); // parent of a top-level node
    EXPECT_EQ(queries.GetNextItem(4, H(a)), H(a0));
    EXPECT_EQ(queries.GetNextItem(3, H(a0)), H(a));
    EXPECT_EQ(queries.GetNextItem(2, H(b)), H(a));
    EXPECT_EQ(queries.GetNextItem(5, 0), H(a));
    EXPECT_EQ(queries.GetNextItem(6, H(a)), H(b)); // a is collapsed
    EXPECT_EQ(queries.GetNextItem(7, H(b)), H(a));
    EXPECT_EQ(queries.GetNextItem(10, 0), H(b));
    EXPECT_EQ(queries.GetNextItem(9, 0), 0u);
    EXPECT_EQ(queries.GetNextItem(11, H(a)), 0u);
    EXPECT_EQ(queries.GetNextItem(1, 0x1234), 0u);
    // A freed node's handle is forgotten.
    const std::uintptr_t gone = H(b);
    tree.DeleteNode(b);
    EXPECT_EQ(queries.GetNextItem(1, gone), 0u);
    TTreeViewItemAnswer answer;
    EXPECT_FALSE(queries.GetItem(gone, TreeItemHandle | TreeItemChildren, answer));
}

TEST_F(QueriesFixture, RectanglesOnlyForShownRows) {
    queries.GetNextItem(0, 0);
    queries.GetNextItem(4, H(a));
    TTreeRect rect{1, 2, 3, 4};
    EXPECT_FALSE(queries.GetItemRect(H(a0), false, rect)); // inside a collapsed branch
    EXPECT_EQ(rect, (TTreeRect{1, 2, 3, 4}));
    EXPECT_TRUE(queries.GetItemRect(H(a), false, rect));
    EXPECT_EQ(rect.Top, 0);
    EXPECT_EQ(rect.Bottom, 18);
    EXPECT_FALSE(queries.GetItemRect(0x5678, false, rect));
}

TEST_F(QueriesFixture, ItemFieldsNeedTheHandleFlag) {
    queries.GetNextItem(0, 0);
    tree.ToggleNode(a);
    tree.AddToSelection(a);
    tree.SetFocusedNode(a);
    int overlay = 2, state = 3;
    auto images = [&](TBaseVirtualTree&, PVirtualNode, TVTImageKind kind, TColumnIndex, bool&, int& index) {
        if (kind == TVTImageKind::ikOverlay)
            index = overlay;
        else if (kind == TVTImageKind::ikState)
            index = state;
        else if (kind == TVTImageKind::ikSelected)
            index = 7;
    };
    tree.OnGetImageIndex = TVTGetImageEvent::Bind(images);
    TTreeViewItemAnswer answer;
    EXPECT_FALSE(queries.GetItem(H(a), TreeItemChildren, answer));
    const std::uint32_t all = TreeItemHandle | TreeItemChildren | TreeItemImage | TreeItemSelectedImage |
                              TreeItemState | TreeItemText;
    ASSERT_TRUE(queries.GetItem(H(a), all, answer));
    EXPECT_EQ(answer.children, 1u);
    EXPECT_EQ(answer.image, -1);
    EXPECT_EQ(answer.selectedImage, 7);
    EXPECT_EQ(answer.stateMask, 0xFF2Fu);
    EXPECT_EQ(answer.state, 0x01u | 0x02u | 0x20u | (3u << 8) | (4u << 12));
    EXPECT_EQ(answer.text, L"Presets");
}

TEST(TextIntoBuffer, CopiesWithinTheBufferWithoutSplittingACharacter) {
    auto lead = [](unsigned char byte) { return byte >= 0x81; }; // a double-byte code page for the test
    struct Case {
        std::string text;
        int size;
        std::string expected; // nullopt-like "untouched" when marked
        bool untouched;
    };
    const Case cases[] = {
        {"Presets", 4, "Pre", false},
        {"Presets", 8, "Presets", false},
        {"Presets", 100, "Presets", false},
        {"ab\x82\x60", 4, "ab", false}, // the double-byte character does not fit whole
        {"ab\x82\x60", 5, "ab\x82\x60", false},
        {"Presets", 1, "", false},
        {"Presets", 0, "", true},
        {"Presets", -5, "", true},
    };
    for (const Case& c : cases) {
        char buffer[16];
        std::memset(buffer, 'X', sizeof buffer);
        CopyTextIntoBuffer(c.text, buffer, c.size, lead);
        if (c.untouched) {
            EXPECT_EQ(buffer[0], 'X') << c.size;
            continue;
        }
        EXPECT_EQ(std::string(buffer), c.expected) << c.size;
        EXPECT_EQ(buffer[c.expected.size() + 1], 'X') << "wrote past the zero, size " << c.size;
    }
    CopyTextIntoBuffer("Presets", nullptr, 10, lead); // no buffer: nothing happens
}

} // namespace
} // namespace tarvola::test
