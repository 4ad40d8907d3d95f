// The two places where Win32 hands out or takes a procedure as a plain integer or an untyped pointer: a
// window procedure swapped in and out (GWLP_WNDPROC) and an entry point bound at run time
// (GetProcAddress, for uxtheme and the shell's ordinal entry points). Everything else passes procedures
// with their declared types, so the compiler checks their calling convention. Here the conversion is
// made once, from and to a type that names the convention: callers never cast a procedure themselves.
#pragma once

#include <windows.h>

#include <type_traits>

namespace tarvola {

// Makes procedure the window procedure of window, and gives back the one it replaces. Both are UTF-16
// procedures: the window's messages reach procedure as the wide functions pass them, and the one given
// back is to be called with CallWindowProcW.
inline WNDPROC ReplaceWindowProc(HWND window, WNDPROC procedure) {
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

// The entry point name (or ordinal, through MAKEINTRESOURCEA) of module as a Procedure, or null when the
// module lacks it. Procedure must be a pointer type declared with its Win32 convention (WINAPI), as the
// module exports it: declare it once beside its use, as a typedef of the exported signature.
template <typename Procedure>
Procedure ProcAddress(HMODULE module, const char* name) {
    static_assert(std::is_pointer_v<Procedure> && std::is_function_v<std::remove_pointer_t<Procedure>>,
                  "ProcAddress binds function pointers only");
    if (module == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Procedure>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace tarvola
