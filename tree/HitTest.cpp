#include "tree/HitTest.h"

namespace tarvola {

namespace {

int IndentWidth(const TCellHitLayout& cell) {
    if (!cell.MainColumn)
        return 0;
    return (cell.Level + (cell.ShowRoot ? 1 : 0)) * cell.Indent;
}

bool ButtonShown(const TCellHitLayout& cell) {
    return cell.ShowButtons && cell.HasChildren;
}

int CheckAreaWidth(const TCellHitLayout& cell) {
    return cell.MainColumn && cell.CheckShown ? cell.CheckImageWidth + 2 : 0;
}

// The margin before the check image belongs to the check area; a node without a check image has none.
THitPositions CheckArea(const TCellHitLayout& cell) {
    return static_cast<THitPositions>(hpOnItem | (cell.CheckShown ? hpOnItemCheckbox : 0));
}

} // namespace

THitPositions DetermineHitPositionLTR(const TCellHitLayout& cell, int offset, int right) {
    const int indent = IndentWidth(cell);
    if (offset < indent) {
        if (ButtonShown(cell) && offset >= indent - cell.Indent)
            return hpOnItem | hpOnItemButton;
        return hpOnItem;
    }
    if (!cell.MainColumn && cell.ReportMode)
        return hpOnItem;

    int pos = indent + cell.Margin + CheckAreaWidth(cell);
    if (cell.MainColumn && offset < pos)
        return CheckArea(cell);
    if (cell.StateImageWidth > 0) {
        pos += cell.StateImageWidth + 2;
        if (pos > offset)
            return hpOnItem | hpOnStateIcon;
    }
    if (cell.NormalImageWidth > 0) {
        pos += cell.NormalImageWidth + 2;
        if (pos > offset)
            return hpOnItem | hpOnNormalIcon;
    }

    const int textWidth = cell.TextWidth;
    if (textWidth > right - pos)
        return hpOnItem | hpOnItemLabel;
    switch (cell.Alignment) {
    case TAlignment::taLeftJustify:
        return hpOnItem | (pos + textWidth > offset ? hpOnItemLabel : hpOnItemRight);
    case TAlignment::taRightJustify:
        return hpOnItem | (right - textWidth <= offset ? hpOnItemLabel : hpOnItemLeft);
    case TAlignment::taCenter:
        break;
    }
    const int start = (pos + right - textWidth) / 2;
    if (start > offset)
        return hpOnItem | hpOnItemLeft;
    return hpOnItem | (start + textWidth > offset ? hpOnItemLabel : hpOnItemRight);
}

THitPositions DetermineHitPositionRTL(const TCellHitLayout& cell, int offset, int right) {
    const int indent = right - IndentWidth(cell);
    if (offset >= indent) {
        if (ButtonShown(cell) && cell.MainColumn && offset <= indent + cell.Indent)
            return hpOnItem | hpOnItemButton;
        return hpOnItem;
    }
    if (!cell.MainColumn && cell.ReportMode)
        return hpOnItem;

    int pos = indent - cell.Margin - CheckAreaWidth(cell);
    if (cell.MainColumn && offset > pos)
        return CheckArea(cell);
    if (cell.StateImageWidth > 0) {
        pos -= cell.StateImageWidth + 2;
        if (offset > pos)
            return hpOnItem | hpOnStateIcon;
    }
    if (cell.NormalImageWidth > 0) {
        pos -= cell.NormalImageWidth + 2;
        if (offset > pos)
            return hpOnItem | hpOnNormalIcon;
    }

    const int textWidth = cell.TextWidth;
    if (textWidth > pos)
        return hpOnItem | hpOnItemLabel;
    // The alignment is mirrored: a left-justified text sits at the right edge of a right-to-left cell.
    switch (cell.Alignment) {
    case TAlignment::taRightJustify:
        return hpOnItem | (textWidth >= offset ? hpOnItemLabel : hpOnItemRight);
    case TAlignment::taLeftJustify:
        return hpOnItem | (pos - textWidth <= offset ? hpOnItemLabel : hpOnItemLeft);
    case TAlignment::taCenter:
        break;
    }
    const int start = (pos - textWidth) / 2;
    if (start > offset)
        return hpOnItem | hpOnItemLeft;
    return hpOnItem | (start + textWidth > offset ? hpOnItemLabel : hpOnItemRight);
}

} // namespace tarvola
