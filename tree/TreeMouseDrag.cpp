#include "tree/TreeMouseDrag.h"

#include "tree/DragManager.h"
#include "tree/VirtualTrees.h"

namespace tarvola {

DWORD RunTreeOleDrag(TBaseVirtualTree& tree, HWND window, std::uint8_t dragOperations,
                     bool autoDeleteMovedNodes, TTreeDoDragDrop doDragDrop) {
    // The window registers its own drop target; this manager's drop side is never reached, but it needs one.
    TTreeDropTarget dropTarget(tree);
    auto* manager = new TVTDragManager(tree.Clipboard().Link(), dropTarget, window);
    TOleDragOptions options;
    options.DragOperations = dragOperations;
    options.AutoDeleteMovedNodes = autoDeleteMovedNodes;
    if (doDragDrop != nullptr)
        options.DoDragDrop = doDragDrop;
    DWORD effect = DROPEFFECT_NONE;
    try {
        effect = StartOleDrag(tree, *manager, options);
    } catch (...) {
        manager->Release();
        throw;
    }
    manager->Release();
    return effect;
}

} // namespace tarvola
