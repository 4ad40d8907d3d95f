#include "tree/TreeControl.h"

#include "forms/Application.h"
#include "forms/Form.h"
#include "tree/HeaderWindow.h"
#include "tree/StringTree.h"
#include "tree/TextExport.h"
#include "tree/TreeDragImage.h"
#include "tree/TreeMeasureCanvas.h"
#include "tree/TreeCreateParams.h"
#include "tree/TreeProperties.h"
#include "tree/TreeSettings.h"
#include "tree/TreeViewMessages.h"
#include "tree/TreeWindowHost.h"

#include <ole2.h>
#include <uxtheme.h>

#include <stdexcept>

namespace tarvola {

static_assert(treestyle::Border == WS_BORDER && treestyle::HScroll == WS_HSCROLL &&
              treestyle::VScroll == WS_VSCROLL && treestyle::ClipChildren == WS_CLIPCHILDREN &&
              treestyle::ClipSiblings == WS_CLIPSIBLINGS && treestyle::ClientEdge == WS_EX_CLIENTEDGE &&
              treestyle::LeftScrollBar == WS_EX_LEFTSCROLLBAR && treestyle::ClassHRedraw == CS_HREDRAW &&
              treestyle::ClassVRedraw == CS_VREDRAW);
static_assert(VTclBtnShadow == clBtnShadow && VTclHighlight == clHighlight && VTclBtnFaceColor == clBtnFace &&
              VTclWindowText == clWindowText);

TVirtualTreeControl::TVirtualTreeControl(TComponent* owner, const TTreeFactory& factory)
    : TCustomControl(owner) {
    // Drop registration needs OLE on this thread; each successful initialisation is paired in the destructor.
    oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
    tree_ = factory ? factory(this) : std::make_unique<TBaseVirtualTree>(this);
    if (auto* strings = dynamic_cast<TCustomVirtualStringTree*>(tree_.get())) {
        measure_ = std::make_unique<TTreeMeasureCanvas>();
        strings->SetFallbackTextCanvas(&measure_->Canvas());
    }
    tree_->SetControlPort(this);
    tree_->SearchClock = [] { return static_cast<std::uint32_t>(GetTickCount()); };
    tree_->SearchBeep = [] { MessageBeep(0); };
    scrollWindow_ = std::make_unique<TTreeScrollWindow>([this] { return Handle(); }, *tree_);
    tree_->SetScrollPort(scrollWindow_.get());
    tree_->SetMotionPort(&motion_);
    ConnectMouseToMotion();
    ConnectDragAndDrop();
    ConnectImageLinks();
    ImageListsChanged();
    tree_->TreeFontChanged(TreeTextFont());
    SetBounds(0, 0, 200, 100);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

TVirtualTreeControl::~TVirtualTreeControl() {
    // The window goes while the tree and its settings still stand (the base class would destroy it after).
    // An editor whose window goes with it must not hand its text to a tree on its way out.
    tree_->destroying_ = true;
    try {
        DestroyHandle();
    } catch (...) {
    }
    tree_.reset();
    if (oleInitialized_)
        OleUninitialize();
}

bool TVirtualTreeControl::CanFocus() const {
    if (!TCustomControl::CanFocus())
        return false;
    const TForm* form = ParentForm();
    if (form == nullptr || !form->HandleAllocated())
        return true;
    return IsWindowEnabled(form->Handle()) && IsWindowVisible(form->Handle());
}

void TVirtualTreeControl::Assign(const TVirtualTreeControl& source) {
    if (&source == this)
        return;
    tree_->Assign(source.Tree());
    SetBackground(source.background_);
    SetColor(source.Color());
    SetCtl3D(source.Ctl3D());
    SetImages(source.Images());
    PopupMenu = source.PopupMenu;
    SetStateImages(source.StateImages());
    SetCustomCheckImages(source.CustomCheckImages());
    SetTabStop(source.TabStop());
}

void TVirtualTreeControl::SetCtl3D(bool value) {
    if (value == ctl3D_)
        return;
    ctl3D_ = value;
    // Only a single border looks different in 3-D.
    if (tree_->Properties().BorderStyle() == TVTBorderStyle::bsSingle)
        RecreateWnd();
}

void TVirtualTreeControl::SetRightToLeft(bool value) {
    if (value == rightToLeft_)
        return;
    rightToLeft_ = value;
    RecreateWnd();
}

void TVirtualTreeControl::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    TTreeStyleSettings settings;
    settings.BorderStyle = tree_->Properties().BorderStyle();
    settings.Ctl3D = ctl3D_;
    settings.ScrollBars = tree_->ScrollBarOptions().ScrollBars();
    settings.RightToLeft = rightToLeft_;
    settings.FullRepaintOnResize =
        tree_->TreeOptions().MiscOptions().Has(TVTMiscOption::toFullRepaintOnResize);
    const TTreeWindowStyles styles = TreeCreateParams({params.style, params.exStyle, 0}, settings);
    params.style = styles.Style;
    params.exStyle = styles.ExStyle;
    // The form layer's windows share one class: the class's redraw styles are kept by WndProc (WM_SIZE).
}

void TVirtualTreeControl::InitializeHandle() {
    TCustomControl::InitializeHandle();
    ConnectHeaderWindow();
    const TVTPaintOptions paint = tree_->TreeOptions().PaintOptions();
    if (paint.Has(TVTPaintOption::toThemeAware) && VisualStylesEnabled())
        tree_->DoStateChange({TreeState::tsUseThemes});
    else
        tree_->DoStateChange({}, {TreeState::tsUseThemes});
    if (tree_->TreeOptions().MiscOptions().Has(TVTMiscOption::toAcceptOLEDrop))
        RegisterDropTarget();
    UpdateScrollBars(true);
}

void TVirtualTreeControl::ConnectMouseToMotion() {
    TBaseVirtualTree& tree = *tree_;
    MouseSeams.CanAutoScroll = [&tree] { return tree.CanAutoScroll(); };
    MouseSeams.UpdateAutoScroll = [&tree](int x, int y) { tree.UpdateAutoScroll(x, y); };
    MouseSeams.StartWheelPanning = [&tree](TTreeMousePoint client) {
        tree.StartWheelPanning(client.X, client.Y);
    };
    MouseSeams.StopWheelPanning = [&tree] { tree.StopWheelPanning(); };
    MouseSeams.SetWheelPanningCursor = [&tree](int x, int y) { tree.SetWheelPanningCursor(x, y); };
    // A hint waiting to show goes when the mouse acts or auto-scrolling starts.
    auto cancelHint = [this] {
        if (THintController* hints = HintController())
            hints->CancelHint();
    };
    MouseSeams.CancelHint = cancelHint;
    tree.CancelPendingHint = cancelHint;
    // The painter draws the band the mouse handling holds.
    RubberBandSource = [&tree] { return tree.RubberBandRect(); };
    // Each auto-scroll step of a rubber band lets the band follow the pointer.
    tree.OnAutoScrollBandStep = [this, &tree](int x, int y) {
        if (tree.IsRubberBandActive() && tree.UpdateSelectionRect(x, y)) {
            tree.HandleDrawSelection();
            InvalidateAll();
        }
    };
}

void TVirtualTreeControl::WindowDestroying() {
    tree_->InterruptValidation();
    StopTimer(ChangeTimer);
    StopTimer(StructureChangeTimer);
    RevokeDropTarget();
    DisconnectHeaderWindow();
}

LRESULT TVirtualTreeControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // --- Hints and tooltips: the requests, and the mouse and closing messages the hint machinery watches.
    if (std::optional<LRESULT> answer = HandleHintMessage(message, wParam, lParam))
        return *answer;
    // --- The header (in the frame) sees the message before the tree.
    if (LRESULT answer = 0; OfferToHeader(message, wParam, lParam, answer))
        return answer;
    // --- Scrolling, scroll bars, sizing, the non-client area and the clipboard commands
    if (std::optional<LRESULT> answer = scrollWindow_->HandleMessage(
            message, wParam, lParam, [&] { return TCustomControl::WndProc(message, wParam, lParam); }))
        return *answer;
    // Wheel panning: the presses, releases and moves that belong to it, before the mouse handling.
    if (std::optional<LRESULT> answer = AnswerPanningMessage(*tree_, message, wParam, lParam))
        return *answer;
    switch (message) {
    case WM_CHANGESTATE:
        tree_->HandleStateMessage(static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam));
        return 0;
    // --- Timers and the wheel (TreeTimers.cpp, AutoScrollTree.cpp)
    case WM_TIMER:
        if (wParam == SearchTimer) {
            tree_->EndIncrementalSearch();
            return 0;
        }
        if (tree_->HandleTimer(static_cast<unsigned>(wParam)))
            return 0;
        break;
    // --- Keyboard (TreeKeyboardWin32.cpp)
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_GETDLGCODE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        LRESULT result = 0;
        if (KeyboardMessage(message, wParam, lParam, result))
            return result;
        break;
    }
    case WM_MOUSEWHEEL:
        tree_->HandleMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam),
                                (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0);
        return 0;
    // --- Mouse input and hot tracking (TreeMouseWin32.cpp)
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_SETCURSOR:
    case WM_CANCELMODE:
    case WM_CONTEXTMENU:
    case WM_CAPTURECHANGED:
    case WM_NCHITTEST:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        if (std::optional<LRESULT> answer = HandleMouseMessage(message, wParam, lParam))
            return *answer;
        break;
    case WM_DESTROY:
        // The window still exists here; the form layer keeps WM_NCDESTROY to itself.
        WindowDestroying();
        break;
    // --- Painting (TreePaintControl.cpp)
    case WM_PAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT:
    case WM_SYSCOLORCHANGE:
    case WM_ERASEBKGND:
    case WM_NCPAINT:
        if (std::optional<LRESULT> answer = HandlePaintMessage(message, wParam, lParam))
            return *answer;
        break;
    default:
        if (std::optional<LRESULT> answer = AnswerTreeViewMessage(*tree_, message, wParam, lParam))
            return *answer;
        break;
    }
    return TCustomControl::WndProc(message, wParam, lParam);
}

