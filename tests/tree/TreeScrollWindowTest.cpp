// The tree control's scrolling under Wine: the system scroll bars after an update, the scroll-bar messages
// (bottom, thumb tracking), bars that are always visible, a hidden tree's structure changes, the header's
// room in the frame, and the control's other messages of this concern.
#include "forms/Form.h"
#include "tree/Header.h"
#include "tree/ThemeServices.h"
#include "tree/TreeColors.h"
#include "tree/TreeControl.h"
#include "tree/TreeOptions.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <memory>
#include <utility>
#include <vector>

namespace tarvola {
namespace {

void SetHeaderShown(TBaseVirtualTree& tree, bool shown, int height) {
    TVTHeader& header = tree.Header();
    header.SetHeight(height);
    header.SetOptions(shown ? header.Options() | hoVisible : header.Options() & ~hoVisible);
}

SCROLLINFO BarInfo(HWND window, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(window, bar, &info))
        info = SCROLLINFO{};
    return info;
}

bool HasStyle(HWND window, LONG style) {
    return (GetWindowLongW(window, GWL_STYLE) & style) != 0;
}

// Whether the system reports the window's bar as shown but unusable.
bool BarDisabled(HWND window, LONG object) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    if (!GetScrollBarInfo(window, object, &info))
        return false;
    return (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) != 0;
}

struct TreeScrollWindow : ::testing::Test {
    TreeScrollWindow() { EXPECT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    ~TreeScrollWindow() override {
        OleSetClipboard(nullptr);
        OleUninitialize();
    }
    TForm form{nullptr};
    TVirtualTreeControl& MakeControl(bool visible = true) {
        auto& control = form.Create<TVirtualTreeControl>();
        control.SetVisible(visible);
        control.SetParent(&form);
        return control;
    }
    // The bar matches the tree: range, page and position.
    static void ExpectVerticalBar(TVirtualTreeControl& control) {
        TBaseVirtualTree& tree = control.Tree();
        const SCROLLINFO info = BarInfo(control.Handle(), SB_VERT);
        EXPECT_EQ(info.nMin, 0);
        EXPECT_EQ(info.nMax, static_cast<int>(tree.RangeHeight()));
        EXPECT_EQ(info.nPage, static_cast<UINT>(control.ClientHeight() + 1));
        EXPECT_EQ(info.nPos, -tree.OffsetY());
    }
};

TEST_F(TreeScrollWindow, TheBarsMatchTheTreeAfterAnUpdate) {
    TVirtualTreeControl& control = MakeControl();
    TBaseVirtualTree& tree = control.Tree();
    const int clientHeight = control.ClientHeight();
    tree.BeginUpdate();
    tree.SetRootNodeCount(50);
    tree.SetOffsetY(-100);
    EXPECT_EQ(tree.OffsetY(), -100);
    EXPECT_FALSE(HasStyle(control.Handle(), WS_VSCROLL)); // nothing shown inside the update
    tree.EndUpdate();
    EXPECT_TRUE(HasStyle(control.Handle(), WS_VSCROLL));
    EXPECT_EQ(control.ClientHeight(), clientHeight);
    EXPECT_EQ(tree.RangeHeight(), 50u * 18);
    ExpectVerticalBar(control);
    EXPECT_EQ(BarInfo(control.Handle(), SB_VERT).nPos, 100);
    EXPECT_FALSE(HasStyle(control.Handle(), WS_HSCROLL));
}

TEST_F(TreeScrollWindow, ScrollMessagesMoveTheOffsets) {
    TVirtualTreeControl& control = MakeControl();
    TBaseVirtualTree& tree = control.Tree();
    tree.SetRootNodeCount(50);
    const HWND window = control.Handle();
    const int lowest = control.ClientHeight() - 50 * 18;
    struct Case {
        const char* name;
        WORD code;
        int expected;
    };
    const Case cases[] = {
        {"line down", SB_LINEDOWN, -20},      {"page down", SB_PAGEDOWN, -20 - control.ClientHeight()},
        {"bottom clamps", SB_BOTTOM, lowest}, {"line down at the bottom stays", SB_LINEDOWN, lowest},
        {"line up", SB_LINEUP, lowest + 20},  {"top", SB_TOP, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SendMessageW(window, WM_VSCROLL, MAKEWPARAM(c.code, 0), 0), 0) << c.name;
        EXPECT_EQ(tree.OffsetY(), c.expected) << c.name;
        ExpectVerticalBar(control);
    }
}

TEST_F(TreeScrollWindow, ThumbTrackingLeavesTheBarAloneUntilTheEnd) {
    TVirtualTreeControl& control = MakeControl();
    TBaseVirtualTree& tree = control.Tree();
    tree.SetRootNodeCount(50);
    const HWND window = control.Handle();
    // Outside a real drag the system reports the thumb's track position as its position.
    SCROLLINFO thumb{};
    thumb.cbSize = sizeof(thumb);
    thumb.fMask = SIF_POS;
    thumb.nPos = 200;
    SetScrollInfo(window, SB_VERT, &thumb, FALSE);
    SendMessageW(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 200), 0);
    EXPECT_EQ(tree.OffsetY(), -200);
    EXPECT_TRUE(tree.InState(TreeState::tsThumbTracking));
    tree.SetOffsetY(-150);
    EXPECT_EQ(BarInfo(window, SB_VERT).nPos, 200);
    SendMessageW(window, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    EXPECT_FALSE(tree.InState(TreeState::tsThumbTracking));
    EXPECT_EQ(tree.OffsetY(), -150);
    ExpectVerticalBar(control);
    // A scroll-bar control among the children is not the tree's own bar.
    SendMessageW(window, WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), reinterpret_cast<LPARAM>(form.Handle()));
    EXPECT_EQ(tree.OffsetY(), -150);
}

