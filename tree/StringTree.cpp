// The string tree's texts, their widths with the per-node cache, hints, incremental search and the text an
// editor starts from.
#include "tree/StringTree.h"

#include "tree/Header.h"
#include "tree/NodeStream.h"

namespace tarvola {

TVTStringOptions ConvertOldStringOptions(std::uint8_t oldOptions) {
    TVTStringOptions result = 0;
    if (oldOptions & soSaveCaptions)
        result |= toSaveCaptions;
    if (oldOptions & soShowStaticText)
        result |= toShowStaticText;
    return result;
}

TCustomVirtualStringTree::TCustomVirtualStringTree(ITreeViewHost* host) : TBaseVirtualTree(host) {
    widthCacheOffset_ = AllocateInternalDataArea(sizeof(std::uint32_t));
}

void TCustomVirtualStringTree::SetDefaultText(const std::wstring& value) {
    if (value == defaultText_)
        return;
    defaultText_ = value;
    // Every cell the owner leaves alone shows the new text, so its measured width is stale too.
    ClearCachedWidths();
    if (Host().HasWindow())
        Host().InvalidateAll();
}

void TCustomVirtualStringTree::SetStringOptions(TVTStringOptions value) {
    const bool staticTextChanged = ((value ^ stringOptions_) & toShowStaticText) != 0;
    stringOptions_ = value;
    if (staticTextChanged && Host().HasWindow())
        Host().InvalidateAll();
}

void TCustomVirtualStringTree::SetTextCanvas(IStringTreeCanvas* canvas) {
    canvas_ = canvas;
    FontChanged();
}

void TCustomVirtualStringTree::SetFallbackTextCanvas(IStringTreeCanvas* canvas) {
    fallbackCanvas_ = canvas;
    if (canvas_ == nullptr)
        FontChanged();
}

void TCustomVirtualStringTree::FontChanged() {
    IStringTreeCanvas& canvas = CanvasOrNull();
    canvas.Font = Look.Font;
    textHeight_ = canvas.LineHeight();
    ellipsisWidth_ = canvas.TextWidth(L"...");
    ClearCachedWidths();
    if (Host().HasWindow())
        Host().InvalidateAll();
}

void TCustomVirtualStringTree::TreeFontChanged(const TTextFont& font) {
    TBaseVirtualTree::TreeFontChanged(font);
    if (font == Look.Font)
        return;
    Look.Font = font;
    FontChanged();
}

IStringTreeCanvas& TCustomVirtualStringTree::CanvasOrNull() {
    if (canvas_ != nullptr)
        return *canvas_;
    return fallbackCanvas_ != nullptr ? *fallbackCanvas_ : nullCanvas_;
}

std::uint32_t& TCustomVirtualStringTree::CachedWidth(PVirtualNode node) const {
    return *reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(node) + widthCacheOffset_);
}

void TCustomVirtualStringTree::ClearCachedWidths() {
    for (PVirtualNode node = GetFirstNoInit(); node != nullptr; node = GetNextNoInit(node))
        CachedWidth(node) = 0;
}

std::wstring TCustomVirtualStringTree::GetText(PVirtualNode node, TColumnIndex column) {
    TreeAssert(node != nullptr, "Node must not be nil.");
    if (node != RootNode() && (node->States & nsInitialized) == 0)
        InitNode(node);
    std::wstring text = defaultText_;
    DoGetText(node, column, TVSTTextType::ttNormal, text);
    return text;
}

std::wstring TCustomVirtualStringTree::GetStaticText(PVirtualNode node, TColumnIndex column) {
    TreeAssert(node != nullptr, "Node must not be nil.");
    std::wstring text;
    DoGetText(node, column, TVSTTextType::ttStatic, text);
    return text;
}

void TCustomVirtualStringTree::SetText(PVirtualNode node, TColumnIndex column, const std::wstring& text) {
    DoNewText(node, column, text);
    InvalidateNode(node);
}

void TCustomVirtualStringTree::DoGetText(PVirtualNode node, TColumnIndex column, TVSTTextType textType,
                                         std::wstring& text) {
    if (OnGetText)
        OnGetText(*this, Published(node), column, textType, text);
}

void TCustomVirtualStringTree::DoNewText(PVirtualNode node, TColumnIndex column, const std::wstring& text) {
    if (OnNewText)
        OnNewText(*this, Published(node), column, text);
    if (Host().HasWindow())
        Host().UpdateScrollBars(true);
}

void TCustomVirtualStringTree::DoPaintText(PVirtualNode node, IStringTreeCanvas& canvas, TColumnIndex column,
                                           TVSTTextType textType) {
    if (OnPaintText)
        OnPaintText(*this, canvas, Published(node), column, textType);
}

int TCustomVirtualStringTree::MeasureTextWidth(IStringTreeCanvas& canvas, PVirtualNode,
                                               const std::wstring& text) {
    return canvas.TextWidth(text);
}

int TCustomVirtualStringTree::CalculateTextWidth(IStringTreeCanvas& canvas, PVirtualNode node,
                                                 TColumnIndex column, const std::wstring& text) {
    int result = 2 * Look.TextMargin;
    if (!text.empty()) {
        canvas.Font = Look.Font;
        DoPaintText(node, canvas, column, TVSTTextType::ttNormal);
        result += MeasureTextWidth(canvas, node, text);
    }
    return result;
}

