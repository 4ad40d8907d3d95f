// The extended explorer list on a form under Wine: a fixture folder shown through the native owner-data
// list in list style, driven with real messages. With TARVOLA_LIST_SHOTS naming a folder, the test of the
// styles also writes a picture of each style there.
#include "explorer/BitmapFile.h"
#include "explorer/VirtualExplorerListviewExControl.h"
#include "forms/Form.h"
#include "tests/shell/ShellLayerFixture.h"
#include "tests/support/MessagePump.h"
#include "tree/DrawingHelpersWin32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace tarvola::test {
namespace {

class ExplorerListviewExControlTest : public ShellLayerTest {
protected:
    void SetUp() override {
        ShellLayerTest::SetUp();
        MakeTree();
        form.SetBounds(0, 0, 520, 360);
        list.SetParent(&form);
        list.SetBounds(8, 8, 500, 320);
        list.SetViewStyle(TViewStyleEx::vsxList);
        list.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
        list.OnClick = [this](TObject&) { ++clicks; };
        list.OnDblClick = [this](TObject&) { ++doubleClicks; };
        list.OnRootChange = [this](TObject&) { ++rootChanges; };
        list.SetRootFolderCustomPath(WidePath(folder.Path()));
        form.Show();
        PumpFor(100ms);
    }

