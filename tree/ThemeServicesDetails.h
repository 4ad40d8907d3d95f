// The visual-style elements the tree draws and how a requested element detail maps to the visual-styles
// library's part and state numbers.
#pragma once

#include <cstdint>

namespace tarvola {

// In the order of their class names (ThemedElementClassName).
enum class TThemedElement : std::uint8_t {
    teButton,
    teClock,
    teComboBox,
    teEdit,
    teExplorerBar,
    teHeader,
    teListView,
    teMenu,
    tePage,
    teProgress,
    teRebar,
    teScrollBar,
    teSpin,
    teStartPanel,
    teStatus,
    teTab,
    teTaskBand,
    teTaskBar,
    teToolBar,
    teToolTip,
    teTrackBar,
    teTrayNotify,
    teTreeview,
    teWindow,
};
constexpr int ThemedElementCount = 24;

// The class name passed to the library for an element ("button", "header", "treeview" ...).
const wchar_t* ThemedElementClassName(TThemedElement element);

struct TThemedElementDetails {
    TThemedElement Element = TThemedElement::teButton;
    int Part = 0;
    int State = 0;
    bool operator==(const TThemedElementDetails&) const = default;
};

// Details of the edit, header and tree view elements, numbered as the library's own detail lists:
constexpr int ttEditTextNormal = 2;   // edit text 2-8, caret 9
constexpr int thHeaderItemNormal = 2; // item 2-4, left item 5-7, right item 8-10, sort arrow 11-12
constexpr int thHeaderItemHot = 3;
constexpr int thHeaderItemPressed = 4;
constexpr int ttItemNormal = 2; // tree item 2-6, glyph 7 closed and 8 opened, branch 9
constexpr int ttGlyphClosed = 7;
constexpr int ttGlyphOpened = 8;

// Part and State for Detail: State counts from 1 within its part; a detail outside the element's table
// gives part 0 and state Detail + 1. Check boxes and buttons pass their part and state directly.
TThemedElementDetails GetElementDetails(TThemedElement element, int detail);

} // namespace tarvola
