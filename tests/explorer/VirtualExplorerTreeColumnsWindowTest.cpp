// The explorer tree's header in a real window under Wine: the file-system folder's shell columns with their
// default widths, header clicks, the column menu's items, the layout stored per folder, and "More ..." with
// the real column settings dialog. With TARVOLA_COLUMN_SHOTS set to a number of milliseconds, the tree
// stays on screen that long for a screenshot.
#include "explorer/ColumnFormData.h"
#include "explorer/VirtualExplorerTreeControl.h"
#include "forms/Form.h"
#include "forms/StdCtrls.h"
#include "tests/explorer/ColumnWindowSupport.h"
#include "tests/explorer/ExplorerTreeRooting.h"
#include "tests/shell/ShellLayerFixture.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tarvola::test {
namespace {

class ExplorerColumnsWindowTest : public ShellLayerTest {
protected:
    void SetUp() override {
        MakeTree();
        std::filesystem::create_directory(folder.Path() / "sub" / "deeper");
        form.SetBounds(20, 20, 700, 300);
        form.SetCaption("Explorer columns");
        control.SetParent(&form);
        control.SetBounds(0, 0, 680, 260);
        ASSERT_TRUE(control.HandleAllocated());
        UsePersistentColumnsAndMenu(control.Tree());
        RootExplorerTreeAt(control.ExplorerTree(), WidePath(folder.Path()),
                           {TFileObject::foFolders, TFileObject::foNonFolders}, true);
        control.ExplorerTree().SetColumnDetails(TColumnDetailType::cdShellColumns);
    }
    TBaseVirtualTree& Tree() { return control.Tree(); }
    std::vector<int> Widths() {
        std::vector<int> widths;
        for (const THeaderColumnFacts& column : HeaderColumns(Tree()))
            widths.push_back(column.Width);
        return widths;
    }
    PVirtualNode Node(const std::string& name) {
        for (PVirtualNode node = Tree().GetFirstChild(nullptr); node; node = Tree().GetNextSibling(node))
            if (CellText(Tree(), node, 0) == std::wstring(name.begin(), name.end()))
                return node;
        return nullptr;
    }

