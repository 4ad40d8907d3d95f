// TNamespace: file data (attributes, sizes, times, type), detail columns, icons and the info tip.
#include "shell/VirtualNamespace.h"

#include "shell/VirtualNamespaceCache.h"
#include "shell/VirtualResources.h"
#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualUnicodeDefines.h"
#include "shell/VirtualUtilities.h"

namespace tarvola {

namespace {

bool IsZero(const FILETIME& time) {
    return time.dwLowDateTime == 0 && time.dwHighDateTime == 0;
}

WideString CachedText(std::optional<WideString>& slot, const std::function<WideString()>& make) {
    if (!slot)
        slot = make();
    return *slot;
}

} // namespace

// ---- File data

const WIN32_FIND_DATAW* TNamespace::FindData() {
    if (IsDesktop() || Cache().findDataUnavailable)
        return nullptr;
    if (Cache().findData)
        return &*Cache().findData;
    WIN32_FIND_DATAW data{};
    HRESULT hr = E_FAIL;
    if (IShellFolder* folder = ParentShellFolder())
        hr = SHGetDataFromIDListW(folder, AsItemIDList(relativePIDL_), SHGDFIL_FINDDATA, &data, sizeof(data));
    // A file on the desktop lives in the desktop directory; ask that folder when the desktop cannot tell.
    TNamespace* desktopDirectory = TShellLayer::Get().Special(TSpecialFolder::DesktopDirectory);
    if (hr != S_OK && TPIDLManager::CountIDs(absolutePIDL_) == 1 && desktopDirectory != nullptr)
        if (IShellFolder* folder = desktopDirectory->ShellFolder())
            hr = SHGetDataFromIDListW(folder, AsItemIDList(relativePIDL_), SHGDFIL_FINDDATA, &data,
                                      sizeof(data));
    if (hr != S_OK) {
        Cache().findDataUnavailable = true;
        return nullptr;
    }
    Cache().findData = data;
    return &*Cache().findData;
}

bool TNamespace::FileAttribute(DWORD bit) {
    const WIN32_FIND_DATAW* data = FileSystem() ? FindData() : nullptr;
    return data != nullptr && (data->dwFileAttributes & bit) != 0;
}

WideString TNamespace::AttributesString() {
    const WIN32_FIND_DATAW* data = FileSystem() ? FindData() : nullptr;
    return data == nullptr ? WideString() : AttributeLetters(data->dwFileAttributes);
}

WideString TNamespace::FileName() {
    const WIN32_FIND_DATAW* data = FileSystem() ? FindData() : nullptr;
    return data == nullptr ? WideString() : FromW(data->cFileName);
}

WideString TNamespace::ShortFileName() {
    const WIN32_FIND_DATAW* data = FileSystem() ? FindData() : nullptr;
    if (data == nullptr)
        return {};
    const WideString shortName = FromW(data->cAlternateFileName);
    return shortName.empty() ? PlatformText().UpperCase(FromW(data->cFileName)) : shortName;
}

std::uint64_t TNamespace::SizeOfFileInt64() {
    const WIN32_FIND_DATAW* data = FileSystem() ? FindData() : nullptr;
    return data == nullptr ? 0 : (std::uint64_t(data->nFileSizeHigh) << 32) | data->nFileSizeLow;
}

WideString TNamespace::SizeOfFile() {
    return CachedText(Cache().sizeOfFile, [this] {
        return Folder() ? WideString() : WideIntToStrWithSeparators(SizeOfFileInt64(), ThousandSeparator());
    });
}

WideString TNamespace::SizeOfFileKB() {
    return CachedText(Cache().sizeOfFileKB, [this] {
        return Folder() ? WideString() : SizeInKBText(SizeOfFileInt64(), ThousandSeparator());
    });
}

WideString TNamespace::SizeOfFileDiskUsage() {
    if (Folder())
        return {};
    const WideString drive = WideExtractFileDrive(NameForParsing());
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (drive.empty() ||
        !GetDiskFreeSpaceW(AsW(drive + u"\\"), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return SizeOfFile();
    const std::uint64_t cluster = std::uint64_t(sectorsPerCluster) * bytesPerSector;
    if (cluster == 0)
        return SizeOfFile();
    const std::uint64_t size = SizeOfFileInt64();
    const std::uint64_t used = (size / cluster + (size % cluster != 0 ? 1 : 0)) * cluster;
    return WideIntToStrWithSeparators(used, ThousandSeparator());
}

WideString TNamespace::ShellTypeName() {
    SHFILEINFOW info{};
    if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolutePIDL_), 0, &info, sizeof(info),
                       SHGFI_TYPENAME | SHGFI_PIDL) == 0)
        return {};
    return FromW(info.szTypeName);
}

WideString TNamespace::FileType() {
    return CachedText(Cache().fileType, [this] {
        const WideString type = ShellTypeName();
        return type.empty() ? PlatformText().UpperCase(Extension()) + u" File" : type;
    });
}

