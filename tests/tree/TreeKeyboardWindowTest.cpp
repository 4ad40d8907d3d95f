// The tree window's keyboard under Wine: incremental search typed through real WM_KEYDOWN / WM_CHAR /
// WM_KEYUP messages (repeat, backspace, the keypad's "+", no match, the search timer), Shift ranges and the
// space key's check press through messages, the dialog code, focus loss, and the character a WM_CHAR carries.
#include "tests/support/WindowDriver.h"

#include "forms/Form.h"
#include "tree/TreeControl.h"
#include "tree/TreeKeyboardWin32.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

namespace tarvola {
namespace {

struct TreeKeyboardWindowTest : ::testing::Test {
    TForm form{nullptr};
    TVirtualTreeControl* control = nullptr;
    TBaseVirtualTree* tree = nullptr;
    std::map<PVirtualNode, std::wstring> names;
    int beeps = 0;
    BYTE savedKeys[256] = {};

    // The owner's search: a node matches when its name starts with the text, in any case.
    void Compare(TBaseVirtualTree&, PVirtualNode node, const std::wstring& text, int& result) {
        const std::wstring& name = names.at(node);
        result = 1;
        if (name.size() >= text.size() &&
            std::equal(text.begin(), text.end(), name.begin(),
                       [](wchar_t a, wchar_t b) { return towlower(a) == towlower(b); }))
            result = 0;
    }

    TreeKeyboardWindowTest() {
        GetKeyboardState(savedKeys);
        BYTE none[256] = {};
        SetKeyboardState(none);
        control = &form.Create<TVirtualTreeControl>();
        tree = &control->Tree();
        control->SetParent(&form);
        tree->OnIncrementalSearch = TVTIncrementalSearchEvent::Bind<&TreeKeyboardWindowTest::Compare>(this);
        tree->SearchBeep = [this] { ++beeps; };
        tree->Properties().SetIncrementalSearch(TVTIncrementalSearch::isAll);
        // Long enough that only the timer message, never the clock, ends a search in these tests.
        tree->Properties().IncrementalSearchTimeout = 600000;
        for (const wchar_t* name : {L"apple", L"banana", L"avocado", L"cherry", L"apricot", L"c+plus"})
            names[tree->AddChild(nullptr)] = name;
    }
    ~TreeKeyboardWindowTest() override { SetKeyboardState(savedKeys); }

