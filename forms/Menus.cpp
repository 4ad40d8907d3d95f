#include "forms/Menus.h"

#include "forms/Form.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

namespace tarvola {

namespace {

constexpr UINT kFirstCommand = 1000;
constexpr UINT kLastCommand = 0xFFFF;

std::unordered_map<UINT, TMenuItem*>& CommandTable() {
    static std::unordered_map<UINT, TMenuItem*> table;
    return table;
}

UINT AllocateCommand(TMenuItem* item) {
    static UINT next = kFirstCommand;
    auto& table = CommandTable();
    for (UINT tries = 0; tries <= kLastCommand - kFirstCommand; ++tries) {
        const UINT command = next;
        next = next == kLastCommand ? kFirstCommand : next + 1;
        if (table.find(command) == table.end()) {
            table.emplace(command, item);
            return command;
        }
    }
    throw EComponentError("Too many menu items");
}

struct TKeyName {
    WORD key;
    std::string_view name;
};

constexpr TKeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},     {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},   {VK_END, "End"},      {VK_HOME, "Home"},  {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},    {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};

std::string KeyName(WORD key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
        return std::string(1, static_cast<char>(key));
    }
    if (key >= VK_F1 && key <= VK_F24) {
        std::string name = "F";
        name += std::to_string(key - VK_F1 + 1);
        return name;
    }
    for (const auto& entry : kKeyNames) {
        if (entry.key == key) {
            return std::string(entry.name);
        }
    }
    return {};
}

WORD KeyOfName(std::string_view name) {
    if (name.size() == 1) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            return static_cast<WORD>(c);
        }
        return 0;
    }
    if (name.size() >= 2 && name.front() == 'F') {
        int number = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9') {
                return 0;
            }
            number = number * 10 + (c - '0');
        }
        return number >= 1 && number <= 24 ? static_cast<WORD>(VK_F1 + number - 1) : 0;
    }
    for (const auto& entry : kKeyNames) {
        if (entry.name == name) {
            return entry.key;
        }
    }
    return 0;
}

} // namespace

TShortCut TextToShortCut(std::string_view text) {
    TShortCut modifiers = 0;
    for (;;) {
        if (text.starts_with("Shift+")) {
            modifiers |= scShift;
            text.remove_prefix(6);
        } else if (text.starts_with("Ctrl+")) {
            modifiers |= scCtrl;
            text.remove_prefix(5);
        } else if (text.starts_with("Alt+")) {
            modifiers |= scAlt;
            text.remove_prefix(4);
        } else {
            break;
        }
    }
    const WORD key = KeyOfName(text);
    return key == 0 ? scNone : static_cast<TShortCut>(key | modifiers);
}

std::string ShortCutToText(TShortCut shortCut) {
    const std::string key = KeyName(static_cast<WORD>(shortCut & 0xFF));
    if (key.empty()) {
        return {};
    }
    std::string text;
    if ((shortCut & scShift) != 0) {
        text += "Shift+";
    }
    if ((shortCut & scCtrl) != 0) {
        text += "Ctrl+";
    }
    if ((shortCut & scAlt) != 0) {
        text += "Alt+";
    }
    return text + key;
}

TShortCut ShortCutFromKey(WORD key, TShiftState shift) {
    TShortCut shortCut = static_cast<TShortCut>(key & 0xFF);
    if ((shift & ssShift) != 0) {
        shortCut |= scShift;
    }
    if ((shift & ssCtrl) != 0) {
        shortCut |= scCtrl;
    }
    if ((shift & ssAlt) != 0) {
        shortCut |= scAlt;
    }
    return shortCut;
}

bool DispatchMenuCommand(UINT command) {
    auto found = CommandTable().find(command);
    if (found == CommandTable().end()) {
        return false;
    }
    found->second->Click();
    return true;
}

// ---- TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(AllocateCommand(this)) {}

TMenuItem::~TMenuItem() {
    CommandTable().erase(command_);
    if (parent_ != nullptr) {
        parent_->Remove(*this);
    }
    // Children survive with their own submenus: take them out before this submenu goes.
    for (TMenuItem* child : items_) {
        child->parent_ = nullptr;
    }
    if (subMenu_ != nullptr) {
        while (GetMenuItemCount(subMenu_) > 0) {
            RemoveMenu(subMenu_, 0, MF_BYPOSITION);
        }
        if (menu_ == nullptr) {
            DestroyMenu(subMenu_);
        }
    }
}

TMenuItem& TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count()) {
        throw EComponentError("Menu item index out of range");
    }
    return *items_[static_cast<std::size_t>(index)];
}

