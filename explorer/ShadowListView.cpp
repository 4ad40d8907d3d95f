#include "explorer/ShadowListView.h"

#include "explorer/VirtualExplorerListviewExThumbnails.h"
#include "explorer/ShadowListViewPaint.h"
#include "shell/VirtualSysImages.h"

#include <shlwapi.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <utility>

namespace tarvola {

namespace {

TViewStyleEx ListStyleOf(TViewStyleEx style) {
    return style == TViewStyleEx::vsxReport ? TViewStyleEx::vsxList : style;
}

DWORD NativeStyleOf(TViewStyleEx style) {
    switch (style) {
    case TViewStyleEx::vsxIcon:
    case TViewStyleEx::vsxThumbs:
        return LVS_ICON;
    case TViewStyleEx::vsxSmallIcon:
        return LVS_SMALLICON;
    default:
        return LVS_LIST;
    }
}

std::optional<TGridDirection> ArrowDirection(UINT key) {
    switch (key) {
    case VK_LEFT:
        return TGridDirection::Left;
    case VK_UP:
        return TGridDirection::Up;
    case VK_RIGHT:
        return TGridDirection::Right;
    case VK_DOWN:
        return TGridDirection::Down;
    default:
        return std::nullopt;
    }
}

unsigned KeyModifiers() {
    unsigned shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= 0x01;
    if (GetKeyState(VK_MENU) < 0)
        shift |= 0x02;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= 0x04;
    return shift;
}

} // namespace

TShadowListView::TShadowListView(TComponent* owner, IExplorerListviewCore& core)
    : TWinControl(owner), core_(core) {
    SetTabStop(true);
    SetVisible(false);
}

TShadowListView::~TShadowListView() {
    RevokeListDropTarget();
    core_.SetShadowPort(nullptr);
}

std::pair<int, int> TShadowListView::CommonControlsVersion() {
    // The library this process actually loaded decides, not the system's version.
    HMODULE library = GetModuleHandleW(L"comctl32.dll");
    if (library == nullptr)
        return {0, 0};
    using TDllGetVersion = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
    auto getVersion =
        reinterpret_cast<TDllGetVersion>(reinterpret_cast<void*>(GetProcAddress(library, "DllGetVersion")));
    if (getVersion == nullptr)
        return {4, 0};
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (FAILED(getVersion(&info)))
        return {4, 0};
    return {static_cast<int>(info.dwMajorVersion), static_cast<int>(info.dwMinorVersion)};
}

void TShadowListView::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = WC_LISTVIEWA;
    params.style |= WS_TABSTOP | LVS_OWNERDATA | LVS_SHAREIMAGELISTS | LVS_SHOWSELALWAYS | LVS_EDITLABELS |
                    NativeStyleOf(style_) | SelectionStyle();
    params.exStyle |= WS_EX_CLIENTEDGE;
}

void TShadowListView::InitializeHandle() {
    TWinControl::InitializeHandle();
    const HWND list = Handle();
    // Wide notifications, and a header that takes wide text.
    SendMessageW(list, CCM_SETUNICODEFORMAT, TRUE, 0);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageW(list, LVM_DELETECOLUMN, 0, 0);
    // An owner-data list asks for the cut and overlay states only when told to.
    SendMessageW(list, LVM_SETCALLBACKMASK, LVIS_CUT | LVIS_OVERLAYMASK, 0);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(SmallSysImages().Handle()));
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(LargeSysImages().Handle()));
    core_.SetShadowPort(this);
    RegisterListDropTarget();
    detachedTooltips_ = nullptr;
    ApplyTooltips();
}

void TShadowListView::RegisterListDropTarget() {
    if (dropTarget_ != nullptr)
        return;
    dropTarget_ = new TShadowListDropTarget(core_, Handle());
    // Without OLE in this thread the list takes no drops; everything else works.
    if (FAILED(RegisterDragDrop(Handle(), dropTarget_))) {
        dropTarget_->Detach();
        dropTarget_->Release();
        dropTarget_ = nullptr;
    }
}

