// The tree control's core: a tree that owns its nodes and asks its owner for their content on demand. This
// header declares the node store and its structure operations, the state set and update batching, the
// events with their dispatchers, heights and the position cache, and the navigation walks; each concern
// lives in its own source file beside this one. The window reaches the tree through ITreeViewHost.
#pragma once

#include "tree/AutoScroll.h"
#include "tree/Delegate.h"
#include "tree/TreeKeyboard.h"
#include "tree/NodeStream.h"
#include "tree/SelectionArray.h"
#include "tree/TreeAnimation.h"
#include "tree/TreeEvents.h"
#include "tree/TreeScroll.h"
#include "tree/TreeMouse.h"
#include "tree/TreeTypes.h"
#include "tree/TreeViewHost.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace tarvola {

class TWorkerThread;
class TVTHeader;
class TTreeHeaderBridge;
class TTreeClipboard;
class TIncrementalSearch;
struct TTreeClass;
struct TVTHeaderEvents;
class TCustomVirtualTreeOptions;
struct TVTHintData;
struct THintRequest;
struct TTextFont;
struct THintSystemSettings;
enum class TVTTooltipLineBreakStyle : std::uint8_t;
enum class THintAnimationType : std::uint8_t;
class TVTColors;
class TScrollBarOptions;
class TVirtualTreeProperties;
struct TCellHitLayout;
enum class TAlignment : std::uint8_t;
class ITreeControlPort;
class IVTEditLink;
struct TTreeSettings;
struct TVTPaintInfo;
class TPaintRowWalker;
namespace test {
class TreeInvariantChecker;
} // namespace test

// The options the core reads: a flat view of the option sets, which the option object (TreeOptions())
// keeps in step. Write options through TreeOptions(); a direct write here is not reflected there.
struct TVirtualTreeOptions {
    bool ReadOnly = false;
    bool AutoSort = false;
    bool VariableNodeHeight = false;
    bool ShowRoot = true;
    bool AutoTristateTracking = true;
    bool AutoFreeOnCollapse = false;
    bool AutoExpand = false;
    bool MultiSelect = false;
    bool LevelSelectConstraint = false;
    bool SiblingSelectConstraint = false;
    // Columns and header: the focused column may be any column (else the main column).
    bool ExtendedFocus = false;
    // Node streams: a node is initialised, and its children counted, before it is written.
    bool InitOnSave = true;
};

// The pressed variant of a check state (shown while the mouse or space key holds the check image), and back.
TCheckState PressedCheckState(TCheckState state);
TCheckState NormalCheckState(TCheckState state);

// One entry of the position cache: a visible node and the top of its row in the whole tree.
struct TCacheEntry {
    PVirtualNode Node;
    std::uint32_t AbsoluteTop;
};
using TCache = std::vector<TCacheEntry>;

struct TTreeRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TTreeRect&) const = default;
};

// State message bits (the worker's hand-off, message 0x8020).
enum : std::uint32_t {
    StateBitStopValidation = 1,
    StateBitUseCache = 2,
    StateBitValidating = 4,
    StateBitValidationNeeded = 8,
};
// The timer that delays the start of an edit armed by a click.
constexpr unsigned EditTimer = 2;
constexpr unsigned ChangeTimer = 5;
constexpr unsigned StructureChangeTimer = 6;
constexpr std::uint32_t CacheThreshold = 2000;
constexpr std::uint32_t DefaultNodeHeightValue = 18;

class TBaseVirtualTree : public TVirtualTreeEvents {
public:
    // host: the window port; null means a tree without a window.
    explicit TBaseVirtualTree(ITreeViewHost* host = nullptr);
    virtual ~TBaseVirtualTree();
    TBaseVirtualTree(const TBaseVirtualTree&) = delete;
    TBaseVirtualTree& operator=(const TBaseVirtualTree&) = delete;

    TVirtualTreeOptions Options;
    TColumnIndex SortColumn = NoColumn;
    TSortDirection SortDirection = TSortDirection::sdAscending;

    // --- Node store and structure (NodeStructure.cpp)
    PVirtualNode RootNode() const { return root_; }
    static TBaseVirtualTree* TreeFromNode(PVirtualNode node);
    virtual std::size_t AllocateInternalDataArea(std::size_t size);
    void* GetNodeData(PVirtualNode node) const;
    int NodeDataSize() const { return nodeDataSize_; }
    void SetNodeDataSize(int value);
    std::uint32_t RootNodeCount() const { return root_->ChildCount; }
    void SetRootNodeCount(std::uint32_t value);
    std::uint32_t ChildCount(PVirtualNode node) const;
    void SetChildCount(PVirtualNode node, std::uint32_t newCount);
    void SetHasChildren(PVirtualNode node, bool value);
    bool HasChildren(PVirtualNode node) const;
    bool ChildrenInitialized(PVirtualNode node) const;
    PVirtualNode AddChild(PVirtualNode parent, void* userData = nullptr);
    void ValidateNode(PVirtualNode node, bool recursive);
    void ValidateChildren(PVirtualNode node, bool recursive);
    virtual void ReinitNode(PVirtualNode node, bool recursive);
    virtual void ReinitChildren(PVirtualNode node, bool recursive);
    virtual void ResetNode(PVirtualNode node);
    void DeleteChildren(PVirtualNode node, bool resetHasChildren = false);
    void DeleteNode(PVirtualNode node, bool reindex = true);
    virtual void DeleteSelectedNodes();
    virtual void Clear();
    void MoveTo(PVirtualNode source, PVirtualNode target, TVTNodeAttachMode mode, bool childrenOnly);
    virtual void DetermineHiddenChildrenFlag(PVirtualNode node);
    virtual void DetermineHiddenChildrenFlagAllNodes();
    std::uint32_t TotalCount() const { return root_->TotalCount - 1; }

    // --- Visibility, expansion, focus and a minimal selection store (NodeState.cpp)
    bool IsVisible(PVirtualNode node);
    void SetVisible(PVirtualNode node, bool value);
    bool Expanded(PVirtualNode node) const;
    void SetExpanded(PVirtualNode node, bool value);
    // --- Expanding and collapsing (Toggle.cpp)
    virtual void ToggleNode(PVirtualNode node);
    // Expand or collapse a node's whole subtree (nil: the whole tree) inside one update.
    virtual void FullExpand(PVirtualNode node = nullptr);
    virtual void FullCollapse(PVirtualNode node = nullptr);
    PVirtualNode DropTargetNode() const { return dropTargetNode_; }
    void SetDropTargetNode(PVirtualNode node) { dropTargetNode_ = node; }
    virtual void Sort(PVirtualNode node, TColumnIndex column, TSortDirection direction, bool doInit = true);
    void SortTree(TColumnIndex column, TSortDirection direction, bool doInit = true);

