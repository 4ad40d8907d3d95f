#include "forms/Form.h"

#include "forms/Application.h"
#include "forms/Dialogs.h"
#include "forms/Menus.h"
#include "forms/StdCtrls.h"

#include <stdexcept>

namespace tarvola {

namespace {

TForm* OwnerForm(TComponent* owner) {
    for (TComponent* component = owner; component != nullptr; component = component->Owner()) {
        if (auto* form = dynamic_cast<TForm*>(component)) {
            return form;
        }
        if (auto* control = dynamic_cast<TControl*>(component); control && control->ParentForm()) {
            return control->ParentForm();
        }
    }
    return nullptr;
}

TButton* FindButtonIn(const TWinControl& container, bool cancel) {
    for (int i = 0; i < container.ControlCount(); ++i) {
        TControl& control = container.Controls(i);
        if (!control.Visible() || !control.Enabled()) {
            continue;
        }
        if (auto* button = dynamic_cast<TButton*>(&control)) {
            if (cancel ? button->Cancel() : button->Default()) {
                return button;
            }
        } else if (auto* inner = dynamic_cast<TWinControl*>(&control)) {
            if (TButton* found = FindButtonIn(*inner, cancel)) {
                return found;
            }
        }
    }
    return nullptr;
}

} // namespace

TDisabledWindows::TDisabledWindows(HWND except) : except_(except) {
    EnumThreadWindows(GetCurrentThreadId(), &TDisabledWindows::Visit, reinterpret_cast<LPARAM>(this));
}

void TDisabledWindows::EnableAgain() {
    for (HWND window : windows_) {
        if (IsWindow(window)) {
            EnableWindow(window, TRUE);
        }
    }
    windows_.clear();
}

BOOL CALLBACK TDisabledWindows::Visit(HWND window, LPARAM self) {
    auto* list = reinterpret_cast<TDisabledWindows*>(self);
    if (window != list->except_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        list->windows_.push_back(window);
    }
    return TRUE;
}

void TActivationKeeper::GiveBack() const {
    if (window_ == nullptr || !IsWindow(window_) || !IsWindowVisible(window_) || !IsWindowEnabled(window_))
        return;
    const HWND foreground = GetForegroundWindow();
    if (foreground == nullptr || GetWindowThreadProcessId(foreground, nullptr) == GetCurrentThreadId())
        SetForegroundWindow(window_);
    SetActiveWindow(window_);
}

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    Application().Initialize();
    SetVisible(false);
    SetBounds(100, 100, 320, 240);
    CreateHandle();
}

TForm::~TForm() {
    // The components go while this form is whole (the menu detaches itself from it).
    DestroyComponents();
    if (menu_ != nullptr) {
        menu_->Detach(*this);
        menu_ = nullptr;
    }
}

DWORD TForm::FrameStyle() const {
    DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    switch (borderStyle_) {
    case TFormBorderStyle::bsNone:
        return style | WS_POPUP;
    case TFormBorderStyle::bsSizeable:
    case TFormBorderStyle::bsSizeToolWin:
        style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case TFormBorderStyle::bsSingle:
    case TFormBorderStyle::bsDialog:
    case TFormBorderStyle::bsToolWindow:
        style |= WS_CAPTION;
        break;
    }
    if ((borderIcons_ & biSystemMenu) != 0) {
        style |= WS_SYSMENU;
        const bool boxes =
            borderStyle_ == TFormBorderStyle::bsSingle || borderStyle_ == TFormBorderStyle::bsSizeable;
        if (boxes && (borderIcons_ & biMinimize) != 0) {
            style |= WS_MINIMIZEBOX;
        }
        if (boxes && (borderIcons_ & biMaximize) != 0) {
            style |= WS_MAXIMIZEBOX;
        }
    }
    return style;
}

DWORD TForm::FrameExStyle() const {
    DWORD exStyle = WS_EX_CONTROLPARENT;
    if (borderStyle_ == TFormBorderStyle::bsDialog) {
        exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    }
    if (borderStyle_ == TFormBorderStyle::bsToolWindow || borderStyle_ == TFormBorderStyle::bsSizeToolWin) {
        exStyle |= WS_EX_TOOLWINDOW;
    }
    if (formStyle_ == TFormStyle::fsStayOnTop) {
        exStyle |= WS_EX_TOPMOST;
    }
    return exStyle;
}

void TForm::CreateParams(TCreateParams& params) {
    params.className.clear();
    params.style = FrameStyle();
    params.exStyle = FrameExStyle();
    TForm* ownerForm = OwnerForm(Owner());
    params.parentWindow = ownerForm != nullptr ? ownerForm->Handle() : nullptr;
}

