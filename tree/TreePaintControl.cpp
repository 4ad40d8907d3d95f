// The tree window's painting: the client area through the tree's painter (double-buffered row by row, so the
// background is never erased first), the print-client copy and the copy of the whole window, the non-client
// area with the header and the themed border, and what the control's font, colour and enabled state change.
#include "base/Numerics.h"
#include "forms/ComCtrls.h"
#include "forms/Graphics.h"
#include "tree/Header.h"
#include "tree/HeaderPaint.h"
#include "tree/HeaderPaintSource.h"
#include "tree/TextExport.h"
#include "tree/ThemeServices.h"
#include "tree/TreeColors.h"
#include "tree/TreeControl.h"
#include "tree/TreePainter.h"
#include "tree/TreeProperties.h"
#include "tree/TreeResources.h"
#include "tree/WindowFramePrint.h"

namespace tarvola {
namespace {

// The paint options of the window's own paint and of a print-client copy (no column colours).
constexpr std::uint8_t WindowPaint = 0x3F;
constexpr std::uint8_t PrintClientPaint = 0x3D;

// The visible header right above the client area (clientRect in window coordinates), where the frame
// reserves room for it. The header row reaches to innerRight, the frame's inner edge: the part above a
// vertical scroll bar is filled as the header's empty space.
void PaintTreeHeader(TBaseVirtualTree& tree, HDC windowDC, const RECT& clientRect, int innerRight,
                     const TFont& font) {
    const TVTHeader& header = tree.Header();
    const int height = header.VisibleHeight();
    if (height <= 0 || clientRect.top < height)
        return;
    const RECT headerRect{clientRect.left, clientRect.top - height, clientRect.right, clientRect.top};
    THeaderPaintRecord record;
    FillHeaderPaintRecord(header, record);
    record.HeaderRect = {headerRect.left, headerRect.top, headerRect.right, headerRect.bottom};
    record.HOffset = tree.OffsetX();
    record.HotColor = tree.Colors().Color(TVTColorIndex::HeaderHotColor);
    record.UtilityImages = UtilityImages();
    record.Enabled = tree.ControlEnabled;
    record.Font = &font;
    THeaderPainter painter;
    painter.PaintHeader(windowDC, record.HeaderRect, record, HeaderPaintColumns(header));
    if (innerRight > headerRect.right) {
        const RECT aboveScrollBar{headerRect.right, headerRect.top, innerRight, headerRect.bottom};
        FillRect(windowDC, &aboveScrollBar, GetSysColorBrush(COLOR_BTNFACE));
    }
}

} // namespace

void TVirtualTreeControl::RebuildButtonImages() {
    if (painter_ != nullptr)
        painter_->RebuildButtonImages();
}

void TVirtualTreeControl::RebuildLineImages() {
    if (painter_ != nullptr)
        painter_->RebuildLineImages();
}

void TVirtualTreeControl::ConnectImageLinks() {
    auto connect = [this](TChangeLink& link, TImageList*& slot, bool customChecks) {
        link.OnChange = [this] {
            ImageListsChanged();
            InvalidateAll();
        };
        link.OnSourceGone = [this, &slot, customChecks] {
            slot = nullptr;
            // Without its list the custom kind would show no check images at all.
            if (customChecks && tree_->Properties().CheckImageKind() == TCheckImageKind::ckCustom)
                tree_->Properties().SetCheckImageKind(TCheckImageKind::ckLightCheck);
            ImageListsChanged();
            InvalidateAll();
        };
    };
    connect(imagesLink_, images_, false);
    connect(stateImagesLink_, stateImages_, false);
    connect(customCheckImagesLink_, customCheckImages_, true);
}

void TVirtualTreeControl::SetImageList(TImageList*& slot, TChangeLink& link, TImageList* list) {
    if (list == slot)
        return;
    slot = list;
    link.SetSource(list);
    ImageListsChanged();
    InvalidateAll();
}

void TVirtualTreeControl::SetImages(TImageList* images) {
    SetImageList(images_, imagesLink_, images);
}

void TVirtualTreeControl::SetStateImages(TImageList* images) {
    SetImageList(stateImages_, stateImagesLink_, images);
}

void TVirtualTreeControl::SetCustomCheckImages(TImageList* images) {
    SetImageList(customCheckImages_, customCheckImagesLink_, images);
}

HIMAGELIST TVirtualTreeControl::CheckImages() const {
    const TCheckImageKind kind = tree_->Properties().CheckImageKind();
    if (kind != TCheckImageKind::ckCustom)
        if (HIMAGELIST global = GetCheckImageListFor(kind))
            return global;
    return customCheckImages_ != nullptr ? customCheckImages_->Handle() : nullptr;
}

void TVirtualTreeControl::ImageListsChanged() {
    TBaseVirtualTree::TColumnFitMetrics& metrics = tree_->ColumnFitMetrics;
    metrics.ImageWidth = images_ != nullptr ? images_->Width() : 0;
    metrics.StateImageWidth = stateImages_ != nullptr ? stateImages_->Width() : 0;
    int width = 0;
    int height = 0;
    const HIMAGELIST checks = CheckImages();
    metrics.CheckImageWidth = checks != nullptr && ImageList_GetIconSize(checks, &width, &height) ? width : 0;
}

void TVirtualTreeControl::SetBackground(HBITMAP picture) {
    background_ = picture;
    InvalidateAll();
}

TTreePaintEnvironment TVirtualTreeControl::PaintEnvironment() {
    TTreePaintEnvironment environment;
    const HWND window = HandleAllocated() ? Handle() : nullptr;
    environment.Focused = window != nullptr && GetFocus() == window;
    environment.Enabled = tree_->ControlEnabled && (window == nullptr || IsWindowEnabled(window));
    environment.RightToLeft = rightToLeft_;
    environment.TreeColor = ColorToRGB(Color());
    environment.FontColor = ColorToRGB(Font().Color());
    environment.ClientWidth = ClientWidth();
    environment.Images = images_ != nullptr ? images_->Handle() : nullptr;
    environment.StateImages = stateImages_ != nullptr ? stateImages_->Handle() : nullptr;
    environment.CustomCheckImages = customCheckImages_ != nullptr ? customCheckImages_->Handle() : nullptr;
    environment.Background = background_;
    if (tree_->InState(TreeState::tsUseThemes) && window != nullptr) {
        if (theme_ == nullptr)
            theme_ = std::make_shared<TThemeServices>(window);
        // Without themed common controls the classic images stand in: the theme would draw nothing.
        if (theme_->ThemesEnabled())
            environment.Theme = theme_.get();
    }
    if (RubberBandSource)
        environment.RubberBand = RubberBandSource();
    if (DropModeSource)
        environment.LastDropMode = DropModeSource();
    return environment;
}

void TVirtualTreeControl::PaintTree(HDC dc, const TTreeRect& window, POINT target,
                                    std::uint8_t paintOptions) {
    if (painter_ == nullptr)
        painter_ = std::make_shared<TTreePainter>(*tree_);
    TCanvas canvas(dc);
    painter_->PaintTree(canvas, window, target, paintOptions, TPixelFormat::pfDevice, PaintEnvironment());
}

void TVirtualTreeControl::PaintUpdateRect(HDC dc, const RECT& updateRect) {
    if (IsRectEmpty(&updateRect))
        return;
    const int offsetX = tree_->OffsetX();
    const int offsetY = tree_->OffsetY();
    const TTreeRect window{CheckedSub(static_cast<int>(updateRect.left), offsetX),
                           CheckedSub(static_cast<int>(updateRect.top), offsetY),
                           CheckedSub(static_cast<int>(updateRect.right), offsetX),
                           CheckedSub(static_cast<int>(updateRect.bottom), offsetY)};
    PaintTree(dc, window, POINT{updateRect.left, updateRect.top}, WindowPaint);
}

const TFont& TVirtualTreeControl::HeaderFont() {
    const THeaderFont& wanted = tree_->Header().Font();
    TFont font;
    font.SetName(wanted.Name);
    font.SetHeight(wanted.Height);
    font.SetStyle(static_cast<TFontStyles>(wanted.Style));
    font.SetColor(static_cast<TColor>(wanted.Color));
    // The font's handle is made once per font, not once per paint.
    if (!font.SameAs(headerFont_))
        headerFont_.Assign(font);
    return headerFont_;
}

TVirtualTreeControl::TFrameGeometry TVirtualTreeControl::FrameGeometry() const {
    const HWND window = Handle();
    TFrameGeometry geometry;
    RECT frame{};
    GetWindowRect(window, &frame);
    GetClientRect(window, &geometry.Client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&geometry.Client), 2);
    OffsetRect(&geometry.Client, -frame.left, -frame.top);
    geometry.Bounds = RECT{0, 0, frame.right - frame.left, frame.bottom - frame.top};
    // The frame's borders are as wide on the right as on the left; a vertical bar stands between.
    geometry.InnerRight = geometry.Bounds.right - geometry.Client.left;
    return geometry;
}

