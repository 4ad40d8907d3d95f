// Expanding and collapsing: the event sequences with refusals, children asked for on expansion and freed on
// collapse, and whole subtrees at once.
#include "tests/tree/TreeTestSupport.h"
#include "tree/TreeSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace tarvola::test {
namespace {

using Log = std::vector<std::string>;

// n0 and n1 at the top, each with two children to come (n0's children with two of their own).
struct ToggleTree {
    TBaseVirtualTree tree;
    EventRecorder events{tree};
    std::set<std::string> refusing;

    void Expanding(TBaseVirtualTree&, PVirtualNode node, bool& allowed) {
        events.log.push_back("Expanding " + events.Name(node));
        allowed = refusing.count(events.Name(node)) == 0;
    }
    void Expanded(TBaseVirtualTree&, PVirtualNode node) {
        events.log.push_back("Expanded " + events.Name(node));
    }
    void Collapsing(TBaseVirtualTree&, PVirtualNode node, bool& allowed) {
        events.log.push_back("Collapsing " + events.Name(node));
        allowed = refusing.count(events.Name(node)) == 0;
    }
    void Collapsed(TBaseVirtualTree&, PVirtualNode node) {
        events.log.push_back("Collapsed " + events.Name(node));
    }

    ToggleTree() {
        tree.OnExpanding = TVTNodeAllowedEvent::Bind<&ToggleTree::Expanding>(this);
        tree.OnExpanded = TVTNodeEvent::Bind<&ToggleTree::Expanded>(this);
        tree.OnCollapsing = TVTNodeAllowedEvent::Bind<&ToggleTree::Collapsing>(this);
        tree.OnCollapsed = TVTNodeEvent::Bind<&ToggleTree::Collapsed>(this);
        events.initStates["n0"] = insHasChildren;
        events.initStates["n1"] = insHasChildren;
        events.initStates["n2"] = insHasChildren;
        events.childCounts["n0"] = 2;
        events.childCounts["n1"] = 2;
        events.childCounts["n2"] = 2;
        tree.SetRootNodeCount(2);
        events.Name(tree.GetFirst());
        events.Name(tree.GetFirst()->NextSibling);
        tree.IsVisible(tree.GetFirst()->NextSibling); // initialises n1, counts nobody's children
        events.Take();
    }
    ~ToggleTree() {
        tree.OnExpanding.Reset();
        tree.OnExpanded.Reset();
        tree.OnCollapsing.Reset();
        tree.OnCollapsed.Reset();
    }
    PVirtualNode First() { return tree.GetFirstNoInit(); }
    std::string Sound() { return TreeInvariantChecker::Check(tree); }
};

struct ToggleFixture : ::testing::Test, ToggleTree {};

TEST_F(ToggleFixture, ExpandAndCollapseTable) {
    struct Case {
        const char* name;
        bool startExpanded;
        std::set<std::string> refusing;
        bool expandedAfter;
        Log log;
    };
    const Case cases[] = {
        {"expand",
         false,
         {},
         true,
         {"Expanding n0", "InitChildren n0", "Struct n0 crChildAdded", "Expanded n0"}},
        {"expand refused", false, {"n0"}, false, {"Expanding n0"}},
        {"collapse", true, {}, false, {"Collapsing n0", "Collapsed n0"}},
        {"collapse refused", true, {"n0"}, true, {"Collapsing n0"}},
    };
    for (const Case& c : cases) {
        ToggleTree fixture;
        PVirtualNode node = fixture.First();
        if (c.startExpanded)
            fixture.tree.ToggleNode(node);
        fixture.events.Take();
        fixture.refusing = c.refusing;
        fixture.tree.ToggleNode(node);
        EXPECT_EQ(fixture.tree.Expanded(node), c.expandedAfter) << c.name;
        EXPECT_EQ(fixture.events.Take(), c.log) << c.name;
        EXPECT_EQ(fixture.tree.VisibleCount(), c.expandedAfter ? 4u : 2u) << c.name;
        EXPECT_EQ(fixture.Sound(), "") << c.name;
    }
}

TEST_F(ToggleFixture, ANodeWhoseOwnerGivesNoChildrenStaysCollapsedAndLosesItsButton) {
    events.childCounts["n0"] = 0;
    tree.ToggleNode(First());
    EXPECT_EQ(events.Take(), (Log{"Expanding n0", "InitChildren n0"}));
    EXPECT_FALSE(tree.Expanded(First()));
    EXPECT_FALSE(tree.HasChildren(First()));
    EXPECT_EQ(Sound(), "");
}

TEST_F(ToggleFixture, AutoFreeOnCollapseFreesTheChildrenAndAsksForThemAgain) {
    tree.Options.AutoFreeOnCollapse = true;
    tree.ToggleNode(First());
    tree.GetFirstChild(First()); // n2 initialised, n3 not
    events.Take();
    tree.ToggleNode(First());
    EXPECT_EQ(events.Take(), (Log{"Collapsing n0", "Collapsed n0", "Free n2", "Struct n0 crChildDeleted"}));
    EXPECT_TRUE(tree.HasChildren(First()));
    EXPECT_EQ(First()->ChildCount, 0u);
    EXPECT_EQ(Sound(), "");
    tree.ToggleNode(First());
    EXPECT_EQ(events.Take(),
              (Log{"Expanding n0", "InitChildren n0", "Struct n0 crChildAdded", "Expanded n0"}));
    EXPECT_EQ(First()->ChildCount, 2u);
    EXPECT_EQ(Sound(), "");
}

TEST_F(ToggleFixture, AToggleFromInsideItsOwnEventIsIgnored) {
    auto again = [&](TBaseVirtualTree& sender, PVirtualNode node, bool&) { sender.ToggleNode(node); };
    tree.OnExpanding = TVTNodeAllowedEvent::Bind(again);
    tree.ToggleNode(First());
    EXPECT_TRUE(tree.Expanded(First()));
    EXPECT_EQ(Sound(), "");
}

TEST_F(ToggleFixture, AThrowingHandlerLeavesTheNodeTogglableAndNoUpdateOpen) {
    auto thrower = [](TBaseVirtualTree&, PVirtualNode) { throw std::runtime_error("x"); };
    tree.OnExpanded = TVTNodeEvent::Bind(thrower);
    EXPECT_THROW(tree.FullExpand(), std::runtime_error);
    EXPECT_EQ(First()->States & nsToggling, 0);
    EXPECT_FALSE(tree.InState(TreeState::tsExpanding));
    EXPECT_EQ(tree.UpdateCount(), 0u);
    EXPECT_EQ(Sound(), "");
}

TEST_F(ToggleFixture, FullExpandAndCollapseWholeTreeInOneUpdate) {
    tree.FullExpand();
    for (PVirtualNode node = tree.GetFirstNoInit(); node != nullptr; node = tree.GetNextNoInit(node))
        EXPECT_EQ(tree.Expanded(node), tree.HasChildren(node)) << events.Name(node);
    const Log log = events.Take();
    EXPECT_EQ(log.front(), "Updating usBegin");
    EXPECT_EQ(log.back(), "Updating usEnd");
    EXPECT_EQ(std::count(log.begin(), log.end(), "Updating usBegin"), 1);
    EXPECT_EQ(tree.VisibleCount(), 8u); // two top nodes, four children, n2's two
    EXPECT_EQ(Sound(), "");
    tree.FullCollapse();
    for (PVirtualNode node = tree.GetFirstNoInit(); node != nullptr; node = tree.GetNextNoInit(node))
        EXPECT_FALSE(tree.Expanded(node)) << events.Name(node);
    EXPECT_EQ(tree.VisibleCount(), 2u);
    EXPECT_EQ(Sound(), "");
}

TEST_F(ToggleFixture, FullExpandAndCollapseOfOneNodeStayInItsSubtree) {
    tree.FullExpand(First());
    EXPECT_TRUE(tree.Expanded(First()));
    EXPECT_TRUE(tree.Expanded(First()->FirstChild));
    EXPECT_FALSE(tree.Expanded(First()->NextSibling));
    tree.ToggleNode(First()->NextSibling);
    tree.FullCollapse(First());
    EXPECT_FALSE(tree.Expanded(First()));
    EXPECT_FALSE(tree.Expanded(First()->FirstChild));
    EXPECT_TRUE(tree.Expanded(First()->NextSibling));
    EXPECT_EQ(Sound(), "");
}

} // namespace
} // namespace tarvola::test

