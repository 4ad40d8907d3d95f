// The tree's keyboard without a window: the key rules, the navigation keys with their modifiers and
// options (focus, column, selection, anchor), Ctrl scrolling, the expand keys, and the space key's check
// press with everything that abandons it.
#include "tree/TreeKeyboard.h"
#include "tree/TreeMouse.h"

#include "tests/tree/TreeTestSupport.h"
#include "tree/AutoScroll.h"
#include "tree/Header.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"
#include "tree/VirtualTrees.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvola::test {
namespace {

constexpr TKeyModifiers None = 0;
constexpr TKeyModifiers Shift = keymod::Shift;
constexpr TKeyModifiers Ctrl = keymod::Ctrl;
constexpr TKeyModifiers Alt = keymod::Alt;

struct KeyRuleCase {
    std::uint16_t key;
    TKeyModifiers shift;
    bool searching;
    TTreeKeyAction expected;
};

TEST(TreeKeyRules, KeysOtherThanNavigationMapToTheirActions) {
    using A = TTreeKeyAction;
    const std::vector<KeyRuleCase> cases = {
        {vkey::Add, None, false, A::ExpandFocused},
        {vkey::Add, Shift, false, A::ExpandFocused},
        {vkey::Add, Ctrl, false, A::FitColumns},
        {vkey::Add, Ctrl | Shift, false, A::ExpandAll},
        {vkey::Add, None, true, A::SearchCharacter},
        {vkey::Subtract, None, false, A::CollapseFocused},
        {vkey::Subtract, Ctrl, false, A::RestoreColumns},
        {vkey::Subtract, Ctrl | Shift, false, A::CollapseAll},
        {vkey::Subtract, Ctrl, true, A::SearchCharacter},
        {vkey::Multiply, None, false, A::FullExpandFocused},
        {vkey::Multiply, None, true, A::SearchCharacter},
        {vkey::Divide, None, false, A::FullCollapseFocused},
        {vkey::Divide, None, true, A::SearchCharacter},
        {vkey::F1, None, false, A::Help},
        {vkey::F2, None, false, A::Edit},
        {vkey::F2, Shift, false, A::None},
        {vkey::Escape, None, false, A::Cancel},
        {vkey::Space, None, false, A::Space},
        {vkey::Apps, None, false, A::ContextMenu},
        {vkey::KeyA, Ctrl, false, A::SelectAll},
        {vkey::KeyA, None, false, A::SearchCharacter},
        // The keypad's 1 shares its code with no letter: Ctrl with it selects nothing.
        {vkey::Numpad1, Ctrl, false, A::None},
        {vkey::Numpad1, None, false, A::SearchCharacter},
        {0x42 /* B */, Ctrl, false, A::None},
        {0x42, Alt, false, A::None},
        {0x42, Shift, false, A::SearchCharacter},
        {0x13 /* pause */, None, false, A::None},
    };
    for (const KeyRuleCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "key " << c.key << " shift " << c.shift << " searching " << c.searching);
        EXPECT_EQ(ClassifyKey(c.key, c.shift, c.searching), c.expected);
    }
}

TEST(TreeKeyRules, TypedOperatorsCountAsTheKeypadKeys) {
    constexpr std::uint16_t equalsKey = 0xBB, digit8 = 0x38;
    EXPECT_EQ(KeyForTypedCharacter(equalsKey, L'+'), vkey::Add);
    EXPECT_EQ(KeyForTypedCharacter(equalsKey, L'='), equalsKey);
    EXPECT_EQ(KeyForTypedCharacter(digit8, L'*'), vkey::Multiply);
    EXPECT_EQ(KeyForTypedCharacter(0xBD, L'-'), vkey::Subtract);
    EXPECT_EQ(KeyForTypedCharacter(0xBF, L'/'), vkey::Divide);
    EXPECT_EQ(KeyForTypedCharacter(vkey::Down, 0), vkey::Down);
}

// The tree with its state writer open, to set the states the mouse enters.
struct KeyTree : TBaseVirtualTree {
    using TBaseVirtualTree::DoStateChange;
    using TBaseVirtualTree::TBaseVirtualTree;
};

// Eight top-level rows n0..n7 of 18 px in a client 90 px high; n1 has two children (n1.0, n1.1), collapsed.
struct KeyboardFixture {
    RecordingHost host;
    KeyTree tree{&host};
    std::vector<PVirtualNode> top;

    explicit KeyboardFixture(int columns = 0) {
        host.tree = &tree;
        host.window = true;
        host.clientHeight = 90;
        for (int i = 0; i < columns; ++i)
            tree.Header().Columns().Add().SetWidth(150);
        tree.SetRootNodeCount(8);
        for (PVirtualNode node = tree.GetFirst(); node != nullptr; node = tree.GetNextSibling(node))
            top.push_back(node);
        tree.SetChildCount(top[1], 2);
    }

