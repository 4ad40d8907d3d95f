// Short cuts to the explorer tree for code that holds only the tree core a control owns: the factory a tree
// control is made with, its ports, icon results and rooting (window classes may include
// VirtualExplorerTree.h directly as well).
#pragma once

#include "explorer/VirtualExplorerTypes.h"
#include "tree/VirtualTrees.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tarvola {

class ITreeViewHost;

// A TVirtualExplorerTree over shell, for a tree control's factory.
std::unique_ptr<TBaseVirtualTree> MakeExplorerTree(IExplorerNamespace& shell, ITreeViewHost* host);
// The ports of a tree made by MakeExplorerTree (nullptr: none); an icon port switches threaded icons on.
void SetExplorerTreePorts(TBaseVirtualTree& tree, IExplorerIconPort* icons, IExplorerCursorPort* cursor);
// Hands an icon thread result to the tree; false when it answers no outstanding request.
bool DeliverExplorerIcon(TBaseVirtualTree& tree, const void* node, std::uint64_t requestId, int imageIndex);
// Roots the tree at a folder path and makes it active.
void RootExplorerTreeAt(TBaseVirtualTree& tree, const WideString& path, TFileObjects objects, bool hideRoot);
// How many icon requests of the tree are out.
std::size_t PendingExplorerIcons(TBaseVirtualTree& tree);
// The header's mode (and its columns for the root item).
void SetExplorerColumnDetails(TBaseVirtualTree& tree, TColumnDetailType mode);
// Builds the header's columns for the root item again (the window is new).
void RebuildExplorerHeader(TBaseVirtualTree& tree);

} // namespace tarvola
