#include "tree/HintWindow.h"

#include "base/Numerics.h"
#include "forms/Application.h"
#include "forms/Graphics.h"
#include "tree/HintWindowRules.h"
#include "tree/StringTreeGdiCanvas.h"
#include "tree/TreeHintData.h"
#include "tree/TreeControlPort.h"
#include "tree/TreeOptions.h"
#include "tree/TreeResources.h"

#include <stdexcept>

namespace tarvola {

namespace {

constexpr char kTreeHintWindowClass = 0;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;

TTreeRect ToTreeRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

TRect ToFormsRect(const TTreeRect& r) {
    return TRect{r.Left, r.Top, r.Right, r.Bottom};
}

TTreeRect VirtualScreen() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
            top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

bool SystemFlag(UINT action, bool fallback) {
    BOOL value = fallback ? TRUE : FALSE;
    if (!SystemParametersInfoW(action, 0, &value, 0))
        return fallback;
    return value != FALSE;
}

// The tooltip's font: the tree's, as the tree (or its text painting) gives it for the cell.
TTextFont TooltipFont(TBaseVirtualTree& tree, PVirtualNode node, TColumnIndex column, TTreeRect& textRect) {
    TTextFont font;
    tree.GetTooltipTextInfo(node, column, font, textRect);
    return font;
}

int LineHeightOf(HDC dc) {
    TEXTMETRICW metrics{};
    return GetTextMetricsW(dc, &metrics) ? metrics.tmHeight : 0;
}

} // namespace

bool& HintWindowDestroyed() {
    static bool destroyed = true;
    return destroyed;
}

// A 32-bit top-down DIB section selected into a memory device context.
class TVirtualTreeHintWindow::TPixelBitmap {
public:
    TPixelBitmap() : dc_(CreateCompatibleDC(nullptr)) {
        if (dc_ == nullptr)
            throw std::runtime_error("Cannot create a device context for the hint window");
    }
    ~TPixelBitmap() {
        Release();
        DeleteDC(dc_);
    }
    TPixelBitmap(const TPixelBitmap&) = delete;
    TPixelBitmap& operator=(const TPixelBitmap&) = delete;

