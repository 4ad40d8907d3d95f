// Forms: top-level windows with caption, border, menu, position and modal runs. A form's layout table makes
// its components; the form binds their events in code (Bind, forms/Events.h).
#pragma once

#include "forms/Controls.h"
#include "forms/Layout.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvola {

class TMainMenu;
class TButton;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderIcons = unsigned;
constexpr TBorderIcons biSystemMenu = 1;
constexpr TBorderIcons biMinimize = 2;
constexpr TBorderIcons biMaximize = 4;
enum class TPosition { poDesigned, poScreenCenter, poDesktopCenter, poOwnerFormCenter };
enum class TFormStyle { fsNormal, fsStayOnTop };

class TForm : public TWinControl {
public:
    // The Win32 owner of the window is the form that owns this one (if any): such a form stays above its
    // owner, has no taskbar button and is minimised with it. A form without owner stands on its own.
    explicit TForm(TComponent* owner);
    ~TForm() override;

    void LoadLayout(const TFormLayout& layout) { LoadFormLayout(*this, layout); }

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle style);
    // Client size; kept when the menu or the border changes afterwards.
    void SetClientWidth(int width);
    void SetClientHeight(int height);
    void SetClientSize(int width, int height);

    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    // Called by the menu when it goes.
    void MenuDestroyed(TMainMenu& menu);

    void Show();
    // Asks OnClose; hides the form (the main form ends the application; a modal form ends its run).
    void Close();
    // Shows the form modally (through the prompt seam) and returns its modal result.
    TModalResult ShowModal();
    // The modal run itself: every other window of the thread is disabled until the form closes, then
    // enabled again and the window that was active before is activated again.
    TModalResult RunModal();
    bool Modal() const { return modal_; }
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result) { modalResult_ = result; }

    TCloseEvent OnClose;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // Keyboard handling of the message loop.
    bool IsShortCut(unsigned short shortCut);
    bool PressDefaultButton(HWND focus);
    bool PressCancelButton();

    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void InitializeHandle() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void VisibleChanged() override;
    // The ShowWindow command that shows the form when it becomes visible. A form that must not take the
    // keyboard from the window the user works in answers SW_SHOWNOACTIVATE.
    virtual int ShowCommand() const { return SW_SHOW; }

private:
    void ApplyFrame();
    void ApplyClientSize();
    void PlaceAtFirstShow();
    TButton* FindButton(bool cancel) const;
    void Activated(bool active);
    DWORD FrameStyle() const;
    DWORD FrameExStyle() const;

    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TPosition position_ = TPosition::poDesigned;
    TFormStyle formStyle_ = TFormStyle::fsNormal;
    TMainMenu* menu_ = nullptr;
    int clientWidth_ = -1;
    int clientHeight_ = -1;
    bool shownOnce_ = false;
    bool modal_ = false;
    TModalResult modalResult_ = mrNone;
    HWND lastFocus_ = nullptr;
};

// Gives activation back to the window that had it. A window that goes while it is active hands activation
// to whichever window the system picks - the next one down the z-order, often the owner of the one that
// went - and not necessarily to the window the user worked in; so whatever comes and goes over that window
// (modal forms, message boxes, the progress window) notes it when it comes and activates it again, once the
// others are enabled and before it goes itself.
class TActivationKeeper {
public:
    // Notes the window active now (possibly none).
    TActivationKeeper() : window_(GetActiveWindow()) {}
    HWND Window() const { return window_; }
    // Activates the noted window when it is still there, visible and enabled; it becomes the foreground
    // window too when the foreground is a window of this thread (or none), never taking it from another
    // program the user turned to meanwhile.
    void GiveBack() const;

private:
    HWND window_;
};

// Disables the visible, enabled top-level windows of this thread except one, and enables them again when it
// goes (modal forms and the common dialogs use it).
class TDisabledWindows {
public:
    explicit TDisabledWindows(HWND except);
    ~TDisabledWindows() { EnableAgain(); }
    TDisabledWindows(const TDisabledWindows&) = delete;
    TDisabledWindows& operator=(const TDisabledWindows&) = delete;
    void EnableAgain();

private:
    static BOOL CALLBACK Visit(HWND window, LPARAM self);
    HWND except_;
    std::vector<HWND> windows_;
};

// Centres a form on the desktop (all monitors).
void CenterOnDesktop(TForm& form);

} // namespace tarvola
