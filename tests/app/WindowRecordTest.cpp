// A record of every window of the program: each control's class, name, caption, geometry, window styles,
// state, limits and which of its events are bound, one line each. Changes to how windows are declared
// (layout tables, event binding) must leave this record as it was: set TARVOLA_WINDOW_RECORD to a file
// name to write it, and compare the files of two builds.
#include "app/Tarvola_AboutBox.h"
#include "app/Tarvola_BugReports.h"
#include "app/uTarvola_Application.h"
#include "audio/PCMPropertiesDlg.h"
#include "forms/Application.h"
#include "forms/Buttons.h"
#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/FileDialogs.h"
#include "forms/Menus.h"
#include "forms/StdCtrls.h"
#include "forms/Timer.h"
#include "kernel/AmplifyDlg.h"
#include "kernel/BlockAdjustDlg.h"
#include "kernel/HarmonizeDlg.h"
#include "kernel/KernelDesigner.h"
#include "kernel/MirrorDlg.h"
#include "kernel/StatsForm.h"
#include "kernel/TarvolaProcess.h"
#include "kernel/designers/EchoDesignerForm.h"
#include "kernel/designers/FilterDesignerForm.h"
#include "kernel/designers/ResonanceDesignerForm.h"
#include "kernel/designers/ReverbDesignerForm.h"

#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <cxxabi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <typeinfo>

namespace tarvola {
namespace {

std::string ClassName(const TObject& object) {
    const char* mangled = typeid(object).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                std::free);
    return status == 0 && name ? std::string(name.get()) : std::string(mangled);
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) {
        out += (out.empty() ? "" : "|") + item;
    }
    return Quoted(out);
}

template <class Event>
void Flag(std::ostream& out, const char* name, const Event& event) {
    out << ' ' << name << '=' << (event ? 1 : 0);
}

class TWindowRecorder {
public:
    explicit TWindowRecorder(std::string folder) : folder_(std::move(folder)) {}

