// A push button with a picture (glyph) beside or instead of its caption.
#pragma once

#include "forms/StdCtrls.h"

#include <memory>

namespace tarvola {

class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* owner);
    ~TBitBtn() override;

    // The button keeps its own copy. Pixels of the colour of the bottom left pixel are transparent.
    void SetGlyph(const TBitmap& glyph);
    bool HasGlyph() const { return glyph_ != nullptr; }

protected:
    void CreateParams(TCreateParams& params) override;
    bool DrawItem(const DRAWITEMSTRUCT& item) override;

private:
    std::unique_ptr<TBitmap> glyph_;
};

// Draws a bitmap leaving out the pixels of one colour.
void DrawTransparent(HDC dc, int x, int y, const TBitmap& bitmap, COLORREF transparent);

} // namespace tarvola
