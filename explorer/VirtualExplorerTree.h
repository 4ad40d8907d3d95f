// The explorer tree: a string tree whose nodes are items of the shell namespace. Each node owns one
// IExplorerItem (kept behind a pointer in the node's internal data, so the user-data area stays free);
// a folder's children are listed when the node first expands, the top level when the tree is rebuilt.
//
// The tree is portable: it reaches the shell through IExplorerNamespace and IExplorerItem, the icon thread
// through IExplorerIconPort and the screen cursor through IExplorerCursorPort. Windows hands it shell
// items (VirtualExplorerTreeShell.h) and a window (VirtualExplorerTreeControl.h); tests hand it an
// in-memory namespace.
//
// Files: VirtualExplorerTree.cpp (root, activation, rebuild, enumeration, node data, check states),
// VirtualExplorerTreeNodes.cpp (texts, icons, comparison, wait cursor, selected path),
// VirtualExplorerTreeBrowse.cpp (browsing, finding, refreshing, snapshots and named views). Window code
// reaches the tree of an explorer tree control through TVirtualExplorerTreeControl::ExplorerTree().
#pragma once

#include "explorer/ContextMenuManager.h"
#include "explorer/ExplorerStateViews.h"
#include "explorer/VETChangeLink.h"
#include "explorer/VirtualExplorerTreeColumns.h"
#include "explorer/ItemNodeMap.h"
#include "explorer/VirtualExplorerTreeActions.h"
#include "explorer/VirtualExplorerTypes.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/StringTree.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <functional>
#include <unordered_map>
#include <unordered_set>

namespace tarvola {

class TCustomVirtualExplorerTree;

using TVETEnumFolderEvent = Delegate<void(TCustomVirtualExplorerTree&, IExplorerItem&, bool& allowAsChild)>;
// currentItem is the present root (may be nullptr), newItem the one asked for (nullptr for a custom path
// that names no folder).
using TVETRootChangingEvent = Delegate<void(TCustomVirtualExplorerTree&, TRootFolder newValue,
                                            IExplorerItem* currentItem, IExplorerItem* newItem, bool& allow)>;
using TVETNotifyEvent = Delegate<void(TCustomVirtualExplorerTree&)>;
using TVETStructureChangeEvent =
    Delegate<void(TCustomVirtualExplorerTree&, PVirtualNode, IExplorerItem*, TNamespaceStructureChange)>;
using TVETGetTextEvent = Delegate<void(TCustomVirtualExplorerTree&, TColumnIndex, PVirtualNode,
                                       IExplorerItem* item, std::wstring& text)>;
using TVETCustomNamespaceEvent = Delegate<void(TCustomVirtualExplorerTree&, PVirtualNode parent)>;
using TVETCustomColumnCompareEvent =
    Delegate<void(TCustomVirtualExplorerTree&, TColumnIndex, PVirtualNode, PVirtualNode, int& result)>;
using TVETAddCustomShellColumnEvent = Delegate<void(TCustomVirtualExplorerTree&, int firstAvailableIndex)>;

using TVETContextMenuShowEvent = Delegate<void(TCustomVirtualExplorerTree&, IExplorerItem&, bool& allow)>;
using TVETContextMenuCmdEvent =
    Delegate<void(TCustomVirtualExplorerTree&, IExplorerItem&, const WideString& verb,
                  std::uint32_t menuItemId, bool& handled)>;
using TVETContextMenuAfterCmdEvent =
    Delegate<void(TCustomVirtualExplorerTree&, IExplorerItem&, const WideString& verb,
                  std::uint32_t menuItemId, bool successful)>;
using TVETClipboardEvent = Delegate<void(TCustomVirtualExplorerTree&, bool& handled)>;
using TVETClipboardCutEvent =
    Delegate<void(TCustomVirtualExplorerTree&, bool& markSelectedCut, bool& handled)>;
using TVETShellExecuteEvent =
    Delegate<void(TCustomVirtualExplorerTree&, IExplorerItem&, WideString& workingDir,
                  WideString& cmdLineArgument, bool& allow)>;
using TVETShellNotifyEvent = Delegate<void(TCustomVirtualExplorerTree&, TShellChange&)>;
// node is the one under the point (nullptr: none); the point is in client coordinates.
using TVETTreeDblClickEvent =
    Delegate<void(TCustomVirtualExplorerTree&, PVirtualNode node, TMouseButton, TTreeMousePoint)>;

// Whether double-clicked items are run by the shell; the preset browser switches it off.
extern bool ShellExecuteEnabled;

class TCustomVirtualExplorerTree : public TCustomVirtualStringTree {
public:
    // shell must outlive the tree.
    explicit TCustomVirtualExplorerTree(IExplorerNamespace& shell, ITreeViewHost* host = nullptr);
    ~TCustomVirtualExplorerTree() override;

