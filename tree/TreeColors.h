// The tree's colour settings (15 indexed colours with system-colour defaults) and its scroll-bar settings.
#pragma once

#include <array>
#include <cstdint>

namespace tarvola {

class TBaseVirtualTree;

// A colour as the framework stores it: an RGB value, or a system colour index with the high bit.
using TVTColorValue = std::uint32_t;
constexpr TVTColorValue SystemColor(std::uint32_t index) {
    return 0x80000000u | index;
}
constexpr TVTColorValue VTclWindowText = SystemColor(8);
constexpr TVTColorValue VTclHighlight = SystemColor(13);
constexpr TVTColorValue VTclBtnFaceColor = SystemColor(15);
constexpr TVTColorValue VTclBtnShadow = SystemColor(16);

enum class TVTColorIndex : std::uint8_t {
    DisabledColor,
    DropMarkColor,
    DropTargetColor,
    FocusedSelectionColor,
    GridLineColor,
    TreeLineColor,
    UnfocusedSelectionColor,
    BorderColor,
    HotColor,
    FocusedSelectionBorderColor,
    UnfocusedSelectionBorderColor,
    DropTargetBorderColor,
    SelectionRectangleBlendColor,
    SelectionRectangleBorderColor,
    HeaderHotColor,
};
constexpr std::size_t TreeColorCount = 15;
using TVTColorTable = std::array<TVTColorValue, TreeColorCount>;
extern const TVTColorTable DefaultTreeColors;

class TVTColors {
public:
    explicit TVTColors(TBaseVirtualTree& owner) : owner_(owner) {}
    TVTColors(const TVTColors&) = delete;
    TVTColors& operator=(const TVTColors&) = delete;

    TVTColorValue Color(TVTColorIndex index) const { return colors_.at(static_cast<std::size_t>(index)); }
    // Stores a changed colour; with a window the tree lines are rebuilt (TreeLineColor), the frame redrawn
    // (BorderColor) or the control repainted.
    void SetColor(TVTColorIndex index, TVTColorValue value);
    const TVTColorTable& All() const { return colors_; }
    // Copies all 15 colours and repaints the tree unless it is updating.
    void Assign(const TVTColors& source);

private:
    TBaseVirtualTree& owner_;
    TVTColorTable colors_ = DefaultTreeColors;
};

enum class TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TScrollBarStyle : std::uint8_t { sbmRegular, sbmFlat, sbm3D };
using TVTScrollIncrement = std::uint16_t;

class TScrollBarOptions {
public:
    explicit TScrollBarOptions(TBaseVirtualTree& owner) : owner_(owner) {}
    TScrollBarOptions(const TScrollBarOptions&) = delete;
    TScrollBarOptions& operator=(const TScrollBarOptions&) = delete;

    bool AlwaysVisible() const { return alwaysVisible_; }
    // Re-creates the window when changed.
    void SetAlwaysVisible(bool value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    // Re-creates the window when changed.
    void SetScrollBars(TScrollStyle value);
    TScrollBarStyle ScrollBarStyle() const { return scrollBarStyle_; }
    // Only the regular style is supported: any other is a caller's error and the style stays regular.
    void SetScrollBarStyle(TScrollBarStyle value);
    TVTScrollIncrement HorizontalIncrement = 20;
    TVTScrollIncrement VerticalIncrement = 20;

    void Assign(const TScrollBarOptions& source);

private:
    void RecreateWindow();

    TBaseVirtualTree& owner_;
    bool alwaysVisible_ = false;
    TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
    TScrollBarStyle scrollBarStyle_ = TScrollBarStyle::sbmRegular;
};

} // namespace tarvola
