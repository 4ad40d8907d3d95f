#include "shell/VirtualShellUtilities.h"

#include "forms/Win32Procs.h"
#include "shell/VirtualUnicodeDefines.h"

#include <stdexcept>

namespace tarvola {

namespace {

// The one layer of the process, between Startup and Shutdown. A plain pointer: nothing runs at static
// initialisation or at exit.
TShellLayer* layer = nullptr;

constexpr TSpecialFolder kSpecialOrder[] = {
    TSpecialFolder::Desktop,      TSpecialFolder::RecycleBin, TSpecialFolder::DesktopDirectory,
    TSpecialFolder::MyComputer,   TSpecialFolder::Printers,   TSpecialFolder::History,
    TSpecialFolder::ControlPanel, TSpecialFolder::Network,    TSpecialFolder::Templates,
    TSpecialFolder::MyDocuments,  TSpecialFolder::Favorites,
};

std::uint16_t RegisterFormat(const wchar_t* name) {
    return static_cast<std::uint16_t>(RegisterClipboardFormatW(name));
}

} // namespace

void TShellLayer::Startup() {
    if (layer != nullptr)
        throw std::logic_error("The shell layer is started already");
    layer = new TShellLayer();
    try {
        layer->CreateSpecialFolders();
    } catch (...) {
        Shutdown();
        throw;
    }
}

// The special folders go first, while the layer they free their lists through is still there.
void TShellLayer::Shutdown() {
    if (layer == nullptr)
        return;
    layer->ReleaseSpecialFolders();
    delete std::exchange(layer, nullptr);
}

bool TShellLayer::Started() {
    return layer != nullptr;
}

TShellLayer& TShellLayer::Get() {
    if (layer == nullptr)
        throw std::logic_error("The shell layer is used before TShellLayer::Startup");
    return *layer;
}

TShellLayer::TShellLayer() : manager_(allocator_, identity_) {
    iconCacheReady_ = InitShellIconCache(true);
    formats_.ShellIDList = RegisterFormat(L"Shell IDList Array");
    formats_.LogicalPerformedDropEffect = RegisterFormat(L"Logical Performed DropEffect");
    formats_.PreferredDropEffect = RegisterFormat(L"Preferred DropEffect");
    formats_.FileContents = RegisterFormat(L"FileContents");
    formats_.FileGroupDescriptorA = RegisterFormat(L"FileGroupDescriptor");
    formats_.FileGroupDescriptorW = RegisterFormat(L"FileGroupDescriptorW");
}

TShellLayer::~TShellLayer() = default;

// In the reverse order of their making.
void TShellLayer::ReleaseSpecialFolders() {
    for (auto it = specials_.rbegin(); it != specials_.rend(); ++it)
        it->reset();
}

void TShellLayer::CreateSpecialFolders() {
    for (std::size_t i = 0; i < specials_.size(); ++i) {
        LPITEMIDLIST pidl = nullptr;
        if (FAILED(SHGetSpecialFolderLocation(nullptr, static_cast<int>(kSpecialOrder[i]), &pidl)) ||
            pidl == nullptr)
            continue; // this system has no such folder
        specials_[i] = std::make_unique<TNamespace>(FromItemIDList(pidl), nullptr);
        specials_[i]->ParentShellFolder();
    }
}

TNamespace* TShellLayer::Special(TSpecialFolder folder) const {
    for (std::size_t i = 0; i < specials_.size(); ++i)
        if (kSpecialOrder[i] == folder)
            return specials_[i].get();
    return nullptr;
}

PItemIDList PathToPIDL(const WideString& path) {
    TComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.Put())))
        return nullptr;
    WideString name = path; // ParseDisplayName wants a writable string
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, AsW(name.data()), nullptr, &pidl, nullptr)))
        return nullptr;
    return FromItemIDList(pidl);
}

WideString PIDLToPath(PCItemIDList pidl) {
    if (pidl == nullptr)
        return {};
    TNamespace item(const_cast<PItemIDList>(pidl), nullptr);
    item.SetFreePIDLOnDestroy(false); // the list stays the caller's
    return item.NameForParsing();
}

WideString FileTimeToDateTimeStr(const FILETIME& fileTime) {
    if (fileTime.dwLowDateTime == 0 && fileTime.dwHighDateTime == 0)
        return {};
    FILETIME local;
    SYSTEMTIME time;
    if (!FileTimeToLocalFileTime(&fileTime, &local) || !FileTimeToSystemTime(&local, &time))
        return {};
    wchar_t date[80];
    if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, 80) == 0)
        return {};
    WideString text = FromW(date);
    if (time.wHour != 0 || time.wMinute != 0 || time.wSecond != 0) {
        wchar_t clock[80];
        if (GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, clock, 80) != 0)
            text += u" " + FromW(clock);
    }
    return text;
}

WideString ThousandSeparator() {
    wchar_t separator[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8) == 0)
        return u",";
    return FromW(separator);
}

namespace {

int ImageOfName(const wchar_t* name, DWORD attributes, UINT flags) {
    SHFILEINFOW info{};
    if (SHGetFileInfoW(name, attributes, &info, sizeof(info), flags) == 0)
        return -1;
    return info.iIcon;
}

} // namespace

int DefaultSystemImageIndex(TDefaultSystemImage kind) {
    constexpr UINT kClosed = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | SHGFI_SHELLICONSIZE; // 0x4014
    switch (kind) {
    case TDefaultSystemImage::ClosedFolder:
        return ImageOfName(L"*.*", FILE_ATTRIBUTE_DIRECTORY, kClosed);
    case TDefaultSystemImage::OpenFolder:
        return ImageOfName(L"*.*", FILE_ATTRIBUTE_DIRECTORY, kClosed | SHGFI_OPENICON);
    case TDefaultSystemImage::UnknownFile:
        return ImageOfName(L"*.zyxwv", FILE_ATTRIBUTE_NORMAL, kClosed);
    case TDefaultSystemImage::FixedIndex29:
        return 29;
    case TDefaultSystemImage::MyDocuments: {
        PItemIDList pidl = MyDocumentsPIDL();
        if (pidl == nullptr)
            return DefaultSystemImageIndex(TDefaultSystemImage::ClosedFolder);
        TNamespace item(pidl, nullptr);
        return item.GetIconIndex(false, TIconSize::Large);
    }
    }
    return -1;
}

bool InitShellIconCache(bool fullInit) {
    using TFileIconInit = BOOL(WINAPI*)(BOOL);
    const auto fileIconInit =
        ProcAddress<TFileIconInit>(GetModuleHandleW(L"shell32.dll"), MAKEINTRESOURCEA(660));
    return fileIconInit != nullptr && fileIconInit(fullInit ? TRUE : FALSE) != FALSE;
}

} // namespace tarvola