    TVETEnumFolderEvent OnEnumFolder;
    TVETRootChangingEvent OnRootChanging;
    TVETNotifyEvent OnRootChange;
    TVETNotifyEvent OnRootRebuild;
    TVETStructureChangeEvent OnNamespaceStructureChange;
    TVETGetTextEvent OnGetVETText;
    TVETCustomNamespaceEvent OnCustomNamespace;
    TVETCustomColumnCompareEvent OnCustomColumnCompare;

    // --- Root and activation (VirtualExplorerTree.cpp)
    bool Active() const { return active_; }
    // True rebuilds the tree from its root; false empties it.
    void SetActive(bool value);
    TRootFolder RootFolder() const { return rootFolder_; }
    void SetRootFolder(TRootFolder value);
    const WideString& RootFolderCustomPath() const { return customPath_; }
    // Roots the tree at a folder path (kept with a trailing backslash). A path that names no folder
    // leaves the tree empty rather than showing the old root; a rebuild tries the path again.
    void SetRootFolderCustomPath(const WideString& path);
    const std::optional<TItemIDList>& RootFolderCustomPIDL() const { return customPIDL_; }
    void SetRootFolderCustomPIDL(const TItemIDList& pidl);
    // The root item; nullptr when the root names nothing.
    IExplorerItem* RootItem() const { return root_.get(); }
    TFileObjects FileObjects() const { return fileObjects_; }
    void SetFileObjects(TFileObjects value);
    TFileSizeFormat FileSizeFormat() const { return fileSizeFormat_; }
    void SetFileSizeFormat(TFileSizeFormat value);
    TColumnDetailType ColumnDetails = TColumnDetailType::cdUser;
    // The number of header columns that are the root folder's shell columns (the header builder's).
    int ShellColumnCount = 0;

    TVETFolderOptions FolderOptions() const { return folderOptions_; }
    // The root shape and the recycle bin and My Documents rules rebuild the tree.
    void SetFolderOptions(TVETFolderOptions value);
    TVETShellOptions ShellOptions;
    TVETSyncOptions SyncOptions;
    TVETMiscOptions MiscOptions;
    TVETImageOptions ImageOptions() const { return imageOptions_; }
    // Images, large images and threaded images rebuild the tree.
    void SetImageOptions(TVETImageOptions value);
    // The option defaults of a new tree.
    virtual void SetDefaultOptions();

    void RebuildTree() { DoRebuildTree(); }
    // While suspended, rebuilds wait; the last EndRebuildSuspend rebuilds.
    void BeginRebuildSuspend() { ++rebuildSuspend_; }
    void EndRebuildSuspend();

    // The node's item; nullptr for a node without one.
    IExplorerItem* NodeItem(PVirtualNode node) const;
    bool GetNodeNamespace(PVirtualNode node, IExplorerItem*& item) const {
        item = NodeItem(node);
        return item != nullptr;
    }
    // Adds a child node for an item the enumeration does not list (a new folder, an unlisted share).
    PVirtualNode AddCustomNode(PVirtualNode parent, TExplorerItemPtr item, bool setCheck);
    // Lists the node's folder into child nodes when it has none yet, sorted; the child count.
    virtual int EnumerateNodeChildren(PVirtualNode node);