TEST_F(TreeScrollWindow, AlwaysVisibleBarsStayShownButDisabled) {
    TVirtualTreeControl& control = MakeControl();
    TBaseVirtualTree& tree = control.Tree();
    tree.SetRootNodeCount(2);
    const HWND before = control.Handle();
    EXPECT_FALSE(HasStyle(before, WS_VSCROLL));
    tree.ScrollBarOptions().SetAlwaysVisible(true); // re-creates the window
    const HWND window = control.Handle();
    EXPECT_TRUE(HasStyle(window, WS_VSCROLL));
    EXPECT_TRUE(HasStyle(window, WS_HSCROLL));
    EXPECT_TRUE(BarDisabled(window, OBJID_VSCROLL));
    EXPECT_TRUE(BarDisabled(window, OBJID_HSCROLL));
    tree.SetRootNodeCount(50);
    EXPECT_TRUE(HasStyle(window, WS_VSCROLL));
    EXPECT_FALSE(BarDisabled(window, OBJID_VSCROLL));
    tree.SetRootNodeCount(1);
    EXPECT_TRUE(HasStyle(window, WS_VSCROLL));
    EXPECT_TRUE(BarDisabled(window, OBJID_VSCROLL));
}

TEST_F(TreeScrollWindow, AHiddenTreeTakesStructureChanges) {
    TVirtualTreeControl& control = MakeControl(false);
    ASSERT_TRUE(control.HandleAllocated());
    ASSERT_FALSE(IsWindowVisible(control.Handle()));
    TBaseVirtualTree& tree = control.Tree();
    tree.SetRootNodeCount(100);
    EXPECT_EQ(tree.RangeHeight(), 100u * 18);
    PVirtualNode first = tree.GetFirst();
    tree.SetChildCount(first, 10);
    tree.ToggleNode(first);
    EXPECT_EQ(tree.RangeHeight(), 110u * 18);
    EXPECT_TRUE(tree.ScrollIntoView(tree.GetLast(), false));
    EXPECT_EQ(tree.OffsetY(), control.ClientHeight() - 110 * 18);
    tree.DeleteNode(tree.GetLast());
    tree.AddChild(nullptr);
    tree.ToggleNode(first);
    EXPECT_EQ(tree.RangeHeight(), 100u * 18);
    ExpectVerticalBar(control);
    tree.Clear();
    EXPECT_EQ(tree.RangeHeight(), 0u);
    EXPECT_EQ(tree.OffsetY(), 0);
    control.Show();
    tree.SetRootNodeCount(30);
    ExpectVerticalBar(control);
}

TEST_F(TreeScrollWindow, AVisibleHeaderTakesItsHeightFromTheClientArea) {
    TVirtualTreeControl& control = MakeControl();
    TBaseVirtualTree& tree = control.Tree();
    const int clientHeight = control.ClientHeight();
    SetHeaderShown(tree, false, 20);
    EXPECT_EQ(control.ClientHeight(), clientHeight);
    SetHeaderShown(tree, true, 20);
    EXPECT_EQ(control.ClientHeight(), clientHeight - 20);
    SetHeaderShown(tree, true, 25);
    EXPECT_EQ(control.ClientHeight(), clientHeight - 25);
    SetHeaderShown(tree, false, 25);
    EXPECT_EQ(control.ClientHeight(), clientHeight);
}

