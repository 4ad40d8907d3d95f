// The arithmetic of the designer's rulers, apart from any window: label counts, positions, values and
// captions, the column table of the impulse ruler, where the label boxes stand, and the mouse rules that
// turn clicks and drags into a new range for the owner.
//
// A ruler works in one of two modes:
//   value mode   (the vertical value ruler) labels show evenly spaced values from LowValue to HighValue;
//   column mode  (the horizontal impulse ruler, after SetColumns) labels show the impulse numbers of
//                histogram columns; impulses run from right to left.
// Mouse: the left button scrolls, and zooms in by two on a click; the right button selects a band, and
// zooms out by two on a click. The ruler reports the range asked for through OnSpanSelect (column mode)
// or OnRangeSelect (value mode) and never adopts it by itself: the owner checks it and sets the ruler again.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tarvola {

constexpr int kMaxAxisLabels = 25;
constexpr int kAxisLabelSlots = 26;
// The most columns a histogram lays out (and a ruler's column table holds).
constexpr int kMaxHistogramColumns = 10241;

// One histogram column as the impulse ruler sees it, in the ruler's pixels.
struct TAxisColumn {
    std::int32_t Left = 0;
    std::int32_t Right = 0; // Left + ColumnWidth
    bool Highlighted = false;
    std::int32_t Label = -1; // the label standing at this column, -1 none
};

// Where a label stands on the ruler, and what it reads.
struct TAxisLabelBox {
    std::string Caption;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

struct TTextExtent {
    int Width = 0;
    int Height = 0;
};

enum class TAxisButton { Left, Right, Middle };

class GraphAxisLayout {
public:
    // False: a vertical ruler (labels stacked along its height); True: horizontal.
    bool Horizontal = false;
    // Digits after the point in label captions.
    int Decimals = 5;
    // Value mode: True when the first and last labels stand at the two ends.
    bool EndLabels = false;
    // True: label i stands at the slot LabelCount - 1 - i (the lowest value at the bottom).
    bool ReverseLabels = false;

    long double LowValue = 0;
    long double HighValue = 0;

    // Column mode: a new impulse range (Low, High).
    std::function<void(std::int32_t low, std::int32_t high)> OnSpanSelect;
    // Value mode: a new value range, the higher value first.
    std::function<void(long double high, long double low)> OnRangeSelect;

    // The extent across and along the ruler.
    int Thickness() const { return thickness_; }
    int AxisLength() const { return axisLength_; }
    void SetThickness(int value) { thickness_ = value; }
    void SetLength(int value) { axisLength_ = value; }

    long double ColumnPitch() const { return columnPitch_; }
    int ColumnWidth() const { return columnWidth_; }
    void SetColumnPitch(long double pitch);

    int LabelCount() const { return labelCount_; }
    int LabelPos(int index) const;
    long double LabelValue(int index) const;
    long double ValueStep() const { return valueStep_; }
    // Span = HighValue - LowValue, taken when a button goes down.
    long double Span() const { return span_; }

    // At most 25 labels; positions spread along the ruler (Offset shifts them unless EndLabels).
    void SetLabelCount(int count, int offset);
    // Stores the range and the label values; with Decimals 0 the start and step are whole numbers.
    void SetValueRange(long double low, long double high);

    // Column mode for a histogram of Count columns whose left pixels are ColumnX[0..Count-1] (column 0,
    // the lowest impulse, is the rightmost). Labels stand every ColumnLabelStep columns, at most 25, each
    // at its column's left pixel plus XOffset. A ColumnX shorter than Count, or Count above the column
    // table, is a RangeError.
    void SetColumns(std::span<const std::int32_t> columnX, std::int32_t lowImpulse, std::int32_t highImpulse,
                    int count, int xOffset);
    // Relabels after a scroll of whole columns (the columns and label places stay).
    void SetColumnLabelValues();
    bool ColumnMode() const { return columnMode_; }
    int ColumnLabelStep() const { return columnLabelStep_; }
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    // Entry j describes column ColumnCount() - 1 - j, so the entries run left to right on screen.
    const TAxisColumn& Column(int entry) const;

    // The caption of label i: fixed point, precision 7, Decimals digits.
    std::string LabelCaption(int index) const;
    // Captions and boxes of the labels in use; Measure gives a caption's extent in the label font.
    void LayoutLabels(const std::function<TTextExtent(const std::string&)>& measure);
    // Only the captions, the boxes kept.
    void UpdateLabelCaptions();
    // The boxes of the last LayoutLabels (LabelCount() of them).
    const std::vector<TAxisLabelBox>& LabelBoxes() const { return boxes_; }
    // True when label i stands in the band being selected.
    bool LabelHighlighted(int index) const;

    // Mouse input in the ruler's pixels.
    void MouseDown(TAxisButton button, int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(TAxisButton button, int x, int y);
    // Ends a drag under way as if its button had been released where the pointer last was.
    void CancelDrag();
    // True while a drag (a scroll or a band) is under way.
    bool DragPending() const { return dragPending_; }
    bool ButtonDown() const { return buttonDown_; }
    // Vertical band being selected: rows Top..Bottom (exclusive), already clipped to the ruler's ends.
    bool BandShown() const { return bandStarted_ && !Horizontal; }
    int BandTop() const;
    int BandBottom() const;

private:
    int EntryAt(int x) const;
    int ColumnUnder(int x) const;
    void HighlightEntries(int fromEntry, int toEntry);
    void ClearHighlights();
    void FinishRightDrag(int y);
    void FinishLeftDrag();
    long double ValueAtRow(int y) const;
    int LabelSlot(int index) const;

    int thickness_ = 0;
    int axisLength_ = 0;
    long double columnPitch_ = 0;
    int columnWidth_ = 1;
    int labelCount_ = 0;
    std::array<int, kAxisLabelSlots> labelPos_{};
    std::array<long double, kAxisLabelSlots> labelValue_{};
    long double valueStep_ = 0;
    long double span_ = 0;
    bool columnMode_ = false;
    int columnLabelStep_ = 1;
    std::vector<TAxisColumn> columns_;
    std::vector<TAxisLabelBox> boxes_;

    // Drag state.
    bool buttonDown_ = false;
    TAxisButton button_ = TAxisButton::Left;
    bool moved_ = false;
    bool bandStarted_ = false;
    bool dragPending_ = false;
    int downX_ = 0;
    int downY_ = 0;
    int lastX_ = 0;
    int lastY_ = 0;
    int lastColumn_ = 0;
    int bandStartEntry_ = 0;
};

} // namespace tarvola
