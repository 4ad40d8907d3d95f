// UTF-16 windows for chosen controls of the form layer. The form layer's windows and message loop are
// wide, but it keeps its texts as single-byte strings in the system code page, so a text read or set
// through it loses what the code page cannot hold. A control made here gets a window of a UTF-16 class
// (a copy of a system class, such as "EDIT", registered with the wide functions), and a trap over the
// form layer's window procedure keeps its text UTF-16: text messages go to the window itself, a
// character outside ASCII reaches the form layer's key handling as a stand-in and the window as it was
// typed, and everything else passes through the form layer as before. TCustomWideEdit is such an edit.
//
// The program is Unicode throughout: the single-byte fallbacks that old (Windows 9x) systems needed are
// left out, and windows of other controls are not given UTF-16 captions.
#pragma once

#include "forms/StdCtrls.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

namespace tarvola {

// Registers (once) the UTF-16 copy of systemClass for a form-layer class and gives its name:
// frameworkClass + ".UnicodeClass". A class of that name with another window procedure is replaced.
// Throws std::system_error with the last system error when the system refuses.
std::wstring RegisterUnicodeClass(std::wstring_view frameworkClass, const wchar_t* systemClass);
// Whether the window was made from a class registered by RegisterUnicodeClass.
bool IsUnicodeClassWindow(HWND window);

// The answer to WM_NOTIFYFORMAT for a window: NFR_UNICODE for a UTF-16 window, else NFR_ANSI.
LRESULT IsWindowUnicodeTarget(HWND window);

// Keeps a control's UTF-16 window UTF-16 under the form layer's window procedure; undoes that when it
// goes (the window then stays with the form layer's procedure).
class TWinControlTrap {
public:
    explicit TWinControlTrap(TWinControl& control);
    ~TWinControlTrap();
    TWinControlTrap(const TWinControlTrap&) = delete;
    TWinControlTrap& operator=(const TWinControlTrap&) = delete;

    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK TrapProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    friend std::wstring RegisterUnicodeClass(std::wstring_view, const wchar_t*);
    friend bool IsUnicodeClassWindow(HWND);

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Release();

    HWND window_ = nullptr;
    // The form layer's procedure: as the form layer installed it, and callable with UTF-16 messages.
    WNDPROC frameworkProc_ = nullptr;
    WNDPROC previousProc_ = nullptr;
    // A character outside ASCII on its way through the form layer's key handling.
    WPARAM pendingChar_ = 0;
};

// Traps the control's window; throws when the window was not made from a UTF-16 class.
std::unique_ptr<TWinControlTrap> SubClassUnicodeControl(TWinControl& control);

// A control's text as UTF-16: a UTF-16 window's own text, else the caption widened.
std::wstring GetWideText(const TWinControl& control);
// Gives a UTF-16 window the text when it differs from what it shows (so that its change notification
// fires once); another control gets it as its caption through the code page.
void SetWideText(TWinControl& control, std::wstring_view text);

// The user's locale order of two strings: -1, 0 or 1.
int WideCompareStr(std::wstring_view a, std::wstring_view b);
inline bool WideSameStr(std::wstring_view a, std::wstring_view b) {
    return WideCompareStr(a, b) == 0;
}

// An edit with a UTF-16 window: Text round-trips any UTF-16 text, and OnChange fires once per change of
// it, also between texts that look alike through the code page.
class TCustomWideEdit : public TEdit {
public:
    explicit TCustomWideEdit(TComponent* owner);
    ~TCustomWideEdit() override;

    std::wstring WideText() const;
    void SetWideText(std::wstring_view text);
    // Selects length characters from start (posted, so that it follows the focus change that may come).
    void SelectText(int start, int length);

protected:
    void CreateParams(TCreateParams& params) override;
    void InitializeHandle() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool CommandNotify(WORD code) override;
    void TextChanged() override;

private:
    std::unique_ptr<TWinControlTrap> trap_;
    // The text as last seen, kept while the window is made again.
    std::wstring text_;
    bool settingText_ = false;
};

} // namespace tarvola