    void Record(const std::string& title, TForm& form) {
        out_ << "== " << title << '\n';
        visited_.clear();
        Control(form, 0);
        Owned(form, 0);
    }
    std::string Text() const { return Without(out_.str(), folder_); }

private:
    static std::string Without(std::string text, const std::string& folder) {
        if (folder.empty()) {
            return text;
        }
        for (std::size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at)) {
            text.replace(at, folder.size(), "<folder>");
        }
        return text;
    }

    void Control(TControl& control, int depth) {
        visited_.insert(&control);
        out_ << std::string(2 * depth, ' ') << ClassName(control) << ' ' << Quoted(control.Name())
             << " caption=" << Quoted(control.Caption()) << " bounds=" << control.Left() << ','
             << control.Top() << ',' << control.Width() << ',' << control.Height()
             << " visible=" << control.Visible() << " enabled=" << control.Enabled()
             << " hint=" << Quoted(control.Hint()) << " colour=" << control.Color()
             << " font=" << Quoted(control.Font().Name()) << '/' << control.Font().Height() << '/'
             << control.Font().Style() << '/' << control.Font().Color()
             << " cursor=" << static_cast<int>(control.Cursor());
        Flag(out_, "OnClick", control.OnClick);
        Flag(out_, "OnDblClick", control.OnDblClick);
        Flag(out_, "OnMouseEnter", control.OnMouseEnter);
        Flag(out_, "OnMouseLeave", control.OnMouseLeave);
        Flag(out_, "OnMouseDown", control.OnMouseDown);
        Flag(out_, "OnMouseUp", control.OnMouseUp);
        Flag(out_, "OnMouseMove", control.OnMouseMove);
        auto* windowed = dynamic_cast<TWinControl*>(&control);
        if (windowed != nullptr) {
            WindowPart(*windowed);
        }
        Specific(control);
        out_ << '\n';
        if (windowed != nullptr) {
            for (int i = 0; i < windowed->ControlCount(); ++i) {
                Control(windowed->Controls(i), depth + 1);
            }
        }
    }

    void WindowPart(TWinControl& control) {
        out_ << " tabstop=" << control.TabStop();
        if (control.HandleAllocated()) {
            out_ << " style=" << std::hex << GetWindowLongA(control.Handle(), GWL_STYLE)
                 << " exstyle=" << GetWindowLongA(control.Handle(), GWL_EXSTYLE) << std::dec;
        } else {
            out_ << " nohandle";
        }
        Flag(out_, "OnKeyPress", control.OnKeyPress);
        Flag(out_, "OnKeyDown", control.OnKeyDown);
        Flag(out_, "OnKeyUp", control.OnKeyUp);
        Flag(out_, "OnEnter", control.OnEnter);
        Flag(out_, "OnExit", control.OnExit);
        Flag(out_, "OnResize", control.OnResize);
    }

    void Specific(TControl& control) {
        if (auto* form = dynamic_cast<TForm*>(&control)) {
            out_ << " border=" << static_cast<int>(form->BorderStyle()) << " icons=" << form->BorderIcons()
                 << " position=" << static_cast<int>(form->Position())
                 << " formstyle=" << static_cast<int>(form->FormStyle()) << " client=" << form->ClientWidth()
                 << ',' << form->ClientHeight()
                 << " menu=" << Quoted(form->Menu() ? form->Menu()->Name() : "");
            Flag(out_, "OnClose", form->OnClose);
            Flag(out_, "OnShow", form->OnShow);
            Flag(out_, "OnHide", form->OnHide);
            Flag(out_, "OnActivate", form->OnActivate);
            Flag(out_, "OnDeactivate", form->OnDeactivate);
        }
        if (auto* button = dynamic_cast<TButton*>(&control)) {
            out_ << " default=" << button->Default() << " cancel=" << button->Cancel()
                 << " modalresult=" << button->ModalResult();
        }
        if (auto* label = dynamic_cast<TLabel*>(&control)) {
            out_ << " alignment=" << static_cast<int>(label->Alignment()) << " autosize=" << label->AutoSize()
                 << " wordwrap=" << label->WordWrap() << " transparent=" << label->Transparent()
                 << " layout=" << static_cast<int>(label->Layout());
        }
        if (auto* edit = dynamic_cast<TEdit*>(&control)) {
            out_ << " maxlength=" << edit->MaxLength() << " readonly=" << edit->ReadOnly();
            Flag(out_, "OnChange", edit->OnChange);
        }
        if (auto* spin = dynamic_cast<TSpinEdit*>(&control)) {
            out_ << " min=" << spin->MinValue() << " max=" << spin->MaxValue()
                 << " increment=" << spin->Increment() << " editor=" << spin->EditorEnabled();
        }
        if (auto* check = dynamic_cast<TCheckBox*>(&control)) {
            out_ << " checked=" << check->Checked();
        }
        if (auto* radio = dynamic_cast<TRadioButton*>(&control)) {
            out_ << " checked=" << radio->Checked();
        }
        if (auto* group = dynamic_cast<TRadioGroup*>(&control)) {
            out_ << " items=" << Joined(group->Items()) << " index=" << group->ItemIndex()
                 << " columns=" << group->Columns();
        }
        if (auto* combo = dynamic_cast<TComboBox*>(&control)) {
            out_ << " style=" << static_cast<int>(combo->Style()) << " items=" << Joined(combo->Items())
                 << " index=" << combo->ItemIndex();
            Flag(out_, "OnSelect", combo->OnSelect);
            Flag(out_, "OnChange", combo->OnChange);
        }
        if (auto* track = dynamic_cast<TTrackBar*>(&control)) {
            out_ << " min=" << track->Min() << " max=" << track->Max() << " position=" << track->Position()
                 << " frequency=" << track->Frequency() << " page=" << track->PageSize()
                 << " line=" << track->LineSize() << " orientation=" << static_cast<int>(track->Orientation())
                 << " ticks=" << static_cast<int>(track->TickMarks()) << '/'
                 << static_cast<int>(track->TickStyle()) << " thumb=" << track->ThumbLength();
            Flag(out_, "OnChange", track->OnChange);
        }
        if (auto* progress = dynamic_cast<TProgressBar*>(&control)) {
            out_ << " min=" << progress->Min() << " max=" << progress->Max()
                 << " position=" << progress->Position() << " step=" << progress->Step()
                 << " smooth=" << progress->Smooth();
        }
        if (auto* panel = dynamic_cast<TPanel*>(&control)) {
            out_ << " bevel=" << static_cast<int>(panel->BevelOuter()) << '/'
                 << static_cast<int>(panel->BevelInner()) << '/' << panel->BevelWidth() << '/'
                 << panel->BorderWidth() << " alignment=" << static_cast<int>(panel->Alignment());
        }
        if (auto* bevel = dynamic_cast<TBevel*>(&control)) {
            out_ << " shape=" << static_cast<int>(bevel->Shape())
                 << " style=" << static_cast<int>(bevel->Style());
        }
        if (auto* pages = dynamic_cast<TPageControl*>(&control)) {
            out_ << " pages=" << pages->PageCount() << " active=" << pages->ActivePageIndex();
            Flag(out_, "OnChange", pages->OnChange);
        }
        if (auto* labeled = dynamic_cast<TLabeledEdit*>(&control)) {
            out_ << " label=" << Quoted(labeled->EditLabel().Caption())
                 << " spacing=" << labeled->LabelSpacing();
        }
        if (auto* image = dynamic_cast<TImage*>(&control)) {
            out_ << " stretch=" << image->Stretch() << " center=" << image->Center();
        }
    }

    // Components that are no control in the form's tree: menus and their items, timers, file dialogs,
    // image lists, and controls without a parent.
    void Owned(TComponent& owner, int depth) {
        for (int i = 0; i < owner.ComponentCount(); ++i) {
            TComponent& component = owner.Components(i);
            if (visited_.count(&component) == 0) {
                out_ << "  owned " << std::string(2 * depth, ' ') << ClassName(component) << ' '
                     << Quoted(component.Name());
                NonVisual(component);
                out_ << '\n';
            }
            Owned(component, depth + 1);
        }
    }

    void NonVisual(TComponent& component) {
        if (auto* control = dynamic_cast<TControl*>(&component)) {
            out_ << " unparented control caption=" << Quoted(control->Caption())
                 << " bounds=" << control->Left() << ',' << control->Top() << ',' << control->Width() << ','
                 << control->Height() << " visible=" << control->Visible()
                 << " enabled=" << control->Enabled();
            Flag(out_, "OnClick", control->OnClick);
        }
        if (auto* item = dynamic_cast<TMenuItem*>(&component)) {
            out_ << " caption=" << Quoted(item->Caption()) << " shortcut=" << item->ShortCut()
                 << " enabled=" << item->Enabled() << " checked=" << item->Checked()
                 << " parent=" << Quoted(item->Parent() ? item->Parent()->Name() : "")
                 << " index=" << (item->Parent() ? IndexIn(*item->Parent(), *item) : -1)
                 << " items=" << item->Count();
            Flag(out_, "OnClick", item->OnClick);
        }
        if (auto* menu = dynamic_cast<TMenu*>(&component)) {
            out_ << " items=" << menu->Items().Count();
        }
        if (auto* popup = dynamic_cast<TPopupMenu*>(&component)) {
            Flag(out_, "OnPopup", popup->OnPopup);
        }
        if (auto* timer = dynamic_cast<TTimer*>(&component)) {
            out_ << " enabled=" << timer->Enabled() << " interval=" << timer->Interval();
            Flag(out_, "OnTimer", timer->OnTimer);
        }
        if (auto* dialog = dynamic_cast<TOpenDialog*>(&component)) {
            out_ << " title=" << Quoted(dialog->Title()) << " filter=" << Quoted(dialog->Filter())
                 << " index=" << dialog->FilterIndex() << " dir=" << Quoted(dialog->InitialDir())
                 << " ext=" << Quoted(dialog->DefaultExt()) << " options=" << dialog->Options();
            Flag(out_, "OnTypeChange", dialog->OnTypeChange);
        }
        if (auto* images = dynamic_cast<TImageList*>(&component)) {
            out_ << " size=" << images->Width() << ',' << images->Height() << " count=" << images->Count();
        }
    }

    static int IndexIn(const TMenuItem& parent, const TMenuItem& item) {
        for (int i = 0; i < parent.Count(); ++i) {
            if (&parent.Items(i) == &item) {
                return i;
            }
        }
        return -1;
    }

    std::string folder_;
    std::ostringstream out_;
    std::set<const TComponent*> visited_;
};

