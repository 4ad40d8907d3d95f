// The tree window's mouse messages under Wine: real button messages through the window procedure (left,
// right and middle, with Shift, Ctrl and Alt) give the selection, focus and anchor of the mouse rules; the
// framework's own mouse events still fire; a check press holds the capture and ends when the capture goes;
// the edit timer is armed on release and dropped by a double click or a cancelled mode; hot tracking through
// moves and the mouse leaving; node and control menus through the popup hook; the cursor and the header's
// non-client hit test.
#include "tests/support/MessagePump.h"

#include "forms/Form.h"
#include "forms/Menus.h"
#include "tree/TreeControl.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"

#include <gtest/gtest.h>

#include <ole2.h>
#include <windowsx.h>

#include <string>
#include <vector>

namespace tarvola {
namespace test {
// Shows the tree's header (in a unit of its own: the header's and the form layer's types do not mix).
void ShowTreeHeader(TBaseVirtualTree& tree);
} // namespace test
namespace {

// Appends a word to a space-separated list.
void AppendWord(std::string& list, const std::string& word) {
    if (!list.empty())
        list += ' ';
    list += word;
}

class TextTree : public TBaseVirtualTree {
public:
    using TBaseVirtualTree::TBaseVirtualTree;
    int GetNodeWidth(PVirtualNode, TColumnIndex) override { return 50; }
    void Enter(TreeState state) { DoStateChange({state}); }
};

// Row r's text spans x 22..72 and y 18r..18r+17 of the client area.
constexpr int Label = 30;
constexpr int Empty = 150;
constexpr int CheckX = 25;
constexpr int RowY(int row) {
    return row * 18 + 5;
}

struct TreeMouseWindow : ::testing::Test {
    TForm form{nullptr};
    TVirtualTreeControl* control = nullptr;
    TextTree* tree = nullptr;
    std::vector<std::string> log;

    TreeMouseWindow() {
        control = &form.Create<TVirtualTreeControl>([this](ITreeViewHost* host) {
            auto made = std::make_unique<TextTree>(host);
            tree = made.get();
            return made;
        });
        control->SetParent(&form);
        control->SetBounds(0, 0, 300, 200);
        form.Show();
        control->SetFocus();
        tree->SetRootNodeCount(6);
    }
    ~TreeMouseWindow() override {
        if (GetCapture() == Window())
            ReleaseCapture();
    }
    HWND Window() const { return control->Handle(); }
    PVirtualNode Row(int index) {
        PVirtualNode node = tree->GetFirst();
        for (int i = 0; i < index && node != nullptr; ++i)
            node = tree->GetNext(node);
        return node;
    }
    int IndexOf(PVirtualNode node) const { return node == nullptr ? -1 : static_cast<int>(node->Index); }
    std::string Selected() {
        std::string rows;
        for (PVirtualNode node = tree->GetFirst(); node != nullptr; node = tree->GetNext(node))
            if (tree->Selected(node))
                AppendWord(rows, std::to_string(node->Index));
        return rows;
    }
    LRESULT Send(UINT message, WPARAM keys, int x, int y) {
        return SendMessageW(Window(), message, keys, MAKELPARAM(x, y));
    }
    void Click(UINT down, UINT up, WPARAM keys, int x, int y) {
        Send(down, keys, x, y);
        Send(up, keys & ~(MK_LBUTTON | MK_RBUTTON | MK_MBUTTON), x, y);
    }
    void SetSelectionOptions(TVTSelectionOptions options) {
        tree->TreeOptions().SetSelectionOptions(options);
    }
    void AddMisc(TVTMiscOption option) {
        tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions().With(option));
    }
};

// Holds Alt in this thread's key state, which the message's modifiers are read from.
class AltHeld {
public:
    explicit AltHeld(bool held) : held_(held) { Set(held_); }
    ~AltHeld() { Set(false); }

private:
    static void Set(bool down) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_MENU] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    bool held_;
};

