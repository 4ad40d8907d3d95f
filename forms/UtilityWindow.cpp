#include "forms/UtilityWindow.h"

#include "forms/Application.h"

#include <stdexcept>

namespace tarvola {

namespace {

constexpr const wchar_t* kUtilityClass = L"TarvolaUtilityWindow";

void RegisterUtilityClass(WNDPROC procedure) {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kUtilityClass;
    if (RegisterClassW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw std::runtime_error("Cannot register the utility window class");
    }
    registered = true;
}

} // namespace

TUtilityWindow::TUtilityWindow(THandler handler) : handler_(std::move(handler)) {
    RegisterUtilityClass(&TUtilityWindow::WindowProc);
    handle_ = CreateWindowExW(0, kUtilityClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (handle_ == nullptr) {
        throw std::runtime_error("Cannot create a utility window");
    }
    SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TUtilityWindow::~TUtilityWindow() {
    SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
}

LRESULT CALLBACK TUtilityWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TUtilityWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && self->handler_) {
        std::optional<LRESULT> result;
        GuardCallback([&] { result = self->handler_(message, wParam, lParam); });
        if (result) {
            return *result;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace tarvola
