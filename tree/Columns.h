// The tree's columns: one column's properties with their setters, and the collection that keeps the display
// order (logical index versus visual position), the left edges, the width rules of the header (auto-size,
// spring columns, fitting to content) and the header's transient column indexes. Everything here is
// portable; what the columns need from the tree and its window they ask through the header's IHeaderTree.
#pragma once

#include "forms/Alignment.h"
#include "forms/Events.h"
#include "tree/TreeTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarvola {

class TStream;
class TVTHeader;
class IHeaderTree;
class TVirtualTreeColumns;

// Column options (bit order as stored).
enum : std::uint16_t {
    coAllowClick = 0x0001,
    coDraggable = 0x0002,
    coEnabled = 0x0004,
    coParentBidiMode = 0x0008,
    coParentColor = 0x0010,
    coResizable = 0x0020,
    coShowDropMark = 0x0040,
    coVisible = 0x0080,
    coAutoSpring = 0x0100,
};
using TVTColumnOptions = std::uint16_t;
constexpr TVTColumnOptions DefaultColumnOptions = 0x00FF;

enum class TVirtualTreeColumnStyle : std::uint8_t { vsText = 0, vsOwnerDraw = 1 };
enum class TVTHeaderColumnLayout : std::uint8_t {
    blGlyphLeft = 0,
    blGlyphRight = 1,
    blGlyphTop = 2,
    blGlyphBottom = 3
};
enum class TBiDiMode : std::uint8_t {
    bdLeftToRight = 0,
    bdRightToLeft = 1,
    bdRightToLeftNoAlign = 2,
    bdRightToLeftReadingOnly = 3,
};

// A colour as the framework stores it (system colours carry the high bit).
using TVTColor = std::uint32_t;
constexpr TVTColor VTclWindow = 0x80000005;
constexpr TVTColor VTclBtnFace = 0x8000000F;

constexpr int DefaultColumnWidth = 50;
constexpr int DefaultColumnMinWidth = 10;
constexpr int DefaultColumnMaxWidth = 10000;
constexpr int DefaultColumnMargin = 4;

// A point in client (or header, or screen) coordinates, as the caller says.
struct TVTPoint {
    int X = 0, Y = 0;
    bool operator==(const TVTPoint&) const = default;
};

// A resize by fewer pixels than the animation has steps would only sleep, so it is not animated.
constexpr bool ColumnResizeIsAnimated(int delta) {
    return delta >= 32 || delta <= -32;
}

// The column options a stream of the given version holds, in today's bit order: older streams have no
// coParentColor (bit 4), so their bits from 4 on move up by one.
TVTColumnOptions ConvertStoredColumnOptions(std::int32_t stored, int version);

class TVirtualTreeColumn {
public:
    explicit TVirtualTreeColumn(TVirtualTreeColumns& owner);
    virtual ~TVirtualTreeColumn() = default;
    TVirtualTreeColumn(const TVirtualTreeColumn&) = delete;
    TVirtualTreeColumn& operator=(const TVirtualTreeColumn&) = delete;

    TColumnIndex Index() const { return index_; }
    TVirtualTreeColumns& Owner() const { return owner_; }

