#include "forms/Dialogs.h"
#include "forms/Form.h"
#include "kernel/AmplifyDlg.h"
#include "kernel/BlockAdjustDlg.h"
#include "kernel/HarmonizeDlg.h"
#include "kernel/MirrorDlg.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WindowDriver.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

namespace tarvola {
namespace {

// Moves the thumb like the user's mouse: the control moves, then tells its parent.
void DragTrackBar(TTrackBar& bar, int position) {
    SendMessageA(bar.Handle(), TBM_SETPOS, TRUE, position);
    SendMessageA(GetParent(bar.Handle()), WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(bar.Handle()));
}

// Types a text into the edit, as the user would, without confirming it.
void Type(TEdit& edit, const char* text) {
    SetWindowTextA(edit.Handle(), text);
}

// Types a text and presses Enter through the application's message loop.
void TypeAndEnter(TEdit& edit, const char* text) {
    Type(edit, text);
    test::PostKey(edit.Handle(), VK_RETURN);
    test::PumpPending();
}

void Click(const TForm& dialog, const char* button) {
    test::ClickButton(dialog.Find<TButton>(button).Handle());
}

void Choose(const TRadioGroup& group, int item) {
    test::ClickButton(group.Buttons(item).Handle());
}

struct DialogKind {
    const char* caption;
    std::function<std::unique_ptr<TobjEditOperationDlg>(TComponent*)> make;
    int clientWidth, clientHeight;
    int decimals;
    int start;
    const char* startText;
    const char* topText; // the thumb at the top
    const char* bottomText;
};

template <class T>
std::unique_ptr<TobjEditOperationDlg> Make(TComponent* owner) {
    return std::make_unique<T>(owner);
}

const DialogKind kKinds[] = {
    {"Amplify", Make<TobjAmplifyDlg>, 213, 273, 2, -100, "1.00", "2.00", "-2.00"},
    {"Block Value Adjust", Make<TobjBlockAdjust>, 213, 273, 2, 0, "0.00", "1.00", "-1.00"},
    {"Harmonize", Make<TobjHarmonize>, 271, 297, 3, -100, "1.00", "2.000", "-2.000"},
    {"Mirror", Make<TobjMirror>, 261, 276, 2, -100, "1.00", "2.00", "-2.00"},
};

class EditOperationDialogs : public testing::Test {
protected:
    void TearDown() override { test::CancelPendingActions(); }

    // Plays the user of the dialog's modal run without showing it (showing a window costs seconds here).
    TModalResult RunScripted(TForm& dialog, std::function<void()> user) {
        prompts_.OnShowModal = [user = std::move(user)](TForm& form) {
            user();
            return form.ModalResult();
        };
        const TModalResult result = dialog.ShowModal();
        prompts_.OnShowModal = nullptr;
        return result;
    }
    // Runs the dialog modally for real; the user's part runs once it shows.
    static TModalResult RunModal(TForm& dialog, std::function<void()> user) {
        test::WhenWindowShows(dialog.Caption(), [user = std::move(user)](HWND) { user(); });
        const TModalResult result = dialog.ShowModal();
        EXPECT_FALSE(test::ActionsPending());
        return result;
    }