    // --- Texts, icons, comparison, cursor (VirtualExplorerTreeNodes.cpp)
    // The icon thread; nullptr (the default) extracts icons directly.
    void SetIconPort(IExplorerIconPort* port);
    // A result of the icon thread: applied (and the node repainted) only when it answers the node's
    // outstanding request.
    bool DeliverIcon(PVirtualNode node, std::uint64_t requestId, int imageIndex);
    std::size_t PendingIconRequests() const { return iconRequests_.size(); }
    void SetCursorPort(IExplorerCursorPort* port) { cursorPort_ = port; }
    // Nests; every long operation brackets itself with it.
    void SetWaitCursor(bool show);
    // Suppresses the wait cursor (the combo box's); a change while it shows puts the old cursor back.
    void SetWaitCursorSuppressed(bool value);
    // The first selected file-system item's full path / name with extension; empty otherwise.
    WideString GetSelectedPath();
    WideString GetSelectedFileName();

    // --- Browsing, finding, refreshing (VirtualExplorerTreeBrowse.cpp)
    // False for a path the shell cannot parse or an item that is not in the tree.
    bool BrowseToPath(const WideString& path, bool expandTarget, bool selectTarget, bool setFocus,
                      bool collapseAllFirst);
    virtual bool BrowseToPIDL(const TItemIDList& pidl, bool expandTarget, bool selectTarget, bool setFocus,
                              bool collapseAllFirst, bool expandPath);
    virtual bool CanBrowseToPIDL(const TItemIDList&) { return true; }
    // The node of the item, walking (and with expandPath expanding, with reinitChildren re-reading) the
    // folders on the way; nullptr when a level is missing. The caller's list is never written to.
    PVirtualNode FindNodeByPIDL(const TItemIDList& pidl, bool selectNode, bool walkPath, bool reinitChildren,
                                bool expandPath);
    // The same walk over the nodes that exist: nothing is loaded or expanded.
    PVirtualNode FindLoadedNode(const TItemIDList& pidl);
    // Rebuilds from the root (always, also for a custom root that did not change) and puts back the
    // expanded folders, the selection and the focus.
    void RefreshTree(bool restoreTopNode);
    // Reads a folder node's children again from scratch, keeping the expanded folders and selection below.
    void ReenumerateNode(PVirtualNode node);
    // Merges the folder's current children into the node's: new items get nodes at their place, nodes of
    // items that are gone are deleted, the others stay as they are. A folder that was watched since its
    // children were read, and where nothing happened, is not listed again.
    virtual void RefreshNodeChildren(PVirtualNode node);
    // The fewest children for which a folder is watched. Listing a smaller folder again costs milliseconds,
    // while a watch holds the folder's directory open (which on some systems stops a folder above it from
    // being renamed).
    std::uint32_t WatchedListingMinimum = 1000;
    TVETPersistent& ViewState() { return state_; }
    TViewManager& ViewManager() { return views_; }
    void StoreView(const WideString& viewName);
    void ShowView(const WideString& viewName);

    // State goes through the view manager, not through node streams.
    void SaveToStream(TStream& stream, PVirtualNode node = nullptr) override;
    void LoadFromStream(TStream& stream) override;

