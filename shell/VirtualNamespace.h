// TNamespace: one item of the shell namespace (a file, a folder, a drive, a virtual folder). It keeps the
// absolute item list it owns and a relative list that points at its last record, binds the item's shell
// interfaces on first use and caches every answer until it is invalidated. A shell call that fails gives
// the neutral answer (false, 0, "", -1) and never raises. Items are used on the GUI thread. Win32 only.
#pragma once

#include "shell/VirtualPIDLTools.h"
#include "shell/VirtualShellCom.h"
#include "shell/VirtualShellTypes.h"

#include <shlobj.h>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace tarvola {

class TNamespace;
class TExtractImage;
struct TContextMenuCallbacks;
struct TCustomSubMenu;
// As the shell layer's utilities name them.
using TNamespaceArray = std::vector<TNamespace*>;
using TPIDLArray = std::vector<PItemIDList>;

// Called per child: the child's relative list (the callback's to keep or free) and the enumerated folder.
// Returns whether the child counts; terminate ends the enumeration.
using TEnumFolderCallback =
    std::function<bool(PItemIDList relativePIDL, TNamespace& parent, bool& terminate)>;

enum class TIconSize { Small, Large };

class TNamespace {
public:
    // Takes ownership of pidl in every case. With a parent other than the desktop the item's absolute list
    // is the parent's followed by pidl, and pidl is freed at once; with the desktop as parent pidl is kept;
    // without a parent pidl is absolute, and nullptr means the desktop.
    TNamespace(PItemIDList pidl, TNamespace* parent);
    // Raises EVSTInvalidFileName when the shell cannot parse the path.
    static std::unique_ptr<TNamespace> CreateFromFileName(const WideString& path);
    // Finds the in-folder names of many items at once, each remembered as NameInFolder remembers its own
    // (see VirtualNamesInFolder.h). Only children of a file system folder without a desktop.ini are named
    // so (that file can give items names of their own); the others are left to ask one by one.
    static void PrepareNamesInFolder(std::span<TNamespace* const> items);
    TNamespace(const TNamespace&) = delete;
    TNamespace& operator=(const TNamespace&) = delete;
    virtual ~TNamespace();

    // A parentless item on a copy of the absolute list.
    std::unique_ptr<TNamespace> Clone(bool freePIDLOnDestroy = true) const;
    void SetFreePIDLOnDestroy(bool value);

    PItemIDList AbsolutePIDL() const { return absolutePIDL_; }
    PItemIDList RelativePIDL() const { return relativePIDL_; }
    TNamespace* Parent() const { return parent_; }

    bool IsDesktop() const;
    bool IsRecycleBin();
    bool IsControlPanel() const;
    bool IsMyComputer() const;
    bool IsNetworkNeighborhood() const;
    bool IsNetworkNeighborhoodChild() const;
    // The order of this item and a sibling's relative list in column (negative, 0, positive); -1 for nullptr,
    // 0 without a parent folder or when the shell cannot tell.
    int ComparePIDL(PCItemIDList pidl, int column);

    // Bound interfaces (empty when the item has none).
    IShellFolder* ShellFolder();
    IShellFolder* ParentShellFolder();
    IShellFolder2* ShellFolder2();
    IShellDetails* ShellDetails();

    // Names for the SHGDN flags.
    WideString GetDisplayNameOf(DWORD flags);
    WideString NameNormal() { return GetDisplayNameOf(SHGDN_NORMAL); }
    WideString NameInFolder();
    WideString NameParseAddress();
    WideString NameParseAddressInFolder() {
        return GetDisplayNameOf(SHGDN_INFOLDER | SHGDN_FORADDRESSBAR | SHGDN_FORPARSING);
    }
    WideString NameForParsing();
    WideString NameForParsingInFolder();
    WideString NameForEditing() { return GetDisplayNameOf(SHGDN_FOREDITING); }
    WideString NameForEditingInFolder() { return GetDisplayNameOf(SHGDN_INFOLDER | SHGDN_FOREDITING); }
    WideString NameAddressbar() { return GetDisplayNameOf(SHGDN_FORADDRESSBAR); }
    WideString NameAddressbarInFolder() { return GetDisplayNameOf(SHGDN_INFOLDER | SHGDN_FORADDRESSBAR); }
    WideString Extension();

