// Menus: captions with short cuts, enabled states and short cuts routed to the active form only.
#include "forms/Form.h"
#include "forms/Menus.h"
#include "tests/support/MessagePump.h"
#include "tests/support/WindowDriver.h"

#include <gtest/gtest.h>

namespace tarvola {
namespace {

class TMenuForm : public TForm {
public:
    explicit TMenuForm(const char* caption) : TForm(nullptr) {
        Publish("Open_Click", &TMenuForm::Open_Click);
        Publish("Play_Click", &TMenuForm::Play_Click);
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
                 {{"Caption", "Open"}, {"ShortCut", "Ctrl+O"}, {"OnClick", "Open_Click"}}},
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
                 {{"Caption", "Play"}, {"ShortCut", "Ctrl+Alt+P"}, {"OnClick", "Play_Click"}}},
            }});
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
