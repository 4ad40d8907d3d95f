// The state set, update batching and the coalesced change notifications, seen through event logs.
#include "tests/tree/TreeTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarvola::test {
namespace {

using Log = std::vector<std::string>;
using S = TreeState;

struct UpdatesFixture : ::testing::Test {
    RecordingHost host;
    TBaseVirtualTree tree{&host};
    EventRecorder events{tree};
    UpdatesFixture() {
        host.tree = &tree;
        host.window = true;
    }
};

struct Visible : TBaseVirtualTree {
    using TBaseVirtualTree::DoStateChange;
};

TEST(StateChange, FiresOnlyForRealChangesAndLeaveWins) {
    struct Case {
        TVirtualTreeStates before, enter, leave, after;
        bool fires;
    };
    const Case cases[] = {
        {{S::tsEditing}, {S::tsEditing}, {}, {S::tsEditing}, false},
        {{}, {}, {S::tsEditing}, {}, false},
        {{}, {S::tsHint}, {}, {S::tsHint}, true},
        {{S::tsHint}, {}, {S::tsHint}, {}, true},
        {{}, {S::tsHint}, {S::tsHint}, {}, true},
        {{S::tsHint}, {S::tsHint}, {S::tsHint}, {}, true},
        {{S::tsHint, S::tsSizing},
         {S::tsSizing, S::tsWindowCreating},
         {S::tsHint},
         {S::tsSizing, S::tsWindowCreating},
         true},
    };
    for (const Case& c : cases) {
        Visible tree;
        tree.DoStateChange(c.before);
        int fired = 0;
        auto count = [&](TBaseVirtualTree&, TVirtualTreeStates enter, TVirtualTreeStates leave) {
            ++fired;
            EXPECT_EQ(enter, c.enter); // the requested sets, unchanged
            EXPECT_EQ(leave, c.leave);
        };
        tree.OnStateChange = TVTStateChangeEvent::Bind(count);
        tree.DoStateChange(c.enter, c.leave);
        EXPECT_EQ(fired, c.fires ? 1 : 0) << c.before.Bits();
        EXPECT_EQ(tree.TreeStates(), c.after) << c.before.Bits();
        tree.OnStateChange.Reset(); // the handler goes before the tree
    }
}

TEST_F(UpdatesFixture, NestedUpdatesReportBeginUpdateAndEndWithRedrawOffMeanwhile) {
    tree.BeginUpdate();
    tree.BeginUpdate();
    EXPECT_FALSE(host.redraw);
    tree.EndUpdate();
    EXPECT_FALSE(host.redraw);
    tree.EndUpdate();
    EXPECT_TRUE(host.redraw);
    EXPECT_EQ(events.Take(),
              (Log{"Updating usBegin", "Updating usUpdate", "Updating usUpdate", "Updating usEnd"}));
    EXPECT_FALSE(tree.InState(S::tsUpdating));
}

TEST_F(UpdatesFixture, AnUnmatchedEndUpdateKeepsTheCountAtZeroAndSkipsTheEndWork) {
    host.log.clear();
    tree.EndUpdate();
    EXPECT_EQ(tree.UpdateCount(), 0u);
    EXPECT_EQ(events.Take(), (Log{"Updating usEnd"}));
    EXPECT_EQ(host.log, Log{});
}

TEST_F(UpdatesFixture, ChangesInsideOneUpdateComeOutAsOneNoticeEachInOrder) {
    tree.SetRootNodeCount(2);
    events.Take();
    tree.Options.AutoSort = true;
    tree.SortColumn = 0;
    auto compare = [&](TBaseVirtualTree&, PVirtualNode, PVirtualNode, TColumnIndex, int& result) {
        events.log.push_back("Compare");
        result = 0;
    };
    tree.OnCompareNodes = TVTCompareEvent::Bind(compare);
    tree.BeginUpdate();
    for (int i = 0; i < 100; ++i)
        tree.AddChild(nullptr);
    events.Name(tree.GetFirstNoInit());
    events.Name(tree.GetFirstNoInit()->NextSibling);
    tree.AddToSelection(tree.GetFirstNoInit());
    tree.AddToSelection(tree.GetFirstNoInit()->NextSibling);
    events.Take();
    tree.EndUpdate();
    const Log log = events.Take();
    ASSERT_GE(log.size(), 4u);
    // Structure change, then change (last node), then the auto-sort, then the end.
    EXPECT_EQ(log[0], "Struct nil crChildAdded");
    EXPECT_EQ(log[1], "Change n1");
    const auto compare1 = std::find(log.begin(), log.end(), "Compare");
    EXPECT_NE(compare1, log.end());
    EXPECT_EQ(log.back(), "Updating usEnd");
}

TEST_F(UpdatesFixture, DifferentReasonsFoldIntoAccumulated) {
    tree.BeginUpdate();
    PVirtualNode node = tree.AddChild(nullptr);
    tree.DeleteNode(node);
    events.Take();
    tree.EndUpdate();
    EXPECT_EQ(events.Take(), (Log{"Struct nil crAccumulated", "Updating usEnd"}));
}

TEST_F(UpdatesFixture, ChangesWithinTheDelayGiveOneNoticeForTheLastNode) {
    tree.SetRootNodeCount(3);
    tree.ChangeDelay = 200;
    for (PVirtualNode node = tree.GetFirst(); node != nullptr; node = tree.GetNext(node))
        events.Name(node); // initialised now: repainting a selected row would do it
    events.Take();
    for (PVirtualNode node = tree.GetFirstNoInit(); node != nullptr; node = node->NextSibling)
        tree.AddToSelection(node);
    EXPECT_EQ(events.Take(), Log{});
    EXPECT_EQ(host.runningTimers.at(ChangeTimer), 200u);
    EXPECT_TRUE(host.FireTimer(ChangeTimer));
    EXPECT_EQ(events.Take(), (Log{"Change n2"}));
    EXPECT_EQ(host.runningTimers.count(ChangeTimer), 0u);
    EXPECT_FALSE(tree.InState(S::tsChangePending));
}

TEST_F(UpdatesFixture, StructureChangesWithinTheDelayGiveOneNoticeByTheirTimer) {
    tree.SetRootNodeCount(2);
    tree.ChangeDelay = 200;
    PVirtualNode first = tree.GetFirstNoInit();
    events.Name(first);
    events.Name(first->NextSibling);
    events.Take();
    tree.SetChildCount(first, 3);
    tree.SetChildCount(first->NextSibling, 2);
    EXPECT_EQ(events.Take(), Log{});
    ASSERT_EQ(host.runningTimers.count(StructureChangeTimer), 1u);
    EXPECT_EQ(host.runningTimers.at(StructureChangeTimer), 200u);
    EXPECT_TRUE(host.FireTimer(StructureChangeTimer));
    EXPECT_EQ(events.Take(), (Log{"Struct n1 crChildAdded"}));
    EXPECT_FALSE(tree.InState(S::tsStructureChangePending));
    EXPECT_EQ(host.runningTimers.count(StructureChangeTimer), 0u);
}

TEST_F(UpdatesFixture, SynchModeFiresAtOnceDespiteTheDelay) {
    struct Synch : TBaseVirtualTree {
        using TBaseVirtualTree::DoStateChange;
    } synch;
    EventRecorder synchEvents(synch);
    synch.ChangeDelay = 200;
    synch.DoStateChange({S::tsSynchMode});
    synch.AddChild(nullptr);
    EXPECT_EQ(synchEvents.Take(), (Log{"Struct nil crChildAdded"}));
}

TEST_F(UpdatesFixture, AThrowingHandlerLeavesNoUpdateOpenAndRedrawOn) {
    auto fail = [](TBaseVirtualTree&, PVirtualNode, TChangeReason) { throw std::runtime_error("handler"); };
    tree.SetRootNodeCount(2);
    tree.OnStructureChange = TVTStructureChangeEvent::Bind(fail);
    tree.ClearSelection();
    EXPECT_THROW(tree.Clear(), std::runtime_error);
    EXPECT_EQ(tree.UpdateCount(), 0u);
    EXPECT_TRUE(host.redraw);
    EXPECT_FALSE(tree.InState(S::tsStructureChangePending));
}

TEST(CreateEditor, AHandlerThatGivesNoLinkRaises2000) {
    struct Editor : TBaseVirtualTree {
        using TBaseVirtualTree::DoCreateEditor;
    } tree;
    EXPECT_EQ(tree.DoCreateEditor(nullptr, NoColumn), nullptr);
    auto none = [](TBaseVirtualTree&, PVirtualNode, TColumnIndex, std::shared_ptr<IVTEditLink>&) {};
    tree.OnCreateEditor = TVTCreateEditorEvent::Bind(none);
    try {
        tree.DoCreateEditor(nullptr, NoColumn);
        FAIL() << "no error";
    } catch (const EVirtualTreeError& error) {
        EXPECT_EQ(error.Code(), 2000);
        EXPECT_STREQ(error.what(), "Edit link must not be nil.");
    }
}

TEST(Dispatchers, GiveTheirDefaultsWithoutHandlersAndTheRootAsNil) {
    struct Exposed : TBaseVirtualTree {
        using TBaseVirtualTree::DoChecking;
        using TBaseVirtualTree::DoDragAllowed;
        using TBaseVirtualTree::DoGetCellIsEmpty;
        using TBaseVirtualTree::DoGetImageIndex;
        using TBaseVirtualTree::DoNodeMoving;
    } tree;
    TCheckState state = TCheckState::csCheckedNormal;
    bool ghosted = false;
    EXPECT_TRUE(tree.DoChecking(nullptr, state));
    EXPECT_FALSE(tree.DoDragAllowed(nullptr, 0));
    EXPECT_TRUE(tree.DoGetCellIsEmpty(nullptr, 0));
    EXPECT_EQ(tree.DoGetImageIndex(nullptr, TVTImageKind::ikNormal, 0, ghosted, 5), 5);
    EXPECT_TRUE(tree.DoNodeMoving(nullptr, nullptr));
    tree.Options.ReadOnly = true;
    int asked = 0;
    auto checking = [&](TBaseVirtualTree&, PVirtualNode, TCheckState&, bool&) { ++asked; };
    tree.OnChecking = TVTCheckChangingEvent::Bind(checking);
    EXPECT_FALSE(tree.DoChecking(nullptr, state));
    EXPECT_EQ(asked, 0);

    TBaseVirtualTree parents;
    PVirtualNode parentSeen = reinterpret_cast<PVirtualNode>(1);
    auto init = [&](TBaseVirtualTree&, PVirtualNode parent, PVirtualNode, TVirtualNodeInitStates&) {
        parentSeen = parent;
    };
    parents.OnInitNode = TVTInitNodeEvent::Bind(init);
    parents.SetRootNodeCount(1);
    parents.GetFirst();
    EXPECT_EQ(parentSeen, nullptr);
}

} // namespace
} // namespace tarvola::test
