// Colours, fonts, pens, brushes, a canvas over a device context and memory bitmaps (also the back buffer of
// custom controls).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tarvola {

// A colour as Win32 COLORREF (0x00BBGGRR), or a system colour: 0x80000000 plus the COLOR_... index.
using TColor = std::uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clGreen = 0x008000;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clSystemColor = 0x80000000;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
constexpr TColor clNone = 0x1FFFFFFF;

// The RGB value of a colour (system colours resolved).
COLORREF ColorToRGB(TColor color);
// A colour from a layout value: a name ("clBtnFace") or a number ("$EFEFEF", "0xEFEFEF", decimal).
TColor PropColor(std::string_view value, std::string_view property);

struct TPoint {
    int X = 0;
    int Y = 0;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    RECT ToRECT() const { return RECT{Left, Top, Right, Bottom}; }
    static TRect From(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }
};

using TFontStyles = unsigned;
constexpr TFontStyles fsBold = 1;
constexpr TFontStyles fsItalic = 2;
constexpr TFontStyles fsUnderline = 4;
constexpr TFontStyles fsStrikeOut = 8;

// A font description with a cached GDI font. Height in pixels (negative: character height without the
// internal leading), as Win32 LOGFONT; Size in points at the screen's resolution.
class TFont {
public:
    TFont();
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);
    ~TFont();

    const std::string& Name() const { return name_; }
    void SetName(std::string name);
    int Height() const { return height_; }
    void SetHeight(int height);
    int Size() const;
    void SetSize(int points);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    // Takes name, height, style and colour of the other font (one change notification).
    void Assign(const TFont& other);
    bool SameAs(const TFont& other) const;

    HFONT Handle() const;
    // Called after every change.
    std::function<void()> OnChange;

    // "Font.Name", "Font.Height", "Font.Size", "Font.Style", "Font.Color" of a layout row; false when the
    // property is not a font property.
    bool SetFontProperty(std::string_view name, std::string_view value);

private:
    void Changed();
    void ReleaseHandle() const;

    std::string name_;
    int height_;
    TFontStyles style_ = 0;
    TColor color_ = clWindowText;
    mutable HFONT handle_ = nullptr;
};

enum class TBrushStyle { bsSolid, bsClear };
enum class TPenStyle { psSolid, psDash, psDot, psClear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = TPenStyle::psSolid;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::bsSolid;
};

class TBitmap;

// Drawing on a device context that the canvas does not own. The pen, brush and font are selected into the
// context when a drawing call needs them; the context gets its original objects back when the canvas goes.
class TCanvas {
public:
    explicit TCanvas(HDC dc);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle() const { return dc_; }
    TPen Pen;
    TBrush Brush;
    TFont Font;

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // Outline with the pen, inside with the brush (right and bottom exclusive, as Win32).
    void Rectangle(int left, int top, int right, int bottom);
    void FillRect(const TRect& rect);
    void FrameRect(const TRect& rect);
    void Polygon(const POINT* points, int count);
    void Polyline(const POINT* points, int count);
    // Text in the font at (x, y); the background is the brush unless the brush is clear.
    void TextOut(int x, int y, std::string_view text);
    // Text clipped to the rectangle.
    void TextRect(const TRect& rect, int x, int y, std::string_view text);
    // Text laid out in the rectangle with Win32 DrawText flags (DT_...).
    void TextInRect(TRect& rect, std::string_view text, UINT format);
    SIZE TextExtent(std::string_view text);
    int TextWidth(std::string_view text) { return TextExtent(text).cx; }
    int TextHeight(std::string_view text) { return TextExtent(text).cy; }
    void Draw(int x, int y, const TBitmap& bitmap);
    void StretchDraw(const TRect& rect, const TBitmap& bitmap);
    // Copies a rectangle of another canvas.
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
    COLORREF Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

private:
    void UsePen();
    void UseBrush();
    void UseFont();
    void ReleaseObjects();

    HDC dc_;
    HGDIOBJ originalPen_ = nullptr;
    HGDIOBJ originalBrush_ = nullptr;
    HGDIOBJ originalFont_ = nullptr;
    HPEN pen_ = nullptr;
    HBRUSH brush_ = nullptr;
};

// A 32-bit top-down bitmap in memory with a canvas of its own.
class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int width, int height);
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Resizes the bitmap; the content is undefined afterwards.
    void SetSize(int width, int height);
    TCanvas& Canvas();
    HBITMAP Handle() const { return bitmap_; }
    HDC DC() const { return dc_; }
    // The pixel as COLORREF; out of range gives CLR_INVALID.
    COLORREF Pixel(int x, int y) const;

private:
    void Release();

    int width_ = 0;
    int height_ = 0;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ original_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    std::unique_ptr<TCanvas> canvas_;
};

} // namespace tarvola
