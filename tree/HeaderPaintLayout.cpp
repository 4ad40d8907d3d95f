#include "tree/HeaderPaintLayout.h"

#include "tree/DrawingHelpers.h"

#include <algorithm>

namespace tarvola {
namespace {

// Positions in the content rectangle's own coordinates (origin at its top-left corner).
struct TCellPlacement {
    int GlyphX = 0;
    int GlyphY = 0;
    int SortX = 0;
    int SortY = 0;
    int TextLeft = 0;
    int TextTop = 0;
};

struct TCellMetrics {
    int Width = 0;
    int Height = 0;
    bool Glyph = false;
    bool Sort = false;
    bool Vertical = false; // glyph above or below the text
    THeaderSize GlyphSize;
    THeaderSize SortSize;
    THeaderSize TextSize;
    int TextSpacing = 0;
    int Margin = 0;
    int Spacing = 0;
    bool RightToLeft = false;
    THeaderGlyphLayout Layout = THeaderGlyphLayout::blGlyphLeft;
};

THeaderAlignment EffectiveAlignment(THeaderAlignment alignment, bool rightToLeft) {
    if (!rightToLeft)
        return alignment;
    switch (alignment) {
    case THeaderAlignment::taLeftJustify:
        return THeaderAlignment::taRightJustify;
    case THeaderAlignment::taRightJustify:
        return THeaderAlignment::taLeftJustify;
    case THeaderAlignment::taCenter:
        break;
    }
    return alignment;
}

void PlaceVertically(const TCellMetrics& m, TCellPlacement& p) {
    if (m.Glyph && m.Vertical) {
        const int block = m.GlyphSize.Height + m.TextSpacing + m.TextSize.Height;
        const int top = (m.Height - block) / 2;
        if (m.Layout == THeaderGlyphLayout::blGlyphTop) {
            p.GlyphY = top;
            p.TextTop = top + m.GlyphSize.Height + m.TextSpacing;
        } else {
            p.TextTop = top;
            p.GlyphY = top + m.TextSize.Height + m.TextSpacing;
        }
    } else {
        p.GlyphY = (m.Height - m.GlyphSize.Height) / 2;
        p.TextTop = (m.Height - m.TextSize.Height) / 2;
    }
    p.SortY = (m.Height - m.SortSize.Height) / 2;
}

void PlaceLeftJustified(const TCellMetrics& m, TCellPlacement& p) {
    int x = m.Margin;
    if (m.Sort && m.RightToLeft) {
        p.SortX = x;
        x += m.SortSize.Width + m.Spacing;
    }
    if (m.Glyph && m.Layout == THeaderGlyphLayout::blGlyphLeft) {
        p.GlyphX = x;
        x += m.GlyphSize.Width + m.Spacing;
    }
    p.TextLeft = x;
    x += m.TextSize.Width + m.TextSpacing;
    if (m.Glyph && m.Layout == THeaderGlyphLayout::blGlyphRight) {
        p.GlyphX = x;
        x += m.GlyphSize.Width + m.Spacing;
    } else if (m.Glyph && m.Vertical) {
        p.GlyphX = std::max((m.Width - m.GlyphSize.Width) / 2, p.TextLeft);
        x = std::max(p.TextLeft + m.TextSize.Width, p.GlyphX + m.GlyphSize.Width) + m.Spacing;
    }
    if (m.Sort && !m.RightToLeft)
        p.SortX = x;
}

void PlaceRightJustified(const TCellMetrics& m, TCellPlacement& p) {
    int x = m.Width - m.Margin;
    if (m.Sort && !m.RightToLeft) {
        p.SortX = x - m.SortSize.Width;
        x = p.SortX - m.Spacing;
    }
    if (m.Glyph && m.Layout == THeaderGlyphLayout::blGlyphRight) {
        p.GlyphX = x - m.GlyphSize.Width;
        x = p.GlyphX - m.Spacing;
    }
    p.TextLeft = x - m.TextSize.Width;
    x = p.TextLeft - m.TextSpacing;
    if (m.Glyph && m.Layout == THeaderGlyphLayout::blGlyphLeft) {
        p.GlyphX = x - m.GlyphSize.Width;
        x = p.GlyphX - m.Spacing;
    } else if (m.Glyph && m.Vertical) {
        p.GlyphX =
            std::min((m.Width - m.GlyphSize.Width) / 2, p.TextLeft + m.TextSize.Width - m.GlyphSize.Width);
        x = std::min(p.TextLeft, p.GlyphX) - m.Spacing;
    }
    if (m.Sort && m.RightToLeft)
        p.SortX = x - m.SortSize.Width;
}

void PlaceCentred(const TCellMetrics& m, TCellPlacement& p) {
    int rowLeft = 0;
    int rowRight = 0;
    if (m.Vertical || !m.Glyph) {
        p.TextLeft = (m.Width - m.TextSize.Width) / 2;
        if (m.Vertical && m.Sort)
            p.TextLeft -= m.SortSize.Width / 2;
        rowLeft = p.TextLeft;
        rowRight = p.TextLeft + m.TextSize.Width;
        if (m.Glyph)
            p.GlyphX = (m.Width - m.GlyphSize.Width) / 2;
    } else {
        const int rowWidth = m.GlyphSize.Width + m.TextSpacing + m.TextSize.Width;
        rowLeft = (m.Width - rowWidth) / 2;
        rowRight = rowLeft + rowWidth;
        if (m.Layout == THeaderGlyphLayout::blGlyphLeft) {
            p.GlyphX = rowLeft;
            p.TextLeft = rowLeft + m.GlyphSize.Width + m.TextSpacing;
        } else {
            p.TextLeft = rowLeft;
            p.GlyphX = rowLeft + m.TextSize.Width + m.TextSpacing;
        }
    }
    // The sort glyph sits beside the text on the side the reading order ends (vertical layouts) or beside
    // the whole row, so it never lands on a glyph placed right of the text.
    if (m.Sort && !m.RightToLeft)
        p.SortX = rowRight + m.Spacing;
    else if (m.Sort)
        p.SortX = rowLeft - m.Spacing - m.SortSize.Width;
}

// Keeps the glyphs inside the margins and cuts the text where a glyph beside it begins.
TTreeRect ClipToLimits(const TCellMetrics& m, TCellPlacement& p) {
    int leftLimit = m.Margin;
    int rightLimit = m.Width - m.Margin;
    if (m.Sort) {
        if (!m.RightToLeft) {
            p.SortX = std::max(std::min(p.SortX, rightLimit - m.SortSize.Width), m.Margin);
            rightLimit = p.SortX - m.Spacing;
        } else {
            p.SortX = std::max(p.SortX, m.Margin);
            leftLimit = std::max(leftLimit, p.SortX + m.SortSize.Width + m.Spacing);
        }
    }
    if (m.Glyph) {
        if (m.Layout == THeaderGlyphLayout::blGlyphRight) {
            p.GlyphX = std::max(std::min(p.GlyphX, rightLimit - m.GlyphSize.Width), m.Margin);
            rightLimit = p.GlyphX - m.Spacing;
        } else {
            p.GlyphX = std::max(p.GlyphX, m.Margin);
            if (m.Layout == THeaderGlyphLayout::blGlyphLeft)
                leftLimit = std::max(leftLimit, p.GlyphX + m.GlyphSize.Width + m.Spacing);
        }
    }
    const int textLeft = std::max(p.TextLeft, leftLimit);
    const int textRight = std::max(textLeft, std::min(textLeft + m.TextSize.Width, rightLimit));
    return TTreeRect{textLeft, p.TextTop, textRight, p.TextTop + m.TextSize.Height};
}

} // namespace

THeaderLayout ComputeHeaderLayout(const THeaderLayoutInput& input, const THeaderTextExtent& extent) {
    const bool caption = !input.Caption.empty();
    if (!caption && !input.UseHeaderGlyph && !input.UseSortGlyph)
        return {};

    TCellMetrics m;
    m.Width = input.Client.Right - input.Client.Left;
    m.Height = input.Client.Bottom - input.Client.Top;
    m.Glyph = input.UseHeaderGlyph;
    m.Sort = input.UseSortGlyph;
    m.Layout = input.Layout;
    m.Vertical =
        input.Layout == THeaderGlyphLayout::blGlyphTop || input.Layout == THeaderGlyphLayout::blGlyphBottom;
    m.GlyphSize = m.Glyph ? input.GlyphSize : THeaderSize{};
    m.SortSize = m.Sort ? input.SortGlyphSize : THeaderSize{};
    if (caption) {
        m.TextSize = extent(input.Caption);
        m.TextSize.Width += 2;
    }
    m.TextSpacing = caption ? input.Spacing : 0;
    m.Margin = input.Margin;
    m.Spacing = input.Spacing;
    m.RightToLeft = input.RightToLeft;

    TCellPlacement p;
    TTreeRect text;
    if (m.Sort && !caption && !m.Glyph) {
        p.SortX = (m.Width - m.SortSize.Width) / 2;
        p.SortY = (m.Height - m.SortSize.Height) / 2;
    } else {
        PlaceVertically(m, p);
        switch (EffectiveAlignment(input.Alignment, input.RightToLeft)) {
        case THeaderAlignment::taLeftJustify:
            PlaceLeftJustified(m, p);
            break;
        case THeaderAlignment::taRightJustify:
            PlaceRightJustified(m, p);
            break;
        case THeaderAlignment::taCenter:
            PlaceCentred(m, p);
            break;
        }
        text = ClipToLimits(m, p);
    }

    // An element that is not shown keeps no position of its own.
    if (!m.Glyph)
        p.GlyphX = p.GlyphY = 0;
    if (!m.Sort)
        p.SortX = p.SortY = 0;

    const int dx = input.Client.Left;
    const int dy = input.Client.Top;
    THeaderLayout layout;
    layout.HeaderGlyphPos = {p.GlyphX + dx, p.GlyphY + dy};
    layout.SortGlyphPos = {p.SortX + dx, p.SortY + dy};
    layout.TextBounds = {text.Left + dx, text.Top + dy, text.Right + dx, text.Bottom + dy};
    return layout;
}

std::wstring ShortenHeaderCaption(std::wstring_view text, int width, bool rightToLeft,
                                  const THeaderTextExtent& extent) {
    return ShortenString(text, width, rightToLeft,
                         [&extent](std::wstring_view part) { return extent(part).Width; });
}

} // namespace tarvola