    void Options(TVTSelectionOptions selection, TVTMiscOptions misc) {
        tree.TreeOptions().SetSelectionOptions(selection);
        tree.TreeOptions().SetMiscOptions(misc);
    }
    PVirtualNode Node(const std::string& name) {
        PVirtualNode node = top.at(std::stoul(name.substr(1, 1)));
        if (name.size() > 2)
            node = name[3] == '0' ? tree.GetFirstChild(node) : tree.GetLastChild(node);
        return node;
    }
    std::string Name(PVirtualNode node) const {
        if (node == nullptr)
            return "-";
        if (node->Parent != tree.RootNode())
            return Name(node->Parent).append(".").append(std::to_string(node->Index));
        return std::string("n").append(std::to_string(node->Index));
    }
    // Focus, selection and anchor as "focus [col] | selected ... | anchor".
    std::string State() {
        std::string text = Name(tree.FocusedNode());
        if (tree.FocusedColumn() != NoColumn)
            text.append(" c").append(std::to_string(tree.FocusedColumn()));
        text += " |";
        for (PVirtualNode node : tree.GetSortedSelection(false))
            text.append(" ").append(Name(node));
        return text.append(" | ").append(Name(tree.RangeAnchor()));
    }
    // Focuses and selects a node the way a plain click leaves it.
    void Start(const std::string& name, TColumnIndex column = NoColumn) {
        PVirtualNode node = name == "-" ? nullptr : Node(name);
        if (column != NoColumn)
            tree.SetFocusedNodeAndColumn(node, column);
        else
            tree.SetFocusedNode(node);
        tree.ClearSelection();
        if (node != nullptr)
            tree.AddToSelection(node);
        tree.ResetRangeAnchor();
    }
    void Press(std::uint16_t key, TKeyModifiers shift = None, wchar_t typed = 0) {
        tree.HandleKeyDown(key, shift, typed);
        tree.HandleKeyUp(key);
    }
};

struct Stroke {
    std::uint16_t key;
    TKeyModifiers shift;
};

struct NavigationCase {
    const char* what;
    TVTSelectionOptions selection;
    TVTMiscOptions misc;
    int columns;
    bool expandN1;
    std::string start;
    TColumnIndex startColumn;
    std::vector<Stroke> keys;
    std::string expected; // see KeyboardFixture::State
};

