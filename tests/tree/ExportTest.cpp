// The content exports: UTF-8 encoding, delimited text with its quoting, the HTML table (parsed back) with the
// clipboard framing, and the RTF table, over a small fixture of columns and nodes.
#include "tree/StringTree.h"
#include "tree/TextExport.h"
#include "tree/Utf8.h"

#include "tree/Header.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvola::test {
namespace {

TEST(EncodeUTF8, Table) {
    struct Case {
        std::wstring in;
        std::string out;
    };
    const std::vector<Case> cases = {
        {L"", ""},
        {L"abc", "abc"},
        {std::wstring{wchar_t(0xE9)}, "\xC3\xA9"},
        {std::wstring{wchar_t(0x20AC)}, "\xE2\x82\xAC"},
        {std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}, "\xF0\x9F\x98\x80"},
        {std::wstring{wchar_t(0xDBFF), wchar_t(0xDFFF)}, "\xF4\x8F\xBF\xBF"},
        // Unpaired surrogates are left out; a low unit never leads a pair.
        {std::wstring{L'a', wchar_t(0xD83D), L'b'}, "ab"},
        {std::wstring{L'a', wchar_t(0xDE00)}, "a"},
        {std::wstring{wchar_t(0xDC00), wchar_t(0xDC01)}, ""},
        {std::wstring{wchar_t(0xD800), wchar_t(0xD800), wchar_t(0xDC00)}, "\xF0\x90\x80\x80"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EncodeUTF8(c.in), c.out) << testing::PrintToString(c.out);
}

TEST(CellQuoting, AnsiAndUnicodeRules) {
    struct Case {
        std::string text;
        char separator;
        std::string ansi;
        std::string unicode;
    };
    const std::vector<Case> cases = {
        {"plain", ',', "plain", "plain"},
        {"", ',', "", ""},
        {"a\"b", ',', "\"a\"\"b\"", "a\"b"},
        {"a,b", ',', "\"a,b\"", "\"a,b\""},
        {"a\tb", '\t', "\"a\tb\"", "\"a\tb\""},
        {"a\tb", ',', "a\tb", "a\tb"},
        // Separator and quotes: the quotes inside are doubled in both forms.
        {"x,\"y\"", ',', "\"x,\"\"y\"\"\"", "\"x,\"\"y\"\"\""},
        // Line breaks would split the row.
        {"one\r\ntwo", ',', "\"one\r\ntwo\"", "\"one\r\ntwo\""},
        {"one\ntwo", '\t', "\"one\ntwo\"", "\"one\ntwo\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QuoteTextCell(c.text, c.separator), c.ansi) << c.text;
        const std::wstring wide(c.text.begin(), c.text.end());
        const std::wstring expected(c.unicode.begin(), c.unicode.end());
        EXPECT_EQ(QuoteUnicodeTextCell(wide, static_cast<wchar_t>(c.separator)), expected) << c.text;
    }
}

// Cells from a table; fonts from an optional per-cell override.
struct TableCells : IExportCells {
    std::map<std::pair<PVirtualNode, TColumnIndex>, std::wstring> texts;
    std::map<std::pair<PVirtualNode, TColumnIndex>, TTextFont> fonts;
    TTextFont treeFont;
    std::wstring CellText(PVirtualNode node, TColumnIndex column) override { return texts[{node, column}]; }
    TTextFont CellFont(PVirtualNode node, TColumnIndex column) override {
        const auto found = fonts.find({node, column});
        return found == fonts.end() ? treeFont : found->second;
    }
};

// Fake node identities: the exports only pass them back.
PVirtualNode N(std::uintptr_t id) {
    return reinterpret_cast<PVirtualNode>(id * 64);
}

struct ExportFixture : ::testing::Test {
    TExportLayout layout;
    TableCells cells;
    std::vector<TExportNode> nodes;

    void TwoColumns() {
        layout.Columns = {TExportColumn{0, L"Name", 100}, TExportColumn{1, L"Size", 60}};
        layout.Columns[1].Alignment = TAlignment::taRightJustify;
        layout.MainColumn = 0;
    }
    void AddNode(std::uintptr_t id, int level, std::vector<std::wstring> texts) {
        nodes.push_back(TExportNode{N(id), level, 18});
        for (std::size_t i = 0; i < texts.size(); ++i)
            cells.texts[{N(id), layout.UseColumns() ? static_cast<TColumnIndex>(i) : NoColumn}] = texts[i];
    }
};

TEST_F(ExportFixture, PlainTextWithoutColumnsIndentsByLevel) {
    AddNode(1, 0, {L"root"});
    AddNode(2, 1, {L"child"});
    AddNode(3, 2, {L"grandchild"});
    EXPECT_EQ(ExportText(layout, nodes, cells, '\t'), "root\r\n\tchild\r\n\t\tgrandchild\r\n");
    EXPECT_EQ(ExportUnicodeText(layout, nodes, cells, L'\t'), L"root\r\n\tchild\r\n\t\tgrandchild\r\n");
}

TEST_F(ExportFixture, ColumnsLineTheLevelsUp) {
    TwoColumns();
    AddNode(1, 0, {L"a", L"1"});
    AddNode(2, 1, {L"b", L"22"});
    EXPECT_EQ(ExportText(layout, nodes, cells, ';'), "Name;;Size\r\n"
                                                     "a;;1\r\n"
                                                     ";b;22\r\n");
}

TEST_F(ExportFixture, CsvAndUnicodeTextQuoteCells) {
    TwoColumns();
    AddNode(1, 0, {L"a\"b", L"x,y"});
    AddNode(2, 0, {L"line\r\nbreak", L""});
    EXPECT_EQ(ExportText(layout, nodes, cells, ','), "Name,Size\r\n"
                                                     "\"a\"\"b\",\"x,y\"\r\n"
                                                     "\"line\r\nbreak\",\r\n");
    EXPECT_EQ(ExportUnicodeText(layout, nodes, cells, L'\t'), L"Name\tSize\r\n"
                                                              L"a\"b\tx,y\r\n"
                                                              L"\"line\r\nbreak\"\t\r\n");
}

TEST_F(ExportFixture, AnsiTextUsesTheCodePage) {
    AddNode(1, 0, {std::wstring{L'a', wchar_t(0xE9), wchar_t(0x4E2D)}});
    EXPECT_EQ(ExportText(layout, nodes, cells, '\t'), "a\xE9?\r\n");
}

// A small HTML reader for the tests: elements with their attributes (entities decoded) and their text.
struct HtmlElement {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string text; // decoded text directly inside (for leaf cells)
};

std::string DecodeEntities(const std::string& s) {
    static const std::map<std::string, std::string> entities = {
        {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"nbsp", "\xC2\xA0"}};
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            const std::size_t end = s.find(';', i);
            const auto found =
                end == std::string::npos ? entities.end() : entities.find(s.substr(i + 1, end - i - 1));
            if (found == entities.end())
                throw std::runtime_error("an unknown or broken entity at " + std::to_string(i));
            out += found->second;
            i = end;
        } else {
            out += s[i];
        }
    }
    return out;
}

