// The arithmetic of the kernel histograms, apart from any window: the display values both histograms
// share (colours, bar fractions, the value scale), where columns and bars stand, which column a pointer
// is over, the value a dragged bar stands for, and the rules of the editor's mouse gestures.
//
// A histogram shows one column per impulse of its bounds; column 0, the lowest impulse, is the rightmost.
// The plot is the control less a one-pixel frame: left 1, top 1, right Width - 1, bottom Height - 1
// (right and bottom exclusive). Bars hang from the zero line, up for values above Zero, down otherwise.
#pragma once

#include "kernel/GraphAxisLayout.h"
#include "kernel/KrnlDsgnTypes.h"

#include <cstdint>
#include <vector>

namespace tarvola {

// A colour as red, green and blue in the layout of a Win32 COLORREF (0x00BBGGRR).
constexpr std::uint32_t RgbColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return std::uint32_t{red} | (std::uint32_t{green} << 8) | (std::uint32_t{blue} << 16);
}

// The value range the plot height covers, and the value drawn as the zero line.
struct TValueScale {
    long double Low = -2.0L;
    long double High = 2.0L;
    long double Zero = 0.0L;
    long double Span() const { return High - Low; }
};

// The display values the designer sets once and both histograms share.
struct THistogramDisplay {
    TValueScale Scale;
    std::uint32_t Background = RgbColor(0, 0, 0);
    std::uint32_t HighlightBackground = RgbColor(36, 36, 36);
    std::uint32_t ZeroLine = RgbColor(136, 0, 0);
    std::uint32_t Pass = RgbColor(24, 24, 24);
    std::uint32_t Input = RgbColor(32, 160, 27);
    std::uint32_t Output = RgbColor(180, 144, 20);
    std::uint32_t SelectedPass = RgbColor(68, 68, 68);
    std::uint32_t SelectedInput = RgbColor(96, 224, 91);
    std::uint32_t SelectedOutput = RgbColor(244, 208, 84);
    std::uint32_t ImpulseZero = RgbColor(16, 56, 144);
    std::uint32_t SelectedImpulseZero = RgbColor(72, 112, 200);
    float ViewerBarFraction = 0.8f;
    float EditorBarFraction = 0.7f;
};

// The colour of a record's bar: the impulse-zero colour for a record at impulse 0 that is not Pass, else
// its kind's colour; the selected variant when Selected.
std::uint32_t BarColor(const THistogramDisplay& display, TSourceKind kind, std::int32_t impulse,
                       bool selected);

// Columns, zero line and bars of one histogram.
class HistogramGeometry {
public:
    // The control's client size; lays out nothing by itself.
    void SetSize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    int PlotLeft() const { return 1; }
    int PlotTop() const { return 1; }
    int PlotRight() const { return width_ - 1; }
    int PlotBottom() const { return height_ - 1; }
    int PlotWidth() const { return PlotRight() - PlotLeft(); }

    // Count columns across the plot, bars BarFraction of a cell wide. Count is at most
    // kMaxHistogramColumns (RangeError beyond); below 1 lays out no columns.
    void LayoutColumns(std::int32_t count, float barFraction);
    std::int32_t ColumnCount() const { return static_cast<std::int32_t>(columnX_.size()); }
    long double Pitch() const { return pitch_; }
    int CellWidth() const { return cellWidth_; }
    int BarWidth() const { return barWidth_; }
    int BarOffset() const { return barOffset_; }
    // Left pixel of each column's cell, by column number.
    const std::vector<std::int32_t>& ColumnX() const { return columnX_; }
    int ColumnLeft(std::int32_t column) const;
    // The cell of a column, the plot's height.
    TBarRect CellRect(std::int32_t column) const;

    // Zero line and heights from the value scale. A scale without span puts the zero line at the bottom.
    void ComputeScale(const TValueScale& scale);
    int ZeroY() const { return zeroY_; }
    int AboveHeight() const { return aboveHeight_; }
    int BelowHeight() const { return belowHeight_; }
    long double PosSpan() const { return posSpan_; }
    long double NegSpan() const { return negSpan_; }
    bool ZeroLineInPlot() const { return zeroY_ >= PlotTop() && zeroY_ < PlotBottom(); }

    // The column under a pointer x, clamped to the columns; -1 when none are laid out.
    std::int32_t ColumnAt(int x) const;
    // The bar of a value in a column: from the zero line up or down, clipped to the plot. Any value, however
    // large, stays within the plot.
    TBarRect BarRect(std::int32_t column, long double value) const;
    // The value a bar dragged to row y stands for: the inverse of BarRect, within the scale and finite.
    long double ValueAtRow(int y) const;
    // A bar dragged to row y: from the zero line to y, within the plot.
    TBarRect DragBarRect(std::int32_t column, int y) const;

private:
    int width_ = 0;
    int height_ = 0;
    long double pitch_ = 0;
    int cellWidth_ = 1;
    int barWidth_ = 1;
    int barOffset_ = 0;
    std::vector<std::int32_t> columnX_;
    TValueScale scale_;
    int zeroY_ = 0;
    int aboveHeight_ = 0;
    int belowHeight_ = 0;
    long double posSpan_ = 0;
    long double negSpan_ = 0;
};

// The column, record and impulse under a pointer x of a histogram whose first column is LowImpulse;
// NoRecord when no column is laid out. The record index is -1 when the kernel has none at that impulse.
TColumnTriple HitTest(const HistogramGeometry& geometry, std::int32_t lowImpulse, const TobjHistData& kernel,
                      int x);

// A bar is grabbed by a press strictly between its top - 4 and its bottom + 4.
bool PressGrabsBar(const TBarRect& bar, int y);
// A column is created by a press strictly within 4 pixels of the zero line.
bool PressNearZeroLine(int zeroY, int y);
// The impulse ruler's request is taken for 2 to 802 columns.
bool SpanAcceptable(std::int32_t low, std::int32_t high);
// The value ruler's request is taken when it has a positive, finite span.
bool RangeAcceptable(long double high, long double low);

// What a press on the editor does.
enum class TEditorPress {
    Nothing,      // outside the range, or not near anything
    DeleteColumn, // Ctrl + click on a column with a record
    RightDown,    // the right button: remembered only
    GrabBar,      // the left button on a record's bar
    CreateColumn, // the left button near the zero line of an empty column
};
TEditorPress ClassifyEditorPress(bool leftButton, bool ctrl, bool hasRecord, const TBarRect& bar, int zeroY,
                                 int y);

// The undo descriptions of the editor's single-column edits.
constexpr const char* kCreateColumnUndo = "Create Single Column";
constexpr const char* kDeleteColumnUndo = "Delete Single Column";
constexpr const char* kChangeValueUndo = "Change Column Value";

} // namespace tarvola
