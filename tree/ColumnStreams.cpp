// The column record and the collection stream. Loading reads a whole record before applying it, in an order
// that keeps every stored value: the width limits before the width (a stored width outside the default
// limits survives), colour and bidi mode before the options (whose parent flags the colour setter clears).
#include "tree/Columns.h"

#include "tree/Header.h"
#include "tree/HeaderStreamIO.h"

#include <set>

namespace tarvola {

namespace {

// The smallest column record: two empty texts and eleven integers.
constexpr std::int64_t MinimumColumnRecord = 13 * 4;

struct TStoredColumn {
    std::wstring Text, Hint;
    std::int32_t Width = 0, MinWidth = 0, MaxWidth = 0;
    std::int32_t Style = 0, ImageIndex = -1, Layout = 0;
    std::int32_t Margin = 0, Spacing = 0, BiDiMode = 0, Options = 0;
    std::int32_t Tag = 0, Alignment = 0;
    std::int32_t Color = 0;
};

template <typename Enum>
Enum CheckedEnum(std::int32_t value, Enum last) {
    if (value < 0 || value > static_cast<std::int32_t>(last))
        RaiseHeaderStreamFormatError();
    return static_cast<Enum>(value);
}

} // namespace

TVTColumnOptions ConvertStoredColumnOptions(std::int32_t stored, int version) {
    const auto value = static_cast<std::uint32_t>(stored);
    if (version >= 3)
        return static_cast<TVTColumnOptions>(value & 0xFFFF);
    if (version == 2)
        return static_cast<TVTColumnOptions>(value & 0xFF);
    return static_cast<TVTColumnOptions>((((value >> 4) << 5) | (value & 0x0F)) & 0xFF);
}

void TVirtualTreeColumn::LoadFromStream(TStream& stream, int version) {
    THeaderStreamReader reader(stream);
    TStoredColumn stored;
    stored.Text = reader.ReadWide();
    stored.Hint = reader.ReadWide();
    stored.Width = reader.ReadI32();
    stored.MinWidth = reader.ReadI32();
    stored.MaxWidth = reader.ReadI32();
    stored.Style = reader.ReadI32();
    stored.ImageIndex = reader.ReadI32();
    stored.Layout = reader.ReadI32();
    stored.Margin = reader.ReadI32();
    stored.Spacing = reader.ReadI32();
    stored.BiDiMode = reader.ReadI32();
    stored.Options = reader.ReadI32();
    if (version >= 1) {
        stored.Tag = reader.ReadI32();
        stored.Alignment = reader.ReadI32();
    }
    const bool hasColor = version >= 2;
    if (hasColor)
        stored.Color = reader.ReadI32();
    if (stored.MinWidth < 0 || stored.MaxWidth < stored.MinWidth)
        RaiseHeaderStreamFormatError();
    const auto style = CheckedEnum(stored.Style, TVirtualTreeColumnStyle::vsOwnerDraw);
    const auto layout = CheckedEnum(stored.Layout, TVTHeaderColumnLayout::blGlyphBottom);
    const auto biDiMode = CheckedEnum(stored.BiDiMode, TBiDiMode::bdRightToLeftReadingOnly);
    const auto alignment = CheckedEnum(stored.Alignment, TAlignment::taCenter);

    SetText(stored.Text);
    SetHint(stored.Hint);
    ApplyWidthLimits(stored.MinWidth, stored.MaxWidth);
    SetWidth(stored.Width);
    SetStyle(style);
    SetImageIndex(stored.ImageIndex);
    SetLayout(layout);
    SetMargin(stored.Margin);
    SetSpacing(stored.Spacing);
    SetTag(stored.Tag);
    SetAlignment(alignment);
    if (hasColor)
        SetColor(static_cast<TVTColor>(stored.Color));
    SetBiDiMode(biDiMode);
    SetOptions(ConvertStoredColumnOptions(stored.Options, version));
}

void TVirtualTreeColumn::SaveToStream(TStream& stream) const {
    THeaderStreamWriter writer(stream);
    writer.WriteWide(text_);
    writer.WriteWide(hint_);
    for (std::int32_t value : {width_, minWidth_, maxWidth_, static_cast<int>(style_), imageIndex_,
                               static_cast<int>(layout_), margin_, spacing_, static_cast<int>(biDiMode_),
                               static_cast<int>(options_), tag_, static_cast<int>(alignment_)})
        writer.WriteI32(value);
    writer.WriteI32(static_cast<std::int32_t>(color_));
}

void TVirtualTreeColumns::LoadFromStream(TStream& stream, int version) {
    THeaderStreamReader reader(stream);
    Clear();
    const std::int32_t count = reader.ReadCount(MinimumColumnRecord + 4);
    if (count == 0)
        return;
    BeginUpdate();
    try {
        for (std::int32_t i = 0; i < count; ++i)
            Add().LoadFromStream(stream, version);
        std::vector<TColumnIndex> positions;
        std::set<TColumnIndex> seen;
        for (std::int32_t i = 0; i < count; ++i) {
            const TColumnIndex column = reader.ReadI32();
            // The array must be a permutation of the columns, or later lookups would leave the collection.
            if (column < 0 || column >= count || !seen.insert(column).second)
                RaiseHeaderStreamFormatError();
            positions.push_back(column);
        }
        positionToIndex_ = std::move(positions);
    } catch (...) {
        EndUpdate();
        throw;
    }
    needPositionsFix_ = false;
    EndUpdate();
    UpdatePositions(true);
}

void TVirtualTreeColumns::SaveToStream(TStream& stream) const {
    THeaderStreamWriter writer(stream);
    writer.WriteI32(Count());
    if (Count() == 0)
        return;
    for (const auto& column : items_)
        column->SaveToStream(stream);
    for (TColumnIndex column : positionToIndex_)
        writer.WriteI32(column);
}

} // namespace tarvola
