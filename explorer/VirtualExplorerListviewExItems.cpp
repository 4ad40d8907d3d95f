// What the native list shows of each item and what its input means: captions and icons fetched from the
// nodes, the typed search, the colours an item is painted with, selection and focus copied into the tree,
// the key table, double click, context menu, drag start and renaming.
#include "explorer/VirtualExplorerListviewEx.h"

#include "shell/VirtualUtilities.h"
#include "shell/VirtualWideStrings.h"
#include "tree/TreeGuards.h"
#include "tree/TreeKeyboard.h"

#include <algorithm>

namespace tarvola {

namespace {

constexpr std::uint16_t kEnter = 0x0D;
constexpr std::uint16_t kInsert = 0x2D;
constexpr std::uint16_t kDelete = 0x2E;
constexpr std::uint16_t kKeyC = 0x43;
constexpr std::uint16_t kKeyV = 0x56;
constexpr std::uint16_t kKeyX = 0x58;
constexpr std::uint16_t kF5 = 0x74;

WideString FromDisplayText(const std::wstring& text) {
    WideString result;
    result.reserve(text.size());
    for (wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        if (code >= 0x10000 && code <= 0x10FFFF) {
            result.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            result.push_back(static_cast<char16_t>(code));
        }
    }
    return result;
}

std::wstring ToDisplayString(const WideString& text) {
    std::wstring result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool pair = sizeof(wchar_t) == 4 && unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() &&
                          text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
        if (pair) {
            const char32_t high = unit - 0xD800u;
            const char32_t low = text[++i] - 0xDC00u;
            result.push_back(static_cast<wchar_t>(0x10000u + (high << 10) + low));
        } else {
            result.push_back(static_cast<wchar_t>(unit));
        }
    }
    return result;
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

} // namespace

// ---- items

WideString TCustomVirtualExplorerListviewEx::ItemCaption(int index) {
    const PVirtualNode node = GetNodeByIndex(index);
    IExplorerItem* item = NodeItem(node);
    if (item == nullptr)
        return {};
    if (!OnGetVETText)
        return item->NameInFolder();
    // The tree's text of the name fires the owner's text event.
    return FromDisplayText(GetText(node, NoColumn));
}

void TCustomVirtualExplorerListviewEx::PrepareItemCaptions() {
    // Only the list and small icon styles lay items out by their captions' widths.
    if (viewStyle_ != TViewStyleEx::vsxList && viewStyle_ != TViewStyleEx::vsxSmallIcon)
        return;
    std::vector<IExplorerItem*> items;
    items.reserve(RootNode()->ChildCount);
    for (PVirtualNode node = RootNode()->FirstChild; node != nullptr; node = node->NextSibling)
        if (IExplorerItem* item = NodeItem(node))
            items.push_back(item);
    Shell().PrepareNamesInFolder(items);
}

int TCustomVirtualExplorerListviewEx::ItemImage(int index, bool) {
    // The small and large system image lists share their indexes.
    const PVirtualNode node = GetNodeByIndex(index);
    if (NodeItem(node) == nullptr)
        return -1;
    return ImageIndexFor(node, TVTImageKind::ikNormal);
}

bool TCustomVirtualExplorerListviewEx::ItemGhosted(int index) {
    const PVirtualNode node = GetNodeByIndex(index);
    IExplorerItem* item = NodeItem(node);
    if (item == nullptr)
        return false;
    return item->Ghosted() || (node->States & nsCutOrCopy) != 0;
}

std::optional<TItemIDList> TCustomVirtualExplorerListviewEx::ItemPIDL(int index) {
    IExplorerItem* item = NodeItem(GetNodeByIndex(index));
    return item != nullptr ? std::optional<TItemIDList>(item->AbsolutePIDL()) : std::nullopt;
}

void TCustomVirtualExplorerListviewEx::ItemsHinted(int first, int last) {
    if (ShadowMuted() || ItemCount() == 0)
        return;
    const int end = std::min(last, ItemCount() - 1);
    for (int index = std::max(first, 0); index <= end; ++index) {
        const PVirtualNode node = GetNodeByIndex(index);
        IExplorerItem* item = NodeItem(node);
        if (item == nullptr)
            continue;
        // Asking for the icon queues the node's one request when threaded icons are on.
        ImageIndexFor(node, TVTImageKind::ikNormal);
        if (viewStyle_ == TViewStyleEx::vsxThumbs && thumbnails_ != nullptr && !item->Folder() &&
            ExtensionIndex(item->NameParseAddressInFolder()) >= 0)
            thumbnails_->RequestThumbnail(item->AbsolutePIDL(), index);
    }
}

// ---- typed search

int TCustomVirtualExplorerListviewEx::FindItem(std::u16string_view text, int start, bool wrap) {
    const int count = ItemCount();
    if (ShadowMuted() || text.empty() || count == 0)
        return -1;
    const WideString wanted = WideLowerCase(text);
    start = std::clamp(start, 0, count - 1);
    const auto matches = [&](int index) {
        IExplorerItem* item = NodeItem(GetNodeByIndex(index));
        return item != nullptr && StartsWith(WideLowerCase(item->NameInFolder()), wanted);
    };
    for (int index = start; index < count; ++index)
        if (matches(index))
            return index;
    if (wrap)
        for (int index = 0; index < start; ++index)
            if (matches(index))
                return index;
    return -1;
}

// ---- painting

void TCustomVirtualExplorerListviewEx::FillExtensionsLists(bool withColors) {
    imageExtensions_.Clear();
    imageExtensions_.AddCommaText(u".jpg, .jpeg, .jif, .bmp, .emf, .wmf");
    if (withColors) {
        const std::pair<const char16_t*, std::uint32_t> colors[] = {{u".jpg", 0xBADDDD}, {u".jpeg", 0xBADDDD},
                                                                    {u".jif", 0xBADDDD}, {u".bmp", 0xEFD3D3},
                                                                    {u".emf", 0x7DC7B0}, {u".wmf", 0x7DC7B0}};
        for (const auto& [extension, color] : colors)
            imageExtensions_.SetColor(imageExtensions_.IndexOf(extension), color);
    }
    excludedExtensions_.Clear();
    excludedExtensions_.AddCommaText(u".url, .lnk, .ico");
}

int TCustomVirtualExplorerListviewEx::ExtensionIndex(const WideString& fileName) const {
    const WideString extension = WideExtractFileExt(fileName);
    if (extension.empty() || excludedExtensions_.IndexOf(extension) >= 0)
        return -1;
    const int index = imageExtensions_.IndexOf(extension);
    return index >= 0 ? index : extractionExtensions_.IndexOf(extension);
}

std::uint32_t TCustomVirtualExplorerListviewEx::PictureHighlightColor(const WideString& fileName) const {
    const TThumbnailHighlight highlight =
        ThumbnailHighlight != nullptr ? ThumbnailHighlight->Highlight : TThumbnailHighlight::thMultipleColors;
    if (highlight == TThumbnailHighlight::thNone || ExtensionIndex(fileName) < 0)
        return NoListColor;
    if (highlight == TThumbnailHighlight::thSingleColor)
        return ThumbnailHighlight->HighlightColor;
    const std::uint32_t color = imageExtensions_.GetColor(WideExtractFileExt(fileName));
    return color != TExtensionsList::NoColor ? color : NoListColor;
}

std::uint32_t TCustomVirtualExplorerListviewEx::ItemHighlightColor(IExplorerItem& item) const {
    return item.Folder() ? NoListColor : PictureHighlightColor(item.NameParseAddressInFolder());
}

TListItemPaint TCustomVirtualExplorerListviewEx::ItemPaint(int index, bool selected) {
    TListItemPaint paint;
    IExplorerItem* item = NodeItem(GetNodeByIndex(index));
    // A selected item keeps the native selection colours.
    if (item == nullptr || selected || ShadowMuted())
        return paint;
    const bool folder = item->Folder();
    paint.Background = ItemHighlightColor(*item);
    if (!FolderOptions().Has(TVETFolderOption::toNoUseVETColorsProp)) {
        if (item->Compressed())
            paint.Text = colors_.CompressedTextColor;
        else
            paint.Text = folder ? colors_.FolderTextColor : colors_.FileTextColor;
    }
    return paint;
}

// ---- selection and focus from the list

void TCustomVirtualExplorerListviewEx::ListItemChanged(int index, bool selectionChanged, bool selected,
                                                       bool focused) {
    if (ShadowMuted())
        return;
    TFromList fromList(*this);
    if (index < 0) {
        // Every item at once: cleared in one step, or read back whole.
        if (selectionChanged && !selected)
            ClearSelection();
        else if (selectionChanged)
            SyncSelection(false);
        return;
    }
    const PVirtualNode node = GetNodeByIndex(index);
    if (node == nullptr)
        return;
    if (selectionChanged)
        SetSelected(node, selected);
    if (focused)
        SetFocusedNode(node);
    justEntered_ = false;
}

void TCustomVirtualExplorerListviewEx::ListRangeChanged() {
    // Some list views fill the range's states the wrong way round: the whole selection is read again.
    if (!ShadowMuted())
        SyncSelection(false);
}

bool TCustomVirtualExplorerListviewEx::ListMultiSelect() {
    return TreeOptions().SelectionOptions().Has(TVTSelectionOption::toMultiSelect);
}

void TCustomVirtualExplorerListviewEx::ListSelectItems(const std::vector<int>& items, int focused) {
    if (ShadowMuted() || port_ == nullptr)
        return;
    std::vector<int> wanted = items;
    if (!ListMultiSelect())
        wanted.assign(focused >= 0 ? 1 : 0, focused);
    {
        // The list shows the new selection; its reports of it are not read back item by item.
        syncing_ = true;
        ScopeExit synced([this] { syncing_ = false; });
        port_->ShadowClearSelection();
        for (int index : wanted)
            port_->ShadowSelectItem(index, true);
        if (focused >= 0)
            port_->ShadowFocusItem(focused);
    }
    TFromList fromList(*this);
    ClearSelection();
    // Ascending indexes: each node is one step along the sibling chain from the one before.
    std::vector<PVirtualNode> nodes;
    nodes.reserve(wanted.size());
    for (int index : wanted)
        if (const PVirtualNode node = GetNodeByIndex(index))
            nodes.push_back(node);
    if (!nodes.empty())
        AddArrayToSelection(std::move(nodes), false);
    if (const PVirtualNode node = GetNodeByIndex(focused))
        SetFocusedNode(node);
    justEntered_ = false;
}

// ---- keys and mouse

bool TCustomVirtualExplorerListviewEx::ListKeyDown(std::uint16_t key, unsigned shift) {
    if (ShadowMuted() || port_ == nullptr)
        return false;
    if (OnKeyAction) {
        std::uint16_t charCode = key;
        TKeyModifiers modifiers = shift;
        bool doDefault = true;
        OnKeyAction(*this, charCode, modifiers, doDefault);
        if (!doDefault)
            return true;
        key = charCode;
        shift = modifiers;
    }
    const bool ctrl = (shift & keymod::Ctrl) != 0;
    const bool shifted = (shift & keymod::Shift) != 0;
    if ((ctrl && key == kKeyC) || (ctrl && key == kInsert))
        return CopyToClipboard();
    if (ctrl && key == kKeyX)
        return CutToClipboard();
    if ((ctrl && key == kKeyV) || (shifted && key == kInsert))
        return PasteFromClipboard();
    if (ctrl && key == vkey::KeyA) {
        {
            // Both sides select everything; the list's own reports of it are not read back item by item.
            syncing_ = true;
            ScopeExit synced([this] { syncing_ = false; });
            port_->ShadowSelectAll();
        }
        SelectAll(false);
        return true;
    }
    switch (key) {
    case kDelete:
        DeleteSelected();
        return true;
    case vkey::Back:
        BrowseToParent();
        return true;
    case kEnter: {
        SyncSelection(false);
        const PVirtualNode node = GetFirstSelected();
        if (node == nullptr)
            return false;
        DoShellExecute(node);
        return true;
    }
    case vkey::F2: {
        const int focused = port_->ShadowFocusedItem();
        return focused >= 0 && !MiscOptions.Has(TVETMiscOption::toVETReadOnly) &&
               TreeOptions().MiscOptions().Has(TVTMiscOption::toEditable) && port_->ShadowEditItem(focused);
    }
    case kF5:
        RefreshTree(MiscOptions.Has(TVETMiscOption::toRestoreTopNodeOnRefresh));
        return true;
    default:
        return false;
    }
}

void TCustomVirtualExplorerListviewEx::ListDoubleClick(int index, const std::function<void()>& ownerEvent) {
    PVirtualNode node = GetNodeByIndex(index);
    if (node != nullptr) {
        ClearSelection();
        SetSelected(node, true);
        SetFocusedNode(node);
    }
    const std::uint64_t rebuilds = RebuildCount();
    if (ownerEvent)
        ownerEvent();
    // The owner's handler may have browsed elsewhere, which freed the node.
    if (node == nullptr || RebuildCount() != rebuilds || !MiscOptions.Has(TVETMiscOption::toExecuteOnDblClk))
        return;
    DoShellExecute(node);
}

bool TCustomVirtualExplorerListviewEx::ListContextMenu(int screenX, int screenY) {
    if (MiscOptions.Has(TVETMiscOption::toVETReadOnly) || !ShellOptions.Has(TVETShellOption::toContextMenus))
        return false;
    SyncSelection(false);
    IExplorerItem* item = NodeItem(GetFirstSelected());
    if (item == nullptr || ShellPort() == nullptr)
        return false;
    ShowContextMenu(*item, {screenX, screenY});
    return true;
}

bool TCustomVirtualExplorerListviewEx::ListBeginDrag(int index, bool right) {
    const PVirtualNode node = GetNodeByIndex(index);
    if (node == nullptr)
        return false;
    SyncSelection(false);
    if (SelectedCount() == 0 || !ShellDragAllowed(node))
        return false;
    // A drag over the item it started from drops nowhere.
    listDragStart_ = index;
    ScopeExit started([this] { listDragStart_ = -1; });
    return StartSelectionDrag(right);
}

bool TCustomVirtualExplorerListviewEx::ListCanEdit(int index) {
    // The click that gave the list the focus does not start an edit.
    if (justEntered_) {
        justEntered_ = false;
        return false;
    }
    const PVirtualNode node = GetNodeByIndex(index);
    return node != nullptr && NodeItem(node) != nullptr && !MiscOptions.Has(TVETMiscOption::toVETReadOnly) &&
           TreeOptions().MiscOptions().Has(TVTMiscOption::toEditable);
}

bool TCustomVirtualExplorerListviewEx::ListEdited(int index, const WideString& text) {
    const PVirtualNode node = GetNodeByIndex(index);
    IExplorerItem* item = NodeItem(node);
    if (item == nullptr || text.empty())
        return false;
    // The tree's renaming: the shell's SetNameOf, the node kept in step with its item's new list.
    const WideString before = item->NameInFolder();
    DoNewText(node, NoColumn, ToDisplayString(text));
    return item->NameInFolder() != before;
}

} // namespace tarvola
