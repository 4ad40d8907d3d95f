#include "explorer/VirtualUnicodeControls.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <stdexcept>
#include <system_error>

namespace tarvola {

namespace {

constexpr const wchar_t* kTrapProperty = L"TarvolaUnicodeTrap";
constexpr WPARAM kStandInChar = 0xFF;

// The window procedure swaps of this unit, each converting a procedure to and from an integer once.
WNDPROC ReplaceWindowProcW(HWND window, WNDPROC procedure) {
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}
WNDPROC CurrentWindowProcW(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
}
// Read through the single-byte function, a single-byte procedure comes as it is (not as a handle that
// converts messages).
WNDPROC CurrentWindowProcA(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}
WNDPROC ClassWindowProcW(HWND window) {
    return reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC));
}

std::system_error LastSystemError(const char* what) {
    return std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

// The system class procedure behind each UTF-16 class, by class atom.
struct TClassTable {
    std::mutex Lock;
    std::map<ATOM, WNDPROC> SystemProcs;
};
TClassTable& Classes() {
    static TClassTable table;
    return table;
}

WNDPROC SystemProcOf(HWND window) {
    const auto atom = static_cast<ATOM>(GetClassWord(window, GCW_ATOM));
    TClassTable& classes = Classes();
    const std::lock_guard<std::mutex> guard(classes.Lock);
    const auto found = classes.SystemProcs.find(atom);
    return found != classes.SystemProcs.end() ? found->second : nullptr;
}

TWinControlTrap* TrapOf(HWND window) {
    return static_cast<TWinControlTrap*>(GetPropW(window, kTrapProperty));
}

std::string Narrow(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(std::max(size, 0)), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size,
                            nullptr, nullptr);
    return narrow;
}

std::wstring Widen(std::string_view text) {
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(size, 0)), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::wstring WindowTextW(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

// Whether a character is the stand-in byte as it comes back from the form layer, which the system may
// have converted through the code page (the high word may still carry the character).
bool IsStandIn(WPARAM wParam) {
    static const wchar_t converted = [] {
        const char standIn = static_cast<char>(kStandInChar);
        wchar_t wide = 0;
        return MultiByteToWideChar(CP_ACP, 0, &standIn, 1, &wide, 1) == 1 ? wide : L'\0';
    }();
    const WPARAM low = wParam & 0xFFFF;
    return low == kStandInChar || (converted != L'\0' && low == static_cast<WPARAM>(converted));
}

bool CarriesText(UINT message) {
    switch (message) {
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case EM_REPLACESEL:
    case EM_GETLINE:
    case WM_IME_CHAR:
    case WM_UNICHAR:
        return true;
    default:
        return false;
    }
}

} // namespace

// ---- classes

std::wstring RegisterUnicodeClass(std::wstring_view frameworkClass, const wchar_t* systemClass) {
    std::wstring name(frameworkClass);
    name += L".UnicodeClass";
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, name.c_str(), &existing)) {
        if (existing.lpfnWndProc == &TWinControlTrap::ClassProc)
            return name;
        UnregisterClassW(name.c_str(), instance);
    }
    WNDCLASSEXW copy{};
    copy.cbSize = sizeof copy;
    if (!GetClassInfoExW(nullptr, systemClass, &copy))
        throw LastSystemError("RegisterUnicodeClass: no such system class");
    const WNDPROC systemProc = copy.lpfnWndProc;
    copy.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    copy.hInstance = instance;
    copy.lpfnWndProc = &TWinControlTrap::ClassProc;
    copy.lpszClassName = name.c_str();
    copy.lpszMenuName = nullptr;
    const ATOM atom = RegisterClassExW(&copy);
    if (atom == 0)
        throw LastSystemError("RegisterUnicodeClass");
    TClassTable& classes = Classes();
    const std::lock_guard<std::mutex> guard(classes.Lock);
    classes.SystemProcs[atom] = systemProc;
    return name;
}

bool IsUnicodeClassWindow(HWND window) {
    return window != nullptr && ClassWindowProcW(window) == &TWinControlTrap::ClassProc;
}

LRESULT IsWindowUnicodeTarget(HWND window) {
    return IsWindowUnicode(window) || IsUnicodeClassWindow(window) ? NFR_UNICODE : NFR_ANSI;
}

// ---- the trap

TWinControlTrap::TWinControlTrap(TWinControl& control) : window_(control.Handle()) {
    if (!IsUnicodeClassWindow(window_))
        throw std::logic_error("Orvan Internal Error: SubClassUnicodeControl.Control is not Unicode.");
    // The form layer's procedure as it is, for the characters handed to it directly; the one the swap gives
    // back is callable with UTF-16 messages (the system converts what it must).
    frameworkProc_ = CurrentWindowProcA(window_);
    SetPropW(window_, kTrapProperty, this);
    previousProc_ = ReplaceWindowProcW(window_, &TWinControlTrap::TrapProc);
}

TWinControlTrap::~TWinControlTrap() {
    Release();
}

void TWinControlTrap::Release() {
    if (window_ == nullptr)
        return;
    if (IsWindow(window_)) {
        if (CurrentWindowProcW(window_) == &TWinControlTrap::TrapProc)
            ReplaceWindowProcW(window_, previousProc_);
        RemovePropW(window_, kTrapProperty);
    }
    window_ = nullptr;
}

