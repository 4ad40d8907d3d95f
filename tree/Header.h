// The tree's column header: its options and settings (height, style, main, sort and auto-size columns, font),
// its stream, and the port to the tree it belongs to. The header is not a window; it lives in the tree's
// non-client area, and its mouse handling is THeaderController's.
#pragma once

#include "tree/Columns.h"

#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tarvola {

// Header options (bit order as stored).
enum : std::uint16_t {
    hoAutoResize = 0x0001,
    hoColumnResize = 0x0002,
    hoDblClickResize = 0x0004,
    hoDrag = 0x0008,
    hoHotTrack = 0x0010,
    hoOwnerDraw = 0x0020,
    hoRestrictDrag = 0x0040,
    hoShowHint = 0x0080,
    hoShowImages = 0x0100,
    hoShowSortGlyphs = 0x0200,
    hoVisible = 0x0400,
    hoAutoSpring = 0x0800,
};
using TVTHeaderOptions = std::uint16_t;
constexpr TVTHeaderOptions DefaultHeaderOptions = hoColumnResize | hoDrag;
// What form layouts store as the default (they set the options explicitly).
constexpr TVTHeaderOptions StoredDefaultHeaderOptions = hoColumnResize | hoDrag | hoShowSortGlyphs;

// The header's busy states.
enum : std::uint8_t {
    hsDragging = 0x02,
    hsDragPending = 0x04,
    hsLoading = 0x08,
    hsTracking = 0x10,
    hsTrackPending = 0x20,
};

enum class TVTHeaderStyle : std::uint8_t {
    hsThickButtons = 0,
    hsFlatButtons = 1,
    hsPlates = 2,
    hsXPStyle = 3
};

constexpr int DefaultHeaderHeight = 17;
constexpr int HeaderStreamVersion = 3;

// The header font as plain values (the window side makes a font of them).
struct THeaderFont {
    TVTColor Color = 0x80000012; // clBtnText
    std::int32_t Height = -11;
    std::string Name = "MS Sans Serif";
    std::int32_t Pitch = 0;
    std::int32_t Style = 0;
    bool operator==(const THeaderFont&) const = default;
};

// What the header and its columns need from their tree and its window. The defaults describe a tree without
// a window that ignores every notification.
class IHeaderTree {
public:
    virtual ~IHeaderTree() = default;

    virtual bool HasWindow() const { return false; }
    // The tree's client width (the width the auto-size column fills) and the header's width.
    virtual int ClientWidth() const { return 0; }
    virtual int HeaderWidth() const { return ClientWidth(); }
    // The height of the tree's window: header coordinates below it hold no column.
    virtual int WindowHeight() const { return INT_MAX; }
    virtual int OffsetX() const { return 0; }
    // The tree reads its form layout (setters only store).
    virtual bool Loading() const { return false; }
    virtual bool Updating() const { return false; }
    virtual TVTColor Color() const { return VTclWindow; }
    virtual TBiDiMode BiDiMode() const { return TBiDiMode::bdLeftToRight; }
    virtual bool ExtendedFocus() const { return false; }
    virtual bool AutoSort() const { return false; }

    virtual void InvalidateTree() {}
    // Repaints the header between two client x-coordinates (right excluded).
    virtual void InvalidateHeader(int /*left*/, int /*right*/) {}
    virtual void UpdateHorizontalScrollBar() {}
    // The header's visible height changed: the window recomputes its frame.
    virtual void RecalculateHeader() {}
    virtual void CancelEditNode() {}
    virtual void MainColumnChanged() {}
    virtual void SetFocusedColumn(TColumnIndex) {}
    virtual void SortTree(TColumnIndex, TSortDirection) {}
    virtual int GetMaxColumnWidth(TColumnIndex) { return 0; }
    // Shows a column's width change as a short animation (the width itself is set afterwards).
    virtual void AnimateColumnResize(TColumnIndex, int /*newWidth*/) {}

    virtual void DoColumnResize(TColumnIndex) {}
    virtual void DoHeaderClick(TColumnIndex, TMouseButton, TShiftState, int /*x*/, int /*y*/) {}
    virtual void DoHeaderDblClick(TColumnIndex, TMouseButton, TShiftState, int /*x*/, int /*y*/) {}
    virtual void DoHeaderMouseDown(TMouseButton, TShiftState, int /*x*/, int /*y*/) {}
    virtual void DoHeaderMouseUp(TMouseButton, TShiftState, int /*x*/, int /*y*/) {}
    virtual void DoHeaderMouseMove(TShiftState, int /*x*/, int /*y*/) {}
    virtual bool DoHeaderDragging(TColumnIndex) { return true; }
    virtual void DoHeaderDragged(TColumnIndex, int /*oldPosition*/) {}
    virtual void DoHeaderDraggedOut(TColumnIndex, TVTPoint /*screen*/) {}
};

