#include "tree/TreeOptions.h"

#include "tree/Header.h"
#include "tree/TreeControlPort.h"
#include "tree/VirtualTrees.h"

namespace tarvola {

namespace {

template <typename E>
TOptionSet<E> Added(TOptionSet<E> oldSet, TOptionSet<E> newSet) {
    return newSet - oldSet;
}

template <typename E>
bool Switched(TOptionSet<E> oldSet, TOptionSet<E> newSet, E member) {
    return oldSet.Has(member) != newSet.Has(member);
}

} // namespace

TCustomVirtualTreeOptions::TCustomVirtualTreeOptions(TBaseVirtualTree& owner) : owner_(owner) {}

void TCustomVirtualTreeOptions::PushToCore() {
    TVirtualTreeOptions& core = owner_.Options;
    core.ReadOnly = misc_.Has(TVTMiscOption::toReadOnly);
    core.VariableNodeHeight = misc_.Has(TVTMiscOption::toVariableNodeHeight);
    core.InitOnSave = misc_.Has(TVTMiscOption::toInitOnSave);
    core.ShowRoot = paint_.Has(TVTPaintOption::toShowRoot);
    core.AutoSort = auto_.Has(TVTAutoOption::toAutoSort);
    core.AutoTristateTracking = auto_.Has(TVTAutoOption::toAutoTristateTracking);
    core.AutoFreeOnCollapse = auto_.Has(TVTAutoOption::toAutoFreeOnCollapse);
    core.AutoExpand = auto_.Has(TVTAutoOption::toAutoExpand);
    core.MultiSelect = selection_.Has(TVTSelectionOption::toMultiSelect);
    core.LevelSelectConstraint = selection_.Has(TVTSelectionOption::toLevelSelectConstraint);
    core.SiblingSelectConstraint = selection_.Has(TVTSelectionOption::toSiblingSelectConstraint);
    core.ExtendedFocus = selection_.Has(TVTSelectionOption::toExtendedFocus);
    owner_.ColumnFitMetrics.CheckSupport = misc_.Has(TVTMiscOption::toCheckSupport);
    owner_.ColumnFitMetrics.ShowVertGridLines = paint_.Has(TVTPaintOption::toShowVertGridLines);
}

void TCustomVirtualTreeOptions::SetPaintOptions(TVTPaintOptions value) {
    if (value == paint_)
        return;
    const TVTPaintOptions old = paint_;
    paint_ = value;
    PushToCore();
    if (!owner_.Host().HasWindow())
        return;
    if (Switched(old, value, TVTPaintOption::toThemeAware)) {
        ITreeControlPort& port = owner_.ControlPort();
        if (value.Has(TVTPaintOption::toThemeAware) && port.VisualStylesEnabled())
            owner_.DoStateChange({TreeState::tsUseThemes});
        else
            owner_.DoStateChange({}, {TreeState::tsUseThemes});
        port.RebuildButtonImages();
        port.RedrawFrame();
    } else {
        owner_.Host().InvalidateAll();
    }
}

void TCustomVirtualTreeOptions::SetAnimationOptions(TVTAnimationOptions value) {
    animation_ = value;
}

void TCustomVirtualTreeOptions::SetAutoOptions(TVTAutoOptions value) {
    if (value == auto_)
        return;
    const TVTAutoOptions old = auto_;
    auto_ = value;
    PushToCore();
    if (Switched(old, value, TVTAutoOption::toAutoSpanColumns) && owner_.Host().HasWindow())
        owner_.Host().InvalidateAll();
}

void TCustomVirtualTreeOptions::SetSelectionOptions(TVTSelectionOptions value) {
    if (value == selection_)
        return;
    const TVTSelectionOptions old = selection_;
    selection_ = value;
    PushToCore();
    const TVTSelectionOptions added = Added(old, value);
    if (Switched(old, value, TVTSelectionOption::toMultiSelect) ||
        added.Has(TVTSelectionOption::toLevelSelectConstraint) ||
        added.Has(TVTSelectionOption::toSiblingSelectConstraint))
        owner_.ClearSelection();
    if (value.Has(TVTSelectionOption::toExtendedFocus))
        return;
    // Without extended focus only the main column takes the focus.
    const TColumnIndex main = owner_.headerBridge_ ? owner_.Header().MainColumn() : NoColumn;
    const bool wasElsewhere = owner_.focusedColumn_ > 0 && owner_.focusedColumn_ != main;
    owner_.focusedColumn_ = main;
    if (wasElsewhere && old.Has(TVTSelectionOption::toExtendedFocus) && owner_.Host().HasWindow())
        owner_.Host().InvalidateAll();
}

void TCustomVirtualTreeOptions::SetMiscOptions(TVTMiscOptions value) {
    if (value == misc_)
        return;
    const TVTMiscOptions old = misc_;
    misc_ = value;
    PushToCore();
    if (!owner_.Host().HasWindow())
        return;
    ITreeControlPort& port = owner_.ControlPort();
    if (Switched(old, value, TVTMiscOption::toCheckSupport))
        owner_.Host().InvalidateAll();
    if (Switched(old, value, TVTMiscOption::toFullRepaintOnResize))
        port.RecreateWindow();
    if (Switched(old, value, TVTMiscOption::toAcceptOLEDrop)) {
        if (value.Has(TVTMiscOption::toAcceptOLEDrop))
            port.RegisterDropTarget();
        else
            port.RevokeDropTarget();
    }
}

void TCustomVirtualTreeOptions::Assign(const TCustomVirtualTreeOptions& source) {
    SetPaintOptions(source.paint_);
    SetAnimationOptions(source.animation_);
    SetAutoOptions(source.auto_);
    SetSelectionOptions(source.selection_);
    SetMiscOptions(source.misc_);
}

} // namespace tarvola
