// Assigning one tree's settings to another: what a tree is configured by, in the order the setters expect
// (the node data size before the root node count that makes nodes of it).
#include "forms/Component.h"
#include "tree/Header.h"
#include "tree/HeaderTreeBridge.h"
#include "tree/TreeSettings.h"
#include "tree/VirtualTrees.h"

namespace tarvola {

void TBaseVirtualTree::Assign(const TBaseVirtualTree& source) {
    if (Options.ReadOnly)
        throw EComponentError("Cannot assign to a read-only tree");
    if (&source == this)
        return;
    const TVirtualTreeProperties& from = source.Properties();
    TVirtualTreeProperties& to = Properties();
    to.AutoScrollDelay = from.AutoScrollDelay;
    to.AutoScrollInterval = from.AutoScrollInterval;
    to.SetBorderStyle(from.BorderStyle());
    ChangeDelay = source.ChangeDelay;
    to.SetCheckImageKind(from.CheckImageKind());
    Colors().Assign(source.Colors());
    SetDefaultNodeHeight(source.DefaultNodeHeight());
    to.DefaultPasteMode = from.DefaultPasteMode;
    to.DragImageKind = from.DragImageKind;
    DragModeAutomatic = source.DragModeAutomatic;
    Header().Assign(source.Header());
    to.HintAnimation = from.HintAnimation;
    to.HintMode = from.HintMode;
    to.HotCursor = from.HotCursor;
    Indent = source.Indent;
    Margin = source.Margin;
    to.SetNodeAlignment(from.NodeAlignment());
    SetNodeDataSize(source.NodeDataSize());
    TreeOptions().Assign(source.TreeOptions());
    SetRootNodeCount(source.RootNodeCount());
    ScrollBarOptions().Assign(source.ScrollBarOptions());
    to.SetSelectionCurveRadius(from.SelectionCurveRadius());
    to.SelectionBlendFactor = from.SelectionBlendFactor;
    if (Host().HasWindow())
        Host().InvalidateAll();
}

} // namespace tarvola
