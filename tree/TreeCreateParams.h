// The window styles of a tree as a pure function of its settings, so that every combination is checked
// without a window. The style bits are the Win32 values (the control's source checks them against the
// system headers).
#pragma once

#include "tree/TreeColors.h"
#include "tree/TreeProperties.h"

#include <cstdint>

namespace tarvola {

namespace treestyle {
constexpr std::uint32_t Border = 0x00800000;        // WS_BORDER
constexpr std::uint32_t HScroll = 0x00100000;       // WS_HSCROLL
constexpr std::uint32_t VScroll = 0x00200000;       // WS_VSCROLL
constexpr std::uint32_t ClipChildren = 0x02000000;  // WS_CLIPCHILDREN
constexpr std::uint32_t ClipSiblings = 0x04000000;  // WS_CLIPSIBLINGS
constexpr std::uint32_t ClientEdge = 0x00000200;    // WS_EX_CLIENTEDGE
constexpr std::uint32_t LeftScrollBar = 0x00004000; // WS_EX_LEFTSCROLLBAR
constexpr std::uint32_t ClassVRedraw = 0x0001;      // CS_VREDRAW
constexpr std::uint32_t ClassHRedraw = 0x0002;      // CS_HREDRAW
} // namespace treestyle

struct TTreeWindowStyles {
    std::uint32_t Style = 0;
    std::uint32_t ExStyle = 0;
    std::uint32_t ClassStyle = 0;
    bool operator==(const TTreeWindowStyles&) const = default;
};

struct TTreeStyleSettings {
    TVTBorderStyle BorderStyle = TVTBorderStyle::bsSingle;
    bool Ctl3D = true;
    TScrollStyle ScrollBars = TScrollStyle::ssBoth;
    bool RightToLeft = false;
    bool FullRepaintOnResize = true;
};

// The framework's styles (base) with the tree's additions and removals.
TTreeWindowStyles TreeCreateParams(TTreeWindowStyles base, const TTreeStyleSettings& settings);

} // namespace tarvola
