// Helpers of the shell layer over item lists and arrays, times, text extents, message boxes and the start
// of a drag.
#include "shell/VirtualShellUtilities.h"

#include "forms/Form.h"
#include "shell/VirtualUnicodeDefines.h"

#include <windowsx.h>

#include <algorithm>

namespace tarvola {

TVirtualNameSpaceList::~TVirtualNameSpaceList() {
    Clear();
}

void TVirtualNameSpaceList::Notify(TNamespace* item, TListNotification action) {
    if (OnNotify)
        OnNotify(*this, item, action);
    TObjectList<TNamespace>::Notify(item, action);
}

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

SIZE ExtentInFont(const WideString& text, HDC dc, HFONT font) {
    const HGDIOBJ previous = SelectObject(dc, font);
    const SIZE size = WideTextExtent(text, dc);
    SelectObject(dc, previous);
    return size;
}

} // namespace

SIZE WideFontTextExtent(const WideString& text, const TFont& font) {
    if (text.empty())
        return SIZE{0, 0};
    const HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return SIZE{0, 0};
    const SIZE size = ExtentInFont(text, screen, font.Handle());
    ReleaseDC(nullptr, screen);
    return size;
}

SIZE WideCanvasTextExtent(const WideString& text, TCanvas* canvas) {
    if (text.empty() || canvas == nullptr)
        return SIZE{0, 0};
    return ExtentInFont(text, canvas->Handle(), canvas->Font.Handle());
}

namespace {

class TSystemWideMessages final : public TWideMessageSeam {
public:
    int Show(const TWideMessage& message) override {
        // A box without an owner leaves no window of ours active when it goes: give activation back.
        const TActivationKeeper previouslyActive;
        const int answer = MessageBoxW(message.owner, AsW(message.text), AsW(message.caption), message.style);
        previouslyActive.GiveBack();
        return answer;
    }
};

TWideMessageSeam& SystemWideMessages() {
    static TSystemWideMessages system;
    return system;
}

TWideMessageSeam*& CurrentWideMessages() {
    static TWideMessageSeam* current = &SystemWideMessages();
    return current;
}

} // namespace

TWideMessageSeam* SetWideMessages(TWideMessageSeam* seam) {
    TWideMessageSeam* previous = CurrentWideMessages();
    CurrentWideMessages() = seam != nullptr ? seam : &SystemWideMessages();
    return previous;
}

int WideMessageBox(HWND owner, const WideString& caption, const WideString& text) {
    return CurrentWideMessages()->Show(TWideMessage{owner, caption, text, MB_OK | MB_ICONEXCLAMATION});
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
