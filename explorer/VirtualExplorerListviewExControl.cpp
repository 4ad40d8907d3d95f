#include "explorer/VirtualExplorerListviewExControl.h"

#include "explorer/VirtualExplorerComboboxTrees.h"
#include "explorer/VirtualExplorerListviewEx.h"
#include "explorer/VirtualExplorerListviewExThumbnails.h"
#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualSysImages.h"

namespace tarvola {

namespace {

// SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW: the tree window goes out of
// sight without the control counting as hidden.
constexpr UINT kHideTreeWindow = 0x97;

} // namespace

TVirtualExplorerListviewEx::TVirtualExplorerListviewEx(TComponent* owner)
    : TVirtualExplorerTreeControl(owner, &MakeExplorerListviewEx),
      core_(dynamic_cast<IExplorerListviewCore&>(Tree())),
      thumbsOptions_(std::make_unique<TListThumbnailOptions>()) {
    shadow_ = &Create<TShadowListView>(core_);
    if (auto* core = dynamic_cast<TCustomVirtualExplorerListviewEx*>(&core_); core != nullptr) {
        core->ThumbnailHighlight = &thumbsOptions_->Options;
        core->FillCell = [](TCanvas* canvas, const TTreeRect& cell, std::uint32_t color) {
            if (canvas == nullptr)
                return;
            canvas->Brush.Color = color;
            canvas->Brush.Style = TBrushStyle::bsSolid;
            canvas->FillRect(TRect{cell.Left, cell.Top, cell.Right, cell.Bottom});
        };
    }
    shadow_->OnListClick = [this] { Click(); };
    shadow_->OnListDblClick = [this] { DblClick(); };
    core_.SelectionDragStarter = [this](bool right) {
        return shadow_->HandleAllocated() &&
               RunShadowListDrag(shadow_->Handle(), Tree(), right, shadow_->DragLoop).has_value();
    };
    core_.RootChanged = [this] {
        // The old folder's items are gone: their thumbnails are no longer wanted, and the cache turns to
        // the new folder.
        thumbsOptions_->FolderChanged(core_.RootPath());
        if (ownThumbnails_ != nullptr)
            shadow_->ShadowRepaint();
        if (OnRootChange)
            OnRootChange(*this);
    };
}

TVirtualExplorerListviewEx::~TVirtualExplorerListviewEx() {
    // The native list goes before the core it reports to.
    core_.RootChanged = nullptr;
    if (auto* core = dynamic_cast<TCustomVirtualExplorerListviewEx*>(&core_); core != nullptr) {
        core->ThumbnailHighlight = nullptr;
        core->FillCell = nullptr;
    }
    core_.SelectionDragStarter = nullptr;
    core_.SetShadowPort(nullptr);
    core_.SetThumbnailSource(nullptr);
    shadow_->SetThumbnailSource(nullptr);
    ownThumbnails_.reset();
    FreeComponent(*shadow_);
    shadow_ = nullptr;
}

void TVirtualExplorerListviewEx::SetRootFolderCustomPath(const WideString& path) {
    core_.SetRootFolderCustomPath(path);
    if (!core_.ListActive())
        core_.SetActive(true);
}

void TVirtualExplorerListviewEx::SetParent(TWinControl* parent) {
    TVirtualExplorerTreeControl::SetParent(parent);
    shadow_->SetParent(parent);
    shadow_->SetBounds(Left(), Top(), Width(), Height());
    ShowWindowOfStyle();
}

LRESULT TVirtualExplorerListviewEx::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Outside report style nothing may bring the tree window back: not the form showing its controls,
    // not a window made again for a style change.
    // WM_SETREDRAW switches the visible style on as it ends a redraw pause.
    if (core_.ViewStyle() != TViewStyleEx::vsxReport) {
        if (message == WM_SETREDRAW)
            return 0;
        if (message == WM_WINDOWPOSCHANGING)
            reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
    }
    return TVirtualExplorerTreeControl::WndProc(message, wParam, lParam);
}

void TVirtualExplorerListviewEx::BoundsChanged() {
    TVirtualExplorerTreeControl::BoundsChanged();
    if (shadow_ != nullptr)
        shadow_->SetBounds(Left(), Top(), Width(), Height());
}

void TVirtualExplorerListviewEx::VisibleChanged() {
    TVirtualExplorerTreeControl::VisibleChanged();
    if (shadow_ != nullptr)
        ShowWindowOfStyle();
}

void TVirtualExplorerListviewEx::ShowWindowOfStyle() {
    const bool report = core_.ViewStyle() == TViewStyleEx::vsxReport;
    shadow_->SetVisible(Visible() && !report);
    if (!HandleAllocated())
        return;
    if (report && Visible())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    else if (!report)
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, kHideTreeWindow);
}

void TVirtualExplorerListviewEx::SetViewStyle(TViewStyleEx style) {
    if (style == core_.ViewStyle())
        return;
    const bool focused = ListFocused();
    if (style == TViewStyleEx::vsxThumbs)
        EnsureThumbnails();
    core_.SetViewStyle(style);
    ShowWindowOfStyle();
    if (focused)
        SetFocus();
}

void TVirtualExplorerListviewEx::EnsureThumbnails() {
    if (hostThumbnails_ || ownThumbnails_ != nullptr)
        return;
    ownThumbnails_ = std::make_unique<TListThumbnailAdapter>(TShellLayer::Get().PIDLMgr(), *thumbsOptions_,
                                                             [this](int index) {
                                                                 if (index < 0)
                                                                     shadow_->ShadowRepaint();
                                                                 else
                                                                     shadow_->ShadowInvalidateItem(index);
                                                             });
    core_.SetThumbnailSource(ownThumbnails_.get());
    shadow_->SetThumbnailSource(ownThumbnails_.get());
}

void TVirtualExplorerListviewEx::ThumbsOptionsChanged() {
    if (ownThumbnails_ != nullptr)
        ownThumbnails_->OptionsChanged();
    if (core_.ViewStyle() == TViewStyleEx::vsxThumbs)
        shadow_->ShadowApplyStyle(TViewStyleEx::vsxThumbs);
}

void TVirtualExplorerListviewEx::SetThumbnailSource(IListThumbnailSource* source) {
    hostThumbnails_ = source != nullptr;
    if (source == nullptr && ownThumbnails_ != nullptr)
        source = ownThumbnails_.get();
    core_.SetThumbnailSource(source);
    shadow_->SetThumbnailSource(source);
}

bool TVirtualExplorerListviewEx::ListFocused() const {
    if (core_.ViewStyle() == TViewStyleEx::vsxReport)
        return Focused();
    return shadow_->Focused();
}

void TVirtualExplorerListviewEx::SetFocus() {
    if (core_.ViewStyle() == TViewStyleEx::vsxReport)
        TVirtualExplorerTreeControl::SetFocus();
    else if (shadow_->HandleAllocated() && shadow_->Visible())
        shadow_->SetFocus();
}

void TVirtualExplorerListviewEx::Invalidate() {
    TVirtualExplorerTreeControl::Invalidate();
    if (shadow_ != nullptr)
        shadow_->Invalidate();
}

void TVirtualExplorerListviewEx::Update() {
    TVirtualExplorerTreeControl::Update();
    if (shadow_ != nullptr)
        shadow_->Update();
}

} // namespace tarvola
