// The column settings dialog's list: a string tree with a check box per column (checked = visible), the
// column titles as texts, reordering by dragging a column onto another, and the width of the focused column
// kept in step with the dialog's width edit. Each node holds a TColumnData, made in the node's data area at
// AddColumn and destroyed when the node goes. Portable: tests drive it without a window.
#pragma once

#include "explorer/ColumnFormData.h"
#include "tree/StringTree.h"

namespace tarvola {

class TColumnSettingsTree : public TVirtualStringTree {
public:
    explicit TColumnSettingsTree(ITreeViewHost* host = nullptr);
    ~TColumnSettingsTree() override;

    TColumnSettingsHooks Hooks;

    PVirtualNode AddColumn(const TColumnData& column);
    // nullptr for a node without data (the hidden root).
    TColumnData* ColumnOf(PVirtualNode node) const;
    std::vector<TColumnData> Columns();

    // A drag of this list's own nodes is accepted only while the dragged node is known: a drag from
    // elsewhere (files from another program) is refused.
    bool AcceptsDrag(const TBaseVirtualTree* source) const { return source == this && dragNode_ != nullptr; }
    PVirtualNode DragNode() const { return dragNode_; }
    // What the tree asks when a drag of node starts: always allowed, and the node remembered.
    bool DragAllowed(PVirtualNode node) { return DoDragAllowed(node, NoColumn); }
    // Drops the dragged node onto target: before it when the dragged node stands at or after it, else
    // after it; with no target (the empty space below the rows) at the end; onto itself nothing moves.
    // False when no drag of this list's nodes is under way. The drag is over afterwards.
    bool DropOnto(PVirtualNode target);
    // The edit's width goes to the focused node (nothing without one, or without a number in the edit).
    void StoreFocusedWidth();

protected:
    void DoInitNode(PVirtualNode parent, PVirtualNode node, TVirtualNodeInitStates& initStates) override;
    void DoGetText(PVirtualNode node, TColumnIndex column, TVSTTextType textType,
                   std::wstring& text) override;
    bool DoChecking(PVirtualNode node, TCheckState& newState) override;
    bool DoFocusChanging(PVirtualNode oldNode, PVirtualNode newNode, TColumnIndex oldColumn,
                         TColumnIndex newColumn) override;
    bool DoDragAllowed(PVirtualNode node, TColumnIndex column) override;
    void DoFreeNode(PVirtualNode node) override;

private:
    void LiveUpdate();
    // Every node has a check box, checked while its column is visible.
    void ShowCheck(PVirtualNode node);
    void StoreWidth(PVirtualNode node);

    PVirtualNode dragNode_ = nullptr;
};

} // namespace tarvola