int TMenuItem::IndexOf(const TMenuItem& item) const {
    auto found = std::find(items_.begin(), items_.end(), &item);
    return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

void TMenuItem::FillInfo(MENUITEMINFOA& info, std::string& text) const {
    info = MENUITEMINFOA{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU;
    info.wID = command_;
    info.hSubMenu = subMenu_;
    info.fState = (enabled_ ? MFS_ENABLED : MFS_DISABLED) | (checked_ ? MFS_CHECKED : MFS_UNCHECKED);
    if (IsLine()) {
        info.fType = MFT_SEPARATOR;
        return;
    }
    info.fType = MFT_STRING;
    info.fMask |= MIIM_STRING;
    text = caption_;
    const std::string keys = ShortCutToText(shortCut_);
    if (!keys.empty()) {
        text += "\t" + keys;
    }
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
}

void TMenuItem::InsertNative(TMenuItem& item, int index) {
    MENUITEMINFOA info;
    std::string text;
    item.FillInfo(info, text);
    InsertMenuItemA(subMenu_, static_cast<UINT>(index), TRUE, &info);
}

void TMenuItem::UpdateNative() {
    if (parent_ != nullptr && parent_->subMenu_ != nullptr) {
        MENUITEMINFOA info;
        std::string text;
        FillInfo(info, text);
        SetMenuItemInfoA(parent_->subMenu_, static_cast<UINT>(parent_->IndexOf(*this)), TRUE, &info);
    }
    MenuChanged();
}

void TMenuItem::MenuChanged() {
    TMenuItem* root = this;
    while (root->parent_ != nullptr) {
        root = root->parent_;
    }
    if (root->menu_ != nullptr) {
        root->menu_->Changed();
    }
}

void TMenuItem::EnsureSubMenu() {
    if (subMenu_ == nullptr) {
        subMenu_ = CreatePopupMenu();
        UpdateNative();
    }
}

void TMenuItem::Add(TMenuItem& item) {
    if (&item == this) {
        throw EComponentError("A menu item cannot contain itself");
    }
    if (item.parent_ != nullptr) {
        item.parent_->Remove(item);
    }
    EnsureSubMenu();
    items_.push_back(&item);
    item.parent_ = this;
    InsertNative(item, Count() - 1);
    MenuChanged();
}

void TMenuItem::Remove(TMenuItem& item) {
    const int index = IndexOf(item);
    if (index < 0) {
        return;
    }
    if (subMenu_ != nullptr) {
        RemoveMenu(subMenu_, static_cast<UINT>(index), MF_BYPOSITION);
    }
    items_.erase(items_.begin() + index);
    item.parent_ = nullptr;
    MenuChanged();
}

void TMenuItem::SetCaption(std::string_view caption) {
    caption_ = std::string(caption);
    UpdateNative();
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
    shortCut_ = shortCut;
    UpdateNative();
}

void TMenuItem::SetEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        UpdateNative();
    }
}

void TMenuItem::SetChecked(bool checked) {
    if (checked != checked_) {
        checked_ = checked;
        UpdateNative();
    }
}

void TMenuItem::Click() {
    if (OnClick) {
        OnClick(*this);
    }
}

TMenuItem* TMenuItem::FindShortCut(TShortCut shortCut) {
    for (TMenuItem* item : items_) {
        if (!item->enabled_) {
            continue;
        }
        if (item->items_.empty()) {
            if (item->shortCut_ == shortCut) {
                return item;
            }
        } else if (TMenuItem* found = item->FindShortCut(shortCut)) {
            return found;
        }
    }
    return nullptr;
}

void TMenuItem::SetProperty(std::string_view name, std::string_view value) {
    if (name == "Caption") {
        SetCaption(value);
    } else if (name == "ShortCut") {
        const TShortCut shortCut = TextToShortCut(value);
        if (shortCut == scNone && !value.empty()) {
            throw EPropertyError("Bad value '" + std::string(value) + "' for property ShortCut of " + Name());
        }
        SetShortCut(shortCut);
    } else if (name == "Enabled") {
        SetEnabled(PropBoolean(value, name));
    } else if (name == "Checked") {
        SetChecked(PropBoolean(value, name));
    } else {
        TComponent::SetProperty(name, value);
    }
}

void TMenuItem::SetParentComponent(TComponent& parent) {
    if (auto* menu = dynamic_cast<TMenu*>(&parent)) {
        menu->Items().Add(*this);
    } else if (auto* item = dynamic_cast<TMenuItem*>(&parent)) {
        item->Add(*this);
    } else {
        TComponent::SetParentComponent(parent);
    }
}

// ---- TMenu

TMenu::TMenu(TComponent* owner, HMENU handle) : TComponent(owner), handle_(handle) {
    items_ = std::make_unique<TMenuItem>(this);
    items_->menu_ = this;
    items_->subMenu_ = handle_;
}

TMenu::~TMenu() {
    items_.reset();
    DestroyMenu(handle_);
}

bool TMenu::DispatchShortCut(TShortCut shortCut) {
    if (shortCut == scNone) {
        return false;
    }
    TMenuItem* item = items_->FindShortCut(shortCut);
    if (item == nullptr) {
        return false;
    }
    item->Click();
    return true;
}

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner, CreateMenu()) {}

TMainMenu::~TMainMenu() {
    while (!forms_.empty()) {
        TForm* form = forms_.back();
        forms_.pop_back();
        form->MenuDestroyed(*this);
    }
}

void TMainMenu::Attach(TForm& form) {
    if (std::find(forms_.begin(), forms_.end(), &form) == forms_.end()) {
        forms_.push_back(&form);
    }
}

void TMainMenu::Detach(TForm& form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
}

void TMainMenu::Changed() {
    for (TForm* form : forms_) {
        if (form->HandleAllocated()) {
            DrawMenuBar(form->Handle());
        }
    }
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner, CreatePopupMenu()) {}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) {
        OnPopup(*this);
    }
    HWND window = GetActiveWindow();
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, window, nullptr));
    if (command != 0) {
        DispatchMenuCommand(command);
    }
}

} // namespace tarvola
