// The tree's answer to a hint request: whether a hint shows over the header, over a node (the owner's hint or
// the full text of a cut-off cell) or over empty space, where, and in which window. DecideHint is a pure
// function of a THintRequest, which GatherHintRequest fills from the tree and what the window knows, so the
// rules can be checked without a window.
#pragma once

#include "tree/HitTest.h"
#include "tree/TreeProperties.h"
#include "tree/VirtualTrees.h"

#include <string>

namespace tarvola {

struct THintPoint {
    int X = 0, Y = 0;
    bool operator==(const THintPoint&) const = default;
};

// Whether a point lies in a rectangle (right and bottom edges excluded).
bool PointInRect(const TTreeRect& r, THintPoint p);

// What the window knows about the request and the control (client coordinates unless named otherwise).
struct THintControlFacts {
    THintPoint CursorPos;
    THintPoint HintPos;      // screen coordinates, as the hint machinery proposes them
    THintPoint ClientOrigin; // screen position of the client area's top left corner
    TTreeRect CursorRect;    // as the hint machinery proposes it
    std::wstring HintStr;    // as the hint machinery proposes it
    bool HasFocus = false;   // the control's focus, or on a form, that form's or the program's activity
    bool MouseCaptured = false;
    bool ShowHint = false;
    bool LeftButtonDown = false;
    std::wstring ShortHint; // the short part of the control's hint
};

// Everything the decision reads.
struct THintRequest {
    THintControlFacts Control;
    TTreeRect LastHintRect;
    TVTHintMode HintMode = TVTHintMode::hmDefault;

    // The hit test at the cursor.
    PVirtualNode HitNode = nullptr;
    TColumnIndex HitColumn = NoColumn;
    THitPositions HitPositions = 0;

    // States that keep hints away.
    bool Editing = false;
    bool HitNodeIsFocused = false;
    bool Dragging = false;
    bool RubberBand = false; // a rubber-band selection is pending or running
    bool Scrolling = false;
    bool HeaderBusy = false; // a column is resized or dragged

    // The header: hints on (columns and hoShowHint), the cursor in it, and the column under it.
    bool HeaderHints = false;
    bool InHeader = false;
    TTreeRect HeaderRect; // header coordinates: (0, 0, width, height)
    TColumnIndex HeaderColumn = InvalidColumn;
    int HeaderColumnLeft = 0, HeaderColumnRight = 0;
    std::wstring HeaderColumnHint;

    // The hit node's cell (read only with a hit node).
    bool OwnerDrawn = false;
    TTreeRect OwnerHintRect;             // the owner-drawn tree's hint size
    int ColumnLeft = 0, ColumnRight = 0; // the cell's borders, auto-span included
    int ClientWidth = 0, ClientHeight = 0;
    TTreeRect NodeRect;        // whole row part of the cell, clipped
    TTreeRect TextRect;        // the text, unclipped
    TTreeRect ClippedTextRect; // the text, clipped to the cell
    bool Multiline = false;
};

struct THintDecision {
    // False: the request was turned away before it was looked at (the cursor still in the last hint's area,
    // or a state that keeps hints away); nothing else changes then.
    bool Decided = false;
    int Answer = 1;        // 0: show
    bool ShowHint = false; // true: the tree's own hint window shows it
    TTreeRect CursorRect;
    THintPoint HintPos;
    std::wstring HintStr;
    std::wstring DefaultHint;
    PVirtualNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    // The tree's LastHintRect afterwards (empty unless its own window shows the hint).
    TTreeRect LastHintRect;
};

THintDecision DecideHint(const THintRequest& request);

// Fills the request from the tree at the cursor: a hit test from the node under the cursor, its column and
// its text, and the cell's rectangles from GetDisplayRect.
THintRequest GatherHintRequest(TBaseVirtualTree& tree, const THintControlFacts& facts);

// Applies a decided request to the tree: its hint data, LastHintRect and the hint state.
void ApplyHintDecision(TBaseVirtualTree& tree, const THintDecision& decision);

// Pause before a hint (ms) as the tree wants it: 0 over the header with header hints while no hint window
// of the tree lives, and always in tooltip mode; otherwise the proposed pause.
int HintPauseFor(TBaseVirtualTree& tree, THintPoint cursor, bool hintWindowDestroyed, int proposed);

} // namespace tarvola
