#include "app/Tarvola_BugReports.h"

#include "app/uTarvola_Application.h"
#include "forms/Controls.h"
#include "forms/Layout.h"
#include "forms/Shell.h"
#include "forms/StdCtrls.h"

namespace tarvola {

namespace {

const TFormLayout kBugReportsLayout{
    {{"Caption", "Bugs, Suggestions, Comments"},
     {"BorderStyle", "bsDialog"},
     {"Position", "poScreenCenter"},
     {"ClientWidth", "360"},
     {"ClientHeight", "220"}},
    {
        {"TLabel",
         "Label1",
         "",
         10,
         10,
         340,
         44,
         {{"Caption",
           "  Your comments, suggestions and bug reports are greatly valued. Please forward whatever "
           "information you have to the following address...."},
          {"WordWrap", "True"}}},
        {"TLabel",
         "Label2",
         "",
         10,
         62,
         340,
         16,
         {{"Caption", "support@tarvola.example"},
          {"Alignment", "taCenter"},
          {"Font.Style", "Underline"},
          {"Font.Color", "clBlue"}}},
        {"TLabel",
         "Label3",
         "",
         10,
         88,
         340,
         86,
         {{"Caption", "  If reporting a bug, please be as specific as possible. No amount of detail will go "
                      "unappreciated. We would also like to know if our products meet your requirements. If "
                      "you have any constructive ideas, then don't hesitate to tell us!"},
          {"WordWrap", "True"}}},
        {"TButton",
         "OKBtn",
         "",
         142,
         186,
         75,
         25,
         {{"Caption", "OK"}, {"Default", "True"}, {"Cancel", "True"}}},
    }};

} // namespace

TobjBugReports::TobjBugReports(TComponent* owner) : TForm(owner) {
    LoadLayout(kBugReportsLayout);
    auto& link = Find<TLabel>("Label2");
    Bind(link.OnClick, this, &TobjBugReports::SendEmail);
    Bind(link.OnMouseEnter, this, &TobjBugReports::Label2_MouseEnter);
    Bind(link.OnMouseLeave, this, &TobjBugReports::Label2_MouseLeave);
    Bind(Find<TButton>("OKBtn").OnClick, this, &TobjBugReports::OKBtn_Click);
    link.SetCaption(SupportMailAddress);
}

void TobjBugReports::OKBtn_Click(TObject&) {
    SetModalResult(mrOk);
}

void TobjBugReports::SendEmail(TObject&) {
    ShellOpen(std::string("mailto:") + SupportMailAddress + "?subject=Support");
}

void TobjBugReports::Label2_MouseEnter(TObject&) {
    Find<TLabel>("Label2").SetCursor(TCursor::crHandPoint);
}

void TobjBugReports::Label2_MouseLeave(TObject&) {
    Find<TLabel>("Label2").SetCursor(TCursor::crDefault);
}

} // namespace tarvola