    void Clear() override;

protected:
    virtual void DoRebuildTree();
    virtual void DoEnumFolder(IExplorerItem& item, bool& allowAsChild);
    virtual bool DoRootChanging(TRootFolder newValue, IExplorerItem* newItem);
    virtual void DoRootChange();
    virtual void DoRootRebuild();
    virtual void DoNamespaceStructureChange(PVirtualNode node, IExplorerItem* item,
                                            TNamespaceStructureChange change);
    virtual void DoCustomNamespace(PVirtualNode parent);
    virtual int DoCustomColumnCompare(TColumnIndex column, PVirtualNode node1, PVirtualNode node2);
    // The kind of a header column; the header builder gives each column its own. Without one the columns
    // follow the built-in order (name, size, type, modified, attributes, accessed, created, short name,
    // path).
    virtual TColumnDetails ColumnDetailsOf(TColumnIndex column) const;
    // Whether a node of the item under parent gets an expand button.
    bool ItemHasChildren(IExplorerItem& item, PVirtualNode parent);

    void DoInitNode(PVirtualNode parent, PVirtualNode node, TVirtualNodeInitStates& initStates) override;
    // Check states outlive nodes in the snapshot's node storage.
    void DoChecked(PVirtualNode node) override;
    std::uint32_t DoInitChildren(PVirtualNode node, std::uint32_t childCount) override;
    void DoFreeNode(PVirtualNode node) override;
    bool DoCollapsing(PVirtualNode node) override;
    void DoCollapsed(PVirtualNode node) override;
    void DoUpdating(TVTUpdateState state) override;
    void DoGetText(PVirtualNode node, TColumnIndex column, TVSTTextType textType,
                   std::wstring& text) override;
    int DoGetImageIndex(PVirtualNode node, TVTImageKind kind, TColumnIndex column, bool& ghosted,
                        int imageIndex) override;
    int DoCompareNodes(PVirtualNode node1, PVirtualNode node2, TColumnIndex column) override;

    IExplorerNamespace& Shell() const { return shell_; }
    // The node the tree's content hangs from: the hidden root with toHideRootFolder, else the first
    // top-level node.
    PVirtualNode StartNode();
    bool Browsing() const { return browsing_; }

private:
    friend class TExplorerTreeWalk;
    friend class TExplorerRefreshFolder;
    friend class TExplorerStateTree;

    // What a node's internal data point at.
    struct TNodeData {
        TExplorerItemPtr Item;
        // The icon the icon thread found, once it came.
        bool IconDelivered = false;
        int IconIndex = -1;
        // The width memory of header clicks, made on first use.
        std::unique_ptr<TColumnManager> ColumnManager;
        // The watch begun before the folder's children were last read, and the tree's child edits then:
        // while the watch is quiet and no child node came or went, a refresh has nothing to merge.
        TListingWatchPtr ListingWatch;
        std::uint64_t WatchEdits = 0;
    };
    // The node's internal data hold a pointer to its TNodeData; the area is only 4-byte aligned.
    TNodeData* DataSlot(PVirtualNode node) const;
    void SetDataSlot(PVirtualNode node, TNodeData* data);
    void SetNodeItem(PVirtualNode node, TExplorerItemPtr item);
    void FreeNodeData(PVirtualNode node);
    // Frees the data of every node but the hidden root (for a Clear).
    void ReleaseAllNodeData();
    // Makes the item of a root value; nullptr when it names nothing.
    TExplorerItemPtr ItemOfRoot(TRootFolder value);
    // Takes item as the new root of value after asking DoRootChanging; false when vetoed.
    bool ApplyRoot(TRootFolder value, TExplorerItemPtr item);
    // Roots again as the snapshot says and rebuilds even when nothing changed.
    void Reroot(const std::optional<TItemIDList>& customRoot, const WideString& customPath,
                std::uint8_t rootFolder);
    bool MayEnumerate(PVirtualNode node);
    // Whether a listed child becomes a node (the recycle bin option, the enumeration event).
    bool AcceptsEnumeratedChild(IExplorerItem& child);
    // Appends the accepted children of a listing behind the node's children, in their listed order.
    void AddEnumeratedChildren(PVirtualNode node, std::vector<TExplorerItemPtr> listed);
    // Whether no neighbours among the node's children would trade places in a sort by column.
    bool ChildrenInOrder(PVirtualNode node, TColumnIndex column, TSortDirection direction);
    void InitCheckState(PVirtualNode parent, PVirtualNode node);
    // My Documents under the desktop, when the desktop does not list it itself.
    void AddMyDocuments(PVirtualNode parent);
    void DeleteChildForRefresh(PVirtualNode child);
    // Whether a fresh listing holds exactly the node's children, by their identifier lists: a refresh then
    // has nothing to merge and asks the shell for no comparison.
    bool SameChildren(PVirtualNode node, const std::vector<TItemIDList>& listed);
    // Keeps the watch begun before the node's children were read (none: the next refresh lists).
    void KeepListingWatch(PVirtualNode node, TListingWatchPtr watch);
    // Whether the node's children are still what its folder holds: its watch is quiet, and no child node
    // came or went since the children were read.
    bool ChildrenStillListed(PVirtualNode node) const;
    int CompareByNames(IExplorerItem& item1, IExplorerItem& item2);
    int IconOf(PVirtualNode node, IExplorerItem& item, TVTImageKind kind, bool& ghosted, int imageIndex);
    int PlaceholderOf(IExplorerItem& item);

