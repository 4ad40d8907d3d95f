// The string tree: texts asked from the owner, the main column's cached width and what drops it, incremental
// search, cell emptiness and auto-span, and the painting of normal, shortened and static texts, with a fake
// canvas of fixed character widths.
#include "tests/tree/TreeTestSupport.h"

#include "tree/Header.h"
#include "tree/StringTree.h"

#include <gtest/gtest.h>

#include <map>

namespace tarvola::test {
namespace {

// Every character is 6 pixels wide (7 in bold); lines are 13 pixels high. Counts the measures and records
// what is drawn.
struct FakeCanvas : IStringTreeCanvas {
    int measures = 0;
    struct Drawn {
        std::wstring text;
        TTreeRect rect;
        std::uint32_t format;
        TTextFont font;
    };
    std::vector<Drawn> drawn;

    int CharWidth() const { return (Font.Style & TextFontBold) ? 7 : 6; }
    int TextWidth(std::wstring_view text) override {
        ++measures;
        return static_cast<int>(text.size()) * CharWidth();
    }
    int LineHeight() override { return 13; }
    int TextHeight(std::wstring_view text, int width, std::uint32_t) override {
        const int total = static_cast<int>(text.size()) * CharWidth();
        return width <= 0 ? 13 : std::max(1, (total + width - 1) / width) * 13;
    }
    void DrawTextInRect(std::wstring_view text, const TTreeRect& rect, std::uint32_t format) override {
        drawn.push_back(Drawn{std::wstring(text), rect, format, Font});
    }
};

// A string tree whose owner names cells from a table (missing entries keep the default text).
struct StringTreeFixture : ::testing::Test {
    RecordingHost host;
    TVirtualStringTree tree{&host};
    FakeCanvas canvas;
    std::map<std::pair<PVirtualNode, TColumnIndex>, std::wstring> texts;
    std::map<std::pair<PVirtualNode, TColumnIndex>, std::wstring> staticTexts;
    bool boldOwner = false;

    void GetText(TCustomVirtualStringTree&, PVirtualNode node, TColumnIndex column, TVSTTextType type,
                 std::wstring& text) {
        auto& table = type == TVSTTextType::ttNormal ? texts : staticTexts;
        const auto found = table.find({node, column});
        if (found != table.end())
            text = found->second;
    }
    void PaintText(TCustomVirtualStringTree&, IStringTreeCanvas& target, PVirtualNode, TColumnIndex,
                   TVSTTextType) {
        if (boldOwner)
            target.Font.Style |= TextFontBold;
    }

