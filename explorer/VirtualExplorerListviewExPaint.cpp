// What the native list asks of an item beyond its caption, image and colours: the overlay its after stage
// of painting draws over the icon, and the details its hint shows; and the report style's picture
// highlight.
#include "explorer/VirtualExplorerListviewEx.h"

namespace tarvola {

void TCustomVirtualExplorerListviewEx::DoBeforeCellPaint(TCanvas* canvas, PVirtualNode node,
                                                         TColumnIndex column, const TTreeRect& cellRect) {
    IExplorerItem* item = NodeItem(node);
    if (item != nullptr && FillCell) {
        const std::uint32_t color = ItemHighlightColor(*item);
        if (color != NoListColor)
            FillCell(canvas, cellRect, color);
    }
    TCustomVirtualExplorerListview::DoBeforeCellPaint(canvas, node, column, cellRect);
}

int TCustomVirtualExplorerListviewEx::ItemOverlay(int index) {
    const PVirtualNode node = GetNodeByIndex(index);
    if (NodeItem(node) == nullptr)
        return -1;
    return ImageIndexFor(node, TVTImageKind::ikOverlay);
}

WideString TCustomVirtualExplorerListviewEx::ItemHintText(int index, bool details) {
    IExplorerItem* item = NodeItem(GetNodeByIndex(index));
    if (item == nullptr)
        return {};
    const WideString dimensions;
    const WideString size = item->Folder()
                                ? WideString()
                                : item->DetailText(TColumnDetails::cdSize, TFileSizeFormat::fsfExplorer);
    // The time of day goes to the minute: the seconds after the last colon are cut.
    WideString date = item->DetailText(TColumnDetails::cdModified, TFileSizeFormat::fsfExplorer);
    if (const std::size_t colon = date.rfind(u':'); colon != WideString::npos && colon > 0)
        date.erase(colon);
    if (!details) {
        WideString text = dimensions + u"\r" + size + u"\r" + date;
        return text == u"\r\r" ? WideString() : text;
    }
    WideString text = item->NameInFolder();
    for (const WideString& part : {dimensions, size, date})
        if (!part.empty())
            text += u"\r" + part;
    return text;
}

} // namespace tarvola
