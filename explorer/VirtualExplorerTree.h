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
// reaches the tree through VirtualExplorerTreeLink.h.
#pragma once

#include "explorer/ExplorerStateViews.h"
#include "explorer/VirtualExplorerTreeColumns.h"
#include "explorer/VirtualExplorerTypes.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/StringTree.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>

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
    // items that are gone are deleted, the others stay as they are.
    virtual void RefreshNodeChildren(PVirtualNode node);
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
    };
    // The node's internal data hold a pointer to its TNodeData; the area is only 4-byte aligned.
    TNodeData* DataSlot(PVirtualNode node) const;
    void SetDataSlot(PVirtualNode node, TNodeData* data);
    void SetNodeItem(PVirtualNode node, TExplorerItemPtr item);
    void FreeNodeData(PVirtualNode node);
    // Makes the item of a root value; nullptr when it names nothing.
    TExplorerItemPtr ItemOfRoot(TRootFolder value);
    // Takes item as the new root of value after asking DoRootChanging; false when vetoed.
    bool ApplyRoot(TRootFolder value, TExplorerItemPtr item);
    // Roots again as the snapshot says and rebuilds even when nothing changed.
    void Reroot(const std::optional<TItemIDList>& customRoot, const WideString& customPath,
                std::uint8_t rootFolder);
    bool MayEnumerate(PVirtualNode node);
    void AddEnumeratedChild(PVirtualNode node, TExplorerItemPtr child);
    void InitCheckState(PVirtualNode parent, PVirtualNode node);
    // My Documents under the desktop, when the desktop does not list it itself.
    void AddMyDocuments(PVirtualNode parent);
    void DeleteChildForRefresh(PVirtualNode child);
    // Whether a fresh listing holds exactly the node's children, by their identifier lists: a refresh then
    // has nothing to merge and asks the shell for no comparison.
    bool SameChildren(PVirtualNode node, const std::vector<TExplorerItemPtr>& listed);
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
};

// The published form.
class TVirtualExplorerTree : public TCustomVirtualExplorerTree {
public:
    using TCustomVirtualExplorerTree::TCustomVirtualExplorerTree;
};

} // namespace tarvola