TEST_F(TreeScrollWindow, SizingUpdatesTheBars) {
    TVirtualTreeControl& control = MakeControl();
    TBaseVirtualTree& tree = control.Tree();
    tree.SetRootNodeCount(10); // 180 pixels in a client area of less than 100
    SendMessageW(control.Handle(), WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    ASSERT_LT(tree.OffsetY(), 0);
    control.SetBounds(0, 0, 200, 300);
    EXPECT_FALSE(HasStyle(control.Handle(), WS_VSCROLL));
    EXPECT_EQ(tree.OffsetY(), 0);
    EXPECT_FALSE(tree.InState(TreeState::tsSizing));
    control.SetBounds(0, 0, 200, 120);
    EXPECT_TRUE(HasStyle(control.Handle(), WS_VSCROLL));
    ExpectVerticalBar(control);
}

// A tree that logs where hot tracking is redone.
class BackgroundTree : public TBaseVirtualTree {
public:
    using TBaseVirtualTree::TBaseVirtualTree;
    std::vector<POINT> hotTracks;
    void HandleHotTrack(int x, int y) override {
        hotTracks.push_back(POINT{x, y});
        TBaseVirtualTree::HandleHotTrack(x, y);
    }
};

TEST_F(TreeScrollWindow, ChildWindowsMoveWithTheContent) {
    BackgroundTree* tree = nullptr;
    auto& control = form.Create<TVirtualTreeControl>([&](ITreeViewHost* host) {
        auto made = std::make_unique<BackgroundTree>(host);
        tree = made.get();
        return made;
    });
    control.SetParent(&form);
    tree->SetRootNodeCount(50);
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 50, 20, 10, control.Handle(),
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    auto childTop = [&] {
        RECT bounds{};
        GetWindowRect(child, &bounds);
        MapWindowPoints(nullptr, control.Handle(), reinterpret_cast<POINT*>(&bounds), 2);
        return std::pair{bounds.left, bounds.top};
    };
    tree->SetOffsetY(-18); // the pixels move, and the child with them
    EXPECT_EQ(childTop(), std::pair(10L, 32L));
    TCustomVirtualTreeOptions& options = tree->TreeOptions();
    options.SetPaintOptions(options.PaintOptions().With(TVTPaintOption::toShowBackground));
    tree->SetOffsetY(-30); // without a picture the pixels still move
    EXPECT_EQ(childTop(), std::pair(10L, 20L));
    HBITMAP picture = CreateBitmap(8, 8, 1, 32, nullptr);
    control.SetBackground(picture);
    tree->SetOffsetY(-40); // the background stays: the child alone is moved
    EXPECT_EQ(childTop(), std::pair(10L, 10L));

    // With the mouse over the client area hot tracking is redone where it stands.
    POINT centre{control.ClientWidth() / 2, control.ClientHeight() / 2};
    ClientToScreen(control.Handle(), &centre);
    form.Show();
    POINT before{};
    GetCursorPos(&before);
    POINT cursor{};
    if (SetCursorPos(centre.x, centre.y) && GetCursorPos(&cursor) && cursor.x == centre.x &&
        cursor.y == centre.y) {
        tree->hotTracks.clear();
        tree->SetOffsetY(-60);
        ASSERT_EQ(tree->hotTracks.size(), 1u);
        EXPECT_EQ(tree->hotTracks[0].x, control.ClientWidth() / 2);
        EXPECT_EQ(tree->hotTracks[0].y, control.ClientHeight() / 2);
    }
    SetCursorPos(before.x, before.y); // later tests find the mouse where it was
    DestroyWindow(child);
    control.SetBackground(nullptr);
    DeleteObject(picture);
}

TEST_F(TreeScrollWindow, TheControlsOtherMessages) {
    TVirtualTreeControl& control = MakeControl();
    TBaseVirtualTree& tree = control.Tree();
    const HWND window = control.Handle();
    EXPECT_EQ(SendMessageW(window, CM_TREEQUERY, 0, 0), 1);

    EnableWindow(window, FALSE);
    EXPECT_FALSE(tree.ControlEnabled);
    EnableWindow(window, TRUE);
    EXPECT_TRUE(tree.ControlEnabled);

    TCustomVirtualTreeOptions& options = tree.TreeOptions();
    SendMessageW(window, WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(tree.InState(TreeState::tsUseThemes), ThemeServices().ThemesEnabled());
    options.SetPaintOptions(options.PaintOptions().Without(TVTPaintOption::toThemeAware));
    SendMessageW(window, WM_THEMECHANGED, 0, 0);
    EXPECT_FALSE(tree.InState(TreeState::tsUseThemes));

    // Copy and paste reach the clipboard: the copy of the selected node lands under the focused one.
    PVirtualNode first = tree.AddChild(nullptr);
    PVirtualNode second = tree.AddChild(nullptr);
    tree.AddToSelection(first);
    tree.SetFocusedNode(second);
    SendMessageW(window, WM_COPY, 0, 0);
    EXPECT_TRUE(tree.InState(TreeState::tsCopyPending));
    SendMessageW(window, WM_PASTE, 0, 0);
    EXPECT_EQ(tree.ChildCount(second), 1u);
    SendMessageW(window, WM_CUT, 0, 0);
    EXPECT_TRUE(tree.InState(TreeState::tsCutPending));
}

} // namespace
} // namespace tarvola