    // --- Selection and focus (Selection.cpp, Focus.cpp)
    bool Selected(PVirtualNode node) const { return node != nullptr && (node->States & nsSelected) != 0; }
    void SetSelected(PVirtualNode node, bool value);
    virtual void AddToSelection(PVirtualNode node);
    virtual void AddArrayToSelection(std::vector<PVirtualNode> items, bool forceInsert);
    virtual void RemoveFromSelection(PVirtualNode node);
    void ClearSelection();
    virtual void SelectNodes(PVirtualNode startNode, PVirtualNode endNode, bool addOnly);
    virtual void ToggleSelection(PVirtualNode startNode, PVirtualNode endNode);
    virtual void UnselectNodes(PVirtualNode startNode, PVirtualNode endNode);
    void SelectAll(bool visibleOnly);
    void InvertSelection(bool visibleOnly);
    std::uint32_t SelectedCount() const { return selectionCount_; }
    PVirtualNode RangeAnchor() const { return rangeAnchor_; }
    virtual void ResetRangeAnchor();
    // The click rules of the mouse handling; with dragPending a Ctrl toggle waits for the button's release.
    void HandleClickSelection(PVirtualNode newNode, bool ctrl, bool shift, bool dragPending);
    PVirtualNode FocusedNode() const { return focusedNode_; }
    void SetFocusedNode(PVirtualNode node);
    TColumnIndex FocusedColumn() const { return focusedColumn_; }
    void SetFocusedColumn(TColumnIndex column);

    // --- Check images and their states (CheckStates.cpp)
    TCheckState CheckState(PVirtualNode node) const;
    void SetCheckState(PVirtualNode node, TCheckState value);
    TCheckType CheckType(PVirtualNode node) const;
    void SetCheckType(PVirtualNode node, TCheckType value);
    // The state a click on the check image gives.
    virtual TCheckState DetermineNextCheckState(TCheckType checkType, TCheckState checkState) const;
    // Changes the state with its propagation, then fires OnChecked; false when the change was refused.
    virtual bool ApplyCheckState(PVirtualNode node, TCheckState value);

    // --- States, updates and notifications (TreeUpdates.cpp)
    TVirtualTreeStates TreeStates() const { return states_.Get(); }
    bool InState(TreeState state) const { return states_.Has(state); }
    void BeginUpdate();
    void EndUpdate();
    std::uint32_t UpdateCount() const { return updateCount_; }
    virtual void Change(PVirtualNode node);
    virtual void NotifyStructureChange(PVirtualNode node, TChangeReason reason);
    virtual void AdviseChangeEvent(bool structureChange, PVirtualNode node, TChangeReason reason);
    std::uint32_t ChangeDelay = 0;
    // The window's timer message for the change (5) and structure change (6) timers.
    void HandleChangeTimer(unsigned id);
    // The worker's state message (0x8020), on the GUI thread.
    void HandleStateMessage(std::uint32_t enter, std::uint32_t leave);
    // Worker thread: one build of this tree's cache with its two state messages.
    void RunValidation();

    // --- Heights, totals and the position cache (NodeHeights.cpp, PositionCache.cpp)
    std::uint32_t NodeHeight(PVirtualNode node);
    void SetNodeHeight(PVirtualNode node, std::uint32_t value);
    std::uint32_t DefaultNodeHeight() const { return defaultNodeHeight_; }
    void SetDefaultNodeHeight(std::uint32_t value);
    std::uint32_t VisibleCount() const { return visibleCount_; }
    bool FullyVisible(PVirtualNode node) const;
    bool VisiblePath(PVirtualNode node) const;
    virtual std::uint32_t CountVisibleChildren(PVirtualNode node) const;
    static int CompareNodePositions(PVirtualNode node1, PVirtualNode node2);
    void InvalidateCache();
    virtual void ValidateCache();
    void InterruptValidation();
    // Whether the worker has this tree queued or builds for it now.
    bool ValidationPending() const;
    // Before a node flag is written outside the structure operations (initialisation, selection): stops a
    // running or queued build, which reads those flags, and keeps a valid cache otherwise.
    void StopWorkerReads() {
        if (ValidationPending())
            InterruptValidation();
    }
    const TCache& PositionCache() const { return cache_; }
    PVirtualNode GetNodeAt(int x, int y);
    PVirtualNode GetNodeAt(int x, int y, bool relative, int& nodeTop);
    TTreeRect GetDisplayRect(PVirtualNode node, TColumnIndex column, bool textOnly, bool unclipped = false);
    TTreeRect GetTreeRect() const;
    PVirtualNode TopNode();
    void SetTopNode(PVirtualNode node);
    // Expands the node's ancestors and scrolls the node into the client area (centred vertically with center;
    // with horizontally, its cell too). False when the node was in view and center was not asked.
    virtual bool ScrollIntoView(PVirtualNode node, bool center, bool horizontally = false);
    int OffsetX() const { return offsetX_; }
    int OffsetY() const { return offsetY_; }
    void SetOffsetX(int value) { SetScrollOffsets(value, offsetY_); }
    void SetOffsetY(int value) { SetScrollOffsets(offsetX_, value); }
    std::uint32_t RangeHeight() const { return root_->TotalHeight - root_->NodeHeight; }
    int RangeWidth = 0;
    int Indent = 18;
    int Margin = 4;
    void InvalidateToBottom(PVirtualNode node);
    virtual void InvalidateNode(PVirtualNode node);

