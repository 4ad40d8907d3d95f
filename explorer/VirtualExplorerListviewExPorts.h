// The extended list view seen from its windows: the core (a tree, portable) and the native owner-data list
// that shows its items outside report style talk through the two interfaces here. The window side cannot
// include the tree's string-tree headers (their TAlignment clashes with the form layer's), so everything
// a window asks of the core goes through IExplorerListviewCore, and everything the core asks of the
// native list goes through IShadowListPort (a scripted one in tests).
#pragma once

#include "explorer/VirtualExplorerTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

struct IDataObject;

namespace tarvola {

class TBaseVirtualTree;
class ITreeViewHost;

// Whether double-clicked items are run by the shell (declared here too for hosts that cannot include the
// tree's headers).
extern bool ShellExecuteEnabled;

// In this order (saved forms store the ordinal).
enum class TViewStyleEx : std::uint8_t { vsxIcon, vsxSmallIcon, vsxList, vsxReport, vsxThumbs };

// The text colours of the list's items; NoListColor leaves the native colour.
constexpr std::uint32_t NoListColor = 0x1FFFFFFF;
struct TListviewTextColors {
    std::uint32_t FolderTextColor = 0x00000000;
    std::uint32_t FileTextColor = 0x00000000;
    std::uint32_t CompressedTextColor = 0x00FF0000;
};

// What one item is painted with before the native list draws it (COLORREF values).
struct TListItemPaint {
    std::uint32_t Background = NoListColor;
    std::uint32_t Text = NoListColor;
};

// The native owner-data list as the core drives it. Every call may be made while the list has no window;
// it is then ignored.
class IShadowListPort {
public:
    virtual ~IShadowListPort() = default;
    virtual bool ShadowHasWindow() const = 0;
    virtual void ShadowSetItemCount(int count) = 0;
    // Deselects every item in one call.
    virtual void ShadowClearSelection() = 0;
    virtual void ShadowSelectItem(int index, bool selected) = 0;
    virtual void ShadowSelectAll() = 0;
    // Ascending.
    virtual std::vector<int> ShadowSelectedItems() = 0;
    virtual int ShadowFocusedItem() = 0;
    // Gives the item the focus and scrolls it into full view; -1 takes the focus from every item.
    virtual void ShadowFocusItem(int index) = 0;
    virtual void ShadowInvalidateItem(int index) = 0;
    virtual void ShadowRepaint() = 0;
    // The native style of a view style other than report (thumbnails show as icons).
    virtual void ShadowApplyStyle(TViewStyleEx style) = 0;
    // List and small-icon styles: the column is as wide as the widest caption and its icon.
    virtual void ShadowUpdateColumnWidth() = 0;
    // Starts editing the item's caption in place.
    virtual bool ShadowEditItem(int index) = 0;
};

// A thumbnail another part of the program made for an item, drawn in the thumbnail style in place of the
// icon. Without a source the thumbnail style draws large icons.
class IListThumbnailSource {
public:
    virtual ~IListThumbnailSource() = default;
    // Asks for the item's thumbnail (idempotent); the source repaints the item through the list when it
    // is ready.
    virtual void RequestThumbnail(const TItemIDList& pidl, int index) = 0;
    // A ready thumbnail's bitmap handle (an HBITMAP on Windows), or nullopt.
    virtual std::optional<std::uintptr_t> Thumbnail(const TItemIDList& pidl) = 0;
};

// The core as its windows and host see it (implemented by TCustomVirtualExplorerListviewEx).
class IExplorerListviewCore {
public:
    virtual ~IExplorerListviewCore() = default;

    // --- The host's calls
    virtual void SetRootFolderCustomPath(const WideString& path) = 0;
    virtual const WideString& RootFolderCustomPath() const = 0;
    // The folder browsing may not leave (with toListviewLimitBrowseToRoot); empty: the root the host set
    // last.
    virtual void SetBrowseLimitPath(const WideString& path) = 0;
    virtual WideString GetSelectedFileName() = 0;
    virtual WideString GetSelectedPath() = 0;
    virtual bool BrowseToPath(const WideString& path, bool expandTarget, bool selectTarget, bool setFocus,
                              bool collapseAllFirst) = 0;
    virtual void RefreshTree(bool restoreTopNode) = 0;
    virtual void RebuildTree() = 0;
    virtual void SetActive(bool value) = 0;
    virtual bool ListActive() const = 0;
    virtual void SetFileObjects(TFileObjects value) = 0;
    virtual TVETMiscOptions& ListMiscOptions() = 0;
    virtual TViewStyleEx ViewStyle() const = 0;
    virtual void SetViewStyle(TViewStyleEx style) = 0;
    virtual TListviewTextColors& TextColors() = 0;
    // The path of the root folder's item (empty when it names nothing).
    virtual WideString RootPath() = 0;
    std::function<void()> RootChanged;

