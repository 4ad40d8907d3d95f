// The extended explorer list's core: the list flavour with five view styles. In report style the tree
// window itself shows the items; in the icon, small-icon, list and thumbnail styles a native owner-data
// list stands in its place (reached through IShadowListPort), whose item i is the i-th child of the hidden
// root. The tree stays the model: it enumerates, sorts and holds the selection, which is copied to the
// native list when the tree changes it and read back before anything acts on it.
//
// Files: VirtualExplorerListviewEx.cpp (styles, item count, selection and focus both ways, the index
// cache), VirtualExplorerListviewExItems.cpp (what each item shows, typed search, painting colours, the
// key table and the mouse). Portable; the windows are VirtualExplorerListviewExControl.h and
// ShadowListView.h.
#pragma once

#include "explorer/ThumbsExtensions.h"
#include "explorer/ThumbsOptions.h"
#include "explorer/VirtualExplorerListview.h"
#include "explorer/VirtualExplorerListviewExPorts.h"

namespace tarvola {

class TCustomVirtualExplorerListviewEx : public TCustomVirtualExplorerListview, public IExplorerListviewCore {
public:
    explicit TCustomVirtualExplorerListviewEx(IExplorerNamespace& shell, ITreeViewHost* host = nullptr);
    ~TCustomVirtualExplorerListviewEx() override;

    // --- Styles, item count, selection (VirtualExplorerListviewEx.cpp)
    TViewStyleEx ViewStyle() const override { return viewStyle_; }
    void SetViewStyle(TViewStyleEx style) override;
    bool ReportStyle() const { return viewStyle_ == TViewStyleEx::vsxReport; }
    void SetShadowPort(IShadowListPort* port) override;
    void SetThumbnailSource(IListThumbnailSource* source) override { thumbnails_ = source; }
    IListThumbnailSource* ThumbnailSource() const { return thumbnails_; }
    int ItemCount() const override;
    // The hidden root's index-th child; nullptr past the end. Consecutive indexes cost one step each.
    PVirtualNode GetNodeByIndex(int index);
    void ResetNodeByIndexCache() { indexCache_ = nullptr; }
    // Only for tests: the node the index cache holds.
    PVirtualNode NodeByIndexCache() const { return indexCache_; }
    void SyncItemCount();
    // Before the native list measures every caption: the items' names are found together, at far less
    // cost than one by one.
    void PrepareItemCaptions();
    // treeToList: the tree's selection and focus are shown in the native list; else the list's are
    // copied into the tree.
    void SyncSelection(bool treeToList);
    bool ShadowMuted() const override { return updating_ > 0 || syncing_; }

    // --- The host's calls that the list flavour has under other names
    void SetRootFolderCustomPath(const WideString& path) override;
    const WideString& RootFolderCustomPath() const override {
        return TCustomVirtualExplorerListview::RootFolderCustomPath();
    }
    void SetBrowseLimitPath(const WideString& path) override {
        TCustomVirtualExplorerListview::SetBrowseLimitPath(path);
    }
    WideString GetSelectedFileName() override;
    WideString GetSelectedPath() override;
    bool BrowseToPath(const WideString& path, bool expandTarget, bool selectTarget, bool setFocus,
                      bool collapseAllFirst) override {
        return TCustomVirtualExplorerListview::BrowseToPath(path, expandTarget, selectTarget, setFocus,
                                                            collapseAllFirst);
    }
    void RefreshTree(bool restoreTopNode) override;
    void RebuildTree() override { DoRebuildTree(); }
    void SetActive(bool value) override { TCustomVirtualExplorerListview::SetActive(value); }
    bool ListActive() const override { return Active(); }
    void SetFileObjects(TFileObjects value) override {
        TCustomVirtualExplorerListview::SetFileObjects(value);
    }
    TVETMiscOptions& ListMiscOptions() override { return MiscOptions; }
    WideString RootPath() override;

    bool BrowseToPIDL(const TItemIDList& pidl, bool expandTarget, bool selectTarget, bool setFocus,
                      bool collapseAllFirst, bool expandPath) override;
    void RefreshNodeChildren(PVirtualNode node) override;
    void InvalidateNode(PVirtualNode node) override;
    // Outside report style the clipboard and delete act on what the native list has selected.
    virtual bool CopyToClipboard();
    virtual bool CutToClipboard();
    bool PasteFromClipboard() override;
    virtual void DeleteSelected();
    // Starts an OLE drag of the selected items from the native list (right: the right button) through the
    // window's SelectionDragStarter; false when none ran.
    virtual bool StartSelectionDrag(bool right) {
        return SelectionDragStarter && SelectionDragStarter(right);
    }

    // --- Items, search, painting, keys and mouse (VirtualExplorerListviewExItems.cpp)
    WideString ItemCaption(int index) override;
    int ItemImage(int index, bool large) override;
    bool ItemGhosted(int index) override;
    std::optional<TItemIDList> ItemPIDL(int index) override;
    TListItemPaint ItemPaint(int index, bool selected) override;
    void ItemsHinted(int first, int last) override;
    int FindItem(std::u16string_view text, int start, bool wrap) override;
    void ListItemChanged(int index, bool selectionChanged, bool selected, bool focused) override;
    void ListRangeChanged() override;
    bool ListMultiSelect() override;
    void ListSelectItems(const std::vector<int>& items, int focused) override;
    bool ListKeyDown(std::uint16_t key, unsigned shift) override;
    void ListDoubleClick(int index, const std::function<void()>& ownerEvent) override;
    bool ListContextMenu(int screenX, int screenY) override;
    bool ListBeginDrag(int index, bool right) override;
    bool ListCanEdit(int index) override;
    bool ListEdited(int index, const WideString& text) override;
    void ListFocusEntered() override { justEntered_ = true; }

