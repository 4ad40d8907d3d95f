// Menus: captions with short cuts, enabled states and short cuts routed to the active form only.
#include "forms/Form.h"
#include "forms/Menus.h"
#include "tests/support/MessagePump.h"
#include "tests/support/WindowDriver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tarvola {
namespace {

class TMenuForm : public TForm {
public:
    explicit TMenuForm(const char* caption) : TForm(nullptr) {
        LoadLayout(TFormLayout{
            {{"Caption", caption}, {"Menu", "MainMenu1"}},
            {
                {"TMainMenu", "MainMenu1", "", 0, 0, 0, 0, {}},
                {"TMenuItem", "SubMenu_File", "MainMenu1", 0, 0, 0, 0, {{"Caption", "&File"}}},
                {"TMenuItem",
                 "MnItm_Open",
                 "SubMenu_File",
                 0,
                 0,
                 0,
                 0,
                 {{"Caption", "Open"}, {"ShortCut", "Ctrl+O"}}},
                {"TMenuItem", "N1", "SubMenu_File", 0, 0, 0, 0, {{"Caption", "-"}}},
                {"TMenuItem", "MnItm_Bugs", "SubMenu_File", 0, 0, 0, 0, {{"Caption", "Bugs && Comments"}}},
                {"TMenuItem", "SubMenu_Edit", "MainMenu1", 0, 0, 0, 0, {{"Caption", "&Edit/Play"}}},
                {"TMenuItem",
                 "MnItm_Play",
                 "SubMenu_Edit",
                 0,
                 0,
                 0,
                 0,
                 {{"Caption", "Play"}, {"ShortCut", "Ctrl+Alt+P"}}},
            }});
        Bind(Find<TMenuItem>("MnItm_Open").OnClick, this, &TMenuForm::Open_Click);
        Bind(Find<TMenuItem>("MnItm_Play").OnClick, this, &TMenuForm::Play_Click);
    }
    int opens = 0;
    int plays = 0;

private:
    void Open_Click(TObject&) { ++opens; }
    void Play_Click(TObject&) { ++plays; }
};

std::string MenuText(HMENU menu, UINT position) {
    char text[128] = {};
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

TEST(Menu, ItemsShowCaptionsShortCutsAndSeparators) {
    TMenuForm form("Menus");
    HMENU bar = GetMenu(form.Handle());
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(MenuText(bar, 0), "&File");
    HMENU file = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(file), 3);
    EXPECT_EQ(MenuText(file, 0), "Open\tCtrl+O");
    EXPECT_NE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    EXPECT_EQ(MenuText(file, 2), "Bugs && Comments");
    EXPECT_EQ(MenuText(GetSubMenu(bar, 1), 0), "Play\tCtrl+Alt+P");
}

TEST(Menu, EnabledStateReachesItemsAndTopLevelMenus) {
    TMenuForm form("Menus");
    HMENU bar = GetMenu(form.Handle());
    form.Find<TMenuItem>("SubMenu_Edit").SetEnabled(false);
    form.Find<TMenuItem>("MnItm_Open").SetEnabled(false);
    EXPECT_NE(GetMenuState(bar, 1, MF_BYPOSITION) & MF_GRAYED, 0u);
    EXPECT_NE(GetMenuState(GetSubMenu(bar, 0), 0, MF_BYPOSITION) & MF_GRAYED, 0u);
    form.Find<TMenuItem>("MnItm_Open").SetCaption("Open File");
    EXPECT_EQ(MenuText(GetSubMenu(bar, 0), 0), "Open File\tCtrl+O");
}

TEST(Menu, ClickFromTheMenuReachesTheHandler) {
    TMenuForm form("Menus");
    SendMessageA(form.Handle(), WM_COMMAND, form.Find<TMenuItem>("MnItm_Open").Command(), 0);
    EXPECT_EQ(form.opens, 1);
}

TEST(Menu, ShortCutReachesOnlyTheActiveFormsMenu) {
    TMenuForm main("Main");
    TMenuForm designer("Designer");
    main.Show();
    designer.Show();
    test::PumpPending();
    ASSERT_EQ(GetActiveWindow(), designer.Handle());
    {
        test::TKeysDown ctrl({VK_CONTROL});
        test::PostKey(designer.Handle(), 'O');
        test::PumpUntil([&] { return designer.opens > 0; }, std::chrono::milliseconds(1000));
    }
    EXPECT_EQ(designer.opens, 1);
    EXPECT_EQ(main.opens, 0);

    main.Show();
    test::PumpPending();
    ASSERT_EQ(GetActiveWindow(), main.Handle());
    {
        test::TKeysDown ctrlAlt({VK_CONTROL, VK_MENU});
        test::PostKey(main.Handle(), 'P');
        test::PumpUntil([&] { return main.plays > 0; }, std::chrono::milliseconds(1000));
    }
    EXPECT_EQ(main.plays, 1);
    EXPECT_EQ(designer.plays, 0);
}

TEST(Menu, ShortCutOfADisabledItemOrMenuDoesNothing) {
    TMenuForm form("Menus");
    form.Show();
    test::PumpPending();
    form.Find<TMenuItem>("SubMenu_Edit").SetEnabled(false);
    form.Find<TMenuItem>("MnItm_Open").SetEnabled(false);
    EXPECT_FALSE(form.IsShortCut(scCtrl | scAlt | 'P'));
    EXPECT_FALSE(form.IsShortCut(scCtrl | 'O'));
    form.Find<TMenuItem>("SubMenu_Edit").SetEnabled(true);
    EXPECT_TRUE(form.IsShortCut(scCtrl | scAlt | 'P'));
    EXPECT_EQ(form.plays, 1);
    EXPECT_EQ(form.opens, 0);
}

TEST(Menu, ShortCutTexts) {
    struct TCase {
        const char* text;
        TShortCut shortCut;
    };
    const TCase cases[] = {
        {"Ctrl+O", scCtrl | 'O'},
        {"Ctrl+Alt+P", scCtrl | scAlt | 'P'},
        {"Ctrl+Del", scCtrl | VK_DELETE},
        {"Ctrl+Ins", scCtrl | VK_INSERT},
        {"F10", VK_F10},
        {"F12", VK_F12},
        {"Shift+Ctrl+Z", scShift | scCtrl | 'Z'},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(TextToShortCut(c.text), c.shortCut) << c.text;
        EXPECT_EQ(ShortCutToText(c.shortCut), c.text) << c.text;
    }
    EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
    EXPECT_EQ(TextToShortCut("Hyper+X"), scNone);
    EXPECT_EQ(TextToShortCut("F25"), scNone);
}

} // namespace
} // namespace tarvola