void TVirtualTreeControl::InvalidateRows(int top, int bottom) {
    if (!HandleAllocated())
        return;
    RECT rows{0, top, ClientWidth(), bottom};
    InvalidateRect(Handle(), &rows, FALSE);
}

void TVirtualTreeControl::InvalidateAll() {
    if (HandleAllocated())
        InvalidateRect(Handle(), nullptr, FALSE);
}

void TVirtualTreeControl::SetRedraw(bool enabled) {
    if (HandleAllocated())
        SendMessageW(Handle(), WM_SETREDRAW, enabled ? TRUE : FALSE, 0);
}

void TVirtualTreeControl::StartTimer(unsigned id, unsigned milliseconds) {
    if (HandleAllocated())
        SetTimer(Handle(), id, milliseconds, nullptr);
}

void TVirtualTreeControl::StopTimer(unsigned id) {
    if (HandleAllocated())
        KillTimer(Handle(), id);
}

void TVirtualTreeControl::SendStateMessage(std::uint32_t enter, std::uint32_t leave) {
    if (HWND window = Handle())
        SendMessageW(window, WM_CHANGESTATE, enter, leave);
}

void TVirtualTreeControl::WaitForWorker(const std::function<bool()>& busy) {
    MSG message;
    while (busy()) {
        // Only sent messages (the worker's state message) are delivered; nothing is removed from the queue.
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        if (busy())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_SENDMESSAGE);
    }
}

