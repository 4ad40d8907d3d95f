#include "forms/Application.h"

#include "forms/Dialogs.h"
#include "forms/Form.h"
#include "forms/Hints.h"
#include "forms/Menus.h"

#include <commctrl.h>

namespace tarvola {

namespace {

constexpr int kMaxNestedErrorBoxes = 3;

std::string ExceptionText(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown exception";
    }
}

std::string FileTitle(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

bool IsModifierKey(WPARAM key) {
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU;
}

bool IsEditControl(HWND window) {
    char className[16] = {};
    return window != nullptr && GetClassNameA(window, className, sizeof className) > 0 &&
           lstrcmpiA(className, "Edit") == 0;
}

// The keys a text edit uses itself: clipboard and undo keys, deleting, and moving the caret. A menu short
// cut on one of them must not take it from the edit that has the keyboard.
bool IsTextEditingKey(WPARAM key, TShiftState shift) {
    if ((shift & ssAlt) != 0) {
        return false;
    }
    switch (key) {
    case VK_DELETE:
    case VK_INSERT:
    case VK_BACK:
    case VK_HOME:
    case VK_END:
    case VK_LEFT:
    case VK_RIGHT:
        return true;
    case 'A':
    case 'C':
    case 'V':
    case 'X':
    case 'Z':
        return (shift & ssCtrl) != 0;
    default:
        return false;
    }
}

} // namespace

TApplication& Application() {
    static TApplication application;
    return application;
}

TForm* FormOfWindow(HWND window) {
    if (window == nullptr) {
        return nullptr;
    }
    return dynamic_cast<TForm*>(TWinControl::FromHandle(GetAncestor(window, GA_ROOT)));
}

TApplication::TApplication() {
    title_ = FileTitle(ExeName());
    icon_ = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    if (icon_ == nullptr) {
        icon_ = LoadIconA(nullptr, IDI_APPLICATION);
    }
}

TApplication::~TApplication() {
    // Forms still here at exit go before the process does; nothing they throw may escape.
    GuardCallback([this] { FreeForms(); });
}

void TApplication::Initialize() {
    if (initialized_) {
        return;
    }
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS |
                     ICC_TAB_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    initialized_ = true;
}

std::string TApplication::ExeName() const {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void TApplication::AdoptForm(std::unique_ptr<TForm> form) {
    if (mainForm_ == nullptr) {
        mainForm_ = form.get();
    }
    forms_.push_back(std::move(form));
}

void TApplication::FreeForms() {
    while (!forms_.empty()) {
        std::unique_ptr<TForm> last = std::move(forms_.back());
        forms_.pop_back();
        if (last.get() == mainForm_) {
            mainForm_ = nullptr;
        }
        last.reset();
    }
    mainForm_ = nullptr;
}

void TApplication::Run() {
    if (mainForm_ == nullptr) {
        return;
    }
    GuardCallback([this] { mainForm_->Show(); });
    while (!terminated_) {
        HandleMessage();
    }
    FreeForms();
    // The quit message that ended the loop may still wait; a later loop of this thread must not see it.
    MSG quit{};
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    terminated_ = false;
}

void TApplication::Terminate() {
    if (!terminated_) {
        terminated_ = true;
        PostQuitMessage(0);
    }
}

void TApplication::HandleMessage() {
    MSG message{};
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        terminated_ = true;
        return;
    }
    Dispatch(message);
}

void TApplication::ProcessMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            terminated_ = true;
            return;
        }
        Dispatch(message);
    }
}

void TApplication::Dispatch(MSG& message) {
    try {
        // A shown hint closes on keys, clicks and activation changes, whichever window they are for.
        HintLoopMessage(message);
        if (IsShortCut(message) || IsDialogKey(message)) {
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    } catch (...) {
        HandleException(std::current_exception());
    }
}

bool TApplication::IsShortCut(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) {
        return false;
    }
    if (IsModifierKey(message.wParam)) {
        return false;
    }
    const TShiftState shift = CurrentShiftState();
    if (IsEditControl(message.hwnd) && IsTextEditingKey(message.wParam, shift)) {
        return false;
    }
    TForm* form = FormOfWindow(message.hwnd);
    if (form == nullptr || !form->Enabled() || !IsWindowEnabled(form->Handle())) {
        return false;
    }
    return form->IsShortCut(ShortCutFromKey(static_cast<WORD>(message.wParam), shift));
}

bool TApplication::IsDialogKey(MSG& message) {
    if (message.message != WM_KEYDOWN) {
        return false;
    }
    const WPARAM key = message.wParam;
    const bool arrow = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
    if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE && !arrow) {
        return false;
    }
    TForm* form = FormOfWindow(message.hwnd);
    if (form == nullptr) {
        return false;
    }
    const LRESULT code = SendMessageW(message.hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&message));
    if ((code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0) {
        return false;
    }
    switch (key) {
    case VK_RETURN:
        return form->PressDefaultButton(message.hwnd);
    case VK_ESCAPE:
        return form->PressCancelButton();
    case VK_TAB:
        return (code & DLGC_WANTTAB) == 0 && IsDialogMessageW(form->Handle(), &message);
    default:
        return (code & DLGC_WANTARROWS) == 0 && IsDialogMessageW(form->Handle(), &message);
    }
}

void TApplication::HandleException(std::exception_ptr error) noexcept {
    if (exceptionDepth_ >= kMaxNestedErrorBoxes) {
        return;
    }
    ++exceptionDepth_;
    try {
        MessageDlg(ExceptionText(error), TMsgDlgType::mtError, mbOK);
    } catch (...) {
        // The error box itself failed: there is nobody left to tell.
    }
    --exceptionDepth_;
}

TForm* TApplication::ActiveForm() const {
    return FormOfWindow(GetActiveWindow());
}

HWND TApplication::HintWindow() {
    if (hintWindow_ == nullptr || !IsWindow(hintWindow_)) {
        Initialize();
        hintWindow_ =
            CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    }
    return hintWindow_;
}

} // namespace tarvola
