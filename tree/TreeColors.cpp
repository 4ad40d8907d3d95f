#include "tree/TreeColors.h"

#include "tree/TreeControlPort.h"
#include "tree/VirtualTrees.h"

namespace tarvola {

const TVTColorTable DefaultTreeColors = {
    VTclBtnShadow,    // DisabledColor
    VTclHighlight,    // DropMarkColor
    VTclHighlight,    // DropTargetColor
    VTclHighlight,    // FocusedSelectionColor
    VTclBtnFaceColor, // GridLineColor
    VTclBtnShadow,    // TreeLineColor
    VTclBtnFaceColor, // UnfocusedSelectionColor
    VTclBtnFaceColor, // BorderColor
    VTclWindowText,   // HotColor
    VTclHighlight,    // FocusedSelectionBorderColor
    VTclBtnFaceColor, // UnfocusedSelectionBorderColor
    VTclHighlight,    // DropTargetBorderColor
    VTclHighlight,    // SelectionRectangleBlendColor
    VTclHighlight,    // SelectionRectangleBorderColor
    VTclBtnShadow,    // HeaderHotColor
};

void TVTColors::SetColor(TVTColorIndex index, TVTColorValue value) {
    TVTColorValue& color = colors_.at(static_cast<std::size_t>(index));
    if (color == value)
        return;
    color = value;
    if (!owner_.Host().HasWindow())
        return;
    switch (index) {
    case TVTColorIndex::TreeLineColor:
        owner_.ControlPort().RebuildLineImages();
        owner_.Host().InvalidateAll();
        break;
    case TVTColorIndex::BorderColor:
        owner_.ControlPort().RedrawFrame();
        break;
    default:
        owner_.Host().InvalidateAll();
        break;
    }
}

void TVTColors::Assign(const TVTColors& source) {
    colors_ = source.colors_;
    if (owner_.UpdateCount() == 0)
        owner_.Host().InvalidateAll();
}

void TScrollBarOptions::RecreateWindow() {
    if (owner_.Host().HasWindow())
        owner_.ControlPort().RecreateWindow();
}

void TScrollBarOptions::SetAlwaysVisible(bool value) {
    if (value == alwaysVisible_)
        return;
    alwaysVisible_ = value;
    RecreateWindow();
}

void TScrollBarOptions::SetScrollBars(TScrollStyle value) {
    if (value == scrollBars_)
        return;
    scrollBars_ = value;
    RecreateWindow();
}

void TScrollBarOptions::SetScrollBarStyle(TScrollBarStyle value) {
    TreeAssert(value == TScrollBarStyle::sbmRegular, "Only the regular scroll bar style is supported.");
    scrollBarStyle_ = value;
}

void TScrollBarOptions::Assign(const TScrollBarOptions& source) {
    SetAlwaysVisible(source.alwaysVisible_);
    HorizontalIncrement = source.HorizontalIncrement;
    SetScrollBars(source.scrollBars_);
    SetScrollBarStyle(source.scrollBarStyle_);
    VerticalIncrement = source.VerticalIncrement;
}

} // namespace tarvola