    // SFGAO answers: all bits of mask set (asked with SFGAO_VALIDATE when validate).
    bool TestAttributes(ULONG mask, bool validate = false);
    bool CanCopy() { return Cached(SFGAO_CANCOPY); }
    bool CanDelete() { return Cached(SFGAO_CANDELETE); }
    bool CanLink() { return Cached(SFGAO_CANLINK); }
    bool CanMove() { return Cached(SFGAO_CANMOVE); }
    bool CanRename() { return Cached(SFGAO_CANRENAME); }
    bool FileSysAncestor() { return Cached(SFGAO_FILESYSANCESTOR); }
    bool FileSystem() { return Cached(SFGAO_FILESYSTEM); }
    bool Folder() { return Cached(SFGAO_FOLDER); }
    bool Ghosted() { return Cached(SFGAO_GHOSTED); }
    bool Link() { return Cached(SFGAO_LINK); }
    bool DropTarget();
    bool HasPropSheet() { return TestAttributes(SFGAO_HASPROPSHEET); }
    bool HasSubFolder() { return TestAttributes(SFGAO_HASSUBFOLDER); }
    bool NewContent() { return TestAttributes(SFGAO_NEWCONTENT); }
    bool NonEnumerated() { return TestAttributes(SFGAO_NONENUMERATED); }
    bool ReadOnly() { return TestAttributes(SFGAO_READONLY); }
    bool Removable() { return TestAttributes(SFGAO_REMOVABLE); }
    bool Share() { return TestAttributes(SFGAO_SHARE); }

    // File data (false, 0 or "" for items outside the file system).
    bool Archive() { return FileAttribute(FILE_ATTRIBUTE_ARCHIVE); }
    bool Compressed() { return FileAttribute(FILE_ATTRIBUTE_COMPRESSED); }
    bool Directory() { return FileAttribute(FILE_ATTRIBUTE_DIRECTORY); }
    bool Hidden() { return FileAttribute(FILE_ATTRIBUTE_HIDDEN); }
    bool Normal() { return FileAttribute(FILE_ATTRIBUTE_NORMAL); }
    bool OffLine() { return FileAttribute(FILE_ATTRIBUTE_OFFLINE); }
    bool ReadOnlyFile() { return FileAttribute(FILE_ATTRIBUTE_READONLY); }
    bool SystemFile() { return FileAttribute(FILE_ATTRIBUTE_SYSTEM); }
    bool Temporary() { return FileAttribute(FILE_ATTRIBUTE_TEMPORARY); }
    WideString AttributesString();
    WideString FileName();
    WideString ShortFileName();
    std::uint64_t SizeOfFileInt64();
    WideString SizeOfFile();
    WideString SizeOfFileKB();
    WideString SizeOfFileDiskUsage();
    WideString FileType();
    FILETIME CreationTimeRaw();
    FILETIME LastAccessTimeRaw();
    FILETIME LastWriteTimeRaw();
    WideString CreationTime();
    WideString LastAccessTime();
    WideString LastWriteTime();
    // The last-write time as a local date-time value (days since 30 December 1899); 0 without one.
    double LastWriteDateTime();
    WideString InfoTip();

    // Detail columns of this item as a folder, and this item's cells in its parent's columns.
    int DetailsColumnCount();
    bool IsValidColumn(int column) { return column >= 0 && column < DetailsColumnCount(); }
    WideString DetailsColumnTitle(int column);
    TDetailsColumnStates DetailsColumnState(int column);
    WideString DetailsOf(int column);
    WideString DetailsDefaultOf(int column);
    // The built-in columns a folder without columns of its own shows.
    static int DetailsDefaultColumnCount();
    static WideString DetailsDefaultColumnTitle(int column);

    // System image list indexes; -1 when the shell has none.
    int GetIconIndex(bool openIcon, TIconSize size, bool forceLoad = false);
    int OverlayIndex();

    // Children: the number for which the callback answered true. An empty, missing or unreadable folder
    // enumerates to nothing.
    int EnumerateFolder(bool folders, bool nonFolders, bool includeHidden,
                        const TEnumFolderCallback& callback);
    bool HasChildrenOfKind(SHCONTF flags);
    bool HasSubItems() {
        return HasChildrenOfKind(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN);
    }

    void InvalidateCache();
    void InvalidateNamespace(bool refreshIcon = true);
    // Finds this item again in its parent folder (after an outside change) and refreshes it. False when it
    // is gone.
    bool ReloadPIDL(bool folders = true, bool nonFolders = true, bool includeHidden = true);