    TForm form{nullptr};
    TVirtualExplorerTreeControl& control = form.Create<TVirtualExplorerTreeControl>();
};

TEST_F(ExplorerColumnsWindowTest, FileSystemFolderShowsItsShellColumns) {
    const std::vector<THeaderColumnFacts> columns = HeaderColumns(Tree());
    ASSERT_GE(columns.size(), 2u);
    EXPECT_TRUE(HeaderVisible(Tree()));
    EXPECT_EQ(ShellColumnCount(Tree()), static_cast<int>(columns.size()));
    const int general[] = {180, 96, 120, 120, 60, 180, 120, 120};
    for (std::size_t i = 0; i < columns.size() && i < std::size(general); ++i) {
        EXPECT_EQ(columns[i].Width, general[i]) << i;
        EXPECT_EQ(columns[i].RightAligned, i == 1) << i;
        EXPECT_FALSE(columns[i].Text.empty()) << i;
    }
    // Every column Wine's file-system folder offers is on by default: the menu has no "More ...".
    const std::vector<std::wstring> menu = ColumnMenuCaptions(Tree());
    EXPECT_EQ(menu.size(), columns.size());
    EXPECT_EQ(menu[0], L"[x] " + columns[0].Text);
    const PVirtualNode file = Node("a.txt");
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(CellText(Tree(), file, 1).empty()); // its size

    form.Show();
    if (const char* pause = std::getenv("TARVOLA_COLUMN_SHOTS"))
        PumpFor(std::chrono::milliseconds(std::atoi(pause)));
    else
        PumpFor(50ms);
}

TEST_F(ExplorerColumnsWindowTest, HeaderClicksSortAndToggleWidths) {
    ClickHeader(Tree(), 0, 0);
    EXPECT_EQ(SortColumn(Tree()), 0);
    const bool ascending = SortedAscending(Tree());
    ClickHeader(Tree(), 0, 0);
    EXPECT_NE(SortedAscending(Tree()), ascending);
    const std::wstring first = CellText(Tree(), Tree().GetFirstChild(nullptr), 0);
    ClickHeader(Tree(), 0, 0);
    EXPECT_NE(CellText(Tree(), Tree().GetFirstChild(nullptr), 0), first);

    ClickHeader(Tree(), 2, ssCtrl);
    EXPECT_NE(Widths()[2], 120);
    ClickHeader(Tree(), 2, ssCtrl);
    EXPECT_EQ(Widths()[2], 120);
    ClickHeader(Tree(), 1, ssShift);
    EXPECT_EQ(Widths()[1], HeaderColumns(Tree())[1].Width);
    ClickHeader(Tree(), 1, ssShift);
    EXPECT_EQ(Widths()[1], 96);
}

TEST_F(ExplorerColumnsWindowTest, EachFolderKeepsItsOwnLayout) {
    SetColumnWidth(Tree(), 0, 250);
    SetColumnVisibleFromMenu(Tree(), 1, false);
    const std::vector<std::uint8_t> layout = HeaderBytes(Tree());
    RootExplorerTreeAt(control.ExplorerTree(), Path("sub"),
                       {TFileObject::foFolders, TFileObject::foNonFolders}, true);
    EXPECT_EQ(Widths()[0], 180);
    EXPECT_TRUE(HeaderColumns(Tree())[1].Visible);
    RootExplorerTreeAt(control.ExplorerTree(), WidePath(folder.Path()),
                       {TFileObject::foFolders, TFileObject::foNonFolders}, true);
    EXPECT_EQ(Widths()[0], 250);
    EXPECT_FALSE(HeaderColumns(Tree())[1].Visible);
}

TEST_F(ExplorerColumnsWindowTest, MoreColumnsDialogCancelRestoresTheHeaderExactly) {
    TScriptedPrompts prompts;
    const std::vector<std::uint8_t> before = HeaderBytes(Tree());
    prompts.OnShowModal = [&](TForm& dialog) {
        dialog.Show();
        auto& liveUpdate = dialog.Find<TCheckBox>("CheckBoxLiveUpdate");
        liveUpdate.SetChecked(true);
        // Unchecking the first column hides it at once; a reorder moves the columns at once.
        TBaseVirtualTree& list =
            dynamic_cast<TVirtualTreeControl&>(*dialog.FindComponent("VSTColumnNames")).Tree();
        list.SetCheckState(list.GetFirstChild(nullptr), TCheckState::csUncheckedNormal);
        EXPECT_FALSE(HeaderColumns(Tree())[0].Visible);
        EXPECT_TRUE(DragColumnSetting(list, 2, 0));
        EXPECT_EQ(HeaderColumns(Tree())[2].Position, 0);
        EXPECT_NE(HeaderBytes(Tree()), before);
        return mrCancel;
    };
    EditColumnsInDialog(Tree());
    EXPECT_EQ(prompts.ModalRuns, 1);
    EXPECT_EQ(HeaderBytes(Tree()), before);
}

TEST_F(ExplorerColumnsWindowTest, MoreColumnsDialogOkKeepsTheChanges) {
    TScriptedPrompts prompts;
    prompts.OnShowModal = [&](TForm& dialog) {
        dialog.Show();
        TBaseVirtualTree& list =
            dynamic_cast<TVirtualTreeControl&>(*dialog.FindComponent("VSTColumnNames")).Tree();
        // Without Live Update the view waits for OK.
        EXPECT_TRUE(DragColumnSetting(list, 0, 2));
        EXPECT_EQ(HeaderColumns(Tree())[0].Position, 0);
        list.SetFocusedNode(list.GetFirstChild(nullptr));
        auto& edit = dialog.Find<TEdit>("EditPixelWidth");
        edit.SetText("140");
        SendMessageA(edit.Handle(), WM_CHAR, '\r', 0);
        return mrOk;
    };
    EditColumnsInDialog(Tree());
    const std::vector<THeaderColumnFacts> columns = HeaderColumns(Tree());
    EXPECT_EQ(columns[0].Position, 2);
    EXPECT_EQ(columns[1].Width, 140); // the list's first entry after the move is the second column
}

} // namespace
} // namespace tarvola::test
