// What the tree's painter decides without a device context: the paint option bits, the per-cell paint
// record, the tree line image of a row and the number of selected nodes on its path, the walk over the
// rows a window of the tree covers (carrying the line image from row to row), the placement of the expand
// button, the options a paint run and a cell take, and the part of a cell the selection covers.
#pragma once

#include "tree/Columns.h"
#include "tree/NodeDecorationsLayout.h"
#include "tree/VirtualTrees.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tarvola {

class TCanvas;
class IStringTreeCanvas;

// The options of one paint run (one byte).
using TVTInternalPaintOptions = std::uint8_t;
enum : TVTInternalPaintOptions {
    poBackground = 0x01,    // the background picture may be painted
    poColumnColor = 0x02,   // cells are filled with their column's colour
    poDrawFocusRect = 0x04, // the focus rectangle is drawn
    poDrawSelection = 0x08, // selected nodes and the drop target are highlighted
    poDrawDropMark = 0x10,  // the drop mark is drawn
    poGridLines = 0x20,     // grid lines and line bands are drawn
    poMainOnly = 0x40,      // only the main column is painted
    poSelectedOnly = 0x80,  // only selected nodes and their descendants are painted
};
// The window's own paint and the print-client message (no column colours).
constexpr TVTInternalPaintOptions WindowPaintOptions = 0x3F;
constexpr TVTInternalPaintOptions PrintClientPaintOptions = 0x3D;

// The pixel format of the painter's row bitmap: the device's, or a 32-bit DIB section (blending needs one).
enum class TPixelFormat : std::uint8_t { pfDevice, pf32bit };

// One tree line per indentation level of a row, the node's own level last.
using TLineImage = std::vector<TVTLineType>;

enum class TVTImageInfoIndex : std::uint8_t { iiNormal = 0, iiState = 1, iiCheck = 2 };
struct TVTImageInfo {
    int Index = -1; // -1: no image
    int XPos = 0;   // in the row bitmap
    int YPos = 0;
    bool Ghosted = false;
};

// One cell as the painter hands it to every paint step.
struct TVTPaintInfo {
    TCanvas* Canvas = nullptr; // the row bitmap's canvas
    TVTInternalPaintOptions PaintOptions = 0;
    PVirtualNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    int Position = 0; // the column's display position
    TTreeRect CellRect;
    TTreeRect ContentRect;
    int NodeWidth = 0;
    TAlignment Alignment = TAlignment::taLeftJustify;
    TBiDiMode BidiMode = TBiDiMode::bdLeftToRight;
    TDecorationPoint BrushOrigin;
    std::array<TVTImageInfo, 3> ImageInfo{};
    // What text painting needs beyond the cell: a text canvas over the row bitmap and the control's state.
    IStringTreeCanvas* TextCanvas = nullptr;
    bool Focused = false;
    bool Enabled = true;

    TVTImageInfo& Image(TVTImageInfoIndex index) { return ImageInfo.at(static_cast<std::size_t>(index)); }
};

// A node's line image and the number of its selected ancestors, worked out from the node alone: one entry
// per level (the top level only with showRoot); an ancestor's entry continues down (ltTopDown) when the
// ancestor has a visible next sibling, the node's own entry joins it (ltTopDownRight or ltTopRight; the
// tree's very first row starts the line: ltBottomRight or, alone, ltRight).
int DetermineLineImageAndSelectLevel(PVirtualNode node, bool showRoot, TLineImage& lineImage);
// A visible sibling follows node (flags only: nothing is initialised).
bool HasVisibleNextSibling(PVirtualNode node);

// The expand button's left edge in a row of indentSize levels: centred in the node's own indent column.
int ButtonXFor(int indentSize, int indent, int buttonWidth);

// A row of a paint: its node, its top in the whole tree, and its line image state.
struct TPaintRow {
    PVirtualNode Node = nullptr;
    std::int64_t Top = 0;
    int Height = 0;
    TLineImage LineImage; // at least IndentSize entries; only the first IndentSize count
    int IndentSize = 0;
    int SelectLevel = 0; // selected nodes on the path, the node included
    int ButtonX = 0;
};

// Walks the visible rows from the one covering windowTop (a tree coordinate) downwards, carrying the line
// image from row to row. Each row's node is initialised and its height measured before it is shown.
class TPaintRowWalker {
public:
    TPaintRowWalker(TBaseVirtualTree& tree, int windowTop, int indent, int buttonWidth, bool showRoot);
    bool Done() const { return row_.Node == nullptr; }
    const TPaintRow& Row() const { return row_; }
    // The next visible row; Done() after the last.
    void Next();

private:
    void EnterRow();
    void StepLineImage(PVirtualNode next);

    TBaseVirtualTree& tree_;
    int indent_;
    TPaintRow row_;
};

// Step 7 of a run: what the tree's options and focus take away from the caller's options.
struct TRunOptionInputs {
    bool AlwaysHideSelection = false;
    bool HideSelection = false;
    bool HideFocusRect = false;
    bool Focused = false;
};
TVTInternalPaintOptions RunPaintOptions(TVTInternalPaintOptions options, const TRunOptionInputs& inputs);

// A cell's options: the run's, less the selection in the cell being edited, less the column colour
// without columns, in a full-row selected node, or in a column with the parent's colour.
struct TCellOptionInputs {
    bool EditingThisCell = false;
    bool HasColumns = false;
    bool SelectedFullRow = false; // a selected node with full-row select
    bool ParentColor = false;
};
TVTInternalPaintOptions CellPaintOptions(TVTInternalPaintOptions run, const TCellOptionInputs& inputs);

// The part of a cell's content area the selection covers: the content itself by alignment and width.
TTreeRect SelectionInnerRect(const TTreeRect& content, TAlignment alignment, int nodeWidth);

// Swaps left and right justification for a right-to-left cell.
TAlignment MirroredAlignment(TAlignment alignment, TBiDiMode bidiMode);

// The rubber band as a row or area sees it: corners ordered.
TTreeRect OrderedBand(const TTreeRect& band);

} // namespace tarvola
