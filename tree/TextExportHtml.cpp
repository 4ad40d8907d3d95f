// The HTML table export. Texts, the caption and font names are escaped, so a name holding markup characters
// stays text wherever the clipboard takes it.
#include "tree/TextExport.h"
#include "tree/Utf8.h"

#include <algorithm>
#include <cstdio>

namespace tarvola {
namespace {

std::string Decimal(long long value) {
    return std::to_string(value);
}

std::string HtmlColor(TVTColor color, const TExportPlatform& platform) {
    const std::uint32_t rgb = platform.ColorToRGB(color);
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", static_cast<unsigned>(rgb & 0xFF),
                  static_cast<unsigned>((rgb >> 8) & 0xFF), static_cast<unsigned>((rgb >> 16) & 0xFF));
    return text;
}

// A font name as CSS may quote it: characters that could end the string, the rule or the markup are left out
// (no real font name holds them).
std::string CssFontName(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (std::string_view("\"'<>{};\\&").find(c) == std::string_view::npos)
            out += c;
    }
    return out;
}

// The CSS font shorthand's values with the colour: " underline italic bold 8pt 'Name';color:#000000;".
std::string FontDeclarations(const TTextFont& font, int pixelsPerInch, const TExportPlatform& platform,
                             char nameQuote) {
    std::string out;
    if (font.Style & TextFontUnderline)
        out += " underline";
    if (font.Style & TextFontItalic)
        out += " italic";
    if (font.Style & TextFontBold)
        out += " bold";
    const std::string quote(1, nameQuote);
    out += JoinText(" ", Decimal(font.PointSize(pixelsPerInch)), "pt ", quote, CssFontName(font.Name), quote,
                    ";");
    out += JoinText("color:", HtmlColor(font.Color, platform), ";");
    return out;
}

std::string ClassStyle(std::string_view name, const TTextFont& font, int pixelsPerInch,
                       const TExportPlatform& platform) {
    return JoinText(".", name, "{font:", FontDeclarations(font, pixelsPerInch, platform, '"'), "}");
}

// The inline style of a cell whose owner changed the font: a plain declaration list, with the font name in
// single quotes so that it does not end the attribute.
std::string InlineStyle(const TTextFont& font, int pixelsPerInch, const TExportPlatform& platform) {
    return JoinText(" style=\"font:", FontDeclarations(font, pixelsPerInch, platform, '\''), "\"");
}

TAlignment EffectiveAlignment(TAlignment alignment, bool rightToLeft) {
    if (!rightToLeft)
        return alignment;
    switch (alignment) {
    case TAlignment::taLeftJustify:
        return TAlignment::taRightJustify;
    case TAlignment::taRightJustify:
        return TAlignment::taLeftJustify;
    default:
        return alignment;
    }
}

std::string DirectionAndAlignment(TAlignment alignment, bool rightToLeft) {
    std::string out = rightToLeft ? " dir=\"rtl\"" : "";
    switch (EffectiveAlignment(alignment, rightToLeft)) {
    case TAlignment::taRightJustify:
        out += " align=right";
        break;
    case TAlignment::taCenter:
        out += " align=center";
        break;
    default:
        out += " align=left";
    }
    return out;
}

class THtmlWriter {
public:
    THtmlWriter(const TExportLayout& layout, const std::vector<TExportNode>& nodes, IExportCells& cells,
                const TExportPlatform& platform)
        : layout_(layout), nodes_(nodes), cells_(cells), platform_(platform) {
        for (const TExportNode& node : nodes)
            maxLevel_ = std::max(maxLevel_, node.Level);
        cellPadding_ = JoinText("padding-left:", Decimal(layout.Margin),
                                "px;padding-right:", Decimal(layout.Margin), "px;");
    }

    std::string Write(std::wstring_view caption) {
        WriteStyles();
        out_.Add("<table class=\"default\" bgcolor=", HtmlColor(layout_.TreeColor, platform_), " ");
        if (!caption.empty())
            out_.Add("caption=\"", EscapeHTML(caption), "\" ");
        if (layout_.Border)
            out_.Add("border=\"", Decimal(static_cast<long long>(layout_.BorderWidth) + 1), "\" frame=box");
        out_.Add(" cellspacing=\"0\" cellpadding=", Decimal(layout_.Margin), ">");
        out_.AddNewLine();
        if (layout_.UseColumns())
            WriteCaptionRow();
        for (const TExportNode& node : nodes_)
            WriteNodeRow(node);
        out_.Add("</table>");
        return out_.AsString();
    }

private:
    void WriteStyles() {
        const int ppi = layout_.PixelsPerInch;
        out_.Add("<style type=\"text/css\">");
        out_.AddNewLine();
        out_.Add(ClassStyle("default", layout_.TreeFont, ppi, platform_));
        out_.AddNewLine();
        out_.Add(ClassStyle("header", layout_.HeaderFont, ppi, platform_));
        out_.AddNewLine();
        const std::string borderLine = layout_.SolidGridLines ? "solid;" : "dotted;";
        if (layout_.HorzGridLines)
            out_.Add(".noborder{border-style:", borderLine,
                     " border-bottom:1;border-left:0;border-right:0; border-top:0;", cellPadding_, "}");
        else
            out_.Add(".noborder{border-style:none;", cellPadding_, "}");
        out_.AddNewLine();
        out_.Add(".normalborder {border-top:none; border-left:none; ");
        if (layout_.VertGridLines)
            out_.Add("border-right:1 ", borderLine);
        else
            out_.Add("border-right:none;");
        if (layout_.HorzGridLines)
            out_.Add("border-bottom:1 ", borderLine);
        else
            out_.Add("border-bottom:none;");
        out_.Add(cellPadding_, "}</style>");
        out_.AddNewLine();
    }

