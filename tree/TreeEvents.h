// The tree's published events and their dispatchers: every event is fired by exactly one protected virtual
// Do... function, which descendants override (calling the base) instead of taking the event over. An event
// is a non-owning Delegate; a dispatcher fires it when bound and otherwise returns the documented default.
// The hidden root is never passed out: where it would be, the event receives nullptr.
#pragma once

#include "tree/Delegate.h"
#include "tree/TreeTypes.h"

#include <memory>
#include <string>

namespace tarvola {

class TCanvas;
class IVTEditLink;

enum class TCheckState : std::uint8_t {
    csUncheckedNormal = 0,
    csUncheckedPressed = 1,
    csCheckedNormal = 2,
    csCheckedPressed = 3,
    csMixedNormal = 4,
    csMixedPressed = 5,
};

enum class TCheckType : std::uint8_t {
    ctNone = 0,
    ctTriStateCheckBox = 1,
    ctCheckBox = 2,
    ctRadioButton = 3,
    ctButton = 4,
};

enum class TVTImageKind : std::uint8_t { ikNormal = 0, ikSelected = 1, ikState = 2, ikOverlay = 3 };

using TVTNodeEvent = Delegate<void(TBaseVirtualTree&, PVirtualNode)>;
using TVTInitNodeEvent =
    Delegate<void(TBaseVirtualTree&, PVirtualNode parent, PVirtualNode node, TVirtualNodeInitStates&)>;
using TVTInitChildrenEvent = Delegate<void(TBaseVirtualTree&, PVirtualNode, std::uint32_t& childCount)>;
using TVTStructureChangeEvent = Delegate<void(TBaseVirtualTree&, PVirtualNode, TChangeReason)>;
using TVTStateChangeEvent =
    Delegate<void(TBaseVirtualTree&, TVirtualTreeStates enter, TVirtualTreeStates leave)>;
using TVTUpdatingEvent = Delegate<void(TBaseVirtualTree&, TVTUpdateState)>;
using TVTGetNodeDataSizeEvent = Delegate<void(TBaseVirtualTree&, int& nodeDataSize)>;
using TVTMeasureItemEvent = Delegate<void(TBaseVirtualTree&, TCanvas*, PVirtualNode, int& nodeHeight)>;
using TVTNodeAllowedEvent = Delegate<void(TBaseVirtualTree&, PVirtualNode, bool& allowed)>;
using TVTNodeTargetAllowedEvent =
    Delegate<void(TBaseVirtualTree&, PVirtualNode node, PVirtualNode target, bool& allowed)>;
using TVTCompareEvent =
    Delegate<void(TBaseVirtualTree&, PVirtualNode, PVirtualNode, TColumnIndex, int& result)>;
using TVTCheckChangingEvent =
    Delegate<void(TBaseVirtualTree&, PVirtualNode, TCheckState& newState, bool& allowed)>;
using TVTFocusChangingEvent = Delegate<void(TBaseVirtualTree&, PVirtualNode oldNode, PVirtualNode newNode,
                                            TColumnIndex oldColumn, TColumnIndex newColumn, bool& allowed)>;
using TVTFocusChangeEvent = Delegate<void(TBaseVirtualTree&, PVirtualNode, TColumnIndex)>;
using TVTHotNodeChangeEvent = Delegate<void(TBaseVirtualTree&, PVirtualNode oldNode, PVirtualNode newNode)>;
using TVTGetImageEvent = Delegate<void(TBaseVirtualTree&, PVirtualNode, TVTImageKind, TColumnIndex,
                                       bool& ghosted, int& imageIndex)>;
using TVTColumnAllowedEvent = Delegate<void(TBaseVirtualTree&, PVirtualNode, TColumnIndex, bool& allowed)>;
using TVTCreateEditorEvent =
    Delegate<void(TBaseVirtualTree&, PVirtualNode, TColumnIndex, std::shared_ptr<IVTEditLink>& editLink)>;
using TVTIncrementalSearchEvent =
    Delegate<void(TBaseVirtualTree&, PVirtualNode, const std::wstring& searchText, int& result)>;
using TVTGetCellIsEmptyEvent = Delegate<void(TBaseVirtualTree&, PVirtualNode, TColumnIndex, bool& isEmpty)>;
using TVTScrollEvent = Delegate<void(TBaseVirtualTree&, int deltaX, int deltaY)>;

class TVirtualTreeEvents {
public:
    TVTInitNodeEvent OnInitNode;
    TVTInitChildrenEvent OnInitChildren;
    TVTNodeEvent OnFreeNode;
    TVTNodeEvent OnResetNode;
    TVTGetNodeDataSizeEvent OnGetNodeDataSize;
    TVTNodeEvent OnChange;
    TVTStructureChangeEvent OnStructureChange;
    TVTStateChangeEvent OnStateChange;
    TVTUpdatingEvent OnUpdating;
    TVTMeasureItemEvent OnMeasureItem;
    TVTNodeTargetAllowedEvent OnNodeMoving;
    TVTNodeEvent OnNodeMoved;
    TVTNodeTargetAllowedEvent OnNodeCopying;
    TVTNodeEvent OnNodeCopied; // also fired with nil once a node stream has been loaded
    TVTCompareEvent OnCompareNodes;
    TVTNodeAllowedEvent OnExpanding;
    TVTNodeEvent OnExpanded;
    TVTNodeAllowedEvent OnCollapsing;
    TVTNodeEvent OnCollapsed;
    TVTCheckChangingEvent OnChecking;
    TVTNodeEvent OnChecked;
    TVTFocusChangingEvent OnFocusChanging;
    TVTFocusChangeEvent OnFocusChanged;
    TVTHotNodeChangeEvent OnHotChange;
    TVTGetImageEvent OnGetImageIndex;
    TVTColumnAllowedEvent OnEditing;
    TVTColumnAllowedEvent OnDragAllowed;
    TVTCreateEditorEvent OnCreateEditor;
    TVTIncrementalSearchEvent OnIncrementalSearch;
    TVTGetCellIsEmptyEvent OnGetCellIsEmpty;
    TVTScrollEvent OnScroll;

protected:
    TVirtualTreeEvents() = default;
    virtual ~TVirtualTreeEvents() = default;

