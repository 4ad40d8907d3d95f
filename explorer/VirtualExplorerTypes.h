// What the explorer tree is made of besides the tree control: its option sets, its root folders, and the
// two seams through which it reaches the shell. IExplorerItem is one shell item (a TNamespace on Windows,
// an in-memory item in native tests); IExplorerNamespace makes items from paths, lists and special folders.
// Everything here is portable.
#pragma once

#include "explorer/ExplorerRefresh.h"
#include "explorer/ExplorerStateShell.h"
#include "shell/VirtualShellTypes.h"
#include "tree/TreeOptions.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace tarvola {

enum class TVETFolderOption : std::uint8_t {
    toFoldersExpandable,
    toHideRootFolder,
    toForceHideRecycleBin,
    toForceShowMyDocuments,
    toShowOpenIconOnSelect,
    toDisableGhostedFolders,
    toNoUseVETColorsProp,
};
enum class TVETShellOption : std::uint8_t {
    toRightAlignSizeColumn,
    toContextMenus,
    toDragDrop,
    toShellHints,
    toShellColumnMenu,
};
enum class TVETSyncOption : std::uint8_t { toCollapseTargetFirst, toExpandTarget, toSelectTarget };
enum class TVETMiscOption : std::uint8_t {
    toBrowseExecuteFolder,
    toBrowseExecuteFolderShortcut,
    toBrowseExecuteZipFolder,
    toChangeNotifierThread,
    toListviewLimitBrowseToRoot,
    toNoRebuildIconListOnAssocChange,
    toTrackChangesInMappedDrives,
    toPersistentColumns,
    toExecuteOnDblClk,
    toRightButtonSelect,
    toRemoveContextMenuShortCut,
    toUserSort,
    toAutoScrollHorz,
    toVETReadOnly,
    toRestoreTopNodeOnRefresh,
};
enum class TVETImageOption : std::uint8_t {
    toHideOverlay,
    toImages,
    toThreadedImages,
    toLargeImages,
    toMarkCutAndCopy,
};
using TVETFolderOptions = TOptionSet<TVETFolderOption>;
using TVETShellOptions = TOptionSet<TVETShellOption>;
using TVETSyncOptions = TOptionSet<TVETSyncOption>;
using TVETMiscOptions = TOptionSet<TVETMiscOption>;
using TVETImageOptions = TOptionSet<TVETImageOption>;

// The special folders a tree can be rooted at, then the two custom roots; the ordinal is what saved state
// records.
enum class TRootFolder : std::uint8_t {
    rfAdminTools,
    rfAltStartup,
    rfAppData,
    rfBitBucket,
    rfCommonAdminTools,
    rfCommonAltStartup,
    rfCommonAppData,
    rfCommonDesktopDirectory,
    rfCommonDocuments,
    rfCommonFavorties,
    rfCommonPrograms,
    rfCommonStartMenu,
    rfCommonStartup,
    rfCommonTemplates,
    rfControlPanel,
    rfCookies,
    rfDesktop,
    rfDesktopDirectory,
    rfDrives,
    rfFavorites,
    rfFonts,
    rfHistory,
    rfInternet,
    rfInternetCache,
    rfLocalAppData,
    rfMyPictures,
    rfNetHood,
    rfNetwork,
    rfPersonal,
    rfPrinters,
    rfPrintHood,
    rfProfile,
    rfProgramFiles,
    rfCommonProgramFiles,
    rfPrograms,
    rfRecent,
    rfSendTo,
    rfStartMenu,
    rfStartUp,
    rfSystem,
    rfTemplate,
    rfWindows,
    rfCustom,
    rfCustomPIDL,
};
// The CSIDL of a special folder; nullopt for the two custom roots.
std::optional<int> RootFolderToCSIDL(TRootFolder folder);
// A root folder byte read from saved state; nullopt for a byte that names none.
std::optional<TRootFolder> RootFolderFromByte(std::uint8_t value);