// Makes a designer dialog, sets it up over an empty model and a fresh program folder (its defaults), and
// records it.
template <class Designer>
void RecordDesigner(TWindowRecorder& recorder, const std::string& title, const test::TTempFolder& folder) {
    KernelModel model;
    Designer designer(nullptr);
    designer.Setup(44100, 0, folder.Folder(), model);
    recorder.Record(title, designer);
}

TEST(WindowRecord, EveryWindowOfTheProgramIsMadeAndRecorded) {
    Application().Initialize();
    test::TTempFolder folder;
    test::TScriptedPrompts prompts;
    TWindowRecorder recorder(folder.Folder());
    {
        auto main = std::make_unique<TobjTarvola>(nullptr, folder.Folder());
        main->Show();
        test::PumpPending();
        recorder.Record("main window", *main);
        TobjKernelDesigner& designer = main->Designer();
        recorder.Record("kernel designer", designer);
        designer.Find<TMenuItem>("MnItm_AbleStats").Click();
        test::PumpPending();
        ASSERT_NE(designer.StatsWindow(), nullptr);
        recorder.Record("statistics window", *designer.StatsWindow());
        {
            TobjAmplifyDlg dialog(&designer);
            recorder.Record("amplify", dialog);
        }
        {
            TobjBlockAdjust dialog(&designer);
            recorder.Record("block adjust", dialog);
        }
        {
            TobjHarmonize dialog(&designer);
            recorder.Record("harmonize", dialog);
        }
        {
            TobjMirror dialog(&designer);
            recorder.Record("mirror", dialog);
        }
        {
            TobjProgressMeter meter(main.get());
            recorder.Record("progress window", meter);
        }
        test::PumpPending();
    }
    RecordDesigner<TobjFilterDesigner>(recorder, "filter designer", folder);
    RecordDesigner<TobjEchoDesigner>(recorder, "echo designer", folder);
    RecordDesigner<TobjResnceDesigner>(recorder, "resonance designer", folder);
    RecordDesigner<TobjReverbDesigner>(recorder, "reverb designer", folder);
    {
        TobjPCMParamsDlg dialog(nullptr);
        recorder.Record("raw PCM dialog", dialog);
    }
    {
        TobjAboutBox about(nullptr);
        recorder.Record("about", about);
    }
    {
        TobjBugReports reports(nullptr);
        recorder.Record("bug report", reports);
    }
    const std::string record = recorder.Text();
    EXPECT_NE(record.find("== bug report"), std::string::npos);
    if (const char* path = std::getenv("TARVOLA_WINDOW_RECORD"); path != nullptr && *path != '\0') {
        std::ofstream(path, std::ios::binary) << record;
    }
}

} // namespace
} // namespace tarvola
