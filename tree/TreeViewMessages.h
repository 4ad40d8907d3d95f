// Decodes the platform tree-view queries (TVM_GETNEXTITEM, TVM_GETITEMRECT, TVM_GETITEMA) sent to a tree's
// window and answers them through TTreeViewQueries.
#pragma once

#include <windows.h>

#include <optional>

namespace tarvola {

class TBaseVirtualTree;

// The answer to one of the three queries, or nullopt for any other message.
std::optional<LRESULT> AnswerTreeViewMessage(TBaseVirtualTree& tree, UINT message, WPARAM wParam,
                                             LPARAM lParam);

} // namespace tarvola