    // --- Navigation (Navigation.cpp, VisibleNavigation.cpp)
    PVirtualNode GetFirst();
    PVirtualNode GetFirstNoInit() const;
    PVirtualNode GetFirstChild(PVirtualNode node);
    PVirtualNode GetLastChild(PVirtualNode node);
    PVirtualNode GetLastChildNoInit(PVirtualNode node) const;
    PVirtualNode GetNextSibling(PVirtualNode node);
    PVirtualNode GetPreviousSibling(PVirtualNode node);
    PVirtualNode GetNextVisibleSibling(PVirtualNode node);
    PVirtualNode GetPreviousVisibleSibling(PVirtualNode node);
    PVirtualNode GetPreviousVisibleSiblingNoInit(PVirtualNode node) const;
    PVirtualNode GetFirstVisibleChild(PVirtualNode node);
    PVirtualNode GetNext(PVirtualNode node);
    PVirtualNode GetNextNoInit(PVirtualNode node) const;
    PVirtualNode GetPrevious(PVirtualNode node);
    PVirtualNode GetPreviousNoInit(PVirtualNode node) const;
    PVirtualNode GetLast(PVirtualNode node = nullptr);
    PVirtualNode GetLastNoInit(PVirtualNode node = nullptr) const;
    PVirtualNode GetFirstInitialized() const;
    PVirtualNode GetNextInitialized(PVirtualNode node) const;
    PVirtualNode GetFirstVisible();
    PVirtualNode GetFirstVisibleNoInit() const;
    PVirtualNode GetNextVisible(PVirtualNode node);
    PVirtualNode GetNextVisibleNoInit(PVirtualNode node) const;
    PVirtualNode GetPreviousVisible(PVirtualNode node);
    PVirtualNode GetPreviousVisibleNoInit(PVirtualNode node) const;
    PVirtualNode GetLastVisibleChild(PVirtualNode node);
    PVirtualNode GetLastVisibleChildNoInit(PVirtualNode node) const;
    PVirtualNode GetLastVisible(PVirtualNode node = nullptr);
    PVirtualNode GetLastVisibleNoInit(PVirtualNode node = nullptr) const;
    PVirtualNode GetVisibleParent(PVirtualNode node) const;
    PVirtualNode GetFirstSelected();
    PVirtualNode GetNextSelected(PVirtualNode node);
    PVirtualNode GetFirstCutCopy();
    PVirtualNode GetNextCutCopy(PVirtualNode node);
    std::vector<PVirtualNode> GetSortedSelection(bool resolve) const;
    std::vector<PVirtualNode> GetSortedCutCopySet(bool resolve) const;
    static std::uint32_t GetNodeLevel(PVirtualNode node);
    virtual int GetLevelDifference(PVirtualNode node1, PVirtualNode node2) const;
    static bool HasAsAncestor(PVirtualNode node, PVirtualNode candidate);

    // --- Item handles for outside tools' tree-view queries (TreeViewQueries.cpp)
    // Records node as handed out and gives its handle (0 for nil).
    std::uintptr_t HandOut(PVirtualNode node);
    // The live node of a handle this tree handed out, or nil.
    PVirtualNode NodeFromHandle(std::uintptr_t handle) const;
    // An image index as the queries report it (-1 without an image).
    int ImageIndexFor(PVirtualNode node, TVTImageKind kind);
    // The text of a node's cell; empty in the base tree, filled by the string tree.
    virtual void GetTextInfo(PVirtualNode node, TColumnIndex column, std::wstring& text);

protected:
    virtual void InitNode(PVirtualNode node);
    virtual void InitChildren(PVirtualNode node);
    virtual void ConnectNode(PVirtualNode node, PVirtualNode destination, TBaseVirtualTree& target,
                             TVTNodeAttachMode mode);
    virtual void DisconnectNode(PVirtualNode node, bool keepFocus, bool reindex);
    virtual void AddToNodeCache(PVirtualNode node);
    virtual void ClearNodeCache();
    // Copies source's subtree into the fresh node destination of this tree, for a move between trees.
    virtual void CopySubtreeFrom(TBaseVirtualTree& sourceTree, PVirtualNode source, PVirtualNode destination);
    bool ChangeCheckState(PVirtualNode node, TCheckState value);
    virtual bool UpdateParentCheckState(PVirtualNode node, TCheckState newCheckState);
    // Merges items (marking the refused ones and packing the added ones, sorted, to the front); true when
    // something was added. Fires nothing and repaints nothing.
    bool InternalAddToSelection(std::vector<PVirtualNode>& items, bool forceInsert);
    bool InternalAddToSelection(PVirtualNode node, bool forceInsert);
    void InternalRemoveFromSelection(PVirtualNode node);
    virtual void InternalClearSelection();
    // Moves the focus, asking OnFocusChanging when ask; true when the focus moved.
    virtual bool InternalSetFocusedNode(PVirtualNode node, bool ask);
    void ScrollFocusedIntoView();
    void PackSelection();
    void SetScrollOffsets(int x, int y);
    void AdjustTotalCount(PVirtualNode node, std::int64_t value, bool relative);
    void AdjustTotalHeight(PVirtualNode node, std::int64_t value, bool relative);
    void MeasureItemHeight(PVirtualNode node);
    virtual bool BuildPositionCache();

    // The one writer of the state set.
    virtual void DoStateChange(TVirtualTreeStates enter, TVirtualTreeStates leave = {});
    virtual void DoChange(PVirtualNode node);
    virtual void DoStructureChange(PVirtualNode node, TChangeReason reason);
    // Forgets the hot node, fires OnFreeNode for a node that was initialised or has initial user data,
    // then releases the node's memory.
    virtual void DoFreeNode(PVirtualNode node);
    PVirtualNode HotNode() const { return hotNode_; }
    void SetHotNode(PVirtualNode node) { hotNode_ = node; }
    ITreeViewHost& Host() const { return *host_; }
    std::vector<PVirtualNode> nodeCache_;
    bool destroying_ = false;

private:
    friend class TWorkerThread;
    friend class test::TreeInvariantChecker;
    friend class TIncrementalSearch;

    bool ReadOnlyForEvents() const override { return Options.ReadOnly; }
    static PVirtualNode TreeFromNodeOrNull(PVirtualNode node);
    PVirtualNode MakeNewNode();
    void FreeNodeMemory(PVirtualNode node);
    void FreeSubtreeMemory(PVirtualNode node);
    std::size_t HeaderSize() const;
    std::size_t UserDataOffset() const;
    void LinkNewChildren(PVirtualNode node, std::uint32_t count);
    void FinishStructureOperation(bool scrollOffsetsMoved, PVirtualNode invalidateFrom);
    void DeleteNodeUnlinked(PVirtualNode node, bool reindex);
    void MoveWithinTree(PVirtualNode source, PVirtualNode target, TVTNodeAttachMode mode, bool childrenOnly);
    void MoveToOtherTree(PVirtualNode source, TBaseVirtualTree& targetTree, PVirtualNode target,
                         TVTNodeAttachMode mode, bool childrenOnly);
    void ApplyRowHeightChange(PVirtualNode node, std::int64_t difference);
    bool FindInCacheByPosition(std::uint32_t position, PVirtualNode& node, std::uint32_t& top) const;
    bool FindInCacheByNode(PVirtualNode wanted, PVirtualNode& node, std::uint32_t& top) const;
    std::uint32_t NodeTop(PVirtualNode node);
    void InvalidateNodesInRowOrder(std::vector<PVirtualNode> nodes);
    template <bool Init>
    PVirtualNode NextVisibleWalk(PVirtualNode node);
    template <bool Init>
    PVirtualNode PreviousVisibleWalk(PVirtualNode node);
    template <bool Init>
    PVirtualNode LastVisibleChildWalk(PVirtualNode node);
    PVirtualNode InitIfNeeded(PVirtualNode node);
    void CountChildrenIfNeeded(PVirtualNode node);
    PVirtualNode NextMarked(PVirtualNode node, std::uint16_t flag);
    std::vector<PVirtualNode> SortedMarked(std::uint16_t flag, std::uint32_t sizeHint, bool resolve) const;

