// The extended list's drags over an in-memory namespace and a recording shell port: which item (or the
// folder shown) a drag over the native list goes to, what it is told and with which effect it drops, the
// drop highlight, a drag out of the list, the auto-scroll steps and the colour of compressed items.
#include "explorer/VirtualExplorerListviewEx.h"
#include "tests/explorer/ExplorerShellFixture.h"
#include "tree/TreeOptions.h"

#include <gtest/gtest.h>

#include <set>

namespace tarvola::test {
namespace {

using Log = std::vector<std::string>;

// A native list that records which items were painted again.
class TRepaintRecordingList : public IShadowListPort {
public:
    std::set<int> Repainted;
    bool ShadowHasWindow() const override { return true; }
    void ShadowSetItemCount(int) override {}
    void ShadowClearSelection() override { Selection.clear(); }
    void ShadowSelectItem(int index, bool selected) override {
        if (selected)
            Selection.insert(index);
        else
            Selection.erase(index);
    }
    void ShadowSelectAll() override {}
    std::vector<int> ShadowSelectedItems() override { return {Selection.begin(), Selection.end()}; }
    int ShadowFocusedItem() override { return -1; }
    void ShadowFocusItem(int) override {}
    void ShadowInvalidateItem(int index) override { Repainted.insert(index); }
    void ShadowRepaint() override {}
    void ShadowApplyStyle(TViewStyleEx) override {}
    void ShadowUpdateColumnWidth() override {}
    bool ShadowEditItem(int) override { return false; }
    std::set<int> Selection;
};

class ExplorerListviewExDropTest : public testing::Test {
protected:
    ExplorerListviewExDropTest() {
        for (const char* path : {"\\presets\\sub\\", "\\presets\\a.ker", "\\presets\\b.ker"})
            shell.Add(path);
        port.Namespace = &shell;
        list.SetShellPort(&port);
        list.SetShadowPort(&shadow);
        list.SetViewStyle(TViewStyleEx::vsxList);
        list.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
        list.SetRootFolderCustomPath(u"\\presets");
        list.SetActive(true);
    }
    int IndexOf(const std::string& name) {
        for (int i = 0; i < list.ItemCount(); ++i)
            if (IExplorerItem* item = list.NodeItem(list.GetNodeByIndex(i));
                Narrow(item->NameNormal()) == name)
                return i;
        return -1;
    }
    IDataObject* Data() { return reinterpret_cast<IDataObject*>(&data); }

