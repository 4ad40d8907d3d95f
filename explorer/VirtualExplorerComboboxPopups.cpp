#include "explorer/VirtualExplorerComboboxPopups.h"

#include "explorer/VirtualExplorerCombobox.h"
#include "shell/VirtualSysImages.h"
#include "shell/VirtualUtilities.h"
#include "tree/TreeColors.h"

#include <windowsx.h>

#include <numeric>

namespace tarvola {

namespace {

constexpr std::uint32_t PopupRowHeight = 17;

// The bar follows the tree: its range is the tree's full height, its page the visible part.
void FollowTree(TDropDownWnd& dropDown, TVirtualTreeControl& control) {
    TBaseVirtualTree& tree = control.Tree();
    TOwnerDrawScrollbar& bar = dropDown.Scrollbar();
    const int full = static_cast<int>(std::min<std::uint32_t>(tree.RangeHeight(), 0x7FFFFFFF));
    const int page = std::max(control.ClientHeight(), 1);
    bar.SetMin(0);
    bar.SetMax(std::max(full, 1));
    bar.SetPageSize(page);
    bar.SetSmallChange(static_cast<int>(tree.DefaultNodeHeight()));
    bar.SetLargeChange(page);
    bar.SetPosition(-tree.OffsetY());
    // A list shorter than its window has nothing to scroll.
    const bool shown = full > page;
    if (bar.Visible() != shown) {
        bar.SetVisible(shown);
        dropDown.Realign();
    }
}

// Thumb codes set the tree's offset from the bar's position; the others scroll the tree as its own bar
// would.
void ScrollTree(TDropDownWnd& dropDown, TVirtualTreeControl& control, WORD code) {
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION)
        control.Tree().SetOffsetY(-dropDown.Scrollbar().Position());
    else if (control.HandleAllocated())
        SendMessageW(control.Handle(), WM_VSCROLL, MAKEWPARAM(code, 0), 0);
}

bool IsNavigationKey(WPARAM key) {
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_ADD:
    case VK_SUBTRACT:
        return true;
    default:
        return false;
    }
}

} // namespace

// ---- TPopupTreeTracking

TPopupTreeTracking::TPopupTreeTracking(TVirtualTreeControl& control, TDropDownWnd& dropDown)
    : dropDown_(dropDown), control_(control) {
    // The trees of the drop-downs scroll through the owner-drawn bar only.
    control.Tree().ScrollBarOptions().SetScrollBars(TScrollStyle::ssNone);
    control.SetCtl3D(false);
    control.SetTabStop(false);
}

std::optional<LRESULT> TPopupTreeTracking::CommonAnswer(UINT message) {
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
        return 0;
    default:
        return std::nullopt;
    }
}

void TPopupTreeTracking::TrackSelection(int x, int y, bool focusNode) {
    if (x == last_.x && y == last_.y)
        return;
    last_ = {x, y};
    TBaseVirtualTree& tree = control_.Tree();
    PVirtualNode node = tree.GetNodeAt(x, y);
    if (node == nullptr || tree.Selected(node))
        return;
    tree.BeginUpdate();
    tree.ClearSelection();
    tree.SetSelected(node, true);
    tree.SetFocusedNode(focusNode ? node : nullptr);
    tree.EndUpdate();
}

void TPopupTreeTracking::PickNodeAt(int x, int y) {
    TBaseVirtualTree& tree = control_.Tree();
    PVirtualNode node = tree.GetNodeAt(x, y);
    if (node == nullptr)
        return;
    tree.ClearSelection();
    tree.SetSelected(node, true);
    dropDown_.RollUp(true);
}

// ---- TPopupExplorerTreeControl

TPopupExplorerTreeControl::TPopupExplorerTreeControl(TComponent* owner, TDropDownWnd& dropDown)
    : TVirtualExplorerTreeControl(
          owner,
          [](IExplorerNamespace& shell, ITreeViewHost* host) { return MakePopupExplorerTree(shell, host); }),
      TPopupTreeTracking(*this, dropDown) {}

bool TPopupExplorerTreeControl::OnExpandArea(int x, int y) {
    PVirtualNode node = Tree().GetNodeAt(x, y);
    if (node == nullptr || PopupExplorerStyle(Tree()) != TPopupComboBoxStyle::cbsVETEnhanced)
        return false;
    const int level = static_cast<int>(TBaseVirtualTree::GetNodeLevel(node));
    return x - Tree().OffsetX() < (level + 1) * Tree().Indent;
}

