// The explorer tree's shell interaction over an in-memory namespace and a recording shell port: the right
// button's selection rules, the key table, the menu's verbs, renaming, new folders and drops onto items.
#include "tests/explorer/ExplorerShellFixture.h"

#include "tree/TreeOptions.h"

#include <gtest/gtest.h>

namespace tarvola::test {
namespace {

using Log = std::vector<std::string>;

class ExplorerActionsTest : public testing::Test {
protected:
    ExplorerActionsTest() {
        ns.Add("\\presets\\");
        ns.Add("\\presets\\a.ker");
        ns.Add("\\presets\\b.ker");
        ns.Add("\\presets\\c.ker");
        ns.Add("\\presets\\sub\\");
        ns.Add("\\presets\\New Folder\\");
        port.Namespace = &ns;
        tree.SetShellPort(&port);
        tree.TreeOptions().SetSelectionOptions(
            tree.TreeOptions().SelectionOptions().With(TVTSelectionOption::toMultiSelect));
        tree.SetFolderOptions({TVETFolderOption::toHideRootFolder});
        tree.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
        tree.SetRootFolderCustomPath(u"\\presets");
        tree.SetActive(true);
    }
    PVirtualNode Node(const std::string& name) { return ChildNamed(tree, tree.RootNode(), name); }
    void Select(std::initializer_list<const char*> names, const char* focused) {
        tree.ClearSelection();
        for (const char* name : names)
            tree.SetSelected(Node(name), true);
        tree.SetFocusedNode(focused != nullptr ? Node(focused) : nullptr);
    }
    std::vector<std::string> SelectedNames() {
        std::vector<std::string> names;
        for (PVirtualNode node = tree.GetFirstSelected(); node != nullptr; node = tree.GetNextSelected(node))
            names.push_back(Narrow(tree.NodeItem(node)->NameNormal()));
        return names;
    }
    TTreeMousePoint TextPoint(const std::string& name) {
        const TTreeRect text = tree.GetDisplayRect(Node(name), NoColumn, true);
        return {text.Left + 2, (text.Top + text.Bottom) / 2};
    }
    void SetReadOnly(bool value) {
        tree.MiscOptions = value ? tree.MiscOptions.With(TVETMiscOption::toVETReadOnly)
                                 : tree.MiscOptions.Without(TVETMiscOption::toVETReadOnly);
    }