    IExplorerNamespace& shell_;
    std::size_t dataOffset_ = 0;
    bool active_ = false;
    TRootFolder rootFolder_ = TRootFolder::rfDesktop;
    WideString customPath_;
    std::optional<TItemIDList> customPIDL_;
    TExplorerItemPtr root_;
    TFileObjects fileObjects_{TFileObject::foFolders};
    TFileSizeFormat fileSizeFormat_ = TFileSizeFormat::fsfExplorer;
    TVETFolderOptions folderOptions_;
    TVETImageOptions imageOptions_;
    int rebuildSuspend_ = 0;
    // Nodes with items freed, and nodes added other than by a folder's first listing: a folder's kept
    // listing watch says nothing about children changed this way.
    std::uint64_t childEdits_ = 0;
    bool browsing_ = false;
    IExplorerIconPort* iconPort_ = nullptr;
    // The outstanding icon request of each node that asked.
    std::unordered_map<const void*, std::uint64_t> iconRequests_;
    IExplorerCursorPort* cursorPort_ = nullptr;
    int waitCursorCount_ = 0;
    // This tree put the wait cursor up (and so takes it down).
    bool showsWaitCursor_ = false;
    bool waitCursorSuppressed_ = false;
    TStorageUserDataRegistry userDataClasses_;
    TVETPersistent state_;
    TViewManager views_;

    // --- Change links (VETChangeLinkTree.cpp)
public:
    // Tells the controls that follow this one which item it shows now: the first selected node's, else
    // the focused node's. Nothing while suspended or while a rubber band is drawn.
    virtual void DispatchChangeLink();
    void BeginChangeLinkSuspend();
    // Ends every suspension at once, dispatching once when anything was suspended.
    void EndChangeLinkSuspend();
    bool ChangeLinkSuspended() const { return changeLinkSuspended_; }
    // This control's identity as a link's server or client.
    const void* ChangeLinkId() const { return static_cast<const TCustomVirtualExplorerTree*>(this); }
    // The change handler of this control's links: browses to the item the server shows, unless this
    // control shows it already.
    void ChangeLinkChangeProc(const void* server, const TItemIDList& pidl);
    // The link-released handler: a link property naming the link's server is cleared.
    virtual void ChangeLinkFreeProc(IVETChangeLink& link);

protected:
    void DoChange(PVirtualNode node) override;
    // The item this control shows, which a received change is compared with.
    virtual IExplorerItem* ChangeLinkOwnItem();
    // Moves a link property from its old partner to a new one (either may be nullptr): the old link is
    // released (which clears the property through ChangeLinkFreeProc), the new one registered.
    void RelinkChangeLink(const void* oldPartner, const void* newPartner);

private:
    bool changeLinkSuspended_ = false;
    int changeLinkSuspendCount_ = 0;
    // Set while a received change is applied.
    bool inSync_ = false;
    // --- Header columns, column layouts per folder, text colours (VirtualExplorerTreeColumns.cpp)
public:
    // The header's mode: cdUser clears the columns and hides the header; cdVETColumns and cdShellColumns
    // show it and build its columns for the root item.
    void SetColumnDetails(TColumnDetailType value);
    // Builds the header's columns for an item (the root item) as the mode says.
    void RebuildHeaderColumns(IExplorerItem* item);
    // The item's shell detail columns (only with a window and in cdShellColumns).
    void RebuildShellHeader(IExplorerItem* item);
    // The built-in columns (only with a window).
    void RebuildVETHeader();
    // The header's column layout, stored for the root folder and put back when its header is rebuilt.
    virtual void StoreColumnStorage();
    virtual void RestoreColumnStorage();
    bool RebuildingHeader() const { return rebuildingHeader_; }
    // The shell state of the header's column (none for columns beyond the root's shell columns).
    TDetailsColumnStates ShellColumnState(TColumnIndex column);
    TVETColors& VETColors() { return colors_; }
    // The header-click width memory of a node with an item (made on first use); nullptr otherwise.
    TColumnManager* ColumnManagerOf(PVirtualNode node);
    // The colour a node's text takes in a column; nullopt leaves the painter's colour.
    std::optional<TVTColor> VETTextColor(PVirtualNode node, TColumnIndex column);