// Parses a fragment; fails on a raw '<' or '>' in text or a quote character in an unquoted value.
std::vector<HtmlElement> ParseHtml(const std::string& html) {
    std::vector<HtmlElement> elements;
    std::size_t i = 0;
    const auto skipSpace = [&] {
        while (i < html.size() && std::isspace(static_cast<unsigned char>(html[i])))
            ++i;
    };
    bool inStyle = false;
    while (i < html.size()) {
        if (html[i] != '<') {
            const std::size_t end = html.find('<', i);
            const std::string raw = html.substr(i, end - i);
            if (!inStyle) {
                if (raw.find('>') != std::string::npos)
                    throw std::runtime_error("a raw '>' in text");
                // Markup whitespace between tags is not part of a cell's text.
                const std::size_t first = raw.find_first_not_of(" \r\n");
                if (!elements.empty() && first != std::string::npos)
                    elements.back().text +=
                        DecodeEntities(raw.substr(first, raw.find_last_not_of(" \r\n") - first + 1));
            }
            i = end == std::string::npos ? html.size() : end;
            continue;
        }
        ++i;
        if (html.compare(i, 1, "/") == 0) {
            const std::size_t end = html.find('>', i);
            inStyle = inStyle && html.compare(i, 6, "/style") != 0;
            i = end + 1;
            continue;
        }
        HtmlElement element;
        while (i < html.size() && std::isalnum(static_cast<unsigned char>(html[i])))
            element.name += html[i++];
        if (element.name.empty())
            throw std::runtime_error("a raw '<' in text");
        for (;;) {
            skipSpace();
            if (i >= html.size())
                throw std::runtime_error("an unclosed tag");
            if (html[i] == '>') {
                ++i;
                break;
            }
            std::string name;
            while (i < html.size() && (std::isalnum(static_cast<unsigned char>(html[i])) || html[i] == '-'))
                name += html[i++];
            if (name.empty())
                throw std::runtime_error("a broken attribute near " + html.substr(i, 20));
            std::string value;
            if (html[i] == '=') {
                ++i;
                if (html[i] == '"') {
                    const std::size_t end = html.find('"', i + 1);
                    value = html.substr(i + 1, end - i - 1);
                    i = end + 1;
                    if (i < html.size() && !std::isspace(static_cast<unsigned char>(html[i])) &&
                        html[i] != '>')
                        throw std::runtime_error("an attribute runs into the next: " + name);
                } else {
                    while (i < html.size() && !std::isspace(static_cast<unsigned char>(html[i])) &&
                           html[i] != '>') {
                        if (html[i] == '"' || html[i] == '\'' || html[i] == '<')
                            throw std::runtime_error("a quote in an unquoted value");
                        value += html[i++];
                    }
                }
            }
            element.attributes[name] = DecodeEntities(value);
        }
        inStyle = element.name == "style";
        elements.push_back(element);
    }
    return elements;
}

