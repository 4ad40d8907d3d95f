// The tree's key rules that need no window: the virtual-key codes the tree reacts to, which keys move the
// focus, and what every other key means given its modifiers. The tree's key handling (TreeKeyboard.cpp,
// TreeKeyboardNavigation.cpp) acts on these answers; the window only decodes its messages.
#pragma once

#include <cstdint>

namespace tarvola {

// The modifiers held with a key: the same bits as the form layer's shift state, so either converts.
using TKeyModifiers = unsigned;
namespace keymod {
constexpr TKeyModifiers Shift = 0x01;
constexpr TKeyModifiers Alt = 0x02;
constexpr TKeyModifiers Ctrl = 0x04;
} // namespace keymod

// Virtual-key codes (the values of the Windows VK_ constants, kept here so the rules build anywhere).
namespace vkey {
constexpr std::uint16_t Back = 0x08;
constexpr std::uint16_t Tab = 0x09;
constexpr std::uint16_t Escape = 0x1B;
constexpr std::uint16_t Space = 0x20;
constexpr std::uint16_t Prior = 0x21;
constexpr std::uint16_t Next = 0x22;
constexpr std::uint16_t End = 0x23;
constexpr std::uint16_t Home = 0x24;
constexpr std::uint16_t Left = 0x25;
constexpr std::uint16_t Up = 0x26;
constexpr std::uint16_t Right = 0x27;
constexpr std::uint16_t Down = 0x28;
constexpr std::uint16_t KeyA = 0x41;
constexpr std::uint16_t Apps = 0x5D;
constexpr std::uint16_t Numpad1 = 0x61;
constexpr std::uint16_t Multiply = 0x6A;
constexpr std::uint16_t Add = 0x6B;
constexpr std::uint16_t Subtract = 0x6D;
constexpr std::uint16_t Divide = 0x6F;
constexpr std::uint16_t F1 = 0x70;
constexpr std::uint16_t F2 = 0x71;
} // namespace vkey

// The keys that move the focus (or, with Ctrl, scroll).
bool IsNavigationKey(std::uint16_t key);

// The key as the tree sees it: a key that types one of the keypad's operators ("*", "+", "-", "/") counts
// as that keypad key, whichever key of the layout typed it.
std::uint16_t KeyForTypedCharacter(std::uint16_t key, wchar_t typed);

// What a key other than a navigation key asks of the tree.
enum class TTreeKeyAction : std::uint8_t {
    None,
    SearchCharacter,     // the following WM_CHAR goes to the incremental search
    ExpandFocused,       // "+": expand the focused node when it is collapsed
    CollapseFocused,     // "-": collapse the focused node when it is expanded
    FitColumns,          // Ctrl "+": the header fits the columns to their content
    RestoreColumns,      // Ctrl "-": the header gives the columns back their widths from before the fit
    ExpandAll,           // Ctrl Shift "+"
    CollapseAll,         // Ctrl Shift "-"
    FullExpandFocused,   // "*"
    FullCollapseFocused, // "/"
    Help,                // F1
    Edit,                // F2
    Cancel,              // Esc: the rubber band, else the edit
    Space,               // a check press, or a search character without a check box
    ContextMenu,         // the Apps key
    SelectAll,           // Ctrl A
};

// searching: an incremental search is running (the operator keys are then searched for).
TTreeKeyAction ClassifyKey(std::uint16_t key, TKeyModifiers shift, bool searching);

} // namespace tarvola
