// The tree with text: every cell has a normal text and optionally a static text painted after it, both asked
// from the owner on demand (OnGetText) and never stored. The string tree measures the texts (caching the
// main column's width per node), shortens and paints them, answers hints, incremental search and cell
// emptiness from them, and exports them as text, CSV, HTML and RTF. It draws and measures through an
// IStringTreeCanvas, so everything here is portable.
#pragma once

#include "tree/StringTreeCanvas.h"
#include "tree/TextExport.h"
#include "tree/VirtualTrees.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tarvola {

class TCustomVirtualStringTree;
class IStringEditControl;

enum class TVSTTextType : std::uint8_t { ttNormal = 0, ttStatic = 1 };

// Which nodes an export takes.
enum class TVSTTextSourceType : std::uint8_t {
    tstAll = 0,
    tstInitialized = 1,
    tstSelected = 2,
    tstCutCopySet = 3,
    tstVisible = 4,
};

// The string tree's options (StringOptions).
enum : std::uint8_t {
    toSaveCaptions = 0x01,         // node streams carry each node's main-column text
    toShowStaticText = 0x02,       // static texts are painted
    toAutoAcceptEditChange = 0x04, // losing the focus accepts an edit instead of cancelling it
};
using TVTStringOptions = std::uint8_t;
constexpr TVTStringOptions DefaultStringOptions = toSaveCaptions | toAutoAcceptEditChange;

// The older stored form of the options ("StringOptions" of old layouts), and its reading.
enum : std::uint8_t { soSaveCaptions = 0x01, soShowStaticText = 0x02 };
TVTStringOptions ConvertOldStringOptions(std::uint8_t oldOptions);

enum class TVTTooltipLineBreakStyle : std::uint8_t {
    hlbDefault = 0,
    hlbForceSingleLine = 1,
    hlbForceMultiLine = 2
};

using TVSTGetTextEvent =
    Delegate<void(TCustomVirtualStringTree&, PVirtualNode, TColumnIndex, TVSTTextType, std::wstring& text)>;
using TVSTNewTextEvent =
    Delegate<void(TCustomVirtualStringTree&, PVirtualNode, TColumnIndex, const std::wstring& newText)>;
using TVTPaintText =
    Delegate<void(TCustomVirtualStringTree&, IStringTreeCanvas&, PVirtualNode, TColumnIndex, TVSTTextType)>;
using TVSTShortenStringEvent =
    Delegate<void(TCustomVirtualStringTree&, IStringTreeCanvas&, PVirtualNode, TColumnIndex,
                  const std::wstring& s, int textSpace, bool rightToLeft, std::wstring& result, bool& done)>;
using TVSTGetHintEvent = Delegate<void(TCustomVirtualStringTree&, PVirtualNode, TColumnIndex,
                                       TVTTooltipLineBreakStyle& lineBreakStyle, std::wstring& hintText)>;

// The tree's display settings the string tree paints and exports with (the window keeps them in step with
// the tree's option sets and colours).
struct TStringTreeLook {
    TTextFont Font;
    TVTColor Color = 0x80000005;              // clWindow
    TVTColor HotColor = 0x80000008;           // clWindowText
    TVTColor DisabledColor = 0x80000010;      // clBtnShadow
    TVTColor HighlightTextColor = 0x8000000E; // clHighlightText
    TAlignment Alignment = TAlignment::taLeftJustify;
    bool RightToLeft = false;
    int TextMargin = 4;
    bool HotTrack = false;
    bool FullRowSelect = false;
    bool PopupMode = false;
    bool AutoSpanColumns = false;
    bool ShowHorzGridLines = false;
    bool ShowVertGridLines = false;
    bool SolidGridLines = false;
    bool Border = true;
    int BorderWidth = 0;
    int PixelsPerInch = 96;
};

// One cell as the painter hands it over.
struct TStringPaintInfo {
    IStringTreeCanvas* Canvas = nullptr;
    PVirtualNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    TTreeRect ContentRect; // the cell's content area (after indent and images)
    TAlignment Alignment = TAlignment::taLeftJustify;
    bool RightToLeft = false;
    bool DrawSelection = true; // the painter shows the selection in this cell
    bool Focused = false;      // the control has the focus
    bool Enabled = true;       // the control is enabled
    bool DropModeActive = false;
};

