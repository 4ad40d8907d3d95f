// The application: start-up of the common controls, title, icon and program path, the forms made by
// CreateForm (the first is the main form), the message loop that ends when the main form closes, and the
// handler that every window procedure, hook, timer and thread callback hands its exceptions to.
#pragma once

#include "forms/Events.h"

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tarvola {

class TForm;

class TApplication {
public:
    TApplication();
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Registers the common control classes once (forms call it too).
    void Initialize();

    // Used in captions and as the title of plain message boxes; the program file's name until set.
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }
    // The icon resource "MAINICON" of the program, or the system's application icon.
    HICON Icon() const { return icon_; }
    void SetIcon(HICON icon) { icon_ = icon; }
    // Full path of the program file.
    std::string ExeName() const;

    // Makes a form that the application frees after Run; the first one made is the main form.
    template <class T, class... Args>
    T& CreateForm(Args&&... args) {
        auto form = std::make_unique<T>(nullptr, std::forward<Args>(args)...);
        T& result = *form;
        AdoptForm(std::move(form));
        return result;
    }
    TForm* MainForm() const { return mainForm_; }
    // Shows the main form and runs the message loop until it closes or Terminate is called; then frees the
    // forms made by CreateForm, last made first.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Waits for one message and handles it (short cuts, dialog keys, dispatch).
    void HandleMessage();
    // Handles the messages that are waiting, then returns.
    void ProcessMessages();

    // Shows the error's message in an error box and returns; the caller goes on.
    void HandleException(std::exception_ptr error) noexcept;

    // The form whose window is active in this thread, or nullptr.
    TForm* ActiveForm() const;
    // The tooltip window that shows the controls' hints.
    HWND HintWindow();

private:
    void AdoptForm(std::unique_ptr<TForm> form);
    void Dispatch(MSG& message);
    bool IsShortCut(const MSG& message);
    bool IsDialogKey(MSG& message);
    void FreeForms();

    std::string title_;
    HICON icon_ = nullptr;
    bool initialized_ = false;
    bool terminated_ = false;
    int exceptionDepth_ = 0;
    TForm* mainForm_ = nullptr;
    std::vector<std::unique_ptr<TForm>> forms_;
    HWND hintWindow_ = nullptr;
};

TApplication& Application();

// Runs action; what it throws goes to Application().HandleException. For Win32 callbacks of our own.
template <class Action>
void GuardCallback(Action&& action) noexcept {
    try {
        action();
    } catch (...) {
        Application().HandleException(std::current_exception());
    }
}

// The form whose window holds this window, or nullptr.
TForm* FormOfWindow(HWND window);

} // namespace tarvola
