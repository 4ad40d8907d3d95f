// TNamespace: construction and identity, the bound interfaces, names and attributes.
#include "shell/VirtualNamespace.h"

#include "shell/VirtualNamespaceCache.h"
#include "shell/VirtualShellOperations.h"
#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualUnicodeDefines.h"
#include "shell/VirtualUtilities.h"

namespace tarvola {

namespace {

TNamespace* SpecialItem(TSpecialFolder folder) {
    return TShellLayer::Get().Special(folder);
}

bool SameItem(PCItemIDList a, const TNamespace* special) {
    return special != nullptr && TShellLayer::Get().Identity().Equal(a, special->AbsolutePIDL());
}

} // namespace

const TPIDLManager& TNamespace::Manager() const {
    return TShellLayer::Get().PIDLMgr();
}

TNamespace::TNamespace(PItemIDList pidl, TNamespace* parent) : parent_(parent) {
    const TPIDLManager& manager = Manager();
    if (parent != nullptr && pidl != nullptr && parent->IsDesktop()) {
        absolutePIDL_ = pidl;
        relativePIDL_ = pidl;
    } else if (parent != nullptr) {
        absolutePIDL_ = manager.AppendPIDL(parent->AbsolutePIDL(), pidl);
        manager.FreePIDL(pidl);
        relativePIDL_ = TPIDLManager::GetLastID(absolutePIDL_);
    } else {
        if (pidl == nullptr) {
            LPITEMIDLIST desktop = nullptr;
            if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop)))
                pidl = FromItemIDList(desktop);
        }
        absolutePIDL_ = pidl;
        relativePIDL_ = TPIDLManager::IsDesktopPIDL(pidl) ? pidl : TPIDLManager::GetLastID(pidl);
    }
    if (absolutePIDL_ == nullptr)
        throw EShellError("No memory for a shell item's identifier list", E_OUTOFMEMORY);
}

std::unique_ptr<TNamespace> TNamespace::CreateFromFileName(const WideString& path) {
    PItemIDList pidl = PathToPIDL(path);
    if (pidl == nullptr)
        throw EVSTInvalidFileName("Trying to create a TNamespace on a non existant File object");
    return std::make_unique<TNamespace>(pidl, nullptr);
}

TNamespace::~TNamespace() {
    if (freePIDL_)
        Manager().FreePIDL(absolutePIDL_);
}

std::unique_ptr<TNamespace> TNamespace::Clone(bool freePIDLOnDestroy) const {
    auto clone = std::make_unique<TNamespace>(Manager().CopyPIDL(absolutePIDL_), nullptr);
    clone->SetFreePIDLOnDestroy(freePIDLOnDestroy);
    return clone;
}

void TNamespace::SetFreePIDLOnDestroy(bool value) {
    freePIDL_ = value;
}

bool TNamespace::IsDesktop() const {
    return TPIDLManager::IsDesktopPIDL(absolutePIDL_);
}

bool TNamespace::IsRecycleBin() {
    if (!isRecycleBin_)
        isRecycleBin_ = SameItem(absolutePIDL_, SpecialItem(TSpecialFolder::RecycleBin));
    return *isRecycleBin_;
}

bool TNamespace::IsControlPanel() const {
    return SameItem(absolutePIDL_, SpecialItem(TSpecialFolder::ControlPanel));
}

bool TNamespace::IsMyComputer() const {
    return SameItem(absolutePIDL_, SpecialItem(TSpecialFolder::MyComputer));
}

bool TNamespace::IsNetworkNeighborhood() const {
    return SameItem(absolutePIDL_, SpecialItem(TSpecialFolder::Network));
}

bool TNamespace::IsNetworkNeighborhoodChild() const {
    const TNamespace* network = SpecialItem(TSpecialFolder::Network);
    return network != nullptr &&
           TShellLayer::Get().Identity().IsParent(network->AbsolutePIDL(), absolutePIDL_, false);
}

int TNamespace::ComparePIDL(PCItemIDList pidl, int column) {
    if (pidl == nullptr)
        return -1;
    IShellFolder* folder = ParentShellFolder();
    if (folder == nullptr)
        return 0;
    // Only read: GetLastID wants a writable list because the manager's other operations write through it.
    const PItemIDList last = TPIDLManager::GetLastID(const_cast<PItemIDList>(pidl));
    const HRESULT hr =
        folder->CompareIDs(static_cast<LPARAM>(column), AsItemIDList(last), AsItemIDList(relativePIDL_));
    return CompareIDsResult(hr);
}

// ---- Bound interfaces

TNamespace* TNamespace::ParentItem() {
    if (IsDesktop())
        return nullptr;
    if (parent_ != nullptr)
        return parent_;
    if (!ownedParent_) {
        PItemIDList parentPIDL = Manager().CopyPIDL(absolutePIDL_);
        TPIDLManager::StripLastID(parentPIDL);
        ownedParent_ = std::make_unique<TNamespace>(parentPIDL, nullptr);
    }
    return ownedParent_.get();
}

