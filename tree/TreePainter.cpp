#include "tree/TreePainter.h"

#include "base/Numerics.h"
#include "forms/Graphics.h"
#include "tree/CheckImages.h"
#include "tree/DrawingHelpersWin32.h"
#include "tree/Header.h"
#include "tree/StringTreeGdiCanvas.h"
#include "tree/TreeColors.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"
#include "tree/TreeResources.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <stdexcept>

namespace tarvola {
namespace {

// The drop modes the painter tells apart (the values of TDropMode).
constexpr TDropMode DropAbove = static_cast<TDropMode>(1);
constexpr TDropMode DropOnNode = static_cast<TDropMode>(2);
constexpr TDropMode DropBelow = static_cast<TDropMode>(3);

// A memory device context with one bitmap, made again whenever its size or format changes.
class TRowBitmap {
public:
    explicit TRowBitmap(HDC reference) : reference_(reference), dc_(CreateCompatibleDC(reference)) {
        if (dc_ == nullptr)
            throw std::runtime_error("Cannot create the tree's paint device context");
    }
    ~TRowBitmap() {
        Release();
        DeleteDC(dc_);
    }
    TRowBitmap(const TRowBitmap&) = delete;
    TRowBitmap& operator=(const TRowBitmap&) = delete;

    HDC DC() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The old content is lost. A 32-bit bitmap is a bottom-up DIB section, which blending needs.
    void SetSize(int width, int height, bool thirtyTwoBits) {
        Release();
        if (width <= 0 || height <= 0)
            return;
        HBITMAP bitmap = nullptr;
        if (thirtyTwoBits || GetDeviceCaps(reference_, BITSPIXEL) * GetDeviceCaps(reference_, PLANES) < 16) {
            BITMAPINFO info{};
            info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
            void* bits = nullptr;
            bitmap = CreateDIBSection(reference_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        } else {
            bitmap = CreateCompatibleBitmap(reference_, width, height);
        }
        if (bitmap == nullptr)
            throw std::runtime_error("Cannot create the tree's paint bitmap");
        original_ = SelectObject(dc_, bitmap);
        bitmap_ = bitmap;
        width_ = width;
        height_ = height;
    }

private:
    void Release() {
        if (bitmap_ == nullptr)
            return;
        SelectObject(dc_, original_);
        DeleteObject(bitmap_);
        bitmap_ = nullptr;
        width_ = height_ = 0;
    }

    HDC reference_;
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ original_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

RECT ToRect(const TTreeRect& r) {
    return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

void FillWith(HDC dc, const TTreeRect& r, COLORREF color) {
    if (r.Empty())
        return;
    HBRUSH brush = CreateSolidBrush(color);
    const RECT area = ToRect(r);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

// A rounded rectangle filled with one colour and outlined in another.
void FrameSelection(HDC dc, const TTreeRect& r, COLORREF fill, COLORREF border, int radius) {
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, border);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    RoundRect(dc, r.Left, r.Top, r.Right, r.Bottom, radius, radius);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

SIZE ImageListSize(HIMAGELIST list) {
    int width = 0, height = 0;
    if (list != nullptr)
        ImageList_GetIconSize(list, &width, &height);
    return SIZE{width, height};
}

// The phase of an 8-pixel pattern at tree coordinate 0 as a brush origin of a bitmap whose device 0 is at
// tree coordinate origin: patterns keep their place in the tree however the paint is sliced.
int PatternPhase(std::int64_t origin) {
    return static_cast<int>(((-origin) % 8 + 8) % 8);
}

bool RightToLeft(TBiDiMode mode) {
    return mode != TBiDiMode::bdLeftToRight;
}

} // namespace

// One PaintTree call: the decisions made once, the row bitmap and the walk over rows and cells.
class TTreePaintRun {
public:
    TTreePaintRun(TTreePainter& painter, TCanvas& target, const TTreeRect& window, POINT origin,
                  TVTInternalPaintOptions options, TPixelFormat pixelFormat,
                  const TTreePaintEnvironment& environment);
    void Paint();

private:
    // The settings one run reads.
    COLORREF Color(TVTColorIndex index) const { return ColorToRGB(tree_.Colors().Color(index)); }
    bool Has(TVTPaintOption option) const { return paintOptions_.Has(option); }
    bool Has(TVTSelectionOption option) const { return selectionOptions_.Has(option); }
    bool Has(TVTMiscOption option) const { return miscOptions_.Has(option); }
    bool ThirtyTwoBits() const;

    void PaintRows();
    void PaintRow(const TPaintRow& row);
    void PaintRowBackground(const TPaintRow& row, TTreeRect r);
    void PaintCells(const TPaintRow& row, const TVerticalAlignment& alignment);
    // Paints the cell in paintInfo_ when it shows; gives the next column to visit.
    TColumnIndex PaintCell(const TPaintRow& row, const TVerticalAlignment& alignment);
    void PlaceImages(const TPaintRow& row, bool mainColumn, int vAlign);
    void PaintGridLines(const TPaintRow& row, bool mainColumn);
    void PaintCellSelection();
    void PaintDecorations(const TPaintRow& row, bool mainColumn, const TVerticalAlignment& alignment);
    void PaintImage(TVTImageInfoIndex index, HIMAGELIST list, bool overlay);
    void PaintBandInRow(int rowTop);
    void PaintSpaceBelow();
    void PaintColumnStrips(HDC dc, int areaRight, int areaHeight);
    bool EditingCell() const;

    TTreePainter& painter_;
    TBaseVirtualTree& tree_;
    TCanvas& target_;
    const TTreeRect window_;
    const POINT origin_;
    TVTInternalPaintOptions options_;
    const TPixelFormat pixelFormat_;
    const TTreePaintEnvironment& env_;
    TVTPaintOptions paintOptions_;
    TVTSelectionOptions selectionOptions_;
    TVTMiscOptions miscOptions_;
    TVTHeader& header_;
    TVirtualTreeColumns& columns_;

    TRowBitmap bitmap_;
    TCanvas rowCanvas_;
    TGdiStringTreeCanvas textCanvas_;
    TVTPaintInfo paintInfo_;
    TTreeRect itemRect_;
    TTreeRect targetRect_;
    int maximumRight_ = 0;
    int maximumBottom_ = 0;
    TColumnIndex firstColumn_ = InvalidColumn;
    bool firstColumnSet_ = false;
    bool showBackground_ = false;
    HIMAGELIST checkImages_ = nullptr;
    bool hasColumns_ = false;
    std::optional<TTreeRect> band_; // tree coordinates, ordered
};

TTreePaintRun::TTreePaintRun(TTreePainter& painter, TCanvas& target, const TTreeRect& window, POINT origin,
                             TVTInternalPaintOptions options, TPixelFormat pixelFormat,
                             const TTreePaintEnvironment& environment)
    : painter_(painter), tree_(painter.tree_), target_(target), window_(window), origin_(origin),
      options_(options), pixelFormat_(pixelFormat), env_(environment),
      paintOptions_(tree_.TreeOptions().PaintOptions()),
      selectionOptions_(tree_.TreeOptions().SelectionOptions()),
      miscOptions_(tree_.TreeOptions().MiscOptions()), header_(tree_.Header()), columns_(header_.Columns()),
      bitmap_(target.Handle()), rowCanvas_(bitmap_.DC()), textCanvas_(bitmap_.DC()) {}

bool TTreePaintRun::ThirtyTwoBits() const {
    if (pixelFormat_ == TPixelFormat::pf32bit)
        return true;
    if (!MMXAvailable())
        return false;
    return tree_.Properties().DrawSelectionMode == TVTDrawSelectionMode::smBlendedRectangle ||
           tree_.InState(TreeState::tsUseThemes) || Has(TVTPaintOption::toUseBlendedSelection);
}

void TTreePaintRun::Paint() {
    paintInfo_.Canvas = &rowCanvas_;
    paintInfo_.TextCanvas = &textCanvas_;
    paintInfo_.Focused = env_.Focused;
    paintInfo_.Enabled = env_.Enabled;
    if (env_.RubberBand && !OrderedBand(*env_.RubberBand).Empty())
        band_ = OrderedBand(*env_.RubberBand);
    itemRect_ = {0, 0, std::max(tree_.RangeWidth, env_.ClientWidth), 0};
    SetMapMode(bitmap_.DC(), GetMapMode(target_.Handle()));
    showBackground_ =
        Has(TVTPaintOption::toShowBackground) && env_.Background != nullptr && (options_ & poBackground) != 0;
    const TCheckImageKind kind = tree_.Properties().CheckImageKind();
    checkImages_ = kind == TCheckImageKind::ckCustom ? env_.CustomCheckImages : GetCheckImageListFor(kind);
    if (!Has(TVTMiscOption::toCheckSupport))
        checkImages_ = nullptr;
    hasColumns_ = header_.UseColumns();
    options_ = RunPaintOptions(options_, {Has(TVTPaintOption::toAlwaysHideSelection),
                                          Has(TVTPaintOption::toHideSelection),
                                          Has(TVTPaintOption::toHideFocusRect), env_.Focused});
    maximumRight_ = CheckedAdd(static_cast<int>(origin_.x), window_.Right - window_.Left);
    maximumBottom_ = CheckedAdd(static_cast<int>(origin_.y), window_.Bottom - window_.Top);
    PaintRows();
    if (targetRect_.Top < maximumBottom_)
        PaintSpaceBelow();
}

void TTreePaintRun::PaintRows() {
    const bool showRoot = Has(TVTPaintOption::toShowRoot);
    TPaintRowWalker walker(tree_, window_.Top, tree_.Indent, TNodeButtonBitmaps::Size, showRoot);
    targetRect_ = {origin_.x, origin_.y, maximumRight_, origin_.y};
    if (walker.Done())
        return;
    targetRect_.Top = CheckedSub(static_cast<int>(origin_.y),
                                 CheckedCast<int>(CheckedSub<std::int64_t>(window_.Top, walker.Row().Top)));
    for (; !walker.Done(); walker.Next()) {
        const TPaintRow& row = walker.Row();
        targetRect_.Bottom = CheckedAdd(targetRect_.Top, row.Height);
        // A row of height 0 has nothing to show and no bitmap to draw into.
        if (row.Height > 0 && (row.SelectLevel > 0 || (options_ & poSelectedOnly) == 0))
            PaintRow(row);
        targetRect_.Top = targetRect_.Bottom;
        if (targetRect_.Top >= maximumBottom_)
            break;
    }
}

void TTreePaintRun::PaintRow(const TPaintRow& row) {
    HDC dc = bitmap_.DC();
    const int width = window_.Right - window_.Left;
    if (bitmap_.Height() != row.Height || bitmap_.Width() != width)
        bitmap_.SetSize(width, row.Height, ThirtyTwoBits());
    SetWindowOrgEx(dc, window_.Left, 0, nullptr);
    itemRect_.Bottom = row.Height;
    paintInfo_.Node = row.Node;
    paintInfo_.BrushOrigin = {PatternPhase(window_.Left), PatternPhase(row.Top)};
    SetBrushOrgEx(dc, paintInfo_.BrushOrigin.X, paintInfo_.BrushOrigin.Y, nullptr);

    const HIMAGELIST shownImages = env_.Images != nullptr ? env_.Images : env_.StateImages;
    TAlignmentInput input;
    input.Alignment = tree_.Properties().NodeAlignment();
    input.NodeHeight = row.Height;
    input.Align = row.Node->Align;
    input.ImageHeight = ImageListSize(shownImages).cy;
    input.ShowButtons = Has(TVTPaintOption::toShowButtons);
    input.ButtonHeight = TNodeButtonBitmaps::Size;
    const TVerticalAlignment alignment = DetermineVerticalAlignment(input);

    if (!tree_.DoBeforeItemPaint(&rowCanvas_, row.Node, itemRect_)) {
        PaintRowBackground(row, {window_.Left, 0, window_.Right, row.Height});
        PaintCells(row, alignment);
        tree_.DoAfterItemPaint(&rowCanvas_, row.Node, itemRect_);
        if (row.Node == tree_.DropTargetNode() && Has(TVTPaintOption::toShowDropmark) &&
            (options_ & poDrawDropMark) != 0 &&
            (env_.LastDropMode == DropAbove || env_.LastDropMode == DropBelow))
            PaintDropMark(dc, ToRect(itemRect_), env_.LastDropMode == DropAbove,
                          Color(TVTColorIndex::DropMarkColor));
    }
    if (band_)
        PaintBandInRow(CheckedCast<int>(row.Top));
    BitBlt(target_.Handle(), targetRect_.Left, targetRect_.Top, width, row.Height, dc, window_.Left, 0,
           SRCCOPY);
}

void TTreePaintRun::PaintRowBackground(const TPaintRow& row, TTreeRect r) {
    HDC dc = bitmap_.DC();
    std::uint32_t color = static_cast<std::uint32_t>(env_.TreeColor);
    auto action = TBaseVirtualTree::TItemEraseAction::eaDefault;
    tree_.DoBeforeItemErase(&rowCanvas_, row.Node, r, color, action);
    if (action == TBaseVirtualTree::TItemEraseAction::eaColor) {
        FillWith(dc, r, ColorToRGB(color));
    } else if (action == TBaseVirtualTree::TItemEraseAction::eaDefault) {
        const bool fullRowHighlight = (options_ & poDrawSelection) != 0 &&
                                      Has(TVTSelectionOption::toFullRowSelect) && tree_.Selected(row.Node) &&
                                      !Has(TVTPaintOption::toUseBlendedSelection);
        if (showBackground_) {
            TBackgroundPaint background;
            background.Picture = env_.Background;
            background.R = ToRect(r);
            background.Offset = {tree_.OffsetX(), CheckedCast<int>(row.Top)};
            background.BackgroundOffset = {tree_.Properties().BackgroundOffsetX(),
                                           tree_.Properties().BackgroundOffsetY()};
            background.TreeColor = env_.TreeColor;
            if (Has(TVTPaintOption::toStaticBackground))
                DrawStaticBackground(dc, background);
            else
                TileBackground(dc, background);
        } else if (fullRowHighlight) {
            TTreeRect highlight = r;
            if (Has(TVTPaintOption::toShowHorzGridLines))
                --highlight.Bottom;
            const bool active = env_.Focused || Has(TVTPaintOption::toPopupMode);
            FrameSelection(
                dc, highlight,
                Color(active ? TVTColorIndex::FocusedSelectionColor : TVTColorIndex::UnfocusedSelectionColor),
                Color(active ? TVTColorIndex::FocusedSelectionBorderColor
                             : TVTColorIndex::UnfocusedSelectionBorderColor),
                static_cast<int>(tree_.Properties().SelectionCurveRadius()));
        } else {
            FillWith(dc, r, env_.TreeColor);
        }
    }
    tree_.DoAfterItemErase(&rowCanvas_, row.Node, r);
}

void TTreePaintRun::PaintCells(const TPaintRow& row, const TVerticalAlignment& alignment) {
    paintInfo_.CellRect = itemRect_;
    if (hasColumns_) {
        const TColumnIndex first = columns_.GetFirstVisibleColumn();
        if (!columns_.IsValidColumn(first))
            return;
        paintInfo_.Column = first;
        paintInfo_.Position = columns_[first].Position();
        paintInfo_.CellRect.Right = paintInfo_.CellRect.Left + columns_[first].Width();
    }
    while (true) {
        const TColumnIndex next = PaintCell(row, alignment);
        if (!hasColumns_ || paintInfo_.CellRect.Left >= window_.Right || !columns_.IsValidColumn(next))
            break;
        paintInfo_.Column = next;
        paintInfo_.Position = columns_[next].Position();
        if (columns_[next].Has(coVisible)) {
            paintInfo_.CellRect.Left = columns_[next].Left();
            paintInfo_.CellRect.Right = CheckedAdd(paintInfo_.CellRect.Left, columns_[next].Width());
        }
        paintInfo_.CellRect.Bottom = row.Height;
        paintInfo_.ContentRect.Bottom = row.Height;
    }
}

bool TTreePaintRun::EditingCell() const {
    return tree_.InState(TreeState::tsEditing) && paintInfo_.Node == tree_.FocusedNode() &&
           (!hasColumns_ || paintInfo_.Column == tree_.EditColumn());
}

TColumnIndex TTreePaintRun::PaintCell(const TPaintRow& row, const TVerticalAlignment& alignment) {
    TVTPaintInfo& info = paintInfo_;
    if (hasColumns_) {
        const TVirtualTreeColumn& column = columns_[info.Column];
        if (!firstColumnSet_) {
            firstColumn_ = info.Column;
            firstColumnSet_ = true;
        }
        info.BidiMode = column.BiDiMode();
        info.Alignment = column.Alignment();
    } else {
        info.Column = NoColumn;
        info.BidiMode = env_.RightToLeft ? TBiDiMode::bdRightToLeft : TBiDiMode::bdLeftToRight;
        info.Alignment = tree_.Properties().Alignment();
    }
    const bool parentColor = hasColumns_ && columns_[info.Column].Has(coParentColor);
    info.PaintOptions = CellPaintOptions(
        options_, {EditingCell(), hasColumns_,
                   tree_.Selected(row.Node) && Has(TVTSelectionOption::toFullRowSelect), parentColor});
    const bool mainColumn = !hasColumns_ || info.Column == header_.MainColumn();
    info.Alignment = MirroredAlignment(info.Alignment, info.BidiMode);

    const bool shows = (!hasColumns_ || columns_[info.Column].Has(coVisible)) &&
                       ((options_ & poMainOnly) == 0 || mainColumn);
    TColumnIndex next = InvalidColumn;
    if (!shows) {
        if (hasColumns_)
            next = columns_.GetNextVisibleColumn(info.Column);
        return next;
    }
    tree_.AdjustPaintCellRect(info, next);
    if (info.CellRect.Right <= window_.Left)
        return next;

    HDC dc = bitmap_.DC();
    info.NodeWidth = tree_.GetNodeWidth(row.Node, info.Column);
    info.ContentRect = info.CellRect;
    if (RightToLeft(info.BidiMode))
        info.ContentRect.Right -= tree_.Margin;
    else
        info.ContentRect.Left += tree_.Margin;
    PlaceImages(row, mainColumn, alignment.VAlign);
    // Only the clipping is undone after the cell: restoring a saved state would also take back the font the
    // text canvas selected, and the canvas would then draw the next cells in the device's default font.
    if (hasColumns_)
        IntersectClipRect(dc, info.CellRect.Left, info.CellRect.Top, info.CellRect.Right,
                          info.CellRect.Bottom);
    PaintGridLines(row, mainColumn);
    PaintCellSelection();
    PaintDecorations(row, mainColumn, alignment);
    if (!EditingCell())
        tree_.PaintNodeContent(info);
    tree_.DoAfterCellPaint(&rowCanvas_, row.Node, info.Column, info.CellRect);
    if (hasColumns_)
        SelectClipRgn(dc, nullptr);
    return next;
}

void TTreePaintRun::PlaceImages(const TPaintRow& row, bool mainColumn, int vAlign) {
    TVTPaintInfo& info = paintInfo_;
    const bool rightToLeft = RightToLeft(info.BidiMode);
    auto place = [&](TVTImageInfoIndex which, int index, HIMAGELIST list) {
        TVTImageInfo& image = info.Image(which);
        image.Index = index;
        if (index < 0) {
            image.Index = -1;
            return;
        }
        const SIZE size = ImageListSize(list);
        const TImagePlacement placement =
            AdjustImageBorder(size.cx, size.cy, rightToLeft, vAlign, info.ContentRect);
        image.XPos = placement.Pos.X;
        image.YPos = placement.Pos.Y;
        info.ContentRect = placement.Remaining;
    };
    info.Image(TVTImageInfoIndex::iiCheck).Index = -1;
    info.Image(TVTImageInfoIndex::iiState).Index = -1;
    info.Image(TVTImageInfoIndex::iiNormal).Index = -1;
    if (mainColumn && checkImages_ != nullptr) {
        place(TVTImageInfoIndex::iiCheck, tree_.GetCheckImageIndex(row.Node), checkImages_);
        info.Image(TVTImageInfoIndex::iiCheck).Ghosted = false;
    }
    if (env_.StateImages != nullptr) {
        bool ghosted = false;
        const int index = tree_.GetImageIndex(row.Node, TVTImageKind::ikState, info.Column, ghosted);
        info.Image(TVTImageInfoIndex::iiState).Ghosted = ghosted;
        place(TVTImageInfoIndex::iiState, index, env_.StateImages);
    }
    if (env_.Images != nullptr) {
        bool ghosted = false;
        const TVTImageKind kind =
            tree_.Selected(row.Node) ? TVTImageKind::ikSelected : TVTImageKind::ikNormal;
        const int index = tree_.GetImageIndex(row.Node, kind, info.Column, ghosted);
        info.Image(TVTImageInfoIndex::iiNormal).Ghosted = ghosted;
        place(TVTImageInfoIndex::iiNormal, index, env_.Images);
    }
    if (!mainColumn)
        return;
    const int offset = CheckedMul(row.IndentSize, tree_.Indent);
    const int signedOffset = rightToLeft ? -offset : offset;
    if (rightToLeft)
        info.ContentRect.Right -= offset;
    else
        info.ContentRect.Left += offset;
    for (TVTImageInfo& image : info.ImageInfo)
        image.XPos += signedOffset;
}

void TTreePaintRun::PaintGridLines(const TPaintRow& row, bool mainColumn) {
    TVTPaintInfo& info = paintInfo_;
    HDC dc = bitmap_.DC();
    HBRUSH dotted = painter_.lineBrush_->Handle();
    const COLORREF oldText = SetTextColor(dc, Color(TVTColorIndex::GridLineColor));
    const COLORREF oldBack = SetBkColor(dc, env_.TreeColor);
    if ((options_ & poGridLines) != 0 && Has(TVTPaintOption::toShowHorzGridLines)) {
        int left = info.CellRect.Left, right = info.CellRect.Right;
        if (mainColumn && tree_.Properties().LineMode() == TVTLineMode::lmBands) {
            const int indentWidth = CheckedMul(row.IndentSize, tree_.Indent);
            if (RightToLeft(info.BidiMode))
                right = info.CellRect.Right - indentWidth - 1;
            else {
                left = info.CellRect.Left + indentWidth;
                right = info.CellRect.Right - 1;
            }
        }
        DrawDottedHLine(dc, dotted, left, right, info.CellRect.Bottom - 1);
        --info.CellRect.Bottom;
        --info.ContentRect.Bottom;
    }
    const bool lastWithAutoResize =
        header_.Has(hoAutoResize) && hasColumns_ && columns_[info.Column].Position() == columns_.Count() - 1;
    if (hasColumns_ && (options_ & poGridLines) != 0 && Has(TVTPaintOption::toShowVertGridLines) &&
        !lastWithAutoResize) {
        if (!RightToLeft(info.BidiMode) || !tree_.CellIsEmpty(row.Node, info.Column))
            DrawDottedVLine(dc, dotted, info.CellRect.Top, info.CellRect.Bottom, info.CellRect.Right - 1);
        --info.CellRect.Right;
        --info.ContentRect.Right;
    }
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

void TTreePaintRun::PaintCellSelection() {
    TVTPaintInfo& info = paintInfo_;
    HDC dc = bitmap_.DC();
    if ((info.PaintOptions & poColumnColor) != 0 && hasColumns_)
        FillWith(dc, info.CellRect, ColorToRGB(columns_[info.Column].Color()));
    tree_.DoBeforeCellPaint(&rowCanvas_, info.Node, info.Column, info.CellRect);
    const bool fullRow = Has(TVTSelectionOption::toFullRowSelect);
    if (info.Column != tree_.FocusedColumn() && !fullRow)
        return;
    TTreeRect inner = info.ContentRect;
    if (!Has(TVTMiscOption::toGridExtensions))
        inner = SelectionInnerRect(info.ContentRect, info.Alignment, info.NodeWidth);
    const bool active = env_.Focused || Has(TVTPaintOption::toPopupMode);
    if ((info.PaintOptions & poDrawSelection) != 0) {
        std::optional<std::pair<COLORREF, COLORREF>> colors; // fill and border
        const bool selected = tree_.Selected(info.Node);
        if (info.Node == tree_.DropTargetNode()) {
            if (env_.LastDropMode == DropOnNode || selected)
                colors = {Color(TVTColorIndex::DropTargetColor), Color(TVTColorIndex::DropTargetBorderColor)};
        } else if (selected) {
            colors = {
                Color(active ? TVTColorIndex::FocusedSelectionColor : TVTColorIndex::UnfocusedSelectionColor),
                Color(active ? TVTColorIndex::FocusedSelectionBorderColor
                             : TVTColorIndex::UnfocusedSelectionBorderColor)};
        }
        if (colors) {
            TTreeRect fill = Has(TVTMiscOption::toGridExtensions) || fullRow ? info.CellRect : inner;
            if (!fill.Empty()) {
                if (Has(TVTPaintOption::toUseBlendedSelection) && ThirtyTwoBits()) {
                    RECT blended{std::max(fill.Left - window_.Left, 0), fill.Top,
                                 std::min(fill.Right - window_.Left, bitmap_.Width()), fill.Bottom};
                    if (blended.right > blended.left)
                        AlphaBlendRect(nullptr, dc, blended, POINT{0, 0}, TBlendMode::bmConstantAlphaAndColor,
                                       tree_.Properties().SelectionBlendFactor,
                                       static_cast<int>(colors->first));
                } else {
                    FrameSelection(dc, fill, colors->first, colors->second,
                                   static_cast<int>(tree_.Properties().SelectionCurveRadius()));
                }
            }
        }
    }
    if ((info.PaintOptions & poDrawFocusRect) != 0 && info.Column == tree_.FocusedColumn() && active &&
        tree_.FocusedNode() == info.Node) {
        const RECT focus = ToRect(Has(TVTMiscOption::toGridExtensions) ? info.CellRect : inner);
        const COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
        const COLORREF oldBack = SetBkColor(dc, RGB(0, 0, 0));
        DrawFocusRect(dc, &focus);
        SetBkColor(dc, oldBack);
        SetTextColor(dc, oldText);
    }
}

void TTreePaintRun::PaintDecorations(const TPaintRow& row, bool mainColumn,
                                     const TVerticalAlignment& alignment) {
    TVTPaintInfo& info = paintInfo_;
    HDC dc = bitmap_.DC();
    const bool rightToLeft = RightToLeft(info.BidiMode);
    if (mainColumn) {
        if (Has(TVTPaintOption::toShowTreeLines)) {
            TTreeLinesPaint lines;
            lines.CellRect = ToRect(info.CellRect);
            lines.NodeHeight = row.Height;
            lines.Indent = tree_.Indent;
            lines.VAlign = alignment.VAlign;
            lines.LineImage.assign(row.LineImage.begin(), row.LineImage.begin() + row.IndentSize);
            lines.RightToLeft = rightToLeft;
            lines.LineMode = tree_.Properties().LineMode();
            lines.GridLines = (options_ & poGridLines) != 0;
            lines.ExpandedWithVisibleChildren =
                tree_.Expanded(row.Node) && tree_.GetFirstVisibleChild(row.Node) != nullptr;
            lines.TreeColor = env_.TreeColor;
            lines.TreeLineColor = Color(TVTColorIndex::TreeLineColor);
            lines.GridLineColor = Color(TVTColorIndex::GridLineColor);
            lines.BrushOrigin = {info.BrushOrigin.X, info.BrushOrigin.Y};
            PaintTreeLines(dc, painter_.lineBrush_->Handle(), lines);
        }
        const bool hasChildren = (row.Node->States & nsHasChildren) != 0;
        const bool hiddenChildren = (row.Node->States & nsAllChildrenHidden) != 0 &&
                                    tree_.TreeOptions().AutoOptions().Has(TVTAutoOption::toAutoHideButtons);
        if (Has(TVTPaintOption::toShowButtons) && hasChildren && !hiddenChildren)
            PaintNodeButton(dc, painter_.buttons_, tree_.Expanded(row.Node), ToRect(info.CellRect),
                            row.ButtonX, alignment.VButtonAlign, rightToLeft);
        const TVTImageInfo& check = info.Image(TVTImageInfoIndex::iiCheck);
        if (check.Index >= 0) {
            TCheckImagePaint paint;
            paint.Index = check.Index;
            paint.XPos = check.XPos;
            paint.YPos = check.YPos;
            paint.Images = checkImages_;
            const bool themed = tree_.InState(TreeState::tsUseThemes) &&
                                tree_.Properties().CheckImageKind() != TCheckImageKind::ckCustom;
            paint.Theme = themed ? env_.Theme : nullptr;
            paint.UtilityImages = UtilityImages();
            PaintCheckImage(dc, paint);
        }
    }
    if (info.Image(TVTImageInfoIndex::iiState).Index >= 0)
        PaintImage(TVTImageInfoIndex::iiState, env_.StateImages, false);
    if (info.Image(TVTImageInfoIndex::iiNormal).Index >= 0)
        PaintImage(TVTImageInfoIndex::iiNormal, env_.Images, true);
}

void TTreePaintRun::PaintImage(TVTImageInfoIndex index, HIMAGELIST list, bool overlay) {
    const TVTImageInfo& image = paintInfo_.Image(index);
    const PVirtualNode node = paintInfo_.Node;
    TNodeImagePaint paint;
    paint.Images = list;
    paint.Index = image.Index;
    paint.XPos = image.XPos;
    paint.YPos = image.YPos;
    if (overlay) {
        bool ghosted = false;
        paint.Overlay = tree_.GetImageIndex(node, TVTImageKind::ikOverlay, paintInfo_.Column, ghosted);
    }
    paint.Enabled = env_.Enabled && (node->States & nsDisabled) == 0;
    const bool cut = (node->States & nsCutOrCopy) != 0 && tree_.InState(TreeState::tsCutPending);
    const bool unfocusedGhost =
        Has(TVTPaintOption::toGhostedIfUnfocused) && !env_.Focused && tree_.Selected(node);
    paint.Blend = image.Ghosted || (Has(TVTPaintOption::toUseBlendedImages) && (cut || unfocusedGhost));
    PaintNodeImage(bitmap_.DC(), paint);
}

void TTreePaintRun::PaintBandInRow(int rowTop) {
    TSelectionRectanglePaint band;
    const TTreeRect inRow{band_->Left, band_->Top - rowTop, band_->Right, band_->Bottom - rowTop};
    band.SelectionRect = ToRect(inRow);
    band.TargetRect = RECT{0, 0, bitmap_.Width(), bitmap_.Height()};
    band.WindowOrgX = window_.Left;
    band.Blended = ThirtyTwoBits() &&
                   (tree_.Properties().DrawSelectionMode == TVTDrawSelectionMode::smBlendedRectangle ||
                    tree_.InState(TreeState::tsUseThemes));
    band.BlendFactor = tree_.Properties().SelectionBlendFactor;
    band.BlendColor = Color(TVTColorIndex::SelectionRectangleBlendColor);
    band.BorderColor = Color(TVTColorIndex::SelectionRectangleBorderColor);
    PaintSelectionRectangle(bitmap_.DC(), band);
}

void TTreePaintRun::PaintSpaceBelow() {
    const POINT target{targetRect_.Left, targetRect_.Top};
    const int areaWidth = maximumRight_ - target.x;
    const int areaHeight = maximumBottom_ - target.y;
    if (areaWidth <= 0 || areaHeight <= 0)
        return;
    bitmap_.SetSize(areaWidth + 1, areaHeight + 1, true);
    HDC dc = bitmap_.DC();
    const TTreeRect area{0, 0, areaWidth, areaHeight};
    // The tree coordinates of the area's top-left corner: dotted lines keep their phase in the tree.
    const int treeX =
        CheckedAdd(window_.Left, CheckedSub(static_cast<int>(target.x), static_cast<int>(origin_.x)));
    const int treeY =
        CheckedAdd(window_.Top, CheckedSub(static_cast<int>(target.y), static_cast<int>(origin_.y)));
    SetBrushOrgEx(dc, PatternPhase(treeX), PatternPhase(treeY), nullptr);
    SetWindowOrgEx(dc, target.x, 0, nullptr);
    if (!tree_.DoPaintBackground(&rowCanvas_, area)) {
        if (showBackground_) {
            SetWindowOrgEx(dc, 0, 0, nullptr);
            TBackgroundPaint background;
            background.Picture = env_.Background;
            background.R = ToRect(area);
            background.Offset = target;
            background.BackgroundOffset = {tree_.Properties().BackgroundOffsetX(),
                                           tree_.Properties().BackgroundOffsetY()};
            background.TreeColor = env_.TreeColor;
            if (Has(TVTPaintOption::toStaticBackground))
                DrawStaticBackground(dc, background);
            else
                TileBackground(dc, background);
        } else if (hasColumns_) {
            PaintColumnStrips(dc, target.x + areaWidth, areaHeight);
            SetWindowOrgEx(dc, 0, 0, nullptr);
        } else {
            SetWindowOrgEx(dc, 0, 0, nullptr);
            FillWith(dc, area, env_.TreeColor);
        }
    }
    SetWindowOrgEx(dc, 0, 0, nullptr);
    if (band_) {
        TSelectionRectanglePaint band;
        band.SelectionRect =
            RECT{band_->Left - treeX, band_->Top - treeY, band_->Right - treeX, band_->Bottom - treeY};
        band.TargetRect = ToRect(area);
        band.Blended = (tree_.Properties().DrawSelectionMode == TVTDrawSelectionMode::smBlendedRectangle ||
                        tree_.InState(TreeState::tsUseThemes)) &&
                       MMXAvailable();
        band.BlendFactor = tree_.Properties().SelectionBlendFactor;
        band.BlendColor = Color(TVTColorIndex::SelectionRectangleBlendColor);
        band.BorderColor = Color(TVTColorIndex::SelectionRectangleBorderColor);
        PaintSelectionRectangle(dc, band);
    }
    BitBlt(target_.Handle(), target.x, target.y, areaWidth, areaHeight, dc, 0, 0, SRCCOPY);
}

void TTreePaintRun::PaintColumnStrips(HDC dc, int areaRight, int areaHeight) {
    const bool fullGrid = (options_ & poGridLines) != 0 && Has(TVTPaintOption::toFullVertGridLines) &&
                          Has(TVTPaintOption::toShowVertGridLines);
    const bool autoResize = header_.Has(hoAutoResize);
    TColumnIndex column = firstColumnSet_ ? firstColumn_ : columns_.GetFirstVisibleColumn();
    if (!firstColumnSet_) {
        // No row was painted: start with the first column that reaches into the client area.
        while (columns_.IsValidColumn(column)) {
            int left = 0, right = 0;
            columns_.GetColumnBounds(column, left, right);
            if (right > 0)
                break;
            column = columns_.GetNextVisibleColumn(column);
        }
    }
    HBRUSH dotted = painter_.lineBrush_->Handle();
    int filledTo = std::numeric_limits<int>::min();
    while (columns_.IsValidColumn(column)) {
        int left = 0, right = 0;
        columns_.GetColumnBounds(column, left, right);
        if (left >= areaRight)
            break;
        filledTo = right;
        if (columns_[column].Has(coVisible)) {
            int stripRight = right;
            if (fullGrid && !(autoResize && column == columns_.Count() - 1)) {
                const COLORREF oldText = SetTextColor(dc, Color(TVTColorIndex::GridLineColor));
                const COLORREF oldBack = SetBkColor(dc, env_.TreeColor);
                DrawDottedVLine(dc, dotted, 0, areaHeight - 1, right - 1);
                SetBkColor(dc, oldBack);
                SetTextColor(dc, oldText);
                --stripRight;
            }
            const COLORREF color =
                columns_[column].Has(coParentColor) ? env_.TreeColor : ColorToRGB(columns_[column].Color());
            FillWith(dc, {left, 0, stripRight, areaHeight}, color);
        }
        column = columns_.GetNextVisibleColumn(column);
    }
    if (filledTo == std::numeric_limits<int>::min())
        filledTo = origin_.x;
    if (filledTo < areaRight)
        FillWith(dc, {filledTo, 0, areaRight, areaHeight}, env_.TreeColor);
}

void TTreePainter::PrepareResources(const TTreePaintEnvironment& environment) {
    const TVirtualTreeProperties& properties = tree_.Properties();
    TButtonBitmapStyle style;
    style.Style = properties.ButtonStyle();
    style.FillMode = properties.ButtonFillMode();
    style.TreeColor = environment.TreeColor;
    style.WindowColor = GetSysColor(COLOR_WINDOW);
    style.TreeLineColor = ColorToRGB(tree_.Colors().Color(TVTColorIndex::TreeLineColor));
    style.FontColor = environment.FontColor.value_or(GetSysColor(COLOR_WINDOWTEXT));
    style.Theme = tree_.InState(TreeState::tsUseThemes) ? environment.Theme : nullptr;
    const bool same = buttonsValid_ && style.Style == buttonStyle_.Style &&
                      style.FillMode == buttonStyle_.FillMode && style.TreeColor == buttonStyle_.TreeColor &&
                      style.WindowColor == buttonStyle_.WindowColor &&
                      style.TreeLineColor == buttonStyle_.TreeLineColor &&
                      style.FontColor == buttonStyle_.FontColor && style.Theme == buttonStyle_.Theme;
    if (!same) {
        buttons_.Prepare(style);
        buttonStyle_ = style;
        buttonsValid_ = true;
    }
    if (lineBrush_ == nullptr || lineStyle_ != properties.LineStyle()) {
        lineStyle_ = properties.LineStyle();
        lineBrush_ = std::make_unique<TDottedBrush>(LineStylePattern(lineStyle_));
    }
}

void TTreePainter::PaintTree(TCanvas& target, const TTreeRect& window, POINT targetOrigin,
                             TVTInternalPaintOptions options, TPixelFormat pixelFormat,
                             const TTreePaintEnvironment& environment) {
    tree_.EnterPainting();
    // Whatever fails inside, the run ends the same way: bitmap freed, OnAfterPaint fired, state left.
    std::exception_ptr failure;
    try {
        tree_.DoBeforePaint(&target);
        if (!window.Empty()) {
            PrepareResources(environment);
            TTreePaintRun run(*this, target, window, targetOrigin, options, pixelFormat, environment);
            run.Paint();
        }
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        tree_.DoAfterPaint(&target);
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    try {
        tree_.LeavePainting();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace tarvola
