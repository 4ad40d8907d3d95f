#include "kernel/HistogramLayout.h"

#include "base/Numerics.h"

#include <algorithm>
#include <cmath>

namespace tarvola {

namespace {

constexpr int kGrabTolerance = 4;
constexpr int kCreateTolerance = 4;
constexpr std::int32_t kMaxSpanColumns = 802;
// A bar's height as a part of the height from the zero line to the plot's edge, limited before it is
// rounded so that no value, however large, overflows the rounding.
constexpr long double kMaxBarRatio = 1.01L;
// The zero line as a part of the plot height, limited likewise (it may stand off the plot).
constexpr long double kMinZeroFraction = -1.0L;
constexpr long double kMaxZeroFraction = 2.0L;

long double BoundedRatio(long double numerator, long double denominator) {
    if (denominator == 0)
        return 0; // a zero span has zero height
    const long double ratio = numerator / denominator;
    if (!std::isfinite(ratio))
        return std::signbit(ratio) ? -kMaxBarRatio : (std::isnan(ratio) ? 0 : kMaxBarRatio);
    return std::clamp(ratio, -kMaxBarRatio, kMaxBarRatio);
}

} // namespace

std::uint32_t BarColor(const THistogramDisplay& display, TSourceKind kind, std::int32_t impulse,
                       bool selected) {
    if (impulse == 0 && kind != TSourceKind::Pass)
        return selected ? display.SelectedImpulseZero : display.ImpulseZero;
    switch (kind) {
    case TSourceKind::Input:
        return selected ? display.SelectedInput : display.Input;
    case TSourceKind::Output:
        return selected ? display.SelectedOutput : display.Output;
    case TSourceKind::Pass:
        break;
    }
    return selected ? display.SelectedPass : display.Pass;
}

void HistogramGeometry::SetSize(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
}

void HistogramGeometry::LayoutColumns(std::int32_t count, float barFraction) {
    if (count > kMaxHistogramColumns)
        throw RangeError("Too many histogram columns (" + std::to_string(count) + ")");
    count = std::max<std::int32_t>(0, count);
    const int plotWidth = std::max(0, PlotWidth());
    pitch_ = count > 0 ? static_cast<long double>(plotWidth) / count : 0.0L;
    cellWidth_ = Trunc32(pitch_) + 1;
    // The fraction is a 32-bit float: 0.7f is a little below 0.7, which decides some roundings.
    barWidth_ = std::max(1, Round32(cellWidth_ * static_cast<long double>(barFraction)));
    barOffset_ = Round32(static_cast<long double>(cellWidth_ - barWidth_) / 2);
    columnX_.resize(static_cast<std::size_t>(count));
    for (std::int32_t k = 0; k < count; ++k)
        columnX_[static_cast<std::size_t>(k)] = PlotLeft() + Round32((count - 1 - k) * pitch_);
}

int HistogramGeometry::ColumnLeft(std::int32_t column) const {
    CheckIndex(column, columnX_.size());
    return columnX_[static_cast<std::size_t>(column)];
}

TBarRect HistogramGeometry::CellRect(std::int32_t column) const {
    const int left = ColumnLeft(column);
    return {left, PlotTop(), left + cellWidth_, PlotBottom()};
}

void HistogramGeometry::ComputeScale(const TValueScale& scale) {
    scale_ = scale;
    posSpan_ = scale.High - scale.Zero;
    negSpan_ = scale.Low - scale.Zero;
    const long double span = scale.Span();
    long double fraction = 0;
    if (span > 0 && std::isfinite(span)) {
        fraction = (scale.Zero - scale.Low) / span;
        fraction = std::isfinite(fraction) ? std::clamp(fraction, kMinZeroFraction, kMaxZeroFraction) : 0.0L;
    }
    zeroY_ = height_ - Round32(fraction * PlotBottom());
    aboveHeight_ = zeroY_ - PlotTop();
    belowHeight_ = PlotBottom() - zeroY_;
}

std::int32_t HistogramGeometry::ColumnAt(int x) const {
    const auto count = ColumnCount();
    if (count == 0)
        return -1;
    if (!(pitch_ > 0))
        return 0;
    const long double place = (PlotRight() - x) / pitch_;
    if (place < 0)
        return 0;
    if (place >= count)
        return count - 1;
    return Trunc32(place);
}

TBarRect HistogramGeometry::BarRect(std::int32_t column, long double value) const {
    TBarRect bar;
    bar.Left = ColumnLeft(column) + barOffset_;
    bar.Right = bar.Left + barWidth_;
    const long double height = value - scale_.Zero;
    if (value > scale_.Zero) {
        bar.Top = zeroY_ - Round32(BoundedRatio(height, posSpan_) * aboveHeight_);
        bar.Bottom = zeroY_;
    } else {
        bar.Top = zeroY_;
        bar.Bottom = zeroY_ + Round32(BoundedRatio(height, negSpan_) * belowHeight_);
    }
    bar.Top = std::clamp(bar.Top, PlotTop(), std::max(PlotTop(), PlotBottom()));
    bar.Bottom = std::clamp(bar.Bottom, bar.Top, std::max(bar.Top, PlotBottom()));
    return bar;
}

long double HistogramGeometry::ValueAtRow(int y) const {
    const int row = std::clamp(y, PlotTop(), std::max(PlotTop(), PlotBottom()));
    long double value = scale_.Zero;
    if (row < zeroY_ && aboveHeight_ > 0)
        value += (zeroY_ - row) * posSpan_ / aboveHeight_;
    else if (row > zeroY_ && belowHeight_ > 0)
        value += (zeroY_ - row) * std::fabs(negSpan_) / belowHeight_;
    if (!std::isfinite(value))
        return scale_.Zero;
    return std::clamp(value, std::min(scale_.Low, scale_.High), std::max(scale_.Low, scale_.High));
}

TBarRect HistogramGeometry::DragBarRect(std::int32_t column, int y) const {
    TBarRect bar;
    bar.Left = ColumnLeft(column) + barOffset_;
    bar.Right = bar.Left + barWidth_;
    const int bottomLimit = std::max(PlotTop(), PlotBottom());
    const int zero = std::clamp(zeroY_, PlotTop(), bottomLimit);
    const int row = std::clamp(y, PlotTop(), bottomLimit);
    bar.Top = std::min(zero, row);
    bar.Bottom = std::max(zero, row);
    return bar;
}

TColumnTriple HitTest(const HistogramGeometry& geometry, std::int32_t lowImpulse, const TobjHistData& kernel,
                      int x) {
    const std::int32_t column = geometry.ColumnAt(x);
    if (column < 0)
        return NoRecord;
    const std::int32_t impulse = CheckedAdd(lowImpulse, column);
    return {column, kernel.Find(impulse, 0, TFindMode::Exact), impulse};
}

bool PressGrabsBar(const TBarRect& bar, int y) {
    return y > bar.Top - kGrabTolerance && y < bar.Bottom + kGrabTolerance;
}

bool PressNearZeroLine(int zeroY, int y) {
    return std::abs(y - zeroY) < kCreateTolerance;
}

bool SpanAcceptable(std::int32_t low, std::int32_t high) {
    const std::int64_t columns = std::int64_t{high} - low + 1;
    return columns >= 2 && columns <= kMaxSpanColumns;
}

bool RangeAcceptable(long double high, long double low) {
    const long double span = high - low;
    return span > 0 && std::isfinite(span);
}

TEditorPress ClassifyEditorPress(bool leftButton, bool ctrl, bool hasRecord, const TBarRect& bar, int zeroY,
                                 int y) {
    if (ctrl && hasRecord)
        return TEditorPress::DeleteColumn;
    if (!leftButton)
        return TEditorPress::RightDown;
    if (hasRecord)
        return PressGrabsBar(bar, y) ? TEditorPress::GrabBar : TEditorPress::Nothing;
    return PressNearZeroLine(zeroY, y) ? TEditorPress::CreateColumn : TEditorPress::Nothing;
}

} // namespace tarvola
