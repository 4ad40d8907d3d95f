#include "app/Tarvola_AboutBox.h"

#include "app/uTarvola_Application.h"
#include "forms/Controls.h"
#include "forms/Layout.h"
#include "forms/Shell.h"
#include "forms/StdCtrls.h"

namespace tarvola {

namespace {

const TFormLayout kAboutLayout{
    {{"Caption", "About"},
     {"BorderStyle", "bsDialog"},
     {"Position", "poScreenCenter"},
     {"ClientWidth", "330"},
     {"ClientHeight", "230"}},
    {
        {"TPanel", "Panel1", "", 8, 8, 314, 180, {{"BevelOuter", "bvLowered"}}},
        {"TImage", "ProgramIcon", "Panel1", 8, 8, 32, 32, {}},
        {"TLabel",
         "ProductName",
         "Panel1",
         56,
         10,
         240,
         18,
         {{"Caption", "Tarvola"}, {"Font.Style", "Bold"}, {"Font.Height", "-16"}}},
        {"TLabel", "Version", "Panel1", 56, 32, 240, 14, {{"Caption", "Version beta 00.02.03"}}},
        {"TLabel", "Edition", "Panel1", 56, 48, 240, 14, {{"Caption", "Windows ME Edition"}}},
        {"TLabel",
         "Comments",
         "Panel1",
         8,
         70,
         298,
         78,
         {{"Caption",
           "This is a platform for ground-up design of impulse response based effects. These include "
           "filters, echoes, reverbs and resonant effects. It is intended to allow unprecedented "
           "flexibility for SERIOUS users."},
          {"WordWrap", "True"}}},
        {"TLabel",
         "Label1",
         "Panel1",
         8,
         154,
         298,
         16,
         {{"Caption", "https://tarvola.example/"},
          {"Alignment", "taCenter"},
          {"Font.Style", "Underline"},
          {"Font.Color", "clBlue"}}},
        {"TButton",
         "OKButton",
         "",
         127,
         196,
         75,
         25,
         {{"Caption", "OK"}, {"Default", "True"}, {"Cancel", "True"}}},
    }};

} // namespace

TobjAboutBox::TobjAboutBox(TComponent* owner) : TForm(owner) {
    LoadLayout(kAboutLayout);
    auto& link = Find<TLabel>("Label1");
    Bind(link.OnClick, this, &TobjAboutBox::OpenURL);
    Bind(link.OnMouseEnter, this, &TobjAboutBox::Label1MouseEnter);
    Bind(link.OnMouseLeave, this, &TobjAboutBox::Label1MouseLeave);
    Bind(Find<TButton>("OKButton").OnClick, this, &TobjAboutBox::OK_Click);
    link.SetCaption(WebSiteAddress);
}

void TobjAboutBox::OK_Click(TObject&) {
    SetModalResult(mrOk);
}

void TobjAboutBox::OpenURL(TObject&) {
    ShellOpen(WebSiteAddress);
}

void TobjAboutBox::Label1MouseEnter(TObject&) {
    Find<TLabel>("Label1").SetCursor(TCursor::crHandPoint);
}

void TobjAboutBox::Label1MouseLeave(TObject&) {
    Find<TLabel>("Label1").SetCursor(TCursor::crDefault);
}

} // namespace tarvola