TEST(TreeKeyboardNavigation, KeysMoveFocusSelectionAndAnchor) {
    using S = TVTSelectionOption;
    using M = TVTMiscOption;
    const TVTSelectionOptions multi{S::toMultiSelect};
    const TVTSelectionOptions cells{S::toExtendedFocus};
    const TVTMiscOptions grid{M::toGridExtensions};
    const std::vector<NavigationCase> cases = {
        {"down", {}, {}, 0, false, "n2", NoColumn, {{vkey::Down, None}}, "n3 | n3 | n3"},
        {"up", {}, {}, 0, false, "n2", NoColumn, {{vkey::Up, None}}, "n1 | n1 | n1"},
        {"down at the end stays", {}, {}, 0, false, "n7", NoColumn, {{vkey::Down, None}}, "n7 | n7 | n7"},
        {"down without focus takes the first row",
         {},
         {},
         0,
         false,
         "-",
         NoColumn,
         {{vkey::Down, None}},
         "n0 | n0 | n0"},
        {"up without focus takes the last row",
         {},
         {},
         0,
         false,
         "-",
         NoColumn,
         {{vkey::Up, None}},
         "n7 | n7 | n7"},
        {"down skips collapsed children",
         {},
         {},
         0,
         false,
         "n1",
         NoColumn,
         {{vkey::Down, None}},
         "n2 | n2 | n2"},
        {"down enters expanded children",
         {},
         {},
         0,
         true,
         "n1",
         NoColumn,
         {{vkey::Down, None}},
         "n1.0 | n1.0 | n1.0"},
        {"shift down grows a range",
         multi,
         {},
         0,
         false,
         "n2",
         NoColumn,
         {{vkey::Down, Shift}, {vkey::Down, Shift}},
         "n4 | n2 n3 n4 | n2"},
        {"shift up back towards the anchor unselects",
         multi,
         {},
         0,
         false,
         "n2",
         NoColumn,
         {{vkey::Down, Shift}, {vkey::Down, Shift}, {vkey::Up, Shift}},
         "n3 | n2 n3 | n2"},
        {"shift down back towards the anchor unselects",
         multi,
         {},
         0,
         false,
         "n5",
         NoColumn,
         {{vkey::Up, Shift}, {vkey::Up, Shift}, {vkey::Down, Shift}},
         "n4 | n4 n5 | n5"},
        {"shift down without multi-select moves the single selection",
         {},
         {},
         0,
         false,
         "n2",
         NoColumn,
         {{vkey::Down, Shift}},
         "n3 | n3 | n3"},
        {"plain down after a range starts over",
         multi,
         {},
         0,
         false,
         "n2",
         NoColumn,
         {{vkey::Down, Shift}, {vkey::Down, None}},
         "n4 | n4 | n4"},
        {"ctrl down scrolls only", multi, {}, 0, false, "n2", NoColumn, {{vkey::Down, Ctrl}}, "n2 | n2 | n2"},
        {"home", {}, {}, 0, false, "n4", NoColumn, {{vkey::Home, None}}, "n0 | n0 | n0"},
        {"end", {}, {}, 0, false, "n4", NoColumn, {{vkey::End, None}}, "n7 | n7 | n7"},
        {"shift end selects to the end",
         multi,
         {},
         0,
         false,
         "n5",
         NoColumn,
         {{vkey::End, Shift}},
         "n7 | n5 n6 n7 | n5"},
        {"shift home selects to the start",
         multi,
         {},
         0,
         false,
         "n2",
         NoColumn,
         {{vkey::Home, Shift}},
         "n0 | n0 n1 n2 | n2"},
        {"page down moves a client height",
         {},
         {},
         0,
         false,
         "n0",
         NoColumn,
         {{vkey::Next, None}},
         "n4 | n4 | n4"},
        {"page up moves a client height",
         {},
         {},
         0,
         false,
         "n6",
         NoColumn,
         {{vkey::Prior, None}},
         "n2 | n2 | n2"},
        {"page down stops at the last row",
         {},
         {},
         0,
         false,
         "n5",
         NoColumn,
         {{vkey::Next, None}},
         "n7 | n7 | n7"},
        {"shift page down selects the page",
         multi,
         {},
         0,
         false,
         "n0",
         NoColumn,
         {{vkey::Next, Shift}},
         "n4 | n0 n1 n2 n3 n4 | n0"},
        {"right expands a collapsed node",
         {},
         {},
         0,
         false,
         "n1",
         NoColumn,
         {{vkey::Right, None}},
         "n1 | n1 | n1"},
        {"right on an expanded node enters it",
         {},
         {},
         0,
         true,
         "n1",
         NoColumn,
         {{vkey::Right, None}},
         "n1.0 | n1.0 | n1.0"},
        {"right on a leaf stays", {}, {}, 0, false, "n3", NoColumn, {{vkey::Right, None}}, "n3 | n3 | n3"},
        {"left on a child goes to the parent",
         {},
         {},
         0,
         true,
         "n1.1",
         NoColumn,
         {{vkey::Left, None}},
         "n1 | n1 | n1"},
        {"left collapses an expanded node",
         {},
         {},
         0,
         true,
         "n1",
         NoColumn,
         {{vkey::Left, None}, {vkey::Down, None}},
         "n2 | n2 | n2"},
        {"shift right into the children extends",
         multi,
         {},
         0,
         true,
         "n1",
         NoColumn,
         {{vkey::Right, Shift}},
         "n1.0 | n1 n1.0 | n1"},
        {"shift left out of the first child shrinks back",
         multi,
         {},
         0,
         true,
         "n0",
         NoColumn,
         {{vkey::Down, Shift}, {vkey::Right, Shift}, {vkey::Left, Shift}},
         "n1 | n0 n1 | n0"},
        {"shift left out of a later child takes the range",
         multi,
         {},
         0,
         true,
         "n1.1",
         NoColumn,
         {{vkey::Left, Shift}},
         "n1 | n1 n1.0 n1.1 | n1.1"},
        {"backspace goes to the parent",
         {},
         {},
         0,
         true,
         "n1.0",
         NoColumn,
         {{vkey::Back, None}},
         "n1 | n1 | n1"},
        {"backspace on a top-level row stays",
         {},
         {},
         0,
         false,
         "n3",
         NoColumn,
         {{vkey::Back, None}},
         "n3 | n3 | n3"},
        {"cells: right moves the column",
         cells,
         grid,
         3,
         false,
         "n2",
         0,
         {{vkey::Right, None}},
         "n2 c1 | n2 | n2"},
        {"cells: left at the first column stays",
         cells,
         grid,
         3,
         false,
         "n2",
         0,
         {{vkey::Left, None}},
         "n2 c0 | n2 | n2"},
        {"grid: end moves only the column",
         cells,
         grid,
         3,
         false,
         "n2",
         0,
         {{vkey::End, None}},
         "n2 c2 | n2 | n2"},
        {"grid: ctrl home moves node and column",
         cells,
         grid,
         3,
         false,
         "n2",
         2,
         {{vkey::Home, Ctrl}},
         "n0 c0 | n0 | n0"},
        {"grid with full-row select: end keeps the column",
         cells | TVTSelectionOptions{S::toFullRowSelect},
         grid,
         3,
         false,
         "n2",
         1,
         {{vkey::End, None}},
         "n2 c1 | n2 | n2"},
        {"tab moves to the next cell", cells, {}, 3, false, "n2", 0, {{vkey::Tab, None}}, "n2 c1 | n2 | n2"},
        {"tab wraps to the next row", cells, {}, 3, false, "n2", 2, {{vkey::Tab, None}}, "n3 c0 | n3 | n3"},
        {"shift tab wraps to the previous row",
         cells,
         {},
         3,
         false,
         "n2",
         0,
         {{vkey::Tab, Shift}},
         "n1 c2 | n1 | n1"},
        {"tab at the last cell stays", cells, {}, 3, false, "n7", 2, {{vkey::Tab, None}}, "n7 c2 | n7 | n7"},
        {"tab without extended focus does nothing",
         {},
         {},
         3,
         false,
         "n2",
         0,
         {{vkey::Tab, None}},
         "n2 c0 | n2 | n2"},
        {"down gives a focus without column the main column",
         {},
         {},
         3,
         false,
         "n2",
         NoColumn,
         {{vkey::Down, None}},
         "n3 c0 | n3 | n3"},
    };
    for (const NavigationCase& c : cases) {
        SCOPED_TRACE(c.what);
        KeyboardFixture f(c.columns);
        f.Options(c.selection, c.misc);
        if (c.expandN1)
            f.tree.ToggleNode(f.top[1]);
        f.Start(c.start, c.startColumn);
        for (const Stroke& stroke : c.keys)
            f.Press(stroke.key, stroke.shift);
        EXPECT_EQ(f.State(), c.expected);
    }
}