HRESULT TNamespace::BindShellFolder(TComPtr<IShellFolder>& folder) {
    if (IsDesktop())
        return SHGetDesktopFolder(folder.Put());
    IShellFolder* parentFolder = ParentShellFolder();
    if (parentFolder == nullptr)
        return E_FAIL;
    return parentFolder->BindToObject(AsItemIDList(relativePIDL_), nullptr, IID_IShellFolder,
                                      folder.PutVoid());
}

IShellFolder* TNamespace::ShellFolder() {
    if (!shellFolder_ && FAILED(BindShellFolder(shellFolder_)))
        shellFolder_.Reset();
    return shellFolder_.Get();
}

IShellFolder* TNamespace::ParentShellFolder() {
    if (IsDesktop())
        return ShellFolder();
    TNamespace* parent = ParentItem();
    return parent == nullptr ? nullptr : parent->ShellFolder();
}

IShellFolder2* TNamespace::ShellFolder2() {
    if (!shellFolder2_ && maySupportFolder2_) {
        if (IShellFolder* folder = ShellFolder()) {
            if (FAILED(folder->QueryInterface(IID_IShellFolder2, shellFolder2_.PutVoid()))) {
                shellFolder2_.Reset();
                maySupportFolder2_ = false;
            }
        }
    }
    return shellFolder2_.Get();
}

IShellDetails* TNamespace::ShellDetails() {
    if (shellDetails_ || !maySupportDetails_)
        return shellDetails_.Get();
    if (IShellFolder* folder = ShellFolder())
        if (FAILED(folder->CreateViewObject(nullptr, IID_IShellDetails, shellDetails_.PutVoid())))
            shellDetails_.Reset();
    if (!shellDetails_) {
        if (IShellFolder* parentFolder = ParentShellFolder()) {
            LPCITEMIDLIST items[1] = {AsItemIDList(relativePIDL_)};
            if (FAILED(parentFolder->GetUIObjectOf(nullptr, 1, items, IID_IShellDetails, nullptr,
                                                   shellDetails_.PutVoid())))
                shellDetails_.Reset();
        }
    }
    if (!shellDetails_)
        maySupportDetails_ = false;
    return shellDetails_.Get();
}

// ---- Names

WideString TNamespace::GetDisplayNameOf(DWORD flags) {
    IShellFolder* folder = ParentShellFolder();
    if (folder == nullptr)
        return {};
    STRRET name{};
    if (FAILED(folder->GetDisplayNameOf(AsItemIDList(relativePIDL_), flags, &name)))
        return {};
    return StrRetToWideStr(name, AsItemIDList(relativePIDL_));
}

WideString TNamespace::CachedName(std::optional<WideString>& slot, DWORD flags) {
    if (!slot)
        slot = GetDisplayNameOf(flags);
    return *slot;
}

WideString TNamespace::NameInFolder() {
    return CachedName(Cache().nameInFolder, SHGDN_INFOLDER);
}

WideString TNamespace::NameParseAddress() {
    return CachedName(Cache().nameParseAddress, SHGDN_FORPARSING | SHGDN_FORADDRESSBAR);
}

WideString TNamespace::NameForParsing() {
    TNamespace* desktopDirectory = SpecialItem(TSpecialFolder::DesktopDirectory);
    if (IsDesktop() && desktopDirectory != nullptr)
        return desktopDirectory->NameForParsing();
    return GetDisplayNameOf(SHGDN_FORPARSING);
}

WideString TNamespace::NameForParsingInFolder() {
    TNamespace* desktopDirectory = SpecialItem(TSpecialFolder::DesktopDirectory);
    if (IsDesktop() && desktopDirectory != nullptr)
        return desktopDirectory->NameForParsingInFolder();
    return GetDisplayNameOf(SHGDN_INFOLDER | SHGDN_FORPARSING);
}

// The extension of the item's own name: a dot in a folder above it does not count.
WideString TNamespace::Extension() {
    return PathElementExtension(NameParseAddress());
}

// ---- Attributes

bool TNamespace::TestAttributes(ULONG mask, bool validate) {
    IShellFolder* folder = ParentShellFolder();
    if (folder == nullptr)
        return false;
    SFGAOF attributes = mask | (validate ? SFGAO_VALIDATE : 0);
    LPCITEMIDLIST items[1] = {AsItemIDList(relativePIDL_)};
    if (FAILED(folder->GetAttributesOf(1, items, &attributes)))
        return false;
    return (attributes & mask) == mask;
}

bool TNamespace::Cached(ULONG bit) {
    TCache& cache = Cache();
    if (!(cache.attributesAsked & bit)) {
        if (TestAttributes(bit))
            cache.attributesSet |= bit;
        cache.attributesAsked |= bit;
    }
    return cache.attributesSet & bit;
}

bool TNamespace::DropTarget() {
    return IsDesktop() || TestAttributes(SFGAO_DROPTARGET);
}

// ---- Enumeration