    TMemoryNamespace ns;
    TRecordingShellPort port;
    TClientAreaHost host;
    TEditRecordingTree tree{ns, &host};
};

TEST_F(ExplorerActionsTest, RightClickShowsTheMenuForTheClickedItemAndRestoresTheSelection) {
    struct Case {
        bool rightButtonSelect;
        const char* clicked;
        std::string menu;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        // An unselected item: the menu is for it alone; the selection comes back unless the option keeps it.
        {false, "c.ker", "Menu c.ker:c.ker", {"a.ker", "b.ker"}},
        {true, "c.ker", "Menu c.ker:c.ker", {"c.ker"}},
        // A selected item: the menu is for the selection, which stays.
        {false, "b.ker", "Menu b.ker:a.ker,b.ker", {"a.ker", "b.ker"}},
        {true, "b.ker", "Menu b.ker:a.ker,b.ker", {"a.ker", "b.ker"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.clicked) + (c.rightButtonSelect ? " with" : " without") + " right select");
        tree.MiscOptions = c.rightButtonSelect
                               ? tree.MiscOptions.With(TVETMiscOption::toRightButtonSelect)
                               : tree.MiscOptions.Without(TVETMiscOption::toRightButtonSelect);
        Select({"a.ker", "b.ker"}, "a.ker");
        port.Log.clear();
        TContextMenuManager& menu = tree.ContextMenuManager();
        const TTreeMousePoint at = TextPoint(c.clicked);
        menu.RightClick(at.X, at.Y, false);
        EXPECT_TRUE(menu.NodeMenuPending);
        // Screen and client coincide here (the client area's origin is 0, 0).
        const TContextMenuAnswer answer = menu.ContextMenu(at, {0, 0});
        EXPECT_TRUE(answer.RunBase);
        menu.RightClick(at.X, at.Y, true);
        EXPECT_EQ(port.Log, Log{c.menu});
        EXPECT_EQ(SelectedNames(), c.after);
        EXPECT_FALSE(menu.NodeMenuPending);
        EXPECT_FALSE(menu.MenuShown);
    }
}

TEST_F(ExplorerActionsTest, ContextMenuIsSwallowedWhenReadOnlyAndOpensFromTheKeyboard) {
    Select({"b.ker"}, "b.ker");
    SetReadOnly(true);
    EXPECT_FALSE(tree.ContextMenuManager().ContextMenu({-1, -1}, {0, 0}).RunBase);
    EXPECT_TRUE(port.Log.empty());
    SetReadOnly(false);
    tree.ContextMenuManager().ContextMenu({-1, -1}, {0, 0});
    EXPECT_EQ(port.Log, Log{"Menu b.ker:b.ker"});
}

TEST_F(ExplorerActionsTest, MenuVerbsRenameInPlaceAndMarkCutAndCopy) {
    Select({"b.ker"}, "b.ker");
    port.MenuVerb = "Rename";
    tree.ShowContextMenu(*tree.NodeItem(Node("b.ker")), {});
    EXPECT_EQ(tree.Edited, std::vector<PVirtualNode>{Node("b.ker")});
    EXPECT_EQ(port.Log, Log{"Menu b.ker:b.ker"}) << "the shell's own rename does not run";

    port.MenuVerb = "cut";
    tree.ShowContextMenu(*tree.NodeItem(Node("b.ker")), {});
    EXPECT_TRUE(tree.InState(TreeState::tsCutPending));
    port.MenuVerb = "COPY";
    tree.ShowContextMenu(*tree.NodeItem(Node("b.ker")), {});
    EXPECT_TRUE(tree.InState(TreeState::tsCopyPending));
    EXPECT_FALSE(tree.InState(TreeState::tsCutPending));

    tree.MiscOptions = tree.MiscOptions.With(TVETMiscOption::toRemoveContextMenuShortCut);
    port.MenuVerb.clear();
    port.Log.clear();
    tree.ShowContextMenu(*tree.NodeItem(Node("b.ker")), {});
    EXPECT_EQ(port.Log, Log{"Menu-nolink b.ker:b.ker"});
}

TEST_F(ExplorerActionsTest, KeyTableCallsTheVerbsWithRealKeyCodesOnly) {
    struct Case {
        std::uint16_t key;
        TKeyModifiers shift;
        std::string verb; // empty: nothing is asked of the shell
        std::string readOnlyVerb;
        bool continues;
    };
    const Case cases[] = {
        {'C', keymod::Ctrl, "Copy b.ker:b.ker,a.ker", "Copy b.ker:b.ker,a.ker", true},
        {'X', keymod::Ctrl, "Cut b.ker:b.ker,a.ker", "", true},
        {'V', keymod::Ctrl, "", "", true}, // two selected: nothing to paste into
        {0x2E, 0, "Delete b.ker:b.ker,a.ker", "", true},
        {0x2D, keymod::Ctrl, "Copy b.ker:b.ker,a.ker", "", false},
        {0x2D, keymod::Shift, "", "", false},
        // The keypad's 1 and 3 and F7 and F9 are no letters.
        {0x63, keymod::Ctrl, "", "", true},
        {0x78, keymod::Ctrl, "", "", true},
        {0x76, keymod::Ctrl, "", "", true},
        {0x61, keymod::Ctrl | keymod::Shift, "", "", true},
        {'C', 0, "", "", true},
    };
    for (bool readOnly : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << "key " << c.key << " shift " << c.shift << " read-only " << readOnly);
            SetReadOnly(readOnly);
            Select({"a.ker", "b.ker"}, "b.ker");
            port.Log.clear();
            std::uint16_t key = c.key;
            TKeyModifiers shift = c.shift;
            EXPECT_EQ(tree.KeyAction(key, shift), c.continues);
            const std::string expected = readOnly ? c.readOnlyVerb : c.verb;
            EXPECT_EQ(port.Log, expected.empty() ? Log{} : Log{expected});
        }
    }
    SetReadOnly(false);
    Select({"b.ker"}, "b.ker");
    port.Log.clear();
    std::uint16_t key = 'V';
    TKeyModifiers shift = keymod::Ctrl;
    tree.KeyAction(key, shift);
    EXPECT_EQ(port.Log, Log{"Paste b.ker:b.ker"});
}

