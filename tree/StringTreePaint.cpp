// Painting a cell's texts: colours by hot tracking, selection and enabled state, the shortening of a text too
// wide for its cell, the static text after the normal one, auto-span over empty columns, and the height of
// word-wrapped texts.
#include "tree/StringTree.h"

#include "tree/Header.h"
#include "tree/TreePaintLayout.h"

#include <algorithm>

namespace tarvola {
namespace {

bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

std::uint32_t AlignmentFormat(TAlignment alignment) {
    switch (alignment) {
    case TAlignment::taRightJustify:
        return TextFormatRight;
    case TAlignment::taCenter:
        return TextFormatCenter;
    default:
        return TextFormatLeft;
    }
}

} // namespace

std::wstring ShortenCellText(IStringTreeCanvas& canvas, const std::wstring& text, int width, bool rightToLeft,
                             int ellipsisWidth) {
    if (text.empty() || canvas.TextWidth(text) <= width)
        return text;
    if (ellipsisWidth <= 0)
        ellipsisWidth = canvas.TextWidth(L"...");
    if (width < ellipsisWidth)
        return {};
    const int room = width - ellipsisWidth;
    const auto part = [&](std::size_t count) {
        return rightToLeft ? text.substr(text.size() - count) : text.substr(0, count);
    };
    // The longest part that fits beside the ellipsis; widths grow with the count of characters kept.
    std::size_t low = 0, high = text.size();
    while (low < high) {
        const std::size_t middle = low + (high - low + 1) / 2;
        if (canvas.TextWidth(part(middle)) <= room)
            low = middle;
        else
            high = middle - 1;
    }
    // Never keep half of a surrogate pair.
    if (low > 0) {
        const bool splitsPair = rightToLeft ? IsLowSurrogate(text[text.size() - low])
                                            : low < text.size() && IsLowSurrogate(text[low]);
        if (splitsPair)
            --low;
    }
    std::wstring result = rightToLeft ? std::wstring(L"...") : part(low);
    result.append(rightToLeft ? part(low) : std::wstring(L"..."));
    return result;
}

std::wstring TCustomVirtualStringTree::DoShortenString(IStringTreeCanvas& canvas, PVirtualNode node,
                                                       TColumnIndex column, const std::wstring& s, int width,
                                                       bool rightToLeft, int ellipsisWidth) {
    std::wstring result;
    bool done = false;
    if (OnShortenString)
        OnShortenString(*this, canvas, Published(node), column, s, width, rightToLeft, result, done);
    if (!done)
        result = ShortenCellText(canvas, s, width, rightToLeft, ellipsisWidth);
    return result;
}

void TCustomVirtualStringTree::DrawCellText(IStringTreeCanvas& canvas, const std::wstring& text,
                                            const TTreeRect& rect, std::uint32_t drawFormat) {
    canvas.DrawTextInRect(text, rect, drawFormat);
}

bool TCustomVirtualStringTree::ShowsSelection(const TStringPaintInfo& info) const {
    const PVirtualNode node = info.Node;
    const bool selected = Selected(node);
    if (node == DropTargetNode() && (info.DropModeActive || selected))
        return true;
    return selected && (info.Focused || Look.PopupMode);
}

void TCustomVirtualStringTree::PaintNodeContent(TStringPaintInfo& info) {
    IStringTreeCanvas& canvas = *info.Canvas;
    const std::uint32_t savedFlags = canvas.TextFlags;
    const std::wstring text = GetText(info.Node, info.Column);
    // Measured before the colours are set up: measuring puts the tree font into the canvas.
    const int nodeWidth = GetNodeWidth(info.Node, info.Column, &canvas);
    if (!text.empty())
        PaintNormalText(info, text, nodeWidth);
    const bool multiline = (info.Node->States & nsMultiline) != 0;
    if (Look.Alignment != TAlignment::taCenter && !multiline && Has(toShowStaticText)) {
        const std::wstring staticText = GetStaticText(info.Node, info.Column);
        if (!staticText.empty())
            PaintStaticText(info, staticText, nodeWidth);
    }
    canvas.TextFlags = savedFlags;
}

void TCustomVirtualStringTree::PaintNodeContent(TVTPaintInfo& paintInfo) {
    if (paintInfo.TextCanvas == nullptr)
        return;
    TStringPaintInfo info;
    info.Canvas = paintInfo.TextCanvas;
    info.Node = paintInfo.Node;
    info.Column = paintInfo.Column;
    info.ContentRect = paintInfo.ContentRect;
    info.Alignment = paintInfo.Alignment;
    info.RightToLeft = paintInfo.BidiMode != TBiDiMode::bdLeftToRight;
    info.DrawSelection = (paintInfo.PaintOptions & poDrawSelection) != 0;
    info.Focused = paintInfo.Focused;
    info.Enabled = paintInfo.Enabled;
    PaintNodeContent(info);
}

void TCustomVirtualStringTree::AdjustPaintCellRect(TVTPaintInfo& paintInfo, TColumnIndex& nextNonEmpty) {
    AdjustPaintCellRect(paintInfo.Node, paintInfo.Column, paintInfo.CellRect, nextNonEmpty);
}

void TCustomVirtualStringTree::PaintNormalText(TStringPaintInfo& info, const std::wstring& text,
                                               int nodeWidth) {
    IStringTreeCanvas& canvas = *info.Canvas;
    const PVirtualNode node = info.Node;
    canvas.Font = Look.Font;
    if (Look.HotTrack && node == HotNode()) {
        canvas.Font.Style |= TextFontUnderline;
        canvas.Font.Color = Look.HotColor;
    }
    if (info.DrawSelection && (info.Column == FocusedColumn() || Look.FullRowSelect) && ShowsSelection(info))
        canvas.Font.Color = Look.HighlightTextColor;

    TTreeRect rect = info.ContentRect;
    rect.Left += Look.TextMargin;
    rect.Right -= Look.TextMargin;
    canvas.TextFlags = 0;
    const bool disabled = (node->States & nsDisabled) != 0 || !info.Enabled;
    std::uint32_t format = TextFormatNoPrefix;
    if (info.RightToLeft)
        format |= TextFormatRtlReading;
    std::wstring shown = text;
    if ((node->States & nsMultiline) != 0) {
        DoPaintText(node, canvas, info.Column, TVSTTextType::ttNormal);
        if (disabled)
            canvas.Font.Color = Look.DisabledColor;
        format |= AlignmentFormat(info.Alignment) | TextFormatWordBreak | TextFormatEndEllipsis |
                  TextFormatEditControl;
    } else {
        const TTextFont before = canvas.Font;
        DoPaintText(node, canvas, info.Column, TVSTTextType::ttNormal);
        int ellipsisWidth = ellipsisWidth_;
        if (!(canvas.Font == before)) {
            // The owner's font: the stored widths do not apply.
            ellipsisWidth = 0;
            nodeWidth = canvas.TextWidth(text) + 2 * Look.TextMargin;
        }
        if (disabled)
            canvas.Font.Color = Look.DisabledColor;
        format |= TextFormatVCenter | TextFormatSingleLine;
        const int space = rect.Right - rect.Left;
        if (info.Column >= 0 && nodeWidth - 2 * Look.TextMargin > space) {
            shown = DoShortenString(canvas, node, info.Column, text, space, info.RightToLeft, ellipsisWidth);
            format |= info.Alignment == TAlignment::taRightJustify ? TextFormatRight : TextFormatLeft;
        } else {
            format |= AlignmentFormat(info.Alignment);
        }
    }
    DrawCellText(canvas, shown, rect, format);
}

void TCustomVirtualStringTree::PaintStaticText(TStringPaintInfo& info, const std::wstring& text,
                                               int nodeWidth) {
    IStringTreeCanvas& canvas = *info.Canvas;
    const PVirtualNode node = info.Node;
    canvas.Font = Look.Font;
    if (Look.FullRowSelect && ShowsSelection(info))
        canvas.Font.Color = Look.HighlightTextColor;
    std::uint32_t format = TextFormatNoPrefix | TextFormatVCenter | TextFormatSingleLine;
    if (info.RightToLeft)
        format |= TextFormatRtlReading;
    canvas.TextFlags = 0;
    DoPaintText(node, canvas, info.Column, TVSTTextType::ttStatic);
    if ((node->States & nsDisabled) != 0 || !info.Enabled)
        canvas.Font.Color = Look.DisabledColor;
    TTreeRect rect = info.ContentRect;
    const int offset = nodeWidth + Look.TextMargin;
    if (info.Alignment == TAlignment::taRightJustify)
        rect.Right -= offset;
    else
        rect.Left += offset;
    DrawCellText(canvas, text, rect, format);
}

void TCustomVirtualStringTree::AdjustPaintCellRect(PVirtualNode node, TColumnIndex column,
                                                   TTreeRect& cellRect, TColumnIndex& nextNonEmpty) {
    const TVirtualTreeColumns& columns = Header().Columns();
    if (column < 0 || !columns.IsValidColumn(column)) {
        nextNonEmpty = InvalidColumn;
        return;
    }
    nextNonEmpty = columns.GetNextVisibleColumn(column);
    if (!Look.AutoSpanColumns || !Header().UseColumns() ||
        columns[column].BiDiMode() != TBiDiMode::bdLeftToRight)
        return;
    while (nextNonEmpty != InvalidColumn && columns.IsValidColumn(nextNonEmpty)) {
        const TVirtualTreeColumn& next = columns[nextNonEmpty];
        if (!DoGetCellIsEmpty(node, nextNonEmpty) || next.BiDiMode() != TBiDiMode::bdLeftToRight)
            break;
        cellRect.Right += next.Width();
        nextNonEmpty = columns.GetNextVisibleColumn(nextNonEmpty);
    }
    if (!columns.IsValidColumn(nextNonEmpty))
        nextNonEmpty = InvalidColumn;
}

int TCustomVirtualStringTree::ComputeNodeHeight(IStringTreeCanvas& canvas, PVirtualNode node,
                                                TColumnIndex column, const std::wstring& s) {
    const std::wstring text = s.empty() ? GetText(node, column) : s;
    TTreeRect rect = GetDisplayRect(node, column, false, true);
    const TVirtualTreeColumns& columns = Header().Columns();
    if (columns.IsValidColumn(column)) {
        // The cell spans its column.
        columns.GetColumnBounds(column, rect.Left, rect.Right);
    }
    TColumnIndex nextNonEmpty = InvalidColumn;
    AdjustPaintCellRect(node, column, rect, nextNonEmpty);
    std::uint32_t format = TextFormatTop | TextFormatNoPrefix | TextFormatCalcRect | TextFormatWordBreak;
    if (columns.IsValidColumn(column) && columns[column].BiDiMode() != TBiDiMode::bdLeftToRight)
        format |= TextFormatRight | TextFormatRtlReading;
    return canvas.TextHeight(text, rect.Right - rect.Left, format);
}

} // namespace tarvola
