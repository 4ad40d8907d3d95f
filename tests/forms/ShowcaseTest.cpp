// One form with one of each control, made from a layout table: every class loads, paints, and the form reads
// like an ordinary Windows form. With TARVOLA_SHOWCASE_SECONDS set, the form stays on screen that long (for a
// screenshot).
#include "forms/Buttons.h"
#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/Form.h"
#include "forms/Menus.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tarvola {
namespace {

const TFormLayout kShowcase{
    {{"Caption", "Tarvola controls"},
     {"BorderStyle", "bsSingle"},
     {"BorderIcons", "biSystemMenu biMinimize"},
     {"ClientWidth", "560"},
     {"ClientHeight", "400"},
     {"Menu", "MainMenu1"},
     {"Position", "poScreenCenter"}},
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
        {"TMenuItem",
         "SubMenu_Edit",
         "MainMenu1",
         0,
         0,
         0,
         0,
         {{"Caption", "&Edit/Play"}, {"Enabled", "False"}}},
        {"TMenuItem", "SubMenu_Help", "MainMenu1", 0, 0, 0, 0, {{"Caption", "Help"}}},
        {"TMenuItem", "MnItm_About", "SubMenu_Help", 0, 0, 0, 0, {{"Caption", "About"}}},
        {"TTrackBar",
         "PosnIndctr",
         "",
         6,
         4,
         548,
         32,
         {{"Min", "1"},
          {"Max", "100"},
          {"Frequency", "10"},
          {"TickMarks", "tmTopLeft"},
          {"Position", "30"},
          {"Cursor", "crHandPoint"}}},
        {"TBevel", "Bevel1", "", 8, 44, 180, 56, {{"Style", "bsRaised"}}},
        {"TLabel",
         "Txt_Position",
         "",
         12,
         48,
         172,
         48,
         {{"Caption", "00:00.0"},
          {"Font.Name", "Arial"},
          {"Font.Height", "-40"},
          {"Alignment", "taCenter"},
          {"AutoSize", "False"}}},
        {"TButton", "Btn_LoadSave", "", 200, 44, 75, 25, {{"Caption", "Open"}}},
        {"TButton", "Btn_Process", "", 280, 44, 75, 25, {{"Caption", "Process"}, {"Enabled", "False"}}},
        {"TBitBtn", "BtBtn_UpFolder", "", 360, 44, 24, 22, {}},
        {"TCheckBox",
         "ChBx_LeftChnl",
         "",
         200,
         76,
         100,
         17,
         {{"Caption", "Left Channel"}, {"Checked", "True"}}},
        {"TRadioButton",
         "RadBtn_Overwrite",
         "",
         310,
         76,
         110,
         17,
         {{"Caption", "Overwrite kernel"}, {"Checked", "True"}}},
        {"TRadioButton", "RadBtn_MixInto", "", 420, 76, 110, 17, {{"Caption", "Mix into kernel"}}},
        {"TGroupBox",
         "GroupBox1",
         "",
         8,
         108,
         260,
         120,
         {{"Caption", "Audio Parameters"}, {"Font.Style", "Bold"}}},
        {"TLabel", "Label1", "GroupBox1", 10, 20, 80, 13, {{"Caption", "Sample Rate :"}}},
        {"TLabel", "Lbl_SmplRate", "GroupBox1", 110, 20, 80, 13, {{"Caption", "44100"}}},
        {"TEdit",
         "Edt_PrstEntry",
         "GroupBox1",
         10,
         44,
         120,
         21,
         {{"Text", "Preset name"}, {"MaxLength", "50"}}},
        {"TSpinEdit",
         "Spn_ViewNmbr",
         "GroupBox1",
         140,
         44,
         60,
         22,
         {{"MinValue", "1"}, {"MaxValue", "10"}, {"Value", "1"}, {"EditorEnabled", "False"}}},
        {"TLabeledEdit",
         "Edt_Value",
         "GroupBox1",
         10,
         90,
         80,
         21,
         {{"EditLabel.Caption", "Datum Value"}, {"Text", "0.000"}}},
        {"TComboBox",
         "CmBx_Source",
         "GroupBox1",
         110,
         90,
         90,
         21,
         {{"Style", "csDropDownList"}, {"Items", "Pass|Input|Output"}, {"ItemIndex", "1"}}},
        {"TRadioGroup",
         "RdGp_Harmonic",
         "",
         280,
         108,
         130,
         120,
         {{"Caption", "Harmonic Number"},
          {"Items", "2.0  &&  2.0|3.0  &&  1.5|4.0  &&  1.33"},
          {"ItemIndex", "0"}}},
        {"TPanel",
         "Pnl_MailSupport",
         "",
         420,
         108,
         132,
         60,
         {{"Color", "$EFEFEF"}, {"Hint", "Launch default e-mail client"}, {"ShowHint", "True"}}},
        {"TLabel",
         "Label2",
         "Pnl_MailSupport",
         8,
         8,
         100,
         13,
         {{"Caption", "Talk to us!"}, {"Transparent", "True"}}},
        {"TLabel",
         "Label3",
         "Pnl_MailSupport",
         8,
         30,
         120,
         13,
         {{"Caption", "Bugs, email support"},
          {"Font.Style", "Underline"},
          {"Font.Color", "clBlue"},
          {"Cursor", "crHandPoint"},
          {"Transparent", "True"}}},
        {"TImage", "Image1", "", 420, 176, 32, 32, {{"Picture", "ApplicationIcon"}}},
        {"TStaticText", "StaticText1", "", 460, 184, 90, 17, {{"Caption", "Processing..."}}},
        {"TProgressBar",
         "ProgressBar1",
         "",
         8,
         236,
         544,
         16,
         {{"Min", "1"}, {"Max", "100"}, {"Position", "40"}, {"Smooth", "True"}}},
        {"TPageControl", "PageCtrl", "", 8, 260, 544, 132, {}},
        {"TTabSheet", "Page1", "PageCtrl", 0, 0, 0, 0, {{"Caption", "Designer p1"}}},
        {"TTabSheet", "Page2", "PageCtrl", 0, 0, 0, 0, {{"Caption", "Final"}}},
        {"TTrackBar",
         "TkBr_ERSize",
         "Page1",
         10,
         8,
         40,
         90,
         {{"Orientation", "trVertical"},
          {"Min", "-50"},
          {"Max", "50"},
          {"Frequency", "10"},
          {"TickMarks", "tmBoth"}}},
        {"TLabel",
         "Label4",
         "Page1",
         60,
         10,
         300,
         40,
         {{"Caption", "What should the initial effect - the immediate surroundings of the source - be like?"},
          {"WordWrap", "True"},
          {"AutoSize", "False"}}},
        {"TButton", "Btn_Generate", "Page2", 10, 10, 100, 25, {{"Caption", "Generate Kernel"}}},
    }};

