// Helpers of the shell layer over item arrays, times, text extents and the start of a drag.
#include "shell/VirtualShellUtilities.h"

#include "shell/VirtualUnicodeDefines.h"

#include <windowsx.h>

#include <algorithm>

namespace tarvola {

TPIDLArray NamespaceToRelativePIDLs(const TNamespaceArray& items) {
    TPIDLArray pidls;
    for (TNamespace* item : items)
        pidls.push_back(item->RelativePIDL());
    return pidls;
}

TPIDLArray NamespaceToAbsolutePIDLs(const TNamespaceArray& items) {
    TPIDLArray pidls;
    for (TNamespace* item : items)
        pidls.push_back(item->AbsolutePIDL());
    return pidls;
}

bool AllCanDelete(const TNamespaceArray& items) {
    return !items.empty() &&
           std::all_of(items.begin(), items.end(), [](TNamespace* i) { return i->CanDelete(); });
}

bool AllHavePropSheet(const TNamespaceArray& items) {
    return !items.empty() &&
           std::all_of(items.begin(), items.end(), [](TNamespace* i) { return i->HasPropSheet(); });
}

double FileTimeToDateTime(const FILETIME& fileTime) {
    if (fileTime.dwLowDateTime == 0 && fileTime.dwHighDateTime == 0)
        return 0;
    FILETIME local;
    if (!FileTimeToLocalFileTime(&fileTime, &local))
        return 0;
    // FILETIME counts 100 ns steps from 1 January 1601, which lies 109,205 days before 30 December 1899.
    const std::uint64_t ticks = (std::uint64_t(local.dwHighDateTime) << 32) | local.dwLowDateTime;
    constexpr double kTicksPerDay = 864000000000.0;
    return static_cast<double>(ticks) / kTicksPerDay - 109205.0;
}

SIZE WideTextExtent(const WideString& text, HDC dc) {
    SIZE size{0, 0};
    if (!text.empty() && dc != nullptr)
        GetTextExtentPoint32W(dc, AsW(text), static_cast<int>(text.size()), &size);
    return size;
}

namespace {

bool EndsTheDragTest(UINT message) {
    return message == WM_LBUTTONUP || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONUP ||
           message == WM_QUIT || message == WM_CANCELMODE;
}

} // namespace

bool DetectDragStart(HWND window, POINT point) {
    ClientToScreen(window, &point);
    const int width = GetSystemMetrics(SM_CXDRAG);
    const int height = GetSystemMetrics(SM_CYDRAG);
    const RECT box{point.x - width / 2, point.y - height / 2, point.x + (width + 1) / 2,
                   point.y + (height + 1) / 2};
    const bool hadCapture = GetCapture() == window;
    SetCapture(window);
    bool dragging = false;
    for (;;) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage(); // sleeps until the next message rather than spinning
            continue;
        }
        if (msg.message == WM_MOUSEMOVE) {
            POINT at{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            ClientToScreen(msg.hwnd, &at);
            if (!PtInRect(&box, at)) {
                dragging = true;
                break;
            }
            continue;
        }
        if (EndsTheDragTest(msg.message)) {
            if (msg.message == WM_QUIT)
                PostQuitMessage(static_cast<int>(msg.wParam));
            else
                PostMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (hadCapture)
        SetCapture(window);
    else if (GetCapture() == window)
        ReleaseCapture();
    return dragging;
}

} // namespace tarvola
