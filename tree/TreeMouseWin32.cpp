// The tree window's mouse messages: the button table (left, right, middle; press, release, double click),
// the cursor, the context menu, the end of the capture and the non-client hit test. Each message is decoded
// here and handed to the tree's mouse rules with what lies under the mouse; the window's own handling
// (capture on press, OnMouseDown, OnMouseUp, OnClick) runs where the rules expect it.
#include "forms/Menus.h"
#include "tree/TreeControl.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"

#include <windowsx.h>

namespace tarvola {

// The window side of the tree's mouse port.
class TVirtualTreeControl::TMousePort : public ITreeMousePort {
public:
    explicit TMousePort(TVirtualTreeControl& control) : control_(control) {}

    bool Releasing() const { return releasing_; }

    void CaptureMouse() override {
        if (control_.HandleAllocated() && GetCapture() != control_.Handle())
            SetCapture(control_.Handle());
    }
    void ReleaseMouse() override {
        if (!control_.HandleAllocated() || GetCapture() != control_.Handle())
            return;
        // The capture ends by the tree's own wish: that is no loss of pending mouse work.
        releasing_ = true;
        ReleaseCapture();
        releasing_ = false;
    }
    bool Focused() const override { return control_.Focused(); }
    void TakeFocus() override {
        if (control_.CanFocus())
            control_.SetFocus();
    }
    TTreeMousePoint DragThreshold() const override {
        return TTreeMousePoint{GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG)};
    }
    bool InvalidateClientRect(int left, int top, int right, int bottom) override {
        if (!control_.HandleAllocated())
            return true;
        RECT area{left, top, right, bottom};
        InvalidateRect(control_.Handle(), &area, FALSE);
        return true;
    }
    void UpdateNow() override {
        if (control_.HandleAllocated())
            ::UpdateWindow(control_.Handle());
    }
    bool HasControlPopupMenu() const override { return control_.PopupMenu != nullptr; }
    bool HasNodePopupMenu(PVirtualNode node, TColumnIndex column, TTreeMousePoint client) override {
        return control_.FindNodePopupMenu(node, column, client) != nullptr;
    }
    bool ShowNodePopupMenu(PVirtualNode node, TColumnIndex column, TTreeMousePoint client) override {
        TPopupMenu* menu = control_.FindNodePopupMenu(node, column, client);
        if (menu == nullptr || !control_.HandleAllocated())
            return false;
        POINT screen{client.X, client.Y};
        ::ClientToScreen(control_.Handle(), &screen);
        control_.PopupAt(*menu, screen.x, screen.y);
        return true;
    }
    bool CanAutoScroll() override { return Seams().CanAutoScroll && Seams().CanAutoScroll(); }
    void UpdateAutoScroll(int x, int y) override {
        if (Seams().UpdateAutoScroll)
            Seams().UpdateAutoScroll(x, y);
    }
    void StartWheelPanning(TTreeMousePoint client) override {
        if (Seams().StartWheelPanning)
            Seams().StartWheelPanning(client);
    }
    void StopWheelPanning() override {
        if (Seams().StopWheelPanning)
            Seams().StopWheelPanning();
    }
    void SetWheelPanningCursor(int x, int y) override {
        if (Seams().SetWheelPanningCursor)
            Seams().SetWheelPanningCursor(x, y);
    }
    void StartOleDrag(TTreeMousePoint) override {
        if (control_.HandleAllocated())
            control_.RunOleDrag();
    }
    void CancelHint() override {
        if (Seams().CancelHint)
            Seams().CancelHint();
    }

private:
    const TMouseSeams& Seams() const { return control_.MouseSeams; }

    TVirtualTreeControl& control_;
    bool releasing_ = false;
};

namespace {

TTreeMouseMessage DecodeButton(WPARAM wParam, LPARAM lParam) {
    TTreeMouseMessage decoded;
    decoded.Shift = ShiftStateFromKeys(wParam) & (ssShift | ssCtrl | ssAlt);
    decoded.X = GET_X_LPARAM(lParam);
    decoded.Y = GET_Y_LPARAM(lParam);
    return decoded;
}

} // namespace

void TVirtualTreeControl::EnsureMousePort() {
    if (mousePort_)
        return;
    mousePort_ = std::make_shared<TMousePort>(*this);
    tree_->SetMousePort(mousePort_.get());
}

bool TVirtualTreeControl::HeaderBusy() const {
    return tree_->HeaderBusy();
}

TPopupMenu* TVirtualTreeControl::FindNodePopupMenu(PVirtualNode node, TColumnIndex column,
                                                   TTreeMousePoint client) {
    if (!OnGetPopupMenu)
        return nullptr;
    bool askParent = true;
    if (node == nullptr)
        return OnGetPopupMenu(*tree_, nullptr, NoColumn, client, askParent);
    for (PVirtualNode asked = node; asked != nullptr && asked != tree_->RootNode(); asked = asked->Parent) {
        if (TPopupMenu* menu = OnGetPopupMenu(*tree_, asked, column, client, askParent))
            return menu;
        if (!askParent)
            break;
    }
    return nullptr;
}

