// Forms: layouts as data, frames and sizes, modal runs.
#include "forms/Application.h"
#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/Form.h"
#include "forms/Menus.h"
#include "forms/StdCtrls.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WindowDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace tarvola {
namespace {

class TLayoutForm : public TForm {
public:
    explicit TLayoutForm(TComponent* owner, const TFormLayout& layout) : TForm(owner) {
        LoadLayout(layout);
        Bind(OnMouseMove, this, &TLayoutForm::Moved);
        if (auto* ok = dynamic_cast<TButton*>(FindComponent("OKButton")))
            Bind(ok->OnClick, this, &TLayoutForm::OK_Click);
    }
    int okClicks = 0;
    int moves = 0;

private:
    void OK_Click(TObject&) { ++okClicks; }
    void Moved(TObject&, TShiftState, int, int) { ++moves; }
};

// Bind takes a member function whose parameters are the event's; one of another event, or a name the class
// lacks, does not compile.
struct TBindTarget : TObject {
    void Click(TObject&) {}
    void Move(TObject&, TShiftState, int, int) {}
};
template <class T, class Event>
concept BindsClick = requires(Event& event, T* target) {
    Bind(event, target, &T::Click);
};
template <class T, class Event>
concept BindsMove = requires(Event& event, T* target) {
    Bind(event, target, &T::Move);
};
template <class T, class Event>
concept BindsMisspelt = requires(Event& event, T* target) {
    Bind(event, target, &T::Clik);
};
static_assert(BindsClick<TBindTarget, TNotifyEvent>);
static_assert(BindsMove<TBindTarget, TMouseMoveEvent>);
static_assert(!BindsMove<TBindTarget, TNotifyEvent>);
static_assert(!BindsClick<TBindTarget, TMouseMoveEvent>);
static_assert(!BindsMisspelt<TBindTarget, TNotifyEvent>);

const TFormLayout kDialogLayout{
    {{"Caption", "About"},
     {"BorderStyle", "bsDialog"},
     {"ClientWidth", "300"},
     {"ClientHeight", "150"},
     {"Position", "poScreenCenter"}},
    {
        {"TPanel", "Panel1", "", 8, 8, 284, 100, {{"BevelOuter", "bvLowered"}}},
        {"TLabel", "Label1", "Panel1", 8, 8, 100, 13, {{"Caption", "Tarvola"}, {"Font.Style", "Bold"}}},
        {"TButton",
         "OKButton",
         "",
         112,
         116,
         75,
         25,
         {{"Caption", "OK"}, {"Default", "True"}, {"ModalResult", "mrOk"}}},
    }};

TEST(Form, LayoutMakesComponentsWithParentsPropertiesAndHandlers) {
    TLayoutForm form(nullptr, kDialogLayout);
    auto& panel = form.Find<TPanel>("Panel1");
    auto& label = form.Find<TLabel>("Label1");
    auto& ok = form.Find<TButton>("OKButton");
    EXPECT_EQ(form.Caption(), "About");
    EXPECT_EQ(form.ClientWidth(), 300);
    EXPECT_EQ(form.ClientHeight(), 150);
    EXPECT_EQ(label.Parent(), &panel);
    EXPECT_EQ(panel.Parent(), &form);
    EXPECT_EQ(GetParent(ok.Handle()), form.Handle());
    EXPECT_EQ(label.Font().Style(), fsBold);
    EXPECT_TRUE(ok.Default());
    EXPECT_EQ(ok.Left(), 112);
    SendMessageA(ok.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.okClicks, 1);
    EXPECT_EQ(form.ModalResult(), mrOk);
    SendMessageA(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(295, 145));
    EXPECT_EQ(form.moves, 1);
    const LONG_PTR style = GetWindowLongPtrA(form.Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX), 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
}

TEST(Form, LayoutErrorsNameTheFault) {
    struct TCase {
        const char* what;
        TFormLayout layout;
    };
    const TCase cases[] = {
        {"unknown class", {{}, {{"TNoSuchThing", "X", "", 0, 0, 0, 0, {}}}}},
        {"unknown property", {{}, {{"TButton", "B", "", 0, 0, 75, 25, {{"Colour", "clRed"}}}}}},
        {"bad value", {{}, {{"TTrackBar", "T", "", 0, 0, 100, 30, {{"Max", "ten"}}}}}},
        // Events are bound in code: a table that names a handler is refused.
        {"an event named in the table",
         {{}, {{"TButton", "B", "", 0, 0, 75, 25, {{"OnClick", "OK_Click"}}}}}},
        {"a form event named in the table", {{{"OnMouseMove", "Moved"}}, {}}},
        {"missing parent", {{}, {{"TLabel", "L", "Nowhere", 0, 0, 10, 10, {}}}}},
        {"twice the same name",
         {{}, {{"TLabel", "L", "", 0, 0, 10, 10, {}}, {"TLabel", "L", "", 0, 0, 10, 10, {}}}}},
    };
    for (const TCase& c : cases) {
        EXPECT_ANY_THROW(TLayoutForm(nullptr, c.layout)) << c.what;
    }
}

TEST(Form, SingleBorderWithSystemMenuAndMinimiseOnly) {
    TLayoutForm form(nullptr, TFormLayout{{{"BorderStyle", "bsSingle"},
                                           {"BorderIcons", "biSystemMenu biMinimize"},
                                           {"ClientWidth", "400"},
                                           {"ClientHeight", "120"}},
                                          {}});
    const LONG_PTR style = GetWindowLongPtrA(form.Handle(), GWL_STYLE);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(form.ClientWidth(), 400);
    EXPECT_GT(form.Width(), 400);
}

TEST(Form, ClientSizeSurvivesAddingAMenu) {
    TLayoutForm form(
        nullptr,
        TFormLayout{{{"ClientWidth", "300"}, {"ClientHeight", "100"}, {"Menu", "MainMenu1"}},
                    {{"TMainMenu", "MainMenu1", "", 0, 0, 0, 0, {}},
                     {"TMenuItem", "SubMenu_File", "MainMenu1", 0, 0, 0, 0, {{"Caption", "&File"}}},
                     {"TMenuItem", "MnItm_Open", "SubMenu_File", 0, 0, 0, 0, {{"Caption", "Open"}}}}});
    EXPECT_EQ(GetMenu(form.Handle()), form.Menu()->Handle());
    EXPECT_EQ(form.ClientHeight(), 100);
    EXPECT_EQ(form.ClientWidth(), 300);
}

TEST(Form, MinimisedFormKeepsItsNormalPosition) {
    TForm form(nullptr);
    form.SetBounds(120, 80, 300, 200);
    form.Show();
    int resizes = 0;
    form.OnResize = [&](TObject&) { ++resizes; };
    ShowWindow(form.Handle(), SW_MINIMIZE);
    test::PumpPending();
    EXPECT_EQ(form.Left(), 120);
    EXPECT_EQ(form.Top(), 80);
    EXPECT_EQ(form.Width(), 300);
    ShowWindow(form.Handle(), SW_RESTORE);
    test::PumpPending();
    EXPECT_EQ(form.Left(), 120);
    EXPECT_EQ(resizes, 0);
}

// A size change fires OnResize once, whether the user or code makes it, and the handler sees the new size;
// a move alone, or the same bounds again, fires none.
TEST(Form, OnResizeFiresForEverySizeChange) {
    TForm form(nullptr);
    form.SetBounds(100, 100, 300, 200);
    auto& panel = form.Create<TPanel>();
    panel.SetBounds(10, 10, 50, 30);
    panel.SetParent(&form);
    form.Show();
    test::PumpPending();
    std::vector<int> formWidths, panelWidths;
    form.OnResize = [&](TObject&) { formWidths.push_back(form.Width()); };
    panel.OnResize = [&](TObject&) { panelWidths.push_back(panel.Width()); };

    struct Case {
        const char* what;
        std::function<void()> change;
        std::vector<int> formWidths;
        std::vector<int> panelWidths;
    };
    const Case cases[] = {
        {"SetBounds", [&] { form.SetBounds(100, 100, 320, 220); }, {320}, {}},
        {"a move", [&] { form.SetBounds(130, 110, 320, 220); }, {}, {}},
        {"the same bounds", [&] { form.SetBounds(130, 110, 320, 220); }, {}, {}},
        {"SetWidth", [&] { form.SetWidth(340); }, {340}, {}},
        {"SetClientSize", [&] { form.SetClientSize(form.ClientWidth(), 150); }, {340}, {}},
        {"the window itself",
         [&] {
             SetWindowPos(form.Handle(), nullptr, 0, 0, 360, 240, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
         },
         {360},
         {}},
        {"a child's SetBounds", [&] { panel.SetBounds(10, 10, 70, 30); }, {}, {70}},
        {"a child's move", [&] { panel.SetBounds(20, 15, 70, 30); }, {}, {}},
    };
    for (const Case& c : cases) {
        formWidths.clear();
        panelWidths.clear();
        c.change();
        test::PumpPending();
        EXPECT_EQ(formWidths, c.formWidths) << c.what;
        EXPECT_EQ(panelWidths, c.panelWidths) << c.what;
    }
}

TEST(Form, ShowHintOfTheFormReachesControlsMadeBefore) {
    TForm form(nullptr);
    auto& panel = form.Create<TPanel>();
    panel.SetHint("Launch default e-mail client");
    panel.SetParent(&form);
    form.SetShowHint(true);
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = form.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(panel.Handle());
    char text[80] = {};
    tool.lpszText = text;
    ASSERT_TRUE(
        SendMessageA(Application().HintWindow(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_STREQ(text, "Launch default e-mail client");
}

TEST(Form, CenterOnDesktop) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    CenterOnDesktop(form);
    EXPECT_EQ(form.Left(),
              GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN) / 2 - 100);
    EXPECT_EQ(form.Top(),
              GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN) / 2 - 50);
}

TEST(Form, ShowModalDisablesTheOtherWindowsAndGivesActivationBack) {
    TForm main(nullptr);
    main.SetCaption("Main window");
    main.Show();
    TForm designer(nullptr); // another top-level window without owner
    designer.SetCaption("Designer window");
    designer.Show();
    main.Show();
    test::PumpPending();
    ASSERT_EQ(GetActiveWindow(), main.Handle());

    TLayoutForm dialog(&main, kDialogLayout);
    EXPECT_EQ(GetWindow(dialog.Handle(), GW_OWNER), main.Handle());
    bool mainEnabledDuringRun = true;
    bool designerEnabledDuringRun = true;
    test::WhenWindowShows("About", [&](HWND window) {
        mainEnabledDuringRun = IsWindowEnabled(main.Handle());
        designerEnabledDuringRun = IsWindowEnabled(designer.Handle());
        PostMessageA(window, WM_KEYDOWN, VK_RETURN, 1); // Enter clicks the default button
    });
    const TModalResult result = dialog.ShowModal();

    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(dialog.okClicks, 1);
    EXPECT_FALSE(mainEnabledDuringRun);
    EXPECT_FALSE(designerEnabledDuringRun);
    EXPECT_TRUE(IsWindowEnabled(main.Handle()));
    EXPECT_TRUE(IsWindowEnabled(designer.Handle()));
    EXPECT_FALSE(dialog.Visible());
    EXPECT_EQ(GetActiveWindow(), main.Handle());
}

TEST(Form, ClosingAModalFormCancelsIt) {
    TForm main(nullptr);
    main.Show();
    TLayoutForm dialog(&main, kDialogLayout);
    test::WhenWindowShows("About", [](HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_TRUE(IsWindowEnabled(main.Handle()));
}

TEST(Form, OnCloseCanKeepAFormOpen) {
    TForm form(nullptr);
    form.Show();
    TCloseAction answer = TCloseAction::caNone;
    form.OnClose = [&](TObject&, TCloseAction& action) { action = answer; };
    form.Close();
    EXPECT_TRUE(form.Visible());
    answer = TCloseAction::caHide;
    form.Close();
    EXPECT_FALSE(form.Visible());
}

TEST(Form, ModalRunsGoThroughThePromptSeam) {
    test::TScriptedPrompts prompts;
    prompts.OnShowModal = [](TForm& form) {
        form.Find<TButton>("OKButton").Click();
        return form.ModalResult();
    };
    TLayoutForm dialog(nullptr, kDialogLayout);
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_EQ(dialog.okClicks, 1);
    EXPECT_EQ(prompts.ModalRuns, 1);
}

} // namespace
} // namespace tarvola
