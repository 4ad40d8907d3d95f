// The standard controls driven through their windows: values, change events, mouse and painting.
#include "forms/Application.h"
#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/Form.h"
#include "forms/StdCtrls.h"
#include "tests/support/MessagePump.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarvola {
namespace {

class ControlsTest : public ::testing::Test {
protected:
    ControlsTest() : form(nullptr) { form.SetClientSize(400, 300); }

    template <class T>
    T& Make(TWinControl& parent, int left, int top, int width, int height) {
        T& control = form.Create<T>();
        control.SetBounds(left, top, width, height);
        control.SetParent(&parent);
        return control;
    }
    template <class T>
    T& Make(int left, int top, int width, int height) {
        return Make<T>(form, left, top, width, height);
    }

    TForm form;
};

TEST(ParseInt32, TakesOneWholeNumberWithOneSign) {
    struct Case {
        const char* text;
        bool ok;
        std::int32_t value;
    };
    const Case cases[] = {
        {"12", true, 12},         {" -3\t", true, -3},
        {"+7", true, 7},          {"+-5", false, 0},
        {"-+5", false, 0},        {"--5", false, 0},
        {"-", false, 0},          {"", false, 0},
        {"1.5", false, 0},        {"2147483647", true, 2147483647},
        {"2147483648", false, 0},
    };
    for (const Case& c : cases) {
        std::int32_t value = 0;
        EXPECT_EQ(ParseInt32(c.text, value), c.ok) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST_F(ControlsTest, EditChangeFiresForTypingAndCodeButNotForTheSameText) {
    auto& edit = Make<TEdit>(10, 10, 120, 21);
    int changes = 0;
    edit.OnChange = [&](TObject&) { ++changes; };
    SendMessageA(edit.Handle(), WM_CHAR, 'a', 1);
    EXPECT_EQ(edit.Text(), "a");
    EXPECT_EQ(changes, 1);
    edit.SetText("Preset");
    EXPECT_EQ(changes, 2);
    char shown[32] = {};
    GetWindowTextA(edit.Handle(), shown, sizeof(shown));
    EXPECT_STREQ(shown, "Preset");
    edit.SetText("Preset");
    EXPECT_EQ(changes, 2);
}

TEST_F(ControlsTest, EditKeepsItsMaxLengthAndCanSwallowEnter) {
    auto& edit = Make<TEdit>(10, 10, 120, 21);
    edit.SetMaxLength(3);
    int enters = 0;
    edit.OnKeyPress = [&](TObject&, char& key) {
        if (key == '\r') {
            ++enters;
            key = 0;
        }
    };
    for (char c : std::string("abcd\r")) {
        SendMessageA(edit.Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    EXPECT_EQ(edit.Text(), "abc");
    EXPECT_EQ(enters, 1);
}

// A window of the form layer that keeps the characters it is sent.
class TCharRecorder : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<WPARAM> chars;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CHAR)
            chars.push_back(wParam);
        return TCustomControl::WndProc(message, wParam, lParam);
    }
};

std::wstring WideWindowText(HWND window) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return text;
}

// A character the code page cannot spell, typed into the program, passes the form layer's loop and its
// windows as it was typed; the key handlers see it as the stand-in 0xFF and may still swallow or replace
// it.
TEST_F(ControlsTest, TypedCharactersOutsideTheCodePageArriveAsTyped) {
    constexpr wchar_t kZhe = L'\u0416';
    struct Case {
        const char* what;
        TKeyPressEvent handler;
        std::wstring shown;
        std::vector<int> seen;
    };
    std::vector<int> seen;
    auto record = [&seen](char key) { seen.push_back(static_cast<unsigned char>(key)); };
    const Case cases[] = {
        {"no handler", nullptr, L"\u0416", {}},
        {"a handler that leaves it", [&](TObject&, char& key) { record(key); }, L"\u0416", {0xFF}},
        {"a handler that swallows it",
         [&](TObject&, char& key) {
             record(key);
             key = 0;
         },
         L"",
         {0xFF}},
        {"a handler that replaces it",
         [&](TObject&, char& key) {
             record(key);
             key = 'x';
         },
         L"x",
         {0xFF}},
    };
    for (const Case& c : cases) {
        seen.clear();
        auto& edit = Make<TEdit>(10, 10, 120, 21);
        edit.OnKeyPress = c.handler;
        PostMessageW(edit.Handle(), WM_CHAR, kZhe, 1);
        Application().ProcessMessages();
        EXPECT_EQ(WideWindowText(edit.Handle()), c.shown) << c.what;
        EXPECT_EQ(seen, c.seen) << c.what;
        form.FreeComponent(edit);
    }

    auto& own = Make<TCharRecorder>(10, 40, 50, 50);
    PostMessageW(own.Handle(), WM_CHAR, kZhe, 1);
    Application().ProcessMessages();
    EXPECT_EQ(own.chars, std::vector<WPARAM>{kZhe}) << "the form layer's own windows are UTF-16 too";
}

TEST_F(ControlsTest, SpinEditReadsItsTextClampedToItsLimits) {
    auto& spin = Make<TSpinEdit>(10, 40, 80, 22);
    struct TCase {
        int min;
        int max;
        const char* text;
        int value;
    };
    const TCase cases[] = {
        {1, 300, "500", 300}, {1, 300, "0", 1},         {1, 300, "abc", 1},       {1, 300, "", 1},
        {1, 300, " 42 ", 42}, {1, 300, "-5", 1},        {0, 0, "123456", 123456}, {0, 0, "x", 0},
        {0, 0, "-17", -17},   {0, 0, "99999999999", 0}, {5, 1023, "1024", 1023},  {5, 1023, "12.5", 5},
    };
    for (const TCase& c : cases) {
        spin.SetMinValue(c.min);
        spin.SetMaxValue(c.max);
        spin.SetText(c.text);
        EXPECT_EQ(spin.Value(), c.value) << c.text << " in " << c.min << ".." << c.max;
    }
}

TEST_F(ControlsTest, SpinEditStepsWithinItsLimitsAndFiresChangeOnce) {
    auto& spin = Make<TSpinEdit>(10, 40, 80, 22);
    spin.SetMinValue(5);
    spin.SetMaxValue(1023);
    spin.SetIncrement(2);
    int changes = 0;
    spin.OnChange = [&](TObject&) { ++changes; };
    spin.SetValue(2000);
    EXPECT_EQ(spin.Text(), "1023");
    EXPECT_EQ(changes, 1);
    spin.SetValue(1023);
    EXPECT_EQ(changes, 1);
    SendMessageA(spin.Handle(), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(spin.Value(), 1021);
    SendMessageA(spin.Handle(), WM_KEYDOWN, VK_UP, 1);
    SendMessageA(spin.Handle(), WM_KEYDOWN, VK_UP, 1);
    EXPECT_EQ(spin.Value(), 1023);
    EXPECT_EQ(changes, 3);
}

TEST_F(ControlsTest, SpinEditRewritesAnOutOfRangeTextWhenLeft) {
    auto& spin = Make<TSpinEdit>(10, 40, 80, 22);
    auto& other = Make<TEdit>(10, 80, 80, 21);
    spin.SetMinValue(1);
    spin.SetMaxValue(300);
    form.Show();
    spin.SetFocus();
    SendMessageA(spin.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("500"));
    EXPECT_EQ(spin.Text(), "500");
    other.SetFocus();
    EXPECT_EQ(spin.Text(), "300");
}

TEST_F(ControlsTest, TrackBarClampsAndFiresOnlyOnChange) {
    auto& bar = Make<TTrackBar>(10, 10, 200, 32);
    bar.SetMin(1);
    bar.SetMax(100);
    int changes = 0;
    bar.OnChange = [&](TObject&) { ++changes; };
    bar.SetPosition(500);
    EXPECT_EQ(bar.Position(), 100);
    EXPECT_EQ(SendMessageA(bar.Handle(), TBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(changes, 1);
    bar.SetPosition(100);
    EXPECT_EQ(changes, 1);
    bar.SetMax(50);
    EXPECT_EQ(bar.Position(), 50);
    EXPECT_EQ(changes, 2);
    // The user moves the thumb with the keyboard; the control reports it through its parent.
    SendMessageA(bar.Handle(), WM_KEYDOWN, VK_HOME, 1);
    EXPECT_EQ(bar.Position(), 1);
    EXPECT_EQ(changes, 3);
}

TEST_F(ControlsTest, TrackBarTakesItsStylesFromItsSettings) {
    auto& bar = Make<TTrackBar>(10, 10, 200, 32);
    bar.SetTickMarks(TTickMark::tmTopLeft);
    bar.SetFrequency(10);
    bar.SetMax(100);
    bar.SetPosition(30);
    EXPECT_NE(GetWindowLongPtrA(bar.Handle(), GWL_STYLE) & TBS_TOP, 0);
    bar.SetOrientation(TTrackBarOrientation::trVertical);
    EXPECT_NE(GetWindowLongPtrA(bar.Handle(), GWL_STYLE) & TBS_VERT, 0);
    EXPECT_EQ(SendMessageA(bar.Handle(), TBM_GETPOS, 0, 0), 30);
    EXPECT_EQ(SendMessageA(bar.Handle(), TBM_GETRANGEMAX, 0, 0), 100);
}

TEST_F(ControlsTest, CheckBoxAndRadioButtonsReportChanges) {
    auto& box = Make<TCheckBox>(10, 10, 100, 17);
    int boxClicks = 0;
    box.OnClick = [&](TObject&) { ++boxClicks; };
    SendMessageA(box.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(SendMessageA(box.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    box.SetChecked(true);
    EXPECT_EQ(boxClicks, 1);
    box.SetChecked(false);
    EXPECT_EQ(boxClicks, 2);

    auto& overwrite = Make<TRadioButton>(10, 40, 120, 17);
    auto& mix = Make<TRadioButton>(10, 60, 120, 17);
    overwrite.SetChecked(true);
    SendMessageA(mix.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(mix.Checked());
    EXPECT_FALSE(overwrite.Checked());
    EXPECT_EQ(SendMessageA(overwrite.Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(ControlsTest, RadioGroupItemIndexFollowsUserAndCode) {
    auto& group = Make<TRadioGroup>(10, 10, 150, 100);
    group.SetCaption("Response Type");
    group.SetItems({"Low Pass", "High Pass", "Band Pass"});
    int clicks = 0;
    group.OnClick = [&](TObject&) { ++clicks; };
    group.SetItemIndex(0);
    EXPECT_EQ(clicks, 1);
    group.SetItemIndex(0);
    EXPECT_EQ(clicks, 1);
    SendMessageA(group.Buttons(2).Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(group.ItemIndex(), 2);
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(group.Buttons(0).Checked());
    EXPECT_EQ(group.Buttons(1).Caption(), "High Pass");
    EXPECT_THROW(group.SetItemIndex(3), EComponentError);
}

TEST_F(ControlsTest, GroupBoxCaptionIsBoldButItsControlsKeepTheNormalFont) {
    auto& group = Make<TGroupBox>(10, 10, 200, 100);
    group.Font().SetStyle(fsBold);
    auto& label = form.Create<TLabel>();
    label.SetParent(&group);
    EXPECT_EQ(group.Font().Style(), fsBold);
    EXPECT_EQ(label.Font().Style(), 0u);
}

TEST_F(ControlsTest, WindowlessLabelGetsClicksAndMouseEnterAndLeave) {
    auto& panel = Make<TPanel>(10, 10, 200, 60);
    auto& label = form.Create<TLabel>();
    label.SetBounds(20, 20, 80, 13);
    label.SetAutoSize(false);
    label.SetCaption("Talk to us!");
    label.SetParent(&panel);
    int clicks = 0, enters = 0, leaves = 0, panelClicks = 0;
    label.OnClick = [&](TObject&) { ++clicks; };
    label.OnMouseEnter = [&](TObject&) { ++enters; };
    label.OnMouseLeave = [&](TObject&) { ++leaves; };
    panel.OnClick = [&](TObject&) { ++panelClicks; };
    SendMessageA(panel.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 25));
    EXPECT_EQ(enters, 1);
    SendMessageA(panel.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 25));
    SendMessageA(panel.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(31, 26));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(panelClicks, 0);
    SendMessageA(panel.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(150, 50));
    EXPECT_EQ(leaves, 1);
    SendMessageA(panel.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 50));
    SendMessageA(panel.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(150, 50));
    EXPECT_EQ(panelClicks, 1);
}

TEST_F(ControlsTest, AutoSizeLabelFollowsItsText) {
    auto& label = Make<TPanel>(0, 0, 10, 10);
    auto& text = form.Create<TLabel>();
    text.SetParent(&label);
    text.SetCaption("00:00.0");
    const int narrow = text.Width();
    text.Font().SetHeight(-40);
    EXPECT_GT(text.Width(), narrow);
    EXPECT_GE(text.Height(), 40);
}

// A custom control that draws a known picture.
class TSquares : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override {
        Canvas().Brush.Color = clBlue;
        Canvas().FillRect(ClientRect());
        Canvas().Brush.Color = clRed;
        Canvas().FillRect(TRect{2, 2, 10, 10});
        Canvas().Pen.Color = clYellow;
        Canvas().MoveTo(0, 15);
        Canvas().LineTo(20, 15);
    }
};

TEST_F(ControlsTest, ControlsPaintedIntoAMemoryContextShowTheirPixels) {
    auto& panel = Make<TPanel>(10, 10, 200, 100);
    panel.SetColor(0xEFEFEF);
    Make<TSquares>(panel, 100, 10, 20, 20);
    auto& bevel = form.Create<TBevel>();
    bevel.SetBounds(10, 50, 60, 30);
    bevel.SetStyle(TBevelStyle::bsRaised);
    bevel.SetParent(&panel);
    auto& label = form.Create<TLabel>();
    label.SetBounds(10, 10, 80, 30);
    label.SetAutoSize(false);
    label.SetCaption("WWWW");
    label.Font().SetHeight(-24);
    label.Font().SetColor(clBlack);
    label.SetParent(&panel);

    TBitmap picture(200, 100);
    panel.PaintTo(picture.DC(), 0, 0);

    struct TProbe {
        int x;
        int y;
        COLORREF expected;
    };
    const TProbe probes[] = {
        {150, 80, RGB(0xEF, 0xEF, 0xEF)},        // the panel's colour
        {0, 0, GetSysColor(COLOR_BTNHIGHLIGHT)}, // raised outer bevel, top left
        {199, 99, GetSysColor(COLOR_BTNSHADOW)}, // and bottom right
        {105, 15, RGB(255, 0, 0)},               // the custom control's red square
        {115, 22, RGB(0, 0, 255)},               // its blue background
        {105, 25, RGB(255, 255, 0)},             // its yellow line
    };
    for (const TProbe& probe : probes) {
        EXPECT_EQ(picture.Pixel(probe.x, probe.y), probe.expected) << probe.x << "," << probe.y;
    }
    // The raised bevel: light top left, dark bottom right, both unlike the panel.
    EXPECT_NE(picture.Pixel(10, 50), picture.Pixel(69, 79));
    EXPECT_NE(picture.Pixel(10, 50), RGB(0xEF, 0xEF, 0xEF));
    EXPECT_NE(picture.Pixel(69, 79), RGB(0xEF, 0xEF, 0xEF));
    int dark = 0;
    for (int y = 10; y < 40; ++y) {
        for (int x = 10; x < 90; ++x) {
            dark += picture.Pixel(x, y) == RGB(0, 0, 0) ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 20) << "the label's text";
}

TEST_F(ControlsTest, PanelHintBecomesATooltip) {
    auto& panel = Make<TPanel>(10, 10, 100, 40);
    panel.SetHint("Launch default e-mail client");
    panel.SetShowHint(true);
    HWND tip = Application().HintWindow();
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = form.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(panel.Handle());
    char text[80] = {};
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_STREQ(text, "Launch default e-mail client");
}

TEST_F(ControlsTest, OwnerFreesWhatItOwnsAndControlsLeaveTheirParent) {
    auto& panel = Make<TPanel>(10, 10, 100, 40);
    auto& button = Make<TButton>(panel, 5, 5, 50, 20);
    HWND buttonWindow = button.Handle();
    ASSERT_EQ(panel.ControlCount(), 1);
    form.FreeComponent(button);
    EXPECT_EQ(panel.ControlCount(), 0);
    EXPECT_FALSE(IsWindow(buttonWindow));
    EXPECT_THROW(form.FreeComponent(form), EComponentError);
}

TEST_F(ControlsTest, ControlIsFoundFromItsWindowOnlyWhileTheWindowLives) {
    // Our own window class (a panel) and a system control's window (a button): a window that is gone
    // must never lead to its freed control.
    auto& panel = Make<TPanel>(10, 10, 100, 40);
    auto& button = Make<TButton>(120, 10, 50, 20);
    for (TWinControl* control : {static_cast<TWinControl*>(&panel), static_cast<TWinControl*>(&button)}) {
        const HWND window = control->Handle();
        EXPECT_EQ(TWinControl::FromHandle(window), control);
        form.FreeComponent(*control);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(TWinControl::FromHandle(window), nullptr);
    }
    EXPECT_EQ(TWinControl::FromHandle(form.Handle()), &form);
    EXPECT_EQ(TWinControl::FromHandle(nullptr), nullptr);
}

} // namespace
} // namespace tarvola
