#include "tree/TreePaintWindow.h"

#include "forms/Graphics.h"
#include "tree/Header.h"
#include "tree/HeaderPaint.h"
#include "tree/HeaderPaintSource.h"
#include "tree/TreeColors.h"
#include "tree/TreePainter.h"
#include "tree/TreeResources.h"

namespace tarvola {

std::shared_ptr<TTreePainter> MakeTreePainter(TBaseVirtualTree& tree) {
    return std::make_shared<TTreePainter>(tree);
}

void RebuildPainterButtons(TTreePainter& painter) {
    painter.RebuildButtonImages();
}

void RebuildPainterLines(TTreePainter& painter) {
    painter.RebuildLineImages();
}

void PaintTreeIntoDC(TTreePainter& painter, HDC dc, const TTreeRect& window, POINT target,
                     std::uint8_t options, const TTreePaintEnvironment& environment) {
    TCanvas canvas(dc);
    painter.PaintTree(canvas, window, target, options, TPixelFormat::pfDevice, environment);
}

void PaintTreeHeader(TBaseVirtualTree& tree, HDC windowDC, const RECT& clientRect, int innerRight) {
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
    THeaderPainter painter;
    painter.PaintHeader(windowDC, record.HeaderRect, record, HeaderPaintColumns(header));
    if (innerRight > headerRect.right) {
        const RECT aboveScrollBar{headerRect.right, headerRect.top, innerRight, headerRect.bottom};
        FillRect(windowDC, &aboveScrollBar, GetSysColorBrush(COLOR_BTNFACE));
    }
}

} // namespace tarvola
