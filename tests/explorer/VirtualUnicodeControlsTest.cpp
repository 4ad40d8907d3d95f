// The UTF-16 edit on a form: text of any plane round-trips, change events fire once per change, typed
// characters outside ASCII pass the form layer's key handling, and the text survives a new window.
#include "explorer/VirtualUnicodeControls.h"
#include "forms/Form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvola {
namespace {

class TTestWideEdit : public TCustomWideEdit {
public:
    using TCustomWideEdit::TCustomWideEdit;
    using TWinControl::RecreateWnd;
};

class WideEditTest : public ::testing::Test {
protected:
    WideEditTest() : form(nullptr), edit(form.Create<TTestWideEdit>()) {
        form.SetClientSize(300, 100);
        edit.SetBounds(10, 10, 250, 24);
        edit.SetParent(&form);
        edit.OnChange = [this](TObject&) { ++changes; };
    }

    std::wstring WindowText() {
        wchar_t buffer[256] = {};
        SendMessageW(edit.Handle(), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }

    TForm form;
    TTestWideEdit& edit;
    int changes = 0;
};

// CJK, a surrogate pair (U+1F600) and a character from beyond the basic plane's letters (U+1D11E).
const std::wstring kWideText = L"\u4E2D\u6587 \u30C6\u30AD\u30B9\u30C8 \U0001F600 \U0001D11E end";

TEST_F(WideEditTest, TextOfAnyPlaneRoundTrips) {
    ASSERT_TRUE(IsWindowUnicode(edit.Handle()));
    edit.SetWideText(kWideText);
    EXPECT_EQ(edit.WideText(), kWideText);
    EXPECT_EQ(WindowText(), kWideText);
    EXPECT_EQ(GetWideText(edit), kWideText);

    // Text that the window receives from outside, through the wide functions, is the control's too.
    const std::wstring other = L"\u00E9t\u00E9 \U00020BB7";
    SetWindowTextW(edit.Handle(), other.c_str());
    EXPECT_EQ(edit.WideText(), other);
}

TEST_F(WideEditTest, SettingTheSameTextTwiceFiresOneChange) {
    edit.SetWideText(kWideText);
    edit.SetWideText(kWideText);
    EXPECT_EQ(changes, 1);
    // Texts that the code page would make alike are still different texts.
    edit.SetWideText(L"\u4E2D");
    edit.SetWideText(L"\u6587");
    EXPECT_EQ(changes, 3);
    // The form layer's narrow caption still works, and changes once.
    edit.SetText("plain");
    edit.SetText("plain");
    EXPECT_EQ(edit.WideText(), L"plain");
    EXPECT_EQ(changes, 4);
}

TEST_F(WideEditTest, TypedCharactersPassTheKeyHandling) {
    std::vector<int> seen;
    bool swallow = false;
    edit.OnKeyPress = [&](TObject&, char& key) {
        seen.push_back(static_cast<unsigned char>(key));
        if (swallow)
            key = 0;
    };
    for (const wchar_t c : std::wstring(L"a\u4E2D\U0001F600"))
        SendMessageW(edit.Handle(), WM_CHAR, c, 1);
    EXPECT_EQ(edit.WideText(), L"a\u4E2D\U0001F600");
    // ASCII as it is; anything else as the stand-in 0xFF.
    EXPECT_EQ(seen, (std::vector<int>{'a', 0xFF, 0xFF, 0xFF}));

    swallow = true;
    SendMessageW(edit.Handle(), WM_CHAR, L'\u6587', 1);
    EXPECT_EQ(edit.WideText(), L"a\u4E2D\U0001F600");
}

TEST_F(WideEditTest, ANewWindowKeepsTheText) {
    edit.SetWideText(kWideText);
    const HWND before = edit.Handle();
    edit.RecreateWnd();
    ASSERT_NE(edit.Handle(), before);
    EXPECT_TRUE(IsWindowUnicode(edit.Handle()));
    EXPECT_EQ(edit.WideText(), kWideText);
    EXPECT_EQ(changes, 1);
}

TEST_F(WideEditTest, OnlyUnicodeWindowsAreTrapped) {
    auto& plain = form.Create<TEdit>();
    plain.SetParent(&form);
    EXPECT_FALSE(IsUnicodeClassWindow(plain.Handle()));
    EXPECT_EQ(IsWindowUnicodeTarget(edit.Handle()), NFR_UNICODE);
    try {
        SubClassUnicodeControl(plain);
        FAIL() << "a single-byte window was trapped";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "Orvan Internal Error: SubClassUnicodeControl.Control is not Unicode.");
    }
    // Freeing the wide edit gives its window back cleanly.
    const HWND window = edit.Handle();
    form.FreeComponent(edit);
    EXPECT_FALSE(IsWindow(window));
}

TEST(WideCompareTest, OrdersByTheUsersLocale) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        int expected;
    };
    const Case cases[] = {
        {L"apple", L"banana", -1}, {L"banana", L"apple", 1}, {L"\u4E2D", L"\u4E2D", 0}, {L"", L"a", -1}};
    for (const Case& test : cases) {
        EXPECT_EQ(WideCompareStr(test.a, test.b), test.expected) << test.expected;
        EXPECT_EQ(WideSameStr(test.a, test.b), test.expected == 0);
    }
}

} // namespace
} // namespace tarvola