TEST(TreeKeyboardNavigation, MovingTheFocusBringsItsRowIntoView) {
    KeyboardFixture f;
    f.tree.SetRootNodeCount(30);
    f.tree.UpdateScrollBars(false);
    f.Start("n0");
    auto focusedRowShows = [&] {
        const TTreeRect row = f.tree.GetDisplayRect(f.tree.FocusedNode(), NoColumn, false);
        return row.Top >= 0 && row.Bottom <= f.host.clientHeight;
    };
    for (int page = 0; page < 4; ++page) {
        SCOPED_TRACE(page);
        f.Press(vkey::Next);
        EXPECT_TRUE(focusedRowShows());
    }
    EXPECT_LT(f.tree.OffsetY(), 0);
    f.Press(vkey::Home);
    EXPECT_TRUE(focusedRowShows());
    EXPECT_EQ(f.tree.OffsetY(), 0);
    f.Press(vkey::Down, None);
    f.Press(vkey::End);
    EXPECT_TRUE(focusedRowShows());
    // Inside an update nothing scrolls; the focus stays where it was put.
    const int offset = f.tree.OffsetY();
    f.tree.BeginUpdate();
    f.tree.SetFocusedNode(f.top[0]);
    EXPECT_EQ(f.tree.OffsetY(), offset);
    f.tree.EndUpdate();
}

TEST(TreeKeyboardNavigation, CtrlArrowsAndPagesScrollWithoutMovingTheFocus) {
    KeyboardFixture f(3);
    f.tree.SetRootNodeCount(30);
    f.tree.UpdateScrollBars(false); // the window does this when its content changes
    f.Start("n4");
    f.Press(vkey::Next, Ctrl);
    EXPECT_EQ(f.tree.OffsetY(), -90);
    f.Press(vkey::Down, Ctrl);
    EXPECT_EQ(f.tree.OffsetY(), -108);
    f.Press(vkey::Up, Ctrl);
    f.Press(vkey::Prior, Ctrl);
    EXPECT_EQ(f.tree.OffsetY(), 0);
    f.Press(vkey::Right, Ctrl);
    EXPECT_EQ(f.tree.OffsetX(), -f.tree.Indent);
    f.Press(vkey::Left, Ctrl);
    EXPECT_EQ(f.tree.OffsetX(), 0);
    EXPECT_EQ(f.State(), "n4 c0 | n4 | n4");
}