int TNamespace::EnumerateFolder(bool folders, bool nonFolders, bool includeHidden,
                                const TEnumFolderCallback& callback) {
    IShellFolder* folder = callback ? ShellFolder() : nullptr;
    if (folder == nullptr)
        return 0;
    const SHCONTF flags = (folders ? SHCONTF_FOLDERS : 0) | (nonFolders ? SHCONTF_NONFOLDERS : 0) |
                          (includeHidden ? SHCONTF_INCLUDEHIDDEN : 0);
    TErrorModeGuard quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    TComPtr<IEnumIDList> children;
    // An empty or unreadable folder may answer S_FALSE and no enumerator at all.
    if (folder->EnumObjects(nullptr, flags, children.Put()) != S_OK || !children)
        return 0;
    int count = 0;
    bool terminate = false;
    LPITEMIDLIST child = nullptr;
    ULONG fetched = 0;
    while (!terminate && children->Next(1, &child, &fetched) == S_OK && fetched == 1 && child != nullptr) {
        if (callback(FromItemIDList(child), *this, terminate))
            ++count;
        child = nullptr;
    }
    return count;
}

bool TNamespace::HasChildrenOfKind(SHCONTF flags) {
    if (IsRecycleBin())
        return true;
    IShellFolder* folder = ShellFolder();
    if (folder == nullptr)
        return false;
    TErrorModeGuard quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    TComPtr<IEnumIDList> children;
    if (folder->EnumObjects(nullptr, flags, children.Put()) != S_OK || !children)
        return false;
    LPITEMIDLIST child = nullptr;
    ULONG fetched = 0;
    const bool any = children->Next(1, &child, &fetched) == S_OK && fetched == 1;
    Manager().FreePIDL(FromItemIDList(child));
    return any;
}

// ---- Refresh

TNamespace::TCache& TNamespace::Cache() {
    if (!cache_)
        cache_ = std::make_unique<TCache>();
    return *cache_;
}

void TNamespace::InvalidateCache() {
    extractImage_.reset();
    if (!cache_)
        return;
    std::optional<WIN32_FIND_DATAW> findData = std::move(cache_->findData);
    const bool unavailable = cache_->findDataUnavailable;
    const bool refreshed = cache_->fileTimesRefreshed;
    *cache_ = TCache();
    cache_->findData = std::move(findData);
    cache_->findDataUnavailable = unavailable;
    cache_->fileTimesRefreshed = refreshed;
}

// Drops every bound interface, the folder's columns included (so that a renamed or reloaded item does not
// answer from the old folder object), and the file data. The icons stay unless they are to be refreshed.
void TNamespace::InvalidateNamespace(bool refreshIcon) {
    const std::optional<int> closedIcon = cache_ ? cache_->closedIcon : std::nullopt;
    const std::optional<int> openIcon = cache_ ? cache_->openIcon : std::nullopt;
    InvalidateCache();
    if (cache_) {
        cache_->findData.reset();
        cache_->findDataUnavailable = false;
        cache_->fileTimesRefreshed = false;
    }
    ownedParent_.reset();
    shellFolder_.Reset();
    shellFolder2_.Reset();
    shellDetails_.Reset();
    shellIconOverlay_.Reset();
    dropTarget_.Reset();
    maySupportDetails_ = maySupportFolder2_ = maySupportOverlay_ = true;
    if (!refreshIcon && (closedIcon || openIcon)) {
        Cache().closedIcon = closedIcon;
        Cache().openIcon = openIcon;
    }
    if (parent_ != nullptr && parent_->IsDesktop())
        if (TNamespace* desktopDirectory = SpecialItem(TSpecialFolder::DesktopDirectory))
            if (desktopDirectory != this)
                desktopDirectory->InvalidateNamespace(true);
}

bool TNamespace::ReloadPIDL(bool folders, bool nonFolders, bool includeHidden) {
    TNamespace* parent = ParentItem();
    if (parent == nullptr)
        return false;
    const TPIDLManager& manager = Manager();
    PItemIDList found = nullptr;
    parent->EnumerateFolder(folders, nonFolders, includeHidden,
                            [&](PItemIDList child, TNamespace&, bool& terminate) {
                                if (ComparePIDL(child, 0) == 0) {
                                    found = child;
                                    terminate = true;
                                    return true;
                                }
                                manager.FreePIDL(child);
                                return false;
                            });
    if (found == nullptr)
        return false;
    PItemIDList fresh = manager.AppendPIDL(parent->AbsolutePIDL(), found);
    manager.FreePIDL(found);
    if (fresh == nullptr)
        return false;
    if (freePIDL_)
        manager.FreePIDL(absolutePIDL_);
    freePIDL_ = true; // the new list is this item's own
    absolutePIDL_ = fresh;
    relativePIDL_ = TPIDLManager::GetLastID(absolutePIDL_);
    if (parent_ != nullptr && parent_->IsDesktop())
        relativePIDL_ = absolutePIDL_;
    InvalidateNamespace(true);
    return true;
}

} // namespace tarvola
