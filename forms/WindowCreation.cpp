#include "forms/WindowCreation.h"

#include <algorithm>
#include <stdexcept>

namespace tarvola {

namespace {

constexpr const wchar_t* kOwnWindowClass = L"TarvolaWindow";

// Text of the code page (captions, class names) as the wide functions take it.
std::wstring CodePageToWide(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(size, 0)), L'\0');
    if (size > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    }
    return wide;
}

} // namespace

void RegisterOwnWindowClass(WNDPROC procedure) {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSW windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kOwnWindowClass;
    if (RegisterClassW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw std::runtime_error("Cannot register the window class");
    }
    registered = true;
}

HWND CreateControlWindow(const TWindowParams& params, const std::string& caption, const TRect& bounds,
                         void* creator) {
    const bool own = params.className.empty();
    const std::wstring className = own ? std::wstring(kOwnWindowClass) : CodePageToWide(params.className);
    return CreateWindowExW(params.exStyle, className.c_str(), CodePageToWide(caption).c_str(), params.style,
                           bounds.Left, bounds.Top, bounds.Width(), bounds.Height(), params.parentWindow,
                           nullptr, GetModuleHandleW(nullptr), own ? creator : nullptr);
}

} // namespace tarvola
