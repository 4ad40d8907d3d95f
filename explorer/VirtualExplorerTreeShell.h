// The explorer tree's shell seam over the real shell: each item a TNamespace, folders listed with
// IShellFolder::EnumObjects (S_FALSE, with or without an enumerator, is an empty folder) and ordered with
// IShellFolder::CompareIDs (read as an order only when the call succeeded). Windows only; used on the GUI
// thread after the shell layer has started.
#pragma once

#include "explorer/ExplorerStateShellWin32.h"
#include "explorer/VirtualExplorerTypes.h"
#include "shell/VirtualNamespace.h"

#include <memory>

namespace tarvola {

class TShellExplorerItem final : public IExplorerItem {
public:
    explicit TShellExplorerItem(std::unique_ptr<TNamespace> item);

    TNamespace& Namespace() const { return *item_; }

    const TItemIDList& AbsolutePIDL() const override { return pidl_; }
    const TItemIDList& RelativePIDL() const override { return relative_; }
    TExplorerItemPtr Clone() const override;
    bool Folder() override { return item_->Folder(); }
    bool FileSystem() override { return item_->FileSystem(); }
    bool IsRecycleBin() override { return item_->IsRecycleBin(); }
    bool Ghosted() override { return item_->Ghosted(); }
    bool Link() override { return item_->Link(); }
    bool Share() override { return item_->Share(); }
    bool HasSubFolder() override { return item_->HasSubFolder(); }
    bool HasChildrenOfKind(std::uint32_t enumFlags) override;
    TFolderEnumeration Enumerate(std::uint32_t enumFlags) override;
    // The records as the enumerator hands them out: no shell item is made for them.
    TFolderIDs EnumerateIDs(std::uint32_t enumFlags) override;
    // For a folder of the file system on a local drive: the system's change notification on its directory.
    TListingWatchPtr WatchListing() override;
    std::optional<int> CompareChildren(int column, const TItemIDList& a, const TItemIDList& b) override;
    WideString NameNormal() override { return item_->NameNormal(); }
    WideString NameInFolder() override { return item_->NameInFolder(); }
    WideString NameForParsing() override { return item_->NameForParsing(); }
    WideString NameParseAddressInFolder() override { return item_->NameParseAddressInFolder(); }
    WideString DetailText(TColumnDetails kind, TFileSizeFormat sizeFormat) override;
    WideString DetailsOf(int column) override { return item_->DetailsOf(column); }
    int DetailsColumnCount() override { return item_->DetailsColumnCount(); }
    WideString DetailsColumnTitle(int column) override { return item_->DetailsColumnTitle(column); }
    TDetailsColumnStates DetailsColumnState(int column) override { return item_->DetailsColumnState(column); }
    TColumnFolderKind ColumnFolderKind() override;
    bool Compressed() override { return item_->Compressed(); }
    bool Hidden() override { return item_->Hidden(); }
    int IconIndex(bool open, bool large) override;
    std::optional<int> OverlayIndex() override;
    // The item may have followed a rename to a new list: the lists are read again.
    void Invalidate(bool refreshIcon) override;

private:
    std::unique_ptr<TNamespace> item_;
    TItemIDList pidl_;
    TItemIDList relative_;
};

class TShellExplorerNamespace final : public IExplorerNamespace {
public:
    TExplorerItemPtr SpecialFolder(int csidl) override;
    TExplorerItemPtr ItemFromPath(const WideString& path) override;
    TExplorerItemPtr ItemFromPIDL(const TItemIDList& pidl) override;
    bool DirectoryExists(const WideString& path) override;
    bool SameItem(const TItemIDList& a, const TItemIDList& b) override;
    bool DiskInDrive(char16_t letter) override;
    IStateShell& StateShell() override { return stateShell_; }
    void PrepareNamesInFolder(std::span<IExplorerItem* const> items) override;

private:
    TShellStateShell stateShell_;
};

} // namespace tarvola