void TForm::InitializeHandle() {
    TWinControl::InitializeHandle();
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Application().Icon()));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(Application().Icon()));
}

void TForm::ApplyFrame() {
    if (!HandleAllocated()) {
        return;
    }
    const LONG_PTR kept = GetWindowLongPtrA(Handle(), GWL_STYLE) & (WS_VISIBLE | WS_DISABLED);
    SetWindowLongPtrA(Handle(), GWL_STYLE, static_cast<LONG_PTR>(FrameStyle()) | kept);
    SetWindowLongPtrA(Handle(), GWL_EXSTYLE, static_cast<LONG_PTR>(FrameExStyle()));
    SetWindowPos(Handle(), formStyle_ == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    ApplyClientSize();
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    borderStyle_ = style;
    ApplyFrame();
}

void TForm::SetBorderIcons(TBorderIcons icons) {
    borderIcons_ = icons;
    ApplyFrame();
}

void TForm::SetFormStyle(TFormStyle style) {
    formStyle_ = style;
    ApplyFrame();
}

void TForm::SetClientWidth(int width) {
    SetClientSize(width, clientHeight_ >= 0 ? clientHeight_ : ClientHeight());
}

void TForm::SetClientHeight(int height) {
    SetClientSize(clientWidth_ >= 0 ? clientWidth_ : ClientWidth(), height);
}

void TForm::SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    ApplyClientSize();
}

void TForm::ApplyClientSize() {
    if (!HandleAllocated() || clientWidth_ < 0 || clientHeight_ < 0) {
        return;
    }
    // Twice: a menu bar may wrap into another line at the new width.
    for (int pass = 0; pass < 2; ++pass) {
        SetBounds(Left(), Top(), Width() + clientWidth_ - ClientWidth(),
                  Height() + clientHeight_ - ClientHeight());
    }
}

void TForm::SetMenu(TMainMenu* menu) {
    if (menu == menu_) {
        return;
    }
    if (menu_ != nullptr) {
        menu_->Detach(*this);
    }
    menu_ = menu;
    if (menu_ != nullptr) {
        menu_->Attach(*this);
    }
    if (HandleAllocated()) {
        ::SetMenu(Handle(), menu_ != nullptr ? menu_->Handle() : nullptr);
        ApplyClientSize();
    }
}

void TForm::MenuDestroyed(TMainMenu& menu) {
    if (menu_ == &menu) {
        menu_ = nullptr;
        if (HandleAllocated()) {
            ::SetMenu(Handle(), nullptr);
        }
    }
}

void TForm::PlaceAtFirstShow() {
    switch (position_) {
    case TPosition::poDesigned:
        return;
    case TPosition::poDesktopCenter:
        CenterOnDesktop(*this);
        return;
    case TPosition::poOwnerFormCenter:
        if (TForm* owner = OwnerForm(Owner())) {
            SetBounds(owner->Left() + owner->Width() / 2 - Width() / 2,
                      owner->Top() + owner->Height() / 2 - Height() / 2, Width(), Height());
            return;
        }
        break;
    case TPosition::poScreenCenter:
        break;
    }
    SetBounds((GetSystemMetrics(SM_CXSCREEN) - Width()) / 2, (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2,
              Width(), Height());
}

void TForm::VisibleChanged() {
    if (!HandleAllocated()) {
        return;
    }
    if (Visible()) {
        if (!shownOnce_) {
            shownOnce_ = true;
            PlaceAtFirstShow();
        }
        ShowWindow(Handle(), ShowCommand());
        if (OnShow) {
            OnShow(*this);
        }
    } else {
        ShowWindow(Handle(), SW_HIDE);
        if (OnHide) {
            OnHide(*this);
        }
    }
}

void TForm::Show() {
    SetVisible(true);
    if (HandleAllocated()) {
        SetForegroundWindow(Handle());
    }
}

void TForm::Close() {
    if (modal_) {
        if (modalResult_ == mrNone) {
            modalResult_ = mrCancel;
        }
        return;
    }
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) {
        OnClose(*this, action);
    }
    if (action == TCloseAction::caNone) {
        return;
    }
    if (this == Application().MainForm()) {
        Application().Terminate();
    } else if (action == TCloseAction::caMinimize) {
        ShowWindow(Handle(), SW_MINIMIZE);
    } else {
        Hide();
    }
}

TModalResult TForm::ShowModal() {
    return Prompts().ShowModal(*this);
}