void TShadowListView::RevokeListDropTarget() {
    if (dropTarget_ == nullptr)
        return;
    if (HandleAllocated())
        RevokeDragDrop(Handle());
    // OLE may hold the target a little longer: it refuses everything from now on.
    dropTarget_->Detach();
    dropTarget_->Release();
    dropTarget_ = nullptr;
}

// ---- the port

void TShadowListView::SetItemState(int index, UINT state, UINT mask) {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void TShadowListView::ShadowSetItemCount(int count) {
    // Other items now, or other positions: the last click no longer anchors anything.
    anchor_ = -1;
    if (HandleAllocated())
        SendMessageW(Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL);
}

void TShadowListView::ShadowClearSelection() {
    if (HandleAllocated())
        SetItemState(-1, 0, LVIS_SELECTED);
}

void TShadowListView::ShadowSelectItem(int index, bool selected) {
    if (HandleAllocated())
        SetItemState(index, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

void TShadowListView::ShadowSelectAll() {
    if (HandleAllocated())
        SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
}

std::vector<int> TShadowListView::ShadowSelectedItems() {
    std::vector<int> items;
    if (!HandleAllocated())
        return items;
    const auto count = static_cast<int>(SendMessageW(Handle(), LVM_GETSELECTEDCOUNT, 0, 0));
    items.reserve(static_cast<std::size_t>(std::max(count, 0)));
    int index = -1;
    while (static_cast<int>(items.size()) < count) {
        index = static_cast<int>(SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(index),
                                              MAKELPARAM(LVNI_SELECTED, 0)));
        if (index < 0)
            break;
        items.push_back(index);
    }
    return items;
}

int TShadowListView::ShadowFocusedItem() {
    if (!HandleAllocated())
        return -1;
    return static_cast<int>(
        SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
}

void TShadowListView::ShadowFocusItem(int index) {
    if (!HandleAllocated())
        return;
    if (index < 0) {
        const int focused = ShadowFocusedItem();
        if (focused >= 0)
            SetItemState(focused, 0, LVIS_FOCUSED);
        return;
    }
    SetItemState(index, LVIS_FOCUSED, LVIS_FOCUSED);
    SendMessageW(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

void TShadowListView::ShadowInvalidateItem(int index) {
    if (HandleAllocated())
        SendMessageW(Handle(), LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
}

void TShadowListView::ShadowRepaint() {
    if (HandleAllocated())
        InvalidateRect(Handle(), nullptr, TRUE);
}

// The list selects as the tree does: one item at a time unless the tree selects several.
DWORD TShadowListView::SelectionStyle() {
    return core_.ListMultiSelect() ? 0 : LVS_SINGLESEL;
}

void TShadowListView::ShadowApplyStyle(TViewStyleEx style) {
    style_ = ListStyleOf(style);
    if (!HandleAllocated())
        return;
    const DWORD native = NativeStyleOf(style_);
    const auto current = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE));
    if ((current & LVS_TYPEMASK) != native)
        ChangeStyle(native, LVS_TYPEMASK & ~native);
    const DWORD selection = SelectionStyle();
    if ((current & LVS_SINGLESEL) != selection)
        ChangeStyle(selection, LVS_SINGLESEL & ~selection);
    if (style_ == TViewStyleEx::vsxThumbs && thumbnailPainter_ != nullptr) {
        ApplyThumbnailLayout();
    } else if (native == LVS_ICON) {
        SendMessageW(Handle(), LVM_SETIMAGELIST, LVSIL_NORMAL,
                     reinterpret_cast<LPARAM>(LargeSysImages().Handle()));
        const int cx = GetSystemMetrics(SM_CXICONSPACING);
        const int cy = GetSystemMetrics(SM_CYICONSPACING);
        SendMessageW(Handle(), LVM_SETICONSPACING, 0, MAKELPARAM(cx, cy));
    }
}

void TShadowListView::ShadowUpdateColumnWidth() {
    if (!HandleAllocated() || (style_ != TViewStyleEx::vsxList && style_ != TViewStyleEx::vsxSmallIcon))
        return;
    HDC dc = GetDC(Handle());
    if (dc == nullptr)
        return;
    const HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
    int widest = 0;
    const int count = core_.ItemCount();
    for (int index = 0; index < count; ++index) {
        const WideString caption = core_.ItemCaption(index);
        SIZE size{};
        if (GetTextExtentPoint32W(dc, reinterpret_cast<LPCWSTR>(caption.c_str()),
                                  static_cast<int>(caption.size()), &size))
            widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, font);
    ReleaseDC(Handle(), dc);
    int imageWidth = 16;
    int imageHeight = 16;
    ImageList_GetIconSize(SmallSysImages().Handle(), &imageWidth, &imageHeight);
    SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(widest + imageWidth + 10, 0));
}

bool TShadowListView::ShadowEditItem(int index) {
    if (!HandleAllocated())
        return false;
    ::SetFocus(Handle());
    return SendMessageW(Handle(), LVM_EDITLABELW, static_cast<WPARAM>(index), 0) != 0;
}

// ---- notifications

void TShadowListView::GetDisplayInfo(NMLVDISPINFOW& info) {
    LVITEMW& item = info.item;
    if (item.iItem < 0 || item.iItem >= core_.ItemCount()) {
        // Blank, not stale.
        if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0)
            item.pszText[0] = L'\0';
        return;
    }
    if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
        const WideString caption = core_.ItemCaption(item.iItem);
        const std::size_t length = std::min(caption.size(), static_cast<std::size_t>(item.cchTextMax - 1));
        std::copy_n(caption.begin(), length, reinterpret_cast<char16_t*>(item.pszText));
        item.pszText[length] = L'\0';
    }
    if ((item.mask & LVIF_IMAGE) != 0)
        item.iImage = core_.ItemImage(item.iItem, style_ == TViewStyleEx::vsxIcon);
    if ((item.mask & LVIF_STATE) != 0 && (item.stateMask & LVIS_CUT) != 0 && core_.ItemGhosted(item.iItem))
        item.state |= LVIS_CUT;
    if ((item.mask & LVIF_STATE) != 0 && (item.stateMask & LVIS_OVERLAYMASK) != 0) {
        const int overlay = core_.ItemOverlay(item.iItem);
        if (overlay >= 0)
            item.state |= INDEXTOOVERLAYMASK(static_cast<UINT>(overlay + 1));
    }
}

LRESULT TShadowListView::CustomDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        if (core_.ShadowMuted())
            return CDRF_DODEFAULT;
        const auto index = static_cast<int>(draw.nmcd.dwItemSpec);
        const bool selected =
            (SendMessageW(Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED) &
             LVIS_SELECTED) != 0;
        const TListItemPaint paint = core_.ItemPaint(index, selected);
        if (paint.Text != NoListColor)
            draw.clrText = paint.Text;
        if (paint.Background != NoListColor)
            draw.clrTextBk = paint.Background;
        if (index == core_.ListDropHighlight()) {
            // Painted here: not every list view draws its own drop-highlight state.
            draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
            draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
        }
        if (style_ == TViewStyleEx::vsxThumbs)
            return CDRF_NOTIFYPOSTPAINT;
        return NeedsIconRepaint(core_.ItemGhosted(index), core_.ItemOverlay(index)) ? CDRF_NOTIFYPOSTPAINT
                                                                                    : CDRF_DODEFAULT;
    }
    case CDDS_ITEMPOSTPAINT:
        if (style_ != TViewStyleEx::vsxThumbs)
            AfterItemPaint(draw);
        else if (thumbnailPainter_ != nullptr)
            PaintThumbnailItem(draw);
        else
            DrawThumbnail(draw);
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

