// The designer's rulers: TobjGraphAxis along the edge of a histogram (the vertical value ruler and the
// horizontal impulse ruler), and TobjAxisFiller where two rulers meet. The arithmetic lives in
// GraphAxisLayout; the ruler turns mouse messages into its calls and its state into pixels. The label texts
// are drawn on the ruler itself, so the ruler alone handles the mouse.
#pragma once

#include "kernel/GraphAxisLayout.h"
#include "kernel/PaintPanel.h"

#include <cstdint>
#include <functional>
#include <span>

namespace tarvola {

// The band highlight of a ruler.
constexpr TColor kBandGrey = 0xB0B0B0; // red, green and blue 176

class TobjGraphAxis : public TobjPaintPanel {
public:
    explicit TobjGraphAxis(TComponent* owner);

    // Own font of the labels.
    TFont LabelFont;

    bool Horizontal() const { return layout_.Horizontal; }
    void SetHorizontal(bool horizontal) { layout_.Horizontal = horizontal; }
    int Decimals() const { return layout_.Decimals; }
    void SetDecimals(int decimals) { layout_.Decimals = decimals; }
    bool EndLabels() const { return layout_.EndLabels; }
    void SetEndLabels(bool endLabels) { layout_.EndLabels = endLabels; }
    bool ReverseLabels() const { return layout_.ReverseLabels; }
    void SetReverseLabels(bool reverse) { layout_.ReverseLabels = reverse; }
    long double LowValue() const { return layout_.LowValue; }
    long double HighValue() const { return layout_.HighValue; }
    void SetLowValue(long double value) { layout_.LowValue = value; }
    void SetHighValue(long double value) { layout_.HighValue = value; }

    // The extent across and along the ruler; they size the control by its orientation.
    int Thickness() const { return layout_.Thickness(); }
    int AxisLength() const { return layout_.AxisLength(); }
    void SetThickness(int value);
    void SetLength(int value);

    void SetColumnPitch(long double pitch) { layout_.SetColumnPitch(pitch); }
    void SetLabelCount(int count, int offset) { layout_.SetLabelCount(count, offset); }
    void SetValueRange(long double low, long double high) { layout_.SetValueRange(low, high); }
    void SetColumns(std::span<const std::int32_t> columnX, std::int32_t lowImpulse, std::int32_t highImpulse,
                    int count, int xOffset) {
        layout_.SetColumns(columnX, lowImpulse, highImpulse, count, xOffset);
    }
    void SetColumnLabelValues() { layout_.SetColumnLabelValues(); }
    // The labels are drawn, not windows: creating them only asks for a repaint.
    void CreateLabels() { Invalidate(); }
    // Captions and places of the labels, measured in LabelFont; repaints.
    void LayoutLabels();
    // Captions only; repaints.
    void UpdateLabelCaptions();
    void CancelDrag();
    bool DragPending() const { return layout_.DragPending(); }

    // Column mode: a new impulse range. Value mode: a new value range, the higher value first.
    std::function<void(std::int32_t low, std::int32_t high)> OnSpanSelect;
    std::function<void(long double high, long double low)> OnRangeSelect;

    const GraphAxisLayout& Layout() const { return layout_; }

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
    void Paint() override;

private:
    void DrawBand(TCanvas& canvas);
    void DrawLabels(TCanvas& canvas);
    // Paints a change of the band at once.
    void ShowBand();

    GraphAxisLayout layout_;
};

// A plain panel where two rulers meet: a ruler drag that wandered onto it ends on its 5th mouse move.
class TobjAxisFiller : public TPanel {
public:
    explicit TobjAxisFiller(TComponent* owner);
    // Either may be nullptr.
    void SetAxes(TobjGraphAxis* axisA, TobjGraphAxis* axisB);
    void MouseMove(TShiftState shift, int x, int y) override;

private:
    TobjGraphAxis* axisA_ = nullptr;
    TobjGraphAxis* axisB_ = nullptr;
    int moves_ = 0;
};

} // namespace tarvola
