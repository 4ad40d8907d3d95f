// Check images: the click and pressed tables, tri-state propagation down and up with its events, radio
// groups, and refusals.
#include "tests/tree/TreeTestSupport.h"

#include <gtest/gtest.h>

#include <set>

namespace tarvola::test {
namespace {

using Log = std::vector<std::string>;
using CS = TCheckState;
using CT = TCheckType;

const char* StateName(CS state) {
    static const char* names[] = {"unchecked", "uncheckedPressed", "checked", "checkedPressed",
                                  "mixed",     "mixedPressed"};
    return names[static_cast<int>(state)];
}

//  g (tri-state)
//    p (tri-state)
//      c0, c1, c2 (check boxes)
//    q (check box)
//  r0, r1, r2 (radio buttons)
struct CheckTree {
    TBaseVirtualTree tree;
    NodeNames names;
    std::map<std::string, PVirtualNode> nodes;
    std::set<std::string> refusing;
    Log log;

    PVirtualNode Add(PVirtualNode parent, const std::string& name, CT type) {
        PVirtualNode node = tree.AddChild(parent);
        names.Set(node, name);
        nodes[name] = node;
        tree.SetCheckType(node, type);
        return node;
    }

    void Checking(TBaseVirtualTree&, PVirtualNode node, CS& state, bool& allowed) {
        log.push_back("Checking " + names(node) + " " + StateName(state));
        allowed = refusing.count(names(node)) == 0;
    }
    void Checked(TBaseVirtualTree&, PVirtualNode node) { log.push_back("Checked " + names(node)); }

    CheckTree() {
        PVirtualNode g = Add(nullptr, "g", CT::ctTriStateCheckBox);
        PVirtualNode p = Add(g, "p", CT::ctTriStateCheckBox);
        for (const char* name : {"c0", "c1", "c2"})
            Add(p, name, CT::ctCheckBox);
        Add(g, "q", CT::ctCheckBox);
        for (const char* name : {"r0", "r1", "r2"})
            Add(nullptr, name, CT::ctRadioButton);
        tree.OnChecking = TVTCheckChangingEvent::Bind<&CheckTree::Checking>(this);
        tree.OnChecked = TVTNodeEvent::Bind<&CheckTree::Checked>(this);
    }
    ~CheckTree() {
        tree.OnChecking.Reset();
        tree.OnChecked.Reset();
    }

