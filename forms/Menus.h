// Menus: main menus (a form's menu bar) and popup menus, made of menu items with captions ("&" marks the
// mnemonic, "&&" shows one "&", "-" is a separator), enabled and checked states, short cuts and click events.
// A short cut fires only through the menu of the form that has the keyboard, and only when the item and every
// menu above it are enabled.
#pragma once

#include "forms/Component.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvola {

class TForm;
class TMenu;

// A key with modifiers: the virtual-key code in the low byte, plus scShift, scCtrl, scAlt.
using TShortCut = unsigned short;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// "Ctrl+Alt+P", "Ctrl+Del", "F10"; scNone for an empty or unknown text.
TShortCut TextToShortCut(std::string_view text);
std::string ShortCutToText(TShortCut shortCut);
TShortCut ShortCutFromKey(WORD key, TShiftState shift);

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string_view caption);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool IsLine() const { return caption_ == "-"; }

    TNotifyEvent OnClick;
    virtual void Click();

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem& Items(int index) const;
    TMenuItem* Parent() const { return parent_; }
    // Appends an item (it is shown in this item's submenu).
    void Add(TMenuItem& item);
    void Remove(TMenuItem& item);
    // The enabled item below this one that has the short cut (every menu on the way enabled), or nullptr.
    TMenuItem* FindShortCut(TShortCut shortCut);
    UINT Command() const { return command_; }
    // The submenu of an item with children (the menu's own handle for a menu's root item).
    HMENU SubMenu() const { return subMenu_; }

    void SetProperty(std::string_view name, std::string_view value) override;
    void SetParentComponent(TComponent& parent) override;

private:
    friend class TMenu;
    void InsertNative(TMenuItem& item, int index);
    void UpdateNative();
    void FillInfo(MENUITEMINFOA& info, std::string& text) const;
    int IndexOf(const TMenuItem& item) const;
    void EnsureSubMenu();
    void MenuChanged();

    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr; // set on a menu's root item
    std::vector<TMenuItem*> items_;
    std::string caption_;
    TShortCut shortCut_ = scNone;
    bool enabled_ = true;
    bool checked_ = false;
    UINT command_;
    HMENU subMenu_ = nullptr;
};

class TMenu : public TComponent {
public:
    TMenu(TComponent* owner, HMENU handle);
    ~TMenu() override;

    // The items of the menu (the top-level menus of a main menu).
    TMenuItem& Items() { return *items_; }
    HMENU Handle() const { return handle_; }
    // Clicks the item of the short cut; false when no enabled item has it.
    bool DispatchShortCut(TShortCut shortCut);

protected:
    friend class TMenuItem;
    virtual void Changed() {}

private:
    HMENU handle_;
    std::unique_ptr<TMenuItem> items_;
};

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* owner);
    ~TMainMenu() override;
    void Attach(TForm& form);
    void Detach(TForm& form);

protected:
    void Changed() override;

private:
    std::vector<TForm*> forms_;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner);
    // Shows the menu at a screen point and clicks the chosen item.
    void Popup(int x, int y);
    TNotifyEvent OnPopup;
};

// Clicks the menu item of a WM_COMMAND from a menu; false when the command is not ours.
bool DispatchMenuCommand(UINT command);

} // namespace tarvola