int TCustomVirtualStringTree::GetNodeWidth(PVirtualNode node, TColumnIndex column) {
    return GetNodeWidth(node, column, nullptr);
}

int TCustomVirtualStringTree::GetNodeWidth(PVirtualNode node, TColumnIndex column,
                                           IStringTreeCanvas* canvas) {
    if (column > NoColumn && (node->States & nsMultiline) != 0 && Header().Columns().IsValidColumn(column))
        return Header().Columns()[column].Width();
    IStringTreeCanvas& target = canvas != nullptr ? *canvas : CanvasOrNull();
    if (column != Header().MainColumn())
        return CalculateTextWidth(target, node, column, GetText(node, column));
    if (node == RootNode())
        return 0;
    std::uint32_t& cached = CachedWidth(node);
    if (cached == 0)
        cached = static_cast<std::uint32_t>(CalculateTextWidth(target, node, column, GetText(node, column)));
    return static_cast<int>(cached);
}

void TCustomVirtualStringTree::InvalidateNode(PVirtualNode node) {
    TBaseVirtualTree::InvalidateNode(node);
    if (node == nullptr)
        return;
    // Changed text attributes take effect on the next measure.
    CachedWidth(node) = 0;
    node->States &= ~nsHeightMeasured;
}

void TCustomVirtualStringTree::ReinitNode(PVirtualNode node, bool recursive) {
    if (node != nullptr && node != RootNode())
        CachedWidth(node) = 0;
    TBaseVirtualTree::ReinitNode(node, recursive);
}

void TCustomVirtualStringTree::MainColumnChanged() {
    TBaseVirtualTree::MainColumnChanged();
    ClearCachedWidths();
}

void TCustomVirtualStringTree::GetTextInfo(PVirtualNode node, TColumnIndex column, std::wstring& text) {
    text = GetText(node, column);
}

void TCustomVirtualStringTree::GetTextInfo(PVirtualNode node, TColumnIndex column, TTextFont& font,
                                           TTreeRect& rect, std::wstring& text) {
    IStringTreeCanvas& canvas = CanvasOrNull();
    canvas.Font = font;
    DoPaintText(node, canvas, column, TVSTTextType::ttNormal);
    int lineHeight = textHeight_;
    if (!(canvas.Font == font)) {
        font = canvas.Font;
        lineHeight = canvas.LineHeight();
    }
    text = GetText(node, column);
    const bool multiline = (node->States & nsMultiline) != 0;
    rect = GetDisplayRect(node, column, !multiline, true);
    if (Look.ShowHorzGridLines)
        --rect.Bottom;
    // Centres one line of text in the cell.
    const int grow = (lineHeight - (rect.Bottom - rect.Top)) / 2;
    rect.Top -= grow;
    rect.Bottom += grow;
}

std::wstring TCustomVirtualStringTree::GetNodeHint(PVirtualNode node, TColumnIndex column,
                                                   TVTTooltipLineBreakStyle& lineBreakStyle) {
    std::wstring hint;
    if (OnGetHint)
        OnGetHint(*this, Published(node), column, lineBreakStyle, hint);
    return hint;
}

std::wstring TCustomVirtualStringTree::GetNodeTooltip(PVirtualNode node, TColumnIndex column,
                                                      TVTTooltipLineBreakStyle& lineBreakStyle) {
    if (OnGetHint)
        return GetNodeHint(node, column, lineBreakStyle);
    return GetText(node, column);
}

int TCustomVirtualStringTree::DoIncrementalSearch(PVirtualNode node, const std::wstring& text) {
    if (OnIncrementalSearch)
        return TBaseVirtualTree::DoIncrementalSearch(node, text);
    // A case-sensitive prefix match in the focused column: 0 is a match.
    return GetText(node, FocusedColumn()).starts_with(text) ? 0 : 1;
}

bool TCustomVirtualStringTree::DoGetCellIsEmpty(PVirtualNode node, TColumnIndex column) {
    if (!GetText(node, column).empty())
        return false;
    return TBaseVirtualTree::DoGetCellIsEmpty(node, column);
}

void TCustomVirtualStringTree::WriteChunks(TStream& stream, PVirtualNode node) {
    TBaseVirtualTree::WriteChunks(stream, node);
    // An uninitialised node's text would need its initialisation, which saving without InitOnSave avoids.
    if (Has(toSaveCaptions) && node != RootNode() && (node->States & nsInitialized) != 0)
        WriteCaptionChunk(stream, GetText(node, Header().MainColumn()));
}

bool TCustomVirtualStringTree::ReadChunk(TStream& stream, int version, PVirtualNode node,
                                         std::int32_t chunkType, std::int32_t chunkSize) {
    if (chunkType != CaptionChunk)
        return TBaseVirtualTree::ReadChunk(stream, version, node, chunkType, chunkSize);
    SetText(node, Header().MainColumn(), ReadCaptionText(stream, chunkSize));
    return true;
}

} // namespace tarvola
