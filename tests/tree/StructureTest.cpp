// Node store and structure: lazy creation and initialisation, deletion, moves, user data, and the
// invariants kept over a random sequence of operations.
#include "tests/tree/TreeTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace tarvola::test {
namespace {

using Log = std::vector<std::string>;

struct StructureFixture : ::testing::Test {
    TBaseVirtualTree tree;
    EventRecorder events{tree};
    void ExpectSound() { EXPECT_EQ(TreeInvariantChecker::Check(tree), ""); }
};

TEST_F(StructureFixture, RootCountMakesUninitialisedNodesThatInitialiseOnceOnFirstVisit) {
    tree.SetRootNodeCount(3);
    ASSERT_EQ(tree.RootNodeCount(), 3u);
    std::vector<std::uint32_t> indexes;
    for (PVirtualNode node = tree.GetFirstNoInit(); node != nullptr; node = tree.GetNextNoInit(node)) {
        EXPECT_EQ(node->States, nsVisible);
        indexes.push_back(node->Index);
    }
    EXPECT_EQ(indexes, (std::vector<std::uint32_t>{0, 1, 2}));
    events.Take();
    for (int pass = 0; pass < 2; ++pass)
        for (PVirtualNode node = tree.GetFirst(); node != nullptr; node = tree.GetNext(node)) {
        }
    EXPECT_EQ(events.Take(), (Log{"Init n0", "Init n1", "Init n2"}));
    ExpectSound();
}

TEST_F(StructureFixture, LoweringTheCountDeletesFromTheEndAndFreesOnlyInitialisedNodes) {
    tree.SetRootNodeCount(4);
    PVirtualNode first = tree.GetFirstNoInit();
    events.Name(first);
    PVirtualNode third = first->NextSibling->NextSibling;
    events.Name(first->NextSibling);
    tree.ValidateNode(third, false); // n2 initialised
    events.Take();
    tree.SetRootNodeCount(1);
    // The last node (never initialised) goes silently, the initialised one is freed with its event, and the
    // decrease is reported once, as a deletion.
    EXPECT_EQ(events.Take(),
              (Log{"Updating usBegin", "Free n2", "Struct nil crChildDeleted", "Updating usEnd"}));
    EXPECT_EQ(tree.GetFirstNoInit(), first);
    ExpectSound();
}

TEST_F(StructureFixture, ResetAndReinitRunTheLazyStepsAgain) {
    events.childCounts["n0"] = 2;
    events.initStates["n0"] = insHasChildren;
    tree.SetRootNodeCount(1);
    PVirtualNode node = tree.GetFirst();
    tree.GetFirstChild(node);
    auto reset = [&](TBaseVirtualTree&, PVirtualNode n) { events.log.push_back("Reset " + events.Name(n)); };
    tree.OnResetNode = TVTNodeEvent::Bind(reset);
    events.Take();
    tree.ResetNode(node);
    const Log afterReset = events.Take();
    ASSERT_FALSE(afterReset.empty());
    EXPECT_EQ(afterReset.front(), "Reset n0");
    EXPECT_EQ(node->ChildCount, 0u);
    EXPECT_EQ(node->States & (nsInitialized | nsHasChildren), 0);
    tree.GetFirstChild(node); // initialised and counted again
    const Log again = events.Take();
    EXPECT_EQ(again.front(), "Init n0");
    EXPECT_EQ(again[1], "InitChildren n0");
    tree.ReinitNode(node, false);
    EXPECT_EQ(events.Take().front(), "Init n0");
    ExpectSound();
}

TEST_F(StructureFixture, AddChildStoresInitialUserDataOrRefusesWithNothingChanged) {
    int payload = 7;
    tree.SetNodeDataSize(sizeof(void*));
    PVirtualNode node = tree.AddChild(nullptr, &payload);
    void* stored = nullptr;
    std::memcpy(&stored, tree.GetNodeData(node), sizeof stored);
    EXPECT_EQ(stored, &payload);
    EXPECT_TRUE(node->States & nsInitialUserData);
    events.Take();
    tree.DeleteNode(node); // uninitialised but with initial user data: freed with its event
    EXPECT_EQ(events.Take(), (Log{"Struct nil crChildDeleted", "Free n0"}));

    TBaseVirtualTree small;
    small.SetNodeDataSize(sizeof(void*) - 1);
    try {
        small.AddChild(nullptr, &payload);
        FAIL() << "no error";
    } catch (const EVirtualTreeError& error) {
        EXPECT_EQ(error.Code(), 2008);
    }
    EXPECT_EQ(small.RootNodeCount(), 0u);
    EXPECT_EQ(small.UpdateCount(), 0u);
    EXPECT_FALSE(small.InState(TreeState::tsStructureChangePending));
}

TEST_F(StructureFixture, UserDataIsAlignedBehindTheInternalArea) {
    struct Derived : TBaseVirtualTree {
        std::size_t offset = AllocateInternalDataArea(5);
    } derived;
    derived.SetNodeDataSize(8);
    PVirtualNode node = derived.AddChild(nullptr);
    const auto address = reinterpret_cast<std::uintptr_t>(derived.GetNodeData(node));
    EXPECT_EQ(address % 8, 0u);
    EXPECT_GE(address - reinterpret_cast<std::uintptr_t>(node), derived.offset + 8);
    EXPECT_THROW(derived.AllocateInternalDataArea(4), EVirtualTreeAssertion);
}

TEST_F(StructureFixture, MovingUnderItsOwnDescendantRaisesAndChangesNothing) {
    PVirtualNode parent = tree.AddChild(nullptr);
    PVirtualNode child = tree.AddChild(parent);
    tree.AddChild(child);
    try {
        tree.MoveTo(parent, child, TVTNodeAttachMode::amAddChildLast, false);
        FAIL() << "no error";
    } catch (const EVirtualTreeError& error) {
        EXPECT_EQ(error.Code(), 2001);
    }
    EXPECT_EQ(child->Parent, parent);
    ExpectSound();
}

TEST_F(StructureFixture, ChildrenMoveBeforeTheirOwnParentInOrder) {
    PVirtualNode parent = tree.AddChild(nullptr);
    PVirtualNode a = tree.AddChild(parent);
    PVirtualNode b = tree.AddChild(parent);
    tree.MoveTo(parent, parent, TVTNodeAttachMode::amInsertBefore, true);
    EXPECT_EQ(tree.GetFirstNoInit(), a);
    EXPECT_EQ(a->NextSibling, b);
    EXPECT_EQ(b->NextSibling, parent);
    EXPECT_EQ(parent->ChildCount, 0u);
    ExpectSound();
}

TEST(CrossTreeMove, SourceGoesAfterTheCopiesAndTheNoticeNamesItsFormerParent) {
    TBaseVirtualTree source, target;
    EventRecorder sourceEvents(source);
    NodeNames targetNames;
    EventRecorder targetEvents(target, &targetNames);
    PVirtualNode parent = source.AddChild(nullptr);
    PVirtualNode moving = source.AddChild(parent);
    source.AddChild(moving);
    source.AddChild(moving);
    source.ToggleNode(parent);
    sourceEvents.Name(parent);
    sourceEvents.Name(moving);
    PVirtualNode anchor = target.AddChild(nullptr);
    targetEvents.Name(anchor);
    sourceEvents.Take();
    targetEvents.Take();

    source.MoveTo(moving, anchor, TVTNodeAttachMode::amInsertAfter, false);

    // Copies arrive in the target first; then the source goes; the notice names the former parent.
    EXPECT_EQ(targetEvents.Take(), (Log{"Init n0", "Updating usBegin", "Moved n1", "Updating usEnd"}));
    const Log sourceLog = sourceEvents.Take();
    ASSERT_FALSE(sourceLog.empty());
    EXPECT_EQ(sourceLog.back(), "Struct n0 crNodeMoved");
    EXPECT_EQ(source.TotalCount(), 1u);
    EXPECT_EQ(target.TotalCount(), 4u);
    EXPECT_EQ(target.GetFirstNoInit()->NextSibling->ChildCount, 2u);
    EXPECT_EQ(TreeInvariantChecker::Check(source), "");
    EXPECT_EQ(TreeInvariantChecker::Check(target), "");

    // A top-level source is reported as nil.
    PVirtualNode top = source.AddChild(nullptr);
    sourceEvents.Take();
    source.MoveTo(top, target.GetFirstNoInit(), TVTNodeAttachMode::amInsertBefore, false);
    EXPECT_EQ(sourceEvents.Take().back(), "Struct nil crNodeMoved");
}

TEST_F(StructureFixture, DeletingASelectedNodeInsideAnUpdateLeavesNoDanglingEntry) {
    tree.SetRootNodeCount(3);
    PVirtualNode middle = tree.GetFirstNoInit()->NextSibling;
    tree.AddToSelection(middle);
    tree.AddToSelection(tree.GetFirstNoInit());
    tree.BeginUpdate();
    tree.DeleteNode(middle);
    tree.EndUpdate();
    EXPECT_EQ(tree.SelectedCount(), 1u);
    EXPECT_EQ(tree.GetSortedSelection(false), (std::vector<PVirtualNode>{tree.GetFirstNoInit()}));
    ExpectSound();
}

TEST_F(StructureFixture, SelectionCountNeverDropsBelowZero) {
    tree.SetRootNodeCount(2);
    PVirtualNode node = tree.GetFirstNoInit();
    tree.RemoveFromSelection(node); // not selected
    tree.BeginUpdate();
    tree.EndUpdate(); // packs an empty selection
    EXPECT_EQ(tree.SelectedCount(), 0u);
    tree.AddToSelection(node);
    tree.RemoveFromSelection(node);
    tree.RemoveFromSelection(node);
    EXPECT_EQ(tree.SelectedCount(), 0u);
    EXPECT_EQ(tree.GetFirstSelected(), nullptr);
}

TEST_F(StructureFixture, AHandlerDeletingTheNodeBeingDeletedDoesNotFreeItTwice) {
    tree.SetRootNodeCount(2);
    PVirtualNode victim = tree.GetFirstNoInit();
    auto again = [&](TBaseVirtualTree& sender, PVirtualNode, TChangeReason) { sender.DeleteNode(victim); };
    tree.OnStructureChange = TVTStructureChangeEvent::Bind(again);
    tree.DeleteNode(victim);
    EXPECT_EQ(tree.RootNodeCount(), 1u);
    ExpectSound();
}

TEST_F(StructureFixture, AChangeHandlerDeletingTheSelectedNodeBeingDeletedDoesNotFreeItTwice) {
    tree.SetRootNodeCount(2);
    PVirtualNode victim = tree.GetFirstNoInit();
    tree.AddToSelection(victim);
    auto again = [&](TBaseVirtualTree& sender, PVirtualNode node) {
        if (node == victim)
            sender.DeleteNode(victim);
    };
    tree.OnChange = TVTNodeEvent::Bind(again);
    tree.DeleteNode(victim);
    tree.OnChange.Reset();
    EXPECT_EQ(tree.RootNodeCount(), 1u);
    EXPECT_EQ(tree.SelectedCount(), 0u);
    ExpectSound();
}

TEST_F(StructureFixture, AThrowingComparisonLeavesTheSiblingListWhole) {
    tree.SetRootNodeCount(5);
    int calls = 0;
    auto compare = [&](TBaseVirtualTree&, PVirtualNode a, PVirtualNode b, TColumnIndex, int& result) {
        if (++calls == 4)
            throw std::runtime_error("compare failed");
        result = static_cast<int>(b->Index) - static_cast<int>(a->Index);
    };
    tree.OnCompareNodes = TVTCompareEvent::Bind(compare);
    EXPECT_THROW(tree.Sort(nullptr, 0, TSortDirection::sdAscending), std::runtime_error);
    ExpectSound();
    calls = -100;
    tree.Sort(nullptr, 0, TSortDirection::sdAscending); // descending indexes now
    EXPECT_EQ(tree.GetFirstNoInit()->Index, 0u);
    ExpectSound();
}

TEST_F(StructureFixture, SortKeepsEqualNodesInOrderAndSplitsTheFirstNodeOff) {
    tree.SetRootNodeCount(3);
    PVirtualNode a = tree.GetFirstNoInit(), b = a->NextSibling, c = b->NextSibling;
    // b is smaller than everything; a and c are equal.
    auto compare = [&](TBaseVirtualTree&, PVirtualNode x, PVirtualNode y, TColumnIndex, int& result) {
        result = (x == b ? -1 : 0) - (y == b ? -1 : 0);
    };
    tree.OnCompareNodes = TVTCompareEvent::Bind(compare);
    tree.Sort(nullptr, 0, TSortDirection::sdAscending);
    EXPECT_EQ(tree.GetFirstNoInit(), b);
    EXPECT_EQ(b->NextSibling, a);
    EXPECT_EQ(a->NextSibling, c);
    ExpectSound();
}

// The central fixture: random operations, with every invariant checked after each step.
TEST(StructureInvariants, HoldAfterEveryStepOfARandomSequence) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 random(seed);
        TBaseVirtualTree tree;
        tree.SetNodeDataSize(8);
        std::uniform_int_distribution<int> children(0, 4);
        auto initChildren = [&](TBaseVirtualTree&, PVirtualNode, std::uint32_t& count) {
            count = static_cast<std::uint32_t>(children(random));
        };
        auto initNode = [&](TBaseVirtualTree&, PVirtualNode, PVirtualNode, TVirtualNodeInitStates& states) {
            if (random() % 3 == 0)
                states |= insHasChildren;
            if (random() % 5 == 0)
                states |= insExpanded;
        };
        tree.OnInitChildren = TVTInitChildrenEvent::Bind(initChildren);
        tree.OnInitNode = TVTInitNodeEvent::Bind(initNode);
        tree.SetRootNodeCount(5);
        auto pick = [&]() -> PVirtualNode {
            std::vector<PVirtualNode> all;
            for (PVirtualNode node = tree.GetFirstNoInit(); node != nullptr; node = tree.GetNextNoInit(node))
                all.push_back(node);
            return all.empty() ? nullptr : all[random() % all.size()];
        };
        for (int step = 0; step < 300; ++step) {
            PVirtualNode node = pick();
            const int operation = static_cast<int>(random() % 12);
            const bool inUpdate = random() % 4 == 0;
            if (inUpdate)
                tree.BeginUpdate();
            try {
                switch (operation) {
                case 0:
                    tree.AddChild(random() % 3 == 0 ? nullptr : node);
                    break;
                case 1:
                    tree.SetChildCount(node, static_cast<std::uint32_t>(random() % 6));
                    break;
                case 2:
                    tree.DeleteNode(node);
                    break;
                case 3:
                    if (node != nullptr)
                        tree.ToggleNode(node);
                    break;
                case 4:
                    if (node != nullptr)
                        tree.SetVisible(node, random() % 2 == 0);
                    break;
                case 5:
                    tree.MoveTo(node, pick(), static_cast<TVTNodeAttachMode>(1 + random() % 4),
                                random() % 4 == 0);
                    break;
                case 6:
                    tree.ResetNode(random() % 10 == 0 ? nullptr : node);
                    break;
                case 7:
                    tree.ReinitNode(node, random() % 2 == 0);
                    break;
                case 8:
                    tree.ValidateNode(node, true);
                    break;
                case 9:
                    if (node != nullptr)
                        tree.SetNodeHeight(node, 1 + random() % 40);
                    break;
                case 10:
                    if (node != nullptr)
                        tree.AddToSelection(node);
                    break;
                case 11:
                    if (random() % 3 == 0)
                        tree.DeleteSelectedNodes();
                    else
                        tree.DeleteChildren(node);
                    break;
                }
            } catch (const EVirtualTreeError& error) {
                EXPECT_EQ(error.Code(), 2001) << "seed " << seed << " step " << step;
            }
            if (inUpdate)
                tree.EndUpdate();
            ASSERT_EQ(TreeInvariantChecker::Check(tree), "")
                << "seed " << seed << " step " << step << " op " << operation;
        }
    }
}

} // namespace
} // namespace tarvola::test