    test::TScriptedPrompts prompts_;
};

TEST_F(EditOperationDialogs, LayoutAndPlaceOverTheOwner) {
    TForm owner(nullptr);
    owner.SetBounds(120, 90, 1020, 538);
    for (const DialogKind& kind : kKinds) {
        SCOPED_TRACE(kind.caption);
        const auto dialog = kind.make(&owner);
        EXPECT_EQ(dialog->Caption(), kind.caption);
        EXPECT_EQ(dialog->ClientWidth(), kind.clientWidth);
        EXPECT_EQ(dialog->ClientHeight(), kind.clientHeight);
        EXPECT_EQ(dialog->Left(), 120 + 510 - dialog->Width() / 2);
        EXPECT_EQ(dialog->Top(), 90 + 269 - dialog->Height() / 2);
        const LONG_PTR style = GetWindowLongPtrA(dialog->Track().Handle(), GWL_STYLE);
        EXPECT_EQ(style & (TBS_VERT | TBS_FIXEDLENGTH), TBS_VERT | TBS_FIXEDLENGTH);
        EXPECT_EQ(SendMessageA(dialog->Track().Handle(), TBM_GETTHUMBLENGTH, 0, 0), 15);
        EXPECT_EQ(dialog->Track().Position(), kind.start);
        EXPECT_EQ(dialog->Edit().Text(), kind.startText);
        EXPECT_TRUE(dialog->Cancelled);
    }
}

TEST_F(EditOperationDialogs, TrackBarAndEditFollowEachOther) {
    for (const DialogKind& kind : kKinds) {
        SCOPED_TRACE(kind.caption);
        const auto dialog = kind.make(nullptr);
        TTrackBar& bar = dialog->Track();
        TEdit& edit = dialog->Edit();

        DragTrackBar(bar, bar.Min());
        EXPECT_EQ(edit.Text(), kind.topText);
        DragTrackBar(bar, bar.Max());
        EXPECT_EQ(edit.Text(), kind.bottomText);
        DragTrackBar(bar, 0);
        EXPECT_EQ(edit.Text(), kind.decimals == 3 ? "0.000" : "0.00");

        TypeAndEnter(edit, "0.5");
        EXPECT_EQ(bar.Position(), -50);
        EXPECT_EQ(edit.Text(), kind.decimals == 3 ? "0.500" : "0.50");
        EXPECT_EQ(dialog->ModalResult(), mrNone) << "Enter belongs to the edit, not to a button";

        TypeAndEnter(edit, "abc");
        EXPECT_EQ(bar.Position(), -50);
        EXPECT_EQ(edit.Text(), "abc");

        // A huge typed value puts the thumb at the end of the bar.
        TypeAndEnter(edit, "1.0e300");
        EXPECT_EQ(bar.Position(), bar.Min());
        EXPECT_EQ(edit.Text(), kind.topText);
        TypeAndEnter(edit, "-1.0e300");
        EXPECT_EQ(bar.Position(), bar.Max());
        EXPECT_TRUE(prompts_.Messages.empty());
    }
}

TEST_F(EditOperationDialogs, AmplifyAndBlockAdjustTakeWhatTheEditShows) {
    const struct {
        const char* name;
        int thumb;
        const char* typed; // not confirmed with Enter; nullptr: nothing typed
        long double factor, amount;
    } cases[] = {
        {"thumb only", -150, nullptr, 1.5L, 1.0L}, // Block Adjust's bar ends at -100
        {"typed, no Enter", -150, "0.75", 0.75L, 0.75L},
        {"typed beyond the bar", 0, "-3.5", -3.5L, -3.5L},
        {"typed no number", -20, "x1", 0.2L, 0.2L},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TobjAmplifyDlg amplify(nullptr);
        EXPECT_EQ(RunScripted(amplify,
                              [&] {
                                  DragTrackBar(amplify.Track(), c.thumb);
                                  if (c.typed)
                                      Type(amplify.Edit(), c.typed);
                                  Click(amplify, "Btn_OK");
                              }),
                  mrOk);
        EXPECT_FALSE(amplify.Cancelled);
        EXPECT_DOUBLE_EQ(static_cast<double>(amplify.Factor), static_cast<double>(c.factor));

        TobjBlockAdjust adjust(nullptr);
        EXPECT_EQ(RunScripted(adjust,
                              [&] {
                                  DragTrackBar(adjust.Track(), std::max(c.thumb, -100));
                                  if (c.typed)
                                      Type(adjust.Edit(), c.typed);
                                  Click(adjust, "Btn_OK");
                              }),
                  mrOk);
        EXPECT_FALSE(adjust.Cancelled);
        EXPECT_DOUBLE_EQ(static_cast<double>(adjust.Amount), static_cast<double>(c.amount));
    }
}

TEST_F(EditOperationDialogs, HarmonizeTargetsAHarmonicOfTheLowImpulse) {
    const struct {
        std::int32_t low;
        int item;
        const char* typed;
        std::int32_t target;
        long double level;
    } cases[] = {
        {101, 1, nullptr, 34, 1.0L}, // "3.0 && 1.5": Round(33.66633)
        {5, 0, "0.25", 2, 0.25L},    // 2.5 halves to even
        {120, 2, "-1.5", 30, -1.5L},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.low);
        TobjHarmonize dialog(nullptr);
        dialog.LowImpulse = c.low;
        EXPECT_EQ(RunScripted(dialog,
                              [&] {
                                  Choose(*dialog.RdGp_Harmonic, c.item);
                                  if (c.typed)
                                      Type(dialog.Edit(), c.typed);
                                  Click(dialog, "Btn_OK");
                              }),
                  mrOk);
        EXPECT_FALSE(dialog.Cancelled);
        EXPECT_EQ(dialog.RdGp_Harmonic->ItemIndex(), c.item);
        EXPECT_EQ(dialog.TargetImpulse, c.target);
        EXPECT_DOUBLE_EQ(static_cast<double>(dialog.Level), static_cast<double>(c.level));
    }
}

TEST_F(EditOperationDialogs, HarmonizeRefusesALevelThatIsNoNumberAndStaysOpen) {
    TobjHarmonize dialog(nullptr);
    dialog.LowImpulse = 100;
    bool openAfterRefusal = false;
    EXPECT_EQ(RunModal(dialog,
                       [&] {
                           Type(dialog.Edit(), "1,5");
                           Click(dialog, "Btn_OK");
                           openAfterRefusal = dialog.Visible() && dialog.ModalResult() == mrNone;
                           Type(dialog.Edit(), "1.5");
                           Click(dialog, "Btn_OK");
                       }),
              mrOk);
    EXPECT_TRUE(openAfterRefusal);
    ASSERT_EQ(prompts_.Messages.size(), 1u);
    EXPECT_EQ(prompts_.Messages[0].text, "'1,5' is not a valid floating point value");
    EXPECT_EQ(prompts_.Messages[0].type, TMsgDlgType::mtError);
    EXPECT_EQ(dialog.TargetImpulse, 50);
    EXPECT_DOUBLE_EQ(static_cast<double>(dialog.Level), 1.5);
}

TEST_F(EditOperationDialogs, MirrorReflectsAroundTheChosenImpulse) {
    const struct {
        int item;
        const char* typed;
        std::int32_t impulse;
        long double level;
    } cases[] = {
        {0, nullptr, 0, 1.0L}, {1, "0.5", 5, 0.5L},
        {2, "-2", 4, -2.0L},   {3, "level", 7, 1.0L}, // not a number: level 1.0
        {4, "", 8, 1.0L},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        TobjMirror dialog(nullptr);
        dialog.SetRange(5, 7);
        EXPECT_EQ(RunScripted(dialog,
                              [&] {
                                  DragTrackBar(dialog.Track(), -180); // 1.80, overwritten by what is typed
                                  Choose(*dialog.RdGp_Reflector, c.item);
                                  Type(dialog.Edit(), c.typed ? c.typed : "1.00");
                                  Click(dialog, "Btn_OK");
                              }),
                  mrOk);
        EXPECT_FALSE(dialog.Cancelled);
        EXPECT_EQ(dialog.Reflector, c.item);
        EXPECT_EQ(dialog.ReflectorImpulse, c.impulse);
        EXPECT_DOUBLE_EQ(static_cast<double>(dialog.Level), static_cast<double>(c.level));
    }
}

// What each dialog holds after Cancel or its close box.
struct CancelValues {
    bool cancelled;
    long double value;    // Factor, Amount or Level
    std::int32_t impulse; // TargetImpulse or ReflectorImpulse
    int reflector;
};

CancelValues Values(const TobjEditOperationDlg& dialog) {
    if (const auto* d = dynamic_cast<const TobjAmplifyDlg*>(&dialog))
        return {d->Cancelled, d->Factor, 0, 0};
    if (const auto* d = dynamic_cast<const TobjBlockAdjust*>(&dialog))
        return {d->Cancelled, d->Amount, 0, 0};
    if (const auto* d = dynamic_cast<const TobjHarmonize*>(&dialog))
        return {d->Cancelled, d->Level, d->TargetImpulse, 0};
    const auto& m = dynamic_cast<const TobjMirror&>(dialog);
    return {m.Cancelled, m.Level, m.ReflectorImpulse, m.Reflector};
}

TEST_F(EditOperationDialogs, CancelAndTheCloseBoxLeaveTheCancelValues) {
    const long double cancelValue[] = {1.0L, 0.0L, 0.0L, 0.0L};
    const struct {
        const char* name;
        bool shown; // a real modal run (the keys and the close box need the window)
        bool everyDialog;
        std::function<void(TForm&)> leave;
    } ways[] = {
        {"Cancel", false, true, [](TForm& d) { Click(d, "Btn_Cancel"); }},
        {"close box", true, true, [](TForm& d) { PostMessageA(d.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Esc", true, false,
         [](TForm& d) { test::PostKey(dynamic_cast<TobjEditOperationDlg&>(d).Edit().Handle(), VK_ESCAPE); }},
    };
    for (const auto& way : ways) {
        for (std::size_t k = 0; k < (way.everyDialog ? std::size(kKinds) : 1); ++k) {
            SCOPED_TRACE(std::string(kKinds[k].caption) + ", " + way.name);
            const auto dialog = kKinds[k].make(nullptr);
            auto* mirror = dynamic_cast<TobjMirror*>(dialog.get());
            if (mirror)
                mirror->SetRange(5, 7);
            if (auto* harmonize = dynamic_cast<TobjHarmonize*>(dialog.get()))
                harmonize->LowImpulse = 100;
            const auto user = [&] {
                DragTrackBar(dialog->Track(), dialog->Track().Min());
                if (mirror)
                    Choose(*mirror->RdGp_Reflector, 3);
                way.leave(*dialog);
            };
            EXPECT_EQ(way.shown ? RunModal(*dialog, user) : RunScripted(*dialog, user), mrCancel);
            const CancelValues values = Values(*dialog);
            EXPECT_TRUE(values.cancelled);
            EXPECT_EQ(values.value, cancelValue[k]);
            EXPECT_EQ(values.impulse, 0);
            EXPECT_EQ(values.reflector, 0);
        }
    }
}

} // namespace
} // namespace tarvola