void TShadowListView::DrawThumbnail(const NMLVCUSTOMDRAW& draw) {
    const auto index = static_cast<int>(draw.nmcd.dwItemSpec);
    if (thumbnails_ == nullptr)
        return;
    const std::optional<TItemIDList> pidl = core_.ItemPIDL(index);
    if (!pidl)
        return;
    const std::optional<std::uintptr_t> bitmap = thumbnails_->Thumbnail(*pidl);
    if (!bitmap)
        return;
    RECT icon{};
    icon.left = LVIR_ICON;
    if (SendMessageW(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&icon)) == 0)
        return;
    BITMAP info{};
    const auto handle = reinterpret_cast<HBITMAP>(*bitmap);
    if (GetObjectW(handle, sizeof info, &info) == 0)
        return;
    HDC memory = CreateCompatibleDC(draw.nmcd.hdc);
    const HGDIOBJ old = SelectObject(memory, handle);
    // Centred in the icon rectangle, shrunk to fit and never enlarged.
    const int boxWidth = icon.right - icon.left;
    const int boxHeight = icon.bottom - icon.top;
    int width = info.bmWidth;
    int height = info.bmHeight;
    if (width > boxWidth || height > boxHeight) {
        const double scale =
            std::min(static_cast<double>(boxWidth) / width, static_cast<double>(boxHeight) / height);
        width = std::max(1, static_cast<int>(width * scale));
        height = std::max(1, static_cast<int>(height * scale));
    }
    SetStretchBltMode(draw.nmcd.hdc, HALFTONE);
    StretchBlt(draw.nmcd.hdc, icon.left + (boxWidth - width) / 2, icon.top + (boxHeight - height) / 2, width,
               height, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void TShadowListView::SetThumbnailSource(IListThumbnailSource* source) {
    thumbnails_ = source;
    thumbnailPainter_ = dynamic_cast<IListThumbnailPainter*>(source);
}

void TShadowListView::ApplyThumbnailLayout() {
    // An empty image list of the painter's size makes each item's icon rectangle a thumbnail's box.
    SendMessageW(Handle(), LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(thumbnailPainter_->ThumbnailImages()));
    int width = 0;
    int height = 0;
    if (thumbnailPainter_->ThumbnailSpacing(width, height))
        SendMessageW(Handle(), LVM_SETICONSPACING, 0, MAKELPARAM(width, height));
    const int focused = ShadowFocusedItem();
    if (focused >= 0)
        SendMessageW(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(focused), FALSE);
}

void TShadowListView::PaintThumbnailItem(const NMLVCUSTOMDRAW& draw) {
    const auto index = static_cast<int>(draw.nmcd.dwItemSpec);
    const std::optional<TItemIDList> pidl = core_.ItemPIDL(index);
    if (!pidl)
        return;
    TShadowThumbnailItem item;
    item.IconRect.left = LVIR_ICON;
    if (SendMessageW(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item.IconRect)) == 0)
        return;
    const auto state = static_cast<UINT>(
        SendMessageW(Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED | LVIS_FOCUSED));
    item.Selected = (state & LVIS_SELECTED) != 0;
    item.Focused = (state & LVIS_FOCUSED) != 0;
    item.ListFocused = GetFocus() == Handle();
    const auto background = static_cast<COLORREF>(SendMessageW(Handle(), LVM_GETBKCOLOR, 0, 0));
    item.Background = background == CLR_NONE ? GetSysColor(COLOR_WINDOW) : background;
    item.LargeImage = core_.ItemImage(index, true);
    item.SmallImage = core_.ItemImage(index, false);
    item.DetailsText = [this, index] { return core_.ItemHintText(index, false); };
    thumbnailPainter_->PaintItem(draw.nmcd.hdc, *pidl, item);
}

