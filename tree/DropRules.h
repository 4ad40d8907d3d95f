// The rules of drag and drop that need no platform: the effects a drag offers and the one a drop target
// suggests, the drop mode from where the pointer is over a row, whether the drag loop goes on, and the alpha
// channel of the tree's own drag image.
#pragma once

#include "forms/Events.h"
#include "tree/DragOperations.h"

#include <cstdint>
#include <span>

namespace tarvola {

// Drop effects, with the platform's values.
enum : std::uint32_t {
    DropEffectNone = 0,
    DropEffectCopy = 1,
    DropEffectMove = 2,
    DropEffectLink = 4,
    DropEffectScroll = 0x80000000u,
};

// The allowed effects of a set of operations; an empty set offers all three.
std::uint32_t AllowedDropEffects(TDragOperations operations);

enum class TDropMode : std::uint8_t { dmNowhere = 0, dmAbove = 1, dmOnNode = 2, dmBelow = 3 };

// From the platform's key state bits (MK_...), plus the buttons the tree itself holds as down.
TShiftState ShiftFromKeyState(std::uint32_t keyState, TShiftState heldButtons);

// Move for a drag from the tree itself, copy for any other (when allowed); then Shift alone asks for move,
// Ctrl alone for copy, Ctrl+Shift or Alt alone for link, each only when allowed.
std::uint32_t SuggestDropEffect(bool sourceIsThisTree, TShiftState shift, std::uint32_t allowed);

// Where the pointer is over the tree during a drag.
struct TDropHit {
    bool OnNode = false;
    // Over the node's text or one of its images.
    bool OnLabelOrImage = false;
    // In report mode a hit counts only in the main column.
    bool InMainColumn = true;
    int RowTop = 0;
    int RowBottom = 0;
};
// On for a hit on the text or images, or without drop marks; else above or below by the row's middle.
TDropMode DropModeFor(const TDropHit& hit, int y, bool showDropmark, bool reportMode);

// What the drag loop does next, from Escape and the mouse buttons.
enum class TDragContinuation : std::uint8_t { Continue, Drop, Cancel };
TDragContinuation QueryContinueDrag(bool escapePressed, std::uint32_t keyState);

// Fills the alpha byte (the top byte) of each 32-bit pixel of a width x height image: 0 for the colour key
// (in its low 24 bits; none when colorKey is negative), else 255 * e^(-8 d), d the distance from the centre
// over the larger side.
void BuildAlphaChannel(std::span<std::uint32_t> pixels, int width, int height, std::int64_t colorKey);

} // namespace tarvola