TEST_F(ExplorerActionsTest, CtrlShiftAInvertsAndF3WithoutSelectionDoesNothing) {
    Select({"a.ker"}, "a.ker");
    std::uint16_t key = 'A';
    TKeyModifiers shift = keymod::Ctrl | keymod::Shift;
    EXPECT_FALSE(tree.KeyAction(key, shift));
    EXPECT_FALSE(tree.Selected(Node("a.ker")));
    EXPECT_TRUE(tree.Selected(Node("b.ker")));

    tree.ClearSelection();
    const int before = ns.Enumerations["\\presets"];
    key = 0x72;
    shift = 0;
    EXPECT_TRUE(tree.KeyAction(key, shift));
    EXPECT_EQ(ns.Enumerations["\\presets"], before);
}

TEST_F(ExplorerActionsTest, CtrlArrowsMoveTheFocusAlongSiblingsWithoutSelecting) {
    Select({}, "a.ker");
    std::uint16_t key = 0x28;
    TKeyModifiers shift = keymod::Ctrl;
    EXPECT_FALSE(tree.KeyAction(key, shift));
    EXPECT_EQ(tree.FocusedNode(), Node("b.ker"));
    EXPECT_EQ(tree.SelectedCount(), 0u);
    key = 0x26;
    tree.KeyAction(key, shift);
    EXPECT_EQ(tree.FocusedNode(), Node("a.ker"));
}

TEST_F(ExplorerActionsTest, AFailedRenameBeepsAndOpensTheEditorAgainOnALiveNodeOnly) {
    std::vector<PVirtualNode> posted;
    tree.PostEditNodeAgain = [&](PVirtualNode node) { posted.push_back(node); };
    const PVirtualNode b = Node("b.ker");
    port.RenameSucceeds = false;
    tree.NewText(b, NoColumn, L"a.ker");
    EXPECT_EQ(posted, std::vector<PVirtualNode>{b});
    EXPECT_TRUE(tree.EditNodeAgain(b));
    EXPECT_EQ(port.Log, (Log{"SetNameOf b.ker a.ker", "Beep"}));
    EXPECT_EQ(tree.Edited, std::vector<PVirtualNode>{b});

    // A refresh between the post and its message frees the node: the message is dropped.
    const PVirtualNode stale = b;
    tree.Clear();
    EXPECT_FALSE(tree.EditNodeAgain(stale));
    EXPECT_FALSE(tree.EditNodeAgain(nullptr));

    port.RenameSucceeds = true;
    tree.SetActive(true);
    posted.clear();
    tree.NewText(Node("c.ker"), NoColumn, L"d.ker");
    EXPECT_TRUE(posted.empty());
}

TEST_F(ExplorerActionsTest, ReadOnlyBlocksEditingAndEveryChange) {
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions().With(TVTMiscOption::toEditable));
    EXPECT_TRUE(tree.CanEdit(Node("a.ker"), NoColumn));
    SetReadOnly(true);
    Select({"a.ker"}, "a.ker");
    EXPECT_FALSE(tree.CanEdit(Node("a.ker"), NoColumn));
    EXPECT_FALSE(tree.CutToClipboard());
    EXPECT_FALSE(tree.PasteFromClipboard());
    tree.DeleteSelected();
    tree.PasteIntoSelected(true);
    EXPECT_TRUE(port.Log.empty());
}

