// The record the tree hands its hint window (the tree keeps one, the window a copy), and the settings of a
// hint that follow from it: text, reading order, alignment and line breaking, and the animation in effect.
#pragma once

#include "tree/Columns.h"
#include "tree/StringTree.h"
#include "tree/TreeProperties.h"
#include "tree/VirtualTrees.h"

#include <string>

namespace tarvola {

struct TVTHintData {
    TBaseVirtualTree* Tree = nullptr;
    PVirtualNode Node = nullptr; // nil for header hints and the control's hint
    TColumnIndex Column = NoColumn;
    TTreeRect HintRect;       // given in advance by an owner-drawn tree
    std::wstring DefaultHint; // a fixed text: shown as it is when not empty
    std::wstring HintText;    // what the window shows
    TBiDiMode BiDiMode = TBiDiMode::bdLeftToRight;
    TAlignment Alignment = TAlignment::taLeftJustify;
    TVTTooltipLineBreakStyle LineBreakStyle = TVTTooltipLineBreakStyle::hlbDefault;
};

// Whether the data asks for a tooltip (the full text of a cell) rather than a hint.
bool IsTooltip(const TVTHintData& data);

// Reading order, alignment (mirrored for right to left), line breaking and text of the hint, from the column
// (or the tree) and the tree's hint or tooltip text. For a tooltip, hlbDefault becomes multi-line for a
// multi-line node and single-line otherwise.
void ResolveHintText(TVTHintData& data);

// What the system says about tooltip animation.
struct THintSystemSettings {
    bool TooltipAnimation = true; // SPI_GETTOOLTIPANIMATION
    bool TooltipFade = true;      // SPI_GETTOOLTIPFADE
    bool MMX = true;
};

// hatSystemDefault resolved from the system's settings; without MMX a fade becomes a slide.
THintAnimationType ResolveHintAnimation(THintAnimationType chosen, const THintSystemSettings& system);

} // namespace tarvola