    TMemoryNamespace shell;
    TRecordingShellPort port;
    TRepaintRecordingList shadow;
    TVirtualExplorerListviewExCore list{shell};
    int data = 0;
};

constexpr std::uint32_t kLeft = kKeyStateLeftButton;
constexpr std::uint32_t kRight = kKeyStateRightButton;

TEST_F(ExplorerListviewExDropTest, ADragGoesToTheItemUnderThePointerOrTheFolderShown) {
    const int sub = IndexOf("sub");
    const int a = IndexOf("a.ker");
    port.TargetEffect = 2;
    std::uint32_t effect = 7;
    list.ListDragEnter(Data(), kLeft, sub, 0, 0, effect);
    EXPECT_EQ(effect, 2u);
    EXPECT_EQ(list.ListDropTarget(), sub);
    EXPECT_EQ(list.ListDropHighlight(), sub);
    // The background, then past the last item, mean the folder shown; then back onto an item.
    effect = 7;
    list.ListDragOver(kLeft, -1, 0, 0, effect);
    EXPECT_EQ(list.ListDropTarget(), TCustomVirtualExplorerListviewEx::kListBackgroundTarget);
    EXPECT_EQ(list.ListDropHighlight(), -1);
    list.ListDragOver(kLeft, list.ItemCount(), 0, 0, effect);
    list.ListDragOver(kLeft, a, 0, 0, effect);
    EXPECT_EQ(port.Log,
              (Log{"DragEnter sub", "DragOver sub", "DragLeave sub", "DragEnter presets", "DragOver presets",
                   "DragOver presets", "DragLeave presets", "DragEnter a.ker", "DragOver a.ker"}));
    EXPECT_TRUE(shadow.Repainted.contains(sub) && shadow.Repainted.contains(a));
    // A target that refuses is not highlighted.
    port.TargetEffect = 0;
    list.ListDragOver(kLeft, sub, 0, 0, effect);
    EXPECT_EQ(list.ListDropTarget(), sub);
    EXPECT_EQ(list.ListDropHighlight(), -1);
    EXPECT_EQ(effect, 0u);
    // Leaving forgets the drag.
    port.Log.clear();
    list.ListDragLeave();
    EXPECT_EQ(port.Log, Log{"DragLeave sub"});
    EXPECT_EQ(list.ListDropTarget(), TCustomVirtualExplorerListviewEx::kListNoDropTarget);
    effect = 7;
    list.ListDragOver(kLeft, a, 0, 0, effect);
    EXPECT_EQ(effect, 0u) << "no drag in progress";
}

TEST_F(ExplorerListviewExDropTest, TheDropGoesToTheTargetWithTheEffectOfTheButton) {
    struct TCase {
        std::uint32_t KeyState;
        int Target; // -1: the background
        std::string Dropped;
        std::uint32_t Effect;
    };
    // A right-button drag lets the shell ask for copy, move or link; a left one drops as the last move said.
    const TCase cases[] = {{kLeft, IndexOf("sub"), "Drop sub", 2},
                           {kRight, IndexOf("sub"), "Drop sub", kDropEffectAll},
                           {kLeft, -1, "Drop presets", 2}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Dropped + " " + std::to_string(c.KeyState));
        port.Log.clear();
        port.TargetEffect = 2;
        port.DroppedEffect = 0xFFFF;
        std::uint32_t effect = 7;
        list.ListDragEnter(Data(), c.KeyState, c.Target, 0, 0, effect);
        effect = 7;
        EXPECT_EQ(list.ListDrop(Data(), 0, c.Target, 0, 0, effect), 0);
        EXPECT_EQ(port.Log.back(), c.Dropped);
        EXPECT_EQ(port.DroppedEffect, c.Effect);
        EXPECT_EQ(list.ListDropTarget(), TCustomVirtualExplorerListviewEx::kListNoDropTarget);
    }
    // A target that refused takes no drop.
    port.Log.clear();
    port.TargetEffect = 0;
    std::uint32_t effect = 7;
    list.ListDragEnter(Data(), kLeft, IndexOf("a.ker"), 0, 0, effect);
    effect = 7;
    list.ListDrop(Data(), 0, IndexOf("a.ker"), 0, 0, effect);
    EXPECT_EQ(effect, 0u);
    EXPECT_EQ(port.Log, (Log{"DragEnter a.ker", "DragOver a.ker", "DragLeave a.ker"}));
}

TEST_F(ExplorerListviewExDropTest, ReadOnlyListsAndListsWithoutDropsRefuseWithoutAskingTheShell) {
    struct TCase {
        bool ReadOnly;
        bool AcceptDrops;
        bool WithData;
    };
    for (const TCase& c : {TCase{true, true, true}, TCase{false, false, true}, TCase{false, true, false}}) {
        list.MiscOptions = c.ReadOnly ? list.MiscOptions.With(TVETMiscOption::toVETReadOnly)
                                      : list.MiscOptions.Without(TVETMiscOption::toVETReadOnly);
        const TVTMiscOptions misc = list.TreeOptions().MiscOptions();
        list.TreeOptions().SetMiscOptions(c.AcceptDrops ? misc.With(TVTMiscOption::toAcceptOLEDrop)
                                                        : misc.Without(TVTMiscOption::toAcceptOLEDrop));
        port.Log.clear();
        std::uint32_t effect = 7;
        list.ListDragEnter(c.WithData ? Data() : nullptr, kLeft, IndexOf("sub"), 0, 0, effect);
        EXPECT_EQ(effect, 0u);
        effect = 7;
        list.ListDrop(Data(), 0, IndexOf("sub"), 0, 0, effect);
        EXPECT_EQ(effect, 0u);
        EXPECT_TRUE(port.Log.empty()) << c.ReadOnly << c.AcceptDrops << c.WithData;
    }
}

// The list's drag out: the window's starter runs with the list's selection in the tree, and a drag over
// the item it started from drops nowhere.
class TDraggingList : public TVirtualExplorerListviewExCore {
public:
    using TVirtualExplorerListviewExCore::TVirtualExplorerListviewExCore;
    std::function<void()> DuringDrag;
    bool StartSelectionDrag(bool right) override {
        if (DuringDrag)
            DuringDrag();
        return TVirtualExplorerListviewExCore::StartSelectionDrag(right);
    }
};

TEST_F(ExplorerListviewExDropTest, ADragStartsFromTheListsSelectionAndNeverDropsOntoItsOwnItem) {
    TMemoryNamespace otherShell;
    for (const char* path : {"\\presets\\sub\\", "\\presets\\a.ker", "\\presets\\b.ker"})
        otherShell.Add(path);
    TDraggingList dragging{otherShell};
    TRecordingShellPort otherPort;
    TRepaintRecordingList otherShadow;
    dragging.SetShellPort(&otherPort);
    dragging.SetShadowPort(&otherShadow);
    dragging.SetViewStyle(TViewStyleEx::vsxList);
    dragging.SetRootFolderCustomPath(u"\\presets");
    dragging.SetActive(true);
    std::vector<bool> started;
    dragging.SelectionDragStarter = [&](bool right) {
        started.push_back(right);
        return true;
    };
    const int sub = 0;
    otherShadow.Selection = {sub, 1};

    // Shell items drag only with drag and drop switched on.
    EXPECT_FALSE(dragging.ListBeginDrag(sub, false));
    EXPECT_TRUE(started.empty());
    dragging.ShellOptions = dragging.ShellOptions.With(TVETShellOption::toDragDrop);
    EXPECT_FALSE(dragging.ListBeginDrag(dragging.ItemCount(), false));

    std::uint32_t overStart = 7;
    std::uint32_t overOther = 0;
    int data = 0;
    dragging.DuringDrag = [&] {
        EXPECT_EQ(dragging.SelectedCount(), 2u);
        dragging.ListDragEnter(reinterpret_cast<IDataObject*>(&data), kLeft, sub, 0, 0, overStart);
        EXPECT_EQ(dragging.ListDropTarget(), TCustomVirtualExplorerListviewEx::kListNoDropTarget);
        overOther = 7;
        dragging.ListDragOver(kLeft, 1, 0, 0, overOther);
        dragging.ListDragLeave();
    };
    EXPECT_TRUE(dragging.ListBeginDrag(sub, true));
    EXPECT_EQ(started, std::vector<bool>{true});
    EXPECT_EQ(overStart, 0u);
    EXPECT_EQ(overOther, 1u);
    EXPECT_EQ(dragging.ListDragStartIndex(), -1);
    // Without a window to run it no drag starts.
    dragging.SelectionDragStarter = nullptr;
    dragging.DuringDrag = nullptr;
    EXPECT_FALSE(dragging.ListBeginDrag(sub, false));
}

TEST(ListAutoScrollStepTest, ScrollsTowardsTheEdgeByTwiceTheDepthIntoTheMargin) {
    struct TCase {
        int X;
        int Y;
        TListScrollStep Step;
    };
    // A client area of 200 x 100.
    const TCase cases[] = {
        {100, 50, {0, 0}},  {100, 0, {0, -40}}, {100, 19, {0, -2}}, {100, 20, {0, 0}},
        {100, 79, {0, 0}},  {100, 80, {0, 2}},  {100, 99, {0, 40}}, {0, 50, {-40, 0}},
        {199, 50, {40, 0}}, {5, 95, {-30, 32}}, {-1, 50, {0, 0}},   {100, 100, {0, 0}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ListAutoScrollStep(200, 100, c.X, c.Y), c.Step) << c.X << "," << c.Y;
    EXPECT_EQ(ListAutoScrollStep(0, 0, 0, 0), (TListScrollStep{0, 0}));
}

TEST_F(ExplorerListviewExDropTest, CompressedItemsTakeTheCompressedColour) {
    shell.Add("\\presets\\packed.ker").Compressed = true;
    shell.Add("\\presets\\packed\\").Compressed = true;
    list.RefreshTree(false);
    list.TextColors() = {0x000080, 0x008000, 0xFF0000};
    struct TCase {
        std::string Name;
        bool Selected;
        std::uint32_t Text;
    };
    const TCase cases[] = {{"packed.ker", false, 0xFF0000},
                           {"packed", false, 0xFF0000},
                           {"packed.ker", true, NoListColor},
                           {"a.ker", false, 0x008000}};
    for (const TCase& c : cases)
        EXPECT_EQ(list.ItemPaint(IndexOf(c.Name), c.Selected).Text, c.Text) << c.Name << c.Selected;
}

TEST_F(ExplorerListviewExDropTest, HintTextInShortAndLongForm) {
    shell.Add("\\presets\\dated.ker", 3000).Modified = "11.12.2026 08:40:12";
    shell.Add("\\presets\\sub\\").Modified = "10.12.2026 17:05:59";
    shell.Add("\\presets\\blank.ker");
    list.RefreshTree(false);
    struct TCase {
        std::string Name;
        bool Details;
        std::u16string Text;
    };
    // The dimensions of a thumbnail's picture are not known here: the short form starts with a bare line.
    const TCase cases[] = {
        {"dated.ker", false, u"\r3 KB\r11.12.2026 08:40"},
        {"dated.ker", true, u"dated.ker\r3 KB\r11.12.2026 08:40"},
        {"sub", false, u"\r\r10.12.2026 17:05"},
        {"sub", true, u"sub\r10.12.2026 17:05"},
        {"blank.ker", true, u"blank.ker\r0 KB"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(list.ItemHintText(IndexOf(c.Name), c.Details), c.Text) << c.Name << c.Details;
    // Nothing at all makes no text, not two bare lines.
    shell.Add("\\presets\\nothing\\");
    list.RefreshTree(false);
    EXPECT_EQ(list.ItemHintText(IndexOf("nothing"), false), u"");
    EXPECT_EQ(list.ItemHintText(list.ItemCount(), true), u"");
}

} // namespace
} // namespace tarvola::test
