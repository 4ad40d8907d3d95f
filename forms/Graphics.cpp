#include "forms/Graphics.h"

#include "forms/Properties.h"

#include <algorithm>
#include <stdexcept>

namespace tarvola {

namespace {

constexpr std::string_view kDefaultFontName = "MS Sans Serif";
constexpr int kDefaultFontHeight = -11;

int ScreenPixelsPerInch() {
    HDC screen = GetDC(nullptr);
    const int ppi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return ppi > 0 ? ppi : 96;
}

int PenStyleOf(TPenStyle style) {
    switch (style) {
    case TPenStyle::psDash:
        return PS_DASH;
    case TPenStyle::psDot:
        return PS_DOT;
    case TPenStyle::psClear:
        return PS_NULL;
    case TPenStyle::psSolid:
        break;
    }
    return PS_SOLID;
}

int TextLength(std::string_view text) {
    return static_cast<int>(std::min<std::size_t>(text.size(), 0x7FFFFFFF));
}

} // namespace

COLORREF ColorToRGB(TColor color) {
    if ((color & clSystemColor) != 0 && color != clNone) {
        return GetSysColor(static_cast<int>(color & 0xFF));
    }
    return color & 0x00FFFFFF;
}

TColor PropColor(std::string_view value, std::string_view property) {
    static const std::pair<std::string_view, TColor> names[] = {{"clBlack", clBlack},
                                                                {"clWhite", clWhite},
                                                                {"clRed", clRed},
                                                                {"clGreen", clGreen},
                                                                {"clBlue", clBlue},
                                                                {"clNavy", clNavy},
                                                                {"clGray", clGray},
                                                                {"clSilver", clSilver},
                                                                {"clYellow", clYellow},
                                                                {"clFuchsia", clFuchsia},
                                                                {"clBtnFace", clBtnFace},
                                                                {"clBtnShadow", clBtnShadow},
                                                                {"clBtnHighlight", clBtnHighlight},
                                                                {"clBtnText", clBtnText},
                                                                {"clWindow", clWindow},
                                                                {"clWindowText", clWindowText},
                                                                {"clGrayText", clGrayText},
                                                                {"clHighlight", clHighlight},
                                                                {"clInfoBk", clInfoBk},
                                                                {"clNone", clNone}};
    for (const auto& [name, color] : names) {
        if (name == value) {
            return color;
        }
    }
    return static_cast<TColor>(PropInteger(value, property));
}

// ---- TFont

TFont::TFont() : name_(kDefaultFontName), height_(kDefaultFontHeight) {}

TFont::TFont(const TFont& other)
    : name_(other.name_), height_(other.height_), style_(other.style_), color_(other.color_) {}

TFont& TFont::operator=(const TFont& other) {
    Assign(other);
    return *this;
}

TFont::~TFont() {
    ReleaseHandle();
}

void TFont::SetName(std::string name) {
    name_ = std::move(name);
    Changed();
}

void TFont::SetHeight(int height) {
    height_ = height;
    Changed();
}

int TFont::Size() const {
    return -MulDiv(height_, 72, ScreenPixelsPerInch());
}

void TFont::SetSize(int points) {
    SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72));
}

void TFont::SetStyle(TFontStyles style) {
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    color_ = color;
    Changed();
}

void TFont::Assign(const TFont& other) {
    if (&other == this) {
        return;
    }
    name_ = other.name_;
    height_ = other.height_;
    style_ = other.style_;
    color_ = other.color_;
    Changed();
}

bool TFont::SameAs(const TFont& other) const {
    return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ &&
           color_ == other.color_;
}

void TFont::Changed() {
    ReleaseHandle();
    if (OnChange) {
        OnChange();
    }
}

void TFont::ReleaseHandle() const {
    if (handle_ != nullptr) {
        DeleteObject(handle_);
        handle_ = nullptr;
    }
}

HFONT TFont::Handle() const {
    if (handle_ == nullptr) {
        LOGFONTA font{};
        font.lfHeight = height_;
        font.lfWeight = (style_ & fsBold) != 0 ? FW_BOLD : FW_NORMAL;
        font.lfItalic = (style_ & fsItalic) != 0;
        font.lfUnderline = (style_ & fsUnderline) != 0;
        font.lfStrikeOut = (style_ & fsStrikeOut) != 0;
        font.lfCharSet = DEFAULT_CHARSET;
        font.lfQuality = DEFAULT_QUALITY;
        name_.copy(font.lfFaceName, LF_FACESIZE - 1);
        handle_ = CreateFontIndirectA(&font);
    }
    return handle_;
}

bool TFont::SetFontProperty(std::string_view name, std::string_view value) {
    if (name == "Font.Name") {
        SetName(std::string(value));
    } else if (name == "Font.Height") {
        SetHeight(PropInteger(value, name));
    } else if (name == "Font.Size") {
        SetSize(PropInteger(value, name));
    } else if (name == "Font.Style") {
        SetStyle(PropFlags(value, name,
                           {{"Bold", fsBold},
                            {"Italic", fsItalic},
                            {"Underline", fsUnderline},
                            {"StrikeOut", fsStrikeOut}}));
    } else if (name == "Font.Color") {
        SetColor(PropColor(value, name));
    } else {
        return false;
    }
    return true;
}

// ---- TCanvas

TCanvas::TCanvas(HDC dc) : dc_(dc) {}

TCanvas::~TCanvas() {
    ReleaseObjects();
}