    HDC Dc() const { return dc_; }
    void Resize(int width, int height) {
        if (width == width_ && height == height_ && bitmap_ != nullptr)
            return;
        Release();
        width_ = std::max(width, 1);
        height_ = std::max(height, 1);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (bitmap_ == nullptr)
            throw std::runtime_error("Cannot create a bitmap for the hint window");
        previous_ = SelectObject(dc_, bitmap_);
    }
    TPixelBuffer Pixels() const {
        GdiFlush();
        return TPixelBuffer{static_cast<std::uint8_t*>(bits_), width_, height_, false};
    }

private:
    void Release() {
        if (bitmap_ == nullptr)
            return;
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        bitmap_ = nullptr;
        bits_ = nullptr;
    }
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
    int width_ = 0, height_ = 0;
};

TVirtualTreeHintWindow::TVirtualTreeHintWindow()
    : data_(std::make_unique<TVTHintData>()), background_(std::make_unique<TPixelBitmap>()),
      draw_(std::make_unique<TPixelBitmap>()), blend_(std::make_unique<TPixelBitmap>()) {
    HintWindowDestroyed() = false;
}

TVirtualTreeHintWindow::~TVirtualTreeHintWindow() {
    *alive_ = false;
    HintWindowDestroyed() = true;
}

const THintWindowClass& TVirtualTreeHintWindow::WindowClass() {
    static const THintWindowClass windowClass{
        &kTreeHintWindowClass, [] { return std::unique_ptr<THintWindow>(new TVirtualTreeHintWindow); }};
    return windowClass;
}

void TVirtualTreeHintWindow::CreateParams(TParams& params) {
    THintWindow::CreateParams(params);
    params.Style = WS_POPUP;
    params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

TBaseVirtualTree* TVirtualTreeHintWindow::HintTree() const {
    return data_->Tree;
}

const std::wstring& TVirtualTreeHintWindow::HintText() const {
    return data_->HintText;
}

TBaseVirtualTree* TVirtualTreeHintWindow::LiveTree() const {
    return treeAlive_.expired() ? nullptr : data_->Tree;
}

int TVirtualTreeHintWindow::Shadow() const {
    return HintShadowFor(MMXAvailable());
}

THintAnimationType TVirtualTreeHintWindow::EffectiveAnimation() const {
    THintSystemSettings system;
    system.TooltipAnimation = SystemFlag(SPI_GETTOOLTIPANIMATION, true);
    system.TooltipFade = SystemFlag(SPI_GETTOOLTIPFADE, true);
    system.MMX = MMXAvailable();
    TBaseVirtualTree* tree = LiveTree();
    return tree != nullptr ? tree->GetEffectiveHintAnimation(system) : THintAnimationType::hatNone;
}

TRect TVirtualTreeHintWindow::CalcHintRect(int maxWidth, const std::wstring&, void* data) {
    if (data == nullptr)
        return {};
    *data_ = *static_cast<const TVTHintData*>(data);
    treeAlive_ = data_->Tree != nullptr ? data_->Tree->Liveness() : std::weak_ptr<bool>{};
    TBaseVirtualTree* tree = LiveTree();
    if (tree == nullptr)
        return {};
    if (tree->OwnerDrawsHints() && data_->Node != nullptr)
        return ToFormsRect(data_->HintRect);
    ResolveHintText(*data_);
    if (data_->HintText.empty())
        return {};
    const int shadow = Shadow();
    return IsTooltip(*data_) ? MeasureTooltip(*tree, shadow) : MeasureHint(maxWidth, shadow);
}

TRect TVirtualTreeHintWindow::MeasureHint(int maxWidth, int shadow) {
    HDC dc = GetDC(nullptr);
    if (dc == nullptr)
        return {};
    const HGDIOBJ previous = SelectObject(dc, HintFont());
    textHeight_ = LineHeightOf(dc);
    RECT r{0, 0, maxWidth, textHeight_};
    // Measured as it is drawn (without prefix characters), so that the text is not cut.
    DrawTextW(dc, data_->HintText.c_str(), static_cast<int>(data_->HintText.size()), &r,
              DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    TBaseVirtualTree* tree = LiveTree();
    const int margin = tree != nullptr ? tree->Properties().TextMargin() : 4;
    return ToFormsRect(HintRectFromMeasure(ToTreeRect(r), margin, shadow));
}

TRect TVirtualTreeHintWindow::MeasureTooltip(TBaseVirtualTree& tree, int shadow) {
    const PVirtualNode node = data_->Node;
    const TColumnIndex column = data_->Column;
    TTreeRect cellText;
    const TTextFont font = TooltipFont(tree, node, column, cellText);
    HDC dc = GetDC(nullptr);
    if (dc == nullptr)
        return {};
    TTreeRect result;
    {
        TGdiStringTreeCanvas canvas(dc);
        canvas.Font = font;
        textHeight_ = canvas.LineHeight();
        if (data_->LineBreakStyle != TVTTooltipLineBreakStyle::hlbForceMultiLine) {
            const bool gridLines = tree.TreeOptions().PaintOptions().Has(TVTPaintOption::toShowHorzGridLines);
            result = SingleLineTooltipRect(tree.GetDisplayRect(node, column, true, true), gridLines, shadow);
        } else {
            TMultilineTooltip tooltip;
            tooltip.Text = tree.GetDisplayRect(node, column, true, false);
            // LineHeight selected the tooltip's font into the device context.
            RECT measured{tooltip.Text.Left, tooltip.Text.Top, tooltip.Text.Right, tooltip.Text.Bottom};
            DrawTextW(dc, data_->HintText.c_str(), static_cast<int>(data_->HintText.size()), &measured,
                      DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            tooltip.Measured = ToTreeRect(measured);
            tooltip.RightToLeft = data_->BiDiMode != TBiDiMode::bdLeftToRight;
            tooltip.TextMargin = tree.Properties().TextMargin();
            tooltip.NodeHeight = static_cast<int>(tree.NodeHeight(node));
            tooltip.ClientWidth = tree.ClientWidth();
            tooltip.ClientHeight = tree.HintClientHeight();
            result = MultilineTooltipRect(tooltip, shadow);
        }
    }
    ReleaseDC(nullptr, dc);
    return ToFormsRect(result);
}

void TVirtualTreeHintWindow::ActivateHint(TRect rect, const std::wstring& hint) {
    if (rect.Width() <= 0 || rect.Height() <= 0) {
        ReleaseHint();
        return;
    }
    SetCaption(hint);
    TBaseVirtualTree* tree = LiveTree();
    const std::weak_ptr<bool> treeAlive = treeAlive_;
    // An older hint animation of this tree still runs further up the stack: this one takes over.
    const bool tookOver = tree != nullptr && tree->InState(TreeState::tsInAnimation);
    if (tookOver)
        tree->YieldAnimationToNewerHint();
    HandleNeeded();
    const TTreeRect bounds = KeepOnDesktop({rect.Left, rect.Top, rect.Right, rect.Bottom}, VirtualScreen());
    const int width = bounds.Right - bounds.Left;
    const int height = bounds.Bottom - bounds.Top;
    // Hidden only for the screen capture: the data just measured stays.
    activating_ = true;
    SetWindowPos(Handle(), nullptr, bounds.Left, bounds.Top, width, height,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
    activating_ = false;
    background_->Resize(width, height);
    draw_->Resize(width, height);
    blend_->Resize(width, height);
    if (tree != nullptr)
        tree->ControlPort().UpdateWindow();
    CaptureScreen(ToFormsRect(bounds));
    SetWindowPos(Handle(), HWND_TOPMOST, bounds.Left, bounds.Top, width, height,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);

    animation_ = EffectiveAnimation();
    const std::uint32_t duration = tree != nullptr ? tree->Properties().AnimationDuration() : 0;
    if (animation_ == THintAnimationType::hatNone || duration == 0 || tree == nullptr) {
        animation_ = THintAnimationType::hatNone;
        InvalidateRect(Handle(), nullptr, FALSE);
        return;
    }
    ValidateRect(Handle(), nullptr);
    const std::weak_ptr<bool> self = alive_;
    bool stepped = false;
    const TAnimationCallback step = [this, self, &stepped](std::uint32_t index, std::uint32_t size) {
        if (self.expired())
            return false;
        const bool go = AnimationStep(index, size);
        stepped = stepped || go;
        return go;
    };
    if (animation_ == THintAnimationType::hatFade)
        tree->Animate(255, CheckedMul<std::uint32_t>(2, duration), step);
    else
        tree->Animate(static_cast<std::uint32_t>(height), duration, step);
    // The steps handled messages: this window, or its tree, may be gone now.
    if (self.expired())
        return;
    if (!stepped && IsWindowVisible(Handle())) {
        // No step ran (another animation of the tree held it): paint the hint as it stands.
        animation_ = THintAnimationType::hatNone;
        InvalidateRect(Handle(), nullptr, FALSE);
    }
    if (tookOver && !HintWindowDestroyed() && !treeAlive.expired() && data_->Tree != nullptr)
        data_->Tree->CancelOlderHintAnimation();
}

void TVirtualTreeHintWindow::CaptureScreen(const TRect& bounds) {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return;
    BitBlt(background_->Dc(), 0, 0, bounds.Width(), bounds.Height(), screen, bounds.Left, bounds.Top,
           SRCCOPY);
    ReleaseDC(nullptr, screen);
}

bool TVirtualTreeHintWindow::AnimationStep(std::uint32_t step, std::uint32_t stepSize) {
    THintAnimationLife life{alive_, treeAlive_};
    const bool go = HintAnimationMayContinue(
        life, HintWindowDestroyed(), [this] { return HandleAllocated() && IsWindowVisible(Handle()); },
        [this] { return data_->Tree->InState(TreeState::tsCancelHintAnimation); });
    if (!go)
        return false;
    HDC dc = GetDC(Handle());
    if (dc != nullptr) {
        InternalPaint(dc, step, stepSize);
        ReleaseDC(Handle(), dc);
    }
    // Keeps the program responsive; a newer hint may start from here and take over.
    Application().ProcessMessages();
    return true;
}

void TVirtualTreeHintWindow::Paint(HDC dc) {
    InternalPaint(dc, 0, 0);
}

void TVirtualTreeHintWindow::DrawHintPicture() {
    RECT client{};
    GetClientRect(Handle(), &client);
    const int shadow = Shadow();
    const int width = client.right - shadow;
    const int height = client.bottom - shadow;
    HDC dc = draw_->Dc();
    TBaseVirtualTree* tree = LiveTree();
    const bool tooltip = tree != nullptr && IsTooltip(*data_);
    TTreeRect cellText;
    TTextFont font;
    int topMargin = 2;
    if (tooltip) {
        font = TooltipFont(*tree, data_->Node, data_->Column, cellText);
        topMargin = data_->LineBreakStyle == TVTTooltipLineBreakStyle::hlbForceMultiLine
                        ? 1
                        : (height - (cellText.Bottom - cellText.Top)) / 2;
    }
    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HBRUSH background = CreateSolidBrush(ColorToRGB(clInfoBk));
    const HGDIOBJ oldBrush = SelectObject(dc, background);
    Rectangle(dc, 0, 0, width, height);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(background);

    TTreeRect r{1, 1, width - 1, height - 1};
    const int margin = tree != nullptr ? tree->Properties().TextMargin() : 4;
    std::uint32_t format = DT_NOPREFIX;
    if (data_->BiDiMode != TBiDiMode::bdLeftToRight) {
        format |= DT_RIGHT | DT_RTLREADING;
        r.Right -= margin - 1;
    } else {
        r.Left += margin;
    }
    r.Top = topMargin;
    if (tooltip && data_->LineBreakStyle == TVTTooltipLineBreakStyle::hlbForceMultiLine)
        format |= DT_WORDBREAK;
    SetBkMode(dc, TRANSPARENT);
    if (tooltip) {
        TGdiStringTreeCanvas canvas(dc);
        font.Color = clInfoText;
        canvas.Font = font;
        canvas.DrawTextInRect(data_->HintText, r, format);
        return;
    }
    const HGDIOBJ oldFont = SelectObject(dc, HintFont());
    SetTextColor(dc, ColorToRGB(clInfoText));
    RECT target{r.Left, r.Top, r.Right, r.Bottom};
    DrawTextW(dc, data_->HintText.c_str(), static_cast<int>(data_->HintText.size()), &target, format);
    SelectObject(dc, oldFont);
}

void TVirtualTreeHintWindow::InternalPaint(HDC target, std::uint32_t step, std::uint32_t stepSize) {
    RECT client{};
    GetClientRect(Handle(), &client);
    const int width = client.right;
    const int height = client.bottom;
    const int shadow = Shadow();
    if (step == 0)
        DrawHintPicture();
    if (stepSize > 0) {
        if (animation_ == THintAnimationType::hatFade) {
            ComposeFadeStep(background_->Pixels(), draw_->Pixels(), blend_->Pixels(), step, shadow);
            BitBlt(target, 0, 0, width, height, blend_->Dc(), 0, 0, SRCCOPY);
        } else {
            // The hint grows downwards out of its top edge.
            const int rows =
                static_cast<int>(std::min<std::uint32_t>(step, static_cast<std::uint32_t>(height)));
            BitBlt(target, 0, 0, width - shadow, rows, draw_->Dc(), 0, height - rows, SRCCOPY);
            const int restoreFrom = std::max(rows - shadow, 0);
            BitBlt(target, 0, restoreFrom, width, height - restoreFrom, background_->Dc(), 0, restoreFrom,
                   SRCCOPY);
        }
        return;
    }
    if (animation_ == THintAnimationType::hatFade)
        return;
    if (shadow > 0) {
        // Composed in the blend bitmap, so the captured screen stays as it was for the next paint.
        ComposeShadowedHint(background_->Pixels(), draw_->Pixels(), blend_->Pixels(), shadow);
        BitBlt(target, 0, 0, width, height, blend_->Dc(), 0, 0, SRCCOPY);
    } else {
        BitBlt(target, 0, 0, width, height, draw_->Dc(), 0, 0, SRCCOPY);
    }
}

bool TVirtualTreeHintWindow::IsHintMsg(const MSG& message) {
    const UINT m = message.message;
    // Moving over the frame and typing leave a tree hint in place.
    if (m == WM_NCMOUSEMOVE || (m >= WM_KEYFIRST && m <= WM_KEYLAST))
        return false;
    return THintWindow::IsHintMsg(message);
}

LRESULT TVirtualTreeHintWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_NCPAINT:
        return 0;
    case WM_SHOWWINDOW:
        if (wParam == FALSE && !activating_) {
            *data_ = TVTHintData{};
            treeAlive_.reset();
            HintWindowDestroyed() = false;
        }
        break;
    default:
        break;
    }
    return THintWindow::WndProc(message, wParam, lParam);
}

} // namespace tarvola
