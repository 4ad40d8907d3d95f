#include "shell/VirtualPIDLToolsShell.h"

#include "forms/Win32Procs.h"
#include "shell/VirtualShellUtilities.h"

namespace tarvola {

TShellMalloc::TShellMalloc() {
    CheckHResult(SHGetMalloc(malloc_.Put()), "SHGetMalloc");
}

void* TShellMalloc::Alloc(std::size_t size) {
    return malloc_->Alloc(size);
}

void TShellMalloc::Free(void* block) {
    if (block != nullptr)
        malloc_->Free(block);
}

TShellIdentity::TShellIdentity() {
    const HMODULE shell32 = GetModuleHandleW(L"shell32.dll");
    isEqual_ = ProcAddress<TILIsEqual>(shell32, MAKEINTRESOURCEA(21));
    isParent_ = ProcAddress<TILIsParent>(shell32, MAKEINTRESOURCEA(23));
}

bool TShellIdentity::Equal(PCItemIDList a, PCItemIDList b) const {
    if (a == nullptr || b == nullptr)
        return false;
    if (isEqual_ == nullptr)
        return ByteIdentity().Equal(a, b);
    return isEqual_(AsItemIDList(a), AsItemIDList(b)) != FALSE;
}

bool TShellIdentity::IsParent(PCItemIDList parent, PCItemIDList child, bool immediateOnly) const {
    if (parent == nullptr || child == nullptr)
        return false;
    if (isParent_ == nullptr)
        return ByteIdentity().IsParent(parent, child, immediateOnly);
    return isParent_(AsItemIDList(parent), AsItemIDList(child), immediateOnly ? TRUE : FALSE) != FALSE;
}

PItemIDList MyDocumentsPIDL() {
    return PathToPIDL(u"::{450d8fba-ad25-11d0-98a8-0800361b1103}");
}

} // namespace tarvola