TEST(TreeKeyboardNavigation, CtrlEndScrollsToTheFarRightAndTheLastRowKeepingTheFocus) {
    KeyboardFixture f(3); // 450 px of columns in a 200 px client
    f.tree.SetRootNodeCount(30);
    f.tree.UpdateScrollBars(false); // the window does this when its content changes
    f.Start("n4");
    f.Press(vkey::End, Ctrl);
    EXPECT_EQ(f.State(), "n4 c0 | n4 | n4");
    const TTreeRect last = f.tree.GetDisplayRect(f.tree.GetLastVisible(), NoColumn, false);
    EXPECT_GE(last.Top, 0);
    EXPECT_LE(last.Bottom, f.host.clientHeight);
    EXPECT_LE(f.tree.OffsetX(), f.host.clientWidth - f.tree.Header().Columns().TotalWidth());

    f.Press(vkey::Home, Ctrl);
    EXPECT_EQ(f.State(), "n4 c0 | n4 | n4");
    EXPECT_EQ(f.tree.OffsetX(), 0);
    EXPECT_EQ(f.tree.GetDisplayRect(f.tree.GetFirstVisible(), NoColumn, false).Top, 0);
}

TEST(TreeKeyboardKeys, PlusMinusStarAndSlashExpandAndCollapse) {
    KeyboardFixture f;
    f.tree.SetChildCount(f.top[3], 1);
    f.tree.SetChildCount(f.tree.GetFirstChild(f.top[3]), 1);
    f.Start("n1");
    f.Press(vkey::Add);
    EXPECT_TRUE(f.tree.Expanded(f.top[1]));
    // Already expanded: "+" does nothing (it does not toggle back).
    f.Press(vkey::Add);
    EXPECT_TRUE(f.tree.Expanded(f.top[1]));
    EXPECT_EQ(f.State(), "n1 | n1 | n1");
    f.Press(vkey::Subtract);
    EXPECT_FALSE(f.tree.Expanded(f.top[1]));
    f.Press(vkey::Subtract);
    EXPECT_FALSE(f.tree.Expanded(f.top[1]));

    // The "+" of the main keyboard (Shift and "=") counts as the keypad's.
    f.Press(0xBB, Shift, L'+');
    EXPECT_TRUE(f.tree.Expanded(f.top[1]));
    f.Press(0xBB, None, L'=');
    EXPECT_TRUE(f.tree.Expanded(f.top[1]));

    f.Start("n3");
    f.Press(vkey::Multiply);
    EXPECT_TRUE(f.tree.Expanded(f.tree.GetFirstChild(f.top[3])));
    f.Press(vkey::Divide);
    EXPECT_FALSE(f.tree.Expanded(f.top[3]));
    EXPECT_FALSE(f.tree.Expanded(f.tree.GetFirstChild(f.top[3])));

    f.Press(vkey::Add, Ctrl | Shift);
    EXPECT_TRUE(f.tree.Expanded(f.top[1]));
    EXPECT_TRUE(f.tree.Expanded(f.tree.GetFirstChild(f.top[3])));
    f.Press(vkey::Subtract, Ctrl | Shift);
    EXPECT_FALSE(f.tree.Expanded(f.top[1]));
    EXPECT_FALSE(f.tree.Expanded(f.top[3]));
}

TEST(TreeKeyboardKeys, PlusWhileSearchingIsASearchCharacter) {
    KeyboardFixture f;
    f.Start("n1");
    // Visible rows only: a hit in n1's collapsed children would open n1 to show the focus there.
    f.tree.Properties().SetIncrementalSearch(TVTIncrementalSearch::isVisibleOnly);
    f.tree.HandleKeyDown(0x41, None, L'a');
    f.tree.HandleCharInput(L'a');
    ASSERT_TRUE(f.tree.InState(TreeState::tsIncrementalSearching));
    f.tree.HandleKeyDown(vkey::Add, None, L'+');
    EXPECT_TRUE(f.tree.InState(TreeState::tsIncrementalSearchPending));
    EXPECT_FALSE(f.tree.Expanded(f.top[1]));
}

TEST(TreeKeyboardKeys, KeyActionMayRewriteOrStopAKey) {
    KeyboardFixture f;
    f.Start("n2");
    struct Owner {
        void Key(TBaseVirtualTree&, std::uint16_t& key, TKeyModifiers&, bool& doDefault) {
            if (key == vkey::Down)
                key = vkey::Up;
            else if (key == vkey::Home)
                doDefault = false;
        }
    } owner;
    f.tree.OnKeyAction = TBaseVirtualTree::TVTKeyActionEvent::Bind<&Owner::Key>(&owner);
    f.Press(vkey::Down);
    EXPECT_EQ(f.State(), "n1 | n1 | n1");
    f.Press(vkey::Home);
    EXPECT_EQ(f.State(), "n1 | n1 | n1");
}

TEST(TreeKeyboardKeys, CtrlASelectsAllVisibleRows) {
    KeyboardFixture f;
    f.Options({TVTSelectionOption::toMultiSelect}, {});
    f.Start("n2");
    f.Press(vkey::Numpad1, Ctrl);
    EXPECT_EQ(f.tree.SelectedCount(), 1u);
    f.Press(vkey::KeyA, Ctrl);
    EXPECT_EQ(f.tree.SelectedCount(), 8u); // the collapsed children stay out
}

