// The application's loop: exceptions of handlers are shown and the loop goes on; the loop ends when the main
// form closes and frees the forms.
#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/StdCtrls.h"
#include "tests/support/ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarvola {
namespace {

class TThrowingForm : public TForm {
public:
    explicit TThrowingForm(TComponent* owner) : TForm(owner) {
        LoadLayout(TFormLayout{{{"Caption", "Thrower"}, {"ClientWidth", "200"}, {"ClientHeight", "80"}},
                               {
                                   {"TButton", "Btn_Boom", "", 10, 10, 75, 25, {{"Caption", "Boom"}}},
                                   {"TButton", "Btn_Count", "", 100, 10, 75, 25, {{"Caption", "Count"}}},
                               }});
        Bind(Find<TButton>("Btn_Boom").OnClick, this, &TThrowingForm::Boom_Click);
        Bind(Find<TButton>("Btn_Count").OnClick, this, &TThrowingForm::Count_Click);
    }
    static inline int clicksAfterError = 0;
    static inline bool destroyed = false;
    ~TThrowingForm() override { destroyed = true; }

private:
    void Boom_Click(TObject&) { throw std::runtime_error("Handler failed"); }
    void Count_Click(TObject&) { ++clicksAfterError; }
};

TEST(Application, ExceptionOfAClickHandlerIsShownAndTheLoopGoesOn) {
    test::TScriptedPrompts prompts;
    TThrowingForm::clicksAfterError = 0;
    TThrowingForm::destroyed = false;
    auto& form = Application().CreateForm<TThrowingForm>();
    ASSERT_EQ(Application().MainForm(), &form);
    HWND boom = form.Find<TButton>("Btn_Boom").Handle();
    HWND count = form.Find<TButton>("Btn_Count").Handle();
    // Queued before the loop runs: the throwing click, a click after it, then closing the main form.
    PostMessageA(boom, BM_CLICK, 0, 0);
    PostMessageA(count, BM_CLICK, 0, 0);
    PostMessageA(form.Handle(), WM_CLOSE, 0, 0);

    Application().Run();

    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].text, "Handler failed");
    EXPECT_EQ(prompts.Messages[0].caption, "Error");
    EXPECT_EQ(prompts.Messages[0].type, TMsgDlgType::mtError);
    EXPECT_EQ(prompts.Messages[0].buttons, mbOK);
    EXPECT_EQ(TThrowingForm::clicksAfterError, 1);
    EXPECT_TRUE(TThrowingForm::destroyed);
    EXPECT_EQ(Application().MainForm(), nullptr);
    EXPECT_FALSE(Application().Terminated());
}

TEST(Application, KnowsItsProgramFile) {
    const std::string exe = Application().ExeName();
    ASSERT_GT(exe.size(), 4u);
    EXPECT_EQ(exe.substr(exe.size() - 4), ".exe");
    EXPECT_NE(Application().Icon(), nullptr);
}

TEST(Application, PlainMessageCarriesTheTitle) {
    test::TScriptedPrompts prompts;
    const std::string saved = Application().Title();
    Application().SetTitle("Tarvola");
    ShowMessage("Unable to close the output device.");
    Application().SetTitle(saved);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].caption, "Tarvola");
    EXPECT_EQ(prompts.Messages[0].type, TMsgDlgType::mtCustom);
    EXPECT_EQ(prompts.Messages[0].buttons, mbOK);
}

} // namespace
} // namespace tarvola