int TShadowListView::GridNeighbour(int start, POINT from, TGridDirection direction) {
    // The items of an arranged grid next to the start lie within a row or a column of it: only those are
    // looked at, however long the list.
    RECT client{};
    GetClientRect(Handle(), &client);
    const auto spacing = static_cast<DWORD>(
        SendMessageW(Handle(), LVM_GETITEMSPACING, style_ == TViewStyleEx::vsxSmallIcon ? TRUE : FALSE, 0));
    const int perRow =
        std::max(1, static_cast<int>(client.right) / std::max(1, static_cast<int>(LOWORD(spacing))));
    const int perColumn =
        std::max(1, static_cast<int>(client.bottom) / std::max(1, static_cast<int>(HIWORD(spacing))));
    const int reach = 2 * std::max(perRow, perColumn) + 2;
    const int count = static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0));
    const int centre = std::clamp(start, 0, std::max(count - 1, 0));
    std::vector<TGridItem> items;
    for (int index = std::max(centre - reach, 0); index <= std::min(centre + reach, count - 1); ++index) {
        POINT position{};
        if (index != start && SendMessageW(Handle(), LVM_GETITEMPOSITION, static_cast<WPARAM>(index),
                                           reinterpret_cast<LPARAM>(&position)) != 0)
            items.push_back({index, position.x, position.y});
    }
    return NearestItemInDirection(items, from.x, from.y, direction);
}

