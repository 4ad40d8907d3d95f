// The tree's scroll offsets and ranges, its scroll bars, the scroll-bar requests, scrolling a node into view,
// and the client area's size changes. Offsets are 0 or negative: client x = tree x + OffsetX. The window side
// (the system's bars, moving pixels) is reached through ITreeScrollPort.
#include "tree/VirtualTrees.h"

#include "base/Numerics.h"
#include "tree/Columns.h"
#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/TreeColors.h"
#include "tree/TreeControlPort.h"
#include "tree/TreeOptions.h"

#include <algorithm>
#include <limits>

namespace tarvola {

int ClampScrollBarPosition(const TScrollBarInfo& info) {
    const std::int64_t highest = static_cast<std::int64_t>(info.Max) - std::max(info.Page - 1, 0);
    std::int64_t position = std::min<std::int64_t>(info.Pos, highest);
    position = std::max<std::int64_t>(position, info.Min);
    return static_cast<int>(position);
}

int ClampScrollOffset(std::int64_t value, int client, std::int64_t range) {
    const std::int64_t lowest = static_cast<std::int64_t>(client) - range;
    if (value < lowest)
        value = lowest;
    if (value > 0)
        value = 0;
    return static_cast<int>(std::max<std::int64_t>(value, -std::numeric_limits<int>::max()));
}

void TModelScrollPort::ShowScrollBar(TScrollBarKind bar, bool show) {
    Bar(bar).Visible = show;
    if (show)
        Bar(bar).Disabled = false;
}

void TModelScrollPort::SetScrollInfo(TScrollBarKind bar, const TScrollBarInfo& info, bool disableNoScroll,
                                     bool) {
    TBar& target = Bar(bar);
    target.Info = info;
    target.Info.Pos = ClampScrollBarPosition(info);
    const bool scrollable = static_cast<std::int64_t>(info.Max) - info.Min + 1 > info.Page;
    target.Disabled = disableNoScroll && !scrollable;
    if (disableNoScroll)
        target.Visible = true;
}

int TModelScrollPort::TrackPosition(TScrollBarKind bar) const {
    return TrackPos[bar == TScrollBarKind::sbHorizontal ? 0 : 1];
}

bool TModelScrollPort::CursorInClient(int& x, int& y) const {
    x = CursorX;
    y = CursorY;
    return CursorInside;
}

ITreeScrollPort& TBaseVirtualTree::ScrollPort() const {
    if (scrollPort_ != nullptr)
        return *scrollPort_;
    if (!modelScrollPort_)
        modelScrollPort_ = std::make_shared<TModelScrollPort>();
    return *modelScrollPort_;
}

void TBaseVirtualTree::SetScrollOffsets(int x, int y) {
    SetScrollOffsets(x, y, AllScrollUpdateOptions);
}

bool TBaseVirtualTree::SetScrollOffsets(std::int64_t x, std::int64_t y, TScrollUpdateOptions options,
                                        const TTreeRect* clipRect) {
    const int newX = ClampScrollOffset(x, Host().ClientWidth(), RangeWidth);
    const int newY = ClampScrollOffset(y, Host().ClientHeight(), RangeHeight());
    // Both offsets lie in -INT_MAX .. 0, so their differences fit an int.
    const int deltaX = newX - offsetX_;
    const int deltaY = newY - offsetY_;
    if (deltaX == 0 && deltaY == 0)
        return false;
    offsetX_ = newX;
    offsetY_ = newY;
    // A hint waiting to show would stand over rows that moved away.
    if (CancelPendingHint)
        CancelPendingHint();
    if (updateCount_ == 0) {
        const bool dragging = InState(TreeState::tsFrameworkDragging);
        if (dragging)
            ScrollPort().ShowDragImage(false);
        if ((options & soScrollClientArea) != 0)
            ScrollClientArea(deltaX, deltaY, clipRect);
        if ((options & soUpdateScrollBars) != 0)
            UpdateBarsAfterScroll(deltaX, deltaY, options);
        if (dragging)
            ScrollPort().ShowDragImage(true);
    }
    DoScroll(deltaX, deltaY);
    int mouseX = 0;
    int mouseY = 0;
    if (Host().HasWindow() && ScrollPort().CursorInClient(mouseX, mouseY))
        HandleHotTrack(mouseX, mouseY);
    return true;
}

void TBaseVirtualTree::ScrollClientArea(int deltaX, int deltaY, const TTreeRect* clipRect) {
    if (!Host().HasWindow())
        return;
    // A bitmap background stays where it is while the rows move over it: the pixels cannot simply move.
    if (TreeOptions().PaintOptions().Has(TVTPaintOption::toShowBackground) &&
        ControlPort().HasBackgroundPicture()) {
        ScrollPort().MoveChildWindows(deltaX, deltaY);
        Host().InvalidateAll();
        return;
    }
    ScrollPort().ScrollClientArea(deltaX, deltaY, clipRect);
}

void TBaseVirtualTree::UpdateBarsAfterScroll(int deltaX, int deltaY, TScrollUpdateOptions options) {
    const bool repaintBars = (options & soRepaintScrollBars) != 0;
    if (deltaX != 0) {
        if ((options & soRepaintHeader) != 0)
            Header().Invalidate(NoColumn);
        if (!InState(TreeState::tsSizing) && HorizontalBarAllowed())
            UpdateHorizontalScrollBar(repaintBars);
    }
    if (deltaY != 0 && !InState(TreeState::tsSizing) && !InState(TreeState::tsThumbTracking)) {
        UpdateVerticalScrollBar(repaintBars);
        // Without columns the content's width is that of the rows in view, which just changed.
        if (!Header().UseColumns() && !InState(TreeState::tsDrawSelecting) && HorizontalBarAllowed())
            UpdateHorizontalScrollBar(repaintBars);
    }
}

bool TBaseVirtualTree::HorizontalBarAllowed() const {
    const TScrollStyle style = ScrollBarOptions().ScrollBars();
    return style == TScrollStyle::ssHorizontal || style == TScrollStyle::ssBoth;
}

bool TBaseVirtualTree::VerticalBarAllowed() const {
    const TScrollStyle style = ScrollBarOptions().ScrollBars();
    return style == TScrollStyle::ssVertical || style == TScrollStyle::ssBoth;
}

void TBaseVirtualTree::UpdateScrollBars(bool doRepaint) {
    if (!Host().HasWindow())
        return;
    UpdateVerticalScrollBar(doRepaint);
    UpdateHorizontalScrollBar(doRepaint);
}

void TBaseVirtualTree::UpdateHorizontalScrollBar(bool doRepaint) {
    RangeWidth = Header().UseColumns() ? Header().Columns().TotalWidth() : GetMaxRightExtent();
    if (!Host().HasWindow())
        return;
    if (!HorizontalBarAllowed()) {
        ScrollPort().ShowScrollBar(TScrollBarKind::sbHorizontal, false);
        SetOffsetX(offsetX_);
        return;
    }
    ApplyScrollBar(TScrollBarKind::sbHorizontal, RangeWidth, Host().ClientWidth(), offsetX_, doRepaint);
    SetOffsetX(-ScrollPort().ScrollPosition(TScrollBarKind::sbHorizontal));
}

void TBaseVirtualTree::UpdateVerticalScrollBar(bool doRepaint) {
    // The root's total never falls below one default row (an empty tree keeps the height of its root).
    if (root_->TotalHeight < defaultNodeHeight_)
        root_->TotalHeight = defaultNodeHeight_;
    if (!Host().HasWindow())
        return;
    if (!VerticalBarAllowed()) {
        ScrollPort().ShowScrollBar(TScrollBarKind::sbVertical, false);
        SetOffsetY(offsetY_);
        return;
    }
    ApplyScrollBar(TScrollBarKind::sbVertical, RangeHeight(), Host().ClientHeight(), offsetY_, doRepaint);
    SetOffsetY(-ScrollPort().ScrollPosition(TScrollBarKind::sbVertical));
}

// Shows the bar with the content's range when the content does not fit (or the bars are always visible),
// otherwise hides it with an empty range. The client extent is read after showing: a bar takes room.
void TBaseVirtualTree::ApplyScrollBar(TScrollBarKind bar, std::int64_t range, int client, int offset,
                                      bool doRepaint) {
    ITreeScrollPort& port = ScrollPort();
    const bool alwaysVisible = ScrollBarOptions().AlwaysVisible();
    if (client < range || alwaysVisible) {
        port.ShowScrollBar(bar, true);
        const int extent = bar == TScrollBarKind::sbHorizontal ? Host().ClientWidth() : Host().ClientHeight();
        TScrollBarInfo info;
        info.Max = static_cast<int>(std::min<std::int64_t>(range, std::numeric_limits<int>::max()));
        info.Page = extent < std::numeric_limits<int>::max() ? extent + 1 : extent;
        info.Pos = -offset;
        port.SetScrollInfo(bar, info, alwaysVisible, doRepaint);
    } else {
        port.SetScrollInfo(bar, TScrollBarInfo{}, false, false);
        port.ShowScrollBar(bar, false);
    }
}

int TBaseVirtualTree::GetMaxRightExtent() {
    const TColumnFitMetrics& metrics = ColumnFitMetrics;
    const bool checks = metrics.CheckSupport && metrics.CheckImageWidth > 0;
    const int bottom = Host().ClientHeight();
    int top = 0;
    PVirtualNode node = GetNodeAt(0, 0, true, top);
    std::int64_t widest = 0;
    for (std::int64_t rowTop = top; node != nullptr && rowTop < bottom; node = GetNextVisible(node)) {
        if ((node->States & nsInitialized) == 0)
            InitNode(node);
        std::int64_t width =
            static_cast<std::int64_t>(GetNodeLevel(node) + (Options.ShowRoot ? 1 : 0)) * Indent;
        if (metrics.StateImageWidth > 0)
            width += metrics.StateImageWidth + 2;
        if (metrics.ImageWidth > 0)
            width += metrics.ImageWidth + 2;
        if (checks && static_cast<TCheckType>(node->CheckType) != TCheckType::ctNone)
            width += metrics.CheckImageWidth + 2;
        width += GetNodeWidth(node, NoColumn);
        widest = std::max(widest, width);
        rowTop += NodeHeight(node);
    }
    return CheckedCast<int>(widest + Margin);
}

void TBaseVirtualTree::HandleScrollRequest(TScrollBarKind bar, int code) {
    const bool horizontal = bar == TScrollBarKind::sbHorizontal;
    const std::int64_t offset = horizontal ? offsetX_ : offsetY_;
    const std::int64_t line =
        horizontal ? ScrollBarOptions().HorizontalIncrement : ScrollBarOptions().VerticalIncrement;
    const std::int64_t page = horizontal ? Host().ClientWidth() : Host().ClientHeight();
    auto setOffset = [&](std::int64_t value) {
        if (horizontal)
            SetScrollOffsets(value, offsetY_, AllScrollUpdateOptions);
        else
            SetScrollOffsets(offsetX_, value, AllScrollUpdateOptions);
    };
    switch (code) {
    case ScrollLineUp:
        setOffset(offset + line);
        break;
    case ScrollLineDown:
        setOffset(offset - line);
        break;
    case ScrollPageUp:
        setOffset(offset + page);
        break;
    case ScrollPageDown:
        setOffset(offset - page);
        break;
    case ScrollThumbPosition:
    case ScrollThumbTrack:
        DoStateChange({TreeState::tsThumbTracking});
        setOffset(-static_cast<std::int64_t>(ScrollPort().TrackPosition(bar)));
        break;
    case ScrollTop:
        setOffset(0);
        break;
    case ScrollBottom:
        setOffset(horizontal ? -static_cast<std::int64_t>(RangeWidth)
                             : -static_cast<std::int64_t>(root_->TotalHeight));
        break;
    case ScrollEnd:
        DoStateChange({}, {TreeState::tsThumbTracking});
        if (horizontal) {
            UpdateHorizontalScrollBar(false);
        } else {
            UpdateScrollBars(true);
            if (Host().HasWindow())
                ScrollPort().RedrawWithFrame();
        }
        break;
    default:
        break;
    }
}

void TBaseVirtualTree::ClientResized() {
    if (!Host().HasWindow() || InState(TreeState::tsSizing) || InState(TreeState::tsWindowCreating) ||
        Host().ClientHeight() <= 0)
        return;
    DoStateChange({TreeState::tsSizing});
    struct LeaveSizing {
        TBaseVirtualTree& tree;
        ~LeaveSizing() { tree.DoStateChange({}, {TreeState::tsSizing}); }
    } leave{*this};
    Header().Columns().UpdateSpringColumns();
    UpdateScrollBars(true);
    if (IsEditing() && !Header().UseColumns())
        UpdateEditBounds();
}

void TBaseVirtualTree::ThemesChanged(bool themesEnabled) {
    if (themesEnabled && TreeOptions().PaintOptions().Has(TVTPaintOption::toThemeAware))
        DoStateChange({TreeState::tsUseThemes});
    else
        DoStateChange({}, {TreeState::tsUseThemes});
}

bool TBaseVirtualTree::ScrollIntoView(PVirtualNode node, bool center, bool horizontally) {
    if (node == nullptr || node == root_)
        return false;
    for (PVirtualNode parent = node->Parent; parent != root_; parent = parent->Parent)
        if ((parent->States & nsExpanded) == 0)
            ToggleNode(parent);
    const bool useColumns = Header().UseColumns();
    const bool gridExtensions = TreeOptions().MiscOptions().Has(TVTMiscOption::toGridExtensions);
    const TTreeRect rect =
        GetDisplayRect(node, useColumns ? FocusedColumn() : NoColumn, false, !gridExtensions);
    // The rectangle is in client coordinates of the offsets it was measured with.
    const std::int64_t measuredOffsetX = offsetX_;
    const std::int64_t clientHeight = Host().ClientHeight();
    const std::int64_t clientWidth = Host().ClientWidth();
    bool scrolled = false;
    if (rect.Top >= 0) {
        if (rect.Bottom > clientHeight || center) {
            const bool hadHorizontalBar =
                HorizontalBarAllowed() && (ScrollBarOptions().AlwaysVisible() || clientWidth < RangeWidth);
            const std::int64_t target = center ? clientHeight / 2 : clientHeight;
            SetScrollOffsets(offsetX_, offsetY_ - static_cast<std::int64_t>(rect.Bottom) + target,
                             AllScrollUpdateOptions);
            // A horizontal bar that appears now covers the bottom of the client area: leave room for it.
            if (!useColumns && !hadHorizontalBar && Host().ClientWidth() < RangeWidth)
                SetScrollOffsets(
                    offsetX_, static_cast<std::int64_t>(offsetY_) - ScrollPort().HorizontalScrollBarHeight(),
                    AllScrollUpdateOptions);
            scrolled = true;
        }
    } else {
        const std::int64_t target = center ? clientHeight / 2 : 0;
        SetScrollOffsets(offsetX_, offsetY_ - static_cast<std::int64_t>(rect.Top) + target,
                         AllScrollUpdateOptions);
        scrolled = true;
    }
    if (horizontally && !(rect.Left >= 0 && rect.Right <= clientWidth)) {
        // The rectangle's centre, in tree coordinates, goes to the client area's centre.
        const std::int64_t centre = (static_cast<std::int64_t>(rect.Left) + rect.Right) / 2 - measuredOffsetX;
        SetScrollOffsets(clientWidth / 2 - centre, offsetY_, AllScrollUpdateOptions);
        scrolled = true;
    }
    return scrolled;
}

} // namespace tarvola