    TVETAddCustomShellColumnEvent OnAddCustomShellColumn;
    // The header's click, mouse-up and resize events are the explorer tree's own; these fire first.
    TVTHeaderClickEvent OnHeaderClick;
    TVTHeaderMouseEvent OnHeaderMouseUp;
    TVTColumnResizeEvent OnColumnResize;
    TVTHeaderDraggedEvent OnHeaderDragged;
    // Shows the column menu at a point in header coordinates (the window sets it; unset: no menu).
    std::function<void(int x, int y)> ShowColumnMenu;

protected:
    virtual void DoAddCustomShellColumn(int firstAvailableIndex);
    virtual void DoHeaderClick(TColumnIndex column, TMouseButton button, TShiftState shift, int x, int y);
    virtual void DoHeaderMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DoColumnResize(TColumnIndex column);
    void DoPaintText(PVirtualNode node, IStringTreeCanvas& canvas, TColumnIndex column,
                     TVSTTextType textType) override;

private:
    // Makes the header's columns explorer columns and routes its events here.
    void ConnectHeader();
    void HeaderClicked(TBaseVirtualTree&, TColumnIndex, TMouseButton, TShiftState, int x, int y);
    void HeaderMouseUp(TBaseVirtualTree&, TMouseButton, TShiftState, int x, int y);
    void ColumnResized(TBaseVirtualTree&, TColumnIndex);
    // A column moved by dragging its header: the layout is stored (whether or not the header still reports
    // the drag when the button comes up).
    void HeaderDragged(TBaseVirtualTree&, TColumnIndex, int oldPosition);
    // The root folder whose layout the header shows; nullptr when the root is no folder.
    IExplorerItem* ColumnStorageFolder();

    TVETColors colors_;
    bool rebuildingHeader_ = false;
    // The shell states of the root's shell columns, by column.
    std::vector<TDetailsColumnStates> shellColumnStates_;
    // ---- Shell interaction: menus, clipboard verbs, drops, renaming, keys (VirtualExplorerTreeActions.cpp)
public:
    IExplorerShellPort* ShellPort() const { return shellPort_; }
    void SetShellPort(IExplorerShellPort* port) { shellPort_ = port; }
    TContextMenuManager& ContextMenuManager() { return *contextMenu_; }
    TVETContextMenuShowEvent OnContextMenuShow;
    TVETContextMenuCmdEvent OnContextMenuCmd;
    TVETContextMenuAfterCmdEvent OnContextMenuAfterCmd;
    TVETClipboardEvent OnClipboardCopy;
    TVETClipboardCutEvent OnClipboardCut;
    TVETClipboardEvent OnClipboardPaste;
    TVETShellExecuteEvent OnShellExecute;
    // Posts WM_EDITNODEAGAIN with the node to the tree's window (unset: the editor is not reopened).
    std::function<void(PVirtualNode)> PostEditNodeAgain;
    // The Alt key is held (WM_SYSKEYDOWN with the Alt bit, until WM_SYSKEYUP or the focus goes).
    bool AltKeyDown = false;