    ITreeViewHost* host_;
    PVirtualNode root_ = nullptr;
    int nodeDataSize_ = -1;
    std::size_t internalDataSize_ = 0;
    std::uint32_t defaultNodeHeight_ = DefaultNodeHeightValue;
    std::uint32_t visibleCount_ = 0;
    std::uint32_t updateCount_ = 0;
    StateSet states_;
    std::uint32_t checkPropagationCount_ = 0;
    PVirtualNode focusedNode_ = nullptr;
    PVirtualNode rangeAnchor_ = nullptr;
    PVirtualNode dropTargetNode_ = nullptr;
    PVirtualNode hotNode_ = nullptr;
    PVirtualNode lastChangedNode_ = nullptr;
    PVirtualNode lastStructureChangeNode_ = nullptr;
    TChangeReason lastStructureChangeReason_ = TChangeReason::crIgnore;
    TSelectionArray selection_;
    std::uint32_t selectionCount_ = 0;
    int lastSelectionLevel_ = -1;
    TColumnIndex focusedColumn_ = NoColumn;
    std::vector<PVirtualNode> nodesBeingDeleted_;
    std::unordered_set<PVirtualNode> handedOut_;
    int offsetX_ = 0;
    int offsetY_ = 0;

    TCache cache_;
    TCache pendingCache_; // written by the worker, installed by the GUI thread on the state message
    // The last row NodeTop measured, while a caller walks many nodes in row order: the next lookup goes on
    // from there instead of from a cache entry up to CacheThreshold rows back. Dropped with the cache.
    struct TRowTopHint {
        bool Active = false;
        PVirtualNode Node = nullptr;
        std::uint32_t Top = 0;
    };
    TRowTopHint rowTopHint_;
    std::atomic<bool> stopValidation_{false};
    std::shared_ptr<TWorkerThread> worker_;

    // --- Option sets, colours, scroll bars, published settings and animation (TreeSettings.cpp)
public:
    TCustomVirtualTreeOptions& TreeOptions() const;
    TVTColors& Colors() const;
    TScrollBarOptions& ScrollBarOptions() const;
    TVirtualTreeProperties& Properties() const;
    // Takes the settings of another tree (options, colours, scroll bars, header, published settings, the
    // root node count), each through its setter; a read-only tree refuses (EVirtualTreeError).
    virtual void Assign(const TBaseVirtualTree& source);
    // The control's side of the settings (re-creating the window, drop registration); null: no control.
    void SetControlPort(ITreeControlPort* port);
    ITreeControlPort& ControlPort() const;
    // The clock animations run on; null: the process's clock.
    void SetAnimationClock(IAnimationClock* clock);
    // Runs a timed animation (nothing while one runs or for a duration of 0).
    virtual void Animate(std::uint32_t steps, std::uint32_t duration, const TAnimationCallback& callback);

private:
    friend class TCustomVirtualTreeOptions;
    friend class TVTColors;
    friend class TScrollBarOptions;
    friend class TVirtualTreeProperties;
    friend class TVirtualTreeControl;
    TTreeSettings& Settings() const;
    // The slide of the rows below a toggled node (Toggle.cpp).
    bool SlidesOnToggle() const;
    void SlideCollapse(PVirtualNode node);
    void SlideExpand(PVirtualNode node, std::int64_t gain);
    mutable std::shared_ptr<TTreeSettings> settings_;

    // --- Columns and header (HeaderTreeBridge.cpp, Focus.cpp)
public:
    // Image sizes and options the widest-content measure of a column takes into account.
    struct TColumnFitMetrics {
        int CheckImageWidth = 0;
        int ImageWidth = 0;
        int StateImageWidth = 0;
        bool CheckSupport = false;
        bool ShowVertGridLines = false;
    };
    TColumnFitMetrics ColumnFitMetrics;
    TVTHeader& Header() const;
    TVTHeaderEvents& HeaderEvents() const;
    TTreeHeaderBridge& HeaderBridge() const;
    // The width of a node's content in a column (the string tree measures its text).
    virtual int GetNodeWidth(PVirtualNode, TColumnIndex) { return 0; }
    // The header's main column changed (the string tree drops its cached text widths).
    virtual void MainColumnChanged() {}
    // The control's font changed: a header that follows the tree's font takes it (the string tree also
    // measures its texts again).
    virtual void TreeFontChanged(const TTextFont& font);
    // The widest content of a column over all visible nodes, indents and images included.
    int GetMaxColumnWidth(TColumnIndex column);
    virtual void SetFocusedNodeAndColumn(PVirtualNode node, TColumnIndex column);

private:
    friend class TTreeHeaderBridge;
    // With columns, the focused column must name a visible one: the main column or the first visible.
    void EnsureVisibleFocusedColumn();
    bool IsFocusableColumn(TColumnIndex column) const;
    mutable std::shared_ptr<TTreeHeaderBridge> headerBridge_;

