// Making a control's window: a UTF-16 window (typed characters reach it, and the handlers that read them
// as UTF-16, unchanged) of a platform class or of our own, its class name and caption given in the code
// page.
#pragma once

#include "forms/Graphics.h"

#include <windows.h>

#include <string>

namespace tarvola {

// What a control asks of its window.
struct TWindowParams {
    std::string className; // empty: our own window class
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parentWindow = nullptr;
};

// Registers our own window class once, with procedure as its window procedure; throws when the platform
// refuses it.
void RegisterOwnWindowClass(WNDPROC procedure);

// Makes the window; null when the platform refuses it. A window of our own class (registered before) is
// handed creator with WM_NCCREATE; a platform class's window gets no creation data.
HWND CreateControlWindow(const TWindowParams& params, const std::string& caption, const TRect& bounds,
                         void* creator);

} // namespace tarvola
