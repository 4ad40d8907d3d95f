#include "explorer/ContextMenuManager.h"

#include "explorer/VirtualExplorerTree.h"
#include "tree/Header.h"
#include "tree/HitTest.h"
#include "tree/TreeGuards.h"

#include <algorithm>

namespace tarvola {

bool TContextMenuManager::Enabled() const {
    return tree_.ShellOptions.Has(TVETShellOption::toContextMenus);
}

void TContextMenuManager::Reset() {
    Node = nullptr;
    PreviousSelected = nullptr;
    PreviousFocused = nullptr;
    Point = {};
    Renaming = false;
    MenuShown = false;
    NodeMenuPending = false;
    previousSelection_.clear();
}

bool TContextMenuManager::HitsLabelOrIcon(const THitInfo& hit) const {
    return hit.HitNode != nullptr && hit.Has(hpOnItemLabel | hpOnNormalIcon);
}

void TContextMenuManager::RightClick(int x, int y, bool up) {
    if (!up) {
        Reset();
        Point = {x, y};
        const THitInfo hit = tree_.GetHitTestInfoAt(x, y, true);
        if (!HitsLabelOrIcon(hit))
            return;
        NodeMenuPending = true;
        Node = hit.HitNode;
        PreviousSelected = tree_.GetFirstSelected();
        PreviousFocused = PreviousSelected != nullptr ? PreviousSelected : tree_.FocusedNode();
        for (PVirtualNode selected = tree_.GetFirstSelected(); selected != nullptr;
             selected = tree_.GetNextSelected(selected))
            previousSelection_.push_back(selected);
        if (!tree_.Selected(Node)) {
            if (tree_.MiscOptions.Has(TVETMiscOption::toRightButtonSelect)) {
                PreviousSelected = Node;
                PreviousFocused = Node;
                previousSelection_.assign(1, Node);
            }
            tree_.ClearSelection();
            tree_.SetSelected(Node, true);
            tree_.SetFocusedNode(Node);
        }
        return;
    }
    if (!Renaming && NodeMenuPending)
        RestoreSelection();
    Reset();
}

void TContextMenuManager::RestoreSelection() {
    // The menu's command may have changed the tree: only nodes that are still the tree's come back.
    std::erase_if(previousSelection_, [this](PVirtualNode node) { return !tree_.IsLiveNode(node); });
    if (PreviousSelected != nullptr && !tree_.IsLiveNode(PreviousSelected))
        PreviousSelected = nullptr;
    if (PreviousFocused != nullptr && !tree_.IsLiveNode(PreviousFocused))
        PreviousFocused = nullptr;
    if (!tree_.MiscOptions.Has(TVETMiscOption::toRightButtonSelect)) {
        if (PreviousSelected == nullptr || tree_.Selected(PreviousSelected))
            return;
        NodeMenuPending = false;
        tree_.ClearSelection();
        for (PVirtualNode node : previousSelection_)
            tree_.SetSelected(node, true);
        tree_.SetFocusedNode(PreviousFocused);
        return;
    }
    // The clicked node stays selected; selecting it again with the change events running reports the new
    // selection once.
    const PVirtualNode first = tree_.GetFirstSelected();
    if (first == nullptr)
        return;
    NodeMenuPending = false;
    tree_.BeginUpdate();
    tree_.SetSelected(first, false);
    tree_.SetSelected(first, true);
    tree_.EndUpdate();
}

void TContextMenuManager::ShowMenuFor(PVirtualNode node, TTreeMousePoint screen) {
    IExplorerItem* item = tree_.NodeItem(node);
    if (item == nullptr)
        return;
    MenuShown = true;
    ScopeExit done([this] { MenuShown = false; });
    tree_.ShowContextMenu(*item, screen);
}

TContextMenuAnswer TContextMenuManager::ContextMenu(TTreeMousePoint screen, TTreeMousePoint clientOrigin) {
    TContextMenuAnswer answer;
    if (tree_.InState(TreeState::tsOLEDragging) || tree_.MiscOptions.Has(TVETMiscOption::toVETReadOnly)) {
        if (!NodeMenuPending)
            Reset();
        return answer;
    }
    const bool fromKeyboard = screen.X == -1 && screen.Y == -1;
    if (!fromKeyboard) {
        const THitInfo hit =
            tree_.GetHitTestInfoAt(screen.X - clientOrigin.X, screen.Y - clientOrigin.Y, true);
        if (HitsLabelOrIcon(hit) && hit.HitColumn < 1 && Enabled() && Node != nullptr)
            ShowMenuFor(Node, screen);
        answer.RunBase = true;
        answer.BaseScreenPoint = screen;
    } else if (PVirtualNode selected = tree_.GetFirstSelected()) {
        const TTreeMousePoint client = KeyboardMenuPoint(selected);
        const TTreeMousePoint at{client.X + clientOrigin.X, client.Y + clientOrigin.Y};
        if (Enabled()) {
            ShowMenuFor(selected, at);
        } else {
            answer.RunBase = true;
            answer.BaseScreenPoint = at;
        }
    }
    // A release still to come restores the selection and resets then.
    if (!NodeMenuPending)
        Reset();
    else
        Node = nullptr;
    return answer;
}

TTreeMousePoint TContextMenuManager::KeyboardMenuPoint(PVirtualNode node) {
    const TColumnIndex column = tree_.Header().UseColumns() ? tree_.Header().MainColumn() : NoColumn;
    const TTreeRect text = tree_.GetDisplayRect(node, column, true);
    const int imageWidth = tree_.ColumnFitMetrics.ImageWidth > 0 ? tree_.ColumnFitMetrics.ImageWidth : 16;
    return {text.Left + imageWidth / 2, text.Top + (text.Bottom - text.Top) / 2};
}

} // namespace tarvola
