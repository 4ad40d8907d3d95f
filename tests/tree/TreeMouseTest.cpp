// The tree's mouse rules on a four-row fixture, through the button handlers with real hit tests: the click
// table (modifiers x hit x options -> selection, focus, anchor, pending states), the check box press with its
// release on the same or another row and its end when the capture goes, the deferred clearing, the edit
// start armed on release, column clicks and hot tracking.
#include "tests/tree/TreeTestSupport.h"

#include "forms/Events.h"
#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/HitTest.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace tarvola::test {

void ShowTreeHeader(TBaseVirtualTree& tree) {
    tree.Header().SetOptions(tree.Header().Options() | hoVisible);
}

namespace {

// Appends a word to a space-separated list.
void AppendWord(std::string& list, const std::string& word) {
    if (!list.empty())
        list += ' ';
    list += word;
}

class FakeMousePort : public ITreeMousePort {
public:
    bool captured = false;
    void CaptureMouse() override { captured = true; }
    void ReleaseMouse() override { captured = false; }
};

class TextTree : public TBaseVirtualTree {
public:
    using TBaseVirtualTree::TBaseVirtualTree;
    int GetNodeWidth(PVirtualNode, TColumnIndex) override { return 50; }
    void Enter(TreeState state) { DoStateChange({state}); }
};

// Row r spans y 18r..18r+17; its text x 22..72, empty space right of it, the indentation 0..17.
constexpr int Label = 30;
constexpr int Empty = 150;
constexpr int IndentX = 5;
constexpr int CheckX = 25;
constexpr int RowY(int row) {
    return row * 18 + 5;
}

struct Mouse {
    RecordingHost host;
    TextTree tree{&host};
    FakeMousePort port;
    Mouse() {
        host.tree = &tree;
        host.window = true;
        tree.SetRootNodeCount(4);
        tree.SetMousePort(&port);
    }
    ~Mouse() { tree.SetMousePort(nullptr); }
    PVirtualNode Row(int index) {
        PVirtualNode node = tree.GetFirst();
        for (int i = 0; i < index && node != nullptr; ++i)
            node = tree.GetNextSibling(node);
        return node;
    }
    int IndexOf(PVirtualNode node) const { return node == nullptr ? -1 : static_cast<int>(node->Index); }
    std::string Selected() {
        std::string rows;
        for (PVirtualNode node = tree.GetFirst(); node != nullptr; node = tree.GetNext(node))
            if (tree.Selected(node))
                AppendWord(rows, std::to_string(node->Index));
        return rows;
    }
    std::string Pending() const {
        const std::pair<TreeState, const char*> names[] = {
            {TreeState::tsClearPending, "ClearPending"},      {TreeState::tsDrawSelPending, "DrawSelPending"},
            {TreeState::tsEditPending, "EditPending"},        {TreeState::tsToggleFocusedSelection, "Toggle"},
            {TreeState::tsMouseCheckPending, "CheckPending"}, {TreeState::tsOLEDragPending, "DragPending"},
        };
        std::string text;
        for (const auto& [state, name] : names)
            if (tree.InState(state))
                AppendWord(text, name);
        return text;
    }
    void Prepare(const std::string& selected, int focused) {
        if (focused >= 0)
            tree.SetFocusedNode(Row(focused));
        std::istringstream rows(selected);
        for (int row = 0; rows >> row;)
            tree.AddToSelection(Row(row));
    }
    void Down(int x, int y, TTreeShiftState shift = 0) {
        tree.HandleMouseDown(TTreeMouseMessage{shift, x, y}, tree.GetHitTestInfoAt(x, y, true));
    }
    void Up(int x, int y, TTreeShiftState shift = 0) {
        tree.HandleMouseUp(TTreeMouseMessage{shift, x, y}, tree.GetHitTestInfoAt(x, y, true));
    }
    void DblClick(int x, int y) {
        tree.HandleMouseDblClick(TTreeMouseMessage{0, x, y}, tree.GetHitTestInfoAt(x, y, true));
    }
    void AddMisc(TVTMiscOption option) {
        tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions().With(option));
    }
};

