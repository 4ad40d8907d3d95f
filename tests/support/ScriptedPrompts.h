// A prompt seam that answers for the user: it records every message box and modal run and answers from a
// script. Installed for its lifetime.
#pragma once

#include "forms/Dialogs.h"

#include <deque>
#include <functional>
#include <vector>

namespace tarvola::test {

class TScriptedPrompts : public TPromptSeam {
public:
    TScriptedPrompts();
    ~TScriptedPrompts() override;
    TScriptedPrompts(const TScriptedPrompts&) = delete;
    TScriptedPrompts& operator=(const TScriptedPrompts&) = delete;

    // The message boxes asked for, in order.
    std::vector<TMessageRequest> Messages;
    // Answers to the next message boxes; when none is left the box answers with its first button (Yes, OK,
    // Abort, Retry in that order of preference).
    std::deque<TModalResult> Answers;
    // Plays the user of a modal form; unset, the form runs modally for real.
    std::function<TModalResult(TForm&)> OnShowModal;
    int ModalRuns = 0;

    TModalResult Message(const TMessageRequest& request) override;
    TModalResult ShowModal(TForm& form) override;

private:
    TPromptSeam* previous_;
};

} // namespace tarvola::test
