#include "tree/TreeKeyboardWin32.h"

#include "tree/TreeControl.h"
#include "tree/TreeKeyboard.h"
#include "tree/TreeProperties.h"

#include <cwchar>

namespace tarvola {

TKeyModifiers KeyDataToShiftState(LPARAM keyData) {
    TKeyModifiers shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= keymod::Shift;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= keymod::Ctrl;
    if ((static_cast<DWORD>(keyData) & (DWORD{1} << 29)) != 0)
        shift |= keymod::Alt;
    return shift;
}

wchar_t TypedCharacter(UINT key, LPARAM keyData) {
    // Asking for a dead key's character would use up the accent the message loop already holds for the
    // next key, and the user's accented character would never arrive. A dead key types none of the keypad's
    // operators anyway.
    constexpr UINT DeadKeyFlag = 0x80000000u;
    if ((MapVirtualKeyW(key, MAPVK_VK_TO_CHAR) & DeadKeyFlag) != 0)
        return 0;
    BYTE state[256] = {};
    if (!GetKeyboardState(state))
        return 0;
    WORD typed = 0;
    const UINT scanCode = (static_cast<DWORD>(keyData) >> 16) & 0xFF;
    if (ToAscii(key, scanCode, state, &typed, 0) != 1)
        return 0;
    return static_cast<wchar_t>(typed & 0xFF);
}

UINT CodePageFromLocale(LCID locale) {
    wchar_t text[16] = {};
    if (GetLocaleInfoW(locale, LOCALE_IDEFAULTANSICODEPAGE, text, 16) > 0) {
        wchar_t* end = nullptr;
        const unsigned long codePage = std::wcstoul(text, &end, 10);
        if (end != text && *end == L'\0' && codePage != 0 && codePage <= 0xFFFF)
            return static_cast<UINT>(codePage);
    }
    return GetACP();
}

wchar_t CharFromCharMessage(WPARAM wParam, bool unicodeWindow, UINT codePage) {
    if (unicodeWindow)
        return static_cast<wchar_t>(wParam & 0xFFFF);
    const char byte = static_cast<char>(wParam & 0xFF);
    wchar_t converted = 0;
    if (MultiByteToWideChar(codePage, MB_USEGLYPHCHARS, &byte, 1, &converted, 1) == 1)
        return converted;
    if (MultiByteToWideChar(CP_ACP, MB_USEGLYPHCHARS, &byte, 1, &converted, 1) == 1)
        return converted;
    return static_cast<wchar_t>(static_cast<unsigned char>(byte));
}

namespace {

UINT KeyboardLayoutCodePage() {
    const auto language = static_cast<WORD>(reinterpret_cast<UINT_PTR>(GetKeyboardLayout(0)) & 0xFFFF);
    return CodePageFromLocale(MAKELCID(language, SORT_DEFAULT));
}

POINT MessagePos() {
    const DWORD position = GetMessagePos();
    return POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
}

} // namespace

bool TVirtualTreeControl::KeyboardMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
    case WM_KEYDOWN: {
        auto key = static_cast<unsigned short>(wParam);
        const TKeyModifiers shift = KeyDataToShiftState(lParam);
        if (OnKeyDown)
            OnKeyDown(*this, key, shift);
        if (key == 0)
            return true;
        const wchar_t typed = IsNavigationKey(key) ? L'\0' : TypedCharacter(key, lParam);
        tree_->HandleKeyDown(key, shift, typed);
        return true;
    }
    case WM_KEYUP: {
        auto key = static_cast<unsigned short>(wParam);
        if (OnKeyUp)
            OnKeyUp(*this, key, KeyDataToShiftState(lParam));
        if (key != 0)
            tree_->HandleKeyUp(key);
        return true;
    }
    case WM_CHAR:
        tree_->HandleCharInput(
            CharFromCharMessage(wParam, IsWindowUnicode(Handle()) != FALSE, KeyboardLayoutCodePage()));
        // The control's OnKeyPress and the default handling follow.
        return false;
    case WM_GETDLGCODE:
        result = DLGC_WANTARROWS | DLGC_WANTCHARS | (tree_->Properties().WantTabs ? DLGC_WANTTAB : 0);
        return true;
    case WM_SETFOCUS:
        result = TCustomControl::WndProc(message, wParam, lParam);
        tree_->KeyboardFocusGained();
        return true;
    case WM_KILLFOCUS:
        result = TCustomControl::WndProc(message, wParam, lParam);
        tree_->KeyboardFocusLost();
        // The form layer keeps no active control that could be cleared here; the hook answers for a form
        // that would.
        FocusLostToOleClientSite(MessagePos());
        return true;
    default:
        return false;
    }
}

} // namespace tarvola