// ---- rectangles selected with Shift

bool TShadowListView::SelectsRectangles() const {
    const bool iconStyle = style_ == TViewStyleEx::vsxIcon || style_ == TViewStyleEx::vsxSmallIcon ||
                           style_ == TViewStyleEx::vsxThumbs;
    return iconStyle && HandleAllocated() && !core_.ShadowMuted() && core_.ListMultiSelect();
}

int TShadowListView::ItemAt(POINT at) {
    LVHITTESTINFO hit{};
    hit.pt = at;
    const auto index =
        static_cast<int>(SendMessageW(Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return (hit.flags & LVHT_ONITEM) != 0 ? index : -1;
}

POINT TShadowListView::ItemPosition(int index) {
    POINT position{};
    SendMessageW(Handle(), LVM_GETITEMPOSITION, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&position));
    return position;
}

int TShadowListView::SelectionAnchor() {
    const auto selected = static_cast<int>(SendMessageW(Handle(), LVM_GETSELECTEDCOUNT, 0, 0));
    const auto first = static_cast<int>(
        SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
    const auto count = static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0));
    return RectangleAnchor(selected, first, anchor_, count);
}

void TShadowListView::SelectRectangle(int anchor, int target) {
    // Every item's position is looked at: the list may be arranged any way, and an owner-data list
    // computes positions without asking anyone.
    const auto count = static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0));
    std::vector<TGridItem> items;
    items.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int index = 0; index < count; ++index) {
        const POINT position = ItemPosition(index);
        items.push_back({index, position.x, position.y});
    }
    const POINT corner = ItemPosition(anchor);
    const POINT opposite = ItemPosition(target);
    core_.ListSelectItems(
        ItemsInSpannedRectangle(items, {anchor, corner.x, corner.y}, {target, opposite.x, opposite.y}),
        target);
}

bool TShadowListView::ShiftClick(POINT at) {
    const int hit = ItemAt(at);
    // On the background the native list's own handling stays.
    if (hit < 0)
        return false;
    ::SetFocus(Handle());
    const int anchor = SelectionAnchor();
    anchor_ = anchor >= 0 ? anchor : hit;
    SelectRectangle(anchor_, hit);
    if (OnListClick)
        OnListClick();
    return true;
}

bool TShadowListView::ShiftArrow(UINT key) {
    const std::optional<TGridDirection> direction = ArrowDirection(key);
    if (!direction)
        return false;
    const int focused = ShadowFocusedItem();
    if (static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0)) > 0) {
        int target = 0;
        if (focused >= 0) {
            // By the items' positions, as the plain arrow keys move: in a left-aligned arrangement too,
            // Down is the item below.
            target = GridNeighbour(focused, ItemPosition(focused), *direction);
            if (target < 0)
                target = focused;
        }
        const int anchor = SelectionAnchor();
        anchor_ = anchor >= 0 ? anchor : (focused >= 0 ? focused : target);
        SelectRectangle(anchor_, target);
    }
    // The native list does not see the key: the owner hears of it here.
    core_.ListKeyDown(static_cast<std::uint16_t>(key), KeyModifiers());
    return true;
}

void TShadowListView::DoubleClick() {
    const int focused = ShadowFocusedItem();
    const bool selected = focused >= 0 && (SendMessageW(Handle(), LVM_GETITEMSTATE,
                                                        static_cast<WPARAM>(focused), LVIS_SELECTED) &
                                           LVIS_SELECTED) != 0;
    if (selected)
        core_.ListDoubleClick(focused, OnListDblClick);
    else if (OnListDblClick)
        OnListDblClick();
}