    // --- Node streams (NodeStream.cpp, NodeStreamReader.cpp; the format and the hooks: tree/NodeStream.h)
public:
    TVTSaveNodeEvent OnSaveNode;
    TVTSaveNodeEvent OnLoadNode;
    // Writes the header (version 2) and every top-level node, or only node with its subtree. A read-only
    // tree saves as well.
    virtual void SaveToStream(TStream& stream, PVirtualNode node = nullptr);
    // Replaces all nodes by the stream's, then fires OnNodeCopied(nil). Nothing happens on a read-only tree.
    // A stream that cannot be read raises EVirtualTreeError (2002 to 2006) and leaves the nodes as they were.
    virtual void LoadFromStream(TStream& stream);
    // Reads the whole file, then loads it as LoadFromStream does.
    virtual void LoadFromFile(const std::wstring& fileName);
    // Writes one node chunk.
    virtual void WriteNode(TStream& stream, PVirtualNode node);
    // Reads one node chunk into node (nil: the root, whose own record stays as it is; the chunk's children
    // join the root's), then merges the nodes read as selected into the selection (with multi-selection;
    // otherwise they lose the mark). On error the tree is unchanged.
    virtual void AddNodesFromStream(TStream& stream, int version, PVirtualNode node);
    // Reads a node chunk header and steps over the chunk.
    void SkipNode(TStream& stream);

protected:
    // The hooks a descendant extends (see tree/NodeStream.h): the sub-chunks of a node, and one sub-chunk
    // other than the base chunk (false: a type it does not handle).
    virtual void WriteChunks(TStream& stream, PVirtualNode node);
    virtual bool ReadChunk(TStream& stream, int version, PVirtualNode node, std::int32_t chunkType,
                           std::int32_t chunkSize);
    // Reads one node chunk into node (nil: the root) as AddNodesFromStream does, without the selection.
    virtual void ReadNode(TStream& stream, int version, PVirtualNode node);
    // Writes the size of the chunk that starts at startPos and ends at endPos into its header; the stream
    // then stands at endPos.
    void FinishChunkHeader(TStream& stream, std::int64_t startPos, std::int64_t endPos);
    virtual void DoSaveNode(PVirtualNode node, TStream& stream);
    virtual void DoLoadNode(PVirtualNode node, TStream& stream);

private:
    friend class TNodeStreamReader;
    // Gives node the record, data and children of a node read detached, then frees that node.
    void AdoptStagedNode(PVirtualNode staged, PVirtualNode node);
    void MoveStagedChildren(PVirtualNode staged, PVirtualNode node);
    // Merges the loaded subtrees' selected nodes into the selection, or clears their mark.
    void MergeLoadedSelection(const std::vector<PVirtualNode>& tops);

    // --- Clipboard and drag and drop (TreeClipboard.cpp)
public:
    // The tree's class as the clipboard format registry sees it.
    virtual const TTreeClass& TreeClass() const;
    TTreeClipboard& Clipboard() const;

private:
    friend class TTreeClipboard;
    friend class TTreeDropTarget;
    mutable std::shared_ptr<TTreeClipboard> clipboard_;

    // --- In-place editing (EditSession.cpp; the editor interface and its rules: tree/EditSession.h)
public:
    using TVTEditChangeEvent = Delegate<void(TBaseVirtualTree&, PVirtualNode, TColumnIndex)>;
    using TVTEditCancelEvent = Delegate<void(TBaseVirtualTree&, TColumnIndex)>;
    TVTEditChangeEvent OnEdited;
    TVTEditCancelEvent OnEditCancelled;
    // Whether the control takes input (the window keeps it in step); a disabled control edits nothing.
    bool ControlEnabled = true;
    virtual bool CanEdit(PVirtualNode node, TColumnIndex column);
    // Focuses node and starts editing the cell; true when an edit runs afterwards (or already ran).
    virtual bool EditNode(PVirtualNode node, TColumnIndex column);
    // Ends a running or pending edit; false when the editor refuses to end.
    virtual bool EndEditNode();
    // Cancels a running or pending edit (only with a window); false when the editor refuses.
    bool CancelEditNode();
    bool IsEditing() const { return InState(TreeState::tsEditing); }
    // The tree is being destroyed: editors must not hand texts back any more.
    bool Destroying() const { return destroying_; }
    int ClientWidth() const { return Host().ClientWidth(); }
    TColumnIndex EditColumn() const { return editColumn_; }
    IVTEditLink* EditLink() const { return editLink_.get(); }
    // Arms the edit timer for the focused node's cell in column (a click on the focused node's text).
    void ArmEdit(TColumnIndex column);
    // The edit timer's handler, and the direct start: creates the editor and places it over the cell.
    virtual void StartEditing();
    virtual void UpdateEditBounds();
    virtual bool DoEndEdit();
    virtual bool DoCancelEdit();

protected:
    virtual void DoEdited(PVirtualNode node, TColumnIndex column);
    virtual void DoEditCancelled(TColumnIndex column);
    // Drops the editor when the tree goes (without asking it to end or cancel).
    void DropEditLink();

private:
    std::shared_ptr<IVTEditLink> editLink_;
    TColumnIndex editColumn_ = NoColumn;

    // --- Keyboard input and incremental search (TreeKeyboard.cpp, TreeKeyboardNavigation.cpp)
public:
    using TVTKeyActionEvent =
        Delegate<void(TBaseVirtualTree&, std::uint16_t& charCode, TKeyModifiers& shift, bool& doDefault)>;
    using TVTHelpContextEvent =
        Delegate<void(TBaseVirtualTree&, PVirtualNode, TColumnIndex, int& helpContext)>;
    // Fired before the tree acts on a key: may rewrite the key and its modifiers, or stop it.
    TVTKeyActionEvent OnKeyAction;
    // F1 asks it for the focused node, then for each parent until one answers a context other than 0.
    TVTHelpContextEvent OnGetHelpContext;
    // The help context of the control and its parent controls, outward (F1 when no node gave one).
    std::function<int()> ControlHelpContext;
    // Shows the help topic F1 found.
    std::function<void(int helpContext)> ShowHelp;
    // The search's clock (milliseconds, may wrap; unset: a steady clock) and its beep on no match.
    std::function<std::uint32_t()> SearchClock;
    std::function<void()> SearchBeep;

