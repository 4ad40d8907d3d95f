#include "forms/Dialogs.h"

#include "forms/Application.h"
#include "forms/ExtCtrls.h"
#include "forms/Form.h"
#include "forms/StdCtrls.h"

#include <algorithm>
#include <vector>

namespace tarvola {

namespace {

class TRealPrompts : public TPromptSeam {
public:
    TModalResult Message(const TMessageRequest& request) override { return RunMessageBox(request); }
    TModalResult ShowModal(TForm& form) override { return form.RunModal(); }
};

TRealPrompts& RealPrompts() {
    static TRealPrompts prompts;
    return prompts;
}

TPromptSeam*& CurrentPrompts() {
    static TPromptSeam* current = &RealPrompts();
    return current;
}

// "\r" alone breaks the line in the system's boxes only as "\r\n".
std::string WithLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        result += text[i];
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) {
            result += '\n';
        }
    }
    return result;
}

std::string CaptionOf(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return "Warning";
    case TMsgDlgType::mtError:
        return "Error";
    case TMsgDlgType::mtInformation:
        return "Information";
    case TMsgDlgType::mtConfirmation:
        return "Confirm";
    case TMsgDlgType::mtCustom:
        break;
    }
    return Application().Title();
}

UINT IconStyleOf(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return MB_ICONWARNING;
    case TMsgDlgType::mtError:
        return MB_ICONERROR;
    case TMsgDlgType::mtInformation:
        return MB_ICONINFORMATION;
    case TMsgDlgType::mtConfirmation:
        return MB_ICONQUESTION;
    case TMsgDlgType::mtCustom:
        break;
    }
    return 0;
}

const char* IconIdOf(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return IDI_EXCLAMATION;
    case TMsgDlgType::mtError:
        return IDI_HAND;
    case TMsgDlgType::mtInformation:
        return IDI_ASTERISK;
    case TMsgDlgType::mtConfirmation:
        return IDI_QUESTION;
    case TMsgDlgType::mtCustom:
        break;
    }
    return nullptr;
}

// The system box's style for a button set, or 0 when the system has no such box.
UINT SystemButtonStyle(TMsgDlgButtons buttons) {
    switch (buttons) {
    case mbOK:
        return MB_OK;
    case mbOK | mbCancel:
        return MB_OKCANCEL;
    case mbYes | mbNo:
        return MB_YESNO;
    case mbYes | mbNo | mbCancel:
        return MB_YESNOCANCEL;
    case mbAbort | mbRetry | mbIgnore:
        return MB_ABORTRETRYIGNORE;
    case mbRetry | mbCancel:
        return MB_RETRYCANCEL;
    default:
        return 0;
    }
}

struct TButtonKind {
    TMsgDlgButtons button;
    const char* caption;
    TModalResult result;
};

constexpr TButtonKind kButtonKinds[] = {
    {mbYes, "&Yes", mrYes},          {mbNo, "&No", mrNo},          {mbOK, "OK", mrOk},
    {mbCancel, "Cancel", mrCancel},  {mbAbort, "&Abort", mrAbort}, {mbRetry, "&Retry", mrRetry},
    {mbIgnore, "&Ignore", mrIgnore},
};

TModalResult EscapeResultOf(TMsgDlgButtons buttons) {
    if ((buttons & mbCancel) != 0) {
        return mrCancel;
    }
    if ((buttons & mbAbort) != 0) {
        return mrAbort;
    }
    if ((buttons & mbNo) != 0) {
        return mrNo;
    }
    return mrOk;
}

// Our own message box, for button sets the system's box does not have.
class TMessageForm : public TForm {
public:
    explicit TMessageForm(const TMessageRequest& request)
        : TForm(nullptr), escape_(EscapeResultOf(request.buttons)) {
        SetBorderStyle(TFormBorderStyle::bsDialog);
        SetBorderIcons(biSystemMenu);
        SetPosition(TPosition::poScreenCenter);
        SetCaption(request.caption);
        Build(request);
    }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CLOSE) {
            SetModalResult(escape_);
            return 0;
        }
        return TForm::WndProc(message, wParam, lParam);
    }

