#include "explorer/VirtualScrollbarsGeometry.h"

#include "base/Numerics.h"

#include <algorithm>
#include <cstdint>

namespace tarvola {

namespace {

// a * b / c rounded halves to even, in a width that cannot overflow for int operands.
int ScaledRound(std::int64_t a, std::int64_t b, std::int64_t c) {
    return Round32(static_cast<long double>(a) * static_cast<long double>(b) / static_cast<long double>(c));
}

} // namespace

void TScrollbarValues::SetMin(int value) {
    min_ = value;
    if (min_ >= max_)
        min_ = CheckedSub(max_, 1);
    Reclamp();
}

void TScrollbarValues::SetMax(int value) {
    max_ = value;
    if (max_ <= min_)
        max_ = CheckedAdd(min_, 1);
    Reclamp();
}

void TScrollbarValues::SetPageSize(int value) {
    pageSize_ = value;
    Reclamp();
}

void TScrollbarValues::SetPosition(int value) {
    position_ = value;
    Reclamp();
}

// A change of the range or the page can leave the others out of bounds; every setter re-applies all rules.
void TScrollbarValues::Reclamp() {
    const int range = CheckedSub(max_, min_);
    pageSize_ = std::clamp(pageSize_, 1, range);
    position_ = std::clamp(position_, min_, LargestPosition());
}

TScrollbarElement TScrollbarLayout::ElementAt(int y) const {
    if (UpArrow.Contains(y))
        return TScrollbarElement::seUpArrow;
    if (DownArrow.Contains(y))
        return TScrollbarElement::seDownArrow;
    if (Thumb.Contains(y))
        return TScrollbarElement::seThumb;
    if (PageUp.Contains(y))
        return TScrollbarElement::sePageUp;
    if (PageDown.Contains(y))
        return TScrollbarElement::sePageDown;
    return TScrollbarElement::seNone;
}

TScrollbarLayout ComputeScrollbarLayout(int height, const TScrollbarMetrics& metrics,
                                        const TScrollbarValues& values) {
    TScrollbarLayout layout;
    height = std::max(height, 0);
    const int arrow =
        2 * static_cast<std::int64_t>(metrics.ArrowHeight) <= height ? metrics.ArrowHeight : height / 2;
    layout.UpArrow = {0, arrow};
    layout.DownArrow = {height - arrow, height};
    layout.Track = {arrow, height - arrow};
    const int trackLength = layout.Track.Height();

    const std::int64_t range = static_cast<std::int64_t>(values.Max()) - values.Min();
    int thumb = std::max(ScaledRound(trackLength, values.PageSize(), range), metrics.ThumbHeight / 2);
    if (thumb > trackLength)
        thumb = 0;
    layout.CentreTravel = {layout.Track.Top + thumb / 2, layout.Track.Bottom - thumb / 2};

    int centre;
    const int largest = values.LargestPosition();
    if (values.Position() <= values.Min() || largest <= values.Min())
        centre = layout.CentreTravel.Top;
    else if (values.Position() >= largest)
        centre = layout.CentreTravel.Bottom;
    else
        centre = layout.CentreTravel.Top +
                 ScaledRound(static_cast<std::int64_t>(values.Position()) - values.Min(),
                             layout.CentreTravel.Height(), static_cast<std::int64_t>(largest) - values.Min());
    // An odd thumb length would reach one pixel past the track's end; the thumb always stays inside it.
    const int thumbTop = std::clamp(centre - thumb / 2, layout.Track.Top, layout.Track.Bottom - thumb);
    layout.Thumb = {thumbTop, thumbTop + thumb};
    layout.PageUp = {layout.Track.Top, layout.Thumb.Top};
    layout.PageDown = {layout.Thumb.Bottom, layout.Track.Bottom};
    return layout;
}

int ScrollbarPositionAt(const TScrollbarLayout& layout, const TScrollbarValues& values, int y) {
    const TScrollbarSpan& travel = layout.CentreTravel;
    if (travel.Height() <= 0 || y <= travel.Top)
        return values.Min();
    if (y >= travel.Bottom)
        return values.LargestPosition();
    const std::int64_t positions = static_cast<std::int64_t>(values.LargestPosition()) - values.Min();
    return values.Min() + ScaledRound(static_cast<std::int64_t>(y) - travel.Top, positions, travel.Height());
}

} // namespace tarvola