void TVirtualTreeControl::PaintFrame() {
    HWND window = Handle();
    HDC dc = GetWindowDC(window);
    if (dc == nullptr)
        return;
    try {
        const TFrameGeometry geometry = FrameGeometry();
        PaintTreeHeader(*tree_, dc, geometry.Client, geometry.InnerRight, HeaderFont());
        if (tree_->InState(TreeState::tsUseThemes) && theme_ != nullptr &&
            (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0)
            theme_->PaintBorder(window, true);
    } catch (...) {
        ReleaseDC(window, dc);
        throw;
    }
    ReleaseDC(window, dc);
}

void TVirtualTreeControl::PrintClient(HDC dc) {
    const RECT client{0, 0, ClientWidth(), ClientHeight()};
    const TTreeRect window{CheckedSub(0, tree_->OffsetX()), CheckedSub(0, tree_->OffsetY()),
                           CheckedSub(static_cast<int>(client.right), tree_->OffsetX()),
                           CheckedSub(static_cast<int>(client.bottom), tree_->OffsetY())};
    PaintTree(dc, window, POINT{0, 0}, PrintClientPaint);
}

void TVirtualTreeControl::PrintWindowInto(HDC dc, LPARAM flags) {
    // The whole window in window coordinates: the frame and the header around the client area, which
    // lands where it lies in the window whether or not the frame is wanted.
    const TFrameGeometry geometry = FrameGeometry();
    if ((flags & PRF_NONCLIENT) != 0) {
        PrintWindowFrame(dc, Handle(), geometry.Bounds, geometry.Client);
        PaintTreeHeader(*tree_, dc, geometry.Client, geometry.InnerRight, HeaderFont());
    }
    if ((flags & PRF_CLIENT) == 0)
        return;
    const int saved = SaveDC(dc);
    POINT origin{};
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x + geometry.Client.left, origin.y + geometry.Client.top, nullptr);
    IntersectClipRect(dc, 0, 0, geometry.Client.right - geometry.Client.left,
                      geometry.Client.bottom - geometry.Client.top);
    try {
        PrintClient(dc);
    } catch (...) {
        RestoreDC(dc, saved);
        throw;
    }
    RestoreDC(dc, saved);
}

