#include "tree/TreeControl.h"

#include "forms/Application.h"
#include "tree/TreeCreateParams.h"
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

namespace {

// The tree's drop target until dragging and dropping into the tree is handled: it refuses every drop.
class TTreeDropTarget : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        return Refuse(effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override { return Refuse(effect); }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        return Refuse(effect);
    }

private:
    virtual ~TTreeDropTarget() = default;
    static HRESULT Refuse(DWORD* effect) {
        if (effect == nullptr)
            return E_INVALIDARG;
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    LONG references_ = 1;
};

} // namespace

TVirtualTreeControl::TVirtualTreeControl(TComponent* owner, const TTreeFactory& factory)
    : TCustomControl(owner) {
    // Drop registration needs OLE on this thread; each successful initialisation is paired in the destructor.
    oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
    tree_ = factory ? factory(this) : std::make_unique<TBaseVirtualTree>(this);
    tree_->SetControlPort(this);
    SetBounds(0, 0, 200, 100);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    dropTarget_ = new TTreeDropTarget;
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
    dropTarget_->Release();
    if (oleInitialized_)
        OleUninitialize();
}

void TVirtualTreeControl::SetCtl3D(bool value) {
    if (value == ctl3D_)
        return;
    ctl3D_ = value;
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
    const TVTPaintOptions paint = tree_->TreeOptions().PaintOptions();
    if (paint.Has(TVTPaintOption::toThemeAware) && VisualStylesEnabled())
        tree_->DoStateChange({TreeState::tsUseThemes});
    else
        tree_->DoStateChange({}, {TreeState::tsUseThemes});
    if (tree_->TreeOptions().MiscOptions().Has(TVTMiscOption::toAcceptOLEDrop))
        RegisterDropTarget();
    UpdateScrollBars(true);
}

void TVirtualTreeControl::WindowDestroying() {
    tree_->InterruptValidation();
    StopTimer(ChangeTimer);
    StopTimer(StructureChangeTimer);
    RevokeDropTarget();
}

LRESULT TVirtualTreeControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHANGESTATE:
        tree_->HandleStateMessage(static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam));
        return 0;
    case WM_TIMER:
        if (wParam == ChangeTimer || wParam == StructureChangeTimer) {
            tree_->HandleChangeTimer(static_cast<unsigned>(wParam));
            return 0;
        }
        if (wParam == EditTimer) {
            tree_->StartEditing();
            return 0;
        }
        break;
    case WM_SIZE:
        if (tree_->TreeOptions().MiscOptions().Has(TVTMiscOption::toFullRepaintOnResize))
            InvalidateAll();
        break;
    case WM_DESTROY:
        // The window still exists here; the form layer keeps WM_NCDESTROY to itself.
        WindowDestroying();
        break;
    // --- Painting (TreePaintControl.cpp)
    case WM_PAINT:
    case WM_PRINTCLIENT:
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

void TVirtualTreeControl::RegisterDropTarget() {
    if (!HandleAllocated() || dropRegistered_)
        return;
    const HRESULT result = RegisterDragDrop(Handle(), dropTarget_);
    if (FAILED(result))
        throw std::runtime_error("Cannot register the tree window as a drop target (error " +
                                 std::to_string(static_cast<unsigned long>(result)) + ")");
    dropRegistered_ = true;
}

void TVirtualTreeControl::RevokeDropTarget() {
    if (!dropRegistered_)
        return;
    dropRegistered_ = false;
    if (HandleAllocated())
        RevokeDragDrop(Handle());
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