std::vector<HtmlElement> Named(const std::vector<HtmlElement>& elements, const std::string& name) {
    std::vector<HtmlElement> result;
    for (const HtmlElement& e : elements)
        if (e.name == name)
            result.push_back(e);
    return result;
}

TEST_F(ExportFixture, HtmlGoldenWithColumns) {
    TwoColumns();
    layout.TreeFont = TTextFont{"Tahoma", -11, 0, 0x000000};
    layout.HeaderFont = TTextFont{"Tahoma", -11, TextFontBold, 0x000080};
    cells.treeFont = layout.TreeFont;
    AddNode(1, 0, {L"a", L"1"});
    AddNode(2, 1, {L"b", L"2"});
    cells.fonts[{N(2), 1}] = TTextFont{"Arial", -16, TextFontItalic, 0x0000FF};
    const std::string expected =
        "<style type=\"text/css\">\r\n"
        ".default{font: 8pt \"Tahoma\";color:#000000;}\r\n"
        ".header{font: bold 8pt \"Tahoma\";color:#800000;}\r\n"
        ".noborder{border-style:none;padding-left:4px;padding-right:4px;}\r\n"
        ".normalborder {border-top:none; border-left:none; border-right:none;border-bottom:none;"
        "padding-left:4px;padding-right:4px;}</style>\r\n"
        "<table class=\"default\" bgcolor=#FFFFFF border=\"1\" frame=box cellspacing=\"0\" cellpadding=4>\r\n"
        "<tr class=\"header\" style=\"padding-left:4px;padding-right:4px;\">\r\n"
        "<th height=\"17px\" align=left colspan=\"2\" bgcolor=#D4D0C8 width=\"100px\">Name</th>"
        "<th height=\"17px\" align=right bgcolor=#D4D0C8 width=\"60px\">Size</th></tr>\r\n"
        " <tr class=\"default\">\r\n"
        " <td class=\"normalborder\"  height=\"18px\" align=left colspan=\"2\">a</td>"
        " <td class=\"normalborder\"  height=\"18px\" align=right>1</td> </tr>\r\n"
        " <tr class=\"default\">\r\n"
        " <td height=\"18px\">&nbsp;</td>"
        " <td class=\"normalborder\"  height=\"18px\" align=left>b</td>"
        " <td class=\"normalborder\"  style=\"font: italic 12pt 'Arial';color:#FF0000;\" height=\"18px\" "
        "align=right>2</td> </tr>\r\n"
        "</table>";
    EXPECT_EQ(ExportHTML(layout, nodes, cells, L""), expected);
}

