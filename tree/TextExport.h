// The string tree's content exports: tab- or separator-delimited text (single-byte and UTF-16), an HTML table
// and an RTF table, with the "HTML Format" clipboard framing. The exports work from plain records (the
// columns in display order, the nodes with their levels) and ask a cell provider for texts and fonts, so they
// run without a window; the string tree gathers the records and answers for its owner.
#pragma once

#include "tree/Columns.h"
#include "tree/TreeTypes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvola {

// Texts joined by appending (the concatenation operators trip a false overlap warning of GCC 12 on i686).
template <typename... Parts>
std::string JoinText(const Parts&... parts) {
    std::string out;
    (out.append(std::string_view(parts)), ...);
    return out;
}

// A growable single-byte text. Appending grows the storage geometrically.
class TBufferedString {
public:
    template <typename... Parts>
    void Add(const Parts&... parts) {
        (text_.append(std::string_view(parts)), ...);
    }
    void AddNewLine() { text_ += "\r\n"; }
    const std::string& AsString() const { return text_; }

private:
    std::string text_;
};

// A growable UTF-16 text.
class TWideBufferedString {
public:
    void Add(std::wstring_view s) { text_ += s; }
    void AddNewLine() { text_ += L"\r\n"; }
    const std::wstring& AsString() const { return text_; }

private:
    std::wstring text_;
};

// Font styles as the fonts of the framework carry them.
enum : std::uint32_t {
    TextFontBold = 1,
    TextFontItalic = 2,
    TextFontUnderline = 4,
    TextFontStrikeOut = 8,
};

// A font as plain values. Height in pixels (negative: character height, as the framework stores it).
struct TTextFont {
    std::string Name = "MS Sans Serif";
    int Height = -11;
    std::uint32_t Style = 0;
    TVTColor Color = 0x80000008; // clWindowText
    // The point size at a screen resolution (always positive).
    int PointSize(int pixelsPerInch) const;
    bool operator==(const TTextFont&) const = default;
};

// One exported column, with what the exports show of it.
struct TExportColumn {
    TColumnIndex Index = NoColumn;
    std::wstring Caption;
    int Width = 0;
    TAlignment Alignment = TAlignment::taLeftJustify;
    bool RightToLeft = false;
    // The column takes the tree's colour (no colour of its own in the HTML table).
    bool ParentColor = true;
    TVTColor Color = 0x80000005; // clWindow
};

// One exported node.
struct TExportNode {
    PVirtualNode Node = nullptr;
    int Level = 0;
    int Height = 0;
};

// The tree's settings the exports read. Columns are the header's visible columns in display order; empty
// means a tree without columns (one column, index NoColumn).
struct TExportLayout {
    std::vector<TExportColumn> Columns;
    TColumnIndex MainColumn = NoColumn;
    TTextFont TreeFont;
    TTextFont HeaderFont;
    TVTColor TreeColor = 0x80000005; // clWindow
    TAlignment TreeAlignment = TAlignment::taLeftJustify;
    bool TreeRightToLeft = false;
    int HeaderHeight = 17;
    int Margin = 4;
    int Indent = 18;
    bool Border = true; // BorderStyle is not none
    int BorderWidth = 0;
    bool SolidGridLines = false; // LineStyle is solid (else dotted)
    bool HorzGridLines = false;
    bool VertGridLines = false;
    int PixelsPerInch = 96;
    int ClientWidth = 0;
    bool UseColumns() const { return !Columns.empty(); }
};

// What the exports ask the tree for, cell by cell.
class IExportCells {
public:
    virtual ~IExportCells() = default;
    // The cell's normal text.
    virtual std::wstring CellText(PVirtualNode node, TColumnIndex column) = 0;
    // The font the owner paints the cell's normal text in (starting from the tree font).
    virtual TTextFont CellFont(PVirtualNode node, TColumnIndex column) = 0;
};

// How the exports turn colours and UTF-16 into their output. The defaults are portable: system colours get
// the classic default values, and the single-byte code page is Latin-1 with "?" for what it cannot hold.
struct TExportPlatform {
    std::function<std::uint32_t(TVTColor)> ColorToRGB;        // 0x00BBGGRR
    std::function<std::string(std::wstring_view)> ToCodePage; // the ANSI code page
    static TExportPlatform Portable();
};

// The classic default of a system colour (plain colours unchanged), as 0x00BBGGRR.
std::uint32_t DefaultColorToRGB(TVTColor color);
std::string LatinCodePage(std::wstring_view text);

// A delimited cell: quoted when it holds the separator, a line break or (single-byte) a double quote, with
// inner quotes doubled.
std::string QuoteTextCell(std::string_view text, char separator);
std::wstring QuoteUnicodeTextCell(std::wstring_view text, wchar_t separator);

std::string ExportText(const TExportLayout& layout, const std::vector<TExportNode>& nodes,
                       IExportCells& cells, char separator,
                       const TExportPlatform& platform = TExportPlatform::Portable());
std::wstring ExportUnicodeText(const TExportLayout& layout, const std::vector<TExportNode>& nodes,
                               IExportCells& cells, wchar_t separator);
// A UTF-8 HTML table with its style block (the fragment of the "HTML Format").
std::string ExportHTML(const TExportLayout& layout, const std::vector<TExportNode>& nodes,
                       IExportCells& cells, std::wstring_view caption,
                       const TExportPlatform& platform = TExportPlatform::Portable());
std::string ExportRTF(const TExportLayout& layout, const std::vector<TExportNode>& nodes, IExportCells& cells,
                      const TExportPlatform& platform = TExportPlatform::Portable());

// Text made safe for HTML content and attribute values (& < > " escaped), as UTF-8.
std::string EscapeHTML(std::wstring_view text);
// Frames an HTML fragment as the clipboard's "HTML Format": the 97-byte header with its offsets, the
// document's start, the fragment and the document's end.
void AddClipboardHTMLHeader(std::string& html);

} // namespace tarvola