void TVirtualTreeControl::PopupAt(TPopupMenu& menu, int screenX, int screenY) {
    if (PopupHook)
        PopupHook(menu, screenX, screenY);
    else
        menu.Popup(screenX, screenY);
}

std::optional<LRESULT> TVirtualTreeControl::HandleMouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    EnsureMousePort();
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return ButtonDown(message, wParam, lParam);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        return ButtonUp(message, wParam, lParam);
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        return ButtonDblClick(message, wParam, lParam);
    case WM_SETCURSOR:
        return SetCursorMessage(wParam, lParam);
    case WM_CONTEXTMENU:
        return ContextMenuMessage(wParam, lParam);
    case WM_NCHITTEST:
        return NCHitTestMessage(wParam, lParam);
    case WM_CANCELMODE:
        tree_->HandleCancelMode();
        return std::nullopt;
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        // A press on the frame (the header, the scroll bars) takes the focus as one in the client area does.
        if (!Focused() && CanFocus())
            SetFocus();
        return std::nullopt;
    case WM_CAPTURECHANGED:
        // A release on purpose is followed by the window's own button-up handling, which still needs its
        // capture target (for OnClick): neither the tree nor the window loses anything then.
        if (mousePort_->Releasing())
            return 0;
        if (reinterpret_cast<HWND>(lParam) != Handle())
            tree_->HandleCaptureLost();
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

LRESULT TVirtualTreeControl::ButtonDown(UINT message, WPARAM wParam, LPARAM lParam) {
    const TTreeMouseMessage decoded = DecodeButton(wParam, lParam);
    const TVTSelectionOptions selection = tree_->TreeOptions().SelectionOptions();
    if (message == WM_LBUTTONDOWN) {
        tree_->DoStateChange({TreeState::tsLeftButtonDown});
        TCustomControl::WndProc(message, wParam, lParam);
        tree_->HandleMouseDown(decoded, tree_->GetHitTestInfoAt(decoded.X, decoded.Y, true));
        return 0;
    }
    if (message == WM_RBUTTONDOWN) {
        tree_->DoStateChange({TreeState::tsRightButtonDown});
        if (HeaderBusy())
            return 0;
        TCustomControl::WndProc(message, wParam, lParam);
        if (selection.Has(TVTSelectionOption::toRightClickSelect))
            tree_->HandleMouseDown(decoded, tree_->GetHitTestInfoAt(decoded.X, decoded.Y, true));
        return 0;
    }
    tree_->DoStateChange({TreeState::tsMiddleButtonDown});
    if (HeaderBusy())
        return 0;
    TCustomControl::WndProc(message, wParam, lParam);
    const bool wheelState =
        tree_->InState(TreeState::tsWheelPanning) || tree_->InState(TreeState::tsWheelScrolling);
    const bool overflows =
        tree_->RangeWidth > ClientWidth() || static_cast<std::int64_t>(tree_->RangeHeight()) > ClientHeight();
    if (tree_->TreeOptions().MiscOptions().Has(TVTMiscOption::toWheelPanning) && !wheelState && overflows) {
        tree_->lastClickPos_ = TTreeMousePoint{decoded.X, decoded.Y};
        mousePort_->StartWheelPanning(tree_->lastClickPos_);
        return 0;
    }
    mousePort_->StopWheelPanning();
    if (selection.Has(TVTSelectionOption::toMiddleClickSelect))
        tree_->HandleMouseDown(decoded, tree_->GetHitTestInfoAt(decoded.X, decoded.Y, true));
    return 0;
}

