#include "tests/shell/ShellLayerFixture.h"

#include <cmath>

namespace tarvola::test {
namespace {

// A plain window to press the mouse in.
class TWindow {
public:
    TWindow() {
        handle = CreateWindowExW(0, L"STATIC", L"drag", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~TWindow() { DestroyWindow(handle); }
    HWND handle;
};

void Drain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

TEST(DetectDragStart, LeavingTheBoxStartsADrag) {
    TWindow window;
    ASSERT_NE(window.handle, nullptr);
    Drain();
    const int outside = GetSystemMetrics(SM_CXDRAG) + 5;
    PostMessageW(window.handle, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 50)); // inside the box
    PostMessageW(window.handle, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50 + outside, 50));
    EXPECT_TRUE(DetectDragStart(window.handle, POINT{50, 50}));
    EXPECT_NE(GetCapture(), window.handle); // it did not have the capture before
}

TEST(DetectDragStart, ReleaseEndsItAndIsPostedBack) {
    TWindow window;
    Drain();
    PostMessageW(window.handle, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(51, 50));
    PostMessageW(window.handle, WM_LBUTTONUP, 0, MAKELPARAM(51, 50));
    SetCapture(window.handle);
    EXPECT_FALSE(DetectDragStart(window.handle, POINT{50, 50}));
    EXPECT_EQ(GetCapture(), window.handle); // given back: it had the capture
    ReleaseCapture();
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, window.handle, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE));
    EXPECT_EQ(msg.lParam, MAKELPARAM(51, 50));
}

TEST(ShellHelpers, TimesAndTextExtents) {
    EXPECT_EQ(FileTimeToDateTime(FILETIME{}), 0.0);
    SYSTEMTIME noonUtc{2000, 1, 0, 1, 12, 0, 0, 0};
    FILETIME utc;
    ASSERT_TRUE(SystemTimeToFileTime(&noonUtc, &utc));
    FILETIME local;
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    const double days = FileTimeToDateTime(utc);
    // 1 January 2000 is day 36,526 of the date-time scale; the local offset moves it by under a day.
    EXPECT_GT(days, 36526.0 - 1);
    EXPECT_LT(days, 36527.0 + 1);

    const HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    const SIZE one = WideTextExtent(u"W", dc);
    const SIZE two = WideTextExtent(u"WW", dc);
    EXPECT_GT(one.cx, 0);
    EXPECT_GT(one.cy, 0);
    EXPECT_GT(two.cx, one.cx);
    EXPECT_EQ(WideTextExtent(u"", dc).cx, 0);
    DeleteDC(dc);
    static_assert(IsUnicode);
}

class ShellArraysTest : public ShellLayerTest {};

TEST_F(ShellArraysTest, ItemArrays) {
    MakeTree();
    const auto a = Item("a.txt");
    const auto b = Item("b.ker");
    const TNamespaceArray items{a.get(), b.get()};
    EXPECT_EQ(NamespaceToAbsolutePIDLs(items), (TPIDLArray{a->AbsolutePIDL(), b->AbsolutePIDL()}));
    EXPECT_EQ(NamespaceToRelativePIDLs(items), (TPIDLArray{a->RelativePIDL(), b->RelativePIDL()}));
    EXPECT_TRUE(AllCanDelete(items));
    EXPECT_FALSE(AllCanDelete({}));
    EXPECT_FALSE(AllHavePropSheet({}));
    EXPECT_TRUE(AnyItems(items));
    EXPECT_FALSE(AnyItems({}));
    PItemIDList myDocuments = MyDocumentsPIDL();
    EXPECT_NE(myDocuments, nullptr);
    TShellLayer::Get().PIDLMgr().FreePIDL(myDocuments);
}

} // namespace
} // namespace tarvola::test
