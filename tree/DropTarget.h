// The tree as a drop target: it follows the node and drop mode under the pointer, suggests an effect from the
// keys, expands a collapsed target after a delay, and lets its owner decide through OnDragOver and
// OnDragDrop. Points are client coordinates; the window hands the platform's calls over (DragManager.h).
#pragma once

#include "tree/Delegate.h"
#include "tree/DropRules.h"
#include "tree/TreeTypes.h"

#include <cstdint>
#include <functional>
#include <vector>

struct IDataObject;

namespace tarvola {

enum class TDragState : std::uint8_t { dsDragEnter = 0, dsDragLeave = 1, dsDragMove = 2 };

struct TDropPoint {
    int X = 0;
    int Y = 0;
};

using TVTDragOverEvent =
    Delegate<void(TBaseVirtualTree&, TBaseVirtualTree* source, TShiftState shift, TDragState state,
                  TDropPoint point, TDropMode mode, std::uint32_t& effect, bool& accept)>;
using TVTDragDropEvent = Delegate<void(TBaseVirtualTree&, TBaseVirtualTree* source, IDataObject* dataObject,
                                       const std::vector<std::uint16_t>& formats, TShiftState shift,
                                       TDropPoint point, std::uint32_t& effect, TDropMode mode)>;

// The expand timer's identifier.
constexpr unsigned ExpandTimer = 1;

class TTreeDropTarget {
public:
    explicit TTreeDropTarget(TBaseVirtualTree& tree);

    bool ShowDropmark = true;
    bool ReportMode = false;
    bool AutoDropExpand = true;
    unsigned AutoExpandDelay = 1000;
    TVTDragOverEvent OnDragOver;
    TVTDragDropEvent OnDragDrop;
    // Where a client point lies over the tree (the window's hit test); without one, rows only, so that no
    // hit is on a node's text or images.
    std::function<TDropHit(TDropPoint point, PVirtualNode& node)> HitTest;

    // From now on each drag that enters takes ShowDropmark, ReportMode, AutoDropExpand and AutoExpandDelay
    // from the tree's options and properties, and hits come from the tree's own hit test (the window's drop
    // target does this; tests may set the fields and HitTest themselves).
    void FollowTree();

    // Results are HRESULT values: S_OK, E_FAIL for a refused drop, E_UNEXPECTED for an error.
    std::int32_t DragEnter(TBaseVirtualTree* source, std::uint32_t keyState, TDropPoint point,
                           std::uint32_t& effect);
    std::int32_t DragOver(TBaseVirtualTree* source, std::uint32_t keyState, TDragState state,
                          TDropPoint point, std::uint32_t& effect);
    void DragLeave();
    std::int32_t DragDrop(TBaseVirtualTree* source, IDataObject* dataObject,
                          const std::vector<std::uint16_t>& formats, std::uint32_t keyState, TDropPoint point,
                          std::uint32_t& effect);
    // The expand timer fired: a collapsed drop target with children opens.
    void AutoExpandDropTarget();
    TDropMode LastDropMode() const { return lastDropMode_; }

protected:
    // Asks the owner; false (the default) refuses the drop.
    virtual bool DoDragOver(TBaseVirtualTree* source, TShiftState shift, TDragState state, TDropPoint point,
                            TDropMode mode, std::uint32_t& effect);
    virtual void DoDragDrop(TBaseVirtualTree* source, IDataObject* dataObject,
                            const std::vector<std::uint16_t>& formats, TShiftState shift, TDropPoint point,
                            std::uint32_t& effect, TDropMode mode);

private:
    TDropHit Hit(TDropPoint point, PVirtualNode& node);
    TShiftState Shift(std::uint32_t keyState) const;
    void ClearDropTarget();

    TBaseVirtualTree& tree_;
    void TakeTreeSettings();
    TDropHit TreeHit(TDropPoint point, PVirtualNode& node);
    TDropMode lastDropMode_ = TDropMode::dmNowhere;
    bool dropping_ = false;
    bool followsTree_ = false;
};

} // namespace tarvola