TEST_F(TreeMouseWindow, ButtonMessagesFollowTheClickRules) {
    struct Case {
        const char* what;
        TVTSelectionOptions options;
        UINT down, up;
        WPARAM keys;
        bool alt;
        int x, row;
        const char* selected;
        int focused;
        int anchor;
    };
    constexpr TVTSelectionOptions multi{TVTSelectionOption::toMultiSelect};
    constexpr TVTSelectionOptions rightSelects{TVTSelectionOption::toMultiSelect,
                                               TVTSelectionOption::toRightClickSelect};
    constexpr TVTSelectionOptions middleSelects{TVTSelectionOption::toMultiSelect,
                                                TVTSelectionOption::toMiddleClickSelect};
    const Case cases[] = {
        {"left on a label", multi, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, false, Label, 3, "3", 3, 3},
        {"left on empty space", multi, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, false, Empty, 3, "", 1, 1},
        {"left with Ctrl", multi, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON | MK_CONTROL, false, Label, 3,
         "1 2 3", 3, 3},
        {"left with Shift", multi, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON | MK_SHIFT, false, Label, 4,
         "1 2 3 4", 4, 1},
        {"left with Alt", multi, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, true, Label, 3, "3", 1, 1},
        {"right without right-click select", multi, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, false, Label, 3,
         "1 2", 1, 1},
        {"right with right-click select", rightSelects, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, false,
         Label, 3, "3", 3, 3},
        {"middle without middle-click select", multi, WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, false, Label,
         3, "1 2", 1, 1},
        {"middle with middle-click select", middleSelects, WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, false,
         Label, 3, "3", 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tree->ClearSelection();
        SetSelectionOptions(c.options);
        tree->SetFocusedNode(Row(1));
        tree->AddToSelection(Row(1));
        tree->AddToSelection(Row(2));
        {
            AltHeld alt(c.alt);
            Click(c.down, c.up, c.keys, c.x, RowY(c.row));
        }
        EXPECT_EQ(Selected(), c.selected);
        EXPECT_EQ(IndexOf(tree->FocusedNode()), c.focused);
        EXPECT_EQ(IndexOf(tree->RangeAnchor()), c.anchor);
        EXPECT_NE(GetCapture(), Window());
        EXPECT_FALSE(tree->InState(TreeState::tsLeftButtonDown));
        EXPECT_FALSE(tree->InState(TreeState::tsRightButtonDown));
        EXPECT_FALSE(tree->InState(TreeState::tsMiddleButtonDown));
        EXPECT_FALSE(tree->InState(TreeState::tsDrawSelPending));
    }
}

TEST_F(TreeMouseWindow, TheFrameworkStillReportsTheMouse) {
    control->OnMouseDown = [this](TObject&, TMouseButton, TShiftState, int x, int y) {
        log.push_back(std::string("down ") + std::to_string(x) + "," + std::to_string(y));
    };
    control->OnMouseUp = [this](TObject&, TMouseButton, TShiftState, int, int) { log.push_back("up"); };
    control->OnClick = [this](TObject&) { log.push_back("click"); };
    Click(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, Label, RowY(1));
    EXPECT_EQ(log, (std::vector<std::string>{"down 30,23", "up", "click"}));
    EXPECT_EQ(IndexOf(tree->FocusedNode()), 1);
}

TEST_F(TreeMouseWindow, ADeferredClearWaitsForTheRelease) {
    SetSelectionOptions({TVTSelectionOption::toMultiSelect});
    tree->DragModeAutomatic = true;
    tree->SetFocusedNode(Row(1));
    tree->AddToSelection(Row(1));
    tree->AddToSelection(Row(2));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Label, RowY(2));
    EXPECT_EQ(Selected(), "1 2");
    EXPECT_TRUE(tree->InState(TreeState::tsClearPending));
    Send(WM_LBUTTONUP, 0, Label, RowY(2));
    EXPECT_EQ(Selected(), "2");
    EXPECT_FALSE(tree->InState(TreeState::tsClearPending));
}

int scriptedDrags = 0;

// The platform's drag loop, replaced: it sees a data object and the user cancels at once.
HRESULT WINAPI CancelledDragLoop(IDataObject* dataObject, IDropSource*, DWORD, DWORD* effect) {
    if (dataObject != nullptr)
        ++scriptedDrags;
    *effect = DROPEFFECT_NONE;
    return DRAGDROP_S_CANCEL;
}

TEST_F(TreeMouseWindow, MovingPastTheDragThresholdStartsTheDragWhichTakesOverTheClearing) {
    SetSelectionOptions({TVTSelectionOption::toMultiSelect});
    tree->DragModeAutomatic = true;
    control->MouseSeams.DoDragDrop = CancelledDragLoop;
    scriptedDrags = 0;
    tree->SetFocusedNode(Row(1));
    tree->AddToSelection(Row(1));
    tree->AddToSelection(Row(2));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Label, RowY(2));
    EXPECT_TRUE(tree->InState(TreeState::tsOLEDragPending));
    EXPECT_TRUE(tree->InState(TreeState::tsClearPending));
    Send(WM_MOUSEMOVE, MK_LBUTTON, Label + 1, RowY(2)); // within the system's drag threshold
    EXPECT_EQ(scriptedDrags, 0);
    Send(WM_MOUSEMOVE, MK_LBUTTON, Label + 12, RowY(2));
    EXPECT_EQ(scriptedDrags, 1);
    EXPECT_FALSE(tree->InState(TreeState::tsOLEDragPending));
    EXPECT_FALSE(tree->InState(TreeState::tsOLEDragging));
    EXPECT_FALSE(tree->InState(TreeState::tsClearPending));
    Send(WM_LBUTTONUP, 0, Label + 12, RowY(2));
    EXPECT_EQ(Selected(), "1 2");
}

