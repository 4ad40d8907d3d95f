#include "tree/TreeProperties.h"

#include "tree/TreeControlPort.h"
#include "tree/TreeOptions.h"
#include "tree/VirtualTrees.h"

namespace tarvola {

void TVirtualTreeProperties::Repaint() {
    if (owner_.Host().HasWindow())
        owner_.Host().InvalidateAll();
}

template <typename T>
bool TVirtualTreeProperties::Store(T& field, T value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

void TVirtualTreeProperties::SetAlignment(TAlignment value) {
    if (Store(alignment_, value))
        Repaint();
}

void TVirtualTreeProperties::SetAnimationDuration(std::uint32_t value) {
    if (!Store(animationDuration_, value))
        return;
    TCustomVirtualTreeOptions& options = owner_.TreeOptions();
    const TVTAnimationOptions animation = options.AnimationOptions();
    options.SetAnimationOptions(value > 0 ? animation.With(TVTAnimationOption::toAnimatedToggle)
                                          : animation.Without(TVTAnimationOption::toAnimatedToggle));
}

void TVirtualTreeProperties::SetBackgroundOffsetX(int value) {
    if (Store(backgroundOffsetX_, value))
        Repaint();
}

void TVirtualTreeProperties::SetBackgroundOffsetY(int value) {
    if (Store(backgroundOffsetY_, value))
        Repaint();
}

void TVirtualTreeProperties::SetBorderStyle(TVTBorderStyle value) {
    if (Store(borderStyle_, value) && owner_.Host().HasWindow())
        owner_.ControlPort().RecreateWindow();
}

void TVirtualTreeProperties::SetButtonFillMode(TVTButtonFillMode value) {
    if (!Store(buttonFillMode_, value) || !owner_.Host().HasWindow())
        return;
    owner_.ControlPort().RebuildButtonImages();
    Repaint();
}

void TVirtualTreeProperties::SetButtonStyle(TVTButtonStyle value) {
    if (!Store(buttonStyle_, value) || !owner_.Host().HasWindow())
        return;
    owner_.ControlPort().RebuildButtonImages();
    Repaint();
}

void TVirtualTreeProperties::SetCheckImageKind(TCheckImageKind value) {
    if (!Store(checkImageKind_, value))
        return;
    owner_.ControlPort().CheckImagesChanged();
    if (owner_.UpdateCount() == 0)
        Repaint();
}

void TVirtualTreeProperties::SetIncrementalSearch(TVTIncrementalSearch value) {
    if (Store(incrementalSearch_, value) && value == TVTIncrementalSearch::isNone)
        owner_.Host().StopTimer(SearchTimer);
}

void TVirtualTreeProperties::SetLineMode(TVTLineMode value) {
    if (Store(lineMode_, value))
        Repaint();
}

void TVirtualTreeProperties::SetLineStyle(TVTLineStyle value) {
    if (!Store(lineStyle_, value) || !owner_.Host().HasWindow())
        return;
    owner_.ControlPort().RebuildLineImages();
    Repaint();
}

void TVirtualTreeProperties::SetNodeAlignment(TVTNodeAlignment value) {
    if (Store(nodeAlignment_, value))
        Repaint();
}

void TVirtualTreeProperties::SetSelectionCurveRadius(std::uint32_t value) {
    if (Store(selectionCurveRadius_, value))
        Repaint();
}

void TVirtualTreeProperties::SetTextMargin(int value) {
    if (Store(textMargin_, value))
        Repaint();
}

} // namespace tarvola