void TCanvas::ReleaseObjects() {
    if (originalPen_ != nullptr) {
        SelectObject(dc_, originalPen_);
        originalPen_ = nullptr;
    }
    if (originalBrush_ != nullptr) {
        SelectObject(dc_, originalBrush_);
        originalBrush_ = nullptr;
    }
    if (originalFont_ != nullptr) {
        SelectObject(dc_, originalFont_);
        originalFont_ = nullptr;
    }
    if (pen_ != nullptr) {
        DeleteObject(pen_);
        pen_ = nullptr;
    }
    if (brush_ != nullptr) {
        DeleteObject(brush_);
        brush_ = nullptr;
    }
}

void TCanvas::UsePen() {
    HPEN pen = CreatePen(PenStyleOf(Pen.Style), Pen.Width, ColorToRGB(Pen.Color));
    HGDIOBJ previous = SelectObject(dc_, pen);
    if (originalPen_ == nullptr) {
        originalPen_ = previous;
    }
    if (pen_ != nullptr) {
        DeleteObject(pen_);
    }
    pen_ = pen;
}

void TCanvas::UseBrush() {
    HBRUSH brush = Brush.Style == TBrushStyle::bsClear ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                                                       : CreateSolidBrush(ColorToRGB(Brush.Color));
    HGDIOBJ previous = SelectObject(dc_, brush);
    if (originalBrush_ == nullptr) {
        originalBrush_ = previous;
    }
    if (brush_ != nullptr) {
        DeleteObject(brush_);
    }
    brush_ = Brush.Style == TBrushStyle::bsClear ? nullptr : brush;
}

void TCanvas::UseFont() {
    HGDIOBJ previous = SelectObject(dc_, Font.Handle());
    if (originalFont_ == nullptr) {
        originalFont_ = previous;
    }
    SetTextColor(dc_, ColorToRGB(Font.Color()));
    if (Brush.Style == TBrushStyle::bsClear) {
        SetBkMode(dc_, TRANSPARENT);
    } else {
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, ColorToRGB(Brush.Color));
    }
}

void TCanvas::MoveTo(int x, int y) {
    MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    UsePen();
    ::LineTo(dc_, x, y);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    UsePen();
    UseBrush();
    ::Rectangle(dc_, left, top, right, bottom);
}

void TCanvas::FillRect(const TRect& rect) {
    if (Brush.Style == TBrushStyle::bsClear) {
        return;
    }
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Brush.Color));
    RECT r = rect.ToRECT();
    ::FillRect(dc_, &r, brush);
    DeleteObject(brush);
}

void TCanvas::FrameRect(const TRect& rect) {
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Brush.Color));
    RECT r = rect.ToRECT();
    ::FrameRect(dc_, &r, brush);
    DeleteObject(brush);
}

void TCanvas::Polygon(const POINT* points, int count) {
    UsePen();
    UseBrush();
    ::Polygon(dc_, points, count);
}

void TCanvas::Polyline(const POINT* points, int count) {
    UsePen();
    ::Polyline(dc_, points, count);
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
    UseFont();
    ::TextOutA(dc_, x, y, text.data(), TextLength(text));
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text) {
    UseFont();
    RECT r = rect.ToRECT();
    const UINT options = ETO_CLIPPED | (Brush.Style == TBrushStyle::bsClear ? 0 : ETO_OPAQUE);
    ExtTextOutA(dc_, x, y, options, &r, text.data(), static_cast<UINT>(TextLength(text)), nullptr);
}

void TCanvas::TextInRect(TRect& rect, std::string_view text, UINT format) {
    UseFont();
    RECT r = rect.ToRECT();
    DrawTextA(dc_, text.data(), TextLength(text), &r, format);
    rect = TRect::From(r);
}

SIZE TCanvas::TextExtent(std::string_view text) {
    UseFont();
    SIZE size{};
    GetTextExtentPoint32A(dc_, text.data(), TextLength(text), &size);
    return size;
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
    BitBlt(dc_, x, y, bitmap.Width(), bitmap.Height(), bitmap.DC(), 0, 0, SRCCOPY);
}

void TCanvas::StretchDraw(const TRect& rect, const TBitmap& bitmap) {
    StretchBlt(dc_, rect.Left, rect.Top, rect.Width(), rect.Height(), bitmap.DC(), 0, 0, bitmap.Width(),
               bitmap.Height(), SRCCOPY);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
    StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), source.Handle(), sourceRect.Left,
               sourceRect.Top, sourceRect.Width(), sourceRect.Height(), SRCCOPY);
}

COLORREF TCanvas::Pixel(int x, int y) const {
    return GetPixel(dc_, x, y);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    ::SetPixel(dc_, x, y, ColorToRGB(color));
}

// ---- TBitmap

TBitmap::TBitmap(int width, int height) {
    SetSize(width, height);
}

TBitmap::~TBitmap() {
    Release();
}

void TBitmap::Release() {
    canvas_.reset();
    if (dc_ != nullptr) {
        SelectObject(dc_, original_);
        DeleteDC(dc_);
        dc_ = nullptr;
    }
    if (bitmap_ != nullptr) {
        DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }
    bits_ = nullptr;
    width_ = 0;
    height_ = 0;
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_ && dc_ != nullptr) {
        return;
    }
    Release();
    width = std::max(width, 1);
    height = std::max(height, 1);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    if (bitmap_ == nullptr || dc_ == nullptr) {
        Release();
        throw std::runtime_error("Out of system resources (bitmap)");
    }
    original_ = SelectObject(dc_, bitmap_);
    bits_ = static_cast<std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
}

TCanvas& TBitmap::Canvas() {
    if (dc_ == nullptr) {
        SetSize(1, 1);
    }
    if (!canvas_) {
        canvas_ = std::make_unique<TCanvas>(dc_);
    }
    return *canvas_;
}

COLORREF TBitmap::Pixel(int x, int y) const {
    if (bits_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) {
        return CLR_INVALID;
    }
    GdiFlush();
    const std::uint32_t bgra =
        bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
    return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
}

} // namespace tarvola
