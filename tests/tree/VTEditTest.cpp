// The string tree's edit window under Wine: the key table driven by posted messages, the dialog code, the
// focus loss, and a name outside the code page that goes through an edit unchanged.
#include "tests/support/MessagePump.h"

#include "tree/TreeOptions.h"
#include "tree/VTEdit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace tarvola {
namespace {

using namespace tarvola::test;

// The tree's window: a plain child window that only takes the focus, with the view port a tree needs.
struct TreeWindowHost : ITreeViewHost {
    HWND window = nullptr;
    bool HasWindow() const override { return window != nullptr; }
    int ClientWidth() const override { return 300; }
    int ClientHeight() const override { return 200; }
    TCanvas* Canvas() override { return nullptr; }
    void InvalidateRows(int, int) override {}
    void InvalidateAll() override {}
    void UpdateScrollBars(bool) override {}
    void SetRedraw(bool) override {}
    void StartTimer(unsigned, unsigned) override {}
    void StopTimer(unsigned) override {}
    void SendStateMessage(std::uint32_t, std::uint32_t) override {}
    void WaitForWorker(const std::function<bool()>&) override {}
};

struct VTEditTest : ::testing::Test {
    HWND frame = nullptr;
    TreeWindowHost host;
    TVirtualStringTree treeObject{&host};
    TVirtualStringTree* tree = &treeObject;
    TVTEdit* edit = nullptr;
    PVirtualNode node = nullptr;
    std::wstring cellText = L"Preset";
    std::vector<std::wstring> newTexts;

    void GetText(TCustomVirtualStringTree&, PVirtualNode, TColumnIndex, TVSTTextType, std::wstring& text) {
        text = cellText;
    }
    void NewText(TCustomVirtualStringTree&, PVirtualNode, TColumnIndex, const std::wstring& text) {
        newTexts.push_back(text);
    }
    HWND TreeWindow() const { return host.window; }

    VTEditTest() {
        frame = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        host.window = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0, 0, 300, 200,
                                      frame, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetForegroundWindow(frame);
        SetFocus(host.window);
        auto& options = tree->TreeOptions();
        options.SetMiscOptions(options.MiscOptions().With(TVTMiscOption::toEditable));
        tree->OnGetText = TVSTGetTextEvent::Bind<&VTEditTest::GetText>(this);
        tree->OnNewText = TVSTNewTextEvent::Bind<&VTEditTest::NewText>(this);
        tree->EditControlFactory = [this]() -> IStringEditControl* {
            edit = new TVTEdit(host.window);
            return edit;
        };
        node = tree->AddChild(nullptr);
    }
    ~VTEditTest() override {
        tree->CancelEditNode();
        PumpPending();
        DestroyWindow(frame);
    }

    HWND StartEdit() {
        edit = nullptr;
        EXPECT_TRUE(tree->EditNode(node, NoColumn));
        PumpPending();
        return edit != nullptr ? edit->Handle() : nullptr;
    }
    static std::wstring WindowText(HWND window) {
        wchar_t buffer[256] = {};
        GetWindowTextW(window, buffer, 256);
        return buffer;
    }
    static void Key(HWND window, UINT key, bool ctrl = false) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(window, WM_KEYDOWN, key, 1);
        PumpPending();
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }
    static void Char(HWND window, wchar_t ch) {
        PostMessageW(window, WM_CHAR, ch, 1);
        PumpPending();
    }
};

