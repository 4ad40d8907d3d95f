#include "tests/support/ScriptedPrompts.h"

#include "forms/Form.h"

namespace tarvola::test {

namespace {

TModalResult FirstButton(TMsgDlgButtons buttons) {
    if ((buttons & mbYes) != 0) {
        return mrYes;
    }
    if ((buttons & mbOK) != 0) {
        return mrOk;
    }
    if ((buttons & mbAbort) != 0) {
        return mrAbort;
    }
    if ((buttons & mbRetry) != 0) {
        return mrRetry;
    }
    return mrCancel;
}

} // namespace

TScriptedPrompts::TScriptedPrompts() : previous_(SetPrompts(this)) {}

TScriptedPrompts::~TScriptedPrompts() {
    SetPrompts(previous_);
}

TModalResult TScriptedPrompts::Message(const TMessageRequest& request) {
    Messages.push_back(request);
    if (Answers.empty()) {
        return FirstButton(request.buttons);
    }
    const TModalResult answer = Answers.front();
    Answers.pop_front();
    return answer;
}

TModalResult TScriptedPrompts::ShowModal(TForm& form) {
    ++ModalRuns;
    if (OnShowModal) {
        return OnShowModal(form);
    }
    return form.RunModal();
}

} // namespace tarvola::test
