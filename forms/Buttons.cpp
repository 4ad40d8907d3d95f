#include "forms/Buttons.h"

namespace tarvola {

void DrawTransparent(HDC dc, int x, int y, const TBitmap& bitmap, COLORREF transparent) {
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    for (int row = 0; row < height; ++row) {
        int start = -1;
        for (int column = 0; column <= width; ++column) {
            const bool opaque = column < width && bitmap.Pixel(column, row) != transparent;
            if (opaque && start < 0) {
                start = column;
            } else if (!opaque && start >= 0) {
                BitBlt(dc, x + start, y + row, column - start, 1, bitmap.DC(), start, row, SRCCOPY);
                start = -1;
            }
        }
    }
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

TBitBtn::~TBitBtn() = default;

void TBitBtn::CreateParams(TCreateParams& params) {
    TButton::CreateParams(params);
    params.style = (params.style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::SetGlyph(const TBitmap& glyph) {
    glyph_ = std::make_unique<TBitmap>(glyph.Width(), glyph.Height());
    BitBlt(glyph_->DC(), 0, 0, glyph.Width(), glyph.Height(), glyph.DC(), 0, 0, SRCCOPY);
    Invalidate();
}

bool TBitBtn::DrawItem(const DRAWITEMSTRUCT& item) {
    RECT frame = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    DrawFrameControl(item.hDC, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    TCanvas canvas(item.hDC);
    canvas.Font.Assign(Font());
    const SIZE text = Caption().empty() ? SIZE{0, 0} : canvas.TextExtent(Caption());
    const int glyphWidth = glyph_ ? glyph_->Width() : 0;
    const int glyphHeight = glyph_ ? glyph_->Height() : 0;
    const int gap = glyph_ && !Caption().empty() ? 4 : 0;
    const int offset = pushed ? 1 : 0;
    int x = (Width() - (glyphWidth + gap + text.cx)) / 2 + offset;
    if (glyph_) {
        const int y = (Height() - glyphHeight) / 2 + offset;
        const COLORREF transparent = glyph_->Pixel(0, glyphHeight - 1);
        DrawTransparent(item.hDC, x, y, *glyph_, transparent);
        x += glyphWidth + gap;
    }
    if (!Caption().empty()) {
        canvas.Brush.Style = TBrushStyle::bsClear;
        canvas.Font.SetColor(disabled ? clGrayText : clBtnText);
        TRect area{x, 0, x + text.cx + 1, Height() + 2 * offset};
        canvas.TextInRect(area, Caption(), DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    }
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT focus{3, 3, Width() - 3, Height() - 3};
        DrawFocusRect(item.hDC, &focus);
    }
    return true;
}

} // namespace tarvola