namespace tarvola {
namespace {

// A form whose menu binds keys that a text edit uses itself, with an edit and a button to hold the focus.
class TEditKeysForm : public TForm {
public:
    TEditKeysForm() : TForm(nullptr) {
        const auto item = [](std::string_view name, std::string_view shortCut) {
            return TComponentRow{
                "TMenuItem", name, "SubMenu_Edit", 0, 0, 0, 0, {{"Caption", name}, {"ShortCut", shortCut}}};
        };
        LoadLayout(
            TFormLayout{{{"Caption", "Edit keys"}, {"Menu", "MainMenu1"}},
                        {
                            {"TMainMenu", "MainMenu1", "", 0, 0, 0, 0, {}},
                            {"TMenuItem", "SubMenu_Edit", "MainMenu1", 0, 0, 0, 0, {{"Caption", "Edit"}}},
                            item("Paste", "Ctrl+V"),
                            item("Clear", "Ctrl+Del"),
                            item("Insert", "Shift+Ins"),
                            item("SelectAll", "Ctrl+A"),
                            item("Play", "Ctrl+Alt+P"),
                            item("Manage", "F12"),
                            {"TEdit", "Edit1", "", 8, 8, 120, 21, {{"Text", ""}}},
                            {"TButton", "Button1", "", 8, 40, 75, 25, {{"Caption", "Button"}}},
                        }});
        for (const char* name : {"Paste", "Clear", "Insert", "SelectAll", "Play", "Manage"})
            Bind(Find<TMenuItem>(name).OnClick, this, &TEditKeysForm::Item_Click);
    }
    std::vector<std::string> clicked;

private:
    void Item_Click(TObject& sender) { clicked.push_back(static_cast<TMenuItem&>(sender).Caption()); }
};

TEST(Menu, ShortCutsLeaveTheEditingKeysToATextEditWithTheKeyboard) {
    TEditKeysForm form;
    form.Show();
    test::PumpPending();
    TWinControl& edit = form.Find<TWinControl>("Edit1");
    TWinControl& button = form.Find<TWinControl>("Button1");
    struct Case {
        TWinControl* focus;
        std::initializer_list<BYTE> modifiers;
        WORD key;
        const char* fired; // "" when the key stays with the control
    };
    const Case cases[] = {
        {&edit, {VK_CONTROL}, 'V', ""},
        {&edit, {VK_CONTROL}, VK_DELETE, ""},
        {&edit, {VK_SHIFT}, VK_INSERT, ""},
        {&edit, {VK_CONTROL}, 'A', ""},
        {&edit, {VK_CONTROL, VK_MENU}, 'P', "Play"},
        {&edit, {}, VK_F12, "Manage"},
        {&button, {VK_CONTROL}, 'V', "Paste"},
        {&button, {VK_CONTROL}, VK_DELETE, "Clear"},
        {&button, {VK_SHIFT}, VK_INSERT, "Insert"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.focus == &edit ? "edit, key " : "button, key ") + std::to_string(c.key));
        form.clicked.clear();
        SetFocus(c.focus->Handle());
        {
            test::TKeysDown keys(c.modifiers);
            test::PostKey(c.focus->Handle(), c.key);
            test::PumpPending();
        }
        if (*c.fired == '\0')
            EXPECT_TRUE(form.clicked.empty());
        else
            EXPECT_EQ(form.clicked, std::vector<std::string>{c.fired});
    }
}

TEST(Menu, CtrlVInATextEditPastesText) {
    TEditKeysForm form;
    form.Show();
    test::PumpPending();
    TWinControl& edit = form.Find<TWinControl>("Edit1");
    ASSERT_TRUE(OpenClipboard(form.Handle()));
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 6);
    std::memcpy(GlobalLock(text), "0.125", 6);
    GlobalUnlock(text);
    SetClipboardData(CF_TEXT, text);
    CloseClipboard();
    SetFocus(edit.Handle());
    {
        test::TKeysDown ctrl({VK_CONTROL});
        test::PostKey(edit.Handle(), 'V');
        test::PumpPending();
    }
    EXPECT_TRUE(form.clicked.empty());
    EXPECT_EQ(edit.Caption(), "0.125");
}

} // namespace
} // namespace tarvola