    void WriteCaptionRow() {
        out_.Add("<tr class=\"header\" style=\"", cellPadding_, "\">");
        out_.AddNewLine();
        for (const TExportColumn& column : layout_.Columns) {
            out_.Add("<th height=\"", Decimal(layout_.HeaderHeight), "px\"");
            out_.Add(DirectionAndAlignment(column.Alignment, column.RightToLeft));
            if (column.Index == layout_.MainColumn && maxLevel_ > 0)
                out_.Add(" colspan=\"", Decimal(maxLevel_ + 1), "\"");
            out_.Add(" bgcolor=", HtmlColor(0x8000000F, platform_)); // clBtnFace
            out_.Add(" width=\"", Decimal(column.Width), "px\">");
            out_.Add(EscapeHTML(column.Caption));
            out_.Add("</th>");
        }
        out_.Add("</tr>");
        out_.AddNewLine();
    }

    void WriteNodeRow(const TExportNode& node) {
        out_.Add(" <tr class=\"default\">");
        out_.AddNewLine();
        if (layout_.UseColumns()) {
            for (const TExportColumn& column : layout_.Columns)
                WriteCell(node, &column);
        } else {
            WriteCell(node, nullptr);
        }
        out_.Add(" </tr>");
        out_.AddNewLine();
    }

    // column is null for a tree without columns.
    void WriteCell(const TExportNode& node, const TExportColumn* column) {
        const TColumnIndex index = column != nullptr ? column->Index : NoColumn;
        const TTextFont font = cells_.CellFont(node.Node, index);
        const bool fontChanged = !(font == layout_.TreeFont);
        const bool ownColor = column != nullptr && !column->ParentColor;
        const std::string height = JoinText(Decimal(node.Height), "px\"");
        const bool main = index == layout_.MainColumn;
        if (main) {
            for (int i = 0; i < node.Level; ++i) {
                if (ownColor)
                    out_.Add("<td class=\"noborder\" width=\"", Decimal(layout_.Indent), "\" height=\"",
                             height, " bgcolor=", HtmlColor(column->Color, platform_), ">&nbsp;</td>");
                else if (i == 0)
                    out_.Add(" <td height=\"", height, ">&nbsp;</td>");
                else
                    out_.Add(" <td>&nbsp;</td>");
            }
        }
        if (fontChanged)
            out_.Add(" <td class=\"normalborder\" ", InlineStyle(font, layout_.PixelsPerInch, platform_),
                     " height=\"", height);
        else
            out_.Add(" <td class=\"normalborder\"  height=\"", height);
        if (column != nullptr)
            out_.Add(DirectionAndAlignment(column->Alignment, column->RightToLeft));
        else
            out_.Add(DirectionAndAlignment(layout_.TreeAlignment, layout_.TreeRightToLeft));
        if (main && node.Level < maxLevel_)
            out_.Add(" colspan=\"", Decimal(maxLevel_ - node.Level + 1), "\"");
        if (ownColor)
            out_.Add(" bgcolor=", HtmlColor(column->Color, platform_));
        out_.Add(">", EscapeHTML(cells_.CellText(node.Node, index)), "</td>");
    }

    const TExportLayout& layout_;
    const std::vector<TExportNode>& nodes_;
    IExportCells& cells_;
    const TExportPlatform& platform_;
    TBufferedString out_;
    int maxLevel_ = 0;
    std::string cellPadding_;
};

} // namespace

std::string EscapeHTML(std::wstring_view text) {
    std::string utf8 = EncodeUTF8(text);
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string ExportHTML(const TExportLayout& layout, const std::vector<TExportNode>& nodes,
                       IExportCells& cells, std::wstring_view caption, const TExportPlatform& platform) {
    return THtmlWriter(layout, nodes, cells, platform).Write(caption);
}

} // namespace tarvola
