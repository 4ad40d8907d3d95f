#include "tree/TreeScrollWin32.h"

#include "tree/HeaderTreeBridge.h"
#include "tree/HeaderWindow.h"
#include "tree/ThemeServices.h"
#include "tree/TreeClipboard.h"
#include "tree/TreeOptions.h"
#include "tree/VirtualTrees.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace tarvola {

static_assert(ScrollLineUp == SB_LINEUP && ScrollLineDown == SB_LINEDOWN && ScrollPageUp == SB_PAGEUP &&
              ScrollPageDown == SB_PAGEDOWN && ScrollThumbPosition == SB_THUMBPOSITION &&
              ScrollThumbTrack == SB_THUMBTRACK && ScrollTop == SB_TOP && ScrollBottom == SB_BOTTOM &&
              ScrollEnd == SB_ENDSCROLL);
static_assert(ScrollLineUp == SB_LINELEFT && ScrollTop == SB_LEFT && ScrollBottom == SB_RIGHT);

namespace {

int SystemBar(TScrollBarKind bar) {
    return bar == TScrollBarKind::sbHorizontal ? SB_HORZ : SB_VERT;
}

} // namespace

TTreeScrollWindow::TTreeScrollWindow(std::function<HWND()> window, TBaseVirtualTree& tree)
    : window_(std::move(window)), tree_(tree) {
    tree_.HeaderBridge().OnRecalculateHeader = [this] { RecalculateFrame(); };
}

bool TTreeScrollWindow::HasWindow() const {
    return Window() != nullptr;
}

HWND TTreeScrollWindow::Window() const {
    return window_();
}

std::optional<LRESULT> TTreeScrollWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                                        const std::function<LRESULT()>& defaultHandling) {
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        // A scroll-bar control among the children reports here too; only the window's own bars are ours.
        if (lParam != 0)
            return std::nullopt;
        tree_.HandleScrollRequest(message == WM_HSCROLL ? TScrollBarKind::sbHorizontal
                                                        : TScrollBarKind::sbVertical,
                                  LOWORD(wParam));
        return 0;
    case WM_SIZE:
        return HandleResize(defaultHandling);
    case WM_NCCALCSIZE:
        return HandleNonClientSize(lParam, defaultHandling);
    case WM_ENABLE: {
        const LRESULT result = defaultHandling();
        tree_.ControlEnabled = wParam != 0;
        RedrawWithFrame();
        return result;
    }
    case WM_THEMECHANGED:
        return HandleThemeChange(defaultHandling);
    case CM_TREEQUERY:
        return 1;
    case WM_COPY:
        tree_.Clipboard().CopyToClipboard();
        return 0;
    case WM_CUT:
        tree_.Clipboard().CutToClipboard();
        return 0;
    case WM_PASTE:
        tree_.Clipboard().PasteFromClipboard();
        return 0;
    default:
        return std::nullopt;
    }
}

LRESULT TTreeScrollWindow::HandleResize(const std::function<LRESULT()>& defaultHandling) {
    const LRESULT result = defaultHandling();
    // The form layer's windows share one class, so the class's redraw-on-resize styles are kept here.
    if (tree_.TreeOptions().MiscOptions().Has(TVTMiscOption::toFullRepaintOnResize) && HasWindow())
        InvalidateRect(Window(), nullptr, FALSE);
    tree_.ClientResized();
    return result;
}

LRESULT TTreeScrollWindow::HandleNonClientSize(LPARAM lParam,
                                               const std::function<LRESULT()>& defaultHandling) {
    const LRESULT result = defaultHandling();
    // Both forms of the message start with the proposed client rectangle.
    if (lParam != 0)
        ReserveHeaderInFrame(tree_.Header(), *reinterpret_cast<RECT*>(lParam));
    return result;
}

