#include "tree/StringTreeGdiCanvas.h"

#include "base/Numerics.h"
#include "forms/Graphics.h"

#include <stdexcept>
#include <string>

namespace tarvola {
namespace {

std::wstring WideFontName(const std::string& name) {
    if (name.empty())
        return {};
    const int size = CheckedCast<int>(name.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), size, wide.data(), length);
    return wide;
}

int Length(std::wstring_view text) {
    return CheckedCast<int>(text.size());
}

} // namespace

TGdiStringTreeCanvas::TGdiStringTreeCanvas(HDC dc) : dc_(dc) {
    if (dc == nullptr)
        throw std::invalid_argument("a canvas needs a device context");
}

TGdiStringTreeCanvas::~TGdiStringTreeCanvas() {
    if (originalFont_ != nullptr)
        SelectObject(dc_, originalFont_);
    if (font_ != nullptr)
        DeleteObject(font_);
}

void TGdiStringTreeCanvas::UseFont() {
    if (font_ != nullptr && selected_ == Font)
        return;
    LOGFONTW description{};
    description.lfHeight = Font.Height;
    description.lfWeight = (Font.Style & TextFontBold) ? FW_BOLD : FW_NORMAL;
    description.lfItalic = (Font.Style & TextFontItalic) ? TRUE : FALSE;
    description.lfUnderline = (Font.Style & TextFontUnderline) ? TRUE : FALSE;
    description.lfStrikeOut = (Font.Style & TextFontStrikeOut) ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH;
    const std::wstring name = WideFontName(Font.Name);
    lstrcpynW(description.lfFaceName, name.c_str(), LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&description);
    if (font == nullptr)
        throw std::runtime_error("a font could not be made for the tree's text");
    const HGDIOBJ previous = SelectObject(dc_, font);
    if (originalFont_ == nullptr)
        originalFont_ = previous;
    if (font_ != nullptr)
        DeleteObject(font_);
    font_ = font;
    selected_ = Font;
}

int TGdiStringTreeCanvas::TextWidth(std::wstring_view text) {
    UseFont();
    SIZE size{};
    if (!text.empty() && !GetTextExtentPoint32W(dc_, text.data(), Length(text), &size))
        return 0;
    return size.cx;
}

int TGdiStringTreeCanvas::LineHeight() {
    UseFont();
    TEXTMETRICW metrics{};
    return GetTextMetricsW(dc_, &metrics) ? metrics.tmHeight : 0;
}

int TGdiStringTreeCanvas::TextHeight(std::wstring_view text, int width, std::uint32_t format) {
    UseFont();
    RECT rect{0, 0, width, 0};
    ::DrawTextW(dc_, text.data(), Length(text), &rect, format | DT_CALCRECT);
    return rect.bottom - rect.top;
}

void TGdiStringTreeCanvas::DrawTextInRect(std::wstring_view text, const TTreeRect& rect,
                                          std::uint32_t format) {
    UseFont();
    SetTextColor(dc_, ColorToRGB(Font.Color));
    SetBkMode(dc_, (TextFlags & TextOutOpaque) ? OPAQUE : TRANSPARENT);
    RECT target{rect.Left, rect.Top, rect.Right, rect.Bottom};
    // DrawTextW with DT_MODIFYSTRING would write into the text; it is never asked for.
    ::DrawTextW(dc_, text.data(), Length(text), &target,
                format & ~static_cast<std::uint32_t>(DT_MODIFYSTRING));
}

} // namespace tarvola