TEST(TreeKeyboardKeys, HelpWalksUpTheParentsThenAsksTheControl) {
    KeyboardFixture f;
    f.tree.ToggleNode(f.top[1]);
    f.Start("n1.1");
    struct Owner {
        PVirtualNode answering = nullptr;
        std::vector<PVirtualNode> asked;
        void Context(TBaseVirtualTree&, PVirtualNode node, TColumnIndex, int& context) {
            asked.push_back(node);
            if (node == answering)
                context = 77;
        }
    } owner;
    std::vector<int> shown;
    f.tree.ShowHelp = [&](int context) { shown.push_back(context); };
    f.tree.ControlHelpContext = [] { return 5; };

    f.Press(vkey::F1); // without a handler F1 does nothing
    EXPECT_TRUE(shown.empty());

    f.tree.OnGetHelpContext = TBaseVirtualTree::TVTHelpContextEvent::Bind<&Owner::Context>(&owner);
    owner.answering = f.top[1];
    f.Press(vkey::F1);
    EXPECT_EQ(owner.asked, (std::vector<PVirtualNode>{f.Node("n1.1"), f.top[1]}));
    owner.answering = nullptr;
    f.Press(vkey::F1);
    EXPECT_EQ(shown, (std::vector<int>{77, 5}));
}

TEST(TreeKeyboardKeys, EscapeEndsARubberBandAndItsAutoScroll) {
    KeyboardFixture f;
    f.tree.SetRootNodeCount(30);
    f.Press(vkey::Escape);
    for (TreeState band : {TreeState::tsDrawSelPending, TreeState::tsDrawSelecting}) {
        f.tree.DoStateChange({band, TreeState::tsScrolling});
        f.host.StartTimer(ScrollTimer, 5);
        f.host.log.clear();
        f.Press(vkey::Escape);
        EXPECT_FALSE(f.tree.InState(TreeState::tsDrawSelPending));
        EXPECT_FALSE(f.tree.InState(TreeState::tsDrawSelecting));
        EXPECT_FALSE(f.tree.InState(TreeState::tsScrolling));
        EXPECT_EQ(f.host.runningTimers.count(ScrollTimer), 0u);
        EXPECT_EQ(f.host.log, std::vector<std::string>{"InvalidateAll"});
    }
}

TEST(TreeKeyboardKeys, AKeyThatTypedNothingLeavesNoSearchPendingForTheNextCharacter) {
    KeyboardFixture f;
    f.tree.Properties().SetIncrementalSearch(TVTIncrementalSearch::isAll);
    f.Start("n2");
    constexpr std::uint16_t f5 = 0x74, keyB = 0x42;
    f.tree.HandleKeyDown(f5, None, 0); // no WM_CHAR follows
    f.tree.HandleKeyDown(keyB, Ctrl, 0);
    f.tree.HandleCharInput(L'\x02');
    EXPECT_EQ(f.tree.SearchBuffer(), L"");
    EXPECT_FALSE(f.tree.InState(TreeState::tsIncrementalSearching));
}

TEST(TreeKeyboardKeys, F2EditsTheFocusedCellWithoutModifiers) {
    KeyboardFixture f(2);
    f.tree.TreeOptions().SetMiscOptions(f.tree.TreeOptions().MiscOptions().With(TVTMiscOption::toEditable));
    f.Start("n3", 1);
    struct Owner {
        std::vector<std::pair<PVirtualNode, TColumnIndex>> asked;
        void Editing(TBaseVirtualTree&, PVirtualNode node, TColumnIndex column, bool&) {
            asked.emplace_back(node, column);
        }
    } owner;
    f.tree.OnEditing = TVTColumnAllowedEvent::Bind<&Owner::Editing>(&owner);
    f.Press(vkey::F2, Shift);
    EXPECT_TRUE(owner.asked.empty());
    f.Press(vkey::F2);
    ASSERT_EQ(owner.asked.size(), 1u);
    EXPECT_EQ(owner.asked[0].first, f.top[3]);
    EXPECT_EQ(owner.asked[0].second, 1);
    EXPECT_EQ(f.tree.EditColumn(), 1);
}

