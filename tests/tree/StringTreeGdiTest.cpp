// The string tree's GDI canvas under Wine: widths, line heights and wrapped heights from the font, drawing in
// the font's colour inside the cell, shortened cell texts that fit their cells, and the text clipboard
// formats in global memory.
#include "tree/Header.h"
#include "tree/StringTree.h"
#include "tree/StringTreeGdiCanvas.h"
#include "tree/TextExportWin32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace tarvola::test {
namespace {

// A 32-bit memory bitmap selected into a memory DC, filled white.
struct MemoryDC {
    static constexpr int Width = 200, Height = 40;
    HDC dc = CreateCompatibleDC(nullptr);
    std::uint32_t* pixels = nullptr;
    HBITMAP bitmap;
    HGDIOBJ original;
    MemoryDC() {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = Width;
        info.bmiHeader.biHeight = -Height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<std::uint32_t*>(bits);
        original = SelectObject(dc, bitmap);
        for (int i = 0; i < Width * Height; ++i)
            pixels[i] = 0xFFFFFF;
    }
    ~MemoryDC() {
        SelectObject(dc, original);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    bool Painted(int x, int y) const { return pixels[y * Width + x] != 0xFFFFFF; }
};

TEST(GdiStringTreeCanvas, MeasuresInItsFont) {
    MemoryDC memory;
    TGdiStringTreeCanvas canvas(memory.dc);
    canvas.Font = TTextFont{"Arial", -12, 0, 0};
    EXPECT_EQ(canvas.TextWidth(L""), 0);
    const int one = canvas.TextWidth(L"W");
    EXPECT_GT(one, 0);
    EXPECT_GT(canvas.TextWidth(L"WW"), one);
    EXPECT_GE(canvas.LineHeight(), 12);
    const int normal = canvas.TextWidth(L"Wide text");
    canvas.Font.Height = -24;
    EXPECT_GT(canvas.TextWidth(L"Wide text"), normal);
    EXPECT_GE(canvas.LineHeight(), 24);
    canvas.Font.Height = -12;
    // A text wider than the rectangle wraps into more lines.
    const int line = canvas.LineHeight();
    const std::wstring words = L"one two three four five six seven eight nine ten";
    const std::uint32_t wrap = TextFormatWordBreak | TextFormatNoPrefix;
    EXPECT_EQ(canvas.TextHeight(words, 10000, wrap), line);
    EXPECT_GE(canvas.TextHeight(words, canvas.TextWidth(L"three four"), wrap), 3 * line);
}

TEST(GdiStringTreeCanvas, DrawsInsideTheRectangleInTheFontColour) {
    MemoryDC memory;
    {
        TGdiStringTreeCanvas canvas(memory.dc);
        canvas.Font = TTextFont{"Arial", -14, TextFontBold, 0x0000FF};
        canvas.DrawTextInRect(L"MMMM", TTreeRect{20, 5, 120, 35}, TextFormatSingleLine | TextFormatVCenter);
    }
    int inside = 0, outside = 0, red = 0;
    for (int y = 0; y < MemoryDC::Height; ++y)
        for (int x = 0; x < MemoryDC::Width; ++x) {
            if (!memory.Painted(x, y))
                continue;
            const bool in = x >= 20 && x < 120 && y >= 5 && y < 35;
            (in ? inside : outside)++;
            red += memory.pixels[y * MemoryDC::Width + x] == 0xFF0000; // DIB order: 0x00RRGGBB
        }
    EXPECT_GT(inside, 0);
    EXPECT_EQ(outside, 0);
    EXPECT_GT(red, 0);
}

// A string tree painting into the memory DC through the GDI canvas.
struct GdiTree {
    MemoryDC memory;
    TGdiStringTreeCanvas canvas{memory.dc};
    TVirtualStringTree tree;
    std::wstring text = L"A rather long cell text that cannot fit";
    std::wstring drawn;
    PVirtualNode node;