TEST_F(TreeMouseWindow, ACheckPressHoldsTheCaptureUntilItsRelease) {
    AddMisc(TVTMiscOption::toCheckSupport);
    tree->ColumnFitMetrics.CheckImageWidth = 16;
    tree->SetCheckType(Row(1), TCheckType::ctCheckBox);
    struct Case {
        const char* what;
        int releaseRow;
        TCheckState after;
    };
    const Case cases[] = {
        {"same row", 1, TCheckState::csCheckedNormal},
        {"other row", 3, TCheckState::csCheckedNormal}, // unchanged from the first case
        {"same row again", 1, TCheckState::csUncheckedNormal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TCheckState before = tree->CheckState(Row(1));
        Send(WM_LBUTTONDOWN, MK_LBUTTON, CheckX, RowY(1));
        EXPECT_EQ(GetCapture(), Window());
        EXPECT_TRUE(tree->InState(TreeState::tsMouseCheckPending));
        EXPECT_EQ(tree->CheckState(Row(1)), PressedCheckState(before));
        Send(WM_LBUTTONUP, 0, Label, RowY(c.releaseRow));
        EXPECT_EQ(tree->CheckState(Row(1)), c.after);
        EXPECT_NE(GetCapture(), Window());
        EXPECT_FALSE(tree->InState(TreeState::tsMouseCheckPending));
    }
}

TEST_F(TreeMouseWindow, LosingTheCaptureRestoresAPressedCheckBox) {
    AddMisc(TVTMiscOption::toCheckSupport);
    tree->ColumnFitMetrics.CheckImageWidth = 16;
    tree->SetCheckType(Row(1), TCheckType::ctCheckBox);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, CheckX, RowY(1));
    EXPECT_EQ(tree->CheckState(Row(1)), TCheckState::csUncheckedPressed);
    SetCapture(form.Handle()); // another window takes the mouse: the release will not come here
    EXPECT_EQ(tree->CheckState(Row(1)), TCheckState::csUncheckedNormal);
    EXPECT_FALSE(tree->InState(TreeState::tsMouseCheckPending));
    ReleaseCapture();
    Click(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, CheckX, RowY(1));
    EXPECT_EQ(tree->CheckState(Row(1)), TCheckState::csCheckedNormal);
}

TEST_F(TreeMouseWindow, TheEditTimerStartsOnReleaseAndADoubleClickOrCancelModeStopsIt) {
    struct Case {
        const char* what;
        UINT after; // 0: nothing after the release
        bool timerRuns;
    };
    const Case cases[] = {
        {"release only", 0, true},
        {"double click", WM_LBUTTONDBLCLK, false},
        {"cancelled mode", WM_CANCELMODE, false},
    };
    AddMisc(TVTMiscOption::toEditable);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tree->SetFocusedNode(Row(1));
        tree->AddToSelection(Row(1));
        ASSERT_EQ(GetFocus(), Window());
        Send(WM_LBUTTONDOWN, MK_LBUTTON, Label, RowY(1));
        EXPECT_TRUE(tree->InState(TreeState::tsEditPending));
        EXPECT_FALSE(KillTimer(Window(), EditTimer)); // not armed on the press
        Send(WM_LBUTTONUP, 0, Label, RowY(1));
        if (c.after != 0)
            Send(c.after, c.after == WM_LBUTTONDBLCLK ? MK_LBUTTON : 0, Label, RowY(1));
        if (c.after == WM_LBUTTONDBLCLK)
            Send(WM_LBUTTONUP, 0, Label, RowY(1));
        EXPECT_EQ(KillTimer(Window(), EditTimer) != 0, c.timerRuns);
        tree->HandleCancelMode();
    }
}

