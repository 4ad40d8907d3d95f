// The tree window's paint messages under Wine: WM_PRINTCLIENT and copy painting through WM_PAINT render the
// client area into a caller's 32-bit DIB section (also while the window is hidden, and after scrolling),
// WM_ERASEBKGND leaves the background alone, and a print-client request for visible windows only is refused
// by a hidden one.
#include "forms/Form.h"
#include "tests/support/DibSurface.h"
#include "tree/Header.h"
#include "tree/StringTree.h"
#include "tree/TreeColors.h"
#include "tree/TreeControl.h"
#include "tree/TreeOptions.h"
#include "tree/TreeSettings.h"

#include <gtest/gtest.h>
#include <ole2.h>

namespace tarvola {
namespace {

constexpr COLORREF Sentinel = RGB(1, 2, 3);
constexpr COLORREF TreeColor = RGB(250, 250, 240);
constexpr COLORREF Selection = RGB(0, 0, 200);
constexpr COLORREF Unfocused = RGB(100, 100, 100);

// A sentinel-filled surface the tree paints into.
class Surface : public test::DibSurface {
public:
    Surface(int width, int height) : test::DibSurface(width, height, Sentinel) {}
};

struct TreePaintControlTest : ::testing::Test {
    TreePaintControlTest() { EXPECT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    ~TreePaintControlTest() override { OleUninitialize(); }
    TForm form{nullptr};

    // A hidden control of 20 rows with full-row selection on the fourth; the form is never shown.
    TVirtualTreeControl& MakeControl() {
        auto& control = form.Create<TVirtualTreeControl>();
        control.SetParent(&form);
        control.SetColor(TreeColor);
        TBaseVirtualTree& tree = control.Tree();
        tree.Colors().SetColor(TVTColorIndex::FocusedSelectionColor, Selection);
        tree.Colors().SetColor(TVTColorIndex::FocusedSelectionBorderColor, Selection);
        tree.Colors().SetColor(TVTColorIndex::UnfocusedSelectionColor, Unfocused);
        tree.Colors().SetColor(TVTColorIndex::UnfocusedSelectionBorderColor, Unfocused);
        TCustomVirtualTreeOptions& options = tree.TreeOptions();
        options.SetSelectionOptions(options.SelectionOptions().With(TVTSelectionOption::toFullRowSelect));
        tree.SetRootNodeCount(20);
        PVirtualNode node = tree.GetFirst();
        for (int i = 0; i < 3; ++i)
            node = tree.GetNextSibling(node);
        tree.AddToSelection(node);
        return control;
    }
};

TEST_F(TreePaintControlTest, PrintClientAndCopyPaintingRenderTheClientArea) {
    TVirtualTreeControl& control = MakeControl();
    ASSERT_TRUE(control.HandleAllocated());
    ASSERT_FALSE(IsWindowVisible(control.Handle()));
    const int width = control.ClientWidth();
    const int height = control.ClientHeight();
    ASSERT_GT(height, 4 * 18);
    struct Case {
        const char* name;
        UINT message;
        LPARAM flags;
    };
    const Case cases[] = {{"print client", WM_PRINTCLIENT, PRF_CLIENT}, {"copy painting", WM_PAINT, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Surface surface(width, height);
        SendMessageW(control.Handle(), c.message, reinterpret_cast<WPARAM>(surface.dc()), c.flags);
        EXPECT_EQ(surface.At(width / 2, 3 * 18 + 9), Unfocused); // no focus: the unfocused colour
        EXPECT_EQ(surface.At(width / 2, 2 * 18 + 9), TreeColor);
        EXPECT_EQ(surface.At(width - 1, height - 1), TreeColor);
    }
}

TEST_F(TreePaintControlTest, AScrolledTreePrintsFromItsOffset) {
    TVirtualTreeControl& control = MakeControl();
    control.Tree().SetOffsetY(-36);
    ASSERT_EQ(control.Tree().OffsetY(), -36);
    Surface surface(control.ClientWidth(), control.ClientHeight());
    SendMessageW(control.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT);
    EXPECT_EQ(surface.At(control.ClientWidth() / 2, 18 + 9), Unfocused);
    EXPECT_EQ(surface.At(control.ClientWidth() / 2, 3 * 18 + 9), TreeColor);
}

TEST_F(TreePaintControlTest, EraseAndVisibleOnlyRequestsLeaveTheTargetAlone) {
    TVirtualTreeControl& control = MakeControl();
    Surface surface(control.ClientWidth(), control.ClientHeight());
    EXPECT_EQ(SendMessageW(control.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.dc()), 0), 1);
    EXPECT_EQ(surface.At(5, 5), Sentinel);
    SendMessageW(control.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()),
                 PRF_CLIENT | PRF_CHECKVISIBLE);
    EXPECT_EQ(surface.At(5, 5), Sentinel);
}

// How many pixels of a surface's area have exactly a colour.
int CountOf(const test::DibSurface& surface, COLORREF color, const RECT& area) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += surface.At(x, y) == color ? 1 : 0;
    return count;
}

// The whole window through WM_PRINT: the frame, the scroll bar and the header around the client area, which
// lands where it lies in the window; without the frame flag only the client area is painted.
TEST_F(TreePaintControlTest, PrintPaintsTheFrameAndHeaderAroundTheClientArea) {
    TVirtualTreeControl& control = MakeControl();
    control.SetBounds(0, 0, 300, 200); // the columns fit: no horizontal bar
    TVTHeader& header = control.Tree().Header();
    for (int i = 0; i < 2; ++i)
        header.Columns().Add().SetWidth(100);
    header.SetOptions(header.Options() | hoVisible);
    const HWND window = control.Handle();
    RECT bounds{};
    GetWindowRect(window, &bounds);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const int left = origin.x - bounds.left;
    const int top = origin.y - bounds.top;
    ASSERT_GE(top, DefaultHeaderHeight);
    ASSERT_NE(GetWindowLongW(window, GWL_STYLE) & WS_VSCROLL, 0); // 20 rows overflow
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    struct Case {
        const char* name;
        LPARAM flags;
        bool frame;
    };
    const Case cases[] = {{"frame and client", PRF_NONCLIENT | PRF_CLIENT, true},
                          {"client only", PRF_CLIENT, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Surface surface(width, height);
        SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(surface.dc()), c.flags);
        EXPECT_EQ(surface.At(left + control.ClientWidth() / 2, top + 3 * 18 + 9), Unfocused);
        EXPECT_EQ(surface.At(left + control.ClientWidth() / 2, top + 2 * 18 + 9), TreeColor);
        const int unpainted = CountOf(surface, Sentinel, RECT{0, 0, width, height});
        if (c.frame)
            EXPECT_EQ(unpainted, 0);
        else
            EXPECT_EQ(unpainted, width * height - control.ClientWidth() * control.ClientHeight());
    }
    // Visible windows only: this one's form was never shown.
    Surface surface(width, height);
    SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(surface.dc()),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_CHECKVISIBLE);
    EXPECT_EQ(CountOf(surface, Sentinel, RECT{0, 0, width, height}), width * height);
}

