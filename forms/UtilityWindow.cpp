#include "forms/UtilityWindow.h"

#include "forms/Application.h"

#include <stdexcept>

namespace tarvola {

namespace {

constexpr const char* kUtilityClass = "TarvolaUtilityWindow";

void RegisterUtilityClass(WNDPROC procedure) {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kUtilityClass;
    if (RegisterClassA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw std::runtime_error("Cannot register the utility window class");
    }
    registered = true;
}

} // namespace

TUtilityWindow::TUtilityWindow(THandler handler) : handler_(std::move(handler)) {
    RegisterUtilityClass(&TUtilityWindow::WindowProc);
    handle_ = CreateWindowExA(0, kUtilityClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (handle_ == nullptr) {
        throw std::runtime_error("Cannot create a utility window");
    }
    SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TUtilityWindow::~TUtilityWindow() {
    SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
}

LRESULT CALLBACK TUtilityWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TUtilityWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && self->handler_) {
        std::optional<LRESULT> result;
        GuardCallback([&] { result = self->handler_(message, wParam, lParam); });
        if (result) {
            return *result;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace tarvola
