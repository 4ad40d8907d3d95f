// The explorer list's native list under Wine: OLE drags over it reach the folder item under the pointer or
// the folder shown, with the target painted as such; a drag out of it starts from the list's own
// begin-drag notification and carries the shell's data object of the selection; a cut item's icon is
// drawn again blended with the list's colour; detailed hints show an item's icon and details; the arrow keys
// of the icon style move through the grid. Wine's folder drop target takes a drop without copying anything,
// so the drops are checked by the effects the folders answer, not on the disk.
#include "explorer/VirtualExplorerListviewExControl.h"
#include "forms/Form.h"
#include "tests/shell/ShellLayerFixture.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

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
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (data->GetData(&format, &medium) == S_OK) {
        auto drop = static_cast<HDROP>(medium.hGlobal);
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            wchar_t name[MAX_PATH] = L"";
            DragQueryFileW(drop, i, name, MAX_PATH);
            dragSeen.Files.push_back(std::filesystem::path(name).filename().wstring());
        }
        ReleaseStgMedium(&medium);
    }
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
