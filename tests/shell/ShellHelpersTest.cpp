#include "tests/shell/ShellLayerFixture.h"
#include "tests/support/WindowDriver.h"

#include <cmath>
#include <string>
#include <vector>

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

TEST(ShellHelpers, TextExtentsInAFontAndOnACanvas) {
    TFont small;
    small.SetHeight(-11);
    TFont large;
    large.SetHeight(-30);
    const WideString text = u"W\u00e9\u4e2d"; // beyond any single-byte code page
    const SIZE inSmall = WideFontTextExtent(text, small);
    const SIZE inLarge = WideFontTextExtent(text, large);
    EXPECT_GT(inSmall.cx, 0);
    EXPECT_GT(inLarge.cx, inSmall.cx);
    EXPECT_GT(inLarge.cy, inSmall.cy);

    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ selectedBefore = GetCurrentObject(dc, OBJ_FONT);
    {
        TCanvas canvas(dc);
        canvas.Font.Assign(large);
        const SIZE onCanvas = WideCanvasTextExtent(text, &canvas);
        EXPECT_EQ(onCanvas.cx, inLarge.cx);
        EXPECT_EQ(onCanvas.cy, inLarge.cy);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), selectedBefore) << "the canvas keeps its objects";
        EXPECT_EQ(WideCanvasTextExtent(u"", &canvas).cx, 0);
    }
    DeleteDC(dc);
    EXPECT_EQ(WideCanvasTextExtent(text, nullptr).cx, 0);
    EXPECT_EQ(WideFontTextExtent(u"", large).cy, 0);
}

// Keeps the text of the box's child that shows the message (the one holding "where").
BOOL CALLBACK KeepMessageText(HWND child, LPARAM found) {
    wchar_t text[256] = {};
    GetWindowTextW(child, text, 256);
    if (std::wstring(text).find(L"where") != std::wstring::npos)
        *reinterpret_cast<std::wstring*>(found) = text;
    return TRUE;
}

// Records the messages and answers for the user; installed for its lifetime.
class TScriptedWideMessages final : public TWideMessageSeam {
public:
    TScriptedWideMessages() : previous_(SetWideMessages(this)) {}
    ~TScriptedWideMessages() override { SetWideMessages(previous_); }
    int Show(const TWideMessage& message) override {
        shown.push_back(message);
        return IDOK;
    }
    std::vector<TWideMessage> shown;

private:
    TWideMessageSeam* previous_;
};

TEST(ShellHelpers, WideMessageBoxGoesThroughTheSeam) {
    const HWND owner = GetDesktopWindow();
    {
        TScriptedWideMessages scripted;
        EXPECT_EQ(WideMessageBox(owner, u"Invalid Path", u"\u201cC:\\n\u00f6where\u201d"), IDOK);
        ASSERT_EQ(scripted.shown.size(), 1u);
        EXPECT_EQ(scripted.shown[0].owner, owner);
        EXPECT_EQ(scripted.shown[0].caption, u"Invalid Path");
        EXPECT_EQ(scripted.shown[0].text, u"\u201cC:\\n\u00f6where\u201d");
        EXPECT_EQ(scripted.shown[0].style, UINT(MB_OK | MB_ICONEXCLAMATION));
    }

    // The system's box again once the scripted seam is gone, with the text intact.
    std::wstring shownText;
    bool hasOk = false;
    test::WhenWindowShows("Shell message", [&](HWND box) {
        EnumChildWindows(box, KeepMessageText, reinterpret_cast<LPARAM>(&shownText));
        const HWND ok = test::FindChildWithText(box, "OK");
        hasOk = ok != nullptr;
        if (hasOk)
            test::ClickButton(ok);
        else
            PostMessageW(box, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(WideMessageBox(nullptr, u"Shell message", u"\u00f6where \u4e2d"), IDOK);
    EXPECT_FALSE(test::ActionsPending());
    test::CancelPendingActions();
    EXPECT_TRUE(hasOk);
    EXPECT_EQ(shownText, L"\u00f6where \u4e2d");
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