LRESULT TPopupExplorerTreeControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<LRESULT> answer = CommonAnswer(message))
        return *answer;
    switch (message) {
    case WM_MOUSEMOVE: {
        const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        if ((wParam & MK_LBUTTON) != 0)
            dropDown_.AutoScrollFor(y);
        if ((dropDown_.State() & (dsAutoScrollUp | dsAutoScrollDown)) == 0)
            TrackSelection(x, y, true);
        break;
    }
    case WM_LBUTTONUP: {
        const LRESULT result = TVirtualExplorerTreeControl::WndProc(message, wParam, lParam);
        dropDown_.StopAutoScroll();
        const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        if (!OnExpandArea(x, y))
            PickNodeAt(x, y);
        return result;
    }
    default:
        break;
    }
    return TVirtualExplorerTreeControl::WndProc(message, wParam, lParam);
}

// ---- TPopupAutoCompleteTreeControl

TPopupAutoCompleteTreeControl::TPopupAutoCompleteTreeControl(TComponent* owner, TDropDownWnd& dropDown)
    : TVirtualTreeControl(owner, [](ITreeViewHost* host) { return MakePopupAutoCompleteTree(host); }),
      TPopupTreeTracking(*this, dropDown) {}

LRESULT TPopupAutoCompleteTreeControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<LRESULT> answer = CommonAnswer(message))
        return *answer;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return 0;
    case WM_MOUSEMOVE:
        TrackSelection(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), false);
        return 0;
    case WM_LBUTTONUP:
        PickNodeAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    default:
        break;
    }
    return TVirtualTreeControl::WndProc(message, wParam, lParam);
}

// ---- TPopupTreeDropDown

template <class PopupTree>
TPopupTreeDropDown<PopupTree>::TPopupTreeDropDown(TComponent* owner, TCustomVirtualExplorerCombobox& box)
    : TDropDownWnd(owner), box_(box), tree_(Create<PopupTree>(*this)) {
    SetContent(tree_);
}

template <class PopupTree>
int TPopupTreeDropDown<PopupTree>::RowHeight() {
    return static_cast<int>(Tree().DefaultNodeHeight());
}

template <class PopupTree>
void TPopupTreeDropDown<PopupTree>::UpdateScrollbar() {
    FollowTree(*this, tree_);
}

template <class PopupTree>
void TPopupTreeDropDown<PopupTree>::ScrollContent(WORD code) {
    ScrollTree(*this, tree_, code);
    UpdateScrollbar();
}

template class TPopupTreeDropDown<TPopupExplorerTreeControl>;
template class TPopupTreeDropDown<TPopupAutoCompleteTreeControl>;

// ---- TPopupExplorerDropDown

TPopupExplorerDropDown::TPopupExplorerDropDown(TComponent* owner, TCustomVirtualExplorerCombobox& box)
    : TPopupTreeDropDown(owner, box) {}

// A click on the box's button is the box's: it rolls the drop-down up itself.
bool TPopupExplorerDropDown::IsOwnerWindow(HWND window) {
    if (window != box_.Handle())
        return false;
    POINT cursor{};
    GetCursorPos(&cursor);
    ::ScreenToClient(box_.Handle(), &cursor);
    return box_.GetPartRect(TComboPart::cpButton).Contains(cursor.x, cursor.y);
}

void TPopupExplorerDropDown::DoRollDownInit() {
    SetPopupExplorerTarget(Tree(), target_);
    PreparePopupExplorer(Tree(), ExpandOnDropDown);
    UpdateScrollbar();
}

void TPopupExplorerDropDown::DoKey(MSG& keyMessage, bool& handled) {
    if (keyMessage.message != WM_KEYDOWN) {
        handled = keyMessage.message == WM_CHAR; // characters have no meaning in the pick tree
        return;
    }
    WPARAM key = keyMessage.wParam;
    if (key == VK_TAB)
        key = VK_DOWN;
    if (IsNavigationKey(key)) {
        TBaseVirtualTree& tree = Tree();
        PVirtualNode selected = tree.GetFirstSelected();
        if (selected == nullptr) {
            if (PVirtualNode first = tree.GetFirst()) {
                tree.SetSelected(first, true);
                tree.SetFocusedNode(first);
            }
        } else {
            SendMessageW(tree_.Handle(), WM_KEYDOWN, key, keyMessage.lParam);
            if (PVirtualNode focused = tree.FocusedNode()) {
                tree.ClearSelection();
                tree.SetSelected(focused, true);
                tree.ScrollIntoView(focused, false);
            }
        }
        UpdateScrollbar();
        handled = true;
        return;
    }
    handled = true;
    RollUp(key == VK_RETURN);
}