    HWND Window() const { return control->Handle(); }
    void KeyDown(WORD key) { SendMessageW(Window(), WM_KEYDOWN, key, 1); }
    void KeyUp(WORD key) { SendMessageW(Window(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u)); }
    // One typed character as the keyboard sends it: the key, its character, the key's release.
    void Type(wchar_t ch) {
        WORD key = static_cast<WORD>(towupper(ch));
        if (ch == L'\b')
            key = VK_BACK;
        else if (ch == L'+')
            key = VK_ADD;
        KeyDown(key);
        SendMessageW(Window(), WM_CHAR, ch, 1);
        KeyUp(key);
    }
    void Type(const std::wstring& text) {
        for (wchar_t ch : text)
            Type(ch);
    }
    void SearchTimerFires() { SendMessageW(Window(), WM_TIMER, SearchTimer, 0); }
    std::wstring Focused() const { return tree->FocusedNode() ? names.at(tree->FocusedNode()) : L"(none)"; }
    PVirtualNode Named(const std::wstring& name) const {
        for (const auto& [node, text] : names)
            if (text == name)
                return node;
        return nullptr;
    }
    void StartOver() {
        SearchTimerFires();
        tree->ClearSelection();
        tree->SetFocusedNode(nullptr);
        beeps = 0;
    }
};

struct TypedCase {
    const char* what;
    std::wstring typed;
    std::wstring focused;
    std::wstring buffer;
    int beeps;
};

TEST_F(TreeKeyboardWindowTest, TypedCharactersSearchThroughTheWindowsMessages) {
    const std::vector<TypedCase> cases = {
        {"first letter", L"a", L"apple", L"a", 0},
        {"repeat moves on", L"aa", L"avocado", L"a", 0},
        {"repeat again", L"aaa", L"apricot", L"a", 0},
        {"repeat wraps round", L"aaaa", L"apple", L"a", 0},
        {"prefix", L"apr", L"apricot", L"apr", 0},
        {"backspace shortens and searches back", L"apr\b", L"apple", L"ap", 0},
        {"backspace with one character does nothing", L"c\b", L"cherry", L"c", 0},
        {"no match beeps and keeps the buffer", L"cx", L"cherry", L"c", 1},
        {"the keypad's plus is searched for while searching", L"c+", L"c+plus", L"c+", 0},
    };
    for (const TypedCase& c : cases) {
        SCOPED_TRACE(c.what);
        StartOver();
        Type(c.typed);
        EXPECT_EQ(Focused(), c.focused);
        EXPECT_EQ(tree->SearchBuffer(), c.buffer);
        EXPECT_EQ(beeps, c.beeps);
        EXPECT_TRUE(tree->Selected(tree->FocusedNode()));
        EXPECT_EQ(tree->SelectedCount(), 1u);
    }
}

TEST_F(TreeKeyboardWindowTest, TheSearchTimerEmptiesTheBuffer) {
    Type(L"a");
    ASSERT_TRUE(tree->InState(TreeState::tsIncrementalSearching));
    SearchTimerFires();
    EXPECT_FALSE(tree->InState(TreeState::tsIncrementalSearching));
    EXPECT_EQ(tree->SearchBuffer(), L"");
    // "v" alone matches nothing: had the buffer kept its "a", this would find avocado.
    Type(L"v");
    EXPECT_EQ(Focused(), L"apple");
    EXPECT_EQ(beeps, 1);
}

TEST_F(TreeKeyboardWindowTest, PlusOutsideASearchExpandsAndFocusLossEndsTheSearch) {
    PVirtualNode banana = Named(L"banana");
    names[tree->AddChild(banana)] = L"blueberry";
    tree->SetFocusedNode(banana);
    Type(L'+');
    EXPECT_TRUE(tree->Expanded(banana));
    Type(L'+'); // expanded already: nothing
    EXPECT_TRUE(tree->Expanded(banana));
    EXPECT_EQ(Focused(), L"banana");

    Type(L"bl");
    EXPECT_EQ(Focused(), L"blueberry");
    SendMessageW(Window(), WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(tree->InState(TreeState::tsIncrementalSearching));
    EXPECT_EQ(tree->SearchBuffer(), L"");
}

TEST_F(TreeKeyboardWindowTest, ShiftArrowsSelectRangesThroughMessages) {
    tree->TreeOptions().SetSelectionOptions({TVTSelectionOption::toMultiSelect});
    tree->SetFocusedNode(Named(L"banana"));
    tree->AddToSelection(Named(L"banana"));
    {
        test::TKeysDown shift({VK_SHIFT});
        KeyDown(VK_DOWN);
        KeyDown(VK_DOWN);
        EXPECT_EQ(tree->SelectedCount(), 3u);
        KeyDown(VK_UP);
    }
    EXPECT_EQ(Focused(), L"avocado");
    EXPECT_EQ(tree->SelectedCount(), 2u);
    EXPECT_TRUE(tree->Selected(Named(L"banana")));
    EXPECT_FALSE(tree->Selected(Named(L"cherry")));
    KeyDown(VK_DOWN);
    EXPECT_EQ(Focused(), L"cherry");
    EXPECT_EQ(tree->SelectedCount(), 1u);
}

TEST_F(TreeKeyboardWindowTest, SpaceDownPressesTheCheckAndSpaceUpAppliesIt) {
    tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions().With(TVTMiscOption::toCheckSupport));
    PVirtualNode cherry = Named(L"cherry");
    tree->SetCheckType(cherry, TCheckType::ctCheckBox);
    tree->SetFocusedNode(cherry);
    KeyDown(VK_SPACE);
    EXPECT_EQ(tree->CheckState(cherry), TCheckState::csUncheckedPressed);
    KeyUp(VK_SPACE);
    EXPECT_EQ(tree->CheckState(cherry), TCheckState::csCheckedNormal);

    KeyDown(VK_SPACE);
    EXPECT_EQ(tree->CheckState(cherry), TCheckState::csCheckedPressed);
    SendMessageW(Window(), WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(tree->CheckState(cherry), TCheckState::csCheckedNormal);
    EXPECT_FALSE(tree->InState(TreeState::tsKeyCheckPending));
    KeyUp(VK_SPACE);
    EXPECT_EQ(tree->CheckState(cherry), TCheckState::csCheckedNormal);
}

TEST_F(TreeKeyboardWindowTest, TheDialogCodeAsksForArrowsAndCharactersAndTabsWithWantTabs) {
    EXPECT_EQ(SendMessageW(Window(), WM_GETDLGCODE, 0, 0), 129);
    tree->Properties().WantTabs = true;
    EXPECT_EQ(SendMessageW(Window(), WM_GETDLGCODE, 0, 0), 129 | DLGC_WANTTAB);
}

TEST_F(TreeKeyboardWindowTest, TheControlsOwnKeyDownMaySwallowAKey) {
    tree->SetFocusedNode(Named(L"banana"));
    control->OnKeyDown = [](TObject&, unsigned short& key, TShiftState) {
        if (key == VK_DOWN)
            key = 0;
    };
    KeyDown(VK_DOWN);
    EXPECT_EQ(Focused(), L"banana");
    KeyDown(VK_UP);
    EXPECT_EQ(Focused(), L"apple");
}

struct CharCase {
    WPARAM wParam;
    bool unicodeWindow;
    UINT codePage;
    wchar_t expected;
};

TEST(TreeKeyboardCharacters, AUnicodeWindowsCharacterStaysAndAnAnsiByteIsReadInItsCodePage) {
    const std::vector<CharCase> cases = {
        {L'a', true, 1252, L'a'},
        {0x0416, true, 1252, 0x0416}, // a Cyrillic letter is not squeezed
                                      // through a single-byte code page
        {0x00E9, true, 1251, 0x00E9},
        {'a', false, 1252, L'a'},
        {0xE9, false, 1252, 0x00E9},
        {0xC6, false, 1251, 0x0416},
    };
    for (const CharCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "wParam " << c.wParam << " unicode " << c.unicodeWindow);
        EXPECT_EQ(CharFromCharMessage(c.wParam, c.unicodeWindow, c.codePage), c.expected);
    }
    EXPECT_EQ(CodePageFromLocale(MAKELCID(0x0419, SORT_DEFAULT)), 1251u);
    EXPECT_EQ(CodePageFromLocale(MAKELCID(0x0409, SORT_DEFAULT)), 1252u);
}

} // namespace
} // namespace tarvola
