// Navigation walks over one fixture with hidden nodes, collapsed branches, uncounted children and a disabled
// node: every walk's sequence, and the initialisation its plain flavour fires (its NoInit flavour none).
#include "tests/tree/TreeTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarvola::test {
namespace {

using Names = std::vector<std::string>;

//  A (expanded)          B (collapsed)     C (hidden, expanded)   D (children not counted yet)   E (disabled)
//    A0, A1 (hidden),      B0, B1            C0                     (two when counted)
//    A2 (expanded)
//      A20
struct NavigationTree {
    TBaseVirtualTree tree;
    NodeNames names;
    std::unique_ptr<EventRecorder> events;
    std::map<std::string, PVirtualNode> nodes;

    PVirtualNode Child(PVirtualNode parent, std::uint32_t index) {
        PVirtualNode node = parent->FirstChild;
        while (index-- > 0)
            node = node->NextSibling;
        return node;
    }

    NavigationTree() {
        tree.SetRootNodeCount(5);
        const char* top[] = {"A", "B", "C", "D", "E"};
        for (int i = 0; i < 5; ++i)
            nodes[top[i]] = Child(tree.RootNode(), static_cast<std::uint32_t>(i));
        tree.SetChildCount(nodes["A"], 3);
        nodes["A0"] = Child(nodes["A"], 0);
        nodes["A1"] = Child(nodes["A"], 1);
        nodes["A2"] = Child(nodes["A"], 2);
        tree.SetChildCount(nodes["A2"], 1);
        nodes["A20"] = Child(nodes["A2"], 0);
        tree.SetChildCount(nodes["B"], 2);
        nodes["B0"] = Child(nodes["B"], 0);
        nodes["B1"] = Child(nodes["B"], 1);
        tree.SetChildCount(nodes["C"], 1);
        nodes["C0"] = Child(nodes["C"], 0);
        tree.SetHasChildren(nodes["D"], true);
        nodes["E"]->States |= nsDisabled;
        tree.ToggleNode(nodes["A"]);
        tree.ToggleNode(nodes["A2"]);
        tree.ToggleNode(nodes["C"]);
        tree.SetVisible(nodes["A1"], false);
        tree.SetVisible(nodes["C"], false);
        for (auto& [name, node] : nodes) {
            node->States &= ~nsInitialized;
            names.Set(node, name);
        }
        events = std::make_unique<EventRecorder>(tree, &names);
        events->childCounts["D"] = 2;
    }

    // The init events fired since the last call.
    Names Inits() {
        Names inits;
        for (const std::string& line : events->Take())
            if (line.rfind("Init", 0) == 0)
                inits.push_back(line);
        return inits;
    }