    // A key went down (after the control's own OnKeyDown). typed: the character the key types, 0 if none.
    virtual void HandleKeyDown(std::uint16_t key, TKeyModifiers shift, wchar_t typed);
    virtual void HandleKeyUp(std::uint16_t key);
    // A typed character (WM_CHAR): searched for when the key before asked for it.
    void HandleCharInput(wchar_t charCode);
    virtual void HandleIncrementalSearch(wchar_t charCode);
    // The search timer fired: the next character starts a new search.
    void EndIncrementalSearch();
    void KeyboardFocusGained();
    void KeyboardFocusLost();
    // Ends a check press of the space key or the mouse and shows the check image unpressed again.
    void EndPendingChecks();
    const std::wstring& SearchBuffer() const;
    PVirtualNode LastSearchNode() const;

protected:
    virtual bool DoKeyAction(std::uint16_t& charCode, TKeyModifiers& shift);
    virtual int DoGetHelpContext(PVirtualNode node, TColumnIndex column);
    // The node is being freed: no key state may keep it.
    void KeyboardForgetNode(PVirtualNode node);

private:
    struct TKeyNavigation;
    TIncrementalSearch& Search();
    void ActOnKey(TTreeKeyAction action);
    void ShowHelpForFocusedNode();
    void PressCheckWithSpace();
    void OpenContextMenuForFocusedNode();
    void NavigateByKey(std::uint16_t key, TKeyModifiers shift);
    void NavigateTab(bool backward);
    void NavigatePage(bool down, bool ctrl);
    void NavigateHomeEnd(bool home, TKeyModifiers shift);
    void NavigateLeft(TKeyNavigation& nav, bool ctrl, bool modifiers);
    void NavigateRight(TKeyNavigation& nav, bool ctrl, bool modifiers);
    void NavigateUpDown(TKeyNavigation& nav, bool down, bool ctrl);
    void FinishNavigation(const TKeyNavigation& nav, bool modifiers);
    void ScrollByKey(std::int64_t deltaX, std::int64_t deltaY);
    std::shared_ptr<TIncrementalSearch> incrementalSearch_;
    // --- Scrolling and scroll bars (TreeScroll.cpp)
public:
    // Clamps and stores the offsets; outside an update it then scrolls the client area and keeps the bars in
    // step as the options ask. True when an offset changed. Wide values let callers add deltas safely.
    bool SetScrollOffsets(std::int64_t x, std::int64_t y, TScrollUpdateOptions options,
                          const TTreeRect* clipRect = nullptr);
    // Only with a window: the vertical bar, then the horizontal one.
    virtual void UpdateScrollBars(bool doRepaint);
    void UpdateHorizontalScrollBar(bool doRepaint);
    void UpdateVerticalScrollBar(bool doRepaint);
    // The widest of the rows in the client area, indent and images included, plus Margin.
    virtual int GetMaxRightExtent();
    // A scroll-bar request (WM_HSCROLL, WM_VSCROLL) by its code (ScrollLineUp ...).
    void HandleScrollRequest(TScrollBarKind bar, int code);
    // The window's client area changed size (WM_SIZE).
    void ClientResized();
    // The visual styles changed (WM_THEMECHANGED): themed painting follows them and toThemeAware.
    void ThemesChanged(bool themesEnabled);
    // The window's scroll bars; null: bars kept in memory.
    void SetScrollPort(ITreeScrollPort* port) { scrollPort_ = port; }
    ITreeScrollPort& ScrollPort() const;

private:
    bool HorizontalBarAllowed() const;
    bool VerticalBarAllowed() const;
    void ApplyScrollBar(TScrollBarKind bar, std::int64_t range, int client, int offset, bool doRepaint);
    void ScrollClientArea(int deltaX, int deltaY, const TTreeRect* clipRect);
    void UpdateBarsAfterScroll(int deltaX, int deltaY, TScrollUpdateOptions options);
    ITreeScrollPort* scrollPort_ = nullptr;
    mutable std::shared_ptr<TModelScrollPort> modelScrollPort_;

    // --- Auto-scroll, wheel, wheel panning and the window timers (AutoScrollTree.cpp, WheelPanningTree.cpp,
    // TreeTimers.cpp; the rules: tree/AutoScroll.h)
public:
    // The window side of motion; null: a tree without a window.
    void SetMotionPort(ITreeMotionPort* port) { motionPort_ = port; }
    // The window's timer message; false for a timer nobody here handles.
    bool HandleTimer(unsigned id);
    TScrollDirections ScrollDirections() const { return scrollDirections_; }
    // When the pointer first stood in a scroll zone; empty when not waiting.
    std::optional<std::uint32_t> AutoScrollStartTime() const { return autoScrollDelay_.StartTime(); }
    // The next stay in a scroll zone waits the full AutoScrollDelay again (an OLE drag enters, ...).
    void ResetAutoScrollStart() { autoScrollDelay_.Reset(); }
    // Connections to other parts of the control:
    // - the expand timer fired (drag and drop opens the drop target); without one the timer just stops;
    std::function<void()> OnExpandTimer;
    // - whether the tree is the current OLE drop target (its drag manager knows);
    std::function<bool()> IsOleDropTarget;
    // - after each auto-scroll step during a rubber band, with the pointer in client coordinates: the band
    //   follows the pointer and repaints what changed.
    std::function<void(int x, int y)> OnAutoScrollBandStep;
    // - auto-scrolling starts: a hint waiting to show would cover the moving rows.
    std::function<void()> CancelPendingHint;
    // The mouse handling's pointer move (client coordinates): while panning it steers the panning (and
    // answers true: the move is taken); otherwise it starts or stops auto-scrolling near the edges.
    bool HandleAutoScrollMove(int x, int y);
    // Auto-scrolling ends (button up, the band or drag ends, cancel mode, focus loss).
    void StopAutoScroll();
    // A drag over the tree moves it near the edges: one step per drag-over in each direction the pointer
    // (client coordinates) asks for, after the auto-scroll delay, where the tree can still go. True when
    // the tree scrolled.
    bool DragOverAutoScroll(int x, int y);
    virtual bool CanAutoScroll() const;
    virtual TScrollDirections DetermineScrollDirections(int x, int y);
    virtual void UpdateAutoScroll(int x, int y);
    virtual void AutoScrollStep();
    // A wheel message (delta in 1/120 notches); true: handled.
    bool HandleMouseWheel(int wheelDelta, bool ctrl);
    // Button presses and releases while panning or that start it (client coordinates); true: the
    // press or release belongs to the panning and goes no further.
    bool HandlePanningButtonDown(bool middleButton, int x, int y);
    bool HandlePanningButtonUp(bool middleButton);
    bool WheelPanningActive() const;
    virtual void StartWheelPanning(int x, int y);
    virtual void StopWheelPanning();
    virtual void SetWheelPanningCursor(int x, int y);

private:
    ITreeMotionPort& MotionPort() const;
    TScrollArea MotionArea() const;
    bool OleDropTargetNow() const { return IsOleDropTarget && IsOleDropTarget(); }
    // Moves the offsets by a distance (kept inside the content), with every update.
    void ScrollOffsetsBy(std::int64_t dx, std::int64_t dy);
    void HandleScrollTimer();
    bool MovedBeyondDragThreshold(int x, int y) const;