LRESULT TTreeScrollWindow::HandleThemeChange(const std::function<LRESULT()>& defaultHandling) {
    const LRESULT result = defaultHandling();
    TThemeServices& themes = ThemeServices();
    themes.UpdateThemes();
    tree_.ThemesChanged(themes.ThemesEnabled());
    if (HasWindow())
        RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_VALIDATE | RDW_FRAME);
    return result;
}

void TTreeScrollWindow::RecalculateFrame() {
    if (HasWindow())
        SetWindowPos(Window(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                         SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
}

void TTreeScrollWindow::ShowScrollBar(TScrollBarKind bar, bool show) {
    if (HasWindow())
        ::ShowScrollBar(Window(), SystemBar(bar), show ? TRUE : FALSE);
}

void TTreeScrollWindow::SetScrollInfo(TScrollBarKind bar, const TScrollBarInfo& info, bool disableNoScroll,
                                      bool redraw) {
    if (!HasWindow())
        return;
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof(scroll);
    scroll.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    if (disableNoScroll)
        scroll.fMask |= SIF_DISABLENOSCROLL;
    scroll.nMin = info.Min;
    scroll.nMax = info.Max;
    scroll.nPage = static_cast<UINT>(std::max(info.Page, 0));
    scroll.nPos = info.Pos;
    ::SetScrollInfo(Window(), SystemBar(bar), &scroll, redraw ? TRUE : FALSE);
}

int TTreeScrollWindow::ScrollPosition(TScrollBarKind bar) const {
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof(scroll);
    scroll.fMask = SIF_POS;
    if (!HasWindow() || !GetScrollInfo(Window(), SystemBar(bar), &scroll))
        return 0;
    return scroll.nPos;
}

int TTreeScrollWindow::TrackPosition(TScrollBarKind bar) const {
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof(scroll);
    scroll.fMask = SIF_TRACKPOS;
    if (!HasWindow() || !GetScrollInfo(Window(), SystemBar(bar), &scroll))
        return 0;
    return scroll.nTrackPos;
}

void TTreeScrollWindow::ScrollClientArea(int dx, int dy, const TTreeRect* clip) {
    if (!HasWindow())
        return;
    if (clip == nullptr) {
        ScrollWindow(Window(), dx, dy, nullptr, nullptr);
        return;
    }
    const RECT area{clip->Left, clip->Top, clip->Right, clip->Bottom};
    ScrollWindow(Window(), dx, dy, &area, &area);
}

void TTreeScrollWindow::MoveChildWindows(int dx, int dy) {
    if (!HasWindow())
        return;
    std::vector<HWND> children;
    for (HWND child = GetWindow(Window(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    if (children.empty())
        return;
    HDWP positions = BeginDeferWindowPos(static_cast<int>(children.size()));
    for (HWND child : children) {
        if (positions == nullptr)
            return;
        RECT bounds{};
        GetWindowRect(child, &bounds);
        MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&bounds), 2);
        positions = DeferWindowPos(positions, child, nullptr, bounds.left + dx, bounds.top + dy, 0, 0,
                                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (positions != nullptr)
        EndDeferWindowPos(positions);
}

void TTreeScrollWindow::ShowDragImage(bool show) {
    ImageList_DragShowNolock(show ? TRUE : FALSE);
}

bool TTreeScrollWindow::CursorInClient(int& x, int& y) const {
    if (!HasWindow() || !IsWindowVisible(Window()))
        return false;
    POINT cursor{};
    if (!GetCursorPos(&cursor) || !ScreenToClient(Window(), &cursor))
        return false;
    RECT client{};
    GetClientRect(Window(), &client);
    if (!PtInRect(&client, cursor))
        return false;
    x = cursor.x;
    y = cursor.y;
    return true;
}

int TTreeScrollWindow::HorizontalScrollBarHeight() const {
    return GetSystemMetrics(SM_CYHSCROLL);
}

void TTreeScrollWindow::RedrawWithFrame() {
    if (HasWindow())
        RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME);
}

} // namespace tarvola