class TShowcase : public TForm {
public:
    explicit TShowcase(TComponent* owner) : TForm(owner) {
        LoadLayout(kShowcase);
        TBitmap glyph(16, 16);
        glyph.Canvas().Brush.Color = clFuchsia;
        glyph.Canvas().FillRect(TRect{0, 0, 16, 16});
        glyph.Canvas().Brush.Color = 0x00C0C0;
        glyph.Canvas().FillRect(TRect{1, 4, 15, 14});
        glyph.Canvas().FillRect(TRect{1, 2, 7, 4});
        Find<TBitBtn>("BtBtn_UpFolder").SetGlyph(glyph);
    }
};

TEST(Showcase, EveryControlLoadsAndPaints) {
    TShowcase form(nullptr);
    form.Show();
    test::PumpPending();
    EXPECT_EQ(form.ClientWidth(), 560);
    EXPECT_EQ(form.Find<TComboBox>("CmBx_Source").Text(), "Input");
    EXPECT_EQ(form.Find<TPageControl>("PageCtrl").ActivePage(), &form.Find<TTabSheet>("Page1"));
    EXPECT_FALSE(form.Find<TTabSheet>("Page2").Visible());
    auto& edit = form.Find<TLabeledEdit>("Edt_Value");
    EXPECT_EQ(edit.EditLabel().Caption(), "Datum Value");
    EXPECT_EQ(edit.EditLabel().Top() + edit.EditLabel().Height() + edit.LabelSpacing(), edit.Top());
    EXPECT_EQ(form.Find<TLabel>("Label1").Font().Style(), 0u);

    TBitmap picture(form.ClientWidth(), form.ClientHeight());
    form.PaintTo(picture.DC(), 0, 0);
    EXPECT_EQ(picture.Pixel(540, 160), RGB(0xEF, 0xEF, 0xEF));

    if (const char* seconds = std::getenv("TARVOLA_SHOWCASE_SECONDS")) {
        test::PumpFor(std::chrono::seconds(std::atoi(seconds)));
    }
}

TEST(Showcase, PageChangesFireForUserAndCode) {
    TShowcase form(nullptr);
    auto& pages = form.Find<TPageControl>("PageCtrl");
    int changes = 0;
    pages.OnChange = [&](TObject&) { ++changes; };
    pages.SetActivePageIndex(1);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(form.Find<TTabSheet>("Page2").Visible());
    pages.SetActivePageIndex(1);
    EXPECT_EQ(changes, 1);
    // The user clicks the first tab: the control selects it and tells its parent.
    TabCtrl_SetCurSel(pages.Handle(), 0);
    NMHDR notice{pages.Handle(), 0, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(form.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(form.Find<TTabSheet>("Page2").Visible());
}

TEST(Showcase, ComboBoxSelectIsTheUsersChangeIsEveryones) {
    TShowcase form(nullptr);
    auto& combo = form.Find<TComboBox>("CmBx_Source");
    int selects = 0;
    int changes = 0;
    combo.OnSelect = [&](TObject&) { ++selects; };
    combo.OnChange = [&](TObject&) { ++changes; };
    combo.SetText("Pass");
    EXPECT_EQ(combo.ItemIndex(), 0);
    EXPECT_EQ(selects, 0);
    EXPECT_EQ(changes, 1);
    SendMessageA(combo.Handle(), CB_SETCURSEL, 2, 0);
    SendMessageA(form.Find<TGroupBox>("GroupBox1").Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo.Handle()));
    EXPECT_EQ(combo.Text(), "Output");
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(changes, 2);
}

TEST(Showcase, TransparentGlyphLeavesItsBackgroundColourOut) {
    TBitmap glyph(4, 2);
    glyph.Canvas().Brush.Color = clFuchsia;
    glyph.Canvas().FillRect(TRect{0, 0, 4, 2});
    glyph.Canvas().SetPixel(1, 0, clRed);
    TBitmap target(4, 2);
    target.Canvas().Brush.Color = clWhite;
    target.Canvas().FillRect(TRect{0, 0, 4, 2});
    DrawTransparent(target.DC(), 0, 0, glyph, RGB(255, 0, 255));
    EXPECT_EQ(target.Pixel(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(target.Pixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(target.Pixel(3, 1), RGB(255, 255, 255));
}

} // namespace
} // namespace tarvola