private:
    static constexpr int kMargin = 12;
    static constexpr int kButtonWidth = 75;
    static constexpr int kButtonHeight = 23;
    static constexpr int kButtonGap = 8;
    static constexpr int kMaxTextWidth = 420;

    void Build(const TMessageRequest& request) {
        int textLeft = kMargin;
        if (const char* iconId = IconIdOf(request.type)) {
            TImage& icon = Create<TImage>();
            icon.SetName("Image");
            icon.SetBounds(kMargin, kMargin, 32, 32);
            icon.SetIcon(LoadIconA(nullptr, iconId));
            icon.SetParent(this);
            textLeft += 32 + kMargin;
        }
        TLabel& text = Create<TLabel>();
        text.SetName("Message");
        text.SetBounds(textLeft, kMargin, kMaxTextWidth, 13);
        text.SetCaption(WithLineBreaks(request.text));
        text.SetShowAccelChar(false);
        text.SetParent(this);
        if (text.Width() > kMaxTextWidth) {
            text.SetWordWrap(true);
            text.SetWidth(kMaxTextWidth);
            text.SetCaption(WithLineBreaks(request.text));
        }
        std::vector<TButton*> buttons;
        for (const TButtonKind& kind : kButtonKinds) {
            if ((request.buttons & kind.button) == 0) {
                continue;
            }
            TButton& button = Create<TButton>();
            button.SetName(kind.caption[0] == '&' ? kind.caption + 1 : kind.caption);
            button.SetCaption(kind.caption);
            button.SetModalResult(kind.result);
            button.SetCancel(kind.result == escape_);
            buttons.push_back(&button);
        }
        const int buttonsWidth = static_cast<int>(buttons.size()) * (kButtonWidth + kButtonGap) - kButtonGap;
        const int clientWidth = std::max(text.Left() + text.Width() + kMargin, buttonsWidth + 2 * kMargin);
        const int buttonsTop = std::max(text.Top() + text.Height(), kMargin + 32) + kMargin;
        int left = (clientWidth - buttonsWidth) / 2;
        for (TButton* button : buttons) {
            button->SetBounds(left, buttonsTop, kButtonWidth, kButtonHeight);
            button->SetParent(this);
            left += kButtonWidth + kButtonGap;
        }
        if (!buttons.empty()) {
            buttons.front()->SetDefault(true);
        }
        SetClientSize(clientWidth, buttonsTop + kButtonHeight + kMargin);
    }

    TModalResult escape_;
};

} // namespace

TPromptSeam& Prompts() {
    return *CurrentPrompts();
}

TPromptSeam* SetPrompts(TPromptSeam* seam) {
    TPromptSeam* previous = CurrentPrompts();
    CurrentPrompts() = seam != nullptr ? seam : &RealPrompts();
    return previous;
}

void ShowMessage(std::string_view text) {
    Prompts().Message(TMessageRequest{Application().Title(), std::string(text), TMsgDlgType::mtCustom, mbOK});
}

TModalResult MessageDlg(std::string_view text, TMsgDlgType type, TMsgDlgButtons buttons) {
    return Prompts().Message(TMessageRequest{CaptionOf(type), std::string(text), type, buttons});
}

TModalResult RunMessageBox(const TMessageRequest& request) {
    if (const UINT style = SystemButtonStyle(request.buttons)) {
        const std::string text = WithLineBreaks(request.text);
        // A task-modal box has no owner, so when it goes no window of ours is left active (and the
        // foreground stays with the box that went): the keyboard reaches none of our windows until the
        // user clicks one. Give activation and the foreground back ourselves.
        const TActivationKeeper previouslyActive;
        const int answer = MessageBoxA(nullptr, text.c_str(), request.caption.c_str(),
                                       style | IconStyleOf(request.type) | MB_TASKMODAL | MB_SETFOREGROUND);
        previouslyActive.GiveBack();
        return answer;
    }
    TMessageForm form(request);
    return form.RunModal();
}

} // namespace tarvola