TEST(TreeKeyboardKeys, TheAppsKeyOpensTheMenuInTheMiddleOfTheFocusedText) {
    KeyboardFixture f;
    f.Start("n3");
    struct Opened {
        PVirtualNode node;
        TColumnIndex column;
        int x, y;
    };
    // The key goes the way a right click goes: through the mouse port's node menu.
    struct MenuPort : ITreeMousePort {
        std::vector<Opened> opened;
        bool HasNodePopupMenu(PVirtualNode, TColumnIndex, TTreeMousePoint) override { return true; }
        bool ShowNodePopupMenu(PVirtualNode node, TColumnIndex column, TTreeMousePoint client) override {
            opened.push_back({node, column, client.X, client.Y});
            return true;
        }
    } port;
    f.tree.SetMousePort(&port);
    f.Press(vkey::Apps);
    const TTreeRect text = f.tree.GetDisplayRect(f.top[3], NoColumn, true);
    ASSERT_EQ(port.opened.size(), 1u);
    EXPECT_EQ(port.opened[0].node, f.top[3]);
    EXPECT_EQ(port.opened[0].column, NoColumn);
    // The base tree measures no content: the point lies at the text's left edge, halfway down the row.
    EXPECT_EQ(port.opened[0].x, text.Left);
    EXPECT_EQ(port.opened[0].y, (text.Top + text.Bottom) / 2);
    EXPECT_TRUE(f.tree.InState(TreeState::tsPopupMenuShown));
    f.tree.SetFocusedNode(nullptr);
    f.Press(vkey::Apps);
    EXPECT_EQ(port.opened.size(), 1u);
    f.tree.SetMousePort(nullptr);
}

// ---- The space key's check press

struct CheckFixture : KeyboardFixture {
    int checkedEvents = 0;
    bool refuse = false;
    void Checked(TBaseVirtualTree&, PVirtualNode) { ++checkedEvents; }
    void Checking(TBaseVirtualTree&, PVirtualNode, TCheckState&, bool& allowed) { allowed = !refuse; }
    CheckFixture() {
        tree.TreeOptions().SetMiscOptions(
            tree.TreeOptions().MiscOptions().With(TVTMiscOption::toCheckSupport));
        for (PVirtualNode node : top)
            tree.SetCheckType(node, TCheckType::ctCheckBox);
        tree.OnChecked = TVTNodeEvent::Bind<&CheckFixture::Checked>(this);
        tree.OnChecking = TVTCheckChangingEvent::Bind<&CheckFixture::Checking>(this);
        Start("n2");
    }
    TCheckState StateOf(const std::string& name) { return tree.CheckState(Node(name)); }
};

TEST(TreeKeyboardChecks, SpaceShowsThePressedImageAndTheReleaseApplies) {
    CheckFixture f;
    f.tree.HandleKeyDown(vkey::Space, None, L' ');
    EXPECT_EQ(f.StateOf("n2"), TCheckState::csUncheckedPressed);
    EXPECT_TRUE(f.tree.InState(TreeState::tsKeyCheckPending));
    EXPECT_EQ(f.tree.CheckNode(), f.top[2]);
    EXPECT_EQ(f.tree.PendingCheckState(), TCheckState::csCheckedNormal);
    EXPECT_EQ(f.checkedEvents, 0);
    f.tree.HandleKeyDown(vkey::Space, None, L' '); // auto-repeat while held
    EXPECT_EQ(f.StateOf("n2"), TCheckState::csUncheckedPressed);
    f.tree.HandleKeyUp(vkey::Space);
    EXPECT_EQ(f.StateOf("n2"), TCheckState::csCheckedNormal);
    EXPECT_FALSE(f.tree.InState(TreeState::tsKeyCheckPending));
    EXPECT_EQ(f.tree.CheckNode(), nullptr);
    EXPECT_EQ(f.checkedEvents, 1);
    EXPECT_FALSE(f.tree.InState(TreeState::tsIncrementalSearchPending));
}

struct AbandonCase {
    const char* what;
    void (*between)(CheckFixture&);
    TCheckState expected;
    int checkedEvents;
};

TEST(TreeKeyboardChecks, APressIsAbandonedOrRefusedWithoutLeavingThePressedImage) {
    const std::vector<AbandonCase> cases = {
        {"another key", [](CheckFixture& f) { f.Press(vkey::Down); }, TCheckState::csUncheckedNormal, 0},
        {"a click moved the focus", [](CheckFixture& f) { f.tree.SetFocusedNode(f.top[5]); },
         TCheckState::csUncheckedNormal, 0},
        {"focus loss", [](CheckFixture& f) { f.tree.KeyboardFocusLost(); }, TCheckState::csUncheckedNormal,
         0},
        {"ended from outside (cancel mode)", [](CheckFixture& f) { f.tree.EndPendingChecks(); },
         TCheckState::csUncheckedNormal, 0},
    };
    for (const AbandonCase& c : cases) {
        SCOPED_TRACE(c.what);
        CheckFixture f;
        f.tree.HandleKeyDown(vkey::Space, None, L' ');
        ASSERT_EQ(f.StateOf("n2"), TCheckState::csUncheckedPressed);
        c.between(f);
        f.tree.HandleKeyUp(vkey::Space);
        EXPECT_EQ(f.StateOf("n2"), c.expected);
        EXPECT_EQ(f.checkedEvents, c.checkedEvents);
        EXPECT_FALSE(f.tree.InState(TreeState::tsKeyCheckPending));
        EXPECT_EQ(f.tree.CheckNode(), nullptr);
        // The next press works again.
        f.refuse = false;
        f.tree.SetFocusedNode(f.top[2]);
        f.tree.HandleKeyDown(vkey::Space, None, L' ');
        f.tree.HandleKeyUp(vkey::Space);
        EXPECT_EQ(f.StateOf("n2"), TCheckState::csCheckedNormal);
    }
}

