// The explorer list's native list under Wine: OLE drags over it reach the folder item under the pointer or
// the folder shown, with the target painted as such; a drag out of it starts from the list's own
// begin-drag notification and carries the shell's data object of the selection; a cut item's icon is
// drawn again blended with the list's colour; detailed hints show an item's icon and details; the arrow keys
// of the icon style move through the grid, and with Shift they and clicks select rectangles of items; the
// report style highlights picture files as the other styles do. Wine's
// folder drop target takes a drop without copying anything, so the drops are checked by the effects the
// folders answer, not on the disk.
#include "explorer/VirtualExplorerListviewEx.h"
#include "explorer/VirtualExplorerListviewExControl.h"
#include "explorer/VirtualExplorerListviewExThumbnails.h"
#include "forms/Form.h"
#include "tests/explorer/DroppedFiles.h"
#include "tests/shell/ShellLayerFixture.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace tarvola::test {
namespace {

class ShadowListViewWindowTest : public ShellLayerTest {
protected:
    void SetUp() override {
        ShellLayerTest::SetUp();
        MakeTree();
        form.SetBounds(0, 0, 520, 360);
        list.SetParent(&form);
        list.SetBounds(8, 8, 500, 320);
        list.SetViewStyle(TViewStyleEx::vsxList);
        list.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders, TFileObject::foHidden});
        list.SetRootFolderCustomPath(WidePath(folder.Path()));
        form.Show();
        PumpFor(100ms);
    }

    HWND ListWindow() const { return list.ShadowList().Handle(); }
    int Count() const { return static_cast<int>(SendMessageW(ListWindow(), LVM_GETITEMCOUNT, 0, 0)); }
    int IndexOf(const std::u16string& caption) {
        for (int i = 0; i < Count(); ++i)
            if (list.Core().ItemCaption(i) == caption)
                return i;
        return -1;
    }
    RECT ItemRect(int index, int part) const {
        RECT rect{};
        rect.left = part;
        SendMessageW(ListWindow(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    POINTL ScreenPointOfItem(int index) const {
        const RECT label = ItemRect(index, LVIR_LABEL);
        POINT point{(label.left + label.right) / 2, (label.top + label.bottom) / 2};
        ClientToScreen(ListWindow(), &point);
        return POINTL{point.x, point.y};
    }
    POINTL ScreenPointOfBackground() const {
        RECT client{};
        GetClientRect(ListWindow(), &client);
        POINT point{client.right - 30, client.bottom - 30};
        ClientToScreen(ListWindow(), &point);
        return POINTL{point.x, point.y};
    }
    void Select(int index) {
        LVITEMW item{};
        item.state = LVIS_SELECTED;
        item.stateMask = LVIS_SELECTED;
        SendMessageW(ListWindow(), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
    }
    // The list's pixels as the screen shows them, after a full repaint.
    std::vector<COLORREF> Snapshot(RECT area) {
        RedrawWindow(ListWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        PumpFor(100ms);
        HDC dc = GetDC(ListWindow());
        std::vector<COLORREF> pixels;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(ListWindow(), dc);
        return pixels;
    }

    TForm form{nullptr};
    TVirtualExplorerListviewEx& list = form.Create<TVirtualExplorerListviewEx>();
};

// Wine's folder drop target answers no effect for files that are in that folder already, so the answers
// show which folder the drag went to.
TEST_F(ShadowListViewWindowTest, DragsGoToTheFolderItemUnderThePointerOrTheFolderShown) {
    IDropTarget* target = list.ShadowList().ListDropTarget();
    ASSERT_NE(target, nullptr);
    const int sub = IndexOf(u"sub");
    const int empty = IndexOf(u"empty");
    ASSERT_GE(sub, 0);
    ASSERT_GE(empty, 0);
    auto source = Item("c.bin");
    TComPtr<IDataObject> data = source->GetDataObjectOf({});
    ASSERT_TRUE(data);

    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(data.Get(), MK_LBUTTON, ScreenPointOfItem(sub), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    EXPECT_EQ(list.Core().ListDropHighlight(), sub);
    // The target is painted with the selection's colours though it is not selected.
    const std::vector<COLORREF> label = Snapshot(ItemRect(sub, LVIR_LABEL));
    EXPECT_NE(std::count(label.begin(), label.end(), GetSysColor(COLOR_HIGHLIGHT)), 0);

    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, ScreenPointOfBackground(), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << "c.bin is in the folder shown";
    EXPECT_EQ(list.Core().ListDropHighlight(), -1);
    const std::vector<COLORREF> after = Snapshot(ItemRect(sub, LVIR_LABEL));
    EXPECT_EQ(std::count(after.begin(), after.end(), GetSysColor(COLOR_HIGHLIGHT)), 0);

    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragOver(MK_LBUTTON | MK_CONTROL, ScreenPointOfItem(empty), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(data.Get(), MK_CONTROL, ScreenPointOfItem(empty), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(list.Core().ListDropHighlight(), -1);

    // A drag that leaves forgets its target.
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target->DragEnter(data.Get(), MK_LBUTTON, ScreenPointOfItem(sub), &effect);
    EXPECT_EQ(target->DragLeave(), S_OK);
    EXPECT_EQ(list.Core().ListDropHighlight(), -1);
}

// What the test's drag loop saw.
struct TDragSeen {
    int Loops = 0;
    DWORD Allowed = 0;
    std::vector<std::wstring> Files;
    HRESULT WhileHeld = E_FAIL;
    HRESULT Released = E_FAIL;
    HRESULT Escaped = E_FAIL;
};
TDragSeen dragSeen;

HRESULT WINAPI RecordingDragLoop(IDataObject* data, IDropSource* source, DWORD allowed, DWORD* effect) {
    ++dragSeen.Loops;
    dragSeen.Allowed = allowed;
    dragSeen.Files = DroppedFileNames(data);
    dragSeen.WhileHeld = source->QueryContinueDrag(FALSE, MK_LBUTTON);
    dragSeen.Released = source->QueryContinueDrag(FALSE, 0);
    dragSeen.Escaped = source->QueryContinueDrag(TRUE, MK_LBUTTON);
    *effect = DROPEFFECT_COPY;
    return DRAGDROP_S_DROP;
}

TEST_F(ShadowListViewWindowTest, ADragOutStartsFromTheListsBeginDragWithTheSelectedItems) {
    SetExplorerShellOption(list.Tree(), TVETShellOption::toDragDrop, true);
    list.ShadowList().DragLoop = RecordingDragLoop;
    dragSeen = {};
    const int a = IndexOf(u"a.txt");
    const int c = IndexOf(u"c.bin");
    Select(a);
    Select(c);
    const RECT label = ItemRect(c, LVIR_LABEL);
    const POINT at{(label.left + label.right) / 2, (label.top + label.bottom) / 2};
    SendMessageW(ListWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(ListWindow(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + 30, at.y + 30));
    SendMessageW(ListWindow(), WM_LBUTTONUP, 0, MAKELPARAM(at.x + 30, at.y + 30));
    PumpPending();
    ASSERT_EQ(dragSeen.Loops, 1);
    EXPECT_EQ(dragSeen.Allowed, static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK));
    std::sort(dragSeen.Files.begin(), dragSeen.Files.end());
    EXPECT_EQ(dragSeen.Files, (std::vector<std::wstring>{L"a.txt", L"c.bin"}));
    EXPECT_EQ(dragSeen.WhileHeld, S_OK);
    EXPECT_EQ(dragSeen.Released, DRAGDROP_S_DROP);
    EXPECT_EQ(dragSeen.Escaped, DRAGDROP_S_CANCEL);

    // Without drag and drop switched on no drag starts.
    SetExplorerShellOption(list.Tree(), TVETShellOption::toDragDrop, false);
    SendMessageW(ListWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(ListWindow(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + 30, at.y + 30));
    SendMessageW(ListWindow(), WM_LBUTTONUP, 0, MAKELPARAM(at.x + 30, at.y + 30));
    PumpPending();
    EXPECT_EQ(dragSeen.Loops, 1);
}

// Pixels with more red than half a blend with pure green leaves: an icon drawn plainly has them.
int UnblendedPixels(const std::vector<COLORREF>& pixels) {
    return static_cast<int>(
        std::count_if(pixels.begin(), pixels.end(), [](COLORREF pixel) { return GetRValue(pixel) > 140; }));
}

TEST_F(ShadowListViewWindowTest, ACutItemsIconIsDrawnHalfBlendedWithTheListsColour) {
    const int cut = IndexOf(u"a.txt");
    const int plain = IndexOf(u"readonly.txt");
    ASSERT_GE(cut, 0);
    ASSERT_GE(plain, 0);
    SendMessageW(ListWindow(), LVM_SETBKCOLOR, 0, RGB(0, 255, 0));
    EXPECT_GT(UnblendedPixels(Snapshot(ItemRect(cut, LVIR_ICON))), 0);
    // Ctrl+X marks the item cut.
    Select(cut);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(ListWindow(), WM_KEYDOWN, 'X', 1);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    PumpPending();
    ASSERT_TRUE(list.Core().ItemGhosted(cut));
    ASSERT_FALSE(list.Core().ItemGhosted(plain));
    EXPECT_GT(UnblendedPixels(Snapshot(ItemRect(plain, LVIR_ICON))), 0);
    EXPECT_EQ(UnblendedPixels(Snapshot(ItemRect(cut, LVIR_ICON))), 0);
}

// The list selects as the tree does: one item at a time unless the tree selects several (else the list
// showed several items selected while the tree kept one); a change of the tree's option is taken up when
// the style is set.
TEST_F(ShadowListViewWindowTest, TheListSelectsOneItemUnlessTheTreeSelectsSeveral) {
    const auto single = [&] { return (GetWindowLongPtrW(ListWindow(), GWL_STYLE) & LVS_SINGLESEL) != 0; };
    TCustomVirtualTreeOptions& options = list.Tree().TreeOptions();
    const bool multi = options.SelectionOptions().Has(TVTSelectionOption::toMultiSelect);
    EXPECT_EQ(single(), !multi);
    options.SetSelectionOptions(multi ? options.SelectionOptions().Without(TVTSelectionOption::toMultiSelect)
                                      : options.SelectionOptions().With(TVTSelectionOption::toMultiSelect));
    list.SetViewStyle(TViewStyleEx::vsxIcon);
    EXPECT_EQ(single(), multi);
    if (single()) {
        Select(0);
        Select(1);
        EXPECT_EQ(SendMessageW(ListWindow(), LVM_GETSELECTEDCOUNT, 0, 0), 1);
    }
}

TEST_F(ShadowListViewWindowTest, ArrowKeysOfTheIconStyleMoveThroughTheGrid) {
    list.SetViewStyle(TViewStyleEx::vsxIcon);
    PumpFor(100ms);
    list.SetFocus();
    const auto focused = [&] {
        return static_cast<int>(
            SendMessageW(ListWindow(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    };
    const auto position = [&](int index) {
        POINT point{};
        SendMessageW(ListWindow(), LVM_GETITEMPOSITION, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&point));
        return point;
    };
    const auto key = [&](WPARAM vk) {
        SendMessageW(ListWindow(), WM_KEYDOWN, vk, 1);
        SendMessageW(ListWindow(), WM_KEYUP, vk, 0xC0000001);
        PumpPending();
    };
    ASSERT_EQ(focused(), 0);
    key(VK_RIGHT);
    EXPECT_EQ(focused(), 1);
    // Down goes to the nearest item below (here the only one, first in its row), Up back to the nearest
    // above it.
    const POINT from = position(1);
    key(VK_DOWN);
    const int below = focused();
    ASSERT_GT(below, 1);
    EXPECT_GT(position(below).y, from.y);
    EXPECT_EQ(position(below).x, position(0).x) << "7 items, 6 to a row";
    key(VK_UP);
    EXPECT_EQ(focused(), 0);
    key(VK_RIGHT);
    EXPECT_EQ(focused(), 1);
    key(VK_LEFT);
    EXPECT_EQ(focused(), 0);
}

// Holds Shift down for the list's reading of the keyboard while it lives.
class TShiftHeld {
public:
    TShiftHeld() { Set(0x80); }
    ~TShiftHeld() { Set(0); }
    TShiftHeld(const TShiftHeld&) = delete;
    TShiftHeld& operator=(const TShiftHeld&) = delete;

private:
    static void Set(BYTE state) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = state;
        keys[VK_LSHIFT] = state;
        SetKeyboardState(keys);
    }
};

class ShadowListViewRectangleTest : public ShadowListViewWindowTest {
protected:
    void SetUp() override {
        ShadowListViewWindowTest::SetUp();
        list.SetViewStyle(TViewStyleEx::vsxIcon);
        PumpFor(100ms);
        list.SetFocus();
        // 7 items, 6 to a row: 0 1 2 3 4 5 over 6.
        ASSERT_EQ(Count(), 7);
        ASSERT_EQ(Position(6).x, Position(0).x);
        ASSERT_GT(Position(6).y, Position(0).y);
        ASSERT_EQ(Position(5).y, Position(0).y);
    }
    POINT Position(int index) const {
        POINT point{};
        SendMessageW(ListWindow(), LVM_GETITEMPOSITION, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&point));
        return point;
    }
    int Focused() const {
        return static_cast<int>(
            SendMessageW(ListWindow(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    }
    std::set<int> ListSelection() const {
        std::set<int> items;
        for (int index = -1;;) {
            index = static_cast<int>(
                SendMessageW(ListWindow(), LVM_GETNEXTITEM, static_cast<WPARAM>(index), LVNI_SELECTED));
            if (index < 0)
                return items;
            items.insert(index);
        }
    }
    // The items of the tree's selection, by their places in the list.
    std::set<int> TreeSelection() {
        std::set<int> items;
        TBaseVirtualTree& tree = list.Tree();
        for (PVirtualNode node = tree.GetFirstSelected(); node != nullptr; node = tree.GetNextSelected(node))
            items.insert(static_cast<int>(node->Index));
        return items;
    }
    int TreeFocus() {
        const PVirtualNode node = list.Tree().FocusedNode();
        return node != nullptr ? static_cast<int>(node->Index) : -1;
    }
    void Click(int index, WPARAM keys) {
        const RECT icon = ItemRect(index, LVIR_ICON);
        const LPARAM at = MAKELPARAM((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
        SendMessageW(ListWindow(), WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
        SendMessageW(ListWindow(), WM_LBUTTONUP, keys, at);
        PumpPending();
    }
    void Key(WPARAM vk) {
        SendMessageW(ListWindow(), WM_KEYDOWN, vk, 1);
        SendMessageW(ListWindow(), WM_KEYUP, vk, 0xC0000001);
        PumpPending();
    }
    // The tree selects and focuses one item and shows it in the list, as browsing does.
    void SelectFromTree(int index) {
        auto& core = dynamic_cast<TCustomVirtualExplorerListviewEx&>(list.Tree());
        const PVirtualNode node = core.GetNodeByIndex(index);
        core.ClearSelection();
        core.SetSelected(node, true);
        core.SetFocusedNode(node);
        core.SyncSelection(true);
        PumpPending();
    }
    // The list and the tree agree on the selection and the focus.
    void ExpectSelected(const std::set<int>& items, int focused) {
        EXPECT_EQ(ListSelection(), items);
        EXPECT_EQ(TreeSelection(), items);
        EXPECT_EQ(Focused(), focused);
        EXPECT_EQ(TreeFocus(), focused);
    }
};

TEST_F(ShadowListViewRectangleTest, ShiftClickSelectsTheRectangleFromTheAnchor) {
    int clicks = 0;
    list.OnClick = [&](TObject&) { ++clicks; };
    Click(1, 0);
    ExpectSelected({1}, 1);
    // From the only selected item to one in the next row: the rectangle, not the run of indexes 1 to 6.
    clicks = 0;
    Click(6, MK_SHIFT);
    ExpectSelected({0, 1, 6}, 6);
    EXPECT_EQ(clicks, 1) << "the owner hears of the click";
    // Several are selected now: the last click anchors.
    Click(3, MK_SHIFT);
    ExpectSelected({1, 2, 3}, 3);
    // A plain click starts over from its item.
    Click(4, 0);
    Click(5, MK_SHIFT);
    ExpectSelected({4, 5}, 5);
    // An item the tree selected anchors, not the one clicked before.
    Click(0, 0);
    SelectFromTree(3);
    ExpectSelected({3}, 3);
    Click(4, MK_SHIFT);
    ExpectSelected({3, 4}, 4);
}

TEST_F(ShadowListViewRectangleTest, ShiftArrowsMoveAndExtendTheRectangle) {
    Click(1, 0);
    ExpectSelected({1}, 1);
    {
        TShiftHeld shift;
        Key(VK_RIGHT);
        ExpectSelected({1, 2}, 2);
        Key(VK_RIGHT);
        ExpectSelected({1, 2, 3}, 3);
        Key(VK_LEFT);
        ExpectSelected({1, 2}, 2);
        // Down to the only item of the next row, which lies left of the anchor.
        Key(VK_DOWN);
        ExpectSelected({0, 1, 6}, 6);
        // An item the tree selected anchors.
        SelectFromTree(4);
        Key(VK_RIGHT);
        ExpectSelected({4, 5}, 5);
    }
    // Without Shift the arrow moves and selects its item alone.
    Key(VK_LEFT);
    ExpectSelected({4}, 4);
}

TEST_F(ShadowListViewRectangleTest, ShiftArrowsOfALeftAlignedArrangementGoWhereThePlainOnesGo) {
    const LONG_PTR style = GetWindowLongPtrW(ListWindow(), GWL_STYLE);
    SetWindowLongPtrW(ListWindow(), GWL_STYLE, (style & ~LVS_ALIGNMASK) | LVS_ALIGNLEFT);
    SendMessageW(ListWindow(), LVM_ARRANGE, LVA_DEFAULT, 0);
    PumpFor(100ms);
    // The items run down the columns: 0 and 1 share a column, 1 and 5 a row.
    ASSERT_EQ(Position(1).x, Position(0).x);
    ASSERT_GT(Position(1).y, Position(0).y);
    ASSERT_EQ(Position(5).y, Position(1).y);
    ASSERT_GT(Position(5).x, Position(1).x);
    Click(1, 0);
    Key(VK_DOWN);
    ASSERT_EQ(Focused(), 2);
    Click(1, 0);
    {
        TShiftHeld shift;
        Key(VK_DOWN);
        ExpectSelected({1, 2}, 2);
        Key(VK_RIGHT);
        ExpectSelected({1, 2, 5, 6}, 6);
    }
}

TEST_F(ShadowListViewWindowTest, DetailedHintsShowTheItemsIconNameAndSize) {
    list.ShadowList().SetDetailedHints(true);
    const int b = IndexOf(u"b.ker");
    const RECT label = ItemRect(b, LVIR_LABEL);
    SendMessageW(ListWindow(), WM_MOUSEMOVE, 0, MAKELPARAM(label.left + 2, label.top + 2));
    THintController* hints = list.ShadowList().HintController();
    ASSERT_NE(hints, nullptr);
    hints->ActivateHintAt(TPoint{label.left + 2, label.top + 2});
    ASSERT_TRUE(hints->HintShowing());
    auto* window = dynamic_cast<TListBitmapHint*>(hints->HintWindow());
    ASSERT_NE(window, nullptr);
    // The name, the size and the date, one to a line.
    EXPECT_EQ(window->Caption().rfind(L"b.ker\r", 0), 0u);
    EXPECT_EQ(std::count(window->Caption().begin(), window->Caption().end(), L'\r'), 2);
    // Room for the large icon beside the text.
    const TRect bounds = window->BoundsRect();
    EXPECT_GE(bounds.Height(), 32 + 8);
    EXPECT_GT(bounds.Width(), 32 + 16);
    hints->CancelHint();
    // Off again: the list's own tooltips come back and no hint of ours shows.
    list.ShadowList().SetDetailedHints(false);
    EXPECT_EQ(list.ShadowList().HintController(), nullptr);
    EXPECT_NE(SendMessageW(ListWindow(), LVM_GETTOOLTIPS, 0, 0), 0);
}

TEST_F(ShadowListViewWindowTest, TheReportStyleHighlightsPictureFilesAsTheOtherStylesDo) {
    folder.Write("p.jpg", "not really a picture");
    list.ThumbsOptions().Options.Highlight = TThumbnailHighlight::thSingleColor;
    list.ThumbsOptions().Options.HighlightColor = RGB(0, 200, 0);
    list.RebuildTree();
    list.SetViewStyle(TViewStyleEx::vsxReport);
    PumpFor(100ms);
    TBaseVirtualTree& tree = list.Tree();
    const auto rowTop = [&](const std::wstring& name) {
        for (PVirtualNode node = tree.GetFirstChild(tree.RootNode()); node != nullptr;
             node = tree.GetNextSibling(node)) {
            std::wstring text;
            tree.GetTextInfo(node, NoColumn, text);
            if (text == name)
                return tree.GetDisplayRect(node, NoColumn, false).Top;
        }
        return -1;
    };
    const int picture = rowTop(L"p.jpg");
    const int other = rowTop(L"a.txt");
    ASSERT_GE(picture, 0);
    ASSERT_GE(other, 0);
    RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpFor(100ms);
    HDC dc = GetDC(list.Handle());
    const auto highlighted = [&](int y) {
        int count = 0;
        for (int x = 0; x < 480; ++x)
            count += GetPixel(dc, x, y) == RGB(0, 200, 0) ? 1 : 0;
        return count;
    };
    const int onPicture = highlighted(picture + 1);
    const int onOther = highlighted(other + 1);
    ReleaseDC(list.Handle(), dc);
    // The picture's row is filled across its cells; another file's is not.
    EXPECT_GT(onPicture, 200);
    EXPECT_EQ(onOther, 0);
}

TEST_F(ShadowListViewWindowTest, TheReportStyleHighlightsTheWholeNameOfASelectedItem) {
    Select(IndexOf(u"b.ker"));
    list.SetViewStyle(TViewStyleEx::vsxReport);
    list.SetFocus();
    TBaseVirtualTree& tree = list.Tree();
    PVirtualNode node = tree.GetFirstChild(tree.RootNode());
    for (std::wstring text; node != nullptr; node = tree.GetNextSibling(node)) {
        tree.GetTextInfo(node, NoColumn, text);
        if (text == L"b.ker")
            break;
    }
    ASSERT_NE(node, nullptr);
    ASSERT_TRUE(tree.Selected(node));
    RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpFor(100ms);
    const TTreeRect row = tree.GetDisplayRect(node, NoColumn, false);
    ASSERT_GT(row.Bottom, row.Top);
    // Along the row's top line in the name's column: as wide as the name, not a letter's width.
    HDC dc = GetDC(list.Handle());
    int highlighted = 0;
    for (int x = 0; x < 180; ++x)
        highlighted += GetPixel(dc, x, row.Top + 1) == GetSysColor(COLOR_HIGHLIGHT) ? 1 : 0;
    ReleaseDC(list.Handle(), dc);
    EXPECT_GT(highlighted, 25);
}

} // namespace
} // namespace tarvola::test