TEST_F(ExplorerActionsTest, CreateNewFolderMakesAUniqueFolderSelectsItAndEditsIt) {
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions().With(TVTMiscOption::toEditable));
    const TItemIDList presets = ListOf({"presets"});
    EXPECT_EQ(Narrow(tree.CreateNewFolder(presets)), "New Folder (1)");
    EXPECT_EQ(port.Log, Log{"MakeDirectory \\presets\\New Folder (1)"});
    const PVirtualNode added = Node("New Folder (1)");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(SelectedNames(), std::vector<std::string>{"New Folder (1)"});
    EXPECT_EQ(tree.FocusedNode(), added);
    EXPECT_EQ(tree.Edited, std::vector<PVirtualNode>{added});
    EXPECT_EQ(tree.LoadedNodes().Find(ListOf({"presets", "New Folder (1)"})), added);

    port.Log.clear();
    EXPECT_TRUE(tree.CreateNewFolder(ListOf({"missing"})).empty());
    EXPECT_TRUE(port.Log.empty());

    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions().Without(TVTMiscOption::toEditable));
    EXPECT_THROW(tree.CreateNewFolder(presets), EVirtualTreeAssertion);
}

TEST_F(ExplorerActionsTest, DropGoesToTheItemUnderThePointWithTheEffectOfTheButton) {
    struct Case {
        std::uint32_t keyState;
        std::uint32_t dropped;
    };
    // A right-button drag lets the shell offer copy, move and link; a left one drops as the last move said.
    for (const Case& c : {Case{kKeyStateRightButton, kDropEffectAll}, Case{kKeyStateLeftButton, 2}}) {
        SCOPED_TRACE(c.keyState);
        port.Log.clear();
        port.TargetEffect = 2;
        const TTreeMousePoint sub = TextPoint("sub");
        std::uint32_t effect = 7;
        tree.ShellDragEnter(nullptr, c.keyState, sub, sub, effect);
        EXPECT_EQ(effect, 0u) << "no data object: the item is not asked";
        int data = 0;
        effect = 7;
        tree.ShellDragEnter(reinterpret_cast<IDataObject*>(&data), c.keyState, sub, sub, effect);
        EXPECT_EQ(effect, 2u);
        effect = 7;
        tree.ShellDragOver(c.keyState, sub, sub, effect);
        const TTreeMousePoint a = TextPoint("a.ker");
        tree.ShellDragOver(c.keyState, a, a, effect);
        tree.ShellDragOver(c.keyState, sub, sub, effect);
        EXPECT_TRUE(tree.ShellDragging());
        effect = 1;
        tree.ShellDragDrop(reinterpret_cast<IDataObject*>(&data), 0, sub, sub, effect);
        EXPECT_EQ(port.DroppedEffect, c.dropped);
        EXPECT_FALSE(tree.ShellDragging());
        EXPECT_EQ(port.Log,
                  (Log{"DragEnter sub", "DragOver sub", "DragEnter a.ker", "DragLeave sub", "DragOver a.ker",
                       "DragEnter sub", "DragLeave a.ker", "DragOver sub", "Drop sub"}));
    }
    SetReadOnly(true);
    port.Log.clear();
    std::uint32_t effect = 7;
    const TTreeMousePoint sub = TextPoint("sub");
    tree.ShellDragEnter(nullptr, kKeyStateLeftButton, sub, sub, effect);
    tree.ShellDragDrop(nullptr, 0, sub, sub, effect);
    EXPECT_EQ(effect, 0u);
    EXPECT_TRUE(port.Log.empty());
}

TEST_F(ExplorerActionsTest, DoubleClickRunsTheSelectedItemOnlyWhenAllowed) {
    Select({"a.ker"}, "a.ker");
    const TTreeMousePoint a = TextPoint("a.ker");
    ShellExecuteEnabled = false;
    tree.DoubleClickAt(a.X, a.Y);
    EXPECT_TRUE(port.Log.empty());
    ShellExecuteEnabled = true;
    tree.DoubleClickAt(a.X, a.Y);
    const TTreeMousePoint b = TextPoint("b.ker");
    tree.DoubleClickAt(b.X, b.Y);
    ShellExecuteEnabled = false;
    EXPECT_EQ(port.Log, Log{"Execute a.ker folder"});
}

} // namespace
} // namespace tarvola::test