TEST_F(ExportFixture, HtmlEscapesTextsAndParsesBack) {
    TwoColumns();
    layout.Columns[0].Caption = L"<Name> & \"co\"";
    layout.Columns[1].ParentColor = false;
    layout.Columns[1].Color = 0x00FF00;
    layout.HorzGridLines = true;
    const std::wstring nasty = L"<b>bold</b> & \"quoted\"";
    const std::wstring other{L'x', wchar_t(0x4E2D), wchar_t(0xD83D), wchar_t(0xDE00)};
    AddNode(1, 0, {L"top", L""});
    AddNode(2, 1, {L"mid", L""});
    AddNode(3, 2, {nasty, other});
    AddNode(4, 3, {L"deep", L"d"});
    const std::string html = ExportHTML(layout, nodes, cells, L"a \"caption\" <here>");
    std::vector<HtmlElement> elements;
    ASSERT_NO_THROW(elements = ParseHtml(html)) << html;
    ASSERT_EQ(Named(elements, "table").size(), 1u);
    EXPECT_EQ(Named(elements, "table")[0].attributes["caption"], "a \"caption\" <here>");
    auto headers = Named(elements, "th");
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers[0].text, "<Name> & \"co\"");
    EXPECT_EQ(headers[0].attributes["colspan"], "4");
    // The level-2 node under MaxLevel 3: two indentation cells, then its text spanning two columns.
    std::vector<HtmlElement> row3;
    int rowIndex = -1;
    for (HtmlElement& e : elements) {
        if (e.name == "tr" && e.attributes["class"] == "default")
            ++rowIndex;
        else if (e.name == "td" && rowIndex == 2)
            row3.push_back(e);
    }
    ASSERT_EQ(row3.size(), 4u);
    EXPECT_EQ(row3[0].text, "\xC2\xA0");
    EXPECT_EQ(row3[1].text, "\xC2\xA0");
    EXPECT_EQ(row3[2].text, EncodeUTF8(nasty));
    EXPECT_EQ(row3[2].attributes["colspan"], "2");
    EXPECT_EQ(row3[3].text, EncodeUTF8(other));
    EXPECT_EQ(row3[3].attributes["bgcolor"], "#00FF00");
}

TEST_F(ExportFixture, HtmlWithoutColumnsTakesTheTreeAlignment) {
    layout.TreeAlignment = TAlignment::taLeftJustify;
    layout.TreeRightToLeft = true;
    layout.Border = false;
    AddNode(1, 0, {L"only"});
    const std::string html = ExportHTML(layout, nodes, cells, L"");
    EXPECT_NE(html.find("bgcolor=#FFFFFF  cellspacing=\"0\""), std::string::npos);
    EXPECT_NE(html.find(" <td class=\"normalborder\"  height=\"18px\" dir=\"rtl\" align=right>only</td>"),
              std::string::npos)
        << html;
    EXPECT_EQ(html.find("<tr class=\"header\""), std::string::npos);
}