namespace tarvola::test {
namespace {

// A clock that only moves while the animation waits.
class SteppingClock : public IAnimationClock {
public:
    std::uint32_t now = 0;
    std::uint32_t Now() override { return now; }
    void WaitUntil(std::uint32_t time) override { now = std::max(now, time); }
};

// n0 (three children of 18 pixels) and n1 on a window 400 pixels high.
struct SlideFixture : ::testing::Test {
    RecordingHost host;
    TBaseVirtualTree tree{&host};
    RecordingControlPort port;
    SteppingClock clock;
    PVirtualNode n0 = nullptr;
    SlideFixture() {
        host.window = true;
        host.tree = &tree;
        tree.SetControlPort(&port);
        tree.SetAnimationClock(&clock);
        n0 = tree.AddChild(nullptr);
        for (int i = 0; i < 3; ++i)
            tree.AddChild(n0);
        tree.AddChild(nullptr);
        tree.Properties().SetAnimationDuration(100); // and the animated toggle
    }
    ~SlideFixture() override {
        tree.SetControlPort(nullptr);
        tree.SetAnimationClock(nullptr);
    }
    std::size_t SlideSteps(const char* direction) {
        return static_cast<std::size_t>(
            std::count_if(port.log.begin(), port.log.end(), [&](const std::string& s) {
                return s.rfind(std::string("Slide ") + direction, 0) == 0;
            }));
    }
};

TEST_F(SlideFixture, TheRowsBelowSlideByTheChildrensHeightAndTheTreeEndsToggled) {
    tree.ToggleNode(n0);
    ASSERT_FALSE(port.log.empty());
    EXPECT_EQ(port.log.front(), "Update");
    // 54 pixels of children in 100 ms: 54 one-pixel steps and the closing call.
    EXPECT_EQ(SlideSteps("down"), 55u);
    EXPECT_EQ(port.log.back(), "Slide down 0 0");
    ASSERT_EQ(port.slides.size(), 1u);
    EXPECT_EQ(port.slides[0].Area, (TTreeRect{0, 18, 200, 400}));
    EXPECT_EQ(port.slides[0].Fills, (std::vector<TToggleSlide::Fill>{{0, 200, std::nullopt}}));
    EXPECT_TRUE(tree.Expanded(n0));
    EXPECT_EQ(tree.VisibleCount(), 5u);
    EXPECT_FALSE(tree.InState(TreeState::tsInAnimation));

    port.log.clear();
    port.slides.clear();
    tree.ToggleNode(n0);
    EXPECT_EQ(SlideSteps("up"), 55u);
    ASSERT_EQ(port.slides.size(), 1u);
    EXPECT_EQ(port.slides[0].Area, (TTreeRect{0, 18, 200, 400}));
    EXPECT_FALSE(tree.Expanded(n0));
    EXPECT_EQ(tree.VisibleCount(), 2u);
    EXPECT_EQ(TreeInvariantChecker::Check(tree), "");
}

TEST_F(SlideFixture, NoSlideWhereItCannotShowOrIsNotWanted) {
    struct Case {
        const char* name;
        std::function<void()> toggle;
    };
    const std::vector<Case> cases = {
        {"during an update",
         [&] {
             tree.BeginUpdate();
             tree.ToggleNode(n0);
             tree.EndUpdate();
         }},
        {"without the animated toggle",
         [&] {
             tree.Properties().SetAnimationDuration(0);
             tree.ToggleNode(n0);
             tree.Properties().SetAnimationDuration(100);
         }},
        {"a whole-tree collapse", [&] { tree.FullCollapse(); }},
        {"the last node expanding (nothing below it)",
         [&] {
             tree.ToggleNode(n0); // collapse first: from the expanded state of the case before
             port.log.clear();
             PVirtualNode last = tree.GetLast();
             tree.AddChild(last);
             tree.ToggleNode(last);
         }},
    };
    tree.ToggleNode(n0);
    for (const Case& c : cases) {
        port.log.clear();
        c.toggle();
        EXPECT_EQ(SlideSteps("down") + SlideSteps("up"), 0u) << c.name;
    }
}

} // namespace
} // namespace tarvola::test
