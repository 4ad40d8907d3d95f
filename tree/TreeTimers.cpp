// The tree's window timers, by identifier: each line hands one timer to the part that started it.
#include "tree/DropTarget.h"
#include "tree/VirtualTrees.h"

namespace tarvola {

bool TBaseVirtualTree::HandleTimer(unsigned id) {
    switch (id) {
    case ExpandTimer:
        if (OnExpandTimer)
            OnExpandTimer();
        else
            Host().StopTimer(ExpandTimer);
        return true;
    case EditTimer:
        StartEditing();
        return true;
    case ScrollTimer:
        HandleScrollTimer();
        return true;
    case ChangeTimer:
    case StructureChangeTimer:
        HandleChangeTimer(id);
        return true;
    default:
        return false;
    }
}

} // namespace tarvola