    // ---- Operations on this item and its siblings (the children of its parent folder)
    // The shell's verbs; true when the shell ran the verb. Cut and Delete need every item deletable, Paste
    // at least one item, and a failed precondition answers false without a message.
    bool Copy(const TNamespaceArray& items);
    bool Cut(const TNamespaceArray& items);
    bool Delete(const TNamespaceArray& items);
    bool Paste(const TNamespaceArray& items);
    bool ShowPropertySheetMulti(const TNamespaceArray& items);
    // Whether the items are children of this item's parent folder; if not, tells the user (unless this is
    // the desktop).
    bool CheckSiblings(const TNamespaceArray& items);
    // The parent folder's objects for the items (no items: this item alone); empty when the shell has none.
    TComPtr<IDataObject> GetDataObjectOf(const TNamespaceArray& items);
    TComPtr<IContextMenu> GetContextMenuOf(const TNamespaceArray& items);
    // Runs the command of the canonical verb on the children of the parent folder.
    bool InvokeVerb(const WideString& verb, const TPIDLArray& relativePIDLs);

    // Shows the shell's context menu at position (nullptr: the mouse cursor) and runs the chosen command
    // between the callbacks; custom (may be nullptr) is merged in as a submenu of its own. True when a
    // command was chosen. pidls are children of the parent folder, or absolute ones with absolute.
    bool ShowContextMenu(HWND owner, const TContextMenuCallbacks& callbacks, const POINT* position = nullptr,
                         const TCustomSubMenu* custom = nullptr);
    bool ShowContextMenuMulti(HWND owner, const TNamespaceArray& items,
                              const TContextMenuCallbacks& callbacks, const POINT* position = nullptr,
                              const TCustomSubMenu* custom = nullptr);
    bool ShowContextMenuEx(HWND owner, const TPIDLArray& pidls, bool absolute,
                           const TContextMenuCallbacks& callbacks, const POINT* position = nullptr,
                           const TCustomSubMenu* custom = nullptr);
    // While a context menu of this item is up: hands owner-drawn menu messages to the shell's menu.
    bool HandleContextMenuMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The canonical verb of a command of the menu that is up; "" without one.
    WideString GetContextMenuVerb(UINT menuItemId);

    // Renames the item in its folder and follows it to its new identifier list.
    bool SetNameOf(const WideString& newName);
    // Runs the item as the shell would on a double-click (folders and links to folders only when asked).
    bool ShellExecuteNamespace(const WideString& workingDir, const WideString& cmdLineArgument,
                               bool execFolder = false, bool execFolderShortcut = false);
    // OLE drops onto the item go to the shell's drop target of it; an item that takes no drops answers
    // S_OK with no effect.
    HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD& effect);
    HRESULT DragOver(DWORD keyState, POINTL point, DWORD& effect);
    HRESULT DragLeave();
    HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD& effect);
    TExtractImage* GetExtractImage();

protected:
    // Binds the folder interface of this item (the desktop's own, or the parent folder's BindToObject). A
    // seam of the item: tests put a scripted folder in its place.
    virtual HRESULT BindShellFolder(TComPtr<IShellFolder>& folder);
    // The shell's type name of the item ("" when it has none); Wine always has one of its own ("ker file"),
    // so tests reach the fallback through this step.
    virtual WideString ShellTypeName();

private:
    struct TCache;

    // The answers so far, made on the first question: most items of a long listing are never asked
    // anything, and the cache is large.
    TCache& Cache();
    bool Cached(ULONG bit);
    bool FileAttribute(DWORD bit);
    const WIN32_FIND_DATAW* FindData();
    void RefreshFileTimes();
    WideString CachedName(std::optional<WideString>& slot, DWORD flags);
    bool ParentHasColumn(int column);
    TNamespace* ParentItem();
    const TPIDLManager& Manager() const;

    PItemIDList absolutePIDL_ = nullptr;
    PItemIDList relativePIDL_ = nullptr;
    TNamespace* parent_ = nullptr;
    std::unique_ptr<TNamespace> ownedParent_;
    bool freePIDL_ = true;
    bool maySupportDetails_ = true;
    bool maySupportFolder2_ = true;
    bool maySupportOverlay_ = true;
    std::optional<bool> isRecycleBin_;
    TComPtr<IShellFolder> shellFolder_;
    TComPtr<IShellFolder2> shellFolder2_;
    TComPtr<IShellDetails> shellDetails_;
    TComPtr<IShellIconOverlay> shellIconOverlay_;
    std::unique_ptr<TCache> cache_;
    // Kept while a context menu of the item is up.
    TComPtr<IContextMenu> contextMenu_;
    TComPtr<IContextMenu2> contextMenu2_;
    TComPtr<IDropTarget> dropTarget_;
    std::unique_ptr<TExtractImage> extractImage_;

    IDropTarget* BoundDropTarget();
    TComPtr<IContextMenu> ContextMenuOfPIDLs(const TPIDLArray& pidls, bool absolute);
};

} // namespace tarvola