    // The selected nodes' items in selection order, the focused node's item moved to the front.
    TExplorerItems SelectedItems();
    // Whether node is a node of this tree now (a node a message carried may be gone since).
    bool IsLiveNode(const void* node) const { return liveNodes_.contains(node); }
    bool CopyToClipboard();
    bool CutToClipboard();
    bool PasteFromClipboard();
    void MarkCopy();
    void MarkCut();
    void DeleteSelected();
    void PasteIntoSelected(bool allSelected);
    void ShowSelectedProperties();
    // The shell's menu for item (the selection when more than one node is selected) at a screen point.
    void ShowContextMenu(IExplorerItem& item, TTreeMousePoint screen);
    virtual void DoShellExecute(PVirtualNode node);
    void ExecuteNamespace(IExplorerItem& item, const WideString& workingDir, const WideString& arguments);
    // A left double click at a client point, after the tree's own handling.
    void DoubleClickAt(int x, int y);
    // WM_EDITNODEAGAIN: false (and nothing done) when node is no longer one of the tree's.
    bool EditNodeAgain(const void* node);
    // Makes a uniquely named folder under the parent, selects its new node and opens its name for
    // editing; the name given, or empty when nothing was made.
    WideString CreateNewFolder(const TItemIDList& parentPIDL, const WideString& suggestedName = {});
    // An OLE drag over the tree, forwarded to the item of the folder node under it. Points are client and
    // screen coordinates of the same place; results are HRESULTs.
    std::int32_t ShellDragEnter(IDataObject* data, std::uint32_t keyState, TTreeMousePoint client,
                                TTreeMousePoint screen, std::uint32_t& effect);
    std::int32_t ShellDragOver(std::uint32_t keyState, TTreeMousePoint client, TTreeMousePoint screen,
                               std::uint32_t& effect);
    void ShellDragLeave();
    std::int32_t ShellDragDrop(IDataObject* data, std::uint32_t keyState, TTreeMousePoint client,
                               TTreeMousePoint screen, std::uint32_t& effect);
    bool ShellDragging() const { return dragButton_ != 0; }
    std::uint32_t SuggestDropEffect() const { return kDropEffectAll; }
    TVETTreeDblClickEvent OnTreeDblClick;
    // Set by the window while a left press or double click lands on a node's expand button.
    bool ExpandButtonClick = false;
    // A double click of a button at a client point, after the tree's own handling.
    virtual void DoTreeDblClick(TMouseButton button, TTreeMousePoint point);
    // Browses to the folder a shortcut item points at; a link to a file or to a missing folder does nothing.
    virtual void BrowseToShortcutTarget(IExplorerItem& item);
    // Whether the shell's menu rather than the control's own belongs at a client point: with toContextMenus,
    // over a node's label, icon or expand button.
    bool ShellMenuAt(TTreeMousePoint client);
    // With toContextMenus every node with an item has a menu: the shell's.
    bool HasPopupMenu(PVirtualNode node, TColumnIndex column, TTreeMousePoint position) override;
    // The control's own menus are those of the empty space: the shell's menu is the one of a node.
    void ShowNodePopupMenu(PVirtualNode node, TColumnIndex column, TTreeMousePoint position) override;
    bool ShellDragAllowed(PVirtualNode node) { return DoDragAllowed(node, NoColumn); }

protected:
    bool DoKeyAction(std::uint16_t& charCode, TKeyModifiers& shift) override;
    bool DoEditing(PVirtualNode node, TColumnIndex column, bool allowed) override;
    // Shell items other than the desktop, with drag and drop on and the tree not read-only.
    bool DoDragAllowed(PVirtualNode node, TColumnIndex column) override;
    void DoNewText(PVirtualNode node, TColumnIndex column, const std::wstring& text) override;
    virtual bool DoClipboardCopy();
    virtual bool DoClipboardCut(bool& markSelectedCut);
    virtual bool DoClipboardPaste();

private:
    // The column editing starts in: the first, or none without header columns.
    TColumnIndex EditColumn0() const;
    bool IsNameColumn(TColumnIndex column) const;
    bool ReadOnly() const { return MiscOptions.Has(TVETMiscOption::toVETReadOnly); }
    void MarkCutOrCopy(TreeState state);
    // The node a drop at a client point goes to; nullptr for none.
    PVirtualNode DropTargetNodeAt(TTreeMousePoint client);
    // Moves the drag's target to node: the old target's item leaves, the new one's enters.
    void ChangeDropTarget(PVirtualNode node, std::uint32_t keyState, TTreeMousePoint screen,
                          std::uint32_t& effect);
    void NoteLiveNode(PVirtualNode node, IExplorerItem* item);
    void ForgetLiveNode(PVirtualNode node);
    void KeyFocusSibling(bool next);
    void KeyPageFocus(bool down);

