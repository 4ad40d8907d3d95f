// Draws the parts of a row that are not content: tree lines, expand buttons, check images and node
// images, plus the drop mark, the rubber band, background pictures and the non-client border. A row's
// decorations are painted from their layout (TRowDecorations) with the tree's drawing resources
// (TDecorationResources); the single steps are open to callers that paint one part alone.
#pragma once

#include "tree/DecorationKinds.h"
#include "tree/NodeDecorationsLayout.h"

#include <windows.h>

#include <commctrl.h>

#include <vector>

namespace tarvola {

class TThemeServices;

constexpr COLORREF ButtonTransparentColor = RGB(255, 0, 255); // clFuchsia

struct TButtonBitmapStyle {
    TVTButtonStyle Style = TVTButtonStyle::bsRectangle;
    TVTButtonFillMode FillMode = TVTButtonFillMode::fmTreeColor;
    COLORREF TreeColor = RGB(255, 255, 255);
    COLORREF WindowColor = RGB(255, 255, 255);
    COLORREF TreeLineColor = RGB(128, 128, 128);
    COLORREF FontColor = RGB(0, 0, 0);
    TThemeServices* Theme = nullptr; // the tree paints themed: the theme's glyphs go over the bitmaps
};

// The 9 x 9 plus and minus bitmaps of the expand buttons, transparent where clFuchsia shows.
class TNodeButtonBitmaps {
public:
    TNodeButtonBitmaps() = default;
    ~TNodeButtonBitmaps();
    TNodeButtonBitmaps(const TNodeButtonBitmaps&) = delete;
    TNodeButtonBitmaps& operator=(const TNodeButtonBitmaps&) = delete;

