// The tree's option object: five option sets (paint, animation, auto, selection, misc), each member named
// with its set's prefix, with their defaults and the side effects of changing them. The core reads the
// options it needs through its flat TVirtualTreeOptions view, which these setters keep in step.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace tarvola {

class TBaseVirtualTree;

// A set over an enumeration of at most 32 members, bit n for member n.
template <typename E>
class TOptionSet {
public:
    constexpr TOptionSet() = default;
    constexpr TOptionSet(std::initializer_list<E> members) {
        for (E member : members)
            bits_ |= Bit(member);
    }
    static constexpr TOptionSet FromBits(std::uint32_t bits) {
        TOptionSet result;
        result.bits_ = bits;
        return result;
    }
    static constexpr std::uint32_t Bit(E member) { return std::uint32_t{1} << static_cast<unsigned>(member); }

    constexpr std::uint32_t Bits() const { return bits_; }
    constexpr bool Has(E member) const { return (bits_ & Bit(member)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TOptionSet With(E member) const { return FromBits(bits_ | Bit(member)); }
    constexpr TOptionSet Without(E member) const { return FromBits(bits_ & ~Bit(member)); }
    constexpr TOptionSet operator|(TOptionSet other) const { return FromBits(bits_ | other.bits_); }
    constexpr TOptionSet operator&(TOptionSet other) const { return FromBits(bits_ & other.bits_); }
    constexpr TOptionSet operator-(TOptionSet other) const { return FromBits(bits_ & ~other.bits_); }
    constexpr bool operator==(const TOptionSet&) const = default;

private:
    std::uint32_t bits_ = 0;
};

enum class TVTPaintOption : std::uint8_t {
    toHideFocusRect,
    toHideSelection,
    toHotTrack,
    toPopupMode,
    toShowBackground,
    toShowButtons,
    toShowDropmark,
    toShowHorzGridLines,
    toShowRoot,
    toShowTreeLines,
    toShowVertGridLines,
    toThemeAware,
    toUseBlendedImages,
    toGhostedIfUnfocused,
    toFullVertGridLines,
    toAlwaysHideSelection,
    toUseBlendedSelection,
    toStaticBackground,
};
enum class TVTAnimationOption : std::uint8_t { toAnimatedToggle };
enum class TVTAutoOption : std::uint8_t {
    toAutoDropExpand,
    toAutoExpand,
    toAutoScroll,
    toAutoScrollOnExpand,
    toAutoSort,
    toAutoSpanColumns,
    toAutoTristateTracking,
    toAutoHideButtons,
    toAutoDeleteMovedNodes,
    toDisableAutoscrollOnFocus,
    toAutoChangeScale,
    toAutoFreeOnCollapse,
    toDisableAutoscrollOnEdit,
};
enum class TVTSelectionOption : std::uint8_t {
    toDisableDrawSelection,
    toExtendedFocus,
    toFullRowSelect,
    toLevelSelectConstraint,
    toMiddleClickSelect,
    toMultiSelect,
    toRightClickSelect,
    toSiblingSelectConstraint,
    toCenterScrollIntoView,
    toSimpleDrawSelection,
};
enum class TVTMiscOption : std::uint8_t {
    toAcceptOLEDrop,
    toCheckSupport,
    toEditable,
    toFullRepaintOnResize,
    toGridExtensions,
    toInitOnSave,
    toReportMode,
    toToggleOnDblClick,
    toWheelPanning,
    toReadOnly,
    toVariableNodeHeight,
    toFullRowDrag,
};

using TVTPaintOptions = TOptionSet<TVTPaintOption>;
using TVTAnimationOptions = TOptionSet<TVTAnimationOption>;
using TVTAutoOptions = TOptionSet<TVTAutoOption>;
using TVTSelectionOptions = TOptionSet<TVTSelectionOption>;
using TVTMiscOptions = TOptionSet<TVTMiscOption>;

inline constexpr TVTPaintOptions DefaultPaintOptions{
    TVTPaintOption::toShowButtons,   TVTPaintOption::toShowDropmark, TVTPaintOption::toShowRoot,
    TVTPaintOption::toShowTreeLines, TVTPaintOption::toThemeAware,   TVTPaintOption::toUseBlendedImages};
inline constexpr TVTAnimationOptions DefaultAnimationOptions{};
inline constexpr TVTAutoOptions DefaultAutoOptions{
    TVTAutoOption::toAutoDropExpand, TVTAutoOption::toAutoScrollOnExpand,
    TVTAutoOption::toAutoTristateTracking, TVTAutoOption::toAutoDeleteMovedNodes};
inline constexpr TVTSelectionOptions DefaultSelectionOptions{};
inline constexpr TVTMiscOptions DefaultMiscOptions{
    TVTMiscOption::toAcceptOLEDrop, TVTMiscOption::toFullRepaintOnResize, TVTMiscOption::toInitOnSave,
    TVTMiscOption::toToggleOnDblClick, TVTMiscOption::toWheelPanning};
static_assert(DefaultPaintOptions.Bits() == 7008 && DefaultAutoOptions.Bits() == 329 &&
              DefaultMiscOptions.Bits() == 425);

// The option object of one tree. Each setter stores the new set; its side effects run only when the set
// changed.
class TCustomVirtualTreeOptions {
public:
    explicit TCustomVirtualTreeOptions(TBaseVirtualTree& owner);
    virtual ~TCustomVirtualTreeOptions() = default;
    TCustomVirtualTreeOptions(const TCustomVirtualTreeOptions&) = delete;
    TCustomVirtualTreeOptions& operator=(const TCustomVirtualTreeOptions&) = delete;

    TBaseVirtualTree& Owner() const { return owner_; }

    TVTPaintOptions PaintOptions() const { return paint_; }
    TVTAnimationOptions AnimationOptions() const { return animation_; }
    TVTAutoOptions AutoOptions() const { return auto_; }
    TVTSelectionOptions SelectionOptions() const { return selection_; }
    TVTMiscOptions MiscOptions() const { return misc_; }

    // toThemeAware follows the visual styles; other changes repaint (with a window).
    void SetPaintOptions(TVTPaintOptions value);
    void SetAnimationOptions(TVTAnimationOptions value);
    // toAutoSpanColumns repaints (with a window).
    void SetAutoOptions(TVTAutoOptions value);
    // Switching toMultiSelect or adding a constraint clears the selection; without toExtendedFocus the focus
    // stays on the main column.
    void SetSelectionOptions(TVTSelectionOptions value);
    // toCheckSupport repaints, toFullRepaintOnResize re-creates the window, toAcceptOLEDrop registers or
    // revokes the window's drop target (with a window).
    void SetMiscOptions(TVTMiscOptions value);

    // Copies the five sets of another option object through the setters.
    void Assign(const TCustomVirtualTreeOptions& source);

private:
    // Writes the owner's flat view of the options the core reads.
    void PushToCore();

    TBaseVirtualTree& owner_;
    TVTPaintOptions paint_ = DefaultPaintOptions;
    TVTAnimationOptions animation_ = DefaultAnimationOptions;
    TVTAutoOptions auto_ = DefaultAutoOptions;
    TVTSelectionOptions selection_ = DefaultSelectionOptions;
    TVTMiscOptions misc_ = DefaultMiscOptions;
};

} // namespace tarvola
