#include "explorer/VirtualExplorerTreeShell.h"

#include "shell/VirtualNamespaceCache.h"
#include "shell/VirtualPIDLToolsShell.h"
#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualUtilities.h"

namespace tarvola {

namespace {

const TPIDLManager& Manager() {
    return TShellLayer::Get().PIDLMgr();
}

TExplorerItemPtr ItemOf(PItemIDList absolutePIDL) {
    if (absolutePIDL == nullptr)
        return nullptr;
    return std::make_unique<TShellExplorerItem>(std::make_unique<TNamespace>(absolutePIDL, nullptr));
}

// Lists a folder's children, handing each child's record to take, which owns it from then on. S_FALSE,
// with or without an enumerator, is an empty folder; a folder that hands out nothing is empty too.
template <typename TTake>
TEnumerationOutcome EnumerateChildren(IShellFolder* folder, std::uint32_t enumFlags, TTake&& take) {
    if (folder == nullptr)
        return TEnumerationOutcome::Failed;
    TErrorModeGuard quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    TComPtr<IEnumIDList> children;
    const HRESULT hr = folder->EnumObjects(nullptr, static_cast<SHCONTF>(enumFlags), children.Put());
    const TEnumerationOutcome outcome = EnumerationOutcome(hr, static_cast<bool>(children));
    if (outcome != TEnumerationOutcome::Items)
        return outcome;
    bool any = false;
    LPITEMIDLIST child = nullptr;
    ULONG fetched = 0;
    while (children->Next(1, &child, &fetched) == S_OK && fetched == 1 && child != nullptr) {
        take(FromItemIDList(child));
        any = true;
        child = nullptr;
    }
    return any ? TEnumerationOutcome::Items : TEnumerationOutcome::Empty;
}

// The system's change notification on a directory of a local drive, for the changes that alter what
// its shell listing holds: names of files and folders (added, removed, renamed) and attributes (hidden).
class TDirectoryWatch final : public IListingWatch {
public:
    // nullptr for a path that is no directory of a local drive: changes made on another machine need not
    // reach a watch over a network share, so a folder there is always listed again.
    static TListingWatchPtr Begin(const WideString& path) {
        if (!OnLocalDrive(path))
            return nullptr;
        TErrorModeGuard quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        const HANDLE handle = FindFirstChangeNotificationW(
            reinterpret_cast<LPCWSTR>(path.c_str()), FALSE,
            FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES);
        if (handle == INVALID_HANDLE_VALUE)
            return nullptr;
        return TListingWatchPtr(new TDirectoryWatch(path, handle));
    }
    ~TDirectoryWatch() override { FindCloseChangeNotification(handle_); }
    TDirectoryWatch(const TDirectoryWatch&) = delete;
    TDirectoryWatch& operator=(const TDirectoryWatch&) = delete;

    // The directory itself may have been renamed or removed, which a watch inside it need not report.
    bool Quiet() override {
        if (!quiet_)
            return false;
        quiet_ = WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT && WideDirectoryExists(path_);
        return quiet_;
    }

private:
    TDirectoryWatch(WideString path, HANDLE handle) : path_(std::move(path)), handle_(handle) {}

    static bool OnLocalDrive(const WideString& path) {
        if (path.size() < 3 || path[1] != u':' || path[2] != u'\\')
            return false;
        const WideString root = path.substr(0, 3);
        switch (GetDriveTypeW(reinterpret_cast<LPCWSTR>(root.c_str()))) {
        case DRIVE_FIXED:
        case DRIVE_REMOVABLE:
        case DRIVE_RAMDISK:
            return true;
        default:
            return false;
        }
    }