    ITreeMotionPort* motionPort_ = nullptr;
    TScrollDirections scrollDirections_ = 0;
    TAutoScrollDelay autoScrollDelay_;
    TMotionPoint panningOrigin_;
    std::optional<TPanningCursor> panningCursor_;
    TWheelRemainder wheelRemainder_;
    // --- Hit testing, rubber band and mouse input (HitTestInfo.cpp, RubberBand.cpp, TreeMouse.cpp)
public:
    using TVTColumnClickEvent = Delegate<void(TBaseVirtualTree&, TColumnIndex, TTreeShiftState)>;
    using TVTGetCursorEvent = Delegate<void(TBaseVirtualTree&, int& cursor)>;
    TVTColumnClickEvent OnColumnClick;
    TVTColumnClickEvent OnColumnDblClick;
    // The cursor over the tree (the framework's cursor number, 0 the default); handlers may change it.
    TVTGetCursorEvent OnGetCursor;
    // A press on a node's text or image may start a drag without asking OnDragAllowed.
    bool DragModeAutomatic = false;

    // What lies under a point: client coordinates with relative, else tree coordinates.
    THitInfo GetHitTestInfoAt(int x, int y, bool relative);
    // The rubber band while it selects: ordered, in tree coordinates; nothing otherwise.
    std::optional<TTreeRect> RubberBandRect() const;
    bool IsRubberBandActive() const { return InState(TreeState::tsDrawSelecting); }
    // Moves the band's free corner to a client point (clamped to the tree); true when the band changed.
    virtual bool UpdateSelectionRect(int x, int y);
    // Applies the band's last move to the selection; true when the selection changed.
    bool HandleDrawSelection();

    // The window's mouse side (null: none).
    void SetMousePort(ITreeMousePort* port);
    ITreeMousePort& MousePort() const;
    // The button rules, each handed the message and what lies under it.
    virtual void HandleMouseDown(const TTreeMouseMessage& message, const THitInfo& hit);
    virtual void HandleMouseUp(const TTreeMouseMessage& message, const THitInfo& hit);
    virtual void HandleMouseDblClick(const TTreeMouseMessage& message, const THitInfo& hit);
    virtual void HandleHotTrack(int x, int y);
    // A mouse move (client point); true when the move goes on to the window's own handling (OnMouseMove).
    bool HandleMouseMove(TTreeShiftState shift, int x, int y);
    // The mouse left the window: the hot node goes.
    void HandleMouseLeave();
    // The window's modal state was cancelled: timers stop and every pending mouse state ends.
    void HandleCancelMode();
    // A context menu is asked for: the pending click states end.
    void HandleContextMenuRequest();
    // The window lost the mouse capture while a button was down: the pending mouse states end.
    void HandleCaptureLost();
    // Whether a right click shows a menu here: the control's own or one the owner gives for the node.
    virtual bool HasPopupMenu(PVirtualNode node, TColumnIndex column, TTreeMousePoint position);
    virtual void ShowNodePopupMenu(PVirtualNode node, TColumnIndex column, TTreeMousePoint position);
    // Starts a drag at once, or arms it until the mouse moves past threshold (negative: the system's).
    virtual void BeginDrag(bool immediate, int threshold = -1);
    // Repaints a column's strip of the client area.
    void InvalidateColumn(TColumnIndex column);
    PVirtualNode CurrentHotNode() const { return hotNode_; }
    // The node whose check image the space key or the mouse holds pressed, and the state its release gives.
    PVirtualNode CheckNode() const { return checkNode_; }
    TCheckState PendingCheckState() const { return pendingCheckState_; }
    TTreeMousePoint LastClickPos() const { return lastClickPos_; }
    // The header is dragging, sizing or pressing a column: it has the mouse.
    bool HeaderBusy() const;
    // Whether a client point lies in the header while it is shown (above the client area).
    bool PointInVisibleHeader(TTreeMousePoint client) const;

protected:
    virtual void DoColumnClick(TColumnIndex column, TTreeShiftState shift);
    virtual void DoColumnDblClick(TColumnIndex column, TTreeShiftState shift);
    virtual int DoGetCursor(int cursor);
    // The band's walk over the rows between the old and the new band, left to right or mirrored.
    virtual bool CollectSelectedNodesLTR(TColumnIndex mainColumn, int nodeLeft, int maxX,
                                         TAlignment alignment, const TTreeRect& newRect,
                                         const TTreeRect& oldRect);
    virtual bool CollectSelectedNodesRTL(TColumnIndex mainColumn, int nodeLeft, int maxX,
                                         TAlignment alignment, const TTreeRect& newRect,
                                         const TTreeRect& oldRect);

private:
    struct TBandWalk;
    struct TClickFacts;
    bool CollectSelectedNodes(const TBandWalk& walk);
    void SpanOverEmptyCells(const TBandWalk& walk, PVirtualNode node, std::int64_t& left,
                            std::int64_t& right);
    void BandMembership(const TBandWalk& walk, PVirtualNode node, int nodeTop, int nextTop, int level,
                        bool& inOld, bool& inNew);
    TCellHitLayout CellLayout(PVirtualNode node, TColumnIndex column, bool mainColumn);
    // GetDisplayRect's text part of a row or cell: after the margin, indent and images, as wide as the
    // text (unclipped: the whole text even beyond the cell).
    void NarrowToText(TTreeRect& rect, PVirtualNode node, TColumnIndex column, bool mainColumn, int indent,
                      bool unclipped);
    void HitColumnAndBounds(THitInfo& hit, int x, int& left, int& right);
    TClickFacts GatherClickFacts(const TTreeMouseMessage& message, const THitInfo& hit);
    void PressCheckBox(PVirtualNode node);
    void ReleaseCheckBox(const THitInfo& hit);
    void RestorePressedCheck();
    void ClearSelectionForClick(const TClickFacts& facts, const THitInfo& hit);
    void StartRubberBand(const TTreeMouseMessage& message, TTreeShiftState shift);
    void MoveFocusForClick(const TClickFacts& facts, const THitInfo& hit);
    void EndEditPendingByMouse();
    bool DrawSelectionMove(int x, int y);
    void EndRubberBand();
    void RepaintBandArea();
    bool BeyondThreshold(TTreeMousePoint point, TTreeMousePoint threshold) const;
    TTreeMousePoint ClampToTree(int x, int y) const;
    void StartOleDragFromTree();

