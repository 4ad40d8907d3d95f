// The explorer tree's column menu, shown on the header's right button: one checked item per column that
// the menu lists (a click shows or hides the column), and "More ..." for the column settings dialog. The
// items are made afresh at each popup from ColumnMenuModel.h. Windows only.
#pragma once

#include "explorer/ColumnFormData.h"
#include "forms/Menus.h"

#include <functional>

namespace tarvola {

class TColumnMenu;
class TCustomVirtualExplorerTree;

class TColumnMenuItem : public TMenuItem {
public:
    TColumnMenuItem(TComponent* owner, TColumnMenu& menu, int columnTag);
    int ColumnTag() const { return tag_; }
    void Click() override;

private:
    TColumnMenu& menu_;
    int tag_;
};

class TColumnMenu : public TPopupMenu {
public:
    TColumnMenu(TComponent* owner, TCustomVirtualExplorerTree& tree);
    // The menu of a tree that is a TCustomVirtualExplorerTree.
    TColumnMenu(TComponent* owner, TBaseVirtualTree& tree);

    TCustomVirtualExplorerTree& Tree() const { return tree_; }
    // The dialog "More ..." runs; the default is the modal column settings dialog.
    TColumnSettingsDialog SettingsDialog;

    // Makes the items for the header as it is now.
    void Fill();
    // Fill, then shows the menu at a screen point.
    void Popup(int x, int y);

private:
    void ClearItems();

    TCustomVirtualExplorerTree& tree_;
};

// Makes the column menu of a tree that is a TCustomVirtualExplorerTree, owned by owner, and has the tree
// show it at the header's right-button clicks (toShellColumnMenu), placed over window's client area.
TColumnMenu& AttachColumnMenu(TComponent& owner, TBaseVirtualTree& tree, std::function<HWND()> window);

} // namespace tarvola
