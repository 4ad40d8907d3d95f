// What the string tree measures and draws its texts with: a canvas with a current font, plain values so that
// the owner's OnPaintText can change it and the tree can see the change. The Win32 canvas draws through GDI;
// tests use a fake with fixed character widths.
#pragma once

#include "tree/TextExport.h"
#include "tree/VirtualTrees.h"

#include <cstdint>
#include <string_view>

namespace tarvola {

// Text layout flags, with the values of the platform's DrawText flags.
enum : std::uint32_t {
    TextFormatTop = 0x0,
    TextFormatLeft = 0x0,
    TextFormatCenter = 0x1,
    TextFormatRight = 0x2,
    TextFormatVCenter = 0x4,
    TextFormatWordBreak = 0x10,
    TextFormatSingleLine = 0x20,
    TextFormatCalcRect = 0x400,
    TextFormatNoPrefix = 0x800,
    TextFormatEditControl = 0x2000,
    TextFormatEndEllipsis = 0x8000,
    TextFormatRtlReading = 0x20000,
};

// Text output flags, with the values of the platform's ExtTextOut flags.
enum : std::uint32_t {
    TextOutOpaque = 0x2,
    TextOutClipped = 0x4,
    TextOutRtlReading = 0x80,
};

class IStringTreeCanvas {
public:
    virtual ~IStringTreeCanvas() = default;

    // The font texts are measured and drawn in.
    TTextFont Font;
    // Output flags for the next texts (TextOut...): with TextOutOpaque the background is filled.
    std::uint32_t TextFlags = 0;

    // The width of a single line of text in Font.
    virtual int TextWidth(std::wstring_view text) = 0;
    // The height of a line in Font.
    virtual int LineHeight() = 0;
    // The height text takes when laid out in a rectangle of the given width with the format flags.
    virtual int TextHeight(std::wstring_view text, int width, std::uint32_t format) = 0;
    // Draws text into the rectangle with the format flags, in Font and its colour.
    virtual void DrawTextInRect(std::wstring_view text, const TTreeRect& rect, std::uint32_t format) = 0;
};

// A canvas that measures nothing: the exports of a tree without a window use it for the owner's fonts.
class TNullStringTreeCanvas : public IStringTreeCanvas {
public:
    int TextWidth(std::wstring_view) override { return 0; }
    int LineHeight() override { return 0; }
    int TextHeight(std::wstring_view, int, std::uint32_t) override { return 0; }
    void DrawTextInRect(std::wstring_view, const TTreeRect&, std::uint32_t) override {}
};

} // namespace tarvola
