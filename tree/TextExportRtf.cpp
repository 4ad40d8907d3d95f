// The RTF table export. Text is written as \u units (signed 16-bit, as RTF reads them) with "?" as the
// fallback for readers without Unicode; fonts and colours go into the document's tables as they come.
#include "tree/TextExport.h"

#include "base/Numerics.h"

#include <algorithm>
#include <cstdint>

namespace tarvola {
namespace {

std::string RtfAlignment(TAlignment alignment, bool rightToLeft) {
    if (rightToLeft && alignment != TAlignment::taCenter)
        alignment =
            alignment == TAlignment::taLeftJustify ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
    switch (alignment) {
    case TAlignment::taRightJustify:
        return "\\qr";
    case TAlignment::taCenter:
        return "\\qc";
    default:
        return "";
    }
}

// A font name in the font table: the characters RTF gives a meaning are left out.
std::string RtfFontName(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (c != '\\' && c != '{' && c != '}' && c != ';')
            out += c;
    }
    return out;
}

void AddUnit(std::string& out, std::uint32_t unit) {
    // \uN takes a signed 16-bit number.
    const int value = unit >= 0x8000 ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit);
    out += JoinText("\\u", std::to_string(value), "\\'3f");
}

class TRtfWriter {
public:
    TRtfWriter(const TExportLayout& layout, const std::vector<TExportNode>& nodes, IExportCells& cells,
               const TExportPlatform& platform)
        : layout_(layout), nodes_(nodes), cells_(cells), platform_(platform) {}

    std::string Write() {
        body_ = "\\uc1\\trowd\\trgaph70";
        WriteCellBoundaries();
        if (layout_.UseColumns()) {
            body_ += "\\pard\\intbl";
            for (const TExportColumn& column : layout_.Columns) {
                body_ += RtfAlignment(column.Alignment, column.RightToLeft);
                AddText(column.Caption, layout_.HeaderFont);
                body_ += "\\cell";
            }
            body_ += "\\row";
        }
        for (const TExportNode& node : nodes_) {
            if (layout_.UseColumns()) {
                for (const TExportColumn& column : layout_.Columns)
                    WriteCell(node, column.Index, column.Alignment, column.RightToLeft);
            } else {
                WriteCell(node, NoColumn, layout_.TreeAlignment, layout_.TreeRightToLeft);
            }
            body_ += "\\row";
        }
        body_ += "\\pard\\par";

        std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl";
        for (std::size_t i = 0; i < fonts_.size(); ++i)
            out += JoinText("{\\f", std::to_string(i), " ", RtfFontName(fonts_[i]), ";}");
        out += "}{\\colortbl;";
        for (std::uint32_t rgb : colors_)
            out += JoinText("\\red", std::to_string(rgb & 0xFF), "\\green", std::to_string((rgb >> 8) & 0xFF),
                            "\\blue", std::to_string((rgb >> 16) & 0xFF), ";");
        out += JoinText("}", body_, "}");
        return out;
    }

private:
    void WriteCellBoundaries() {
        const auto cellx = [this](long long right) {
            const long double twips =
                static_cast<long double>(right) * 1440 / std::max(1, layout_.PixelsPerInch);
            body_ += JoinText("\\cellx", std::to_string(Round64(twips)));
        };
        if (!layout_.UseColumns()) {
            cellx(layout_.ClientWidth);
            return;
        }
        long long right = 0;
        for (const TExportColumn& column : layout_.Columns) {
            right += column.Width;
            cellx(right);
        }
    }

    void WriteCell(const TExportNode& node, TColumnIndex column, TAlignment alignment, bool rightToLeft) {
        const std::wstring text = cells_.CellText(node.Node, column);
        body_ += "\\pard\\intbl";
        body_ += RtfAlignment(alignment, rightToLeft);
        const TTextFont font = cells_.CellFont(node.Node, column);
        if (column == layout_.MainColumn) {
            for (int i = 0; i < node.Level; ++i)
                body_ += "\\tab";
            if (node.Level > 0)
                body_ += " ";
        }
        AddText(text, font);
        body_ += "\\cell";
    }

    template <typename T>
    static int IndexIn(std::vector<T>& list, const T& value) {
        auto found = std::find(list.begin(), list.end(), value);
        if (found == list.end())
            found = list.insert(list.end(), value);
        return static_cast<int>(found - list.begin());
    }

    void AddText(std::wstring_view text, const TTextFont& font) {
        if (text.empty())
            return;
        if (font.Style & TextFontUnderline)
            body_ += "\\ul";
        if (font.Style & TextFontItalic)
            body_ += "\\i";
        if (font.Style & TextFontBold)
            body_ += "\\b";
        const int fontIndex = IndexIn(fonts_, font.Name);
        if (fontIndex != fontIndex_) {
            fontIndex_ = fontIndex;
            body_ += JoinText("\\f", std::to_string(fontIndex));
        }
        const int colorIndex = IndexIn(colors_, platform_.ColorToRGB(font.Color));
        if (colorIndex != colorIndex_) {
            colorIndex_ = colorIndex;
            body_ += JoinText("\\cf", std::to_string(colorIndex + 1));
        }
        const int size = font.PointSize(layout_.PixelsPerInch);
        if (size != size_) {
            size_ = size;
            body_ += JoinText("\\fs", std::to_string(2 * size));
        }
        body_ += " ";
        for (wchar_t c : text) {
            const auto unit = static_cast<std::uint32_t>(c);
            if (unit > 0xFFFF) { // a code point of a wide wchar_t: its surrogate pair
                AddUnit(body_, 0xD800 + ((unit - 0x10000) >> 10));
                AddUnit(body_, 0xDC00 + ((unit - 0x10000) & 0x3FF));
            } else {
                AddUnit(body_, unit);
            }
        }
        if (font.Style & TextFontUnderline)
            body_ += "\\ul0";
        if (font.Style & TextFontItalic)
            body_ += "\\i0";
        if (font.Style & TextFontBold)
            body_ += "\\b0";
    }

    const TExportLayout& layout_;
    const std::vector<TExportNode>& nodes_;
    IExportCells& cells_;
    const TExportPlatform& platform_;
    std::string body_;
    std::vector<std::string> fonts_;
    std::vector<std::uint32_t> colors_;
    int fontIndex_ = -1;
    int colorIndex_ = -1;
    int size_ = -1;
};

} // namespace

std::string ExportRTF(const TExportLayout& layout, const std::vector<TExportNode>& nodes, IExportCells& cells,
                      const TExportPlatform& platform) {
    return TRtfWriter(layout, nodes, cells, platform).Write();
}

} // namespace tarvola
