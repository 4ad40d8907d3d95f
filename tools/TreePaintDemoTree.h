// The demo's tree: a string tree of 10,000 nodes in three columns with check boxes and tree lines, kept
// apart from the window code (the column declarations and the form layer do not mix).
#pragma once

#include "tree/VirtualTrees.h"

#include <memory>

namespace tarvola::demo {

std::unique_ptr<TBaseVirtualTree> MakeDemoTree(ITreeViewHost* host);
// Fills the tree and sets its columns and options; classic leaves the visual styles out.
void DressDemoTree(TBaseVirtualTree& tree, bool classic);

} // namespace tarvola::demo