bool TShadowListView::NotifyNotify(NMHDR& header, LRESULT& result) {
    result = 0;
    switch (header.code) {
    case LVN_GETDISPINFOW:
        GetDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(header));
        return true;
    case LVN_ODCACHEHINT: {
        const auto& hint = reinterpret_cast<NMLVCACHEHINT&>(header);
        core_.ItemsHinted(hint.iFrom, hint.iTo);
        return true;
    }
    case LVN_ODFINDITEMW: {
        // Type-ahead may come as a partial search without the string flag.
        const auto& find = reinterpret_cast<NMLVFINDITEMW&>(header);
        result = -1;
        // The arrow keys of the icon styles ask for the neighbour in a direction.
        if ((find.lvfi.flags & LVFI_NEARESTXY) != 0) {
            if (const std::optional<TGridDirection> direction = ArrowDirection(find.lvfi.vkDirection))
                result = GridNeighbour(find.iStart, find.lvfi.pt, *direction);
        } else if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) != 0 && find.lvfi.psz != nullptr) {
            result = core_.FindItem(reinterpret_cast<const char16_t*>(find.lvfi.psz), find.iStart,
                                    (find.lvfi.flags & LVFI_WRAP) != 0);
        }
        return true;
    }
    case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) == 0)
            return true;
        const bool selectionChanged = ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) != 0;
        const bool focusGained =
            (change.uNewState & LVIS_FOCUSED) != 0 && (change.uOldState & LVIS_FOCUSED) == 0;
        if (selectionChanged || focusGained)
            core_.ListItemChanged(change.iItem, selectionChanged, (change.uNewState & LVIS_SELECTED) != 0,
                                  focusGained);
        return true;
    }
    case LVN_ODSTATECHANGED:
        core_.ListRangeChanged();
        return true;
    case NM_CUSTOMDRAW:
        result = CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
        return true;
    case NM_CLICK:
        if (OnListClick)
            OnListClick();
        return true;
    case NM_DBLCLK:
        DoubleClick();
        return true;
    case LVN_KEYDOWN: {
        const auto& key = reinterpret_cast<NMLVKEYDOWN&>(header);
        core_.ListKeyDown(key.wVKey, KeyModifiers());
        return true;
    }
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG:
        core_.ListBeginDrag(reinterpret_cast<NMLISTVIEW&>(header).iItem, header.code == LVN_BEGINRDRAG);
        return true;
    case LVN_BEGINLABELEDITW:
        result = core_.ListCanEdit(reinterpret_cast<NMLVDISPINFOW&>(header).item.iItem) ? FALSE : TRUE;
        return true;
    case LVN_ENDLABELEDITW: {
        const LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        if (item.pszText != nullptr)
            core_.ListEdited(item.iItem, WideString(reinterpret_cast<const char16_t*>(item.pszText)));
        result = FALSE;
        return true;
    }
    default:
        return false;
    }
}

LRESULT TShadowListView::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (detailedHints_ && HandleAllocated()) {
        if (message == CM_HINTSHOW)
            return AnswerDetailedHint(*reinterpret_cast<THintInfo*>(lParam));
        if (hints_ == nullptr || hints_->Control() != Handle())
            hints_ = std::make_unique<THintController>(Handle(), nullptr);
        hints_->MessagePassing(message, wParam, lParam);
    }
    switch (message) {
    case WM_GETDLGCODE:
        // Enter, Esc and Backspace belong to the list, not to the dialog keys of the form.
        return TWinControl::WndProc(message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_SETFOCUS:
        core_.ListFocusEntered();
        break;
    case WM_LBUTTONDOWN: {
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if ((wParam & (MK_SHIFT | MK_CONTROL)) == MK_SHIFT && SelectsRectangles() && ShiftClick(at))
            return 0;
        if ((wParam & MK_SHIFT) == 0)
            if (const int hit = ItemAt(at); hit >= 0)
                anchor_ = hit;
        break;
    }
    case WM_KEYDOWN:
        if (GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0 &&
            SelectsRectangles() && ShiftArrow(static_cast<UINT>(wParam)))
            return 0;
        break;
    case WM_CONTEXTMENU:
        if (core_.ListContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))
            return 0;
        break;
    case WM_TIMER:
        if ((wParam == kListScrollDelayTimer || wParam == kListScrollTimer) && dropTarget_ != nullptr) {
            dropTarget_->TimerFired(wParam);
            return 0;
        }
        break;
    case WM_DESTROY:
        RevokeListDropTarget();
        hints_.reset();
        break;
    default:
        break;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

} // namespace tarvola
