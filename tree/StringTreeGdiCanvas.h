// The string tree's canvas over a GDI device context: texts measured with GetTextExtentPoint32W and
// GetTextMetricsW and drawn with DrawTextW, in a font made from the canvas's font values when they change.
#pragma once

#include "tree/StringTreeCanvas.h"

#include <windows.h>

namespace tarvola {

class TGdiStringTreeCanvas : public IStringTreeCanvas {
public:
    // dc is not owned; it gets its original font back when the canvas goes.
    explicit TGdiStringTreeCanvas(HDC dc);
    ~TGdiStringTreeCanvas() override;
    TGdiStringTreeCanvas(const TGdiStringTreeCanvas&) = delete;
    TGdiStringTreeCanvas& operator=(const TGdiStringTreeCanvas&) = delete;

    HDC Handle() const { return dc_; }

    int TextWidth(std::wstring_view text) override;
    int LineHeight() override;
    int TextHeight(std::wstring_view text, int width, std::uint32_t format) override;
    void DrawTextInRect(std::wstring_view text, const TTreeRect& rect, std::uint32_t format) override;

private:
    // Selects a GDI font for Font (made again only when Font changed).
    void UseFont();

    HDC dc_;
    HFONT font_ = nullptr;
    HGDIOBJ originalFont_ = nullptr;
    TTextFont selected_;
};

} // namespace tarvola