    StringTreeFixture() {
        host.tree = &tree;
        tree.OnGetText = TVSTGetTextEvent::Bind<&StringTreeFixture::GetText>(this);
        tree.OnPaintText = TVTPaintText::Bind<&StringTreeFixture::PaintText>(this);
        tree.SetTextCanvas(&canvas);
    }
    void AddColumns(int count, int width = 50) {
        for (int i = 0; i < count; ++i)
            tree.Header().Columns().Add().SetWidth(width);
    }
};

TEST(StringTreeTexts, WithoutAHandlerEveryCellShowsTheDefaultText) {
    TVirtualStringTree tree;
    const PVirtualNode node = tree.AddChild(nullptr);
    EXPECT_EQ(tree.GetText(node, NoColumn), L"Node");
    EXPECT_EQ(tree.GetText(node, 3), L"Node");
    EXPECT_EQ(tree.GetStaticText(node, NoColumn), L"");
    tree.SetDefaultText(L"Item");
    EXPECT_EQ(tree.GetText(node, 0), L"Item");
    EXPECT_THROW(tree.GetText(nullptr, 0), EVirtualTreeAssertion);
    EXPECT_EQ(tree.StringOptions(), toSaveCaptions | toAutoAcceptEditChange);
}

TEST_F(StringTreeFixture, GetTextInitialisesTheNodeFirst) {
    tree.SetRootNodeCount(1);
    const PVirtualNode node = tree.GetFirstNoInit();
    ASSERT_EQ(node->States & nsInitialized, 0);
    texts[{node, NoColumn}] = L"named";
    EXPECT_EQ(tree.GetText(node, NoColumn), L"named");
    EXPECT_NE(node->States & nsInitialized, 0);
}

TEST_F(StringTreeFixture, SetTextHandsTheTextToTheOwnerAndDropsTheWidth) {
    const PVirtualNode node = tree.AddChild(nullptr);
    std::wstring received;
    auto onNew = [&](TCustomVirtualStringTree&, PVirtualNode n, TColumnIndex, const std::wstring& text) {
        texts[{n, NoColumn}] = text;
        received = text;
    };
    tree.OnNewText = TVSTNewTextEvent::Bind(onNew);
    EXPECT_EQ(tree.GetNodeWidth(node, NoColumn), 4 * 6 + 8);
    tree.SetText(node, NoColumn, L"renamed");
    EXPECT_EQ(received, L"renamed");
    EXPECT_EQ(tree.GetNodeWidth(node, NoColumn), 7 * 6 + 8);
}

TEST_F(StringTreeFixture, TheMainColumnsWidthIsCachedUntilSomethingDropsIt) {
    AddColumns(2);
    const PVirtualNode node = tree.AddChild(nullptr);
    texts[{node, 0}] = L"abc";
    texts[{node, 1}] = L"wider text";
    const auto measuresOf = [&](auto action) {
        const int before = canvas.measures;
        action();
        return canvas.measures - before;
    };
    const auto width0 = [&] { EXPECT_EQ(tree.GetNodeWidth(node, 0), 3 * 6 + 8); };
    EXPECT_EQ(measuresOf(width0), 1);
    EXPECT_EQ(measuresOf(width0), 0);
    // Another column is measured every time.
    EXPECT_EQ(measuresOf([&] { EXPECT_EQ(tree.GetNodeWidth(node, 1), 10 * 6 + 8); }), 1);
    EXPECT_EQ(measuresOf([&] { tree.GetNodeWidth(node, 1); }), 1);

    struct Dropper {
        const char* name;
        std::function<void()> drop;
    };
    const std::vector<Dropper> droppers = {
        {"InvalidateNode", [&] { tree.InvalidateNode(node); }},
        {"ReinitNode", [&] { tree.ReinitNode(node, false); }},
        {"FontChanged", [&] { tree.FontChanged(); }},
        {"the control's font",
         [&] {
             tree.TreeFontChanged(TTextFont{"Arial", -15, 0, 0});
         }},
        {"DefaultText", [&] { tree.SetDefaultText(L"Other"); }},
        {"MainColumn",
         [&] {
             tree.Header().SetMainColumn(1);
             tree.Header().SetMainColumn(0);
         }},
    };
    for (const Dropper& dropper : droppers) {
        dropper.drop();
        EXPECT_EQ(measuresOf(width0), 1) << dropper.name;
        EXPECT_EQ(measuresOf(width0), 0) << dropper.name;
    }
    // The control's font is the font texts are measured in; the same font again drops nothing.
    EXPECT_EQ(tree.Look.Font, (TTextFont{"Arial", -15, 0, 0}));
    EXPECT_EQ(measuresOf([&] { tree.TreeFontChanged(TTextFont{"Arial", -15, 0, 0}); }), 0);
    EXPECT_EQ(measuresOf(width0), 0);
    // The owner's font counts in the measure.
    boldOwner = true;
    tree.InvalidateNode(node);
    EXPECT_EQ(tree.GetNodeWidth(node, 0), 3 * 7 + 8);
}

TEST_F(StringTreeFixture, SpecialWidths) {
    AddColumns(2, 120);
    const PVirtualNode node = tree.AddChild(nullptr);
    texts[{node, 0}] = L"";
    EXPECT_EQ(tree.GetNodeWidth(node, 0), 8); // an empty text has only its margins
    EXPECT_EQ(tree.GetNodeWidth(tree.RootNode(), 0), 0);
    node->States |= nsMultiline;
    EXPECT_EQ(tree.GetNodeWidth(node, 1), 120);
    // A multiline node's wrapped height: 20 characters of 6 pixels in a 120-pixel cell make one line;
    // 21 make two.
    EXPECT_EQ(tree.ComputeNodeHeight(canvas, node, 1, std::wstring(20, L'x')), 13);
    EXPECT_EQ(tree.ComputeNodeHeight(canvas, node, 1, std::wstring(21, L'x')), 26);
}

TEST_F(StringTreeFixture, IncrementalSearchIsACaseSensitivePrefixMatch) {
    AddColumns(2);
    const PVirtualNode node = tree.AddChild(nullptr);
    tree.SetFocusedColumn(1);
    for (const auto& [text, result] : std::vector<std::pair<std::wstring, int>>{
             {L"abc", 0}, {L"ab", 0}, {L"Abc", 1}, {L"cab", 1}, {L"a", 1}}) {
        texts[{node, 1}] = text;
        texts[{node, 0}] = L"abc"; // another column's text does not count
        tree.OnIncrementalSearch.Reset();
        int found = -1;
        struct Probe : TVirtualStringTree {
            using TVirtualStringTree::DoIncrementalSearch;
        };
        found = static_cast<Probe&>(static_cast<TVirtualStringTree&>(tree)).DoIncrementalSearch(node, L"ab");
        EXPECT_EQ(found, result) << std::string(text.begin(), text.end());
    }
}

TEST_F(StringTreeFixture, AutoSpanRunsOverEmptyColumnsUpToTheFirstText) {
    AddColumns(4, 30);
    const PVirtualNode node = tree.AddChild(nullptr);
    texts[{node, 0}] = L"long text";
    texts[{node, 1}] = L"";
    texts[{node, 2}] = L"";
    texts[{node, 3}] = L"x";
    TTreeRect rect{0, 0, 30, 18};
    TColumnIndex next = NoColumn;
    tree.AdjustPaintCellRect(node, 0, rect, next);
    EXPECT_EQ(rect.Right, 30); // without the option only the next column is named
    EXPECT_EQ(next, 1);

    tree.Look.AutoSpanColumns = true;
    tree.AdjustPaintCellRect(node, 0, rect, next);
    EXPECT_EQ(rect.Right, 90);
    EXPECT_EQ(next, 3);
    // To the end: the invalid column.
    texts[{node, 3}] = L"";
    rect = TTreeRect{0, 0, 30, 18};
    tree.AdjustPaintCellRect(node, 0, rect, next);
    EXPECT_EQ(rect.Right, 120);
    EXPECT_EQ(next, InvalidColumn);
    // A right-to-left column stops the span.
    texts[{node, 3}] = L"";
    tree.Header().Columns()[2].SetBiDiMode(TBiDiMode::bdRightToLeft);
    rect = TTreeRect{0, 0, 30, 18};
    tree.AdjustPaintCellRect(node, 0, rect, next);
    EXPECT_EQ(rect.Right, 60);
    EXPECT_EQ(next, 2);
}

TEST(ShortenCellText, Table) {
    FakeCanvas canvas;
    struct Case {
        std::wstring text;
        int width;
        bool rightToLeft;
        std::wstring expected;
    };
    // 9 units, 54 pixels: x a b, a surrogate pair, c d e f.
    const std::wstring pair{L'x', L'a', L'b', wchar_t(0xD83D), wchar_t(0xDE00), L'c', L'd', L'e', L'f'};
    const std::vector<Case> cases = {
        {L"abcdef", 36, false, L"abcdef"}, // fits exactly
        {L"", 0, false, L""},
        {L"abcdef", 35, false, L"ab..."}, // 35 - 18 leaves room for two characters
        {L"abcdef", 35, true, L"...ef"},
        {L"abcdef", 18, false, L"..."}, // only the ellipsis
        {L"abcdef", 17, false, L""},    // not even the ellipsis
        {pair, 42, false, L"xab..."},   // four units would split the pair
        {pair, 48, false, pair.substr(0, 5) + L"..."},
        {pair, 48, true, L"...cdef"}, // five units from the end would split it too
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShortenCellText(canvas, c.text, c.width, c.rightToLeft, 0), c.expected)
            << c.width << (c.rightToLeft ? " rtl" : "");
}

struct PaintFixture : StringTreeFixture {
    PVirtualNode node;
    TStringPaintInfo info;
    PaintFixture() {
        AddColumns(2, 60);
        node = tree.AddChild(nullptr);
        texts[{node, 0}] = L"abcdefghij"; // 60 pixels, 68 with margins
        info.Canvas = &canvas;
        info.Node = node;
        info.Column = 0;
        info.ContentRect = TTreeRect{10, 0, 60, 18};
    }
    FakeCanvas::Drawn PaintOne() {
        canvas.drawn.clear();
        tree.PaintNodeContent(info);
        EXPECT_EQ(canvas.drawn.size(), 1u);
        return canvas.drawn.empty() ? FakeCanvas::Drawn{} : canvas.drawn[0];
    }
};

TEST_F(PaintFixture, ATextTooWideForItsCellIsShortened) {
    // 50 - 2 x 4 margins = 42 pixels: 24 for text beside the 18-pixel ellipsis.
    FakeCanvas::Drawn drawn = PaintOne();
    EXPECT_EQ(drawn.text, L"abcd...");
    EXPECT_EQ(drawn.rect, (TTreeRect{14, 0, 56, 18}));
    EXPECT_EQ(drawn.format, TextFormatNoPrefix | TextFormatVCenter | TextFormatSingleLine | TextFormatLeft);

    info.Alignment = TAlignment::taRightJustify;
    info.RightToLeft = true;
    drawn = PaintOne();
    EXPECT_EQ(drawn.text, L"...ghij");
    EXPECT_EQ(drawn.format, TextFormatNoPrefix | TextFormatVCenter | TextFormatSingleLine |
                                TextFormatRtlReading | TextFormatRight);

    // A text that fits keeps the cell's alignment.
    info.RightToLeft = false;
    info.Alignment = TAlignment::taCenter;
    info.ContentRect = TTreeRect{0, 0, 100, 18};
    drawn = PaintOne();
    EXPECT_EQ(drawn.text, L"abcdefghij");
    EXPECT_EQ(drawn.format & (TextFormatCenter | TextFormatRight), TextFormatCenter);

    // Without columns nothing is shortened.
    info.Column = NoColumn;
    info.ContentRect = TTreeRect{10, 0, 60, 18};
    texts[{node, NoColumn}] = L"abcdefghij";
    EXPECT_EQ(PaintOne().text, L"abcdefghij");
}

TEST_F(PaintFixture, TheOwnersFontAndShortening) {
    // A bold owner font: widths measured again in it (70 pixels; 42 leave 3 characters of 7 beside 21).
    boldOwner = true;
    FakeCanvas::Drawn drawn = PaintOne();
    EXPECT_EQ(drawn.text, L"abc...");
    EXPECT_NE(drawn.font.Style & TextFontBold, 0u);
    boldOwner = false;

    bool asked = false;
    auto shorten = [&](TCustomVirtualStringTree&, IStringTreeCanvas&, PVirtualNode, TColumnIndex,
                       const std::wstring& s, int space, bool, std::wstring& result, bool& done) {
        asked = true;
        EXPECT_EQ(s, L"abcdefghij");
        EXPECT_EQ(space, 42);
        result = L"owner's";
        done = true;
    };
    tree.OnShortenString = TVSTShortenStringEvent::Bind(shorten);
    EXPECT_EQ(PaintOne().text, L"owner's");
    EXPECT_TRUE(asked);
}

TEST_F(PaintFixture, ColoursForHotSelectedAndDisabledNodes) {
    info.ContentRect = TTreeRect{0, 0, 200, 18};
    tree.Look.Font.Color = 0x111111;
    EXPECT_EQ(PaintOne().font.Color, 0x111111u);

    tree.Look.HotTrack = true;
    tree.Look.HotColor = 0x222222;
    struct Probe : TVirtualStringTree {
        using TBaseVirtualTree::HotNode;
        using TBaseVirtualTree::SetHotNode;
    };
    static_cast<Probe&>(static_cast<TVirtualStringTree&>(tree)).SetHotNode(node);
    FakeCanvas::Drawn drawn = PaintOne();
    EXPECT_EQ(drawn.font.Color, 0x222222u);
    EXPECT_NE(drawn.font.Style & TextFontUnderline, 0u);

    tree.Look.HighlightTextColor = 0x333333;
    tree.SetFocusedColumn(0);
    tree.AddToSelection(node);
    EXPECT_EQ(PaintOne().font.Color, 0x222222u); // not focused, no popup mode
    info.Focused = true;
    EXPECT_EQ(PaintOne().font.Color, 0x333333u);
    info.DrawSelection = false;
    EXPECT_EQ(PaintOne().font.Color, 0x222222u);

    tree.Look.DisabledColor = 0x444444;
    info.Enabled = false;
    EXPECT_EQ(PaintOne().font.Color, 0x444444u);
}

TEST_F(PaintFixture, StaticTextFollowsTheNormalText) {
    info.ContentRect = TTreeRect{0, 0, 300, 18};
    staticTexts[{node, 0}] = L"(static)";
    EXPECT_EQ(PaintOne().text, L"abcdefghij"); // not without the option

    tree.SetStringOptions(tree.StringOptions() | toShowStaticText);
    canvas.drawn.clear();
    tree.PaintNodeContent(info);
    ASSERT_EQ(canvas.drawn.size(), 2u);
    EXPECT_EQ(canvas.drawn[1].text, L"(static)");
    EXPECT_EQ(canvas.drawn[1].rect, (TTreeRect{68 + 4, 0, 300, 18}));

    info.Alignment = TAlignment::taRightJustify;
    canvas.drawn.clear();
    tree.PaintNodeContent(info);
    ASSERT_EQ(canvas.drawn.size(), 2u);
    EXPECT_EQ(canvas.drawn[1].rect, (TTreeRect{0, 0, 300 - 72, 18}));

    // Never for a centred tree or a multiline node.
    tree.Look.Alignment = TAlignment::taCenter;
    EXPECT_EQ(PaintOne().text, L"abcdefghij");
    tree.Look.Alignment = TAlignment::taLeftJustify;
    node->States |= nsMultiline;
    const FakeCanvas::Drawn drawn = PaintOne();
    EXPECT_EQ(drawn.format & (TextFormatWordBreak | TextFormatEndEllipsis | TextFormatSingleLine),
              TextFormatWordBreak | TextFormatEndEllipsis);

    // An empty normal text paints nothing of its own.
    node->States &= ~nsMultiline;
    texts[{node, 0}] = L"";
    canvas.drawn.clear();
    tree.PaintNodeContent(info);
    ASSERT_EQ(canvas.drawn.size(), 1u);
    EXPECT_EQ(canvas.drawn[0].text, L"(static)");
}

TEST(StringOptions, OldStoredFormAndRepaint) {
    EXPECT_EQ(ConvertOldStringOptions(soShowStaticText), toShowStaticText);
    EXPECT_EQ(ConvertOldStringOptions(soSaveCaptions | soShowStaticText), toSaveCaptions | toShowStaticText);
    EXPECT_EQ(ConvertOldStringOptions(0), 0);

    RecordingHost host;
    host.window = true;
    TVirtualStringTree tree(&host);
    host.tree = &tree;
    host.log.clear();
    tree.SetStringOptions(toSaveCaptions);
    EXPECT_TRUE(host.log.empty()); // the static text option did not change
    tree.SetStringOptions(toSaveCaptions | toShowStaticText);
    EXPECT_EQ(host.log, std::vector<std::string>{"InvalidateAll"});
}

TEST_F(StringTreeFixture, HintsAndTooltips) {
    const PVirtualNode node = tree.AddChild(nullptr);
    texts[{node, NoColumn}] = L"cell";
    TVTTooltipLineBreakStyle style = TVTTooltipLineBreakStyle::hlbDefault;
    EXPECT_EQ(tree.GetNodeTooltip(node, NoColumn, style), L"cell");
    EXPECT_EQ(tree.GetNodeHint(node, NoColumn, style), L"");
    auto hint = [](TCustomVirtualStringTree&, PVirtualNode, TColumnIndex, TVTTooltipLineBreakStyle& lineBreak,
                   std::wstring& text) {
        lineBreak = TVTTooltipLineBreakStyle::hlbForceMultiLine;
        text = L"hint";
    };
    tree.OnGetHint = TVSTGetHintEvent::Bind(hint);
    EXPECT_EQ(tree.GetNodeTooltip(node, NoColumn, style), L"hint");
    EXPECT_EQ(style, TVTTooltipLineBreakStyle::hlbForceMultiLine);
}

TEST_F(StringTreeFixture, ExportsTakeTheSourcesNodesAndTheColumnsInDisplayOrder) {
    AddColumns(2);
    tree.Header().Columns()[0].SetText(L"Name");
    tree.Header().Columns()[1].SetText(L"Size");
    tree.Header().Columns()[1].SetPosition(0);
    const PVirtualNode a = tree.AddChild(nullptr);
    const PVirtualNode a0 = tree.AddChild(a);
    const PVirtualNode b = tree.AddChild(nullptr);
    texts[{a, 0}] = L"a";
    texts[{a0, 0}] = L"a0";
    texts[{b, 0}] = L"b";
    texts[{a, 1}] = texts[{a0, 1}] = texts[{b, 1}] = L"1";
    EXPECT_EQ(tree.ExportText(TVSTTextSourceType::tstAll, ','), "Size,Name\r\n1,a,\r\n1,,a0\r\n1,b,\r\n");
    // a is collapsed: its child is not visible.
    EXPECT_EQ(tree.GetRenderNodes(TVSTTextSourceType::tstVisible), (std::vector<PVirtualNode>{a, b}));
    tree.AddToSelection(b);
    EXPECT_EQ(tree.ExportUnicodeText(TVSTTextSourceType::tstSelected, L'\t'), L"Size\tName\r\n1\tb\r\n");
    const std::string html = tree.ExportHTML(TVSTTextSourceType::tstSelected);
    EXPECT_NE(html.find(">b</td>"), std::string::npos);
    const std::string rtf = tree.ExportRTF(TVSTTextSourceType::tstSelected);
    EXPECT_NE(rtf.find("\\u98\\'3f\\cell\\row\\pard\\par}"), std::string::npos) << rtf;
}

} // namespace
} // namespace tarvola::test

namespace tarvola::test {
namespace {

TEST_F(StringTreeFixture, TextInfoForAnEditorCentresOneLine) {
    const PVirtualNode node = tree.AddChild(nullptr); // 18 pixels high, at the top
    texts[{node, NoColumn}] = L"edit me";
    TTextFont font = tree.Look.Font;
    TTreeRect rect;
    std::wstring text;
    tree.GetTextInfo(node, NoColumn, font, rect, text);
    EXPECT_EQ(text, L"edit me");
    EXPECT_EQ(font, tree.Look.Font);
    // A 13-pixel line in an 18-pixel row: (13 - 18) div 2 = -2 on each side.
    EXPECT_EQ(rect.Top, 2);
    EXPECT_EQ(rect.Bottom, 16);
    // The owner's font comes back to the editor; with grid lines the row loses its last pixel first.
    boldOwner = true;
    tree.Look.ShowHorzGridLines = true;
    tree.GetTextInfo(node, NoColumn, font, rect, text);
    EXPECT_NE(font.Style & TextFontBold, 0u);
    EXPECT_EQ(rect.Top, 2);
    EXPECT_EQ(rect.Bottom, 15);
}

} // namespace
} // namespace tarvola::test