void TVirtualTreeControl::FontChanged() {
    TCustomControl::FontChanged();
    tree_->TreeFontChanged(TreeTextFont());
    // Rectangle buttons draw their signs in the font's colour.
    RebuildButtonImages();
    InvalidateAll();
}

TTextFont TVirtualTreeControl::TreeTextFont() const {
    TTextFont font;
    font.Name = Font().Name();
    font.Height = Font().Height();
    font.Style = Font().Style();
    font.Color = Font().Color();
    return font;
}

void TVirtualTreeControl::ColorChanged() {
    TCustomControl::ColorChanged();
    // Rectangle buttons may be filled with the tree's colour.
    RebuildButtonImages();
    InvalidateAll();
}

void TVirtualTreeControl::EnabledChanged() {
    TCustomControl::EnabledChanged();
    // The window's WM_ENABLE tells the tree as well (and repaints), but only while there is a window.
    tree_->ControlEnabled = Enabled();
}

std::optional<LRESULT> TVirtualTreeControl::HandlePaintMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        // Every pixel of the client area is painted by the rows and the space below them.
        return 1;
    case WM_PAINT: {
        if (wParam != 0) {
            // Copy painting: the caller's device context gets the whole client area.
            RECT client{0, 0, ClientWidth(), ClientHeight()};
            PaintUpdateRect(reinterpret_cast<HDC>(wParam), client);
            return 0;
        }
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(Handle(), &paint);
        try {
            PaintUpdateRect(dc, paint.rcPaint);
        } catch (...) {
            EndPaint(Handle(), &paint);
            throw;
        }
        EndPaint(Handle(), &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        if ((lParam & PRF_CHECKVISIBLE) != 0 && !IsWindowVisible(Handle()))
            return 0;
        PrintClient(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_PRINT:
        if ((lParam & PRF_CHECKVISIBLE) != 0 && !IsWindowVisible(Handle()))
            return 0;
        PrintWindowInto(reinterpret_cast<HDC>(wParam), lParam);
        return 0;
    case WM_SYSCOLORCHANGE:
        // The check and utility images that are drawn in system colours take the new ones.
        ReloadColorMappedImages();
        InvalidateAll();
        return std::nullopt;
    case WM_NCPAINT: {
        // The standard frame and scroll bars first, then the whole header and the themed border: cheap, and
        // right whatever part of the frame the update region names.
        const LRESULT result = TCustomControl::WndProc(message, wParam, lParam);
        PaintFrame();
        return result;
    }
    default:
        return std::nullopt;
    }
}

} // namespace tarvola