    // --- The windows' calls
    virtual void SetShadowPort(IShadowListPort* port) = 0;
    virtual void SetThumbnailSource(IListThumbnailSource* source) = 0;
    // While true the shadow list's notifications are ignored (the core is rebuilding or copying its
    // selection in).
    virtual bool ShadowMuted() const = 0;
    virtual int ItemCount() const = 0;
    virtual WideString ItemCaption(int index) = 0;
    virtual int ItemImage(int index, bool large) = 0;
    virtual bool ItemGhosted(int index) = 0;
    virtual std::optional<TItemIDList> ItemPIDL(int index) = 0;
    virtual TListItemPaint ItemPaint(int index, bool selected) = 0;
    // The visible range the list is about to draw: icon requests go out for it, once per item.
    virtual void ItemsHinted(int first, int last) = 0;
    // Typed search: the first item at or after start whose caption begins with text (any case), wrapping
    // to the top when asked; -1 when none.
    virtual int FindItem(std::u16string_view text, int start, bool wrap) = 0;
    // One item's selection or focus changed in the list (index -1: every item).
    virtual void ListItemChanged(int index, bool selectionChanged, bool selected, bool focused) = 0;
    // A range changed at once: the list's whole selection is read again.
    virtual void ListRangeChanged() = 0;
    // Whether more than one item may be selected (the tree's multi-select option).
    virtual bool ListMultiSelect() = 0;
    // The list's selection becomes these items (ascending) and its focus this item (-1: left alone), on
    // both sides at once: however many items, the tree takes them in one batch.
    virtual void ListSelectItems(const std::vector<int>& items, int focused) = 0;
    // A key went down in the list (the Win32 virtual key, the key modifiers of tree/TreeKeyboard.h);
    // true when the key table acted.
    virtual bool ListKeyDown(std::uint16_t key, unsigned shift) = 0;
    // A double click with the focused item selected.
    virtual void ListDoubleClick(int index, const std::function<void()>& ownerEvent) = 0;
    virtual bool ListContextMenu(int screenX, int screenY) = 0;
    virtual bool ListBeginDrag(int index, bool right) = 0;
    virtual bool ListCanEdit(int index) = 0;
    virtual bool ListEdited(int index, const WideString& text) = 0;
    virtual void ListFocusEntered() = 0;

    // --- Dragging out of and into the list (VirtualExplorerListviewExDrop.cpp)
    // The window's half of a drag out of the list: runs the platform's drag of the selected items (right:
    // started with the right button); false when none ran.
    std::function<bool(bool right)> SelectionDragStarter;
    // An OLE drag over the list. index: the item under the pointer, -1 for the background (the folder
    // shown). Points are the screen's; results are HRESULTs.
    virtual std::int32_t ListDragEnter(IDataObject* data, std::uint32_t keyState, int index, int screenX,
                                       int screenY, std::uint32_t& effect) = 0;
    virtual std::int32_t ListDragOver(std::uint32_t keyState, int index, int screenX, int screenY,
                                      std::uint32_t& effect) = 0;
    virtual void ListDragLeave() = 0;
    virtual std::int32_t ListDrop(IDataObject* data, std::uint32_t keyState, int index, int screenX,
                                  int screenY, std::uint32_t& effect) = 0;
    // The item painted as the drop's target (-1: none).
    virtual int ListDropHighlight() const = 0;
    // While a drag hovers near an edge: the wait before scrolling starts and the time between steps (ms).
    virtual std::pair<unsigned, unsigned> ListAutoScrollTimes() const = 0;

    // --- The after stage of painting (VirtualExplorerListviewExPaint.cpp)
    // The item's overlay: -1 for none, else the overlay image less one (0 shared, 1 shortcut).
    virtual int ItemOverlay(int index) = 0;
    // An item's details, lines parted by carriage returns. Short form: "dimensions\rsize\rdate" (empty when
    // all three are); long form (a hint): the name, then each part that is not empty. The dimensions are
    // those of a thumbnail's picture, which the list does not know: that part stays empty.
    virtual WideString ItemHintText(int index, bool details) = 0;
};

// Auto-scrolling while a drag hovers: within this many pixels of an edge the list scrolls towards it, by
// twice the depth the pointer reached into the margin.
constexpr int kListAutoScrollMargin = 20;
struct TListScrollStep {
    int DX = 0;
    int DY = 0;
    bool operator==(const TListScrollStep&) const = default;
};
// The step for a pointer at a client point of a client area; {0, 0} outside the margins.
TListScrollStep ListAutoScrollStep(int clientWidth, int clientHeight, int x, int y);

// A TCustomVirtualExplorerListviewEx over shell, for a tree control's factory (it is also an
// IExplorerListviewCore).
std::unique_ptr<TBaseVirtualTree> MakeExplorerListviewEx(IExplorerNamespace& shell, ITreeViewHost* host);

} // namespace tarvola