TModalResult TForm::RunModal() {
    if (Visible() || !Enabled()) {
        throw std::logic_error("Cannot make a visible window modal");
    }
    const TActivationKeeper previous;
    TDisabledWindows disabled(Handle());
    modal_ = true;
    modalResult_ = mrNone;
    try {
        Show();
        for (;;) {
            Application().HandleMessage();
            if (Application().Terminated() || !HandleAllocated() || !Visible()) {
                if (modalResult_ == mrNone) {
                    modalResult_ = mrCancel;
                }
                break;
            }
            if (modalResult_ == mrNone) {
                continue;
            }
            TCloseAction action = TCloseAction::caHide;
            if (OnClose) {
                OnClose(*this, action);
            }
            if (action != TCloseAction::caNone) {
                break;
            }
            modalResult_ = mrNone;
        }
    } catch (...) {
        modal_ = false;
        disabled.EnableAgain();
        previous.GiveBack();
        Hide();
        throw;
    }
    modal_ = false;
    // The others are enabled and the one that had activation gets it back before this form hides: hiding
    // the active window would activate whichever window the system picks.
    disabled.EnableAgain();
    previous.GiveBack();
    Hide();
    return modalResult_;
}

bool TForm::IsShortCut(unsigned short shortCut) {
    return menu_ != nullptr && menu_->DispatchShortCut(shortCut);
}

TButton* TForm::FindButton(bool cancel) const {
    return FindButtonIn(*this, cancel);
}

bool TForm::PressDefaultButton(HWND focus) {
    if (auto* focused = dynamic_cast<TButton*>(TWinControl::FromHandle(focus));
        focused && focused->Enabled()) {
        focused->Click();
        return true;
    }
    if (TButton* button = FindButton(false)) {
        button->Click();
        return true;
    }
    return false;
}

bool TForm::PressCancelButton() {
    if (TButton* button = FindButton(true)) {
        button->Click();
        return true;
    }
    return false;
}

void TForm::Activated(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(Handle(), focus)) {
            lastFocus_ = focus;
        }
        if (OnDeactivate) {
            OnDeactivate(*this);
        }
    } else if (OnActivate) {
        OnActivate(*this);
    }
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_ACTIVATE:
        Activated(LOWORD(wParam) != WA_INACTIVE);
        break;
    case WM_SETFOCUS: {
        HWND target = lastFocus_ != nullptr && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_)
                          ? lastFocus_
                          : GetNextDlgTabItem(Handle(), nullptr, FALSE);
        if (target != nullptr && target != Handle() && IsWindowEnabled(target)) {
            ::SetFocus(target);
            return 0;
        }
        break;
    }
    default:
        break;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

void TForm::SetProperty(std::string_view name, std::string_view value) {
    if (name == "BorderStyle") {
        SetBorderStyle(PropChoice<TFormBorderStyle>(value, name,
                                                    {{"bsNone", TFormBorderStyle::bsNone},
                                                     {"bsSingle", TFormBorderStyle::bsSingle},
                                                     {"bsSizeable", TFormBorderStyle::bsSizeable},
                                                     {"bsDialog", TFormBorderStyle::bsDialog},
                                                     {"bsToolWindow", TFormBorderStyle::bsToolWindow},
                                                     {"bsSizeToolWin", TFormBorderStyle::bsSizeToolWin}}));
    } else if (name == "BorderIcons") {
        SetBorderIcons(PropFlags(
            value, name,
            {{"biSystemMenu", biSystemMenu}, {"biMinimize", biMinimize}, {"biMaximize", biMaximize}}));
    } else if (name == "Position") {
        SetPosition(PropChoice<TPosition>(value, name,
                                          {{"poDesigned", TPosition::poDesigned},
                                           {"poScreenCenter", TPosition::poScreenCenter},
                                           {"poDesktopCenter", TPosition::poDesktopCenter},
                                           {"poOwnerFormCenter", TPosition::poOwnerFormCenter}}));
    } else if (name == "FormStyle") {
        SetFormStyle(PropChoice<TFormStyle>(
            value, name, {{"fsNormal", TFormStyle::fsNormal}, {"fsStayOnTop", TFormStyle::fsStayOnTop}}));
    } else if (name == "ClientWidth") {
        SetClientWidth(PropInteger(value, name));
    } else if (name == "ClientHeight") {
        SetClientHeight(PropInteger(value, name));
    } else if (name == "Menu") {
        SetMenu(&Find<TMainMenu>(value));
    } else {
        TWinControl::SetProperty(name, value);
    }
}

void CenterOnDesktop(TForm& form) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    form.SetBounds(left + width / 2 - form.Width() / 2, top + height / 2 - form.Height() / 2, form.Width(),
                   form.Height());
}

} // namespace tarvola