TEST(TreeKeyboardChecks, NoPressWhenRefusedDisabledOrAMouseCheckIsPending) {
    CheckFixture f;
    f.refuse = true;
    f.tree.HandleKeyDown(vkey::Space, None, L' ');
    EXPECT_EQ(f.StateOf("n2"), TCheckState::csUncheckedNormal);
    EXPECT_FALSE(f.tree.InState(TreeState::tsKeyCheckPending));
    f.refuse = false;
    f.top[2]->States |= nsDisabled;
    f.tree.HandleKeyDown(vkey::Space, None, L' ');
    EXPECT_EQ(f.StateOf("n2"), TCheckState::csUncheckedNormal);
    f.top[2]->States &= ~nsDisabled;
    f.tree.DoStateChange({TreeState::tsMouseCheckPending});
    f.tree.HandleKeyDown(vkey::Space, None, L' ');
    EXPECT_EQ(f.StateOf("n2"), TCheckState::csUncheckedNormal);
    EXPECT_FALSE(f.tree.InState(TreeState::tsKeyCheckPending));
    f.tree.DoStateChange({}, {TreeState::tsMouseCheckPending});
    // Without a check box the space is typed into the search.
    f.tree.SetCheckType(f.top[3], TCheckType::ctNone);
    f.tree.SetFocusedNode(f.top[3]);
    f.tree.HandleKeyDown(vkey::Space, None, L' ');
    EXPECT_TRUE(f.tree.InState(TreeState::tsIncrementalSearchPending));
}

TEST(TreeKeyboardChecks, AFreedNodeLeavesNoPendingCheck) {
    CheckFixture f;
    f.tree.HandleKeyDown(vkey::Space, None, L' ');
    f.tree.DeleteNode(f.top[2]);
    EXPECT_EQ(f.tree.CheckNode(), nullptr);
    EXPECT_FALSE(f.tree.InState(TreeState::tsKeyCheckPending));
    f.tree.HandleKeyUp(vkey::Space); // must not touch the freed node
    EXPECT_EQ(f.checkedEvents, 0);
}

TEST(TreeKeyboardFocus, CancelModeEndsTheSearch) {
    KeyboardFixture f;
    f.tree.Properties().SetIncrementalSearch(TVTIncrementalSearch::isAll);
    f.Start("n2");
    f.tree.HandleKeyDown(0x41, None, L'a');
    f.tree.HandleCharInput(L'a');
    ASSERT_EQ(f.tree.SearchBuffer(), L"a");
    f.tree.HandleCancelMode();
    // The next character starts a new search rather than extending "a".
    EXPECT_EQ(f.tree.SearchBuffer(), L"");
    EXPECT_EQ(f.tree.LastSearchNode(), nullptr);
    EXPECT_EQ(f.host.runningTimers.count(SearchTimer), 0u);
}

TEST(TreeKeyboardFocus, FocusLossEndsTheSearchAndThePendingStates) {
    KeyboardFixture f;
    f.tree.Properties().SetIncrementalSearch(TVTIncrementalSearch::isAll);
    f.Start("n2");
    f.tree.HandleKeyDown(0x41, None, L'a');
    f.tree.HandleCharInput(L'a');
    ASSERT_TRUE(f.tree.InState(TreeState::tsIncrementalSearching));
    ASSERT_EQ(f.tree.SearchBuffer(), L"a");
    f.tree.HandleKeyDown(0x42, None, L'b'); // its character never arrives
    f.tree.KeyboardFocusLost();
    EXPECT_FALSE(f.tree.InState(TreeState::tsIncrementalSearching));
    EXPECT_FALSE(f.tree.InState(TreeState::tsIncrementalSearchPending));
    EXPECT_EQ(f.tree.SearchBuffer(), L"");
    EXPECT_EQ(f.tree.LastSearchNode(), nullptr);
    EXPECT_EQ(f.host.runningTimers.count(SearchTimer), 0u);
}

} // namespace
} // namespace tarvola::test