class TVTHeader {
public:
    explicit TVTHeader(IHeaderTree& tree);
    virtual ~TVTHeader();
    TVTHeader(const TVTHeader&) = delete;
    TVTHeader& operator=(const TVTHeader&) = delete;

    IHeaderTree& Tree() const { return *tree_; }
    TVirtualTreeColumns& Columns() const { return *columns_; }

    TVTHeaderOptions Options() const { return options_; }
    void SetOptions(TVTHeaderOptions value);
    bool Has(TVTHeaderOptions option) const { return (options_ & option) == option; }
    int Height() const { return height_; }
    void SetHeight(int value);
    TVTHeaderStyle Style() const { return style_; }
    void SetStyle(TVTHeaderStyle value);
    TVTColor Background() const { return background_; }
    void SetBackground(TVTColor value);
    const THeaderFont& Font() const { return font_; }
    void SetFont(const THeaderFont& value);
    bool ParentFont() const { return parentFont_; }
    // True: the header takes the tree's font (the last one it heard of) and follows its changes.
    void SetParentFont(bool value);
    // The tree's font changed.
    void TreeFontChanged(const THeaderFont& treeFont);
    TColumnIndex MainColumn() const;
    void SetMainColumn(TColumnIndex value);
    TColumnIndex SortColumn() const { return sortColumn_; }
    void SetSortColumn(TColumnIndex value);
    TSortDirection SortDirection() const { return sortDirection_; }
    void SetSortDirection(TSortDirection value);
    TColumnIndex AutoSizeIndex() const { return autoSizeIndex_; }
    void SetAutoSizeIndex(TColumnIndex value);

    std::uint8_t States() const { return states_; }
    bool Busy() const { return (states_ & (hsDragging | hsDragPending | hsTracking | hsTrackPending)) != 0; }
    // The header's height as the window reserves it: Height with hoVisible, else 0.
    int VisibleHeight() const { return Has(hoVisible) ? height_ : 0; }
    bool UseColumns() const { return columns_->Count() > 0; }

    // p in client coordinates (the header lies above the client area, at negative y).
    virtual bool InHeader(TVTPoint p) const;
    // Finds a resizable column whose right border lies near p (client coordinates) and makes it TrackIndex.
    virtual bool DetectResizeColumn(TVTPoint p);
    int TrackLeft() const { return trackLeft_; }
    void Invalidate(TColumnIndex column, bool expandToBorder = false);
    void AutoFitColumns(bool animated);
    void RestoreColumns();

    virtual void Assign(const TVTHeader& source);
    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToStream(TStream& stream) const;

    // The header's context menu: shown at a screen point; true when a menu was shown. Unset: no menu.
    std::function<bool(TVTPoint screen)> PopupMenu;

private:
    friend class THeaderController;
    friend class TVirtualTreeColumns;
    void LoadSettings(TStream& stream, int version);

    IHeaderTree* tree_;
    std::unique_ptr<TVirtualTreeColumns> columns_;
    TVTHeaderOptions options_ = DefaultHeaderOptions;
    int height_ = DefaultHeaderHeight;
    TVTHeaderStyle style_ = TVTHeaderStyle::hsThickButtons;
    TVTColor background_ = VTclBtnFace;
    THeaderFont font_;
    bool parentFont_ = false;
    std::optional<THeaderFont> treeFont_;
    TColumnIndex mainColumn_ = NoColumn;
    TColumnIndex sortColumn_ = NoColumn;
    TSortDirection sortDirection_ = TSortDirection::sdAscending;
    TColumnIndex autoSizeIndex_ = 0;
    std::uint8_t states_ = 0;
    int trackLeft_ = 0;
    TVTPoint trackStart_;
    TVTPoint dragStart_;
    int lastSpringWidth_ = 0;
};

// The stream errors of the column and header streams (the tree's stream error codes).
[[noreturn]] void RaiseHeaderStreamFormatError();
[[noreturn]] void RaiseHeaderStreamVersionError();
[[noreturn]] void RaiseHeaderStreamShortError();

} // namespace tarvola
