#include "explorer/ColumnMenu.h"

#include "explorer/ColumnFormDialog.h"
#include "explorer/ColumnMenuModel.h"

#include <windows.h>

namespace tarvola {

namespace {

// Menus take the system code page's texts.
std::string MenuText(const std::wstring& text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                            nullptr, nullptr);
    // A column title is shown as it is: "&" is no mnemonic here.
    std::string escaped;
    for (char c : result) {
        escaped.push_back(c);
        if (c == '&')
            escaped.push_back('&');
    }
    return escaped;
}

} // namespace

TColumnMenuItem::TColumnMenuItem(TComponent* owner, TColumnMenu& menu, int columnTag)
    : TMenuItem(owner), menu_(menu), tag_(columnTag) {}

void TColumnMenuItem::Click() {
    TMenuItem::Click();
    if (tag_ == kColumnMenuMoreTag)
        EditColumnSettings(menu_.Tree(), menu_.SettingsDialog);
    else if (tag_ >= 0)
        ToggleColumnFromMenu(menu_.Tree(), tag_);
}

TColumnMenu::TColumnMenu(TComponent* owner, TCustomVirtualExplorerTree& tree)
    : TPopupMenu(owner), tree_(tree) {
    SettingsDialog = [this](std::vector<TColumnData>& settings, const TApplyColumnSettings& apply) {
        return RunColumnSettingsDialog(Owner(), settings, apply);
    };
}

TColumnMenu::TColumnMenu(TComponent* owner, TBaseVirtualTree& tree)
    : TColumnMenu(owner, dynamic_cast<TCustomVirtualExplorerTree&>(tree)) {}

void TColumnMenu::ClearItems() {
    TMenuItem& root = Items();
    while (root.Count() > 0) {
        TMenuItem& item = root.Items(root.Count() - 1);
        root.Remove(item);
        FreeComponent(item);
    }
}

void TColumnMenu::Fill() {
    ClearItems();
    for (const TColumnMenuEntry& entry : ColumnMenuEntries(tree_)) {
        auto& item = Create<TColumnMenuItem>(*this, entry.Tag);
        item.SetCaption(entry.Tag == kColumnMenuSeparatorTag ? std::string("-") : MenuText(entry.Caption));
        item.SetChecked(entry.Checked);
        Items().Add(item);
    }
}

void TColumnMenu::Popup(int x, int y) {
    Fill();
    TPopupMenu::Popup(x, y);
}

TColumnMenu& AttachColumnMenu(TComponent& owner, TBaseVirtualTree& tree, std::function<HWND()> window) {
    auto& menu = owner.Create<TColumnMenu>(tree);
    menu.Tree().ShowColumnMenu = [&menu, window = std::move(window)](int x, int y) {
        POINT point{x, y};
        ClientToScreen(window(), &point);
        menu.Popup(point.x, point.y);
    };
    return menu;
}

} // namespace tarvola