// Creation and last-access times as the file system has them now (the shell's find data may carry only the
// last-write time); once per item.
void TNamespace::RefreshFileTimes() {
    if (Cache().fileTimesRefreshed)
        return;
    Cache().fileTimesRefreshed = true;
    if (!FileSystem() || FindData() == nullptr)
        return;
    WIN32_FIND_DATAW fresh{};
    const HANDLE search = FindFirstFileW(AsW(NameParseAddress()), &fresh);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FindClose(search);
    Cache().findData->ftCreationTime = fresh.ftCreationTime;
    Cache().findData->ftLastAccessTime = fresh.ftLastAccessTime;
    Cache().findData->ftLastWriteTime = fresh.ftLastWriteTime;
}

FILETIME TNamespace::CreationTimeRaw() {
    RefreshFileTimes();
    const WIN32_FIND_DATAW* data = FileSystem() ? FindData() : nullptr;
    return data == nullptr ? FILETIME{} : data->ftCreationTime;
}

FILETIME TNamespace::LastAccessTimeRaw() {
    RefreshFileTimes();
    const WIN32_FIND_DATAW* data = FileSystem() ? FindData() : nullptr;
    return data == nullptr ? FILETIME{} : data->ftLastAccessTime;
}

FILETIME TNamespace::LastWriteTimeRaw() {
    const WIN32_FIND_DATAW* data = FileSystem() ? FindData() : nullptr;
    return data == nullptr ? FILETIME{} : data->ftLastWriteTime;
}

WideString TNamespace::CreationTime() {
    return CachedText(Cache().creationTime, [this] { return FileTimeToDateTimeStr(CreationTimeRaw()); });
}

WideString TNamespace::LastAccessTime() {
    return CachedText(Cache().lastAccessTime, [this] { return FileTimeToDateTimeStr(LastAccessTimeRaw()); });
}

WideString TNamespace::LastWriteTime() {
    return CachedText(Cache().lastWriteTime, [this] {
        const FILETIME time = LastWriteTimeRaw();
        return IsZero(time) ? WideString() : FileTimeToDateTimeStr(time);
    });
}

double TNamespace::LastWriteDateTime() {
    return FileTimeToDateTime(LastWriteTimeRaw());
}

WideString TNamespace::InfoTip() {
    IShellFolder* folder = ParentShellFolder();
    if (folder == nullptr || IsDesktop())
        return {};
    TComPtr<IQueryInfo> info;
    LPCITEMIDLIST items[1] = {AsItemIDList(relativePIDL_)};
    if (FAILED(folder->GetUIObjectOf(nullptr, 1, items, IID_IQueryInfo, nullptr, info.PutVoid())) || !info)
        return {};
    LPWSTR tip = nullptr;
    if (FAILED(info->GetInfoTip(0, &tip)) || tip == nullptr)
        return {};
    WideString text = FromW(tip);
    CoTaskMemFree(tip);
    return text;
}

// ---- Detail columns

namespace {

// Counts columns while ask(i) succeeds; a folder that claims the limit or more is taken to claim none.
int CountColumns(const std::function<bool(int)>& ask) {
    int count = 0;
    while (count < kMaxDetailsColumns && ask(count))
        ++count;
    return count >= kMaxDetailsColumns ? 0 : count;
}

bool DetailsText(HRESULT hr, SHELLDETAILS& details, WideString& text) {
    if (FAILED(hr))
        return false;
    text = StrRetToWideStr(details.str, nullptr);
    return true;
}

} // namespace

int TNamespace::DetailsColumnCount() {
    if (Cache().columnCount)
        return *Cache().columnCount;
    int count = 0;
    if (IShellFolder2* folder2 = ShellFolder2()) {
        count = CountColumns([folder2](int i) {
            SHCOLSTATEF state = 0;
            return SUCCEEDED(folder2->GetDefaultColumnState(static_cast<UINT>(i), &state));
        });
        if (count == 0)
            count = CountColumns([folder2](int i) {
                SHELLDETAILS details{};
                WideString ignored;
                return DetailsText(folder2->GetDetailsOf(nullptr, static_cast<UINT>(i), &details), details,
                                   ignored);
            });
    }
    if (count == 0)
        if (IShellDetails* shellDetails = ShellDetails())
            count = CountColumns([shellDetails](int i) {
                SHELLDETAILS details{};
                WideString ignored;
                return DetailsText(shellDetails->GetDetailsOf(nullptr, static_cast<UINT>(i), &details),
                                   details, ignored);
            });
    if (count == 0)
        count = DetailsDefaultColumnCount();
    Cache().columnCount = count;
    return count;
}

WideString TNamespace::DetailsColumnTitle(int column) {
    if (!IsValidColumn(column))
        return {};
    SHELLDETAILS details{};
    WideString title;
    if (IShellFolder2* folder2 = ShellFolder2())
        if (DetailsText(folder2->GetDetailsOf(nullptr, static_cast<UINT>(column), &details), details, title))
            return title;
    if (IShellDetails* shellDetails = ShellDetails())
        if (DetailsText(shellDetails->GetDetailsOf(nullptr, static_cast<UINT>(column), &details), details,
                        title))
            return title;
    return DetailsDefaultColumnTitle(column);
}

