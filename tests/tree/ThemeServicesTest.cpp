#include "tree/ThemeServices.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvola {
namespace {

// A visual-styles library that records its calls. Handles are the element's number + 1.
struct FakeUxTheme {
    static inline std::vector<std::wstring> opened;
    static inline std::vector<HTHEME> closed;
    static inline std::vector<std::pair<int, int>> drawn; // part, state
    static inline DWORD properties = STAP_ALLOW_CONTROLS;

    static void Reset() {
        opened.clear();
        closed.clear();
        drawn.clear();
        properties = STAP_ALLOW_CONTROLS;
    }
    static HTHEME WINAPI Open(HWND, LPCWSTR name) {
        opened.emplace_back(name);
        return reinterpret_cast<HTHEME>(static_cast<INT_PTR>(opened.size()));
    }
    static HRESULT WINAPI Close(HTHEME theme) {
        closed.push_back(theme);
        return S_OK;
    }
    static HRESULT WINAPI Draw(HTHEME, HDC, int part, int state, const RECT*, const RECT*) {
        drawn.emplace_back(part, state);
        return S_OK;
    }
    static DWORD WINAPI Properties() { return properties; }
    static TUxThemeFunctions Table() { return TUxThemeFunctions{Open, Close, Draw, Properties}; }
};

class ThemeServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeUxTheme::Reset();
        window_ =
            CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (IsWindow(window_))
            DestroyWindow(window_);
    }
    HWND window_ = nullptr;
    const TThemedElementDetails glyph_ = GetElementDetails(TThemedElement::teTreeview, ttGlyphClosed);
    RECT bounds_{0, 0, 9, 9};
};

TEST_F(ThemeServicesTest, OldCommonControlsNeverOpenAHandle) {
    const TUxThemeFunctions table = FakeUxTheme::Table();
    TThemeServices services(window_, &table, 0x50052);
    EXPECT_TRUE(services.ThemesAvailable());
    EXPECT_FALSE(services.UseThemes());
    EXPECT_FALSE(services.ThemesEnabled());
    HDC dc = GetDC(window_);
    services.DrawElement(dc, glyph_, bounds_);
    ReleaseDC(window_, dc);
    EXPECT_EQ(services.Theme(TThemedElement::teHeader), nullptr);
    EXPECT_TRUE(FakeUxTheme::opened.empty());
    EXPECT_TRUE(FakeUxTheme::drawn.empty());
}

TEST_F(ThemeServicesTest, ControlsNeedTheAppProperty) {
    FakeUxTheme::properties = STAP_ALLOW_NONCLIENT;
    const TUxThemeFunctions table = FakeUxTheme::Table();
    TThemeServices services(window_, &table, 0x60000);
    EXPECT_TRUE(services.UseThemes());
    EXPECT_FALSE(services.ControlsEnabled());
    EXPECT_FALSE(services.ThemesEnabled());
}

TEST_F(ThemeServicesTest, HandlesOpenOnceAndCloseOnAThemeChange) {
    const TUxThemeFunctions table = FakeUxTheme::Table();
    TThemeServices services(window_, &table, 0x60000);
    ASSERT_TRUE(services.ThemesEnabled());
    int changes = 0;
    services.OnThemeChange = [&] { ++changes; };
    HDC dc = GetDC(window_);
    services.DrawElement(dc, glyph_, bounds_);
    services.DrawElement(dc, glyph_, bounds_);
    services.DrawElement(dc, GetElementDetails(TThemedElement::teHeader, thHeaderItemHot), bounds_);
    EXPECT_EQ(FakeUxTheme::opened, (std::vector<std::wstring>{L"treeview", L"header"}));
    EXPECT_EQ(FakeUxTheme::drawn, (std::vector<std::pair<int, int>>{{2, 1}, {2, 1}, {1, 2}}));

    SendMessageW(window_, WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(FakeUxTheme::closed.size(), 2u);
    services.DrawElement(dc, glyph_, bounds_);
    EXPECT_EQ(FakeUxTheme::opened.size(), 3u); // opened again with the new theme
    ReleaseDC(window_, dc);
}

// A later subclass of the watched window, to show the chain stays whole.
LRESULT CALLBACK CountingSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR count) {
    if (message == WM_THEMECHANGED)
        ++*reinterpret_cast<int*>(count);
    return DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(ThemeServicesTest, ALaterSubclassStillReceivesMessagesAndDestroyingTearsDown) {
    const TUxThemeFunctions table = FakeUxTheme::Table();
    auto services = std::make_unique<TThemeServices>(window_, &table, 0x60000);
    int changes = 0;
    services->OnThemeChange = [&] { ++changes; };
    int seen = 0;
    ASSERT_TRUE(SetWindowSubclass(window_, CountingSubclass, 1, reinterpret_cast<DWORD_PTR>(&seen)));
    services->Theme(TThemedElement::teButton);
    SendMessageW(window_, WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(changes, 1);
    DestroyWindow(window_); // our subclass leaves with the window
    RemoveWindowSubclass(window_, CountingSubclass, 1);
    services->Theme(TThemedElement::teButton);
    services.reset(); // closes the open handle although the window is gone
    EXPECT_EQ(FakeUxTheme::closed.size(), 2u);
}

TEST_F(ThemeServicesTest, MissingFunctionsDrawNothing) {
    TUxThemeFunctions table = FakeUxTheme::Table();
    table.DrawThemeBackground = nullptr;
    table.OpenThemeData = nullptr;
    TThemeServices services(window_, &table, 0x60000);
    HDC dc = GetDC(window_);
    services.DrawElement(dc, glyph_, bounds_);
    ReleaseDC(window_, dc);
    EXPECT_TRUE(FakeUxTheme::drawn.empty());
    EXPECT_EQ(services.Theme(TThemedElement::teTreeview), nullptr);
}

TEST_F(ThemeServicesTest, TheRealLibraryWithoutAManifestIsNotThemed) {
    // The test program carries no common-controls 6 manifest.
    TThemeServices services(window_);
    EXPECT_TRUE(services.ThemesAvailable());
    EXPECT_FALSE(services.ThemesEnabled());
}

TEST_F(ThemeServicesTest, TheRealLibraryDrawsAGlyphWhenThemesAreForced) {
    TThemeServices services(window_, nullptr, 0x60000);
    if (!services.ThemesEnabled() || services.Theme(TThemedElement::teTreeview) == nullptr)
        GTEST_SKIP() << "no visual style active in this prefix";
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 9, 9);
    ReleaseDC(nullptr, screen);
    HGDIOBJ original = SelectObject(dc, bitmap);
    const RECT all{0, 0, 9, 9};
    HBRUSH fill = CreateSolidBrush(RGB(0, 200, 0));
    FillRect(dc, &all, fill);
    DeleteObject(fill);
    services.DrawElement(dc, glyph_, all);
    int changed = 0;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            changed += GetPixel(dc, x, y) != RGB(0, 200, 0);
    EXPECT_GT(changed, 0);
    SelectObject(dc, original);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

} // namespace
} // namespace tarvola