TEST_F(VTEditTest, TheKeyTableOnASingleLine) {
    HWND window = StartEdit();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetFocus(), window);
    const LRESULT code = SendMessageW(window, WM_GETDLGCODE, 0, 0);
    EXPECT_EQ(code & (DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTARROWS),
              DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTARROWS);

    // Up moves the caret left, Down right; Tab and Escape characters are not inserted.
    SendMessageW(window, EM_SETSEL, 3, 3);
    Key(window, VK_UP);
    DWORD start = 0, end = 0;
    SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 2u);
    Key(window, VK_DOWN);
    SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 3u);
    Char(window, L'\t');
    Char(window, L'\x1B');
    EXPECT_EQ(WindowText(window), L"Preset");
    EXPECT_TRUE(tree->IsEditing());

    // Enter ends the edit and hands the typed text over.
    SendMessageW(window, EM_SETSEL, 6, 6);
    Char(window, L'2');
    Key(window, VK_RETURN);
    EXPECT_FALSE(tree->IsEditing());
    EXPECT_EQ(newTexts, std::vector<std::wstring>{L"Preset2"});
    EXPECT_EQ(GetFocus(), TreeWindow());

    // Escape cancels.
    newTexts.clear();
    window = StartEdit();
    ASSERT_NE(window, nullptr);
    Char(window, L'x');
    Key(window, VK_ESCAPE);
    EXPECT_FALSE(tree->IsEditing());
    EXPECT_TRUE(newTexts.empty());
    EXPECT_EQ(GetFocus(), TreeWindow());
}

TEST_F(VTEditTest, ASingleLineEditorFollowsItsTextsWidth) {
    HWND window = StartEdit();
    ASSERT_NE(window, nullptr);
    SendMessageW(window, EM_SETSEL, 6, 6);
    Char(window, L'W');
    const TTreeRect first = edit->Bounds();
    for (int i = 0; i < 5; ++i)
        Char(window, L'W');
    const TTreeRect second = edit->Bounds();
    EXPECT_EQ(second.Left, first.Left);
    EXPECT_GT(second.Right, first.Right);
    EXPECT_EQ(second.Right, second.Left + edit->TextWidth(WindowText(window)) + tree->Look.TextMargin * 2);
}

TEST_F(VTEditTest, EnterOnAMultilineNodeStaysCtrlEnterEnds) {
    node->States |= nsMultiline;
    HWND window = StartEdit();
    ASSERT_NE(window, nullptr);
    Key(window, VK_RETURN);
    EXPECT_TRUE(tree->IsEditing());
    Char(window, L'x');
    Key(window, VK_RETURN, true);
    EXPECT_FALSE(tree->IsEditing());
    ASSERT_EQ(newTexts.size(), 1u);
}

TEST_F(VTEditTest, FocusLossAcceptsOnlyWithAutoAccept) {
    HWND window = StartEdit();
    ASSERT_NE(window, nullptr);
    Char(window, L'a');
    SetFocus(TreeWindow());
    PumpPending();
    EXPECT_FALSE(tree->IsEditing());
    EXPECT_EQ(newTexts.size(), 1u);

    newTexts.clear();
    tree->SetStringOptions(tree->StringOptions() & ~toAutoAcceptEditChange);
    window = StartEdit();
    ASSERT_NE(window, nullptr);
    Char(window, L'b');
    SetFocus(TreeWindow());
    PumpPending();
    EXPECT_FALSE(tree->IsEditing());
    EXPECT_TRUE(newTexts.empty());
}

TEST_F(VTEditTest, ANameOutsideTheCodePageSurvivesAnEdit) {
    cellText = L"\x041F\x0440\x0435\x0441\x0435\x0442 \x65E5\x672C \xD83C\xDFB5"; // Cyrillic, CJK, a pair
    HWND window = StartEdit();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowText(window), cellText);
    // Untouched: nothing goes back.
    Key(window, VK_RETURN);
    EXPECT_TRUE(newTexts.empty());
    // Typed at its end: the rest of the name is intact.
    window = StartEdit();
    ASSERT_NE(window, nullptr);
    SendMessageW(window, EM_SETSEL, cellText.size(), cellText.size());
    Char(window, L'!');
    Key(window, VK_RETURN);
    EXPECT_EQ(newTexts, std::vector<std::wstring>{cellText + L"!"});
}

} // namespace
} // namespace tarvola