int TNamespace::DetailsDefaultColumnCount() {
    return kBuiltInColumnCount;
}

WideString TNamespace::DetailsDefaultColumnTitle(int column) {
    return BuiltInColumnTitle(column);
}

TDetailsColumnStates TNamespace::DetailsColumnState(int column) {
    if (!IsValidColumn(column))
        return {};
    SHCOLSTATEF state = 0;
    if (IShellFolder2* folder2 = ShellFolder2())
        if (SUCCEEDED(folder2->GetDefaultColumnState(static_cast<UINT>(column), &state)))
            return DetailsColumnStatesOf(state);
    TDetailsColumnStates onByDefault;
    onByDefault.onByDefault = true;
    return onByDefault;
}

WideString TNamespace::DetailsOf(int column) {
    TNamespace* parent = ParentItem();
    if (IsDesktop() || parent == nullptr || ParentShellFolder() == nullptr || !parent->IsValidColumn(column))
        return {};
    SHELLDETAILS details{};
    WideString text;
    const auto item = AsItemIDList(relativePIDL_);
    if (IShellFolder2* folder2 = parent->ShellFolder2()) {
        if (DetailsText(folder2->GetDetailsOf(item, static_cast<UINT>(column), &details), details, text))
            return text;
        if (IShellDetails* shellDetails = parent->ShellDetails())
            return DetailsText(shellDetails->GetDetailsOf(item, static_cast<UINT>(column), &details), details,
                               text)
                       ? text
                       : DetailsDefaultOf(column);
        return {};
    }
    if (IShellDetails* shellDetails = parent->ShellDetails())
        return DetailsText(shellDetails->GetDetailsOf(item, static_cast<UINT>(column), &details), details,
                           text)
                   ? text
                   : WideString();
    return DetailsDefaultOf(column);
}

WideString TNamespace::DetailsDefaultOf(int column) {
    switch (column) {
    case -1:
    case 0:
        return NameInFolder();
    case 1:
        return SizeOfFileKB();
    case 2:
        return (!FileSystem() || FindData() == nullptr || FileName().empty()) ? WideString(u"System Folder")
                                                                              : FileType();
    case 3:
        return LastWriteTime();
    case 4:
        return AttributesString();
    default:
        return {};
    }
}

// ---- Icons

int TNamespace::GetIconIndex(bool openIcon, TIconSize size, bool forceLoad) {
    std::optional<int>& slot = openIcon ? Cache().openIcon : Cache().closedIcon;
    if (slot && !forceLoad)
        return *slot;
    int index = -1;
    TNamespace* parent = ParentItem();
    if (parent != nullptr && parent->ShellFolder() != nullptr) {
        TComPtr<IShellIcon> shellIcon;
        int shellIndex = -1;
        if (SUCCEEDED(parent->ShellFolder()->QueryInterface(IID_IShellIcon, shellIcon.PutVoid())) &&
            shellIcon &&
            SUCCEEDED(
                shellIcon->GetIconOf(AsItemIDList(relativePIDL_), openIcon ? GIL_OPENICON : 0, &shellIndex)))
            index = shellIndex;
    }
    if (index < 0 && !openIcon && parent != nullptr && parent->ShellFolder() != nullptr) {
        // Through the folder the item already has: SHGetFileInfo binds the item's parent afresh from the
        // desktop on every call, which costs far more than finding the icon.
        index = SHMapPIDLToSystemImageListIndex(parent->ShellFolder(), AsItemIDList(relativePIDL_), nullptr);
    }
    if (index < 0) {
        SHFILEINFOW info{};
        UINT flags = SHGFI_SYSICONINDEX | SHGFI_PIDL | SHGFI_SHELLICONSIZE;
        if (size == TIconSize::Small)
            flags |= SHGFI_SMALLICON;
        if (openIcon)
            flags |= SHGFI_OPENICON;
        if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolutePIDL_), 0, &info, sizeof(info), flags) != 0)
            index = info.iIcon;
    }
    if (openIcon && (index == 0 || (parent != nullptr && parent->IsControlPanel())))
        index = GetIconIndex(false, size, forceLoad);
    slot = index;
    return index;
}

int TNamespace::OverlayIndex() {
    if (Cache().overlay)
        return *Cache().overlay;
    TNamespace* parent = ParentItem();
    if (parent == nullptr)
        return -1;
    if (!parent->shellIconOverlay_ && parent->maySupportOverlay_) {
        if (IShellFolder* folder = parent->ShellFolder())
            if (FAILED(folder->QueryInterface(IID_IShellIconOverlay, parent->shellIconOverlay_.PutVoid())))
                parent->shellIconOverlay_.Reset();
        if (!parent->shellIconOverlay_)
            parent->maySupportOverlay_ = false;
    }
    int index = -1;
    if (!parent->shellIconOverlay_ ||
        FAILED(parent->shellIconOverlay_->GetOverlayIndex(AsItemIDList(relativePIDL_), &index)) || index < 0)
        return -1; // asked again next time
    Cache().overlay = index;
    return index;
}

} // namespace tarvola