class TCustomVirtualStringTree : public TBaseVirtualTree {
public:
    explicit TCustomVirtualStringTree(ITreeViewHost* host = nullptr);

    TVSTGetTextEvent OnGetText;
    TVSTNewTextEvent OnNewText;
    TVTPaintText OnPaintText;
    TVSTShortenStringEvent OnShortenString;
    TVSTGetHintEvent OnGetHint;

    TStringTreeLook Look;

    const std::wstring& DefaultText() const { return defaultText_; }
    void SetDefaultText(const std::wstring& value);
    TVTStringOptions StringOptions() const { return stringOptions_; }
    void SetStringOptions(TVTStringOptions value);
    bool Has(TVTStringOptions option) const { return (stringOptions_ & option) == option; }

    // The canvas texts are measured and painted with (set by the window; null: nothing is measured). A new
    // canvas counts as a font change.
    IStringTreeCanvas* TextCanvas() const { return canvas_; }
    void SetTextCanvas(IStringTreeCanvas* canvas);
    // What texts are measured with while no text canvas is set: a windowed control gives its own, so that
    // a row's text has its width (the selection, the hit tests and the hints follow it); without either,
    // texts measure 0.
    void SetFallbackTextCanvas(IStringTreeCanvas* canvas);
    // The tree font changed (WM_SETFONT): the line height and ellipsis width are measured again and every
    // cached width is dropped.
    void FontChanged();
    // The control's font becomes the font texts are measured and painted in.
    void TreeFontChanged(const TTextFont& font) override;
    int TextHeight() const { return textHeight_; }
    int EllipsisWidth() const { return ellipsisWidth_; }

    // A cell's normal text: DefaultText unless the owner gives another. The node is initialised first.
    std::wstring GetText(PVirtualNode node, TColumnIndex column);
    // Hands a new text to the owner (OnNewText) and repaints the node.
    void SetText(PVirtualNode node, TColumnIndex column, const std::wstring& text);
    // A cell's static text (empty unless the owner gives one).
    std::wstring GetStaticText(PVirtualNode node, TColumnIndex column);

    // Widths: the main column's is cached per node; a multiline node fills its column.
    int GetNodeWidth(PVirtualNode node, TColumnIndex column) override;
    int GetNodeWidth(PVirtualNode node, TColumnIndex column, IStringTreeCanvas* canvas);
    void InvalidateNode(PVirtualNode node) override;
    void ReinitNode(PVirtualNode node, bool recursive) override;
    void MainColumnChanged() override;
    void GetTextInfo(PVirtualNode node, TColumnIndex column, std::wstring& text) override;
    // What an editor needs: the font (the owner may change it), the cell's rectangle centred on one line, and
    // the text.
    void GetTextInfo(PVirtualNode node, TColumnIndex column, TTextFont& font, TTreeRect& rect,
                     std::wstring& text);

    // The height a word-wrapped text takes in a cell (empty s: the cell's normal text).
    virtual int ComputeNodeHeight(IStringTreeCanvas& canvas, PVirtualNode node, TColumnIndex column,
                                  const std::wstring& s = {});
    // Widens a cell over the following empty columns (auto-span); nextNonEmpty is the first column that
    // stopped the span, InvalidColumn at the end.
    virtual void AdjustPaintCellRect(PVirtualNode node, TColumnIndex column, TTreeRect& cellRect,
                                     TColumnIndex& nextNonEmpty);
    // Paints a cell's normal and static text.
    virtual void PaintNodeContent(TStringPaintInfo& info);
    // The tree painter's cell: its texts on the row's text canvas, and the span over empty columns.
    void PaintNodeContent(TVTPaintInfo& paintInfo) override;
    void AdjustPaintCellRect(TVTPaintInfo& paintInfo, TColumnIndex& nextNonEmpty) override;

    std::wstring GetNodeHint(PVirtualNode node, TColumnIndex column,
                             TVTTooltipLineBreakStyle& lineBreakStyle);
    std::wstring GetNodeTooltip(PVirtualNode node, TColumnIndex column,
                                TVTTooltipLineBreakStyle& lineBreakStyle);