// Rectangle buttons: their signs take the font's colour and their inside the tree's colour, as soon as
// either changes.
TEST_F(TreePaintControlTest, ButtonsFollowTheFontAndTreeColours) {
    TVirtualTreeControl& control = MakeControl();
    TBaseVirtualTree& tree = control.Tree();
    tree.SetChildCount(tree.GetFirst(), 2);
    const RECT firstIndent{0, 0, 18, 18};
    constexpr COLORREF Red = RGB(255, 0, 0);
    constexpr COLORREF Green = RGB(10, 200, 10);
    auto print = [&](Surface& surface) {
        SendMessageW(control.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT);
    };
    Surface before(control.ClientWidth(), control.ClientHeight());
    print(before);
    EXPECT_EQ(CountOf(before, Red, firstIndent), 0);

    control.Font().SetColor(Red);
    control.SetColor(Green);
    Surface after(control.ClientWidth(), control.ClientHeight());
    print(after);
    EXPECT_GT(CountOf(after, Red, firstIndent), 0);
    EXPECT_EQ(CountOf(after, TreeColor, firstIndent), 0); // nor inside the button
}

// The control's font reaches the tree: a string tree measures its texts in it, and a header that follows
// the tree's font takes it.
TEST_F(TreePaintControlTest, TheControlsFontReachesTheTextsAndTheHeader) {
    auto& control = form.Create<TVirtualTreeControl>(
        [](ITreeViewHost* host) { return std::make_unique<TVirtualStringTree>(host); });
    control.SetParent(&form);
    auto& tree = dynamic_cast<TVirtualStringTree&>(control.Tree());
    tree.Header().SetParentFont(true);
    control.Font().SetName("Arial");
    control.Font().SetHeight(-20);
    EXPECT_EQ(tree.Look.Font.Name, "Arial");
    EXPECT_EQ(tree.Look.Font.Height, -20);
    EXPECT_EQ(tree.Header().Font().Name, "Arial");
    EXPECT_EQ(tree.Header().Font().Height, -20);
}

// A string tree on a control measures its texts in the control's font without a canvas of its own: a row's
// text has its width (the selection, the hit tests and the hints follow it; it used to be 0), and a larger
// font widens it.
TEST_F(TreePaintControlTest, AStringTreeMeasuresItsTextsInTheControlsFont) {
    auto& control = form.Create<TVirtualTreeControl>(
        [](ITreeViewHost* host) { return std::make_unique<TVirtualStringTree>(host); });
    control.SetParent(&form);
    auto& tree = dynamic_cast<TVirtualStringTree&>(control.Tree());
    tree.SetRootNodeCount(1);
    const auto textWidth = [&] {
        const TTreeRect text = tree.GetDisplayRect(tree.GetFirst(), NoColumn, true, false);
        return text.Right - text.Left;
    };
    control.Font().SetName("Arial");
    control.Font().SetHeight(-12);
    const int small = textWidth();
    control.Font().SetHeight(-36);
    EXPECT_GT(small, 0);
    EXPECT_GT(textWidth(), 2 * small);
}

} // namespace
} // namespace tarvola