    IExplorerShellPort* shellPort_ = nullptr;
    std::unique_ptr<TContextMenuManager> contextMenu_ = std::make_unique<TContextMenuManager>(*this);
    std::unordered_set<const void*> liveNodes_;
    // The drag over the tree: the button it began with (0: none), its data object, the target and effect.
    int dragButton_ = 0;
    IDataObject* dragData_ = nullptr;
    PVirtualNode dropTarget_ = nullptr;
    std::uint32_t lastDropEffect_ = 0;
    bool dropping_ = false;

    // ---- Shell change notifications and icon results (VirtualExplorerTreeChanges.cpp)
public:
    TVETShellNotifyEvent OnShellNotify;
    // The loaded nodes by their items' lists (the index the change events look nodes up in).
    const TItemNodeMap& LoadedNodes() const { return loadedNodes_; }
    // A WM_SHELLNOTIFY's list: applied, or skipped while a shell menu or a drag runs (a full refresh
    // follows at the next mouse move). The list is released exactly once, whatever happens.
    void HandleShellNotify(TVirtualShellEventList* list);
    bool NotificationSkipped() const { return notificationSkipped_; }
    // A mouse move: the refresh owed to skipped notifications runs when no menu or drag is in the way.
    void ShellNotifyMouseMove();
    // Removes the notifications queued for the tree's window and hands each to HandleShellNotify (the
    // window sets it; unset: nothing queued).
    std::function<void()> DispatchQueuedShellNotifies;
    bool IsEditActive() const { return IsEditing(); }

protected:
    // Every event received; a handler may mark it ignored.
    virtual void DoShellNotify(TShellChange& event);
    bool DoEndEdit() override;

private:
    friend class TExplorerChangeTarget;
    TItemNodeMap loadedNodes_;
    bool notificationSkipped_ = false;
};

// The published form.
class TVirtualExplorerTree : public TCustomVirtualExplorerTree {
public:
    using TCustomVirtualExplorerTree::TCustomVirtualExplorerTree;
    ~TVirtualExplorerTree() override;

    // The explorer tree this one follows (not owned); nullptr when none, and again when it goes away.
    TCustomVirtualExplorerTree* VirtualExplorerTree() const { return virtualExplorerTree_; }
    void SetVirtualExplorerTree(TCustomVirtualExplorerTree* tree);
    void ChangeLinkFreeProc(IVETChangeLink& link) override;

private:
    TCustomVirtualExplorerTree* virtualExplorerTree_ = nullptr;
};

} // namespace tarvola