    HWND ListWindow() const { return list.ShadowList().Handle(); }
    int Count() const { return static_cast<int>(SendMessageW(ListWindow(), LVM_GETITEMCOUNT, 0, 0)); }
    std::u16string Caption(int index) const {
        wchar_t buffer[260] = {};
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = buffer;
        item.cchTextMax = 260;
        SendMessageW(ListWindow(), LVM_GETITEMTEXTW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        return reinterpret_cast<const char16_t*>(buffer);
    }
    int IndexOf(const std::u16string& caption) const {
        for (int i = 0; i < Count(); ++i)
            if (Caption(i) == caption)
                return i;
        return -1;
    }
    void Select(int index, bool selected) {
        LVITEMW item{};
        item.state = selected ? LVIS_SELECTED : 0;
        item.stateMask = LVIS_SELECTED;
        SendMessageW(ListWindow(), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
    }
    int Focused() const {
        return static_cast<int>(
            SendMessageW(ListWindow(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    }
    int SelectedCount() const {
        return static_cast<int>(SendMessageW(ListWindow(), LVM_GETSELECTEDCOUNT, 0, 0));
    }
    POINT ItemCentre(int index) const {
        RECT rect{};
        rect.left = LVIR_LABEL;
        SendMessageW(ListWindow(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&rect));
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    void Key(WPARAM key) {
        SendMessageW(ListWindow(), WM_KEYDOWN, key, 1);
        SendMessageW(ListWindow(), WM_KEYUP, key, 0xC0000001);
        PumpPending();
    }
    std::u16string Root() {
        const WideString path = list.RootPath();
        return std::u16string(path.begin(), path.end());
    }

    TForm form{nullptr};
    TVirtualExplorerListviewEx& list = form.Create<TVirtualExplorerListviewEx>();
    int clicks = 0;
    int doubleClicks = 0;
    int rootChanges = 0;
};

TEST_F(ExplorerListviewExControlTest, ShowsTheFolderThroughTheNativeList) {
    EXPECT_TRUE(IsWindowVisible(ListWindow()));
    EXPECT_FALSE(IsWindowVisible(list.Handle())) << "the tree window hides outside report style";
    ASSERT_EQ(Count(), 6);
    EXPECT_EQ(Caption(0), u"empty");
    EXPECT_EQ(Caption(1), u"sub");
    EXPECT_EQ(IndexOf(u"b.ker"), 3);
    EXPECT_EQ(Focused(), 0);
    EXPECT_GE(rootChanges, 1);
    EXPECT_GE(TShadowListView::CommonControlsVersion().first, 5);
    EXPECT_EQ(SendMessageW(ListWindow(), LVM_GETUNICODEFORMAT, 0, 0), TRUE);
}

TEST_F(ExplorerListviewExControlTest, SelectionMirrorsIncludingRangesAndClearing) {
    Select(IndexOf(u"b.ker"), true);
    EXPECT_EQ(list.GetSelectedFileName(), u"b.ker");
    EXPECT_EQ(list.GetSelectedPath(), Path("b.ker"));
    Select(-1, true);
    EXPECT_EQ(list.Tree().SelectedCount(), 6u);
    Select(-1, false);
    EXPECT_EQ(list.Tree().SelectedCount(), 0u);
    EXPECT_TRUE(list.GetSelectedFileName().empty());
    // From the tree: a browse to a file selects it in the list.
    ASSERT_TRUE(list.BrowseToPath(Path("sub") + u"\\inner.dat", true, true, false, false));
    EXPECT_EQ(Root(), std::u16string(Path("sub")));
    EXPECT_EQ(SelectedCount(), 1);
    EXPECT_EQ(Focused(), 0);
}

TEST_F(ExplorerListviewExControlTest, ClicksReachTheOwnerAndBrowse) {
    const POINT file = ItemCentre(IndexOf(u"a.txt"));
    SendMessageW(ListWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(file.x, file.y));
    SendMessageW(ListWindow(), WM_LBUTTONUP, 0, MAKELPARAM(file.x, file.y));
    PumpPending();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list.GetSelectedFileName(), u"a.txt");
    const int changes = rootChanges;
    const POINT sub = ItemCentre(IndexOf(u"sub"));
    SendMessageW(ListWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(sub.x, sub.y));
    SendMessageW(ListWindow(), WM_LBUTTONUP, 0, MAKELPARAM(sub.x, sub.y));
    SendMessageW(ListWindow(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(sub.x, sub.y));
    SendMessageW(ListWindow(), WM_LBUTTONUP, 0, MAKELPARAM(sub.x, sub.y));
    PumpPending();
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(Root(), std::u16string(Path("sub")));
    EXPECT_GT(rootChanges, changes);
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(Caption(0), u"inner.dat");
}

TEST_F(ExplorerListviewExControlTest, KeysBrowseRefreshAndSearch) {
    list.SetFocus();
    Select(IndexOf(u"sub"), true);
    Key(VK_RETURN);
    EXPECT_EQ(Root(), std::u16string(Path("sub")));
    Key(VK_BACK);
    EXPECT_EQ(Root(), std::u16string(WidePath(folder.Path())));
    EXPECT_EQ(Count(), 6);
    // F5 shows what came meanwhile; a deletion shrinks the list again.
    folder.Write("new.ker", "n");
    Key(VK_F5);
    EXPECT_EQ(Count(), 7);
    std::filesystem::remove(folder.Path() / "new.ker");
    list.RefreshTree(false);
    EXPECT_EQ(Count(), 6);
    // Typed search moves the focus to the first match.
    SendMessageW(ListWindow(), WM_CHAR, 'c', 1);
    PumpPending();
    EXPECT_EQ(Focused(), IndexOf(u"c.bin"));
}

TEST_F(ExplorerListviewExControlTest, WideNamesShowAsTheyAre) {
    const std::u16string name = u"\u97F3\u58F0 \u00C4rger \U0001D11E.ker";
    std::ofstream(folder.Path() / std::filesystem::path(std::wstring(name.begin(), name.end()))) << "x";
    list.RefreshTree(false);
    EXPECT_GE(IndexOf(name), 0);
}

void WriteShot(const std::string& directory, const std::string& name, HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    TPixelImage image;
    image.Width = width;
    image.Height = height;
    image.Pixels = BitmapPixels(bitmap, width, height);
    image.Pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const std::vector<std::uint8_t> bytes = EncodeBmp(image);
    std::ofstream(directory + "/" + name + ".bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST_F(ExplorerListviewExControlTest, StylesKeepSelectionAndFocus) {
    folder.Write("photo.jpg", "not really a picture");
    list.TextColors() = {0x00A00000, 0x00006000, 0x000000FF};
    list.RefreshTree(false);
    const int b = IndexOf(u"b.ker");
    const int c = IndexOf(u"c.bin");
    Select(b, true);
    Select(c, true);
    LVITEMW focus{};
    focus.state = LVIS_FOCUSED;
    focus.stateMask = LVIS_FOCUSED;
    SendMessageW(ListWindow(), LVM_SETITEMSTATE, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&focus));
    const char* shots = std::getenv("TARVOLA_LIST_SHOTS");
    const std::pair<TViewStyleEx, const char*> styles[] = {{TViewStyleEx::vsxIcon, "icon"},
                                                           {TViewStyleEx::vsxSmallIcon, "smallicon"},
                                                           {TViewStyleEx::vsxReport, "report"},
                                                           {TViewStyleEx::vsxThumbs, "thumbs"},
                                                           {TViewStyleEx::vsxList, "list"}};
    for (const auto& [style, name] : styles) {
        list.SetViewStyle(style);
        PumpFor(150ms);
        if (style == TViewStyleEx::vsxReport) {
            EXPECT_TRUE(IsWindowVisible(list.Handle()));
            EXPECT_FALSE(IsWindowVisible(ListWindow()));
            EXPECT_EQ(list.Tree().SelectedCount(), 2u) << name;
        } else {
            EXPECT_TRUE(IsWindowVisible(ListWindow())) << name;
            EXPECT_EQ(SelectedCount(), 2) << name;
            EXPECT_EQ(Focused(), c) << name;
        }
        if (shots != nullptr) {
            RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            PumpFor(300ms);
            WriteShot(shots, name, form.Handle());
        }
    }
}

} // namespace
} // namespace tarvola::test
