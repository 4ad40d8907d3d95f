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
    IShellFolder* folder = item_->ShellFolder();
    if (folder == nullptr) {
        result.Outcome = TEnumerationOutcome::Failed;
        return result;
    }
    TErrorModeGuard quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    TComPtr<IEnumIDList> children;
    const HRESULT hr = folder->EnumObjects(nullptr, static_cast<SHCONTF>(enumFlags), children.Put());
    result.Outcome = EnumerationOutcome(hr, static_cast<bool>(children));
    if (result.Outcome != TEnumerationOutcome::Items)
        return result;
    LPITEMIDLIST child = nullptr;
    ULONG fetched = 0;
    while (children->Next(1, &child, &fetched) == S_OK && fetched == 1 && child != nullptr) {
        // The child keeps this item as its parent: the node of a folder outlives its children's nodes.
        result.Children.push_back(std::make_unique<TShellExplorerItem>(
            std::make_unique<TNamespace>(FromItemIDList(child), item_.get())));
        child = nullptr;
    }
    if (result.Children.empty())
        result.Outcome = TEnumerationOutcome::Empty;
    return result;
}

TFolderIDs TShellExplorerItem::EnumerateIDs(std::uint32_t enumFlags) {
    TFolderIDs result;
    IShellFolder* folder = item_->ShellFolder();
    if (folder == nullptr) {
        result.Outcome = TEnumerationOutcome::Failed;
        return result;
    }
    TErrorModeGuard quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    TComPtr<IEnumIDList> children;
    const HRESULT hr = folder->EnumObjects(nullptr, static_cast<SHCONTF>(enumFlags), children.Put());
    result.Outcome = EnumerationOutcome(hr, static_cast<bool>(children));
    if (result.Outcome != TEnumerationOutcome::Items)
        return result;
    LPITEMIDLIST child = nullptr;
    ULONG fetched = 0;
    while (children->Next(1, &child, &fetched) == S_OK && fetched == 1 && child != nullptr) {
        const PItemIDList record = FromItemIDList(child);
        result.Children.push_back(TItemIDList::FromPIDL(record));
        Manager().FreePIDL(record);
        child = nullptr;
    }
    if (result.Children.empty())
        result.Outcome = TEnumerationOutcome::Empty;
    return result;
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
