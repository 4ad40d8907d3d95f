// The drag a press on a node starts once the mouse has moved far enough: the selected nodes go through the
// platform's drag loop by the tree's drag manager. Kept apart from the window's unit, whose form-layer
// types do not mix with the drag rules' own.
#pragma once

#include <windows.h>

#include <cstdint>

struct IDataObject;
struct IDropSource;

namespace tarvola {

class TBaseVirtualTree;

// The platform's drag loop, or a replacement (tests).
using TTreeDoDragDrop = HRESULT(WINAPI*)(IDataObject*, IDropSource*, DWORD, DWORD*);

// Drags the tree's selection from its window; answers the drop's effect (none when cancelled). A null
// doDragDrop is the platform's own.
DWORD RunTreeOleDrag(TBaseVirtualTree& tree, HWND window, std::uint8_t dragOperations,
                     bool autoDeleteMovedNodes, TTreeDoDragDrop doDragDrop);

} // namespace tarvola
