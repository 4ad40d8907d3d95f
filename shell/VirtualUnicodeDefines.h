// The bridge between the layer's UTF-16 strings (char16_t) and the platform's wide strings (wchar_t, also
// 16 bits on Windows). Win32 sources only.
#pragma once

#include "shell/VirtualWideStrings.h"

#include <windows.h>
#include <shlobj.h>

namespace tarvola {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 code units");

inline const wchar_t* AsW(const WideString& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}

inline wchar_t* AsW(char16_t* s) {
    return reinterpret_cast<wchar_t*>(s);
}

inline WideString FromW(const wchar_t* s) {
    return s == nullptr ? WideString() : WideString(reinterpret_cast<const char16_t*>(s));
}

inline WideString FromW(const wchar_t* s, std::size_t length) {
    return WideString(reinterpret_cast<const char16_t*>(s), length);
}

// A shell STRRET as text. An OLE string is freed with the shell's allocator; single-byte text in the record
// is read up to its 260 bytes, and text at an offset inside pidl no further than pidl's own bytes.
WideString StrRetToWideStr(STRRET& strRet, LPCITEMIDLIST pidl);

} // namespace tarvola
