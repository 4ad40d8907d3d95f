#include "shell/VirtualSysImages.h"

#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <memory>

namespace tarvola {

namespace {

// IImageList: the import libraries do not carry its id.
constexpr IID kIIDImageList = {0x46eb5926, 0x582e, 0x4017, {0x9f, 0xdf, 0xe8, 0x99, 0x8d, 0xaa, 0x09, 0x50}};

HIMAGELIST ShellFileInfoList(bool small) {
    LPITEMIDLIST desktop = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop)))
        return nullptr;
    SHFILEINFOW info{};
    const UINT flags = SHGFI_SYSICONINDEX | SHGFI_PIDL | (small ? SHGFI_SMALLICON : 0);
    const DWORD_PTR list = SHGetFileInfoW(reinterpret_cast<LPCWSTR>(desktop), 0, &info, sizeof(info), flags);
    CoTaskMemFree(desktop);
    return reinterpret_cast<HIMAGELIST>(list);
}

// shell32's image list by size (ordinal 727); E_NOTIMPL where shell32 lacks it.
HRESULT ShellImageList(int size, void** list) {
    using TGetImageList = HRESULT(WINAPI*)(int, REFIID, void**);
    *list = nullptr;
    const HMODULE shell32 = GetModuleHandleW(L"shell32.dll");
    const auto entry = shell32 == nullptr ? nullptr
                                          : reinterpret_cast<TGetImageList>(reinterpret_cast<void*>(
                                                GetProcAddress(shell32, MAKEINTRESOURCEA(727))));
    return entry == nullptr ? E_NOTIMPL : entry(size, kIIDImageList, list);
}

} // namespace

TVirtualSysImages::TVirtualSysImages(TSysImageSize size) : size_(size) {
    Rebind();
}

TVirtualSysImages::~TVirtualSysImages() {
    ReleaseExtraLarge();
}

void TVirtualSysImages::ReleaseExtraLarge() {
    if (extraLarge_ != nullptr)
        extraLarge_->Release();
    extraLarge_ = nullptr;
}

void TVirtualSysImages::Rebind() {
    ReleaseExtraLarge();
    handle_ = nullptr;
    if (size_ == TSysImageSize::ExtraLarge) {
        void* list = nullptr;
        if (SUCCEEDED(ShellImageList(SHIL_EXTRALARGE, &list)) && list != nullptr) {
            extraLarge_ = static_cast<IUnknown*>(list);
            handle_ = reinterpret_cast<HIMAGELIST>(list);
            return;
        }
    }
    handle_ = ShellFileInfoList(size_ == TSysImageSize::Small);
}

namespace {

std::array<std::unique_ptr<TVirtualSysImages>, 3>& SysImageLists() {
    static std::array<std::unique_ptr<TVirtualSysImages>, 3> lists;
    return lists;
}

TVirtualSysImages& SysImages(TSysImageSize size) {
    std::unique_ptr<TVirtualSysImages>& list = SysImageLists()[static_cast<std::size_t>(size)];
    if (!list)
        list = std::make_unique<TVirtualSysImages>(size);
    return *list;
}

} // namespace

TVirtualSysImages& SmallSysImages() {
    return SysImages(TSysImageSize::Small);
}

TVirtualSysImages& LargeSysImages() {
    return SysImages(TSysImageSize::Large);
}

TVirtualSysImages& ExtraLargeSysImages() {
    return SysImages(TSysImageSize::ExtraLarge);
}

void RefreshSysImageLists() {
    for (std::unique_ptr<TVirtualSysImages>& list : SysImageLists())
        if (list)
            list->Rebind();
}

} // namespace tarvola
