// The Win32 side of the tree's keyboard: the modifiers of a key message, the character a key types, and the
// UTF-16 character a WM_CHAR carries in a Unicode or an ANSI window.
#pragma once

#include "tree/TreeKeyboard.h"

#include <windows.h>

namespace tarvola {

// Shift and Ctrl from the keyboard state, Alt from the message's key data (bit 29).
TKeyModifiers KeyDataToShiftState(LPARAM keyData);
// The one character the key types on the current keyboard state; 0 when it types none or more.
wchar_t TypedCharacter(UINT key, LPARAM keyData);
// The ANSI code page of a locale (its LOCALE_IDEFAULTANSICODEPAGE), else the system's ANSI code page.
UINT CodePageFromLocale(LCID locale);
// The character of a WM_CHAR: a Unicode window receives a UTF-16 code unit, which stays as it is; an ANSI
// window receives a byte of the code page given.
wchar_t CharFromCharMessage(WPARAM wParam, bool unicodeWindow, UINT codePage);

} // namespace tarvola