    const std::wstring& Text() const { return text_; }
    void SetText(const std::wstring& value);
    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& value) { hint_ = value; }
    int Width() const { return width_; }
    void SetWidth(int value);
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int value);
    int MaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int value);
    int Position() const { return position_; }
    void SetPosition(int value);
    TVTColumnOptions Options() const { return options_; }
    void SetOptions(TVTColumnOptions value);
    bool Has(TVTColumnOptions option) const { return (options_ & option) == option; }
    TVirtualTreeColumnStyle Style() const { return style_; }
    void SetStyle(TVirtualTreeColumnStyle value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    TVTHeaderColumnLayout Layout() const { return layout_; }
    void SetLayout(TVTHeaderColumnLayout value);
    int Margin() const { return margin_; }
    void SetMargin(int value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);
    TBiDiMode BiDiMode() const { return biDiMode_; }
    void SetBiDiMode(TBiDiMode value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TVTColor Color() const { return color_; }
    void SetColor(TVTColor value);
    int Tag() const { return tag_; }
    void SetTag(int value) { tag_ = value; }

    // Left edge in tree coordinates, and in client coordinates (scrolled by the tree's OffsetX).
    int Left() const { return left_; }
    int GetLeft() const;
    int LastWidth() const { return lastWidth_; }
    double SpringRest() const { return springRest_; }

    virtual void Assign(const TVirtualTreeColumn& source);
    virtual bool Equals(const TVirtualTreeColumn& other) const;
    virtual std::wstring GetDisplayName() const;
    void RestoreLastWidth();
    void ParentColorChanged();
    void ParentBiDiModeChanged();

    void LoadFromStream(TStream& stream, int version);
    void SaveToStream(TStream& stream) const;

private:
    friend class TVirtualTreeColumns;
    IHeaderTree& Tree() const;
    void Changed();
    void ApplyWidthLimits(int minWidth, int maxWidth);

    TVirtualTreeColumns& owner_;
    TColumnIndex index_ = 0;
    std::wstring text_, hint_;
    int width_ = DefaultColumnWidth;
    int minWidth_ = DefaultColumnMinWidth;
    int maxWidth_ = DefaultColumnMaxWidth;
    int position_ = 0;
    TVTColumnOptions options_ = DefaultColumnOptions;
    TVirtualTreeColumnStyle style_ = TVirtualTreeColumnStyle::vsText;
    int imageIndex_ = -1;
    TVTHeaderColumnLayout layout_ = TVTHeaderColumnLayout::blGlyphLeft;
    int margin_ = DefaultColumnMargin;
    int spacing_ = DefaultColumnMargin;
    TBiDiMode biDiMode_ = TBiDiMode::bdLeftToRight;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TVTColor color_ = VTclWindow;
    int tag_ = 0;
    int left_ = 0;
    int lastWidth_ = DefaultColumnWidth;
    // The fraction of a pixel spring resizing owes this column; signed, so that growth and shrinking
    // settle against each other.
    double springRest_ = 0;
};

class TVirtualTreeColumns {
public:
    explicit TVirtualTreeColumns(TVTHeader& header);
    virtual ~TVirtualTreeColumns();
    TVirtualTreeColumns(const TVirtualTreeColumns&) = delete;
    TVirtualTreeColumns& operator=(const TVirtualTreeColumns&) = delete;

    TVTHeader& Header() const { return header_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // Bounds-checked: an index outside 0..Count-1 raises std::out_of_range.
    TVirtualTreeColumn& Items(TColumnIndex index) const;
    TVirtualTreeColumn& operator[](TColumnIndex index) const { return Items(index); }
    TVirtualTreeColumn& Add();
    // Removes one column and moves every column index held elsewhere along with the collection.
    void Delete(TColumnIndex index);
    virtual void Clear();
    // Moves a column to another collection index (its display position stays with it).
    void SetColumnIndex(TColumnIndex column, TColumnIndex newIndex);
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }
    bool IsValidColumn(TColumnIndex column) const { return column >= 0 && column < Count(); }

    // Navigation by display position; InvalidColumn when there is none.
    TColumnIndex GetFirstVisibleColumn() const;
    TColumnIndex GetLastVisibleColumn() const;
    TColumnIndex GetNextColumn(TColumnIndex column) const;
    TColumnIndex GetPreviousColumn(TColumnIndex column) const;
    TColumnIndex GetNextVisibleColumn(TColumnIndex column) const;
    TColumnIndex GetPreviousVisibleColumn(TColumnIndex column) const;
    std::vector<TColumnIndex> GetVisibleColumns() const;
    // The column at a display position; NoColumn beyond the array.
    TColumnIndex ColumnFromPosition(int positionIndex) const;
    // The visible column under a point in header coordinates; InvalidColumn when none.
    virtual TColumnIndex ColumnFromPosition(TVTPoint p, bool relative = true) const;
    TColumnIndex GetColumnAndBounds(TVTPoint p, int& left, int& right, bool relative = true) const;
    void GetColumnBounds(TColumnIndex column, int& left, int& right) const;
    int TotalWidth() const;
    const std::vector<TColumnIndex>& PositionToIndex() const { return positionToIndex_; }

    // The collection's change notification (item nil: the whole collection).
    virtual void Update(TVirtualTreeColumn* item);
    void UpdatePositions(bool force = false);
    void FixPositions();
    bool NeedPositionsFix() const { return needPositionsFix_; }

    void AdjustAutoSize(TColumnIndex currentIndex, bool force = false);
    void UpdateSpringColumns();
    void AnimatedResize(TColumnIndex column, int newWidth);

    // Hover, press and click tracking; p is a client point of the header.
    bool AdjustHoverColumn(TVTPoint p);
    TColumnIndex AdjustDownColumn(TVTPoint p);
    void HandleClick(TVTPoint p, TMouseButton button, bool force, bool dblClick, TShiftState shift);

    void LoadFromStream(TStream& stream, int version);
    void SaveToStream(TStream& stream) const;
    bool Equals(const TVirtualTreeColumns& other) const;
    virtual void Assign(const TVirtualTreeColumns& source);

    // Makes the column objects Add puts into the collection (a tree with a column class of its own sets it);
    // unset: plain columns.
    std::function<std::unique_ptr<TVirtualTreeColumn>(TVirtualTreeColumns&)> ColumnFactory;

    // The transient indexes (-1: none).
    TColumnIndex HoverIndex = NoColumn;
    TColumnIndex DownIndex = NoColumn;
    TColumnIndex TrackIndex = NoColumn;
    TColumnIndex ClickIndex = NoColumn;
    TColumnIndex DragIndex = NoColumn;
    TColumnIndex DropTarget = NoColumn;
    bool DropBefore = false;

private:
    friend class TVirtualTreeColumn;
    IHeaderTree& Tree() const;
    void InitializePositionArray();
    void AdjustPosition(TColumnIndex column, int newPosition);
    void IndexChanged(TColumnIndex oldIndex, TColumnIndex newIndex);
    void ShiftIndexesAfterDeletion(TColumnIndex deleted);
    void Renumber();
    // Repaints one column's header cell; nothing for an index that names no column.
    void InvalidateCell(TColumnIndex column) const;
    TColumnIndex StepVisible(TColumnIndex column, int direction) const;

    TVTHeader& header_;
    std::vector<std::unique_ptr<TVirtualTreeColumn>> items_;
    std::vector<TColumnIndex> positionToIndex_;
    int updateCount_ = 0;
    bool updatePending_ = false;
    bool needPositionsFix_ = false;
    bool clearingColumns_ = false;
};

} // namespace tarvola