    WideString path_;
    HANDLE handle_;
    bool quiet_ = true;
};

} // namespace

TShellExplorerItem::TShellExplorerItem(std::unique_ptr<TNamespace> item)
    : item_(std::move(item)), pidl_(TItemIDList::FromPIDL(item_->AbsolutePIDL())),
      relative_(pidl_.LastItem()) {}

TExplorerItemPtr TShellExplorerItem::Clone() const {
    return std::make_unique<TShellExplorerItem>(item_->Clone());
}

bool TShellExplorerItem::HasChildrenOfKind(std::uint32_t enumFlags) {
    return item_->HasChildrenOfKind(static_cast<SHCONTF>(enumFlags));
}

TFolderEnumeration TShellExplorerItem::Enumerate(std::uint32_t enumFlags) {
    TFolderEnumeration result;
    result.Outcome = EnumerateChildren(item_->ShellFolder(), enumFlags, [&](PItemIDList child) {
        // The child keeps this item as its parent: the node of a folder outlives its children's nodes.
        result.Children.push_back(
            std::make_unique<TShellExplorerItem>(std::make_unique<TNamespace>(child, item_.get())));
    });
    return result;
}

TFolderIDs TShellExplorerItem::EnumerateIDs(std::uint32_t enumFlags) {
    TFolderIDs result;
    result.Outcome = EnumerateChildren(item_->ShellFolder(), enumFlags, [&](PItemIDList child) {
        result.Children.push_back(TItemIDList::FromPIDL(child));
        Manager().FreePIDL(child);
    });
    return result;
}

TListingWatchPtr TShellExplorerItem::WatchListing() {
    // The desktop lists more than its directory holds.
    if (item_->IsDesktop() || !item_->Folder() || !item_->FileSystem())
        return nullptr;
    return TDirectoryWatch::Begin(item_->NameForParsing());
}

std::optional<int> TShellExplorerItem::CompareChildren(int column, const TItemIDList& a,
                                                       const TItemIDList& b) {
    IShellFolder* folder = item_->ShellFolder();
    if (folder == nullptr)
        return std::nullopt;
    return CompareIDsOrder(
        folder->CompareIDs(static_cast<LPARAM>(column), AsItemIDList(a.Data()), AsItemIDList(b.Data())));
}

WideString TShellExplorerItem::DetailText(TColumnDetails kind, TFileSizeFormat sizeFormat) {
    switch (kind) {
    case TColumnDetails::cdFileName:
        return item_->NameInFolder();
    case TColumnDetails::cdSize:
        switch (sizeFormat) {
        case TFileSizeFormat::fsfActual:
            return item_->SizeOfFile();
        case TFileSizeFormat::fsfDiskUsage:
            return item_->SizeOfFileDiskUsage();
        default:
            return item_->SizeOfFileKB();
        }
    case TColumnDetails::cdType:
        return item_->FileType();
    case TColumnDetails::cdModified:
        return item_->LastWriteTime();
    case TColumnDetails::cdAccessed:
        return item_->LastAccessTime();
    case TColumnDetails::cdCreated:
        return item_->CreationTime();
    case TColumnDetails::cdAttributes:
        return item_->AttributesString();
    case TColumnDetails::cdPath:
        return item_->NameParseAddress();
    case TColumnDetails::cdDOSName:
        return item_->ShortFileName();
    default:
        return {};
    }
}

void TShellExplorerItem::Invalidate(bool refreshIcon) {
    item_->InvalidateNamespace(refreshIcon);
    pidl_ = TItemIDList::FromPIDL(item_->AbsolutePIDL());
    relative_ = pidl_.LastItem();
}

int TShellExplorerItem::IconIndex(bool open, bool large) {
    return item_->GetIconIndex(open, large ? TIconSize::Large : TIconSize::Small);
}

std::optional<int> TShellExplorerItem::OverlayIndex() {
    const int index = item_->OverlayIndex();
    return index < 0 ? std::nullopt : std::optional<int>(index);
}

void TShellExplorerNamespace::PrepareNamesInFolder(std::span<IExplorerItem* const> items) {
    std::vector<TNamespace*> namespaces;
    namespaces.reserve(items.size());
    for (IExplorerItem* item : items)
        if (auto* shellItem = dynamic_cast<TShellExplorerItem*>(item))
            namespaces.push_back(&shellItem->Namespace());
    TNamespace::PrepareNamesInFolder(namespaces);
}

TExplorerItemPtr TShellExplorerNamespace::SpecialFolder(int csidl) {
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl)))
        return nullptr;
    return ItemOf(FromItemIDList(pidl));
}

TExplorerItemPtr TShellExplorerNamespace::ItemFromPath(const WideString& path) {
    return ItemOf(PathToPIDL(path));
}

TExplorerItemPtr TShellExplorerNamespace::ItemFromPIDL(const TItemIDList& pidl) {
    return ItemOf(Manager().CopyPIDL(pidl.Data()));
}

bool TShellExplorerNamespace::DirectoryExists(const WideString& path) {
    return WideDirectoryExists(path);
}

bool TShellExplorerNamespace::SameItem(const TItemIDList& a, const TItemIDList& b) {
    return Manager().Identity().Equal(a.Data(), b.Data());
}

bool TShellExplorerNamespace::DiskInDrive(char16_t letter) {
    return tarvola::DiskInDrive(letter);
}

TColumnFolderKind TShellExplorerItem::ColumnFolderKind() {
    if (item_->IsMyComputer())
        return TColumnFolderKind::MyComputer;
    if (item_->IsControlPanel())
        return TColumnFolderKind::ControlPanel;
    if (item_->IsNetworkNeighborhood())
        return TColumnFolderKind::Network;
    if (item_->IsNetworkNeighborhoodChild())
        return TColumnFolderKind::BelowNetwork;
    return TColumnFolderKind::General;
}

} // namespace tarvola