LRESULT TWinControlTrap::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    if (CarriesText(message))
        return CallWindowProcW(&TWinControlTrap::ClassProc, window, message, wParam, lParam);
    if (message == WM_CHAR && wParam > 0x7F) {
        // The form layer's key handling sees a stand-in and may swallow or replace it; what it passes on
        // unchanged reaches the window as the character typed (ClassProc puts it back).
        pendingChar_ = wParam & 0xFFFF;
        const LRESULT result =
            CallWindowProcA(frameworkProc_, window, WM_CHAR, kStandInChar | (pendingChar_ << 16), lParam);
        pendingChar_ = 0;
        return result;
    }
    if (message == WM_CHAR)
        return CallWindowProcA(frameworkProc_, window, message, wParam, lParam);
    const LRESULT result = CallWindowProcW(previousProc_, window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The form layer has let go of the window and put the class procedure back.
        RemovePropW(window, kTrapProperty);
        window_ = nullptr;
    }
    return result;
}

LRESULT CALLBACK TWinControlTrap::TrapProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWinControlTrap* trap = TrapOf(window);
    if (trap == nullptr || trap->window_ != window)
        return CallWindowProcW(&TWinControlTrap::ClassProc, window, message, wParam, lParam);
    return trap->Handle(message, wParam, lParam);
}

LRESULT CALLBACK TWinControlTrap::ClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC systemProc = SystemProcOf(window);
    if (message == WM_NOTIFYFORMAT && lParam == NF_QUERY)
        return IsWindowUnicodeTarget(window);
    if (message == WM_CHAR) {
        // The stand-in comes back (through the code page) unless the form layer replaced it.
        TWinControlTrap* trap = TrapOf(window);
        if (trap != nullptr && trap->pendingChar_ != 0 && IsStandIn(wParam))
            wParam = trap->pendingChar_;
    }
    if (systemProc == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return CallWindowProcW(systemProc, window, message, wParam, lParam);
}

std::unique_ptr<TWinControlTrap> SubClassUnicodeControl(TWinControl& control) {
    return std::make_unique<TWinControlTrap>(control);
}

// ---- text

std::wstring GetWideText(const TWinControl& control) {
    if (control.HandleAllocated() && IsWindowUnicode(control.Handle()))
        return WindowTextW(control.Handle());
    return Widen(control.Caption());
}

void SetWideText(TWinControl& control, std::wstring_view text) {
    if (control.HandleAllocated() && IsWindowUnicode(control.Handle())) {
        if (WindowTextW(control.Handle()) != text)
            SetWindowTextW(control.Handle(), std::wstring(text).c_str());
        return;
    }
    control.SetCaption(Narrow(text));
}

int WideCompareStr(std::wstring_view a, std::wstring_view b) {
    const int result = CompareStringW(LOCALE_USER_DEFAULT, 0, a.data(), static_cast<int>(a.size()), b.data(),
                                      static_cast<int>(b.size()));
    if (result == 0)
        return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
    return result - 2;
}

// ---- the wide edit

TCustomWideEdit::TCustomWideEdit(TComponent* owner) : TEdit(owner) {}

TCustomWideEdit::~TCustomWideEdit() {
    trap_.reset();
}

void TCustomWideEdit::CreateParams(TCreateParams& params) {
    TEdit::CreateParams(params);
    const std::wstring name = RegisterUnicodeClass(L"TCustomWideEdit", L"EDIT");
    params.className = std::string(name.begin(), name.end());
}

void TCustomWideEdit::InitializeHandle() {
    trap_.reset();
    trap_ = SubClassUnicodeControl(*this);
    TEdit::InitializeHandle();
    // A window made again shows the text the old one had, not its code-page caption.
    if (!text_.empty()) {
        settingText_ = true;
        SetWindowTextW(Handle(), text_.c_str());
        settingText_ = false;
    }
}

LRESULT TCustomWideEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY)
        text_ = WindowTextW(Handle());
    return TEdit::WndProc(message, wParam, lParam);
}

std::wstring TCustomWideEdit::WideText() const {
    return HandleAllocated() ? tarvola::GetWideText(*this) : text_;
}

void TCustomWideEdit::SetWideText(std::wstring_view text) {
    if (!HandleAllocated()) {
        if (text == text_)
            return;
        text_ = std::wstring(text);
        StoreCaption(Narrow(text));
        Change();
        return;
    }
    tarvola::SetWideText(*this, text);
}

void TCustomWideEdit::SelectText(int start, int length) {
    if (HandleAllocated())
        PostMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
}

bool TCustomWideEdit::CommandNotify(WORD code) {
    if (code != EN_CHANGE)
        return TEdit::CommandNotify(code);
    if (settingText_)
        return true;
    std::wstring text = WindowTextW(Handle());
    if (text == text_)
        return true;
    text_ = std::move(text);
    StoreCaption(Narrow(text_));
    Change();
    return true;
}

void TCustomWideEdit::TextChanged() {
    // A caption set through the form layer: taken through the code page, as it was given.
    SetWideText(Widen(Caption()));
}

} // namespace tarvola