    // The nodes of a text source in their walking order.
    std::vector<PVirtualNode> GetRenderNodes(TVSTTextSourceType source);
    std::string ExportText(TVSTTextSourceType source, char separator,
                           const TExportPlatform& platform = TExportPlatform::Portable());
    std::wstring ExportUnicodeText(TVSTTextSourceType source, wchar_t separator);
    std::string ExportHTML(TVSTTextSourceType source, const std::wstring& caption = {},
                           const TExportPlatform& platform = TExportPlatform::Portable());
    std::string ExportRTF(TVSTTextSourceType source,
                          const TExportPlatform& platform = TExportPlatform::Portable());
    // The settings the exports read, from the tree, its header and its look.
    TExportLayout GetExportLayout();

    // --- In-place editing (StringEditLink.cpp): the edit control the default editor drives, made by the
    // window (empty: no default editor).
    std::function<IStringEditControl*()> EditControlFactory;

protected:
    virtual int CalculateTextWidth(IStringTreeCanvas& canvas, PVirtualNode node, TColumnIndex column,
                                   const std::wstring& text);
    virtual void DoGetText(PVirtualNode node, TColumnIndex column, TVSTTextType textType, std::wstring& text);
    virtual void DoNewText(PVirtualNode node, TColumnIndex column, const std::wstring& text);
    virtual void DoPaintText(PVirtualNode node, IStringTreeCanvas& canvas, TColumnIndex column,
                             TVSTTextType textType);
    virtual std::wstring DoShortenString(IStringTreeCanvas& canvas, PVirtualNode node, TColumnIndex column,
                                         const std::wstring& s, int width, bool rightToLeft,
                                         int ellipsisWidth);
    virtual void DrawCellText(IStringTreeCanvas& canvas, const std::wstring& text, const TTreeRect& rect,
                              std::uint32_t drawFormat);
    virtual int MeasureTextWidth(IStringTreeCanvas& canvas, PVirtualNode node, const std::wstring& text);

    std::shared_ptr<IVTEditLink> DoCreateEditor(PVirtualNode node, TColumnIndex column) override;
    int DoIncrementalSearch(PVirtualNode node, const std::wstring& text) override;
    bool DoGetCellIsEmpty(PVirtualNode node, TColumnIndex column) override;
    // Node streams carry the main column's text as the caption chunk (with toSaveCaptions), and a caption
    // read back goes to the owner through SetText.
    void WriteChunks(TStream& stream, PVirtualNode node) override;
    bool ReadChunk(TStream& stream, int version, PVirtualNode node, std::int32_t chunkType,
                   std::int32_t chunkSize) override;

private:
    class TExportCells;
    std::uint32_t& CachedWidth(PVirtualNode node) const;
    void ClearCachedWidths();
    IStringTreeCanvas& CanvasOrNull();
    void PaintNormalText(TStringPaintInfo& info, const std::wstring& text, int nodeWidth);
    void PaintStaticText(TStringPaintInfo& info, const std::wstring& text, int nodeWidth);
    bool ShowsSelection(const TStringPaintInfo& info) const;

    std::wstring defaultText_ = L"Node";
    TVTStringOptions stringOptions_ = DefaultStringOptions;
    IStringTreeCanvas* canvas_ = nullptr;
    IStringTreeCanvas* fallbackCanvas_ = nullptr;
    TNullStringTreeCanvas nullCanvas_;
    int textHeight_ = 0;
    int ellipsisWidth_ = 0;
    std::size_t widthCacheOffset_ = 0;
};

// The published form of the string tree.
class TVirtualStringTree : public TCustomVirtualStringTree {
public:
    using TCustomVirtualStringTree::TCustomVirtualStringTree;
};

// A text cut to fit width pixels with "..." at its end (at its start for right-to-left text): empty when not
// even the ellipsis fits. A surrogate pair is never split. ellipsisWidth 0 means measure it.
std::wstring ShortenCellText(IStringTreeCanvas& canvas, const std::wstring& text, int width, bool rightToLeft,
                             int ellipsisWidth);

} // namespace tarvola