TEST_F(TreeMouseWindow, HotTrackingFollowsMovesAndEndsWhenTheMouseLeaves) {
    tree->TreeOptions().SetPaintOptions(tree->TreeOptions().PaintOptions().With(TVTPaintOption::toHotTrack));
    auto hot = [this](TBaseVirtualTree&, PVirtualNode oldNode, PVirtualNode newNode) {
        log.push_back(std::to_string(IndexOf(oldNode)) + "->" + std::to_string(IndexOf(newNode)));
    };
    tree->OnHotChange = TVTHotNodeChangeEvent::Bind(hot);
    int moves = 0;
    control->OnMouseMove = [&moves](TObject&, TShiftState, int, int) { ++moves; };
    Send(WM_MOUSEMOVE, 0, Label, RowY(0));
    Send(WM_MOUSEMOVE, 0, Label + 5, RowY(0));
    Send(WM_MOUSEMOVE, 0, Label, RowY(2));
    Send(WM_MOUSELEAVE, 0, 0, 0);
    Send(WM_MOUSELEAVE, 0, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"-1->0", "0->2", "2->-1"}));
    EXPECT_EQ(moves, 3);
    tree->OnHotChange = {};
}

TEST_F(TreeMouseWindow, MenusShowThroughThePopupHook) {
    TPopupMenu& nodeMenu = form.Create<TPopupMenu>();
    TPopupMenu& controlMenu = form.Create<TPopupMenu>();
    control->PopupHook = [&](TPopupMenu& menu, int x, int y) {
        POINT client{x, y};
        ScreenToClient(Window(), &client);
        log.push_back(std::string(&menu == &nodeMenu ? "node" : "control") + " " + std::to_string(client.x) +
                      "," + std::to_string(client.y));
    };
    control->OnGetPopupMenu = [&](TBaseVirtualTree&, PVirtualNode node, TColumnIndex, TTreeMousePoint,
                                  bool&) -> TPopupMenu* { return node == Row(2) ? &nodeMenu : nullptr; };

    Click(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, Label, RowY(2));
    EXPECT_TRUE(tree->InState(TreeState::tsPopupMenuShown));
    Click(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, Label, RowY(3)); // no menu for this node
    EXPECT_FALSE(tree->InState(TreeState::tsPopupMenuShown));
    EXPECT_EQ(log, (std::vector<std::string>{"node 30,41"}));

    log.clear();
    control->PopupMenu = &controlMenu;
    Click(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, Label, RowY(2)); // the control's own menu wins
    tree->ShowNodePopupMenu(Row(2), NoColumn, TTreeMousePoint{Label, RowY(2)});
    POINT screen{Label, RowY(2)};
    ClientToScreen(Window(), &screen);
    SendMessageW(Window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Window()),
                 MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(log, (std::vector<std::string>{"control 30,41", "node 30,41"}));
    control->PopupMenu = nullptr;
}

TEST_F(TreeMouseWindow, TheCursorComesFromTheTreeAndPanningAnswersSilently) {
    auto cursor = [](TBaseVirtualTree&, int& value) { value = static_cast<int>(TCursor::crHandPoint); };
    tree->OnGetCursor = TBaseVirtualTree::TVTGetCursorEvent::Bind(cursor);
    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    SetCursor(nullptr);
    EXPECT_EQ(SendMessageW(Window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Window()), overClient), TRUE);
    EXPECT_EQ(GetCursor(), CursorHandle(TCursor::crHandPoint));

    tree->Enter(TreeState::tsWheelPanning);
    SetCursor(nullptr);
    EXPECT_EQ(SendMessageW(Window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Window()), overClient), TRUE);
    EXPECT_EQ(GetCursor(), nullptr); // the panning cursor is left as it is
    tree->OnGetCursor = {};
}

TEST_F(TreeMouseWindow, PointsInTheVisibleHeaderAnswerBorder) {
    control->SetCtl3D(false);
    // Screen points just above and just below the client area's top edge, taken after each frame change.
    auto aroundClientTop = [&](int dy) {
        POINT point{20, dy};
        ClientToScreen(Window(), &point);
        return MAKELPARAM(point.x, point.y);
    };
    EXPECT_EQ(SendMessageW(Window(), WM_NCHITTEST, 0, aroundClientTop(10)), HTCLIENT);
    // The shown header takes its room from the frame, above the client area.
    test::ShowTreeHeader(*tree);
    EXPECT_EQ(SendMessageW(Window(), WM_NCHITTEST, 0, aroundClientTop(-3)), HTBORDER);
    EXPECT_EQ(SendMessageW(Window(), WM_NCHITTEST, 0, aroundClientTop(10)), HTCLIENT);
}

} // namespace
} // namespace tarvola