    ITreeMousePort* mousePort_ = nullptr;
    PVirtualNode checkNode_ = nullptr;
    TCheckState pendingCheckState_ = TCheckState::csUncheckedNormal;
    TTreeMousePoint lastClickPos_;
    TTreeMousePoint oleDragThreshold_;
    TTreeRect newSelectionRect_;
    TTreeRect lastSelRect_;
    TTreeShiftState drawSelShiftState_ = 0;
    // --- Hints and tooltips (TreeHints.cpp; the decision: tree/TreeHints.h, the data: tree/TreeHintData.h)
public:
    // The record handed to the tree's hint window.
    TVTHintData& HintData() const;
    // The cursor area of the last hint the tree's window showed (client coordinates); empty when none.
    TTreeRect LastHintRect;
    // The control's hint text (its Hint property), kept in step by the window.
    std::wstring ControlHint;
    // A node's hint, and its tooltip (the full text of its cell); the base answers the control's hint.
    virtual std::wstring GetNodeHint(PVirtualNode node, TColumnIndex column,
                                     TVTTooltipLineBreakStyle& lineBreakStyle);
    virtual std::wstring GetNodeTooltip(PVirtualNode node, TColumnIndex column,
                                        TVTTooltipLineBreakStyle& lineBreakStyle);
    // The font and the text rectangle of a cell's tooltip; the base keeps the font and answers the text part
    // of the cell (GetDisplayRect, unclipped).
    virtual void GetTooltipTextInfo(PVirtualNode node, TColumnIndex column, TTextFont& font, TTreeRect& rect);
    // A tree that draws its hints itself answers their size (an empty rectangle: no hint).
    virtual bool OwnerDrawsHints() const { return false; }
    virtual void DoGetHintSize(PVirtualNode, TColumnIndex, TTreeRect&) {}
    virtual THintAnimationType GetEffectiveHintAnimation(const THintSystemSettings& system);
    // Watches the tree's life: expires when the tree is destroyed (animations outlive it on the stack).
    std::weak_ptr<bool> Liveness() const { return alive_; }
    // A newer hint takes over a running hint animation: this one may animate, the older stops at its next
    // step.
    void YieldAnimationToNewerHint();
    void CancelOlderHintAnimation();
    void SetHintState(bool shown);
    // A cell's borders for its hint: the column's, stretched over following empty cells with auto-span.
    void GetHintColumnBorders(PVirtualNode node, TColumnIndex column, int& left, int& right);
    // The hit test a hint request needs: node, column, hit positions and the cell's rectangles.
    virtual void FillHintHitTest(THintRequest& request);
    int HintClientHeight() const { return Host().ClientHeight(); }

private:
    mutable std::shared_ptr<TVTHintData> hintData_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // --- Painting (TreePaint.cpp; the row walk and cell layout: tree/TreePaintLayout.h, the GDI painter:
    // tree/TreePainter.h)
public:
    enum class TItemEraseAction : std::uint8_t { eaColor, eaDefault, eaNone };
    using TVTPaintEvent = Delegate<void(TBaseVirtualTree&, TCanvas*)>;
    using TVTBeforeItemEraseEvent = Delegate<void(TBaseVirtualTree&, TCanvas*, PVirtualNode, const TTreeRect&,
                                                  std::uint32_t& color, TItemEraseAction&)>;
    using TVTAfterItemEraseEvent =
        Delegate<void(TBaseVirtualTree&, TCanvas*, PVirtualNode, const TTreeRect&)>;
    using TVTBeforeItemPaintEvent =
        Delegate<void(TBaseVirtualTree&, TCanvas*, PVirtualNode, const TTreeRect&, bool& customDraw)>;
    using TVTAfterItemPaintEvent =
        Delegate<void(TBaseVirtualTree&, TCanvas*, PVirtualNode, const TTreeRect&)>;
    using TVTCellPaintEvent =
        Delegate<void(TBaseVirtualTree&, TCanvas*, PVirtualNode, TColumnIndex, const TTreeRect& cellRect)>;
    using TVTBackgroundPaintEvent =
        Delegate<void(TBaseVirtualTree&, TCanvas*, const TTreeRect&, bool& handled)>;
    TVTPaintEvent OnBeforePaint;
    TVTPaintEvent OnAfterPaint;
    TVTBeforeItemEraseEvent OnBeforeItemErase;
    TVTAfterItemEraseEvent OnAfterItemErase;
    TVTBeforeItemPaintEvent OnBeforeItemPaint;
    TVTAfterItemPaintEvent OnAfterItemPaint;
    TVTCellPaintEvent OnBeforeCellPaint;
    TVTCellPaintEvent OnAfterCellPaint;
    TVTBackgroundPaintEvent OnPaintBackground;

    // The row of a node other than nil and the root is repainted at once.
    void RepaintNode(PVirtualNode node);
    // The cell's content; the base tree shows none (the string tree paints its texts).
    virtual void PaintNodeContent(TVTPaintInfo& paintInfo);
    // nextNonEmpty: the next column to paint (InvalidColumn: none); descendants may widen the cell.
    virtual void AdjustPaintCellRect(TVTPaintInfo& paintInfo, TColumnIndex& nextNonEmpty);
    virtual int GetImageIndex(PVirtualNode node, TVTImageKind kind, TColumnIndex column, bool& ghosted);
    // The check image list's index for the node's check type and state (-1: none).
    virtual int GetCheckImageIndex(PVirtualNode node);
    // The painter's entry points into the tree (each fires the event named like it).
    virtual void DoBeforePaint(TCanvas* canvas);
    virtual void DoAfterPaint(TCanvas* canvas);
    virtual void DoBeforeItemErase(TCanvas* canvas, PVirtualNode node, const TTreeRect& r,
                                   std::uint32_t& color, TItemEraseAction& eraseAction);
    virtual void DoAfterItemErase(TCanvas* canvas, PVirtualNode node, const TTreeRect& r);
    virtual bool DoBeforeItemPaint(TCanvas* canvas, PVirtualNode node, const TTreeRect& itemRect);
    virtual void DoAfterItemPaint(TCanvas* canvas, PVirtualNode node, const TTreeRect& itemRect);
    virtual void DoBeforeCellPaint(TCanvas* canvas, PVirtualNode node, TColumnIndex column,
                                   const TTreeRect& cellRect);
    virtual void DoAfterCellPaint(TCanvas* canvas, PVirtualNode node, TColumnIndex column,
                                  const TTreeRect& cellRect);
    virtual bool DoPaintBackground(TCanvas* canvas, const TTreeRect& r);
    // The painter's run state (tsPainting) and the events around it.
    void EnterPainting() { DoStateChange({TreeState::tsPainting}); }
    void LeavePainting() { DoStateChange({}, {TreeState::tsPainting}); }
    PVirtualNode PaintHotNode() const { return hotNode_; }
    bool CellIsEmpty(PVirtualNode node, TColumnIndex column) { return DoGetCellIsEmpty(node, column); }

private:
    friend class TPaintRowWalker;
};

} // namespace tarvola
