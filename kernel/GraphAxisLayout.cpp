#include "kernel/GraphAxisLayout.h"

#include "base/Numerics.h"
#include "kernel/FloatText.h"

#include <algorithm>
#include <cmath>

namespace tarvola {

namespace {

constexpr int kLabelPrecision = 7;
// The band leaves this many pixels free at the ruler's sides and ends.
constexpr int kBandMargin = 2;

} // namespace

void GraphAxisLayout::SetColumnPitch(long double pitch) {
    columnPitch_ = pitch;
    columnWidth_ = Trunc32(pitch) + 1;
}

int GraphAxisLayout::LabelPos(int index) const {
    CheckIndex(index, kAxisLabelSlots);
    return labelPos_[static_cast<std::size_t>(index)];
}

long double GraphAxisLayout::LabelValue(int index) const {
    CheckIndex(index, kAxisLabelSlots);
    return labelValue_[static_cast<std::size_t>(index)];
}

void GraphAxisLayout::SetLabelCount(int count, int offset) {
    count = std::clamp(count, 0, kMaxAxisLabels);
    labelCount_ = count;
    const int shift = EndLabels ? 0 : offset;
    for (int i = 0; i < count; ++i) {
        // A single label stands at the start rather than dividing by zero.
        const long double along = count > 1 ? static_cast<long double>(i) * axisLength_ / (count - 1) : 0.0L;
        labelPos_[static_cast<std::size_t>(i)] = CheckedAdd(Round32(along), shift);
    }
}

void GraphAxisLayout::SetValueRange(long double low, long double high) {
    LowValue = low;
    HighValue = high;
    const int steps = std::max(1, EndLabels ? labelCount_ - 1 : labelCount_);
    valueStep_ = (high - low) / steps;
    long double start = low;
    if (Decimals == 0) {
        start = RoundHalfEven(start);
        valueStep_ = RoundHalfEven(valueStep_);
    }
    for (int i = 0; i < labelCount_; ++i)
        labelValue_[static_cast<std::size_t>(i)] = start + i * valueStep_;
}

void GraphAxisLayout::SetColumns(std::span<const std::int32_t> columnX, std::int32_t lowImpulse,
                                 std::int32_t highImpulse, int count, int xOffset) {
    if (count < 0 || count > kMaxHistogramColumns || static_cast<std::size_t>(count) > columnX.size())
        throw RangeError("Too many histogram columns (" + std::to_string(count) + ")");
    columnMode_ = true;
    ReverseLabels = false;
    LowValue = lowImpulse;
    HighValue = highImpulse;

    columns_.assign(static_cast<std::size_t>(count), TAxisColumn{});
    for (int j = 0; j < count; ++j) {
        auto& entry = columns_[static_cast<std::size_t>(j)];
        entry.Left = columnX[static_cast<std::size_t>(count - 1 - j)];
        entry.Right = CheckedAdd(entry.Left, columnWidth_);
    }

    columnLabelStep_ = std::max(1, count / kMaxAxisLabels);
    int wanted = count / columnLabelStep_;
    if (wanted > kMaxAxisLabels)
        columnLabelStep_ += wanted / kMaxAxisLabels + 1;

    // Labels only on columns that exist: c < Count, at most 25 of them.
    int placed = 0;
    for (int c = columnLabelStep_ / 2; c < count && placed < kMaxAxisLabels; c += columnLabelStep_) {
        labelPos_[static_cast<std::size_t>(placed)] =
            CheckedAdd(columnX[static_cast<std::size_t>(c)], static_cast<std::int32_t>(xOffset));
        labelValue_[static_cast<std::size_t>(placed)] = static_cast<long double>(lowImpulse) + c;
        columns_[static_cast<std::size_t>(count - 1 - c)].Label = placed;
        ++placed;
    }
    labelCount_ = placed;
}

void GraphAxisLayout::SetColumnLabelValues() {
    const long double first = std::trunc(LowValue) + columnLabelStep_ / 2;
    for (int i = 0; i < labelCount_; ++i)
        labelValue_[static_cast<std::size_t>(i)] = first + static_cast<long double>(i) * columnLabelStep_;
}

const TAxisColumn& GraphAxisLayout::Column(int entry) const {
    CheckIndex(entry, columns_.size());
    return columns_[static_cast<std::size_t>(entry)];
}

std::string GraphAxisLayout::LabelCaption(int index) const {
    return FloatToStrF(LabelValue(index), TFloatFormat::ffFixed, kLabelPrecision, Decimals);
}

int GraphAxisLayout::LabelSlot(int index) const {
    return ReverseLabels ? labelCount_ - 1 - index : index;
}

void GraphAxisLayout::LayoutLabels(const std::function<TTextExtent(const std::string&)>& measure) {
    boxes_.assign(static_cast<std::size_t>(labelCount_), TAxisLabelBox{});
    auto keepInside = [this](TAxisLabelBox& box) {
        if (Horizontal) {
            box.Left = std::max(0, std::min(box.Left, axisLength_ - box.Width));
        } else {
            box.Top = std::max(0, std::min(box.Top, axisLength_ - box.Height));
        }
    };
    for (int i = 0; i < labelCount_; ++i) {
        auto& box = boxes_[static_cast<std::size_t>(i)];
        box.Caption = LabelCaption(i);
        const TTextExtent text = measure(box.Caption);
        const int pos = labelPos_[static_cast<std::size_t>(LabelSlot(i))];
        if (Horizontal) {
            box.Top = 3;
            box.Width = text.Width + 1;
            box.Height = text.Height;
            box.Left = pos - text.Width / 2;
        } else {
            box.Width = text.Width;
            box.Height = text.Height + 1;
            box.Left = thickness_ - (text.Width + 3);
            box.Top = pos - text.Height / 2;
        }
        keepInside(box);
    }
    if (labelCount_ >= 2) {
        // A last label that stands on the far side of the one before it goes one step further on.
        auto& last = boxes_.back();
        const auto& previous = boxes_[boxes_.size() - 2];
        if (previous.Left + previous.Width < last.Left)
            last.Left = previous.Left - Round32(columnLabelStep_ * columnPitch_);
        keepInside(boxes_.front());
        keepInside(last);
    }
}

void GraphAxisLayout::UpdateLabelCaptions() {
    for (int i = 0; i < static_cast<int>(boxes_.size()) && i < labelCount_; ++i)
        boxes_[static_cast<std::size_t>(i)].Caption = LabelCaption(i);
}

bool GraphAxisLayout::LabelHighlighted(int index) const {
    if (!bandStarted_ || index < 0 || index >= labelCount_)
        return false;
    if (Horizontal) {
        return std::any_of(columns_.begin(), columns_.end(),
                           [index](const TAxisColumn& c) { return c.Highlighted && c.Label == index; });
    }
    const int pos = labelPos_[static_cast<std::size_t>(LabelSlot(index))];
    return pos >= BandTop() && pos < BandBottom();
}

int GraphAxisLayout::BandTop() const {
    return std::clamp(std::min(downY_, lastY_), kBandMargin,
                      std::max(kBandMargin, axisLength_ - kBandMargin));
}

int GraphAxisLayout::BandBottom() const {
    return std::clamp(std::max(downY_, lastY_), kBandMargin,
                      std::max(kBandMargin, axisLength_ - kBandMargin));
}

int GraphAxisLayout::EntryAt(int x) const {
    // The entries run left to right; a pointer beyond them belongs to the nearest one.
    const auto it = std::upper_bound(columns_.begin(), columns_.end(), x,
                                     [](int px, const TAxisColumn& c) { return px < c.Left; });
    if (it == columns_.begin())
        return 0;
    return static_cast<int>(it - columns_.begin()) - 1;
}

int GraphAxisLayout::ColumnUnder(int x) const {
    if (!(columnPitch_ > 0))
        return 0;
    return Round32(x / columnPitch_);
}

long double GraphAxisLayout::ValueAtRow(int y) const {
    const int row = std::clamp(y, 0, axisLength_);
    return span_ * (axisLength_ - row) / axisLength_ + LowValue;
}

void GraphAxisLayout::MouseDown(TAxisButton button, int x, int y) {
    if (button == TAxisButton::Middle || buttonDown_)
        return;
    buttonDown_ = true;
    button_ = button;
    moved_ = false;
    bandStarted_ = false;
    downX_ = lastX_ = x;
    downY_ = lastY_ = y;
    span_ = HighValue - LowValue;
    lastColumn_ = Horizontal ? ColumnUnder(x) : 0;
    bandStartEntry_ = columns_.empty() ? 0 : EntryAt(x);
}

void GraphAxisLayout::MouseMove(int x, int y) {
    if (!buttonDown_)
        return;
    // Windows also reports moves without a change of place; they neither start nor continue a drag.
    if (x == lastX_ && y == lastY_)
        return;
    moved_ = true;
    dragPending_ = true;
    if (button_ == TAxisButton::Right) {
        bandStarted_ = true;
        lastX_ = x;
        lastY_ = y;
        if (Horizontal && !columns_.empty()) {
            ClearHighlights();
            HighlightEntries(bandStartEntry_, EntryAt(x));
        }
        return;
    }
    if (Horizontal) {
        lastX_ = x;
        lastY_ = y;
        const int column = ColumnUnder(x);
        const int delta = column - lastColumn_;
        if (delta == 0)
            return;
        lastColumn_ = column;
        for (int i = 0; i < labelCount_; ++i)
            labelValue_[static_cast<std::size_t>(i)] += delta;
        LowValue += delta;
        HighValue += delta;
        if (OnSpanSelect)
            OnSpanSelect(Trunc32(LowValue), Trunc32(HighValue));
        return;
    }
    lastX_ = x;
    if (axisLength_ <= 0)
        return;
    const long double delta = static_cast<long double>(y - lastY_) / axisLength_ * span_;
    if (delta == 0)
        return;
    lastY_ = y;
    if (OnRangeSelect)
        OnRangeSelect(HighValue + delta, LowValue + delta);
}

void GraphAxisLayout::MouseUp(TAxisButton button, int /*x*/, int y) {
    if (!buttonDown_ || button != button_)
        return;
    buttonDown_ = false;
    dragPending_ = false;
    if (button == TAxisButton::Right)
        FinishRightDrag(y);
    else
        FinishLeftDrag();
}

void GraphAxisLayout::CancelDrag() {
    if (buttonDown_)
        MouseUp(button_, lastX_, lastY_);
}

void GraphAxisLayout::HighlightEntries(int fromEntry, int toEntry) {
    const int first = std::min(fromEntry, toEntry);
    const int last = std::max(fromEntry, toEntry);
    for (int j = first; j <= last; ++j)
        columns_[static_cast<std::size_t>(j)].Highlighted = true;
}

void GraphAxisLayout::ClearHighlights() {
    for (auto& column : columns_)
        column.Highlighted = false;
}

void GraphAxisLayout::FinishRightDrag(int y) {
    if (bandStarted_) {
        bandStarted_ = false;
        if (Horizontal) {
            const auto isLit = [](const TAxisColumn& c) { return c.Highlighted; };
            const auto first = std::find_if(columns_.begin(), columns_.end(), isLit);
            if (first == columns_.end())
                return;
            const auto last = std::find_if(columns_.rbegin(), columns_.rend(), isLit);
            const auto firstEntry = static_cast<std::int32_t>(first - columns_.begin());
            const auto lastEntry = static_cast<std::int32_t>(columns_.rend() - last) - 1;
            ClearHighlights();
            const std::int32_t high = Trunc32(HighValue);
            if (OnSpanSelect)
                OnSpanSelect(CheckedSub(high, lastEntry), CheckedSub(high, firstEntry));
        } else if (axisLength_ > 0) {
            const long double upper = ValueAtRow(std::min(downY_, y));
            const long double lower = ValueAtRow(std::max(downY_, y));
            if (OnRangeSelect)
                OnRangeSelect(upper, lower);
        }
        return;
    }
    // A click: zoom out by two.
    long double half = span_ / 2;
    if (Horizontal) {
        half = std::max(half, 1.0L);
        if (OnSpanSelect)
            OnSpanSelect(Trunc32(LowValue - half), Trunc32(HighValue + half));
    } else if (OnRangeSelect) {
        OnRangeSelect(HighValue + half, LowValue - half);
    }
}

void GraphAxisLayout::FinishLeftDrag() {
    if (moved_)
        return;
    // A click: zoom in by two.
    long double quarter = span_ / 4;
    if (Horizontal) {
        quarter = std::max(quarter, 1.0L);
        if (OnSpanSelect)
            OnSpanSelect(Trunc32(LowValue + quarter), Trunc32(HighValue - quarter));
    } else if (OnRangeSelect) {
        OnRangeSelect(HighValue - quarter, LowValue + quarter);
    }
}

} // namespace tarvola