    std::string States(std::initializer_list<const char*> which) {
        std::string text;
        for (const char* name : which)
            text +=
                std::string(text.empty() ? "" : " ") + name + "=" + StateName(tree.CheckState(nodes[name]));
        return text;
    }
    void Click(const std::string& name) {
        PVirtualNode node = nodes[name];
        tree.SetCheckState(node, tree.DetermineNextCheckState(tree.CheckType(node), tree.CheckState(node)));
    }
};

struct CheckFixture : ::testing::Test, CheckTree {};

TEST(CheckTables, AClickAndThePressedVariantsFollowTheirTables) {
    TBaseVirtualTree tree;
    struct Case {
        CT type;
        CS from, to;
    };
    const Case clicks[] = {
        {CT::ctCheckBox, CS::csUncheckedNormal, CS::csCheckedNormal},
        {CT::ctCheckBox, CS::csCheckedNormal, CS::csUncheckedNormal},
        {CT::ctTriStateCheckBox, CS::csMixedNormal, CS::csCheckedNormal},
        {CT::ctTriStateCheckBox, CS::csCheckedPressed, CS::csCheckedNormal},
        {CT::ctRadioButton, CS::csCheckedNormal, CS::csCheckedNormal},
        {CT::ctButton, CS::csCheckedNormal, CS::csUncheckedNormal},
        {CT::ctNone, CS::csUncheckedNormal, CS::csMixedNormal},
    };
    for (const Case& c : clicks)
        EXPECT_EQ(tree.DetermineNextCheckState(c.type, c.from), c.to) << static_cast<int>(c.type);
    const int pressed[] = {1, 1, 3, 3, 5, 5}, normal[] = {0, 0, 2, 2, 4, 4};
    for (int state = 0; state < 6; ++state) {
        EXPECT_EQ(static_cast<int>(PressedCheckState(static_cast<CS>(state))), pressed[state]);
        EXPECT_EQ(static_cast<int>(NormalCheckState(static_cast<CS>(state))), normal[state]);
    }
}

TEST_F(CheckFixture, CheckingAParentChecksItsChildrenAndTellsTheGrandparentOnce) {
    Click("p");
    EXPECT_EQ(States({"g", "p", "c0", "c1", "c2", "q"}),
              "g=mixed p=checked c0=checked c1=checked c2=checked q=unchecked");
    EXPECT_EQ(log, (Log{"Checking p checked", "Checking c0 checked", "Checked c0", "Checking c1 checked",
                        "Checked c1", "Checking c2 checked", "Checked c2", "Checking g mixed", "Checked g",
                        "Checked p"}));
    EXPECT_FALSE(tree.InState(TreeState::tsCheckPropagation));
}

TEST_F(CheckFixture, TheLastCheckedChildDecidesForEveryAncestorOnce) {
    Click("c0");
    EXPECT_EQ(States({"g", "p", "c0"}), "g=mixed p=mixed c0=checked");
    log.clear();
    Click("c0"); // the only checked child unchecks: the parent and the grandparent follow, each once
    EXPECT_EQ(States({"g", "p", "c0"}), "g=unchecked p=unchecked c0=unchecked");
    EXPECT_EQ(log, (Log{"Checking c0 unchecked", "Checking p unchecked", "Checking g unchecked", "Checked g",
                        "Checked p", "Checked c0"}));
}

TEST_F(CheckFixture, TriStateTable) {
    struct Case {
        const char* name;
        std::vector<const char*> clicks;
        std::set<std::string> refusing;
        const char* states;
    };
    const Case cases[] = {
        {"all children", {"c0", "c1", "c2"}, {}, "g=mixed p=checked c0=checked c1=checked c2=checked"},
        {"one child refuses", {"p"}, {"c1"}, "g=mixed p=mixed c0=checked c1=unchecked c2=checked"},
        {"every child refuses",
         {"p"},
         {"c0", "c1", "c2"},
         "g=unchecked p=unchecked c0=unchecked c1=unchecked c2=unchecked"},
        {"whole branch", {"g"}, {}, "g=checked p=checked c0=checked c1=checked c2=checked"},
        {"whole branch, then one off", {"g", "c2"}, {}, "g=mixed p=mixed c0=checked c1=checked c2=unchecked"},
        {"the grandparent refuses",
         {"c0"},
         {"g"},
         "g=unchecked p=mixed c0=checked c1=unchecked c2=unchecked"},
    };
    for (const Case& c : cases) {
        CheckTree fixture;
        fixture.refusing = c.refusing;
        for (const char* click : c.clicks)
            fixture.Click(click);
        EXPECT_EQ(fixture.States({"g", "p", "c0", "c1", "c2"}), c.states) << c.name;
        EXPECT_EQ(TreeInvariantChecker::Check(fixture.tree), "") << c.name;
    }
}

TEST_F(CheckFixture, AMixedChildKeepsItsParentMixed) {
    Click("c0");
    log.clear();
    Click("q"); // g's children: p mixed and q checked
    EXPECT_EQ(States({"g", "p", "q"}), "g=mixed p=mixed q=checked");
}

TEST_F(CheckFixture, CheckingARadioButtonUnchecksItsSiblingsWithoutTheirEvents) {
    Click("r0");
    log.clear();
    Click("r2");
    EXPECT_EQ(States({"r0", "r1", "r2"}), "r0=unchecked r1=unchecked r2=checked");
    EXPECT_EQ(log, (Log{"Checking r2 checked", "Checked r2"}));
}

TEST_F(CheckFixture, RefusalsDisabledNodesAndReadOnlyTreesKeepTheState) {
    refusing = {"c0"};
    Click("c0");
    EXPECT_EQ(States({"p", "c0"}), "p=unchecked c0=unchecked");
    nodes["c1"]->States |= nsDisabled;
    log.clear();
    Click("c1");
    EXPECT_EQ(log, Log{});
    tree.Options.ReadOnly = true;
    Click("c2");
    EXPECT_EQ(States({"c2"}), "c2=unchecked");
    EXPECT_EQ(log, Log{});
}

TEST_F(CheckFixture, ANewCheckBoxTakesItsTriStateParentsState) {
    Click("p");
    PVirtualNode late = Add(nodes["p"], "late", CT::ctCheckBox);
    EXPECT_EQ(tree.CheckState(late), CS::csCheckedNormal);
    tree.SetCheckType(late, CT::ctRadioButton); // a new type starts unchecked
    EXPECT_EQ(tree.CheckState(late), CS::csUncheckedNormal);
}

TEST_F(CheckFixture, AThrowingHandlerLeavesNoNodeCheckingAndNoPropagationState) {
    auto thrower = [](TBaseVirtualTree&, PVirtualNode) { throw std::runtime_error("x"); };
    tree.OnChecked = TVTNodeEvent::Bind(thrower);
    EXPECT_THROW(Click("c0"), std::runtime_error);
    for (auto& [name, node] : nodes)
        EXPECT_EQ(node->States & nsChecking, 0) << name;
    EXPECT_FALSE(tree.InState(TreeState::tsCheckPropagation));
}

} // namespace
} // namespace tarvola::test