void TPopupExplorerDropDown::DoRollUp(bool selected) {
    const std::optional<TItemIDList> chosen = selected ? PopupExplorerSelection(Tree()) : std::nullopt;
    target_.reset();
    DeactivatePopupExplorer(Tree());
    // No row chosen leaves the box's item as it is.
    if (chosen) {
        PItemIDList pidl =
            TShellLayer::Get().PIDLMgr().CopyPIDL(reinterpret_cast<PCItemIDList>(chosen->Data()));
        TNamespace item(pidl, nullptr);
        box_.SetNamespace(&item);
    }
    TDropDownWnd::DoRollUp(selected);
}

// ---- TPopupAutoCompleteDropDown

TPopupAutoCompleteDropDown::TPopupAutoCompleteDropDown(TComponent* owner, TCustomVirtualExplorerCombobox& box)
    : TPopupTreeDropDown(owner, box),
      filter_([this](const WideString& folder) { return ListFolder(folder); }, PlatformText()) {
    tree_.Tree().Indent = 0;
}

std::vector<WideString> TPopupAutoCompleteDropDown::ListFolder(const WideString& folder) {
    // A folder that does not exist lists nothing, rather than what the last existing one held.
    if (!WideDirectoryExists(folder))
        return {};
    autoComplete_.SetCurrentDir(folder);
    autoComplete_.Refresh();
    const TWideStringList& strings = autoComplete_.Strings();
    std::vector<WideString> entries;
    entries.reserve(static_cast<std::size_t>(strings.Count()));
    for (int i = 0; i < strings.Count(); ++i)
        entries.push_back(strings.Get(i));
    return entries;
}

void TPopupAutoCompleteDropDown::UpdateList(const WideString& text) {
    bool handled = false;
    if (OnAutoCompleteUpdateList) {
        handledEntries_.clear();
        OnAutoCompleteUpdateList(*this, text, handledEntries_, handled);
    }
    if (handled) {
        handledMatches_.resize(handledEntries_.size());
        std::iota(handledMatches_.begin(), handledMatches_.end(), std::size_t{0});
        ShowCompletions(Tree(), &handledEntries_, &handledMatches_);
    } else {
        filter_.Update(text);
        ShowCompletions(Tree(), &filter_.Entries(), &filter_.Matches());
    }
    UpdateScrollbar();
}

bool TPopupAutoCompleteDropDown::IsOwnerWindow(HWND window) {
    return window == box_.Handle() || window == box_.Edit().Handle();
}

void TPopupAutoCompleteDropDown::DoRollDownInit() {
    Tree().SetFocusedNode(Tree().GetFirstSelected());
    UpdateScrollbar();
}

void TPopupAutoCompleteDropDown::DoKey(MSG& keyMessage, bool& handled) {
    handled = false;
    if (keyMessage.message != WM_KEYDOWN)
        return;
    WPARAM key = keyMessage.wParam;
    if (key == VK_TAB)
        key = VK_DOWN;
    if (key != VK_PRIOR && key != VK_NEXT && key != VK_UP && key != VK_DOWN)
        return;
    TBaseVirtualTree& tree = Tree();
    PVirtualNode node = tree.GetFirstSelected();
    if (node == nullptr) {
        node = tree.GetFirst();
    } else {
        tree.SetFocusedNode(node);
        SendMessageW(tree_.Handle(), WM_KEYDOWN, key, keyMessage.lParam);
        node = tree.FocusedNode();
    }
    if (node != nullptr) {
        tree.ClearSelection();
        tree.SetSelected(node, true);
        tree.SetFocusedNode(node);
        tree.ScrollIntoView(node, false);
        box_.Edit().SetWideText(NodeText(node), false);
        const int end = static_cast<int>(NodeText(node).size());
        SendMessageW(box_.Edit().Handle(), EM_SETSEL, static_cast<WPARAM>(end), end);
    }
    UpdateScrollbar();
    handled = true;
}

void TPopupAutoCompleteDropDown::DoRollUp(bool selected) {
    TDropDownWnd::DoRollUp(selected);
    if (selected) {
        if (PVirtualNode node = Tree().GetFirstSelected())
            box_.Edit().SetWideText(NodeText(node), false);
        box_.Edit().AcceptEditText();
    }
    ShowCompletions(Tree(), nullptr, nullptr);
    // The next roll-down lists the folder afresh: its content may have changed meanwhile.
    filter_.Invalidate();
}

// ---- Facades

void TPopupOptionsFacade::SetOptions(TPopupOptions value) {
    dropDown_.SetOptions(value);
    TVTPaintOptions paint = tree_.TreeOptions().PaintOptions();
    paint = (value & poThemeAware) != 0 ? paint.With(TVTPaintOption::toThemeAware)
                                        : paint.Without(TVTPaintOption::toThemeAware);
    tree_.TreeOptions().SetPaintOptions(paint);
}

} // namespace tarvola