    virtual void DoInitNode(PVirtualNode parent, PVirtualNode node, TVirtualNodeInitStates& initStates);
    virtual std::uint32_t DoInitChildren(PVirtualNode node, std::uint32_t childCount);
    virtual void DoResetNode(PVirtualNode node);
    virtual int DoGetNodeDataSize();
    virtual void DoUpdating(TVTUpdateState state);
    virtual int DoMeasureItem(TCanvas* canvas, PVirtualNode node, int nodeHeight);
    virtual bool DoNodeMoving(PVirtualNode node, PVirtualNode target);
    virtual void DoNodeMoved(PVirtualNode node);
    virtual bool DoNodeCopying(PVirtualNode node, PVirtualNode target);
    virtual void DoNodeCopied(PVirtualNode node);
    virtual int DoCompareNodes(PVirtualNode node1, PVirtualNode node2, TColumnIndex column);
    virtual bool DoExpanding(PVirtualNode node);
    virtual void DoExpanded(PVirtualNode node);
    virtual bool DoCollapsing(PVirtualNode node);
    virtual void DoCollapsed(PVirtualNode node);
    // Under a read-only tree the answer is false and the event does not fire.
    virtual bool DoChecking(PVirtualNode node, TCheckState& newState);
    virtual void DoChecked(PVirtualNode node);
    virtual bool DoFocusChanging(PVirtualNode oldNode, PVirtualNode newNode, TColumnIndex oldColumn,
                                 TColumnIndex newColumn);
    virtual void DoFocusChanged(PVirtualNode node, TColumnIndex column);
    virtual void DoHotChange(PVirtualNode oldNode, PVirtualNode newNode);
    // ghosted and the returned index start with the caller's values.
    virtual int DoGetImageIndex(PVirtualNode node, TVTImageKind kind, TColumnIndex column, bool& ghosted,
                                int imageIndex);
    virtual bool DoEditing(PVirtualNode node, TColumnIndex column, bool allowed);
    virtual bool DoDragAllowed(PVirtualNode node, TColumnIndex column);
    // Null without a handler; a handler that gives no link raises EVirtualTreeError 2000.
    virtual std::shared_ptr<IVTEditLink> DoCreateEditor(PVirtualNode node, TColumnIndex column);
    virtual int DoIncrementalSearch(PVirtualNode node, const std::wstring& text);
    virtual bool DoGetCellIsEmpty(PVirtualNode node, TColumnIndex column);
    virtual void DoScroll(int deltaX, int deltaY);

    // The node as events see it: the hidden root becomes nullptr.
    PVirtualNode Published(PVirtualNode node) const;

private:
    TBaseVirtualTree& Sender();
    virtual bool ReadOnlyForEvents() const = 0;
};

} // namespace tarvola
