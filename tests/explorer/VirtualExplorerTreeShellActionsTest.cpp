// The explorer tree's window with the real shell under Wine: the view follows in-process shell
// notifications of new and renamed files, and a shell data object dropped on a folder node copies the file
// into that folder.
#include "explorer/VirtualExplorerTreeControl.h"
#include "forms/Form.h"
#include "shell/VirtualShellNotifierWin32.h"
#include "tests/shell/ShellLayerFixture.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarvola::test {
namespace {

class ExplorerShellActionsTest : public ShellLayerTest {
protected:
    void SetUp() override {
        MakeTree();
        control.SetParent(&form);
        ASSERT_TRUE(control.HandleAllocated());
        RootExplorerTreeAt(control.Tree(), WidePath(folder.Path()),
                           {TFileObject::foFolders, TFileObject::foNonFolders}, true);
    }
    PVirtualNode NodeNamed(const std::string& name) {
        TBaseVirtualTree& tree = control.Tree();
        const std::wstring wanted(name.begin(), name.end());
        for (PVirtualNode node = tree.GetFirstChild(tree.RootNode()); node;
             node = tree.GetNextSibling(node)) {
            std::wstring text;
            tree.GetTextInfo(node, NoColumn, text);
            if (text == wanted)
                return node;
        }
        return nullptr;
    }

    TForm form{nullptr};
    TVirtualExplorerTreeControl& control = form.Create<TVirtualExplorerTreeControl>();
};

TEST_F(ExplorerShellActionsTest, TheViewFollowsNewAndRenamedFilesThroughShellNotifications) {
    TVirtualChangeNotifier notifier(TShellLayer::Get().PIDLMgr());
    control.SetChangeNotifier(&notifier);
    control.SetChangeNotifierEnabled(true);
    ASSERT_TRUE(control.ChangeNotifierRegistered());

    const std::filesystem::path created = folder.Write("new.ker", "n");
    SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW, created.c_str(), nullptr);
    // Bounded only so that a fault ends the test rather than hangs it.
    EXPECT_TRUE(PumpUntil([&] { return NodeNamed("new.ker") != nullptr; }, 10s));

    // A rename through the shell: the disk changes and the view shows the new name, the other nodes stay.
    const PVirtualNode kept = NodeNamed("b.ker");
    auto shellItem = std::make_unique<TShellExplorerItem>(Item("a.txt"));
    ASSERT_TRUE(control.ShellPort().SetNameOf(*shellItem, u"renamed.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "renamed.txt"));
    EXPECT_TRUE(
        PumpUntil([&] { return NodeNamed("renamed.txt") != nullptr && NodeNamed("a.txt") == nullptr; }, 10s));
    EXPECT_EQ(NodeNamed("b.ker"), kept);

    // A cancelled session end leaves the view registered; the window's end unregisters it.
    SendMessageW(control.Handle(), WM_QUERYENDSESSION, 0, 0);
    EXPECT_FALSE(control.ChangeNotifierRegistered());
    SendMessageW(control.Handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(control.ChangeNotifierRegistered());
    control.SetChangeNotifier(nullptr);
    EXPECT_FALSE(control.ChangeNotifierRegistered());
    EXPECT_EQ(notifier.ControlCount(), 0);
}

TEST_F(ExplorerShellActionsTest, AShellDataObjectDroppedOnAFolderNodeCopiesTheFile) {
    control.RegisterDropTarget();
    IDropTarget* target = control.ExplorerDropTarget();
    ASSERT_NE(target, nullptr);
    const PVirtualNode sub = NodeNamed("sub");
    ASSERT_NE(sub, nullptr);
    const TTreeRect text = control.Tree().GetDisplayRect(sub, NoColumn, true);
    POINT screen{text.Left + 2, (text.Top + text.Bottom) / 2};
    ClientToScreen(control.Handle(), &screen);
    const POINTL at{screen.x, screen.y};

    auto source = Item("c.bin");
    TComPtr<IDataObject> data = source->GetDataObjectOf({});
    ASSERT_TRUE(data);
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragEnter(data.Get(), MK_LBUTTON, at, &effect), S_OK);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, at, &effect), S_OK);
    if (effect == DROPEFFECT_NONE) {
        target->DragLeave();
        GTEST_SKIP() << "this system's folder drop target takes no shell data object";
    }
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(data.Get(), 0, at, &effect), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return std::filesystem::exists(folder.Path() / "sub" / "c.bin"); }, 10s));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "c.bin"));
}

} // namespace
} // namespace tarvola::test