LRESULT TVirtualTreeControl::ButtonUp(UINT message, WPARAM wParam, LPARAM lParam) {
    const TTreeMouseMessage decoded = DecodeButton(wParam, lParam);
    const TVTSelectionOptions selection = tree_->TreeOptions().SelectionOptions();
    if (message == WM_LBUTTONUP) {
        tree_->DoStateChange({}, {TreeState::tsLeftButtonDown});
        tree_->HandleMouseUp(decoded, tree_->GetHitTestInfoAt(decoded.X, decoded.Y, true));
        TCustomControl::WndProc(message, wParam, lParam);
        return 0;
    }
    if (message == WM_RBUTTONUP) {
        tree_->DoStateChange({}, {TreeState::tsRightButtonDown, TreeState::tsPopupMenuShown});
        if (HeaderBusy())
            return 0;
        mousePort_->CancelHint();
        if (tree_->IsRubberBandActive() && PopupMenu != nullptr)
            tree_->EndRubberBand();
        // The button is up: the capture goes on purpose, before the window's handling would let it go.
        mousePort_->ReleaseMouse();
        TCustomControl::WndProc(message, wParam, lParam);
        const THitInfo hit = tree_->GetHitTestInfoAt(decoded.X, decoded.Y, true);
        if (selection.Has(TVTSelectionOption::toRightClickSelect))
            tree_->HandleMouseUp(decoded, hit);
        if (PopupMenu == nullptr) {
            tree_->ShowNodePopupMenu(hit.HitNode, hit.HitColumn, TTreeMousePoint{decoded.X, decoded.Y});
        } else if (HandleAllocated()) {
            // The platform asks for the control's menu after a right click.
            POINT screen{decoded.X, decoded.Y};
            ::ClientToScreen(Handle(), &screen);
            SendMessageW(Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()),
                         MAKELPARAM(screen.x, screen.y));
        }
        return 0;
    }
    tree_->DoStateChange({}, {TreeState::tsMiddleButtonDown});
    if (!tree_->InState(TreeState::tsWheelPanning) && !tree_->InState(TreeState::tsWheelScrolling)) {
        if (HeaderBusy())
            return 0;
        mousePort_->ReleaseMouse();
        TCustomControl::WndProc(message, wParam, lParam);
        if (selection.Has(TVTSelectionOption::toMiddleClickSelect))
            tree_->HandleMouseUp(decoded, tree_->GetHitTestInfoAt(decoded.X, decoded.Y, true));
    } else if (tree_->InState(TreeState::tsWheelScrolling)) {
        // Released without a move: panning goes on without the button.
        tree_->DoStateChange({}, {TreeState::tsWheelPanning});
    } else {
        mousePort_->StopWheelPanning();
    }
    return 0;
}

LRESULT TVirtualTreeControl::ButtonDblClick(UINT message, WPARAM wParam, LPARAM lParam) {
    const TTreeMouseMessage decoded = DecodeButton(wParam, lParam);
    const TVTSelectionOptions selection = tree_->TreeOptions().SelectionOptions();
    TCustomControl::WndProc(message, wParam, lParam);
    const bool handled =
        message == WM_LBUTTONDBLCLK ||
        (message == WM_RBUTTONDBLCLK && selection.Has(TVTSelectionOption::toRightClickSelect)) ||
        (message == WM_MBUTTONDBLCLK && selection.Has(TVTSelectionOption::toMiddleClickSelect));
    if (handled)
        tree_->HandleMouseDblClick(decoded, tree_->GetHitTestInfoAt(decoded.X, decoded.Y, true));
    return 0;
}

std::optional<LRESULT> TVirtualTreeControl::SetCursorMessage(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(wParam) != Handle())
        return std::nullopt;
    // Panning shows its own cursor; this message only comes when the capture was lost meanwhile.
    if (tree_->InState(TreeState::tsWheelPanning) || tree_->InState(TreeState::tsWheelScrolling))
        return TRUE;
    if (LOWORD(lParam) != HTCLIENT)
        return std::nullopt;
    int cursor = static_cast<int>(Cursor());
    const int hotCursor = tree_->Properties().HotCursor;
    if (tree_->TreeOptions().PaintOptions().Has(TVTPaintOption::toHotTrack) &&
        tree_->CurrentHotNode() != nullptr && hotCursor != 0)
        cursor = hotCursor;
    cursor = tree_->DoGetCursor(cursor);
    ::SetCursor(CursorHandle(static_cast<TCursor>(cursor)));
    return TRUE;
}

std::optional<LRESULT> TVirtualTreeControl::ContextMenuMessage(WPARAM, LPARAM lParam) {
    tree_->HandleContextMenuRequest();
    if (PopupMenu == nullptr)
        return std::nullopt;
    if (!tree_->InState(TreeState::tsPopupMenuShown)) {
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        // From the keyboard: the menu opens where the mouse is.
        if (screen.x == -1 && screen.y == -1)
            GetCursorPos(&screen);
        PopupAt(*PopupMenu, screen.x, screen.y);
    }
    return 0;
}

LRESULT TVirtualTreeControl::NCHitTestMessage(WPARAM wParam, LPARAM lParam) {
    const LRESULT answer = TCustomControl::WndProc(WM_NCHITTEST, wParam, lParam);
    if (!HandleAllocated())
        return answer;
    POINT client{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(Handle(), &client);
    // The header lives in the non-client area: its border answer keeps the window from sizing there.
    if (tree_->PointInVisibleHeader(TTreeMousePoint{client.x, client.y}))
        return HTBORDER;
    return answer;
}

void TVirtualTreeControl::MouseMove(TShiftState shift, int x, int y) {
    EnsureMousePort();
    if (tree_->HandleMouseMove(shift, x, y))
        TCustomControl::MouseMove(shift, x, y);
}

void TVirtualTreeControl::MouseLeave() {
    EnsureMousePort();
    tree_->HandleMouseLeave();
    TCustomControl::MouseLeave();
}

} // namespace tarvola
