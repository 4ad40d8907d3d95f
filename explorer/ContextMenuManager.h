// The explorer tree's right button: which node the shell's menu is for, the selection while the menu is
// up and the selection after it. A right press on a node that is not selected selects it alone, so that
// the menu is for that item; when the release comes, the selection from before the press comes back unless
// toRightButtonSelect asks the tree to keep the clicked node selected. One manager per tree; portable.
#pragma once

#include "tree/TreeMouse.h"
#include "tree/VirtualTrees.h"

#include <vector>

namespace tarvola {

class TCustomVirtualExplorerTree;

// What the window does with a WM_CONTEXTMENU after the manager had it.
struct TContextMenuAnswer {
    // The base handling (the control's own popup menu) runs, at this screen point.
    bool RunBase = false;
    TTreeMousePoint BaseScreenPoint;
};

class TContextMenuManager {
public:
    explicit TContextMenuManager(TCustomVirtualExplorerTree& tree) : tree_(tree) {}
    TContextMenuManager(const TContextMenuManager&) = delete;
    TContextMenuManager& operator=(const TContextMenuManager&) = delete;

    // The node under the right press.
    PVirtualNode Node = nullptr;
    // The first selected node before the press, and the node focused again afterwards.
    PVirtualNode PreviousSelected = nullptr;
    PVirtualNode PreviousFocused = nullptr;
    // The press, in client coordinates.
    TTreeMousePoint Point;
    // A "rename" chosen from the menu is starting the editor.
    bool Renaming = false;
    // The shell's menu loop runs.
    bool MenuShown = false;
    // From the right press to its release: the tree's change events wait meanwhile.
    bool NodeMenuPending = false;

    // Follows toContextMenus.
    bool Enabled() const;
    void Reset();
    // A right press (up false) or release at a client point.
    void RightClick(int x, int y, bool up);
    // WM_CONTEXTMENU at a screen point ((-1, -1) from the keyboard); clientOrigin is the screen point of the
    // client area's top left corner.
    TContextMenuAnswer ContextMenu(TTreeMousePoint screen, TTreeMousePoint clientOrigin);
    // Where the keyboard's menu opens for node: its text's left plus half an image, at its middle (client
    // coordinates).
    TTreeMousePoint KeyboardMenuPoint(PVirtualNode node);

private:
    bool HitsLabelOrIcon(const THitInfo& hit) const;
    void RestoreSelection();
    void ShowMenuFor(PVirtualNode node, TTreeMousePoint screen);

    TCustomVirtualExplorerTree& tree_;
    // Every node selected before the press, so that all of them come back.
    std::vector<PVirtualNode> previousSelection_;
};

} // namespace tarvola