    void GetText(TCustomVirtualStringTree&, PVirtualNode, TColumnIndex, TVSTTextType type,
                 std::wstring& result) {
        if (type == TVSTTextType::ttNormal)
            result = text;
    }
    GdiTree() {
        tree.Look.Font = TTextFont{"Arial", -12, 0, 0};
        tree.OnGetText = TVSTGetTextEvent::Bind<&GdiTree::GetText>(this);
        tree.SetTextCanvas(&canvas);
        tree.Header().Columns().Add().SetWidth(100);
        node = tree.AddChild(nullptr);
    }
};

TEST(GdiStringTree, ShortenedCellTextsFitTheirCells) {
    GdiTree fixture;
    EXPECT_EQ(fixture.tree.EllipsisWidth(), fixture.canvas.TextWidth(L"..."));
    for (const int width : {40, 80, 150}) {
        for (const bool rightToLeft : {false, true}) {
            const std::wstring shortened = ShortenCellText(fixture.canvas, fixture.text, width, rightToLeft,
                                                           fixture.tree.EllipsisWidth());
            ASSERT_FALSE(shortened.empty());
            EXPECT_LE(fixture.canvas.TextWidth(shortened), width);
            EXPECT_EQ(rightToLeft ? shortened.substr(0, 3) : shortened.substr(shortened.size() - 3), L"...");
            // One more character would not have fitted.
            const std::wstring kept =
                rightToLeft ? shortened.substr(3) : shortened.substr(0, shortened.size() - 3);
            const std::wstring longer =
                rightToLeft ? fixture.text.substr(fixture.text.size() - kept.size() - 1) + L"..."
                            : fixture.text.substr(0, kept.size() + 1) + L"...";
            EXPECT_GT(fixture.canvas.TextWidth(longer), width);
        }
    }
    // Painted into a 60-pixel cell: nothing lands right of it.
    TStringPaintInfo info;
    info.Canvas = &fixture.canvas;
    info.Node = fixture.node;
    info.Column = 0;
    info.ContentRect = TTreeRect{0, 0, 60, 20};
    fixture.tree.PaintNodeContent(info);
    for (int y = 0; y < MemoryDC::Height; ++y)
        for (int x = 60; x < MemoryDC::Width; ++x)
            ASSERT_FALSE(fixture.memory.Painted(x, y)) << x << "," << y;
}

TEST(RenderTextFormat, GlobalMemoryEndsWithAZeroCharacter) {
    GdiTree fixture;
    fixture.text = L"caf\u00E9 \u4E2D";
    fixture.tree.Header().Columns()[0].SetText(L"Name");

    HGLOBAL unicode = RenderTextFormat(fixture.tree, CF_UNICODETEXT, TVSTTextSourceType::tstAll);
    ASSERT_NE(unicode, nullptr);
    const std::wstring expected = L"Name\r\n" + fixture.text + L"\r\n";
    ASSERT_EQ(GlobalSize(unicode), (expected.size() + 1) * sizeof(wchar_t));
    const auto* units = static_cast<const wchar_t*>(GlobalLock(unicode));
    EXPECT_EQ(std::wstring(units), expected);
    GlobalUnlock(unicode);
    GlobalFree(unicode);

    HGLOBAL html =
        RenderTextFormat(fixture.tree, RegisterClipboardFormatW(L"HTML Format"), TVSTTextSourceType::tstAll);
    ASSERT_NE(html, nullptr);
    const std::string framed(static_cast<const char*>(GlobalLock(html)));
    GlobalUnlock(html);
    GlobalFree(html);
    EXPECT_EQ(framed.substr(0, 33), "Version:1.0\r\nStartHTML:00000097\r\n");
    EXPECT_NE(framed.find("caf\xC3\xA9 \xE4\xB8\xAD"), std::string::npos);

    EXPECT_EQ(RenderTextFormat(fixture.tree, CF_BITMAP, TVSTTextSourceType::tstAll), nullptr);
    // Nothing selected: the caption line only; without columns nothing at all, and no memory.
    HGLOBAL captions = RenderTextFormat(fixture.tree, CF_TEXT, TVSTTextSourceType::tstSelected);
    ASSERT_NE(captions, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(captions)), "Name\r\n");
    GlobalUnlock(captions);
    GlobalFree(captions);
    TVirtualStringTree plain;
    plain.AddChild(nullptr);
    EXPECT_EQ(RenderTextFormat(plain, CF_TEXT, TVSTTextSourceType::tstSelected), nullptr);
    const char separator = LocaleListSeparator();
    EXPECT_NE(separator, '\0');
}

} // namespace
} // namespace tarvola::test
