// What the header painter works from: plain records the header fills for each paint (the header as a
// whole and each visible column in position order), the owner-draw events with their paint info, and the
// element bits the owner may take over. The painter never reaches into the column collection itself, so
// the layout and the paint rules can be tested without a tree.
#pragma once

#include "tree/Delegate.h"
#include "tree/TreeTypes.h"
#include "tree/VirtualTrees.h"

#include <cstdint>
#include <string>

namespace tarvola {

class TCanvas;
class TFont;
class IHeaderTheme;

struct THeaderPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const THeaderPoint&) const = default;
};

struct THeaderSize {
    int Width = 0;
    int Height = 0;
};

// The column's cell layout; the ordinals are those of the column's Layout property.
enum class THeaderGlyphLayout : std::uint8_t {
    blGlyphLeft = 0,
    blGlyphRight = 1,
    blGlyphTop = 2,
    blGlyphBottom = 3
};
// The column's Alignment property, same ordinals.
enum class THeaderAlignment : std::uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
// The header's Style property, same ordinals.
enum class THeaderFaceStyle : std::uint8_t {
    hsThickButtons = 0,
    hsFlatButtons = 1,
    hsPlates = 2,
    hsXPStyle = 3
};

enum class TVTDropMarkMode : std::uint8_t { dmmNone = 0, dmmLeft = 1, dmmRight = 2 };

// The elements of a header cell the owner may draw itself (OnHeaderDrawQueryElements).
using THeaderPaintElements = std::uint8_t;
enum : THeaderPaintElements {
    hpeBackground = 1,
    hpeDropMark = 2,
    hpeHeaderGlyph = 4,
    hpeSortGlyph = 8,
    hpeText = 16,
};

// The option bits the painter reads, at the positions of the column's and the header's option sets.
namespace header_paint_bits {
constexpr std::uint16_t coAllowClick = 1u << 0;
constexpr std::uint16_t coEnabled = 1u << 2;
constexpr std::uint16_t coShowDropMark = 1u << 6;
constexpr std::uint16_t hoAutoResize = 1u << 0;
constexpr std::uint16_t hoHotTrack = 1u << 4;
constexpr std::uint16_t hoOwnerDraw = 1u << 5;
constexpr std::uint16_t hoShowImages = 1u << 8;
constexpr std::uint16_t hoShowSortGlyphs = 1u << 9;
} // namespace header_paint_bits

// One visible column as the painter sees it: its own properties and what the header's transient indexes
// say about it. The painter derives hover, pressed, drop mark and sort glyph from these facts.
struct THeaderPaintColumn {
    TColumnIndex Index = NoColumn;
    int Width = 0;
    std::wstring Text;
    int ImageIndex = -1;
    THeaderGlyphLayout Layout = THeaderGlyphLayout::blGlyphLeft;
    THeaderAlignment Alignment = THeaderAlignment::taLeftJustify;
    int Margin = 4;
    int Spacing = 4;
    bool RightToLeft = false; // the column's bidi mode is not left to right
    bool OwnerDraw = false;   // Style is vsOwnerDraw
    std::uint16_t Options = 0xFF;
    bool AtLastPosition = false; // the column holds the collection's last position
    bool IsHoverIndex = false;
    bool IsDownIndex = false;
    bool IsSortColumn = false;
    bool IsDropTarget = false;
    bool IsDragIndex = false;
    bool DropBefore = false;
};

// The header as a whole for one paint. Rectangles are in the target device context's coordinates; the
// column at position 0 starts at HeaderRect.Left + HOffset.
struct THeaderPaintRecord {
    TTreeRect HeaderRect;
    int HOffset = 0;
    std::uint16_t Options = 0;
    THeaderFaceStyle Style = THeaderFaceStyle::hsThickButtons;
    std::uint32_t Background = 0x80000000u | 15u; // a TColor; clBtnFace
    std::uint32_t HotColor = 0x80000000u | 16u;   // the tree's HeaderHotColor; clBtnShadow
    const TFont* Font = nullptr;                  // null: the system's GUI font in the window text colour
    void* Images = nullptr;                       // HIMAGELIST of the column glyphs, may be null
    void* UtilityImages = nullptr;                // HIMAGELIST: drop marks, sort glyphs, underline pieces
    TSortDirection SortDirection = TSortDirection::sdAscending;
    bool RightToLeft = false;            // the tree uses right-to-left alignment
    bool VerticalScrollBarShown = false; // the tree's client height is below its RangeY
    bool Enabled = true;                 // the tree is enabled
    bool HasBevel = false;               // the tree has a bevel (the last cell then may drop its border)
    IHeaderTheme* Theme = nullptr;       // null: no visual styles (classic faces)
};

// Handed to OnHeaderDrawQueryElements and OnAdvancedHeaderDraw. Column is null for the header background.
struct THeaderPaintInfo {
    TCanvas* TargetCanvas = nullptr;
    TTreeRect PaintRectangle;
    const THeaderPaintColumn* Column = nullptr;
    bool IsHoverIndex = false;
    bool IsDownIndex = false;
    bool ShowHeaderGlyph = false;
    bool ShowSortGlyph = false;
    bool ShowRightBorder = false;
    TVTDropMarkMode DropMark = TVTDropMarkMode::dmmNone;
    THeaderPoint GlyphPos;
    THeaderPoint SortGlyphPos;
    TTreeRect TextRectangle;
};

using TVTHeaderPaintEvent =
    Delegate<void(TCanvas& canvas, const THeaderPaintColumn& column, const TTreeRect& cell, bool hover,
                  bool pressed, TVTDropMarkMode dropMark)>;
using TVTHeaderPaintQueryElementsEvent =
    Delegate<void(THeaderPaintInfo& info, THeaderPaintElements& elements)>;
using TVTAdvancedHeaderPaintEvent = Delegate<void(THeaderPaintInfo& info, THeaderPaintElements elements)>;

// The owner-draw events of header painting.
struct THeaderPaintEvents {
    TVTHeaderPaintEvent OnHeaderDraw;
    TVTHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;
    TVTAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
};

} // namespace tarvola
