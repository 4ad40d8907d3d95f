#include "tree/TextExport.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace tarvola {
namespace {

template <typename Char>
bool NeedsQuotes(std::basic_string_view<Char> text, Char separator, bool quoteOnQuote) {
    for (Char c : text) {
        if (c == separator || c == Char('\r') || c == Char('\n') || (quoteOnQuote && c == Char('"')))
            return true;
    }
    return false;
}

template <typename Char>
std::basic_string<Char> Quoted(std::basic_string_view<Char> text) {
    std::basic_string<Char> result(1, Char('"'));
    for (Char c : text) {
        if (c == Char('"'))
            result += Char('"');
        result += c;
    }
    result += Char('"');
    return result;
}

int MaxLevelOf(const std::vector<TExportNode>& nodes) {
    int maxLevel = 0;
    for (const TExportNode& node : nodes)
        maxLevel = std::max(maxLevel, node.Level);
    return maxLevel;
}

// The delimited export in either width; Convert turns a UTF-16 text into the output's characters.
template <typename Char, typename Convert, typename Quote>
std::basic_string<Char> ExportDelimited(const TExportLayout& layout, const std::vector<TExportNode>& nodes,
                                        IExportCells& cells, Char separator, Convert convert, Quote quote) {
    const int maxLevel = MaxLevelOf(nodes);
    const std::basic_string<Char> levelTabs(static_cast<std::size_t>(maxLevel), separator);
    std::basic_string<Char> out;
    const auto newLine = [&out] {
        out += Char('\r');
        out += Char('\n');
    };
    if (!layout.UseColumns()) {
        for (const TExportNode& node : nodes) {
            out.append(levelTabs, 0, static_cast<std::size_t>(node.Level));
            out += convert(cells.CellText(node.Node, NoColumn));
            newLine();
        }
        return out;
    }
    const std::size_t last = layout.Columns.size() - 1;
    for (std::size_t i = 0; i <= last; ++i) {
        const TExportColumn& column = layout.Columns[i];
        out += quote(convert(column.Caption), separator);
        if (i == last)
            break;
        if (column.Index == layout.MainColumn)
            out += levelTabs;
        out += separator;
    }
    newLine();
    for (const TExportNode& node : nodes) {
        for (std::size_t i = 0; i <= last; ++i) {
            const TExportColumn& column = layout.Columns[i];
            const auto text = quote(convert(cells.CellText(node.Node, column.Index)), separator);
            if (column.Index == layout.MainColumn) {
                out.append(levelTabs, 0, static_cast<std::size_t>(node.Level));
                out += text;
                out.append(levelTabs, 0, static_cast<std::size_t>(maxLevel - node.Level));
            } else {
                out += text;
            }
            if (i != last)
                out += separator;
        }
        newLine();
    }
    return out;
}

} // namespace

int TTextFont::PointSize(int pixelsPerInch) const {
    if (pixelsPerInch <= 0)
        throw std::invalid_argument("pixels per inch must be positive");
    // A negative height is the character height in pixels; a positive one includes the internal leading,
    // which the framework treats alike for the point size.
    const long long pixels = Height < 0 ? -static_cast<long long>(Height) : Height;
    return static_cast<int>((pixels * 72 + pixelsPerInch / 2) / pixelsPerInch);
}

std::uint32_t DefaultColorToRGB(TVTColor color) {
    if ((color & 0xFF000000u) == 0)
        return color;
    if ((color & 0x80000000u) == 0)
        return color & 0x00FFFFFFu;
    // The classic scheme's values of the system colours (COLOR_... order).
    static constexpr std::uint32_t system[] = {
        0xC8D0D4, 0x6E3A0A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
        0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
        0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
        0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xFF8000, 0xF0F0F0,
    };
    const std::uint32_t index = color & 0xFFu;
    return index < std::size(system) ? system[index] : 0;
}

std::string LatinCodePage(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text)
        out += static_cast<std::uint32_t>(c) < 0x100 ? static_cast<char>(c) : '?';
    return out;
}

TExportPlatform TExportPlatform::Portable() {
    return TExportPlatform{DefaultColorToRGB, LatinCodePage};
}

std::string QuoteTextCell(std::string_view text, char separator) {
    return NeedsQuotes(text, separator, true) ? Quoted(text) : std::string(text);
}

std::wstring QuoteUnicodeTextCell(std::wstring_view text, wchar_t separator) {
    return NeedsQuotes(text, separator, false) ? Quoted(text) : std::wstring(text);
}

std::string ExportText(const TExportLayout& layout, const std::vector<TExportNode>& nodes,
                       IExportCells& cells, char separator, const TExportPlatform& platform) {
    return ExportDelimited<char>(
        layout, nodes, cells, separator, [&](const std::wstring& s) { return platform.ToCodePage(s); },
        [](const std::string& s, char sep) { return QuoteTextCell(s, sep); });
}

std::wstring ExportUnicodeText(const TExportLayout& layout, const std::vector<TExportNode>& nodes,
                               IExportCells& cells, wchar_t separator) {
    return ExportDelimited<wchar_t>(
        layout, nodes, cells, separator, [](const std::wstring& s) { return s; },
        [](const std::wstring& s, wchar_t sep) { return QuoteUnicodeTextCell(s, sep); });
}

void AddClipboardHTMLHeader(std::string& html) {
    static constexpr std::string_view docType =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";
    static constexpr std::string_view prefix =
        "<html><head><META http-equiv=Content-Type content=\"text/html; charset=utf-8\"></head><body>"
        "<!--StartFragment-->";
    static constexpr std::string_view suffix = "<!--EndFragment--></body></html>";
    static constexpr std::size_t headerSize = 97;
    static constexpr std::size_t startFragment = headerSize + docType.size() + prefix.size();
    static_assert(startFragment == 269);
    const std::size_t endFragment = startFragment + html.size();
    if (endFragment + suffix.size() > 99999999)
        throw std::length_error("an HTML fragment too long for the clipboard header");
    char header[headerSize + 1];
    const int written =
        std::snprintf(header, sizeof header,
                      "Version:1.0\r\nStartHTML:%.8d\r\nEndHTML:%.8d\r\nStartFragment:%.8d\r\n"
                      "EndFragment:%.8d\r\n",
                      static_cast<int>(headerSize), static_cast<int>(endFragment + suffix.size()),
                      static_cast<int>(startFragment), static_cast<int>(endFragment));
    if (written != static_cast<int>(headerSize))
        throw std::logic_error("the clipboard HTML header has a fixed size");
    std::string framed;
    framed.reserve(endFragment + suffix.size());
    framed.append(header, headerSize);
    framed += docType;
    framed += prefix;
    framed += html;
    framed += suffix;
    html = std::move(framed);
}

} // namespace tarvola
