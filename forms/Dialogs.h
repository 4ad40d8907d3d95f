// Message dialogs and the prompt seam. Every message box and every modal run of a form goes through the
// prompt seam: the program uses the real one, tests install a scripted one that answers for the user.
#pragma once

#include "forms/Events.h"

#include <string>
#include <string_view>

namespace tarvola {

class TForm;

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYes = 0x01;
constexpr TMsgDlgButtons mbNo = 0x02;
constexpr TMsgDlgButtons mbOK = 0x04;
constexpr TMsgDlgButtons mbCancel = 0x08;
constexpr TMsgDlgButtons mbAbort = 0x10;
constexpr TMsgDlgButtons mbRetry = 0x20;
constexpr TMsgDlgButtons mbIgnore = 0x40;

struct TMessageRequest {
    std::string caption;
    std::string text; // "\r" breaks a line
    TMsgDlgType type = TMsgDlgType::mtCustom;
    TMsgDlgButtons buttons = mbOK;
};

class TPromptSeam {
public:
    virtual ~TPromptSeam() = default;
    // Shows a message and returns the button chosen (mrOk, mrAbort, ...).
    virtual TModalResult Message(const TMessageRequest& request) = 0;
    // Runs a form modally and returns its modal result.
    virtual TModalResult ShowModal(TForm& form) = 0;
};

// The seam in use; the real one unless a test installed another.
TPromptSeam& Prompts();
// Installs a seam (nullptr: the real one again) and returns the one it replaces.
TPromptSeam* SetPrompts(TPromptSeam* seam);

// A plain box: the application's title, no icon, an OK button.
void ShowMessage(std::string_view text);
// A box with the icon and title of its type ("Warning", "Error", "Information", "Confirm"; a custom box has
// the application's title) and the given buttons; returns the chosen button. Esc or the close box choose
// Cancel, or Abort where there is no Cancel, or No where there is neither.
TModalResult MessageDlg(std::string_view text, TMsgDlgType type, TMsgDlgButtons buttons);

// The real message box: the system's box where it has the button set, our own dialog otherwise (Abort +
// Ignore). Used by the real seam; tests call it to check the boxes themselves.
TModalResult RunMessageBox(const TMessageRequest& request);

} // namespace tarvola
