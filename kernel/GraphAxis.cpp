#include "kernel/GraphAxis.h"

#include <windows.h>

#include <algorithm>
#include <memory>

namespace tarvola {

namespace {

// The band keeps this many pixels free at the ruler's sides.
constexpr int kBandMargin = 2;
constexpr int kFillerMovesToCancel = 5;

TAxisButton AxisButton(TMouseButton button) {
    switch (button) {
    case TMouseButton::mbLeft:
        return TAxisButton::Left;
    case TMouseButton::mbRight:
        return TAxisButton::Right;
    case TMouseButton::mbMiddle:
        break;
    }
    return TAxisButton::Middle;
}

struct MemoryDCDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDC = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDCDeleter>;

} // namespace

TobjGraphAxis::TobjGraphAxis(TComponent* owner) : TobjPaintPanel(owner) {
    SetBevelOuter(TPanelBevel::bvNone);
    SetBevelInner(TPanelBevel::bvNone);
    SetBorderWidth(0);
    SetCursor(TCursor::crHandPoint);
    layout_.OnSpanSelect = [this](std::int32_t low, std::int32_t high) {
        if (OnSpanSelect)
            OnSpanSelect(low, high);
    };
    layout_.OnRangeSelect = [this](long double high, long double low) {
        if (OnRangeSelect)
            OnRangeSelect(high, low);
    };
}

void TobjGraphAxis::SetThickness(int value) {
    layout_.SetThickness(value);
    if (Horizontal())
        SetHeight(value);
    else
        SetWidth(value);
}

void TobjGraphAxis::SetLength(int value) {
    layout_.SetLength(value);
    if (Horizontal())
        SetWidth(value);
    else
        SetHeight(value);
}

void TobjGraphAxis::LayoutLabels() {
    const MemoryDC dc(CreateCompatibleDC(nullptr));
    {
        TCanvas canvas(dc.get());
        canvas.Font.Assign(LabelFont);
        layout_.LayoutLabels([&canvas](const std::string& text) {
            const SIZE size = canvas.TextExtent(text);
            return TTextExtent{size.cx, size.cy};
        });
    }
    Invalidate();
}

void TobjGraphAxis::UpdateLabelCaptions() {
    layout_.UpdateLabelCaptions();
    Invalidate();
}

void TobjGraphAxis::CancelDrag() {
    layout_.CancelDrag();
    ShowBand();
}

void TobjGraphAxis::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TobjPaintPanel::MouseDown(button, shift, x, y);
    layout_.MouseDown(AxisButton(button), x, y);
}

void TobjGraphAxis::MouseMove(TShiftState shift, int x, int y) {
    TobjPaintPanel::MouseMove(shift, x, y);
    if (!layout_.ButtonDown())
        return;
    layout_.MouseMove(x, y);
    ShowBand();
}

void TobjGraphAxis::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TobjPaintPanel::MouseUp(button, shift, x, y);
    layout_.MouseUp(AxisButton(button), x, y);
    ShowBand();
}

void TobjGraphAxis::ShowBand() {
    if (HandleAllocated())
        Repaint();
}

void TobjGraphAxis::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Brush.Style = TBrushStyle::bsSolid;
    canvas.Brush.Color = Color();
    canvas.FillRect(ClientRect());
    DrawBand(canvas);
    DrawLabels(canvas);
    FirePaint();
}

void TobjGraphAxis::DrawBand(TCanvas& canvas) {
    canvas.Brush.Style = TBrushStyle::bsSolid;
    canvas.Brush.Color = kBandGrey;
    const int across = Horizontal() ? Height() : Width();
    if (layout_.BandShown()) {
        canvas.FillRect(TRect{kBandMargin, layout_.BandTop(), across - kBandMargin, layout_.BandBottom()});
        return;
    }
    if (!Horizontal())
        return;
    const int end = AxisLength() - kBandMargin;
    for (int j = 0; j < layout_.ColumnCount(); ++j) {
        const TAxisColumn& column = layout_.Column(j);
        if (!column.Highlighted)
            continue;
        const int left = std::max(column.Left, kBandMargin);
        const int right = std::min(column.Right, end);
        if (left < right)
            canvas.FillRect(TRect{left, kBandMargin, right, across - kBandMargin});
    }
}

void TobjGraphAxis::DrawLabels(TCanvas& canvas) {
    canvas.Font.Assign(LabelFont);
    const auto& boxes = layout_.LabelBoxes();
    for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
        const TAxisLabelBox& box = boxes[static_cast<std::size_t>(i)];
        canvas.Brush.Style = TBrushStyle::bsSolid;
        canvas.Brush.Color = layout_.LabelHighlighted(i) ? kBandGrey : Color();
        canvas.FillRect(TRect{box.Left, box.Top, box.Left + box.Width, box.Top + box.Height});
        canvas.Brush.Style = TBrushStyle::bsClear;
        canvas.TextOut(box.Left, box.Top, box.Caption);
    }
}

TobjAxisFiller::TobjAxisFiller(TComponent* owner) : TPanel(owner) {
    SetBevelOuter(TPanelBevel::bvNone);
    SetBevelInner(TPanelBevel::bvNone);
}

void TobjAxisFiller::SetAxes(TobjGraphAxis* axisA, TobjGraphAxis* axisB) {
    axisA_ = axisA;
    axisB_ = axisB;
    moves_ = 0;
}

void TobjAxisFiller::MouseMove(TShiftState shift, int x, int y) {
    TPanel::MouseMove(shift, x, y);
    if (++moves_ < kFillerMovesToCancel)
        return;
    moves_ = 0;
    for (TobjGraphAxis* axis : {axisA_, axisB_}) {
        if (axis != nullptr && axis->DragPending())
            axis->CancelDrag();
    }
}

} // namespace tarvola