    void Prepare(const TButtonBitmapStyle& style);
    HBITMAP Plus() const { return plus_; }
    HBITMAP Minus() const { return minus_; }
    static constexpr int Size = 9;

private:
    void Release();
    HBITMAP plus_ = nullptr;
    HBITMAP minus_ = nullptr;
};

// The line brush: an 8 x 8 pattern whose 0 bits take the text colour and 1 bits the background colour.
class TDottedBrush {
public:
    explicit TDottedBrush(const TLinePattern& pattern);
    ~TDottedBrush();
    TDottedBrush(const TDottedBrush&) = delete;
    TDottedBrush& operator=(const TDottedBrush&) = delete;
    HBRUSH Handle() const { return brush_; }

private:
    HBITMAP pattern_ = nullptr;
    HBRUSH brush_ = nullptr;
};

// Draws a bitmap with the pixels of TransparentColor left out.
void DrawTransparentBitmap(HDC dc, int x, int y, HBITMAP bitmap, COLORREF transparentColor);

void DrawDottedHLine(HDC dc, HBRUSH dotted, int left, int right, int top);
void DrawDottedVLine(HDC dc, HBRUSH dotted, int top, int bottom, int left);

// The left-to-right placement of the button; mirrored in a right-to-left row.
void PaintNodeButton(HDC dc, const TNodeButtonBitmaps& bitmaps, bool expanded, const RECT& r, int buttonX,
                     int buttonY, bool rightToLeft);

struct TCheckImagePaint {
    int Index = -1;
    int XPos = 0;
    int YPos = 0;
    HIMAGELIST Images = nullptr;        // the check image list (classic drawing)
    TThemeServices* Theme = nullptr;    // themed drawing (not for custom check images)
    HIMAGELIST UtilityImages = nullptr; // image 4 marks a themed push button
    COLORREF Foreground = CLR_DEFAULT;  // the selection colour for a selected node, else CLR_DEFAULT
};
void PaintCheckImage(HDC dc, const TCheckImagePaint& check);

struct TNodeImagePaint {
    HIMAGELIST Images = nullptr;
    int Index = -1;
    int XPos = 0;
    int YPos = 0;
    int Overlay = -1;    // -1: none; 0-14 an overlay mask, 15 and above an image drawn over it
    bool Enabled = true; // the node and the control
    bool Blend = false;  // drawn half blended (ghosted, cut or selected)
    COLORREF Foreground = CLR_DEFAULT;
};
void PaintNodeImage(HDC dc, const TNodeImagePaint& image);
// The image's shape in the highlight colour one pixel down and right, then in the shadow colour.
void DrawDisabledImage(HDC dc, HIMAGELIST images, int index, int x, int y);

struct TTreeLinesPaint {
    RECT CellRect{};
    int NodeHeight = 0;
    int Indent = 18;
    int VAlign = 0;
    std::vector<TVTLineType> LineImage;
    bool RightToLeft = false;
    TVTLineMode LineMode = TVTLineMode::lmNormal;
    bool GridLines = false;                   // poGridLines, for the band mode
    bool ExpandedWithVisibleChildren = false; // for the band mode
    COLORREF TreeColor = RGB(255, 255, 255);
    COLORREF TreeLineColor = RGB(128, 128, 128);
    COLORREF GridLineColor = RGB(192, 192, 192);
    // The line brush's origin in the target: a row painted into a buffer of its own passes its offset to
    // the tree's top (negated), so the dots continue from the row above.
    POINT BrushOrigin{0, 0};
};
void PaintTreeLines(HDC dc, HBRUSH dotted, const TTreeLinesPaint& lines);

void PaintDropMark(HDC dc, const RECT& r, bool above, COLORREF color);

struct TSelectionRectanglePaint {
    RECT SelectionRect{};
    RECT TargetRect{};
    int WindowOrgX = 0;
    bool Blended = false; // smBlendedRectangle or themed, with MMX
    int BlendFactor = 128;
    COLORREF BlendColor = RGB(0, 0, 128);
    COLORREF BorderColor = RGB(0, 0, 128);
};
// Blended drawing needs a 32-bit DIB section in Target.
void PaintSelectionRectangle(HDC target, const TSelectionRectanglePaint& selection);

struct TBackgroundPaint {
    HBITMAP Picture = nullptr;
    RECT R{};
    POINT Offset{};
    POINT BackgroundOffset{};
    COLORREF TreeColor = RGB(255, 255, 255);
    bool Transparent = false;
    COLORREF TransparentColor = RGB(255, 0, 255);
};
// Tiles the picture over R; an empty picture draws nothing.
void TileBackground(HDC target, const TBackgroundPaint& background);
// Fills R with the tree colour and copies the picture once at the background offset.
void DrawStaticBackground(HDC target, const TBackgroundPaint& background);

enum class TBevelCut : std::uint8_t { bvNone = 0, bvLowered = 1, bvRaised = 2, bvSpace = 3 };
enum class TBevelKind : std::uint8_t { bkNone = 0, bkTile = 1, bkSoft = 2, bkFlat = 3 };

struct TNonClientPaint {
    int Width = 0;
    int Height = 0;
    TDecorationPoint BorderDimensions; // GetBorderDimensions: negative sizes
    TBevelKind BevelKind = TBevelKind::bkNone;
    TBevelCut BevelInner = TBevelCut::bvRaised;
    TBevelCut BevelOuter = TBevelCut::bvLowered;
    UINT BevelEdges = BF_RECT;
    int BevelWidth = 1;
    bool Ctl3D = true;
    int BorderWidth = 0;
    COLORREF BorderColor = RGB(192, 192, 192);
};
void PaintNonClientArea(HDC dc, const TNonClientPaint& frame);

// One row's decorations from its layout: tree lines, the expand button, the check image and the state
// and normal images. Parts without a list or an index are left out.
struct TRowDecorations {
    TTreeLinesPaint Lines;
    bool ShowLines = false;
    bool ShowButton = false;
    bool Expanded = false;
    RECT ButtonRect{};
    int ButtonX = 0;
    int ButtonY = 0;
    TCheckImagePaint Check;
    TNodeImagePaint StateImage;
    TNodeImagePaint Image;
};
struct TDecorationResources {
    const TNodeButtonBitmaps* Buttons = nullptr;
    HBRUSH Dotted = nullptr;
};
void PaintRowDecorations(HDC dc, const TRowDecorations& row, const TDecorationResources& resources);

} // namespace tarvola