enum class TFileObject : std::uint8_t { foFolders, foNonFolders, foHidden };
using TFileObjects = TOptionSet<TFileObject>;
// The shell's enumeration flags for a set of file objects.
constexpr std::uint32_t kEnumFolders = 0x20;
constexpr std::uint32_t kEnumNonFolders = 0x40;
constexpr std::uint32_t kEnumHidden = 0x80;
std::uint32_t EnumerationFlags(TFileObjects objects);

enum class TFileSizeFormat : std::uint8_t { fsfExplorer, fsfActual, fsfDiskUsage };
enum class TColumnDetailType : std::uint8_t { cdUser, cdVETColumns, cdShellColumns };
// The kind of a built-in detail column.
enum class TColumnDetails : std::uint8_t {
    cdFileName,
    cdSize,
    cdType,
    cdModified,
    cdAccessed,
    cdCreated,
    cdAttributes,
    cdPath,
    cdDOSName,
    cdCustom,
};

// The folders whose shell columns have default widths of their own.
enum class TColumnFolderKind : std::uint8_t { General, MyComputer, ControlPanel, Network, BelowNetwork };

enum class TNamespaceStructureChange : std::uint8_t { nscDelete = 0, nscAdd = 1 };

class IExplorerItem;
using TExplorerItemPtr = std::unique_ptr<IExplorerItem>;

// Tells whether a folder still holds the children it held when the watch began.
class IListingWatch {
public:
    virtual ~IListingWatch() = default;
    // True while no child was added, removed or renamed and no child's attributes changed since the watch
    // began; false once anything may have changed (and from then on).
    virtual bool Quiet() = 0;
};
using TListingWatchPtr = std::unique_ptr<IListingWatch>;

// A folder's children as the shell listed them, with what the listing came to.
struct TFolderEnumeration {
    TEnumerationOutcome Outcome = TEnumerationOutcome::Empty;
    std::vector<TExplorerItemPtr> Children;
};
// The same listing as the children's last records only.
struct TFolderIDs {
    TEnumerationOutcome Outcome = TEnumerationOutcome::Empty;
    std::vector<TItemIDList> Children;
};

// One shell item. Answers are cached by the item until Invalidate; a shell call that fails gives the
// neutral answer (false, empty, -1).
class IExplorerItem {
public:
    virtual ~IExplorerItem() = default;
    virtual const TItemIDList& AbsolutePIDL() const = 0;
    // The last record, as its folder knows the item (the desktop for the desktop).
    virtual const TItemIDList& RelativePIDL() const = 0;
    // A new item for the same list.
    virtual TExplorerItemPtr Clone() const = 0;

    virtual bool Folder() = 0;
    virtual bool FileSystem() = 0;
    virtual bool IsRecycleBin() = 0;
    virtual bool Ghosted() = 0;
    virtual bool Link() = 0;
    virtual bool Share() = 0;
    // The shell's cheap answer: the item says it has sub-folders.
    virtual bool HasSubFolder() = 0;
    // Whether enumerating with the flags would list anything (stops at the first child).
    virtual bool HasChildrenOfKind(std::uint32_t enumFlags) = 0;
    // The item's children as a folder, in the shell's listing order.
    virtual TFolderEnumeration Enumerate(std::uint32_t enumFlags) = 0;
    // The children's last records only, for a check whether anything came or went; an item whose children
    // are cheap to make need not override it.
    virtual TFolderIDs EnumerateIDs(std::uint32_t enumFlags) {
        TFolderEnumeration listing = Enumerate(enumFlags);
        TFolderIDs ids{listing.Outcome, {}};
        ids.Children.reserve(listing.Children.size());
        for (const TExplorerItemPtr& child : listing.Children)
            ids.Children.push_back(child->RelativePIDL());
        return ids;
    }
    // A watch over the folder's children, begun before a listing: while it stays quiet, a new listing
    // would give the same children, and a refresh need not list again. nullptr where the item cannot watch
    // (a refresh then always lists).
    virtual TListingWatchPtr WatchListing() { return nullptr; }
    // This folder's order of two of its children (lists of their last records) in a details column:
    // negative, zero or positive; nullopt when the shell could not compare them.
    virtual std::optional<int> CompareChildren(int column, const TItemIDList& a, const TItemIDList& b) = 0;

