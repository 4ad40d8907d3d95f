// The trees inside the combo box's two drop-downs, reached from window code: the explorer pick tree
// (which lists the top of the namespace and the path to the box's item) and the auto-complete list (one
// row per completion). The tree classes themselves stay in VirtualExplorerComboboxTrees.cpp, since the
// string tree and the form layer's controls both declare a TAlignment.
#pragma once

#include "explorer/VirtualExplorerTypes.h"
#include "tree/VirtualTrees.h"

#include <memory>
#include <optional>
#include <vector>

namespace tarvola {

class ITreeViewHost;

// How the explorer drop-down's tree looks: classic lists the desktop, the drives and the path to the
// box's item without buttons or lines; enhanced shows buttons and lines and lists every folder.
enum class TPopupComboBoxStyle : std::uint8_t { cbsClassic, cbsVETEnhanced };

// ---- The explorer pick tree
std::unique_ptr<TBaseVirtualTree> MakePopupExplorerTree(IExplorerNamespace& shell, ITreeViewHost* host);
// The item the tree opens on (nullopt: the desktop) and the style; both decide what is listed.
void SetPopupExplorerTarget(TBaseVirtualTree& tree, const std::optional<TItemIDList>& target);
void SetPopupExplorerStyle(TBaseVirtualTree& tree, TPopupComboBoxStyle style);
TPopupComboBoxStyle PopupExplorerStyle(TBaseVirtualTree& tree);
// Readies the tree for showing: active, the target browsed to and selected (expanded with expand), My
// Computer expanded, the selected node focused.
void PreparePopupExplorer(TBaseVirtualTree& tree, bool expand);
// The first selected node's item list; nullopt when nothing with an item is selected.
std::optional<TItemIDList> PopupExplorerSelection(TBaseVirtualTree& tree);
void DeactivatePopupExplorer(TBaseVirtualTree& tree);

// ---- The auto-complete list
std::unique_ptr<TBaseVirtualTree> MakePopupAutoCompleteTree(ITreeViewHost* host);
// The list shows the matching entries (one node per index into entries); both must stay while shown.
void ShowCompletions(TBaseVirtualTree& tree, const std::vector<WideString>* entries,
                     const std::vector<std::size_t>* matches);
// The completion a node shows (empty for none).
WideString CompletionText(TBaseVirtualTree& tree, PVirtualNode node);

} // namespace tarvola