bool TVirtualTreeControl::VisualStylesEnabled() const {
    return IsAppThemed() && IsThemeActive();
}

void TVirtualTreeControl::SlideStep(const TToggleSlide& slide, std::uint32_t step, std::uint32_t stepSize) {
    if (stepSize == 0 || !HandleAllocated())
        return;
    HDC dc = GetDC(Handle());
    if (dc == nullptr)
        return;
    const int size = static_cast<int>(stepSize);
    RECT area{slide.Area.Left, slide.Area.Top, slide.Area.Right, slide.Area.Bottom};
    ScrollDC(dc, 0, slide.Expanding ? size : -size, &area, &area, nullptr, nullptr);
    if (step == 0) {
        // Later steps move the filled strip along with the content.
        const int top = slide.Expanding ? area.top : area.bottom - size - 1;
        const int bottom = slide.Expanding ? area.top + size + 1 : area.bottom;
        for (const TToggleSlide::Fill& fill : slide.Fills) {
            HBRUSH brush = CreateSolidBrush(ColorToRGB(fill.Color.value_or(Color())));
            RECT part{fill.Left, top, fill.Right, bottom};
            FillRect(dc, &part, brush);
            DeleteObject(brush);
        }
    }
    ReleaseDC(Handle(), dc);
}

void TVirtualTreeControl::RedrawFrame() {
    if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
}

} // namespace tarvola