    Names Walk(PVirtualNode first, const std::function<PVirtualNode(PVirtualNode)>& step) {
        Names walked;
        for (PVirtualNode node = first; node != nullptr; node = step(node))
            walked.push_back(names(node));
        return walked;
    }
};

struct NavigationFixture : ::testing::Test, NavigationTree {};

TEST_F(NavigationFixture, EveryWalkGivesItsSequenceAndFiresOnlyInThePlainFlavour) {
    struct Case {
        const char* name;
        std::function<Names(NavigationTree&)> walk;
        Names expected;
        Names inits; // for the plain flavour; NoInit walks fire nothing
    };
    const Names initTreeOrder = {"Init A", "Init A0",        "Init A1", "Init A2", "Init A20",
                                 "Init B", "Init B0",        "Init B1", "Init C",  "Init C0",
                                 "Init D", "InitChildren D", "Init n0", "Init n1", "Init E"};
    const Case cases[] = {
        {"GetFirst/GetNext",
         [](NavigationTree& f) {
             return f.Walk(f.tree.GetFirst(), [&](PVirtualNode n) { return f.tree.GetNext(n); });
         },
         {"A", "A0", "A1", "A2", "A20", "B", "B0", "B1", "C", "C0", "D", "n0", "n1", "E"},
         initTreeOrder},
        {"GetFirstNoInit/GetNextNoInit",
         [](NavigationTree& f) {
             return f.Walk(f.tree.GetFirstNoInit(), [&](PVirtualNode n) { return f.tree.GetNextNoInit(n); });
         },
         {"A", "A0", "A1", "A2", "A20", "B", "B0", "B1", "C", "C0", "D", "E"},
         {}},
        {"GetLast/GetPrevious",
         [](NavigationTree& f) {
             return f.Walk(f.tree.GetLast(), [&](PVirtualNode n) { return f.tree.GetPrevious(n); });
         },
         {"E", "n0", "n1", "D", "C0", "C", "B1", "B0", "B", "A20", "A2", "A1", "A0", "A"},
         {"Init E", "Init D", "InitChildren D", "Init n0", "Init n1", "Init C", "Init C0", "Init B",
          "Init B1", "Init B0", "Init A", "Init A2", "Init A20", "Init A1", "Init A0"}},
        {"GetLastNoInit/GetPreviousNoInit",
         [](NavigationTree& f) {
             return f.Walk(f.tree.GetLastNoInit(),
                           [&](PVirtualNode n) { return f.tree.GetPreviousNoInit(n); });
         },
         {"E", "D", "C0", "C", "B1", "B0", "B", "A20", "A2", "A1", "A0", "A"},
         {}},
        {"GetFirstVisible/GetNextVisible",
         [](NavigationTree& f) {
             return f.Walk(f.tree.GetFirstVisible(),
                           [&](PVirtualNode n) { return f.tree.GetNextVisible(n); });
         },
         {"A", "A0", "A2", "A20", "B", "D", "E"},
         {"Init A", "Init A0", "Init A1", "Init A2", "Init A20", "Init B", "Init C", "Init D", "Init E"}},
        {"GetFirstVisibleNoInit/GetNextVisibleNoInit",
         [](NavigationTree& f) {
             return f.Walk(f.tree.GetFirstVisibleNoInit(),
                           [&](PVirtualNode n) { return f.tree.GetNextVisibleNoInit(n); });
         },
         {"A", "A0", "A2", "A20", "B", "D", "E"},
         {}},
        {"GetLastVisible/GetPreviousVisible",
         [](NavigationTree& f) {
             return f.Walk(f.tree.GetLastVisible(),
                           [&](PVirtualNode n) { return f.tree.GetPreviousVisible(n); });
         },
         {"E", "D", "B", "A20", "A2", "A0", "A"},
         {"Init E", "Init D", "Init C", "Init B", "Init A", "Init A2", "Init A20", "Init A1", "Init A0"}},
        {"GetLastVisibleNoInit/GetPreviousVisibleNoInit",
         [](NavigationTree& f) {
             return f.Walk(f.tree.GetLastVisibleNoInit(),
                           [&](PVirtualNode n) { return f.tree.GetPreviousVisibleNoInit(n); });
         },
         {"E", "D", "B", "A20", "A2", "A0", "A"},
         {}},
    };
    for (const Case& c : cases) {
        NavigationTree fresh;
        EXPECT_EQ(c.walk(fresh), c.expected) << c.name;
        EXPECT_EQ(fresh.Inits(), c.inits) << c.name;
    }
}

TEST_F(NavigationFixture, PlainWalksInitialiseEachNodeOnce) {
    for (int pass = 0; pass < 2; ++pass)
        for (PVirtualNode node = tree.GetFirst(); node != nullptr; node = tree.GetNext(node)) {
        }
    for (PVirtualNode node = tree.GetLast(); node != nullptr; node = tree.GetPrevious(node)) {
    }
    const Names inits = Inits();
    EXPECT_EQ(inits.size(), 15u);
    EXPECT_EQ(std::count(inits.begin(), inits.end(), "InitChildren D"), 1);
}

TEST_F(NavigationFixture, SingleStepsAndBoundaries) {
    tree.ValidateNode(nullptr, false);
    for (PVirtualNode node = tree.GetFirstNoInit(); node != nullptr; node = tree.GetNextNoInit(node))
        tree.ValidateNode(node, false);
    auto name = [&](PVirtualNode node) { return names(node); };
    struct Case {
        const char* what;
        std::function<PVirtualNode()> call;
        const char* expected;
    };
    auto& n = nodes;
    const Case cases[] = {
        {"GetNext of the last node", [&] { return tree.GetNext(n["E"]); }, "nil"},
        {"GetPrevious of the first node", [&] { return tree.GetPrevious(n["A"]); }, "nil"},
        {"GetLastVisible(nil)", [&] { return tree.GetLastVisible(); }, "E"},
        {"GetNextVisible inside a collapsed branch", [&] { return tree.GetNextVisible(n["B0"]); }, "D"},
        {"GetNextVisibleNoInit inside a collapsed branch", [&] { return tree.GetNextVisibleNoInit(n["B1"]); },
         "D"},
        {"GetPreviousVisible inside a collapsed branch", [&] { return tree.GetPreviousVisible(n["B0"]); },
         "B"},
        {"GetNextVisible of a hidden node", [&] { return tree.GetNextVisible(n["A1"]); }, "A2"},
        {"GetPreviousVisible of a hidden node", [&] { return tree.GetPreviousVisible(n["A1"]); }, "A0"},
        {"GetNextVisible under a hidden node", [&] { return tree.GetNextVisible(n["C0"]); }, "D"},
        {"GetVisibleParent", [&] { return tree.GetVisibleParent(n["A20"]); }, "A2"},
        {"GetFirstChild", [&] { return tree.GetFirstChild(n["A"]); }, "A0"},
        {"GetLastChild", [&] { return tree.GetLastChild(n["A"]); }, "A2"},
        {"GetLastChildNoInit of uncounted", [&] { return tree.GetLastChildNoInit(n["D"]); }, "nil"},
        {"GetFirstVisibleChild", [&] { return tree.GetFirstVisibleChild(n["C"]); }, "C0"},
        {"GetLastVisibleChild of a hidden node", [&] { return tree.GetLastVisibleChild(n["C"]); }, "nil"},
        {"GetLastVisibleChild of a collapsed node", [&] { return tree.GetLastVisibleChild(n["B"]); }, "nil"},
        {"GetNextVisibleSibling", [&] { return tree.GetNextVisibleSibling(n["A0"]); }, "A2"},
        {"GetPreviousVisibleSibling", [&] { return tree.GetPreviousVisibleSibling(n["A2"]); }, "A0"},
        {"GetPreviousVisibleSiblingNoInit", [&] { return tree.GetPreviousVisibleSiblingNoInit(n["D"]); },
         "B"},
        {"GetNextSibling", [&] { return tree.GetNextSibling(n["A0"]); }, "A1"},
        {"GetPreviousSibling of the first", [&] { return tree.GetPreviousSibling(n["A"]); }, "nil"},
        {"GetFirstInitialized", [&] { return tree.GetFirstInitialized(); }, "A"},
        {"GetNextInitialized skips the uninitialised", [&] { return tree.GetNextInitialized(n["B0"]); }, "C"},
    };
    n["B1"]->States &= ~nsInitialized; // for GetNextInitialized and GetPrevious's assertion
    for (const Case& c : cases)
        EXPECT_EQ(name(c.call()), c.expected) << c.what;

    EXPECT_THROW(tree.GetNext(tree.RootNode()), EVirtualTreeAssertion);
    EXPECT_THROW(tree.GetNextVisible(tree.RootNode()), EVirtualTreeAssertion);
    EXPECT_THROW(tree.GetNextVisibleSibling(nullptr), EVirtualTreeAssertion);
    EXPECT_THROW(tree.GetPrevious(n["B1"]), EVirtualTreeAssertion); // not initialised
    EXPECT_EQ(tree.GetNext(nullptr), nullptr);
    // The parent whose rows are shown: for a node in a collapsed top-level branch, the hidden root.
    EXPECT_EQ(tree.GetVisibleParent(n["B0"]), tree.RootNode());
}

TEST_F(NavigationFixture, Relations) {
    auto& n = nodes;
    EXPECT_EQ(TBaseVirtualTree::GetNodeLevel(n["A20"]), 2u);
    EXPECT_EQ(TBaseVirtualTree::GetNodeLevel(n["A"]), 0u);
    EXPECT_EQ(TBaseVirtualTree::GetNodeLevel(nullptr), 0u);
    EXPECT_EQ(tree.GetLevelDifference(n["A"], n["A20"]), 2);
    EXPECT_FALSE(TBaseVirtualTree::HasAsAncestor(n["A"], n["A"]));
    EXPECT_TRUE(TBaseVirtualTree::HasAsAncestor(n["A"], tree.RootNode()));
    EXPECT_TRUE(TBaseVirtualTree::HasAsAncestor(n["A20"], n["A"]));
    EXPECT_FALSE(TBaseVirtualTree::HasAsAncestor(n["A"], n["A20"]));
    EXPECT_FALSE(TBaseVirtualTree::HasAsAncestor(nullptr, n["A"]));
    EXPECT_EQ(TBaseVirtualTree::TreeFromNode(n["A20"]), &tree);
}

TEST_F(NavigationFixture, MarkedNodes) {
    auto& n = nodes;
    EXPECT_EQ(tree.GetFirstSelected(), nullptr);
    tree.AddToSelection(n["A"]);
    tree.AddToSelection(n["A20"]);
    tree.AddArrayToSelection({n["E"]}, true); // disabled: only a forced merge selects it
    auto names = [&](const std::vector<PVirtualNode>& list) {
        Names result;
        for (PVirtualNode node : list)
            result.push_back(this->names(node));
        return result;
    };
    EXPECT_EQ(names(tree.GetSortedSelection(false)), (Names{"A", "A20", "E"}));
    EXPECT_EQ(names(tree.GetSortedSelection(true)), (Names{"A", "E"}));
    EXPECT_EQ(tree.GetFirstSelected(), n["A"]);
    EXPECT_EQ(tree.GetNextSelected(n["A"]), n["A20"]);
    EXPECT_EQ(tree.GetNextSelected(n["A20"]), n["E"]);
    // Cut and copy marks count only while a cut or copy is pending.
    n["B0"]->States |= nsCutOrCopy;
    EXPECT_EQ(tree.GetFirstCutCopy(), nullptr);
    EXPECT_EQ(names(tree.GetSortedCutCopySet(false)), (Names{"B0"}));
}

} // namespace
} // namespace tarvola::test
