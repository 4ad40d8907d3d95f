// The tree as a control under Wine: its window with the tree's styles, the defaults a fresh control has, and
// the OLE drop registration that follows the window through creation, re-creation and destruction.
#include "tests/support/DibSurface.h"
#include "tests/support/MessagePump.h"

#include "forms/ComCtrls.h"
#include "forms/Form.h"
#include "forms/Menus.h"
#include "tree/TreeControl.h"
#include "tree/TreeProperties.h"
#include "tree/TreeResources.h"
#include "tree/TreeSettings.h"
#include "tree/TreeWindowHost.h"

#include <gtest/gtest.h>
#include <ole2.h>

namespace tarvola {
namespace {

// A drop target that counts its references, to see whether a registration takes and gives back its own.
class ProbeDropTarget : public IDropTarget {
public:
    LONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD*) override { return S_OK; }
};

// Whether another target can register for the window: false when the window is registered already.
bool FreeForRegistration(HWND window) {
    ProbeDropTarget probe;
    const HRESULT result = RegisterDragDrop(window, &probe);
    if (result == DRAGDROP_E_ALREADYREGISTERED)
        return false;
    EXPECT_EQ(result, S_OK);
    EXPECT_EQ(RevokeDragDrop(window), S_OK);
    EXPECT_EQ(probe.references, 1); // the registration released what it took
    return true;
}

struct TreeControlTest : ::testing::Test {
    TreeControlTest() { EXPECT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    ~TreeControlTest() override { OleUninitialize(); }
    TForm form{nullptr};
    TVirtualTreeControl& MakeControl() {
        auto& control = form.Create<TVirtualTreeControl>();
        control.SetParent(&form);
        return control;
    }
};

TEST_F(TreeControlTest, AFreshControlHasTheDefaultTable) {
    TVirtualTreeControl& control = MakeControl();
    ASSERT_TRUE(control.HandleAllocated());
    EXPECT_EQ(control.Width(), 200);
    EXPECT_EQ(control.Height(), 100);
    EXPECT_TRUE(control.TabStop());
    EXPECT_FALSE(control.ParentColor());
    EXPECT_TRUE(control.Ctl3D());
    const LONG style = GetWindowLongW(control.Handle(), GWL_STYLE);
    const LONG exStyle = GetWindowLongW(control.Handle(), GWL_EXSTYLE);
    EXPECT_EQ(style & (WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP),
              WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP);
    EXPECT_EQ(style & WS_BORDER, 0);
    EXPECT_EQ(exStyle & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
    EXPECT_EQ(exStyle & WS_EX_LEFTSCROLLBAR, 0);

    TBaseVirtualTree& tree = control.Tree();
    EXPECT_EQ(tree.TreeOptions().PaintOptions().Bits(), 7008u);
    EXPECT_EQ(tree.TreeOptions().AutoOptions().Bits(), 329u);
    EXPECT_EQ(tree.TreeOptions().MiscOptions().Bits(), 425u);
    EXPECT_TRUE(tree.TreeOptions().AnimationOptions().Empty());
    EXPECT_TRUE(tree.TreeOptions().SelectionOptions().Empty());
    EXPECT_EQ(tree.Properties().AnimationDuration(), 200u);
    EXPECT_EQ(tree.Colors().All(), DefaultTreeColors);
    EXPECT_EQ(tree.FocusedColumn(), NoColumn);
    EXPECT_EQ(tree.InState(TreeState::tsUseThemes), control.VisualStylesEnabled());
    EXPECT_TRUE(control.DropTargetRegistered());
    EXPECT_FALSE(FreeForRegistration(control.Handle()));
}

TEST_F(TreeControlTest, StyleSettingsRecreateTheWindowAndTheRegistrationFollows) {
    TVirtualTreeControl& control = MakeControl();
    TBaseVirtualTree& tree = control.Tree();
    struct Case {
        const char* name;
        std::function<void()> change;
        LONG style, exStyle; // expected under the masks below
    };
    const std::vector<Case> cases = {
        {"no border", [&] { tree.Properties().SetBorderStyle(TVTBorderStyle::bsNone); }, 0, 0},
        {"flat single border",
         [&] {
             tree.Properties().SetBorderStyle(TVTBorderStyle::bsSingle);
             control.SetCtl3D(false);
         },
         WS_BORDER, 0},
        {"3-D again, right to left",
         [&] {
             control.SetCtl3D(true);
             control.SetRightToLeft(true);
         },
         0, WS_EX_CLIENTEDGE | WS_EX_LEFTSCROLLBAR},
        {"no full repaint on resize",
         [&] {
             TCustomVirtualTreeOptions& options = tree.TreeOptions();
             options.SetMiscOptions(options.MiscOptions().Without(TVTMiscOption::toFullRepaintOnResize));
         },
         0, WS_EX_CLIENTEDGE | WS_EX_LEFTSCROLLBAR},
    };
    for (const Case& c : cases) {
        const HWND before = control.Handle();
        c.change();
        ASSERT_TRUE(control.HandleAllocated()) << c.name;
        EXPECT_NE(control.Handle(), before) << c.name;
        EXPECT_FALSE(IsWindow(before)) << c.name;
        EXPECT_EQ(GetWindowLongW(control.Handle(), GWL_STYLE) & WS_BORDER, c.style) << c.name;
        EXPECT_EQ(GetWindowLongW(control.Handle(), GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_LEFTSCROLLBAR),
                  c.exStyle)
            << c.name;
        EXPECT_TRUE(control.DropTargetRegistered()) << c.name;
        EXPECT_FALSE(FreeForRegistration(control.Handle())) << c.name;
    }
}

TEST_F(TreeControlTest, TheDropOptionRegistersAndRevokes) {
    TVirtualTreeControl& control = MakeControl();
    TCustomVirtualTreeOptions& options = control.Tree().TreeOptions();
    options.SetMiscOptions(options.MiscOptions().Without(TVTMiscOption::toAcceptOLEDrop));
    EXPECT_FALSE(control.DropTargetRegistered());
    EXPECT_TRUE(FreeForRegistration(control.Handle()));
    control.RecreateWindow(); // without the option a new window stays unregistered
    EXPECT_TRUE(FreeForRegistration(control.Handle()));
    options.SetMiscOptions(options.MiscOptions().With(TVTMiscOption::toAcceptOLEDrop));
    EXPECT_TRUE(control.DropTargetRegistered());
    EXPECT_FALSE(FreeForRegistration(control.Handle()));
}

TEST_F(TreeControlTest, ACreatedDestroyedAndRecreatedControlLeavesNoRegistrationBehind) {
    HWND first = nullptr;
    for (int round = 0; round < 2; ++round) {
        TVirtualTreeControl& control = MakeControl();
        control.Tree().SetRootNodeCount(10);
        ASSERT_TRUE(control.HandleAllocated());
        EXPECT_FALSE(FreeForRegistration(control.Handle()));
        first = control.Handle();
        form.FreeComponent(control);
        EXPECT_FALSE(IsWindow(first));
    }
    // A window made at the same handle value would find no stale registration either.
    auto& other = form.Create<TCustomControl>();
    other.SetParent(&form);
    EXPECT_TRUE(FreeForRegistration(other.Handle()));
}

TEST_F(TreeControlTest, TheWindowHandsTheWorkersStateMessageAndTheTimersToTheTree) {
    TVirtualTreeControl& control = MakeControl();
    TBaseVirtualTree& tree = control.Tree();
    SendMessageW(control.Handle(), WM_CHANGESTATE, StateBitValidating, 0);
    EXPECT_TRUE(tree.InState(TreeState::tsValidating));
    SendMessageW(control.Handle(), WM_CHANGESTATE, 0, StateBitValidating);
    EXPECT_FALSE(tree.InState(TreeState::tsValidating));

    int changes = 0;
    struct Counter {
        int* count;
        void Changed(TBaseVirtualTree&, PVirtualNode) { ++*count; }
    } counter{&changes};
    tree.OnChange = TVTNodeEvent::Bind<&Counter::Changed>(&counter);
    tree.ChangeDelay = 10;
    tree.SetRootNodeCount(1);
    tree.SetSelected(tree.GetFirst(), true);
    EXPECT_EQ(changes, 0);
    test::PumpUntil([&] { return changes > 0; }, std::chrono::seconds(5));
    EXPECT_EQ(changes, 1);
    tree.OnChange.Reset();
}

TEST_F(TreeControlTest, ImageListsFollowTheirChangesAndTheirRemoval) {
    TVirtualTreeControl& control = MakeControl();
    TBaseVirtualTree& tree = control.Tree();
    auto& images = form.Create<TImageList>(16, 16);
    auto& states = form.Create<TImageList>(12, 12);
    auto& checks = form.Create<TImageList>(13, 13);
    control.SetImages(&images);
    control.SetStateImages(&states);
    EXPECT_EQ(tree.ColumnFitMetrics.ImageWidth, 16);
    EXPECT_EQ(tree.ColumnFitMetrics.StateImageWidth, 12);
    // The global check images exist while a control lives.
    EXPECT_NE(control.CheckImages(), nullptr);
    EXPECT_EQ(tree.ColumnFitMetrics.CheckImageWidth, 16);

    // ckCustom without a custom list shows no check images until one comes.
    tree.Properties().SetCheckImageKind(TCheckImageKind::ckCustom);
    EXPECT_EQ(control.CheckImages(), nullptr);
    EXPECT_EQ(tree.ColumnFitMetrics.CheckImageWidth, 0);
    control.SetCustomCheckImages(&checks);
    EXPECT_EQ(control.CheckImages(), checks.Handle());
    EXPECT_EQ(tree.ColumnFitMetrics.CheckImageWidth, 13);

    // A change of a list repaints the rows.
    form.Show();
    UpdateWindow(form.Handle());
    ValidateRect(control.Handle(), nullptr);
    images.AddIcon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(control.Handle(), &update, FALSE));

    // Lists that go are dropped; without its custom list the kind falls back to the light check marks.
    form.FreeComponent(checks);
    EXPECT_EQ(control.CustomCheckImages(), nullptr);
    EXPECT_EQ(tree.Properties().CheckImageKind(), TCheckImageKind::ckLightCheck);
    EXPECT_EQ(control.CheckImages(), GetCheckImageListFor(TCheckImageKind::ckLightCheck));
    form.FreeComponent(images);
    EXPECT_EQ(control.Images(), nullptr);
    EXPECT_EQ(tree.ColumnFitMetrics.ImageWidth, 0);
    tree.SetRootNodeCount(3);
    UpdateWindow(control.Handle()); // paints without the freed lists
    // A control that goes first leaves nothing behind in a list that stays.
    form.FreeComponent(control);
    EXPECT_EQ(states.LinkCount(), 0u);
}

TEST_F(TreeControlTest, AssigningAControlTakesTheTreesAndTheControlsSettings) {
    TVirtualTreeControl& source = MakeControl();
    TVirtualTreeControl& target = MakeControl();
    auto& images = form.Create<TImageList>(16, 16);
    auto& menu = form.Create<TPopupMenu>();
    source.SetImages(&images);
    source.SetColor(clBtnFace);
    source.PopupMenu = &menu;
    source.Tree().Indent = 30;
    source.Tree().SetRootNodeCount(5);
    target.Assign(source);
    EXPECT_EQ(target.Images(), &images);
    EXPECT_EQ(target.Color(), clBtnFace);
    EXPECT_EQ(target.PopupMenu, &menu);
    EXPECT_EQ(target.Tree().Indent, 30);
    EXPECT_EQ(target.Tree().RootNodeCount(), 5u);
    EXPECT_EQ(target.Tree().ColumnFitMetrics.ImageWidth, 16);
}

TEST_F(TreeControlTest, TheTreeTakesNoFocusWhileItsFormIsDisabledOrHidden) {
    TVirtualTreeControl& control = MakeControl();
    form.Show();
    EXPECT_TRUE(control.CanFocus());
    // A modal dialog disables its owner's window; the form's own flag does not change.
    EnableWindow(form.Handle(), FALSE);
    EXPECT_TRUE(form.Enabled());
    EXPECT_FALSE(control.CanFocus());
    EnableWindow(form.Handle(), TRUE);
    EXPECT_TRUE(control.CanFocus());
    ShowWindow(form.Handle(), SW_HIDE);
    EXPECT_FALSE(control.CanFocus());
}

// A 3-D look differs only with a single border: without a border the window stays as it is.
TEST_F(TreeControlTest, The3DLookRecreatesTheWindowOnlyWithASingleBorder) {
    TVirtualTreeControl& control = MakeControl();
    control.Tree().Properties().SetBorderStyle(TVTBorderStyle::bsNone);
    const HWND borderless = control.Handle();
    control.SetCtl3D(false);
    EXPECT_EQ(control.Handle(), borderless);
    EXPECT_FALSE(control.Ctl3D());
    control.Tree().Properties().SetBorderStyle(TVTBorderStyle::bsSingle);
    EXPECT_EQ(GetWindowLongW(control.Handle(), GWL_STYLE) & WS_BORDER, WS_BORDER); // flat, as set before
    const HWND flat = control.Handle();
    control.SetCtl3D(true);
    EXPECT_NE(control.Handle(), flat);
    EXPECT_EQ(GetWindowLongW(control.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
}

// The tree paints itself enabled or disabled as the control is, also when the change came before the window.
TEST_F(TreeControlTest, TheEnabledStateReachesTheTreeWithAndWithoutAWindow) {
    auto& control = form.Create<TVirtualTreeControl>();
    ASSERT_FALSE(control.HandleAllocated());
    control.SetEnabled(false);
    EXPECT_FALSE(control.Tree().ControlEnabled);
    control.SetParent(&form);
    ASSERT_TRUE(control.HandleAllocated());
    EXPECT_FALSE(control.Tree().ControlEnabled);
    EXPECT_FALSE(IsWindowEnabled(control.Handle()));
    control.SetEnabled(true);
    EXPECT_TRUE(control.Tree().ControlEnabled);
    EXPECT_TRUE(IsWindowEnabled(control.Handle()));
}

// The system colours changed: the tree's window takes the check images drawn in them anew.
TEST_F(TreeControlTest, ASystemColourChangeReachesTheCheckImages) {
    TVirtualTreeControl& control = MakeControl();
    const int element = COLOR_BTNFACE;
    const COLORREF saved = GetSysColor(element);
    const COLORREF face = RGB(10, 120, 230);
    ASSERT_TRUE(SetSysColors(1, &element, &face));
    SendMessageW(control.Handle(), WM_SYSCOLORCHANGE, 0, 0);
    test::DibSurface surface(16, 16, RGB(0, 255, 0));
    // Image 11 of the light check boxes, a pressed box, has a face in the button colour.
    ImageList_Draw(GetCheckImageListFor(TCheckImageKind::ckLightCheck), 11, surface.dc(), 0, 0,
                   ILD_TRANSPARENT);
    const COLORREF drawn = surface.At(7, 7);
    SetSysColors(1, &element, &saved);
    SendMessageW(control.Handle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(drawn, face);
}

} // namespace
} // namespace tarvola
