#include "tree/DrawingHelpersWin32.h"
#include "tree/NodeDecorations.h"
#include "tree/ThemeServices.h"
#include "tree/TreeResources.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvola {
namespace {

constexpr COLORREF Green = RGB(0, 200, 0);
constexpr COLORREF Red = RGB(255, 0, 0);

// A 32-bit DIB section selected into a memory device context, filled with one colour.
class Surface {
public:
    Surface(int width, int height, COLORREF fill, int bits = 32) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, static_cast<WORD>(bits), BI_RGB};
        void* pixels = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        dc_ = CreateCompatibleDC(nullptr);
        original_ = SelectObject(dc_, bitmap_);
        const RECT all{0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Surface() {
        SelectObject(dc_, original_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ original_;
};

COLORREF ButtonPixel(const TNodeButtonBitmaps& buttons, bool plus, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ original = SelectObject(dc, plus ? buttons.Plus() : buttons.Minus());
    const COLORREF pixel = GetPixel(dc, x, y);
    SelectObject(dc, original);
    DeleteDC(dc);
    return pixel;
}

TEST(NodeDecorationPaint, ButtonFillModesGiveTheirInteriors) {
    TNodeButtonBitmaps buttons;
    TButtonBitmapStyle style;
    style.TreeColor = RGB(10, 20, 30);
    style.WindowColor = RGB(250, 240, 230);
    style.TreeLineColor = RGB(1, 2, 3);
    struct Case {
        TVTButtonFillMode mode;
        COLORREF interior;
    };
    for (const Case& c : {Case{TVTButtonFillMode::fmTreeColor, style.TreeColor},
                          Case{TVTButtonFillMode::fmWindowColor, style.WindowColor},
                          Case{TVTButtonFillMode::fmTransparent, ButtonTransparentColor}}) {
        style.FillMode = c.mode;
        buttons.Prepare(style);
        EXPECT_EQ(ButtonPixel(buttons, true, 2, 2), c.interior) << int(c.mode);
        EXPECT_EQ(ButtonPixel(buttons, true, 0, 0), style.TreeLineColor);
        EXPECT_EQ(ButtonPixel(buttons, true, 4, 3), style.FontColor); // the plus sign's bar
        EXPECT_EQ(ButtonPixel(buttons, false, 4, 3), c.interior);     // the minus has none
        EXPECT_EQ(ButtonPixel(buttons, false, 3, 4), style.FontColor);
    }
}

TEST(NodeDecorationPaint, TrianglesIgnoreTheFillModeAndShadedButtonsComeFromTheResources) {
    TNodeButtonBitmaps buttons;
    TButtonBitmapStyle style;
    style.Style = TVTButtonStyle::bsTriangle;
    for (TVTButtonFillMode mode : {TVTButtonFillMode::fmTreeColor, TVTButtonFillMode::fmShaded}) {
        style.FillMode = mode;
        buttons.Prepare(style);
        EXPECT_EQ(ButtonPixel(buttons, true, 3, 4), RGB(0, 0, 0));
        EXPECT_EQ(ButtonPixel(buttons, true, 7, 4), ButtonTransparentColor);
        EXPECT_EQ(ButtonPixel(buttons, false, 4, 3), RGB(0, 0, 0));
        EXPECT_EQ(ButtonPixel(buttons, false, 4, 7), ButtonTransparentColor);
    }
    style.Style = TVTButtonStyle::bsRectangle;
    style.FillMode = TVTButtonFillMode::fmShaded;
    style.TreeColor = RGB(10, 20, 30);
    buttons.Prepare(style);
    HBITMAP resource = LoadInternalBitmap(L"VT_XPBUTTONPLUS", false);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ original = SelectObject(dc, resource);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(ButtonPixel(buttons, true, x, y), GetPixel(dc, x, y)) << x << "," << y;
    SelectObject(dc, original);
    DeleteDC(dc);
    DeleteObject(resource);
}

TEST(NodeDecorationPaint, ButtonsAreTransparentAndMirrored) {
    TNodeButtonBitmaps buttons;
    TButtonBitmapStyle style;
    style.Style = TVTButtonStyle::bsTriangle;
    buttons.Prepare(style);
    Surface surface(40, 20, Green);
    const RECT row{0, 0, 40, 20};
    PaintNodeButton(surface.dc(), buttons, false, row, 5, 4, false);
    EXPECT_EQ(surface.At(5 + 3, 4 + 4), RGB(0, 0, 0));
    EXPECT_EQ(surface.At(5 + 7, 4 + 4), Green); // transparent corner
    PaintNodeButton(surface.dc(), buttons, false, row, 5, 4, true);
    EXPECT_EQ(surface.At(40 - 5 - 9 + 3, 4 + 4), RGB(0, 0, 0));
}

TEST(NodeDecorationPaint, DottedTreeLinesAlternateLineAndGap) {
    TDottedBrush brush(LineStylePattern(TVTLineStyle::lsDotted));
    Surface surface(40, 20, Green);
    TTreeLinesPaint lines;
    lines.CellRect = {0, 0, 40, 20};
    lines.NodeHeight = 20;
    lines.Indent = 18;
    lines.VAlign = 10;
    lines.LineImage = {TVTLineType::ltTopDownRight};
    lines.TreeColor = RGB(255, 255, 255);
    lines.TreeLineColor = Red;
    PaintTreeLines(surface.dc(), brush.Handle(), lines);
    // The vertical line at x 9 and the branch at y 10 from x 9 to 18, every other pixel in the line colour.
    EXPECT_NE(surface.At(9, 4), surface.At(9, 5));
    EXPECT_TRUE(surface.At(9, 4) == Red || surface.At(9, 5) == Red);
    EXPECT_TRUE(surface.At(14, 10) == Red || surface.At(15, 10) == Red);
    EXPECT_EQ(surface.At(19, 10), Green);
    EXPECT_EQ(surface.At(8, 4), Green);

    // Band mode draws nothing without grid lines.
    Surface bands(40, 20, Green);
    lines.LineMode = TVTLineMode::lmBands;
    PaintTreeLines(bands.dc(), brush.Handle(), lines);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(bands.At(x, y), Green);
    lines.GridLines = true;
    lines.GridLineColor = RGB(0, 0, 255);
    TDottedBrush solid(LineStylePattern(TVTLineStyle::lsSolid));
    PaintTreeLines(bands.dc(), solid.Handle(), lines);
    EXPECT_EQ(bands.At(0, 5), RGB(0, 0, 255));   // ltLeftBottom: the left edge
    EXPECT_EQ(bands.At(10, 19), RGB(0, 0, 255)); // and the bottom line at height - 1
}

TEST(NodeDecorationPaint, DottedLinesContinueAcrossRowBuffers) {
    TDottedBrush brush(LineStylePattern(TVTLineStyle::lsDotted));
    TTreeLinesPaint lines;
    lines.CellRect = {0, 0, 18, 7};
    lines.NodeHeight = 7; // odd: a second row starting its pattern afresh would repeat the last dot
    lines.LineImage = {TVTLineType::ltTopDown};
    lines.TreeColor = Green;
    lines.TreeLineColor = Red;
    Surface first(18, 7, Green);
    Surface second(18, 7, Green);
    PaintTreeLines(first.dc(), brush.Handle(), lines);
    lines.BrushOrigin = {0, -7};
    PaintTreeLines(second.dc(), brush.Handle(), lines);
    EXPECT_NE(first.At(9, 6), second.At(9, 0));
    EXPECT_EQ(first.At(9, 5), second.At(9, 0));
}

TEST(NodeDecorationPaint, DropMarksAboveAndBelow) {
    Surface surface(60, 40, Green);
    PaintDropMark(surface.dc(), RECT{0, 0, 60, 20}, true, Red);
    PaintDropMark(surface.dc(), RECT{0, 20, 60, 40}, false, RGB(0, 0, 255));
    EXPECT_EQ(surface.At(3, 1), Red);
    EXPECT_EQ(surface.At(30, 10), Green);
    EXPECT_EQ(surface.At(3, 38), RGB(0, 0, 255));
    EXPECT_EQ(surface.At(30, 25), Green);
}

// A visual-styles library that records what it draws.
struct RecordingTheme {
    static inline std::vector<std::pair<int, int>> drawn; // part, state
    static HTHEME WINAPI Open(HWND, LPCWSTR) { return reinterpret_cast<HTHEME>(1); }
    static HRESULT WINAPI Close(HTHEME) { return S_OK; }
    static HRESULT WINAPI Draw(HTHEME, HDC, int part, int state, const RECT*, const RECT*) {
        drawn.emplace_back(part, state);
        return S_OK;
    }
    static DWORD WINAPI Properties() { return STAP_ALLOW_CONTROLS; }
};

TEST(NodeDecorationPaint, CheckImagesFromTheListOrTheTheme) {
    TTreeResourcesUse resources;
    Surface surface(40, 20, Green);
    TCheckImagePaint check;
    check.Images = GetCheckImageListFor(TCheckImageKind::ckLightCheck);
    check.Index = 9;
    check.XPos = 2;
    check.YPos = 2;
    PaintCheckImage(surface.dc(), check);
    EXPECT_EQ(surface.At(2 + 7, 2 + 7), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(surface.At(2, 2), Green);

    RecordingTheme::drawn.clear();
    const TUxThemeFunctions table{RecordingTheme::Open, RecordingTheme::Close, RecordingTheme::Draw,
                                  RecordingTheme::Properties};
    TThemeServices theme(nullptr, &table, 0x60000);
    check.Theme = &theme;
    check.UtilityImages = UtilityImages();
    for (int index : {2, 13, 22}) {
        check.Index = index;
        PaintCheckImage(surface.dc(), check);
    }
    EXPECT_EQ(RecordingTheme::drawn, (std::vector<std::pair<int, int>>{{2, 2}, {3, 5}, {1, 2}}));
    // Utility image 4 marks the push button: dark pixels at its centre.
    EXPECT_EQ(surface.At(2 - 1 + 7, 2 + 6), RGB(64, 64, 64));
}

TEST(NodeDecorationPaint, NodeImagesEnabledDisabledAndLargeOverlays) {
    TTreeResourcesUse resources;
    HIMAGELIST images = GetCheckImageListFor(TCheckImageKind::ckFlat);
    Surface surface(60, 20, Green);
    TNodeImagePaint image;
    image.Images = images;
    image.Index = 9; // a flat box: black frame, white inside
    image.YPos = 0;
    PaintNodeImage(surface.dc(), image);
    EXPECT_EQ(surface.At(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(surface.At(7, 7), GetSysColor(COLOR_WINDOW));

    image.XPos = 20;
    image.Enabled = false;
    PaintNodeImage(surface.dc(), image);
    EXPECT_EQ(surface.At(21, 1), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(surface.At(27, 7), GetSysColor(COLOR_BTNSHADOW)); // the shape, not the image's colours
    EXPECT_EQ(surface.At(20, 0), Green);

    image.XPos = 40;
    image.Enabled = true;
    image.Index = 0;    // empty
    image.Overlay = 15; // drawn as an image of its own
    PaintNodeImage(surface.dc(), image);
    EXPECT_EQ(surface.At(40, 0), Green);
    EXPECT_EQ(surface.At(41, 1), RGB(0, 0, 0)); // image 15's frame
    Surface empty(20, 20, Green);
    image.XPos = 0;
    image.Overlay = 30; // no such image: nothing beyond the empty base image
    PaintNodeImage(empty.dc(), image);
    EXPECT_EQ(empty.At(1, 1), Green);
}

TEST(NodeDecorationPaint, SelectionRectangleBlendedOrDotted) {
    Surface surface(40, 40, RGB(0, 0, 0));
    TSelectionRectanglePaint selection;
    selection.SelectionRect = {30, 30, 10, 10}; // reversed corners
    selection.TargetRect = {0, 0, 40, 40};
    selection.Blended = true;
    selection.BlendFactor = 255;
    selection.BlendColor = RGB(200, 100, 50);
    selection.BorderColor = Red;
    PaintSelectionRectangle(surface.dc(), selection);
    EXPECT_EQ(surface.At(20, 20), RGB(199, 99, 49));
    EXPECT_EQ(surface.At(10, 20), Red);
    EXPECT_EQ(surface.At(5, 5), RGB(0, 0, 0));

    Surface dotted(40, 40, RGB(0, 0, 0));
    selection.Blended = false;
    PaintSelectionRectangle(dotted.dc(), selection);
    EXPECT_EQ(dotted.At(20, 20), RGB(0, 0, 0));
    EXPECT_TRUE(dotted.At(10, 20) == RGB(255, 255, 255) || dotted.At(10, 21) == RGB(255, 255, 255));
}

HBITMAP TwoColourPicture() {
    // 2 x 1: red, fuchsia.
    Surface source(2, 1, Red);
    SetPixel(source.dc(), 1, 0, ButtonTransparentColor);
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, 2, 1);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ original = SelectObject(dc, picture);
    BitBlt(dc, 0, 0, 2, 1, source.dc(), 0, 0, SRCCOPY);
    SelectObject(dc, original);
    DeleteDC(dc);
    return picture;
}

TEST(NodeDecorationPaint, BackgroundsTiledAndStatic) {
    HBITMAP picture = TwoColourPicture();
    Surface tiled(6, 2, Green);
    TBackgroundPaint background;
    background.Picture = picture;
    background.R = {0, 0, 5, 2};
    background.Offset = {-1, 0}; // phase 1: starts with the fuchsia pixel
    TileBackground(tiled.dc(), background);
    EXPECT_EQ(tiled.At(0, 0), ButtonTransparentColor);
    EXPECT_EQ(tiled.At(1, 1), Red);
    EXPECT_EQ(tiled.At(3, 1), Red);
    EXPECT_EQ(tiled.At(4, 1), ButtonTransparentColor);
    EXPECT_EQ(tiled.At(5, 0), Green); // outside R

    Surface still(6, 2, Green);
    background.Offset = {0, 0};
    background.BackgroundOffset = {3, 1};
    background.TreeColor = RGB(1, 2, 3);
    background.Transparent = true;
    DrawStaticBackground(still.dc(), background);
    EXPECT_EQ(still.At(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(still.At(3, 1), Red);
    EXPECT_EQ(still.At(4, 1), RGB(1, 2, 3)); // the transparent pixel keeps the tree colour
    DeleteObject(picture);

    // No picture: nothing tiled, no division by its size.
    Surface none(6, 2, Green);
    background.Picture = nullptr;
    TileBackground(none.dc(), background);
    EXPECT_EQ(none.At(0, 0), Green);
}

TEST(NodeDecorationPaint, NonClientBorderFillsOnlyTheFrame) {
    Surface surface(30, 30, Green);
    TNonClientPaint frame;
    frame.Width = 30;
    frame.Height = 30;
    frame.BorderWidth = 3;
    frame.BorderColor = Red;
    PaintNonClientArea(surface.dc(), frame);
    EXPECT_EQ(surface.At(0, 0), Red);
    EXPECT_EQ(surface.At(2, 15), Red);
    EXPECT_EQ(surface.At(3, 15), Green);
    frame.BorderWidth = 0;
    Surface untouched(30, 30, Green);
    PaintNonClientArea(untouched.dc(), frame);
    EXPECT_EQ(untouched.At(0, 0), Green);
}

TEST(DrawingHelpersWin32, AlphaBlendRectOnDibSections) {
    Surface source(4, 4, RGB(200, 200, 200));
    Surface target(4, 4, RGB(0, 0, 0));
    AlphaBlendRect(source.dc(), target.dc(), RECT{0, 0, 2, 2}, POINT{2, 2}, TBlendMode::bmConstantAlpha, 128,
                   0);
    EXPECT_EQ(target.At(3, 3), RGB(100, 100, 100));
    EXPECT_EQ(target.At(1, 1), RGB(0, 0, 0));
    // Far outside both bitmaps: clipped away.
    AlphaBlendRect(source.dc(), target.dc(), RECT{-100, -100, 100, 100}, POINT{50, 50},
                   TBlendMode::bmConstantAlpha, 255, 0);

    Surface deep(4, 4, RGB(0, 0, 0), 24);
    try {
        AlphaBlendRect(source.dc(), deep.dc(), RECT{0, 0, 2, 2}, POINT{0, 0}, TBlendMode::bmConstantAlpha,
                       128, 0);
        ADD_FAILURE() << "no assertion";
    } catch (const EVirtualTreeAssertion& e) {
        EXPECT_STREQ(e.what(), "Alpha blending error: bitmap must use 32 bpp.");
    }
    // A device context without a DIB section is left alone.
    HDC plain = CreateCompatibleDC(nullptr);
    AlphaBlendRect(source.dc(), plain, RECT{0, 0, 2, 2}, POINT{0, 0}, TBlendMode::bmConstantAlpha, 128, 0);
    DeleteDC(plain);
}

TEST(DrawingHelpersWin32, ColoursForImageLists) {
    EXPECT_EQ(GetRGBColor(clNone), static_cast<COLORREF>(CLR_NONE));
    EXPECT_EQ(GetRGBColor(clDefault), static_cast<COLORREF>(CLR_DEFAULT));
    EXPECT_EQ(GetRGBColor(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetRGBColor(0x123456), 0x123456u);
}

TEST(DrawingHelpersWin32, UnicodeDrawTextMeasuresLines) {
    Surface surface(100, 100, Green);
    TEXTMETRICW metrics{};
    GetTextMetricsW(surface.dc(), &metrics);
    RECT r{10, 10, 20, 20};
    const int lineHeight = UnicodeDrawText(surface.dc(), L"ab\r\nlonger line", r, DT_CALCRECT, false);
    EXPECT_EQ(lineHeight, metrics.tmHeight);
    EXPECT_EQ(r.right, 20); // unchanged without AdjustRight
    EXPECT_EQ(r.bottom, 10 + 2 * lineHeight);
    RECT adjusted{10, 10, 20, 20};
    UnicodeDrawText(surface.dc(), L"ab\r\nlonger line", adjusted, DT_CALCRECT, true);
    SIZE longer{};
    GetTextExtentPoint32W(surface.dc(), L"longer line", 11, &longer);
    EXPECT_EQ(adjusted.right, 10 + longer.cx);
    // Drawing stays inside the rectangle it is given.
    RECT box{0, 0, 50, lineHeight};
    UnicodeDrawText(surface.dc(), L"WWWWWWWWWWWWWWWW\nsecond", box, 0, false);
    EXPECT_EQ(surface.At(60, 2), Green);
    EXPECT_EQ(surface.At(5, lineHeight + 2), Green);
}

} // namespace
} // namespace tarvola
