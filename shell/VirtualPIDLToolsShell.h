// The platform's side of item identifier lists: the shell's allocator, and the shell's own answers to
// "same item?" and "ancestor?" (shell32 ordinals 21 and 23). Win32 sources only.
#pragma once

#include "shell/VirtualPIDLTools.h"
#include "shell/VirtualShellCom.h"

#include <shlobj.h>

namespace tarvola {

inline LPITEMIDLIST AsItemIDList(PItemIDList pidl) {
    return reinterpret_cast<LPITEMIDLIST>(pidl);
}
inline LPCITEMIDLIST AsItemIDList(PCItemIDList pidl) {
    return reinterpret_cast<LPCITEMIDLIST>(pidl);
}
inline PItemIDList FromItemIDList(LPITEMIDLIST pidl) {
    return reinterpret_cast<PItemIDList>(pidl);
}
inline PCItemIDList FromItemIDList(LPCITEMIDLIST pidl) {
    return reinterpret_cast<PCItemIDList>(pidl);
}

// The shell's IMalloc. Made after COM is initialised; raises EShellError when the shell has none.
class TShellMalloc final : public IShellAllocator {
public:
    TShellMalloc();
    void* Alloc(std::size_t size) override;
    void Free(void* block) override;

private:
    TComPtr<IMalloc> malloc_;
};

// The shell's comparisons, looked up once. When shell32 lacks them, the byte comparison stands in (it
// answers the same for the file-system items this program shows), and Complete() says so.
class TShellIdentity final : public TPIDLIdentity {
public:
    TShellIdentity();
    bool Equal(PCItemIDList a, PCItemIDList b) const override;
    bool IsParent(PCItemIDList parent, PCItemIDList child, bool immediateOnly) const override;
    bool Complete() const { return isEqual_ != nullptr && isParent_ != nullptr; }

private:
    using TILIsEqual = BOOL(WINAPI*)(LPCITEMIDLIST, LPCITEMIDLIST);
    using TILIsParent = BOOL(WINAPI*)(LPCITEMIDLIST, LPCITEMIDLIST, BOOL);
    TILIsEqual isEqual_ = nullptr;
    TILIsParent isParent_ = nullptr;
};

// The My Documents folder's list ("::{450d8fba-ad25-11d0-98a8-0800361b1103}" parsed by the desktop), in
// memory of the manager's allocator; nullptr when the shell cannot parse it.
PItemIDList MyDocumentsPIDL();

} // namespace tarvola