constexpr TVTSelectionOptions Single{};
constexpr TVTSelectionOptions Multi{TVTSelectionOption::toMultiSelect};
constexpr TVTSelectionOptions FullRow{TVTSelectionOption::toFullRowSelect};
constexpr TVTSelectionOptions MultiNoBand{TVTSelectionOption::toMultiSelect,
                                          TVTSelectionOption::toDisableDrawSelection};

TEST(MouseClicks, ModifiersHitsAndOptionsGiveSelectionFocusAndAnchor) {
    struct Case {
        const char* what;
        TVTSelectionOptions options;
        bool automaticDrag;
        const char* before;
        int focusBefore;
        TTreeShiftState shift;
        int x, row;
        const char* afterDown;
        const char* pendingAfterDown;
        const char* afterUp;
        int focusAfterUp;
        int anchorAfterUp;
    };
    const Case cases[] = {
        {"label selects its row", Single, false, "1", 1, 0, Label, 2, "2", "", "2", 2, 2},
        {"empty space keeps the selection", Single, false, "1", 1, 0, Empty, 2, "1", "", "1", 1, 1},
        {"full-row select takes empty space as the row", FullRow, false, "1", 1, 0, Empty, 2, "2", "", "2", 2,
         2},
        {"a leaf's hidden button is row space", FullRow, false, "1", 1, 0, IndentX, 2, "2", "", "2", 2, 2},
        {"multi: empty space clears and arms a band", Multi, false, "1 2", 1, 0, Empty, 3, "",
         "DrawSelPending", "", 1, 1},
        {"multi: no band when drawing is disabled", MultiNoBand, false, "1 2", 1, 0, Empty, 3, "", "", "", 1,
         1},
        {"multi: a label clears the others at once", Multi, false, "1 2", 1, 0, Label, 3, "3", "", "3", 3, 3},
        {"multi: a selected label without drag clears at once", Multi, false, "1 2", 1, 0, Label, 2, "2",
         "EditPending", "2", 2, 2},
        {"multi: a selected label that may be dragged clears on release", Multi, true, "1 2", 1, 0, Label, 2,
         "1 2", "ClearPending EditPending", "2", 2, 2},
        {"Ctrl adds a node", Multi, false, "1 2", 1, ssCtrl, Label, 3, "1 2 3", "", "1 2 3", 3, 3},
        {"Ctrl removes a selected node", Multi, false, "1 2", 1, ssCtrl, Label, 2, "1", "", "1", 2, 2},
        {"Ctrl on a node that may be dragged toggles on release", Multi, true, "1 2", 1, ssCtrl, Label, 2,
         "1 2", "Toggle", "1", 2, 2},
        {"Shift selects from the anchor", Multi, false, "1", 1, ssShift, Label, 3, "1 2 3", "", "1 2 3", 3,
         1},
        {"Alt makes a label row space, keeping the row", Multi, false, "1 2", 1, ssAlt, Label, 3, "3",
         "DrawSelPending", "3", 1, 1},
        {"Alt without multi-select changes nothing", Single, false, "1", 1, ssAlt, Label, 3, "1", "", "1", 1,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Mouse m;
        m.tree.TreeOptions().SetSelectionOptions(c.options);
        m.tree.DragModeAutomatic = c.automaticDrag;
        m.Prepare(c.before, c.focusBefore);
        m.Down(c.x, RowY(c.row), c.shift);
        EXPECT_EQ(m.Selected(), c.afterDown);
        EXPECT_EQ(m.Pending(), c.pendingAfterDown);
        m.Up(c.x, RowY(c.row), c.shift);
        EXPECT_EQ(m.Selected(), c.afterUp);
        EXPECT_EQ(m.Pending(), "");
        EXPECT_EQ(m.IndexOf(m.tree.FocusedNode()), c.focusAfterUp);
        EXPECT_EQ(m.IndexOf(m.tree.RangeAnchor()), c.anchorAfterUp);
    }
}

TEST(MouseClicks, TheExpandButtonTogglesWithoutTouchingTheSelection) {
    Mouse m;
    m.tree.SetChildCount(m.Row(1), 2);
    m.Prepare("0", 0);
    m.Down(IndentX, RowY(1));
    EXPECT_TRUE(m.tree.Expanded(m.Row(1)));
    EXPECT_EQ(m.Selected(), "0");
    m.Up(IndentX, RowY(1));
    m.DblClick(IndentX, RowY(1)); // a double click on the button toggles as well
    EXPECT_FALSE(m.tree.Expanded(m.Row(1)));
}

struct CheckRows : Mouse {
    int checked = 0;
    void Checked(TBaseVirtualTree&, PVirtualNode) { ++checked; }
    CheckRows() {
        AddMisc(TVTMiscOption::toCheckSupport);
        tree.ColumnFitMetrics.CheckImageWidth = 16;
        tree.SetCheckType(Row(1), TCheckType::ctCheckBox);
        tree.OnChecked = TVTNodeEvent::Bind<&CheckRows::Checked>(this);
    }
};

TEST(MouseChecks, APressShowsThePressedBoxAndItsReleaseDecides) {
    struct Case {
        const char* what;
        int releaseX, releaseRow;
        TCheckState after;
        int checkedEvents;
    };
    const Case cases[] = {
        {"released on the box", CheckX, 1, TCheckState::csCheckedNormal, 1},
        {"released elsewhere on the same row", Empty, 1, TCheckState::csCheckedNormal, 1},
        {"released on another row", CheckX, 2, TCheckState::csUncheckedNormal, 0},
        {"released below the rows", CheckX, 8, TCheckState::csUncheckedNormal, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CheckRows m;
        m.Down(CheckX, RowY(1));
        EXPECT_EQ(m.tree.CheckState(m.Row(1)), TCheckState::csUncheckedPressed);
        EXPECT_EQ(m.Pending(), "CheckPending");
        EXPECT_TRUE(m.port.captured); // the release comes here even outside the window
        EXPECT_EQ(m.Selected(), "");  // a check press selects nothing
        m.Up(c.releaseX, RowY(c.releaseRow));
        EXPECT_EQ(m.tree.CheckState(m.Row(1)), c.after);
        EXPECT_EQ(m.checked, c.checkedEvents);
        EXPECT_EQ(m.Pending(), "");
        EXPECT_EQ(m.tree.CheckNode(), nullptr);
    }
}

TEST(MouseChecks, ALostCaptureCancelledModeOrLostFocusRestoresTheBoxAndFreesTheNextPress) {
    struct Case {
        const char* what;
        void (*interrupt)(TBaseVirtualTree&);
    };
    const Case cases[] = {
        {"cancel mode", [](TBaseVirtualTree& tree) { tree.HandleCancelMode(); }},
        {"capture lost", [](TBaseVirtualTree& tree) { tree.HandleCaptureLost(); }},
        // The keyboard's focus handling ends the press the mouse holds as well as its own.
        {"focus lost", [](TBaseVirtualTree& tree) { tree.KeyboardFocusLost(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CheckRows m;
        m.Down(CheckX, RowY(1));
        c.interrupt(m.tree);
        EXPECT_EQ(m.tree.CheckState(m.Row(1)), TCheckState::csUncheckedNormal);
        EXPECT_EQ(m.tree.CheckNode(), nullptr);
        EXPECT_EQ(m.Pending(), "");
        m.Down(CheckX, RowY(1));
        m.Up(CheckX, RowY(1));
        EXPECT_EQ(m.tree.CheckState(m.Row(1)), TCheckState::csCheckedNormal);
    }
}

TEST(MouseChecks, ANodeDeletedWhileItsBoxIsPressedIsForgotten) {
    CheckRows m;
    m.Down(CheckX, RowY(1));
    m.tree.DeleteNode(m.Row(1));
    EXPECT_EQ(m.tree.CheckNode(), nullptr);
    m.Up(CheckX, RowY(1)); // the release must not reach the freed node
    EXPECT_EQ(m.Pending(), "");
    EXPECT_EQ(m.checked, 0);
}

TEST(MouseChecks, NoCheckPressWithoutCheckSupportOrImagesOrWhileAKeyHoldsABox) {
    struct Case {
        const char* what;
        bool support, images, keyPending;
    };
    const Case cases[] = {
        {"no check support", false, true, false},
        {"no check images", true, false, false},
        {"a key check pending", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Mouse m;
        if (c.support)
            m.AddMisc(TVTMiscOption::toCheckSupport);
        m.tree.ColumnFitMetrics.CheckImageWidth = c.images ? 16 : 0;
        m.tree.SetCheckType(m.Row(1), TCheckType::ctCheckBox);
        if (c.keyPending)
            m.tree.Enter(TreeState::tsKeyCheckPending);
        m.Down(CheckX, RowY(1));
        m.Up(CheckX, RowY(1));
        EXPECT_EQ(m.tree.CheckState(m.Row(1)), TCheckState::csUncheckedNormal);
    }
}

TEST(MouseClicks, ALostCaptureEndsADeferredClearSoTheNextClickClearsDirectly) {
    Mouse m;
    m.tree.TreeOptions().SetSelectionOptions(Multi);
    m.tree.DragModeAutomatic = true;
    m.Prepare("1 2", 1);
    m.Down(Label, RowY(2));
    EXPECT_EQ(m.Pending(), "ClearPending EditPending");
    m.tree.HandleCaptureLost(); // the release never comes
    EXPECT_EQ(m.Pending(), "");
    EXPECT_NO_THROW(m.Down(Label, RowY(3)));
    EXPECT_EQ(m.Selected(), "3");
}

TEST(MouseEdit, AClickOnTheFocusedSelectedLabelArmsTheEditTimerOnRelease) {
    struct Case {
        const char* what;
        void (*afterRelease)(Mouse&);
        bool timerRuns;
    };
    const Case cases[] = {
        {"release alone", [](Mouse&) {}, true},
        {"a double click", [](Mouse& m) { m.DblClick(Label, RowY(1)); }, false},
        {"cancelled mode", [](Mouse& m) { m.tree.HandleCancelMode(); }, false},
        {"a context menu", [](Mouse& m) { m.tree.HandleContextMenuRequest(); }, false},
        {"a press elsewhere", [](Mouse& m) { m.Down(Empty, RowY(3)); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Mouse m;
        m.AddMisc(TVTMiscOption::toEditable);
        m.Prepare("1", 1);
        m.Down(Label, RowY(1));
        EXPECT_EQ(m.Pending(), "EditPending");
        EXPECT_EQ(m.host.runningTimers.count(EditTimer), 0u); // armed only on release
        m.Up(Label, RowY(1));
        EXPECT_EQ(m.host.runningTimers.count(EditTimer), 1u);
        c.afterRelease(m);
        EXPECT_EQ(m.host.runningTimers.count(EditTimer), c.timerRuns ? 1u : 0u);
        EXPECT_EQ(m.tree.InState(TreeState::tsEditPending), c.timerRuns);
    }
}

TEST(MouseEdit, NoEditStartsFromAnUnselectedNodeOrWithModifiers) {
    for (const TTreeShiftState shift : {TTreeShiftState{0}, ssShift}) {
        Mouse m;
        m.AddMisc(TVTMiscOption::toEditable);
        m.tree.TreeOptions().SetSelectionOptions(Multi);
        m.Prepare(shift == 0 ? "" : "1", 1);
        m.Down(Label, RowY(1), shift);
        m.Up(Label, RowY(1), shift);
        EXPECT_EQ(m.host.runningTimers.count(EditTimer), 0u);
    }
}

TEST(MouseClicks, AColumnClickNeedsPressAndReleaseOverTheSameColumn) {
    struct Case {
        int downX, upX;
        const char* expected;
    };
    const Case cases[] = {{130, 150, "click 1"}, {30, 150, ""}, {30, 60, "click 0"}};
    for (const Case& c : cases) {
        Mouse m;
        m.tree.Header().Columns().Add().SetWidth(100);
        m.tree.Header().Columns().Add().SetWidth(100);
        std::string log;
        auto click = [&log](TBaseVirtualTree&, TColumnIndex column, TTreeShiftState) {
            log += "click ";
            log += std::to_string(column);
        };
        m.tree.OnColumnClick = TBaseVirtualTree::TVTColumnClickEvent::Bind(click);
        m.Down(c.downX, RowY(0));
        m.Up(c.upX, RowY(0));
        EXPECT_EQ(log, c.expected);
    }
}

TEST(MouseClicks, AClickMovesTheFocusedColumnOnlyWithExtendedFocusAndNotAgainstAVeto) {
    struct Case {
        const char* what;
        bool extendedFocus, veto;
        TColumnIndex focusedColumn;
        int focusedRow;
        const char* selected;
    };
    const Case cases[] = {
        {"extended focus takes the clicked column", true, false, 1, 2, "2"},
        {"otherwise the main column", false, false, 0, 2, "2"},
        // The click clears the selection before it asks to move the focus.
        {"a refused focus change keeps the focus", true, true, 0, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Mouse m;
        m.tree.Header().Columns().Add().SetWidth(100);
        m.tree.Header().Columns().Add().SetWidth(100);
        m.tree.TreeOptions().SetSelectionOptions(
            c.extendedFocus ? TVTSelectionOptions{TVTSelectionOption::toExtendedFocus}
                            : TVTSelectionOptions{});
        m.Prepare("0", 0);
        bool veto = c.veto;
        auto changing = [&veto](TBaseVirtualTree&, PVirtualNode, PVirtualNode, TColumnIndex, TColumnIndex,
                                bool& allowed) { allowed = !veto; };
        m.tree.OnFocusChanging = TVTFocusChangingEvent::Bind(changing);
        m.Down(110, RowY(2)); // the second column's text
        m.Up(110, RowY(2));
        EXPECT_EQ(m.tree.FocusedColumn(), c.focusedColumn);
        EXPECT_EQ(m.IndexOf(m.tree.FocusedNode()), c.focusedRow);
        EXPECT_EQ(m.Selected(), c.selected);
        m.tree.OnFocusChanging = {};
    }
}

struct HotRows : Mouse {
    std::string log;
    void Hot(TBaseVirtualTree&, PVirtualNode oldNode, PVirtualNode newNode) {
        if (!log.empty())
            log += ", ";
        log += Name(oldNode);
        log += "->";
        log += Name(newNode);
    }
    std::string Name(PVirtualNode node) const {
        return node == nullptr ? "nil" : std::to_string(node->Index);
    }
    HotRows() { tree.OnHotChange = TVTHotNodeChangeEvent::Bind<&HotRows::Hot>(this); }
};

TEST(MouseHotTracking, EachChangeFiresOnceAndLeavingTheWindowEndsIt) {
    HotRows m;
    m.tree.TreeOptions().SetPaintOptions(
        m.tree.TreeOptions().PaintOptions().With(TVTPaintOption::toHotTrack));
    m.tree.HandleMouseMove(0, Label, RowY(0));
    m.tree.HandleMouseMove(0, Label + 10, RowY(0));
    m.tree.HandleMouseMove(0, Label, RowY(1));
    m.tree.HandleMouseMove(0, Empty, RowY(1));
    m.tree.HandleMouseMove(0, Empty, RowY(2));
    m.tree.HandleMouseMove(0, Label, RowY(2));
    m.tree.HandleMouseLeave();
    m.tree.HandleMouseLeave();
    EXPECT_EQ(m.log, "nil->0, 0->1, 1->nil, nil->2, 2->nil");
    EXPECT_EQ(m.tree.CurrentHotNode(), nullptr);
}

TEST(MouseHotTracking, FullRowSelectMakesTheWholeRowHot) {
    HotRows m;
    m.tree.TreeOptions().SetSelectionOptions(FullRow);
    m.tree.HandleMouseMove(0, Empty, RowY(1));
    m.tree.HandleMouseMove(0, IndentX, RowY(1));
    EXPECT_EQ(m.log, "nil->1");
}

TEST(MouseHotTracking, ADeletedHotNodeIsForgotten) {
    HotRows m;
    m.tree.HandleMouseMove(0, Label, RowY(1));
    m.tree.DeleteNode(m.Row(1));
    m.tree.HandleMouseLeave();
    EXPECT_EQ(m.log, "nil->1");
}

} // namespace
} // namespace tarvola::test