    TListviewTextColors& TextColors() override { return colors_; }
    // Picture files: their background highlight (with colours) and, in the thumbnail style, thumbnails.
    TExtensionsList& ImageExtensions() { return imageExtensions_; }
    TExtensionsList& ExtractionExtensions() { return extractionExtensions_; }
    TExtensionsList& ExcludedExtensions() { return excludedExtensions_; }
    virtual void FillExtensionsLists(bool withColors);
    // The index of the file's extension among the picture files; -1 for an excluded or other file.
    int ExtensionIndex(const WideString& fileName) const;
    // The background of an unselected picture file by the highlight in force; NoListColor for none.
    std::uint32_t PictureHighlightColor(const WideString& fileName) const;
    // How unselected picture files are highlighted in every style but report: the thumbnail options'
    // Highlight and HighlightColor (nullptr: each file's colour of its extension). The options outlive
    // the core's painting; whoever sets this clears it before they go.
    const TThumbsOptions* ThumbnailHighlight = nullptr;
    // Fills a cell of the report style with a colour (COLORREF); the window sets it, as only it can draw
    // on the canvas. Without it picture files are not highlighted there.
    std::function<void(TCanvas* canvas, const TTreeRect& cell, std::uint32_t color)> FillCell;

    // --- Drags out of and into the native list (VirtualExplorerListviewExDrop.cpp)
    std::int32_t ListDragEnter(IDataObject* data, std::uint32_t keyState, int index, int screenX, int screenY,
                               std::uint32_t& effect) override;
    std::int32_t ListDragOver(std::uint32_t keyState, int index, int screenX, int screenY,
                              std::uint32_t& effect) override;
    void ListDragLeave() override;
    std::int32_t ListDrop(IDataObject* data, std::uint32_t keyState, int index, int screenX, int screenY,
                          std::uint32_t& effect) override;
    int ListDropHighlight() const override;
    std::pair<unsigned, unsigned> ListAutoScrollTimes() const override;
    // The drop's target: kListNoDropTarget, kListBackgroundTarget (the folder shown) or an item.
    static constexpr int kListNoDropTarget = -2;
    static constexpr int kListBackgroundTarget = -1;
    int ListDropTarget() const { return listDrop_.Target; }
    // The item a drag out of the list started from while it runs (-1: none).
    int ListDragStartIndex() const { return listDragStart_; }

    // --- The after stage of painting (VirtualExplorerListviewExPaint.cpp)
    int ItemOverlay(int index) override;
    WideString ItemHintText(int index, bool details) override;

protected:
    void DoRebuildTree() override;
    bool DoRootChanging(TRootFolder newValue, IExplorerItem* newItem) override;
    void DoRootChange() override;
    void DoStructureChange(PVirtualNode node, TChangeReason reason) override;
    void DoFreeNode(PVirtualNode node) override;
    // The report style highlights picture files as the other styles do.
    void DoBeforeCellPaint(TCanvas* canvas, PVirtualNode node, TColumnIndex column,
                           const TTreeRect& cellRect) override;

private:
    // The native list is there and shows the items.
    bool ShadowShown() const;
    // The background of an item by the picture highlight: NoListColor for a folder or another file.
    std::uint32_t ItemHighlightColor(IExplorerItem& item) const;
    // Keeps the native list quiet while the core changes it, however the change ends.
    class TUpdating;
    // Marks the tree's changes that copy what the native list already shows: the list draws its own
    // selection and focus, so those changes are not drawn there again.
    class TFromList {
    public:
        explicit TFromList(TCustomVirtualExplorerListviewEx& list) : list_(list) { ++list_.fromList_; }
        ~TFromList() { --list_.fromList_; }
        TFromList(const TFromList&) = delete;
        TFromList& operator=(const TFromList&) = delete;

    private:
        TCustomVirtualExplorerListviewEx& list_;
    };
    void AfterRootAttempt();
    // The list's focused item when none has it after a deletion: the last one.
    void FocusLastWhenNone();

    TViewStyleEx viewStyle_ = TViewStyleEx::vsxReport;
    IShadowListPort* port_ = nullptr;
    IListThumbnailSource* thumbnails_ = nullptr;
    PVirtualNode indexCache_ = nullptr;
    int updating_ = 0;
    int fromList_ = 0;
    // Root changes allowed whose end has not come yet (each keeps the native list muted).
    int pendingRootChanges_ = 0;
    bool syncing_ = false;
    bool refreshingChildren_ = false;
    bool justEntered_ = false;
    TListviewTextColors colors_;
    TExtensionsList imageExtensions_;
    TExtensionsList extractionExtensions_;
    TExtensionsList excludedExtensions_;

    // ---- The drag over the native list (VirtualExplorerListviewExDrop.cpp)
    struct TListDrop {
        // The button it began with (0: no drag), its data object, its target and the target's last answer.
        int Button = 0;
        IDataObject* Data = nullptr;
        int Target = kListNoDropTarget;
        bool TargetAccepts = false;
        std::uint32_t LastEffect = 0;
        bool Dropping = false;
    };
    bool AcceptsListDrops() const;
    // The item a target names: the folder shown for the background.
    IExplorerItem* ListDropItem(int target);
    // Moves the target: the old one's item leaves, the new one's enters; both are painted again.
    void ChangeListDropTarget(int target, std::uint32_t keyState, int screenX, int screenY,
                              std::uint32_t& effect);
    void EndListDrag();
    TListDrop listDrop_;
    int listDragStart_ = -1;
};

class TVirtualExplorerListviewExCore : public TCustomVirtualExplorerListviewEx {
public:
    using TCustomVirtualExplorerListviewEx::TCustomVirtualExplorerListviewEx;
};

} // namespace tarvola
