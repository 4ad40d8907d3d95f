// A tree's transfers without the platform: cut/copy marking, the nodes a transfer carries, their insertion
// at a target by each mode, moves between trees, the end of a cut, and the link that dies with its tree.
#include "tests/tree/ClipboardTestSupport.h"
#include "tests/tree/TreeTestSupport.h"

#include "tree/DropRules.h"

#include <gtest/gtest.h>

namespace tarvola::test {
namespace {

using Mode = TVTNodeAttachMode;

TEST(ClipboardTransfer, CopyMarksEnabledSelectedNodesAndPasteDuplicatesTheMarkedOnesAtTheFocus) {
    NumberedTree t;
    TBaseVirtualTree& tree = t.tree;
    tree.Options.MultiSelect = true;
    PVirtualNode one = AddNumbered(tree, nullptr, 1);
    AddNumbered(tree, one, 2);
    AddNumbered(tree, one, 3);
    PVirtualNode four = AddNumbered(tree, nullptr, 4);
    PVirtualNode five = AddNumbered(tree, nullptr, 5);
    five->States |= nsDisabled;
    tree.AddToSelection(one);
    tree.AddToSelection(t.Find(2));
    tree.AddToSelection(five);

    TTreeClipboard& clipboard = tree.Clipboard();
    clipboard.EnterCutOrCopy(false);
    EXPECT_TRUE(tree.InState(TreeState::tsCopyPending));
    EXPECT_EQ(tree.GetSortedCutCopySet(false), (std::vector<PVirtualNode>{one, t.Find(2)}));
    EXPECT_EQ(clipboard.TransferNodes(true), std::vector<PVirtualNode>{one}) << "topmost nodes only";

    // The selection changes after the copy: the paste still takes the marked nodes.
    tree.ClearSelection();
    tree.AddToSelection(four);
    tree.SetFocusedNode(four);
    EXPECT_EQ(clipboard.TransferNodes(false), std::vector<PVirtualNode>{four});
    const auto chunks = clipboard.RenderNodeChunks(true);
    EXPECT_TRUE(clipboard.InsertNodeChunks(&tree, chunks, tree.FocusedNode(), clipboard.DefaultPasteMode));
    EXPECT_EQ(Shape(tree), "1(2,3),4(1(2,3)),5");
    EXPECT_EQ(TreeInvariantChecker::Check(tree), "");

    clipboard.CancelCutOrCopy();
    EXPECT_FALSE(tree.InState(TreeState::tsCopyPending));
    EXPECT_TRUE(tree.GetSortedCutCopySet(false).empty());
}

TEST(ClipboardTransfer, InsertedNodesKeepTheirOrderInEveryMode) {
    struct Case {
        Mode mode;
        bool atRoot;
        const char* shape;
    };
    const Case cases[] = {
        {Mode::amInsertBefore, false, "1,1,4,2(3),4"},  {Mode::amInsertAfter, false, "1,2(3),1,4,4"},
        {Mode::amAddChildFirst, false, "1,2(1,4,3),4"}, {Mode::amAddChildLast, false, "1,2(3,1,4),4"},
        {Mode::amInsertBefore, true, "1,4,1,2(3),4"},   {Mode::amInsertAfter, true, "1,2(3),4,1,4"},
    };
    for (const Case& c : cases) {
        NumberedTree t;
        TBaseVirtualTree& tree = t.tree;
        tree.Options.MultiSelect = true;
        PVirtualNode one = AddNumbered(tree, nullptr, 1);
        PVirtualNode two = AddNumbered(tree, nullptr, 2);
        AddNumbered(tree, two, 3);
        PVirtualNode four = AddNumbered(tree, nullptr, 4);
        tree.AddToSelection(one);
        tree.AddToSelection(four);
        const auto chunks = tree.Clipboard().RenderNodeChunks(false);
        EXPECT_TRUE(tree.Clipboard().InsertNodeChunks(&tree, chunks, c.atRoot ? nullptr : two, c.mode));
        EXPECT_EQ(Shape(tree), c.shape) << static_cast<int>(c.mode) << " at root " << c.atRoot;
        EXPECT_EQ(TreeInvariantChecker::Check(tree), "");
    }
}

TEST(ClipboardTransfer, EmptyRefusedAndMalformedInsertions) {
    NumberedTree t;
    TBaseVirtualTree& tree = t.tree;
    AddNumbered(tree, nullptr, 1);
    AddNumbered(tree, nullptr, 2);
    TTreeClipboard& clipboard = tree.Clipboard();

    EXPECT_TRUE(clipboard.InsertNodeChunks(nullptr, {}, nullptr, Mode::amAddChildLast));
    EXPECT_EQ(Shape(tree), "1,2");

    // A chunk that claims more than there is: nothing stays behind.
    const std::vector<std::uint8_t> truncated{40, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_ANY_THROW(clipboard.InsertNodeChunks(nullptr, truncated, nullptr, Mode::amAddChildLast));
    EXPECT_EQ(Shape(tree), "1,2");
    EXPECT_EQ(TreeInvariantChecker::Check(tree), "");

    // The owner refuses one of the copies.
    tree.Options.MultiSelect = true;
    tree.SelectAll(false);
    const auto chunks = clipboard.RenderNodeChunks(false);
    auto refuseTwo = [](TBaseVirtualTree& sender, PVirtualNode node, PVirtualNode, bool& allowed) {
        allowed = FakeNodeTransfer::Number(sender, node) != 2;
    };
    tree.OnNodeCopying = TVTNodeTargetAllowedEvent::Bind(refuseTwo);
    EXPECT_TRUE(clipboard.InsertNodeChunks(nullptr, chunks, nullptr, Mode::amAddChildLast));
    EXPECT_EQ(Shape(tree), "1,2,1");
    tree.OnNodeCopying.Reset();

    tree.Options.ReadOnly = true;
    EXPECT_FALSE(clipboard.InsertNodeChunks(nullptr, chunks, nullptr, Mode::amAddChildLast));
    EXPECT_EQ(Shape(tree), "1,2,1");
}

TEST(ClipboardTransfer, CutNodesMoveToAnotherTreeAndFinishingACutDeletesWhatIsLeftMarked) {
    NumberedTree source;
    NumberedTree target;
    source.tree.Options.MultiSelect = true;
    PVirtualNode one = AddNumbered(source.tree, nullptr, 1);
    AddNumbered(source.tree, one, 2);
    PVirtualNode three = AddNumbered(source.tree, nullptr, 3);
    AddNumbered(target.tree, nullptr, 10);
    source.tree.AddToSelection(one);
    source.tree.Clipboard().EnterCutOrCopy(true);
    EXPECT_TRUE(source.tree.InState(TreeState::tsCutPending));

    EXPECT_TRUE(target.tree.Clipboard().MoveNodesFrom(source.tree, nullptr, Mode::amAddChildLast));
    EXPECT_EQ(Shape(target.tree), "10,1(2)");
    EXPECT_EQ(Shape(source.tree), "3");
    EXPECT_TRUE(target.tree.GetSortedCutCopySet(false).empty()) << "moved nodes lose their mark";
    source.tree.Clipboard().FinishCutOrCopy();
    EXPECT_FALSE(source.tree.InState(TreeState::tsCutPending));
    EXPECT_EQ(Shape(source.tree), "3");

    // Nested marks go with their marked ancestor.
    PVirtualNode four = AddNumbered(source.tree, three, 4);
    source.tree.AddToSelection(three);
    source.tree.AddToSelection(four);
    source.tree.Clipboard().EnterCutOrCopy(false);
    source.tree.Clipboard().FinishCutOrCopy();
    EXPECT_EQ(Shape(source.tree), "3(4)") << "a copy is not finished by deleting";
    source.tree.Clipboard().EnterCutOrCopy(true);
    source.tree.Clipboard().FinishCutOrCopy();
    EXPECT_EQ(Shape(source.tree), "");
    EXPECT_EQ(TreeInvariantChecker::Check(source.tree), "");
    EXPECT_EQ(TreeInvariantChecker::Check(target.tree), "");
}

TEST(ClipboardTransfer, TheLinkAndTheReferenceKeyDieWithTheTree) {
    std::shared_ptr<TTreeLink> link;
    std::uint32_t key = 0;
    {
        TBaseVirtualTree tree;
        link = tree.Clipboard().Link();
        key = tree.Clipboard().ReferenceKey();
        EXPECT_EQ(link->Tree, &tree);
        EXPECT_EQ(TTreeClipboard::LiveTreeByKey(key), &tree);
    }
    EXPECT_EQ(link->Tree, nullptr);
    EXPECT_EQ(TTreeClipboard::LiveTreeByKey(key), nullptr);
}

// The end of a drag that the target answered with a move, by what the drop did with the dragged nodes.
TEST(ClipboardTransfer, AMoveDeletesOnlyDraggedNodesThatNoDropMovedOrDeleted) {
    struct Case {
        const char* what;
        const char* drop; // "", "move within", "move across", "delete"
        std::uint32_t effect;
        bool autoDelete;
        const char* source;
        const char* target;
    };
    const Case cases[] = {
        {"a foreign target took the nodes", "", DropEffectMove, true, "3", ""},
        {"without automatic deletion", "", DropEffectMove, false, "1(2),3,4", ""},
        {"a copy", "", DropEffectCopy, true, "1(2),3,4", ""},
        {"moved within the tree by the drop", "move within", DropEffectMove, true, "3(1(2),4)", ""},
        {"moved into another tree by the drop", "move across", DropEffectMove, true, "3", "10,1(2),4"},
        {"deleted by the drop", "delete", DropEffectMove, true, "3", ""},
    };
    for (const Case& c : cases) {
        NumberedTree source;
        NumberedTree target;
        source.tree.Options.MultiSelect = true;
        PVirtualNode one = AddNumbered(source.tree, nullptr, 1);
        AddNumbered(source.tree, one, 2);
        PVirtualNode three = AddNumbered(source.tree, nullptr, 3);
        PVirtualNode four = AddNumbered(source.tree, nullptr, 4);
        AddNumbered(target.tree, nullptr, 10);
        source.tree.AddToSelection(one);
        source.tree.AddToSelection(four);
        TTreeClipboard& drag = source.tree.Clipboard();
        drag.BeginOleDrag();
        EXPECT_TRUE(source.tree.InState(TreeState::tsOLEDragging));
        EXPECT_EQ(drag.DragSelection, (std::vector<PVirtualNode>{one, four}));
        const std::string drop = c.drop;
        if (drop == "move within")
            source.tree.Clipboard().MoveNodesFrom(source.tree, three, Mode::amAddChildLast);
        else if (drop == "move across")
            target.tree.Clipboard().MoveNodesFrom(source.tree, nullptr, Mode::amAddChildLast);
        else if (drop == "delete")
            source.tree.DeleteSelectedNodes();
        drag.EndOleDrag(c.effect, c.autoDelete);
        EXPECT_EQ(Shape(source.tree), c.source) << c.what;
        EXPECT_EQ(Shape(target.tree), std::string(c.target).empty() ? "10" : c.target) << c.what;
        EXPECT_FALSE(source.tree.InState(TreeState::tsOLEDragging));
        EXPECT_TRUE(drag.DragSelection.empty());
        EXPECT_EQ(TreeInvariantChecker::Check(source.tree), "") << c.what;
    }
}

} // namespace
} // namespace tarvola::test
