// The tree window's paint messages under Wine: WM_PRINTCLIENT and copy painting through WM_PAINT render the
// client area into a caller's 32-bit DIB section (also while the window is hidden, and after scrolling),
// WM_ERASEBKGND leaves the background alone, and a print-client request for visible windows only is refused
// by a hidden one.
#include "forms/Form.h"
#include "tests/support/DibSurface.h"
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

} // namespace
} // namespace tarvola