    virtual WideString NameNormal() = 0;
    virtual WideString NameInFolder() = 0;
    // The full parse name (a file-system item's path).
    virtual WideString NameForParsing() = 0;
    // The name within the folder as the address bar parses it (a file's name with its extension).
    virtual WideString NameParseAddressInFolder() = 0;
    // A built-in detail column's text.
    virtual WideString DetailText(TColumnDetails kind, TFileSizeFormat sizeFormat) = 0;
    // The text of this item in its parent folder's details column.
    virtual WideString DetailsOf(int column) = 0;
    // This item as a folder of detail columns, and what its text colours depend on. An item that cannot
    // tell answers neutrally (no columns, nothing set).
    virtual int DetailsColumnCount() { return 0; }
    virtual WideString DetailsColumnTitle(int /*column*/) { return {}; }
    virtual TDetailsColumnStates DetailsColumnState(int /*column*/) { return {}; }
    virtual TColumnFolderKind ColumnFolderKind() { return TColumnFolderKind::General; }
    virtual bool Compressed() { return false; }
    virtual bool Hidden() { return false; }

    // The system image list index (-1 for none).
    virtual int IconIndex(bool open, bool large) = 0;
    // The shell's overlay index (1-based, 0 for none); nullopt when the folder offers no overlays.
    virtual std::optional<int> OverlayIndex() = 0;
    // Drops the cached answers (the icon too when refreshIcon).
    virtual void Invalidate(bool refreshIcon) = 0;
};

// Makes items. Every answer is a new item the caller owns.
class IExplorerNamespace {
public:
    virtual ~IExplorerNamespace() = default;
    // The item of a special folder; nullptr when this system has none.
    virtual TExplorerItemPtr SpecialFolder(int csidl) = 0;
    // The item of a path; nullptr when the shell cannot parse it.
    virtual TExplorerItemPtr ItemFromPath(const WideString& path) = 0;
    virtual TExplorerItemPtr ItemFromPIDL(const TItemIDList& pidl) = 0;
    virtual bool DirectoryExists(const WideString& path) = 0;
    // Whether two lists name the same item.
    virtual bool SameItem(const TItemIDList& a, const TItemIDList& b) = 0;
    // Whether a drive letter's drive holds a medium.
    virtual bool DiskInDrive(char16_t letter) = 0;
    // The order and validation the saved state works with.
    virtual IStateShell& StateShell() = 0;
    // Finds the in-folder names of many items together, for NameInFolder to answer without asking again.
    virtual void PrepareNamesInFolder(std::span<IExplorerItem* const> items) { static_cast<void>(items); }
};

// The icon thread as the tree asks it for icons: one request per node, answered later through the tree's
// DeliverIcon with the request's id.
class IExplorerIconPort {
public:
    virtual ~IExplorerIconPort() = default;
    // Queues a request; nullopt when it could not be queued.
    virtual std::optional<std::uint64_t> RequestIcon(const void* node, const TItemIDList& pidl,
                                                     bool large) = 0;
    // Withdraws the node's request (queued or delivered but not yet handled).
    virtual void WithdrawIcon(const void* node) = 0;
    virtual void WithdrawAllIcons() = 0;
    // The icon shown until a request is answered: the closed folder for a file-system folder, the unknown
    // file for anything else.
    virtual int Placeholder(bool fileSystemFolder) const = 0;
};

// The wait cursor of the screen.
class IExplorerCursorPort {
public:
    virtual ~IExplorerCursorPort() = default;
    // Shows the hourglass and remembers the cursor it replaced.
    virtual void ShowWait() = 0;
    virtual void RestoreCursor() = 0;
};

} // namespace tarvola