// Reads the clipboard header's numbers back and slices the framed text with them.
std::map<std::string, std::size_t> HeaderNumbers(const std::string& framed) {
    std::map<std::string, std::size_t> numbers;
    for (const char* label : {"StartHTML:", "EndHTML:", "StartFragment:", "EndFragment:"}) {
        const std::size_t at = framed.find(label);
        EXPECT_NE(at, std::string::npos) << label;
        numbers[label] = std::stoul(framed.substr(at + std::strlen(label), 8));
    }
    return numbers;
}

TEST_F(ExportFixture, ClipboardHtmlOffsetsAreSelfConsistent) {
    for (const std::wstring& text : {std::wstring(), std::wstring{L'a', wchar_t(0xE9), wchar_t(0x4E2D)}}) {
        nodes.clear();
        if (!text.empty())
            AddNode(1, 0, {text});
        const std::string fragment = ExportHTML(layout, nodes, cells, L"");
        std::string framed = fragment;
        AddClipboardHTMLHeader(framed);
        EXPECT_EQ(framed.substr(0, 13), "Version:1.0\r\n");
        auto numbers = HeaderNumbers(framed);
        EXPECT_EQ(numbers["StartHTML:"], 97u);
        EXPECT_EQ(numbers["StartFragment:"], 269u);
        EXPECT_EQ(numbers["EndHTML:"], framed.size());
        EXPECT_EQ(framed.substr(97, 15), "<!DOCTYPE HTML ");
        EXPECT_EQ(framed.substr(numbers["StartFragment:"] - 20, 20), "<!--StartFragment-->");
        EXPECT_EQ(
            framed.substr(numbers["StartFragment:"], numbers["EndFragment:"] - numbers["StartFragment:"]),
            fragment);
        EXPECT_EQ(framed.substr(numbers["EndFragment:"]), "<!--EndFragment--></body></html>");
    }
}

TEST_F(ExportFixture, RtfGoldenWithColumns) {
    TwoColumns();
    layout.TreeFont = TTextFont{"Tahoma", -11, 0, 0x000000};
    layout.HeaderFont = layout.TreeFont;
    cells.treeFont = layout.TreeFont;
    AddNode(1, 0, {L"a", L""});
    AddNode(2, 1, {std::wstring{L'b', wchar_t(0x8000), wchar_t(0xFFFF)}, L"2"});
    cells.fonts[{N(2), 1}] = TTextFont{"Tahoma", -11, TextFontBold, 0x0000FF};
    const std::string expected =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl{\\f0 Tahoma;}}"
        "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}"
        "\\uc1\\trowd\\trgaph70\\cellx1500\\cellx2400"
        "\\pard\\intbl\\f0\\cf1\\fs16 \\u78\\'3f\\u97\\'3f\\u109\\'3f\\u101\\'3f\\cell"
        "\\qr \\u83\\'3f\\u105\\'3f\\u122\\'3f\\u101\\'3f\\cell\\row"
        "\\pard\\intbl \\u97\\'3f\\cell\\pard\\intbl\\qr\\cell\\row"
        "\\pard\\intbl\\tab  \\u98\\'3f\\u-32768\\'3f\\u-1\\'3f\\cell"
        "\\pard\\intbl\\qr\\b\\cf2 \\u50\\'3f\\b0\\cell\\row"
        "\\pard\\par}";
    EXPECT_EQ(ExportRTF(layout, nodes, cells), expected);
}

TEST_F(ExportFixture, RtfWithoutColumnsUsesTheClientWidth) {
    layout.ClientWidth = 201;
    layout.PixelsPerInch = 120;
    AddNode(1, 0, {L""});
    // 201 * 1440 / 120 = 2412 exactly; the empty text writes no font.
    EXPECT_EQ(ExportRTF(layout, nodes, cells),
              "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl}{\\colortbl;}"
              "\\uc1\\trowd\\trgaph70\\cellx2412\\pard\\intbl\\cell\\row\\pard\\par}");
}

} // namespace
} // namespace tarvola::test
