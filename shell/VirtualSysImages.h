// The system image lists the views draw shell icons from: small, large and extra large. They are the
// shell's own lists, shared with it and never destroyed here; an icon index found by the icon thread is an
// index into them. Made on first use; RefreshSysImageLists binds them again after the shell's icon size
// changed. GUI thread only. Win32 sources only.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace tarvola {

enum class TSysImageSize { Small, Large, ExtraLarge };

class TVirtualSysImages {
public:
    explicit TVirtualSysImages(TSysImageSize size);
    ~TVirtualSysImages();
    TVirtualSysImages(const TVirtualSysImages&) = delete;
    TVirtualSysImages& operator=(const TVirtualSysImages&) = delete;

    TSysImageSize Size() const { return size_; }
    // nullptr when the shell has no list of the size.
    HIMAGELIST Handle() const { return handle_; }
    void Rebind();

private:
    void ReleaseExtraLarge();

    TSysImageSize size_;
    HIMAGELIST handle_ = nullptr;
    IUnknown* extraLarge_ = nullptr; // keeps the extra-large list alive; it is its own handle
};

TVirtualSysImages& SmallSysImages();
TVirtualSysImages& LargeSysImages();
// The large list where the shell has no extra-large one.
TVirtualSysImages& ExtraLargeSysImages();
void RefreshSysImageLists();

} // namespace tarvola
